#include "text.h"

#include <array>

namespace yrb {

const char* FindText(const char* text, const char* textEnd, const char* pat,
                     const char* patEnd, bool caseSensitive) {
    if (text == nullptr || pat == nullptr || patEnd <= pat || textEnd <= text) return nullptr;
    const size_t n = static_cast<size_t>(textEnd - text);
    const size_t m = static_cast<size_t>(patEnd - pat);
    if (m > n) return nullptr;
    if (caseSensitive) {
        // memmem finds the same leftmost occurrence as a plain scan.
        return static_cast<const char*>(memmem(text, n, pat, m));
    }
    const char first = FoldAscii(pat[0]);
    const char* last = textEnd - m;
    for (const char* p = text; p <= last; ++p) {
        if (FoldAscii(*p) != first) continue;
        size_t k = 1;
        while (k < m && FoldAscii(p[k]) == FoldAscii(pat[k])) ++k;
        if (k == m) return p;
    }
    return nullptr;
}

void LowerAscii(char* text, size_t length) {
    // Branch-free form so the compiler vectorises it.
    for (size_t i = 0; i < length; ++i) {
        const unsigned char c = static_cast<unsigned char>(text[i]);
        text[i] = static_cast<char>(c + ((static_cast<unsigned char>(c - 'A') < 26u) << 5));
    }
}

void AppendShown(std::string& out, const char* text, size_t length) {
    const char* end = text + length;
    while (text < end) {
        // Runs without control bytes, the usual case, go in one append.
        const char* p = text;
        while (p < end && static_cast<unsigned char>(*p) >= 32 && *p != 127) ++p;
        out.append(text, static_cast<size_t>(p - text));
        if (p == end) break;
        out += '^';
        out += *p == 127 ? '?' : static_cast<char>(*p + 64);
        text = p + 1;
    }
}

namespace {

constexpr std::array<std::array<uint32_t, 256>, 8> MakeCrcTables() {
    std::array<std::array<uint32_t, 256>, 8> t{};
    for (uint32_t i = 0; i < 256; ++i) {
        uint32_t c = i;
        for (int k = 0; k < 8; ++k) c = (c & 1u) ? (0xEDB88320u ^ (c >> 1)) : (c >> 1);
        t[0][i] = c;
    }
    for (uint32_t i = 0; i < 256; ++i) {
        for (int s = 1; s < 8; ++s) t[s][i] = (t[s - 1][i] >> 8) ^ t[0][t[s - 1][i] & 0xFFu];
    }
    return t;
}

// Built by the compiler, so the hot loop has no first-use check.
constexpr auto kCrc = MakeCrcTables();

inline uint32_t Update(uint32_t c, const char* bytes, size_t length) {
    const auto& t = kCrc;
    const unsigned char* p = reinterpret_cast<const unsigned char*>(bytes);
    while (length >= 8) {
        uint32_t lo, hi;
        std::memcpy(&lo, p, 4);
        std::memcpy(&hi, p + 4, 4);
        lo ^= c;
        c = t[7][lo & 0xFF] ^ t[6][(lo >> 8) & 0xFF] ^ t[5][(lo >> 16) & 0xFF] ^ t[4][lo >> 24] ^
            t[3][hi & 0xFF] ^ t[2][(hi >> 8) & 0xFF] ^ t[1][(hi >> 16) & 0xFF] ^ t[0][hi >> 24];
        p += 8;
        length -= 8;
    }
    if (length >= 4) {
        uint32_t w;
        std::memcpy(&w, p, 4);
        w ^= c;
        c = t[3][w & 0xFF] ^ t[2][(w >> 8) & 0xFF] ^ t[1][(w >> 16) & 0xFF] ^ t[0][w >> 24];
        p += 4;
        length -= 4;
    }
    while (length--) c = t[0][(c ^ *p++) & 0xFFu] ^ (c >> 8);
    return c;
}

}  // namespace

uint32_t Crc32(const char* bytes, size_t length) {
    return Update(0xFFFFFFFFu, bytes, length) ^ 0xFFFFFFFFu;
}

uint32_t Crc32Extend(uint32_t prefixCrc, const char* rest, size_t restLength) {
    return Update(prefixCrc ^ 0xFFFFFFFFu, rest, restLength) ^ 0xFFFFFFFFu;
}

}  // namespace yrb

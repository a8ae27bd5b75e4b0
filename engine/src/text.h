// Byte-level primitives shared by the loader, the checks, the sort, the
// compare, the find and the writer.  Texts are byte ranges, never
// NUL-terminated strings.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>

namespace yrb {

// First differing byte (unsigned) decides; a prefix orders first ascending.
inline int CompareBytes(const char* a, const char* b, uint32_t la, uint32_t lb,
                        bool descending) {
    const uint32_t n = la < lb ? la : lb;
    int r = n ? std::memcmp(a, b, n) : 0;
    if (r == 0) {
        r = la < lb ? -1 : (la > lb ? 1 : 0);
    } else {
        // memcmp only promises the sign; normalise to the byte difference
        // sign, which is all callers look at.
        r = r < 0 ? -1 : 1;
    }
    return descending ? -r : r;
}

inline int EqualBytes(const char* a, const char* b, uint32_t la, uint32_t lb) {
    return la == lb && (la == 0 || std::memcmp(a, b, la) == 0) ? 1 : 0;
}

inline char FoldAscii(char c) {
    return (c >= 'A' && c <= 'Z') ? static_cast<char>(c + 32) : c;
}

// Leftmost occurrence of the pattern in [text, textEnd), or null.  An empty
// pattern is never found.  Case-insensitive folds only A-Z / a-z.
const char* FindText(const char* text, const char* textEnd, const char* pat,
                     const char* patEnd, bool caseSensitive);

// Splits at the separator.  Returns false when there are no more tokens.
// After the last token the cursor becomes null.
inline bool NextToken(const char*& cursor, const char* end, const char* sep,
                      uint32_t sepLen, const char*& tok, uint32_t& tokLen) {
    if (cursor == nullptr || cursor >= end) return false;
    const char* hit = nullptr;
    if (sepLen == 1) {
        hit = static_cast<const char*>(
            std::memchr(cursor, static_cast<unsigned char>(sep[0]),
                        static_cast<size_t>(end - cursor)));
    } else if (sepLen > 1) {
        hit = FindText(cursor, end, sep, sep + sepLen, true);
    }
    tok = cursor;
    if (hit == nullptr) {
        tokLen = static_cast<uint32_t>(end - cursor);
        cursor = nullptr;
    } else {
        tokLen = static_cast<uint32_t>(hit - cursor);
        cursor = hit + sepLen;
    }
    return true;
}

void LowerAscii(char* text, size_t length);

// Appends the bytes to a report line, each control byte (0 to 31, 127) as a
// caret token ("^@", "^I", "^M", "^?"): report files separate their fields
// with TAB and their lines with CR LF, and a raw NUL cuts a text short.
void AppendShown(std::string& out, const char* text, size_t length);

// CRC-32 of ISO 3309 / ITU-T V.42 (reflected, 0xEDB88320).
uint32_t Crc32(const char* bytes, size_t length);

// The CRC-32 of a text whose first prefixLength bytes have the CRC-32
// prefixCrc, without reading those bytes again.
uint32_t Crc32Extend(uint32_t prefixCrc, const char* rest, size_t restLength);

// ASCII letters and digits only; bytes 128..255 are neither.
inline bool IsAsciiAlnum(unsigned char c) {
    return (c >= '0' && c <= '9') || (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z');
}

}  // namespace yrb

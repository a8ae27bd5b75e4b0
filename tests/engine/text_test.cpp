#include <gtest/gtest.h>

#include <string>

#include "text.h"

using namespace yrb;

namespace {

int Sign(int v) { return (v > 0) - (v < 0); }

TEST(TextPrimitives, CompareBytesOrders) {
    struct Row {
        std::string a, b;
        bool desc;
        int sign;
    } rows[] = {
        {"abc", "abd", false, -1},
        {"abc", "abcd", false, -1},   // prefix first ascending
        {"abc", "abcd", true, 1},     // and last descending
        {"\xe9", "z", false, 1},      // high bytes after every letter
        {"", "", false, 0},
        {"same", "same", true, 0},
        {"b", "a", true, -1},
    };
    for (const auto& r : rows) {
        EXPECT_EQ(Sign(CompareBytes(r.a.data(), r.b.data(), r.a.size(), r.b.size(), r.desc)), r.sign)
            << r.a << " vs " << r.b;
    }
}

TEST(TextPrimitives, EqualBytesNeedsEqualLengths) {
    EXPECT_EQ(EqualBytes("abc", "abcd", 3, 4), 0);
    EXPECT_EQ(EqualBytes("abc", "abc", 3, 3), 1);
    EXPECT_EQ(EqualBytes("abc", "abd", 3, 3), 0);
}

TEST(TextPrimitives, FindText) {
    struct Row {
        std::string text, pat;
        bool caseSensitive;
        int at;  // -1 not found
    } rows[] = {
        {"aaab", "aab", true, 1},
        {"xxAbC", "abc", false, 2},
        {"xxAbC", "abc", true, -1},
        {"\xc9t\xe9", "\xe9", false, 2},   // high bytes match exactly only
        {"\xc9t", "\xe9", false, -1},
        {"[x", "{x", false, -1},           // only letters fold
        {"abc", "", true, -1},             // empty pattern never found
        {"ab", "abc", true, -1},
        {"a\r\nb", "\r\n", true, 1},
    };
    for (const auto& r : rows) {
        const char* hit = FindText(r.text.data(), r.text.data() + r.text.size(), r.pat.data(),
                                   r.pat.data() + r.pat.size(), r.caseSensitive);
        EXPECT_EQ(hit ? static_cast<int>(hit - r.text.data()) : -1, r.at) << r.text << " / " << r.pat;
    }
}

std::vector<std::string> Split(const std::string& text, const std::string& sep) {
    std::vector<std::string> out;
    const char* cur = text.data();
    const char* tok;
    uint32_t len;
    while (NextToken(cur, text.data() + text.size(), sep.data(), static_cast<uint32_t>(sep.size()), tok, len))
        out.emplace_back(tok, len);
    return out;
}

TEST(TextPrimitives, NextTokenSplits) {
    using V = std::vector<std::string>;
    struct Row {
        std::string text, sep;
        V tokens;
    } rows[] = {
        {"a,,b", ",", {"a", "", "b"}},
        {"a,b,", ",", {"a", "b"}},
        {"", ",", {}},
        {"a,b", "", {"a,b"}},
        {"a\r\n\r\nb\r\n", "\r\n", {"a", "", "b"}},
        {",a", ",", {"", "a"}},
        {"aXXb", "XX", {"a", "b"}},
    };
    for (const auto& r : rows) EXPECT_EQ(Split(r.text, r.sep), r.tokens) << r.text;
}

TEST(TextPrimitives, LowerAsciiOnlyChangesAToZ) {
    std::string all;
    for (int c = 0; c < 256; ++c) all.push_back(static_cast<char>(c));
    std::string lowered = all;
    LowerAscii(lowered.data(), lowered.size());
    for (int c = 0; c < 256; ++c) {
        const int want = (c >= 'A' && c <= 'Z') ? c + 32 : c;
        EXPECT_EQ(static_cast<unsigned char>(lowered[c]), want) << c;
    }
}

TEST(TextPrimitives, Crc32MatchesTheStandard) {
    struct Row {
        std::string bytes;
        uint32_t crc;
    } rows[] = {
        {"", 0x00000000u},
        {"a", 0xE8B7BE43u},
        {"123456789", 0xCBF43926u},
        {"The quick brown fox jumps over the lazy dog", 0x414FA339u},
    };
    for (const auto& r : rows) EXPECT_EQ(Crc32(r.bytes.data(), r.bytes.size()), r.crc) << r.bytes;
    // The eight-byte path and the byte path agree at every offset.
    std::string s(100, '\0');
    for (size_t i = 0; i < s.size(); ++i) s[i] = static_cast<char>(i * 37 + 11);
    for (size_t n = 0; n <= s.size(); ++n) {
        uint32_t c = 0xFFFFFFFFu;
        for (size_t i = 0; i < n; ++i) {
            c ^= static_cast<unsigned char>(s[i]);
            for (int k = 0; k < 8; ++k) c = (c & 1u) ? (0xEDB88320u ^ (c >> 1)) : (c >> 1);
        }
        EXPECT_EQ(Crc32(s.data(), n), ~c) << n;
    }
}

}  // namespace

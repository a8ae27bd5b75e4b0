#include <gtest/gtest.h>

#include <algorithm>
#include <numeric>
#include <random>
#include <string>
#include <vector>

#include "callbacks.h"
#include "fixture.h"
#include "lists.h"
#include "sorting.h"
#include "text.h"

using fx::Recorder;
using fx::TempDir;
using Ids = std::vector<uint32_t>;
using V = std::vector<std::string>;
using namespace std::string_literals;

namespace {

yrb::ListObject& List(int32_t slot) { return *yrb::SlotList(slot); }

Ids Index(int32_t slot, int which = 1) {
    const yrb::ListObject& l = List(slot);
    const uint32_t* idx = which == 1 ? l.index1 : l.index2;
    return Ids(idx, idx + l.Count());
}

void ResetIndex(int32_t slot) {
    yrb::ListObject& l = List(slot);
    std::iota(l.index1, l.index1 + l.Count(), 0u);
    std::iota(l.index2, l.index2 + l.Count(), 0u);
}

bool IsPermutation(const Ids& ids) {
    Ids s = ids;
    std::sort(s.begin(), s.end());
    for (uint32_t i = 0; i < s.size(); ++i)
        if (s[i] != i) return false;
    return true;
}

// The compare rule of a key, written plainly.
int ReferenceCompare(const yrb::ListObject& l, uint32_t x, uint32_t y, int key, bool desc) {
    if (key < YRB_SORT_ADDRESS || key > YRB_SORT_SELECTED) key = YRB_SORT_ADDRESS;
    if (key <= YRB_SORT_DOMAIN_LENGTH) {
        // Address, user, domain: the text keys, then the length keys.
        const int part = key % 3;
        const yrb::ListItem* px = l.Part(x, part);
        const yrb::ListItem* py = l.Part(y, part);
        if (!px && !py) return 0;
        if (!px) return -1;
        if (!py) return 1;
        if (key <= YRB_SORT_DOMAIN)
            return yrb::CompareBytes(l.Text(*px), l.Text(*py), px->length, py->length, desc);
        const int64_t d = int64_t(px->length) - int64_t(py->length);
        return desc ? (d > 0 ? -1 : d < 0) : (d > 0 ? 1 : -(d < 0));
    }
    int64_t a, b;
    if (key == YRB_SORT_OCCURRENCES) {
        a = l.occurrences[x];
        b = l.occurrences[y];
    } else {
        const uint8_t masks[] = {YRB_FLAG_INVALID, YRB_FLAG_DUPLICATE, YRB_FLAG_DELETED, YRB_MASK_COMPARE,
                                 YRB_FLAG_SELECTED};
        a = l.flags[x] & masks[key - YRB_SORT_INVALID];
        b = l.flags[y] & masks[key - YRB_SORT_INVALID];
    }
    if (desc) std::swap(a, b);
    return a < b ? -1 : (a > b);
}

Ids ReferenceSort(const yrb::ListObject& l, Ids ids, int key, bool desc) {
    std::stable_sort(ids.begin(), ids.end(), [&](uint32_t x, uint32_t y) {
        return ReferenceCompare(l, x, y, key, desc) < 0;
    });
    return ids;
}

class Sorting : public ::testing::Test {
protected:
    void SetUp() override { fx::ResetEngine(); }
    void TearDown() override { fx::ResetEngine(); }
    void Load(int32_t slot, const std::string& bytes, int32_t column = 2,
              const char* fieldSep = ";") {
        const std::string path = dir.Write("list" + std::to_string(slot) + ".mal", bytes);
        ASSERT_GE(YRB13(slot, path.c_str(), column, fieldSep, "\n"), 0);
    }
    TempDir dir;
};

// Entry numbers (file order):         0          1          2       3         4       5         6          7
const char* const kList = "0;b@y.org\n1;A@x.com\n2;noat\n3;ab@x.co\n4;a@zz\n5;\xe9@x\n6;b@y.org\n7\n";

TEST_F(Sorting, EveryKeyBothDirections) {
    Load(1, kList);
    yrb::ListObject& l = List(1);
    const uint32_t occ[8] = {3, 0, 1, 3, 0, 2, 0, 5};
    const uint8_t flags[8] = {0x20, 0x11, 0x08, 0x02, 0x04, 0x21, 0x06, 0x00};
    for (uint32_t i = 0; i < 8; ++i) {
        l.occurrences[i] = occ[i];
        l.flags[i] = flags[i];
    }
    struct Row {
        int32_t key;
        const char* info;
        Ids ascending, descending;
    } rows[] = {
        {YRB_SORT_ADDRESS, "Sorting entries alphabetically", {7, 1, 4, 3, 0, 6, 2, 5},
         {7, 5, 2, 0, 6, 3, 4, 1}},
        {YRB_SORT_USER, "Sorting entries alphabetically by user", {7, 1, 4, 3, 0, 6, 2, 5},
         {7, 5, 2, 0, 6, 3, 1, 4}},
        {YRB_SORT_DOMAIN, "Sorting entries alphabetically by domain", {2, 7, 5, 3, 1, 0, 6, 4},
         {2, 7, 4, 0, 6, 1, 3, 5}},
        {YRB_SORT_ADDRESS_LENGTH, "Sorting entries by length", {7, 5, 2, 4, 0, 1, 3, 6},
         {7, 0, 1, 3, 6, 2, 4, 5}},
        {YRB_SORT_USER_LENGTH, "Sorting entries by user length", {7, 0, 1, 4, 5, 6, 3, 2},
         {7, 2, 3, 0, 1, 4, 5, 6}},
        {YRB_SORT_DOMAIN_LENGTH, "Sorting entries by domain length", {2, 7, 5, 4, 3, 0, 1, 6},
         {2, 7, 0, 1, 6, 3, 4, 5}},
        {YRB_SORT_OCCURRENCES, "Sorting entries by number of occurrences", {1, 4, 6, 2, 5, 0, 3, 7},
         {7, 0, 3, 5, 2, 1, 4, 6}},
        {YRB_SORT_INVALID, "Sorting entries by invalid flag", {1, 2, 3, 4, 6, 7, 0, 5},
         {0, 5, 1, 2, 3, 4, 6, 7}},
        {YRB_SORT_DUPLICATE, "Sorting entries by duplicate flag", {0, 2, 3, 4, 5, 6, 7, 1},
         {1, 0, 2, 3, 4, 5, 6, 7}},
        {YRB_SORT_DELETED, "Sorting entries by deleted flag", {0, 1, 3, 4, 5, 6, 7, 2},
         {2, 0, 1, 3, 4, 5, 6, 7}},
        {YRB_SORT_COMPARE, "Sorting entries by compare flag", {0, 1, 2, 5, 7, 3, 4, 6},
         {6, 4, 3, 0, 1, 2, 5, 7}},
        {YRB_SORT_SELECTED, "Sorting entries by selection", {0, 2, 3, 4, 6, 7, 1, 5}, {1, 5, 0, 2, 3, 4, 6, 7}},
        {12, "Sorting entries alphabetically", {7, 1, 4, 3, 0, 6, 2, 5}, {7, 5, 2, 0, 6, 3, 4, 1}},
        {-3, "Sorting entries alphabetically", {7, 1, 4, 3, 0, 6, 2, 5}, {7, 5, 2, 0, 6, 3, 4, 1}},
    };
    for (const auto& r : rows) {
        for (int desc = 0; desc < 2; ++desc) {
            SCOPED_TRACE(std::to_string(r.key) + (desc ? " descending" : " ascending"));
            ResetIndex(1);
            Recorder rec;
            rec.Register();
            EXPECT_EQ(YRB02(1, r.key, YRB_INDEX_DISPLAY, desc ? -1 : 0), 1);
            EXPECT_EQ(Index(1), desc ? r.descending : r.ascending);
            EXPECT_EQ(Index(1, 2), (Ids{0, 1, 2, 3, 4, 5, 6, 7}));
            EXPECT_EQ(rec.Texts('I'), (V{r.info}));
            EXPECT_EQ(rec.Count('E'), 0u);
            EXPECT_EQ(rec.Count('P'), 0u);  // the sort sends no progress
            // Stable: the same order as a stable sort by the compare rule.
            EXPECT_EQ(Index(1), ReferenceSort(l, Ids{0, 1, 2, 3, 4, 5, 6, 7}, r.key, desc));
        }
    }
}

TEST_F(Sorting, TextOrderRules) {
    struct Row {
        const char* name;
        std::string content;  // one address per line
        bool descending;
        V order;
    } rows[] = {
        {"prefix first ascending", "abc\nab\nabcd\na\n", false, {"a", "ab", "abc", "abcd"}},
        {"prefix last descending", "abc\nab\nabcd\na\n", true, {"abcd", "abc", "ab", "a"}},
        {"high bytes after letters", "\x80z\nzz\n\xff\nA\n", false, {"a", "zz", "\x80z", "\xff"}},
        {"eight-byte boundary", "abcdefgh\nabcdefg\nabcdefghi\nabcdefgha\nabcdefgh\n", false,
         {"abcdefg", "abcdefgh", "abcdefgh", "abcdefgha", "abcdefghi"}},
        {"nul byte against end of text", "ab\0\nab\nab\0\0\nab\0a\n"s, false,
         {"ab", "ab\0"s, "ab\0\0"s, "ab\0a"s}},
        {"nul byte descending", "ab\0\nab\nab\0\0\nab\0a\n"s, true,
         {"ab\0a"s, "ab\0\0"s, "ab\0"s, "ab"}},
        {"long common prefix", "xxxxxxxxxxxxxxxxxxxxb\nxxxxxxxxxxxxxxxxxxxxa\nxxxxxxxxxxxxxxxxxxxx\n", false,
         {"xxxxxxxxxxxxxxxxxxxx", "xxxxxxxxxxxxxxxxxxxxa", "xxxxxxxxxxxxxxxxxxxxb"}},
    };
    for (const auto& r : rows) {
        SCOPED_TRACE(r.name);
        Load(1, r.content, 0, "");
        EXPECT_EQ(YRB02(1, YRB_SORT_ADDRESS, YRB_INDEX_DISPLAY, r.descending), 1);
        EXPECT_EQ(fx::Entries(1, YRB_PART_ADDRESS), r.order);
    }
}

TEST_F(Sorting, SmallAndBadLists) {
    Recorder rec;
    rec.Register();
    Load(1, "only@one.org\n");
    rec.events.clear();
    EXPECT_EQ(YRB02(1, YRB_SORT_ADDRESS, YRB_INDEX_DISPLAY, 0), 1);
    EXPECT_TRUE(rec.events.empty());  // one entry: no callback at all

    Load(2, "\n\n\n");  // a loaded list of 0 entries
    EXPECT_EQ(YRB14(2), 0);
    rec.events.clear();
    EXPECT_EQ(YRB02(2, YRB_SORT_ADDRESS, YRB_INDEX_DISPLAY, 0), YRB_FAILED);
    EXPECT_EQ(rec.Count('E'), 0u);

    rec.events.clear();
    EXPECT_EQ(YRB02(3, YRB_SORT_ADDRESS, YRB_INDEX_DISPLAY, 0), YRB_FAILED);
    EXPECT_EQ(rec.Texts('E'), (V{"No memory space has been allocated for the file content in List 3"}));
    rec.events.clear();
    EXPECT_EQ(YRB02(4, YRB_SORT_ADDRESS, YRB_INDEX_DISPLAY, 0), YRB_FAILED);
    EXPECT_TRUE(rec.events.empty());

    EXPECT_EQ(yrb::SortEntries(List(1), nullptr, 1, YRB_SORT_ADDRESS, false), YRB_FAILED);
}

TEST_F(Sorting, IndexTwoLeavesDisplayOrder) {
    Load(1, kList);
    EXPECT_EQ(YRB02(1, YRB_SORT_ADDRESS, YRB_INDEX_SCRATCH, 0), 1);
    EXPECT_EQ(Index(1), (Ids{0, 1, 2, 3, 4, 5, 6, 7}));
    EXPECT_EQ(Index(1, 2), (Ids{7, 1, 4, 3, 0, 6, 2, 5}));
    EXPECT_EQ(YRB02(1, YRB_SORT_DOMAIN, 7, 1), 1);  // any non-zero value chooses index 2
    EXPECT_EQ(Index(1, 2), (Ids{7, 2, 4, 0, 6, 1, 3, 5}));  // 7 stays before 2
    EXPECT_EQ(Index(1), (Ids{0, 1, 2, 3, 4, 5, 6, 7}));
}

// Addresses that share long prefixes, cross the eight-byte boundaries, hold
// NUL and high bytes, repeat, and some lack a domain or an address.
std::string RandomList(uint32_t n, uint32_t seed) {
    std::mt19937 g(seed);
    const std::string prefixes[] = {"", "a", "info@", "aaaaaaaaaaaaaaaa", "aaaaaaaaaaaaaaaab", "sales.team@", "a\0"s};
    const char alphabet[] = {'a', 'b', '\0', '\x80', '\xff', 'z', '.'};
    std::string out;
    for (uint32_t i = 0; i < n; ++i) {
        out += std::to_string(i) + ";";
        if (g() % 50 == 0) {  // no address
            out += "\n";
            continue;
        }
        std::string s = prefixes[g() % 7];
        const uint32_t len = g() % 20;
        for (uint32_t k = 0; k < len; ++k) s += alphabet[g() % 7];
        if (g() % 4) {
            s += "@";
            const uint32_t dl = g() % 12;
            for (uint32_t k = 0; k < dl; ++k) s += alphabet[g() % 7];
        }
        if (s.empty() || s == "@") s = "x";
        out += s + "\n";
    }
    return out;
}

TEST_F(Sorting, SameOrderAsTheCompareRule) {
    struct Row {
        uint32_t entries;  // past 65536 the long ranges take the radix path
        uint32_t seed;
        std::vector<int32_t> keys;
    } rows[] = {
        {300, 1,
         {YRB_SORT_ADDRESS, YRB_SORT_USER, YRB_SORT_DOMAIN, YRB_SORT_ADDRESS_LENGTH, YRB_SORT_USER_LENGTH,
          YRB_SORT_DOMAIN_LENGTH, YRB_SORT_OCCURRENCES, YRB_SORT_COMPARE}},
        {5000, 2, {YRB_SORT_ADDRESS, YRB_SORT_USER, YRB_SORT_DOMAIN, YRB_SORT_ADDRESS_LENGTH}},
        {160000, 3, {YRB_SORT_ADDRESS, YRB_SORT_DOMAIN, YRB_SORT_ADDRESS_LENGTH, YRB_SORT_OCCURRENCES}},
    };
    for (const auto& r : rows) {
        Load(1, RandomList(r.entries, r.seed));
        yrb::ListObject& l = List(1);
        const uint32_t n = l.Count();
        ASSERT_EQ(n, r.entries);
        std::mt19937 g(r.seed);
        for (uint32_t i = 0; i < n; ++i) {
            l.occurrences[i] = g() % 70000;  // more than one 16-bit digit
            l.flags[i] = static_cast<uint8_t>(g());
        }
        // Start from a shuffled order so that stability is tested against it.
        Ids start(n);
        std::iota(start.begin(), start.end(), 0u);
        std::shuffle(start.begin(), start.end(), g);
        for (int32_t key : r.keys) {
            for (int desc = 0; desc < 2; ++desc) {
                SCOPED_TRACE(std::to_string(r.entries) + " key " + std::to_string(key) +
                             (desc ? " descending" : ""));
                std::copy(start.begin(), start.end(), l.index1);
                ASSERT_EQ(YRB02(1, key, YRB_INDEX_DISPLAY, desc), 1);
                EXPECT_TRUE(Index(1) == ReferenceSort(l, start, key, desc));
            }
        }
    }
}

TEST_F(Sorting, PollsAndAnimatesWhileSorting) {
    Load(1, RandomList(70000, 9));
    Recorder rec;
    rec.Register();
    yrb::g_pollCounter = 0;
    yrb::g_animCounter = 0;
    ASSERT_EQ(YRB02(1, YRB_SORT_ADDRESS, YRB_INDEX_DISPLAY, 0), 1);
    // At least one poll per entry and per radix pass.
    EXPECT_GE(rec.Count('C'), 70000u * 2 / 10002);
    EXPECT_GE(rec.Count('A'), 70000u * 2 / 30002);
}

TEST_F(Sorting, StopLeavesEveryEntryOnce) {
    struct Row {
        uint32_t entries;
        int stopAtCheck;
    } rows[] = {{20, 1}, {3000, 1}, {3000, 2}, {70000, 1}, {70000, 5}, {70000, 12}};
    for (const auto& r : rows) {
        SCOPED_TRACE(std::to_string(r.entries) + " stop at check " + std::to_string(r.stopAtCheck));
        Load(1, RandomList(r.entries, 4));
        std::mt19937 g(5);
        yrb::ListObject& l = List(1);
        std::shuffle(l.index1, l.index1 + l.Count(), g);
        Recorder rec;
        rec.Register();
        const int stopAt = r.stopAtCheck;
        rec.onCheck = [stopAt](int n) { return n >= stopAt ? 1 : 0; };
        yrb::g_pollCounter = 9990;  // the twelfth poll asks first
        EXPECT_EQ(YRB02(1, YRB_SORT_ADDRESS, YRB_INDEX_DISPLAY, 0), YRB_STOPPED);
        EXPECT_TRUE(IsPermutation(Index(1)));
        rec.onCheck = nullptr;
        EXPECT_EQ(YRB02(1, YRB_SORT_ADDRESS, YRB_INDEX_DISPLAY, 0), 1);  // a stop is not remembered
        EXPECT_TRUE(IsPermutation(Index(1)));
    }
}

TEST_F(Sorting, ListStaysBusyWhileSorting) {
    Load(1, RandomList(200, 6));
    Recorder rec;
    rec.Register();
    int32_t freed = 0;
    rec.onInfo = [&freed] { freed = YRB20(1); };
    EXPECT_EQ(YRB02(1, YRB_SORT_ADDRESS, YRB_INDEX_DISPLAY, 0), 1);
    EXPECT_EQ(freed, YRB_FAILED);
    EXPECT_EQ(YRB14(1), 0);
}

}  // namespace

TEST_F(Sorting, SpansFollowTheSortedIndex) {
    // Spans name the part of the entry at each position, as Part does; the
    // order is the one of SortEntries.  Copies repeat many times, so that
    // long runs of one text and runs mixing copies with longer texts occur.
    struct Row {
        uint32_t entries;
        uint32_t seed;
        uint32_t copies;  // each line repeated this often, shuffled
    } rows[] = {{1, 1, 1}, {40, 2, 1}, {3000, 3, 1}, {3000, 4, 40}, {90000, 5, 1}, {90000, 6, 300}};
    for (const auto& r : rows) {
        std::string lines;
        {
            std::vector<std::string> all;
            const std::string base = RandomList(r.entries / r.copies ? r.entries / r.copies : 1, r.seed);
            size_t at = 0;
            while (at < base.size()) {
                const size_t nl = base.find('\n', at);
                const std::string line = base.substr(at, nl - at);
                const std::string text = line.substr(line.find(';') + 1);
                for (uint32_t c = 0; c < r.copies; ++c) all.push_back(text);
                at = nl + 1;
            }
            std::mt19937 g(r.seed);
            std::shuffle(all.begin(), all.end(), g);
            for (size_t i = 0; i < all.size(); ++i) lines += std::to_string(i) + ";" + all[i] + "\n";
        }
        Load(1, lines);
        yrb::ListObject& l = List(1);
        const uint32_t n = l.Count();
        Ids start(n);
        std::iota(start.begin(), start.end(), 0u);
        std::mt19937 g(r.seed + 100);
        std::shuffle(start.begin(), start.end(), g);
        for (int32_t key : {YRB_SORT_ADDRESS, YRB_SORT_USER, YRB_SORT_DOMAIN}) {
            for (int desc = 0; desc < 2; ++desc) {
                SCOPED_TRACE(std::to_string(n) + " entries, copies " + std::to_string(r.copies) + ", key " +
                             std::to_string(key) + (desc ? " descending" : ""));
                Ids plain = start;
                ASSERT_EQ(yrb::SortEntries(l, plain.data(), n, key, desc != 0), 1);
                EXPECT_TRUE(plain == ReferenceSort(l, start, key, desc != 0));
                Ids withSpans = start;
                std::vector<yrb::TextSpan> spans;
                ASSERT_EQ(yrb::SortEntriesSpans(l, withSpans.data(), n, key, desc != 0, spans), 1);
                EXPECT_TRUE(withSpans == plain);
                ASSERT_EQ(spans.size(), n);
                size_t wrong = 0;
                for (uint32_t p = 0; p < n; ++p) {
                    const yrb::ListItem* it = l.Part(withSpans[p], key);
                    const bool same = it ? spans[p].offset == it->offset && spans[p].length == it->length
                                         : spans[p].length == 0;
                    wrong += same ? 0 : 1;
                }
                EXPECT_EQ(wrong, 0u);
            }
        }
    }
}

// List compare (YRB24) and text find (YRB21).
#include <gtest/gtest.h>

#include <algorithm>
#include <set>
#include <string>
#include <vector>

#include "callbacks.h"
#include "fixture.h"
#include "lists.h"
#include "text.h"

namespace yrb {
int IsWordBoundary(const char* text, uint32_t start, uint32_t end, uint32_t length);
}

using fx::Entries;
using fx::Recorder;
using fx::TempDir;
using V = std::vector<std::string>;
using Flags = std::vector<int32_t>;

namespace {

// YRB21's answer with first_only when no entry matches.
constexpr int32_t kNoMatch = -1;

std::string Lines(const V& lines) {
    std::string bytes;
    for (const auto& l : lines) bytes += l + "\n";
    return bytes.empty() ? std::string("\n") : bytes;
}

class CompareFind : public ::testing::Test {
protected:
    void SetUp() override { fx::ResetEngine(); }
    void TearDown() override { fx::ResetEngine(); }
    // Column 2 of ";" records, so that "x" lines have no address.
    void Load(int32_t slot, const V& lines) {
        const std::string p = dir.Write("list" + std::to_string(slot) + ".mal", Lines(lines));
        ASSERT_EQ(YRB13(slot, p.c_str(), 2, ";", "\n"), static_cast<int32_t>(lines.size()));
    }
    static Flags AllFlags(int32_t slot) {
        Flags out;
        for (int32_t e = 0; YRB17(slot, e, -1) >= 0; ++e) out.push_back(YRB17(slot, e, -1));
        return out;
    }
    // Flags by address after the compare sorted the lists ("<none>" first).
    static std::vector<std::pair<std::string, int32_t>> ByAddress(int32_t slot) {
        std::vector<std::pair<std::string, int32_t>> out;
        const V addresses = Entries(slot, YRB_PART_ADDRESS);
        for (size_t e = 0; e < addresses.size(); ++e)
            out.emplace_back(addresses[e], YRB17(slot, static_cast<int32_t>(e), -1));
        return out;
    }
    TempDir dir;
};

using Pairs = std::vector<std::pair<std::string, int32_t>>;

TEST_F(CompareFind, CompareRows) {
    struct Row {
        const char* name;
        V list1, list2;
        Flags before1, before2;  // flags in file order before the compare
        int32_t mustHave, mustNot;
        Pairs after1, after2;  // in the sorted order the compare leaves
    } rows[] = {
        {"repeats on both sides flag all five",
         {"1;a@x", "2;c@x", "3;a@x"},
         {"1;a@x", "2;b@x", "3;A@X", "4;a@x"},
         {0, 0, 0},
         {0, 0, 0, 0},
         0,
         0,
         {{"a@x", 4}, {"a@x", 4}, {"c@x", 0}},
         {{"a@x", 4}, {"a@x", 4}, {"a@x", 4}, {"b@x", 0}}},
        {"entries without an address are never flagged",
         {"1", "2;a@x", "3;"},
         {"x", "2;a@x"},
         {0, 0, 0},
         {0, 0},
         0,
         0,
         {{"<none>", 0}, {"<none>", 0}, {"a@x", 4}},
         {{"<none>", 0}, {"a@x", 4}}},
        {"the flag is cleared first, other bits stay",
         {"1;a@x", "2;b@x"},
         {"1;c@x"},
         {4, 5},
         {0x24},
         0,
         0,
         {{"a@x", 0}, {"b@x", 1}},
         {{"c@x", 0x20}}},
        {"a removed entry in list 2 matches nothing",
         {"1;a@x", "2;b@x"},
         {"1;a@x", "2;b@x", "3;b@x"},
         {0, 0},
         {8, 0, 0},
         0,
         120,
         {{"a@x", 0}, {"b@x", 4}},
         {{"a@x", 8}, {"b@x", 4}, {"b@x", 4}}},
        {"a filtered entry inside a run neither counts nor ends it",
         {"1;a@x", "2;a@x", "3;a@x"},
         {"1;a@x"},
         {0, 1, 0},
         {0},
         0,
         1,
         {{"a@x", 4}, {"a@x", 1}, {"a@x", 4}},
         {{"a@x", 4}}},
        {"prefixes are not equal",
         {"1;ab@x", "2;a@x.com"},
         {"1;a@x", "2;ab@x.co"},
         {0, 0},
         {0, 0},
         0,
         0,
         {{"a@x.com", 0}, {"ab@x", 0}},
         {{"a@x", 0}, {"ab@x.co", 0}}},
        {"interleaved",
         {"1;d@x", "2;b@x", "3;f@x", "4;a@x"},
         {"1;c@x", "2;f@x", "3;a@x", "4;e@x", "5;g@x"},
         {0, 0, 0, 0},
         {0, 0, 0, 0, 0},
         0,
         0,
         {{"a@x", 4}, {"b@x", 0}, {"d@x", 0}, {"f@x", 4}},
         {{"a@x", 4}, {"c@x", 0}, {"e@x", 0}, {"f@x", 4}, {"g@x", 0}}},
        {"must-have selects",
         {"1;a@x", "2;b@x"},
         {"1;a@x", "2;b@x"},
         {1, 0},
         {1, 1},
         1,
         0,
         {{"a@x", 5}, {"b@x", 0}},
         {{"a@x", 5}, {"b@x", 1}}},
    };
    for (const auto& r : rows) {
        SCOPED_TRACE(r.name);
        Load(1, r.list1);
        Load(2, r.list2);
        for (size_t e = 0; e < r.before1.size(); ++e) YRB03(1, static_cast<int32_t>(e), r.before1[e], 1);
        for (size_t e = 0; e < r.before2.size(); ++e) YRB03(2, static_cast<int32_t>(e), r.before2[e], 1);
        Recorder rec;
        rec.Register();
        EXPECT_EQ(YRB24(0, YRB_FLAG_IN_BOTH, r.mustHave, r.mustNot, 0), 1);
        EXPECT_EQ(ByAddress(1), r.after1);
        EXPECT_EQ(ByAddress(2), r.after2);
        EXPECT_EQ(rec.Count('E'), 0u);
    }
}

TEST_F(CompareFind, CompareCallbacksAndStableOrder) {
    Load(1, {"1;b@x", "2;a@x", "3;A@x", "4;c@x"});
    Load(2, {"1;c@x", "2;a@x"});
    Recorder rec;
    rec.Register();
    EXPECT_EQ(YRB24(0, 4, 0, 0, 0), 1);
    EXPECT_EQ(rec.Texts('I'), (V{"Updating entry flags", "Updating entry flags", "Sorting entries alphabetically",
                                 "Sorting entries alphabetically", "Comparing lists entries"}));
    EXPECT_EQ(rec.Values('S'), (std::vector<int32_t>{4, 2, 4}));
    EXPECT_EQ(rec.Values('P').back(), 4);
    EXPECT_EQ(Entries(1, YRB_PART_ADDRESS), (V{"a@x", "a@x", "b@x", "c@x"}));
    // Index 1 holds the entries in address order (stable: file order within).
    const yrb::ListObject* l1 = yrb::SlotList(1);
    EXPECT_EQ((std::vector<uint32_t>(l1->index1, l1->index1 + 4)), (std::vector<uint32_t>{1, 2, 0, 3}));
}

TEST_F(CompareFind, CompareFailuresAndEmptyLists) {
    Recorder rec;
    rec.Register();
    EXPECT_EQ(YRB24(0, 4, 0, 0, 0), YRB_FAILED);
    EXPECT_EQ(rec.Texts('E'), (V{"No memory space has been allocated for the file content in List 1"}));
    Load(1, {"1;a@x"});
    rec.events.clear();
    EXPECT_EQ(YRB24(0, 4, 0, 0, 0), YRB_FAILED);
    EXPECT_EQ(rec.Texts('E'), (V{"No memory space has been allocated for the file content in List 2"}));
    // A list of 0 entries compares successfully.
    const std::string empty = dir.Write("empty.mal", "\n");
    ASSERT_EQ(YRB13(2, empty.c_str(), 0, "", "\n"), 0);
    rec.events.clear();
    EXPECT_EQ(YRB24(0, 4, 0, 0, 0), 1);
    EXPECT_EQ(AllFlags(1), (Flags{0}));
    ASSERT_EQ(YRB13(1, empty.c_str(), 0, "", "\n"), 0);
    EXPECT_EQ(YRB24(0, 4, 0, 0, 1), 1);
    EXPECT_EQ(rec.Count('E'), 0u);
}

TEST_F(CompareFind, CompareStopIsMinusTwo) {
    Load(1, {"1;b@x", "2;a@x", "3;c@x"});
    Load(2, {"1;a@x", "2;c@x", "3;b@x"});
    Recorder rec;
    rec.Register();
    rec.onCheck = [](int) { return 1; };
    // A stop while clearing the flags is -2, not -1.
    yrb::g_pollCounter = 10000;
    EXPECT_EQ(YRB24(0, 4, 0, 0, 0), YRB_STOPPED);
    // A stop while sorting list 1 is -2 too: list 1 and list 2 clear in six
    // polls, the sort polls next.
    rec.events.clear();
    yrb::g_pollCounter = 10001 - 6;
    EXPECT_EQ(YRB24(0, 4, 0, 0, 0), YRB_STOPPED);
    EXPECT_EQ(rec.Texts('I').back(), "Sorting entries alphabetically");
    // A stop while comparing leaves the matches found so far: a and b match
    // in eight polls, the ninth asks.
    rec.events.clear();
    rec.onInfo = [&] {
        if (rec.events.back().text == "Comparing lists entries") yrb::g_pollCounter = 10001 - 8;
    };
    EXPECT_EQ(YRB24(0, 4, 0, 0, 0), YRB_STOPPED);
    EXPECT_EQ(Entries(1, YRB_PART_ADDRESS), (V{"a@x", "b@x", "c@x"}));
    EXPECT_EQ(AllFlags(1), (Flags{4, 4, 0}));
    EXPECT_EQ(AllFlags(2), (Flags{4, 4, 0}));
    rec.onInfo = nullptr;
    rec.onCheck = nullptr;
    EXPECT_EQ(YRB24(0, 4, 0, 0, 0), 1);
    EXPECT_EQ(AllFlags(1), (Flags{4, 4, 4}));
}

// A text that differs from base but has the same CRC-32: base, one chosen
// letter, and four bytes solved for over GF(2).
std::string SameCrc(const std::string& base) {
    const uint32_t target = yrb::Crc32(base.data(), base.size());
    for (char c = 'a'; c <= 'z'; ++c) {
        std::string s = base + c + std::string(4, '\0');
        auto crcWith = [&](uint32_t x) {
            for (int k = 0; k < 4; ++k) s[s.size() - 4 + k] = static_cast<char>((x >> (8 * k)) & 0xFF);
            return yrb::Crc32(s.data(), s.size());
        };
        // crc(x) = crc(0) ^ M x; solve M x = target ^ crc(0).
        const uint32_t c0 = crcWith(0);
        uint32_t cols[32];
        for (int b = 0; b < 32; ++b) cols[b] = crcWith(1u << b) ^ c0;
        // Gaussian elimination on the augmented columns.
        uint32_t rows[32];   // row i: bit b = M[i][b]
        uint32_t rhs = target ^ c0;
        for (int i = 0; i < 32; ++i) {
            rows[i] = 0;
            for (int b = 0; b < 32; ++b) rows[i] |= ((cols[b] >> i) & 1u) << b;
        }
        uint32_t rhsBits[32];
        for (int i = 0; i < 32; ++i) rhsBits[i] = (rhs >> i) & 1u;
        int rank = 0;
        int pivotCol[32];
        for (int b = 0; b < 32 && rank < 32; ++b) {
            int p = -1;
            for (int i = rank; i < 32; ++i)
                if ((rows[i] >> b) & 1u) {
                    p = i;
                    break;
                }
            if (p < 0) continue;
            std::swap(rows[p], rows[rank]);
            std::swap(rhsBits[p], rhsBits[rank]);
            for (int i = 0; i < 32; ++i)
                if (i != rank && ((rows[i] >> b) & 1u)) {
                    rows[i] ^= rows[rank];
                    rhsBits[i] ^= rhsBits[rank];
                }
            pivotCol[rank++] = b;
        }
        if (rank < 32) continue;
        uint32_t x = 0;
        for (int i = 0; i < 32; ++i)
            if (rhsBits[i]) x |= 1u << pivotCol[i];
        crcWith(x);
        bool clean = true;  // bytes the loader would change or split at
        for (size_t k = base.size(); k < s.size(); ++k)
            if (s[k] == '\n' || s[k] == ';' || s[k] == '@' || (s[k] >= 'A' && s[k] <= 'Z') || s[k] == '\0') clean = false;
        if (clean && yrb::Crc32(s.data(), s.size()) == target) return s;
    }
    return {};
}

TEST_F(CompareFind, CrcOnlyExtendsRunsOnTheCrc) {
    const std::string twin = SameCrc("a@x");
    ASSERT_FALSE(twin.empty());
    ASSERT_EQ(yrb::Crc32(twin.data(), twin.size()), yrb::Crc32("a@x", 3));
    // Sorted, the twin follows "a@x" directly in list 2.
    Load(1, {"1;a@x"});
    Load(2, {"1;" + twin, "2;a@x"});
    EXPECT_EQ(YRB24(0, 4, 0, 0, 0), 1);
    EXPECT_EQ(AllFlags(2), (Flags{4, 0}));  // compared on the bytes
    EXPECT_EQ(YRB24(0, 4, 0, 0, 1), 1);
    EXPECT_EQ(AllFlags(2), (Flags{4, 4}));  // CRC only: the twin joins the run
    EXPECT_EQ(YRB24(0, 4, 0, 0, 2), 1);     // only exactly 1 means CRC only
    EXPECT_EQ(AllFlags(2), (Flags{4, 0}));
    // The first match of a run is always decided on the bytes.
    Load(1, {"1;" + twin});
    Load(2, {"1;a@x"});
    EXPECT_EQ(YRB24(0, 4, 0, 0, 1), 1);
    EXPECT_EQ(AllFlags(1), (Flags{0}));
}

TEST_F(CompareFind, CompareLargeListsAsTheSet) {
    // Thousands of entries (the merge reads the sorted lists in blocks), many
    // repeats, entries without address and a filter: an entry is flagged
    // exactly when it takes part and its address is taken part by the other
    // list.
    uint64_t h = 12345;
    auto next = [&] {
        h = h * 6364136223846793005ull + 1442695040888963407ull;
        return static_cast<uint32_t>(h >> 33);
    };
    auto make = [&](int n) {
        V lines;
        for (int k = 0; k < n; ++k) {
            const uint32_t r = next() % 1000;
            if (r < 20) {
                lines.push_back(std::to_string(k));  // no address
            } else {
                std::string line = std::to_string(k);
                line.append(";u").append(std::to_string(next() % 3000)).append("@D");
                line.append(std::to_string(r % 7)).append(".com");
                lines.push_back(line);
            }
        }
        return lines;
    };
    const V list1 = make(5000);
    const V list2 = make(7000);
    for (const int32_t crcOnly : {0, 1}) {
        SCOPED_TRACE(crcOnly);
        Load(1, list1);
        Load(2, list2);
        Flags f1, f2;
        for (size_t e = 0; e < list1.size(); ++e) f1.push_back(next() % 5 == 0 ? 8 : 0);
        for (size_t e = 0; e < list2.size(); ++e) f2.push_back(next() % 5 == 0 ? 8 : 0);
        for (size_t e = 0; e < f1.size(); ++e) YRB03(1, static_cast<int32_t>(e), f1[e], 1);
        for (size_t e = 0; e < f2.size(); ++e) YRB03(2, static_cast<int32_t>(e), f2[e], 1);
        const V a1 = Entries(1, YRB_PART_ADDRESS), a2 = Entries(2, YRB_PART_ADDRESS);
        std::set<std::string> in1, in2;
        for (size_t e = 0; e < a1.size(); ++e)
            if (a1[e] != "<none>" && f1[e] == 0) in1.insert(a1[e]);
        for (size_t e = 0; e < a2.size(); ++e)
            if (a2[e] != "<none>" && f2[e] == 0) in2.insert(a2[e]);
        using Bag = std::multiset<std::pair<std::string, int32_t>>;
        Bag want1, want2;
        for (size_t e = 0; e < a1.size(); ++e)
            want1.insert({a1[e], f1[e] | (a1[e] != "<none>" && f1[e] == 0 && in2.count(a1[e]) ? 4 : 0)});
        for (size_t e = 0; e < a2.size(); ++e)
            want2.insert({a2[e], f2[e] | (a2[e] != "<none>" && f2[e] == 0 && in1.count(a2[e]) ? 4 : 0)});
        EXPECT_EQ(YRB24(0, 4, 0, 0x78, crcOnly), 1);
        const Pairs got1 = ByAddress(1), got2 = ByAddress(2);
        EXPECT_EQ(Bag(got1.begin(), got1.end()), want1);
        EXPECT_EQ(Bag(got2.begin(), got2.end()), want2);
        // Entries without address first, then ascending addresses.
        for (const int32_t slot : {1, 2}) {
            const V sorted = Entries(slot, YRB_PART_ADDRESS);
            const auto first = std::find_if(sorted.begin(), sorted.end(), [](const std::string& x) { return x != "<none>"; });
            EXPECT_EQ(std::find(first, sorted.end(), "<none>"), sorted.end());
            EXPECT_TRUE(std::is_sorted(first, sorted.end()));
        }
    }
}

TEST_F(CompareFind, ListsInUseCannotBeFreed) {
    Load(1, {"1;a@x"});
    Load(2, {"1;a@x"});
    Recorder rec;
    rec.Register();
    std::vector<int32_t> inner;
    rec.onInfo = [&] {
        inner.push_back(YRB20(1));
        inner.push_back(YRB20(2));
    };
    EXPECT_EQ(YRB24(0, 4, 0, 0, 0), 1);
    for (int32_t r : inner) EXPECT_EQ(r, YRB_FAILED);
    inner.clear();
    EXPECT_EQ(YRB21(1, YRB_PART_ADDRESS, "a", 0, 0, 0, YRB_FIND_ANYWHERE, 0, 1, 0, 0), 1);
    ASSERT_FALSE(inner.empty());
    EXPECT_EQ(inner[0], YRB_FAILED);
}

TEST(WordBoundary, Table) {
    struct Row {
        const char* text;
        uint32_t start, end;
        int result;
    } rows[] = {
        {"x.com", 2, 4, 1},  {"x.com", 2, 3, 0},   {"x.com", 0, 0, 1},  {"xcom", 1, 3, 0},
        {"a-b", 0, 0, 1},    {"a-b", 2, 2, 1},     {"ab", 0, 2, -1},    {"\xe9" "ab\xe9", 1, 2, 1},
        {"9ab", 1, 2, 0},    {"ab_", 0, 1, 1},
    };
    for (const auto& r : rows) {
        const uint32_t len = static_cast<uint32_t>(std::strlen(r.text));
        EXPECT_EQ(yrb::IsWordBoundary(r.text, r.start, r.end, len), r.result) << r.text << " " << r.start;
    }
}

TEST_F(CompareFind, FindRows) {
    // Entry 4 has no domain, entry 5 no address at all.
    const V lines = {"1;john.smith@example.com", "2;anna@mail.example.org", "3;aaa@baaa.com",
                     "4;smith@co.uk.com", "5;nodomain", "6", "7;Bob@EXAMPLE.com"};
    struct Row {
        const char* name;
        int32_t part;
        const char* text;
        int32_t whole, caseSensitive, start, position, firstOnly, flag, mustHave, mustNot;
        int32_t result;
        Flags after;  // flags of the 7 entries
    } rows[] = {
        {"address anywhere", YRB_PART_ADDRESS, "example", 0, 0, 0, YRB_FIND_ANYWHERE, 0, 1, 0, 0,
         3, {1, 1, 0, 0, 0, 0, 1}},
        {"case-insensitive text", YRB_PART_ADDRESS, "EXAMPLE", 0, 0, 0, YRB_FIND_ANYWHERE, 0, 1, 0, 0,
         3, {1, 1, 0, 0, 0, 0, 1}},
        {"case-sensitive capitals find nothing", YRB_PART_ADDRESS, "EXAMPLE", 0, 1, 0, YRB_FIND_ANYWHERE, 0, 1, 0, 0,
         0, {0, 0, 0, 0, 0, 0, 0}},
        {"case-sensitive small letters", YRB_PART_ADDRESS, "example", 0, -1, 0, YRB_FIND_ANYWHERE, 0, 1, 0, 0,
         3, {1, 1, 0, 0, 0, 0, 1}},
        {"user starts with", YRB_PART_USER, "smith", 0, 0, 0, YRB_FIND_AT_START, 0, 1, 0, 0,
         1, {0, 0, 0, 1, 0, 0, 0}},
        {"user contains", YRB_PART_USER, "smith", 0, 0, 0, YRB_FIND_ANYWHERE, 0, 1, 0, 0,
         2, {1, 0, 0, 1, 0, 0, 0}},
        {"user whole word", YRB_PART_USER, "smith", 1, 0, 0, YRB_FIND_ANYWHERE, 0, 1, 0, 0,
         2, {1, 0, 0, 1, 0, 0, 0}},
        {"domain ends with", YRB_PART_DOMAIN, ".com", 0, 0, 0, YRB_FIND_AT_END, 0, 1, 0, 0,
         4, {1, 0, 1, 1, 0, 0, 1}},
        // The user "aaa" ends with "aa": the occurrence that ends it starts
        // at the second byte, not at the first occurrence.
        {"ends with overlapping", YRB_PART_USER, "aa", 0, 0, 0, YRB_FIND_AT_END, 0, 1, 0, 0,
         1, {0, 0, 1, 0, 0, 0, 0}},
        {"whole word com", YRB_PART_DOMAIN, "com", 1, 0, 0, YRB_FIND_AT_END, 0, 1, 0, 0,
         4, {1, 0, 1, 1, 0, 0, 1}},
        {"whole word co is no word", YRB_PART_DOMAIN, "co", 1, 0, 0, YRB_FIND_ANYWHERE, 0, 1, 0, 0,
         1, {0, 0, 0, 1, 0, 0, 0}},
        {"whole word at the start", YRB_PART_ADDRESS, "aaa", 1, 0, 0, YRB_FIND_ANYWHERE, 0, 1, 0, 0,
         1, {0, 0, 1, 0, 0, 0, 0}},
        {"whole word between dots", YRB_PART_DOMAIN, "uk", 1, 0, 0, YRB_FIND_ANYWHERE, 0, 1, 0, 0,
         1, {0, 0, 0, 1, 0, 0, 0}},
        {"start skips earlier entries", YRB_PART_ADDRESS, "example", 0, 0, 1, YRB_FIND_ANYWHERE, 0, 1, 0, 0,
         2, {0, 1, 0, 0, 0, 0, 1}},
        {"first only", YRB_PART_ADDRESS, "example", 0, 0, 1, YRB_FIND_ANYWHERE, 1, 1, 0, 0,
         1, {0, 1, 0, 0, 0, 0, 0}},
        {"first only none", YRB_PART_ADDRESS, "zzz", 0, 0, 0, YRB_FIND_ANYWHERE, 1, 1, 0, 0,
         kNoMatch, {0, 0, 0, 0, 0, 0, 0}},
        {"count none", YRB_PART_ADDRESS, "zzz", 0, 0, 0, YRB_FIND_ANYWHERE, 0, 1, 0, 0,
         0, {0, 0, 0, 0, 0, 0, 0}},
        {"flag 0 counts only", YRB_PART_ADDRESS, "example", 0, 0, 0, YRB_FIND_ANYWHERE, 0, 0, 0, 0,
         3, {0, 0, 0, 0, 0, 0, 0}},
        {"work flag", YRB_PART_DOMAIN, "example.com", 1, 0, 0, YRB_FIND_AT_END, 0, 0x80, 0, 0,
         2, {0x80, 0, 0, 0, 0, 0, 0x80}},
        {"part above 2 is the address", 7, "anna@", 0, 0, 0, YRB_FIND_AT_START, 0, 1, 0, 0,
         1, {0, 1, 0, 0, 0, 0, 0}},
        // Entries that lack the part are passed over, never matched.
        {"domain search passes over entries without domain", YRB_PART_DOMAIN, "o", 0, 0, 0, YRB_FIND_ANYWHERE, 0, 1, 0, 0,
         5, {1, 1, 1, 1, 0, 0, 1}},
        {"text longer than the part", YRB_PART_DOMAIN, "example.com.longer", 0, 0, 0, YRB_FIND_ANYWHERE, 0, 1, 0, 0,
         0, {0, 0, 0, 0, 0, 0, 0}},
    };
    for (const auto& r : rows) {
        SCOPED_TRACE(r.name);
        Load(1, lines);
        YRB03(1, 2, 1, 1);  // selected before: cleared by a search with flag 1
        Recorder rec;
        rec.Register();
        EXPECT_EQ(YRB21(1, r.part, r.text, r.whole, r.caseSensitive, r.start, r.position, r.firstOnly, r.flag,
                        r.mustHave, r.mustNot),
                  r.result);
        Flags expected = r.after;
        if (r.flag != 1) expected[2] |= 1;
        EXPECT_EQ(AllFlags(1), expected);
        EXPECT_EQ(rec.Count('E'), 0u);
    }
}

TEST_F(CompareFind, FindWholeWordAndPositions) {
    struct Row {
        const char* address;
        int32_t part;
        const char* text;
        int32_t whole, position;
        bool match;
    } rows[] = {
        // Whole word looks at every occurrence, not only the first.
        {"1;abc.ab@x.com", YRB_PART_USER, "ab", 1, YRB_FIND_ANYWHERE, true},
        {"1;abc.abd@x.com", YRB_PART_USER, "ab", 1, YRB_FIND_ANYWHERE, false},
        {"1;xexample.example@x.com", YRB_PART_ADDRESS, "example", 1, YRB_FIND_ANYWHERE, true},
        // "Ends with" is tested on the end of the part itself.
        {"1;aaa@x.com", YRB_PART_USER, "aa", 0, YRB_FIND_AT_END, true},
        {"1;aaab@x.com", YRB_PART_USER, "aa", 0, YRB_FIND_AT_END, false},
        {"1;ab.ab@x.com", YRB_PART_USER, "ab", 1, YRB_FIND_AT_END, true},
        {"1;ab.cab@x.com", YRB_PART_USER, "ab", 1, YRB_FIND_AT_END, false},
        {"1;ab.cab@x.com", YRB_PART_USER, "ab", 1, YRB_FIND_AT_START, true},
        {"1;abc.ab@x.com", YRB_PART_USER, "ab", 1, YRB_FIND_AT_START, false},
        {"1;abc@x.com", YRB_PART_USER, "abc", 0, YRB_FIND_AT_START, true},
        {"1;abc@x.com", YRB_PART_USER, "abc", 1, YRB_FIND_AT_END, true},
        {"1;abc@x.com", YRB_PART_USER, "bc", 0, YRB_FIND_AT_START, false},
        {"1;\xe9t\xe9@x.com", YRB_PART_USER, "t", 1, YRB_FIND_ANYWHERE, true},  // bytes 128..255 are no letters
    };
    for (const auto& r : rows) {
        SCOPED_TRACE(std::string(r.address) + " " + r.text);
        Load(1, {r.address});
        EXPECT_EQ(YRB21(1, r.part, r.text, r.whole, 0, 0, r.position, 0, 1, 0, 0), r.match ? 1 : 0);
    }
}

TEST_F(CompareFind, FindFilterAndFailures) {
    Load(1, {"1;a@x", "2;a@y", "3;a@z"});
    YRB03(1, 1, 0x08, 1);
    Recorder rec;
    rec.Register();
    EXPECT_EQ(YRB21(1, YRB_PART_ADDRESS, "a@", 0, 0, 0, YRB_FIND_AT_START, 0, 1, 0, 120), 2);
    EXPECT_EQ(AllFlags(1), (Flags{1, 8, 1}));
    EXPECT_EQ(rec.Texts('I'), (V{"Updating entry flags", "Finding string occurrence(s)"}));
    EXPECT_EQ(rec.Values('S'), (std::vector<int32_t>{3, 3}));
    EXPECT_EQ(rec.Values('P').back(), 3);
    rec.events.clear();
    // Start out of range: silent, and no flag is touched.
    EXPECT_EQ(YRB21(1, YRB_PART_ADDRESS, "a", 0, 0, 3, YRB_FIND_ANYWHERE, 0, 1, 0, 0), YRB_FAILED);
    EXPECT_EQ(YRB21(1, YRB_PART_ADDRESS, "a", 0, 0, -1, YRB_FIND_ANYWHERE, 0, 1, 0, 0), YRB_FAILED);
    EXPECT_TRUE(rec.events.empty());
    EXPECT_EQ(AllFlags(1), (Flags{1, 8, 1}));
    EXPECT_EQ(YRB21(1, YRB_PART_ADDRESS, "", 0, 0, 0, YRB_FIND_ANYWHERE, 0, 1, 0, 0), YRB_FAILED);
    EXPECT_EQ(YRB21(1, YRB_PART_ADDRESS, nullptr, 0, 0, 0, YRB_FIND_ANYWHERE, 0, 1, 0, 0), YRB_FAILED);
    EXPECT_EQ(YRB21(2, YRB_PART_ADDRESS, "a", 0, 0, 0, YRB_FIND_ANYWHERE, 0, 1, 0, 0), YRB_FAILED);
    EXPECT_EQ(rec.Texts('E'), (V{"No string to find has been provided", "No string to find has been provided",
                                 "No memory space has been allocated for the file content in List 2"}));
}

TEST_F(CompareFind, FindOnZeroEntries) {
    const std::string empty = dir.Write("empty.mal", "\n");
    ASSERT_EQ(YRB13(1, empty.c_str(), 0, "", "\n"), 0);
    Recorder rec;
    rec.Register();
    EXPECT_EQ(YRB21(1, YRB_PART_ADDRESS, "a", 0, 0, 0, YRB_FIND_ANYWHERE, 0, 1, 0, 0), 0);
    EXPECT_EQ(YRB21(1, YRB_PART_ADDRESS, "a", 0, 0, 0, YRB_FIND_ANYWHERE, 1, 1, 0, 0), kNoMatch);
    // Start beyond the entries.
    EXPECT_EQ(YRB21(1, YRB_PART_ADDRESS, "a", 0, 0, 1, YRB_FIND_ANYWHERE, 0, 1, 0, 0), YRB_FAILED);
    EXPECT_EQ(rec.Count('E'), 0u);
}

TEST_F(CompareFind, FindStopIsMinusTwo) {
    Load(1, {"1;a@x", "2;a@y", "3;a@z"});
    Recorder rec;
    rec.Register();
    rec.onCheck = [](int) { return 1; };
    // A stop while clearing the flag is -2.
    yrb::g_pollCounter = 10001;
    EXPECT_EQ(YRB21(1, YRB_PART_ADDRESS, "a", 0, 0, 0, YRB_FIND_ANYWHERE, 0, 1, 0, 0), YRB_STOPPED);
    // A stop while searching keeps the matches found so far: three clearing
    // polls, then the first entry's, then the second entry's asks.
    yrb::g_pollCounter = 10001 - 4;
    EXPECT_EQ(YRB21(1, YRB_PART_ADDRESS, "a", 0, 0, 0, YRB_FIND_ANYWHERE, 0, 1, 0, 0), YRB_STOPPED);
    EXPECT_EQ(AllFlags(1), (Flags{1, 0, 0}));
}

}  // namespace

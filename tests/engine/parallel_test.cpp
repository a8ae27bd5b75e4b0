// The passes that run on worker threads against the single-thread path: the
// same lists, flags, counts, orders, files and results for any number of
// threads, and stops that leave what the single-thread stop rules leave.
#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <numeric>
#include <random>
#include <string>
#include <thread>
#include <vector>

#include "callbacks.h"
#include "fixture.h"
#include "lists.h"
#include "parallel.h"
#include "sorting.h"

using fx::Recorder;
using fx::TempDir;
using namespace std::string_literals;

namespace {

constexpr unsigned kThreadCounts[] = {2, 3, 8};

// Workers for every list, however short, while the scope lasts; threads 1
// is the single-thread path.
class Threads {
public:
    explicit Threads(unsigned n) { yrb::SetParallelForTesting(n, n > 1 ? 0 : UINT32_MAX); }
    ~Threads() { yrb::ResetParallelForTesting(); }
    Threads(const Threads&) = delete;
    Threads& operator=(const Threads&) = delete;
};

yrb::ListObject& List(int32_t slot) { return *yrb::SlotList(slot); }

// Everything a loaded list holds, for comparing two loads.
struct Snapshot {
    std::string content;
    std::vector<std::vector<uint32_t>> items;  // per level: offset, length, crc, first
    std::vector<uint32_t> index1, index2, occurrences;
    std::vector<uint8_t> flags;

    explicit Snapshot(int32_t slot) {
        const yrb::ListObject& l = List(slot);
        if (l.content) content.assign(l.content, l.size);
        for (uint32_t lv = 0; l.dims && lv < l.levels; ++lv) {
            const yrb::ListDimension& d = l.dims[lv];
            std::vector<uint32_t> v{d.parsed, d.capacity};
            for (uint32_t i = 0; i < d.parsed; ++i) {
                const yrb::ListItem& it = d.items[i];
                v.insert(v.end(), {it.offset, it.length, it.crc, it.first});
            }
            items.push_back(std::move(v));
        }
        const uint32_t n = l.Count();
        if (l.index1) index1.assign(l.index1, l.index1 + n);
        if (l.index2) index2.assign(l.index2, l.index2 + n);
        if (l.occurrences) occurrences.assign(l.occurrences, l.occurrences + n);
        if (l.flags) flags.assign(l.flags, l.flags + n);
    }
    bool operator==(const Snapshot&) const = default;
};

// Records of a few fields, addresses in mixed case with and without "@",
// empty records and fields, separators of the given kinds.
std::string RandomRecords(uint32_t n, uint32_t seed, const std::string& fieldSep, const std::string& recordSep) {
    std::mt19937 g(seed);
    const char alphabet[] = "abcXYZ.@-0\x80\xff";
    std::string out;
    for (uint32_t i = 0; i < n; ++i) {
        if (g() % 20 == 0) {  // an empty record
            out += recordSep;
            continue;
        }
        const uint32_t fields = 1 + g() % 4;
        for (uint32_t f = 0; f < fields; ++f) {
            if (f) out += fieldSep;
            const uint32_t len = g() % 14;
            for (uint32_t k = 0; k < len; ++k) out += alphabet[g() % (sizeof alphabet - 1)];
        }
        out += recordSep;
    }
    if (g() % 2) out.resize(out.size() - recordSep.size());  // no final separator
    return out;
}

class Parallel : public ::testing::Test {
protected:
    void SetUp() override { fx::ResetEngine(); }
    void TearDown() override { fx::ResetEngine(); }
    TempDir dir;
};

TEST_F(Parallel, LoadsTheSameListWithEverySeparatorKind) {
    struct Row {
        const char* name;
        std::string fieldSep, recordSep;
        int32_t column;
    } rows[] = {
        {"lines", "", "\n", 0},
        {"crlf, column 2", ";", "\r\n", 2},
        {"letters in the record separator", ",", "Xy", 1},
        {"a separator that overlaps itself", ";", "\n\n", 0},
        {"long separators, column 3", "<;>", "</r>", 3},
        {"tab records, blank fields", " ", "\t", 2},
    };
    for (const auto& r : rows) {
        for (uint32_t entries : {1u, 7u, 3000u}) {
            SCOPED_TRACE(std::string(r.name) + ", " + std::to_string(entries) + " records");
            const std::string path = dir.Write("list.mal", RandomRecords(entries, entries, r.fieldSep, r.recordSep));
            int32_t single = 0;
            {
                Threads one(1);
                single = YRB13(1, path.c_str(), r.column, r.fieldSep.c_str(), r.recordSep.c_str());
            }
            const Snapshot expected(1);
            for (unsigned threads : kThreadCounts) {
                Threads many(threads);
                Recorder rec;
                rec.Register();
                ASSERT_EQ(YRB13(1, path.c_str(), r.column, r.fieldSep.c_str(), r.recordSep.c_str()), single);
                EXPECT_TRUE(Snapshot(1) == expected) << threads << " threads";
                EXPECT_EQ(rec.Texts('I'), (std::vector<std::string>{"Loading file", "Counting entries",
                                                                     "Allocating Memory", "Parsing entries"}));
                EXPECT_EQ(rec.Count('E'), 0u);
                // Each step's progress climbs to its total.
                const std::vector<int32_t> totals = rec.Values('S');
                const std::vector<int32_t> progress = rec.Values('P');
                ASSERT_FALSE(progress.empty());
                EXPECT_EQ(progress.back(), totals.back());
            }
        }
    }
}

// Addresses sharing long beginnings (one bucket holds most of a long list),
// crossing eight-byte boundaries, holding NUL and high bytes, repeating, and
// some without a domain or an address.
std::string RandomAddresses(uint32_t n, uint32_t seed) {
    std::mt19937 g(seed);
    const std::string prefixes[] = {"", "a", "info@", "aaaaaaaaaaaaaaaa", "aaaaaaaaaaaaaaaab", "a\0"s};
    const char alphabet[] = {'a', 'b', '\0', '\x80', '\xff', 'z', '.'};
    std::vector<std::string> seen;
    std::string out;
    for (uint32_t i = 0; i < n; ++i) {
        out += std::to_string(i) + ";";
        if (g() % 50 == 0) {  // no address
            out += "\n";
            continue;
        }
        std::string s;
        if (!seen.empty() && g() % 4 == 0) {
            s = seen[g() % seen.size()];  // a repeat
        } else {
            s = prefixes[g() % 6];
            const uint32_t len = g() % 20;
            for (uint32_t k = 0; k < len; ++k) s += alphabet[g() % 7];
            if (g() % 4) {
                s += "@";
                const uint32_t dl = g() % 12;
                for (uint32_t k = 0; k < dl; ++k) s += alphabet[g() % 7];
            }
            if (s.empty() || s == "@") s = "x";
            seen.push_back(s);
        }
        out += s + "\n";
    }
    return out;
}

// Random flags and counts, and a shuffled display order.
void Scramble(int32_t slot, uint32_t seed) {
    yrb::ListObject& l = List(slot);
    std::mt19937 g(seed);
    for (uint32_t i = 0; i < l.Count(); ++i) {
        l.flags[i] = static_cast<uint8_t>(g());
        l.occurrences[i] = g() % 70000;  // more than one 16-bit digit
    }
    std::shuffle(l.index1, l.index1 + l.Count(), g);
    std::copy(l.index1, l.index1 + l.Count(), l.index2);
}

TEST_F(Parallel, SortsInTheSameOrderByEveryKey) {
    for (uint32_t entries : {5u, 2000u, 20000u}) {  // past 4096 in one bucket, workers share its splits
        const std::string path = dir.Write("list.mal", RandomAddresses(entries, entries));
        ASSERT_EQ(YRB13(1, path.c_str(), 2, ";", "\n"), static_cast<int32_t>(entries));
        Scramble(1, 3);
        const std::vector<uint32_t> start(List(1).index1, List(1).index1 + entries);
        for (int32_t key = YRB_SORT_ADDRESS; key <= YRB_SORT_SELECTED; ++key) {
            for (int desc = 0; desc < 2; ++desc) {
                SCOPED_TRACE(std::to_string(entries) + " entries, key " + std::to_string(key) + (desc ? " descending" : ""));
                std::vector<std::vector<uint32_t>> orders;
                for (unsigned threads : {1u, 2u, 8u}) {
                    Threads t(threads);
                    std::copy(start.begin(), start.end(), List(1).index1);
                    Recorder rec;
                    rec.Register();
                    ASSERT_EQ(YRB02(1, key, YRB_INDEX_DISPLAY, desc), 1);
                    orders.emplace_back(List(1).index1, List(1).index1 + entries);
                    EXPECT_EQ(rec.Count('I'), 1u);
                    EXPECT_EQ(rec.Count('P') + rec.Count('E'), 0u);
                }
                EXPECT_TRUE(orders[1] == orders[0]);
                EXPECT_TRUE(orders[2] == orders[0]);
            }
        }
        // What the grouped and spanned sorts tell of each position.
        for (int32_t key : {YRB_SORT_ADDRESS, YRB_SORT_USER, YRB_SORT_DOMAIN}) {
            std::vector<uint32_t> one = start, many = start;
            std::vector<uint8_t> groupsOne, groupsMany;
            std::vector<yrb::TextSpan> spansOne, spansMany;
            {
                Threads t(1);
                ASSERT_EQ(yrb::SortEntriesGrouped(List(1), one.data(), entries, key, false, groupsOne), 1);
                one = start;
                ASSERT_EQ(yrb::SortEntriesSpans(List(1), one.data(), entries, key, true, spansOne), 1);
            }
            Threads t(3);
            ASSERT_EQ(yrb::SortEntriesGrouped(List(1), many.data(), entries, key, false, groupsMany), 1);
            EXPECT_TRUE(groupsMany == groupsOne);
            many = start;
            ASSERT_EQ(yrb::SortEntriesSpans(List(1), many.data(), entries, key, true, spansMany), 1);
            EXPECT_TRUE(many == one);
            ASSERT_EQ(spansMany.size(), spansOne.size());
            EXPECT_TRUE(std::equal(spansOne.begin(), spansOne.end(), spansMany.begin(),
                                   [](const yrb::TextSpan& x, const yrb::TextSpan& y) {
                                       return x.offset == y.offset && x.length == y.length;
                                   }));
        }
    }
}

// One export on the same lists with one thread and with several: the lists
// (flags, counts, orders), the result and the files it writes must agree.
struct Case {
    const char* name;
    std::function<int32_t()> run;
    std::vector<std::string> files;  // names in the temporary folder
};

class SameForAnyThreads : public Parallel {
protected:
    void Prepare(uint32_t entries) {
        list1 = dir.Write("one.mal", RandomAddresses(entries, 11));
        // The second list shares many addresses with the first.
        list2 = dir.Write("two.mal", RandomAddresses(entries / 2, 11) + RandomAddresses(entries / 2, 12));
    }
    void Load() {
        ASSERT_GT(YRB13(1, list1.c_str(), 2, ";", "\n"), 0);
        ASSERT_GT(YRB13(2, list2.c_str(), 2, ";", "\n"), 0);
        Scramble(1, 21);
        Scramble(2, 22);
    }
    void Check(const std::vector<Case>& cases) {
        for (const Case& c : cases) {
            SCOPED_TRACE(c.name);
            int32_t expected = 0;
            std::vector<std::string> files;
            std::vector<Snapshot> lists;
            for (unsigned threads : {1u, 2u, 3u, 8u}) {
                Load();
                for (const std::string& f : c.files) std::remove(dir.Path(f).c_str());
                Threads t(threads);
                Recorder rec;
                rec.Register();
                const int32_t result = c.run();
                std::vector<std::string> got;
                for (const std::string& f : c.files) got.push_back(dir.ReadIfExists(f).value_or("<no file>"));
                EXPECT_EQ(rec.Count('E'), 0u) << threads << " threads";
                if (threads == 1) {
                    EXPECT_GE(result, 0);
                    for (const std::string& f : got) EXPECT_NE(f, "<no file>");
                    expected = result;
                    files = got;
                    lists = {Snapshot(1), Snapshot(2)};
                    continue;
                }
                EXPECT_EQ(result, expected) << threads << " threads";
                EXPECT_TRUE(got == files) << threads << " threads";
                EXPECT_TRUE(Snapshot(1) == lists[0]) << threads << " threads";
                EXPECT_TRUE(Snapshot(2) == lists[1]) << threads << " threads";
            }
        }
    }
    std::string Path(const char* name) const { return dir.Path(name); }
    std::string list1, list2;
};

TEST_F(SameForAnyThreads, Duplicates) {
    Prepare(3000);
    const std::string dup = Path("list.dup");
    std::vector<Case> cases;
    for (int32_t key : {YRB_PART_ADDRESS, YRB_PART_USER, YRB_PART_DOMAIN}) {
        cases.push_back({"every entry", [=] { return YRB11(1, key, YRB_FLAG_DUPLICATE, 0, 0, dup.c_str()); },
                         {"list.dup"}});
        cases.push_back({"removed ones left out",
                         [=] { return YRB11(1, key, YRB_FLAG_DUPLICATE, 0, YRB_MASK_REMOVED, dup.c_str()); },
                         {"list.dup"}});
        cases.push_back({"selected only, no report",
                         [=] { return YRB11(2, key, YRB_FLAG_WORK, YRB_FLAG_SELECTED, 0, ""); }, {}});
    }
    Check(cases);
}

TEST_F(SameForAnyThreads, CompareAndFlags) {
    Prepare(3000);
    const YRB_CallbackTable* none = nullptr;
    Check({
        {"compare", [] { return YRB24(0, YRB_FLAG_IN_BOTH, 0, 0, 0); }, {}},
        {"compare, removed ones left out", [] { return YRB24(0, YRB_FLAG_IN_BOTH, 0, YRB_MASK_REMOVED, 0); }, {}},
        {"compare selected ones", [] { return YRB24(0, YRB_MASK_COMPARE, YRB_FLAG_SELECTED, 0, 0); }, {}},
        {"compare on checksums", [] { return YRB24(0, YRB_FLAG_IN_BOTH, 0, YRB_FLAG_DELETED, 1); }, {}},
        {"toggle", [=] { return YRB10(1, YRB_ALL_ENTRIES, YRB_MODE_TOGGLE, 0x81, 0, YRB_FLAG_DELETED, none); }, {}},
        {"set", [=] { return YRB10(2, YRB_ALL_ENTRIES, YRB_MODE_SET, YRB_FLAG_WORK, YRB_FLAG_SELECTED, 0, none); }, {}},
        {"count", [=] { return YRB16(1, YRB_FLAG_SELECTED, YRB_MASK_REMOVED, none); }, {}},
    });
}

TEST_F(SameForAnyThreads, ValidationWritingAndStatistics) {
    Prepare(3000);
    ASSERT_EQ(YRB08(dir.Write("black.cfg", "aaaaaaaaaaaaaaaa@a\nx\ninfo@ab\n").c_str(), 0, "", "\n"), 1);
    ASSERT_EQ(YRB06(dir.Write("valid.cfg", "a\nb\nz\nab\naz\n").c_str(), 0, "", "\n"), 1);
    ASSERT_EQ(YRB04(dir.Write("excluded.cfg", "az\n").c_str(), 0, "", "\n"), 1);
    ASSERT_EQ(YRB05(dir.Write("keywords.cfg", "zz\nbab\n").c_str(), 0, "", "\n"), 1);
    const std::string inv = Path("list.inv"), out = Path("out.txt"), sta = Path("list.sta");
    // Appended to a file that holds a line already.
    const auto appended = [this, out](auto write) {
        return [this, out, write] {
            dir.Write("out.txt", "first");
            return write();
        };
    };
    Check({
        {"validation", [=] { return YRB12(1, YRB_FLAG_INVALID, 0, 0, inv.c_str()); }, {"list.inv"}},
        {"validation of selected ones", [=] { return YRB12(2, YRB_FLAG_WORK, YRB_FLAG_SELECTED, YRB_FLAG_DELETED, ""); },
         {}},
        {"addresses", [=] { return YRB01(1, 0, YRB_MASK_REMOVED, 0, 0, "", "\n", out.c_str(), 0, "wb"); },
         {"out.txt"}},
        {"whole records backwards, other separators",
         [=] { return YRB01(1, YRB_FLAG_SELECTED, 0, 1, 1, "<>", "\r\n", out.c_str(), 0, "wb"); }, {"out.txt"}},
        {"appended", appended([=] { return YRB01(2, 0, 0, 0, 1, ";", "|", out.c_str(), 0, "a+b"); }), {"out.txt"}},
        {"split into files of 400",
         [=] { return YRB01(1, 0, YRB_FLAG_DELETED, 0, 0, "", "\n", out.c_str(), 400, "wb"); },
         {"out_1.txt", "out_2.txt", "out_3.txt", "out_4.txt"}},
        {"split into files of 1, backwards",
         [=] { return YRB01(2, YRB_FLAG_WORK, 0x7F, 1, 0, "", "\n", out.c_str(), 1, "wb"); },
         {"out_1.txt", "out_2.txt", "out_3.txt"}},
        {"statistics", [=] { return YRB23(1, sta.c_str(), 0, 0); }, {"list.sta"}},
        {"statistics of some", [=] { return YRB23(2, sta.c_str(), 0, YRB_FLAG_SELECTED); }, {"list.sta"}},
    });
}

bool IsPermutation(const uint32_t* ids, uint32_t n) {
    std::vector<uint32_t> v(ids, ids + n);
    std::sort(v.begin(), v.end());
    for (uint32_t i = 0; i < n; ++i)
        if (v[i] != i) return false;
    return true;
}

// A stop answered at the first, a middle and the last stop question of a
// run on workers: -2, the lists as the stop rules leave them, every
// callback on the calling thread.
TEST_F(Parallel, StopsAtAnyQuestion) {
    const std::string one = dir.Write("one.mal", RandomAddresses(40000, 5));
    const std::string two = dir.Write("two.mal", RandomAddresses(30000, 6));
    const std::string dup = dir.Path("stop.dup");
    auto loadBoth = [&] {
        ASSERT_EQ(YRB13(1, one.c_str(), 2, ";", "\n"), 40000);
        ASSERT_EQ(YRB13(2, two.c_str(), 2, ";", "\n"), 30000);
        Scramble(1, 8);
    };
    auto listsWhole = [] {
        EXPECT_TRUE(IsPermutation(List(1).index1, List(1).Count()));
        EXPECT_TRUE(IsPermutation(List(2).index1, List(2).Count()));
    };
    struct Op {
        const char* name;
        std::function<int32_t()> run;
        std::function<void()> afterStop;
    } ops[] = {
        {"load", [&] { return YRB13(1, one.c_str(), 2, ";", "\n"); }, [] { EXPECT_EQ(YRB14(1), 1); }},
        {"sort", [] { return YRB02(1, YRB_SORT_DOMAIN, YRB_INDEX_DISPLAY, 1); }, listsWhole},
        {"duplicates",
         [&] { return YRB11(1, YRB_PART_ADDRESS, YRB_FLAG_DUPLICATE, 0, 0, dup.c_str()); },
         [&] {
             listsWhole();
             const std::string report = dir.ReadIfExists("stop.dup").value_or("");
             EXPECT_EQ(report.substr(0, 5), report.empty() ? "" : "Email");
         }},
        {"compare", [] { return YRB24(0, YRB_FLAG_IN_BOTH, 0, YRB_FLAG_DELETED, 0); }, listsWhole},
        {"validation", [] { return YRB12(1, YRB_FLAG_INVALID, 0, 0, ""); }, listsWhole},
        {"statistics", [&] { return YRB23(1, dir.Path("stop.sta").c_str(), 0, 0); }, listsWhole},
    };
    const auto caller = std::this_thread::get_id();
    Threads t(4);
    for (const Op& op : ops) {
        SCOPED_TRACE(op.name);
        loadBoth();
        int questions = 0;
        {
            Recorder rec;
            rec.Register();
            yrb::g_pollCounter = 0;
            ASSERT_GE(op.run(), 0);
            questions = rec.checks;
        }
        ASSERT_GT(questions, 2);
        for (const int stopAt : {1, questions / 2, questions}) {
            SCOPED_TRACE("stop at question " + std::to_string(stopAt));
            loadBoth();
            std::remove(dup.c_str());
            Recorder rec;
            rec.Register();
            bool elsewhere = false;
            rec.onEvent = [&](char) { elsewhere |= std::this_thread::get_id() != caller; };
            rec.onCheck = [stopAt](int n) { return n >= stopAt ? 1 : 0; };
            yrb::g_pollCounter = 0;
            EXPECT_EQ(op.run(), YRB_STOPPED);
            EXPECT_FALSE(elsewhere);
            EXPECT_EQ(rec.Count('E'), 0u);
            op.afterStop();
            // A stop is not remembered.
            rec.onCheck = nullptr;
            loadBoth();
            EXPECT_GE(op.run(), 0);
        }
    }
}

// The exports a callback may call on a list in use read it while workers
// mark its flags (ThreadSanitizer watches this test).
TEST_F(Parallel, CallbacksReadTheListWhileWorkersMark) {
    const std::string path = dir.Write("one.mal", RandomAddresses(30000, 9));
    ASSERT_EQ(YRB13(1, path.c_str(), 2, ";", "\n"), 30000);
    Threads t(4);
    Recorder rec;
    rec.Register();
    char text[64];
    const std::string saved = dir.Path("saved.txt");
    int reads = 0;
    int heavy = 0;
    bool inside = false;  // as the program's callbacks, no second call while one runs
    rec.onEvent = [&](char kind) {
        if (inside || (kind != 'C' && kind != 'P')) return;
        inside = true;
        ++reads;
        EXPECT_GE(YRB17(1, reads % 30000, -1), 0);
        EXPECT_GE(YRB18(1, reads % 30000, YRB_PART_ADDRESS, text, 63), -1);
        if (kind == 'C' && heavy++ % 8 == 0) {  // whole-list reads now and then
            EXPECT_GE(YRB16(1, YRB_FLAG_DUPLICATE, 0, nullptr), 0);
            EXPECT_GE(YRB21(1, YRB_PART_DOMAIN, "a", 0, 0, 0, YRB_FIND_ANYWHERE, 1, 0, 0, 0), -1);
            EXPECT_GE(YRB01(1, 0, YRB_FLAG_DUPLICATE, 0, 0, "", "\n", saved.c_str(), 0, "wb"), 0);
        }
        inside = false;
    };
    yrb::g_pollCounter = 0;
    EXPECT_GT(YRB11(1, YRB_PART_ADDRESS, YRB_FLAG_DUPLICATE, 0, 0, ""), 0);
    EXPECT_GT(YRB12(1, YRB_FLAG_INVALID, 0, 0, ""), 0);
    ASSERT_EQ(YRB13(2, path.c_str(), 2, ";", "\n"), 30000);
    EXPECT_EQ(YRB24(0, YRB_FLAG_IN_BOTH, 0, 0, 0), 1);
    EXPECT_GT(reads, 10);
    EXPECT_EQ(rec.Count('E'), 0u);
}

}  // namespace

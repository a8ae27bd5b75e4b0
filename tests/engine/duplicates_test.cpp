#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <optional>
#include <random>
#include <string>
#include <vector>

#include "callbacks.h"
#include "duplicates.h"
#include "fixture.h"
#include "lists.h"

using fx::Recorder;
using fx::TempDir;
using Ids = std::vector<uint32_t>;
using Nums = std::vector<uint32_t>;
using V = std::vector<std::string>;

namespace {

// Entry numbers (file order): 0 to 8.
const char* const kList =
    "Bob@X.com\nann@y.org\nbob@x.com\nBOB@x.COM\nzed@z.org\nnoat\ncarl@y.org\nann@y.org\ndan@y.org\n";
constexpr uint32_t kCount = 9;

yrb::ListObject& List(int32_t slot) { return *yrb::SlotList(slot); }

Ids Display(int32_t slot) {
    const yrb::ListObject& l = List(slot);
    return Ids(l.index1, l.index1 + l.Count());
}

Nums FlagsById(int32_t slot) {
    const yrb::ListObject& l = List(slot);
    return Nums(l.flags, l.flags + l.Count());
}

Nums OccurrencesById(int32_t slot) {
    const yrb::ListObject& l = List(slot);
    return Nums(l.occurrences, l.occurrences + l.Count());
}

class Duplicates : public ::testing::Test {
protected:
    void SetUp() override {
        fx::ResetEngine();
        path = dir.Write("list.mal", kList);
        ASSERT_EQ(YRB13(1, path.c_str(), 0, "", "\n"), static_cast<int32_t>(kCount));
    }
    void TearDown() override { fx::ResetEngine(); }
    void SetFlags(const Nums& f) {
        for (uint32_t i = 0; i < f.size(); ++i) List(1).flags[i] = static_cast<uint8_t>(f[i]);
    }
    TempDir dir;
    std::string path;
};

TEST_F(Duplicates, GroupsFlagsCountsAndReports) {
    struct Row {
        const char* name;
        int32_t key, flag, mustHave, mustNot;
        Nums flagsBefore;  // by entry number
        int32_t result;
        Nums flagsAfter;
        Nums occurrences;
        Ids display;
        std::string report;
    } rows[] = {
        {"address, letters' case ignored", YRB_PART_ADDRESS, 0x10, 0, 0, {0, 0, 0, 0, 0, 0, 0, 0, 0}, 3,
         {0, 0, 0x10, 0x10, 0, 0, 0, 0x10, 0},
         {3, 2, 0, 0, 1, 1, 1, 0, 1},
         {1, 7, 0, 2, 3, 6, 8, 5, 4},
         "Email Address\tOccurrences\r\nbob@x.com\t3\r\nann@y.org\t2\r\n"},
        {"user", YRB_PART_USER, 0x10, 0, 0, {0, 0, 0, 0, 0, 0, 0, 0, 0}, 3,
         {0, 0, 0x10, 0x10, 0, 0, 0, 0x10, 0},
         {3, 2, 0, 0, 1, 1, 1, 0, 1},
         {1, 7, 0, 2, 3, 6, 8, 5, 4},
         "User\tOccurrences\r\nbob\t3\r\nann\t2\r\n"},
        {"domain: entries without one are never flagged", YRB_PART_DOMAIN, 0x10, 0, 0,
         {0, 0, 0, 0, 0, 0, 0, 0, 0}, 5,
         {0, 0, 0x10, 0x10, 0, 0, 0x10, 0x10, 0x10},
         {3, 4, 0, 0, 1, 1, 0, 0, 0},  // 5 is examined before the first head
         {5, 0, 2, 3, 1, 6, 7, 8, 4},
         "Domain\tOccurrences\r\ny.org\t4\r\nx.com\t3\r\n"},
        {"flag 0 counts and marks nothing", YRB_PART_ADDRESS, 0, 0, 0, {0, 0, 0, 0, 0, 0, 0, 0, 0}, 3,
         {0, 0, 0, 0, 0, 0, 0, 0, 0},
         {3, 2, 0, 0, 1, 1, 1, 0, 1},
         {1, 7, 0, 2, 3, 6, 8, 5, 4},
         "Email Address\tOccurrences\r\nbob@x.com\t3\r\nann@y.org\t2\r\n"},
        // 1 and 2 are not selected: 2 lies between two selected copies of
        // bob@x.com and neither counts nor breaks the group.
        {"filter", YRB_PART_ADDRESS, 0x10, 1, 120, {1, 0, 0, 1, 0, 0, 0, 1, 0}, 1,
         {1, 0, 0, 0x11, 0, 0, 0, 1, 0},
         {2, 1, 0, 0, 0, 0, 0, 1, 0},
         {1, 7, 0, 2, 3, 6, 8, 5, 4},
         "Email Address\tOccurrences\r\nbob@x.com\t2\r\n"},
        {"removed entries are left out", YRB_PART_ADDRESS, 0x10, 0, 120, {0, 0x20, 0, 0x08, 0, 0, 0, 0, 0}, 1,
         {0, 0x20, 0x10, 0x08, 0, 0, 0, 0, 0},
         {2, 1, 0, 0, 1, 1, 1, 1, 1},
         {1, 7, 0, 2, 3, 6, 8, 5, 4},
         "Email Address\tOccurrences\r\nbob@x.com\t2\r\n"},
        // Heads lose the bits from an earlier run, so one copy stays unmarked.
        {"heads never keep the flag", YRB_PART_ADDRESS, 0x10, 0, 0,
         {0x10, 0x10, 0x10, 0x10, 0x10, 0x10, 0x10, 0x10, 0x11}, 3,
         {0, 0, 0x10, 0x10, 0, 0, 0, 0x10, 1},
         {3, 2, 0, 0, 1, 1, 1, 0, 1},
         {1, 7, 0, 2, 3, 6, 8, 5, 4},
         "Email Address\tOccurrences\r\nbob@x.com\t3\r\nann@y.org\t2\r\n"},
    };
    for (const auto& r : rows) {
        SCOPED_TRACE(r.name);
        ASSERT_EQ(YRB13(1, path.c_str(), 0, "", "\n"), static_cast<int32_t>(kCount));
        SetFlags(r.flagsBefore);
        // Counts left by an earlier call must not reach this one.
        std::fill(List(1).occurrences, List(1).occurrences + kCount, 7u);
        const std::string report = dir.Path("list.dup");
        std::remove(report.c_str());
        Recorder rec;
        rec.Register();
        EXPECT_EQ(YRB11(1, r.key, r.flag, r.mustHave, r.mustNot, report.c_str()), r.result);
        EXPECT_EQ(FlagsById(1), r.flagsAfter);
        EXPECT_EQ(OccurrencesById(1), r.occurrences);
        EXPECT_EQ(Display(1), r.display);
        EXPECT_EQ(dir.Read("list.dup"), r.report);
        EXPECT_EQ(rec.Count('E'), 0u);
    }
}

TEST_F(Duplicates, CallbacksInOrder) {
    const std::string report = dir.Path("list.dup");
    Recorder rec;
    rec.Register();
    EXPECT_EQ(YRB11(1, YRB_PART_ADDRESS, 0x10, 0, 0, report.c_str()), 3);
    EXPECT_EQ(rec.Texts('I'), (V{"Sorting entries alphabetically", "Detecting duplicate entries",
                                 "Sorting duplicate entries by number of occurrences",
                                 "Sorting entries by number of occurrences",
                                 "Writing duplicate entries to file"}));
    EXPECT_EQ(rec.Values('S'), (std::vector<int32_t>{9, 9}));
    // Grouping: progress 0, then one report per later position and the end;
    // the report writer starts again at 0.
    EXPECT_EQ(rec.Values('P'),
              (std::vector<int32_t>{0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 0, 0, 1, 2, 3, 4, 5, 6, 7, 8}));
}

TEST_F(Duplicates, ReportEdges) {
    struct Row {
        const char* name;
        std::string list;
        std::string before;  // file content before the call
        int32_t result;
        std::string after;
    } rows[] = {
        {"no repeats", "a@x\nb@y\n", "", 0, "Email Address\tOccurrences\r\nNone\r\n"},
        {"appended", "a@x\na@x\n", "old\r\n", 1, "old\r\nEmail Address\tOccurrences\r\na@x\t2\r\n"},
        {"a list of 0 entries", "\n\n", "", 0, "Email Address\tOccurrences\r\nNone\r\n"},
        {"one entry", "a@x\n", "", 0, "Email Address\tOccurrences\r\nNone\r\n"},
        // Control bytes as caret tokens, so each line keeps its two fields.
        {"control bytes", std::string("t\tb@x\nt\tb@x\nn\0\r\x7f@x\nt\tb@x\nn\0\r\x7f@x\n", 32), "", 3,
         "Email Address\tOccurrences\r\nt^Ib@x\t3\r\nn^@^M^?@x\t2\r\n"},
    };
    for (const auto& r : rows) {
        SCOPED_TRACE(r.name);
        const std::string p = dir.Write("edge.mal", r.list);
        ASSERT_GE(YRB13(2, p.c_str(), 0, "", "\n"), 0);
        const std::string report = dir.Write("edge.dup", r.before);
        if (r.before.empty()) std::remove(report.c_str());
        Recorder rec;
        rec.Register();
        EXPECT_EQ(YRB11(2, YRB_PART_ADDRESS, 0x10, 0, 0, report.c_str()), r.result);
        EXPECT_EQ(dir.Read("edge.dup"), r.after);
        EXPECT_EQ(rec.Count('E'), 0u);
    }
}

TEST_F(Duplicates, TiesInTheReportInSomeOrder) {
    const std::string p = dir.Write("tie.mal", "b@x\na@x\nb@x\na@x\nc@x\n");
    ASSERT_EQ(YRB13(2, p.c_str(), 0, "", "\n"), 5);
    const std::string report = dir.Path("tie.dup");
    EXPECT_EQ(YRB11(2, YRB_PART_ADDRESS, 0x10, 0, 0, report.c_str()), 2);
    const std::string got = dir.Read("tie.dup");
    EXPECT_TRUE(got == "Email Address\tOccurrences\r\na@x\t2\r\nb@x\t2\r\n" ||
                got == "Email Address\tOccurrences\r\nb@x\t2\r\na@x\t2\r\n")
        << got;
}

TEST_F(Duplicates, NoReportWithoutPath) {
    Recorder rec;
    rec.Register();
    EXPECT_EQ(YRB11(1, YRB_PART_ADDRESS, 0x10, 0, 0, ""), 3);
    EXPECT_EQ(YRB11(1, YRB_PART_ADDRESS, 0x10, 0, 0, nullptr), 3);
    EXPECT_EQ(rec.Texts('I'), (V{"Sorting entries alphabetically", "Detecting duplicate entries",
                                 "Sorting entries alphabetically", "Detecting duplicate entries"}));
    EXPECT_EQ(rec.Count('E'), 0u);
}

TEST_F(Duplicates, Failures) {
    Recorder rec;
    rec.Register();
    struct Row {
        const char* name;
        int32_t slot, key;
        const char* report;
        int32_t result;
        V errors;
        Nums flags;
    } rows[] = {
        {"key 3", 1, 3, "", YRB_FAILED, {}, Nums(kCount, 0)},
        {"key -1", 1, -1, "", YRB_FAILED, {}, Nums(kCount, 0)},
        {"empty slot", 2, YRB_PART_ADDRESS, "", YRB_FAILED,
         {"No memory space has been allocated for the file content in List 2"}, Nums(kCount, 0)},
        {"slot 4", 4, YRB_PART_ADDRESS, "", YRB_FAILED, {}, Nums(kCount, 0)},
        {"report cannot be opened", 1, YRB_PART_ADDRESS, "/nonexistent-dir/x.dup", YRB_FAILED,
         {"Could not open file : /nonexistent-dir/x.dup (No such file or directory)",
          "Could not open duplicate file for writing : /nonexistent-dir/x.dup"},
         {0, 0, 0x10, 0x10, 0, 0, 0, 0x10, 0}},
    };
    for (const auto& r : rows) {
        SCOPED_TRACE(r.name);
        SetFlags(Nums(kCount, 0));
        rec.events.clear();
        EXPECT_EQ(YRB11(r.slot, r.key, 0x10, 0, 0, r.report), r.result);
        EXPECT_EQ(rec.Texts('E'), r.errors);
        EXPECT_EQ(FlagsById(1), r.flags);
    }
}

TEST_F(Duplicates, StopIsMinusTwo) {
    struct Row {
        const char* stopAtInfo;  // the poll after this information text stops
        std::optional<std::string> report;  // nothing: no file
    } rows[] = {
        {"Sorting entries alphabetically", std::nullopt},
        {"Detecting duplicate entries", std::nullopt},
        {"Sorting entries by number of occurrences", "Email Address\tOccurrences\r\n"},
        {"Writing duplicate entries to file", "Email Address\tOccurrences\r\n"},
    };
    for (const auto& r : rows) {
        SCOPED_TRACE(r.stopAtInfo);
        ASSERT_EQ(YRB13(1, path.c_str(), 0, "", "\n"), static_cast<int32_t>(kCount));
        const std::string report = dir.Path("stop.dup");
        std::remove(report.c_str());
        Recorder rec;
        rec.Register();
        const std::string at = r.stopAtInfo;
        bool armed = false;
        rec.onInfo = [&] {
            if (rec.events.back().text == at) {
                armed = true;
                yrb::g_pollCounter = 10001;  // the next poll asks
            }
        };
        rec.onCheck = [&](int) { return armed ? 1 : 0; };
        EXPECT_EQ(YRB11(1, YRB_PART_ADDRESS, 0x10, 0, 0, report.c_str()), YRB_STOPPED);
        EXPECT_EQ(rec.Count('E'), 0u);
        EXPECT_EQ(dir.ReadIfExists("stop.dup"), r.report);
        Ids d = Display(1);
        std::sort(d.begin(), d.end());
        EXPECT_EQ(d, (Ids{0, 1, 2, 3, 4, 5, 6, 7, 8}));
    }
}

TEST_F(Duplicates, ListStaysBusy) {
    Recorder rec;
    rec.Register();
    std::vector<int32_t> freed;
    rec.onInfo = [&freed] { freed.push_back(YRB20(1)); };
    EXPECT_EQ(YRB11(1, YRB_PART_ADDRESS, 0x10, 0, 0, dir.Path("busy.dup").c_str()), 3);
    EXPECT_EQ(freed, (std::vector<int32_t>(5, YRB_FAILED)));
    EXPECT_EQ(YRB14(1), 0);
}

TEST_F(Duplicates, MarkDuplicatesOnAnyIndex) {
    yrb::ListObject& l = List(1);
    EXPECT_EQ(yrb::MarkDuplicates(l, nullptr, kCount, YRB_PART_ADDRESS, 0x10, 0, 0), YRB_FAILED);
    EXPECT_EQ(yrb::MarkDuplicates(l, l.index2, kCount, 3, 0x10, 0, 0), YRB_FAILED);
    EXPECT_EQ(yrb::MarkDuplicates(l, l.index2, kCount, YRB_PART_DOMAIN, 0x80, 0, 0), 5);
    EXPECT_EQ(Display(1), (Ids{0, 1, 2, 3, 4, 5, 6, 7, 8}));  // index 1 untouched
    EXPECT_EQ(Ids(l.index2, l.index2 + kCount), (Ids{5, 0, 2, 3, 1, 6, 7, 8, 4}));
}

}  // namespace

namespace {

// Many repeats in other letter case, long shared beginnings (so that the
// sort reads texts at several depths), entries without a domain or address.
std::string ManyRepeats(uint32_t n, uint32_t seed) {
    std::mt19937 g(seed);
    std::vector<std::string> pool;
    const char* const starts[] = {"", "info@", "aaaaaaaaaaaaaaaaaaaa", "sales.department.team"};
    for (uint32_t i = 0; i < n / 3; ++i) {
        std::string s = starts[g() % 4];
        const uint32_t len = 1 + g() % 12;
        for (uint32_t k = 0; k < len; ++k) s += static_cast<char>('a' + g() % 3);
        if (g() % 5) s += "@" + std::string(1 + g() % 3, static_cast<char>('a' + g() % 4)) + ".org";
        pool.push_back(s);
    }
    std::string out;
    for (uint32_t i = 0; i < n; ++i) {
        std::string s = pool[g() % pool.size()];
        if (g() % 2) s[0] = static_cast<char>(std::toupper(static_cast<unsigned char>(s[0])));
        out += (g() % 40 ? s : "") + ";" + std::to_string(i) + "\n";
    }
    return out;
}

// The grouping written plainly: a stable sort by the part, then the walk.
struct Expected {
    int32_t repeats = 0;
    Ids order;
    Nums flags, occurrences;
};

Expected Reference(const yrb::ListObject& l, int part, uint8_t flag, int32_t mustHave,
                   int32_t mustNot) {
    const uint32_t n = l.Count();
    Expected e;
    e.order.assign(l.index1, l.index1 + n);
    auto text = [&](uint32_t id) -> const yrb::ListItem* { return l.Part(id, part); };
    std::stable_sort(e.order.begin(), e.order.end(), [&](uint32_t x, uint32_t y) {
        const yrb::ListItem* a = text(x);
        const yrb::ListItem* b = text(y);
        if (!a || !b) return !a && b;
        return std::string(l.Text(*a), a->length) < std::string(l.Text(*b), b->length);
    });
    e.flags.assign(l.flags, l.flags + n);
    e.occurrences.assign(n, 0);
    const yrb::ListItem* head = nullptr;
    uint32_t headId = 0;
    for (uint32_t id : e.order) {
        const yrb::ListItem* it = text(id);
        if (!head) e.occurrences[id] = 1;
        if (!it || !yrb::PassesFilter(static_cast<uint8_t>(e.flags[id]), mustHave, mustNot)) continue;
        if (head && std::string(l.Text(*it), it->length) == std::string(l.Text(*head), head->length)) {
            e.flags[id] |= flag;
            ++e.occurrences[headId];
            ++e.repeats;
        } else {
            head = it;
            headId = id;
            e.occurrences[id] = 1;
            e.flags[id] &= static_cast<uint8_t>(~flag);
        }
    }
    return e;
}

TEST_F(Duplicates, SameGroupsAsTheWalkOverSortedTexts) {
    struct Row {
        uint32_t entries;  // past 16384 equal beginnings take the radix path
        int32_t key, mustHave, mustNot;
    } rows[] = {
        {2000, YRB_PART_ADDRESS, 0, 0},
        {2000, YRB_PART_DOMAIN, 1, 120},
        {120000, YRB_PART_ADDRESS, 0, 120},
        {120000, YRB_PART_USER, 0, 0},
        {120000, YRB_PART_DOMAIN, 0, 120},
    };
    for (const auto& r : rows) {
        SCOPED_TRACE(std::to_string(r.entries) + " key " + std::to_string(r.key));
        const std::string p = dir.Write("many.mal", ManyRepeats(r.entries, r.entries + r.key));
        ASSERT_EQ(YRB13(2, p.c_str(), 1, ";", "\n"), static_cast<int32_t>(r.entries));
        yrb::ListObject& l = List(2);
        std::mt19937 g(7);
        for (uint32_t i = 0; i < l.Count(); ++i) l.flags[i] = static_cast<uint8_t>(g() % 4 == 0 ? 0x08 : g() % 2);
        std::shuffle(l.index1, l.index1 + l.Count(), g);  // any current order
        const Expected e = Reference(l, r.key, 0x10, r.mustHave, r.mustNot);
        EXPECT_EQ(YRB11(2, r.key, 0x10, r.mustHave, r.mustNot, ""), e.repeats);
        EXPECT_TRUE(Display(2) == e.order);
        EXPECT_TRUE(FlagsById(2) == e.flags);
        EXPECT_TRUE(OccurrencesById(2) == e.occurrences);
    }
}

}  // namespace

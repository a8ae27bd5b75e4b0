// Exports called from the callbacks of an operation running on the same
// list, as the program does when it pumps events inside its callbacks:
// those that change the list are refused, those that only read it answer.
#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <map>
#include <random>
#include <string>
#include <vector>

#include "callbacks.h"
#include "fixture.h"
#include "lists.h"

using fx::Recorder;
using fx::TempDir;
using Ids = std::vector<uint32_t>;
using V = std::vector<std::string>;

namespace {

// Addresses with repeats, entries without an address or a domain, and
// domains the empty reference lists call invalid.
std::string Addresses(uint32_t n, uint32_t seed) {
    std::mt19937 g(seed);
    const char* const ends[] = {"com", "org", "zz"};
    std::string out;
    for (uint32_t k = 0; k < n; ++k) {
        if (k % 50 == 7) {
            out += "noat" + std::to_string(k) + "\n";
        } else if (k % 70 == 9) {
            out += "u" + std::to_string(k) + "@\n";
        } else {
            out += "u" + std::to_string(g() % 400) + "@d" + std::to_string(g() % 23) + "." + ends[g() % 3] + "\n";
        }
    }
    return out;
}

// Everything an operation may change in a list.
struct State {
    Ids index1, index2;
    std::vector<uint8_t> flags;
    std::vector<uint32_t> occurrences;
    bool operator==(const State&) const = default;
};

State Take(int32_t slot) {
    const yrb::ListObject& l = *yrb::SlotList(slot);
    const uint32_t n = l.Count();
    return {Ids(l.index1, l.index1 + n), Ids(l.index2, l.index2 + n),
            std::vector<uint8_t>(l.flags, l.flags + n),
            std::vector<uint32_t>(l.occurrences, l.occurrences + n)};
}

void Restore(int32_t slot, const State& s) {
    yrb::ListObject& l = *yrb::SlotList(slot);
    std::copy(s.index1.begin(), s.index1.end(), l.index1);
    std::copy(s.index2.begin(), s.index2.end(), l.index2);
    std::copy(s.flags.begin(), s.flags.end(), l.flags);
    std::copy(s.occurrences.begin(), s.occurrences.end(), l.occurrences);
}

bool EachEntryOnce(Ids ids) {
    std::sort(ids.begin(), ids.end());
    for (uint32_t i = 0; i < ids.size(); ++i)
        if (ids[i] != i) return false;
    return true;
}

// The check-interrupt and animation slots are first asked a thousand steps
// into an operation, a third of the way through the list's entries.
void AskSoon() {
    yrb::g_pollCounter = 10001 - 1000;
    yrb::g_animCounter = 30001 - 1000;
}

class ListInUse : public ::testing::Test {
protected:
    void SetUp() override {
        fx::ResetEngine();
        const std::string p1 = dir.Write("one.mal", Addresses(3000, 1));
        const std::string p2 = dir.Write("two.mal", Addresses(500, 2));
        ASSERT_EQ(YRB13(1, p1.c_str(), 0, "", "\n"), 3000);
        ASSERT_EQ(YRB13(2, p2.c_str(), 0, "", "\n"), 500);
        // Some selected and deleted entries, and a display order that is
        // not the file's.
        yrb::ListObject& l = *yrb::SlotList(1);
        for (uint32_t e = 0; e < l.Count(); ++e)
            l.flags[e] = static_cast<uint8_t>((e % 7 == 0 ? 0x01 : 0) | (e % 11 == 0 ? 0x08 : 0));
        std::mt19937 g(3);
        std::shuffle(l.index1, l.index1 + l.Count(), g);
        start1 = Take(1);
        start2 = Take(2);
    }
    void TearDown() override { fx::ResetEngine(); }
    void RestoreBoth() {
        Restore(1, start1);
        Restore(2, start2);
    }
    TempDir dir;
    State start1, start2;
};

struct Operation {
    const char* name;
    const char* kinds;  // the callbacks it calls: P progress, C check, I information, S init, A animate
    std::function<int32_t(const YRB_CallbackTable*)> run;
};

TEST_F(ListInUse, ChangesFromCallbacksAreRefused) {
    const std::string dup = dir.Path("one.dup");
    const std::string inv = dir.Path("one.inv");
    const std::string sta = dir.Path("one.sta");
    const std::string out = dir.Path("one.out");
    const Operation operations[] = {
        {"sort by address", "ICA",
         [](const YRB_CallbackTable*) { return YRB02(1, YRB_SORT_ADDRESS, YRB_INDEX_DISPLAY, 0); }},
        {"sort by domain", "ICA",
         [](const YRB_CallbackTable*) { return YRB02(1, YRB_SORT_DOMAIN, YRB_INDEX_DISPLAY, 0); }},
        {"sort by length, descending", "ICA",
         [](const YRB_CallbackTable*) { return YRB02(1, YRB_SORT_ADDRESS_LENGTH, YRB_INDEX_DISPLAY, 1); }},
        {"sort by occurrences", "ICA",
         [](const YRB_CallbackTable*) { return YRB02(1, YRB_SORT_OCCURRENCES, YRB_INDEX_DISPLAY, 0); }},
        {"sort by duplicate flag", "ICA",
         [](const YRB_CallbackTable*) { return YRB02(1, YRB_SORT_DUPLICATE, YRB_INDEX_DISPLAY, 0); }},
        {"sort index 2", "ICA",
         [](const YRB_CallbackTable*) { return YRB02(1, YRB_SORT_USER, YRB_INDEX_SCRATCH, 0); }},
        {"reverse", "SPIC", [](const YRB_CallbackTable*) { return YRB15(1); }},
        {"duplicates with report", "SPICA",
         [&](const YRB_CallbackTable*) { return YRB11(1, YRB_PART_ADDRESS, 0x10, 0, 0x08, dup.c_str()); }},
        {"invalid entries with report", "SPIC",
         [&](const YRB_CallbackTable*) { return YRB12(1, 0x20, 0, 0x08, inv.c_str()); }},
        {"statistics", "SPICA", [&](const YRB_CallbackTable*) { return YRB23(1, sta.c_str(), 0, 0x78); }},
        {"compare", "SPICA", [](const YRB_CallbackTable*) { return YRB24(0, 0x04, 0, 0x78, 0); }},
        {"compare on checksums", "SPICA", [](const YRB_CallbackTable*) { return YRB24(0, 0x04, 0, 0x78, 1); }},
        {"toggle flags", "SPIC",
         [](const YRB_CallbackTable* t) { return YRB10(1, YRB_ALL_ENTRIES, YRB_MODE_TOGGLE, 0x01, 0, 0, t); }},
        {"find and mark", "SPIC",
         [](const YRB_CallbackTable*) {
             return YRB21(1, YRB_PART_DOMAIN, "d1", 0, 0, 0, YRB_FIND_ANYWHERE, 0, 0x80, 0, 0);
         }},
        {"find without marks", "SPIC",
         [](const YRB_CallbackTable*) {
             return YRB21(1, YRB_PART_ADDRESS, "u1", 0, 0, 0, YRB_FIND_ANYWHERE, 0, 0, 0, 0x08);
         }},
        {"write", "SPIC",
         [&](const YRB_CallbackTable*) { return YRB01(1, 0, 0x08, 0, 0, "", "\n", out.c_str(), 0, "wb"); }},
        {"count", "SPIC", [](const YRB_CallbackTable* t) { return YRB16(1, 0x01, 0x08, t); }},
    };
    const std::string sta2 = dir.Path("inner.sta");
    const struct Change {
        const char* name;
        std::function<int32_t()> call;
    } changes[] = {
        {"sort", [] { return YRB02(1, YRB_SORT_ADDRESS, YRB_INDEX_DISPLAY, 0); }},
        {"sort index 2", [] { return YRB02(1, YRB_SORT_OCCURRENCES, YRB_INDEX_SCRATCH, 1); }},
        {"reverse", [] { return YRB15(1); }},
        {"duplicates", [] { return YRB11(1, YRB_PART_USER, 0x10, 0, 0, ""); }},
        {"invalid entries", [] { return YRB12(1, 0x20, 0, 0, ""); }},
        {"statistics", [&] { return YRB23(1, sta2.c_str(), 0, 0); }},
        {"compare", [] { return YRB24(0, 0x04, 0, 0, 0); }},
        {"flags of all entries", [] { return YRB10(1, YRB_ALL_ENTRIES, YRB_MODE_SET, 0x01, 0, 0, nullptr); }},
        {"flags of one entry", [] { return YRB10(1, 5, YRB_MODE_TOGGLE, 0x01, 0, 0, nullptr); }},
        {"one flag", [] { return YRB03(1, 0, 0x01, 1); }},
        {"find and mark",
         [] { return YRB21(1, YRB_PART_ADDRESS, "u", 0, 0, 0, YRB_FIND_ANYWHERE, 0, 0x01, 0, 0); }},
    };
    for (const auto& op : operations) {
        SCOPED_TRACE(op.name);
        // Undisturbed: the result and the lists it leaves.
        RestoreBoth();
        AskSoon();
        int32_t want = 0;
        std::map<char, int> seen;  // callbacks of each kind
        {
            Recorder rec;
            rec.Register();
            rec.onEvent = [&seen](char kind) { ++seen[kind]; };
            want = op.run(rec.Table());
            ASSERT_GE(want, 0);
            ASSERT_EQ(rec.Count('E'), 0u);
        }
        for (const char* k = op.kinds; *k; ++k) EXPECT_GT(seen[*k], 0) << *k;
        const State after1 = Take(1);
        const State after2 = Take(2);

        for (const char* k = op.kinds; *k; ++k) {
            for (const auto& change : changes) {
                SCOPED_TRACE(std::string(1, *k) + " callback calls " + change.name);
                RestoreBoth();
                AskSoon();
                Recorder rec;
                rec.Register();
                // The middle callback of the kind, where part of the work is done.
                const int callAt = (seen[*k] + 1) / 2;
                int count = 0;
                bool called = false;
                int32_t inner = 0;
                rec.onEvent = [&, kind = *k](char event) {
                    if (event != kind || ++count != callAt) return;
                    called = true;
                    inner = change.call();
                };
                EXPECT_EQ(op.run(rec.Table()), want);
                EXPECT_TRUE(called);
                EXPECT_EQ(inner, YRB_FAILED);
                EXPECT_EQ(rec.Texts('E'), (V{"List 1 is in use by a running operation and cannot be changed"}));
                const State got1 = Take(1);
                const State got2 = Take(2);
                EXPECT_TRUE(EachEntryOnce(got1.index1) && EachEntryOnce(got1.index2) &&
                            EachEntryOnce(got2.index1) && EachEntryOnce(got2.index2));
                EXPECT_TRUE(got1 == after1);
                EXPECT_TRUE(got2 == after2);
            }
        }
    }
}

TEST_F(ListInUse, ReadingFromCallbacksIsAllowed) {
    char buf[256];
    const struct Read {
        const char* name;
        std::function<int32_t()> call;
    } reads[] = {
        {"complete", [] { return YRB14(1); }},
        {"count", [] { return YRB16(1, 0x01, 0x08, nullptr); }},
        {"flags", [] { return YRB17(1, 3, -1); }},
        {"text", [&buf] { return YRB18(1, 3, YRB_PART_ADDRESS, buf, 255); }},
        {"id", [] { return YRB26(1, 3); }},
        {"position of an id", [] { return YRB27(1, 3); }},
        {"validity", [&buf] { return YRB29(1, 3, buf, 255); }},
        {"find without marks",
         [] { return YRB21(1, YRB_PART_ADDRESS, "u1", 0, 0, 0, YRB_FIND_ANYWHERE, 0, 0, 0, 0); }},
    };
    for (const auto& r : reads) {
        SCOPED_TRACE(r.name);
        RestoreBoth();
        const int32_t want = r.call();
        ASSERT_GE(want, 0);
        AskSoon();
        Recorder rec;
        rec.Register();
        std::vector<int32_t> inner;
        bool inside = false;  // the read's own callbacks call no further
        rec.onEvent = [&](char kind) {
            if (kind != 'C' || inside) return;
            inside = true;
            inner.push_back(r.call());
            inside = false;
        };
        EXPECT_EQ(YRB02(1, YRB_SORT_ADDRESS, YRB_INDEX_DISPLAY, 0), 1);
        EXPECT_FALSE(inner.empty());
        for (const int32_t got : inner) EXPECT_EQ(got, want);
        EXPECT_EQ(rec.Count('E'), 0u);
    }
}

}  // namespace

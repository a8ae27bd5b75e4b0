#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "callbacks.h"
#include "fixture.h"
#include "lists.h"

using fx::Entries;
using fx::Recorder;
using fx::TempDir;
using V = std::vector<std::string>;

namespace {

class Flags : public ::testing::Test {
protected:
    void SetUp() override {
        fx::ResetEngine();
        path = dir.Write("list.mal", "a@x\nb@y\nc@z\nd@w\nnoat\n");
        ASSERT_EQ(YRB13(1, path.c_str(), 0, "", "\n"), 5);
    }
    void TearDown() override { fx::ResetEngine(); }
    std::vector<int32_t> AllFlags() {
        std::vector<int32_t> out;
        for (int32_t e = 0; e < 5; ++e) out.push_back(YRB17(1, e, -1));
        return out;
    }
    void SetFlags(const std::vector<int32_t>& f) {
        for (int32_t e = 0; e < 5; ++e) {
            YRB03(1, e, 0xFF, 0);
            YRB03(1, e, f[e], 1);
        }
    }
    TempDir dir;
    std::string path;
};

TEST(FlagFilter, TruthTable) {
    struct Row {
        uint8_t flags;
        int32_t mustHave, mustNot;
        bool passes;
    } rows[] = {
        {0x00, 0, 0, true},     {0xFF, 0, 0, true},     {0x01, 1, 120, true},
        {0x09, 1, 120, false},  {0x00, 1, 120, false},  {0x00, 0, 120, true},
        {0x20, 0, 120, false},  {0x02, 6, 0, true},     {0x80, 0x100, 0, false},  // bits above the eighth never match
        {0x80, 0, 0x100, true},
    };
    for (const auto& r : rows)
        EXPECT_EQ(yrb::PassesFilter(r.flags, r.mustHave, r.mustNot), r.passes)
            << int(r.flags) << " " << r.mustHave << " " << r.mustNot;
}

TEST_F(Flags, UpdateAll) {
    struct Row {
        const char* name;
        std::vector<int32_t> before;
        int32_t entry, mode, mask, mustHave, mustNot;
        int32_t result;
        std::vector<int32_t> after;
    } rows[] = {
        {"mask 0 does nothing", {1, 0, 0, 0, 0}, YRB_ALL_ENTRIES, YRB_MODE_SET, 0, 0, 0, 0, {1, 0, 0, 0, 0}},
        {"mode 5 sets", {0, 0, 0, 0, 0}, YRB_ALL_ENTRIES, 5, 1, 0, 0, 5, {1, 1, 1, 1, 1}},
        {"clear only mask bits", {9, 9, 0, 0, 0}, YRB_ALL_ENTRIES, YRB_MODE_CLEAR, 1, 0, 0, 5, {8, 8, 0, 0, 0}},
        {"toggle any bit clears both", {2, 0, 6, 4, 1}, YRB_ALL_ENTRIES, YRB_MODE_TOGGLE, 6, 0, 0, 5,
         {0, 6, 0, 0, 7}},
        {"selected and not removed get deleted", {1, 0x11, 1, 0, 0x21},
         YRB_ALL_ENTRIES, YRB_MODE_SET, 8, 1, 120, 2, {9, 0x11, 9, 0, 0x21}},
        {"one entry", {0, 0, 0, 0, 0}, 3, YRB_MODE_SET, 0x80, 0, 0, 1, {0, 0, 0, 0x80, 0}},
        {"one entry filtered out", {8, 0, 0, 0, 0}, 0, YRB_MODE_SET, 1, 0, 120, 0, {8, 0, 0, 0, 0}},
        {"mode below -1 sets", {0, 0, 0, 0, 0}, 1, -7, 2, 0, 0, 1, {0, 2, 0, 0, 0}},
    };
    for (const auto& r : rows) {
        SCOPED_TRACE(r.name);
        SetFlags(r.before);
        Recorder rec;
        EXPECT_EQ(YRB10(1, r.entry, r.mode, r.mask, r.mustHave, r.mustNot, rec.Table()), r.result);
        EXPECT_EQ(AllFlags(), r.after);
        if (r.mask == 0) {
            EXPECT_TRUE(rec.events.empty());
        }
    }
}

TEST_F(Flags, UpdateReportsThroughTheGivenTableOnly) {
    Recorder rec;
    rec.Register();
    EXPECT_EQ(YRB10(1, YRB_ALL_ENTRIES, YRB_MODE_SET, 1, 0, 0, nullptr), 5);  // silent table
    EXPECT_TRUE(rec.events.empty());
    EXPECT_EQ(YRB16(1, 1, 0, nullptr), 5);
    EXPECT_TRUE(rec.events.empty());
    EXPECT_EQ(YRB10(2, YRB_ALL_ENTRIES, YRB_MODE_SET, 1, 0, 0, nullptr), YRB_FAILED);
    EXPECT_TRUE(rec.events.empty());
    EXPECT_EQ(YRB10(1, YRB_ALL_ENTRIES, YRB_MODE_CLEAR, 1, 0, 0, rec.Table()), 5);
    EXPECT_EQ(rec.Texts('I'), (V{"Updating entry flags"}));
    EXPECT_EQ(rec.Values('S'), (std::vector<int32_t>{5}));
    EXPECT_EQ(rec.Values('P'), (std::vector<int32_t>{0, 0, 1, 2, 3, 4, 5}));
    rec.events.clear();
    EXPECT_EQ(YRB10(2, YRB_ALL_ENTRIES, YRB_MODE_SET, 1, 0, 0, rec.Table()), YRB_FAILED);
    EXPECT_EQ(rec.Texts('E'), (V{"No memory space has been allocated for the file content in List 2"}));
}

TEST_F(Flags, CountThroughFilter) {
    SetFlags({1, 0x11, 1, 0, 0x20});
    struct Row {
        int32_t mustHave, mustNot, count;
    } rows[] = {{0, 0, 5}, {1, 0, 3}, {1, 120, 2}, {0, 120, 3}, {0x10, 0, 1}};
    for (const auto& r : rows) EXPECT_EQ(YRB16(1, r.mustHave, r.mustNot, nullptr), r.count);
    Recorder rec;
    EXPECT_EQ(YRB16(1, 0, 0, rec.Table()), 5);
    EXPECT_EQ(rec.Texts('I'), (V{"Counting entries"}));
    EXPECT_EQ(rec.Values('P'), (std::vector<int32_t>{0, 1, 2, 3, 4, 5}));
}

TEST_F(Flags, StopKeepsChanges) {
    Recorder rec;
    rec.onCheck = [](int) { return 1; };
    yrb::g_pollCounter = 10000;  // the second poll asks
    EXPECT_EQ(YRB10(1, YRB_ALL_ENTRIES, YRB_MODE_SET, 1, 0, 0, rec.Table()), YRB_STOPPED);
    EXPECT_EQ(AllFlags(), (std::vector<int32_t>{1, 0, 0, 0, 0}));
    yrb::g_pollCounter = 10001;
    EXPECT_EQ(YRB16(1, 0, 0, rec.Table()), YRB_STOPPED);
}

TEST_F(Flags, SingleEntryAccess) {
    YRB03(1, 2, 0x21, 2);  // any non-zero sets
    EXPECT_EQ(YRB17(1, 2, -1), 0x21);
    EXPECT_EQ(YRB17(1, 2, 0x20), 0x20);
    YRB03(1, 2, 0x101, 0);  // low eight bits of the mask
    EXPECT_EQ(YRB17(1, 2, -1), 0x20);
    char buf[8];
    EXPECT_EQ(YRB18(1, 0, YRB_PART_DOMAIN, buf, 7), 1);
    EXPECT_STREQ(buf, "x");
    EXPECT_EQ(YRB18(1, 4, YRB_PART_DOMAIN, buf, 7), YRB_FAILED);  // no domain
    EXPECT_EQ(YRB18(1, 4, YRB_PART_USER, buf, 7), 4);
    std::string ten = dir.Write("ten.mal", "abcd@fghij\n");
    ASSERT_EQ(YRB13(2, ten.c_str(), 0, "", "\n"), 1);
    std::string small(5, 'z');
    EXPECT_EQ(YRB18(2, 0, YRB_PART_ADDRESS, small.data(), 3), 3);
    EXPECT_EQ(small, std::string("abc\0z", 5));
    EXPECT_EQ(YRB19(), YRB_FAILED);
}

TEST_F(Flags, OutOfRangeIsSilent) {
    Recorder rec;
    rec.Register();
    char buf[16];
    struct Row {
        const char* name;
        int32_t result;
    } rows[] = {
        {"flags at count", YRB17(1, 5, -1)},
        {"flags at -1", YRB17(1, -1, -1)},
        {"set at -2", YRB03(1, -2, 1, 1)},
        {"text at count", YRB18(1, 5, YRB_PART_ADDRESS, buf, 15)},
        {"text at -1", YRB18(1, -1, YRB_PART_ADDRESS, buf, 15)},
        {"part 3", YRB18(1, 0, 3, buf, 15)},
        {"part -1", YRB18(1, 0, -1, buf, 15)},
        {"negative max", YRB18(1, 0, YRB_PART_ADDRESS, buf, -1)},
        {"null buffer", YRB18(1, 0, YRB_PART_ADDRESS, nullptr, 15)},
        {"update at -2", YRB10(1, -2, YRB_MODE_SET, 1, 0, 0, rec.Table())},
        {"update at count", YRB10(1, 5, YRB_MODE_SET, 1, 0, 0, rec.Table())},
        {"id at count", YRB26(1, 5)},
        {"id at -1", YRB26(1, -1)},
        {"position of id count", YRB27(1, 5)},
        {"position of id -1", YRB27(1, -1)},
    };
    for (const auto& r : rows) EXPECT_EQ(r.result, YRB_FAILED) << r.name;
    EXPECT_EQ(rec.Count('E'), 0u);
    EXPECT_EQ(AllFlags(), (std::vector<int32_t>{0, 0, 0, 0, 0}));
}

// An entry's id is its place in the file, wherever the display order has
// taken it; its position is found again from the id.
TEST_F(Flags, IdsStayWithTheirEntries) {
    struct Row {
        const char* name;
        std::function<void()> reorder;
        std::vector<int32_t> ids;  // by position
    } rows[] = {
        {"file order", [] {}, {0, 1, 2, 3, 4}},
        {"reversed", [] { YRB15(1); }, {4, 3, 2, 1, 0}},
        {"by domain, the one without first", [] { YRB02(1, YRB_SORT_DOMAIN, YRB_INDEX_DISPLAY, 0); },
         {4, 3, 0, 1, 2}},
        {"by domain descending", [] { YRB02(1, YRB_SORT_DOMAIN, YRB_INDEX_DISPLAY, 1); }, {4, 2, 1, 0, 3}},
        {"scratch order sorted", [] { YRB02(1, YRB_SORT_DOMAIN, YRB_INDEX_SCRATCH, 1); }, {0, 1, 2, 3, 4}},
    };
    for (const auto& r : rows) {
        SCOPED_TRACE(r.name);
        ASSERT_EQ(YRB13(1, path.c_str(), 0, "", "\n"), 5);
        r.reorder();
        std::vector<int32_t> ids, positions;
        for (int32_t p = 0; p < 5; ++p) {
            ids.push_back(YRB26(1, p));
            positions.push_back(YRB27(1, r.ids[p]));
        }
        EXPECT_EQ(ids, r.ids);
        EXPECT_EQ(positions, (std::vector<int32_t>{0, 1, 2, 3, 4}));
    }
    Recorder rec;
    rec.Register();
    EXPECT_EQ(YRB26(3, 0), YRB_FAILED);
    EXPECT_EQ(YRB27(3, 0), YRB_FAILED);
    EXPECT_EQ(rec.Count('E'), 2u);
}

TEST_F(Flags, ReverseTwiceRestores) {
    Recorder rec;
    rec.Register();
    EXPECT_EQ(YRB15(1), 1);
    EXPECT_EQ(Entries(1, YRB_PART_ADDRESS), (V{"noat", "d@w", "c@z", "b@y", "a@x"}));
    EXPECT_EQ(rec.Texts('I'), (V{"Invert entries order"}));
    EXPECT_EQ(rec.Values('S'), (std::vector<int32_t>{2}));
    EXPECT_EQ(YRB15(1), 1);
    EXPECT_EQ(Entries(1, YRB_PART_ADDRESS), (V{"a@x", "b@y", "c@z", "d@w", "noat"}));
    // Flags follow their entries.
    YRB03(1, 0, 1, 1);
    YRB15(1);
    EXPECT_EQ(YRB17(1, 4, -1), 1);
    EXPECT_EQ(YRB15(2), YRB_FAILED);
}

}  // namespace

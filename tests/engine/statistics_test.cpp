#include <gtest/gtest.h>

#include <clocale>
#include <optional>
#include <string>
#include <vector>

#include "callbacks.h"
#include "fixture.h"
#include "lists.h"

using fx::Recorder;
using fx::TempDir;
using Nums = std::vector<uint32_t>;
using V = std::vector<std::string>;

namespace {

yrb::ListObject& List(int32_t slot) { return *yrb::SlotList(slot); }

Nums FlagsById(int32_t slot) {
    const yrb::ListObject& l = List(slot);
    return Nums(l.flags, l.flags + l.Count());
}

const char* const kHeader = "Domain\tOccurrences\tPercentage\r\n";

class Statistics : public ::testing::Test {
protected:
    void SetUp() override { fx::ResetEngine(); }
    void TearDown() override { fx::ResetEngine(); }
    int32_t Load(const std::string& bytes) {
        const std::string p = dir.Write("list.mal", bytes);
        return YRB13(1, p.c_str(), 0, "", "\n");
    }
    void SetFlags(const Nums& f) {
        for (uint32_t i = 0; i < f.size(); ++i) List(1).flags[i] = static_cast<uint8_t>(f[i]);
    }
    TempDir dir;
};

TEST_F(Statistics, FileBytes) {
    struct Row {
        const char* name;
        std::string list;
        Nums flagsBefore;  // by entry number
        int32_t mustHave, mustNot;
        int32_t result;
        std::string file;
        Nums flagsAfter;
    } rows[] = {
        {"two and one", "a@x.com\nb@y.org\nc@x.com\n", {0, 0, 0}, 0, 120, 3,
         "x.com\t2\t66.667 %\r\ny.org\t1\t33.333 %\r\n", {0, 0, 0x80}},
        {"entries without a domain count in the total", "a@x.com\nnoat\nb@x.com\n@y.org\n", {0, 0, 0, 0}, 0, 120, 4,
         "x.com\t2\t50.000 %\r\n", {0, 0, 0x80, 0}},
        {"removed entries neither counted nor listed", "a@x.com\nb@y.org\nc@x.com\nd@z.net\n", {0, 0x08, 0, 0x20}, 0, 120, 4,
         "x.com\t2\t100.000 %\r\n", {0, 0x08, 0x80, 0x20}},
        // b.com's first entry in domain order is deleted: its row must still
        // come from the entry that passes.
        {"a filtered entry between groups", "x@c.com\nu@b.com\nw@a.com\nv@b.com\ny@c.com\nz@a.com\nq@c.com\n",
         {0, 0x08, 0, 0, 0, 0, 0}, 0, 120, 7,
         "c.com\t3\t50.000 %\r\na.com\t2\t33.333 %\r\nb.com\t1\t16.667 %\r\n",
         {0, 0x08, 0, 0, 0x80, 0x80, 0x80}},
        {"work bits of an earlier run are cleared", "a@x.com\nb@y.org\nc@x.com\n", {0x80, 0x81, 0x80}, 0, 0, 3,
         "x.com\t2\t66.667 %\r\ny.org\t1\t33.333 %\r\n", {0, 1, 0x80}},
        {"selected only", "a@x.com\nb@y.org\nc@x.com\nd@y.org\n", {1, 1, 0, 0}, 1, 120, 4,
         "x.com\t1\t50.000 %\r\ny.org\t1\t50.000 %\r\n", {1, 1, 0, 0}},
        {"no domains", "a\nb\n", {0, 0}, 0, 120, 2, "", {0, 0}},
        {"a list of 0 entries", "\n\n", {}, 0, 120, 0, "", {}},
        {"one entry", "Me@Here.COM\n", {0}, 0, 0, 1, "here.com\t1\t100.000 %\r\n", {0}},
        {"control bytes in a domain as caret tokens", std::string("a@x\ty\0\r\x7f\nb@x\ty\0\r\x7f\n", 18), {0, 0},
         0, 0, 2, "x^Iy^@^M^?\t2\t100.000 %\r\n", {0, 0x80}},
    };
    for (const auto& r : rows) {
        SCOPED_TRACE(r.name);
        ASSERT_EQ(Load(r.list), static_cast<int32_t>(r.flagsBefore.size()));
        SetFlags(r.flagsBefore);
        const std::string stat = dir.Write("list.sta", "old content that is replaced\r\n");
        Recorder rec;
        rec.Register();
        EXPECT_EQ(YRB23(1, stat.c_str(), r.mustHave, r.mustNot), r.result);
        const std::string got = dir.Read("list.sta");
        if (r.name == std::string("selected only")) {  // equal counts come in either order
            EXPECT_TRUE(got == kHeader + r.file ||
                        got == std::string(kHeader) + "y.org\t1\t50.000 %\r\nx.com\t1\t50.000 %\r\n")
                << got;
        } else {
            EXPECT_EQ(got, kHeader + r.file);
        }
        EXPECT_EQ(FlagsById(1), r.flagsAfter);
        EXPECT_EQ(rec.Count('E'), 0u);
        // The display order stays as loaded.
        const yrb::ListObject& l = List(1);
        for (uint32_t i = 0; i < l.Count(); ++i) EXPECT_EQ(l.index1[i], i);
    }
}

TEST_F(Statistics, PercentageRoundedFromSinglePrecision) {
    // 1 of 3, 2 of 3, 1 of 7, 1 of 8 and 1 of 16 entries in one list of 48.
    std::string list;
    auto add = [&list](const char* domain, int n) {
        for (int i = 0; i < n; ++i) list += "u" + std::to_string(list.size()) + "@" + domain + "\n";
    };
    add("a.de", 16);  // 33.333
    add("b.de", 32);  // 66.667
    ASSERT_EQ(Load(list), 48);
    const std::string stat = dir.Path("p.sta");
    EXPECT_EQ(YRB23(1, stat.c_str(), 0, 0), 48);
    EXPECT_EQ(dir.Read("p.sta"), std::string(kHeader) + "b.de\t32\t66.667 %\r\na.de\t16\t33.333 %\r\n");
}

TEST_F(Statistics, DecimalPointWhateverTheLocale) {
    ASSERT_EQ(Load("a@x.com\nb@y.org\nc@x.com\n"), 3);
    const char* names[] = {"de_DE.UTF-8", "de_DE.utf8", "de_DE", "fr_FR.UTF-8", "C.UTF-8"};
    std::string old = std::setlocale(LC_ALL, nullptr);
    for (const char* name : names)
        if (std::setlocale(LC_ALL, name) != nullptr) break;
    const std::string stat = dir.Path("l.sta");
    EXPECT_EQ(YRB23(1, stat.c_str(), 0, 0), 3);
    std::setlocale(LC_ALL, old.c_str());
    EXPECT_EQ(dir.Read("l.sta"), std::string(kHeader) + "x.com\t2\t66.667 %\r\ny.org\t1\t33.333 %\r\n");
}

TEST_F(Statistics, CallbacksInOrder) {
    ASSERT_EQ(Load("a@x.com\nb@y.org\nc@x.com\n"), 3);
    Recorder rec;
    rec.Register();
    EXPECT_EQ(YRB23(1, dir.Path("c.sta").c_str(), 0, 120), 3);
    EXPECT_EQ(rec.Texts('I'), (V{"Updating entry flags", "Preparing List for statistic computation",
                                 "Sorting entries alphabetically by domain", "Detecting duplicate entries",
                                 "Counting entries", "Sorting entries by number of occurrences",
                                 "Writing statistic records to file"}));
    EXPECT_EQ(rec.Values('S'), (std::vector<int32_t>{3, 3, 3, 3}));
}

TEST_F(Statistics, Failures) {
    ASSERT_EQ(Load("a@x.com\nb@y.org\n"), 2);
    const std::string good = dir.Path("f.sta");
    struct Row {
        const char* name;
        int32_t slot;
        const char* path;
        V errors;
    } rows[] = {
        {"null path", 1, nullptr, {"No 'stat' file has been specified"}},
        {"empty path", 1, "", {"No 'stat' file has been specified"}},
        {"empty slot", 2, good.c_str(), {"No memory space has been allocated for the file content in List 2"}},
        {"slot 0", 0, good.c_str(), {}},
        {"cannot create", 1, "/nonexistent-dir/f.sta", {"Could not open file for writing : /nonexistent-dir/f.sta (No such file or directory)"}},
    };
    for (const auto& r : rows) {
        SCOPED_TRACE(r.name);
        Recorder rec;
        rec.Register();
        EXPECT_EQ(YRB23(r.slot, r.path, 0, 120), YRB_FAILED);
        EXPECT_EQ(rec.Texts('E'), r.errors);
    }
}

TEST_F(Statistics, StopIsMinusTwo) {
    struct Row {
        const char* stopAtInfo;  // the poll after this information text stops
        std::optional<std::string> file;  // nothing: no file
    } rows[] = {
        {"Updating entry flags", std::nullopt},
        {"Sorting entries alphabetically by domain", std::nullopt},
        {"Detecting duplicate entries", std::nullopt},
        {"Counting entries", std::nullopt},
        {"Sorting entries by number of occurrences", std::nullopt},
        {"Writing statistic records to file", kHeader},
    };
    for (const auto& r : rows) {
        SCOPED_TRACE(r.stopAtInfo);
        ASSERT_EQ(Load("a@x.com\nb@y.org\nc@x.com\n"), 3);
        const std::string stat = dir.Path("s.sta");
        std::remove(stat.c_str());
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
        EXPECT_EQ(YRB23(1, stat.c_str(), 0, 120), YRB_STOPPED);
        EXPECT_EQ(rec.Count('E'), 0u);
        EXPECT_EQ(dir.ReadIfExists("s.sta"), r.file);
    }
}

TEST_F(Statistics, ListStaysBusy) {
    ASSERT_EQ(Load("a@x.com\nb@y.org\nc@x.com\n"), 3);
    Recorder rec;
    rec.Register();
    std::vector<int32_t> freed;
    rec.onInfo = [&freed] { freed.push_back(YRB20(1)); };
    EXPECT_EQ(YRB23(1, dir.Path("b.sta").c_str(), 0, 120), 3);
    EXPECT_EQ(freed, (std::vector<int32_t>(7, YRB_FAILED)));
    EXPECT_EQ(YRB14(1), 0);
}

}  // namespace

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "callbacks.h"
#include "fixture.h"

using fx::Recorder;
using fx::TempDir;
using V = std::vector<std::string>;

namespace {

TEST(FileUtilities, CountsRecordsAsTheLoaderLoadsEntries) {
    fx::ResetEngine();
    TempDir dir;
    struct Row {
        std::string content, sep;
        int32_t count;
    } rows[] = {
        {"a\nb\nc\n", "\n", 3},
        {"a\n\n\nb", "\n", 2},
        {"a\r\n\r\nb\r\n", "\r\n", 2},
        {"\n\n", "\n", 0},
        {"xAbAc", "A", 3},  // bytes are not lower-cased
        {"xabAc", "a", 2},
    };
    for (const auto& r : rows) {
        const std::string path = dir.Write("f.mal", r.content);
        EXPECT_EQ(YRB22(path.c_str(), r.sep.c_str(), nullptr), r.count) << r.content;
        EXPECT_EQ(YRB13(3, path.c_str(), 0, "", r.sep.c_str()), r.count) << r.content;
    }
    fx::ResetEngine();
}

TEST(FileUtilities, CountReportsThroughTheChosenTable) {
    TempDir dir;
    const std::string path = dir.Write("f.mal", "a\nb\n");
    Recorder rec;
    rec.Register();
    EXPECT_EQ(YRB22(path.c_str(), "\n", nullptr), 2);  // 0 means the registered table
    EXPECT_EQ(rec.Texts('I'), (V{"Loading file", "Counting entries"}));
    rec.events.clear();
    EXPECT_EQ(YRB22(path.c_str(), "", nullptr), YRB_FAILED);
    EXPECT_EQ(YRB22(path.c_str(), nullptr, nullptr), YRB_FAILED);
    EXPECT_EQ(YRB22(nullptr, "\n", nullptr), YRB_FAILED);
    EXPECT_TRUE(rec.events.empty());
    const std::string empty = dir.Write("e.mal", "");
    EXPECT_EQ(YRB22(empty.c_str(), "\n", nullptr), YRB_FAILED);
    EXPECT_EQ(rec.Texts('E'), (V{"The file is empty : '" + empty + "'"}));
    rec.onCheck = [](int) { return 1; };
    yrb::g_pollCounter = 10001;
    EXPECT_EQ(YRB22(path.c_str(), "\n", nullptr), YRB_STOPPED);
    // A table of its own gets the messages.
    Recorder other;
    EXPECT_EQ(YRB22(empty.c_str(), "\n", other.Table()), YRB_FAILED);
    EXPECT_EQ(other.Texts('E').size(), 1u);
}

TEST(FileUtilities, TextCheck) {
    struct Row {
        std::string text;
        int32_t length, result;
    } rows[] = {
        {"plain\ttext\r\n", 0, 0},
        {std::string("ab\0cd", 5), 5, 3},
        {std::string("ab\0cd", 5), 0, 0},  // stops at the NUL
        {"\x07" "abc", 0, 1},
        {"\x08\x09\x0a\x0d \xff", 0, 0},
        {"ok\x1b", 0, 3},
        {"abc", -1, YRB_FAILED},
    };
    for (const auto& r : rows) EXPECT_EQ(YRB25(r.text.c_str(), r.length), r.result);
    EXPECT_EQ(YRB25(nullptr, 0), 0);
}

}  // namespace

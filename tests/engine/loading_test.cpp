#include <gtest/gtest.h>

#include <unistd.h>

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

class Loading : public ::testing::Test {
protected:
    void SetUp() override { fx::ResetEngine(); }
    void TearDown() override { fx::ResetEngine(); }
    TempDir dir;
};

TEST_F(Loading, ParsesRecordsFieldsAndParts) {
    struct Row {
        const char* name;
        std::string content;
        int32_t column;
        std::string fieldSep, recordSep;
        V addresses, users, domains;
    } rows[] = {
        {"plain lines", "a@x.com\nB@Y.COM\n", 0, "", "\n", {"a@x.com", "b@y.com"}, {"a", "b"}, {"x.com", "y.com"}},
        {"only separators", "\n\n\n", 0, "", "\n", {}, {}, {}},
        {"crlf with empty record", "a\r\n\r\nb\r\n", 0, "", "\r\n", {"a", "b"}, {"a", "b"}, {"<none>", "<none>"}},
        {"column past the fields", "one;two@d\nsolo\n", 2, ";", "\n", {"two@d", "<none>"}, {"two", "<none>"}, {"d", "<none>"}},
        {"empty fields counted", "a;;c@d\n", 3, ";", "\n", {"c@d"}, {"c"}, {"d"}},
        {"empty column field", "a;;c@d\n", 2, ";", "\n", {"<none>"}, {"<none>"}, {"<none>"}},
        {"column 0 takes first non-empty", ";;a@b;c@d\n", 0, ";", "\n", {"a@b"}, {"a"}, {"b"}},
        {"leading at", "@dom.com\n", 0, "", "\n", {"@dom.com"}, {"dom.com"}, {"<none>"}},
        {"two ats", "u@d@e\n", 0, "", "\n", {"u@d@e"}, {"u"}, {"d"}},
        {"capital field separator never matches", "aXb@c\n", 1, "X", "\n", {"axb@c"}, {"axb"}, {"c"}},
        {"small field separator matches capitals", "aXb@c\n", 2, "x", "\n", {"b@c"}, {"b"}, {"c"}},
        {"record separator matches bytes as read", "aXbxc", 0, "", "X", {"a", "bxc"}, {"a", "bxc"}, {"<none>", "<none>"}},
        {"lower-cased record does not make a separator", "Bacba", 0, "", "ba", {"bac"}, {"bac"}, {"<none>"}},
        {"nul bytes are ordinary", std::string("a\0b@c\n", 6), 0, "", "\n", {std::string("a\0b@c", 5)}, {std::string("a\0b", 3)}, {"c"}},
        {"separator first and no final separator", "\nx@y", 0, "", "\n", {"x@y"}, {"x"}, {"y"}},
        {"semicolon records, address in column 2", "1;Ann@Mail.Org;x\r\n2;bob@b.net;y\r\n", 2, ";", "\r\n",
         {"ann@mail.org", "bob@b.net"}, {"ann", "bob"}, {"mail.org", "b.net"}},
    };
    for (const auto& r : rows) {
        SCOPED_TRACE(r.name);
        const std::string path = dir.Write("list.mal", r.content);
        Recorder rec;
        rec.Register();
        EXPECT_EQ(YRB13(1, path.c_str(), r.column, r.fieldSep.c_str(), r.recordSep.c_str()),
                  static_cast<int32_t>(r.addresses.size()));
        EXPECT_EQ(YRB14(1), 0);
        EXPECT_EQ(Entries(1, YRB_PART_ADDRESS), r.addresses);
        EXPECT_EQ(Entries(1, YRB_PART_USER), r.users);
        EXPECT_EQ(Entries(1, YRB_PART_DOMAIN), r.domains);
        EXPECT_EQ(rec.Count('E'), 0u);
        // Index 2 never holds holes after a load.
        const yrb::ListObject* list = yrb::SlotList(1);
        for (uint32_t i = 0; i < list->Count(); ++i) EXPECT_EQ(list->index2[i], list->index1[i]);
    }
}

TEST_F(Loading, FailuresLeaveTheSlotEmpty) {
    const std::string good = dir.Write("good.mal", "a@b\n");
    const std::string empty = dir.Write("empty.mal", "");
    const std::string missing = dir.Path("missing.mal");
    const std::string longSep(128, ';');
    const std::string folder = dir.Path("");
    struct Row {
        const char* name;
        int32_t slot;
        const char* path;
        const char* fieldSep;
        const char* recordSep;
        std::string message;  // empty: silent
    } rows[] = {
        {"empty file", 1, empty.c_str(), "", "\n", "The file is empty : '" + empty + "'"},
        {"missing file", 1, missing.c_str(), "", "\n", "Cannot retrieve file infos : '" + missing + "'"},
        {"a folder", 1, folder.c_str(), "", "\n", "Cannot retrieve file infos : '" + folder + "'"},
        {"empty record separator", 1, good.c_str(), "", "", ""},
        {"null record separator", 1, good.c_str(), "", nullptr, ""},
        {"null path", 1, nullptr, "", "\n", ""},
        {"null field separator", 1, good.c_str(), nullptr, "\n", ""},
        {"record separator too long", 1, good.c_str(), "", longSep.c_str(), "A separator is longer than 127 bytes"},
        {"field separator too long", 1, good.c_str(), longSep.c_str(), "\n", "A separator is longer than 127 bytes"},
        {"slot 0", 0, good.c_str(), "", "\n", ""},
        {"slot 4", 4, good.c_str(), "", "\n", ""},
    };
    for (const auto& r : rows) {
        SCOPED_TRACE(r.name);
        ASSERT_EQ(YRB13(1, good.c_str(), 0, "", "\n"), 1);
        Recorder rec;
        rec.Register();
        EXPECT_EQ(YRB13(r.slot, r.path, 0, r.fieldSep, r.recordSep), YRB_FAILED);
        const auto errors = rec.Texts('E');
        if (r.message.empty()) {
            EXPECT_TRUE(errors.empty());
        } else {
            ASSERT_EQ(errors.size(), 1u);
            EXPECT_EQ(errors[0].rfind(r.message, 0), 0u) << errors[0];
            EXPECT_EQ(YRB14(1), 1);  // loading discards the old list first
        }
    }
}

TEST_F(Loading, FileTooLargeForA32BitResult) {
    const std::string big = dir.Path("big.mal");
    {
        FILE* f = fopen(big.c_str(), "wb");
        ASSERT_NE(f, nullptr);
        ASSERT_EQ(ftruncate(fileno(f), 0x80000000LL), 0);  // sparse, costs no disk
        fclose(f);
    }
    Recorder rec;
    rec.Register();
    EXPECT_EQ(YRB13(2, big.c_str(), 0, "", "\n"), YRB_FAILED);
    EXPECT_EQ(YRB22(big.c_str(), "\n", nullptr), YRB_FAILED);
    const auto errors = rec.Texts('E');
    ASSERT_EQ(errors.size(), 2u);
    for (const auto& e : errors) EXPECT_NE(e.find("too large"), std::string::npos) << e;
    EXPECT_EQ(rec.Count('I'), 0u);  // refused before any read
}

TEST_F(Loading, ReportsStepsAndProgress) {
    std::string content;
    for (int i = 0; i < 1000; ++i) content += "user" + std::to_string(i) + "@d" + std::to_string(i % 7) + ".com\n";
    const std::string path = dir.Write("list.mal", content);
    Recorder rec;
    rec.Register();
    ASSERT_EQ(YRB13(1, path.c_str(), 0, "", "\n"), 1000);
    EXPECT_EQ(rec.Texts('I'), (V{"Loading file", "Counting entries", "Allocating Memory", "Parsing entries"}));
    const auto inits = rec.Values('S');
    EXPECT_EQ(inits, (std::vector<int32_t>{static_cast<int32_t>(content.size()),
                                           static_cast<int32_t>(content.size()), 1000}));
    // The parsing step: progress 0, about one report per hundredth, then the count.
    std::vector<int32_t> parse;
    bool inParse = false;
    for (const auto& e : rec.events) {
        if (e.kind == 'I') inParse = e.text == "Parsing entries";
        if (inParse && e.kind == 'P') parse.push_back(e.value);
    }
    ASSERT_GE(parse.size(), 100u);
    EXPECT_LE(parse.size(), 103u);
    EXPECT_EQ(parse.front(), 0);
    EXPECT_EQ(parse.back(), 1000);
}

TEST_F(Loading, StopLeavesNoList) {
    std::string content;
    for (int i = 0; i < 300; ++i) content += "a" + std::to_string(i) + "@b.c\n";
    const std::string path = dir.Write("list.mal", content);
    ASSERT_EQ(YRB13(1, path.c_str(), 0, "", "\n"), 300);
    Recorder rec;
    rec.Register();
    rec.onCheck = [](int) { return 1; };
    yrb::g_pollCounter = 10001;  // the next poll asks
    EXPECT_EQ(YRB13(1, path.c_str(), 0, "", "\n"), YRB_STOPPED);
    EXPECT_EQ(rec.Count('C'), 1u);
    EXPECT_EQ(YRB14(1), 1);
    // A stop is not remembered.
    rec.onCheck = nullptr;
    EXPECT_EQ(YRB13(1, path.c_str(), 0, "", "\n"), 300);
}

TEST_F(Loading, RefusesToFreeAListInUse) {
    const std::string path = dir.Write("list.mal", "a@b\nc@d\n");
    ASSERT_EQ(YRB13(1, path.c_str(), 0, "", "\n"), 2);
    Recorder rec;
    rec.Register();
    int32_t inner[3] = {0, 0, 0};
    rec.onInfo = [&] {
        inner[0] = YRB20(1);
        inner[1] = YRB13(1, path.c_str(), 0, "", "\n");
        inner[2] = YRB20(2);  // another slot is free to go
    };
    EXPECT_EQ(YRB10(1, YRB_ALL_ENTRIES, YRB_MODE_SET, 1, 0, 0, rec.Table()), 2);
    EXPECT_EQ(inner[0], YRB_FAILED);
    EXPECT_EQ(inner[1], YRB_FAILED);
    EXPECT_EQ(inner[2], 1);
    EXPECT_EQ(rec.Texts('E'), (V{"List 1 is in use by a running operation and cannot be freed",
                                 "List 1 is in use by a running operation and cannot be reloaded"}));
    EXPECT_EQ(Entries(1, YRB_PART_ADDRESS), (V{"a@b", "c@d"}));
    // While loading, the slot is in use too.
    rec.events.clear();
    rec.onInfo = [&] { inner[0] = YRB20(1); };
    EXPECT_EQ(YRB13(1, path.c_str(), 0, "", "\n"), 2);
    EXPECT_EQ(inner[0], YRB_FAILED);
    rec.onInfo = nullptr;
    EXPECT_EQ(YRB20(1), 1);
    EXPECT_EQ(YRB14(1), 1);
}

TEST_F(Loading, SlotExports) {
    const std::string path = dir.Write("list.mal", "a@b\n");
    struct Row {
        int32_t slot, test, free;
    } rows[] = {{0, 1, YRB_FAILED}, {1, 1, 1}, {3, 1, 1}, {4, 1, YRB_FAILED}, {-1, 1, YRB_FAILED}};
    for (const auto& r : rows) {
        EXPECT_EQ(YRB14(r.slot), r.test) << r.slot;
        EXPECT_EQ(YRB20(r.slot), r.free) << r.slot;
    }
    for (int32_t s = 1; s <= 3; ++s) ASSERT_EQ(YRB13(s, path.c_str(), 0, "", "\n"), 1);
    EXPECT_EQ(YRB09(), 1);
    EXPECT_EQ(YRB14(1), 1);
    EXPECT_EQ(YRB14(2), 1);
    EXPECT_EQ(YRB14(3), 0);  // the scratch list is freed by its user
}

TEST_F(Loading, ShutdownKeepsOnlyTheAnimateSlot) {
    Recorder rec;
    rec.Register();
    YRB09();
    EXPECT_EQ(yrb::g_registered.error, nullptr);
    EXPECT_EQ(yrb::g_registered.init_progress, nullptr);
    EXPECT_NE(yrb::g_registered.animate, nullptr);
}

TEST_F(Loading, ValidateSlotMessages) {
    yrb::ListObject* list = nullptr;
    Recorder rec;
    EXPECT_EQ(yrb::ValidateSlot(2, list, rec.Table()), YRB_FAILED);
    EXPECT_EQ(list, nullptr);
    EXPECT_EQ(rec.Texts('E'), (V{"No memory space has been allocated for the file content in List 2"}));
    rec.events.clear();
    EXPECT_EQ(yrb::ValidateSlot(7, list, rec.Table()), YRB_FAILED);
    EXPECT_EQ(rec.Count('E'), 0u);
    EXPECT_EQ(yrb::CopyIndex(nullptr, nullptr, 0), YRB_FAILED);
    EXPECT_EQ(yrb::FreeListObject(nullptr), YRB_FAILED);
}

TEST_F(Loading, WholeFileReader) {
    const std::string path = dir.Write("cfg.txt", "hello");
    struct Row {
        const char* name;
        uint32_t chunk, size;
        int32_t result;
        std::string bytes;
        size_t checks;
        int32_t lastProgress;  // a read that comes short reports no progress
    } rows[] = {
        {"whole file", 100000, 5, 5, "hello", 0, 5},
        {"chunk 0 reads byte by byte", 0, 5, 5, "hello", 5, 5},
        {"two-byte chunks", 2, 5, 5, "hello", 2, 5},
        {"file shorter than size", 4, 9, 5, "hello", 1, 4},
        {"part of the file", 100000, 3, 3, "hel", 0, 3},
    };
    for (const auto& r : rows) {
        SCOPED_TRACE(r.name);
        Recorder rec;
        rec.Register();
        std::string buf(r.size + 1, 'z');
        EXPECT_EQ(YRB28(path.c_str(), r.chunk, buf.data(), r.size), r.result);
        EXPECT_EQ(std::string(buf.c_str()), r.bytes);
        EXPECT_EQ(rec.Count('C'), r.checks);
        EXPECT_EQ(rec.Texts('I'), (V{"Loading file"}));
        EXPECT_EQ(rec.Values('P').back(), r.lastProgress);
    }
    Recorder rec;
    rec.Register();
    std::string buf(6, 'z');
    const std::string missing = dir.Path("none.txt");
    EXPECT_EQ(YRB28(missing.c_str(), 10, buf.data(), 5), YRB_FAILED);
    EXPECT_EQ(buf[5], '\0');
    EXPECT_EQ(rec.Texts('E'), (V{"Could not open file for reading : " + missing}));
    rec.onCheck = [](int) { return 1; };
    EXPECT_EQ(YRB28(path.c_str(), 2, buf.data(), 5), YRB_STOPPED);
    EXPECT_EQ(rec.Count('C'), 1u);
    EXPECT_EQ(YRB28(nullptr, 2, buf.data(), 5), YRB_FAILED);
    EXPECT_EQ(YRB28(path.c_str(), 2, nullptr, 5), YRB_FAILED);
    EXPECT_EQ(YRB28(path.c_str(), 2, buf.data(), 0x80000000u), YRB_FAILED);
}

}  // namespace

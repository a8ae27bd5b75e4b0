// Writing and splitting lists (YRB01).
#include <gtest/gtest.h>

#include <algorithm>
#include <clocale>
#include <filesystem>
#include <string>
#include <vector>

#include "callbacks.h"
#include "fixture.h"
#include "lists.h"

using fx::Recorder;
using fx::TempDir;
using V = std::vector<std::string>;

namespace {

class Writing : public ::testing::Test {
protected:
    void SetUp() override { fx::ResetEngine(); }
    void TearDown() override { fx::ResetEngine(); }
    void Load(const std::string& bytes, int32_t column = 0, const char* fieldSep = "", int32_t count = -1) {
        const std::string p = dir.Write("in.mal", bytes);
        const int32_t n = YRB13(1, p.c_str(), column, fieldSep, "\n");
        if (count >= 0) {
            ASSERT_EQ(n, count);
        }
        ASSERT_GE(n, 0);
    }
    void SetFlags(const std::vector<int32_t>& f) {
        for (size_t e = 0; e < f.size(); ++e) YRB03(1, static_cast<int32_t>(e), f[e], 1);
    }
    // Files of the folder, by name, with their bytes.
    std::vector<std::pair<std::string, std::string>> Listing() const {
        std::vector<std::pair<std::string, std::string>> out;
        for (const auto& e : std::filesystem::directory_iterator(dir.Path(""))) {
            const std::string name = e.path().filename().string();
            if (name != "in.mal") out.emplace_back(name, dir.Read(name));
        }
        std::sort(out.begin(), out.end());
        return out;
    }
    void Clean() {
        for (const auto& f : Listing()) std::filesystem::remove(dir.Path(f.first));
    }
    TempDir dir;
};

using FileList = std::vector<std::pair<std::string, std::string>>;

TEST_F(Writing, OneFile) {
    // Entries: 0 a@x, 1 B@Y (selected), 2 c@z (selected, deleted), 3 d@w (selected)
    struct Row {
        const char* name;
        int32_t mustHave, mustNot, reverse;
        std::string recordSep;
        int32_t result;
        std::string bytes;
    } rows[] = {
        {"all", 0, 0, 0, "\r\n", 4, "a@x\r\nb@y\r\nc@z\r\nd@w"},
        {"reverse", 0, 0, 7, "\r\n", 4, "d@w\r\nc@z\r\nb@y\r\na@x"},
        {"selected, not removed", 1, 120, 0, "\n", 2, "b@y\nd@w"},
        {"reverse selected, not removed", 1, 120, 1, "\n", 2, "d@w\nb@y"},
        // No trailing separator when the last entries are filtered out.
        {"last entries filtered out", 0, 0x08, 0, ";", 3, "a@x;b@y;d@w"},
        {"only the first passes", 0, 1, 0, ";", 1, "a@x"},
        {"blind-copy line", 1, 120, 0, ",", 2, "b@y,d@w"},
        {"none passes", 0x40, 0, 0, "\n", 0, ""},
    };
    Load("a@x\nB@Y\nc@z\nd@w\n", 0, "", 4);
    SetFlags({0, 1, 9, 1});
    for (const auto& r : rows) {
        SCOPED_TRACE(r.name);
        Recorder rec;
        rec.Register();
        const std::string out = dir.Path("list.out");
        EXPECT_EQ(YRB01(1, r.mustHave, r.mustNot, r.reverse, 0, "", r.recordSep.c_str(), out.c_str(), 0, "wb"),
                  r.result);
        EXPECT_EQ(dir.Read("list.out"), r.bytes);
        EXPECT_EQ(rec.Count('E'), 0u);
        EXPECT_EQ(rec.Texts('I'), (V{"Writing entries to file"}));
        EXPECT_EQ(rec.Values('S'), (std::vector<int32_t>{4}));
        EXPECT_EQ(rec.Values('P').front(), 0);
        EXPECT_EQ(rec.Values('P').back(), 4);
    }
}

TEST_F(Writing, EntriesWithoutAddress) {
    // Column 2; records 1 and 3 have no address.
    Load("1;a@x\n2\n3;b@y\n4;\n", 2, ";", 4);
    const std::string out = dir.Path("list.out");
    // Entries without address: neither written nor counted, and no separator for them.
    EXPECT_EQ(YRB01(1, 0, 0, 0, 0, "", "\n", out.c_str(), 0, "wb"), 2);
    EXPECT_EQ(dir.Read("list.out"), "a@x\nb@y");
    // Whole records are written whatever their address.
    EXPECT_EQ(YRB01(1, 0, 0, 0, 1, ";", "\n", out.c_str(), 0, "wb"), 4);
    EXPECT_EQ(dir.Read("list.out"), "1;a@x\n2\n3;b@y\n4;");
}

TEST_F(Writing, WholeRecords) {
    struct Row {
        const char* name;
        const char* fieldSep;
        std::string bytes;
    } rows[] = {
        {"same separator: as stored (lower-cased)", "|", "a||b@X\n|c@x|\nd@x|e"},
        // Empty fields are kept, so columns never shift.
        {"other separator", ";", "a;;b@x\n;c@x;\nd@x;e"},
        {"longer separator", "::", "a::::b@x\n::c@x::\nd@x::e"},
        {"empty separator joins the fields", "", "ab@x\nc@x\nd@xe"},
        {"null separator counts as empty", nullptr, "ab@x\nc@x\nd@xe"},
    };
    Load("A||B@X\n|C@x|\nd@x|E\n", 0, "|", 3);
    for (const auto& r : rows) {
        SCOPED_TRACE(r.name);
        const std::string out = dir.Path("list.out");
        EXPECT_EQ(YRB01(1, 0, 0, 0, 1, r.fieldSep, "\n", out.c_str(), 0, "wb"), 3);
        std::string expected = r.bytes;
        for (auto& c : expected)
            if (c >= 'A' && c <= 'Z') c = static_cast<char>(c + 32);
        EXPECT_EQ(dir.Read("list.out"), expected);
    }
}

TEST_F(Writing, WholeRecordsWithoutFieldSeparator) {
    Load("a;b@x\nc;d@y\n", 0, "", 2);  // each record is one field
    const std::string out = dir.Path("list.out");
    EXPECT_EQ(YRB01(1, 0, 0, 0, 1, "|", "\r\n", out.c_str(), 0, "wb"), 2);
    EXPECT_EQ(dir.Read("list.out"), "a;b@x\r\nc;d@y");
}

TEST_F(Writing, AppendMode) {
    Load("a@x\nb@y\n", 0, "", 2);
    const std::string out = dir.Path("merge.out");
    EXPECT_EQ(YRB01(1, 0, 0, 0, 0, "", "\r\n", out.c_str(), 0, "wb"), 2);
    EXPECT_EQ(YRB01(1, 0, 0, 1, 0, "", "\r\n", out.c_str(), 0, "a+b"), 2);
    EXPECT_EQ(dir.Read("merge.out"), "a@x\r\nb@y\r\nb@y\r\na@x");
    // A new file in append mode still starts with the separator.
    const std::string fresh = dir.Path("fresh.out");
    EXPECT_EQ(YRB01(1, 0, 0, 0, 0, "", "\n", fresh.c_str(), 0, "a+b"), 2);
    EXPECT_EQ(dir.Read("fresh.out"), "\na@x\nb@y");
    // "w+b" creates or truncates.
    EXPECT_EQ(YRB01(1, 1, 0, 0, 0, "", "\n", fresh.c_str(), 0, "w+b"), 0);
    EXPECT_EQ(dir.Read("fresh.out"), "");
}

TEST_F(Writing, SplitBySize) {
    Load("1;a@x\n2;b@x\n3;c@x\n4\n5;d@x\n6;e@x\n7;f@x\n8;g@x\n9;\n", 2, ";", 9);
    struct Row {
        const char* name;
        int32_t perFile, mustNot;
        const char* mode;
        int32_t result;
        FileList files;
    } rows[] = {
        {"seven by three", 3, 0, "wb", 7,
         {{"list_1.out", "a@x\nb@x\nc@x"}, {"list_2.out", "d@x\ne@x\nf@x"}, {"list_3.out", "g@x"}}},
        {"exact multiple makes no empty file", 7, 0, "wb", 7, {{"list_1.out", "a@x\nb@x\nc@x\nd@x\ne@x\nf@x\ng@x"}}},
        {"one per file", 1, 0, "wb", 7,
         {{"list_1.out", "a@x"},
          {"list_2.out", "b@x"},
          {"list_3.out", "c@x"},
          {"list_4.out", "d@x"},
          {"list_5.out", "e@x"},
          {"list_6.out", "f@x"},
          {"list_7.out", "g@x"}}},
        {"append: only the first file starts with the separator", 4, 0, "a+b", 7,
         {{"list_1.out", "\na@x\nb@x\nc@x\nd@x"}, {"list_2.out", "e@x\nf@x\ng@x"}}},
        {"filtered entries take no place", 3, 1, "wb", 5,
         {{"list_1.out", "a@x\nc@x\nd@x"}, {"list_2.out", "f@x\ng@x"}}},
    };
    for (const auto& r : rows) {
        SCOPED_TRACE(r.name);
        Clean();
        YRB10(1, YRB_ALL_ENTRIES, YRB_MODE_CLEAR, 0xFF, 0, 0, nullptr);
        if (r.mustNot) {
            YRB03(1, 1, 1, 1);
            YRB03(1, 5, 1, 1);
        }
        const std::string out = dir.Path("list.out");
        EXPECT_EQ(YRB01(1, 0, r.mustNot, 0, 0, "", "\n", out.c_str(), r.perFile, r.mode), r.result);
        EXPECT_EQ(Listing(), r.files);
    }
}

TEST_F(Writing, NumberedNames) {
    Load("a@x\nb@x\n", 0, "", 2);
    std::filesystem::create_directory(dir.Path("dir.x"));
    struct Row {
        const char* name;
        std::string path;
        V files;  // relative to the folder
    } rows[] = {
        {"extension", "list.out", {"list_1.out", "list_2.out"}},
        {"last dot of the name", "my.list.txt", {"my.list_1.txt", "my.list_2.txt"}},
        // No extension gives name_k, never a cut in a folder name.
        {"no extension", "list", {"list_1", "list_2"}},
        {"dot only in a folder", "dir.x/list", {"dir.x/list_1", "dir.x/list_2"}},
        {"hidden file", ".list", {".list_1", ".list_2"}},
        {"trailing dot", "list.", {"list_1.", "list_2."}},
    };
    for (const auto& r : rows) {
        SCOPED_TRACE(r.name);
        const std::string out = dir.Path(r.path);
        EXPECT_EQ(YRB01(1, 0, 0, 0, 0, "", "\n", out.c_str(), 1, "wb"), 2);
        for (const auto& f : r.files) {
            EXPECT_TRUE(std::filesystem::exists(dir.Path(f))) << f;
            std::filesystem::remove(dir.Path(f));
        }
        EXPECT_FALSE(std::filesystem::exists(out));
    }
}

TEST_F(Writing, SplitByDomain) {
    // The program's split by domain: YRB21 marks the domain's entries with the
    // Work flag, YRB01 writes them to "_I." and the others to "_E.".
    Load("a@one.com\nb@two.net\nc@one.com\nd@three.org\ne@ONE.com\n", 0, "", 5);
    YRB03(1, 3, 0x08, 1);  // deleted: in neither file
    EXPECT_EQ(YRB21(1, YRB_PART_DOMAIN, "one.com", 1, 0, 0, YRB_FIND_AT_END, 0, 0x80, 0, 120), 3);
    const std::string inc = dir.Path("list_I.out");
    const std::string exc = dir.Path("list_E.out");
    EXPECT_EQ(YRB01(1, 0x80, 120, 0, 0, "", "\r\n", inc.c_str(), 0, "wb"), 3);
    EXPECT_EQ(YRB01(1, 0, 120 | 0x80, 0, 0, "", "\r\n", exc.c_str(), 0, "wb"), 1);
    EXPECT_EQ(dir.Read("list_I.out"), "a@one.com\r\nc@one.com\r\ne@one.com");
    EXPECT_EQ(dir.Read("list_E.out"), "b@two.net");
}

TEST_F(Writing, Failures) {
    Load("a@x\n", 0, "", 1);
    const std::string out = dir.Path("list.out");
    const std::string noFolder = dir.Path("missing/list.out");
    struct Row {
        const char* name;
        int32_t slot;
        const char* recordSep;
        const char* path;
        int32_t perFile;
        const char* mode;
        std::string message;
    } rows[] = {
        {"bad slot", 2, "\n", out.c_str(), 0, "wb", "No memory space has been allocated for the file content in List 2"},
        {"empty record separator", 1, "", out.c_str(), 0, "wb", "No output record separator has been specified"},
        {"null record separator", 1, nullptr, out.c_str(), 0, "wb", "No output record separator has been specified"},
        {"empty path", 1, "\n", "", 0, "wb", "No output file has been specified"},
        {"null path", 1, "\n", nullptr, 0, "wb", "No output file has been specified"},
        {"read mode", 1, "\n", out.c_str(), 0, "r", "Invalid mode for file writing : r"},
        // Only the program's modes are taken.
        {"text mode", 1, "\n", out.c_str(), 0, "w", "Invalid mode for file writing : w"},
        {"odd mode", 1, "\n", out.c_str(), 0, "wbx+e", "Invalid mode for file writing : wbx+e"},
        {"null mode", 1, "\n", out.c_str(), 0, nullptr, "Invalid mode for file writing : "},
        {"cannot open", 1, "\n", noFolder.c_str(), 0, "wb", "Could not open file for writing : " + noFolder + " (No such file or directory)"},
        {"cannot open numbered", 1, "\n", noFolder.c_str(), 5, "wb",
         "Could not open file for writing : " + dir.Path("missing/list_1.out") + " (No such file or directory)"},
    };
    for (const auto& r : rows) {
        SCOPED_TRACE(r.name);
        Recorder rec;
        rec.Register();
        EXPECT_EQ(YRB01(r.slot, 0, 0, 0, 0, "", r.recordSep, r.path, r.perFile, r.mode), YRB_FAILED);
        EXPECT_EQ(rec.Texts('E'), (V{r.message}));
    }
    EXPECT_EQ(YRB01(4, 0, 0, 0, 0, "", "\n", out.c_str(), 0, "wb"), YRB_FAILED);
}

TEST_F(Writing, ZeroEntries) {
    Load("\n\n", 0, "", 0);
    const std::string out = dir.Path("list.out");
    EXPECT_EQ(YRB01(1, 0, 0, 0, 0, "", "\n", out.c_str(), 0, "wb"), 0);
    EXPECT_TRUE(std::filesystem::exists(out));
    EXPECT_EQ(dir.Read("list.out"), "");
}

TEST_F(Writing, StopClosesTheFile) {
    Load("a@x\nb@x\nc@x\n", 0, "", 3);
    Recorder rec;
    rec.Register();
    rec.onCheck = [](int) { return 1; };
    yrb::g_pollCounter = 10001 - 2;  // the third entry's poll asks
    const std::string out = dir.Path("list.out");
    EXPECT_EQ(YRB01(1, 0, 0, 0, 0, "", "\n", out.c_str(), 2, "wb"), YRB_STOPPED);
    EXPECT_EQ(Listing(), (FileList{{"list_1.out", "a@x\nb@x"}, {"list_2.out", "c@x"}}));
}

TEST_F(Writing, ListInUseCannotBeFreed) {
    Load("a@x\nb@x\n", 0, "", 2);
    Recorder rec;
    rec.Register();
    int32_t inner = 0;
    rec.onInfo = [&] { inner = YRB20(1); };
    const std::string out = dir.Path("list.out");
    EXPECT_EQ(YRB01(1, 0, 0, 0, 0, "", "\n", out.c_str(), 0, "wb"), 2);
    EXPECT_EQ(inner, YRB_FAILED);
    EXPECT_EQ(dir.Read("list.out"), "a@x\nb@x");
}

TEST_F(Writing, NamesDoNotDependOnTheLocale) {
    const char* old = std::setlocale(LC_ALL, nullptr);
    const std::string saved = old ? old : "C";
    if (std::setlocale(LC_ALL, "de_DE.UTF-8") == nullptr) std::setlocale(LC_ALL, "C.UTF-8");
    std::string bytes;
    for (int k = 0; k < 1200; ++k) bytes.append("u").append(std::to_string(k)).append("@x\n");
    Load(bytes, 0, "", 1200);
    const std::string out = dir.Path("big.out");
    EXPECT_EQ(YRB01(1, 0, 0, 0, 0, "", "\n", out.c_str(), 1, "wb"), 1200);
    EXPECT_TRUE(std::filesystem::exists(dir.Path("big_1000.out")));
    std::setlocale(LC_ALL, saved.c_str());
}

}  // namespace

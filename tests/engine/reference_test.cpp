// Reference lists, the chain of checks, YRB12 with its ".inv"
// report and YRB29.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "callbacks.h"
#include "fixture.h"
#include "lists.h"

using fx::Recorder;
using fx::TempDir;
using V = std::vector<std::string>;

namespace {

class Reference : public ::testing::Test {
protected:
    void SetUp() override {
        fx::ResetEngine();
        // The program's own files: a caption line, then one value per line.
        ASSERT_EQ(Load(YRB06, "valid.cfg", "com\r\nnet\r\nORG\r\nbiz\r\n"), 1);
        ASSERT_EQ(Load(YRB04, "excluded.cfg", "biz\r\n"), 1);
        // "master" comes first in list order although "spam" comes first in
        // the texts below.
        ASSERT_EQ(Load(YRB05, "keywords.cfg", "master\r\nSPAM\r\nabuse\r\n"), 1);
        ASSERT_EQ(Load(YRB08, "black.cfg", "black@list.com\r\nOther@List.Com\r\n"), 1);
    }
    void TearDown() override { fx::ResetEngine(); }

    int32_t Load(int32_t (*loader)(const char*, int32_t, const char*, const char*), const std::string& name,
                 const std::string& bytes, int32_t column = 0, const char* fieldSep = "",
                 const char* recordSep = "\r\n") {
        const std::string p = dir.Write(name, bytes);
        return loader(p.c_str(), column, fieldSep, recordSep);
    }
    // Loads the addresses, one per line, into slot 1.
    void LoadList(const V& lines) {
        std::string bytes;
        for (const auto& l : lines) bytes += l + "\n";
        const std::string p = dir.Write("list.mal", bytes.empty() ? std::string("\n") : bytes);
        ASSERT_EQ(YRB13(1, p.c_str(), 0, "", "\n"), static_cast<int32_t>(lines.size()));
    }
    // YRB29's answer and text for entry e.
    std::pair<int32_t, std::string> Tip(int32_t e, int32_t max = 255) {
        std::string buf(static_cast<size_t>(max) + 1, '#');
        const int32_t r = YRB29(1, e, buf.data(), max);
        if (r != 0) return {r, buf == std::string(static_cast<size_t>(max) + 1, '#') ? "" : "<touched>"};
        return {r, std::string(buf.c_str())};
    }
    TempDir dir;
};

struct ChainRow {
    std::string address;  // as written in the file
    std::string tip;      // "" when valid
    std::string report;   // the ".inv" text after the address
};

const ChainRow kChain[] = {
    {"good@x.com", "", ""},
    {"Upper.Case@Mail.NET", "", ""},
    {"\xe9t\xe9@x.org", "", ""},  // bytes 128..255 are allowed
    {"@", "empty Email Address", "\tEmpty Email Address\r\n"},
    {"@@@", "empty Email Address", "\tEmpty Email Address\r\n"},
    {"noat.com", "incomplete Email Address", "\tIncomplete Email Address\r\n"},
    {"@dom.com", "incomplete Email Address", "\tIncomplete Email Address\r\n"},
    {"a..b@x.com", "invalid user syntax : missing atom", "\tInvalid user syntax : missing atom\r\n"},
    {".a@x.com", "invalid user syntax : leading '.'", "\tInvalid user syntax : leading '.'\r\n"},
    {"a.@x.com", "invalid user syntax : trailing '.'", "\tInvalid user syntax : trailing '.'\r\n"},
    {"a b@x.com", "invalid user syntax : invalid character ' '", "\tInvalid user syntax : invalid character ' '\r\n"},
    {"a(b@x.com", "invalid user syntax : invalid character '('", "\tInvalid user syntax : invalid character '('\r\n"},
    {"a\"b@x.com", "invalid user syntax : invalid character '\"'",
     "\tInvalid user syntax : invalid character '\"'\r\n"},
    {"a\x7f@x.com", "invalid user syntax : invalid character '\x7f'",
     "\tInvalid user syntax : invalid character '^?'\r\n"},
    {"a@x..com", "invalid domain syntax : missing atom", "\tInvalid domain syntax : missing atom\r\n"},
    {"a@x.com.", "invalid domain syntax : trailing '.'", "\tInvalid domain syntax : trailing '.'\r\n"},
    {"a@x;y.com", "invalid domain syntax : invalid character ';'",
     "\tInvalid domain syntax : invalid character ';'\r\n"},
    {"a@x.zz", "invalid domain extension : unknown extension 'zz'",
     "\tInvalid domain extension : unknown extension 'zz'\r\n"},
    {"a@localhost", "invalid domain extension : unknown extension 'localhost'",
     "\tInvalid domain extension : unknown extension 'localhost'\r\n"},
    // More than one "@": the parts look well formed, the text after the
    // first "@" holds the next one; no part at all or one part come first.
    {"u@d@e.com", "invalid domain syntax : invalid character '@'",
     "\tInvalid domain syntax : invalid character '@'\r\n"},
    {"a@@b.com", "invalid domain syntax : invalid character '@'",
     "\tInvalid domain syntax : invalid character '@'\r\n"},
    {"two@@example.com", "invalid domain syntax : invalid character '@'",
     "\tInvalid domain syntax : invalid character '@'\r\n"},
    {"a@b@example.com", "invalid domain syntax : invalid character '@'",
     "\tInvalid domain syntax : invalid character '@'\r\n"},
    {"a@b.com@", "invalid domain syntax : invalid character '@'",
     "\tInvalid domain syntax : invalid character '@'\r\n"},
    {"@a@b.com", "invalid domain syntax : invalid character '@'",
     "\tInvalid domain syntax : invalid character '@'\r\n"},
    {"a.@b@c.com", "invalid user syntax : trailing '.'", "\tInvalid user syntax : trailing '.'\r\n"},
    {"a@.b@c.com", "invalid domain syntax : leading '.'", "\tInvalid domain syntax : leading '.'\r\n"},
    {"@@x.com", "incomplete Email Address", "\tIncomplete Email Address\r\n"},
    {"a@x.biz", "excluded domain extension : 'biz'", "\tExcluded domain extension : 'biz'\r\n"},
    {"Spammer@x.com", "excluded keyword : 'spam'", "\tExcluded keyword : 'spam'\r\n"},
    {"spamMaster@x.com", "excluded keyword : 'master'", "\tExcluded keyword : 'master'\r\n"},
    {"info@abuse.org", "excluded keyword : 'abuse'", "\tExcluded keyword : 'abuse'\r\n"},
    {"Black@List.com", "black listed", "\tBlack listed\r\n"},
    {"other@list.com", "black listed", "\tBlack listed\r\n"},
    {"black@list.co", "invalid domain extension : unknown extension 'co'",
     "\tInvalid domain extension : unknown extension 'co'\r\n"},
    {"blackx@list.com", "", ""},
};

TEST_F(Reference, ChainGivesOneReasonPerAddress) {
    V lines;
    for (const auto& r : kChain) lines.push_back(r.address);
    LoadList(lines);
    std::string expected = "Invalid Addresses\tReason\r\n";
    int32_t invalid = 0;
    for (size_t e = 0; e < std::size(kChain); ++e) {
        const ChainRow& r = kChain[e];
        SCOPED_TRACE(r.address);
        const auto tip = Tip(static_cast<int32_t>(e));
        if (r.tip.empty()) {
            EXPECT_EQ(tip, (std::pair<int32_t, std::string>{1, ""}));
        } else {
            EXPECT_EQ(tip, (std::pair<int32_t, std::string>{0, r.tip}));
            std::string lowered = r.address;
            for (auto& c : lowered)
                if (c >= 'A' && c <= 'Z') c = static_cast<char>(c + 32);
            for (char c : lowered) expected += c == '\x7f' ? std::string("^?") : std::string(1, c);
            expected += r.report;
            ++invalid;
        }
    }
    Recorder rec;
    rec.Register();
    const std::string inv = dir.Path("list.inv");
    EXPECT_EQ(YRB12(1, YRB_FLAG_INVALID, 0, 0, inv.c_str()), invalid);
    EXPECT_EQ(dir.Read("list.inv"), expected);
    for (size_t e = 0; e < std::size(kChain); ++e)
        EXPECT_EQ(YRB17(1, static_cast<int32_t>(e), -1), kChain[e].tip.empty() ? 0 : YRB_FLAG_INVALID)
            << kChain[e].address;
    EXPECT_EQ(rec.Texts('I'), (V{"Looking for invalid entries"}));
    EXPECT_EQ(rec.Values('S'), (std::vector<int32_t>{static_cast<int32_t>(std::size(kChain))}));
    EXPECT_EQ(rec.Values('P').back(), static_cast<int32_t>(std::size(kChain)));
    EXPECT_EQ(rec.Count('E'), 0u);
}

// Control bytes in an address: the tip gives the reason as a C string, the
// ".inv" line shows them as caret tokens so it keeps its two TAB-separated
// fields and its CR LF end.
TEST_F(Reference, ControlBytesInTheReport) {
    struct Row {
        std::string address;
        std::string tip;
        std::string line;  // of the ".inv" report, without CR LF
    } rows[] = {
        {"tab\tin@example.com", "invalid user syntax : invalid character '\t'",
         "tab^Iin@example.com\tInvalid user syntax : invalid character '^I'"},
        {std::string("nul\0in@example.com", 18), "invalid user syntax : invalid character '",
         "nul^@in@example.com\tInvalid user syntax : invalid character '^@'"},
        {"cr\rin@example.com", "invalid user syntax : invalid character '\r'",
         "cr^Min@example.com\tInvalid user syntax : invalid character '^M'"},
        {"del@exa\x7fmple.com", "invalid domain syntax : invalid character '\x7f'",
         "del@exa^?mple.com\tInvalid domain syntax : invalid character '^?'"},
        {"us@x\x1f.com", "invalid domain syntax : invalid character '\x1f'",
         "us@x^_.com\tInvalid domain syntax : invalid character '^_'"},
    };
    V lines;
    for (const auto& r : rows) lines.push_back(r.address);
    LoadList(lines);
    std::string expected = "Invalid Addresses\tReason\r\n";
    for (size_t e = 0; e < std::size(rows); ++e) {
        SCOPED_TRACE(e);
        EXPECT_EQ(Tip(static_cast<int32_t>(e)), (std::pair<int32_t, std::string>{0, rows[e].tip}));
        expected += rows[e].line + "\r\n";
    }
    const std::string inv = dir.Path("list.inv");
    EXPECT_EQ(YRB12(1, YRB_FLAG_INVALID, 0, 0, inv.c_str()), static_cast<int32_t>(std::size(rows)));
    const std::string got = dir.Read("list.inv");
    EXPECT_EQ(got, expected);
    // Every line: two fields, the CR LF only at its end.
    for (size_t at = 0, end; (end = got.find("\r\n", at)) != std::string::npos; at = end + 2) {
        const std::string line = got.substr(at, end - at);
        EXPECT_EQ(std::count(line.begin(), line.end(), '\t'), 1) << line;
        EXPECT_EQ(line.find_first_of(std::string("\r\n\0", 3)), std::string::npos) << line;
    }
}

TEST_F(Reference, DetectionRows) {
    const V lines = {"a@x.com", "bad@x.zz", "c@y.net", "@", "sel@x.zz"};
    struct Row {
        const char* name;
        std::vector<int32_t> before;  // flags before
        int32_t flag, mustHave, mustNot;
        bool report;
        int32_t result;
        std::vector<int32_t> after;
        std::string reportBytes;
    } rows[] = {
        {"flag invalid with a report", {0, 0, 0, 0, 0}, 0x20, 0, 0, true, 3, {0, 0x20, 0, 0x20, 0x20},
         "Invalid Addresses\tReason\r\n"
         "bad@x.zz\tInvalid domain extension : unknown extension 'zz'\r\n"
         "@\tEmpty Email Address\r\n"
         "sel@x.zz\tInvalid domain extension : unknown extension 'zz'\r\n"},
        {"select without a report", {0, 0, 0, 0, 0}, 0x01, 0, 0, false, 3, {0, 1, 0, 1, 1}, ""},
        {"never clears flags", {0x20, 0, 0, 0, 0}, 0x01, 0, 0, false, 3, {0x20, 1, 0, 1, 1}, ""},
        {"filter: only selected", {0, 0, 1, 0, 1}, 0x20, 1, 0x78, true, 1, {0, 0, 1, 0, 0x21},
         "Invalid Addresses\tReason\r\n"
         "sel@x.zz\tInvalid domain extension : unknown extension 'zz'\r\n"},
        {"filter: removed left out", {0, 0x08, 0, 0, 0}, 0x20, 0, 0x78, true, 2, {0, 0x08, 0, 0x20, 0x20},
         "Invalid Addresses\tReason\r\n"
         "@\tEmpty Email Address\r\n"
         "sel@x.zz\tInvalid domain extension : unknown extension 'zz'\r\n"},
        {"flag 0 counts only", {0, 0, 0, 0, 0}, 0, 0, 0, false, 3, {0, 0, 0, 0, 0}, ""},
        {"nothing passes: None", {0, 0, 0, 0, 0}, 0x20, 0x40, 0, true, 0, {0, 0, 0, 0, 0},
         "Invalid Addresses\tReason\r\nNone\r\n"},
    };
    std::string bytes;
    for (const auto& l : lines) bytes += l + "\n";
    const std::string p = dir.Write("list.mal", bytes);
    for (const auto& r : rows) {
        SCOPED_TRACE(r.name);
        ASSERT_EQ(YRB13(1, p.c_str(), 0, "", "\n"), 5);
        for (int32_t e = 0; e < 5; ++e) YRB03(1, e, r.before[e], 1);
        const std::string inv = dir.Path("rows.inv");
        std::remove(inv.c_str());
        EXPECT_EQ(YRB12(1, r.flag, r.mustHave, r.mustNot, r.report ? inv.c_str() : ""), r.result);
        for (int32_t e = 0; e < 5; ++e) EXPECT_EQ(YRB17(1, e, -1), r.after[e]) << e;
        EXPECT_EQ(dir.Read("rows.inv"), r.reportBytes);
    }
}

TEST_F(Reference, EntriesWithoutAddressArePassedOver) {
    const std::string p = dir.Write("cols.mal", "1;bad@x.zz\n2\n3;;\n");
    ASSERT_EQ(YRB13(1, p.c_str(), 2, ";", "\n"), 3);
    const std::string inv = dir.Path("cols.inv");
    EXPECT_EQ(YRB12(1, 0x20, 0, 0, inv.c_str()), 1);
    EXPECT_EQ(YRB17(1, 1, -1), 0);
    EXPECT_EQ(YRB17(1, 2, -1), 0);
    EXPECT_EQ(Tip(1), (std::pair<int32_t, std::string>{YRB_FAILED, ""}));
    EXPECT_EQ(Tip(2), (std::pair<int32_t, std::string>{YRB_FAILED, ""}));
    EXPECT_EQ(Tip(3), (std::pair<int32_t, std::string>{YRB_FAILED, ""}));  // past the end
    EXPECT_EQ(Tip(-1), (std::pair<int32_t, std::string>{YRB_FAILED, ""}));
}

TEST_F(Reference, ReportAppendsAndZeroEntriesGiveNone) {
    const std::string empty = dir.Write("empty.mal", "\n\n");
    ASSERT_EQ(YRB13(1, empty.c_str(), 0, "", "\n"), 0);
    const std::string inv = dir.Path("e.inv");
    Recorder rec;
    rec.Register();
    EXPECT_EQ(YRB12(1, 0x20, 0, 0, inv.c_str()), 0);
    EXPECT_EQ(YRB12(1, 0x20, 0, 0, inv.c_str()), 0);
    EXPECT_EQ(dir.Read("e.inv"), "Invalid Addresses\tReason\r\nNone\r\nInvalid Addresses\tReason\r\nNone\r\n");
    EXPECT_EQ(rec.Count('E'), 0u);
}

TEST_F(Reference, ReportThatCannotBeOpenedDoesNotStopDetection) {
    LoadList({"bad@x.zz"});
    Recorder rec;
    rec.Register();
    const std::string inv = dir.Path("no/such/folder.inv");
    EXPECT_EQ(YRB12(1, 0x20, 0, 0, inv.c_str()), 1);
    EXPECT_EQ(rec.Texts('E'), (V{"Could not open file : " + inv + " (No such file or directory)"}));
    EXPECT_EQ(YRB17(1, 0, -1), 0x20);
}

TEST_F(Reference, BadSlot) {
    Recorder rec;
    rec.Register();
    char buf[16];
    EXPECT_EQ(YRB12(2, 0x20, 0, 0, ""), YRB_FAILED);
    EXPECT_EQ(YRB29(2, 0, buf, 15), YRB_FAILED);
    EXPECT_EQ(rec.Texts('E'), (V{"No memory space has been allocated for the file content in List 2",
                                 "No memory space has been allocated for the file content in List 2"}));
    EXPECT_EQ(YRB12(4, 0x20, 0, 0, ""), YRB_FAILED);
    EXPECT_EQ(rec.Count('E'), 2u);
}

TEST_F(Reference, TipIsCutAtMaximum) {
    LoadList({"a@x.zz"});
    std::string buf(8, '#');
    EXPECT_EQ(YRB29(1, 0, buf.data(), 5), 0);
    EXPECT_EQ(buf, std::string("inval\0##", 8));
    EXPECT_EQ(YRB29(1, 0, buf.data(), 0), 0);
    EXPECT_EQ(buf[0], '\0');
}

TEST_F(Reference, LongReasonsAreNotCut) {
    const std::string ext(600, 'q');
    LoadList({"a@x." + ext});
    std::string buf(2001, '#');
    EXPECT_EQ(YRB29(1, 0, buf.data(), 2000), 0);
    EXPECT_EQ(std::string(buf.c_str()), "invalid domain extension : unknown extension '" + ext + "'");
    const std::string inv = dir.Path("long.inv");
    EXPECT_EQ(YRB12(1, 0x20, 0, 0, inv.c_str()), 1);
    EXPECT_EQ(dir.Read("long.inv"), "Invalid Addresses\tReason\r\na@x." + ext +
                                        "\tInvalid domain extension : unknown extension '" + ext + "'\r\n");
}

TEST_F(Reference, WithoutValidExtensionsEverythingIsUnknown) {
    EXPECT_EQ(Load(YRB06, "none.cfg", ""), YRB_FAILED);  // an empty file empties the list
    LoadList({"good@x.com", "a@b.org"});
    EXPECT_EQ(YRB12(1, 0x20, 0, 0, ""), 2);
    EXPECT_EQ(Tip(0), (std::pair<int32_t, std::string>{0, "invalid domain extension : unknown extension 'com'"}));
}

TEST_F(Reference, BlackListColumns) {
    // Column 2 of ";"-separated records; a record without it matches nothing.
    ASSERT_EQ(Load(YRB08, "black2.cfg", "x;Black@List.com;y\r\nlonely\r\n1;;other@list.com\r\n", 2, ";"), 1);
    LoadList({"black@list.com", "lonely@x.com", "other@list.com", "y@x.com"});
    EXPECT_EQ(Tip(0), (std::pair<int32_t, std::string>{0, "black listed"}));
    EXPECT_EQ(Tip(1), (std::pair<int32_t, std::string>{1, ""}));
    EXPECT_EQ(Tip(2), (std::pair<int32_t, std::string>{1, ""}));
    EXPECT_EQ(Tip(3), (std::pair<int32_t, std::string>{1, ""}));
}

TEST_F(Reference, ReferenceValuesAreWholeFields) {
    // Values of the extension lists are whole lines (or the chosen column);
    // a value matches only the whole extension.
    ASSERT_EQ(Load(YRB06, "valid2.cfg", "Extension|Country\r\ncom|x\r\nuk|United Kingdom\r\n", 1, "|"), 1);
    LoadList({"a@x.com", "a@x.co.uk", "a@x.co", "a@x.extension"});
    EXPECT_EQ(Tip(0).first, 1);
    EXPECT_EQ(Tip(1).first, 1);
    EXPECT_EQ(Tip(2), (std::pair<int32_t, std::string>{0, "invalid domain extension : unknown extension 'co'"}));
    EXPECT_EQ(Tip(3).first, 1);  // the caption line is a value like any other
}

TEST_F(Reference, LoaderFailures) {
    LoadList({"black@list.com", "a@x.com"});
    const std::string missing = dir.Path("missing.cfg");
    const std::string good = dir.Write("b.cfg", "a@x.com\r\n");
    struct Row {
        const char* name;
        const char* path;
        const char* recordSep;
        std::string message;  // "" silent
    } rows[] = {
        {"empty record separator", good.c_str(), "", "No record separator has been specified"},
        {"null record separator", good.c_str(), nullptr, "No record separator has been specified"},
        {"missing file", missing.c_str(), "\r\n", "Cannot retrieve file infos : '" + missing + "'"},
        {"null path", nullptr, "\r\n", "Cannot retrieve file infos : ''"},
    };
    for (const auto& r : rows) {
        SCOPED_TRACE(r.name);
        Recorder rec;
        rec.Register();
        EXPECT_EQ(YRB08(r.path, 0, "", r.recordSep), YRB_FAILED);
        EXPECT_EQ(rec.Texts('E'), (V{r.message}));
        // A failed reload keeps the previous black list.
        EXPECT_EQ(Tip(0), (std::pair<int32_t, std::string>{0, "black listed"}));
    }
    // The reload itself reports only the file read; the parse is silent.
    Recorder rec;
    rec.Register();
    EXPECT_EQ(YRB08(good.c_str(), 0, "", "\r\n"), 1);
    EXPECT_EQ(rec.Texts('I'), (V{"Loading file"}));
    EXPECT_EQ(Tip(0).first, 1);
    EXPECT_EQ(Tip(1), (std::pair<int32_t, std::string>{0, "black listed"}));
    // An empty file still empties the list, silently.
    const std::string empty = dir.Write("empty.cfg", "");
    rec.events.clear();
    EXPECT_EQ(YRB08(empty.c_str(), 0, "", "\r\n"), YRB_FAILED);
    EXPECT_EQ(rec.Count('E'), 0u);
    EXPECT_EQ(Tip(1).first, 1);
    // A file of separators only loads as an empty list.
    const std::string seps = dir.Write("seps.cfg", "\r\n\r\n");
    EXPECT_EQ(YRB08(seps.c_str(), 0, "", "\r\n"), 1);
}

TEST_F(Reference, StoppedReloadKeepsThePreviousList) {
    LoadList({"black@list.com"});
    std::string big;
    while (big.size() < 250000) big += "someone@somewhere.com\r\n";
    const std::string p = dir.Write("big.cfg", big);
    Recorder rec;
    rec.Register();
    rec.onCheck = [](int) { return 1; };  // asked after the first chunk
    EXPECT_EQ(YRB08(p.c_str(), 0, "", "\r\n"), YRB_FAILED);
    EXPECT_EQ(rec.Count('E'), 0u);
    rec.onCheck = nullptr;
    EXPECT_EQ(Tip(0), (std::pair<int32_t, std::string>{0, "black listed"}));
}

TEST_F(Reference, NoReloadWhileACheckRuns) {
    LoadList({"black@list.com", "bad@x.zz"});
    const std::string other = dir.Write("other.cfg", "bad@x.zz\r\n");
    Recorder rec;
    rec.Register();
    int32_t inner = 0, innerFree = 0;
    rec.onInfo = [&] {
        inner = YRB08(other.c_str(), 0, "", "\r\n");
        innerFree = YRB20(1);
    };
    EXPECT_EQ(YRB12(1, 0x20, 0, 0, ""), 2);
    EXPECT_EQ(inner, YRB_FAILED);
    EXPECT_EQ(innerFree, YRB_FAILED);
    EXPECT_EQ(rec.Texts('E'),
              (V{"The reference lists are in use by a running operation and cannot be reloaded",
                 "List 1 is in use by a running operation and cannot be freed"}));
    rec.onInfo = nullptr;
    EXPECT_EQ(Tip(0), (std::pair<int32_t, std::string>{0, "black listed"}));
    EXPECT_EQ(YRB08(other.c_str(), 0, "", "\r\n"), 1);  // afterwards it reloads
    EXPECT_EQ(Tip(0).first, 1);
}

TEST_F(Reference, StopClosesTheReportAndKeepsFlags) {
    LoadList({"a@x.zz", "b@x.zz", "c@x.zz"});
    const std::string inv = dir.Path("stop.inv");
    Recorder rec;
    rec.Register();
    rec.onCheck = [](int) { return 1; };
    // The first entry polls five times (the entry, one user atom, two domain
    // atoms, the extension look-up); the second entry's first poll asks.
    yrb::g_pollCounter = 10001 - 5;
    EXPECT_EQ(YRB12(1, 0x20, 0, 0, inv.c_str()), YRB_STOPPED);
    EXPECT_EQ(YRB17(1, 0, -1), 0x20);
    EXPECT_EQ(YRB17(1, 1, -1), 0);
    EXPECT_EQ(dir.Read("stop.inv"),
              "Invalid Addresses\tReason\r\na@x.zz\tInvalid domain extension : unknown extension 'zz'\r\n");
}

TEST_F(Reference, ManyBlackListedAndKeywords) {
    // Larger reference lists behave as the linear scans: first keyword in
    // list order, whole-value equality for the black list.
    std::string black, keywords;
    for (int k = 0; k < 2000; ++k) black += "user" + std::to_string(k) + "@black.com\r\n";
    for (int k = 0; k < 300; ++k) keywords += "kw" + std::to_string(300 - k) + "x\r\n";
    ASSERT_EQ(Load(YRB08, "bl.cfg", black), 1);
    ASSERT_EQ(Load(YRB05, "kw.cfg", keywords + "zq\r\nq\r\n"), 1);
    LoadList({"user1999@black.com", "user2000@black.com", "kw5xkw299x@x.com", "xkw10x@x.com", "zq@x.com",
              "aq@b.com"});
    EXPECT_EQ(Tip(0), (std::pair<int32_t, std::string>{0, "black listed"}));
    EXPECT_EQ(Tip(1), (std::pair<int32_t, std::string>{1, ""}));
    // kw299x is earlier in the list (line 2) than kw5x (line 296).
    EXPECT_EQ(Tip(2), (std::pair<int32_t, std::string>{0, "excluded keyword : 'kw299x'"}));
    EXPECT_EQ(Tip(3), (std::pair<int32_t, std::string>{0, "excluded keyword : 'kw10x'"}));
    EXPECT_EQ(Tip(4), (std::pair<int32_t, std::string>{0, "excluded keyword : 'zq'"}));
    EXPECT_EQ(Tip(5), (std::pair<int32_t, std::string>{0, "excluded keyword : 'q'"}));
}

TEST_F(Reference, KeywordsAsTheLinearScan) {
    // Against a plain linear scan (each keyword in list order, FindText in the
    // whole address), with few keywords and with so many that the automaton
    // is kept sparse.
    uint64_t h = 99;
    auto next = [&] {
        h = h * 6364136223846793005ull + 1442695040888963407ull;
        return static_cast<uint32_t>(h >> 33);
    };
    auto word = [&](uint32_t minLen, uint32_t maxLen) {
        std::string w;
        const uint32_t n = minLen + next() % (maxLen - minLen + 1);
        for (uint32_t k = 0; k < n; ++k) w.push_back(static_cast<char>('a' + next() % 3));
        return w;
    };
    for (const int count : {40, 8000}) {  // 8000: some 30,000 nodes
        SCOPED_TRACE(count);
        V keywords;
        std::string file;
        for (int k = 0; k < count; ++k) {
            keywords.push_back(count > 100 ? word(6, 14) : word(2, 5));
            file.append(keywords.back()).append("\r\n");
        }
        ASSERT_EQ(Load(YRB05, "kw.cfg", file), 1);
        V lines;
        for (int k = 0; k < 500; ++k) lines.push_back(word(3, 25) + "@x.com");
        LoadList(lines);
        for (size_t e = 0; e < lines.size(); ++e) {
            std::string want;
            for (const auto& kw : keywords)
                if (lines[e].find(kw) != std::string::npos) {
                    want = "excluded keyword : '" + kw + "'";
                    break;
                }
            const auto tip = Tip(static_cast<int32_t>(e));
            if (want.empty()) {
                EXPECT_EQ(tip.first, 1) << lines[e] << " " << tip.second;
            } else {
                EXPECT_EQ(tip, (std::pair<int32_t, std::string>{0, want})) << lines[e];
            }
        }
    }
}

}  // namespace

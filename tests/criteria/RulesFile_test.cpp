// The criteria file: its bytes, the reader's reading of odd lines, the
// one-time backup, and a failed write or read that keeps what was there.
#include "RulesFile.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>

#include <sys/stat.h>
#include <unistd.h>

#include <QFile>
#include <QFileInfo>

#include "../services/ServiceTestSupport.h"
#include "CriteriaTestSupport.h"
#include "FileReplace.h"
#include "FileSizeLimit.h"
#include "TestHarness.h"

using namespace CriteriaTest;

namespace {

// A set in words: name, OP1, OP2, IsFirst, then each keyword as its quoted
// text and DoUse, DoHea, DoCon, DoSub, DoWrd, DoCas.
QString Describe(const clsRule& s) {
    QString d = QStringLiteral("%1 %2 %3 %4:").arg(s.name).arg(s.OP1).arg(s.OP2).arg(s.IsFirst ? 1 : 0);
    for (const auto& k : *s.Keywords)
        d += QStringLiteral(" '%1' ").arg(k->Value) + QString::number(k->DoUse) + QString::number(k->DoHea) +
             QString::number(k->DoCon) + QString::number(k->DoSub) + QString::number(k->DoWrd) +
             QString::number(k->DoCas);
    return d;
}

// Names of the folder's entries, hidden ones included.
QStringList Entries(const QString& folder) {
    return QDir(folder).entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot, QDir::Name);
}

QStringList Described() {
    QStringList out;
    if (Rules)
        for (const auto& s : *Rules) out << Describe(*s);
    return out;
}

class CriteriaFile : public ::testing::Test {
protected:
    void TearDown() override {
        Rules.reset();
        filereplace::InstallFault({});
    }
    QString path = RulesFile::Path();
    ServiceTest::Console console;
};

TEST_F(CriteriaFile, PathIsInTheProgramFolder) {
    EXPECT_EQ(path, TestHarness::Folder() + QStringLiteral("/MA_Rules.cfg"));
}

// The two example lines of the format, written by the writer.
TEST_F(CriteriaFile, WritesTheLinesByteForByte) {
    Rules = std::make_shared<RuleCollection>(RuleCollection{
        Set("Work", {Kw("invoice", "HCS"), Kw("  urgent ", "S", "W")}, clsOperator::kAnd, clsOperator::kOr),
        Set("Work", {}),
        Set("Old", {Kw("x", "H", "WC", false)}, clsOperator::kOr, clsOperator::kAnd, true),
    });
    ASSERT_TRUE(RulesFile::SaveRules(path));
    EXPECT_EQ(TestHarness::ReadFile(path), QByteArray("Work|AND|OR|0;invoice|1|1|1|1|0|0;urgent|1|0|0|1|1|0\r\n"
                                                      "Work|AND|AND|0;\r\n"
                                                      "Old|OR|AND|1;x|0|1|0|0|1|1\r\n"));
    EXPECT_TRUE(console.Empty());
}

TEST_F(CriteriaFile, SavingNoSetsWritesAnEmptyFile) {
    Rules = std::make_shared<RuleCollection>();
    ASSERT_TRUE(RulesFile::SaveRules(path));
    EXPECT_TRUE(QFileInfo::exists(path));
    EXPECT_EQ(TestHarness::ReadFile(path), QByteArray());
    // The next start reports the empty file and shows no set.
    Rules = std::make_shared<RuleCollection>(RuleCollection{Set("a", {})});
    RulesFile::LoadRules(path);
    EXPECT_EQ(Described(), QStringList());
    EXPECT_TRUE(console.Has(QStringLiteral("Could not load file '") + path + "' in memory : the file is empty"));
    EXPECT_TRUE(console.Text().contains(QStringLiteral("Routine : LoadRules")));
}

struct ReadCase {
    const char* what;
    QByteArray bytes;
    QStringList sets;
};

TEST_F(CriteriaFile, Reading) {
    const ReadCase cases[] = {
        {"the example line",
         "Work|AND|OR|0;invoice|1|1|1|1|0|0;urgent|1|0|0|1|1|0\r\n",
         {"Work 1 2 0: 'invoice' 111100 'urgent' 100110"}},
        {"names trimmed, operators only in capitals", "  Work  |and|OR|1;\r\n", {"Work 1 2 1:"}},
        {"operator words with blanks are not read", "S|OR |or|0;", {"S 1 1 0:"}},
        {"no semicolon, no keyword", "S|OR|OR|1", {"S 2 2 1:"}},
        {"missing head fields", "S", {"S 1 1 0:"}},
        {"empty name skipped", "|AND|AND|0;x|1|1|1|1|0|0\r\nT|AND|AND|0;\r\n", {"T 1 1 0:"}},
        {"blank name skipped", "   |AND|AND|0;\r\n", {}},
        {"missing flags read False", "S|AND|AND|0;k|1|1", {"S 1 1 0: 'k' 110000"}},
        {"keyword text kept untrimmed", "S|AND|AND|0; k |1|1|1|1|1|1", {"S 1 1 0: ' k ' 111111"}},
        {"flags trimmed of blanks", "S|AND|AND| 1 ;a| 1 |1 |0|0|0|0", {"S 1 1 1: 'a' 110000"}},
        {"only 1 is true", "S|AND|AND|2;a|2|yes|-1|1|1|1", {"S 1 1 0: 'a' 000111"}},
        {"two semicolons give an empty keyword", "S|AND|AND|0;a|1;;b|1", {"S 1 1 0: 'a' 100000 '' 000000 'b' 100000"}},
        {"a trailing semicolon adds nothing", "S|AND|AND|0;a|1;", {"S 1 1 0: 'a' 100000"}},
        {"order kept, last line without line end, empty line skipped",
         "B|OR|OR|0;\r\n\r\nA|AND|AND|0;z|1;y|1\r\nC|AND|OR|1;",
         {"B 2 2 0:", "A 1 1 0: 'z' 100000 'y' 100000", "C 1 2 1:"}},
        {"a line end at the very end adds nothing", "A|AND|AND|0;\r\n\r\n", {"A 1 1 0:"}},
        // Line feeds alone: one line; a flag running into the next line is False.
        {"line feeds alone make one line",
         "A|OR|AND|1;x|1|1|0|0|0|0\nB|AND|AND|0;y|1|1|1|1|1|1\n",
         {"A 2 1 1: 'x' 110000 'y' 111110"}},
        {"Latin-1 bytes kept",
         "\xe9t\xe9|AND|AND|0;\xc0|1",
         {QString::fromUtf8("\u00e9t\u00e9 1 1 0: '\u00c0' 100000")}},
    };
    for (const ReadCase& c : cases) {
        SCOPED_TRACE(c.what);
        TestHarness::WriteFile("MA_Rules.cfg", c.bytes);
        RulesFile::LoadRules(path);
        EXPECT_EQ(Described(), c.sets);
    }
    EXPECT_TRUE(console.Empty());
}

// Every set read is ready to judge mails.
TEST_F(CriteriaFile, SetsReadAreInitialized) {
    TestHarness::WriteFile("MA_Rules.cfg", "S|AND|AND|0;pay|1|0|0|1|0|0\r\n");
    RulesFile::LoadRules(path);
    ASSERT_EQ(Rules->size(), 1u);
    clsMail m = Mail("", "", "please pay");
    EXPECT_TRUE(Rules->at(0)->Evaluate(&m));
}

TEST_F(CriteriaFile, MissingFileGivesNoSets) {
    Rules = std::make_shared<RuleCollection>(RuleCollection{Set("a", {})});
    RulesFile::LoadRules(path);
    ASSERT_TRUE(Rules);
    EXPECT_TRUE(Rules->empty());
    RulesFile::LoadRules(QString());
    ASSERT_TRUE(Rules);
    EXPECT_TRUE(Rules->empty());
}

// Read back, every set and keyword keeps its place; blanks around names and
// keyword texts go.
TEST_F(CriteriaFile, OrderKeptThroughSaveAndLoad) {
    Rules = std::make_shared<RuleCollection>(RuleCollection{
        Set(" Zeta ", {Kw("c", "H"), Kw(" b", "C", "W"), Kw("a", "S", "C")}, clsOperator::kOr),
        Set("Alpha", {Kw("y", "HCS"), Kw("x", "HC", "", false)}, clsOperator::kAnd, clsOperator::kOr, true),
        Set("Mid", {}),
    });
    ASSERT_TRUE(RulesFile::SaveRules(path));
    RulesFile::LoadRules(path);
    EXPECT_EQ(Described(), QStringList({"Zeta 2 1 0: 'c' 110000 'b' 101010 'a' 100101",
                                        "Alpha 1 2 1: 'y' 111100 'x' 011000", "Mid 1 1 0:"}));
}

TEST_F(CriteriaFile, BackupMadeOnceBeforeTheFirstOverwrite) {
    const QString backup = path + QStringLiteral(".bak");
    Rules = std::make_shared<RuleCollection>(RuleCollection{Set("One", {})});
    ASSERT_TRUE(RulesFile::SaveRules(path));
    EXPECT_FALSE(QFileInfo::exists(backup)) << "no file to keep yet";
    Rules->push_back(Set("Two", {}));
    ASSERT_TRUE(RulesFile::SaveRules(path));
    EXPECT_EQ(TestHarness::ReadFile(backup), QByteArray("One|AND|AND|0;\r\n"));
    Rules->push_back(Set("Three", {}));
    ASSERT_TRUE(RulesFile::SaveRules(path));
    EXPECT_EQ(TestHarness::ReadFile(backup), QByteArray("One|AND|AND|0;\r\n"));
    EXPECT_EQ(TestHarness::ReadFile(path), QByteArray("One|AND|AND|0;\r\nTwo|AND|AND|0;\r\nThree|AND|AND|0;\r\n"));
}

// The backup is as private as the file it copies, whatever the umask.
TEST_F(CriteriaFile, BackupHasTheBitsOfTheFileItCopies) {
    const QString backup = path + QStringLiteral(".bak");
    for (const mode_t bits : {mode_t(0600), mode_t(0640), mode_t(0664)}) {
        SCOPED_TRACE(bits);
        QFile::remove(path);
        QFile::remove(backup);
        Rules = std::make_shared<RuleCollection>(RuleCollection{Set("One", {})});
        ASSERT_TRUE(RulesFile::SaveRules(path));
        ASSERT_EQ(::chmod(QFile::encodeName(path).constData(), bits), 0);
        Rules->push_back(Set("Two", {}));
        ASSERT_TRUE(RulesFile::SaveRules(path));
        struct stat st {};
        ASSERT_EQ(::stat(QFile::encodeName(backup).constData(), &st), 0);
        EXPECT_EQ(st.st_mode & 07777, bits);
        EXPECT_EQ(TestHarness::ReadFile(backup), QByteArray("One|AND|AND|0;\r\n"));
    }
}

// A save that fails leaves the old file and its backup whole and no
// temporary file behind.
TEST_F(CriteriaFile, FailedWriteKeepsTheOldFile) {
    const QByteArray old = "Old|AND|AND|0;\r\n";
    struct Case {
        const char* what;
        QByteArray backup;  // the backup before the save; null: none
        rlim_t limit;       // no file grows past it
        std::function<int(filereplace::Step, const std::string& path)> fault;
        const char* report;  // %1: the file's name
        QStringList entries;
        int reports;
    } cases[] = {
        {"too big for the disk", QByteArray(), rlim_t(old.size()), {},
         "Cannot write the criteria file %1 (File too large)",
         {"MA_Rules.cfg", "MA_Rules.cfg.bak"}, 1},
        {"the backup does not fit either", QByteArray(), 4, {}, "Cannot write the criteria file %1 (File too large)",
         {"MA_Rules.cfg"}, 2},
        {"the rename refused", "Older|OR|OR|0;\r\n", RLIM_INFINITY,
         [](filereplace::Step step, const std::string& path) {
             return step == filereplace::Step::kRename && QFileInfo(QFile::decodeName(path.c_str())).fileName() ==
                                                               QStringLiteral("MA_Rules.cfg")
                        ? EIO
                        : 0;
         },
         "Cannot replace the criteria file %1 (Input/output error)", {"MA_Rules.cfg", "MA_Rules.cfg.bak"}, 1},
    };
    int n = 0;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const QString sub = QStringLiteral("fail%1").arg(++n);
        const QString file = TestHarness::WriteFile(sub + "/MA_Rules.cfg", old);
        if (!c.backup.isNull()) TestHarness::WriteFile(sub + "/MA_Rules.cfg.bak", c.backup);
        // Longer than the old file: the backup fits where the new text does not.
        Rules = std::make_shared<RuleCollection>(RuleCollection{Set("Newer", {Kw("k", "H")})});
        filereplace::InstallFault(c.fault);
        const int before = console.Count(QString());
        bool saved = false;
        {
            const FileSizeLimit limit(c.limit);
            saved = RulesFile::SaveRules(file);
        }
        filereplace::InstallFault({});
        EXPECT_FALSE(saved);
        EXPECT_EQ(TestHarness::ReadFile(file), old);
        if (c.entries.contains("MA_Rules.cfg.bak")) {
            EXPECT_EQ(TestHarness::ReadFile(file + ".bak"), c.backup.isNull() ? old : c.backup);
        }
        EXPECT_EQ(Entries(QFileInfo(file).absolutePath()), c.entries);
        EXPECT_EQ(console.Count(QString::fromLatin1(c.report).replace(QStringLiteral("%1"), file)), 1)
            << console.Text().toStdString();
        EXPECT_EQ(console.Count(QString()) - before, c.reports);
        EXPECT_TRUE(console.Text().contains(QStringLiteral("Module  : FrmKeyword")));
    }
}

// A file with a second hard link stays one file: both names hold the new
// sets, with the bits the file had.
TEST_F(CriteriaFile, SaveKeepsASecondHardLink) {
    const QByteArray old = "Old|AND|AND|0;\r\n";
    const QString file = TestHarness::WriteFile("link/MA_Rules.cfg", old);
    ::chmod(QFile::encodeName(file).constData(), 0640);
    const QString alias = file + QStringLiteral(".alias");
    ASSERT_EQ(::link(QFile::encodeName(file).constData(), QFile::encodeName(alias).constData()), 0);
    Rules = std::make_shared<RuleCollection>(RuleCollection{Set("One", {})});
    ASSERT_TRUE(RulesFile::SaveRules(file));
    Rules->push_back(Set("Two", {}));
    ASSERT_TRUE(RulesFile::SaveRules(file));
    const QByteArray sets = "One|AND|AND|0;\r\nTwo|AND|AND|0;\r\n";
    EXPECT_EQ(TestHarness::ReadFile(file), sets);
    EXPECT_EQ(TestHarness::ReadFile(alias), sets);
    struct stat one {}, two {};
    ASSERT_EQ(::stat(QFile::encodeName(file).constData(), &one), 0);
    ASSERT_EQ(::stat(QFile::encodeName(alias).constData(), &two), 0);
    EXPECT_EQ(one.st_ino, two.st_ino);
    EXPECT_EQ(one.st_nlink, 2u);
    EXPECT_EQ(one.st_mode & 07777, 0640u);
    EXPECT_EQ(TestHarness::ReadFile(file + ".bak"), old);
    EXPECT_EQ(Entries(QFileInfo(file).absolutePath()),
              QStringList({"MA_Rules.cfg", "MA_Rules.cfg.alias", "MA_Rules.cfg.bak"}));
    EXPECT_TRUE(console.Empty());
}

TEST_F(CriteriaFile, WriteRefusals) {
    struct Case {
        const char* what;
        bool withRules;
        QString path;
        QString report;
    } cases[] = {
        {"no collection", false, RulesFile::Path(), "Rules collection has not been set"},
        {"no path", true, QString(), "No Filename has been provided !"},
        {"folder missing", true, TestHarness::Folder() + "/none/MA_Rules.cfg",
         "Cannot write the criteria file " + TestHarness::Folder() + "/none/MA_Rules.cfg (No such file or directory)"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        if (c.withRules)
            Rules = std::make_shared<RuleCollection>();
        else
            Rules.reset();
        EXPECT_FALSE(RulesFile::SaveRules(c.path));
        EXPECT_TRUE(console.Has(c.report)) << console.Text().toStdString();
    }
}

// A present file that cannot be read whole leaves the sets as they were.
TEST_F(CriteriaFile, FailedReadKeepsTheSets) {
    Rules = std::make_shared<RuleCollection>(RuleCollection{Set("Kept", {Kw("k", "S")})});
    const QString unreadable = TestHarness::WriteFile("locked.cfg", "New|AND|AND|0;\r\n");
    QFile::setPermissions(unreadable, QFileDevice::Permissions());
    if (QFile(unreadable).open(QIODevice::ReadOnly)) GTEST_SKIP() << "running as a user who reads any file";
    RulesFile::LoadRules(unreadable);
    EXPECT_EQ(Described(), QStringList({"Kept 1 1 0: 'k' 100100"}));
}

TEST_F(CriteriaFile, FailedReadAtStartLeavesAnEmptyCollection) {
    const QString folder = TestHarness::Folder() + QStringLiteral("/folder.cfg");
    QDir().mkpath(folder);
    RulesFile::LoadRules(folder);
    ASSERT_TRUE(Rules);
    EXPECT_TRUE(Rules->empty());
    Rules = std::make_shared<RuleCollection>(RuleCollection{Set("Kept", {})});
    RulesFile::LoadRules(folder);
    EXPECT_EQ(Described(), QStringList({"Kept 1 1 0:"}));
}

}  // namespace

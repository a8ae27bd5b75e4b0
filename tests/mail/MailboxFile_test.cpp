#include <functional>
#include <string>

#include <sys/stat.h>
#include <unistd.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStringList>

#include <gtest/gtest.h>

#include "FileReplace.h"
#include "FileSizeLimit.h"
#include "MailTestSupport.h"
#include "MailboxFile.h"
#include "TestHarness.h"

namespace {

QString Describe(const clsPOP3Mailbox& a) {
    return QStringLiteral("%1|%2|%3|%4|%5")
        .arg(a.POP3User, a.POP3Password, a.POP3Server)
        .arg(a.POP3Port)
        .arg(a.POP3TimeOut);
}

QStringList Loaded(const QString& path) {
    MailboxCollection accounts;
    MailboxFile::Read(path, accounts);
    QStringList out;
    for (const auto& a : accounts) out << Describe(*a);
    return out;
}

int Reports(const ServiceTest::Console& console) {
    return static_cast<int>(console.Text().count(QStringLiteral("Message : ")));
}

mode_t Mode(const QString& path) {
    struct stat st {};
    ::stat(QFile::encodeName(path).constData(), &st);
    return st.st_mode & 07777;
}

std::shared_ptr<clsPOP3Mailbox> Account(const char* user, const char* pass, const char* server, int port, int timeOut) {
    auto a = std::make_shared<clsPOP3Mailbox>();
    a->POP3User = QString::fromLatin1(user);
    a->POP3Password = QString::fromLatin1(pass);
    a->POP3Server = QString::fromLatin1(server);
    a->POP3Port = port;
    a->POP3TimeOut = timeOut;
    return a;
}

class AccountFile : public ::testing::Test {
protected:
    void SetUp() override { Mailboxes = std::make_shared<MailboxCollection>(); }
    void TearDown() override {
        Mailboxes.reset();
        filereplace::InstallFault({});
    }
};

// Names of the folder's entries, hidden ones included.
QStringList Entries(const QString& folder) {
    return QDir(folder).entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot, QDir::Name);
}

struct stat StatOf(const QString& path) {
    struct stat st {};
    EXPECT_EQ(::stat(QFile::encodeName(path).constData(), &st), 0) << path.toStdString();
    return st;
}

struct ReadCase {
    const char* name;
    QByteArray bytes;  // null: no file at all
    QStringList accounts;
    int reports;
};

TEST_F(AccountFile, Reading) {
    const ReadCase cases[] = {
        {"no file", QByteArray(), {}, 0},
        {"empty file", QByteArray(""), {}, 0},
        {"one record without line end", "u|AA7531922468|pop.x.org|110|30", {"u|AA7531922468|pop.x.org|110|30"}, 0},
        {"one record with line end", "u|AA7531922468|pop.x.org|110|30\r\n", {"u|AA7531922468|pop.x.org|110|30"}, 0},
        {"texts exactly as held", " u |p| s |110|30\r\n", {" u |p| s |110|30"}, 0},
        {"an empty line is an empty account", "u|p|s|110|30\r\n\r\n", {"u|p|s|110|30", "|||0|0"}, 0},
        {"line feeds alone make one record", "u|p|s|110|30\nv|q|t|995|60\n", {"u|p|s|110|30"}, 0},
        {"three fields", "u|p|s\r\n", {"u|p|s|0|0"}, 0},
        {"blank before the port", "u|p|s| 110|30\r\n", {"u|p|s|110|30"}, 0},
        {"letters after the port", "u|p|s|110abc|30\r\n", {"u|p|s|110|30"}, 0},
        {"letters alone", "u|p|s|abc|x\r\n", {"u|p|s|0|0"}, 0},
        {"hexadecimal port", "u|p|s|&H6E|0\r\n", {"u|p|s|110|0"}, 0},
        {"a half rounds to even", "u|p|s|110.5|2.5\r\n", {"u|p|s|110|2"}, 0},
        {"text after a fifth bar", "u|p|s|110|30|more\r\n", {"u|p|s|110|30"}, 0},
        {"ports above 32767", "u|p|s|40110|30\r\nv|p|s|99999|0\r\n", {"u|p|s|40110|30", "v|p|s|99999|0"}, 0},
        {"a number out of range skips its line only",
         "a|p|s|110|0\r\nb|p|s|99999999999|0\r\nc|p|s|995|1e10\r\nd|p|s|1|2\r\n",
         {"a|p|s|110|0", "d|p|s|1|2"},
         2},
        {"identical accounts", "u|p|s|110|30\r\nu|p|s|110|30\r\n", {"u|p|s|110|30", "u|p|s|110|30"}, 0},
    };
    for (const ReadCase& c : cases) {
        ServiceTest::Console console;
        const QString path = QDir(TestHarness::Folder()).filePath(QStringLiteral("read/MA_Mailbox.cfg"));
        QFile::remove(path);
        if (!c.bytes.isNull()) TestHarness::WriteFile(QStringLiteral("read/MA_Mailbox.cfg"), c.bytes);
        MailboxCollection accounts;
        EXPECT_EQ(MailboxFile::Read(path, accounts), !c.bytes.isEmpty()) << c.name;
        EXPECT_EQ(Loaded(path), c.accounts) << c.name;
        EXPECT_EQ(Reports(console), 2 * c.reports) << c.name;
    }
}

TEST_F(AccountFile, SkippedLineIsNamedAndHidesThePassword) {
    ServiceTest::Console console;
    const QString path =
        TestHarness::WriteFile(QStringLiteral("MA_Mailbox.cfg"), "a|p|s|1|0\r\nb|SECRET1234AB|s|1e99|0\r\n");
    EXPECT_EQ(Loaded(path), QStringList{"a|p|s|1|0"});
    EXPECT_TRUE(console.Text().contains(QStringLiteral("Line 2 "))) << console.Text().toStdString();
    EXPECT_FALSE(console.Text().contains(QStringLiteral("SECRET1234AB")));
}

TEST_F(AccountFile, WrittenBytes) {
    const QString path = QDir(TestHarness::Folder()).filePath(QStringLiteral("MA_Mailbox.cfg"));
    struct WriteCase {
        const char* name;
        MailboxCollection accounts;
        QByteArray bytes;
    };
    const WriteCase cases[] = {
        {"no account", {}, ""},
        {"negative port", {Account("u", "AA7531922468", "pop.x.org", -1, 0)}, "u|AA7531922468|pop.x.org|-1|0\r\n"},
        {"two accounts in order",
         {Account("b", "p", "s", 110, 30), Account("a", "q", "t", 995, 60)},
         "b|p|s|110|30\r\na|q|t|995|60\r\n"},
        {"8-bit name", {Account("j\xf6rg", "p", "s", 65535, 0)}, "j\xf6rg|p|s|65535|0\r\n"},
    };
    for (const WriteCase& c : cases) {
        *Mailboxes = c.accounts;
        EXPECT_TRUE(MailboxFile::SaveMailboxes(path)) << c.name;
        EXPECT_EQ(TestHarness::ReadFile(path), c.bytes) << c.name;
        EXPECT_TRUE(QFileInfo::exists(path)) << c.name;
    }
}

TEST_F(AccountFile, SaveAndReloadKeepsEveryAccount) {
    const QString path = QDir(TestHarness::Folder()).filePath(QStringLiteral("MA_Mailbox.cfg"));
    *Mailboxes = {Account("u", "p", "s", 110, 30), Account("u", "p", "s", 110, 30), Account("", "", "", 0, 0)};
    ASSERT_TRUE(MailboxFile::SaveMailboxes(path));
    EXPECT_EQ(Loaded(path), (QStringList{"u|p|s|110|30", "u|p|s|110|30", "|||0|0"}));
}

TEST_F(AccountFile, BackupOnceAndModes) {
    const QString folder = MailboxFile::Folder();
    EXPECT_TRUE(folder.startsWith(TestHarness::Folder()));
    EXPECT_EQ(Mode(folder), mode_t(0700));
    const QString path = MailboxFile::Path();
    const QString backup = path + QStringLiteral(".bak");
    *Mailboxes = {Account("first", "p", "s", 110, 0)};
    ASSERT_TRUE(MailboxFile::SaveMailboxes(path));
    EXPECT_FALSE(QFileInfo::exists(backup)) << "no file to back up at the first save";
    EXPECT_EQ(Mode(path), mode_t(0600));
    *Mailboxes = {Account("second", "p", "s", 110, 0)};
    ASSERT_TRUE(MailboxFile::SaveMailboxes(path));
    EXPECT_EQ(TestHarness::ReadFile(backup), QByteArray("first|p|s|110|0\r\n"));
    EXPECT_EQ(Mode(backup), mode_t(0600));
    *Mailboxes = {Account("third", "p", "s", 110, 0)};
    ASSERT_TRUE(MailboxFile::SaveMailboxes(path));
    EXPECT_EQ(TestHarness::ReadFile(backup), QByteArray("first|p|s|110|0\r\n"));
    EXPECT_EQ(TestHarness::ReadFile(path), QByteArray("third|p|s|110|0\r\n"));
    EXPECT_EQ(Mode(path), mode_t(0600));
    // Nothing but the file and its backup is left in the folder.
    EXPECT_EQ(QDir(folder).entryList(QDir::Files | QDir::Hidden).size(), 2);
}

TEST_F(AccountFile, RelativeDataHomeIsIgnored) {
    const QByteArray home = qgetenv("HOME");
    const QString fakeHome = QDir(TestHarness::Folder()).filePath(QStringLiteral("home"));
    qputenv("HOME", QFile::encodeName(fakeHome));
    qputenv("XDG_DATA_HOME", "relative/data");
    const QString folder = MailboxFile::Folder();
    qputenv("HOME", home);
    EXPECT_EQ(folder, fakeHome + QStringLiteral("/.local/share/OrmidYRB100"));
    EXPECT_EQ(Mode(folder), mode_t(0700));
}

TEST_F(AccountFile, WiderModeOfAnOldFileIsNotKept) {
    const QString path = TestHarness::WriteFile(QStringLiteral("MA_Mailbox.cfg"), "u|p|s|110|0\r\n");
    ::chmod(QFile::encodeName(path).constData(), 0644);
    ASSERT_TRUE(MailboxFile::SaveMailboxes(path));
    EXPECT_EQ(Mode(path), mode_t(0600));
    EXPECT_EQ(Mode(path + QStringLiteral(".bak")), mode_t(0600));
}

struct FailCase {
    const char* name;
    MailboxCollection accounts;
    bool noCollection;
    rlim_t limit;  // no file grows past it; 0: no limit
    std::function<int(filereplace::Step, const std::string& path)> fault;
    const char* message;  // %1: the file's name
};

TEST_F(AccountFile, FailedSaveKeepsTheOldFile) {
    const QByteArray old = "old|SCRAMBLED77|s|110|0\r\n";
    const QByteArray backup = "older|SCRAMBLED55|s|110|0\r\n";
    const QString path = QDir(TestHarness::Folder()).filePath(QStringLiteral("fail/MA_Mailbox.cfg"));
    const std::string target = QFile::encodeName(path).toStdString();
    const FailCase cases[] = {
        {"too big for the disk",
         {Account("newer", "SCRAMBLED99", "s", 110, 0)},
         false,
         8,
         {},
         "Cannot write the account file %1 (File too large)"},
        {"the rename refused",
         {Account("new", "SCRAMBLED99", "s", 110, 0)},
         false,
         0,
         [target](filereplace::Step step, const std::string& p) {
             return step == filereplace::Step::kRename && p == target ? EIO : 0;
         },
         "Cannot replace the account file %1 (Input/output error)"},
        {"bar in a name", {Account("a|b", "SCRAMBLED99", "s", 110, 0)}, false, 0, {}, "Account 1 cannot be saved"},
        {"line break in a server",
         {Account("a", "SCRAMBLED99", "s\r\n", 110, 0)},
         false,
         0,
         {},
         "Account 1 cannot be saved"},
        {"no collection", {}, true, 0, {}, "Accounts collection has not been initialized"},
    };
    for (const FailCase& c : cases) {
        SCOPED_TRACE(c.name);
        ServiceTest::Console console;
        TestHarness::WriteFile(QStringLiteral("fail/MA_Mailbox.cfg"), old);
        TestHarness::WriteFile(QStringLiteral("fail/MA_Mailbox.cfg.bak"), backup);
        if (c.noCollection)
            Mailboxes.reset();
        else
            Mailboxes = std::make_shared<MailboxCollection>(c.accounts);
        filereplace::InstallFault(c.fault);
        bool saved = false;
        {
            const FileSizeLimit limit(c.limit ? c.limit : RLIM_INFINITY);
            saved = MailboxFile::SaveMailboxes(path);
        }
        filereplace::InstallFault({});
        EXPECT_FALSE(saved);
        EXPECT_EQ(TestHarness::ReadFile(path), old);
        EXPECT_EQ(TestHarness::ReadFile(path + QStringLiteral(".bak")), backup);
        EXPECT_EQ(Reports(console), 1);
        EXPECT_TRUE(console.Has(QString::fromLatin1(c.message).replace(QStringLiteral("%1"), path)))
            << console.Text().toStdString();
        EXPECT_FALSE(console.Text().contains(QStringLiteral("SCRAMBLED")));
        // No temporary file is left behind.
        EXPECT_EQ(Entries(QFileInfo(path).absolutePath()), QStringList({"MA_Mailbox.cfg", "MA_Mailbox.cfg.bak"}));
    }
}

// A save keeps what the name is: a symbolic link stays one and its target
// gets the accounts, a second hard link still shares them.  The file is the
// user's alone whatever it was, and its backup is made once, beside the name.
TEST_F(AccountFile, SaveKeepsWhatTheNameIs) {
    const QByteArray old = "old|p|s|110|0\r\n";
    struct Case {
        const char* name;
        // Makes the account file in the test folder's sub; answers the file
        // that holds the accounts.
        std::function<QString(const QString& sub)> prepare;
        QStringList entries;  // everything in the folder afterwards
        std::function<void(const QString& folder)> identity;
    } cases[] = {
        {"a symbolic link",
         [&](const QString& sub) {
             const QString target = TestHarness::WriteFile(sub + "/sub/accounts.cfg", old);
             ::chmod(QFile::encodeName(target).constData(), 0644);
             const QString link = TestHarness::Folder() + "/" + sub + "/MA_Mailbox.cfg";
             EXPECT_TRUE(QFile::link(QStringLiteral("sub/accounts.cfg"), link));
             return target;
         },
         {"MA_Mailbox.cfg", "MA_Mailbox.cfg.bak", "sub"},
         [](const QString& f) {
             EXPECT_TRUE(QFileInfo(f + "/MA_Mailbox.cfg").isSymLink()) << "the link stays";
             EXPECT_EQ(Entries(f + "/sub"), QStringList{"accounts.cfg"});
         }},
        {"a second hard link",
         [&](const QString& sub) {
             const QString p = TestHarness::WriteFile(sub + "/MA_Mailbox.cfg", old);
             ::chmod(QFile::encodeName(p).constData(), 0644);
             const QString alias = QFileInfo(p).absolutePath() + "/alias.cfg";
             EXPECT_EQ(::link(QFile::encodeName(p).constData(), QFile::encodeName(alias).constData()), 0);
             return p;
         },
         {"MA_Mailbox.cfg", "MA_Mailbox.cfg.bak", "alias.cfg"},
         [](const QString& f) {
             const struct stat file = StatOf(f + "/MA_Mailbox.cfg"), alias = StatOf(f + "/alias.cfg");
             EXPECT_EQ(file.st_ino, alias.st_ino);
             EXPECT_EQ(file.st_nlink, 2u);
         }},
    };
    int n = 0;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const QString sub = QStringLiteral("name%1").arg(++n);
        const QString folder = TestHarness::Folder() + "/" + sub;
        const QString file = c.prepare(sub);
        const QString path = folder + "/MA_Mailbox.cfg";
        *Mailboxes = {Account("first", "p", "s", 110, 0)};
        ASSERT_TRUE(MailboxFile::SaveMailboxes(path));
        *Mailboxes = {Account("second", "p", "s", 110, 0)};
        ASSERT_TRUE(MailboxFile::SaveMailboxes(path));
        EXPECT_EQ(TestHarness::ReadFile(file), QByteArray("second|p|s|110|0\r\n"));
        EXPECT_EQ(Mode(file), mode_t(0600));
        EXPECT_EQ(TestHarness::ReadFile(path + ".bak"), old);
        EXPECT_EQ(Mode(path + ".bak"), mode_t(0600));
        EXPECT_EQ(Entries(folder), c.entries);
        c.identity(folder);
    }
}

// Whatever the former file's bits, the new accounts and the backup are
// never in a file others may read, not even before they take their names.
TEST_F(AccountFile, NeverReadableByOthersWhileWritten) {
    const QString path = TestHarness::WriteFile(QStringLiteral("open/MA_Mailbox.cfg"), "old|p|s|110|0\r\n");
    ::chmod(QFile::encodeName(path).constData(), 0644);
    const QString folder = QFileInfo(path).absolutePath();
    int looked = 0;
    filereplace::InstallFault([&](filereplace::Step, const std::string&) {
        ++looked;
        for (const QString& name : Entries(folder)) {
            if (name != QStringLiteral("MA_Mailbox.cfg")) {
                EXPECT_EQ(Mode(folder + "/" + name) & 077, mode_t(0)) << name.toStdString();
            }
        }
        return 0;
    });
    *Mailboxes = {Account("new", "p", "s", 110, 0)};
    EXPECT_TRUE(MailboxFile::SaveMailboxes(path));
    EXPECT_GT(looked, 0) << "the save goes through the file replacement";
    EXPECT_EQ(Mode(path), mode_t(0600));
}

TEST_F(AccountFile, FolderThatDoesNotExistIsReported) {
    ServiceTest::Console console;
    *Mailboxes = {Account("u", "p", "s", 110, 0)};
    EXPECT_FALSE(
        MailboxFile::SaveMailboxes(QDir(TestHarness::Folder()).filePath(QStringLiteral("none/MA_Mailbox.cfg"))));
    EXPECT_EQ(Reports(console), 1);
}

}  // namespace

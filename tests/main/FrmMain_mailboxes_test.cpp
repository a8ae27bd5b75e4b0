// The main window's accounts: read from the user's data folder at load into
// Mailboxes and the account combo, let go at unload.
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStringList>

#include "FrmMain.h"
#include "MailboxFile.h"
#include "MainFixture.h"
#include "RichTextBox.h"
#include "TestHarness.h"

namespace {

QStringList ComboItems(const QComboBox* combo) {
    QStringList items;
    for (int i = 0; i < combo->count(); ++i) items << combo->itemText(i);
    return items;
}

void WriteAccountFile(const QByteArray& bytes) {
    QFile f(MailboxFile::Path());
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(bytes);
}

struct LoadCase {
    const char* name;
    QByteArray file;  // null: none
    QStringList combo;
    int current;
    const char* console;  // "" when nothing is reported
};

TEST(FrmMainMailboxes, LoadFillsTheAccountCombo) {
    const LoadCase cases[] = {
        {"no file", QByteArray(), {}, -1, ""},
        {"empty file", QByteArray(""), {}, -1, ""},
        {"two accounts",
         "ann|AA7531922468|pop.x.org|110|30\r\nbob|AA7531922468|pop.y.org|110|0\r\n",
         {"ann", "bob"},
         0,
         ""},
        {"a record out of range is skipped, the rest shown",
         "ann|p|s|110|30\r\nbad|p|s|1e20|0\r\ncid|p|s|995|0\r\n",
         {"ann", "cid"},
         0,
         "Line 2 of the account file"},
    };
    for (const LoadCase& c : cases) {
        SCOPED_TRACE(c.name);
        MainFixture::WriteReferenceFiles();
        QFile::remove(MailboxFile::Path());
        if (!c.file.isNull()) WriteAccountFile(c.file);
        FrmMain w;
        w.Form_Load();
        ASSERT_NE(Mailboxes, nullptr);
        EXPECT_EQ(static_cast<qsizetype>(Mailboxes->size()), c.combo.size());
        EXPECT_EQ(ComboItems(w.CboUserName), c.combo);
        EXPECT_EQ(w.CboUserName->currentIndex(), c.current);
        if (*c.console) {
            EXPECT_TRUE(w.TxtErrors->Text().contains(QLatin1String(c.console))) << w.TxtErrors->Text().toStdString();
        } else {
            EXPECT_TRUE(w.TxtErrors->Text().isEmpty()) << w.TxtErrors->Text().toStdString();
        }
        w.close();
    }
}

TEST(FrmMainMailboxes, AnAccountFileInTheProgramFolderIsNotRead) {
    MainFixture::WriteReferenceFiles();
    TestHarness::WriteFile("MA_Mailbox.cfg", "ann|p|s|110|30\r\n");
    ASSERT_NE(QFileInfo(MailboxFile::Path()).absolutePath(), QFileInfo(TestHarness::Folder()).absoluteFilePath());
    FrmMain w;
    w.Form_Load();
    EXPECT_EQ(w.CboUserName->count(), 0);
    EXPECT_TRUE(Mailboxes->empty());
}

TEST(FrmMainMailboxes, NoFileLeavesTheComboAsItWas) {
    MainFixture::WriteReferenceFiles();
    WriteAccountFile("ann|p|s|110|30\r\n");
    FrmMain w;
    w.Form_Load();
    w.LoadMailboxes(QDir(TestHarness::Folder()).filePath(QStringLiteral("none.cfg")));
    EXPECT_TRUE(Mailboxes->empty());
    EXPECT_EQ(ComboItems(w.CboUserName), QStringList{"ann"});
}

TEST(FrmMainMailboxes, UnloadLetsTheAccountsGo) {
    MainFixture::WriteReferenceFiles();
    WriteAccountFile("ann|p|s|110|30\r\n");
    FrmMain w;
    w.Form_Load();
    const std::weak_ptr<MailboxCollection> accounts = Mailboxes;
    EXPECT_TRUE(w.close());
    EXPECT_EQ(Mailboxes, nullptr);
    EXPECT_TRUE(accounts.expired());
}

}  // namespace

// The mail road through the real program, offscreen, against a private
// dovecot: accounts in the account file, the program's load, retrieval in
// each mode, the views by click and arrow keys, the saves with their exact
// bytes, ticks, the address file loaded by the list side, and the deletion
// of exactly the ticked messages on the server.  Skipped, saying why, where
// dovecot cannot run.
#include <QDir>
#include <QGroupBox>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>

#include "DovecotServer.h"
#include "ListIcons.h"
#include "MailPaneFixture.h"
#include "OrmidYRB100.h"
#include "modDialog.h"

namespace {

using MailPaneFixture::Message;

constexpr int N = -1;

const Message kAnn{.subject = "hello", .from = "Ann Lee <ann@a.example>", .body = "Dear list,\r\nsecond line\r\n"};
const Message kBob{.subject = "Invoice",
                   .from = "bob@b.example",
                   .date = "Tue, 2 Jan 2024 09:30:00 +0100",
                   .priority = "1 (Highest)",
                   .body = "see the file\r\n",
                   .attachment = true};
// Over 1 KB, so its size shows in kilobytes.
const Message kCid{.subject = "long one",
                   .from = "Cid <cid@c.example>",
                   .body = "first\r\n" + QByteArray(1200, 'x') + "\r\nlast\r\n"};

class MailRoad : public MailPaneTest {
protected:
    DovecotServer server;
    void SetUp() override {
        MailPaneTest::SetUp();
        server.AddUser("user", "secret");
        for (const Message& m : {kAnn, kBob, kCid}) server.AddMessage("user", m.Bytes());
        const QString why = server.Start();
        if (!why.isEmpty()) GTEST_SKIP() << why.toStdString();
    }
    QList<int> Images(int32_t column) const {
        QList<int> images;
        for (int32_t r = 0; r < w->VL_mail->GetCnt(); ++r) {
            int16_t image = 0;
            w->VL_mail_ItemImageCallback(r, column, image);
            images << image;
        }
        return images;
    }
    QPoint CellCentre(int32_t row, int32_t column) const {
        OwnerDataListView* list = w->VL_mail->ListWindow();
        return list->visualRect(list->model()->index(row, column)).center();
    }
    void Choose(const QString& path) {
        modDialog::InstallChooser([path](const modDialog::FileDialogRequest&) { return QStringList{path}; });
    }
};

TEST_F(MailRoad, FromAccountsToDeletion) {
    Load({{.user = QStringLiteral("user"), .port = server.Port(), .timeOut = 30},
          {.user = QStringLiteral("other"), .server = QStringLiteral("pop.other.example")}});
    // The load chose the first account.
    EXPECT_EQ(w->CboUserName->currentIndex(), 0);
    EXPECT_EQ(w->FraMail->title(), " Incoming message(s) for 'user' on '127.0.0.1' ");
    EXPECT_EQ(w->FraMailbox->title(), " Account 'user' on '127.0.0.1' ");
    ASSERT_TRUE(w->ComMailGet->isEnabled());

    struct Mode {
        QRadioButton* FrmMain::*option;
        const char* lines;
        QList<int> attachments;
        const char* firstBody;
    } const modes[] = {
        {&FrmMain::OptEmailHdr, "25", {N, N, N}, ""},
        {&FrmMain::OptEmailCon, "1", {N, N, N}, "Dear list,"},
        {&FrmMain::OptEmailFul, "25", {N, ListIcons::kAttachment, N}, "Dear list,\r\nsecond line"},
    };
    for (const Mode& m : modes) {
        SCOPED_TRACE(m.firstBody);
        (w.get()->*m.option)->click();
        w->TxtLines->setText(QString::fromLatin1(m.lines));
        TestHarness::AnswerMessages({MsgBoxButton::Ok});
        w->ComMailGet->click();
        const MsgBoxRequest& box = TestHarness::AskedMessages().last();
        EXPECT_EQ(box.message, "3 messages have been downloaded from 127.0.0.1 for user") << Console().toStdString();
        EXPECT_EQ(box.Title, "Downloaded Messages");
        EXPECT_EQ(box.IconNb, MsgBoxIcon::Logo);
        EXPECT_EQ(Column(3), QStringList({"Ann Lee", "bob@b.example", "Cid"}));
        EXPECT_EQ(Column(4), QStringList({"ann@a.example", "bob@b.example", "cid@c.example"}));
        EXPECT_EQ(Column(5), QStringList({"hello", "Invoice", "long one"}));
        EXPECT_EQ(Column(6), QStringList({"Mon, 1 Jan 2024 10:00:00 +0000", "Tue, 2 Jan 2024 09:30:00 +0100",
                                          "Mon, 1 Jan 2024 10:00:00 +0000"}));
        EXPECT_EQ(Column(7), QStringList({QString::number(kAnn.Bytes().size()) + " B",
                                          QString::number(kBob.Bytes().size()) + " B", "1 KB"}));
        EXPECT_EQ(Images(1), m.attachments);
        EXPECT_EQ(Images(2), QList<int>({N, ListIcons::kPriority, N}));
        EXPECT_EQ(Images(0), QList<int>({ListIcons::kUnchecked, ListIcons::kUnchecked, ListIcons::kUnchecked}));
        EXPECT_EQ(w->TxtHeader->Text(), "");
        // A click on the first row's subject shows it.
        QTest::mouseClick(w->VL_mail->ListWindow()->viewport(), Qt::LeftButton, {}, CellCentre(0, 5));
        EXPECT_EQ(w->TxtContent->Text(), m.firstBody);
    }

    // The arrow keys move through the list and show each mail.
    OwnerDataListView* list = w->VL_mail->ListWindow();
    QTest::keyClick(list, Qt::Key_Down);
    EXPECT_TRUE(w->TxtHeader->Text().startsWith("From: bob@b.example\r\nSubject: Invoice\r\n"));
    EXPECT_TRUE(w->TxtContent->Text().contains("Content-Disposition: attachment"));
    QTest::keyClick(list, Qt::Key_Up);
    const QByteArray annHeader = kAnn.Bytes().left(kAnn.Bytes().indexOf("\r\n\r\n"));
    EXPECT_EQ(w->TxtHeader->Text().toLatin1(), annHeader);

    // "Save Header" and "Save Content": the views' bytes exactly.
    const QString headerFile = QDir(TestHarness::Folder()).filePath(QStringLiteral("header.txt"));
    const QString contentFile = QDir(TestHarness::Folder()).filePath(QStringLiteral("content.txt"));
    Choose(headerFile);
    TestHarness::AnswerMessages({MsgBoxButton::Ok});
    w->ComSaveHeader->click();
    EXPECT_EQ(TestHarness::ReadFile(headerFile), annHeader);
    Choose(contentFile);
    TestHarness::AnswerMessages({MsgBoxButton::Ok});
    w->ComSaveContent->click();
    EXPECT_EQ(TestHarness::ReadFile(contentFile), "Dear list,\r\nsecond line");

    // Ticks by clicks on the tick images of the first and last rows.
    for (int32_t row : {0, 2}) {
        const QRect cell = list->visualRect(list->model()->index(row, 0));
        QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, QPoint(cell.left() + 6, cell.center().y()));
    }
    EXPECT_EQ(Ticks(), QList<bool>({true, false, true}));
    EXPECT_EQ(w->LabMailSel->text(), "2 selected");
    ASSERT_TRUE(w->ComMailSave->isEnabled());

    // "Save selected email addresses", then the list side loads the file.
    const QString addresses = QDir(TestHarness::Folder()).filePath(QStringLiteral("senders.mal"));
    Choose(addresses);
    TestHarness::AnswerMessages({MsgBoxButton::Ok});
    w->ComMailSave->click();
    EXPECT_EQ(TestHarness::ReadFile(addresses), "ann@a.example\r\ncid@c.example\r\n");
    EXPECT_EQ(YRB13(1, QFile::encodeName(addresses).constData(), 1, "\t", "\r\n"), 2);
    YRB20(1);

    // "Delete selection" answered Yes: the server lost exactly the two ticked.
    TestHarness::AnswerMessages({MsgBoxButton::Yes, MsgBoxButton::Ok});
    w->ComMailDel->click();
    const MsgBoxRequest& box = TestHarness::AskedMessages().last();
    EXPECT_EQ(box.message, "2 messages have been deleted from 127.0.0.1 for user") << Console().toStdString();
    EXPECT_EQ(box.Title, "Deleted Messages");
    EXPECT_EQ(Column(5), QStringList{"Invoice"});
    EXPECT_EQ(server.MessageCount("user"), 1);
    TestHarness::AnswerMessages({MsgBoxButton::Ok});
    w->ComMailGet->click();
    EXPECT_EQ(TestHarness::AskedMessages().last().message, "1 message has been downloaded from 127.0.0.1 for user");
    EXPECT_EQ(Column(5), QStringList{"Invoice"});
}

}  // namespace

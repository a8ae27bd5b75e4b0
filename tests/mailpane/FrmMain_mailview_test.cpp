// The message view (the boxes, their buttons, the hits selected) and the
// three saves of the mail pane, with the exact bytes they write.
#include <QDir>
#include <QFileInfo>
#include <QPushButton>
#include <QTest>
#include <QTextCursor>

#include "FileSizeLimit.h"
#include "MailPaneFixture.h"
#include "OrmidYRB100.h"
#include "OwnerEnabler.h"
#include "Screen.h"
#include "clsMatch.h"
#include "modDialog.h"
#include "modRegistry.h"

namespace {

using MailPaneFixture::Message;
using MailPaneFixture::Parsed;

std::shared_ptr<clsMatch> Hit(int16_t loc, int32_t idx, int32_t siz) {
    auto m = std::make_shared<clsMatch>();
    m->Loc = loc;
    m->Idx = idx;
    m->Siz = siz;
    return m;
}

void SetMatches(clsMail& mail, const QList<std::shared_ptr<clsMatch>>& hits) {
    mail.Matches = std::make_shared<std::vector<std::shared_ptr<clsMatch>>>(hits.begin(), hits.end());
}

QString Selected(const RichTextBox* box) { return box->textCursor().selectedText(); }

// The file dialog answers this path and records what it was asked.
struct Chooser {
    QList<modDialog::FileDialogRequest> asked;
    explicit Chooser(const QString& answer) {
        modDialog::InstallChooser([this, answer](const modDialog::FileDialogRequest& r) {
            asked << r;
            return answer.isEmpty() ? QStringList() : QStringList{answer};
        });
    }
};

class MailView : public MailPaneTest {
protected:
    void SetUp() override {
        MailPaneTest::SetUp();
        Load({{QStringLiteral("ann")}});
    }
    QList<bool> ViewButtons() const {
        return {w->ComSaveHeader->isEnabled(), w->ComSaveContent->isEnabled(), w->ComHighLight->isEnabled()};
    }
};

// Which buttons a shown mail enables.
TEST_F(MailView, ButtonsFollowTheShownMail) {
    auto withBody = Parsed(Message{});
    auto headersOnly = Parsed(Message{.body = ""});
    auto hit = Parsed(Message{});
    SetMatches(*hit, {Hit(clsMatch::kBody, 1, 4)});
    auto subjectHit = Parsed(Message{.subject = "news"});
    SetMatches(*subjectHit, {Hit(clsMatch::kSubject, 1, 4)});
    auto emptyMatches = Parsed(Message{});
    SetMatches(*emptyMatches, {});
    Show({withBody, headersOnly, hit, subjectHit, emptyMatches});
    struct Case {
        int32_t index;
        QList<bool> buttons;  // Save Header, Save Content, Highlight
        const char* selected;  // in the body box
    } const cases[] = {
        {1, {true, true, false}, ""},  {2, {true, false, false}, ""}, {3, {true, true, true}, "line"},
        {4, {true, true, true}, ""},   {5, {true, true, false}, ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.index);
        w->DisplayDetails(c.index);
        EXPECT_EQ(ViewButtons(), c.buttons);
        EXPECT_EQ(Selected(w->TxtContent), c.selected);
        EXPECT_EQ(Screen::Instance()->MousePointer(), Screen::kDefaultPointer);
        EXPECT_TRUE(OwnerEnabler::IsEnabled(w.get()));
    }
    // The body as the parser keeps it: the line end before the end marker is the marker's.
    EXPECT_EQ(w->TxtContent->Text(), "line one\r\nline two");
}

// Out of range, or no mails at all: the boxes stay, the window is usable.
TEST_F(MailView, IndexOutsideTheMailsShowsNothing) {
    Show({Parsed(Message{.subject = "first"}), Parsed(Message{})});
    w->DisplayDetails(1);
    const QString header = w->TxtHeader->Text();
    for (int32_t index : {0, -1, 3}) {
        OwnerEnabler::SetEnabled(w.get(), false);
        Screen::Instance()->SetMousePointer(Screen::kHourglassPointer);
        w->DisplayDetails(index);
        EXPECT_EQ(w->TxtHeader->Text(), header);
        EXPECT_EQ(ViewButtons(), QList<bool>({true, true, false}));
        EXPECT_EQ(Screen::Instance()->MousePointer(), Screen::kDefaultPointer);
        EXPECT_TRUE(OwnerEnabler::IsEnabled(w.get()));
    }
    w->Session1->Mails.reset();
    w->DisplayDetails(1);
    EXPECT_EQ(w->TxtHeader->Text(), header);
}

// Hit positions count the mail's CR LF as two characters, whatever the box
// shows; each box keeps one selection, the later record's.
TEST_F(MailView, HighlightPositions) {
    Message m{.subject = "hit", .body = "first\r\nsecond\r\nthird keyword here\r\n"};
    auto mail = Parsed(m);
    const QString& headers = mail->mHeaders;
    const QString& body = mail->mMsgBody;
    struct Case {
        const char* name;
        QList<std::shared_ptr<clsMatch>> hits;
        const char* header;
        const char* content;
    } const cases[] = {
        {"a body hit on the third line", {Hit(clsMatch::kBody, int32_t(body.indexOf("keyword")) + 1, 7)}, "", "keyword"},
        {"a header hit after two lines", {Hit(clsMatch::kHeader, int32_t(headers.indexOf("a.example>\r\nDate")) + 1, 9)},
         "a.example", ""},
        {"both boxes", {Hit(clsMatch::kHeader, 1, 4), Hit(clsMatch::kBody, 1, 5)}, "From", "first"},
        {"the later record wins", {Hit(clsMatch::kBody, 1, 5), Hit(clsMatch::kBody, int32_t(body.indexOf("second")) + 1, 6)},
         "", "second"},
        {"a hit over a line break", {Hit(clsMatch::kBody, 4, 6)}, "", "st\u2029se"},
        {"a hit beyond the text is cut at its end", {Hit(clsMatch::kBody, int32_t(body.size()) - 2, 10)}, "", "ere"},
        {"the subject shows nothing", {Hit(clsMatch::kSubject, 1, 3)}, "", ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        SetMatches(*mail, c.hits);
        Show({mail});
        w->DisplayDetails(1);
        EXPECT_EQ(Selected(w->TxtHeader), QString::fromUtf8(c.header));
        EXPECT_EQ(Selected(w->TxtContent), QString::fromUtf8(c.content));
    }
}

// "Highlight" selects the hits of the mail at the list's mark again.
// The boxes show each line of the mail as UTF-8 where it is valid UTF-8,
// else byte for byte as Latin-1, and keep the bytes; a hit found on the
// bytes selects the same characters in what is shown, a character it cuts
// in two included.
TEST_F(MailView, LinesShownAsUtf8WhereValidAndHitsOnTheSameCharacters) {
    struct Case {
        const char* name;
        QByteArray body;
        QByteArray hit;  // bytes of the body the hit covers
        QString shown;
        QString selected;
    } const cases[] = {
        {"ascii", "plain text\r\n", "text", QStringLiteral("plain text"), QStringLiteral("text")},
        {"latin-1", "Chlo\xe9 Dubois\r\n", "Dubois", QStringLiteral("Chlo\u00e9 Dubois"), QStringLiteral("Dubois")},
        {"utf-8", "Chlo\xc3\xa9 Dubois\r\n", "Dubois", QStringLiteral("Chlo\u00e9 Dubois"), QStringLiteral("Dubois")},
        {"utf-8 hit on a character", "Krak\xc3\xb3w\r\n", "\xc3\xb3w", QStringLiteral("Krak\u00f3w"),
         QStringLiteral("\u00f3w")},
        {"utf-8 hit inside a character", "Chlo\xc3\xa9\r\n", "\xa9", QStringLiteral("Chlo\u00e9"), QStringLiteral("\u00e9")},
        {"beyond the basic plane", "a\xf0\x9f\x98\x80 b\r\n", "b", QStringLiteral("a\U0001F600 b"), QStringLiteral("b")},
        {"each line decides", "Krak\xc3\xb3w\r\nZo\xeb\r\n\xc5\x81\xc3\xb3" "d\xc5\xba\r\n", "Zo\xeb\r\n\xc5\x81",
         QStringLiteral("Krak\u00f3w\nZo\u00eb\n\u0141\u00f3d\u017a"), QStringLiteral("Zo\u00eb\u2029\u0141")},
        {"invalid utf-8", "\xc3\x28 x\r\n", "x", QStringLiteral("\u00c3( x"), QStringLiteral("x")},
        {"a byte-order mark begins the text", "\xef\xbb\xbfplain text\r\nnext\r\n", "text\r\nnext",
         QStringLiteral("plain text\nnext"), QStringLiteral("text\u2029next")},
        {"a byte-order mark begins a line", "first\r\n\xef\xbb\xbf\xc5\x82\xc3\xb3" "d\xc5\xba line\r\n", "line",
         QStringLiteral("first\n\u0142\u00f3d\u017a line"), QStringLiteral("line")},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        auto mail = Parsed(Message{.body = c.body});
        const qsizetype at = mail->mMsgBody.indexOf(QString::fromLatin1(c.hit));
        ASSERT_GE(at, 0);
        SetMatches(*mail, {Hit(clsMatch::kBody, int32_t(at) + 1, int32_t(c.hit.size()))});
        Show({mail});
        w->DisplayDetails(1);
        EXPECT_EQ(w->TxtContent->toPlainText(), c.shown);
        EXPECT_EQ(Selected(w->TxtContent), c.selected);
        EXPECT_EQ(w->TxtContent->Text(), mail->mMsgBody);
    }
}

TEST_F(MailView, HighlightButton) {
    auto mail = Parsed(Message{});
    SetMatches(*mail, {Hit(clsMatch::kBody, 6, 3)});
    Show({Parsed(Message{.subject = "other"}), mail});
    // No mark: nothing shown, everything shut down.
    w->ComHighLight_Click();
    EXPECT_EQ(w->TxtContent->Text(), "");
    EXPECT_TRUE(OwnerEnabler::IsEnabled(w.get()));
    // A click on the second row's subject sets the mark and shows the mail.
    OwnerDataListView* list = w->VL_mail->ListWindow();
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, list->visualRect(list->model()->index(1, 5)).center());
    EXPECT_EQ(Selected(w->TxtContent), "one");
    w->TxtContent->SetSelStart(0);
    EXPECT_EQ(Selected(w->TxtContent), "");
    w->ComHighLight->click();
    EXPECT_EQ(Selected(w->TxtContent), "one");
    EXPECT_TRUE(OwnerEnabler::IsEnabled(w.get()));
    EXPECT_EQ(Screen::Instance()->MousePointer(), Screen::kDefaultPointer);
}

// ---- saves ---------------------------------------------------------------------

class MailSave : public MailView {
protected:
    QString Path(const QString& name) const { return QDir(TestHarness::Folder()).filePath(name); }
    // Ticks the rows that show these mails (1-based).
    void Tick(const QList<int32_t>& mails) {
        for (int32_t m : mails) w->VL_mail->SetCheckState(w->VL_mail->RevIdx(m), true);
        w->VL_mail->SetAll();
    }
};

TEST_F(MailSave, AddressesOfTheTickedRowsInDisplayOrder) {
    Show({Parsed(Message{.subject = "1", .from = "a@x.example"}), Parsed(Message{.subject = "2", .from = "B <b@x.example>"}),
          Parsed(Message{.subject = "3", .from = "<>"}), Parsed(Message{.subject = "4", .from = "a@x.example"}),
          Parsed(Message{.subject = "5", .from = "c@x.example"})});
    struct Case {
        const char* name;
        QList<int32_t> ticks;  // mails
        int32_t sortColumn;  // 0: none
        QByteArray bytes;
    } const cases[] = {
        {"duplicates stay", {1, 2, 4}, 0, "a@x.example\r\nb@x.example\r\na@x.example\r\n"},
        {"an empty sender gives an empty line", {3, 5}, 0, "\r\nc@x.example\r\n"},
        {"in the sorted order", {1, 2, 5}, 4, "a@x.example\r\nb@x.example\r\nc@x.example\r\n"},
        {"no tick: an empty file", {}, 0, ""},
    };
    modRegistry::SetSetting(QStringLiteral("WrkDir"), TestHarness::Folder() + QStringLiteral("/"));
    int n = 0;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Show(QList<std::shared_ptr<clsMail>>(w->Session1->Mails->begin(), w->Session1->Mails->end()));
        if (c.sortColumn != 0) {
            w->VL_mail_ColumnClick(5);  // another column first: descending subjects
            w->VL_mail_ColumnClick(c.sortColumn);
        }
        Tick(c.ticks);
        const QString path = Path(QStringLiteral("addresses%1.mal").arg(n++));
        Chooser chooser(path);
        TestHarness::AnswerMessages({MsgBoxButton::Ok});
        w->ComMailSave_Click();
        EXPECT_EQ(TestHarness::ReadFile(path), c.bytes);
        ASSERT_EQ(chooser.asked.size(), 1);
        const modDialog::FileDialogRequest& r = chooser.asked.first();
        EXPECT_EQ(r.Title, "Save Mail Addresses As");
        EXPECT_EQ(r.InitDir, TestHarness::Folder());
        EXPECT_EQ(r.DefExt, "mal");
        EXPECT_EQ(r.Filter, "All Mail Address List Files (*.mal, *.out)|*.mal;*.out|Mail Address List files (*.mal)|"
                            "*.mal|Mail Address List files (*.out)|*.out|Text files (*.txt)|*.txt|All files (*.*)|*.*|");
        EXPECT_EQ(r.OkCaption, "Save");
        const MsgBoxRequest& box = TestHarness::AskedMessages().last();
        EXPECT_EQ(box.message, "The selected email addresses have been successfully saved to file");
        EXPECT_EQ(box.Title, "Addresses Saved Successfully");
        EXPECT_EQ(box.IconNb, MsgBoxIcon::Logo);
        EXPECT_TRUE(box.ShowOk && !box.ShowYes);
        EXPECT_TRUE(OwnerEnabler::IsEnabled(w.get()));
        w->VL_mail->DeselectAll();
    }
    // The address save reads "WrkDir" but leaves it.
    EXPECT_EQ(modRegistry::GetSetting(QStringLiteral("WrkDir"), QString()), TestHarness::Folder() + "/");
    // The list side loads the file with the right count.
    const QByteArray path = QFile::encodeName(Path(QStringLiteral("addresses0.mal")));
    EXPECT_EQ(YRB13(1, path.constData(), 1, "\t", "\r\n"), 3);
    YRB20(1);
}

// An existing target: only a pressed Yes replaces it (not appends).
TEST_F(MailSave, OverwriteQuestion) {
    Show({Parsed(Message{.from = "a@x.example"})});
    Tick({1});
    w->DisplayDetails(1);
    struct Case {
        int answer;
        bool written;
    } const cases[] = {{MsgBoxButton::No, false}, {0, false}, {-1, false}, {MsgBoxButton::Yes, true}};
    for (void (FrmMain::*save)() : {&FrmMain::ComMailSave_Click, &FrmMain::ComSaveHeader_Click}) {
        for (const Case& c : cases) {
            SCOPED_TRACE(c.answer);
            const QString path = TestHarness::WriteFile(QStringLiteral("old.txt"), "old content\r\n");
            Chooser chooser(path);
            if (c.written)
                TestHarness::AnswerMessages({c.answer, MsgBoxButton::Ok});
            else
                TestHarness::AnswerMessages({c.answer});
            ((*w).*save)();
            const QByteArray now = TestHarness::ReadFile(path);
            EXPECT_EQ(now == "old content\r\n", !c.written);
            EXPECT_FALSE(now.contains("old content") && c.written);
            const MsgBoxRequest& q = TestHarness::AskedMessages()[TestHarness::AskedMessages().size() - (c.written ? 2 : 1)];
            EXPECT_EQ(q.message, "The selected file already exists !\r\nAre you sure you want to overwrite it ? ");
            EXPECT_EQ(q.Title, "File Already Exists");
            EXPECT_EQ(q.IconNb, MsgBoxIcon::Warning);
            EXPECT_EQ(q.Focus, MsgBoxButton::No);
        }
    }
}

// "Save Header" and "Save Content" write the view's text byte for byte, CR
// LF kept, nothing added; "WrkDir" follows the file, even after a No.
TEST_F(MailSave, HeaderAndContentBytes) {
    Message m{.subject = "caf\xe9", .body = "line one\r\n\r\nlast line\r\n"};
    Show({Parsed(m)});
    w->DisplayDetails(1);
    const QString sub = TestHarness::Folder() + QStringLiteral("/sub");
    QDir().mkpath(sub);
    struct Case {
        void (FrmMain::*save)();
        QString path;
        QByteArray bytes;
        const char* success;
    } const cases[] = {
        {&FrmMain::ComSaveHeader_Click, Path("header.txt"),
         "From: Ann <ann@a.example>\r\nSubject: caf\xe9\r\nMessage-ID: <caf\xe9@a.example>\r\n"
         "Date: Mon, 1 Jan 2024 10:00:00 +0000",
         "Mail header has been successfully saved"},
        {&FrmMain::ComSaveContent_Click, sub + "/content.txt", "line one\r\n\r\nlast line",
         "Mail content has been successfully saved"},
    };
    modRegistry::SetSetting(QStringLiteral("WrkDir"), QStringLiteral("/"));
    for (const Case& c : cases) {
        Chooser chooser(c.path);
        TestHarness::AnswerMessages({MsgBoxButton::Ok});
        ((*w).*c.save)();
        EXPECT_EQ(TestHarness::ReadFile(c.path), c.bytes);
        ASSERT_EQ(chooser.asked.size(), 1);
        EXPECT_EQ(chooser.asked[0].Title, "Select a target file name");
        EXPECT_EQ(chooser.asked[0].Filter, "Text files (*.txt)|*.txt|All files (*.*)|*.*|");
        EXPECT_EQ(chooser.asked[0].DefExt, "txt");
        const MsgBoxRequest& box = TestHarness::AskedMessages().last();
        EXPECT_EQ(box.message, c.success);
        EXPECT_EQ(box.Title, "Save Successful");
        EXPECT_EQ(box.IconNb, MsgBoxIcon::Logo);
        EXPECT_EQ(QDir::cleanPath(modRegistry::GetSetting(QStringLiteral("WrkDir"), QString())),
                  QFileInfo(c.path).absolutePath());
    }
    // A No to the question keeps the file but the new start folder.
    Chooser again(sub + "/content.txt");
    TestHarness::AnswerMessages({MsgBoxButton::No});
    modRegistry::SetSetting(QStringLiteral("WrkDir"), TestHarness::Folder());
    w->ComSaveContent_Click();
    EXPECT_EQ(QDir::cleanPath(modRegistry::GetSetting(QStringLiteral("WrkDir"), QString())), sub);
    Chooser next{QString()};
    w->ComSaveHeader_Click();
    ASSERT_EQ(next.asked.size(), 1);
    EXPECT_EQ(next.asked[0].InitDir, sub);
}

// Cancel writes nothing and says nothing; a file that cannot be written is
// reported and no success is shown.
TEST_F(MailSave, CancelAndFailures) {
    Show({Parsed(Message{})});
    Tick({1});
    w->DisplayDetails(1);
    {
        Chooser cancel{QString()};
        w->ComMailSave_Click();
        w->ComSaveHeader_Click();
        EXPECT_EQ(cancel.asked.size(), 2);
    }
    const QString inMissingFolder = Path(QStringLiteral("missing/x.txt"));
    {
        Chooser chooser(inMissingFolder);
        w->ComMailSave_Click();
        w->ComSaveContent_Click();
    }
    EXPECT_TRUE(TestHarness::AskedMessages().isEmpty());
    EXPECT_FALSE(QFileInfo::exists(inMissingFolder));
    EXPECT_TRUE(Console().contains("ComMailSave_Click")) << Console().toStdString();
    EXPECT_TRUE(Console().contains("Error saving text Box content to File")) << Console().toStdString();
    EXPECT_TRUE(OwnerEnabler::IsEnabled(w.get()));
}

// A disk that cannot take the addresses: the former file byte for byte, or
// none, nothing beside it, no success message, the cause in the console.
TEST_F(MailSave, AddressesThatDoNotFitLeaveNothingCut) {
    Show({Parsed(Message{.from = "a@x.example"}), Parsed(Message{.from = "b@x.example"})});
    Tick({1, 2});
    struct Case {
        const char* what;
        QByteArray former;  // null: no file before
    } const cases[] = {{"no former file", QByteArray()}, {"a former file", "old content\r\n"}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const QString folder = TestHarness::Folder() + "/full";
        QDir(folder).removeRecursively();
        QDir().mkpath(folder);
        const QString path = folder + "/addresses.mal";
        if (!c.former.isNull()) TestHarness::WriteFile("full/addresses.mal", c.former);
        Chooser chooser(path);
        TestHarness::AnswerMessages(c.former.isNull() ? QList<int>{} : QList<int>{MsgBoxButton::Yes});
        const auto asked = TestHarness::AskedMessages().size();
        {
            const FileSizeLimit full(16);  // the two lines are 26 bytes
            w->ComMailSave_Click();
        }
        EXPECT_EQ(TestHarness::AskedMessages().size(), asked + (c.former.isNull() ? 0 : 1)) << "no success message";
        EXPECT_EQ(QDir(folder).entryList(QDir::Files | QDir::Hidden),
                  c.former.isNull() ? QStringList() : QStringList{"addresses.mal"});
        if (!c.former.isNull()) {
            EXPECT_EQ(TestHarness::ReadFile(path), c.former);
        }
        EXPECT_TRUE(Console().contains("Could not write to file : " + path + " (File too large)"))
            << Console().toStdString();
        EXPECT_TRUE(OwnerEnabler::IsEnabled(w.get()));
    }
}

}  // namespace

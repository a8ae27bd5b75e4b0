// The criteria sets in the main window: read at load, listed in CboRules,
// edited through "Manage Criteria Set(s)", and "Select based on criteria"
// over the mail list, also end to end against the private dovecot.
#include <QComboBox>
#include <QDialog>
#include <QDir>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>
#include <QTimer>

#include "DovecotServer.h"
#include "FrmCriteria.h"
#include "FrmName.h"
#include "ListDialogSeam.h"
#include "MailPaneFixture.h"
#include "OwnerEnabler.h"
#include "Rules.h"
#include "RulesFile.h"
#include "Screen.h"
#include "clsMatch.h"
#include "clsRule.h"
#include "modDialog.h"

namespace {

using MailPaneFixture::Message;
using MailPaneFixture::Parsed;

constexpr int kYes = MsgBoxButton::Yes;
constexpr int kOk = MsgBoxButton::Ok;

QStringList Items(const QComboBox* combo) {
    QStringList items;
    for (int i = 0; i < combo->count(); ++i) items << combo->itemText(i);
    return items;
}

QString Selected(const RichTextBox* box) { return box->textCursor().selectedText(); }

// The texts status panel 1 shows while a command pumps messages, each once.
class PanelRecorder {
public:
    explicit PanelRecorder(StatusPanel* panel) {
        QObject::connect(&m_timer, &QTimer::timeout, [this, panel] {
            if (texts.isEmpty() || texts.last() != panel->Text()) texts << panel->Text();
        });
        m_timer.start(0);
    }
    QStringList texts;

private:
    QTimer m_timer;
};

class Criteria : public MailPaneTest {
protected:
    void TearDown() override {
        ListDialogSeam::Install(nullptr);
        MailPaneTest::TearDown();
    }
    void LoadWith(const QByteArray& rules) {
        TestHarness::WriteFile("MA_Rules.cfg", rules);
        Load({});
    }
};

const QByteArray kTwoSets =
    "Other|AND|AND|0;zzz|1|1|1|1|0|0\r\n"
    "Money|AND|OR|0;invoice|1|0|1|1|1|0\r\n";

struct StartCase {
    const char* what;
    QByteArray bytes;  // null: no file
    QStringList items;
    int chosen;
    bool reported;
};

TEST_F(Criteria, SetsAtStart) {
    const StartCase cases[] = {
        {"no file", QByteArray(), {}, -1, false},
        {"empty file", QByteArray(""), {}, -1, true},
        {"two sets", kTwoSets, {"Other", "Money"}, 0, false},
    };
    for (const StartCase& c : cases) {
        SCOPED_TRACE(c.what);
        QFile::remove(RulesFile::Path());
        if (!c.bytes.isNull()) TestHarness::WriteFile("MA_Rules.cfg", c.bytes);
        Load({});
        EXPECT_EQ(Items(w->CboRules), c.items);
        EXPECT_EQ(w->CboRules->currentIndex(), c.chosen);
        for (int i = 0; i < w->CboRules->count(); ++i) EXPECT_EQ(w->CboRules->itemData(i).toInt(), i + 1);
        EXPECT_EQ(Console().contains("the file is empty"), c.reported) << Console().toStdString();
        w.reset();
        EXPECT_EQ(Rules, nullptr) << "released at unload";
    }
}

// The editor opens on the chosen set; afterwards the combo is refilled
// and a selection restored by position.
TEST_F(Criteria, ManageCriteriaSets) {
    Load({});
    ASSERT_EQ(w->CboRules->currentIndex(), -1);
    // No set: two created in the editor, saved; the first is then chosen.
    ListDialogSeam::Install([this](QDialog* d) {
        auto* editor = qobject_cast<FrmCriteria*>(d);
        ASSERT_NE(editor, nullptr);
        EXPECT_FALSE(OwnerEnabler::IsEnabled(w.get()));
        EXPECT_EQ(editor->CboRules->currentIndex(), -1);
        for (const char* name : {"Alpha", "Beta"}) {
            ListDialogSeam::Install([name](QDialog* p) {
                qobject_cast<FrmName*>(p)->TxtName->setText(QString::fromLatin1(name));
                qobject_cast<FrmName*>(p)->ComSelect->click();
            });
            editor->ComRuleAdd->click();
        }
        editor->ComDone->click();
    });
    w->ComKeyword->click();
    EXPECT_TRUE(OwnerEnabler::IsEnabled(w.get()));
    EXPECT_EQ(Items(w->CboRules), QStringList({"Alpha", "Beta"}));
    EXPECT_EQ(w->CboRules->currentIndex(), 0);
    EXPECT_EQ(w->CboRules->itemData(1).toInt(), 2);
    EXPECT_EQ(TestHarness::ReadFile(RulesFile::Path()), "Alpha|AND|AND|0;\r\nBeta|AND|AND|0;\r\n");

    // The second chosen and deleted: its position is gone, nothing is chosen.
    w->CboRules->setCurrentIndex(1);
    ListDialogSeam::Install([](QDialog* d) {
        auto* editor = qobject_cast<FrmCriteria*>(d);
        EXPECT_EQ(editor->CboRules->currentIndex(), 1);
        EXPECT_EQ(editor->CurRule->name, "Beta");
        TestHarness::AnswerMessages({kYes});
        editor->ComRuleDel->click();
        editor->ComDone->click();
    });
    w->ComKeyword->click();
    EXPECT_EQ(Items(w->CboRules), QStringList({"Alpha"}));
    EXPECT_EQ(w->CboRules->currentIndex(), -1);

    // Closed without a change: the same position again.
    w->CboRules->setCurrentIndex(0);
    ListDialogSeam::Install([](QDialog* d) { d->close(); });
    w->ComKeyword->click();
    EXPECT_EQ(w->CboRules->currentIndex(), 0);
    EXPECT_TRUE(TestHarness::AskedMessages().size() == 1) << "only the deletion was asked";
    EXPECT_EQ(Console(), "");
}

const Message kAnn{.subject = "hello", .from = "Ann <ann@a.example>", .body = "Dear list,\r\nno bill here\r\n"};
const Message kBob{.subject = "Invoice", .from = "bob@b.example", .body = "see the file\r\n"};
const Message kCid{
    .subject = "long one", .from = "Cid <cid@c.example>", .body = "first line\r\nthe INVOICE is attached\r\n"};

// After a sort of the mail list, each tick lands on the row of its mail;
// hand-made ticks go; the mails keep their hits for the message view.
TEST_F(Criteria, SelectBasedOnCriteria) {
    LoadWith(kTwoSets);
    Show({Parsed(kAnn), Parsed(kBob), Parsed(kCid)});
    w->VL_mail_ColumnClick(4);
    w->VL_mail_ColumnClick(4);  // descending addresses: cid, bob, ann
    ASSERT_EQ(Column(4), QStringList({"cid@c.example", "bob@b.example", "ann@a.example"}));
    w->VL_mail->SetCheckState(3, true);  // ann, by hand
    w->CboRules->setCurrentIndex(1);
    PanelRecorder panel(w->StatusBar->Panel(1));
    w->ComSelCri->click();
    EXPECT_EQ(Ticks(), QList<bool>({true, true, false}));
    EXPECT_EQ(w->LabMailSel->text(), "2 selected");
    // Shown after the first and the last mail (between them, every 10 ms).
    EXPECT_EQ(panel.texts.mid(panel.texts.indexOf("Checking mail 1 out of 3")),
              QStringList({"Checking mail 1 out of 3", "Checking mail 3 out of 3", ""}));
    EXPECT_EQ(Panel1(), "");
    const auto& mails = *w->Session1->Mails;
    EXPECT_EQ(mails[2]->Matches->size(), 1u);
    EXPECT_EQ(mails[2]->Matches->at(0)->Loc, clsMatch::kBody);
    EXPECT_EQ(mails[1]->Matches->at(0)->Loc, clsMatch::kSubject);
    EXPECT_TRUE(mails[0]->Matches->empty());
    EXPECT_TRUE(OwnerEnabler::IsEnabled(w.get()));
    EXPECT_EQ(Screen::Instance()->MousePointer(), Screen::kDefaultPointer);
    // No mark: no mail shown; with the first row marked, its hit selected.
    EXPECT_EQ(w->TxtContent->Text(), "");
    OwnerDataListView* list = w->VL_mail->ListWindow();
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, list->visualRect(list->model()->index(0, 5)).center());
    w->ComSelCri->click();
    EXPECT_EQ(Selected(w->TxtContent), "INVOICE");
    EXPECT_TRUE(w->ComHighLight->isEnabled());
    EXPECT_EQ(Console(), "");
}

TEST_F(Criteria, SelectionEdgeCases) {
    LoadWith(kTwoSets);
    // Before any retrieval: nothing visible, not even the no-set message.
    w->CboRules->setCurrentIndex(-1);
    w->ComSelCri_Click();
    EXPECT_TRUE(TestHarness::AskedMessages().isEmpty());

    Show({Parsed(kAnn), Parsed(kBob)});
    w->VL_mail->SetCheckState(1, true);
    TestHarness::AnswerMessages({kOk});
    w->ComSelCri->click();
    ASSERT_EQ(TestHarness::AskedMessages().size(), 1);
    const MsgBoxRequest& r = TestHarness::AskedMessages().last();
    EXPECT_EQ(r.message, "No set of selection criteria has been selected, please select a set first.");
    EXPECT_EQ(r.Title, "Not Set of Criteria Selected");
    EXPECT_EQ(r.IconNb, MsgBoxIcon::Error);
    EXPECT_TRUE(r.ShowOk && !r.ShowYes && !r.ShowNo);
    EXPECT_EQ(Ticks(), QList<bool>({true, false}));

    // An entry that names no set any more unticks nothing.
    w->CboRules->addItem(QStringLiteral("Gone"));
    w->CboRules->setCurrentIndex(2);
    w->ComSelCri->click();
    EXPECT_EQ(Ticks(), QList<bool>({true, false}));

    // No mail at all: the list is only refreshed.
    w->CboRules->setCurrentIndex(1);
    Show({});
    w->ComSelCri->click();
    EXPECT_EQ(w->LabMailCnt->text(), "0 object(s)");
    EXPECT_TRUE(OwnerEnabler::IsEnabled(w.get()));
    EXPECT_EQ(Console(), "");
}

// Through the real program: mails retrieved from dovecot, a set chosen, the
// list sorted, the selection, "Highlight" and the senders saved.
class CriteriaRoad : public Criteria {
protected:
    DovecotServer server;
    void SetUp() override {
        Criteria::SetUp();
        server.AddUser("user", "secret");
        for (const Message& m : {kAnn, kBob, kCid}) server.AddMessage("user", m.Bytes());
        const QString why = server.Start();
        if (!why.isEmpty()) GTEST_SKIP() << why.toStdString();
    }
};

TEST_F(CriteriaRoad, SelectHighlightAndSave) {
    TestHarness::WriteFile("MA_Rules.cfg", kTwoSets);
    Load({{.user = QStringLiteral("user"), .port = server.Port(), .timeOut = 30}});
    w->OptEmailFul->click();
    TestHarness::AnswerMessages({kOk});
    w->ComMailGet->click();
    ASSERT_EQ(w->VL_mail->GetCnt(), 3) << Console().toStdString();
    EXPECT_EQ(Items(w->CboRules), QStringList({"Other", "Money"}));
    w->CboRules->setCurrentIndex(1);

    // Sorted by subject, descending: long one, Invoice, hello.
    w->VL_mail_ColumnClick(5);
    w->VL_mail_ColumnClick(5);
    ASSERT_EQ(Column(5), QStringList({"long one", "Invoice", "hello"}));

    PanelRecorder panel(w->StatusBar->Panel(1));
    w->ComSelCri->click();
    EXPECT_EQ(Ticks(), QList<bool>({true, true, false}));
    // Shown after the first and the last mail (between them, every 10 ms).
    EXPECT_EQ(panel.texts.mid(panel.texts.indexOf("Checking mail 1 out of 3")),
              QStringList({"Checking mail 1 out of 3", "Checking mail 3 out of 3", ""}));

    // "Highlight" on the marked mail selects its hit in the content view.
    OwnerDataListView* list = w->VL_mail->ListWindow();
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, list->visualRect(list->model()->index(0, 5)).center());
    w->TxtContent->SetSelStart(0);
    ASSERT_TRUE(w->ComHighLight->isEnabled());
    w->ComHighLight->click();
    EXPECT_EQ(Selected(w->TxtContent), "INVOICE");
    EXPECT_EQ(Selected(w->TxtHeader), "");

    const QString senders = QDir(TestHarness::Folder()).filePath(QStringLiteral("senders.mal"));
    modDialog::InstallChooser([senders](const modDialog::FileDialogRequest&) { return QStringList{senders}; });
    TestHarness::AnswerMessages({kOk});
    w->ComMailSave->click();
    EXPECT_EQ(TestHarness::ReadFile(senders), "cid@c.example\r\nbob@b.example\r\n");
    EXPECT_EQ(Console(), "");
}

}  // namespace

// "Delete selection" against the scripted POP3 server: the questions, every
// outcome's box, the mails that leave the list only when the server has
// confirmed their deletion, and the account the shown mails came from.
#include <functional>

#include <QAbstractItemView>
#include <QComboBox>
#include <QTcpServer>

#include "IntervalTimer.h"
#include "MailPaneFixture.h"
#include "OwnerEnabler.h"
#include "clsInterrupt.h"

namespace {

using MailPaneFixture::Commands;
using MailPaneFixture::Message;
using MailPaneFixture::Serve;

const QList<Message> kThree = {{.subject = "one"}, {.subject = "two"}, {.subject = "three"}};

// Calls back as the watched object gets an event of one type.
class EventWatch : public QObject {
public:
    EventWatch(QObject* watched, QEvent::Type type, std::function<void()> callback)
        : m_type(type), m_callback(std::move(callback)) {
        watched->installEventFilter(this);
    }

protected:
    bool eventFilter(QObject*, QEvent* event) override {
        if (event->type() == m_type) m_callback();
        return false;
    }

private:
    QEvent::Type m_type;
    std::function<void()> m_callback;
};

class Delete : public MailPaneTest {
protected:
    std::unique_ptr<FakePop3Server> owned = std::make_unique<FakePop3Server>();
    FakePop3Server& server = *owned;
    // Retrieves the messages, then ticks the rows (1-based).
    void Retrieved(const QList<Message>& messages, const QList<int32_t>& ticks, int32_t timeOut = 0) {
        Serve(server, messages);
        server.Start();
        Load({{.user = QStringLiteral("user"), .port = server.Port(), .timeOut = timeOut}});
        TestHarness::AnswerMessages({MsgBoxButton::Ok});
        w->ComMailGet_Click();
        ASSERT_EQ(w->VL_mail->GetCnt(), messages.size());
        for (int32_t r : ticks) w->VL_mail->SetCheckState(r, true);
        w->VL_mail->SetAll();
    }
    // "Delete selection" answered Yes; its closing box.
    MsgBoxRequest DeleteTicked() {
        TestHarness::AnswerMessages({MsgBoxButton::Yes, MsgBoxButton::Ok});
        const qsizetype before = TestHarness::AskedMessages().size();
        w->ComMailDel_Click();
        EXPECT_EQ(TestHarness::AskedMessages().size(), before + 2);
        return TestHarness::AskedMessages().last();
    }
};

// Each outcome: the box, the mails left in the list, the DELE commands sent.
TEST_F(Delete, Outcomes) {
    struct Case {
        const char* name;
        QList<int32_t> ticks;
        std::map<QByteArray, FakeReply> replies;  // for the deletion's conversation
        const char* text;
        const char* title;
        int icon;
        QStringList left;
        QList<QByteArray> deles;
    } const cases[] = {
        {"two deleted", {1, 3}, {}, "2 messages have been deleted from 127.0.0.1 for user", "Deleted Messages",
         MsgBoxIcon::Logo, {"two"}, {"DELE 3", "DELE 1"}},
        {"one deleted", {2}, {}, "1 message has been deleted from 127.0.0.1 for user", "Deleted Message",
         MsgBoxIcon::Logo, {"one", "three"}, {"DELE 2"}},
        {"all deleted", {1, 2, 3}, {}, "3 messages have been deleted from 127.0.0.1 for user", "Deleted Messages",
         MsgBoxIcon::Logo, {}, {"DELE 3", "DELE 2", "DELE 1"}},
        {"mailbox empty meanwhile", {1}, {{"STAT", {"+OK 0 0\r\n"}}},
         "No messages have been deleted from 127.0.0.1 for user", "No Messages Available On Server",
         MsgBoxIcon::Warning, {"one", "two", "three"}, {}},
        {"the scan fails", {1}, {{"TOP 2", {"-ERR\r\n"}}},
         "An error occurred while attempting to delete messages from 127.0.0.1", "Error Deleting Messages",
         MsgBoxIcon::Error, {"one", "two", "three"}, {}},
        {"a DELE refused", {1, 3}, {{"DELE 3", {"-ERR locked\r\n"}}},
         "No messages have been deleted from 127.0.0.1 for user", "No Messages Deleted", MsgBoxIcon::Warning,
         {"one", "two", "three"}, {"DELE 3"}},
        {"refused after one acknowledged: that one went with the QUIT", {1, 3}, {{"DELE 1", {"-ERR locked\r\n"}}},
         "1 message has been deleted from 127.0.0.1 for user", "Deleted Message", MsgBoxIcon::Logo, {"one", "two"},
         {"DELE 3", "DELE 1"}},
        {"QUIT not confirmed", {1, 3}, {{"QUIT", {"-ERR not now\r\n", 0, 0, false, true}}},
         "The deletion of the selected messages was not confirmed by 127.0.0.1 for user", "Error Deleting Messages",
         MsgBoxIcon::Error, {"one", "two", "three"}, {"DELE 3", "DELE 1"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        // A server of its own for each case.
        FakePop3Server fresh;
        Serve(fresh, kThree);
        fresh.Start();
        Load({{.user = QStringLiteral("user"), .port = fresh.Port()}});
        TestHarness::AnswerMessages({MsgBoxButton::Ok});
        w->ComMailGet_Click();
        for (int32_t r : c.ticks) w->VL_mail->SetCheckState(r, true);
        w->VL_mail->SetAll();
        for (const auto& [command, reply] : c.replies) fresh.replies[command] = reply;
        const MsgBoxRequest box = DeleteTicked();
        EXPECT_EQ(box.message, c.text);
        EXPECT_EQ(box.Title, c.title);
        EXPECT_EQ(box.IconNb, c.icon);
        EXPECT_TRUE(box.ShowOk && !box.ShowYes);
        EXPECT_EQ(Column(5), c.left);
        EXPECT_EQ(w->VL_mail->GetSel(), 0);
        EXPECT_EQ(Commands(fresh, "DELE"), c.deles);
        EXPECT_EQ(static_cast<qsizetype>(w->Session1->Mails->size()), c.left.size());
        EXPECT_TRUE(OwnerEnabler::IsEnabled(w.get()));
        w.reset();
    }
}

// The confirmation: only a pressed Yes deletes; No, a box closed without a
// button (0) and a failed box (-1) send nothing and keep the list.
TEST_F(Delete, Confirmation) {
    Retrieved(kThree, {2});
    emit w->VL_mail->ColumnClick(5);
    for (int answer : {int(MsgBoxButton::No), 0, -1}) {
        SCOPED_TRACE(answer);
        TestHarness::AnswerMessages({answer});
        w->ComMailDel_Click();
        const MsgBoxRequest& q = TestHarness::AskedMessages().last();
        EXPECT_EQ(q.message,
                  "Once deleted, the selected messages won't be recoverable,\r\nthey will be permanently deleted from "
                  "your mail server\r\n(account 'user' on '127.0.0.1')\r\n\r\nAre you sure you want to proceed with the "
                  "deletion process ?");
        EXPECT_EQ(q.Title, "Delete Selected Mail(s) On Server");
        EXPECT_EQ(q.IconNb, MsgBoxIcon::Warning);
        EXPECT_EQ(q.Focus, MsgBoxButton::No);
        EXPECT_TRUE(q.ShowYes && q.ShowNo);
        EXPECT_EQ(server.Connections(), 1);
        EXPECT_EQ(Column(5), QStringList({"one", "three", "two"}));
        EXPECT_EQ(Ticks(), QList<bool>({false, false, true}));
    }
    // No row ticked: the question, then nothing.
    w->VL_mail->DeselectAll();
    TestHarness::AnswerMessages({MsgBoxButton::Yes});
    w->ComMailDel_Click();
    EXPECT_EQ(server.Connections(), 1);
    EXPECT_EQ(Column(5), QStringList({"one", "three", "two"}));
    EXPECT_TRUE(OwnerEnabler::IsEnabled(w.get()));
}

// Two mails equal in identifier, sender, subject and date: each is matched
// with a message of its own, both deleted.
TEST_F(Delete, TwoIdenticalMails) {
    const Message twin{.subject = "twin"};
    Retrieved({twin, twin}, {1, 2});
    const MsgBoxRequest box = DeleteTicked();
    EXPECT_EQ(box.Title, "Deleted Messages");
    EXPECT_EQ(Commands(server, "DELE"), QList<QByteArray>({"DELE 1", "DELE 2"}));
    EXPECT_EQ(w->VL_mail->GetCnt(), 0);
    EXPECT_EQ(w->Session2->Mails, nullptr);
}

// A mail another client deleted meanwhile: reported, and it stays.
TEST_F(Delete, MailDeletedMeanwhile) {
    Retrieved(kThree, {1, 2});
    Serve(server, {{.subject = "two"}, {.subject = "three"}});
    const MsgBoxRequest box = DeleteTicked();
    EXPECT_EQ(box.message, "1 message has been deleted from 127.0.0.1 for user");
    EXPECT_EQ(Commands(server, "DELE"), QList<QByteArray>{"DELE 1"});
    EXPECT_EQ(Column(5), QStringList({"one", "three"}));
    EXPECT_TRUE(Console().contains("Message with sender 'ann@a.example' and subject 'one' could not be found in "
                                   "account 'user' on '127.0.0.1'"))
        << Console().toStdString();
}

// A time-out after one acknowledged DELE: no QUIT, so nothing was deleted;
// the DELE left unanswered has an outcome nobody knows.
TEST_F(Delete, TimeOutAfterOneDele) {
    Retrieved(kThree, {1, 3}, 1);
    server.replies["DELE 1"] = {QByteArray(), 0, 0, true};
    QList<bool> enabledAtTimeOut;
    QObject::connect(w->TmrPOP32, &IntervalTimer::Timer, w.get(),
                     [&] { enabledAtTimeOut << OwnerEnabler::IsEnabled(w.get()); });
    const MsgBoxRequest box = DeleteTicked();
    EXPECT_EQ(enabledAtTimeOut, QList<bool>{false});
    EXPECT_EQ(box.message, "The deletion of the selected messages was not confirmed by 127.0.0.1 for user\r\n"
                           "No answer came to the deletion of the message with sender 'ann@a.example' and subject "
                           "'one': whether it has been deleted is not known");
    EXPECT_EQ(box.IconNb, MsgBoxIcon::Error);
    EXPECT_EQ(Column(5), QStringList({"one", "two", "three"}));
    EXPECT_EQ(Panel1(), "Timeout : no response from 127.0.0.1 for 1 seconds");
    EXPECT_EQ(Commands(server, "QUIT").size(), 1);  // the retrieval's only
}

// The progress window's Cancel, clicked with the mouse while the server
// withholds its reply.  During the scan the connection closes at once.
// During a DELE the status bar says at once that its reply is awaited; a
// reply that then comes is read before QUIT's: a late acknowledgement
// counts, and the QUIT that follows removes the mail.  One that never comes
// waits for a second Cancel, which closes without QUIT, and the box says
// that mail's outcome is not known.  The status bar then tells the outcome,
// the window is usable again.
TEST_F(Delete, CancelButtonStopsASilentServer) {
    using Then = MailPaneFixture::CancelClicker::Then;
    static constexpr const char* kWaitForMailOne =
        "Waiting for the server's answer to the deletion of mail 1; Cancel again to close the connection";
    const QString notKnown = QStringLiteral(
        "The deletion of the selected messages was not confirmed by 127.0.0.1 for user\r\nNo answer came to the "
        "deletion of the message with sender 'ann@a.example' and subject 'one': whether it has been deleted is not "
        "known");
    struct Case {
        const char* name;
        QList<int32_t> ticks;
        const char* held;  // the request whose reply is withheld
        Then then;
        QString text;
        QStringList left;
        int quits;  // QUIT lines, the retrieval's included
        const char* waiting;  // the status bar once the Cancel is taken; null: the run ends then
    } const cases[] = {
        {"scan: TOP late", {1, 3}, "TOP 2", Then::Release,
         "An error occurred while attempting to delete messages from 127.0.0.1", {"one", "two", "three"}, 1,
         nullptr},
        {"DELE late", {1, 3}, "DELE 1", Then::Release, "2 messages have been deleted from 127.0.0.1 for user",
         {"two"}, 2, kWaitForMailOne},
        {"DELE never answered, another acknowledged", {1, 3}, "DELE 1", Then::ClickAgain, notKnown,
         {"one", "two", "three"}, 1, kWaitForMailOne},
        {"the only DELE never answered", {1}, "DELE 1", Then::ClickAgain, notKnown, {"one", "two", "three"}, 1,
         kWaitForMailOne},
    };
    // Only a failed Cancel lets the account's time-out end the run.
    constexpr int32_t kBackstopSeconds = 60;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        FakePop3Server fresh;  // a server of its own for each case
        Serve(fresh, kThree);
        fresh.Start();
        Load({{.user = QStringLiteral("user"), .port = fresh.Port(), .timeOut = kBackstopSeconds}});
        TestHarness::AnswerMessages({MsgBoxButton::Ok});
        w->ComMailGet_Click();
        for (int32_t r : c.ticks) w->VL_mail->SetCheckState(r, true);
        w->VL_mail->SetAll();
        fresh.replies[c.held] = Held(fresh.replies.count(c.held) ? fresh.replies[c.held]
                                                                                  : FakeReply{"+OK marked\r\n"});
        int timeOuts = 0;
        QObject::connect(w->TmrPOP32, &IntervalTimer::Timer, w.get(), [&] { ++timeOuts; });
        MailPaneFixture::CancelClicker cancel(fresh, c.then);
        QString whenTaken;
        cancel.taken = [&] { whenTaken = Panel1(); };
        const MsgBoxRequest box = DeleteTicked();
        cancel.Stop();
        ASSERT_TRUE(cancel.Clicked());
        if (c.waiting != nullptr) {
            EXPECT_EQ(whenTaken, c.waiting);
        }
        EXPECT_EQ(box.message, c.text);
        EXPECT_EQ(Column(5), c.left);
        EXPECT_EQ(Commands(fresh, "QUIT").size(), c.quits);
        EXPECT_EQ(Panel1(), MailPaneFixture::OneLine(c.text));
        EXPECT_EQ(timeOuts, 0);
        EXPECT_EQ(Console(), "");
        EXPECT_FALSE(InterruptObj()->Active);
        EXPECT_TRUE(MonitorObj()->MFrm.isNull());
        EXPECT_TRUE(OwnerEnabler::IsEnabled(w.get()));
        w.reset();
    }
}

// Once the window is usable again after a deletion, every row the list
// shows is a mail of the list, however it was sorted.
TEST_F(Delete, RowsShownWhenTheWindowIsUsableAgain) {
    Retrieved(kThree, {1});
    emit w->VL_mail->ColumnClick(5);  // one, three, two
    auto* list = qobject_cast<QAbstractItemView*>(w->VL_mail->hWnd());
    ASSERT_NE(list, nullptr);
    QList<QStringList> shown;  // the subjects each time the list became usable
    EventWatch usable(list, QEvent::EnabledChange, [&] {
        if (list->isEnabled()) shown << Column(5);
    });
    const MsgBoxRequest box = DeleteTicked();
    EXPECT_EQ(box.message, "1 message has been deleted from 127.0.0.1 for user");
    EXPECT_EQ(shown, QList<QStringList>{QStringList({"two", "three"})});
    EXPECT_EQ(Console(), "");
}

// The mails shown came from A; B chosen, even after a failed retrieval on
// B, deletes nothing and the box names A.  Before any retrieval both names
// are empty.
TEST_F(Delete, DifferentAccount) {
    Serve(server, kThree);
    server.Start();
    QTcpServer probe;
    probe.listen(QHostAddress::LocalHost);
    const int closed = probe.serverPort();
    probe.close();
    Load({{.user = QStringLiteral("ann"), .port = server.Port()}, {.user = QStringLiteral("bob"), .port = closed}});
    const QString differs = QStringLiteral(
        "The account you retrieved mail from is different than the \r\naccount currently specified for deletion "
        "!\r\n\r\nThe messages currently displayed have been retrieved\r\nfrom '%1' on '%2'");
    TestHarness::AnswerMessages({MsgBoxButton::Ok});
    w->ComMailDel_Click();
    EXPECT_EQ(TestHarness::AskedMessages().last().message, differs.arg("", ""));

    TestHarness::AnswerMessages({MsgBoxButton::Ok});
    w->ComMailGet_Click();
    w->VL_mail->SelectAll();
    w->CboUserName->setCurrentIndex(1);
    TestHarness::AnswerMessages({MsgBoxButton::Ok});
    w->ComMailGet_Click();  // fails: nothing listens for bob
    EXPECT_EQ(TestHarness::AskedMessages().last().Title, "Error Retrieving Messages");
    EXPECT_EQ(w->Session1->POP3User, "bob");
    w->VL_mail->SelectAll();
    TestHarness::AnswerMessages({MsgBoxButton::Ok});
    w->ComMailDel_Click();
    const MsgBoxRequest& box = TestHarness::AskedMessages().last();
    EXPECT_EQ(box.message, differs.arg("ann", "127.0.0.1"));
    EXPECT_EQ(box.Title, "Different Retrieval and Deletion Accounts");
    EXPECT_EQ(box.IconNb, MsgBoxIcon::Error);
    EXPECT_TRUE(Commands(server, "DELE").isEmpty());
    EXPECT_EQ(w->VL_mail->GetSel(), 3);
}

}  // namespace

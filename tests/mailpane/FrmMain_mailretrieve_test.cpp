// "Retrieve mails" against the scripted POP3 server: every outcome's box and
// status text, the retrieval modes, the time-out and Cancel, the trace
// switches, the line-count box, and the run-time failures before a run.
#include <QAbstractItemView>
#include <QCheckBox>
#include <QFocusEvent>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTcpServer>
#include <QTest>
#include <QTimer>

#include "FrmMailbox.h"
#include "IntervalTimer.h"
#include "MailPaneFixture.h"
#include "OwnerEnabler.h"
#include "ServiceObjects.h"
#include "clsInterrupt.h"
#include "clsTrace.h"

namespace {

using MailPaneFixture::Commands;
using MailPaneFixture::Message;
using MailPaneFixture::Serve;

const QList<Message> kThree = {{.subject = "one"}, {.subject = "two"}, {.subject = "three"}};

// A port no server listens on.
int ClosedPort() {
    QTcpServer probe;
    probe.listen(QHostAddress::LocalHost);
    return probe.serverPort();
}

class Retrieve : public MailPaneTest {
protected:
    FakePop3Server server;
    void LoadFor(int32_t timeOut = 0, int32_t port = 0) {
        server.Start();
        Load({{.user = QStringLiteral("user"), .port = port != 0 ? port : server.Port(), .timeOut = timeOut}});
    }
    // Runs "Retrieve mails" and returns its closing box.
    MsgBoxRequest Run() {
        TestHarness::AnswerMessages({MsgBoxButton::Ok});
        const qsizetype before = TestHarness::AskedMessages().size();
        w->ComMailGet_Click();
        EXPECT_EQ(TestHarness::AskedMessages().size(), before + 1);
        return TestHarness::AskedMessages().isEmpty() ? MsgBoxRequest{} : TestHarness::AskedMessages().last();
    }
};

// One closing box per outcome, and the status text the run leaves.
TEST_F(Retrieve, Outcomes) {
    struct Case {
        const char* name;
        std::map<QByteArray, FakeReply> replies;  // over three messages served
        bool noServer;
        const char* text;
        const char* title;
        int icon;
        int rows;
        const char* panel;
    } const cases[] = {
        {"no server", {}, true, "An error occurred while attempting to retrieve messages from 127.0.0.1",
         "Error Retrieving Messages", MsgBoxIcon::Error, 0, "Cannot connect to remote host 127.0.0.1"},
        {"password refused", {{"PASS", {"-ERR no\r\n"}}}, false,
         "An error occurred while attempting to retrieve messages from 127.0.0.1", "Error Retrieving Messages",
         MsgBoxIcon::Error, 0, "127.0.0.1 responded with error status"},
        {"empty mailbox", {{"STAT", {"+OK 0 0\r\n"}}}, false, "No messages are currently available on 127.0.0.1 for user",
         "No Messages Available", MsgBoxIcon::Logo, 0, "Disconnected from 127.0.0.1"},
        {"listing refused", {{"LIST", {"-ERR no\r\n"}}}, false,
         "An error occurred while attempting to retrieve messages from 127.0.0.1", "Error Retrieving Messages",
         MsgBoxIcon::Error, 0, "127.0.0.1 responded with error status"},
        {"one mail", {{"STAT", {"+OK 1 100\r\n"}}, {"LIST", {"+OK\r\n1 100\r\n.\r\n"}}}, false,
         "1 message has been downloaded from 127.0.0.1 for user", "Downloaded Message", MsgBoxIcon::Logo, 1,
         "Disconnected from 127.0.0.1"},
        {"three mails", {}, false, "3 messages have been downloaded from 127.0.0.1 for user", "Downloaded Messages",
         MsgBoxIcon::Logo, 3, "Disconnected from 127.0.0.1"},
        {"the second refused", {{"TOP 2", {"-ERR gone\r\n"}}}, false,
         "Not all messages could be downloaded (1 out of 3)\r\nfrom 127.0.0.1 for user", "Error Retrieving Messages",
         MsgBoxIcon::Error, 1, "127.0.0.1 responded with error status"},
    };
    server.Start();
    const std::map<QByteArray, FakeReply> defaults = server.replies;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        server.replies = defaults;
        Serve(server, kThree);
        for (const auto& [command, reply] : c.replies) server.replies[command] = reply;
        Load({{.user = QStringLiteral("user"), .port = c.noServer ? ClosedPort() : server.Port()}});
        const MsgBoxRequest box = Run();
        EXPECT_EQ(box.message, c.text);
        EXPECT_EQ(box.Title, c.title);
        EXPECT_EQ(box.IconNb, c.icon);
        EXPECT_TRUE(box.ShowOk && !box.ShowYes && !box.ShowNo && !box.ShowCancel);
        EXPECT_EQ(w->VL_mail->GetCnt(), c.rows);
        EXPECT_EQ(w->LabMailCnt->text(), QString::number(c.rows) + " object(s)");
        EXPECT_EQ(Panel1(), c.panel);
        EXPECT_TRUE(OwnerEnabler::IsEnabled(w.get()));
        if (c.rows > 0) {
            EXPECT_EQ(Cell(0, 5), "one");
        }
        w.reset();
    }
}

// The closing box counts one mail in the singular while the status bar,
// at the end of the download, says the same.
TEST_F(Retrieve, DownloadCompleteText) {
    Serve(server, {{.subject = "only"}});
    LoadFor();
    QStringList seen;
    QObject::connect(w->Session1.get(), &clsPOP3Session::OnPOP3DownloadComplete, w.get(), [&] { seen << Panel1(); });
    Run();
    EXPECT_EQ(seen, QStringList{"1 message has been downloaded"});
}

// The request per message by the retrieval choice, and the line-count box's
// state after each choice.
TEST_F(Retrieve, Modes) {
    struct Case {
        QRadioButton* FrmMain::*option;
        const char* lines;
        const char* command;
        bool linesEnabled;
    } const cases[] = {
        {&FrmMain::OptEmailCon, "3", "TOP 1 3", true},
        {&FrmMain::OptEmailHdr, "3", "TOP 1 0", false},
        {&FrmMain::OptEmailCon, "0", "TOP 1 0", true},
        {&FrmMain::OptEmailCon, "007x", "TOP 1 7", true},
        {&FrmMain::OptEmailFul, "3", "RETR 1", false},
    };
    Serve(server, {{.subject = "only"}});
    LoadFor();
    EXPECT_FALSE(w->TxtLines->isEnabled());
    for (const Case& c : cases) {
        SCOPED_TRACE(c.command);
        (w.get()->*c.option)->click();
        EXPECT_EQ(w->TxtLines->isEnabled(), c.linesEnabled);
        w->TxtLines->setText(QString::fromLatin1(c.lines));
        Run();
        const QList<QByteArray> requests = Commands(server, "TOP");
        const QList<QByteArray> retr = Commands(server, "RETR");
        const QByteArray last = QByteArray(c.command).startsWith("RETR") ? retr.value(retr.size() - 1)
                                                                         : requests.value(requests.size() - 1);
        EXPECT_EQ(last, c.command);
    }
}

// A time-out at message 2 of 3: the time-out text, the window kept
// disabled until the run's own end, the first mail parsed and listed.
TEST_F(Retrieve, TimeOutAtMessageKOfM) {
    Serve(server, kThree);
    server.replies["TOP 2"] = {QByteArray(), 0, 0, true};
    LoadFor(1);
    QList<bool> enabledAtTimeOut;
    QObject::connect(w->TmrPOP31, &IntervalTimer::Timer, w.get(),
                     [&] { enabledAtTimeOut << OwnerEnabler::IsEnabled(w.get()); });
    const MsgBoxRequest box = Run();
    EXPECT_EQ(w->TmrPOP31->Interval(), 1000);
    EXPECT_EQ(enabledAtTimeOut, QList<bool>{false});
    EXPECT_EQ(box.message, "Not all messages could be downloaded (1 out of 3)\r\nfrom 127.0.0.1 for user");
    EXPECT_EQ(box.Title, "Error Retrieving Messages");
    EXPECT_EQ(box.IconNb, MsgBoxIcon::Error);
    EXPECT_EQ(Panel1(), "Timeout : no response from 127.0.0.1 for 1 seconds");
    EXPECT_EQ(Column(5), QStringList{"one"});
    EXPECT_TRUE(OwnerEnabler::IsEnabled(w.get()));
    EXPECT_TRUE(Commands(server, "QUIT").isEmpty());  // a time-out closes without QUIT
}

// Cancel from the progress window as message 2 of 3 is asked for: the run
// ends without waiting for it, keeps message 1 and the status bar tells
// its outcome.
TEST_F(Retrieve, Cancel) {
    Serve(server, kThree);
    LoadFor();
    QObject::connect(w->Session1.get(), &clsPOP3Session::OnPOP3RetrieveMail, w.get(), [](int32_t idx, int32_t) {
        if (idx == 2) InterruptObj()->ISet(QStringLiteral("Operator"));
    });
    const MsgBoxRequest box = Run();
    EXPECT_EQ(box.message, "Not all messages could be downloaded (1 out of 3)\r\nfrom 127.0.0.1 for user");
    EXPECT_EQ(w->TmrPOP31->Interval(), 0);
    EXPECT_EQ(Column(5), QStringList{"one"});
    EXPECT_EQ(Panel1(), "Not all messages could be downloaded (1 out of 3) from 127.0.0.1 for user");
    // Its reply would be taken for QUIT's.
    EXPECT_TRUE(Commands(server, "QUIT").isEmpty());
}

// The progress window's Cancel, clicked with the mouse while the server
// withholds its reply, in every retrieval mode: the run ends at once,
// without QUIT, keeps the mails that came whole and does not take a reply
// that comes later.  The account's time-out is long, so only the Cancel
// can end the run.  The list and its count are empty while the run lasts;
// the status bar tells the outcome, the window is usable again.
TEST_F(Retrieve, CancelButtonStopsASilentServer) {
    using Then = MailPaneFixture::CancelClicker::Then;
    struct Case {
        QRadioButton* FrmMain::*option;
        const char* held;  // the request whose reply is withheld
        Then then;
        const char* text;
        QStringList left;
        int quits;  // QUIT lines this run sends
    } const cases[] = {
        {&FrmMain::OptEmailHdr, "TOP 2", Then::Nothing,
         "Not all messages could be downloaded (1 out of 3)\r\nfrom 127.0.0.1 for user", {"one"}, 0},
        {&FrmMain::OptEmailCon, "TOP 2", Then::Nothing,
         "Not all messages could be downloaded (1 out of 3)\r\nfrom 127.0.0.1 for user", {"one"}, 0},
        {&FrmMain::OptEmailFul, "RETR 2", Then::Nothing,
         "Not all messages could be downloaded (1 out of 3)\r\nfrom 127.0.0.1 for user", {"one"}, 0},
        {&FrmMain::OptEmailFul, "RETR 2", Then::Release,
         "Not all messages could be downloaded (1 out of 3)\r\nfrom 127.0.0.1 for user", {"one"}, 0},
    };
    // Only a failed Cancel lets the account's time-out end the run.
    constexpr int32_t kBackstopSeconds = 60;
    Serve(server, kThree);
    const std::map<QByteArray, FakeReply> answered = server.replies;
    LoadFor(kBackstopSeconds);
    int timeOuts = 0;
    QObject::connect(w->TmrPOP31, &IntervalTimer::Timer, w.get(), [&] { ++timeOuts; });
    for (const Case& c : cases) {
        SCOPED_TRACE(c.held);
        (w.get()->*c.option)->click();
        server.replies = answered;
        server.replies[c.held] = Held(answered.at(c.held));
        const qsizetype quits = Commands(server, "QUIT").size();
        MailPaneFixture::CancelClicker cancel(server, c.then);
        QString countWhileRunning;
        const QMetaObject::Connection counted =
            QObject::connect(w->Session1.get(), &clsPOP3Session::OnPOP3RetrieveMail, w.get(),
                             [&] { countWhileRunning = w->LabMailCnt->text(); });
        const MsgBoxRequest box = Run();
        cancel.Stop();
        QObject::disconnect(counted);
        ASSERT_TRUE(cancel.Clicked());
        EXPECT_EQ(countWhileRunning, "0 object(s)");
        EXPECT_EQ(box.message, c.text);
        EXPECT_EQ(box.Title, "Error Retrieving Messages");
        EXPECT_EQ(Column(5), c.left);
        EXPECT_EQ(Commands(server, "QUIT").size(), quits + c.quits);
        EXPECT_EQ(Panel1(), MailPaneFixture::OneLine(c.text));
        EXPECT_EQ(timeOuts, 0);
        EXPECT_FALSE(InterruptObj()->Active);
        EXPECT_TRUE(MonitorObj()->MFrm.isNull());
        EXPECT_TRUE(OwnerEnabler::IsEnabled(w.get()));
        // A reply still withheld goes to the connection closed meanwhile.
        if (server.Holding()) server.Release();
        server.replies = answered;
        EXPECT_EQ(Run().Title, "Downloaded Messages");
    }
}

// Clicks on the window while a run waits for the server (it is disabled
// then) start nothing and do not upset the run; Cancel still ends it.
TEST_F(Retrieve, ClicksOnTheBusyWindowAreIgnored) {
    Serve(server, kThree);
    server.replies["TOP 2"] = Held(server.replies["TOP 2"]);
    LoadFor(15);
    Show({MailPaneFixture::Parsed(Message{})});
    auto* list = qobject_cast<QAbstractItemView*>(w->VL_mail->hWnd());
    ASSERT_NE(list, nullptr);
    const QList<QWidget*> targets = {list->viewport(), w->ComMailGet, list->viewport(), w->ComMailDel};
    int clicked = 0;
    QTimer clicker;
    clicker.setInterval(20);
    QObject::connect(&clicker, &QTimer::timeout, w.get(), [&] {
        if (!server.Holding()) return;
        clicker.stop();
        for (QWidget* target : targets) {
            QTest::mouseClick(target, Qt::LeftButton, {}, QPoint(5, 5));
            ++clicked;
        }
    });
    clicker.start();
    MailPaneFixture::CancelClicker cancel(server, MailPaneFixture::CancelClicker::Then::Nothing,
                                          [&] { return clicked == targets.size(); });
    const MsgBoxRequest box = Run();
    EXPECT_EQ(clicked, targets.size());
    ASSERT_TRUE(cancel.Clicked());
    EXPECT_EQ(box.message, "Not all messages could be downloaded (1 out of 3)\r\nfrom 127.0.0.1 for user");
    EXPECT_EQ(server.Connections(), 1);
    EXPECT_EQ(Column(5), QStringList{"one"});
}

// After a run that ends before the download, the previous mails come back
// in server order, none ticked, the views empty.
TEST_F(Retrieve, PreviousMailsReappear) {
    Serve(server, kThree);
    LoadFor();
    Run();
    emit w->VL_mail->ColumnClick(5);
    w->VL_mail->SelectAll();
    w->DisplayDetails(1);
    server.replies["STAT"] = {"+OK 0 0\r\n"};
    const MsgBoxRequest box = Run();
    EXPECT_EQ(box.Title, "No Messages Available");
    EXPECT_EQ(Column(5), QStringList({"one", "two", "three"}));
    EXPECT_EQ(w->VL_mail->GetSel(), 0);
    EXPECT_EQ(w->TxtHeader->Text(), "");
    for (QPushButton* b : {w->ComSaveHeader, w->ComSaveContent, w->ComHighLight}) EXPECT_FALSE(b->isEnabled());
    EXPECT_EQ(Commands(server, "QUIT").size(), 2);
}

// "Trace POP3 connection" and "Verbose" decide what reaches the console.
TEST_F(Retrieve, TraceSwitches) {
    Serve(server, {{.subject = "only"}});
    LoadFor();
    EXPECT_FALSE(w->ChkVerbose->isEnabled());
    struct Case {
        bool trace, verbose;
        const char* expected;  // "" : no trace line
        const char* absent;
    } const cases[] = {
        {false, true, "", ">>> Send"},
        {true, false, ">>> Send : USER user", ">>> Send 11 bytes"},
        {true, true, ">>> Send 11 bytes to POP3 server", ">>> Send : USER"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.trace << c.verbose);
        w->ChkTrace->setChecked(c.trace);
        EXPECT_EQ(w->ChkVerbose->isEnabled(), c.trace);
        w->ChkVerbose->setChecked(c.verbose);
        w->TxtErrors->SetText(QString());
        Run();
        EXPECT_TRUE(Console().contains(QLatin1String(c.expected)));
        EXPECT_FALSE(Console().contains(QLatin1String(c.absent)));
        EXPECT_EQ(TraceObj()->DoTraceToScreen, c.trace);
        EXPECT_FALSE(TraceObj()->DoTraceToFile);
    }
}

// The line-count box takes digits and Backspace only; left empty it is "25".
TEST_F(Retrieve, LineCountBox) {
    LoadFor();
    w->OptEmailCon->click();
    struct Case {
        const char* typed;
        const char* text;
    } const cases[] = {{"a", ""}, {"12", "12"}, {"x-3 ", "123"}, {"\b", "12"}};
    w->TxtLines->clear();
    for (const Case& c : cases) {
        for (const char* p = c.typed; *p; ++p) {
            if (*p == '\b')
                QTest::keyClick(w->TxtLines, Qt::Key_Backspace);
            else
                QTest::keyClicks(w->TxtLines, QString(QLatin1Char(*p)));
        }
        EXPECT_EQ(w->TxtLines->text(), c.text) << c.typed;
    }
    w->TxtLines->clear();
    QFocusEvent out(QEvent::FocusOut);
    QApplication::sendEvent(w->TxtLines, &out);
    EXPECT_EQ(w->TxtLines->text(), "25");
    QFocusEvent in(QEvent::FocusIn);
    QApplication::sendEvent(w->TxtLines, &in);
    EXPECT_EQ(w->TxtLines->selectedText(), "25");
}

// No account chosen, a time-out the timer cannot hold, a line count beyond
// 32 bits: no connection, no box; the pane emptied, the failure reported.
TEST_F(Retrieve, NoRunStarts) {
    Serve(server, kThree);
    struct Case {
        const char* name;
        int32_t timeOut;
        const char* lines;  // with "first lines" chosen; null: headers only
        bool noAccount;
        const char* console;
    } const cases[] = {
        {"no account", 0, nullptr, true, ""},
        {"negative time-out", -1, nullptr, false, "is -1 seconds: it must lie between 0 and 2147483 seconds"},
        {"time-out beyond 32 bits", 2147484, nullptr, false, "is 2147484 seconds"},
        {"line count beyond 32 bits", 0, "2147483648", false, "Overflow: the line count '2147483648'"},
    };
    LoadFor();
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Show({MailPaneFixture::Parsed(Message{})});
        w->DisplayDetails(1);
        auto account = std::make_shared<clsPOP3Mailbox>(*Mailboxes->at(0));
        account->POP3TimeOut = c.timeOut;
        Mailboxes = std::make_shared<MailboxCollection>(MailboxCollection{account});
        w->CboUserName->setCurrentIndex(c.noAccount ? -1 : 0);
        if (c.lines) {
            w->OptEmailCon->click();
            w->TxtLines->setText(QString::fromLatin1(c.lines));
        } else {
            w->OptEmailHdr->click();
        }
        w->TxtErrors->SetText(QString());
        w->ComMailGet_Click();
        EXPECT_EQ(server.Connections(), 0);
        EXPECT_TRUE(TestHarness::AskedMessages().isEmpty());
        EXPECT_EQ(w->VL_mail->GetCnt(), 0);
        EXPECT_EQ(w->TxtHeader->Text(), "");
        EXPECT_FALSE(w->ComSaveHeader->isEnabled());
        EXPECT_TRUE(Console().contains(QLatin1String(c.console))) << Console().toStdString();
        EXPECT_TRUE(OwnerEnabler::IsEnabled(w.get()));
        w->CboUserName->setCurrentIndex(0);
    }
    // The largest time-out the timer holds runs.
    auto account = std::make_shared<clsPOP3Mailbox>(*Mailboxes->at(0));
    account->POP3TimeOut = 2147483;
    Mailboxes = std::make_shared<MailboxCollection>(MailboxCollection{account});
    w->OptEmailHdr->click();
    EXPECT_EQ(Run().Title, "Downloaded Messages");
    EXPECT_EQ(w->TmrPOP31->Interval(), 2147483000);
}

// A name typed with characters beyond ASCII goes to the server as UTF-8
// and is shown decoded.
TEST_F(Retrieve, NonAsciiUserName) {
    Serve(server, {{.subject = "only"}});
    server.Start();
    Load({{.user = FrmMailbox::Typed(QStringLiteral("j\u00fcrgen")), .port = server.Port()}});
    const MsgBoxRequest box = Run();
    EXPECT_EQ(box.message, QStringLiteral("1 message has been downloaded from 127.0.0.1 for j\u00fcrgen"));
    EXPECT_EQ(Commands(server, "USER"), QList<QByteArray>{"USER j\xc3\xbcrgen"});
}

}  // namespace

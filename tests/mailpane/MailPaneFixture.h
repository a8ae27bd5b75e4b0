#pragma once

// A loaded main window for the mail pane's tests: accounts written to the
// account file before the load (the first is chosen), messages built as a
// POP3 server sends them, and mails put in place as a retrieval leaves them.
#include <functional>
#include <memory>

#include <QComboBox>
#include <QFile>
#include <QList>
#include <QPushButton>
#include <QTabWidget>
#include <QTest>
#include <QTimer>

#include "FakePop3Server.h"
#include "FrmMain.h"
#include "ListsCol.h"
#include "MailboxFile.h"
#include "MainFixture.h"
#include "OwnerDataListView.h"
#include "PanelStatusBar.h"
#include "RichTextBox.h"
#include "ServiceObjects.h"
#include "StatusPanel.h"
#include "TestHarness.h"
#include "clsInterrupt.h"
#include "clsMail.h"
#include "clsMonitor.h"
#include "clsPOP3Mailbox.h"
#include "clsVirtualListview.h"
#include "modCrypto.h"

namespace MailPaneFixture {

struct Account {
    QString user{};
    QString server = QStringLiteral("127.0.0.1");
    int32_t port = 110;
    int32_t timeOut = 0;
    QByteArray password = "secret";
};

inline void WriteAccounts(const QList<Account>& accounts) {
    MailboxCollection list;
    for (const Account& a : accounts) {
        auto m = std::make_shared<clsPOP3Mailbox>();
        m->POP3User = a.user;
        m->POP3Server = a.server;
        m->POP3Port = a.port;
        m->POP3TimeOut = a.timeOut;
        m->POP3Password = modCrypto::EncryptPassword(QString::fromLatin1(a.password));
        list.push_back(m);
    }
    QByteArray bytes;
    ASSERT_TRUE(MailboxFile::Format(list, bytes));
    QFile f(MailboxFile::Path());
    ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
    f.write(bytes);
}

// One message's text, CR LF line ends.
struct Message {
    QByteArray subject = "hello";
    QByteArray from = "Ann <ann@a.example>";
    QByteArray id{};  // "" : "<" subject "@a.example>"
    QByteArray date = "Mon, 1 Jan 2024 10:00:00 +0000";
    QByteArray priority{};  // X-Priority; "" for none
    QByteArray body = "line one\r\nline two\r\n";
    bool attachment = false;

    QByteArray Bytes() const {
        QByteArray m = "From: " + from + "\r\nSubject: " + subject + "\r\nMessage-ID: " +
                       (id.isEmpty() ? "<" + subject + "@a.example>" : id) + "\r\nDate: " + date + "\r\n";
        if (!priority.isEmpty()) m += "X-Priority: " + priority + "\r\n";
        m += "\r\n" + body;
        if (attachment) m += "Content-Disposition: attachment; filename=\"a.pdf\"\r\n";
        return m;
    }
    // The reply to TOP or RETR.
    QByteArray Reply() const { return "+OK\r\n" + Bytes() + ".\r\n"; }
};

// A scripted server holding these messages: STAT, LIST and each TOP/RETR.
inline void Serve(FakePop3Server& server, const QList<Message>& messages) {
    QByteArray list = "+OK\r\n";
    qsizetype total = 0;
    for (int i = 0; i < messages.size(); ++i) {
        const QByteArray n = QByteArray::number(i + 1);
        const QByteArray reply = messages[i].Reply();
        server.replies["TOP " + n] = {reply};
        server.replies["RETR " + n] = {reply};
        list += n + ' ' + QByteArray::number(messages[i].Bytes().size()) + "\r\n";
        total += messages[i].Bytes().size();
    }
    server.replies["STAT"] = {"+OK " + QByteArray::number(messages.size()) + ' ' + QByteArray::number(total) + "\r\n"};
    server.replies["LIST"] = {list + ".\r\n"};
}

// The commands the server received, by their first word.
inline QList<QByteArray> Commands(FakePop3Server& server, const QByteArray& word) {
    QList<QByteArray> found;
    for (const QByteArray& line : server.Lines())
        if (line.startsWith(word)) found << line;
    return found;
}

inline std::shared_ptr<clsMail> Parsed(const Message& message, int32_t size = 0) {
    auto mail = std::make_shared<clsMail>();
    mail->mRawMessage = message.Reply();
    mail->mSize = size;
    mail->ParseMail();
    return mail;
}

// Clicks the progress window's Cancel with the mouse, as a user does, once
// the window shows while the server withholds a reply (the run waits for
// it) and ready() holds.  Once the run has taken that Cancel it calls
// taken, if set, then lets the reply go, clicks Cancel again, or does
// nothing more.  A run that ends at the Cancel may end before it looks.
class CancelClicker {
public:
    enum class Then { Nothing, Release, ClickAgain };
    CancelClicker(FakePop3Server& server, Then then, std::function<bool()> ready = [] { return true; }) {
        m_poll.setInterval(20);
        QObject::connect(&m_poll, &QTimer::timeout, [this, &server, then, ready] {
            FrmProcess* window = MonitorObj()->MFrm;
            if (!m_clicked) {
                if (window == nullptr || !window->isVisible() || !server.Holding() || !ready()) return;
                m_clicked = true;
                QTest::mouseClick(window->ComCancel, Qt::LeftButton);
                return;
            }
            if (InterruptObj()->Active) return;  // not taken yet
            m_poll.stop();
            if (taken) taken();
            if (then == Then::Release) server.Release();
            if (then == Then::ClickAgain && window != nullptr) QTest::mouseClick(window->ComCancel, Qt::LeftButton);
        });
        m_poll.start();
    }
    bool Clicked() const { return m_clicked; }
    // Once the run is over: a later tick would take its end for the Cancel
    // taken, and act on the next run or on a window being closed.
    void Stop() { m_poll.stop(); }
    std::function<void()> taken;

private:
    QTimer m_poll;
    bool m_clicked = false;
};

// A closing box's text as the status bar shows it, on one line.
inline QString OneLine(const QString& text) { return QString(text).replace(QStringLiteral("\r\n"), QStringLiteral(" ")); }

}  // namespace MailPaneFixture

class MailPaneTest : public ::testing::Test {
protected:
    void SetUp() override { MainFixture::WriteReferenceFiles(); }
    void TearDown() override {
        ThisList.reset();
        w.reset();
    }
    void Load(const QList<MailPaneFixture::Account>& accounts) {
        MailPaneFixture::WriteAccounts(accounts);
        w = std::make_unique<FrmMain>();
        w->Form_Load();
        w->SSTab->setCurrentIndex(3);
    }
    // The mails as a retrieval leaves them: in the list, none ticked.
    void Show(const QList<std::shared_ptr<clsMail>>& mails) {
        w->Session1->Mails = std::make_shared<clsPOP3Session::MailList>(mails.begin(), mails.end());
        w->VL_mail->SetCount(static_cast<int32_t>(mails.size()));
        w->VL_mail->SetAll();
    }
    QString Cell(int32_t row, int32_t column) const {
        QString text;
        w->VL_mail_ItemTextCallback(row, column, text);
        return text;
    }
    // One column's cells, top to bottom.
    QStringList Column(int32_t column) const {
        QStringList cells;
        for (int32_t r = 0; r < w->VL_mail->GetCnt(); ++r) cells << Cell(r, column);
        return cells;
    }
    QList<bool> Ticks() const {
        QList<bool> ticks;
        for (int32_t r = 1; r <= w->VL_mail->GetCnt(); ++r) ticks << w->VL_mail->GetCheckState(r);
        return ticks;
    }
    QString Panel1() const { return w->StatusBar->Panel(1)->Text(); }
    QString Console() const { return w->TxtErrors->Text(); }
    std::unique_ptr<FrmMain> w;
};

#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <vector>

#include <QByteArray>
#include <QEventLoop>
#include <QObject>
#include <QPointer>
#include <QSet>
#include <QString>

#include "IntervalTimer.h"

class QTcpSocket;
class clsError;
class clsInterrupt;
class clsMail;
class clsTrace;

// One POP3 conversation with one mail server, run on the user-interface
// thread: every command blocks its caller, but each wait is a local event
// loop, so the window stays alive, the owner's time-out timer ticks and the
// progress window's Cancel is seen.  A command that fails has raised its
// failure text, reported it and closed the connection.
//
// The server answers in order, so a reply belongs to the oldest command
// without one.  A Cancel during the wait for a command that changes nothing
// on the server closes the connection at once, without QUIT: the reply owed
// tells the user nothing.  During the wait for a DELE, or for the QUIT that
// makes acknowledged deletions final, a Cancel lets that reply arrive
// (within the time-out) and be judged before the conversation ends, and says
// so; a second Cancel closes the connection at once.
class clsPOP3Session : public QObject {
    Q_OBJECT
public:
    using MailList = std::vector<std::shared_ptr<clsMail>>;

    explicit clsPOP3Session(QObject* parent = nullptr);
    ~clsPOP3Session() override;
    clsPOP3Session(const clsPOP3Session&) = delete;
    clsPOP3Session& operator=(const clsPOP3Session&) = delete;

    // The owner's inactivity timer: Interval in ms (0 = none); its tick
    // handler disables it and calls POP3Interrupt.
    QPointer<IntervalTimer> Tmr;
    std::shared_ptr<clsError> MyError;
    std::shared_ptr<clsTrace> MyTrace;
    std::shared_ptr<clsInterrupt> Interrupt;

    int32_t MsgCnt = 0;
    int32_t MsgIdx = 0;
    int32_t MsgTotSize = 0;
    // The messages of the last POP3GetMessages; null = none.
    std::shared_ptr<MailList> Mails;
    int32_t POP3Port = 0;
    int32_t POP3Lines = 0;
    QString POP3User;
    QString POP3Server;
    QString POP3Password;  // scrambled; unscrambled only to build PASS
    bool POP3Full = false;

    // Whether the last POP3DeleteMessage got "+OK" to its DELE, and the last
    // POP3Disconnect "+OK" to its QUIT (only then are marked messages gone).
    bool DeleAcknowledged = false;
    bool QuitAcknowledged = false;
    // The last POP3DeleteMessage sent its DELE and the conversation ended
    // before the reply came: whether the server marked it is not known.
    bool DeleUnanswered = false;
    // The user's Cancel ended the conversation since the last POP3Connect.
    bool Cancelled = false;

    bool POP3GetMessages(bool DoReport, bool DoReport2 = false);
    bool POP3DeleteMessage(const clsMail* M_del);
    bool POP3Connect(bool DoReport);
    bool POP3Disconnect(bool DoReport);
    bool POP3Interrupt(bool DoReport);
    bool POP3Cleanup(bool DoReport);
    bool POP3Login(bool DoReport);
    bool POP3GetStat(bool DoReport);
    bool POP3GetList(bool DoReport);
    // Receives one reply, up to and including EOMsg; bytes after it are
    // dropped.  A multi-line reply whose status is not "+OK" ends at its
    // first line.
    bool ReceiveData(QByteArray& Buffer, const QByteArray& EOMsg);
    // Sends all of Buffer, waiting while the socket's buffer drains.
    bool SendData(QByteArray& Buffer);
    QString GetWSAErrorString(int32_t ErrNbr);

    bool IsConnected() const { return m_socket != nullptr; }

signals:
    void OnPOP3Error(QString text);
    void OnPOP3StateChange(QString text);
    void OnPOP3RetrieveMail(int32_t MsgIdx, int32_t MsgCnt);
    void OnPOP3DownloadComplete();

private:
    enum class WaitEnd { Done, TimedOut, Interrupted, Closed };

    bool ParseList(const QByteArray& reply);
    // A command whose positive reply is parsed; any failure gives the
    // connection up, as every listing command must.
    struct ParsedCommandSteps {
        QByteArray command;
        QByteArray endMarker;
        QString context;
        QString routine;
        bool (clsPOP3Session::*parse)(const QByteArray&);
        QString failure;
    };
    bool ParsedCommand(const ParsedCommandSteps& steps);
    void SetTimer(bool Enable);
    void RestartTimer();
    bool IsTimedOut();
    bool IsInterrupted();
    bool GetStat(const QByteArray& reply);
    void ReportError(const QString& Description, const QString& Context, const QString& Routine);
    bool TraceOn() const;
    void WriteTrace(const QString& ShortText, const QString& VerboseText = QString());
    // A Cancel ends the wait, unless it is the conversation's first and the
    // reply awaited decides something on the server (m_cancelNotice is set).
    WaitEnd Wait(const std::function<bool()>& done);
    // After a reply read whole: a Cancel taken meanwhile ends the
    // conversation with QUIT.
    bool EndIfCancelled();
    void Pump(QEventLoop::ProcessEventsFlags flags = QEventLoop::AllEvents);
    // Refuses a command started from a pump while another one waits.
    bool Refused(const QString& Routine);
    void ErrorReply(const QString& Context, const QString& Routine);
    void ConnectionLost(const QString& Context, const QString& Routine);
    void ReleaseSocket();
    // One command line out and its reply in, with the command trace.
    bool Exchange(QByteArray& Buffer, const QByteArray& EOMsg, const QString& Shown, bool Secret);
    static bool IsOk(const QByteArray& reply) { return reply.startsWith("+OK"); }

    QTcpSocket* m_socket = nullptr;
    std::vector<int32_t> MsgSizes{0};
    // True while window messages are handled: a command begun then would
    // cut into the running one.
    bool m_pumping = false;
    bool m_cutOff = false;  // POP3Interrupt was called from the pump, until the next connect
    qsizetype m_expect = 0;  // what the next reply reserves: the size LIST gave, bounded
    bool m_secret = false;  // the bytes being sent hold the password
    // While the reply awaited decides something on the server: what the
    // status shows when a Cancel does not end the wait.  Empty otherwise.
    QString m_cancelNotice;
    // Message numbers this connection has had a DELE acknowledged for.
    QSet<QString> m_deleted;
};

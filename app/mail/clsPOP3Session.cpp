#include "clsPOP3Session.h"

#include <limits>
#include <optional>

#include <QCoreApplication>
#include <QEventLoop>
#include <QHostAddress>
#include <QTcpSocket>

#include "ReportError.h"
#include "clsError.h"
#include "clsInterrupt.h"
#include "clsMail.h"
#include "clsTrace.h"
#include "modCrypto.h"
#include "MailNumbers.h"
#include "modGlobalFunctionsRecords.h"

namespace {

const QString kModule = QStringLiteral("clsPOP3Session");
const QByteArray kEndLine = QByteArrayLiteral("\r\n");
const QByteArray kEndMulti = QByteArrayLiteral("\r\n.\r\n");
constexpr int32_t kMaxPort = 65535;
// What a reply may reserve up front from the size LIST announced: a server
// may announce sizes it never sends, so beyond this the reply grows with
// the bytes that arrive.
constexpr qsizetype kReplyReserveLimit = qsizetype(16) * 1024 * 1024;
// A headers-only reply is the header block, whatever the whole message's size.
constexpr qsizetype kHeadersReserveLimit = qsizetype(64) * 1024;
// Room for the status line and the end marker around the message.
constexpr qsizetype kReplyFrame = 64;

const QString kCtxConnect = QStringLiteral("Failed To Connect to POP3 Server");
const QString kCtxDisconnect = QStringLiteral("Failed To Disconnect From POP3 Server");
const QString kCtxClose = QStringLiteral("Failed To Close Windows Socket");
const QString kCtxReceive = QStringLiteral("Failed To Receive Data");
const QString kCtxSend = QStringLiteral("Failed To Send Data");
const QString kCtxStat = QStringLiteral("Failed To Get account Stats");
const QString kCtxStatParse = QStringLiteral("Error retrieving POP3 account stats");
const QString kCtxList = QStringLiteral("Failed To Get Message List From Server");
const QString kCtxDelete = QStringLiteral("Error Deleting Message On Mail Server");
const QString kCancelAgain = QStringLiteral("Cancel again to close the connection");

QString Hex(qintptr handle) { return QString::number(handle, 16).toUpper(); }

// The number a token starts with, as a 32-bit count; nothing when it does
// not fit (negative numbers do not fit either).
std::optional<int32_t> Count(const QString& token) {
    const std::optional<int32_t> n = MailNumbers::ToInt32(MailNumbers::LeadingNumber(token));
    if (n && *n < 0) return std::nullopt;
    return n;
}

bool HoldsLineBreakOrNul(const QByteArray& bytes) {
    return bytes.contains('\r') || bytes.contains('\n') || bytes.contains('\0');
}

}  // namespace

clsPOP3Session::clsPOP3Session(QObject* parent) : QObject(parent) {}

clsPOP3Session::~clsPOP3Session() {
    // A session that goes away closes its connection (no QUIT: the server
    // keeps every message).
    if (m_socket != nullptr) {
        m_socket->abort();
        delete m_socket;
        m_socket = nullptr;
    }
}

void clsPOP3Session::ReportError(const QString& Description, const QString& Context, const QString& Routine) {
    modGlobalFunctions::ReportErrorOn(MyError.get(), Description, Context, kModule, Routine, false, true);
}

bool clsPOP3Session::TraceOn() const { return MyTrace && (MyTrace->DoTraceToFile || MyTrace->DoTraceToScreen); }

void clsPOP3Session::WriteTrace(const QString& ShortText, const QString& VerboseText) {
    if (!TraceOn()) return;
    const QString& text = MyTrace->DoVerbose && !VerboseText.isEmpty() ? VerboseText : ShortText;
    MyTrace->Trace(text, QString(), QString(), QString());
}

void clsPOP3Session::SetTimer(bool Enable) {
    if (!Tmr) return;
    if (Tmr->Interval() == 0) Tmr->SetEnabled(false);
    if (Tmr->Interval() > 0) Tmr->SetEnabled(Enable);
}

// The time-out counts inactivity: bytes in or out start its count again.
void clsPOP3Session::RestartTimer() {
    if (Tmr && Tmr->Enabled() && Tmr->Interval() > 0) Tmr->SetInterval(Tmr->Interval());
}

bool clsPOP3Session::IsTimedOut() {
    if (!Tmr || Tmr->Interval() == 0 || Tmr->Enabled()) return false;
    WriteTrace(QStringLiteral("Timeout, no activity for ") + QString::number(Tmr->Interval() / 1000.0) +
               QStringLiteral(" seconds"));
    return true;
}

bool clsPOP3Session::IsInterrupted() {
    if (!Interrupt || !Interrupt->Active) return false;
    Interrupt->IReset();
    Cancelled = true;
    WriteTrace(QStringLiteral("Connection has been interrupted by user"));
    return true;
}

void clsPOP3Session::Pump(QEventLoop::ProcessEventsFlags flags) {
    const bool outer = m_pumping;
    m_pumping = true;
    QCoreApplication::processEvents(flags);
    m_pumping = outer;
}

bool clsPOP3Session::Refused(const QString& Routine) {
    if (!m_pumping) return false;
    ReportError(QStringLiteral("The POP3 session to ") + POP3Server +
                    QStringLiteral(" is still waiting for the server: the command was not started"),
                QStringLiteral("POP3 Session Busy"), Routine);
    return true;
}

// Sleeps in the event loop until an event comes (data, a state change, a
// socket error, a timer tick, a click), then looks again.
clsPOP3Session::WaitEnd clsPOP3Session::Wait(const std::function<bool()>& done) {
    WaitEnd end = WaitEnd::Done;
    for (;;) {
        if (done()) break;
        // The owner closed the connection from the pump (its time-out or its
        // unload): it has said why already.
        if (IsTimedOut() || m_cutOff) {
            end = WaitEnd::TimedOut;
            break;
        }
        const bool firstCancel = !Cancelled;
        if (IsInterrupted()) {
            // The user must learn what the server did: its reply is read
            // first (a QUIT sent now would be answered after it), still
            // bounded by the time-out.
            if (firstCancel && !m_cancelNotice.isEmpty()) {
                WriteTrace(QStringLiteral("The reply in hand is read before the connection is closed"));
                emit OnPOP3StateChange(m_cancelNotice);
                continue;
            }
            SetTimer(false);
            end = WaitEnd::Interrupted;
            break;
        }
        if (m_socket == nullptr || m_socket->state() == QAbstractSocket::UnconnectedState) {
            end = WaitEnd::Closed;
            break;
        }
        Pump(QEventLoop::WaitForMoreEvents);
    }
    return end;
}

void clsPOP3Session::ReleaseSocket() {
    if (m_socket == nullptr) return;
    const qintptr handle = m_socket->socketDescriptor();
    m_socket->abort();
    // Later: the socket may be the sender of the signal being handled.
    m_socket->deleteLater();
    m_socket = nullptr;
    WriteTrace(QStringLiteral("Socket 0x") + Hex(handle < 0 ? 0 : handle) +
               QStringLiteral(" has been successfully closed"));
}

void clsPOP3Session::ConnectionLost(const QString& Context, const QString& Routine) {
    SetTimer(false);
    if (m_cutOff) return;  // closed by the owner, who has said why
    const QString text = QStringLiteral("The connection to ") + POP3Server + QStringLiteral(" was closed");
    emit OnPOP3Error(text);
    ReportError(text, Context, Routine);
    ReleaseSocket();
}

void clsPOP3Session::ErrorReply(const QString& Context, const QString& Routine) {
    emit OnPOP3Error(POP3Server + QStringLiteral(" responded with error status"));
    ReportError(POP3Server + QStringLiteral(" responded with error status, please enable the POP3 trace and retry "
                                            "for additional details"),
                Context, Routine);
}

bool clsPOP3Session::POP3Connect(bool DoReport) {
    if (Refused(QStringLiteral("POP3Connect"))) return false;
    SetTimer(false);
    ReleaseSocket();
    m_cutOff = false;
    m_deleted.clear();
    DeleAcknowledged = false;
    QuitAcknowledged = false;
    DeleUnanswered = false;
    Cancelled = false;
    m_cancelNotice.clear();
    if (POP3Server.isEmpty()) return false;
    if (POP3Lines < 0) POP3Lines = 0;
    if (Interrupt) Interrupt->IReset();
    if (DoReport) emit OnPOP3StateChange(QStringLiteral("Connecting to ") + POP3Server + QStringLiteral(" ..."));

    auto fail = [&](const QString& text) {
        emit OnPOP3Error(text);
        ReportError(text, kCtxConnect, QStringLiteral("POP3Connect"));
        POP3Interrupt(false);
        return false;
    };
    const QString cannotConnect = QStringLiteral("Cannot connect to remote host ") + POP3Server;
    if (POP3Port < 1 || POP3Port > kMaxPort) return fail(cannotConnect);

    m_socket = new QTcpSocket(this);
    m_socket->connectToHost(POP3Server, static_cast<quint16>(POP3Port));
    // The time-out bounds the name lookup and the connect as well.
    SetTimer(true);
    const WaitEnd end = Wait([&] { return m_socket != nullptr && m_socket->state() == QAbstractSocket::ConnectedState; });
    SetTimer(false);
    switch (end) {
    case WaitEnd::TimedOut:
        ReleaseSocket();
        return false;
    case WaitEnd::Interrupted:
        POP3Interrupt(false);
        return false;
    case WaitEnd::Closed:
        if (m_socket != nullptr && m_socket->error() == QAbstractSocket::HostNotFoundError)
            return fail(POP3Server + QStringLiteral(" host could not be found !"));
        return fail(cannotConnect);
    case WaitEnd::Done:
        break;
    }
    WriteTrace(QStringLiteral("Socket created successfully with id : 0x") + Hex(m_socket->socketDescriptor()));
    WriteTrace(QStringLiteral("Successfully connected to ") + m_socket->peerAddress().toString() +
               QStringLiteral(" on port ") + QString::number(POP3Port));

    QByteArray greeting;
    if (!ReceiveData(greeting, kEndLine)) {
        POP3Disconnect(false);
        return false;
    }
    if (!IsOk(greeting)) {
        POP3Disconnect(false);
        ErrorReply(kCtxConnect, QStringLiteral("POP3Connect"));
        return false;
    }
    if (DoReport) emit OnPOP3StateChange(QStringLiteral("Connected to ") + POP3Server);
    return true;
}

bool clsPOP3Session::POP3Disconnect(bool DoReport) {
    if (Refused(QStringLiteral("POP3Disconnect"))) return false;
    SetTimer(false);
    QuitAcknowledged = false;
    if (m_socket == nullptr) return false;
    if (DoReport) emit OnPOP3StateChange(QStringLiteral("Disconnecting from ") + POP3Server + QStringLiteral(" ..."));
    QByteArray buffer = QByteArrayLiteral("QUIT\r\n");
    // Only this QUIT makes the deletions acknowledged before final.
    if (!m_deleted.isEmpty())
        m_cancelNotice = QStringLiteral("Waiting for the server to confirm the deletions; ") + kCancelAgain;
    const bool exchanged = Exchange(buffer, kEndLine, QStringLiteral("QUIT"), false);
    m_cancelNotice.clear();
    if (!exchanged) {
        POP3Interrupt(false);
        return false;
    }
    QuitAcknowledged = IsOk(buffer);
    if (!QuitAcknowledged) ErrorReply(kCtxDisconnect, QStringLiteral("POP3Disconnect"));
    POP3Interrupt(false);
    if (DoReport) emit OnPOP3StateChange(QStringLiteral("Disconnected from ") + POP3Server);
    return true;
}

bool clsPOP3Session::POP3Interrupt(bool DoReport) {
    SetTimer(false);
    if (m_pumping) m_cutOff = true;
    // Only a live connection is closed; without one there is nothing to do.
    ReleaseSocket();
    POP3Cleanup(false);
    if (DoReport) emit OnPOP3StateChange(QStringLiteral("POP3 session interrupted"));
    return true;
}

// Sockets need no library start-up or clean-up here.
bool clsPOP3Session::POP3Cleanup(bool) { return true; }

bool clsPOP3Session::EndIfCancelled() {
    if (!Cancelled) return false;
    POP3Disconnect(false);
    return true;
}

bool clsPOP3Session::SendData(QByteArray& Buffer) {
    SetTimer(true);
    if (m_socket == nullptr || m_socket->state() != QAbstractSocket::ConnectedState) {
        ConnectionLost(kCtxSend, QStringLiteral("SendData"));
        return false;
    }
    qint64 total = 0;
    const QMetaObject::Connection sent = connect(m_socket, &QTcpSocket::bytesWritten, this, [&](qint64 n) {
        total += n;
        RestartTimer();
        // The byte counts of the password line would tell its length.
        if (!m_secret) WriteTrace(QString::number(n) + QStringLiteral(" bytes have been sent"));
    });
    const qint64 queued = m_socket->write(Buffer);
    if (queued < 0) {
        disconnect(sent);
        SetTimer(false);
        emit OnPOP3Error(QStringLiteral("The 'Send' socket function failed"));
        ReportError(QStringLiteral("The 'Send' socket function failed with status : SOCKET_ERROR"), kCtxSend,
                    QStringLiteral("SendData"));
        return false;
    }
    const WaitEnd end = Wait([&] { return m_socket != nullptr && m_socket->bytesToWrite() == 0; });
    disconnect(sent);
    if (end == WaitEnd::Closed) {
        ConnectionLost(kCtxSend, QStringLiteral("SendData"));
        return false;
    }
    // The reply owed would be taken for QUIT's: no QUIT.
    if (end == WaitEnd::Interrupted) POP3Interrupt(false);
    if (end != WaitEnd::Done) return false;
    SetTimer(false);
    Buffer.resize(0);
    if (!m_secret) WriteTrace(QStringLiteral("All bytes have been sent : ") + QString::number(total));
    return true;
}

bool clsPOP3Session::ReceiveData(QByteArray& Buffer, const QByteArray& EOMsg) {
    Buffer.resize(0);
    // A reply of known size grows in place.
    if (m_expect > 0) Buffer.reserve(m_expect);
    m_expect = 0;
    SetTimer(true);
    const bool multiLine = EOMsg == kEndMulti;
    qsizetype searched = 0;  // bytes already searched for the marker
    qsizetype end = -1;      // length of the reply once complete
    bool statusSeen = false;
    // Reads what has come and looks for the end in the new bytes only.
    auto take = [&] {
        while (end < 0 && m_socket != nullptr && m_socket->bytesAvailable() > 0) {
            const qint64 k = m_socket->bytesAvailable();
            const qsizetype old = Buffer.size();
            Buffer.resize(old + k);
            const qint64 got = m_socket->read(Buffer.data() + old, k);
            Buffer.resize(old + qMax<qint64>(got, 0));
            if (got <= 0) break;
            RestartTimer();
            if (TraceOn())
                WriteTrace(QStringLiteral("<<< Received chunk of ") + QString::number(got) +
                               QStringLiteral(" bytes from POP3 Server"),
                           QStringLiteral("<<< Received ") + QString::number(got) +
                               QStringLiteral(" bytes from POP3 Server : \r\n") +
                               QString::fromLatin1(Buffer.constData() + old, got));
            const qsizetype from = qMax<qsizetype>(0, searched - (EOMsg.size() - 1));
            if (multiLine && !statusSeen) {
                // A negative status has no listing after it: its line is the reply.
                const qsizetype eol = Buffer.indexOf(kEndLine, qMax<qsizetype>(0, searched - 1));
                if (eol >= 0) {
                    statusSeen = true;
                    if (!IsOk(Buffer)) end = eol + kEndLine.size();
                }
            }
            if (end < 0) {
                const qsizetype at = Buffer.indexOf(EOMsg, from);
                if (at >= 0) end = at + EOMsg.size();
            }
            searched = Buffer.size();
        }
        return end >= 0;
    };
    const WaitEnd how = Wait(take);
    if (how == WaitEnd::Done) {
        // Bytes after the marker are no part of this reply.
        Buffer.truncate(end);
        // A reply shorter than announced gives the unused reservation back.
        if (Buffer.capacity() / 2 > Buffer.size()) Buffer.squeeze();
        WriteTrace(QStringLiteral("EOM found, all bytes have been received from POP3 Server : ") +
                   QString::number(Buffer.size()));
        SetTimer(false);
        return true;
    }
    if (how == WaitEnd::Closed) ConnectionLost(kCtxReceive, QStringLiteral("ReceiveData"));
    // The rest of this reply would be taken for QUIT's: no QUIT.
    if (how == WaitEnd::Interrupted) POP3Interrupt(false);
    return false;
}

bool clsPOP3Session::Exchange(QByteArray& Buffer, const QByteArray& EOMsg, const QString& Shown, bool Secret) {
    const QString shownLine = Shown + QStringLiteral("\r\n");
    WriteTrace(QStringLiteral(">>> Send : ") + Shown,
               QStringLiteral(">>> Send ") + QString::number(Secret ? shownLine.size() : Buffer.size()) +
                   QStringLiteral(" bytes to POP3 server : \r\n") + (Secret ? shownLine : QString::fromLatin1(Buffer)));
    m_secret = Secret;
    const bool sent = SendData(Buffer);
    m_secret = false;
    if (!sent) return false;
    return ReceiveData(Buffer, EOMsg);
}

bool clsPOP3Session::POP3Login(bool DoReport) {
    (void)DoReport;  // its two state texts are raised whatever it says
    if (Refused(QStringLiteral("POP3Login"))) return false;
    SetTimer(false);
    if (POP3User.isEmpty() || POP3Password.isEmpty()) {
        POP3Disconnect(false);
        return false;
    }
    const QByteArray user = POP3User.toUtf8();
    // The scrambled text holds the password's bytes.
    QByteArray password = modCrypto::DecryptPassword(POP3Password).toLatin1();
    if (HoldsLineBreakOrNul(user) || HoldsLineBreakOrNul(password)) {
        password.fill('\0');
        emit OnPOP3Error(QStringLiteral("POP3 authentication failed"));
        ReportError(QStringLiteral("The user name or the password of account '") + POP3User +
                        QStringLiteral("' holds a line break or NUL character and cannot be sent to ") + POP3Server,
                    kCtxConnect, QStringLiteral("POP3Login"));
        POP3Disconnect(false);
        return false;
    }
    emit OnPOP3StateChange(QStringLiteral("Authenticating ..."));

    QByteArray buffer = QByteArrayLiteral("USER ") + user + kEndLine;
    const QString shownUser = QStringLiteral("USER ") + POP3User;
    WriteTrace(QStringLiteral(">>> Send : ") + shownUser,
               QStringLiteral(">>> Send ") + QString::number(buffer.size()) +
                   QStringLiteral(" bytes to POP3 server : \r\n") + shownUser + QStringLiteral("\r\n"));
    m_secret = false;
    if (!SendData(buffer)) {
        emit OnPOP3Error(QStringLiteral("POP3 authentication failed"));
        POP3Disconnect(false);
        return false;
    }
    const QString authFailed = QStringLiteral("Authentication failed on server ") + POP3Server;
    if (!ReceiveData(buffer, kEndLine)) {
        emit OnPOP3Error(authFailed);
        POP3Disconnect(false);
        return false;
    }
    if (!IsOk(buffer)) {
        ErrorReply(kCtxConnect, QStringLiteral("POP3Login"));
        POP3Disconnect(false);
        return false;
    }

    buffer = QByteArrayLiteral("PASS ") + password + kEndLine;
    password.fill('\0');
    const bool exchanged = Exchange(buffer, kEndLine, QStringLiteral("PASS <password>"), true);
    if (!exchanged) {
        emit OnPOP3Error(authFailed);
        POP3Disconnect(false);
        return false;
    }
    if (!IsOk(buffer)) {
        ErrorReply(kCtxConnect, QStringLiteral("POP3Login"));
        POP3Disconnect(false);
        return false;
    }
    Pump();
    emit OnPOP3StateChange(QStringLiteral("Authentication successful"));
    return true;
}

bool clsPOP3Session::GetStat(const QByteArray& reply) {
    MsgCnt = 0;
    MsgTotSize = 0;
    const QString text = QString::fromLatin1(reply);
    QString status;
    QString count;
    QString size;
    int64_t position = 1;
    const QString blank = QStringLiteral(" ");
    if (!modGlobalFunctions::GetNextRecord(text, status, blank, position)) return false;
    if (!modGlobalFunctions::GetNextRecord(text, count, blank, position)) return false;
    if (!modGlobalFunctions::GetNextRecord(text, size, blank, position)) return false;
    const std::optional<int32_t> c = Count(count);
    const std::optional<int32_t> s = Count(size);
    if (!c || !s) {
        ReportError(QStringLiteral("Overflow"), kCtxStatParse, QStringLiteral("GetStat"));
        return false;
    }
    MsgCnt = *c;
    MsgTotSize = *s;
    return true;
}

bool clsPOP3Session::ParsedCommand(const ParsedCommandSteps& c) {
    SetTimer(false);
    QByteArray buffer = c.command + kEndLine;
    if (!Exchange(buffer, c.endMarker, QString::fromLatin1(c.command), false)) {
        POP3Disconnect(false);
        return false;
    }
    if (!IsOk(buffer)) {
        ErrorReply(c.context, c.routine);
        POP3Disconnect(false);
        return false;
    }
    if (!(this->*c.parse)(buffer)) {
        emit OnPOP3Error(c.failure);
        POP3Disconnect(false);
        return false;
    }
    return true;
}

bool clsPOP3Session::POP3GetStat(bool DoReport) {
    if (Refused(QStringLiteral("POP3GetStat"))) return false;
    if (DoReport) emit OnPOP3StateChange(QStringLiteral("Retrieving mailbox status ..."));
    if (!ParsedCommand({QByteArrayLiteral("STAT"), kEndLine, kCtxStat, QStringLiteral("POP3GetStat"),
                        &clsPOP3Session::GetStat, QStringLiteral("Error retrieving mailbox status")}))
        return false;
    if (DoReport) {
        const QString where = QStringLiteral(" for ") + POP3User + QStringLiteral(" on ") + POP3Server;
        if (MsgCnt == 0)
            emit OnPOP3StateChange(QStringLiteral("There are currently no messages available") + where);
        else if (MsgCnt == 1)
            emit OnPOP3StateChange(QStringLiteral("1 message is available for download") + where);
        else
            emit OnPOP3StateChange(QString::number(MsgCnt) + QStringLiteral(" messages are available for download") +
                                   where);
    }
    return true;
}

bool clsPOP3Session::ParseList(const QByteArray& reply) {
    const qsizetype first = reply.indexOf(kEndLine);
    if (first < 0 || reply.size() < first + 2 + 3) return false;
    // The listing lines, each ending in CR LF, without the final "." CR LF.
    const QByteArray lines = reply.mid(first + 2, reply.size() - (first + 2) - 3);
    MsgSizes.assign(1, 0);
    int32_t count = 0;
    qsizetype pos = 0;
    while (pos < lines.size()) {
        qsizetype eol = lines.indexOf(kEndLine, pos);
        if (eol < 0) eol = lines.size();
        const QString line = QString::fromLatin1(lines.constData() + pos, eol - pos);
        pos = eol + 2;
        if (count == std::numeric_limits<int32_t>::max()) return false;
        ++count;
        MsgSizes.push_back(0);
        QString number;
        QString size;
        int64_t at = 1;
        modGlobalFunctions::GetNextRecord(line, number, QStringLiteral(" "), at);
        modGlobalFunctions::GetNextRecord(line, size, QStringLiteral(" "), at);
        const std::optional<int32_t> n = Count(number);
        if (!n || *n < 1 || *n > count) {
            ReportError(QStringLiteral("The listing gives message number ") + number.trimmed() +
                            QStringLiteral(" on its line ") + QString::number(count) +
                            QStringLiteral(", outside 1 to ") + QString::number(count),
                        QString(), QStringLiteral("ParseList"));
            MsgSizes.assign(1, 0);
            return false;
        }
        MsgSizes[static_cast<size_t>(*n)] = Count(size).value_or(0);
        if (IsInterrupted()) return false;
    }
    if (count != MsgCnt)
        ReportError(QStringLiteral("The STAT and LIST POP3 commands reported different number of messages available "
                                   "on POP3 server (") +
                        QString::number(MsgCnt) + QStringLiteral(" Vs ") + QString::number(count) +
                        QStringLiteral(")"),
                    QString(), QStringLiteral("ParseList"));
    if (count == 0) return false;
    MsgCnt = count;
    return true;
}

bool clsPOP3Session::POP3GetList(bool DoReport) {
    if (Refused(QStringLiteral("POP3GetList"))) return false;
    if (DoReport) emit OnPOP3StateChange(QStringLiteral("Retrieving message listing ..."));
    if (!ParsedCommand({QByteArrayLiteral("LIST"), kEndMulti, kCtxList, QStringLiteral("POP3GetList"),
                        &clsPOP3Session::ParseList, QStringLiteral("Could not retrieve message listing")}))
        return false;
    if (DoReport) emit OnPOP3StateChange(QStringLiteral("Message listing retrieved"));
    return true;
}

bool clsPOP3Session::POP3GetMessages(bool DoReport, bool DoReport2) {
    (void)DoReport2;
    if (Refused(QStringLiteral("POP3GetMessages"))) return false;
    if (DoReport)
        emit OnPOP3StateChange(POP3Full ? QStringLiteral("Retrieving messages ...")
                                        : QStringLiteral("Retrieving message headers ..."));
    Mails = std::make_shared<MailList>();
    m_deleted.clear();
    const int32_t n = MsgCnt;
    bool complete = true;
    for (int64_t i = 1; i <= n; ++i) {
        MsgIdx = static_cast<int32_t>(i);
        Pump();
        if (IsInterrupted()) {
            POP3Disconnect(false);
            complete = false;
            break;
        }
        if (DoReport) emit OnPOP3RetrieveMail(MsgIdx, MsgCnt);
        const int32_t size = static_cast<size_t>(i) < MsgSizes.size() ? MsgSizes[static_cast<size_t>(i)] : 0;
        const QString shown = POP3Full ? QStringLiteral("RETR ") + QString::number(i)
                                       : QStringLiteral("TOP ") + QString::number(i) + QLatin1Char(' ') +
                                             QString::number(POP3Lines);
        QByteArray buffer = shown.toLatin1() + kEndLine;
        m_expect = qMin(static_cast<qsizetype>(size) + kReplyFrame,
                        POP3Full ? kReplyReserveLimit : kHeadersReserveLimit);
        if (!Exchange(buffer, kEndMulti, shown, false)) {
            POP3Disconnect(false);
            complete = false;
            break;
        }
        if (!IsOk(buffer)) {
            ErrorReply(QString(), QStringLiteral("POP3GetMessages"));
            POP3Disconnect(false);
            complete = false;
            break;
        }
        auto mail = std::make_shared<clsMail>();
        mail->mMbxIndex = QString::number(i);
        mail->mRawMessage = std::move(buffer);
        mail->mSize = size;
        Mails->push_back(std::move(mail));
    }
    MsgSizes.assign(1, 0);
    if (!complete) return false;
    MsgIdx = n < std::numeric_limits<int32_t>::max() ? n + 1 : n;
    if (DoReport) {
        emit OnPOP3DownloadComplete();
        QString text;
        if (POP3Full)
            text = QStringLiteral("All messages have been retrieved");
        else if (POP3Lines == 0)
            text = QStringLiteral("All message headers have been retrieved");
        else if (POP3Lines == 1)
            text = QStringLiteral("All messages first line has been retrieved");
        else
            text = QStringLiteral("All messages ") + QString::number(POP3Lines) +
                   QStringLiteral(" first lines have been retrieved");
        emit OnPOP3StateChange(text);
    }
    return true;
}

bool clsPOP3Session::POP3DeleteMessage(const clsMail* M_del) {
    DeleAcknowledged = false;
    DeleUnanswered = false;
    if (Refused(QStringLiteral("POP3DeleteMessage"))) return false;
    if (M_del == nullptr || !Mails) return false;
    // A mail without any of the four texts cannot be told from another.
    const bool identifiable = !(M_del->mMsgID.isEmpty() && M_del->mFrom.isEmpty() && M_del->mSubject.isEmpty() &&
                                M_del->mSendDate.isEmpty());
    const MailList entries = *Mails;
    for (const std::shared_ptr<clsMail>& entry : entries) {
        if (IsInterrupted()) {
            POP3Disconnect(false);
            return false;
        }
        if (!identifiable || !entry || m_deleted.contains(entry->mMbxIndex) || entry->mMsgID != M_del->mMsgID ||
            entry->mFrom != M_del->mFrom || entry->mSubject != M_del->mSubject ||
            entry->mSendDate != M_del->mSendDate) {
            continue;
        }
        const QString shown = QStringLiteral("DELE ") + entry->mMbxIndex;
        QByteArray buffer = shown.toLatin1() + kEndLine;
        WriteTrace(QStringLiteral(">>> Send : ") + shown,
                   QStringLiteral(">>> Send ") + QString::number(buffer.size()) +
                       QStringLiteral(" bytes to POP3 server : ") + shown + QStringLiteral("\r\n"));
        const bool connected = IsConnected();
        m_cancelNotice = QStringLiteral("Waiting for the server's answer to the deletion of mail ") + entry->mMbxIndex +
                         QStringLiteral("; ") + kCancelAgain;
        const bool exchanged = SendData(buffer) && ReceiveData(buffer, kEndLine);
        m_cancelNotice.clear();
        if (!exchanged) {
            DeleUnanswered = connected;
            POP3Disconnect(false);
            return false;
        }
        if (!IsOk(buffer)) {
            POP3Disconnect(false);
            ErrorReply(kCtxDelete, QStringLiteral("POP3DeleteMessage"));
            return false;
        }
        m_deleted.insert(entry->mMbxIndex);
        DeleAcknowledged = true;
        if (EndIfCancelled()) return false;
        Pump();
        return true;
    }
    ReportError(QStringLiteral("Message with sender '") + M_del->mFrom + QStringLiteral("' and subject '") +
                    M_del->mSubject + QStringLiteral("' could not be found in account '") + POP3User +
                    QStringLiteral("' on '") + POP3Server + QStringLiteral("'"),
                kCtxDelete, QStringLiteral("POP3DeleteMessage"));
    Pump();
    return true;
}

// Windows socket error numbers in words; the sockets used here never give
// such numbers, so nothing in the program calls it.
QString clsPOP3Session::GetWSAErrorString(int32_t ErrNbr) {
    struct Row {
        int32_t code;
        const char* text;
    };
    static constexpr Row kRows[] = {
        {10004, "Interrupted system call."},
        {10009, "Bad file number."},
        {10013, "Permission denied."},
        {10014, "Bad address."},
        {10022, "Invalid argument."},
        {10024, "Too many open files."},
        {10035, "Operation would block."},
        {10036, "Operation now in progress."},
        {10037, "Operation already in progress."},
        {10038, "Socket operation on nonsocket."},
        {10039, "Destination address required."},
        {10040, "Message too long."},
        {10041, "Protocol wrong type for socket."},
        {10042, "Protocol not available."},
        {10043, "Protocol not supported."},
        {10044, "Socket type not supported."},
        {10045, "Operation not supported on socket."},
        {10046, "Protocol family not supported."},
        {10047, "Address family not supported by protocol family."},
        {10048, "Address already in use."},
        {10049, "Can't assign requested address."},
        {10050, "Network is down."},
        {10051, "Network is unreachable."},
        {10052, "Network dropped connection."},
        {10053, "Software caused connection abort."},
        {10054, "Connection reset by peer."},
        {10055, "No buffer space available."},
        {10056, "Socket is already connected."},
        {10057, "Socket is not connected."},
        {10058, "Can't send after socket shutdown."},
        {10059, "Too many references: can't splice."},
        {10060, "Connection timed out."},
        {10061, "Connection refused."},
        {10062, "Too many levels of symbolic links."},
        {10063, "File name too long."},
        {10064, "Host is down."},
        {10065, "No route to host."},
        {10066, "Directory not empty."},
        {10067, "Too many processes."},
        {10068, "Too many users."},
        {10069, "Disk quota exceeded."},
        {10070, "Stale NFS file handle."},
        {10071, "Too many levels of remote in path."},
        {10091, "Network subsystem is unusable."},
        {10092, "Winsock DLL cannot support this application."},
        {10093, "Winsock not initialized."},
        {10101, "Disconnect."},
        {11001, "Host not found."},
        {11002, "Nonauthoritative host not found."},
        {11003, "Nonrecoverable error."},
        {11004, "Valid name, no data record of requested type."},
    };
    for (const Row& row : kRows)
        if (row.code == ErrNbr) return QString::fromLatin1(row.text);
    return QString();
}

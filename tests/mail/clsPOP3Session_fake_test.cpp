// The POP3 session against a scripted server: every failure a real server
// rarely shows, each with the lines the server got, the texts raised and the
// reports on the console.
#include <cstdio>
#include <functional>
#include <optional>

#include <unistd.h>

#include <QDeadlineTimer>
#include <QFile>
#include <QTcpServer>
#include <QTemporaryDir>
#include <QThread>
#include <QTimer>

#include <gtest/gtest.h>

#include "FakePop3Server.h"
#include "MailboxFile.h"
#include "SessionRig.h"
#include "TestHarness.h"
#include "clsMail.h"

namespace {

using Lines = QList<QByteArray>;
const Lines kLogin = {"USER user", "PASS secret"};

FakeReply Silent() {
    FakeReply r;
    r.silent = true;
    return r;
}

// What follows the user's Cancel, given while the server withholds a reply
// (so the session is waiting for it), once the session has taken it.
enum class AfterCancel { Nothing, Release, CancelAgain };

class CancelWhileHeld {
public:
    CancelWhileHeld(FakePop3Server& server, AfterCancel then) {
        m_poll.setInterval(5);
        QObject::connect(&m_poll, &QTimer::timeout, [this, &server, then] {
            if (!m_cancelled) {
                if (!server.Holding()) return;
                m_cancelled = true;
                InterruptObj()->ISet(QStringLiteral("Operator"));
                return;
            }
            if (InterruptObj()->Active) return;  // not taken yet
            m_poll.stop();
            if (then == AfterCancel::Release) server.Release();
            if (then == AfterCancel::CancelAgain) InterruptObj()->ISet(QStringLiteral("Operator"));
        });
        m_poll.start();
    }

private:
    QTimer m_poll;
    bool m_cancelled = false;
};

struct RetrievalCase {
    const char* name;
    std::function<void(FakePop3Server&)> script;
    Lines seen;              // the lines the server got, in order
    bool ok;                 // the whole retrieval succeeded
    QStringList errors;      // OnPOP3Error texts, in order
    QStringList reports;     // texts each found on the console
    int mails = -1;          // entries in Mails; -1 = no retrieval ran
    int timeoutMs = 0;
    bool cancel = false;  // Cancel while the server withholds a reply
    bool full = false;
    int lines = 0;
};

const QString kErrStatus = QStringLiteral("127.0.0.1 responded with error status");
const QString kClosed = QStringLiteral("The connection to 127.0.0.1 was closed");

void Reply(FakePop3Server& f, const QByteArray& key, FakeReply r) { f.replies[key] = std::move(r); }

const RetrievalCase kRetrievalCases[] = {
    {"headers only", nullptr, kLogin + Lines{"STAT", "LIST", "TOP 1 0", "TOP 2 0", "QUIT"}, true, {}, {}, 2},
    {"first lines", nullptr, kLogin + Lines{"STAT", "LIST", "TOP 1 25", "TOP 2 25", "QUIT"}, true, {}, {}, 2, 0, 0,
     false, 25},
    {"whole messages", nullptr, kLogin + Lines{"STAT", "LIST", "RETR 1", "RETR 2", "QUIT"}, true, {}, {}, 2, 0, 0,
     true},
    {"no greeting: time-out", [](FakePop3Server& f) { f.greeting.silent = true; }, {}, false, {}, {}, -1, 300},
    {"negative greeting", [](FakePop3Server& f) { f.greeting = {"-ERR go away\r\n"}; }, {"QUIT"}, false,
     {kErrStatus}, {"please enable the POP3 trace"}},
    {"USER refused", [](FakePop3Server& f) { Reply(f, "USER", {"-ERR no\r\n"}); }, {"USER user", "QUIT"}, false,
     {kErrStatus}, {"Failed To Connect to POP3 Server"}},
    {"PASS refused", [](FakePop3Server& f) { Reply(f, "PASS", {"-ERR wrong\r\n"}); }, kLogin + Lines{"QUIT"}, false,
     {kErrStatus}, {"Failed To Connect to POP3 Server"}},
    {"STAT refused", [](FakePop3Server& f) { Reply(f, "STAT", {"-ERR\r\n"}); }, kLogin + Lines{"STAT", "QUIT"},
     false, {kErrStatus}, {"Failed To Get account Stats"}},
    // A multi-line command refused with one line ends at that line.
    {"LIST refused", [](FakePop3Server& f) { Reply(f, "LIST", {"-ERR busy\r\n"}); },
     kLogin + Lines{"STAT", "LIST", "QUIT"}, false, {kErrStatus}, {"Failed To Get Message List From Server"}},
    {"TOP refused", [](FakePop3Server& f) { Reply(f, "TOP 2", {"-ERR gone\r\n"}); },
     kLogin + Lines{"STAT", "LIST", "TOP 1 0", "TOP 2 0", "QUIT"}, false, {kErrStatus}, {}, 1},
    {"RETR refused", [](FakePop3Server& f) { Reply(f, "RETR 1", {"-ERR locked\r\n"}); },
     kLogin + Lines{"STAT", "LIST", "RETR 1", "QUIT"}, false, {kErrStatus}, {"please enable the POP3 trace"}, 0, 0, 0,
     true},
    {"QUIT refused", [](FakePop3Server& f) { Reply(f, "QUIT", {"-ERR not now\r\n", 0, 0, false, true}); },
     kLogin + Lines{"STAT", "LIST", "TOP 1 0", "TOP 2 0", "QUIT"}, true, {kErrStatus},
     {"Failed To Disconnect From POP3 Server"}, 2},
    {"STAT without size", [](FakePop3Server& f) { Reply(f, "STAT", {"+OK 2\r\n"}); },
     kLogin + Lines{"STAT", "QUIT"}, false, {"Error retrieving mailbox status"}, {}},
    {"empty mailbox", [](FakePop3Server& f) { Reply(f, "STAT", {"+OK 0 0\r\n"}); },
     kLogin + Lines{"STAT", "QUIT"}, true, {}, {}},
    {"STAT above 32767", [](FakePop3Server& f) { Reply(f, "STAT", {"+OK 32767 0\r\n"}); Reply(f, "LIST", {"+OK\r\n1 5\r\n.\r\n"}); },
     kLogin + Lines{"STAT", "LIST", "TOP 1 0", "QUIT"}, true, {}, {"(32767 Vs 1)"}, 1},
    {"STAT and LIST differ", [](FakePop3Server& f) { Reply(f, "STAT", {"+OK 3 900\r\n"}); },
     kLogin + Lines{"STAT", "LIST", "TOP 1 0", "TOP 2 0", "QUIT"}, true, {},
     {"reported different number of messages available on POP3 server (3 Vs 2)"}, 2},
    {"empty listing", [](FakePop3Server& f) { Reply(f, "LIST", {"+OK\r\n.\r\n"}); },
     kLogin + Lines{"STAT", "LIST", "QUIT"}, false, {"Could not retrieve message listing"}, {}},
    {"listing number 0", [](FakePop3Server& f) { Reply(f, "LIST", {"+OK\r\n0 5\r\n2 7\r\n.\r\n"}); },
     kLogin + Lines{"STAT", "LIST", "QUIT"}, false, {"Could not retrieve message listing"}, {"outside 1 to 1"}},
    {"listing number above count", [](FakePop3Server& f) { Reply(f, "LIST", {"+OK\r\n1 5\r\n5 120\r\n.\r\n"}); },
     kLogin + Lines{"STAT", "LIST", "QUIT"}, false, {"Could not retrieve message listing"}, {"outside 1 to 2"}},
    {"reply byte by byte", [](FakePop3Server& f) { f.replies["TOP"].piece = 1; f.replies["LIST"].piece = 1; },
     kLogin + Lines{"STAT", "LIST", "TOP 1 0", "TOP 2 0", "QUIT"}, true, {}, {}, 2},
    {"silence: time-out", [](FakePop3Server& f) { Reply(f, "TOP 2", Silent()); },
     kLogin + Lines{"STAT", "LIST", "TOP 1 0", "TOP 2 0"}, false, {}, {}, 1, 300},
    // A Cancel does not wait for a message: the connection closes, no QUIT.
    {"silence, no time-out: Cancel", [](FakePop3Server& f) { Reply(f, "TOP 2", Held({FakePop3Server::Message("two")})); },
     kLogin + Lines{"STAT", "LIST", "TOP 1 0", "TOP 2 0"}, false, {}, {}, 1, 0, true},
    // Data keeps coming, each gap shorter than the time-out, the whole
    // reply much longer.
    {"slow reply inside the time-out",
     [](FakePop3Server& f) { f.replies["TOP"] = {FakePop3Server::Message("slow"), 12, 150}; },
     kLogin + Lines{"STAT", "LIST", "TOP 1 0", "TOP 2 0", "QUIT"}, true, {}, {}, 2, 1000},
    {"closed after greeting", [](FakePop3Server& f) { f.greeting.close = true; }, {}, false, {kClosed},
     {"was closed"}},
    {"closed mid-reply",
     [](FakePop3Server& f) { Reply(f, "RETR 2", {"+OK\r\nFrom: x\r\n\r\nhalf", 0, 0, false, true}); },
     kLogin + Lines{"STAT", "LIST", "RETR 1", "RETR 2"}, false, {kClosed}, {"Failed To Receive Data"}, 1, 0, 0, true},
};

class SessionRetrieval : public ::testing::TestWithParam<RetrievalCase> {};

TEST_P(SessionRetrieval, LinesTextsAndReports) {
    const RetrievalCase& c = GetParam();
    FakePop3Server server;
    if (c.script) c.script(server);
    server.Start();
    SessionRig rig(QStringLiteral("127.0.0.1"), server.Port(), c.timeoutMs);
    rig.s->POP3Full = c.full;
    rig.s->POP3Lines = c.lines;
    std::optional<CancelWhileHeld> cancel;
    if (c.cancel) cancel.emplace(server, AfterCancel::Nothing);
    EXPECT_EQ(rig.Retrieve(), c.ok) << rig.TraceText().toStdString();
    EXPECT_FALSE(rig.s->IsConnected());
    EXPECT_FALSE(InterruptObj()->Active);
    server.Stop();
    EXPECT_EQ(server.Lines(), c.seen);
    // The first texts; a lost connection may add the command's own after.
    EXPECT_EQ(rig.errors.mid(0, c.errors.size()), c.errors) << rig.errors.join(QLatin1Char('|')).toStdString();
    if (c.errors.isEmpty()) {
        EXPECT_TRUE(rig.errors.isEmpty());
    }
    for (const QString& r : c.reports) EXPECT_TRUE(rig.Console().contains(r)) << r.toStdString() << "\n" << rig.Console().toStdString();
    if (c.reports.isEmpty() && c.ok) {
        EXPECT_TRUE(rig.Console().isEmpty()) << rig.Console().toStdString();
    }
    EXPECT_EQ(rig.s->Mails ? static_cast<int>(rig.s->Mails->size()) : -1, c.mails);
    EXPECT_EQ(rig.timeOuts, c.timeoutMs > 0 && !c.ok ? 1 : 0);
    EXPECT_FALSE(rig.TraceText().contains(QStringLiteral("secret")));
}

INSTANTIATE_TEST_SUITE_P(FakeServer, SessionRetrieval, ::testing::ValuesIn(kRetrievalCases),
                         [](const auto& info) {
                             std::string n = info.param.name;
                             for (char& ch : n)
                                 if (!std::isalnum(static_cast<unsigned char>(ch))) ch = '_';
                             return n;
                         });

// A whole retrieval tells its steps in order.
TEST(SessionStates, FullRetrievalInOrder) {
    FakePop3Server server;
    server.Start();
    SessionRig rig(QStringLiteral("127.0.0.1"), server.Port());
    rig.s->POP3Lines = 25;
    QList<int> progress;
    int completes = 0;
    QObject::connect(rig.s.get(), &clsPOP3Session::OnPOP3RetrieveMail, [&](int32_t i, int32_t n) { progress << i << n; });
    QObject::connect(rig.s.get(), &clsPOP3Session::OnPOP3DownloadComplete, [&] { ++completes; });
    ASSERT_TRUE(rig.Retrieve());
    EXPECT_EQ(rig.states, (QStringList{"Connecting to 127.0.0.1 ...", "Connected to 127.0.0.1", "Authenticating ...",
                                       "Authentication successful", "Retrieving mailbox status ...",
                                       "2 messages are available for download for user on 127.0.0.1",
                                       "Retrieving message listing ...", "Message listing retrieved",
                                       "Retrieving message headers ...", "All messages 25 first lines have been retrieved",
                                       "Disconnecting from 127.0.0.1 ...", "Disconnected from 127.0.0.1"}));
    EXPECT_EQ(progress, (QList<int>{1, 2, 2, 2}));
    EXPECT_EQ(completes, 1);
    EXPECT_EQ(rig.s->MsgIdx, 3);
    EXPECT_TRUE(rig.TraceText().contains(QStringLiteral("Successfully connected to 127.0.0.1 on port ") +
                                         QString::number(server.Port())));
    // Without a connection nothing is sent and nothing raised.
    EXPECT_FALSE(rig.s->POP3Disconnect(true));
    EXPECT_EQ(rig.states.size(), 12);
}

// Counts and message numbers past the 16-bit range.
TEST(SessionCounts, MoreThan32767Messages) {
    constexpr int kCount = 32768;
    QByteArray listing = "+OK\r\n";
    for (int n = 1; n <= kCount; ++n) listing += QByteArray::number(n) + " 9\r\n";
    FakePop3Server server;
    server.replies["STAT"] = {"+OK " + QByteArray::number(kCount) + " 294912\r\n"};
    server.replies["LIST"] = {listing + ".\r\n"};
    server.replies["TOP"] = {"+OK\r\nSubject: s\r\n\r\n.\r\n"};
    server.Start();
    SessionRig rig(QStringLiteral("127.0.0.1"), server.Port());
    rig.Trace().DoTraceToScreen = false;
    ASSERT_TRUE(rig.Retrieve()) << rig.Console().toStdString();
    EXPECT_EQ(rig.s->MsgCnt, kCount);
    EXPECT_EQ(rig.s->MsgIdx, kCount + 1);
    ASSERT_EQ(rig.s->Mails->size(), size_t(kCount));
    EXPECT_EQ(rig.s->Mails->at(32766)->mMbxIndex, QStringLiteral("32767"));
    EXPECT_EQ(rig.s->Mails->back()->mMbxIndex, QStringLiteral("32768"));
    EXPECT_EQ(rig.s->Mails->back()->mSize, 9);
    EXPECT_TRUE(rig.Console().isEmpty()) << rig.Console().toStdString();
}

// Message bytes as the server sent them, the status line and end marker
// included, nothing after the marker.
TEST(SessionReplies, RawBytesKeptExactly) {
    const QByteArray longLine(70000, 'x');
    struct Row {
        const char* name;
        QByteArray body;
        QByteArray after;  // sent right after the marker
    };
    const Row rows[] = {
        {"bare LF, NUL and 8-bit bytes", QByteArray("a\nb\0c\xe9\xff\r\n", 9), {}},
        {"dot-stuffed lines", "..x\r\n...\r\n", {}},
        {"line over 64 KB", longLine + "\r\n", {}},
        {"bytes after the marker", "z\r\n", "JUNK\r\n"},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        const QByteArray reply = "+OK\r\nSubject: s\r\n\r\n" + row.body + ".\r\n";
        FakePop3Server server;
        server.replies["STAT"] = {"+OK 1 10\r\n"};
        server.replies["LIST"] = {"+OK\r\n1 10\r\n.\r\n"};
        server.replies["RETR"] = {reply + row.after};
        server.Start();
        SessionRig rig(QStringLiteral("127.0.0.1"), server.Port());
        rig.s->POP3Full = true;
        ASSERT_TRUE(rig.Retrieve());
        ASSERT_EQ(rig.s->Mails->size(), 1u);
        EXPECT_EQ(rig.s->Mails->at(0)->mRawMessage, reply);
        EXPECT_EQ(rig.s->Mails->at(0)->mMbxIndex, QStringLiteral("1"));
        EXPECT_EQ(rig.s->Mails->at(0)->mSize, 10);
        EXPECT_TRUE(rig.s->QuitAcknowledged);
    }
}

// A line of /proc/self/status in KiB ("VmPeak", "VmRSS").
int64_t ProcessKiB(const char* field) {
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly)) return -1;
    const QByteArray key = QByteArray(field) + ':';
    for (const QByteArray& line : status.readAll().split('\n'))
        if (line.startsWith(key)) return line.mid(key.size()).trimmed().split(' ').value(0).toLongLong();
    return -1;
}

// One retrieval, headers only or whole messages, from a server that
// announces 2 GiB per message and sends a few bytes: what it adds to the
// process's peak and resident size, and the capacity each kept reply holds.
// Returns 0 when all stay small; else 1, with the numbers on stderr.
int GrowthFromAnnouncedSizes(bool full) {
    constexpr int64_t kLimitKiB = 256 * 1024;  // against 3 x 2 GiB announced
    constexpr qsizetype kKeptLimit = 64 * 1024;
    FakePop3Server server;
    server.replies["STAT"] = {"+OK 3 2147483647\r\n"};
    server.replies["LIST"] = {"+OK\r\n1 2147483647\r\n2 2147483647\r\n3 2147483647\r\n.\r\n"};
    server.Start();
    SessionRig rig(QStringLiteral("127.0.0.1"), server.Port());
    rig.s->POP3Full = full;
    const int64_t peakBefore = ProcessKiB("VmPeak");
    const int64_t residentBefore = ProcessKiB("VmRSS");
    if (!rig.Retrieve() || rig.s->Mails->size() != 3u) {
        fprintf(stderr, "retrieval failed\n");
        return 1;
    }
    const int64_t peak = ProcessKiB("VmPeak") - peakBefore;
    const int64_t resident = ProcessKiB("VmRSS") - residentBefore;
    int faults = 0;
    if (peak >= kLimitKiB || resident >= kLimitKiB) {
        fprintf(stderr, "peak grew by %lld KiB, resident size by %lld KiB\n", static_cast<long long>(peak),
                static_cast<long long>(resident));
        ++faults;
    }
    for (const std::shared_ptr<clsMail>& mail : *rig.s->Mails) {
        if (mail->mRawMessage != FakePop3Server::Message("one") || mail->mRawMessage.capacity() >= kKeptLimit ||
            mail->mSize != 2147483647) {
            fprintf(stderr, "mail %s: %lld bytes kept in %lld, size %d\n", qPrintable(mail->mMbxIndex),
                    static_cast<long long>(mail->mRawMessage.size()),
                    static_cast<long long>(mail->mRawMessage.capacity()), mail->mSize);
            ++faults;
        }
    }
    server.Stop();
    return faults == 0 ? 0 : 1;
}

// A server that announces sizes it never sends makes the program reserve
// no more than it sends: the whole retrieval, the replies kept, stays small.
// Each mode runs in a process of its own, since a peak is a high-water mark:
// one reached by an earlier run would hide a reservation made by the next.
TEST(SessionReplies, AnnouncedSizesReserveNothingUnsent) {
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    for (const bool full : {true, false}) {
        SCOPED_TRACE(full ? "RETR" : "TOP");
        EXPECT_EXIT(::_exit(GrowthFromAnnouncedSizes(full)), ::testing::ExitedWithCode(0), "");
    }
}

// The end marker arriving in two pieces, cut at each of its bytes.
TEST(SessionReplies, MarkerSplitAtEveryOffset) {
    const QByteArray reply = FakePop3Server::Message("split");
    for (int cut = static_cast<int>(reply.size()) - 6; cut < reply.size(); ++cut) {
        SCOPED_TRACE(cut);
        FakePop3Server server;
        server.replies["TOP"] = {reply, 0, 30, false, false};
        server.replies["TOP"].firstPiece = cut;
        server.Start();
        SessionRig rig(QStringLiteral("127.0.0.1"), server.Port());
        ASSERT_TRUE(rig.Retrieve());
        EXPECT_EQ(rig.s->Mails->at(1)->mRawMessage, reply);
    }
}

TEST(SessionConnect, FailuresBeforeTheGreeting) {
    QTcpServer probe;
    ASSERT_TRUE(probe.listen(QHostAddress::LocalHost));
    const int closedPort = probe.serverPort();
    probe.close();
    struct Row {
        const char* name;
        QString server;
        int port;
        QString error;
    };
    const Row rows[] = {
        {"refused port", QStringLiteral("127.0.0.1"), closedPort, QStringLiteral("Cannot connect to remote host 127.0.0.1")},
        {"unknown host", QStringLiteral("nohost.invalid"), 110, QStringLiteral("nohost.invalid host could not be found !")},
        {"port 0", QStringLiteral("127.0.0.1"), 0, QStringLiteral("Cannot connect to remote host 127.0.0.1")},
        {"port above 65535", QStringLiteral("127.0.0.1"), 65536, QStringLiteral("Cannot connect to remote host 127.0.0.1")},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        SessionRig rig(row.server, row.port);
        EXPECT_FALSE(rig.s->POP3Connect(true));
        EXPECT_FALSE(rig.s->IsConnected());
        EXPECT_EQ(rig.errors, QStringList{row.error});
        EXPECT_TRUE(rig.Console().contains(row.error));
        EXPECT_TRUE(rig.Console().contains(QStringLiteral("Failed To Connect to POP3 Server")));
    }
    SessionRig empty(QString(), 110);
    empty.s->POP3Lines = -5;
    EXPECT_FALSE(empty.s->POP3Connect(true));
    EXPECT_TRUE(empty.errors.isEmpty());
    EXPECT_TRUE(empty.states.isEmpty());
}

// A user name or password that would split the command line never leaves.
TEST(SessionLogin, LineBreakOrNulIsNeverSent) {
    const QByteArray passwords[] = {"se\r\ncret", "a\nb", "a\rb"};
    for (const QByteArray& pw : passwords) {
        FakePop3Server server;
        server.Start();
        SessionRig rig(QStringLiteral("127.0.0.1"), server.Port(), 0, pw);
        ASSERT_TRUE(rig.s->POP3Connect(false));
        EXPECT_FALSE(rig.s->POP3Login(false));
        EXPECT_FALSE(rig.s->IsConnected());
        server.Stop();
        EXPECT_EQ(server.Lines(), Lines{"QUIT"});
        EXPECT_EQ(rig.errors, QStringList{QStringLiteral("POP3 authentication failed")});
        EXPECT_TRUE(rig.Console().contains(QStringLiteral("holds a line break or NUL")));
        EXPECT_FALSE(rig.Console().contains(QString::fromLatin1(pw)));
    }
    FakePop3Server server;
    server.Start();
    SessionRig rig(QStringLiteral("127.0.0.1"), server.Port());
    for (const QString& user : {QStringLiteral("us\rer"), QStringLiteral("us\ner"), QString::fromLatin1("us\0er", 5)}) {
        rig.s->POP3User = user;
        ASSERT_TRUE(rig.s->POP3Connect(false));
        EXPECT_FALSE(rig.s->POP3Login(false));
    }
    server.Stop();
    EXPECT_EQ(server.Lines(), (Lines{"QUIT", "QUIT", "QUIT"}));
}

// A hand-edited account file whose scrambled password has a key digit that
// is no hexadecimal digit: PASS goes out empty, the server's reply decides,
// and the console says why without showing the text.
TEST(SessionLogin, MalformedKeyDigitFromTheAccountFile) {
    const QString scrambled[] = {QString::fromLatin1("00121234567\xff"), QStringLiteral("00121234567G")};
    for (const QString& text : scrambled) {
        SCOPED_TRACE(text.toStdString());
        QTemporaryDir dir;
        ASSERT_TRUE(dir.isValid());
        const QString path = dir.filePath(QStringLiteral("MA_Mailbox.cfg"));
        auto account = std::make_shared<clsPOP3Mailbox>();
        account->POP3User = QStringLiteral("user");
        account->POP3Password = text;
        account->POP3Server = QStringLiteral("127.0.0.1");
        account->POP3Port = 110;
        QByteArray bytes;
        ASSERT_TRUE(MailboxFile::Format(MailboxCollection{account}, bytes));
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(bytes);
        file.close();
        MailboxCollection loaded;
        ASSERT_TRUE(MailboxFile::Read(path, loaded));
        ASSERT_EQ(loaded.size(), 1u);

        FakePop3Server server;
        server.Start();
        SessionRig rig(QStringLiteral("127.0.0.1"), server.Port());
        rig.s->POP3Password = loaded.front()->POP3Password;
        ASSERT_TRUE(rig.s->POP3Connect(false));
        EXPECT_TRUE(rig.s->POP3Login(false));
        EXPECT_TRUE(rig.s->POP3Disconnect(false));
        server.Stop();
        EXPECT_EQ(server.Lines(), (Lines{"USER user", "PASS ", "QUIT"}));
        EXPECT_TRUE(rig.Console().contains(QStringLiteral("the key is not hexadecimal"))) << rig.Console().toStdString();
        EXPECT_FALSE(rig.Console().contains(text));
    }
}

TEST(SessionLogin, EmptyPasswordEndsSilently) {
    FakePop3Server server;
    server.Start();
    SessionRig rig(QStringLiteral("127.0.0.1"), server.Port(), 0, "");
    ASSERT_TRUE(rig.s->POP3Connect(false));
    EXPECT_FALSE(rig.s->POP3Login(true));
    server.Stop();
    EXPECT_EQ(server.Lines(), Lines{"QUIT"});
    EXPECT_TRUE(rig.errors.isEmpty());
    EXPECT_TRUE(rig.Console().isEmpty());
}

// The verbose trace shows the PASS line masked, with the masked line's
// length, and no byte count gives the password's length away.
TEST(SessionTrace, PasswordNeverTraced) {
    for (bool verbose : {false, true}) {
        FakePop3Server server;
        server.Start();
        SessionRig rig(QStringLiteral("127.0.0.1"), server.Port(), 0, "s3cr3tpw_xyz");
        rig.Trace().DoVerbose = verbose;
        ASSERT_TRUE(rig.Retrieve());
        const QString trace = rig.TraceText();
        EXPECT_FALSE(trace.contains(QStringLiteral("s3cr3tpw_xyz")));
        EXPECT_FALSE(trace.contains(rig.s->POP3Password));
        // "PASS s3cr3tpw_xyz\r\n" is 19 bytes.
        EXPECT_FALSE(trace.contains(QStringLiteral(" 19 bytes")));
        EXPECT_FALSE(trace.contains(QStringLiteral(": 19\r")));
        if (verbose)
            EXPECT_TRUE(trace.contains(QStringLiteral(">>> Send 17 bytes to POP3 server : \r\nPASS <password>\r\n")));
        else
            EXPECT_TRUE(trace.contains(QStringLiteral(">>> Send : PASS <password>")));
        EXPECT_TRUE(trace.contains(QStringLiteral(">>> Send : STAT")) || verbose);
    }
}

// A command started from inside a wait (a timer tick in the pump) is
// refused; the running one completes.
TEST(SessionBusy, CommandFromThePumpRefused) {
    FakePop3Server server;
    server.replies["TOP"] = {FakePop3Server::Message("slow"), 5, 30};
    server.Start();
    SessionRig rig(QStringLiteral("127.0.0.1"), server.Port());
    bool inner = true;
    QTimer::singleShot(200, [&] { inner = rig.s->POP3GetStat(false); });
    EXPECT_TRUE(rig.Retrieve());
    EXPECT_FALSE(inner);
    EXPECT_TRUE(rig.Console().contains(QStringLiteral("is still waiting for the server")));
    server.Stop();
    EXPECT_EQ(server.Lines().count("STAT"), 1);
}

// A destroyed session drops its connection without QUIT.
TEST(SessionLifetime, DestroyedSessionClosesItsConnection) {
    FakePop3Server server;
    server.Start();
    SessionRig rig(QStringLiteral("127.0.0.1"), server.Port());
    ASSERT_TRUE(rig.s->POP3Connect(false));
    rig.s.reset();
    for (int i = 0; i < 200 && server.Closed() == 0; ++i) QThread::msleep(10);
    EXPECT_EQ(server.Closed(), 1);
    server.Stop();
    EXPECT_TRUE(server.Lines().isEmpty());
}

// The owner's unload from inside a wait: the connection is cut without
// QUIT or report, and the session deleted once its command has returned.
TEST(SessionLifetime, CutOffAndDeletedFromThePump) {
    FakePop3Server server;
    server.replies["TOP"] = Held({FakePop3Server::Message("one")});
    server.Start();
    SessionRig rig(QStringLiteral("127.0.0.1"), server.Port());
    QPointer<clsPOP3Session> session = rig.s.get();
    // While the session waits for the first message.
    QTimer unload;
    unload.setInterval(5);
    QObject::connect(&unload, &QTimer::timeout, [&] {
        if (!server.Holding()) return;
        unload.stop();
        rig.s->POP3Interrupt(false);
        rig.s.release()->deleteLater();
    });
    unload.start();
    EXPECT_FALSE(session->POP3Connect(false) && session->POP3Login(false) && session->POP3GetStat(false) &&
                 session->POP3GetList(false) && session->POP3GetMessages(false));
    EXPECT_FALSE(session->IsConnected());
    EXPECT_TRUE(rig.errors.isEmpty()) << rig.errors.join(QLatin1Char('|')).toStdString();
    EXPECT_TRUE(rig.Console().isEmpty()) << rig.Console().toStdString();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(session.isNull());
    server.Stop();
    EXPECT_EQ(server.Lines().last(), "TOP 1 0");
}

// More than the socket takes at once: the send waits for the rest, and the
// moving bytes keep the inactivity time-out away.
TEST(SessionSend, LargeBufferSentWhole) {
    FakePop3Server server;
    server.Start();
    SessionRig rig(QStringLiteral("127.0.0.1"), server.Port(), 2000);
    ASSERT_TRUE(rig.s->POP3Connect(false));
    const QByteArray big(8 * 1024 * 1024, 'x');
    QByteArray buffer = big;
    EXPECT_TRUE(rig.s->SendData(buffer)) << rig.TraceText().right(600).toStdString();
    EXPECT_TRUE(buffer.isEmpty());
    EXPECT_TRUE(rig.TraceText().contains(QStringLiteral("All bytes have been sent : 8388608")));
    EXPECT_EQ(rig.timeOuts, 0);
    // Sent means handed to the system; the server reads it at its pace.
    for (int i = 0; i < 500 && server.ReceivedSize() < big.size(); ++i) QThread::msleep(10);
    rig.s->POP3Interrupt(false);
    server.Stop();
    EXPECT_EQ(server.ReceivedSize(), big.size());
}

TEST(SessionErrors, SocketErrorSentences) {
    clsPOP3Session s;
    const std::pair<int32_t, const char*> rows[] = {{10004, "Interrupted system call."},
                                                    {10035, "Operation would block."},
                                                    {10061, "Connection refused."},
                                                    {10101, "Disconnect."},
                                                    {11004, "Valid name, no data record of requested type."},
                                                    {12345, ""},
                                                    {10072, ""}};
    for (const auto& [code, text] : rows) EXPECT_EQ(s.GetWSAErrorString(code), QString::fromLatin1(text)) << code;
}

struct Fields {
    QString id, from, subject, date;
};

void SetFields(clsMail& m, const Fields& f) {
    m.mMsgID = f.id;
    m.mFrom = f.from;
    m.mSubject = f.subject;
    m.mSendDate = f.date;
}

// Two equal mails take one DELE each; a third finds nothing; an empty mail
// matches nothing; QUIT's answer is known.
TEST(SessionDelete, EachScannedMessageTakenOnce) {
    FakePop3Server server;
    server.Start();
    SessionRig rig(QStringLiteral("127.0.0.1"), server.Port());
    ASSERT_TRUE(rig.s->POP3Connect(false) && rig.s->POP3Login(false) && rig.s->POP3GetStat(false) &&
                rig.s->POP3GetList(false) && rig.s->POP3GetMessages(false));
    const Fields same{"<1@x>", "a@b.example", "Hi", "Mon"};
    for (auto& m : *rig.s->Mails) SetFields(*m, same);
    clsMail wanted;
    SetFields(wanted, same);
    clsMail empty;
    struct Step {
        const clsMail* mail;
        bool result;
        bool acknowledged;
        bool notFound;
    };
    const Step steps[] = {{&wanted, true, true, false},
                          {&wanted, true, true, false},
                          {&wanted, true, false, true},
                          {&empty, true, false, true},
                          {nullptr, false, false, false}};
    for (const Step& st : steps) {
        const int before = static_cast<int>(rig.Console().count(QStringLiteral("could not be found")));
        EXPECT_EQ(rig.s->POP3DeleteMessage(st.mail), st.result);
        EXPECT_EQ(rig.s->DeleAcknowledged, st.acknowledged);
        EXPECT_EQ(rig.Console().count(QStringLiteral("could not be found")) > before, st.notFound);
    }
    EXPECT_TRUE(rig.s->POP3Disconnect(false));
    EXPECT_TRUE(rig.s->QuitAcknowledged);
    server.Stop();
    EXPECT_EQ(server.Lines(), (kLogin + Lines{"STAT", "LIST", "TOP 1 0", "TOP 2 0", "DELE 1", "DELE 2", "QUIT"}));
}

TEST(SessionDelete, RefusedDeleAndQuit) {
    FakePop3Server server;
    server.replies["DELE"] = {"-ERR no such message\r\n"};
    server.replies["QUIT"] = {"-ERR later\r\n", 0, 0, false, true};
    server.Start();
    SessionRig rig(QStringLiteral("127.0.0.1"), server.Port());
    ASSERT_TRUE(rig.s->POP3Connect(false) && rig.s->POP3Login(false) && rig.s->POP3GetStat(false) &&
                rig.s->POP3GetList(false) && rig.s->POP3GetMessages(false));
    clsMail wanted;
    SetFields(wanted, {"<1@x>", "a", "s", "d"});
    SetFields(*rig.s->Mails->at(1), {"<1@x>", "a", "s", "d"});
    EXPECT_FALSE(rig.s->POP3DeleteMessage(&wanted));
    EXPECT_FALSE(rig.s->DeleAcknowledged);
    EXPECT_FALSE(rig.s->QuitAcknowledged);
    EXPECT_FALSE(rig.s->IsConnected());
    EXPECT_TRUE(rig.Console().contains(QStringLiteral("Error Deleting Message On Mail Server")));
    server.Stop();
    EXPECT_EQ(server.Lines().mid(6), (Lines{"DELE 2", "QUIT"}));
}

// The lines the server got over the whole connection, once it has seen the
// connection end; a reply still withheld is let go first.
Lines WholeConversation(FakePop3Server& server) {
    // Only a guard: a passing run waits for a close on the loopback.
    constexpr int kGuardMs = 60000;
    if (server.Holding()) server.Release();
    QDeadlineTimer guard(kGuardMs);
    while (server.Closed() == 0 && !guard.hasExpired()) QThread::msleep(1);
    server.Stop();
    return server.Lines();
}

// A Cancel while the server withholds a reply.  The reply to a command that
// changes nothing on the server is not waited for: the connection closes at
// once, without QUIT (the reply would be taken for QUIT's), and what came
// whole before is kept.  The account's time-out is long, so only the Cancel
// ends these.  A DELE's reply says what the server did: it is still read
// within the time-out, the state text says so at once, and it is judged
// before QUIT goes out, whose own reply says whether the server updated the
// mailbox; a second Cancel closes at once and leaves the outcome unknown.
TEST(SessionCancel, EndsAtOnceUnlessTheReplyTellsWhatTheServerDid) {
    constexpr int kLongTimeOutMs = 60000;
    const QString deleWait = QStringLiteral(
        "Waiting for the server's answer to the deletion of mail 2; Cancel again to close the connection");
    const FakeReply quitRefused{"-ERR not now\r\n", 0, 0, false, true};
    const FakeReply quitConfirmed{"+OK bye\r\n", 0, 0, false, true};
    FakeReply cutRetr{FakePop3Server::Message("two")};
    cutRetr.firstPiece = 20;
    const Lines listed = kLogin + Lines{"STAT", "LIST"};
    const Lines scan = listed + Lines{"TOP 1 0", "TOP 2 0"};
    struct Case {
        const char* name;
        const char* command;  // its reply is withheld; "" = the greeting
        FakeReply reply;
        AfterCancel then;
        FakeReply quit;
        Lines seen;
        int mails;  // kept by the retrieval or the deletion's scan; -1 = none
        bool deleAcknowledged;
        bool deleUnanswered;
        bool quitAcknowledged;
        bool waitShown;  // the state text tells the wait for the DELE's reply
        int timeoutMs = kLongTimeOutMs;
        bool full = false;
    } const cases[] = {
        {"greeting", "", {"+OK ready\r\n"}, AfterCancel::Nothing, quitRefused, {}, -1, false, false, false, false},
        {"USER", "USER", {"+OK\r\n"}, AfterCancel::Nothing, quitRefused, {"USER user"}, -1, false, false, false,
         false},
        {"STAT", "STAT", {"+OK 2 320\r\n"}, AfterCancel::Nothing, quitRefused, kLogin + Lines{"STAT"}, -1, false,
         false, false, false},
        {"LIST", "LIST", {"+OK\r\n1 120\r\n2 200\r\n.\r\n"}, AfterCancel::Nothing, quitRefused, listed, -1, false,
         false, false, false},
        {"TOP of the second message", "TOP 2", {FakePop3Server::Message("two")}, AfterCancel::Nothing, quitConfirmed,
         scan, 1, false, false, false, false},
        {"RETR of the second message, cut after its first bytes", "RETR 2", cutRetr, AfterCancel::Nothing,
         quitConfirmed, listed + Lines{"RETR 1", "RETR 2"}, 1, false, false, false, false, kLongTimeOutMs, true},
        {"DELE acknowledged, QUIT refused", "DELE", {"+OK marked\r\n"}, AfterCancel::Release, quitRefused,
         scan + Lines{"DELE 2", "QUIT"}, 2, true, false, false, true},
        {"DELE acknowledged, QUIT confirmed", "DELE", {"+OK marked\r\n"}, AfterCancel::Release, quitConfirmed,
         scan + Lines{"DELE 2", "QUIT"}, 2, true, false, true, true},
        {"DELE refused, QUIT confirmed", "DELE", {"-ERR locked\r\n"}, AfterCancel::Release, quitConfirmed,
         scan + Lines{"DELE 2", "QUIT"}, 2, false, false, true, true},
        {"DELE never answered: time-out", "DELE", {"+OK marked\r\n"}, AfterCancel::Nothing, quitRefused,
         scan + Lines{"DELE 2"}, 2, false, true, false, true, 300},
        {"DELE never answered: second Cancel", "DELE", {"+OK marked\r\n"}, AfterCancel::CancelAgain, quitRefused,
         scan + Lines{"DELE 2"}, 2, false, true, false, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        FakePop3Server server;
        if (*c.command == '\0')
            server.greeting = Held(c.reply);
        else
            server.replies[c.command] = Held(c.reply);
        server.replies["QUIT"] = c.quit;
        server.Start();
        SessionRig rig(QStringLiteral("127.0.0.1"), server.Port(), c.timeoutMs);
        rig.s->POP3Full = c.full;
        CancelWhileHeld cancel(server, c.then);
        if (QByteArray(c.command) == "DELE") {
            ASSERT_TRUE(rig.s->POP3Connect(false) && rig.s->POP3Login(false) && rig.s->POP3GetStat(false) &&
                        rig.s->POP3GetList(false) && rig.s->POP3GetMessages(false));
            clsMail wanted;
            SetFields(wanted, {"<2@x>", "a", "s", "d"});
            SetFields(*rig.s->Mails->at(1), {"<2@x>", "a", "s", "d"});
            EXPECT_FALSE(rig.s->POP3DeleteMessage(&wanted));
        } else {
            EXPECT_FALSE(rig.Retrieve());
        }
        EXPECT_FALSE(rig.s->IsConnected());
        EXPECT_FALSE(InterruptObj()->Active);
        EXPECT_TRUE(rig.s->Cancelled);
        EXPECT_EQ(rig.s->DeleAcknowledged, c.deleAcknowledged);
        EXPECT_EQ(rig.s->DeleUnanswered, c.deleUnanswered);
        EXPECT_EQ(rig.s->QuitAcknowledged, c.quitAcknowledged);
        EXPECT_EQ(rig.s->Mails ? static_cast<int>(rig.s->Mails->size()) : -1, c.mails);
        if (c.mails > 0 && rig.s->Mails && !rig.s->Mails->empty()) {
            EXPECT_EQ(rig.s->Mails->front()->mRawMessage, FakePop3Server::Message("one"));
        }
        EXPECT_EQ(rig.timeOuts, c.timeoutMs < kLongTimeOutMs ? 1 : 0);
        EXPECT_EQ(rig.states.filter(QStringLiteral("Waiting for")), c.waitShown ? QStringList{deleWait} : QStringList{});
        EXPECT_EQ(WholeConversation(server), c.seen);
    }
}

}  // namespace

// The POP3 session against a real server: a private dovecot on 127.0.0.1.
// Skipped, saying why, where dovecot is missing or cannot start.
#include <gtest/gtest.h>

#include "DovecotServer.h"
#include "SessionRig.h"
#include "clsMail.h"

namespace {

const QByteArray kNonAscii = QString::fromUtf8("p\xc3\xa4ssw\xc3\xb6rd").toUtf8();

QByteArray Fixture(int n) {
    return "From: Sender " + QByteArray::number(n) + " <s" + QByteArray::number(n) +
           "@example.org>\r\n"
           "To: user@example.org\r\n"
           "Subject: Message " + QByteArray::number(n) + "\r\n"
           "Message-ID: <m" + QByteArray::number(n) + "@example.org>\r\n"
           "Date: Mon, 1 Jan 2024 10:00:0" + QByteArray::number(n) + " +0000\r\n"
           "\r\n"
           "first line\r\n"
           ".starts with a dot\r\n"
           "last line\r\n";
}

class Dovecot : public ::testing::Test {
protected:
    void SetUp() override {
        server.AddUser("user", "secret");
        server.AddUser("intl", kNonAscii);
        for (int n = 1; n <= 3; ++n) server.AddMessage("user", Fixture(n));
        server.AddMessage("intl", Fixture(9));
        const QString why = server.Start();
        if (!why.isEmpty()) GTEST_SKIP() << why.toStdString();
    }
    DovecotServer server;
};

TEST_F(Dovecot, ThreeRetrievalModes) {
    // The ephemeral port bound is above the old 16-bit limit.
    EXPECT_GT(server.Port(), 32767);
    struct Row {
        bool full;
        int lines;
        bool hasFirstLine;
        bool hasLastLine;
    };
    const Row rows[] = {{false, 0, false, false}, {false, 1, true, false}, {true, 0, true, true}};
    for (const Row& row : rows) {
        SCOPED_TRACE(row.full ? "RETR" : "TOP");
        SessionRig rig(QStringLiteral("127.0.0.1"), server.Port(), 10000);
        rig.s->POP3Full = row.full;
        rig.s->POP3Lines = row.lines;
        ASSERT_TRUE(rig.Retrieve()) << rig.Console().toStdString() << server.Log().toStdString();
        ASSERT_EQ(rig.s->Mails->size(), 3u);
        for (size_t i = 0; i < 3; ++i) {
            clsMail& m = *rig.s->Mails->at(i);
            EXPECT_EQ(m.mMbxIndex, QString::number(i + 1));
            EXPECT_TRUE(m.mRawMessage.startsWith("+OK"));
            EXPECT_TRUE(m.mRawMessage.endsWith("\r\n.\r\n"));
            EXPECT_GT(m.mSize, 0);
            EXPECT_EQ(m.mRawMessage.contains("first line"), row.hasFirstLine);
            EXPECT_EQ(m.mRawMessage.contains("last line"), row.hasLastLine);
            // The server stuffs the dot; the reply keeps it, the message text loses it.
            if (row.full) {
                EXPECT_TRUE(m.mRawMessage.contains("\r\n..starts with a dot\r\n"));
                m.ParseMail();
                EXPECT_TRUE(m.mMsgBody.contains(QStringLiteral("\r\n.starts with a dot\r\n")));
                EXPECT_FALSE(m.mMsgBody.contains(QStringLiteral("..starts")));
                EXPECT_EQ(m.mSubject, QStringLiteral("Message %1").arg(i + 1));
            }
        }
        EXPECT_TRUE(rig.s->QuitAcknowledged);
        EXPECT_TRUE(rig.errors.isEmpty()) << rig.errors.join(QLatin1Char('|')).toStdString();
    }
}

TEST_F(Dovecot, WrongPasswordRefused) {
    SessionRig rig(QStringLiteral("127.0.0.1"), server.Port(), 10000, "not-it");
    EXPECT_FALSE(rig.Retrieve());
    EXPECT_EQ(rig.errors, QStringList{QStringLiteral("127.0.0.1 responded with error status")});
    EXPECT_FALSE(rig.s->IsConnected());
}

TEST_F(Dovecot, NonAsciiPassword) {
    SessionRig rig(QStringLiteral("127.0.0.1"), server.Port(), 10000, kNonAscii);
    rig.s->POP3User = QStringLiteral("intl");
    ASSERT_TRUE(rig.Retrieve()) << rig.Console().toStdString() << server.Log().toStdString();
    EXPECT_EQ(rig.s->Mails->size(), 1u);
}

// DELE marks; only QUIT removes.  A connection lost after DELE keeps the
// message.
TEST_F(Dovecot, DeleteTakesEffectOnlyAfterQuit) {
    struct Row {
        bool quit;
        int left;
    };
    const Row rows[] = {{false, 3}, {true, 2}};
    for (const Row& row : rows) {
        SCOPED_TRACE(row.quit ? "QUIT" : "connection lost");
        SessionRig rig(QStringLiteral("127.0.0.1"), server.Port(), 10000);
        ASSERT_TRUE(rig.s->POP3Connect(false) && rig.s->POP3Login(false) && rig.s->POP3GetStat(false) &&
                    rig.s->POP3GetList(false) && rig.s->POP3GetMessages(false));
        for (auto& m : *rig.s->Mails) m->ParseMail();
        const clsMail wanted = *rig.s->Mails->at(1);
        EXPECT_TRUE(rig.s->POP3DeleteMessage(&wanted));
        EXPECT_TRUE(rig.s->DeleAcknowledged);
        if (row.quit) {
            EXPECT_TRUE(rig.s->POP3Disconnect(false));
            EXPECT_TRUE(rig.s->QuitAcknowledged);
        } else {
            rig.s->POP3Interrupt(false);
        }
        SessionRig check(QStringLiteral("127.0.0.1"), server.Port(), 10000);
        ASSERT_TRUE(check.s->POP3Connect(false) && check.s->POP3Login(false) && check.s->POP3GetStat(false));
        EXPECT_EQ(check.s->MsgCnt, row.left);
        EXPECT_TRUE(check.s->POP3Disconnect(false));
    }
}

}  // namespace

#include <QDateTime>
#include <QString>

#include <gtest/gtest.h>

#include "MailTestSupport.h"
#include "clsMail.h"

namespace {

enum class Field {
    Headers,
    Body,
    From,
    Sender,
    Subject,
    MsgID,
    SendDate,
    Date,
    XPriority,
    Prior,
    Annex,
    LenHea,
    LenBdy,
    LenMsg,
    Raw,
    Reports
};

QString Flag(bool b) { return b ? QStringLiteral("1") : QStringLiteral("0"); }

QString Read(const clsMail& m, Field f) {
    switch (f) {
        case Field::Headers:
            return m.mHeaders;
        case Field::Body:
            return m.mMsgBody;
        case Field::From:
            return m.mFrom;
        case Field::Sender:
            return m.mSender;
        case Field::Subject:
            return m.mSubject;
        case Field::MsgID:
            return m.mMsgID;
        case Field::SendDate:
            return m.mSendDate;
        case Field::Date:
            return m.mDate.isValid() ? m.mDate.toString(Qt::ISODate) : QStringLiteral("0");
        case Field::XPriority:
            return m.mXPriority;
        case Field::Prior:
            return Flag(m.IsPrior);
        case Field::Annex:
            return Flag(m.HasAnnex);
        case Field::LenHea:
            return QString::number(m.LenHea);
        case Field::LenBdy:
            return QString::number(m.LenBdy);
        case Field::LenMsg:
            return QString::number(m.LenMsg);
        case Field::Raw:
            return QString::fromLatin1(m.mRawMessage);
        case Field::Reports:
            break;
    }
    return QString();
}

// One fact about one parsed reply.  Reply holds the message text unless
// Whole says it is the server's reply as it stands.
struct ParseCase {
    const char* name;
    QByteArray message;
    Field field;
    QString expected;
    bool whole = false;
};

const QString kE = QString::fromLatin1("\xe9");  // an 8-bit letter

const ParseCase kCases[] = {
    {"simple message: header block", "From: addr\r\n\r\nHello", Field::Headers, "From: addr"},
    {"simple message: body", "From: addr\r\n\r\nHello", Field::Body, "Hello"},
    {"simple message: header length", "From: addr\r\n\r\nHello", Field::LenHea, "10"},
    {"simple message: body length", "From: addr\r\n\r\nHello", Field::LenBdy, "5"},
    {"simple message: message length", "From: addr\r\n\r\nHello", Field::LenMsg, "19"},
    {"simple message: address", "From: addr\r\n\r\nHello", Field::From, "addr"},
    {"simple message: no display name", "From: addr\r\n\r\nHello", Field::Sender, ""},
    {"simple message: reply emptied", "From: addr\r\n\r\nHello", Field::Raw, ""},
    {"simple message: nothing reported", "From: addr\r\n\r\nHello", Field::Reports, "0"},
    {"headers only keep the last line end", "From: addr\r\nSubject: s\r\n", Field::Headers,
     "From: addr\r\nSubject: s\r\n"},
    {"headers only: no body", "From: addr\r\n", Field::LenBdy, "0"},
    {"dot-stuffed lines lose one dot", "From: a\r\n\r\n..x\r\n...\r\n..", Field::Body, ".x\r\n..\r\n."},
    {"dot-stuffed header line", "From: a\r\n..X: 1\r\n\r\nb", Field::Headers, "From: a\r\n.X: 1"},
    {"dot-stuffed length", "From: a\r\n\r\n..x", Field::LenMsg, "13"},
    {"bytes after the end marker are no part of the reply",
     "+OK\r\nFrom: a\r\n\r\nbody\r\n.\r\n+OK next\r\nFrom: b\r\n\r\nother\r\n.\r\n", Field::Body, "body", true},
    {"a reply without line end is not parsed", "+OK", Field::LenMsg, "3", true},
    {"a reply shorter than its frame", "+OK\r\n.\r\n", Field::LenMsg, "-2", true},
    {"a short reply keeps its bytes", "+OK\r\n.\r\n", Field::Raw, "+OK\r\n.\r\n", true},
    {"empty header block is reported", "\r\n\r\nbody", Field::Reports, "1"},
    {"empty header block keeps the message text", "\r\n\r\nbody", Field::Raw, "\r\n\r\nbody"},
    {"empty header block: no length", "\r\n\r\nbody", Field::LenHea, "0"},
    {"quoted display name", "From: \"John Doe\" <jd@x.org>\r\n", Field::Sender, "John Doe"},
    {"address in brackets", "From: \"John Doe\" <jd@x.org>\r\n", Field::From, "jd@x.org"},
    {"single-quoted display name", "From: 'John' <a@b>\r\n", Field::Sender, "John"},
    {"single quotes inside double quotes stay", "From: \"'John'\" <a@b>\r\n", Field::Sender, "'John'"},
    {"comment after the address", "From: addr (Sales)\r\n", Field::From, "addr"},
    {"comment before the address", "From: (Sales) addr\r\n", Field::From, "Sales"},
    {"blanks inside the brackets stay", "From: Sales < addr >\r\n", Field::From, " addr "},
    {"no closing bracket", "From: <addr\r\n", Field::From, "addr"},
    {"no closing bracket: no name", "From: <addr\r\n", Field::Sender, ""},
    {"8-bit letter ends a display name", "From: Ren\xe9 <r@x.fr>\r\n", Field::Sender, "Ren" + kE},
    {"8-bit letter starts an address", "From: \xe9t\xe9@x.fr\r\n", Field::From, kE + "t" + kE + "@x.fr"},
    {"first sender wins", "From: a@x\r\nFrom: b@x\r\n", Field::From, "a@x"},
    {"blank before the colon is no header", "Subject : Hi\r\n", Field::Subject, ""},
    {"header names in any case", "SUBJECT: Hi\r\n", Field::Subject, "Hi"},
    {"an empty subject lets the next one in", "Subject:\r\nSubject: Re\r\n", Field::Subject, "Re"},
    {"first subject wins", "Subject: One\r\nSubject: Two\r\n", Field::Subject, "One"},
    {"identical headers", "Subject: Same\r\nSubject: Same\r\n", Field::Subject, "Same"},
    {"folded with a blank", "Subject: Hello\r\n world\r\n", Field::Subject, "Hello world"},
    {"folded with a tab", "Subject: Hello\r\n\tworld\r\n", Field::Subject, "Hello\tworld"},
    {"folded header block kept as received", "Subject: Hello\r\n\tworld", Field::Headers, "Subject: Hello\r\n\tworld"},
    {"message id", "Message-ID: <1@x>\r\n", Field::MsgID, "<1@x>"},
    {"date with weekday and zone", "Date: Tue, 8 Dec 2026 19:40:39 +0100\r\n", Field::Date, "2026-12-08T19:40:39Z"},
    {"date text kept", "Date:  Tue, 8 Dec 2026 19:40:39 +0100 \r\n", Field::SendDate, "Tue, 8 Dec 2026 19:40:39 +0100"},
    {"date without seconds", "Date: 8 Dec 2026 19:40\r\n", Field::Date, "2026-12-08T19:40:00Z"},
    {"weekday without comma fails", "Date: Tue 8 Dec 2026 19:40:39\r\n", Field::Date, "0"},
    {"weekday without comma is reported", "Date: Tue 8 Dec 2026 19:40:39\r\n", Field::Reports, "1"},
    {"full month name reads as month 0", "Date: 8 December 2026 10:00\r\n", Field::Date, "2025-12-08T10:00:00Z"},
    {"comma in a trailing comment fails", "Date: 8 Dec 2026 19:40:39 +0100 (CET, summer)\r\n", Field::Date, "0"},
    {"two-digit year below 30", "Date: 8 Dec 26 10:00\r\n", Field::Date, "2026-12-08T10:00:00Z"},
    {"two-digit year from 30", "Date: 8 Dec 98 10:00\r\n", Field::Date, "1998-12-08T10:00:00Z"},
    {"day 0 is the month before's last", "Date: 0 Mar 2024 10:00\r\n", Field::Date, "2024-02-29T10:00:00Z"},
    {"hour 24 is the next day", "Date: 31 Dec 2026 24:00\r\n", Field::Date, "2027-01-01T00:00:00Z"},
    {"a number over 16 bits fails", "Date: 8 Dec 40000 10:00\r\n", Field::Date, "0"},
    {"an empty date fails and is reported", "Date:\r\n", Field::Reports, "1"},
    {"time without colon fails", "Date: 8 Dec 2026 1940\r\n", Field::Date, "0"},
    {"high priority", "X-Priority: 1 (Highest)\r\n", Field::Prior, "1"},
    {"normal priority", "X-Priority: 2\r\n", Field::Prior, "0"},
    {"first priority wins", "X-Priority: 3\r\nX-Priority: 1\r\n", Field::XPriority, "3"},
    {"attachment in the body", "From: a\r\n\r\nContent-Disposition: attachment;\r\n", Field::Annex, "1"},
    {"attachment test is case-sensitive", "From: a\r\n\r\ncontent-disposition: attachment\r\n", Field::Annex, "0"},
    {"attachment in the headers does not count", "Content-Disposition: attachment\r\n\r\nx", Field::Annex, "0"},
    {"NUL and 8-bit bytes in the body stay", QByteArray("From: a\r\n\r\nx\0\xff y", 16), Field::Body,
     QString::fromLatin1("x\0\xff y", 5)},
    {"bare line feed is no line end", "Subject: a\nFrom: b\r\n", Field::Subject, "a\nFrom: b"},
};

void PrintTo(const ParseCase& c, std::ostream* os) { *os << c.name; }

class ParseMailTable : public ::testing::TestWithParam<ParseCase> {};

TEST_P(ParseMailTable, Field) {
    const ParseCase& c = GetParam();
    ServiceTest::Console console;
    clsMail m;
    m.mRawMessage = c.whole ? c.message : MailTest::Reply(c.message);
    m.ParseMail();
    const QString got = c.field == Field::Reports ? QString::number(console.Text().count(QStringLiteral("Message : ")))
                                                  : Read(m, c.field);
    EXPECT_EQ(got, c.expected) << c.name;
}

INSTANTIATE_TEST_SUITE_P(Cases, ParseMailTable, ::testing::ValuesIn(kCases),
                         [](const auto& info) { return "case" + std::to_string(info.index); });

TEST(ParseMail, SecondParseClearsLengthsKeepsFields) {
    clsMail m;
    m.mRawMessage = MailTest::Reply("From: addr\r\n\r\nHello");
    m.ParseMail();
    m.ParseMail();
    EXPECT_EQ(m.LenMsg, 0);
    EXPECT_EQ(m.LenHea, 0);
    EXPECT_EQ(m.LenBdy, 0);
    EXPECT_EQ(m.mHeaders, QStringLiteral("From: addr"));
    EXPECT_EQ(m.mMsgBody, QStringLiteral("Hello"));
}

// A parse that stops early gives back the room reserved for the reply.
TEST(ParseMail, EarlyStopReleasesTheReservation) {
    constexpr qsizetype kReserved = 1024 * 1024;
    constexpr qsizetype kKeptLimit = 4096;
    struct Row {
        const char* name;
        QByteArray reply;
    } const rows[] = {
        {"no line end", "+OK nothing more"},
        {"shorter than its status line and end marker", "+OK\r\n.\r\n"},
        {"empty header block", "+OK\r\n\r\n\r\nbody\r\n.\r\n"},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        ServiceTest::Console console;
        clsMail m;
        m.mRawMessage.reserve(kReserved);
        m.mRawMessage.append(row.reply);
        m.ParseMail();
        EXPECT_TRUE(m.mHeaders.isEmpty());
        EXPECT_LT(m.mRawMessage.capacity(), kKeptLimit);
    }
}

TEST(ParseMail, LineOver64KiB) {
    const QByteArray longLine(70000, 'y');
    clsMail m;
    m.mRawMessage = MailTest::Reply("Subject: " + longLine + "\r\n\r\n" + longLine);
    m.ParseMail();
    EXPECT_EQ(m.mSubject.size(), longLine.size());
    EXPECT_EQ(m.LenBdy, longLine.size());
}

}  // namespace

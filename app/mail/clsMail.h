#pragma once

#include <cstdint>
#include <memory>
#include <vector>

#include <QByteArray>
#include <QDateTime>
#include <QString>

class clsMatch;

// One message fetched from a POP3 mailbox.  The session stores the server's
// reply with the message number and size; ParseMail then reads the header
// fields the rest of the program uses.  Texts are Latin-1 (one character per
// byte); nothing is decoded.
class clsMail {
public:
    int32_t LenMsg = 0;  // the message text; negative when the reply is too short
    int32_t LenBdy = 0;  // mMsgBody; 0 = no body
    int32_t LenHea = 0;  // mHeaders; 0 = no header block
    int32_t mSize = 0;   // octets, from LIST
    QString mFrom;       // sender address
    QString mMsgID;
    QString mSender;  // display name, "" when From has no "<"
    QString mSubject;
    QString mMbxIndex;  // the message number at retrieval, decimal
    QString mSendDate;  // the Date value as received
    QDateTime mDate;    // invalid (sorting first) when missing or unreadable
    QString mXPriority;
    QString mContentType;  // never filled
    QString mHeaders;      // up to the first empty line, folded lines kept
    QString mMsgBody;      // after the first empty line, dot-stuffing removed
    // The reply to TOP or RETR as bytes (status line, message, CR LF "." CR
    // LF); the session may move its receive buffer in.  Emptied by a
    // complete parse.
    QByteArray mRawMessage;
    // Hit positions of the last criteria evaluation; null = none.
    std::shared_ptr<std::vector<std::shared_ptr<clsMatch>>> Matches;
    bool HasAnnex = false;  // the body holds "Content-Disposition: attachment"
    bool IsPrior = false;   // X-Priority begins with "1"

    void ParseMail();
};

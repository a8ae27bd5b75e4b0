#pragma once

#include <cstdint>
#include <memory>
#include <vector>

#include <QString>

// One POP3 account as the account file keeps it.  A record is never changed
// once it is in Mailboxes; a save replaces the whole collection.
class clsPOP3Mailbox {
public:
    QString POP3Server;
    QString POP3User;         // also the account's entry in the account combo
    QString POP3Password;     // scrambled (modCrypto), never the plain password
    int32_t POP3Port = 0;     // 1..65535 reach a server; 32-bit so none is cut short
    int32_t POP3TimeOut = 0;  // inactivity time-out in seconds, 0 = none
};

// Ordered, without keys; item i belongs to entry i - 1 of the account combo.
using MailboxCollection = std::vector<std::shared_ptr<clsPOP3Mailbox>>;

// The program's accounts: created by the main window's load, replaced as a
// whole by the account manager, released at unload.
extern std::shared_ptr<MailboxCollection> Mailboxes;

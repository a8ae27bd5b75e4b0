#include "clsPOP3Mailbox.h"

std::shared_ptr<MailboxCollection> Mailboxes;

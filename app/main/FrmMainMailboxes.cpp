#include "FrmMain.h"

#include <QComboBox>

#include "ErrorTrap.h"
#include "MailboxFile.h"

void FrmMain::LoadMailboxes(const QString& path) {
    Trap(
        [&] {
            Mailboxes = std::make_shared<MailboxCollection>();
            // Without a file read there is nothing to show, and the combo
            // keeps what it has.
            if (!MailboxFile::Read(path, *Mailboxes)) return;
            CboUserName->clear();
            for (const std::shared_ptr<clsPOP3Mailbox>& account : *Mailboxes) CboUserName->addItem(account->POP3User);
            if (CboUserName->count() > 0) CboUserName->setCurrentIndex(0);
        },
        [&](const QString& d) { Report(d, QString(), QStringLiteral("LoadMailboxes")); });
}

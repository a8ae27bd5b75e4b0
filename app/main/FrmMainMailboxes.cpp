#include "FrmMain.h"

#include <QComboBox>

#include "ErrorTrap.h"
#include "FrmMailbox.h"
#include "MailboxFile.h"

void FrmMain::LoadMailboxes(const QString& path) {
    Trap(
        [&] {
            Mailboxes = std::make_shared<MailboxCollection>();
            // Without a file read there is nothing to show, and the combo
            // keeps what it has.
            if (!MailboxFile::Read(path, *Mailboxes)) return;
            CboUserName->clear();
            // Accounts keep typed names as UTF-8 bytes; the combo shows them decoded.
            for (const std::shared_ptr<clsPOP3Mailbox>& account : *Mailboxes)
                CboUserName->addItem(FrmMailbox::Shown(account->POP3User));
            if (CboUserName->count() > 0) CboUserName->setCurrentIndex(0);
        },
        [&](const QString& d) { Report(d, QString(), QStringLiteral("LoadMailboxes")); });
}

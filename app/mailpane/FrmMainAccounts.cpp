// The mailbox tab's account choice: the combo of accounts, the captions that
// name the chosen one, and the account manager behind "Manage Accounts".
#include <QComboBox>
#include <QGroupBox>
#include <QPushButton>
#include <QSignalBlocker>

#include "ErrorTrap.h"
#include "FrmMailbox.h"
#include "FrmMain.h"
#include "ListDialogSeam.h"
#include "clsPOP3Mailbox.h"
#include "clsVirtualListview.h"

namespace {

// The account of a combo entry; null when Mailboxes holds none there.
std::shared_ptr<clsPOP3Mailbox> AccountAt(int index) {
    if (!Mailboxes || index < 0 || static_cast<size_t>(index) >= Mailboxes->size()) return nullptr;
    return Mailboxes->at(static_cast<size_t>(index));
}

}  // namespace

void FrmMain::ConnectMailPaneAccounts() {
    // Emptying the combo is no choice: only a selection runs the handler,
    // whether the user or code makes it.
    connect(CboUserName, &QComboBox::currentIndexChanged, this, [this](int index) {
        if (index >= 0) CboUserName_Click();
    });
    connect(ComMailbox, &QPushButton::clicked, this, &FrmMain::ComMailbox_Click);
}

void FrmMain::CboUserName_Click() {
    Trap(
        [&] {
            const int index = CboUserName->currentIndex();
            if (index >= 0) {
                const std::shared_ptr<clsPOP3Mailbox> account = AccountAt(index);
                if (!account) return;
                const QString user = FrmMailbox::Shown(account->POP3User);
                const QString server = FrmMailbox::Shown(account->POP3Server);
                FraMail->setTitle(QStringLiteral(" Incoming message(s) for '") + user + QStringLiteral("' on '") +
                                  server + QStringLiteral("' "));
                FraMailbox->setTitle(QStringLiteral(" Account '") + user + QStringLiteral("' on '") + server +
                                     QStringLiteral("' "));
            }
            SetButtonPerm();
        },
        [&](const QString& d) { Report(d, QString(), QStringLiteral("CboUserName_Click")); });
}

void FrmMain::SetButtonPerm() {
    Trap(
        [&] {
            const bool chosen = CboUserName->currentIndex() >= 0;
            ComMailGet->setEnabled(chosen);
            ComMailDel->setEnabled(chosen);
            if (VL_mail) VL_mail->SetAll();
        },
        [&](const QString& d) { Report(d, QString(), QStringLiteral("SetButtonPerm")); });
}

void FrmMain::ComMailbox_Click() {
    Trap(
        [&] {
            // The chosen account is found again by its user and server.
            std::unique_ptr<clsPOP3Mailbox> remembered;
            if (CboUserName->count() > 0) {
                if (const std::shared_ptr<clsPOP3Mailbox> chosen = AccountAt(CboUserName->currentIndex())) {
                    remembered = std::make_unique<clsPOP3Mailbox>();
                    remembered->POP3Server = chosen->POP3Server;
                    remembered->POP3User = chosen->POP3User;
                }
            }
            {
                FrmMailbox manager(this);
                manager.Form_Load();
                manager.OwnerForm = this;
                manager.Initialize();
                ListDialogSeam::ShowModal(&manager);
            }
            ComMailGet->setEnabled(false);

            int selected = -1;
            {
                const QSignalBlocker quiet(CboUserName);
                CboUserName->clear();
                if (Mailboxes) {
                    for (size_t i = 0; i < Mailboxes->size(); ++i) {
                        const std::shared_ptr<clsPOP3Mailbox>& account = Mailboxes->at(i);
                        CboUserName->addItem(account ? FrmMailbox::Shown(account->POP3User) : QString());
                        // A later account with the same user and server takes the choice over.
                        if (account && remembered && account->POP3User == remembered->POP3User &&
                            account->POP3Server == remembered->POP3Server)
                            selected = static_cast<int>(i);
                    }
                }
                // The combo picks its first entry by itself; the choice is made below.
                CboUserName->setCurrentIndex(-1);
            }
            if (selected < 0 && CboUserName->count() > 0) selected = 0;
            if (selected >= 0) CboUserName->setCurrentIndex(selected);
        },
        [&](const QString& d) { Report(d, QString(), QStringLiteral("ComMailbox_Click")); });
}

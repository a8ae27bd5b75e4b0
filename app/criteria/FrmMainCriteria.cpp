// The mailbox tab's criteria sets: the combo of the sets, the criteria
// editor, and the selection of the mails a set selects.
#include <QComboBox>
#include <QElapsedTimer>
#include <QPushButton>

#include "ErrorTrap.h"
#include "FrmCriteria.h"
#include "FrmMain.h"
#include "ListDialogSeam.h"
#include "MessagePump.h"
#include "PanelStatusBar.h"
#include "ReportError.h"
#include "Rules.h"
#include "RulesFile.h"
#include "Screen.h"
#include "ServiceObjects.h"
#include "StatusPanel.h"
#include "clsChronometer.h"
#include "clsMail.h"
#include "clsMonitor.h"
#include "clsRule.h"
#include "clsVirtualListview.h"
#include "modGlobalFunctions.h"

namespace {

const QString kModule = QStringLiteral("FrmMain");
constexpr int32_t kSelectionDelayMs = 1500;
constexpr int kProgressPanel = 1;
// Messages run after the first and the last mail and this often between:
// a repaint of the progress text after every mail would cost more than
// judging the mails.
constexpr qint64 kPumpEveryMs = 10;

void ReportHere(const QString& description, const QString& routine) {
    modGlobalFunctions::ReportError(description, QString(), kModule, routine, false, true);
}

}  // namespace

void FrmMain::ConnectCriteria() {
    connect(CboRules, &QComboBox::currentIndexChanged, this, &FrmMain::CboRules_Click);
    connect(ComKeyword, &QPushButton::clicked, this, &FrmMain::ComKeyword_Click);
    connect(ComSelCri, &QPushButton::clicked, this, &FrmMain::ComSelCri_Click);
}

void FrmMain::LoadRules(const QString& path) {
    Trap([&] { RulesFile::LoadRules(path); }, [&](const QString& d) { ReportHere(d, QStringLiteral("LoadRules")); });
}

void FrmMain::LoadRuleCombo() {
    Trap(
        [&] {
            if (!Rules) return;
            CboRules->clear();
            for (const std::shared_ptr<clsRule>& set : *Rules) {
                CboRules->addItem(set ? set->name : QString());
                // Its data is its own position, the set's in Rules.
                CboRules->setItemData(CboRules->count() - 1, CboRules->count());
                MessagePump::DoEvents();
            }
            // Filling chooses nothing; the callers choose.
            CboRules->setCurrentIndex(-1);
        },
        [&](const QString& d) { ReportHere(d, QStringLiteral("LoadRuleCombo")); });
}

// Choosing a set takes effect only when the selection runs.
void FrmMain::CboRules_Click() {}

void FrmMain::ComKeyword_Click() {
    Trap(
        [&] {
            {
                FrmCriteria editor(this);
                editor.Form_Load();
                editor.OwnerForm = this;
                editor.Initialize(static_cast<int16_t>(CboRules->currentIndex() + 1));
                ListDialogSeam::ShowModal(&editor);
            }
            const int p = CboRules->currentIndex();
            LoadRuleCombo();
            const int count = CboRules->count();
            if (count == 0)
                CboRules->setCurrentIndex(-1);
            else if (p == -1)
                CboRules->setCurrentIndex(0);
            else
                CboRules->setCurrentIndex(p < count ? p : -1);
        },
        [&](const QString& d) { ReportHere(d, QStringLiteral("ComKeyword_Click")); });
}

void FrmMain::ComSelCri_Click() {
    // The mails are walked with messages pumped: no other mail command meanwhile.
    MailPaneRun run(this);
    if (MailPaneRefused(run, "ComSelCri_Click")) return;
    const ClosingStep closing(this);
    Trap(
        [&] {
            if (!Rules || !Session1 || !Session1->Mails) return;
            const int position = CboRules->currentIndex();
            if (position < 0) {
                modGlobalFunctions::DisplayMessage(
                    {.message =
                         QStringLiteral("No set of selection criteria has been selected, please select a set first."),
                     .Title = QStringLiteral("Not Set of Criteria Selected"),
                     .IconNb = MsgBoxIcon::Error,
                     .ShowOk = true,
                     .CForm = this,
                     .OForm = this});
                CboRules->setFocus();
                return;
            }
            ChronoObj()->Startup(QStringLiteral("hh:mm:ss"), false);
            MonitorObj()->Delay(kSelectionDelayMs, QStringLiteral("Selecting Messages Based on Criteria"),
                                QStringLiteral("Now selecting message(s) based on criteria set '") +
                                    CboRules->currentText() + QStringLiteral("'"),
                                this, false);
            Screen::Instance()->SetMousePointer(Screen::kHourglassPointer);
            // An entry beyond the sets selects nothing, so it unticks nothing either.
            if (size_t(position) >= Rules->size() || !Rules->at(size_t(position))) return;
            const std::shared_ptr<clsRule> set = Rules->at(size_t(position));
            VL_mail->DeselectAll();
            // Held: the pumps below must not see the mails go.
            const std::shared_ptr<clsPOP3Session::MailList> held = Session1->Mails;
            const clsPOP3Session::MailList& mails = *held;
            const int32_t n = static_cast<int32_t>(mails.size());
            const QString outOf = QStringLiteral(" out of ") + QString::number(n);
            StatusPanel* progress = StatusBar->Panel(kProgressPanel);
            QElapsedTimer sincePump;
            for (int32_t r = 1; r <= n; ++r) {
                const int32_t m = VL_mail->Idx(r);
                // A row without its mail (a list not yet in step) stays unticked.
                if (m >= 1 && m <= n && mails.at(size_t(m) - 1))
                    VL_mail->SetCheckState(r, set->Evaluate(mails.at(size_t(m) - 1).get()));
                const QString text = QStringLiteral("Checking mail ") + QString::number(r) + outOf;
                MonitorObj()->Action(text);
                progress->SetText(text);
                if (r == 1 || r == n || sincePump.elapsed() >= kPumpEveryMs) {
                    MessagePump::DoEvents();
                    sincePump.start();
                }
            }
            progress->SetText(QString());
            VL_mail->SetAll();
            VL_mail->Refresh();
            DisplayDetails(VL_mail->Idx(VL_mail->GetItem() + 1));
            MessagePump::DoEvents();
        },
        [&](const QString& d) { ReportHere(d, QStringLiteral("ComSelCri_Click")); });
}

// Save as Bcc List: the addresses of a side's selected entries as one
// comma-separated line, to paste as the blind-copy recipients of a mail.
#include <memory>

#include <QFile>
#include <QPushButton>

#include "ErrorTrap.h"
#include "FrmMain.h"
#include "FrmSaveList.h"
#include "ListDialogSeam.h"
#include "ListPane.h"
#include "ListsCol.h"
#include "MessagePump.h"
#include "MsgBoxTypes.h"
#include "OrmidYRB100.h"
#include "Screen.h"
#include "ServiceObjects.h"
#include "clsChronometer.h"
#include "clsMonitor.h"
#include "modGlobalFunctions.h"

namespace {
constexpr int32_t kBccProgressDelayMs = 2000;
constexpr int32_t kForward = 0;
constexpr int32_t kAddressOnly = 0;
constexpr int32_t kOneFile = 0;
// One line: the addresses joined by commas, nothing after the last.
const char* const kBccSeparator = ",";
const char* const kWriteMode = "wb";
const char* const kRoutine = "M_Popup1Bcc_Click";
}  // namespace

void FrmMain::M_Popup1Bcc_Click() {
    ClosingStep closing(this);
    const QString routine = QLatin1String(kRoutine);
    const QString context = QStringLiteral("Error Spliting List to File");
    Trap(
        [&] {
            if (!ThisList) {
                Report(QStringLiteral("List Object not Set"), context, routine);
                return;
            }
            const ListPaneRef pane = ThisList;
            // The side follows the pane's list number, read again at each use.
            auto side = [&] { return SideOf(pane.get()); };
            if (!side()) {
                Report(QStringLiteral("The list '") + pane->name + QStringLiteral("' cannot be saved from here"),
                       context, routine);
                return;
            }
            if (pane->GetSel() == 0) return;

            clsEmailList work;
            side().listDesc->CopyTo(&work);
            auto dialog = std::make_unique<FrmSaveList>(this);
            dialog->Form_Load();
            dialog->OwnerForm = this;
            dialog->ComSave->setText(QStringLiteral("Save"));
            dialog->setWindowTitle(QStringLiteral("Save Bcc List to file"));
            dialog->SetDisplay();
            dialog->Initialize(&work);
            ListDialogSeam::ShowModal(dialog.get());
            const bool cancel = dialog->Cancel;
            dialog->Unload();
            dialog.reset();
            if (cancel) return;
            MessagePump::DoEvents();

            work.CopyTo(side().resultsDesc);
            StartProgress(kBccProgressDelayMs, QStringLiteral("Saving Bcc List To File"),
                          QStringLiteral("Now Saving Bcc list to file"));
            // Negative: the engine has said why, or the user stopped it (a
            // stop keeps what was written so far, as asked).  The output's
            // pattern is not deleted: it would also take other lists of the
            // folder.
            const int32_t result =
                YRB01(side().slot, YRB_FLAG_SELECTED, YRB_MASK_REMOVED, kForward, kAddressOnly, "", kBccSeparator,
                      QFile::encodeName(work.NameOut).constData(), kOneFile, kWriteMode);
            if (result < 0) return;

            side().view->setEnabled(side().resultsDesc->HasResults());
            MonitorObj()->Shutdown();
            ChronoObj()->Shutdown();
            Screen::Instance()->SetMousePointer(Screen::kDefaultPointer);
            modGlobalFunctions::DisplayMessage({.message = QStringLiteral("The Bcc List has been successfully saved"),
                                                .Title = QStringLiteral("Bcc List Save Successful"),
                                                .IconNb = MsgBoxIcon::Logo,
                                                .ShowOk = true,
                                                .CForm = this,
                                                .OForm = this});
        },
        [&](const QString& d) { Report(d, context, routine); });
}

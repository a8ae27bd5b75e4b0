// Merge to file: the left list's entries, then the right list's, in one
// file of the layout the save dialog gives.  Nothing is de-duplicated.
#include <memory>

#include <QCheckBox>
#include <QFile>
#include <QPushButton>

#include "ErrorTrap.h"
#include "FrmMain.h"
#include "FrmSaveList.h"
#include "ListDialogSeam.h"
#include "MsgBoxTypes.h"
#include "OrmidYRB100.h"
#include "OwnerEnabler.h"
#include "Screen.h"
#include "ServiceObjects.h"
#include "WholeFile.h"
#include "clsChronometer.h"
#include "clsMonitor.h"
#include "clsVL2.h"
#include "modGlobalFunctions.h"

namespace {
constexpr int32_t kMergeProgressDelayMs = 2000;
constexpr int32_t kForward = 0;
constexpr int32_t kOneFile = 0;
constexpr int32_t kLeft = 1;
constexpr int32_t kRight = 2;
// The left list replaces the file; the right one is appended after a
// record separator.
const char* const kCreateMode = "wb";
const char* const kAppendMode = "a+b";
}  // namespace

void FrmMain::ConnectMerge() { connect(ComSMerge, &QPushButton::clicked, this, &FrmMain::ComSMerge_Click); }

void FrmMain::ComSMerge_Click() {
    ClosingStep closing(this);
    const QString routine = QStringLiteral("ComSMerge_Click");
    const QString context = QStringLiteral("Error Saving List Content to File");
    auto refuse = [&](const QString& text, const QString& title) {
        modGlobalFunctions::DisplayMessage({.message = text,
                                            .Title = title,
                                            .IconNb = MsgBoxIcon::Warning,
                                            .ShowOk = true,
                                            .CForm = this,
                                            .OForm = this});
    };
    Trap(
        [&] {
            const bool selectedOnly = ChkMergeSelect->isChecked();
            const WorkspaceSide sides[] = {Side(kLeft), Side(kRight)};
            for (const WorkspaceSide& side : sides)
                if (YRB14(side.slot) != 0)
                    return refuse(QStringLiteral("The ") + side.word + QStringLiteral(" list is empty !"),
                                  QStringLiteral("Empty List"));
            for (const WorkspaceSide& side : sides)
                if (side.pane->GetCnt() == 0)
                    return refuse(QStringLiteral("The ") + side.word + QStringLiteral(" list contains no entries"),
                                  QStringLiteral("Empty List"));
            for (const WorkspaceSide& side : sides)
                if (selectedOnly && side.pane->GetSel() == 0)
                    return refuse(QStringLiteral("No entries are selected in ") + side.word + QStringLiteral(" list"),
                                  QStringLiteral("No Entries selected"));

            auto dialog = std::make_unique<FrmSaveList>(this);
            dialog->Form_Load();
            dialog->OwnerForm = this;
            dialog->ComSave->setText(QStringLiteral("Merge"));
            dialog->setWindowTitle(QStringLiteral("Merge Left and Right lists"));
            dialog->SetDisplay({.DoSepFld = true, .DoSepRec = true, .DoFull = true, .DoMore = true});
            // A fresh descriptor each run: the dialog always opens on the defaults.
            clsEmailList work;
            work.KeepAllCols = false;
            dialog->Initialize(&work);
            ListDialogSeam::ShowModal(dialog.get());
            const bool cancel = dialog->Cancel;
            dialog->Unload();
            dialog.reset();
            if (cancel) return;

            StartProgress(kMergeProgressDelayMs, QStringLiteral("Merging To File"),
                          QStringLiteral("Now merging Left and Right lists"));
            const int32_t must = selectedOnly ? YRB_FLAG_SELECTED : 0;
            const int32_t whole = work.KeepAllCols ? 1 : 0;
            const QByteArray fieldSep = work.FieldSep().toLatin1();
            const QByteArray recordSep = work.RecordSep().toLatin1();
            // The output's former content is kept until both halves are
            // written: a failed half puts it back.
            FormerContent former;
            former.SetAside(work.NameOut);
            const QByteArray path = QFile::encodeName(work.NameOut);
            auto write = [&](int32_t slot, const char* mode) {
                return YRB01(slot, must, YRB_MASK_REMOVED, kForward, whole, fieldSep.constData(),
                             recordSep.constData(), path.constData(), kOneFile, mode);
            };
            // Negative: the engine has said why, or the user stopped it.  A
            // stop keeps what was written so far, as asked.
            int32_t result = write(kLeft, kCreateMode);
            if (result >= 0) result = write(kRight, kAppendMode);
            if (result == YRB_STOPPED) return former.Drop();
            if (result < 0) return;
            former.Drop();

            ChronoObj()->Shutdown();
            MonitorObj()->Shutdown();
            OwnerEnabler::SetEnabled(this, true);
            Screen::Instance()->SetMousePointer(Screen::kDefaultPointer);
            modGlobalFunctions::DisplayMessage(
                {.message = QStringLiteral("The Left and Right List have been successfully merged"),
                 .Title = QStringLiteral("List Merge Successful"),
                 .IconNb = MsgBoxIcon::Logo,
                 .ShowOk = true,
                 .CForm = this,
                 .OForm = this});
        },
        [&](const QString& d) { Report(d, context, routine); });
}

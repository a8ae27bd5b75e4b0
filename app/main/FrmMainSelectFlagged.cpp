// "Select ..." Duplicate and Invalid: the selection of a list replaced by
// the entries the engine finds duplicate or invalid, without flagging them
// or writing a report; and Remove Selection on the pane in ThisList.
#include "ErrorTrap.h"
#include "FrmMain.h"
#include "ListsCol.h"
#include "MsgBoxTypes.h"
#include "OrmidYRB100.h"
#include "Screen.h"
#include "ServiceObjects.h"
#include "clsMonitor.h"
#include "clsVL2.h"
#include "modGlobalFunctions.h"

namespace {

constexpr int32_t kSelectProgressDelayMs = 2000;
constexpr int32_t kRemoveProgressDelayMs = 2000;

// Of each group of equal addresses all but the first in address order.
int32_t SelectDuplicates(int32_t slot) { return YRB11(slot, YRB_PART_ADDRESS, YRB_FLAG_SELECTED, 0, 0, ""); }
int32_t SelectInvalids(int32_t slot) { return YRB12(slot, YRB_FLAG_SELECTED, 0, 0, ""); }

}  // namespace

struct FrmMain::FlaggedSelection {
    const char* routine;
    const char* caption;
    const char* message;
    int32_t (*select)(int32_t slot);
};

void FrmMain::SelectFlagged(const FlaggedSelection& command) {
    const ClosingStep closing(this);
    const QString routine = QLatin1String(command.routine);
    Trap(
        [&] {
            const ListPaneRef pane = ThisList;
            if (!SideOf(pane.get())) {
                Report(pane ? QStringLiteral("Type mismatch: '%1' is not a list held by the engine").arg(pane->name)
                            : QStringLiteral("List Object not Set"),
                       QString(), routine);
                return;
            }
            StartProgress(kSelectProgressDelayMs, QLatin1String(command.caption), QLatin1String(command.message));
            Screen::Instance()->SetMousePointer(Screen::kHourglassPointer);
            pane->DeselectAll();
            // A failure or a stop has been told by the engine; the pane shows
            // whatever selection it left.
            command.select(pane->VListNb);
            pane->SetAll();
            pane->Refresh();
        },
        [&](const QString& d) { Report(d, QString(), routine); });
}

void FrmMain::M_Popup1Duplicate_Click() {
    SelectFlagged({"M_Popup1Duplicate_Click", "Select Duplicates", "Now selecting duplicate entries", &SelectDuplicates});
}

void FrmMain::M_Popup1Invalid_Click() {
    SelectFlagged({"M_Popup1Invalid_Click", "Select Invalid", "Now selecting invalid entries", &SelectInvalids});
}

// The menu never offers it and Ctrl+R follows the menu; kept whole for the
// panes that can remove.
void FrmMain::M_Popup1Remove_Click() {
    // The elapsed-time meter is not started here; stopping it is harmless.
    const ClosingStep closing(this);
    const QString routine = QStringLiteral("M_Popup1Remove_Click");
    Trap(
        [&] {
            Screen::Instance()->SetMousePointer(Screen::kHourglassPointer);
            const ListPaneRef pane = ThisList;
            if (!pane) {
                Report(QStringLiteral("List Object not Set"), QString(), routine);
                return;
            }
            if (pane->GetCnt() == 0) return;
            const int answer = modGlobalFunctions::DisplayMessage(
                {.message = QStringLiteral("Are you sure you want to remove the selected Item(s) from the list ?"),
                 .Title = QStringLiteral("Remove Selected Items ?"),
                 .IconNb = MsgBoxIcon::Question,
                 .Focus = MsgBoxButton::No,
                 .ShowYes = true,
                 .ShowNo = true,
                 .CForm = pane->Frm});
            // Only a pressed Yes removes: a box closed without an answer, or
            // by itself, removes nothing.
            if (answer != MsgBoxButton::Yes) return;
            // The panes with their own row index cannot take rows out.
            if (dynamic_cast<clsVirtualListview*>(pane.get()) != nullptr && !SideOf(pane.get())) {
                Report(QStringLiteral("The list '%1' cannot remove its selection").arg(pane->name), QString(), routine);
                return;
            }
            Screen::Instance()->SetMousePointer(Screen::kHourglassPointer);
            MonitorObj()->Delay(kRemoveProgressDelayMs, QStringLiteral("Now Removing File From the List"),
                                QStringLiteral("Please wait a couple of seconds while the selected files are being "
                                               "removed from the list"),
                                pane->Frm, true);
            // No new row count: an engine-bound pane keeps a row for every
            // entry, removed ones included, and a simple list pane already
            // shows what is left.
            pane->RemoveSel();
            pane->SetAll();
            pane->Refresh();
        },
        [&](const QString& d) { Report(d, QString(), routine); });
}

// The entry flag commands of the two lists' popup menu: one entry flagged
// invalid, duplicate or deleted by hand or un-flagged again, and every mark
// of every entry of a side removed at once.
#include <QCheckBox>

#include "ErrorTrap.h"
#include "FrmMain.h"
#include "ListsCol.h"
#include "MessagePump.h"
#include "OrmidYRB100.h"
#include "clsVL2.h"
#include "modCallBack.h"

namespace {

constexpr int32_t kNoRow = -1;

// What a pane other than the two lists answers to these commands.
QString NotAnEngineList(const ListPaneRef& pane) {
    if (!pane) return QStringLiteral("List Object not Set");
    return QStringLiteral("Type mismatch: '%1' is not a list held by the engine").arg(pane->name);
}

}  // namespace

struct FrmMain::EntryFlagCommand {
    const char* routine;
    int32_t mode;  // YRB_MODE_SET or YRB_MODE_CLEAR
    int32_t mask;
    bool hourglass;       // the un-flag commands show it, the flag commands do not
    const char* failure;  // followed by the entry index
};

void FrmMain::FlagEntry(const EntryFlagCommand& command) {
    PointerGuard pointer;
    const QString routine = QLatin1String(command.routine);
    Trap(
        [&] {
            const ListPaneRef pane = ThisList;
            if (!SideOf(pane.get())) {
                Report(NotAnEngineList(pane), QString(), routine);
                return;
            }
            if (command.hourglass) pointer.Hourglass();
            const int32_t item = pane->Item;
            // Off the rows: the engine would take a negative index as every entry.
            if (item <= kNoRow) return;
            if (YRB10(pane->VListNb, item, command.mode, command.mask, 0, 0, &modCallBack::EngineCallbackTable) < 0)
                Report(QLatin1String(command.failure) + QString::number(item), QString(), routine);
            // Shown as the engine left it, also after a failure.
            pane->RepaintItem(item);
            pane->SetAll();
        },
        [&](const QString& d) { Report(d, QString(), routine); });
}

void FrmMain::M_Popup1MarkInv_Click() {
    FlagEntry({"M_Popup1MarkInv_Click", YRB_MODE_SET, YRB_FLAG_INVALID, false,
               "The 'Invalid' flag could not be set for entry "});
}
void FrmMain::M_Popup1MarkDup_Click() {
    FlagEntry({"M_Popup1MarkDup_Click", YRB_MODE_SET, YRB_FLAG_DUPLICATE, false,
               "The 'Duplicate' flag could not be set for entry "});
}
void FrmMain::M_Popup1MarkDel_Click() {
    FlagEntry({"M_Popup1MarkDel_Click", YRB_MODE_SET, YRB_FLAG_DELETED, false,
               "The 'Deleted' flag could not be set for entry "});
}
void FrmMain::M_Popup1UnMarkAll_Click() {
    FlagEntry({"M_Popup1UnMarkAll_Click", YRB_MODE_CLEAR, YRB_MASK_ALL_MARKS, true,
               "The flags could not be reset for entry "});
}
void FrmMain::M_Popup1UnMarkInv_Click() {
    FlagEntry({"M_Popup1UnMarkInv_Click", YRB_MODE_CLEAR, YRB_FLAG_INVALID, true,
               "The 'Invalid' flag could not be reset for entry "});
}
void FrmMain::M_Popup1UnMarkDup_Click() {
    FlagEntry({"M_Popup1UnMarkDup_Click", YRB_MODE_CLEAR, YRB_FLAG_DUPLICATE, true,
               "The 'Duplicate' flag could not be reset for entry "});
}
void FrmMain::M_Popup1UnMarkDel_Click() {
    FlagEntry({"M_Popup1UnMarkDel_Click", YRB_MODE_CLEAR, YRB_FLAG_DELETED, true,
               "The 'Deleted' flag could not be reset for entry "});
}

void FrmMain::M_Popup1UnMarkFull_Click() {
    PointerGuard pointer;
    const QString routine = QStringLiteral("M_Popup1UnMarkFull_Click");
    Trap(
        [&] {
            const ListPaneRef pane = ThisList;
            const WorkspaceSide side = SideOf(pane.get());
            if (!side) {
                Report(NotAnEngineList(pane), QString(), routine);
                return;
            }
            pointer.Hourglass();
            // Silent and unchecked: the selection and the work mark stay.
            YRB10(pane->VListNb, YRB_ALL_ENTRIES, YRB_MODE_CLEAR, YRB_MASK_ALL_MARKS, 0, 0, nullptr);
            {
                // The boxes go blank without their work: no report removed, no sort.
                const MarkClicksSuppressed suppressed(this);
                MessagePump::DoEvents();
                side.markInv->setChecked(false);
                side.markDup->setChecked(false);
                side.markDel->setChecked(false);
            }
            pane->SetAll();
            pane->Refresh();
        },
        [&](const QString& d) { Report(d, QString(), routine); });
}

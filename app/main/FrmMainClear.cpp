// Clear List: one side of the workspace emptied after a question; its pane,
// caption, flag boxes and "Results" go back to their empty state, and the
// other list loses its compare marks.  Descriptors and result files stay.
#include <QCheckBox>
#include <QGroupBox>
#include <QPushButton>

#include "ErrorTrap.h"
#include "FrmMain.h"
#include "ListIcons.h"
#include "ListsCol.h"
#include "MessagePump.h"
#include "MsgBoxTypes.h"
#include "OrmidYRB100.h"
#include "clsVL2.h"
#include "modCallBack.h"
#include "modGlobalFunctions.h"

namespace {
// The headers that lose their sort arrow: selection and "User".  "Domain"
// keeps the one its last sort gave it, as after an import.
constexpr int32_t kSelectionColumn = 0;
constexpr int32_t kUserColumn = 1;
}  // namespace

void FrmMain::M_Popup1Clear_Click() {
    PointerGuard pointer;
    pointer.Hourglass();
    const QString routine = QStringLiteral("M_Popup1Clear_Click");
    Trap(
        [&] {
            ListPaneRef pane = ThisList;
            if (!pane) {
                Report(QStringLiteral("List Object not Set"), QString(), routine);
                return;
            }
            const WorkspaceSide side = SideOf(pane.get());
            if (!side) {
                Report(QStringLiteral("Type mismatch: '%1' is not a list held by the engine").arg(pane->name),
                       QString(), routine);
                return;
            }
            const int answer = modGlobalFunctions::DisplayMessage(
                {.message = QStringLiteral("Are you sure you want to clear the ") + side.word +
                            QStringLiteral(" List content ?"),
                 .Title = QStringLiteral("Clear ") + side.word + QStringLiteral(" List Content"),
                 .IconNb = MsgBoxIcon::Warning,
                 .Focus = MsgBoxButton::No,
                 .ShowYes = true,
                 .ShowNo = true,
                 .CForm = this,
                 .OForm = this});
            // Only a pressed Yes frees the list: a box closed without an
            // answer, or by itself, keeps it.
            if (answer != MsgBoxButton::Yes) return;

            pane->Clear();
            pane->SetHeaderIcon(kSelectionColumn, ListIcons::kUnsorted);
            pane->SetHeaderIcon(kUserColumn, ListIcons::kUnsorted);
            pane->SetCount(0);
            MessagePump::DoEvents();
            YRB20(pane->VListNb);
            MessagePump::DoEvents();
            pane->SetAll();

            side.frame->setTitle(QLatin1Char(' ') + side.word + QStringLiteral(" List "));
            {
                // Unticked without their work: the engine and the console stay untouched.
                const MarkClicksSuppressed suppressed(this);
                side.markDup->setChecked(false);
                side.markInv->setChecked(false);
                side.markDel->setChecked(false);
            }
            side.view->setEnabled(false);
            const WorkspaceSide other = Side(side.slot == 1 ? 2 : 1);
            if (YRB14(other.slot) == 0) {
                YRB10(other.slot, YRB_ALL_ENTRIES, YRB_MODE_CLEAR, YRB_MASK_COMPARE, 0, 0,
                      &modCallBack::EngineCallbackTable);
                other.pane->Refresh();
                other.pane->SetAll();
            }
            pane.reset();
            MessagePump::DoEvents();
            SetBothListPerm();
            MessagePump::DoEvents();
        },
        [&](const QString& d) { Report(d, QString(), routine); });
}

void FrmMain::ComLClear_Click() { PaneButton(VL_left, &FrmMain::M_Popup1Clear_Click, "ComLClear_Click", QString()); }
void FrmMain::ComRClear_Click() { PaneButton(VL_right, &FrmMain::M_Popup1Clear_Click, "ComRClear_Click", QString()); }

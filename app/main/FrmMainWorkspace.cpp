// The two sides of the workspace: their bindings, frame captions and the
// controls that need both lists.
#include <QCheckBox>
#include <QGroupBox>
#include <QPushButton>

#include "FrmMain.h"
#include "OwnerEnabler.h"
#include "Screen.h"
#include "ServiceObjects.h"
#include "clsChronometer.h"
#include "clsMonitor.h"
#include "clsVL2.h"

FrmMain::WorkspaceSide FrmMain::Side(int32_t slot) {
    WorkspaceSide side;
    if (slot == 1) {
        side = {.slot = 1, .pane = VL_left, .frame = FraLeft, .listDesc = &LeftListDesc,
                .resultsDesc = &LeftResultsDesc, .markInv = ChkMarkInvLeft, .markDup = ChkMarkDupLeft,
                .markDel = ChkMarkDelleft, .view = ComViewLeft, .sort = &m_leftSort, .word = QStringLiteral("Left")};
    } else if (slot == 2) {
        side = {.slot = 2, .pane = VL_right, .frame = FraRight, .listDesc = &RightListDesc,
                .resultsDesc = &RightResultsDesc, .markInv = ChkMarkInvRight, .markDup = ChkMarkDupRight,
                .markDel = ChkMarkDelRight, .view = ComViewRight, .sort = &m_rightSort,
                .word = QStringLiteral("Right")};
    }
    return side;
}

FrmMain::WorkspaceSide FrmMain::SideOf(const ListPane* pane) {
    if (pane == nullptr || dynamic_cast<const clsVL2*>(pane) == nullptr) return {};
    return Side(pane->VListNb);
}

void FrmMain::ResizeListCaptions(bool, bool) {}
void FrmMain::SetBothListPerm() {}

FrmMain::ClosingStep::~ClosingStep() {
    MonitorObj()->Shutdown();
    ChronoObj()->Shutdown();
    OwnerEnabler::SetEnabled(m_form, true);
    Screen::Instance()->SetMousePointer(Screen::kDefaultPointer);
}

void FrmMain::StartProgress(int32_t delayMs, const QString& caption, const QString& message, QWidget* owner) {
    ChronoObj()->Startup(QStringLiteral("hh:mm:ss"), true);
    MonitorObj()->Delay(delayMs, caption, message, owner ? owner : this, true);
}

// The two sides of the workspace: their bindings, frame captions and the
// controls that need both lists.
#include <cmath>
#include <initializer_list>
#include <utility>

#include <QCheckBox>
#include <QGroupBox>
#include <QPushButton>
#include <QRadioButton>

#include "ErrorTrap.h"
#include "FrmMain.h"
#include "OrmidYRB100.h"
#include "OwnerEnabler.h"
#include "Screen.h"
#include "ServiceObjects.h"
#include "TextMeasure.h"
#include "Twips.h"
#include "clsChronometer.h"
#include "clsFile.h"
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

void FrmMain::ResizeListCaptions(bool DoLeft, bool DoRight) {
    Trap(
        [&] {
            const std::pair<int32_t, bool> sides[] = {{1, DoLeft}, {2, DoRight}};
            for (const auto& [slot, wanted] : sides) {
                if (!wanted) continue;
                const WorkspaceSide side = Side(slot);
                const QString prefix = QLatin1Char(' ') + side.word + QStringLiteral(" List");
                // A side that holds no list names no file, whatever it held before.
                if (side.listDesc->NameSrc.isEmpty() || YRB14(slot) != 0) {
                    side.frame->setTitle(prefix + QLatin1Char(' '));
                    continue;
                }
                clsFile path;
                path.IsPathSyntaxOk(side.listDesc->NameSrc);
                const int64_t measure = TextMeasure::WidthTwips(font(), side.word + QStringLiteral(" List :1234567"));
                const double room = std::nearbyint(static_cast<double>(side.frame->width()) * Twips::kPerPixel -
                                                   static_cast<double>(measure));
                const auto pixels = static_cast<int64_t>(std::nearbyint(room / Twips::kPerPixel));
                side.frame->setTitle(prefix + QStringLiteral(" : ") +
                                     path.GetShortFileName(pixels, this, Screen::Instance()) + QLatin1Char(' '));
            }
        },
        [&](const QString& d) { Report(d, QString(), QStringLiteral("ResizeListCaptions")); });
}

void FrmMain::SetBothListPerm() {
    Trap(
        [&] {
            const bool both = (YRB14(1) | YRB14(2)) == 0;
            for (QWidget* control : std::initializer_list<QWidget*>{ComSMerge, ChkMergeSelect, ComCompare, OptCmpCom,
                                                                    OptCmpDif})
                control->setEnabled(both);
        },
        [&](const QString& d) { Report(d, QString(), QStringLiteral("SetBothListPerm")); });
}

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

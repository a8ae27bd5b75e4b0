// Compare: the engine marks every entry of both lists as also in the other
// list or not, then the entries the chosen option names are selected.
#include <QPushButton>
#include <QRadioButton>

#include "ErrorTrap.h"
#include "FrmMain.h"
#include "MsgBoxTypes.h"
#include "OrmidYRB100.h"
#include "OwnerEnabler.h"
#include "Screen.h"
#include "ServiceObjects.h"
#include "clsChronometer.h"
#include "clsMonitor.h"
#include "clsVL2.h"
#include "modCallBack.h"
#include "modGlobalFunctions.h"
#include "modRegistry.h"

namespace {
constexpr int32_t kCompareProgressDelayMs = 2000;
// Cleared on both lists before each comparison: the selection and both marks.
constexpr int32_t kSelectionAndMarks = YRB_FLAG_SELECTED | YRB_MASK_COMPARE;
constexpr int32_t kLeft = 1;
constexpr int32_t kRight = 2;
}  // namespace

void FrmMain::ConnectCompare() { connect(ComCompare, &QPushButton::clicked, this, &FrmMain::ComCompare_Click); }

void FrmMain::ComCompare_Click() {
    ClosingStep closing(this);
    Screen::Instance()->SetMousePointer(Screen::kHourglassPointer);
    auto* table = &modCallBack::EngineCallbackTable;
    // Once the selections are cleared the panes must show it, however the
    // comparison then ends.
    bool listsTouched = false;
    auto refreshPanes = [&] {
        for (const auto& pane : {VL_left, VL_right}) {
            if (!pane) continue;
            pane->SetAll();
            pane->Refresh();
        }
    };
    auto cannotCompare = [&](const QString& message) {
        modGlobalFunctions::DisplayMessage({.message = message,
                                            .Title = QStringLiteral("Cannot Compare"),
                                            .IconNb = MsgBoxIcon::Error,
                                            .ShowOk = true,
                                            .CForm = this,
                                            .OForm = this});
    };
    Trap(
        [&] {
            const QString text = modRegistry::GetSetting(QStringLiteral("CmpCrc"), QStringLiteral("0"));
            bool ok = false;
            const int32_t crc = text.trimmed().toInt(&ok);
            if (!ok) {
                Report(QStringLiteral("The setting 'CmpCrc' holds '") + text +
                           QStringLiteral("', which is no whole number: the lists were not compared"),
                       QString(), QStringLiteral("ComCompare_Click"));
                return;
            }
            modRegistry::SetSetting(QStringLiteral("CmpCrc"), QString::number(crc));

            if (YRB14(kLeft) != 0) return cannotCompare(QStringLiteral("The Left list is empty !"));
            if (YRB14(kRight) != 0) return cannotCompare(QStringLiteral("The Right list is empty !"));
            if (VL_left->GetCnt(true) == 0) return cannotCompare(QStringLiteral("The Left list contains no entries"));
            if (VL_right->GetCnt(true) == 0)
                return cannotCompare(QStringLiteral("The Right list contains no entries"));

            StartProgress(kCompareProgressDelayMs, QStringLiteral("Comparing Lists"),
                          QStringLiteral("Now comparing Left and Right Lists"));
            listsTouched = true;
            for (int32_t slot : {kLeft, kRight})
                YRB10(slot, YRB_ALL_ENTRIES, YRB_MODE_CLEAR, kSelectionAndMarks, 0, 0, table);
            // The engine sorts both lists by address: each view's current row
            // follows its entry.  Failed or stopped: the engine has said why,
            // or the user stopped it.
            const auto compare = [&] { return YRB24(0, YRB_FLAG_IN_BOTH, 0, 0, crc); };
            if (VL_left->Reorder([&] { return VL_right->Reorder(compare); }) < 0) return;
            for (int32_t slot : {kLeft, kRight})
                YRB10(slot, YRB_ALL_ENTRIES, YRB_MODE_SET, YRB_FLAG_NOT_IN_OTHER, 0, YRB_FLAG_IN_BOTH, table);
            const int32_t chosen = OptCmpDif->isChecked() ? YRB_FLAG_NOT_IN_OTHER : YRB_FLAG_IN_BOTH;
            for (int32_t slot : {kLeft, kRight})
                YRB10(slot, YRB_ALL_ENTRIES, YRB_MODE_TOGGLE, YRB_FLAG_SELECTED, chosen, YRB_MASK_REMOVED, table);

            refreshPanes();
            listsTouched = false;
            MonitorObj()->Shutdown();
            ChronoObj()->Shutdown();
            OwnerEnabler::SetEnabled(this, true);
            modGlobalFunctions::DisplayMessage({.message = QStringLiteral("The lists comparison completed successfully"),
                                                .Title = QStringLiteral("List Comparison Completed"),
                                                .IconNb = MsgBoxIcon::Logo,
                                                .ShowOk = true,
                                                .CForm = this,
                                                .OForm = this});
        },
        [&](const QString& d) { Report(d, QString(), QStringLiteral("ComCompare_Click")); });
    if (listsTouched) refreshPanes();
}

#include "clsVL2.h"

#include "ErrorTrap.h"
#include "OrmidYRB100.h"

clsVL2::clsVL2(QObject* parent) : clsVirtualListview(parent) { m_reportParentFailures = false; }

bool clsVL2::Loaded() const { return YRB14(VListNb) == 0; }

void clsVL2::SetCount(int32_t Count) {
    Trap([&] { if (ListWindow()) ListWindow()->SetItemCount(Count); },
         [&](const QString& d) { ReportError(d, QStringLiteral("SetCount")); });
}

int32_t clsVL2::GetCnt(bool Real) {
    int32_t result = 0;
    Trap(
        [&] {
            if (!Loaded()) return;
            const int32_t n = YRB16(VListNb, 0, Real ? 0 : YRB_MASK_REMOVED, nullptr);
            result = n < 0 ? 0 : n;
        },
        [&](const QString& d) {
            result = 0;
            ReportError(d, QStringLiteral("GetCnt"));
        });
    return result;
}

int32_t clsVL2::GetSel() {
    int32_t result = 0;
    Trap(
        [&] {
            if (!Loaded()) return;
            const int32_t n = YRB16(VListNb, YRB_FLAG_SELECTED, YRB_MASK_REMOVED, nullptr);
            result = n < 0 ? 0 : n;
        },
        [&](const QString& d) {
            result = 0;
            ReportError(d, QStringLiteral("GetSel"));
        });
    return result;
}

bool clsVL2::GetEmpty() {
    bool result = true;
    Trap([&] { result = !Loaded(); },
         [&](const QString& d) {
             result = true;
             ReportError(d, QStringLiteral("GetEmpty"));
         });
    return result;
}

void clsVL2::DeselectAll() {
    Trap(
        [&] {
            YRB10(VListNb, YRB_ALL_ENTRIES, YRB_MODE_CLEAR, YRB_FLAG_SELECTED, 0, 0, nullptr);
            Refresh();
        },
        [&](const QString& d) { ReportError(d, QStringLiteral("DeselectAll")); });
}

void clsVL2::SelectAll() {
    Trap(
        [&] {
            YRB10(VListNb, YRB_ALL_ENTRIES, YRB_MODE_SET, YRB_FLAG_SELECTED, 0, YRB_MASK_REMOVED, nullptr);
            Refresh();
        },
        [&](const QString& d) { ReportError(d, QStringLiteral("SelectAll")); });
}

void clsVL2::InvertAll() {
    Trap(
        [&] {
            YRB10(VListNb, YRB_ALL_ENTRIES, YRB_MODE_TOGGLE, YRB_FLAG_SELECTED, 0, YRB_MASK_REMOVED, nullptr);
            Refresh();
        },
        [&](const QString& d) { ReportError(d, QStringLiteral("InvertAll")); });
}

void clsVL2::RemoveSel() {
    Trap(
        [&] {
            // Marked, not taken out: the entries stay in the list and the rows.
            YRB10(VListNb, YRB_ALL_ENTRIES, YRB_MODE_SET, YRB_FLAG_DELETED, YRB_FLAG_SELECTED, 0, nullptr);
            Refresh();
        },
        [&](const QString& d) { ReportError(d, QStringLiteral("RemoveSel")); });
}

void clsVL2::EnableDisable(int32_t TotCnt, int32_t TotSel) {
    Trap(
        [&] {
            const bool loaded = Loaded();
            SetGroup(ColOnEmp, !loaded);
            SetGroup(ColOffEmp, loaded);
            SwitchGroups(TotCnt, TotSel);
        },
        [&](const QString& d) { ReportError(d, QStringLiteral("EnableDisable")); });
}

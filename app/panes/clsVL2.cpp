#include "clsVL2.h"

#include "OrmidYRB100.h"

clsVL2::clsVL2(QObject* parent) : clsVirtualListview(parent) { m_reportParentFailures = false; }

bool clsVL2::Loaded() const { return YRB14(VListNb) == 0; }

void clsVL2::SetCount(int32_t Count) {
    if (ListWindow()) ListWindow()->SetItemCount(Count);
}

int32_t clsVL2::GetCnt(bool Real) {
    if (!Loaded()) return 0;
    const int32_t n = YRB16(VListNb, 0, Real ? 0 : YRB_MASK_REMOVED, nullptr);
    return n < 0 ? 0 : n;
}

int32_t clsVL2::GetSel() {
    if (!Loaded()) return 0;
    const int32_t n = YRB16(VListNb, YRB_FLAG_SELECTED, YRB_MASK_REMOVED, nullptr);
    return n < 0 ? 0 : n;
}

bool clsVL2::GetEmpty() { return !Loaded(); }

void clsVL2::DeselectAll() {
    YRB10(VListNb, YRB_ALL_ENTRIES, YRB_MODE_CLEAR, YRB_FLAG_SELECTED, 0, 0, nullptr);
    Refresh();
}

void clsVL2::SelectAll() {
    YRB10(VListNb, YRB_ALL_ENTRIES, YRB_MODE_SET, YRB_FLAG_SELECTED, 0, YRB_MASK_REMOVED, nullptr);
    Refresh();
}

void clsVL2::InvertAll() {
    YRB10(VListNb, YRB_ALL_ENTRIES, YRB_MODE_TOGGLE, YRB_FLAG_SELECTED, 0, YRB_MASK_REMOVED, nullptr);
    Refresh();
}

void clsVL2::RemoveSel() {
    // Marked, not taken out: the entries stay in the list and the rows.
    YRB10(VListNb, YRB_ALL_ENTRIES, YRB_MODE_SET, YRB_FLAG_DELETED, YRB_FLAG_SELECTED, 0, nullptr);
    Refresh();
}

void clsVL2::EnableDisable(int32_t TotCnt, int32_t TotSel) {
    const bool loaded = Loaded();
    SetGroup(ColOnEmp, !loaded);
    SetGroup(ColOffEmp, loaded);
    SwitchGroups(TotCnt, TotSel);
}

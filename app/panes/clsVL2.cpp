#include "clsVL2.h"

#include <vector>

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

int32_t clsVL2::Reorder(const std::function<int32_t()>& reorder) {
    // The entries under the kept rows, by their ids, which no reorder
    // changes; most often the three rows are one.
    struct Kept {
        int32_t row;
        int32_t id;
        int32_t newRow = -1;
    };
    std::vector<Kept> kept;
    if (ListWindow() && Loaded()) {
        for (const int32_t row : ListWindow()->KeptRows()) {
            if (row < 0) continue;
            bool known = false;
            for (const Kept& k : kept) known = known || k.row == row;
            if (!known) kept.push_back({row, YRB26(VListNb, row)});
        }
    }
    const int32_t result = reorder();
    if (!ListWindow() || kept.empty()) return result;
    for (Kept& k : kept)
        if (k.id >= 0) k.newRow = YRB27(VListNb, k.id);
    // A row whose entry cannot be told stays where it is.
    ListWindow()->FollowRows([&](int32_t row) {
        for (const Kept& k : kept)
            if (k.row == row && k.newRow >= 0) return k.newRow;
        return row;
    });
    return result;
}

void clsVL2::ShowNewList(int32_t Count) {
    // Before the count: a row beyond the new list would be dropped instead.
    if (ListWindow()) ListWindow()->FollowRows([](int32_t) { return 0; });
    SetCount(Count);
}

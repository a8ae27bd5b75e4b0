#pragma once

#include <functional>

#include "clsVirtualListview.h"

// The list view bound to a list held by the engine (slot VListNb): row r is
// the engine's entry r in its current order.  The pane keeps no data:
// counting, selecting and removing work on the entries' flags, and its own
// row index stays empty, so Idx, the ticks and Sort are inert.
class clsVL2 : public clsVirtualListview {
    Q_OBJECT
public:
    explicit clsVL2(QObject* parent = nullptr);

    void SetCount(int32_t Count) override;
    int32_t GetCnt(bool Real = false) override;
    int32_t GetSel() override;
    bool GetEmpty() override;
    void SelectAll() override;
    void DeselectAll() override;
    void InvertAll() override;
    void RemoveSel() override;
    void EnableDisable(int32_t TotCnt, int32_t TotSel) override;

    // Runs reorder, an engine call that changes the list's display order,
    // and puts the view's selected row, current row and selection mark back
    // on the entries they showed.  Returns what reorder returned.
    int32_t Reorder(const std::function<int32_t()>& reorder);
    // Count rows of a list that replaced the one shown: the view's selected
    // row, current row and selection mark, where it had them, go to the
    // first row.
    void ShowNewList(int32_t Count);

protected:
    // While the engine rebuilds the list (a load running in a callback), its
    // rows stay blank: the form's reads would fail and report for every cell.
    bool RowsReadable() const override { return Loaded(); }

private:
    bool Loaded() const;
};

#pragma once

#include <QList>
#include <QPointer>

#include "ListPane.h"
#include "ReportListView.h"

// The pane of a short list that lives in a report list view with check
// boxes: a ticked item is a selected one.  Columns share the view's width by
// the weight in their header tags (0: the column keeps the width it had when
// the view was given to the pane).  Until a view is given, every member but
// EnableForm does nothing and counts 0.
class clsList : public ListPane {
public:
    clsList();
    ~clsList() override;

    ReportListView* List() const override;
    void SetList(ReportListView* Obj) override;

    int32_t GetCnt(bool Real = false) override;
    int32_t GetSel() override;
    bool GetEmpty() override;
    void DeselectAll() override;
    void SelectAll() override;
    void InvertAll() override;
    void RemoveSel() override;
    void SetLabels() override;
    void SetControls() override;
    void EnableDisable(int32_t TotCnt, int32_t TotSel) override;
    void SetAll() override;
    void ResizeCols() override;
    void EnableForm(bool Enable) override;

    // The weight a header tag gives: its leading number, 0 for none.
    static double TagWeight(const QString& tag);

private:
    bool IsInterrupt();
    void SetEveryCheck(bool value);

    QPointer<ReportListView> m_list;
    QList<double> IniWidths;
};

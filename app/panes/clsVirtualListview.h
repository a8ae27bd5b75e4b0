#pragma once

#include <cstdint>
#include <optional>
#include <vector>

#include <QElapsedTimer>
#include <QList>
#include <QObject>
#include <QPoint>
#include <QPointer>

#include "ListPane.h"
#include "ListRowSource.h"
#include "OwnerDataListView.h"
#include "VLItem.h"
#include "clsHeaderColumn.h"

// The owner-data list view pane: a list window that holds no cell and asks
// its form for every cell it shows through its events.  Rows map to the
// form's data items through the pane's own row index (1-based positions,
// row r of the window is position r + 1), with a tick per row that is the
// pane's selection, and a reverse index from data item to row.  The events
// must be connected directly (they answer through their reference
// arguments).
//
// The pane is the list's row source, and the filter of the list window's
// and its parent's events, which go to WndProc and WndProcParent.
class clsVirtualListview : public QObject, public ListPane, private ListRowSource {
    Q_OBJECT
public:
    explicit clsVirtualListview(QObject* parent = nullptr);
    ~clsVirtualListview() override;

    // ---- window ------------------------------------------------------------------
    void Initialize(QWidget* hwndParent) override;
    QWidget* hWnd() const override;
    OwnerDataListView* ListWindow() const { return m_list; }
    bool WndProc(QWidget* hWnd, QEvent* event) override;
    bool WndProcParent(QWidget* hWnd, QEvent* event) override;
    void Resize() override;
    void Refresh() override;
    void RepaintItem(int32_t iItem) override;
    void GetFocus() override;
    void SetVisible(int32_t iItem) override;
    void SetActiveItem(int32_t iItem) override;
    int32_t GetItem() override;
    bool GetMouseItem(int32_t& iItem, int32_t& iSubItem, int32_t& HitFlags) override;
    bool HitTest(int32_t x, int32_t y, int32_t& iItem, int32_t& iSubItem, int32_t& fFlags) override;
    bool SetImageList(ImageList* ListId) override;
    bool SetBackColor(uint32_t Color) override;
    void SetExtendedStyle(int32_t StyleEx) override;

    // ---- columns ------------------------------------------------------------------
    bool InsertColumn(int32_t Pos, const QString& Text, int16_t Width = 0, int16_t Factor = 0) override;
    bool DeleteColumn(int32_t iCol) override;
    bool SetColumnWidth(int32_t iCol, int32_t Width) override;
    int16_t GetColumnCount() override;
    QString GetColumnName(int32_t iCol) override;
    int32_t GetColumnFactor(int32_t iCol) override;
    int32_t GetWidth() override;
    void SetHeaderImageList(ImageList* ListId) override;
    void SetHeaderIcon(int32_t iCol, int32_t Icon) override;
    void SetHeadersIcon(int32_t Icon) override;
    void ResizeCols() override;

    // ---- rows (own index) ----------------------------------------------------------
    void SetCount(int32_t Count) override;
    void Clear() override;
    int32_t GetCnt(bool Real = false) override;
    int32_t GetSel() override;
    void SelectAll() override;
    void DeselectAll() override;
    void InvertAll() override;
    int32_t Idx(int32_t Pos) override;
    int32_t RevIdx(int32_t Pos) override;
    bool GetCheckState(int32_t Idx) override;
    void SetCheckState(int32_t Idx, bool Flag) override;
    void BuildReverseIndex() override;
    bool Sort(int16_t By, bool Ascending) override;

signals:
    void evCompare(int32_t a, int32_t b, int16_t By, int16_t Dir, int16_t& Result);
    void ColumnClick(int32_t nColumn);
    void ItemImageCallback(int32_t iItem, int32_t iSubItem, int16_t& Image);
    void ItemStateCallback(int32_t iItem, int32_t iSubItem, int16_t& State);
    void ItemTextCallback(int32_t iItem, int32_t iSubItem, QString& sText);
    void ToolTip(int32_t iItem, int32_t iSubItem, QString& sText);
    void KeyDown(int16_t KeyCode, bool has_ctrl, bool has_shift, bool has_alt);
    void KeyUp(int16_t KeyCode, bool has_ctrl, bool has_shift, bool has_alt);
    void MouseDown(int16_t Button, int32_t iItem, int32_t iSubItem, int32_t HitFlags);
    void MouseUp(int16_t Button, int32_t iItem, int32_t iSubItem, int32_t HitFlags);
    void MouseMove(int16_t Button, int32_t iItem, int32_t iSubItem, int32_t HitFlags);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    // Whether the form can be asked about rows now; blank rows otherwise.
    virtual bool RowsReadable() const { return true; }
    // Whether a failure of the parent's window procedure is reported.
    bool m_reportParentFailures = true;

private:
    static constexpr int kToolTipMax = 80;

    // The form's answers through the events.
    QString RowText(int32_t row, int32_t column) final;
    int32_t RowImage(int32_t row, int32_t column) final;
    QString RowToolTip(int32_t row, int32_t column) final;
    // Here, so that the sort's many comparisons have no call of their own.
    int32_t CompareRows(int32_t a, int32_t b, int16_t column, int16_t direction) final {
        int16_t result = 0;
        emit evCompare(a, b, column, direction, result);
        return result < 0 ? -1 : result > 0 ? 1 : 0;
    }
    // Cells and column clicks are answered for the parent window: their
    // failures are the parent's window procedure's.
    void ReportParentFailure(const QString& description) const;
    void OnColumnClicked(int32_t column);

    // Rows of the own index (none in the engine-bound mode).
    int32_t RowCount() const;
    static constexpr int kColumnNameMax = 80;

    QPoint CursorPos() const;
    void RaiseMouse(int kind, QEvent* event);
    // Lets the list handle an event the pane has taken, now, without the
    // pane seeing it again.
    void PassOn(QObject* target, QEvent* event);

    // Sorting.
    int Compare(int32_t p, int32_t q);
    int CompareItems(const VLItem& a, const VLItem& b);
    void Swap(int32_t p, int32_t q);
    bool Step(bool countAnimation);
    bool QuickSort(int32_t lo, int32_t hi);
    bool InsertionSort(int32_t lo, int32_t hi);

    QPointer<QWidget> m_parent;
    QPointer<OwnerDataListView> m_list;
    QList<clsHeaderColumn> m_columns;
    std::vector<VLItem> m_rows;
    std::vector<int32_t> m_rev;

    QObject* m_passing = nullptr;
    QPoint m_lastCursor{-1, -1};
    bool m_ctrl = false;
    bool m_shift = false;
    bool m_alt = false;
    bool m_focus = false;
    std::optional<QPoint> m_messageCursor;

    int16_t m_anim = 0;
    int16_t m_by = 0;
    int16_t m_dir = 1;
    bool m_sorting = false;
    bool m_stopped = false;
    uint64_t m_generation = 0;
    uint64_t m_sortGeneration = 0;
    QElapsedTimer m_pumpClock;
};

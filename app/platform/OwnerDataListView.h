#pragma once

#include <array>
#include <cstdint>

#include <QTableView>

#include "ImageList.h"
#include "ListRowSource.h"
#include "OwnerDataModel.h"

class QHelpEvent;

// The platform's report-style list view in owner-data mode: it knows only its
// number of rows and asks its row source for the text, image and tooltip of
// each cell it shows; one single selection, a header with clickable columns
// and header images.  Dragging a column divider repaints the rows once, when
// it ends; double clicks on the header do nothing (no column sizes itself to
// its contents).
//
// Only the rows that fit in the window exist in the Qt model: a header
// section per row of a long list would cost memory and time for every row,
// so the view scrolls by moving the first shown row, and its selection,
// focus and selection mark are list rows of its own.
class OwnerDataListView : public QTableView {
    Q_OBJECT
public:
    // Extended styles.
    static constexpr int32_t LVS_EX_SUBITEMIMAGES = 0x2;
    static constexpr int32_t LVS_EX_FULLROWSELECT = 0x20;
    // Hit-test flags.
    static constexpr int32_t LVHT_NOWHERE = 0x1;
    static constexpr int32_t LVHT_ONITEMICON = 0x2;
    static constexpr int32_t LVHT_ONITEMLABEL = 0x4;
    static constexpr int32_t LVHT_ONITEMSTATEICON = 0x8;
    static constexpr int32_t LVHT_ABOVE = 0x8;
    static constexpr int32_t LVHT_BELOW = 0x10;
    static constexpr int32_t LVHT_TORIGHT = 0x20;
    static constexpr int32_t LVHT_TOLEFT = 0x40;
    // Item states.
    static constexpr int32_t LVIS_FOCUSED = 0x1;
    static constexpr int32_t LVIS_SELECTED = 0x2;
    // Header item formats.
    static constexpr int32_t HDF_IMAGE = 0x0800;
    static constexpr int32_t HDF_BITMAP = 0x2000;
    static constexpr int32_t HDF_STRING = 0x4000;

    struct HitTestInfo {
        QPoint pt;  // client point of the list window
        int32_t flags = 0;
        int32_t iItem = -1;
        int32_t iSubItem = 0;
    };

    explicit OwnerDataListView(QWidget* parent);
    ~OwnerDataListView() override;

    // Whoever answers for the cells, for as long as the list lives; null
    // shows blank rows.
    void SetRowSource(ListRowSource* source) { m_model->SetRowSource(source); }

    // Rows: the control repaints everything and returns to the top.  False
    // for a negative count.
    bool SetItemCount(int32_t count);
    int32_t ItemCount() const { return m_count; }
    int32_t TopIndex() const { return m_model->Top(); }
    // Rows that fit whole in the window (at least 1).
    int32_t CountPerPage() const;
    // Scrolls the row into view; with partialOk a partly shown row is enough.
    bool EnsureVisible(int32_t item, bool partialOk);
    // Sets the masked state bits (LVIS_FOCUSED, LVIS_SELECTED) of a row, or of
    // every row for -1.
    bool SetItemState(int32_t item, int32_t state, int32_t mask);
    int32_t GetItemState(int32_t item, int32_t mask) const;
    // The row last selected by the user; -1 for none.
    int32_t GetSelectionMark() const { return m_mark; }
    // The rows FollowRows moves: the selected row, the focused row and the
    // selection mark, -1 for none.
    std::array<int32_t, 3> KeptRows() const { return {m_selected, m_focused, m_mark}; }
    // Moves the focused and selected rows and the selection mark to where
    // their items went when the rows were reordered; newRow(old) gives the
    // new row of an old one.
    template <class NewRow>
    void FollowRows(NewRow newRow) {
        auto follow = [&](int32_t row) { return row < 0 ? row : newRow(row); };
        m_selected = follow(m_selected);
        m_focused = follow(m_focused);
        m_mark = follow(m_mark);
        SyncSelection();
        viewport()->update();
    }
    // Bounds of a row in client coordinates, whether shown or not.
    bool GetItemRect(int32_t item, QRect& bounds) const;
    // Row and column at info.pt: the row, or -1 with the flags saying where
    // the point is.
    int32_t SubItemHitTest(HitTestInfo& info) const;

    bool SetImageList(ImageList* images);
    ImageList* GetImageList() const { return m_model->Images(); }
    void SetHeaderImageList(ImageList* images);
    bool SetBkColor(const QColor& color);
    bool SetTextBkColor(const QColor& color);
    QColor BkColor() const;
    void SetExtendedStyle(int32_t mask, int32_t style);
    int32_t ExtendedStyle() const { return m_exStyle; }

    // Columns.  InsertColumn returns the new column's number or -1.
    int32_t InsertColumn(int32_t pos, const QString& text, int32_t width);
    bool DeleteColumn(int32_t col);
    int32_t ColumnCount() const { return m_model->ColumnCount(); }
    bool SetColumnWidth(int32_t col, int32_t width);
    int32_t ColumnWidthOf(int32_t col) const;
    // The caption cut to cchTextMax - 1 characters; false for no such column.
    bool GetColumnText(int32_t col, int32_t cchTextMax, QString& text) const;
    bool SetHeaderItemImage(int32_t col, int32_t format, int32_t image);
    int32_t HeaderItemImage(int32_t col) const;
    bool SetHeaderToolTip(int32_t col, const QString& tip);
    QString HeaderToolTip(int32_t col) const;

    // Repaints a rectangle of the client area (all of it for null), asking
    // the shown cells again.
    void InvalidateRect(const QRect* rect);

    // Cells requested since construction (for measuring).
    int64_t CellRequests() const { return m_model->CellRequests(); }

    void scrollTo(const QModelIndex& index, ScrollHint hint = QAbstractItemView::EnsureVisible) override;

signals:
    void ColumnClicked(int32_t column);
    // The window is being destroyed: whoever watches its events lets go now,
    // while it is still whole (losing the focus sends it more).
    void Closing();

protected:
    bool eventFilter(QObject* watched, QEvent* e) override;
    bool viewportEvent(QEvent* e) override;
    void mousePressEvent(QMouseEvent* e) override;
    void mouseReleaseEvent(QMouseEvent* e) override;
    void mouseMoveEvent(QMouseEvent* e) override;
    void mouseDoubleClickEvent(QMouseEvent* e) override;
    void keyPressEvent(QKeyEvent* e) override;
    void focusInEvent(QFocusEvent* e) override;
    void changeEvent(QEvent* e) override;
    void resizeEvent(QResizeEvent* e) override;
    void scrollContentsBy(int dx, int dy) override;
    void updateGeometries() override;

private:
    int RowHeight() const;
    int Capacity() const;
    int32_t MaxTop() const;
    void SetTop(int32_t top);
    void UpdateShownRows();
    void ApplyScrollRange();
    void SyncSelection();
    void SelectFromUser(int32_t item);
    void ApplyRowHeight();
    int32_t DividerAt(int x) const;
    void ShowToolTip(const QHelpEvent* e);
    void OnSectionResized(int column, int oldSize, int newSize);

    OwnerDataModel* m_model;
    int32_t m_count = 0;
    int32_t m_selected = -1;
    int32_t m_focused = -1;
    int32_t m_mark = -1;
    int32_t m_exStyle = 0;
    bool m_adjusting = false;
    bool m_syncing = false;
    bool m_tracking = false;
    QColor m_textBk;
};

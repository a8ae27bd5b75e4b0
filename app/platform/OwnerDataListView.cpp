#include "OwnerDataListView.h"

#include <algorithm>

#include <QFontMetrics>
#include <QHeaderView>
#include <QHelpEvent>
#include <QItemSelectionModel>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QScrollBar>
#include <QStyle>
#include <QToolTip>

OwnerDataListView::OwnerDataListView(QWidget* parent) : QTableView(parent), m_model(new OwnerDataModel(this)) {
    setModel(m_model);
    setFrameStyle(QFrame::StyledPanel | QFrame::Sunken);
    setSelectionBehavior(QAbstractItemView::SelectRows);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setShowGrid(false);
    setWordWrap(false);
    setAutoScroll(false);
    setCornerButtonEnabled(false);
    setTabKeyNavigation(false);
    setVerticalScrollMode(QAbstractItemView::ScrollPerItem);
    setHorizontalScrollMode(QAbstractItemView::ScrollPerPixel);
    // The list takes the focus itself when it handles a press, after its
    // window procedure has seen the press (see mousePressEvent).
    setFocusPolicy(Qt::TabFocus);
    // Every move reaches the window, buttons held or not.
    setMouseTracking(true);
    viewport()->setMouseTracking(true);
    verticalHeader()->hide();
    verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    verticalHeader()->setMinimumSectionSize(1);
    QHeaderView* header = horizontalHeader();
    header->setSectionsMovable(false);
    header->setSectionsClickable(true);
    header->setHighlightSections(false);
    header->setStretchLastSection(false);
    header->setMinimumSectionSize(0);
    header->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    header->setSectionResizeMode(QHeaderView::Interactive);
    header->viewport()->installEventFilter(this);
    connect(header, &QHeaderView::sectionClicked, this, &OwnerDataListView::ColumnClicked);
    connect(header, &QHeaderView::sectionResized, this, &OwnerDataListView::OnSectionResized);
    ApplyRowHeight();
}

OwnerDataListView::~OwnerDataListView() { emit Closing(); }

// ---- rows and scrolling ------------------------------------------------

int OwnerDataListView::RowHeight() const { return std::max(1, verticalHeader()->defaultSectionSize()); }

void OwnerDataListView::ApplyRowHeight() {
    const ImageList* images = m_model->Images();
    int h = QFontMetrics(font()).height() + 4;
    if (images) h = std::max(h, images->ImageSize().height() + 2);
    verticalHeader()->setDefaultSectionSize(h);
    if (images) setIconSize(images->ImageSize());
}

// Rows the model offers: enough to fill the whole widget, whatever the
// scroll bars take.
int OwnerDataListView::Capacity() const { return std::max(1, contentsRect().height() / RowHeight() + 2); }

int32_t OwnerDataListView::CountPerPage() const { return std::max(1, viewport()->height() / RowHeight()); }

int32_t OwnerDataListView::MaxTop() const { return std::max<int32_t>(0, m_count - CountPerPage()); }

void OwnerDataListView::UpdateShownRows() {
    m_model->SetShown(static_cast<int>(std::clamp<int64_t>(int64_t(m_count) - TopIndex(), 0, Capacity())));
}

void OwnerDataListView::ApplyScrollRange() {
    QScrollBar* bar = verticalScrollBar();
    const bool was = m_adjusting;
    m_adjusting = true;
    bar->setRange(0, MaxTop());
    bar->setPageStep(CountPerPage());
    bar->setSingleStep(1);
    bar->setValue(TopIndex());
    m_adjusting = was;
}

void OwnerDataListView::SetTop(int32_t top) {
    top = std::clamp<int32_t>(top, 0, MaxTop());
    if (top != TopIndex()) {
        m_model->SetTop(top);
        UpdateShownRows();
        viewport()->update();
        SyncSelection();
    }
    if (verticalScrollBar()->value() != TopIndex()) ApplyScrollRange();
}

void OwnerDataListView::scrollContentsBy(int dx, int dy) {
    if (dy != 0 && !m_adjusting) SetTop(verticalScrollBar()->value());
    if (dx != 0) QTableView::scrollContentsBy(dx, 0);
}

void OwnerDataListView::updateGeometries() {
    // The table sizes its scroll bar for the page it holds, and places its
    // rows by the bar's value: it must see 0 there, and the bar gets the
    // whole list's range afterwards.
    const bool was = m_adjusting;
    m_adjusting = true;
    verticalScrollBar()->setValue(0);
    QTableView::updateGeometries();
    m_adjusting = was;
    ApplyScrollRange();
}

void OwnerDataListView::focusInEvent(QFocusEvent* e) {
    // The table would make the first row of the page its current row; the
    // focused row is the list's own.
    QWidget::focusInEvent(e);
    viewport()->update();
}

void OwnerDataListView::changeEvent(QEvent* e) {
    QTableView::changeEvent(e);
    if (e->type() == QEvent::FontChange) {
        ApplyRowHeight();
        UpdateShownRows();
        ApplyScrollRange();
    }
}

void OwnerDataListView::resizeEvent(QResizeEvent* e) {
    QTableView::resizeEvent(e);
    UpdateShownRows();
    SetTop(TopIndex());
    ApplyScrollRange();
}

void OwnerDataListView::scrollTo(const QModelIndex&, ScrollHint) {
    // Rows are scrolled into view by list row (EnsureVisible); the table's
    // own idea of a row is a row of the page.
}

bool OwnerDataListView::SetItemCount(int32_t count) {
    if (count < 0) return false;
    m_count = count;
    if (m_selected >= count) m_selected = -1;
    if (m_focused >= count) m_focused = -1;
    if (m_mark >= count) m_mark = -1;
    m_model->Reset(0, static_cast<int>(std::min<int64_t>(count, Capacity())));
    ApplyScrollRange();
    SyncSelection();
    viewport()->update();
    return true;
}

bool OwnerDataListView::EnsureVisible(int32_t item, bool partialOk) {
    if (item < 0 || item >= m_count) return false;
    const int32_t page = CountPerPage();
    const int32_t top = TopIndex();
    if (item < top) {
        SetTop(item);
    } else if (item >= top + page) {
        const bool partlyShown = partialOk && item == top + page &&
                                 int64_t(page) * RowHeight() < viewport()->height();
        if (!partlyShown) SetTop(item - page + 1);
    }
    return true;
}

// ---- selection -------------------------------------------------------------

void OwnerDataListView::SyncSelection() {
    QItemSelectionModel* sm = selectionModel();
    if (sm == nullptr || m_syncing) return;
    m_syncing = true;
    QItemSelection sel;
    const int cols = ColumnCount();
    const int32_t top = TopIndex();
    const int32_t end = top + m_model->Shown();
    if (cols > 0 && m_selected >= top && m_selected < end) {
        const int r = m_selected - top;
        const bool fullRow = (m_exStyle & LVS_EX_FULLROWSELECT) != 0;
        sel.select(m_model->index(r, 0), m_model->index(r, fullRow ? cols - 1 : 0));
    }
    sm->select(sel, QItemSelectionModel::ClearAndSelect);
    if (cols > 0 && m_focused >= top && m_focused < end)
        sm->setCurrentIndex(m_model->index(m_focused - top, 0), QItemSelectionModel::NoUpdate);
    else
        sm->setCurrentIndex(QModelIndex(), QItemSelectionModel::NoUpdate);
    m_syncing = false;
}

bool OwnerDataListView::SetItemState(int32_t item, int32_t state, int32_t mask) {
    if (item < -1 || item >= m_count) return false;
    if (mask & LVIS_SELECTED) {
        if (state & LVIS_SELECTED) {
            // One selected row; "every row" selects the last one set.
            if (item >= 0) m_selected = item;
        } else if (item == -1 || item == m_selected) {
            m_selected = -1;
        }
    }
    if (mask & LVIS_FOCUSED) {
        if (state & LVIS_FOCUSED) {
            if (item >= 0) m_focused = item;
        } else if (item == -1 || item == m_focused) {
            m_focused = -1;
        }
    }
    SyncSelection();
    viewport()->update();
    return true;
}

int32_t OwnerDataListView::GetItemState(int32_t item, int32_t mask) const {
    int32_t s = 0;
    if (item >= 0 && item == m_selected) s |= LVIS_SELECTED;
    if (item >= 0 && item == m_focused) s |= LVIS_FOCUSED;
    return s & mask;
}

void OwnerDataListView::SelectFromUser(int32_t item) {
    m_selected = item;
    if (item >= 0) {
        m_focused = item;
        m_mark = item;
        EnsureVisible(item, false);
    }
    SyncSelection();
    viewport()->update();
}

// ---- geometry and hit testing -------------------------------------------

bool OwnerDataListView::GetItemRect(int32_t item, QRect& bounds) const {
    if (item < 0 || item >= m_count) return false;
    const QPoint origin = viewport()->geometry().topLeft();
    const int h = RowHeight();
    const int64_t y = int64_t(item - TopIndex()) * h;
    const int y32 = static_cast<int>(std::clamp<int64_t>(y, -(int64_t(1) << 30), int64_t(1) << 30));
    const int width = horizontalHeader()->length();
    bounds = QRect(origin.x() - horizontalOffset(), origin.y() + y32, width, h);
    return true;
}

int32_t OwnerDataListView::SubItemHitTest(HitTestInfo& info) const {
    info.flags = 0;
    const QPoint pt = info.pt;
    if (!rect().contains(pt)) {
        if (pt.x() < 0) info.flags |= LVHT_TOLEFT;
        else if (pt.x() >= width()) info.flags |= LVHT_TORIGHT;
        if (pt.y() < 0) info.flags |= LVHT_ABOVE;
        else if (pt.y() >= height()) info.flags |= LVHT_BELOW;
        info.iItem = -1;
        return -1;
    }
    const QPoint vp = viewport()->mapFrom(this, pt);
    if (!viewport()->rect().contains(vp)) {
        info.flags = LVHT_NOWHERE;
        info.iItem = -1;
        return -1;
    }
    const int64_t item = int64_t(TopIndex()) + vp.y() / RowHeight();
    const int col = horizontalHeader()->logicalIndexAt(vp.x());
    if (item >= m_count || col < 0) {
        info.flags = LVHT_NOWHERE;
        info.iItem = -1;
        return -1;
    }
    info.iItem = static_cast<int32_t>(item);
    info.iSubItem = col;
    const ImageList* images = m_model->Images();
    const bool hasImage = images && (col == 0 || (m_exStyle & LVS_EX_SUBITEMIMAGES));
    const int cellX = vp.x() - horizontalHeader()->sectionViewportPosition(col);
    const int iconEnd = hasImage ? images->ImageSize().width() + 2 * style()->pixelMetric(QStyle::PM_FocusFrameHMargin) + 2 : 0;
    info.flags = hasImage && cellX < iconEnd ? LVHT_ONITEMICON : LVHT_ONITEMLABEL;
    return info.iItem;
}

// ---- look ----------------------------------------------------------------------

bool OwnerDataListView::SetImageList(ImageList* images) {
    if (images == nullptr) return false;
    m_model->SetImages(images);
    ApplyRowHeight();
    UpdateShownRows();
    ApplyScrollRange();
    viewport()->update();
    return true;
}

void OwnerDataListView::SetHeaderImageList(ImageList* images) { m_model->SetHeaderImages(images); }

bool OwnerDataListView::SetBkColor(const QColor& color) {
    if (!color.isValid()) return false;
    QPalette p = palette();
    p.setColor(QPalette::Base, color);
    setPalette(p);
    viewport()->update();
    return true;
}

bool OwnerDataListView::SetTextBkColor(const QColor& color) {
    if (!color.isValid()) return false;
    // Cells are drawn on the list's own background.
    m_textBk = color;
    return true;
}

QColor OwnerDataListView::BkColor() const { return palette().color(QPalette::Base); }

void OwnerDataListView::SetExtendedStyle(int32_t mask, int32_t style) {
    m_exStyle = (m_exStyle & ~mask) | (style & mask);
    m_model->SetSubItemImages((m_exStyle & LVS_EX_SUBITEMIMAGES) != 0);
    SyncSelection();
    viewport()->update();
}

void OwnerDataListView::InvalidateRect(const QRect* rect) {
    if (rect == nullptr) {
        viewport()->update();
        return;
    }
    const QRect r = rect->translated(-viewport()->geometry().topLeft());
    viewport()->update(r.intersected(viewport()->rect()));
}

// ---- columns -------------------------------------------------------------------

int32_t OwnerDataListView::InsertColumn(int32_t pos, const QString& text, int32_t width) {
    if (pos < 0) return -1;
    pos = std::min(pos, ColumnCount());
    m_model->InsertColumn(pos, text);
    horizontalHeader()->resizeSection(pos, std::max(0, width));
    SyncSelection();
    return pos;
}

bool OwnerDataListView::DeleteColumn(int32_t col) {
    if (col < 0 || col >= ColumnCount()) return false;
    m_model->RemoveColumn(col);
    SyncSelection();
    return true;
}

bool OwnerDataListView::SetColumnWidth(int32_t col, int32_t width) {
    if (col < 0 || col >= ColumnCount()) return false;
    horizontalHeader()->resizeSection(col, std::max(0, width));
    return true;
}

int32_t OwnerDataListView::ColumnWidthOf(int32_t col) const {
    if (col < 0 || col >= ColumnCount()) return 0;
    return horizontalHeader()->sectionSize(col);
}

bool OwnerDataListView::GetColumnText(int32_t col, int32_t cchTextMax, QString& text) const {
    if (col < 0 || col >= ColumnCount() || cchTextMax <= 0) return false;
    text = m_model->Caption(col).left(cchTextMax - 1);
    return true;
}

bool OwnerDataListView::SetHeaderItemImage(int32_t col, int32_t, int32_t image) {
    if (col < 0 || col >= ColumnCount()) return false;
    m_model->SetHeaderImage(col, image);
    return true;
}

bool OwnerDataListView::SetHeaderToolTip(int32_t col, const QString& tip) {
    if (col < 0 || col >= ColumnCount()) return false;
    m_model->SetHeaderToolTip(col, tip);
    return true;
}

QString OwnerDataListView::HeaderToolTip(int32_t col) const {
    if (col < 0 || col >= ColumnCount()) return QString();
    return m_model->HeaderToolTip(col);
}

int32_t OwnerDataListView::HeaderItemImage(int32_t col) const {
    if (col < 0 || col >= ColumnCount()) return -1;
    return m_model->HeaderImage(col);
}

// ---- header -------------------------------------------------------------------------

void OwnerDataListView::OnSectionResized(int, int, int) {
    // While a divider is dragged the rows wait for its release.
    if (!m_tracking) viewport()->update();
}

int32_t OwnerDataListView::DividerAt(int x) const {
    const QHeaderView* header = horizontalHeader();
    const int grip = style()->pixelMetric(QStyle::PM_HeaderGripMargin, nullptr, header);
    for (int col = 0; col < ColumnCount(); ++col) {
        const int edge = header->sectionViewportPosition(col) + header->sectionSize(col);
        if (std::abs(x - edge) <= grip) return col;
    }
    return -1;
}

bool OwnerDataListView::eventFilter(QObject* watched, QEvent* e) {
    if (watched == horizontalHeader()->viewport()) {
        switch (e->type()) {
            case QEvent::MouseButtonPress: {
                auto* me = static_cast<QMouseEvent*>(e);
                const int32_t col = DividerAt(me->position().toPoint().x());
                if (col >= 0 && me->button() == Qt::LeftButton) m_tracking = true;
                // A press on the header focuses the list, so the click that
                // sorts leaves the keys with the list it sorted.
                if (!hasFocus()) setFocus(Qt::MouseFocusReason);
                break;
            }
            case QEvent::MouseButtonRelease:
                if (m_tracking) {
                    m_tracking = false;
                    viewport()->update();
                }
                break;
            case QEvent::MouseButtonDblClick:
                // Taken here: the table would size the column to its
                // contents, asking every cell of the page.
                return true;
            default: break;
        }
    }
    return QTableView::eventFilter(watched, e);
}

// ---- tooltips --------------------------------------------------------------------------

bool OwnerDataListView::viewportEvent(QEvent* e) {
    if (e->type() != QEvent::ToolTip) return QTableView::viewportEvent(e);
    ShowToolTip(static_cast<const QHelpEvent*>(e));
    return true;
}

void OwnerDataListView::ShowToolTip(const QHelpEvent* e) {
    HitTestInfo hit;
    hit.pt = viewport()->mapTo(this, e->pos());
    const int32_t item = SubItemHitTest(hit);
    const QString text =
        item < 0 ? QString() : m_model->index(item - TopIndex(), hit.iSubItem).data(Qt::ToolTipRole).toString();
    QRect row;
    if (text.isEmpty() || !GetItemRect(item, row)) {
        QToolTip::hideText();
        return;
    }
    // The tip goes when the pointer leaves the row.
    QToolTip::showText(e->globalPos(), text, viewport(), row.translated(-viewport()->geometry().topLeft()));
}

// ---- input (the control's own handling) -------------------------------------------

void OwnerDataListView::mousePressEvent(QMouseEvent* e) {
    if (e->button() == Qt::LeftButton || e->button() == Qt::RightButton) {
        HitTestInfo hit;
        hit.pt = viewport()->mapTo(this, e->position().toPoint());
        const int32_t item = SubItemHitTest(hit);
        if (item >= 0) {
            SelectFromUser(item);
        } else {
            m_selected = -1;
            SyncSelection();
            viewport()->update();
        }
    }
    setFocus(Qt::MouseFocusReason);
    e->accept();
}

void OwnerDataListView::mouseReleaseEvent(QMouseEvent* e) { e->accept(); }

void OwnerDataListView::mouseMoveEvent(QMouseEvent* e) { e->accept(); }

void OwnerDataListView::mouseDoubleClickEvent(QMouseEvent* e) { mousePressEvent(e); }

void OwnerDataListView::keyPressEvent(QKeyEvent* e) {
    if (m_count == 0) {
        e->ignore();
        return;
    }
    const int32_t page = CountPerPage();
    const int32_t top = TopIndex();
    const int32_t from = m_focused;
    int32_t to = from;
    switch (e->key()) {
        case Qt::Key_Down: to = from < 0 ? 0 : from + 1; break;
        case Qt::Key_Up: to = from < 0 ? 0 : from - 1; break;
        case Qt::Key_PageDown: {
            const int32_t bottom = top + page - 1;
            to = from < 0 ? top : (from < bottom ? bottom : from + page);
            break;
        }
        case Qt::Key_PageUp: to = from < 0 ? top : (from > top ? top : from - page); break;
        case Qt::Key_Home: to = 0; break;
        case Qt::Key_End: to = m_count - 1; break;
        default: e->ignore(); return;
    }
    SelectFromUser(std::clamp<int32_t>(to, 0, m_count - 1));
    e->accept();
}

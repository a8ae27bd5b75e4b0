#include "clsVirtualListview.h"

#include <algorithm>
#include <cmath>

#include <QCoreApplication>
#include <QCursor>
#include <QKeyEvent>
#include <QMouseEvent>

#include "ErrorTrap.h"
#include "MessagePump.h"
#include "ScreenText.h"
#include "SystemColors.h"
#include "SystemMetrics.h"
#include "VirtualKey.h"
#include "clsInterrupt.h"
#include "clsMonitor.h"

namespace {

constexpr int kPumpEveryMs = 10;

// Mouse buttons as the forms number them.
constexpr int16_t kLeftButton = 1;
constexpr int16_t kRightButton = 2;
constexpr int16_t kMiddleButton = 4;

enum MouseKind { kMouseDown, kMouseUp, kMouseMove };


int16_t ButtonsOf(Qt::MouseButtons buttons) {
    int16_t b = 0;
    if (buttons & Qt::LeftButton) b |= kLeftButton;
    if (buttons & Qt::RightButton) b |= kRightButton;
    if (buttons & Qt::MiddleButton) b |= kMiddleButton;
    return b;
}

bool IsFormButton(Qt::MouseButton button) {
    return button == Qt::LeftButton || button == Qt::RightButton || button == Qt::MiddleButton;
}

}  // namespace

clsVirtualListview::clsVirtualListview(QObject* parent)
    : QObject(parent), ListPane(0, QStringLiteral("clsVirtualListview")), m_rows(1), m_rev(1) {}

clsVirtualListview::~clsVirtualListview() {
    if (m_parent) m_parent->removeEventFilter(this);
    delete m_list.data();
}

// ---- window ------------------------------------------------------------------------

void clsVirtualListview::Initialize(QWidget* hwndParent) {
    if (hwndParent == nullptr) return;
    m_parent = hwndParent;
    auto* list = new OwnerDataListView(hwndParent);
    list->setGeometry(hwndParent->rect());
    list->setVisible(true);
    list->SetRowSource(this);
    m_list = list;
    // Tab reaches the list where its host stands among the form's controls
    // (Qt orders only widgets that take the focus, which the host need not).
    const Qt::FocusPolicy hostPolicy = hwndParent->focusPolicy();
    hwndParent->setFocusPolicy(Qt::TabFocus);
    QWidget::setTabOrder(hwndParent, list);
    hwndParent->setFocusPolicy(hostPolicy);
    connect(list, &OwnerDataListView::ColumnClicked, this, &clsVirtualListview::OnColumnClicked);
    // A list destroyed with its form still sends events (losing the focus)
    // that would find it half destroyed.
    connect(list, &OwnerDataListView::Closing, this, [this, list] {
        list->removeEventFilter(this);
        list->viewport()->removeEventFilter(this);
        if (m_list == list) m_list = nullptr;
    });
    hwndParent->installEventFilter(this);
    list->installEventFilter(this);
    // Installed last, so it runs before the list's own filter of its viewport.
    list->viewport()->installEventFilter(this);
}

bool clsVirtualListview::eventFilter(QObject* watched, QEvent* event) {
    if (watched == m_passing) return false;
    if (watched == m_parent) return WndProcParent(m_parent, event);
    if (m_list && (watched == m_list || watched == m_list->viewport())) return WndProc(m_list, event);
    return false;
}

void clsVirtualListview::PassOn(QObject* target, QEvent* event) {
    QObject* previous = m_passing;
    m_passing = target;
    QCoreApplication::sendEvent(target, event);
    m_passing = previous;
}

QWidget* clsVirtualListview::hWnd() const { return m_list.data(); }

void clsVirtualListview::Resize() {
    if (!m_list || !m_parent) return;
    m_list->setGeometry(m_parent->rect());
    ResizeCols();
}

void clsVirtualListview::Refresh() {
    if (m_list) m_list->InvalidateRect(nullptr);
}

void clsVirtualListview::RepaintItem(int32_t iItem) {
    if (!m_list) return;
    QRect bounds;
    if (m_list->GetItemRect(iItem, bounds)) m_list->InvalidateRect(&bounds);
    MessagePump::DoEvents();
}

void clsVirtualListview::GetFocus() {
    if (!m_list) return;
    m_list->setFocus(Qt::OtherFocusReason);
    MessagePump::DoEvents();
}

void clsVirtualListview::SetVisible(int32_t iItem) {
    if (m_list) m_list->EnsureVisible(iItem, false);
}

void clsVirtualListview::SetActiveItem(int32_t iItem) {
    if (!m_list) return;
    SetVisible(iItem);
    const int32_t both = OwnerDataListView::LVIS_FOCUSED | OwnerDataListView::LVIS_SELECTED;
    m_list->SetItemState(iItem, both, both);
}

int32_t clsVirtualListview::GetItem() { return m_list ? m_list->GetSelectionMark() : 0; }

bool clsVirtualListview::HitTest(int32_t x, int32_t y, int32_t& iItem, int32_t& iSubItem, int32_t& fFlags) {
    fFlags = 0;
    if (!m_list) return false;
    OwnerDataListView::HitTestInfo info;
    info.pt = QPoint(x, y);
    if (m_list->SubItemHitTest(info) == -1) return false;
    fFlags = info.flags;
    iItem = info.iItem;
    iSubItem = info.iSubItem;
    return true;
}

QPoint clsVirtualListview::CursorPos() const { return m_messageCursor ? *m_messageCursor : QCursor::pos(); }

bool clsVirtualListview::GetMouseItem(int32_t& iItem, int32_t& iSubItem, int32_t& HitFlags) {
    iItem = -1;
    iSubItem = 0;
    HitFlags = 0;
    if (!m_list) return false;
    const QPoint client = m_list->mapFromGlobal(CursorPos());
    // Only a point on a row hits.
    return HitTest(client.x(), client.y(), iItem, iSubItem, HitFlags);
}

bool clsVirtualListview::SetImageList(ImageList* ListId) {
    return m_list && ListId != nullptr && m_list->SetImageList(ListId);
}

bool clsVirtualListview::SetBackColor(uint32_t Color) {
    if (!m_list) return false;
    const QColor c = SystemColors::FromOle(Color);
    return m_list->SetBkColor(c) && m_list->SetTextBkColor(c);
}

void clsVirtualListview::SetExtendedStyle(int32_t StyleEx) {
    if (m_list) m_list->SetExtendedStyle(StyleEx, StyleEx);
}

// ---- window procedures ------------------------------------------------------------------

void clsVirtualListview::RaiseMouse(int kind, QEvent* event) {
    auto* me = static_cast<QMouseEvent*>(event);
    const int16_t button = ButtonsOf(me->buttons());
    int32_t item = -1, sub = 0, flags = 0;
    GetMouseItem(item, sub, flags);
    if (kind == kMouseDown) emit MouseDown(button, item, sub, flags);
    else if (kind == kMouseUp) emit MouseUp(button, item, sub, flags);
    else emit MouseMove(button, item, sub, flags);
}

bool clsVirtualListview::WndProc(QWidget*, QEvent* event) {
    bool result = false;
    Trap(
        [&] {
            if (!m_list) return;
            struct CursorScope {
                std::optional<QPoint>& slot;
                ~CursorScope() { slot.reset(); }
            } scope{m_messageCursor};
            const QEvent::Type type = event->type();
            // A disabled list (its owner's long work runs) raises no mouse
            // events; a press passed on to its disabled viewport would also
            // come back through the list, its parent, without end.
            const bool mouse = type == QEvent::MouseMove || type == QEvent::MouseButtonPress ||
                               type == QEvent::MouseButtonRelease || type == QEvent::MouseButtonDblClick;
            if (mouse && !m_list->isEnabled()) return;
            switch (type) {
                case QEvent::FocusIn:
                    m_focus = true;
                    SetBackColor(SystemColors::kInfoBackground);
                    Refresh();
                    break;
                case QEvent::FocusOut:
                    m_focus = false;
                    SetBackColor(SystemColors::kWindow);
                    Refresh();
                    break;
                case QEvent::KeyPress:
                case QEvent::KeyRelease: {
                    auto* ke = static_cast<QKeyEvent*>(event);
                    const bool down = type == QEvent::KeyPress;
                    // A held key repeats its press, never its release.
                    if (!down && ke->isAutoRepeat()) break;
                    const int16_t key = VirtualKey::FromEvent(ke);
                    if (key == VirtualKey::kShift) m_shift = down;
                    else if (key == VirtualKey::kControl) m_ctrl = down;
                    else if (key == VirtualKey::kMenu) m_alt = down;
                    else if (down) emit KeyDown(key, m_ctrl, m_shift, m_alt);
                    else emit KeyUp(key, m_ctrl, m_shift, m_alt);
                    break;
                }
                case QEvent::MouseMove: {
                    const QPoint pos = static_cast<QMouseEvent*>(event)->globalPosition().toPoint();
                    if (pos == m_lastCursor) {
                        result = true;
                        break;
                    }
                    m_lastCursor = pos;
                    m_messageCursor = pos;
                    RaiseMouse(kMouseMove, event);
                    break;
                }
                case QEvent::MouseButtonPress: {
                    auto* me = static_cast<QMouseEvent*>(event);
                    if (!IsFormButton(me->button())) break;
                    if (!m_focus && m_parent) m_parent->setFocus(Qt::MouseFocusReason);
                    m_messageCursor = me->globalPosition().toPoint();
                    // The control selects and takes the focus first.
                    PassOn(m_list->viewport(), event);
                    RaiseMouse(kMouseDown, event);
                    result = true;
                    break;
                }
                case QEvent::MouseButtonRelease: {
                    auto* me = static_cast<QMouseEvent*>(event);
                    if (!IsFormButton(me->button())) break;
                    if (!m_focus && m_parent) m_parent->setFocus(Qt::MouseFocusReason);
                    m_messageCursor = me->globalPosition().toPoint();
                    RaiseMouse(kMouseUp, event);
                    result = true;
                    break;
                }
                default:
                    break;
            }
        },
        [&](const QString& d) { ReportError(d, QStringLiteral("WndProc")); });
    return result;
}

bool clsVirtualListview::WndProcParent(QWidget*, QEvent* event) {
    if (event->type() == QEvent::Resize) Trap([&] { Resize(); }, [&](const QString& d) { ReportParentFailure(d); });
    return false;
}

void clsVirtualListview::ReportParentFailure(const QString& description) const {
    if (m_reportParentFailures) ReportError(description, QStringLiteral("WndProcParent"));
}

void clsVirtualListview::OnColumnClicked(int32_t column) {
    Trap([&] { emit ColumnClick(column); }, [&](const QString& d) { ReportParentFailure(d); });
}

// ---- the form's answers ----------------------------------------------------------------

QString clsVirtualListview::RowText(int32_t row, int32_t column) {
    QString text;
    if (!RowsReadable()) return text;
    Trap([&] { emit ItemTextCallback(row, column, text); },
         [&](const QString& d) {
             text.clear();
             ReportParentFailure(d);
         });
    // The form answers with bytes, one per character; the cell's buffer
    // holds what fits of them.
    return ScreenText::HeldCell(text, ListRowSource::kItemTextMax - 1);
}

int32_t clsVirtualListview::RowImage(int32_t row, int32_t column) {
    if (!RowsReadable()) return -1;
    int16_t image = 0;
    Trap([&] { emit ItemImageCallback(row, column, image); }, [&](const QString& d) { ReportParentFailure(d); });
    return image;
}

QString clsVirtualListview::RowToolTip(int32_t row, int32_t column) {
    QString text;
    if (!RowsReadable()) return text;
    Trap([&] { emit ToolTip(row, column, text); },
         [&](const QString& d) {
             text.clear();
             ReportError(d, QStringLiteral("WndProc"));
         });
    return ScreenText::HeldCell(text, kToolTipMax);
}

// ---- columns -------------------------------------------------------------------------------

bool clsVirtualListview::InsertColumn(int32_t Pos, const QString& Text, int16_t Width, int16_t Factor) {
    if (!m_list || m_list->InsertColumn(Pos, Text, Width) == -1) return false;
    // Appended whatever Pos is: the forms only append.
    clsHeaderColumn column;
    column.IniWidth = Width;
    column.Factor = Factor;
    m_columns.append(column);
    return true;
}

bool clsVirtualListview::DeleteColumn(int32_t iCol) {
    if (!m_list || !m_list->DeleteColumn(iCol)) return false;
    if (iCol >= 0 && iCol < m_columns.size()) m_columns.removeAt(iCol);
    return true;
}

bool clsVirtualListview::SetColumnWidth(int32_t iCol, int32_t Width) {
    return m_list && m_list->SetColumnWidth(iCol, Width);
}

int16_t clsVirtualListview::GetColumnCount() { return m_list ? static_cast<int16_t>(m_list->ColumnCount()) : 0; }

QString clsVirtualListview::GetColumnName(int32_t iCol) {
    QString text;
    if (!m_list || !m_list->GetColumnText(iCol, kColumnNameMax, text)) return QString();
    const qsizetype nul = text.indexOf(QChar(0));
    return nul >= 0 ? text.left(nul) : text;
}

int32_t clsVirtualListview::GetColumnFactor(int32_t iCol) {
    if (iCol < 1) {
        ReportError(QStringLiteral("Subscript out of range"), QStringLiteral("GetColumnFactor"));
        return 0;
    }
    if (iCol > m_columns.size()) return 0;
    return m_columns.at(iCol - 1).Factor;
}

int32_t clsVirtualListview::GetWidth() { return m_list ? m_list->width() : 0; }

void clsVirtualListview::SetHeaderImageList(ImageList* ListId) {
    if (m_list) m_list->SetHeaderImageList(ListId);
}

void clsVirtualListview::SetHeaderIcon(int32_t iCol, int32_t Icon) {
    constexpr int32_t kFormat =
        OwnerDataListView::HDF_STRING | OwnerDataListView::HDF_BITMAP | OwnerDataListView::HDF_IMAGE;
    if (m_list) m_list->SetHeaderItemImage(iCol, kFormat, Icon);
}

void clsVirtualListview::SetHeadersIcon(int32_t Icon) {
    const int16_t n = GetColumnCount();
    for (int32_t i = 0; i < n; ++i) SetHeaderIcon(i, Icon);
}

void clsVirtualListview::ResizeCols() {
    if (!m_list || m_columns.isEmpty()) return;
    // The scroll bar's width is kept free whether or not it shows.
    const int32_t border =
        2 * SystemMetrics::Get(SystemMetrics::kCxEdge) + SystemMetrics::Get(SystemMetrics::kCxVScroll);
    int32_t available = GetWidth() - border;
    int32_t sum = 0;
    for (const clsHeaderColumn& c : m_columns) {
        if (c.Factor == 0) available -= c.IniWidth;
        else sum += c.Factor;
    }
    const float unit = sum < 1 ? 1.0f : static_cast<float>(available) / static_cast<float>(sum);
    for (int32_t i = 0; i < m_columns.size(); ++i) {
        const clsHeaderColumn& c = m_columns.at(i);
        int32_t width = c.IniWidth;
        if (c.Factor != 0) {
            float w = unit * static_cast<float>(c.Factor);
            if (w < static_cast<float>(c.IniWidth)) w = static_cast<float>(c.IniWidth);
            width = static_cast<int32_t>(std::nearbyint(w));
        }
        SetColumnWidth(i, std::max(0, width));
    }
    Refresh();
}

// ---- rows -----------------------------------------------------------------------------------

void clsVirtualListview::SetCount(int32_t Count) {
    // The row index grows with the form's list: memory may run out.
    Trap(
        [&] {
            ++m_generation;
            m_rows.assign(1, VLItem());
            BuildReverseIndex();
            if (!m_list || !m_list->SetItemCount(Count)) return;
            std::vector<VLItem> rows(static_cast<size_t>(Count) + 1);
            for (int32_t i = 1; i <= Count; ++i) rows[static_cast<size_t>(i)].DataIdx = i;
            m_rows.swap(rows);
            BuildReverseIndex();
        },
        [&](const QString& d) {
            m_rows.assign(1, VLItem());
            m_rev.assign(1, 0);
            if (m_list) m_list->SetItemCount(0);
            ReportError(d, QStringLiteral("SetCount"));
        });
}

void clsVirtualListview::Clear() {
    if (m_list) SetCount(0);
}

int32_t clsVirtualListview::RowCount() const { return static_cast<int32_t>(m_rows.size() - 1); }

int32_t clsVirtualListview::GetCnt(bool) { return RowCount(); }

int32_t clsVirtualListview::GetSel() {
    int32_t n = 0;
    for (size_t i = 1; i < m_rows.size(); ++i)
        if (m_rows[i].Checked != 0) ++n;
    return n;
}

void clsVirtualListview::SelectAll() {
    for (size_t i = 1; i < m_rows.size(); ++i) m_rows[i].Checked = -1;
}

void clsVirtualListview::DeselectAll() {
    for (size_t i = 1; i < m_rows.size(); ++i) m_rows[i].Checked = 0;
}

void clsVirtualListview::InvertAll() {
    for (size_t i = 1; i < m_rows.size(); ++i) m_rows[i].Checked = m_rows[i].Checked != 0 ? 0 : -1;
}

int32_t clsVirtualListview::Idx(int32_t Pos) {
    if (Pos < 1 || Pos > RowCount()) return 0;
    return m_rows[static_cast<size_t>(Pos)].DataIdx;
}

int32_t clsVirtualListview::RevIdx(int32_t Pos) {
    if (Pos < 1 || Pos > RowCount() || static_cast<size_t>(Pos) >= m_rev.size()) return 0;
    return m_rev[static_cast<size_t>(Pos)];
}

bool clsVirtualListview::GetCheckState(int32_t Idx) {
    if (Idx < 1 || Idx > RowCount()) return false;
    return m_rows[static_cast<size_t>(Idx)].Checked != 0;
}

void clsVirtualListview::SetCheckState(int32_t Idx, bool Flag) {
    if (Idx < 1 || Idx > RowCount()) return;
    m_rows[static_cast<size_t>(Idx)].Checked = Flag ? -1 : 0;
}

void clsVirtualListview::BuildReverseIndex() {
    const size_t n = m_rows.size() - 1;
    m_rev.assign(n + 1, 0);
    for (size_t i = 1; i <= n; ++i) {
        const int32_t d = m_rows[i].DataIdx;
        if (d >= 1 && static_cast<size_t>(d) <= n) m_rev[static_cast<size_t>(d)] = static_cast<int32_t>(i);
    }
}

// ---- sorting ----------------------------------------------------------------------------------
// Row numbers here are the window's 0-based rows: row r is position r + 1.

int clsVirtualListview::CompareItems(const VLItem& a, const VLItem& b) {
    if (m_by < 1) {
        const bool ca = a.Checked != 0, cb = b.Checked != 0;
        const int r = (!ca && cb) ? -1 : (ca && !cb) ? 1 : 0;
        return r * m_dir;
    }
    return CompareRows(a.DataIdx, b.DataIdx, m_by, m_dir);
}

int clsVirtualListview::Compare(int32_t p, int32_t q) {
    // Copies: the form's handler may pump messages.
    const VLItem a = m_rows.at(static_cast<size_t>(p) + 1);
    const VLItem b = m_rows.at(static_cast<size_t>(q) + 1);
    return CompareItems(a, b);
}

void clsVirtualListview::Swap(int32_t p, int32_t q) {
    std::swap(m_rows.at(static_cast<size_t>(p) + 1), m_rows.at(static_cast<size_t>(q) + 1));
}

bool clsVirtualListview::Step(bool countAnimation) {
    // Messages run every few milliseconds rather than at every step: a
    // million rows take some twenty million steps.
    if (!m_pumpClock.isValid() || m_pumpClock.elapsed() >= kPumpEveryMs) {
        MessagePump::DoEvents();
        m_pumpClock.restart();
    }
    // A new row count from a message handler ends the sort.
    if (m_generation != m_sortGeneration) return false;
    if (Interrupt && Interrupt->Active) {
        m_stopped = true;
        return false;
    }
    if (countAnimation) {
        if (++m_anim >= 100) {
            m_anim = 0;
            if (Monitor) Monitor->Animate();
        }
    }
    return true;
}

bool clsVirtualListview::QuickSort(int32_t lo, int32_t hi) {
    while (int64_t(hi) - lo > 4) {
        const auto mid = static_cast<int32_t>(std::nearbyint((double(lo) + double(hi)) / 2.0));
        if (Compare(lo, mid) == 1) Swap(lo, mid);
        if (Compare(lo, hi) == 1) Swap(lo, hi);
        if (Compare(mid, hi) == 1) Swap(mid, hi);
        Swap(mid, hi - 1);
        const int32_t pivot = hi - 1;
        int32_t i = lo, j = hi - 1;
        for (;;) {
            if (!Step(false)) return false;
            do {
                if (!Step(true)) return false;
                ++i;
                if (i > hi) break;
            } while (Compare(i, pivot) == -1);
            do {
                if (!Step(true)) return false;
                --j;
                if (j < lo) break;
            } while (Compare(j, pivot) == 1);
            if (j < i) break;
            Swap(i, j);
        }
        Swap(i, hi - 1);
        // The shorter side first keeps the nesting shallow on long lists.
        if (int64_t(j) - lo < int64_t(hi) - (i + 1)) {
            if (!QuickSort(lo, j)) return false;
            lo = i + 1;
        } else {
            if (!QuickSort(i + 1, hi)) return false;
            hi = j;
        }
    }
    return true;
}

bool clsVirtualListview::InsertionSort(int32_t lo, int32_t hi) {
    for (int32_t i = lo + 1; i <= hi; ++i) {
        const VLItem key = m_rows.at(static_cast<size_t>(i) + 1);
        int32_t j = i;
        bool go = true;
        for (;;) {
            if (!Step(true)) {
                go = false;
                break;
            }
            if (j <= lo) break;
            if (CompareItems(m_rows.at(static_cast<size_t>(j)), key) != 1) break;
            m_rows.at(static_cast<size_t>(j) + 1) = m_rows.at(static_cast<size_t>(j));
            --j;
        }
        // The key goes back in also when stopped, so no data item is lost.
        if (m_generation == m_sortGeneration) m_rows.at(static_cast<size_t>(j) + 1) = key;
        if (!go) return false;
    }
    return true;
}

bool clsVirtualListview::Sort(int16_t By, bool Ascending) {
    bool result = false;
    // A sort asked for while one runs (from a message handler) is refused.
    if (m_sorting) return false;
    struct SortingScope {
        bool& flag;
        ~SortingScope() { flag = false; }
    } scope{m_sorting};
    m_sorting = true;
    m_stopped = false;
    m_sortGeneration = m_generation;
    // The form's comparisons run inside.
    Trap(
        [&] {
            const int32_t n = RowCount();
            if (n == 0) return;
            if (n > 1) {
                m_by = By;
                m_dir = Ascending ? 1 : -1;
                m_pumpClock.invalidate();
                // The rows' items, to put the focused row back on its item.
                std::vector<int32_t> itemOfRow(static_cast<size_t>(n));
                for (int32_t r = 0; r < n; ++r) itemOfRow[static_cast<size_t>(r)] = Idx(r + 1);
                const bool done = QuickSort(0, n - 1) && InsertionSort(0, n - 1);
                // Whatever order was reached, the reverse index follows it.
                BuildReverseIndex();
                if (m_list)
                    m_list->FollowRows([&](int32_t row) {
                        return row < n ? RevIdx(itemOfRow[static_cast<size_t>(row)]) - 1 : row;
                    });
                if (!done) return;
            }
            result = true;
            if (m_list) m_list->EnsureVisible(0, false);
        },
        [&](const QString& d) {
            result = false;
            BuildReverseIndex();
            ReportError(d, QStringLiteral("Sort"));
        });
    // The stop request that ended the sort is taken.
    if (m_stopped && Interrupt) Interrupt->IReset();
    return result;
}

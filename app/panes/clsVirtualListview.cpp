#include "clsVirtualListview.h"

#include <algorithm>
#include <cmath>
#include <stdexcept>

#include <QCursor>
#include <QHelpEvent>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QToolTip>

#include "ErrorTrap.h"
#include "MessagePump.h"
#include "SystemColors.h"
#include "SystemMetrics.h"
#include "VirtualKey.h"
#include "clsInterrupt.h"
#include "clsMonitor.h"

namespace {

constexpr uint32_t kColorWindow = 0x80000005;
constexpr uint32_t kColorInfoBk = 0x80000018;  // tooltip background: the focused list
constexpr int kPumpEveryMs = 10;

enum MouseKind { kMouseDown, kMouseUp, kMouseMove };

// Texts cross the control's buffers as single bytes.
QString Ansi(const QString& s) { return QString::fromLatin1(s.toLatin1()); }

}  // namespace

clsVirtualListview::clsVirtualListview(QObject* parent)
    : QObject(parent), ListPane(0, QStringLiteral("clsVirtualListview")), m_rows(1), m_rev(1) {}

clsVirtualListview::~clsVirtualListview() {
    if (m_parent) UnSubClass(m_parent);
    if (m_list) {
        UnSubClass(m_list);
        delete m_list.data();
    }
}

// ---- window ------------------------------------------------------------------------

void clsVirtualListview::Initialize(QWidget* hwndParent, WindowProc WndProcNew, WindowProc WndProcParentNew) {
    Trap(
        [&] {
            if (hwndParent == nullptr) return;
            m_parent = hwndParent;
            auto* list = new OwnerDataListView(hwndParent);
            list->setGeometry(hwndParent->rect());
            list->setVisible(true);
            m_list = list;
            if (SubClass(hwndParent, WndProcParentNew)) SubClass(list, WndProcNew);
        },
        [&](const QString& d) { ReportError(d, QStringLiteral("Initialize")); });
}

bool clsVirtualListview::SubClass(QWidget* hWnd, WindowProc WndProcNew) {
    bool result = false;
    Trap([&] { result = WindowSubclass::Install(hWnd, WndProcNew, this); },
         [&](const QString& d) { ReportError(d, QStringLiteral("SubClass")); });
    return result;
}

bool clsVirtualListview::UnSubClass(QWidget* hWnd) {
    bool result = false;
    Trap([&] { result = WindowSubclass::Remove(hWnd); },
         [&](const QString& d) { ReportError(d, QStringLiteral("UnSubClass")); });
    return result;
}

QWidget* clsVirtualListview::hWnd() const { return m_list.data(); }

void clsVirtualListview::Resize() {
    Trap(
        [&] {
            if (!m_list || !m_parent) return;
            m_list->setGeometry(m_parent->rect());
            ResizeCols();
        },
        [&](const QString& d) { ReportError(d, QStringLiteral("Resize")); });
}

void clsVirtualListview::Refresh() {
    Trap([&] { if (m_list) m_list->InvalidateRect(nullptr); },
         [&](const QString& d) { ReportError(d, QStringLiteral("Refresh")); });
}

void clsVirtualListview::RepaintItem(int32_t iItem) {
    Trap(
        [&] {
            if (!m_list) return;
            QRect bounds;
            if (m_list->GetItemRect(iItem, bounds)) m_list->InvalidateRect(&bounds);
            MessagePump::DoEvents();
        },
        [&](const QString& d) { ReportError(d, QStringLiteral("RepaintItem")); });
}

void clsVirtualListview::GetFocus() {
    Trap(
        [&] {
            if (!m_list) return;
            m_list->setFocus(Qt::OtherFocusReason);
            MessagePump::DoEvents();
        },
        [&](const QString& d) { ReportError(d, QStringLiteral("GetFocus")); });
}

void clsVirtualListview::SetVisible(int32_t iItem) {
    Trap([&] { if (m_list) m_list->EnsureVisible(iItem, false); },
         [&](const QString& d) { ReportError(d, QStringLiteral("SetVisible")); });
}

void clsVirtualListview::SetActiveItem(int32_t iItem) {
    Trap(
        [&] {
            SetVisible(iItem);
            const int32_t both = OwnerDataListView::LVIS_FOCUSED | OwnerDataListView::LVIS_SELECTED;
            if (m_list) m_list->SetItemState(iItem, both, both);
        },
        [&](const QString& d) { ReportError(d, QStringLiteral("SetActiveItem")); });
}

int32_t clsVirtualListview::GetItem() {
    int32_t result = 0;
    Trap([&] { result = m_list ? m_list->GetSelectionMark() : 0; },
         [&](const QString& d) {
             result = 0;
             ReportError(d, QStringLiteral("GetItem"));
         });
    return result;
}

bool clsVirtualListview::HitTest(int32_t x, int32_t y, int32_t& iItem, int32_t& iSubItem, int32_t& fFlags) {
    bool result = false;
    fFlags = 0;
    Trap(
        [&] {
            if (!m_list) return;
            OwnerDataListView::HitTestInfo info;
            info.pt = QPoint(x, y);
            if (m_list->SubItemHitTest(info) == -1) return;
            fFlags = info.flags;
            iItem = info.iItem;
            iSubItem = info.iSubItem;
            result = true;
        },
        [&](const QString& d) { ReportError(d, QStringLiteral("HitTest")); });
    return result;
}

QPoint clsVirtualListview::CursorPos() const { return m_messageCursor ? *m_messageCursor : QCursor::pos(); }

bool clsVirtualListview::GetMouseItem(int32_t& iItem, int32_t& iSubItem, int32_t& HitFlags) {
    iItem = -1;
    iSubItem = 0;
    HitFlags = 0;
    bool result = false;
    Trap(
        [&] {
            if (!m_list) return;
            const QPoint client = m_list->mapFromGlobal(CursorPos());
            int32_t item = -1, sub = 0, flags = 0;
            if (!HitTest(client.x(), client.y(), item, sub, flags)) return;
            // Beside the list, not on a row.
            if (flags == 1 || flags == 8 || flags == 16 || flags == 32 || flags == 64) return;
            iItem = item;
            iSubItem = sub;
            HitFlags = flags;
            result = true;
        },
        [&](const QString& d) { ReportError(d, QStringLiteral("GetMouseItem")); });
    return result;
}

bool clsVirtualListview::SetImageList(ImageList* ListId) {
    bool result = false;
    Trap([&] { result = m_list && ListId != nullptr && m_list->SetImageList(ListId); },
         [&](const QString& d) { ReportError(d, QStringLiteral("SetImageList")); });
    return result;
}

bool clsVirtualListview::SetBackColor(uint32_t Color) {
    bool result = false;
    Trap(
        [&] {
            if (!m_list) return;
            const QColor c = SystemColors::FromOle(Color);
            result = m_list->SetBkColor(c) && m_list->SetTextBkColor(c);
        },
        [&](const QString& d) { ReportError(d, QStringLiteral("SetBackColor")); });
    return result;
}

void clsVirtualListview::SetExtendedStyle(int32_t StyleEx) {
    Trap([&] { if (m_list) m_list->SetExtendedStyle(StyleEx, StyleEx); },
         [&](const QString& d) { ReportError(d, QStringLiteral("SetExtendedStyle")); });
}

// ---- window procedures ------------------------------------------------------------------

int16_t clsVirtualListview::ButtonsOf(Qt::MouseButtons buttons) const {
    int16_t b = 0;
    if (buttons & Qt::LeftButton) b |= 1;
    if (buttons & Qt::RightButton) b |= 2;
    if (buttons & Qt::MiddleButton) b |= 4;
    return b;
}

void clsVirtualListview::RaiseMouse(int kind, QEvent* event) {
    auto* me = static_cast<QMouseEvent*>(event);
    const int16_t button = ButtonsOf(me->buttons());
    int32_t item = -1, sub = 0, flags = 0;
    GetMouseItem(item, sub, flags);
    if (kind == kMouseDown) emit MouseDown(button, item, sub, flags);
    else if (kind == kMouseUp) emit MouseUp(button, item, sub, flags);
    else emit MouseMove(button, item, sub, flags);
}

bool clsVirtualListview::TooltipText(QEvent* event) {
    auto* he = static_cast<QHelpEvent*>(event);
    int32_t item = -1, sub = 0, flags = 0;
    if (!RowsReadable() || !GetMouseItem(item, sub, flags)) {
        QToolTip::hideText();
        return true;
    }
    QString text;
    emit ToolTip(item, sub, text);
    if (text.size() >= kToolTipMax) text.truncate(kToolTipMax);
    text = Ansi(text);
    if (text.isEmpty()) {
        QToolTip::hideText();
        return true;
    }
    QRect cell;
    if (m_list->GetItemRect(item, cell)) cell.translate(-m_list->viewport()->geometry().topLeft());
    QToolTip::showText(he->globalPos(), text, m_list->viewport(), cell);
    return true;
}

bool clsVirtualListview::HandleListNotify(const ListViewNotify* n) {
    switch (n->code) {
        case ListViewNotify::HDN_BEGINTRACKA:
            m_tracking = true;
            return false;
        case ListViewNotify::HDN_ENDTRACKA:
            m_tracking = false;
            Refresh();
            return false;
        case ListViewNotify::HDN_ITEMCHANGEDA:
            return m_tracking;
        case ListViewNotify::HDN_ITEMDBLCLICKA:
        case ListViewNotify::HDN_DIVIDERDBLCLICKA:
            // No double-click actions, no automatic column sizing.
            return true;
        default:
            return false;
    }
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
            if (type == ListViewNotify::EventType()) {
                result = HandleListNotify(static_cast<ListViewNotify*>(event));
                return;
            }
            switch (type) {
                case QEvent::FocusIn:
                    m_focus = true;
                    SetBackColor(kColorInfoBk);
                    Refresh();
                    break;
                case QEvent::FocusOut:
                    m_focus = false;
                    SetBackColor(kColorWindow);
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
                    if (me->button() != Qt::LeftButton && me->button() != Qt::RightButton &&
                        me->button() != Qt::MiddleButton)
                        break;
                    if (!m_focus && m_parent) m_parent->setFocus(Qt::MouseFocusReason);
                    m_messageCursor = me->globalPosition().toPoint();
                    // The control selects and takes the focus first.
                    WindowSubclass::CallOld(m_list->viewport(), event);
                    RaiseMouse(kMouseDown, event);
                    result = true;
                    break;
                }
                case QEvent::MouseButtonRelease: {
                    auto* me = static_cast<QMouseEvent*>(event);
                    if (me->button() != Qt::LeftButton && me->button() != Qt::RightButton &&
                        me->button() != Qt::MiddleButton)
                        break;
                    if (!m_focus && m_parent) m_parent->setFocus(Qt::MouseFocusReason);
                    m_messageCursor = me->globalPosition().toPoint();
                    RaiseMouse(kMouseUp, event);
                    result = true;
                    break;
                }
                case QEvent::ToolTip:
                    m_messageCursor = static_cast<QHelpEvent*>(event)->globalPos();
                    result = TooltipText(event);
                    break;
                default:
                    break;
            }
        },
        [&](const QString& d) { ReportError(d, QStringLiteral("WndProc")); });
    return result;
}

bool clsVirtualListview::WndProcParent(QWidget*, QEvent* event) {
    bool result = false;
    Trap(
        [&] {
            if (event->type() == QEvent::Resize) {
                Resize();
                return;
            }
            if (event->type() != ListViewNotify::EventType()) return;
            auto* n = static_cast<ListViewNotify*>(event);
            if (!m_list || n->hwndFrom != m_list.data()) return;
            if (n->code == ListViewNotify::LVN_GETDISPINFOA && n->item != nullptr) {
                AnswerDispInfo(*n->item);
                result = true;
            } else if (n->code == ListViewNotify::LVN_COLUMNCLICK) {
                emit ColumnClick(n->iSubItem);
                result = true;
            }
        },
        [&](const QString& d) {
            if (m_reportParentFailures) ReportError(d, QStringLiteral("WndProcParent"));
        });
    return result;
}

void clsVirtualListview::AnswerDispInfo(ListViewNotify::DispInfo& item) {
    if (!RowsReadable()) {
        item.text.clear();
        item.iImage = -1;
        return;
    }
    if (item.mask & ListViewNotify::LVIF_IMAGE) {
        int16_t image = 0;
        emit ItemImageCallback(item.iItem, item.iSubItem, image);
        item.iImage = image;
    }
    if (item.mask & ListViewNotify::LVIF_STATE) {
        int16_t state = 0;
        emit ItemStateCallback(item.iItem, item.iSubItem, state);
        item.state = 0;
        item.stateMask = -1;
    }
    if (item.mask & ListViewNotify::LVIF_TEXT) {
        QString text;
        emit ItemTextCallback(item.iItem, item.iSubItem, text);
        QByteArray bytes = text.toLatin1();
        if (item.cchTextMax <= 0) bytes.clear();
        else if (bytes.size() >= item.cchTextMax) bytes.truncate(item.cchTextMax - 1);
        item.text = QString::fromLatin1(bytes);
    }
}

// ---- columns -------------------------------------------------------------------------------

bool clsVirtualListview::InsertColumn(int32_t Pos, const QString& Text, int16_t Width, int16_t Factor) {
    bool result = false;
    Trap(
        [&] {
            if (!m_list) return;
            if (m_list->InsertColumn(Pos, Text, Width) == -1) return;
            // Appended whatever Pos is: the forms only append.
            clsHeaderColumn column;
            column.IniWidth = Width;
            column.Factor = Factor;
            m_columns.append(column);
            result = true;
        },
        [&](const QString& d) { ReportError(d, QStringLiteral("InsertColumn")); });
    return result;
}

bool clsVirtualListview::DeleteColumn(int32_t iCol) {
    bool result = false;
    Trap(
        [&] {
            if (!m_list || !m_list->DeleteColumn(iCol)) return;
            if (iCol >= 0 && iCol < m_columns.size()) m_columns.removeAt(iCol);
            result = true;
        },
        [&](const QString& d) { ReportError(d, QStringLiteral("DeleteColumn")); });
    return result;
}

bool clsVirtualListview::SetColumnWidth(int32_t iCol, int32_t Width) {
    bool result = false;
    Trap([&] { result = m_list && m_list->SetColumnWidth(iCol, Width); },
         [&](const QString& d) { ReportError(d, QStringLiteral("SetColumnWidth")); });
    return result;
}

int16_t clsVirtualListview::GetColumnCount() {
    int16_t result = 0;
    Trap([&] { result = m_list ? static_cast<int16_t>(m_list->ColumnCount()) : 0; },
         [&](const QString& d) { ReportError(d, QStringLiteral("GetColumnCount")); });
    return result;
}

QString clsVirtualListview::GetColumnName(int32_t iCol) {
    QString result;
    Trap(
        [&] {
            QString text;
            if (!m_list || !m_list->GetColumnText(iCol, kColumnNameMax, text)) return;
            const qsizetype nul = text.indexOf(QChar(0));
            result = nul >= 0 ? text.left(nul) : text;
        },
        [&](const QString& d) { ReportError(d, QStringLiteral("GetColumnName")); });
    return result;
}

int32_t clsVirtualListview::GetColumnFactor(int32_t iCol) {
    int32_t result = 0;
    Trap(
        [&] {
            if (iCol < 1) throw std::out_of_range("Subscript out of range");
            if (iCol > m_columns.size()) return;
            result = m_columns.at(iCol - 1).Factor;
        },
        [&](const QString& d) {
            result = 0;
            ReportError(d, QStringLiteral("GetColumnFactor"));
        });
    return result;
}

int32_t clsVirtualListview::GetWidth() {
    int32_t result = 0;
    Trap([&] { result = m_list ? m_list->width() : 0; },
         [&](const QString& d) { ReportError(d, QStringLiteral("GetWidth")); });
    return result;
}

void clsVirtualListview::SetHeaderImageList(ImageList* ListId) {
    Trap([&] { if (m_list) m_list->SetHeaderImageList(ListId); },
         [&](const QString& d) { ReportError(d, QStringLiteral("SetHeaderImageList")); });
}

void clsVirtualListview::SetHeaderIcon(int32_t iCol, int32_t Icon) {
    Trap([&] { if (m_list) m_list->SetHeaderItemImage(iCol, 0x6800, Icon); },
         [&](const QString& d) { ReportError(d, QStringLiteral("SetHeaderIcon")); });
}

void clsVirtualListview::SetHeadersIcon(int32_t Icon) {
    Trap(
        [&] {
            if (!m_list) return;
            const int16_t n = GetColumnCount();
            for (int32_t i = 0; i < n; ++i) SetHeaderIcon(i, Icon);
        },
        [&](const QString& d) { ReportError(d, QStringLiteral("SetHeadersIcon")); });
}

void clsVirtualListview::ResizeCols() {
    Trap(
        [&] {
            if (!m_list || m_columns.isEmpty()) return;
            // The scroll bar's width is kept free whether or not it shows.
            const int32_t border = 2 * SystemMetrics::Get(SystemMetrics::kCxEdge) +
                                   SystemMetrics::Get(SystemMetrics::kCxVScroll);
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
        },
        [&](const QString& d) { ReportError(d, QStringLiteral("ResizeCols")); });
}

// ---- rows -----------------------------------------------------------------------------------

void clsVirtualListview::SetCount(int32_t Count) {
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
    Trap([&] { if (m_list) SetCount(0); }, [&](const QString& d) { ReportError(d, QStringLiteral("Clear")); });
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
    Trap(
        [&] {
            const size_t n = m_rows.size() - 1;
            m_rev.assign(n + 1, 0);
            for (size_t i = 1; i <= n; ++i) {
                const int32_t d = m_rows[i].DataIdx;
                if (d >= 1 && static_cast<size_t>(d) <= n) m_rev[static_cast<size_t>(d)] = static_cast<int32_t>(i);
            }
        },
        [&](const QString& d) { ReportError(d, QStringLiteral("BuildReverseIndex")); });
}

// ---- sorting ----------------------------------------------------------------------------------
// Row numbers here are the window's 0-based rows: row r is position r + 1.

int clsVirtualListview::CompareItems(const VLItem& a, const VLItem& b) {
    if (m_by < 1) {
        const bool ca = a.Checked != 0, cb = b.Checked != 0;
        const int r = (!ca && cb) ? -1 : (ca && !cb) ? 1 : 0;
        return r * m_dir;
    }
    int16_t result = 0;
    emit evCompare(a.DataIdx, b.DataIdx, m_by, m_dir, result);
    return result < 0 ? -1 : result > 0 ? 1 : 0;
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
    Trap(
        [&] {
            const int32_t n = RowCount();
            if (n == 0) return;
            if (n > 1) {
                m_by = By;
                m_dir = Ascending ? 1 : -1;
                m_pumpClock.invalidate();
                const bool done = QuickSort(0, n - 1) && InsertionSort(0, n - 1);
                // Whatever order was reached, the reverse index follows it.
                BuildReverseIndex();
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

// The file pane's view: its cells, the tick column, sorting by a header
// click, the mouse, the Ctrl keys, the tooltip and the tick and Remove
// buttons.
#include <QCheckBox>
#include <QCursor>
#include <QFile>
#include <QMenu>

#include "ErrorTrap.h"
#include "FrmMain.h"
#include "ListIcons.h"
#include "ListsCol.h"
#include "MessagePump.h"
#include "OwnerDataListView.h"
#include "PopupMenuSeam.h"
#include "ReportError.h"
#include "Screen.h"
#include "ServiceObjects.h"
#include "clsChronometer.h"
#include "clsMergeFile.h"
#include "clsMonitor.h"
#include "clsVirtualListview.h"
#include "modGlobalFunctionsForms.h"

namespace {

enum FileColumn : int32_t {
    kTickColumn = 0,
    kNameColumn = 1,
    kPathColumn = 2,
    kRecColumn = 3,
    kInvColumn = 4,
    kDupColumn = 5,
    kSizeColumn = 6,
};

constexpr int32_t kSortProgressDelayMs = 1500;
constexpr int64_t kBytesPerKB = 1024;
constexpr int16_t kNoImage = -1;
constexpr int32_t kNoRow = -1;
// Where a press landed on a row: its icon, its text or its state icon.
constexpr int32_t kRowParts = OwnerDataListView::LVHT_ONITEMICON | OwnerDataListView::LVHT_ONITEMLABEL |
                              OwnerDataListView::LVHT_ONITEMSTATEICON;
// Windows key codes of the shortcuts.
constexpr int16_t kKeyD = 'D';
constexpr int16_t kKeyI = 'I';
constexpr int16_t kKeyS = 'S';

void ReportAs(const QString& description, const char* routine) {
    modGlobalFunctions::ReportError(description, QString(), QStringLiteral("FrmMain"), QLatin1String(routine), false,
                                    true);
}

QString CountText(int32_t count) { return count < 0 ? QStringLiteral("-") : QString::number(count); }

QString SizeText(int64_t bytes) {
    return bytes >= kBytesPerKB ? QString::number(bytes / kBytesPerKB) + QStringLiteral(" KB")
                                : QString::number(bytes) + QStringLiteral(" B");
}

template <class T>
int16_t Order(const T& a, const T& b) {
    return a < b ? -1 : b < a ? 1 : 0;
}

int16_t OrderText(const QString& a, const QString& b) {
    const int r = QString::compare(a, b, Qt::CaseInsensitive);
    return r < 0 ? -1 : r > 0 ? 1 : 0;
}

// One tick button: the pane's operation on every row.
void TickAll(const std::shared_ptr<clsVirtualListview>& pane, void (ListPane::*operation)(), const char* routine) {
    Trap(
        [&] {
            if (!pane) return;
            // The keys stay with the list the button acted on (the button
            // itself may be disabled by the new selection).
            pane->GetFocus();
            ((*pane).*operation)();
            pane->SetAll();
            pane->Refresh();
            MessagePump::DoEvents();
        },
        [&](const QString& d) { ReportAs(d, routine); });
}

}  // namespace

std::shared_ptr<clsMergeFile> FrmMain::FileAtRow(int32_t row) const {
    if (!VL_file) return nullptr;
    const int32_t n = VL_file->Idx(row);
    const auto& files = MergeFiles();
    if (n < 1 || n > files.size()) return nullptr;
    return files[n - 1];
}

void FrmMain::VL_file_ItemTextCallback(int32_t iItem, int32_t iSubItem, QString& sText) {
    Trap(
        [&] {
            const auto file = FileAtRow(iItem + 1);
            if (!file) return;
            switch (iSubItem) {
                // The pane shows bytes: a name goes as the file system spells it.
                case kNameColumn: sText = QString::fromLatin1(QFile::encodeName(file->name)); break;
                case kPathColumn: sText = QString::fromLatin1(QFile::encodeName(file->Path)); break;
                case kRecColumn: sText = CountText(file->nbRec); break;
                case kInvColumn: sText = CountText(file->nbInv); break;
                case kDupColumn: sText = CountText(file->nbDup); break;
                case kSizeColumn: sText = SizeText(file->Size); break;
                default: break;
            }
        },
        [&](const QString& d) {
            sText.clear();
            ReportAs(d, "VL_file_ItemTextCallback");
        });
}

void FrmMain::VL_file_ItemImageCallback(int32_t iItem, int32_t iSubItem, int16_t& Image) {
    Trap(
        [&] {
            Image = kNoImage;
            if (!VL_file || MergeFiles().isEmpty() || iSubItem != kTickColumn) return;
            Image = VL_file->GetCheckState(iItem + 1) ? ListIcons::kChecked : ListIcons::kUnchecked;
        },
        [&](const QString& d) { ReportAs(d, "VL_file_ItemImageCallback"); });
}

void FrmMain::VL_file_ColumnClick(int32_t nColumn) {
    ClosingStep closing(this);
    Trap(
        [&] {
            const auto pane = VL_file;
            if (!pane || MergeFiles().size() <= 1) return;
            ChronoObj()->Startup(QStringLiteral("hh:mm:ss"), false);
            MonitorObj()->Delay(kSortProgressDelayMs, QStringLiteral("Sorting Files"), QStringLiteral("Now sorting files"),
                                this, true);
            Screen::Instance()->SetMousePointer(Screen::kHourglassPointer);
            pane->SetHeadersIcon(ListIcons::kUnsorted);
            // Another column starts ascending; the same one alternates.
            if (nColumn != m_fileSortColumn) m_fileSortDescending = false;
            const bool ascending = !m_fileSortDescending;
            pane->SetHeaderIcon(nColumn, ascending ? ListIcons::kAscending : ListIcons::kDescending);
            pane->Sort(static_cast<int16_t>(nColumn), ascending);
            m_fileSortDescending = !m_fileSortDescending;
            m_fileSortColumn = static_cast<int16_t>(nColumn);
            pane->SetVisible(0);
            pane->Refresh();
            MessagePump::DoEvents();
        },
        [&](const QString& d) { ReportAs(d, "VL_file_ColumnClick"); });
}

void FrmMain::VL_file_evCompare(int32_t a, int32_t b, int16_t By, int16_t Dir, int16_t& Result) {
    Trap(
        [&] {
            const auto& files = MergeFiles();
            if (a < 1 || b < 1 || a > files.size() || b > files.size()) return;
            const clsMergeFile& fa = *files[a - 1];
            const clsMergeFile& fb = *files[b - 1];
            int16_t order = 0;
            switch (By) {
                case kNameColumn: order = OrderText(fa.name, fb.name); break;
                case kPathColumn: order = OrderText(fa.Path, fb.Path); break;
                case kRecColumn: order = Order(fa.nbRec, fb.nbRec); break;
                case kInvColumn: order = Order(fa.nbInv, fb.nbInv); break;
                case kDupColumn: order = Order(fa.nbDup, fb.nbDup); break;
                case kSizeColumn: order = Order(fa.Size, fb.Size); break;
                default: return;
            }
            Result = static_cast<int16_t>(order * Dir);
        },
        [&](const QString& d) { ReportAs(d, "VL_file_evCompare"); });
}

void FrmMain::VL_file_MouseDown(int16_t Button, int32_t iItem, int32_t iSubItem, int32_t HitFlags) {
    Trap(
        [&] {
            const auto pane = VL_file;  // kept while the menu lets other events run
            ThisList = pane;
            if (!pane || MergeFiles().isEmpty()) return;
            const bool onRow = (HitFlags & kRowParts) != 0;
            if (Button == modGlobalFunctions::kLeftButton) {
                // Only the tick column's icon toggles, not the row's text.
                if ((HitFlags & kRowParts) != OwnerDataListView::LVHT_ONITEMICON || iSubItem != kTickColumn) return;
                pane->Item = iItem;
                pane->SetCheckState(iItem + 1, !pane->GetCheckState(iItem + 1));
                pane->RepaintItem(iItem);
                pane->SetAll();
                MessagePump::DoEvents();
            } else if (Button == modGlobalFunctions::kRightButton) {
                Popup1Flags Vflags{};
                Popup1Flags Eflags{};
                if (!SetPopup1Access(ThisList, Vflags, Eflags, onRow ? iItem : kNoRow)) return;
                ActivatePopup1Access(Vflags, Eflags);
                PopupMenuSeam::Popup(M_Popup1, QCursor::pos());
            }
        },
        [&](const QString& d) { ReportAs(d, "VL_file_MouseDown"); });
}

void FrmMain::VL_file_KeyDown(int16_t KeyCode, bool has_ctrl, bool /*has_shift*/, bool /*has_alt*/) {
    Trap(
        [&] {
            const auto pane = VL_file;
            if (!pane || !has_ctrl) return;
            void (ListPane::*operation)() = nullptr;
            switch (KeyCode) {
                case kKeyS: operation = &ListPane::SelectAll; break;
                case kKeyD: operation = &ListPane::DeselectAll; break;
                case kKeyI: operation = &ListPane::InvertAll; break;
                default: return;
            }
            ((*pane).*operation)();
            pane->SetAll();
            pane->Refresh();
        },
        [&](const QString& d) { ReportAs(d, "VL_file_KeyDown"); });
}

void FrmMain::VL_file_ToolTip(int32_t /*iItem*/, int32_t /*iSubItem*/, QString& sText) {
    Trap([&] { sText = TotalsText; }, [&](const QString& d) { ReportAs(d, "VL_file_ToolTip"); });
}

void FrmMain::ComSelAll_Click() { TickAll(VL_file, &ListPane::SelectAll, "ComSelAll_Click"); }
void FrmMain::ComDesAll_Click() { TickAll(VL_file, &ListPane::DeselectAll, "ComDesAll_Click"); }
void FrmMain::ComInvSel_Click() { TickAll(VL_file, &ListPane::InvertAll, "ComInvSel_Click"); }

void FrmMain::ComRemSel_Click() {
    Trap(
        [&] {
            const auto pane = VL_file;
            auto& files = MergeFiles();
            if (!pane || files.isEmpty()) return;
            // From the last file number down: the lower numbers, and their
            // rows, stay valid while files go.
            for (auto n = static_cast<int32_t>(files.size()); n >= 1; --n)
                if (pane->GetCheckState(pane->RevIdx(n))) files.removeAt(n - 1);
            pane->SetCount(0);
            pane->SetHeadersIcon(ListIcons::kUnsorted);
            pane->SetCount(static_cast<int32_t>(files.size()));
            pane->SetAll();
            pane->Refresh();
            MessagePump::DoEvents();
            SetTotals(ChkCntRec->isChecked(), ChkCntInvDup->isChecked());
        },
        [&](const QString& d) { ReportAs(d, "ComRemSel_Click"); });
}

// The two engine-bound list panes: their cells read from the engine list of
// their side, their icon clicks select or flag an entry, their header
// clicks sort.  Each handler is one implementation taking the side; the
// left and right handlers only name their side.
#include <cstring>
#include <iterator>

#include "ErrorTrap.h"
#include "FrmMain.h"
#include "ListIcons.h"
#include "ListsCol.h"
#include "OrmidYRB100.h"
#include "OwnerDataListView.h"
#include "ReportError.h"
#include "clsEmailList.h"
#include "clsVL2.h"
#include "modGlobalFunctionsForms.h"

namespace {

using WorkspaceSide = FrmMain::WorkspaceSide;

// The workspace panes' columns.
enum PaneColumn : int32_t {
    kSelectionColumn = 0,
    kUserColumn = 1,
    kDomainColumn = 2,
    kInvalidColumn = 3,
    kDuplicateColumn = 4,
    kDeletedColumn = 5,
    kCompareColumn = 6,
};

// The three flag columns: the bit each shows and toggles, and its icon.
struct FlagColumn {
    int32_t column;
    int32_t flag;
    int16_t icon;
};
constexpr FlagColumn kFlagColumns[] = {
    {kInvalidColumn, YRB_FLAG_INVALID, ListIcons::kInvalid},
    {kDuplicateColumn, YRB_FLAG_DUPLICATE, ListIcons::kDuplicate},
    {kDeletedColumn, YRB_FLAG_DELETED, ListIcons::kDeleted},
};

// The key a header click sorts by, by column.
constexpr int32_t kHeaderKeys[] = {YRB_SORT_SELECTED, YRB_SORT_USER,    YRB_SORT_DOMAIN, YRB_SORT_INVALID,
                                   YRB_SORT_DUPLICATE, YRB_SORT_DELETED, YRB_SORT_COMPARE};

// Every flag bit of an entry.
constexpr int32_t kAllFlags = -1;
// The longest part a cell shows, in bytes.
constexpr int32_t kPartMax = 1024;
constexpr int16_t kNoIcon = -1;
// A click on a row's icon, not on its text nor on a state icon.
constexpr int32_t kHitParts = OwnerDataListView::LVHT_ONITEMICON | OwnerDataListView::LVHT_ONITEMLABEL |
                              OwnerDataListView::LVHT_ONITEMSTATEICON;

// Runs a handler's body; a failure is reported under the side's routine
// ("VL_left_" or "VL_right_" and the event).
template <class Body>
void TrapOnSide(const WorkspaceSide& side, const char* event, Body&& body) {
    Trap(body, [&](const QString& d) {
        modGlobalFunctions::ReportError(d, QString(), QStringLiteral("FrmMain"),
                                        QStringLiteral("VL_") + side.word.toLower() + QLatin1Char('_') +
                                            QLatin1String(event),
                                        false, true);
    });
}

void CellText(const WorkspaceSide& side, int32_t iItem, int32_t iSubItem, QString& sText) {
    TrapOnSide(side, "ItemTextCallback", [&] {
        // The text columns carry the parts of the same number.
        static_assert(kUserColumn == YRB_PART_USER && kDomainColumn == YRB_PART_DOMAIN);
        if (iSubItem != kUserColumn && iSubItem != kDomainColumn) return;
        char buffer[kPartMax + 1];
        std::memset(buffer, ' ', sizeof buffer);
        // Nothing copied leaves the buffer blank: an empty cell.
        YRB18(side.slot, iItem, iSubItem, buffer, kPartMax);
        const void* nul = std::memchr(buffer, '\0', sizeof buffer);
        const char* end = nul ? static_cast<const char*>(nul) : buffer + sizeof buffer;
        const char* begin = buffer;
        while (begin < end && *begin == ' ') ++begin;
        while (end > begin && end[-1] == ' ') --end;
        // A control character shows in the notation the structure preview
        // gives it, not as blank space.
        sText = clsEmailList().Expand(QString::fromLatin1(begin, end - begin));
    });
}

void CellImage(const WorkspaceSide& side, int32_t iItem, int32_t iSubItem, int16_t& Image) {
    TrapOnSide(side, "ItemImageCallback", [&] {
        Image = kNoIcon;
        const int32_t flags = YRB17(side.slot, iItem, kAllFlags);
        // No entry there (or no list): no flags to show, not every flag.
        if (flags < 0) return;
        switch (iSubItem) {
            case kSelectionColumn:
                Image = ListIcons::kUnchecked;
                if (flags & YRB_FLAG_SELECTED) Image = ListIcons::kChecked;
                // The cross wins over the tick.
                if (flags & YRB_MASK_REMOVED) Image = ListIcons::kRemoved;
                break;
            case kCompareColumn: {
                const bool left = side.slot == 1;
                if (flags & YRB_FLAG_IN_BOTH) Image = left ? ListIcons::kLeftInBoth : ListIcons::kRightInBoth;
                // Only here wins when both bits are set.
                if (flags & YRB_FLAG_NOT_IN_OTHER)
                    Image = left ? ListIcons::kLeftNotInOther : ListIcons::kRightNotInOther;
                break;
            }
            default:
                for (const FlagColumn& f : kFlagColumns)
                    if (f.column == iSubItem) Image = (flags & f.flag) ? f.icon : static_cast<int16_t>(ListIcons::kUnchecked);
                break;
        }
    });
}

// Sets or clears one bit of the entry as it is not or is set now.
void ToggleBit(int32_t slot, int32_t iItem, int32_t flags, int32_t bit) {
    YRB03(slot, iItem, bit, (flags & bit) ? YRB_MODE_CLEAR : YRB_MODE_SET);
}

void MouseDown(const WorkspaceSide& side, int16_t Button, int32_t iItem, int32_t iSubItem, int32_t HitFlags) {
    TrapOnSide(side, "MouseDown", [&] {
        ThisList = side.pane;
        if (Button != modGlobalFunctions::kLeftButton) return;
        if ((HitFlags & kHitParts) != OwnerDataListView::LVHT_ONITEMICON) return;
        const auto pane = side.pane;  // kept while the repaint lets other events run
        if (!pane) return;            // the window has unloaded its panes
        int32_t bit = 0;
        if (iSubItem != kSelectionColumn)
            for (const FlagColumn& f : kFlagColumns)
                if (f.column == iSubItem) bit = f.flag;
        if (iSubItem != kSelectionColumn && bit == 0) return;
        const int32_t flags = YRB17(side.slot, iItem, kAllFlags);
        // No entry there: the click touches nothing, not even the row the
        // menu's row commands act on.
        if (flags < 0) return;
        if (iSubItem == kSelectionColumn) {
            pane->Item = iItem;
            // A removed entry keeps its selection bit.
            if ((flags & YRB_MASK_REMOVED) == 0) ToggleBit(side.slot, iItem, flags, YRB_FLAG_SELECTED);
        } else {
            ToggleBit(side.slot, iItem, flags, bit);
        }
        pane->RepaintItem(iItem);
        pane->SetAll();
    });
}

void ColumnClick(FrmMain& form, const WorkspaceSide& side, int32_t nColumn) {
    TrapOnSide(side, "ColumnClick", [&] {
        if (YRB14(side.slot) != 0) return;
        ThisList = side.pane;
        if (nColumn < 0 || nColumn >= static_cast<int32_t>(std::size(kHeaderKeys))) return;
        FrmMain::SortState& sort = *side.sort;
        if (nColumn != sort.LastSortColumn) sort.NextSortOrder = 0;
        form.SortBy(side.pane.get(), kHeaderKeys[nColumn], sort.NextSortOrder);
        sort.NextSortOrder = sort.NextSortOrder == 0 ? 1 : 0;
        sort.LastSortColumn = static_cast<int16_t>(nColumn);
    });
}

}  // namespace

void FrmMain::ConnectWorkspacePanes() {
    struct PaneEvents {
        clsVL2* pane;
        void (FrmMain::*text)(int32_t, int32_t, QString&);
        void (FrmMain::*image)(int32_t, int32_t, int16_t&);
        void (FrmMain::*mouseDown)(int16_t, int32_t, int32_t, int32_t);
        void (FrmMain::*columnClick)(int32_t);
    };
    const PaneEvents panes[] = {
        {VL_left.get(), &FrmMain::VL_left_ItemTextCallback, &FrmMain::VL_left_ItemImageCallback,
         &FrmMain::VL_left_MouseDown, &FrmMain::VL_left_ColumnClick},
        {VL_right.get(), &FrmMain::VL_right_ItemTextCallback, &FrmMain::VL_right_ItemImageCallback,
         &FrmMain::VL_right_MouseDown, &FrmMain::VL_right_ColumnClick},
    };
    for (const PaneEvents& p : panes) {
        if (p.pane == nullptr) continue;
        // Direct: the cell handlers answer through their reference arguments.
        connect(p.pane, &clsVirtualListview::ItemTextCallback, this, p.text, Qt::DirectConnection);
        connect(p.pane, &clsVirtualListview::ItemImageCallback, this, p.image, Qt::DirectConnection);
        connect(p.pane, &clsVirtualListview::MouseDown, this, p.mouseDown, Qt::DirectConnection);
        connect(p.pane, &clsVirtualListview::ColumnClick, this, p.columnClick, Qt::DirectConnection);
    }
}

void FrmMain::VL_left_ItemTextCallback(int32_t iItem, int32_t iSubItem, QString& sText) {
    CellText(Side(1), iItem, iSubItem, sText);
}
void FrmMain::VL_right_ItemTextCallback(int32_t iItem, int32_t iSubItem, QString& sText) {
    CellText(Side(2), iItem, iSubItem, sText);
}

void FrmMain::VL_left_ItemImageCallback(int32_t iItem, int32_t iSubItem, int16_t& Image) {
    CellImage(Side(1), iItem, iSubItem, Image);
}
void FrmMain::VL_right_ItemImageCallback(int32_t iItem, int32_t iSubItem, int16_t& Image) {
    CellImage(Side(2), iItem, iSubItem, Image);
}

// The left button's half here, the right button's (the popup menu) with the menu.
void FrmMain::VL_left_MouseDown(int16_t Button, int32_t iItem, int32_t iSubItem, int32_t HitFlags) {
    MouseDown(Side(1), Button, iItem, iSubItem, HitFlags);
    if (Button == modGlobalFunctions::kRightButton) PaneRightClick(Side(1), iItem, HitFlags);
}
void FrmMain::VL_right_MouseDown(int16_t Button, int32_t iItem, int32_t iSubItem, int32_t HitFlags) {
    MouseDown(Side(2), Button, iItem, iSubItem, HitFlags);
    if (Button == modGlobalFunctions::kRightButton) PaneRightClick(Side(2), iItem, HitFlags);
}

void FrmMain::VL_left_ColumnClick(int32_t nColumn) { ColumnClick(*this, Side(1), nColumn); }
void FrmMain::VL_right_ColumnClick(int32_t nColumn) { ColumnClick(*this, Side(2), nColumn); }

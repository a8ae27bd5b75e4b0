// The list popup menu: its access profile for the pane in ThisList, the
// menu items set from it, the Ctrl shortcuts of the two lists, and the
// right clicks, keys and tips of the two panes.
#include <QCursor>
#include <QMenu>

#include "ErrorTrap.h"
#include "FrmMain.h"
#include "ListsCol.h"
#include "OrmidYRB100.h"
#include "OwnerDataListView.h"
#include "PanelStatusBar.h"
#include "PopupMenuSeam.h"
#include "ReportError.h"
#include "ScreenText.h"
#include "StatusPanel.h"
#include "clsVL2.h"
#include "modGlobalFunctionsForms.h"

namespace {

// A click or a move on a row (its icon, its text or a state icon).
constexpr int32_t kOnRow = OwnerDataListView::LVHT_ONITEMICON | OwnerDataListView::LVHT_ONITEMLABEL |
                           OwnerDataListView::LVHT_ONITEMSTATEICON;
constexpr int32_t kNoRow = -1;
constexpr int32_t kAllFlags = -1;

// Windows key codes the panes raise.
constexpr int16_t kKeyPageUp = 33;
constexpr int16_t kKeyPageDown = 34;
constexpr int16_t kKeyEnd = 35;
constexpr int16_t kKeyHome = 36;
constexpr int16_t kKeyUp = 38;
constexpr int16_t kKeyDown = 40;

const QString kModule = QStringLiteral("FrmMain");

void ReportAs(const QString& description, const QString& routine) {
    modGlobalFunctions::ReportError(description, QString(), kModule, routine, false, true);
}

}  // namespace

bool FrmMain::SetPopup1Access(const ListPaneRef& pane, Popup1Flags& Vflags, Popup1Flags& Eflags, int32_t Item) {
    Vflags.fill(false);
    Eflags.fill(false);
    bool any = false;
    Trap(
        [&] {
            if (!pane) {
                ReportAs(QStringLiteral("ThisList object not set"), QStringLiteral("SetPopup1Access"));
                return;
            }
            if (pane->LType == ListKindNotSet) {
                ReportAs(QStringLiteral("No List type has been provided"), QStringLiteral("SetPopup1Access"));
                return;
            }
            auto* engine = dynamic_cast<clsVL2*>(pane.get());
            const int32_t count = pane->GetCnt();
            const int32_t selected = pane->GetSel();
            const bool hasEntries = count != 0;
            const bool hasSelection = selected != 0;
            const bool allSelected = selected == count;
            const bool empty = engine != nullptr && engine->GetEmpty();
            const bool onRow = engine != nullptr && engine->Item != kNoRow;
            bool inv = false, dup = false, del = false;
            if (engine != nullptr && YRB14(engine->VListNb) == 0 && Item != kNoRow) {
                // No entry at that row: no flags.
                const int32_t flags = YRB17(engine->VListNb, Item, kAllFlags);
                if (flags >= 0) {
                    inv = (flags & YRB_FLAG_INVALID) != 0;
                    dup = (flags & YRB_FLAG_DUPLICATE) != 0;
                    del = (flags & YRB_FLAG_DELETED) != 0;
                }
            }
            auto set = [&](int slot, bool visible, bool enabled) {
                Vflags[slot] = visible;
                Eflags[slot] = enabled;
            };
            for (int slot : {kPopSep2, kPopSep3, kPopSep4, kPopSep5, kPopSep6}) Vflags[slot] = true;
            for (int slot : {kPopFind, kPopStat, kPopSelect, kPopInvert}) set(slot, true, hasEntries);
            set(kPopSelectAll, true, !allSelected);
            for (int slot : {kPopDeselectAll, kPopRemove}) set(slot, true, hasSelection);
            for (int slot : {kPopSort, kPopUnMarkFull, kPopClear}) set(slot, true, !empty);
            set(kPopMark, true, onRow && !(inv && dup && del));
            if (Eflags[kPopMark]) {
                set(kPopMarkInv, !inv, !inv);
                set(kPopMarkDup, !dup, !dup);
                set(kPopMarkDel, !del, !del);
            }
            set(kPopUnMark, true, onRow && (inv || dup || del));
            if (Eflags[kPopUnMark]) {
                const bool several = int(inv) + int(dup) + int(del) >= 2;
                set(kPopUnMarkAll, several, several);
                set(kPopUnMarkInv, inv, inv);
                set(kPopUnMarkDup, dup, dup);
                set(kPopUnMarkDel, del, del);
            }
            for (int slot : {kPopSplit, kPopBcc, kPopSave}) set(slot, true, hasSelection);
            set(kPopImport, true, true);

            if (pane->LType == LeftList || pane->LType == RightList) {
                set(kPopRemove, false, false);
            } else if (pane->LType == MergeList || pane->LType == MailList) {
                for (int slot = 0; slot < kPopSlots; ++slot)
                    if (slot != kPopSelectAll && slot != kPopDeselectAll && slot != kPopInvert) set(slot, false, false);
            }
            for (bool v : Vflags) any = any || v;
        },
        [&](const QString& d) { ReportAs(d, QStringLiteral("SetPopup1Access")); });
    return any;
}

QAction* FrmMain::Popup1Item(int slot) const {
    QAction* const items[kPopSlots] = {
        M_Popup1Find,      Sep2,
        M_Popup1Stat,      Sep3,
        M_Popup1Select,    M_Popup1SelectAll,
        M_Popup1DeselectAll, M_Popup1Invert,
        M_Popup1Remove,    Sep4,
        M_Popup1Sort,      Sep5,
        M_Popup1Mark,      M_Popup1MarkInv,
        M_Popup1MarkDup,   M_Popup1MarkDel,
        M_Popup1UnMark,    M_Popup1UnMarkAll,
        M_Popup1UnMarkInv, M_Popup1UnMarkDup,
        M_Popup1UnMarkDel, M_Popup1UnMarkFull,
        Sep6,              M_Popup1Split,
        M_Popup1Bcc,       M_Popup1Save,
        M_Popup1Import,    M_Popup1Clear,
    };
    return slot >= 0 && slot < kPopSlots ? items[slot] : nullptr;
}

void FrmMain::ActivatePopup1Access(const Popup1Flags& Vflags, const Popup1Flags& Eflags) {
    Trap(
        [&] {
            auto apply = [&](int slot) {
                QAction* item = Popup1Item(slot);
                item->setVisible(Vflags[slot]);
                if (!item->isSeparator()) item->setEnabled(Eflags[slot]);
            };
            // The menu and each flag sub-menu keep a visible entry at every step.
            M_Popup1Import->setVisible(true);
            for (int slot = kPopFind; slot <= kPopMark; ++slot) apply(slot);
            if (Vflags[kPopMark] && Eflags[kPopMark]) {
                M_Popup1MarkDel->setVisible(true);
                for (int slot : {kPopMarkInv, kPopMarkDup, kPopMarkDel}) apply(slot);
            }
            apply(kPopUnMark);
            if (Vflags[kPopUnMark] && Eflags[kPopUnMark]) {
                M_Popup1UnMarkDel->setVisible(true);
                for (int slot : {kPopUnMarkAll, kPopUnMarkInv, kPopUnMarkDup, kPopUnMarkDel}) apply(slot);
            }
            apply(kPopUnMarkFull);
            Sep5->setVisible(Vflags[kPopSep5]);
            Sep6->setVisible(Vflags[kPopSep6]);
            for (int slot = kPopSplit; slot <= kPopClear; ++slot) apply(slot);
        },
        [&](const QString& d) { ReportAs(d, QStringLiteral("ActivatePopup1Access")); });
}

void FrmMain::KeyboardShortcuts(int16_t KeyCode, bool has_ctrl, bool /*has_shift*/, bool /*has_alt*/) {
    Trap(
        [&] {
            if (!ThisList) return;
            Popup1Flags Vflags{};
            Popup1Flags Eflags{};
            if (!SetPopup1Access(ThisList, Vflags, Eflags, kNoRow)) {
                ReportAs(QStringLiteral("Cannot get Popup1 menu profile !"), QStringLiteral("KeyboardShortcuts"));
                return;
            }
            if (!has_ctrl) return;
            struct Shortcut {
                int16_t key;
                int slot;
                void (FrmMain::*command)();
            };
            static const Shortcut shortcuts[] = {
                {'D', kPopDeselectAll, &FrmMain::M_Popup1DeselectAll_Click},
                {'F', kPopFind, &FrmMain::M_Popup1Find_Click},
                {'I', kPopInvert, &FrmMain::M_Popup1Invert_Click},
                {'L', kPopSave, &FrmMain::M_Popup1Save_Click},
                {'M', kPopImport, &FrmMain::M_Popup1Import_Click},
                {'R', kPopRemove, &FrmMain::M_Popup1Remove_Click},
                {'S', kPopSelectAll, &FrmMain::M_Popup1SelectAll_Click},
            };
            for (const Shortcut& s : shortcuts)
                if (s.key == KeyCode && Eflags[s.slot]) (this->*s.command)();
        },
        [&](const QString& d) { ReportAs(d, QStringLiteral("KeyboardShortcuts")); });
}

// ---- the two panes -----------------------------------------------------------

void FrmMain::PaneRightClick(const WorkspaceSide& side, int32_t iItem, int32_t HitFlags) {
    Trap(
        [&] {
            const auto pane = side.pane;  // kept while the menu lets other events run
            if (!pane) return;
            ThisList = pane;
            const bool onRow = (HitFlags & kOnRow) != 0;
            pane->Item = onRow ? iItem : kNoRow;
            Popup1Flags Vflags{};
            Popup1Flags Eflags{};
            if (!SetPopup1Access(ThisList, Vflags, Eflags, pane->Item)) return;
            ActivatePopup1Access(Vflags, Eflags);
            PopupMenuSeam::Popup(M_Popup1, QCursor::pos());
        },
        [&](const QString& d) { ReportAs(d, PaneRoutine(side, "MouseDown")); });
}

void FrmMain::PaneKeyDown(const WorkspaceSide& side, int16_t KeyCode, bool has_ctrl, bool has_shift, bool has_alt) {
    Trap(
        [&] {
            ThisList = side.pane;
            KeyboardShortcuts(KeyCode, has_ctrl, has_shift, has_alt);
        },
        [&](const QString& d) { ReportAs(d, PaneRoutine(side, "KeyDown")); });
}

void FrmMain::PaneKeyUp(const WorkspaceSide& side, int16_t KeyCode) {
    Trap(
        [&] {
            switch (KeyCode) {
                case kKeyPageUp:
                case kKeyPageDown:
                case kKeyEnd:
                case kKeyHome:
                case kKeyUp:
                case kKeyDown:
                    break;
                default:
                    return;
            }
            const int32_t row = side.pane->GetItem();
            if (row >= 0) StatusBar->Panel(1)->SetText(ScreenText::HeldCell(EntryTip(side, row, 0)));
        },
        [&](const QString& d) { ReportAs(d, PaneRoutine(side, "KeyUp")); });
}

void FrmMain::PaneMouseMove(const WorkspaceSide& side, int32_t iItem, int32_t iSubItem, int32_t HitFlags) {
    Trap(
        [&] {
            QString text;
            // The tip holds the entry's bytes; the list decodes its own tips.
            if ((HitFlags & kOnRow) != 0) text = ScreenText::HeldCell(EntryTip(side, iItem, iSubItem));
            StatusBar->Panel(1)->SetText(text);
        },
        [&](const QString& d) { ReportAs(d, PaneRoutine(side, "MouseMove")); });
}

void FrmMain::PaneToolTip(const WorkspaceSide& side, int32_t iItem, int32_t iSubItem, QString& sText) {
    Trap([&] { sText = EntryTip(side, iItem, iSubItem); },
         [&](const QString& d) { ReportAs(d, PaneRoutine(side, "ToolTip")); });
}

QString FrmMain::EntryTip(const WorkspaceSide& side, int32_t row, int32_t column) {
    return side.slot == 1 ? GetLeftListItemTip(row, column) : GetRightListItemTip(row, column);
}

QString FrmMain::PaneRoutine(const WorkspaceSide& side, const char* event) {
    return QStringLiteral("VL_") + side.word.toLower() + QLatin1Char('_') + QLatin1String(event);
}

void FrmMain::VL_left_KeyDown(int16_t KeyCode, bool has_ctrl, bool has_shift, bool has_alt) {
    PaneKeyDown(Side(1), KeyCode, has_ctrl, has_shift, has_alt);
}
void FrmMain::VL_right_KeyDown(int16_t KeyCode, bool has_ctrl, bool has_shift, bool has_alt) {
    PaneKeyDown(Side(2), KeyCode, has_ctrl, has_shift, has_alt);
}
void FrmMain::VL_left_KeyUp(int16_t KeyCode, bool, bool, bool) { PaneKeyUp(Side(1), KeyCode); }
void FrmMain::VL_right_KeyUp(int16_t KeyCode, bool, bool, bool) { PaneKeyUp(Side(2), KeyCode); }
void FrmMain::VL_left_MouseMove(int16_t, int32_t iItem, int32_t iSubItem, int32_t HitFlags) {
    PaneMouseMove(Side(1), iItem, iSubItem, HitFlags);
}
void FrmMain::VL_right_MouseMove(int16_t, int32_t iItem, int32_t iSubItem, int32_t HitFlags) {
    PaneMouseMove(Side(2), iItem, iSubItem, HitFlags);
}
void FrmMain::VL_left_ToolTip(int32_t iItem, int32_t iSubItem, QString& sText) {
    PaneToolTip(Side(1), iItem, iSubItem, sText);
}
void FrmMain::VL_right_ToolTip(int32_t iItem, int32_t iSubItem, QString& sText) {
    PaneToolTip(Side(2), iItem, iSubItem, sText);
}

void FrmMain::ConnectPaneKeysAndTips() {
    struct PaneEvents {
        clsVirtualListview* pane;
        void (FrmMain::*keyDown)(int16_t, bool, bool, bool);
        void (FrmMain::*keyUp)(int16_t, bool, bool, bool);
        void (FrmMain::*mouseMove)(int16_t, int32_t, int32_t, int32_t);
        void (FrmMain::*toolTip)(int32_t, int32_t, QString&);
    };
    const PaneEvents panes[] = {
        {VL_left.get(), &FrmMain::VL_left_KeyDown, &FrmMain::VL_left_KeyUp, &FrmMain::VL_left_MouseMove,
         &FrmMain::VL_left_ToolTip},
        {VL_right.get(), &FrmMain::VL_right_KeyDown, &FrmMain::VL_right_KeyUp, &FrmMain::VL_right_MouseMove,
         &FrmMain::VL_right_ToolTip},
    };
    for (const PaneEvents& p : panes) {
        if (p.pane == nullptr) continue;
        connect(p.pane, &clsVirtualListview::KeyDown, this, p.keyDown, Qt::DirectConnection);
        connect(p.pane, &clsVirtualListview::KeyUp, this, p.keyUp, Qt::DirectConnection);
        connect(p.pane, &clsVirtualListview::MouseMove, this, p.mouseMove, Qt::DirectConnection);
        // Direct: the tip comes back through the reference argument.
        connect(p.pane, &clsVirtualListview::ToolTip, this, p.toolTip, Qt::DirectConnection);
    }
}

void FrmMain::ConnectPopup1() {
    const std::pair<QAction*, void (FrmMain::*)()> items[] = {
        {M_Popup1Find, &FrmMain::M_Popup1Find_Click},
        {M_Popup1Stat, &FrmMain::M_Popup1Stat_Click},
        {M_Popup1SelectAll, &FrmMain::M_Popup1SelectAll_Click},
        {M_Popup1DeselectAll, &FrmMain::M_Popup1DeselectAll_Click},
        {M_Popup1Invert, &FrmMain::M_Popup1Invert_Click},
        {M_Popup1SortEmailAsc, &FrmMain::M_Popup1SortEmailAsc_Click},
        {M_Popup1SortEmailDes, &FrmMain::M_Popup1SortEmailDes_Click},
        {M_Popup1SortDomainAsc, &FrmMain::M_Popup1SortDomainAsc_Click},
        {M_Popup1SortDomainDes, &FrmMain::M_Popup1SortDomainDes_Click},
        {M_Popup1SortUserAsc, &FrmMain::M_Popup1SortUserAsc_Click},
        {M_Popup1SortUserDes, &FrmMain::M_Popup1SortUserDes_Click},
        {M_Popup1SortFlagInvAsc, &FrmMain::M_Popup1SortFlagInvAsc_Click},
        {M_Popup1SortFlagInvDes, &FrmMain::M_Popup1SortFlagInvDes_Click},
        {M_Popup1SortFlagDupAsc, &FrmMain::M_Popup1SortFlagDupAsc_Click},
        {M_Popup1SortFlagDupDes, &FrmMain::M_Popup1SortFlagDupDes_Click},
        {M_Popup1SortFlagDelAsc, &FrmMain::M_Popup1SortFlagDelAsc_Click},
        {M_Popup1SortFlagDelDes, &FrmMain::M_Popup1SortFlagDelDes_Click},
        {M_Popup1SortFlagComAsc, &FrmMain::M_Popup1SortFlagComAsc_Click},
        {M_Popup1SortFlagComDes, &FrmMain::M_Popup1SortFlagComDes_Click},
        {M_Popup1Duplicate, &FrmMain::M_Popup1Duplicate_Click},
        {M_Popup1Invalid, &FrmMain::M_Popup1Invalid_Click},
        {M_Popup1Remove, &FrmMain::M_Popup1Remove_Click},
        {M_Popup1MarkInv, &FrmMain::M_Popup1MarkInv_Click},
        {M_Popup1MarkDup, &FrmMain::M_Popup1MarkDup_Click},
        {M_Popup1MarkDel, &FrmMain::M_Popup1MarkDel_Click},
        {M_Popup1UnMarkAll, &FrmMain::M_Popup1UnMarkAll_Click},
        {M_Popup1UnMarkInv, &FrmMain::M_Popup1UnMarkInv_Click},
        {M_Popup1UnMarkDup, &FrmMain::M_Popup1UnMarkDup_Click},
        {M_Popup1UnMarkDel, &FrmMain::M_Popup1UnMarkDel_Click},
        {M_Popup1UnMarkFull, &FrmMain::M_Popup1UnMarkFull_Click},
        {M_Popup1Split, &FrmMain::M_Popup1Split_Click},
        {M_Popup1Bcc, &FrmMain::M_Popup1Bcc_Click},
        {M_Popup1Save, &FrmMain::M_Popup1Save_Click},
        {M_Popup1Import, &FrmMain::M_Popup1Import_Click},
        {M_Popup1Clear, &FrmMain::M_Popup1Clear_Click},
    };
    for (const auto& [item, handler] : items) connect(item, &QAction::triggered, this, handler);
}

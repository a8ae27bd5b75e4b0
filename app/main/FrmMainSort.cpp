// Sorting: the engine reorders a side's display order; the reference views
// order their own rows by a clicked header.
#include <QHeaderView>

#include "ErrorTrap.h"
#include "FrmMain.h"
#include "ListIcons.h"
#include "ListsCol.h"
#include "MessagePump.h"
#include "MsgBoxTypes.h"
#include "OrmidYRB100.h"
#include "ReportError.h"
#include "ReportListView.h"
#include "Screen.h"
#include "clsVL2.h"
#include "modGlobalFunctions.h"

namespace {

const QString kModule = QStringLiteral("FrmMain");

void ReportTo(const QString& description, const char* routine) {
    modGlobalFunctions::ReportError(description, QString(), kModule, QString::fromLatin1(routine), false, true);
}

// The engine's sort orders.
constexpr int32_t kAscendingOrder = 0;
constexpr int32_t kDescendingOrder = 1;

// How long a sort runs before its progress window shows.
constexpr int32_t kSortProgressDelayMs = 2000;

// What a sort key shows while the engine works, and the header column (0 to
// 2) that carries the direction; -1 for none.
struct SortView {
    int32_t key;
    const char* text;
    int column;
};
constexpr SortView kSortViews[] = {
    {YRB_SORT_ADDRESS, "Now Sorting by Email Address", -1},
    {YRB_SORT_USER, "Now Sorting by User", 1},
    {YRB_SORT_DOMAIN, "Now Sorting by Domain", 2},
    {YRB_SORT_INVALID, "Now Sorting by Invalid", -1},
    {YRB_SORT_DUPLICATE, "Now Sorting by Duplicate", -1},
    {YRB_SORT_DELETED, "Now Sorting by Deleted", -1},
    {YRB_SORT_COMPARE, "Now Sorting by comparison result", -1},
    {YRB_SORT_SELECTED, "Now Sorting by selected Email Addresses", 0},
};

// The reference views' header images count from 1 (0 shows none).
constexpr int kRefFlatBar = ListIcons::kUnsorted + 1;
constexpr int kRefAscending = ListIcons::kAscending + 1;
constexpr int kRefDescending = ListIcons::kDescending + 1;
constexpr int kViewAscending = 0;
constexpr int kViewDescending = 1;

// Sorts a reference view by the clicked header (1-based position): a new
// column starts ascending, a repeated click reverses the order.
void SortReferenceView(ReportListView* view, int& lastSorted, int position) {
    if (view == nullptr) return;
    for (int col = 0; col < view->ColumnCount(); ++col) view->SetColumnIcon(col, kRefFlatBar);
    view->SetSorted(false);
    view->SetSortKey(position - 1);
    if (position != lastSorted) view->SetSortOrder(kViewDescending);
    view->SetColumnIcon(position - 1, view->SortOrder() == kViewAscending ? kRefDescending : kRefAscending);
    view->SetSorted(true);
    view->SetSortOrder(view->SortOrder() == kViewAscending ? kViewDescending : kViewAscending);
    lastSorted = position;
}

bool AskWarning(bool& noMoreWarning, const QString& message, const QString& title, QWidget* form) {
    if (noMoreWarning) return false;
    const int answer = modGlobalFunctions::DisplayMessage({.message = message,
                                                            .Title = title,
                                                            .IconNb = MsgBoxIcon::Info,
                                                            .Focus = MsgBoxButton::Yes,
                                                            .ShowYes = true,
                                                            .ShowNo = true,
                                                            .Choice = QStringLiteral("Do not warn me next time"),
                                                            .CForm = form,
                                                            .OForm = form});
    // A box that failed or closed by itself answers -1, every bit set:
    // that is no answer, so the work goes on and the switch stays.
    if (answer < 0) return false;
    noMoreWarning = (answer & MsgBoxButton::Option) != 0;
    return (answer & MsgBoxButton::No) != 0;
}

}  // namespace

void FrmMain::ConnectSortHeaders() {
    struct HeaderClick {
        ReportListView* view;
        void (FrmMain::*handler)(int);
    };
    const HeaderClick clicks[] = {{LstDNCountry, &FrmMain::LstDNCountry_ColumnClick},
                                  {LstDNGeneric, &FrmMain::LstDNGeneric_ColumnClick},
                                  {LstDNKeyword, &FrmMain::LstDNKeyword_ColumnClick},
                                  {LstDNUser, &FrmMain::LstDNUser_ColumnClick}};
    for (const HeaderClick& c : clicks) {
        if (c.view == nullptr) continue;
        c.view->header()->setSectionsClickable(true);
        // The handlers take the header's 1-based position.
        connect(c.view->header(), &QHeaderView::sectionClicked, this,
                [this, handler = c.handler](int section) { (this->*handler)(section + 1); });
    }
}

void FrmMain::SortBy(ListPane* pane, int32_t key, int32_t order) {
    const ClosingStep closing(this);
    Trap(
        [&] {
            if (pane == nullptr || pane->GetEmpty()) return;
            const int direction = order == kAscendingOrder ? ListIcons::kAscending : ListIcons::kDescending;
            for (int col = 0; col < 3; ++col) pane->SetHeaderIcon(col, ListIcons::kUnsorted);
            QString text;
            for (const SortView& v : kSortViews) {
                if (v.key != key) continue;
                text = QString::fromLatin1(v.text);
                if (v.column >= 0) pane->SetHeaderIcon(v.column, direction);
            }
            StartProgress(kSortProgressDelayMs, QStringLiteral("Now sorting"), text);
            Screen::Instance()->SetMousePointer(Screen::kHourglassPointer);
            MessagePump::DoEvents();
            // A failed or stopped sort has sent its own message; the pane
            // shows whatever order the engine left, its current row on the
            // entry it was on.
            const auto sort = [&] { return YRB02(pane->VListNb, key, YRB_INDEX_DISPLAY, order); };
            if (auto* engineList = dynamic_cast<clsVL2*>(pane))
                engineList->Reorder(sort);
            else
                sort();
            pane->Refresh();
            pane->SetVisible(0);
        },
        [&](const QString& d) { ReportTo(d, "SortBy"); });
}

namespace {
// Sorts ThisList, which the menu offers only on the two engine-bound panes;
// a pane of another kind is reported under the menu item's routine and
// nothing is sorted.
void SortThisList(FrmMain& form, int32_t key, int32_t order, const char* routine) {
    ListPane* pane = ThisList.get();
    if (pane != nullptr && dynamic_cast<clsVL2*>(pane) == nullptr) {
        ReportTo(QStringLiteral("Type mismatch: '%1' is not a list held by the engine").arg(pane->name), routine);
        return;
    }
    form.SortBy(pane, key, order);
}
}  // namespace

void FrmMain::M_Popup1SortEmailAsc_Click() {
    SortThisList(*this, YRB_SORT_ADDRESS, kAscendingOrder, "M_Popup1SortEmailAsc_Click");
}
void FrmMain::M_Popup1SortEmailDes_Click() {
    SortThisList(*this, YRB_SORT_ADDRESS, kDescendingOrder, "M_Popup1SortEmailDes_Click");
}
void FrmMain::M_Popup1SortDomainAsc_Click() {
    SortThisList(*this, YRB_SORT_DOMAIN, kAscendingOrder, "M_Popup1SortDomainAsc_Click");
}
void FrmMain::M_Popup1SortDomainDes_Click() {
    SortThisList(*this, YRB_SORT_DOMAIN, kDescendingOrder, "M_Popup1SortDomainDes_Click");
}
void FrmMain::M_Popup1SortUserAsc_Click() {
    SortThisList(*this, YRB_SORT_USER, kAscendingOrder, "M_Popup1SortUserAsc_Click");
}
void FrmMain::M_Popup1SortUserDes_Click() {
    SortThisList(*this, YRB_SORT_USER, kDescendingOrder, "M_Popup1SortUserDes_Click");
}
void FrmMain::M_Popup1SortFlagInvAsc_Click() {
    SortThisList(*this, YRB_SORT_INVALID, kAscendingOrder, "M_Popup1SortFlagInvAsc_Click");
}
void FrmMain::M_Popup1SortFlagInvDes_Click() {
    SortThisList(*this, YRB_SORT_INVALID, kDescendingOrder, "M_Popup1SortFlagInvDes_Click");
}
void FrmMain::M_Popup1SortFlagDupAsc_Click() {
    SortThisList(*this, YRB_SORT_DUPLICATE, kAscendingOrder, "M_Popup1SortFlagDupAsc_Click");
}
void FrmMain::M_Popup1SortFlagDupDes_Click() {
    SortThisList(*this, YRB_SORT_DUPLICATE, kDescendingOrder, "M_Popup1SortFlagDupDes_Click");
}
void FrmMain::M_Popup1SortFlagDelAsc_Click() {
    SortThisList(*this, YRB_SORT_DELETED, kAscendingOrder, "M_Popup1SortFlagDelAsc_Click");
}
void FrmMain::M_Popup1SortFlagDelDes_Click() {
    SortThisList(*this, YRB_SORT_DELETED, kDescendingOrder, "M_Popup1SortFlagDelDes_Click");
}
void FrmMain::M_Popup1SortFlagComAsc_Click() {
    SortThisList(*this, YRB_SORT_COMPARE, kAscendingOrder, "M_Popup1SortFlagComAsc_Click");
}
void FrmMain::M_Popup1SortFlagComDes_Click() {
    SortThisList(*this, YRB_SORT_COMPARE, kDescendingOrder, "M_Popup1SortFlagComDes_Click");
}

void FrmMain::LstDNCountry_ColumnClick(int Column) {
    Trap([&] { SortReferenceView(LstDNCountry, m_lastSortedCountry, Column); },
         [&](const QString& d) { ReportTo(d, "LstDNCountry_ColumnClick"); });
}

void FrmMain::LstDNGeneric_ColumnClick(int Column) {
    Trap([&] { SortReferenceView(LstDNGeneric, m_lastSortedGeneric, Column); },
         [&](const QString& d) { ReportTo(d, "LstDNGeneric_ColumnClick"); });
}

void FrmMain::LstDNKeyword_ColumnClick(int Column) {
    Trap([&] { SortReferenceView(LstDNKeyword, m_lastSortedKeyword, Column); },
         [&](const QString& d) { ReportTo(d, "LstDNKeyword_ColumnClick"); });
}

void FrmMain::LstDNUser_ColumnClick(int Column) {
    Trap([&] { SortReferenceView(LstDNUser, m_lastSortedUser, Column); },
         [&](const QString& d) { ReportTo(d, "LstDNUser_ColumnClick"); });
}

bool FrmMain::SortWarning() {
    bool declined = false;
    Trap(
        [&] {
            declined = AskWarning(
                m_noSortWarning,
                QStringLiteral("You have chosen to sort Email addresses.\r\n\r\n"
                               "Please be aware that despite the fact that this software implements\r\n"
                               "a very efficient Sort algorythm (Fast Quicksort), sorting remains a\r\n"
                               "highly time consuming process. Do you want to proceed with this\r\n"
                               "option ?"),
                QStringLiteral("Sort Option Selected"), this);
        },
        [&](const QString& d) { ReportTo(d, "SortWarning"); });
    return declined;
}

bool FrmMain::DuplicateWarning() {
    bool declined = false;
    Trap(
        [&] {
            declined = AskWarning(
                m_noDuplicateWarning,
                QStringLiteral("You have chosen to remove duplicate Email addresses.\r\n\r\n"
                               "Please be aware that despite the fact that this software implements\r\n"
                               "a very efficient duplicate removal algorythm, it remains a\r\n"
                               "highly time consuming process. Do you want to proceed with this\r\n"
                               "option ?"),
                QStringLiteral("Duplicate Removal Option Selected"), this);
        },
        [&](const QString& d) { ReportTo(d, "DuplicateWarning"); });
    return declined;
}

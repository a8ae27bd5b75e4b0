// The mail list VL_mail: its cells and icons read from Session1.Mails, its
// header sort, tick clicks, keys and right click, and the list's buttons.
#include <cstdint>
#include <stdexcept>
#include <string>

#include <QCollator>
#include <QCursor>
#include <QPushButton>

#include "ErrorTrap.h"
#include "FrmMain.h"
#include "ListIcons.h"
#include "ListsCol.h"
#include "MessagePump.h"
#include "OwnerDataListView.h"
#include "PanelStatusBar.h"
#include "PopupMenuSeam.h"
#include "RichTextBox.h"
#include "Screen.h"
#include "ServiceObjects.h"
#include "StatusPanel.h"
#include "clsChronometer.h"
#include "clsMail.h"
#include "clsMonitor.h"
#include "clsVirtualListview.h"
#include "modGlobalFunctions.h"
#include "modGlobalFunctionsForms.h"

namespace {

// The mail list's columns.
enum MailColumn : int32_t {
    kTickColumn = 0,
    kAttachmentColumn = 1,
    kPriorityColumn = 2,
    kSenderColumn = 3,
    kAddressColumn = 4,
    kSubjectColumn = 5,
    kDateColumn = 6,
    kSizeColumn = 7,
    kMailColumnCount
};

constexpr int16_t kNoIcon = -1;
constexpr int32_t kKiloByte = 1024;
constexpr int32_t kSortDelayMs = 1500;
constexpr int32_t kHitParts = OwnerDataListView::LVHT_ONITEMICON | OwnerDataListView::LVHT_ONITEMLABEL |
                              OwnerDataListView::LVHT_ONITEMSTATEICON;

// Windows key codes the list raises.
constexpr int16_t kKeyPageUp = 33;
constexpr int16_t kKeyPageDown = 34;
constexpr int16_t kKeyEnd = 35;
constexpr int16_t kKeyHome = 36;
constexpr int16_t kKeyUp = 38;
constexpr int16_t kKeyDown = 40;

int Sign(int64_t v) { return v < 0 ? -1 : v > 0 ? 1 : 0; }

// Case-insensitive comparison in the desktop's collation.
int CompareText(const QString& a, const QString& b) {
    static const QCollator collator = [] {
        QCollator c;
        c.setCaseSensitivity(Qt::CaseInsensitive);
        return c;
    }();
    return Sign(collator.compare(a, b));
}

// The priority digit a mail's X-Priority starts with; 0 for anything else.
int PriorityDigit(const QString& value) {
    if (value.isEmpty() || !value.front().isDigit() || value.front().unicode() > '9') return 0;
    return value.front().unicode() - '0';
}

}  // namespace

void FrmMain::VL_mail_ItemTextCallback(int32_t iItem, int32_t iSubItem, QString& sText) {
    Trap(
        [&] {
            const clsPOP3Session::MailList* mails = Session1 ? Session1->Mails.get() : nullptr;
            if (mails == nullptr || iItem < 0 || static_cast<size_t>(iItem) + 1 > mails->size()) return;
            const int32_t index = VL_mail->Idx(iItem + 1);
            if (index < 1 || static_cast<size_t>(index) > mails->size())
                throw std::out_of_range("Mail " + std::to_string(index) + " is not in the mail list");
            const clsMail& mail = *mails->at(static_cast<size_t>(index) - 1);
            switch (iSubItem) {
                case kSenderColumn: sText = mail.mSender.isEmpty() ? mail.mFrom : mail.mSender; break;
                case kAddressColumn: sText = mail.mFrom; break;
                case kSubjectColumn: sText = mail.mSubject; break;
                case kDateColumn: sText = mail.mSendDate; break;
                case kSizeColumn:
                    sText = mail.mSize >= kKiloByte ? QString::number(mail.mSize / kKiloByte) + QStringLiteral(" KB")
                                                    : QString::number(mail.mSize) + QStringLiteral(" B");
                    break;
                default: break;
            }
        },
        [&](const QString& d) { Report(d, QString(), QStringLiteral("VL_mail_ItemTextCallback")); });
}

void FrmMain::VL_mail_ItemImageCallback(int32_t iItem, int32_t iSubItem, int16_t& Image) {
    Trap(
        [&] {
            Image = kNoIcon;
            const clsPOP3Session::MailList* mails = Session1 ? Session1->Mails.get() : nullptr;
            // The view may ask for more rows than a list just made shorter holds.
            if (mails == nullptr || iItem < 0 || static_cast<size_t>(iItem) + 1 > mails->size()) return;
            const int32_t index = VL_mail->Idx(iItem + 1);
            if (index < 1 || static_cast<size_t>(index) > mails->size())
                throw std::out_of_range("Mail " + std::to_string(index) + " is not in the mail list");
            const clsMail& mail = *mails->at(static_cast<size_t>(index) - 1);
            switch (iSubItem) {
                case kTickColumn:
                    Image = VL_mail->GetCheckState(iItem + 1) ? ListIcons::kChecked : ListIcons::kUnchecked;
                    break;
                case kAttachmentColumn:
                    if (mail.HasAnnex) Image = ListIcons::kAttachment;
                    break;
                case kPriorityColumn:
                    if (mail.IsPrior) Image = ListIcons::kPriority;
                    break;
                default: break;
            }
        },
        [&](const QString& d) { Report(d, QString(), QStringLiteral("VL_mail_ItemImageCallback")); });
}

void FrmMain::VL_mail_evCompare(int32_t a, int32_t b, int16_t By, int16_t Dir, int16_t& Result) {
    Trap(
        [&] {
            Result = 0;
            if (!Session1 || !Session1->Mails) return;
            const clsPOP3Session::MailList& mails = *Session1->Mails;
            const clsMail& x = *mails.at(static_cast<size_t>(a) - 1);
            const clsMail& y = *mails.at(static_cast<size_t>(b) - 1);
            int r = 0;
            switch (By) {
                case kAttachmentColumn: r = int(x.HasAnnex) - int(y.HasAnnex); break;
                case kPriorityColumn: r = Sign(PriorityDigit(x.mXPriority) - PriorityDigit(y.mXPriority)); break;
                case kSenderColumn: r = CompareText(x.mSender, y.mSender); break;
                case kAddressColumn: r = CompareText(x.mFrom, y.mFrom); break;
                case kSubjectColumn: r = CompareText(x.mSubject, y.mSubject); break;
                // Never 0: equal dates count as later.
                case kDateColumn: r = x.mDate < y.mDate ? -1 : 1; break;
                case kSizeColumn: r = Sign(int64_t(x.mSize) - y.mSize); break;
                default: break;
            }
            Result = static_cast<int16_t>(r * Dir);
        },
        [&](const QString& d) { Report(d, QString(), QStringLiteral("VL_mail_evCompare")); });
}

void FrmMain::VL_mail_ColumnClick(int32_t nColumn) {
    MailPaneRun run(this);
    if (MailPaneRefused(run, "VL_mail_ColumnClick")) return;
    ClosingStep closing(this);
    Trap(
        [&] {
            // Held for the sort, which pumps.
            const std::shared_ptr<clsPOP3Session::MailList> mails = Session1 ? Session1->Mails : nullptr;
            const std::shared_ptr<clsVirtualListview> pane = VL_mail;
            if (!mails || mails->size() < 2 || !pane) return;
            if (nColumn < 0 || nColumn >= kMailColumnCount) return;
            ChronoObj()->Startup(QStringLiteral("hh:mm:ss"), false);
            MonitorObj()->Delay(kSortDelayMs, QStringLiteral("Sorting Messages"), QStringLiteral("Now sorting messages"),
                                this, true);
            Screen::Instance()->SetMousePointer(Screen::kHourglassPointer);
            pane->SetHeadersIcon(ListIcons::kUnsorted);
            pane->SetHeaderIcon(kAttachmentColumn, kNoIcon);
            pane->SetHeaderIcon(kPriorityColumn, kNoIcon);
            const int16_t column = static_cast<int16_t>(nColumn);
            if (column != m_mailSortColumn) m_mailSortDescending = false;
            if (column >= kSenderColumn)
                pane->SetHeaderIcon(column, m_mailSortDescending ? ListIcons::kDescending : ListIcons::kAscending);
            pane->Sort(column, !m_mailSortDescending);
            m_mailSortDescending = !m_mailSortDescending;
            m_mailSortColumn = column;
            pane->Refresh();
            pane->SetVisible(0);
            DisplayDetails(pane->Idx(pane->GetItem() + 1));
        },
        [&](const QString& d) { Report(d, QString(), QStringLiteral("VL_mail_ColumnClick")); });
}

void FrmMain::VL_mail_MouseDown(int16_t Button, int32_t iItem, int32_t iSubItem, int32_t HitFlags) {
    Trap(
        [&] {
            const std::shared_ptr<clsVirtualListview> pane = VL_mail;  // kept while the menu lets events run
            ThisList = pane;
            if (!Session1 || !Session1->Mails || Session1->Mails->empty() || !pane) return;
            if (Button == modGlobalFunctions::kLeftButton) {
                const int32_t part = HitFlags & kHitParts;
                if (part == OwnerDataListView::LVHT_ONITEMICON && iSubItem == kTickColumn) {
                    MailPaneRun run(this);
                    if (MailPaneRefused(run, "VL_mail_MouseDown")) return;
                    pane->SetCheckState(iItem + 1, !pane->GetCheckState(iItem + 1));
                    pane->RepaintItem(iItem);
                    pane->SetAll();
                    MessagePump::DoEvents();
                }
                if ((part == OwnerDataListView::LVHT_ONITEMICON || (HitFlags & OwnerDataListView::LVHT_ONITEMLABEL)) &&
                    iSubItem != kTickColumn)
                    DisplayDetails(pane->Idx(iItem + 1));
            } else if (Button == modGlobalFunctions::kRightButton) {
                Popup1Flags Vflags{};
                Popup1Flags Eflags{};
                if (!SetPopup1Access(ThisList, Vflags, Eflags, iItem)) return;
                ActivatePopup1Access(Vflags, Eflags);
                PopupMenuSeam::Popup(M_Popup1, QCursor::pos());
            }
        },
        [&](const QString& d) { Report(d, QString(), QStringLiteral("VL_mail_MouseDown")); });
}

void FrmMain::VL_mail_KeyDown(int16_t KeyCode, bool has_ctrl, bool /*has_shift*/, bool /*has_alt*/) {
    Trap(
        [&] {
            if (!has_ctrl) return;
            void (ListPane::*member)() = nullptr;
            switch (KeyCode) {
                case 'S': member = &ListPane::SelectAll; break;
                case 'D': member = &ListPane::DeselectAll; break;
                case 'I': member = &ListPane::InvertAll; break;
                default: return;
            }
            MailPaneRun run(this);
            if (MailPaneRefused(run, "VL_mail_KeyDown")) return;
            const std::shared_ptr<clsVirtualListview> pane = VL_mail;
            // The keys stay with the list the button acted on (the button
            // itself may be disabled by the new selection).
            pane->GetFocus();
            ((*pane).*member)();
            pane->Refresh();
            pane->SetAll();
        },
        [&](const QString& d) { Report(d, QString(), QStringLiteral("VL_mail_KeyDown")); });
}

void FrmMain::VL_mail_KeyUp(int16_t KeyCode, bool /*has_ctrl*/, bool /*has_shift*/, bool /*has_alt*/) {
    Trap(
        [&] {
            switch (KeyCode) {
                case kKeyPageUp:
                case kKeyPageDown:
                case kKeyEnd:
                case kKeyHome:
                case kKeyUp:
                case kKeyDown: DisplayDetails(VL_mail->Idx(VL_mail->GetItem() + 1)); break;
                default: break;
            }
        },
        [&](const QString& d) { Report(d, QString(), QStringLiteral("VL_mail_KeyUp")); });
}

void FrmMain::MailListCommand(void (ListPane::*member)(), const char* routine) {
    MailPaneRun run(this);
    if (MailPaneRefused(run, routine)) return;
    Trap(
        [&] {
            const std::shared_ptr<clsVirtualListview> pane = VL_mail;
            // The keys stay with the list the button acted on (the button
            // itself may be disabled by the new selection).
            pane->GetFocus();
            ((*pane).*member)();
            pane->SetAll();
            pane->Refresh();
            MessagePump::DoEvents();
        },
        [&](const QString& d) { Report(d, QString(), QLatin1String(routine)); });
}

void FrmMain::ComMailSelectAll_Click() { MailListCommand(&ListPane::SelectAll, "ComMailSelectAll_Click"); }
void FrmMain::ComMailDeselectAll_Click() { MailListCommand(&ListPane::DeselectAll, "ComMailDeselectAll_Click"); }
void FrmMain::ComMailInverse_Click() { MailListCommand(&ListPane::InvertAll, "ComMailInverse_Click"); }

void FrmMain::ComMailClear_Click() {
    MailPaneRun run(this);
    if (MailPaneRefused(run, "ComMailClear_Click")) return;
    Trap(
        [&] {
            const int answer = modGlobalFunctions::DisplayMessage(
                {.message = QStringLiteral("Are you sure you want to clear the entire message list content ?"),
                 .Title = QStringLiteral("Delete List Content"),
                 .IconNb = MsgBoxIcon::Warning,
                 .Focus = MsgBoxButton::No,
                 .ShowYes = true,
                 .ShowNo = true,
                 .CForm = this,
                 .OForm = this});
            // A box closed without a button counts as No.
            if (answer != MsgBoxButton::Yes) return;
            TxtContent->SetText(QString());
            TxtHeader->SetText(QString());
            for (QPushButton* b : {ComSaveHeader, ComSaveContent, ComHighLight}) b->setEnabled(false);
            StatusBar->Panel(1)->SetText(QString());
            if (Session1) Session1->Mails.reset();
            const std::shared_ptr<clsVirtualListview> pane = VL_mail;
            for (int32_t column = kSenderColumn; column <= kSizeColumn; ++column)
                pane->SetHeaderIcon(column, ListIcons::kUnsorted);
            pane->SetCount(0);
            pane->SetAll();
            pane->Refresh();
            MessagePump::DoEvents();
        },
        [&](const QString& d) { Report(d, QString(), QStringLiteral("ComMailClear_Click")); });
}

void FrmMain::ShowCancelledOutcome(const clsPOP3Session& session, const QString& outcome) {
    if (!session.Cancelled) return;
    StatusBar->Panel(1)->SetText(QString(outcome).replace(QStringLiteral("\r\n"), QStringLiteral(" ")));
}

// The message view: the current mail's header block and body in their two
// boxes, the buttons that act on them, and the criteria hits selected.
#include <cstdint>

#include <QCoreApplication>
#include <QEventLoop>
#include <QPushButton>
#include <QTextCursor>

#include "ErrorTrap.h"
#include "FrmMain.h"
#include "OwnerEnabler.h"
#include "RichTextBox.h"
#include "Screen.h"
#include "ServiceObjects.h"
#include "clsChronometer.h"
#include "clsMail.h"
#include "clsMatch.h"
#include "clsMonitor.h"
#include "clsVirtualListview.h"

namespace {

constexpr int32_t kHighlightDelayMs = 1500;

// Repaints while the window is disabled, keeping the user's input for
// afterwards: a click or key handled now would reach disabled controls and
// be lost (the release of the very click that shows the mail among them).
void PumpKeepingInput() { QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents); }

// Selects the characters of the mail's text from 0-based start for length
// in the box; the box maps them to what it shows.
void SelectHit(RichTextBox* box, int64_t start, int64_t length) {
    const auto [from, to] = box->ShownSpan(start, length);
    QTextCursor cursor = box->textCursor();
    cursor.setPosition(from);
    cursor.setPosition(to, QTextCursor::KeepAnchor);
    box->setTextCursor(cursor);
}

}  // namespace

void FrmMain::DisplayDetails(int32_t Index) {
    Trap(
        [&] {
            const std::shared_ptr<clsPOP3Session::MailList> mails = Session1 ? Session1->Mails : nullptr;
            if (!mails || Index < 1 || static_cast<size_t>(Index) > mails->size()) return;
            // Held: the pump below must not see the mail go.
            const std::shared_ptr<clsMail> mail = mails->at(static_cast<size_t>(Index) - 1);
            if (!mail) return;
            Screen::Instance()->SetMousePointer(Screen::kHourglassPointer);
            OwnerEnabler::SetEnabled(this, false);
            PumpKeepingInput();
            TxtHeader->SetText(mail->mHeaders);
            TxtHeader->SetSelStart(0);
            TxtContent->SetText(mail->mMsgBody);
            TxtContent->SetSelStart(0);
            ComSaveContent->setEnabled(mail->LenBdy != 0);
            ComSaveHeader->setEnabled(mail->LenHea != 0);
            ComHighLight->setEnabled((mail->LenBdy != 0 || mail->LenHea != 0) && HasMatches(mail.get()));
            HighlightMatch(mail.get());
        },
        [&](const QString& d) { Report(d, QString(), QStringLiteral("DisplayDetails")); });
    Screen::Instance()->SetMousePointer(Screen::kDefaultPointer);
    OwnerEnabler::SetEnabled(this, true);
}

void FrmMain::HighlightMatch(const clsMail* mail) {
    Trap(
        [&] {
            if (!HasMatches(mail)) return;
            // Held: the pump below must not see the records go.
            const auto matches = mail->Matches;
            for (const std::shared_ptr<clsMatch>& match : *matches) {
                if (!match) continue;
                RichTextBox* box = match->Loc == clsMatch::kHeader ? TxtHeader
                                   : match->Loc == clsMatch::kBody ? TxtContent
                                                                   : nullptr;
                if (box != nullptr) SelectHit(box, int64_t(match->Idx) - 1, match->Siz);
                PumpKeepingInput();
            }
        },
        [&](const QString& d) { Report(d, QString(), QStringLiteral("HighlightMatch")); });
}

bool FrmMain::HasMatches(const clsMail* mail) {
    bool has = false;
    Trap([&] { has = mail != nullptr && mail->Matches && !mail->Matches->empty(); },
         [&](const QString& d) { Report(d, QString(), QStringLiteral("HasMatches")); });
    return has;
}

void FrmMain::ComHighLight_Click() {
    MailPaneRun run(this);
    if (MailPaneRefused(run, "ComHighLight_Click")) return;
    ClosingStep closing(this);
    Trap(
        [&] {
            ChronoObj()->Startup(QStringLiteral("hh:mm:ss"), false);
            MonitorObj()->Delay(kHighlightDelayMs, QStringLiteral("Highlighting Messages Matching Keywords"),
                                QStringLiteral("Now highlighting the keywords found in the current message "), this,
                                false);
            Screen::Instance()->SetMousePointer(Screen::kHourglassPointer);
            DisplayDetails(VL_mail->Idx(VL_mail->GetItem() + 1));
        },
        [&](const QString& d) { Report(d, QString(), QStringLiteral("ComHighLight_Click")); });
}

// Mail retrieval on the mailbox tab: the retrieval options, "Retrieve mails"
// with its closing message, the parse of the fetched mails, the retrieval
// session's events and its time-out, and the wiring of the whole mail pane.
#include <cstdint>
#include <limits>
#include <optional>

#include <QCheckBox>
#include <QComboBox>
#include <QEvent>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPalette>
#include <QPushButton>
#include <QRadioButton>

#include "ErrorTrap.h"
#include "FrmMailbox.h"
#include "FrmMain.h"
#include "IntervalTimer.h"
#include "MailNumbers.h"
#include "MessagePump.h"
#include "PanelStatusBar.h"
#include "RichTextBox.h"
#include "Screen.h"
#include "ServiceObjects.h"
#include "StatusPanel.h"
#include "SystemColors.h"
#include "clsChronometer.h"
#include "clsMail.h"
#include "clsMonitor.h"
#include "clsPOP3Mailbox.h"
#include "clsTrace.h"
#include "clsVirtualListview.h"
#include "modGlobalFunctions.h"

namespace {

constexpr int32_t kMailRunDelayMs = 1500;
constexpr int64_t kMsPerSecond = 1000;
constexpr int16_t kKeyBackspace = 8;
const QString kDefaultLines = QStringLiteral("25");

// The line-count box's focus and typed characters, handed to its handlers.
class TxtLinesEvents : public QObject {
public:
    TxtLinesEvents(QLineEdit* box, FrmMain* form) : QObject(box), m_form(form) { box->installEventFilter(this); }

protected:
    bool eventFilter(QObject*, QEvent* event) override {
        switch (event->type()) {
            case QEvent::FocusIn: m_form->TxtLines_GotFocus(); break;
            case QEvent::FocusOut: m_form->TxtLines_LostFocus(); break;
            case QEvent::KeyPress: {
                // Only keys that type a character reach KeyPress; arrows,
                // Home, End and Delete edit as usual.
                const QString text = static_cast<QKeyEvent*>(event)->text();
                if (text.isEmpty()) break;
                int16_t key = static_cast<int16_t>(text.at(0).unicode());
                m_form->TxtLines_KeyPress(key);
                return key == 0;
            }
            default: break;
        }
        return false;
    }

private:
    FrmMain* m_form;
};

void SetBackColor(QWidget* control, uint32_t color) {
    QPalette p = control->palette();
    p.setColor(QPalette::Base, SystemColors::FromOle(color));
    control->setPalette(p);
}

// The hit a highlight selects stays visible while the box has no focus.
void KeepSelectionVisible(RichTextBox* box) {
    QPalette p = box->palette();
    for (QPalette::ColorRole role : {QPalette::Highlight, QPalette::HighlightedText})
        p.setColor(QPalette::Inactive, role, p.color(QPalette::Active, role));
    box->setPalette(p);
}

}  // namespace

bool FrmMain::MailPaneRefused(const MailPaneRun& run, const char* routine) {
    if (!run.Refused()) return false;
    Report(QStringLiteral("Another command of the mail pane is running: this one was not started"),
           QStringLiteral("Mail Pane Busy"), QLatin1String(routine));
    return true;
}

void FrmMain::ConnectMailPaneCommands() {
    const std::pair<QPushButton*, void (FrmMain::*)()> buttons[] = {
        {ComMailGet, &FrmMain::ComMailGet_Click},
        {ComMailDel, &FrmMain::ComMailDel_Click},
        {ComMailSave, &FrmMain::ComMailSave_Click},
        {ComMailSelectAll, &FrmMain::ComMailSelectAll_Click},
        {ComMailDeselectAll, &FrmMain::ComMailDeselectAll_Click},
        {ComMailInverse, &FrmMain::ComMailInverse_Click},
        {ComMailClear, &FrmMain::ComMailClear_Click},
        {ComSaveHeader, &FrmMain::ComSaveHeader_Click},
        {ComSaveContent, &FrmMain::ComSaveContent_Click},
        {ComHighLight, &FrmMain::ComHighLight_Click},
    };
    for (const auto& [button, handler] : buttons) connect(button, &QPushButton::clicked, this, handler);
    // A choice made by code runs its handler as the user's does.
    const std::pair<QRadioButton*, void (FrmMain::*)()> options[] = {
        {OptEmailHdr, &FrmMain::OptEmailHdr_Click},
        {OptEmailCon, &FrmMain::OptEmailCon_Click},
        {OptEmailFul, &FrmMain::OptEmailFul_Click},
    };
    for (const auto& [option, handler] : options)
        connect(option, &QRadioButton::toggled, this, [this, handler](bool on) {
            if (on) (this->*handler)();
        });
    connect(ChkTrace, &QCheckBox::toggled, this, &FrmMain::ChkTrace_Click);
    connect(TmrPOP31, &IntervalTimer::Timer, this, &FrmMain::TmrPOP31_Timer);
    connect(TmrPOP32, &IntervalTimer::Timer, this, &FrmMain::TmrPOP32_Timer);
    m_eventForwarders.emplace_back(new TxtLinesEvents(TxtLines, this));
    KeepSelectionVisible(TxtHeader);
    KeepSelectionVisible(TxtContent);
}

void FrmMain::ConnectMailPaneEvents() {
    if (VL_mail) {
        clsVirtualListview* pane = VL_mail.get();
        // Direct: the cell and compare handlers answer through their reference arguments.
        connect(pane, &clsVirtualListview::ItemTextCallback, this, &FrmMain::VL_mail_ItemTextCallback,
                Qt::DirectConnection);
        connect(pane, &clsVirtualListview::ItemImageCallback, this, &FrmMain::VL_mail_ItemImageCallback,
                Qt::DirectConnection);
        connect(pane, &clsVirtualListview::evCompare, this, &FrmMain::VL_mail_evCompare, Qt::DirectConnection);
        connect(pane, &clsVirtualListview::ColumnClick, this, &FrmMain::VL_mail_ColumnClick, Qt::DirectConnection);
        connect(pane, &clsVirtualListview::MouseDown, this, &FrmMain::VL_mail_MouseDown, Qt::DirectConnection);
        connect(pane, &clsVirtualListview::KeyDown, this, &FrmMain::VL_mail_KeyDown, Qt::DirectConnection);
        connect(pane, &clsVirtualListview::KeyUp, this, &FrmMain::VL_mail_KeyUp, Qt::DirectConnection);
    }
    if (Session1) {
        clsPOP3Session* s = Session1.get();
        connect(s, &clsPOP3Session::OnPOP3StateChange, this, &FrmMain::Session1_OnPOP3StateChange);
        connect(s, &clsPOP3Session::OnPOP3Error, this, &FrmMain::Session1_OnPOP3Error);
        connect(s, &clsPOP3Session::OnPOP3RetrieveMail, this, &FrmMain::Session1_OnPOP3RetrieveMail);
        connect(s, &clsPOP3Session::OnPOP3DownloadComplete, this, &FrmMain::Session1_OnPOP3DownloadComplete);
    }
    if (Session2) {
        clsPOP3Session* s = Session2.get();
        connect(s, &clsPOP3Session::OnPOP3StateChange, this, &FrmMain::Session2_OnPOP3StateChange);
        connect(s, &clsPOP3Session::OnPOP3Error, this, &FrmMain::Session2_OnPOP3Error);
        connect(s, &clsPOP3Session::OnPOP3RetrieveMail, this, &FrmMain::Session2_OnPOP3RetrieveMail);
    }
}

std::shared_ptr<clsPOP3Mailbox> FrmMain::MailRunAccount() const {
    const int index = CboUserName->currentIndex();
    if (index < 0 || !Mailboxes || static_cast<size_t>(index) >= Mailboxes->size()) return nullptr;
    return Mailboxes->at(static_cast<size_t>(index));
}

bool FrmMain::MailTimerInterval(const clsPOP3Mailbox& account, const QString& routine, int& intervalMs) {
    const int64_t ms = int64_t(account.POP3TimeOut) * kMsPerSecond;
    if (account.POP3TimeOut >= 0 && ms <= std::numeric_limits<int32_t>::max()) {
        intervalMs = static_cast<int>(ms);
        return true;
    }
    Report(QStringLiteral("The time-out of account '") + FrmMailbox::Shown(account.POP3User) + QStringLiteral("' on '") +
               FrmMailbox::Shown(account.POP3Server) + QStringLiteral("' is ") + QString::number(account.POP3TimeOut) +
               QStringLiteral(" seconds: it must lie between 0 and ") +
               QString::number(std::numeric_limits<int32_t>::max() / kMsPerSecond) + QStringLiteral(" seconds"),
           QString(), routine);
    return false;
}

void FrmMain::ComMailGet_Click() {
    const QString routine = QStringLiteral("ComMailGet_Click");
    MailPaneRun run(this);
    if (MailPaneRefused(run, "ComMailGet_Click")) return;
    ClosingStep closing(this);
    Trap(
        [&] {
            const std::shared_ptr<clsVirtualListview> pane = VL_mail;
            pane->SetCount(0);
            // The counts follow the emptied list while the run lasts.
            pane->SetAll();
            TxtContent->SetText(QString());
            TxtHeader->SetText(QString());
            for (QPushButton* b : {ComSaveHeader, ComSaveContent, ComHighLight}) b->setEnabled(false);

            const std::shared_ptr<clsPOP3Mailbox> account = MailRunAccount();
            clsPOP3Session* session = Session1.get();
            if (!account || session == nullptr) return;
            const std::shared_ptr<clsTrace> trace = TraceObj();
            trace->DoTraceToScreen = ChkTrace->isChecked();
            trace->DoVerbose = ChkVerbose->isChecked();
            ChronoObj()->Startup(QStringLiteral("hh:mm:ss"), false);
            // The session and the texts take the names decoded; the account keeps their bytes.
            const QString server = FrmMailbox::Shown(account->POP3Server);
            MonitorObj()->Delay(kMailRunDelayMs, QStringLiteral("Looking For Messages on Mail Server"),
                                QStringLiteral("Now looking for message(s) on '") + server + QLatin1Char('\''), this,
                                false);
            Screen::Instance()->SetMousePointer(Screen::kHourglassPointer);

            int interval = 0;
            if (!MailTimerInterval(*account, routine, interval)) return;
            int32_t lines = 0;
            if (OptEmailCon->isChecked()) {
                const std::optional<int32_t> n = MailNumbers::ToInt32(MailNumbers::LeadingNumber(TxtLines->text()));
                if (!n) {
                    Report(QStringLiteral("Overflow: the line count '") + TxtLines->text() +
                               QStringLiteral("' is beyond 2147483647"),
                           QString(), routine);
                    return;
                }
                lines = *n;
            }
            session->POP3Server = server;
            session->POP3Port = account->POP3Port;
            session->POP3User = FrmMailbox::Shown(account->POP3User);
            session->POP3Password = account->POP3Password;
            TmrPOP31->SetInterval(interval);
            session->POP3Lines = lines;
            session->POP3Full = OptEmailFul->isChecked();

            const QString where = session->POP3Server + QStringLiteral(" for ") + session->POP3User;
            MsgBoxRequest box{.message = QStringLiteral("An error occurred while attempting to retrieve messages from ") +
                                         session->POP3Server,
                              .Title = QStringLiteral("Error Retrieving Messages"),
                              .IconNb = MsgBoxIcon::Error,
                              .ShowOk = true,
                              .CForm = this,
                              .OForm = this};
            if (session->POP3Connect(true) && session->POP3Login(true) && session->POP3GetStat(true)) {
                if (session->MsgCnt <= 0) {
                    session->POP3Disconnect(true);
                    box.message = QStringLiteral("No messages are currently available on ") + where;
                    box.Title = QStringLiteral("No Messages Available");
                    box.IconNb = MsgBoxIcon::Logo;
                } else if (session->POP3GetList(true)) {
                    const std::shared_ptr<clsPOP3Session::MailList> before = session->Mails;
                    const bool complete = session->POP3GetMessages(true, false);
                    // The shown mails now come from this account, whatever the
                    // run's outcome: a deletion must name it.
                    if (session->Mails != before) {
                        m_mailsUser = account->POP3User;
                        m_mailsServer = account->POP3Server;
                    }
                    const int64_t got = session->Mails ? int64_t(session->Mails->size()) : 0;
                    if (complete) {
                        session->POP3Disconnect(true);
                        box.IconNb = MsgBoxIcon::Logo;
                        if (got == 0) {
                            box.message = QStringLiteral("No messages have been downloaded from ") + where;
                            box.Title = QStringLiteral("No messages");
                        } else if (got == 1) {
                            box.message = QStringLiteral("1 message has been downloaded from ") + where;
                            box.Title = QStringLiteral("Downloaded Message");
                        } else {
                            box.message = QString::number(got) + QStringLiteral(" messages have been downloaded from ") +
                                          where;
                            box.Title = QStringLiteral("Downloaded Messages");
                        }
                    } else if (got < session->MsgCnt) {
                        box.message = QStringLiteral("Not all messages could be downloaded (") + QString::number(got) +
                                      QStringLiteral(" out of ") + QString::number(session->MsgCnt) +
                                      QStringLiteral(")\r\nfrom ") + where;
                    }
                    ParseMessages(session->Mails);
                }
            }

            // The run's work is done: the window is usable again.
            ChronoObj()->Shutdown();
            MonitorObj()->Shutdown();
            Screen::Instance()->SetMousePointer(Screen::kDefaultPointer);

            pane->SetCount(0);
            if (session->Mails) pane->SetCount(static_cast<int32_t>(session->Mails->size()));
            pane->SetAll();
            pane->Refresh();
            ShowCancelledOutcome(*session, box.message);
            modGlobalFunctions::DisplayMessage(box);
        },
        [&](const QString& d) { Report(d, QString(), routine); });
}

void FrmMain::ParseMessages(const std::shared_ptr<clsPOP3Session::MailList>& mails) {
    Trap(
        [&] {
            // Held here: the pump below must not see the collection go.
            const std::shared_ptr<clsPOP3Session::MailList> list = mails;
            if (!list) return;
            int32_t i = 1;
            for (size_t k = 0; k < list->size(); ++k) {
                MonitorObj()->Action(QStringLiteral("Parsing message ") + QString::number(i) +
                                     QStringLiteral(" out of ") + QString::number(list->size()));
                if (const std::shared_ptr<clsMail> mail = list->at(k)) mail->ParseMail();
                ++i;
                MessagePump::DoEvents();
            }
        },
        [&](const QString& d) { Report(d, QString(), QStringLiteral("ParseMessages")); });
}

void FrmMain::Session1_OnPOP3StateChange(const QString& text) {
    Trap([&] { StatusBar->Panel(1)->SetText(text); },
         [&](const QString& d) { Report(d, QString(), QStringLiteral("Session1_OnPOP3StateChange")); });
}

void FrmMain::Session1_OnPOP3Error(const QString& text) {
    Trap([&] { StatusBar->Panel(1)->SetText(text); },
         [&](const QString& d) { Report(d, QString(), QStringLiteral("Session1_OnPOP3Error")); });
}

void FrmMain::Session1_OnPOP3RetrieveMail(int32_t MsgIdx, int32_t MsgCnt) {
    Trap(
        [&] {
            const QString text = QStringLiteral("Retrieving mail ") + QString::number(MsgIdx) +
                                 QStringLiteral(" out of ") + QString::number(MsgCnt);
            MonitorObj()->Action(text);
            StatusBar->Panel(1)->SetText(text);
        },
        [&](const QString& d) { Report(d, QString(), QStringLiteral("Session1_OnPOP3RetrieveMail")); });
}

void FrmMain::Session1_OnPOP3DownloadComplete() {
    Trap(
        [&] {
            const size_t n = Session1 && Session1->Mails ? Session1->Mails->size() : 0;
            StatusBar->Panel(1)->SetText(n == 1 ? QStringLiteral("1 message has been downloaded")
                                                : QString::number(n) + QStringLiteral(" messages have been downloaded"));
        },
        [&](const QString& d) { Report(d, QString(), QStringLiteral("Session1_OnPOP3DownloadComplete")); });
}

// The window stays disabled: the run is still inside its conversation and
// has its own closing steps.
void FrmMain::MailTimeOut(IntervalTimer* timer, clsPOP3Session* session, const QString& routine) {
    Trap(
        [&] {
            timer->SetEnabled(false);
            if (session != nullptr) session->POP3Interrupt(false);
            if (const std::shared_ptr<clsPOP3Mailbox> account = MailRunAccount())
                StatusBar->Panel(1)->SetText(QStringLiteral("Timeout : no response from ") +
                                             FrmMailbox::Shown(account->POP3Server) + QStringLiteral(" for ") +
                                             QString::number(account->POP3TimeOut) + QStringLiteral(" seconds"));
        },
        [&](const QString& d) { Report(d, QString(), routine); });
}

void FrmMain::TmrPOP31_Timer() { MailTimeOut(TmrPOP31, Session1.get(), QStringLiteral("TmrPOP31_Timer")); }

void FrmMain::ChkTrace_Click() {
    Trap([&] { ChkVerbose->setEnabled(ChkTrace->isChecked()); },
         [&](const QString& d) { Report(d, QString(), QStringLiteral("ChkTrace_Click")); });
}

void FrmMain::OptEmailCon_Click() {
    Trap(
        [&] {
            TxtLines->setEnabled(true);
            TxtLines->setFocus();
            SetBackColor(TxtLines, SystemColors::kWindow);
        },
        [&](const QString& d) { Report(d, QString(), QStringLiteral("OptEmailCon_Click")); });
}

void FrmMain::OptEmailHdr_Click() {
    Trap(
        [&] {
            TxtLines->setEnabled(false);
            SetBackColor(TxtLines, SystemColors::kButtonFace);
        },
        [&](const QString& d) { Report(d, QString(), QStringLiteral("OptEmailHdr_Click")); });
}

// Whole messages take no line count either.
void FrmMain::OptEmailFul_Click() {
    Trap(
        [&] {
            TxtLines->setEnabled(false);
            SetBackColor(TxtLines, SystemColors::kButtonFace);
        },
        [&](const QString& d) { Report(d, QString(), QStringLiteral("OptEmailFul_Click")); });
}

void FrmMain::TxtLines_GotFocus() {
    Trap([&] { TxtLines->setSelection(0, static_cast<int>(TxtLines->text().size())); },
         [&](const QString& d) { Report(d, QString(), QStringLiteral("TxtLines_GotFocus")); });
}

void FrmMain::TxtLines_KeyPress(int16_t& KeyAscii) {
    Trap(
        [&] {
            const bool digit = KeyAscii >= '0' && KeyAscii <= '9';
            if (!digit && KeyAscii != kKeyBackspace) KeyAscii = 0;
        },
        [&](const QString& d) { Report(d, QString(), QStringLiteral("TxtLines_KeyPress")); });
}

void FrmMain::TxtLines_LostFocus() {
    Trap(
        [&] {
            if (TxtLines->text().isEmpty()) TxtLines->setText(kDefaultLines);
        },
        [&](const QString& d) { Report(d, QString(), QStringLiteral("TxtLines_LostFocus")); });
}

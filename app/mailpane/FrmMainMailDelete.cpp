// "Delete selection": the ticked mails deleted on the server through the
// deletion session, which scans the mailbox again and matches each mail by
// its header fields; the deletion session's events and its time-out.
#include <cstdint>
#include <vector>

#include <QCheckBox>
#include <QComboBox>

#include "ErrorTrap.h"
#include "FrmMailbox.h"
#include "FrmMain.h"
#include "IntervalTimer.h"
#include "MessagePump.h"
#include "PanelStatusBar.h"
#include "Screen.h"
#include "ServiceObjects.h"
#include "StatusPanel.h"
#include "clsChronometer.h"
#include "clsMail.h"
#include "clsMonitor.h"
#include "clsPOP3Mailbox.h"
#include "clsTrace.h"
#include "clsVirtualListview.h"
#include "modGlobalFunctions.h"

namespace {
constexpr int32_t kMailRunDelayMs = 1500;
}  // namespace

void FrmMain::ComMailDel_Click() {
    const QString routine = QStringLiteral("ComMailDel_Click");
    MailPaneRun run(this);
    if (MailPaneRefused(run, "ComMailDel_Click")) return;
    ClosingStep closing(this);
    Trap(
        [&] {
            const std::shared_ptr<clsPOP3Mailbox> account = MailRunAccount();
            clsPOP3Session* session = Session2.get();
            if (!account || session == nullptr) return;
            const QString user = FrmMailbox::Shown(account->POP3User);
            const QString server = FrmMailbox::Shown(account->POP3Server);
            // Compared with the account the shown mails came from, not with
            // the retrieval session's fields, which a failed run on another
            // account has changed.
            if (account->POP3User != m_mailsUser || account->POP3Server != m_mailsServer) {
                modGlobalFunctions::DisplayMessage(
                    {.message = QStringLiteral("The account you retrieved mail from is different than the \r\n"
                                               "account currently specified for deletion !\r\n\r\n"
                                               "The messages currently displayed have been retrieved\r\nfrom '") +
                                FrmMailbox::Shown(m_mailsUser) + QStringLiteral("' on '") +
                                FrmMailbox::Shown(m_mailsServer) + QLatin1Char('\''),
                     .Title = QStringLiteral("Different Retrieval and Deletion Accounts"),
                     .IconNb = MsgBoxIcon::Error,
                     .ShowOk = true,
                     .CForm = this,
                     .OForm = this});
                return;
            }
            const int answer = modGlobalFunctions::DisplayMessage(
                {.message = QStringLiteral("Once deleted, the selected messages won't be recoverable,\r\n"
                                           "they will be permanently deleted from your mail server\r\n(account '") +
                            user + QStringLiteral("' on '") + server +
                            QStringLiteral("')\r\n\r\nAre you sure you want to proceed with the deletion process ?"),
                 .Title = QStringLiteral("Delete Selected Mail(s) On Server"),
                 .IconNb = MsgBoxIcon::Warning,
                 .Focus = MsgBoxButton::No,
                 .ShowYes = true,
                 .ShowNo = true,
                 .CForm = this,
                 .OForm = this});
            // A box closed without a button is no consent.
            if (answer != MsgBoxButton::Yes) return;

            const std::shared_ptr<clsTrace> trace = TraceObj();
            trace->DoTraceToScreen = ChkTrace->isChecked();
            trace->DoVerbose = ChkVerbose->isChecked();
            ChronoObj()->Startup(QStringLiteral("hh:mm:ss"), false);
            MonitorObj()->Delay(kMailRunDelayMs, QStringLiteral("Deleting Messages On Mail Server"),
                                QStringLiteral("Now deleting the selected message(s)"), this, false);
            Screen::Instance()->SetMousePointer(Screen::kHourglassPointer);
            const std::shared_ptr<clsVirtualListview> pane = VL_mail;
            if (pane->GetSel() == 0) return;

            int interval = 0;
            if (!MailTimerInterval(*account, routine, interval)) return;
            session->POP3Server = server;
            session->POP3Port = account->POP3Port;
            session->POP3User = user;
            session->POP3Password = account->POP3Password;
            TmrPOP32->SetInterval(interval);
            session->POP3Lines = 0;
            session->POP3Full = false;

            const QString where = server + QStringLiteral(" for ") + user;
            MsgBoxRequest box{.message = QStringLiteral("An error occurred while attempting to delete messages from ") +
                                         server,
                              .Title = QStringLiteral("Error Deleting Messages"),
                              .IconNb = MsgBoxIcon::Error,
                              .ShowOk = true,
                              .CForm = this,
                              .OForm = this};
            // Held for the run: the pumps below must not see the collection go.
            const std::shared_ptr<clsPOP3Session::MailList> mails = Session1 ? Session1->Mails : nullptr;
            if (session->POP3Connect(true) && session->POP3Login(true) && session->POP3GetStat(false)) {
                if (session->MsgCnt <= 0) {
                    session->POP3Disconnect(true);
                    box.message = QStringLiteral("No messages have been deleted from ") + where;
                    box.Title = QStringLiteral("No Messages Available On Server");
                    box.IconNb = MsgBoxIcon::Warning;
                } else if (session->POP3GetList(false) && session->POP3GetMessages(true, false)) {
                    ParseMessages(session->Mails);
                    StatusBar->Panel(1)->SetText(QStringLiteral("Deleting selected messages ..."));
                    // Positions (1-based, highest first) whose DELE the server acknowledged.
                    std::vector<size_t> acknowledged;
                    // Mails whose DELE went out with no reply before the conversation ended.
                    QStringList unanswered;
                    const int32_t ticked = pane->GetSel();
                    bool ended = false;  // the conversation is over: nothing more can be deleted
                    bool quitConfirmed = false;
                    const size_t count = mails ? mails->size() : 0;
                    for (size_t i = count; i >= 1; --i) {
                        if (!ended && pane->GetCheckState(pane->RevIdx(static_cast<int32_t>(i)))) {
                            const clsMail* mail = mails->at(i - 1).get();
                            session->POP3DeleteMessage(mail);
                            // A mail not found on the server is reported by the session and
                            // stays.  A DELE answered after a Cancel counts like any other.
                            if (session->DeleUnanswered)
                                unanswered << QStringLiteral("the message with sender '") + mail->mFrom +
                                                  QStringLiteral("' and subject '") + mail->mSubject +
                                                  QLatin1Char('\'');
                            if (session->DeleAcknowledged) {
                                acknowledged.push_back(i);
                                const QString text = QStringLiteral("Deleting mail ") +
                                                     QString::number(acknowledged.size()) + QStringLiteral(" out of ") +
                                                     QString::number(ticked);
                                MonitorObj()->Action(text);
                                StatusBar->Panel(1)->SetText(text);
                            }
                            if (!session->IsConnected()) {
                                ended = true;
                                quitConfirmed = session->QuitAcknowledged;
                            }
                        }
                        MessagePump::DoEvents();
                    }
                    if (!ended) {
                        session->POP3Disconnect(true);
                        quitConfirmed = session->QuitAcknowledged;
                    }
                    session->Mails.reset();
                    // The server deletes marked mails only on a QUIT it confirms.
                    size_t removed = 0;
                    if (quitConfirmed) {
                        for (size_t i : acknowledged) mails->erase(mails->begin() + static_cast<ptrdiff_t>(i - 1));
                        removed = acknowledged.size();
                    }
                    if ((!acknowledged.empty() || !unanswered.isEmpty()) && !quitConfirmed) {
                        box.message = QStringLiteral("The deletion of the selected messages was not confirmed by ") +
                                      where;
                        for (const QString& mail : unanswered)
                            box.message += QStringLiteral("\r\nNo answer came to the deletion of ") + mail +
                                           QStringLiteral(": whether it has been deleted is not known");
                    } else if (removed == 0) {
                        box.message = QStringLiteral("No messages have been deleted from ") + where;
                        box.Title = QStringLiteral("No Messages Deleted");
                        box.IconNb = MsgBoxIcon::Warning;
                    } else if (removed == 1) {
                        box.message = QStringLiteral("1 message has been deleted from ") + where;
                        box.Title = QStringLiteral("Deleted Message");
                        box.IconNb = MsgBoxIcon::Logo;
                    } else {
                        box.message = QString::number(removed) + QStringLiteral(" messages have been deleted from ") +
                                      where;
                        box.Title = QStringLiteral("Deleted Messages");
                        box.IconNb = MsgBoxIcon::Logo;
                    }
                }
            }

            // Before the closing steps pump: a repaint then must find every
            // row the view has in the list.
            pane->SetCount(0);
            if (Session1 && Session1->Mails) pane->SetCount(static_cast<int32_t>(Session1->Mails->size()));
            pane->SetAll();
            pane->Refresh();
            ChronoObj()->Shutdown();
            MonitorObj()->Shutdown();
            Screen::Instance()->SetMousePointer(Screen::kDefaultPointer);
            ShowCancelledOutcome(*session, box.message);
            modGlobalFunctions::DisplayMessage(box);
        },
        [&](const QString& d) { Report(d, QString(), routine); });
}

void FrmMain::Session2_OnPOP3StateChange(const QString& text) {
    Trap([&] { StatusBar->Panel(1)->SetText(text); },
         [&](const QString& d) { Report(d, QString(), QStringLiteral("Session2_OnPOP3StateChange")); });
}

void FrmMain::Session2_OnPOP3Error(const QString& text) {
    Trap([&] { StatusBar->Panel(1)->SetText(text); },
         [&](const QString& d) { Report(d, QString(), QStringLiteral("Session2_OnPOP3Error")); });
}

void FrmMain::Session2_OnPOP3RetrieveMail(int32_t MsgIdx, int32_t MsgCnt) {
    Trap(
        [&] {
            const QString text = QStringLiteral("Scanning header ") + QString::number(MsgIdx) +
                                 QStringLiteral(" out of ") + QString::number(MsgCnt);
            MonitorObj()->Action(text);
            StatusBar->Panel(1)->SetText(text);
        },
        [&](const QString& d) { Report(d, QString(), QStringLiteral("Session2_OnPOP3RetrieveMail")); });
}

void FrmMain::TmrPOP32_Timer() { MailTimeOut(TmrPOP32, Session2.get(), QStringLiteral("TmrPOP32_Timer")); }

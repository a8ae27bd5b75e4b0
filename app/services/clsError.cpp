#include "clsError.h"

#include "Clock.h"
#include "LogAppend.h"
#include "PlainMessageBox.h"
#include "RichTextBox.h"
#include "ServiceObjects.h"
#include "StatusPanel.h"
#include "modGlobalFunctions.h"

void clsError::Clear() { m_pending = false; }

void clsError::Trigger(const QString& EMsg, const QString& EContext, const QString& EModule,
                       const QString& ERoutine) {
    m_pending = true;
    m_msg = EMsg;
    m_context = EContext.isEmpty() ? QStringLiteral("Error !") : EContext;
    m_module = EModule;
    m_routine = ERoutine;
}

void clsError::SetErrorContext(const QString& Src) { m_context = Src; }

void clsError::Display() {
    modGlobalFunctions::DisplayMessage({.message = m_msg,
                                        .Title = m_context,
                                        .IconNb = MsgBoxIcon::Error,
                                        .Focus = MsgBoxButton::Ok,
                                        .ShowOk = true,
                                        .CForm = CForm});
    Clear();
}

QString clsError::Entry() const {
    QString msg = m_msg;
    msg.replace(QLatin1Char('\r'), QLatin1Char(' '));
    QString e = Clock::Now().toString(QStringLiteral("HH:mm:ss "));
    e += QStringLiteral("Message : ") + msg;
    e += QStringLiteral("\r\n\t Context : ") + m_context;
    e += QStringLiteral("\r\n\t Module  : ") + m_module;
    e += QStringLiteral("\r\n\t Routine : ") + m_routine;
    e += QStringLiteral("\r\n");
    return e;
}

QString clsError::LogPath() const { return LogFilePath(LogDir, LogFile); }

void clsError::Failure(const QString& description) {
    PlainMessageBox::Critical(QStringLiteral("ERROR !"), description);
}

bool clsError::LogToFile() {
    if (!LogToFileFlag) return false;
    if (LogFile.isEmpty()) LogFile = QStringLiteral("OrmidYRB_Error.log");
    const QString path = LogPath();
    const LogAppend append = AppendToLog(QStringLiteral("error log"), path, (Entry() + QStringLiteral("\r\n")).toLatin1());
    if (!append.opened) {
        // A log that cannot be opened stays so for a while; one box is
        // enough, the console still gets every report.
        if (m_failedLog != path) {
            m_failedLog = path;
            Failure(append.failure);
        }
        return false;
    }
    if (!append.failure.isEmpty()) {
        Failure(append.failure);
        return false;
    }
    m_failedLog.clear();
    Clear();
    return true;
}

bool clsError::LogToScreen() {
    if (!LogToScreenFlag) return false;
    if (LogScreen) {
        auto* console = LogScreen->findChild<RichTextBox*>(QStringLiteral("TxtErrors"));
        if (console == nullptr) {
            Failure(QStringLiteral("The form '%1' has no error console 'TxtErrors'").arg(LogScreen->objectName()));
            return false;
        }
        console->SetText(console->Text() + Entry());
        console->SetSelStart(1);
    }
    if (SBar && SBar->Count() > 0) {
        SBar->Panel(SBar->Count())->SetText(QStringLiteral("ERROR"));
        if (Tmr) Tmr->SetEnabled(true);
    }
    if (Button) Button->setEnabled(true);
    return true;
}

std::shared_ptr<clsError> ErrorObj() { return ServiceSlot<clsError>::Get(); }
void ReleaseErrorObj() { ServiceSlot<clsError>::Release(); }

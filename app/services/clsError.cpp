#include "clsError.h"

#include <QFile>

#include "Clock.h"
#include "ErrorTrap.h"
#include "PlainMessageBox.h"
#include "RichTextBox.h"
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
    Trap(
        [&] {
            QWidget* form = CForm ? CForm.data() : nullptr;
            modGlobalFunctions::DisplayMessage(m_msg, m_context, MsgBoxIcon::Error, MsgBoxButton::Ok, false, false,
                                               false, false, true, false, QString(), form, nullptr, false, false,
                                               false, false);
            Clear();
        },
        [](const QString&) {});
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

QString clsError::LogPath() const {
    return LogDir + (LogDir.endsWith(QLatin1Char('/')) ? QString() : QStringLiteral("/")) + LogFile;
}

void clsError::Failure(const QString& description) {
    PlainMessageBox::Critical(QStringLiteral("ERROR !"), description);
}

bool clsError::LogToFile() {
    if (!LogToFileFlag) return false;
    bool result = false;
    Trap(
        [&] {
            if (LogFile.isEmpty()) LogFile = QStringLiteral("OrmidYRB_Error.log");
            const QString path = LogPath();
            QFile f(path);
            if (!f.open(QIODevice::WriteOnly | QIODevice::Append)) {
                // A log that cannot be opened stays so for a while; one box
                // is enough, the console still gets every report.
                if (m_failedLog != path) {
                    m_failedLog = path;
                    Failure(QStringLiteral("The error log '%1' could not be opened : %2").arg(path, f.errorString()));
                }
                return;
            }
            const QByteArray bytes = (Entry() + QStringLiteral("\r\n")).toLatin1();
            if (f.write(bytes) != bytes.size()) {
                const QString why = f.errorString();
                f.close();
                Failure(QStringLiteral("The error log '%1' could not be written : %2").arg(path, why));
                return;
            }
            m_failedLog.clear();
            result = true;
            Clear();
            f.close();
        },
        [&](const QString& d) {
            result = false;
            Failure(d);
        });
    return result;
}

bool clsError::LogToScreen() {
    if (!LogToScreenFlag) return false;
    bool result = false;
    Trap(
        [&] {
            if (LogScreen) {
                auto* console = LogScreen->findChild<RichTextBox*>(QStringLiteral("TxtErrors"));
                if (console == nullptr) {
                    Failure(QStringLiteral("The form '%1' has no error console 'TxtErrors'")
                                .arg(LogScreen->objectName()));
                    return;
                }
                console->SetText(console->Text() + Entry());
                console->SetSelStart(1);
            }
            result = true;
            if (SBar && SBar->Count() > 0) {
                SBar->Panel(SBar->Count())->SetText(QStringLiteral("ERROR"));
                if (Tmr) Tmr->SetEnabled(true);
            }
            if (Button) Button->setEnabled(true);
        },
        [&](const QString& d) {
            result = false;
            Failure(d);
        });
    return result;
}

#pragma once

#include <QAbstractButton>
#include <QPointer>
#include <QString>
#include <QWidget>

#include "IntervalTimer.h"
#include "PanelStatusBar.h"

// The error reporter's store: the last error, written on request to the
// error log, to the error console (with the status bar's "ERROR" indicator)
// and to a message box.
class clsError {
public:
    clsError() = default;
    ~clsError() = default;
    clsError(const clsError&) = delete;
    clsError& operator=(const clsError&) = delete;

    bool LogToFileFlag = false;
    bool LogToScreenFlag = true;
    QString LogDir;
    QString LogFile = QStringLiteral("OrmidYRB_Error.log");
    QPointer<QWidget> LogScreen;  // the form whose child "TxtErrors" is the console
    QPointer<QWidget> CForm;
    QPointer<PanelStatusBar> SBar;
    QPointer<QAbstractButton> Button;
    QPointer<IntervalTimer> Tmr;

    void Clear();
    void Trigger(const QString& EMsg, const QString& EContext, const QString& EModule, const QString& ERoutine);
    void Display();
    void SetErrorContext(const QString& Src);
    bool LogToScreen();
    bool LogToFile();

    bool IsPending() const { return m_pending; }
    const QString& Message() const { return m_msg; }
    const QString& Context() const { return m_context; }
    const QString& Module() const { return m_module; }
    const QString& Routine() const { return m_routine; }

    // The entry as the log and the console receive it, stamped now.
    QString Entry() const;
    QString LogPath() const;

private:
    void Failure(const QString& description);

    QString m_msg;
    QString m_context;
    QString m_module;
    QString m_routine;
    bool m_pending = false;
    // The log that could not be opened, reported once until a write succeeds.
    QString m_failedLog;
};

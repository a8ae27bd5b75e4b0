#pragma once

#include <memory>

#include <QPointer>
#include <QString>

#include "RichTextBox.h"

class clsError;

// A running log of protocol events, one line each, on a text box (stamped
// with milliseconds) and optionally in a trace file.
class clsTrace {
public:
    clsTrace() = default;
    clsTrace(const clsTrace&) = delete;
    clsTrace& operator=(const clsTrace&) = delete;

    bool DoVerbose = false;
    bool DoTraceToFile = false;
    bool DoTraceToScreen = true;
    QString TraceDir;
    QString TraceFil = QStringLiteral("OrmidYRB_Trace.log");
    QPointer<RichTextBox> TraceCtl;
    std::shared_ptr<clsError> MyError;

    void Trace(const QString& TMsg, const QString& TContext, const QString& TModule, const QString& TRoutine);
    void SetTraceContext(const QString& Src);
    bool TraceToScreen();
    bool TraceToFile();

    QString TracePath() const;

private:
    void ReportError(const QString& description, const QString& routine);

    QString m_msg;
    QString m_context;
    QString m_module;
    QString m_routine;
};

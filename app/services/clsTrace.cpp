#include "clsTrace.h"

#include "Clock.h"
#include "LogAppend.h"
#include "ReportError.h"
#include "ServiceObjects.h"
#include "clsError.h"

void clsTrace::ReportError(const QString& description, const QString& routine) {
    modGlobalFunctions::ReportErrorOn(MyError.get(), description, QString(), QStringLiteral("clsTrace"), routine, false,
                                      true);
}

void clsTrace::Trace(const QString& TMsg, const QString& TContext, const QString& TModule, const QString& TRoutine) {
    m_msg = TMsg;
    m_context = TContext;
    m_module = TModule;
    m_routine = TRoutine;
    TraceToScreen();
    TraceToFile();
}

void clsTrace::SetTraceContext(const QString& Src) { m_context = Src; }

bool clsTrace::TraceToScreen() {
    if (!DoTraceToScreen) return false;
    if (!TraceCtl) return true;
    const QDateTime now = Clock::Now();
    const QDate d = now.date();
    const QTime t = now.time();
    const QString stamp = QStringLiteral("[%1/%2/%3,%4:%5:%6.%7]  ")
                              .arg(d.year(), 2, 10, QLatin1Char('0'))
                              .arg(d.month(), 2, 10, QLatin1Char('0'))
                              .arg(d.day(), 2, 10, QLatin1Char('0'))
                              .arg(t.hour(), 2, 10, QLatin1Char('0'))
                              .arg(t.minute(), 2, 10, QLatin1Char('0'))
                              .arg(t.second(), 2, 10, QLatin1Char('0'))
                              .arg(t.msec(), 3, 10, QLatin1Char('0'));
    TraceCtl->SetText(TraceCtl->Text() + stamp + m_msg + QStringLiteral("\r\n"));
    return true;
}

QString clsTrace::TracePath() const { return LogFilePath(TraceDir, TraceFil); }

bool clsTrace::TraceToFile() {
    if (!DoTraceToFile) return false;
    if (TraceFil.isEmpty()) TraceFil = QStringLiteral("OrmidYRB_Trace.log");
    const QString line = QLatin1Char('[') + Clock::Now().toString(QStringLiteral("yyyy/MM/dd,HH:mm:ss")) +
                         QStringLiteral("]  ") + m_msg + QStringLiteral("\r\n\r\n");
    const LogAppend append = AppendToLog(QStringLiteral("trace file"), TracePath(), line.toLatin1());
    if (!append.failure.isEmpty()) {
        ReportError(append.failure, QStringLiteral("TraceToFile"));
        return false;
    }
    return true;
}

std::shared_ptr<clsTrace> TraceObj() { return ServiceSlot<clsTrace>::Get(); }
void ReleaseTraceObj() { ServiceSlot<clsTrace>::Release(); }

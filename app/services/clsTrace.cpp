#include "clsTrace.h"

#include <QFile>

#include "Clock.h"
#include "ErrorTrap.h"
#include "clsError.h"
#include "modGlobalFunctions.h"

void clsTrace::ReportError(const QString& description, const QString& routine) {
    modGlobalFunctions::ReportErrorOn(MyError.get(), description, QString(), QStringLiteral("clsTrace"), routine, false,
                                      true);
}

void clsTrace::Trace(const QString& TMsg, const QString& TContext, const QString& TModule, const QString& TRoutine) {
    Trap(
        [&] {
            m_msg = TMsg;
            m_context = TContext;
            m_module = TModule;
            m_routine = TRoutine;
            TraceToScreen();
            TraceToFile();
        },
        [&](const QString& d) { ReportError(d, QStringLiteral("Trace")); });
}

void clsTrace::SetTraceContext(const QString& Src) { m_context = Src; }

bool clsTrace::TraceToScreen() {
    if (!DoTraceToScreen) return false;
    bool result = false;
    Trap(
        [&] {
            if (TraceCtl) {
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
            }
            result = true;
        },
        [&](const QString& d) { ReportError(d, QStringLiteral("TraceToScreen")); });
    return result;
}

QString clsTrace::TracePath() const {
    return TraceDir + (TraceDir.endsWith(QLatin1Char('/')) ? QString() : QStringLiteral("/")) + TraceFil;
}

bool clsTrace::TraceToFile() {
    if (!DoTraceToFile) return false;
    bool result = false;
    Trap(
        [&] {
            if (TraceFil.isEmpty()) TraceFil = QStringLiteral("OrmidYRB_Trace.log");
            const QString path = TracePath();
            QFile f(path);
            if (!f.open(QIODevice::WriteOnly | QIODevice::Append)) {
                ReportError(QStringLiteral("The trace file '%1' could not be opened : %2").arg(path, f.errorString()),
                            QStringLiteral("TraceToFile"));
                return;
            }
            const QString line = QLatin1Char('[') + Clock::Now().toString(QStringLiteral("yyyy/MM/dd,HH:mm:ss")) +
                                 QStringLiteral("]  ") + m_msg + QStringLiteral("\r\n\r\n");
            const QByteArray bytes = line.toLatin1();
            if (f.write(bytes) != bytes.size()) {
                ReportError(QStringLiteral("The trace file '%1' could not be written : %2").arg(path, f.errorString()),
                            QStringLiteral("TraceToFile"));
                return;
            }
            result = true;
            f.close();
        },
        [&](const QString& d) { ReportError(d, QStringLiteral("TraceToFile")); });
    return result;
}

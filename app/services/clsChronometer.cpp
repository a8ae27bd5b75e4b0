#include "clsChronometer.h"

#include "Clock.h"
#include "ErrorTrap.h"
#include "clsError.h"
#include "modGlobalFunctions.h"

namespace {
// The meters count whole seconds.
QDateTime WholeSeconds(const QDateTime& t) {
    QDateTime s = t;
    s.setTime(QTime(t.time().hour(), t.time().minute(), t.time().second()));
    return s;
}

QString Digits(int64_t value, int width) {
    return QStringLiteral("%1").arg(value, width, 10, QLatin1Char('0'));
}
}  // namespace

void clsChronometer::ReportError(const QString& description, const QString& context, const QString& routine) {
    modGlobalFunctions::ReportErrorOn(MyError.get(), description, context, QStringLiteral("clsChronometer"), routine,
                                      false, true);
}

QString clsChronometer::FormatSpan(int64_t seconds, const QString& pattern) {
    if (seconds < 0) seconds = 0;
    const int64_t hours = seconds / 3600;
    const int64_t minutes = (seconds / 60) % 60;
    const int64_t secs = seconds % 60;
    QString out;
    for (qsizetype i = 0; i < pattern.size();) {
        const QChar c = pattern.at(i).toLower();
        qsizetype run = 1;
        while (i + run < pattern.size() && pattern.at(i + run).toLower() == c) ++run;
        const int width = run >= 2 ? 2 : 1;
        if (c == QLatin1Char('h')) out += Digits(hours, width);
        else if (c == QLatin1Char('n') || c == QLatin1Char('m')) out += Digits(minutes, width);
        else if (c == QLatin1Char('s')) out += Digits(secs, width);
        else out += pattern.mid(i, run);
        i += run;
    }
    return out;
}

void clsChronometer::Show(const QString& text) {
    if (Panel) Panel->SetText(text);
    if (Label) Label->setText(text);
}

void clsChronometer::Startup(const QString& UseFormat, bool DoTimer) {
    Trap(
        [&] {
            m_running = true;
            m_start = WholeSeconds(Clock::Now());
            Show(FormatSpan(0, UseFormat));
            if (Timer) Timer->SetEnabled(DoTimer);
            m_doTimer = DoTimer;
            m_useFormat = UseFormat;
        },
        [&](const QString& d) { ReportError(d, QStringLiteral("Error Starting Up Chronometer"), QStringLiteral("Startup")); });
}

void clsChronometer::Shutdown() {
    Trap(
        [&] {
            m_running = false;
            if (Timer) Timer->SetEnabled(false);
            m_doTimer = false;
            m_useFormat.clear();
        },
        [&](const QString& d) { ReportError(d, QStringLiteral("Error Shuting Down Chronometer"), QStringLiteral("Shutdown")); });
}

void clsChronometer::Update() {
    if (!m_running) return;
    Trap(
        [&] {
            const int64_t elapsed = m_start.secsTo(WholeSeconds(Clock::Now()));
            Show(FormatSpan(elapsed, m_useFormat));
        },
        [&](const QString& d) { ReportError(d, QStringLiteral("Error Updating Chronometer Status"), QStringLiteral("Update")); });
}

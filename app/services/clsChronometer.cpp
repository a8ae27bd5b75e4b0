#include "clsChronometer.h"

#include "Clock.h"
#include "ServiceObjects.h"

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

clsChronometer::clsChronometer() : StatusMeter(QStringLiteral("clsChronometer")) {}

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

void clsChronometer::Startup(const QString& UseFormat, bool DoTimer) {
    m_start = WholeSeconds(Clock::Now());
    m_useFormat = UseFormat;
    Show(FormatSpan(0, UseFormat));
    Start(DoTimer);
}

// The last time shown stays.
void clsChronometer::Shutdown() {
    Stop();
    m_useFormat.clear();
}

void clsChronometer::Update() {
    if (!IsRunning()) return;
    Show(FormatSpan(m_start.secsTo(WholeSeconds(Clock::Now())), m_useFormat));
}

std::shared_ptr<clsChronometer> ChronoObj() { return ServiceSlot<clsChronometer>::Get(); }
void ReleaseChronoObj() { ServiceSlot<clsChronometer>::Release(); }

#pragma once

#include <cstdint>

#include <QDateTime>
#include <QString>

#include "StatusMeter.h"

// Elapsed time of the running operation, shown in a status-bar panel and/or
// a label and refreshed by the creator's timer.
class clsChronometer : public StatusMeter {
public:
    clsChronometer();

    void Startup(const QString& UseFormat, bool DoTimer);
    void Shutdown();
    void Update();

    // A span of seconds in a pattern of h/hh (total hours, never wrapped at
    // a day), n/nn or m/mm (minutes) and s/ss (seconds); other characters
    // are copied.
    static QString FormatSpan(int64_t seconds, const QString& pattern);

private:
    QDateTime m_start;
    QString m_useFormat;
};

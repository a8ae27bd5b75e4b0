#pragma once

#include <cstdint>
#include <memory>

#include <QDateTime>
#include <QLabel>
#include <QPointer>
#include <QString>

#include "IntervalTimer.h"
#include "StatusPanel.h"

class clsError;
class clsInterrupt;

// Elapsed time of the running operation, shown in a status-bar panel and/or
// a label and refreshed by the creator's timer.
class clsChronometer {
public:
    clsChronometer() = default;
    ~clsChronometer() = default;
    clsChronometer(const clsChronometer&) = delete;
    clsChronometer& operator=(const clsChronometer&) = delete;

    std::shared_ptr<clsError> MyError;
    std::shared_ptr<clsInterrupt> Interrupt;
    QPointer<StatusPanel> Panel;
    QPointer<QLabel> Label;
    QPointer<IntervalTimer> Timer;

    void Startup(const QString& UseFormat, bool DoTimer);
    void Shutdown();
    void Update();

    bool IsRunning() const { return m_running; }

    // A span of seconds in a pattern of h/hh (total hours, never wrapped at
    // a day), n/nn or m/mm (minutes) and s/ss (seconds); other characters
    // are copied.
    static QString FormatSpan(int64_t seconds, const QString& pattern);

private:
    void Show(const QString& text);
    void ReportError(const QString& description, const QString& context, const QString& routine);

    bool m_running = false;
    QDateTime m_start;
    bool m_doTimer = false;
    QString m_useFormat;
};

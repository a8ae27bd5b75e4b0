#pragma once

#include <memory>

#include <QLabel>
#include <QPointer>
#include <QString>

#include "IntervalTimer.h"
#include "StatusPanel.h"

class clsError;
class clsInterrupt;

// What the status-bar meters share: a reading shown in a status-bar panel
// and/or a label, refreshed by the creator's timer while the meter runs.
class StatusMeter {
public:
    StatusMeter(const StatusMeter&) = delete;
    StatusMeter& operator=(const StatusMeter&) = delete;

    std::shared_ptr<clsError> MyError;
    std::shared_ptr<clsInterrupt> Interrupt;
    QPointer<StatusPanel> Panel;
    QPointer<QLabel> Label;
    QPointer<IntervalTimer> Timer;

    bool IsRunning() const { return m_running; }

protected:
    // module names the meter in its reports.
    explicit StatusMeter(const QString& module);
    ~StatusMeter();

    // Running from now on; the timer ticks only when DoTimer.
    void Start(bool DoTimer);
    void Stop();
    void Show(const QString& text);
    void ReportError(const QString& description, const QString& context, const QString& routine);

private:
    QString m_module;
    bool m_running = false;
};

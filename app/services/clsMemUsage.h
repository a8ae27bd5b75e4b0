#pragma once

#include <cstdint>
#include <memory>

#include <QLabel>
#include <QPointer>
#include <QString>

#include "IntervalTimer.h"
#include "StatusPanel.h"

class clsError;
class clsInterrupt;

// Free physical memory in kilobytes, shown in a status-bar panel and/or a
// label and refreshed by the creator's timer.
class clsMemUsage {
public:
    clsMemUsage() = default;
    ~clsMemUsage() = default;
    clsMemUsage(const clsMemUsage&) = delete;
    clsMemUsage& operator=(const clsMemUsage&) = delete;

    std::shared_ptr<clsError> MyError;
    std::shared_ptr<clsInterrupt> Interrupt;
    QPointer<StatusPanel> Panel;
    QPointer<QLabel> Label;
    QPointer<IntervalTimer> Timer;

    void Startup(bool DoTimer);
    void Shutdown();
    void Update();

    bool IsRunning() const { return m_running; }

private:
    void Show(const QString& text);
    void ReportError(const QString& description, const QString& context, const QString& routine);

    bool m_running = false;
    bool m_doTimer = false;
};

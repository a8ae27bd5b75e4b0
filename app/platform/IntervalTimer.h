#pragma once

#include <QObject>
#include <QTimer>

// A form timer: ticks every Interval milliseconds while Enabled.  An interval
// of 0 never fires, and setting the interval of a running timer starts its
// count again.
class IntervalTimer : public QObject {
    Q_OBJECT
public:
    explicit IntervalTimer(QObject* parent = nullptr, int intervalMs = 0);

    bool Enabled() const { return m_enabled; }
    void SetEnabled(bool on);
    int Interval() const { return m_interval; }
    void SetInterval(int ms);
    // Milliseconds until the next tick; -1 while the timer does not run.
    int RemainingTime() const { return m_timer.isActive() ? m_timer.remainingTime() : -1; }

signals:
    void Timer();

private:
    void Apply(bool restart);

    QTimer m_timer;
    bool m_enabled = false;
    int m_interval = 0;
};

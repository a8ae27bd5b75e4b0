#include "IntervalTimer.h"

IntervalTimer::IntervalTimer(QObject* parent, int intervalMs)
    : QObject(parent), m_interval(intervalMs < 0 ? 0 : intervalMs) {
    m_timer.setTimerType(Qt::CoarseTimer);
    connect(&m_timer, &QTimer::timeout, this, &IntervalTimer::Timer);
}

void IntervalTimer::SetEnabled(bool on) {
    if (on == m_enabled) return;
    m_enabled = on;
    Apply(true);
}

void IntervalTimer::SetInterval(int ms) {
    m_interval = ms < 0 ? 0 : ms;
    Apply(true);
}

void IntervalTimer::Apply(bool restart) {
    if (!m_enabled || m_interval == 0) {
        m_timer.stop();
        return;
    }
    if (restart || !m_timer.isActive()) m_timer.start(m_interval);
}

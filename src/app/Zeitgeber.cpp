#include "app/Zeitgeber.h"

#include <atomic>
#include <cmath>

namespace {
std::atomic<double> g_scale{1.0};
}

double TimeScale() { return g_scale.load(); }
void SetTimeScale(double factor) { g_scale.store(factor > 0 ? factor : 1.0); }

int ScaledMs(int ms)
{
    if (ms <= 0)
        return 0;
    const double scaled = std::round(double(ms) * TimeScale());
    if (scaled < 1)
        return 1;
    if (scaled > 2147483647.0)
        return 2147483647;
    return int(scaled);
}

TTimer::TTimer(QObject *parent, int intervalMs, bool enabled)
    : QObject(parent), m_interval(intervalMs), m_enabled(enabled)
{
    m_timer.setTimerType(Qt::PreciseTimer);
    connect(&m_timer, &QTimer::timeout, this, [this] {
        if (m_timer.isSingleShot())
            m_enabled = false;
        emit timeout();
    });
    apply();
}

void TTimer::setEnabled(bool on)
{
    if (on == m_enabled)
        return;
    m_enabled = on;
    apply();
}

void TTimer::setInterval(int ms)
{
    if (ms == m_interval)
        return;
    m_interval = ms;
    apply();
}

void TTimer::restart()
{
    m_timer.stop();
    apply();
}

void TTimer::apply()
{
    m_timer.stop();
    if (m_enabled && m_interval > 0)
        m_timer.start(ScaledMs(m_interval));
}

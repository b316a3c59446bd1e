#pragma once
// Timers with the semantics the program relies on, and the one process-wide time scale
// that lets tests run time-outs and retries fast through the same code path.
#include <QObject>
#include <QTimer>

// Factor applied to every interval (1.0 in the program).
double TimeScale();
void SetTimeScale(double factor);
// A positive interval never scales below 1 ms; 0 stays 0.
int ScaledMs(int ms);

// Enabling a running timer does not restart it, a new interval restarts a running one,
// an interval of 0 never fires. The interval is kept unscaled.
class TTimer : public QObject
{
    Q_OBJECT
public:
    explicit TTimer(QObject *parent = nullptr, int intervalMs = 1000, bool enabled = false);

    bool enabled() const { return m_enabled; }
    void setEnabled(bool on);
    int interval() const { return m_interval; }
    void setInterval(int ms);
    // Stops and starts again from now (a plain restart of the countdown).
    void restart();
    bool isSingleShot() const { return m_timer.isSingleShot(); }
    // Scaled milliseconds left until it fires; -1 when it is stopped.
    int verbleibendMs() const { return m_timer.remainingTime(); }
    // A single-shot timer disables itself when it fires.
    void setSingleShot(bool on) { m_timer.setSingleShot(on); }
    // A coarse timer may fire up to 5 % early or late, so that the system can wake the
    // program once for several timers; for ticks nobody waits on to the millisecond.
    void setGrob(bool on) { m_timer.setTimerType(on ? Qt::CoarseTimer : Qt::PreciseTimer); }

signals:
    void timeout();

private:
    void apply();
    QTimer m_timer;
    int m_interval;
    bool m_enabled;
};

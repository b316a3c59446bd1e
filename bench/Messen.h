#pragma once
// What the benchmark and the bare comparison program measure alike: one monotonic clock that
// parent and child read the same, the moment a window is first on screen, and the longest
// stall of the GUI thread. Header only, so the bare program links nothing of Kelvor.
#include <QApplication>
#include <QElapsedTimer>
#include <QEvent>
#include <QObject>
#include <QPointer>
#include <QTimer>
#include <QWidget>
#include <QWindow>

#include <cstdio>
#include <ctime>
#include <functional>

// Nanoseconds of CLOCK_MONOTONIC: the same clock in every process of the machine.
inline qint64 MonotonNs()
{
    timespec t{};
    clock_gettime(CLOCK_MONOTONIC, &t);
    return qint64(t.tv_sec) * 1000000000 + t.tv_nsec;
}

// Calls `dann` once, from the event loop, after the first expose of `fenster` has been handled:
// the window is on screen and its first frame painted and flushed. Create it before show().
class TSichtbarMelder : public QObject
{
public:
    TSichtbarMelder(QWidget *fenster, std::function<void()> dann)
        : QObject(fenster), m_fenster(fenster), m_dann(std::move(dann))
    {
        qApp->installEventFilter(this);
    }

protected:
    bool eventFilter(QObject *o, QEvent *e) override
    {
        if (e->type() == QEvent::Expose && !m_gemeldet && m_fenster && o == m_fenster->windowHandle()
            && m_fenster->windowHandle()->isExposed()) {
            m_gemeldet = true;
            qApp->removeEventFilter(this);
            // The widget paints while the expose is handled; this runs once that is through.
            QTimer::singleShot(0, this, [this] { m_dann(); });
        }
        return false;
    }

private:
    QPointer<QWidget> m_fenster;
    std::function<void()> m_dann;
    bool m_gemeldet = false;
};

// The longest gap between the ticks of a 5 ms timer: how long the event loop stood still.
class TLueckenmesser : public QObject
{
public:
    TLueckenmesser()
    {
        m_takt.setTimerType(Qt::PreciseTimer);
        m_takt.setInterval(5);
        connect(&m_takt, &QTimer::timeout, this, [this] {
            const qint64 jetzt = m_uhr.nsecsElapsed();
            m_groesste = qMax(m_groesste, jetzt - m_letzter);
            m_letzter = jetzt;
        });
    }
    void starten()
    {
        m_groesste = m_letzter = 0;
        m_uhr.start();
        m_takt.start();
    }
    // Milliseconds of the longest stall, the open one at the end included.
    double anhalten()
    {
        m_takt.stop();
        return qMax(m_groesste, m_uhr.nsecsElapsed() - m_letzter) / 1e6;
    }

private:
    QTimer m_takt;
    QElapsedTimer m_uhr;
    qint64 m_groesste = 0;
    qint64 m_letzter = 0;
};

// The one line a child reports to the benchmark.
inline void ErgebnisMelden(const QString &felder)
{
    std::printf("ergebnis %s\n", qPrintable(felder));
    std::fflush(stdout);
}

#pragma once
// What the benchmark and the bare comparison program measure alike: one monotonic clock that
// parent and child read the same, the moment a window is first on screen, and the longest
// stall of the GUI thread. Header only, so the bare program links nothing of Kelvor.
#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QEvent>
#include <QObject>
#include <QPointer>
#include <QStringList>
#include <QTimer>
#include <QWidget>
#include <QWindow>

#include <cstdio>
#include <ctime>
#include <fcntl.h>
#include <unistd.h>
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

// The longest gap between the ticks of a 5 ms timer: how long the event loop stood still. The
// time the thread stood ready while the machine ran others is not the program's and is left
// out, where the system tells it (Linux: the thread's scheduler statistics); on a busy machine
// it would otherwise swamp every difference.
class TLueckenmesser : public QObject
{
public:
    TLueckenmesser()
    {
        m_takt.setTimerType(Qt::PreciseTimer);
        m_takt.setInterval(5);
        connect(&m_takt, &QTimer::timeout, this, [this] { takt(); });
    }
    ~TLueckenmesser() override
    {
        if (m_statistik >= 0)
            ::close(m_statistik);
    }
    void starten()
    {
        if (m_statistik < 0)
            m_statistik = ::open("/proc/thread-self/schedstat", O_RDONLY | O_CLOEXEC);
        m_groesste = 0;
        m_warten0 = 0;
        m_warten0 = wartezeit();
        m_luecken.clear();
        m_uhr.start();
        m_letzter = m_letzterUhr = 0;
        m_takt.start();
    }
    // Milliseconds of the longest stall, the open one at the end included.
    double anhalten()
    {
        m_takt.stop();
        takt();
        return m_groesste / 1e6;
    }
    // The stalls longer than LangNs, as "<end>:<wall>:<own>" in nanoseconds joined by commas
    // ("-" for none): when it ended (MonotonNs), how long it lasted, and how much of that was
    // not spent waiting for the machine.
    static constexpr qint64 LangNs = 7000000;
    QString lueckenText() const
    {
        QStringList teile;
        for (const TLuecke &l : m_luecken)
            teile << QStringLiteral("%1:%2:%3").arg(l.ende).arg(l.wand).arg(l.eigen);
        return teile.isEmpty() ? QStringLiteral("-") : teile.join(u',');
    }

private:
    struct TLuecke
    {
        qint64 ende, wand, eigen;
    };
    void takt()
    {
        const qint64 uhr = m_uhr.nsecsElapsed();
        const qint64 jetzt = uhr - wartezeit();
        const qint64 luecke = jetzt - m_letzter;
        m_groesste = qMax(m_groesste, luecke);
        if (luecke > LangNs)
            m_luecken.append({MonotonNs(), uhr - m_letzterUhr, luecke});
        m_letzter = jetzt;
        m_letzterUhr = uhr;
    }
    // Nanoseconds this thread stood ready to run since starten().
    qint64 wartezeit() const
    {
        char text[96];
        if (m_statistik < 0)
            return 0;
        const ssize_t n = ::pread(m_statistik, text, sizeof text - 1, 0);
        if (n <= 0)
            return 0;
        text[n] = 0;
        unsigned long long laufen = 0, warten = 0;
        if (std::sscanf(text, "%llu %llu", &laufen, &warten) != 2)
            return 0;
        return qint64(warten) - m_warten0;
    }

    QTimer m_takt;
    QElapsedTimer m_uhr;
    int m_statistik = -1;
    qint64 m_warten0 = 0;
    qint64 m_groesste = 0;
    qint64 m_letzter = 0;
    qint64 m_letzterUhr = 0;
    QList<TLuecke> m_luecken;
};

// Resident memory of this process in KiB; -1 when the system does not say.
inline qint64 ResidentKb()
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return -1;
    for (const QByteArray &zeile : status.readAll().split('\n'))
        if (zeile.startsWith("VmRSS:"))
            return zeile.mid(6).trimmed().split(' ').value(0).toLongLong();
    return -1;
}

// The one line a child reports to the benchmark.
inline void ErgebnisMelden(const QString &felder)
{
    std::printf("ergebnis %s\n", qPrintable(felder));
    std::fflush(stdout);
}

#pragma once
// The link on a free loopback port with the program's answer server and the stand-in
// controller, and a main-window stand-in that records what the link shows.
#include "support/TestUmgebung.h"
#include "XqSim.h"
#include "app/Zeitgeber.h"
#include "link/uXqxOfen.h"

#include <QStringList>
#include <QTest>
#include <functional>
#include <memory>

inline const QHostAddress kPc(QStringLiteral("127.0.0.1"));
inline const QHostAddress kSteuerung(QStringLiteral("127.0.0.2"));

class TFakeHost : public TLinkHost
{
public:
    void BefehlEintragen(const QString &t) override { befehle << t; }
    void AntwortEintragen(const QString &t) override { antworten << t; }
    void FehlerEintragen(const QString &t) override
    {
        fehler << t;
        if (beiFehler)
            beiFehler(t);
    }
    void FehlerMelden(const QString &t) override { meldungen << t; }
    bool NoWaitGesetzt() const override { return noWait; }
    bool PingTimerGesetzt() const override { return ping; }
    bool StatTimerGesetzt() const override { return stat; }
    bool ZeitTimerGesetzt() const override { return zeit; }
    bool KillBoxGesetzt() const override { return kill; }
    bool EndlosSendenGesetzt() const override { return endlos; }
    bool ServerStoppen() override { server->Deaktivieren(); return true; }
    bool ServerAktivieren() override { return server->Aktivieren(); }
    void XQZeitSetzen(const QString &t) override { xqZeit = t; }
    void VersionSetzen(const QString &t) override { version = t; }

    TAntwortServer *server = nullptr;
    bool noWait = false, kill = false, endlos = false, ping = false, stat = false, zeit = false;
    // Runs at each error line as it is written, inside the link's call.
    std::function<void(const QString &)> beiFehler;
    QStringList befehle, antworten, fehler, meldungen;
    QString xqZeit, version;
};

// The link with a hold on the end of each send: a test decides when it runs.
class TTestLink : public TwXQXOfen
{
public:
    using TwXQXOfen::TwXQXOfen;
    using TAbschlussHalter = std::function<void(std::function<void()> weiter)>;
    // Receives the end of each send from now on; none: it runs at once.
    void SetAbschlussHalter(TAbschlussHalter halter) { m_halter = std::move(halter); }

protected:
    void SendungAbschluss(std::function<void()> weiter) override
    {
        if (m_halter)
            m_halter(std::move(weiter));
        else
            weiter();
    }

private:
    TAbschlussHalter m_halter;
};

// Time scales of the link tests. At the program's own timing no answer of the in-process
// stand-in comes near its answer time-out, however busy the machine; tests that wait for a
// time-out run it fast and go back to the program's timing before an answer matters again.
inline constexpr double kProgrammZeit = 1.0;
inline constexpr double kSchnell = 0.1;

// Program at 127.0.0.1, stand-in at 127.0.0.2, one free port for both; time scaled.
struct TLinkAufbau
{
    explicit TLinkAufbau(double zeitFaktor = kProgrammZeit);
    ~TLinkAufbau()
    {
        // The link ends a command still in flight on its way out; the hooks may need the test.
        beiEnde = nullptr;
        host.beiFehler = nullptr;
        link.reset();
    }
    // Server, link and stand-in started; false (with the reason in `grund`) when not.
    bool starten();
    void reihe(const NeuerBefehl &b, const QByteArray &param = {}) { link->BefehlEinreihen(QByteArray(), b, param); }

    std::unique_ptr<TTestUmgebung> env;
    TFakeHost host;
    TXqSim sim;
    TAntwortServer server;
    std::unique_ptr<TTestLink> link;
    QString pending, grund;
    quint16 port = 0;
    // What reached the list editor and the night-start window, in order: "TimeOut",
    // "Antwort:<number>:<text>", "Namen:<flag>:<text>", "Nacht:<text>", "Fortschritt:<position>",
    // "Teil:<number>:<chunk>".
    QStringList signale;
    // Every ending of a command, as "<word>:<way>" ("PING:Beantwortet").
    QStringList enden;
    // Runs at each ending as it is reported, inside the link's call.
    std::function<void(const NeuerBefehl &, TwXQXOfen::TBefehlsEnde)> beiEnde;
    // The link and the stand-in have nothing left to do: no command in flight, nothing
    // queued or on the wire, no answer on its way.
    bool ruhig() const;
};

// "<word>:<way>" as TLinkAufbau::enden holds it.
QString EndeText(const QByteArray &wort, TwXQXOfen::TBefehlsEnde wie);

// Base of the link tests: a started link for each test function; a box nobody expected fails it.
class TLinkTest : public QObject
{
    Q_OBJECT
protected:
    bool neuStarten(double zeitFaktor);
    // The bound only ends a test that went wrong; nothing waits for it to pass.
    static bool warte(const std::function<bool()> &bedingung) { return QTest::qWaitFor(bedingung, 30000); }
    std::unique_ptr<TLinkAufbau> a;
private slots:
    void init() { QVERIFY2(neuStarten(kProgrammZeit), qPrintable(a->grund)); }
    void cleanup();
};

// Waits for `bedingung` in an event loop of its own, so every answer is handled as it comes
// rather than between the sleeps of a polling wait: a whole list runs at the program's pace.
// The bound only ends a test that went wrong.
bool Abwarten(const std::function<bool()> &bedingung, int grenzeMs = 120000);

// A port free on `pc` and on the stand-in's 127.0.0.2 within [von, bis].
quint16 FreierPort(quint16 von = 20000, quint16 bis = 60000,
                   const QHostAddress &pc = QHostAddress(QStringLiteral("127.0.0.1")));
// Starts `sim` on 127.0.0.2 at a port of [von, bis] that is free on `pc` too, answering to `pc`;
// searches again when another test takes the port in between. 0 when none was found.
quint16 SimAufFreiemPort(TXqSim &sim, const QHostAddress &pc, quint16 von = 2600, quint16 bis = 2699);
// Lines of the day-folder error files, without their time stamps.
QStringList Fehlerdatei();
// The record of the command table with this name.
const NeuerBefehl &Befehl(QByteArrayView name);
// The words the stand-in received, acknowledgements as "TRX ACK" / "TRX NAK".
QStringList Woerter(const TXqSim &sim);

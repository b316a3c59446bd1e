// A whole list of 199 full programs read from and written to the stand-in controller, which
// answers without delay, at the program's own timing. The protocol's floor is one queue tick
// of 100 ms per program in use and one for the name list or the start; the goal is at most
// 1.1 times that floor.
#include "bench/Figur.h"

#include "XqSim.h"
#include "app/Zahlformat.h"
#include "link/uXqxOfen.h"

#include <QElapsedTimer>
#include <QTcpServer>
#include <QEventLoop>
#include <QTimer>
#include <functional>
#include <memory>

namespace {

constexpr int kProgramme = 199;
constexpr double kBodenMs = (kProgramme + 1) * 100.0;
constexpr double kZiel = 1.1;

class TStillerHost : public TLinkHost
{
public:
    void BefehlEintragen(const QString &) override {}
    void AntwortEintragen(const QString &) override {}
    void FehlerEintragen(const QString &t) override { fehler << t; }
    void FehlerMelden(const QString &t) override { fehler << t; }
    bool NoWaitGesetzt() const override { return false; }
    bool PingTimerGesetzt() const override { return false; }
    bool StatTimerGesetzt() const override { return false; }
    bool ZeitTimerGesetzt() const override { return false; }
    QStringList fehler;
};

// A program with every function used in all ten phases.
QByteArray vollesProgramm(int nr)
{
    TBackprogramm p;
    InitBPrgRecord(p);
    p.Name.setText("Vollkorn Spezial " + QByteArray::number(nr));
    p.Menge = nr % 40 + 1;
    p.SollKT = 95;
    for (int k = 0; k < 10; ++k) {
        TBackPhase &ph = p.Phasen[size_t(k)];
        ph.Temperatur = 240 - 4 * k;
        ph.Backzeit = 90 + nr % 60 + k;
        ph.Schwaden = k % 2 == 0 ? 40 : 6;
        ph.Umwaelzer = 100;
        ph.UmwaelzerZeit = ph.Backzeit;
        ph.Luft = 50;
        ph.LuftZeit = ph.Backzeit - 10;
        ph.Ausgang = 100;
        ph.AusgangZeit = 20 + k;
        ph.AbzugProzent = 40;
        ph.AbzugZeit = ph.Backzeit;
    }
    return BPrgTextSchreiben(p, true);
}

// Link, answer server and stand-in on one free loopback port.
struct TAufbau
{
    TStillerHost host;
    TAntwortServer server;
    TXqSim sim;
    std::unique_ptr<TwXQXOfen> link;
    bool ende = false;

    bool starten()
    {
        server.SetAdresse(QHostAddress(QStringLiteral("127.0.0.1")));
        for (quint16 port = 2600; port <= 2699 && !sim.isListening(); ++port) {
            QTcpServer probe;
            if (!probe.listen(QHostAddress(QStringLiteral("127.0.0.2")), port))
                continue;
            probe.close();
            server.Deaktivieren();
            server.SetPort(port);
            if (server.Aktivieren())
                sim.start(port);
        }
        if (!sim.isListening())
            return false;
        link = std::make_unique<TwXQXOfen>(&host);
        link->Init(QStringLiteral("127.0.0.2"));
        link->TCPClient.Port = server.Port();
        QObject::connect(&server, &TAntwortServer::Gelesen, link.get(), [this](const TServerVerbindung &v) {
            QString pending;
            ServerZeileVerarbeiten(v, host, link.get(), server.Port(), pending);
        });
        // The end is the last progress report, once the transfer no longer runs.
        QObject::connect(link.get(), &TwXQXOfen::FortschrittAnzeigen, [this](int position) {
            if (position >= 200 && !link->UebertragungAktiv())
                ende = true;
        });
        return true;
    }

    double messen(const std::function<void()> &starten)
    {
        ende = false;
        QElapsedTimer uhr;
        uhr.start();
        starten();
        // A real event loop: a wait that polls would add its sleeps to every answer.
        QEventLoop schleife;
        QTimer::singleShot(120000, &schleife, &QEventLoop::quit);
        const QMetaObject::Connection c = QObject::connect(link.get(), &TwXQXOfen::FortschrittAnzeigen, &schleife,
                                                           [&] { if (ende) schleife.quit(); }, Qt::QueuedConnection);
        if (!ende)
            schleife.exec();
        QObject::disconnect(c);
        if (!ende || !host.fehler.isEmpty())
            return -1;
        return uhr.nsecsElapsed() / 1e6;
    }
};

// The figure is the ratio to the floor; the time goes beside it.
std::optional<double> verhaeltnis(double ms)
{
    if (ms < 0)
        return {};
    FigurNotiz(QStringLiteral("%1 ms against a floor of %2 ms").arg(ms, 0, 'f', 0).arg(kBodenMs, 0, 'f', 0));
    return ms / kBodenMs;
}

double lesen()
{
    TAufbau a;
    if (!a.starten())
        return -1;
    for (int nr = 1; nr <= kProgramme; ++nr)
        a.sim.controller().setProgram(nr, vollesProgramm(nr));
    const double ms = a.messen([&] { a.link->BefehlEinreihen(QByteArray(), SB_RecSave, "0"); });
    return a.sim.count("BPRG") == kProgramme ? ms : -1;
}

double schreiben()
{
    TAufbau a;
    if (!a.starten())
        return -1;
    // The twelve chunks as the list editor queues them, slot 0 first.
    const NeuerBefehl *worte[] = {&SB_RecRest01, &SB_RecRest02, &SB_RecRest03, &SB_RecRest04,
                                  &SB_RecRest05, &SB_RecRest06, &SB_RecRest07, &SB_RecRest08,
                                  &SB_RecRest09, &SB_RecRest10, &SB_RecRest11, &SB_RecRest12};
    QList<QByteArray> teile(12);
    for (int i = 0; i <= kProgramme; ++i)
        teile[i == 0 ? 0 : (i - 1) / 17] += FormatDec(i, 2) + '\t' + StrToHexDump(vollesProgramm(i)) + '\t';
    const double ms = a.messen([&] {
        for (int k = 0; k < 12; ++k)
            a.link->BefehlEinreihen(QByteArray(), *worte[k], teile[k]);
        a.link->BefehlEinreihen(QByteArray(), SB_RecRest, "0");
    });
    for (int nr = 1; nr <= kProgramme; ++nr)
        if (a.sim.controller().program(nr) != vollesProgramm(nr))
            return -1;
    return a.sim.count("BPRG") == kProgramme ? ms : -1;
}

} // namespace

KELVOR_FIGUR((TFigur{QStringLiteral("whole-list read of 199 programs"), kZiel, [] { return verhaeltnis(lesen()); },
                         QStringLiteral("x the floor"), 3, true, 10}));
KELVOR_FIGUR((TFigur{QStringLiteral("whole-list write of 199 programs"), kZiel,
                         [] { return verhaeltnis(schreiben()); }, QStringLiteral("x the floor"), 3, true, 11}));

// CPU time (user and system) of the program while its status poll runs against the stand-in
// for 60 s: the whole program with "StatTimer" ticked, so that every status tick asks the
// controller for its status, and the live logs on, in a process of its own, so that the
// stand-in's work in this process does not count. Two more programs run alongside and are
// printed beside the figure: one with PING and ZEIT ticked as well (three commands a tick),
// and one with "Tracking" unticked, the log lists taking no lines: the poll's own share.
#include "bench/Figur.h"
#include "bench/Messen.h"
#include "bench/Programmlauf.h"

#include "XqSim.h"
#include "app/Zeitgeber.h"
#include "link/uKelvor.h"

#include <QCheckBox>
#include <QFileInfo>
#include <QTemporaryDir>

#include <sys/resource.h>

namespace {

constexpr int kSekunden = 60;

double rechenzeitMs()
{
    rusage r{};
    getrusage(RUSAGE_SELF, &r);
    const auto ms = [](const timeval &t) { return double(t.tv_sec) * 1000.0 + double(t.tv_usec) / 1000.0; };
    return ms(r.ru_utime) + ms(r.ru_stime);
}

// kelvor_bench --kind rechenzeit <folder> <address> <port> <seconds> [alleDrei|ohneTracking]
int rechenzeitKind(int argc, char **argv)
{
    QApplication app(argc, argv);
    const TProgrammOrt ort = ProgrammOrtLesen(argc, argv);
    const int sekunden = ort.Rest.value(0).toInt();
    if (sekunden <= 0)
        return 2;
    const QString art = ort.Rest.value(1);
    ProgrammOrtSetzen(ort, true);
    TKindDialoge dialoge;
    SetDialogHook(&dialoge);
    qint64 w0 = 0;
    double cpu0 = 0;
    int beantwortet = 0;
    TwKelvor *kelvor = nullptr;
    kelvor = ProgrammStarten(ort, {QStringLiteral("QUAMP")}, [&] {
        kelvor->StatTimer->setChecked(true);
        if (art == QLatin1String("alleDrei")) {
            kelvor->PingTimer->setChecked(true);
            kelvor->ZeitTimer->setChecked(true);
        }
        if (art == QLatin1String("ohneTracking"))
            kelvor->Tracking->setChecked(false);
        // The time counts from the poll's first tick on.
        QObject::connect(kelvor->Link()->StatusTimer, &TTimer::timeout, kelvor, [&] {
            if (w0)
                return;
            w0 = MonotonNs();
            cpu0 = rechenzeitMs();
            QTimer::singleShot(sekunden * 1000, kelvor, [&] {
                const double cpu = rechenzeitMs() - cpu0;
                const double wand = double(MonotonNs() - w0) / 1e6;
                ErgebnisMelden(QStringLiteral("%1 %2 %3 %4 %5")
                                   .arg(cpu, 0, 'f', 1)
                                   .arg(wand, 0, 'f', 1)
                                   .arg(beantwortet)
                                   .arg(kelvor->LBError->count())
                                   .arg(dialoge.Boxen + dialoge.Modal));
                kelvor->close();
            });
        });
    });
    QObject::connect(kelvor, &TwKelvor::BefehlBeendet, kelvor, [&](const NeuerBefehl &, TwXQXOfen::TBefehlsEnde wie) {
        if (w0 && wie == TwXQXOfen::TBefehlsEnde::Beantwortet)
            ++beantwortet;
    });
    const int rc = app.exec();
    SetDialogHook(nullptr);
    return rc;
}
KELVOR_KIND("rechenzeit", rechenzeitKind);

struct TRechenzeit
{
    double cpu = 0, wand = 0;
    int beantwortet = 0, fehler = 0, boxen = 0;
    double prozent() const { return cpu / wand * 100; }
    // A poll that got nowhere would cost nothing.
    bool gueltig() const { return wand > 0 && beantwortet > 0 && boxen == 0; }
};

TRechenzeit lesen(const TKind &k)
{
    const QStringList &e = k.Ergebnis;
    return {e.value(0).toDouble(), e.value(1).toDouble(), e.value(2).toInt(), e.value(3).toInt(), e.value(4).toInt()};
}

std::optional<double> rechenzeitMessen()
{
    constexpr int n = 3;
    QTemporaryDir ordner[n];
    const TOrt ort[n] = {OrtSuchen(4), OrtSuchen(6), OrtSuchen(7)};
    TXqSim sim[n];
    TKind kelvor[n];
    for (int i = 0; i < n; ++i) {
        if (!ort[i].port || !sim[i].start(ort[i].port, ort[i].steuerung, ort[i].pc)) {
            FigurNotiz(QStringLiteral("no free port for the stand-in"));
            return {};
        }
        kelvor[i] = TKind{BenchProgramm(),
                          QStringList{QStringLiteral("--kind"), QStringLiteral("rechenzeit")}
                              + ProgrammArgumente(ordner[i].path(), ort[i]) + QStringList{QString::number(kSekunden)},
                          ort[i].pc, {}, {}};
    }
    kelvor[1].Argumente << QStringLiteral("alleDrei");
    kelvor[2].Argumente << QStringLiteral("ohneTracking");
    if (!KinderLaufen({&kelvor[0], &kelvor[1], &kelvor[2]}, (kSekunden + 60) * 1000)) {
        for (const TKind &k : kelvor)
            if (!k.Fehler.isEmpty())
                FigurNotiz(QFileInfo(k.Programm).fileName() + QStringLiteral(": ") + k.Fehler);
        return {};
    }
    const TRechenzeit mit = lesen(kelvor[0]), drei = lesen(kelvor[1]), ohne = lesen(kelvor[2]);
    FigurNotiz(QStringLiteral("%1 ms user+system in %2 s, %3 commands answered, %4 error lines; "
                              "%5 % with PING and ZEIT ticked too (%6 commands); %7 % with Tracking off")
                   .arg(mit.cpu, 0, 'f', 0)
                   .arg(mit.wand / 1000, 0, 'f', 1)
                   .arg(mit.beantwortet)
                   .arg(mit.fehler)
                   .arg(drei.prozent(), 0, 'f', 2)
                   .arg(drei.beantwortet)
                   .arg(ohne.prozent(), 0, 'f', 2));
    if (!mit.gueltig() || !drei.gueltig() || !ohne.gueltig())
        return {};
    return mit.prozent();
}

} // namespace

KELVOR_FIGUR((TFigur{QStringLiteral("CPU of 60 s of status polling against the stand-in"), 0.5, rechenzeitMessen,
                         QStringLiteral("% of one core"), 2, true, 50}));

// CPU time (user and system) of the program while its status poll runs against the stand-in
// for 60 s: the whole program in the service view with PING, STAT and ZEIT ticked, in a
// process of its own, so that the stand-in's work in this process does not count. A second
// program runs alongside with "Tracking" unticked, the log lists taking no lines: the poll's
// own share, printed beside the figure.
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

// kelvor_bench --kind rechenzeit <folder> <address> <port> <seconds> [ohneTracking]
int rechenzeitKind(int argc, char **argv)
{
    QApplication app(argc, argv);
    const TProgrammOrt ort = ProgrammOrtLesen(argc, argv);
    const int sekunden = ort.Rest.value(0).toInt();
    if (sekunden <= 0)
        return 2;
    const bool ohneTracking = ort.Rest.size() > 1;
    ProgrammOrtSetzen(ort, true);
    TKindDialoge dialoge;
    SetDialogHook(&dialoge);
    qint64 w0 = 0;
    double cpu0 = 0;
    int beantwortet = 0;
    TwKelvor *kelvor = nullptr;
    kelvor = ProgrammStarten(ort, {QStringLiteral("QUAMP")}, [&] {
        for (QCheckBox *b : {kelvor->PingTimer, kelvor->StatTimer, kelvor->ZeitTimer})
            b->setChecked(true);
        if (ohneTracking)
            kelvor->Tracking->setChecked(false);
        // The time counts from the poll's first tick on.
        QObject::connect(kelvor->Links[0]->StatusTimer, &TTimer::timeout, kelvor, [&] {
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
    QTemporaryDir ordner[2];
    const TOrt ort[2] = {OrtSuchen(4), OrtSuchen(6)};
    TXqSim sim[2];
    TKind kelvor[2];
    for (int i = 0; i < 2; ++i) {
        if (!ort[i].port || !sim[i].start(ort[i].port, ort[i].steuerung, ort[i].pc)) {
            FigurNotiz(QStringLiteral("no free port for the stand-in"));
            return {};
        }
        kelvor[i] = TKind{BenchProgramm(),
                          QStringList{QStringLiteral("--kind"), QStringLiteral("rechenzeit")}
                              + ProgrammArgumente(ordner[i].path(), ort[i]) + QStringList{QString::number(kSekunden)},
                          ort[i].pc, {}, {}};
    }
    kelvor[1].Argumente << QStringLiteral("ohneTracking");
    if (!KinderLaufen({&kelvor[0], &kelvor[1]}, (kSekunden + 60) * 1000)) {
        for (const TKind &k : kelvor)
            if (!k.Fehler.isEmpty())
                FigurNotiz(QFileInfo(k.Programm).fileName() + QStringLiteral(": ") + k.Fehler);
        return {};
    }
    const TRechenzeit mit = lesen(kelvor[0]), ohne = lesen(kelvor[1]);
    FigurNotiz(QStringLiteral("%1 ms user+system in %2 s, %3 commands answered, %4 error lines; %5 % with Tracking off")
                   .arg(mit.cpu, 0, 'f', 0)
                   .arg(mit.wand / 1000, 0, 'f', 1)
                   .arg(mit.beantwortet)
                   .arg(mit.fehler)
                   .arg(ohne.prozent(), 0, 'f', 2));
    if (!mit.gueltig() || !ohne.gueltig())
        return {};
    return mit.prozent();
}

} // namespace

KELVOR_FIGUR((TFigur{QStringLiteral("CPU of 60 s of status polling against the stand-in"), 1, rechenzeitMessen,
                         QStringLiteral("% of one core"), 2, false, 50}));

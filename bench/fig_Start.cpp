// Start to the visible main window: the program's own start-up (application object, folder
// table, the eight windows, the main window shown and its first frame painted) in a fresh
// process each time, against a bare Qt program that shows one empty window, started the same
// way in the same run. Each side is the median of several starts, the two taking turns.
#include "bench/Figur.h"
#include "bench/Messen.h"
#include "bench/Programmlauf.h"

#include "XqSim.h"
#include "link/uKelvor.h"

#include <QFileInfo>
#include <QTemporaryDir>
#include <algorithm>

namespace {

constexpr int kStarts = 11;

// kelvor_bench --kind start <folder> <address> <port> <t0> [einrichten]
int startKind(int argc, char **argv)
{
    QApplication app(argc, argv);
    const TProgrammOrt ort = ProgrammOrtLesen(argc, argv);
    if (ort.Rest.isEmpty())
        return 2;
    const qint64 t0 = ort.Rest.at(0).toLongLong();
    // The first start writes the connection values, as somebody would have typed them.
    ProgrammOrtSetzen(ort, ort.Rest.size() > 1);
    TKindDialoge dialoge;
    SetDialogHook(&dialoge);
    TwKelvor *kelvor = nullptr;
    kelvor = ProgrammStarten(ort, {}, [&] {
        const double ms = (MonotonNs() - t0) / 1e6;
        ErgebnisMelden(QString::number(ms, 'f', 2) + u' ' + QString::number(dialoge.Modal + dialoge.Boxen));
        kelvor->close();
    });
    const int rc = app.exec();
    SetDialogHook(nullptr);
    return rc;
}
KELVOR_KIND("start", startKind);

double median(QList<double> werte)
{
    std::sort(werte.begin(), werte.end());
    return werte.at(werte.size() / 2);
}

std::optional<double> startMessen()
{
    QTemporaryDir ordner;
    const TOrt ort = OrtSuchen(5);
    TXqSim sim;
    if (!ort.port || !sim.start(ort.port, ort.steuerung, ort.pc)) {
        FigurNotiz(QStringLiteral("no free port for the stand-in"));
        return {};
    }
    TKind kelvor{BenchProgramm(),
                 QStringList{QStringLiteral("--kind"), QStringLiteral("start")} + ProgrammArgumente(ordner.path(), ort)
                     + QStringList{QStringLiteral("@t0")},
                 ort.pc, {}, {}};
    TKind leer{LeerProgramm(), {QStringLiteral("start"), QStringLiteral("@t0")}, {}, {}, {}};
    const auto lauf = [](TKind &k) {
        if (!KinderLaufen({&k}, 60000)) {
            FigurNotiz(QFileInfo(k.Programm).fileName() + QStringLiteral(": ") + k.Fehler);
            return false;
        }
        if (k.Ergebnis.value(1, QStringLiteral("0")) != QLatin1String("0")) {
            FigurNotiz(QStringLiteral("a box came up at the start"));
            return false;
        }
        return true;
    };

    // First starts, not counted: the settings written, the settings file created, caches warm.
    TKind erster = kelvor;
    erster.Argumente << QStringLiteral("einrichten");
    if (!lauf(erster) || !lauf(leer))
        return {};
    QList<double> k, l;
    for (int i = 0; i < kStarts; ++i) {
        const QList<TKind *> reihe = i % 2 ? QList<TKind *>{&leer, &kelvor} : QList<TKind *>{&kelvor, &leer};
        for (TKind *c : reihe) {
            if (!lauf(*c))
                return {};
            (c == &kelvor ? k : l) << c->Ergebnis.value(0).toDouble();
        }
    }
    const double mk = median(k), ml = median(l);
    FigurNotiz(QStringLiteral("kelvor %1 ms, bare Qt window %2 ms, medians of %3 starts")
                   .arg(mk, 0, 'f', 0)
                   .arg(ml, 0, 'f', 0)
                   .arg(kStarts));
    return mk - ml;
}

} // namespace

KELVOR_FIGUR((TFigur{QStringLiteral("start to visible main window, over a bare Qt window"), 250, startMessen,
                         QStringLiteral("ms"), 0, true, 30}));

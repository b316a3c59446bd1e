// Start with a language file of ordinary size: the program's start to its visible main window
// with a language chosen whose file "Master.<language>" holds about 100 KB, over the same start
// without a language. Both are the start figure's child ("--kind start") in fresh processes,
// the two taking turns; the figure is the difference of the medians.
#include "bench/Figur.h"
#include "bench/Programmlauf.h"

#include "XqSim.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSettings>
#include <QTemporaryDir>
#include <algorithm>

namespace {

constexpr int kStarts = 11;
constexpr qsizetype kGroesse = 100 * 1024;

QByteArray eintrag(const QByteArray &key, const QByteArray &wert)
{
    return key.leftJustified(30, '_') + '=' + wert + "\r\n";
}

// As translators write one: the sections of the three translated windows with the keys they
// look up (the run-time texts of each window's list "Lang" among them), entries for the
// components of each, and the sections of the sibling program's windows, to about 100 KB.
QByteArray sprachdatei()
{
    QByteArray t = "; Kelvor English\r\n[TwShowbox]\r\n";
    for (const char *k : {"TwShowbox.Caption", "Label5.Caption", "Label7.Caption", "OKBtn.Caption", "CancelBtn.Caption"})
        t += eintrag(k, "Text");
    t += eintrag("Lang.Items[0]", "Allocation could not be deleted") + eintrag("Lang.Items[1]", "WARNING");
    for (const char *fenster : {"TwXQXGesamtListe", "TwXQXNachtStarts"}) {
        t += "\r\n[" + QByteArray(fenster) + "]\r\n";
        for (int i = 0; i < 46; ++i)
            t += eintrag("Lang.Items[" + QByteArray::number(i) + ']', "Message text " + QByteArray::number(i));
        for (int i = 0; i < 300; ++i)
            t += eintrag("Komponente" + QByteArray::number(i) + ".Caption", "Caption " + QByteArray::number(i))
                 + eintrag("Komponente" + QByteArray::number(i) + ".Hint", "Two lines\xB0\xB0of hint");
    }
    for (int f = 0; t.size() < kGroesse; ++f) {
        t += "\r\n[TwServerFenster" + QByteArray::number(f) + "]\r\n";
        for (int i = 0; i < 100 && t.size() < kGroesse; ++i)
            t += eintrag("Knopf" + QByteArray::number(i) + ".Caption", "Button text " + QByteArray::number(i));
    }
    return t;
}

// A scenario folder whose registry chooses English and whose program folder holds its file.
bool mitSprache(const QString &ordner)
{
    const QString lang = ordner + QStringLiteral("/prog/Lang");
    QFile datei(lang + QStringLiteral("/Master.English"));
    if (!QDir().mkpath(lang) || !datei.open(QIODevice::WriteOnly) || datei.write(sprachdatei()) < kGroesse)
        return false;
    datei.close();
    QSettings reg(ordner + QStringLiteral("/registry/Torvik/Kelvor.conf"), QSettings::IniFormat);
    reg.setValue(QStringLiteral("Sprache/Sprache"), QStringLiteral("English"));
    reg.sync();
    return reg.status() == QSettings::NoError;
}

double median(QList<double> werte)
{
    std::sort(werte.begin(), werte.end());
    return werte.at(werte.size() / 2);
}

std::optional<double> sprachstartMessen()
{
    QTemporaryDir ohne, mit;
    const TOrt ort = OrtSuchen(28);
    TXqSim sim;
    if (!ort.port || !sim.start(ort.port, ort.steuerung, ort.pc)) {
        FigurNotiz(QStringLiteral("no free port for the stand-in"));
        return {};
    }
    if (!mitSprache(mit.path())) {
        FigurNotiz(QStringLiteral("cannot write the language file"));
        return {};
    }
    const auto kind = [&](const QTemporaryDir &ordner) {
        return TKind{BenchProgramm(),
                     QStringList{QStringLiteral("--kind"), QStringLiteral("start")} + ProgrammArgumente(ordner.path(), ort)
                         + QStringList{QStringLiteral("@t0")},
                     ort.pc, {}, {}};
    };
    TKind a = kind(ohne), b = kind(mit);
    const auto lauf = [](TKind &k) {
        if (!KinderLaufen({&k}, 60000)) {
            FigurNotiz(QStringLiteral("kelvor: ") + k.Fehler);
            return false;
        }
        if (k.Ergebnis.value(1, QStringLiteral("0")) != QLatin1String("0")) {
            FigurNotiz(QStringLiteral("a box came up at the start"));
            return false;
        }
        return true;
    };

    // First starts, not counted: the settings written, caches warm.
    for (TKind *k : {&a, &b}) {
        TKind erster = *k;
        erster.Argumente << QStringLiteral("einrichten");
        if (!lauf(erster))
            return {};
    }
    QList<double> zeitOhne, zeitMit;
    for (int i = 0; i < kStarts; ++i) {
        const QList<TKind *> reihe = i % 2 ? QList<TKind *>{&b, &a} : QList<TKind *>{&a, &b};
        for (TKind *k : reihe) {
            if (!lauf(*k))
                return {};
            (k == &a ? zeitOhne : zeitMit) << k->Ergebnis.value(0).toDouble();
        }
    }
    const double mo = median(zeitOhne), mm = median(zeitMit);
    FigurNotiz(QStringLiteral("with %1 ms, without %2 ms, medians of %3 starts")
                   .arg(mm, 0, 'f', 0)
                   .arg(mo, 0, 'f', 0)
                   .arg(kStarts));
    return mm - mo;
}

} // namespace

KELVOR_FIGUR((TFigur{QStringLiteral("start with a 100 KB language file, over the start without one"), 100,
                     sprachstartMessen, QStringLiteral("ms"), 0, true, 31}));

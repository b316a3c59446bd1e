#pragma once
// One figure of the benchmark: a name, how it is measured and its yardstick. A figure is a
// source file of its own in bench/ that registers itself with KELVOR_FIGUR.
#include <QString>
#include <functional>
#include <optional>

struct TFigur
{
    // Printed as "<Name>: <value> <Einheit> (<note>; goal < <Ziel> <Einheit>)", with "at most"
    // for "<" when Hoechstens is set; the note only when the run left one (FigurNotiz).
    QString Name;
    double Ziel = 0;
    // Runs the measured work once and returns its value; no value reports a failed run, whose
    // reason the figure leaves with FigurNotiz.
    std::function<std::optional<double>()> Messen;
    QString Einheit = QStringLiteral("ms");
    int Stellen = 0;
    bool Hoechstens = false;
    // Figures run and print in this order.
    int Rang = 0;
};

int FigurAnmelden(TFigur figur);
// The note of the figure being measured, printed beside its value.
void FigurNotiz(const QString &text);

#define KELVOR_FIGUR_VERKETTEN2(a, b) a##b
#define KELVOR_FIGUR_VERKETTEN(a, b) KELVOR_FIGUR_VERKETTEN2(a, b)
// `figur` is a TFigur, in brackets: KELVOR_FIGUR((TFigur{...})).
#define KELVOR_FIGUR(figur) \
    static const int KELVOR_FIGUR_VERKETTEN(kelvorFigur, __LINE__) = FigurAnmelden(figur)

// A part of the benchmark that runs in a child process of its own: `kelvor_bench --kind <name>
// <arguments>` calls `f` with the whole command line, before any QApplication exists; its
// return value is the exit code.
using TKindFunktion = int (*)(int argc, char **argv);
int KindAnmelden(const char *name, TKindFunktion f);
#define KELVOR_KIND(name, f) \
    static const int KELVOR_FIGUR_VERKETTEN(kelvorKind, __LINE__) = KindAnmelden(name, f)

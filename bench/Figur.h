#pragma once
// One figure of the benchmark: a name, how it is measured and its yardstick. A figure is a
// source file of its own in bench/ that registers itself with KELVOR_FIGUR.
#include <QString>
#include <functional>

struct TFigur
{
    // Printed as "<Name>: <ms> ms (goal < <ZielMs> ms)".
    QString Name;
    double ZielMs = 0;
    // Runs the measured work once and returns its time in milliseconds; a negative time
    // reports a failure of the run.
    std::function<double()> Messen;
};

int FigurAnmelden(TFigur figur);

#define KELVOR_FIGUR_VERKETTEN2(a, b) a##b
#define KELVOR_FIGUR_VERKETTEN(a, b) KELVOR_FIGUR_VERKETTEN2(a, b)
#define KELVOR_FIGUR(name, zielMs, messen) \
    static const int KELVOR_FIGUR_VERKETTEN(kelvorFigur, __LINE__) = FigurAnmelden(TFigur{name, zielMs, messen})

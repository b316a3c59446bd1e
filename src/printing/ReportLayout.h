#pragma once
// The report "XQBackprogramm" as pages of positioned items, in inches from the top left of an
// A4 page; the painter only draws what this model places.
#include "printing/DruckTabelle.h"

#include <QList>
#include <QRectF>
#include <QSizeF>
#include <QString>
#include <QStringList>

// Captions of the program report (the text connection XQBprgTexte), in column order.
struct TReportTexte
{
    QString Titel, Programm, Nr, Backprogramm, Phase, Temp, Backzeit, Schwaden, Abzug, Umwaelzer, Ausgang,
        PRG_Menge, PRG_SollKT, GBZ, Restzeiten, TEinheit;
};

struct TReportElement
{
    enum TArt { Beschriftung, Rahmen };
    TArt Art = Beschriftung;
    // Inches from the page's top left. A text is drawn inside it, never clipped.
    QRectF Rechteck;
    QString Text;
    qreal Punkt = 10;
    bool Fett = false;
    Qt::Alignment Ausrichtung = Qt::AlignLeft;
    // The detail band's row this item belongs to (index into the rows), -1 for the rest.
    int Zeile = -1;
};

struct TReportSeite
{
    QList<TReportElement> Elemente;
};

struct TReport
{
    QString Titel;
    QSizeF Papier;
    QList<TReportSeite> Seiten;
};

// A4 portrait: the fixed positions reach 11.05 in down, below the end of a Letter page.
inline constexpr QSizeF ReportPapier{8.268, 11.693};
// The region that holds the bands.
inline constexpr QRectF ReportRegion{0.2, 2.0, 7.863, 8.2};
// Band heights.
inline constexpr qreal BandKopfHoehe = 1.5;
inline constexpr qreal BandSpaltenHoehe = 0.3;
inline constexpr qreal BandZeileHoehe = 0.463;
inline constexpr qreal BandRestHoehe = 0.5;

// Lays the rows out: per program a header and column headings before its phase "1", one
// detail row per table row (never split across pages), the rest times after its phase "10";
// the title, date and "Seite: n von m" on every page. No rows still give one page.
TReport ReportXQBackprogramm(const QList<TDruckZeile> &zeilen, const TReportTexte &texte, const QString &seite,
                             const QString &von, const QString &datum);

// The report with every item inside `druckbar`, the part of the paper a printer reaches
// (inches from the paper's top left): all pages moved alike, and shrunk alike only where the
// items cannot fit otherwise. A report that lies inside already (as on a PDF, which reaches
// every edge) comes back as it was.
TReport ReportImDruckbereich(const TReport &report, const QRectF &druckbar);

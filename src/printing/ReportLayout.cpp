#include "printing/ReportLayout.h"

#include <algorithm>

namespace {
// Height of one line of text: the point size and some leading.
qreal zeilenhoehe(qreal punkt) { return punkt / 72.0 * 1.3; }

struct TBand
{
    QList<TReportElement> &ziel;
    QPointF ursprung;
    int zeile;

    // A text at band position (x, y) in a box `breite` wide.
    void text(qreal x, qreal y, qreal breite, const QString &t, qreal punkt, bool fett = false,
              Qt::Alignment a = Qt::AlignLeft)
    {
        TReportElement e;
        e.Rechteck = QRectF(ursprung.x() + x, ursprung.y() + y, breite, zeilenhoehe(punkt));
        e.Text = t;
        e.Punkt = punkt;
        e.Fett = fett;
        e.Ausrichtung = a;
        e.Zeile = zeile;
        ziel << e;
    }
    void rahmen(qreal breite, qreal hoehe)
    {
        TReportElement e;
        e.Art = TReportElement::Rahmen;
        e.Rechteck = QRectF(ursprung, QSizeF(breite, hoehe));
        e.Zeile = zeile;
        ziel << e;
    }
};

// Band1: name, number, quantity, core temperature and total baking time of a program.
void programmKopf(TBand b, const TDruckZeile &z, const TReportTexte &t)
{
    const qreal p = 12;
    const qreal zeile1 = 0.039, zeile2 = 0.339, zeile3 = 0.639, zeile4 = 1.039;
    b.text(0.409, zeile1, 1.0, t.Programm, p, true);
    b.text(1.412, zeile1, 2.25, z.PRGNAME, p, true);
    b.text(3.709, zeile1, 0.3, t.Nr, p, true);
    b.text(4.012, zeile1, 0.6, z.PRGNR, p, true);
    // The values stand right-aligned in one column, their units behind it.
    b.text(0.409, zeile2, 1.75, t.PRG_Menge, p);
    b.text(2.212, zeile2, 0.4, z.MENGE, p, false, Qt::AlignRight);
    b.text(0.409, zeile3, 1.75, t.PRG_SollKT, p);
    b.text(2.212, zeile3, 0.4, z.SOLLKT, p, false, Qt::AlignRight);
    b.text(2.709, zeile3, 0.4, t.TEinheit, p);
    b.text(0.409, zeile4, 1.6, t.GBZ, p);
    b.text(2.012, zeile4, 0.6, z.GBZ, p, false, Qt::AlignRight);
    b.text(2.7, zeile4, 0.4, QStringLiteral("Min"), p);
}

// Band2: the column headings.
void spaltenKoepfe(TBand b, const TReportTexte &t)
{
    const qreal p = 10, y = 0.07;
    b.text(0.156, y, 0.5, t.Phase, p, true);
    b.text(0.694, y, 0.7, t.Temp, p, true);
    b.text(1.412, y, 1.0, t.Backzeit, p, true);
    b.text(2.509, y, 1.4, t.Schwaden, p, true);
    b.text(4.006, y, 1.3, t.Abzug, p, true);
    b.text(5.34, y, 1.3, t.Umwaelzer, p, true);
    b.text(6.663, y, 1.1, t.Ausgang, p, true);
}

// DataBand1: one phase.
void phasenZeile(TBand b, const TDruckZeile &z, const TReportTexte &t)
{
    const qreal p = 10, y = 0.15;
    const QString min = QStringLiteral("Min");
    b.rahmen(ReportRegion.width(), BandZeileHoehe);
    b.text(0.124, y, 0.3, z.NR, p, false, Qt::AlignRight);
    b.text(0.741, y, 0.26, z.T, p);
    b.text(1.009, y, 0.3, t.TEinheit, p);
    b.text(1.412, y, 0.38, z.BZ, p);
    b.text(1.8, y, 0.3, min, p);
    b.text(2.487, y, 0.37, z.SW, p, false, Qt::AlignRight);
    b.text(2.887, y, 0.7, z.SZ, p);
    b.text(3.684, y, 0.29, z.AZ, p, false, Qt::AlignRight);
    b.text(4.0, y, 0.2, QStringLiteral("%"), p);
    b.text(4.284, y, 0.4, z.AB, p);
    b.text(4.7, y, 0.3, min, p);
    b.text(5.281, y, 0.4, z.UM, p);
    b.text(5.7, y, 0.27, min, p);
    b.text(5.981, y, 0.45, z.UZ, p);
    b.text(6.484, y, 0.5, z.AU, p);
    b.text(7.0, y, 0.27, min, p);
    b.text(7.284, y, 0.45, z.AUZ, p);
}

// Band3: the rest times, each under its device's column.
void restZeiten(TBand b, const TDruckZeile &z, const TReportTexte &t)
{
    const qreal p = 12, y = 0.079;
    b.text(0.309, y, 2.0, t.Restzeiten, p);
    b.text(2.412, y, 0.6, z.SCHZ, p, false, Qt::AlignRight);
    b.text(4.012, y, 0.6, z.ABZZ, p, false, Qt::AlignRight);
    b.text(5.312, y, 0.6, z.UMWZ, p, false, Qt::AlignRight);
    b.text(6.712, y, 0.6, z.AUSZ, p, false, Qt::AlignRight);
}
} // namespace

TReport ReportXQBackprogramm(const QList<TDruckZeile> &zeilen, const TReportTexte &texte, const QString &seite,
                             const QString &von, const QString &datum)
{
    TReport r;
    r.Titel = QStringLiteral("XQBackprogramm");
    r.Papier = ReportPapier;
    r.Seiten.append(TReportSeite());
    qreal y = 0; // filled height of the region on the current page

    // A band goes on the current page when it fits, else on a new one; it is never split.
    auto platz = [&](qreal hoehe) -> TBand {
        if (y > 0 && y + hoehe > ReportRegion.height() + 1e-9) {
            r.Seiten.append(TReportSeite());
            y = 0;
        }
        TBand b{r.Seiten.last().Elemente, QPointF(ReportRegion.left(), ReportRegion.top() + y), -1};
        y += hoehe;
        return b;
    };

    // One program's block (6.93 in) fits the region once, so every program begins a page; the
    // header's start-on-a-new-page flag could only be set by a row "10" and so never acts.
    for (int i = 0; i < zeilen.size(); ++i) {
        const TDruckZeile &z = zeilen[i];
        if (z.NR == QLatin1String("1")) {
            TBand kopf = platz(BandKopfHoehe);
            kopf.zeile = i;
            programmKopf(kopf, z, texte);
            TBand spalten = platz(BandSpaltenHoehe);
            spalten.zeile = i;
            spaltenKoepfe(spalten, texte);
        }
        TBand zeile = platz(BandZeileHoehe);
        zeile.zeile = i;
        phasenZeile(zeile, z, texte);
        if (z.NR == QLatin1String("10")) {
            TBand rest = platz(BandRestHoehe);
            rest.zeile = i;
            restZeiten(rest, z, texte);
        }
    }

    const int anzahl = int(r.Seiten.size());
    for (int s = 0; s < anzahl; ++s) {
        TBand seitenBand{r.Seiten[s].Elemente, QPointF(0, 0), -1};
        seitenBand.text(2.7, 1.1, 3.0, texte.Titel, 14, true, Qt::AlignHCenter);
        seitenBand.text(4.8, 11.05, 3.3,
                        QStringList{seite, QString::number(s + 1), von, QString::number(anzahl)}.join(QLatin1Char(' ')),
                        10, false, Qt::AlignRight);
        seitenBand.text(0.2, 11.05, 2.7, datum, 10);
    }
    return r;
}

TReport ReportImDruckbereich(const TReport &report, const QRectF &druckbar)
{
    QRectF belegt;
    for (const TReportSeite &seite : report.Seiten)
        for (const TReportElement &e : seite.Elemente)
            belegt = belegt.isNull() ? e.Rechteck : belegt.united(e.Rechteck);
    const qreal toleranz = 1e-6;
    if (belegt.isNull() || druckbar.isEmpty()
        || (belegt.left() >= druckbar.left() - toleranz && belegt.top() >= druckbar.top() - toleranz
            && belegt.right() <= druckbar.right() + toleranz && belegt.bottom() <= druckbar.bottom() + toleranz))
        return report;
    const qreal massstab = std::min({1.0, druckbar.width() / belegt.width(), druckbar.height() / belegt.height()});
    // Moved no further than it must, so a side that fits keeps its place.
    const qreal x = std::clamp(belegt.left(), druckbar.left(), druckbar.right() - belegt.width() * massstab);
    const qreal y = std::clamp(belegt.top(), druckbar.top(), druckbar.bottom() - belegt.height() * massstab);
    TReport r = report;
    for (TReportSeite &seite : r.Seiten)
        for (TReportElement &e : seite.Elemente) {
            const QRectF &alt = e.Rechteck;
            e.Rechteck = QRectF(x + (alt.left() - belegt.left()) * massstab, y + (alt.top() - belegt.top()) * massstab,
                                alt.width() * massstab, alt.height() * massstab);
            e.Punkt *= massstab;
        }
    return r;
}

// The report's layout model and the choice of pages, without painting.
#include "support/DruckHilfe.h"

#include "printing/ReportAusgabe.h"
#include "printing/ReportLayout.h"

#include <QtTest>

namespace {
TReportTexte texte(const QString &einheit = QStringLiteral("°C"))
{
    return {"XQ-Backprogramm", "Programm", "Nr.", "Backprogramm", "Phase", "Temp", "Backzeit", "Schwaden",
            "Schw. Abzug", "Umwälzer", "Ausgang", "Menge", "SollKerntemperatur", "Gesamtbackzeit", "Restzeiten: ",
            einheit};
}

QList<TDruckZeile> zeilen(int programme)
{
    TBackprogrammListe liste = freieListe();
    for (int i = 1; i <= programme; ++i)
        liste[i] = beispielProgramm("P" + QByteArray::number(i));
    return DruckZeilen(liste, 1, 199, false, false, StandardKnopfTexte(false));
}

bool enthaelt(const QRectF &aussen, const QRectF &innen)
{
    return innen.left() >= aussen.left() - 1e-9 && innen.top() >= aussen.top() - 1e-9 &&
           innen.right() <= aussen.right() + 1e-9 && innen.bottom() <= aussen.bottom() + 1e-9;
}

QStringList texteDerSeite(const TReportSeite &s)
{
    QStringList t;
    for (const TReportElement &e : s.Elemente)
        if (e.Art == TReportElement::Beschriftung)
            t << e.Text;
    return t;
}
} // namespace

class TstReport : public QObject
{
    Q_OBJECT
private slots:
    void eineSeiteProProgramm()
    {
        const QList<TDruckZeile> z = zeilen(3);
        const TReport r = ReportXQBackprogramm(z, texte(QStringLiteral("°F")), "Seite:", "von", "Dienstag, 5. März 2024");
        QCOMPARE(r.Seiten.size(), 3);
        const QRectF papier(QPointF(0, 0), r.Papier);
        for (int s = 0; s < 3; ++s) {
            const TReportSeite &seite = r.Seiten[s];
            // Header, headings, ten framed rows and the rest times, in that order, inside the region.
            QList<int> zeilenFolge;
            int rahmen = 0;
            qreal oben = 0;
            for (const TReportElement &e : seite.Elemente) {
                QVERIFY(enthaelt(papier, e.Rechteck));
                if (e.Zeile < 0)
                    continue;
                QVERIFY2(enthaelt(ReportRegion, e.Rechteck), qPrintable(e.Text));
                QCOMPARE(e.Zeile / 10, s);
                if (zeilenFolge.isEmpty() || zeilenFolge.last() != e.Zeile)
                    zeilenFolge << e.Zeile;
                if (e.Art == TReportElement::Rahmen) {
                    ++rahmen;
                    QVERIFY(e.Rechteck.top() >= oben);
                    QCOMPARE(e.Rechteck.height(), BandZeileHoehe);
                    oben = e.Rechteck.bottom();
                }
            }
            QCOMPARE(rahmen, 10);
            QCOMPARE(zeilenFolge.size(), 10);
            QVERIFY(std::is_sorted(zeilenFolge.begin(), zeilenFolge.end()));
            const QStringList t = texteDerSeite(seite);
            for (const QString &einmal : {QStringLiteral("Programm"), QStringLiteral("Phase"), QStringLiteral("Umwälzer"),
                                          QStringLiteral("Restzeiten: "), QStringLiteral("XQ-Backprogramm"),
                                          QStringLiteral("P%1").arg(s + 1), QStringLiteral("Seite: %1 von 3").arg(s + 1),
                                          QStringLiteral("Dienstag, 5. März 2024")})
                QVERIFY2(t.count(einmal) == 1, qPrintable(einmal));
            // The unit in the header and in every row.
            QCOMPARE(t.count(QStringLiteral("°F")), 11);
        }
    }

    void leererBericht()
    {
        const TReport r = ReportXQBackprogramm({}, texte(), "Seite:", "von", "heute");
        QCOMPARE(r.Seiten.size(), 1);
        QCOMPARE(texteDerSeite(r.Seiten[0]), (QStringList{"XQ-Backprogramm", "Seite: 1 von 1", "heute"}));
    }

    void einZuHohesProgrammBrichtZwischenZeilen()
    {
        // Rows of a program that outgrow the page move whole to the next one.
        QList<TDruckZeile> z = zeilen(1);
        const QList<TDruckZeile> zehn = z;
        for (int i = 0; i < 3; ++i)
            for (TDruckZeile r : zehn.mid(1, 8))
                z.insert(9, r);
        const TReport r = ReportXQBackprogramm(z, texte(), "Seite:", "von", "heute");
        QCOMPARE(r.Seiten.size(), 3);
        for (const TReportSeite &s : r.Seiten)
            for (const TReportElement &e : s.Elemente)
                if (e.Zeile >= 0)
                    QVERIFY(enthaelt(ReportRegion, e.Rechteck));
    }

    void seitenWahl()
    {
        const struct
        {
            TDruckBereich bereich;
            int von, bis;
            const char *auswahl;
            QList<int> seiten;
        } faelle[] = {
            {TDruckBereich::Alle, 0, 0, "", {1, 2, 3, 4, 5}},
            {TDruckBereich::Seiten, 2, 3, "", {2, 3}},
            {TDruckBereich::Seiten, 4, 9, "", {4, 5}},
            {TDruckBereich::Seiten, 3, 2, "", {}},
            {TDruckBereich::Auswahl, 0, 0, "1, 3-4,4,x,9", {1, 3, 4}},
            {TDruckBereich::Auswahl, 0, 0, "4-", {4, 5}},
        };
        for (const auto &f : faelle) {
            TRvSystem sys;
            sys.Bereich = f.bereich;
            sys.SeiteVon = f.von;
            sys.SeiteBis = f.bis;
            sys.Auswahl = QString::fromLatin1(f.auswahl);
            QCOMPARE(SeitenWahl(sys, 5), f.seiten);
        }
    }
};

QTEST_MAIN(TstReport)
#include "tst_Report.moc"

// The print table's rows: values per phase, free slots, column switches, and the table file.
#include "support/DruckHilfe.h"
#include "support/TestUmgebung.h"

#include "app/Sammlung.h"
#include "printing/DruckTabelle.h"

#include <QtSql>
#include <QtTest>

namespace {
// A program whose phases run through the cases of the value table.
TBackprogramm wertProgramm()
{
    TBackprogramm p;
    InitBPrgRecord(p);
    p.Name.setText("Roggen 80/20");
    p.Nummer = 77; // the print shows the slot, not this
    p.Menge = 12;
    p.SollKT = 96;
    auto &ph = p.Phasen;
    ph[0] = {.Temperatur = 250, .Backzeit = 65, .Schwaden = 0, .UmwaelzerZeit = 65, .AusgangZeit = 0, .AbzugZeit = 0};
    ph[1] = {.Temperatur = 0, .AbzugProzent = 0, .Backzeit = 0, .Schwaden = 0, .AbzugZeit = 30};
    ph[2] = {.Temperatur = 220, .AbzugProzent = 40, .Backzeit = 6000, .Schwaden = 90, .AbzugZeit = 0};
    ph[3] = {.Temperatur = 210, .AbzugProzent = 100, .Backzeit = 60, .Schwaden = 25, .AbzugZeit = 6000};
    // Phase 11 neither prints nor counts.
    ph[10] = {.Temperatur = 999, .Backzeit = 999, .Schwaden = 999, .UmwaelzerZeit = 999, .AusgangZeit = 999, .AbzugZeit = 999};
    return p;
}
} // namespace

class TstDruckwerte : public QObject
{
    Q_OBJECT
private slots:
    void strichOderZahl()
    {
        QCOMPARE(StrichOderZahl(0, 3), QStringLiteral("---"));
        QCOMPARE(StrichOderZahl(0, 2), QStringLiteral("--"));
        QCOMPARE(StrichOderZahl(-7, 3), QStringLiteral("-7"));
        QCOMPARE(StrichOderZahl(180, 3), QStringLiteral("180"));
    }

    void zeilenwerte()
    {
        const QList<TDruckZeile> z = ProgrammZeilen(wertProgramm(), 5, false, true, StandardKnopfTexte(false));
        QCOMPARE(z.size(), 10);
        // Header columns in every row: total 65+6000+60 s, rest times against each sum.
        for (const TDruckZeile &r : z) {
            QCOMPARE(r.PRGNAME, QStringLiteral("Roggen 80/20"));
            QCOMPARE(r.PRGNR, QStringLiteral("5"));
            QVERIFY(r.MENGE == QLatin1String("12"));
            QVERIFY(r.SOLLKT == QLatin1String("96"));
            QCOMPARE(r.GBZ, QStringLiteral("102:05"));
            QCOMPARE(r.AUSZ, QStringLiteral("102:05"));
            QCOMPARE(r.UMWZ, QStringLiteral("101:00"));
            QCOMPARE(r.ABZZ, QStringLiteral("01:35"));
            QCOMPARE(r.SCHZ, QStringLiteral("100:10"));
        }
        // NR, T, BZ, SZ, SW, AZ, AB, UZ, UM, AUZ, AU of phases 1 to 4 and 10.
        const QList<QStringList> want{
            {"1", "250", "01:05", "min zu", "", "--", "", "aus", "01:05", "0", ""},
            {"2", "---", "--:--", "s auf", "0", "0", "00:30", "an", "", "1", ""},
            {"3", "220", "100:00", "min zu", "01:30", "40", "", "aus", "", "0", ""},
            {"4", "210", "01:00", "s auf", "25", "100", "100:00", "an", "", "1", ""},
        };
        auto teil = [](const TDruckZeile &r) {
            return QStringList{r.NR, r.T, r.BZ, r.SZ, r.SW, r.AZ, r.AB, r.UZ, r.UM, r.AUZ, r.AU};
        };
        for (int k = 0; k < want.size(); ++k)
            QCOMPARE(teil(z[k]), want[k]);
        QCOMPARE(teil(z[9]), (QStringList{"10", "---", "--:--", "s auf", "0", "--", "", "an", "", "1", ""}));

        // Equal sums give 00:00, larger ones "--" in front; the litre mode changes the even label only.
        TBackprogramm p = wertProgramm();
        p.Phasen[0].AusgangZeit = 6125;
        p.Phasen[0].UmwaelzerZeit = 6185;
        const TDruckZeile l = ProgrammZeilen(p, 5, false, true, StandardKnopfTexte(true))[1];
        QVERIFY(l.AUSZ == QLatin1String("00:00"));
        QVERIFY(l.UMWZ == QLatin1String("--01:00"));
        QVERIFY(l.SZ == QLatin1String("liter"));
        QVERIFY(l.SW == QLatin1String("0"));
    }

    void spaltenAus()
    {
        const TKnopfTexte k = StandardKnopfTexte(false);
        for (const auto &[umwAus, ausgEin] : QList<QPair<bool, bool>>{{true, false}, {false, true}}) {
            for (const TDruckZeile &r : ProgrammZeilen(wertProgramm(), 1, umwAus, ausgEin, k)) {
                QCOMPARE(r.UZ == QLatin1String("--") && r.UM == QLatin1String("--"), umwAus);
                QCOMPARE(r.AUZ == QLatin1String("--") && r.AU == QLatin1String("--"), !ausgEin);
            }
        }
    }

    void freieSlotsUndBereich()
    {
        TBackprogrammListe liste = freieListe();
        liste[2] = wertProgramm();
        liste[3] = wertProgramm();
        liste[3].Name.setText("fladenbrot"); // a lower-case f counts as free
        liste[4] = wertProgramm();
        liste[4].Name.setText("");           // an empty name prints
        liste[5] = wertProgramm();
        liste[5].Name.setText("Fladen");
        const TBackprogrammListe vorher = liste;
        const QList<TDruckZeile> z = DruckZeilen(liste, 1, 199, false, false, StandardKnopfTexte(false));
        QCOMPARE(z.size(), 30);
        QStringList nummern;
        for (int i = 0; i < z.size(); i += 10)
            nummern << z[i].PRGNR;
        QCOMPARE(nummern, (QStringList{"2", "4", "5"}));
        QCOMPARE(z[10].PRGNAME, QString());
        QCOMPARE(liste[2].Nummer, 2);
        QCOMPARE(liste[3].Nummer, vorher[3].Nummer);
        QVERIFY(DruckZeilen(liste, 10, 5, false, false, StandardKnopfTexte(false)).isEmpty());
        QCOMPARE(DruckZeilen(liste, 5, 250, false, false, StandardKnopfTexte(false)).size(), 10);
    }

    void tabelle()
    {
        TTestUmgebung env;
        const QString pfad = env.exeDir() + QStringLiteral("XQTempDB.db");
        TBackprogrammListe liste = freieListe();
        liste[1] = beispielProgramm("Er sagt \"Brot\", 'ja'");
        liste[2] = beispielProgramm("Zwei");
        const QList<TDruckZeile> zeilen = DruckZeilen(liste, 1, 199, false, true, StandardKnopfTexte(false));
        TDruckTabelle t(QStringLiteral("t1"));
        // Twice in a row: the second run deletes the file the first one still holds open.
        for (int lauf = 0; lauf < 2; ++lauf) {
            QVERIFY2(t.Anlegen(pfad), qPrintable(t.Fehler()));
            QVERIFY2(t.Einfuegen(zeilen), qPrintable(t.Fehler()));
            QList<TDruckZeile> gelesen;
            QVERIFY2(t.Oeffnen(gelesen), qPrintable(t.Fehler()));
            QCOMPARE(gelesen, zeilen);
        }
        // The table holds exactly the rows, as plain text columns.
        {
            QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("pruefen"));
            db.setDatabaseName(pfad);
            QVERIFY(db.open());
            QSqlQuery q(QStringLiteral("SELECT PRGNAME, typeof(PRGNAME), count(*) FROM XQTempDB"), db);
            QVERIFY(q.next());
            QCOMPARE(q.value(1).toString(), QStringLiteral("text"));
            QCOMPARE(q.value(2).toInt(), 20);
        }
        QSqlDatabase::removeDatabase(QStringLiteral("pruefen"));
        // A failed insert leaves no row behind.
        QVERIFY(t.Anlegen(pfad));
        t.Schliessen();
        QVERIFY(!t.Einfuegen(zeilen));
        QVERIFY(!t.Fehler().isEmpty());
    }
};

QTEST_MAIN(TstDruckwerte)
#include "tst_Druckwerte.moc"

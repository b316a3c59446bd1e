// The self-test's patterns and checks, without any window.
#include "support/Listeneditor.h"

#include "programs/Selbsttest.h"

#include <QtTest>
#include <memory>

namespace {
using TListePtr = std::unique_ptr<TBackprogrammListe>;

TListePtr freieListe() { return std::make_unique<TBackprogrammListe>(FreieListe()); }

// The text form a slot has after it went through it once.
QByteArray textform(const TBackprogramm &p) { return BPrgTextSchreiben(p, true); }

// Each slot's record through its text form, as a transfer carries it.
void durchTextform(TBackprogrammListe &liste)
{
    for (int i = 1; i <= 199; ++i) {
        TBackprogramm gelesen;
        BPrgTextLesen(textform(liste[size_t(i)]), gelesen);
        liste[size_t(i)] = gelesen;
    }
}

TNamenListe namenVon(const TBackprogrammListe &liste)
{
    TNamenListe n;
    for (int i = 0; i < 200; ++i)
        n[size_t(i)] = liste[size_t(i)].Name.text();
    return n;
}
} // namespace

class TstSelbsttest : public QObject
{
    Q_OBJECT
private slots:
    void vollesMuster()
    {
        TListePtr liste = freieListe();
        TNamenListe namen;
        VollesMusterErzeugen(*liste, namen);
        const TBackprogramm &s7 = (*liste)[7];
        QCOMPARE(s7.Name.text(), QByteArray("PrgTest07"));
        QCOMPARE(namen[7], QByteArray("PrgTest07"));
        QCOMPARE((*liste)[199].Name.text(), QByteArray("PrgTest199"));
        QVERIFY(s7.Phasen[0].Temperatur == 207);
        QVERIFY(s7.Phasen[0].Backzeit == 420);
        QVERIFY(s7.Phasen[9].AbzugZeit == 4200 - 45);
        QVERIFY(s7.Phasen[1].Umwaelzer == 1);
        QVERIFY(s7.Phasen[0].Umwaelzer == 0);
        QVERIFY(s7.Phasen[10] == TBackPhase{});
        QCOMPARE((*liste)[100].Phasen[4].Backzeit, 5940u);
        TBackprogramm s107 = (*liste)[107];
        s107.Name = s7.Name;
        s107.Nummer = s107.Menge = s107.SollKT = 7;
        QCOMPARE(s107, s7);
        QCOMPARE(VollesMusterPruefen(*liste, namen, true), QByteArray("fehlerfrei"));
        // Through the text form, as a transfer carries it, nothing that is checked changes.
        durchTextform(*liste);
        QCOMPARE(VollesMusterPruefen(*liste, namenVon(*liste), true), QByteArray("fehlerfrei"));
    }

    void vollesMusterFehler_data()
    {
        QTest::addColumn<int>("aenderung");
        QTest::addColumn<bool>("mitKern");
        QTest::addColumn<QByteArray>("ergebnis");
        // 1 quantity, 2 core temperature, 4 phase 3 steam, 8 phase 6 temperature, 16 closing
        // phase's exhaust, 32 names-table entry
        QTest::newRow("Menge") << 1 << true << QByteArray("07-1.4-");
        QTest::newRow("Menge und Kern, ohne Kern") << 3 << false << QByteArray("07-1.36-");
        QTest::newRow("nur Kern") << 2 << true << QByteArray("07-1.32-");
        QTest::newRow("nur Kern, ohne Kern") << 2 << false << QByteArray("fehlerfrei");
        QTest::newRow("erster Phasenfehler") << 4 + 8 << true << QByteArray("07-2.3-");
        QTest::newRow("Kopf vor Phase") << 32 + 8 << true << QByteArray("07-1.2-");
        QTest::newRow("Schlussphase") << 16 << true << QByteArray("07-3-");
    }
    void vollesMusterFehler()
    {
        QFETCH(int, aenderung);
        QFETCH(bool, mitKern);
        QFETCH(QByteArray, ergebnis);
        TListePtr liste = freieListe();
        TNamenListe namen;
        VollesMusterErzeugen(*liste, namen);
        TBackprogramm &p = (*liste)[7];
        if (aenderung & 1)
            p.Menge = 8;
        if (aenderung & 2)
            p.SollKT = 90;
        if (aenderung & 4)
            p.Phasen[2].Schwaden = 9;
        if (aenderung & 8)
            p.Phasen[5].Temperatur = 1;
        if (aenderung & 16)
            p.Phasen[9].AbzugZeit += 1;
        if (aenderung & 32)
            namen[7] = "PrgTest7";
        QCOMPARE(VollesMusterPruefen(*liste, namen, mitKern), ergebnis);
    }

    void halbesMuster()
    {
        TListePtr liste = freieListe();
        TNamenListe namen;
        (*liste)[5].SollKT = 77;
        HalbesMusterErzeugen(*liste, namen);
        QCOMPARE((*liste)[5].Name.text(), QByteArray("PrgTest_X_05"));
        QCOMPARE((*liste)[5].SollKT, 77);
        QVERIFY((*liste)[5].Phasen[1].UmwaelzerZeit == 2 * 300 - 2);
        QVERIFY((*liste)[5].Phasen[2] == TBackPhase{});
        QCOMPARE(HalbesMusterPruefen(*liste, namen), QByteArray("fehlerfrei"));
        durchTextform(*liste);
        QCOMPARE(HalbesMusterPruefen(*liste, namenVon(*liste)), QByteArray("fehlerfrei"));

        // The last error of a slot is the one reported; the core temperature never counts.
        HalbesMusterErzeugen(*liste, namen);
        (*liste)[7].Menge = 1;
        (*liste)[7].SollKT = 1;
        (*liste)[8].Menge = 1;
        (*liste)[8].Phasen[0].Luft = 1;
        (*liste)[8].Phasen[6].AbzugProzent = 3;
        (*liste)[9].Phasen[2].AbzugZeit = 1;
        (*liste)[10].Phasen[1].AusgangZeit = 1;
        QCOMPARE(HalbesMusterPruefen(*liste, namen), QByteArray("07-1-08-5-09-4-10-3-"));
    }
};

QTEST_MAIN(TstSelbsttest)
#include "tst_Selbsttest.moc"

// What the list editor hands the link and reads back, without any window: the BPRG parameters
// of one program, the twelve chunks of a whole list, and the self-test's patterns and checks.
#include "support/Listeneditor.h"

#include "app/Zahlformat.h"
#include "programs/Listenteile.h"
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

class TstListenteile : public QObject
{
    Q_OBJECT
private slots:
    void parameter()
    {
        TBackprogramm p = BeispielProgramm("Weizen");
        const QByteArray schreiben = BprgSchreibParameter(10, p);
        QVERIFY(schreiben.startsWith("000A\t##HEAD\t"));
        QVERIFY(!schreiben.contains('\r'));
        QVERIFY(!schreiben.contains('\n'));
        QCOMPARE(schreiben.mid(5).replace('\t', "\r\n"), textform(p));
        p.Name.setText("frei free libre");
        QCOMPARE(BprgSchreibParameter(10, p), QByteArray("DELETE\t000A"));
        QCOMPARE(BprgLeseParameter(199), QByteArray("00C7"));
    }

    void teileAufbau()
    {
        const QList<QByteArray> teile = ListenteileBilden(*freieListe());
        QCOMPARE(teile.size(), 12);
        const QByteArray frei = StrToHexDump(textform(FreieListe()[0]));
        for (int k = 1; k <= 12; ++k) {
            QByteArray erwartet;
            for (int i = ListenteilVon(k); i <= ListenteilBis(k); ++i)
                erwartet += FormatDec(i, 2) + '\t' + frei + '\t';
            QCOMPARE(teile[k - 1], erwartet);
        }
        QVERIFY(teile[0].startsWith("00\t"));
        QVERIFY(teile[6].startsWith("103\t"));
        QVERIFY(teile[11].startsWith("188\t"));
        QCOMPARE(teile[0].count('\t'), 2 * 18);
        QCOMPARE(teile[11].count('\t'), 2 * 12);
    }

    // Full programs make chunks past the queue's old line limit; they come back whole.
    void volleTeileHinUndZurueck()
    {
        TListePtr liste = freieListe();
        for (int i = 0; i <= 199; ++i)
            (*liste)[size_t(i)] = VollesProgramm(i);
        (*liste)[190] = FreieListe()[0];
        const QList<QByteArray> teile = ListenteileBilden(*liste);
        for (int k = 0; k < 11; ++k)
            QVERIFY2(teile[k].size() > 32766, QByteArray::number(teile[k].size()).constData());
        TListePtr zurueck = freieListe();
        ListenteileLesen(teile.join(), *zurueck);
        // Slot 0 is never read back.
        QCOMPARE((*zurueck)[0], FreieListe()[0]);
        // Each slot as its whole text form reads.
        for (int i = 1; i <= 199; ++i) {
            TBackprogramm gelesen;
            BPrgTextLesen(textform((*liste)[size_t(i)]), gelesen);
            QCOMPARE((*zurueck)[size_t(i)], gelesen);
        }
    }

    void teileLesenNachsichtig()
    {
        const QByteArray prg = StrToHexDump(textform(BeispielProgramm("Roggen")));
        // Numbers out of range, a text that is no program and a missing last TAB.
        const QByteArray puffer = "00\t" + prg + "\t200\t" + prg + "\t-1\t" + prg + "\t3\t" + StrToHexDump("kaputt")
                                  + "\tx\t" + prg + "\t007\t" + prg;
        TListePtr liste = freieListe();
        (*liste)[3] = BeispielProgramm("alt");
        ListenteileLesen(puffer, *liste);
        for (int i = 0; i < 200; ++i)
            QCOMPARE((*liste)[size_t(i)].Name.text(), i == 7 ? QByteArray("Roggen") : BPrgFreiName.toByteArray());

        // A later entry of the same program holds, also when it carries no program.
        ListenteileLesen("05\t" + prg + "\t05\t" + StrToHexDump("kaputt") + "\t06\t" + prg + "\t06\t\t", *liste);
        for (int i : {5, 6}) {
            QCOMPARE((*liste)[size_t(i)].Name.text(), BPrgFreiName.toByteArray());
            QCOMPARE((*liste)[size_t(i)].Nummer, -1);
            QCOMPARE((*liste)[size_t(i)].Phasen, FreieListe()[size_t(i)].Phasen);
        }
    }

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

QTEST_MAIN(TstListenteile)
#include "tst_Listenteile.moc"

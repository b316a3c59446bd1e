// Limits, sums and the texts of the questions, without a window.
#include "programs/Programmpruefung.h"

#include <QtTest>

namespace {
const QStringList lang = ListenEditorTexte();

TBackprogramm leer()
{
    TBackprogramm p;
    InitBPrgRecord(p);
    return p;
}
} // namespace

class TstProgrammpruefung : public QObject
{
    Q_OBJECT
private slots:
    void texte()
    {
        QCOMPARE(lang.size(), 46);
        QCOMPARE(lang[0], QStringLiteral("s auf"));
        QCOMPARE(lang[22], QStringLiteral("sind außerhalb des maximal zulässigen Bereichs!"));
        QCOMPARE(lang[45], QStringLiteral("Öfen fehlerhaft"));
    }

    // Every limit: L passes, L+1 is flagged and clamped to L.
    void grenzen()
    {
        struct Fall { const char *name; std::function<void(TBackPhase &, qint64)> setzen; std::function<qint64(const TBackPhase &)> lesen; qint64 grenze; bool menge; bool liter; };
        const QList<Fall> faelle{
            {"Temperatur", [](TBackPhase &p, qint64 v) { p.Temperatur = qint32(v); }, [](const TBackPhase &p) { return qint64(p.Temperatur); }, 400, false, false},
            {"Backzeit", [](TBackPhase &p, qint64 v) { p.Backzeit = quint32(v); }, [](const TBackPhase &p) { return qint64(p.Backzeit); }, 5999, false, false},
            {"Schwaden Zeit", [](TBackPhase &p, qint64 v) { p.Schwaden = quint32(v); }, [](const TBackPhase &p) { return qint64(p.Schwaden); }, 59999, false, false},
            {"Schwaden Liter", [](TBackPhase &p, qint64 v) { p.Schwaden = quint32(v); }, [](const TBackPhase &p) { return qint64(p.Schwaden); }, 99, true, true},
            {"Schwaden s", [](TBackPhase &p, qint64 v) { p.Schwaden = quint32(v); }, [](const TBackPhase &p) { return qint64(p.Schwaden); }, 30, true, false},
            {"Umwaelzer", [](TBackPhase &p, qint64 v) { p.UmwaelzerZeit = quint32(v); }, [](const TBackPhase &p) { return qint64(p.UmwaelzerZeit); }, 59999, false, false},
            {"Abzug", [](TBackPhase &p, qint64 v) { p.AbzugZeit = quint32(v); }, [](const TBackPhase &p) { return qint64(p.AbzugZeit); }, 59999, false, false},
            {"Prozent", [](TBackPhase &p, qint64 v) { p.AbzugProzent = quint8(v); }, [](const TBackPhase &p) { return qint64(p.AbzugProzent); }, 100, false, false},
            {"Ausgang", [](TBackPhase &p, qint64 v) { p.AusgangZeit = quint32(v); }, [](const TBackPhase &p) { return qint64(p.AusgangZeit); }, 59999, false, false},
        };
        for (const Fall &f : faelle)
            for (int phase : {0, 9}) {
                TPruefRegeln regeln;
                regeln.schwadenMenge.fill(f.menge);
                regeln.literModus = f.liter;
                TBackprogramm p = leer();
                f.setzen(p.Phasen[size_t(phase)], f.grenze);
                QVERIFY2(!ProgrammBegrenzen(p, regeln), f.name);
                f.setzen(p.Phasen[size_t(phase)], f.grenze + 1);
                QVERIFY2(ProgrammBegrenzen(p, regeln), f.name);
                QCOMPARE(f.lesen(p.Phasen[size_t(phase)]), f.grenze);
            }
        // Phase 11, a negative temperature, quantity and core temperature are never limited.
        TBackprogramm p = leer();
        p.Phasen[10].Backzeit = 99999;
        p.Phasen[0].Temperatur = -500;
        p.Menge = 100000;
        p.SollKT = 100000;
        QVERIFY(!ProgrammBegrenzen(p, TPruefRegeln{}));
        TPruefRegeln niedrig;
        niedrig.maxSollTemp = 250;
        p.Phasen[3].Temperatur = 251;
        QVERIFY(ProgrammBegrenzen(p, niedrig));
        QCOMPARE(p.Phasen[3].Temperatur, 250);
    }

    void bereichsFragen()
    {
        QCOMPARE(BereichsFrage(OpSenden, lang),
                 QStringLiteral("Achtung: einige Werte des aktuellen Backprogramms\r\n"
                                "sind außerhalb des maximal zulässigen Bereichs!\r\n"
                                "Backprogramm kann so nicht gesendet werden!\r\n"
                                "\r\n"
                                "Sollen die betreffenden Werte automatisch\r\n"
                                "mit den Maximalwerten ersetzt werden?\r\n"
                                "\r\n"
                                "(Ja: Werte ersetzen und Backprogramm senden.)\r\n"
                                "(Nein/Abbrechen: Funktionsabbruch.)"));
        QCOMPARE(ListenBereichsFrage(OpDrucken, lang),
                 QStringLiteral("Achtung: einige Werte der Backprogramm-Liste\r\n"
                                "sind außerhalb des maximal zulässigen Bereichs!\r\n"
                                "Backprogramm-Liste kann so nicht gedruckt werden!\r\n"
                                "\r\n"
                                "Sollen die betreffenden Werte automatisch\r\n"
                                "mit den Maximalwerten ersetzt werden?\r\n"
                                "\r\n"
                                "(Ja: Werte ersetzen und Backprogramm-Liste drucken.)\r\n"
                                "(Nein/Abbrechen: Funktionsabbruch.)"));
        QVERIFY(BereichsFrage(OpKeine, lang).contains(QStringLiteral("nicht gespeichert werden!")));
        QVERIFY(BereichsFrage(OpSpeichern, lang).contains(QStringLiteral("Backprogramm speichern.)")));
    }

    void summenFragen()
    {
        QString betroffen;
        BetroffeneAnhaengen(betroffen, 4);
        BetroffeneAnhaengen(betroffen, 17);
        QCOMPARE(ListenSummenFrage(OpSenden, betroffen, lang),
                 QStringLiteral("Achtung: einige Summenzeiten der Backprogramm-Liste\r\n"
                                "entsprechen nicht der Gesamtbackzeit!\r\n"
                                "Eine automatische Korrektur ist nicht möglich!\r\n"
                                "Folgende Backprogramme sind betroffen:\r\n"
                                "4, 17, \r\n"
                                "\r\n"
                                "Soll die Liste dennoch gesendet werden?\r\n"
                                "\r\n"
                                "(Nein/Abbrechen: Funktionsabbruch.)"));
        // Past 40 characters a line ends.
        QString lang40;
        for (int n = 100; n < 112; ++n)
            BetroffeneAnhaengen(lang40, n);
        const QStringList zeilen = lang40.split(QStringLiteral("\r\n"));
        QCOMPARE(zeilen.first(), QStringLiteral("100, 101, 102, 103, 104, 105, 106, 107, 108, "));
        QCOMPARE(zeilen.at(1), QStringLiteral("109, 110, 111, "));

        TSummen s;
        s.gesamt = 600;
        s.umwaelzer = 700;
        s.abzug = 500;
        const TSummenErgebnis e = SummenPruefen(s, TPruefRegeln{}, lang);
        QVERIFY(e.fehler);
        QCOMPARE(SummenMeldung(e.text, lang),
                 QStringLiteral("Umwälzer-Zeiten:\r\n"
                                "größer als die Gesamtbackzeit.\r\n"
                                "Abzug-Zeiten:\r\n"
                                "kleiner als die Gesamtbackzeit.\r\n"
                                "\r\n"
                                "Bitte ändern Sie die entsprechenden Zeitangaben,\r\n"
                                "um das Programm zu senden, speichern oder drucken!"));
    }

    void restzeiten()
    {
        TPruefRegeln regeln;
        TSummen s;
        s.gesamt = 1200;
        s.umwaelzer = 1200;
        s.abzug = 1200;
        s.schwaden = 50;
        s.ausgang = 1500;
        TSummenErgebnis e = SummenPruefen(s, regeln, lang);
        QVERIFY(!e.fehler);
        QVERIFY(e.text.isEmpty());
        QCOMPARE(e.gesamt, QStringLiteral("20:00"));
        QCOMPARE(e.schwadenRest, QStringLiteral("19:10"));
        QVERIFY(!e.umwRot);
        QVERIFY(!e.abzugRot);
        QVERIFY(!e.schwadenRot);
        QVERIFY(!e.ausgRot);
        QVERIFY(e.umwSichtbar);
        QVERIFY(!e.ausgSichtbar);
        // Output counts only with its column on; a smaller output or steam sum is no error.
        regeln.ausgSpalteEin = true;
        e = SummenPruefen(s, regeln, lang);
        QVERIFY(e.fehler);
        QVERIFY(e.ausgRot);
        QVERIFY(e.ausgSichtbar);
        QVERIFY(e.text.startsWith(QStringLiteral("Ausgangs-Zeiten:")));
        QCOMPARE(e.ausgRest, QStringLiteral("--05:00"));
        s.ausgang = 100;
        s.schwaden = 1300;
        e = SummenPruefen(s, regeln, lang);
        QVERIFY(e.fehler);
        QVERIFY(!e.ausgRot);
        QVERIFY(e.schwadenRot);
        QVERIFY(e.text.startsWith(QStringLiteral("Schwaden-Zeiten:")));
        // A smaller fan sum is an error only while the switch says so; it is red either way.
        s.schwaden = 0;
        s.umwaelzer = 600;
        e = SummenPruefen(s, regeln, lang);
        QVERIFY(e.fehler);
        QVERIFY(e.umwRot);
        regeln.summeKleinerIstFehler = false;
        e = SummenPruefen(s, regeln, lang);
        QVERIFY(!e.fehler);
        QVERIFY(e.umwRot);
        // With the fan column off fan times are never compared.
        regeln.summeKleinerIstFehler = true;
        regeln.umwSpalteAus = true;
        e = SummenPruefen(s, regeln, lang);
        QVERIFY(!e.fehler);
        QVERIFY(!e.umwRot);
        QVERIFY(!e.umwSichtbar);
        // All phases 0 passes.
        QVERIFY(!SummenPruefen(TSummen{}, TPruefRegeln{}, lang).fehler);
    }

    void liste()
    {
        TBackprogrammListe l{};
        for (TBackprogramm &p : l)
            p = leer();
        l[4].Phasen[0].Backzeit = 600; // exhaust and fan sums below the total
        l[17].Phasen[0].Backzeit = 600;
        l[30].Phasen[2].Temperatur = 999;
        l[30].Phasen[2].Backzeit = 60;
        l[30].Phasen[2].AbzugZeit = 60;
        l[30].Phasen[2].UmwaelzerZeit = 60;
        const TListenBefund b = ListeAuswerten(l, TPruefRegeln{}, lang);
        QVERIFY(b.bereichsFehler);
        QVERIFY(b.summenFehler);
        QCOMPARE(b.betroffen, QStringLiteral("4, 17, "));
        // Checked without asking: numbered by slot, values as they were.
        QCOMPARE(l[30].Phasen[2].Temperatur, 999);
        QVERIFY(l[1].Nummer == 1);
        QVERIFY(l[199].Nummer == 199);
        QVERIFY(l[0].Nummer == -1);
    }
};

QTEST_GUILESS_MAIN(TstProgrammpruefung)
#include "tst_Programmpruefung.moc"

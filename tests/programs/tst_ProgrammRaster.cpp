// The phase grid without a window: cell texts, the cell check, program <-> cells, keys, row clipboard.
#include "programs/NamenMemo.h"
#include "programs/ProgrammRaster.h"

#include <QtTest>

namespace {
TKnopfZustaende wechselnd()
{
    TKnopfZustaende z{};
    for (size_t i = 0; i < z.size(); ++i)
        z[i] = i % 2 == 1; // even phases on, as the editor starts
    return z;
}
} // namespace

class TstProgrammRaster : public QObject
{
    Q_OBJECT
private slots:
    void texte()
    {
        const QList<QPair<QString, QString>> zeiten{
            {"5:30", "05:30"}, {"05:3", "05:03"}, {"5:3", "05:03"}, {"12", "12:00"}, {"123", "123:00"},
            {"5", "05:00"},    {"", ""},          {" 1 2 ", "12:00"}, {"100:5", "100:5"}, {"abc", "abc:00"}};
        for (const auto &[ein, aus] : zeiten)
            QCOMPARE(ZeitTextNormalisieren(ein), aus);
        const QList<QPair<qint64, QString>> zehntel{{5, "0,5"}, {99, "9,9"}, {123, "12,3"}, {0, ""}, {10, "1,0"}};
        for (const auto &[wert, text] : zehntel)
            QCOMPARE(ZehntelFormatieren(wert), text);
        QCOMPARE(ZahlOderLeer(0), QString());
        QCOMPARE(ZahlOderLeer(0, true), QStringLiteral("0"));
        QCOMPARE(ZahlOderLeer(-7), QStringLiteral("-7"));
        QCOMPARE(StrZuZahlOderNull(QStringLiteral(" 007 ")), 7);
        QCOMPARE(StrZuZahlOderNull(QStringLiteral("2,5")), 0);
        QCOMPARE(StrZuIntOderNull(QStringLiteral("-3")), -3);
    }

    void zellePruefen_data()
    {
        QTest::addColumn<int>("col");
        QTest::addColumn<bool>("menge");
        QTest::addColumn<bool>("liter");
        QTest::addColumn<QString>("ein");
        QTest::addColumn<QString>("abzugZeit");
        QTest::addColumn<QString>("aus");
        QTest::addColumn<QString>("meldung");
        const QString keine;
        auto zeile = [&](const char *name, int col, bool menge, bool liter, const QString &ein, const QString &aus,
                         const QString &meldung = {}, const QString &abzug = {}) {
            QTest::newRow(name) << col << menge << liter << ein << abzug << aus << meldung;
        };
        zeile("temp at limit", 1, false, false, "400", "400");
        zeile("temp above", 1, false, false, "401", "400", "Die maximale Solltemperatur beträgt 400°C!");
        zeile("temp negative stays", 1, false, false, "-50", "-50");
        zeile("temp text stays", 1, false, false, "abc", "abc");
        zeile("bake at limit", 3, false, false, "99:59", "99:59");
        zeile("bake above", 3, false, false, "100", "99:59", "Die maximale Backzeit pro Phase beträgt 99:59 Minuten!");
        zeile("bake minutes", 3, false, false, "5", "05:00");
        zeile("bake 90", 3, false, false, "90", "90:00");
        zeile("bake carries", 3, false, false, "1:75", "02:15");
        zeile("bake no time", 3, false, false, "abc", "");
        zeile("steam time at limit", 5, false, false, "999:59", "999:59");
        zeile("steam time above", 5, false, false, "1000", "999:59", "Die maximale Zeit beträgt 99 Minuten!");
        zeile("steam s at limit", 5, true, false, "30", "30");
        zeile("steam s above", 5, true, false, "31", "30", "Die maximale Zeit beträgt 99 Sekunden!");
        zeile("steam s point", 5, true, false, "2.5", "25");
        zeile("steam s comma", 5, true, false, "2,5", "25");
        zeile("steam s empty", 5, true, false, "", "0");
        zeile("steam s negative", 5, true, false, "-4", "0");
        zeile("litre keeps", 5, true, true, "9,9", "9,9");
        zeile("litre tenth", 5, true, true, "1", "0,1");
        zeile("litre zero", 5, true, true, "0", "");
        zeile("litre above", 5, true, true, "100", "9,9", "Die maximale Schwadenmenge beträgt 9,9 Liter");
        zeile("fan at limit", 11, false, false, "999:59", "999:59");
        zeile("fan above", 11, false, false, "1000:00", "999:59", "Die maximale Umwälzerzeit pro Phase beträgt 999:59 Minuten!");
        zeile("exhaust above", 9, false, false, "1000", "999:59", "Die maximale Abzugzeit pro Phase beträgt 999:59 Minuten!");
        zeile("output above", 14, false, false, "1000", "999:59", "Die maximale Ausgangzeit pro Phase beträgt 999:59 Minuten!");
        zeile("percent at limit", 8, false, false, "100", "100");
        zeile("percent above", 8, false, false, "101", "100", "Der maximale %-Wert pro Phase beträgt 100 %!");
        zeile("percent 300", 8, false, false, "300", "100", "Der maximale %-Wert pro Phase beträgt 100 %!");
        zeile("percent empty without time", 8, false, false, "", "");
        zeile("percent empty with time", 8, false, false, "", "0", keine, "05:00");
    }
    void zellePruefen()
    {
        QFETCH(int, col);
        QFETCH(bool, menge);
        QFETCH(bool, liter);
        QFETCH(QString, ein);
        QFETCH(QString, abzugZeit);
        QFETCH(QString, aus);
        QFETCH(QString, meldung);
        TZellenRegeln regeln;
        regeln.schwadenMenge = menge;
        regeln.literModus = liter;
        const TZellenPruefung e = ZellePruefenText(col, 4, ein, abzugZeit, regeln);
        QCOMPARE(e.text, aus);
        QCOMPARE(e.meldung, meldung);
        // Row 0 is the header and is never touched.
        QCOMPARE(ZellePruefenText(col, 0, ein, abzugZeit, regeln).text, ein);
    }

    void programmUndZellen()
    {
        TBackprogramm p;
        InitBPrgRecord(p);
        p.Prio = 3;
        p.Vorschwaden = 4;
        p.Steuerung.setText("XQ7310");
        p.PrgVersion.setText("1");
        for (int i = 0; i < BPrgPhasenAnzahl; ++i) {
            TBackPhase &ph = p.Phasen[size_t(i)];
            ph.Temperatur = 200 + i;
            ph.Backzeit = 65 * quint32(i + 1);
            ph.Schwaden = 7;
            ph.AbzugZeit = i == 0 ? 0 : 60;
            ph.AbzugProzent = i == 1 ? 0 : 40;
            ph.UmwaelzerZeit = 30;
            ph.AusgangZeit = 90;
            ph.Luft = 5;
            ph.LuftZeit = 11;
            ph.Reserve4 = 1;
            ph.Reserve7 = 2;
            ph.Reserve26 = 9;
        }
        TRasterZellen z;
        ProgrammZuZellen(p, wechselnd(), false, z);
        QCOMPARE(z.at(1, 1), QStringLiteral("200"));
        QCOMPARE(z.at(3, 2), QStringLiteral("02:10"));
        QCOMPARE(z.at(5, 1), QStringLiteral("00:07")); // button off: a time
        QCOMPARE(z.at(5, 2), QStringLiteral("7"));     // on: seconds
        QCOMPARE(z.at(8, 2), QStringLiteral("0"));     // no percentage, but an exhaust time
        QCOMPARE(z.at(9, 1), QString());
        QCOMPARE(z.at(14, 1), QStringLiteral("01:30"));
        TRasterZellen liter;
        ProgrammZuZellen(p, wechselnd(), true, liter);
        QCOMPARE(liter.at(5, 2), QStringLiteral("0,7"));

        TBackprogramm zurueck = p;
        TKnopfZustaende an{};
        an.fill(true);
        ZellenZuProgramm(z, wechselnd(), an, TKnopfZustaende{}, false, zurueck);
        for (int i = 0; i < 10; ++i) {
            TBackPhase erwartet = p.Phasen[size_t(i)];
            erwartet.Umwaelzer = 100;
            erwartet.Ausgang = 0;
            QCOMPARE(zurueck.Phasen[size_t(i)], erwartet);
        }
        // Phase 11 loses its times and keeps the rest; the head fields the grid does not show stay.
        const TBackPhase &elf = zurueck.Phasen[10];
        QVERIFY(elf.Backzeit == 0);
        QVERIFY(elf.Schwaden == 0);
        QVERIFY(elf.UmwaelzerZeit == 0);
        QVERIFY(elf.Reserve26 == 0);
        QVERIFY(elf.AusgangZeit == 0);
        QVERIFY(elf.AbzugZeit == 0);
        QVERIFY(elf.Temperatur == 210);
        QVERIFY(elf.LuftZeit == 11);
        QVERIFY(elf.AbzugProzent == 40);
        QVERIFY(zurueck.Prio == 3);
        QVERIFY(zurueck.Vorschwaden == 4);
        QVERIFY(zurueck.Steuerung.text() == "XQ7310");
        ZellenZuProgramm(liter, wechselnd(), an, an, true, zurueck);
        QCOMPARE(zurueck.Phasen[1].Schwaden, 7u);
    }

    // Texts that got past no check are cut to the field's range, never wrapped.
    void saettigend()
    {
        TRasterZellen z;
        z.at(3, 1) = QStringLiteral("-5:00");
        z.at(8, 1) = QStringLiteral("300");
        z.at(8, 2) = QStringLiteral("-4");
        z.at(5, 2) = QStringLiteral("-9");
        z.at(9, 1) = QStringLiteral("99999999:00");
        TBackprogramm p;
        ZellenZuProgramm(z, wechselnd(), {}, {}, false, p);
        QCOMPARE(p.Phasen[0].Backzeit, 0u);
        QCOMPARE(p.Phasen[0].AbzugProzent, quint8(255));
        QCOMPARE(p.Phasen[1].AbzugProzent, quint8(0));
        QCOMPARE(p.Phasen[1].Schwaden, 0u);
        QCOMPARE(p.Phasen[0].AbzugZeit, 2147483647u);
    }

    void summenUndDaten()
    {
        TRasterZellen z;
        QVERIFY(!ZellenHabenDaten(z));
        z.at(1, 1) = QStringLiteral("0");
        z.at(4, 3) = QStringLiteral("x"); // a separator does not count
        QVERIFY(!ZellenHabenDaten(z));
        z.at(14, 10) = QStringLiteral("00:01");
        QVERIFY(ZellenHabenDaten(z));
        z.at(3, 1) = QStringLiteral("10:00");
        z.at(3, 2) = QStringLiteral("05:00");
        z.at(5, 2) = QStringLiteral("25");
        z.at(11, 1) = QStringLiteral("15:00");
        const TSummen s = SummenAusZellen(z);
        QVERIFY(s.gesamt == 900);
        QVERIFY(s.umwaelzer == 900);
        QVERIFY(s.schwaden == 25);
        QVERIFY(s.ausgang == 1);
        QVERIFY(s.abzug == 0);
    }

    void navigation()
    {
        struct Fall { int col, row; bool vor, tab, umwAus; int zielCol, zielRow; };
        const QList<Fall> faelle{
            {1, 3, true, true, false, 3, 3},     {3, 3, true, false, false, 5, 3},  {5, 3, true, true, false, 8, 3},
            {8, 3, true, true, false, 9, 3},     {9, 3, true, true, false, 11, 3},  {11, 3, true, true, false, 14, 3},
            {14, 3, true, true, false, 1, 4},    {14, 3, true, false, false, 1, 4}, {14, 10, true, true, false, 15, 10},
            {9, 4, true, true, true, 1, 5},      {9, 4, true, false, true, 15, 4},  {9, 10, true, true, true, 10, 10},
            {3, 3, false, true, false, 1, 3},    {5, 3, false, true, false, 3, 3},  {8, 3, false, false, false, 5, 3},
            {9, 3, false, true, false, 8, 3},    {11, 3, false, true, false, 9, 3}, {14, 3, false, true, false, 11, 3},
            {1, 3, false, true, false, 14, 2},   {1, 3, false, true, true, 9, 2},
            // the grid's own moves
            {15, 4, true, true, false, 1, 5},    {15, 10, true, true, false, 1, 1}, {6, 4, false, true, false, 5, 4},
            {15, 4, true, false, false, 15, 4},  {2, 4, false, false, false, 1, 4}, {1, 4, false, false, false, 14, 3},
        };
        for (const Fall &f : faelle) {
            const TNavZiel z = NavigationsZiel(f.col, f.row, f.vor, f.tab, f.umwAus);
            QVERIFY2(z.art == TNavZiel::Zelle,
                     qPrintable(QStringLiteral("%1,%2 -> %3,%4").arg(f.col).arg(f.row).arg(z.col).arg(z.row)));
            QVERIFY2(z.col == f.zielCol,
                     qPrintable(QStringLiteral("%1,%2 -> %3,%4").arg(f.col).arg(f.row).arg(z.col).arg(z.row)));
            QVERIFY2(z.row == f.zielRow,
                     qPrintable(QStringLiteral("%1,%2 -> %3,%4").arg(f.col).arg(f.row).arg(z.col).arg(z.row)));
        }
        QCOMPARE(NavigationsZiel(1, 1, false, true, false).art, TNavZiel::Menge);
        QCOMPARE(NavigationsZiel(1, 1, false, false, true).art, TNavZiel::Menge);
        QCOMPARE(ZeilenZiel(5, 1, true).row, 1);
        QCOMPARE(ZeilenZiel(5, 10, false).row, 10);
        QCOMPARE(ZeilenZiel(5, 4, false).row, 5);
    }

    void zeilenAblage()
    {
        TRasterZellen z;
        const char *koepfe[] = {"°C", "Min:sek", "Zeit", "%", "min", "min", ""};
        const char *werte[] = {"220", "10:00", "00:30", "", "05:00", "10:00", ""};
        for (size_t i = 0; i < EditierSpalten.size(); ++i) {
            z.at(EditierSpalten[i], 0) = QString::fromUtf8(koepfe[i]);
            z.at(EditierSpalten[i], 2) = QString::fromUtf8(werte[i]);
        }
        const QString text = ZeileKopierenText(z, 2);
        QCOMPARE(text, QStringLiteral("/°C=220;/Min:sek=10:00;/Zeit=00:30;/%=;/min=05:00;/min=10:00;/=;\r\n"));
        const auto zurueck = ZeileEinfuegenTexte(text);
        for (size_t i = 0; i < zurueck.size(); ++i)
            QCOMPARE(zurueck[i], QString::fromUtf8(werte[i]));
        for (const QString &wert : ZeileEinfuegenTexte(QStringLiteral("/a=1/b=2")))
            QVERIFY(wert.isEmpty());
        // Without "=" the value runs from the start; an "=" behind the ";" gives an empty one.
        QCOMPARE(ZeileEinfuegenTexte(QStringLiteral("7;"))[0], QStringLiteral("7"));
        const auto spaet = ZeileEinfuegenTexte(QStringLiteral("7;8=9;"));
        QVERIFY(spaet[0].isEmpty());
        QVERIFY(spaet[1] == QStringLiteral("9"));
        QVERIFY(spaet[2].isEmpty());
    }

    void namenTexte()
    {
        const auto w52 = TCodepage::Windows1252;
        const auto w51 = TCodepage::Windows1251;
        QVERIFY(NamenTextErlaubt(QStringLiteral("0123456789\n01234567"), w52));
        QVERIFY(!NamenTextErlaubt(QStringLiteral("012345678\n0123456789"), w52)); // CR LF counts two
        QVERIFY(NamenTextErlaubt(QStringLiteral("Brötchen €"), w52));
        QVERIFY(!NamenTextErlaubt(QStringLiteral("Хлеб"), w52));
        QVERIFY(NamenTextErlaubt(QStringLiteral("Хлеб"), w51));
        QVERIFY(!NamenTextErlaubt(QStringLiteral("a\tb"), w52));
        QCOMPARE(NamenBytes(QStringLiteral("Brot\nhell"), w52), QByteArray("Brot\r\nhell"));
        QCOMPARE(NamenText(QByteArray("Brot\r\nhell"), w52), QStringLiteral("Brot\nhell"));
        QCOMPARE(NamenBytes(QStringLiteral("Хлеб"), w51), QByteArray("\xD5\xEB\xE5\xE1"));
    }

    // The name box's text: every byte comes back from it, and it has at most two lines.
    void namenAnzeige()
    {
        for (const auto cp : {TCodepage::Windows1252, TCodepage::Windows1251})
            for (int b = 0; b < 256; ++b) {
                const QByteArray name = "Brot" + QByteArray(1, char(b)) + "hell";
                const QString text = NamenAnzeige(name, cp);
                QVERIFY(!text.contains(QLatin1Char('\n')));
                QVERIFY(text.size() == 9);
                QVERIFY(NamenTextErlaubt(text, cp, NamenMaxBytes, text.mid(4, 1)));
                QCOMPARE(NamenBytes(text, cp), name);
            }
        const auto w52 = TCodepage::Windows1252;
        QCOMPARE(NamenAnzeige("Weizenbr\xF6tchen", w52), QStringLiteral("Weizenbröt\nchen"));
        QCOMPARE(NamenAnzeigeUmbruch("Weizenbr\xF6tchen", w52), 10);
        QCOMPARE(NamenAnzeigeUmbruch("Brot\r\nhell", w52), -1);
        // Only the first CR LF breaks the line.
        const QString drei = NamenAnzeige("a\r\nb\r\nc", w52);
        QCOMPARE(drei.count(QLatin1Char('\n')), 1);
        QCOMPARE(NamenBytes(drei, w52), QByteArray("a\r\nb\r\nc"));
        // A full first line needs no break of its own.
        QCOMPARE(NamenBytes(QStringLiteral("0123456789\nab"), w52), QByteArray("0123456789ab"));
        QVERIFY(!NamenTextErlaubt(QStringLiteral("a\nb\nc"), w52));
        QVERIFY(!NamenTextErlaubt(QStringLiteral("Brot\n01234567890"), w52));
        QVERIFY(NamenTextErlaubt(QStringLiteral("01234567890123456789"), w52));
        // A stand-in only for a byte the name held.
        QVERIFY(!NamenTextErlaubt(QStringLiteral("a\u2409b"), w52));
    }
};

QTEST_GUILESS_MAIN(TstProgrammRaster)
#include "tst_ProgrammRaster.moc"

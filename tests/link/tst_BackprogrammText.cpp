#include "app/Sammlung.h"
#include "support/TestUmgebung.h"
#include "link/uXQXKonstanten.h"

#include <QtTest>

using Lines = QList<QByteArray>;

namespace {

QByteArray body(const Lines &lines)
{
    return "##BODY\r\n00000-START\r\n" + lines.join("\r\n") + (lines.isEmpty() ? "" : "\r\n") + "##/BODY\r\n";
}

// The body lines after the START line.
Lines bodyLines(const QByteArray &text)
{
    const qsizetype from = text.indexOf("00000-START\r\n") + 13;
    return crLfZeilen(text.mid(from, text.indexOf("##/BODY") - from));
}

TBackprogramm readText(const QByteArray &text)
{
    TBackprogramm r;
    BPrgTextLesen(text, r);
    return r;
}

// Phases given as {phase, field, value} triples.
struct TFeldWert { int phase; quint32 TBackPhase::*feld; quint32 wert; };
TBackprogramm phasen(std::initializer_list<TFeldWert> werte, std::initializer_list<std::pair<int, int>> temp = {},
                     std::initializer_list<std::tuple<int, quint8 TBackPhase::*, int>> schalter = {})
{
    TBackprogramm r;
    for (const auto &w : werte)
        r.Phasen[size_t(w.phase - 1)].*w.feld = w.wert;
    for (const auto &[p, t] : temp)
        r.Phasen[size_t(p - 1)].Temperatur = t;
    for (const auto &[p, f, v] : schalter)
        r.Phasen[size_t(p - 1)].*f = quint8(v);
    return r;
}

using P = TBackPhase;

} // namespace

class TstBackprogrammText : public QObject
{
    Q_OBJECT
private slots:
    void cleanup() { LiterModus = CyrillicMode = false; }

    void workedExampleByteForByte()
    {
        TBackprogramm r = phasen({{1, &P::Backzeit, 600}, {1, &P::Schwaden, 30}, {1, &P::UmwaelzerZeit, 300},
                                  {1, &P::AusgangZeit, 120}, {2, &P::Backzeit, 900}, {2, &P::Schwaden, 5},
                                  {2, &P::UmwaelzerZeit, 600}, {2, &P::AbzugZeit, 1500}, {3, &P::Backzeit, 300},
                                  {3, &P::Schwaden, 60}, {4, &P::Schwaden, 8}},
                                 {{1, 230}, {2, 210}, {3, 200}},
                                 {{1, &P::Umwaelzer, 100}, {1, &P::Ausgang, 100}, {2, &P::AbzugProzent, 100}});
        r.Name.setText("Roggen");
        r.PrgVersion.setText("1");
        r.Menge = 10;
        const QByteArray head = "##HEAD\r\nSTEUERUNG =\r\nVERSION =1\r\nNAME =Roggen\r\nMENGE =10\r\nPRIO =0\r\n"
                                "VORSCHWADEN =0\r\nSOLL_KT =0\r\n##/HEAD\r\n";
        Lines lines{"00000-ABZUG-100", "00000-RES-100",  "00000-TEMP1-230", "00000-UMW-100",   "00030-SCHWAD-5", "00095-SCHWAD-8",
                    "00300-UMW-0",     "00600-TEMP1-210", "00900-UMW-100",   "01500-TEMP1-200", "01800-END"};
        const QByteArray text = BPrgTextSchreiben(r, true);
        QCOMPARE(text, head + body(lines));

        // Read back: output and exhaust move to phase 1 and run to the end, the fan comes on again in phase 3.
        TBackprogramm want = r;
        want.Phasen[0].AusgangZeit = want.Phasen[0].AbzugZeit = 1800, want.Phasen[2].UmwaelzerZeit = 900;
        want.Phasen[0].AbzugProzent = want.Phasen[2].Umwaelzer = 100, want.Phasen[1].AbzugProzent = 0;
        want.Phasen[1].AbzugZeit = 0;
        r.Nummer = 12; // the text does not carry it
        BPrgTextLesen(text, r);
        QCOMPARE(r, want);
        // The open output step comes back with the program's length; one more UMW line.
        QCOMPARE(BPrgTextSchreiben(r, true), head + body(lines << "01800-UMW-100"));
    }

    void writerDetails_data()
    {
        QTest::addColumn<TBackprogramm>("rec");
        QTest::addColumn<Lines>("lines");
        TBackprogramm frei;
        InitBPrgRecord(frei);
        QTest::newRow("free slot") << frei << Lines{"00000-END", "00000-TEMP1-0", "00000-UMW-100"};
        QTest::newRow("equal lines at second 0 kept once")
            << phasen({{2, &P::Backzeit, 60}}, {{1, 180}, {2, 180}}) << Lines{"00000-TEMP1-180", "00000-UMW-100", "00060-END"};
        QTest::newRow("start line signed, events unsigned")
            << phasen({{1, &P::Backzeit, 60}, {2, &P::Backzeit, 60}}, {{1, -5}, {2, -10}})
            << Lines{"00000-TEMP1--5", "00000-UMW-100", "00060-TEMP1-4294967286", "00120-END"};
        QTest::newRow("six-digit times sort as text")
            << phasen({{1, &P::Backzeit, 20000}, {2, &P::Backzeit, 80000}, {3, &P::Backzeit, 5}}, {{2, 1}, {3, 2}})
            << Lines{"00000-TEMP1-0", "00000-UMW-100", "100000-TEMP1-2", "100005-END", "20000-TEMP1-1"};
        QTest::newRow("zero step skipped, sums run on")
            << phasen({{1, &P::LuftZeit, 50}, {2, &P::LuftZeit, 10}, {4, &P::LuftZeit, 5}}, {},
                      {{2, &P::Luft, 7}, {3, &P::Luft, 9}, {4, &P::Luft, 3}})
            << Lines{"00000-END", "00000-TEMP1-0", "00000-UMW-100", "00050-LUFT-7", "00060-LUFT-3"};
        QTest::newRow("time sums wrap in 32 bits") << phasen({{1, &P::Backzeit, 0xFFFFFFF0u}, {2, &P::Backzeit, 0x20}}, {{2, 1}})
                                                   << Lines{"00000-TEMP1-0", "00000-UMW-100", "00016-END", "4294967280-TEMP1-1"};
    }
    void writerDetails()
    {
        QFETCH(TBackprogramm, rec);
        QFETCH(Lines, lines);
        QCOMPARE(bodyLines(BPrgTextSchreiben(rec, true)), lines);
    }

    void readerHead()
    {
        // Keys in any case and with blanks before "="; the name loses one leading blank.
        TBackprogramm r = readText("##HEAD\r\nname  =  Brot\r\n m e n g e=0012\r\nSoll_KT = -3\r\nPRIO =x\r\n"
                                   "STEUERUNG =123456789012345678901234\r\n##/HEAD\r\n");
        QCOMPARE(r.Name.text(), QByteArray(" Brot"));
        QVERIFY(r.Menge == 12);
        QVERIFY(r.SollKT == -3);
        QVERIFY(r.Prio == 0);
        QCOMPARE(r.Steuerung.text(), QByteArray("12345678901234567890"));
        // Keys count only inside the head, events only inside the body; a last line without CR LF is ignored.
        r = readText("MENGE =5\r\n00000-TEMP1-200\r\n##BODY\r\nMENGE =6\r\n##/BODY\r\n##HEAD\r\n00000-TEMP1-100\r\nPRIO =3");
        QVERIFY(r.Menge == 0);
        QVERIFY(r.Prio == 0);
        QVERIFY(r.Phasen[0].Temperatur == 0);
        TBackprogramm z; // a lone LF: a record of zeros
        InitBPrgRecord(z);
        BPrgTextLesen("\n", z);
        QCOMPARE(z, TBackprogramm());

        const struct { QByteArray key, line, value; } keys[] = {
            {"NAME =", "NAME = a b", " a b"}, {"SOLL_KT =", "  soll_kt   =7", "7"}, {"PRIO =", "xxPRIO =1", "1"},
            {"PRIO =", "MENGE =5", "\x15"},   {"PRIO =", "PRIO 5", "\x15"},      {"NAME =", "name =\xE4gg", "\xE4gg"}};
        for (const auto &k : keys) {
            QCOMPARE(IsKeyLine(k.key, k.line), k.value != "\x15");
            QCOMPARE(ReadKeyValue(k.key, k.line), k.value);
        }
    }

    // A name that begins with a blank keeps it through the text, and all its 20 characters.
    void nameWithLeadingBlank()
    {
        for (const QByteArray &name : {QByteArray(" Brot"), QByteArray("  zwei"), QByteArray(" 1234567890123456789")}) {
            TBackprogramm r;
            r.Name.setText(name);
            const QByteArray text = BPrgTextSchreiben(r, false);
            QVERIFY2(text.contains("\r\nNAME = " + name + "\r\n"), text.constData());
            QCOMPARE(readText(text).Name.text(), name);
        }
        // One blank after "=" belongs to the line even when 20 characters follow it.
        QCOMPARE(readText("##HEAD\r\nNAME = 12345678901234567890\r\n##/HEAD\r\n").Name.text(),
                 QByteArray("12345678901234567890"));
    }

    void readerBody()
    {
        const QList<QPair<Lines, TBackprogramm>> cases{
            {{"00120-LUFT-50"}, phasen({{1, &P::LuftZeit, 120}}, {}, {{2, &P::Luft, 50}})}, // first air line late fills phase 1
            {{"00100-END", "00000-TEMP1-200"}, phasen({}, {{1, 200}})},                    // END before TEMP1
            {{"00000-LUFT-5", "00000-TEMP1-1", "00100-END"}, phasen({{1, &P::Backzeit, 100}}, {{1, 1}}, {{1, &P::Luft, 5}})},
            {{"x-TEMP1-y", "-", "99999999999-UMW-3-"}, phasen({}, {}, {{1, &P::Umwaelzer, 3}})}}; // numbers that do not parse
        for (const auto &[lines, want] : cases)
            QCOMPARE(readText(body(lines)), want);
    }

    void linesPerNameAreLimited()
    {
        Lines temp, steam;
        for (int i = 0; i < 12; ++i)
            temp << QByteArray::number(10 + i).rightJustified(5, '0') + "-TEMP1-" + QByteArray::number(i + 1);
        for (int i = 0; i < 7; ++i)
            steam << QByteArray::number(12 * i + 10).rightJustified(5, '0') + "-SCHWAD-2";
        const TBackprogramm t = readText(body(temp)), s = readText(body(steam));
        QVERIFY(t.Phasen[10].Temperatur == 11);
        QVERIFY(t.Phasen[9].Backzeit == 1);
        QVERIFY(t.Phasen[10].Backzeit == 0);
        // Each steam line fills two phases: the sixth sets only the pause of phase 11, the seventh is not taken.
        QVERIFY(s.Phasen[9].Schwaden == 2);
        QVERIFY(s.Phasen[10].Schwaden == 10);
    }

    void namesAndLitres()
    {
        TBackprogramm r;
        r.Name.setText("Brot\r\nhell");
        QVERIFY(BPrgTextSchreiben(r, true).contains("\r\nNAME =Brot      hell\r\n"));
        CyrillicMode = true;
        r.Name.setText("\xC1\xF0\xE5\xE4 \xA8"); // Windows-1251 on the PC
        const QByteArray text = BPrgTextSchreiben(r, true);
        QVERIFY(text.contains("\r\nNAME =\xB1\xE0\xD5\xD4 \xA1\r\n")); // ISO-8859-5 on the wire
        QCOMPARE(readText(text).Name.text(), r.Name.text());

        LiterModus = true; // shot amounts add no time
        r = phasen({{1, &P::Schwaden, 30}, {2, &P::Schwaden, 15}, {3, &P::Schwaden, 40}, {4, &P::Schwaden, 25}});
        const QByteArray litres = BPrgTextSchreiben(r, true);
        QVERIFY(litres.contains("\r\n00030-SCHWAD-00-15\r\n00070-SCHWAD-00-25\r\n"));
        const TBackprogramm back = readText(litres);
        for (int p = 0; p < 4; ++p)
            QCOMPARE(back.Phasen[size_t(p)].Schwaden, r.Phasen[size_t(p)].Schwaden);
    }

    void fuzzTexts()
    {
        QRandomGenerator rng(4711);
        const QByteArray valid = BPrgTextSchreiben(phasen({{1, &P::Backzeit, 600}, {2, &P::Schwaden, 5}}, {{1, 230}}), true);
        const QByteArray alphabet("0123456789-\r\n#/ =TEMP1SCHWADUMWLUFTABZUGRESENDSTARTNAMEMENGE");
        for (int i = 0; i < 4000; ++i) {
            QByteArray in = i % 3 == 0 ? valid.left(rng.bounded(valid.size() + 1)) : "##HEAD\r\n##BODY\r\n";
            for (int k = i % 3 ? rng.bounded(60) : 0; k > 0; --k) // random bytes, or lines of the text's own vocabulary
                in += i % 3 == 1 ? QByteArray(1, char(rng.bounded(256)))
                                 : alphabet.mid(rng.bounded(alphabet.size()), rng.bounded(1, 12)) + "\r\n";
            LiterModus = i % 8 < 4;
            CyrillicMode = i % 5 == 0;
            const TBackprogramm r = readText(in);
            QVERIFY(r.Name.Laenge <= 20);
            QVERIFY(r.Steuerung.Laenge <= 20);
            QVERIFY(r.PrgVersion.Laenge <= 20);
            BPrgTextSchreiben(r, true);
        }
    }
};

QTEST_MAIN(TstBackprogrammText)
#include "tst_BackprogrammText.moc"

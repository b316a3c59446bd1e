#include "Sammlung.h"
#include "TestUmgebung.h"
#include "uXQXKonstanten.h"

#include <QRandomGenerator>
#include <QtTest>

namespace {

QByteArray head(const QByteArray &name, const QByteArray &version, int menge)
{
    return "##HEAD\r\nSTEUERUNG =\r\nVERSION =" + version + "\r\nNAME =" + name + "\r\nMENGE ="
           + QByteArray::number(menge) + "\r\nPRIO =0\r\nVORSCHWADEN =0\r\nSOLL_KT =0\r\n##/HEAD\r\n";
}

QByteArray body(const QList<QByteArray> &lines)
{
    QByteArray b = "##BODY\r\n00000-START\r\n";
    for (const QByteArray &l : lines)
        b += l + "\r\n";
    return b + "##/BODY\r\n";
}

// The body lines after the START line.
QList<QByteArray> bodyLines(const QByteArray &text)
{
    const qsizetype from = text.indexOf("00000-START\r\n") + 13;
    const qsizetype to = text.indexOf("##/BODY");
    QList<QByteArray> out = text.mid(from, to - from).split('\n');
    out.removeLast();
    for (QByteArray &l : out)
        l.chop(1);
    return out;
}

TBackprogramm workedExample()
{
    TBackprogramm r;
    r.Name.setText("Roggen");
    r.PrgVersion.setText("1");
    r.Menge = 10;
    auto &P = r.Phasen;
    P[0].Temperatur = 230; P[0].Backzeit = 600; P[0].Schwaden = 30; P[0].Umwaelzer = 100;
    P[0].UmwaelzerZeit = 300; P[0].Ausgang = 100; P[0].AusgangZeit = 120;
    P[1].Temperatur = 210; P[1].Backzeit = 900; P[1].Schwaden = 5; P[1].Umwaelzer = 0;
    P[1].UmwaelzerZeit = 600; P[1].AbzugProzent = 100; P[1].AbzugZeit = 1500;
    P[2].Temperatur = 200; P[2].Backzeit = 300; P[2].Schwaden = 60;
    P[3].Schwaden = 8;
    return r;
}

const QList<QByteArray> kExampleBody{
    "00000-ABZUG-100", "00000-RES-100",   "00000-TEMP1-230", "00000-UMW-100",
    "00030-SCHWAD-5",  "00095-SCHWAD-8",  "00300-UMW-0",     "00600-TEMP1-210",
    "00900-UMW-100",   "01500-TEMP1-200", "01800-END"};

TBackprogramm readText(const QByteArray &text)
{
    TBackprogramm r;
    BPrgTextLesen(text, r);
    return r;
}

} // namespace

class TstBackprogrammText : public QObject
{
    Q_OBJECT
private slots:
    void cleanup()
    {
        LiterModus = false;
        CyrillicMode = false;
    }

    void workedExampleByteForByte()
    {
        const QByteArray want = head("Roggen", "1", 10) + body(kExampleBody);
        const QByteArray text = BPrgTextSchreiben(workedExample(), true);
        QCOMPARE(text, want);

        TBackprogramm r;
        r.Nummer = 12; // the text does not carry it
        BPrgTextLesen(text, r);
        TBackprogramm expected;
        expected.Name.setText("Roggen");
        expected.PrgVersion.setText("1");
        expected.Menge = 10;
        auto &P = expected.Phasen;
        P[0].Temperatur = 230; P[0].Backzeit = 600; P[0].Schwaden = 30; P[0].Umwaelzer = 100;
        P[0].UmwaelzerZeit = 300; P[0].Ausgang = 100; P[0].AusgangZeit = 1800;
        P[0].AbzugProzent = 100; P[0].AbzugZeit = 1800;
        P[1].Temperatur = 210; P[1].Backzeit = 900; P[1].Schwaden = 5; P[1].UmwaelzerZeit = 600;
        P[2].Temperatur = 200; P[2].Backzeit = 300; P[2].Schwaden = 60; P[2].Umwaelzer = 100;
        P[2].UmwaelzerZeit = 900;
        P[3].Schwaden = 8;
        QCOMPARE(r, expected);

        // The open output step comes back with the program's length; one more UMW line.
        QList<QByteArray> again = kExampleBody;
        again.append("01800-UMW-100");
        QCOMPARE(BPrgTextSchreiben(r, true), head("Roggen", "1", 10) + body(again));
    }

    void writerDetails_data()
    {
        QTest::addColumn<TBackprogramm>("rec");
        QTest::addColumn<QList<QByteArray>>("lines");

        TBackprogramm frei;
        InitBPrgRecord(frei);
        QTest::newRow("free slot") << frei << QList<QByteArray>{"00000-END", "00000-TEMP1-0", "00000-UMW-100"};

        TBackprogramm same;
        same.Phasen[0].Temperatur = 180;
        same.Phasen[1].Temperatur = 180;
        same.Phasen[1].Backzeit = 60;
        QTest::newRow("equal lines at second 0 kept once")
            << same << QList<QByteArray>{"00000-TEMP1-180", "00000-UMW-100", "00060-END"};

        TBackprogramm neg;
        neg.Phasen[0].Temperatur = -5;
        neg.Phasen[0].Backzeit = 60;
        neg.Phasen[1].Temperatur = -10;
        neg.Phasen[1].Backzeit = 60;
        QTest::newRow("start line signed, events unsigned")
            << neg << QList<QByteArray>{"00000-TEMP1--5", "00000-UMW-100", "00060-TEMP1-4294967286", "00120-END"};

        TBackprogramm lang;
        lang.Phasen[0].Backzeit = 20000;
        lang.Phasen[1].Temperatur = 1;
        lang.Phasen[1].Backzeit = 80000;
        lang.Phasen[2].Temperatur = 2;
        lang.Phasen[2].Backzeit = 5;
        QTest::newRow("six-digit times sort as text")
            << lang
            << QList<QByteArray>{"00000-TEMP1-0", "00000-UMW-100", "100000-TEMP1-2", "100005-END", "20000-TEMP1-1"};

        TBackprogramm luft;
        luft.Phasen[0].LuftZeit = 50;
        luft.Phasen[1].Luft = 7;
        luft.Phasen[1].LuftZeit = 10;
        luft.Phasen[2].Luft = 9;
        luft.Phasen[3].Luft = 3;
        luft.Phasen[3].LuftZeit = 5;
        QTest::newRow("zero step skipped, sums run on")
            << luft << QList<QByteArray>{"00000-END", "00000-TEMP1-0", "00000-UMW-100", "00050-LUFT-7", "00060-LUFT-3"};

        TBackprogramm wrap;
        wrap.Phasen[0].Backzeit = 0xFFFFFFF0u;
        wrap.Phasen[1].Temperatur = 1;
        wrap.Phasen[1].Backzeit = 0x20;
        QTest::newRow("time sums wrap in 32 bits")
            << wrap << QList<QByteArray>{"00000-TEMP1-0", "00000-UMW-100", "00016-END", "4294967280-TEMP1-1"};
    }
    void writerDetails()
    {
        QFETCH(TBackprogramm, rec);
        QFETCH(QList<QByteArray>, lines);
        QCOMPARE(bodyLines(BPrgTextSchreiben(rec, true)), lines);
    }

    void readerDetails()
    {
        // Keys: lower case, blanks before "=", one leading blank of the name lost.
        TBackprogramm r = readText("##HEAD\r\nname  =  Brot\r\n m e n g e=0012\r\nSoll_KT = -3\r\n"
                                   "PRIO =x\r\nSTEUERUNG =123456789012345678901234\r\n##/HEAD\r\n");
        QCOMPARE(r.Name.text(), QByteArray(" Brot"));
        QCOMPARE(r.Menge, 12);
        QCOMPARE(r.SollKT, -3);
        QCOMPARE(r.Prio, 0);
        QCOMPARE(r.Steuerung.text(), QByteArray("12345678901234567890"));

        // Keys count only inside the head, events only inside the body.
        r = readText("MENGE =5\r\n00000-TEMP1-200\r\n##BODY\r\nMENGE =6\r\n##/BODY\r\n##HEAD\r\n00000-TEMP1-100\r\n");
        QCOMPARE(r.Menge, 0);
        QCOMPARE(r.Phasen[0].Temperatur, 0);

        // A last line without CR LF has no effect.
        r = readText("##HEAD\r\nMENGE =5\r\nPRIO =3");
        QCOMPARE(r.Menge, 5);
        QCOMPARE(r.Prio, 0);

        // A lone LF: a record of zeros.
        TBackprogramm z;
        InitBPrgRecord(z);
        BPrgTextLesen("\n", z);
        QCOMPARE(z, TBackprogramm());
    }

    void readerBody_data()
    {
        QTest::addColumn<QList<QByteArray>>("lines");
        QTest::addColumn<TBackprogramm>("want");

        TBackprogramm gap;
        gap.Phasen[0].LuftZeit = 120;
        gap.Phasen[1].Luft = 50;
        QTest::newRow("first air line late") << QList<QByteArray>{"00120-LUFT-50"} << gap;

        TBackprogramm endFirst;
        endFirst.Phasen[0].Temperatur = 200;
        QTest::newRow("END before TEMP1") << QList<QByteArray>{"00100-END", "00000-TEMP1-200"} << endFirst;

        TBackprogramm luft;
        luft.Phasen[0].Luft = 5;
        luft.Phasen[0].Temperatur = 1;
        luft.Phasen[0].Backzeit = 100;
        QTest::newRow("END leaves air open")
            << QList<QByteArray>{"00000-LUFT-5", "00000-TEMP1-1", "00100-END"} << luft;

        QList<QByteArray> twelve;
        TBackprogramm t12;
        for (int i = 0; i < 12; ++i) {
            twelve.append(QByteArray("000") + QByteArray::number(10 + i) + "-TEMP1-" + QByteArray::number(i + 1));
            if (i < 11)
                t12.Phasen[size_t(i)].Temperatur = i + 1;
            if (i >= 1 && i < 11)
                t12.Phasen[size_t(i - 1)].Backzeit = i == 1 ? 11 : 1;
        }
        QTest::newRow("twelfth TEMP1 ignored") << twelve << t12;

        QList<QByteArray> steam;
        TBackprogramm s7;
        quint32 t = 0;
        for (int i = 0; i < 7; ++i) {
            t += 10;
            steam.append(QByteArray::number(t).rightJustified(5, '0') + "-SCHWAD-2");
            t += 2;
        }
        for (int p = 0; p < 11; ++p)
            s7.Phasen[size_t(p)].Schwaden = p == 0 ? 10 : (p % 2 ? 2 : 10);
        QTest::newRow("seventh steam line not taken") << steam << s7;

        QTest::newRow("numbers that do not parse") << QList<QByteArray>{"x-TEMP1-y", "-", "TEMP1", "99999999999-UMW-3-"} << [] {
            TBackprogramm r;
            r.Phasen[0].Umwaelzer = 3;
            return r;
        }();
    }
    void readerBody()
    {
        QFETCH(QList<QByteArray>, lines);
        QFETCH(TBackprogramm, want);
        QCOMPARE(readText(body(lines)), want);
    }

    void keyLookup_data()
    {
        QTest::addColumn<QByteArray>("key");
        QTest::addColumn<QByteArray>("line");
        QTest::addColumn<bool>("found");
        QTest::addColumn<QByteArray>("value");
        QTest::newRow("plain") << QByteArray("MENGE =") << QByteArray("MENGE =10") << true << QByteArray("10");
        QTest::newRow("blanks behind = stay") << QByteArray("NAME =") << QByteArray("NAME = a b") << true << QByteArray(" a b");
        QTest::newRow("case and blanks") << QByteArray("SOLL_KT =") << QByteArray("  soll_kt   =7") << true << QByteArray("7");
        QTest::newRow("anywhere in the line") << QByteArray("PRIO =") << QByteArray("xxPRIO =1") << true << QByteArray("1");
        QTest::newRow("missing reads NAK") << QByteArray("PRIO =") << QByteArray("MENGE =5") << false << QByteArray("\x15");
        QTest::newRow("no = keeps blanks") << QByteArray("PRIO =") << QByteArray("PRIO 5") << false << QByteArray("\x15");
        QTest::newRow("value bytes keep their case") << QByteArray("NAME =") << QByteArray("name =\xE4gg") << true
                                                     << QByteArray("\xE4gg");
    }
    void keyLookup()
    {
        QFETCH(QByteArray, key);
        QFETCH(QByteArray, line);
        QFETCH(bool, found);
        QFETCH(QByteArray, value);
        QCOMPARE(IsKeyLine(key, line), found);
        QCOMPARE(ReadKeyValue(key, line), value);
    }

    void namesOnTheWire()
    {
        TBackprogramm r;
        r.Name.setText("Brot\r\nhell");
        QVERIFY(BPrgTextSchreiben(r, true).contains("\r\nNAME =Brot      hell\r\n"));

        CyrillicMode = true;
        r.Name.setText("\xC1\xF0\xE5\xE4 \xA8"); // Windows-1251
        const QByteArray text = BPrgTextSchreiben(r, true);
        QVERIFY(text.contains("\r\nNAME =\xB1\xE0\xD5\xD4 \xA1\r\n")); // ISO-8859-5
        QCOMPARE(readText(text).Name.text(), r.Name.text());
    }

    void litreMode()
    {
        LiterModus = true;
        TBackprogramm r;
        r.Phasen[0].Schwaden = 30;
        r.Phasen[1].Schwaden = 15;
        r.Phasen[2].Schwaden = 40;
        r.Phasen[3].Schwaden = 25;
        const QByteArray text = BPrgTextSchreiben(r, true);
        QVERIFY(text.contains("\r\n00030-SCHWAD-00-15\r\n"));
        QVERIFY(text.contains("\r\n00070-SCHWAD-00-25\r\n"));
        const TBackprogramm back = readText(text);
        for (int p = 0; p < 4; ++p)
            QCOMPARE(back.Phasen[size_t(p)].Schwaden, r.Phasen[size_t(p)].Schwaden);
    }

    void fuzzTexts()
    {
        QRandomGenerator rng(4711);
        const QByteArray valid = BPrgTextSchreiben(workedExample(), true);
        const QByteArray alphabet("0123456789-\r\n#/ =TEMP1SCHWADUMWLUFTABZUGRESENDSTARTNAMEMENGE");
        for (int i = 0; i < 4000; ++i) {
            QByteArray in;
            switch (i % 4) {
            case 0: // truncated
                in = valid.left(rng.bounded(valid.size() + 1));
                break;
            case 1: { // mutated
                in = valid;
                for (int k = rng.bounded(1, 8); k > 0; --k)
                    in[rng.bounded(in.size())] = alphabet[rng.bounded(alphabet.size())];
                break;
            }
            case 2: // random bytes
                in.resize(rng.bounded(400));
                for (char &c : in)
                    c = char(rng.bounded(256));
                break;
            default: // random lines from the text's own vocabulary
                in = "##HEAD\r\n##BODY\r\n";
                for (int k = rng.bounded(60); k > 0; --k)
                    in += alphabet.mid(rng.bounded(alphabet.size()), rng.bounded(1, 12)) + "\r\n";
                break;
            }
            LiterModus = i % 8 < 4;
            CyrillicMode = i % 3 == 0;
            TBackprogramm r;
            BPrgTextLesen(in, r);
            QVERIFY(r.Name.Laenge <= 20 && r.Steuerung.Laenge <= 20 && r.PrgVersion.Laenge <= 20);
            BPrgTextSchreiben(r, true);
        }
    }
};

QTEST_MAIN(TstBackprogrammText)
#include "tst_BackprogrammText.moc"

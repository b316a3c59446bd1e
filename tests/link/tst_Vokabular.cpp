#include "app/Codepage.h"
#include "app/Zahlformat.h"
#include "support/Listeneditor.h"
#include "support/TestUmgebung.h"
#include "link/uXQXKonstanten.h"

#include <QHostAddress>
#include <QtTest>
#include <memory>

namespace {

// ISO-8859-5 as the standard defines it, kept apart from the code under test.
char16_t iso88595(uchar c)
{
    if (c < 0xA1 || c == 0xAD)
        return c;
    return c == 0xF0 ? 0x2116 : c == 0xFD ? 0x00A7 : char16_t(0x0360 + c);
}

// The characters both code pages hold: Russian letters and the numero sign.
bool inBoth(char16_t u) { return (u >= 0x0410 && u <= 0x044F) || u == 0x0401 || u == 0x0451 || u == 0x2116; }

using TListePtr = std::unique_ptr<TBackprogrammListe>;
using TPaare = QList<QPair<int, QByteArray>>;

TListePtr freieListe() { return std::make_unique<TBackprogrammListe>(FreieListe()); }

// The text form a slot has after it went through it once.
QByteArray textform(const TBackprogramm &p) { return BPrgTextSchreiben(p, true); }

} // namespace

class TstVokabular : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase() { m_previousBeep = SetBeepHook({}); }
    void cleanupTestCase() { SetBeepHook(m_previousBeep); }

    void commandTable()
    {
        static_assert(std::tuple_size_v<std::remove_cvref_t<decltype(Befehlstabelle)>> == 52);
        QCOMPARE(&SB_BefehlAktuell, &Befehlstabelle[0]);
        QCOMPARE(&SB_kZEIT, &Befehlstabelle[51]);
        QCOMPARE(SB_NONS.Kommando + SB_TRX.Kommando + SB_kSTAR_Besch.Kommando, QByteArray("\xD6\xD6\xD6\xD6TRX star"));
        for (const NeuerBefehl &b : Befehlstabelle) {
            QVERIFY(b.Versuche == 0);
            QVERIFY(b.MaxVersuche == 0);
            QVERIFY(b.Param.isEmpty());
            const QByteArray wort = b.Name.mid(3).toUpper();
            const int want = &b < &SB_AZUG || &b == &SB_TRX ? 0
                             : wort.endsWith("BPL2")                   ? 10000
                             : wort == "BPLI" || wort == "KBPLI" || wort.endsWith("BPRG") ? 6000 : 3000;
            QVERIFY2(b.TimeoutMs == want, b.Name.constData());
        }
        QVERIFY(BPrgFeldnamen[3] == QByteArrayView("SCHWAD"));
        QVERIFY(MaxSollTemp == 400);
    }

    void ctrlCharsAndHexDump()
    {
        QCOMPARE(CtrlCharsVisible("\x02\x05TRX \x06\x04" "0A\x03\r\n\t\x15\x0F"),
                 QByteArray("|STX||ENQ|TRX |ACK||EOT|0A|ETX|\r\n|TAB||NAK||XNAK|"));
        const QByteArray named("\x02\x03\x04\x05\x06\x09\x0F\x15");
        for (int i = 0; i < 256; ++i) // every other byte is copied as it is
            if (!named.contains(char(i)))
                QCOMPARE(CtrlCharsVisible(QByteArray(1, char(i))), QByteArray(1, char(i)));

        const QByteArray dump = StrToHexDump(alleBytes());
        QCOMPARE(dump, alleBytes().toHex().toUpper());
        QCOMPARE(HexDumpToStr(dump.toLower()), alleBytes());
        QCOMPARE(HexDumpToStr("4"), QByteArray());
        QCOMPARE(HexDumpToStr("41a"), QByteArray("A"));
        QCOMPARE(HexDumpToStr("G1zZ 7"), QByteArray("\x01\x00\x07", 3));
    }

    void cyrillicMapsOverAllBytes()
    {
        int letters = 0;
        for (int i = 0; i < 256; ++i) {
            const QByteArray one(1, char(i));
            // A character both sides hold keeps its character, every other byte stays.
            const QByteArray pc = ControllerToAnsi(one);
            if (inBoth(iso88595(uchar(i)))) {
                ++letters;
                QCOMPARE(AnsiToString(pc, TCodepage::Windows1251), QString(QChar(iso88595(uchar(i)))));
            } else {
                QCOMPARE(pc, one);
            }
            const char16_t ansi = AnsiToString(one, TCodepage::Windows1251).at(0).unicode();
            const QByteArray ctrl = AnsiToController(one);
            if (inBoth(ansi))
                QCOMPARE(iso88595(uchar(ctrl[0])), ansi);
            else
                QCOMPARE(ctrl, one);
        }
        QCOMPARE(letters, 64 + 3);

        int beeps = 0;
        SetBeepHook([&beeps] { ++beeps; });
        QCOMPARE(ControllerToAnsi(QByteArray("\xC0\x00x\x00", 4)), QByteArray("\xD0\x00x\x00", 4));
        AnsiToController(QByteArray(1, '\0'));
        QCOMPARE(beeps, 2);
        SetBeepHook({});
    }

    void ipAddresses()
    {
        const struct { const char *in; bool valid; const char *normal; } cases[] = {
            {"192.168.001.010", true, "192.168.1.10"}, {"010.000.000.001", true, "10.0.0.1"},
            {"1..2.3", true, "1.0.2.3"},               {"1.2.3.", true, "1.2.3.0"},
            {"1.2.3.4.", false, "1.2.3.4.0"},          {".1.2.3", false, ".1.2.3"},
            {"256.1.1.1", false, "256.1.1.1"},         {"", false, ""},
            {"1.2.3.4a", false, "1.2.3.4a"},           {"1.2.3. 4", false, "1.2.3. 4"},
            {"0012", false, "0012"},                   {"1.2.3.99999999999", false, "1.2.3.99999999999"}};
        for (const auto &c : cases) {
            const QString in = QString::fromLatin1(c.in), normal = QString::fromLatin1(c.normal);
            QCOMPARE(NormalizeIP(in), normal);
            QCOMPARE(CheckIPAddress(in), c.valid ? in : QString()); // as given, never normalised
            // Sockets get plain decimal parts: "010" would be read as octal.
            QCOMPARE(SocketIPAddress(in), c.valid ? normal : QString());
            QVERIFY(!c.valid || QHostAddress(SocketIPAddress(in)).toString() == normal);
        }
    }

    void namenTextLesen()
    {
        using TNamen = QMap<int, QByteArray>;
        const QList<QPair<QByteArray, TNamen>> cases{
            {"1\tBrot\tA\tSemmel\tC7\tLetzter\t", {{1, "Brot"}, {10, "Semmel"}, {199, "Letzter"}}},
            {"2\tZopf\t3", {{2, "Zopf"}}}, // a last number without TAB is ignored, a last name counts
            {"0\tNull\tC8\tZuviel\t0a\tklein\t-1\tneg\t5\tok", {{5, "ok"}}},
            {"3\tABC1\t4\t123456789012345678901234\t", {{3, "ABC1"}, {4, "12345678901234567890"}}},
            {"\tname\t6\t\t", {{6, ""}}}};
        for (const auto &[text, named] : cases) {
            TNamenListe namen;
            namen.fill("stale");
            NamenTextLesen(text, namen);
            for (int i = 0; i < 200; ++i)
                QCOMPARE(namen[size_t(i)], named.value(i, BPrgFreiName.toByteArray()));
        }
    }

    void felderUndPlaetze()
    {
        QByteArrayView rest("a\t\tb");
        QCOMPARE(feldNehmen(rest).toByteArray(), QByteArray("a"));
        QCOMPARE(feldNehmen(rest).toByteArray(), QByteArray());
        QCOMPARE(rest.toByteArray(), QByteArray("b"));
        QCOMPARE(feldNehmen(rest).toByteArray(), QByteArray("b"));
        QVERIFY(rest.isEmpty());
        // A field that counts only with its TAB: without one it is none, and the rest is gone.
        rest = "7\t8";
        QCOMPARE(feldNehmen(rest, true).toByteArray(), QByteArray("7"));
        QCOMPARE(feldNehmen(rest, true).toByteArray(), QByteArray());
        QVERIFY(rest.isEmpty());

        for (int n : {-1, 0, 200, 1000})
            QVERIFY(!gueltigerPlatz(n));
        for (int n : {1, 100, 199})
            QVERIFY(gueltigerPlatz(n));
    }

    void freiName()
    {
        QCOMPARE(BPrgFreiName.toByteArray(), QByteArray("frei free libre     "));
        QCOMPARE(BPrgFreiNameKurz.toByteArray(), QByteArray("frei free libre"));
        QVERIFY(IsFreeSlotName(BPrgFreiName));
        QVERIFY(IsFreeSlotName(BPrgFreiNameKurz));
        TBackprogramm rec = BeispielProgramm("Weizen");
        InitBPrgRecord(rec);
        QCOMPARE(rec.Name.text(), BPrgFreiName.toByteArray());
    }

    // Every pair in its order, also those a reader leaves out: slot 0, no number, none at all.
    void namenPaare()
    {
        TPaare paare;
        NamenPaareLesen("0000\tNull\tZZ\tFalsch\t0003\t123456789012345678901\t00C8\tviel\t0004",
                        [&paare](int nr, QByteArrayView name) { paare << qMakePair(nr, name.toByteArray()); });
        QCOMPARE(paare, (TPaare{{0, "Null"}, {-1, "Falsch"}, {3, "12345678901234567890"}, {200, "viel"}, {-1, ""}}));
    }

    void listenteilEintraege()
    {
        QByteArray teil;
        ListenteilEintragAnhaengen(teil, 7, "A\r\n");
        ListenteilEintragAnhaengen(teil, 150, "");
        QCOMPARE(teil, QByteArray("07\t410D0A\t150\t\t"));
        // The link reads a last number without its TAB, the editor does not.
        for (const bool nurMitTab : {false, true}) {
            TPaare eintraege;
            ListenteilEintraegeLesen(teil + "x\t41\t12", nurMitTab, [&eintraege](int nr, QByteArrayView dump) {
                eintraege << qMakePair(nr, dump.toByteArray());
            });
            QCOMPARE(eintraege, (TPaare{{7, "410D0A"}, {150, ""}, {-1, "41"}, {nurMitTab ? -1 : 12, ""}}));
        }
    }

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
        // The link's form of the same: the name and the text it holds.
        p.Name.setText("Weizen");
        QCOMPARE(BprgSchreibParameter(10, p.Name.text(), BPrgTextZeilenMitTab(textform(p))), schreiben);
        QCOMPARE(BprgSchreibParameter(10, "x frei free libre", "##HEAD\t"), QByteArray("DELETE\t000A"));
        QCOMPARE(BprgSchreibParameter(199, "Brot", ""), QByteArray("00C7\t"));
        QCOMPARE(BPrgTextZeilenMitTab("a\r\nb\nc\r\r\n"), QByteArray("a\tb\nc\r\t"));
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

    void fuzzReaders()
    {
        QRandomGenerator rng(20261208);
        const QByteArray valid("1\tBrot\tA\tSemmel\tC7\tLetzter\t"), dump = StrToHexDump(alleBytes());
        const QByteArray alphabet("0123456789ABCDEFabcdef\t\t\t.\x00\xFF Gz", 32);
        for (int round = 0; round < 4000; ++round) {
            QByteArray in;
            if (round % 3 == 2) {
                const QByteArray &source = round % 2 ? valid : dump;
                in = source.left(rng.bounded(int(source.size()) + 1));
            } else {
                for (int k = rng.bounded(200); k > 0; --k)
                    in += round % 3 ? alphabet[rng.bounded(int(alphabet.size()))] : char(rng.bounded(256));
            }
            TNamenListe namen;
            NamenTextLesen(in, namen);
            QCOMPARE(namen[0], BPrgFreiName.toByteArray());
            for (const QByteArray &name : namen)
                QVERIFY(name.size() <= 20);
            QCOMPARE(HexDumpToStr(in).size(), in.size() / 2);
            const QString ip = QString::fromLatin1(in.left(20)), checked = CheckIPAddress(ip);
            QVERIFY(checked.isEmpty() || (checked == ip && !QHostAddress(SocketIPAddress(ip)).isNull()));
        }
    }

private:
    TBeepHook m_previousBeep;
};

QTEST_MAIN(TstVokabular)
#include "tst_Vokabular.moc"

#include "app/Codepage.h"
#include "support/TestUmgebung.h"
#include "link/uXQXKonstanten.h"

#include <QHostAddress>
#include <QtTest>

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

} // namespace

class TstVokabular : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase() { m_previousBeep = SetBeepHook({}); }
    void cleanupTestCase() { SetBeepHook(m_previousBeep); }

    void commandTable()
    {
        QCOMPARE(Befehlstabelle.size(), size_t(52));
        QCOMPARE(&SB_BefehlAktuell, &Befehlstabelle[0]);
        QCOMPARE(&SB_kZEIT, &Befehlstabelle[51]);
        QCOMPARE(SB_NONS.Kommando + SB_TRX.Kommando + SB_kSTAR_Besch.Kommando, QByteArray("\xD6\xD6\xD6\xD6TRX star"));
        for (const NeuerBefehl &b : Befehlstabelle) {
            QVERIFY(b.Versuche == 0 && b.MaxVersuche == 0 && b.Param.isEmpty());
            const QByteArray wort = b.Name.mid(3).toUpper();
            const int want = &b < &SB_AZUG || &b == &SB_TRX ? 0
                             : wort.endsWith("BPL2")                   ? 10000
                             : wort == "BPLI" || wort == "KBPLI" || wort.endsWith("BPRG") ? 6000 : 3000;
            QVERIFY2(b.TimeoutMs == want, b.Name.constData());
        }
        QVERIFY(BPrgFeldnamen[3] == QByteArrayView("SCHWAD") && MaxSollTemp == 400);
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

#include "Codepage.h"
#include "uXQXKonstanten.h"

#include <QHostAddress>
#include <QRandomGenerator>
#include <QSet>
#include <QtTest>

namespace {

QByteArray allBytes()
{
    QByteArray all;
    for (int i = 0; i < 256; ++i)
        all.append(char(i));
    return all;
}

// ISO-8859-5 as the standard defines it, kept apart from the code under test.
char16_t iso88595(uchar c)
{
    if (c < 0xA1)
        return c;
    if (c == 0xAD)
        return 0x00AD;
    if (c == 0xF0)
        return 0x2116;
    if (c == 0xFD)
        return 0x00A7;
    return char16_t(0x0360 + c);
}

// The characters both code pages hold and the controller's names use.
bool isRussianLetterOrNumero(char16_t u)
{
    return (u >= 0x0410 && u <= 0x044F) || u == 0x0401 || u == 0x0451 || u == 0x2116;
}

const QByteArray frei = "frei free libre     ";
using TNamen = QMap<int, QByteArray>;

} // namespace

class TstVokabular : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase() { m_previousBeep = SetBeepHook({}); }
    void cleanupTestCase() { SetBeepHook(m_previousBeep); }

    void tableReferencesPointAtTheirOwnRecord()
    {
        QCOMPARE(int(Befehlstabelle.size()), 52);
        int checked = 0;
        const auto check = [&](const NeuerBefehl &ref, const char *name, int index) {
            QCOMPARE(ref.Name, QByteArray(name));
            QCOMPARE(&ref, &Befehlstabelle[index]);
            ++checked;
        };
#define REF(n, i) check(n, #n, i)
        REF(SB_BefehlAktuell, 0); REF(SB_None, 1); REF(SB_NONS, 2); REF(SB_RecSave, 3);
        REF(SB_RecRest, 4); REF(SB_RecRest01, 5); REF(SB_RecRest02, 6); REF(SB_RecRest03, 7);
        REF(SB_RecRest04, 8); REF(SB_RecRest05, 9); REF(SB_RecRest06, 10); REF(SB_RecRest07, 11);
        REF(SB_RecRest08, 12); REF(SB_RecRest09, 13); REF(SB_RecRest10, 14); REF(SB_RecRest11, 15);
        REF(SB_RecRest12, 16); REF(SB_RSCancel, 17); REF(SB_AZUG, 18); REF(SB_kAZUG, 19);
        REF(SB_BPLI, 20); REF(SB_kBPLI, 21); REF(SB_BPL2, 22); REF(SB_kBPL2, 23); REF(SB_BPRG, 24);
        REF(SB_kBPRG, 25); REF(SB_BZEI, 26); REF(SB_kBZEI, 27); REF(SB_EUCD, 28); REF(SB_HERD, 29);
        REF(SB_LOAD, 30); REF(SB_kLOAD, 31); REF(SB_NAST, 32); REF(SB_kNAST, 33); REF(SB_OFEN, 34);
        REF(SB_kOFEN, 35); REF(SB_PING, 36); REF(SB_SOLL, 37); REF(SB_kSOLL, 38); REF(SB_STAR, 39);
        REF(SB_kSTAR, 40); REF(SB_STAR_Besch, 41); REF(SB_kSTAR_Besch, 42); REF(SB_STAT, 43);
        REF(SB_kSTAT, 44); REF(SB_STOP, 45); REF(SB_kSTOP, 46); REF(SB_SWAD, 47); REF(SB_kSWAD, 48);
        REF(SB_TRX, 49); REF(SB_ZEIT, 50); REF(SB_kZEIT, 51);
#undef REF
        QCOMPARE(checked, 52);
    }

    void tableRecordsFollowTheRules()
    {
        QSet<QByteArray> names;
        for (int i = 0; i < int(Befehlstabelle.size()); ++i) {
            const NeuerBefehl &b = Befehlstabelle[i];
            QVERIFY2(!names.contains(b.Name), b.Name.constData());
            names.insert(b.Name);
            QVERIFY(b.Name.startsWith("SB_"));
            QCOMPARE(b.Versuche, quint8(0));
            QVERIFY(b.Param.isEmpty());

            const QByteArray word = b.Name.mid(3);
            qint32 timeout = 3000;
            if (i < 18 || b.Name == "SB_TRX")
                timeout = 0;
            else if (word == "BPLI" || word == "kBPLI" || word == "BPRG" || word == "kBPRG")
                timeout = 6000;
            else if (word == "BPL2" || word == "kBPL2")
                timeout = 10000;
            QVERIFY2(b.TimeoutMs == timeout, b.Name.constData());

            if (timeout > 0) {
                // Wire words: four bytes; the answer record carries the lower-case request word.
                QCOMPARE(b.Kommando.size(), 4);
                if (word.startsWith('k')) {
                    QCOMPARE(b.Kommando, Befehlstabelle[i - 1].Kommando.toLower());
                    QCOMPARE(b.Kommando, b.Kommando.toLower());
                } else {
                    QCOMPARE(b.Kommando, b.Kommando.toUpper());
                }
            }
        }
        for (int k = 1; k <= 12; ++k) {
            const NeuerBefehl &b = Befehlstabelle[4 + k];
            QCOMPARE(b.Kommando, "RecRest" + QByteArray::number(k).rightJustified(2, '0'));
            QCOMPARE(b.Name, "SB_" + b.Kommando);
        }
    }

    void tableSpecialWords()
    {
        QVERIFY(SB_BefehlAktuell.Kommando.isEmpty());
        QVERIFY(SB_None.Kommando.isEmpty());
        QCOMPARE(SB_NONS.Kommando, QByteArray("\xD6\xD6\xD6\xD6"));
        QCOMPARE(SB_TRX.Kommando, QByteArray("TRX "));
        QCOMPARE(SB_STAR_Besch.Kommando, SB_STAR.Kommando);
        QCOMPARE(SB_kSTAR_Besch.Kommando, QByteArray("star"));
        QCOMPARE(SB_RecSave.Kommando, QByteArray("RecSave"));
        QCOMPARE(SB_RSCancel.Kommando, QByteArray("RSCancel"));
        QCOMPARE(SB_EUCD.Kommando, QByteArray("EUCD"));
        QCOMPARE(SB_BPL2.TimeoutMs * 3, 30000);
        QCOMPARE(BPrgFeldnamen.size(), size_t(8));
        QCOMPARE(BPrgFeldnamen[0], QByteArrayView("START"));
        QCOMPARE(BPrgFeldnamen[3], QByteArrayView("SCHWAD"));
        QCOMPARE(BPrgFeldnamen[7], QByteArrayView("RES"));
        QCOMPARE(MaxSollTemp, 400);

        // Records are copied by value: the copy's strings are its own.
        NeuerBefehl copy = SB_BPRG;
        copy.Param = "0001";
        copy.Kommando[0] = 'X';
        QVERIFY(SB_BPRG.Param.isEmpty());
        QCOMPARE(SB_BPRG.Kommando, QByteArray("BPRG"));
    }

    void ctrlCharsVisible_data()
    {
        QTest::addColumn<QByteArray>("in");
        QTest::addColumn<QByteArray>("out");
        QTest::newRow("frame") << QByteArray("\x02\x05TRX \x06\x04" "0A\x03\r\n")
                               << QByteArray("|STX||ENQ|TRX |ACK||EOT|0A|ETX|\r\n");
        QTest::newRow("tab nak xnak") << QByteArray("a\tb\x15\x0F") << QByteArray("a|TAB|b|NAK||XNAK|");
        QTest::newRow("empty") << QByteArray() << QByteArray();
        QTest::newRow("nul and others") << QByteArray("\x00\x01\x07\x1B\xFF", 5)
                                        << QByteArray("\x00\x01\x07\x1B\xFF", 5);
    }
    void ctrlCharsVisible()
    {
        QFETCH(QByteArray, in);
        QFETCH(QByteArray, out);
        QCOMPARE(CtrlCharsVisible(in), out);
    }

    void ctrlCharsVisibleLeavesOtherBytes()
    {
        const QByteArray named("\x02\x03\x04\x05\x06\x09\x0F\x15");
        for (int i = 0; i < 256; ++i) {
            const QByteArray one(1, char(i));
            const QByteArray got = CtrlCharsVisible(one);
            if (named.contains(char(i)))
                QVERIFY(got.startsWith('|') && got.endsWith('|') && got.size() >= 5);
            else
                QCOMPARE(got, one);
        }
    }

    void hexDumpOverAllBytes()
    {
        const QByteArray all = allBytes();
        const QByteArray dump = StrToHexDump(all);
        QCOMPARE(dump, all.toHex().toUpper());
        QCOMPARE(HexDumpToStr(dump), all);
        QCOMPARE(HexDumpToStr(dump.toLower()), all);
        QCOMPARE(StrToHexDump(""), QByteArray());
    }

    void hexDumpToStrLenient_data()
    {
        QTest::addColumn<QByteArray>("in");
        QTest::addColumn<QByteArray>("out");
        QTest::newRow("single digit") << QByteArray("4") << QByteArray();
        QTest::newRow("odd tail") << QByteArray("41a") << QByteArray("A");
        QTest::newRow("mixed case") << QByteArray("fFaA") << QByteArray("\xFF\xAA");
        QTest::newRow("non-hex counts 0") << QByteArray("G1zZ 7") << QByteArray("\x01\x00\x07", 3);
        QTest::newRow("high bytes count 0") << QByteArray("\xC1\x31") << QByteArray("\x01");
    }
    void hexDumpToStrLenient()
    {
        QFETCH(QByteArray, in);
        QFETCH(QByteArray, out);
        QCOMPARE(HexDumpToStr(in), out);
    }

    void cyrillicMapsOverAllBytes()
    {
        int letters = 0;
        for (int i = 0; i < 256; ++i) {
            const uchar c = uchar(i);
            const QByteArray one(1, char(c));
            // Controller to PC: a Russian letter (or No. sign) keeps its character, all else its byte.
            const QByteArray pc = ControllerToAnsi(one);
            QCOMPARE(pc.size(), 1);
            if (isRussianLetterOrNumero(iso88595(c))) {
                ++letters;
                QCOMPARE(AnsiToString(pc, TCodepage::Windows1251), QString(QChar(iso88595(c))));
                QCOMPARE(AnsiToController(pc), one);
            } else {
                QCOMPARE(pc, one);
            }
            // PC to controller, the same rule seen from the other side.
            const QString ansiChar = AnsiToString(one, TCodepage::Windows1251);
            const QByteArray ctrl = AnsiToController(one);
            QCOMPARE(ctrl.size(), 1);
            if (isRussianLetterOrNumero(ansiChar.at(0).unicode()))
                QCOMPARE(iso88595(uchar(ctrl[0])), ansiChar.at(0).unicode());
            else
                QCOMPARE(ctrl, one);
        }
        QCOMPARE(letters, 64 + 3);
    }

    void nulBeepsOncePerByte()
    {
        int beeps = 0;
        const TBeepHook before = SetBeepHook([&beeps] { ++beeps; });
        QCOMPARE(ControllerToAnsi(QByteArray("\xC0\x00x\x00", 4)), QByteArray("\xD0\x00x\x00", 4));
        QCOMPARE(beeps, 2);
        AnsiToController(QByteArray("\x00", 1));
        ControllerToAnsi(allBytes().mid(1));
        QCOMPARE(beeps, 2);
        SetBeepHook(before);
    }

    void ipAddresses_data()
    {
        QTest::addColumn<QString>("in");
        QTest::addColumn<bool>("valid");
        QTest::addColumn<QString>("normal");
        QTest::newRow("leading zeros") << "192.168.001.010" << true << "192.168.1.10";
        QTest::newRow("all zero groups") << "010.000.000.001" << true << "10.0.0.1";
        QTest::newRow("plain") << "127.0.0.1" << true << "127.0.0.1";
        QTest::newRow("empty inner") << "1..2.3" << true << "1.0.2.3";
        QTest::newRow("empty last") << "1.2.3." << true << "1.2.3.0";
        QTest::newRow("max") << "255.255.255.255" << true << "255.255.255.255";
        QTest::newRow("five parts") << "1.2.3.4." << false << "1.2.3.4.0";
        QTest::newRow("leading dot") << ".1.2.3" << false << ".1.2.3";
        QTest::newRow("above 255") << "256.1.1.1" << false << "256.1.1.1";
        QTest::newRow("empty") << "" << false << "";
        QTest::newRow("letter") << "1.2.3.4a" << false << "1.2.3.4a";
        QTest::newRow("blank") << "1.2.3. 4" << false << "1.2.3. 4";
        QTest::newRow("no dots") << "1234" << false << "1234";
        QTest::newRow("no dots zeros") << "0012" << false << "0012";
        QTest::newRow("three parts") << "1.2.3" << false << "1.2.3";
        QTest::newRow("huge part") << "1.2.3.99999999999" << false << "1.2.3.99999999999";
        QTest::newRow("sign") << "1.2.3.+4" << false << "1.2.3.+4";
    }
    void ipAddresses()
    {
        QFETCH(QString, in);
        QFETCH(bool, valid);
        QFETCH(QString, normal);
        QCOMPARE(NormalizeIP(in), normal);
        // The text comes back exactly as given, never normalised.
        QCOMPARE(CheckIPAddress(in), valid ? in : QString());
        QCOMPARE(SocketIPAddress(in), valid ? normal : QString());
        if (valid) {
            QHostAddress host;
            QVERIFY(host.setAddress(SocketIPAddress(in)));
            QCOMPARE(host.toString(), normal);
        }
    }

    void namenTextLesen_data()
    {
        QTest::addColumn<QByteArray>("text");
        QTest::addColumn<TNamen>("named");
        QTest::newRow("empty") << QByteArray() << TNamen{};
        QTest::newRow("pairs") << QByteArray("1\tBrot\tA\tSemmel\tC7\tLetzter\t")
                               << TNamen{{1, "Brot"}, {10, "Semmel"}, {199, "Letzter"}};
        QTest::newRow("last name without tab counts") << QByteArray("2\tZopf")
                                                      << TNamen{{2, "Zopf"}};
        QTest::newRow("last number without tab ignored") << QByteArray("2\tZopf\t3")
                                                         << TNamen{{2, "Zopf"}};
        QTest::newRow("out of range and lower case")
            << QByteArray("0\tNull\tC8\tZuviel\t0a\tklein\tFF\tx\t-1\tneg\t5\tok\t")
            << TNamen{{5, "ok"}};
        QTest::newRow("hex-looking name") << QByteArray("3\tABC1\t4\t0\t")
                                          << TNamen{{3, "ABC1"}, {4, "0"}};
        QTest::newRow("cut to 20") << QByteArray("4\t123456789012345678901234\t")
                                   << TNamen{{4, "12345678901234567890"}};
        QTest::newRow("empty name") << QByteArray("6\t\t7\tx\t") << TNamen{{6, ""}, {7, "x"}};
        QTest::newRow("later wins") << QByteArray("8\ta\t08\tb\t") << TNamen{{8, "b"}};
        QTest::newRow("empty number") << QByteArray("\tname\t9\tneun\t")
                                      << TNamen{{9, "neun"}};
    }
    void namenTextLesen()
    {
        QFETCH(QByteArray, text);
        QFETCH(TNamen, named);
        TNamenListe namen;
        namen.fill("stale");
        NamenTextLesen(text, namen);
        for (int i = 0; i < 200; ++i)
            QCOMPARE(namen[i], named.value(i, frei));
    }

    void fuzzReaders()
    {
        QRandomGenerator rng(20261208);
        QByteArray valid;
        for (int n = 1; n < 200; n += 7)
            valid += FormatHexForTest(n) + '\t' + "Name " + QByteArray::number(n) + '\t';
        const QByteArray dump = StrToHexDump(allBytes());
        const QByteArray alphabet("0123456789ABCDEFabcdef\t\t\t.\x00\xFF Gz", 32);

        for (int round = 0; round < 4000; ++round) {
            QByteArray input;
            switch (round % 3) {
            case 0: {
                const int len = rng.bounded(200);
                for (int k = 0; k < len; ++k)
                    input += char(rng.bounded(256));
                break;
            }
            case 1: {
                const int len = rng.bounded(120);
                for (int k = 0; k < len; ++k)
                    input += alphabet[rng.bounded(int(alphabet.size()))];
                break;
            }
            default: {
                const QByteArray &source = round % 2 ? valid : dump;
                input = source.left(rng.bounded(int(source.size()) + 1));
                break;
            }
            }

            TNamenListe namen;
            NamenTextLesen(input, namen);
            QCOMPARE(namen[0], frei);
            for (const QByteArray &name : namen)
                QVERIFY(name.size() <= 20);

            const QByteArray bytes = HexDumpToStr(input);
            QCOMPARE(bytes.size(), input.size() / 2);
            if (input.size() <= dump.size() && dump.startsWith(input))
                QCOMPARE(bytes, allBytes().left(input.size() / 2));

            const QString ip = QString::fromLatin1(input.left(20));
            const QString checked = CheckIPAddress(ip);
            QVERIFY(checked.isEmpty() || checked == ip);
            if (!checked.isEmpty()) {
                QHostAddress host;
                QVERIFY(host.setAddress(SocketIPAddress(ip)));
                QCOMPARE(host.protocol(), QAbstractSocket::IPv4Protocol);
            }
        }
    }

private:
    static QByteArray FormatHexForTest(int n) { return QByteArray::number(n, 16).toUpper(); }

    TBeepHook m_previousBeep;
};

QTEST_MAIN(TstVokabular)
#include "tst_Vokabular.moc"

// The frame byte by byte and the answer check as a table, without sockets.
#include "uXqxOfen.h"

#include <QtTest>

namespace {

// Written apart from the program's own frame code, so one slip cannot hide in both.
QByteArray frame(const QByteArray &text, const char *cks = nullptr)
{
    unsigned x = 0x05;
    for (char c : text)
        x ^= static_cast<unsigned char>(c);
    const QByteArray digits = cks ? QByteArray(cks) : QByteArray::number(x, 16).rightJustified(2, '0').toUpper();
    return QByteArray("\x02\x05") + text + '\x04' + digits + '\x03';
}

const QByteArray kHost = "127.0.0.1";

} // namespace

Q_DECLARE_METATYPE(TUrteil)

class tst_Rahmen : public QObject
{
    Q_OBJECT
private slots:
    void goldeneRahmen_data();
    void goldeneRahmen();
    void pruefen_data();
    void pruefen();
};

void tst_Rahmen::goldeneRahmen_data()
{
    QTest::addColumn<QByteArray>("text");
    QTest::addColumn<QByteArray>("hex");
    QTest::newRow("PING") << QByteArray("PING") << QByteArray("02 05 50 49 4E 47 04 31 35 03");
    QTest::newRow("STAT") << QByteArray("STAT") << QByteArray("02 05 53 54 41 54 04 31 37 03");
    QTest::newRow("TRX ACK") << QByteArray("TRX \x06") << QByteArray("02 05 54 52 58 20 06 04 37 44 03");
    QTest::newRow("TRX NAK") << QByteArray("TRX \x15") << QByteArray("02 05 54 52 58 20 15 04 36 45 03");
    QTest::newRow("BPRG 0001") << QByteArray("BPRG0001")
                               << QByteArray("02 05 42 50 52 47 30 30 30 31 04 30 33 03");
    QTest::newRow("leer") << QByteArray() << QByteArray("02 05 04 30 35 03");
}

void tst_Rahmen::goldeneRahmen()
{
    QFETCH(QByteArray, text);
    QFETCH(QByteArray, hex);
    QCOMPARE(RahmenBilden(text).toHex(' ').toUpper(), hex);
    // What the program writes, the check takes as a sound frame.
    NeuerBefehl ping = SB_PING;
    const TPruefung p = PruefeAntwort(RahmenBilden(text), ping, kHost);
    QVERIFY(p.Urteil == TUrteil::Gut || p.Urteil == TUrteil::TrxAck || p.Urteil == TUrteil::Fehler);
    if (!text.startsWith("TRX ")) {
        QCOMPARE(p.Urteil, TUrteil::Gut);
        QCOMPARE(p.Text, RahmenBilden(text).mid(2));
    }
}

void tst_Rahmen::pruefen_data()
{
    QTest::addColumn<QByteArray>("zeile");
    QTest::addColumn<QByteArray>("befehl");
    QTest::addColumn<TUrteil>("urteil");
    QTest::addColumn<QByteArray>("meldung");
    QTest::addColumn<bool>("nak");
    QTest::addColumn<bool>("aufgeben");
    QTest::addColumn<QByteArray>("cksZeile");
    QTest::addColumn<QByteArray>("text");

    const QByteArray p = "127.0.0.1_PING: ";
    const QByteArray no;
    auto fehler = [&](const char *name, const QByteArray &zeile, const QByteArray &meldung, bool nak) {
        QTest::newRow(name) << zeile << QByteArray("SB_PING") << TUrteil::Fehler << meldung << nak << false << no << no;
    };

    // Failure texts of the link itself.
    fehler("ERROR des Senders", "ERROR03: Host 127.0.0.1 not available!", "ERROR03: Host 127.0.0.1 not available!", false);
    fehler("ERROR des Servers", "ERROR-ReadlnTimeOut", "ERROR-ReadlnTimeOut", false);
    fehler("TIMEOUT", "TIMEOUT", p + "TIMEOUT - no answer!", false);
    fehler("TIMEOUT nur enthalten", "xTIMEOUT", p + "Start-Zeichen fehlt!", true);

    // Error words of the controller: no acknowledgement at all.
    fehler("EPAR", frame("pingEPAR"), p + "PARAMETERFEHLER", false);
    fehler("EPAR ohne Rahmen", "EPAR", p + "PARAMETERFEHLER", false);
    QTest::newRow("EUCD gibt auf") << frame("EUCD") << QByteArray("SB_PING") << TUrteil::Fehler
                                   << p + "UNKNOWN COMMAND" << false << true << no << no;
    QTest::newRow("EUCD auf BPL2") << frame("EUCD") << QByteArray("SB_BPL2") << TUrteil::NochmalAlsBpli << no
                                   << false << false << no << no;

    // The controller's own acknowledgement.
    QTest::newRow("TRX ACK") << frame("TRX \x06") << QByteArray("SB_PING") << TUrteil::TrxAck << no << false
                             << false << no << no;
    fehler("TRX NAK", frame("TRX \x15"), p + "TRX_NAK_Empfangen!", false);
    fehler("TRX anderes", frame("TRX X"), p + "TRX_???_Empfangen!", false);
    fehler("TRX ohne Zeichen", QByteArray("\x02\x05TRX \x04\x37\x44\x03"), p + "TRX_???_Empfangen!", false);

    // Frame tests in their order; each asks for a NAK.
    fehler("leer", "", p + "Start-Zeichen fehlt!", true);
    fehler("ETX allein", "\x03", p + "Start-Zeichen fehlt!", true);
    fehler("ohne STX", frame("ping").mid(1), p + "Start-Zeichen fehlt!", true);
    fehler("ohne ETX", frame("ping").chopped(1), p + "End-Zeichen fehlt!", true);
    auto cks = [&](const char *name, const QByteArray &zeile, const QByteArray &cksZeile) {
        QTest::newRow(name) << zeile << QByteArray("SB_PING") << TUrteil::Fehler
                            << p + "Falsche Checksumme von Steuerung!" << true << false << cksZeile << no;
    };
    cks("falsche Checksumme", frame("ping", "00"), "Cks ber.:15;Cks XQ:00;POS:0lenber.:10;lenxq:10");
    cks("kleine Hexziffern", frame("herd", "1e"), "Cks ber.:1E;Cks XQ:1e;POS:0lenber.:10;lenxq:10");
    cks("STX ETX", QByteArray("\x02\x03"), QByteArray("Cks ber.:00;Cks XQ:\x02;POS:0lenber.:2;lenxq:2"));
    cks("ETX an Stelle 2", QByteArray("\x02\x03x"), QByteArray("Cks ber.:00;Cks XQ:\x02;POS:0lenber.:2;lenxq:3"));
    cks("STX ENQ ETX", QByteArray("\x02\x05\x03"), QByteArray("Cks ber.:00;Cks XQ:\x02\x05;POS:0lenber.:3;lenxq:3"));
    // The computed digits also stand in the text: POS says where.
    cks("Checksumme im Text", QByteArray("\x02\x05" "15@T\x04" "00\x03"), "Cks ber.:15;Cks XQ:00;POS:3lenber.:10;lenxq:10");
    fehler("EOT fehlt", QByteArray("\x02\x05pingX15\x03"), p + "EOT fehlt!", true);
    fehler("kurz ohne EOT", QByteArray("\x02\x05" "00\x03"), p + "EOT fehlt!", true);

    // Sound frames.
    QTest::newRow("gut") << frame("ping") << QByteArray("SB_PING") << TUrteil::Gut << no << false << false << no
                         << frame("ping").mid(2);
    QTest::newRow("gut mit Rest") << frame("ping") + "\r" << QByteArray("SB_PING") << TUrteil::Gut << no << false
                                  << false << no << frame("ping").mid(2) + "\r";
    QTest::newRow("gut ohne Inhalt") << QByteArray("\x02\x04" "00\x03") << QByteArray("SB_PING") << TUrteil::Gut
                                     << no << false << false << no << QByteArray("\x02\x04" "00\x03");
    QTest::newRow("NAK nach TAB") << frame("bprg\t\x15") << QByteArray("SB_BPRG") << TUrteil::Verweigert
                                  << QByteArray("127.0.0.1_BPRG: ") << false << false << no << frame("bprg\t\x15").mid(2);
    QTest::newRow("NAK ohne TAB") << frame("load\x15" "3") << QByteArray("SB_LOAD") << TUrteil::Verweigert
                                  << QByteArray("127.0.0.1_LOAD: ") << false << false << no << frame("load\x15" "3").mid(2);
    QTest::newRow("NAK vor TAB") << frame("lo\x15" "ad\t3") << QByteArray("SB_LOAD") << TUrteil::Gut << no << false
                                 << false << no << frame("lo\x15" "ad\t3").mid(2);

    // Where EPAR / EUCD are data and where they are not.
    const QByteArray prg = "BPRG0001\t##HEAD\tNAME=SEPARAT EUCD\t##/HEAD\t##BODY\t##/BODY";
    QTest::newRow("EPAR im Programmtext") << frame(prg) << QByteArray("SB_BPRG") << TUrteil::Gut << no << false
                                          << false << no << frame(prg).mid(2);
    fehler("EPAR im BPRG ohne Programmtext", frame("BPRG0001\tEPAR"), p + "PARAMETERFEHLER", false);
    fehler("EPAR vor dem Programmtext", frame("BPRGEPAR\t##HEAD\t##/BODY"), p + "PARAMETERFEHLER", false);
    const QByteArray namen = "bpl20001\tSEPARAT\t0002\tEUCD\t00C7\tx EPAR";
    QTest::newRow("EPAR im Namen") << frame(namen) << QByteArray("SB_BPL2") << TUrteil::Gut << no << false << false
                                   << no << frame(namen).mid(2);
    QTest::newRow("EUCD statt Namensliste") << frame("bpl2EUCD") << QByteArray("SB_BPL2") << TUrteil::NochmalAlsBpli
                                            << no << false << false << no << no;
    fehler("EPAR nach kleiner Nummer", frame("bpli000a\tEPAR\t"), p + "PARAMETERFEHLER", false);
    fehler("EPAR in anderer Antwort", frame("stat0\t1\t\tEPARNAME\t"), p + "PARAMETERFEHLER", false);
    fehler("EPAR ohne STX", frame(prg).mid(1) + "EPAR", p + "PARAMETERFEHLER", false);
}

void tst_Rahmen::pruefen()
{
    QFETCH(QByteArray, zeile);
    QFETCH(QByteArray, befehl);
    QFETCH(TUrteil, urteil);
    QFETCH(QByteArray, meldung);
    QFETCH(bool, nak);
    QFETCH(bool, aufgeben);
    QFETCH(QByteArray, cksZeile);
    QFETCH(QByteArray, text);

    NeuerBefehl aktuell;
    for (const NeuerBefehl &b : Befehlstabelle) {
        if (b.Name == befehl)
            aktuell = b;
    }
    QVERIFY(!aktuell.Name.isEmpty());
    const TPruefung p = PruefeAntwort(zeile, aktuell, kHost);
    QCOMPARE(p.Urteil, urteil);
    QCOMPARE(p.Meldung, meldung);
    QCOMPARE(p.NakSenden, nak);
    QCOMPARE(p.Aufgeben, aufgeben);
    QCOMPARE(p.CksZeile, cksZeile);
    QCOMPARE(p.Text, text);
}

QTEST_APPLESS_MAIN(tst_Rahmen)
#include "tst_Rahmen.moc"

// The answer check as a table, without sockets (the frames themselves are checked on the wire).
#include "support/LinkTestHilfe.h"

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

// The verdict in one line: "Gut:<text>", "Verweigert:<message>", "Fehler[+NAK][+aus]:<message>",
// "TrxAck", "BPLI", and after " | " the checksum line when there is one.
QByteArray urteil(const TPruefung &p)
{
    static const char *namen[] = {"Gut", "Verweigert", "Fehler", "TrxAck", "BPLI"};
    QByteArray s = namen[int(p.Urteil)];
    s += p.NakSenden ? "+NAK" : "";
    s += p.Aufgeben ? "+aus" : "";
    if (p.Urteil == TUrteil::Gut)
        s += ':' + p.Text;
    else if (!p.Meldung.isEmpty())
        s += ':' + p.Meldung;
    return p.CksZeile.isEmpty() ? s : s + " | " + p.CksZeile;
}

} // namespace

class tst_Rahmen : public QObject
{
    Q_OBJECT
private slots:
    void pruefen_data();
    void pruefen();
};

void tst_Rahmen::pruefen_data()
{
    QTest::addColumn<QByteArray>("zeile");
    QTest::addColumn<QByteArray>("befehl");
    QTest::addColumn<QByteArray>("erwartet");
    auto ping = [](const char *name, const QByteArray &zeile, const QByteArray &erwartet) {
        QTest::newRow(name) << zeile << QByteArray("SB_PING") << erwartet;
    };
    const QByteArray f = "Fehler:127.0.0.1_PING: ";
    const QByteArray n = "Fehler+NAK:127.0.0.1_PING: ";
    const QByteArray cks = "Falsche Checksumme von Steuerung! | Cks ber.:";

    // Failure texts of the link itself.
    ping("ERROR des Senders", "ERROR03: Host 127.0.0.1 not available!", "Fehler:ERROR03: Host 127.0.0.1 not available!");
    ping("ERROR des Servers", "ERROR-ReadlnTimeOut", "Fehler:ERROR-ReadlnTimeOut");
    ping("TIMEOUT", "TIMEOUT", f + "TIMEOUT - no answer!");
    ping("TIMEOUT nur enthalten", "xTIMEOUT", n + "Start-Zeichen fehlt!");

    // Error words of the controller: no acknowledgement at all.
    ping("EPAR", frame("pingEPAR"), f + "PARAMETERFEHLER");
    ping("EUCD gibt auf", frame("EUCD"), "Fehler+aus:127.0.0.1_PING: UNKNOWN COMMAND");
    QTest::newRow("EUCD auf BPL2") << frame("EUCD") << QByteArray("SB_BPL2") << QByteArray("BPLI");

    // The controller's own acknowledgement.
    ping("TRX ACK", frame("TRX \x06"), "TrxAck");
    ping("TRX NAK", frame("TRX \x15"), f + "TRX_NAK_Empfangen!");
    ping("TRX anderes", frame("TRX X"), f + "TRX_???_Empfangen!");
    ping("TRX ohne Zeichen", QByteArray("\x02\x05TRX \x04\x37\x44\x03"), f + "TRX_???_Empfangen!");

    // Frame tests in their order; each asks for a NAK. Short lines never read outside.
    ping("leer", "", n + "Start-Zeichen fehlt!");
    ping("ETX allein", "\x03", n + "Start-Zeichen fehlt!");
    ping("ohne ETX", frame("ping").chopped(1), n + "End-Zeichen fehlt!");
    ping("falsche Checksumme", frame("ping", "00"), n + cks + "15;Cks XQ:00;POS:0lenber.:10;lenxq:10");
    ping("kleine Hexziffern", frame("herd", "1e"), n + cks + "1E;Cks XQ:1e;POS:0lenber.:10;lenxq:10");
    ping("STX ETX", QByteArray("\x02\x03"), n + cks + "00;Cks XQ:\x02;POS:0lenber.:2;lenxq:2");
    ping("ETX an Stelle 2", QByteArray("\x02\x03x"), n + cks + "00;Cks XQ:\x02;POS:0lenber.:2;lenxq:3");
    ping("Checksumme im Text", QByteArray("\x02\x05" "15@T\x04" "00\x03"), n + cks + "15;Cks XQ:00;POS:3lenber.:10;lenxq:10");
    ping("EOT fehlt", QByteArray("\x02\x05pingX15\x03"), n + "EOT fehlt!");
    ping("kurz ohne EOT", QByteArray("\x02\x05" "00\x03"), n + "EOT fehlt!");

    // Sound frames, with a refusal after the first TAB.
    ping("gut", frame("ping"), "Gut:" + frame("ping").mid(2));
    ping("gut ohne Inhalt", QByteArray("\x02\x04" "00\x03"), QByteArray("Gut:\x02\x04" "00\x03"));
    ping("NAK nach TAB", frame("bprg\t\x15"), "Verweigert:127.0.0.1_PING: ");
    ping("NAK ohne TAB", frame("load\x15" "3"), "Verweigert:127.0.0.1_PING: ");
    ping("NAK vor TAB", frame("lo\x15" "ad\t3"), "Gut:" + frame("lo\x15" "ad\t3").mid(2));

    // Where EPAR / EUCD are data and where they are not.
    const QByteArray prg = "BPRG0001\t##HEAD\tNAME=SEPARAT EUCD\t##/HEAD\t##BODY\t##/BODY";
    ping("EPAR im Programmtext", frame(prg), "Gut:" + frame(prg).mid(2));
    ping("EPAR im BPRG ohne Programmtext", frame("BPRG0001\tEPAR"), f + "PARAMETERFEHLER");
    ping("EPAR vor dem Programmtext", frame("BPRGEPAR\t##HEAD\t##/BODY"), f + "PARAMETERFEHLER");
    const QByteArray namen = "bpl20001\tSEPARAT\t0002\tEUCD\t00C7\tx EPAR";
    ping("EPAR im Namen", frame(namen), "Gut:" + frame(namen).mid(2));
    ping("EPAR nach kleiner Nummer", frame("bpli000a\tEPAR\t"), f + "PARAMETERFEHLER");
    const QByteArray kurz = "bpl21\tSEPARAT\tC7\tEUCD\t0A\tx";
    ping("EPAR nach kurzer Nummer", frame(kurz), "Gut:" + frame(kurz).mid(2));
    ping("EPAR nach fuenf Ziffern", frame("bpl200001\tEPAR\t"), f + "PARAMETERFEHLER");
    // A deck runs a program whose name holds the letters.
    const QByteArray herd = "herd00\t0001\tSEPARAT\t0258\t00E6\t00F0\t1071\t0002\t50\x05"
                            "herd01\t0002\tEUCD-Brot\t0000\t0014\t0000\t0000\t0000\t00\x05";
    ping("EPAR im Decknamen", frame(herd), "Gut:" + frame(herd).mid(2));
    ping("EPAR als Antwort auf HERD", frame("herd\tEPAR"), f + "PARAMETERFEHLER");
    ping("EPAR im Feld nach dem Namen", frame("herd00\t0001\tN\tEPAR\t00E6\t"), f + "PARAMETERFEHLER");
    ping("EPAR im Namen ohne Feldende", frame("herd00\t0001\tSEPARAT"), f + "PARAMETERFEHLER");
    ping("EPAR in anderer Antwort", frame("stat0\t1\t\tEPARNAME\t"), f + "PARAMETERFEHLER");
    ping("EPAR ohne STX", frame(prg).mid(1) + "EPAR", f + "PARAMETERFEHLER");
}

void tst_Rahmen::pruefen()
{
    QFETCH(QByteArray, zeile);
    QFETCH(QByteArray, befehl);
    QFETCH(QByteArray, erwartet);
    QCOMPARE(urteil(AntwortBeurteilen(zeile, Befehl(befehl), "127.0.0.1")), erwartet);
}

QTEST_APPLESS_MAIN(tst_Rahmen)
#include "tst_Rahmen.moc"

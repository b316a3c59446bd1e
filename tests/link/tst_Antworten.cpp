// What the link does with the controller's answers: against the stand-in over loopback TCP
// where the road matters, and by direct calls for the field readers.
#include "support/LinkTestHilfe.h"

#include "app/Zahlformat.h"

#include <QtTest>

namespace {

const QString kNichtGeoeffnet = QStringLiteral("Backprogramm kann\r\nnicht geöffnet werden!");

// The text as the answer check hands it on: word and fields, EOT, checksum digits, ETX.
QByteArray geprueft(const QByteArray &text)
{
    return RahmenBilden(text).sliced(2);
}

// The tagged fields of a status text after its time stamp, as "KEY=value".
QStringList felder(const QByteArray &satz)
{
    QStringList out;
    const QList<QByteArray> teile = satz.split('\x05');
    for (qsizetype i = 1; i < teile.size(); ++i)
        out << QString::fromLatin1(teile[i]).replace(QChar(0x0F), QLatin1Char('='));
    return out;
}

QByteArray programm(const QByteArray &name)
{
    return TXqSimController::demoProgramText(name, 230, 1080, 20);
}

} // namespace

class tst_Antworten : public TLinkTest
{
    Q_OBJECT
private slots:
    void uhrUndVersion();
    void statFelder_data();
    void statFelder();
    void herdZweiDecks();
    void herdKurzUndKaputt();
    void bprgLesenUndSchreiben();
    void bprgNakOhneTab();
    void bprgNichtUebergeben_data();
    void bprgNichtUebergeben();
    void bprgWiederholteAntwort();
    void bprgSpaeteQuittung();
    void bprgUnterNoWait();
    void programmForm_data();
    void programmForm();
    void herdStatusBits_data();
    void herdStatusBits();
    void ladenVerweigert_data();
    void ladenVerweigert();
    void nachtstarts();
    void namensliste();
};

void tst_Antworten::uhrUndVersion()
{
    a->sim.controller().setClock(QDateTime(QDate(2024, 3, 9), QTime(5, 6, 7)));
    a->reihe(SB_ZEIT);
    a->reihe(SB_STAT);
    QVERIFY(warte([&] { return !a->host.version.isEmpty(); }));
    QCOMPARE(a->host.xqZeit.left(16), QStringLiteral("09.03.2024 05:06"));
    QCOMPARE(a->host.version, QStringLiteral("XQ7310*1.2.3.4*10.11.12"));
    // Only answers to program and name-list requests restart the editor's watchdog.
    QCOMPARE(a->signale, QStringList());
    QCOMPARE(a->host.fehler, QStringList());
}

void tst_Antworten::statFelder_data()
{
    QTest::addColumn<QByteArray>("felder");
    QTest::addColumn<QStringList>("zeilen");
    QTest::newRow("Typ 2 setzt HAnz auf 0")
        << QByteArray("2\t4\tA\t00FF\tXQ\t0A000001\t010203")
        << QStringList{"Typ: 2", "HAnz: 0", "Gruppen: A", "SchwadDM: 255", "XQName: XQ", "XQVer: 10.0.0.1", "LTVer: 1.2.3"};
    QTest::newRow("HAnz leer gibt 1, Typ kein Wert gibt 0")
        << QByteArray("x\t\tG\t00ff\tN\t01020304\t0A0B0C")
        << QStringList{"Typ: 0", "HAnz: 1", "Gruppen: G", "SchwadDM: -1", "XQName: N", "XQVer: 1.2.3.4", "LTVer: 10.11.12"};
    QTest::newRow("keine Felder")
        << QByteArray()
        << QStringList{"Typ: 0", "HAnz: 1", "Gruppen: ", "SchwadDM: -1", "XQName: ", "XQVer: -1.-1.-1.-1", "LTVer: -1.-1.-1"};
}

void tst_Antworten::statFelder()
{
    QFETCH(QByteArray, felder);
    QFETCH(QStringList, zeilen);
    a->link->AntwortStat(geprueft("stat" + felder));
    QCOMPARE(a->host.antworten, zeilen);
    QCOMPARE(a->host.version, zeilen[4].mid(8) + u'*' + zeilen[5].mid(7) + u'*' + zeilen[6].mid(7));
}

void tst_Antworten::herdZweiDecks()
{
    a->sim.controller().decks() = {TXqSimDeck{0x1A, "Roggenbrot", 0x0258, 0x00E6, 0x00F0, 0x1071, 0x0002, "50"},
                                   TXqSimDeck{0, "", 0, 0x0014, 0, 0x0000, 0, "00"}};
    // The status text's life runs fast from the answer on.
    connect(&a->sim, &TXqSim::answerSent, this, [] { SetTimeScale(kSchnell); });
    a->reihe(SB_HERD);
    QVERIFY(warte([&] { return !a->link->Statussatz.isEmpty(); }));
    QCOMPARE(felder(a->link->Statussatz),
             (QStringList{"ID=1", "TYP=96", "STATEIN=0", "STATUS1=7", "HEIZ1=17", "BPRNR=26", "BZ=600", "OH=230",
                          "OHS=240", "UH=0", "UHS=0", "ABZUG=50", "BPRGNAME=Roggenbrot", "END=",
                          "ID=2", "TYP=96", "STATEIN=1", "STATUS1=0", "HEIZ1=0", "BPRNR=0", "BZ=0", "OH=20",
                          "OHS=0", "UH=0", "UHS=0", "ABZUG=00", "BPRGNAME=", "END="}));
    // Without further "herd" answers the status text lives 5000 ms (time-scaled).
    QVERIFY(warte([&] { return a->link->Statussatz.isEmpty(); }));
}

void tst_Antworten::herdKurzUndKaputt()
{
    // Lower-case and odd hex, a record without TABs, no ENQ after the last one (that used to
    // loop for ever): every field falls back, nothing is read twice or past the text.
    a->link->OfenIdBasis = 10;
    a->link->AntwortHerd(geprueft("herd03\t1a\tN\tzz\t\t0\t2000xyz\t0001\t12345\x05herd01\x05herd\t1\t\t\t\t\t107\t"));
    QStringList f = felder(a->link->Statussatz);
    f.removeIf([](const QString &x) { return x.startsWith(u"TYP=") || x.startsWith(u"UH") || x == u"END="; });
    QCOMPARE(f, (QStringList{"ID=14", "STATEIN=3", "STATUS1=0", "HEIZ1=1", "BPRNR=-1", "BZ=-1", "OH=-1", "OHS=0", "ABZUG=12", "BPRGNAME=N",
                             "ID=12", "STATEIN=1", "STATUS1=0", "HEIZ1=0", "BPRNR=-1", "BZ=-1", "OH=-1", "OHS=-1", "ABZUG=", "BPRGNAME=",
                             "ID=11", "STATEIN=1", "STATUS1=0", "HEIZ1=0", "BPRNR=1", "BZ=-1", "OH=-1", "OHS=-1", "ABZUG=", "BPRGNAME="}));
}

void tst_Antworten::bprgLesenUndSchreiben()
{
    const QByteArray text = programm("Weizenbrot");
    a->sim.controller().setProgram(5, text);
    const QByteArray schreiben = programm("Mischbrot").replace("\r\n", "\t");
    a->reihe(SB_BPRG, QByteArray("0005"));
    a->reihe(SB_BPRG, "000A\t" + schreiben);
    a->reihe(SB_BPRG, QByteArray("0007"));   // a free slot
    QVERIFY(warte([&] { return a->host.meldungen.size() == 1; }));
    // The watchdog restart comes first, then the program with its number in decimal.
    QCOMPARE(a->signale, (QStringList{"TimeOut", "Antwort:5:" + QString::fromLatin1(text), "TimeOut",
                                     "Antwort:-1:SendACK", "TimeOut"}));
    QCOMPARE(a->host.meldungen, QStringList{kNichtGeoeffnet});
    QVERIFY(a->sim.controller().hasProgram(10));
    QCOMPARE(a->host.fehler, QStringList());
}

void tst_Antworten::bprgNakOhneTab()
{
    // Refused in the answer check: tried three times, then the "Fehler" box with the bare
    // prefix; no handler sees it.
    a->sim.addFault("BPRG", TXqSimFault::raw(RahmenBilden("bprg\x15") + '\n'), 3);
    a->reihe(SB_BPRG, QByteArray("DELETE\t0005"));
    QVERIFY(warte([&] { return a->host.meldungen.size() == 1; }));
    QCOMPARE(a->host.meldungen, QStringList{QStringLiteral("127.0.0.2_BPRG: ")});
    QCOMPARE(a->sim.count("BPRG"), 3);
    QVERIFY(warte([&] { return a->sim.acknowledgements('\x06') == 3; }));
    QCOMPARE(a->signale, QStringList());
}

void tst_Antworten::bprgNichtUebergeben_data()
{
    QTest::addColumn<int>("nummer");
    QTest::addColumn<QString>("fehler");
    QTest::newRow("00C8") << 200 << QStringLiteral("Falsches PrgFormat");
    QTest::newRow("FFFF") << 0xFFFF << QStringLiteral("Falsches PrgFormat");
    QTest::newRow("6 statt 5") << 0 << QStringLiteral("BPRG0006: nicht angefordert");
}

void tst_Antworten::bprgNichtUebergeben()
{
    QFETCH(int, nummer);
    QFETCH(QString, fehler);
    a->sim.controller().setProgram(5, programm("Weizenbrot"));
    a->sim.controller().setProgram(6, programm("Roggenbrot"));
    a->sim.addFault("BPRG", TXqSimFault::wrongNumber(nummer));
    a->reihe(SB_BPRG, QByteArray("0005"));
    QVERIFY(warte([&] { return !a->host.fehler.isEmpty() && a->sim.acknowledgements('\x06') == 1; }));
    QTest::qWait(100);
    QCOMPARE(a->host.fehler, QStringList{fehler});
    // Acknowledged and ended: not asked again, nothing handed to the editor.
    QCOMPARE(a->sim.count("BPRG"), 1);
    QCOMPARE(a->signale, QStringList{QStringLiteral("TimeOut")});
}

void tst_Antworten::bprgWiederholteAntwort()
{
    // The controller repeats an answer whose acknowledgement it missed: the program is taken
    // once, the repeat is only logged and acknowledged.
    const QByteArray text = programm("Weizenbrot");
    a->sim.controller().setProgram(5, text);
    a->sim.addFault("BPRG", TXqSimFault::of(TXqSimFault::Duplicate));
    a->reihe(SB_BPRG, QByteArray("0005"));
    QVERIFY(warte([&] { return a->sim.acknowledgements('\x06') == 2 && !a->host.fehler.isEmpty(); }));
    QCOMPARE(a->host.fehler, QStringList{QStringLiteral("BPRG0005: nicht angefordert")});
    QCOMPARE(a->signale, (QStringList{"TimeOut", "Antwort:5:" + QString::fromLatin1(text)}));
    QCOMPARE(a->sim.count("BPRG"), 1);
}

void tst_Antworten::bprgSpaeteQuittung()
{
    // The controller acknowledges the first attempt only after the repeat went out: both
    // acknowledgements come, and the write is confirmed once.
    SetTimeScale(kSchnell);
    connect(&a->sim, &TXqSim::frameReceived, this,
            [this](const TXqSimFrame &f) { a->sim.setAnswersHeld(f.word == "BPRG" && a->sim.count("BPRG") == 1); });
    // The repeat at the program's timing: its answer must not time out as well.
    a->host.beiFehler = [](const QString &t) {
        if (t.endsWith(QLatin1String("TIMEOUT - no answer!")))
            SetTimeScale(kProgrammZeit);
    };
    a->reihe(SB_BPRG, "000A\t" + programm("Mischbrot").replace("\r\n", "\t"));
    QVERIFY(warte([&] { return a->sim.acknowledgements('\x06') == 2 && a->ruhig(); }));
    QCOMPARE(a->sim.count("BPRG"), 2);
    QCOMPARE(a->signale.filter(QStringLiteral("SendACK")), QStringList{QStringLiteral("Antwort:-1:SendACK")});
    QCOMPARE(a->host.meldungen, QStringList());
}

void tst_Antworten::bprgUnterNoWait()
{
    // Without waiting, two reads and a PING go out before the first answer comes; each read's
    // answer is still its own.
    const QByteArray text5 = programm("Weizenbrot"), text6 = programm("Roggenbrot");
    a->host.noWait = true;
    a->sim.controller().setProgram(5, text5);
    a->sim.controller().setProgram(6, text6);
    a->sim.setAnswersHeld(true);
    a->reihe(SB_BPRG, QByteArray("0005"));
    a->reihe(SB_BPRG, QByteArray("0006"));
    a->reihe(SB_PING);
    QVERIFY(warte([&] { return a->sim.count("PING") == 1; }));
    a->sim.setAnswersHeld(false);
    QVERIFY(warte([&] { return a->sim.acknowledgements('\x06') == 3 && a->ruhig(); }));
    QCOMPARE(a->host.fehler, QStringList());
    QCOMPARE(a->signale, (QStringList{"TimeOut", "Antwort:5:" + QString::fromLatin1(text5), "TimeOut",
                                     "Antwort:6:" + QString::fromLatin1(text6)}));
}

void tst_Antworten::programmForm_data()
{
    // What follows "BPRG0005" in the answer.
    QTest::addColumn<QByteArray>("rest");
    QTest::addColumn<QString>("fehler");
    const QString falsch = QStringLiteral("Falsches PrgFormat");
    QTest::newRow("gut") << QByteArray("\t##HEAD\t##/HEAD\t##BODY\t##/BODY") << QStringLiteral("BPRG0005: nicht angefordert");
    QTest::newRow("nur ##/BODY") << QByteArray("\t##/BODY") << falsch;
    QTest::newRow("kein TAB nach der Nummer") << QByteArray("##HEAD\t##/HEAD\t##BODY\t##/BODY") << falsch;
    QTest::newRow("etwas vor ##HEAD") << QByteArray("\tx\t##HEAD\t##/HEAD\t##BODY\t##/BODY") << falsch;
    QTest::newRow("ohne ##/HEAD") << QByteArray("\t##HEAD\t##BODY\t##/BODY") << falsch;
    QTest::newRow("ohne ##BODY") << QByteArray("\t##HEAD\t##/HEAD\t##/BODY") << falsch;
    QTest::newRow("ohne ##/BODY") << QByteArray("\t##HEAD\t##/HEAD\t##BODY\tEND") << falsch;
    QTest::newRow("##BODY vor ##/HEAD") << QByteArray("\t##HEAD\t##BODY\t##/HEAD\t##/BODY") << falsch;
    QTest::newRow("##BODY nach ##/BODY") << QByteArray("\t##HEAD\t##/HEAD\t##/BODY\t##BODY") << falsch;
    QTest::newRow("Feld nach ##/BODY") << QByteArray("\t##HEAD\t##/HEAD\t##BODY\t##/BODY\tx") << falsch;
    QTest::newRow("##/BODY ohne eigenes Feld") << QByteArray("\t##HEAD\t##/HEAD\t##BODY##/BODY") << falsch;
    // A marker counts only as a field of its own; in a name it is data.
    const QString gut = QStringLiteral("BPRG0005: nicht angefordert");
    QTest::newRow("Name ##/BODY") << QByteArray("\t##HEAD\tNAME =##/BODY\t##/HEAD\t##BODY\t##/BODY") << gut;
    QTest::newRow("Name ##BODY") << QByteArray("\t##HEAD\tNAME =##BODY\t##/HEAD\t##BODY\t##/BODY") << gut;
    QTest::newRow("##/BODY mit Anhang") << QByteArray("\t##HEAD\t##/HEAD\t##BODY\t##/BODYX") << falsch;
}

void tst_Antworten::programmForm()
{
    QFETCH(QByteArray, rest);
    QFETCH(QString, fehler);
    a->link->AntwortBprgDaten(geprueft("BPRG0005" + rest));
    QCOMPARE(a->host.fehler, QStringList{fehler});
    QCOMPARE(a->signale, QStringList());
}

void tst_Antworten::herdStatusBits_data()
{
    // Status words 1 and 2 as the deck record carries them.
    QTest::addColumn<QByteArray>("w1");
    QTest::addColumn<QByteArray>("w2");
    QTest::addColumn<QStringList>("werte");   // STATEIN, STATUS1, HEIZ1
    QTest::newRow("Bit 4 allein") << QByteArray("0010") << QByteArray("0000") << QStringList{"STATEIN=1", "STATUS1=4", "HEIZ1=0"};
    QTest::newRow("Bit 5 allein") << QByteArray("0020") << QByteArray("0000") << QStringList{"STATEIN=1", "STATUS1=2", "HEIZ1=0"};
    QTest::newRow("Bit 0 allein") << QByteArray("0001") << QByteArray("0000") << QStringList{"STATEIN=1", "STATUS1=1", "HEIZ1=0"};
    QTest::newRow("Heizen") << QByteArray("0040") << QByteArray("0004") << QStringList{"STATEIN=1", "STATUS1=0", "HEIZ1=17"};
    QTest::newRow("Wort 2 Bit 3") << QByteArray("0000") << QByteArray("0008") << QStringList{"STATEIN=1", "STATUS1=0", "HEIZ1=0"};
    QTest::newRow("aus") << QByteArray("1000") << QByteArray("0000") << QStringList{"STATEIN=0", "STATUS1=0", "HEIZ1=0"};
    QTest::newRow("Nacht") << QByteArray("3000") << QByteArray("0000") << QStringList{"STATEIN=2", "STATUS1=0", "HEIZ1=0"};
}

void tst_Antworten::herdStatusBits()
{
    QFETCH(QByteArray, w1);
    QFETCH(QByteArray, w2);
    QFETCH(QStringList, werte);
    a->link->AntwortHerd(geprueft("herd00\t0001\tN\t0000\t0000\t0000\t" + w1 + '\t' + w2 + "\t00\x05"));
    const QStringList f = felder(a->link->Statussatz);
    QCOMPARE(f.mid(2, 3), werte);
}

void tst_Antworten::ladenVerweigert_data()
{
    // A LOAD the controller refuses, with the flags saying why. `roh`: the answer as sent,
    // else the stand-in's own for deck 0 and `programm`.
    QTest::addColumn<int>("programm");
    QTest::addColumn<bool>("laeuft");
    QTest::addColumn<QByteArray>("roh");
    QTest::addColumn<QString>("meldung");
    QTest::addColumn<int>("sendungen");
    QTest::newRow("Programm fehlt") << 0x63 << false << QByteArray() << QStringLiteral("Backprogramm nicht\r\nvorhanden!") << 1;
    QTest::newRow("Programm laeuft") << 2 << true << QByteArray() << QStringLiteral("Backprogramm läuft,\r\nkeine Änderung möglich!") << 1;
    QTest::newRow("Flags 0") << 2 << false << QByteArray("load\x15" "0\t") << QStringLiteral("Backprogramm kann\r\nnicht geändert werden!") << 1;
    QTest::newRow("Flags 3") << 2 << false << QByteArray("load\x15" "3\t") << QStringLiteral("Backprogramm läuft,\r\nkeine Änderung möglich!") << 1;
    QTest::newRow("Flags 4") << 2 << false << QByteArray("load\x15" "4\t") << QString() << 1;
    QTest::newRow("geladen") << 2 << false << QByteArray() << QString() << 1;
    // Without a TAB the NAK refuses the frame in the answer check: three attempts, its box.
    QTest::newRow("ohne TAB") << 2 << false << QByteArray("load\x15" "2") << QStringLiteral("127.0.0.2_LOAD: ") << 3;
}

void tst_Antworten::ladenVerweigert()
{
    QFETCH(int, programm);
    QFETCH(bool, laeuft);
    QFETCH(QByteArray, roh);
    QFETCH(QString, meldung);
    QFETCH(int, sendungen);
    a->sim.controller().seedDemoPrograms(3);
    if (laeuft)
        a->sim.controller().decks()[0].status1 |= 0x0001;
    if (!roh.isEmpty())
        a->sim.addFault("LOAD", TXqSimFault::raw(RahmenBilden(roh) + '\n'), sendungen);
    a->reihe(SB_LOAD, "0001\t" + FormatHex(programm, 4));
    QVERIFY(warte([&] { return a->sim.acknowledgements('\x06') == sendungen && !a->link->SendenBeschaeftigt(); }));
    QVERIFY(warte([&] { return a->host.meldungen.size() == (meldung.isEmpty() ? 0 : 1); }));
    QCOMPARE(a->host.meldungen, meldung.isEmpty() ? QStringList() : QStringList{meldung});
    QCOMPARE(a->sim.count("LOAD"), sendungen);
}

void tst_Antworten::nachtstarts()
{
    const QByteArray werte = "-1\t-1\t390" + QByteArray("\t-1").repeated(11);
    a->reihe(SB_NAST, werte);
    QVERIFY(warte([&] { return !a->env->dialoge().boxes().isEmpty(); }));
    const TBoxRequest box = a->env->dialoge().boxes().first();
    QCOMPARE(box.caption + u'|' + box.text, QStringLiteral("Achtung|Nachtstarts übertragen!"));
    QVERIFY(!box.modal);
    // A read hands the table on; so does an empty reply.
    a->reihe(SB_NAST);
    // Neither answer restarts the list editor's watchdog.
    QVERIFY(warte([&] { return a->signale.size() == 1; }));
    QCOMPARE(a->signale.last(), QStringLiteral("Nacht:") + QString::fromLatin1(werte));
    a->link->AntwortNachtstarts(geprueft("nast"));
    QCOMPARE(a->signale.last(), QStringLiteral("Nacht:"));
    QCOMPARE(a->env->dialoge().boxes().size(), 1);
}

void tst_Antworten::namensliste()
{
    a->sim.controller().setProgram(1, programm("Weizenbrot"));
    a->sim.controller().setProgram(12, programm("Roggenbrot"));
    a->link->PrgNamen[0] = "null";
    a->reihe(SB_BPLI);
    QVERIFY(warte([&] { return a->signale.size() == 2; }));
    QCOMPARE(a->signale.last(), QStringLiteral("Namen:0:0001\tWeizenbrot\t000C\tRoggenbrot\t"));
    QCOMPARE(a->link->PrgNamen[0], QByteArray("null"));
    QCOMPARE(a->link->PrgNamen[12], QByteArray("Roggenbrot"));

    // Names cut to 20, numbers past 199 or in lower case change nothing, the rest reads free.
    const QByteArray paare = "0003\tEin Name mit 25 Zeichen!!\t00C8\tZweihundert\t000a\tKlein\tZZ\tFalsch\t"
                             "00C7\tLetzter\t0004";
    a->link->AntwortBprgListe(geprueft("bpl2" + paare));
    QCOMPARE(a->link->PrgNamen[3], QByteArray("Ein Name mit 25 Zeic"));
    QCOMPARE(a->link->PrgNamen[199], QByteArray("Letzter"));
    for (int frei : {2, 4, 10, 12})
        QCOMPARE(a->link->PrgNamen[frei], QByteArray("frei free libre     "));
    // The editor gets the pairs as they came, without the word and the frame's tail.
    QCOMPARE(a->signale.last(), QStringLiteral("Namen:0:") + QString::fromLatin1(paare));
    // Unlike the editor's names, a pair numbered 0 names slot 0 here.
    a->link->AntwortBprgListe(geprueft("bpl20000\tNull\t"));
    QCOMPARE(a->link->PrgNamen[0], QByteArray("Null"));
}

QTEST_MAIN(tst_Antworten)
#include "tst_Antworten.moc"

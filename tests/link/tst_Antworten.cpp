// What the link does with the controller's answers: against the stand-in over loopback TCP
// where the road matters, and by direct calls for the field readers.
#include "support/LinkTestHilfe.h"

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
    // Every good answer restarts the editor's watchdog, whatever its word.
    QCOMPARE(a->signale, (QStringList{"TimeOut", "TimeOut"}));
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
    // A late answer after the command has ended changes nothing either.
    a->link->BefehlAktuell = SB_None;
    a->link->AntwortBprgDaten(geprueft("BPRG0005\t##HEAD\t##/HEAD\t##BODY\t##/BODY"));
    QCOMPARE(a->host.fehler.last(), QStringLiteral("BPRG0005: nicht angefordert"));
    QCOMPARE(a->signale.size(), 1);
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
    QVERIFY(warte([&] { return a->signale.size() == 3; }));
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
}

QTEST_MAIN(tst_Antworten)
#include "tst_Antworten.moc"

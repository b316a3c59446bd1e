// The link over real loopback TCP against the stand-in controller: one frame at a time,
// broken and refused answers, time-outs, repeats and giving up, the server and its set-up.
#include "support/LinkTestHilfe.h"

#include "link/uKelvor.h"

#include <QCheckBox>
#include <QElapsedTimer>
#include <QLineEdit>
#include <QListWidget>
#include <QSpinBox>
#include <QTcpServer>
#include <QTcpSocket>
#include <QtTest>

namespace {
// A command that fails every time; `stoerung` -1: nobody listens. `ende`: the error line that
// ends it; `datei`: the error-file lines after the first.
struct TAufgabe {
    QByteArray befehl, param;
    int stoerung, sendungen;
    QString ende;
    int boxen;
    QStringList datei;
};
} // namespace
Q_DECLARE_METATYPE(TAufgabe)

class tst_Link : public TLinkTest
{
    Q_OBJECT
private slots:
    void rahmenAufDemDraht();
    void einerNachDemAnderen();
    void stoerungen_data();
    void stoerungen();
    void aufgeben_data();
    void aufgeben();
    void fehlerwortAlsDaten();
    void herdRueckzug();
    void antwortVorAbschluss();
    void quittungScheitertNachHerdVerweigerung();
    void langeZeileBleibtGanz();
    void einrichten();
};

void tst_Link::rahmenAufDemDraht()
{
    // A plain listener sees exactly the bytes of each line, one connection per frame.
    QTcpServer roh;
    QVERIFY(roh.listen(kSteuerung));
    QList<QByteArray> empfangen;
    connect(&roh, &QTcpServer::newConnection, this, [&] {
        while (QTcpSocket *s = roh.nextPendingConnection()) {
            connect(s, &QTcpSocket::disconnected, s, [s, &empfangen] {
                empfangen << s->readAll();
                s->deleteLater();
            });
        }
    });
    TwXQXOfen &link = *a->link;
    link.Init(QStringLiteral("127.0.0.002"));
    link.TCPClient.Port = roh.serverPort();
    for (const auto &[b, param] : {std::pair{&SB_PING, ""}, {&SB_STAT, ""}, {&SB_TRX, "\x06"}, {&SB_TRX, "\x15"}, {&SB_BPRG, "0001"}})
        link.Senden(*b, QByteArray(param));
    QVERIFY(warte([&] { return empfangen.size() == 5 && !link.SendenBeschaeftigt(); }));
    QCOMPARE(empfangen, (QList<QByteArray>{QByteArray::fromHex("02 05 50 49 4E 47 04 31 35 03 0D 0A"),
                                           QByteArray::fromHex("02 05 53 54 41 54 04 31 37 03 0D 0A"),
                                           QByteArray::fromHex("02 05 54 52 58 20 06 04 37 44 03 0D 0A"),
                                           QByteArray::fromHex("02 05 54 52 58 20 15 04 36 45 03 0D 0A"),
                                           QByteArray::fromHex("02 05 42 50 52 47 30 30 30 31 04 30 33 03 0D 0A")}));
    QCOMPARE(a->host.befehle.first(), QStringLiteral("127.0.0.002-|STX||ENQ|PING|EOT|15|ETX|"));
    QCOMPARE(a->host.fehler, QStringList());
}

void tst_Link::einerNachDemAnderen()
{
    // The first acknowledgement is slow to go out: the next request waits for it.
    std::function<void()> weiter;
    a->link->SetAbschlussHalter([&](std::function<void()> w) {
        if (!weiter && a->host.befehle.size() == 2)
            weiter = std::move(w);
        else
            w();
    });
    for (const NeuerBefehl *b : {&SB_PING, &SB_STAT, &SB_PING, &SB_ZEIT, &SB_HERD})
        a->reihe(*b);
    a->reihe(SB_BPRG, QByteArray("DELETE\t0001"));
    QCOMPARE(a->link->MakroZeilen().size(), 5);   // the same line once only
    QVERIFY(warte([&] { return bool(weiter); }));
    QTest::qWait(100);
    QCOMPARE(Woerter(a->sim), (QStringList{"PING", "TRX ACK"}));
    weiter();
    QVERIFY(warte([&] { return a->sim.count("TRX ") == 5 && !a->link->SendenBeschaeftigt(); }));
    QTest::qWait(100);
    // Each request after the previous answer and its acknowledgement, nothing in between.
    QCOMPARE(Woerter(a->sim), (QStringList{"PING", "TRX ACK", "STAT", "TRX ACK", "ZEIT", "TRX ACK", "HERD",
                                           "TRX ACK", "BPRG", "TRX ACK"}));
    QCOMPARE(a->host.fehler, QStringList());
}

void tst_Link::stoerungen_data()
{
    // The fault hits the first request (of the first word listed); STAT follows to show the
    // queue moving on. `fehler`: the error list, each line by its beginning.
    QTest::addColumn<TXqSimFault>("stoerung");
    QTest::addColumn<QStringList>("woerter");
    QTest::addColumn<QStringList>("fehler");
    QTest::addColumn<QString>("pending");
    using F = TXqSimFault;
    auto zeile = [](const char *name, const F &f, const QStringList &w, const QStringList &e, const char *pending = "") {
        QTest::newRow(name) << f << w << e << QString::fromLatin1(pending);
    };
    const QStringList wiederholt{"PING", "TRX NAK", "PING", "TRX ACK", "STAT", "TRX ACK"};
    const QStringList nochmal{"PING", "PING", "TRX ACK", "STAT", "TRX ACK"};
    const QString p = QStringLiteral("127.0.0.2_PING: ");
    const QString zeit = p + QStringLiteral("TIMEOUT - no answer!");
    const QString cks = p + QStringLiteral("Falsche Checksumme von Steuerung!");
    zeile("falsche Checksumme", F::of(F::WrongChecksum), wiederholt, {"Cks ber.:", cks});
    zeile("kleine Ziffern", F::of(F::LowerCaseChecksum), wiederholt, {"Cks ber.:", cks});
    zeile("STX fehlt", F::of(F::NoStx), wiederholt, {p + "Start-Zeichen fehlt!"});
    zeile("ETX fehlt", F::of(F::NoEtx), wiederholt, {p + "End-Zeichen fehlt!"});
    zeile("EOT fehlt", F::of(F::NoEot), wiederholt, {p + "EOT fehlt!"});
    zeile("zu lang", F::oversized(70000), wiederholt, {p + "Start-Zeichen fehlt!"}, "Max line length exceeded.");
    zeile("verweigert", F::of(F::Refuse), {"PING", "TRX ACK", "PING", "TRX ACK", "STAT", "TRX ACK"}, {p});
    zeile("EPAR", F::of(F::Epar), nochmal, {p + "PARAMETERFEHLER"});
    zeile("EUCD gibt auf", F::of(F::Eucd), {"PING", "STAT", "TRX ACK"}, {p + "UNKNOWN COMMAND", "Triedout-Error >3"});
    zeile("EUCD auf BPL2", F::of(F::Eucd), {"BPL2", "BPLI", "TRX ACK", "STAT", "TRX ACK"}, {});
    zeile("TRX NAK der Steuerung", F::of(F::TrxNak), nochmal, {p + "TRX_NAK_Empfangen!"});
    zeile("TRX ACK der Steuerung", F::of(F::TrxAck), nochmal, {zeit});
    zeile("leer geschlossen", F::of(F::CloseEmpty), nochmal, {zeit});
    zeile("halbe Zeile, dann zu", F::halfLine(20), nochmal, {zeit});
    // Held open past the read time, which is shorter than BPL2's answer time-out.
    zeile("halbe Zeile offen", F::halfLine(3000), {"BPL2", "BPL2", "TRX ACK", "STAT", "TRX ACK"},
          {"ERROR-ReadlnTimeOut", "Timeout from Client while connecting to TCP Server \"127.0.0.2\", PeerPort "});
    zeile("tropfenweise", F::drip(2, 1), {"PING", "TRX ACK", "STAT", "TRX ACK"}, {});
    // Never repeated, a HERD ends with its failure: its answer timer neither holds the gate
    // nor counts it a second time.
    zeile("HERD mit EPAR", F::of(F::Epar), {"HERD", "STAT", "TRX ACK"}, {"127.0.0.2_HERD: PARAMETERFEHLER"});
}

void tst_Link::stoerungen()
{
    QFETCH(TXqSimFault, stoerung);
    QFETCH(QStringList, woerter);
    QFETCH(QStringList, fehler);
    QFETCH(QString, pending);
    const QByteArray wort = woerter.first().toLatin1();
    a->sim.addFault(wort, stoerung);
    a->reihe(Befehl(wort == "BPL2" ? "SB_BPLI" : "SB_" + wort));
    a->reihe(SB_STAT);
    QVERIFY(warte([&] { return a->sim.count("STAT") == 1 && Woerter(a->sim).endsWith(QStringLiteral("TRX ACK")); }));
    QTest::qWait(400);   // longer than the answer time-out: nothing follows
    QCOMPARE(Woerter(a->sim), woerter);
    QCOMPARE(a->host.fehler.size(), fehler.size());
    for (qsizetype i = 0; i < fehler.size(); ++i)
        QVERIFY2(a->host.fehler[i].startsWith(fehler[i]), qPrintable(a->host.fehler[i]));
    QCOMPARE(a->host.meldungen.size(), fehler.contains(QStringLiteral("Triedout-Error >3")) ? 1 : 0);
    QCOMPARE(a->pending, pending);
}

void tst_Link::aufgeben_data()
{
    QTest::addColumn<TAufgabe>("f");
    const int stumm = TXqSimFault::Silence;
    auto versuche = [](const QString &w) {
        return QStringList{"ERROR_1:" + w, "RETRY_1:" + w, "ERROR_2:" + w, "RETRY_2:" + w, "Triedout-Error >3:" + w};
    };
    auto zeile = [](const char *name, const TAufgabe &f) { QTest::newRow(name) << f; };
    const QString auf = QStringLiteral("Triedout-Error >3");
    zeile("PING stumm", {"SB_PING", "", stumm, 3, auf, 1, versuche("PING")});
    zeile("STAT stumm", {"SB_STAT", "", stumm, 3, auf, 1, versuche("STAT")});
    zeile("ZEIT stumm, keine Box", {"SB_ZEIT", "", stumm, 3, auf, 0, versuche("ZEIT")});
    zeile("PING, niemand lauscht", {"SB_PING", "", -1, 0, auf, 1, versuche("PING")});
    zeile("Loeschen 106 stumm", {"SB_BPRG", "DELETE\t006A", stumm, 5, "Delete100", 0, {}});
    zeile("Loeschen 106 unbekannt", {"SB_BPRG", "DELETE\t006A", TXqSimFault::Eucd, 1, "Delete100", 0, {}});
    // BPL2 waits as long as the link window's safety timer runs, which must not open the gate under it.
    zeile("BPL2 stumm", {"SB_BPLI", "", stumm, 3, auf, 1, versuche("BPL2")});
    zeile("Loeschen 99 stumm", {"SB_BPRG", "DELETE\t0063", stumm, 3, auf, 1, versuche("BPRGDELETE\t0063")});
}

void tst_Link::aufgeben()
{
    QFETCH(TAufgabe, f);
    // SOLL follows to show the queue moving on. The largest gap between ticks of a 5 ms timer: how long the event loop stood still.
    QElapsedTimer uhr;
    qint64 luecke = 0;
    QTimer takt;
    connect(&takt, &QTimer::timeout, this, [&] { luecke = qMax(luecke, uhr.restart()); });
    uhr.start();
    takt.start(5);
    const NeuerBefehl &b = Befehl(f.befehl);
    const QByteArray wort = f.befehl == "SB_BPLI" ? QByteArray("BPL2") : b.Kommando;
    if (f.stoerung >= 0)
        a->sim.addFault(wort, TXqSimFault::of(TXqSimFault::Kind(f.stoerung)), -1);
    else
        a->sim.stopListening();
    a->reihe(b, f.param);
    a->reihe(SB_SOLL, QByteArray("01\t00C8"));
    QVERIFY(warte([&] { return a->host.fehler.contains(f.ende); }));
    QVERIFY(a->sim.resumeListening());
    QVERIFY(warte([&] { return a->sim.count("SOLL") == 1 && a->sim.count("TRX ") == 1; }));
    QTest::qWait(800);   // longer than any answer time-out here: nothing follows
    if (f.sendungen)
        QCOMPARE(a->sim.count(wort), f.sendungen);
    QCOMPARE(a->host.meldungen.size(), f.boxen);
    if (f.boxen)
        QCOMPARE(a->host.meldungen.first(), a->host.fehler.first());
    QCOMPARE(a->host.fehler.count(a->host.fehler.first()), f.stoerung == TXqSimFault::Eucd ? 1 : qMax(f.sendungen, 3));
    QCOMPARE(Fehlerdatei().mid(1), f.datei);
    QVERIFY2(luecke < 100, qPrintable(QString::number(luecke)));
}

void tst_Link::fehlerwortAlsDaten()
{
    // The letters as data, in a program text and in program names, are read like any other.
    a->sim.controller().setProgram(1, TXqSimController::demoProgramText("SEPARAT EUCD", 200, 600, 5));
    a->reihe(SB_BPRG, QByteArray("0001"));
    a->reihe(SB_BPLI);
    QVERIFY(warte([&] { return a->sim.count("TRX ") == 2; }));
    QCOMPARE(Woerter(a->sim), (QStringList{"BPRG", "TRX ACK", "BPL2", "TRX ACK"}));
    QCOMPARE(a->host.fehler, QStringList());
}

void tst_Link::herdRueckzug()
{
    a->sim.stopListening();
    a->reihe(SB_HERD);
    QVERIFY(warte([&] { return a->host.fehler.size() == 1 && !a->link->SendenBeschaeftigt(); }));
    QCOMPARE(a->link->StatusTimer->interval(), 10000);
    a->reihe(SB_HERD);
    QVERIFY(warte([&] { return a->host.fehler.contains(QStringLiteral("Status-Error Interval-Up")); }));
    QTest::qWait(100);
    // Never repeated: two sends, two failures, then the slow poll.
    const QString nicht = QStringLiteral("ERROR03: Host 127.0.0.2 not available!");
    QCOMPARE(a->host.fehler, (QStringList{nicht, nicht, "Status-Error Interval-Up"}));
    QVERIFY(a->link->StatusTimer->interval() >= 60000 && a->link->StatusTimer->interval() <= 69999);
    QCOMPARE(a->host.meldungen, QStringList());
    QCOMPARE(Fehlerdatei().last(), QStringLiteral("Status-Error Interval-Up"));
}

void tst_Link::antwortVorAbschluss()
{
    // The answer overtakes the end of our own send: that end changes nothing any more.
    std::function<void()> weiter;
    a->link->SetAbschlussHalter([&](std::function<void()> w) {
        if (!weiter && a->sim.count("TRX ") == 0)
            weiter = std::move(w);
        else
            w();
    });
    a->reihe(SB_PING);
    const auto frei = [&] { return !a->link->Waiting->isChecked() && !a->link->Timeout->enabled(); };
    QVERIFY(warte([&] { return bool(weiter) && a->host.antworten.size() == 1; }));
    QVERIFY(frei());
    QTest::qWait(400);   // longer than the answer time-out
    weiter();
    QVERIFY(warte([&] { return a->sim.count("TRX ") == 1; }));
    QTest::qWait(400);
    QVERIFY(frei());
    QCOMPARE(Woerter(a->sim), (QStringList{"PING", "TRX ACK"}));
    QCOMPARE(a->host.fehler, QStringList());
}

void tst_Link::quittungScheitertNachHerdVerweigerung()
{
    a->sim.addFault("HERD", TXqSimFault::of(TXqSimFault::Refuse));
    // Once the HERD is on its way, acknowledgements go to an address where nobody listens.
    a->link->SetAbschlussHalter([&](std::function<void()> w) {
        if (a->host.befehle.size() == 1)
            a->link->TCPClient.Host = QStringLiteral("127.0.0.3");
        w();
    });
    a->reihe(SB_HERD);
    QVERIFY(warte([&] { return a->host.fehler.size() == 2; }));
    QCOMPARE(a->host.fehler, (QStringList{"127.0.0.3_HERD: ", "ERROR03: Host 127.0.0.3 not available!"}));
    // The lost acknowledgement released the gate and was not counted against HERD.
    QVERIFY(!a->link->Waiting->isChecked() && !a->link->Timeout->enabled());
    QCOMPARE(Fehlerdatei().last(), QStringLiteral("ERROR03: Host 127.0.0.3 not available!"));
    a->link->SetAbschlussHalter(nullptr);
    a->link->TCPClient.Host = QStringLiteral("127.0.0.2");
    a->reihe(SB_PING);
    QVERIFY(warte([&] { return a->sim.count("TRX ") == 1; }));
    QTest::qWait(200);
    QCOMPARE(Woerter(a->sim), (QStringList{"HERD", "PING", "TRX ACK"}));
    QCOMPARE(a->host.meldungen, QStringList());
}

void tst_Link::langeZeileBleibtGanz()
{
    // A whole-list chunk of 17 full programs is longer than any display line.
    const QByteArray text = "0001\t##HEAD\t" + QByteArray(40000, 'x') + "\t##/HEAD\t##BODY\t##/BODY";
    a->reihe(SB_BPRG, text);
    QCOMPARE(a->link->MakroZeilen().first(), "\tSB_BPRG\t" + text);
    QVERIFY(warte([&] { return a->sim.count("BPRG") == 1; }));
    QCOMPARE(a->sim.framesOf("BPRG").first().params, text);
}

void tst_Link::einrichten()
{
    const quint16 port = FreierPort(2600, 2649), neu = FreierPort(2650, 2699);
    QVERIFY(port && neu);
    QTcpServer anderer;
    QVERIFY(anderer.listen(kPc, port));
    SetTimeScale(1.0);   // the server's read time must not end the open connection below first
    qputenv("KELVOR_LISTEN_ADDRESS", "127.0.0.1");
    TwKelvor w;
    qunsetenv("KELVOR_LISTEN_ADDRESS");
    QCOMPARE(w.TCPServer->Adresse(), kPc);
    w.PortEdit->setValue(port);
    w.IPEdit->setText(QStringLiteral("127.0.0.2"));
    // Each set-up tries again until the port is free.
    for (int i = 1; i <= 2; ++i) {
        a->env->dialoge().expectBox(QMessageBox::Ok);
        w.VerbindungEinrichten();
        QVERIFY(a->env->dialoge().allAnswersUsed());
    }
    const TBoxRequest box = a->env->dialoge().boxes().last();
    QCOMPARE(box.caption + u'|' + box.text,
             QStringLiteral("WARNUNG|TCP-Error: Kann Port %1 nicht öffnen!\r\nBitte überprüfen Sie, ob dieser Port bereits\r\n"
                            "von einem anderen Programm (z.B. Vantrel)\r\nbenutzt wird.\r\n\r\n(An einem PC kann ein "
                            "bestimmter Port eines TCP-Servers\r\n nur von einem Programm gleichzeitig geöffnet werden.)").arg(port));
    QVERIFY(Fehlerdatei().contains(QStringLiteral("TCP-Error: Kann Port %1 nicht öffnen!").arg(port)));
    anderer.close();
    w.VerbindungEinrichten();
    QVERIFY(w.TCPServer->Aktiv());
    TwXQXOfen *link = w.Links.at(0);
    QCOMPARE(link->TCPClient.Port, port);

    // An answer connection open meanwhile survives a set-up that changes nothing, and is
    // dropped by one that restarts the server for a new port.
    QTcpSocket offen;
    offen.connectToHost(kPc, port);
    QVERIFY(warte([&] { return offen.state() == QAbstractSocket::ConnectedState; }));
    w.VerbindungEinrichten();
    QTest::qWait(50);
    QCOMPARE(offen.state(), QAbstractSocket::ConnectedState);
    w.PortEdit->setValue(neu);
    w.VerbindungEinrichten();
    QCOMPARE(w.Links.at(0), link);
    QCOMPARE(w.TCPServer->Port(), neu);
    QCOMPARE(link->TCPClient.Port, neu);
    QVERIFY(w.TCPServer->Aktiv());
    QVERIFY(warte([&] { return offen.state() == QAbstractSocket::UnconnectedState; }));

    w.IPEdit->setText(QStringLiteral("127.0.0.003"));
    w.VerbindungEinrichten();
    QCOMPARE(link->TCPClient.Host, QStringLiteral("127.0.0.003"));
    QVERIFY(w.TCPServer->Aktiv());
    QCOMPARE(a->env->dialoge().boxes().size(), 2);
}

QTEST_MAIN(tst_Link)
#include "tst_Link.moc"

// The link over real loopback TCP against the stand-in controller: one frame at a time,
// broken and refused answers, time-outs, repeats and giving up, the server and its set-up.
#include "support/LinkTestHilfe.h"

#include "link/uKelvor.h"

#include <QCheckBox>
#include <QElapsedTimer>
#include <QLineEdit>
#include <QNetworkProxy>
#include <QListWidget>
#include <QSignalSpy>
#include <QSpinBox>
#include <QTcpServer>
#include <QTcpSocket>
#include <QtTest>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

namespace {
// A command that fails every time; `stoerung` -1: nobody listens. `ende`: the error line that
// ends it; `datei`: the error-file lines after the first.
struct TAufgabe {
    QByteArray befehl, param;
    int stoerung, sendungen;
    QString ende;
    int boxen;
    QStringList datei;
    QString wie;   // its ending, as TLinkAufbau::enden holds it
};

// The largest gap between the ticks of a 5 ms timer while `tun` runs: how long the event loop
// stood still.
qint64 MessenLuecke(const std::function<void()> &tun)
{
    QElapsedTimer uhr;
    qint64 luecke = 0;
    QTimer takt;
    QObject::connect(&takt, &QTimer::timeout, [&] { luecke = qMax(luecke, uhr.restart()); });
    uhr.start();
    takt.start(5);
    tun();
    return qMax(luecke, uhr.elapsed());
}
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
    void fremdeZeile_data();
    void fremdeZeile();
    void dreiFremdeZeilenNachAntwort();
    void fehlerVorAbschluss();
    void adresseBeimAnnehmen();
    void hoechstens64Verbindungen();
    void steuerungKommtHinein();
    void fremdeNurKurz();
    void fremdeFehlerZaehltNicht();
    void statusabfrage();
    void verbindenHaengt();
    void ohneDesktopProxy();
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
    // queue moving on. `fehler`: the error list, each line by its beginning. Rows that wait
    // for an answer time-out run it fast and are back at the program's timing from the first
    // error line on, before the repeat goes out.
    QTest::addColumn<TXqSimFault>("stoerung");
    QTest::addColumn<QStringList>("woerter");
    QTest::addColumn<QStringList>("fehler");
    QTest::addColumn<QString>("pending");
    QTest::addColumn<double>("zeit");
    using F = TXqSimFault;
    auto zeile = [](const char *name, const F &f, const QStringList &w, const QStringList &e, const char *pending = "",
                    double zeit = kProgrammZeit) {
        QTest::newRow(name) << f << w << e << QString::fromLatin1(pending) << zeit;
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
    zeile("TRX ACK der Steuerung", F::of(F::TrxAck), nochmal, {zeit}, "", kSchnell);
    zeile("leer geschlossen", F::of(F::CloseEmpty), nochmal, {zeit}, "", kSchnell);
    zeile("halbe Zeile, dann zu", F::halfLine(20), nochmal, {zeit}, "", kSchnell);
    // Held open past the server's read time, which is shorter than BPL2's answer time-out.
    zeile("halbe Zeile offen", F::halfLine(8000), {"BPL2", "BPL2", "TRX ACK", "STAT", "TRX ACK"},
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
    QFETCH(double, zeit);
    if (zeit != kProgrammZeit) {
        QVERIFY2(neuStarten(zeit), qPrintable(a->grund));
        a->host.beiFehler = [](const QString &) { SetTimeScale(kProgrammZeit); };
    }
    const QByteArray wort = woerter.first().toLatin1();
    a->sim.addFault(wort, stoerung);
    a->reihe(Befehl(wort == "BPL2" ? "SB_BPLI" : "SB_" + wort));
    a->reihe(SB_STAT);
    // Once STAT is answered and acknowledged and nothing is left to do, nothing can follow.
    QVERIFY(warte([&] {
        return a->enden.contains(QStringLiteral("STAT:Beantwortet")) && a->ruhig()
               && Woerter(a->sim).endsWith(QStringLiteral("TRX ACK"));
    }));
    QCOMPARE(Woerter(a->sim), woerter);
    QCOMPARE(a->host.fehler.size(), fehler.size());
    for (qsizetype i = 0; i < fehler.size(); ++i)
        QVERIFY2(a->host.fehler[i].startsWith(fehler[i]), qPrintable(a->host.fehler[i]));
    QCOMPARE(a->host.meldungen.size(), fehler.contains(QStringLiteral("Triedout-Error >3")) ? 1 : 0);
    QCOMPARE(a->pending, pending);
    // Each command ended once.
    QCOMPARE(a->enden.size(), 2);
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
    zeile("PING stumm", {"SB_PING", "", stumm, 3, auf, 1, versuche("PING"), "PING:Aufgegeben"});
    zeile("STAT stumm", {"SB_STAT", "", stumm, 3, auf, 1, versuche("STAT"), "STAT:Aufgegeben"});
    zeile("ZEIT stumm, keine Box", {"SB_ZEIT", "", stumm, 3, auf, 0, versuche("ZEIT"), "ZEIT:Aufgegeben"});
    zeile("PING, niemand lauscht", {"SB_PING", "", -1, 0, auf, 1, versuche("PING"), "PING:Aufgegeben"});
    zeile("Loeschen 106 stumm", {"SB_BPRG", "DELETE\t006A", stumm, 5, "Delete100", 0, {}, "BPRG:Aufgegeben"});
    zeile("Loeschen 106 unbekannt", {"SB_BPRG", "DELETE\t006A", TXqSimFault::Eucd, 1, "Delete100", 0, {}, "BPRG:Verweigert"});
    // BPL2 waits as long as the link window's safety timer runs, which must not open the gate under it.
    zeile("BPL2 stumm", {"SB_BPLI", "", stumm, 3, auf, 1, versuche("BPL2"), "BPL2:Aufgegeben"});
    zeile("Loeschen 99 stumm", {"SB_BPRG", "DELETE\t0063", stumm, 3, auf, 1, versuche("BPRGDELETE\t0063"), "BPRG:Aufgegeben"});
}

void tst_Link::aufgeben()
{
    QFETCH(TAufgabe, f);
    // The answer time-outs run fast; SOLL, which follows to show the queue moving on, goes out
    // at the program's timing once the command has ended.
    QVERIFY2(neuStarten(kSchnell), qPrintable(a->grund));
    a->beiEnde = [this](const NeuerBefehl &b, TwXQXOfen::TBefehlsEnde) {
        if (b.Name == SB_SOLL.Name)
            return;
        SetTimeScale(kProgrammZeit);
        QVERIFY(a->sim.resumeListening());
    };
    const qint64 luecke = MessenLuecke([&] {
        const NeuerBefehl &b = Befehl(f.befehl);
        const QByteArray wort = f.befehl == "SB_BPLI" ? QByteArray("BPL2") : b.Kommando;
        if (f.stoerung >= 0)
            a->sim.addFault(wort, TXqSimFault::of(TXqSimFault::Kind(f.stoerung)), -1);
        else
            a->sim.stopListening();
        a->reihe(b, f.param);
        a->reihe(SB_SOLL, QByteArray("01\t00C8"));
        QVERIFY(warte([&] {
            return a->enden.contains(QStringLiteral("SOLL:Beantwortet")) && a->ruhig() && a->sim.count("TRX ") == 1;
        }));
        if (f.sendungen)
            QCOMPARE(a->sim.count(wort), f.sendungen);
    });
    if (QTest::currentTestFailed())
        return;
    QVERIFY(a->host.fehler.contains(f.ende));
    QCOMPARE(a->enden, (QStringList{f.wie, "SOLL:Beantwortet"}));
    QCOMPARE(a->host.meldungen.size(), f.boxen);
    if (f.boxen)
        QCOMPARE(a->host.meldungen.first(), a->host.fehler.first());
    QCOMPARE(a->host.fehler.count(a->host.fehler.first()), f.stoerung == TXqSimFault::Eucd ? 1 : qMax(f.sendungen, 3));
    QCOMPARE(Fehlerdatei().mid(1), f.datei);
    // Nothing blocks the event loop for anything like the connect time-out; the fine figure
    // is the benchmark's (longest GUI stall).
    QVERIFY2(luecke < 1000, qPrintable(QString::number(luecke)));
}

void tst_Link::fehlerwortAlsDaten()
{
    // The letters as data, in a program text, in program names and in the name of the program
    // a deck runs, are read like any other.
    a->sim.controller().setProgram(1, TXqSimController::demoProgramText("SEPARAT EUCD", 200, 600, 5));
    a->sim.controller().decks()[1].programName = "SEPARAT EUCD";
    a->reihe(SB_BPRG, QByteArray("0001"));
    a->reihe(SB_BPLI);
    a->reihe(SB_HERD);
    QVERIFY(warte([&] { return a->sim.count("TRX ") == 3; }));
    QCOMPARE(Woerter(a->sim), (QStringList{"BPRG", "TRX ACK", "BPL2", "TRX ACK", "HERD", "TRX ACK"}));
    QCOMPARE(a->host.fehler, QStringList());
    QVERIFY(a->link->Statussatz.contains("SEPARAT EUCD"));
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
    QVERIFY(a->link->StatusTimer->interval() >= 60000);
    QVERIFY(a->link->StatusTimer->interval() <= 69999);
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
    QVERIFY(warte([&] { return bool(weiter) && a->host.antworten.size() == 1; }));
    // Answered: the timer that could count it again has stopped.
    QCOMPARE(a->enden, QStringList{QStringLiteral("PING:Beantwortet")});
    QVERIFY(!a->link->Timeout->enabled());
    weiter();
    QVERIFY(warte([&] { return a->sim.count("TRX ") == 1 && a->ruhig(); }));
    QVERIFY(!a->link->Waiting->isChecked());
    QVERIFY(!a->link->Timeout->enabled());
    QCOMPARE(Woerter(a->sim), (QStringList{"PING", "TRX ACK"}));
    QCOMPARE(a->enden.size(), 1);
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
    QVERIFY(warte([&] { return a->host.fehler.size() == 2 && !a->link->SendenBeschaeftigt(); }));
    QCOMPARE(a->host.fehler, (QStringList{"127.0.0.3_HERD: ", "ERROR03: Host 127.0.0.3 not available!"}));
    // The lost acknowledgement released the gate and was not counted against HERD, which
    // ended with its refusal.
    QCOMPARE(a->enden, QStringList{QStringLiteral("HERD:Verworfen")});
    QVERIFY(!a->link->Waiting->isChecked());
    QVERIFY(!a->link->Timeout->enabled());
    QCOMPARE(Fehlerdatei().last(), QStringLiteral("ERROR03: Host 127.0.0.3 not available!"));
    a->link->SetAbschlussHalter(nullptr);
    a->link->TCPClient.Host = QStringLiteral("127.0.0.2");
    a->reihe(SB_PING);
    QVERIFY(warte([&] { return a->sim.count("TRX ") == 1 && a->ruhig(); }));
    QCOMPARE(Woerter(a->sim), (QStringList{"HERD", "PING", "TRX ACK"}));
    QCOMPARE(a->enden, (QStringList{"HERD:Verworfen", "PING:Beantwortet"}));
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
    QVERIFY(port);
    QVERIFY(neu);
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
    TwXQXOfen *link = w.Link();
    QCOMPARE(link->TCPClient.Port, port);

    // An answer connection open meanwhile survives a set-up that changes nothing, and is
    // dropped by one that restarts the server for a new port.
    QTcpSocket offen;
    offen.setProxy(QNetworkProxy::NoProxy);
    offen.connectToHost(kPc, port);
    QVERIFY(warte([&] { return offen.state() == QAbstractSocket::ConnectedState; }));
    w.VerbindungEinrichten();
    QTest::qWait(50);
    QCOMPARE(offen.state(), QAbstractSocket::ConnectedState);
    w.PortEdit->setValue(neu);
    w.VerbindungEinrichten();
    QCOMPARE(w.Link(), link);
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

void tst_Link::fremdeZeile_data()
{
    // What a second peer on the program's port sends after the command was answered; "" holds
    // the connection open until the read time ends it.
    QTest::addColumn<QByteArray>("zeile");
    QTest::addColumn<QString>("fehler");
    QTest::addColumn<char>("quittung");   // what the link acknowledges with, 0 for nothing
    QTest::newRow("hello") << QByteArray("hello") << QStringLiteral("127.0.0.2_STAR: Start-Zeichen fehlt!") << '\x15';
    QTest::newRow("verweigert") << RahmenBilden("star\t\x15") << QStringLiteral("127.0.0.2_STAR: ") << '\x06';
    QTest::newRow("EPAR") << RahmenBilden("star\tEPAR") << QStringLiteral("127.0.0.2_STAR: PARAMETERFEHLER") << '\0';
    QTest::newRow("gehalten") << QByteArray() << QStringLiteral("ERROR-ReadlnTimeOut") << '\0';
}

void tst_Link::fremdeZeile()
{
    QFETCH(QByteArray, zeile);
    QFETCH(QString, fehler);
    QFETCH(char, quittung);
    a->reihe(SB_STAR, QByteArray("0001"));
    QVERIFY(warte([&] { return a->sim.acknowledgements('\x06') == 1 && !a->link->SendenBeschaeftigt(); }));
    const int acks = a->sim.acknowledgements('\x06');
    if (zeile.isEmpty())
        SetTimeScale(kSchnell);   // the server's read time
    QTcpSocket peer;
    peer.setProxy(QNetworkProxy::NoProxy);
    peer.bind(QHostAddress(QStringLiteral("127.0.0.4")));
    peer.connectToHost(kPc, a->port);
    if (!zeile.isEmpty())
        peer.write(zeile + '\n');
    QVERIFY(warte([&] { return a->host.fehler.size() == (zeile.isEmpty() ? 2 : 1); }));
    QVERIFY(warte([&] {
        return !a->link->SendenBeschaeftigt() && a->sim.acknowledgements('\x15') == (quittung == '\x15' ? 1 : 0)
               && a->sim.acknowledgements('\x06') == acks + (quittung == '\x06' ? 1 : 0);
    }));
    QCOMPARE(a->host.fehler.first(), fehler);
    // Nothing was repeated: one STAR written, one received, and the queue is empty.
    QCOMPARE(a->host.befehle.filter(QStringLiteral("STAR")).size(), 1);
    QCOMPARE(a->sim.count("STAR"), 1);
    QVERIFY(a->link->MakroZeilen().isEmpty());
    QCOMPARE(a->host.meldungen, QStringList());
}

void tst_Link::dreiFremdeZeilenNachAntwort()
{
    // Three broken lines from the controller's own address after the command was answered: not
    // one counts against it, however many come, so nothing is tried again or given up.
    a->reihe(SB_STAR, QByteArray("0001"));
    QVERIFY(warte([&] { return a->sim.acknowledgements('\x06') == 1 && !a->link->SendenBeschaeftigt(); }));
    std::vector<std::unique_ptr<QTcpSocket>> peers;
    for (int i = 1; i <= 3; ++i) {
        peers.push_back(std::make_unique<QTcpSocket>());
        peers.back()->setProxy(QNetworkProxy::NoProxy);
        peers.back()->bind(kSteuerung);
        peers.back()->connectToHost(kPc, a->port);
        peers.back()->write("hello\n");
        QVERIFY(warte([&] { return a->host.fehler.size() == i; }));
    }
    QVERIFY(warte([&] { return a->sim.acknowledgements('\x15') == 3 && !a->link->SendenBeschaeftigt(); }));
    QCOMPARE(a->host.fehler, QStringList(3, QStringLiteral("127.0.0.2_STAR: Start-Zeichen fehlt!")));
    QCOMPARE(a->sim.count("STAR"), 1);
    QCOMPARE(a->host.meldungen, QStringList());
    QCOMPARE(a->enden, QStringList{QStringLiteral("STAR:Beantwortet")});
    QVERIFY(a->link->MakroZeilen().isEmpty());
}

void tst_Link::fehlerVorAbschluss()
{
    // A faulty answer overtakes the end of our own send: the acknowledgement and the repeat
    // wait their turn, but the answer timer stops at once, so the failure counts once.
    std::function<void()> weiter;
    a->link->SetAbschlussHalter([&](std::function<void()> w) {
        if (!weiter && a->host.befehle.size() == 1)
            weiter = std::move(w);
        else
            w();
    });
    a->sim.addFault("PING", TXqSimFault::of(TXqSimFault::WrongChecksum));
    a->reihe(SB_PING);
    QVERIFY(warte([&] { return bool(weiter) && a->host.fehler.size() == 2; }));
    QVERIFY(!a->link->Timeout->enabled());
    weiter();
    QVERIFY(warte([&] { return a->sim.acknowledgements('\x06') == 1 && !a->link->SendenBeschaeftigt(); }));
    QCOMPARE(Woerter(a->sim), (QStringList{"PING", "TRX NAK", "PING", "TRX ACK"}));
    QCOMPARE(a->host.fehler.size(), 2);
}

void tst_Link::adresseBeimAnnehmen()
{
    // The peer sends its line and resets before the server took the connection: the line
    // still carries the peer's address.
    const int fd = ::socket(AF_INET, SOCK_STREAM, 0);
    QVERIFY(fd >= 0);
    sockaddr_in von{}, zu{};
    von.sin_family = zu.sin_family = AF_INET;
    von.sin_addr.s_addr = htonl(QHostAddress(QStringLiteral("127.0.0.5")).toIPv4Address());
    zu.sin_addr.s_addr = htonl(kPc.toIPv4Address());
    zu.sin_port = htons(a->port);
    QCOMPARE(::bind(fd, reinterpret_cast<sockaddr *>(&von), sizeof von), 0);
    QCOMPARE(::connect(fd, reinterpret_cast<sockaddr *>(&zu), sizeof zu), 0);
    QCOMPARE(::send(fd, "hello\n", 6, 0), ssize_t(6));
    const linger sofort{1, 0};
    ::setsockopt(fd, SOL_SOCKET, SO_LINGER, &sofort, sizeof sofort);
    ::close(fd);
    QVERIFY(warte([&] { return !a->host.antworten.isEmpty(); }));
    QCOMPARE(a->host.antworten, QStringList{QStringLiteral("127.0.0.5-hello")});
}

void tst_Link::hoechstens64Verbindungen()
{
    // Connections held open (their read time far off) count until the cap; one beyond is
    // closed at once, and a burst of them gives one error line.
    SetTimeScale(10);
    QSignalSpy fehler(&a->server, &TAntwortServer::Fehler);
    std::vector<std::unique_ptr<QTcpSocket>> peers;
    const auto verbinden = [&](int n) {
        for (int i = 0; i < n; ++i) {
            peers.push_back(std::make_unique<QTcpSocket>());
            peers.back()->setProxy(QNetworkProxy::NoProxy);
            peers.back()->connectToHost(kPc, a->port);
        }
    };
    const auto verbunden = [&](qsizetype von, qsizetype bis, QAbstractSocket::SocketState zustand) {
        for (qsizetype i = von; i < bis; ++i)
            if (peers[i]->state() != zustand)
                return false;
        return true;
    };
    verbinden(TAntwortServer::MaxVerbindungen);
    QVERIFY(warte([&] { return a->server.OffeneVerbindungen() == TAntwortServer::MaxVerbindungen; }));
    verbinden(6);
    QVERIFY(warte([&] { return verbunden(64, 70, QAbstractSocket::UnconnectedState); }));
    QVERIFY(verbunden(0, 64, QAbstractSocket::ConnectedState));
    QCOMPARE(a->server.OffeneVerbindungen(), TAntwortServer::MaxVerbindungen);
    QCOMPARE(fehler.size(), 1);
    QCOMPARE(fehler.first().first().toString(), QStringLiteral("Max connections exceeded."));

    // A place freed is taken; the next refusal is a new burst.
    peers[0]->abort();
    QVERIFY(warte([&] { return a->server.OffeneVerbindungen() == TAntwortServer::MaxVerbindungen - 1; }));
    verbinden(1);
    QVERIFY(warte([&] { return a->server.OffeneVerbindungen() == TAntwortServer::MaxVerbindungen; }));
    verbinden(1);
    QVERIFY(warte([&] { return peers.back()->state() == QAbstractSocket::UnconnectedState; }));
    QCOMPARE(fehler.size(), 2);
    // None of them reached the link.
    QCOMPARE(a->host.antworten, QStringList());
}

namespace {
const QHostAddress kFremd(QStringLiteral("127.0.0.9"));

std::unique_ptr<QTcpSocket> Verbinden(const QHostAddress &von, quint16 port)
{
    auto s = std::make_unique<QTcpSocket>();
    s->setProxy(QNetworkProxy::NoProxy);
    s->bind(von);
    s->connectToHost(kPc, port);
    return s;
}

// Error-file lines of lines that came from a peer other than the controller.
QStringList Ignoriert()
{
    return Fehlerdatei().filter(QStringLiteral("Not from the controller, ignored: "));
}
} // namespace

void tst_Link::steuerungKommtHinein()
{
    // Other peers hold every place (their read time far off); the controller's answer still
    // gets in, in the place of the one that has been idle longest, and no refusal is reported.
    SetTimeScale(10);
    a->server.SetSteuerung(kSteuerung);
    QSignalSpy fehler(&a->server, &TAntwortServer::Fehler);
    std::vector<std::unique_ptr<QTcpSocket>> peers;
    for (int i = 0; i < TAntwortServer::MaxVerbindungen; ++i)
        peers.push_back(Verbinden(kFremd, a->port));
    QVERIFY(warte([&] { return a->server.OffeneVerbindungen() == TAntwortServer::MaxVerbindungen; }));
    // The first one speaks (no line end), so now the second has been idle longest.
    peers[0]->write("x");
    QVERIFY(peers[0]->flush());
    a->reihe(SB_PING);
    QVERIFY(warte([&] {
        return !a->enden.isEmpty() && !a->link->SendenBeschaeftigt() && a->sim.acknowledgements('\x06') == 1;
    }));
    QCOMPARE(a->enden, QStringList{QStringLiteral("PING:Beantwortet")});
    QVERIFY(warte([&] { return peers[1]->state() == QAbstractSocket::UnconnectedState; }));
    for (size_t i = 0; i < peers.size(); ++i)
        QVERIFY2(i == 1 || peers[i]->state() == QAbstractSocket::ConnectedState, qPrintable(QString::number(i)));
    QCOMPARE(Woerter(a->sim), (QStringList{"PING", "TRX ACK"}));
    QCOMPARE(fehler.size(), 0);
    QCOMPARE(a->host.fehler, QStringList());

    // With every place held by the controller's own address, one more is refused as before.
    peers.clear();
    QVERIFY(warte([&] { return a->server.OffeneVerbindungen() == 0; }));
    for (int i = 0; i <= TAntwortServer::MaxVerbindungen; ++i)
        peers.push_back(Verbinden(kSteuerung, a->port));
    QVERIFY(warte([&] { return peers.back()->state() == QAbstractSocket::UnconnectedState || fehler.size() == 1; }));
    QVERIFY(warte([&] { return fehler.size() == 1; }));
    QCOMPARE(a->server.OffeneVerbindungen(), TAntwortServer::MaxVerbindungen);
}

void tst_Link::fremdeNurKurz()
{
    // A silent peer from another address is closed after its short read time; one from the
    // controller's address, connected before it, keeps the whole read time.
    QVERIFY2(neuStarten(kSchnell), qPrintable(a->grund));
    a->server.SetSteuerung(kSteuerung);
    QList<TServerVerbindung> gelesen;
    QList<int> offen;
    connect(&a->server, &TAntwortServer::Gelesen, this, [&](const TServerVerbindung &v) {
        gelesen << v;
        offen << a->server.OffeneVerbindungen();
    });
    const auto steuerung = Verbinden(kSteuerung, a->port);
    QVERIFY(warte([&] { return a->server.OffeneVerbindungen() == 1; }));
    const auto fremd = Verbinden(kFremd, a->port);
    QVERIFY(warte([&] { return gelesen.size() == 2; }));
    QCOMPARE(gelesen[0].PeerIP + u' ' + QString::number(gelesen[0].Ende) + u' ' + QString::number(gelesen[0].Fremd),
             QStringLiteral("127.0.0.9 1 1"));
    QCOMPARE(offen[0], 1);
    QCOMPARE(gelesen[1].PeerIP + u' ' + QString::number(gelesen[1].Ende) + u' ' + QString::number(gelesen[1].Fremd),
             QStringLiteral("127.0.0.2 1 0"));
    // Only the controller's time-out reached the link and the error list.
    QCOMPARE(a->host.antworten, (QStringList{"127.0.0.9-ERROR-ReadlnTimeOut", "127.0.0.2-ERROR-ReadlnTimeOut"}));
    QCOMPARE(a->host.fehler.size(), 2);
    QVERIFY2(a->host.fehler[1].contains(QStringLiteral("\"127.0.0.2\"")), qPrintable(a->host.fehler[1]));
    const QStringList datei = Ignoriert();
    QCOMPARE(datei.size(), 1);
    QVERIFY2(datei[0].startsWith(QStringLiteral("Not from the controller, ignored: \"127.0.0.9\", PeerPort ")),
             qPrintable(datei[0]));
    QVERIFY2(datei[0].endsWith(QStringLiteral(", Port ") + QString::number(a->port) + QStringLiteral(": ERROR-ReadlnTimeOut")),
             qPrintable(datei[0]));
}

void tst_Link::fremdeFehlerZaehltNicht()
{
    // While BPL2 waits for its answer, other peers send a broken line, stay silent and
    // overflow the line cap: each goes to the error file, none counts against the command,
    // none is acknowledged to the controller or shown in a box.
    a->server.SetSteuerung(kSteuerung);
    a->sim.setAnswersHeld(true);
    a->reihe(Befehl("SB_BPLI"));
    QVERIFY(warte([&] { return a->sim.count("BPL2") == 1 && a->link->AntwortErwartet(); }));
    const auto kaputt = Verbinden(kFremd, a->port);
    kaputt->write("hello\n");
    const auto still = Verbinden(kFremd, a->port);
    const auto lang = Verbinden(kFremd, a->port);
    lang->write(QByteArray(TAntwortServer::MaxZeile + 10, 'x'));
    QVERIFY(warte([&] { return Ignoriert().size() == 3; }));
    a->sim.setAnswersHeld(false);
    QVERIFY(warte([&] { return !a->enden.isEmpty() && a->ruhig() && a->sim.acknowledgements('\x06') == 1; }));
    QCOMPARE(a->enden.size(), 1);
    QVERIFY2(a->enden[0].endsWith(QStringLiteral(":Beantwortet")), qPrintable(a->enden[0]));
    QCOMPARE(Woerter(a->sim), (QStringList{"BPL2", "TRX ACK"}));
    QCOMPARE(a->host.fehler, QStringList());
    QCOMPARE(a->pending, QString());
    QStringList enden;
    for (const QString &z : Ignoriert())
        enden << z.section(QStringLiteral(": "), -1);
    enden.sort();
    QCOMPARE(enden, (QStringList{"ERROR-ReadlnTimeOut", "Max line length exceeded.", "hello"}));
}

void tst_Link::statusabfrage()
{
    // Each tick queues what the main window's boxes ask for, each line once. The test ticks by
    // hand: the timer's own ticks, every 500 ms after a good send, would queue the three again.
    a->link->StatusTimer->setEnabled(false);
    a->host.ping = a->host.stat = a->host.zeit = true;
    a->link->Waiting->setChecked(true);
    a->link->StatusTimerTimer();
    a->link->StatusTimerTimer();
    QCOMPARE(a->link->MakroZeilen(), (QList<QByteArray>{"\tSB_PING\t", "\tSB_STAT\t", "\tSB_ZEIT\t"}));
    a->link->Waiting->setChecked(false);
    QVERIFY(warte([&] { return a->sim.count("TRX ") == 3 && a->ruhig(); }));
    QCOMPARE(a->enden, (QStringList{"PING:Beantwortet", "STAT:Beantwortet", "ZEIT:Beantwortet"}));

    // Nothing during a whole-list transfer.
    for (bool *transfer : {&a->link->AlleLesen, &a->link->AlleSchreiben}) {
        *transfer = true;
        a->link->StatusTimerTimer();
        QVERIFY(a->link->MakroZeilen().isEmpty());
        *transfer = false;
    }

    // A good send brings back the poll interval that repeated failures slowed down.
    a->link->StatusTimer->setInterval(65000);
    a->link->StatInt->setValue(700);
    a->host.stat = a->host.zeit = false;
    a->link->StatusTimerTimer();
    QCOMPARE(a->link->StatusTimer->interval(), 700);   // the last send went through
    a->link->SendenOk = false;
    a->link->StatusTimer->setInterval(65000);
    a->link->StatusTimerTimer();
    QCOMPARE(a->link->StatusTimer->interval(), 65000);
    // Both ticks came before the first PING went out, so it was queued once.
    QVERIFY(warte([&] { return a->sim.count("PING") == 2 && a->ruhig(); }));
    QCOMPARE(a->link->StatusTimer->interval(), 700);
    QVERIFY(a->link->SendenOk);
}

void tst_Link::verbindenHaengt()
{
    // A listener whose accept queue is full lets every connect hang: each attempt ends at the
    // connect time-out (halved here) with "ERROR03", and nothing waits for it meanwhile.
    QVERIFY2(neuStarten(0.5), qPrintable(a->grund));
    const QHostAddress voll(QStringLiteral("127.0.0.3"));
    sockaddr_in adresse{};
    adresse.sin_family = AF_INET;
    adresse.sin_addr.s_addr = htonl(voll.toIPv4Address());
    adresse.sin_port = htons(a->port);
    std::vector<int> fds;
    const auto neu = [&] {
        fds.push_back(::socket(AF_INET, SOCK_STREAM | SOCK_NONBLOCK, 0));
        return fds.back();
    };
    const int lauscher = neu();
    QCOMPARE(::bind(lauscher, reinterpret_cast<sockaddr *>(&adresse), sizeof adresse), 0);
    QCOMPARE(::listen(lauscher, 0), 0);
    for (int i = 0; i < 3; ++i)
        ::connect(neu(), reinterpret_cast<sockaddr *>(&adresse), sizeof adresse);
    a->link->TCPClient.Host = voll.toString();

    QElapsedTimer uhr;
    uhr.start();
    const qint64 luecke = MessenLuecke([&] {
        a->reihe(SB_PING);
        QVERIFY(warte([&] { return a->enden.size() == 1; }));
    });
    const qint64 dauer = uhr.elapsed();
    for (int fd : fds)
        ::close(fd);
    const QString nicht = QStringLiteral("ERROR03: Host 127.0.0.3 not available!");
    QCOMPARE(a->host.fehler, (QStringList{nicht, nicht, nicht, "Triedout-Error >3"}));
    QCOMPARE(a->host.meldungen, QStringList{nicht});
    QCOMPARE(a->enden, QStringList{QStringLiteral("PING:Aufgegeben")});
    // Three whole connect time-outs, the event loop free all along.
    QVERIFY2(dauer >= 3 * ScaledMs(5000) - 30, qPrintable(QString::number(dauer)));
    QVERIFY2(luecke < 1000, qPrintable(QString::number(luecke)));
}

void tst_Link::ohneDesktopProxy()
{
    // A proxy set for the desktop must not carry the controller's link: it goes straight there.
    QTcpServer proxy;
    QVERIFY(proxy.listen(QHostAddress(QStringLiteral("127.0.0.9"))));
    int beimProxy = 0;
    connect(&proxy, &QTcpServer::newConnection, this, [&] {
        while (QTcpSocket *s = proxy.nextPendingConnection()) {
            ++beimProxy;
            s->deleteLater();
        }
    });
    QNetworkProxy::setApplicationProxy(QNetworkProxy(QNetworkProxy::Socks5Proxy, QStringLiteral("127.0.0.9"),
                                                     proxy.serverPort()));
    const auto zurueck = qScopeGuard([] { QNetworkProxy::setApplicationProxy(QNetworkProxy::NoProxy); });
    a->reihe(SB_PING);
    QVERIFY(warte([&] { return a->sim.count("TRX ") == 1 && !a->link->SendenBeschaeftigt(); }));
    QCOMPARE(Woerter(a->sim), (QStringList{"PING", "TRX ACK"}));
    QCOMPARE(beimProxy, 0);
    QCOMPARE(a->host.fehler, QStringList());
}

QTEST_MAIN(tst_Link)
#include "tst_Link.moc"

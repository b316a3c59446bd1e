// The link over real loopback TCP against the stand-in controller: sending one frame at a time,
// time-outs, repeats and giving up, broken answers, the server, and the connection set-up.
#include "TestUmgebung.h"
#include "XqSim.h"

#include "Codepage.h"
#include "Sammlung.h"
#include "Zeitgeber.h"
#include "uKelvor.h"
#include "uXqxOfen.h"

#include <QCheckBox>
#include <QDir>
#include <QDirIterator>
#include <QElapsedTimer>
#include <QLineEdit>
#include <QSpinBox>
#include <QTcpServer>
#include <QTcpSocket>
#include <QtTest>

namespace {

const QHostAddress kPc(QStringLiteral("127.0.0.1"));
const QHostAddress kSteuerung(QStringLiteral("127.0.0.2"));

class TFakeHost : public TLinkHost
{
public:
    void BefehlEintragen(const QString &t) override { befehle << t; }
    void AntwortEintragen(const QString &t) override { antworten << t; }
    void FehlerEintragen(const QString &t) override { fehler << t; }
    void FehlerMelden(const QString &t) override { meldungen << t; }
    bool NoWaitGesetzt() const override { return false; }
    bool PingTimerGesetzt() const override { return false; }
    bool StatTimerGesetzt() const override { return false; }
    bool ZeitTimerGesetzt() const override { return false; }
    QStringList befehle, antworten, fehler, meldungen;
};

// Records the largest gap between ticks of a 5 ms timer: how long the event loop stood still.
class TLueckenMesser
{
public:
    TLueckenMesser()
    {
        m_uhr.start();
        QObject::connect(&m_timer, &QTimer::timeout, [this] {
            m_max = qMax(m_max, m_uhr.restart());
        });
        m_timer.start(5);
    }
    qint64 groessteLuecke() const { return m_max; }

private:
    QTimer m_timer;
    QElapsedTimer m_uhr;
    qint64 m_max = 0;
};

// A port that is free on both loopback addresses used here.
quint16 freierPort(quint16 von = 20000, quint16 bis = 60000)
{
    for (int versuch = 0; versuch < 200; ++versuch) {
        const quint16 p = quint16(von + QRandomGenerator::global()->bounded(bis - von));
        QTcpServer a, b;
        if (a.listen(kPc, p) && b.listen(kSteuerung, p))
            return p;
    }
    return 0;
}

// Lines of the error files, without their time stamps.
QStringList fehlerdatei()
{
    QStringList out;
    QDirIterator it(ExeDir + QStringLiteral("log"), {QStringLiteral("*.err")}, QDir::Files,
                    QDirIterator::Subdirectories);
    while (it.hasNext()) {
        QFile f(it.next());
        if (!f.open(QIODevice::ReadOnly))
            continue;
        for (const QByteArray &zeile : f.readAll().split('\n')) {
            const QString z = AnsiToString(zeile.trimmed());
            const qsizetype i = z.indexOf(QStringLiteral(": "));
            if (i >= 0)
                out << z.mid(i + 2);
        }
    }
    return out;
}

QStringList woerter(const TXqSim &sim)
{
    QStringList out;
    for (const TXqSimFrame &f : sim.frames())
        out << QString::fromLatin1(f.word == "TRX " ? QByteArray("TRX ") + (f.params == "\x06" ? "ACK" : "NAK")
                                                    : f.word);
    return out;
}

} // namespace

class tst_Link : public QObject
{
    Q_OBJECT
private slots:
    void init();
    void cleanup();

    void rahmenAufDemDraht();
    void einerNachDemAnderen();
    void langsameQuittung();
    void stummeSteuerung_data();
    void stummeSteuerung();
    void falscheChecksumme_data();
    void falscheChecksumme();
    void eucdBpl2();
    void fehlerwortGrenze();
    void halbeZeile_data();
    void halbeZeile();
    void zeilenGrenze();
    void herdRueckzug();
    void loeschenUeber99_data();
    void loeschenUeber99();
    void antwortVorAbschluss();
    void quittungScheitertNachHerdVerweigerung();
    void langeZeileBleibtGanz();
    void portBelegt();
    void umkonfigurieren();

private:
    // Link, server and stand-in on a fresh port.
    void aufbauen();
    bool warteBis(const std::function<bool()> &bedingung, int ms = 5000);

    std::unique_ptr<TTestUmgebung> m_env;
    std::unique_ptr<TFakeHost> m_host;
    std::unique_ptr<TAntwortServer> m_server;
    std::unique_ptr<TwXQXOfen> m_link;
    std::unique_ptr<TXqSim> m_sim;
    QString m_pending;
    quint16 m_port = 0;
};

void tst_Link::init()
{
    m_env = std::make_unique<TTestUmgebung>(0.05);
    m_pending.clear();
    // A main window of an earlier test set it on its way out.
    Closing = false;
}

void tst_Link::cleanup()
{
    m_link.reset();
    m_server.reset();
    m_sim.reset();
    m_host.reset();
    QVERIFY2(m_env->dialoge().unexpected() == 0, "a modal box came that nobody expected");
    m_env.reset();
}

bool tst_Link::warteBis(const std::function<bool()> &bedingung, int ms)
{
    return QTest::qWaitFor(bedingung, ms);
}

void tst_Link::aufbauen()
{
    m_port = freierPort();
    QVERIFY(m_port);
    m_host = std::make_unique<TFakeHost>();
    m_server = std::make_unique<TAntwortServer>();
    m_server->SetAdresse(kPc);
    m_server->SetPort(m_port);
    QVERIFY(m_server->Aktivieren());
    m_link = std::make_unique<TwXQXOfen>(m_host.get());
    m_link->Init(QStringLiteral("127.0.0.2"));
    m_link->TCPClient.Port = m_port;
    connect(m_server.get(), &TAntwortServer::Gelesen, this, [this](const TServerVerbindung &v) {
        ServerZeileVerarbeiten(v, *m_host, m_link.get(), m_port, m_pending);
    });
    m_sim = std::make_unique<TXqSim>();
    QVERIFY2(m_sim->start(m_port, kSteuerung, kPc), qPrintable(m_sim->errorString()));
}

void tst_Link::rahmenAufDemDraht()
{
    // A plain listener sees exactly the bytes of each line, one connection per frame.
    TFakeHost host;
    QTcpServer roh;
    QVERIFY(roh.listen(kSteuerung));
    QList<QByteArray> empfangen;
    connect(&roh, &QTcpServer::newConnection, this, [&] {
        while (QTcpSocket *s = roh.nextPendingConnection()) {
            auto *puffer = new QByteArray;
            connect(s, &QTcpSocket::readyRead, s, [s, puffer] { *puffer += s->readAll(); });
            connect(s, &QTcpSocket::disconnected, s, [s, puffer, &empfangen] {
                *puffer += s->readAll();
                empfangen << *puffer;
                delete puffer;
                s->deleteLater();
            });
        }
    });
    TwXQXOfen link(&host);
    link.Init(QStringLiteral("127.0.0.002"));
    link.TCPClient.Port = roh.serverPort();
    link.Senden(SB_PING, QByteArray());
    link.Senden(SB_STAT, QByteArray());
    link.Senden(SB_TRX, QByteArray("\x06"));
    link.Senden(SB_TRX, QByteArray("\x15"));
    link.Senden(SB_BPRG, QByteArray("0001"));
    QVERIFY(warteBis([&] { return empfangen.size() == 5 && !link.SendenBeschaeftigt(); }));
    const QList<QByteArray> erwartet{QByteArray::fromHex("02 05 50 49 4E 47 04 31 35 03"),
                                     QByteArray::fromHex("02 05 53 54 41 54 04 31 37 03"),
                                     QByteArray::fromHex("02 05 54 52 58 20 06 04 37 44 03"),
                                     QByteArray::fromHex("02 05 54 52 58 20 15 04 36 45 03"),
                                     QByteArray::fromHex("02 05 42 50 52 47 30 30 30 31 04 30 33 03")};
    for (int i = 0; i < 5; ++i)
        QCOMPARE(empfangen[i], erwartet[i] + "\r\n");
    // The outgoing list shows each frame readably with the host as given.
    QCOMPARE(host.befehle.first(), QStringLiteral("127.0.0.002-|STX||ENQ|PING|EOT|15|ETX|"));
    QCOMPARE(host.fehler, QStringList());
}

void tst_Link::einerNachDemAnderen()
{
    aufbauen();
    TLueckenMesser luecke;
    m_link->BefehlEinreihen(QByteArray(), SB_PING, QByteArray());
    m_link->BefehlEinreihen(QByteArray(), SB_STAT, QByteArray());
    m_link->BefehlEinreihen(QByteArray(), SB_PING, QByteArray());   // the same line once only
    m_link->BefehlEinreihen(QByteArray(), SB_ZEIT, QByteArray());
    m_link->BefehlEinreihen(QByteArray(), SB_HERD, QByteArray("01"));
    m_link->BefehlEinreihen(QByteArray(), SB_BPRG, QByteArray("DELETE\t0001"));
    QCOMPARE(m_link->MakroZeilen().size(), 5);
    QVERIFY(warteBis([&] { return m_sim->count("TRX ") == 5 && !m_link->SendenBeschaeftigt(); }));
    QTest::qWait(100);
    // Each request after the previous answer and its acknowledgement, nothing in between.
    QCOMPARE(woerter(*m_sim), (QStringList{"PING", "TRX ACK", "STAT", "TRX ACK", "ZEIT", "TRX ACK", "HERD",
                                           "TRX ACK", "BPRG", "TRX ACK"}));
    QCOMPARE(m_host->fehler, QStringList());
    // Five answer lines from the server; the STAT answer adds its seven field lines.
    QCOMPARE(m_host->antworten.filter(QStringLiteral("127.0.0.2-")).size(), 5);
    QCOMPARE(m_host->antworten.size(), 12);
    QVERIFY2(m_host->antworten.first().startsWith(QStringLiteral("127.0.0.2-|STX||ENQ|ping")),
             qPrintable(m_host->antworten.first()));
    QVERIFY(!m_link->Waiting->isChecked());
    QVERIFY(!m_link->Timeout->enabled());
    QVERIFY(m_link->SendenOk);
    QVERIFY(luecke.groessteLuecke() < 100);
}

void tst_Link::langsameQuittung()
{
    // While the acknowledgement is still on its way, the next request waits for it.
    aufbauen();
    std::function<void()> weiter;
    m_link->SetAbschlussHalter([&](std::function<void()> w) {
        // The acknowledgement is the second frame written; hold the end of its send.
        if (!weiter && m_host->befehle.size() == 2)
            weiter = std::move(w);
        else
            w();
    });
    m_link->BefehlEinreihen(QByteArray(), SB_PING, QByteArray());
    m_link->BefehlEinreihen(QByteArray(), SB_STAT, QByteArray());
    QVERIFY(warteBis([&] { return bool(weiter); }));
    QTest::qWait(100);
    QCOMPARE(woerter(*m_sim), (QStringList{"PING", "TRX ACK"}));
    QVERIFY(m_link->SendenBeschaeftigt());
    weiter();
    QVERIFY(warteBis([&] { return m_sim->count("TRX ") == 2; }));
    QCOMPARE(woerter(*m_sim), (QStringList{"PING", "TRX ACK", "STAT", "TRX ACK"}));
}

void tst_Link::stummeSteuerung_data()
{
    QTest::addColumn<QByteArray>("befehl");
    QTest::addColumn<bool>("lauscht");
    QTest::newRow("PING ohne Antwort") << QByteArray("SB_PING") << true;
    QTest::newRow("STAT ohne Antwort") << QByteArray("SB_STAT") << true;
    QTest::newRow("PING, niemand lauscht") << QByteArray("SB_PING") << false;
}

void tst_Link::stummeSteuerung()
{
    QFETCH(QByteArray, befehl);
    QFETCH(bool, lauscht);
    aufbauen();
    TLueckenMesser luecke;
    const NeuerBefehl &b = befehl == "SB_PING" ? SB_PING : SB_STAT;
    if (lauscht)
        m_sim->addFault(b.Kommando, TXqSimFault::of(TXqSimFault::Silence), -1);
    else
        m_sim->stopListening();
    m_link->BefehlEinreihen(QByteArray(), b, QByteArray());
    m_link->BefehlEinreihen(QByteArray(), SB_SOLL, QByteArray("01\t00C8"));
    QVERIFY(warteBis([&] { return m_host->meldungen.size() == 1; }));
    if (!lauscht)
        QVERIFY(m_sim->resumeListening());
    // The queue moves on after giving up.
    QVERIFY(warteBis([&] { return m_sim->count("SOLL") == 1 && m_sim->count("TRX ") == 1; }));
    QTest::qWait(200);

    const QString w = QString::fromLatin1(b.Kommando);
    const QString meldung = lauscht ? QStringLiteral("127.0.0.2_") + w + QStringLiteral(": TIMEOUT - no answer!")
                                    : QStringLiteral("ERROR03: Host 127.0.0.2 not available!");
    QCOMPARE(m_host->meldungen, QStringList{meldung});
    if (lauscht)
        QCOMPARE(m_sim->count(b.Kommando), 3);
    QCOMPARE(m_host->fehler.count(meldung), 3);
    QCOMPARE(fehlerdatei(), (QStringList{"Vantrel2004 Error File created.", "ERROR_1:" + w, "RETRY_1:" + w,
                                         "ERROR_2:" + w, "RETRY_2:" + w, "Triedout-Error >3:" + w}));
    QCOMPARE(m_host->fehler.last(), QStringLiteral("Triedout-Error >3"));
    QVERIFY(luecke.groessteLuecke() < 100);
}

void tst_Link::falscheChecksumme_data()
{
    QTest::addColumn<int>("fehler");
    QTest::newRow("falsche Ziffern") << int(TXqSimFault::WrongChecksum);
    QTest::newRow("kleine Ziffern") << int(TXqSimFault::LowerCaseChecksum);
    QTest::newRow("STX fehlt") << int(TXqSimFault::NoStx);
    QTest::newRow("ETX fehlt") << int(TXqSimFault::NoEtx);
}

void tst_Link::falscheChecksumme()
{
    QFETCH(int, fehler);
    aufbauen();
    m_sim->addFault("PING", TXqSimFault::of(TXqSimFault::Kind(fehler)));
    m_link->BefehlEinreihen(QByteArray(), SB_PING, QByteArray());
    m_link->BefehlEinreihen(QByteArray(), SB_STAT, QByteArray());
    QVERIFY(warteBis([&] { return m_sim->count("STAT") == 1 && m_sim->count("TRX ") == 3; }));
    QTest::qWait(100);
    // The NAK goes out before the repeat, and the repeat is the only request on its way.
    QCOMPARE(woerter(*m_sim), (QStringList{"PING", "TRX NAK", "PING", "TRX ACK", "STAT", "TRX ACK"}));
    QCOMPARE(m_host->meldungen, QStringList());
    QVERIFY(m_host->fehler.size() >= 1);
    QVERIFY(m_host->fehler.last().startsWith(QStringLiteral("127.0.0.2_PING: ")));
    QCOMPARE(fehlerdatei(), (QStringList{"Vantrel2004 Error File created.", "ERROR_1:PING", "RETRY_1:PING"}));
}

void tst_Link::eucdBpl2()
{
    aufbauen();
    m_sim->controller().setLegacy(true);
    m_link->BefehlEinreihen(QByteArray(), SB_BPLI, QByteArray());
    QVERIFY(warteBis([&] { return m_sim->count("TRX ") == 1; }));
    QTest::qWait(100);
    // The unknown word gets no acknowledgement; the older word is asked at once.
    QCOMPARE(woerter(*m_sim), (QStringList{"BPL2", "BPLI", "TRX ACK"}));
    QCOMPARE(m_host->fehler, QStringList());
    QCOMPARE(m_link->BefehlAktuell.Kommando, QByteArray("BPLI"));
}

void tst_Link::fehlerwortGrenze()
{
    aufbauen();
    // The letters as data: a program name and a program text are read like any other.
    m_sim->controller().setProgram(1, TXqSimController::demoProgramText("SEPARAT EUCD", 200, 600, 5));
    m_link->BefehlEinreihen(QByteArray(), SB_BPRG, QByteArray("0001"));
    m_link->BefehlEinreihen(QByteArray(), SB_BPLI, QByteArray());
    QVERIFY(warteBis([&] { return m_sim->count("TRX ") == 2; }));
    QCOMPARE(m_sim->acknowledgements('\x06'), 2);
    QCOMPARE(m_host->fehler, QStringList());
    // The controller's own error word still counts.
    m_sim->addFault("PING", TXqSimFault::of(TXqSimFault::Epar));
    m_link->BefehlEinreihen(QByteArray(), SB_PING, QByteArray());
    QVERIFY(warteBis([&] { return m_sim->count("TRX ") == 3; }));
    QCOMPARE(woerter(*m_sim).mid(4), (QStringList{"PING", "PING", "TRX ACK"}));
    QCOMPARE(m_host->fehler, QStringList{"127.0.0.2_PING: PARAMETERFEHLER"});
}

void tst_Link::halbeZeile_data()
{
    QTest::addColumn<int>("halteMs");
    QTest::addColumn<QString>("fehler");
    // Held open past the read time (250 ms scaled, shorter than BPRG's answer time-out) or
    // closed before it.
    QTest::newRow("offen gehalten") << 1000 << QStringLiteral("ERROR-ReadlnTimeOut");
    QTest::newRow("dann geschlossen") << 30 << QStringLiteral("127.0.0.2_BPRG: TIMEOUT - no answer!");
}

void tst_Link::halbeZeile()
{
    QFETCH(int, halteMs);
    QFETCH(QString, fehler);
    aufbauen();
    m_sim->addFault("BPRG", TXqSimFault::halfLine(halteMs));
    m_link->BefehlEinreihen(QByteArray(), SB_BPRG, QByteArray("0001"));
    QVERIFY(warteBis([&] { return m_sim->count("TRX ") == 1; }));
    QCOMPARE(m_host->fehler.first(), fehler);
    if (halteMs > 250) {
        QCOMPARE(m_host->antworten.first(), QStringLiteral("127.0.0.2-ERROR-ReadlnTimeOut"));
        QVERIFY(m_host->fehler.at(1).startsWith(
            QStringLiteral("Timeout from Client while connecting to TCP Server \"127.0.0.2\", PeerPort ")));
        QVERIFY(m_host->fehler.at(1).endsWith(QStringLiteral(", Port %1.").arg(m_port)));
    } else {
        // A half line and a close are no answer at all.
        QCOMPARE(m_host->antworten.size(), 1);
    }
    QCOMPARE(m_sim->count("BPRG"), 2);
}

void tst_Link::zeilenGrenze()
{
    aufbauen();
    // A line dripped in small pieces is one line; one past the cap is a broken read.
    m_sim->addFault("PING", TXqSimFault::drip(2, 1));
    m_sim->addFault("STAT", TXqSimFault::oversized(70000));
    m_link->BefehlEinreihen(QByteArray(), SB_PING, QByteArray());
    m_link->BefehlEinreihen(QByteArray(), SB_STAT, QByteArray());
    QVERIFY(warteBis([&] { return m_sim->count("TRX ") == 3; }));
    QCOMPARE(woerter(*m_sim), (QStringList{"PING", "TRX ACK", "STAT", "TRX NAK", "STAT", "TRX ACK"}));
    QCOMPARE(m_pending, QStringLiteral("Max line length exceeded."));
    QCOMPARE(m_host->fehler, QStringList{"127.0.0.2_STAT: Start-Zeichen fehlt!"});
}

void tst_Link::herdRueckzug()
{
    aufbauen();
    m_sim->stopListening();
    m_link->BefehlEinreihen(QByteArray(), SB_HERD, QByteArray());
    QVERIFY(warteBis([&] { return m_host->fehler.size() == 1 && !m_link->SendenBeschaeftigt(); }));
    QCOMPARE(m_link->StatusTimer->interval(), 10000);
    m_link->BefehlEinreihen(QByteArray(), SB_HERD, QByteArray());
    QVERIFY(warteBis([&] { return m_host->fehler.contains(QStringLiteral("Status-Error Interval-Up")); }));
    QTest::qWait(100);
    // Never repeated: two sends, two failures, then the slow poll.
    QCOMPARE(m_host->fehler, (QStringList{"ERROR03: Host 127.0.0.2 not available!",
                                          "ERROR03: Host 127.0.0.2 not available!", "Status-Error Interval-Up"}));
    QVERIFY(m_link->StatusTimer->interval() >= 60000 && m_link->StatusTimer->interval() <= 69999);
    QVERIFY(!m_link->SendenOk);
    QCOMPARE(m_host->meldungen, QStringList());
    QCOMPARE(fehlerdatei().last(), QStringLiteral("Status-Error Interval-Up"));
}

void tst_Link::loeschenUeber99_data()
{
    QTest::addColumn<QByteArray>("param");
    QTest::addColumn<int>("fehler");
    QTest::addColumn<int>("sendungen");
    QTest::addColumn<QString>("ende");
    QTest::newRow("106 stumm") << QByteArray("DELETE\t006A") << int(TXqSimFault::Silence) << 5 << "Delete100";
    QTest::newRow("106 unbekannt") << QByteArray("DELETE\t006A") << int(TXqSimFault::Eucd) << 1 << "Delete100";
    QTest::newRow("99 stumm") << QByteArray("DELETE\t0063") << int(TXqSimFault::Silence) << 3 << "Triedout-Error >3";
}

void tst_Link::loeschenUeber99()
{
    QFETCH(QByteArray, param);
    QFETCH(int, fehler);
    QFETCH(int, sendungen);
    QFETCH(QString, ende);
    aufbauen();
    m_sim->addFault("BPRG", TXqSimFault::of(TXqSimFault::Kind(fehler)), -1);
    m_link->BefehlEinreihen(QByteArray(), SB_BPRG, param);
    QVERIFY(warteBis([&] { return !m_host->fehler.isEmpty() && m_host->fehler.last() == ende; }));
    QTest::qWait(400);   // longer than the answer time-out: nothing follows
    QCOMPARE(m_sim->count("BPRG"), sendungen);
    QCOMPARE(m_host->fehler.last(), ende);
    QCOMPARE(m_host->meldungen.size(), ende == QLatin1String("Delete100") ? 0 : 1);
    QVERIFY(!m_link->Waiting->isChecked());
}

void tst_Link::antwortVorAbschluss()
{
    // The answer overtakes the end of our own send: that end changes nothing any more.
    aufbauen();
    std::function<void()> weiter;
    m_link->SetAbschlussHalter([&](std::function<void()> w) {
        if (!weiter && m_sim->count("TRX ") == 0)
            weiter = std::move(w);
        else
            w();
    });
    m_link->BefehlEinreihen(QByteArray(), SB_PING, QByteArray());
    QVERIFY(warteBis([&] { return bool(weiter) && m_host->antworten.size() == 1; }));
    QVERIFY(!m_link->Waiting->isChecked());
    QVERIFY(!m_link->Timeout->enabled());
    QTest::qWait(300);   // longer than the answer time-out
    weiter();
    QVERIFY(warteBis([&] { return m_sim->count("TRX ") == 1; }));
    QTest::qWait(300);
    QVERIFY(!m_link->Waiting->isChecked());
    QVERIFY(!m_link->Timeout->enabled());
    QCOMPARE(woerter(*m_sim), (QStringList{"PING", "TRX ACK"}));
    QCOMPARE(m_host->fehler, QStringList());
}

void tst_Link::quittungScheitertNachHerdVerweigerung()
{
    aufbauen();
    m_sim->addFault("HERD", TXqSimFault::of(TXqSimFault::Refuse));
    // Once the HERD is on its way, acknowledgements go to an address where nobody listens.
    m_link->SetAbschlussHalter([&](std::function<void()> w) {
        if (m_host->befehle.size() == 1)
            m_link->TCPClient.Host = QStringLiteral("127.0.0.3");
        w();
    });
    m_link->BefehlEinreihen(QByteArray(), SB_HERD, QByteArray());
    QVERIFY2(warteBis([&] { return m_host->fehler.size() == 2; }), qPrintable(m_host->fehler.join(u'|')));
    QCOMPARE(m_host->fehler, (QStringList{"127.0.0.3_HERD: ", "ERROR03: Host 127.0.0.3 not available!"}));
    // The lost acknowledgement released the gate and was not counted against HERD.
    QVERIFY(!m_link->Waiting->isChecked());
    QVERIFY(!m_link->Timeout->enabled());
    QCOMPARE(fehlerdatei().last(), QStringLiteral("ERROR03: Host 127.0.0.3 not available!"));
    m_link->SetAbschlussHalter(nullptr);
    m_link->TCPClient.Host = QStringLiteral("127.0.0.2");
    m_link->BefehlEinreihen(QByteArray(), SB_PING, QByteArray());
    QVERIFY(warteBis([&] { return m_sim->count("TRX ") == 1; }));
    QTest::qWait(200);
    QCOMPARE(woerter(*m_sim), (QStringList{"HERD", "PING", "TRX ACK"}));
    QCOMPARE(m_host->meldungen, QStringList());
}

void tst_Link::langeZeileBleibtGanz()
{
    aufbauen();
    // A whole-list chunk of 17 full programs is longer than any display line.
    const QByteArray text = "0001\t##HEAD\t" + QByteArray(40000, 'x') + "\t##/HEAD\t##BODY\t##/BODY";
    m_link->BefehlEinreihen(QByteArray(), SB_BPRG, text);
    QCOMPARE(m_link->MakroZeilen().first().size(), text.size() + 2 + 7);
    QVERIFY(warteBis([&] { return m_sim->count("BPRG") == 1; }));
    QCOMPARE(m_sim->framesOf("BPRG").first().params, text);
}

void tst_Link::portBelegt()
{
    const quint16 port = [] {
        for (quint16 p = 2600; p <= 2699; ++p) {
            QTcpServer t;
            if (t.listen(kPc, p))
                return p;
        }
        return quint16(0);
    }();
    QVERIFY(port);
    QTcpServer anderer;
    QVERIFY(anderer.listen(kPc, port));
    qputenv("KELVOR_LISTEN_ADDRESS", "127.0.0.1");
    TwKelvor w;
    qunsetenv("KELVOR_LISTEN_ADDRESS");
    QCOMPARE(w.TCPServer->Adresse(), kPc);
    w.PortEdit->setValue(port);
    w.IPEdit->setText(QStringLiteral("127.0.0.2"));
    m_env->dialoge().expectBox(QMessageBox::Ok);
    w.VerbindungEinrichten();
    QVERIFY(m_env->dialoge().allAnswersUsed());
    const TBoxRequest box = m_env->dialoge().boxes().last();
    QCOMPARE(box.caption, QStringLiteral("WARNUNG"));
    QVERIFY(box.text.startsWith(QStringLiteral("TCP-Error: Kann Port %1 nicht öffnen!\r\nBitte überprüfen").arg(port)));
    QVERIFY(box.text.endsWith(QStringLiteral("\r\n\r\n(An einem PC kann ein bestimmter Port eines TCP-Servers\r\n"
                                             " nur von einem Programm gleichzeitig geöffnet werden.)")));
    QVERIFY(fehlerdatei().contains(QStringLiteral("TCP-Error: Kann Port %1 nicht öffnen!").arg(port)));
    // Each set-up tries again until the port is free.
    m_env->dialoge().expectBox(QMessageBox::Ok);
    w.VerbindungEinrichten();
    QVERIFY(m_env->dialoge().allAnswersUsed());
    anderer.close();
    w.VerbindungEinrichten();
    QVERIFY(w.TCPServer->Aktiv());
    QCOMPARE(m_env->dialoge().boxes().size(), 2);
}

void tst_Link::umkonfigurieren()
{
    QList<quint16> ports;
    for (quint16 p = 2600; p <= 2699 && ports.size() < 2; ++p) {
        QTcpServer t;
        if (t.listen(kPc, p))
            ports << p;
    }
    QCOMPARE(ports.size(), 2);
    TwKelvor w;
    w.Tracking->setChecked(true);
    w.TCPServer->SetAdresse(kPc);
    w.PortEdit->setValue(ports[0]);
    w.IPEdit->setText(QStringLiteral("127.0.0.2"));
    w.VerbindungEinrichten();
    QCOMPARE(w.Links.size(), size_t(1));
    TwXQXOfen *link = w.Links[0];
    QVERIFY(w.TCPServer->Aktiv());
    QCOMPARE(w.TCPServer->Port(), ports[0]);
    QCOMPARE(link->TCPClient.Port, ports[0]);
    QCOMPARE(link->TCPClient.Host, QStringLiteral("127.0.0.2"));

    // Nothing changed: nothing restarts, an open answer connection still delivers its line.
    QTcpSocket offen;
    offen.connectToHost(kPc, ports[0]);
    QVERIFY(offen.waitForConnected(2000));
    w.VerbindungEinrichten();
    QCOMPARE(w.Links[0], link);
    offen.write(RahmenBilden("ping") + "\n");
    // The answer is acknowledged to 127.0.0.2, where nobody listens.
    QVERIFY2(warteBis([&] { return w.LBError->count() == 1; }), qPrintable(w.IPEdit->text() + " " + link->TCPClient.Host));
    QVERIFY(w.LBError->item(0)->text().endsWith(QStringLiteral("-ERROR03: Host 127.0.0.2 not available!")));

    QTcpSocket offen2;
    offen2.connectToHost(kPc, ports[0]);
    QVERIFY(offen2.waitForConnected(2000));
    w.PortEdit->setValue(ports[1]);
    w.VerbindungEinrichten();
    QCOMPARE(w.Links[0], link);
    QCOMPARE(w.TCPServer->Port(), ports[1]);
    QCOMPARE(link->TCPClient.Port, ports[1]);
    QVERIFY(w.TCPServer->Aktiv());
    // The restart dropped the connection that was open.
    QVERIFY(warteBis([&] { return offen2.state() == QAbstractSocket::UnconnectedState; }));

    w.IPEdit->setText(QStringLiteral("127.0.0.003"));
    w.VerbindungEinrichten();
    QCOMPARE(link->TCPClient.Host, QStringLiteral("127.0.0.003"));
    QVERIFY(w.TCPServer->Aktiv());
}

QTEST_MAIN(tst_Link)
#include "tst_Link.moc"

// The link window and the diagnostic switches of the service view against the stand-in
// controller: the gate with its safety timer, NoWait, KillBox and EndlosSenden, the poll interval.
#include "TestUmgebung.h"
#include "XqSim.h"

#include "Sammlung.h"
#include "Zeitgeber.h"
#include "uKelvor.h"
#include "uXqxOfen.h"

#include <QCheckBox>
#include <QElapsedTimer>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QSpinBox>
#include <QTcpServer>
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
    bool NoWaitGesetzt() const override { return noWait; }
    bool PingTimerGesetzt() const override { return false; }
    bool StatTimerGesetzt() const override { return false; }
    bool ZeitTimerGesetzt() const override { return false; }
    bool KillBoxGesetzt() const override { return kill; }
    bool EndlosSendenGesetzt() const override { return endlos; }
    bool ServerStoppen() override
    {
        server->Deaktivieren();
        return stoppGeht;
    }
    bool ServerAktivieren() override { return server->Aktivieren(); }

    TAntwortServer *server = nullptr;
    bool noWait = false, kill = false, endlos = false, stoppGeht = true;
    QStringList befehle, antworten, fehler, meldungen;
};

// Largest gap between ticks of a 5 ms timer: how long the event loop stood still.
class TLueckenMesser
{
public:
    TLueckenMesser()
    {
        m_uhr.start();
        QObject::connect(&m_timer, &QTimer::timeout, [this] { m_max = qMax(m_max, m_uhr.restart()); });
        m_timer.start(5);
    }
    qint64 groessteLuecke() const { return m_max; }

private:
    QTimer m_timer;
    QElapsedTimer m_uhr;
    qint64 m_max = 0;
};

quint16 freierPort(quint16 von, quint16 bis)
{
    for (int versuch = 0; versuch < 200; ++versuch) {
        const quint16 p = quint16(von + QRandomGenerator::global()->bounded(bis - von + 1));
        QTcpServer a, b;
        if (a.listen(kPc, p) && b.listen(kSteuerung, p))
            return p;
    }
    return 0;
}

QStringList woerter(const TXqSim &sim)
{
    QStringList out;
    for (const TXqSimFrame &f : sim.frames())
        out << QString::fromLatin1(f.word == "TRX " ? QByteArray("TRX ") + (f.params == "\x06" ? "ACK" : "NAK")
                                                    : f.word);
    return out;
}

// Connection numbers of the frames with this word, in order.
QList<int> verbindungen(const TXqSim &sim, const QByteArray &wort)
{
    QList<int> out;
    for (const TXqSimFrame &f : sim.framesOf(wort))
        out << f.connection;
    return out;
}

} // namespace

class tst_Linkfenster : public QObject
{
    Q_OBJECT
private slots:
    void init();
    void cleanup();

    void fenster();
    void waitingTor();
    void bpl2SicherheitLaesstZeitablauf();
    void noWait();
    void diagnoseSchalter_data();
    void diagnoseSchalter();
    void serverFehler_data();
    void serverFehler();
    void statIntBeimNaechstenGutenSenden();
    void hauptfensterKillBox();

private:
    void aufbauen();

    std::unique_ptr<TTestUmgebung> m_env;
    std::unique_ptr<TFakeHost> m_host;
    std::unique_ptr<TAntwortServer> m_server;
    std::unique_ptr<TwXQXOfen> m_link;
    std::unique_ptr<TXqSim> m_sim;
    QString m_pending;
    quint16 m_port = 0;
};

void tst_Linkfenster::init()
{
    m_env = std::make_unique<TTestUmgebung>(0.05);
    m_pending.clear();
    Closing = false;
    ServiceMode = false;
    DiagView = false;
}

void tst_Linkfenster::cleanup()
{
    m_link.reset();
    m_server.reset();
    m_sim.reset();
    m_host.reset();
    ServiceMode = false;
    DiagView = false;
    QVERIFY2(m_env->dialoge().unexpected() == 0, "a modal box came that nobody expected");
    m_env.reset();
}

void tst_Linkfenster::aufbauen()
{
    m_port = freierPort(20000, 60000);
    QVERIFY(m_port);
    m_host = std::make_unique<TFakeHost>();
    m_server = std::make_unique<TAntwortServer>();
    m_server->SetAdresse(kPc);
    m_server->SetPort(m_port);
    QVERIFY(m_server->Aktivieren());
    m_host->server = m_server.get();
    m_link = std::make_unique<TwXQXOfen>(m_host.get());
    m_link->Init(QStringLiteral("127.0.0.2"));
    m_link->TCPClient.Port = m_port;
    connect(m_server.get(), &TAntwortServer::Gelesen, this, [this](const TServerVerbindung &v) {
        ServerZeileVerarbeiten(v, *m_host, m_link.get(), m_port, m_pending);
    });
    m_sim = std::make_unique<TXqSim>();
    QVERIFY2(m_sim->start(m_port, kSteuerung, kPc), qPrintable(m_sim->errorString()));
}

void tst_Linkfenster::fenster()
{
    TFakeHost host;
    TwXQXOfen w(&host);
    QCOMPARE(w.objectName(), QStringLiteral("wXQXOfen"));
    for (const char *name : {"Makros", "Panel1", "CloseBtn", "DebugPanel", "Label1", "StatInt", "Waiting"})
        QCOMPARE(w.findChildren<QWidget *>(QLatin1String(name)).size(), 1);
    // No close box; only CloseBtn hides it.
    const Qt::WindowFlags f = w.windowFlags();
    QVERIFY(!(f & Qt::WindowCloseButtonHint));
    QVERIFY(f & Qt::WindowMinimizeButtonHint);
    QVERIFY(f & Qt::WindowMaximizeButtonHint);

    w.Init(QStringLiteral("127.000.0.2"));
    QCOMPARE(w.windowTitle(), QStringLiteral("XQ 127.000.0.2"));
    w.Init(QStringLiteral("300.1.1.1"));
    QCOMPARE(w.windowTitle(), QStringLiteral("XQ "));

    // Activation shows the debug panel only in the diagnostic view.
    w.DebugPanel->hide();
    w.show();
    QVERIFY(QTest::qWaitForWindowExposed(&w));
    QVERIFY(w.DebugPanel->isHidden());
    w.hide();
    DiagView = true;
    w.show();
    QVERIFY(QTest::qWaitForWindowExposed(&w));
    QVERIFY(w.DebugPanel->isVisible());
    QCOMPARE(w.Panel1->height(), 36);
    QCOMPARE(w.DebugPanel->height(), 88);
    w.CloseBtn->click();
    QVERIFY(!w.isVisible());
    // Hidden, the link goes on with its ticks.
    QVERIFY(w.TimerHerzWake->enabled());
}

void tst_Linkfenster::waitingTor()
{
    aufbauen();
    // Set or cleared by program, the gate starts and stops the safety timer as a click would.
    m_link->Waiting->setChecked(true);
    QVERIFY(m_link->WaitingTimer->enabled());
    m_link->Waiting->setChecked(false);
    QVERIFY(!m_link->WaitingTimer->enabled());

    // Held by hand, the queue stands; cleared, it goes on at once.
    m_link->Waiting->click();
    m_link->BefehlEinreihen(QByteArray(), SB_PING, QByteArray());
    QTest::qWait(200);
    QCOMPARE(m_sim->count("PING"), 0);
    m_link->Waiting->click();
    QVERIFY(QTest::qWaitFor([&] { return m_sim->count("TRX ") == 1; }, 2000));

    // Left held, the safety timer (500 ms here) lets it go.
    QElapsedTimer uhr;
    m_link->Waiting->setChecked(true);
    uhr.start();
    m_link->BefehlEinreihen(QByteArray(), SB_STAT, QByteArray());
    QVERIFY(QTest::qWaitFor([&] { return m_sim->count("STAT") == 1; }, 3000));
    QVERIFY2(uhr.elapsed() >= 450, qPrintable(QString::number(uhr.elapsed())));
    QVERIFY(QTest::qWaitFor([&] { return m_sim->count("TRX ") == 2 && !m_link->Waiting->isChecked(); }, 2000));
    QVERIFY(!m_link->WaitingTimer->enabled());
    QCOMPARE(m_host->fehler, QStringList());
}

void tst_Linkfenster::bpl2SicherheitLaesstZeitablauf()
{
    // BPL2 waits as long as the safety timer runs; with a line queued behind it, the safety
    // timer must not open the gate under the running answer time-out.
    aufbauen();
    TLueckenMesser luecke;
    m_sim->addFault("BPL2", TXqSimFault::of(TXqSimFault::Silence), -1);
    m_link->BefehlEinreihen(QByteArray(), SB_BPLI, QByteArray());
    m_link->BefehlEinreihen(QByteArray(), SB_PING, QByteArray());
    QVERIFY(QTest::qWaitFor([&] { return m_sim->count("TRX ") == 1; }, 5000));
    QCOMPARE(woerter(*m_sim), (QStringList{"BPL2", "BPL2", "BPL2", "PING", "TRX ACK"}));
    const QString zeitablauf = QStringLiteral("127.0.0.2_BPL2: TIMEOUT - no answer!");
    QCOMPARE(m_host->fehler.count(zeitablauf), 3);
    QCOMPARE(m_host->meldungen, QStringList{zeitablauf});
    QVERIFY(luecke.groessteLuecke() < 100);
}

void tst_Linkfenster::noWait()
{
    // Slow answers and time-outs long enough that all requests are out before the first answer.
    SetTimeScale(0.2);
    aufbauen();
    TLueckenMesser luecke;
    m_host->noWait = true;
    m_sim->addFault("*", TXqSimFault::delay(250), 4);
    QSignalSpy tor(m_link->Waiting, &QCheckBox::toggled);
    for (const NeuerBefehl *b : {&SB_PING, &SB_STAT, &SB_ZEIT, &SB_HERD})
        m_link->BefehlEinreihen(QByteArray(), *b, QByteArray());
    QVERIFY(QTest::qWaitFor([&] { return m_sim->count("TRX ") == 4; }, 5000));
    QTest::qWait(100);
    QCOMPARE(woerter(*m_sim),
             (QStringList{"PING", "STAT", "ZEIT", "HERD", "TRX ACK", "TRX ACK", "TRX ACK", "TRX ACK"}));
    // Each answer was taken in, checked and acknowledged.
    QCOMPARE(m_host->antworten.filter(QRegularExpression(QStringLiteral("^127\\.0\\.0\\.2-"))).size(), 4);
    QCOMPARE(m_host->fehler, QStringList());
    QCOMPARE(tor.count(), 0);
    QVERIFY(luecke.groessteLuecke() < 100);
}

void tst_Linkfenster::diagnoseSchalter_data()
{
    QTest::addColumn<bool>("service");
    QTest::addColumn<bool>("kill");
    QTest::addColumn<bool>("endlos");
    QTest::addColumn<bool>("serverAn");
    QTest::addColumn<bool>("beantwortet");
    QTest::addColumn<int>("jeVerbindung");
    // Outside the service view only NoWait counts.
    QTest::newRow("Kill ohne Serviceansicht") << false << true << true << true << true << 1;
    QTest::newRow("Kill") << true << true << false << true << false << 1;
    QTest::newRow("Kill und EndlosSenden") << true << true << true << true << false << 10;
    QTest::newRow("ohne Kill, Server aus") << true << false << false << false << true << 1;
}

void tst_Linkfenster::diagnoseSchalter()
{
    QFETCH(bool, service);
    QFETCH(bool, kill);
    QFETCH(bool, endlos);
    QFETCH(bool, serverAn);
    QFETCH(bool, beantwortet);
    QFETCH(int, jeVerbindung);
    aufbauen();
    TLueckenMesser luecke;
    ServiceMode = service;
    m_host->kill = kill;
    m_host->endlos = endlos;
    if (!serverAn)
        m_server->Deaktivieren();
    m_link->BefehlEinreihen(QByteArray(), SB_PING, QByteArray());
    const int versuche = beantwortet ? 1 : 3;
    QVERIFY(QTest::qWaitFor([&] { return beantwortet ? m_sim->count("TRX ") == 1 : m_host->meldungen.size() == 1; },
                            5000));
    QTest::qWait(100);
    QCOMPARE(m_sim->count("PING"), versuche * jeVerbindung);
    // Every attempt on a connection of its own, each of its frames on that one.
    const QList<int> nr = verbindungen(*m_sim, "PING");
    for (int v = 0; v < versuche; ++v) {
        for (int i = 0; i < jeVerbindung; ++i)
            QCOMPARE(nr[v * jeVerbindung + i], nr[v * jeVerbindung]);
        if (v > 0)
            QVERIFY(nr[v * jeVerbindung] != nr[(v - 1) * jeVerbindung]);
    }
    QCOMPARE(m_host->befehle.size(), m_sim->frames().size());
    QCOMPARE(m_server->Aktiv(), !(service && kill));
    if (beantwortet) {
        QCOMPARE(m_host->fehler, QStringList());
        QCOMPARE(m_host->antworten.size(), 1);
    } else {
        QCOMPARE(m_host->fehler.count(QStringLiteral("127.0.0.2_PING: TIMEOUT - no answer!")), 3);
        QCOMPARE(m_host->antworten, QStringList());
    }

    // An acknowledgement, sent directly since no answer can come in with the server down.
    const qsizetype vorher = m_sim->frames().size();
    m_link->Senden(SB_TRX, QByteArray(1, ACK));
    QVERIFY(QTest::qWaitFor([&] { return m_sim->frames().size() == vorher + 1 && !m_link->SendenBeschaeftigt(); },
                            2000));
    QTest::qWait(50);
    QCOMPARE(m_sim->frames().size(), vorher + 1);
    const QByteArray erwartet = service && kill ? RahmenBilden("1234567890") : RahmenBilden("TRX \x06");
    QCOMPARE(m_sim->frames().last().raw, erwartet);
    QVERIFY(luecke.groessteLuecke() < 100);
}

void tst_Linkfenster::serverFehler_data()
{
    QTest::addColumn<bool>("kill");
    QTest::newRow("Server startet nicht") << false;
    QTest::newRow("Server stoppt nicht") << true;
}

void tst_Linkfenster::serverFehler()
{
    QFETCH(bool, kill);
    aufbauen();
    ServiceMode = true;
    m_host->kill = kill;
    m_host->stoppGeht = false;
    // Another program holds the port: the server cannot start again.
    m_server->Deaktivieren();
    QTcpServer anderer;
    QVERIFY(anderer.listen(kPc, m_port));
    m_link->BefehlEinreihen(QByteArray(), SB_PING, QByteArray());
    QVERIFY(QTest::qWaitFor([&] { return m_host->meldungen.size() == 1; }, 5000));
    const QString meldung = QStringLiteral("ERROR04: Host 127.0.0.2 not available!");
    QCOMPARE(m_host->meldungen, QStringList{meldung});
    QCOMPARE(m_host->fehler.count(meldung), 3);
    // The frame itself never went out.
    QCOMPARE(m_sim->count("PING"), 0);
    QCOMPARE(m_host->befehle, QStringList());
    QVERIFY(!m_link->Waiting->isChecked());
}

void tst_Linkfenster::statIntBeimNaechstenGutenSenden()
{
    aufbauen();
    m_link->StatInt->setValue(700);
    QCOMPARE(m_link->StatusTimer->interval(), 10000);
    // A failed send leaves the interval alone.
    m_sim->stopListening();
    m_link->BefehlEinreihen(QByteArray(), SB_ZEIT, QByteArray());
    QVERIFY(QTest::qWaitFor([&] { return m_host->fehler.size() == 4 && !m_link->SendenBeschaeftigt(); }, 3000));
    QCOMPARE(m_link->StatusTimer->interval(), 10000);
    QVERIFY(m_sim->resumeListening());
    m_link->BefehlEinreihen(QByteArray(), SB_PING, QByteArray());
    QVERIFY(QTest::qWaitFor([&] { return m_sim->count("TRX ") == 1; }, 2000));
    QCOMPARE(m_link->StatusTimer->interval(), 700);
    // After a good send the next poll tick takes a new value too.
    m_link->StatInt->setValue(1300);
    m_link->StatusTimerTimer();
    QCOMPARE(m_link->StatusTimer->interval(), 1300);
}

void tst_Linkfenster::hauptfensterKillBox()
{
    // The main window's own switches and server, in the service view.
    // Time-outs long enough for the stand-in to give up its answers to the dead server first.
    SetTimeScale(0.3);
    const quint16 port = freierPort(2600, 2699);
    QVERIFY(port);
    ServiceMode = true;
    TwKelvor w;
    w.TCPServer->SetAdresse(kPc);
    w.PortEdit->setValue(port);
    w.IPEdit->setText(QStringLiteral("127.0.0.2"));
    w.VerbindungEinrichten();
    QVERIFY(w.TCPServer->Aktiv());
    TXqSim sim;
    QVERIFY2(sim.start(port, kSteuerung, kPc), qPrintable(sim.errorString()));
    TwXQXOfen *link = w.Links.at(0);

    // KillBox ticks the other two through their own handlers.
    w.KillBox->setChecked(true);
    QVERIFY(w.EndlosSenden->isChecked());
    QVERIFY(w.NoWait->isChecked());
    link->BefehlEinreihen(QByteArray(), SB_PING, QByteArray());
    QVERIFY(QTest::qWaitFor([&] { return sim.count("PING") == 10; }, 3000));
    QVERIFY(!w.TCPServer->Aktiv());
    QVERIFY(!link->Waiting->isChecked());
    const QList<int> nr = verbindungen(sim, "PING");
    QCOMPARE(nr.count(nr.first()), 10);
    QVERIFY(QTest::qWaitFor([&] { return sim.answersPending() == 0; }, 2000));
    QCOMPARE(sim.count("PING"), 10);
    QVERIFY(link->Timeout->enabled());

    // Switched off, the repeat starts the server again and its answer comes in.
    w.KillBox->setChecked(false);
    QVERIFY(!w.EndlosSenden->isChecked());
    QVERIFY(!w.NoWait->isChecked());
    QVERIFY(QTest::qWaitFor([&] { return sim.count("TRX ") == 1; }, 3000));
    QVERIFY(w.TCPServer->Aktiv());
    QTest::qWait(100);
    QCOMPARE(sim.count("PING"), 11);
    QCOMPARE(sim.count("TRX "), 1);
}

QTEST_MAIN(tst_Linkfenster)
#include "tst_Linkfenster.moc"

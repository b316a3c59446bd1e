// The link window and the diagnostic switches of the service view against the stand-in
// controller: the gate with its safety timer, NoWait, KillBox and EndlosSenden.
#include "support/LinkTestHilfe.h"
#include "app/Sammlung.h"
#include "link/uKelvor.h"

#include <QCheckBox>
#include <QPushButton>
#include <QSignalSpy>
#include <QtTest>

class tst_Linkfenster : public TLinkTest
{
    Q_OBJECT
private slots:
    void fenster();
    void waitingTor();
    void leererTaktRuht();
    void noWait();
    void diagnoseSchalter_data();
    void diagnoseSchalter();
};

void tst_Linkfenster::fenster()
{
    TwXQXOfen &w = *a->link;
    QCOMPARE(w.objectName(), QStringLiteral("wXQXOfen"));
    for (const char *name : {"Makros", "Panel1", "CloseBtn", "DebugPanel", "Label1", "StatInt", "Waiting"})
        QCOMPARE(w.findChildren<QWidget *>(QLatin1String(name)).size(), 1);
    // No close box; only CloseBtn hides it.
    QCOMPARE(w.windowFlags() & (Qt::WindowCloseButtonHint | Qt::WindowMinimizeButtonHint | Qt::WindowMaximizeButtonHint),
             Qt::WindowMinimizeButtonHint | Qt::WindowMaximizeButtonHint);
    QCOMPARE(w.windowTitle(), QStringLiteral("XQ 127.0.0.2"));

    // Activation shows the debug panel only in the diagnostic view; hiding leaves the link at work.
    DiagView = true;
    w.DebugPanel->hide();
    w.show();
    QVERIFY(QTest::qWaitForWindowExposed(&w));
    QVERIFY(w.DebugPanel->isVisible());
    w.CloseBtn->click();
    QVERIFY(!w.isVisible());
    QVERIFY(w.TimerHerzWake->enabled());
}

// With nothing queued the wake tick leaves the queue tick off; a line queued turns it on.
void tst_Linkfenster::leererTaktRuht()
{
    TwXQXOfen &link = *a->link;
    QVERIFY(warte([&] { return a->ruhig() && !link.TimerHerz->enabled(); }));
    QVERIFY(link.TimerHerzWake->enabled());
    link.TimerHerzWakeTimer();
    QVERIFY(!link.TimerHerz->enabled());

    link.Waiting->setChecked(true);
    a->reihe(SB_PING);
    QVERIFY(!link.TimerHerz->enabled());
    link.Waiting->setChecked(false);
    link.TimerHerzWakeTimer();
    QVERIFY(link.TimerHerz->enabled());
    QVERIFY(warte([&] { return a->sim.count("TRX ") == 1 && a->ruhig(); }));
    QCOMPARE(a->enden, QStringList{"PING:Beantwortet"});
}

void tst_Linkfenster::waitingTor()
{
    TwXQXOfen &link = *a->link;
    // Set or cleared by program, the gate starts and stops the safety timer as a click would.
    link.Waiting->setChecked(true);
    QVERIFY(link.WaitingTimer->enabled());
    link.Waiting->setChecked(false);
    QVERIFY(!link.WaitingTimer->enabled());

    // Held by hand, the queue stands; cleared, it goes on at once.
    link.Waiting->click();
    a->reihe(SB_PING);
    QTest::qWait(200);
    QCOMPARE(a->sim.count("PING"), 0);
    link.Waiting->click();
    // Done once the acknowledgement has left: its end, too, clears the gate.
    QVERIFY(warte([&] { return a->sim.count("TRX ") == 1 && a->ruhig(); }));

    // Left held, the safety timer (1000 ms here) lets it go, and only it.
    QSignalSpy sicherung(link.WaitingTimer, &TTimer::timeout);
    int sicherungBeimSenden = -1;
    connect(&a->sim, &TXqSim::frameReceived, this, [&](const TXqSimFrame &f) {
        if (f.word == "STAT")
            sicherungBeimSenden = int(sicherung.size());
    });
    SetTimeScale(kSchnell);
    link.Waiting->setChecked(true);
    SetTimeScale(kProgrammZeit);
    a->reihe(SB_STAT);
    QVERIFY(warte([&] { return a->sim.count("TRX ") == 2 && a->ruhig(); }));
    QCOMPARE(sicherungBeimSenden, 1);
    QVERIFY(!link.Waiting->isChecked());
    QCOMPARE(a->enden, (QStringList{"PING:Beantwortet", "STAT:Beantwortet"}));
    QCOMPARE(a->host.fehler, QStringList());
}

void tst_Linkfenster::noWait()
{
    // The stand-in answers only once all requests are out: none waited for an answer.
    a->host.noWait = true;
    a->sim.setAnswersHeld(true);
    QSignalSpy tor(a->link->Waiting, &QCheckBox::toggled);
    for (const NeuerBefehl *b : {&SB_PING, &SB_STAT, &SB_ZEIT, &SB_HERD})
        a->reihe(*b);
    QVERIFY(warte([&] { return a->sim.count("HERD") == 1 && a->link->MakroZeilen().isEmpty(); }));
    a->sim.setAnswersHeld(false);
    QVERIFY(warte([&] { return a->sim.count("TRX ") == 4 && a->ruhig(); }));
    QCOMPARE(Woerter(a->sim), (QStringList{"PING", "STAT", "ZEIT", "HERD", "TRX ACK", "TRX ACK", "TRX ACK", "TRX ACK"}));
    QCOMPARE(a->host.fehler, QStringList());
    QCOMPARE(tor.count(), 0);
    // Each send took the place of the one before; the last was answered (by the first answer
    // that came, as any good answer ends the command in flight).
    QCOMPARE(a->enden, (QStringList{"PING:Verworfen", "STAT:Verworfen", "ZEIT:Verworfen", "HERD:Beantwortet"}));
}

void tst_Linkfenster::diagnoseSchalter_data()
{
    QTest::addColumn<bool>("service");
    QTest::addColumn<bool>("kill");
    QTest::addColumn<bool>("endlos");
    QTest::addColumn<bool>("serverAn");
    QTest::addColumn<int>("jeVerbindung");   // 0: answered, else written that often per attempt
    // Outside the service view only NoWait counts. Rows where no answer can come run their
    // time-outs fast.
    QTest::newRow("Kill ohne Serviceansicht") << false << true << true << true << 0;
    QTest::newRow("Kill") << true << true << false << true << 1;
    QTest::newRow("Kill und EndlosSenden") << true << true << true << true << 10;
    QTest::newRow("ohne Kill, Server aus") << true << false << false << false << 0;
}

void tst_Linkfenster::diagnoseSchalter()
{
    QFETCH(bool, service);
    QFETCH(bool, kill);
    QFETCH(bool, endlos);
    QFETCH(bool, serverAn);
    QFETCH(int, jeVerbindung);
    const bool beantwortet = jeVerbindung == 0;
    if (!beantwortet)
        QVERIFY2(neuStarten(kSchnell), qPrintable(a->grund));
    ServiceMode = service;
    a->host.kill = kill;
    a->host.endlos = endlos;
    if (!serverAn)
        a->server.Deaktivieren();
    a->reihe(SB_PING);
    QVERIFY(warte([&] {
        return a->enden.size() == 1 && a->ruhig() && a->sim.count("TRX ") == (beantwortet ? 1 : 0)
               && a->sim.count("PING") == (beantwortet ? 1 : 3 * jeVerbindung);
    }));
    QCOMPARE(a->enden.first(), beantwortet ? QStringLiteral("PING:Beantwortet") : QStringLiteral("PING:Aufgegeben"));
    QCOMPARE(a->host.meldungen.size(), beantwortet ? 0 : 1);
    // Every attempt on a connection of its own, each of its frames on that one.
    const QList<TXqSimFrame> pings = a->sim.framesOf("PING");
    QCOMPARE(pings.size(), beantwortet ? 1 : 3 * jeVerbindung);
    for (qsizetype i = 0; i < pings.size(); ++i)
        QVERIFY(pings[i].connection == pings[i - i % qMax(1, jeVerbindung)].connection);
    QVERIFY(beantwortet || pings.first().connection != pings.last().connection);
    QCOMPARE(a->server.Aktiv(), !(service && kill));
    QCOMPARE(a->host.fehler.count(QStringLiteral("127.0.0.2_PING: TIMEOUT - no answer!")), beantwortet ? 0 : 3);

    // An acknowledgement, sent directly since no answer can come in with the server down.
    const qsizetype vorher = a->sim.frames().size();
    a->link->Senden(SB_TRX, QByteArray(1, ACK));
    QVERIFY(warte([&] { return a->sim.frames().size() == vorher + 1 && !a->link->SendenBeschaeftigt(); }));
    QCOMPARE(a->sim.frames().last().raw, RahmenBilden(service && kill ? "1234567890" : "TRX \x06"));
}

QTEST_MAIN(tst_Linkfenster)
#include "tst_Linkfenster.moc"

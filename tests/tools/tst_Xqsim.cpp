// The stand-in controller's answers and its loopback-only rule. Its frames, its fault scripts
// and its sockets are proven by the link tests that talk to it.
#include "XqSim.h"

#include <QProcess>
#include <QtTest>

class TstXqsim : public QObject
{
    Q_OBJECT
private slots:
    void answers_data()
    {
        QTest::addColumn<QByteArray>("req");
        QTest::addColumn<QByteArray>("answer");
        const QByteArray ack("\t\x06");
        QTest::newRow("PING") << QByteArray("PING") << "ping" + ack;
        QTest::newRow("STAT") << QByteArray("STAT") << QByteArray("stat0\t2\t1\t0064\tXQ7310\t01020304\t0A0B0C");
        QTest::newRow("BPL2") << QByteArray("BPL2")
                              << QByteArray("bpl20001\tWeizenbr\xF6tchen\t0002\tRoggenmischbrot\t0003\tBaguette\t");
        QTest::newRow("BPRG free slot") << QByteArray("BPRG0004") << QByteArray("bprg\tCANNOT OPEN");
        QTest::newRow("BPRG 200") << QByteArray("BPRG00C8") << QByteArray("bprg\tEPAR");
        QTest::newRow("LOAD missing") << QByteArray("LOAD0001\t0063") << QByteArray("load\x15" "2\t");
        QTest::newRow("LOAD") << QByteArray("LOAD0002\t0002") << "load" + ack;
        QTest::newRow("STOP no deck") << QByteArray("STOP0004") << QByteArray("stop\tEPAR");
        for (const char *r : {"STAR0001", "SWAD0003\t005", "AZUG0001\t100", "SOLL0001\t00FF", "BZEI0001\t0258", "OFEN02\t-01"})
            QTest::newRow(QByteArray(r).left(4).constData()) << QByteArray(r) << QByteArray(r).left(4).toLower() + ack;
        QTest::newRow("unknown") << QByteArray("KAFF") << QByteArray("EUCD\tKAFF");
    }
    void answers()
    {
        QFETCH(QByteArray, req);
        QFETCH(QByteArray, answer);
        TXqSimController c;
        c.seedDemoPrograms(3);
        QCOMPARE(c.answer(req.left(4), req.mid(4)), answer);
    }

    void keepsItsState()
    {
        TXqSimController c;
        const QByteArray text = TXqSimController::demoProgramText("SEPARAT", 200, 600, 0);
        QCOMPARE(c.answer("BPRG", "0007\t" + QByteArray(text).replace("\r\n", "\t")), QByteArray("bprg\t\x06"));
        QCOMPARE(c.program(7), text);
        QCOMPARE(c.answer("BPRG", "DELETE\t0007\t0008"), QByteArray("bprg\t\x06"));
        QCOMPARE(c.answer("BPRG", "0007"), QByteArray("bprg\tCANNOT OPEN"));
        QCOMPARE(c.answer("ZEIT", "01.02.2020 10:00:00"), QByteArray("zeit01.02.2020 10:00:00"));
        QVERIFY(c.answer("ZEIT", {}).startsWith("zeit01.02.2020 10:0"));
        c.setLegacy(true);
        QCOMPARE(c.answer("BPL2", {}), QByteArray("EUCD\tBPL2"));
        QCOMPARE(c.answer("BPLI", {}), QByteArray("bpli"));
    }

    // The program writes "%2d": a start at 0:05 goes as " 5" and reads back so.
    void nightStarts_data()
    {
        QTest::addColumn<QByteArray>("values");
        QTest::addColumn<QByteArray>("answer");
        const QByteArray ok = QByteArray("nast") + '\x06';
        QTest::newRow("padded") << QByteArray(" 5\t-1\t375\t1320\t-1\t-1\t-1\t-1\t-1\t-1\t-1\t-1\t-1\t 0") << ok;
        QTest::newRow("bounds") << QByteArray("0\t1439\t-1\t-1\t-1\t-1\t-1\t-1\t-1\t-1\t-1\t-1\t-1\t-1") << ok;
        QTest::newRow("1440") << QByteArray("1440\t-1\t-1\t-1\t-1\t-1\t-1\t-1\t-1\t-1\t-1\t-1\t-1\t-1")
                              << QByteArray("nast\tEPAR");
        QTest::newRow("trailing blank") << QByteArray("5 \t-1\t-1\t-1\t-1\t-1\t-1\t-1\t-1\t-1\t-1\t-1\t-1\t-1")
                                        << QByteArray("nast\tEPAR");
        QTest::newRow("only blanks") << QByteArray("  \t-1\t-1\t-1\t-1\t-1\t-1\t-1\t-1\t-1\t-1\t-1\t-1\t-1")
                                     << QByteArray("nast\tEPAR");
        QTest::newRow("thirteen") << QByteArray("-1\t-1\t-1\t-1\t-1\t-1\t-1\t-1\t-1\t-1\t-1\t-1\t-1")
                                  << QByteArray("nast\tEPAR");
    }
    void nightStarts()
    {
        QFETCH(QByteArray, values);
        QFETCH(QByteArray, answer);
        TXqSimController c;
        const QByteArray before = c.nightStarts();
        QCOMPARE(c.answer("NAST", values), answer);
        const QByteArray held = answer.endsWith('\x06') ? values : before;
        QCOMPARE(c.nightStarts(), held);
        QCOMPARE(c.answer("NAST", {}), "nast" + held);
    }

    void refusesAddressesOutsideLoopback_data()
    {
        QTest::addColumn<QString>("listen");
        QTest::addColumn<QString>("answerTo");
        QTest::newRow("listen on all") << "0.0.0.0" << "127.0.0.1";
        QTest::newRow("listen on IPv6") << "::1" << "127.0.0.1";
        QTest::newRow("answer to LAN") << "127.0.0.2" << "10.0.0.5";
    }
    void refusesAddressesOutsideLoopback()
    {
        QFETCH(QString, listen);
        QFETCH(QString, answerTo);
        TXqSim sim;
        QVERIFY(!sim.start(26999, QHostAddress(listen), QHostAddress(answerTo)));
        QProcess p;
        p.start(QStringLiteral(XQSIM_PROGRAM), {"--listen", listen, "--answer-to", answerTo, "--port", "26999"});
        QVERIFY(p.waitForFinished(30000));
        QCOMPARE(p.exitCode(), 2);
        QVERIFY(p.readAllStandardError().contains("127.0.0.0/8"));
    }
};

QTEST_MAIN(TstXqsim)
#include "tst_Xqsim.moc"

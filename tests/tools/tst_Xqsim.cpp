// The stand-in controller over real loopback TCP, with a small server in place of Kelvor's.
#include "XqSim.h"
#include "XqSimFrame.h"

#include <QElapsedTimer>
#include <QProcess>
#include <QScopeGuard>
#include <QSignalSpy>
#include <QTcpServer>
#include <QTcpSocket>
#include <QtTest>
#include <memory>

namespace {

const QHostAddress kKelvor(QStringLiteral("127.0.0.1"));
const QHostAddress kController(QStringLiteral("127.0.0.2"));

// Frames built here on their own, so the stand-in's builder is checked against something else.
QByteArray Digits(const QByteArray &text)
{
    int x = 0x05;
    for (char c : text)
        x ^= quint8(c);
    return QByteArray::number(x, 16).toUpper().rightJustified(2, '0');
}

QByteArray Frame(const QByteArray &text)
{
    return "\x02\x05" + text + '\x04' + Digits(text) + '\x03';
}

// One port number free on both addresses, as the program and the controller share it.
quint16 FreePort()
{
    for (int i = 0; i < 50; ++i) {
        QTcpServer a;
        if (!a.listen(kKelvor, 0))
            continue;
        QTcpServer b;
        if (b.listen(kController, a.serverPort()))
            return a.serverPort();
    }
    return 0;
}

// Kelvor's server as far as these tests need it: every connection and what it carried.
class TKelvorServer : public QObject
{
public:
    struct TConnection
    {
        QByteArray data;
        int reads = 0;
        bool closed = false;
        QHostAddress peer;
    };

    bool listen(quint16 port)
    {
        connect(&m_server, &QTcpServer::newConnection, this, [this] {
            while (QTcpSocket *s = m_server.nextPendingConnection()) {
                auto c = std::make_shared<TConnection>();
                c->peer = s->peerAddress();
                connections.append(c);
                connect(s, &QTcpSocket::readyRead, this, [s, c] {
                    c->data += s->readAll();
                    ++c->reads;
                });
                connect(s, &QTcpSocket::disconnected, this, [s, c] {
                    c->data += s->readAll();
                    c->closed = true;
                    s->deleteLater();
                });
            }
        });
        return m_server.listen(kKelvor, port);
    }
    QList<QByteArray> closedData() const
    {
        QList<QByteArray> out;
        for (const auto &c : connections)
            if (c->closed)
                out.append(c->data);
        return out;
    }

    QList<std::shared_ptr<TConnection>> connections;

private:
    QTcpServer m_server;
};

} // namespace

class TstXqsim : public QObject
{
    Q_OBJECT

    quint16 m_port = 0;
    std::unique_ptr<TKelvorServer> m_kelvor;
    std::unique_ptr<TXqSim> m_sim;

    // Writes lines to the stand-in the way the program does: connect, write, close.
    void send(const QList<QByteArray> &lines)
    {
        auto *s = new QTcpSocket(this);
        connect(s, &QTcpSocket::disconnected, s, &QObject::deleteLater);
        s->connectToHost(kController, m_port);
        for (const QByteArray &line : lines)
            s->write(line + "\r\n");
        s->disconnectFromHost();
    }
    void request(const QByteArray &text) { send({Frame(text)}); }
    bool settle(int connections)
    {
        return QTest::qWaitFor([&] {
            return m_kelvor->closedData().size() >= connections && m_sim->answersPending() == 0;
        }, 5000);
    }

private slots:
    void init()
    {
        m_port = FreePort();
        QVERIFY(m_port != 0);
        m_kelvor = std::make_unique<TKelvorServer>();
        QVERIFY(m_kelvor->listen(m_port));
        m_sim = std::make_unique<TXqSim>();
        m_sim->controller().seedDemoPrograms(3);
        QVERIFY2(m_sim->start(m_port), qPrintable(m_sim->errorString()));
    }
    void cleanup()
    {
        m_sim.reset();
        m_kelvor.reset();
    }

    void framesByteForByte_data()
    {
        QTest::addColumn<QByteArray>("text");
        QTest::addColumn<QByteArray>("frame");
        QTest::newRow("PING") << QByteArray("PING") << QByteArray::fromHex("020550494E4704313503");
        QTest::newRow("STAT") << QByteArray("STAT") << QByteArray::fromHex("02055354415404313703");
        QTest::newRow("TRX ACK") << QByteArray("TRX \x06") << QByteArray::fromHex("0205545258200604374403");
        QTest::newRow("TRX NAK") << QByteArray("TRX \x15") << QByteArray::fromHex("0205545258201504364503");
        QTest::newRow("BPRG 0001") << QByteArray("BPRG0001")
                                   << QByteArray::fromHex("0205425052473030303104303303");
    }
    void framesByteForByte()
    {
        QFETCH(QByteArray, text);
        QFETCH(QByteArray, frame);
        QCOMPARE(xqsim::BuildFrame(text), frame);
        const xqsim::TDecodedFrame d = xqsim::DecodeFrame(frame);
        QVERIFY2(d.ok, qPrintable(d.error));
        QCOMPARE(d.word + d.params, text);
    }

    void brokenFramesAreNamed_data()
    {
        QTest::addColumn<QByteArray>("line");
        QTest::addColumn<QString>("error");
        const QByteArray ping = Frame("PING");
        QTest::newRow("empty") << QByteArray() << "empty";
        QTest::newRow("short") << QByteArray("\x02\x03") << "short";
        QTest::newRow("no STX") << ping.mid(1) << "STX";
        QTest::newRow("no ETX") << ping.chopped(1) << "ETX";
        QTest::newRow("no EOT") << QByteArray("\x02\x05PING X15\x03").replace(' ', "") << "EOT";
        QTest::newRow("lower case") << Frame("TRX \x06").replace("7D", "7d") << "checksum";
        QTest::newRow("wrong sum") << QByteArray(ping).replace("15", "16") << "checksum";
    }
    void brokenFramesAreNamed()
    {
        QFETCH(QByteArray, line);
        QFETCH(QString, error);
        const xqsim::TDecodedFrame d = xqsim::DecodeFrame(line);
        QVERIFY(!d.ok);
        QVERIFY2(d.error.contains(error), qPrintable(d.error));
    }

    void answersEachRequest_data()
    {
        QTest::addColumn<QByteArray>("req");
        QTest::addColumn<QByteArray>("answer");
        const QByteArray ack("\t\x06");
        QTest::newRow("PING") << QByteArray("PING") << "ping" + ack;
        QTest::newRow("STAT") << QByteArray("STAT")
                              << QByteArray("stat0\t2\t1\t0064\tXQ7310\t01020304\t0A0B0C");
        QTest::newRow("HERD") << QByteArray("HERD")
                              << QByteArray("herd00\t0001\tWeizenbr\xF6tchen\t0000\t00C8\t00DC\t0040\t0000\t00\x05"
                                            "herd01\t0000\t\t0000\t00C8\t00DC\t0040\t0000\t00\x05");
        QTest::newRow("BPL2") << QByteArray("BPL2")
                              << QByteArray("bpl20001\tWeizenbr\xF6tchen\t0002\tRoggenmischbrot\t0003\tBaguette\t");
        QTest::newRow("BPRG read")
            << QByteArray("BPRG0003")
            << QByteArray("BPRG0003\t##HEAD\tSTEUERUNG =\tVERSION =1\tNAME =Baguette\tMENGE =10\tPRIO =0\t"
                          "VORSCHWADEN =0\tSOLL_KT =0\t##/HEAD\t##BODY\t00000-START\t00000-SCHWAD-25\t"
                          "00000-TEMP1-240\t00000-UMW-100\t01500-END\t##/BODY");
        QTest::newRow("BPRG free slot") << QByteArray("BPRG0004") << QByteArray("bprg\tCANNOT OPEN");
        QTest::newRow("BPRG 200") << QByteArray("BPRG00C8") << QByteArray("bprg\tEPAR");
        QTest::newRow("BPRG lower hex") << QByteArray("BPRG000a") << QByteArray("bprg\tEPAR");
        QTest::newRow("NAST read") << QByteArray("NAST")
                                   << "nast" + QByteArray("-1\t").repeated(13) + "-1";
        QTest::newRow("LOAD missing") << QByteArray("LOAD0001\t0063") << QByteArray("load\x15" "2");
        QTest::newRow("LOAD") << QByteArray("LOAD0002\t0002") << "load" + ack;
        QTest::newRow("STAR") << QByteArray("STAR0001") << "star" + ack;
        QTest::newRow("STOP no deck") << QByteArray("STOP0004") << QByteArray("stop\tEPAR");
        QTest::newRow("SWAD") << QByteArray("SWAD0003\t005") << "swad" + ack;
        QTest::newRow("AZUG") << QByteArray("AZUG0001\t100") << "azug" + ack;
        QTest::newRow("SOLL") << QByteArray("SOLL0001\t00FF") << "soll" + ack;
        QTest::newRow("BZEI") << QByteArray("BZEI0001\t0258") << "bzei" + ack;
        QTest::newRow("OFEN") << QByteArray("OFEN02\t-01") << "ofen" + ack;
        QTest::newRow("unknown") << QByteArray("KAFF") << QByteArray("EUCD\tKAFF");
    }
    void answersEachRequest()
    {
        QFETCH(QByteArray, req);
        QFETCH(QByteArray, answer);
        request(req);
        QVERIFY(settle(1));
        QCOMPARE(m_kelvor->connections.size(), 1);
        // One LF-terminated frame per connection, upper-case checksum, from the controller's address.
        QCOMPARE(m_kelvor->connections.first()->data, Frame(answer) + '\n');
        QCOMPARE(m_kelvor->connections.first()->peer, kController);
        QCOMPARE(m_sim->count(req.left(4)), 1);
    }

    void controllerKeepsItsState()
    {
        TXqSimController c;
        const QByteArray text = TXqSimController::demoProgramText("SEPARAT", 200, 600, 0);
        QByteArray wire = text;
        wire.replace("\r\n", "\t");
        QCOMPARE(c.answer("BPRG", "0007\t" + wire), QByteArray("bprg\t\x06"));
        QCOMPARE(c.program(7), text);
        QVERIFY(c.answer("BPRG", "0007").startsWith("BPRG0007\t##HEAD\t"));
        QVERIFY(c.answer("BPRG", "0007").endsWith("\t##/BODY"));
        QCOMPARE(c.answer("BPL2", {}), QByteArray("bpl20007\tSEPARAT\t"));
        QCOMPARE(c.answer("BPRG", "0008\tkein Programm"), QByteArray("bprg\t\x15"));
        QCOMPARE(c.answer("BPRG", "DELETE\t0007\t0008"), QByteArray("bprg\t\x06"));
        QCOMPARE(c.answer("BPRG", "0007"), QByteArray("bprg\tCANNOT OPEN"));
        QCOMPARE(c.answer("BPRG", "DELETE\t00C8"), QByteArray("bprg\tEPAR"));

        QCOMPARE(c.answer("ZEIT", "01.02.2020 10:00:00"), QByteArray("zeit01.02.2020 10:00:00"));
        QVERIFY(qAbs(c.clock().secsTo(QDateTime(QDate(2020, 2, 1), QTime(10, 0)))) < 5);
        QVERIFY(c.answer("ZEIT", {}).startsWith("zeit01.02.2020 10:0"));
        QCOMPARE(c.answer("ZEIT", "gestern"), QByteArray("zeit\tEPAR"));

        const QByteArray table = "300\t-1" + QByteArray("\t-1").repeated(12);
        QCOMPARE(c.answer("NAST", table), QByteArray("nast\x06"));
        QCOMPARE(c.answer("NAST", {}), "nast" + table);
        QCOMPARE(c.answer("NAST", "1440" + QByteArray("\t-1").repeated(13)), QByteArray("nast\tEPAR"));

        c.setLegacy(true);
        QCOMPARE(c.answer("BPL2", {}), QByteArray("EUCD\tBPL2"));
        QCOMPARE(c.answer("BPLI", {}), QByteArray("bpli"));

        c.seedDemoPrograms(2);
        QCOMPARE(c.answer("LOAD", "0002\t0002"), QByteArray("load\t\x06"));
        QCOMPARE(c.decks().at(1).programName, QByteArray("Roggenmischbrot"));
        QCOMPARE(c.answer("STAR", "0002"), QByteArray("star\t\x06"));
        QCOMPARE(c.answer("LOAD", "0002\t0001"), QByteArray("load\x15" "1")); // running
        QCOMPARE(c.answer("OFEN", "00\t-01"), QByteArray("ofen\t\x06"));
        QVERIFY(c.decks().at(0).status1 & 0x1000);
    }

    void recordsAndCounts()
    {
        QSignalSpy received(m_sim.get(), &TXqSim::frameReceived);
        QSignalSpy answered(m_sim.get(), &TXqSim::answerSent);
        // Three frames on one connection, as the endless-send diagnostic writes them.
        send({Frame("PING"), Frame("PING"), Frame("PING")});
        QVERIFY(settle(3));
        send({Frame("TRX \x06"), Frame("TRX \x15"), Frame("STAT").replace("17", "71")});
        QTRY_COMPARE(received.size(), 6);
        QVERIFY(settle(3));
        QCOMPARE(m_kelvor->connections.size(), 3); // no answer to TRX or to a broken frame
        QCOMPARE(answered.size(), 3);
        QCOMPARE(m_sim->count("PING"), 3);
        QCOMPARE(m_sim->count("TRX "), 2);
        QCOMPARE(m_sim->count("STAT"), 0);
        QCOMPARE(m_sim->acknowledgements('\x06'), 1);
        QCOMPARE(m_sim->acknowledgements('\x15'), 1);
        const QList<TXqSimFrame> &f = m_sim->frames();
        QCOMPARE(f.size(), 6);
        QCOMPARE(f.at(0).connection, f.at(2).connection);
        QVERIFY(f.at(3).connection != f.at(0).connection);
        QVERIFY(!f.at(5).ok);
        QVERIFY(f.at(5).error.contains("checksum"));
        QCOMPARE(f.at(5).raw, Frame("STAT").replace("17", "71"));
        // A line cut off by the close is recorded and not answered.
        auto *s = new QTcpSocket(this);
        s->connectToHost(kController, m_port);
        s->write(Frame("PING").left(4));
        s->disconnectFromHost();
        QTRY_COMPARE(m_sim->frames().size(), 7);
        QVERIFY(!m_sim->frames().last().complete);
        QCOMPARE(m_sim->count("PING"), 3);
        m_sim->clearRecords();
        QCOMPARE(m_sim->frames().size(), 0);
    }

    void faultsAsScripted_data()
    {
        QTest::addColumn<TXqSimFault>("fault");
        QTest::addColumn<QList<QByteArray>>("answers"); // per connection, for two PINGs in a row
        const QByteArray ping("ping\t\x06");
        const QByteArray good = Frame(ping) + '\n';
        const QByteArray head("\x02\x05");
        const QByteArray sum = Digits(ping);
        const QByteArray otherSum = QByteArray::number(sum.toInt(nullptr, 16) ^ 1, 16).toUpper().rightJustified(2, '0');
        using F = TXqSimFault;
        QTest::newRow("silence") << F::of(F::Silence) << QList<QByteArray>{good};
        QTest::newRow("duplicate") << F::of(F::Duplicate) << QList<QByteArray>{good, good, good};
        QTest::newRow("refusal") << F::of(F::Refuse) << QList<QByteArray>{Frame("ping\t\x15") + '\n', good};
        QTest::newRow("EPAR") << F::of(F::Epar) << QList<QByteArray>{Frame("ping\tEPAR") + '\n', good};
        QTest::newRow("EUCD") << F::of(F::Eucd) << QList<QByteArray>{Frame("EUCD\tPING") + '\n', good};
        QTest::newRow("wrong checksum") << F::of(F::WrongChecksum)
                                        << QList<QByteArray>{head + ping + '\x04' + otherSum + "\x03\n", good};
        QTest::newRow("lower case") << F::of(F::LowerCaseChecksum)
                                    << QList<QByteArray>{head + ping + '\x04' + sum.toLower() + "\x03\n", good};
        QTest::newRow("no STX") << F::of(F::NoStx) << QList<QByteArray>{good.mid(1), good};
        QTest::newRow("no ETX") << F::of(F::NoEtx)
                                << QList<QByteArray>{Frame(ping).chopped(1) + '\n', good};
        QTest::newRow("no EOT") << F::of(F::NoEot)
                                << QList<QByteArray>{head + ping + Digits("ping\t") + "\x03\n", good};
        QTest::newRow("closed empty") << F::of(F::CloseEmpty) << QList<QByteArray>{QByteArray(), good};
        QTest::newRow("TRX ACK") << F::of(F::TrxAck) << QList<QByteArray>{Frame("TRX \x06") + '\n', good};
        QTest::newRow("TRX NAK") << F::of(F::TrxNak) << QList<QByteArray>{Frame("TRX \x15") + '\n', good};
        QTest::newRow("raw") << F::raw("herd\n") << QList<QByteArray>{QByteArray("herd\n"), good};
        QTest::newRow("wrong number, not BPRG") << F::wrongNumber() << QList<QByteArray>{good, good};
    }
    void faultsAsScripted()
    {
        QFETCH(TXqSimFault, fault);
        QFETCH(QList<QByteArray>, answers);
        m_sim->addFault("PING", fault);
        m_sim->addFault("STAT", TXqSimFault::of(TXqSimFault::Silence), -1); // other words untouched
        request("PING");
        QTRY_COMPARE(m_sim->count("PING"), 1);
        request("PING");
        QVERIFY(settle(int(answers.size())));
        QTest::qWait(50);
        QCOMPARE(m_kelvor->closedData(), answers);
        QCOMPARE(m_sim->faultsLeft(), 1);
    }

    void wrongNumberAndLowerCaseWhereDigitsHaveNoLetter()
    {
        m_sim->addFault("BPRG", TXqSimFault::wrongNumber(), 1);
        m_sim->addFault("BPRG", TXqSimFault::wrongNumber(0x20), 1);
        m_sim->addFault("STOP", TXqSimFault::of(TXqSimFault::LowerCaseChecksum), 1);
        request("BPRG0002");
        QVERIFY(settle(1));
        request("BPRG0002");
        QVERIFY(settle(2));
        QVERIFY(m_kelvor->closedData().at(0).startsWith("\x02\x05" "BPRG0003\t##HEAD"));
        QVERIFY(m_kelvor->closedData().at(1).startsWith("\x02\x05" "BPRG0020\t##HEAD"));
        QCOMPARE(Digits("stop\t\x06"), QByteArray("12"));
        request("STOP0001");
        QVERIFY(settle(3));
        const QByteArray line = m_kelvor->closedData().at(2);
        const qsizetype eot = line.indexOf('\x04');
        const QByteArray digits = line.mid(eot + 1, 2);
        QVERIFY2(digits != digits.toUpper(), digits.constData());
        QCOMPARE(digits.toUpper(), Digits(line.mid(2, eot - 2)));
    }

    void slowAnswers()
    {
        m_sim->addFault("ZEIT", TXqSimFault::delay(300));
        m_sim->addFault("STAT", TXqSimFault::halfLine(400));
        QElapsedTimer clock;
        clock.start();
        request("ZEIT");
        request("STAT");
        // The half line goes out at once and stays open; the delayed answer waits its turn.
        QTRY_COMPARE(m_kelvor->connections.size(), 1);
        const auto half = m_kelvor->connections.first();
        QTRY_VERIFY(!half->data.isEmpty());
        QVERIFY(!half->data.contains('\n'));
        QVERIFY(Frame(m_sim->controller().answer("STAT", {})).startsWith(half->data));
        QTest::qWait(150);
        QVERIFY(!half->closed);
        QCOMPARE(m_kelvor->connections.size(), 1);
        QTRY_COMPARE(m_kelvor->connections.size(), 2);
        QVERIFY(clock.elapsed() >= 300);
        QTRY_VERIFY(half->closed);
        QVERIFY(clock.elapsed() >= 400);
        QVERIFY(!half->data.contains('\n'));
        QVERIFY(settle(2));
        QVERIFY(m_kelvor->closedData().last().startsWith("\x02\x05zeit"));
    }

    void dripArrivesInPieces()
    {
        m_sim->addFault("PING", TXqSimFault::drip(2, 15));
        request("PING");
        QVERIFY(settle(1));
        const auto c = m_kelvor->connections.first();
        QCOMPARE(c->data, Frame("ping\t\x06") + '\n');
        QVERIFY2(c->reads >= 3, qPrintable(QString::number(c->reads)));
    }

    void oversizedLine()
    {
        m_sim->addFault("PING", TXqSimFault::oversized(70000));
        request("PING");
        QVERIFY(settle(1));
        const QByteArray line = m_kelvor->closedData().first();
        QCOMPARE(line.size(), 70000);
        QVERIFY(line.endsWith("\x03\n"));
        QVERIFY(xqsim::DecodeFrame(line.chopped(1)).ok);
    }

    void unreachableProgramIsReported()
    {
        QSignalSpy failed(m_sim.get(), &TXqSim::answerFailed);
        m_kelvor.reset();
        request("PING");
        request("STAT");
        QTRY_COMPARE(failed.size(), 2);
        QCOMPARE(failed.first().first().toByteArray(), QByteArray("PING"));
        QTRY_COMPARE(m_sim->answersPending(), 0);
        QVERIFY(m_sim->answersSent().isEmpty());
    }

    void stopAndResumeListening()
    {
        m_sim->stopListening();
        QVERIFY(!m_sim->isListening());
        QTcpSocket probe;
        QSignalSpy error(&probe, &QTcpSocket::errorOccurred);
        probe.connectToHost(kController, m_port);
        QTRY_COMPARE(error.size(), 1);
        QCOMPARE(probe.error(), QAbstractSocket::ConnectionRefusedError);
        QVERIFY(m_sim->resumeListening());
        request("PING");
        QVERIFY(settle(1));
        QCOMPARE(m_sim->count("PING"), 1);
    }

    void refusesAddressesOutsideLoopback_data()
    {
        QTest::addColumn<QString>("listen");
        QTest::addColumn<QString>("answerTo");
        QTest::newRow("listen on all") << "0.0.0.0" << "127.0.0.1";
        QTest::newRow("listen on LAN") << "192.168.1.10" << "127.0.0.1";
        QTest::newRow("listen on IPv6") << "::1" << "127.0.0.1";
        QTest::newRow("answer to LAN") << "127.0.0.2" << "10.0.0.5";
        QTest::newRow("answer to 128.0.0.1") << "127.0.0.2" << "128.0.0.1";
    }
    void refusesAddressesOutsideLoopback()
    {
        QFETCH(QString, listen);
        QFETCH(QString, answerTo);
        TXqSim sim;
        QVERIFY(!sim.start(m_port + 1, QHostAddress(listen), QHostAddress(answerTo)));
        QVERIFY(!sim.isListening());
        QVERIFY(!sim.errorString().isEmpty());

        QProcess p;
        p.start(QStringLiteral(XQSIM_PROGRAM),
                {"--listen", listen, "--answer-to", answerTo, "--port", QString::number(m_port + 1)});
        QVERIFY(p.waitForFinished(10000));
        QCOMPARE(p.exitCode(), 2);
        QVERIFY(p.readAllStandardError().contains("127.0.0.0/8"));
    }

    void programAnswersOverLoopback()
    {
        m_sim.reset(); // the program takes the controller's place
        QProcess p;
        const auto stop = qScopeGuard([&] {
            p.terminate();
            p.waitForFinished(5000);
        });
        p.start(QStringLiteral(XQSIM_PROGRAM), {"--port", QString::number(m_port), "--seed", "3"});
        QVERIFY(p.waitForStarted(10000));
        QByteArray out;
        QVERIFY(QTest::qWaitFor([&] {
            out += p.readAllStandardOutput();
            return out.contains("listening");
        }, 10000));
        auto *s = new QTcpSocket(this);
        s->connectToHost(kController, m_port);
        s->write(Frame("BPRG0003") + "\r\n");
        s->disconnectFromHost();
        QTRY_COMPARE(m_kelvor->closedData().size(), 1);
        QVERIFY(m_kelvor->closedData().first().contains("NAME =Baguette"));
        QVERIFY(QTest::qWaitFor([&] {
            out += p.readAllStandardOutput();
            return out.contains("BPRG -> ");
        }, 5000));
        QVERIFY(out.contains("<STX><ENQ>BPRG0003<EOT>01<ETX>"));
    }
};

QTEST_MAIN(TstXqsim)
#include "tst_Xqsim.moc"

// The real program and the real stand-in controller, as the README's demo runs them.
#include "support/TestUmgebung.h"
#include "XqSimFrame.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTcpServer>
#include <QNetworkProxy>
#include <QTcpSocket>
#include <QtTest>

namespace {

// The program only takes ports 2600..2699.
quint16 freePortOnBoth()
{
    for (quint16 port = 2600 + quint16(QCoreApplication::applicationPid() % 100), n = 0; n < 100;
         ++n, port = port == 2699 ? 2600 : port + 1) {
        QTcpServer a;
        QTcpServer b;
        if (a.listen(QHostAddress(QStringLiteral("127.0.0.1")), port)
            && b.listen(QHostAddress(QStringLiteral("127.0.0.2")), port))
            return port;
    }
    return 0;
}

bool sendLine(const QString &host, quint16 port, const QByteArray &line)
{
    QTcpSocket s;
    s.setProxy(QNetworkProxy::NoProxy);
    s.connectToHost(host, port);
    if (!s.waitForConnected(2000))
        return false;
    s.write(line);
    s.waitForBytesWritten(2000);
    s.disconnectFromHost();
    return true;
}

} // namespace

class TstDemo : public QObject
{
    Q_OBJECT
private slots:
    void programAndStandInTalkOverLoopback()
    {
        TTestUmgebung env;
        const quint16 port = freePortOnBoth();
        QVERIFY(port != 0);

        // The program keeps its folders beside its program file: run a copy in the temp folder.
        const QString exe = env.path(QStringLiteral("prog/kelvor"));
        QVERIFY(QFile::copy(QStringLiteral(KELVOR_PROGRAM), exe));
        QVERIFY(QFile::setPermissions(exe, QFile::permissions(exe) | QFileDevice::ExeOwner));
        QVERIFY(QDir().mkpath(env.path(QStringLiteral("config/Zelnor"))));
        QFile conf(env.path(QStringLiteral("config/Zelnor/Kelvor.conf")));
        QVERIFY(conf.open(QIODevice::WriteOnly));
        conf.write("[General]\nTCPIP_PORT=" + QByteArray::number(port) + "\nTCPIP_IPAdresse=127.000.000.002\n");
        conf.close();

        QProcess sim;
        sim.setProcessChannelMode(QProcess::MergedChannels);
        sim.start(QStringLiteral(XQSIM_PROGRAM),
                  {QStringLiteral("--listen"), QStringLiteral("127.0.0.2"), QStringLiteral("--port"),
                   QString::number(port), QStringLiteral("--answer-to"), QStringLiteral("127.0.0.1")});
        QVERIFY(sim.waitForStarted(5000));
        QByteArray simLog;
        QTRY_VERIFY_WITH_TIMEOUT((simLog += sim.readAll()).contains("listening"), 10000);

        QProcess kelvor;
        QProcessEnvironment pe = QProcessEnvironment::systemEnvironment();
        pe.insert(QStringLiteral("XDG_CONFIG_HOME"), env.path(QStringLiteral("config")));
        pe.insert(QStringLiteral("KELVOR_LISTEN_ADDRESS"), QStringLiteral("127.0.0.1"));
        pe.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
        kelvor.setProcessEnvironment(pe);
        kelvor.setProcessChannelMode(QProcess::ForwardedChannels);
        kelvor.start(exe, {});
        QVERIFY(kelvor.waitForStarted(5000));

        // A request from a second PC makes the controller answer to the program, which
        // acknowledges the answer with "TRX ". Repeat until the program's server is up.
        const QByteArray ping = xqsim::BuildFrame("PING") + "\r\n";
        bool acknowledged = false;
        QElapsedTimer clock;
        clock.start();
        while (!acknowledged && clock.elapsed() < 30000) {
            sendLine(QStringLiteral("127.0.0.2"), port, ping);
            QTest::qWait(500);
            simLog += sim.readAll();
            acknowledged = simLog.contains("<STX><ENQ>TRX ");
        }
        QVERIFY2(acknowledged, simLog.constData());
        QVERIFY(simLog.contains("ping"));

        // The program made its folders and settings file beside itself, not elsewhere.
        QVERIFY(QFile::exists(env.path(QStringLiteral("prog/Vantrel2004.INI"))));
        QVERIFY(QDir(env.path(QStringLiteral("prog/Backprogramme/XQ"))).exists());

        kelvor.terminate();
        QVERIFY(kelvor.waitForFinished(10000) || (kelvor.kill(), kelvor.waitForFinished(5000)));
        sim.terminate();
        sim.waitForFinished(5000);
    }
};

QTEST_MAIN(TstDemo)
#include "tst_Demo.moc"

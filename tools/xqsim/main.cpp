// xqsim: the stand-in controller for trying Kelvor without an oven.
//   xqsim --listen 127.0.0.2 --port 2601 --answer-to 127.0.0.1 --seed 5
#include "XqSim.h"
#include "XqSimFrame.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QDateTime>
#include <QTextStream>

namespace {

QTextStream &Out()
{
    static QTextStream out(stdout);
    return out;
}

void Log(const QString &line)
{
    Out() << QTime::currentTime().toString(QStringLiteral("hh:mm:ss.zzz")) << ' ' << line << Qt::endl;
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("xqsim"));

    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral("Stand-in XQ7310 controller on the loopback network."));
    parser.addHelpOption();
    const QCommandLineOption listen(QStringLiteral("listen"), QStringLiteral("Address to listen on (127.0.0.0/8)."),
                                    QStringLiteral("address"), QStringLiteral("127.0.0.2"));
    const QCommandLineOption port(QStringLiteral("port"), QStringLiteral("Port for requests and answers."),
                                  QStringLiteral("port"), QStringLiteral("2601"));
    const QCommandLineOption answerTo(QStringLiteral("answer-to"),
                                      QStringLiteral("Address of the program's server (127.0.0.0/8)."),
                                      QStringLiteral("address"), QStringLiteral("127.0.0.1"));
    const QCommandLineOption seed(QStringLiteral("seed"), QStringLiteral("Store demo programs 1..N."),
                                  QStringLiteral("N"), QStringLiteral("0"));
    const QCommandLineOption legacy(QStringLiteral("legacy"), QStringLiteral("Behave like an older controller without BPL2."));
    parser.addOptions({listen, port, answerTo, seed, legacy});
    parser.process(app);

    QTextStream err(stderr);
    const QHostAddress listenAddress(parser.value(listen));
    const QHostAddress answerAddress(parser.value(answerTo));
    if (!TXqSim::IsLoopback(listenAddress) || !TXqSim::IsLoopback(answerAddress)) {
        err << "xqsim: refused: --listen and --answer-to must lie in 127.0.0.0/8" << Qt::endl;
        return 2;
    }
    bool ok = false;
    const uint portNumber = parser.value(port).toUInt(&ok);
    if (!ok || portNumber == 0 || portNumber > 65535) {
        err << "xqsim: --port must be 1..65535" << Qt::endl;
        return 2;
    }
    const int seedCount = parser.value(seed).toInt(&ok);
    if (!ok || seedCount < 0 || seedCount > 199) {
        err << "xqsim: --seed must be 0..199" << Qt::endl;
        return 2;
    }

    TXqSim sim;
    sim.controller().seedDemoPrograms(seedCount);
    sim.controller().setLegacy(parser.isSet(legacy));
    QObject::connect(&sim, &TXqSim::frameReceived, [](const TXqSimFrame &f) {
        QString line = QStringLiteral("#%1 <- %2").arg(f.connection).arg(xqsim::Visible(f.raw));
        if (!f.ok)
            line += QStringLiteral("  [%1]").arg(f.error);
        Log(line);
    });
    QObject::connect(&sim, &TXqSim::answerSent, [](const QByteArray &word, const QByteArray &bytes) {
        Log(QStringLiteral("%1 -> %2").arg(QString::fromLatin1(word), xqsim::Visible(bytes)));
    });
    QObject::connect(&sim, &TXqSim::answerFailed, [](const QByteArray &word, const QString &error) {
        Log(QStringLiteral("%1 -> not delivered: %2").arg(QString::fromLatin1(word), error));
    });

    if (!sim.start(quint16(portNumber), listenAddress, answerAddress)) {
        err << "xqsim: cannot listen on " << listenAddress.toString() << ':' << portNumber << ": "
            << sim.errorString() << Qt::endl;
        return 1;
    }
    Log(QStringLiteral("listening on %1:%2, answering to %3:%2, %4 programs stored")
            .arg(listenAddress.toString())
            .arg(portNumber)
            .arg(answerAddress.toString())
            .arg(sim.controller().programs().size()));

    return app.exec();
}

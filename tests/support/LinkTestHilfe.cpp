#include "support/LinkTestHilfe.h"

#include "app/Codepage.h"
#include "app/Sammlung.h"

#include <QDirIterator>
#include <QEventLoop>
#include <QMetaEnum>
#include <QRandomGenerator>
#include <QTcpServer>

TLinkAufbau::TLinkAufbau(double zeitFaktor) : env(std::make_unique<TTestUmgebung>(zeitFaktor))
{
    // A main window of an earlier test set it on its way out.
    Closing = false;
    // The error files stay whole however many lines a test writes.
    MaxGroesseErr = 1 << 20;
    host.server = &server;
}

bool TLinkAufbau::starten()
{
    // Another test may take the port between the search and the listening: search again.
    server.SetAdresse(kPc);
    for (int versuch = 0; versuch < 10 && !sim.isListening(); ++versuch) {
        server.Deaktivieren();
        port = FreierPort();
        server.SetPort(port);
        if (port && server.Aktivieren())
            sim.start(port, kSteuerung, kPc);
    }
    if (!sim.isListening()) {
        grund = QStringLiteral("no free port: ") + sim.errorString();
        return false;
    }
    link = std::make_unique<TTestLink>(&host);
    link->Init(QStringLiteral("127.0.0.2"));
    link->TCPClient.Port = port;
    QObject::connect(&server, &TAntwortServer::Gelesen, link.get(), [this](const TServerVerbindung &v) {
        ServerZeileVerarbeiten(v, host, link.get(), port, pending);
    });
    auto merke = [this](const QString &was, const QByteArray &t) { signale << was + QString::fromLatin1(t); };
    QObject::connect(link.get(), &TwXQXOfen::TimeOutNeustarten, [this] { signale << QStringLiteral("TimeOut"); });
    QObject::connect(link.get(), &TwXQXOfen::AntwortEmpfangen, [merke](const QByteArray &t, const QByteArray &n) {
        merke("Antwort:" + QString::fromLatin1(n) + u':', t);
    });
    QObject::connect(link.get(), &TwXQXOfen::NamenEmpfangen,
                     [merke](const QByteArray &t, bool f) { merke(f ? QStringLiteral("Namen:1:") : QStringLiteral("Namen:0:"), t); });
    QObject::connect(link.get(), &TwXQXOfen::NachtstartsAnzeigen, [merke](const QByteArray &t) { merke(QStringLiteral("Nacht:"), t); });
    QObject::connect(link.get(), &TwXQXOfen::FortschrittAnzeigen,
                     [this](int position) { signale << QStringLiteral("Fortschritt:") + QString::number(position); });
    QObject::connect(link.get(), &TwXQXOfen::ListenTeilEmpfangen, [merke](const QByteArray &t, quint8 nr) {
        merke(QStringLiteral("Teil:") + QString::number(nr) + u':', t);
    });
    QObject::connect(link.get(), &TwXQXOfen::BefehlBeendet, [this](const NeuerBefehl &b, TwXQXOfen::TBefehlsEnde wie) {
        enden << EndeText(b.Kommando, wie);
        if (beiEnde)
            beiEnde(b, wie);
    });
    return true;
}

bool TLinkAufbau::ruhig() const
{
    return !link->BefehlImFlug() && !link->SendenBeschaeftigt() && link->MakroZeilen().isEmpty()
           && sim.answersPending() == 0 && server.OffeneVerbindungen() == 0;
}

QString EndeText(const QByteArray &wort, TwXQXOfen::TBefehlsEnde wie)
{
    return QString::fromLatin1(wort) + u':'
           + QString::fromLatin1(QMetaEnum::fromType<TwXQXOfen::TBefehlsEnde>().valueToKey(int(wie)));
}

bool TLinkTest::neuStarten(double zeitFaktor)
{
    a.reset();
    a = std::make_unique<TLinkAufbau>(zeitFaktor);
    return a->starten();
}

void TLinkTest::cleanup()
{
    const int unerwartet = a ? a->env->dialoge().unexpected() : 0;
    a.reset();
    ServiceMode = false;
    DiagView = false;
    QCOMPARE(unerwartet, 0);
}

bool Abwarten(const std::function<bool()> &bedingung, int grenzeMs)
{
    if (bedingung())
        return true;
    QEventLoop schleife;
    QTimer blick;
    QObject::connect(&blick, &QTimer::timeout, &schleife, [&] {
        if (bedingung())
            schleife.quit();
    });
    blick.start(5);
    QTimer::singleShot(grenzeMs, &schleife, &QEventLoop::quit);
    schleife.exec();
    return bedingung();
}

quint16 FreierPort(quint16 von, quint16 bis, const QHostAddress &pc)
{
    for (int versuch = 0; versuch < 200; ++versuch) {
        const quint16 p = quint16(von + QRandomGenerator::global()->bounded(bis - von + 1));
        QTcpServer a, b;
        if (a.listen(pc, p) && b.listen(kSteuerung, p))
            return p;
    }
    return 0;
}

quint16 SimAufFreiemPort(TXqSim &sim, const QHostAddress &pc, quint16 von, quint16 bis)
{
    for (int versuch = 0; versuch < 50; ++versuch) {
        const quint16 port = FreierPort(von, bis, pc);
        if (port && sim.start(port, kSteuerung, pc))
            return port;
    }
    return 0;
}

QStringList Fehlerdatei()
{
    QStringList out;
    QDirIterator it(ExeDir + QStringLiteral("log"), {QStringLiteral("*.err")}, QDir::Files,
                    QDirIterator::Subdirectories);
    while (it.hasNext()) {
        QFile f(it.next());
        for (const QByteArray &zeile : f.open(QIODevice::ReadOnly) ? f.readAll().split('\n') : QList<QByteArray>()) {
            if (const qsizetype i = zeile.indexOf(": "); i >= 0)
                out << AnsiToString(zeile.mid(i + 2).trimmed());
        }
    }
    return out;
}

const NeuerBefehl &Befehl(QByteArrayView name)
{
    return *std::find_if(Befehlstabelle.begin(), Befehlstabelle.end(), [&](const NeuerBefehl &b) { return b.Name == name; });
}

QStringList Woerter(const TXqSim &sim)
{
    QStringList out;
    for (const TXqSimFrame &f : sim.frames())
        out << QString::fromLatin1(f.word == "TRX " ? QByteArray("TRX ") + (f.params == "\x06" ? "ACK" : "NAK")
                                                    : f.word);
    return out;
}

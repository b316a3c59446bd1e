// The server for the controller's answers: one LF-terminated line per connection, read
// without blocking, with a read time, a cap on the line length and a quiet end for a peer
// that closes before a whole line came.
#include "link/uXqxOfen.h"

#include "app/Codepage.h"
#include "app/Zeitgeber.h"

#include <QTcpServer>
#include <QTcpSocket>

class TAntwortServer::TLeser : public QObject
{
public:
    TLeser(TAntwortServer *server, QTcpSocket *socket)
        : QObject(server), m_server(server), m_socket(socket), m_zeit(new TTimer(this, LeseZeitMs, false))
    {
        socket->setParent(this);
        QHostAddress peer = socket->peerAddress();
        bool v4 = false;
        const quint32 ip4 = peer.toIPv4Address(&v4);
        if (v4)
            peer = QHostAddress(ip4);
        m_ergebnis.PeerIP = peer.toString();
        m_ergebnis.PeerPort = socket->peerPort();
        m_zeit->setSingleShot(true);
        connect(m_zeit, &TTimer::timeout, this, [this] { ende(TServerVerbindung::Zeitablauf); });
        connect(socket, &QTcpSocket::readyRead, this, [this] { lesen(); });
        connect(socket, &QTcpSocket::disconnected, this, [this] { geschlossen(); });
        connect(socket, &QTcpSocket::errorOccurred, this, [this](QAbstractSocket::SocketError e) {
            if (e == QAbstractSocket::RemoteHostClosedError)
                geschlossen();
            else
                ende(TServerVerbindung::Lesefehler, m_socket->errorString());
        });
    }

    void starten()
    {
        m_zeit->setEnabled(true);
        // Data may have come with the connection itself.
        lesen();
    }

    void abbrechen()
    {
        m_fertig = true;
        m_zeit->setEnabled(false);
        m_socket->disconnect(this);
        m_socket->abort();
    }

private:
    void lesen()
    {
        if (m_fertig)
            return;
        m_puffer += m_socket->readAll();
        const qsizetype lf = m_puffer.indexOf('\n');
        const qsizetype laenge = lf >= 0 ? lf : m_puffer.size();
        if (laenge > MaxZeile) {
            ende(TServerVerbindung::Lesefehler, QStringLiteral("Max line length exceeded."));
            return;
        }
        if (lf < 0)
            return;
        m_ergebnis.Text = m_puffer.left(lf);
        if (m_ergebnis.Text.endsWith('\r'))
            m_ergebnis.Text.chop(1);
        ende(TServerVerbindung::Zeile);
    }

    void geschlossen()
    {
        if (m_fertig)
            return;
        // A whole line that came together with the close still counts.
        lesen();
        if (m_fertig)
            return;
        // Closed before a whole line: no answer, nothing to report.
        abbrechen();
        m_server->Fertig(this, nullptr);
    }

    void ende(TServerVerbindung::TEnde wie, const QString &fehler = QString())
    {
        if (m_fertig)
            return;
        m_fertig = true;
        m_zeit->setEnabled(false);
        m_socket->disconnect(this);
        m_socket->disconnectFromHost();
        m_ergebnis.Ende = wie;
        m_ergebnis.Fehlertext = fehler;
        if (wie != TServerVerbindung::Zeile)
            m_ergebnis.Text.clear();
        m_server->Fertig(this, &m_ergebnis);
    }

    TAntwortServer *m_server;
    QTcpSocket *m_socket;
    TTimer *m_zeit;
    QByteArray m_puffer;
    TServerVerbindung m_ergebnis;
    bool m_fertig = false;
};

TAntwortServer::TAntwortServer(QObject *parent)
    : QObject(parent), m_server(new QTcpServer(this)), m_adresse(StandardAdresse())
{
    connect(m_server, &QTcpServer::newConnection, this, &TAntwortServer::NeueVerbindungen);
    connect(m_server, &QTcpServer::acceptError, this, [this] { emit Fehler(m_server->errorString()); });
}

TAntwortServer::~TAntwortServer()
{
    for (TLeser *l : std::as_const(m_leser))
        l->abbrechen();
}

QHostAddress TAntwortServer::StandardAdresse()
{
    const QString env = qEnvironmentVariable("KELVOR_LISTEN_ADDRESS").trimmed();
    QHostAddress a;
    if (!env.isEmpty() && a.setAddress(env))
        return a;
    return QHostAddress(QHostAddress::AnyIPv4);
}

bool TAntwortServer::Aktivieren()
{
    if (m_server->isListening())
        return true;
    return m_server->listen(m_adresse, m_port);
}

void TAntwortServer::Deaktivieren()
{
    m_server->close();
    const QList<TLeser *> offen = std::exchange(m_leser, {});
    for (TLeser *l : offen) {
        l->abbrechen();
        l->deleteLater();
    }
}

bool TAntwortServer::Aktiv() const { return m_server->isListening(); }

QString TAntwortServer::FehlerText() const { return m_server->errorString(); }

void TAntwortServer::NeueVerbindungen()
{
    while (QTcpSocket *s = m_server->nextPendingConnection()) {
        auto *l = new TLeser(this, s);
        m_leser.append(l);
        l->starten();
    }
}

void TAntwortServer::Fertig(TLeser *leser, const TServerVerbindung *verbindung)
{
    if (!m_leser.removeOne(leser))
        return;
    leser->deleteLater();
    if (verbindung)
        emit Gelesen(*verbindung);
}

void ServerZeileVerarbeiten(const TServerVerbindung &verbindung, TLinkHost &host, TwXQXOfen *link,
                            quint16 serverPort, QString &pendingError)
{
    QByteArray zeile = verbindung.Text;
    const bool zeitablauf = verbindung.Ende == TServerVerbindung::Zeitablauf;
    if (verbindung.Ende == TServerVerbindung::Lesefehler) {
        pendingError = verbindung.Fehlertext;
        zeile.clear();
    }
    if (zeitablauf)
        zeile = "ERROR-ReadlnTimeOut";
    host.AntwortEintragen(verbindung.PeerIP + u'-' + AnsiToString(CtrlCharsVisible(zeile)));
    if (link)
        link->AntwortVerarbeiten(zeile);
    if (zeitablauf)
        host.FehlerEintragen(QStringLiteral("Timeout from Client while connecting to TCP Server \"")
                             + verbindung.PeerIP + QStringLiteral("\", PeerPort ")
                             + QString::number(verbindung.PeerPort) + QStringLiteral(", Port ")
                             + QString::number(serverPort) + u'.');
}

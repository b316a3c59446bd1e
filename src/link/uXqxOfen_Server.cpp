// The server for the controller's answers: one LF-terminated line per connection, read
// without blocking, with a read time, a cap on the line length and a quiet end for a peer
// that closes before a whole line came.
#include "link/uXqxOfen_Server.h"

#include "app/Codepage.h"
#include "app/Sammlung.h"
#include "app/Zeitgeber.h"
#include "link/Zeilenpuffer.h"
#include "link/uXqxOfen.h"

#include <QSocketNotifier>
#include <QNetworkProxy>
#include <QTcpServer>
#include <QTcpSocket>

#ifdef Q_OS_UNIX
#include <cerrno>
#include <fcntl.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>
#endif

namespace {

// An IPv4 peer as a plain dotted address, also when the socket speaks IPv6.
QString peerText(const QHostAddress &peer)
{
    bool v4 = false;
    const quint32 ip4 = peer.toIPv4Address(&v4);
    return v4 ? QHostAddress(ip4).toString() : peer.toString();
}

} // namespace

class TAntwortServer::TLeser : public QObject
{
public:
    TLeser(TAntwortServer *server, QTcpSocket *socket, const QHostAddress &peer, quint16 peerPort, bool fremd)
        : QObject(server), m_server(server), m_socket(socket),
          m_zeit(new TTimer(this, fremd ? FremdLeseZeitMs : LeseZeitMs, false)), m_zuletzt(++server->m_takt)
    {
        socket->setParent(this);
        m_ergebnis.PeerIP = peerText(peer);
        m_ergebnis.PeerPort = peerPort;
        m_ergebnis.Fremd = fremd;
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

    bool fremd() const { return m_ergebnis.Fremd; }
    quint64 zuletzt() const { return m_zuletzt; }

private:
    void lesen()
    {
        if (m_fertig)
            return;
        const QByteArray neu = m_socket->readAll();
        if (!neu.isEmpty())
            m_zuletzt = ++m_server->m_takt;
        switch (m_zeile.Anfuegen(neu)) {
        case TZeilenPuffer::Offen:
            return;
        case TZeilenPuffer::ZuLang:
            ende(TServerVerbindung::Lesefehler, QStringLiteral("Max line length exceeded."));
            return;
        case TZeilenPuffer::Zeile:
            m_ergebnis.Text = m_zeile.Text();
            ende(TServerVerbindung::Zeile);
            return;
        }
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
    TZeilenPuffer m_zeile{MaxZeile};
    TServerVerbindung m_ergebnis;
    quint64 m_zuletzt;
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
    m_server->setProxy(QNetworkProxy::NoProxy);
    // A burst of connects waits in the queue rather than having its SYNs dropped, the
    // controller's among them, to be tried again only a second later.
    m_server->setListenBacklogSize(Warteschlange);
    if (!m_server->listen(m_adresse, m_port))
        return false;
#ifdef Q_OS_UNIX
    // The server's own accept forgets the address that accept reports, and a peer that has
    // reset by the time its connection is taken has no other left: accept here and keep it.
    m_server->pauseAccepting();
    m_annahme = new QSocketNotifier(m_server->socketDescriptor(), QSocketNotifier::Read, this);
    connect(m_annahme, &QSocketNotifier::activated, this, &TAntwortServer::NeueVerbindungen);
#endif
    return true;
}

void TAntwortServer::Deaktivieren()
{
    // Before the listening socket it watches is closed.
    delete std::exchange(m_annahme, nullptr);
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
#ifdef Q_OS_UNIX
    if (!m_annahme)
        return;
    const int lauscher = int(m_server->socketDescriptor());
    for (;;) {
        sockaddr_storage adresse{};
        socklen_t laenge = sizeof adresse;
        const int fd = ::accept(lauscher, reinterpret_cast<sockaddr *>(&adresse), &laenge);
        if (fd < 0) {
            if (errno == EINTR || errno == ECONNABORTED)
                continue;
            if (errno != EAGAIN && errno != EWOULDBLOCK) {
                // As the server itself does: stop taking connections until it is started again.
                m_annahme->setEnabled(false);
                emit Fehler(qt_error_string(errno));
            }
            return;
        }
        ::fcntl(fd, F_SETFD, FD_CLOEXEC);
        const QHostAddress peer(reinterpret_cast<const sockaddr *>(&adresse));
        quint16 peerPort = 0;
        if (adresse.ss_family == AF_INET)
            peerPort = ntohs(reinterpret_cast<const sockaddr_in *>(&adresse)->sin_port);
        else if (adresse.ss_family == AF_INET6)
            peerPort = ntohs(reinterpret_cast<const sockaddr_in6 *>(&adresse)->sin6_port);
        if (!Platz(peer)) {
            ::close(fd);
            continue;
        }
        auto *s = new QTcpSocket(this);
        if (!s->setSocketDescriptor(fd)) {
            delete s;
            ::close(fd);
            continue;
        }
        Annehmen(s, peer, peerPort);
    }
#else
    while (QTcpSocket *s = m_server->nextPendingConnection()) {
        if (Platz(s->peerAddress()))
            Annehmen(s, s->peerAddress(), s->peerPort());
        else
            delete s;
    }
#endif
}

bool TAntwortServer::Fremd(const QHostAddress &peer) const
{
    return !m_steuerung.isNull() && !peer.isEqual(m_steuerung, QHostAddress::TolerantConversion);
}

bool TAntwortServer::Platz(const QHostAddress &peer)
{
    if (m_leser.size() < MaxVerbindungen) {
        m_abweisend = false;
        return true;
    }
    // Other peers holding every place must not shut the controller out.
    if (!Fremd(peer)) {
        TLeser *ruhigster = nullptr;
        for (TLeser *l : std::as_const(m_leser))
            if (l->fremd() && (!ruhigster || l->zuletzt() < ruhigster->zuletzt()))
                ruhigster = l;
        if (ruhigster) {
            m_leser.removeOne(ruhigster);
            ruhigster->abbrechen();
            ruhigster->deleteLater();
            return true;
        }
    }
    // Each connection's line is capped, their number must be too. One line for a burst of
    // refusals, not one per peer.
    if (!m_abweisend) {
        m_abweisend = true;
        emit Fehler(QStringLiteral("Max connections exceeded."));
    }
    return false;
}

void TAntwortServer::Annehmen(QTcpSocket *socket, const QHostAddress &peer, quint16 peerPort)
{
    auto *l = new TLeser(this, socket, peer, peerPort, Fremd(peer));
    m_leser.append(l);
    l->starten();
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
    const bool lesefehler = verbindung.Ende == TServerVerbindung::Lesefehler;
    if (lesefehler)
        zeile.clear();
    if (zeitablauf)
        zeile = "ERROR-ReadlnTimeOut";
    const QString sichtbar = AnsiToString(CtrlCharsVisible(zeile));
    host.AntwortEintragen(verbindung.PeerIP + u'-' + sichtbar);
    // Any host on the network can connect and send anything; what fails from one that is not
    // the controller is no answer to our command.
    if (verbindung.Fremd
        && ::AntwortBeurteilen(zeile, link ? link->BefehlAktuell : NeuerBefehl(), {}).Urteil == TUrteil::Fehler) {
        WriteErrorLog(ErrLogName, QStringLiteral("Not from the controller, ignored: \"") + verbindung.PeerIP
                                      + QStringLiteral("\", PeerPort ") + QString::number(verbindung.PeerPort)
                                      + QStringLiteral(", Port ") + QString::number(serverPort) + QStringLiteral(": ")
                                      + (lesefehler ? verbindung.Fehlertext : sichtbar));
        return;
    }
    if (lesefehler)
        pendingError = verbindung.Fehlertext;
    if (link)
        link->AntwortVerarbeiten(zeile);
    if (zeitablauf)
        host.FehlerEintragen(QStringLiteral("Timeout from Client while connecting to TCP Server \"")
                             + verbindung.PeerIP + QStringLiteral("\", PeerPort ")
                             + QString::number(verbindung.PeerPort) + QStringLiteral(", Port ")
                             + QString::number(serverPort) + u'.');
}

#pragma once
// The TCP server on which the controller delivers its answers, one line per connection, and
// what becomes of each line.
#include <QByteArray>
#include <QHostAddress>
#include <QList>
#include <QObject>
#include <QString>

class QTcpServer;
class QTcpSocket;
class TLinkHost;
class TwXQXOfen;

// One connection of the server as it was read.
struct TServerVerbindung
{
    enum TEnde {
        Zeile,        // a whole line (LF seen)
        Zeitablauf,   // nothing complete within the read time
        Lesefehler    // the socket failed or the line grew past the cap; Fehlertext says why
    };
    TEnde Ende = Zeile;
    QByteArray Text;
    QString PeerIP;
    quint16 PeerPort = 0;
    QString Fehlertext;
    // From a peer other than the controller's address (only once that address is known).
    bool Fremd = false;
};

class TAntwortServer : public QObject
{
    Q_OBJECT
public:
    // Longest line accepted; a longer one counts as a broken read.
    static constexpr qsizetype MaxZeile = 64 * 1024;
    static constexpr int LeseZeitMs = 5000;
    // A peer other than the controller has this long for its whole line.
    static constexpr int FremdLeseZeitMs = 1000;
    // Open connections at most; one beyond is closed at once, unless it comes from the
    // controller: then the other peer's connection that has been idle longest makes room.
    static constexpr int MaxVerbindungen = 64;
    // Connections the system may hold for the server before it takes them.
    static constexpr int Warteschlange = 4096;

    explicit TAntwortServer(QObject *parent = nullptr);
    ~TAntwortServer() override;

    // All IPv4 addresses, unless KELVOR_LISTEN_ADDRESS names one.
    static QHostAddress StandardAdresse();
    void SetAdresse(const QHostAddress &adresse) { m_adresse = adresse; }
    QHostAddress Adresse() const { return m_adresse; }
    quint16 Port() const { return m_port; }
    void SetPort(quint16 port) { m_port = port; }
    // The controller's address; a null address makes no peer a foreign one.
    void SetSteuerung(const QHostAddress &adresse) { m_steuerung = adresse; }
    QHostAddress Steuerung() const { return m_steuerung; }

    // False when the port cannot be opened; FehlerText() then says why.
    bool Aktivieren();
    // Drops the open connections and stops listening.
    void Deaktivieren();
    bool Aktiv() const;
    QString FehlerText() const;
    int OffeneVerbindungen() const { return int(m_leser.size()); }

signals:
    // One per connection that delivered a line, timed out or failed; a connection closed
    // by the peer before a whole line came delivers nothing.
    void Gelesen(const TServerVerbindung &verbindung);
    // A connection could not be accepted, or connections were refused for want of room
    // (once until one is accepted again).
    void Fehler(const QString &meldung);

private:
    class TLeser;
    void NeueVerbindungen();
    // Takes an accepted connection with the peer as accept gave it; false when refused.
    void Annehmen(QTcpSocket *socket, const QHostAddress &peer, quint16 peerPort);
    bool Fremd(const QHostAddress &peer) const;
    bool Platz(const QHostAddress &peer);
    void Fertig(TLeser *leser, const TServerVerbindung *verbindung);

    QTcpServer *m_server;
    class QSocketNotifier *m_annahme = nullptr;
    QHostAddress m_adresse;
    quint16 m_port = 2608;
    QHostAddress m_steuerung;
    QList<TLeser *> m_leser;
    // Counts up with every accept and every read: the smallest mark is the longest idle.
    quint64 m_takt = 0;
    bool m_abweisend = false;
};

// What the server does with one connection, in this order: the incoming list, the link, and
// for a read that timed out the error line. A read that failed otherwise hands the link an
// empty line and leaves its reason in `pendingError` for the main window to show. A line that
// the answer check calls a failure, from a foreign peer, goes after the incoming list to the
// error file alone: it never counts against the command in flight and shows no box.
void ServerZeileVerarbeiten(const TServerVerbindung &verbindung, TLinkHost &host, TwXQXOfen *link,
                            quint16 serverPort, QString &pendingError);

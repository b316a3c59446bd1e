// The real main window against the stand-in controller while other hosts flood its answer
// server: peers that trickle a byte a second and a burst of connects. Every command by hand
// must go and be answered exactly as without them.
#include "support/LinkTestHilfe.h"
#include "support/Steuerung.h"

#include "link/uKelvor.h"

#include <QListWidget>
#include <QNetworkProxy>
#include <QPushButton>
#include <QTcpSocket>
#include <QtTest>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/resource.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>
#include <memory>
#include <vector>

namespace {

const QHostAddress kFremd(QStringLiteral("127.0.0.9"));
constexpr int kRinnsale = 200;
constexpr int kStoss = 10000;

// Peers from another address that connect, send one byte a second and never a line end; one
// that was closed comes back a second later.
class TRinnsal : public QObject
{
public:
    TRinnsal(const QHostAddress &ziel, quint16 port, int anzahl) : m_ziel(ziel), m_port(port)
    {
        for (int i = 0; i < anzahl; ++i)
            verbinden();
        connect(&m_takt, &QTimer::timeout, this, [this] {
            for (QTcpSocket *s : findChildren<QTcpSocket *>())
                if (s->state() == QAbstractSocket::ConnectedState)
                    s->write("x");
        });
        m_takt.start(ScaledMs(1000));
    }

private:
    void verbinden()
    {
        auto *s = new QTcpSocket(this);
        s->setProxy(QNetworkProxy::NoProxy);
        s->bind(kFremd);
        const auto weg = [this, s] {
            if (s->property("weg").toBool())
                return;
            s->setProperty("weg", true);
            s->deleteLater();
            QTimer::singleShot(ScaledMs(1000), this, [this] { verbinden(); });
        };
        connect(s, &QTcpSocket::disconnected, this, weg);
        connect(s, &QTcpSocket::errorOccurred, this, weg);
        s->connectToHost(m_ziel, m_port);
    }

    QHostAddress m_ziel;
    quint16 m_port;
    QTimer m_takt;
};

// One wave of a burst: `anzahl` connects from kFremd at once, none waited for.
class TWelle
{
public:
    TWelle(const QHostAddress &ziel, quint16 port, int anzahl)
    {
        sockaddr_in von{}, zu{};
        von.sin_family = zu.sin_family = AF_INET;
        von.sin_addr.s_addr = htonl(kFremd.toIPv4Address());
        zu.sin_addr.s_addr = htonl(ziel.toIPv4Address());
        zu.sin_port = htons(port);
        for (int i = 0; i < anzahl; ++i) {
            const int fd = ::socket(AF_INET, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
            if (fd < 0)
                break;
            m_fds.push_back({fd, POLLIN, 0});
            if (::bind(fd, reinterpret_cast<sockaddr *>(&von), sizeof von) != 0
                || (::connect(fd, reinterpret_cast<sockaddr *>(&zu), sizeof zu) != 0 && errno != EINPROGRESS))
                break;
        }
    }
    // Reset, so nothing lingers in TIME_WAIT on our side.
    ~TWelle()
    {
        const linger sofort{1, 0};
        for (const pollfd &p : m_fds) {
            ::setsockopt(p.fd, SOL_SOCKET, SO_LINGER, &sofort, sizeof sofort);
            ::close(p.fd);
        }
    }
    int anzahl() const { return int(m_fds.size()); }
    // Connects that the server has not closed yet (queued, held, or not through at all).
    int offen()
    {
        if (::poll(m_fds.data(), m_fds.size(), 0) < 0)
            return anzahl();
        int n = 0;
        for (const pollfd &p : m_fds)
            n += (p.revents & (POLLIN | POLLHUP | POLLERR)) == 0;
        return n;
    }

private:
    std::vector<pollfd> m_fds;
};

} // namespace

class TstFlut : public QObject
{
    Q_OBJECT
    std::unique_ptr<TSteuerungsUmgebung> u;
    TwKelvor *w = nullptr;
    QStringList enden;
    int welle = 0;
    const QList<const char *> knoepfe{"Ping", "Version", "Abfragen", "HERD", "ListeBtn"};

    static bool warte(const std::function<bool()> &bedingung) { return QTest::qWaitFor(bedingung, 60000); }

    // The link and the stand-in have nothing left to do (the server's connections aside).
    bool ruhig() const
    {
        const TwXQXOfen *l = u->link();
        return !l->BefehlImFlug() && !l->SendenBeschaeftigt() && l->MakroZeilen().isEmpty()
               && u->sim().answersPending() == 0 && u->sim().count("TRX ") == u->sim().answersSent().size();
    }

    // Clicks the button and waits until its command has ended, whichever way, and its answer
    // is acknowledged; gives what the stand-in received and how the command ended.
    QString klicken(const char *knopf)
    {
        u->sim().clearRecords();
        const qsizetype vorher = enden.size();
        QTest::mouseClick(w->findChild<QPushButton *>(QLatin1String(knopf)), Qt::LeftButton);
        if (!warte([&] { return enden.size() > vorher && ruhig(); }))
            return QStringLiteral("no end");
        return Woerter(u->sim()).join(u'|') + u' ' + enden.mid(vorher).join(u'|');
    }

private slots:
    void initTestCase()
    {
        // The burst holds a socket per connect; waves keep it within what the system grants.
        rlimit grenze{};
        if (::getrlimit(RLIMIT_NOFILE, &grenze) == 0 && grenze.rlim_cur < grenze.rlim_max) {
            grenze.rlim_cur = grenze.rlim_max;
            ::setrlimit(RLIMIT_NOFILE, &grenze);
        }
        ::getrlimit(RLIMIT_NOFILE, &grenze);
        welle = int(qBound<rlim_t>(100, grenze.rlim_cur > 1000 ? grenze.rlim_cur - 1000 : 0, 2000));
    }

    void cleanup() { u.reset(); }

    void kommandosTrotzFlut()
    {
        u = std::make_unique<TSteuerungsUmgebung>();
        QVERIFY2(u->starten(), qPrintable(u->grund));
        w = u->env().oeffnen({QStringLiteral("QUAMP")}, true);
        connect(u->link(), &TwXQXOfen::BefehlBeendet, this,
                [this](const NeuerBefehl &b, TwXQXOfen::TBefehlsEnde wie) { enden << EndeText(b.Kommando, wie); });

        // Without the flood first: what goes to the controller and how each command ends.
        QStringList ohne;
        for (const char *knopf : knoepfe)
            ohne << klicken(knopf);
        QCOMPARE(ohne.filter(QStringLiteral("|TRX ACK ")).size(), knoepfe.size());
        QCOMPARE(ohne.filter(QStringLiteral(":Beantwortet")).size(), knoepfe.size());
        const int fehlerVorher = w->LBError->count();

        // Trickling peers hold every place of the server.
        TRinnsal rinnsal(u->pc, u->port, kRinnsale);
        QVERIFY(warte([&] { return w->TCPServer->OffeneVerbindungen() == TAntwortServer::MaxVerbindungen; }));
        for (qsizetype i = 0; i < knoepfe.size(); ++i)
            QCOMPARE(klicken(knoepfe[i]), ohne[i]);

        // A burst of connects on top, in waves: each command goes while its wave arrives.
        int gesendet = 0;
        for (qsizetype i = 0; gesendet < kStoss; ++i) {
            TWelle stoss(u->pc, u->port, qMin(welle, kStoss - gesendet));
            QVERIFY(stoss.anzahl() > 0);
            gesendet += stoss.anzahl();
            QCOMPARE(klicken(knoepfe[i % knoepfe.size()]), ohne[i % knoepfe.size()]);
            // Taken and closed, all but those that hold a place.
            QVERIFY(warte([&] { return stoss.offen() <= TAntwortServer::MaxVerbindungen; }));
        }

        // No box, and the only error lines are the server's refusals.
        QCOMPARE(u->env().dialoge().boxes().size(), 0);
        for (int i = fehlerVorher; i < w->LBError->count(); ++i)
            QVERIFY2(w->LBError->item(i)->text().endsWith(QStringLiteral("-ThreadError01:Max connections exceeded.")),
                     qPrintable(w->LBError->item(i)->text()));
    }
};

QTEST_MAIN(TstFlut)
#include "tst_Flut.moc"

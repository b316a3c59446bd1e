// The GUI thread's longest stall while the status poll runs against a controller that fails:
// one that never accepts (a listener whose accept queue is full, so the connect hangs until
// the link's own connect time-out), one that accepts and never answers (the stand-in, silent),
// and one that refuses (nobody listens). Each runs the whole program in the service view with
// PING, STAT and ZEIT ticked, in a process of its own, and is compared with the bare Qt
// program over the same time, all four at once: a stall counts as far as the bare program did
// not stand still with it, so that what a busy machine does to every process cancels out.
#include "bench/Figur.h"
#include "bench/Messen.h"
#include "bench/Programmlauf.h"

#include "XqSim.h"
#include "link/uKelvor.h"

#include <QCheckBox>
#include <QFileInfo>
#include <QTemporaryDir>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

namespace {

// The first poll comes 10 s after start; by 40 s each kind of failure has given a command up.
constexpr int kSekunden = 40;
constexpr double kZielMs = 15;

// kelvor_bench --kind stau <folder> <address> <port> <seconds>
int stauKind(int argc, char **argv)
{
    QApplication app(argc, argv);
    const TProgrammOrt ort = ProgrammOrtLesen(argc, argv);
    const int sekunden = ort.Rest.value(0).toInt();
    if (sekunden <= 0)
        return 2;
    ProgrammOrtSetzen(ort, true);
    TKindDialoge dialoge;
    SetDialogHook(&dialoge);
    TLueckenmesser luecke;
    TwKelvor *kelvor = nullptr;
    kelvor = ProgrammStarten(ort, {QStringLiteral("QUAMP")}, [&] {
        // What the service user ticks for the poll.
        for (QCheckBox *b : {kelvor->PingTimer, kelvor->StatTimer, kelvor->ZeitTimer})
            b->setChecked(true);
        luecke.starten();
        QTimer::singleShot(sekunden * 1000, kelvor, [&] {
            const double ms = luecke.anhalten();
            ErgebnisMelden(QStringLiteral("%1 %2 %3 %4 %5")
                               .arg(ms, 0, 'f', 2)
                               .arg(kelvor->LBError->count())
                               .arg(dialoge.Boxen)
                               .arg(dialoge.Modal)
                               .arg(luecke.lueckenText()));
            kelvor->close();
        });
    });
    const int rc = app.exec();
    SetDialogHook(nullptr);
    return rc;
}
KELVOR_KIND("stau", stauKind);

// A listener on `adresse` whose accept queue is full: nobody accepts, and a further connect
// hangs unanswered.
class TVolleWarteschlange
{
public:
    ~TVolleWarteschlange()
    {
        for (int fd : m_fds)
            ::close(fd);
    }
    bool oeffnen(const QHostAddress &adresse, quint16 port)
    {
        sockaddr_in a{};
        a.sin_family = AF_INET;
        a.sin_addr.s_addr = htonl(adresse.toIPv4Address());
        a.sin_port = htons(port);
        const int lauscher = neu();
        if (lauscher < 0 || ::bind(lauscher, reinterpret_cast<sockaddr *>(&a), sizeof a) != 0
            || ::listen(lauscher, 0) != 0)
            return false;
        for (int i = 0; i < 3; ++i)
            ::connect(neu(), reinterpret_cast<sockaddr *>(&a), sizeof a);
        return true;
    }

private:
    int neu()
    {
        m_fds.push_back(::socket(AF_INET, SOCK_STREAM | SOCK_NONBLOCK, 0));
        return m_fds.back();
    }
    std::vector<int> m_fds;
};

struct TLueckeZeit
{
    qint64 von, bis, eigen;
};
QList<TLueckeZeit> luecken(const QString &text)
{
    QList<TLueckeZeit> l;
    for (const QString &t : text.split(u',', Qt::SkipEmptyParts)) {
        const QStringList f = t.split(u':');
        if (f.size() == 3)
            l.append({f[0].toLongLong() - f[1].toLongLong(), f[0].toLongLong(), f[2].toLongLong()});
    }
    return l;
}

// The program's longest stall less the part of it in which the bare program stood still too:
// what the machine did to both is not the program's.
double eigeneMs(double ms, const QList<TLueckeZeit> &kelvor, const QList<TLueckeZeit> &leer)
{
    if (kelvor.isEmpty())
        return ms;
    qint64 groesste = 0;
    for (const TLueckeZeit &k : kelvor) {
        qint64 geteilt = 0;
        for (const TLueckeZeit &b : leer)
            geteilt += qMax<qint64>(0, qMin(k.bis, b.bis) - qMax(k.von, b.von));
        groesste = qMax(groesste, k.eigen - geteilt);
    }
    return qMax(groesste / 1e6, qMin(ms, TLueckenmesser::LangNs / 1e6));
}

struct TStauFall
{
    double ms = 0;
    double eigen = 0;
    int fehlerZeilen = 0;
    int boxen = 0;
};

struct TStau
{
    bool ok = false;
    QString grund;
    double leer = 0;
    TStauFall faelle[3];
};

TStau stauMessen()
{
    TStau s;
    QTemporaryDir ordner[3];
    const TOrt ort[3] = {OrtSuchen(1), OrtSuchen(2), OrtSuchen(3)};
    for (const TOrt &o : ort)
        if (!o.port) {
            s.grund = QStringLiteral("no free port");
            return s;
        }
    TVolleWarteschlange voll;
    if (!voll.oeffnen(ort[0].steuerung, ort[0].port)) {
        s.grund = QStringLiteral("no listener for the full accept queue");
        return s;
    }
    TXqSim stumm;
    if (!stumm.start(ort[1].port, ort[1].steuerung, ort[1].pc)) {
        s.grund = QStringLiteral("stand-in: ") + stumm.errorString();
        return s;
    }
    stumm.addFault("*", TXqSimFault::of(TXqSimFault::Silence), -1);
    // ort[2]: nobody listens on its controller address.

    TKind leer{LeerProgramm(), {QStringLiteral("stau"), QString::number(kSekunden)}, {}, {}, {}};
    TKind kelvor[3];
    for (int i = 0; i < 3; ++i)
        kelvor[i] = TKind{BenchProgramm(),
                          QStringList{QStringLiteral("--kind"), QStringLiteral("stau")}
                              + ProgrammArgumente(ordner[i].path(), ort[i]) + QStringList{QString::number(kSekunden)},
                          ort[i].pc, {}, {}};
    const bool ok = KinderLaufen({&leer, &kelvor[0], &kelvor[1], &kelvor[2]}, (kSekunden + 60) * 1000);
    for (const TKind *k : {&leer, &kelvor[0], &kelvor[1], &kelvor[2]})
        if (!k->Fehler.isEmpty())
            s.grund = QFileInfo(k->Programm).fileName() + QStringLiteral(": ") + k->Fehler;
    if (!ok)
        return s;
    s.leer = leer.Ergebnis.value(0).toDouble();
    const QList<TLueckeZeit> leerLuecken = luecken(leer.Ergebnis.value(1));
    for (int i = 0; i < 3; ++i) {
        const QStringList &e = kelvor[i].Ergebnis;
        const double ms = e.value(0).toDouble();
        s.faelle[i] = {ms, eigeneMs(ms, luecken(e.value(4)), leerLuecken), e.value(1).toInt(), e.value(2).toInt()};
        if (e.value(3).toInt() != 0) {
            s.grund = QStringLiteral("a modal box came up");
            return s;
        }
    }
    // The poll must have met its failure in every case.
    if (stumm.count("PING") == 0 || s.faelle[0].fehlerZeilen == 0 || s.faelle[1].fehlerZeilen == 0
        || s.faelle[2].fehlerZeilen == 0) {
        s.grund = QStringLiteral("the poll did not meet its failure");
        return s;
    }
    s.ok = true;
    return s;
}

const TStau &stau()
{
    static const TStau s = stauMessen();
    return s;
}

std::optional<double> stauFigur(int fall)
{
    const TStau &s = stau();
    if (!s.ok) {
        FigurNotiz(s.grund);
        return {};
    }
    const TStauFall &f = s.faelle[fall];
    FigurNotiz(QStringLiteral("kelvor %1 ms, %7 ms not shared with the bare Qt window, bare Qt window %2 ms, over %3 s "
                              "with %4 error lines and %5 \"Fehler\" %6")
                   .arg(f.ms, 0, 'f', 1)
                   .arg(s.leer, 0, 'f', 1)
                   .arg(kSekunden)
                   .arg(f.fehlerZeilen)
                   .arg(f.boxen)
                   .arg(f.boxen == 1 ? QStringLiteral("box") : QStringLiteral("boxes"))
                   .arg(f.eigen, 0, 'f', 1));
    return f.eigen - qMin(s.leer, TLueckenmesser::LangNs / 1e6);
}

TFigur figur(const char *gegen, int fall)
{
    return TFigur{QStringLiteral("longest GUI stall, status poll against a controller that ") + QLatin1String(gegen)
                      + QStringLiteral(", over the bare window"),
                  kZielMs, [fall] { return stauFigur(fall); }, QStringLiteral("ms"), 1, true, 40 + fall};
}

} // namespace

KELVOR_FIGUR(figur("never accepts", 0));
KELVOR_FIGUR(figur("accepts and never answers", 1));
KELVOR_FIGUR(figur("refuses", 2));

// The link object: registry, send queue, queue ticks, error handling and the status poll.
#include "link/uXqxOfen.h"

#include "app/Codepage.h"
#include "app/Sammlung.h"
#include "app/Zahlformat.h"
#include "app/Zeitgeber.h"
#include "app/uKonstanten.h"

#include <QCheckBox>
#include <QDateTime>
#include <QListWidget>
#include <QRandomGenerator>
#include <QSpinBox>
#include <QTcpSocket>

namespace {

// A queue line is never cut; only its display is.
constexpr qsizetype kAnzeigeLaenge = 32766;

bool istLeerOderNone(const NeuerBefehl &b)
{
    // Nothing was ever in flight, or the last command has ended.
    return b.Name.isEmpty() || b.Name == SB_None.Name;
}

} // namespace

TwXQXOfen::TwXQXOfen(TLinkHost *host, QWidget *parent)
    : QWidget(parent, Qt::Window), m_host(host)
{
    FensterAufbauen();

    auto timer = [this](const char *name, int ms, bool on) {
        auto *t = new TTimer(this, ms, on);
        t->setObjectName(QString::fromLatin1(name));
        return t;
    };
    TimerHerz = timer("TimerHerz", 100, false);
    TimerHerz->setSingleShot(true);
    TimerHerzWake = timer("TimerHerzWake", 100, false);
    Timeout = timer("Timeout", 5000, false);
    StatusTimer = timer("StatusTimer", 10000, true);
    m_waechter = timer("ClientWaechter", 5000, false);
    m_waechter->setSingleShot(true);
    StatusTimeout = timer("StatusTimeout", 5000, false);
    connect(TimerHerz, &TTimer::timeout, this, &TwXQXOfen::TimerHerzTimer);
    connect(TimerHerzWake, &TTimer::timeout, this, &TwXQXOfen::TimerHerzWakeTimer);
    connect(Timeout, &TTimer::timeout, this, &TwXQXOfen::TimeoutTimer);
    connect(StatusTimer, &TTimer::timeout, this, &TwXQXOfen::StatusTimerTimer);
    connect(m_waechter, &TTimer::timeout, this, &TwXQXOfen::WaechterTimer);
    connect(StatusTimeout, &TTimer::timeout, this, &TwXQXOfen::StatusTimeoutTimer);

    BefehlAktuell = SB_None;
    FormCreate();
}

TwXQXOfen::~TwXQXOfen()
{
    // Nothing pending may call back into windows that are going away.
    m_aufgeschoben.clear();
    m_abschlussHalter = nullptr;
    if (m_socket) {
        m_socket->disconnect(this);
        m_socket->abort();
    }
}

void TwXQXOfen::Init(const QString &address)
{
    IPText = address;
    Befehlsregister.clear();
    for (NeuerBefehl *b : {&SB_None, &SB_NONS, &SB_RecSave, &SB_RecRest, &SB_RecRest01, &SB_RecRest02,
                           &SB_RecRest03, &SB_RecRest04, &SB_RecRest05, &SB_RecRest06, &SB_RecRest07,
                           &SB_RecRest08, &SB_RecRest09, &SB_RecRest10, &SB_RecRest11, &SB_RecRest12,
                           &SB_RSCancel, &SB_AZUG, &SB_kAZUG, &SB_BPLI, &SB_kBPLI, &SB_BPL2, &SB_kBPL2,
                           &SB_BPRG, &SB_kBPRG, &SB_BZEI, &SB_kBZEI, &SB_HERD, &SB_LOAD, &SB_kLOAD,
                           &SB_NAST, &SB_kNAST, &SB_OFEN, &SB_kOFEN, &SB_PING, &SB_SOLL, &SB_kSOLL,
                           &SB_STAR, &SB_kSTAR, &SB_STAR_Besch, &SB_kSTAR_Besch, &SB_STAT, &SB_kSTAT,
                           &SB_STOP, &SB_kSTOP, &SB_SWAD, &SB_kSWAD, &SB_TRX, &SB_ZEIT, &SB_kZEIT}) {
        b->MaxVersuche = 3;
        Befehlsregister.append(*b);
    }
    TCPClient.Host = CheckIPAddress(address);
    TimerHerzWake->setEnabled(true);
    TimerHerz->setEnabled(true);
    setWindowTitle(QStringLiteral("XQ ") + TCPClient.Host);
}

void TwXQXOfen::BefehlEinreihen(const QByteArray &prioritaet, const NeuerBefehl &befehl, const QByteArray &param)
{
    QByteArray zeile = prioritaet;
    zeile += TAB;
    zeile += befehl.Name;
    zeile += TAB;
    zeile += param;
    if (!m_makros.contains(zeile)) {
        m_makros.append(zeile);
        Makros->addItem(AnsiToString(zeile.left(kAnzeigeLaenge)));
    }
    if (!Waiting->isChecked())
        TimerHerz->setEnabled(true);
}

void TwXQXOfen::TimerHerzTimer()
{
    TimerHerz->setEnabled(false);
    if (Closing || IPText.isEmpty())
        return;
    // A send on the wire or waiting its turn holds the queue just as an awaited answer does.
    if (Waiting->isChecked() || SendenBeschaeftigt()) {
        TimerHerz->setEnabled(true);
        return;
    }
    MakroAbarbeiten();
}

void TwXQXOfen::TimerHerzWakeTimer()
{
    if (!Closing && !Waiting->isChecked())
        TimerHerz->setEnabled(true);
}

void TwXQXOfen::MakroAbarbeiten()
{
    if (m_makros.isEmpty())
        return;
    QByteArray zeile = m_makros.takeFirst();
    delete Makros->takeItem(0);
    if (zeile.isEmpty())
        return;
    const qsizetype prioTab = zeile.indexOf(TAB);
    if (prioTab >= 0)
        zeile.remove(0, prioTab + 1);
    const qsizetype tab = zeile.indexOf(TAB);
    const QByteArray name = (tab >= 0 ? zeile.left(tab) : zeile).toUpper();
    QByteArray param = tab >= 0 ? zeile.mid(tab + 1) : QByteArray();

    auto ist = [&name](const NeuerBefehl &b) { return name == b.Name.toUpper(); };
    if (ist(SB_RecSave)) {
        AlleLesen = true;
        UebertragungLaeuft = true;
        Senden(SB_BPL2, QByteArray());
        return;
    }
    if (ist(SB_RSCancel)) {
        AktNr = 0;
        AlleLesen = false;
        AlleSchreiben = false;
        UebertragungLaeuft = false;
        Abgebrochen = true;
        return;
    }
    if (ist(SB_BPLI)) {
        Senden(SB_BPL2, QByteArray());
        return;
    }
    for (NeuerBefehl *b : {&SB_RecRest01, &SB_RecRest02, &SB_RecRest03, &SB_RecRest04, &SB_RecRest05,
                           &SB_RecRest06, &SB_RecRest07, &SB_RecRest08, &SB_RecRest09, &SB_RecRest10,
                           &SB_RecRest11, &SB_RecRest12}) {
        if (ist(*b)) {
            RestoreBlockLaden(param, b == &SB_RecRest01);
            return;
        }
    }
    if (ist(SB_RecRest)) {
        RestoreStarten();
        return;
    }
    if (ist(SB_ZEIT)) {
        // A set request carries the PC time of the moment it goes out.
        if (!param.isEmpty())
            param = QDateTime::currentDateTime().toString(QStringLiteral("dd.MM.yyyy HH:mm:ss")).toLatin1();
        Senden(SB_ZEIT, param);
        return;
    }
    for (const NeuerBefehl &b : std::as_const(Befehlsregister)) {
        if (b.Name.toUpper() == name) {
            Senden(b, param);
            return;
        }
    }
}

void TwXQXOfen::Wiederholen(const NeuerBefehl &befehl, const QByteArray &param)
{
    Senden(befehl, param);
}

void TwXQXOfen::BefehlErledigt()
{
    Waiting->setChecked(false);
    TimerHerz->setEnabled(true);
    Timeout->setEnabled(false);
}

void TwXQXOfen::TimeoutTimer()
{
    Timeout->setEnabled(false);
    Waiting->setChecked(false);
    TimerHerz->setEnabled(true);
    QByteArray text("TIMEOUT");
    PruefeAntwort(text);
}

bool TwXQXOfen::PruefeAntwort(QByteArray &text)
{
    const TPruefung p = ::PruefeAntwort(text, BefehlAktuell, StringToAnsi(TCPClient.Host));
    if (!p.CksZeile.isEmpty())
        m_host->FehlerEintragen(AnsiToString(p.CksZeile));
    switch (p.Urteil) {
    case TUrteil::Fehler:
        if (p.Aufgeben)
            BefehlAktuell.Versuche = BefehlAktuell.MaxVersuche;
        FehlerBehandeln(BefehlAktuell, p.Meldung, p.NakSenden, p.Aufgeben);
        return false;
    case TUrteil::TrxAck:
        return false;
    case TUrteil::NochmalAlsBpli:
        BefehlAktuell.Name = SB_BPLI.Name;
        BefehlAktuell.Kommando = SB_BPLI.Kommando;
        BefehlAktuell.Versuche = 0;
        Wiederholen(BefehlAktuell, BefehlAktuell.Param);
        return false;
    case TUrteil::Verweigert:
        Senden(SB_TRX, QByteArray(1, ACK));
        text = p.Text;
        FehlerBehandeln(BefehlAktuell, p.Meldung, false);
        return false;
    case TUrteil::Gut:
        Senden(SB_TRX, QByteArray(1, ACK));
        text = p.Text;
        BefehlErledigt();
        BefehlAktuell.Versuche = 0;
        return true;
    }
    return false;
}

void TwXQXOfen::AntwortVerarbeiten(const QByteArray &zeile)
{
    QByteArray text = zeile;
    if (!PruefeAntwort(text))
        return;
    emit TimeOutNeustarten();
    // Any other word has done all it does in the check: acknowledged and ended the command.
    if (text.startsWith("herd"))
        AntwortHerd(text);
    else if (text.startsWith("stat"))
        AntwortStat(text);
    else if (text.startsWith("BPRG"))
        AntwortBprgDaten(text);
    else if (text.startsWith("bprg"))
        AntwortBprgQuittung(text);
    else if (text.startsWith("load"))
        AntwortLoad(text);
    else if (text.startsWith("nast"))
        AntwortNachtstarts(text);
    else if (text.startsWith("bpli") || text.startsWith("bpl2"))
        AntwortBprgListe(text);
    else if (text.startsWith("zeit"))
        AntwortZeit(text);
}

void TwXQXOfen::FehlerBehandeln(NeuerBefehl &befehl, const QByteArray &meldung, bool nakSenden, bool aufgegeben)
{
    ++befehl.Versuche;
    m_host->FehlerEintragen(AnsiToString(meldung));
    if (nakSenden)
        Senden(SB_TRX, QByteArray(1, NAK));
    if (befehl.Name == SB_TRX.Name || istLeerOderNone(befehl))
        return;

    int nr = -1;
    if (befehl.Param.startsWith("DELETE"))
        nr = HexToInt(QByteArrayView(befehl.Param).sliced(qMin<qsizetype>(7, befehl.Param.size())));

    if (befehl.Name == SB_HERD.Name) {
        ++HerdFehler;
        if (HerdFehler < 5 || ServiceMode) {
            // Never repeated, so it ends here: its answer timer would otherwise count the
            // same HERD a second time (after an EPAR, for one) and hold the gate until then.
            BefehlErledigt();
            return;
        }
        HerdFehler = 0;
        m_host->FehlerEintragen(QStringLiteral("Status-Error Interval-Up"));
        WriteErrorLog(ErrLogName, QStringLiteral("Status-Error Interval-Up"));
        SendenOk = false;
        StatusTimer->setInterval(60000 + int(QRandomGenerator::global()->bounded(10000)));
        BefehlAktuell = SB_None;
        BefehlErledigt();
        return;
    }

    if (befehl.Name == SB_BPRG.Name && befehl.Param.startsWith("DELETE") && nr > 99) {
        // A delete the controller does not know at all is not tried again.
        if (!aufgegeben && befehl.Versuche < 5) {
            Wiederholen(befehl, befehl.Param);
            return;
        }
        befehl.Versuche = 0;
        m_host->FehlerEintragen(QStringLiteral("Delete100"));
        BefehlAktuell = SB_None;
        UebertragungBeenden();
        BefehlErledigt();
        return;
    }

    // Each attempt writes its own lines, whatever the repeat does to the command in flight.
    const QString versuch = AnsiToString(FormatDec(befehl.Versuche, 0) + ':' + befehl.Kommando + befehl.Param);
    if (befehl.Versuche < befehl.MaxVersuche) {
        Wiederholen(befehl, befehl.Param);
        WriteErrorLog(ErrLogName, QStringLiteral("ERROR_") + versuch);
        WriteErrorLog(ErrLogName, QStringLiteral("RETRY_") + versuch);
        return;
    }

    if (AlleLesen || AlleSchreiben)
        UebertragungBeenden();
    befehl.Versuche = 0;
    if (befehl.Name != SB_ZEIT.Name)
        m_host->FehlerMelden(AnsiToString(meldung));
    WriteErrorLog(ErrLogName, QStringLiteral("Triedout-Error >3:") + AnsiToString(befehl.Kommando + befehl.Param));
    m_host->FehlerEintragen(QStringLiteral("Triedout-Error >3"));
    BefehlAktuell = SB_None;
    BefehlErledigt();
}

void TwXQXOfen::StatusTimerTimer()
{
    if (Closing || AlleSchreiben || AlleLesen)
        return;
    if (SendenOk)
        StatusTimer->setInterval(StatInt->value());
    if (IPText != QLatin1String("0")) {
        if (m_host->PingTimerGesetzt())
            BefehlEinreihen(QByteArray(), SB_PING, QByteArray());
        if (m_host->StatTimerGesetzt())
            BefehlEinreihen(QByteArray(), SB_STAT, QByteArray());
        if (m_host->ZeitTimerGesetzt())
            BefehlEinreihen(QByteArray(), SB_ZEIT, QByteArray());
    }
    if (!Waiting->isChecked())
        TimerHerz->setEnabled(true);
}

void TwXQXOfen::UebertragungBeenden()
{
    AktNr = 0;
    AlleLesen = false;
    AlleSchreiben = false;
    UebertragungLaeuft = false;
    // The list editor's progress display joins here with the whole-list transfer.
}

void TwXQXOfen::RestoreBlockLaden(const QByteArray &teil, bool erster)
{
    // Filled in with the whole-list transfer.
    Q_UNUSED(teil);
    Q_UNUSED(erster);
}

void TwXQXOfen::RestoreStarten()
{
    // Filled in with the whole-list transfer.
}

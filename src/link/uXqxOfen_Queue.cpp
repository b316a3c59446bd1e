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
    TimerHerzWake->setGrob(true);
    Timeout = timer("Timeout", 5000, false);
    StatusTimer = timer("StatusTimer", 10000, true);
    StatusTimer->setGrob(true);
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
    m_geschlossen = true;
    // Nothing pending may call back into windows that are going away.
    m_aufgeschoben.clear();
    if (m_socket) {
        m_socket->disconnect(this);
        m_socket->abort();
    }
    BefehlErledigt(TBefehlsEnde::Geschlossen);
    // A transfer still waiting in the queue ends with the link as well.
    if (UebertragungAktiv())
        UebertragungBeenden();
}

int TwXQXOfen::LeseNummer(const NeuerBefehl &befehl)
{
    if (befehl.Name != SB_BPRG.Name || befehl.Param.isEmpty() || befehl.Param.contains(TAB))
        return -1;
    return HexToInt(befehl.Param);
}

bool TwXQXOfen::geschlossen() const
{
    return Closing || m_geschlossen;
}

void TwXQXOfen::Schliessen()
{
    m_geschlossen = true;
    for (TTimer *t : {TimerHerz, TimerHerzWake, Timeout, StatusTimer, StatusTimeout, WaitingTimer})
        t->setEnabled(false);
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
    if (geschlossen() || IPText.isEmpty())
        return;
    // A send on the wire or waiting its turn holds the queue just as an awaited answer does.
    if (Waiting->isChecked() || SendenBeschaeftigt()) {
        TimerHerz->setEnabled(true);
        return;
    }
    MakroAbarbeiten();
    // A line that awaits no answer (a queue word, a line dropped) lets the next one follow a
    // tick later; waiting for the wake timer's next turn would take up to two.
    if (!geschlossen() && !Waiting->isChecked() && !m_makros.isEmpty())
        TimerHerz->setEnabled(true);
}

void TwXQXOfen::TimerHerzWakeTimer()
{
    // An empty queue would only be looked at for nothing; a line queued later turns the tick
    // on itself.
    if (!geschlossen() && !Waiting->isChecked() && !m_makros.isEmpty())
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
        AktNr = 0;
        m_schrittVersuche = 0;
        Senden(SB_BPL2, QByteArray());
        return;
    }
    if (ist(SB_RSCancel)) {
        UebertragungAbbrechen();
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
    SendenAuftrag({befehl, param, true});
}

void TwXQXOfen::BefehlErledigt(TBefehlsEnde wie)
{
    if (!m_imFlug)
        return;
    m_imFlug = false;
    m_antwortErwartet = false;
    m_imFlugAbgebrochen = false;
    Timeout->setEnabled(false);
    Waiting->setChecked(false);
    if (!geschlossen())
        TimerHerz->setEnabled(true);
    const NeuerBefehl befehl = BefehlAktuell;
    BefehlAktuell.Versuche = 0;
    if (wie != TBefehlsEnde::Beantwortet && wie != TBefehlsEnde::Verworfen) {
        // A read that got no answer is not waited for any longer: a late answer is only logged.
        m_erwarteteProgramme.removeAll(LeseNummer(befehl));
        BefehlAktuell = SB_None;
        if (AlleLesen || AlleSchreiben || UebertragungLaeuft)
            UebertragungBeenden();
    }
    emit BefehlBeendet(befehl, wie);
}

void TwXQXOfen::TimeoutTimer()
{
    Timeout->setEnabled(false);
    // The timer stops whenever the answer is taken; this is a guard, not a path.
    if (!m_antwortErwartet)
        return;
    Waiting->setChecked(false);
    TimerHerz->setEnabled(true);
    QByteArray text("TIMEOUT");
    PruefeAntwort(text);
}

bool TwXQXOfen::PruefeAntwort(QByteArray &text)
{
    m_beantwortet = NeuerBefehl();
    m_antwortAbgebrochen = false;
    const TPruefung p = ::AntwortBeurteilen(text, BefehlAktuell, StringToAnsi(TCPClient.Host));
    if (!p.CksZeile.isEmpty())
        m_host->FehlerEintragen(AnsiToString(p.CksZeile));
    if (p.Urteil == TUrteil::TrxAck)
        return false;
    // A line counts against the command in flight only while its answer is awaited, and it
    // is taken at once: the answer timer can no longer count the same attempt again while the
    // acknowledgement or the repeat waits its turn.
    const bool zaehlt = m_antwortErwartet;
    if (zaehlt) {
        m_antwortErwartet = false;
        Timeout->setEnabled(false);
    }
    if (p.Urteil == TUrteil::Gut || p.Urteil == TUrteil::Verweigert) {
        Senden(SB_TRX, QByteArray(1, ACK));
        text = p.Text;
    }
    if (!zaehlt) {
        // A stray line (a repeated answer, another peer): logged and acknowledged, never repeated.
        if (p.Urteil == TUrteil::NochmalAlsBpli)
            m_host->FehlerEintragen(AnsiToString(StringToAnsi(TCPClient.Host) + '_' + BefehlAktuell.Kommando
                                                 + ": UNKNOWN COMMAND"));
        else if (p.Urteil != TUrteil::Gut)
            m_host->FehlerEintragen(AnsiToString(p.Meldung));
        if (p.NakSenden)
            Senden(SB_TRX, QByteArray(1, NAK));
        // Acknowledgements carry no number: a write-all that meets one it did not await may
        // have taken another for a program's own.
        const QByteArrayView wort = text.startsWith("\x02\x05") ? QByteArrayView(text).sliced(2) : QByteArrayView(text);
        if (AlleSchreiben && wort.startsWith("bprg")) {
            SchreibenUnsicherBeenden();
            return false;
        }
        return p.Urteil == TUrteil::Gut;
    }
    switch (p.Urteil) {
    case TUrteil::Fehler:
    case TUrteil::Verweigert:
        if (p.Aufgeben)
            BefehlAktuell.Versuche = BefehlAktuell.MaxVersuche;
        FehlerBehandeln(BefehlAktuell, p);
        return false;
    case TUrteil::NochmalAlsBpli:
        if (m_imFlugAbgebrochen) {
            BefehlErledigt(TBefehlsEnde::Verworfen);
            return false;
        }
        BefehlAktuell.Name = SB_BPLI.Name;
        BefehlAktuell.Kommando = SB_BPLI.Kommando;
        BefehlAktuell.Versuche = 0;
        Wiederholen(BefehlAktuell, BefehlAktuell.Param);
        return false;
    case TUrteil::Gut:
        m_beantwortet = BefehlAktuell;
        m_antwortAbgebrochen = m_imFlugAbgebrochen;
        BefehlErledigt(TBefehlsEnde::Beantwortet);
        return true;
    case TUrteil::TrxAck:
        break;
    }
    return false;
}

void TwXQXOfen::AntwortVerarbeiten(const QByteArray &zeile)
{
    QByteArray text = zeile;
    if (!PruefeAntwort(text))
        return;
    if (m_antwortAbgebrochen) {
        // The answer to the request of a cancelled transfer: acknowledged, and nothing more.
        m_erwarteteProgramme.removeAll(LeseNummer(m_beantwortet));
        m_antwortAbgebrochen = false;
        m_beantwortet = NeuerBefehl();
        return;
    }
    // Only the answer to a program or name-list request, or a program still expected, keeps
    // the editor's watchdog off: the status poll's answers would hold a failed read's lock
    // open for good.
    const QByteArray &beantwortet = m_beantwortet.Kommando;
    if (beantwortet == SB_BPRG.Kommando || beantwortet == SB_BPL2.Kommando || beantwortet == SB_BPLI.Kommando
        || (text.startsWith("BPRG") && m_erwarteteProgramme.contains(HexToInt(text.mid(4, 4)))))
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
    m_beantwortet = NeuerBefehl();
}

void TwXQXOfen::FehlerBehandeln(NeuerBefehl &befehl, const TPruefung &p)
{
    ++befehl.Versuche;
    m_host->FehlerEintragen(AnsiToString(p.Meldung));
    if (p.NakSenden)
        Senden(SB_TRX, QByteArray(1, NAK));
    if (geschlossen()) {
        BefehlErledigt(TBefehlsEnde::Geschlossen);
        return;
    }
    // The transfer it belonged to was cancelled: nothing is tried again for it.
    if (m_imFlugAbgebrochen) {
        BefehlErledigt(TBefehlsEnde::Verworfen);
        return;
    }
    const TBefehlsEnde aufgegeben = p.Verweigerung ? TBefehlsEnde::Verweigert : TBefehlsEnde::Aufgegeben;
    // A write-all's attempt that got no answer of its own may still be answered late.
    if (AlleSchreiben && !p.Verweigerung && m_unsicherAb == 0 && SchrittImFlug())
        m_unsicherAb = AktNr;

    int nr = -1;
    if (befehl.Param.startsWith("DELETE"))
        nr = HexToInt(QByteArrayView(befehl.Param).sliced(qMin<qsizetype>(7, befehl.Param.size())));

    if (befehl.Name == SB_HERD.Name) {
        // Never repeated, so it ends here: its answer timer would otherwise count the same
        // HERD a second time (after an EPAR, for one) and hold the gate until then.
        ++HerdFehler;
        if (!(HerdFehler < 5 || ServiceMode)) {
            HerdFehler = 0;
            m_host->FehlerEintragen(QStringLiteral("Status-Error Interval-Up"));
            WriteErrorLog(ErrLogName, QStringLiteral("Status-Error Interval-Up"));
            SendenOk = false;
            StatusTimer->setInterval(60000 + int(QRandomGenerator::global()->bounded(10000)));
        }
        BefehlErledigt(TBefehlsEnde::Verworfen);
        return;
    }

    if (befehl.Name == SB_BPRG.Name && befehl.Param.startsWith("DELETE") && nr > 99) {
        // A delete the controller does not know at all is not tried again.
        if (!p.Aufgeben && befehl.Versuche < 5) {
            Wiederholen(befehl, befehl.Param);
            return;
        }
        m_host->FehlerEintragen(QStringLiteral("Delete100"));
        if (AlleLesen || AlleSchreiben) {
            // It ends a whole-list transfer, which must not look like a success.
            m_host->FehlerMelden(AnsiToString(p.Meldung));
            WriteErrorLog(ErrLogName, QStringLiteral("Delete100:") + AnsiToString(befehl.Kommando + befehl.Param));
        }
        BefehlErledigt(aufgegeben);
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

    if (befehl.Name != SB_ZEIT.Name)
        m_host->FehlerMelden(AnsiToString(p.Meldung));
    WriteErrorLog(ErrLogName, QStringLiteral("Triedout-Error >3:") + AnsiToString(befehl.Kommando + befehl.Param));
    m_host->FehlerEintragen(QStringLiteral("Triedout-Error >3"));
    BefehlErledigt(aufgegeben);
}

void TwXQXOfen::StatusTimerTimer()
{
    if (geschlossen() || AlleSchreiben || AlleLesen)
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

// Sending one frame: connect, write one line, disconnect, all without blocking. One send is
// on the wire at a time; a send asked for meanwhile waits its turn with the command as it was
// when asked for, so the effects keep the order in which the sends were asked for.
#include "link/uXqxOfen.h"

#include "app/Codepage.h"
#include "app/Sammlung.h"
#include "app/Zahlformat.h"
#include "app/Zeitgeber.h"

#include <QCheckBox>
#include <QSpinBox>
#include <QNetworkProxy>
#include <QTcpSocket>

namespace {

// The platform's own connect time-out can be minutes.
constexpr int kVerbindenMs = 5000;

enum : int { BitVerbinden = 1, BitNichtVerbunden = 2, BitAusnahme = 4, BitSchreiben = 32 };

// What KillBox writes in place of an acknowledgement, and how often EndlosSenden writes a frame.
const QByteArray kKillText("1234567890");
constexpr int kEndlosMal = 10;

} // namespace

void TwXQXOfen::Senden(NeuerBefehl befehl, const QByteArray &param)
{
    SendenAuftrag({std::move(befehl), param, false});
}

void TwXQXOfen::SendenAuftrag(TSendeAuftrag auftrag)
{
    if (geschlossen())
        return;
    if (SendenBeschaeftigt()) {
        m_aufgeschoben.append(std::move(auftrag));
        return;
    }
    SendenStarten(auftrag);
}

void TwXQXOfen::NaechsteSendung()
{
    while (!m_sendet && !m_aufgeschoben.isEmpty() && !geschlossen())
        SendenStarten(m_aufgeschoben.takeFirst());
    if (geschlossen())
        m_aufgeschoben.clear();
}

void TwXQXOfen::SendenStarten(const TSendeAuftrag &auftrag)
{
    const NeuerBefehl &befehl = auftrag.Befehl;
    if (geschlossen())
        return;
    m_trx = befehl.Name == SB_TRX.Name;
    // A repeat belongs to the command in flight; one that ended meanwhile is not sent.
    if (auftrag.Wiederholung && !m_imFlug)
        return;
    m_fehlerbits = 0;
    // An acknowledgement leaves the answer timer of the command in flight alone.
    if (!m_trx)
        Timeout->setEnabled(false);
    if (TCPClient.Host.isEmpty() || TCPClient.Host == QLatin1String("0")) {
        m_host->FehlerEintragen(QStringLiteral("ERROR illegal Hostadress ") + IPText);
        // A repeat that cannot go out ends its command; a new one never started.
        if (auftrag.Wiederholung)
            BefehlErledigt(TBefehlsEnde::Verworfen);
        return;
    }
    // From here a send asked for by anyone who hears of an ending below waits its turn.
    m_sendet = true;
    if (!m_trx) {
        // A command still in flight gives way to a new one: sent without waiting (NoWait), or
        // after the safety timer opened the gate.
        if (!auftrag.Wiederholung)
            BefehlErledigt(TBefehlsEnde::Verworfen);
        BefehlAktuell = befehl;
        BefehlAktuell.Param = auftrag.Param;
        m_imFlug = true;
        m_antwortErwartet = true;
        // Expected until its answer is taken, it is given up, or the link goes.
        const int nr = LeseNummer(BefehlAktuell);
        if (nr >= 0 && !m_erwarteteProgramme.contains(nr))
            m_erwarteteProgramme.append(nr);
        if (!m_host->NoWaitGesetzt())
            Waiting->setChecked(true);
    }

    const quint64 nr = ++m_sendeNr;
    m_sendeHost = TCPClient.Host;
    m_phase = TPhase::Verbinden;
    m_geschrieben = 0;
    m_rahmenLaenge = 0;
    m_trennFehler = false;
    m_sendeText = befehl.Kommando + auftrag.Param;
    m_sendeTimeoutMs = befehl.TimeoutMs;

    m_socket = new QTcpSocket(this);
    // The controller sits on the bakery's own network: a desktop proxy must not carry its
    // link, and asking the system for one costs a thread hop on every command.
    m_socket->setProxy(QNetworkProxy::NoProxy);
    // Queued: a socket may report a failed connect from inside connectToHost, and no effect
    // of the send may run inside the call that asked for it.
    connect(m_socket, &QTcpSocket::connected, this, [this, nr] { Verbunden(nr); }, Qt::QueuedConnection);
    connect(m_socket, &QTcpSocket::errorOccurred, this, [this, nr] { SocketFehler(nr); }, Qt::QueuedConnection);
    connect(m_socket, &QTcpSocket::bytesWritten, this, [this, nr](qint64 n) { Geschrieben(nr, n); },
            Qt::QueuedConnection);
    connect(m_socket, &QTcpSocket::disconnected, this, [this, nr] { Getrennt(nr); }, Qt::QueuedConnection);
    m_waechter->setEnabled(false);
    m_waechter->setInterval(kVerbindenMs);
    m_waechter->setEnabled(true);
    m_socket->connectToHost(SocketIPAddress(m_sendeHost), TCPClient.Port);
}

void TwXQXOfen::Verbunden(quint64 nr)
{
    if (nr != m_sendeNr || !m_socket || m_phase != TPhase::Verbinden)
        return;
    if (!m_trx) {
        Timeout->setEnabled(false);
        Timeout->setInterval(m_sendeTimeoutMs);
        Timeout->setEnabled(true);
    }
    m_fehlerbits = 0;
    m_phase = TPhase::Schliessen;
    m_waechter->restart();
    RahmenSchreibenDiagnose();
    if (m_fehlerbits) {
        m_socket->abort();
        SendungBeenden(nr);
        return;
    }
    m_socket->disconnectFromHost();
}

void TwXQXOfen::RahmenSchreibenDiagnose()
{
    if (!ServiceMode) {
        RahmenSchreiben(m_sendeText);
        return;
    }
    if (!m_host->KillBoxGesetzt()) {
        if (!m_host->ServerAktivieren())
            m_fehlerbits |= BitAusnahme;
        else
            RahmenSchreiben(m_sendeText);
        return;
    }
    // With the server down no answer can come in.
    if (!m_host->ServerStoppen()) {
        m_fehlerbits |= BitAusnahme;
        return;
    }
    if (m_trx) {
        RahmenSchreiben(kKillText);
        return;
    }
    const int mal = m_host->EndlosSendenGesetzt() ? kEndlosMal : 1;
    for (int i = 0; i < mal && !m_fehlerbits; ++i)
        RahmenSchreiben(m_sendeText);
}

void TwXQXOfen::RahmenSchreiben(const QByteArray &text)
{
    const QByteArray rahmen = RahmenBilden(text);
    const QByteArray zeile = rahmen + "\r\n";
    // Several frames may go out on one connection; all of them must leave.
    m_rahmenLaenge += zeile.size();
    const QString host = m_sendeHost + u'-';
    if (m_socket->write(zeile) != zeile.size()) {
        m_fehlerbits |= BitSchreiben;
        m_host->BefehlEintragen(host + QStringLiteral("KONNTE NICHT SENDEN-") + AnsiToString(CtrlCharsVisible(rahmen)));
        return;
    }
    m_host->BefehlEintragen(host + AnsiToString(CtrlCharsVisible(rahmen)));
}

void TwXQXOfen::Geschrieben(quint64 nr, qint64 bytes)
{
    if (nr == m_sendeNr)
        m_geschrieben += bytes;
}

void TwXQXOfen::SocketFehler(quint64 nr)
{
    if (nr != m_sendeNr || !m_socket)
        return;
    if (m_phase == TPhase::Verbinden) {
        m_fehlerbits |= BitVerbinden | BitNichtVerbunden;
    } else if (m_geschrieben < m_rahmenLaenge) {
        // The line did not leave completely: the write failed.
        m_fehlerbits |= BitSchreiben;
    } else if (m_socket->error() != QAbstractSocket::RemoteHostClosedError) {
        // The peer closing after our line is the normal end; anything else is only noted.
        m_trennFehler = true;
    }
    m_socket->abort();
    SendungBeenden(nr);
}

void TwXQXOfen::Getrennt(quint64 nr)
{
    if (nr != m_sendeNr || !m_socket || m_phase != TPhase::Schliessen)
        return;
    if (m_geschrieben < m_rahmenLaenge)
        m_fehlerbits |= BitSchreiben;
    SendungBeenden(nr);
}

void TwXQXOfen::WaechterTimer()
{
    if (!m_socket)
        return;
    if (m_phase == TPhase::Verbinden)
        m_fehlerbits |= BitVerbinden | BitNichtVerbunden;
    else if (m_geschrieben < m_rahmenLaenge)
        m_fehlerbits |= BitSchreiben;
    else
        m_trennFehler = true;
    m_socket->abort();
    SendungBeenden(m_sendeNr);
}

void TwXQXOfen::SendungBeenden(quint64 nr)
{
    if (nr != m_sendeNr || !m_socket)
        return;
    m_waechter->setEnabled(false);
    m_socket->disconnect(this);
    m_socket->deleteLater();
    m_socket = nullptr;
    if (m_trennFehler)
        m_host->FehlerEintragen(QStringLiteral("DISCONNECTERROR: Host ") + m_sendeHost
                                + QStringLiteral(" not available!"));
    SendungAbschluss([this, nr] { SendungAbschliessen(nr); });
}

void TwXQXOfen::SendungAbschliessen(quint64 nr)
{
    if (nr != m_sendeNr || !m_sendet)
        return;
    if (geschlossen()) {
        m_sendet = false;
        m_aufgeschoben.clear();
        return;
    }
    // Everything asked for from here on waits until these effects are through.
    const bool verbunden = !(m_fehlerbits & BitNichtVerbunden);
    if (m_trx && verbunden)
        Waiting->setChecked(false);
    if (m_fehlerbits) {
        Timeout->setEnabled(false);
        Waiting->setChecked(false);
        TimerHerz->setEnabled(true);
        const QString text = QStringLiteral("ERROR") + QString::fromLatin1(FormatDec(m_fehlerbits, 2))
                             + QStringLiteral(": Host ") + m_sendeHost + QStringLiteral(" not available!");
        if (m_trx) {
            // A lost acknowledgement is no failure of the command it acknowledged.
            m_host->FehlerEintragen(text);
            WriteErrorLog(ErrLogName, text);
        } else {
            QByteArray antwort = StringToAnsi(text);
            PruefeAntwort(antwort);
        }
    } else {
        SendenOk = true;
        StatusTimer->setInterval(StatInt->value());
        HerdFehler = 0;
    }
    m_sendet = false;
    NaechsteSendung();
}

// Connection set-up of the main window: the TCP server for the controller's answers and the
// link's address and port, kept in step with the port and address edits.
#include "link/uKelvor.h"

#include "app/Dialoge.h"
#include "app/Drucker.h"
#include "app/Sammlung.h"
#include "app/Zeitgeber.h"
#include "app/uShowbox.h"

#include <QCheckBox>
#include <QLineEdit>
#include <QSpinBox>
#include <QStringList>

void TwKelvor::BuildServer()
{
    TCPServer = new TAntwortServer(this);
    TCPServer->setObjectName(QStringLiteral("TCPServer"));
    connect(TCPServer, &TAntwortServer::Gelesen, this, &TwKelvor::TCPServerExecute);
    connect(TCPServer, &TAntwortServer::Fehler, this, &TwKelvor::TCPServerException);
    AntiFreezeTimer = new TTimer(this, 1000, true);
    AntiFreezeTimer->setGrob(true);
    AntiFreezeTimer->setObjectName(QStringLiteral("AntiFreezeTimer"));
    connect(AntiFreezeTimer, &TTimer::timeout, this, &TwKelvor::AntiFreezeTimerTimer);
}

void TwKelvor::VerbindungEinrichten()
{
    const int port = PortEdit->value();
    const QString host = CheckIPAddress(IPEdit->text());
    TwXQXOfen *link = Link();

    bool changed = link == nullptr;
    if (link)
        changed = host != link->TCPClient.Host || link->TCPClient.Port != port || TCPServer->Port() != port;

    if (changed) {
        // A settings store that refuses the values counts as a failed set-up.
        const bool ok = link && EinstellungenSpeichern();
        if (ok) {
            TCPServer->Deaktivieren();
            TCPServer->SetPort(quint16(port));
            link->TCPClient.Host = host;
            link->TCPClient.Port = quint16(port);
        } else {
            if (TCPServer->Port() != port || !link) {
                link = LinkAnlegen();
                TCPServer->Deaktivieren();
                TCPServer->SetPort(quint16(port));
                TCPServer->Aktivieren();
            }
            link->TCPClient.Host = host;
            link->TCPClient.Port = quint16(port);
        }
    }

    // Connections from the controller's address always get in; others get a short read time.
    TCPServer->SetSteuerung(QHostAddress(SocketIPAddress(host)));

    if (!TCPServer->Aktiv() && !TCPServer->Aktivieren()) {
        const QString erste = QStringLiteral("TCP-Error: Kann Port ") + QString::number(TCPServer->Port())
                              + QStringLiteral(" nicht öffnen!");
        WriteErrorLog(ProgName, erste);
        const QStringList text{erste,
                               QStringLiteral("Bitte überprüfen Sie, ob dieser Port bereits"),
                               QStringLiteral("von einem anderen Programm (z.B. Vantrel)"),
                               QStringLiteral("benutzt wird."),
                               QString(),
                               QStringLiteral("(An einem PC kann ein bestimmter Port eines TCP-Servers"),
                               QStringLiteral(" nur von einem Programm gleichzeitig geöffnet werden.)")};
        ShowMessageBox(this, TBoxKind::Warning, QStringLiteral("WARNUNG"), text.join(QStringLiteral("\r\n")));
    }
}

TwXQXOfen *TwKelvor::LinkAnlegen()
{
    TwXQXOfen *alt = Link();
    auto *link = new TwXQXOfen(this, this);
    LinkAnschliessen(link);
    link->Init(IPEdit->text());
    link->OfenIdBasis = 0;
    Links.assign(1, link);
    if (alt) {
        alt->Schliessen();
        alt->deleteLater();
    }
    return link;
}

void TwKelvor::LinkAnschliessen(TwXQXOfen *link)
{
    connect(link, &TwXQXOfen::BefehlBeendet, this, &TwKelvor::BefehlBeendet);
    connect(link, &TwXQXOfen::TimeOutNeustarten, m_zugang, &TLinkZugang::TimeOutNeustarten);
    connect(link, &TwXQXOfen::AntwortEmpfangen, m_zugang, &TLinkZugang::AntwortEmpfangen);
    connect(link, &TwXQXOfen::NamenEmpfangen, m_zugang, &TLinkZugang::NamenEmpfangen);
    connect(link, &TwXQXOfen::FortschrittAnzeigen, m_zugang, &TLinkZugang::FortschrittAnzeigen);
    connect(link, &TwXQXOfen::ListenTeilEmpfangen, m_zugang, &TLinkZugang::ListenTeilEmpfangen);
    connect(link, &TwXQXOfen::NachtstartsAnzeigen, m_zugang, &TLinkZugang::NachtstartsAnzeigen);
}

namespace {
class TKelvorZugang final : public TLinkZugang
{
public:
    explicit TKelvorZugang(TwKelvor *fenster) : TLinkZugang(fenster), m_fenster(fenster)
    {
        setObjectName(QStringLiteral("Zugang"));
    }
    void LinkBefehlSenden(const QByteArray &prioritaet, const NeuerBefehl &befehl, const QByteArray &param) override
    {
        m_fenster->LinkBefehlSenden(prioritaet, befehl, param);
    }
    bool LinkUebertragungAktiv() const override
    {
        return m_fenster->Link() && m_fenster->Link()->UebertragungAktiv();
    }
    void LinkUebertragungAbbrechen() override
    {
        if (m_fenster->Link())
            m_fenster->Link()->UebertragungAbbrechen();
    }
    bool RepeatSendGesetzt() const override { return m_fenster->RepeatBprgSend->isChecked(); }
    bool RepeatReadGesetzt() const override { return m_fenster->RepeatBprgRead->isChecked(); }
    void DruckerEinrichten() override
    {
        if (m_fenster->PrinterSetupDialog1)
            m_fenster->PrinterSetupDialog1->Execute();
    }

private:
    TwKelvor *m_fenster;
};
} // namespace

void TwKelvor::ZugangAnlegen()
{
    m_zugang = new TKelvorZugang(this);
}

TLinkZugang *LinkZugang()
{
    return wKelvor ? wKelvor->Zugang() : nullptr;
}

void TwKelvor::LinkBefehlSenden(const QByteArray &prioritaet, const NeuerBefehl &befehl, const QByteArray &param)
{
    VerbindungEinrichten();
    if (!Links.empty())
        Links[0]->BefehlEinreihen(prioritaet, befehl, param);
}

void TwKelvor::TCPServerExecute(const TServerVerbindung &context)
{
    ServerZeileVerarbeiten(context, *this, Link(), TCPServer->Port(),
                           PendingServerError);
}

void TwKelvor::TCPServerException(const QString &message)
{
    const QString text = QStringLiteral("ThreadError01:") + message;
    WriteErrorLog(ProgName, text);
    FehlerEintragen(text);
}

void TwKelvor::AntiFreezeTimerTimer()
{
    AntiFreezeTimer->setEnabled(false);
    if (!PendingServerError.isEmpty()) {
        const QString text = std::exchange(PendingServerError, QString());
        ShowboxOK(QStringLiteral("XQ") + QString::number(TCPServer->Port()), text);
    }
    AntiFreezeTimer->setEnabled(true);
}

bool TwKelvor::ServerStoppen()
{
    TCPServer->Deaktivieren();
    return !TCPServer->Aktiv();
}

bool TwKelvor::ServerAktivieren()
{
    return TCPServer->Aktiv() || TCPServer->Aktivieren();
}

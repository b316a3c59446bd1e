// The list editor's transfers: one program sent, deleted or read, the whole list sent and read
// with the progress panel, the watchdog, and the entries through which the link hands its
// answers over. The link's calls come in directly; what they bring is evaluated later, from
// the event loop, each step with its own data.
#include "programs/uXQXGesamtListe.h"

#include "app/Dialoge.h"
#include "app/Sammlung.h"
#include "app/Zahlformat.h"
#include "app/Zeitgeber.h"
#include "app/uShowbox.h"
#include "link/LinkZugang.h"

#include <QAction>
#include <QCheckBox>
#include <QLabel>
#include <QMenu>
#include <QMetaObject>
#include <QProgressBar>
#include <QPushButton>
#include <QScopedValueRollback>
#include <memory>

namespace {
const QString CrLf = QStringLiteral("\r\n");
const QString XQ7310 = QStringLiteral("XQ7310");

// While the repeat test runs, its boxes close themselves.
bool WiederholungLaeuft()
{
    const TLinkZugang *zugang = LinkZugang();
    return zugang && (zugang->RepeatSendGesetzt() || zugang->RepeatReadGesetzt());
}
} // namespace

void TwXQXGesamtListe::UebertragungVerbinden()
{
    connect(BPrgSendenan1, &QAction::triggered, this, &TwXQXGesamtListe::BPrgSendenan1Click);
    connect(SendenPrg, &QPushButton::clicked, this, &TwXQXGesamtListe::BPrgSendenan1Click);
    connect(BPrgEmpfangen1, &QAction::triggered, this, &TwXQXGesamtListe::FileReceiveBPrg1Click);
    connect(LesenPrg, &QPushButton::clicked, this, &TwXQXGesamtListe::FileReceiveBPrg1Click);
    connect(ListeSendenan1, &QAction::triggered, this, &TwXQXGesamtListe::ListeSendenan1Click);
    connect(SendenPrgListe, &QPushButton::clicked, this, &TwXQXGesamtListe::ListeSendenan1Click);
    connect(ListeEmpfangen1, &QAction::triggered, this, [this] { ListeEmpfangen1Click(); });
    connect(LesenPrgListe, &QPushButton::clicked, this, [this] { ListeEmpfangen1Click(); });
    connect(Cancel, &QPushButton::clicked, this, &TwXQXGesamtListe::CancelClick);
    connect(Ausblenden, &QPushButton::clicked, this, &TwXQXGesamtListe::AusblendenClick);
    connect(TimeOut, &TTimer::timeout, this, &TwXQXGesamtListe::TimeOutTimer);
    // The main window relays whichever link is current.
    TLinkZugang *zugang = LinkZugang();
    if (!zugang)
        return;
    connect(zugang, &TLinkZugang::TimeOutNeustarten, this, &TwXQXGesamtListe::TimeOutNeustarten);
    connect(zugang, &TLinkZugang::AntwortEmpfangen, this, &TwXQXGesamtListe::AntwortEmpfangen);
    connect(zugang, &TLinkZugang::NamenEmpfangen, this, &TwXQXGesamtListe::NamenEmpfangen);
    connect(zugang, &TLinkZugang::FortschrittAnzeigen, this, &TwXQXGesamtListe::FortschrittAnzeigen);
    connect(zugang, &TLinkZugang::ListenTeilEmpfangen, this, &TwXQXGesamtListe::ListenTeilEmpfangen);
}

void TwXQXGesamtListe::BefehlSenden(const NeuerBefehl &Befehl, const QByteArray &Daten)
{
    if (TLinkZugang *zugang = LinkZugang())
        zugang->LinkBefehlSenden(QByteArray(), Befehl, Daten);
}

bool TwXQXGesamtListe::LinkUebertragungAktiv() const
{
    const TLinkZugang *zugang = LinkZugang();
    return zugang && zugang->LinkUebertragungAktiv();
}

bool TwXQXGesamtListe::Beschaeftigt() const
{
    return m_uebertragung != TUebertragung::Keine || m_auswertungLaeuft || !m_auswertungen.isEmpty()
           || LinkUebertragungAktiv();
}

// ---- transfer state --------------------------------------------------------------------------

bool TwXQXGesamtListe::Sperrt(TUebertragung zustand)
{
    return zustand == TUebertragung::ProgrammLesen || zustand == TUebertragung::ListeSenden
           || zustand == TUebertragung::ListeEmpfangen;
}

void TwXQXGesamtListe::UebertragungSetzen(TUebertragung zustand)
{
    m_uebertragung = zustand;
    BedienungFreigeben(!Sperrt(zustand));
}

void TwXQXGesamtListe::FensterFreigeben()
{
    switch (m_uebertragung) {
    case TUebertragung::ProgrammLesen:
        UebertragungSetzen(TUebertragung::Keine);
        break;
    case TUebertragung::ListeSenden:
        UebertragungSetzen(TUebertragung::ListeGesendet);
        break;
    case TUebertragung::ListeEmpfangen:
        UebertragungSetzen(TUebertragung::ListeGelesen);
        break;
    default:
        break;
    }
}

bool TwXQXGesamtListe::ListenTransferOffen() const
{
    switch (m_uebertragung) {
    case TUebertragung::ListeSenden:
    case TUebertragung::ListeEmpfangen:
    case TUebertragung::ListeGesendet:
    case TUebertragung::ListeGelesen:
    case TUebertragung::Uebernahme:
        return true;
    default:
        return false;
    }
}

namespace {
// The questions before a start; afterwards back to no transfer unless the start went on.
class TBeginnt
{
public:
    explicit TBeginnt(TwXQXGesamtListe &fenster) : m_fenster(fenster)
    {
        m_fenster.UebertragungSetzen(TwXQXGesamtListe::TUebertragung::Beginnt);
    }
    ~TBeginnt()
    {
        if (m_fenster.Uebertragung() == TwXQXGesamtListe::TUebertragung::Beginnt)
            m_fenster.UebertragungSetzen(TwXQXGesamtListe::TUebertragung::Keine);
    }
    TBeginnt(const TBeginnt &) = delete;
    TBeginnt &operator=(const TBeginnt &) = delete;

private:
    TwXQXGesamtListe &m_fenster;
};
} // namespace

// ---- deferred evaluations --------------------------------------------------------------------

void TwXQXGesamtListe::AuswertungEinreihen(std::function<void()> auswertung)
{
    m_auswertungen.append(std::move(auswertung));
    QMetaObject::invokeMethod(this, &TwXQXGesamtListe::AuswertungenAbarbeiten, Qt::QueuedConnection);
}

void TwXQXGesamtListe::AuswertungenAbarbeiten()
{
    // An evaluation's modal window runs the event loop: one queued meanwhile waits for it.
    if (m_auswertungLaeuft)
        return;
    const QScopedValueRollback laeuft(m_auswertungLaeuft, true);
    while (!m_auswertungen.isEmpty())
        m_auswertungen.takeFirst()();
}

// ---- one program -----------------------------------------------------------------------------

void TwXQXGesamtListe::BPrgSendenan1Click()
{
    if (Beschaeftigt())
        return;
    const TBeginnt beginnt(*this);
    Label_ToPC->hide();
    Label_FromPC->show();
    if (!GridZuProgramm(true, OpSenden))
        return;
    // A send neither locks the window nor starts the watchdog: "SendACK" says it arrived.
    BefehlSenden(SB_BPRG, BprgSchreibParameter(Nummer(), AktBPrg));
}

void TwXQXGesamtListe::FileReceiveBPrg1Click()
{
    if (Beschaeftigt())
        return;
    const int n = Nummer();
    Label_ToPC->show();
    Label_FromPC->hide();
    // The list keeps its modified mark: its unsaved changes are still to be asked about.
    ProgrammLeeren();
    UebertragungSetzen(TUebertragung::ProgrammLesen);
    BefehlSenden(SB_BPRG, BprgLeseParameter(n));
}

void TwXQXGesamtListe::AntwortEmpfangen(const QByteArray &Antwort, const QByteArray &NummerText)
{
    if (!isVisible() || Antwort.isEmpty())
        return;
    // A program ends the read the window waits for; an acknowledgement of a send ends nothing,
    // and a whole-list transfer keeps the window until its own end.
    if (m_uebertragung == TUebertragung::ProgrammLesen && Antwort != "SendACK" && Antwort != "SendNAK")
        UebertragungSetzen(TUebertragung::Keine);
    const int nr = ParseDec(NummerText, -1);
    AuswertungEinreihen([this, Antwort, nr] { AntwortAuswerten(Antwort, nr); });
}

void TwXQXGesamtListe::AntwortAuswerten(const QByteArray &antwort, int nr)
{
    if (antwort == "SendACK") {
        ShowboxOK(TxtAchtung, QStringLiteral("Backprogramm\r\nerfolgreich übertragen!"));
        return;
    }
    if (antwort == "SendNAK")
        return;
    if (antwort == "ERROR") {
        ProgrammLeeren();
        return;
    }
    // Slots exist for programs 1..199 only.
    if (!gueltigerPlatz(nr))
        return;
    TBackprogramm rec;
    BPrgTextLesen(antwort, rec);
    // The empty program the request showed is nobody's: it goes into no slot.
    PrgGeaendert = false;
    PlatzUebernehmen(nr);
    ProgrammSetzen(rec, nr);
    BPrgListe[size_t(nr)] = AktBPrg;
    BPrgNamen[size_t(nr)] = AktBPrg.Name.text().left(20);
    NamenAnzeigen(QString());
}

// ---- whole list ------------------------------------------------------------------------------

void TwXQXGesamtListe::ListeSendenan1Click()
{
    if (Beschaeftigt())
        return;
    Label_ToPC->hide();
    Label_FromPC->show();
    Gauge1->setMaximum(BPrgListeAnzahl);
    {
        const TBeginnt beginnt(*this);
        bool gespeichert = false;
        if (!ListePruefen(true, OpSenden, BPrgListe, gespeichert))
            return;
    }
    ListeSenden(BPrgListe);
}

bool TwXQXGesamtListe::ListeSenden(const TBackprogrammListe &Liste)
{
    if (Beschaeftigt())
        return false;
    // Built before anything is queued: the list may be the editor's own.
    const QList<QByteArray> teile = ListenteileBilden(Liste);
    Label_ToPC->hide();
    Label_FromPC->show();
    Gauge1->setMaximum(BPrgListeAnzahl);
    UebertragungSetzen(TUebertragung::ListeSenden);
    FortschrittsPanel->show();
    const NeuerBefehl *woerter[ListenteilAnzahl] = {&SB_RecRest01, &SB_RecRest02, &SB_RecRest03, &SB_RecRest04,
                                                    &SB_RecRest05, &SB_RecRest06, &SB_RecRest07, &SB_RecRest08,
                                                    &SB_RecRest09, &SB_RecRest10, &SB_RecRest11, &SB_RecRest12};
    for (int k = 0; k < ListenteilAnzahl; ++k)
        BefehlSenden(*woerter[k], teile[k]);
    BefehlSenden(SB_RecRest, "0");
    Panel1->show();
    FortschrittsTag = 1000;
    FortschrittAnzeigen(1);
    return true;
}

bool TwXQXGesamtListe::ListeEmpfangen1Click()
{
    if (Beschaeftigt())
        return false;
    {
        const TBeginnt beginnt(*this);
        Label_ToPC->show();
        Label_FromPC->hide();
        Gauge1->setMaximum(BPrgListeAnzahl);
        if (ListeGeaendert || PrgGeaendert) {
            const auto antwort = ShowMessageBox(this, TBoxKind::Question, TxtAchtung, LangText(42) + CrLf + LangText(43),
                                                QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel);
            // "Ja" goes on only when the list was saved.
            if (antwort == QMessageBox::Yes) {
                if (!ListeSpeichern1Click())
                    return false;
            } else if (antwort != QMessageBox::No) {
                return false;
            }
        }
    }
    setWindowTitle(QStringLiteral("Backprogrammliste"));
    ListeDateiName = XQ7310;
    ProgrammLeeren();
    NamenSpalteLeeren();
    ListeGeaendert = false;
    PrgGeaendert = false;
    Empfangspuffer.clear();
    BefehlSenden(SB_RecSave, "0");
    UebertragungSetzen(TUebertragung::ListeEmpfangen);
    Panel1->show();
    FortschrittAnzeigen(1);
    return true;
}

void TwXQXGesamtListe::NamenEmpfangen(const QByteArray &Text, bool Flag)
{
    Q_UNUSED(Flag);
    // The names of the controller's programs; the name grid keeps those of the editor's list
    // and shows the table at its next refresh.
    NamenTextLesen(Text, BPrgNamen);
}

void TwXQXGesamtListe::ListenTeilEmpfangen(const QByteArray &Teil, quint8 Nr)
{
    if (!isVisible()
        || !(m_uebertragung == TUebertragung::ListeEmpfangen || m_uebertragung == TUebertragung::ListeGelesen
             || m_uebertragung == TUebertragung::Uebernahme))
        return;
    if (Nr == 255)
        return;
    if (Nr == 1)
        Empfangspuffer = Teil;
    else
        Empfangspuffer += Teil;
    if (Nr != 0)
        return;
    UebertragungSetzen(TUebertragung::Uebernahme);
    AuswertungEinreihen([this, puffer = std::exchange(Empfangspuffer, QByteArray())] { ListeEmpfangenAuswerten(puffer); });
}

void TwXQXGesamtListe::ListeEmpfangenAuswerten(const QByteArray &puffer)
{
    auto liste = std::make_unique<TBackprogrammListe>();
    ListenteileLesen(puffer, *liste);
    const bool uebernommen = ListeUebernehmen(XQ7310, *liste);
    if (m_uebertragung == TUebertragung::Uebernahme)
        UebertragungSetzen(TUebertragung::ListeGelesen);
    else if (m_uebertragung == TUebertragung::UebernahmeNachEnde)
        UebertragungSetzen(TUebertragung::Keine);
    if (!uebernommen) {
        // The editor keeps its list: the names are those of its slots again.
        NamenAusListe();
        return;
    }
    const TLinkZugang *zugang = LinkZugang();
    if (!(zugang && zugang->RepeatReadGesetzt()))
        ListeSpeichernunterClick();
}

void TwXQXGesamtListe::FortschrittAnzeigen(int Position)
{
    if (Position < 50) {
        Label14->show();
        Label15->hide();
    }
    if (FortschrittsTag == 1000 && Position >= 50) {
        Label14->hide();
        Label15->show();
        FortschrittsTag = 0;
    }
    FortschrittsPanel->show();
    Gauge1->setValue(qBound(Gauge1->minimum(), Position, Gauge1->maximum()));
    TimeOutNeustarten();
    if (Position < Gauge1->maximum())
        return;
    FortschrittsPanel->hide();
    Label14->show();
    Label15->hide();
    Gauge1->setValue(0);
    // Frees the window before a read-all's chunks come, which follow in the same call.
    FensterFreigeben();
    if (!LinkUebertragungAktiv())
        ListenTransferBeendet();
}

void TwXQXGesamtListe::ListenTransferBeendet()
{
    switch (m_uebertragung) {
    case TUebertragung::ListeGesendet:
        UebertragungSetzen(TUebertragung::Keine);
        break;
    case TUebertragung::ListeGelesen:
        UebertragungSetzen(TUebertragung::Keine);
        // A read-all that brought no list leaves the received names behind: the table and the
        // emptied name grid follow the editor's list again.
        NamenAusListe();
        break;
    case TUebertragung::Uebernahme:
        UebertragungSetzen(TUebertragung::UebernahmeNachEnde);
        break;
    default:
        break;
    }
}

void TwXQXGesamtListe::CancelClick()
{
    // The link drops the transfer at once; its end comes back here as progress 200.
    if (TLinkZugang *zugang = LinkZugang())
        zugang->LinkUebertragungAbbrechen();
    FensterFreigeben();
    FortschrittAnzeigen(Gauge1->maximum());
    FortschrittsPanel->hide();
}

void TwXQXGesamtListe::AusblendenClick()
{
    FortschrittsPanel->hide();
}

// ---- watchdog --------------------------------------------------------------------------------

void TwXQXGesamtListe::TimeOutNeustarten()
{
    if (TimeOut->enabled())
        TimeOut->restart();
}

void TwXQXGesamtListe::TimeOutTimer()
{
    TimeOut->setEnabled(false);
    // Shown or hidden, a stalled whole-list transfer ends here; else it would hold the link.
    if (ListenTransferOffen() || LinkUebertragungAktiv()) {
        CancelClick();
        FortschrittsPanel->hide();
    }
    FensterFreigeben();
    const QString caption = QStringLiteral("ERROR");
    const QString text = QStringLiteral("TimeOut BPrg-Übertragung");
    if (WiederholungLaeuft())
        ShowboxTimed(caption, text, 0);
    else
        ShowboxOK(caption, text);
}

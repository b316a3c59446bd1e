// Whole-list transfers: a read-all asks for the name list and then for each used program,
// one after the other, and hands the texts back in twelve chunks; a write-all takes the list
// in chunks and sends programs 1 to 199, each after the acknowledgement of the one before.
// Every way a transfer ends goes through UebertragungBeenden, so the editor hears one end.
#include "link/uXqxOfen.h"

#include "app/Codepage.h"
#include "app/Sammlung.h"
#include "app/Zahlformat.h"
#include "app/uKonstanten.h"

#include <QListWidget>

namespace {

// The progress position that ends a transfer.
constexpr int kEnde = BPrgListeAnzahl;

} // namespace

bool TwXQXOfen::UebertragungsZeile(const QByteArray &zeile) const
{
    // As MakroAbarbeiten reads a line: priority, TAB, name, TAB, parameters.
    const qsizetype prioTab = zeile.indexOf(TAB);
    if (prioTab >= 0 && QByteArrayView(zeile).first(prioTab) == "1")
        return true;
    QByteArrayView name = prioTab >= 0 ? QByteArrayView(zeile).sliced(prioTab + 1) : QByteArrayView(zeile);
    name = feldNehmen(name);
    for (const NeuerBefehl *b : {&SB_RecSave, &SB_RecRest, &SB_RecRest01, &SB_RecRest02, &SB_RecRest03,
                                 &SB_RecRest04, &SB_RecRest05, &SB_RecRest06, &SB_RecRest07, &SB_RecRest08,
                                 &SB_RecRest09, &SB_RecRest10, &SB_RecRest11, &SB_RecRest12}) {
        if (name.compare(b->Name, Qt::CaseInsensitive) == 0)
            return true;
    }
    return false;
}

bool TwXQXOfen::UebertragungAktiv() const
{
    if (AlleLesen || AlleSchreiben || UebertragungLaeuft)
        return true;
    return std::any_of(m_makros.cbegin(), m_makros.cend(),
                       [this](const QByteArray &z) { return UebertragungsZeile(z); });
}

void TwXQXOfen::UebertragungBeenden()
{
    const bool lief = UebertragungAktiv();
    AktNr = 0;
    AlleLesen = false;
    AlleSchreiben = false;
    UebertragungLaeuft = false;
    m_schrittVersuche = 0;
    m_unsicherAb = 0;
    // Nothing of it may run afterwards: neither the editor's queue words nor our next request.
    for (qsizetype i = m_makros.size() - 1; i >= 0; --i) {
        if (UebertragungsZeile(m_makros.at(i))) {
            m_makros.removeAt(i);
            delete Makros->takeItem(int(i));
        }
    }
    if (lief)
        emit FortschrittAnzeigen(kEnde);
}

void TwXQXOfen::UebertragungAbbrechen()
{
    Abgebrochen = true;
    UebertragungFallenLassen();
}

void TwXQXOfen::UebertragungFallenLassen()
{
    const bool imFlug = m_imFlug && SchrittImFlug();
    if (imFlug) {
        m_erwarteteProgramme.removeAll(LeseNummer(BefehlAktuell));
        // On the wire, its answer is still awaited: acknowledged, then dropped.
        m_imFlugAbgebrochen = m_antwortErwartet;
    }
    UebertragungBeenden();
    // A repeat that has not gone out yet never will.
    if (imFlug && !m_imFlugAbgebrochen)
        BefehlErledigt(TBefehlsEnde::Verworfen);
}

int TwXQXOfen::NaechsterBelegter(int nr) const
{
    while (nr <= LetztesProgramm && IsFreeSlotName(PrgNamen[nr]))
        ++nr;
    return nr;
}

QByteArray TwXQXOfen::SchrittParameter() const
{
    if (!AlleSchreiben)
        return BprgLeseParameter(AktNr);
    return BprgSchreibParameter(AktNr, PrgNamen[AktNr], PrgTexte[AktNr]);
}

void TwXQXOfen::SchrittEinreihen()
{
    ++m_schrittVersuche;
    BefehlEinreihen(QByteArrayLiteral("1"), SB_BPRG, SchrittParameter());
}

bool TwXQXOfen::SchrittBeantwortet() const
{
    return gueltigerPlatz(AktNr) && m_beantwortet.Name == SB_BPRG.Name
           && m_beantwortet.Param == SchrittParameter();
}

bool TwXQXOfen::SchrittImFlug() const
{
    if (AlleLesen && AktNr == 0)
        return BefehlAktuell.Name == SB_BPL2.Name || BefehlAktuell.Name == SB_BPLI.Name;
    return (AlleLesen || AlleSchreiben) && gueltigerPlatz(AktNr) && BefehlAktuell.Name == SB_BPRG.Name
           && BefehlAktuell.Param == SchrittParameter();
}

void TwXQXOfen::SchrittNochmal(const QString &meldung, const QString &box)
{
    if (!meldung.isEmpty())
        m_host->FehlerEintragen(meldung);
    const QByteArray befehl = SB_BPRG.Kommando + SchrittParameter();
    if (m_schrittVersuche < qMax<int>(1, SB_BPRG.MaxVersuche)) {
        const QString versuch = AnsiToString(FormatDec(m_schrittVersuche, 0) + ':' + befehl);
        SchrittEinreihen();
        WriteErrorLog(ErrLogName, QStringLiteral("ERROR_") + versuch);
        WriteErrorLog(ErrLogName, QStringLiteral("RETRY_") + versuch);
        return;
    }
    if (!box.isEmpty())
        m_host->FehlerMelden(box);
    WriteErrorLog(ErrLogName, QStringLiteral("Triedout-Error >3:") + AnsiToString(befehl));
    m_host->FehlerEintragen(QStringLiteral("Triedout-Error >3"));
    UebertragungBeenden();
}

// ---- read-all ----

void TwXQXOfen::ListeNamenEmpfangen()
{
    for (QByteArray &text : PrgTexte)
        text.clear();
    m_schrittVersuche = 0;
    AktNr = NaechsterBelegter(ErstesProgramm);
    if (AktNr <= LetztesProgramm)
        SchrittEinreihen();
    else
        LesenBeenden();
}

void TwXQXOfen::ListeProgrammEmpfangen(const QByteArray &programm, const QByteArrayView nummerText)
{
    if (!SchrittBeantwortet()) {
        // Not the answer to our request (a late copy, another peer): it asks for nothing again.
        m_host->FehlerEintragen(QStringLiteral("BPRG") + AnsiToString(nummerText.toByteArray())
                                + QStringLiteral(": nicht angefordert"));
        return;
    }
    if (HexToInt(nummerText) != AktNr) {
        const QString falsch = AnsiToString(StringToAnsi(TCPClient.Host) + "_BPRG: Falsche PrgNummer "
                                            + nummerText.toByteArray());
        SchrittNochmal(falsch, falsch);
        return;
    }
    PrgTextSetzen(programm, AktNr);
    // The progress call may have cancelled it.
    if (!AlleLesen)
        return;
    m_schrittVersuche = 0;
    AktNr = NaechsterBelegter(AktNr + 1);
    if (AktNr <= LetztesProgramm)
        SchrittEinreihen();
    else
        LesenBeenden();
}

void TwXQXOfen::PrgTextSetzen(const QByteArray &text, int nr)
{
    if (gueltigerPlatz(nr))
        PrgTexte[nr] = text;
    if (nr % 6 == 0 || nr == kEnde)
        emit FortschrittAnzeigen(nr);
    if (nr < kEnde)
        return;
    for (int k = 1; k <= ListenteilAnzahl && AlleLesen; ++k)
        emit ListenTeilEmpfangen(Listenteil(k), quint8(k < ListenteilAnzahl ? k : 0));
}

QByteArray TwXQXOfen::Listenteil(int k) const
{
    // Slot 0 holds no program text here: chunk 1 starts with program 1.
    const int von = qMax(ListenteilVon(k), ErstesProgramm);
    const int bis = ListenteilBis(k);
    qsizetype laenge = 0;
    for (int i = von; i <= bis; ++i)
        laenge += 5 + 2 * PrgTexte[i].size();
    QByteArray teil;
    teil.reserve(laenge);
    for (int i = von; i <= bis; ++i)
        ListenteilEintragAnhaengen(teil, i, PrgTexte[i]);
    return teil;
}

void TwXQXOfen::LesenBeenden()
{
    // 200 and the chunks first, then the end with 200 once more.
    PrgTextSetzen(QByteArray(), kEnde);
    UebertragungBeenden();
}

// ---- write-all ----

void TwXQXOfen::RestoreBlockLaden(const QByteArray &teil, bool erster)
{
    if (erster) {
        for (QByteArray &name : PrgNamen)
            name = BPrgFreiName.toByteArray();
    }
    // A last number without its TAB still counts here.
    ListenteilEintraegeLesen(teil, false, [this](int nr, QByteArrayView dump) {
        // The editor's chunk 1 starts with slot 0, which holds no program.
        if (!gueltigerPlatz(nr))
            return;
        const QByteArray text = HexDumpToStr(dump);
        if (text.startsWith("##HEAD")) {
            BPrgTextLesen(text, PrgDaten[nr]);
            PrgTexte[nr] = BPrgTextZeilenMitTab(text);
        } else {
            InitBPrgRecord(PrgDaten[nr]);
            PrgTexte[nr].clear();
        }
        PrgNamen[nr] = PrgDaten[nr].Name.text().left(20);
    });
}

void TwXQXOfen::RestoreStarten()
{
    AlleSchreiben = true;
    UebertragungLaeuft = true;
    Abgebrochen = false;
    AktNr = ErstesProgramm;
    m_schrittVersuche = 0;
    m_unsicherAb = 0;
    SchrittEinreihen();
}

void TwXQXOfen::SchreibenUnsicherBeenden()
{
    const int ab = m_unsicherAb > 0 ? qMin(m_unsicherAb, AktNr) : AktNr;
    QByteArray programme = FormatDec(ab, 0);
    if (ab < LetztesProgramm)
        programme += " bis " + FormatDec(LetztesProgramm, 0);
    m_host->FehlerEintragen(QStringLiteral("Liste senden abgebrochen: Antwort nicht erwartet"));
    WriteErrorLog(ErrLogName, QStringLiteral("Liste senden abgebrochen, nicht bestätigt: Programm ")
                                  + AnsiToString(programme));
    UebertragungFallenLassen();
    m_host->FehlerMelden(QStringLiteral("Nicht jedes Backprogramm hat\r\nden Ofen erreicht!\r\n"
                                        "Listenübertragung abgebrochen!\r\nNicht bestätigt: Programm ")
                         + AnsiToString(programme));
}

void TwXQXOfen::ListeQuittungAck()
{
    // An acknowledgement of anything else neither moves the transfer on nor reaches the editor.
    if (!SchrittBeantwortet())
        return;
    ++AktNr;
    m_schrittVersuche = 0;
    if (AktNr % 6 == 0 || AktNr == kEnde)
        emit FortschrittAnzeigen(AktNr);
    if (!AlleSchreiben)
        return;
    if (AktNr <= LetztesProgramm)
        SchrittEinreihen();
    else
        UebertragungBeenden();
}

bool TwXQXOfen::ListeQuittungNak()
{
    // The same program again; each refusal goes to the error list, and only giving up shows a
    // box, which says that the list transfer has stopped.
    if (!SchrittBeantwortet())
        return false;
    SchrittNochmal(AnsiToString(StringToAnsi(TCPClient.Host) + "_BPRG: ")
                       + QStringLiteral("Backprogramm kann nicht geöffnet werden!"),
                   QStringLiteral("Backprogramm kann\r\nnicht geöffnet werden!\r\nListenübertragung abgebrochen!"));
    return true;
}

// The list editor's prints: the name list on the default printer, the marked or all programs
// through the report window after the checks, and the printer set-up of the main window.
#include "programs/uXQXGesamtListe.h"

#include "app/Drucker.h"
#include "link/LinkZugang.h"
#include "printing/uRaveDrucken.h"
#include "programs/NamenlisteDrucken.h"

#include <QAction>
#include <QPushButton>

void TwXQXGesamtListe::DruckenVerbinden()
{
    connect(ListeDrucken1, &QAction::triggered, this, &TwXQXGesamtListe::ListeDrucken1Click);
    connect(PintListBtn, &QPushButton::clicked, this, &TwXQXGesamtListe::PintListBtnClick);
    for (QAction *a : {Drucken1, MarkierteBackprogrammedruckenVorschau1, MarkierteBackprogrammedruckenTestAlt1})
        connect(a, &QAction::triggered, this, &TwXQXGesamtListe::Drucken1Click);
    for (QAction *a : {AlleBackprogrammedrucken1, AlleBackprogrammedruckenVorschau1})
        connect(a, &QAction::triggered, this, &TwXQXGesamtListe::AlleBackprogrammedrucken1Click);
    connect(Druckereinrichtung1, &QAction::triggered, this, &TwXQXGesamtListe::Druckereinrichtung1Click);
}

TKnopfTexte TwXQXGesamtListe::KnopfTexte() const
{
    const TChangeButton *sch = SchwadenKnopf[1], *umw = UmwKnopf[1], *ausg = AusgKnopf[1];
    return {sch->FalseText(), sch->TrueText(), umw->FalseText(), umw->TrueText(), ausg->FalseText(), ausg->TrueText()};
}

void TwXQXGesamtListe::ListeDrucken(const TBackprogrammListe &Liste, quint8 Von, quint8 Bis, bool Vorschau,
                                    bool UmwaelzerAus, bool AusgangEin)
{
    if (wRaveDrucken)
        wRaveDrucken->ProgrammeDrucken(Liste, Von, Bis, Vorschau, UmwaelzerAus, AusgangEin, KnopfTexte());
}

bool TwXQXGesamtListe::MarkierteDrucken()
{
    int von = 0, bis = 0;
    // Without a marked row the shown program is the one marked.
    if (!NamenAuswahl(von, bis))
        von = bis = Nummer();
    const TDruckPruefungen pruefungen{[this] {
                                          bool gespeichert = false;
                                          return ListePruefen(true, OpDrucken, BPrgListe, gespeichert);
                                      },
                                      [this] { return GridZuProgramm(true, OpDrucken); }};
    return DruckUebergabeMarkierte(von + 1, bis + 1, pruefungen, [this](quint8 v, quint8 b) {
        ListeDrucken(BPrgListe, v, b, true, UmwSpalteAus, AusgSpalteEin);
    });
}

void TwXQXGesamtListe::Drucken1Click()
{
    MarkierteDrucken();
}

void TwXQXGesamtListe::AlleBackprogrammedrucken1Click()
{
    const TDruckPruefungen pruefungen{[this] {
                                          bool gespeichert = false;
                                          return ListePruefen(true, OpDrucken, BPrgListe, gespeichert);
                                      },
                                      {}};
    DruckUebergabeAlle(pruefungen, [this](quint8 v, quint8 b) {
        ListeDrucken(BPrgListe, v, b, true, UmwSpalteAus, AusgSpalteEin);
    });
}

void TwXQXGesamtListe::NamenlisteDrucken()
{
    QStringList namen;
    for (int i = 0; i < BPrgListeAnzahl; ++i)
        namen << NamenListe->cell(1, i + 1);
    ::NamenlisteDrucken(namen, NamenlisteUeberschrift(TxtUebersicht, ListeDateiName), this);
}

void TwXQXGesamtListe::ListeDrucken1Click()
{
    NamenlisteDrucken();
}

void TwXQXGesamtListe::PintListBtnClick()
{
    NamenlisteDrucken();
}

void TwXQXGesamtListe::Druckereinrichtung1Click()
{
    if (TLinkZugang *zugang = LinkZugang())
        zugang->DruckerEinrichten();
}

// The checks of the list editor: one program, its sums, the whole list, with their questions.
#include "programs/uXQXGesamtListe.h"

#include "app/Dialoge.h"
#include "app/Sammlung.h"

TPruefRegeln TwXQXGesamtListe::PruefRegeln() const
{
    TPruefRegeln r;
    r.schwadenMenge = Zustaende(SchwadenKnopf);
    r.literModus = LiterModus;
    r.maxSollTemp = MaxSollTemp;
    r.umwSpalteAus = UmwSpalteAus;
    r.ausgSpalteEin = AusgSpalteEin;
    r.summeKleinerIstFehler = SummeKleinerIstFehler;
    return r;
}

int TwXQXGesamtListe::ProgrammPruefen(bool mitMeldung, int operation, bool automatisch, TBackprogramm &rec,
                                      bool &gespeichert, QString &betroffen)
{
    gespeichert = false;
    const QStringList lang = LangTexte();
    const TProgrammBefund befund = ProgrammAuswerten(rec, PruefRegeln(), lang);
    bool bereichsFehler = befund.bereichsFehler;
    // Showing the clamped program checks its sums with their message already.
    bool summenGemeldet = false;
    if (bereichsFehler) {
        bool ersetzen = automatisch && !mitMeldung;
        if (mitMeldung)
            ersetzen = ShowMessageBox(this, TBoxKind::Question, TxtAchtung, BereichsFrage(operation, lang),
                                      QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel)
                       == QMessageBox::Yes;
        if (ersetzen) {
            bereichsFehler = false;
            rec = befund.begrenzt;
            const int slot = rec.Nummer;
            if (gueltigerPlatz(slot)) {
                gespeichert = true;
                ListeGeaendert = true;
                BPrgListe[size_t(slot)] = rec;
                BPrgNamen[size_t(slot)] = rec.Name.text();
                NamenAnzeigen(QString());
                // Taken over without asking, the shown program keeps its own changes.
                if (mitMeldung) {
                    PrgGeaendert = false;
                    ProgrammSetzen(rec, slot);
                    summenGemeldet = true;
                }
            }
        }
    }
    int ergebnis = bereichsFehler ? 1 : 0;
    QString text;
    if (SummenzeitenPruefen(befund.summen, mitMeldung && !summenGemeldet, text) == -1) {
        ergebnis += 2;
        BetroffeneAnhaengen(betroffen, rec.Nummer);
    }
    // The rest labels always speak of the program in the editor.
    SummenAktualisieren();
    return ergebnis;
}

int TwXQXGesamtListe::SummenzeitenPruefen(const TSummen &summen, bool mitMeldung, QString &text)
{
    const QStringList lang = LangTexte();
    const TSummenErgebnis e = SummenPruefen(summen, PruefRegeln(), lang);
    text = e.text;
    if (!e.fehler)
        return 0;
    if (mitMeldung)
        ShowMessageBox(this, TBoxKind::Warning, TxtAchtung, SummenMeldung(e.text, lang));
    return -1;
}

bool TwXQXGesamtListe::ListePruefen(bool mitMeldung, int operation, TBackprogrammListe &liste, bool &gespeichert)
{
    gespeichert = false;
    const QStringList lang = LangTexte();
    const TListenBefund befund = ListeAuswerten(liste, PruefRegeln(), lang);
    bool bereichsFehler = befund.bereichsFehler;
    if (mitMeldung && bereichsFehler
        && ShowMessageBox(this, TBoxKind::Question, TxtAchtung, ListenBereichsFrage(operation, lang),
                          QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel)
               == QMessageBox::Yes) {
        bereichsFehler = false;
        for (int i = 1; i < BPrgListeAnzahl; ++i) {
            bool einer = false;
            QString betroffen;
            ProgrammPruefen(false, OpKeine, true, liste[size_t(i)], einer, betroffen);
            gespeichert |= einer;
        }
    }
    // Sums cannot be corrected: the user decides whether the operation goes on.
    if (mitMeldung && befund.summenFehler && !bereichsFehler
        && ShowMessageBox(this, TBoxKind::Question, TxtAchtung, ListenSummenFrage(operation, befund.betroffen, lang),
                          QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel)
               != QMessageBox::Yes)
        bereichsFehler = true;
    SummenAktualisieren();
    return !bereichsFehler;
}

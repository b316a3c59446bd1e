// The list editor's files: programs saved to and opened from ".XQP" files, lists saved, saved
// under a new name, opened and started anew (".XQR"), and the question before a changed list
// is replaced.
#include "programs/uXQXGesamtListe.h"

#include "app/Dialoge.h"
#include "app/Sammlung.h"
#include "programs/Listendateien.h"
#include "programs/NamenMemo.h"

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QPushButton>
#include <QSignalBlocker>
#include <QSpinBox>
#include <memory>

namespace {
const QString ProgrammFilter = QStringLiteral("XQ7310-Backprogramm (*.XQP)|*.XQP");
const QString ListenOeffnenFilter = QStringLiteral("XQ-Vant2004-Backprogramm-Listen|*.XQR");
const QString ListenSpeichernFilter = QStringLiteral("XQ-Backprogramm-Records|*.XQR");
const QString ProgrammEndung = QStringLiteral("XQP");
const QString ListenEndung = QStringLiteral("XQR");
const QString XqrEndung = QStringLiteral(".XQR");
} // namespace

void TwXQXGesamtListe::DateienVerbinden()
{
    connect(NeueListe1, &QAction::triggered, this, &TwXQXGesamtListe::NeueListe1Click);
    connect(Listeffnen1, &QAction::triggered, this, &TwXQXGesamtListe::Listeffnen1Click);
    connect(LadenPrgListe, &QPushButton::clicked, this, &TwXQXGesamtListe::Listeffnen1Click);
    connect(ListeSpeichern1, &QAction::triggered, this, [this] { ListeSpeichern1Click(); });
    connect(SpeichernPrgListe, &QPushButton::clicked, this, [this] { ListeSpeichern1Click(); });
    connect(ListeSpeichernunter, &QAction::triggered, this, [this] { ListeSpeichernunterClick(); });
    connect(FileOpen, &QAction::triggered, this, &TwXQXGesamtListe::FileOpenClick);
    connect(LadenPrg, &QPushButton::clicked, this, &TwXQXGesamtListe::FileOpenClick);
    connect(Backprogrammspeichern1, &QAction::triggered, this, &TwXQXGesamtListe::Backprogrammspeichern1Click);
    connect(SpeichernPrg, &QPushButton::clicked, this, &TwXQXGesamtListe::Backprogrammspeichern1Click);
    // The phase buttons are part of the program: switching one is an edit that a save keeps.
    for (const TKnopfReihe *reihe : {&SchwadenKnopf, &UmwKnopf, &AusgKnopf})
        for (int i = 1; i <= RasterPhasen; ++i)
            connect((*reihe)[size_t(i)], &QPushButton::clicked, this, [this] { PrgGeaendert = true; });
}

// ---- program files ---------------------------------------------------------------------------

void TwXQXGesamtListe::Backprogrammspeichern1Click()
{
    ProgrammSpeichernUnter();
}

void TwXQXGesamtListe::ProgrammSpeichernUnter()
{
    if (!GridZuProgramm(true, OpSpeichern))
        return;
    SaveDialog->Filter = ProgrammFilter;
    SaveDialog->DefaultExt = ProgrammEndung;
    SaveDialog->EndungErzwingen = true;
    SaveDialog->OverwritePrompt = true;
    SaveDialog->InitialDir = BPrgXQDir;
    SaveDialog->FileName = ProgrammDateiVorschlag(AnsiToString(ePrgName->Name(), NamenCodepage()));
    if (!SaveDialog->Execute(this))
        return;
    QString name = SaveDialog->FileName;
    CheckFileName(name);
    if (!ProgrammDateiSchreiben(name, AktBPrg)) {
        QApplication::beep();
        ShowMessageBox(this, TBoxKind::Critical, TxtFehler, QStringLiteral("Speicherfehler"));
        return;
    }
    BPrgXQDir = DateiOrdner(name);
}

bool TwXQXGesamtListe::ProgrammDateiLesen(const QString &Dateiname, TBackprogramm &rec)
{
    QString name = Dateiname;
    CheckFileName(name);
    QString grund;
    switch (ProgrammDateiEinlesen(name, rec, &grund)) {
    case TProgrammDateiErgebnis::Gelesen:
        return true;
    case TProgrammDateiErgebnis::Lesefehler:
        ShowMessageBox(this, TBoxKind::Critical, TxtFehler,
                       QStringLiteral("Ladefehler\r\n") + QDir::toNativeSeparators(name) + QStringLiteral("\r\n") + grund);
        return false;
    case TProgrammDateiErgebnis::KeinProgramm:
        break;
    }
    ShowMessageBox(this, TBoxKind::Critical, TxtFehler, QStringLiteral("Ladefehler\r\n") + QDir::toNativeSeparators(name));
    return false;
}

bool TwXQXGesamtListe::ProgrammDateiOeffnen(const QString &Dateiname, int slot)
{
    // The slot is known before the program is shown, so the range question stores into it;
    // with none free, the editor stays as it was.
    const int ziel = slot < ErstesProgramm ? FreierPlatz() : slot;
    if (!gueltigerPlatz(ziel))
        return ProgrammAblegen(ziel);
    TBackprogramm rec;
    if (!ProgrammDateiLesen(Dateiname, rec))
        return false;
    PrgGeaendert = true;
    ProgrammSetzen(rec, ziel);
    ProgrammInListeSpeichern(ziel);
    PlatzUebernehmen(ziel);
    return true;
}

void TwXQXGesamtListe::FileOpenClick()
{
    OpenDialog->Filter = ProgrammFilter;
    OpenDialog->DefaultExt = ProgrammEndung;
    OpenDialog->MultiSelect = true;
    OpenDialog->InitialDir = BPrgXQDir;
    if (!OpenDialog->Execute(this))
        return;
    int von = 0, bis = 0;
    const int gewaehlt = NamenAuswahl(von, bis) ? von : 0;
    // The program in the editor is replaced: its edits go into its slot first.
    AenderungenSichern();
    const QStringList dateien = OpenDialog->Files;
    if (dateien.size() == 1) {
        ProgrammDateiOeffnen(dateien.first(), gewaehlt);
    } else {
        // The dialog's first entry goes in last.
        bool weiter = true;
        for (qsizetype i = 1; i < dateien.size() && weiter; ++i)
            weiter = ProgrammDateiOeffnen(dateien[i], 0);
        if (weiter)
            ProgrammDateiOeffnen(dateien.first(), 0);
    }
    BPrgXQDir = DateiOrdner(OpenDialog->FileName);
}

// ---- list files ------------------------------------------------------------------------------

void TwXQXGesamtListe::Listeffnen1Click()
{
    OpenDialog->Filter = ListenOeffnenFilter;
    OpenDialog->DefaultExt = ListenEndung;
    OpenDialog->MultiSelect = false;
    OpenDialog->InitialDir = BPrgXQDir;
    if (!OpenDialog->Execute(this))
        return;
    ListeDateiOeffnen(OpenDialog->FileName);
    BPrgXQDir = DateiOrdner(OpenDialog->FileName);
}

bool TwXQXGesamtListe::ListeDateiOeffnen(const QString &Dateiname)
{
    if (!HatEndung(Dateiname, XqrEndung))
        return false;
    auto puffer = std::make_unique<TBackprogrammListe>();
    for (TBackprogramm &rec : *puffer)
        InitBPrgRecord(rec);
    if (!BPrgListeLesen(Dateiname, *puffer))
        return false;
    if (ListeGeaendert || PrgGeaendert) {
        // "Ja" may write the edits into this very file: what is taken over is read after it,
        // and the question, answered, is not asked again.
        if (!AenderungenFragen() || !BPrgListeLesen(Dateiname, *puffer))
            return false;
        ListeGeaendert = false;
        PrgGeaendert = false;
    }
    return ListeUebernehmen(Dateiname, *puffer);
}

bool TwXQXGesamtListe::AenderungenFragen()
{
    if (!ListeGeaendert && !PrgGeaendert)
        return true;
    const auto antwort = ShowMessageBox(this, TBoxKind::Question, TxtAchtung,
                                        QStringLiteral("Backprogrammliste wurde verändert!\r\nWollen Sie speichern?"),
                                        QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel);
    if (antwort == QMessageBox::No)
        return true;
    // "Ja" goes on only when the list was saved.
    return antwort == QMessageBox::Yes && ListeSpeichern1Click();
}

void TwXQXGesamtListe::ListeSetzen(const QString &Dateiname, const TBackprogrammListe &Liste)
{
    ListeDateiName = Dateiname;
    BPrgListe = Liste;
    for (int i = 0; i < BPrgListeAnzahl; ++i)
        BPrgNamen[size_t(i)] = BPrgListe[size_t(i)].Name.text();
}

bool TwXQXGesamtListe::ListeUebernehmen(const QString &Dateiname, const TBackprogrammListe &Liste)
{
    if (isMinimized() || isMaximized())
        showNormal();
    // The list may be the editor's own or change while the question saves.
    const auto neu = std::make_unique<TBackprogrammListe>(Liste);
    if (!AenderungenFragen())
        return false;
    ListeSetzen(Dateiname, *neu);
    ListeGeaendert = false;
    ListeAnzeigen(ErstesProgramm);
    return true;
}

bool TwXQXGesamtListe::ListeSpeichern1Click()
{
    if (!ListeDateiName.isEmpty() && HatEndung(ListeDateiName, XqrEndung))
        return ListeSichern();
    // Without a name nothing is proposed: ".XQR" alone would be a hidden file.
    return ListeSpeichernAls(ListeDateiName.isEmpty() ? QString() : EndungAendern(ListeDateiName, XqrEndung));
}

bool TwXQXGesamtListe::ListeSpeichernunterClick()
{
    return ListeSpeichernAls(ListeDateiName);
}

bool TwXQXGesamtListe::ListeSpeichernAls(const QString &vorschlag)
{
    SaveDialog->Filter = ListenSpeichernFilter;
    SaveDialog->DefaultExt = ListenEndung;
    SaveDialog->EndungErzwingen = true;
    SaveDialog->OverwritePrompt = true;
    SaveDialog->InitialDir = BPrgXQDir;
    SaveDialog->FileName = vorschlag;
    if (!SaveDialog->Execute(this))
        return false;
    QString name = SaveDialog->FileName;
    CheckFileName(name);
    // A list the check refuses keeps the new name all the same.
    ListeDateiName = name;
    if (!ListeSichern())
        return false;
    BPrgXQDir = DateiOrdner(name);
    return true;
}

bool TwXQXGesamtListe::ListeSichern()
{
    const int n = Nummer();
    // Only an edited program goes into its slot, and before the check, so the check sees it.
    if (PrgGeaendert)
        ProgrammInListeSpeichern(n);
    bool gespeichert = false;
    if (!ListePruefen(true, OpSpeichern, BPrgListe, gespeichert))
        return false;
    return ListeSpeichernIntern(n);
}

bool TwXQXGesamtListe::ListeSpeichernIntern(int n)
{
    // Not written: the list stays as it is and marked as changed; the writer has said why.
    if (!BPrgListeSpeichern(ListeDateiName, BPrgListe))
        return false;
    // The editor shows what the file now holds.
    if (HatEndung(ListeDateiName, XqrEndung)) {
        auto gelesen = std::make_unique<TBackprogrammListe>(BPrgListe);
        if (BPrgListeLesen(ListeDateiName, *gelesen))
            ListeSetzen(ListeDateiName, *gelesen);
    }
    ListeGeaendert = false;
    ListeAnzeigen(n);
    return true;
}

void TwXQXGesamtListe::NeueListe1Click()
{
    NeueListe();
}

bool TwXQXGesamtListe::NeueListe()
{
    if (!AenderungenFragen())
        return false;
    ListeDateiName.clear();
    NamenSpalteLeeren();
    // The empty program as the editor holds it: the free name without its blanks.
    TBackprogramm leer;
    InitBPrgRecord(leer);
    leer.Name.setText(BPrgFreiNameKurz);
    BPrgListe.fill(leer);
    for (int i = 0; i < BPrgListeAnzahl; ++i)
        BPrgNamen[size_t(i)] = leer.Name.text();
    ListeGeaendert = false;
    ListeAnzeigen(ErstesProgramm);
    return true;
}

// ---- the program of a slot ------------------------------------------------------------------

void TwXQXGesamtListe::PlatzUebernehmen(int n)
{
    if (!gueltigerPlatz(n))
        return;
    {
        // The editor shows the program already; the number must not choose it once more.
        const QSignalBlocker blocker(NrWahl);
        NrWahl->setValue(n);
    }
    GemerkteNr = n;
    AktBPrg.Nummer = n;
    NamenBlockWaehlen(n, n);
}

void TwXQXGesamtListe::AenderungenSichern()
{
    // A value still being typed is an edit too.
    ZellenEditorUebernehmen();
    if (PrgGeaendert)
        ProgrammInListeSpeichern(Nummer());
}

// The list editor's operations on whole slots: copy and paste, sort by name, move a block up
// or down. Each one first stores an edited program into its slot, so no edit is lost or
// carried into another slot.
#include "programs/uXQXGesamtListe.h"

#include "programs/Listenoperationen.h"
#include "programs/NamenMemo.h"

#include <QAction>
#include <QMenu>
#include <QMouseEvent>
#include <functional>
#include <numeric>

namespace {
// Hands the mouse presses on the name grid to the window before the grid selects by itself.
class TMausDruck : public QObject
{
public:
    TMausDruck(QObject *parent, std::function<bool(QMouseEvent *)> druck) : QObject(parent), m_druck(std::move(druck)) {}

protected:
    bool eventFilter(QObject *, QEvent *event) override
    {
        return event->type() == QEvent::MouseButtonPress && m_druck(static_cast<QMouseEvent *>(event));
    }

private:
    std::function<bool(QMouseEvent *)> m_druck;
};
} // namespace

void TwXQXGesamtListe::ListeVerbinden()
{
    for (QAction *a : {Backprogrammkopieren1, Kopieren1})
        connect(a, &QAction::triggered, this, &TwXQXGesamtListe::Backprogrammkopieren1Click);
    for (QAction *a : {Backprogrammeinfgen1, Einfgen1})
        connect(a, &QAction::triggered, this, &TwXQXGesamtListe::Backprogrammeinfgen1Click);
    for (QAction *a : {SortierenAZ1, SortierenAZ2})
        connect(a, &QAction::triggered, this, &TwXQXGesamtListe::SortierenAZ2Click);
    for (QAction *a : {SortierenZA1, SortierenZA2})
        connect(a, &QAction::triggered, this, &TwXQXGesamtListe::SortierenZA2Click);
    for (QAction *a : {Nachoben1, Nachoben2})
        connect(a, &QAction::triggered, this, &TwXQXGesamtListe::Nachoben1Click);
    for (QAction *a : {Nachunten1, Nachunten2})
        connect(a, &QAction::triggered, this, &TwXQXGesamtListe::Nachunten2Click);
    connect(UpDown1, &TUpDown::Click, this, &TwXQXGesamtListe::UpDown1Click);
    // Ctrl+C and Ctrl+V copy and paste programs only while the name grid has the focus; the
    // name edit and the cells keep them for their text.
    NamenListe->addAction(Kopieren1);
    NamenListe->addAction(Einfgen1);
    NamenListe->viewport()->installEventFilter(new TMausDruck(
        this, [this](QMouseEvent *e) { return NamenListeMouseDown(e->button(), e->position().toPoint()); }));
}

// ---- handlers --------------------------------------------------------------------------------

void TwXQXGesamtListe::Backprogrammkopieren1Click()
{
    int von = 0, bis = 0;
    if (NamenAuswahl(von, bis))
        ProgrammeKopieren(von, bis);
}

void TwXQXGesamtListe::Backprogrammeinfgen1Click()
{
    int von = 0, bis = 0;
    if (NamenAuswahl(von, bis))
        ProgrammeEinfuegen(von);
}

void TwXQXGesamtListe::SortierenAZ2Click()
{
    ListeSortieren(true);
}

void TwXQXGesamtListe::SortierenZA2Click()
{
    ListeSortieren(false);
}

void TwXQXGesamtListe::Nachoben1Click()
{
    NamenBlockVerschieben(true);
}

void TwXQXGesamtListe::Nachunten2Click()
{
    NamenBlockVerschieben(false);
}

void TwXQXGesamtListe::UpDown1Click(bool hoch)
{
    if (hoch)
        Nachoben1Click();
    else
        Nachunten2Click();
}

bool TwXQXGesamtListe::NamenListeMouseDown(Qt::MouseButton button, const QPoint &pos)
{
    if (button != Qt::RightButton)
        return false;
    // Row 0 is the header, row 1 the hidden slot 0.
    const int row = NamenListe->rowAt(pos.y());
    if (row >= 2) {
        NamenBlockWaehlen(row - 1, row - 1);
        PopupMenu1->popup(NamenListe->viewport()->mapToGlobal(pos) + QPoint(10, 10));
    }
    return true;
}

// ---- operations ------------------------------------------------------------------------------

void TwXQXGesamtListe::ProgrammeKopieren(int Von, int Bis)
{
    int von = 0, bis = 0;
    if (!KopierBereich(Von, Bis, von, bis))
        return;
    // The copy takes the shown program as edited.
    AenderungenSichern();
    KopieVon = von;
    KopieBis = bis;
    for (int i = von; i <= bis; ++i)
        Zwischenablage[size_t(i)] = BPrgListe[size_t(i)];
}

void TwXQXGesamtListe::ProgrammeEinfuegen(int Ab)
{
    const QList<std::pair<int, int>> ziele = EinfuegeZiele(KopieVon, KopieBis, Ab);
    if (ziele.isEmpty())
        return;
    AenderungenSichern();
    for (const auto &[k, j] : ziele) {
        BPrgListe[size_t(j)] = Zwischenablage[size_t(k)];
        BPrgNamen[size_t(j)] = BPrgListe[size_t(j)].Name.text();
        // Checked as the program of the slot it went to, so a clamp stays there.
        ProgrammSetzen(BPrgListe[size_t(j)], j);
    }
    const int letzter = ziele.last().second;
    NamenAnzeigen(QString());
    PrgGeaendert = false;
    ListeGeaendert = true;
    PlatzUebernehmen(letzter);
    NamenBlockWaehlen(Ab, letzter);
}

void TwXQXGesamtListe::ListeSortieren(bool Aufsteigend)
{
    AenderungenSichern();
    const std::array<int, LetztesProgramm> folge = SortierFolge(BPrgListe, Aufsteigend, NamenCodepage());
    std::array<int, LetztesProgramm> gleich;
    std::iota(gleich.begin(), gleich.end(), ErstesProgramm);
    if (folge == gleich)
        return;
    const int n = Nummer();
    const TBackprogramm vorher = BPrgListe[size_t(n)];
    ProgrammeSortieren(BPrgListe, Aufsteigend, NamenCodepage());
    NamenAusListe();
    ListeGeaendert = true;
    NeuZeigenWennGeaendert(n, vorher);
}

void TwXQXGesamtListe::NamenBlockVerschieben(bool hoch)
{
    int von = 0, bis = 0;
    if (!NamenAuswahl(von, bis) || (hoch ? von <= ErstesProgramm : bis >= LetztesProgramm))
        return;
    AenderungenSichern();
    const int n = Nummer();
    const TBackprogramm vorher = BPrgListe[size_t(n)];
    BlockVerschieben(BPrgListe, von, bis, hoch);
    NamenAusListe();
    ListeGeaendert = true;
    PrgGeaendert = false;
    NeuZeigenWennGeaendert(n, vorher);
    const int schritt = hoch ? -1 : 1;
    NamenBlockWaehlen(von + schritt, bis + schritt);
}

// ---- names and selection ---------------------------------------------------------------------

void TwXQXGesamtListe::NamenAusListe()
{
    for (int i = 0; i < BPrgListeAnzahl; ++i)
        BPrgNamen[size_t(i)] = BPrgListe[size_t(i)].Name.text();
    NamenAnzeigen(QString());
}

void TwXQXGesamtListe::NeuZeigenWennGeaendert(int n, const TBackprogramm &vorher)
{
    // The editor shows its slot; had the slot another program now, a later store would put
    // the editor over it.
    if (!(BPrgListe[size_t(n)] == vorher))
        ProgrammWaehlen(n);
}

void TwXQXGesamtListe::NamenBlockWaehlen(int von, int bis)
{
    // Through the selection model: the grid's own calls would toggle rows while Ctrl is held.
    const QAbstractItemModel *m = NamenListe->model();
    const QModelIndex aktuell = m->index(bis + 1, 1);
    NamenListe->selectionModel()->setCurrentIndex(aktuell, QItemSelectionModel::NoUpdate);
    NamenListe->selectionModel()->select(QItemSelection(m->index(von + 1, 0), m->index(bis + 1, NamenListe->ColCount() - 1)),
                                         QItemSelectionModel::ClearAndSelect);
    NamenListe->scrollTo(aktuell);
}

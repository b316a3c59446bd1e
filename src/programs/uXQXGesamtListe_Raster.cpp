// The phase grid of the list editor: showing and reading a program, the check of a cell, the
// window's keys, painting, the row clipboard and the steam, fan and output buttons.
#include "programs/uXQXGesamtListe.h"

#include "app/Dialoge.h"
#include "app/Sammlung.h"
#include "app/Zahlformat.h"
#include "app/uKonstanten.h"
#include "programs/NamenMemo.h"

#include <QApplication>
#include <QClipboard>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPainter>
#include <QPointer>
#include <QSpinBox>
#include <QStyledItemDelegate>

namespace {
const QColor Trenngrau(128, 128, 128);
const QColor Hellgrau(192, 192, 192);
const QColor Rot(255, 0, 0);

void farbe(QLabel *label, bool rot)
{
    QPalette p = label->palette();
    p.setColor(QPalette::Window, rot ? Rot : QApplication::palette().color(QPalette::Button));
    label->setPalette(p);
}
} // namespace

// Paints the separators and switched-off columns, and lets the window see the keys of an open
// cell editor before the delegate moves on by itself.
class TSG1Delegate : public QStyledItemDelegate
{
public:
    explicit TSG1Delegate(TwXQXGesamtListe *fenster) : QStyledItemDelegate(fenster), m_fenster(fenster) {}

    // The open editor; none once it was closed (Qt hides it before deleting it later).
    QWidget *Editor() const { return m_editor && !m_editor->isHidden() ? m_editor.data() : nullptr; }

    QWidget *createEditor(QWidget *parent, const QStyleOptionViewItem &option, const QModelIndex &index) const override
    {
        QWidget *editor = QStyledItemDelegate::createEditor(parent, option, index);
        m_editor = editor;
        return editor;
    }

    void paint(QPainter *painter, const QStyleOptionViewItem &option, const QModelIndex &index) const override
    {
        QStyledItemDelegate::paint(painter, option, index);
        const int c = index.column();
        const QRect innen = option.rect.adjusted(1, 0, -1, 0);
        if (IstTrennspalte(c)) {
            painter->fillRect(innen, Trenngrau);
            return;
        }
        const bool aktuell = index == m_fenster->SG1->currentIndex();
        if (aktuell)
            return;
        const QString text = index.data().toString();
        const bool umwAus = m_fenster->UmwSpalteAus;
        const bool abgeschaltet = (!m_fenster->AusgSpalteEin && (c == Spalte::AusgZeit || c == Spalte::AusgKnopf))
                                  || (umwAus && (c == Spalte::UmwZeit || c == Spalte::UmwKnopf));
        const bool leerGrau = umwAus && (c == 1 || c == 3 || c == 5 || c == 8 || c == 9 || c == 14)
                              && (text.isEmpty() || (c != Spalte::AbzugProzent && text == QLatin1String("0")));
        if (abgeschaltet || leerGrau)
            painter->fillRect(innen, Hellgrau);
    }

    // A value the user typed changes the program, also when the grid never lost the focus.
    void setModelData(QWidget *editor, QAbstractItemModel *model, const QModelIndex &index) const override
    {
        const QString vorher = index.data().toString();
        QStyledItemDelegate::setModelData(editor, model, index);
        if (index.data().toString() != vorher)
            m_fenster->PrgGeaendert = true;
    }

    bool eventFilter(QObject *object, QEvent *event) override
    {
        if (event->type() == QEvent::KeyPress) {
            auto *k = static_cast<QKeyEvent *>(event);
            if (m_fenster->SG1Taste(k->key(), k->modifiers(), true))
                return true;
        }
        return QStyledItemDelegate::eventFilter(object, event);
    }

private:
    TwXQXGesamtListe *m_fenster;
    mutable QPointer<QWidget> m_editor;
};

void TwXQXGesamtListe::RasterVerbinden()
{
    m_delegate = new TSG1Delegate(this);
    SG1->setItemDelegate(m_delegate);
    SG1->installEventFilter(this);
    connect(SG1, &QTableWidget::currentCellChanged, this, &TwXQXGesamtListe::SG1ZelleGewechselt);
    connect(SG1, &QTableWidget::itemChanged, this,
            [this](QTableWidgetItem *item) { SG1ZelleGeschrieben(item->column(), item->row()); });
    connect(SG1, &QWidget::customContextMenuRequested, this, [this](const QPoint &pos) {
        const QModelIndex i = SG1->indexAt(pos);
        if (i.isValid() && i.column() != Spalte::Phase)
            PopupMenu2->popup(SG1->viewport()->mapToGlobal(pos + QPoint(8, 8)));
    });
    connect(ZeileKopieren, &QAction::triggered, this, &TwXQXGesamtListe::ZeileKopierenClick);
    connect(ZeileEinfuegen, &QAction::triggered, this, &TwXQXGesamtListe::ZeileEinfuegenClick);
    for (int i = 1; i <= RasterPhasen; ++i)
        connect(SchwadenKnopf[size_t(i)], &QPushButton::clicked, this, [this, i] { cbSch1Click(i); });
    // The fan and output buttons toggle themselves; the program reads their states when stored.
}

// ---- program <-> editor ------------------------------------------------------------------------

TKnopfZustaende TwXQXGesamtListe::Zustaende(const TKnopfReihe &knoepfe)
{
    TKnopfZustaende z{};
    for (int i = 1; i <= RasterPhasen; ++i)
        z[size_t(i - 1)] = knoepfe[size_t(i)]->Zustand();
    return z;
}

TRasterZellen TwXQXGesamtListe::RasterZellen() const
{
    TRasterZellen z;
    for (int r = 0; r < RasterZeilen; ++r)
        for (int c = 0; c < RasterSpalten; ++c)
            z.at(c, r) = SG1->cell(c, r);
    return z;
}

void TwXQXGesamtListe::RasterSchreiben(const TRasterZellen &zellen)
{
    ++m_rasterSchreiben;
    for (int r = 1; r <= RasterPhasen; ++r)
        for (int c : EditierSpalten)
            SG1->setCell(c, r, zellen.at(c, r));
    --m_rasterSchreiben;
    SpaltenSchalten();
    SummenAktualisieren();
}

void TwXQXGesamtListe::ProgrammAnzeigen()
{
    ProgrammAnzeigen(Nummer());
}

void TwXQXGesamtListe::ProgrammAnzeigen(int slot)
{
    // A cell still being typed into belongs to the program shown before.
    if (QWidget *editor = m_delegate->Editor())
        emit m_delegate->closeEditor(editor, QAbstractItemDelegate::RevertModelCache);
    AktBPrg.Nummer = slot;
    QByteArray name = AktBPrg.Name.text();
    while (name.endsWith(' '))
        name.chop(1);
    AktBPrg.Name.setText(name);
    ePrgName->SetName(name);
    Edit1->setText(NamenText(name, NamenCodepage()));
    Edit2->setText(Edit1->text());
    ePrgNameKy->SetName(name);

    TRasterZellen zellen = RasterZellen();
    ProgrammZuZellen(AktBPrg, Zustaende(SchwadenKnopf), LiterModus, zellen);
    RasterSchreiben(zellen);
    eMenge->setText(QString::number(AktBPrg.Menge));
    eXQKern->setText(QString::number(AktBPrg.SollKT));
}

bool TwXQXGesamtListe::GridZuProgramm(bool mitMeldung, int operation)
{
    return GridZuProgramm(mitMeldung, operation, Nummer());
}

bool TwXQXGesamtListe::GridZuProgramm(bool mitMeldung, int operation, int slot)
{
    // What is typed but not yet checked must not reach the record unchecked.
    ZellenEditorUebernehmen();
    ZellePruefen();
    FreiesProgrammBenennen(slot);
    AktBPrg.Name.setText(ePrgName->Name().left(NamenMaxBytes));
    AktBPrg.Nummer = slot;
    ZellenZuProgramm(RasterZellen(), Zustaende(SchwadenKnopf), Zustaende(UmwKnopf), Zustaende(AusgKnopf), LiterModus,
                     AktBPrg);
    AktBPrg.Menge = StrZuZahlOderNull(eMenge->text());
    AktBPrg.SollKT = StrZuZahlOderNull(eXQKern->text());
    bool gespeichert = false;
    QString betroffen;
    return ProgrammPruefen(mitMeldung, operation, false, AktBPrg, gespeichert, betroffen) == 0;
}

void TwXQXGesamtListe::InitTexte()
{
    for (int i = 1; i <= RasterPhasen; ++i) {
        SchwadenKnopf[size_t(i)]->SetTrueText(LangText(LiterModus ? 4 : 0));
        SchwadenKnopf[size_t(i)]->SetFalseText(LangText(LiterModus ? 5 : 1));
        UmwKnopf[size_t(i)]->SetTrueText(LangText(2));
        UmwKnopf[size_t(i)]->SetFalseText(LangText(3));
        AusgKnopf[size_t(i)]->SetTrueText(QStringLiteral("1"));
        AusgKnopf[size_t(i)]->SetFalseText(QStringLiteral("0"));
    }
}

void TwXQXGesamtListe::KnoepfeAuffrischen()
{
    for (const TKnopfReihe *reihe : {&SchwadenKnopf, &UmwKnopf, &AusgKnopf})
        for (int i = 1; i <= RasterPhasen; ++i)
            (*reihe)[size_t(i)]->SetZustand((*reihe)[size_t(i)]->Zustand());
}

// ---- cells -------------------------------------------------------------------------------------

void TwXQXGesamtListe::ZellenEditorUebernehmen()
{
    if (QWidget *editor = m_delegate->Editor()) {
        emit m_delegate->commitData(editor);
        emit m_delegate->closeEditor(editor, QAbstractItemDelegate::NoHint);
    }
}

void TwXQXGesamtListe::ZellePruefen()
{
    ZellePruefen(SG1->currentColumn(), SG1->currentRow());
}

void TwXQXGesamtListe::ZellePruefen(int col, int row)
{
    // The message box of one check must not start another.
    if (m_zellePruefen || row < 1 || row > RasterPhasen || col < 1)
        return;
    m_zellePruefen = true;
    TZellenRegeln regeln;
    regeln.schwadenMenge = SchwadenKnopf[size_t(row)]->Zustand();
    regeln.literModus = LiterModus;
    regeln.maxSollTemp = MaxSollTemp;
    regeln.temperaturEinheit = TemperaturEinheit;
    const TZellenPruefung e = ZellePruefenText(col, row, SG1->cell(col, row), SG1->cell(Spalte::AbzugZeit, row), regeln);
    SG1->setCell(col, row, e.text);
    if (!e.meldung.isEmpty())
        ShowMessageBox(this, TBoxKind::Warning, TxtAchtung, e.meldung);
    m_zellePruefen = false;
}

void TwXQXGesamtListe::SG1ZelleGewechselt(int row, int col, int prevRow, int prevCol)
{
    Q_UNUSED(row);
    Q_UNUSED(col);
    // Qt reports the move after it happened: the cell left is checked now.
    const QWidget *fokus = QApplication::focusWidget();
    if (!m_nichtPruefen && fokus && (fokus == SG1 || SG1->isAncestorOf(fokus)))
        ZellePruefen(prevCol, prevRow);
    SG1->viewport()->update();
}

void TwXQXGesamtListe::SG1ZelleGeschrieben(int col, int row)
{
    const QString text = SG1->cell(col, row);
    const bool abgeschaltet = (!AusgSpalteEin && (col == Spalte::AusgZeit || col == Spalte::AusgKnopf))
                              || (UmwSpalteAus && (col == Spalte::UmwZeit || col == Spalte::UmwKnopf));
    if (abgeschaltet) {
        // A switched-off column holds nothing, its header included.
        if (!text.isEmpty())
            SG1->setCell(col, row, QString());
    } else if (row >= 1 && row <= RasterPhasen && IstZeitSpalte(col, SchwadenKnopf[size_t(row)]->Zustand())) {
        SG1->setCell(col, row, ZeitTextNormalisieren(text));
    }
    if (m_rasterSchreiben == 0 && row >= 1 && IstEditierSpalte(col))
        SummenAktualisieren();
}

void TwXQXGesamtListe::SpaltenSchalten()
{
    for (int r = 0; r < RasterZeilen; ++r) {
        if (!AusgSpalteEin) {
            SG1->setCell(Spalte::AusgZeit, r, QString());
            SG1->setCell(Spalte::AusgKnopf, r, QString());
        }
        if (UmwSpalteAus) {
            SG1->setCell(Spalte::UmwZeit, r, QString());
            SG1->setCell(Spalte::UmwKnopf, r, QString());
        }
    }
    if (!UmwSpalteAus && SG1->cell(Spalte::UmwZeit, 0).isEmpty())
        SG1->setCell(Spalte::UmwZeit, 0, QStringLiteral("min:sek"));
}

void TwXQXGesamtListe::SummenAktualisieren()
{
    const TSummenErgebnis e = SummenPruefen(SummenAusZellen(RasterZellen()), PruefRegeln(), LangTexte());
    GesBackzeit->setText(GesBackzeitText + QLatin1Char(' ') + e.gesamt);
    AusgRest->setVisible(e.ausgSichtbar);
    AusgRest->setText(e.ausgRest);
    UmwRest->setVisible(e.umwSichtbar);
    UmwRest->setText(e.umwRest);
    AbzugRest->setText(e.abzugRest);
    SchwadenRest->setText(e.schwadenRest);
    farbe(UmwRest, e.umwRot);
    farbe(AbzugRest, e.abzugRot);
    farbe(AusgRest, e.ausgRot);
    farbe(SchwadenRest, e.schwadenRot);
}

// ---- keys --------------------------------------------------------------------------------------

bool TwXQXGesamtListe::SG1Taste(int key, Qt::KeyboardModifiers modifiers, bool editiert)
{
    const bool shift = modifiers & Qt::ShiftModifier;
    const bool tab = key == Qt::Key_Tab || key == Qt::Key_Backtab;
    const bool enter = key == Qt::Key_Return || key == Qt::Key_Enter;
    const bool hochRunter = key == Qt::Key_Up || key == Qt::Key_Down;
    const bool seitwaerts = key == Qt::Key_Left || key == Qt::Key_Right;
    if (modifiers & (Qt::ControlModifier | Qt::AltModifier))
        return false;
    // Left and Right move the caret while a cell is being typed into.
    if (!(tab || enter || hochRunter || (seitwaerts && !editiert)))
        return false;
    const int col = SG1->currentColumn();
    const int row = SG1->currentRow();
    if (col < 0 || row < 0)
        return false;
    if (editiert)
        ZellenEditorUebernehmen();
    ZellePruefen(col, row);
    if (enter)
        return true;

    TNavZiel ziel;
    if (hochRunter) {
        ziel = ZeilenZiel(col, row, key == Qt::Key_Up);
    } else {
        const bool vorwaerts = (key == Qt::Key_Tab && !shift) || key == Qt::Key_Right;
        ziel = NavigationsZiel(col, row, vorwaerts, tab, UmwSpalteAus);
    }
    if (ziel.art == TNavZiel::Menge) {
        eMenge->setFocus(Qt::BacktabFocusReason);
        eMenge->selectAll();
        return true;
    }
    m_nichtPruefen = true;
    SG1->setCurrentCell(ziel.row, ziel.col);
    m_nichtPruefen = false;
    return true;
}

// ---- focus, row clipboard, buttons ---------------------------------------------------------------

void TwXQXGesamtListe::SG1Enter()
{
    PrgGeaendert = true;
}

void TwXQXGesamtListe::SG1Exit()
{
    FreiesProgrammBenennen(Nummer());
}

void TwXQXGesamtListe::FreiesProgrammBenennen(int nr)
{
    // Under the free name it would be shown empty, sent as a delete and filled by the next
    // program that looks for a free slot.
    if (ePrgName->Name() == BPrgFreiNameKurz && ZellenHabenDaten(RasterZellen())) {
        ePrgName->SetName(QByteArrayLiteral("P") + FormatDec(nr, 3));
        PrgGeaendert = true;
    }
}

void TwXQXGesamtListe::ZeileKopierenClick()
{
    const int row = SG1->currentRow();
    if (row < 1 || row > RasterPhasen)
        return;
    ZellenEditorUebernehmen();
    QGuiApplication::clipboard()->setText(ZeileKopierenText(RasterZellen(), row));
}

void TwXQXGesamtListe::ZeileEinfuegenClick()
{
    const int row = SG1->currentRow();
    if (row < 1 || row > RasterPhasen)
        return;
    ZellenEditorUebernehmen();
    const auto texte = ZeileEinfuegenTexte(QGuiApplication::clipboard()->text());
    ++m_rasterSchreiben;
    for (size_t i = 0; i < EditierSpalten.size(); ++i)
        SG1->setCell(EditierSpalten[i], row, texte[i]);
    --m_rasterSchreiben;
    PrgGeaendert = true;
    SummenAktualisieren();
}

void TwXQXGesamtListe::cbSch1Click(int phase)
{
    // The cell takes the form of the new mode at once, so the rest label counts what the
    // program stores: switched off, the amount's digits read as a time; switched on, the time's
    // seconds as the amount, within its limit.
    ZellenEditorUebernehmen();
    const QString text = SG1->cell(Spalte::Schwaden, phase);
    if (SchwadenKnopf[size_t(phase)]->Zustand())
        SG1->setCell(Spalte::Schwaden, phase, QString::number(StrToMinuten(text)));
    ZellePruefen(Spalte::Schwaden, phase);
    SummenAktualisieren();
}

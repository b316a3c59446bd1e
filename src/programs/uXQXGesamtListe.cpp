// The list editor window: creation, show, hide and close, the program list and its name grid.
#include "programs/uXQXGesamtListe.h"

#include "app/Dialoge.h"
#include "app/Sammlung.h"
#include "app/Zahlformat.h"
#include "app/Zeitgeber.h"
#include "link/LinkZugang.h"
#include "programs/NamenMemo.h"
#include "translate/translate.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QProgressBar>
#include <QPushButton>
#include <QSignalBlocker>
#include <QSpinBox>
#include <QTextCursor>

TwXQXGesamtListe *wXQXGesamtListe = nullptr;

namespace {
const QString CrLf = QStringLiteral("\r\n");

// The file-name part of a path in either notation.
QString dateinamenTeil(const QString &pfad)
{
    const qsizetype p = qMax(pfad.lastIndexOf(QLatin1Char('/')), pfad.lastIndexOf(QLatin1Char('\\')));
    return pfad.mid(p + 1);
}

QByteArray ohneEndBlanks(QByteArray s)
{
    while (!s.isEmpty() && s.endsWith(' '))
        s.chop(1);
    return s;
}

bool gehoertZu(const QWidget *w, const QWidget *teil)
{
    return w && (w == teil || teil->isAncestorOf(w));
}
} // namespace

TwXQXGesamtListe::TwXQXGesamtListe(QWidget *parent) : QWidget(parent, Qt::Window)
{
    setObjectName(QStringLiteral("wXQXGesamtListe"));
    setWindowTitle(QStringLiteral("Backprogrammliste"));
    KomponentenErzeugen();
    Anordnen();
    Verbinden();
    RegisterWindow(this);
    FormCreate();
}

TwXQXGesamtListe::~TwXQXGesamtListe()
{
    // Children die after this part of the window: nothing they or the application report may
    // reach it any more.
    disconnect(qApp, nullptr, this, nullptr);
    if (TLinkZugang *zugang = LinkZugang())
        disconnect(zugang, nullptr, this, nullptr);
    for (QObject *kind : findChildren<QObject *>())
        disconnect(kind, nullptr, this, nullptr);
    SG1->removeEventFilter(this);
    if (m_sanduhr)
        QApplication::restoreOverrideCursor();
    if (wXQXGesamtListe == this)
        wXQXGesamtListe = nullptr;
}

void TwXQXGesamtListe::Verbinden()
{
    connect(NrWahl, &QSpinBox::valueChanged, this, [this] { NrWahlChange(); });
    connect(NamenListe, &QTableWidget::cellClicked, this, [this] { NamenListeDblClick(); });
    connect(NamenListe, &QTableWidget::cellDoubleClicked, this, [this] { NamenListeDblClick(); });
    connect(NamenListe, &QTableWidget::itemSelectionChanged, this, &TwXQXGesamtListe::NamenAuswahlBegrenzen);
    connect(PrgEraseBtn, &QPushButton::clicked, this, &TwXQXGesamtListe::PrgEraseBtnClick);
    connect(Neu2, &QAction::triggered, this, &TwXQXGesamtListe::Neu2Click);
    connect(Schlieen1, &QAction::triggered, this, &TwXQXGesamtListe::Schlieen1Click);
    // Only the user's edits mark the program changed; showing a program writes these too.
    auto geaendert = [this] { PrgGeaendert = true; };
    connect(ePrgName, &TNamenMemo::NameBearbeitet, this, geaendert);
    connect(ePrgNameKy, &TNamenMemo::NameBearbeitet, this, geaendert);
    connect(eMenge, &QLineEdit::textEdited, this, geaendert);
    connect(eXQKern, &QLineEdit::textEdited, this, geaendert);
    connect(EnableAusgang, &QCheckBox::toggled, this, &TwXQXGesamtListe::EnableAusgangClick);
    connect(Button1, &QPushButton::clicked, this, [this] { ePrgNameKy->SetName("01234567890123456789"); });
    connect(StartTimer, &TTimer::timeout, this, &TwXQXGesamtListe::StartTimerTimer);
    connect(qApp, &QApplication::focusChanged, this, &TwXQXGesamtListe::FokusGewechselt);
    OfenWahlBox->installEventFilter(this);
    RasterVerbinden();
    DateienVerbinden();
    ListeVerbinden();
    DruckenVerbinden();
    UebertragungVerbinden();
    SelbsttestVerbinden();
}

// ---- creation, show, hide, close -------------------------------------------------------------

void TwXQXGesamtListe::FormCreate()
{
    // 1. On top of the other windows, except in the service view.
    setWindowFlag(Qt::WindowStaysOnTopHint, !ServiceMode);
    // 2. The transfer watchdog waits three name-list time-outs.
    TimeOut->setInterval(3 * SB_BPL2.TimeoutMs);
    // 3.
    ListeSendenan1->setText(QStringLiteral("Liste senden"));
    BPrgSendenan1->setText(QStringLiteral("Backprogramm senden"));
    Backprogrammsendenanalle1->setEnabled(false);
    Backprogrammsendenanalle1->setVisible(false);
    Druckereinrichtung1->setVisible(true);
    OfenWahlBox->hide();
    Label16->hide();
    Ofenname->hide();
    Label_ToPC->move(16, 15);
    Label_FromPC->move(Label_ToPC->pos());
    // 4.
    Gauge1->setMaximum(200);
    {
        // Raising the minimum moves the value: no program is chosen while the window is made.
        const QSignalBlocker blocker(NrWahl);
        NrWahl->setRange(1, 199);
    }
    NamenListe->setRowHidden(1, true);
    // 5.
    Lang->clear();
    Lang->addItems(ListenEditorTexte());
    // 6.
    TranslateForm(QStringLiteral("TwXQXGesamtListe"));
    // 7.
    NamenListe->SetRowCount(BPrgListeAnzahl + 1);
    TxtUebersicht = QStringLiteral("Programmübersicht: ");
    UpDown1->setToolTip(QStringLiteral("Backprogramme verschieben."));
    TxtAchtung = QStringLiteral("ACHTUNG");
    TxtFehler = QStringLiteral("Fehler");
    FortschrittsPanel->move(8, 104);
    // Over the other components while a transfer runs. Raised only now: raising puts it last
    // among its siblings, out of the order the translation walks.
    FortschrittsPanel->raise();
    Label14->move(Label14->x(), 14);
    Label15->move(Label15->x(), 14);
    // 8.
    NamenListe->setCell(0, 0, QStringLiteral("Nr."));
    for (int i = 0; i < BPrgListeAnzahl; ++i)
        NamenListe->setCell(0, i + 1, QString::number(i));
    // 9.
    Einheit_SollKT->setText(TemperaturEinheit);
    const std::pair<int, QString> koepfe[] = {
        {Spalte::Temperatur, TemperaturEinheit},
        {Spalte::Backzeit, QStringLiteral("Min:sek")},
        {Spalte::Schwaden, LiterModus ? QStringLiteral("Zeit | lt.") : QStringLiteral("Zeit")},
        {Spalte::AbzugProzent, QStringLiteral("%")},
        {Spalte::AbzugZeit, QStringLiteral("min")},
        {Spalte::UmwZeit, QStringLiteral("min")},
        {Spalte::AusgZeit, QStringLiteral("min")}};
    for (const auto &[col, text] : koepfe)
        SG1->setCell(col, 0, text);
    for (int r = 1; r <= RasterPhasen; ++r)
        SG1->setCell(Spalte::Phase, r, QString::number(r));
    // 10. The button rows were filled as the buttons were made; none of them takes the focus.
    KnoepfeEinsetzen();
    InitTexte();
    KnoepfeAuffrischen();
    // 11.
    SG1->SetColCount(RasterSpalten);
    MaxSollTemp = MaxSollTempStandard;
    GesBackzeitText = GesBackzeit->text();
    StartTimer->setEnabled(true);
    ListeGeaendert = false;
    PrgGeaendert = false;
    SpaltenSchalten();
    SummenAktualisieren();
}

void TwXQXGesamtListe::FormShow()
{
    if (CyrillicDebug) {
        Edit1->show();
        Edit2->show();
    }
    BPrgSendenan1->setEnabled(true);
    BPrgEmpfangen1->setEnabled(true);
    // Hiding emptied the editor and the names while the list kept its programs: the editor must
    // stand for the slot it names again, or an edit, a store or a send would empty that slot.
    if (m_listeWirdGezeigt)
        return;
    NamenAnzeigen(QString());
    const int n = Nummer();
    if (gueltigerPlatz(n) && BPrgListe[size_t(n)] != TBackprogramm{}) {
        ProgrammWaehlen(n);
        return;
    }
    // A slot never filled shows the empty program.
    ProgrammLeeren();
    GemerkteNr = n;
}

void TwXQXGesamtListe::FormHide()
{
    ProgrammLeeren();
    NamenSpalteLeeren();
    ListeGeaendert = false;
    PrgGeaendert = false;
}

bool TwXQXGesamtListe::FormClose()
{
    if (PrgGeaendert || ListeGeaendert) {
        const auto antwort = ShowMessageBox(this, TBoxKind::Question, TxtAchtung,
                                            QStringLiteral("Backprogrammliste wurde verändert!\r\nWollen Sie speichern?"),
                                            QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel);
        if (antwort != QMessageBox::Yes && antwort != QMessageBox::No)
            return false;
        // A save that did not happen keeps the window and its changes.
        if (antwort == QMessageBox::Yes && !ListeSpeichern1Click())
            return false;
    }
    ProgrammLeeren();
    NamenSpalteLeeren();
    ListeGeaendert = false;
    PrgGeaendert = false;
    return true;
}

void TwXQXGesamtListe::showEvent(QShowEvent *event)
{
    QWidget::showEvent(event);
    // Restoring a minimised window is no new show.
    if (!event->spontaneous())
        FormShow();
}

void TwXQXGesamtListe::hideEvent(QHideEvent *event)
{
    QWidget::hideEvent(event);
    if (!event->spontaneous())
        FormHide();
}

void TwXQXGesamtListe::closeEvent(QCloseEvent *event)
{
    // A hidden window drops what the transfer still brings; "Abbrechen" ends it.
    if (Beschaeftigt()) {
        event->ignore();
        return;
    }
    if (FormClose())
        event->accept();
    else
        event->ignore();
}

void TwXQXGesamtListe::StartTimerTimer()
{
    // Nothing releases the start-up tick. Its first idle tick ends it, so that an editor
    // standing open wakes nobody ten times a second for nothing.
    if (!StartTimerFreigabe)
        StartTimer->setEnabled(false);
}

// ---- program list ----------------------------------------------------------------------------

int TwXQXGesamtListe::Nummer() const
{
    return NrWahl->value();
}

void TwXQXGesamtListe::ProgrammSetzen(const TBackprogramm &rec)
{
    ProgrammSetzen(rec, Nummer());
}

void TwXQXGesamtListe::ProgrammSetzen(const TBackprogramm &rec, int slot)
{
    // `rec` may be AktBPrg itself.
    TBackprogramm kopie = rec;
    kopie.Nummer = slot;
    AktBPrg = kopie;
    ProgrammAnzeigen(slot);
    bool gespeichert = false;
    QString betroffen;
    ProgrammPruefen(true, OpSpeichern, false, AktBPrg, gespeichert, betroffen);
    if (gespeichert)
        ProgrammAnzeigen(slot);
    // A whole-list transfer keeps the window until its progress is through.
    if (m_uebertragung == TUebertragung::ProgrammLesen)
        UebertragungSetzen(TUebertragung::Keine);
}

void TwXQXGesamtListe::ProgrammLeeren()
{
    InitBPrgRecord(AktBPrg);
    ProgrammSetzen(AktBPrg, Nummer());
    PrgGeaendert = false;
}

void TwXQXGesamtListe::ProgrammWaehlen(int n)
{
    if (!gueltigerPlatz(n))
        return;
    if (IsFreeSlotName(BPrgListe[size_t(n)].Name.text())) {
        InitBPrgRecord(AktBPrg);
        ProgrammSetzen(AktBPrg, n);
        // The editor shows the empty program, AktBPrg holds the slot.
        AktBPrg = BPrgListe[size_t(n)];
    } else {
        ProgrammSetzen(BPrgListe[size_t(n)], n);
    }
    PrgGeaendert = false;
    {
        // Showing is done; the number must not choose the program once more.
        const QSignalBlocker blocker(NrWahl);
        NrWahl->setValue(n);
    }
    GemerkteNr = n;
    NamenBlockWaehlen(n, n);
}

void TwXQXGesamtListe::ListeAnzeigen(int n)
{
    NamenAnzeigen(QString());
    setWindowTitle(QStringLiteral("Backprogrammliste: \"") + dateinamenTeil(ListeDateiName) + QLatin1Char('"'));
    // The program shown is chosen right after; the show must not choose another one first.
    m_listeWirdGezeigt = true;
    show();
    m_listeWirdGezeigt = false;
    ProgrammWaehlen(n);
    PrgGeaendert = false;
}

bool TwXQXGesamtListe::ProgrammInListeSpeichern(int n)
{
    if (!gueltigerPlatz(n))
        return false;
    ListeGeaendert = true;
    const bool ok = GridZuProgramm(false, OpKeine, n);
    BPrgListe[size_t(n)] = AktBPrg;
    for (int i = 0; i < BPrgListeAnzahl; ++i)
        BPrgNamen[size_t(i)] = BPrgListe[size_t(i)].Name.text();
    NamenAnzeigen(QString());
    PrgGeaendert = false;
    return ok;
}

int TwXQXGesamtListe::FreierPlatz() const
{
    for (int i = 1; i < BPrgListeAnzahl; ++i)
        if (ohneEndBlanks(BPrgNamen[size_t(i)]) == BPrgFreiNameKurz)
            return i;
    return 0;
}

bool TwXQXGesamtListe::ProgrammAblegen(int n)
{
    const int slot = n < 1 ? FreierPlatz() : n;
    if (gueltigerPlatz(slot)) {
        ProgrammInListeSpeichern(slot);
        return true;
    }
    ShowMessageBox(this, TBoxKind::Warning, TxtAchtung, LangText(37) + CrLf + LangText(38) + CrLf + LangText(39));
    return false;
}

void TwXQXGesamtListe::NamenAnzeigen(const QString &ofenname)
{
    NamenAnzeigen(ofenname, BPrgNamen);
}

void TwXQXGesamtListe::NamenAnzeigen(const QString &ofenname, const TNamenListe &namen)
{
    Ofenname->setText(ofenname);
    BPrgNamen = namen;
    for (int i = 0; i < BPrgListeAnzahl; ++i)
        NamenListe->setCell(1, i + 1, AnsiToString(FormatName20(namen[size_t(i)]), NamenCodepage()));
}

void TwXQXGesamtListe::NamenSpalteLeeren()
{
    for (int r = 1; r <= BPrgListeAnzahl; ++r)
        NamenListe->setCell(1, r, QString());
}

bool TwXQXGesamtListe::NamenAuswahl(int &von, int &bis) const
{
    int oben = -1, unten = -1;
    for (const QModelIndex &i : NamenListe->selectionModel()->selectedIndexes()) {
        if (i.row() < 2)
            continue;
        oben = oben < 0 ? i.row() : qMin(oben, i.row());
        unten = qMax(unten, i.row());
    }
    if (oben < 0)
        return false;
    von = oben - 1;
    bis = unten - 1;
    return true;
}

void TwXQXGesamtListe::NamenAuswahlBegrenzen()
{
    // Neither the header nor the hidden row of slot 0 is ever part of a selection.
    QItemSelectionModel *auswahl = NamenListe->selectionModel();
    for (int r : {0, 1})
        for (int c = 0; c < NamenListe->ColCount(); ++c)
            if (auswahl->isSelected(NamenListe->model()->index(r, c))) {
                auswahl->select(QItemSelection(NamenListe->model()->index(0, 0),
                                               NamenListe->model()->index(1, NamenListe->ColCount() - 1)),
                                QItemSelectionModel::Deselect);
                return;
            }
}

// ---- handlers --------------------------------------------------------------------------------

void TwXQXGesamtListe::NrWahlEnter()
{
    GemerkteNr = Nummer();
}

void TwXQXGesamtListe::NrWahlChange()
{
    // The editor still shows the program it came from: it goes back there.
    if (PrgGeaendert)
        ProgrammInListeSpeichern(GemerkteNr);
    PrgGeaendert = false;
    GemerkteNr = Nummer();
    ProgrammWaehlen(Nummer());
}

void TwXQXGesamtListe::NamenListeDblClick()
{
    const int n = NamenListe->currentRow() - 1;
    if (!gueltigerPlatz(n))
        return;
    // Choosing the program already shown shows it again.
    if (n == Nummer())
        NrWahlChange();
    else
        NrWahl->setValue(n);
    if (CyrillicMode) {
        const QString name = AnsiToString(BPrgNamen[size_t(n)], NamenCodepage());
        Edit1->setText(name);
        Edit2->setText(name);
    }
}

void TwXQXGesamtListe::PrgEraseBtnClick()
{
    const int n = Nummer();
    if (!gueltigerPlatz(n))
        return;
    TBackprogramm leer;
    InitBPrgRecord(leer);
    BPrgListe[size_t(n)] = leer;
    BPrgNamen[size_t(n)] = leer.Name.text();
    ListeAnzeigen(n);
    ListeGeaendert = true;
}

void TwXQXGesamtListe::Neu2Click()
{
    ProgrammLeeren();
}

void TwXQXGesamtListe::Schlieen1Click()
{
    close();
}

void TwXQXGesamtListe::BedienungFreigeben(bool freigeben)
{
    TimeOut->setEnabled(false);
    // Everything but the progress panel: no second transfer starts, and nothing typed or
    // chosen meanwhile can go over a slot when the answer comes.
    File1->menuAction()->setEnabled(freigeben);
    Bearbeiten1->menuAction()->setEnabled(freigeben);
    OfenWahlBox->setEnabled(freigeben);
    BPrgPanel->setEnabled(freigeben);
    Kopfleiste->setEnabled(freigeben);
    NamenListe->setEnabled(freigeben);
    UpDown1->setEnabled(freigeben);
    if (freigeben) {
        if (m_sanduhr)
            QApplication::restoreOverrideCursor();
        m_sanduhr = false;
    } else {
        if (!m_sanduhr)
            QApplication::setOverrideCursor(Qt::WaitCursor);
        m_sanduhr = true;
        TimeOut->setEnabled(true);
    }
}

QString TwXQXGesamtListe::LangText(int i) const
{
    const QListWidgetItem *item = Lang->item(i);
    return item ? item->text() : QString();
}

QStringList TwXQXGesamtListe::LangTexte() const
{
    QStringList texte;
    for (int i = 0; i < Lang->count(); ++i)
        texte << Lang->item(i)->text();
    return texte;
}

void TwXQXGesamtListe::EnableAusgangClick()
{
    AusgSpalteEin = EnableAusgang->isChecked();
    if (AusgSpalteEin)
        SG1->setCell(Spalte::AusgZeit, 0, QStringLiteral("min:sek"));
    SpaltenSchalten();
    SummenAktualisieren();
    SG1->viewport()->update();
}

// ---- focus moves -----------------------------------------------------------------------------

bool TwXQXGesamtListe::imFenster(QWidget *w) const
{
    return w && w->window() == this;
}

void TwXQXGesamtListe::FokusGewechselt(QWidget *alt, QWidget *neu)
{
    // Switching windows or opening a menu leaves no control.
    if (!imFenster(alt) || !imFenster(neu))
        return;
    const bool altSG1 = gehoertZu(alt, SG1);
    const bool neuSG1 = gehoertZu(neu, SG1);
    if (altSG1 && !neuSG1)
        SG1Exit();
    if (alt == eMenge)
        eMengeExit(neu);
    if (alt == eXQKern)
        eXQKernExit(neu);
    // An exit that sent the focus on has had that change handled already.
    if (QApplication::focusWidget() != neu)
        return;
    if (!altSG1 && neuSG1)
        SG1Enter();
    if (neu == ePrgName)
        ePrgNameEnter();
    if (gehoertZu(neu, NrWahl) && !gehoertZu(alt, NrWahl))
        NrWahlEnter();
}

void TwXQXGesamtListe::eMengeExit(QWidget *neu)
{
    if (!eXQKern->isVisible() && neu != ePrgName) {
        SG1->setCurrentCell(1, Spalte::Temperatur);
        SG1->setFocus(Qt::TabFocusReason);
    }
}

void TwXQXGesamtListe::eXQKernExit(QWidget *neu)
{
    if (neu != ePrgName) {
        SG1->setCurrentCell(1, Spalte::Temperatur);
        SG1->setFocus(Qt::TabFocusReason);
    }
}

void TwXQXGesamtListe::ePrgNameEnter()
{
    QTextCursor c = ePrgName->textCursor();
    c.setPosition(0);
    c.movePosition(QTextCursor::End, QTextCursor::KeepAnchor);
    ePrgName->setTextCursor(c);
}

bool TwXQXGesamtListe::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::KeyPress) {
        auto *k = static_cast<QKeyEvent *>(event);
        if (watched == SG1 && !SG1->Editing())
            return SG1Taste(k->key(), k->modifiers(), false);
        if (watched == OfenWahlBox && (k->key() == Qt::Key_Tab || k->key() == Qt::Key_Backtab)) {
            if (k->key() == Qt::Key_Backtab || (k->modifiers() & Qt::ShiftModifier))
                SG1->setFocus(Qt::BacktabFocusReason);
            else if (NrWahl->isVisible())
                NrWahl->setFocus(Qt::TabFocusReason);
            else
                ePrgName->setFocus(Qt::TabFocusReason);
            return true;
        }
    }
    return QWidget::eventFilter(watched, event);
}

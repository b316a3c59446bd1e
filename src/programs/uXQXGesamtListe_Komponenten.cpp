// The list editor's components, all created here in one fixed order (the order in which the
// translation walks them), and their layout.
#include "programs/uXQXGesamtListe.h"

#include "app/Benannt.h"
#include "app/Dialoge.h"
#include "app/Zeitgeber.h"
#include "programs/NamenMemo.h"

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QFontDatabase>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QScrollBar>
#include <QSpinBox>
#include <QToolButton>
#include <QVBoxLayout>

namespace {
QFrame *panel(QWidget *parent, const char *name)
{
    auto *p = named(new QFrame(parent), name);
    p->setFrameShape(QFrame::StyledPanel);
    return p;
}

QAction *eintrag(QMenu *menu, const char *name, const QString &text, bool sichtbar = true)
{
    QAction *a = named(menu->addAction(text), name);
    a->setVisible(sichtbar);
    return a;
}

// Widths of the phase grid's columns: value, separator, button columns as the layout needs them.
const int SG1Breiten[RasterSpalten] = {28, 52, 6, 60, 6, 60, 56, 6, 40, 58, 6, 58, 44, 6, 58, 32};
const int SG1Zeilenhoehe = 24;
} // namespace

TUpDown::TUpDown(QWidget *parent) : QWidget(parent)
{
    Hoch = new QToolButton(this);
    Hoch->setArrowType(Qt::UpArrow);
    Runter = new QToolButton(this);
    Runter->setArrowType(Qt::DownArrow);
    for (QToolButton *b : {Hoch, Runter}) {
        b->setFocusPolicy(Qt::NoFocus);
        b->setAutoRepeat(true);
    }
    auto *l = new QVBoxLayout(this);
    l->setContentsMargins(0, 0, 0, 0);
    l->setSpacing(0);
    l->addWidget(Hoch);
    l->addWidget(Runter);
    connect(Hoch, &QToolButton::clicked, this, [this] { emit Click(true); });
    connect(Runter, &QToolButton::clicked, this, [this] { emit Click(false); });
}

void TwXQXGesamtListe::MenuesErzeugen()
{
    MainMenu1 = named(new QMenuBar(this), "MainMenu1");
    File1 = named(MainMenu1->addMenu(QStringLiteral("&Datei")), "File1");
    Neu2 = eintrag(File1, "Neu2", QStringLiteral("&Neu"), false);
    NeueListe1 = eintrag(File1, "NeueListe1", QStringLiteral("Neue Liste"));
    Listeffnen1 = eintrag(File1, "Listeffnen1", QStringLiteral("Liste Öffnen"));
    ListeSpeichern1 = eintrag(File1, "ListeSpeichern1", QStringLiteral("&ListeSpeichern"));
    ListeSpeichernunter = eintrag(File1, "ListeSpeichernunter", QStringLiteral("Liste Speichern &unter..."));
    named(File1->addSeparator(), "N1");
    FileOpen = eintrag(File1, "FileOpen", QStringLiteral("&Backprogramm Öffnen..."));
    Backprogrammspeichern1 = eintrag(File1, "Backprogrammspeichern1", QStringLiteral("Backprogramm speichern unter..."));
    named(File1->addSeparator(), "N2");
    BPrgSendenan1 = eintrag(File1, "BPrgSendenan1", QStringLiteral("Backprogramm senden an"));
    Backprogrammsendenanalle1 = eintrag(File1, "Backprogrammsendenanalle1", QStringLiteral("Backprogramm senden an alle"));
    BackprogrammsendenanGruppe1 =
        eintrag(File1, "BackprogrammsendenanGruppe1", QStringLiteral("Backprogramm senden an Gruppe"), false);
    BPrgEmpfangen1 = eintrag(File1, "BPrgEmpfangen1", QStringLiteral("B&ackprogramm empfangen"));
    named(File1->addSeparator(), "N3");
    ListeSendenan1 = eintrag(File1, "ListeSendenan1", QStringLiteral("Liste senden an"));
    Listesendenanalle1 = eintrag(File1, "Listesendenanalle1", QStringLiteral("Liste senden an alle"), false);
    ListeEmpfangen1 = eintrag(File1, "ListeEmpfangen1", QStringLiteral("Liste empfangen"));
    named(File1->addSeparator(), "N4");
    ListeDrucken1 = eintrag(File1, "ListeDrucken1", QStringLiteral("Namenliste Drucken"));
    Drucken1 = eintrag(File1, "Drucken1", QStringLiteral("Markierte Backprogramme drucken"));
    MarkierteBackprogrammedruckenVorschau1 = eintrag(File1, "MarkierteBackprogrammedruckenVorschau1",
                                                     QStringLiteral("Markierte Backprogramme drucken (Vorschau)"), false);
    MarkierteBackprogrammedruckenTestAlt1 = eintrag(File1, "MarkierteBackprogrammedruckenTestAlt1",
                                                    QStringLiteral("Markierte Backprogramme drucken (Test,Alt)"), false);
    AlleBackprogrammedrucken1 = eintrag(File1, "AlleBackprogrammedrucken1", QStringLiteral("Alle Backprogramme drucken"));
    AlleBackprogrammedruckenVorschau1 = eintrag(File1, "AlleBackprogrammedruckenVorschau1",
                                                QStringLiteral("Alle Backprogramme drucken (Vorschau)"), false);
    AlleBackprogrammedruckenTestAlt1 = eintrag(File1, "AlleBackprogrammedruckenTestAlt1",
                                               QStringLiteral("Alle Backprogramme drucken (Test,Alt)"), false);
    Druckereinrichtung1 = eintrag(File1, "Druckereinrichtung1", QStringLiteral("Drucker&einrichtung..."), false);
    Druckereinrichtung1->setToolTip(QStringLiteral("Druckereinrichtung ändern"));
    SendenSpeichern1 = eintrag(File1, "SendenSpeichern1", QStringLiteral("Senden && Speichern"), false);
    named(File1->addSeparator(), "N5");
    Schlieen1 = eintrag(File1, "Schlieen1", QStringLiteral("&Schließen"));

    Bearbeiten1 = named(MainMenu1->addMenu(QStringLiteral("Bearbeiten")), "Bearbeiten1");
    Backprogrammkopieren1 = eintrag(Bearbeiten1, "Backprogrammkopieren1", QStringLiteral("Backprogramm(e) kopieren"));
    Backprogrammeinfgen1 = eintrag(Bearbeiten1, "Backprogrammeinfgen1", QStringLiteral("Backprogramm(e) einfügen"));
    MehrereBPrgskopieren1 = eintrag(Bearbeiten1, "MehrereBPrgskopieren1", QStringLiteral("Mehrere BPrgs kopieren"), false);
    MehrereBPrgseinfgen1 = eintrag(Bearbeiten1, "MehrereBPrgseinfgen1", QStringLiteral("Mehrere BPrgs einfügen"), false);
    named(Bearbeiten1->addSeparator(), "N6");
    SortierenAZ2 = eintrag(Bearbeiten1, "SortierenAZ2", QStringLiteral("Sortieren A-Z"));
    SortierenZA2 = eintrag(Bearbeiten1, "SortierenZA2", QStringLiteral("Sortieren Z-A"));
    named(Bearbeiten1->addSeparator(), "N7");
    Nachoben1 = eintrag(Bearbeiten1, "Nachoben1", QStringLiteral("Nach oben"));
    Nachunten2 = eintrag(Bearbeiten1, "Nachunten2", QStringLiteral("Nach unten"));

    PopupMenu1 = named(new QMenu(this), "PopupMenu1");
    Kopieren1 = eintrag(PopupMenu1, "Kopieren1", QStringLiteral("Kopieren"));
    Kopieren1->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_C));
    Einfgen1 = eintrag(PopupMenu1, "Einfgen1", QStringLiteral("Einfügen"));
    Einfgen1->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_V));
    // Shown in the menu only; the grids and edits keep Ctrl+C and Ctrl+V for their own text.
    Kopieren1->setShortcutContext(Qt::WidgetShortcut);
    Einfgen1->setShortcutContext(Qt::WidgetShortcut);
    named(PopupMenu1->addSeparator(), "N8");
    SortierenAZ1 = eintrag(PopupMenu1, "SortierenAZ1", QStringLiteral("Sortieren A-Z"));
    SortierenZA1 = eintrag(PopupMenu1, "SortierenZA1", QStringLiteral("Sortieren Z-A"));
    named(PopupMenu1->addSeparator(), "N9");
    Nachoben2 = eintrag(PopupMenu1, "Nachoben2", QStringLiteral("Nach oben"));
    Nachunten1 = eintrag(PopupMenu1, "Nachunten1", QStringLiteral("Nach unten"));

    PopupMenu2 = named(new QMenu(this), "PopupMenu2");
    ZeileKopieren = eintrag(PopupMenu2, "ZeileKopieren", QStringLiteral("Zeile Kopieren"));
    ZeileEinfuegen = eintrag(PopupMenu2, "ZeileEinfuegen", QStringLiteral("Zeile Einfügen"));
}

void TwXQXGesamtListe::KomponentenErzeugen()
{
    MenuesErzeugen();

    Kopfleiste = panel(this, "Kopfleiste");
    PintListBtn = knopf(Kopfleiste, "PintListBtn", QStringLiteral("Liste Drucken"));
    Label16 = beschriftung(Kopfleiste, "Label16", QStringLiteral("Ofen:"));
    OfenWahlBox = named(new QComboBox(Kopfleiste), "OfenWahlBox");
    Ofenname = beschriftung(Kopfleiste, "Ofenname", QStringLiteral("Ofenname"));
    DebugPanel = panel(Kopfleiste, "DebugPanel");
    DoDefaults_voll = knopf(DebugPanel, "DoDefaults_voll", QStringLiteral("Defaults_voll"),
                            QStringLiteral("Record mit 99 verschiedenen Beispiel-Backprogrammen erstellen."));
    Defaults_halb = knopf(DebugPanel, "Defaults_halb", QStringLiteral("Defaults_halb"));
    Chk_v = knopf(DebugPanel, "Chk_v", QStringLiteral("Chk_v"));
    Chk_h = knopf(DebugPanel, "Chk_h", QStringLiteral("Chk_h"));
    Memo1 = named(new QPlainTextEdit(DebugPanel), "Memo1");
    Memo1->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    EnableAusgang = named(new QCheckBox(QStringLiteral("EnableAusgang"), DebugPanel), "EnableAusgang");
    CheckMitKern = named(new QCheckBox(QStringLiteral("CheckMitKern"), DebugPanel), "CheckMitKern");
    CheckMitKern->setChecked(true);
    DebugPanel->hide();

    NamenListe = named(new TStringGrid(this), "NamenListe");
    NamenListe->setToolTip(QStringLiteral("Doppelklick zum Anzeigen des Programms."));
    UpDown1 = named(new TUpDown(this), "UpDown1");

    BPrgPanel = panel(this, "BPrgPanel");
    Panel1 = panel(BPrgPanel, "Panel1");
    LNrWahl = beschriftung(Panel1, "LNrWahl", QStringLiteral("Programm-Nr.:"));
    NrWahl = named(new QSpinBox(Panel1), "NrWahl");
    LPrgName = beschriftung(Panel1, "LPrgName", QStringLiteral("Name:"));
    ePrgName = named(new TNamenMemo(Panel1), "ePrgName");
    Edit1 = named(new QLineEdit(Panel1), "Edit1");
    Edit2 = named(new QLineEdit(Panel1), "Edit2");
    ePrgNameKy = named(new TNamenMemo(Panel1), "ePrgNameKy");
    LMenge = beschriftung(Panel1, "LMenge", QStringLiteral("Menge:"));
    eMenge = named(new QLineEdit(Panel1), "eMenge");
    LXQKern = beschriftung(Panel1, "LXQKern", QStringLiteral("Soll-Kerntemperatur:"));
    eXQKern = named(new QLineEdit(Panel1), "eXQKern");
    Einheit_SollKT = beschriftung(Panel1, "Einheit_SollKT", QStringLiteral("°C"));
    PrgEraseBtn = knopf(Panel1, "PrgEraseBtn", QStringLiteral("Programm löschen"),
                        QStringLiteral("Löscht das angezeigte Backprogramm aus der Liste."));
    Button1 = knopf(Panel1, "Button1", QStringLiteral("Button1"));
    for (QWidget *w : std::initializer_list<QWidget *>{Edit1, Edit2, ePrgNameKy, Button1})
        w->hide();

    SG1 = named(new TStringGrid(BPrgPanel), "SG1");
    // Phase by phase, steam, fan and output; odd phases start off, even ones on. They are
    // components of the panel, where the translation finds them, until KnoepfeEinsetzen puts
    // them into their cells.
    for (int i = 1; i <= RasterPhasen; ++i) {
        auto knopfFuer = [this, i](const char *art, const QString &an, const QString &aus) {
            auto *b = new TChangeButton(BPrgPanel);
            b->setObjectName(QLatin1String(art) + QString::number(i));
            // As a loaded button: the state first, the texts after it, so the caption stays empty.
            b->SetZustand(i % 2 == 0);
            b->SetTrueText(an);
            b->SetFalseText(aus);
            return b;
        };
        SchwadenKnopf[size_t(i)] = knopfFuer("cbSch", QStringLiteral("auf"), QStringLiteral("zu"));
        UmwKnopf[size_t(i)] = knopfFuer("cbU", QStringLiteral("an"), QStringLiteral("aus"));
        AusgKnopf[size_t(i)] = knopfFuer("cbA", QStringLiteral("1"), QStringLiteral("0"));
    }
    m_summenZeile = new QWidget(BPrgPanel);
    GesBackzeit = beschriftung(m_summenZeile, "GesBackzeit", QStringLiteral("Ges.Backzeit:"));
    LRestzeiten = beschriftung(m_summenZeile, "LRestzeiten", QStringLiteral("Restzeiten:"));
    SchwadenRest = beschriftung(m_summenZeile, "SchwadenRest", QStringLiteral("SWRst"));
    AbzugRest = beschriftung(m_summenZeile, "AbzugRest", QStringLiteral("AbzRst"));
    UmwRest = beschriftung(m_summenZeile, "UmwRest", QStringLiteral("UmRst"));
    AusgRest = beschriftung(m_summenZeile, "AusgRest", QStringLiteral("AuRst"));
    EinzelBox = named(new QGroupBox(QStringLiteral("Einzelnes Programm: "), BPrgPanel), "EinzelBox");
    SpeichernPrg = knopf(EinzelBox, "SpeichernPrg", QStringLiteral("Speichern"));
    LadenPrg = knopf(EinzelBox, "LadenPrg", QStringLiteral("Laden"));
    SendenPrg = knopf(EinzelBox, "SendenPrg", QStringLiteral("PC -->> Ofen"));
    LesenPrg = knopf(EinzelBox, "LesenPrg", QStringLiteral("Ofen -->> PC"));
    ListenBox = named(new QGroupBox(QStringLiteral("Programm-Liste (Record):"), BPrgPanel), "ListenBox");
    SpeichernPrgListe = knopf(ListenBox, "SpeichernPrgListe", QStringLiteral("Speichern"));
    LadenPrgListe = knopf(ListenBox, "LadenPrgListe", QStringLiteral("Laden"));
    SendenPrgListe = knopf(ListenBox, "SendenPrgListe", QStringLiteral("PC -->> Ofen"));
    LesenPrgListe = knopf(ListenBox, "LesenPrgListe", QStringLiteral("Ofen -->> PC"));

    FortschrittsPanel = panel(this, "FortschrittsPanel");
    Gauge1 = named(new QProgressBar(FortschrittsPanel), "Gauge1");
    Label14 = beschriftung(FortschrittsPanel, "Label14", QStringLiteral("Backprogramme werden übertragen"));
    Label15 = beschriftung(FortschrittsPanel, "Label15", QStringLiteral("Backprogramm-Namen werden übertragen"));
    Label_ToPC = beschriftung(FortschrittsPanel, "Label_ToPC", QStringLiteral("(  -->> PC )"));
    Label_FromPC = beschriftung(FortschrittsPanel, "Label_FromPC", QStringLiteral("( PC -->> )"));
    Ausblenden = knopf(FortschrittsPanel, "Ausblenden", QStringLiteral("Ausblenden"));
    Cancel = knopf(FortschrittsPanel, "Cancel", QStringLiteral("Abbrechen"));
    for (QWidget *w : std::initializer_list<QWidget *>{Label15, Label_ToPC, Label_FromPC, FortschrittsPanel})
        w->hide();

    Lang = named(new QListWidget(this), "Lang");
    Lang->hide();

    OpenDialog = named(new TDateiDialog(TDateiDialog::Oeffnen, this), "OpenDialog");
    OpenDialog->Filter = QStringLiteral("XQ7310-Backprogramm (*.XQP)|*.XQP");
    OpenDialog->MultiSelect = true;
    SaveDialog = named(new TDateiDialog(TDateiDialog::Speichern, this), "SaveDialog");
    SaveDialog->Filter = OpenDialog->Filter;
    SaveDialog->DefaultExt = QStringLiteral("BPr");
    SaveDialog->FileName = QStringLiteral("NONAME");
    SaveDialog->OverwritePrompt = true;
    TimeOut = named(new TTimer(this, 60000, false), "TimeOut");
    SendallTimeout = named(new TTimer(this, 60000, false), "SendallTimeout");
    StartTimer = named(new TTimer(this, 100, false), "StartTimer");
}

void TwXQXGesamtListe::Anordnen()
{
    // ---- top bar ----
    auto *kopf = new QHBoxLayout(Kopfleiste);
    kopf->setContentsMargins(6, 4, 6, 4);
    kopf->addWidget(PintListBtn);
    kopf->addSpacing(12);
    kopf->addWidget(Label16);
    kopf->addWidget(OfenWahlBox);
    kopf->addWidget(Ofenname);
    kopf->addStretch(1);
    kopf->addWidget(DebugPanel);
    auto *debug = new QGridLayout(DebugPanel);
    debug->setContentsMargins(2, 2, 2, 2);
    debug->addWidget(DoDefaults_voll, 0, 0);
    debug->addWidget(Defaults_halb, 1, 0);
    debug->addWidget(Chk_v, 0, 1);
    debug->addWidget(Chk_h, 1, 1);
    debug->addWidget(Memo1, 0, 2, 2, 1);
    debug->addWidget(EnableAusgang, 0, 3);
    debug->addWidget(CheckMitKern, 1, 3);
    Memo1->setFixedSize(160, 48);

    // ---- name grid ----
    NamenListe->SetColCount(2);
    NamenListe->SetFixedCols(0);
    NamenListe->SetFixedRows(1);
    // The header and slot 0; the slots' rows come after the translation, which has no text for them.
    NamenListe->SetRowCount(2);
    NamenListe->setColumnWidth(0, 50);
    NamenListe->setColumnWidth(1, 249);
    NamenListe->setSelectionBehavior(QAbstractItemView::SelectRows);
    NamenListe->setSelectionMode(QAbstractItemView::ExtendedSelection);
    NamenListe->setEditTriggers(QAbstractItemView::NoEditTriggers);
    NamenListe->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    NamenListe->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    NamenListe->verticalHeader()->setDefaultSectionSize(20);
    NamenListe->verticalHeader()->setMinimumSectionSize(0);
    NamenListe->setFixedWidth(50 + 249 + NamenListe->verticalScrollBar()->sizeHint().width() + 2 * NamenListe->frameWidth());
    QFont mono = QFontDatabase::systemFont(QFontDatabase::FixedFont);
    NamenListe->setFont(mono);

    // ---- program head ----
    NrWahl->setMinimumWidth(64);
    ePrgName->setFont(mono);
    const QFontMetrics fm(mono);
    ePrgName->setFixedSize(fm.horizontalAdvance(QString(12, QLatin1Char('W'))) + 12, fm.lineSpacing() * 2 + 12);
    ePrgName->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    ePrgName->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    eMenge->setFixedWidth(64);
    eXQKern->setFixedWidth(64);
    auto *kopfFeld = new QGridLayout(Panel1);
    kopfFeld->setContentsMargins(8, 6, 8, 6);
    kopfFeld->setHorizontalSpacing(8);
    kopfFeld->addWidget(LNrWahl, 0, 0);
    kopfFeld->addWidget(NrWahl, 0, 1);
    kopfFeld->addWidget(PrgEraseBtn, 1, 0, 1, 2);
    kopfFeld->addWidget(LPrgName, 0, 2, Qt::AlignRight);
    kopfFeld->addWidget(ePrgName, 0, 3, 2, 1);
    kopfFeld->addWidget(LMenge, 0, 4, Qt::AlignRight);
    kopfFeld->addWidget(eMenge, 0, 5);
    kopfFeld->addWidget(LXQKern, 1, 4, Qt::AlignRight);
    kopfFeld->addWidget(eXQKern, 1, 5);
    kopfFeld->addWidget(Einheit_SollKT, 1, 6);
    kopfFeld->addWidget(Edit1, 2, 2, 1, 2);
    kopfFeld->addWidget(Edit2, 2, 4, 1, 2);
    kopfFeld->addWidget(ePrgNameKy, 3, 3);
    kopfFeld->addWidget(Button1, 3, 4);
    kopfFeld->setColumnStretch(7, 1);

    // ---- phase grid ----
    SG1->SetColCount(RasterSpalten);
    SG1->SetRowCount(RasterZeilen);
    SG1->SetFixedCols(1);
    SG1->SetFixedRows(1);
    int breite = 0;
    for (int c = 0; c < RasterSpalten; ++c) {
        SG1->setColumnWidth(c, SG1Breiten[c]);
        breite += SG1Breiten[c];
        if (!IstEditierSpalte(c))
            SG1->SetColReadOnly(c, true);
    }
    SG1->verticalHeader()->setDefaultSectionSize(SG1Zeilenhoehe);
    SG1->verticalHeader()->setMinimumSectionSize(SG1Zeilenhoehe);
    SG1->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    SG1->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    SG1->setFixedSize(breite + 2 * SG1->frameWidth(), RasterZeilen * SG1Zeilenhoehe + 2 * SG1->frameWidth());
    SG1->setTabKeyNavigation(true);
    SG1->setContextMenuPolicy(Qt::CustomContextMenu);

    // The rest labels sit under their columns.
    m_summenZeile->setFixedSize(SG1->width(), 2 * 22);
    auto spaltenX = [this](int col) {
        int x = SG1->frameWidth();
        for (int c = 0; c < col; ++c)
            x += SG1Breiten[c];
        return x;
    };
    GesBackzeit->setGeometry(spaltenX(0) + 2, 0, spaltenX(5) - 4, 20);
    LRestzeiten->setGeometry(spaltenX(0) + 2, 22, spaltenX(5) - 6, 20);
    LRestzeiten->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    const std::pair<QLabel *, int> reste[] = {
        {SchwadenRest, Spalte::Schwaden}, {AbzugRest, Spalte::AbzugZeit}, {UmwRest, Spalte::UmwZeit}, {AusgRest, Spalte::AusgZeit}};
    for (const auto &[label, col] : reste) {
        label->setGeometry(spaltenX(col), 22, SG1Breiten[col], 20);
        label->setAlignment(Qt::AlignCenter);
        label->setAutoFillBackground(true);
        label->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    }

    auto reihe = [](QGroupBox *box, std::initializer_list<QPushButton *> knoepfe) {
        auto *l = new QHBoxLayout(box);
        l->setContentsMargins(6, 4, 6, 6);
        for (QPushButton *b : knoepfe)
            l->addWidget(b);
    };
    reihe(EinzelBox, {SpeichernPrg, LadenPrg, SendenPrg, LesenPrg});
    reihe(ListenBox, {SpeichernPrgListe, LadenPrgListe, SendenPrgListe, LesenPrgListe});

    auto *prg = new QVBoxLayout(BPrgPanel);
    prg->setContentsMargins(6, 6, 6, 6);
    prg->addWidget(Panel1);
    prg->addSpacing(4);
    prg->addWidget(SG1);
    prg->addWidget(m_summenZeile);
    prg->addStretch(1);
    prg->addWidget(EinzelBox);
    prg->addWidget(ListenBox);
    BPrgPanel->setFixedWidth(SG1->width() + 14);

    // ---- progress panel, over the others while a transfer runs ----
    FortschrittsPanel->setFrameShape(QFrame::Panel);
    FortschrittsPanel->setFrameShadow(QFrame::Raised);
    FortschrittsPanel->setAutoFillBackground(true);
    FortschrittsPanel->setGeometry(8, 104, 800, 128);
    Label_ToPC->setGeometry(16, 15, 90, 20);
    Label_FromPC->setGeometry(16, 15, 90, 20);
    Label14->setGeometry(120, 14, 400, 20);
    Label15->setGeometry(120, 14, 400, 20);
    Gauge1->setGeometry(16, 48, 768, 24);
    Ausblenden->setGeometry(584, 88, 96, 28);
    Cancel->setGeometry(688, 88, 96, 28);

    // ---- window ----
    auto *namen = new QHBoxLayout;
    namen->setSpacing(2);
    namen->addWidget(NamenListe);
    namen->addWidget(UpDown1, 0, Qt::AlignVCenter);
    auto *mitte = new QHBoxLayout;
    mitte->setContentsMargins(6, 6, 6, 6);
    mitte->setSpacing(8);
    mitte->addLayout(namen);
    mitte->addWidget(BPrgPanel);
    auto *fenster = new QVBoxLayout(this);
    fenster->setContentsMargins(0, 0, 0, 0);
    fenster->setSpacing(0);
    fenster->setMenuBar(MainMenu1);
    fenster->addWidget(Kopfleiste);
    fenster->addLayout(mitte, 1);

    setTabOrder(NrWahl, ePrgName);
    setTabOrder(ePrgName, eMenge);
    setTabOrder(eMenge, eXQKern);
    setTabOrder(eXQKern, SG1);
    setTabOrder(SG1, NamenListe);
}

void TwXQXGesamtListe::KnoepfeEinsetzen()
{
    // The grid takes them as its own children: done after the translation, which would no
    // longer find them there.
    for (int r = 1; r <= RasterPhasen; ++r) {
        SG1->setIndexWidget(SG1->model()->index(r, Spalte::SchwadenKnopf), SchwadenKnopf[size_t(r)]);
        SG1->setIndexWidget(SG1->model()->index(r, Spalte::UmwKnopf), UmwKnopf[size_t(r)]);
        SG1->setIndexWidget(SG1->model()->index(r, Spalte::AusgKnopf), AusgKnopf[size_t(r)]);
    }
}

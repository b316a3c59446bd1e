#include "link/uXQXNachtstarts.h"

#include "app/Benannt.h"
#include "app/Dialoge.h"
#include "app/Sammlung.h"
#include "app/StringGrid.h"
#include "link/LinkZugang.h"
#include "link/uXQXKonstanten.h"
#include "translate/translate.h"

#include <QAction>
#include <QGroupBox>
#include <QHeaderView>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QRegularExpressionValidator>
#include <QStyledItemDelegate>

QPointer<TwXQXNachtStarts> wXQXNachtStarts;

namespace {
const int ClientBreite = 255;
const int ClientHoehe = 293;
const int Spaltenbreiten[] = {74, 36, 40, 39, 36};
const int Zeilenhoehe = 19;

const QString Tagnamen[NachtTage] = {QStringLiteral("Montag"),  QStringLiteral("Dienstag"),
                                     QStringLiteral("Mittwoch"), QStringLiteral("Donnerstag"),
                                     QStringLiteral("Freitag"),  QStringLiteral("Samstag"),
                                     QStringLiteral("Sonntag")};
const QString Kopf[NachtZellen] = {QStringLiteral("Std"), QStringLiteral("Min"), QStringLiteral("Std"),
                                   QStringLiteral("Min")};
const QString Dateifilter = QStringLiteral("XQ-Nachtstarts (*.XQN)|*.XQN");

// The file keeps a day's cells separated by ";" and a day to a line, so a ";" in a cell would
// shift the cells after it when the file is read back, and a line break would cut the day
// short: the cell editor refuses both.
class TNachtZellenDelegate : public QStyledItemDelegate
{
public:
    using QStyledItemDelegate::QStyledItemDelegate;
    QWidget *createEditor(QWidget *parent, const QStyleOptionViewItem &option, const QModelIndex &index) const override
    {
        QWidget *editor = QStyledItemDelegate::createEditor(parent, option, index);
        if (auto *edit = qobject_cast<QLineEdit *>(editor)) {
            edit->setObjectName(QStringLiteral("NachtZellenEdit"));
            edit->setValidator(new QRegularExpressionValidator(QRegularExpression(QStringLiteral("[^;\\r\\n]*")), edit));
        }
        return editor;
    }
};

QPushButton *knopf(QWidget *parent, const char *name, const QString &text, const QRect &geometry)
{
    auto *b = named(new QPushButton(text, parent), name);
    b->setGeometry(geometry);
    return b;
}
} // namespace

TwXQXNachtStarts::TwXQXNachtStarts(QWidget *parent)
    : QWidget(parent, Qt::Window | Qt::MSWindowsFixedSizeDialogHint | Qt::CustomizeWindowHint | Qt::WindowTitleHint
                          | Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint)
{
    setObjectName(QStringLiteral("wXQXNachtStarts"));
    setWindowTitle(QStringLiteral("Nachtstartzeiten"));
    // Closing hides the window; it lives as long as the main window.
    setAttribute(Qt::WA_QuitOnClose, false);
    QFont f(QStringLiteral("MS Sans Serif"));
    f.setPixelSize(11);
    setFont(f);
    setFixedSize(ClientBreite, ClientHoehe);

    BuildMenu();

    GroupBox1 = named(new QGroupBox(QStringLiteral("Nachtstartzeiten"), this), "GroupBox1");
    GroupBox1->setGeometry(4, 2, ClientBreite - 8, ClientHoehe - 6);

    NachtstartGrid = named(new TStringGrid(GroupBox1), "NachtstartGrid");
    NachtstartGrid->SetColCount(5);
    NachtstartGrid->SetRowCount(NachtTage + 1);
    NachtstartGrid->SetFixedCols(1);
    NachtstartGrid->SetFixedRows(1);
    NachtstartGrid->horizontalHeader()->setMinimumSectionSize(1);
    NachtstartGrid->verticalHeader()->setMinimumSectionSize(1);
    int breite = 0;
    for (int c = 0; c < 5; ++c) {
        NachtstartGrid->setColumnWidth(c, Spaltenbreiten[c]);
        breite += Spaltenbreiten[c];
    }
    for (int r = 0; r <= NachtTage; ++r)
        NachtstartGrid->setRowHeight(r, Zeilenhoehe);
    NachtstartGrid->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    NachtstartGrid->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    NachtstartGrid->setTabKeyNavigation(true);
    NachtstartGrid->setItemDelegate(new TNachtZellenDelegate(NachtstartGrid));
    const int rahmen = 2 * NachtstartGrid->frameWidth();
    const int gridBreite = breite + rahmen;
    const int gridHoehe = (NachtTage + 1) * Zeilenhoehe + rahmen;
    const int links = (GroupBox1->width() - gridBreite) / 2;
    NachtstartGrid->setGeometry(links, 20, gridBreite, gridHoehe);

    // The controller's two below the grid, the file's two below those.
    const int knopfBreite = gridBreite;
    int y = 20 + gridHoehe + 6;
    BtnReadNight = knopf(GroupBox1, "BtnReadNight", QStringLiteral("Nachtstartzeiten lesen"), QRect(links, y, knopfBreite, 23));
    BtnWriteNight = knopf(GroupBox1, "BtnWriteNight", QStringLiteral("Nachtstartzeiten senden"),
                          QRect(links, y += 25, knopfBreite, 23));
    NachtLoad = knopf(GroupBox1, "NachtLoad", QStringLiteral("Nachtstarts laden"), QRect(links, y += 29, knopfBreite, 23));
    NachtSave = knopf(GroupBox1, "NachtSave", QStringLiteral("Nachtstarts speichern"), QRect(links, y += 25, knopfBreite, 23));

    OpenDialog = named(new TDateiDialog(TDateiDialog::Oeffnen, this), "OpenDialog");
    OpenDialog->Title = QStringLiteral("Öffnen");
    OpenDialog->DefaultExt = QStringLiteral("XQN");
    OpenDialog->Filter = Dateifilter + QStringLiteral("|Alle Programme|*.*");
    SaveDialog = named(new TDateiDialog(TDateiDialog::Speichern, this), "SaveDialog");
    SaveDialog->Title = QStringLiteral("Speichern unter");
    SaveDialog->DefaultExt = QStringLiteral("XQN");
    SaveDialog->EndungErzwingen = true;
    SaveDialog->Filter = Dateifilter;

    connect(BtnReadNight, &QPushButton::clicked, this, &TwXQXNachtStarts::BtnReadNightClick);
    connect(BtnWriteNight, &QPushButton::clicked, this, &TwXQXNachtStarts::BtnWriteNightClick);
    connect(NachtLoad, &QPushButton::clicked, this, &TwXQXNachtStarts::NachtLoadClick);
    connect(NachtSave, &QPushButton::clicked, this, &TwXQXNachtStarts::NachtSaveClick);
    connect(Oeffnen1, &QAction::triggered, this, &TwXQXNachtStarts::NachtLoadClick);
    connect(Empfangen1, &QAction::triggered, this, &TwXQXNachtStarts::BtnReadNightClick);
    connect(Senden1, &QAction::triggered, this, &TwXQXNachtStarts::BtnWriteNightClick);
    // The main window relays whichever link is current, so one connection holds for the run.
    if (TLinkZugang *zugang = LinkZugang())
        connect(zugang, &TLinkZugang::NachtstartsAnzeigen, this, &TwXQXNachtStarts::NachtstartsAnzeigen);

    RegisterWindow(this);
    FormCreate();
}

void TwXQXNachtStarts::BuildMenu()
{
    MainMenu1 = named(new QMenuBar(this), "MainMenu1");
    Datei1 = named(MainMenu1->addMenu(QStringLiteral("&Datei")), "Datei1");
    Neu1 = named(Datei1->addMenu(QStringLiteral("&Neu")), "Neu1");
    Etagenofen1 = named(Neu1->addAction(QStringLiteral("Etagenofen")), "Etagenofen1");
    Stikkenofen1 = named(Neu1->addAction(QStringLiteral("Stikkenofen")), "Stikkenofen1");
    Oeffnen1 = named(Datei1->addAction(QStringLiteral("&Öffnen")), "Oeffnen1");
    Schliessen1 = named(Datei1->addAction(QStringLiteral("&Schließen")), "Schliessen1");
    Empfangen1 = named(Datei1->addAction(QStringLiteral("&Empfangen")), "Empfangen1");
    Senden1 = named(Datei1->addAction(QStringLiteral("&Senden")), "Senden1");
    Sendenan1 = named(Datei1->addAction(QStringLiteral("Senden &an")), "Sendenan1");
    Speichern1 = named(Datei1->addAction(QStringLiteral("Speichern")), "Speichern1");
    Druckereinrichten1 = named(Datei1->addAction(QStringLiteral("Drucker einrichten")), "Druckereinrichten1");
    Beenden1 = named(Datei1->addAction(QStringLiteral("&Beenden")), "Beenden1");
    for (QAction *versteckt : {Neu1->menuAction(), Schliessen1, Sendenan1, Druckereinrichten1})
        versteckt->setVisible(false);
    // Hidden as a whole: only the four buttons are reachable.
    Datei1->menuAction()->setVisible(false);
    MainMenu1->hide();
}

void TwXQXNachtStarts::FormCreate()
{
    TranslateForm(QStringLiteral("TwXQXNachtStarts"));
    // Set after the translation, so they stay German.
    for (int c = 0; c < NachtZellen; ++c)
        NachtstartGrid->setCell(c + 1, 0, Kopf[c]);
    for (int r = 0; r < NachtTage; ++r)
        NachtstartGrid->setCell(0, r + 1, Tagnamen[r]);
    GridLeeren();
    // Typing starts in Monday's first hour, as in any string grid.
    NachtstartGrid->setCurrentCell(1, 1, QItemSelectionModel::NoUpdate);
}

void TwXQXNachtStarts::GridLeeren()
{
    TabelleZeigen(TNachtTabelle{});
}

TNachtTabelle TwXQXNachtStarts::Tabelle() const
{
    TNachtTabelle t;
    for (int r = 0; r < NachtTage; ++r)
        for (int c = 0; c < NachtZellen; ++c)
            t[r][c] = NachtstartGrid->cell(c + 1, r + 1);
    return t;
}

void TwXQXNachtStarts::TabelleZeigen(const TNachtTabelle &tabelle)
{
    for (int r = 0; r < NachtTage; ++r)
        for (int c = 0; c < NachtZellen; ++c)
            NachtstartGrid->setCell(c + 1, r + 1, tabelle[r][c]);
}

void TwXQXNachtStarts::BefehlSenden(const NeuerBefehl &befehl, const QByteArray &param)
{
    if (TLinkZugang *zugang = LinkZugang())
        zugang->LinkBefehlSenden(QByteArray(), befehl, param);
}

void TwXQXNachtStarts::BtnReadNightClick()
{
    GridLeeren();
    BefehlSenden(SB_NAST, QByteArray());
}

void TwXQXNachtStarts::BtnWriteNightClick()
{
    BefehlSenden(SB_NAST, NachtstarttextBauen(Tabelle()));
}

void TwXQXNachtStarts::NachtstartsAnzeigen(const QByteArray &text)
{
    TNachtTabelle t = Tabelle();
    NachtstarttextZeigen(text, t);
    TabelleZeigen(t);
}

void TwXQXNachtStarts::NachtSaveClick()
{
    SaveDialog->InitialDir = BPrgXQDir;
    SaveDialog->FileName = QStringLiteral("Nachtstarts");
    if (!SaveDialog->Execute(this))
        return;
    if (!NachtstartdateiSchreiben(SaveDialog->FileName, Tabelle()))
        ShowMessageBox(this, TBoxKind::Critical, QStringLiteral("Fehler"),
                       QStringLiteral("In %1 kann nicht geschrieben werden").arg(SaveDialog->FileName));
}

void TwXQXNachtStarts::NachtLoadClick()
{
    OpenDialog->InitialDir = BPrgXQDir;
    if (!OpenDialog->Execute(this))
        return;
    TNachtTabelle t = Tabelle();
    // A file that cannot be read must not show as a table without starts.
    if (!NachtstartdateiLesen(OpenDialog->FileName, t)) {
        ShowMessageBox(this, TBoxKind::Critical, QStringLiteral("Fehler"),
                       QStringLiteral("%1 kann nicht gelesen werden").arg(OpenDialog->FileName));
        return;
    }
    TabelleZeigen(t);
}

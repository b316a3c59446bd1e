#pragma once
// The night-start window: the controller's weekly night starts as a grid of hours and minutes,
// read from and sent to the controller, loaded from and saved to ".XQN" files.
#include <QByteArray>
#include <QPointer>
#include <QWidget>

#include "link/Nachtstarts.h"

class QAction;
class QGroupBox;
class QMenu;
class QMenuBar;
class QPushButton;
class TDateiDialog;
class TStringGrid;
struct NeuerBefehl;

class TwXQXNachtStarts : public QWidget
{
    Q_OBJECT
public:
    explicit TwXQXNachtStarts(QWidget *parent = nullptr);

    void BtnReadNightClick();
    void BtnWriteNightClick();
    // The controller's reply text between "nast" and EOT.
    void NachtstartsAnzeigen(const QByteArray &text);
    void NachtLoadClick();
    void NachtSaveClick();
    // Connection set-up of the main window, then its link's queue.
    void BefehlSenden(const NeuerBefehl &befehl, const QByteArray &param);
    // Empties the 28 data cells.
    void GridLeeren();

    // The data cells, Monday first.
    TNachtTabelle Tabelle() const;
    void TabelleZeigen(const TNachtTabelle &tabelle);

    // ---- components ----
    QMenuBar *MainMenu1 = nullptr;
    QMenu *Datei1 = nullptr;
    QMenu *Neu1 = nullptr;
    QAction *Etagenofen1 = nullptr;
    QAction *Stikkenofen1 = nullptr;
    QAction *Oeffnen1 = nullptr;
    QAction *Schliessen1 = nullptr;
    QAction *Empfangen1 = nullptr;
    QAction *Senden1 = nullptr;
    QAction *Sendenan1 = nullptr;
    QAction *Speichern1 = nullptr;
    QAction *Druckereinrichten1 = nullptr;
    QAction *Beenden1 = nullptr;
    QGroupBox *GroupBox1 = nullptr;
    TStringGrid *NachtstartGrid = nullptr;
    QPushButton *BtnReadNight = nullptr;
    QPushButton *BtnWriteNight = nullptr;
    QPushButton *NachtLoad = nullptr;
    QPushButton *NachtSave = nullptr;
    TDateiDialog *OpenDialog = nullptr;
    TDateiDialog *SaveDialog = nullptr;

private:
    void BuildMenu();
    void FormCreate();
};

// Empty once the window has been destroyed with the main window.
extern QPointer<TwXQXNachtStarts> wXQXNachtStarts;

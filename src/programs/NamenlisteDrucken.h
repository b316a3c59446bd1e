#pragma once
// The list editor's prints: the name list (slot numbers and names in four columns, 100 slots
// per print job, on the default printer) and the hand-off of the programs to the report window.
#include <QList>
#include <QString>
#include <QStringList>
#include <functional>
#include <utility>

class QPrinter;
class QWidget;

// The two lines of a name as the name grid shows it (20 characters): characters 1 to 10 and
// 11 to 20; both empty for the free slot.
QString NameTeil1(const QString &zelle);
QString NameTeil2(const QString &zelle);

// One text of the name list: position in 0.1 mm from the printable area's top left with y
// downward, font and its cell height in the same units; left and top aligned, or centred
// horizontally on x.
struct TNamenlisteText
{
    int X = 0;
    int Y = 0;
    QString Text;
    QString Schrift;
    int Hoehe = 0;
    bool Zentriert = false;
};

struct TNamenlisteSeite
{
    int W = 0;
    int H = 0;
    int ColW = 0;
    double Scale = 0;
    QList<TNamenlisteText> Texte;
};

// Page `teil` (0: slots 0..99, 1: slots 100..199) on a printable area of breiteMm x hoeheMm
// whole millimetres. `namen` holds the name grid's texts of slots 0..199.
TNamenlisteSeite NamenlisteLayout(int breiteMm, int hoeheMm, int teil, const QStringList &namen,
                                  const QString &ueberschrift);

// TxtUebersicht followed by the file-name part of the list file.
QString NamenlisteUeberschrift(const QString &txtUebersicht, const QString &listeDateiName);

// The two print jobs "Kelvor Namenliste Teil 1" and "... Teil 2" on `drucker`. A printer that
// cannot print gets the printer message and nothing is printed; false then.
bool NamenlisteDrucken(QPrinter &drucker, const QStringList &namen, const QString &ueberschrift, QWidget *parent);
// The same on the default printer.
bool NamenlisteDrucken(const QStringList &namen, const QString &ueberschrift, QWidget *parent);

// ---- hand-off of the programs to the report window ----
// The editor's checks before a print (operation 3): the list check, and for the marked
// programs also the check of the program in the editor.
struct TDruckPruefungen
{
    std::function<bool()> ListePruefen;
    std::function<bool()> GridZuProgramm;
};
// Receives the slot range the report window is to print.
using TListeDrucken = std::function<void(quint8 von, quint8 bis)>;

// The slots of the marked name-grid rows top..bottom (row = slot + 1), kept to 0..199.
std::pair<quint8, quint8> MarkierteSlots(int top, int bottom);
// The list check, then the program check, then the print of the marked slots; false when a
// check stopped it.
bool DruckUebergabeMarkierte(int top, int bottom, const TDruckPruefungen &pruefungen, const TListeDrucken &drucken);
// The list check, then the print of slots 1..199.
bool DruckUebergabeAlle(const TDruckPruefungen &pruefungen, const TListeDrucken &drucken);

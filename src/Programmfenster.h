#pragma once
// The program's windows, created in their fixed order; the program entry and the tests use it.
#include <QStringList>

class TwKelvor;

// Creates the eight windows in the program's order, each handler running as its window is
// made: TwKelvor (main window, FormCreate with `arguments`), TfVersion, TwXQXNachtStarts,
// TAboutBox, TRavePreviewForm_NQ_dt, TRPSetupForm_NQ_dt, TwXQXGesamtListe, TwRaveDrucken.
// The main window owns the others; deleting it deletes them all.
TwKelvor *FensterErzeugen(const QStringList &arguments);

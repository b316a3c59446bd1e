#include "Programmfenster.h"

#include "app/About.h"
#include "app/Version.h"
#include "link/uKelvor.h"
#include "programs/uXQXGesamtListe.h"

TwKelvor *FensterErzeugen(const QStringList &arguments)
{
    auto *kelvor = new TwKelvor;
    kelvor->FormCreate(arguments);
    fVersion = new TfVersion(kelvor); // never shown; holds the version text
    AboutBox = new TAboutBox(kelvor); // shown modally to the main window by "Info"
    wXQXGesamtListe = new TwXQXGesamtListe(kelvor); // shown by "Backprogrammfenster"
    return kelvor;
}

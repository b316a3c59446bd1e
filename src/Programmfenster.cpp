#include "Programmfenster.h"

#include "app/About.h"
#include "app/Version.h"
#include "link/uKelvor.h"
#include "link/uXQXNachtstarts.h"
#include "printing/RpFormPreview_NQ_dt.h"
#include "printing/RpFormSetup_NQ_dt.h"
#include "printing/uRaveDrucken.h"
#include "programs/uXQXGesamtListe.h"

TwKelvor *FensterErzeugen(const QStringList &arguments)
{
    auto *kelvor = new TwKelvor;
    kelvor->FormCreate(arguments);
    fVersion = new TfVersion(kelvor); // never shown; holds the version text
    wXQXNachtStarts = new TwXQXNachtStarts(kelvor);
    AboutBox = new TAboutBox(kelvor); // shown modally to the main window by "Info"
    RavePreviewForm_NQ_dt = new TRavePreviewForm_NQ_dt(kelvor); // hidden; the report runs show it
    RPSetupForm_NQ_dt = new TRPSetupForm_NQ_dt(kelvor);         // hidden; the report runs show it
    wXQXGesamtListe = new TwXQXGesamtListe(kelvor); // shown by "Backprogrammfenster"
    wRaveDrucken = new TwRaveDrucken(kelvor);                   // never shown; the list editor prints through it
    return kelvor;
}

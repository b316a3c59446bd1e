#include "Programmfenster.h"

#include "app/About.h"
#include "app/Version.h"
#include "link/uKelvor.h"
#include "link/uXQXNachtstarts.h"
#include "printing/RpFormPreview_NQ_dt.h"
#include "printing/RpFormSetup_NQ_dt.h"
#include "printing/uRaveDrucken.h"
#include "programs/uXQXGesamtListe.h"

#include <QThreadPool>

TwKelvor *FensterErzeugen(const QStringList &arguments)
{
    // The raster engine hands every longer fill (a list's scroll bar, say) to the global pool
    // and waits for it: for windows this small, waking a thread per segment costs more than
    // the split saves. One helper keeps that to a single wake-up.
    QThreadPool::globalInstance()->setMaxThreadCount(1);
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

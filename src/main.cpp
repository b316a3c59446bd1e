#include "app/About.h"
#include "app/Sammlung.h"
#include "app/Version.h"
#include "link/uKelvor.h"

#include <QApplication>

int main(int argc, char **argv)
{
    // The program's folder is known only once the application object exists.
    QApplication app(argc, argv);
    InitVerzeichnisse();
    QApplication::setApplicationName(QStringLiteral("Kelvor"));

    // The windows are created here, in this order, each handler running as its window is
    // made: TwKelvor (main window), TfVersion, TwXQXNachtStarts, TAboutBox,
    // TRavePreviewForm_NQ_dt, TRPSetupForm_NQ_dt, TwXQXGesamtListe, TwRaveDrucken.
    auto *kelvor = new TwKelvor;
    kelvor->FormCreate(QApplication::arguments());
    fVersion = new TfVersion(kelvor); // never shown; holds the version text
    AboutBox = new TAboutBox(kelvor); // shown modally to the main window by "Info"
    kelvor->show();
    // Then the message loop runs until the main window closes.
    return app.exec();
}

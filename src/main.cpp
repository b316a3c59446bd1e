#include "Programmfenster.h"
#include "app/QtSprache.h"
#include "app/Sammlung.h"
#include "link/uKelvor.h"

#include <QApplication>

int main(int argc, char **argv)
{
    // The program's folder is known only once the application object exists.
    QApplication app(argc, argv);
    // Qt's own buttons and dialogs in German; the main window's creation follows the chosen language.
    QtUebersetzungLaden();
    InitVerzeichnisse();
    QApplication::setApplicationName(QStringLiteral("Kelvor"));

    TwKelvor *kelvor = FensterErzeugen(QApplication::arguments());
    kelvor->show();
    // Then the message loop runs until the main window closes.
    return app.exec();
}

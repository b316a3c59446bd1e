#include "app/About.h"
#include "app/Version.h"

#include <QLabel>
#include <QtTest>

class TstVersion : public QObject
{
    Q_OBJECT
private slots:
    void aboutBoxShowsVersionAndTag()
    {
        QCOMPARE(VersionTextOf(10, 20, 30, 40), QStringLiteral("10.20.30 [Build 40]"));
        TfVersion version;
        fVersion = &version;
        TAboutBox box;
        box.VersionZusatz = QStringLiteral("QUAMP");
        box.show();
        QCOMPARE(box.Version->text(), QStringLiteral("Version 2.0.0 [Build 2] (QUAMP)"));
        QCOMPARE(box.windowTitle(), QStringLiteral("Info"));
        fVersion = nullptr;
    }
};

QTEST_MAIN(TstVersion)
#include "tst_Version.moc"

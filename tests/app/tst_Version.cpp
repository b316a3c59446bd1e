#include "About.h"
#include "Version.h"

#include <QLabel>
#include <QtTest>

class TstVersion : public QObject
{
    Q_OBJECT
private slots:
    void versionText()
    {
        QCOMPARE(VersionTextOf(2, 0, 0, 2), QStringLiteral("2.0.0 [Build 2]"));
        QCOMPARE(VersionTextOf(10, 20, 30, 40), QStringLiteral("10.20.30 [Build 40]"));
        QCOMPARE(TfVersion::ExtractVersionInfo(), QStringLiteral("2.0.0 [Build 2]"));
    }

    void aboutBoxShowsVersionAndTag()
    {
        TfVersion version;
        fVersion = &version;
        TAboutBox box;
        box.show();
        QCOMPARE(box.Version->text(), QStringLiteral("Version 2.0.0 [Build 2]"));
        box.hide();
        box.VersionZusatz = QStringLiteral("QUAMP");
        box.show();
        QCOMPARE(box.Version->text(), QStringLiteral("Version 2.0.0 [Build 2] (QUAMP)"));
        QCOMPARE(box.windowTitle(), QStringLiteral("Info"));
        fVersion = nullptr;
    }
};

QTEST_MAIN(TstVersion)
#include "tst_Version.moc"

#include "app/IniDatei.h"
#include "app/Sammlung.h"
#include "support/TestUmgebung.h"

#include <QDirIterator>
#include <QtTest>

namespace {

// Every folder or file below `root`, relative, sorted.
QStringList entries(const QString &root, QDir::Filters kind)
{
    QStringList out;
    QDirIterator it(root, kind | QDir::NoDotAndDotDot, QDirIterator::Subdirectories);
    while (it.hasNext())
        out << QDir(root).relativeFilePath(it.next());
    out.sort();
    return out;
}

} // namespace

class TstStart : public QObject
{
    Q_OBJECT
private slots:
    void freshFolder()
    {
        TTestUmgebung env;
        MaxGroesseErr = 200;
        InitVerzeichnisse();
        const QString root = env.path(QStringLiteral("prog"));
        QCOMPARE(ExeDir, env.exeDir());
        QCOMPARE(IniDateiName, env.exeDir() + QStringLiteral("Vantrel2004.INI"));
        QCOMPARE(BPrgXQDir, QDir::toNativeSeparators(env.exeDir() + QStringLiteral("Backprogramme/XQ")));
        QCOMPARE(entries(root, QDir::Dirs),
                 (QStringList{"Backprogramme", "Backprogramme/JD", "Backprogramme/KVT", "Backprogramme/Lindorm",
                              "Backprogramme/Sepira", "Backprogramme/XQ", "Grafik", "Grafik/TRN"}));
        QCOMPARE(entries(root, QDir::Files), QStringList{"Vantrel2004.INI"});

        const QByteArray bytes = dateiLesen(IniDateiName);
        QVERIFY(!crLfZeilen(bytes).isEmpty());
        const TIniDatei ini = TIniDatei::fromBytes(bytes);
        QCOMPARE(ini.readString("VERSION", "INI-Version", "#ERR"), QByteArray("V.001.011"));
        QCOMPARE(ini.keys("Messages"), (QList<QByteArray>{"ShowTextTime", "ShowErrTime", "MaxZeilenZahlLog_Datei",
                                                          "MaxZeilenZahlErr_Datei", "MaxGroesseErr_Datei(kB)"}));
        const QList<QByteArray> defaults{"3000", "5000", "5000", "5000", "500"};
        for (int i = 0; i < defaults.size(); ++i)
            QCOMPARE(ini.readString("Messages", ini.keys("Messages").at(i), "#ERR"), defaults.at(i));
        QCOMPARE(MaxGroesseErr, 500 * 1024);
    }

    void secondStartChangesNothing()
    {
        TTestUmgebung env;
        InitVerzeichnisse();
        QVERIFY(WriteProfileString(IniDateiName, "Messages", "MaxZeilenZahlLog_Datei", "7000"));
        QVERIFY(WriteProfileString(IniDateiName, "Vantrel", "Fremd", "bleibt"));
        const QString root = env.path(QStringLiteral("prog"));
        const QStringList dirs = entries(root, QDir::Dirs);
        const QByteArray bytes = dateiLesen(IniDateiName);
        InitVerzeichnisse();
        QCOMPARE(entries(root, QDir::Dirs), dirs);
        QCOMPARE(entries(root, QDir::Files), QStringList{"Vantrel2004.INI"});
        QCOMPARE(dateiLesen(IniDateiName), bytes);
        QCOMPARE(MaxZeilenZahlLog, 7000);
    }
};

QTEST_MAIN(TstStart)
#include "tst_Start.moc"

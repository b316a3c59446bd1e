#include "IniDatei.h"
#include "Sammlung.h"
#include "TestUmgebung.h"

#include <QDirIterator>
#include <QFile>
#include <QtTest>

namespace {

// Every folder and file below `root`, relative, with "/" between the parts.
QStringList entries(const QString &root, QDir::Filters kind)
{
    QStringList out;
    QDirIterator it(root, kind | QDir::NoDotAndDotDot, QDirIterator::Subdirectories);
    while (it.hasNext())
        out << QDir(root).relativeFilePath(it.next());
    out.sort();
    return out;
}

QByteArray readAll(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

} // namespace

class TstStart : public QObject
{
    Q_OBJECT
private slots:
    void freshFolder()
    {
        TTestUmgebung env;
        ExeDir = QStringLiteral("stale");
        MaxGroesseErr = 200;
        InitVerzeichnisse();

        const QString root = env.path(QStringLiteral("prog"));
        const QChar sep = QDir::separator();
        QCOMPARE(ExeDir, env.exeDir());
        QCOMPARE(IniDateiName, env.exeDir() + QStringLiteral("Vantrel2004.INI"));
        QCOMPARE(BPrgXQDir, env.exeDir() + QStringLiteral("Backprogramme") + sep + QStringLiteral("XQ"));
        QVERIFY(!BPrgXQDir.endsWith(sep));
        QCOMPARE(entries(root, QDir::Dirs),
                 (QStringList{"Backprogramme", "Backprogramme/JD", "Backprogramme/KVT", "Backprogramme/Lindorm",
                              "Backprogramme/Sepira", "Backprogramme/XQ", "Grafik", "Grafik/TRN"}));
        QCOMPARE(entries(root, QDir::Files), QStringList{"Vantrel2004.INI"});

        const QByteArray bytes = readAll(IniDateiName);
        QCOMPARE(bytes.count('\n'), bytes.count("\r\n"));
        TIniDatei ini = TIniDatei::fromBytes(bytes);
        QCOMPARE(ini.readString("VERSION", "INI-Version", "#ERR"), QByteArray("V.001.011"));
        QCOMPARE(ini.keys("Messages"), (QList<QByteArray>{"ShowTextTime", "ShowErrTime", "MaxZeilenZahlLog_Datei",
                                                          "MaxZeilenZahlErr_Datei", "MaxGroesseErr_Datei(kB)"}));
        const QList<QByteArray> defaults{"3000", "5000", "5000", "5000", "500"};
        for (int i = 0; i < defaults.size(); ++i)
            QCOMPARE(ini.readString("Messages", ini.keys("Messages").at(i), "#ERR"), defaults.at(i));

        QCOMPARE(StartShowTextTime, 3000);
        QCOMPARE(StartShowErrTime, 5000);
        QCOMPARE(MaxZeilenZahlLog, 5000);
        QCOMPARE(MaxZeilenZahlErr, 5000);
        QCOMPARE(MaxGroesseErr, 500 * 1024);
    }

    void secondStartChangesNothing()
    {
        TTestUmgebung env;
        InitVerzeichnisse();
        QVERIFY(WriteProfileString(IniDateiName, "Messages", "MaxZeilenZahlLog_Datei", "7000"));
        QVERIFY(WriteProfileString(IniDateiName, "Messages", "MaxGroesseErr_Datei(kB)", "0"));
        QVERIFY(WriteProfileString(IniDateiName, "Vantrel", "Fremd", "bleibt"));
        const QString root = env.path(QStringLiteral("prog"));
        const QStringList dirs = entries(root, QDir::Dirs);
        const QStringList files = entries(root, QDir::Files);
        const QByteArray bytes = readAll(IniDateiName);

        InitVerzeichnisse();
        QCOMPARE(entries(root, QDir::Dirs), dirs);
        QCOMPARE(entries(root, QDir::Files), files);
        QCOMPARE(readAll(IniDateiName), bytes);
        QCOMPARE(MaxZeilenZahlLog, 7000);
        QCOMPARE(MaxGroesseErr, 0);
    }
};

QTEST_MAIN(TstStart)
#include "tst_Start.moc"

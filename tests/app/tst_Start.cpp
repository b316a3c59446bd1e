#include "app/Dateischreiben.h"
#include "app/IniDatei.h"
#include "app/Sammlung.h"
#include "link/uXQXKonstanten.h"
#include "support/TestUmgebung.h"

#include <QDirIterator>
#include <QtTest>

#include <memory>

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
    void cleanup() { SetWriteFailureAfterBytes(-1); }

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

    // Every write of the shared file may overwrite what the sibling program wrote a moment
    // before: a start whose values are all there writes nothing at all.
    void secondStartChangesNothing()
    {
        TTestUmgebung env;
        InitVerzeichnisse();
        IniBPrgAusgang(); // the main window's reads
        QVERIFY(WriteProfileString(IniDateiName, "Messages", "MaxZeilenZahlLog_Datei", "7000"));
        QVERIFY(WriteProfileString(IniDateiName, "Vantrel", "Fremd", "bleibt"));
        QVERIFY(WriteProfileString(IniDateiName, "XQ7310-Server", "BPrg-Ausgang", "3"));
        const QString root = env.path(QStringLiteral("prog"));
        const QStringList dirs = entries(root, QDir::Dirs);
        const QByteArray bytes = dateiLesen(IniDateiName);
        SetWriteFailureAfterBytes(0); // a write would now fail and give the defaults
        InitVerzeichnisse();
        QCOMPARE(IniShowTextTime() + IniShowErrTime() + IniBPrgAusgang(), 3000 + 5000 + 3);
        QCOMPARE(entries(root, QDir::Dirs), dirs);
        QCOMPARE(entries(root, QDir::Files), QStringList{"Vantrel2004.INI"});
        QCOMPARE(dateiLesen(IniDateiName), bytes);
        QCOMPARE(MaxZeilenZahlLog, 7000);
    }

#ifndef Q_OS_WIN
    // Legal in a folder name here; cleaning them out of whole paths led to folders that do
    // not exist, so error lines were lost and lists could be neither saved nor read.
    void oddCharactersInFolderNames()
    {
        TTestUmgebung env;
        const QString odd = env.path(QStringLiteral("Back\"*<>?|"));
        QVERIFY(QDir().mkpath(odd));
        SetProgramFile(odd, QStringLiteral("kelvor"));
        InitVerzeichnisse();
        QCOMPARE(ExeDir, odd + QDir::separator());
        QVERIFY(QFileInfo(odd + QStringLiteral("/Backprogramme/XQ")).isDir());
        QVERIFY(QFileInfo::exists(odd + QStringLiteral("/Vantrel2004.INI")));

        WriteErrorLog(QStringLiteral("Kelvor"), QStringLiteral("Zeile"));
        QVERIFY(heuteFehlerdatei().endsWith(": Zeile\r\n"));

        auto liste = std::make_unique<TBackprogrammListe>();
        for (TBackprogramm &rec : *liste)
            InitBPrgRecord(rec);
        (*liste)[7].Name.setText("Roggen");
        const QString name = BPrgXQDir + QStringLiteral("/Liste?.XQR"); // the file's own name is cleaned
        QVERIFY(BPrgListeSpeichern(name, *liste));
        QVERIFY(QFileInfo::exists(BPrgXQDir + QStringLiteral("/Liste .XQR")));
        auto gelesen = std::make_unique<TBackprogrammListe>();
        QVERIFY(BPrgListeLesen(name, *gelesen));
        QCOMPARE((*gelesen)[7], (*liste)[7]);
        QVERIFY(env.dialoge().boxes().isEmpty());
    }
#endif
};

QTEST_MAIN(TstStart)
#include "tst_Start.moc"

#include "app/Sammlung.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>

QString ExeDir;
QString IniDateiName;
QString BPrgXQDir;
bool ServiceMode = false;
bool CyrillicMode = false;
bool CyrillicDebug = false;
bool LiterModus = false;
bool StartTimerFreigabe = false;
bool SummeKleinerIstFehler = true;
QString TemperaturEinheit = QStringLiteral("°C");
int MaxSollTempStandard = 400;
int BPrgAusgang = 0;
QString ErrLogName;
int MaxZeilenZahlLog = 5000;
int MaxZeilenZahlErr = 5000;
int MaxGroesseErr = 200;
int StartShowTextTime = 3000;
int StartShowErrTime = 5000;
QStringList Programmordner;
QString GrafikDir;
QString GrafikTrnDir;
bool Closing = false;
bool DiagView = false;

namespace {
QString g_programFolder;
QString g_programFileName;
}

void SetProgramFile(const QString &folder, const QString &fileName)
{
    g_programFolder = folder;
    g_programFileName = fileName;
}

QString ProgramFolder()
{
    if (!g_programFolder.isEmpty())
        return g_programFolder;
    return QCoreApplication::applicationDirPath();
}

QString ProgramFileName()
{
    if (!g_programFileName.isEmpty())
        return g_programFileName;
    return QFileInfo(QCoreApplication::applicationFilePath()).fileName();
}

void InitVerzeichnisse()
{
    const QChar sep = QDir::separator();
    ExeDir = QDir::toNativeSeparators(ProgramFolder());
    if (!ExeDir.endsWith(sep))
        ExeDir += sep;

    IniDateiName = ExeDir + QStringLiteral("Vantrel2004.INI");
    // The sibling server program's files, bitmaps, "Data" and "Sound" share this layout but
    // are neither created nor read here.
    const QString programme = ExeDir + QStringLiteral("Backprogramme") + sep;
    Programmordner.clear();
    for (const char *familie : {"KVT", "JD", "XQ", "Lindorm", "Lindorm_45", "Sepira"})
        Programmordner << programme + QLatin1String(familie);
    BPrgXQDir = Programmordner.at(2);
    GrafikDir = ExeDir + QStringLiteral("Grafik");
    GrafikTrnDir = GrafikDir + sep + QStringLiteral("TRN") + sep;

    // A folder that cannot be created is not reported; whoever needs it finds out then.
    for (int i : {5, 0, 1, 2, 3})
        QDir().mkpath(Programmordner.at(i));
    QDir().mkpath(GrafikDir);

    StartShowTextTime = IniShowTextTime();
    StartShowErrTime = IniShowErrTime();
    MaxZeilenZahlLog = IniMaxZeilenLog();
    MaxZeilenZahlErr = IniMaxZeilenErr();
    MaxGroesseErr = IniMaxGroesseErr();

    QDir().mkpath(GrafikTrnDir);
}

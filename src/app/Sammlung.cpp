#include "Sammlung.h"

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

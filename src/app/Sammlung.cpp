#include "Sammlung.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>

QString ExeDir;

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

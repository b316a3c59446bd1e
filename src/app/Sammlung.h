#pragma once
// Shared data of the program: the folder and file-name table, the shared switches and values.
#include <QString>

// Folder of the program file, ending in the platform separator.
extern QString ExeDir;

// Test seam: the folder and file name that stand for the program file (default: the real one).
void SetProgramFile(const QString &folder, const QString &fileName);
QString ProgramFolder();
QString ProgramFileName();

#pragma once
// Shared data of the program: the folder and file-name table, the shared switches and values,
// the error files and the shared text routines.
#include <QByteArray>
#include <QByteArrayView>
#include <QDate>
#include <QDateTime>
#include <QString>

// ---- folder and file-name table, shared switches --------------------------------------
// Folder of the program file, ending in the platform separator.
extern QString ExeDir;

// Test seam: the folder and file name that stand for the program file (default: the real one).
void SetProgramFile(const QString &folder, const QString &fileName);
QString ProgramFolder();
QString ProgramFileName();

extern QString IniDateiName;
extern QString BPrgXQDir;
extern bool ServiceMode;
extern bool CyrillicMode;
extern bool CyrillicDebug;
extern bool LiterModus;
extern bool StartTimerFreigabe;
extern bool SummeKleinerIstFehler;
extern QString TemperaturEinheit;
extern int MaxSollTempStandard;
extern int BPrgAusgang;
extern QString ErrLogName;
extern int MaxZeilenZahlLog;
extern int MaxZeilenZahlErr;
// Error-file size limit in bytes; 0 or below means no limit.
extern int MaxGroesseErr;

// ---- time stamps -------------------------------------------------------------------------
// "dd.MM.yyyy HH:mm:ss" whatever the system locale; the time is left out at exactly midnight.
QString ZeitStempel(const QDateTime &when);

// ---- error files ---------------------------------------------------------------------------
QString LogDayDir(const QDate &day);
void WriteDayLog(const QString &name, const QString &text, qint64 maxBytes);
// An empty name stands for the program file's name without its extension.
void WriteErrorLog(const QString &name, const QString &text);

// ---- shared text routines --------------------------------------------------------------------
bool MakeSingleLine(QString &s);
bool CheckFileName(QString &s);
// Program names are bytes in the ANSI code page.
QByteArray JoinNameLines(const QByteArray &s);
QByteArray JoinNameLinesTrim(const QByteArray &s);
QByteArray FormatName20(const QByteArray &s);
QByteArray StringOfCharN(char ch, int n);
bool IsFreeSlotName(QByteArrayView name);
bool StartsWithF(QByteArrayView name);
QByteArray CharENQ();
QByteArray CharSI();
QByteArray WrapEnqSi(const QByteArray &key);

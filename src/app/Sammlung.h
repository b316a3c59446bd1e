#pragma once
// Shared data of the program: the folder and file-name table, the shared switches and values,
// the error files and the shared text routines.
#include <QByteArray>
#include <QByteArrayView>
#include <QDate>
#include <QDateTime>
#include <QString>
#include <QStringList>

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
// Display times read at start-up; the main window reads its own copies.
extern int StartShowTextTime;
extern int StartShowErrTime;

// The six baking-program folders ("Backprogramme" + separator + family), no trailing separator.
extern QStringList Programmordner;
// Graphics folder (no trailing separator) and its transfer pictures folder (with one).
extern QString GrafikDir;
extern QString GrafikTrnDir;

// Set while the main window closes: the link's timers and sends stop on it.
extern bool Closing;
// The Cyrillic mode's diagnostic view is open; the link window shows its debug panel then.
extern bool DiagView;

// Day-folder names indexed by the ISO day of the week (QDate::dayOfWeek()); 0, an
// undeterminable day, and 8 give the fallback.
inline constexpr const char *LogTagNamen[9] = {"8_day",    "1_Monday", "2_Tuesday",
                                               "3_Wednesday", "4_Thursday", "5_Friday",
                                               "6_Saturday", "7_Sunday", "8_day"};

// Fills the folder and file-name table from ProgramFolder(), creates the missing folders
// and reads the five start-up settings; once, first of all.
void InitVerzeichnisse();

// ---- shared settings file (IniDateiName) ---------------------------------------------------
// Creates the file from its template or upgrades an older one, returns the value (or
// `Default`) and writes a missing key back with its default.
QString IniReadString(const QString &Section, const QString &Key, const QString &Default);
// 0 same as "V.001.011", 1 newer, -1 older, -99 not a version text.
int CompareIniVersion(const QString &Version);
int IniBPrgAusgang();
int IniShowTextTime();
int IniShowErrTime();
// 5000 to 10000 lines.
int IniMaxZeilenLog();
int IniMaxZeilenErr();
// Bytes, at most 1,024,000; 0 or below means no limit.
int IniMaxGroesseErr();

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
// Replaces `" * < > ? |` by blanks (on Windows in the whole path, elsewhere in its last part
// only) and notes a "/" (elsewhere a backslash) in the error file; true when nothing was replaced.
bool CheckFileName(QString &s);
// The same cleaning, but the information lines are handed back instead of written; the
// error-file writer uses it for its own file names.
bool CheckFileName(QString &s, QStringList &infoLines);
// Program names are bytes in the ANSI code page.
QByteArray JoinNameLines(const QByteArray &s);
QByteArray JoinNameLinesTrim(const QByteArray &s);
QByteArray FormatName20(const QByteArray &s);
QByteArray StringOfCharN(char ch, int n);
// Name of a free slot as records hold it: "frei free libre" filled with blanks to 20
// characters.
inline constexpr QByteArrayView BPrgFreiName{"frei free libre     "};
// The same without its blanks, as the list editor holds it; a name that contains it is free.
inline constexpr QByteArrayView BPrgFreiNameKurz = BPrgFreiName.first(15);
bool IsFreeSlotName(QByteArrayView name);
bool StartsWithF(QByteArrayView name);
QByteArray CharENQ();
QByteArray CharSI();
QByteArray WrapEnqSi(const QByteArray &key);

// The shared settings file "Vantrel2004.INI": template, upgrade and the typed readers.
#include "app/Sammlung.h"

#include "app/Codepage.h"
#include "app/Dateischreiben.h"
#include "app/IniDatei.h"
#include "app/Zahlformat.h"

#include <QFileInfo>

#include <algorithm>
#include <iterator>
#include <limits>

namespace {

const QByteArray kIniVersion("V.001.011");
const QByteArray kErr("#ERR");
const char *const kVersionSection = "VERSION";
const char *const kVersionKey = "INI-Version";

// Documents the sibling server program's settings; nothing here reads it, and no line may
// hold "=", or loading would take it for a key.
const char *const kKommentarBlock[] = {
    "#   Please do not modify this file unless you know what you are doing!",
    "#   WRONG ENTRIES MAY CAUSE UNEXPECTED RUNTIME ERRORS OR STRANGE PROGRAM BEHAVIEOURS!",
    "#",
    "#   ------------------------------------------------------------------------------",
    "#   About this file",
    "#   ------------------------------------------------------------------------------",
    "#",
    "#   This file holds the settings of the Vantrel 2004 server program and of the",
    "#   tools that are installed in the same folder. Every program reads only the",
    "#   values it needs and writes back every other value as it found it.",
    "#   Whenever a program needs a value that is missing here, it adds the value",
    "#   with its default, so after a start the file lists every value in use.",
    "#",
    "#   A program that finds an older file brings it up to the current version:",
    "#   it writes a new copy of this header and keeps every section below it.",
    "#",
    "#   ------------------------------------------------------------------------------",
    "#   Layout",
    "#   ------------------------------------------------------------------------------",
    "#",
    "#   -  A name in square brackets on a line of its own opens a section; every",
    "#      following line up to the next section belongs to it.",
    "#   -  A value line holds the name of the value, an equals sign and the value.",
    "#      Blanks around the name and around the value are not kept.",
    "#   -  Lines beginning with a hash sign are comments and are kept.",
    "#   -  Lines beginning with a semicolon and empty lines are dropped whenever",
    "#      a program writes the file back.",
    "#   -  Section names and value names do not depend on upper or lower case.",
    "#   -  The file is plain text in the Windows code page 1252, every line ends",
    "#      with carriage return and line feed.",
    "#   -  Times are given in milliseconds, sizes in kilobytes, unless a value",
    "#      says otherwise.",
    "#   -  Do not put comments into the sections below; comments belong up here.",
    "#",
    "#   ------------------------------------------------------------------------------",
    "#   Sections",
    "#   ------------------------------------------------------------------------------",
    "#",
    "#   [VERSION]",
    "#      Version of the layout of this file, written by the programs themselves.",
    "#      INI-Version            V.nnn.nnn, two numbers from 000 to 255.",
    "#      Never change this value by hand: a lower version makes the next program",
    "#      start rewrite the header of the file, a higher one is left alone.",
    "#",
    "#   [Vantrel]",
    "#      General settings of the server program: its working folders, the",
    "#      number of ovens it serves, and the behaviour of its main window.",
    "#      A fresh file holds this section empty; the server program fills in",
    "#      its defaults on its first start.",
    "#",
    "#   [MULTIFERNANZEIGE]",
    "#      Settings of the remote displays that show the state of several ovens",
    "#      at once: which ovens are shown, in which order, and how often the",
    "#      display is refreshed.",
    "#",
    "#   [Messages]",
    "#      How long messages stay on the screen, and how large the log files and",
    "#      error files may grow. Shared by every program in this folder.",
    "#      ShowTextTime           display time of information texts, in ms.",
    "#                             Default 3000.",
    "#      ShowErrTime            display time of error texts, in ms; a message",
    "#                             box that closes itself waits this long.",
    "#                             Default 5000.",
    "#      MaxZeilenZahlLog_Datei largest number of lines of a log file.",
    "#                             Default 5000, accepted 5000 to 10000.",
    "#      MaxZeilenZahlErr_Datei largest number of lines of an error file.",
    "#                             Default 5000, accepted 5000 to 10000.",
    "#      MaxGroesseErr_Datei(kB) largest size of an error file in kilobytes;",
    "#                             a larger file is renamed to .BAK and a new one",
    "#                             is started. Default 500, at most 1000.",
    "#                             0 means no limit.",
    "#",
    "#   [TemperaturEinheit]",
    "#      The unit in which temperatures are shown and entered by the server",
    "#      program. The baking programs themselves always hold degrees Celsius.",
    "#",
    "#   [TRN]",
    "#      Settings of the transfer pictures: the pictures of the folder",
    "#      Grafik\\TRN and how they are assigned to the ovens.",
    "#",
    "#   [Taskplaner]",
    "#      Jobs that the server program runs at set times of the day or of the",
    "#      week, such as switching ovens on in the morning or saving the",
    "#      baking programs of every oven.",
    "#",
    "#   [TCPIP]",
    "#      Network settings of the server program: the port on which it waits",
    "#      for the controllers, the addresses of the controllers, time-outs and",
    "#      repeats. The port is a number from 2600 to 2699, 2601 unless set.",
    "#      Tools that talk to one controller keep their own port and address",
    "#      in the registry of the user, not in this file.",
    "#",
    "#   [ProgrammListen]",
    "#      Where the server program keeps its baking-program lists and which",
    "#      list belongs to which oven. Program files end in .XQP, list files",
    "#      in .XQR; both lie below the folder Backprogramme.",
    "#",
    "#   [Einstellungen]",
    "#      Settings of the screens of the server program: colours, fonts, the",
    "#      language of the texts and the size and place of its windows.",
    "#",
    "#   [BeschickerRS]",
    "#      Settings of loaders that are connected through a serial line: the",
    "#      port, its speed and the time between two requests.",
    "#",
    "#   [KVT]",
    "#      Settings for the ovens with KVT controllers. Their baking programs",
    "#      lie in the folder Backprogramme\\KVT.",
    "#",
    "#   [JD]",
    "#      Settings for the ovens with JD controllers. Their baking programs",
    "#      lie in the folder Backprogramme\\JD.",
    "#",
    "#   [XQ7310-Server]",
    "#      Settings for the ovens with XQ7310 controllers and their server part.",
    "#      BPrg-Ausgang           output of the oven that a baking program",
    "#                             switches. Default 0.",
    "#      The baking programs of these ovens lie in Backprogramme\\XQ.",
    "#",
    "#   ------------------------------------------------------------------------------",
    "#   Folders beside the programs",
    "#   ------------------------------------------------------------------------------",
    "#",
    "#   Backprogramme\\KVT      baking programs of KVT controllers",
    "#   Backprogramme\\JD       baking programs of JD controllers",
    "#   Backprogramme\\XQ       baking programs of XQ controllers",
    "#   Backprogramme\\Lindorm  baking programs of Lindorm controllers",
    "#   Backprogramme\\Sepira   baking programs of Sepira controllers",
    "#   Grafik                 pictures of the screens",
    "#   Grafik\\TRN             pictures of the transfers",
    "#   Lang                   language files of the texts on the screens",
    "#   log                    log files and error files, one folder for every",
    "#                          day of the week, from 1_Monday to 7_Sunday",
    "#",
    "#   The programs create the folders they need when missing. A log folder",
    "#   holds the files of the same weekday of the week before until they are",
    "#   written again, so the files of one week are kept.",
    "#",
    "#   ------------------------------------------------------------------------------",
    "#   Error files",
    "#   ------------------------------------------------------------------------------",
    "#",
    "#   Every program writes its errors into a file named after the program with",
    "#   the ending .err in the folder of the current weekday. Each line begins",
    "#   with the date and the time. When a file grows larger than the limit of",
    "#   [Messages], it is renamed to the same name with .BAK added, replacing an",
    "#   older copy, and a new file is started.",
    "#",
    "#   ------------------------------------------------------------------------------",
    "#   Changing values",
    "#   ------------------------------------------------------------------------------",
    "#",
    "#   -  Close every program of this folder before you change this file; a",
    "#      program that is running may write the file back with its own values.",
    "#   -  Keep a copy of the file before you change it.",
    "#   -  Change values only, never the names of sections or values; a name",
    "#      that a program does not know is kept but never read.",
    "#   -  A value that is no whole number where a number is expected counts as",
    "#      the default of that value.",
    "#   -  Values outside their accepted range are brought into it when read;",
    "#      the file keeps what you wrote.",
    "#   -  To get the default of a value back, delete its line: the next start",
    "#      writes it again with its default.",
    "#   -  To get a whole new file, delete it: the next start creates it again",
    "#      from the template, with every section empty.",
    "#",
    "#   ------------------------------------------------------------------------------",
    "#   Several programs at once",
    "#   ------------------------------------------------------------------------------",
    "#",
    "#   The server program and the tools may run at the same time. Each of them",
    "#   reads the whole file and writes it back when it needs a value, so the",
    "#   change of one program can be lost when another writes at the same moment.",
    "#   Values are therefore changed only while the programs are closed.",
    "#",
    "#   ------------------------------------------------------------------------------",
    "#   Support",
    "#   ------------------------------------------------------------------------------",
    "#",
    "#   When you send this file to the service, please add the error files of",
    "#   the day on which the problem was seen, from the folder log.",
    "#",
    "#   ------------------------------------------------------------------------------",
    "#   End of the comments. The settings follow.",
    "#   ------------------------------------------------------------------------------",
};
static_assert(std::size(kKommentarBlock) == 185);

const char *const kLeereSektionen[] = {
    "[Vantrel]", "[MULTIFERNANZEIGE]", "[Messages]", "[TemperaturEinheit]", "[TRN]",
    "[Taskplaner]", "[TCPIP]", "[ProgrammListen]", "[Einstellungen]", "[BeschickerRS]",
    "[KVT]", "[JD]", "[XQ7310-Server]"};

// Lines 1 to 6 of the template: the header that the upgrade writes again.
QList<QByteArray> kopfZeilen()
{
    QList<QByteArray> lines;
    lines << "[Vantrel.Ini]";
    lines << "# " + QByteArray(84, '-');
    lines << "#   Vantrel 2004 IniFile -  Created "
                 + StringToAnsi(ZeitStempel(QDateTime::currentDateTime())) + '.';
    lines << "#   " + QByteArray(54, '-');
    lines << "#";
    for (const char *line : kKommentarBlock)
        lines << QByteArray(line);
    return lines;
}

QList<QByteArray> versionZeilen()
{
    return {'[' + QByteArray(kVersionSection) + ']', QByteArray(kVersionKey) + '=' + kIniVersion};
}

QByteArray vorlage()
{
    TIniDatei ini;
    ini.lines() << kopfZeilen() << versionZeilen() << QByteArray();
    for (const char *section : kLeereSektionen)
        ini.lines() << QByteArray(section) << QByteArray();
    ini.lines() << QByteArray();
    return ini.toBytes();
}

void iniFehler(int nr)
{
    WriteErrorLog(ErrLogName, QStringLiteral("Vantrel-INI-Error %1").arg(nr, 2, 10, QLatin1Char('0')));
}

// The whole file as it stands on disk into `roh`, and as it is kept into `ini`.
bool laden(TIniDatei &ini, QByteArray &roh)
{
    TIniDatei datei(TKopfRegel::GanzeZeile);
    if (!datei.load(IniDateiName, &roh))
        return false;
    ini = datei.normalised();
    return true;
}

// The header section of an older file gives way to a new one; every other section stays,
// so no setting of the sibling program is lost. Done in memory: the caller's one write
// puts it on disk.
void aufruesten(TIniDatei &ini, bool ohneVersion)
{
    QList<QByteArray> rest = ini.lines();
    const QList<QByteArray> sections = ini.sections();
    if (!sections.isEmpty() && sections.first().compare("Vantrel.Ini", Qt::CaseInsensitive) == 0) {
        // `rest` begins with that header; drop up to the next section header.
        qsizetype next = 1;
        while (next < rest.size() && !ini.isHeader(rest[next]))
            ++next;
        rest.remove(0, next);
    }
    TIniDatei neu(TKopfRegel::GanzeZeile);
    neu.lines() << kopfZeilen();
    if (ohneVersion)
        neu.lines() << versionZeilen();
    neu.lines() << rest;
    ini = neu.normalised();
    ini.writeString(kVersionSection, kVersionKey, kIniVersion);
}

int leseZahl(const char *section, const char *key, int def)
{
    const QString text = IniReadString(QLatin1String(section), QLatin1String(key), QString::number(def));
    return ParseDec(StringToAnsi(text), def);
}

int zeilenGrenze(int v)
{
    if (v > 10000)
        v = 10000;
    if (v < 5000)
        v = 5000;
    return v;
}

} // namespace

int CompareIniVersion(const QString &Version)
{
    const QString current = QString::fromLatin1(kIniVersion);
    if (Version == current)
        return 0;
    const auto parts = [](const QString &v, int *a, int *b) {
        const QString n = v.mid(2);
        *a = ParseDec(StringToAnsi(n.left(3)), -1);
        *b = ParseDec(StringToAnsi(n.mid(4, 3)), -1);
        return n;
    };
    int a = -1, b = -1, ca = -1, cb = -1;
    const QString n = parts(Version, &a, &b);
    parts(current, &ca, &cb);
    if (Version.size() != 9 || !Version.startsWith(QLatin1String("V.")) || n.indexOf(QLatin1Char('.')) != 3
        || a < 0 || a > 255 || b < 0 || b > 255)
        return -99;
    const int mine = a * 256 + b;
    const int theirs = ca * 256 + cb;
    return mine > theirs ? 1 : (mine == theirs ? 0 : -1);
}

QString IniReadString(const QString &Section, const QString &Key, const QString &Default)
{
    if (!QFileInfo::exists(IniDateiName)) {
        // Only for its information lines: it changes nothing in a fixed file name in a folder
        // that exists.
        QString name = IniDateiName;
        CheckFileName(name);
        if (!WriteFileAtomic(IniDateiName, vorlage()))
            iniFehler(1);
    }

    const QByteArray section = StringToAnsi(Section);
    const QByteArray key = StringToAnsi(Key);
    TIniDatei ini(TKopfRegel::GanzeZeile);
    QByteArray aufPlatte;
    if (!laden(ini, aufPlatte)) {
        iniFehler(3);
        return Default;
    }
    QByteArray version;
    if (!ini.findValue(kVersionSection, kVersionKey, &version))
        version = kErr;
    if (CompareIniVersion(AnsiToString(version)) < 0)
        aufruesten(ini, version == kErr);

    QByteArray value;
    if (!ini.findValue(section, key, &value) || value == kErr) {
        value = StringToAnsi(Default);
        ini.writeString(section, key, value);
    }
    // Every write may overwrite what the sibling program wrote a moment before: an unchanged
    // text is not written again.
    const QByteArray text = ini.normalised().toBytes();
    if (text != aufPlatte && !WriteFileAtomic(IniDateiName, text)) {
        iniFehler(3);
        return Default;
    }
    return AnsiToString(value);
}

int IniBPrgAusgang() { return leseZahl("XQ7310-Server", "BPrg-Ausgang", 0); }
int IniShowTextTime() { return leseZahl("Messages", "ShowTextTime", 3000); }
int IniShowErrTime() { return leseZahl("Messages", "ShowErrTime", 5000); }
int IniMaxZeilenLog() { return zeilenGrenze(leseZahl("Messages", "MaxZeilenZahlLog_Datei", 5000)); }
int IniMaxZeilenErr() { return zeilenGrenze(leseZahl("Messages", "MaxZeilenZahlErr_Datei", 5000)); }

int IniMaxGroesseErr()
{
    // In 64 bits: a large number of kilobytes must not wrap into a negative limit ("no limit")
    // or a small one.
    const qint64 bytes = qint64(leseZahl("Messages", "MaxGroesseErr_Datei(kB)", 500)) * 1024;
    return int(std::clamp<qint64>(bytes, std::numeric_limits<int>::min(), 1024000));
}

#pragma once
// The weekly night-start table without a window: the text of NAST on the wire (Sunday first)
// and the night-start file ".XQN" (Monday first), both read from and written to the cells
// as the grid holds them.
#include <QByteArray>
#include <QByteArrayView>
#include <QString>

#include <array>

class TIniDatei;

// One day: hour and minute of the first start, hour and minute of the second.
using TNachtZeile = std::array<QString, 4>;
// Monday to Sunday, as the grid's rows 1 to 7.
using TNachtTabelle = std::array<TNachtZeile, 7>;

inline constexpr int NachtTage = 7;
inline constexpr int NachtZellen = 4;
// A start that is not set.
inline const QString NachtLeer = QStringLiteral("--");

// Section and day keys of the night-start file, Monday first.
inline constexpr char NachtSektion[] = "Nachtstarts";
inline constexpr std::array<const char *, NachtTage> NachtTagSchluessel{
    "Mon/Mon", "Die/Tue", "Mit/Wed", "Don/Thu", "Fre/Fri", "Sam/Sat", "Son/Sun"};

// Every blank becomes "0", then only 0-9, "," and "." are kept.
QString NurZiffern(const QString &text);
// A cell as a whole number; -1 when it is empty or holds "," or ".".
int NachtZellenZahl(const QString &zelle);

// Fourteen minute values separated by TABs, Sunday first; "%2d" for a start, "-1" for none;
// within a day a valid start comes first and two starts ascend.
QByteArray NachtstarttextBauen(const TNachtTabelle &tabelle);
// Fills the rows the reply covers ("--" for a negative value, else "%.2d" hour and minute);
// cells the reply has no value for keep their text.
void NachtstarttextZeigen(QByteArrayView text, TNachtTabelle &tabelle);

// The row as the file stores it: each cell followed by ";".
QByteArray NachtZeileText(const TNachtZeile &zeile);
// The texts before each of the first four ";"; a cell with no ";" left is empty.
TNachtZeile NachtZeileAusText(const QByteArray &wert);

// Writes the seven day keys into section "Nachtstarts", keeping all else the file holds; the
// file is replaced once. A file that exists but cannot be read is left alone (false).
bool NachtstartdateiSchreiben(const QString &datei, const TNachtTabelle &tabelle);
// Reads the seven rows; a missing key gives four "--". False when the file cannot be read
// (the table is then unchanged).
bool NachtstartdateiLesen(const QString &datei, TNachtTabelle &tabelle);
// The same on the text of such a file, in memory.
void NachtstartIniSetzen(TIniDatei &ini, const TNachtTabelle &tabelle);
void NachtstartIniLesen(const TIniDatei &ini, TNachtTabelle &tabelle);

#pragma once
// The phase grid of the list editor without a window: the texts of its cells, the check of one
// cell, a program written into cells and read back, the sums of the time columns, the keyboard
// targets and the row clipboard.
#include "link/uXQXKonstanten.h"

#include <QString>
#include <array>

// Columns of the phase grid; row r (1..10) is phase r, row 0 the headers, column 0 the phase numbers.
namespace Spalte {
inline constexpr int Phase = 0;
inline constexpr int Temperatur = 1;
inline constexpr int Backzeit = 3;
inline constexpr int Schwaden = 5;
inline constexpr int SchwadenKnopf = 6;
inline constexpr int AbzugProzent = 8;
inline constexpr int AbzugZeit = 9;
inline constexpr int UmwZeit = 11;
inline constexpr int UmwKnopf = 12;
inline constexpr int AusgZeit = 14;
inline constexpr int AusgKnopf = 15;
} // namespace Spalte

inline constexpr int RasterSpalten = 16;
inline constexpr int RasterZeilen = 11;
inline constexpr int RasterPhasen = 10;
// The columns a user types into, in the order of the row clipboard.
inline constexpr std::array<int, 7> EditierSpalten{1, 3, 5, 8, 9, 11, 14};

bool IstTrennspalte(int col);
bool IstEditierSpalte(int col);

// Switch states of the phase buttons, index 0 = phase 1.
using TKnopfZustaende = std::array<bool, RasterPhasen>;

// The cells of the grid as texts, [row][col].
struct TRasterZellen
{
    std::array<std::array<QString, RasterSpalten>, RasterZeilen> z;
    QString &at(int col, int row) { return z[size_t(row)][size_t(col)]; }
    const QString &at(int col, int row) const { return z[size_t(row)][size_t(col)]; }
};

// ---- texts ----
// The decimal text, or "" for 0 unless `zeigeNull`.
QString ZahlOderLeer(qint64 value, bool zeigeNull = false);
// Tenths with a decimal comma and at least one digit before it: 5 "0,5", 123 "12,3", 0 "".
QString ZehntelFormatieren(qint64 zehntel);
// The whole number of a text (blanks around it allowed), 0 when it is none.
int StrZuZahlOderNull(const QString &text);
int StrZuIntOderNull(const QString &text);
// Blanks removed, then "5:30" -> "05:30", "05:3" -> "05:03", "12" -> "12:00", "5" -> "05:00".
QString ZeitTextNormalisieren(const QString &text);

// Does column `col` hold a minutes:seconds time? Column 5 does while its steam button is off.
bool IstZeitSpalte(int col, bool schwadenMenge);

// ---- cell check ----
struct TZellenPruefung
{
    QString text;    // the cell's text after the check
    QString meldung; // the message owed, empty when none
};
struct TZellenRegeln
{
    bool schwadenMenge = false; // steam button of the row on: column 5 is an amount
    bool literModus = false;
    int maxSollTemp = 400;
    QString temperaturEinheit = QStringLiteral("°C");
};
// Checks and normalises cell (col, row) holding `text`; `abzugZeit` is column 9 of the same row
// (an empty percentage stays empty while the row has no exhaust time). Rows outside 1..10 and
// columns that hold no value come back unchanged.
TZellenPruefung ZellePruefenText(int col, int row, const QString &text, const QString &abzugZeit,
                                 const TZellenRegeln &regeln);

// ---- program <-> cells ----
// Phases 1..10 into rows 1..10 of the editable columns.
void ProgrammZuZellen(const TBackprogramm &rec, const TKnopfZustaende &schwadenMenge, bool literModus,
                      TRasterZellen &zellen);
// Rows 1..10 back into phases 1..10; phase 11 loses its times. Fields the grid does not show
// keep their values. Texts beyond a field's range are cut to it (a negative time is 0, a
// percentage above 255 is 255), never wrapped.
void ZellenZuProgramm(const TRasterZellen &zellen, const TKnopfZustaende &schwadenMenge,
                      const TKnopfZustaende &umwaelzer, const TKnopfZustaende &ausgang, bool literModus,
                      TBackprogramm &rec);

// The sums over rows 1..10 as the rest labels show them.
struct TSummen
{
    qint64 gesamt = 0;
    qint64 ausgang = 0;
    qint64 umwaelzer = 0;
    qint64 abzug = 0;
    qint64 schwaden = 0;
};
TSummen SummenAusZellen(const TRasterZellen &zellen);

// Does any value cell of rows 1..10 hold something other than "" or "0"?
bool ZellenHabenDaten(const TRasterZellen &zellen);

// ---- keyboard ----
struct TNavZiel
{
    enum Art { Zelle, Menge } art = Zelle;
    int col = 0;
    int row = 0;
};
// Where Tab (`tab`) or Right/Left (not `tab`) lands from cell (col, row), forward or backward.
TNavZiel NavigationsZiel(int col, int row, bool vorwaerts, bool tab, bool umwSpalteAus);
// Up and Down move one row and stay within the phases.
TNavZiel ZeilenZiel(int col, int row, bool hoch);

// ---- row clipboard ----
// "/" header "=" cell ";" for the seven editable columns, then CR LF.
QString ZeileKopierenText(const TRasterZellen &zellen, int row);
// The seven cell texts of a pasted row: each the text between the first "=" and the first ";",
// the text then cut behind that ";".
std::array<QString, 7> ZeileEinfuegenTexte(QString text);

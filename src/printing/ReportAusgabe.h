#pragma once
// The report system's settings of one run (what the set-up window offers and the user chose)
// and the output of a laid-out report on a printer, into a file or onto a preview.
#include "printing/ReportLayout.h"

#include <QList>
#include <QString>

class QPainter;
class QPrinter;

enum class TReportZiel { Drucker, Vorschau, Datei };
enum class TDruckBereich { Alle, Auswahl, Seiten };
// The entries of the set-up window's format list: the printer's own output into a file, then
// one per active renderer.
enum class TDateiFormat { Druckerdatei, Pdf };

struct TRvSystem
{
    // Choices the set-up window allows.
    bool SetupDialog = true;
    bool Kopien = true;
    bool Sortieren = true;
    bool Duplex = true;
    bool ZielVorschau = true;
    bool ZielDrucker = true;
    bool ZielDatei = true;
    bool DruckerSetup = true;
    bool VorschauSetup = true;
    TReportZiel StandardZiel = TReportZiel::Drucker;

    // What the user chose for this run.
    TReportZiel Ziel = TReportZiel::Drucker;
    int Kopienzahl = 1;
    bool Sortiert = false;
    bool Beidseitig = false;
    TDruckBereich Bereich = TDruckBereich::Alle;
    // Pages and ranges as "1,3-5".
    QString Auswahl;
    int SeiteVon = 1;
    int SeiteBis = 1;
    QString DateiName;
    TDateiFormat Format = TDateiFormat::Pdf;
    bool Abgebrochen = false;

    // Pages of the report of this run; 0 while it is not laid out.
    int Seitenzahl = 0;

    // The PDF renderer takes part in this run.
    bool PdfAktiv = false;
    QString VorschauTitel = QStringLiteral("Report Preview");
    QString SetupTitel = QStringLiteral("Output Options");
    bool VorschauMaximiert = false;
};

// The renderer's name in the format list and its files.
inline constexpr const char *PdfFormatName = "Adobe Acrobat (PDF)";
inline constexpr const char *PdfDateiendung = "*.pdf";

// The pages of a report of `seitenzahl` pages that the run puts out, ascending, each once.
QList<int> SeitenWahl(const TRvSystem &sys, int seitenzahl);
// Why a range that chooses none of the report's pages prints nothing.
QString LeererDruckbereichText(int seitenzahl);

// Paper, orientation and coordinates from the paper's corner, as the layout's inches assume.
void ReportDruckerEinrichten(QPrinter &drucker);
// Paints one page; the painter's device is set up by ReportDruckerEinrichten.
void ReportSeiteMalen(QPainter &painter, const TReportSeite &seite);
// Paints `seiten` (1-based) on a painter that has begun, one printer page each.
void ReportSeitenMalen(QPainter &painter, QPrinter &drucker, const TReport &report, const QList<int> &seiten);

// One print job of `seiten` on `drucker` with the run's copies, collation and duplex; false
// when the job cannot begin.
bool ReportDrucken(const TReport &report, QPrinter &drucker, const TRvSystem &sys, const QList<int> &seiten);
// Writes `seiten` into `datei`: a PDF, or the output of `drucker` in its own format.
bool ReportInDatei(const TReport &report, const QString &datei, TDateiFormat format, QPrinter &drucker,
                   const QList<int> &seiten);

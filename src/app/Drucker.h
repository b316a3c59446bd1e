#pragma once
// The program's printers: the one the baking programs print on (the printer set-up may choose
// another than the default), the default printer of the name list, and a seam for machines
// without a printer that turns every print job into a PDF file.
#include <QMarginsF>
#include <QObject>
#include <QRectF>
#include <QString>

class QPainter;
class QPrinter;
class QWidget;

// The application's one printer; the default printer unless the printer set-up chose another.
QPrinter &Anwendungsdrucker();

// True when `drucker` can print: a valid printer with a name, or the PDF seam is set.
bool DruckerGueltig(const QPrinter &drucker);
// The name a user knows the printer by; "" when there is none.
QString DruckerName(const QPrinter &drucker);
// True when at least one printer is installed (or the PDF seam stands for one).
bool DruckerInstalliert();

// The message of a printer that cannot print.
QString DruckerUngueltigText();

// Seam for machines without a printer (CI, the benchmark): every job started through
// DruckauftragBeginnen is written to "<folder>/<job title>.pdf". An empty folder turns it off.
void SetPdfDruckerOrdner(const QString &folder);
QString PdfDruckerOrdner();
// Under the seam the PDF stands for a printer that reaches no closer than `rand` inches to the
// paper's edges (none unless set).
void SetPdfDruckerRand(const QMarginsF &rand);
// The part of its paper that `drucker` reaches, in inches from the paper's top left corner.
QRectF DruckbarerBereich(const QPrinter &drucker);
// The file a job of this title goes to under the seam.
QString PdfDruckerDatei(const QString &titel);

// Starts the print job `titel` on `drucker` (under the seam, on its PDF file); false when the
// painter cannot begin on it.
bool DruckauftragBeginnen(QPainter &painter, QPrinter &drucker, const QString &titel);

// The printer set-up: the platform's printer dialog on the application's printer, modal
// through the dialog wrapper. Its result tells whether the user confirmed.
class TPrinterSetupDialog : public QObject
{
    Q_OBJECT
public:
    explicit TPrinterSetupDialog(QWidget *parent, const QString &name);
    bool Execute();

private:
    QWidget *m_parent;
};

#include "app/Drucker.h"

#include "app/Dialoge.h"

#include <QDialogButtonBox>
#include <QDir>
#include <QPageLayout>
#include <QPainter>
#include <QPrintDialog>
#include <QPrinter>
#include <QPrinterInfo>
#include <QPushButton>

namespace {
QString g_pdfOrdner;
QMarginsF g_pdfRand;
}

QPrinter &Anwendungsdrucker()
{
    // Made on first use (asking the platform for its printers may take a moment) and kept to
    // the end of the process, so it never outlives the application object's print support.
    static QPrinter *drucker = new QPrinter(QPrinter::HighResolution);
    return *drucker;
}

bool DruckerGueltig(const QPrinter &drucker)
{
    if (!g_pdfOrdner.isEmpty())
        return true;
    return drucker.isValid() && drucker.outputFormat() == QPrinter::NativeFormat && !drucker.printerName().isEmpty();
}

QString DruckerName(const QPrinter &drucker)
{
    if (!g_pdfOrdner.isEmpty())
        return QStringLiteral("PDF");
    return drucker.outputFormat() == QPrinter::NativeFormat ? drucker.printerName() : QString();
}

bool DruckerInstalliert() { return !g_pdfOrdner.isEmpty() || !QPrinterInfo::availablePrinterNames().isEmpty(); }

QString DruckerUngueltigText()
{
    return QStringLiteral("Standarddrucker ungültig.\r\nDefinieren Sie bitte einen gültigen Standarddrucker,\r\n"
                          "bevor Sie den Report ausführen.");
}

void SetPdfDruckerOrdner(const QString &folder) { g_pdfOrdner = folder; }
QString PdfDruckerOrdner() { return g_pdfOrdner; }
void SetPdfDruckerRand(const QMarginsF &rand) { g_pdfRand = rand; }

QRectF DruckbarerBereich(const QPrinter &drucker)
{
    // In points, as the page the device puts out is measured.
    QPageLayout layout = drucker.pageLayout();
    layout.setUnits(QPageLayout::Point);
    const QRectF papier(QPointF(0, 0), QSizeF(layout.fullRectPoints().size()) / 72.0);
    // A PDF has no edge it cannot reach; a printer's edges are its minimum margins.
    QMarginsF rand;
    if (!g_pdfOrdner.isEmpty())
        rand = g_pdfRand;
    else if (drucker.outputFormat() == QPrinter::NativeFormat)
        rand = layout.minimumMargins() / 72.0;
    return papier.marginsRemoved(rand);
}

QString PdfDruckerDatei(const QString &titel)
{
    return QDir(g_pdfOrdner).filePath(titel + QStringLiteral(".pdf"));
}

bool DruckauftragBeginnen(QPainter &painter, QPrinter &drucker, const QString &titel)
{
    drucker.setDocName(titel);
    if (!g_pdfOrdner.isEmpty()) {
        drucker.setOutputFormat(QPrinter::PdfFormat);
        drucker.setOutputFileName(PdfDruckerDatei(titel));
    }
    return painter.begin(&drucker);
}

TPrinterSetupDialog::TPrinterSetupDialog(QWidget *parent, const QString &name) : QObject(parent), m_parent(parent)
{
    setObjectName(name);
}

bool TPrinterSetupDialog::Execute()
{
    // Made for each run, so it shows the printers of the moment.
    QPrintDialog dialog(&Anwendungsdrucker(), m_parent);
    dialog.setObjectName(objectName());
    dialog.setWindowTitle(QStringLiteral("Druckereinrichtung"));
    dialog.setOptions(QAbstractPrintDialog::PrintShowPageSize);
    // A set-up chooses a printer and prints nothing.
    if (auto *knoepfe = dialog.findChild<QDialogButtonBox *>())
        if (QPushButton *ok = knoepfe->button(QDialogButtonBox::Ok))
            ok->setText(QStringLiteral("OK"));
    return RunModalDialog(&dialog) == QDialog::Accepted;
}

#include "printing/ReportAusgabe.h"

#include "app/Drucker.h"

#include <QPageLayout>
#include <QPainter>
#include <QPrinter>
#include <QPrinterInfo>
#include <QRegularExpression>
#include <set>

QList<int> SeitenWahl(const TRvSystem &sys, int seitenzahl)
{
    std::set<int> seiten;
    auto bereich = [&](int von, int bis) {
        for (int s = qMax(von, 1); s <= qMin(bis, seitenzahl); ++s)
            seiten.insert(s);
    };
    switch (sys.Bereich) {
    case TDruckBereich::Alle:
        bereich(1, seitenzahl);
        break;
    case TDruckBereich::Seiten:
        bereich(sys.SeiteVon, sys.SeiteBis);
        break;
    case TDruckBereich::Auswahl: {
        static const QRegularExpression teil(QStringLiteral("^\\s*(\\d+)\\s*(-\\s*(\\d*))?\\s*$"));
        for (const QString &t : sys.Auswahl.split(QLatin1Char(','), Qt::SkipEmptyParts)) {
            const QRegularExpressionMatch m = teil.match(t);
            if (!m.hasMatch())
                continue;
            const int von = m.captured(1).toInt();
            // "3" is one page, "3-5" a range, "3-" runs to the last page.
            const int bis = !m.hasCaptured(2) ? von : (m.captured(3).isEmpty() ? seitenzahl : m.captured(3).toInt());
            bereich(von, bis);
        }
        break;
    }
    }
    return QList<int>(seiten.begin(), seiten.end());
}

QString LeererDruckbereichText(int seitenzahl)
{
    return QStringLiteral("Der gewählte Druckbereich enthält keine Seite.\r\nDer Report hat %1 %2; bitte einen "
                          "Bereich von 1 bis %1 angeben.")
        .arg(seitenzahl)
        .arg(seitenzahl == 1 ? QStringLiteral("Seite") : QStringLiteral("Seiten"));
}

void ReportDruckerEinrichten(QPrinter &drucker)
{
    drucker.setPageSize(QPageSize(QPageSize::A4));
    drucker.setPageOrientation(QPageLayout::Portrait);
    drucker.setFullPage(true);
}

void ReportSeiteMalen(QPainter &painter, const TReportSeite &seite)
{
    const qreal dpiX = painter.device()->logicalDpiX();
    const qreal dpiY = painter.device()->logicalDpiY();
    auto geraet = [&](const QRectF &zoll) {
        return QRectF(zoll.x() * dpiX, zoll.y() * dpiY, zoll.width() * dpiX, zoll.height() * dpiY);
    };
    painter.save();
    for (const TReportElement &e : seite.Elemente) {
        if (e.Art == TReportElement::Rahmen) {
            QPen stift(Qt::black, qMax<qreal>(1.0, dpiX / 150.0), Qt::DotLine);
            painter.setPen(stift);
            painter.setBrush(Qt::NoBrush);
            painter.drawRect(geraet(e.Rechteck));
            continue;
        }
        QFont schrift(QStringLiteral("Arial"));
        schrift.setStyleHint(QFont::SansSerif);
        schrift.setPointSizeF(e.Punkt);
        schrift.setBold(e.Fett);
        painter.setFont(schrift);
        painter.setPen(Qt::black);
        painter.drawText(geraet(e.Rechteck), int(e.Ausrichtung | Qt::AlignTop | Qt::TextDontClip | Qt::TextSingleLine),
                         e.Text);
    }
    painter.restore();
}

void ReportSeitenMalen(QPainter &painter, QPrinter &drucker, const TReport &report, const QList<int> &seiten)
{
    bool erste = true;
    for (int s : seiten) {
        if (s < 1 || s > report.Seiten.size())
            continue;
        if (!erste)
            drucker.newPage();
        erste = false;
        ReportSeiteMalen(painter, report.Seiten[s - 1]);
    }
}

bool ReportDrucken(const TReport &report, QPrinter &drucker, const TRvSystem &sys, const QList<int> &seiten)
{
    ReportDruckerEinrichten(drucker);
    drucker.setCopyCount(qMax(1, sys.Kopienzahl));
    drucker.setCollateCopies(sys.Sortiert);
    drucker.setDuplex(sys.Beidseitig ? QPrinter::DuplexAuto : QPrinter::DuplexNone);
    QPainter painter;
    if (!DruckauftragBeginnen(painter, drucker, report.Titel))
        return false;
    ReportSeitenMalen(painter, drucker, ReportImDruckbereich(report, DruckbarerBereich(drucker)), seiten);
    return painter.end();
}

bool ReportInDatei(const TReport &report, const QString &datei, TDateiFormat format, QPrinter &drucker,
                   const QList<int> &seiten)
{
    QPrinter ziel(QPrinter::HighResolution);
    if (format == TDateiFormat::Druckerdatei && DruckerGueltig(drucker) && PdfDruckerOrdner().isEmpty()) {
        ziel.setPrinterName(drucker.printerName());
        ziel.setOutputFormat(QPrinter::NativeFormat);
    } else {
        ziel.setOutputFormat(QPrinter::PdfFormat);
    }
    ziel.setOutputFileName(datei);
    ziel.setDocName(report.Titel);
    ReportDruckerEinrichten(ziel);
    QPainter painter;
    if (!painter.begin(&ziel))
        return false;
    // A printer's file is printed on that printer later; a PDF keeps every item where it is.
    const bool druckerdatei = ziel.outputFormat() == QPrinter::NativeFormat;
    ReportSeitenMalen(painter, ziel, druckerdatei ? ReportImDruckbereich(report, DruckbarerBereich(ziel)) : report, seiten);
    return painter.end();
}

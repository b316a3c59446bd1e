#pragma once
// Print tests: baking programs to print, and what poppler reads from a PDF.
#include "link/uXQXKonstanten.h"

#include <QList>
#include <QRectF>
#include <QString>
#include <QStringList>

// While it lives, every print job becomes a PDF in `ordner` (created here).
class TPdfDrucker
{
public:
    explicit TPdfDrucker(const QString &ordner);
    ~TPdfDrucker();
    TPdfDrucker(const TPdfDrucker &) = delete;
    TPdfDrucker &operator=(const TPdfDrucker &) = delete;
};

// A list of 200 free slots.
TBackprogrammListe freieListe();
// A program with quantity, core temperature and ten phases of plausible values.
TBackprogramm beispielProgramm(const QByteArray &name, int menge = 20, int sollKT = 98);

// The text of the PDF, page by page (pdftotext -layout); empty when poppler cannot read it.
QStringList pdfSeitenText(const QString &datei);
// The document's title (pdfinfo).
QString pdfTitel(const QString &datei);

// One word of a PDF page and its box in points from the page's top left.
struct TPdfWort
{
    int Seite = 0; // from 1
    QString Text;
    QRectF Rechteck;
};
// Every word of the PDF in reading order (pdftotext -bbox), and the size of its first page.
QList<TPdfWort> pdfWoerter(const QString &datei, QSizeF *seite = nullptr);

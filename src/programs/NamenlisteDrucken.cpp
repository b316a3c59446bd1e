#include "programs/NamenlisteDrucken.h"

#include "app/Dialoge.h"
#include "app/Sammlung.h"
#include "app/Drucker.h"
#include "app/Zahlformat.h"

#include <QFileInfo>
#include <QFontMetricsF>
#include <QPainter>
#include <QPrinter>
#include <QPrinterInfo>
#include <cmath>

namespace {
// The free slot as the name grid shows it.
const QString FreiZelle = QString::fromLatin1(BPrgFreiName);
const QString Arial = QStringLiteral("Arial");
const QString CourierNew = QStringLiteral("Courier New");

int abschneiden(double v) { return int(std::trunc(v)); }
} // namespace

QString NameTeil1(const QString &zelle) { return zelle == FreiZelle ? QString() : zelle.left(10); }
QString NameTeil2(const QString &zelle) { return zelle == FreiZelle ? QString() : zelle.mid(10); }

TNamenlisteSeite NamenlisteLayout(int breiteMm, int hoeheMm, int teil, const QStringList &namen,
                                  const QString &ueberschrift)
{
    TNamenlisteSeite s;
    s.W = breiteMm * 10 - 150;
    s.H = hoeheMm * 10 - 100;
    s.ColW = abschneiden(s.W / 4.0);
    s.Scale = s.H / 2780.0;
    const int gross = abschneiden(85 * s.Scale);
    const int klein = abschneiden(42 * s.Scale);
    s.Texte << TNamenlisteText{2 * s.ColW + 100, 50, ueberschrift, Arial, gross, true};
    for (int r = 0; r < 25; ++r) {
        int y = abschneiden((r * 102 + 170) * s.Scale) + 50;
        for (int c = 0; c < 4; ++c) {
            const int k = teil * 100 + c * 25 + r;
            s.Texte << TNamenlisteText{100 + c * s.ColW, y, QString::fromLatin1(FormatDec(k, 2)), Arial, gross, false};
        }
        for (int c = 0; c < 4; ++c)
            s.Texte << TNamenlisteText{100 + c * s.ColW + 140, y, NameTeil1(namen.value(teil * 100 + c * 25 + r)),
                                       CourierNew, klein, false};
        y += klein;
        for (int c = 0; c < 4; ++c)
            s.Texte << TNamenlisteText{100 + c * s.ColW + 140, y, NameTeil2(namen.value(teil * 100 + c * 25 + r)),
                                       CourierNew, klein, false};
    }
    return s;
}

QString NamenlisteUeberschrift(const QString &txtUebersicht, const QString &listeDateiName)
{
    return txtUebersicht + QFileInfo(listeDateiName).fileName();
}

namespace {
// A font whose cell (ascent and descent) is `zelle` device pixels high, as the units' font
// heights mean.
QFont zellenSchrift(const QString &familie, qreal zelle)
{
    QFont f(familie);
    f.setStyleHint(familie == CourierNew ? QFont::TypeWriter : QFont::SansSerif);
    f.setPixelSize(1000);
    const qreal verhaeltnis = QFontMetricsF(f).height() / 1000.0;
    f.setPixelSize(qMax(1, qRound(zelle / qMax<qreal>(verhaeltnis, 0.5))));
    return f;
}

void seiteMalen(QPainter &painter, const TNamenlisteSeite &seite, qreal proEinheitX, qreal proEinheitY)
{
    painter.setPen(Qt::black);
    for (const TNamenlisteText &t : seite.Texte) {
        if (t.Text.isEmpty())
            continue;
        const qreal zelle = t.Hoehe * proEinheitY;
        painter.setFont(zellenSchrift(t.Schrift, zelle));
        const qreal x = t.X * proEinheitX;
        const qreal y = t.Y * proEinheitY;
        const qreal breit = seite.W * proEinheitX;
        const QRectF rahmen = t.Zentriert ? QRectF(x - breit / 2, y, breit, zelle) : QRectF(x, y, breit, zelle);
        painter.drawText(rahmen, int((t.Zentriert ? Qt::AlignHCenter : Qt::AlignLeft) | Qt::AlignTop | Qt::TextDontClip),
                         t.Text);
    }
}
} // namespace

bool NamenlisteDrucken(QPrinter &drucker, const QStringList &namen, const QString &ueberschrift, QWidget *parent)
{
    if (!DruckerGueltig(drucker)) {
        ShowMessageBox(parent, TBoxKind::Critical, QStringLiteral("Fehler"), DruckerUngueltigText());
        return false;
    }
    for (int teil = 0; teil < 2; ++teil) {
        QPainter painter;
        if (!DruckauftragBeginnen(painter, drucker, QStringLiteral("Kelvor Namenliste Teil %1").arg(teil + 1))) {
            ShowMessageBox(parent, TBoxKind::Critical, QStringLiteral("Fehler"), DruckerUngueltigText());
            return false;
        }
        const QRectF flaeche = drucker.pageRect(QPrinter::Millimeter);
        const TNamenlisteSeite seite =
            NamenlisteLayout(int(flaeche.width()), int(flaeche.height()), teil, namen, ueberschrift);
        // The painter starts at the printable area's corner; one unit is 0.1 mm.
        seiteMalen(painter, seite, drucker.logicalDpiX() / 254.0, drucker.logicalDpiY() / 254.0);
        painter.end();
    }
    return true;
}

bool NamenlisteDrucken(const QStringList &namen, const QString &ueberschrift, QWidget *parent)
{
    QPrinter drucker(QPrinterInfo::defaultPrinter(), QPrinter::HighResolution);
    return NamenlisteDrucken(drucker, namen, ueberschrift, parent);
}

std::pair<quint8, quint8> MarkierteSlots(int top, int bottom)
{
    return {quint8(qBound(0, top - 1, 199)), quint8(qBound(0, bottom - 1, 199))};
}

bool DruckUebergabeMarkierte(int top, int bottom, const TDruckPruefungen &pruefungen, const TListeDrucken &drucken)
{
    if (!pruefungen.ListePruefen() || !pruefungen.GridZuProgramm())
        return false;
    const auto [von, bis] = MarkierteSlots(top, bottom);
    drucken(von, bis);
    return true;
}

bool DruckUebergabeAlle(const TDruckPruefungen &pruefungen, const TListeDrucken &drucken)
{
    if (!pruefungen.ListePruefen())
        return false;
    drucken(1, 199);
    return true;
}

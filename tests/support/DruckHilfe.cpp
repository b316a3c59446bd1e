#include "support/DruckHilfe.h"

#include "app/Drucker.h"

#include <QDir>
#include <QProcess>
#include <QRegularExpression>

TPdfDrucker::TPdfDrucker(const QString &ordner)
{
    QDir().mkpath(ordner);
    SetPdfDruckerOrdner(ordner);
}

TPdfDrucker::~TPdfDrucker() { SetPdfDruckerOrdner(QString()); }

TBackprogrammListe freieListe()
{
    TBackprogrammListe liste;
    for (TBackprogramm &p : liste)
        InitBPrgRecord(p);
    return liste;
}

TBackprogramm beispielProgramm(const QByteArray &name, int menge, int sollKT)
{
    TBackprogramm p;
    InitBPrgRecord(p);
    p.Name.setText(name);
    p.Menge = menge;
    p.SollKT = sollKT;
    for (int k = 0; k < 10; ++k) {
        TBackPhase &ph = p.Phasen[k];
        ph.Temperatur = 230 - 5 * k;
        ph.Backzeit = 120;
        ph.Schwaden = k % 2 == 0 ? 30 : 5;
        ph.UmwaelzerZeit = 120;
        ph.AbzugZeit = 120;
        ph.AbzugProzent = 50;
        ph.AusgangZeit = 60;
    }
    return p;
}

namespace {
QString poppler(const QString &programm, const QStringList &argumente)
{
    QProcess p;
    p.start(programm, argumente);
    if (!p.waitForFinished(60000) || p.exitCode() != 0)
        return QString();
    return QString::fromUtf8(p.readAllStandardOutput());
}
} // namespace

QStringList pdfSeitenText(const QString &datei)
{
    QString text = poppler(QStringLiteral("pdftotext"), {QStringLiteral("-layout"), datei, QStringLiteral("-")});
    if (text.isEmpty())
        return {};
    // pdftotext ends every page with a form feed.
    QStringList seiten = text.split(QLatin1Char('\f'));
    if (seiten.size() > 1 && seiten.last().trimmed().isEmpty())
        seiten.removeLast();
    return seiten;
}

QString pdfTitel(const QString &datei)
{
    const QString info = poppler(QStringLiteral("pdfinfo"), {datei});
    static const QRegularExpression titel(QStringLiteral("^Title:\\s*(.*)$"), QRegularExpression::MultilineOption);
    return titel.match(info).captured(1).trimmed();
}

QList<TPdfWort> pdfWoerter(const QString &datei, QSizeF *seite)
{
    const QString html = poppler(QStringLiteral("pdftotext"), {QStringLiteral("-bbox"), datei, QStringLiteral("-")});
    static const QRegularExpression marke(
        QStringLiteral("<page width=\"([\\d.]+)\" height=\"([\\d.]+)\">|<word xMin=\"([\\d.]+)\" yMin=\"([\\d.]+)\" "
                       "xMax=\"([\\d.]+)\" yMax=\"([\\d.]+)\">([^<]*)</word>"));
    QList<TPdfWort> woerter;
    int nr = 0;
    for (auto it = marke.globalMatch(html); it.hasNext();) {
        const QRegularExpressionMatch m = it.next();
        if (!m.captured(1).isEmpty()) {
            if (++nr == 1 && seite)
                *seite = QSizeF(m.captured(1).toDouble(), m.captured(2).toDouble());
            continue;
        }
        QString text = m.captured(7);
        text.replace(QStringLiteral("&lt;"), QStringLiteral("<")).replace(QStringLiteral("&gt;"), QStringLiteral(">"));
        text.replace(QStringLiteral("&quot;"), QStringLiteral("\"")).replace(QStringLiteral("&amp;"), QStringLiteral("&"));
        const QPointF von(m.captured(3).toDouble(), m.captured(4).toDouble());
        const QPointF bis(m.captured(5).toDouble(), m.captured(6).toDouble());
        woerter.append({nr, text, QRectF(von, bis)});
    }
    return woerter;
}

#include "programs/ProgrammRaster.h"

#include "app/Zahlformat.h"
#include "app/uKonstanten.h"

#include <algorithm>
#include <limits>

namespace {
const int MaxBackzeit = 5999;       // 99:59
const int MaxFunktionszeit = 59999; // 999:59
const int MaxSchwadenSekunden = 30;
const int MaxSchwadenZehntel = 99;  // 9,9 litres
const int MaxProzent = 100;

QString zeit(quint32 sekunden)
{
    return MinutenToStr(int(std::min<quint32>(sekunden, quint32(std::numeric_limits<int>::max()))), false);
}

// Times and amounts are unsigned in the record: what is below 0 counts 0.
quint32 saettigen(qint64 v)
{
    return quint32(std::clamp<qint64>(v, 0, std::numeric_limits<quint32>::max()));
}

QString ohneErstes(QString text, QChar c)
{
    const qsizetype p = text.indexOf(c);
    if (p >= 0)
        text.remove(p, 1);
    return text;
}

int ganzeZahl(const QString &text, int fallback, bool *ok = nullptr)
{
    return ParseDec(text.toLatin1(), fallback, ok);
}

// Limited time of a time column: the text and, above the limit, the message.
TZellenPruefung zeitBegrenzen(const QString &text, int limit, const QString &prefix)
{
    const int t = StrToMinuten(text);
    if (t > limit) {
        const QString max = MinutenToStr(limit, true);
        return {max, prefix + max + QStringLiteral(" Minuten!")};
    }
    return {MinutenToStr(t, false), QString()};
}
} // namespace

bool IstTrennspalte(int col)
{
    return col == 2 || col == 4 || col == 7 || col == 10 || col == 13;
}

bool IstEditierSpalte(int col)
{
    return std::find(EditierSpalten.begin(), EditierSpalten.end(), col) != EditierSpalten.end();
}

QString ZahlOderLeer(qint64 value, bool zeigeNull)
{
    if (value == 0 && !zeigeNull)
        return QString();
    return QString::fromLatin1(FormatDec(value, 1));
}

QString ZehntelFormatieren(qint64 zehntel)
{
    QString s = ZahlOderLeer(zehntel);
    if (s.isEmpty())
        return s;
    while (s.size() < 2)
        s.prepend(QLatin1Char('0'));
    s.insert(s.size() - 1, QLatin1Char(','));
    return s;
}

int StrZuZahlOderNull(const QString &text)
{
    return ganzeZahl(text, 0);
}

int StrZuIntOderNull(const QString &text)
{
    return ganzeZahl(text, 0);
}

QString ZeitTextNormalisieren(const QString &text)
{
    QString s = text;
    s.remove(QLatin1Char(' '));
    const QChar colon(QLatin1Char(':'));
    if (s.indexOf(colon) == 1)
        s.prepend(QLatin1Char('0'));
    if (s.indexOf(colon) == 2 && s.size() == 4)
        s.insert(3, QLatin1Char('0'));
    if (!s.contains(colon)) {
        if (s.size() >= 2)
            s += QStringLiteral(":00");
        else if (s.size() == 1)
            s = QLatin1Char('0') + s + QStringLiteral(":00");
    }
    return s;
}

bool IstZeitSpalte(int col, bool schwadenMenge)
{
    return col == Spalte::Backzeit || col == Spalte::AbzugZeit || col == Spalte::UmwZeit || col == Spalte::AusgZeit
           || (col == Spalte::Schwaden && !schwadenMenge);
}

TZellenPruefung ZellePruefenText(int col, int row, const QString &text, const QString &abzugZeit,
                                 const TZellenRegeln &regeln)
{
    if (row < 1 || row > RasterPhasen)
        return {text, QString()};
    QString zelle = text;
    if (IstZeitSpalte(col, regeln.schwadenMenge))
        zelle = ZeitTextNormalisieren(zelle);

    switch (col) {
    case Spalte::Temperatur:
        // Only a number above the limit is touched; anything else stays as typed.
        if (StrZuZahlOderNull(zelle) > regeln.maxSollTemp)
            return {QString::number(regeln.maxSollTemp), QStringLiteral("Die maximale Solltemperatur beträgt ")
                                                             + QString::number(regeln.maxSollTemp)
                                                             + regeln.temperaturEinheit + QStringLiteral("!")};
        return {zelle, QString()};
    case Spalte::Backzeit:
        return zeitBegrenzen(zelle, MaxBackzeit, QStringLiteral("Die maximale Backzeit pro Phase beträgt "));
    case Spalte::Schwaden: {
        if (!regeln.schwadenMenge) {
            const int t = StrToMinuten(zelle);
            if (t > MaxFunktionszeit)
                return {MinutenToStr(MaxFunktionszeit, true), QStringLiteral("Die maximale Zeit beträgt 99 Minuten!")};
            return {MinutenToStr(t, false), QString()};
        }
        const QString ziffern = ohneErstes(ohneErstes(zelle, QLatin1Char(',')), QLatin1Char('.'));
        bool ok = false;
        int v = ganzeZahl(ziffern, 0, &ok);
        if (!ok || v < 0)
            v = 0;
        QString meldung;
        if (regeln.literModus) {
            if (v > MaxSchwadenZehntel) {
                v = MaxSchwadenZehntel;
                meldung = QStringLiteral("Die maximale Schwadenmenge beträgt 9,9 Liter");
            }
            return {ZehntelFormatieren(v), meldung};
        }
        if (v > MaxSchwadenSekunden) {
            v = MaxSchwadenSekunden;
            meldung = QStringLiteral("Die maximale Zeit beträgt 99 Sekunden!");
        }
        return {QString::number(v), meldung};
    }
    case Spalte::UmwZeit:
        return zeitBegrenzen(zelle, MaxFunktionszeit, QStringLiteral("Die maximale Umwälzerzeit pro Phase beträgt "));
    case Spalte::AbzugZeit:
        return zeitBegrenzen(zelle, MaxFunktionszeit, QStringLiteral("Die maximale Abzugzeit pro Phase beträgt "));
    case Spalte::AusgZeit:
        return zeitBegrenzen(zelle, MaxFunktionszeit, QStringLiteral("Die maximale Ausgangzeit pro Phase beträgt "));
    case Spalte::AbzugProzent: {
        const int v = StrZuZahlOderNull(zelle);
        if (v > MaxProzent)
            return {QString::number(MaxProzent), QStringLiteral("Der maximale %-Wert pro Phase beträgt 100 %!")};
        // A phase without exhaust time keeps an empty percentage.
        if (zelle.isEmpty() && abzugZeit.isEmpty())
            return {zelle, QString()};
        return {QString::number(v), QString()};
    }
    default:
        return {zelle, QString()};
    }
}

void ProgrammZuZellen(const TBackprogramm &rec, const TKnopfZustaende &schwadenMenge, bool literModus,
                      TRasterZellen &zellen)
{
    for (int r = 1; r <= RasterPhasen; ++r) {
        const TBackPhase &ph = rec.Phasen[size_t(r - 1)];
        zellen.at(Spalte::Temperatur, r) = ZahlOderLeer(ph.Temperatur);
        zellen.at(Spalte::Backzeit, r) = zeit(ph.Backzeit);
        if (schwadenMenge[size_t(r - 1)])
            zellen.at(Spalte::Schwaden, r) = literModus ? ZehntelFormatieren(ph.Schwaden) : ZahlOderLeer(ph.Schwaden);
        else
            zellen.at(Spalte::Schwaden, r) = zeit(ph.Schwaden);
        zellen.at(Spalte::UmwZeit, r) = zeit(ph.UmwaelzerZeit);
        zellen.at(Spalte::AusgZeit, r) = zeit(ph.AusgangZeit);
        zellen.at(Spalte::AbzugZeit, r) = zeit(ph.AbzugZeit);
        zellen.at(Spalte::AbzugProzent, r) =
            ph.AbzugProzent == 0 ? (ph.AbzugZeit != 0 ? QStringLiteral("0") : QString()) : QString::number(ph.AbzugProzent);
    }
}

void ZellenZuProgramm(const TRasterZellen &zellen, const TKnopfZustaende &schwadenMenge,
                      const TKnopfZustaende &umwaelzer, const TKnopfZustaende &ausgang, bool literModus,
                      TBackprogramm &rec)
{
    for (int r = 1; r <= RasterPhasen; ++r) {
        TBackPhase &ph = rec.Phasen[size_t(r - 1)];
        const size_t i = size_t(r - 1);
        ph.Temperatur = StrZuZahlOderNull(zellen.at(Spalte::Temperatur, r));
        ph.Backzeit = saettigen(StrToMinuten(zellen.at(Spalte::Backzeit, r)));
        const QString &schwaden = zellen.at(Spalte::Schwaden, r);
        if (!schwadenMenge[i])
            ph.Schwaden = saettigen(StrToMinuten(schwaden));
        else if (literModus)
            ph.Schwaden = saettigen(StrZuZahlOderNull(ohneErstes(schwaden, QLatin1Char(','))));
        else
            ph.Schwaden = saettigen(StrZuZahlOderNull(schwaden));
        ph.UmwaelzerZeit = saettigen(StrToMinuten(zellen.at(Spalte::UmwZeit, r)));
        ph.Umwaelzer = umwaelzer[i] ? 100 : 0;
        ph.AusgangZeit = saettigen(StrToMinuten(zellen.at(Spalte::AusgZeit, r)));
        ph.Ausgang = ausgang[i] ? 100 : 0;
        ph.AbzugZeit = saettigen(StrToMinuten(zellen.at(Spalte::AbzugZeit, r)));
        ph.AbzugProzent = quint8(std::clamp(StrZuZahlOderNull(zellen.at(Spalte::AbzugProzent, r)), 0, 255));
    }
    TBackPhase &letzte = rec.Phasen[BPrgPhasenAnzahl - 1];
    letzte.Backzeit = letzte.Schwaden = letzte.UmwaelzerZeit = letzte.Reserve26 = 0;
    letzte.AusgangZeit = letzte.AbzugZeit = 0;
}

TSummen SummenAusZellen(const TRasterZellen &zellen)
{
    TSummen s;
    for (int r = 1; r <= RasterPhasen; ++r) {
        s.gesamt += StrToMinuten(zellen.at(Spalte::Backzeit, r));
        s.ausgang += StrToMinuten(zellen.at(Spalte::AusgZeit, r));
        s.umwaelzer += StrToMinuten(zellen.at(Spalte::UmwZeit, r));
        s.abzug += StrToMinuten(zellen.at(Spalte::AbzugZeit, r));
        s.schwaden += StrToMinuten(zellen.at(Spalte::Schwaden, r));
    }
    return s;
}

bool ZellenHabenDaten(const TRasterZellen &zellen)
{
    for (int r = 1; r <= RasterPhasen; ++r)
        for (int c = 1; c < RasterSpalten; ++c) {
            const QString &t = zellen.at(c, r);
            if (!IstTrennspalte(c) && !t.isEmpty() && t != QLatin1String("0"))
                return true;
        }
    return false;
}

namespace {
// The grid's own one-cell move, as it does it when the window leaves the key alone.
TNavZiel eigenerSchritt(int col, int row, bool vorwaerts, bool tab)
{
    const int ersteSpalte = 1, letzteSpalte = RasterSpalten - 1;
    if (!tab) {
        const int c = vorwaerts ? std::min(col + 1, letzteSpalte) : std::max(col - 1, ersteSpalte);
        return {TNavZiel::Zelle, c, row};
    }
    int c = col + (vorwaerts ? 1 : -1);
    int r = row;
    if (c > letzteSpalte) {
        c = ersteSpalte;
        r = r >= RasterPhasen ? 1 : r + 1;
    } else if (c < ersteSpalte) {
        c = letzteSpalte;
        r = r <= 1 ? RasterPhasen : r - 1;
    }
    return {TNavZiel::Zelle, c, r};
}
} // namespace

TNavZiel NavigationsZiel(int col, int row, bool vorwaerts, bool tab, bool umwSpalteAus)
{
    auto zelle = [](int c, int r) { return TNavZiel{TNavZiel::Zelle, c, r}; };
    if (row < 1 || row > RasterPhasen)
        return eigenerSchritt(col, std::clamp(row, 1, RasterPhasen), vorwaerts, tab);
    if (vorwaerts) {
        switch (col) {
        case 1: return zelle(3, row);
        case 3: return zelle(5, row);
        case 5: return zelle(8, row);
        case 8: return zelle(9, row);
        case 9:
            if (!umwSpalteAus)
                return zelle(11, row);
            if (row == RasterPhasen)
                return zelle(10, row);
            return tab ? zelle(1, row + 1) : zelle(15, row);
        case 11: return zelle(14, row);
        case 14: return row < RasterPhasen ? zelle(1, row + 1) : zelle(15, row);
        default: return eigenerSchritt(col, row, true, tab);
        }
    }
    switch (col) {
    case 1:
        if (row == 1)
            return {TNavZiel::Menge, 0, 0};
        return zelle(umwSpalteAus ? 9 : 14, row - 1);
    case 3: return zelle(1, row);
    case 5: return zelle(3, row);
    case 8: return zelle(5, row);
    case 9: return zelle(8, row);
    case 11: return zelle(9, row);
    case 14: return zelle(11, row);
    default: return eigenerSchritt(col, row, false, tab);
    }
}

TNavZiel ZeilenZiel(int col, int row, bool hoch)
{
    return {TNavZiel::Zelle, col, std::clamp(row + (hoch ? -1 : 1), 1, RasterPhasen)};
}

QString ZeileKopierenText(const TRasterZellen &zellen, int row)
{
    QString text;
    for (int c : EditierSpalten)
        text += QLatin1Char('/') + zellen.at(c, 0) + QLatin1Char('=') + zellen.at(c, row) + QLatin1Char(';');
    return text + QStringLiteral("\r\n");
}

std::array<QString, 7> ZeileEinfuegenTexte(QString text)
{
    std::array<QString, 7> werte;
    for (QString &wert : werte) {
        const qsizetype gleich = text.indexOf(QLatin1Char('='));
        const qsizetype semikolon = text.indexOf(QLatin1Char(';'));
        // Without "=" the value starts at the beginning; without ";" (or with it first) it is empty.
        const qsizetype von = gleich + 1;
        const qsizetype laenge = semikolon - gleich - 1;
        wert = laenge > 0 && semikolon >= 0 ? text.mid(von, laenge) : QString();
        if (semikolon >= 0)
            text.remove(0, semikolon + 1);
    }
    return werte;
}

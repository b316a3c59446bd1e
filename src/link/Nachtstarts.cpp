#include "link/Nachtstarts.h"

#include "app/Codepage.h"
#include "app/IniDatei.h"
#include "app/Zahlformat.h"

#include <QFile>

namespace {
// Grid row (0 = Monday) of the wire's day pair p: Sunday first.
int ZeileDesPaars(int paar) { return paar == 0 ? 6 : paar - 1; }

// Minutes after midnight of one start, -1 when hour or minute is not valid.
int StartMinuten(const QString &stunde, const QString &minute)
{
    int h = NachtZellenZahl(stunde);
    int m = NachtZellenZahl(minute);
    if (h < 0 || h > 23)
        h = -1;
    if (m < 0 || m > 59)
        m = -1;
    return h < 0 || m < 0 ? -1 : h * 60 + m;
}
} // namespace

QString NurZiffern(const QString &text)
{
    QString out;
    out.reserve(text.size());
    for (QChar c : text) {
        if (c == QLatin1Char(' '))
            c = QLatin1Char('0');
        if ((c >= QLatin1Char('0') && c <= QLatin1Char('9')) || c == QLatin1Char(',') || c == QLatin1Char('.'))
            out += c;
    }
    return out;
}

int NachtZellenZahl(const QString &zelle)
{
    return ParseDec(NurZiffern(zelle).toLatin1(), -1);
}

QByteArray NachtstarttextBauen(const TNachtTabelle &tabelle)
{
    QByteArray text;
    for (int paar = 0; paar < NachtTage; ++paar) {
        const TNachtZeile &z = tabelle[ZeileDesPaars(paar)];
        const int erste = StartMinuten(z[0], z[1]);
        const int zweite = StartMinuten(z[2], z[3]);
        const QByteArray s1 = erste < 0 ? QByteArray("-1") : FormatDecPadded(erste, 2);
        QByteArray a = s1, b = "-1";
        if (zweite >= 0) {
            const QByteArray s2 = FormatDecPadded(zweite, 2);
            if (erste < 0)
                a = s2; // the valid second start moves first
            else if (erste > zweite)
                a = s2, b = s1;
            else if (erste < zweite)
                b = s2;
            // equal: a repeated start counts once
        }
        text += a + '\t' + b + '\t';
    }
    text.chop(1);
    return text;
}

void NachtstarttextZeigen(QByteArrayView text, TNachtTabelle &tabelle)
{
    for (int i = 0; !text.isEmpty() && i < 2 * NachtTage; ++i) {
        const qsizetype tab = text.indexOf('\t');
        const QByteArrayView wert = tab < 0 ? text : text.first(tab);
        text = tab < 0 ? QByteArrayView() : text.sliced(tab + 1);

        TNachtZeile &z = tabelle[ZeileDesPaars(i / 2)];
        const int spalte = (i % 2) * 2;
        const int minuten = ParseDec(wert, -1);
        if (minuten < 0) {
            z[spalte] = z[spalte + 1] = NachtLeer;
        } else {
            z[spalte] = QString::fromLatin1(FormatDec(minuten / 60, 2));
            z[spalte + 1] = QString::fromLatin1(FormatDec(minuten % 60, 2));
        }
    }
}

QByteArray NachtZeileText(const TNachtZeile &zeile)
{
    QByteArray wert;
    for (const QString &zelle : zeile)
        wert += StringToAnsi(zelle) + ';';
    return wert;
}

TNachtZeile NachtZeileAusText(const QByteArray &wert)
{
    TNachtZeile zeile;
    qsizetype von = 0;
    for (QString &zelle : zeile) {
        const qsizetype semi = wert.indexOf(';', von);
        if (semi < 0)
            break; // this cell and the ones after it stay empty
        zelle = AnsiToString(wert.mid(von, semi - von));
        von = semi + 1;
    }
    return zeile;
}

void NachtstartIniSetzen(TIniDatei &ini, const TNachtTabelle &tabelle)
{
    for (int tag = 0; tag < NachtTage; ++tag)
        ini.writeString(NachtSektion, NachtTagSchluessel[tag], ProfilWert(NachtZeileText(tabelle[tag])));
}

void NachtstartIniLesen(const TIniDatei &ini, TNachtTabelle &tabelle)
{
    const QByteArray keiner = NachtZeileText({NachtLeer, NachtLeer, NachtLeer, NachtLeer});
    for (int tag = 0; tag < NachtTage; ++tag)
        tabelle[tag] = NachtZeileAusText(ini.readString(NachtSektion, NachtTagSchluessel[tag], keiner));
}

bool NachtstartdateiSchreiben(const QString &datei, const TNachtTabelle &tabelle)
{
    TIniDatei ini;
    if (!ini.load(datei) && QFile::exists(datei))
        return false;
    NachtstartIniSetzen(ini, tabelle);
    return ini.save(datei);
}

bool NachtstartdateiLesen(const QString &datei, TNachtTabelle &tabelle)
{
    TIniDatei ini;
    if (!ini.load(datei))
        return false;
    NachtstartIniLesen(ini, tabelle);
    return true;
}

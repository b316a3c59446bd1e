#include "programs/Programmpruefung.h"

#include "app/uKonstanten.h"

#include <algorithm>
#include <limits>

namespace {
const QString CrLf = QStringLiteral("\r\n");
const quint32 MaxBackzeit = 5999;
const quint32 MaxFunktionszeit = 59999;
const quint32 MaxSchwadenZehntel = 99;
const quint32 MaxSchwadenSekunden = 30;
const quint8 MaxProzent = 100;

template <class T>
void begrenzen(T &wert, T grenze, bool &ueber)
{
    if (wert > grenze) {
        wert = grenze;
        ueber = true;
    }
}

QString zeitText(qint64 sekunden)
{
    return MinutenToStr(int(std::clamp<qint64>(sekunden, std::numeric_limits<int>::min() + 1,
                                               std::numeric_limits<int>::max())),
                        true);
}

QString t(const QStringList &lang, int i) { return lang.value(i); }
} // namespace

QStringList ListenEditorTexte()
{
    return {
        QStringLiteral("s auf"),
        QStringLiteral("min zu"),
        QStringLiteral("an"),
        QStringLiteral("aus"),
        QStringLiteral("liter"),
        QStringLiteral("min zu"),
        QStringLiteral("s auf"),
        QStringLiteral("Umwälzer-Zeiten"),
        QStringLiteral("Abzug-Zeiten"),
        QStringLiteral("Ausgangs-Zeiten"),
        QStringLiteral("Schwaden-Zeiten"),
        QStringLiteral("größer als die Gesamtbackzeit."),
        QStringLiteral("kleiner als die Gesamtbackzeit."),
        QStringLiteral("Bitte ändern Sie die entsprechenden Zeitangaben,"),
        QStringLiteral("um das Programm zu senden, speichern oder drucken!"),
        QStringLiteral("gesendet"),
        QStringLiteral("senden"),
        QStringLiteral("gedruckt"),
        QStringLiteral("drucken"),
        QStringLiteral("gespeichert"),
        QStringLiteral("speichern"),
        QStringLiteral("Achtung: einige Werte des aktuellen Backprogramms"),
        QStringLiteral("sind außerhalb des maximal zulässigen Bereichs!"),
        QStringLiteral("Backprogramm kann so nicht"),
        QStringLiteral("werden"),
        QStringLiteral("Sollen die betreffenden Werte automatisch"),
        QStringLiteral("mit den Maximalwerten ersetzt werden?"),
        QStringLiteral("(Ja: Werte ersetzen und Backprogramm"),
        QStringLiteral("(Nein/Abbrechen: Funktionsabbruch.)"),
        QStringLiteral("Achtung: einige Werte der Backprogramm-Liste"),
        QStringLiteral("Backprogramm-Liste kann so nicht"),
        QStringLiteral("(Ja: Werte ersetzen und Backprogramm-Liste"),
        QStringLiteral("Achtung: einige Summenzeiten der Backprogramm-Liste"),
        QStringLiteral("entsprechen nicht der Gesamtbackzeit!"),
        QStringLiteral("Eine automatische Korrektur ist nicht möglich!"),
        QStringLiteral("Folgende Backprogramme sind betroffen:"),
        QStringLiteral("Soll die Liste dennoch"),
        QStringLiteral("Kein Platz mehr frei!"),
        QStringLiteral("Bitte erst Programme löschen"),
        QStringLiteral("oder neue Liste erstellen"),
        QStringLiteral("XQ-BPrg Senden an"),
        QStringLiteral("TimeOut PrgListe"),
        QStringLiteral("Backprogrammliste wurde verändert!"),
        QStringLiteral("Wollen Sie speichern?"),
        QStringLiteral("Die Backprogrammübertragung war bei"),
        QStringLiteral("Öfen fehlerhaft"),
    };
}

bool ProgrammBegrenzen(TBackprogramm &rec, const TPruefRegeln &regeln)
{
    bool ueber = false;
    for (int p = 0; p < RasterPhasen; ++p) {
        TBackPhase &ph = rec.Phasen[size_t(p)];
        // The temperature alone is compared signed: a negative one passes.
        begrenzen<qint32>(ph.Temperatur, regeln.maxSollTemp, ueber);
        begrenzen(ph.Backzeit, MaxBackzeit, ueber);
        const quint32 schwadenGrenze = !regeln.schwadenMenge[size_t(p)] ? MaxFunktionszeit
                                       : regeln.literModus               ? MaxSchwadenZehntel
                                                                         : MaxSchwadenSekunden;
        begrenzen(ph.Schwaden, schwadenGrenze, ueber);
        begrenzen(ph.UmwaelzerZeit, MaxFunktionszeit, ueber);
        begrenzen(ph.AbzugZeit, MaxFunktionszeit, ueber);
        begrenzen(ph.AbzugProzent, MaxProzent, ueber);
        begrenzen(ph.AusgangZeit, MaxFunktionszeit, ueber);
    }
    return ueber;
}

TSummen ProgrammSummen(const TBackprogramm &rec)
{
    TSummen s;
    for (int p = 0; p < RasterPhasen; ++p) {
        const TBackPhase &ph = rec.Phasen[size_t(p)];
        s.gesamt += ph.Backzeit;
        s.ausgang += ph.AusgangZeit;
        s.umwaelzer += ph.UmwaelzerZeit;
        s.abzug += ph.AbzugZeit;
        s.schwaden += ph.Schwaden;
    }
    return s;
}

TSummenErgebnis SummenPruefen(const TSummen &s, const TPruefRegeln &regeln, const QStringList &lang)
{
    TSummenErgebnis e;
    const qint64 T = s.gesamt;
    e.gesamt = zeitText(T);
    e.ausgSichtbar = regeln.ausgSpalteEin;
    e.ausgRest = zeitText(T - s.ausgang);
    e.umwSichtbar = !regeln.umwSpalteAus;
    e.umwRest = zeitText(T - s.umwaelzer);
    e.abzugRest = zeitText(T - s.abzug);
    e.schwadenRest = zeitText(T - s.schwaden);

    QStringList groesser, kleiner;
    if (!regeln.umwSpalteAus) {
        e.umwRot = s.umwaelzer != T;
        if (s.umwaelzer > T)
            groesser << t(lang, 7);
        else if (s.umwaelzer < T && regeln.summeKleinerIstFehler)
            kleiner << t(lang, 7);
    }
    e.abzugRot = s.abzug != T;
    if (s.abzug > T)
        groesser << t(lang, 8);
    else if (s.abzug < T && regeln.summeKleinerIstFehler)
        kleiner << t(lang, 8);
    // An output or steam sum below the total is no error.
    if (regeln.ausgSpalteEin && s.ausgang > T) {
        groesser << t(lang, 9);
        e.ausgRot = true;
    }
    if (s.schwaden > T) {
        groesser << t(lang, 10);
        e.schwadenRot = true;
    }

    e.fehler = !groesser.isEmpty() || !kleiner.isEmpty();
    if (!groesser.isEmpty())
        e.text += groesser.join(QStringLiteral(", ")) + QLatin1Char(':') + CrLf + t(lang, 11) + CrLf;
    if (!kleiner.isEmpty())
        e.text += kleiner.join(QStringLiteral(", ")) + QLatin1Char(':') + CrLf + t(lang, 12) + CrLf;
    return e;
}

QString SummenMeldung(const QString &text, const QStringList &lang)
{
    return text + CrLf + t(lang, 13) + CrLf + t(lang, 14);
}

QString PruefPartizip(int operation, const QStringList &lang)
{
    return t(lang, operation == OpSenden ? 15 : operation == OpDrucken ? 17 : 19);
}

QString PruefInfinitiv(int operation, const QStringList &lang)
{
    return t(lang, operation == OpSenden ? 16 : operation == OpDrucken ? 18 : 20);
}

namespace {
QString bereichsFrage(int erste, int kannNicht, int ja, int operation, const QStringList &lang)
{
    return QStringList{t(lang, erste),
                       t(lang, 22),
                       t(lang, kannNicht) + QLatin1Char(' ') + PruefPartizip(operation, lang) + QLatin1Char(' ')
                           + t(lang, 24) + QLatin1Char('!'),
                       QString(),
                       t(lang, 25),
                       t(lang, 26),
                       QString(),
                       t(lang, ja) + QLatin1Char(' ') + PruefInfinitiv(operation, lang) + QStringLiteral(".)"),
                       t(lang, 28)}
        .join(CrLf);
}
} // namespace

QString BereichsFrage(int operation, const QStringList &lang)
{
    return bereichsFrage(21, 23, 27, operation, lang);
}

QString ListenBereichsFrage(int operation, const QStringList &lang)
{
    return bereichsFrage(29, 30, 31, operation, lang);
}

QString ListenSummenFrage(int operation, const QString &betroffen, const QStringList &lang)
{
    return QStringList{t(lang, 32),
                       t(lang, 33),
                       t(lang, 34),
                       t(lang, 35),
                       betroffen,
                       QString(),
                       t(lang, 36) + QLatin1Char(' ') + PruefPartizip(operation, lang) + QLatin1Char(' ') + t(lang, 24)
                           + QLatin1Char('?'),
                       QString(),
                       t(lang, 28)}
        .join(CrLf);
}

void BetroffeneAnhaengen(QString &betroffen, int nummer)
{
    betroffen += QString::number(nummer) + QStringLiteral(", ");
    const qsizetype p = betroffen.lastIndexOf(CrLf);
    const qsizetype zeile = p < 0 ? betroffen.size() : betroffen.size() - p - CrLf.size();
    if (zeile > 40)
        betroffen += CrLf;
}

TProgrammBefund ProgrammAuswerten(const TBackprogramm &rec, const TPruefRegeln &regeln, const QStringList &lang)
{
    TProgrammBefund b;
    b.begrenzt = rec;
    b.bereichsFehler = ProgrammBegrenzen(b.begrenzt, regeln);
    b.summen = ProgrammSummen(b.begrenzt);
    b.summenErgebnis = SummenPruefen(b.summen, regeln, lang);
    return b;
}

TListenBefund ListeAuswerten(TBackprogrammListe &liste, const TPruefRegeln &regeln, const QStringList &lang)
{
    TListenBefund b;
    for (int i = 1; i < BPrgListeAnzahl; ++i) {
        liste[size_t(i)].Nummer = i;
        const TProgrammBefund p = ProgrammAuswerten(liste[size_t(i)], regeln, lang);
        b.bereichsFehler |= p.bereichsFehler;
        if (p.summenErgebnis.fehler) {
            b.summenFehler = true;
            BetroffeneAnhaengen(b.betroffen, i);
        }
    }
    return b;
}

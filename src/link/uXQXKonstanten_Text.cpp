// The text form of one baking program: head of keys, body of timed events per oven function.
#include "link/uXQXKonstanten.h"

#include "app/Sammlung.h"
#include "app/Zahlformat.h"

#include <set>

namespace {

const QByteArray kCrLf("\r\n");

// The body is a sorted set of distinct lines, compared without letter case.
struct TOhneGrossKlein
{
    bool operator()(const QByteArray &a, const QByteArray &b) const
    {
        return a.compare(b, Qt::CaseInsensitive) < 0;
    }
};
using TZeilenListe = std::set<QByteArray, TOhneGrossKlein>;

QByteArray eventLine(quint32 time, QByteArrayView name, QByteArrayView value)
{
    return FormatDec(time, 5) + '-' + name.toByteArray() + '-' + value.toByteArray();
}

QByteArray unsignedText(quint32 v) { return FormatDec(v, 0); }

// Only ASCII letters fold; other bytes of a key line are compared as they are.
QByteArray asciiUpper(QByteArray s)
{
    for (char &c : s)
        if (c >= 'a' && c <= 'z')
            c = char(c - 'a' + 'A');
    return s;
}

// Blanks in front of the first "=" do not count.
QByteArray withoutKeyBlanks(QByteArrayView s)
{
    const qsizetype eq = s.indexOf('=');
    if (eq < 0)
        return s.toByteArray();
    QByteArray out;
    out.reserve(s.size());
    for (qsizetype i = 0; i < eq; ++i)
        if (s[i] != ' ')
            out.append(s[i]);
    out.append(s.sliced(eq));
    return out;
}

quint32 sumTo(const std::array<quint32, BPrgPhasenAnzahl> &z, int count)
{
    quint32 s = 0;
    for (int i = 0; i < count; ++i)
        s += z[size_t(i)];
    return s;
}

// Indices into BPrgFeldnamen.
enum TFeld { F_START, F_END, F_TEMP1, F_SCHWAD, F_UMW, F_LUFT, F_ABZUG, F_RES, F_ANZAHL };

// Value and time of the four functions that run on a plain step sequence.
struct TStufenFeld
{
    quint8 TBackPhase::*wert;
    quint32 TBackPhase::*zeit;
};

TStufenFeld stufenFeld(int feld)
{
    switch (feld) {
    case F_UMW: return {&TBackPhase::Umwaelzer, &TBackPhase::UmwaelzerZeit};
    case F_LUFT: return {&TBackPhase::Luft, &TBackPhase::LuftZeit};
    case F_ABZUG: return {&TBackPhase::AbzugProzent, &TBackPhase::AbzugZeit};
    default: return {&TBackPhase::Ausgang, &TBackPhase::AusgangZeit};
    }
}

} // namespace

bool IsKeyLine(QByteArrayView key, QByteArrayView line)
{
    return asciiUpper(withoutKeyBlanks(line)).contains(asciiUpper(withoutKeyBlanks(key)));
}

QByteArray ReadKeyValue(QByteArrayView key, QByteArrayView line)
{
    const QByteArray k = withoutKeyBlanks(key);
    const QByteArray l = withoutKeyBlanks(line);
    // The value keeps its own letter case.
    const qsizetype at = asciiUpper(l).indexOf(asciiUpper(k));
    if (at < 0)
        return QByteArray(1, '\x15');
    return l.mid(at + k.size());
}

QByteArray BPrgTextSchreiben(TBackprogramm rec, bool joinName)
{
    if (joinName)
        rec.Name.setText(JoinNameLines(rec.Name.text()).left(20));
    QByteArray name = rec.Name.text();
    if (CyrillicMode)
        name = AnsiToController(name);

    QByteArray out;
    auto line = [&out](const QByteArray &s) { out.append(s).append(kCrLf); };
    line("##HEAD");
    line("STEUERUNG =" + rec.Steuerung.text());
    line("VERSION =" + rec.PrgVersion.text());
    // Reading takes one blank after "=" off, so a name that begins with one gets one more.
    line((name.startsWith(' ') ? "NAME = " : "NAME =") + name);
    line("MENGE =" + FormatDec(rec.Menge, 0));
    line("PRIO =" + FormatDec(rec.Prio, 0));
    line("VORSCHWADEN =" + FormatDec(rec.Vorschwaden, 0));
    line("SOLL_KT =" + FormatDec(rec.SollKT, 0));
    line("##/HEAD");
    line("##BODY");
    line("00000-START");

    const auto &ph = rec.Phasen;
    TZeilenListe body;
    body.insert(eventLine(0, "TEMP1", FormatDec(ph[0].Temperatur, 0)));
    if (ph[0].AbzugZeit > 0)
        body.insert(eventLine(0, "ABZUG", unsignedText(ph[0].AbzugProzent)));
    if (ph[0].UmwaelzerZeit > 0)
        body.insert(eventLine(0, "UMW", unsignedText(ph[0].Umwaelzer)));
    if (ph[0].AusgangZeit > 0)
        body.insert(eventLine(0, "RES", unsignedText(ph[0].Ausgang)));

    // Every function keeps its own time line; a step of time 0 adds no line, and the next
    // step's line carries the time reached so far.
    std::array<quint32, F_ANZAHL> zeit{};
    std::array<quint32, F_ANZAHL> wert{};
    auto step = [&](int feld, quint32 dauer, quint32 neuerWert, quint32 neueDauer) {
        zeit[size_t(feld)] += dauer;
        wert[size_t(feld)] = neuerWert;
        if (neueDauer != 0)
            body.insert(eventLine(zeit[size_t(feld)], BPrgFeldnamen[size_t(feld)], unsignedText(neuerWert)));
    };
    for (int p = 0; p < 10; ++p) {
        const TBackPhase &jetzt = ph[size_t(p)];
        const TBackPhase &naechste = ph[size_t(p) + 1];
        step(F_TEMP1, jetzt.Backzeit, quint32(naechste.Temperatur), naechste.Backzeit);
        // Steam runs in pairs of phases: pause in the odd phase, shot length in the even one.
        if (p % 2 == 0) {
            quint32 &a = zeit[F_SCHWAD];
            quint32 &w = wert[F_SCHWAD];
            if (LiterModus) {
                // Shot amounts are litres then and add no time.
                a += jetzt.Schwaden;
                w = naechste.Schwaden;
                if (naechste.Schwaden != 0)
                    body.insert(eventLine(a, "SCHWAD", "00-" + unsignedText(w)));
            } else {
                a += w + jetzt.Schwaden;
                w = naechste.Schwaden;
                if (naechste.Schwaden != 0)
                    body.insert(eventLine(a, "SCHWAD", unsignedText(w)));
            }
        }
        step(F_UMW, jetzt.UmwaelzerZeit, naechste.Umwaelzer, naechste.UmwaelzerZeit);
        step(F_LUFT, jetzt.LuftZeit, naechste.Luft, naechste.LuftZeit);
        step(F_ABZUG, jetzt.AbzugZeit, naechste.AbzugProzent, naechste.AbzugZeit);
        step(F_RES, jetzt.AusgangZeit, naechste.Ausgang, naechste.AusgangZeit);
    }

    quint32 umwSumme = 0, backSumme = 0;
    for (int p = 0; p < 10; ++p) {
        umwSumme += ph[size_t(p)].UmwaelzerZeit;
        backSumme += ph[size_t(p)].Backzeit;
    }
    body.insert(eventLine(umwSumme, "UMW", "100"));
    body.insert(FormatDec(backSumme, 5) + "-END");

    for (const QByteArray &s : body)
        line(s);
    line("##/BODY");
    return out;
}

void BPrgTextLesen(QByteArrayView text, TBackprogramm &rec)
{
    TBackprogramm neu; // every byte 0
    std::array<quint32, BPrgPhasenAnzahl> literZeit{};
    std::array<int, F_ANZAHL> anzahl{};
    bool kopf = false, rumpf = false;

    static const std::array<QByteArrayView, 7> kKeys{"STEUERUNG =", "VERSION =",   "NAME =",       "MENGE =",
                                                      "PRIO =",      "SOLL_KT =", "VORSCHWADEN ="};

    auto phaseSum = [&neu](quint32 TBackPhase::*feld, int count) {
        quint32 s = 0;
        for (int i = 0; i < count; ++i)
            s += neu.Phasen[size_t(i)].*feld;
        return s;
    };

    qsizetype pos = 0;
    // A last line without CR LF is never complete and so has no effect.
    for (;;) {
        const qsizetype end = text.indexOf(kCrLf, pos);
        if (end < 0)
            break;
        const QByteArrayView zeile = text.sliced(pos, end - pos);
        pos = end + 2;

        if (zeile.startsWith("##HEAD")) {
            kopf = true;
            continue;
        }
        if (zeile.startsWith("##/HEAD")) {
            kopf = false;
            continue;
        }
        if (zeile.startsWith("##BODY")) {
            rumpf = true;
            continue;
        }
        if (zeile.startsWith("##/BODY")) {
            rumpf = false;
            continue;
        }

        if (kopf) {
            for (size_t k = 0; k < kKeys.size(); ++k) {
                if (!IsKeyLine(kKeys[k], zeile))
                    continue;
                const QByteArray wert = ReadKeyValue(kKeys[k], zeile);
                switch (k) {
                case 0: neu.Steuerung.setText(wert.left(20)); break;
                case 1: neu.PrgVersion.setText(wert.left(20)); break;
                case 2: {
                    // One blank after "=" belongs to the line, not to the name; the name is
                    // cut to 20 only after it has gone.
                    QByteArray name = wert;
                    if (name.startsWith(' '))
                        name.remove(0, 1);
                    name = name.left(20);
                    if (CyrillicMode)
                        name = ControllerToAnsi(name).left(20);
                    neu.Name.setText(name);
                    break;
                }
                case 3: neu.Menge = ParseDec(wert, 0); break;
                case 4: neu.Prio = ParseDec(wert, 0); break;
                case 5: neu.SollKT = ParseDec(wert, 0); break;
                case 6: neu.Vorschwaden = ParseDec(wert, 0); break;
                }
                break;
            }
        }

        if (!rumpf)
            continue;
        for (int feld = 0; feld < F_ANZAHL; ++feld) {
            if (!zeile.contains(BPrgFeldnamen[size_t(feld)]) || anzahl[size_t(feld)] > 10)
                continue;
            int n = ++anzahl[size_t(feld)];

            // "t-NAME-a" or "t-NAME-a-b"
            const qsizetype m1 = zeile.indexOf('-');
            const quint32 t = quint32(ParseDec(m1 < 0 ? QByteArrayView() : zeile.first(m1), 0));
            QByteArrayView rest = m1 < 0 ? zeile : zeile.sliced(m1 + 1);
            const qsizetype m2 = rest.indexOf('-');
            if (m2 >= 0)
                rest = rest.sliced(m2 + 1);
            const qsizetype m3 = rest.indexOf('-');
            const int a = ParseDec(m3 < 0 ? rest : rest.first(m3), 0);
            const int b = m3 < 0 ? 0 : ParseDec(rest.sliced(m3 + 1), 0);

            auto &P = neu.Phasen;
            switch (feld) {
            case F_START:
                break;
            case F_END: {
                // Closes the running step of four functions; steam and air stay open.
                if (const int k = anzahl[F_TEMP1]; k > 0)
                    P[size_t(k - 1)].Backzeit = t - phaseSum(&TBackPhase::Backzeit, k - 1);
                for (int f : {F_UMW, F_ABZUG, F_RES}) {
                    if (const int k = anzahl[size_t(f)]; k > 0) {
                        const auto z = stufenFeld(f).zeit;
                        P[size_t(k - 1)].*z = t - phaseSum(z, k - 1);
                    }
                }
                break;
            }
            case F_TEMP1:
                P[size_t(n - 1)].Temperatur = a;
                if (n >= 2)
                    P[size_t(n - 2)].Backzeit = t - phaseSum(&TBackPhase::Backzeit, n - 2);
                break;
            case F_SCHWAD:
                if (LiterModus) {
                    P[size_t(n - 1)].Schwaden = t - sumTo(literZeit, n - 1);
                    literZeit[size_t(n - 1)] = P[size_t(n - 1)].Schwaden;
                    if (n <= 10) {
                        ++anzahl[F_SCHWAD];
                        P[size_t(n)].Schwaden = quint32(b);
                        literZeit[size_t(n)] = quint32(a);
                    }
                } else {
                    P[size_t(n - 1)].Schwaden = t - phaseSum(&TBackPhase::Schwaden, n - 1);
                    if (n <= 10) {
                        ++anzahl[F_SCHWAD];
                        P[size_t(n)].Schwaden = quint32(a);
                    }
                }
                break;
            default: {
                const TStufenFeld sf = stufenFeld(feld);
                if (n == 1 && t > 0) {
                    // The function was off until its first line.
                    P[0].*sf.wert = 0;
                    P[0].*sf.zeit = 0;
                    n = ++anzahl[size_t(feld)];
                }
                P[size_t(n - 1)].*sf.wert = quint8(a);
                if (n >= 2)
                    P[size_t(n - 2)].*sf.zeit = t - phaseSum(sf.zeit, n - 2);
                break;
            }
            }
        }
    }
    rec = neu;
}

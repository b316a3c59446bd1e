#include "programs/Selbsttest.h"

#include "app/Zahlformat.h"

namespace {
// Phases 1..10 of a record; phase p is Phasen[p - 1].
constexpr int Phasen = 10;

int basis(int s) { return s <= 100 ? s : s - 100; }

quint32 phasenZeit(int s)
{
    if (s < 100)
        return quint32(60 * s);
    if (s == 100)
        return 5940;
    return quint32(60 * (s - 100));
}

quint8 zustand(int p) { return p % 2 == 0 ? 1 : 0; }

QByteArray vollName(int s) { return "PrgTest" + FormatDec(s, 2); }
QByteArray halbName(int s) { return "PrgTest_X_" + FormatDec(s, 2); }

void zustandSetzen(TBackPhase &ph, quint8 z)
{
    ph.Reserve4 = ph.Umwaelzer = ph.Luft = ph.Reserve7 = ph.Ausgang = ph.AbzugProzent = z;
}

bool zustandIst(const TBackPhase &ph, quint8 z)
{
    return ph.Reserve4 == z && ph.Umwaelzer == z && ph.Luft == z && ph.Reserve7 == z && ph.Ausgang == z
           && ph.AbzugProzent == z;
}

void kopfSetzen(TBackprogramm &rec, const QByteArray &name, int s)
{
    rec.Name.setText(name);
    rec.Nummer = s;
    rec.Menge = s;
    rec.Prio = 0;
    rec.Vorschwaden = 0;
    rec.Steuerung.setText(QByteArray());
    rec.PrgVersion.setText("1");
}

// Bits of the head fields that differ: 1 name, 2 names-table entry, 4 quantity, 8 priority,
// 16 pre-steam, 32 core temperature.
int kopfBits(const TBackprogramm &rec, const QByteArray &namenEintrag, const QByteArray &name, int s)
{
    int bits = 0;
    if (rec.Name.text() != name)
        bits |= 1;
    if (namenEintrag != name)
        bits |= 2;
    if (rec.Menge != s)
        bits |= 4;
    if (rec.Prio != 0)
        bits |= 8;
    if (rec.Vorschwaden != 0)
        bits |= 16;
    if (rec.SollKT != s)
        bits |= 32;
    return bits;
}

// The three function times of the closing phase `p` against the total of `p` phases minus
// the sums of their own earlier phases: each sum is the total baking time.
bool schlussZeitenStimmen(const TBackprogramm &rec, int p, quint32 gesamt)
{
    for (quint32 TBackPhase::*feld : {&TBackPhase::UmwaelzerZeit, &TBackPhase::AusgangZeit, &TBackPhase::AbzugZeit}) {
        qint64 rest = gesamt;
        for (int i = 1; i < p; ++i)
            rest -= rec.Phasen[size_t(i - 1)].*feld;
        if (qint64(rec.Phasen[size_t(p - 1)].*feld) != rest)
            return false;
    }
    return true;
}
} // namespace

void VollesMusterErzeugen(TBackprogrammListe &liste, TNamenListe &namen)
{
    for (int s = ErstesProgramm; s <= LetztesProgramm; ++s) {
        TBackprogramm &rec = liste[size_t(s)];
        kopfSetzen(rec, vollName(s), s);
        rec.SollKT = s;
        namen[size_t(s)] = vollName(s);
        const quint32 t = phasenZeit(s);
        for (int p = 1; p <= Phasen; ++p) {
            TBackPhase &ph = rec.Phasen[size_t(p - 1)];
            ph.Temperatur = 200 + basis(s);
            zustandSetzen(ph, zustand(p));
            ph.Backzeit = t;
            ph.Schwaden = quint32(p);
            ph.LuftZeit = 0;
            ph.Reserve26 = 0;
            const quint32 zeit = p < Phasen ? quint32(p) : Phasen * t - 45;
            ph.UmwaelzerZeit = ph.AusgangZeit = ph.AbzugZeit = zeit;
        }
    }
}

void HalbesMusterErzeugen(TBackprogrammListe &liste, TNamenListe &namen)
{
    for (int s = ErstesProgramm; s <= LetztesProgramm; ++s) {
        TBackprogramm &rec = liste[size_t(s)];
        kopfSetzen(rec, halbName(s), s);
        namen[size_t(s)] = halbName(s);
        const quint32 t = phasenZeit(s);
        for (int p = 1; p <= 2; ++p) {
            TBackPhase &ph = rec.Phasen[size_t(p - 1)];
            ph.Temperatur = s + 100;
            zustandSetzen(ph, zustand(p));
            ph.Backzeit = t;
            ph.Schwaden = quint32(2 * p);
            ph.LuftZeit = 0;
            ph.Reserve26 = 0;
            const quint32 zeit = p == 1 ? 2 : 2 * t - 2;
            ph.UmwaelzerZeit = ph.AusgangZeit = ph.AbzugZeit = zeit;
        }
        for (int p = 3; p <= Phasen; ++p)
            rec.Phasen[size_t(p - 1)] = TBackPhase{};
    }
}

QByteArray VollesMusterPruefen(const TBackprogrammListe &liste, const TNamenListe &namen, bool mitKern)
{
    QByteArray ergebnis;
    for (int s = ErstesProgramm; s <= LetztesProgramm; ++s) {
        const TBackprogramm &rec = liste[size_t(s)];
        const QByteArray nr = FormatDec(s, 2);
        const int bits = kopfBits(rec, namen[size_t(s)], vollName(s), s);
        // The core temperature counts only while it is checked, but is reported whenever it differs.
        if ((bits & ~32) != 0 || (mitKern && bits != 0)) {
            ergebnis += nr + "-1." + FormatDec(bits, 0) + '-';
            continue;
        }
        const quint32 t = phasenZeit(s);
        const qint32 temperatur = 200 + basis(s);
        QByteArray fehler;
        for (int p = 1; p < Phasen && fehler.isEmpty(); ++p) {
            const TBackPhase &ph = rec.Phasen[size_t(p - 1)];
            const quint32 z = quint32(p);
            if (ph.Temperatur != temperatur || ph.Backzeit != t || ph.Schwaden != z || ph.UmwaelzerZeit != z
                || ph.AusgangZeit != z || ph.AbzugZeit != z || ph.LuftZeit != 0 || ph.Reserve26 != 0)
                fehler = nr + "-2." + FormatDec(p, 0) + '-';
        }
        const TBackPhase &letzte = rec.Phasen[Phasen - 1];
        if (fehler.isEmpty()
            && (letzte.Temperatur != temperatur || letzte.Backzeit != t || letzte.Schwaden != quint32(Phasen)
                || letzte.LuftZeit != 0 || letzte.Reserve26 != 0 || !schlussZeitenStimmen(rec, Phasen, Phasen * t)))
            fehler = nr + "-3-";
        ergebnis += fehler;
    }
    return ergebnis.isEmpty() ? QByteArray("fehlerfrei") : ergebnis;
}

QByteArray HalbesMusterPruefen(const TBackprogrammListe &liste, const TNamenListe &namen)
{
    QByteArray ergebnis;
    for (int s = ErstesProgramm; s <= LetztesProgramm; ++s) {
        const TBackprogramm &rec = liste[size_t(s)];
        const QByteArray nr = FormatDec(s, 2);
        const quint32 t = phasenZeit(s);
        const qint32 temperatur = s + 100;
        // Each later error replaces the one before.
        QByteArray fehler;
        if ((kopfBits(rec, namen[size_t(s)], halbName(s), s) & ~32) != 0)
            fehler = nr + "-1-";
        const TBackPhase &erste = rec.Phasen[0];
        if (erste.Temperatur != temperatur || erste.Backzeit != t || erste.Schwaden != 2 || erste.UmwaelzerZeit != 2
            || erste.AusgangZeit != 2 || erste.AbzugZeit != 2 || erste.LuftZeit != 0 || erste.Reserve26 != 0
            || !zustandIst(erste, zustand(1)))
            fehler = nr + "-2-";
        const TBackPhase &zweite = rec.Phasen[1];
        if (zweite.Temperatur != temperatur || zweite.Backzeit != t || zweite.Schwaden != 4 || zweite.LuftZeit != 0
            || zweite.Reserve26 != 0 || !schlussZeitenStimmen(rec, 2, 2 * t))
            fehler = nr + "-3-";
        const TBackPhase &dritte = rec.Phasen[2];
        if (dritte.Temperatur != 0 || dritte.Backzeit != 0 || dritte.Schwaden != 0 || dritte.LuftZeit != 0
            || dritte.Reserve26 != 0 || dritte.AusgangZeit != 0 || dritte.AbzugZeit != 0)
            fehler = nr + "-4-";
        for (int p = 4; p <= Phasen; ++p) {
            const TBackPhase &ph = rec.Phasen[size_t(p - 1)];
            if (ph.Temperatur != 0 || ph.Backzeit != 0 || ph.Schwaden != 0 || ph.UmwaelzerZeit != 0 || ph.LuftZeit != 0
                || ph.Reserve26 != 0 || ph.AusgangZeit != 0 || ph.AbzugZeit != 0 || ph.Reserve4 != 0
                || ph.AbzugProzent != 0)
                fehler = nr + "-5-";
        }
        ergebnis += fehler;
    }
    return ergebnis.isEmpty() ? QByteArray("fehlerfrei") : ergebnis;
}

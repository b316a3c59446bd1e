// The text form of a baking program, as a program file, a BPRG answer or a chunk of a
// whole-list transfer brings it: read, written and read again gives the same record.
#include "FuzzHilfe.h"

#include "app/Sammlung.h"
#include "link/uXQXKonstanten.h"
#include "programs/Listendateien.h"

namespace {

QByteArray feldText(const TBackprogramm &r)
{
    // Enough to show which field differs.
    const auto roh = [](const TString20 &t) {
        return QByteArray::number(t.Laenge) + ':' + QByteArray(t.Zeichen.data(), qsizetype(t.Zeichen.size())).toHex();
    };
    QByteArray s = "Name=" + roh(r.Name) + " Steuerung=" + roh(r.Steuerung) + " Version=" + roh(r.PrgVersion)
                   + " Menge=" + QByteArray::number(r.Menge) + " Prio=" + QByteArray::number(r.Prio)
                   + " SollKT=" + QByteArray::number(r.SollKT) + " Vorschwaden=" + QByteArray::number(r.Vorschwaden);
    for (const TBackPhase &p : r.Phasen)
        s += " [" + QByteArray::number(p.Temperatur) + ',' + QByteArray::number(p.Backzeit) + ','
             + QByteArray::number(p.Schwaden) + ',' + QByteArray::number(p.Umwaelzer) + '/'
             + QByteArray::number(p.UmwaelzerZeit) + ',' + QByteArray::number(p.Luft) + '/'
             + QByteArray::number(p.LuftZeit) + ',' + QByteArray::number(p.AbzugProzent) + '/'
             + QByteArray::number(p.AbzugZeit) + ',' + QByteArray::number(p.Ausgang) + '/'
             + QByteArray::number(p.AusgangZeit) + ']';
    return s;
}

// The record as far as the text form carries it: a value over no time never gets a line of
// its own (the first phase's temperature excepted). Air is compared on its own (luftGleich).
// Bytes behind a string's length are no part of it.
TBackprogramm getragen(TBackprogramm r)
{
    for (TString20 *t : {&r.Name, &r.Steuerung, &r.PrgVersion}) {
        TString20 nur;
        nur.setText(t->text());
        *t = nur;
    }
    for (size_t i = 1; i < r.Phasen.size(); ++i)
        if (r.Phasen[i].Backzeit == 0)
            r.Phasen[i].Temperatur = 0;
    for (TBackPhase &p : r.Phasen) {
        p.Luft = 0;
        p.LuftZeit = 0;
        if (p.UmwaelzerZeit == 0)
            p.Umwaelzer = 0;
        if (p.AbzugZeit == 0)
            p.AbzugProzent = 0;
        if (p.AusgangZeit == 0)
            p.Ausgang = 0;
    }
    return r;
}

struct TLuftSchritt
{
    qint64 beginn = 0;
    quint32 wert = 0;
    quint32 dauer = 0;
    bool operator==(const TLuftSchritt &) const = default;
};

// The air steps that last: where each begins, its value and how long it lasts.
QList<TLuftSchritt> luftSchritte(const TBackprogramm &r)
{
    QList<TLuftSchritt> s;
    qint64 beginn = 0;
    for (const TBackPhase &p : r.Phasen) {
        if (p.LuftZeit != 0)
            s.append({beginn, p.Luft, p.LuftZeit});
        beginn += p.LuftZeit;
    }
    return s;
}

QByteArray luftText(const TBackprogramm &r)
{
    QByteArray t;
    for (const TBackPhase &p : r.Phasen)
        t += " [" + QByteArray::number(p.Luft) + '/' + QByteArray::number(p.LuftZeit) + ']';
    return t;
}

// Air through the text form: a line per step after the first, at its beginning with its
// value, and no start line and no closing line. So `gelesen`, read from the text of `r`,
// holds r's steps that last with the same beginnings, values and times, except that the
// first phase's value is not carried (0 when that phase lasts, else the next step's value
// moves up), and the last step's time is not: that step comes back lasting no time, as the
// step behind the ones that last, and nothing follows it.
bool luftGleich(const TBackprogramm &r, const TBackprogramm &gelesen)
{
    QList<TLuftSchritt> erwartet = luftSchritte(r);
    TLuftSchritt letzter;
    // Only a step after the first phase has a line of its own.
    const bool letzterHatZeile = !erwartet.isEmpty() && !(erwartet.size() == 1 && r.Phasen[0].LuftZeit != 0);
    if (!erwartet.isEmpty())
        letzter = erwartet.takeLast();
    if (!erwartet.isEmpty() && r.Phasen[0].LuftZeit != 0)
        erwartet.first().wert = 0;
    if (luftSchritte(gelesen) != erwartet)
        return false;
    size_t schwanz = 0;
    for (size_t i = 0; i < gelesen.Phasen.size(); ++i)
        if (gelesen.Phasen[i].LuftZeit != 0)
            schwanz = i + 1;
    for (size_t i = schwanz; i < gelesen.Phasen.size(); ++i) {
        const TBackPhase &p = gelesen.Phasen[i];
        const quint32 wert = (i == schwanz && letzterHatZeile) ? letzter.wert : 0;
        if (p.LuftZeit != 0 || p.Luft != wert)
            return false;
    }
    return true;
}

// Times are five-digit fields and the body's lines are ordered as text: only where every
// function's times add up to at most 99999 s is the order of the lines the order in time. The
// END line closes the switched functions, so none of them may run past the baking time.
bool imFormat(const TBackprogramm &r)
{
    const auto summe = [&r](quint32 TBackPhase::*zeit) {
        qint64 s = 0;
        for (const TBackPhase &p : r.Phasen)
            s += p.*zeit;
        return s;
    };
    const qint64 backzeit = summe(&TBackPhase::Backzeit);
    if (backzeit > 99999 || summe(&TBackPhase::Schwaden) > 99999)
        return false;
    for (quint32 TBackPhase::*zeit : {&TBackPhase::UmwaelzerZeit, &TBackPhase::LuftZeit, &TBackPhase::AbzugZeit,
                                      &TBackPhase::AusgangZeit})
        if (summe(zeit) > backzeit)
            return false;
    return true;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    TFuzzEingabe e;
    if (!FuzzEingabeLesen(data, size, e))
        return 0;
    // First byte: the modes the text form depends on, and whether the bytes come as a file.
    LiterModus = e.modus & 1;
    CyrillicMode = e.modus & 2;
    TGenaueBytes ausDatei;
    const QByteArray *text = &e.bytes;
    if (e.modus & 4) {
        ausDatei.setzen(ProgrammTextAusDatei(e.bytes));
        text = &ausDatei.bytes();
        if (!IstProgrammText(*text))
            return 0;
    }

    TBackprogramm erst;
    InitBPrgRecord(erst);
    BPrgTextLesen(*text, erst);
    const QByteArray geschrieben = BPrgTextSchreiben(erst, false);
    if (!IstProgrammText(geschrieben))
        FuzzFund("a written program text is no program text", {}, geschrieben);
    TBackprogramm wieder;
    BPrgTextLesen(TGenaueBytes(geschrieben).bytes(), wieder);
    // The head comes back as it was read.
    TBackprogramm kopf = wieder;
    kopf.Phasen = erst.Phasen;
    if (!(getragen(kopf) == getragen(erst)))
        FuzzFund("program text: the head does not come back", feldText(erst), feldText(wieder));
    // The body is written in its own terms (the fan's closing line, say, is always there), so
    // it comes back the same from the second pass on.
    if (!imFormat(erst) || !imFormat(wieder)) {
        LiterModus = CyrillicMode = false;
        return 0;
    }
    if (!luftGleich(erst, wieder))
        FuzzFund("program text: air does not come back as the text carries it", luftText(erst) + "\n" + geschrieben,
                 luftText(wieder));
    TBackprogramm dritt;
    const QByteArray zweimal = BPrgTextSchreiben(wieder, false);
    BPrgTextLesen(TGenaueBytes(zweimal).bytes(), dritt);
    if (!(getragen(dritt) == getragen(wieder)))
        FuzzFund("program text: read(write(r)) != r for a record r written once",
                 feldText(wieder) + "\n" + geschrieben, feldText(dritt) + "\n" + zweimal);
    if (!luftGleich(wieder, dritt))
        FuzzFund("program text: air of a record written once does not come back as the text carries it",
                 luftText(wieder) + "\n" + zweimal, luftText(dritt));
    LiterModus = CyrillicMode = false;
    return 0;
}

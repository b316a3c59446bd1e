#include "programs/Listenteile.h"

#include "app/Sammlung.h"
#include "app/Zahlformat.h"

namespace {
constexpr char Tab = '\t';
constexpr int ProTeil = 17;

// The text up to the next TAB, taken off with its TAB; with no TAB left, all of the rest.
QByteArrayView feldNehmen(QByteArrayView &rest)
{
    const qsizetype tab = rest.indexOf(Tab);
    const QByteArrayView feld = tab >= 0 ? rest.first(tab) : rest;
    rest = tab >= 0 ? rest.sliced(tab + 1) : QByteArrayView();
    return feld;
}
} // namespace

int ListenteilVon(int k)
{
    return k <= 1 ? 0 : ProTeil * (k - 1) + 1;
}

int ListenteilBis(int k)
{
    return qMin(ProTeil * k, LetztesProgramm);
}

QList<QByteArray> ListenteileBilden(const TBackprogrammListe &liste)
{
    QList<QByteArray> teile;
    for (int k = 1; k <= ListenteilAnzahl; ++k) {
        QByteArray teil;
        for (int i = ListenteilVon(k); i <= ListenteilBis(k); ++i) {
            teil += FormatDec(i, 2);
            teil += Tab;
            teil += StrToHexDump(BPrgTextSchreiben(liste[size_t(i)], true));
            teil += Tab;
        }
        teile << teil;
    }
    return teile;
}

void ListenteileLesen(QByteArrayView puffer, TBackprogrammListe &liste)
{
    for (TBackprogramm &rec : liste)
        InitBPrgRecord(rec);
    QByteArrayView rest = puffer;
    while (!rest.isEmpty()) {
        // An entry without its TAB has no number.
        const qsizetype tab = rest.indexOf(Tab);
        const QByteArrayView nummer = tab >= 0 ? rest.first(tab) : QByteArrayView();
        rest = tab >= 0 ? rest.sliced(tab + 1) : QByteArrayView();
        const int n = ParseDec(nummer, -1);
        const QByteArray text = HexDumpToStr(feldNehmen(rest));
        if (n < ErstesProgramm || n > LetztesProgramm)
            continue;
        // A later entry of the same program holds, as on the link's side.
        if (text.startsWith("##HEAD"))
            BPrgTextLesen(text, liste[size_t(n)]);
        else
            InitBPrgRecord(liste[size_t(n)]);
    }
}

QByteArray BprgSchreibParameter(int nr, const TBackprogramm &rec)
{
    if (IsFreeSlotName(rec.Name.text()))
        return "DELETE" + QByteArray(1, Tab) + FormatHex(nr, 4);
    return FormatHex(nr, 4) + Tab + BPrgTextSchreiben(rec, true).replace("\r\n", QByteArray(1, Tab));
}

QByteArray BprgLeseParameter(int nr)
{
    return FormatHex(nr, 4);
}

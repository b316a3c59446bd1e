// What goes between the list editor and the link for a transfer: a whole list as twelve
// chunks of hex-encoded program texts, and the BPRG parameters of one program.
#include "link/uXQXKonstanten.h"

#include "app/Sammlung.h"
#include "app/Zahlformat.h"

namespace {
constexpr char Tab = '\t';
constexpr int ProTeil = 17;
} // namespace

int ListenteilVon(int k)
{
    return k <= 1 ? 0 : ProTeil * (k - 1) + 1;
}

int ListenteilBis(int k)
{
    return qMin(ProTeil * k, LetztesProgramm);
}

void ListenteilEintragAnhaengen(QByteArray &teil, int nr, QByteArrayView text)
{
    teil += FormatDec(nr, 2);
    teil += Tab;
    teil += StrToHexDump(text);
    teil += Tab;
}

void ListenteilEintraegeLesen(QByteArrayView teile, bool nummerNurMitTab,
                              const std::function<void(int nr, QByteArrayView dump)> &eintrag)
{
    QByteArrayView rest = teile;
    while (!rest.isEmpty()) {
        const int nr = ParseDec(feldNehmen(rest, nummerNurMitTab), -1);
        eintrag(nr, feldNehmen(rest));
    }
}

QList<QByteArray> ListenteileBilden(const TBackprogrammListe &liste)
{
    QList<QByteArray> teile;
    for (int k = 1; k <= ListenteilAnzahl; ++k) {
        QByteArray teil;
        for (int i = ListenteilVon(k); i <= ListenteilBis(k); ++i)
            ListenteilEintragAnhaengen(teil, i, BPrgTextSchreiben(liste[size_t(i)], true));
        teile << teil;
    }
    return teile;
}

void ListenteileLesen(QByteArrayView puffer, TBackprogrammListe &liste)
{
    for (TBackprogramm &rec : liste)
        InitBPrgRecord(rec);
    // An entry without its TAB has no number.
    ListenteilEintraegeLesen(puffer, true, [&liste](int n, QByteArrayView dump) {
        if (!gueltigerPlatz(n))
            return;
        // A later entry of the same program holds, as on the link's side.
        const QByteArray text = HexDumpToStr(dump);
        if (text.startsWith("##HEAD"))
            BPrgTextLesen(text, liste[size_t(n)]);
        else
            InitBPrgRecord(liste[size_t(n)]);
    });
}

QByteArray BprgSchreibParameter(int nr, QByteArrayView name, QByteArrayView text)
{
    if (IsFreeSlotName(name))
        return "DELETE" + QByteArray(1, Tab) + BprgLeseParameter(nr);
    QByteArray param = BprgLeseParameter(nr);
    param.reserve(param.size() + 1 + text.size());
    param += Tab;
    param += text;
    return param;
}

QByteArray BprgSchreibParameter(int nr, const TBackprogramm &rec)
{
    const QByteArray name = rec.Name.text();
    if (IsFreeSlotName(name))
        return BprgSchreibParameter(nr, name, {});
    return BprgSchreibParameter(nr, name, BPrgTextZeilenMitTab(BPrgTextSchreiben(rec, true)));
}

QByteArray BprgLeseParameter(int nr)
{
    return FormatHex(nr, 4);
}

QByteArray BPrgTextZeilenMitTab(QByteArray text)
{
    return text.replace("\r\n", QByteArray(1, Tab));
}

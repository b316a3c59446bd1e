// The frame and the answer check as pure functions.
#include "link/uXqxOfen_Rahmen.h"

#include "app/Zahlformat.h"
#include "app/uKonstanten.h"

namespace {

// One to four upper-case hex digits, as a name list numbers its programs.
bool istNummernfeld(QByteArrayView f)
{
    return f.size() >= 1 && f.size() <= 4 && HexToInt(f) >= 0;
}

using TBereiche = QList<std::pair<qsizetype, qsizetype>>;

// The program text of a "BPRG" answer: from after the number's TAB to the EOT.
void programmText(QByteArrayView inner, TBereiche &daten)
{
    const qsizetype tab = inner.indexOf(TAB);
    if (tab < 0 || !inner.sliced(tab + 1).startsWith("##HEAD"))
        return;
    const qsizetype eot = inner.indexOf(EOT, tab + 1);
    daten.append({tab + 1, eot >= 0 ? eot : inner.size()});
}

// The name of each number and name pair, as long as the numbers read as numbers.
void namenDerListe(QByteArrayView inner, TBereiche &daten)
{
    qsizetype ende = inner.indexOf(EOT);
    if (ende < 0)
        ende = inner.size();
    qsizetype pos = 4;
    while (pos < ende) {
        const qsizetype nrEnde = inner.indexOf(TAB, pos);
        if (nrEnde < 0 || nrEnde > ende || !istNummernfeld(inner.sliced(pos, nrEnde - pos)))
            return;
        qsizetype nameEnde = inner.indexOf(TAB, nrEnde + 1);
        if (nameEnde < 0 || nameEnde > ende)
            nameEnde = ende;
        daten.append({nrEnde + 1, nameEnde});
        pos = nameEnde < ende ? nameEnde + 1 : ende;
    }
}

// The program name of each deck record (its third field), where a TAB ends it.
void namenDerDecks(QByteArrayView inner, TBereiche &daten)
{
    qsizetype ende = inner.indexOf(EOT);
    if (ende < 0)
        ende = inner.size();
    qsizetype satz = 0;
    while (satz < ende && inner.sliced(satz).startsWith("herd")) {
        qsizetype satzEnde = inner.indexOf(ENQ, satz);
        if (satzEnde < 0 || satzEnde > ende)
            satzEnde = ende;
        const qsizetype t1 = inner.indexOf(TAB, satz);
        const qsizetype t2 = t1 >= 0 && t1 < satzEnde ? inner.indexOf(TAB, t1 + 1) : -1;
        const qsizetype t3 = t2 >= 0 && t2 < satzEnde ? inner.indexOf(TAB, t2 + 1) : -1;
        if (t3 >= 0 && t3 < satzEnde)
            daten.append({t2 + 1, t3});
        satz = satzEnde + 1;
    }
}

// The line as the search for "EPAR" / "EUCD" sees it: program texts and program names may
// hold those letters as plain data ("SEPARAT"), so the program text of a BPRG answer and the
// name fields of a name list and of deck records are left out. Separators stay, so nothing
// joins up.
QByteArray OhneDatenfelder(QByteArrayView z)
{
    if (!z.startsWith("\x02\x05"))
        return z.toByteArray();
    const QByteArrayView inner = z.sliced(2);
    TBereiche daten;
    if (inner.startsWith("BPRG"))
        programmText(inner, daten);
    else if (inner.startsWith("bpl2") || inner.startsWith("bpli"))
        namenDerListe(inner, daten);
    else if (inner.startsWith("herd"))
        namenDerDecks(inner, daten);
    QByteArray s = z.first(2).toByteArray();
    qsizetype pos = 0;
    for (const auto &[von, bis] : std::as_const(daten)) {
        s += inner.sliced(pos, von - pos);
        pos = bis;
    }
    s += inner.sliced(pos);
    return s;
}

TPruefung fehler(QByteArray meldung, bool nak = false)
{
    TPruefung p;
    p.Urteil = TUrteil::Fehler;
    p.Meldung = std::move(meldung);
    p.NakSenden = nak;
    return p;
}

} // namespace

QByteArray RahmenBilden(QByteArrayView text)
{
    QByteArray t;
    t.reserve(text.size() + 6);
    t += ENQ;
    t += text;
    char x = 0;
    for (char c : t)
        x ^= c;
    QByteArray rahmen;
    rahmen.reserve(t.size() + 4);
    rahmen += STX;
    rahmen += t;
    rahmen += EOT;
    rahmen += FormatHex(static_cast<unsigned char>(x), 2);
    rahmen += ETX;
    return rahmen;
}

TPruefung AntwortBeurteilen(QByteArrayView z, const NeuerBefehl &aktuell, QByteArrayView host)
{
    QByteArray prefix = host.toByteArray();
    prefix += '_';
    prefix += aktuell.Kommando;
    prefix += ": ";

    if (z.startsWith("ERROR"))
        return fehler(z.toByteArray());
    if (z == QByteArrayView("TIMEOUT"))
        return fehler(prefix + "TIMEOUT - no answer!");

    const QByteArray suche = OhneDatenfelder(z);
    if (suche.contains("EPAR")) {
        TPruefung p = fehler(prefix + "PARAMETERFEHLER");
        p.Verweigerung = true;
        return p;
    }
    if (suche.contains("EUCD")) {
        if (aktuell.Name == SB_BPL2.Name) {
            TPruefung p;
            p.Urteil = TUrteil::NochmalAlsBpli;
            return p;
        }
        TPruefung p = fehler(prefix + "UNKNOWN COMMAND");
        p.Aufgeben = true;
        p.Verweigerung = true;
        return p;
    }

    // Between the first STX and the first EOT; short or broken lines just fail the tests.
    const qsizetype stx = z.indexOf(STX);
    const qsizetype eot = z.indexOf(EOT);
    const QByteArrayView inner = eot > stx ? z.sliced(stx + 1, eot - stx - 1) : QByteArrayView();
    if (inner.size() >= 5 && inner.sliced(1, 4) == QByteArrayView("TRX ")) {
        const char c = inner.size() >= 6 ? inner[5] : '\0';
        if (c == ACK) {
            TPruefung p;
            p.Urteil = TUrteil::TrxAck;
            return p;
        }
        return fehler(prefix + (c == NAK ? "TRX_NAK_Empfangen!" : "TRX_???_Empfangen!"));
    }

    if (z.isEmpty() || z[0] != STX)
        return fehler(prefix + "Start-Zeichen fehlt!", true);
    // 1-based position of the first ETX, as the checksum line reports it.
    const qsizetype e = z.indexOf(ETX) + 1;
    if (e == 0)
        return fehler(prefix + "End-Zeichen fehlt!", true);
    char x = 0;
    for (qsizetype i = 1; i <= e - 5; ++i)
        x ^= z[i];
    const QByteArray calc = FormatHex(static_cast<unsigned char>(x), 2);
    const qsizetype vonCks = qMax<qsizetype>(0, e - 3);
    const QByteArrayView cks = z.sliced(vonCks, e - 1 - vonCks);
    if (e < 3 || cks != QByteArrayView(calc)) {
        TPruefung p = fehler(prefix + "Falsche Checksumme von Steuerung!", true);
        p.CksZeile = "Cks ber.:" + calc + ";Cks XQ:" + cks.toByteArray() + ";POS:"
                     + QByteArray::number(z.indexOf(calc) + 1) + "lenber.:" + QByteArray::number(e)
                     + ";lenxq:" + QByteArray::number(z.size());
        return p;
    }
    if (e < 4 || z[e - 4] != EOT)
        return fehler(prefix + "EOT fehlt!", true);

    TPruefung p;
    p.Text = z.startsWith("\x02\x05") ? z.sliced(2).toByteArray() : z.toByteArray();
    const qsizetype tab = p.Text.indexOf(TAB);
    const QByteArrayView rest = tab >= 0 ? QByteArrayView(p.Text).sliced(tab + 1) : QByteArrayView(p.Text);
    if (rest.contains(NAK)) {
        p.Urteil = TUrteil::Verweigert;
        p.Meldung = prefix;
        p.Verweigerung = true;
    } else {
        p.Urteil = TUrteil::Gut;
    }
    return p;
}

// The list editor taking over a list received in a read-all: the twelve chunks as the link
// hands them over (numbered 1..11 and 0 for the last), collected as the editor collects them
// and read as the editor reads them. Every program whose text begins with "##HEAD" arrives as
// that text reads, every other slot (slot 0 among them) is empty. The replay of the corpus
// also hands the chunks to the editor window itself, which then holds that list with its
// names and is free again; that way costs a window's work, too much for every fuzz input.
//
// Input: byte 0, bit 0: the bytes are the chunks themselves, split at LF (the twelfth takes
// the rest); else they are program texts as the link holds them, NUL between them, each
// led by a byte choosing its program (1..199), and the chunks are built from them as the link
// builds them. Bit 1: every text is led by "##HEAD" CR LF.
#include "FuzzHilfe.h"

#include "app/Zahlformat.h"
#include "link/uXQXKonstanten.h"
#include "programs/uXQXGesamtListe.h"

#include <QCoreApplication>


namespace {

constexpr int kTeile = 12;
constexpr int kProTeil = 17;

// Built once: a window for every input would cost more than all the rest.
TwXQXGesamtListe &editor()
{
    static TwXQXGesamtListe *w = [] {
        auto *e = new TwXQXGesamtListe;
        e->show();
        return e;
    }();
    return *w;
}

// The entries of the collected chunks, read step by step as written down for the editor: the
// number up to its TAB, the dump up to the next TAB (or the rest).
void nachSchritten(QByteArrayView rest, TBackprogrammListe &liste)
{
    for (TBackprogramm &r : liste)
        InitBPrgRecord(r);
    while (!rest.isEmpty()) {
        qsizetype tab = rest.indexOf('\t');
        const QByteArrayView nummer = tab < 0 ? QByteArrayView() : rest.first(tab);
        rest = tab < 0 ? QByteArrayView() : rest.sliced(tab + 1);
        const int n = ParseDec(nummer, -1);
        tab = rest.indexOf('\t');
        const QByteArray text = HexDumpToStr(tab < 0 ? rest : rest.first(tab));
        rest = tab < 0 ? QByteArrayView() : rest.sliced(tab + 1);
        if (n >= ErstesProgramm && n <= LetztesProgramm && text.startsWith("##HEAD"))
            BPrgTextLesen(text, liste[size_t(n)]);
        else if (n >= ErstesProgramm && n <= LetztesProgramm)
            InitBPrgRecord(liste[size_t(n)]);
    }
}

void vergleichen(const TBackprogrammListe &erwartet, const TBackprogrammListe &erhalten, const char *was)
{
    for (int i = 0; i < BPrgListeAnzahl; ++i)
        if (!(erhalten[size_t(i)] == erwartet[size_t(i)]))
            FuzzFund(was, BPrgRecordToBytes(erwartet[size_t(i)]).toHex(), BPrgRecordToBytes(erhalten[size_t(i)]).toHex());
}

// The link's chunk k (1..12) of its program texts: programs 1..199, 17 a chunk.
QByteArray linkTeil(const std::array<QByteArray, BPrgListeAnzahl> &texte, int k)
{
    QByteArray teil;
    for (int i = kProTeil * (k - 1) + 1; i <= qMin(kProTeil * k, LetztesProgramm); ++i)
        teil += FormatDec(i, 2) + '\t' + StrToHexDump(texte[size_t(i)]) + '\t';
    return teil;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    TFuzzEingabe e;
    if (!FuzzEingabeLesen(data, size, e))
        return 0;

    QList<QByteArray> teile;
    static TBackprogrammListe erwartet, gelesen;
    // The bytes behind string lengths as well: those of an earlier input must not count.
    erwartet.fill(TBackprogramm{});
    gelesen.fill(TBackprogramm{});
    if (e.modus & 1) {
        teile = e.bytes.split('\n');
        while (teile.size() > kTeile)
            teile[kTeile - 1] += '\n' + teile.takeAt(kTeile);
        while (teile.size() < kTeile)
            teile.append(QByteArray());
        nachSchritten(teile.join(), erwartet);
    } else {
        std::array<QByteArray, BPrgListeAnzahl> texte;
        for (const QByteArray &stueck : e.bytes.split('\0')) {
            if (stueck.isEmpty())
                continue;
            const int nr = ErstesProgramm + uint8_t(stueck[0]) % LetztesProgramm;
            texte[size_t(nr)] = (e.modus & 2 ? QByteArray("##HEAD\r\n") : QByteArray()) + stueck.sliced(1);
        }
        for (int k = 1; k <= kTeile; ++k)
            teile << linkTeil(texte, k);
        for (TBackprogramm &r : erwartet)
            InitBPrgRecord(r);
        for (int i = ErstesProgramm; i <= LetztesProgramm; ++i)
            if (texte[size_t(i)].startsWith("##HEAD"))
                BPrgTextLesen(texte[size_t(i)], erwartet[size_t(i)]);
    }
    // As the editor collects them: the first chunk starts the text, the others add to it.
    QByteArray puffer;
    for (const QByteArray &teil : std::as_const(teile))
        puffer += teil;
    ListenteileLesen(TGenaueBytes(puffer).bytes(), gelesen);
    vergleichen(erwartet, gelesen, "list receipt: a program is not the one its chunk carries");
    TBackprogramm frei;
    InitBPrgRecord(frei);
    FuzzPruefen(gelesen[0] == frei, "list receipt: slot 0 is not empty");
    if (!FuzzWiederholung())
        return 0;

    TTestUmgebung &env = FuzzUmgebung();
    TwXQXGesamtListe &w = editor();
    w.ListeGeaendert = w.PrgGeaendert = false;
    FuzzPruefen(w.ListeEmpfangen1Click(), "list receipt: the read-all does not start");
    // The editor keeps what it is handed (shallow copies of these blocks) until it takes the
    // list over: the blocks live to the end of the input.
    std::array<TGenaueBytes, kTeile> genau;
    for (int k = 1; k <= kTeile; ++k) {
        genau[size_t(k - 1)].setzen(teile[k - 1]);
        w.ListenTeilEmpfangen(genau[size_t(k - 1)].bytes(), quint8(k < kTeile ? k : 0));
    }
    // The list is taken over on the window's own turn, and then offered to be saved.
    env.dialoge().expectFile(QString());
    QCoreApplication::sendPostedEvents(&w, QEvent::MetaCall);
    // The link's end of the read: progress 200 once no transfer runs.
    w.FortschrittAnzeigen(BPrgListeAnzahl);
    QCoreApplication::sendPostedEvents(&w, QEvent::MetaCall);

    FuzzPruefen(!w.Beschaeftigt(), "list receipt: the window stays locked");
    FuzzPruefen(env.dialoge().allAnswersUsed(), "list receipt: the list was not offered to be saved");
    FuzzPruefen(w.ListeDateiName == QLatin1String("XQ7310"), "list receipt: the list is not the controller's");
    vergleichen(gelesen, w.BPrgListe, "list receipt: the editor holds another list than its chunks carry");
    for (int i = 0; i < BPrgListeAnzahl; ++i)
        if (w.BPrgNamen[size_t(i)] != w.BPrgListe[size_t(i)].Name.text())
            FuzzFund("list receipt: a name is not its program's", w.BPrgListe[size_t(i)].Name.text(),
                     w.BPrgNamen[size_t(i)]);
    return 0;
}

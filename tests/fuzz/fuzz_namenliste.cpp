// The name list of a BPL2/BPLI answer: number (hex) TAB name TAB, as often as the controller
// likes. Read, written in the controller's form and read again gives the same names.
#include "FuzzHilfe.h"

#include "app/Zahlformat.h"
#include "link/uXQXKonstanten.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    FuzzUmgebung();
    const QByteArrayView text(reinterpret_cast<const char *>(data), qsizetype(size));
    TNamenListe erst;
    erst.fill("stale");
    NamenTextLesen(text, erst);
    if (erst[0] != BPrgFreiName.toByteArray())
        FuzzFund("name list: slot 0 holds a name", BPrgFreiName.toByteArray(), erst[0]);
    QByteArray geschrieben;
    for (int i = ErstesProgramm; i <= LetztesProgramm; ++i) {
        const QByteArray &n = erst[size_t(i)];
        if (n.size() > 20)
            FuzzFund("name list: a name longer than 20 bytes", {}, n);
        if (n != BPrgFreiName.toByteArray() && !text.contains(n))
            FuzzFund("name list: a name the text does not hold", {}, n);
        if (n != BPrgFreiName.toByteArray())
            geschrieben += FormatHex(i, 1) + '\t' + n + '\t';
    }
    TNamenListe wieder;
    NamenTextLesen(geschrieben, wieder);
    for (int i = 0; i < BPrgListeAnzahl; ++i)
        if (wieder[size_t(i)] != erst[size_t(i)])
            FuzzFund("name list: read(write(read(x))) != read(x)", erst[size_t(i)], wieder[size_t(i)]);
    return 0;
}

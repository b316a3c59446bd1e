// List files (".XQR") in both layouts: 200 records of 501 bytes, or the older 497-byte
// records. What the reader takes, the writer saves, and the reader takes the same again.
#include "FuzzHilfe.h"

#include "link/uXQXKonstanten.h"

#include <QFile>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    TFuzzEingabe e;
    if (!FuzzEingabeLesen(data, size, e))
        return 0;
    // First byte, bit 0: the bytes are the start of a current-layout file, filled with zeros
    // to its exact size, so short inputs reach that layout as well.
    QByteArray datei = e.bytes;
    if (e.modus & 1)
        datei.resize(BPrgListeDateiGroesse, '\0');
    const QString pfad = FuzzDatei(QStringLiteral("fuzz.XQR"), datei);

    static TBackprogrammListe erst, wieder;
    for (TBackprogramm &r : erst)
        InitBPrgRecord(r);
    if (!BPrgListeLesen(pfad, erst))
        return 0;

    const QString zweite = FuzzUmgebung().exeDir() + QStringLiteral("fuzz2.XQR");
    FuzzPruefen(BPrgListeSpeichern(zweite, erst), "list file: a list read could not be written");
    QFile f(zweite);
    FuzzPruefen(f.open(QIODevice::ReadOnly), "list file: the written file cannot be opened");
    const QByteArray bytes = f.readAll();
    FuzzPruefen(bytes.size() == BPrgListeDateiGroesse, "list file: written file has the wrong size");

    for (TBackprogramm &r : wieder)
        InitBPrgRecord(r);
    FuzzPruefen(BPrgListeLesen(zweite, wieder), "list file: the written file cannot be read");
    for (int i = 0; i < BPrgListeAnzahl; ++i)
        if (!(wieder[size_t(i)] == erst[size_t(i)]))
            FuzzFund("list file: read(write(read(x))) != read(x)", BPrgRecordToBytes(erst[size_t(i)]).toHex(),
                     BPrgRecordToBytes(wieder[size_t(i)]).toHex());
    // Only the current layout comes back byte for byte.
    if (datei.size() == BPrgListeDateiGroesse)
        FuzzPruefen(bytes == datei, "list file: a current-layout file does not come back byte for byte");
    return 0;
}

// List files (".XQR") in both layouts: 200 records of 501 bytes, or the older 497-byte
// records. What the reader takes, the writer saves, and the reader takes the same again. The
// bytes are read in memory, exactly sized; for one input in eight (AufPlatte) the file is also
// written and read through the file routines, which must give the same list.
#include "FuzzHilfe.h"

#include "link/uXQXKonstanten.h"

#include <QFile>

namespace {

// Every byte set: the empty record leaves the bytes behind its string lengths as they were.
void leeren(TBackprogrammListe &liste)
{
    static const TBackprogramm leer = [] {
        TBackprogramm r{};
        InitBPrgRecord(r);
        return r;
    }();
    liste.fill(leer);
}

// What BPrgListeLesen gives for a file of these bytes; false where it refuses the file.
bool ausBytes(const QByteArray &datei, TBackprogrammListe &liste)
{
    leeren(liste);
    if (datei.size() < BPrgAltRecordGroesse)
        return false;
    BPrgListeAusBytes(datei, datei.size(), liste);
    return true;
}

void vergleichen(const TBackprogrammListe &erwartet, const TBackprogrammListe &erhalten, const char *was)
{
    for (int i = 0; i < BPrgListeAnzahl; ++i)
        if (!(erhalten[size_t(i)] == erwartet[size_t(i)]))
            FuzzFund(was, BPrgRecordToBytes(erwartet[size_t(i)]).toHex(), BPrgRecordToBytes(erhalten[size_t(i)]).toHex());
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    TFuzzEingabe e;
    if (!FuzzEingabeLesen(data, size, e))
        return 0;
    // First byte, bit 0: the bytes are the start of a current-layout file, filled with zeros
    // to its exact size, so short inputs reach that layout as well.
    TGenaueBytes aufgefuellt;
    if (e.modus & 1) {
        QByteArray voll = e.bytes;
        voll.resize(BPrgListeDateiGroesse, '\0');
        aufgefuellt.setzen(voll);
    }
    const QByteArray &datei = (e.modus & 1) ? aufgefuellt.bytes() : e.bytes;

    static TBackprogrammListe erst, wieder, ausDatei;
    const bool gelesen = ausBytes(datei, erst);
    if (AufPlatte(e.modus)) {
        leeren(ausDatei);
        const QString pfad = FuzzDatei(QStringLiteral("fuzz.XQR"), datei);
        FuzzPruefen(BPrgListeLesen(pfad, ausDatei) == gelesen, "list file: the file and its bytes are not both read");
        if (gelesen)
            vergleichen(erst, ausDatei, "list file: the file does not read as its bytes");
    }
    if (!gelesen)
        return 0;

    const TGenaueBytes bytes(BPrgListeBytes(erst));
    FuzzPruefen(bytes.bytes().size() == BPrgListeDateiGroesse, "list file: written file has the wrong size");
    if (AufPlatte(e.modus)) {
        const QString zweite = FuzzUmgebung().exeDir() + QStringLiteral("fuzz2.XQR");
        FuzzPruefen(BPrgListeSpeichern(zweite, erst), "list file: a list read could not be written");
        QFile f(zweite);
        FuzzPruefen(f.open(QIODevice::ReadOnly) && f.readAll() == bytes.bytes(),
                    "list file: the file written does not hold the list's bytes");
    }

    FuzzPruefen(ausBytes(bytes.bytes(), wieder), "list file: the written file cannot be read");
    vergleichen(erst, wieder, "list file: read(write(read(x))) != read(x)");
    // Only the current layout comes back byte for byte.
    if (datei.size() == BPrgListeDateiGroesse)
        FuzzPruefen(bytes.bytes() == datei, "list file: a current-layout file does not come back byte for byte");
    return 0;
}

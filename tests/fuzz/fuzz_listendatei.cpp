// List files (".XQR") in both layouts: 200 records of 501 bytes, or the older 497-byte
// records. What the reader takes, the writer saves, and the reader takes the same again. The
// bytes are read in memory, exactly sized; for one input in eight (AufPlatte) the file is also
// written and read through the file routines, which must give the same list.
#include "FuzzHilfe.h"

#include "link/uXQXKonstanten.h"

#include <QFile>

#include <cstring>
#include <memory>

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

// The file's bytes are those of the list: read into a block kept for all inputs, unbuffered,
// since a fresh 100 KB block for every file costs more than the rest of the input.
bool dateiHaelt(const QString &pfad, const QByteArray &bytes)
{
    static const std::unique_ptr<char[]> puffer(new char[BPrgListeDateiGroesse + 1]);
    QFile f(pfad);
    if (!f.open(QIODevice::ReadOnly | QIODevice::Unbuffered))
        return false;
    // One byte more than expected, so a longer file shows.
    return f.read(puffer.get(), BPrgListeDateiGroesse + 1) == bytes.size()
        && std::memcmp(puffer.get(), bytes.constData(), size_t(bytes.size())) == 0;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    FuzzUmgebung();
    if (size < 1)
        return 0;
    const uint8_t modus = data[0];
    // First byte, bit 0: the bytes are the start of a current-layout file, filled with zeros
    // to its exact size, so short inputs reach that layout as well. The blocks are kept from
    // one input to the next (still exactly sized): fresh ones cost more than all the reading.
    static TGenaueBytes genau, geschrieben;
    const QByteArrayView eingabe(data + 1, qsizetype(size - 1));
    genau.ueberschreiben(eingabe, (modus & 1) ? qsizetype(BPrgListeDateiGroesse) : eingabe.size());
    const QByteArray &datei = genau.bytes();

    static TBackprogrammListe erst, wieder, ausDatei;
    const bool gelesen = ausBytes(datei, erst);
    if (AufPlatte(modus)) {
        leeren(ausDatei);
        const QString pfad = FuzzDatei(QStringLiteral("fuzz.XQR"), datei);
        FuzzPruefen(BPrgListeLesen(pfad, ausDatei) == gelesen, "list file: the file and its bytes are not both read");
        if (gelesen)
            vergleichen(erst, ausDatei, "list file: the file does not read as its bytes");
    }
    if (!gelesen)
        return 0;

    const QByteArray liste = BPrgListeBytes(erst);
    FuzzPruefen(liste.size() == BPrgListeDateiGroesse, "list file: written file has the wrong size");
    geschrieben.ueberschreiben(liste, liste.size());
    const QByteArray &bytes = geschrieben.bytes();
    if (AufPlatte(modus)) {
        const QString zweite = FuzzUmgebung().exeDir() + QStringLiteral("fuzz2.XQR");
        FuzzPruefen(BPrgListeSpeichern(zweite, erst), "list file: a list read could not be written");
        FuzzPruefen(dateiHaelt(zweite, bytes), "list file: the file written does not hold the list's bytes");
    }

    FuzzPruefen(ausBytes(bytes, wieder), "list file: the written file cannot be read");
    vergleichen(erst, wieder, "list file: read(write(read(x))) != read(x)");
    // Only the current layout comes back byte for byte.
    if (datei.size() == BPrgListeDateiGroesse)
        FuzzPruefen(bytes == datei, "list file: a current-layout file does not come back byte for byte");
    return 0;
}

#pragma once
// What every harness shares: one offscreen application and one temporary program folder per
// process, boxes answered without a window, and the stop that makes the fuzzer report.
#include "support/TestUmgebung.h"

#include <QByteArray>
#include <QString>

#include <cstddef>
#include <cstdint>
#include <memory>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size);

// The application and the program folder on first use; boxes of the previous input are
// forgotten, so nothing grows from one input to the next.
TTestUmgebung &FuzzUmgebung();

// Bytes in a heap block of exactly their length, so that a reader going one byte past their
// end is reported: a QByteArray's own block carries a NUL and often spare room behind its
// bytes, where an over-read goes unseen. `bytes` holds no NUL of its own behind them either;
// it stays valid while this object lives and is copied into a block of its own when changed.
// Copies of it share the block: whatever keeps one past the input must be kept from it, or
// the block must live as long.
class TGenaueBytes
{
public:
    TGenaueBytes() = default;
    explicit TGenaueBytes(QByteArrayView quelle) { setzen(quelle); }
    TGenaueBytes(const TGenaueBytes &) = delete;
    TGenaueBytes &operator=(const TGenaueBytes &) = delete;
    void setzen(QByteArrayView quelle);
    // The first `groesse` bytes of `quelle`, filled up with zeros where it is shorter.
    void setzen(QByteArrayView quelle, qsizetype groesse);
    // As setzen, but into the block already held where it has that size: for an object kept
    // from one input to the next whose bytes nobody keeps. A new block of 100 KB costs more
    // than reading it (fresh pages, the sanitizer's bookkeeping).
    void ueberschreiben(QByteArrayView quelle, qsizetype groesse);
    const QByteArray &bytes() const { return m_bytes; }

private:
    void fuellen(QByteArrayView quelle);
    std::unique_ptr<char[]> m_block;
    QByteArray m_bytes;
};

// An input as most harnesses read it: the first byte chooses modes, the rest are the bytes,
// exactly sized.
struct TFuzzEingabe
{
    uint8_t modus = 0;
    TGenaueBytes genau;
    const QByteArray &bytes = genau.bytes();
};
// Bits 1 to 3 of the first byte all set: the input goes through real files as well. Files
// cost a hundred times what the bytes in memory cost, so one input in eight takes that way.
inline bool AufPlatte(uint8_t modus) { return (modus & 0x0E) == 0x0E; }
// Sets up as FuzzUmgebung does; false for an empty input, which chooses nothing.
bool FuzzEingabeLesen(const uint8_t *data, size_t size, TFuzzEingabe &eingabe);

// True in the replay of the corpora (ctest), where a harness may also take the slow way
// through a window that fuzzing cannot afford for every input.
bool FuzzWiederholung();
void FuzzWiederholungSetzen();

// A file of the program folder, written whole; aborts when it cannot be written. The folder
// lies in memory where there is one (fuzz.sh sets TMPDIR so).
QString FuzzDatei(const QString &name, const QByteArray &bytes);

// Ends the process with the finding, so the fuzzer keeps the input.
[[noreturn]] void FuzzFund(const char *was, const QByteArray &erwartet = {}, const QByteArray &erhalten = {});
inline void FuzzPruefen(bool gut, const char *was, const QByteArray &erwartet = {}, const QByteArray &erhalten = {})
{
    if (!gut)
        FuzzFund(was, erwartet, erhalten);
}

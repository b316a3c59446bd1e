#pragma once
// What every harness shares: one offscreen application and one temporary program folder per
// process, boxes answered without a window, and the stop that makes the fuzzer report.
#include "support/TestUmgebung.h"

#include <QByteArray>
#include <QString>

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size);

// The application and the program folder on first use; boxes of the previous input are
// forgotten, so nothing grows from one input to the next.
TTestUmgebung &FuzzUmgebung();

// An input as most harnesses read it: the first byte chooses modes, the rest are the bytes.
struct TFuzzEingabe
{
    uint8_t modus = 0;
    QByteArray bytes;
};
// Sets up as FuzzUmgebung does; false for an empty input, which chooses nothing.
bool FuzzEingabeLesen(const uint8_t *data, size_t size, TFuzzEingabe &eingabe);

// A file of the program folder, written whole; aborts when it cannot be written.
QString FuzzDatei(const QString &name, const QByteArray &bytes);

// Ends the process with the finding, so the fuzzer keeps the input.
[[noreturn]] void FuzzFund(const char *was, const QByteArray &erwartet = {}, const QByteArray &erhalten = {});
inline void FuzzPruefen(bool gut, const char *was, const QByteArray &erwartet = {}, const QByteArray &erhalten = {})
{
    if (!gut)
        FuzzFund(was, erwartet, erhalten);
}

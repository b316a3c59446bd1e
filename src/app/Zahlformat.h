#pragma once
// The one formatter and the one decimal parser for numbers in files, frames and logs.
#include <QByteArray>
#include <QByteArrayView>

// "%.Nx": upper-case hex, zero-filled to at least N digits; a negative value as its
// 32-bit two's complement.
QByteArray FormatHex(qint64 value, int digits);
// "%.Nd": zero-filled decimal with the sign in front ("-005" for -5 and N = 3).
QByteArray FormatDec(qint64 value, int digits);
// "%Nd": decimal right-aligned with blanks to at least N characters.
QByteArray FormatDecPadded(qint64 value, int width);

// Whole decimal number, leading zeros are decimal ("00095" is 95); blanks around it
// and a sign are allowed. Anything else, or a value outside 32 bits, gives `fallback`.
int ParseDec(QByteArrayView text, int fallback, bool *ok = nullptr);

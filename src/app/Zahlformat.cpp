#include "app/Zahlformat.h"

#include <limits>

QByteArray FormatHex(qint64 value, int digits)
{
    const quint32 v = static_cast<quint32>(value);
    QByteArray s = QByteArray::number(v, 16).toUpper();
    if (s.size() < digits)
        s.prepend(QByteArray(digits - s.size(), '0'));
    return s;
}

QByteArray FormatDec(qint64 value, int digits)
{
    const bool negative = value < 0;
    // Magnitude as unsigned so the smallest value has no overflow.
    const quint64 magnitude = negative ? quint64(0) - quint64(value) : quint64(value);
    QByteArray s = QByteArray::number(magnitude);
    if (s.size() < digits)
        s.prepend(QByteArray(digits - s.size(), '0'));
    if (negative)
        s.prepend('-');
    return s;
}

QByteArray FormatDecPadded(qint64 value, int width)
{
    QByteArray s = QByteArray::number(value);
    if (s.size() < width)
        s.prepend(QByteArray(width - s.size(), ' '));
    return s;
}

int ParseDec(QByteArrayView text, int fallback, bool *ok)
{
    if (ok)
        *ok = false;
    qsizetype i = 0, end = text.size();
    while (i < end && text[i] == ' ')
        ++i;
    while (end > i && text[end - 1] == ' ')
        --end;
    bool negative = false;
    if (i < end && (text[i] == '-' || text[i] == '+')) {
        negative = text[i] == '-';
        ++i;
    }
    if (i >= end)
        return fallback;
    qint64 v = 0;
    for (; i < end; ++i) {
        const char c = text[i];
        if (c < '0' || c > '9')
            return fallback;
        v = v * 10 + (c - '0');
        if (v > qint64(std::numeric_limits<int>::max()) + 1)
            return fallback;
    }
    if (negative)
        v = -v;
    if (v > std::numeric_limits<int>::max() || v < std::numeric_limits<int>::min())
        return fallback;
    if (ok)
        *ok = true;
    return int(v);
}

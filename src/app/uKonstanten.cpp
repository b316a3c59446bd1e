#include "uKonstanten.h"

#include "Zahlformat.h"

#include <algorithm>
#include <limits>

QString MinutenToStr(int value, bool force)
{
    const bool negative = value < 0;
    // Unsigned magnitude: the smallest integer has no positive counterpart.
    const quint32 v = negative ? quint32(0) - quint32(value) : quint32(value);
    QByteArray t;
    if (v != 0 || force)
        t = FormatDec(v / 60, 2) + ':' + FormatDec(v % 60, 2);
    if (negative)
        t.prepend("--");
    return QString::fromLatin1(t);
}

int StrToMinuten(const QString &s)
{
    const QByteArray b = s.toLatin1();
    const qsizetype p = b.indexOf(':');
    qint64 h = 0;
    qint64 m = 0;
    if (p < 0) {
        m = ParseDec(QByteArrayView(b).first(qMin<qsizetype>(2, b.size())), 0);
    } else {
        h = ParseDec(QByteArrayView(b).first(p), 0);
        const QByteArrayView rest = QByteArrayView(b).sliced(p + 1);
        m = ParseDec(rest.first(qMin<qsizetype>(2, rest.size())), 0);
    }
    // Huge hours would run past 32 bits; the result stops at the limits instead.
    const qint64 total = h * 60 + m;
    return int(std::clamp<qint64>(total, std::numeric_limits<int>::min(), std::numeric_limits<int>::max()));
}

int HexToInt(QByteArrayView s)
{
    if (s.isEmpty())
        return -1;
    // 32 bits that wrap: digits before the last eight drop out, eight F give -1.
    quint32 sum = 0;
    for (const char c : s) {
        quint32 digit;
        if (c >= '0' && c <= '9')
            digit = quint32(c - '0');
        else if (c >= 'A' && c <= 'F')
            digit = quint32(c - 'A' + 10);
        else
            return -1;
        sum = (sum << 4) | digit;
    }
    return int(sum);
}

int HexToIntEven(QByteArrayView s)
{
    if (s.isEmpty() || s.size() % 2 != 0)
        return 0;
    quint32 sum = 0;
    quint32 digit = 0;
    for (const char c : s) {
        // Anything that is no hex digit counts as the digit before it.
        if (c >= '0' && c <= '9')
            digit = quint32(c - '0');
        else if (c >= 'a' && c <= 'f')
            digit = quint32(c - 'a' + 10);
        else if (c >= 'A' && c <= 'F')
            digit = quint32(c - 'A' + 10);
        sum = (sum << 4) | digit;
    }
    return int(sum);
}

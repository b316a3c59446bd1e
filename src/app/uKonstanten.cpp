#include "app/uKonstanten.h"

#include "app/Zahlformat.h"

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

int HexZiffer(char16_t c)
{
    if (c >= u'0' && c <= u'9')
        return c - u'0';
    if (c >= u'A' && c <= u'F')
        return c - u'A' + 10;
    if (c >= u'a' && c <= u'f')
        return c - u'a' + 10;
    return -1;
}

int HexToInt(QByteArrayView s)
{
    if (s.isEmpty())
        return -1;
    // 32 bits that wrap: digits before the last eight drop out, eight F give -1.
    quint32 sum = 0;
    for (const char c : s) {
        // The controller writes upper case; a lower-case digit makes the text invalid.
        const int digit = HexZiffer(uchar(c));
        if (digit < 0 || (c >= 'a' && c <= 'f'))
            return -1;
        sum = (sum << 4) | quint32(digit);
    }
    return int(sum);
}

int HexToIntEven(QByteArrayView s)
{
    if (s.isEmpty() || s.size() % 2 != 0)
        return 0;
    quint32 sum = 0;
    int digit = 0;
    for (const char c : s) {
        // Anything that is no hex digit counts as the digit before it.
        if (const int d = HexZiffer(uchar(c)); d >= 0)
            digit = d;
        sum = (sum << 4) | quint32(digit);
    }
    return int(sum);
}

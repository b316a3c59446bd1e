#include "XqSimFrame.h"

namespace xqsim {

quint8 Checksum(const QByteArray &text)
{
    quint8 x = quint8(ENQ);
    for (char c : text)
        x ^= quint8(c);
    return x;
}

QByteArray ChecksumDigits(const QByteArray &text, bool lowerCase)
{
    const char *digits = lowerCase ? "0123456789abcdef" : "0123456789ABCDEF";
    const quint8 x = Checksum(text);
    QByteArray out;
    out.append(digits[x >> 4]);
    out.append(digits[x & 0x0F]);
    return out;
}

QByteArray BuildFrame(const QByteArray &text)
{
    QByteArray f;
    f.reserve(text.size() + 6);
    f.append(STX);
    f.append(ENQ);
    f.append(text);
    f.append(EOT);
    f.append(ChecksumDigits(text));
    f.append(ETX);
    return f;
}

TDecodedFrame DecodeFrame(const QByteArray &line)
{
    TDecodedFrame d;
    const qsizetype n = line.size();
    if (n == 0) {
        d.error = QStringLiteral("empty line");
        return d;
    }
    // Shortest frame: STX ENQ EOT d d ETX.
    if (n < 6) {
        d.error = QStringLiteral("too short for a frame");
        return d;
    }
    const qsizetype eot = n - 4;
    if (line.at(0) == STX && line.at(1) == ENQ && line.at(eot) == EOT) {
        d.text = line.mid(2, eot - 2);
        d.word = d.text.left(4);
        d.params = d.text.mid(4);
    }
    if (line.at(0) != STX)
        d.error = QStringLiteral("STX missing");
    else if (line.at(1) != ENQ)
        d.error = QStringLiteral("ENQ missing");
    else if (line.at(n - 1) != ETX)
        d.error = QStringLiteral("ETX missing at the end");
    else if (line.at(eot) != EOT)
        d.error = QStringLiteral("EOT missing before the checksum");
    else {
        const QByteArray got = line.mid(n - 3, 2);
        const QByteArray want = ChecksumDigits(d.text);
        if (got != want)
            d.error = QStringLiteral("checksum %1, expected %2")
                          .arg(QString::fromLatin1(got), QString::fromLatin1(want));
    }
    d.ok = d.error.isEmpty();
    return d;
}

QString Visible(const QByteArray &bytes)
{
    static const char *const names[32] = {
        "NUL", "SOH", "STX", "ETX", "EOT", "ENQ", "ACK", "BEL", "BS", "TAB", "LF", "VT", "FF", "CR",
        "SO", "SI", "DLE", "DC1", "DC2", "DC3", "DC4", "NAK", "SYN", "ETB", "CAN", "EM", "SUB", "ESC",
        "FS", "GS", "RS", "US"};
    QString out;
    out.reserve(bytes.size());
    for (char c : bytes) {
        const quint8 b = quint8(c);
        if (b < 32) {
            out += QLatin1Char('<');
            out += QLatin1String(names[b]);
            out += QLatin1Char('>');
        } else if (b >= 0x7F && b < 0xA0) {
            out += QString::asprintf("<%02X>", b);
        } else if (b >= 0xA0) {
            // Windows-1252 and Latin-1 agree from here on.
            out += QChar(char16_t(b));
        } else {
            out += QLatin1Char(c);
        }
    }
    return out;
}

} // namespace xqsim

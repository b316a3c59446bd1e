#include "link/uXQXKonstanten.h"

#include "app/Zahlformat.h"
#include "app/uKonstanten.h"

#include <QApplication>

namespace {

TBeepHook &beepHook()
{
    static TBeepHook hook = [] {
        if (qobject_cast<QApplication *>(QCoreApplication::instance()))
            QApplication::beep();
    };
    return hook;
}

template <class F>
QByteArray mapBytes(QByteArrayView text, F f)
{
    QByteArray out;
    out.reserve(text.size());
    for (char c : text)
        out += char(f(static_cast<uchar>(c)));
    return out;
}

} // namespace

QByteArray StrToHexDump(QByteArrayView text)
{
    QByteArray out;
    out.reserve(text.size() * 2);
    for (char c : text)
        out += FormatHex(static_cast<unsigned char>(c), 2);
    return out;
}

QByteArray HexDumpToStr(QByteArrayView hex)
{
    QByteArray out;
    out.reserve(hex.size() / 2);
    for (qsizetype i = 0; i + 1 < hex.size(); i += 2) {
        // A character that is no hex digit counts as 0.
        const int hoch = qMax(0, HexZiffer(uchar(hex[i])));
        const int tief = qMax(0, HexZiffer(uchar(hex[i + 1])));
        out += char(hoch * 16 + tief);
    }
    return out;
}

QString NormalizeIP(const QString &address)
{
    QString s = address;
    while (s.startsWith(u'0') && s.indexOf(u'.') >= 2)
        s.remove(0, 1);
    for (qsizetype i = s.indexOf(u".0"); i >= 0; i = s.indexOf(u".0"))
        s.remove(i + 1, 1);
    for (qsizetype i = s.indexOf(u".."); i >= 0; i = s.indexOf(u".."))
        s.insert(i + 1, u'0');
    if (s.endsWith(u'.'))
        s += u'0';
    return s;
}

QString CheckIPAddress(const QString &address)
{
    for (QChar c : address) {
        if (c != u'.' && (c < u'0' || c > u'9'))
            return QString();
    }
    // Only digits and dots are left, so Latin-1 loses nothing.
    const QByteArray normal = NormalizeIP(address).toLatin1();
    int parts = 0;
    qsizetype from = 0;
    for (;;) {
        const qsizetype dot = normal.indexOf('.', from);
        const QByteArrayView part = dot < 0 ? QByteArrayView(normal).sliced(from)
                                            : QByteArrayView(normal).sliced(from, dot - from);
        const int value = part.isEmpty() ? -1 : ParseDec(part, -1);
        if (value < 0 || value > 255)
            return QString();
        ++parts;
        if (dot < 0)
            break;
        from = dot + 1;
    }
    return parts == 4 ? address : QString();
}

QString SocketIPAddress(const QString &address)
{
    return CheckIPAddress(address).isEmpty() ? QString() : NormalizeIP(address);
}

QByteArray ControllerToAnsi(QByteArrayView text)
{
    return mapBytes(text, [](uchar c) -> uchar {
        switch (c) {
        case 0xA1: return 0xA8;
        case 0xF1: return 0xB8;
        case 0xF0: return 0xB9;
        case 0x00:
            if (beepHook())
                beepHook()();
            return c;
        default: return c >= 0xB0 && c <= 0xEF ? uchar(c + 0x10) : c;
        }
    });
}

QByteArray AnsiToController(QByteArrayView text)
{
    return mapBytes(text, [](uchar c) -> uchar {
        switch (c) {
        case 0xA8: return 0xA1;
        case 0xB8: return 0xF1;
        case 0xB9: return 0xF0;
        default: return c >= 0xC0 ? uchar(c - 0x10) : c;
        }
    });
}

TBeepHook SetBeepHook(TBeepHook hook)
{
    TBeepHook previous = std::move(beepHook());
    beepHook() = std::move(hook);
    return previous;
}

QByteArray CtrlCharsVisible(QByteArrayView text)
{
    QByteArray out;
    out.reserve(text.size());
    for (char c : text) {
        switch (c) {
        case 0x02: out += "|STX|"; break;
        case 0x03: out += "|ETX|"; break;
        case 0x04: out += "|EOT|"; break;
        case 0x05: out += "|ENQ|"; break;
        case 0x06: out += "|ACK|"; break;
        case 0x09: out += "|TAB|"; break;
        case 0x0F: out += "|XNAK|"; break;
        case 0x15: out += "|NAK|"; break;
        default: out += c; break;
        }
    }
    return out;
}

QByteArrayView feldNehmen(QByteArrayView &rest, bool nurMitTab)
{
    const qsizetype tab = rest.indexOf('\t');
    const QByteArrayView feld = tab >= 0 ? rest.first(tab) : nurMitTab ? QByteArrayView() : rest;
    rest = tab >= 0 ? rest.sliced(tab + 1) : QByteArrayView();
    return feld;
}

void NamenPaareLesen(QByteArrayView text, const std::function<void(int nr, QByteArrayView name)> &paar)
{
    QByteArrayView rest = text;
    while (!rest.isEmpty()) {
        // HexToInt reads the empty field of a number without its TAB as -1.
        const int nr = HexToInt(feldNehmen(rest, true));
        const QByteArrayView name = feldNehmen(rest);
        paar(nr, name.first(qMin<qsizetype>(name.size(), 20)));
    }
}

void NamenTextLesen(QByteArrayView text, TNamenListe &namen)
{
    TNamenListe liste;
    liste.fill(BPrgFreiName.toByteArray());
    NamenPaareLesen(text, [&liste](int nr, QByteArrayView name) {
        if (gueltigerPlatz(nr))
            liste[size_t(nr)] = name.toByteArray();
    });
    namen = std::move(liste);
}

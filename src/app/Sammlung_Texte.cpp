// Shared text routines: file names, multi-line texts, program names, free slots, tagged keys.
#include "app/Sammlung.h"

namespace {

const QByteArray kCrLf("\r\n");

// The character that stays in a name but is worth a note in the error file: on Windows a
// "/" in a path, elsewhere (where "/" separates folders) a backslash.
#ifdef Q_OS_WIN
constexpr char16_t kInfoChar = u'/';
#else
constexpr char16_t kInfoChar = u'\\';
#endif

QByteArray padFirstLine(const QByteArray &s, qsizetype lineEnd)
{
    QByteArray out = s.left(lineEnd);
    if (out.size() < 10)
        out.append(QByteArray(10 - out.size(), ' '));
    out.append(s.mid(lineEnd + kCrLf.size()));
    return out;
}

} // namespace

bool MakeSingleLine(QString &s)
{
    if (s.isEmpty())
        return false;
    const QString before = s;
    s.replace(QStringLiteral("\r\n"), QStringLiteral(" "));
    s.replace(QLatin1Char('\r'), QLatin1Char('_'));
    s.replace(QLatin1Char('\n'), QLatin1Char('_'));
    return s == before;
}

bool CheckFileName(QString &s, QStringList &infoLines)
{
    if (s.isEmpty())
        return false;
    bool unchanged = true;
    // Off Windows these characters are legal in folder names, and cleaning a folder of the
    // path would lead to one that does not exist; only the file's own name is cleaned there.
#ifdef Q_OS_WIN
    const qsizetype nameStart = 0;
#else
    const qsizetype nameStart = s.lastIndexOf(QLatin1Char('/')) + 1;
#endif
    for (qsizetype i = 0; i < s.size(); ++i) {
        const char16_t c = s.at(i).unicode();
        switch (c) {
        case u'"':
        case u'*':
        case u'<':
        case u'>':
        case u'?':
        case u'|':
            if (i < nameStart)
                break;
            s[i] = QLatin1Char(' ');
            unchanged = false;
            break;
        case kInfoChar:
            infoLines.append(QStringLiteral("Nur Info: Dateinamen mit \"") + QChar(kInfoChar)
                             + QStringLiteral("\": ") + s);
            break;
        default:
            break;
        }
    }
    return unchanged;
}

bool CheckFileName(QString &s)
{
    QStringList infoLines;
    const bool unchanged = CheckFileName(s, infoLines);
    for (const QString &line : std::as_const(infoLines))
        WriteErrorLog(ErrLogName, line);
    return unchanged;
}

QByteArray JoinNameLines(const QByteArray &s)
{
    QByteArray out = s;
    const qsizetype p = out.indexOf(kCrLf);
    if (p >= 0 && p < 10)
        out = padFirstLine(out, p);
    out.replace(kCrLf, QByteArray());
    return out;
}

QByteArray JoinNameLinesTrim(const QByteArray &s)
{
    QByteArray out = s;
    const qsizetype p = out.indexOf(kCrLf);
    if (p >= 0)
        out = padFirstLine(out, p);
    qsizetype end = out.size();
    while (end > 0 && out.at(end - 1) == ' ')
        --end;
    out.truncate(end);
    return out;
}

QByteArray FormatName20(const QByteArray &s)
{
    QByteArray out = JoinNameLinesTrim(s);
    if (out.size() < 20)
        out.append(QByteArray(20 - out.size(), ' '));
    out.truncate(20);
    return out;
}

QByteArray StringOfCharN(char ch, int n)
{
    return n > 0 ? QByteArray(n, ch) : QByteArray();
}

bool IsFreeSlotName(QByteArrayView name)
{
    return name.indexOf(BPrgFreiNameKurz) >= 0;
}

bool StartsWithF(QByteArrayView name)
{
    // A short name is padded with blanks, so only its first character decides.
    return !name.isEmpty() && name.front() == 'f';
}

QByteArray CharENQ()
{
    return QByteArray(1, '\x05');
}

QByteArray CharSI()
{
    return QByteArray(1, '\x0F');
}

QByteArray WrapEnqSi(const QByteArray &key)
{
    return CharENQ() + key + CharSI();
}

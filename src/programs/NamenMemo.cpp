#include "programs/NamenMemo.h"

#include "app/Sammlung.h"

#include <QSignalBlocker>
#include <QTextCursor>
#include <QTextDocument>

namespace {
const QLatin1Char Lf('\n');
// Stand-ins: the control pictures for the controls below 0x20 and DEL, the private-use area
// for every other byte that shows no character (the code page's undefined bytes, soft hyphen).
constexpr char16_t Bilder = 0x2400;
constexpr char16_t BildDel = 0x2421;
constexpr char16_t Privat = 0xE000;

QString zeichen(const QByteArray &bytes, TCodepage cp)
{
    QString t = AnsiToString(bytes, cp);
    for (qsizetype i = 0; i < t.size(); ++i) {
        if (t[i].isPrint())
            continue;
        const auto b = static_cast<unsigned char>(bytes[i]);
        t[i] = QChar(b < 0x20 ? char16_t(Bilder + b) : b == 0x7F ? BildDel : char16_t(Privat + b));
    }
    return t;
}

QByteArray zeichenBytes(const QString &text, TCodepage cp)
{
    QByteArray out;
    for (const QChar c : text) {
        const char16_t u = c.unicode();
        if (u >= Bilder && u < Bilder + 0x20)
            out.append(char(u - Bilder));
        else if (u == BildDel)
            out.append('\x7F');
        else if (u >= Privat && u <= Privat + 0xFF)
            out.append(char(u - Privat));
        else
            out.append(StringToAnsi(QString(c), cp));
    }
    return out;
}

// At most two lines, and only characters that come back from their bytes.
bool zeichenErlaubt(const QString &text, TCodepage cp, const QString &ersatzErlaubt)
{
    if (text.count(Lf) > 1)
        return false;
    for (const QChar c : text) {
        if (c == Lf)
            continue;
        if (IstNamenErsatz(c)) {
            if (!ersatzErlaubt.contains(c))
                return false;
        } else if (!c.isPrint() || AnsiToString(StringToAnsi(QString(c), cp), cp) != QString(c)) {
            return false;
        }
    }
    return true;
}
} // namespace

TCodepage NamenCodepage()
{
    return CyrillicMode ? TCodepage::Windows1251 : TCodepage::Windows1252;
}

QString NamenText(const QByteArray &bytes, TCodepage cp)
{
    QString t = AnsiToString(bytes, cp);
    t.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    return t;
}

bool IstNamenErsatz(QChar c)
{
    const char16_t u = c.unicode();
    return (u >= Bilder && u < Bilder + 0x20) || u == BildDel || (u >= Privat && u <= Privat + 0xFF);
}

QString NamenAnzeige(const QByteArray &bytes, TCodepage cp)
{
    const qsizetype crlf = bytes.indexOf("\r\n");
    if (crlf >= 0)
        return zeichen(bytes.left(crlf), cp) + Lf + zeichen(bytes.mid(crlf + 2), cp);
    const QString t = zeichen(bytes, cp);
    return t.size() > NamenZeilenLaenge ? t.left(NamenZeilenLaenge) + Lf + t.mid(NamenZeilenLaenge) : t;
}

int NamenAnzeigeUmbruch(const QByteArray &bytes, TCodepage cp)
{
    Q_UNUSED(cp); // one character per byte in both code pages
    return !bytes.contains("\r\n") && bytes.size() > NamenZeilenLaenge ? NamenZeilenLaenge : -1;
}

QByteArray NamenBytes(const QString &text, TCodepage cp)
{
    QStringList zeilen = text.split(Lf);
    // The controller shows the second line behind a full first one without a break.
    if (zeilen.size() >= 2 && zeilen[0].size() == NamenZeilenLaenge)
        zeilen[0] += zeilen.takeAt(1);
    QByteArray out;
    for (qsizetype i = 0; i < zeilen.size(); ++i) {
        if (i > 0)
            out += "\r\n";
        out += zeichenBytes(zeilen[i], cp);
    }
    return out;
}

bool NamenTextErlaubt(const QString &text, TCodepage cp, int maxBytes, const QString &ersatzErlaubt)
{
    if (!zeichenErlaubt(text, cp, ersatzErlaubt) || NamenBytes(text, cp).size() > maxBytes)
        return false;
    const QStringList zeilen = text.split(Lf);
    if (zeilen.size() == 2 && zeilen[0].size() != NamenZeilenLaenge)
        for (const QString &z : zeilen)
            if (z.size() > NamenZeilenLaenge)
                return false;
    return true;
}

TNamenMemo::TNamenMemo(QWidget *parent) : QPlainTextEdit(parent)
{
    setTabChangesFocus(true);
    // The lines are the name's own; a wrap of the widget would show another name.
    setLineWrapMode(QPlainTextEdit::NoWrap);
    connect(this, &QPlainTextEdit::textChanged, this, &TNamenMemo::textGeaendert);
}

void TNamenMemo::SetName(const QByteArray &bytes)
{
    const TCodepage cp = NamenCodepage();
    m_bytes = bytes;
    m_umbruch = NamenAnzeigeUmbruch(bytes, cp);
    m_ersatz.clear();
    for (const QChar c : NamenAnzeige(bytes, cp))
        if (IstNamenErsatz(c))
            m_ersatz += c;
    zeigen(NamenAnzeige(bytes, cp), 0);
}

QByteArray TNamenMemo::Name() const
{
    return m_bytes;
}

QString TNamenMemo::sichtText() const
{
    // The raw text keeps a no-break space; paragraphs end in U+2029 there.
    QString t = document()->toRawText();
    t.replace(QChar::ParagraphSeparator, Lf);
    t.replace(QChar::LineSeparator, Lf);
    return t;
}

void TNamenMemo::zeigen(const QString &text, int cursor)
{
    m_setzen = true;
    {
        const QSignalBlocker blocker(this);
        setPlainText(text);
        QTextCursor c = textCursor();
        c.setPosition(qBound(0, cursor, int(text.size())));
        setTextCursor(c);
    }
    m_setzen = false;
    m_text = text;
    m_cursor = textCursor().position();
}

void TNamenMemo::textGeaendert()
{
    if (m_setzen)
        return;
    const TCodepage cp = NamenCodepage();
    const QString gezeigt = sichtText();
    QString text = gezeigt;
    const int cursor = textCursor().position();
    // The shown-only break moves with the text around it, unless the edit took it away.
    qsizetype vorn = 0;
    const qsizetype kuerzer = qMin(text.size(), m_text.size());
    while (vorn < kuerzer && text[vorn] == m_text[vorn])
        ++vorn;
    qsizetype hinten = 0;
    while (hinten < kuerzer - vorn && text[text.size() - 1 - hinten] == m_text[m_text.size() - 1 - hinten])
        ++hinten;
    qsizetype umbruch = -1;
    if (m_umbruch >= 0 && m_umbruch < vorn)
        umbruch = m_umbruch;
    else if (m_umbruch >= 0 && m_umbruch >= m_text.size() - hinten)
        umbruch = m_umbruch + text.size() - m_text.size();
    if (umbruch >= 0 && (umbruch >= text.size() || text[umbruch] != Lf))
        umbruch = -1;
    int pos = cursor;
    bool dahinter = false;
    if (umbruch >= 0) {
        text.remove(umbruch, 1);
        dahinter = cursor > umbruch;
        if (dahinter)
            --pos;
    }
    // A break typed after a full first line adds nothing.
    if (text.indexOf(Lf) == NamenZeilenLaenge) {
        text.remove(NamenZeilenLaenge, 1);
        if (pos > NamenZeilenLaenge) {
            --pos;
            dahinter = true;
        }
    }
    // A name that came longer than the box allows may still be shortened.
    const QString vorher = m_umbruch >= 0 ? QString(m_text).remove(m_umbruch, 1) : m_text;
    const QByteArray bytes = NamenBytes(text, cp);
    const bool erlaubt = NamenTextErlaubt(text, cp, NamenMaxBytes, m_ersatz)
                         || (!NamenTextErlaubt(vorher, cp, NamenMaxBytes, m_ersatz) && zeichenErlaubt(text, cp, m_ersatz)
                             && bytes.size() <= m_bytes.size() && text.count(Lf) <= vorher.count(Lf));
    if (!erlaubt) {
        // Back to the last accepted text, the caret where it was.
        zeigen(m_text, m_cursor);
        return;
    }
    const int neuerUmbruch = NamenAnzeigeUmbruch(bytes, cp);
    if (neuerUmbruch >= 0 && (pos > neuerUmbruch || (pos == neuerUmbruch && dahinter)))
        ++pos;
    const QString anzeige = NamenAnzeige(bytes, cp);
    if (anzeige != gezeigt || pos != cursor) {
        zeigen(anzeige, pos);
    } else {
        m_text = anzeige;
        m_cursor = cursor;
    }
    m_umbruch = neuerUmbruch;
    if (bytes == m_bytes)
        return;
    m_bytes = bytes;
    emit NameBearbeitet();
}

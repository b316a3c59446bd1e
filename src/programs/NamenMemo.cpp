#include "programs/NamenMemo.h"

#include "app/Sammlung.h"

#include <QSignalBlocker>
#include <QTextCursor>

TCodepage NamenCodepage()
{
    return CyrillicMode ? TCodepage::Windows1251 : TCodepage::Windows1252;
}

QByteArray NamenBytes(const QString &text, TCodepage cp)
{
    QString t = text;
    t.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    t.replace(QLatin1Char('\n'), QStringLiteral("\r\n"));
    return StringToAnsi(t, cp);
}

QString NamenText(const QByteArray &bytes, TCodepage cp)
{
    QString t = AnsiToString(bytes, cp);
    t.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    return t;
}

bool NamenTextErlaubt(const QString &text, TCodepage cp, int maxBytes)
{
    for (const QChar c : text)
        if (c != QLatin1Char('\n') && !c.isPrint())
            return false;
    const QByteArray bytes = NamenBytes(text, cp);
    // A character the code page lacks does not come back from its byte.
    return bytes.size() <= maxBytes && NamenText(bytes, cp) == QString(text).replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
}

TNamenMemo::TNamenMemo(QWidget *parent) : QPlainTextEdit(parent)
{
    setTabChangesFocus(true);
    // A one-line name of 20 characters wraps onto the second line as it would on the form; only
    // a typed line break goes into the name.
    setLineWrapMode(QPlainTextEdit::WidgetWidth);
    setWordWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
    connect(this, &QPlainTextEdit::textChanged, this, &TNamenMemo::textGeaendert);
}

void TNamenMemo::SetName(const QByteArray &bytes)
{
    m_setzen = true;
    setPlainText(NamenText(bytes, NamenCodepage()));
    m_setzen = false;
    m_text = toPlainText();
    m_cursor = textCursor().position();
}

QByteArray TNamenMemo::Name() const
{
    return NamenBytes(toPlainText(), NamenCodepage());
}

void TNamenMemo::textGeaendert()
{
    if (m_setzen)
        return;
    const QString neu = toPlainText();
    if (!NamenTextErlaubt(neu, NamenCodepage())) {
        // Back to the last accepted text, the caret where it was.
        const QSignalBlocker blocker(this);
        setPlainText(m_text);
        QTextCursor c = textCursor();
        c.setPosition(qMin(m_cursor, int(m_text.size())));
        setTextCursor(c);
        return;
    }
    m_text = neu;
    m_cursor = textCursor().position();
    emit NameBearbeitet();
}

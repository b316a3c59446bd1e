#pragma once
// Program names as the editor shows them: bytes in the record (Windows-1252, Windows-1251 in
// the Cyrillic mode) with CR LF between the two lines, text with LF in the memo.
#include "app/Codepage.h"

#include <QByteArray>
#include <QPlainTextEdit>
#include <QString>

inline constexpr int NamenMaxBytes = 20;

// The code page of program names on the PC.
TCodepage NamenCodepage();
// Memo text to record bytes (LF becomes CR LF) and back.
QByteArray NamenBytes(const QString &text, TCodepage cp);
QString NamenText(const QByteArray &bytes, TCodepage cp);
// Fits in `maxBytes` with CR LF counted, and holds only printable characters of the code page
// and line breaks.
bool NamenTextErlaubt(const QString &text, TCodepage cp, int maxBytes = NamenMaxBytes);

// A memo that refuses any input that would break those rules, typed or pasted.
class TNamenMemo : public QPlainTextEdit
{
    Q_OBJECT
public:
    explicit TNamenMemo(QWidget *parent = nullptr);
    // Shows the name without reporting an edit.
    void SetName(const QByteArray &bytes);
    QByteArray Name() const;

signals:
    // The user changed the text (programmatic changes are not reported).
    void NameBearbeitet();

private:
    void textGeaendert();
    QString m_text;
    int m_cursor = 0;
    bool m_setzen = false;
};

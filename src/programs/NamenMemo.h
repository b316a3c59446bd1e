#pragma once
// Program names as the editor shows them: bytes in the record (Windows-1252, Windows-1251 in
// the Cyrillic mode), shown as the two lines the controller and the print show: the lines of a
// name with CR LF, or the first 10 and the next 10 characters of a name without.
#include "app/Codepage.h"

#include <QByteArray>
#include <QPlainTextEdit>
#include <QString>

inline constexpr int NamenMaxBytes = 20;
inline constexpr int NamenZeilenLaenge = 10;

// The code page of program names on the PC.
TCodepage NamenCodepage();
// Record bytes as plain text (CR LF becomes LF), for the one-line name edits.
QString NamenText(const QByteArray &bytes, TCodepage cp);

// The name box's text of record bytes: at most two lines; a byte without a printable character
// (a control, a lone CR or LF, a TAB, a byte the code page leaves undefined) shows as a
// stand-in that NamenBytes turns back into it.
QString NamenAnzeige(const QByteArray &bytes, TCodepage cp);
// Where NamenAnzeige breaks a name that has no CR LF of its own (after character 10); -1 when
// it does not.
int NamenAnzeigeUmbruch(const QByteArray &bytes, TCodepage cp);
// Is `c` the stand-in of a byte?
bool IstNamenErsatz(QChar c);
// A text with its line breaks of its own (no shown-only break) to record bytes: LF becomes
// CR LF, except after a first line of exactly 10 characters, which the second line follows
// anyway; stand-ins become their bytes.
QByteArray NamenBytes(const QString &text, TCodepage cp);
// May the box hold `text` (as for NamenBytes)? At most two lines; one line of at most 20
// characters, or two lines of at most 10 each; at most `maxBytes` bytes with CR LF counted;
// only printable characters of the code page and the stand-ins in `ersatzErlaubt`.
bool NamenTextErlaubt(const QString &text, TCodepage cp, int maxBytes = NamenMaxBytes,
                      const QString &ersatzErlaubt = QString());

// The name box: shows a name as its two lines without a wrap of its own, keeps the record's
// bytes until the user edits, and refuses an edit that would break the rules above.
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
    QString sichtText() const;
    void zeigen(const QString &text, int cursor);
    QByteArray m_bytes;
    QString m_text;
    // The shown-only break of m_text, -1 when none.
    int m_umbruch = -1;
    int m_cursor = 0;
    // Stand-ins of the bytes the name held when it was set.
    QString m_ersatz;
    bool m_setzen = false;
};

#pragma once
// The one line an answer connection carries, put together from its bytes in the pieces in
// which they arrive: up to the first LF, without one CR before it, and at most a cap long.
#include <QByteArray>
#include <QByteArrayView>

class TZeilenPuffer
{
public:
    enum TStand {
        Offen,  // no LF yet, and not past the cap
        Zeile,  // the line is whole
        ZuLang  // more than the cap came before an LF
    };
    explicit TZeilenPuffer(qsizetype maxZeile) : m_max(maxZeile) {}

    // Takes the next piece; once the line is whole or too long, further pieces change nothing.
    TStand Anfuegen(QByteArrayView stueck);
    TStand Stand() const { return m_stand; }
    // The line without its LF and one CR before that; empty unless the line is whole.
    QByteArray Text() const { return m_stand == Zeile ? m_text : QByteArray(); }

private:
    qsizetype m_max;
    TStand m_stand = Offen;
    QByteArray m_text;
};

#include "link/Zeilenpuffer.h"

TZeilenPuffer::TStand TZeilenPuffer::Anfuegen(QByteArrayView stueck)
{
    if (m_stand != Offen)
        return m_stand;
    // Only the new piece is searched, and nothing past the cap is kept: a peer that trickles
    // a long line costs no more than one that sends it at once.
    const qsizetype lf = stueck.indexOf('\n');
    const qsizetype laenge = m_text.size() + (lf >= 0 ? lf : stueck.size());
    if (laenge > m_max) {
        m_text.clear();
        m_stand = ZuLang;
        return m_stand;
    }
    m_text += lf >= 0 ? stueck.first(lf) : stueck;
    if (lf < 0)
        return m_stand;
    if (m_text.endsWith('\r'))
        m_text.chop(1);
    m_stand = Zeile;
    return m_stand;
}

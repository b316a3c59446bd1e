#include "support/Steuerung.h"

#include "support/LinkTestHilfe.h"

#include "link/uKelvor.h"
#include "programs/uXQXGesamtListe.h"

bool TSteuerungsUmgebung::starten(double timeScale)
{
    m_env.reset();
    pc = EigeneServerAdresse();
    m_sim = std::make_unique<TXqSim>();
    port = SimAufFreiemPort(*m_sim, pc);
    if (!port) {
        grund = QStringLiteral("no free port: ") + m_sim->errorString();
        return false;
    }
    m_env = std::make_unique<TListeneditorUmgebung>(timeScale, QStringLiteral("127.000.000.002"), port);
    return true;
}

TwXQXOfen *TSteuerungsUmgebung::link() const
{
    return m_env && m_env->fenster() ? m_env->fenster()->Link() : nullptr;
}

bool TSteuerungsUmgebung::ruhig() const
{
    const TwXQXOfen *l = link();
    if (!l || l->BefehlImFlug() || l->SendenBeschaeftigt() || !l->MakroZeilen().isEmpty() || l->UebertragungAktiv())
        return false;
    if (wXQXGesamtListe && wXQXGesamtListe->Beschaeftigt())
        return false;
    return m_sim->answersPending() == 0 && m_sim->count("TRX ") == m_sim->answersSent().size()
           && m_env->fenster()->TCPServer->OffeneVerbindungen() == 0;
}

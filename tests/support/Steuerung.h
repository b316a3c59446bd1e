#pragma once
// The program's windows against the stand-in controller over loopback: a port of the program's
// range that is free where both sides listen, the stand-in on 127.0.0.2 answering to an address
// of this process alone, and the program's settings pointed at it.
#include "support/Listeneditor.h"

#include "XqSim.h"

#include <memory>

class TSteuerungsUmgebung
{
public:
    // False, with the reason in `grund`, when no port was free.
    bool starten(double timeScale = 1.0);
    TXqSim &sim() { return *m_sim; }
    TListeneditorUmgebung &env() { return *m_env; }
    // The link of the main window; null before it is opened.
    TwXQXOfen *link() const;
    // No transfer of the editor, nothing queued, in flight or on the wire, and every answer of
    // the stand-in acknowledged.
    bool ruhig() const;

    QHostAddress pc;
    quint16 port = 0;
    QString grund;

private:
    // The windows go before the stand-in.
    std::unique_ptr<TXqSim> m_sim;
    std::unique_ptr<TListeneditorUmgebung> m_env;
};

#include "link/uXQXKonstanten.h"

namespace {

NeuerBefehl befehl(const char *name, const char *kommando, qint32 timeoutMs)
{
    NeuerBefehl b;
    b.Name = name;
    if (*kommando)
        b.Kommando = kommando;
    b.TimeoutMs = timeoutMs;
    return b;
}

enum TBefehlIndex {
#define KELVOR_BEFEHL_INDEX(name, wort, ms) I_##name,
    KELVOR_BEFEHLSTABELLE(KELVOR_BEFEHL_INDEX)
#undef KELVOR_BEFEHL_INDEX
    I_Anzahl
};
static_assert(I_Anzahl == BefehlAnzahl);

} // namespace

std::array<NeuerBefehl, BefehlAnzahl> Befehlstabelle = {
#define KELVOR_BEFEHL_SATZ(name, wort, ms) befehl(#name, wort, ms),
    KELVOR_BEFEHLSTABELLE(KELVOR_BEFEHL_SATZ)
#undef KELVOR_BEFEHL_SATZ
};

#define KELVOR_BEFEHL_REF(name, wort, ms) NeuerBefehl &name = Befehlstabelle[I_##name];
KELVOR_BEFEHLSTABELLE(KELVOR_BEFEHL_REF)
#undef KELVOR_BEFEHL_REF

int MaxSollTemp = 400;

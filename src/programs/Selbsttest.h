#pragma once
// The two patterns of generated test programs that the self-test panel writes into a list, and
// their verification, so a list can go to the controller, come back and be compared.
#include "link/uXQXKonstanten.h"

#include <QByteArray>

// Full pattern: every slot its own program "PrgTest" + number with ten phases. Phase 11 and
// slot 0 stay as they were.
void VollesMusterErzeugen(TBackprogrammListe &liste, TNamenListe &namen);
// Half pattern: "PrgTest_X_" + number with two phases, phases 3..10 empty; the core
// temperature, phase 11 and slot 0 stay as they were.
void HalbesMusterErzeugen(TBackprogrammListe &liste, TNamenListe &namen);

// The error codes of all slots one after the other, "fehlerfrei" when there is none. The full
// pattern reports the first error of a slot, the half pattern the last. `mitKern`: the core
// temperature alone fails a head of the full pattern.
QByteArray VollesMusterPruefen(const TBackprogrammListe &liste, const TNamenListe &namen, bool mitKern);
QByteArray HalbesMusterPruefen(const TBackprogrammListe &liste, const TNamenListe &namen);

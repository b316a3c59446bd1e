#pragma once
// Operations on whole slots of a program list without a window: the ranges of copy and paste,
// the sort order by name and moving a block of slots. Slot 0 never takes part.
#include "app/Codepage.h"
#include "link/uXQXKonstanten.h"

#include <QList>
#include <array>
#include <utility>

// The range von..bis kept to the programs 1..199; false when nothing of it remains.
bool KopierBereich(int von, int bis, int &kopieVon, int &kopieBis);
// Pairs (copied slot, target slot) of a paste of kopieVon..kopieBis from slot `ab` on, cut off
// after slot 199. Empty before any copy (kopieVon 0).
QList<std::pair<int, int>> EinfuegeZiele(int kopieVon, int kopieBis, int ab);

// The programs 1..199 in the order of their names (decoded in `cp`), compared without regard to
// case by the user's locale; equal names keep their slot order in either direction. Element
// p - 1 is the slot whose program goes to slot p.
std::array<int, LetztesProgramm> SortierFolge(const TBackprogrammListe &liste, bool aufsteigend, TCodepage cp);
// Sorts slots 1..199 by SortierFolge.
void ProgrammeSortieren(TBackprogrammListe &liste, bool aufsteigend, TCodepage cp);

// Exchanges slots a and b; nothing when they are equal or one is no program slot.
void SlotsTauschen(TBackprogrammListe &liste, int a, int b);
// Moves the block von..bis one slot up (the slot above goes below it) or down. False, with the
// list unchanged, when the block holds slot 1 (up), slot 199 (down) or is no block of programs.
bool BlockVerschieben(TBackprogrammListe &liste, int von, int bis, bool hoch);

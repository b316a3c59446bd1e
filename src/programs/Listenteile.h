#pragma once
// What the list editor hands the link for a transfer and reads back from it: the BPRG
// parameters of one program, and a whole list as twelve hex-encoded chunks.
#include "link/uXQXKonstanten.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QList>

inline constexpr int ListenteilAnzahl = 12;

// First and last slot of chunk k (1..12): slots 0..17, then 17 each, the last 188..199.
int ListenteilVon(int k);
int ListenteilBis(int k);

// The twelve chunks of a write-all, every slot's text form in hex behind its number ("%.2d")
// and a TAB each. A chunk is as long as its programs need; nothing cuts it.
QList<QByteArray> ListenteileBilden(const TBackprogrammListe &liste);

// The list the collected chunks of a read-all hold: programs 1..199 of entries whose text is a
// program ("##HEAD"); every other slot, slot 0 among them, is the empty record.
void ListenteileLesen(QByteArrayView puffer, TBackprogrammListe &liste);

// BPRG parameters of program `nr`: its text form with TABs for line ends behind the number, or
// the delete form when its slot is free.
QByteArray BprgSchreibParameter(int nr, const TBackprogramm &rec);
// BPRG parameters that ask for program `nr`.
QByteArray BprgLeseParameter(int nr);

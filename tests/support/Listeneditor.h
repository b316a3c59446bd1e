#pragma once
// The list editor as the program creates it (seventh window, owned by the main window), with
// helpers to fill its list and to work its grid as a user does.
#include "support/Hauptfenster.h"

#include "link/uKelvor.h"
#include "link/uXQXKonstanten.h"

class TwXQXGesamtListe;

class TListeneditorUmgebung : public THauptfensterUmgebung
{
public:
    // `ip` and `port` as THauptfensterUmgebung takes them.
    explicit TListeneditorUmgebung(double timeScale = 1.0, const QString &ip = QStringLiteral("127.000.000.009"),
                                   int port = 0);
    // Creates the program's windows and shows the editor through "Backprogrammfenster".
    TwXQXGesamtListe *oeffnenEditor();
    TwXQXGesamtListe *editor() const;
};

// A program whose sums fit: two phases of `minuten` minutes at `temperatur`, exhaust and fan
// running through, steam 20 s in phase 2.
TBackprogramm BeispielProgramm(const QByteArray &name, int temperatur = 220, int minuten = 10);
// Every phase and nearly every function in use, with long head texts: seventeen of them make a
// list chunk longer than 32766 characters.
TBackprogramm VollesProgramm(int nr);
// A list of free slots (the empty record in every slot).
TBackprogrammListe FreieListe();
// Puts `liste` into the editor as a freshly loaded list and shows program `n`.
void ListeLaden(TwXQXGesamtListe *w, const TBackprogrammListe &liste, int n = 1);
// Makes cell (col, row) current, types `text` into its editor and leaves it open.
void ZelleTippen(TwXQXGesamtListe *w, int col, int row, const QString &text);

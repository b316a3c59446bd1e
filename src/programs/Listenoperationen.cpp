#include "programs/Listenoperationen.h"

#include <QCollator>
#include <algorithm>
#include <memory>
#include <numeric>
#include <vector>

bool KopierBereich(int von, int bis, int &kopieVon, int &kopieBis)
{
    von = qMax(von, ErstesProgramm);
    bis = qMin(bis, LetztesProgramm);
    if (von > bis)
        return false;
    kopieVon = von;
    kopieBis = bis;
    return true;
}

QList<std::pair<int, int>> EinfuegeZiele(int kopieVon, int kopieBis, int ab)
{
    QList<std::pair<int, int>> ziele;
    if (!gueltigerPlatz(kopieVon) || !gueltigerPlatz(kopieBis) || !gueltigerPlatz(ab))
        return ziele;
    for (int k = kopieVon, j = ab; k <= kopieBis && j <= LetztesProgramm; ++k, ++j)
        ziele.append({k, j});
    return ziele;
}

std::array<int, LetztesProgramm> SortierFolge(const TBackprogrammListe &liste, bool aufsteigend, TCodepage cp)
{
    QCollator collator;
    collator.setCaseSensitivity(Qt::CaseInsensitive);
    // Compared one by one: sort keys of the C locale would heed the case.
    std::vector<QString> namen;
    namen.reserve(BPrgListeAnzahl);
    for (const TBackprogramm &rec : liste)
        namen.push_back(AnsiToString(rec.Name.text(), cp));
    std::array<int, LetztesProgramm> folge;
    std::iota(folge.begin(), folge.end(), ErstesProgramm);
    // Stable, so programs of equal names stay in slot order.
    std::stable_sort(folge.begin(), folge.end(), [&](int a, int b) {
        const int c = collator.compare(namen[size_t(a)], namen[size_t(b)]);
        return aufsteigend ? c < 0 : c > 0;
    });
    return folge;
}

void ProgrammeSortieren(TBackprogrammListe &liste, bool aufsteigend, TCodepage cp)
{
    const std::array<int, LetztesProgramm> folge = SortierFolge(liste, aufsteigend, cp);
    const auto alt = std::make_unique<TBackprogrammListe>(liste);
    for (int p = ErstesProgramm; p <= LetztesProgramm; ++p)
        liste[size_t(p)] = (*alt)[size_t(folge[size_t(p - 1)])];
}

void SlotsTauschen(TBackprogrammListe &liste, int a, int b)
{
    if (a == b || !gueltigerPlatz(a) || !gueltigerPlatz(b))
        return;
    std::swap(liste[size_t(a)], liste[size_t(b)]);
}

bool BlockVerschieben(TBackprogrammListe &liste, int von, int bis, bool hoch)
{
    if (!gueltigerPlatz(von) || !gueltigerPlatz(bis) || von > bis)
        return false;
    if (hoch ? von <= ErstesProgramm : bis >= LetztesProgramm)
        return false;
    if (hoch)
        for (int s = von; s <= bis; ++s)
            SlotsTauschen(liste, s - 1, s);
    else
        for (int s = bis; s >= von; --s)
            SlotsTauschen(liste, s, s + 1);
    return true;
}

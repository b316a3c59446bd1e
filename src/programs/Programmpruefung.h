#pragma once
// The limits of a baking program and the checks before it (or the whole list) is saved, sent
// or printed: clamping, the sums against the total baking time, and the texts of the
// questions and messages. Plain functions; the list editor asks and stores.
#include "link/uXQXKonstanten.h"
#include "programs/ProgrammRaster.h"

#include <QString>
#include <QStringList>

// The 46 run-time texts of the list editor in their fixed order (its hidden list "Lang").
QStringList ListenEditorTexte();

// What the checks depend on besides the program.
struct TPruefRegeln
{
    TKnopfZustaende schwadenMenge{}; // steam buttons of the editor, phase 1 first
    bool literModus = false;
    int maxSollTemp = 400;
    bool umwSpalteAus = false;
    bool ausgSpalteEin = false;
    bool summeKleinerIstFehler = true;
};

// Operation of a check; chooses the words of the questions.
enum TPruefOperation { OpKeine = 0, OpSpeichern = 1, OpSenden = 2, OpDrucken = 3 };

// Clamps every value of phases 1..10 above its limit to the limit; true when one was above.
bool ProgrammBegrenzen(TBackprogramm &rec, const TPruefRegeln &regeln);
// Sums over phases 1..10.
TSummen ProgrammSummen(const TBackprogramm &rec);

// The sums against the total baking time, and what the rest labels show for them.
struct TSummenErgebnis
{
    bool fehler = false;
    QString text;          // the message body, empty when all fit
    QString gesamt;        // total as "mm:ss"
    QString schwadenRest, abzugRest, umwRest, ausgRest;
    bool schwadenRot = false, abzugRot = false, umwRot = false, ausgRot = false;
    bool umwSichtbar = true, ausgSichtbar = false;
};
TSummenErgebnis SummenPruefen(const TSummen &s, const TPruefRegeln &regeln, const QStringList &lang);
// The box text of a sum error: the body and the two lines asking for a change.
QString SummenMeldung(const QString &text, const QStringList &lang);

// Participle ("gesendet") and infinitive ("senden") of an operation.
QString PruefPartizip(int operation, const QStringList &lang);
QString PruefInfinitiv(int operation, const QStringList &lang);
// The question when values of the shown program are above their limits.
QString BereichsFrage(int operation, const QStringList &lang);
// The same question for the whole list.
QString ListenBereichsFrage(int operation, const QStringList &lang);
// The question when sums of list programs do not fit; `betroffen` as BetroffeneAnhaengen builds it.
QString ListenSummenFrage(int operation, const QString &betroffen, const QStringList &lang);
// Appends "n, " and starts a new line once the current one is past 40 characters.
void BetroffeneAnhaengen(QString &betroffen, int nummer);

// One program checked without asking: clamped copy, and whether ranges or sums failed.
struct TProgrammBefund
{
    TBackprogramm begrenzt;
    bool bereichsFehler = false;
    TSummen summen; // after clamping
    TSummenErgebnis summenErgebnis;
};
TProgrammBefund ProgrammAuswerten(const TBackprogramm &rec, const TPruefRegeln &regeln, const QStringList &lang);

// Programs 1..199 checked without asking (each gets its slot as number first).
struct TListenBefund
{
    bool bereichsFehler = false;
    bool summenFehler = false;
    QString betroffen;
};
TListenBefund ListeAuswerten(TBackprogrammListe &liste, const TPruefRegeln &regeln, const QStringList &lang);

// The list editor's self-test panel: two patterns of generated test programs and their
// verification.
#include "programs/uXQXGesamtListe.h"

#include "programs/Selbsttest.h"

#include <QCheckBox>
#include <QPlainTextEdit>
#include <QPushButton>

void TwXQXGesamtListe::SelbsttestVerbinden()
{
    connect(DoDefaults_voll, &QPushButton::clicked, this, &TwXQXGesamtListe::DoDefaults_vollClick);
    connect(Defaults_halb, &QPushButton::clicked, this, &TwXQXGesamtListe::Defaults_halbClick);
    connect(Chk_v, &QPushButton::clicked, this, &TwXQXGesamtListe::Chk_vClick);
    connect(Chk_h, &QPushButton::clicked, this, &TwXQXGesamtListe::Chk_hClick);
}

void TwXQXGesamtListe::DoDefaults_vollClick()
{
    VollesMusterErzeugen(BPrgListe, BPrgNamen);
    ListeGeaendert = false;
    ListeAnzeigen(ErstesProgramm);
}

void TwXQXGesamtListe::Defaults_halbClick()
{
    HalbesMusterErzeugen(BPrgListe, BPrgNamen);
    ListeGeaendert = false;
    ListeAnzeigen(ErstesProgramm);
}

void TwXQXGesamtListe::Chk_vClick()
{
    Memo1->clear();
    Memo1->setPlainText(QString::fromLatin1(VollesMusterPruefen(BPrgListe, BPrgNamen, CheckMitKern->isChecked())));
    ListeAnzeigen(ErstesProgramm);
}

void TwXQXGesamtListe::Chk_hClick()
{
    Memo1->clear();
    Memo1->setPlainText(QString::fromLatin1(HalbesMusterPruefen(BPrgListe, BPrgNamen)));
    ListeAnzeigen(ErstesProgramm);
}

#include "support/Listeneditor.h"

#include "link/uKelvor.h"
#include "programs/uXQXGesamtListe.h"

#include <QApplication>
#include <QPushButton>
#include <QTest>

TListeneditorUmgebung::TListeneditorUmgebung(double timeScale, const QString &ip, int port)
    : THauptfensterUmgebung(timeScale, ip, port)
{
}

TwXQXGesamtListe *TListeneditorUmgebung::oeffnenEditor()
{
    TwKelvor *haupt = oeffnen({}, true);
    haupt->BPrgBtn->click();
    TwXQXGesamtListe *w = wXQXGesamtListe;
    if (w && !QTest::qWaitForWindowExposed(w))
        qWarning("list editor not exposed");
    if (w) {
        w->activateWindow();
        if (!QTest::qWaitForWindowActive(w))
            qWarning("list editor not active");
    }
    return w;
}

TwXQXGesamtListe *TListeneditorUmgebung::editor() const
{
    return wXQXGesamtListe;
}

TBackprogramm BeispielProgramm(const QByteArray &name, int temperatur, int minuten)
{
    TBackprogramm p;
    InitBPrgRecord(p);
    p.Name.setText(name);
    p.Menge = 12;
    p.SollKT = 96;
    const quint32 t = quint32(minuten) * 60;
    for (int i = 0; i < 2; ++i) {
        TBackPhase &ph = p.Phasen[size_t(i)];
        ph.Temperatur = temperatur - 10 * i;
        ph.Backzeit = t;
        ph.AbzugZeit = t;
        ph.AbzugProzent = quint8(50 * i);
        ph.UmwaelzerZeit = t;
        ph.Schwaden = i == 0 ? 30 : 20;
    }
    return p;
}

TBackprogramm VollesProgramm(int nr)
{
    TBackprogramm p = BeispielProgramm("Vollkornbrot Nr " + QByteArray::number(nr));
    p.Steuerung.setText("XQ7310 Backstube Nord");
    p.PrgVersion.setText("Fassung 2.04 vom Mai");
    for (int k = 0; k < 10; ++k) {
        TBackPhase &ph = p.Phasen[size_t(k)];
        ph.Temperatur = 240 - k;
        ph.Backzeit = 100 + k;
        ph.Schwaden = 5;
        ph.Umwaelzer = k % 2 ? 100 : 0;
        ph.UmwaelzerZeit = ph.Backzeit;
        ph.Luft = k < 8 ? 50 : 0;
        ph.LuftZeit = k < 8 ? ph.Backzeit - 10 : 0;
        ph.Ausgang = 100;
        ph.AusgangZeit = 20 + k;
        ph.AbzugProzent = 40;
        ph.AbzugZeit = ph.Backzeit;
    }
    return p;
}

TBackprogrammListe FreieListe()
{
    TBackprogrammListe liste{};
    for (TBackprogramm &p : liste)
        InitBPrgRecord(p);
    return liste;
}

void ListeLaden(TwXQXGesamtListe *w, const TBackprogrammListe &liste, int n)
{
    w->BPrgListe = liste;
    for (int i = 0; i < BPrgListeAnzahl; ++i)
        w->BPrgNamen[size_t(i)] = liste[size_t(i)].Name.text();
    w->ListeGeaendert = false;
    w->ListeAnzeigen(n);
}

void ZelleTippen(TwXQXGesamtListe *w, int col, int row, const QString &text)
{
    w->SG1->setFocus();
    w->SG1->setCurrentCell(row, col);
    w->SG1->editItem(w->SG1->item(row, col));
    QWidget *editor = QApplication::focusWidget();
    if (!editor || editor == w->SG1) {
        qWarning("no cell editor");
        return;
    }
    QTest::keyClick(editor, Qt::Key_A, Qt::ControlModifier);
    QTest::keyClicks(editor, text);
}

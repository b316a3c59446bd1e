// The list editor's operations on whole slots as a user starts them, offscreen: copy and paste,
// sort, move up and down, the keys and the context menu of the name grid.
#include "support/Listeneditor.h"

#include "app/Sammlung.h"
#include "programs/NamenMemo.h"
#include "programs/uXQXGesamtListe.h"

#include <QtTest>
#include <QtWidgets>
#include <memory>

namespace {
TBackprogrammListe listeMit(const QList<QByteArray> &namen)
{
    TBackprogrammListe l = FreieListe();
    for (int i = 0; i < namen.size(); ++i) {
        l[size_t(i + 1)] = BeispielProgramm(namen[i]);
        l[size_t(i + 1)].Menge = i + 1;
    }
    return l;
}

QList<QByteArray> pNamen(int von, int bis)
{
    QList<QByteArray> n;
    for (int i = von; i <= bis; ++i)
        n << "P" + QByteArray::number(i);
    return n;
}
} // namespace

class TstEditorListe : public QObject
{
    Q_OBJECT
    std::unique_ptr<TListeneditorUmgebung> env;
    TwXQXGesamtListe *w = nullptr;

    QList<QByteArray> namen(int von, int bis) const
    {
        QList<QByteArray> n;
        for (int i = von; i <= bis; ++i)
            n << w->BPrgListe[size_t(i)].Name.text();
        return n;
    }
    // The names table and the grid say what the records hold.
    bool namenStimmen() const
    {
        for (int i = 0; i < 200; ++i)
            if (w->BPrgNamen[size_t(i)] != w->BPrgListe[size_t(i)].Name.text()
                || w->NamenListe->cell(1, i + 1) != QString::fromLatin1(FormatName20(w->BPrgListe[size_t(i)].Name.text())))
                return false;
        return true;
    }
    void markieren(int von, int bis)
    {
        const QAbstractItemModel *m = w->NamenListe->model();
        w->NamenListe->selectionModel()->select(QItemSelection(m->index(von + 1, 0), m->index(bis + 1, 1)),
                                                QItemSelectionModel::ClearAndSelect);
    }
    QPair<int, int> markiert() const
    {
        int von = -1, bis = -1;
        w->NamenAuswahl(von, bis);
        return {von, bis};
    }
    void mengeTippen(const QString &text)
    {
        w->eMenge->setFocus();
        w->eMenge->selectAll();
        QTest::keyClicks(w->eMenge, text);
    }

private slots:
    void initTestCase() { EigeneServerAdresse(); }
    void init()
    {
        env.reset();
        env = std::make_unique<TListeneditorUmgebung>();
        w = env->oeffnenEditor();
        QVERIFY(w && w->isVisible());
    }
    void cleanup()
    {
        QCOMPARE(env->dialoge().unexpected(), 0);
        QVERIFY(env->dialoge().allAnswersUsed());
        w = nullptr;
        env.reset();
    }

    void kopierenUndEinfuegen()
    {
        ListeLaden(w, listeMit(pNamen(1, 10)), 1);
        // Nothing copied yet: a paste does nothing.
        markieren(20, 20);
        w->Backprogrammeinfgen1->trigger();
        QVERIFY(!w->ListeGeaendert && IsFreeSlotName(w->BPrgListe[20].Name.text()));

        markieren(3, 5);
        w->Backprogrammkopieren1->trigger();
        QVERIFY(w->KopieVon == 3 && w->KopieBis == 5 && !w->ListeGeaendert);
        markieren(20, 20);
        w->Einfgen1->trigger();
        QCOMPARE(namen(19, 23), (QList<QByteArray>{"frei free libre     ", "P3", "P4", "P5", "frei free libre     "}));
        QVERIFY(w->ListeGeaendert && !w->PrgGeaendert && namenStimmen());
        QCOMPARE(markiert(), qMakePair(20, 22));
        QCOMPARE(w->Nummer(), 22);
        QCOMPARE(w->ePrgName->toPlainText(), QStringLiteral("P5"));
        // Again at 198: cut off after 199; the clipboard stays.
        markieren(198, 198);
        w->Backprogrammeinfgen1->trigger();
        QCOMPARE(namen(197, 199), (QList<QByteArray>{"frei free libre     ", "P3", "P4"}));
        QCOMPARE(markiert(), qMakePair(198, 199));
        QCOMPARE(w->Nummer(), 199);
        QCOMPARE(w->BPrgListe[0].Name.text(), QByteArray("frei free libre     "));
        env->dialoge().expectBox(QMessageBox::Cancel);
        QVERIFY(!w->close());
    }

    // The copy takes the shown program as edited.
    void kopieMitBearbeitung()
    {
        ListeLaden(w, listeMit(pNamen(1, 5)), 3);
        mengeTippen(QStringLiteral("33"));
        markieren(2, 3);
        w->Backprogrammkopieren1->trigger();
        QCOMPARE(w->Zwischenablage[3].Menge, 33);
        QCOMPARE(w->BPrgListe[3].Menge, 33);
        QVERIFY(!w->PrgGeaendert && w->ListeGeaendert);
    }

    // A pasted program above its limits is checked for its own slot: "Yes" clamps it there.
    void einfuegenMitBereichsfrage()
    {
        ListeLaden(w, listeMit(pNamen(1, 5)), 1);
        w->BPrgListe[3].Phasen[0].Temperatur = 500;
        const TBackprogramm eins = w->BPrgListe[1];
        markieren(3, 3);
        w->Backprogrammkopieren1->trigger();
        markieren(7, 7);
        env->dialoge().expectBox(QMessageBox::Yes);
        w->Backprogrammeinfgen1->trigger();
        QCOMPARE(env->dialoge().boxes().size(), 1);
        QCOMPARE(w->BPrgListe[7].Phasen[0].Temperatur, 400);
        QCOMPARE(w->BPrgListe[3].Phasen[0].Temperatur, 500);
        QVERIFY(w->BPrgListe[1] == eins);
        QCOMPARE(w->Nummer(), 7);
    }

    void sortieren()
    {
        ListeLaden(w, listeMit({"b", "A", "frei free libre", "c"}), 2);
        mengeTippen(QStringLiteral("55"));
        w->SortierenAZ1->trigger();
        QCOMPARE(namen(1, 5), (QList<QByteArray>{"A", "b", "c", "frei free libre", "frei free libre     "}));
        // The edit went with its program; slot 2 shows what it now holds.
        QCOMPARE(w->BPrgListe[1].Menge, 55);
        QVERIFY(w->Nummer() == 2 && w->ePrgName->toPlainText() == QStringLiteral("b") && w->eMenge->text() == QStringLiteral("1"));
        QVERIFY(w->ListeGeaendert && !w->PrgGeaendert && namenStimmen());
        w->SortierenZA2->trigger();
        QCOMPARE(namen(195, 199), (QList<QByteArray>{"frei free libre     ", "frei free libre", "c", "b", "A"}));
        QVERIFY(namenStimmen());
        // The changes are asked for at close.
        env->dialoge().expectBox(QMessageBox::Cancel);
        QVERIFY(!w->close());
        QCOMPARE(env->dialoge().boxes().value(0).text, QStringLiteral("Backprogrammliste wurde verändert!\r\nWollen Sie speichern?"));
    }

    void verschieben()
    {
        ListeLaden(w, listeMit(pNamen(1, 12)), 10);
        mengeTippen(QStringLiteral("66"));
        markieren(10, 12);
        w->Nachoben1->trigger();
        QCOMPARE(namen(8, 13), (QList<QByteArray>{"P8", "P10", "P11", "P12", "P9", "frei free libre     "}));
        QCOMPARE(w->BPrgListe[9].Menge, 66);
        QCOMPARE(markiert(), qMakePair(9, 11));
        QCOMPARE(w->NamenListe->currentRow(), 12);
        QVERIFY(w->ListeGeaendert && !w->PrgGeaendert && namenStimmen());
        QVERIFY(w->Nummer() == 10 && w->ePrgName->toPlainText() == QStringLiteral("P11"));
        // The arrows beside the grid move the block back.
        w->UpDown1->Runter->click();
        QCOMPARE(namen(9, 12), pNamen(9, 12));
        QCOMPARE(markiert(), qMakePair(10, 12));
        QCOMPARE(w->ePrgName->toPlainText(), QStringLiteral("P10"));
        // Blocks with slot 1 or slot 199 stay where they are.
        const TBackprogrammListe vorher = w->BPrgListe;
        markieren(1, 2);
        w->Nachoben2->trigger();
        markieren(198, 199);
        w->Nachunten1->trigger();
        QVERIFY(w->BPrgListe == vorher);
        QCOMPARE(markiert(), qMakePair(198, 199));
        markieren(198, 198);
        w->Nachunten2->trigger();
        QCOMPARE(markiert(), qMakePair(199, 199));
    }

    // Ctrl+C and Ctrl+V copy programs in the name grid, text in the name edit.
    void tastenkuerzel()
    {
        ListeLaden(w, listeMit(pNamen(1, 5)), 1);
        w->NamenListe->setFocus();
        markieren(2, 3);
        QTest::keyClick(w->NamenListe, Qt::Key_C, Qt::ControlModifier);
        QVERIFY(w->KopieVon == 2 && w->KopieBis == 3);
        markieren(40, 40);
        QTest::keyClick(w->NamenListe, Qt::Key_V, Qt::ControlModifier);
        QCOMPARE(namen(40, 41), (QList<QByteArray>{"P2", "P3"}));

        markieren(4, 4);
        w->ePrgName->setFocus();
        QTest::keyClick(w->ePrgName, Qt::Key_A, Qt::ControlModifier);
        QTest::keyClick(w->ePrgName, Qt::Key_C, Qt::ControlModifier);
        QCOMPARE(w->KopieVon, 2);
        QCOMPARE(QGuiApplication::clipboard()->text(), w->ePrgName->toPlainText());
        QTest::keyClick(w->ePrgName, Qt::Key_V, Qt::ControlModifier);
        QCOMPARE(w->BPrgListe[4].Name.text(), QByteArray("P4"));
    }

    void rechtsklick()
    {
        ListeLaden(w, listeMit(pNamen(1, 5)), 1);
        QTableWidget *g = w->NamenListe;
        QCOMPARE(markiert(), qMakePair(1, 1));
        QTest::mouseClick(g->viewport(), Qt::RightButton, {}, g->visualItemRect(g->item(0, 1)).center());
        QVERIFY(!w->PopupMenu1->isVisible());
        QCOMPARE(markiert(), qMakePair(1, 1));
        QTest::mouseClick(g->viewport(), Qt::RightButton, {}, g->visualItemRect(g->item(5, 1)).center());
        QTRY_VERIFY(w->PopupMenu1->isVisible());
        QCOMPARE(markiert(), qMakePair(4, 4));
        // The right click chooses no program.
        QCOMPARE(w->Nummer(), 1);
        w->PopupMenu1->close();
        QTRY_VERIFY(!w->PopupMenu1->isVisible());
    }
};

QTEST_MAIN(TstEditorListe)
#include "tst_EditorListe.moc"

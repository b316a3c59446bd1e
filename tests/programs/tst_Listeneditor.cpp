// The list editor driven as a user drives it, offscreen: choosing, editing and storing programs,
// the grid's keys, the checks and their questions, closing and minimising.
#include "support/Listeneditor.h"

#include "app/Registry.h"
#include "app/Sammlung.h"
#include "app/Zeitgeber.h"
#include "programs/NamenMemo.h"
#include "programs/uXQXGesamtListe.h"
#include "translate/translate.h"

#include <QtTest>
#include <QtWidgets>
#include <memory>

namespace {
const QString Achtung = QStringLiteral("ACHTUNG");

TBackprogrammListe listeMit(std::initializer_list<std::pair<int, TBackprogramm>> programme)
{
    TBackprogrammListe l = FreieListe();
    for (const auto &[n, p] : programme)
        l[size_t(n)] = p;
    return l;
}

QStringList boxTexte(TTestUmgebung &env)
{
    QStringList texte;
    for (const TBoxRequest &b : env.dialoge().boxes())
        texte << b.text;
    return texte;
}

bool rot(const QLabel *l)
{
    return l->palette().color(QPalette::Window) == QColor(255, 0, 0);
}
} // namespace

class TstListeneditor : public QObject
{
    Q_OBJECT
    std::unique_ptr<TListeneditorUmgebung> env;
    TwXQXGesamtListe *w = nullptr;

    QString zelle(int col, int row) const { return w->SG1->cell(col, row); }
    QPoint aktuell() const { return {w->SG1->currentColumn(), w->SG1->currentRow()}; }
    void taste(int key, Qt::KeyboardModifiers mods = Qt::NoModifier)
    {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key(key), mods);
    }
    // Types a number into NrWahl as a user does.
    void nummerTippen(int n)
    {
        w->NrWahl->setFocus();
        w->NrWahl->selectAll();
        QTest::keyClicks(w->NrWahl, QString::number(n));
    }

private slots:
    void initTestCase() { EigeneServerAdresse(); }
    void init()
    {
        env.reset(); // a failed cleanup left it; its end would undo the new one's box hook
        env = std::make_unique<TListeneditorUmgebung>();
        w = env->oeffnenEditor();
        QVERIFY(w);
        QVERIFY(w->isVisible());
        QVERIFY(w->isActiveWindow());
    }
    void cleanup()
    {
        QCOMPARE(env->dialoge().unexpected(), 0);
        w = nullptr;
        env.reset();
    }

    void aufbau()
    {
        QCOMPARE(w->parent(), env->fenster());
        QVERIFY(w->windowFlags() & Qt::WindowStaysOnTopHint);
        QCOMPARE(w->LangTexte(), ListenEditorTexte());
        QVERIFY(!w->Lang->isVisible());
        QCOMPARE(w->ListeSendenan1->text(), QStringLiteral("Liste senden"));
        QCOMPARE(w->BPrgSendenan1->text(), QStringLiteral("Backprogramm senden"));
        QVERIFY(!w->Backprogrammsendenanalle1->isVisible());
        QVERIFY(!w->Backprogrammsendenanalle1->isEnabled());
        QVERIFY(w->Druckereinrichtung1->isVisible());
        QVERIFY(!w->Neu2->isVisible());
        QVERIFY(!w->SendenSpeichern1->isVisible());
        QVERIFY(!w->OfenWahlBox->isVisible());
        QVERIFY(!w->Ofenname->isVisible());
        QVERIFY(!w->DebugPanel->isVisible());
        QVERIFY(!w->FortschrittsPanel->isVisible());
        QVERIFY(w->CheckMitKern->isChecked());
        QVERIFY(!w->EnableAusgang->isChecked());
        QCOMPARE(w->TimeOut->interval(), 30000);
        QVERIFY(!w->TimeOut->enabled());
        // Nothing releases the start-up tick: it ends at its first.
        QCOMPARE(w->StartTimer->interval(), 100);
        QTRY_VERIFY(!w->StartTimer->enabled());
        QVERIFY(w->NrWahl->minimum() == 1);
        QVERIFY(w->NrWahl->maximum() == 199);
        QCOMPARE(w->NamenListe->RowCount(), 201);
        QVERIFY(w->NamenListe->cell(0, 0) == QStringLiteral("Nr."));
        QVERIFY(w->NamenListe->cell(0, 200) == QStringLiteral("199"));
        QVERIFY(w->NamenListe->isRowHidden(1));
        for (int i = 1; i <= 10; ++i) {
            const bool an = i % 2 == 0;
            QCOMPARE(w->SchwadenKnopf[size_t(i)]->text(), an ? QStringLiteral("s auf") : QStringLiteral("min zu"));
            QCOMPARE(w->UmwKnopf[size_t(i)]->text(), an ? QStringLiteral("an") : QStringLiteral("aus"));
            QCOMPARE(w->AusgKnopf[size_t(i)]->text(), an ? QStringLiteral("1") : QStringLiteral("0"));
            QCOMPARE(w->SG1->cell(0, i), QString::number(i));
        }
        // The output column is off: its header is empty and its rest label hidden.
        QVERIFY(zelle(14, 0).isEmpty());
        QVERIFY(zelle(11, 0) == QStringLiteral("min"));
        QVERIFY(!w->AusgRest->isVisible());
        QCOMPARE(w->GesBackzeit->text(), QStringLiteral("Ges.Backzeit: 00:00"));
        for (const char *name : {"MainMenu1", "PopupMenu1", "PopupMenu2", "PintListBtn", "UpDown1", "Panel1", "BPrgPanel",
                                 "Gauge1", "Label14", "Label15", "Label_ToPC", "Label_FromPC", "Ausblenden", "Cancel",
                                 "Memo1", "Button1", "SpeichernPrgListe", "LesenPrg", "OpenDialog", "SaveDialog",
                                 "SendallTimeout", "cbSch10", "cbA1", "ePrgNameKy", "Einheit_SollKT"})
            QVERIFY2(w->findChild<QObject *>(QLatin1String(name)), name);
    }

    // Edit program 3, choose 7: the edit is in slot 3, slot 7 shows as it was.
    void bearbeitenUndWechseln()
    {
        const TBackprogramm sieben = BeispielProgramm("Roggen", 240);
        ListeLaden(w, listeMit({{3, BeispielProgramm("Brot")}, {7, sieben}}), 3);
        ZelleTippen(w, 1, 1, QStringLiteral("230"));
        taste(Qt::Key_Tab);
        QCOMPARE(aktuell(), QPoint(3, 1));
        nummerTippen(7);
        QCOMPARE(w->BPrgListe[3].Phasen[0].Temperatur, 230);
        QCOMPARE(w->BPrgListe[3].Nummer, 3);
        QCOMPARE(w->BPrgListe[7], sieben);
        QVERIFY(w->ListeGeaendert);
        QVERIFY(!w->PrgGeaendert);
        QVERIFY(w->GemerkteNr == 7);
        QCOMPARE(zelle(1, 1), QStringLiteral("240"));
        QCOMPARE(w->NamenListe->cell(1, 4), QStringLiteral("Brot                "));
        QCOMPARE(w->NamenListe->currentRow(), 8);
    }

    // A list shown while another slot was shown: its first program is checked for its own slot.
    void bereichsfrageTrifftEigenenPlatz()
    {
        const TBackprogramm sieben = BeispielProgramm("Roggen");
        ListeLaden(w, listeMit({{7, sieben}}), 7);
        TBackprogramm heiss = BeispielProgramm("Heiss");
        heiss.Phasen[0].Temperatur = 500;
        env->dialoge().expectBox(QMessageBox::Yes);
        ListeLaden(w, listeMit({{1, heiss}, {7, sieben}}), 1);
        QCOMPARE(env->dialoge().boxes().size(), 1);
        QVERIFY(env->dialoge().boxes()[0].text.contains(QStringLiteral("nicht gespeichert werden!")));
        QCOMPARE(w->BPrgListe[1].Phasen[0].Temperatur, 400);
        QCOMPARE(w->BPrgListe[7], sieben);
        QVERIFY(w->Nummer() == 1);
        QVERIFY(zelle(1, 1) == QStringLiteral("400"));
        QVERIFY(w->ListeGeaendert);
    }

    void tastenOhneEditor()
    {
        ListeLaden(w, listeMit({{3, BeispielProgramm("Brot")}}), 3);
        w->SG1->setFocus();
        w->SG1->setCurrentCell(3, 1);
        const QList<QPoint> vor{{3, 3}, {5, 3}, {8, 3}, {9, 3}, {11, 3}, {14, 3}, {1, 4}};
        for (const QPoint &p : vor) {
            taste(Qt::Key_Tab);
            QCOMPARE(aktuell(), p);
        }
        for (const QPoint &p : QList<QPoint>{{14, 3}, {11, 3}}) {
            taste(Qt::Key_Backtab, Qt::ShiftModifier);
            QCOMPARE(aktuell(), p);
        }
        taste(Qt::Key_Right);
        QCOMPARE(aktuell(), QPoint(14, 3));
        taste(Qt::Key_Left);
        QCOMPARE(aktuell(), QPoint(11, 3));
        w->SG1->setCurrentCell(10, 14);
        taste(Qt::Key_Tab);
        QCOMPARE(aktuell(), QPoint(15, 10));
        taste(Qt::Key_Up);
        QCOMPARE(aktuell(), QPoint(15, 9));
        w->SG1->setCurrentCell(1, 1);
        taste(Qt::Key_Up);
        QCOMPARE(aktuell(), QPoint(1, 1));
        taste(Qt::Key_Backtab, Qt::ShiftModifier);
        QCOMPARE(QApplication::focusWidget(), w->eMenge);
    }

    void tastenImEditor()
    {
        ListeLaden(w, listeMit({{3, BeispielProgramm("Brot")}}), 3);
        env->dialoge().expectBox(QMessageBox::Ok);
        env->dialoge().expectBox(QMessageBox::Ok);
        ZelleTippen(w, 1, 2, QStringLiteral("500"));
        QLineEdit *editor = qobject_cast<QLineEdit *>(QApplication::focusWidget());
        QVERIFY(editor);
        taste(Qt::Key_Left);
        QCOMPARE(editor->cursorPosition(), 2);
        QCOMPARE(aktuell(), QPoint(1, 2));
        // Enter only checks: the cell stays, one message.
        taste(Qt::Key_Return);
        QCOMPARE(aktuell(), QPoint(1, 2));
        QCOMPARE(zelle(1, 2), QStringLiteral("400"));
        QCOMPARE(boxTexte(*env), QStringList{QStringLiteral("Die maximale Solltemperatur beträgt 400°C!")});
        QCOMPARE(env->dialoge().boxes()[0].caption, Achtung);
        // Tab takes the typed text over, checks it and lands by the table.
        ZelleTippen(w, 3, 2, QStringLiteral("5"));
        taste(Qt::Key_Tab);
        QVERIFY(zelle(3, 2) == QStringLiteral("05:00"));
        QVERIFY(aktuell() == QPoint(5, 2));
        ZelleTippen(w, 8, 2, QStringLiteral("101"));
        taste(Qt::Key_Down);
        QVERIFY(zelle(8, 2) == QStringLiteral("100"));
        QVERIFY(aktuell() == QPoint(8, 3));
        ZelleTippen(w, 1, 1, QStringLiteral("7"));
        taste(Qt::Key_Backtab, Qt::ShiftModifier);
        QVERIFY(zelle(1, 1) == QStringLiteral("7"));
        QVERIFY(QApplication::focusWidget() == w->eMenge);
        QCOMPARE(env->dialoge().boxes().size(), 2);
    }

    // Qt moves first: a click into another cell checks the one left, once.
    void klickPrueftVerlassenenZelle()
    {
        ListeLaden(w, listeMit({{3, BeispielProgramm("Brot")}}), 3);
        env->dialoge().expectBox(QMessageBox::Ok);
        ZelleTippen(w, 1, 2, QStringLiteral("450"));
        const QRect ziel = w->SG1->visualItemRect(w->SG1->item(4, 3));
        QTest::mouseClick(w->SG1->viewport(), Qt::LeftButton, {}, ziel.center());
        QCOMPARE(aktuell(), QPoint(3, 4));
        QCOMPARE(zelle(1, 2), QStringLiteral("400"));
        QCOMPARE(env->dialoge().boxes().size(), 1);
    }

    void zeileKopierenEinfuegen()
    {
        ListeLaden(w, listeMit({{3, BeispielProgramm("Brot")}}), 3);
        w->SG1->setFocus();
        w->SG1->setCurrentCell(2, 3);
        w->ZeileKopieren->trigger();
        QVERIFY(QGuiApplication::clipboard()->text().startsWith(QStringLiteral("/°C=210;/Min:sek=10:00;/Zeit=20;/%=50;")));
        w->SG1->setCurrentCell(6, 1);
        w->ZeileEinfuegen->trigger();
        for (int c : EditierSpalten)
            QCOMPARE(zelle(c, 6), zelle(c, 2));
        QCOMPARE(w->GesBackzeit->text(), QStringLiteral("Ges.Backzeit: 30:00"));
    }

    void freiesProgrammWirdBenannt()
    {
        ListeLaden(w, FreieListe(), 7);
        QCOMPARE(w->ePrgName->toPlainText(), QStringLiteral("frei free \nlibre"));
        ZelleTippen(w, 1, 1, QStringLiteral("200"));
        w->eMenge->setFocus();
        QCOMPARE(w->ePrgName->toPlainText(), QStringLiteral("P007"));
        QVERIFY(w->PrgGeaendert);
        nummerTippen(8);
        QCOMPARE(w->BPrgListe[7].Name.text(), QByteArray("P007"));
        QCOMPARE(w->BPrgListe[7].Phasen[0].Temperatur, 200);
    }

    void schliessenFragt()
    {
        ListeLaden(w, listeMit({{3, BeispielProgramm("Brot")}}), 3);
        w->eMenge->setFocus();
        w->eMenge->selectAll();
        QTest::keyClicks(w->eMenge, QStringLiteral("77"));
        QVERIFY(w->PrgGeaendert);
        env->dialoge().expectBox(QMessageBox::Cancel);
        QVERIFY(!w->close());
        QCOMPARE(env->dialoge().boxes().size(), 1);
        QCOMPARE(env->dialoge().boxes()[0].text, QStringLiteral("Backprogrammliste wurde verändert!\r\nWollen Sie speichern?"));
        QCOMPARE(env->dialoge().boxes()[0].caption, Achtung);
        QCOMPARE(env->dialoge().boxes()[0].buttons, QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel);
        QVERIFY(w->isVisible());
        QVERIFY(w->PrgGeaendert);
        QVERIFY(w->eMenge->text() == QStringLiteral("77"));
        QCOMPARE(w->NamenListe->cell(1, 4), QStringLiteral("Brot                "));
        env->dialoge().expectBox(QMessageBox::No);
        QVERIFY(w->close());
        QVERIFY(!w->isVisible());
        QVERIFY(!w->PrgGeaendert);
        QVERIFY(!w->ListeGeaendert);
        QVERIFY(w->NamenListe->cell(1, 4).isEmpty());
        // The list itself stays.
        QCOMPARE(w->BPrgListe[3].Name.text(), QByteArray("Brot"));
    }

    // Each transfer state locks or frees the controls, the watchdog and the hourglass together,
    // whichever state came before, and only "none" lets a transfer start or the window close.
    void uebertragungsZustaende()
    {
        using Z = TwXQXGesamtListe::TUebertragung;
        const QList<Z> laufend{Z::Beginnt,       Z::ProgrammLesen, Z::ListeSenden, Z::ListeEmpfangen,
                               Z::ListeGesendet, Z::ListeGelesen,  Z::Uebernahme,  Z::UebernahmeNachEnde};
        const QList<Z> sperrend{Z::ProgrammLesen, Z::ListeSenden, Z::ListeEmpfangen};
        // Names the first control that does not follow the state, empty when all do.
        auto abweichung = [this](bool zu) -> QByteArray {
            const std::pair<const char *, bool> teile[] = {
                {"BedienungGesperrt", w->BedienungGesperrt() == zu},
                {"File1", w->File1->menuAction()->isEnabled() == !zu},
                {"Bearbeiten1", w->Bearbeiten1->menuAction()->isEnabled() == !zu},
                {"NamenListe", w->NamenListe->isEnabled() == !zu},
                {"SG1", w->SG1->isEnabled() == !zu},
                {"UpDown1", w->UpDown1->isEnabled() == !zu},
                {"PintListBtn", w->PintListBtn->isEnabled() == !zu},
                {"Cancel", w->Cancel->isEnabled()},
                {"Ausblenden", w->Ausblenden->isEnabled()},
                {"TimeOut", w->TimeOut->enabled() == zu},
                {"Sanduhr", (QApplication::overrideCursor() != nullptr) == zu},
            };
            for (const auto &[name, gut] : teile) {
                if (!gut)
                    return name;
            }
            return {};
        };
        QCOMPARE(abweichung(false), QByteArray());
        for (Z vorher : laufend) {
            for (Z z : laufend) {
                w->UebertragungSetzen(vorher);
                w->UebertragungSetzen(z);
                const QByteArray fall = QByteArray::number(int(vorher)) + " -> " + QByteArray::number(int(z));
                QVERIFY2(w->Uebertragung() == z, fall.constData());
                QCOMPARE(abweichung(sperrend.contains(z)), QByteArray());
                QVERIFY2(w->Beschaeftigt(), fall.constData());
                QVERIFY2(!w->ListeSenden(w->BPrgListe), fall.constData());
                QVERIFY2(!w->close(), fall.constData());
                QVERIFY2(w->isVisible(), fall.constData());
            }
        }
        w->UebertragungSetzen(Z::Keine);
        QCOMPARE(abweichung(false), QByteArray());
        QVERIFY(!w->Beschaeftigt());

        // Showing a program ends a program request, not a whole-list transfer; the progress
        // through ends the list transfer once the link has no transfer.
        w->UebertragungSetzen(Z::ProgrammLesen);
        w->ProgrammLeeren();
        QVERIFY(w->Uebertragung() == Z::Keine);
        QCOMPARE(abweichung(false), QByteArray());
        w->UebertragungSetzen(Z::ListeSenden);
        w->ProgrammLeeren();
        QVERIFY(w->Uebertragung() == Z::ListeSenden);
        QCOMPARE(abweichung(true), QByteArray());
        w->FortschrittAnzeigen(BPrgListeAnzahl);
        QVERIFY(w->Uebertragung() == Z::Keine);
        QCOMPARE(abweichung(false), QByteArray());
        QVERIFY(!w->Beschaeftigt());
    }

    void minimierenBehaeltAlles()
    {
        ListeLaden(w, listeMit({{3, BeispielProgramm("Brot")}}), 3);
        w->eMenge->setFocus();
        w->eMenge->selectAll();
        QTest::keyClicks(w->eMenge, QStringLiteral("77"));
        w->ListeGeaendert = true;
        w->showMinimized();
        QTRY_VERIFY(w->isMinimized());
        w->showNormal();
        QTRY_VERIFY(!w->isMinimized());
        QVERIFY(w->PrgGeaendert);
        QVERIFY(w->ListeGeaendert);
        QCOMPARE(w->eMenge->text(), QStringLiteral("77"));
        QCOMPARE(zelle(1, 1), QStringLiteral("220"));
        QCOMPARE(w->NamenListe->cell(1, 4), QStringLiteral("Brot                "));
    }

    // Only a free slot shows empty: a name with a lower-case f keeps its program.
    void kleinesFIstKeinFreierPlatz()
    {
        const TBackprogramm fein = BeispielProgramm("feines Brot", 250);
        ListeLaden(w, listeMit({{5, fein}}), 5);
        QCOMPARE(w->ePrgName->toPlainText(), QStringLiteral("feines Bro\nt"));
        QCOMPARE(zelle(1, 1), QStringLiteral("250"));
        w->SG1->setFocus();
        QVERIFY(w->PrgGeaendert);
        nummerTippen(6);
        const TBackprogramm &gespeichert = w->BPrgListe[5];
        QCOMPARE(gespeichert.Name.text(), QByteArray("feines Brot"));
        QVERIFY(gespeichert.Menge == fein.Menge);
        QVERIFY(gespeichert.SollKT == fein.SollKT);
        for (int i = 0; i < 10; ++i) {
            const TBackPhase &a = gespeichert.Phasen[size_t(i)], &b = fein.Phasen[size_t(i)];
            QVERIFY(a.Temperatur == b.Temperatur);
            QVERIFY(a.Backzeit == b.Backzeit);
            QVERIFY(a.Schwaden == b.Schwaden);
            QVERIFY(a.AbzugZeit == b.AbzugZeit);
            QVERIFY(a.AbzugProzent == b.AbzugProzent);
            QVERIFY(a.UmwaelzerZeit == b.UmwaelzerZeit);
        }
    }

    // Choosing a free slot or erasing a program leaves the list marked as changed.
    void listeBleibtGeaendert()
    {
        ListeLaden(w, listeMit({{3, BeispielProgramm("Brot")}}), 3);
        w->eMenge->setFocus();
        w->eMenge->selectAll();
        QTest::keyClicks(w->eMenge, QStringLiteral("5"));
        nummerTippen(8); // a free slot
        QVERIFY(w->ListeGeaendert);
        QCOMPARE(w->BPrgListe[3].Menge, 5);

        ListeLaden(w, listeMit({{3, BeispielProgramm("Brot")}}), 3);
        QVERIFY(!w->ListeGeaendert);
        w->PrgEraseBtn->click();
        QVERIFY(w->ListeGeaendert);
        QVERIFY(!w->PrgGeaendert);
        QVERIFY(IsFreeSlotName(w->BPrgListe[3].Name.text()));
        QCOMPARE(w->ePrgName->toPlainText(), QStringLiteral("frei free \nlibre"));
        env->dialoge().expectBox(QMessageBox::Cancel);
        QVERIFY(!w->close());
    }

    // Free names padded to 20 characters are found; a full list says so.
    void freierPlatzGepolstert()
    {
        TBackprogrammListe l = FreieListe();
        l[1] = BeispielProgramm("Eins");
        ListeLaden(w, l, 1);
        QCOMPARE(w->BPrgNamen[2], QByteArray("frei free libre     "));
        QCOMPARE(w->FreierPlatz(), 2);
        QVERIFY(w->ProgrammAblegen(0));
        QCOMPARE(w->BPrgListe[2].Name.text(), QByteArray("Eins"));
        for (int i = 1; i < 200; ++i)
            l[size_t(i)] = BeispielProgramm("Voll");
        ListeLaden(w, l, 1);
        env->dialoge().expectBox(QMessageBox::Ok);
        QVERIFY(!w->ProgrammAblegen(0));
        QCOMPARE(boxTexte(*env), QStringList{QStringLiteral("Kein Platz mehr frei!\r\nBitte erst Programme löschen\r\noder neue Liste erstellen")});
    }

    // A value typed into the cell still open is checked before it is stored.
    void offeneZelleWirdGeprueft()
    {
        ListeLaden(w, listeMit({{3, BeispielProgramm("Brot")}}), 3);
        env->dialoge().expectBox(QMessageBox::Ok);
        ZelleTippen(w, 8, 1, QStringLiteral("300"));
        QVERIFY(w->ProgrammInListeSpeichern(3));
        QCOMPARE(w->BPrgListe[3].Phasen[0].AbzugProzent, quint8(100));
        QCOMPARE(boxTexte(*env), QStringList{QStringLiteral("Der maximale %-Wert pro Phase beträgt 100 %!")});
        // Left by a click elsewhere, unchecked, then stored by choosing another program.
        ZelleTippen(w, 3, 2, QStringLiteral("-5"));
        w->eMenge->setFocus();
        nummerTippen(4);
        QCOMPARE(w->BPrgListe[3].Phasen[1].Backzeit, 0u);
    }

    // Clamping a list without asking leaves the shown program's own changes alone.
    void automatischBehaeltPrgGeaendert()
    {
        TBackprogramm heiss = BeispielProgramm("Heiss");
        heiss.Phasen[1].Temperatur = 450;
        TBackprogrammListe l = listeMit({{3, BeispielProgramm("Brot")}});
        ListeLaden(w, l, 3);
        w->BPrgListe[9] = heiss;
        w->eMenge->setFocus();
        QTest::keyClicks(w->eMenge, QStringLiteral("1"));
        QVERIFY(w->PrgGeaendert);
        env->dialoge().expectBox(QMessageBox::Yes);
        bool gespeichert = false;
        QVERIFY(w->ListePruefen(true, OpSenden, w->BPrgListe, gespeichert));
        QVERIFY(gespeichert);
        QVERIFY(w->PrgGeaendert);
        QVERIFY(w->ListeGeaendert);
        QCOMPARE(w->BPrgListe[9].Phasen[1].Temperatur, 400);
        QVERIFY(env->dialoge().boxes()[0].text.contains(QStringLiteral("Backprogramm-Liste senden.)")));
    }

    void restzeitenNachListenpruefung()
    {
        TBackprogramm letzte = BeispielProgramm("Letzte", 200, 30);
        letzte.Phasen[0].UmwaelzerZeit = 0;
        ListeLaden(w, listeMit({{3, BeispielProgramm("Brot")}, {199, letzte}}), 3);
        const QString ges = w->GesBackzeit->text();
        QCOMPARE(ges, QStringLiteral("Ges.Backzeit: 20:00"));
        bool gespeichert = false;
        QVERIFY(w->ListePruefen(false, OpKeine, w->BPrgListe, gespeichert));
        QCOMPARE(w->GesBackzeit->text(), ges);
        QVERIFY(!rot(w->UmwRest));
        QVERIFY(w->UmwRest->text() == QStringLiteral("00:00"));
    }

    void restzeitenUndFarben()
    {
        ListeLaden(w, listeMit({{3, BeispielProgramm("Brot")}}), 3);
        ZelleTippen(w, 11, 1, QStringLiteral("5"));
        taste(Qt::Key_Return);
        QCOMPARE(w->UmwRest->text(), QStringLiteral("05:00"));
        QVERIFY(rot(w->UmwRest));
        QVERIFY(!rot(w->AbzugRest));
        QVERIFY(!rot(w->SchwadenRest));
        ZelleTippen(w, 9, 1, QStringLiteral("30"));
        taste(Qt::Key_Return);
        QCOMPARE(w->AbzugRest->text(), QStringLiteral("--20:00"));
        QVERIFY(rot(w->AbzugRest));
    }

    // Numbers from the number field or a record are kept to the program slots.
    void nummernGeprueft()
    {
        ListeLaden(w, listeMit({{3, BeispielProgramm("Brot")}}), 3);
        const TBackprogrammListe vorher = w->BPrgListe;
        QVERIFY(!w->ProgrammInListeSpeichern(0));
        QVERIFY(!w->ProgrammInListeSpeichern(200));
        TBackprogramm fremd = BeispielProgramm("Fremd");
        fremd.Phasen[0].Temperatur = 999;
        fremd.Nummer = 250;
        bool gespeichert = true;
        QString betroffen;
        QCOMPARE(w->ProgrammPruefen(false, OpKeine, true, fremd, gespeichert, betroffen), 0);
        QVERIFY(!gespeichert);
        w->ProgrammWaehlen(0);
        w->ProgrammWaehlen(200);
        QVERIFY(w->BPrgListe == vorher);
        QCOMPARE(w->Nummer(), 3);
    }

    // Switched off, a steam button turns its amount into a time at once, and the sums follow.
    void schwadenKnopfAus()
    {
        ListeLaden(w, listeMit({{3, BeispielProgramm("Brot")}}), 3);
        QCOMPARE(zelle(5, 2), QStringLiteral("20"));
        QCOMPARE(w->SchwadenRest->text(), QStringLiteral("19:10"));
        w->SchwadenKnopf[2]->click();
        QVERIFY(!w->SchwadenKnopf[2]->Zustand());
        QCOMPARE(w->SchwadenKnopf[2]->text(), QStringLiteral("min zu"));
        QCOMPARE(zelle(5, 2), QStringLiteral("20:00"));
        QCOMPARE(w->SchwadenRest->text(), QStringLiteral("--00:30"));
        QVERIFY(rot(w->SchwadenRest));
        // Showing another program does not touch the buttons.
        nummerTippen(4);
        QVERIFY(!w->SchwadenKnopf[2]->Zustand());
    }

    void ausgangsSpalte()
    {
        ListeLaden(w, listeMit({{3, BeispielProgramm("Brot")}}), 3);
        ZelleTippen(w, 14, 1, QStringLiteral("10:00"));
        taste(Qt::Key_Tab);
        QVERIFY(zelle(14, 1).isEmpty());
        w->ProgrammInListeSpeichern(3);
        QCOMPARE(w->BPrgListe[3].Phasen[0].AusgangZeit, 0u);
        w->EnableAusgang->setChecked(true);
        QVERIFY(w->AusgSpalteEin);
        QVERIFY(w->AusgRest->isVisible());
        QVERIFY(zelle(14, 0) == QStringLiteral("min:sek"));
        ZelleTippen(w, 14, 1, QStringLiteral("10"));
        taste(Qt::Key_Tab);
        QCOMPARE(zelle(14, 1), QStringLiteral("10:00"));
        QCOMPARE(w->AusgRest->text(), QStringLiteral("10:00"));
        w->EnableAusgang->setChecked(false);
    }

    void namenListe()
    {
        ListeLaden(w, listeMit({{1, BeispielProgramm("Eins")}, {4, BeispielProgramm("Vier")}}), 1);
        QCOMPARE(w->NamenListe->currentRow(), 2);
        w->NamenListe->setFocus();
        QTest::keyClick(w->NamenListe, Qt::Key_Up);
        QTest::keyClick(w->NamenListe, Qt::Key_Home, Qt::ControlModifier);
        QCOMPARE(w->NamenListe->currentRow(), 2);
        w->NamenListe->selectAll();
        int von = -1, bis = -1;
        QVERIFY(w->NamenAuswahl(von, bis));
        QVERIFY(von == 1);
        QVERIFY(bis == 199);
        QVERIFY(!w->NamenListe->selectionModel()->isRowSelected(1, {}));
        QTest::keyClick(w->NamenListe, Qt::Key_Up, Qt::ShiftModifier);
        QVERIFY(w->NamenAuswahl(von, bis));
        QVERIFY(von >= 1);
        // Click and double click both choose.
        const QRect vier = w->NamenListe->visualItemRect(w->NamenListe->item(5, 1));
        QTest::mouseClick(w->NamenListe->viewport(), Qt::LeftButton, {}, vier.center());
        QCOMPARE(w->Nummer(), 4);
        QCOMPARE(w->ePrgName->toPlainText(), QStringLiteral("Vier"));
        const QRect eins = w->NamenListe->visualItemRect(w->NamenListe->item(2, 1));
        // A double click as the system delivers it.
        QTest::mouseClick(w->NamenListe->viewport(), Qt::LeftButton, {}, eins.center());
        QTest::mouseDClick(w->NamenListe->viewport(), Qt::LeftButton, {}, eins.center());
        QTest::mouseRelease(w->NamenListe->viewport(), Qt::LeftButton, {}, eins.center());
        QCOMPARE(w->Nummer(), 1);
        QCOMPARE(w->ePrgName->toPlainText(), QStringLiteral("Eins"));
        // The header row chooses nothing.
        QTest::mouseClick(w->NamenListe->viewport(), Qt::LeftButton, {}, w->NamenListe->visualItemRect(w->NamenListe->item(0, 1)).center());
        QCOMPARE(w->Nummer(), 1);
    }

    // After a store the grid may keep the focus; what is typed there next still counts.
    void zellenEditNachSpeichern()
    {
        ListeLaden(w, listeMit({{3, BeispielProgramm("Brot")}}), 3);
        ZelleTippen(w, 1, 1, QStringLiteral("230"));
        taste(Qt::Key_Tab);
        QVERIFY(w->ProgrammInListeSpeichern(3));
        QVERIFY(!w->PrgGeaendert);
        QCOMPARE(QApplication::focusWidget(), w->SG1);
        ZelleTippen(w, 1, 2, QStringLiteral("190"));
        taste(Qt::Key_Tab);
        QVERIFY(w->PrgGeaendert);
        nummerTippen(4);
        QCOMPARE(w->BPrgListe[3].Phasen[1].Temperatur, 190);
    }

    // The run-time texts are translated before the buttons take their captions from them.
    void uebersetzt()
    {
        env.reset();
        env = std::make_unique<TListeneditorUmgebung>();
        OpenRegistry(QStringLiteral("Torvik"), QStringLiteral("Kelvor"))->setValue(QStringLiteral("Sprache/Sprache"), QStringLiteral("English"));
        QVERIFY(QDir().mkpath(env->exeDir() + QStringLiteral("Lang")));
        QVERIFY(dateiSchreiben(env->exeDir() + QStringLiteral("Lang/Master.English"),
                               "[TwXQXGesamtListe]\r\n" + PadKey(QStringLiteral("Lang.Items[0]")).toLatin1() + "=s open\r\n"
                                   + PadKey(QStringLiteral("Lang.Items[3]")).toLatin1() + "=off\r\n"
                                   + PadKey(QStringLiteral("PrgEraseBtn.Caption")).toLatin1() + "=Delete program\r\n"));
        w = env->oeffnenEditor();
        QCOMPARE(w->SchwadenKnopf[2]->text(), QStringLiteral("s open"));
        QCOMPARE(w->UmwKnopf[1]->text(), QStringLiteral("off"));
        QCOMPARE(w->PrgEraseBtn->text(), QStringLiteral("Delete program"));
        QCOMPARE(w->TxtAchtung, Achtung);
    }

    void namenEingabe()
    {
        ListeLaden(w, listeMit({{3, BeispielProgramm("Brot")}}), 3);
        w->ePrgName->setFocus();
        QCOMPARE(w->ePrgName->textCursor().selectedText(), QStringLiteral("Brot"));
        QTest::keyClicks(w->ePrgName, QStringLiteral("Weizen"));
        QTest::keyClick(w->ePrgName, Qt::Key_Return);
        QTest::keyClicks(w->ePrgName, QStringLiteral("hell "));
        QKeyEvent kyrillisch(QEvent::KeyPress, Qt::Key_unknown, Qt::NoModifier, QStringLiteral("Ж"));
        QApplication::sendEvent(w->ePrgName, &kyrillisch);
        QTest::keyClicks(w->ePrgName, QStringLiteral("12345678"));
        // Two lines of at most 10 characters; "Ж" is no Windows-1252 character.
        QCOMPARE(w->ePrgName->toPlainText(), QStringLiteral("Weizen\nhell 12345"));
        QVERIFY(w->PrgGeaendert);
        nummerTippen(4);
        QCOMPARE(w->BPrgListe[3].Name.text(), QByteArray("Weizen\r\nhell 12345"));
        QCOMPARE(w->NamenListe->cell(1, 4), QStringLiteral("Weizen    hell 12345"));
    }

    // Closed and opened again, the editor shows the names and the program of its number; a
    // store then keeps that program.
    void wiederOeffnen()
    {
        const TBackprogramm brot = BeispielProgramm("Brot");
        ListeLaden(w, listeMit({{5, brot}}), 5);
        QVERIFY(w->close());
        QVERIFY(w->NamenListe->cell(1, 6).isEmpty());
        env->fenster()->BPrgBtn->click();
        QTRY_VERIFY(w->isVisible());
        w->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(w));
        QCOMPARE(w->Nummer(), 5);
        QCOMPARE(w->NamenListe->cell(1, 6), QStringLiteral("Brot                "));
        QCOMPARE(w->ePrgName->Name(), QByteArray("Brot"));
        QCOMPARE(zelle(1, 1), QStringLiteral("220"));
        QCOMPARE(w->NamenListe->currentRow(), 6);
        QVERIFY(!w->PrgGeaendert);
        QVERIFY(!w->ListeGeaendert);
        QVERIFY(w->GemerkteNr == 5);
        w->SG1->setFocus();
        QVERIFY(w->PrgGeaendert);
        nummerTippen(6);
        TBackprogramm gespeichert = w->BPrgListe[5];
        QVERIFY(gespeichert.Name.text() == "Brot");
        QVERIFY(gespeichert.Phasen[0].Temperatur == 220);
        QVERIFY(gespeichert.Phasen[1].Backzeit == brot.Phasen[1].Backzeit);
        QVERIFY(gespeichert.Menge == brot.Menge);
    }

    // Switched on, a steam button turns the time into its seconds, within the amount's limit:
    // the cell, the rest label and the stored record say the same.
    void schwadenKnopfAn()
    {
        ListeLaden(w, listeMit({{3, BeispielProgramm("Brot")}}), 3);
        QCOMPARE(zelle(5, 1), QStringLiteral("00:30"));
        QCOMPARE(w->SchwadenRest->text(), QStringLiteral("19:10"));
        w->SchwadenKnopf[1]->click();
        QVERIFY(w->SchwadenKnopf[1]->Zustand());
        QCOMPARE(zelle(5, 1), QStringLiteral("30"));
        QCOMPARE(w->SchwadenRest->text(), QStringLiteral("19:10"));
        ZelleTippen(w, 5, 3, QStringLiteral("5"));
        taste(Qt::Key_Tab);
        QCOMPARE(zelle(5, 3), QStringLiteral("05:00"));
        env->dialoge().expectBox(QMessageBox::Ok);
        w->SchwadenKnopf[3]->click();
        QCOMPARE(zelle(5, 3), QStringLiteral("30"));
        QCOMPARE(boxTexte(*env), QStringList{QStringLiteral("Die maximale Zeit beträgt 99 Sekunden!")});
        QCOMPARE(w->SchwadenRest->text(), QStringLiteral("18:40"));
        w->ProgrammInListeSpeichern(3);
        QCOMPARE(w->BPrgListe[3].Phasen[0].Schwaden, 30u);
        QCOMPARE(w->BPrgListe[3].Phasen[2].Schwaden, 30u);
        // Off again, the digits read as a time.
        w->SchwadenKnopf[1]->click();
        QCOMPARE(zelle(5, 1), QStringLiteral("30:00"));
    }

    // "Ja" to the range question of a program whose sums fail as well: the sum box comes once.
    void summenfehlerNachBereichsfrage()
    {
        TBackprogramm heiss = BeispielProgramm("Heiss");
        heiss.Phasen[0].Temperatur = 500;
        heiss.Phasen[0].AbzugZeit = 0;
        env->dialoge().expectBox(QMessageBox::Yes);
        env->dialoge().expectBox(QMessageBox::Ok);
        ListeLaden(w, listeMit({{4, heiss}}), 4);
        const QStringList texte = boxTexte(*env);
        QCOMPARE(texte.size(), 2);
        QVERIFY(texte[0].contains(QStringLiteral("nicht gespeichert werden!")));
        QVERIFY(texte[1].startsWith(QStringLiteral("Abzug-Zeiten:\r\nkleiner als die Gesamtbackzeit.")));
        QCOMPARE(w->BPrgListe[4].Phasen[0].Temperatur, 400);
    }

    // Leaving the quantity or the core temperature for anything but the name goes to the first
    // cell of the grid, by Tab, Shift+Tab or a click alike.
    void kopffelderVerlassen()
    {
        ListeLaden(w, listeMit({{3, BeispielProgramm("Brot")}}), 3);
        const auto zurueck = [this] {
            w->SG1->setCurrentCell(5, 8);
            w->ePrgName->setFocus();
        };
        zurueck();
        w->eXQKern->setFocus(Qt::MouseFocusReason);
        w->NrWahl->setFocus(Qt::MouseFocusReason);
        QVERIFY(QApplication::focusWidget() == w->SG1);
        QVERIFY(aktuell() == QPoint(1, 1));
        zurueck();
        w->eXQKern->setFocus(Qt::MouseFocusReason);
        taste(Qt::Key_Backtab, Qt::ShiftModifier);
        QVERIFY(QApplication::focusWidget() == w->SG1);
        QVERIFY(aktuell() == QPoint(1, 1));
        zurueck();
        w->eXQKern->setFocus(Qt::MouseFocusReason);
        w->ePrgName->setFocus(Qt::MouseFocusReason);
        QCOMPARE(QApplication::focusWidget(), w->ePrgName);
        // The quantity leads there only while the core temperature is hidden.
        w->eMenge->setFocus(Qt::MouseFocusReason);
        w->NrWahl->setFocus(Qt::MouseFocusReason);
        QCOMPARE(QApplication::focusWidget(), w->NrWahl);
        w->eXQKern->hide();
        zurueck();
        w->eMenge->setFocus(Qt::MouseFocusReason);
        w->NrWahl->setFocus(Qt::MouseFocusReason);
        QVERIFY(QApplication::focusWidget() == w->SG1);
        QVERIFY(aktuell() == QPoint(1, 1));
        w->eXQKern->show();
    }

    // A name shows as its two stored lines, without a wrap of the box's own; typed, it keeps to
    // two lines of 10 characters.
    void namenZeilen()
    {
        ListeLaden(w, listeMit({{3, BeispielProgramm("Weizenbr\xF6tchen")}}), 3);
        QCOMPARE(w->ePrgName->toPlainText(), QStringLiteral("Weizenbröt\nchen"));
        QCOMPARE(w->ePrgName->lineWrapMode(), QPlainTextEdit::NoWrap);
        QCOMPARE(w->ePrgName->Name(), QByteArray("Weizenbr\xF6tchen"));
        w->ePrgName->setFocus();
        QTest::keyClick(w->ePrgName, Qt::Key_A, Qt::ControlModifier);
        QTest::keyClicks(w->ePrgName, QStringLiteral("Roggenmischbrot hell 12"));
        QCOMPARE(w->ePrgName->toPlainText(), QStringLiteral("Roggenmisc\nhbrot hell"));
        QCOMPARE(w->ePrgName->Name(), QByteArray("Roggenmischbrot hell"));
        QVERIFY(w->PrgGeaendert);
        QTest::keyClick(w->ePrgName, Qt::Key_Return);
        QCOMPARE(w->ePrgName->toPlainText(), QStringLiteral("Roggenmisc\nhbrot hell"));
        // A break of its own; no third line; the second line of at most 10.
        QTest::keyClick(w->ePrgName, Qt::Key_A, Qt::ControlModifier);
        QTest::keyClicks(w->ePrgName, QStringLiteral("Brot"));
        QTest::keyClick(w->ePrgName, Qt::Key_Return);
        QTest::keyClicks(w->ePrgName, QStringLiteral("hell"));
        QTest::keyClick(w->ePrgName, Qt::Key_Return);
        QTest::keyClicks(w->ePrgName, QStringLiteral("123456789"));
        QCOMPARE(w->ePrgName->toPlainText(), QStringLiteral("Brot\nhell123456"));
        // Typed on from a one-line name, the text moves on to the second line at character 11.
        QTest::keyClick(w->ePrgName, Qt::Key_A, Qt::ControlModifier);
        QTest::keyClicks(w->ePrgName, QStringLiteral("0123456789ab"));
        QCOMPARE(w->ePrgName->toPlainText(), QStringLiteral("0123456789\nab"));
        QCOMPARE(w->ePrgName->textCursor().position(), 13);
        QTest::keyClick(w->ePrgName, Qt::Key_Backspace);
        QTest::keyClick(w->ePrgName, Qt::Key_Backspace);
        QTest::keyClick(w->ePrgName, Qt::Key_Backspace);
        QCOMPARE(w->ePrgName->toPlainText(), QStringLiteral("012345678"));
        nummerTippen(4);
        QCOMPARE(w->BPrgListe[3].Name.text(), QByteArray("012345678"));
    }

    // Bytes without a character of their own stay editable, and every byte stays as stored until
    // the name is edited: no CR LF comes of a lone CR or LF.
    void namenMitSteuerzeichen()
    {
        ListeLaden(w, listeMit({{3, BeispielProgramm("Br\x81t\tA")}, {4, BeispielProgramm("Brot\rhell")},
                                {5, BeispielProgramm("Brot\nhell")}}),
                   3);
        const QString text = w->ePrgName->toPlainText();
        QCOMPARE(text.size(), 6);
        QVERIFY(IstNamenErsatz(text[2]));
        QVERIFY(IstNamenErsatz(text[4]));
        w->ePrgName->setFocus();
        QTest::keyClick(w->ePrgName, Qt::Key_End, Qt::ControlModifier);
        QTest::keyClicks(w->ePrgName, QStringLiteral("x"));
        QVERIFY(w->PrgGeaendert);
        QCOMPARE(w->ePrgName->Name(), QByteArray("Br\x81t\tAx"));
        nummerTippen(4);
        QCOMPARE(w->BPrgListe[3].Name.text(), QByteArray("Br\x81t\tAx"));
        QCOMPARE(w->ePrgName->toPlainText().size(), 9);
        w->SG1->setFocus();
        nummerTippen(5);
        QCOMPARE(w->BPrgListe[4].Name.text(), QByteArray("Brot\rhell"));
        w->ePrgName->setFocus();
        QTest::keyClick(w->ePrgName, Qt::Key_End, Qt::ControlModifier);
        QTest::keyClicks(w->ePrgName, QStringLiteral("!"));
        nummerTippen(6);
        QCOMPARE(w->BPrgListe[5].Name.text(), QByteArray("Brot\nhell!"));
        // A name stored longer than the box allows may be shortened.
        ListeLaden(w, listeMit({{3, BeispielProgramm("Weizen\r\nhell 1234567")}}), 3);
        w->ePrgName->setFocus();
        QTest::keyClick(w->ePrgName, Qt::Key_End, Qt::ControlModifier);
        QTest::keyClick(w->ePrgName, Qt::Key_Backspace);
        QCOMPARE(w->ePrgName->Name(), QByteArray("Weizen\r\nhell 123456"));
        QTest::keyClicks(w->ePrgName, QStringLiteral("9"));
        QCOMPARE(w->ePrgName->Name(), QByteArray("Weizen\r\nhell 123456"));
    }
};

QTEST_MAIN(TstListeneditor)
#include "tst_Listeneditor.moc"

// The list editor's "Datei" and "Bearbeiten" commands as a user works them, offscreen: program
// and list files with the save and close questions, copy, paste, sort and move of slots, and
// the prints (every print job becomes a PDF file).
#include "support/DruckHilfe.h"
#include "support/Listeneditor.h"

#include "app/Dateischreiben.h"
#include "app/Drucker.h"
#include "app/Sammlung.h"
#include "printing/RpFormSetup_NQ_dt.h"
#include "programs/NamenMemo.h"
#include "programs/uXQXGesamtListe.h"

#include <QtTest>
#include <QtWidgets>
#include <memory>

namespace {
const QByteArray Frei("frei free libre     ");

QList<QByteArray> pNamen(int von, int bis)
{
    QList<QByteArray> n;
    for (int i = von; i <= bis; ++i)
        n << "P" + QByteArray::number(i);
    return n;
}

// The programs `namen` in slots 1.., each with its slot as quantity.
TBackprogrammListe listeMit(const QList<QByteArray> &namen)
{
    TBackprogrammListe l = FreieListe();
    for (int i = 0; i < namen.size(); ++i) {
        l[size_t(i + 1)] = BeispielProgramm(namen[i]);
        l[size_t(i + 1)].Menge = i + 1;
    }
    return l;
}

TBackprogrammListe volleListe(int n) { return listeMit(pNamen(1, n)); }

TBackprogrammListe dateiListe(const QString &pfad)
{
    TBackprogrammListe l = FreieListe();
    BPrgListeLesen(pfad, l);
    return l;
}
} // namespace

class TstEditorBefehle : public QObject
{
    Q_OBJECT
    std::unique_ptr<TListeneditorUmgebung> env;
    TwXQXGesamtListe *w = nullptr;

    QString datei(const char *name) const { return env->path(QStringLiteral("d/") + QLatin1String(name)); }
    TTestDialoge &dlg() { return env->dialoge(); }
    QStringList boxen()
    {
        QStringList t;
        for (const TBoxRequest &b : dlg().boxes())
            t << b.caption + QLatin1Char('|') + b.text;
        return t;
    }
    void mengeTippen(const QString &text)
    {
        w->eMenge->setFocus();
        w->eMenge->selectAll();
        QTest::keyClicks(w->eMenge, text);
    }
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
    QString berichtPdf() const { return PdfDruckerDatei(QStringLiteral("XQBackprogramm")); }
    // The set-up window of a report run: print, to the (PDF) printer.
    void druckenBestaetigen()
    {
        dlg().expectDialog([](QDialog *d) {
            auto *s = qobject_cast<TRPSetupForm_NQ_dt *>(d);
            if (!s)
                return int(QDialog::Rejected);
            s->rbDrucker->setChecked(true);
            return int(QDialog::Accepted);
        });
    }

private slots:
    void initTestCase() { EigeneServerAdresse(); }
    void init()
    {
        env.reset();
        env = std::make_unique<TListeneditorUmgebung>();
        QVERIFY(QDir().mkpath(env->path(QStringLiteral("d"))));
        w = env->oeffnenEditor();
        QVERIFY(w);
        QVERIFY(w->isVisible());
    }
    void cleanup()
    {
        SetWriteFailureAfterBytes(-1);
        QCOMPARE(dlg().unexpected(), 0);
        QVERIFY(dlg().allAnswersUsed());
        w = nullptr;
        env.reset();
    }

    // ---- files ----

    void listeSpeichernUndOeffnen()
    {
        ListeLaden(w, volleListe(4), 2);
        w->ListeGeaendert = true;
        dlg().expectFile(datei("Woche.XQR"));
        w->ListeSpeichern1->trigger();
        // No name yet: nothing proposed (".XQR" alone would be a hidden file); ".XQR" appended.
        const TFileRequest r = dlg().fileRequests().value(0);
        QVERIFY(r.kind == TFileDialogKind::Save);
        QVERIFY(r.fileName.isEmpty());
        QVERIFY(r.defaultSuffix == QLatin1String("XQR"));
        QVERIFY(r.overwritePrompt);
        QVERIFY(r.filter.startsWith(QStringLiteral("XQ-Backprogramm-Records (*.XQR *.xqr)")));
        const QByteArray bytes = dateiLesen(datei("Woche.XQR"));
        QCOMPARE(bytes.size(), 100200);
        QVERIFY(!w->ListeGeaendert);
        QVERIFY(w->Nummer() == 2);
        QVERIFY(BPrgXQDir == env->path(QStringLiteral("d")));
        QCOMPARE(w->windowTitle(), QStringLiteral("Backprogrammliste: \"Woche.XQR\""));
        // A ".XQR" name is written at once; opened and saved again, the bytes stay.
        w->SpeichernPrgListe->click();
        dlg().expectFile(datei("Woche.XQR"));
        w->LadenPrgListe->click();
        QVERIFY(dlg().fileRequests().value(1).filter.startsWith(QStringLiteral("XQ-Vant2004-Backprogramm-Listen (*.XQR")));
        dlg().expectFile(datei("Kopie.XQR"));
        QVERIFY(w->ListeSpeichernunterClick());
        QCOMPARE(dlg().fileRequests().size(), 3);
        QCOMPARE(dateiLesen(datei("Kopie.XQR")), bytes);

        // 100 bytes past 200 blocks are still the current layout; 200 old blocks load with SollKT 0.
        QVERIFY(dateiSchreiben(datei("lang.XQR"), bytes + QByteArray(100, 'x')));
        QVERIFY(w->ListeDateiOeffnen(datei("lang.XQR")));
        QVERIFY(w->BPrgListe[3].SollKT == 96);
        QByteArray alt;
        for (const TBackprogramm &p : volleListe(5))
            alt += BPrgRecordToBytes(p).remove(33, 4);
        QVERIFY(dateiSchreiben(datei("alt.xqr"), alt));
        QVERIFY(w->ListeDateiOeffnen(datei("alt.xqr")));
        QVERIFY(w->BPrgListe[5].Name.text() == "P5");
        QVERIFY(w->BPrgListe[5].SollKT == 0);
        QVERIFY(w->BPrgListe[5].Menge == 5);
        QVERIFY(!w->ListeDateiOeffnen(datei("Kopie.dat")));
        // An empty file changes nothing and shows the reader's one box.
        const TBackprogrammListe vorher = w->BPrgListe;
        QVERIFY(dateiSchreiben(datei("leer.XQR"), QByteArray()));
        dlg().expectBox(QMessageBox::Ok);
        QVERIFY(!w->ListeDateiOeffnen(datei("leer.XQR")));
        QVERIFY(boxen() == QStringList{"ERROR|Ladefehler"});
        QVERIFY(w->BPrgListe == vorher);
        // After a read-all the name has no extension: the dialog proposes it with one.
        w->ListeDateiName = QStringLiteral("XQ7310");
        dlg().expectFile(QStringList());
        QVERIFY(!w->ListeSpeichern1Click());
        QCOMPARE(dlg().fileRequests().last().fileName, QStringLiteral("XQ7310.XQR"));
    }

    // A failed write keeps the old file, the edit and the modified flag, with the writer's
    // boxes only; "Ja" at the close keeps the window open until the list is saved.
    void speichernFehlgeschlagenUndSchliessen()
    {
        ListeLaden(w, volleListe(3), 2);
        mengeTippen(QStringLiteral("5"));
        dlg().expectBox(QMessageBox::Yes);
        dlg().expectFile(QStringList());
        QVERIFY(!w->close());
        QVERIFY(w->isVisible());
        QVERIFY(w->PrgGeaendert);

        w->ListeDateiName = datei("Liste.XQR");
        QVERIFY(BPrgListeSpeichern(w->ListeDateiName, volleListe(3)));
        const QByteArray alt = dateiLesen(datei("Liste.XQR"));
        SetWriteFailureAfterBytes(10);
        for (auto a : {QMessageBox::Yes, QMessageBox::Ok, QMessageBox::No})
            dlg().expectBox(a);
        QVERIFY(!w->close());
        QCOMPARE(boxen().mid(1), (QStringList{"ACHTUNG|Backprogrammliste wurde verändert!\r\nWollen Sie speichern?",
                                              "ERROR|Speicherfehler", "FRAGE|Speichern erneut versuchen?"}));
        QVERIFY(w->isVisible());
        QVERIFY(w->ListeGeaendert);
        QVERIFY(dateiLesen(datei("Liste.XQR")) == alt);
        QVERIFY(w->BPrgListe[2].Menge == 5);
        QVERIFY(w->eMenge->text() == QStringLiteral("5"));

        SetWriteFailureAfterBytes(-1);
        dlg().expectBox(QMessageBox::Yes);
        QVERIFY(w->close());
        QCOMPARE(dateiListe(datei("Liste.XQR"))[2].Menge, 5);
    }

    // Entries 1 and 2 of the dialog's list, then entry 0, into the first free slots; the range
    // question stores into the target; the shown slot stays as it was; a full list stops.
    void programmdateienOeffnen()
    {
        ListeLaden(w, volleListe(5), 5);
        TBackprogramm heiss = BeispielProgramm("C");
        heiss.Phasen[0].Temperatur = 500;
        QVERIFY(dateiSchreiben(datei("A.XQP"), BPrgTextSchreiben(BeispielProgramm("A"), true)));
        QVERIFY(dateiSchreiben(datei("B.xqp"), BPrgTextSchreiben(BeispielProgramm("B"), true)));
        QVERIFY(dateiSchreiben(datei("C.XQP"), BPrgTextSchreiben(heiss, true)));
        dlg().expectFile(QStringList{datei("A.XQP"), datei("B.xqp"), datei("C.XQP")});
        dlg().expectBox(QMessageBox::Yes);
        w->LadenPrg->click();
        const TFileRequest r = dlg().fileRequests().value(0);
        QVERIFY(r.kind == TFileDialogKind::OpenMany);
        QVERIFY(r.defaultSuffix == QLatin1String("XQP"));
        QVERIFY(r.filter.startsWith(QStringLiteral("XQ7310-Backprogramm (*.XQP *.xqp)")));
        QCOMPARE(w->BPrgListe[6].Name.text() + w->BPrgListe[7].Name.text() + w->BPrgListe[8].Name.text(), QByteArray("BCA"));
        QCOMPARE(w->BPrgListe[7].Phasen[0].Temperatur, 400);
        QVERIFY(w->Nummer() == 8);
        QVERIFY(!w->PrgGeaendert);
        QVERIFY(w->ListeGeaendert);
        w->ListeDateiName = datei("Liste.XQR");
        QVERIFY(w->ListeSpeichern1Click());
        TBackprogramm fuenf = volleListe(5)[5];
        fuenf.Nummer = 5; // as the list check numbers it
        QCOMPARE(dateiListe(datei("Liste.XQR"))[5], fuenf);

        // One file goes into the marked slot.
        w->NamenBlockWaehlen(20, 20);
        dlg().expectFile(datei("A.XQP"));
        w->FileOpen->trigger();
        QVERIFY(w->BPrgListe[20].Name.text() == "A");
        QVERIFY(w->Nummer() == 20);

        // A text that is no program, and a full list: one box each, the editor as it was.
        QVERIFY(dateiSchreiben(datei("Brief.XQP"), "Sehr geehrte Damen und Herren,\r\n"));
        dlg().clear();
        dlg().expectFile(QStringList{datei("A.XQP"), datei("Brief.XQP")});
        dlg().expectBox(QMessageBox::Ok);
        w->ListeGeaendert = false;
        const TBackprogrammListe vorher = w->BPrgListe;
        w->FileOpen->trigger();
        QCOMPARE(boxen(), QStringList{QStringLiteral("Fehler|Ladefehler\r\n") + datei("Brief.XQP")});
        QVERIFY(w->BPrgListe == vorher);
        QVERIFY(!w->ListeGeaendert);
        QVERIFY(w->ePrgName->toPlainText() == QStringLiteral("A"));
        ListeLaden(w, volleListe(199), 5);
        dlg().expectFile(QStringList{datei("A.XQP"), datei("B.xqp")});
        dlg().expectBox(QMessageBox::Ok);
        w->FileOpen->trigger();
        QCOMPARE(boxen().last(), QStringLiteral("ACHTUNG|Kein Platz mehr frei!\r\nBitte erst Programme löschen\r\noder neue Liste erstellen"));
        QVERIFY(w->ePrgName->toPlainText() == QStringLiteral("P5"));
        QVERIFY(!w->PrgGeaendert);
        QVERIFY(!w->ListeGeaendert);
    }

    // A free slot filled without leaving the grid takes the name of its number before it is
    // stored: by the menu's save, by "Ja" at the close, before files look for free slots.
    void freierPlatzWirdBenannt()
    {
        ListeLaden(w, volleListe(2), 3);
        w->ListeDateiName = datei("Liste.XQR");
        ZelleTippen(w, 1, 1, QStringLiteral("200"));
        w->ListeSpeichern1->trigger();
        QCOMPARE(dateiListe(datei("Liste.XQR"))[3].Name.text(), QByteArray("P003"));
        QVERIFY(w->BPrgListe[3].Name.text() == "P003");
        QVERIFY(w->ePrgName->Name() == "P003");
        QVERIFY(namenStimmen());

        ListeLaden(w, volleListe(2), 4);
        ZelleTippen(w, 1, 1, QStringLiteral("190"));
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        dlg().expectBox(QMessageBox::Yes);
        QVERIFY(w->close());
        const TBackprogramm vier = dateiListe(datei("Liste.XQR"))[4];
        QVERIFY(vier.Name.text() == "P004");
        QVERIFY(vier.Phasen[0].Temperatur == 190);

        env->fenster()->BPrgBtn->click();
        QTRY_VERIFY(w->isVisible());
        w->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(w));
        ListeLaden(w, volleListe(2), 3);
        QVERIFY(dateiSchreiben(datei("A.XQP"), BPrgTextSchreiben(BeispielProgramm("A"), true)));
        QVERIFY(dateiSchreiben(datei("B.XQP"), BPrgTextSchreiben(BeispielProgramm("B"), true)));
        ZelleTippen(w, 1, 1, QStringLiteral("180"));
        dlg().expectFile(QStringList{datei("A.XQP"), datei("B.XQP")});
        w->FileOpen->trigger();
        QCOMPARE(namen(3, 5), (QList<QByteArray>{"P003", "B", "A"}));
        QCOMPARE(w->BPrgListe[3].Phasen[0].Temperatur, 180);
    }

    void programmSpeichern()
    {
        TBackprogrammListe l = volleListe(4);
        l[3] = BeispielProgramm("Brot\r\n1/2");
        ListeLaden(w, l, 3);
        dlg().expectFile(datei("Brot.XQP"));
        w->SpeichernPrg->click();
        const TFileRequest r = dlg().fileRequests().value(0);
        QVERIFY(r.kind == TFileDialogKind::Save);
        QVERIFY(r.fileName == QLatin1String("Brot 1_2"));
        QVERIFY(r.defaultSuffix == QLatin1String("XQP"));
        const QByteArray text = dateiLesen(datei("Brot.XQP"));
        QCOMPARE(text, BPrgTextSchreiben(w->AktBPrg, true));
        QVERIFY(text.contains("\r\nNAME =Brot      1/2\r\n"));
        // A failed write leaves the old file and the folder.
        BPrgXQDir = env->path(QStringLiteral("prog/BPRG"));
        w->NrWahl->setValue(4);
        SetWriteFailureAfterBytes(5);
        dlg().expectFile(datei("Brot.XQP"));
        dlg().expectBox(QMessageBox::Ok);
        w->Backprogrammspeichern1->trigger();
        QCOMPARE(boxen(), QStringList{QStringLiteral("Fehler|Speicherfehler")});
        QVERIFY(dateiLesen(datei("Brot.XQP")) == text);
        QVERIFY(BPrgXQDir == env->path(QStringLiteral("prog/BPRG")));
    }

    // "Ja" goes on only after a save; Cancel changes nothing; a taken-over list replaces all.
    void fragenVorDemErsetzen()
    {
        ListeLaden(w, volleListe(3), 2);
        mengeTippen(QStringLiteral("9"));
        dlg().expectBox(QMessageBox::Yes);
        dlg().expectFile(QStringList());
        w->NeueListe1->trigger();
        dlg().expectBox(QMessageBox::Cancel);
        QVERIFY(!w->ListeUebernehmen(QStringLiteral("XQ7310"), volleListe(7)));
        QVERIFY(w->PrgGeaendert);
        QVERIFY(w->BPrgListe[1].Name.text() == "P1");
        QVERIFY(w->ListeDateiName.isEmpty());
        w->ListeDateiName = datei("Alt.XQR");
        dlg().expectBox(QMessageBox::Yes);
        QVERIFY(w->ListeUebernehmen(QStringLiteral("XQ7310"), volleListe(7)));
        QCOMPARE(dateiListe(datei("Alt.XQR"))[2].Menge, 9);
        QVERIFY(w->BPrgListe[7].Name.text() == "P7");
        QVERIFY(w->ListeDateiName == QLatin1String("XQ7310"));
        QVERIFY(!w->ListeGeaendert);
        mengeTippen(QStringLiteral("4"));
        dlg().expectBox(QMessageBox::No);
        QVERIFY(w->NeueListe());
        for (int i = 0; i < 200; ++i)
            QCOMPARE(w->BPrgListe[size_t(i)].Name.text(), QByteArray("frei free libre"));
        QVERIFY(w->FreierPlatz() == 1);
        QVERIFY(!w->ListeGeaendert);
        QVERIFY(!w->PrgGeaendert);
        QVERIFY(w->ListeDateiName.isEmpty());
        QCOMPARE(w->windowTitle(), QStringLiteral("Backprogrammliste: \"\""));
    }

    // The list's own file opened again after an edit: "Ja" saves the edit, and what is then
    // shown is the file as saved; "Nein" asks once and shows the file as it stands.
    void eigeneListeWiederOeffnen()
    {
        ListeLaden(w, volleListe(3), 2);
        w->ListeDateiName = datei("Woche.XQR");
        QVERIFY(BPrgListeSpeichern(w->ListeDateiName, volleListe(3)));
        mengeTippen(QStringLiteral("7"));
        dlg().expectFile(datei("Woche.XQR"));
        dlg().expectBox(QMessageBox::Yes);
        w->LadenPrgListe->click();
        QCOMPARE(dateiListe(datei("Woche.XQR"))[2].Menge, 7);
        QCOMPARE(w->BPrgListe[2].Menge, 7);
        QVERIFY(!w->ListeGeaendert);
        QVERIFY(!w->PrgGeaendert);
        QVERIFY(namenStimmen());
        // The next save writes what is shown, not the values before the edit.
        w->ListeGeaendert = true;
        QVERIFY(w->ListeSpeichern1Click());
        QCOMPARE(dateiListe(datei("Woche.XQR"))[2].Menge, 7);

        w->NrWahl->setValue(2);
        mengeTippen(QStringLiteral("8"));
        dlg().clear();
        dlg().expectFile(datei("Woche.XQR"));
        dlg().expectBox(QMessageBox::No);
        w->Listeffnen1->trigger();
        QCOMPARE(dlg().boxes().size(), 1);
        QVERIFY(w->BPrgListe[2].Menge == 7);
        QVERIFY(!w->ListeGeaendert);
        QVERIFY(!w->PrgGeaendert);
        QCOMPARE(dateiListe(datei("Woche.XQR"))[2].Menge, 7);
    }

    // A chosen name with a dot in it still gets the extension, so it shows in the open dialog;
    // a name that ends in it, in any case, is kept; the name with it is asked about before an
    // old file of that name is replaced.
    void nameMitPunktBekommtEndung()
    {
        ListeLaden(w, volleListe(3), 2);
        dlg().expectFile(datei("Mischbrot 2.5"));
        w->SpeichernPrg->click();
        QVERIFY(QFile::exists(datei("Mischbrot 2.5.XQP")));
        QVERIFY(!QFile::exists(datei("Mischbrot 2.5")));
        QCOMPARE(BPrgXQDir, env->path(QStringLiteral("d")));
        dlg().expectFile(datei("Brot.xqp"));
        w->Backprogrammspeichern1->trigger();
        QVERIFY(QFile::exists(datei("Brot.xqp")));
        QVERIFY(!QFile::exists(datei("Brot.xqp.XQP")));

        QVERIFY(dateiSchreiben(datei("Mischbrot 2.5.XQP"), "alt"));
        dlg().expectFile(datei("Mischbrot 2.5"));
        dlg().expectBox(QMessageBox::No);
        w->SpeichernPrg->click();
        QCOMPARE(dateiLesen(datei("Mischbrot 2.5.XQP")), QByteArray("alt"));
        QVERIFY(boxen().value(0).endsWith(QStringLiteral("|Mischbrot 2.5.XQP existiert bereits.\r\nSoll die Datei ersetzt werden?")));
        dlg().expectFile(datei("Mischbrot 2.5"));
        dlg().expectBox(QMessageBox::Yes);
        w->SpeichernPrg->click();
        QCOMPARE(dateiLesen(datei("Mischbrot 2.5.XQP")), BPrgTextSchreiben(w->AktBPrg, true));

        w->ListeGeaendert = true;
        dlg().expectFile(datei("Woche 12.2024"));
        QVERIFY(w->ListeSpeichern1Click());
        QCOMPARE(w->ListeDateiName, datei("Woche 12.2024.XQR"));
        QCOMPARE(dateiLesen(datei("Woche 12.2024.XQR")).size(), 100200);
        QCOMPARE(w->windowTitle(), QStringLiteral("Backprogrammliste: \"Woche 12.2024.XQR\""));
        dlg().expectFile(datei("Woche 13.2024"));
        QVERIFY(w->ListeSpeichernunterClick());
        QVERIFY(QFile::exists(datei("Woche 13.2024.XQR")));
        QVERIFY(!QFile::exists(datei("Woche 13.2024")));
    }

    // A save stores the editor into its slot only after an edit; a phase button is one.
    void speichernNurNachBearbeitung()
    {
        TBackprogrammListe l = volleListe(3);
        l[4] = BeispielProgramm("feines Brot");
        ListeLaden(w, l, 4);
        w->ListeDateiName = datei("Liste.XQR");
        w->ProgrammSetzen(BeispielProgramm("Fremd"), 4); // as a request that timed out leaves it
        QVERIFY(w->ListeSpeichern1Click());
        QCOMPARE(dateiListe(datei("Liste.XQR"))[4].Name.text(), QByteArray("feines Brot"));
        w->UmwKnopf[3]->click();
        QVERIFY(w->PrgGeaendert);
        QVERIFY(w->ListeSpeichern1Click());
        QCOMPARE(dateiListe(datei("Liste.XQR"))[4].Phasen[2].Umwaelzer, quint8(100));
    }
    // ---- list operations ----

    // Copy 3..5 of an edited shown program, paste at 20 and at 198; paste before copy does nothing.
    void kopierenUndEinfuegen()
    {
        ListeLaden(w, listeMit(pNamen(1, 10)), 3);
        markieren(20, 20);
        w->Backprogrammeinfgen1->trigger();
        QVERIFY(!w->ListeGeaendert);
        QVERIFY(IsFreeSlotName(w->BPrgListe[20].Name.text()));
        mengeTippen(QStringLiteral("33"));
        markieren(3, 5);
        w->Backprogrammkopieren1->trigger();
        QVERIFY(w->KopieVon == 3);
        QVERIFY(w->KopieBis == 5);
        QVERIFY(w->Zwischenablage[3].Menge == 33);
        QVERIFY(!w->PrgGeaendert);
        markieren(20, 20);
        w->Einfgen1->trigger();
        QCOMPARE(namen(19, 23), (QList<QByteArray>{Frei, "P3", "P4", "P5", Frei}));
        QVERIFY(w->BPrgListe[20].Menge == 33);
        QVERIFY(w->ListeGeaendert);
        QVERIFY(!w->PrgGeaendert);
        QVERIFY(namenStimmen());
        QVERIFY(markiert() == qMakePair(20, 22));
        QVERIFY(w->Nummer() == 22);
        QCOMPARE(w->ePrgName->toPlainText(), QStringLiteral("P5"));
        markieren(198, 198);
        w->Backprogrammeinfgen1->trigger();
        QCOMPARE(namen(197, 199), (QList<QByteArray>{Frei, "P3", "P4"}));
        QVERIFY(markiert() == qMakePair(198, 199));
        QVERIFY(w->Nummer() == 199);
        dlg().expectBox(QMessageBox::Cancel);
        QVERIFY(!w->close());
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
        dlg().expectBox(QMessageBox::Yes);
        w->Backprogrammeinfgen1->trigger();
        QCOMPARE(dlg().boxes().size(), 1);
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
        QCOMPARE(namen(1, 5), (QList<QByteArray>{"A", "b", "c", "frei free libre", Frei}));
        // The edit went with its program; slot 2 shows what it now holds.
        QCOMPARE(w->BPrgListe[1].Menge, 55);
        QVERIFY(w->Nummer() == 2);
        QVERIFY(w->ePrgName->toPlainText() == QStringLiteral("b"));
        QVERIFY(w->eMenge->text() == QStringLiteral("1"));
        QVERIFY(w->ListeGeaendert);
        QVERIFY(!w->PrgGeaendert);
        QVERIFY(namenStimmen());
        w->SortierenZA2->trigger();
        QCOMPARE(namen(195, 199), (QList<QByteArray>{Frei, "frei free libre", "c", "b", "A"}));
        QVERIFY(namenStimmen());
        // The changes are asked for at close.
        dlg().expectBox(QMessageBox::Cancel);
        QVERIFY(!w->close());
        QCOMPARE(dlg().boxes().value(0).text, QStringLiteral("Backprogrammliste wurde verändert!\r\nWollen Sie speichern?"));
    }

    // Slots 10..12 up and back down with an edited shown program; slot 1 and 199 stop a block.
    void verschieben()
    {
        ListeLaden(w, listeMit(pNamen(1, 12)), 10);
        mengeTippen(QStringLiteral("66"));
        markieren(10, 12);
        w->Nachoben1->trigger();
        QCOMPARE(namen(8, 13), (QList<QByteArray>{"P8", "P10", "P11", "P12", "P9", Frei}));
        QVERIFY(w->BPrgListe[9].Menge == 66);
        QVERIFY(markiert() == qMakePair(9, 11));
        QVERIFY(w->NamenListe->currentRow() == 12);
        QVERIFY(w->ListeGeaendert);
        QVERIFY(!w->PrgGeaendert);
        QVERIFY(namenStimmen());
        // Slot 10 shows what it holds now.
        QVERIFY(w->Nummer() == 10);
        QVERIFY(w->ePrgName->toPlainText() == QStringLiteral("P11"));
        w->UpDown1->Runter->click();
        QVERIFY(namen(9, 12) == pNamen(9, 12));
        QVERIFY(markiert() == qMakePair(10, 12));
        const TBackprogrammListe vorher = w->BPrgListe;
        markieren(1, 2);
        w->Nachoben2->trigger();
        markieren(198, 199);
        w->Nachunten1->trigger();
        QVERIFY(w->BPrgListe == vorher);
        QVERIFY(markiert() == qMakePair(198, 199));
    }

    // Ctrl+C / Ctrl+V act on the name grid only; a right click selects a program row and
    // opens the context menu, on the header it does nothing.
    void namenRaster()
    {
        ListeLaden(w, listeMit(pNamen(1, 5)), 1);
        w->NamenListe->setFocus();
        markieren(2, 3);
        QTest::keyClick(w->NamenListe, Qt::Key_C, Qt::ControlModifier);
        markieren(40, 40);
        QTest::keyClick(w->NamenListe, Qt::Key_V, Qt::ControlModifier);
        QCOMPARE(namen(40, 41), (QList<QByteArray>{"P2", "P3"}));
        markieren(4, 4);
        w->ePrgName->setFocus();
        QTest::keyClick(w->ePrgName, Qt::Key_A, Qt::ControlModifier);
        QTest::keyClick(w->ePrgName, Qt::Key_C, Qt::ControlModifier);
        QTest::keyClick(w->ePrgName, Qt::Key_V, Qt::ControlModifier);
        QVERIFY(w->KopieVon == 2);
        QVERIFY(w->BPrgListe[4].Name.text() == "P4");
        QCOMPARE(QGuiApplication::clipboard()->text(), w->ePrgName->toPlainText());

        QTableWidget *g = w->NamenListe;
        QTest::mouseClick(g->viewport(), Qt::RightButton, {}, g->visualItemRect(g->item(0, 1)).center());
        QVERIFY(!w->PopupMenu1->isVisible());
        QVERIFY(markiert() == qMakePair(4, 4));
        QTest::mouseClick(g->viewport(), Qt::RightButton, {}, g->visualItemRect(g->item(6, 1)).center());
        QTRY_VERIFY(w->PopupMenu1->isVisible());
        QVERIFY(markiert() == qMakePair(5, 5));
        QVERIFY(w->Nummer() == 41);
        w->PopupMenu1->close();
    }
    // ---- prints ----

    // The marked rows 3..5 print slots 2..4, with the captions of the phase buttons.
    void markierteProgramme()
    {
        TPdfDrucker pdf(env->path(QStringLiteral("pdf")));
        ListeLaden(w, listeMit(pNamen(1, 6)), 1);
        markieren(2, 4);
        druckenBestaetigen();
        w->Drucken1->trigger();
        QCOMPARE(dlg().dialogs(), QStringList{"RPSetupForm_NQ_dt"});
        const QStringList seiten = pdfSeitenText(berichtPdf());
        QCOMPARE(seiten.size(), 3);
        for (int s = 0; s < 3; ++s) {
            QVERIFY(seiten[s].contains(QStringLiteral("P%1").arg(s + 2)));
            QVERIFY(seiten[s].contains(QStringLiteral("s auf")));
        }
    }

    // All programs print after the list check; a check answered "No" or "Cancel" prints nothing.
    void alleProgramme()
    {
        TPdfDrucker pdf(env->path(QStringLiteral("pdf")));
        ListeLaden(w, listeMit(pNamen(1, 6)), 1);
        druckenBestaetigen();
        w->AlleBackprogrammedruckenVorschau1->trigger();
        QCOMPARE(pdfSeitenText(berichtPdf()).size(), 6);
        QFile::remove(berichtPdf());
        w->BPrgListe[3].Phasen[0].Temperatur = 500;
        dlg().expectBox(QMessageBox::Cancel);
        w->AlleBackprogrammedrucken1->trigger();
        dlg().expectBox(QMessageBox::No);
        w->MarkierteBackprogrammedruckenTestAlt1->trigger();
        QVERIFY(dlg().boxes().value(1).text.contains(QStringLiteral("Backprogramm-Liste kann so nicht gedruckt werden!")));
        QVERIFY(!QFile::exists(berichtPdf()));
        QVERIFY(w->BPrgListe[3].Phasen[0].Temperatur == 500);
    }

    void namenlisteUndEinrichtung()
    {
        TPdfDrucker pdf(env->path(QStringLiteral("pdf")));
        ListeLaden(w, listeMit(pNamen(1, 6)), 1);
        w->ListeDateiName = env->path(QStringLiteral("Woche.XQR"));
        w->PintListBtn->click();
        for (int teil = 1; teil <= 2; ++teil) {
            const QString datei = PdfDruckerDatei(QStringLiteral("Kelvor Namenliste Teil %1").arg(teil));
            const QStringList seiten = pdfSeitenText(datei);
            QCOMPARE(seiten.size(), 1);
            QVERIFY(seiten[0].contains(QStringLiteral("Programmübersicht: Woche.XQR")));
            QVERIFY(seiten[0].contains(teil == 1 ? QStringLiteral("P5") : QStringLiteral("199")));
            QFile::remove(datei);
        }
        w->ListeDrucken1->trigger();
        QVERIFY(QFile::exists(PdfDruckerDatei(QStringLiteral("Kelvor Namenliste Teil 2"))));
        dlg().expectDialog([](QDialog *) { return int(QDialog::Rejected); });
        w->Druckereinrichtung1->trigger();
        QCOMPARE(dlg().dialogs(), QStringList{"PrinterSetupDialog1"});
        QVERIFY(dlg().boxes().isEmpty());
    }
};

QTEST_MAIN(TstEditorBefehle)
#include "tst_EditorBefehle.moc"

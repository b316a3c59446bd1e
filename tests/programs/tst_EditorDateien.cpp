// The list editor's files as a user works them, offscreen: program files saved and opened,
// lists saved, saved as, opened and started anew, the save questions and the close question.
#include "support/Listeneditor.h"

#include "app/Dateischreiben.h"
#include "app/Sammlung.h"
#include "programs/NamenMemo.h"
#include "programs/uXQXGesamtListe.h"

#include <QtTest>
#include <QtWidgets>
#include <memory>

namespace {
const QString Frage = QStringLiteral("Backprogrammliste wurde verändert!\r\nWollen Sie speichern?");

TBackprogrammListe listeMit(std::initializer_list<std::pair<int, TBackprogramm>> programme)
{
    TBackprogrammListe l = FreieListe();
    for (const auto &[n, p] : programme)
        l[size_t(n)] = p;
    return l;
}

// A list whose slots 1..n hold programs "P1".."Pn".
TBackprogrammListe volleListe(int n)
{
    TBackprogrammListe l = FreieListe();
    for (int i = 1; i <= n; ++i)
        l[size_t(i)] = BeispielProgramm("P" + QByteArray::number(i));
    return l;
}

bool programmDatei(const QString &pfad, const TBackprogramm &p)
{
    return dateiSchreiben(pfad, BPrgTextSchreiben(p, true));
}

// The records of a list file (the file must be a current-layout list).
TBackprogrammListe dateiListe(const QString &pfad)
{
    TBackprogrammListe l = FreieListe();
    BPrgListeLesen(pfad, l);
    return l;
}

QStringList boxTexte(TTestUmgebung &env)
{
    QStringList texte;
    for (const TBoxRequest &b : env.dialoge().boxes())
        texte << b.caption + QLatin1Char('|') + b.text;
    return texte;
}
} // namespace

class TstEditorDateien : public QObject
{
    Q_OBJECT
    std::unique_ptr<TListeneditorUmgebung> env;
    TwXQXGesamtListe *w = nullptr;

    QString datei(const QString &name) const { return env->path(QStringLiteral("dateien/") + name); }
    TTestDialoge &dialoge() { return env->dialoge(); }
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
        QVERIFY(QDir().mkpath(env->path(QStringLiteral("dateien"))));
        w = env->oeffnenEditor();
        QVERIFY(w && w->isVisible());
    }
    void cleanup()
    {
        SetWriteFailureAfterBytes(-1);
        QCOMPARE(dialoge().unexpected(), 0);
        QVERIFY(dialoge().allAnswersUsed());
        w = nullptr;
        env.reset();
    }

    // A new list has no name: the dialog proposes nothing, the file gets ".XQR", and the next
    // save writes at once. Reopened and saved again, the bytes stay the same.
    void listeSpeichernUndOeffnen()
    {
        ListeLaden(w, volleListe(4), 2);
        w->ListeGeaendert = true;
        dialoge().expectFile(datei("Woche.XQR"));
        w->ListeSpeichern1->trigger();
        const TFileRequest r = dialoge().fileRequests().value(0);
        QCOMPARE(r.kind, TFileDialogKind::Save);
        QVERIFY(r.fileName.isEmpty() && r.defaultSuffix == QLatin1String("XQR") && r.overwritePrompt);
        QVERIFY(r.filter.startsWith(QStringLiteral("XQ-Backprogramm-Records (*.XQR *.xqr)")));
        QCOMPARE(r.directory, env->path(QStringLiteral("prog/BPRG")));
        const QByteArray bytes = dateiLesen(datei("Woche.XQR"));
        QCOMPARE(bytes.size(), 100200);
        QVERIFY(!w->ListeGeaendert && !w->PrgGeaendert);
        QCOMPARE(w->windowTitle(), QStringLiteral("Backprogrammliste: \"Woche.XQR\""));
        QCOMPARE(BPrgXQDir, env->path(QStringLiteral("dateien")));
        QCOMPARE(w->Nummer(), 2);
        // Stored with their slot numbers, as the list check sets them.
        QCOMPARE(dateiListe(datei("Woche.XQR"))[3].Nummer, 3);

        // Saved again: no dialog, the same bytes.
        w->SpeichernPrgListe->click();
        QCOMPARE(dialoge().fileRequests().size(), 1);
        QCOMPARE(dateiLesen(datei("Woche.XQR")), bytes);

        // Opened and saved under a new name: the same bytes again.
        dialoge().expectFile(datei("Woche.XQR"));
        w->LadenPrgListe->click();
        QCOMPARE(dialoge().fileRequests().value(1).kind, TFileDialogKind::Open);
        QVERIFY(dialoge().fileRequests().value(1).filter.startsWith(QStringLiteral("XQ-Vant2004-Backprogramm-Listen (*.XQR *.xqr)")));
        dialoge().expectFile(datei("Kopie.XQR"));
        QVERIFY(w->ListeSpeichernunterClick());
        QCOMPARE(dialoge().fileRequests().value(2).fileName, datei("Woche.XQR"));
        QCOMPARE(dateiLesen(datei("Kopie.XQR")), bytes);
        QCOMPARE(w->ListeDateiName, datei("Kopie.XQR"));
        QVERIFY(dialoge().boxes().isEmpty());
    }

    // Files of 100,300 bytes are still the current layout; 200 old blocks read with SollKT 0.
    void groessenUndAltesFormat()
    {
        QVERIFY(BPrgListeSpeichern(datei("neu.XQR"), volleListe(3)));
        QVERIFY(dateiSchreiben(datei("lang.XQR"), dateiLesen(datei("neu.XQR")) + QByteArray(100, '\x7F')));
        QVERIFY(w->ListeDateiOeffnen(datei("lang.XQR")));
        QCOMPARE(w->BPrgListe[3].Name.text(), QByteArray("P3"));
        QCOMPARE(w->BPrgListe[3].SollKT, 96);
        QCOMPARE(w->NamenListe->cell(1, 4), QStringLiteral("P3                  "));

        QByteArray alt;
        const TBackprogrammListe neu = volleListe(5);
        for (const TBackprogramm &p : neu) {
            const QByteArray b = BPrgRecordToBytes(p);
            alt += b.left(33) + b.mid(37); // without SollKT
        }
        QCOMPARE(alt.size(), 99400);
        QVERIFY(dateiSchreiben(datei("alt.xqr"), alt));
        QVERIFY(w->ListeDateiOeffnen(datei("alt.xqr")));
        QVERIFY(w->BPrgListe[5].Name.text() == "P5" && w->BPrgListe[5].SollKT == 0 && w->BPrgListe[5].Menge == 12);
        QCOMPARE(w->windowTitle(), QStringLiteral("Backprogrammliste: \"alt.xqr\""));
        // Another extension is no list.
        QVERIFY(dateiSchreiben(datei("alt.dat"), alt));
        QVERIFY(!w->ListeDateiOeffnen(datei("alt.dat")));
        QVERIFY(dialoge().boxes().isEmpty());
    }

    // An empty or short list file changes nothing and shows the reader's one box.
    void leereListendatei()
    {
        const TBackprogrammListe l = volleListe(3);
        ListeLaden(w, l, 2);
        w->ListeDateiName = datei("Alt.XQR");
        for (const QByteArray &inhalt : {QByteArray(), QByteArray(496, 'x')}) {
            dialoge().clear();
            QVERIFY(dateiSchreiben(datei("kaputt.XQR"), inhalt));
            dialoge().expectBox(QMessageBox::Ok);
            dialoge().expectFile(datei("kaputt.XQR"));
            w->Listeffnen1->trigger();
            QCOMPARE(boxTexte(*env), QStringList{QStringLiteral("ERROR|Ladefehler")});
            QVERIFY(w->BPrgListe == l);
            QCOMPARE(w->ListeDateiName, datei("Alt.XQR"));
            QCOMPARE(w->NamenListe->cell(1, 2), QStringLiteral("P1                  "));
        }
    }

    // A failed write keeps the old file and the edits, marked as changed; the writer's two
    // boxes are the only ones.
    void fehlgeschlagenesSpeichern()
    {
        ListeLaden(w, volleListe(3), 2);
        w->ListeDateiName = datei("Liste.XQR");
        QVERIFY(w->ListeSpeichern1Click());
        const QByteArray alt = dateiLesen(datei("Liste.XQR"));
        mengeTippen(QStringLiteral("77"));
        SetWriteFailureAfterBytes(0);
        dialoge().expectBox(QMessageBox::Ok);
        dialoge().expectBox(QMessageBox::No);
        QVERIFY(!w->ListeSpeichern1Click());
        QCOMPARE(boxTexte(*env), (QStringList{"ERROR|Speicherfehler", "FRAGE|Speichern erneut versuchen?"}));
        QCOMPARE(dateiLesen(datei("Liste.XQR")), alt);
        QVERIFY(w->ListeGeaendert);
        QCOMPARE(w->BPrgListe[2].Menge, 77);
        QCOMPARE(w->eMenge->text(), QStringLiteral("77"));
        // Written once the disk takes it.
        SetWriteFailureAfterBytes(-1);
        QVERIFY(w->ListeSpeichern1Click());
        QCOMPARE(dateiListe(datei("Liste.XQR"))[2].Menge, 77);
        QVERIFY(!w->ListeGeaendert);
    }

    // "Ja" at the close question keeps the window open unless the list was saved.
    void schliessenMitSpeichern()
    {
        ListeLaden(w, volleListe(3), 2);
        mengeTippen(QStringLiteral("5"));
        // No name yet: the dialog is cancelled.
        dialoge().expectBox(QMessageBox::Yes);
        dialoge().expectFile(QStringList());
        QVERIFY(!w->close());
        QVERIFY(w->isVisible() && w->PrgGeaendert);
        QCOMPARE(w->eMenge->text(), QStringLiteral("5"));
        // A name, but the write fails.
        w->ListeDateiName = datei("Liste.XQR");
        SetWriteFailureAfterBytes(10);
        for (auto a : {QMessageBox::Yes, QMessageBox::Ok, QMessageBox::No})
            dialoge().expectBox(a);
        QVERIFY(!w->close());
        QVERIFY(w->isVisible() && w->ListeGeaendert && !QFile::exists(datei("Liste.XQR")));
        QCOMPARE(w->BPrgListe[2].Menge, 5);
        // Saved: the window closes.
        SetWriteFailureAfterBytes(-1);
        dialoge().expectBox(QMessageBox::Yes);
        QVERIFY(w->close());
        QVERIFY(!w->isVisible());
        QCOMPARE(dateiListe(datei("Liste.XQR"))[2].Menge, 5);
        QCOMPARE(boxTexte(*env).count(QStringLiteral("ACHTUNG|") + Frage), 3);
    }

    // The second and third entries of the dialog's list, then the first, each into the first
    // free slot; the shown slot stays as it was, and a full list stops with the editor unchanged.
    void mehrereProgrammdateien()
    {
        ListeLaden(w, volleListe(5), 5);
        const QStringList dateien{datei("A.XQP"), datei("B.xqp"), datei("C.XQP")};
        for (const QString &d : dateien)
            QVERIFY(programmDatei(d, BeispielProgramm(QFileInfo(d).baseName().toLatin1(), 200)));
        dialoge().expectFile(dateien);
        w->LadenPrg->click();
        const TFileRequest r = dialoge().fileRequests().value(0);
        QVERIFY(r.kind == TFileDialogKind::OpenMany && r.defaultSuffix == QLatin1String("XQP"));
        QVERIFY(r.filter.startsWith(QStringLiteral("XQ7310-Backprogramm (*.XQP *.xqp)")));
        QCOMPARE(w->BPrgListe[6].Name.text(), QByteArray("B"));
        QCOMPARE(w->BPrgListe[7].Name.text(), QByteArray("C"));
        QCOMPARE(w->BPrgListe[8].Name.text(), QByteArray("A"));
        QCOMPARE(w->BPrgListe[8].Phasen[0].Temperatur, 200);
        QVERIFY(w->Nummer() == 8 && w->GemerkteNr == 8 && !w->PrgGeaendert && w->ListeGeaendert);
        QCOMPARE(w->ePrgName->toPlainText(), QStringLiteral("A"));
        QCOMPARE(w->NamenListe->cell(1, 7), QStringLiteral("B                   "));
        w->ListeDateiName = datei("Liste.XQR");
        QVERIFY(w->ListeSpeichern1Click());
        QVERIFY(dateiListe(datei("Liste.XQR"))[5].Name.text() == "P5" && dateiListe(datei("Liste.XQR"))[8].Name.text() == "A");

        // Full: the fourth file finds no slot; nothing read, nothing shown.
        ListeLaden(w, volleListe(199), 5);
        dialoge().expectFile(QStringList{datei("A.XQP"), datei("B.xqp")});
        dialoge().expectBox(QMessageBox::Ok);
        w->FileOpen->trigger();
        QCOMPARE(boxTexte(*env).last(),
                 QStringLiteral("ACHTUNG|Kein Platz mehr frei!\r\nBitte erst Programme löschen\r\noder neue Liste erstellen"));
        QCOMPARE(dialoge().boxes().size(), 1);
        QVERIFY(w->ePrgName->toPlainText() == QStringLiteral("P5") && !w->PrgGeaendert && !w->ListeGeaendert);
    }

    // One file goes into the selected slot; a text that is no program changes nothing.
    void eineProgrammdatei()
    {
        ListeLaden(w, volleListe(3), 2);
        QVERIFY(programmDatei(datei("Semmel.XQP"), BeispielProgramm("Semmel")));
        w->NamenListe->selectRow(11); // slot 10, not chosen
        dialoge().expectFile(datei("Semmel.XQP"));
        w->FileOpen->trigger();
        QCOMPARE(w->BPrgListe[10].Name.text(), QByteArray("Semmel"));
        QCOMPARE(w->Nummer(), 10);
        QCOMPARE(BPrgXQDir, env->path(QStringLiteral("dateien")));

        const TBackprogrammListe vorher = w->BPrgListe;
        w->ListeGeaendert = false;
        QVERIFY(dateiSchreiben(datei("Brief.XQP"), "Sehr geehrte Damen und Herren,\r\n"));
        dialoge().expectFile(QStringList{datei("Semmel.XQP"), datei("Brief.XQP")});
        dialoge().expectBox(QMessageBox::Ok);
        w->FileOpen->trigger();
        QCOMPARE(boxTexte(*env), QStringList{QStringLiteral("Fehler|Ladefehler\r\n") + datei("Brief.XQP")});
        QVERIFY(w->BPrgListe == vorher && !w->ListeGeaendert && !w->PrgGeaendert);
        QCOMPARE(w->ePrgName->toPlainText(), QStringLiteral("Semmel"));
    }

    // The range question of an opened program stores the clamped program into its target.
    void bereichsfrageTrifftZiel()
    {
        ListeLaden(w, volleListe(5), 5);
        TBackprogramm heiss = BeispielProgramm("Heiss");
        heiss.Phasen[0].Temperatur = 500;
        QVERIFY(programmDatei(datei("Heiss.XQP"), heiss));
        QVERIFY(programmDatei(datei("Kalt.XQP"), BeispielProgramm("Kalt")));
        dialoge().expectFile(QStringList{datei("Kalt.XQP"), datei("Heiss.XQP")});
        dialoge().expectBox(QMessageBox::Yes);
        const TBackprogramm fuenf = w->BPrgListe[5];
        w->FileOpen->trigger();
        QCOMPARE(dialoge().boxes().size(), 1);
        QVERIFY(dialoge().boxes()[0].text.contains(QStringLiteral("nicht gespeichert werden!")));
        QCOMPARE(w->BPrgListe[6].Phasen[0].Temperatur, 400);
        QCOMPARE(w->BPrgListe[6].Name.text(), QByteArray("Heiss"));
        QCOMPARE(w->BPrgListe[7].Name.text(), QByteArray("Kalt"));
        QVERIFY(w->BPrgListe[5] == fuenf);
    }

    void programmSpeichern()
    {
        ListeLaden(w, listeMit({{3, BeispielProgramm("Brot\r\nhell")}, {4, BeispielProgramm("1/2 Brot")}}), 3);
        dialoge().expectFile(datei("Brot.XQP"));
        w->SpeichernPrg->click();
        const TFileRequest r = dialoge().fileRequests().value(0);
        QVERIFY(r.kind == TFileDialogKind::Save && r.fileName == QLatin1String("Brot hell") && r.defaultSuffix == QLatin1String("XQP"));
        QVERIFY(r.overwritePrompt && r.filter.startsWith(QStringLiteral("XQ7310-Backprogramm (*.XQP *.xqp)")));
        const QByteArray text = dateiLesen(datei("Brot.XQP"));
        QCOMPARE(text, BPrgTextSchreiben(w->AktBPrg, true));
        QVERIFY(text.contains("\r\nNAME =Brot      hell\r\n") && text.endsWith("##/BODY\r\n"));
        QCOMPARE(BPrgXQDir, env->path(QStringLiteral("dateien")));

        // A folder separator in the name is no folder; a failed write leaves the old file.
        w->NrWahl->setValue(4);
        BPrgXQDir = env->path(QStringLiteral("prog/BPRG"));
        SetWriteFailureAfterBytes(5);
        dialoge().expectFile(datei("Brot.XQP"));
        dialoge().expectBox(QMessageBox::Ok);
        w->Backprogrammspeichern1->trigger();
        QCOMPARE(dialoge().fileRequests().value(1).fileName, QStringLiteral("1_2 Brot"));
        QCOMPARE(boxTexte(*env), QStringList{QStringLiteral("Fehler|Speicherfehler")});
        QCOMPARE(dateiLesen(datei("Brot.XQP")), text);
        QCOMPARE(BPrgXQDir, env->path(QStringLiteral("prog/BPRG")));
    }

    void neueListe()
    {
        ListeLaden(w, volleListe(3), 2);
        w->ListeDateiName = datei("Alt.XQR");
        mengeTippen(QStringLiteral("9"));
        dialoge().expectBox(QMessageBox::Cancel);
        QVERIFY(!w->NeueListe());
        QVERIFY(w->PrgGeaendert && w->BPrgListe[1].Name.text() == "P1");
        // "Ja" with the save dialog cancelled: the old list stays.
        w->ListeDateiName.clear();
        dialoge().expectBox(QMessageBox::Yes);
        dialoge().expectFile(QStringList());
        w->NeueListe1->trigger();
        QVERIFY(w->BPrgListe[1].Name.text() == "P1" && w->PrgGeaendert);
        dialoge().expectBox(QMessageBox::No);
        QVERIFY(w->NeueListe());
        for (int i = 0; i < 200; ++i)
            QCOMPARE(w->BPrgListe[size_t(i)].Name.text(), QByteArray("frei free libre"));
        QCOMPARE(w->FreierPlatz(), 1);
        QVERIFY(!w->ListeGeaendert && !w->PrgGeaendert && w->ListeDateiName.isEmpty() && w->Nummer() == 1);
        QCOMPARE(w->windowTitle(), QStringLiteral("Backprogrammliste: \"\""));
        QCOMPARE(w->NamenListe->cell(1, 200), QStringLiteral("frei free libre     "));
    }

    // Taking a list over asks about a changed one; Cancel and a failed "Ja" keep everything.
    void listeUebernehmen()
    {
        ListeLaden(w, volleListe(3), 2);
        w->ListeDateiName = datei("Alt.XQR");
        QVERIFY(w->ListeSpeichern1Click());
        mengeTippen(QStringLiteral("8"));
        const TBackprogrammListe neu = volleListe(7);
        dialoge().expectBox(QMessageBox::Cancel);
        QVERIFY(!w->ListeUebernehmen(QStringLiteral("XQ7310"), neu));
        QVERIFY(w->PrgGeaendert && w->ListeDateiName == datei("Alt.XQR") && w->BPrgListe[7].Name.text() != "P7");
        // "Ja": the old list goes to its old file first.
        dialoge().expectBox(QMessageBox::Yes);
        QVERIFY(w->ListeUebernehmen(QStringLiteral("XQ7310"), neu));
        QCOMPARE(dateiListe(datei("Alt.XQR"))[2].Menge, 8);
        QVERIFY(w->BPrgListe == neu && w->ListeDateiName == QLatin1String("XQ7310") && !w->ListeGeaendert);
        QCOMPARE(w->windowTitle(), QStringLiteral("Backprogrammliste: \"XQ7310\""));
        QCOMPARE(w->Nummer(), 1);
        // No usable name: the dialog proposes it with ".XQR".
        dialoge().expectFile(QStringList());
        QVERIFY(!w->ListeSpeichern1Click());
        QCOMPARE(dialoge().fileRequests().last().fileName, QStringLiteral("XQ7310.XQR"));
        // A minimised window comes back.
        w->showMinimized();
        QTRY_VERIFY(w->isMinimized());
        QVERIFY(w->ListeUebernehmen(QStringLiteral("XQ7310"), neu));
        QTRY_VERIFY(!w->isMinimized());
    }

    // Storing the editor into its slot at a save needs an edit; a phase button is one.
    void speichernNurNachBearbeitung()
    {
        TBackprogrammListe l = volleListe(3);
        l[4] = BeispielProgramm("feines Brot");
        ListeLaden(w, l, 4);
        w->ListeDateiName = datei("Liste.XQR");
        // The editor holds another program than its slot (as after a request that timed out).
        w->ProgrammSetzen(BeispielProgramm("Fremd"), 4);
        QVERIFY(w->ListeSpeichern1Click());
        QCOMPARE(dateiListe(datei("Liste.XQR"))[4].Name.text(), QByteArray("feines Brot"));
        QCOMPARE(w->ePrgName->toPlainText(), QStringLiteral("feines Brot"));
        w->UmwKnopf[3]->click();
        QVERIFY(w->PrgGeaendert);
        QVERIFY(w->ListeSpeichern1Click());
        QCOMPARE(dateiListe(datei("Liste.XQR"))[4].Phasen[2].Umwaelzer, quint8(w->UmwKnopf[3]->Zustand() ? 100 : 0));
    }
};

QTEST_MAIN(TstEditorDateien)
#include "tst_EditorDateien.moc"

// The list editor's transfers as a user works them, end to end against the stand-in controller
// over loopback: one program sent, read and deleted, whole lists both ways with the progress
// panel, cancelling, the faults that end or stall a transfer, and the lock meanwhile.
#include "support/LinkTestHilfe.h"
#include "support/Steuerung.h"

#include "XqSimFrame.h"
#include "app/Sammlung.h"
#include "app/Zeitgeber.h"
#include "link/uKelvor.h"
#include "link/uXQXKonstanten.h"
#include "programs/NamenMemo.h"
#include "programs/Selbsttest.h"
#include "programs/uXQXGesamtListe.h"

#include <QtTest>
#include <QtWidgets>
#include <memory>

namespace {
QByteArray textform(const TBackprogramm &p) { return BPrgTextSchreiben(p, true); }

TBackprogramm gelesen(const QByteArray &text)
{
    TBackprogramm p;
    BPrgTextLesen(text, p);
    return p;
}
} // namespace

class TstUebertragung : public QObject
{
    Q_OBJECT
    std::unique_ptr<TSteuerungsUmgebung> u;
    TwXQXGesamtListe *w = nullptr;

    TXqSim &sim() { return u->sim(); }
    TTestDialoge &dlg() { return u->env().dialoge(); }
    TwKelvor *haupt() { return u->env().fenster(); }
    bool fertig() { return Abwarten([this] { return u->ruhig(); }); }
    QStringList boxen()
    {
        QStringList t;
        for (const TBoxRequest &b : dlg().boxes())
            t << b.caption + u'|' + b.text;
        return t;
    }
    QList<QByteArray> bprg()
    {
        QList<QByteArray> p;
        for (const TXqSimFrame &f : sim().framesOf("BPRG"))
            p << f.params.left(f.params.startsWith("DELETE") ? 11 : 4);
        return p;
    }
    // The controller holds `programme`, each in the slot of its number.
    void steuerung(const QList<int> &programme)
    {
        sim().controller().clearPrograms();
        for (int nr : programme)
            sim().controller().setProgram(nr, textform(BeispielProgramm("Ofen " + QByteArray::number(nr))));
    }
    // The editor holds programs "Liste 1" and "Liste 3"; its names are those of the list.
    std::unique_ptr<TBackprogrammListe> editorListe()
    {
        auto l = std::make_unique<TBackprogrammListe>(FreieListe());
        (*l)[1] = BeispielProgramm("Liste 1");
        (*l)[3] = BeispielProgramm("Liste 3");
        ListeLaden(w, *l);
        return std::make_unique<TBackprogrammListe>(w->BPrgListe);
    }
    bool namenWieListe() const
    {
        for (int i = 1; i <= 199; ++i)
            if (w->BPrgNamen[size_t(i)] != w->BPrgListe[size_t(i)].Name.text()
                || w->NamenListe->cell(1, i + 1) != QString::fromLatin1(FormatName20(w->BPrgNamen[size_t(i)])))
                return false;
        return true;
    }
    // Locked: nothing but "Abbrechen" and "Ausblenden" answers, and the window stays open.
    bool gesperrt()
    {
        const bool aus = !w->File1->menuAction()->isEnabled() && !w->Bearbeiten1->menuAction()->isEnabled()
                         && !w->NamenListe->isEnabled() && !w->UpDown1->isEnabled() && !w->PintListBtn->isEnabled()
                         && !w->NrWahl->isEnabled() && !w->LesenPrgListe->isEnabled() && !w->SG1->isEnabled()
                         && w->Cancel->isEnabled() && w->Ausblenden->isEnabled();
        return aus && w->BedienungGesperrt() && w->TimeOut->enabled() && w->Beschaeftigt() && !w->close()
               && w->isVisible();
    }
    bool frei() const
    {
        return !w->BedienungGesperrt() && w->NamenListe->isEnabled() && w->SG1->isEnabled() && !w->TimeOut->enabled()
               && !w->FortschrittsPanel->isVisible() && !w->Beschaeftigt();
    }

private slots:
    void init()
    {
        u = std::make_unique<TSteuerungsUmgebung>();
        QVERIFY2(u->starten(), qPrintable(u->grund));
        w = u->env().oeffnenEditor();
        QVERIFY(w);
        QVERIFY(w->isVisible());
    }
    void cleanup()
    {
        SetTimeScale(1.0);
        QVERIFY(!u || dlg().unexpected() == 0);
        w = nullptr;
        u.reset();
    }

    void einProgramm()
    {
        auto liste = std::make_unique<TBackprogrammListe>(FreieListe());
        (*liste)[10] = BeispielProgramm("Weizen");
        ListeLaden(w, *liste, 10);
        w->ListeGeaendert = true;
        // Sent as its text form; a send does not lock.
        QTest::mouseClick(w->SendenPrg, Qt::LeftButton);
        QVERIFY(!w->BedienungGesperrt());
        QVERIFY(fertig());
        // The program as the editor holds it (its grid has the fan of phase 2 on).
        QCOMPARE(sim().controller().program(10), textform(w->AktBPrg));
        QCOMPARE(w->AktBPrg.Name.text(), QByteArray("Weizen"));
        QCOMPARE(boxen(), QStringList{QStringLiteral("ACHTUNG|Backprogramm\r\nerfolgreich übertragen!")});

        // Read back over another program: locked until it comes, then shown and in its slot.
        (*liste)[10] = BeispielProgramm("Anders");
        ListeLaden(w, *liste, 10);
        w->ListeGeaendert = true;
        QTest::mouseClick(w->LesenPrg, Qt::LeftButton);
        QVERIFY(gesperrt());
        QCOMPARE(QApplication::overrideCursor()->shape(), Qt::WaitCursor);
        QVERIFY(fertig());
        QVERIFY(frei());
        QVERIFY(!QApplication::overrideCursor());
        QCOMPARE(textform(w->BPrgListe[10]), sim().controller().program(10));
        QCOMPARE(w->ePrgName->Name(), QByteArray("Weizen"));
        QVERIFY(w->Nummer() == 10);
        QVERIFY(w->NamenListe->cell(1, 11).startsWith(QLatin1String("Weizen ")));
        QVERIFY(w->ListeGeaendert);
        QVERIFY(!w->PrgGeaendert);

        // A free slot deletes the controller's program.
        QTest::mouseClick(w->PrgEraseBtn, Qt::LeftButton);
        QTest::mouseClick(w->SendenPrg, Qt::LeftButton);
        QVERIFY(fertig());
        QCOMPARE(sim().framesOf("BPRG").last().params, QByteArray("DELETE\t000A"));
        QVERIFY(!sim().controller().hasProgram(10));
    }

    // "Backprogramm senden" from the menu: after the window was closed and opened again the
    // program of the shown number goes out, not a delete; a free slot filled without leaving the
    // grid goes out under the name of its number.
    void sendenAusDemMenue()
    {
        auto liste = std::make_unique<TBackprogrammListe>(FreieListe());
        (*liste)[5] = BeispielProgramm("Weizen");
        ListeLaden(w, *liste, 5);
        QVERIFY(w->close());
        haupt()->BPrgBtn->click();
        QTRY_VERIFY(w->isVisible());
        w->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(w));
        w->BPrgSendenan1->trigger();
        QVERIFY(fertig());
        QCOMPARE(bprg(), QList<QByteArray>{"0005"});
        QCOMPARE(gelesen(sim().controller().program(5)).Name.text(), QByteArray("Weizen"));

        w->NrWahl->setValue(7);
        // The confirmation box took the focus.
        w->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(w));
        ZelleTippen(w, 1, 1, QStringLiteral("200"));
        w->BPrgSendenan1->trigger();
        QVERIFY(fertig());
        QCOMPARE(bprg(), (QList<QByteArray>{"0005", "0007"}));
        const TBackprogramm sieben = gelesen(sim().controller().program(7));
        QVERIFY(sieben.Name.text() == "P007");
        QVERIFY(sieben.Phasen[0].Temperatur == 200);
        QVERIFY(w->ePrgName->Name() == "P007");
        QVERIFY(w->PrgGeaendert);
        QCOMPARE(dlg().boxes().size(), 2);
    }

    // Numbers outside 1..199 change nothing; answers back to back, or while a step's question is
    // open, land each in its own slot.
    void antwortenDesLinks()
    {
        const std::unique_ptr<TBackprogrammListe> vorher = editorListe();
        const QByteArray fremd = textform(BeispielProgramm("Fremd"));
        for (const char *nr : {"-1", "200", "0", "x"})
            emit haupt()->Zugang()->AntwortEmpfangen(fremd, nr);
        QVERIFY(Abwarten([this] { return !w->Beschaeftigt(); }));
        QVERIFY(w->BPrgListe == *vorher);
        QVERIFY(w->Nummer() == 1);
        QVERIFY(w->ePrgName->Name() == "Liste 1");

        TBackprogramm heiss = BeispielProgramm("Heiss");
        heiss.Phasen[0].Temperatur = 900;
        dlg().expectBox(QMessageBox::No);
        // The range question of program 7 is open when program 8 arrives.
        dlg().waehrendBox = [this](const TBoxRequest &) {
            dlg().waehrendBox = nullptr;
            emit haupt()->Zugang()->AntwortEmpfangen(textform(BeispielProgramm("Acht")), "8");
            QCoreApplication::processEvents();
        };
        emit haupt()->Zugang()->AntwortEmpfangen(textform(BeispielProgramm("Fuenf")), "5");
        emit haupt()->Zugang()->AntwortEmpfangen(textform(BeispielProgramm("Sechs")), "6");
        emit haupt()->Zugang()->AntwortEmpfangen(textform(heiss), "7");
        QVERIFY(Abwarten([this] { return !w->Beschaeftigt(); }));
        QCOMPARE(dlg().boxes().size(), 1);
        const QList<QByteArray> namen{"Liste 1", "frei free libre", "Liste 3", "frei free libre", "Fuenf", "Sechs", "Heiss", "Acht"};
        for (int i = 1; i <= 8; ++i)
            QVERIFY2(w->BPrgListe[size_t(i)].Name.text().startsWith(namen[i - 1]), qPrintable(QString::number(i)));
        QCOMPARE(w->BPrgListe[7].Phasen[0].Temperatur, 900);
        QVERIFY(w->Nummer() == 8);
        QVERIFY(namenWieListe());
    }

    // The self-test's full pattern goes out as a whole list and comes back without an error;
    // the panel's labels switch as they should.
    void selbsttestHinUndZurueck()
    {
        w->DoDefaults_voll->click();
        w->Chk_v->click();
        QCOMPARE(w->Memo1->toPlainText(), QStringLiteral("fehlerfrei"));
        QStringList anzeige;
        connect(haupt()->Zugang(), &TLinkZugang::FortschrittAnzeigen, this, [&](int pos) {
            anzeige << QStringLiteral("%1:%2%3%4").arg(pos).arg(!w->Label14->isHidden() ? "14" : "")
                           .arg(!w->Label15->isHidden() ? "15" : "").arg(w->FortschrittsPanel->isVisible() ? "" : ":frei");
        });
        QTest::mouseClick(w->SendenPrgListe, Qt::LeftButton);
        QVERIFY(gesperrt());
        QVERIFY(w->FortschrittsPanel->isVisible());
        QVERIFY(w->Label_FromPC->isVisible());
        QVERIFY(!w->Label_ToPC->isVisible());
        QVERIFY(fertig());
        QVERIFY(frei());
        for (int i = 1; i <= 199; ++i)
            QCOMPARE(sim().controller().program(i), textform(w->BPrgListe[size_t(i)]));
        QCOMPARE(anzeige.first(3), (QStringList{"6:14", "12:14", "18:14"}));
        QCOMPARE(anzeige.mid(7, 2), (QStringList{"48:14", "54:15"}));
        QCOMPARE(anzeige.last(3), (QStringList{"198:15", "200:14:frei", "200:14:frei"}));

        // Back: taken over as "XQ7310", then the Save As proposes that name.
        dlg().expectFile(QString());
        w->BPrgListe = FreieListe();
        QTest::mouseClick(w->LesenPrgListe, Qt::LeftButton);
        QVERIFY(gesperrt());
        QVERIFY(w->Label_ToPC->isVisible());
        QVERIFY(fertig());
        QVERIFY(frei());
        QCOMPARE(dlg().fileRequests().size(), 1);
        QCOMPARE(dlg().fileRequests().first().fileName, QStringLiteral("XQ7310"));
        QCOMPARE(w->windowTitle(), QStringLiteral("Backprogrammliste: \"XQ7310\""));
        w->Chk_v->click();
        QCOMPARE(w->Memo1->toPlainText(), QStringLiteral("fehlerfrei"));
    }

    // Chunks longer than 32766 characters reach the controller and come back whole.
    void grosseTeile()
    {
        auto liste = std::make_unique<TBackprogrammListe>(FreieListe());
        for (int i = 0; i <= 199; ++i)
            (*liste)[size_t(i)] = VollesProgramm(i);
        ListeLaden(w, *liste);
        for (const QByteArray &teil : ListenteileBilden(w->BPrgListe).first(11))
            QVERIFY(teil.size() > 32766);
        w->ListeSenden(w->BPrgListe);
        QVERIFY(fertig());
        for (int i = 1; i <= 199; ++i)
            QCOMPARE(sim().controller().program(i), textform(w->BPrgListe[size_t(i)]));

        qsizetype laengster = 0;
        connect(haupt()->Zugang(), &TLinkZugang::ListenTeilEmpfangen, this,
                [&](const QByteArray &teil, quint8) { laengster = qMax(laengster, teil.size()); });
        const QString datei = u->env().path(QStringLiteral("liste.XQR"));
        dlg().expectFile(datei);
        QVERIFY(w->ListeEmpfangen1Click());
        QVERIFY(fertig());
        QVERIFY(laengster > 32766);
        QCOMPARE(w->ListeDateiName, datei);
        QVERIFY(QFile::exists(datei));
        QVERIFY(!w->ListeGeaendert);
        for (int i = 1; i <= 199; ++i)
            QCOMPARE(textform(w->BPrgListe[size_t(i)]), textform(gelesen(sim().controller().program(i))));
    }

    // The demo list of ./run.sh used to raise "Abzug-Zeiten: kleiner als die Gesamtbackzeit."
    // for every program shown, and could not be saved, sent or printed unchanged.
    void demoListeOhneMeldung()
    {
        sim().controller().clearPrograms();
        sim().controller().seedDemoPrograms(5);
        const QString datei = u->env().path(QStringLiteral("demo.XQR"));
        dlg().expectFile(datei);
        QVERIFY(w->ListeEmpfangen1Click());
        QVERIFY(fertig());
        QCOMPARE(w->ListeDateiName, datei);
        QCOMPARE(w->BPrgNamen[1], QByteArray("Weizenbr\xF6tchen"));
        // Each shown, and checked as it would be sent.
        for (int nr = 1; nr <= 5; ++nr) {
            w->NrWahl->setValue(nr);
            QVERIFY(w->GridZuProgramm(true, OpSenden));
        }
        for (int op : {OpSpeichern, OpSenden, OpDrucken}) {
            bool gespeichert = false;
            QVERIFY(w->ListePruefen(true, op, w->BPrgListe, gespeichert));
        }
        QCOMPARE(boxen(), QStringList());
    }

    // Cancelled while program 5's answer is on the wire: it reaches nobody, program 9 is never
    // asked for, and the editor keeps its list with its names.
    void abbrechenLesen()
    {
        steuerung({2, 5, 9});
        const std::unique_ptr<TBackprogrammListe> vorher = editorListe();
        sim().addFault("BPRG", "0005", TXqSimFault::delay(300));
        bool offen = false;
        connect(&sim(), &TXqSim::frameReceived, this, [&](const TXqSimFrame &f) {
            if (f.word != "BPRG" || f.params != "0005")
                return;
            offen = gesperrt();
            w->Ausblenden->click();
            QTest::mouseClick(w->Cancel, Qt::LeftButton);
        });
        QVERIFY(w->ListeEmpfangen1Click());
        QVERIFY(fertig());
        QVERIFY(offen);
        QVERIFY(frei());
        QCOMPARE(bprg(), (QList<QByteArray>{"0002", "0005"}));
        QVERIFY(w->BPrgListe == *vorher);
        QVERIFY(namenWieListe());
        QVERIFY(dlg().fileRequests().isEmpty());
        QVERIFY(dlg().boxes().isEmpty());
    }

    // Cancelled while its chunks are being loaded: nothing reaches the controller.
    void abbrechenSchreiben()
    {
        steuerung({2});
        editorListe();
        QAbstractItemModel *zeilen = u->link()->Makros->model();
        connect(zeilen, &QAbstractItemModel::rowsRemoved, this, [&] {
            if (zeilen->rowCount() == 10)
                QTest::mouseClick(w->Cancel, Qt::LeftButton);
        });
        QTest::mouseClick(w->SendenPrgListe, Qt::LeftButton);
        QVERIFY(fertig());
        QVERIFY(frei());
        QVERIFY(sim().frames().isEmpty());
        QVERIFY(sim().controller().hasProgram(2));
    }

    void leseFehler_data()
    {
        QTest::addColumn<TXqSimFault>("fehler");
        QTest::addColumn<int>("mal");
        QTest::addColumn<bool>("ausblenden");
        QTest::addColumn<QList<QByteArray>>("gefragt");
        QTest::addColumn<QString>("box"); // caption|start of the text; empty: taken over
        const QByteArray kaputt = xqsim::BuildFrame("BPRG0005\t##HEAD\tNAME =Kaputt\t") + '\n';
        QTest::newRow("falsche Nummer einmal")
            << TXqSimFault::wrongNumber(7) << 1 << false << QList<QByteArray>{"0003", "0005", "0005", "0007"} << QString();
        QTest::newRow("falsche Nummer immer") << TXqSimFault::wrongNumber(7) << -1 << false
                                              << QList<QByteArray>{"0003", "0005", "0005", "0005"}
                                              << QStringLiteral("Fehler|127.000.000.002_BPRG: Falsche PrgNummer 0007");
        // Stands still: the watchdog ends it, shown or hidden.
        QTest::newRow("falsches Format") << TXqSimFault::raw(kaputt) << 1 << false << QList<QByteArray>{"0003", "0005"}
                                         << QStringLiteral("ERROR|TimeOut BPrg-Übertragung");
        QTest::newRow("falsches Format, ausgeblendet") << TXqSimFault::raw(kaputt) << 1 << true
                                                       << QList<QByteArray>{"0003", "0005"}
                                                       << QStringLiteral("ERROR|TimeOut BPrg-Übertragung");
        QTest::newRow("stumm") << TXqSimFault::of(TXqSimFault::Silence) << -1 << false
                               << QList<QByteArray>{"0003", "0005", "0005", "0005"}
                               << QStringLiteral("Fehler|127.000.000.002_BPRG: TIMEOUT");
    }
    void leseFehler()
    {
        QFETCH(TXqSimFault, fehler);
        QFETCH(int, mal);
        QFETCH(bool, ausblenden);
        QFETCH(QList<QByteArray>, gefragt);
        QFETCH(QString, box);
        steuerung({3, 5, 7});
        const std::unique_ptr<TBackprogrammListe> vorher = editorListe();
        sim().addFault("BPRG", "0005", fehler, mal);
        // The time-outs of program 5 fast.
        if (fehler.kind == TXqSimFault::Silence)
            connect(haupt(), &TwKelvor::BefehlBeendet, this, [](const NeuerBefehl &b) {
                if (b.Name == SB_BPL2.Name)
                    SetTimeScale(0.2);
            });
        if (box.isEmpty())
            dlg().expectFile(QString());
        QVERIFY(w->ListeEmpfangen1Click());
        if (ausblenden)
            w->Ausblenden->click();
        if (fehler.kind == TXqSimFault::Raw) {
            // Everything answered, nothing asked: the transfer stands until the watchdog fires.
            QVERIFY(Abwarten([this] { return sim().count("TRX ") == 3 && sim().answersPending() == 0; }));
            QVERIFY(w->Beschaeftigt());
            QVERIFY(u->link()->UebertragungAktiv());
            QVERIFY(w->BedienungGesperrt());
            QCOMPARE(w->FortschrittsPanel->isVisible(), !ausblenden);
            SetTimeScale(0.01);
            w->TimeOut->restart();
        }
        QVERIFY(fertig());
        SetTimeScale(1.0);
        QVERIFY(frei());
        QCOMPARE(bprg(), gefragt);
        if (box.isEmpty()) {
            QVERIFY(boxen().isEmpty());
            QCOMPARE(textform(w->BPrgListe[5]), textform(gelesen(sim().controller().program(5))));
            return;
        }
        // One box, and the editor keeps its list.
        QCOMPARE(boxen().size(), 1);
        QVERIFY2(boxen().first().startsWith(box), qPrintable(boxen().first()));
        QVERIFY(w->BPrgListe == *vorher);
        QVERIFY(namenWieListe());
    }

    // Each answer of a transfer starts the watchdog's count anew.
    void wachhundNeustart()
    {
        steuerung({3});
        editorListe();
        // Held at the start and again at the program's request.
        sim().setAnswersHeld(true);
        connect(&sim(), &TXqSim::frameReceived, this, [this](const TXqSimFrame &f) {
            if (f.word == "BPRG")
                sim().setAnswersHeld(true);
        });
        dlg().expectFile(QString());
        QVERIFY(w->ListeEmpfangen1Click());
        QVERIFY(Abwarten([this] { return sim().count("BPL2") == 1 && w->TimeOut->verbleibendMs() < 27000; }));
        const int vorher = w->TimeOut->verbleibendMs();
        sim().setAnswersHeld(false);
        // The name list came: its answer started the count again.
        QVERIFY(Abwarten([this] { return sim().count("BPRG") == 1; }));
        QVERIFY2(w->TimeOut->verbleibendMs() > vorher, qPrintable(QString::number(w->TimeOut->verbleibendMs())));
        QVERIFY(gesperrt());
        sim().setAnswersHeld(false);
        QVERIFY(fertig());
        QVERIFY(frei());
        QVERIFY(boxen().isEmpty());
    }

    // A refused read leaves the window locked until the watchdog frees it; the status poll's
    // answers meanwhile do not hold it off.
    void statusabfrageHaeltSperreNicht()
    {
        steuerung({5});
        sim().addFault("BPRG", "0005", TXqSimFault::of(TXqSimFault::Refuse), -1);
        int statBeimWachhund = -1;
        connect(w->TimeOut, &TTimer::timeout, this, [&] { statBeimWachhund = sim().count("STAT"); });
        // A watchdog of 7.5 s and a poll every 500 ms, gentle enough for a busy machine.
        SetTimeScale(0.25);
        u->link()->StatInt->setValue(2000);
        haupt()->StatTimer->setChecked(true);
        u->link()->StatusTimer->setInterval(u->link()->StatInt->value());
        QVERIFY(Abwarten([this] { return sim().count("STAT") >= 2; }));
        const int statVorher = sim().count("STAT");
        w->NrWahl->setValue(5);
        QTest::mouseClick(w->LesenPrg, Qt::LeftButton);
        QVERIFY(w->BedienungGesperrt());
        QVERIFY(Abwarten([this] { return !w->BedienungGesperrt(); }));
        haupt()->StatTimer->setChecked(false);
        SetTimeScale(1.0);
        // The poll was answered while the window waited.
        QVERIFY2(statBeimWachhund > statVorher, qPrintable(QString::number(statBeimWachhund - statVorher)));
        QVERIFY(boxen().contains(QStringLiteral("ERROR|TimeOut BPrg-Übertragung")));
        QVERIFY(fertig());
        QVERIFY(frei());
        QCOMPARE(sim().count("BPRG"), 3);
    }

    // "Ja" goes on only when the list was saved; the Save As comes only for a list taken over.
    void speichernVorDemLesen_data()
    {
        QTest::addColumn<bool>("schreibfehler");
        QTest::newRow("Dialog abgebrochen") << false;
        QTest::newRow("Schreibfehler") << true;
    }
    void speichernVorDemLesen()
    {
        QFETCH(bool, schreibfehler);
        const std::unique_ptr<TBackprogrammListe> vorher = editorListe();
        w->ListeGeaendert = true;
        dlg().expectBox(QMessageBox::Yes);
        if (schreibfehler) {
            w->ListeDateiName = u->env().path(QStringLiteral("fehlt/liste.XQR"));
            dlg().expectBox(QMessageBox::Ok);
            dlg().expectBox(QMessageBox::No);
        } else {
            dlg().expectFile(QString());
        }
        QVERIFY(!w->ListeEmpfangen1Click());
        QVERIFY(!w->Beschaeftigt());
        QVERIFY(u->link()->MakroZeilen().isEmpty());
        QVERIFY(w->ListeGeaendert);
        QVERIFY(w->ListeDateiName != QStringLiteral("XQ7310"));
        QVERIFY(namenWieListe());
        QCOMPARE(w->BPrgListe[3].Name.text(), (*vorher)[3].Name.text());
        QVERIFY(dlg().allAnswersUsed());
    }
    void uebernahmeAbgelehnt()
    {
        steuerung({4});
        const std::unique_ptr<TBackprogrammListe> vorher = editorListe();
        // Changed after the window was freed, before the chunks are taken over.
        connect(haupt()->Zugang(), &TLinkZugang::FortschrittAnzeigen, this, [this](int pos) {
            if (pos == 200)
                w->ListeGeaendert = true;
        });
        dlg().expectBox(QMessageBox::Cancel);
        QVERIFY(w->ListeEmpfangen1Click());
        QVERIFY(fertig());
        QVERIFY(w->BPrgListe == *vorher);
        QVERIFY(namenWieListe());
        QVERIFY(dlg().fileRequests().isEmpty());
        QCOMPARE(boxen(), QStringList{QStringLiteral("ACHTUNG|Backprogrammliste wurde verändert!\r\nWollen Sie speichern?")});
    }
};

QTEST_MAIN(TstUebertragung)
#include "tst_Uebertragung.moc"

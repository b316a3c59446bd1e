// The repeat-transfer test of the service view against the list editor and the stand-in
// controller: the boxes, the list file, the steps and when a step is skipped.
#include "support/LinkTestHilfe.h"
#include "support/Steuerung.h"

#include "app/Sammlung.h"
#include "app/Zeitgeber.h"
#include "link/uKelvor.h"
#include "programs/uXQXGesamtListe.h"

#include <QtTest>
#include <QtWidgets>
#include <memory>

class TstWiederholung : public QObject
{
    Q_OBJECT
    std::unique_ptr<TSteuerungsUmgebung> u;
    TwKelvor *k = nullptr;
    TwXQXGesamtListe *w = nullptr;
    QString datei;

    TTestDialoge &dlg() { return u->env().dialoge(); }
    TXqSim &sim() { return u->sim(); }
    bool fertig() { return Abwarten([this] { return u->ruhig(); }); }
    // The error list without its time stamps.
    QStringList fehler() const
    {
        QStringList t;
        for (int i = 0; i < k->LBError->count(); ++i)
            t << k->LBError->item(i)->text().section(u'-', 1, -1);
        return t;
    }
    void sendenWaehlen(const QString &name)
    {
        dlg().expectFile(name);
        k->RepeatBprgSend->setChecked(true);
    }

private slots:
    void init()
    {
        u = std::make_unique<TSteuerungsUmgebung>();
        QVERIFY2(u->starten(), qPrintable(u->grund));
        k = u->env().oeffnen({QStringLiteral("QUAMP")}, true);
        w = wXQXGesamtListe;
        QVERIFY(k);
        QVERIFY(w);
        QVERIFY(!k->RepeatTimer->enabled());
        // A list file of three programs in the programs' folder.
        auto liste = std::make_unique<TBackprogrammListe>(FreieListe());
        for (int i : {2, 4, 6})
            (*liste)[size_t(i)] = BeispielProgramm("Wiederholt " + QByteArray::number(i));
        QVERIFY(QDir().mkpath(BPrgXQDir));
        datei = BPrgXQDir + QStringLiteral("/test.XQR");
        QVERIFY(BPrgListeSpeichern(datei, *liste));
        k->ClearBtnClick();
    }
    void cleanup()
    {
        QVERIFY(!u || dlg().unexpected() == 0);
        u.reset();
    }

    // Both boxes: send, read, send, each after the transfer before ended; the second box leaves
    // the running period alone.
    void abwechselnd()
    {
        sendenWaehlen(datei);
        QCOMPARE(dlg().fileRequests().first().filter, QtDateiFilter(QStringLiteral("XQ-Vant2004-Backprogramm-Listen|*.XQR")));
        QCOMPARE(dlg().fileRequests().first().directory, BPrgXQDir);
        QVERIFY(k->RepSendNext);
        QVERIFY(k->RepListFile == datei);
        QVERIFY(k->RepeatListName->text() == datei);
        QVERIFY(k->RepeatTimer->enabled());
        QVERIFY(QTest::qWaitFor([this] { return k->RepeatTimer->verbleibendMs() < 299990; }));
        k->RepeatBprgRead->setChecked(true);
        QVERIFY(k->RepeatTimer->verbleibendMs() < 299990);
        QVERIFY(k->RepSendNext);

        QTest::mouseClick(k->SofortSenden, Qt::LeftButton);
        QVERIFY(w->isVisible());
        QVERIFY(w->ListeDateiName == datei);
        QVERIFY(fertig());
        QCOMPARE(sim().controller().programs().keys(), (QList<int>{2, 4, 6}));
        QVERIFY(!k->RepSendNext);
        QVERIFY(k->RepeatTimer->enabled());

        // The read takes the list over without the Save As.
        sim().controller().setProgram(9, BPrgTextSchreiben(BeispielProgramm("Neu"), true));
        QTest::mouseClick(k->SofortSenden, Qt::LeftButton);
        QVERIFY(fertig());
        QCOMPARE(w->ListeDateiName, QStringLiteral("XQ7310"));
        QCOMPARE(w->BPrgListe[9].Name.text(), QByteArray("Neu"));
        QVERIFY(k->RepSendNext);
        QVERIFY(k->RepeatTimer->enabled());
        k->RepeatTimerTimer();
        QVERIFY(w->Beschaeftigt());
        QVERIFY(w->ListeDateiName == datei);
        QCOMPARE(fehler(), (QStringList{"RepSend", "RepRead", "RepSend"}));
        QVERIFY(dlg().fileRequests().size() == 1);
        QVERIFY(dlg().boxes().isEmpty());
        w->CancelClick();
        QVERIFY(fertig());
    }

    // A file that is not taken over sends nothing, however it failed.
    void nichtGeoeffnet_data()
    {
        QTest::addColumn<int>("fall");
        QTest::newRow("Datei abgelehnt") << 0;
        QTest::newRow("andere Endung") << 1;
        QTest::newRow("Frage abgebrochen") << 2;
    }
    void nichtGeoeffnet()
    {
        QFETCH(int, fall);
        QString name = datei;
        if (fall == 0) {
            name = BPrgXQDir + QStringLiteral("/kurz.XQR");
            QVERIFY(dateiSchreiben(name, "zu kurz"));
            dlg().expectBox(QMessageBox::Ok);
        } else if (fall == 1) {
            name = BPrgXQDir + QStringLiteral("/test.txt");
            QVERIFY(QFile::copy(datei, name));
        } else {
            w->ListeGeaendert = true;
            dlg().expectBox(QMessageBox::Cancel);
        }
        sendenWaehlen(name);
        const auto vorher = std::make_unique<TBackprogrammListe>(w->BPrgListe);
        k->RepeatTimerTimer();
        QVERIFY(dlg().allAnswersUsed());
        QVERIFY(!w->Beschaeftigt());
        QVERIFY(u->link()->MakroZeilen().isEmpty());
        QVERIFY(w->BPrgListe == *vorher);
        QCOMPARE(fehler(), QStringList{"RepSend"});
        QVERIFY(k->RepeatTimer->enabled());
        QVERIFY(k->RepeatBprgSend->isChecked());
    }

    void dialogAbgebrochen()
    {
        k->RepeatBprgRead->setChecked(true);
        QVERIFY(k->RepeatTimer->enabled());
        QVERIFY(QTest::qWaitFor([this] { return k->RepeatTimer->verbleibendMs() < 299990; }));
        sendenWaehlen(QString());
        QVERIFY(!k->RepeatBprgSend->isChecked());
        QVERIFY(k->RepListFile.isEmpty());
        QVERIFY(k->RepeatListName->text().isEmpty());
        QVERIFY(!k->RepSendNext);
        QVERIFY(k->RepeatTimer->verbleibendMs() < 299990);
        k->RepeatBprgRead->setChecked(false);
        sendenWaehlen(QString());
        QVERIFY(k->RepeatTimer->enabled());
    }

    // Unticking the send box makes the next step a read; with both unticked one more mark comes,
    // then the timer stops; "SofortSenden" then does nothing.
    void abwaehlen()
    {
        sendenWaehlen(datei);
        k->RepeatBprgRead->setChecked(true);
        k->RepeatBprgSend->setChecked(false);
        QVERIFY(!k->RepSendNext);
        k->RepeatBprgRead->setChecked(false);
        k->RepeatTimerTimer();
        QVERIFY(!k->RepeatTimer->enabled());
        k->SofortSendenClick();
        QCOMPARE(fehler(), QStringList{"RepRead"});
        QVERIFY(u->link()->MakroZeilen().isEmpty());
    }

    // While a box is ticked the watchdog's box closes itself too.
    void boxenSchliessenSich()
    {
        k->RepeatBprgRead->setChecked(true);
        w->show();
        w->NrWahl->setValue(5);
        QTest::mouseClick(w->LesenPrg, Qt::LeftButton);
        // The controller has no program 5: the window waits for the watchdog.
        QVERIFY(Abwarten([this] { return !dlg().boxes().isEmpty() && sim().count("TRX ") == 1; }));
        QVERIFY(w->BedienungGesperrt());
        SetTimeScale(0.01);
        w->TimeOut->restart();
        QVERIFY(Abwarten([this] { return !w->BedienungGesperrt(); }));
        SetTimeScale(1.0);
        QStringList boxen;
        for (const TBoxRequest &b : dlg().boxes())
            boxen << b.caption + u'|' + b.text + (b.buttons == (QMessageBox::Ok | QMessageBox::Cancel) ? "|timed" : "");
        QCOMPARE(boxen, (QStringList{"Fehler|Backprogramm kann\r\nnicht geöffnet werden!|timed",
                                     "ERROR|TimeOut BPrg-Übertragung|timed"}));
    }

    // While a transfer runs the step waits for the next turn, and still sends then.
    void uebersprungen()
    {
        sendenWaehlen(datei);
        sim().setAnswersHeld(true);
        dlg().expectFile(QString());
        QVERIFY(w->ListeEmpfangen1Click());
        k->RepeatTimerTimer();
        QVERIFY(k->RepSendNext);
        QVERIFY(k->RepeatTimer->enabled());
        QCOMPARE(fehler(), QStringList{"Wiederholung übersprungen: Übertragung läuft"});
        sim().setAnswersHeld(false);
        QVERIFY(fertig());
        k->RepeatTimerTimer();
        QCOMPARE(fehler().last(), QStringLiteral("RepSend"));
        QVERIFY(w->Beschaeftigt());
        QVERIFY(w->ListeDateiName == datei);
        w->CancelClick();
        QVERIFY(fertig());
    }
};

QTEST_MAIN(TstWiederholung)
#include "tst_Wiederholung.moc"

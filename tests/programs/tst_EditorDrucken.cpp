// The list editor's print entries, offscreen, with every print job written to a PDF file:
// marked and all programs through the report window, the name list, the printer set-up.
#include "support/DruckHilfe.h"
#include "support/Listeneditor.h"

#include "app/Drucker.h"
#include "printing/RpFormSetup_NQ_dt.h"
#include "programs/uXQXGesamtListe.h"

#include <QtTest>
#include <QtWidgets>
#include <memory>

class TstEditorDrucken : public QObject
{
    Q_OBJECT
    std::unique_ptr<TListeneditorUmgebung> env;
    std::unique_ptr<TPdfDrucker> pdf;
    TwXQXGesamtListe *w = nullptr;

    QString berichtPdf() const { return PdfDruckerDatei(QStringLiteral("XQBackprogramm")); }
    // The set-up window of a run: print, to the (PDF) printer.
    void druckenBestaetigen()
    {
        env->dialoge().expectDialog([](QDialog *d) {
            auto *s = qobject_cast<TRPSetupForm_NQ_dt *>(d);
            if (!s)
                return int(QDialog::Rejected);
            s->rbDrucker->setChecked(true);
            return int(QDialog::Accepted);
        });
    }
    void markieren(int von, int bis)
    {
        const QAbstractItemModel *m = w->NamenListe->model();
        w->NamenListe->selectionModel()->select(QItemSelection(m->index(von + 1, 0), m->index(bis + 1, 1)),
                                                QItemSelectionModel::ClearAndSelect);
    }

private slots:
    void initTestCase() { EigeneServerAdresse(); }
    void init()
    {
        env.reset();
        env = std::make_unique<TListeneditorUmgebung>();
        pdf = std::make_unique<TPdfDrucker>(env->path(QStringLiteral("pdf")));
        w = env->oeffnenEditor();
        QVERIFY(w && w->isVisible());
        TBackprogrammListe l = FreieListe();
        for (int i = 1; i <= 6; ++i)
            l[size_t(i)] = BeispielProgramm("Slot" + QByteArray::number(i));
        ListeLaden(w, l, 1);
    }
    void cleanup()
    {
        QCOMPARE(env->dialoge().unexpected(), 0);
        QVERIFY(env->dialoge().allAnswersUsed());
        w = nullptr;
        pdf.reset();
        env.reset();
    }

    // The marked rows 3..5 print slots 2..4, with the captions of the phase buttons.
    void markierteProgramme()
    {
        markieren(2, 4);
        druckenBestaetigen();
        w->Drucken1->trigger();
        QCOMPARE(env->dialoge().dialogs(), QStringList{"RPSetupForm_NQ_dt"});
        const QStringList seiten = pdfSeitenText(berichtPdf());
        QCOMPARE(seiten.size(), 3);
        for (int s = 0; s < 3; ++s) {
            QVERIFY(seiten[s].contains(QStringLiteral("Slot%1").arg(s + 2)));
            QVERIFY(seiten[s].contains(QStringLiteral("s auf")) && seiten[s].contains(QStringLiteral("min zu")));
        }
        // The hidden entries print the same way.
        QFile::remove(berichtPdf());
        markieren(6, 6);
        druckenBestaetigen();
        w->MarkierteBackprogrammedruckenVorschau1->trigger();
        QCOMPARE(pdfSeitenText(berichtPdf()).size(), 1);
    }

    // A check answered "No" prints nothing.
    void pruefungVerhindertDruck()
    {
        w->BPrgListe[3].Phasen[0].Temperatur = 500;
        markieren(1, 3);
        env->dialoge().expectBox(QMessageBox::No);
        w->Drucken1->trigger();
        QCOMPARE(env->dialoge().boxes().size(), 1);
        QVERIFY(env->dialoge().boxes()[0].text.contains(QStringLiteral("Backprogramm-Liste kann so nicht gedruckt werden!")));
        env->dialoge().expectBox(QMessageBox::Cancel);
        w->AlleBackprogrammedrucken1->trigger();
        QVERIFY(env->dialoge().dialogs().isEmpty());
        QVERIFY(!QFile::exists(berichtPdf()));
        QCOMPARE(w->BPrgListe[3].Phasen[0].Temperatur, 500);
    }

    void alleProgramme()
    {
        druckenBestaetigen();
        w->AlleBackprogrammedruckenVorschau1->trigger();
        const QStringList seiten = pdfSeitenText(berichtPdf());
        QCOMPARE(seiten.size(), 6);
        QVERIFY(seiten[5].contains(QStringLiteral("Slot6")));
    }

    void namenliste()
    {
        w->ListeDateiName = env->path(QStringLiteral("Woche.XQR"));
        w->PintListBtn->click();
        for (int teil = 1; teil <= 2; ++teil) {
            const QString datei = PdfDruckerDatei(QStringLiteral("Kelvor Namenliste Teil %1").arg(teil));
            const QStringList seiten = pdfSeitenText(datei);
            QCOMPARE(seiten.size(), 1);
            QVERIFY(seiten[0].contains(QStringLiteral("Programmübersicht: Woche.XQR")));
            QVERIFY(seiten[0].contains(teil == 1 ? QStringLiteral("Slot5") : QStringLiteral("199")));
            QFile::remove(datei);
        }
        w->ListeDrucken1->trigger();
        QVERIFY(QFile::exists(PdfDruckerDatei(QStringLiteral("Kelvor Namenliste Teil 2"))));
        QVERIFY(env->dialoge().boxes().isEmpty());
    }

    void druckereinrichtung()
    {
        env->dialoge().expectDialog([](QDialog *) { return int(QDialog::Rejected); });
        w->Druckereinrichtung1->trigger();
        QCOMPARE(env->dialoge().dialogs(), QStringList{"PrinterSetupDialog1"});
    }
};

QTEST_MAIN(TstEditorDrucken)
#include "tst_EditorDrucken.moc"

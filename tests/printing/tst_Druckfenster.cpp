// The print windows as the program creates them, and the main window's printer set-up.
#include "support/DruckHilfe.h"
#include "support/Hauptfenster.h"

#include "app/Drucker.h"
#include "link/uKelvor.h"
#include "printing/RpFormPreview_NQ_dt.h"
#include "printing/RpFormSetup_NQ_dt.h"
#include "printing/uRaveDrucken.h"

#include <QPrintDialog>
#include <QtTest>
#include <QtWidgets>
#include <memory>

class TstDruckfenster : public QObject
{
    Q_OBJECT
    std::unique_ptr<THauptfensterUmgebung> env;
    std::unique_ptr<TPdfDrucker> pdfDrucker;

private slots:
    void initTestCase() { EigeneServerAdresse(); }
    void init()
    {
        env = std::make_unique<THauptfensterUmgebung>();
        pdfDrucker = std::make_unique<TPdfDrucker>(env->path(QStringLiteral("pdf")));
    }
    void cleanup()
    {
        pdfDrucker.reset();
        QCOMPARE(env->dialoge().unexpected(), 0);
        QVERIFY(env->dialoge().allAnswersUsed());
        env.reset();
    }

    void fensterInIhrerReihe()
    {
        TwKelvor *w = env->oeffnen();
        QVERIFY(RavePreviewForm_NQ_dt);
        QVERIFY(RPSetupForm_NQ_dt);
        QVERIFY(wRaveDrucken);
        QStringList reihe;
        for (QObject *o : w->children())
            if (o->isWidgetType() && static_cast<QWidget *>(o)->isWindow())
                reihe << o->objectName();
        const QStringList unsere{"AboutBox", "RavePreviewForm_NQ_dt", "RPSetupForm_NQ_dt", "wRaveDrucken"};
        const qsizetype about = reihe.indexOf(QStringLiteral("AboutBox"));
        QVERIFY2(about >= 0, qPrintable(reihe.join(QLatin1Char(' '))));
        QVERIFY2(reihe.mid(about, 3) == unsere.mid(0, 3), qPrintable(reihe.join(QLatin1Char(' '))));
        QVERIFY2(reihe.indexOf(unsere[3]) > about + 2, qPrintable(reihe.join(QLatin1Char(' '))));
        for (QWidget *f : std::initializer_list<QWidget *>{RavePreviewForm_NQ_dt, RPSetupForm_NQ_dt, wRaveDrucken})
            QVERIFY(!f->isVisible());

        // A run shows the windows made at start-up.
        env->dialoge().expectDialog([](QDialog *dlg) { return int(dlg == RPSetupForm_NQ_dt ? QDialog::Accepted : QDialog::Rejected); });
        env->dialoge().expectDialog([](QDialog *dlg) { return int(dlg == RavePreviewForm_NQ_dt ? QDialog::Accepted : QDialog::Rejected); });
        TBackprogrammListe liste = freieListe();
        liste[1] = beispielProgramm("Semmel");
        wRaveDrucken->ProgrammeDrucken(liste, 1, 199, true, false, false, StandardKnopfTexte(false));
        QCOMPARE(env->dialoge().dialogs(), (QStringList{"RPSetupForm_NQ_dt", "RavePreviewForm_NQ_dt"}));
    }

    void druckereinrichtung()
    {
#if defined(__SANITIZE_THREAD__)
        // Qt's print dialog starts a file-system model thread of its own, whose locking the
        // race check cannot see; the normal run covers this case.
        QSKIP("Qt's print dialog has a thread of its own (QFileInfoGatherer)");
#endif
        TwKelvor *w = env->oeffnen();
        for (const int antwort : {int(QDialog::Accepted), int(QDialog::Rejected)}) {
            env->dialoge().expectDialog([antwort](QDialog *dlg) {
                return qobject_cast<QPrintDialog *>(dlg) ? antwort : int(QDialog::Rejected);
            });
            QCOMPARE(w->PrinterSetupDialog1->Execute(), antwort == QDialog::Accepted);
            QCOMPARE(env->dialoge().dialogs().last(), QStringLiteral("PrinterSetupDialog1"));
        }
    }
};

QTEST_MAIN(TstDruckfenster)
#include "tst_Druckfenster.moc"

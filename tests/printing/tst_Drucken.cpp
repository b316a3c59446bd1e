// The report window's print run: print table, printer check, set-up window, preview and output.
#include "support/DruckHilfe.h"
#include "support/TestUmgebung.h"

#include "app/Drucker.h"
#include "app/Sammlung.h"
#include "printing/RpFormPreview_NQ_dt.h"
#include "printing/RpFormSetup_NQ_dt.h"
#include "printing/uRaveDrucken.h"

#include <QPrinterInfo>
#include <QtSql>
#include <QtTest>
#include <QtWidgets>
#include <memory>

namespace {
int tabellenZeilen(const QString &pfad)
{
    int n = -1;
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("zaehlen"));
        db.setDatabaseName(pfad);
        if (db.open()) {
            QSqlQuery q(QStringLiteral("SELECT count(*) FROM XQTempDB"), db);
            if (q.next())
                n = q.value(0).toInt();
        }
    }
    QSqlDatabase::removeDatabase(QStringLiteral("zaehlen"));
    return n;
}

// Two programs in slots 3 and 4.
TBackprogrammListe zweiProgramme()
{
    TBackprogrammListe liste = freieListe();
    liste[3] = beispielProgramm("Semmel");
    liste[4] = beispielProgramm("Kastenbrot");
    return liste;
}
} // namespace

class TstDrucken : public QObject
{
    Q_OBJECT
    std::unique_ptr<TTestUmgebung> env;
    std::unique_ptr<TPdfDrucker> pdfDrucker;
    std::unique_ptr<TwRaveDrucken> fenster;

    QString pdf() const { return PdfDruckerDatei(QStringLiteral("XQBackprogramm")); }
    QString tabelle() const { return env->exeDir() + QStringLiteral("XQTempDB.db"); }
    void drucken(const TBackprogrammListe &liste, int von, int bis, bool vorschau = false)
    {
        fenster->ProgrammeDrucken(liste, quint8(von), quint8(bis), vorschau, false, false, StandardKnopfTexte(false));
    }

private slots:
    void init()
    {
        env = std::make_unique<TTestUmgebung>();
        pdfDrucker = std::make_unique<TPdfDrucker>(env->path(QStringLiteral("pdf")));
        fenster = std::make_unique<TwRaveDrucken>();
        fenster->ReportDatum = QDate(2024, 3, 5);
    }
    void cleanup()
    {
        SetPdfDruckerRand(QMarginsF());
        fenster.reset();
        pdfDrucker.reset();
        QCOMPARE(env->dialoge().unexpected(), 0);
        QVERIFY(env->dialoge().allAnswersUsed());
        env.reset();
    }

    void texte()
    {
        QCOMPARE(fenster->Lang->count(), 24);
        QCOMPARE(fenster->Lang->item(23)->text(), QStringLiteral("Restzeiten: "));
        const QStringList t = fenster->XQBprgTexteGetRow();
        QCOMPARE(t.size(), TwRaveDrucken::XQBprgTexteGetCols().size());
        QCOMPARE(t.first(), QStringLiteral("XQ-Backprogramm"));
        QCOMPARE(t.mid(9, 2), (QStringList{"Umwälzer", "Ausgang"}));
        QCOMPARE(t.last(), TemperaturEinheit);
        const QStringList d = fenster->Custom_Data1GetRow();
        QCOMPARE(d.size(), TwRaveDrucken::Custom_Data1GetCols().size());
        QCOMPARE(d.mid(7), (QStringList{"Energie (Wh)", "Datum", "Betriebsdaten", "Seite:", "Datum:", "bei", "von"}));
    }

    void dreiProgrammeAlsPdf()
    {
        TBackprogrammListe liste = freieListe();
        liste[3] = beispielProgramm("Semmel");
        liste[4] = beispielProgramm("Bauernbrot \"alt\"");
        liste[7] = beispielProgramm("Kaisers 'Brezn'");
        liste[9] = beispielProgramm("frei free libre");
        drucken(liste, 1, 199);
        QCOMPARE(tabellenZeilen(tabelle()), 30);
        const QStringList seiten = pdfSeitenText(pdf());
        QCOMPARE(seiten.size(), 3);
        QCOMPARE(pdfTitel(pdf()), QStringLiteral("XQBackprogramm"));
        const QStringList namen{"Semmel", "Bauernbrot \"alt\"", "Kaisers 'Brezn'"};
        for (int s = 0; s < 3; ++s) {
            for (const QString &t : {QStringLiteral("XQ-Backprogramm"), QStringLiteral("Seite: %1 von 3").arg(s + 1),
                                     namen[s], QStringLiteral("Restzeiten:"), QStringLiteral("Umwälzer"),
                                     QStringLiteral("Dienstag, 5. März 2024"), QStringLiteral("min zu"),
                                     QStringLiteral("s auf")})
                QVERIFY2(seiten[s].contains(t), qPrintable(t + QStringLiteral(" / ") + seiten[s]));
        }
    }

    void zweiLaeufeUndLeererBereich()
    {
        TBackprogrammListe liste = zweiProgramme();
        const TBackprogrammListe vorher = liste;
        drucken(liste, 1, 199);
        QCOMPARE(pdfSeitenText(pdf()).size(), 2);
        QVERIFY(liste == vorher);
        // The next run replaces the table the last one left open; an empty range still prints a page.
        for (const auto &[von, bis] : QList<QPair<int, int>>{{10, 5}, {5, 199}}) {
            QFile::remove(pdf());
            drucken(liste, von, bis);
            QCOMPARE(tabellenZeilen(tabelle()), 0);
            const QStringList seiten = pdfSeitenText(pdf());
            QCOMPARE(seiten.size(), 1);
            QVERIFY(seiten[0].contains(QStringLiteral("Seite: 1 von 1")));
            QVERIFY(seiten[0].contains(QStringLiteral("XQ-Backprogramm")));
        }
        drucken(liste, 3, 3);
        QCOMPARE(tabellenZeilen(tabelle()), 10);
    }

    void ohneDrucker()
    {
        pdfDrucker.reset();
        if (!QPrinterInfo::availablePrinterNames().isEmpty())
            QSKIP("this machine has a printer");
        env->dialoge().expectBox(QMessageBox::Ok);
        drucken(zweiProgramme(), 1, 199, true);
        // The table is written before the check stops the run.
        QCOMPARE(tabellenZeilen(tabelle()), 20);
        QCOMPARE(env->dialoge().boxes().size(), 1);
        QCOMPARE(env->dialoge().boxes()[0].text, QStringLiteral("Standarddrucker ungültig.\r\nDefinieren Sie bitte einen "
                                                               "gültigen Standarddrucker,\r\nbevor Sie den Report ausführen."));
        QVERIFY(env->dialoge().dialogs().isEmpty());
    }

    void datenbankFehler_data()
    {
        QTest::addColumn<QString>("fall");
        QTest::newRow("file cannot be deleted") << QStringLiteral("ordner");
        QTest::newRow("database cannot be opened") << QStringLiteral("fehlt");
    }
    void datenbankFehler()
    {
        QFETCH(QString, fall);
        if (fall == QLatin1String("ordner"))
            QVERIFY(QDir().mkpath(tabelle() + QStringLiteral("/drin")));
        else
            ExeDir = env->path(QStringLiteral("fehlt/"));
        env->dialoge().expectBox(QMessageBox::Ok);
        drucken(zweiProgramme(), 1, 199);
        QCOMPARE(env->dialoge().boxes().size(), 1);
        QCOMPARE(env->dialoge().boxes()[0].caption, QStringLiteral("Fehler"));
        QCOMPARE(env->dialoge().boxes()[0].text, QStringLiteral("Fehler beim Anlegen der Druck-Datenbank."));
        QVERIFY(heuteFehlerdatei().contains("Druck-Datenbank: "));
        QVERIFY(!QFile::exists(pdf()));
    }

    void einrichtungUndVorschau()
    {
        TBackprogrammListe liste = zweiProgramme();
        auto &d = env->dialoge();
        d.expectDialog([](QDialog *dlg) {
            auto *s = qobject_cast<TRPSetupForm_NQ_dt *>(dlg);
            if (!s || s->windowTitle() != QLatin1String("Output Options") || !s->rbVorschau->isChecked() ||
                s->cbFormat->currentText() != QLatin1String("Adobe Acrobat (PDF)") || s->lDrucker->text() != QLatin1String("PDF"))
                return int(QDialog::Rejected);
            s->rbVorschau->setChecked(true);
            return int(QDialog::Accepted);
        });
        QStringList gesehen;
        d.expectDialog([&](QDialog *dlg) {
            auto *v = qobject_cast<TRavePreviewForm_NQ_dt *>(dlg);
            if (!v)
                return int(QDialog::Rejected);
            gesehen << v->windowTitle() << QString::number(bool(v->windowState() & Qt::WindowMaximized))
                    << v->StatusBar1->currentMessage() << v->lSeitenzahl->text();
            v->mNaechste->trigger();
            gesehen << v->StatusBar1->currentMessage();
            v->mErste->trigger();
            // Go to page 2 by number.
            env->dialoge().expectDialog([](QDialog *frage) {
                auto *f = qobject_cast<QInputDialog *>(frage);
                if (!f || f->windowTitle() != QLatin1String("Gehe zu Seite") || f->labelText() != QLatin1String("Seite angeben:"))
                    return int(QDialog::Rejected);
                f->setIntValue(2);
                return int(QDialog::Accepted);
            });
            v->mGeheZuSeite->trigger();
            gesehen << QString::number(v->SeiteAktuell());
            return int(QDialog::Rejected);
        });
        drucken(liste, 1, 199, true);
        QCOMPARE(d.dialogs(), (QStringList{"RPSetupForm_NQ_dt", "RavePreviewForm_NQ_dt", "GeheZuSeite"}));
        QCOMPARE(gesehen, (QStringList{"Report Preview", "1", "Seite 1 von 2", "von 2", "Seite 2 von 2", "2"}));
        // A preview alone prints nothing.
        QVERIFY(!QFile::exists(pdf()));
        QVERIFY(!fenster->RvSystem1.PdfAktiv);
    }

    void einrichtungAbbrechen()
    {
        env->dialoge().expectDialog([](QDialog *) { return int(QDialog::Rejected); });
        drucken(zweiProgramme(), 1, 199, true);
        QCOMPARE(env->dialoge().dialogs(), QStringList{"RPSetupForm_NQ_dt"});
        QVERIFY(fenster->RvSystem1.Abgebrochen);
        QVERIFY(!QFile::exists(pdf()));
    }

    void einrichtungInDatei()
    {
        const QString datei = env->path(QStringLiteral("programme.pdf"));
        env->dialoge().expectDialog([](QDialog *dlg) {
            auto *s = qobject_cast<TRPSetupForm_NQ_dt *>(dlg);
            s->rbDatei->setChecked(true);
            s->rbSeiten->setChecked(true);
            s->eVon->setValue(2);
            s->eBis->setValue(2);
            return int(QDialog::Accepted);
        });
        // No file name yet: the file dialog asks, the PDF filter chosen.
        env->dialoge().expectFile(datei);
        drucken(zweiProgramme(), 1, 199, true);
        const TFileRequest frage = env->dialoge().fileRequests().value(0);
        QCOMPARE(frage.kind, TFileDialogKind::Save);
        QCOMPARE(frage.filter.split(QStringLiteral(";;")).value(frage.filterIndex - 1).left(19),
                 QStringLiteral("Adobe Acrobat (PDF)"));
        const QStringList seiten = pdfSeitenText(datei);
        QCOMPARE(seiten.size(), 1);
        QVERIFY(seiten[0].contains(QStringLiteral("Kastenbrot")));
        QVERIFY(seiten[0].contains(QStringLiteral("Seite: 2 von 2")));
        QVERIFY(!QFile::exists(pdf()));
    }

    void vorschauDruckt()
    {
        auto &d = env->dialoge();
        d.expectDialog([](QDialog *) { return int(QDialog::Accepted); });
        d.expectDialog([&](QDialog *dlg) {
            auto *v = qobject_cast<TRavePreviewForm_NQ_dt *>(dlg);
            // Printing from the preview asks the set-up again, with the preview no destination.
            d.expectDialog([](QDialog *dlg2) {
                auto *s = qobject_cast<TRPSetupForm_NQ_dt *>(dlg2);
                if (!s || s->rbVorschau->isEnabled() || !s->rbDrucker->isChecked())
                    return int(QDialog::Rejected);
                s->eKopien->setValue(2);
                return int(QDialog::Accepted);
            });
            v->mDrucken->trigger();
            return int(QDialog::Accepted);
        });
        drucken(zweiProgramme(), 1, 199, true);
        QCOMPARE(d.dialogs(), (QStringList{"RPSetupForm_NQ_dt", "RavePreviewForm_NQ_dt", "RPSetupForm_NQ_dt"}));
        QCOMPARE(pdfSeitenText(pdf()).size(), 2);
        QCOMPARE(fenster->RvSystem1.Kopienzahl, 2);
    }

    // A range that chooses none of the report's pages starts no job: OK says why and the
    // set-up window stays open until the range holds a page.
    void leererDruckbereich()
    {
        auto &d = env->dialoge();
        QStringList offen;
        d.expectDialog([&](QDialog *dlg) {
            auto *s = qobject_cast<TRPSetupForm_NQ_dt *>(dlg);
            if (!s)
                return int(QDialog::Rejected);
            s->rbDrucker->setChecked(true);
            // It opens at pages 1 to 1; "from 2" alone gives 2 to 1.
            s->rbSeiten->setChecked(true);
            s->eVon->setValue(2);
            s->bOK->click();
            offen << QString::number(s->result());
            s->eBis->setValue(5);
            s->eVon->setValue(3);
            s->bOK->click();
            s->rbAuswahl->setChecked(true);
            s->eAuswahl->setText(QStringLiteral("abc"));
            s->bOK->click();
            s->eAuswahl->clear();
            s->bOK->click();
            offen << QString::number(s->result());
            // The preview shows every page whatever the range.
            s->rbVorschau->setChecked(true);
            s->bOK->click();
            offen << QString::number(s->result());
            return int(QDialog::Rejected);
        });
        for (int i = 0; i < 4; ++i)
            d.expectBox(QMessageBox::Ok);
        drucken(zweiProgramme(), 1, 199, true);
        QCOMPARE(offen, (QStringList{"0", "0", "1"}));
        QCOMPARE(d.boxes().size(), 4);
        for (const TBoxRequest &b : d.boxes()) {
            QVERIFY(b.modal);
            QVERIFY(b.caption == QStringLiteral("Druckbereich"));
            QVERIFY(b.text == QStringLiteral("Der gewählte Druckbereich enthält keine Seite.\r\n"
                                             "Der Report hat 2 Seiten; bitte einen Bereich von 1 bis 2 angeben."));
        }
        QVERIFY(!QFile::exists(pdf()));

        // A range that gets past the window all the same starts no job either, and is no print error.
        d.clear();
        d.expectDialog([](QDialog *dlg) {
            auto *s = qobject_cast<TRPSetupForm_NQ_dt *>(dlg);
            s->rbDrucker->setChecked(true);
            s->rbAuswahl->setChecked(true);
            return int(QDialog::Accepted);
        });
        d.expectBox(QMessageBox::Ok);
        drucken(zweiProgramme(), 1, 199, true);
        QCOMPARE(d.boxes().size(), 1);
        QCOMPARE(d.boxes()[0].caption, QStringLiteral("Druckbereich"));
        QVERIFY(!QFile::exists(pdf()));

        // A range with a page in it prints that page.
        d.clear();
        d.expectDialog([](QDialog *dlg) {
            auto *s = qobject_cast<TRPSetupForm_NQ_dt *>(dlg);
            s->rbDrucker->setChecked(true);
            s->rbAuswahl->setChecked(true);
            s->eAuswahl->setText(QStringLiteral("2"));
            s->bOK->click();
            return s->result();
        });
        drucken(zweiProgramme(), 1, 199, true);
        const QStringList seiten = pdfSeitenText(pdf());
        QVERIFY(seiten.size() == 1);
        QVERIFY(seiten[0].contains(QStringLiteral("Kastenbrot")));
    }

    // Each value of a phase row stands in its column: left-aligned values begin, right-aligned
    // ones end, where the layout puts them (inches from the region's left edge).
    void spaltenPositionen()
    {
        drucken(zweiProgramme(), 1, 199);
        const QList<TPdfWort> woerter = pdfWoerter(pdf());
        auto temp = std::find_if(woerter.begin(), woerter.end(), [](const TPdfWort &w) { return w.Text == QLatin1String("230"); });
        QVERIFY(temp != woerter.end());
        QList<TPdfWort> zeile;
        for (const TPdfWort &w : woerter)
            if (w.Seite == temp->Seite && qAbs(w.Rechteck.top() - temp->Rechteck.top()) < 2)
                zeile << w;
        std::sort(zeile.begin(), zeile.end(), [](const TPdfWort &a, const TPdfWort &b) { return a.Rechteck.left() < b.Rechteck.left(); });
        struct TSpalte
        {
            const char *text;
            qreal zoll;
            bool rechts;
        };
        // Phase 1 of the sample: 230 °C, 2 min, a steam pause of 30 s, exhaust 50 % for 2 min,
        // fan 2 min, no output column.
        const TSpalte spalten[] = {{"1", 0.424, true},      {"230", 0.741, false}, {"°C", 1.009, false},
                                   {"02:00", 1.412, false}, {"Min", 1.8, false},   {"00:30", 2.857, true},
                                   {"min", 2.887, false},   {"zu", -1, false},     {"50", 3.974, true},
                                   {"%", 4.0, false},       {"02:00", 4.284, false}, {"Min", 4.7, false},
                                   {"02:00", 5.281, false}, {"Min", 5.7, false},   {"aus", 5.981, false},
                                   {"--", 6.484, false},    {"Min", 7.0, false},   {"--", 7.284, false}};
        QStringList gelesen;
        for (const TPdfWort &w : zeile)
            gelesen << w.Text;
        QCOMPARE(zeile.size(), qsizetype(std::size(spalten)));
        for (qsizetype i = 0; i < zeile.size(); ++i) {
            const TSpalte &s = spalten[i];
            QVERIFY2(zeile[i].Text == QString::fromUtf8(s.text), qPrintable(gelesen.join(u' ')));
            if (s.zoll < 0)
                continue;
            const qreal soll = (ReportRegion.left() + s.zoll) * 72;
            const qreal ist = s.rechts ? zeile[i].Rechteck.right() : zeile[i].Rechteck.left();
            QVERIFY2(qAbs(ist - soll) < 1.5, qPrintable(QStringLiteral("%1 at %2 pt, not %3").arg(s.text).arg(ist).arg(soll)));
        }
    }

    // On a printer that reaches no closer than 6.35 mm to the sides and 12.7 mm to top and
    // bottom, every word of every page stands inside; a PDF keeps the layout's positions.
    void innerhalbDesDruckbaren()
    {
        const auto fusszeile = [](const QList<TPdfWort> &woerter, int seite) {
            QList<TPdfWort> z;
            for (const TPdfWort &w : woerter)
                if (w.Seite == seite && w.Rechteck.top() > 10.5 * 72)
                    z << w;
            std::sort(z.begin(), z.end(), [](const TPdfWort &a, const TPdfWort &b) { return a.Rechteck.left() < b.Rechteck.left(); });
            return z;
        };
        drucken(zweiProgramme(), 1, 199);
        QSizeF papier;
        QList<TPdfWort> woerter = pdfWoerter(pdf(), &papier);
        // Today's positions: the page count ends 8.1 in from the left edge, the date begins at 0.2 in.
        QList<TPdfWort> fuss = fusszeile(woerter, 1);
        QVERIFY(fuss.size() >= 5);
        QCOMPARE(fuss.last().Text, QStringLiteral("2"));
        QVERIFY(qAbs(fuss.last().Rechteck.right() - 8.1 * 72) < 1.5);
        QVERIFY(qAbs(fuss.first().Rechteck.left() - 0.2 * 72) < 1.5);

        QVERIFY(QFile::remove(pdf()));
        const QMarginsF rand(0.25, 0.5, 0.25, 0.5);
        SetPdfDruckerRand(rand);
        drucken(zweiProgramme(), 1, 199);
        woerter = pdfWoerter(pdf(), &papier);
        // A quarter of a point for the rounding of glyph widths; the old footer stood 6 pt outside.
        const QRectF druckbar = QRectF(QPointF(0, 0), papier).marginsRemoved(rand * 72).adjusted(-0.25, -0.25, 0.25, 0.25);
        QVERIFY(woerter.size() > 100);
        for (const TPdfWort &w : woerter)
            QVERIFY2(druckbar.contains(w.Rechteck),
                     qPrintable(QStringLiteral("page %1: \"%2\" at %3,%4 - %5,%6 outside %7,%8 - %9,%10")
                                    .arg(w.Seite).arg(w.Text).arg(w.Rechteck.left()).arg(w.Rechteck.top())
                                    .arg(w.Rechteck.right()).arg(w.Rechteck.bottom()).arg(druckbar.left())
                                    .arg(druckbar.top()).arg(druckbar.right()).arg(druckbar.bottom())));
        for (int seite : {1, 2}) {
            QStringList text;
            for (const TPdfWort &w : fusszeile(woerter, seite))
                text << w.Text;
            QVERIFY2(text.join(u' ').endsWith(QStringLiteral("Seite: %1 von 2").arg(seite)), qPrintable(text.join(u' ')));
            QVERIFY2(text.join(u' ').contains(QStringLiteral("5. März 2024")), qPrintable(text.join(u' ')));
        }
    }

    // The copies, their collation and duplex chosen in the set-up window go to the printer;
    // a run without the set-up window prints one copy.
    void kopienErreichenDenDrucker()
    {
        env->dialoge().expectDialog([](QDialog *dlg) {
            auto *s = qobject_cast<TRPSetupForm_NQ_dt *>(dlg);
            s->rbDrucker->setChecked(true);
            s->eKopien->setValue(3);
            s->cbSortieren->setChecked(true);
            s->cbDuplex->setChecked(true);
            s->bOK->click();
            return s->result();
        });
        drucken(zweiProgramme(), 1, 199, true);
        QCOMPARE(pdfSeitenText(pdf()).size(), 2);
        QPrinter &drucker = Anwendungsdrucker();
        // (A PDF keeps no duplex, so only what a PDF printer keeps is looked at.)
        QVERIFY(drucker.copyCount() == 3);
        QVERIFY(drucker.collateCopies());

        QVERIFY(QFile::remove(pdf()));
        drucken(zweiProgramme(), 1, 199);
        QCOMPARE(pdfSeitenText(pdf()).size(), 2);
        QVERIFY(drucker.copyCount() == 1);
        QVERIFY(!drucker.collateCopies());
    }
};

QTEST_MAIN(TstDrucken)
#include "tst_Drucken.moc"

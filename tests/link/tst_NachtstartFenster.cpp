// The night-start window as the program creates it, against the stand-in controller over
// loopback: reading, editing, sending, files, the cell editor and the translation.
#include "support/Hauptfenster.h"
#include "support/LinkTestHilfe.h"
#include "app/About.h"
#include "app/Registry.h"
#include "app/Sammlung.h"
#include "app/StringGrid.h"
#include "app/Version.h"
#include "link/uKelvor.h"
#include "link/uXQXNachtstarts.h"
#include "translate/translate.h"

#include <QtWidgets>
#include <QtTest>
#include <memory>

namespace {

QString Zelle(int col, int row) { return wXQXNachtStarts->NachtstartGrid->cell(col, row); }
// Row 1 (Monday) to 7 (Sunday) as the four cells joined by "|".
QString Zeile(int row)
{
    QStringList z;
    for (int c = 1; c <= 4; ++c)
        z << Zelle(c, row);
    return z.join(u'|');
}
} // namespace

class TstNachtstartFenster : public QObject
{
    Q_OBJECT
    QHostAddress pc;
    quint16 port = 0;
    std::unique_ptr<THauptfensterUmgebung> env;
    std::unique_ptr<TXqSim> sim;

    TwXQXNachtStarts *oeffnen()
    {
        TwKelvor *w = env->oeffnen();
        QTest::mouseClick(w->NachtBtn, Qt::LeftButton);
        if (!QTest::qWaitForWindowExposed(wXQXNachtStarts))
            qWarning("night-start window not exposed");
        return wXQXNachtStarts;
    }

private slots:
    void initTestCase() { pc = EigeneServerAdresse(); }

    void init()
    {
        sim = std::make_unique<TXqSim>();
        port = SimAufFreiemPort(*sim, pc);
        QVERIFY2(port, qPrintable(sim->errorString()));
        env = std::make_unique<THauptfensterUmgebung>(1.0, QStringLiteral("127.000.000.002"), port);
    }

    void cleanup()
    {
        QVERIFY(!env || env->dialoge().unexpected() == 0);
        env.reset();
        sim.reset();
        QVERIFY(wXQXNachtStarts.isNull());
    }

    void aufbau()
    {
        TwKelvor *w = env->oeffnen();
        TwXQXNachtStarts *n = wXQXNachtStarts;
        QVERIFY(n);
        QVERIFY(n->isWindow());
        QVERIFY(n->isHidden());
        // Third of the program's windows: after the version dialog, before the about box.
        const QObjectList kinder = w->children();
        QVERIFY(kinder.indexOf(fVersion.data()) < kinder.indexOf(n));
        QVERIFY(kinder.indexOf(n) < kinder.indexOf(AboutBox.data()));
        QStringList zeilen;
        for (int r = 0; r <= 7; ++r)
            zeilen << Zelle(0, r) + ':' + Zeile(r);
        QCOMPARE(zeilen.join(u' '), QStringLiteral(":Std|Min|Std|Min Montag:||| Dienstag:||| Mittwoch:||| "
                                                   "Donnerstag:||| Freitag:||| Samstag:||| Sonntag:|||"));
        // Only the four buttons are reachable.
        QVERIFY(n->MainMenu1->isHidden());
        QVERIFY(!n->Datei1->menuAction()->isVisible());

        QTest::mouseClick(w->NachtBtn, Qt::LeftButton);
        QVERIFY(n->isVisible());
        n->close();
        QVERIFY(!wXQXNachtStarts.isNull());
        QVERIFY(n->isHidden());
    }

    // Read, edit, send: the stand-in holds the table; its acknowledgement leaves the grid alone.
    void lesenBearbeitenSenden()
    {
        sim->controller().setNightStarts(" 5\t-1\t375\t1320" + QByteArray("\t-1").repeated(9) + "\t1439");
        TwXQXNachtStarts *n = oeffnen();
        n->NachtstartGrid->setCell(3, 3, QStringLiteral("alt"));
        QTest::mouseClick(n->BtnReadNight, Qt::LeftButton);
        QTRY_COMPARE(Zeile(7), QStringLiteral("00|05|--|--"));
        QCOMPARE(sim->framesOf("NAST").first().params, QByteArray());
        QCOMPARE(Zeile(1), QStringLiteral("06|15|22|00"));
        QCOMPARE(Zeile(3), QStringLiteral("--|--|--|--"));
        QCOMPARE(Zeile(6), QStringLiteral("--|--|23|59"));

        n->NachtstartGrid->setCell(1, 3, QStringLiteral("4"));
        n->NachtstartGrid->setCell(2, 3, QStringLiteral("30"));
        n->NachtstartGrid->setCell(3, 7, QStringLiteral("0"));
        n->NachtstartGrid->setCell(4, 7, QStringLiteral("0"));
        QTest::mouseClick(n->BtnWriteNight, Qt::LeftButton);
        // Saturday's only start moves first.
        const QByteArray erwartet = " 0\t 5\t375\t1320\t-1\t-1\t270" + QByteArray("\t-1").repeated(5) + "\t1439\t-1";
        QTRY_COMPARE(sim->controller().nightStarts(), erwartet);
        QTRY_VERIFY(!env->dialoge().boxes().isEmpty());
        const TBoxRequest box = env->dialoge().boxes().last();
        QVERIFY(!box.modal);
        QVERIFY(box.text == QStringLiteral("Nachtstarts übertragen!"));
        QCOMPARE(Zeile(7), QStringLiteral("00|05|0|0"));

        // The menu entries do what their buttons do.
        n->Empfangen1->trigger();
        QTRY_COMPARE(Zeile(7), QStringLiteral("00|00|00|05"));
        QCOMPARE(Zeile(3), QStringLiteral("04|30|--|--"));
        QCOMPARE(Zeile(6), QStringLiteral("23|59|--|--"));

        // A reply that covers Sunday only: the rest stays as the read left it, empty.
        sim->controller().setNightStarts("390\t-1");
        QTest::mouseClick(n->BtnReadNight, Qt::LeftButton);
        QTRY_COMPARE(Zeile(7), QStringLiteral("06|30|--|--"));
        QCOMPARE(Zeile(1), QStringLiteral("|||"));
        QCOMPARE(sim->count("NAST"), 4);
    }

    // The file keeps a day's cells apart with ";": the cell editor refuses it, typed or pasted.
    void semikolonAbgelehnt()
    {
        TwXQXNachtStarts *n = oeffnen();
        TStringGrid *g = n->NachtstartGrid;
        g->setFocus();
        g->setCurrentCell(1, 1); // row, column: Monday's first hour
        QTest::keyClick(g, '6');
        QLineEdit *edit = g->findChild<QLineEdit *>(QStringLiteral("NachtZellenEdit"));
        QVERIFY(edit);
        QTest::keyClicks(edit, QStringLiteral(";30;"));
        edit->insert(QStringLiteral("1;2"));
        QCOMPARE(edit->text(), QStringLiteral("630"));
        QTest::keyClick(edit, Qt::Key_Return);
        QTRY_VERIFY(!g->findChild<QLineEdit *>(QStringLiteral("NachtZellenEdit")));
        QCOMPARE(Zelle(1, 1), QStringLiteral("630"));

        // Typing over a cell's text: the ";" does not replace it.
        g->setCell(2, 1, QStringLiteral("45"));
        g->setFocus();
        g->setCurrentCell(1, 2);
        QTest::keyClick(g, ';');
        edit = g->findChild<QLineEdit *>(QStringLiteral("NachtZellenEdit"));
        QVERIFY(edit);
        QCOMPARE(edit->text(), QStringLiteral("45"));
        QTest::keyClick(edit, Qt::Key_Return);
        QTRY_VERIFY(!g->findChild<QLineEdit *>(QStringLiteral("NachtZellenEdit")));
        QCOMPARE(Zelle(2, 1), QStringLiteral("45"));
    }

    // A day is one line of the file: a line break, typed or pasted, never gets into a cell.
    void zeilenumbruchAbgelehnt()
    {
        TwXQXNachtStarts *n = oeffnen();
        TStringGrid *g = n->NachtstartGrid;
        g->setFocus();
        g->setCurrentCell(1, 1);
        QTest::keyClick(g, '6');
        QLineEdit *edit = g->findChild<QLineEdit *>(QStringLiteral("NachtZellenEdit"));
        QVERIFY(edit);
        for (const QString &umbruch : {QStringLiteral("\n30"), QStringLiteral("\r30"), QStringLiteral("\r\n30")})
            edit->insert(umbruch);
        QApplication::clipboard()->setText(QStringLiteral("06\n30"));
        edit->paste();
        QCOMPARE(edit->text(), QStringLiteral("6"));
        QTest::keyClick(edit, Qt::Key_Return);
        QTRY_VERIFY(!g->findChild<QLineEdit *>(QStringLiteral("NachtZellenEdit")));

        const QString datei = env->path(QStringLiteral("Umbruch.XQN"));
        env->dialoge().expectFile(datei);
        QTest::mouseClick(n->NachtSave, Qt::LeftButton);
        QCOMPARE(crLfZeilen(dateiLesen(datei)).value(1), QByteArray("Mon/Mon=6;;;;"));
    }

    // A chosen name with a dot still gets ".XQN"; one that ends in it, in any case, is kept.
    void dateinameMitPunkt()
    {
        TwXQXNachtStarts *n = oeffnen();
        env->dialoge().expectFile(env->path(QStringLiteral("Woche 12.2024")));
        QTest::mouseClick(n->NachtSave, Qt::LeftButton);
        QVERIFY(QFile::exists(env->path(QStringLiteral("Woche 12.2024.XQN"))));
        QVERIFY(!QFile::exists(env->path(QStringLiteral("Woche 12.2024"))));
        env->dialoge().expectFile(env->path(QStringLiteral("Woche.xqn")));
        QTest::mouseClick(n->NachtSave, Qt::LeftButton);
        QVERIFY(QFile::exists(env->path(QStringLiteral("Woche.xqn"))));
        QVERIFY(!QFile::exists(env->path(QStringLiteral("Woche.xqn.XQN"))));
    }

    void dateien()
    {
        TwXQXNachtStarts *n = oeffnen();
        const QString datei = env->path(QStringLiteral("Woche.XQN"));
        QVERIFY(dateiSchreiben(datei, "[Ofen]\r\nTyp=3\r\n\r\n[Nachtstarts]\r\nMon/Mon=06;30;--;--;\r\n"));
        n->NachtstartGrid->setCell(1, 3, QStringLiteral("x"));
        env->dialoge().expectFile(datei);
        QTest::mouseClick(n->NachtLoad, Qt::LeftButton);
        QCOMPARE(Zeile(1), QStringLiteral("06|30|--|--"));
        QCOMPARE(Zeile(3), QStringLiteral("--|--|--|--")); // no key for Wednesday
        TFileRequest r = env->dialoge().fileRequests().last();
        QVERIFY(r.kind == TFileDialogKind::Open);
        QVERIFY(r.directory == BPrgXQDir);
        QVERIFY(r.defaultSuffix == "XQN");

        n->NachtstartGrid->setCell(4, 7, QStringLiteral(" 5"));
        env->dialoge().expectFile(datei);
        QTest::mouseClick(n->NachtSave, Qt::LeftButton);
        r = env->dialoge().fileRequests().last();
        QVERIFY(r.kind == TFileDialogKind::Save);
        QVERIFY(r.directory == BPrgXQDir);
        QVERIFY(r.defaultSuffix == "XQN");
        QVERIFY(r.fileName == QStringLiteral("Nachtstarts"));
        const QList<QByteArray> zeilen = crLfZeilen(dateiLesen(datei));
        QCOMPARE(zeilen.mid(0, 5), (QList<QByteArray>{"[Ofen]", "Typ=3", "", "[Nachtstarts]", "Mon/Mon=06;30;--;--;"}));
        QCOMPARE(zeilen.last(), QByteArray("Son/Sun=--;--;--; 5;"));

        // Cancelled: nothing changes; a file that cannot be read leaves the grid as it was.
        n->GridLeeren();
        env->dialoge().expectFile(QString());
        QTest::mouseClick(n->NachtLoad, Qt::LeftButton);
        env->dialoge().expectFile(env->path(QStringLiteral("prog")));
        env->dialoge().expectBox(QMessageBox::Ok);
        QTest::mouseClick(n->NachtLoad, Qt::LeftButton);
        QCOMPARE(Zeile(1), QStringLiteral("|||"));
        QVERIFY(env->dialoge().boxes().last().text.contains(QStringLiteral("kann nicht gelesen werden")));
        // The menu entry does what the button does; what was saved comes back.
        env->dialoge().expectFile(datei);
        n->Oeffnen1->trigger();
        QCOMPARE(Zeile(1), QStringLiteral("06|30|--|--"));
        QCOMPARE(Zeile(7), QStringLiteral("--|--|--| 5"));
    }

    // Translated at its creation; the header row and the day names stay German.
    void uebersetzt()
    {
        OpenRegistry(QStringLiteral("Torvik"), QStringLiteral("Kelvor"))
            ->setValue(QStringLiteral("Sprache/Sprache"), QStringLiteral("English"));
        QVERIFY(QDir().mkpath(env->exeDir() + QStringLiteral("Lang")));
        QByteArray english("[TwXQXNachtStarts]\r\n");
        for (const auto &[key, text] : QList<QPair<QString, QByteArray>>{{"TwXQXNachtStarts.Caption", "Night starts"},
                                                                        {"BtnReadNight.Caption", "Read night starts"},
                                                                        {"NachtstartGrid.row[1]", "Monday"},
                                                                        {"NachtstartGrid.col[1]", "h"}})
            english += PadKey(key).toLatin1() + '=' + text + "\r\n";
        QVERIFY(dateiSchreiben(env->exeDir() + QStringLiteral("Lang/Master.English"), english));
        env->oeffnen();
        QCOMPARE(wXQXNachtStarts->windowTitle(), QStringLiteral("Night starts"));
        QCOMPARE(wXQXNachtStarts->BtnReadNight->text(), QStringLiteral("Read night starts"));
        QCOMPARE(Zelle(0, 1) + Zelle(1, 0), QStringLiteral("MontagStd"));
    }
};

QTEST_MAIN(TstNachtstartFenster)
#include "tst_NachtstartFenster.moc"

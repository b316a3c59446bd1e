#include "TestUmgebung.h"
#include "Zeitgeber.h"
#include "translate.h"
#include "uShowbox.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFrame>
#include <QLabel>
#include <QPushButton>
#include <QScreen>
#include <QThread>
#include <QtTest>
#include <memory>

class TstShowbox : public QObject
{
    Q_OBJECT

    std::unique_ptr<TTestUmgebung> env;

    void open(double scale)
    {
        env = std::make_unique<TTestUmgebung>(scale);
        // No registry value: the boxes keep their German texts and no language file is read.
        InitTranslate(QStringLiteral("SOFTWARE\\Torvik\\Kelvor\\Sprache"), {});
        ShowboxAnzahl = 0;
        ShowErrTime = 5000;
    }

    // Posted events first: a long queue makes every deletion slow.
    static void flushDeletes()
    {
        QCoreApplication::sendPostedEvents();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }

private slots:
    void init() { open(1.0); }

    void cleanup()
    {
        qDeleteAll(QApplication::topLevelWidgets());
        env.reset();
        ShowErrTime = 5000;
    }

    void layout_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QStringList>("lines");
        QTest::newRow("one line") << "Nur eine Zeile" << QStringList{"Nur eine Zeile"};
        QTest::newRow("two lines") << "A\r\nB" << QStringList{"A", "B"};
        QTest::newRow("six lines") << "1\r\n2\r\n3\r\n4\r\n5\r\n6" << QStringList{"1", "2", "3", "4\n5\n6"};
        QTest::newRow("empty") << "" << QStringList{""};
        QTest::newRow("blank middle line") << "A\r\n\r\nC" << QStringList{"A", "", "C"};
    }
    void layout()
    {
        QFETCH(QString, text);
        QFETCH(QStringList, lines);
        ShowboxTimed(QStringLiteral("Fehler"), text, 1000);
        TwShowbox *box = wShowbox;
        QVERIFY(box && box->isVisible());
        QLabel *const labels[4] = {box->Label1, box->Label2, box->Label3, box->Label4};
        int bottom = 0;
        for (int i = 0; i < 4; ++i) {
            const bool shown = i < lines.size();
            QCOMPARE(labels[i]->isVisible(), shown);
            if (!shown)
                continue;
            QCOMPARE(labels[i]->text(), lines[i]);
            QCOMPARE(labels[i]->palette().color(QPalette::WindowText), QColor(Qt::red));
            QCOMPARE(labels[i]->y(), bottom);
            const bool last = i == lines.size() - 1;
            const int textLines = int(lines[i].count(QLatin1Char('\n'))) + 1;
            if (textLines == 1)
                QCOMPARE(labels[i]->height(), last ? 25 : 20);
            else
                QVERIFY(labels[i]->height() >= textLines * labels[i]->fontMetrics().height());
            bottom += labels[i]->height();
        }
        QCOMPARE(box->Panel1->geometry(), QRect(0, bottom, box->width(), 70));
        QCOMPARE(box->height(), bottom + 70);
        QCOMPARE(box->windowTitle(), QStringLiteral("Fehler"));
        QVERIFY(box->CancelBtn->isVisible() && box->OKBtn->isVisible() && !box->OKBtn2->isVisible());
        QVERIFY(box->windowFlags() & Qt::WindowStaysOnTopHint);
        QVERIFY(!box->isModal());
        const TBoxRequest seen = env->dialoge().boxes().value(0);
        QCOMPARE(seen.caption, QStringLiteral("Fehler"));
        QCOMPARE(seen.text, text);
        QVERIFY(!seen.modal);
    }

    void longLineWidensTheBox()
    {
        const QString line(60, QLatin1Char('W'));
        ShowboxOK(QStringLiteral("Info"), line);
        const int textWidth = wShowbox->Label1->fontMetrics().horizontalAdvance(line);
        QVERIFY(textWidth > 177);
        QCOMPARE(wShowbox->width(), textWidth + 15);
    }

    void countdownAndClose_data()
    {
        QTest::addColumn<int>("ms");
        QTest::addColumn<int>("errTime");
        QTest::addColumn<QString>("firstShown");
        QTest::addColumn<int>("closeMs");
        QTest::newRow("ShowErrTime") << 0 << 5000 << "5" << 5000;
        QTest::newRow("own time") << 2500 << 5000 << "2" << 2500;
    }
    void countdownAndClose()
    {
        QFETCH(int, ms);
        QFETCH(int, errTime);
        QFETCH(QString, firstShown);
        QFETCH(int, closeMs);
        open(0.1);
        ShowErrTime = errTime;
        QElapsedTimer clock;
        clock.start();
        ShowboxTimed(QStringLiteral("Fehler"), QStringLiteral("Text"), ms);
        QPointer<TwShowbox> box = wShowbox;
        QCOMPARE(box->Sekunden->text(), firstShown);
        // The countdown shows unscaled seconds, half a second after showing and then each second.
        QTRY_COMPARE_WITH_TIMEOUT(box->Sekunden->text(), QString::number(firstShown.toInt() - 1), 2000);
        QVERIFY(clock.elapsed() >= 40);
        QTRY_VERIFY_WITH_TIMEOUT(box.isNull(), 5000);
        QVERIFY(clock.elapsed() >= closeMs / 10 - 5);
        QCOMPARE(TwShowbox::liveCount(), 0);
    }

    void cascadePositions_data()
    {
        QTest::addColumn<int>("anzahl");
        QTest::addColumn<QPoint>("topLeft");
        QTest::newRow("second") << 2 << QPoint(266, 202);
        QTest::newRow("third") << 3 << QPoint(276, 212);
        QTest::newRow("21st wraps") << 21 << QPoint(264, 200);
    }
    void cascadePositions()
    {
        QFETCH(int, anzahl);
        QFETCH(QPoint, topLeft);
        QCOMPARE(ShowboxPosition(anzahl, QSize(1024, 768)), topLeft);
    }

    void boxesTakeTheirPlaces()
    {
        const QSize screen = QGuiApplication::primaryScreen()->geometry().size();
        ShowboxTimed(QStringLiteral("1"), QStringLiteral("a"), 1000);
        QCOMPARE(wShowbox->pos(), QPoint((screen.width() - wShowbox->width()) / 2,
                                         (screen.height() - wShowbox->height()) / 2));
        ShowboxOK(QStringLiteral("2"), QStringLiteral("b"));
        QCOMPARE(ShowboxAnzahl, 2);
        QCOMPARE(wShowbox->pos(), ShowboxPosition(2, screen));
        wShowbox->OKBtn->click();
        flushDeletes();
        // Closed boxes still count.
        ShowboxOK(QStringLiteral("3"), QStringLiteral("c"));
        QCOMPARE(wShowbox->pos(), ShowboxPosition(3, screen));

        ShowboxAnzahl = 32766;
        ShowboxOK(QStringLiteral("4"), QStringLiteral("d"));
        const QPoint last = wShowbox->pos();
        ShowboxOK(QStringLiteral("5"), QStringLiteral("e"));
        QCOMPARE(ShowboxAnzahl, 32767);
        QCOMPARE(wShowbox->pos(), last);
    }

    void boxesThatNeverCloseByThemselves()
    {
        open(0.001);
        ShowErrTime = 0;
        ShowboxTimed(QStringLiteral("Fehler"), QStringLiteral("Null"), 0);
        QPointer<TwShowbox> zero = wShowbox;
        ShowboxOK(QStringLiteral("Info"), QStringLiteral("OK"));
        QPointer<TwShowbox> ok = wShowbox;
        QVERIFY(!ok->CancelBtn->isVisible() && !ok->Label5->isVisible() && !ok->Sekunden->isVisible()
                && !ok->Label7->isVisible());
        QCOMPARE(ok->OKBtn->pos(), QPoint(48, 40));
        QCOMPARE(env->dialoge().boxes().value(1).buttons, QMessageBox::StandardButtons(QMessageBox::Ok));
        QTest::qWait(100); // 100 s of program time
        QVERIFY(zero && zero->isVisible());
        QVERIFY(ok && ok->isVisible());

        ok->OKBtn->click();
        zero->CancelBtn->click();
        flushDeletes();
        QVERIFY(ok.isNull() && zero.isNull());
        QVERIFY(wShowbox.isNull());
    }

    void callFromAnotherThread()
    {
        QThread *thread = QThread::create([] { ShowboxTimed(QStringLiteral("Fern"), QStringLiteral("Text"), 1000); });
        thread->start();
        QVERIFY(thread->wait(5000));
        delete thread;
        QTRY_VERIFY(!wShowbox.isNull());
        QCOMPARE(wShowbox->thread(), QCoreApplication::instance()->thread());
        QCOMPARE(wShowbox->windowTitle(), QStringLiteral("Fern"));
    }

    void manyBoxesLeaveNothingBehind()
    {
        for (int i = 0; i < 10000; ++i) {
            if (i % 2)
                ShowboxTimed(QStringLiteral("Fehler"), QStringLiteral("Meldung"), 1000);
            else
                ShowboxOK(QStringLiteral("Info"), QStringLiteral("Meldung"));
            wShowbox->OKBtn->click();
            if (i % 10 == 9)
                flushDeletes();
        }
        flushDeletes();
        QCOMPARE(ShowboxAnzahl, 10000);
        QCOMPARE(env->dialoge().boxes().size(), 10000);
        QCOMPARE(TwShowbox::liveCount(), 0);
        QVERIFY(QApplication::topLevelWidgets().isEmpty());
        QVERIFY(wShowbox.isNull());
    }
};

QTEST_MAIN(TstShowbox)
#include "tst_Showbox.moc"

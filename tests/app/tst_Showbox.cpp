#include "support/TestUmgebung.h"
#include "app/Zeitgeber.h"
#include "translate/translate.h"
#include "app/uShowbox.h"

#include <QtWidgets>
#include <QtTest>
#include <memory>

class TstShowbox : public QObject
{
    Q_OBJECT
    std::unique_ptr<TTestUmgebung> env;

    void open(double scale)
    {
        env.reset(); // its destructor would undo the new scale and box hook
        env = std::make_unique<TTestUmgebung>(scale);
        // No registry value: the boxes keep their German texts and no language file is read.
        InitTranslate(QStringLiteral("SOFTWARE\\Torvik\\Kelvor\\Sprache"), {});
        ShowboxAnzahl = 0;
        ShowErrTime = 5000;
    }

    static void flushDeletes()
    {
        QCoreApplication::sendPostedEvents();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }

    // The box's width rule: a line wider than the box widens it to its width + 15, the
    // countdown line (from the panel's left edge) as well as the message lines.
    static int ruledWidth(const TwShowbox *box, const QString &firstLine)
    {
        int width = 177;
        const int countdown = box->Label7->isHidden() ? 0 : box->Label7->x() + box->Label7->width();
        for (int w : {box->Label1->fontMetrics().horizontalAdvance(firstLine), countdown})
            if (w > width)
                width = w + 15;
        return width;
    }

private slots:
    void init() { open(1.0); }
    void cleanup()
    {
        qDeleteAll(QApplication::topLevelWidgets());
        env.reset();
    }

    // An empty label is hidden from the bottom up and the one above it grows, also in the middle.
    void blankMiddleLine()
    {
        ShowboxTimed(QStringLiteral("Fehler"), QStringLiteral("A\r\n\r\nC"), 1000);
        TwShowbox *box = wShowbox;
        QVERIFY(box->Label1->isVisible());
        QVERIFY(!box->Label2->isVisible());
        QVERIFY(box->Label3->isVisible());
        QVERIFY(!box->Label4->isVisible());
        QVERIFY(box->Label1->height() == 25);
        QVERIFY(box->Label3->height() == 25);
        QVERIFY(box->Label3->y() == 25);
    }

    void layout_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QStringList>("lines");
        QTest::newRow("one line") << "Nur eine Zeile" << QStringList{"Nur eine Zeile"};
        QTest::newRow("two lines") << "A\r\nB" << QStringList{"A", "B"};
        QTest::newRow("six lines") << "1\r\n2\r\n3\r\n4\r\n5\r\n6" << QStringList{"1", "2", "3", "4\n5\n6"};
        QTest::newRow("empty") << "" << QStringList{""};
        QTest::newRow("long line") << QString(60, QLatin1Char('W')) << QStringList{QString(60, QLatin1Char('W'))};
    }
    void layout()
    {
        QFETCH(QString, text);
        QFETCH(QStringList, lines);
        ShowboxTimed(QStringLiteral("Fehler"), text, 1000);
        TwShowbox *box = wShowbox;
        QLabel *const labels[4] = {box->Label1, box->Label2, box->Label3, box->Label4};
        int bottom = 0;
        for (int i = 0; i < 4; ++i) {
            QCOMPARE(labels[i]->isVisible(), i < lines.size());
            if (i >= lines.size())
                continue;
            QCOMPARE(labels[i]->text(), lines[i]);
            QCOMPARE(labels[i]->y(), bottom);
            // The last line is the taller one; a fourth label holding several lines shows them all.
            const int rows = int(lines[i].count(QLatin1Char('\n'))) + 1;
            const int h = (i == lines.size() - 1 ? 25 : 20) + (rows - 1) * 20;
            QVERIFY(rows > 1 ? labels[i]->height() >= h : labels[i]->height() == h);
            bottom += labels[i]->height();
        }
        QCOMPARE(box->width(), ruledWidth(box, lines[0]));
        QCOMPARE(box->Panel1->geometry(), QRect(0, bottom, box->width(), 70));
        QCOMPARE(box->height(), bottom + 70);
        QVERIFY(box->CancelBtn->isVisible());
        QVERIFY(!box->OKBtn2->isVisible());
        QVERIFY(box->windowFlags() & Qt::WindowStaysOnTopHint);
        QCOMPARE(env->dialoge().boxes().value(0).text, text);
    }

    void countdownAndClose_data()
    {
        QTest::addColumn<int>("ms");
        QTest::addColumn<int>("errTime");
        QTest::addColumn<int>("closeMs");
        QTest::newRow("ShowErrTime") << 0 << 5000 << 5000;
        QTest::newRow("own time") << 2500 << 5000 << 2500;
    }
    void countdownAndClose()
    {
        QFETCH(int, ms);
        QFETCH(int, errTime);
        QFETCH(int, closeMs);
        open(0.1);
        ShowErrTime = errTime;
        QElapsedTimer clock;
        clock.start();
        ShowboxTimed(QStringLiteral("Fehler"), QStringLiteral("Text"), ms);
        QPointer<TwShowbox> box = wShowbox;
        // Unscaled seconds, counted down half a second after showing.
        QCOMPARE(box->Sekunden->text(), QString::number(closeMs / 1000));
        QTRY_COMPARE_WITH_TIMEOUT(box->Sekunden->text(), QString::number(closeMs / 1000 - 1), 2000);
        QVERIFY(clock.elapsed() >= 40);
        QTRY_VERIFY_WITH_TIMEOUT(box.isNull(), 5000);
        QVERIFY(clock.elapsed() >= closeMs / 10 - 5);
    }

    // Boxes without a time of their own used to count into negative seconds.
    void countdownNeverBelowZero_data()
    {
        QTest::addColumn<int>("ms"); // -1 with errTime -1: an OK box
        QTest::addColumn<int>("errTime");
        QTest::addColumn<QString>("start"); // empty: no countdown, never closes by itself
        QTest::newRow("ShowErrTime 0") << 0 << 0 << QString();
        QTest::newRow("ShowErrTime below 0") << 0 << -1000 << QString();
        QTest::newRow("own time below 0") << -3000 << 5000 << QString();
        QTest::newRow("OK box") << -1 << -1 << QString();
        QTest::newRow("positive") << 2500 << 5000 << QStringLiteral("2");
    }
    void countdownNeverBelowZero()
    {
        QFETCH(int, ms);
        QFETCH(int, errTime);
        QFETCH(QString, start);
        ShowErrTime = errTime;
        const bool okBox = ms == -1 && errTime == -1;
        okBox ? ShowboxOK(QStringLiteral("Info"), QStringLiteral("Text")) : ShowboxTimed(QStringLiteral("Fehler"), QStringLiteral("Text"), ms);
        QPointer<TwShowbox> box = wShowbox;
        QCOMPARE(box->Sekunden->isVisible(), !start.isEmpty());
        QCOMPARE(box->Label5->isVisible() || box->Label7->isVisible(), !start.isEmpty());
        QCOMPARE(box->CloseTimer->enabled(), !start.isEmpty());
        QVERIFY(box->OKBtn->isVisible());
        QVERIFY(box->CancelBtn->isVisible() != okBox);
        QVERIFY(!okBox || box->OKBtn->pos() == QPoint(48, 40));
        if (start.isEmpty())
            QCOMPARE(box->width(), 177);
        else
            QCOMPARE(box->Sekunden->text(), start);
        for (int tick = 0; tick < 9; ++tick) // 4.5 s of countdown, without the close coming
            emit box->ShowTimer->timeout();
        QVERIFY(box);
        QVERIFY(box->isVisible());
        QVERIFY(start.isEmpty() || box->Sekunden->text() == QLatin1String("0"));
    }

    // The countdown line wrapped ("sek wird automatisch" / "OK gewählt") in a label of fixed size.
    void countdownOnOneLine_data()
    {
        QTest::addColumn<int>("ms");
        QTest::addColumn<QString>("text");
        QTest::newRow("short message") << 5000 << QStringLiteral("Fehler");
        QTest::newRow("many seconds") << 300000 << QStringLiteral("Fehler");
        QTest::newRow("wide message") << 5000 << QString(60, QLatin1Char('W'));
    }
    void countdownOnOneLine()
    {
        QFETCH(int, ms);
        QFETCH(QString, text);
        ShowboxTimed(QStringLiteral("Fehler"), text, ms);
        TwShowbox *box = wShowbox;
        QLabel *const row[3] = {box->Label5, box->Sekunden, box->Label7};
        QCOMPARE(box->Sekunden->text(), QString::number(ms / 1000));
        for (int i = 0; i < 3; ++i) {
            const QFontMetrics fm = row[i]->fontMetrics();
            QCOMPARE(row[i]->font(), box->font());
            QVERIFY2(row[i]->width() >= fm.horizontalAdvance(row[i]->text()), qPrintable(row[i]->objectName()));
            QVERIFY2(row[i]->height() < 2 * fm.lineSpacing(), qPrintable(row[i]->objectName()));
            QVERIFY(i == 0 || row[i - 1]->x() + row[i - 1]->width() <= row[i]->x()); // side by side, none covered
        }
        QCOMPARE(box->Label7->text(), QStringLiteral("sek wird automatisch OK       gewählt"));
        QVERIFY(box->Label7->x() + box->Label7->width() <= box->Panel1->width());
        QCOMPARE(box->width(), ruledWidth(box, text));
    }

    void cascadePositions()
    {
        QCOMPARE(ShowboxPosition(2, QSize(1024, 768)), QPoint(266, 202));
        QCOMPARE(ShowboxPosition(3, QSize(1024, 768)), QPoint(276, 212));
        QCOMPARE(ShowboxPosition(21, QSize(1024, 768)), QPoint(264, 200));

        const QSize screen = QGuiApplication::primaryScreen()->geometry().size();
        ShowboxTimed(QStringLiteral("1"), QStringLiteral("a"), 1000);
        QCOMPARE(wShowbox->pos(), QPoint((screen.width() - wShowbox->width()) / 2, (screen.height() - wShowbox->height()) / 2));
        wShowbox->OKBtn->click();
        flushDeletes();
        ShowboxOK(QStringLiteral("2"), QStringLiteral("b")); // closed boxes still count
        QCOMPARE(wShowbox->pos(), ShowboxPosition(2, screen));
        ShowboxAnzahl = 32767;
        ShowboxOK(QStringLiteral("3"), QStringLiteral("c"));
        QCOMPARE(ShowboxAnzahl, 32767);
        QCOMPARE(wShowbox->pos(), ShowboxPosition(32767, screen));
    }

    // Closed boxes used to stay in memory until the program ended.
    void manyBoxesLeaveNothingBehind()
    {
        constexpr int kBoxes = 1000, kBatch = 100;
        for (int i = 0; i < kBoxes; ++i) {
            i % 2 ? ShowboxTimed(QStringLiteral("Fehler"), QStringLiteral("Meldung"), 1000)
                  : ShowboxOK(QStringLiteral("Info"), QStringLiteral("Meldung"));
            wShowbox->OKBtn->click();
            if (i % kBatch == kBatch - 1) {
                QCOMPARE(TwShowbox::liveCount(), kBatch); // closed, not yet deleted: the count sees them
                flushDeletes();
                QCOMPARE(TwShowbox::liveCount(), 0);
            }
        }
        QCOMPARE(ShowboxAnzahl, kBoxes);
        QVERIFY(QApplication::topLevelWidgets().isEmpty());
        QVERIFY(wShowbox.isNull());
    }
};

QTEST_MAIN(TstShowbox)
#include "tst_Showbox.moc"

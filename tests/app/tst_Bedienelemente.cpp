// The two-state button and the string grid adapter.
#include "app/MyButton.h"
#include "app/StringGrid.h"

#include <QtTest>
#include <QtWidgets>

class TstBedienelemente : public QObject
{
    Q_OBJECT
private slots:
    void zweiZustandsKnopf()
    {
        TChangeButton b;
        QVERIFY(b.Zustand());
        QVERIFY(b.text().isEmpty());
        QVERIFY(b.focusPolicy() == Qt::NoFocus);
        b.SetTrueText(QStringLiteral("an"));
        b.SetFalseText(QStringLiteral("aus"));
        QVERIFY(b.text().isEmpty());
        b.SetZustand(true); // the same state still refreshes the caption
        QCOMPARE(b.text(), QStringLiteral("an"));
        b.SetZustand(false);
        QList<bool> gesehen;
        connect(&b, &QPushButton::clicked, &b, [&] { gesehen << b.Zustand(); });
        b.click();
        QCOMPARE(gesehen, QList<bool>{true});
        QVERIFY(b.text() == QStringLiteral("an"));
        QVERIFY(!b.isChecked());
        b.click();
        QVERIFY(!b.Zustand());
        QVERIFY(b.text() == QStringLiteral("aus"));
        QCOMPARE(b.property("Zustand").toBool(), false);
    }

    void raster()
    {
        TStringGrid g;
        g.SetColCount(4);
        g.SetRowCount(5);
        g.setCell(2, 1, QStringLiteral("x"));
        QCOMPARE(g.item(1, 2)->text(), QStringLiteral("x"));
        QCOMPARE(g.cell(9, 9), QString());
        g.SetColReadOnly(3, true);
        QVERIFY(!(g.item(2, 3)->flags() & Qt::ItemIsEditable));
        QVERIFY(g.item(2, 2)->flags() & Qt::ItemIsEditable);
        QVERIFY(!(g.item(0, 2)->flags() & Qt::ItemIsEditable));
        g.setColumnWidth(1, 3);
        QCOMPARE(g.columnWidth(1), 3);

        g.resize(300, 200);
        g.show();
        QVERIFY(QTest::qWaitForWindowExposed(&g));
        g.setRowHidden(2, true);
        g.setCurrentCell(1, 1);
        // Keys never move into the fixed row and column or a hidden row.
        QTest::keyClick(&g, Qt::Key_Up);
        QTest::keyClick(&g, Qt::Key_Left);
        QCOMPARE(QPoint(g.Col(), g.Row()), QPoint(1, 1));
        QTest::keyClick(&g, Qt::Key_Down);
        QCOMPARE(g.Row(), 3);
        QTest::keyClick(&g, Qt::Key_Home, Qt::ControlModifier);
        QCOMPARE(QPoint(g.Col(), g.Row()), QPoint(1, 1));
        // A click on a fixed cell leaves the current cell.
        QTest::mouseClick(g.viewport(), Qt::LeftButton, {}, g.visualItemRect(g.item(0, 2)).center());
        QTest::mouseClick(g.viewport(), Qt::LeftButton, {}, g.visualItemRect(g.item(3, 0)).center());
        QCOMPARE(QPoint(g.Col(), g.Row()), QPoint(1, 1));
        QTest::mouseClick(g.viewport(), Qt::LeftButton, {}, g.visualItemRect(g.item(4, 2)).center());
        QCOMPARE(QPoint(g.Col(), g.Row()), QPoint(2, 4));
    }
};

QTEST_MAIN(TstBedienelemente)
#include "tst_Bedienelemente.moc"

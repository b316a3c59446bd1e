// The night-start table without a window: the NAST text both ways and the ".XQN" file.
#include "link/Nachtstarts.h"
#include "support/TestUmgebung.h"

#include <QtTest>

namespace {
// Fourteen values, Sunday first, all "-1" but the ones given by position (1 to 14).
QByteArray Text(const QMap<int, QByteArray> &werte)
{
    QList<QByteArray> t;
    for (int pos = 1; pos <= 14; ++pos)
        t << werte.value(pos, "-1");
    return t.join('\t');
}

// Rows Monday to Sunday written "h|m|h|m", joined by "/", and back.
QString Zeilen(const TNachtTabelle &t)
{
    QStringList z;
    for (const TNachtZeile &r : t)
        z << QStringList(r.begin(), r.end()).join(u'|');
    return z.join(u'/');
}
TNachtTabelle Tabelle(const QString &zeilen)
{
    TNachtTabelle t;
    const QStringList z = zeilen.split(u'/');
    for (int r = 0; r < NachtTage; ++r) {
        const QStringList c = z.value(r, QStringLiteral("|||")).split(u'|');
        for (int i = 0; i < NachtZellen; ++i)
            t[r][i] = c.value(i);
    }
    return t;
}
const QString Xe = QStringLiteral("x|x|x|x");
const QString Le = QStringLiteral("--|--|--|--");
} // namespace

class TstNachtstarts : public QObject
{
    Q_OBJECT
private slots:
    void textBauen_data()
    {
        QTest::addColumn<QString>("zeilen"); // Monday first
        QTest::addColumn<QByteArray>("text");
        QTest::newRow("empty grid") << QString() << Text({});
        QTest::newRow("Monday ascending") << "22|0|6|15" << Text({{3, "375"}, {4, "1320"}});
        QTest::newRow("Sunday padded") << "6|30|--|--//////0|5||" << Text({{1, " 5"}, {3, "390"}});
        QTest::newRow("Saturday last") << "/////23|59|0|0" << Text({{13, " 0"}, {14, "1439"}});
        QTest::newRow("repeated start") << "5|05|5|5" << Text({{3, "305"}});
        QTest::newRow("invalid first moves") << "24|00|5|0" << Text({{3, "300"}});
        QTest::newRow("minute 60") << "6|60|7|59" << Text({{3, "479"}});
        QTest::newRow("blank counts as 0") << " 7|0||" << Text({{3, "420"}});
        QTest::newRow("dot and comma") << "6.5|0|6|3,0" << Text({});
    }
    void textBauen()
    {
        QFETCH(QString, zeilen);
        QFETCH(QByteArray, text);
        QCOMPARE(NachtstarttextBauen(Tabelle(zeilen)), text);
    }

    void textZeigen_data()
    {
        QTest::addColumn<QByteArray>("text");
        QTest::addColumn<QString>("zeilen");
        // Every row starts as "x": what the reply does not cover keeps it.
        QTest::newRow("padded and ascending")
            << Text({{1, " 5"}, {3, "375"}, {4, "1320"}, {14, "1439"}})
            << "06|15|22|00/" + Le + '/' + Le + '/' + Le + '/' + Le + "/--|--|23|59/00|05|--|--";
        QTest::newRow("Sunday only") << QByteArray("390\t-1") << QStringList(6, Xe).join(u'/') + "/06|30|--|--";
        QTest::newRow("three values") << QByteArray("-1\tabc\t0")
                                      << "00|00|x|x/" + QStringList(5, Xe).join(u'/') + '/' + Le;
        QTest::newRow("empty") << QByteArray() << QStringList(7, Xe).join(u'/');
        QTest::newRow("past fourteen") << Text({}) + "\t60\t60" << QStringList(7, Le).join(u'/');
    }
    void textZeigen()
    {
        QFETCH(QByteArray, text);
        QFETCH(QString, zeilen);
        TNachtTabelle t = Tabelle(QStringList(7, Xe).join(u'/'));
        NachtstarttextZeigen(text, t);
        QCOMPARE(Zeilen(t), zeilen);
    }

    void dateiHinUndZurueck()
    {
        TTestUmgebung env;
        const QString datei = env.path(QStringLiteral("Woche.XQN"));
        const TNachtTabelle t = Tabelle(QStringLiteral("06|30|--|--/x|\"a\"|b c|\u00E4/|||//// 5|7 |=|'"));
        QVERIFY(NachtstartdateiSchreiben(datei, t));
        const QList<QByteArray> zeilen = crLfZeilen(dateiLesen(datei));
        QCOMPARE(zeilen.mid(0, 3), (QList<QByteArray>{"[Nachtstarts]", "Mon/Mon=06;30;--;--;", "Die/Tue=x;\"a\";b c;\xE4;"}));
        QCOMPARE(zeilen.size(), 8);
        // The profile rules would trim a blank in front of the row: the row goes in quotes.
        QCOMPARE(zeilen[7], QByteArray("Son/Sun=\" 5;7 ;=;';\""));
        TNachtTabelle gelesen;
        QVERIFY(NachtstartdateiLesen(datei, gelesen));
        QCOMPARE(Zeilen(gelesen), Zeilen(t));

        // A file that exists but cannot be read (here a folder) is neither read nor replaced.
        const QString ordner = env.path(QStringLiteral("prog"));
        QVERIFY(!NachtstartdateiLesen(ordner, gelesen));
        QVERIFY(!NachtstartdateiSchreiben(ordner, t));
        QVERIFY(QFileInfo(ordner).isDir());
        QCOMPARE(gelesen[6][0], QStringLiteral(" 5"));
    }

    void dateiMitLuecken()
    {
        TTestUmgebung env;
        const QString datei = env.path(QStringLiteral("Alt.XQN"));
        QVERIFY(dateiSchreiben(datei, "; von Hand\r\n[nachtstarts]\r\nmon/mon =  7;2;3;4;\r\nDon/Thu=\r\n"
                                      "Fre/Fri=\"05;30\"\r\n[Andere]\r\nMit/Wed=9;9;9;9;\r\n"));
        TNachtTabelle t;
        QVERIFY(NachtstartdateiLesen(datei, t));
        // The profile rules trim the value and strip its quotes; a cell with no ";" left is empty.
        QCOMPARE(Zeilen(t), "7|2|3|4/" + Le + '/' + Le + "/|||/05|||/" + Le + '/' + Le);
    }

    // A blank hour counts as 0 and must stay one through the file, not come back as no start.
    void blankeStundeBleibt()
    {
        TTestUmgebung env;
        const QString datei = env.path(QStringLiteral("Blank.XQN"));
        const TNachtTabelle t = Tabelle(QStringLiteral(" |0||/\"x\"|1|2|'"));
        QVERIFY(NachtstartdateiSchreiben(datei, t));
        TNachtTabelle gelesen;
        QVERIFY(NachtstartdateiLesen(datei, gelesen));
        QCOMPARE(Zeilen(gelesen), Zeilen(t));
        QCOMPARE(NachtstarttextBauen(gelesen), Text({{3, " 0"}}));
        // Written again from what was read, the file stays as it is.
        const QByteArray einmal = dateiLesen(datei);
        QVERIFY(NachtstartdateiSchreiben(datei, gelesen));
        QCOMPARE(dateiLesen(datei), einmal);
    }

    // Only the seven keys change; every other line of the file stays where it was.
    void dateiBehaeltAnderes()
    {
        TTestUmgebung env;
        const QString datei = env.path(QStringLiteral("Geteilt.XQN"));
        QVERIFY(dateiSchreiben(datei, "# Kopf\r\n[Ofen]\r\nTyp=3\r\n\r\n[Nachtstarts]\r\nMon/Mon=alt\r\nNotiz=bleibt\r\n"
                                      "\r\n[Ende]\r\nx=1\r\n"));
        QVERIFY(NachtstartdateiSchreiben(datei, Tabelle(QStringLiteral("06|00||"))));
        QCOMPARE(dateiLesen(datei), QByteArray("# Kopf\r\n[Ofen]\r\nTyp=3\r\n\r\n[Nachtstarts]\r\nMon/Mon=06;00;;;\r\n"
                                                "Notiz=bleibt\r\nDie/Tue=;;;;\r\nMit/Wed=;;;;\r\nDon/Thu=;;;;\r\n"
                                                "Fre/Fri=;;;;\r\nSam/Sat=;;;;\r\nSon/Sun=;;;;\r\n\r\n[Ende]\r\nx=1\r\n"));
    }
};

QTEST_MAIN(TstNachtstarts)
#include "tst_Nachtstarts.moc"

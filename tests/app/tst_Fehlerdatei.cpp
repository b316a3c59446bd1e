#include "app/Sammlung.h"
#include "support/TestUmgebung.h"

#include <QtTest>

namespace {

QList<QByteArray> todayLines(const QString &name)
{
    return crLfZeilen(heuteFehlerdatei(name));
}

bool isStamped(const QByteArray &line, const QByteArray &text)
{
    static const QRegularExpression stamp(QStringLiteral(R"(^\d\d\.\d\d\.\d{4}( \d\d:\d\d:\d\d)?: )"));
    const auto m = stamp.match(QString::fromLatin1(line));
    return m.hasMatch() && line.mid(m.capturedLength()) == text;
}

bool isHeader(const QList<QByteArray> &lines)
{
    return lines.size() >= 2 && isStamped(lines[0], "Vantrel2004 Error File created.") && lines[1].isEmpty();
}

} // namespace

class TstFehlerdatei : public QObject
{
    Q_OBJECT
private slots:
    void cleanup() { MaxGroesseErr = 200; }

    void timeStampAndDayFolders()
    {
        QCOMPARE(ZeitStempel(QDateTime(QDate(2024, 3, 4), QTime(15, 6, 7))), QStringLiteral("04.03.2024 15:06:07"));
        QCOMPARE(ZeitStempel(QDateTime(QDate(2024, 12, 31), QTime(0, 0))), QStringLiteral("31.12.2024"));
        QCOMPARE(ZeitStempel(QDateTime(QDate(987, 1, 2), QTime(0, 0, 0, 1))), QStringLiteral("02.01.0987 00:00:00"));
        TTestUmgebung env;
        const QString sep = QDir::separator();
        const char *names[] = {"1_Monday", "2_Tuesday", "3_Wednesday", "4_Thursday", "5_Friday", "6_Saturday", "7_Sunday"};
        for (int i = 0; i < 7; ++i) // 1 January 2024 was a Monday
            QCOMPARE(LogDayDir(QDate(2024, 1, 1 + i)), env.exeDir() + "log" + sep + names[i] + sep);
        QCOMPARE(LogDayDir(QDate()), env.exeDir() + "log" + sep + "8_day" + sep);
    }

    void headerAppendAndEmptyText()
    {
        TTestUmgebung env;
        WriteErrorLog(QStringLiteral("Kelvor"), QStringLiteral("Größe falsch"));
        WriteErrorLog(QStringLiteral("Kelvor"), QStringLiteral("zweiter"));
        WriteErrorLog(QStringLiteral("Kelvor"), QString());
        const auto lines = todayLines(QStringLiteral("Kelvor"));
        QCOMPARE(lines.size(), 4);
        QVERIFY(isHeader(lines));
        QVERIFY(isStamped(lines[2], "Gr\xF6\xDF" "e falsch")); // Windows-1252
        QVERIFY(isStamped(lines[3], "zweiter"));
        WriteErrorLog(QStringLiteral("Leer"), QString()); // a new file: the header only
        QVERIFY(isHeader(todayLines(QStringLiteral("Leer"))));
        QVERIFY(todayLines(QStringLiteral("Leer")).size() == 2);
    }

    void backupMove()
    {
        const struct { int limit, size; bool moved; } cases[] = {{1024, 1100, true}, {1024, 1024, false}, {0, 5000, false}};
        for (const auto &c : cases) {
            TTestUmgebung env;
            MaxGroesseErr = c.limit;
            const QString file = LogDayDir(QDate::currentDate()) + QStringLiteral("Kelvor.err");
            const QByteArray old(c.size, 'x');
            QVERIFY(QDir().mkpath(LogDayDir(QDate::currentDate())));
            QVERIFY(dateiSchreiben(file, old));
            QVERIFY(dateiSchreiben(file + ".BAK", "alt"));
            WriteErrorLog(QStringLiteral("Kelvor"), QStringLiteral("Eintrag"));
            QCOMPARE(dateiLesen(file + ".BAK"), c.moved ? old : QByteArray("alt"));
            const auto lines = crLfZeilen(c.moved ? dateiLesen(file) : dateiLesen(file).mid(c.size));
            QCOMPARE(lines.size(), c.moved ? 3 : 1);
            QVERIFY(!c.moved || isHeader(lines));
            QVERIFY(isStamped(lines.last(), "Eintrag"));
        }
    }

    void emptyNameIsProgramFile()
    {
        const QList<QPair<QString, QString>> cases{
            {"Tool.exe", "Tool"}, {"kelvor", "Kelvor"}, {"werkzeug", "werkzeug"}, {"a.exe.b.exe", "a"}};
        for (const auto &[programFile, errName] : cases) {
            TTestUmgebung env;
            SetProgramFile(env.path(QStringLiteral("prog")), programFile);
            WriteErrorLog(ErrLogName, QStringLiteral("Zeile"));
            QCOMPARE(QDir(LogDayDir(QDate::currentDate())).entryList(QDir::Files), QStringList{errName + ".err"});
        }
    }

#ifndef Q_OS_WIN
    // When the program's own error file brings an information line, that line must not lead
    // into the writer again and again.
    void infoLineDoesNotRecurse()
    {
        TTestUmgebung env;
        const QString odd = env.path(QStringLiteral("a\\b"));
        QVERIFY(QDir().mkpath(odd));
        ExeDir = odd + QDir::separator();
        WriteErrorLog(QStringLiteral("X"), QStringLiteral("eins"));
        QCOMPARE(todayLines(QStringLiteral("X")).size(), 3);
        const auto info = todayLines(QStringLiteral("Kelvor"));
        QCOMPARE(info.size(), 3);
        QVERIFY(info[2].contains("Nur Info: Dateinamen mit \"\\\": "));
        QVERIFY(info[2].endsWith("X.err"));
    }
#endif
};

QTEST_MAIN(TstFehlerdatei)
#include "tst_Fehlerdatei.moc"

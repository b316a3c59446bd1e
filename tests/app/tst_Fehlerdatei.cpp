#include "Sammlung.h"
#include "TestUmgebung.h"

#include <QDir>
#include <QFile>
#include <QRegularExpression>
#include <QThread>
#include <QtTest>

#include <memory>

namespace {

#ifdef Q_OS_WIN
const QString kInfoName = QStringLiteral("Zwei/Faeden?");
#else
const QString kInfoName = QStringLiteral("Zwei\\Faeden?");
#endif

QString todayFile(const QString &name)
{
    return LogDayDir(QDate::currentDate()) + name + QStringLiteral(".err");
}

QByteArray readAll(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

// Lines of a file that must end every line with CR LF.
QList<QByteArray> crLfLines(const QByteArray &bytes)
{
    if (!bytes.endsWith("\r\n"))
        return {};
    QList<QByteArray> lines = bytes.chopped(1).split('\n');
    for (QByteArray &l : lines) {
        if (!l.endsWith('\r'))
            return {};
        l.chop(1);
    }
    return lines;
}

bool isStamped(const QByteArray &line, const QByteArray &text)
{
    static const QRegularExpression stamp(QStringLiteral("^\\d\\d\\.\\d\\d\\.\\d{4}( \\d\\d:\\d\\d:\\d\\d)?: "));
    const QString s = QString::fromLatin1(line);
    const auto m = stamp.match(s);
    return m.hasMatch() && line.mid(m.capturedLength()) == text;
}

// Restores the size limit whatever a test set.
struct LimitGuard
{
    int saved = MaxGroesseErr;
    ~LimitGuard() { MaxGroesseErr = saved; }
};

} // namespace

class TstFehlerdatei : public QObject
{
    Q_OBJECT
private slots:
    void timeStamp_data()
    {
        QTest::addColumn<QDateTime>("when");
        QTest::addColumn<QString>("want");
        QTest::newRow("afternoon") << QDateTime(QDate(2024, 3, 4), QTime(15, 6, 7)) << "04.03.2024 15:06:07";
        QTest::newRow("midnight") << QDateTime(QDate(2024, 12, 31), QTime(0, 0)) << "31.12.2024";
        QTest::newRow("just after midnight") << QDateTime(QDate(2024, 12, 31), QTime(0, 0, 0, 1))
                                             << "31.12.2024 00:00:00";
        QTest::newRow("short year") << QDateTime(QDate(987, 1, 2), QTime(1, 2, 3)) << "02.01.0987 01:02:03";
    }
    void timeStamp()
    {
        QFETCH(QDateTime, when);
        QFETCH(QString, want);
        QCOMPARE(ZeitStempel(when), want);
    }

    void dayFolders_data()
    {
        QTest::addColumn<QDate>("day");
        QTest::addColumn<QString>("folder");
        const char *names[] = {"1_Monday", "2_Tuesday", "3_Wednesday", "4_Thursday",
                               "5_Friday", "6_Saturday", "7_Sunday"};
        for (int i = 0; i < 7; ++i)
            QTest::newRow(names[i]) << QDate(2024, 1, 1 + i) << QString::fromLatin1(names[i]);
        QTest::newRow("invalid") << QDate() << "8_day";
    }
    void dayFolders()
    {
        QFETCH(QDate, day);
        QFETCH(QString, folder);
        TTestUmgebung env;
        const QChar sep = QDir::separator();
        QCOMPARE(LogDayDir(day), env.exeDir() + "log" + sep + folder + sep);
    }

    void headerThenAppend()
    {
        TTestUmgebung env;
        const QDate day = QDate::currentDate();
        WriteErrorLog(QStringLiteral("Kelvor"), QStringLiteral("Größe falsch"));
        WriteErrorLog(QStringLiteral("Kelvor"), QStringLiteral("zweiter"));
        if (QDate::currentDate() != day)
            QSKIP("the day changed during the test");
        QVERIFY(QDir(LogDayDir(day)).exists());
        const auto lines = crLfLines(readAll(todayFile(QStringLiteral("Kelvor"))));
        QCOMPARE(lines.size(), 4);
        QVERIFY(isStamped(lines[0], "Vantrel2004 Error File created."));
        QCOMPARE(lines[1], QByteArray());
        QVERIFY(isStamped(lines[2], "Gr\xF6\xDF" "e falsch")); // Windows-1252 bytes
        QVERIFY(isStamped(lines[3], "zweiter"));
    }

    void emptyText()
    {
        TTestUmgebung env;
        const QString file = todayFile(QStringLiteral("Leer"));
        WriteErrorLog(QStringLiteral("Leer"), QString());
        const QByteArray first = readAll(file);
        const auto lines = crLfLines(first);
        QCOMPARE(lines.size(), 2);
        QVERIFY(isStamped(lines[0], "Vantrel2004 Error File created."));
        WriteErrorLog(QStringLiteral("Leer"), QString());
        QCOMPARE(readAll(file), first);
    }

    void backupMove_data()
    {
        QTest::addColumn<int>("limit");
        QTest::addColumn<int>("size");
        QTest::addColumn<bool>("moved");
        QTest::newRow("past the limit") << 1024 << 1100 << true;
        QTest::newRow("at the limit") << 1024 << 1024 << false;
        QTest::newRow("no limit") << 0 << 5000 << false;
        QTest::newRow("negative is no limit") << -1 << 5000 << false;
    }
    void backupMove()
    {
        QFETCH(int, limit);
        QFETCH(int, size);
        QFETCH(bool, moved);
        TTestUmgebung env;
        LimitGuard guard;
        MaxGroesseErr = limit;
        const QString file = todayFile(QStringLiteral("Kelvor"));
        const QString backup = file + QStringLiteral(".BAK");
        QVERIFY(QDir().mkpath(LogDayDir(QDate::currentDate())));
        const QByteArray old(size, 'x');
        for (const auto &[path, bytes] : {std::pair{file, old}, std::pair{backup, QByteArray("alt")}}) {
            QFile f(path);
            QVERIFY(f.open(QIODevice::WriteOnly));
            f.write(bytes);
        }
        WriteErrorLog(QStringLiteral("Kelvor"), QStringLiteral("Eintrag"));
        if (moved) {
            QCOMPARE(readAll(backup), old);
            const auto lines = crLfLines(readAll(file));
            QCOMPARE(lines.size(), 3);
            QVERIFY(isStamped(lines[0], "Vantrel2004 Error File created."));
            QVERIFY(isStamped(lines[2], "Eintrag"));
        } else {
            QCOMPARE(readAll(backup), QByteArray("alt"));
            const QByteArray now = readAll(file);
            QVERIFY(now.startsWith(old));
            QVERIFY(isStamped(crLfLines(now.mid(size)).value(0), "Eintrag"));
        }
    }

    void emptyNameIsProgramFile_data()
    {
        QTest::addColumn<QString>("programFile");
        QTest::addColumn<QString>("errName");
        QTest::newRow("Windows") << "Tool.exe" << "Tool";
        QTest::newRow("Linux program") << "kelvor" << "Kelvor";
        QTest::newRow("other without extension") << "werkzeug" << "werkzeug";
        QTest::newRow("extension cut at first occurrence") << "a.exe.b.exe" << "a";
    }
    void emptyNameIsProgramFile()
    {
        QFETCH(QString, programFile);
        QFETCH(QString, errName);
        TTestUmgebung env;
        SetProgramFile(env.path(QStringLiteral("prog")), programFile);
        WriteErrorLog(ErrLogName, QStringLiteral("Zeile"));
        const QStringList files = QDir(LogDayDir(QDate::currentDate())).entryList(QDir::Files);
        QCOMPARE(files, QStringList{errName + ".err"});
    }

    void unwritableFolderLosesLineQuietly()
    {
        TTestUmgebung env;
        QFile blocker(env.exeDir() + QStringLiteral("log"));
        QVERIFY(blocker.open(QIODevice::WriteOnly)); // a file where the log folder belongs
        blocker.close();
        WriteErrorLog(QStringLiteral("Kelvor"), QStringLiteral("verloren"));
        QVERIFY(QFileInfo(blocker.fileName()).isFile());
        QCOMPARE(blocker.size(), 0);
    }

    // Two writers at once, the name needs cleaning and brings an information line each time.
    void twoThreadsLoseNothing()
    {
        TTestUmgebung env;
        LimitGuard guard;
        MaxGroesseErr = 1024000; // far above what 2000 lines need: no move in between
        const QDate day = QDate::currentDate();
        constexpr int kLines = 1000;
        auto writer = [](char tag) {
            return [tag] {
                for (int i = 0; i < kLines; ++i)
                    WriteErrorLog(kInfoName, QStringLiteral("%1 %2").arg(QLatin1Char(tag)).arg(i));
            };
        };
        std::unique_ptr<QThread> a(QThread::create(writer('A')));
        std::unique_ptr<QThread> b(QThread::create(writer('B')));
        a->start();
        b->start();
        const bool done = a->wait(QDeadlineTimer(60000)) && b->wait(QDeadlineTimer(60000));
        if (!done) {
            // Stuck threads cannot be destroyed; leave them to the end of the process.
            a.release();
            b.release();
            QFAIL("writers deadlocked");
        }
        if (QDate::currentDate() != day)
            QSKIP("the day changed during the test");

        QString cleaned = kInfoName;
        cleaned.replace(QLatin1Char('?'), QLatin1Char(' '));
        const auto lines = crLfLines(readAll(todayFile(cleaned)));
        QCOMPARE(lines.size(), 2 + 2 * kLines);
        QSet<QByteArray> seen;
        for (const QByteArray &l : lines.mid(2))
            seen.insert(l.mid(l.indexOf(": ") + 2));
        QCOMPARE(seen.size(), 2 * kLines);
        QVERIFY(seen.contains("A 999") && seen.contains("B 0"));

        const auto info = crLfLines(readAll(todayFile(QStringLiteral("Kelvor"))));
        QCOMPARE(info.size(), 2 + 2 * kLines);
        QVERIFY(info.last().contains("Nur Info: Dateinamen mit \""));
    }

#ifndef Q_OS_WIN
    // When even the program's own error file brings an information line, writing that line
    // must not lead into the writer again and again.
    void infoLineDoesNotRecurse()
    {
        TTestUmgebung env;
        const QString odd = env.path(QStringLiteral("a\\b"));
        QVERIFY(QDir().mkpath(odd));
        ExeDir = odd + QDir::separator();
        WriteErrorLog(QStringLiteral("X"), QStringLiteral("eins"));
        QCOMPARE(crLfLines(readAll(todayFile(QStringLiteral("X")))).size(), 3);
        const auto info = crLfLines(readAll(todayFile(QStringLiteral("Kelvor"))));
        QCOMPARE(info.size(), 3);
        QVERIFY(info[2].contains("Nur Info: Dateinamen mit \"\\\": "));
        QVERIFY(info[2].endsWith("X.err"));
    }
#endif
};

QTEST_MAIN(TstFehlerdatei)
#include "tst_Fehlerdatei.moc"

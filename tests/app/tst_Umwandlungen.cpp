#include "Sammlung.h"
#include "TestUmgebung.h"
#include "uKonstanten.h"

#include <QFile>
#include <QtTest>

#include <limits>

namespace {
constexpr int kMin = std::numeric_limits<int>::min();
constexpr int kMax = std::numeric_limits<int>::max();

#ifdef Q_OS_WIN
constexpr char kInfoChar = '/';
constexpr char kQuietSep = '\\';
#else
constexpr char kInfoChar = '\\';
constexpr char kQuietSep = '/';
#endif
} // namespace

class TstUmwandlungen : public QObject
{
    Q_OBJECT
private slots:
    void minutenToStr_data()
    {
        QTest::addColumn<int>("value");
        QTest::addColumn<bool>("force");
        QTest::addColumn<QString>("want");
        QTest::newRow("zero") << 0 << false << "";
        QTest::newRow("zero forced") << 0 << true << "00:00";
        QTest::newRow("65") << 65 << false << "01:05";
        QTest::newRow("6000") << 6000 << false << "100:00";
        QTest::newRow("-5") << -5 << false << "--00:05";
        QTest::newRow("largest") << kMax << false << "35791394:07";
        QTest::newRow("smallest") << kMin << false << "--35791394:08";
    }
    void minutenToStr()
    {
        QFETCH(int, value);
        QFETCH(bool, force);
        QFETCH(QString, want);
        QCOMPARE(MinutenToStr(value, force), want);
    }

    void strToMinuten_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("want");
        QTest::newRow("01:30") << "01:30" << 90;
        QTest::newRow("1:5") << "1:5" << 65;
        QTest::newRow("two after colon") << "12:345" << 754;
        QTest::newRow("no colon") << "45" << 45;
        QTest::newRow("first two only") << "123" << 12;
        QTest::newRow("bad hours") << "x:30" << 30;
        QTest::newRow("empty") << "" << 0;
        QTest::newRow("colon only") << ":" << 0;
        QTest::newRow("hours past 32 bits") << "35791395:00" << kMax;
        QTest::newRow("negative hours past 32 bits") << "-35791395:00" << kMin;
    }
    void strToMinuten()
    {
        QFETCH(QString, text);
        QFETCH(int, want);
        QCOMPARE(StrToMinuten(text), want);
    }

    void hexToInt_data()
    {
        QTest::addColumn<QByteArray>("text");
        QTest::addColumn<int>("want");
        QTest::newRow("00FF") << QByteArray("00FF") << 255;
        QTest::newRow("lower case") << QByteArray("00ff") << -1;
        QTest::newRow("empty") << QByteArray() << -1;
        QTest::newRow("nine digits") << QByteArray("1FFFFFFFF") << -1;
        QTest::newRow("eight F") << QByteArray("FFFFFFFF") << -1;
        QTest::newRow("largest") << QByteArray("7FFFFFFF") << kMax;
        QTest::newRow("smallest") << QByteArray("80000000") << kMin;
        QTest::newRow("eight digits") << QByteArray("89ABCDEF") << int(0x89ABCDEFu);
        QTest::newRow("bad before valid tail") << QByteArray("G0000000F") << -1;
        QTest::newRow("sign") << QByteArray("-1") << -1;
    }
    void hexToInt()
    {
        QFETCH(QByteArray, text);
        QFETCH(int, want);
        QCOMPARE(HexToInt(text), want);
    }

    void hexToIntEven_data()
    {
        QTest::addColumn<QByteArray>("text");
        QTest::addColumn<int>("want");
        QTest::newRow("lower") << QByteArray("00ff") << 255;
        QTest::newRow("upper") << QByteArray("00FF") << 255;
        QTest::newRow("odd length") << QByteArray("0FF") << 0;
        QTest::newRow("empty") << QByteArray() << 0;
        QTest::newRow("repeats digit before") << QByteArray("1G") << 17;
        QTest::newRow("bad first counts 0") << QByteArray("G1") << 1;
        QTest::newRow("eight f") << QByteArray("ffffffff") << -1;
        QTest::newRow("ten digits keep last eight") << QByteArray("FF12345678") << 0x12345678;
    }
    void hexToIntEven()
    {
        QFETCH(QByteArray, text);
        QFETCH(int, want);
        QCOMPARE(HexToIntEven(text), want);
    }

    void makeSingleLine_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("want");
        QTest::addColumn<bool>("unchanged");
        QTest::newRow("CR LF") << "A\r\nB" << "A B" << false;
        QTest::newRow("LF") << "A\nB" << "A_B" << false;
        QTest::newRow("CR before CR LF") << "A\r\r\nB" << "A_ B" << false;
        QTest::newRow("plain") << "AB" << "AB" << true;
        QTest::newRow("empty") << "" << "" << false;
    }
    void makeSingleLine()
    {
        QFETCH(QString, text);
        QFETCH(QString, want);
        QFETCH(bool, unchanged);
        QCOMPARE(MakeSingleLine(text), unchanged);
        QCOMPARE(text, want);
    }

    void checkFileName_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("want");
        QTest::addColumn<bool>("unchanged");
        QTest::addColumn<int>("infoLines");
        const QString sep{QLatin1Char(kQuietSep)};
        const QString info{QLatin1Char(kInfoChar)};
        QTest::newRow("question mark") << "a?b.XQP" << "a b.XQP" << false << 0;
        QTest::newRow("all replaced") << "\"*<>?|" << "      " << false << 0;
        QTest::newRow("path passes") << "C:" + sep + "x" + sep + "y.XQP" << "C:" + sep + "x" + sep + "y.XQP" << true << 0;
        QTest::newRow("info character stays") << "a" + info + "b" + info + "c" << "a" + info + "b" + info + "c"
                                              << true << 2;
        QTest::newRow("empty") << "" << "" << false << 0;
    }
    void checkFileName()
    {
        QFETCH(QString, name);
        QFETCH(QString, want);
        QFETCH(bool, unchanged);
        QFETCH(int, infoLines);
        QStringList lines;
        QCOMPARE(CheckFileName(name, lines), unchanged);
        QCOMPARE(name, want);
        QCOMPARE(lines.size(), infoLines);
    }

    void checkFileNameWritesInfoLine()
    {
        TTestUmgebung env;
        const QString info{QLatin1Char(kInfoChar)};
        QString name = "a" + info + "b?";
        QVERIFY(!CheckFileName(name));
        QCOMPARE(name, "a" + info + "b ");
        QFile f(LogDayDir(QDate::currentDate()) + QStringLiteral("Kelvor.err"));
        QVERIFY(f.open(QIODevice::ReadOnly));
        const QByteArray want = "Nur Info: Dateinamen mit \"" + QByteArray(1, kInfoChar) + "\": a"
                                + QByteArray(1, kInfoChar) + "b?\r\n";
        QVERIFY2(f.readAll().endsWith(want), want.constData());
    }

    void nameLines_data()
    {
        QTest::addColumn<QByteArray>("text");
        QTest::addColumn<QByteArray>("joined");
        QTest::addColumn<QByteArray>("trimmed");
        QTest::addColumn<QByteArray>("name20");
        QTest::newRow("two lines") << QByteArray("Brot\r\nhell") << QByteArray("Brot      hell")
                                   << QByteArray("Brot      hell") << QByteArray("Brot      hell      ");
        QTest::newRow("trailing blanks") << QByteArray("Brot\r\nhell   ") << QByteArray("Brot      hell   ")
                                         << QByteArray("Brot      hell") << QByteArray("Brot      hell      ");
        QTest::newRow("long first line") << QByteArray("Bauernbrote\r\nx") << QByteArray("Bauernbrotex")
                                         << QByteArray("Bauernbrotex") << QByteArray("Bauernbrotex        ");
        QTest::newRow("three lines") << QByteArray("a\r\nb\r\nc") << QByteArray("a         bc")
                                     << QByteArray("a         b\r\nc") << QByteArray("a         b\r\nc      ");
        QTest::newRow("one line") << QByteArray("Brot") << QByteArray("Brot") << QByteArray("Brot")
                                  << QByteArray("Brot                ");
        QTest::newRow("25 characters") << QByteArray("ABCDEFGHIJKLMNOPQRSTUVWXY") << QByteArray("ABCDEFGHIJKLMNOPQRSTUVWXY")
                                       << QByteArray("ABCDEFGHIJKLMNOPQRSTUVWXY") << QByteArray("ABCDEFGHIJKLMNOPQRST");
        QTest::newRow("empty") << QByteArray() << QByteArray() << QByteArray() << QByteArray(20, ' ');
    }
    void nameLines()
    {
        QFETCH(QByteArray, text);
        QFETCH(QByteArray, joined);
        QFETCH(QByteArray, trimmed);
        QFETCH(QByteArray, name20);
        QCOMPARE(JoinNameLines(text), joined);
        QCOMPARE(JoinNameLinesTrim(text), trimmed);
        QCOMPARE(FormatName20(text), name20);
    }

    void freeSlotTests_data()
    {
        QTest::addColumn<QByteArray>("name");
        QTest::addColumn<bool>("free");
        QTest::addColumn<bool>("startsWithF");
        QTest::newRow("free slot") << QByteArray("frei free libre     ") << true << true;
        QTest::newRow("capital F") << QByteArray("Frei free libre     ") << false << false;
        QTest::newRow("inside") << QByteArray("x frei free libre") << true << false;
        QTest::newRow("f name") << QByteArray("fladenbrot") << false << true;
        QTest::newRow("other") << QByteArray("Brot") << false << false;
        QTest::newRow("empty") << QByteArray() << false << false;
    }
    void freeSlotTests()
    {
        QFETCH(QByteArray, name);
        QFETCH(bool, free);
        QFETCH(bool, startsWithF);
        QCOMPARE(IsFreeSlotName(name), free);
        QCOMPARE(StartsWithF(name), startsWithF);
    }

    void smallPieces()
    {
        QCOMPARE(StringOfCharN('x', 3), QByteArray("xxx"));
        QCOMPARE(StringOfCharN('x', 0), QByteArray());
        QCOMPARE(StringOfCharN('x', -4), QByteArray());
        QCOMPARE(WrapEnqSi("ID") + "7", QByteArray("\x05ID\x0F" "7"));
    }
};

QTEST_MAIN(TstUmwandlungen)
#include "tst_Umwandlungen.moc"

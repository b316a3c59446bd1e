#include "app/Sammlung.h"
#include "support/TestUmgebung.h"
#include "app/uKonstanten.h"

#include <QtTest>

#include <limits>

namespace {
constexpr int kMin = std::numeric_limits<int>::min();
constexpr int kMax = std::numeric_limits<int>::max();

// Stays in a name but earns an information line; the path separator passes silently.
#ifdef Q_OS_WIN
const QString kInfo = QStringLiteral("/"), kSep = QStringLiteral("\\");
#else
const QString kInfo = QStringLiteral("\\"), kSep = QStringLiteral("/");
#endif
// Off Windows the cleaned characters are legal in folder names, and only the last part of a
// path is cleaned.
#ifdef Q_OS_WIN
constexpr bool kWholePath = true;
#else
constexpr bool kWholePath = false;
#endif
} // namespace

class TstUmwandlungen : public QObject
{
    Q_OBJECT
private slots:
    void minutes()
    {
        const struct { int value; bool force; const char *text; } toStr[] = {
            {0, false, ""}, {0, true, "00:00"}, {65, false, "01:05"}, {6000, false, "100:00"}, {-5, false, "--00:05"},
            {kMax, false, "35791394:07"}, {kMin, false, "--35791394:08"}};
        for (const auto &c : toStr)
            QCOMPARE(MinutenToStr(c.value, c.force), QString::fromLatin1(c.text));
        const QList<QPair<const char *, int>> fromStr{{"01:30", 90}, {"1:5", 65}, {"12:345", 754}, {"45", 45},
                                                      {"123", 12},   {"x:30", 30}, {"", 0},
                                                      {"35791395:00", kMax}, {"-35791395:00", kMin}};
        for (const auto &[text, want] : fromStr)
            QVERIFY2(StrToMinuten(QString::fromLatin1(text)) == want, text);
    }

    void hex()
    {
        const QList<QPair<QByteArray, int>> toInt{{"00FF", 255},       {"00ff", -1},      {"", -1},
                                                  {"1FFFFFFFF", -1},   {"7FFFFFFF", kMax}, {"80000000", kMin},
                                                  {"G0000000F", -1}};
        for (const auto &[text, want] : toInt)
            QVERIFY2(HexToInt(text) == want, text.constData());
        const QList<QPair<QByteArray, int>> even{{"00ff", 255}, {"00FF", 255}, {"0FF", 0}, {"", 0},
                                                 {"1G", 17},    {"G1", 1},     {"ffffffff", -1}};
        for (const auto &[text, want] : even)
            QVERIFY2(HexToIntEven(text) == want, text.constData());
    }

    void singleLineAndFileNames()
    {
        const struct { const char *in, *out; bool unchanged; } lines[] = {
            {"A\r\nB", "A B", false}, {"A\nB", "A_B", false}, {"A\r\r\nB", "A_ B", false}, {"AB", "AB", true}, {"", "", false}};
        for (const auto &c : lines) {
            QString s = QString::fromLatin1(c.in);
            QCOMPARE(MakeSingleLine(s), c.unchanged);
            QCOMPARE(s, QString::fromLatin1(c.out));
        }
        const struct { QString in, out; bool unchanged; int info; } names[] = {
            {"a?b.XQP", "a b.XQP", false, 0}, {"\"*<>?|", "      ", false, 0},
            {"C:" + kSep + "x" + kSep + "y.XQP", "C:" + kSep + "x" + kSep + "y.XQP", true, 0},
            {"a" + kInfo + "b" + kInfo, "a" + kInfo + "b" + kInfo, true, 2}, {"", "", false, 0},
            {"a?|b" + kSep + "x?.XQP", (kWholePath ? "a  b" : "a?|b") + kSep + "x .XQP", false, 0},
            {"a?" + kSep + "b*" + kSep + "x.XQP", kWholePath ? "a " + kSep + "b " + kSep + "x.XQP" : "a?/b*/x.XQP",
             !kWholePath, 0}};
        for (const auto &c : names) {
            QString s = c.in;
            QStringList info;
            QCOMPARE(CheckFileName(s, info), c.unchanged);
            QCOMPARE(s, c.out);
            QCOMPARE(info.size(), c.info);
        }
        TTestUmgebung env; // the plain call writes its information line into the error file
        QString s = "a" + kInfo + "b?";
        QVERIFY(!CheckFileName(s));
        QVERIFY(dateiLesen(LogDayDir(QDate::currentDate()) + QStringLiteral("Kelvor.err"))
                    .endsWith("Nur Info: Dateinamen mit \"" + kInfo.toLatin1() + "\": a" + kInfo.toLatin1() + "b?\r\n"));
    }

    void nameLines()
    {
        const struct { QByteArray in, joined, trimmed, name20; } cases[] = {
            {"Brot\r\nhell   ", "Brot      hell   ", "Brot      hell", "Brot      hell      "},
            {"Bauernbrote\r\nx", "Bauernbrotex", "Bauernbrotex", "Bauernbrotex        "},
            {"a\r\nb\r\nc", "a         bc", "a         b\r\nc", "a         b\r\nc      "},
            {"Brot", "Brot", "Brot", "Brot                "},
            {"ABCDEFGHIJKLMNOPQRSTUVWXY", "ABCDEFGHIJKLMNOPQRSTUVWXY", "ABCDEFGHIJKLMNOPQRSTUVWXY", "ABCDEFGHIJKLMNOPQRST"}};
        for (const auto &c : cases) {
            QCOMPARE(JoinNameLines(c.in), c.joined);
            QCOMPARE(JoinNameLinesTrim(c.in), c.trimmed);
            QCOMPARE(FormatName20(c.in), c.name20);
        }
    }

    void freeSlotsAndSmallPieces()
    {
        const struct { QByteArray name; bool free, f; } cases[] = {
            {"frei free libre     ", true, true}, {"Frei free libre     ", false, false},
            {"x frei free libre", true, false},   {"fladenbrot", false, true}, {"", false, false}};
        for (const auto &c : cases) {
            QCOMPARE(IsFreeSlotName(c.name), c.free);
            QCOMPARE(StartsWithF(c.name), c.f);
        }
        QCOMPARE(StringOfCharN('x', 3), QByteArray("xxx"));
        QCOMPARE(StringOfCharN('x', -4), QByteArray());
        QCOMPARE(WrapEnqSi("ID") + "7", QByteArray("\x05ID\x0F" "7"));
    }
};

QTEST_MAIN(TstUmwandlungen)
#include "tst_Umwandlungen.moc"

#include "Codepage.h"
#include "Dateischreiben.h"
#include "Dialoge.h"
#include "TestUmgebung.h"
#include "Zahlformat.h"
#include "Zeitgeber.h"

#include <QFile>
#include <QSignalSpy>
#include <QtTest>

class TstGrundlagen : public QObject
{
    Q_OBJECT
private slots:
    void everyByteSurvivesBothCodepages()
    {
        for (TCodepage cp : {TCodepage::Windows1252, TCodepage::Windows1251}) {
            QByteArray all;
            for (int i = 0; i < 256; ++i)
                all.append(char(i));
            const QString text = AnsiToString(all, cp);
            QCOMPARE(text.size(), 256);
            QCOMPARE(StringToAnsi(text, cp), all);
        }
        QCOMPARE(AnsiToString("\x80\xE4\xDF"), QStringLiteral("€äß"));
        QCOMPARE(AnsiToString("\xC0\xFF\xA8", TCodepage::Windows1251), QStringLiteral("АяЁ"));
        QCOMPARE(StringToAnsi(QStringLiteral("Я"), TCodepage::Windows1252), QByteArray("?"));
    }

    void numberFormats_data()
    {
        QTest::addColumn<QByteArray>("got");
        QTest::addColumn<QByteArray>("want");
        QTest::newRow("hex4") << FormatHex(255, 4) << QByteArray("00FF");
        QTest::newRow("hex2 wide") << FormatHex(0x1234, 2) << QByteArray("1234");
        QTest::newRow("hex negative") << FormatHex(-1, 4) << QByteArray("FFFFFFFF");
        QTest::newRow("dec3") << FormatDec(7, 3) << QByteArray("007");
        QTest::newRow("dec3 negative") << FormatDec(-5, 3) << QByteArray("-005");
        QTest::newRow("dec smallest") << FormatDec(std::numeric_limits<qint64>::min(), 2)
                                      << QByteArray("-9223372036854775808");
        QTest::newRow("pad") << FormatDecPadded(5, 2) << QByteArray(" 5");
    }
    void numberFormats()
    {
        QFETCH(QByteArray, got);
        QFETCH(QByteArray, want);
        QCOMPARE(got, want);
    }

    void decimalParser()
    {
        QCOMPARE(ParseDec("00095", -1), 95);
        QCOMPARE(ParseDec(" -12 ", 0), -12);
        QCOMPARE(ParseDec("12a", -1), -1);
        QCOMPARE(ParseDec("", 7), 7);
        QCOMPARE(ParseDec("-", 7), 7);
        QCOMPARE(ParseDec("2147483648", 3), 3);
        QCOMPARE(ParseDec("-2147483648", 3), std::numeric_limits<int>::min());
    }

    void timerKeepsItsRules()
    {
        TTestUmgebung env(0.01);
        TTimer t(nullptr, 1000);
        QSignalSpy spy(&t, &TTimer::timeout);
        t.setEnabled(true);
        QVERIFY(spy.wait(500));
        t.setInterval(0);
        spy.clear();
        QVERIFY(!spy.wait(100)); // interval 0 never fires
        QVERIFY(t.enabled());
        t.setSingleShot(true);
        t.setInterval(500);
        QVERIFY(spy.wait(500));
        QVERIFY(!t.enabled());
        QCOMPARE(ScaledMs(0), 0);
        QCOMPARE(ScaledMs(10), 1);
    }

    void failedWriteKeepsOldFile()
    {
        TTestUmgebung env;
        const QString path = env.path(QStringLiteral("f.bin"));
        QVERIFY(WriteFileAtomic(path, "old contents"));
        SetWriteFailureAfterBytes(3);
        QString err;
        QVERIFY(!WriteFileAtomic(path, "new contents that fail", &err));
        SetWriteFailureAfterBytes(-1);
        QVERIFY(!err.isEmpty());
        QFile f(path);
        QVERIFY(f.open(QIODevice::ReadOnly));
        QCOMPARE(f.readAll(), QByteArray("old contents"));
    }

    void dialogsAnsweredInAdvance()
    {
        TTestUmgebung env;
        env.dialoge().expectBox(QMessageBox::Yes);
        env.dialoge().expectFile(QStringLiteral("/x/y.XQR"));
        QCOMPARE(ShowMessageBox(nullptr, TBoxKind::Question, "Frage", "Sicher?", QMessageBox::Yes | QMessageBox::No),
                 QMessageBox::Yes);
        QCOMPARE(AskOpenFileName(nullptr, "Öffnen", "/x", "*.XQR"), QStringLiteral("/x/y.XQR"));
        QVERIFY(env.dialoge().allAnswersUsed());
        QCOMPARE(env.dialoge().unexpected(), 0);
        QCOMPARE(ShowMessageBox(nullptr, TBoxKind::Warning, "W", "unerwartet"), QMessageBox::Cancel);
        QCOMPARE(env.dialoge().unexpected(), 1);
    }
};

QTEST_MAIN(TstGrundlagen)
#include "tst_Grundlagen.moc"

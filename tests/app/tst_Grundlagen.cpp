#include "app/Codepage.h"
#include "app/Dialoge.h"
#include "app/Registry.h"
#include "support/TestUmgebung.h"
#include "app/Zahlformat.h"
#include "app/Zeitgeber.h"

#include <QDialog>
#include <QSignalSpy>
#include <QtTest>

class TstGrundlagen : public QObject
{
    Q_OBJECT
private slots:
    void everyByteSurvivesBothCodepages()
    {
        for (TCodepage cp : {TCodepage::Windows1252, TCodepage::Windows1251}) {
            const QString text = AnsiToString(alleBytes(), cp);
            QCOMPARE(text.size(), 256);
            QCOMPARE(StringToAnsi(text, cp), alleBytes());
        }
        QCOMPARE(AnsiToString("\x80\xE4\xDF"), QStringLiteral("€äß"));
        QCOMPARE(AnsiToString("\xC0\xFF\xA8", TCodepage::Windows1251), QStringLiteral("АяЁ"));
        QCOMPARE(StringToAnsi(QStringLiteral("Я")), QByteArray("?"));
    }

    void numberFormats()
    {
        QCOMPARE(FormatHex(255, 4), QByteArray("00FF"));
        QCOMPARE(FormatHex(0x1234, 2), QByteArray("1234"));
        QCOMPARE(FormatHex(-1, 4), QByteArray("FFFFFFFF"));
        QCOMPARE(FormatDec(-5, 3), QByteArray("-005"));
        QCOMPARE(FormatDec(std::numeric_limits<qint64>::min(), 2), QByteArray("-9223372036854775808"));
        QCOMPARE(FormatDecPadded(5, 2), QByteArray(" 5"));
        QCOMPARE(ParseDec("00095", -1), 95);
        QCOMPARE(ParseDec(" -12 ", 0), -12);
        QCOMPARE(ParseDec("12a", -1), -1);
        QCOMPARE(ParseDec("-", 7), 7);
        QCOMPARE(ParseDec("2147483648", 3), 3);
        QCOMPARE(ParseDec("-2147483648", 3), std::numeric_limits<int>::min());
    }

    void timerOnTheTimeScale()
    {
        TTestUmgebung env(0.01);
        TTimer t(nullptr, 1000);
        QSignalSpy spy(&t, &TTimer::timeout);
        t.setEnabled(true);
        QVERIFY(spy.wait(500)); // 1000 ms scaled to 10
        t.setInterval(0);
        spy.clear();
        QVERIFY(!spy.wait(100)); // interval 0 never fires
        QVERIFY(t.enabled());
        QCOMPARE(ScaledMs(10), 1);
    }

    void seamsKeepTestsInTheirFolder()
    {
        TTestUmgebung env;
        OpenRegistry(QStringLiteral("Zelnor"), QStringLiteral("Kelvor"))->setValue(QStringLiteral("k"), 1);
        QVERIFY(QFileInfo::exists(env.path(QStringLiteral("registry/Zelnor/Kelvor.conf"))));

        env.dialoge().expectBox(QMessageBox::Yes);
        env.dialoge().expectFile(QStringLiteral("/x/y.XQR"));
        QCOMPARE(ShowMessageBox(nullptr, TBoxKind::Question, "Frage", "Sicher?", QMessageBox::Yes | QMessageBox::No),
                 QMessageBox::Yes);
        QCOMPARE(AskOpenFileName(nullptr, "Öffnen", "/x", "*.XQR"), QStringLiteral("/x/y.XQR"));
        QVERIFY(env.dialoge().allAnswersUsed());
        QCOMPARE(env.dialoge().unexpected(), 0);
        QCOMPARE(ShowMessageBox(nullptr, TBoxKind::Warning, "W", "unerwartet"), QMessageBox::Cancel);
        QCOMPARE(env.dialoge().unexpected(), 1);

        QDialog fenster;
        fenster.setObjectName(QStringLiteral("Einrichtung"));
        env.dialoge().expectDialog([](QDialog *d) { d->setWindowTitle(QStringLiteral("gesetzt")); return int(QDialog::Accepted); });
        QCOMPARE(RunModalDialog(&fenster), int(QDialog::Accepted));
        QCOMPARE(fenster.windowTitle(), QStringLiteral("gesetzt"));
        QCOMPARE(env.dialoge().dialogs(), QStringList{QStringLiteral("Einrichtung")});
    }

    void fileDialogObjects()
    {
        QCOMPARE(QtDateiFilter(QStringLiteral("XQ7310-Backprogramm (*.XQP)|*.XQP")),
                 QStringLiteral("XQ7310-Backprogramm (*.XQP *.xqp)"));
        QCOMPARE(QtDateiFilter(QStringLiteral("XQ-Nachtstarts (*.XQN)|*.XQN|Alle Programme|*.*")),
                 QStringLiteral("XQ-Nachtstarts (*.XQN *.xqn);;Alle Programme (*.*)"));
        QCOMPARE(QtDateiFilter(QStringLiteral("kaputt")), QString());

        TTestUmgebung env;
        TDateiDialog save(TDateiDialog::Speichern);
        save.Filter = QStringLiteral("XQ-Backprogramm-Records|*.XQR");
        save.DefaultExt = QStringLiteral("XQR");
        save.FileName = QStringLiteral("XQ7310");
        save.OverwritePrompt = true;
        env.dialoge().expectFile(QString());
        QVERIFY(!save.Execute(nullptr));
        QCOMPARE(save.FileName, QStringLiteral("XQ7310")); // a cancel keeps the proposal
        env.dialoge().expectFile(QStringLiteral("/b/Brot.XQR"));
        QVERIFY(save.Execute(nullptr));
        QCOMPARE(save.FileName, QStringLiteral("/b/Brot.XQR"));
        const TFileRequest r = env.dialoge().fileRequests().last();
        QCOMPARE(r.kind, TFileDialogKind::Save);
        QCOMPARE(r.defaultSuffix, QStringLiteral("XQR"));
        QCOMPARE(r.fileName, QStringLiteral("XQ7310"));
        QVERIFY(r.overwritePrompt);

        TDateiDialog open(TDateiDialog::Oeffnen);
        open.MultiSelect = true;
        env.dialoge().expectFile(QStringList{QStringLiteral("/a/1.XQP"), QStringLiteral("/a/0.XQP")});
        QVERIFY(open.Execute(nullptr));
        QCOMPARE(env.dialoge().fileRequests().last().kind, TFileDialogKind::OpenMany);
        QCOMPARE(open.Files.size(), 2);
        QCOMPARE(open.FileName, QStringLiteral("/a/1.XQP"));
    }
};

QTEST_MAIN(TstGrundlagen)
#include "tst_Grundlagen.moc"

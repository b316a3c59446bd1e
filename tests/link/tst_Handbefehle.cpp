#include "About.h"
#include "Codepage.h"
#include "Registry.h"
#include "Sammlung.h"
#include "TestUmgebung.h"
#include "Zeitgeber.h"
#include "uKelvor.h"
#include "uShowbox.h"

#include <QCheckBox>
#include <QDateTime>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <QRegularExpression>
#include <QSpinBox>
#include <QtTest>
#include <memory>

namespace {
const QString TestIP = QStringLiteral("127.000.000.001");

// The lines of today's error file of the program that contain `wort`, without time stamps.
QStringList fehlerZeilen(const QString &wort)
{
    QFile f(LogDayDir(QDate::currentDate()) + QStringLiteral("Kelvor.err"));
    if (!f.open(QIODevice::ReadOnly))
        return {};
    QStringList lines;
    for (const QByteArray &raw : f.readAll().split('\n')) {
        const QString line = AnsiToString(raw.trimmed());
        const qsizetype cut = line.indexOf(QLatin1String(": "));
        if (line.contains(wort) && cut >= 0)
            lines << line.mid(cut + 2);
    }
    return lines;
}
} // namespace

class TstHandbefehle : public QObject
{
    Q_OBJECT
private:
    std::unique_ptr<TTestUmgebung> env;
    QPointer<TwKelvor> fenster;

    TwKelvor *oeffnen(const QStringList &words = {QStringLiteral("QUAMP")})
    {
        fenster = new TwKelvor;
        fenster->FormCreate(QStringList{QStringLiteral("/opt/kelvor/kelvor")} + words);
        return fenster;
    }

    static QByteArray zeile(const QByteArray &befehl, const QByteArray &param)
    {
        return '\t' + befehl + '\t' + param;
    }

private slots:
    void initTestCase()
    {
        const qint64 pid = QCoreApplication::applicationPid();
        qputenv("KELVOR_LISTEN_ADDRESS",
                QStringLiteral("127.%1.%2.%3").arg(100 + pid % 100).arg((pid / 100) % 250 + 1).arg((pid / 25000) % 250 + 1).toLatin1());
    }

    void init()
    {
        env = std::make_unique<TTestUmgebung>();
        OpenRegistry(QStringLiteral("Zelnor"), QStringLiteral("Kelvor"))->setValue(QStringLiteral("TCPIP_IPAdresse"), TestIP);
        InitVerzeichnisse();
        ServiceMode = CyrillicMode = CyrillicDebug = DiagView = false;
        BPrgXQDir = env->path(QStringLiteral("prog/BPRG"));
    }

    void cleanup()
    {
        for (QWidget *top : QApplication::topLevelWidgets())
            if (qobject_cast<TwShowbox *>(top))
                delete top;
        delete fenster.data();
        QVERIFY(!AboutBox); // went with the window that made it
        QCOMPARE(env->dialoge().unexpected(), 0);
        env.reset();
    }

    void buttonQueuesItsCommand_data()
    {
        QTest::addColumn<QString>("button");
        QTest::addColumn<QList<int>>("werte"); // HerdNo, Params, SchwadenZeit, AbzugWert, EinStatus, NachtStatus
        QTest::addColumn<QByteArray>("befehl");
        QTest::addColumn<QByteArray>("param");
        const QList<int> vorgabe{0, 50, 1, 0, 0, -1};
        QTest::newRow("Ping") << "Ping" << vorgabe << QByteArray("SB_PING") << QByteArray();
        QTest::newRow("HERD") << "HERD" << vorgabe << QByteArray("SB_HERD") << QByteArray();
        QTest::newRow("Liste") << "ListeBtn" << vorgabe << QByteArray("SB_BPLI") << QByteArray();
        QTest::newRow("Start deck 0") << "Start" << vorgabe << QByteArray("SB_STAR") << QByteArray("0001");
        QTest::newRow("Start deck -1") << "Start" << QList<int>{-1, 50, 1, 0, 0, -1} << QByteArray("SB_STAR") << QByteArray("80000000");
        QTest::newRow("Stop deck 33") << "Stop" << QList<int>{33, 50, 1, 0, 0, -1} << QByteArray("SB_STOP") << QByteArray("0002");
        QTest::newRow("Stop deck 16") << "Stop" << QList<int>{16, 50, 1, 0, 0, -1} << QByteArray("SB_STOP") << QByteArray("10000");
        QTest::newRow("PWahl 2/255") << "PWahl" << QList<int>{2, 255, 1, 0, 0, -1} << QByteArray("SB_LOAD") << QByteArray("0004\t00FF");
        QTest::newRow("DoTemp 15/9999") << "DoTemp" << QList<int>{15, 9999, 1, 0, 0, -1} << QByteArray("SB_SOLL") << QByteArray("8000\t270F");
        QTest::newRow("BackZeit -1") << "DoBZeit" << QList<int>{3, -1, 1, 0, 0, -1} << QByteArray("SB_BZEI") << QByteArray("0008\tFFFFFFFF");
        QTest::newRow("Schwaden 5") << "SchwadenBtn" << QList<int>{1, 50, 5, 0, 0, -1} << QByteArray("SB_SWAD") << QByteArray("0002\t005");
        QTest::newRow("Abzug 100") << "AbzugBtn" << QList<int>{0, 50, 1, 100, 0, -1} << QByteArray("SB_AZUG") << QByteArray("0001\t100");
        QTest::newRow("Ein 2/-1") << "Ein" << QList<int>{0, 50, 1, 0, 2, -1} << QByteArray("SB_OFEN") << QByteArray("02\t-01");
        QTest::newRow("Ein 1/13") << "Ein" << QList<int>{0, 50, 1, 0, 1, 13} << QByteArray("SB_OFEN") << QByteArray("01\t13");
    }
    void buttonQueuesItsCommand()
    {
        QFETCH(QString, button);
        QFETCH(QList<int>, werte);
        QFETCH(QByteArray, befehl);
        QFETCH(QByteArray, param);
        TwKelvor *w = oeffnen();
        const QList<QSpinBox *> felder{w->HerdNo, w->Params, w->SchwadenZeit, w->AbzugWert, w->EinStatus, w->NachtStatus};
        for (int i = 0; i < felder.size(); ++i) {
            felder[i]->setValue(werte[i]);
            QCOMPARE(felder[i]->value(), werte[i]);
        }
        auto *knopf = w->findChild<QPushButton *>(button);
        QVERIFY(knopf);
        knopf->click();
        QCOMPARE(w->Links[0]->MakroZeilen(), QList<QByteArray>{zeile(befehl, param)});
    }

    void deleteRange_data()
    {
        QTest::addColumn<int>("von");
        QTest::addColumn<int>("bis");
        QTest::addColumn<QByteArray>("param");
        QTest::newRow("10..12") << 10 << 12 << QByteArray("DELETE\t000A\t000B\t000C");
        QTest::newRow("one") << 199 << 199 << QByteArray("DELETE\t00C7");
        QTest::newRow("end below start") << 12 << 10 << QByteArray("DELETE");
    }
    void deleteRange()
    {
        QFETCH(int, von);
        QFETCH(int, bis);
        QFETCH(QByteArray, param);
        TwKelvor *w = oeffnen();
        w->DelNrStart->setValue(von);
        w->DelNrEnde->setValue(bis);
        w->DeleteBtn->click();
        QCOMPARE(w->Links[0]->MakroZeilen(), QList<QByteArray>{zeile("SB_BPRG", param)});
    }

    void deleteRangeStaysWithinProgramNumbers()
    {
        TwKelvor *w = oeffnen();
        for (QSpinBox *s : {w->DelNrStart, w->DelNrEnde}) {
            s->setValue(-5);
            QCOMPARE(s->value(), 1);
            s->setValue(100000000);
            QCOMPARE(s->value(), 199);
        }
        w->DelNrStart->setValue(1);
        w->DeleteBtn->click();
        const QByteArray line = w->Links[0]->MakroZeilen().value(0);
        QCOMPARE(line.count('\t'), 2 + 199);
        QVERIFY(line.startsWith("\tSB_BPRG\tDELETE\t0001\t0002\t"));
        QVERIFY(line.endsWith("\t00C6\t00C7"));

        // The text builder keeps to the same numbers whatever it is given.
        QCOMPARE(DeleteParameter(0, 2), QByteArray("DELETE\t0001\t0002"));
        QCOMPARE(DeleteParameter(198, 65535), QByteArray("DELETE\t00C6\t00C7"));
        QCOMPARE(DeleteParameter(std::numeric_limits<int>::min(), std::numeric_limits<int>::max()).count('\t'), 199);
        QCOMPARE(DeleteParameter(500, 600), QByteArray("DELETE\t00C7"));
    }

    void clockAndVersionEmptyTheirEditFirst()
    {
        TwKelvor *w = oeffnen();
        w->XQTime->setText(QStringLiteral("alt"));
        w->VersionEdit->setText(QStringLiteral("alt"));
        w->Abfragen->click();
        QVERIFY(w->XQTime->text().isEmpty());
        w->Version->click();
        QVERIFY(w->VersionEdit->text().isEmpty());
        const QDateTime vorher = QDateTime::currentDateTime().addSecs(-1);
        w->Stellen->click();
        const QDateTime nachher = QDateTime::currentDateTime().addSecs(1);

        const QList<QByteArray> zeilen = w->Links[0]->MakroZeilen();
        QCOMPARE(zeilen.size(), 3);
        QCOMPARE(zeilen[0], zeile("SB_ZEIT", {}));
        QCOMPARE(zeilen[1], zeile("SB_STAT", {}));
        QVERIFY(zeilen[2].startsWith(zeile("SB_ZEIT", {})));
        const QString gestellt = QString::fromLatin1(zeilen[2].mid(zeile("SB_ZEIT", {}).size()));
        static const QRegularExpression form(QStringLiteral("^\\d\\d\\.\\d\\d\\.\\d{4} \\d\\d:\\d\\d:\\d\\d$"));
        QVERIFY2(form.match(gestellt).hasMatch(), qPrintable(gestellt));
        const QDateTime t = QDateTime::fromString(gestellt, QStringLiteral("dd.MM.yyyy hh:mm:ss"));
        QVERIFY(t >= vorher.addMSecs(-vorher.time().msec()) && t <= nachher);
    }

    void clockDisplayTicks()
    {
        SetTimeScale(0.01);
        TwKelvor *w = oeffnen({});
        QVERIFY(w->PCTime->text().isEmpty());
        static const QRegularExpression form(QStringLiteral("^\\d\\d\\.\\d\\d\\.\\d{4}( \\d\\d:\\d\\d:\\d\\d)?$"));
        QTRY_VERIFY_WITH_TIMEOUT(form.match(w->PCTime->text()).hasMatch(), 1000);
    }

    void killBoxWritesInOrder_data()
    {
        QTest::addColumn<bool>("endlosVorher");
        QTest::addColumn<QStringList>("an");
        QTest::newRow("others off")
            << false << QStringList{"EndlosSenden aktiviert!!", "NoWait aktiviert!!", "Killbox aktiviert!!"};
        // A box already in that state does not change and writes nothing.
        QTest::newRow("EndlosSenden on") << true << QStringList{"NoWait aktiviert!!", "Killbox aktiviert!!"};
    }
    void killBoxWritesInOrder()
    {
        QFETCH(bool, endlosVorher);
        QFETCH(QStringList, an);
        TwKelvor *w = oeffnen();
        w->EndlosSenden->setChecked(endlosVorher);
        const int davor = fehlerZeilen(QStringLiteral("aktiviert!!")).size();

        w->KillBox->setChecked(true);
        QVERIFY(w->KillBoxGesetzt() && w->EndlosSendenGesetzt() && w->NoWaitGesetzt());
        QCOMPARE(fehlerZeilen(QStringLiteral("aktiviert!!")).mid(davor), an);

        w->KillBox->setChecked(false);
        QVERIFY(!w->KillBoxGesetzt() && !w->EndlosSendenGesetzt() && !w->NoWaitGesetzt());
        QCOMPARE(fehlerZeilen(QStringLiteral("aktiviert!!")).mid(davor + an.size()),
                 (QStringList{"EndlosSenden deaktiviert!!", "NoWait deaktiviert!!", "Killbox deaktiviert!!"}));
        // None of it goes to the on-screen error list.
        for (int i = 0; i < w->LBError->count(); ++i)
            QVERIFY(!w->LBError->item(i)->text().contains(QLatin1String("aktiviert")));
    }

    void singleSwitchesWriteTheirOwnLine()
    {
        TwKelvor *w = oeffnen();
        w->NoWait->click();
        w->EndlosSenden->click();
        w->NoWait->click();
        QCOMPARE(fehlerZeilen(QStringLiteral("aktiviert!!")),
                 (QStringList{"NoWait aktiviert!!", "EndlosSenden aktiviert!!", "NoWait deaktiviert!!"}));
        QVERIFY(!w->KillBox->isChecked());
    }

    void debugWindowToggles()
    {
        TwKelvor *w = oeffnen({});
        w->show();
        QVERIFY(QTest::qWaitForWindowExposed(w));
        QVERIFY(w->Fensterpanel->isHidden());
        const int klein = w->height();

        w->DebugfensterZeigen1->trigger();
        QVERIFY(!w->Fensterpanel->isHidden());
        QVERIFY(w->DebugPanel->isHidden());
        QVERIFY(!w->AutoSize());
        QTRY_COMPARE(w->height(), klein + 200);
        QVERIFY(!DiagView);
        // The outgoing log now takes lines.
        w->BefehlEintragen(QStringLiteral("out"));
        QCOMPARE(w->LBout->count(), 1);

        w->DebugfensterZeigen1->trigger();
        QVERIFY(w->Fensterpanel->isHidden());
        QVERIFY(w->AutoSize());
        QTRY_COMPARE(w->height(), klein);
    }

    void diagnosticKeyGrowsAtEveryPress()
    {
        TwKelvor *w = oeffnen({});
        w->show();
        QVERIFY(QTest::qWaitForWindowExposed(w));
        w->activateWindow();
        w->IPEdit->setFocus();
        const int klein = w->height();
        const QString ip = w->IPEdit->text();

        // Near misses do nothing.
        QTest::keyClick(w->IPEdit, Qt::Key_D, Qt::ControlModifier | Qt::AltModifier);
        QTest::keyClick(w->IPEdit, Qt::Key_E, Qt::ControlModifier | Qt::AltModifier | Qt::ShiftModifier);
        w->FormKeyDown(Qt::Key_D, Qt::ControlModifier | Qt::ShiftModifier);
        QVERIFY(!DiagView);
        QVERIFY(w->Fensterpanel->isHidden());

        // Seen by the window while an edit has the focus.
        QTest::keyClick(w->IPEdit, Qt::Key_D, Qt::ControlModifier | Qt::AltModifier | Qt::ShiftModifier);
        QVERIFY(DiagView);
        QVERIFY(!w->Fensterpanel->isHidden());
        QVERIFY(w->DebugPanel->isHidden());
        QVERIFY(!w->AutoSize());
        QTRY_COMPARE(w->height(), klein + 200);
        QTest::keyClick(w->IPEdit, Qt::Key_D, Qt::ControlModifier | Qt::AltModifier | Qt::ShiftModifier);
        QTRY_COMPARE(w->height(), klein + 400);
        QCOMPARE(w->IPEdit->text(), ip);
    }

    void aboutBoxShowsVersionAndTag()
    {
        TwKelvor *w = oeffnen({});
        w->show();
        QVERIFY(QTest::qWaitForWindowExposed(w));
        QVERIFY(!AboutBox);
        w->Info1->trigger();
        QVERIFY(AboutBox);
        QVERIFY(AboutBox->isVisible());
        QCOMPARE(AboutBox->windowModality(), Qt::WindowModal);
        QVERIFY(!AboutBox->VersionZusatz.isEmpty());
        QCOMPARE(AboutBox->Version->text(),
                 QStringLiteral("Version 2.0.0 [Build 2] (") + AboutBox->VersionZusatz + QLatin1Char(')'));
        // A second opening after OK shows the same text, not the tag twice.
        AboutBox->OKButton->click();
        QVERIFY(!AboutBox->isVisible());
        TAboutBox *box = AboutBox;
        w->Info1->trigger();
        QCOMPARE(AboutBox, box);
        QCOMPARE(AboutBox->Version->text(),
                 QStringLiteral("Version 2.0.0 [Build 2] (") + AboutBox->VersionZusatz + QLatin1Char(')'));
        AboutBox->reject();
    }

    void showAndCloseButtons()
    {
        TwKelvor *w = oeffnen();
        w->show();
        QVERIFY(QTest::qWaitForWindowExposed(w));
        QVERIFY(!w->Links[0]->isVisible());
        w->OfenShow->click();
        QVERIFY(w->Links[0]->isVisible());
        QVERIFY(w->Links[0]->isWindow());
        // Shown, not queued: no command goes out for it.
        QVERIFY(w->Links[0]->MakroZeilen().isEmpty());
        // The list editor and the night-start window do not exist yet: nothing happens.
        w->BPrgBtn->click();
        w->NachtBtn->click();
        QVERIFY(w->isVisible());

        w->BeendenBtn->click();
        QVERIFY(Closing);
        QTRY_VERIFY(fenster.isNull());
    }
};

QTEST_MAIN(TstHandbefehle)
#include "tst_Handbefehle.moc"

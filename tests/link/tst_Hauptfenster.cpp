#include "Registry.h"
#include "Sammlung.h"
#include "TestUmgebung.h"
#include "Zeitgeber.h"
#include "uKelvor.h"
#include "uShowbox.h"

#include <QCheckBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QPointer>
#include <QPushButton>
#include <QRegularExpression>
#include <QScrollBar>
#include <QSpinBox>
#include <QtTest>
#include <memory>

namespace {
// Loopback only: the window must never reach for the preset bakery address in a test.
const QString TestIP = QStringLiteral("127.000.000.001");

std::unique_ptr<QSettings> registry()
{
    return OpenRegistry(QStringLiteral("Zelnor"), QStringLiteral("Kelvor"));
}

// Every text a user sees on the window: captions of visible buttons, labels, boxes and check boxes.
QStringList visibleTexts(QWidget *w)
{
    QStringList texts;
    for (QWidget *c : w->findChildren<QWidget *>()) {
        if (!c->isVisibleTo(w))
            continue;
        if (auto *b = qobject_cast<QAbstractButton *>(c))
            texts << b->text();
        else if (auto *l = qobject_cast<QLabel *>(c))
            texts << l->text();
        else if (auto *g = qobject_cast<QGroupBox *>(c))
            texts << g->title();
    }
    return texts;
}
} // namespace

class TstHauptfenster : public QObject
{
    Q_OBJECT
private:
    std::unique_ptr<TTestUmgebung> env;
    QPointer<TwKelvor> fenster;

    TwKelvor *oeffnen(const QStringList &words = {})
    {
        fenster = new TwKelvor;
        fenster->FormCreate(QStringList{QStringLiteral("/opt/kelvor/kelvor")} + words);
        return fenster;
    }

private slots:
    void initTestCase()
    {
        // A loopback address of this process alone, so parallel runs never share a listener.
        const qint64 pid = QCoreApplication::applicationPid();
        qputenv("KELVOR_LISTEN_ADDRESS",
                QStringLiteral("127.%1.%2.%3").arg(100 + pid % 100).arg((pid / 100) % 250 + 1).arg((pid / 25000) % 250 + 1).toLatin1());
    }

    void init()
    {
        env = std::make_unique<TTestUmgebung>();
        registry()->setValue(QStringLiteral("TCPIP_IPAdresse"), TestIP);
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
        QCOMPARE(env->dialoge().unexpected(), 0);
        env.reset();
    }

    void normalViewShowsOnlyTheTopBox()
    {
        TwKelvor *w = oeffnen();
        w->show();
        QVERIFY(QTest::qWaitForWindowExposed(w));
        QVERIFY(w->Fensterpanel->isHidden());
        QVERIFY(w->DebugPanel->isHidden());
        QVERIFY(w->AutoSize());
        QVERIFY(!w->RepeatTimer->enabled());
        QVERIFY(!ServiceMode);
        QVERIFY(w->height() < w->TorvikBox->height() + 60);

        const QStringList texts = visibleTexts(w);
        for (const char *t : {"Verbindung", "Port:", "IP-Adresse:", "Backprogrammfenster", "Nachtstarts", "PC-Zeit:",
                              "XQ-Zeit:", "Abfragen", "Stellen"})
            QVERIFY2(texts.contains(QLatin1String(t)), t);
        for (const char *t : {"Befehl vom PC:", "Antwort der Steuerung:", "Fehler:", "Beenden", "Übernehmen",
                              "Version", "TaskTest"})
            QVERIFY2(!texts.contains(QString::fromUtf8(t)), t);
        QCOMPARE(w->IPEdit->text(), TestIP);
        QCOMPARE(w->PortEdit->value(), 2601);
        QVERIFY(w->Tracking->isChecked());
        QVERIFY(w->ProtokollTimer->enabled());
    }

    void serviceViewShowsTheLogs()
    {
        TwKelvor *w = oeffnen({QStringLiteral("quamp")});
        w->show();
        QVERIFY(QTest::qWaitForWindowExposed(w));
        QVERIFY(!w->AutoSize());
        QCOMPARE(w->width(), 850);
        QCOMPARE(w->Befehl_Box->width(), 265);
        QCOMPARE(w->AntwortBox->width(), 320);
        const QStringList texts = visibleTexts(w);
        for (const char *t : {"Befehl vom PC:", "Antwort der Steuerung:", "Fehler:", "Alle leeren", "Tracking",
                              "Beenden", "Version", "TaskTest", "Befehle 'von Hand' schicken:"})
            QVERIFY2(texts.contains(QLatin1String(t)), t);
        QVERIFY(!texts.contains(QString::fromUtf8("Übernehmen")));
        QVERIFY(DiagView);
    }

    void everyComponentIsNamedOnce()
    {
        TwKelvor *w = oeffnen({QStringLiteral("QUAMP")});
        for (const char *name :
             {"TorvikBox", "PortEdit", "IPEdit", "VerbindungAktualisieren", "BPrgBtn", "NachtBtn", "Version", "PCTime",
              "XQTime", "VersionEdit", "Abfragen", "Stellen", "BeendenBtn", "Fensterpanel", "Befehl_Box", "LBout",
              "AntwortBox", "LBIn", "FehlerBox", "LBError", "ClearBtn", "Tracking", "DebugPanel", "PingTimer",
              "StatTimer", "ZeitTimer", "Ping", "HERD", "ListeBtn", "DeleteBtn", "DelNrStart", "DelNrEnde", "OfenShow",
              "KillBox", "EndlosSenden", "NoWait", "Start", "Stop", "PWahl", "DoTemp", "DoBZeit", "HerdNo", "Params",
              "SchwadenBtn", "SchwadenZeit", "AbzugBtn", "AbzugWert", "Ein", "EinStatus", "NachtStatus", "TaskTest",
              "RepeatBprgRead", "RepeatBprgSend", "RepeatListName", "SofortSenden"})
        {
            // The link's own window is a child too, with names of its own.
            int n = 0;
            for (QWidget *c : w->findChildren<QWidget *>(QLatin1String(name)))
                n += c->window() == w ? 1 : 0;
            QVERIFY2(n == 1, name);
        }
        for (const char *name : {"ProtokollTimer", "RepeatTimer", "Info1", "DebugfensterZeigen1"})
            QVERIFY2(w->findChildren<QObject *>(QLatin1String(name), Qt::FindDirectChildrenOnly).size()
                             + w->Hilfe1->findChildren<QObject *>(QLatin1String(name)).size() == 1, name);
        QCOMPARE(w->Links.size(), size_t(1));
        QVERIFY(w->Links[0]->parent() == w);
        QCOMPARE(w->Version->toolTip(), QStringLiteral("Abfrage Software-Version."));
        QCOMPARE(w->Abfragen->toolTip(), QStringLiteral("XQ-Zeit abfragen."));
        QCOMPARE(w->Stellen->toolTip(), QStringLiteral("XQ-Zeit stellen."));
    }

    void commandWords_data()
    {
        QTest::addColumn<QStringList>("words");
        QTest::addColumn<bool>("service");
        QTest::addColumn<bool>("cyrillic");
        QTest::addColumn<bool>("cyrillicDebug");
        QTest::newRow("none") << QStringList{} << false << false << false;
        QTest::newRow("lower case") << QStringList{"quamp"} << true << false << false;
        QTest::newRow("two words") << QStringList{"Zotrev", "QUAMP"} << true << true << false;
        QTest::newRow("debug only") << QStringList{"zotrevdebug"} << false << false << true;
        QTest::newRow("prefix only") << QStringList{"QUAMPX", "ZOTREV2", "-quamp"} << false << false << false;
    }
    void commandWords()
    {
        QFETCH(QStringList, words);
        QFETCH(bool, service);
        QFETCH(bool, cyrillic);
        QFETCH(bool, cyrillicDebug);
        TwKelvor *w = oeffnen(words);
        QCOMPARE(ServiceMode, service);
        QCOMPARE(CyrillicMode, cyrillic);
        QCOMPARE(CyrillicDebug, cyrillicDebug);
        QCOMPARE(w->Fensterpanel->isHidden(), !service);
        QCOMPARE(w->DebugPanel->isHidden(), !service);
        QCOMPARE(w->BeendenBtn->isHidden(), !service);
    }

    void programPathIsComparedToo()
    {
        fenster = new TwKelvor;
        fenster->FormCreate({QStringLiteral("quamp")});
        QVERIFY(ServiceMode);
    }

    void storedPort_data()
    {
        QTest::addColumn<QVariant>("stored");
        QTest::addColumn<int>("shown");
        QTest::newRow("missing") << QVariant() << 2601;
        QTest::newRow("in range") << QVariant(2650) << 2650;
        QTest::newRow("above") << QVariant(2750) << 2699;
        QTest::newRow("below") << QVariant(80) << 2600;
        QTest::newRow("text") << QVariant(QStringLiteral("abc")) << 2601;
    }
    void storedPort()
    {
        QFETCH(QVariant, stored);
        QFETCH(int, shown);
        if (stored.isValid())
            registry()->setValue(QStringLiteral("TCPIP_PORT"), stored);
        registry()->setValue(QStringLiteral("BprgVerzeichnis"), QStringLiteral("/srv/bprg"));
        TwKelvor *w = oeffnen();
        QCOMPARE(w->PortEdit->value(), shown);
        // A bad port does not stop the other values from being read.
        QCOMPARE(w->IPEdit->text(), TestIP);
        QCOMPARE(BPrgXQDir, QStringLiteral("/srv/bprg"));
    }

    void closingWritesTheThreeValues()
    {
        registry()->clear();
        registry()->setValue(QStringLiteral("TCPIP_IPAdresse"), TestIP);
        TwKelvor *w = oeffnen();
        w->show();
        QVERIFY(QTest::qWaitForWindowExposed(w));
        QVERIFY(w->TCPServer->Aktiv());
        registry()->clear(); // the set-up at creation has saved them already
        QVERIFY(w->close());
        QVERIFY(!w->TCPServer->Aktiv());
        QTRY_VERIFY(fenster.isNull()); // the close action frees the window
        auto reg = registry();
        QCOMPARE(reg->value(QStringLiteral("TCPIP_PORT")).toInt(), 2601);
        QCOMPARE(reg->value(QStringLiteral("TCPIP_IPAdresse")).toString(), TestIP);
        QCOMPARE(reg->value(QStringLiteral("BprgVerzeichnis")).toString(), BPrgXQDir);
        QVERIFY(Closing);
    }

    void typedAddressKeepsEveryDigit()
    {
        TwKelvor *w = oeffnen();
        w->show();
        QVERIFY(QTest::qWaitForWindowExposed(w));
        w->IPEdit->setFocus();
        w->IPEdit->selectAll();
        QTest::keyClick(w->IPEdit, Qt::Key_Delete);
        w->IPEdit->home(false);
        QTest::keyClicks(w->IPEdit, QStringLiteral("192.168.001.010"));
        QCOMPARE(w->IPEdit->text(), QStringLiteral("192.168.001.010"));
        w->PortEdit->setValue(2611);
        w->close();
        QCOMPARE(registry()->value(QStringLiteral("TCPIP_IPAdresse")).toString(), QStringLiteral("192.168.001.010"));
        QCOMPARE(registry()->value(QStringLiteral("TCPIP_PORT")).toInt(), 2611);
    }

    void leavingOrEnterTakesTheAddressOver_data()
    {
        QTest::addColumn<bool>("enter");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("host");
        QTest::newRow("leave") << false << QStringLiteral("127.000.000.002") << QStringLiteral("127.000.000.002");
        QTest::newRow("enter") << true << QStringLiteral("127.000.000.003") << QStringLiteral("127.000.000.003");
        // An incomplete mask gives Qt no editingFinished; the set-up still runs.
        QTest::newRow("incomplete") << false << QStringLiteral("127.000") << QString();
    }
    void leavingOrEnterTakesTheAddressOver()
    {
        QFETCH(bool, enter);
        QFETCH(QString, typed);
        QFETCH(QString, host);
        TwKelvor *w = oeffnen();
        w->IPEdit->selectAll();
        QTest::keyClick(w->IPEdit, Qt::Key_Delete);
        w->IPEdit->home(false);
        QTest::keyClicks(w->IPEdit, typed);
        if (enter) {
            QTest::keyClick(w->IPEdit, Qt::Key_Return);
        } else {
            QFocusEvent weg(QEvent::FocusOut, Qt::TabFocusReason);
            QApplication::sendEvent(w->IPEdit, &weg);
        }
        if (!host.isEmpty())
            QCOMPARE(w->Links[0]->TCPClient.Host, host);
        QCOMPARE(registry()->value(QStringLiteral("TCPIP_IPAdresse")).toString(), w->IPEdit->text());
    }

    void portEditTakesTheTypedPort()
    {
        TwKelvor *w = oeffnen();
        w->PortEdit->selectAll();
        QTest::keyClicks(w->PortEdit, QStringLiteral("2677"));
        QFocusEvent weg(QEvent::FocusOut, Qt::TabFocusReason);
        QApplication::sendEvent(w->PortEdit, &weg);
        QCOMPARE(w->Links[0]->TCPClient.Port, quint16(2677));
        QCOMPARE(w->TCPServer->Port(), quint16(2677));
        QCOMPARE(registry()->value(QStringLiteral("TCPIP_PORT")).toInt(), 2677);
    }

    void logsKeepTheLast2001Lines_data()
    {
        QTest::addColumn<int>("which");
        QTest::newRow("LBout") << 0;
        QTest::newRow("LBIn") << 1;
        QTest::newRow("LBError") << 2;
    }
    void logsKeepTheLast2001Lines()
    {
        QFETCH(int, which);
        TwKelvor *w = oeffnen({QStringLiteral("QUAMP")});
        QListWidget *list = which == 0 ? w->LBout : which == 1 ? w->LBIn : w->LBError;
        for (int i = 1; i <= 2500; ++i) {
            const QString t = QString::number(i);
            which == 0 ? w->BefehlEintragen(t) : which == 1 ? w->AntwortEintragen(t) : w->FehlerEintragen(t);
        }
        QCOMPARE(list->count(), 2001);
        QVERIFY(list->item(0)->text().endsWith(QLatin1String("500")));
        QVERIFY(list->item(2000)->text().endsWith(QLatin1String("2500")));
        QCOMPARE(list->currentRow(), 2000);
    }

    // Widening a shown list used to re-enter its own layout until the stack ran out.
    void shownListsTakeWideLines()
    {
        TwKelvor *w = oeffnen({QStringLiteral("QUAMP")});
        w->show();
        QVERIFY(QTest::qWaitForWindowExposed(w));
        for (int i = 0; i < 40; ++i) {
            w->FehlerEintragen(QString(i * 7, QLatin1Char('x')) + QStringLiteral("ERROR03: Host not available!"));
            w->BefehlEintragen(QString(300 - i * 7, QLatin1Char('y')));
            QTest::qWait(1);
        }
        QCOMPARE(w->LBError->count(), 40);
        QVERIFY(w->LBError->horizontalScrollBar()->maximum() > 0);
        // A controller that is not there fills the error list while the window is shown.
        w->PWahl->click();
        QTRY_VERIFY_WITH_TIMEOUT(w->LBError->count() > 40, 10000);
    }

    void errorLineCarriesTimeStamp()
    {
        TwKelvor *w = oeffnen();
        w->FehlerEintragen(QStringLiteral("RepSend"));
        QCOMPARE(w->LBError->count(), 1);
        static const QRegularExpression form(QStringLiteral("^\\d\\d\\.\\d\\d\\.\\d{4}( \\d\\d:\\d\\d:\\d\\d)?-RepSend$"));
        QVERIFY2(form.match(w->LBError->item(0)->text()).hasMatch(), qPrintable(w->LBError->item(0)->text()));
    }

    void trackingOffAppendsNothingButWidens()
    {
        TwKelvor *w = oeffnen({QStringLiteral("QUAMP")});
        w->show();
        QVERIFY(QTest::qWaitForWindowExposed(w));
        w->Tracking->setChecked(false);
        const QString lang(400, QLatin1Char('x'));
        w->BefehlEintragen(lang);
        w->AntwortEintragen(lang);
        w->FehlerEintragen(lang);
        QCOMPARE(w->LBout->count() + w->LBIn->count() + w->LBError->count(), 0);
        const int points = w->LBError->font().pointSize();
        QCOMPARE(w->ExtentLBError(), points * 400);
        QCOMPARE(w->ExtentLBout(), points * 400);
        QCOMPARE(w->ExtentLBIn(), points * 400);
        QVERIFY(w->LBError->horizontalScrollBar()->maximum() >= points * 400 - w->LBError->viewport()->width());
        // A shorter text never narrows it, and clearing keeps it.
        w->Tracking->setChecked(true);
        w->FehlerEintragen(QStringLiteral("kurz"));
        w->ClearBtnClick();
        QCOMPARE(w->ExtentLBError(), points * 400);
    }

    void clearEmptiesAllThree()
    {
        TwKelvor *w = oeffnen({QStringLiteral("QUAMP")});
        for (int i = 0; i < 3; ++i) {
            w->BefehlEintragen(QStringLiteral("out"));
            w->AntwortEintragen(QStringLiteral("in"));
            w->FehlerEintragen(QStringLiteral("err"));
        }
        QTest::mouseClick(w->ClearBtn, Qt::LeftButton);
        QCOMPARE(w->LBout->count() + w->LBIn->count() + w->LBError->count(), 0);
        w->AntwortEintragen(QStringLiteral("127.0.0.1-neu"));
        QCOMPARE(w->LBIn->count(), 1);
        QCOMPARE(w->LBIn->item(0)->text(), QStringLiteral("127.0.0.1-neu"));
    }

    void normalViewLogsOnlyErrors()
    {
        TwKelvor *w = oeffnen();
        for (int i = 0; i < 5; ++i) {
            w->BefehlEintragen(QStringLiteral("out"));
            w->AntwortEintragen(QStringLiteral("in"));
            w->FehlerEintragen(QStringLiteral("err"));
        }
        QCOMPARE(w->LBout->count(), 0);
        QCOMPARE(w->LBIn->count(), 0);
        QCOMPARE(w->LBError->count(), 5);
    }

    void errorBoxWaitsUnlessARepeatTestRuns_data()
    {
        QTest::addColumn<bool>("send");
        QTest::addColumn<bool>("read");
        QTest::newRow("no test") << false << false;
        QTest::newRow("sending") << true << false;
        QTest::newRow("reading") << false << true;
    }
    void errorBoxWaitsUnlessARepeatTestRuns()
    {
        QFETCH(bool, send);
        QFETCH(bool, read);
        TwKelvor *w = oeffnen({QStringLiteral("QUAMP")});
        w->RepeatBprgSend->setChecked(send);
        w->RepeatBprgRead->setChecked(read);
        w->FehlerMelden(QStringLiteral("Keine Antwort"));
        QCOMPARE(env->dialoge().boxes().size(), 1);
        const TBoxRequest box = env->dialoge().boxes().constFirst();
        QCOMPARE(box.caption, QStringLiteral("Fehler"));
        QCOMPARE(box.text, QStringLiteral("Keine Antwort"));
        QVERIFY(!box.modal);
        QVERIFY(wShowbox);
        const bool timed = send || read;
        QCOMPARE(wShowbox->CloseTimer->enabled(), timed);
        if (timed)
            QCOMPARE(wShowbox->CloseTimer->interval(), ShowErrTime);
    }
};

QTEST_MAIN(TstHauptfenster)
#include "tst_Hauptfenster.moc"

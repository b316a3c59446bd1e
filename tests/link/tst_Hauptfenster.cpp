// The main window: views, settings, command-line words and the log lists.
#include "Hauptfenster.h"
#include "Registry.h"
#include "Sammlung.h"
#include "uKelvor.h"

#include <QCheckBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QSpinBox>
#include <QtTest>
#include <memory>

namespace {
std::unique_ptr<QSettings> registry() { return OpenRegistry(QStringLiteral("Zelnor"), QStringLiteral("Kelvor")); }

// Captions of every button, label and group box a user sees on the window.
QStringList visibleTexts(QWidget *w)
{
    QStringList texts;
    for (QWidget *c : w->findChildren<QWidget *>())
        if (c->isVisibleTo(w))
            texts << c->property(qobject_cast<QGroupBox *>(c) ? "title" : "text").toString();
    return texts;
}
// Types over the whole masked text, as a user does.
void tippen(QLineEdit *edit, const QString &text)
{
    edit->selectAll();
    QTest::keyClick(edit, Qt::Key_Delete);
    edit->home(false);
    QTest::keyClicks(edit, text);
}
} // namespace

class TstHauptfenster : public QObject
{
    Q_OBJECT
    std::unique_ptr<THauptfensterUmgebung> env;

private slots:
    void initTestCase() { EigeneServerAdresse(); }
    void init() { env = std::make_unique<THauptfensterUmgebung>(); }
    void cleanup()
    {
        QCOMPARE(env->dialoge().unexpected(), 0);
        env.reset();
    }

    void views_data()
    {
        QTest::addColumn<QStringList>("words");
        QTest::addColumn<QStringList>("shown");
        QTest::addColumn<QStringList>("hidden");
        const QStringList top{"Verbindung", "Port:", "IP-Adresse:", "Backprogrammfenster", "Nachtstarts", "PC-Zeit:",
                              "XQ-Zeit:", "Abfragen", "Stellen"};
        const QStringList service{"Befehl vom PC:", "Antwort der Steuerung:", "Fehler:", "Beenden", "Version"};
        QTest::newRow("normal") << QStringList{"quampx", "zotrev2"} << top << service + QStringList{"Übernehmen"};
        QTest::newRow("quamp") << QStringList{"quamp", "Zotrev"} << top + service << QStringList{"Übernehmen"};
    }
    void views()
    {
        QFETCH(QStringList, words);
        QFETCH(QStringList, shown);
        QFETCH(QStringList, hidden);
        TwKelvor *w = env->oeffnen(words, true);
        const bool service = words.contains(QLatin1String("quamp"));
        QVERIFY(ServiceMode == service && DiagView == service && CyrillicMode == service && w->AutoSize() != service);
        QCOMPARE(w->width(), service ? 850 : w->TorvikBox->width());
        QVERIFY(service || w->height() < w->TorvikBox->height() + 60);
        const QStringList texts = visibleTexts(w);
        for (const QString &t : shown)
            QVERIFY2(texts.contains(t), qPrintable(t));
        for (const QString &t : hidden)
            QVERIFY2(!texts.contains(t), qPrintable(t));
    }

    void storedPort_data()
    {
        QTest::addColumn<QVariant>("stored");
        QTest::addColumn<int>("shown");
        QTest::newRow("missing") << QVariant() << 2601;
        QTest::newRow("above") << QVariant(2750) << 2699;
        QTest::newRow("text") << QVariant(QStringLiteral("abc")) << 2601;
    }
    void storedPort()
    {
        QFETCH(QVariant, stored);
        QFETCH(int, shown);
        if (stored.isValid())
            registry()->setValue(QStringLiteral("TCPIP_PORT"), stored);
        registry()->setValue(QStringLiteral("BprgVerzeichnis"), QStringLiteral("/srv/bprg"));
        TwKelvor *w = env->oeffnen();
        QCOMPARE(w->PortEdit->value(), shown);
        QCOMPARE(BPrgXQDir, QStringLiteral("/srv/bprg")); // a bad port stops no other value
    }

    void closingWritesTheTypedAddress()
    {
        TwKelvor *w = env->oeffnen({}, true);
        tippen(w->IPEdit, QStringLiteral("127.011.001.010"));
        registry()->clear();
        QVERIFY(w->close());
        QTRY_VERIFY(env->fensterWeg());
        auto reg = registry();
        QCOMPARE(reg->value(QStringLiteral("TCPIP_IPAdresse")).toString(), QStringLiteral("127.011.001.010"));
        QCOMPARE(reg->value(QStringLiteral("TCPIP_PORT")).toInt(), 2601);
        QCOMPARE(reg->value(QStringLiteral("BprgVerzeichnis")).toString(), BPrgXQDir);
    }

    // Qt reports no editingFinished while the mask is incomplete: leaving and Enter are hooked.
    void leavingOrEnterTakesTheAddressOver_data()
    {
        QTest::addColumn<bool>("enter");
        QTest::addColumn<QString>("typed");
        QTest::newRow("leave") << false << QStringLiteral("127.000.000.002");
        QTest::newRow("enter") << true << QStringLiteral("127.000.000.003");
        QTest::newRow("incomplete") << false << QStringLiteral("127.000");
    }
    void leavingOrEnterTakesTheAddressOver()
    {
        QFETCH(bool, enter);
        QFETCH(QString, typed);
        TwKelvor *w = env->oeffnen();
        tippen(w->IPEdit, typed);
        QFocusEvent weg(QEvent::FocusOut, Qt::TabFocusReason);
        enter ? QTest::keyClick(w->IPEdit, Qt::Key_Return) : void(QApplication::sendEvent(w->IPEdit, &weg));
        QCOMPARE(registry()->value(QStringLiteral("TCPIP_IPAdresse")).toString(), w->IPEdit->text());
        if (typed.size() == 15)
            QCOMPARE(w->Links[0]->TCPClient.Host, typed);
    }

    void logsKeepTheLast2001Lines()
    {
        TwKelvor *w = env->oeffnen({QStringLiteral("QUAMP")});
        for (int i = 1; i <= 2500; ++i) {
            w->BefehlEintragen(QString::number(i));
            w->AntwortEintragen(QString::number(i));
            w->FehlerEintragen(QString::number(i));
        }
        for (QListWidget *list : {w->LBout, w->LBIn, w->LBError}) {
            QCOMPARE(list->count(), 2001);
            QVERIFY(list->item(0)->text().endsWith(QLatin1String("500")));
            QCOMPARE(list->currentRow(), 2000);
        }
    }

    // A shown log list whose scroll bar came and went re-entered its own layout until the stack ran out.
    void shownNarrowListTakesWideLines()
    {
        TLogListe list;
        list.setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
        list.resize(200, 30);
        list.show();
        QVERIFY(QTest::qWaitForWindowExposed(&list));
        for (int i = 0; i < 60; ++i) {
            const QString text = QString(i * 5 % 97, QLatin1Char('x')) + QStringLiteral("ERROR03: Host not available!");
            list.setExtent(qMax(list.extent(), 9 * int(text.size())));
            list.addItem(text);
            list.setCurrentRow(list.count() - 1);
            QTest::qWait(0);
        }
        QVERIFY(list.horizontalScrollBar()->maximum() >= list.extent() - list.viewport()->width());
    }

    void trackingAndClear()
    {
        TwKelvor *w = env->oeffnen({QStringLiteral("QUAMP")}, true);
        w->Tracking->setChecked(false);
        const QString lang(400, QLatin1Char('x'));
        w->BefehlEintragen(lang);
        w->AntwortEintragen(lang);
        w->FehlerEintragen(lang);
        QCOMPARE(w->LBout->count() + w->LBIn->count() + w->LBError->count(), 0);
        const int extent = w->LBError->font().pointSize() * 400;
        QCOMPARE(w->ExtentLBout() + w->ExtentLBIn() + w->ExtentLBError(), 3 * extent);
        QVERIFY(w->LBError->horizontalScrollBar()->maximum() >= extent - w->LBError->viewport()->width());
        w->Tracking->setChecked(true);
        w->BefehlEintragen(QStringLiteral("out"));
        w->FehlerEintragen(QStringLiteral("err"));
        QTest::mouseClick(w->ClearBtn, Qt::LeftButton);
        QCOMPARE(w->LBout->count() + w->LBIn->count() + w->LBError->count(), 0);
        QCOMPARE(w->ExtentLBError(), extent); // clearing keeps it
    }

    void normalViewLogsOnlyErrors()
    {
        TwKelvor *w = env->oeffnen();
        w->BefehlEintragen(QStringLiteral("out"));
        w->AntwortEintragen(QStringLiteral("in"));
        w->FehlerEintragen(QStringLiteral("RepSend"));
        QCOMPARE(w->LBout->count() + w->LBIn->count(), 0);
        QCOMPARE(w->LBError->count(), 1);
        static const QRegularExpression form(QStringLiteral("^\\d\\d\\.\\d\\d\\.\\d{4} \\d\\d:\\d\\d:\\d\\d-RepSend$"));
        QVERIFY2(form.match(w->LBError->item(0)->text()).hasMatch(), qPrintable(w->LBError->item(0)->text()));
    }
};

QTEST_MAIN(TstHauptfenster)
#include "tst_Hauptfenster.moc"

// The main window: views, settings, command-line words and the log lists.
#include "support/Hauptfenster.h"
#include "app/Registry.h"
#include "app/Sammlung.h"
#include "app/Zeitgeber.h"
#include "app/uShowbox.h"
#include "link/uKelvor.h"

#include <QtWidgets>
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
        QTest::newRow("normal") << QStringList{"quampx", "zotrev2"};
        QTest::newRow("quamp") << QStringList{"quamp", "Zotrev"};
    }
    void views()
    {
        QFETCH(QStringList, words);
        TwKelvor *w = env->oeffnen(words, true);
        const bool service = words.contains(QLatin1String("quamp"));
        QVERIFY(ServiceMode == service);
        QVERIFY(DiagView == service);
        QVERIFY(CyrillicMode == service);
        QVERIFY(w->AutoSize() != service);
        QCOMPARE(w->width(), service ? 850 : w->TorvikBox->width());
        QVERIFY(service || w->height() < w->TorvikBox->height() + 60);
        const QStringList top{"Verbindung", "Port:", "IP-Adresse:", "Backprogrammfenster", "Nachtstarts", "PC-Zeit:",
                              "XQ-Zeit:", "Abfragen", "Stellen"};
        const QStringList logs{"Befehl vom PC:", "Antwort der Steuerung:", "Fehler:", "Beenden", "Version"};
        const QStringList texts = visibleTexts(w);
        for (const QString &t : top + logs + QStringList{"Übernehmen"})
            QVERIFY2(texts.contains(t) == (top.contains(t) || (service && logs.contains(t))), qPrintable(t));
        // The normal view logs only errors.
        w->BefehlEintragen(QStringLiteral("out"));
        w->AntwortEintragen(QStringLiteral("in"));
        w->FehlerEintragen(QStringLiteral("RepSend"));
        QVERIFY(w->LBout->count() + w->LBIn->count() == (service ? 2 : 0));
        QVERIFY(w->LBError->count() == 1);
        static const QRegularExpression form(QStringLiteral("^\\d\\d\\.\\d\\d\\.\\d{4} \\d\\d:\\d\\d:\\d\\d-RepSend$"));
        QVERIFY2(form.match(w->LBError->item(0)->text()).hasMatch(), qPrintable(w->LBError->item(0)->text()));
    }

    void storedPort()
    {
        const QList<QPair<QVariant, int>> cases{{QVariant(), 2601}, {2750, 2699}, {QStringLiteral("abc"), 2601}};
        for (const auto &[stored, shown] : cases) {
            env.reset(); // the old one resets what the new one sets
            env = std::make_unique<THauptfensterUmgebung>();
            if (stored.isValid())
                registry()->setValue(QStringLiteral("TCPIP_PORT"), stored);
            registry()->setValue(QStringLiteral("BprgVerzeichnis"), QStringLiteral("/srv/bprg"));
            QCOMPARE(env->oeffnen()->PortEdit->value(), shown);
            QCOMPARE(BPrgXQDir, QStringLiteral("/srv/bprg")); // a bad port stops no other value
        }
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
    void leavingOrEnterTakesTheAddressOver()
    {
        const QList<QPair<const char *, bool>> cases{{"127.000.000.002", false}, {"127.000.000.003", true}, {"127.000", false}};
        for (const auto &[typed, enter] : cases) {
            env.reset(); // the old one resets what the new one sets
            env = std::make_unique<THauptfensterUmgebung>();
            TwKelvor *w = env->oeffnen();
            tippen(w->IPEdit, QLatin1String(typed));
            QFocusEvent weg(QEvent::FocusOut, Qt::TabFocusReason);
            enter ? QTest::keyClick(w->IPEdit, Qt::Key_Return) : void(QApplication::sendEvent(w->IPEdit, &weg));
            QCOMPARE(registry()->value(QStringLiteral("TCPIP_IPAdresse")).toString(), w->IPEdit->text());
            QVERIFY(qstrlen(typed) < 15 || w->Link()->TCPClient.Host == QLatin1String(typed));
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

    // Each line keeps its own width however wide the lines around it are, and the list scrolls
    // far enough to show the widest.
    void wideLineAmongNarrowOnes()
    {
        TwKelvor *w = env->oeffnen({QStringLiteral("QUAMP")}, true);
        const QString breit = QString(300, QLatin1Char('W'));
        for (const QString &t : {QStringLiteral("kurz"), breit, QStringLiteral("kurz")})
            w->FehlerEintragen(t);
        QListWidgetItem *zeile = w->LBError->item(1);
        QVERIFY(zeile->text().endsWith(breit));
        TLogListe *liste = w->LBError;
        const int noetig = liste->fontMetrics().horizontalAdvance(zeile->text());
        QScrollBar *bar = liste->horizontalScrollBar();
        QVERIFY(bar->maximum() >= noetig - liste->viewport()->width());
        // Scrolled to its end, the wide line is drawn there in full, not cut at a narrower line's width.
        w->show();
        QVERIFY(QTest::qWaitForWindowExposed(w));
        QTRY_VERIFY(liste->viewport()->updatesEnabled());
        bar->setValue(bar->maximum());
        const QImage bild = liste->viewport()->grab().toImage();
        const QRect reihe = liste->visualItemRect(zeile);
        const QColor grund = liste->palette().color(QPalette::Base);
        const int ende = noetig - bar->value();
        QVERIFY2(ende > 40, qPrintable(QString::number(ende)));
        QVERIFY2(ende <= bild.width() + 10, qPrintable(QString::number(ende)));
        int gezeichnet = 0;
        for (int x = qMax(0, ende - 40); x < qMin(ende, bild.width()); ++x)
            for (int y = reihe.top(); y <= reihe.bottom(); ++y)
                gezeichnet += bild.pixelColor(x, y) != grund;
        QVERIFY(gezeichnet > 0);
    }

    // A list draws its lines from pictures and measures a line once: a line keeps the colour
    // of its state, and a larger font measures again.
    void linesDrawnFromPictures()
    {
        TLogListe list;
        list.resize(300, 120);
        list.show();
        QVERIFY(QTest::qWaitForWindowExposed(&list));
        const QString zeile = QStringLiteral("WWWWWWWW");
        list.addLine(zeile);
        QTRY_VERIFY(list.viewport()->updatesEnabled());
        list.addLine(zeile);
        QTRY_VERIFY(list.viewport()->updatesEnabled());
        QCOMPARE(list.currentRow(), 1);
        const QImage bild = list.viewport()->grab().toImage();
        const auto zaehlen = [&](int row, const QColor &farbe) {
            const QRect r = list.visualItemRect(list.item(row));
            int n = 0;
            for (int y = r.top(); y <= r.bottom(); ++y)
                for (int x = r.left(); x <= qMin(r.right(), bild.width() - 1); ++x)
                    n += bild.pixelColor(x, y) == farbe;
            return n;
        };
        QVERIFY(zaehlen(1, list.palette().color(QPalette::HighlightedText)) > 0);
        QVERIFY(zaehlen(0, list.palette().color(QPalette::Text)) > 0);
        QCOMPARE(zaehlen(1, list.palette().color(QPalette::Text)), 0);

        const QString breit = QString(80, QLatin1Char('W'));
        list.addLine(breit);
        QTRY_VERIFY(list.viewport()->updatesEnabled());
        QFont gross = list.font();
        gross.setPointSize(gross.pointSize() * 3);
        list.setFont(gross);
        list.addLine(breit);
        QTRY_VERIFY(list.viewport()->updatesEnabled());
        QVERIFY(list.horizontalScrollBar()->maximum()
                >= QFontMetrics(gross).horizontalAdvance(breit) - list.viewport()->width());
    }

    // The caret blinking in a number field draws the field alone, and the field looks as the
    // box would draw it.
    void caretDrawsTheFieldAlone()
    {
        TwKelvor *w = env->oeffnen({}, true);
        auto *feld = w->PortEdit->findChild<QLineEdit *>();
        QVERIFY(feld);
        struct TZaehler : QObject {
            int n = 0;
            bool eventFilter(QObject *, QEvent *e) override { return n += e->type() == QEvent::Paint, false; }
        } box, edit;
        w->VerbindungBox->installEventFilter(&box);
        feld->installEventFilter(&edit);
        feld->update(QRect(2, 2, 1, feld->height() - 4));
        QTRY_VERIFY(edit.n > 0);
        QCOMPARE(box.n, 0);
        const QImage mit = w->PortEdit->grab().toImage();
        feld->setAutoFillBackground(false);
        QCOMPARE(w->PortEdit->grab().toImage(), mit);
    }

    // The clock shows the time each second and the logs their new lines, each drawing itself
    // without the group box behind it, and what is on screen then is what drawing the whole
    // window anew gives.
    void uhrUndLogsZeichnenSichAllein()
    {
        TwKelvor *w = env->oeffnen({QStringLiteral("QUAMP")}, true);
        w->show();
        QVERIFY(QTest::qWaitForWindowExposed(w));
        struct TZaehler : QObject {
            int n = 0;
            bool eventFilter(QObject *, QEvent *e) override { return n += e->type() == QEvent::Paint, false; }
        } boxen, uhr, zeilen;
        QTRY_VERIFY(!w->PCTime->text().isEmpty());
        QTest::qWait(0);
        for (QWidget *b : {static_cast<QWidget *>(w->Befehl_Box), static_cast<QWidget *>(w->AntwortBox)})
            b->installEventFilter(&boxen);
        w->PCTime->installEventFilter(&uhr);
        w->LBout->viewport()->installEventFilter(&zeilen);
        for (int sekunde = 0; sekunde < 2; ++sekunde) {
            const QString zuvor = w->PCTime->text();
            const int gemalt = uhr.n;
            for (int i = 0; i < 40; ++i) {
                w->BefehlEintragen(QStringLiteral("STAT %1").arg(i));
                w->AntwortEintragen(QStringLiteral("STAT %1 00 00").arg(i));
            }
            QTRY_VERIFY(w->PCTime->text() != zuvor);
            QTRY_VERIFY(uhr.n > gemalt);
            QTRY_VERIFY(w->LBout->viewport()->updatesEnabled() && w->LBIn->viewport()->updatesEnabled());
        }
        QTRY_VERIFY(zeilen.n > 0);
        QCOMPARE(w->LBout->currentRow(), w->LBout->count() - 1);
        QCOMPARE(boxen.n, 0);
        const QImage schirm = w->screen()->grabWindow(w->winId()).toImage().convertToFormat(QImage::Format_RGB32);
        const QImage neu = w->grab().toImage().convertToFormat(QImage::Format_RGB32);
        QCOMPARE(schirm.size(), neu.size());
        QVERIFY(schirm == neu);
    }

    // An unattended repeat test must not wait for somebody to press OK.
    void fehlerMeldenBoxart_data()
    {
        QTest::addColumn<QString>("haken");
        QTest::addColumn<bool>("vonSelbst");
        QTest::newRow("ohne Wiederholtest") << QString() << false;
        QTest::newRow("RepeatBprgRead") << QStringLiteral("RepeatBprgRead") << true;
        QTest::newRow("RepeatBprgSend") << QStringLiteral("RepeatBprgSend") << true;
    }
    void fehlerMeldenBoxart()
    {
        QFETCH(QString, haken);
        QFETCH(bool, vonSelbst);
        TwKelvor *w = env->oeffnen();
        // The send box asks for its list file.
        if (haken == QLatin1String("RepeatBprgSend"))
            env->dialoge().expectFile(env->path(QStringLiteral("test.XQR")));
        if (!haken.isEmpty())
            w->findChild<QCheckBox *>(haken)->setChecked(true);
        w->FehlerMelden(QStringLiteral("127.0.0.9_PING: TIMEOUT - no answer!"));
        QCOMPARE(env->dialoge().boxes().size(), 1);
        const TBoxRequest box = env->dialoge().boxes().first();
        QCOMPARE(box.caption + u'|' + box.text, QStringLiteral("Fehler|127.0.0.9_PING: TIMEOUT - no answer!"));
        QCOMPARE(box.buttons, vonSelbst ? QMessageBox::Ok | QMessageBox::Cancel : QMessageBox::Ok);
        QVERIFY(wShowbox);
        QCOMPARE(wShowbox->CloseTimer->enabled(), vonSelbst);
        if (vonSelbst)
            QCOMPARE(wShowbox->CloseTimer->interval(), ShowErrTime);
    }

    void serviceLogs()
    {
        TwKelvor *w = env->oeffnen({QStringLiteral("QUAMP")});
        auto eintragen = [w](const QString &t) { w->BefehlEintragen(t), w->AntwortEintragen(t), w->FehlerEintragen(t); };
        for (int i = 1; i <= 2500; ++i)
            eintragen(QString::number(i));
        for (QListWidget *list : {w->LBout, w->LBIn, w->LBError}) { // the last 2001 lines
            QCOMPARE(list->count(), 2001);
            QVERIFY(list->item(0)->text().endsWith(QLatin1String("500")));
            QTRY_COMPARE(list->currentRow(), 2000);
        }
        w->show();
        QVERIFY(QTest::qWaitForWindowExposed(w));
        QTest::mouseClick(w->ClearBtn, Qt::LeftButton);
        w->Tracking->setChecked(false);
        eintragen(QString(400, QLatin1Char('x')));
        QCOMPARE(w->LBout->count() + w->LBIn->count() + w->LBError->count(), 0);
        const int extent = w->LBError->font().pointSize() * 400;
        QCOMPARE(w->ExtentLBout() + w->ExtentLBIn() + w->ExtentLBError(), 3 * extent);
        QVERIFY(w->LBError->horizontalScrollBar()->maximum() >= extent - w->LBError->viewport()->width());
        w->Tracking->setChecked(true);
        w->FehlerEintragen(QStringLiteral("err"));
        QTest::mouseClick(w->ClearBtn, Qt::LeftButton);
        QCOMPARE(w->LBout->count() + w->LBIn->count() + w->LBError->count(), 0);
        QCOMPARE(w->ExtentLBError(), extent); // clearing keeps it
    }
};

QTEST_MAIN(TstHauptfenster)
#include "tst_Hauptfenster.moc"

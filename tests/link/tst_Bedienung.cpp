// The user's path: the real main window against the stand-in controller over loopback; the
// service view's switches and the diagnostic key.
#include "support/LinkTestHilfe.h"
#include "support/Steuerung.h"
#include "app/Sammlung.h"

#include "link/uKelvor.h"

#include <QtWidgets>
#include <QtTest>
#include <memory>

namespace {
const QString Uhrformat = QStringLiteral("dd.MM.yyyy hh:mm:ss");
} // namespace

class TstBedienung : public QObject
{
    Q_OBJECT
    std::unique_ptr<TSteuerungsUmgebung> u;
    TListeneditorUmgebung *env = nullptr;
    TXqSim *sim = nullptr;
    QHostAddress pc;
    quint16 port = 0;

private slots:
    void init()
    {
        u = std::make_unique<TSteuerungsUmgebung>();
        QVERIFY2(u->starten(), qPrintable(u->grund));
        env = &u->env();
        sim = &u->sim();
        pc = u->pc;
        port = u->port;
    }

    void cleanup()
    {
        QVERIFY(!u || !env || env->dialoge().unexpected() == 0);
        u.reset();
    }

    void uhrLesenUndStellen()
    {
        TwKelvor *w = env->oeffnen({}, true);
        const QDateTime gesetzt(QDate(2031, 3, 4), QTime(5, 6, 7));
        sim->controller().setClock(gesetzt);
        QTest::mouseClick(w->Abfragen, Qt::LeftButton);
        QTRY_COMPARE(sim->acknowledgements('\x06'), 1);
        QCOMPARE(sim->frames().size(), 2);
        QCOMPARE(sim->frames()[0].word + sim->frames()[0].params + '|' + sim->frames()[1].word, QByteArray("ZEIT|TRX "));
        QTRY_VERIFY(!w->XQTime->text().isEmpty());
        const qint64 ab = gesetzt.secsTo(QDateTime::fromString(w->XQTime->text(), Uhrformat));
        QVERIFY2(ab >= 0, qPrintable(w->XQTime->text()));
        QVERIFY2(ab < 10, qPrintable(w->XQTime->text()));

        QTest::mouseClick(w->Stellen, Qt::LeftButton);
        QTRY_COMPARE(sim->acknowledgements('\x06'), 2);
        QVERIFY(qAbs(sim->controller().clockOffsetMs()) < 3000);
    }

    void knopfSendetSeinenText_data()
    {
        QTest::addColumn<QString>("knopf");
        QTest::addColumn<QList<int>>("werte"); // HerdNo, Params, SchwadenZeit, AbzugWert, EinStatus, NachtStatus
        QTest::addColumn<QByteArray>("rahmen");
        const QList<int> vorgabe{0, 50, 1, 0, 0, -1};
        QTest::newRow("Ping") << "Ping" << vorgabe << QByteArray("PING");
        QTest::newRow("HERD") << "HERD" << vorgabe << QByteArray("HERD");
        QTest::newRow("BPrgListe") << "ListeBtn" << vorgabe << QByteArray("BPL2"); // BPLI only as the fallback
        QTest::newRow("Version") << "Version" << vorgabe << QByteArray("STAT");
        QTest::newRow("Start") << "Start" << vorgabe << QByteArray("STAR0001");
        QTest::newRow("Start -1") << "Start" << QList<int>{-1, 50, 1, 0, 0, -1} << QByteArray("STAR80000000");
        QTest::newRow("Stop 33") << "Stop" << QList<int>{33, 50, 1, 0, 0, -1} << QByteArray("STOP0002");
        QTest::newRow("PWahl") << "PWahl" << QList<int>{2, 255, 1, 0, 0, -1} << QByteArray("LOAD0004\t00FF");
        QTest::newRow("DoTemp") << "DoTemp" << QList<int>{15, 9999, 1, 0, 0, -1} << QByteArray("SOLL8000\t270F");
        QTest::newRow("BackZeit") << "DoBZeit" << QList<int>{16, -1, 1, 0, 0, -1} << QByteArray("BZEI10000\tFFFFFFFF");
        QTest::newRow("Schwaden") << "SchwadenBtn" << QList<int>{1, 50, 5, 0, 0, -1} << QByteArray("SWAD0002\t005");
        QTest::newRow("Abzug") << "AbzugBtn" << QList<int>{0, 50, 1, 100, 0, -1} << QByteArray("AZUG0001\t100");
        QTest::newRow("Ein") << "Ein" << QList<int>{0, 50, 1, 0, 2, -1} << QByteArray("OFEN02\t-01");
        QTest::newRow("Delete") << "DeleteBtn" << vorgabe << QByteArray("BPRGDELETE\t000A\t000B\t000C");
    }
    void knopfSendetSeinenText()
    {
        QFETCH(QString, knopf);
        QFETCH(QList<int>, werte);
        QFETCH(QByteArray, rahmen);
        TwKelvor *w = env->oeffnen({QStringLiteral("QUAMP")}, true);
        const QList<QSpinBox *> felder{w->HerdNo, w->Params, w->SchwadenZeit, w->AbzugWert, w->EinStatus, w->NachtStatus};
        for (int i = 0; i < felder.size(); ++i)
            felder[i]->setValue(werte[i]);
        w->DelNrEnde->setValue(12);
        QTest::mouseClick(w->findChild<QPushButton *>(knopf), Qt::LeftButton);
        QTRY_VERIFY(!sim->frames().isEmpty());
        const TXqSimFrame f = sim->frames().first();
        QVERIFY2(f.ok, qPrintable(f.error));
        QCOMPARE(f.word + f.params, rahmen);
    }
    // An open range built a delete text of megabytes and froze the program.
    void deleteRangeAndKillBox()
    {
        TwKelvor *w = env->oeffnen({QStringLiteral("QUAMP")});
        w->DelNrStart->setValue(-5);
        w->DelNrEnde->setValue(100000000);
        QCOMPARE(w->DelNrStart->value(), 1);
        QCOMPARE(w->DelNrEnde->value(), 199);
        QCOMPARE(DeleteParameter(0, 2), QByteArray("DELETE\t0001\t0002"));
        QCOMPARE(DeleteParameter(198, 65535), QByteArray("DELETE\t00C6\t00C7"));
        QCOMPARE(DeleteParameter(std::numeric_limits<int>::min(), std::numeric_limits<int>::max()).count('\t'), 199);
        QCOMPARE(DeleteParameter(12, 10), QByteArray("DELETE"));

        // Ticking KillBox ticks the other two through their own handlers, in this order.
        w->KillBox->setChecked(true);
        QVERIFY(w->EndlosSendenGesetzt());
        QVERIFY(w->NoWaitGesetzt());
        w->KillBox->setChecked(false);
        QVERIFY(!w->EndlosSendenGesetzt());
        QVERIFY(!w->NoWaitGesetzt());
        const QByteArray log = heuteFehlerdatei();
        qsizetype at = 0;
        for (const char *line : {"EndlosSenden aktiviert!!", "NoWait aktiviert!!", "Killbox aktiviert!!",
                                 "EndlosSenden deaktiviert!!", "NoWait deaktiviert!!", "Killbox deaktiviert!!"})
            QVERIFY2((at = log.indexOf(line, at)) >= 0, line);
    }

    // The list editor and the night-start window set the connection up from inside the
    // link's callbacks. When that has to replace the link (settings that cannot be stored and
    // a new port), the old one goes only after its call, its box stays, the new one is relayed.
    void linkErsetzenImRueckruf()
    {
        TwKelvor *w = env->oeffnen();
        const QPointer<TwXQXOfen> alt = w->Link();
        const quint16 neu = FreierPort(2600, 2699, pc);
        QVERIFY(neu);
        QVERIFY(neu != port);
        bool ersetzt = false;
        // The end of the command is reported from inside the answer's handling.
        connect(w, &TwKelvor::BefehlBeendet, w, [&] {
            if (std::exchange(ersetzt, true))
                return;
            // The settings store refuses: its file is a folder.
            const QString datei = env->path(QStringLiteral("registry/Zelnor/Kelvor.conf"));
            QFile::remove(datei);
            QVERIFY(QDir().mkpath(datei));
            w->PortEdit->setValue(neu);
            w->VerbindungEinrichten();
            QVERIFY(w->Link() != alt.data());
            QVERIFY(alt);
        });
        QSignalSpy enden(w, &TwKelvor::BefehlBeendet);
        const QByteArray werte = "-1\t-1\t390" + QByteArray("\t-1").repeated(11);
        w->LinkBefehlSenden(QByteArray(), SB_NAST, werte);
        QTRY_VERIFY(ersetzt);
        QTRY_VERIFY(!alt);
        // Answered before the replacement, so the old link closed with nothing in flight.
        QCOMPARE(enden.size(), 1);
        QCOMPARE(enden.first().at(1).value<TwXQXOfen::TBefehlsEnde>(), TwXQXOfen::TBefehlsEnde::Beantwortet);
        QCOMPARE(enden.first().at(0).value<NeuerBefehl>().Param, werte);
        TwXQXOfen *link = w->Link();
        QCOMPARE(w->findChildren<TwXQXOfen *>(Qt::FindDirectChildrenOnly).size(), 1);
        QCOMPARE(w->TCPServer->Port(), neu);
        QVERIFY(w->TCPServer->Aktiv());
        QCOMPARE(link->TCPClient.Port, neu);
        QCOMPARE(link->TCPClient.Host, QStringLiteral("127.000.000.002"));

        // The answer's box outlives the link it came from.
        QStringList offen;
        for (QMessageBox *box : w->findChildren<QMessageBox *>())
            offen << box->text();
        QCOMPARE(offen, QStringList{QStringLiteral("Nachtstarts übertragen!")});

        QSignalSpy relais(w->Zugang(), &TLinkZugang::TimeOutNeustarten);
        emit link->TimeOutNeustarten();
        QCOMPARE(relais.size(), 1);
    }

    void diagnosticKey()
    {
        TwKelvor *w = env->oeffnen({}, true);
        const int klein = w->height();
        // The window sees the key while an edit has the focus, and grows at every press.
        w->activateWindow();
        w->IPEdit->setFocus();
        QTest::keyClick(w->IPEdit, Qt::Key_D, Qt::ControlModifier | Qt::AltModifier);
        QVERIFY(w->Fensterpanel->isHidden());
        for (int n = 1; n <= 2; ++n) {
            QTest::keyClick(w->IPEdit, Qt::Key_D, Qt::ControlModifier | Qt::AltModifier | Qt::ShiftModifier);
            QTRY_COMPARE(w->height(), klein + n * 200);
        }
        QVERIFY(DiagView);
        QVERIFY(!w->Fensterpanel->isHidden());
        QVERIFY(w->DebugPanel->isHidden());
    }
};

QTEST_MAIN(TstBedienung)
#include "tst_Bedienung.moc"

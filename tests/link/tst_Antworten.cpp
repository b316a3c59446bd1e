// What the link does with the controller's answers: against the stand-in over loopback TCP
// where the road matters, and by direct calls for the field readers.
#include "Registry.h"
#include "Sammlung.h"
#include "TestUmgebung.h"
#include "XqSim.h"
#include "Zeitgeber.h"
#include "uKelvor.h"
#include "uShowbox.h"
#include "uXqxOfen.h"

#include <QApplication>
#include <QCheckBox>
#include <QElapsedTimer>
#include <QLineEdit>
#include <QPointer>
#include <QTcpServer>
#include <QtTest>

namespace {

const QHostAddress kPc(QStringLiteral("127.0.0.1"));
const QHostAddress kSteuerung(QStringLiteral("127.0.0.2"));
const QString kNichtGeoeffnet = QStringLiteral("Backprogramm kann\r\nnicht geöffnet werden!");

class TFakeHost : public TLinkHost
{
public:
    void BefehlEintragen(const QString &t) override { befehle << t; }
    void AntwortEintragen(const QString &t) override { antworten << t; }
    void FehlerEintragen(const QString &t) override { fehler << t; }
    void FehlerMelden(const QString &t) override { meldungen << t; }
    bool NoWaitGesetzt() const override { return false; }
    bool PingTimerGesetzt() const override { return false; }
    bool StatTimerGesetzt() const override { return false; }
    bool ZeitTimerGesetzt() const override { return false; }
    void XQZeitSetzen(const QString &t) override { xqZeit = t; }
    void VersionSetzen(const QString &t) override { version = t; }
    QStringList befehle, antworten, fehler, meldungen;
    QString xqZeit, version;
};

quint16 freierPort()
{
    for (int versuch = 0; versuch < 200; ++versuch) {
        const quint16 p = quint16(20000 + QRandomGenerator::global()->bounded(40000));
        QTcpServer a, b;
        if (a.listen(kPc, p) && b.listen(kSteuerung, p))
            return p;
    }
    return 0;
}

// The text as the answer check hands it on: word and fields, EOT, checksum digits, ETX.
QByteArray geprueft(const QByteArray &text)
{
    return RahmenBilden(text).sliced(2);
}

// The tagged fields of a status text after its time stamp, as "KEY=value".
QStringList felder(const QByteArray &satz)
{
    QStringList out;
    const QList<QByteArray> teile = satz.split('\x05');
    for (qsizetype i = 1; i < teile.size(); ++i)
        out << QString::fromLatin1(teile[i]).replace(QChar(0x0F), QLatin1Char('='));
    return out;
}

QByteArray programm(const QByteArray &name)
{
    return TXqSimController::demoProgramText(name, 230, 1080, 20);
}

} // namespace

class tst_Antworten : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void init();
    void cleanup();

    void uhrUndVersion();
    void hauptfensterZeigtZeitUndVersion();
    void statFelder_data();
    void statFelder();
    void herdZweiDecks();
    void herdStatusbits_data();
    void herdStatusbits();
    void herdOhneLetztesEnq();
    void bprgLesen();
    void bprgQuittungen();
    void bprgNakOhneTab();
    void bprgNummerAusserhalb_data();
    void bprgNummerAusserhalb();
    void bprgNichtAngefordert();
    void bprgFalschesFormat_data();
    void bprgFalschesFormat();
    void ladenVerweigert_data();
    void ladenVerweigert();
    void nachtstarts();
    void namensliste();
    void namenslisteFelder();

private:
    void aufbauen();
    void verbindeSignale(TwXQXOfen *link);

    std::unique_ptr<TTestUmgebung> m_env;
    std::unique_ptr<TFakeHost> m_host;
    std::unique_ptr<TAntwortServer> m_server;
    std::unique_ptr<TwXQXOfen> m_link;
    std::unique_ptr<TXqSim> m_sim;
    QString m_pending;
    quint16 m_port = 0;
    // What reached the list editor and the night-start window, in order.
    QStringList m_signale;
};

void tst_Antworten::initTestCase()
{
    // A loopback address of this process alone for the main window's server.
    const qint64 pid = QCoreApplication::applicationPid();
    qputenv("KELVOR_LISTEN_ADDRESS", QStringLiteral("127.%1.%2.%3")
                                         .arg(100 + pid % 100)
                                         .arg((pid / 100) % 250 + 1)
                                         .arg((pid / 25000) % 250 + 1)
                                         .toLatin1());
}

void tst_Antworten::init()
{
    m_env = std::make_unique<TTestUmgebung>(0.05);
    m_pending.clear();
    m_signale.clear();
    Closing = false;
    m_host = std::make_unique<TFakeHost>();
}

void tst_Antworten::cleanup()
{
    m_link.reset();
    m_server.reset();
    m_sim.reset();
    m_host.reset();
    for (QWidget *top : QApplication::topLevelWidgets())
        if (qobject_cast<TwShowbox *>(top) || qobject_cast<QMessageBox *>(top))
            delete top;
    QVERIFY2(m_env->dialoge().unexpected() == 0, "a modal box came that nobody expected");
    m_env.reset();
}

void tst_Antworten::verbindeSignale(TwXQXOfen *link)
{
    auto text = [](const QByteArray &b) { return QString::fromLatin1(b); };
    connect(link, &TwXQXOfen::TimeOutNeustarten, this, [this] { m_signale << QStringLiteral("TimeOut"); },
            Qt::DirectConnection);
    connect(link, &TwXQXOfen::AntwortEmpfangen, this,
            [this, text](const QByteArray &a, const QByteArray &n) {
                m_signale << QStringLiteral("Antwort:") + text(n) + u':' + text(a);
            },
            Qt::DirectConnection);
    connect(link, &TwXQXOfen::NamenEmpfangen, this,
            [this, text](const QByteArray &t, bool f) {
                m_signale << QStringLiteral("Namen:") + (f ? u'1' : u'0') + u':' + text(t);
            },
            Qt::DirectConnection);
    connect(link, &TwXQXOfen::NachtstartsAnzeigen, this,
            [this, text](const QByteArray &t) { m_signale << QStringLiteral("Nacht:") + text(t); },
            Qt::DirectConnection);
}

void tst_Antworten::aufbauen()
{
    m_port = freierPort();
    QVERIFY(m_port);
    m_server = std::make_unique<TAntwortServer>();
    m_server->SetAdresse(kPc);
    m_server->SetPort(m_port);
    QVERIFY(m_server->Aktivieren());
    m_link = std::make_unique<TwXQXOfen>(m_host.get());
    m_link->Init(QStringLiteral("127.0.0.2"));
    m_link->TCPClient.Port = m_port;
    connect(m_server.get(), &TAntwortServer::Gelesen, this, [this](const TServerVerbindung &v) {
        ServerZeileVerarbeiten(v, *m_host, m_link.get(), m_port, m_pending);
    });
    verbindeSignale(m_link.get());
    m_sim = std::make_unique<TXqSim>();
    QVERIFY2(m_sim->start(m_port, kSteuerung, kPc), qPrintable(m_sim->errorString()));
}

void tst_Antworten::uhrUndVersion()
{
    aufbauen();
    const QDateTime uhr(QDate(2024, 3, 9), QTime(5, 6, 7));
    m_sim->controller().setClock(uhr);
    m_link->BefehlEinreihen(QByteArray(), SB_ZEIT, QByteArray());
    m_link->BefehlEinreihen(QByteArray(), SB_STAT, QByteArray());
    QVERIFY(QTest::qWaitFor([&] { return !m_host->version.isEmpty(); }, 5000));
    QCOMPARE(m_host->xqZeit.left(16), QStringLiteral("09.03.2024 05:06"));
    QCOMPARE(m_host->version, QStringLiteral("XQ7310*1.2.3.4*10.11.12"));
    const QStringList statZeilen = m_host->antworten.mid(m_host->antworten.size() - 7);
    QCOMPARE(statZeilen, (QStringList{"Typ: 0", "HAnz: 2", "Gruppen: 1", "SchwadDM: 100", "XQName: XQ7310",
                                      "XQVer: 1.2.3.4", "LTVer: 10.11.12"}));
    // Every good answer restarts the editor's watchdog, whatever its word.
    QCOMPARE(m_signale, (QStringList{"TimeOut", "TimeOut"}));
    QCOMPARE(m_host->fehler, QStringList());
}

void tst_Antworten::hauptfensterZeigtZeitUndVersion()
{
    OpenRegistry(QStringLiteral("Zelnor"), QStringLiteral("Kelvor"))
        ->setValue(QStringLiteral("TCPIP_IPAdresse"), QStringLiteral("127.000.000.001"));
    InitVerzeichnisse();
    QPointer<TwKelvor> w = new TwKelvor;
    w->FormCreate({QStringLiteral("/opt/kelvor/kelvor")});
    QCOMPARE(w->Links.size(), size_t(1));
    TwXQXOfen *link = w->Links[0];
    link->AntwortZeit(geprueft("zeit24.12.2024 18:00:01"));
    link->AntwortStat(geprueft("stat0\t1\t1\t0064\tXQ7310\t01020304\t0A0B0C"));
    QCOMPARE(w->XQTime->text(), QStringLiteral("24.12.2024 18:00:01"));
    QCOMPARE(w->VersionEdit->text(), QStringLiteral("XQ7310*1.2.3.4*10.11.12"));
    delete w.data();
}

void tst_Antworten::statFelder_data()
{
    QTest::addColumn<QByteArray>("felder");
    QTest::addColumn<QStringList>("zeilen");
    QTest::addColumn<QString>("version");
    QTest::newRow("Typ 2 setzt HAnz auf 0")
        << QByteArray("2\t4\tA\t00FF\tXQ\t0A000001\t010203")
        << QStringList{"Typ: 2", "HAnz: 0", "Gruppen: A", "SchwadDM: 255", "XQName: XQ", "XQVer: 10.0.0.1",
                       "LTVer: 1.2.3"}
        << QStringLiteral("XQ*10.0.0.1*1.2.3");
    QTest::newRow("HAnz leer gibt 1, Typ kein Wert gibt 0")
        << QByteArray("x\t\tG\t00ff\tN\t01020304\t0A0B0C")
        << QStringList{"Typ: 0", "HAnz: 1", "Gruppen: G", "SchwadDM: -1", "XQName: N", "XQVer: 1.2.3.4",
                       "LTVer: 10.11.12"}
        << QStringLiteral("N*1.2.3.4*10.11.12");
    QTest::newRow("kurze Versionen") << QByteArray("0\t1\t1\t0064\tXQ\t0102\t0A")
                                     << QStringList{"Typ: 0", "HAnz: 1", "Gruppen: 1", "SchwadDM: 100",
                                                    "XQName: XQ", "XQVer: 1.2.-1.-1", "LTVer: 10.-1.-1"}
                                     << QStringLiteral("XQ*1.2.-1.-1*10.-1.-1");
    QTest::newRow("keine Felder") << QByteArray()
                                  << QStringList{"Typ: 0", "HAnz: 1", "Gruppen: ", "SchwadDM: -1", "XQName: ",
                                                 "XQVer: -1.-1.-1.-1", "LTVer: -1.-1.-1"}
                                  << QStringLiteral("*-1.-1.-1.-1*-1.-1.-1");
}

void tst_Antworten::statFelder()
{
    QFETCH(QByteArray, felder);
    QFETCH(QStringList, zeilen);
    QFETCH(QString, version);
    TwXQXOfen link(m_host.get());
    link.AntwortStat(geprueft("stat" + felder));
    QCOMPARE(m_host->antworten, zeilen);
    QCOMPARE(m_host->version, version);
}

void tst_Antworten::herdZweiDecks()
{
    aufbauen();
    QList<TXqSimDeck> &decks = m_sim->controller().decks();
    decks.resize(2);
    decks[0] = TXqSimDeck{0x1A, "Roggenbrot", 0x0258, 0x00E6, 0x00F0, 0x1071, 0x0002, "50"};
    decks[1] = TXqSimDeck{0, "", 0, 0x0014, 0, 0x0000, 0, "00"};
    m_link->BefehlEinreihen(QByteArray(), SB_HERD, QByteArray());
    QVERIFY(QTest::qWaitFor([&] { return !m_link->Statussatz.isEmpty(); }, 5000));
    const QByteArray satz = m_link->Statussatz;
    // One time stamp, then the two decks.
    QVERIFY(satz.indexOf('\x05') > 0);
    QCOMPARE(felder(satz),
             (QStringList{"ID=1", "TYP=96", "STATEIN=0", "STATUS1=7", "HEIZ1=17", "BPRNR=26", "BZ=600", "OH=230",
                          "OHS=240", "UH=0", "UHS=0", "ABZUG=50", "BPRGNAME=Roggenbrot", "END=",
                          "ID=2", "TYP=96", "STATEIN=1", "STATUS1=0", "HEIZ1=0", "BPRNR=0", "BZ=0", "OH=20",
                          "OHS=0", "UH=0", "UHS=0", "ABZUG=00", "BPRGNAME=", "END="}));
    QVERIFY(m_link->StatusTimeout->enabled());
    // Without further "herd" answers the status text lives 5000 ms (time-scaled).
    QVERIFY(QTest::qWaitFor([&] { return m_link->Statussatz.isEmpty(); }, 2000));
    QVERIFY(!m_link->StatusTimeout->enabled());
}

void tst_Antworten::herdStatusbits_data()
{
    QTest::addColumn<QByteArray>("satz");
    QTest::addColumn<QStringList>("erwartet");
    QTest::newRow("Laufend, heizt, Ein, w2 ohne Heizbits")
        << QByteArray("herd00\t1A\tBrot\t0010\t00C8\t00D2\t1071\t0008\t7F")
        << QStringList{"ID=1", "STATEIN=0", "STATUS1=7", "HEIZ1=16", "BPRNR=26", "BZ=16", "OH=200", "OHS=210",
                       "ABZUG=7F", "BPRGNAME=Brot"};
    QTest::newRow("Aus und Nachtbetrieb, Kleinbuchstaben")
        << QByteArray("herd03\t1a\tN\tzz\t\t0\t2000xyz\t0001\t12345")
        << QStringList{"ID=4", "STATEIN=3", "STATUS1=0", "HEIZ1=1", "BPRNR=-1", "BZ=-1", "OH=-1", "OHS=0",
                       "ABZUG=12", "BPRGNAME=N"};
    QTest::newRow("Ungerade Statusworte zaehlen 0")
        << QByteArray("herdxx\t0001\tN\t0\t0\t0\t107\t1\t") << QStringList{"ID=1", "STATEIN=1", "STATUS1=0", "HEIZ1=0",
                                                                      "BPRNR=1", "BZ=0", "OH=0", "OHS=0",
                                                                      "ABZUG=", "BPRGNAME=N"};
    QTest::newRow("Satz ohne TAB") << QByteArray("herd01") << QStringList{"ID=2", "STATEIN=1", "STATUS1=0",
                                                                         "HEIZ1=0", "BPRNR=-1", "BZ=-1", "OH=-1",
                                                                         "OHS=-1", "ABZUG=", "BPRGNAME="};
}

void tst_Antworten::herdStatusbits()
{
    QFETCH(QByteArray, satz);
    QFETCH(QStringList, erwartet);
    TwXQXOfen link(m_host.get());
    link.OfenIdBasis = 0;
    link.AntwortHerd(geprueft(satz + '\x05'));
    QStringList ist = felder(link.Statussatz);
    ist.removeIf([](const QString &f) {
        return f.startsWith(QLatin1String("TYP=")) || f.startsWith(QLatin1String("UH")) || f == QLatin1String("END=");
    });
    QCOMPARE(ist, erwartet);
}

void tst_Antworten::herdOhneLetztesEnq()
{
    // The last record without its ENQ ends the answer; nothing is read twice.
    TwXQXOfen link(m_host.get());
    link.OfenIdBasis = 10;
    QElapsedTimer uhr;
    uhr.start();
    link.AntwortHerd(geprueft("herd00\t0001\tA\t0\t0\t0\t0000\t0000\t00\x05herd01\t0002\tB\t0\t0\t0\t0000\t0000\t11"));
    QVERIFY(uhr.elapsed() < 1000);
    const QStringList f = felder(link.Statussatz);
    QCOMPARE(f.count(QStringLiteral("END=")), 2);
    QVERIFY(f.contains(QStringLiteral("ID=11")));
    QVERIFY(f.contains(QStringLiteral("ID=12")));
    QVERIFY(f.contains(QStringLiteral("ABZUG=11")));
    link.AntwortHerd(QByteArray("herd"));
    QCOMPARE(felder(link.Statussatz).count(QStringLiteral("END=")), 1);
}

void tst_Antworten::bprgLesen()
{
    aufbauen();
    const QByteArray text = programm("Weizenbrot");
    m_sim->controller().setProgram(5, text);
    m_link->BefehlEinreihen(QByteArray(), SB_BPRG, QByteArray("0005"));
    QVERIFY(QTest::qWaitFor([&] { return m_signale.size() == 2; }, 5000));
    // The watchdog restart comes first, then the program with its number in decimal.
    QCOMPARE(m_signale, (QStringList{"TimeOut", "Antwort:5:" + QString::fromLatin1(text)}));
    QCOMPARE(m_host->fehler, QStringList());
}

void tst_Antworten::bprgQuittungen()
{
    aufbauen();
    QByteArray schreiben = programm("Mischbrot");
    schreiben.replace("\r\n", "\t");
    m_link->BefehlEinreihen(QByteArray(), SB_BPRG, "000A\t" + schreiben);
    // Program 7 is not on the controller.
    m_link->BefehlEinreihen(QByteArray(), SB_BPRG, QByteArray("0007"));
    QVERIFY(QTest::qWaitFor([&] { return m_host->meldungen.size() == 1; }, 5000));
    QCOMPARE(m_signale, (QStringList{"TimeOut", "Antwort:-1:SendACK", "TimeOut"}));
    QCOMPARE(m_host->meldungen, QStringList{kNichtGeoeffnet});
    QVERIFY(m_sim->controller().hasProgram(10));
    QCOMPARE(m_sim->count("BPRG"), 2);
}

void tst_Antworten::bprgNakOhneTab()
{
    // "bprg" + NAK with no TAB is a refusal of the command in flight: tried three times, then
    // the "Fehler" box with the bare prefix; no handler sees it.
    aufbauen();
    m_sim->addFault("BPRG", TXqSimFault::raw(RahmenBilden("bprg\x15") + '\n'), 3);
    m_link->BefehlEinreihen(QByteArray(), SB_BPRG, QByteArray("DELETE\t0005"));
    QVERIFY(QTest::qWaitFor([&] { return m_host->meldungen.size() == 1; }, 5000));
    QCOMPARE(m_host->meldungen, QStringList{QStringLiteral("127.0.0.2_BPRG: ")});
    QCOMPARE(m_sim->count("BPRG"), 3);
    QVERIFY(QTest::qWaitFor([&] { return m_sim->acknowledgements('\x06') == 3; }, 2000));
    QCOMPARE(m_signale, QStringList());
}

void tst_Antworten::bprgNummerAusserhalb_data()
{
    QTest::addColumn<int>("nummer");
    QTest::newRow("00C8") << 200;
    QTest::newRow("FFFF") << 0xFFFF;
}

void tst_Antworten::bprgNummerAusserhalb()
{
    QFETCH(int, nummer);
    aufbauen();
    m_sim->controller().setProgram(5, programm("Weizenbrot"));
    m_sim->addFault("BPRG", TXqSimFault::wrongNumber(nummer));
    m_link->BefehlEinreihen(QByteArray(), SB_BPRG, QByteArray("0005"));
    QVERIFY(QTest::qWaitFor([&] { return !m_host->fehler.isEmpty(); }, 5000));
    QTest::qWait(100);
    QCOMPARE(m_host->fehler, QStringList{QStringLiteral("Falsches PrgFormat")});
    QCOMPARE(m_signale, QStringList{QStringLiteral("TimeOut")});
    // Acknowledged and ended: not asked again.
    QCOMPARE(m_sim->count("BPRG"), 1);
    QCOMPARE(m_sim->acknowledgements('\x06'), 1);
}

void tst_Antworten::bprgNichtAngefordert()
{
    aufbauen();
    m_sim->controller().setProgram(5, programm("Weizenbrot"));
    m_sim->controller().setProgram(6, programm("Roggenbrot"));
    // The answer carries program 6 while 5 was asked for.
    m_sim->addFault("BPRG", TXqSimFault::wrongNumber(0));
    m_link->BefehlEinreihen(QByteArray(), SB_BPRG, QByteArray("0005"));
    QVERIFY(QTest::qWaitFor([&] { return !m_host->fehler.isEmpty(); }, 5000));
    QCOMPARE(m_host->fehler, QStringList{QStringLiteral("BPRG0006: nicht angefordert")});
    // Acknowledged all the same.
    QVERIFY(QTest::qWaitFor([&] { return m_sim->acknowledgements('\x06') == 1; }, 2000));
    QCOMPARE(m_signale, QStringList{QStringLiteral("TimeOut")});

    // A late answer after the command has ended changes nothing either.
    QVERIFY(QTest::qWaitFor([&] { return !m_link->SendenBeschaeftigt(); }, 2000));
    m_link->BefehlAktuell = SB_None;
    m_link->AntwortBprgDaten(geprueft("BPRG0005\t##HEAD\t##/HEAD\t##BODY\t##/BODY"));
    QCOMPARE(m_host->fehler.last(), QStringLiteral("BPRG0005: nicht angefordert"));
    QCOMPARE(m_signale, QStringList{QStringLiteral("TimeOut")});
}

void tst_Antworten::bprgFalschesFormat_data()
{
    QTest::addColumn<QByteArray>("text");
    QTest::addColumn<bool>("gut");
    QTest::newRow("kleinste Form") << QByteArray("BPRG0005\t##HEAD\t##/HEAD\t##BODY\t##/BODY") << true;
    QTest::newRow("Schwanz nach ##/BODY") << QByteArray("BPRG0005\t##HEAD\tA=1\t##/HEAD\t##BODY\tX\t##/BODYxy")
                                          << true;
    QTest::newRow("letztes Feld nicht ##/BODY") << QByteArray("BPRG0005\t##HEAD\t##/HEAD\t##BODY\t##/BODY\tX")
                                                << false;
    QTest::newRow("##BODY vor ##/HEAD") << QByteArray("BPRG0005\t##HEAD\t##BODY\t##/HEAD\t##/BODY") << false;
    QTest::newRow("ohne TAB") << QByteArray("BPRG0005##HEAD##/HEAD##BODY##/BODY") << false;
    QTest::newRow("nur das Wort") << QByteArray("BPRG") << false;
    QTest::newRow("Nummer klein geschrieben") << QByteArray("BPRG000a\t##HEAD\t##/HEAD\t##BODY\t##/BODY")
                                              << false;
}

void tst_Antworten::bprgFalschesFormat()
{
    QFETCH(QByteArray, text);
    QFETCH(bool, gut);
    TwXQXOfen link(m_host.get());
    verbindeSignale(&link);
    link.BefehlAktuell = SB_BPRG;
    link.BefehlAktuell.Param = "0005";
    link.AntwortBprgDaten(geprueft(text));
    if (gut) {
        QCOMPARE(m_host->fehler, QStringList());
        QCOMPARE(m_signale.size(), 1);
        QVERIFY(m_signale.first().startsWith(QLatin1String("Antwort:5:##HEAD\r\n")));
        QVERIFY(m_signale.first().endsWith(QLatin1String("\r\n##/BODY\r\n")));
    } else {
        QCOMPARE(m_host->fehler, QStringList{QStringLiteral("Falsches PrgFormat")});
        QCOMPARE(m_signale, QStringList());
    }
}

void tst_Antworten::ladenVerweigert_data()
{
    QTest::addColumn<QByteArray>("text");
    QTest::addColumn<QStringList>("meldungen");
    QTest::newRow("Flags 0") << QByteArray("load\x15" "0") << QStringList{"Backprogramm kann\r\nnicht geändert werden!"};
    QTest::newRow("kein Wert") << QByteArray("load\x15") << QStringList{"Backprogramm kann\r\nnicht geändert werden!"};
    QTest::newRow("Bit 0") << QByteArray("load\x15" "3") << QStringList{"Backprogramm läuft,\r\nkeine Änderung möglich!"};
    QTest::newRow("Bit 1") << QByteArray("load\x15" "2") << QStringList{"Backprogramm nicht\r\nvorhanden!"};
    QTest::newRow("andere Bits") << QByteArray("load\x15" "4") << QStringList();
    QTest::newRow("ohne NAK") << QByteArray("load\t\x06") << QStringList();
}

void tst_Antworten::ladenVerweigert()
{
    QFETCH(QByteArray, text);
    QFETCH(QStringList, meldungen);
    TwXQXOfen link(m_host.get());
    link.AntwortLoad(geprueft(text));
    QCOMPARE(m_host->meldungen, meldungen);
}

void tst_Antworten::nachtstarts()
{
    aufbauen();
    QByteArray werte;
    for (int i = 0; i < 14; ++i)
        werte += (i ? "\t" : "") + QByteArray(i == 2 ? "390" : "-1");
    m_link->BefehlEinreihen(QByteArray(), SB_NAST, werte);
    QVERIFY(QTest::qWaitFor([&] { return !m_env->dialoge().boxes().isEmpty(); }, 5000));
    const TBoxRequest box = m_env->dialoge().boxes().first();
    QCOMPARE(box.caption, QStringLiteral("Achtung"));
    QCOMPARE(box.text, QStringLiteral("Nachtstarts übertragen!"));
    QVERIFY(!box.modal);
    QCOMPARE(m_signale, QStringList{QStringLiteral("TimeOut")});

    // A read hands the table on; so does an empty reply.
    m_link->BefehlEinreihen(QByteArray(), SB_NAST, QByteArray());
    QVERIFY(QTest::qWaitFor([&] { return m_signale.size() == 3; }, 5000));
    QCOMPARE(m_signale.last(), QStringLiteral("Nacht:") + QString::fromLatin1(werte));
    m_link->AntwortNachtstarts(geprueft("nast"));
    QCOMPARE(m_signale.last(), QStringLiteral("Nacht:"));
    QCOMPARE(m_env->dialoge().boxes().size(), 1);
}

void tst_Antworten::namensliste()
{
    aufbauen();
    m_sim->controller().setProgram(1, programm("Weizenbrot"));
    m_sim->controller().setProgram(12, programm("Roggenbrot"));
    m_link->PrgNamen[0] = "null";
    m_link->BefehlEinreihen(QByteArray(), SB_BPLI, QByteArray());
    QVERIFY(QTest::qWaitFor([&] { return m_signale.size() == 2; }, 5000));
    QCOMPARE(m_sim->count("BPL2"), 1);
    QCOMPARE(m_signale.last(), QStringLiteral("Namen:0:0001\tWeizenbrot\t000C\tRoggenbrot\t"));
    QCOMPARE(m_link->PrgNamen[0], QByteArray("null"));
    QCOMPARE(m_link->PrgNamen[1], QByteArray("Weizenbrot"));
    QCOMPARE(m_link->PrgNamen[12], QByteArray("Roggenbrot"));
    QCOMPARE(m_link->PrgNamen[2], QByteArray("frei free libre     "));
    QCOMPARE(m_link->PrgNamen[199], QByteArray("frei free libre     "));
}

void tst_Antworten::namenslisteFelder()
{
    TwXQXOfen link(m_host.get());
    verbindeSignale(&link);
    link.PrgNamen[5] = "alt";
    const QByteArray paare = "0003\tEin Name mit 25 Zeichen!!\t00C8\tZweihundert\t000a\tKlein\tZZ\tFalsch\t0000\tNull\t"
                             "00C7\tLetzter";
    link.AntwortBprgListe(geprueft("bpl2" + paare));
    QCOMPARE(link.PrgNamen[3], QByteArray("Ein Name mit 25 Zeic"));
    QCOMPARE(link.PrgNamen[0], QByteArray("Null"));
    QCOMPARE(link.PrgNamen[199], QByteArray("Letzter"));
    QCOMPARE(link.PrgNamen[10], QByteArray("frei free libre     "));
    QCOMPARE(link.PrgNamen[5], QByteArray("frei free libre     "));
    // The editor gets the pairs as they came, without the word and the frame's tail.
    QCOMPARE(m_signale, QStringList{QStringLiteral("Namen:0:") + QString::fromLatin1(paare)});

    // A number with no TAB after it, and an empty list.
    link.AntwortBprgListe(geprueft("bpli0004"));
    QCOMPARE(link.PrgNamen[4], QByteArray("frei free libre     "));
    QCOMPARE(m_signale.last(), QStringLiteral("Namen:0:0004"));
    link.AntwortBprgListe(QByteArray("bpli"));
    QCOMPARE(m_signale.last(), QStringLiteral("Namen:0:"));
}

QTEST_MAIN(tst_Antworten)
#include "tst_Antworten.moc"

// The stand-in controller's answers, its faults that match a request's parameters and its
// loopback-only rule. Its frames and sockets are proven further by the link tests.
#include "support/LinkTestHilfe.h"

#include "XqSim.h"
#include "XqSimFrame.h"
#include "link/uXQXKonstanten.h"
#include "programs/Programmpruefung.h"

#include <QProcess>
#include <QTcpServer>
#include <QNetworkProxy>
#include <QTcpSocket>
#include <QtTest>
#include <memory>

namespace {

// The stand-in on a free port, with a plain server in the program's place that keeps each
// answer connection's bytes. Requests go out one connection each, as the program sends them.
struct TGegenstelle
{
    TXqSim sim;
    QTcpServer pc;
    QList<QByteArray> antworten;
    quint16 port = 0;

    bool starten()
    {
        for (int versuch = 0; versuch < 20 && !pc.isListening(); ++versuch) {
            port = FreierPort();
            if (port && sim.start(port, kSteuerung, kPc) && !pc.listen(kPc, port))
                sim.stopListening();
        }
        QObject::connect(&pc, &QTcpServer::newConnection, [this] {
            while (QTcpSocket *s = pc.nextPendingConnection()) {
                QObject::connect(s, &QTcpSocket::disconnected, s, [this, s] {
                    antworten << s->readAll();
                    s->deleteLater();
                });
            }
        });
        sim.controller().seedDemoPrograms(10);
        return pc.isListening();
    }

    // Writes one request on a connection of its own and waits until the stand-in has read it.
    bool senden(const QByteArray &text)
    {
        const qsizetype gelesen = sim.frames().size();
        auto *s = new QTcpSocket(&pc);
        QObject::connect(s, &QTcpSocket::connected, s, [s, text] {
            s->write(xqsim::BuildFrame(text) + "\r\n");
            s->disconnectFromHost();
        });
        QObject::connect(s, &QTcpSocket::disconnected, s, &QObject::deleteLater);
        s->setProxy(QNetworkProxy::NoProxy);
        s->connectToHost(kSteuerung, port);
        return QTest::qWaitFor([&] { return sim.frames().size() > gelesen; }, 30000);
    }

    // The bytes of the answer to one request; "-" when the stand-in sends none.
    QByteArray frage(const QByteArray &text)
    {
        const qsizetype vorher = antworten.size();
        const qsizetype gesendet = sim.answersSent().size();
        if (!senden(text))
            return "?";
        const bool fertig = QTest::qWaitFor([&] {
            return antworten.size() > vorher || (sim.answersPending() == 0 && sim.answersSent().size() == gesendet);
        }, 30000);
        if (!fertig)
            return "?";
        return antworten.size() > vorher ? antworten.last() : QByteArray("-");
    }
};

QByteArray text(const QByteArray &antwort)
{
    if (antwort.size() < 2)
        return antwort;
    const xqsim::TDecodedFrame d = xqsim::DecodeFrame(antwort.chopped(1));
    return d.ok ? d.text : "kaputt: " + antwort;
}

} // namespace

class TstXqsim : public QObject
{
    Q_OBJECT
private slots:
    void answers_data()
    {
        QTest::addColumn<QByteArray>("req");
        QTest::addColumn<QByteArray>("answer");
        const QByteArray ack("\t\x06");
        QTest::newRow("PING") << QByteArray("PING") << "ping" + ack;
        QTest::newRow("STAT") << QByteArray("STAT") << QByteArray("stat0\t2\t1\t0064\tXQ7310\t01020304\t0A0B0C");
        QTest::newRow("BPL2") << QByteArray("BPL2")
                              << QByteArray("bpl20001\tWeizenbr\xF6tchen\t0002\tRoggenmischbrot\t0003\tBaguette\t");
        QTest::newRow("BPRG free slot") << QByteArray("BPRG0004") << QByteArray("bprg\tCANNOT OPEN");
        QTest::newRow("BPRG 200") << QByteArray("BPRG00C8") << QByteArray("bprg\tEPAR");
        QTest::newRow("LOAD missing") << QByteArray("LOAD0001\t0063") << QByteArray("load\x15" "2\t");
        QTest::newRow("LOAD") << QByteArray("LOAD0002\t0002") << "load" + ack;
        QTest::newRow("STOP no deck") << QByteArray("STOP0004") << QByteArray("stop\tEPAR");
        for (const char *r : {"STAR0001", "SWAD0003\t005", "AZUG0001\t100", "SOLL0001\t00FF", "BZEI0001\t0258", "OFEN02\t-01"})
            QTest::newRow(QByteArray(r).left(4).constData()) << QByteArray(r) << QByteArray(r).left(4).toLower() + ack;
        QTest::newRow("unknown") << QByteArray("KAFF") << QByteArray("EUCD\tKAFF");
    }
    void answers()
    {
        QFETCH(QByteArray, req);
        QFETCH(QByteArray, answer);
        TXqSimController c;
        c.seedDemoPrograms(3);
        QCOMPARE(c.answer(req.left(4), req.mid(4)), answer);
    }

    // The demo programs used to be one phase with no exhaust: the editor refused each of them
    // ("Abzug-Zeiten: kleiner als die Gesamtbackzeit.") and the list could not be sent.
    void demoProgramsPassTheEditor()
    {
        TXqSimController c;
        c.seedDemoPrograms(199);
        QCOMPARE(c.programs().size(), 199);
        auto liste = std::make_unique<TBackprogrammListe>();
        int umlaute = 0;
        for (int nr = 1; nr <= 199; ++nr) {
            const QByteArray text = c.program(nr);
            TBackprogramm &p = (*liste)[size_t(nr)];
            BPrgTextLesen(text, p);
            // In the program's own text form: written again, the same bytes.
            QCOMPARE(BPrgTextSchreiben(p, true), text);
            if (nr > 10)
                continue;
            int phasen = 0, schwaden = 0, umw = 0, abzug = 0, ausgang = 0;
            for (const TBackPhase &ph : p.Phasen) {
                phasen += ph.Backzeit > 0;
                schwaden += ph.Schwaden > 0;
                umw += ph.Umwaelzer > 0 && ph.UmwaelzerZeit > 0;
                abzug += ph.AbzugProzent > 0 && ph.AbzugZeit > 0;
                ausgang += ph.Ausgang > 0 && ph.AusgangZeit > 0;
            }
            QVERIFY2(phasen >= 2, text.constData());
            QVERIFY2(schwaden > 0, text.constData());
            QVERIFY2(umw > 0, text.constData());
            QVERIFY2(abzug > 0, text.constData());
            QVERIFY2(ausgang > 0, text.constData());
            const QByteArray name = TXqSimController::programName(text);
            umlaute += name.contains('\xE4') || name.contains('\xF6') || name.contains('\xFC');
        }
        QVERIFY(umlaute >= 4);

        // Every check of the list editor, the output column shown and the steam counted in
        // seconds, as strictly as the editor can check.
        TPruefRegeln streng;
        streng.schwadenMenge.fill(true);
        streng.ausgSpalteEin = true;
        for (const TPruefRegeln &regeln : {TPruefRegeln{}, streng}) {
            auto kopie = std::make_unique<TBackprogrammListe>(*liste);
            const TListenBefund befund = ListeAuswerten(*kopie, regeln, ListenEditorTexte());
            QVERIFY2(!befund.bereichsFehler, qPrintable(befund.betroffen));
            QVERIFY2(!befund.summenFehler, qPrintable(befund.betroffen));
            for (int nr = 1; nr <= 199; ++nr) {
                const TProgrammBefund b = ProgrammAuswerten((*liste)[size_t(nr)], regeln, ListenEditorTexte());
                QVERIFY2(!b.bereichsFehler, qPrintable(b.summenErgebnis.text));
                QVERIFY2(!b.summenErgebnis.fehler, qPrintable(b.summenErgebnis.text));
            }
        }
    }

    void keepsItsState()
    {
        TXqSimController c;
        const QByteArray text = TXqSimController::demoProgramText("SEPARAT", 200, 600, 0);
        QCOMPARE(c.answer("BPRG", "0007\t" + QByteArray(text).replace("\r\n", "\t")), QByteArray("bprg\t\x06"));
        QCOMPARE(c.program(7), text);
        QCOMPARE(c.answer("BPRG", "DELETE\t0007\t0008"), QByteArray("bprg\t\x06"));
        QCOMPARE(c.answer("BPRG", "0007"), QByteArray("bprg\tCANNOT OPEN"));
        QCOMPARE(c.answer("ZEIT", "01.02.2020 10:00:00"), QByteArray("zeit01.02.2020 10:00:00"));
        QVERIFY(c.answer("ZEIT", {}).startsWith("zeit01.02.2020 10:0"));
        c.setLegacy(true);
        QCOMPARE(c.answer("BPL2", {}), QByteArray("EUCD\tBPL2"));
        QCOMPARE(c.answer("BPLI", {}), QByteArray("bpli"));
    }

    // Faults that match a request's parameters: the read and the write of one program, the
    // delete of one program; other programs and other forms are answered as usual.
    void faultsByParameters_data()
    {
        QTest::addColumn<QByteArray>("params");
        QTest::addColumn<TXqSimFault>("fault");
        QTest::addColumn<QByteArrayList>("requests");
        QTest::addColumn<QByteArrayList>("answers");   // how each answer's text begins; "-": none
        using F = TXqSimFault;
        QByteArray fuenf = TXqSimController::demoProgramText("Croissant", 200, 1080, 10);
        fuenf = "BPRG0005\t" + fuenf.replace("\r\n", "\t");
        QTest::newRow("wrong number") << QByteArray("0005") << F::wrongNumber()
                                      << QByteArrayList{"BPRG0004", "BPRG0005", "BPRG0050", "BPRG0005"}
                                      << QByteArrayList{"BPRG0004\t##HEAD", "BPRG0006\t##HEAD", "bprg\tCANNOT OPEN",
                                                        "BPRG0006\t##HEAD"};
        QTest::newRow("read and write refused") << QByteArray("0005") << F::of(F::Refuse)
                                                << QByteArrayList{fuenf, "BPRG0005", "BPRGDELETE\t0007", "BPRG0006"}
                                                << QByteArrayList{"bprg\t\x15", "bprg\t\x15", "bprg\t\x06", "BPRG0006\t"};
        QTest::newRow("delete of 100") << QByteArray("DELETE\t0064") << F::of(F::Refuse)
                                       << QByteArrayList{"BPRGDELETE\t0063", "BPRGDELETE\t0064", "BPRG0064"}
                                       << QByteArrayList{"bprg\t\x06", "bprg\t\x15", "bprg\tCANNOT OPEN"};
        QTest::newRow("silence") << QByteArray("0003") << F::of(F::Silence)
                                 << QByteArrayList{"BPRG0003", "BPRG0002", "BPRG0003"}
                                 << QByteArrayList{"-", "BPRG0002\t", "-"};
        QTest::newRow("raw") << QByteArray("0002") << F::raw(xqsim::BuildFrame("BPRG0002\t##HEAD\tNAME =x") + '\n')
                             << QByteArrayList{"BPRG0002", "BPRG0001"}
                             << QByteArrayList{"BPRG0002\t##HEAD\tNAME =x", "BPRG0001\t##HEAD\tSTEUERUNG"};
    }
    void faultsByParameters()
    {
        QFETCH(QByteArray, params);
        QFETCH(TXqSimFault, fault);
        QFETCH(QByteArrayList, requests);
        QFETCH(QByteArrayList, answers);
        TGegenstelle g;
        QVERIFY(g.starten());
        g.sim.addFault("BPRG", params, fault, -1);
        for (qsizetype i = 0; i < requests.size(); ++i) {
            const QByteArray antwort = g.frage(requests[i]);
            QVERIFY2(text(antwort).startsWith(answers[i]), antwort.constData());
        }
        if (fault.kind == TXqSimFault::Raw)
            QCOMPARE(g.antworten.first(), fault.bytes);
        // A refused write leaves the program as it was.
        QCOMPARE(g.sim.controller().programName(g.sim.controller().program(5)), QByteArray("Croissant"));
    }

    // A request takes the first fault that matches it, in the order they were added.
    void faultsInTheirOrder()
    {
        TGegenstelle g;
        QVERIFY(g.starten());
        g.sim.addFault("BPRG", TXqSimFault::of(TXqSimFault::Refuse));
        g.sim.addFault("BPRG", "0001", TXqSimFault::of(TXqSimFault::Silence));
        QCOMPARE(text(g.frage("BPRG0001")), QByteArray("bprg\t\x15"));
        QVERIFY(text(g.frage("BPRG0002")).startsWith("BPRG0002\t"));
        QCOMPARE(g.frage("BPRG0001"), QByteArray("-"));
        QCOMPARE(g.sim.faultsLeft(), 0);
        QVERIFY(text(g.frage("BPRG0001")).startsWith("BPRG0001\t"));
    }

    // One program's answer held back while the next request is answered.
    void heldBackByParameters()
    {
        TGegenstelle g;
        QVERIFY(g.starten());
        g.sim.addFault("BPRG", "0005", TXqSimFault::delay(60000));
        QVERIFY(g.senden("BPRG0005"));
        QCOMPARE(g.sim.answersPending(), 1);
        QVERIFY(text(g.frage("BPRG0004")).startsWith("BPRG0004\t"));
        QCOMPARE(g.sim.answersPending(), 1);
        QCOMPARE(g.antworten.size(), 1);
    }

    // The program writes "%2d": a start at 0:05 goes as " 5" and reads back so.
    void nightStarts_data()
    {
        QTest::addColumn<QByteArray>("values");
        QTest::addColumn<QByteArray>("answer");
        const QByteArray ok = QByteArray("nast") + '\x06';
        QTest::newRow("padded") << QByteArray(" 5\t-1\t375\t1320\t-1\t-1\t-1\t-1\t-1\t-1\t-1\t-1\t-1\t 0") << ok;
        QTest::newRow("bounds") << QByteArray("0\t1439\t-1\t-1\t-1\t-1\t-1\t-1\t-1\t-1\t-1\t-1\t-1\t-1") << ok;
        QTest::newRow("1440") << QByteArray("1440\t-1\t-1\t-1\t-1\t-1\t-1\t-1\t-1\t-1\t-1\t-1\t-1\t-1")
                              << QByteArray("nast\tEPAR");
        QTest::newRow("trailing blank") << QByteArray("5 \t-1\t-1\t-1\t-1\t-1\t-1\t-1\t-1\t-1\t-1\t-1\t-1\t-1")
                                        << QByteArray("nast\tEPAR");
        QTest::newRow("only blanks") << QByteArray("  \t-1\t-1\t-1\t-1\t-1\t-1\t-1\t-1\t-1\t-1\t-1\t-1\t-1")
                                     << QByteArray("nast\tEPAR");
        QTest::newRow("thirteen") << QByteArray("-1\t-1\t-1\t-1\t-1\t-1\t-1\t-1\t-1\t-1\t-1\t-1\t-1")
                                  << QByteArray("nast\tEPAR");
    }
    void nightStarts()
    {
        QFETCH(QByteArray, values);
        QFETCH(QByteArray, answer);
        TXqSimController c;
        const QByteArray before = c.nightStarts();
        QCOMPARE(c.answer("NAST", values), answer);
        const QByteArray held = answer.endsWith('\x06') ? values : before;
        QCOMPARE(c.nightStarts(), held);
        QCOMPARE(c.answer("NAST", {}), "nast" + held);
    }

    void refusesAddressesOutsideLoopback_data()
    {
        QTest::addColumn<QString>("listen");
        QTest::addColumn<QString>("answerTo");
        QTest::newRow("listen on all") << "0.0.0.0" << "127.0.0.1";
        QTest::newRow("listen on IPv6") << "::1" << "127.0.0.1";
        QTest::newRow("answer to LAN") << "127.0.0.2" << "10.0.0.5";
    }
    void refusesAddressesOutsideLoopback()
    {
        QFETCH(QString, listen);
        QFETCH(QString, answerTo);
        TXqSim sim;
        QVERIFY(!sim.start(26999, QHostAddress(listen), QHostAddress(answerTo)));
        QProcess p;
        p.start(QStringLiteral(XQSIM_PROGRAM), {"--listen", listen, "--answer-to", answerTo, "--port", "26999"});
        QVERIFY(p.waitForFinished(30000));
        QCOMPARE(p.exitCode(), 2);
        QVERIFY(p.readAllStandardError().contains("127.0.0.0/8"));
    }
};

QTEST_MAIN(TstXqsim)
#include "tst_Xqsim.moc"

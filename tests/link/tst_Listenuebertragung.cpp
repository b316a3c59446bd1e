// Whole-list transfers over real loopback TCP against the stand-in controller: the read-all
// with its progress and twelve chunks, the write-all slot by slot, cancelling either, and the
// faults that end or stall them.
#include "support/LinkTestHilfe.h"

#include "XqSimFrame.h"
#include "app/Zahlformat.h"

#include <QtTest>

#include <map>

namespace {

const QString kNakZeile = QStringLiteral("127.0.0.2_BPRG: Backprogramm kann nicht geöffnet werden!");

QByteArray programm(int nr)
{
    return TXqSimController::demoProgramText("Programm " + QByteArray::number(nr), 180 + nr % 60, 600 + nr, nr % 3 * 10);
}

// A program with every function used in all ten phases: about a thousand characters of text.
QByteArray vollesProgramm(int nr)
{
    TBackprogramm p;
    InitBPrgRecord(p);
    p.Name.setText("Vollkorn Spezial " + QByteArray::number(nr));
    p.Menge = nr % 40 + 1;
    p.SollKT = 95;
    for (int k = 0; k < 10; ++k) {
        TBackPhase &ph = p.Phasen[size_t(k)];
        ph.Temperatur = 240 - 4 * k - nr % 7;
        ph.Backzeit = 90 + nr % 60 + k;
        ph.Schwaden = k % 2 == 0 ? 40 : 6;
        ph.Umwaelzer = k % 2 ? 100 : 0;
        ph.UmwaelzerZeit = ph.Backzeit;
        ph.Luft = 50;
        ph.LuftZeit = ph.Backzeit - 10;
        ph.Ausgang = 100;
        ph.AusgangZeit = 20 + k;
        ph.AbzugProzent = 40;
        ph.AbzugZeit = ph.Backzeit;
    }
    return BPrgTextSchreiben(p, true);
}

// The text form of an empty slot as the editor writes it.
QByteArray freiesProgramm()
{
    TBackprogramm p;
    InitBPrgRecord(p);
    return BPrgTextSchreiben(p, true);
}

QByteArray mitTabs(QByteArray text)
{
    return text.replace("\r\n", "\t");
}

// Texts by slot; a slot not named is free.
using TListe = std::map<int, QByteArray>;

// The twelve chunks as the list editor builds them, slot 0 first in chunk 1.
QList<QByteArray> editorTeile(const TListe &liste)
{
    QList<QByteArray> teile;
    for (int k = 1; k <= 12; ++k) {
        QByteArray teil;
        for (int i = k == 1 ? 0 : 17 * (k - 1) + 1; i <= qMin(17 * k, 199); ++i) {
            const auto it = liste.find(i);
            teil += FormatDec(i, 2) + '\t' + StrToHexDump(it != liste.end() ? it->second : freiesProgramm()) + '\t';
        }
        teile << teil;
    }
    return teile;
}

// The chunks as the link should hand a read list back: programs 1 to 199, free ones empty.
QByteArray erwarteteTeile(const TListe &liste)
{
    QByteArray alle;
    for (int i = 1; i <= 199; ++i) {
        const auto it = liste.find(i);
        alle += FormatDec(i, 2) + '\t' + (it != liste.end() ? StrToHexDump(it->second) : QByteArray()) + '\t';
    }
    return alle;
}

// What the editor got, without the watchdog restarts and the name list.
QStringList ablauf(const QStringList &signale)
{
    QStringList out;
    for (const QString &s : signale) {
        if (s.startsWith(QLatin1String("Teil:")))
            out << s.section(u':', 0, 1);
        else if (s.startsWith(QLatin1String("Fortschritt:")) || s.startsWith(QLatin1String("Antwort:")))
            out << s;
    }
    return out;
}

QList<QByteArray> chunks(const QStringList &signale)
{
    QList<QByteArray> out;
    for (const QString &s : signale)
        if (s.startsWith(QLatin1String("Teil:")))
            out << s.section(u':', 2).toLatin1();
    return out;
}

QList<QByteArray> bprg(const TXqSim &sim)
{
    QList<QByteArray> out;
    for (const TXqSimFrame &f : sim.framesOf("BPRG"))
        out << f.params;
    return out;
}

QList<QByteArray> nummern(const TXqSim &sim)
{
    QList<QByteArray> out;
    for (const QByteArray &p : bprg(sim))
        out << (p.startsWith("DELETE") ? p : p.left(4));
    return out;
}

QByteArray hex4(int nr)
{
    return FormatHex(nr, 4);
}

QByteArray loeschen(int nr)
{
    return "DELETE\t" + hex4(nr);
}

// The end of a read-all: 200, the chunks in order, 200 once more.
QStringList leseEnde()
{
    QStringList out{"Fortschritt:200"};
    for (int k = 1; k <= 12; ++k)
        out << QStringLiteral("Teil:%1").arg(k < 12 ? k : 0);
    out << QStringLiteral("Fortschritt:200");
    return out;
}

} // namespace

class tst_Listenuebertragung : public TLinkTest
{
    Q_OBJECT
private slots:
    void lesen_data();
    void lesen();
    void schreibenBeginnt_data();
    void schreibenBeginnt();
    void schreibenNakWiederholt();
    void nakGibtAuf_data();
    void nakGibtAuf();
    void lesenNakWiederholt();
    void schreibenSpaeteQuittung();
    void lesenMarkeImNamen();
    void abbrechenLesen_data();
    void abbrechenLesen();
    void abbrechenTeile_data();
    void abbrechenTeile();
    void falscheNummer_data();
    void falscheNummer();
    void falschesFormatStockt();
    void stummGibtAuf();
    void loeschen100();
    void volleListeHinUndZurueck();

private:
    void steuerung(const TListe &liste)
    {
        a->sim.controller().clearPrograms();
        for (const auto &[nr, text] : liste)
            a->sim.controller().setProgram(nr, text);
    }
    void schreiben(const TListe &liste)
    {
        const QList<QByteArray> teile = editorTeile(liste);
        for (int k = 0; k < 12; ++k)
            a->reihe(Befehl(QByteArray("SB_RecRest") + FormatDec(k + 1, 2)), teile[k]);
        a->reihe(SB_RecRest, "0");
    }
    // The transfer is over, every answer acknowledged, nothing left to do.
    bool fertig() const
    {
        return !a->link->UebertragungAktiv() && a->ruhig() && a->sim.count("TRX ") == a->sim.answersSent().size();
    }
    // Cancels from inside the stand-in the moment it reads the `n`-th program request.
    void abbrechenBeiAnfrage(int n)
    {
        connect(&a->sim, &TXqSim::frameReceived, this, [this, n](const TXqSimFrame &f) {
            if (f.word == "BPRG" && a->sim.count("BPRG") == n)
                a->link->UebertragungAbbrechen();
        });
    }
};

void tst_Listenuebertragung::lesen_data()
{
    QTest::addColumn<QList<int>>("belegt");
    QTest::addColumn<QList<int>>("frei");   // named in the list, with the free name
    QTest::newRow("nur 199") << QList<int>{199} << QList<int>{};
    QTest::newRow("keins") << QList<int>{} << QList<int>{};
    QTest::newRow("verstreut") << QList<int>{1, 5, 6, 12, 13, 18, 100, 188, 198, 199} << QList<int>{2, 50};
}

void tst_Listenuebertragung::lesen()
{
    QFETCH(QList<int>, belegt);
    QFETCH(QList<int>, frei);
    TListe liste;
    for (int nr : belegt)
        liste[nr] = programm(nr);
    steuerung(liste);
    for (int nr : frei)
        a->sim.controller().setProgram(nr, TXqSimController::demoProgramText("frei free libre", 0, 0, 0));

    a->reihe(SB_RecSave, "0");
    QVERIFY(a->link->UebertragungAktiv());
    QVERIFY(Abwarten([&] { return fertig(); }));

    // Only the used programs are asked for, in order, each once.
    QList<QByteArray> gefragt;
    for (int nr : belegt)
        gefragt << hex4(nr);
    QCOMPARE(bprg(a->sim), gefragt);
    // Progress at the programs divisible by 6; 200 frees the editor before the chunks come.
    QStringList erwartet;
    for (int nr : belegt)
        if (nr % 6 == 0)
            erwartet << QStringLiteral("Fortschritt:%1").arg(nr);
    erwartet << leseEnde();
    QCOMPARE(ablauf(a->signale), erwartet);
    QCOMPARE(a->signale.filter(QStringLiteral("Namen:0:")).size(), 1);

    const QList<QByteArray> teile = chunks(a->signale);
    QCOMPARE(teile.join(), erwarteteTeile(liste));
    for (int k = 0; k < 12; ++k)
        QCOMPARE(teile[k].count('\t'), k < 11 ? 2 * 17 : 2 * 12);
    QVERIFY(teile.first().startsWith("01\t"));
    QVERIFY(teile.last().startsWith("188\t"));
    QVERIFY(teile.last().endsWith("199\t" + StrToHexDump(liste[199]) + '\t'));
    QCOMPARE(a->host.fehler, QStringList());
    QCOMPARE(a->host.meldungen, QStringList());
    QVERIFY(!a->link->AlleLesen);
    QVERIFY(a->link->AktNr == 0);
}

void tst_Listenuebertragung::schreibenBeginnt_data()
{
    QTest::addColumn<bool>("ersterFrei");
    QTest::newRow("mit Loeschen") << true;
    QTest::newRow("mit Schreiben") << false;
}

void tst_Listenuebertragung::schreibenBeginnt()
{
    QFETCH(bool, ersterFrei);
    steuerung({{1, programm(91)}, {2, programm(92)}, {3, programm(93)}});
    // Slot 0 carries a program in the editor's first chunk; it changes nothing.
    TListe liste{{0, programm(70)}, {2, programm(2)}};
    if (!ersterFrei)
        liste[1] = programm(1);
    // The third request is in flight when the editor cancels.
    abbrechenBeiAnfrage(3);
    schreiben(liste);
    QVERIFY(Abwarten([&] { return fertig(); }));

    const QByteArray erste = ersterFrei ? loeschen(1) : "0001\t" + mitTabs(programm(1));
    QCOMPARE(bprg(a->sim), (QList<QByteArray>{erste, "0002\t" + mitTabs(programm(2)), loeschen(3)}));
    // Each after the acknowledgement of the one before.
    QCOMPARE(Woerter(a->sim), (QStringList{"BPRG", "TRX ACK", "BPRG", "TRX ACK", "BPRG", "TRX ACK"}));
    QCOMPARE(a->sim.controller().hasProgram(1), !ersterFrei);
    QCOMPARE(a->sim.controller().program(2), programm(2));
    // The acknowledgement of the cancelled write reaches nobody: one end, no success box.
    QCOMPARE(ablauf(a->signale), QStringList{QStringLiteral("Fortschritt:200")});
    QVERIFY(a->link->Abgebrochen);
    QCOMPARE(a->enden.last(), QStringLiteral("BPRG:Beantwortet"));
    QCOMPARE(a->host.fehler, QStringList());
    QCOMPARE(a->link->PrgNamen[0], BPrgFreiName.toByteArray());
}

void tst_Listenuebertragung::schreibenNakWiederholt()
{
    // A refusal ahead of the first TAB passes the answer check and comes to the transfer.
    a->sim.addFault("BPRG", "0002", TXqSimFault::raw(xqsim::BuildFrame(QByteArray("bprg\x15\t")) + '\n'));
    abbrechenBeiAnfrage(4);
    schreiben({{1, programm(1)}, {2, programm(2)}, {3, programm(3)}});
    QVERIFY(Abwarten([&] { return fertig(); }));
    QCOMPARE(nummern(a->sim), (QList<QByteArray>{"0001", "0002", "0002", "0003"}));
    // Asked again without a box: the refusal goes to the error list.
    QCOMPARE(a->host.meldungen, QStringList());
    QCOMPARE(a->host.fehler, QStringList{kNakZeile});
    // The file lines end without the text's last TAB.
    const QString zwei = QString::fromLatin1("BPRG0002\t" + mitTabs(programm(2)).trimmed());
    QCOMPARE(Fehlerdatei().mid(1), (QStringList{"ERROR_1:" + zwei, "RETRY_1:" + zwei}));
    QCOMPARE(ablauf(a->signale), QStringList{QStringLiteral("Fortschritt:200")});
}

void tst_Listenuebertragung::nakGibtAuf_data()
{
    QTest::addColumn<bool>("lesen");
    QTest::newRow("Liste senden") << false;
    QTest::newRow("Liste empfangen") << true;
}

void tst_Listenuebertragung::nakGibtAuf()
{
    QFETCH(bool, lesen);
    // Refused ahead of the first TAB every time: three asks, then one box that says the
    // list transfer stopped.
    a->sim.addFault("BPRG", "0002", TXqSimFault::raw(xqsim::BuildFrame(QByteArray("bprg\x15\t")) + '\n'), -1);
    if (lesen) {
        steuerung({{2, programm(2)}, {3, programm(3)}});
        a->reihe(SB_RecSave, "0");
    } else {
        schreiben({{1, programm(1)}, {2, programm(2)}, {3, programm(3)}});
    }
    QVERIFY(Abwarten([&] { return fertig(); }));
    QList<QByteArray> erwartet{"0002", "0002", "0002"};
    if (!lesen)
        erwartet.prepend("0001");
    QCOMPARE(nummern(a->sim), erwartet);
    QCOMPARE(a->host.meldungen,
             QStringList{QStringLiteral("Backprogramm kann\r\nnicht geöffnet werden!\r\nListenübertragung abgebrochen!")});
    QCOMPARE(a->host.fehler, (QStringList{kNakZeile, kNakZeile, kNakZeile, "Triedout-Error >3"}));
    QCOMPARE(ablauf(a->signale), QStringList{QStringLiteral("Fortschritt:200")});
}

void tst_Listenuebertragung::lesenNakWiederholt()
{
    // A refusal of a read is asked again, and the list comes whole.
    const TListe liste{{3, programm(3)}, {5, programm(5)}, {7, programm(7)}};
    steuerung(liste);
    a->sim.addFault("BPRG", "0005", TXqSimFault::raw(xqsim::BuildFrame(QByteArray("bprg\x15\t")) + '\n'));
    a->reihe(SB_RecSave, "0");
    QVERIFY(Abwarten([&] { return fertig(); }));
    QCOMPARE(bprg(a->sim), (QList<QByteArray>{"0003", "0005", "0005", "0007"}));
    QCOMPARE(chunks(a->signale).join(), erwarteteTeile(liste));
    QCOMPARE(a->host.meldungen, QStringList());
    QCOMPARE(a->host.fehler, QStringList{kNakZeile});
}

void tst_Listenuebertragung::schreibenSpaeteQuittung()
{
    // Program 2 is acknowledged only after its repeat went out; program 3 is refused. The
    // link cannot tell whose acknowledgement came: it stops at the answer it did not await and
    // says which programs are not confirmed.
    a->sim.addFault("BPRG", "0003", TXqSimFault::of(TXqSimFault::Refuse), -1);
    a->beiEnde = [this](const NeuerBefehl &b, TwXQXOfen::TBefehlsEnde) {
        if (b.Param.startsWith("0001")) {
            SetTimeScale(kSchnell);
            a->sim.setAnswersHeld(true);
        }
    };
    // The repeat at the program's timing; its frame lets both answers go.
    a->host.beiFehler = [](const QString &t) {
        if (t.endsWith(QLatin1String("TIMEOUT - no answer!")))
            SetTimeScale(kProgrammZeit);
    };
    connect(&a->sim, &TXqSim::frameReceived, this, [this](const TXqSimFrame &f) {
        if (f.word == "BPRG" && f.params.startsWith("0002") && a->sim.framesOf("BPRG").size() == 3)
            a->sim.setAnswersHeld(false);
    });
    schreiben({{1, programm(1)}, {2, programm(2)}, {3, programm(3)}, {4, programm(4)}});
    QVERIFY(Abwarten([&] { return fertig(); }));
    SetTimeScale(kProgrammZeit);
    const QList<QByteArray> gesendet = nummern(a->sim);
    QCOMPARE(gesendet.first(3), (QList<QByteArray>{"0001", "0002", "0002"}));
    QVERIFY2(!gesendet.contains("0004"), gesendet.join(' ').constData());
    QCOMPARE(a->host.meldungen, QStringList{QStringLiteral("Nicht jedes Backprogramm hat\r\nden Ofen erreicht!\r\n"
                                                           "Listenübertragung abgebrochen!\r\nNicht bestätigt: "
                                                           "Programm 2 bis 199")});
    QVERIFY(a->host.fehler.contains(QStringLiteral("Liste senden abgebrochen: Antwort nicht erwartet")));
    // One end, and it never reached the last program.
    QCOMPARE(ablauf(a->signale), QStringList{QStringLiteral("Fortschritt:200")});
    QVERIFY(!a->link->Abgebrochen);
}

void tst_Listenuebertragung::lesenMarkeImNamen()
{
    // Names that read like the text form's markers are data: the list comes whole.
    TListe liste;
    const QList<QByteArray> namen{"##/BODY", "##BODY", "##HEAD", "##/HEAD"};
    for (int i = 0; i < namen.size(); ++i)
        liste[2 * i + 1] = TXqSimController::demoProgramText(namen[i], 200, 600, 0);
    steuerung(liste);
    a->reihe(SB_RecSave, "0");
    QVERIFY(Abwarten([&] { return fertig(); }));
    QCOMPARE(chunks(a->signale).join(), erwarteteTeile(liste));
    QCOMPARE(a->host.fehler, QStringList());
}

void tst_Listenuebertragung::abbrechenLesen_data()
{
    QTest::addColumn<bool>("queueWort");
    QTest::newRow("sofort") << false;
    QTest::newRow("als Queue-Wort") << true;
}

void tst_Listenuebertragung::abbrechenLesen()
{
    QFETCH(bool, queueWort);
    steuerung({{2, programm(2)}, {5, programm(5)}, {9, programm(9)}});
    // The answer of program 5 is held back, so the cancel meets it on the wire.
    a->sim.addFault("BPRG", "0005", TXqSimFault::delay(300));
    connect(&a->sim, &TXqSim::frameReceived, this, [this, queueWort](const TXqSimFrame &f) {
        if (f.word != "BPRG" || f.params != "0005")
            return;
        if (queueWort)
            a->reihe(SB_RSCancel);
        else
            a->link->UebertragungAbbrechen();
    });
    a->reihe(SB_RecSave, "0");
    QVERIFY(Abwarten([&] { return a->sim.count("BPRG") == 2 && fertig(); }));
    // Program 9 is never asked for; no chunk and no program reaches the editor.
    QCOMPARE(bprg(a->sim), (QList<QByteArray>{"0002", "0005"}));
    QCOMPARE(ablauf(a->signale), QStringList{QStringLiteral("Fortschritt:200")});
    QCOMPARE(a->enden, (QStringList{"BPL2:Beantwortet", "BPRG:Beantwortet", "BPRG:Beantwortet"}));
    QCOMPARE(a->sim.acknowledgements('\x06'), 3);
    QCOMPARE(a->host.fehler, QStringList());
    QVERIFY(a->link->Abgebrochen);
}

void tst_Listenuebertragung::abbrechenTeile_data()
{
    QTest::addColumn<bool>("queueWort");
    QTest::newRow("sofort") << false;
    // Queued behind the editor's lines it comes after the start; the first request it drops.
    QTest::newRow("als Queue-Wort") << true;
}

void tst_Listenuebertragung::abbrechenTeile()
{
    QFETCH(bool, queueWort);
    if (queueWort) {
        schreiben({{1, programm(1)}});
        a->reihe(SB_RSCancel);
        QVERIFY(Abwarten([&] { return a->link->MakroZeilen().isEmpty(); }));
    } else {
        // Three chunks loaded, then the editor's other lines queued and cancelled at once.
        const QList<QByteArray> teile = editorTeile({{1, programm(1)}});
        for (int k = 1; k <= 12; ++k) {
            a->reihe(Befehl(QByteArray("SB_RecRest") + FormatDec(k, 2)), teile[k - 1]);
            if (k == 3)
                QVERIFY(Abwarten([&] { return a->link->MakroZeilen().isEmpty(); }));
        }
        a->reihe(SB_RecRest, "0");
        QCOMPARE(a->link->MakroZeilen().size(), 10);
        QVERIFY(a->link->UebertragungAktiv());
        QVERIFY(!a->link->UebertragungLaeuft);
        a->link->UebertragungAbbrechen();
        QVERIFY(a->link->MakroZeilen().isEmpty());
    }
    QVERIFY(!a->link->UebertragungAktiv());
    QCOMPARE(ablauf(a->signale), QStringList{QStringLiteral("Fortschritt:200")});
    // A command queued afterwards goes out alone: nothing of the transfer is left.
    a->reihe(SB_PING);
    QVERIFY(Abwarten([&] { return a->enden.contains(QStringLiteral("PING:Beantwortet")) && fertig(); }));
    QCOMPARE(Woerter(a->sim), (QStringList{"PING", "TRX ACK"}));
    QCOMPARE(ablauf(a->signale), QStringList{QStringLiteral("Fortschritt:200")});
    // Cancelling again when nothing runs reports nothing.
    a->link->UebertragungAbbrechen();
    QCOMPARE(a->signale.filter(QStringLiteral("Fortschritt")).size(), 1);
}

void tst_Listenuebertragung::falscheNummer_data()
{
    QTest::addColumn<int>("nummer");
    QTest::addColumn<int>("mal");
    QTest::newRow("einmal die naechste") << 6 << 1;
    QTest::newRow("einmal 200") << 200 << 1;
    QTest::newRow("einmal 4660") << 0x1234 << 1;
    QTest::newRow("immer") << 6 << -1;
}

void tst_Listenuebertragung::falscheNummer()
{
    QFETCH(int, nummer);
    QFETCH(int, mal);
    const TListe liste{{3, programm(3)}, {5, programm(5)}, {6, programm(6)}, {7, programm(7)}};
    steuerung(liste);
    a->sim.addFault("BPRG", "0005", TXqSimFault::wrongNumber(nummer), mal);
    a->reihe(SB_RecSave, "0");
    QVERIFY(Abwarten([&] { return fertig(); }));

    const QString falsch = "127.0.0.2_BPRG: Falsche PrgNummer " + QString::fromLatin1(hex4(nummer));
    const QString versuch = QStringLiteral("%1:BPRG0005");
    if (mal == 1) {
        // Asked again once, then on as if nothing happened; the wrong text went nowhere.
        QCOMPARE(bprg(a->sim), (QList<QByteArray>{"0003", "0005", "0005", "0006", "0007"}));
        QCOMPARE(chunks(a->signale).join(), erwarteteTeile(liste));
        QCOMPARE(ablauf(a->signale), QStringList{"Fortschritt:6"} + leseEnde());
        QCOMPARE(a->host.fehler, QStringList{falsch});
        QCOMPARE(a->host.meldungen, QStringList());
        QCOMPARE(Fehlerdatei().mid(1), (QStringList{"ERROR_" + versuch.arg(1), "RETRY_" + versuch.arg(1)}));
        return;
    }
    // Three asks in all, then given up like any command: one box, its lines, one end.
    QCOMPARE(bprg(a->sim), (QList<QByteArray>{"0003", "0005", "0005", "0005"}));
    QCOMPARE(ablauf(a->signale), QStringList{QStringLiteral("Fortschritt:200")});
    QCOMPARE(a->host.meldungen, QStringList{falsch});
    QCOMPARE(a->host.fehler, (QStringList{falsch, falsch, falsch, "Triedout-Error >3"}));
    QCOMPARE(Fehlerdatei().mid(1), (QStringList{"ERROR_" + versuch.arg(1), "RETRY_" + versuch.arg(1), "ERROR_" + versuch.arg(2),
                                         "RETRY_" + versuch.arg(2), "Triedout-Error >3:BPRG0005"}));
}

void tst_Listenuebertragung::falschesFormatStockt()
{
    steuerung({{3, programm(3)}, {5, programm(5)}, {7, programm(7)}});
    a->sim.addFault("BPRG", "0005", TXqSimFault::raw(xqsim::BuildFrame("BPRG0005\t##HEAD\tNAME =Kaputt\t") + '\n'));
    a->reihe(SB_RecSave, "0");
    QVERIFY(Abwarten([&] { return a->sim.count("TRX ") == 3 && a->ruhig(); }));
    // Stored nothing, asked for nothing: it stands until the editor's watchdog ends it.
    QCOMPARE(bprg(a->sim), (QList<QByteArray>{"0003", "0005"}));
    QCOMPARE(a->host.fehler, QStringList{QStringLiteral("Falsches PrgFormat")});
    QVERIFY(a->link->UebertragungAktiv());
    QCOMPARE(ablauf(a->signale), QStringList());
    a->link->UebertragungAbbrechen();
    QVERIFY(!a->link->UebertragungAktiv());
    QCOMPARE(ablauf(a->signale), QStringList{QStringLiteral("Fortschritt:200")});
    QCOMPARE(a->enden, (QStringList{"BPL2:Beantwortet", "BPRG:Beantwortet", "BPRG:Beantwortet"}));
}

void tst_Listenuebertragung::stummGibtAuf()
{
    steuerung({{5, programm(5)}, {8, programm(8)}});
    a->sim.addFault("BPRG", "0005", TXqSimFault::of(TXqSimFault::Silence), -1);
    // The name list at the program's timing, the time-outs of program 5 fast.
    a->beiEnde = [](const NeuerBefehl &b, TwXQXOfen::TBefehlsEnde) {
        if (b.Name == SB_BPL2.Name)
            SetTimeScale(kSchnell);
    };
    a->reihe(SB_RecSave, "0");
    QVERIFY(Abwarten([&] { return a->enden.contains(QStringLiteral("BPRG:Aufgegeben")) && fertig(); }));
    SetTimeScale(kProgrammZeit);
    QCOMPARE(bprg(a->sim), (QList<QByteArray>{"0005", "0005", "0005"}));
    QCOMPARE(a->host.meldungen, QStringList{QStringLiteral("127.0.0.2_BPRG: TIMEOUT - no answer!")});
    QCOMPARE(Fehlerdatei().last(), QStringLiteral("Triedout-Error >3:BPRG0005"));
    QCOMPARE(ablauf(a->signale), QStringList{QStringLiteral("Fortschritt:200")});
    QCOMPARE(a->enden, (QStringList{"BPL2:Beantwortet", "BPRG:Aufgegeben"}));
}

void tst_Listenuebertragung::loeschen100()
{
    steuerung({{100, programm(100)}, {101, programm(101)}});
    a->sim.addFault("BPRG", loeschen(100), TXqSimFault::of(TXqSimFault::Refuse), -1);
    schreiben({});
    QVERIFY(Abwarten([&] { return fertig(); }));
    QList<QByteArray> erwartet;
    for (int nr = 1; nr <= 99; ++nr)
        erwartet << loeschen(nr);
    for (int i = 0; i < 5; ++i)
        erwartet << loeschen(100);
    QCOMPARE(bprg(a->sim), erwartet);
    // Given up like any command: a box and a line in the error file, and one end.
    QCOMPARE(a->host.meldungen, QStringList{QStringLiteral("127.0.0.2_BPRG: ")});
    QCOMPARE(a->host.fehler.last(), QStringLiteral("Delete100"));
    QCOMPARE(Fehlerdatei().mid(1), QStringList{QStringLiteral("Delete100:BPRGDELETE\t0064")});
    QStringList fortschritt;
    for (int nr = 6; nr <= 96; nr += 6)
        fortschritt << QStringLiteral("Fortschritt:%1").arg(nr);
    QCOMPARE(ablauf(a->signale), fortschritt << QStringLiteral("Fortschritt:200"));
    QCOMPARE(a->enden.last(), QStringLiteral("BPRG:Verweigert"));
    QVERIFY(a->sim.controller().hasProgram(101));
}

void tst_Listenuebertragung::volleListeHinUndZurueck()
{
    TListe liste;
    for (int nr = 1; nr <= 199; ++nr)
        liste[nr] = vollesProgramm(nr);
    liste[0] = vollesProgramm(0);
    const QList<QByteArray> teile = editorTeile(liste);
    for (const QByteArray &teil : teile.first(11))
        QVERIFY2(teil.size() > 32766, QByteArray::number(teil.size()).constData());

    schreiben(liste);
    QVERIFY(Abwarten([&] { return fertig(); }));
    // 199 programs in order, each after the one before was acknowledged.
    QCOMPARE(a->sim.count("BPRG"), 199);
    QCOMPARE(a->sim.acknowledgements('\x06'), 199);
    for (int nr = 1; nr <= 199; ++nr)
        QCOMPARE(a->sim.controller().program(nr), liste[nr]);
    QStringList fortschritt;
    for (int nr = 6; nr <= 198; nr += 6)
        fortschritt << QStringLiteral("Fortschritt:%1").arg(nr);
    fortschritt << QStringLiteral("Fortschritt:200") << QStringLiteral("Fortschritt:200");
    QCOMPARE(ablauf(a->signale), fortschritt);
    QCOMPARE(a->link->PrgDaten[7].Name.text(), QByteArray("Vollkorn Spezial 7"));

    a->signale.clear();
    liste.erase(0);
    a->reihe(SB_RecSave, "0");
    QVERIFY(Abwarten([&] { return fertig(); }));
    const QList<QByteArray> zurueck = chunks(a->signale);
    QCOMPARE(zurueck.size(), 12);
    QVERIFY(zurueck.first().size() > 32766);
    QCOMPARE(zurueck.join(), erwarteteTeile(liste));
    QCOMPARE(ablauf(a->signale), fortschritt.first(fortschritt.size() - 2) + leseEnde());
    QCOMPARE(a->host.fehler, QStringList());
}

QTEST_MAIN(tst_Listenuebertragung)
#include "tst_Listenuebertragung.moc"

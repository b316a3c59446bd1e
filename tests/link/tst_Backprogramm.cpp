#include "app/Dateischreiben.h"
#include "support/TestUmgebung.h"
#include "link/uXQXKonstanten.h"

#include <QtTest>
#include <memory>

namespace {

quint32 le32(const QByteArray &b, int off) { return qFromLittleEndian<quint32>(b.constData() + off); }

QByteArray randomBytes(QRandomGenerator &rng, qsizetype n)
{
    QByteArray b(n, Qt::Uninitialized);
    for (char &c : b)
        c = char(rng.bounded(256));
    return b;
}

// The list is large; keep it off the stack.
std::unique_ptr<TBackprogrammListe> newList()
{
    auto l = std::make_unique<TBackprogrammListe>();
    for (TBackprogramm &r : *l)
        InitBPrgRecord(r);
    return l;
}

// Old-layout blocks of random bytes with lengths 0..20: in the current layout each is the
// same bytes with a SollKT of 0 put in at offset 33.
QByteArray oldBlocks(int count)
{
    QRandomGenerator rng(7);
    QByteArray file = randomBytes(rng, count * BPrgAltRecordGroesse);
    for (int i = 0; i < count; ++i)
        for (int off : {0, 37, 58})
            file[i * BPrgAltRecordGroesse + off] = char(rng.bounded(21));
    return file;
}

void checkOldSlots(const TBackprogrammListe &liste, const QByteArray &file, int count)
{
    for (int i = 0; i < count; ++i) {
        const QByteArray block = file.mid(i * BPrgAltRecordGroesse, BPrgAltRecordGroesse);
        QCOMPARE(BPrgRecordToBytes(liste[size_t(i)]), block.left(33) + QByteArray(4, '\0') + block.mid(33));
    }
}

} // namespace

class TstBackprogramm : public QObject
{
    Q_OBJECT
private slots:
    void cleanup() { SetWriteFailureAfterBytes(-1); }

    void everyFieldAtItsOffset()
    {
        TBackprogramm r;
        r.Name.setText("Roggenbrot");
        r.Name.Zeichen[19] = 'J'; // junk behind the length is kept
        r.Nummer = -7, r.Menge = 0x01020304, r.Prio = 0x05060708, r.SollKT = 0x090A0B0C, r.Vorschwaden = -16;
        r.Steuerung.setText("XQ7310");
        r.PrgVersion.setText("1.23");
        for (int p = 0; p < 11; ++p) {
            TBackPhase &ph = r.Phasen[size_t(p)];
            const quint32 base = quint32(p + 1) << 24;
            ph.Temperatur = qint32(base | 1);
            ph.Reserve4 = quint8(p * 16 + 2), ph.Umwaelzer = quint8(p * 16 + 3), ph.Luft = quint8(p * 16 + 4);
            ph.Reserve7 = quint8(p * 16 + 5), ph.Ausgang = quint8(p * 16 + 6), ph.AbzugProzent = quint8(p * 16 + 7);
            ph.Backzeit = base | 8, ph.Schwaden = base | 9, ph.UmwaelzerZeit = base | 10, ph.LuftZeit = base | 11;
            ph.Reserve26 = base | 12, ph.AusgangZeit = base | 13, ph.AbzugZeit = base | 14;
        }
        const QByteArray b = BPrgRecordToBytes(r);
        QCOMPARE(b.size(), 501);
        QCOMPARE(b.left(11), QByteArray("\x0ARoggenbrot"));
        QCOMPARE(b[20], 'J');
        QCOMPARE(b.mid(21, 20), QByteArray::fromHex("f9ffffff04030201080706050c0b0a09f0ffffff"));
        QCOMPARE(b.mid(41, 7), QByteArray("\x06XQ7310"));
        QCOMPARE(b.mid(62, 5), QByteArray("\x04" "1.23"));
        for (int p = 0; p < 11; ++p) {
            const int o = 83 + 38 * p;
            const quint32 base = quint32(p + 1) << 24;
            QCOMPARE(le32(b, o), base | 1);
            for (int k = 0; k < 6; ++k)
                QCOMPARE(quint8(b[o + 4 + k]), quint8(p * 16 + 2 + k));
            for (int k = 0; k < 7; ++k)
                QCOMPARE(le32(b, o + 10 + 4 * k), base | quint32(8 + k));
        }
        TBackprogramm back;
        QVERIFY(BPrgRecordFromBytes(b, back));
        QCOMPARE(back, r);

        InitBPrgRecord(back);
        const QByteArray e = BPrgRecordToBytes(back);
        QCOMPARE(e.left(41), "\x14" + BPrgFreiName.toByteArray() + QByteArray::fromHex("ffffffff") + QByteArray(16, '\0'));
        // lengths 0, characters kept
        QVERIFY(e[41] == 0);
        QVERIFY(e[62] == 0);
        QVERIFY(e.mid(42, 6) == "XQ7310");
        QCOMPARE(e.mid(83), QByteArray(418, '\0'));
    }

    void listFileRoundTripsByteForByte()
    {
        TTestUmgebung env;
        QRandomGenerator rng(42);
        // Any byte pattern is a list: junk behind lengths, lengths above 20, reserved bytes;
        // 100 bytes past 200 blocks are still the new layout and ignored.
        const QByteArray file = randomBytes(rng, 100300);
        QVERIFY(dateiSchreiben(env.path("a.XQR"), file));
        auto liste = newList();
        QVERIFY(BPrgListeLesen(env.path("a.XQR"), *liste));
        QVERIFY(BPrgListeSpeichern(env.path("b.XQR"), *liste));
        QCOMPARE(dateiLesen(env.path("b.XQR")), file.left(100200));

        (*liste)[3].Menge = 4;
        QVERIFY(!BPrgListeLesen(QString(), *liste)); // empty name: names emptied, nothing else, no box
        QVERIFY(env.dialoge().boxes().isEmpty());
        QVERIFY((*liste)[3].Name.Laenge == 0);
        QVERIFY((*liste)[199].Name.Laenge == 0);
        QVERIFY((*liste)[3].Menge == 4);
        env.dialoge().expectBox(QMessageBox::Ok);
        QVERIFY(!BPrgListeLesen(env.path("fehlt.XQR"), *liste));
        QCOMPARE(env.dialoge().boxes().value(0).caption + env.dialoge().boxes().value(0).text, QStringLiteral("FehlerSpeicherfehler"));
    }

    void oldLayoutFiles()
    {
        TTestUmgebung env;
        const QByteArray file = oldBlocks(200);
        QCOMPARE(file.size(), 99400);
        QVERIFY(dateiSchreiben(env.path("alt.XQR"), file));
        auto liste = newList();
        (*liste)[5].SollKT = 77;
        QVERIFY(BPrgListeLesen(env.path("alt.XQR"), *liste));
        checkOldSlots(*liste, file, 200);

        // 30 blocks and part of one more: slots 30..199 become free slots.
        QVERIFY(dateiSchreiben(env.path("kurz.XQR"), file.left(31 * BPrgAltRecordGroesse - 1)));
        QVERIFY(BPrgListeLesen(env.path("kurz.XQR"), *liste));
        checkOldSlots(*liste, file, 30);
        for (int i = 30; i < 200; ++i) { // already empty records: emptying changes nothing
            TBackprogramm frei = (*liste)[size_t(i)];
            InitBPrgRecord(frei);
            QCOMPARE((*liste)[size_t(i)], frei);
        }
    }

    // Written in place, a failure part-way left a short file that read back as an old-layout list.
    void failedSaveKeepsOldFile()
    {
        TTestUmgebung env;
        auto liste = newList();
        const QString path = env.path("liste.XQR");
        QVERIFY(BPrgListeSpeichern(path, *liste));
        const QByteArray old = dateiLesen(path);

        (*liste)[1].Name.setText("Neu");
        SetWriteFailureAfterBytes(50000);
        for (auto answer : {QMessageBox::Ok, QMessageBox::Yes, QMessageBox::Ok, QMessageBox::No})
            env.dialoge().expectBox(answer); // the retry fails as well
        QVERIFY(!BPrgListeSpeichern(path, *liste));
        QVERIFY(env.dialoge().allAnswersUsed());
        const auto &boxes = env.dialoge().boxes();
        QCOMPARE(boxes.size(), 4);
        QCOMPARE(boxes[0].caption + boxes[0].text, QStringLiteral("ERRORSpeicherfehler"));
        QCOMPARE(boxes[1].caption + boxes[1].text, QStringLiteral("FRAGESpeichern erneut versuchen?"));
        QCOMPARE(boxes[1].buttons, QMessageBox::Yes | QMessageBox::No);
        QCOMPARE(dateiLesen(path), old);
    }

    // The sanitizer cannot see a read that stays inside the record, so the 20 is asserted.
    void lengthByteAbove20NeverReadsPast()
    {
        QByteArray block(501, 'x');
        block[0] = block[41] = block[62] = char(255);
        TBackprogramm r;
        QVERIFY(BPrgRecordFromBytes(block, r));
        for (const TString20 *s : {&r.Name, &r.Steuerung, &r.PrgVersion}) {
            QVERIFY(s->Laenge == 255);
            QVERIFY(s->text() == QByteArray(20, 'x'));
        }
        QCOMPARE(BPrgRecordToBytes(r), block);
        const QByteArray text = BPrgTextSchreiben(r, true);
        for (const char *key : {"NAME =", "STEUERUNG =", "VERSION ="})
            QVERIFY(text.contains("\r\n" + QByteArray(key) + QByteArray(20, 'x') + "\r\n"));

        QByteArray alt(497, 'y');
        alt[0] = alt[37] = alt[58] = char(255);
        TBackprogrammAlt a;
        QVERIFY(BPrgAltRecordFromBytes(alt, a));
        const TBackprogramm n = BPrgAltZuNeu(a);
        for (const TString20 *s : {&n.Name, &n.Steuerung, &n.PrgVersion}) {
            QVERIFY(s->Laenge == 20);
            QVERIFY(s->text() == QByteArray(20, 'y'));
        }
    }

    // An empty view has no data pointer; copying "nothing" from it was undefined behaviour.
    void emptyNameKeepsTheBytesBehind()
    {
        TString20 s;
        s.setText("Roggenbrot");
        s.setText(QByteArrayView());
        QCOMPARE(s.Laenge, quint8(0));
        QCOMPARE(QByteArray(s.Zeichen.data(), 10), QByteArray("Roggenbrot"));
        s.setText(QByteArray());
        QCOMPARE(s.text(), QByteArray());
    }

    void fuzzListFiles()
    {
        TTestUmgebung env;
        QRandomGenerator rng(20240601);
        auto liste = newList();
        const QString path = env.path("fuzz.XQR");
        const int sizes[] = {0, 1, 496, 497, 99399, 99400, 100199, 100700, 100701};
        int kurze = 0;
        for (int i = 0; i < 300; ++i) {
            const int size = i < 9 ? sizes[i] : int(rng.bounded(110000));
            QVERIFY(dateiSchreiben(path, randomBytes(rng, size)));
            // Less than one block is refused with one box, the list left as it was.
            const bool ganz = size >= BPrgAltRecordGroesse;
            const auto vorher = std::make_unique<TBackprogrammListe>(*liste);
            if (!ganz) {
                env.dialoge().expectBox(QMessageBox::Ok);
                ++kurze;
            }
            QCOMPARE(BPrgListeLesen(path, *liste), ganz);
            if (!ganz)
                QVERIFY(*liste == *vorher);
            for (const TBackprogramm &r : *liste) {
                QVERIFY(r.Name.text().size() <= 20);
                QVERIFY(r.Steuerung.text().size() <= 20);
                QVERIFY(r.PrgVersion.text().size() <= 20);
            }
        }
        QCOMPARE(env.dialoge().boxes().size(), kurze);
        for (const TBoxRequest &b : env.dialoge().boxes())
            QCOMPARE(b.caption + b.text, QStringLiteral("ERRORLadefehler"));
    }
};

QTEST_MAIN(TstBackprogramm)
#include "tst_Backprogramm.moc"

#include "Dateischreiben.h"
#include "TestUmgebung.h"
#include "uXQXKonstanten.h"

#include <QFile>
#include <QRandomGenerator>
#include <QtEndian>
#include <QtTest>
#include <memory>

namespace {

quint32 le32(const QByteArray &b, int off) { return qFromLittleEndian<quint32>(b.constData() + off); }
void put32(QByteArray &b, int off, quint32 v) { qToLittleEndian<quint32>(v, b.data() + off); }

QByteArray randomBytes(QRandomGenerator &rng, qsizetype n)
{
    QByteArray b(n, Qt::Uninitialized);
    for (qsizetype i = 0; i < n; ++i)
        b[i] = char(rng.bounded(256));
    return b;
}

QByteArray readAll(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

void writeAll(const QString &path, const QByteArray &data)
{
    QFile f(path);
    QVERIFY(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
    QCOMPARE(f.write(data), data.size());
}

// The list is large; keep it off the stack.
std::unique_ptr<TBackprogrammListe> newList()
{
    auto l = std::make_unique<TBackprogrammListe>();
    for (TBackprogramm &r : *l)
        InitBPrgRecord(r);
    return l;
}

// An old-layout block with recognisable fields; the phases are random bytes.
QByteArray oldBlock(QRandomGenerator &rng, int slot)
{
    QByteArray b = randomBytes(rng, BPrgAltRecordGroesse);
    b[0] = char(6);
    b.replace(1, 6, "Alt" + QByteArray::number(100 + slot));
    put32(b, 21, quint32(slot));
    put32(b, 25, quint32(1000 + slot));
    put32(b, 29, quint32(2000 + slot));
    put32(b, 33, quint32(3000 + slot));
    b[37] = char(4);
    b.replace(38, 4, "XQ73");
    b[58] = char(2);
    b.replace(59, 2, "V2");
    return b;
}

void checkOldSlot(const TBackprogramm &r, const QByteArray &block, int slot)
{
    QCOMPARE(r.Name.text(), "Alt" + QByteArray::number(100 + slot));
    QCOMPARE(r.Nummer, slot);
    QCOMPARE(r.Menge, 1000 + slot);
    QCOMPARE(r.Prio, 2000 + slot);
    QCOMPARE(r.SollKT, 0);
    QCOMPARE(r.Vorschwaden, 3000 + slot);
    QCOMPARE(r.Steuerung.text(), QByteArray("XQ73"));
    QCOMPARE(r.PrgVersion.text(), QByteArray("V2"));
    QCOMPARE(BPrgRecordToBytes(r).mid(83), block.mid(79));
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
        r.Nummer = -7;
        r.Menge = 0x01020304;
        r.Prio = 0x05060708;
        r.SollKT = 0x090A0B0C;
        r.Vorschwaden = -0x0D0E0F10;
        r.Steuerung.setText("XQ7310");
        r.PrgVersion.setText("1.23");
        for (int p = 0; p < 11; ++p) {
            TBackPhase &ph = r.Phasen[size_t(p)];
            const quint32 base = quint32(p + 1) << 24;
            ph.Temperatur = qint32(base | 1);
            ph.Reserve4 = quint8(p * 16 + 2);
            ph.Umwaelzer = quint8(p * 16 + 3);
            ph.Luft = quint8(p * 16 + 4);
            ph.Reserve7 = quint8(p * 16 + 5);
            ph.Ausgang = quint8(p * 16 + 6);
            ph.AbzugProzent = quint8(p * 16 + 7);
            ph.Backzeit = base | 8;
            ph.Schwaden = base | 9;
            ph.UmwaelzerZeit = base | 10;
            ph.LuftZeit = base | 11;
            ph.Reserve26 = base | 12;
            ph.AusgangZeit = base | 13;
            ph.AbzugZeit = base | 14;
        }
        const QByteArray b = BPrgRecordToBytes(r);
        QCOMPARE(b.size(), 501);
        QCOMPARE(quint8(b[0]), 10);
        QCOMPARE(b.mid(1, 10), QByteArray("Roggenbrot"));
        QCOMPARE(b[20], 'J');
        QCOMPARE(qint32(le32(b, 21)), -7);
        QCOMPARE(le32(b, 25), 0x01020304u);
        QCOMPARE(le32(b, 29), 0x05060708u);
        QCOMPARE(le32(b, 33), 0x090A0B0Cu);
        QCOMPARE(qint32(le32(b, 37)), -0x0D0E0F10);
        QCOMPARE(quint8(b[41]), 6);
        QCOMPARE(b.mid(42, 6), QByteArray("XQ7310"));
        QCOMPARE(quint8(b[62]), 4);
        QCOMPARE(b.mid(63, 4), QByteArray("1.23"));
        for (int p = 0; p < 11; ++p) {
            const int o = 83 + 38 * p;
            const quint32 base = quint32(p + 1) << 24;
            QCOMPARE(le32(b, o + 0), base | 1);
            for (int k = 0; k < 6; ++k)
                QCOMPARE(quint8(b[o + 4 + k]), quint8(p * 16 + 2 + k));
            for (int k = 0; k < 7; ++k)
                QCOMPARE(le32(b, o + 10 + 4 * k), base | quint32(8 + k));
        }

        TBackprogramm back;
        QVERIFY(BPrgRecordFromBytes(b, back));
        QCOMPARE(back, r);
        QVERIFY(!BPrgRecordFromBytes(b.left(500), back));
    }

    void emptyRecord()
    {
        TBackprogramm r;
        r.Steuerung.setText("XQ7310");
        r.Phasen[3].Reserve26 = 5;
        r.Phasen[10].Reserve4 = 1;
        InitBPrgRecord(r);
        QCOMPARE(r.Name.text(), QByteArray("frei free libre     "));
        QCOMPARE(r.Nummer, -1);
        QCOMPARE(r.Steuerung.Laenge, quint8(0));
        QCOMPARE(QByteArray(r.Steuerung.Zeichen.data(), 6), QByteArray("XQ7310"));
        const QByteArray b = BPrgRecordToBytes(r);
        QCOMPARE(b.mid(25, 16), QByteArray(16, '\0'));
        QCOMPARE(b.mid(83), QByteArray(418, '\0'));
    }

    void listFileRoundTripsByteForByte_data()
    {
        QTest::addColumn<int>("size");
        QTest::newRow("exact") << 100200;
        QTest::newRow("100 extra bytes still new layout") << 100300;
    }
    void listFileRoundTripsByteForByte()
    {
        QFETCH(int, size);
        TTestUmgebung env;
        QRandomGenerator rng(42);
        // Any byte pattern is a record: junk behind lengths, lengths above 20, reserved bytes.
        const QByteArray file = randomBytes(rng, size);
        writeAll(env.path("a.XQR"), file);
        auto liste = newList();
        QVERIFY(BPrgListeLesen(env.path("a.XQR"), *liste));
        QVERIFY(BPrgListeSpeichern(env.path("b.XQR"), *liste));
        QCOMPARE(readAll(env.path("b.XQR")), file.left(100200));
        QCOMPARE(env.dialoge().boxes().size(), 0);
    }

    void oldLayoutFile()
    {
        TTestUmgebung env;
        QRandomGenerator rng(7);
        QByteArray file;
        QList<QByteArray> blocks;
        for (int i = 0; i < 200; ++i) {
            blocks.append(oldBlock(rng, i));
            file += blocks.last();
        }
        QCOMPARE(file.size(), 99400);
        writeAll(env.path("alt.XQR"), file);
        auto liste = newList();
        (*liste)[5].SollKT = 77;
        QVERIFY(BPrgListeLesen(env.path("alt.XQR"), *liste));
        for (int i = 0; i < 200; ++i)
            checkOldSlot((*liste)[size_t(i)], blocks[i], i);
    }

    void shortOldFileFillsFreeSlots()
    {
        TTestUmgebung env;
        QRandomGenerator rng(8);
        QByteArray file;
        QList<QByteArray> blocks;
        for (int i = 0; i < 30; ++i) {
            blocks.append(oldBlock(rng, i));
            file += blocks.last();
        }
        file += oldBlock(rng, 30).left(496); // a trailing part of a block is not read
        writeAll(env.path("kurz.XQR"), file);
        auto liste = newList();
        for (TBackprogramm &r : *liste) {
            r.Name.setText("Weizen");
            r.Menge = 9;
            r.Phasen[2].Backzeit = 60;
        }
        QVERIFY(BPrgListeLesen(env.path("kurz.XQR"), *liste));
        for (int i = 0; i < 30; ++i)
            checkOldSlot((*liste)[size_t(i)], blocks[i], i);
        TBackprogramm frei;
        InitBPrgRecord(frei);
        for (int i = 30; i < 200; ++i)
            QCOMPARE((*liste)[size_t(i)], frei);
    }

    void sizeDecidesLayout_data()
    {
        QTest::addColumn<int>("size");
        QTest::addColumn<bool>("newLayout");
        QTest::newRow("one byte short") << 100199 << false;
        QTest::newRow("exact") << 100200 << true;
        QTest::newRow("last byte of 201st block missing") << 100700 << true;
        QTest::newRow("201 blocks") << 100701 << false;
        QTest::newRow("empty file") << 0 << false;
    }
    void sizeDecidesLayout()
    {
        QFETCH(int, size);
        QFETCH(bool, newLayout);
        TTestUmgebung env;
        QRandomGenerator rng(size);
        const QByteArray file = randomBytes(rng, size);
        writeAll(env.path("x.XQR"), file);
        auto liste = newList();
        QVERIFY(BPrgListeLesen(env.path("x.XQR"), *liste));
        const TBackprogramm &last = (*liste)[199];
        if (newLayout) {
            QCOMPARE(BPrgRecordToBytes(last), file.mid(199 * 501, 501));
        } else if (size >= 200 * 497) {
            QCOMPARE(last.Nummer, qint32(le32(file, 199 * 497 + 21)));
            QCOMPARE(last.SollKT, 0);
        } else {
            QCOMPARE(last.Nummer, -1);
        }
    }

    void readFailures()
    {
        TTestUmgebung env;
        auto liste = newList();
        (*liste)[3].Name.setText("Dinkel");
        (*liste)[3].Menge = 4;
        const TBackprogramm before = (*liste)[3];

        QVERIFY(!BPrgListeLesen(QString(), *liste));
        QCOMPARE(env.dialoge().boxes().size(), 0);
        for (const TBackprogramm &r : *liste)
            QCOMPARE(r.Name.Laenge, quint8(0));
        QCOMPARE((*liste)[3].Menge, 4);

        (*liste)[3] = before;
        env.dialoge().expectBox(QMessageBox::Ok);
        QVERIFY(!BPrgListeLesen(env.path("fehlt.XQR"), *liste));
        QCOMPARE(env.dialoge().boxes().size(), 1);
        QCOMPARE(env.dialoge().boxes()[0].caption, QStringLiteral("Fehler"));
        QCOMPARE(env.dialoge().boxes()[0].text, QStringLiteral("Speicherfehler"));
        QCOMPARE((*liste)[3], before);
    }

    void failedSaveKeepsOldFile()
    {
        TTestUmgebung env;
        auto liste = newList();
        (*liste)[1].Name.setText("Alt");
        const QString path = env.path("liste.XQR");
        QVERIFY(BPrgListeSpeichern(path, *liste));
        const QByteArray old = readAll(path);
        QCOMPARE(old.size(), 100200);

        (*liste)[1].Name.setText("Neu");
        SetWriteFailureAfterBytes(50000);
        env.dialoge().expectBox(QMessageBox::Ok);
        env.dialoge().expectBox(QMessageBox::Yes); // the retry fails as well
        env.dialoge().expectBox(QMessageBox::Ok);
        env.dialoge().expectBox(QMessageBox::No);
        QVERIFY(!BPrgListeSpeichern(path, *liste));
        QVERIFY(env.dialoge().allAnswersUsed());
        QCOMPARE(env.dialoge().unexpected(), 0);
        const auto &boxes = env.dialoge().boxes();
        QCOMPARE(boxes.size(), 4);
        QCOMPARE(boxes[0].caption, QStringLiteral("ERROR"));
        QCOMPARE(boxes[0].text, QStringLiteral("Speicherfehler"));
        QCOMPARE(boxes[1].caption, QStringLiteral("FRAGE"));
        QCOMPARE(boxes[1].text, QStringLiteral("Speichern erneut versuchen?"));
        QCOMPARE(boxes[1].buttons, QMessageBox::Yes | QMessageBox::No);
        QCOMPARE(readAll(path), old);

        SetWriteFailureAfterBytes(-1);
        QVERIFY(BPrgListeSpeichern(path, *liste));
        auto back = newList();
        QVERIFY(BPrgListeLesen(path, *back));
        QCOMPARE((*back)[1].Name.text(), QByteArray("Neu"));
    }

    void lengthByteAbove20NeverReadsPast()
    {
        TTestUmgebung env;
        QByteArray block(501, 'x');
        for (int off : {0, 41, 62})
            block[off] = char(255);
        TBackprogramm r;
        QVERIFY(BPrgRecordFromBytes(block, r));
        for (const TString20 *s : {&r.Name, &r.Steuerung, &r.PrgVersion}) {
            QCOMPARE(s->Laenge, quint8(255));
            QCOMPARE(s->text(), QByteArray(20, 'x'));
        }
        QCOMPARE(BPrgRecordToBytes(r), block);
        // The text form takes at most 20 bytes of each.
        const QByteArray text = BPrgTextSchreiben(r, true);
        QVERIFY(text.contains("\r\nNAME =" + QByteArray(20, 'x') + "\r\n"));
        QVERIFY(text.contains("\r\nSTEUERUNG =" + QByteArray(20, 'x') + "\r\n"));
        QVERIFY(text.contains("\r\nVERSION =" + QByteArray(20, 'x') + "\r\n"));

        QByteArray alt(497, 'y');
        for (int off : {0, 37, 58})
            alt[off] = char(255);
        TBackprogrammAlt a;
        QVERIFY(BPrgAltRecordFromBytes(alt, a));
        const TBackprogramm n = BPrgAltZuNeu(a);
        for (const TString20 *s : {&n.Name, &n.Steuerung, &n.PrgVersion}) {
            QCOMPARE(s->Laenge, quint8(20));
            QCOMPARE(s->text(), QByteArray(20, 'y'));
        }
    }

    void fuzzListFiles()
    {
        TTestUmgebung env;
        QRandomGenerator rng(20240601);
        auto liste = newList();
        const QString path = env.path("fuzz.XQR");
        const int sizes[] = {0, 1, 496, 497, 498, 501, 99399, 99400, 100199, 100200, 100700, 100701, 120000};
        for (int i = 0; i < 400; ++i) {
            const int size = i < int(std::size(sizes)) ? sizes[i] : int(rng.bounded(110000));
            writeAll(path, randomBytes(rng, size));
            QVERIFY(BPrgListeLesen(path, *liste));
            for (const TBackprogramm &r : *liste)
                QVERIFY(r.Name.text().size() <= 20 && r.Steuerung.text().size() <= 20
                        && r.PrgVersion.text().size() <= 20);
            // Whatever was read goes through the text form without harm.
            const TBackprogramm &r = (*liste)[size_t(rng.bounded(200))];
            TBackprogramm back;
            BPrgTextLesen(BPrgTextSchreiben(r, true), back);
        }
        QCOMPARE(env.dialoge().boxes().size(), 0);
    }
};

QTEST_MAIN(TstBackprogramm)
#include "tst_Backprogramm.moc"

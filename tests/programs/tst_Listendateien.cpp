// Program and list files without a window: the program-file text check and reading, file-name
// proposals and extensions; and the slot operations: copy and paste ranges, sort order, moves.
#include "support/TestUmgebung.h"

#include "app/Sammlung.h"
#include "programs/Listendateien.h"
#include "programs/Listenoperationen.h"

#include <QtTest>
#include <memory>

namespace {
TBackprogramm programm(const QByteArray &name, int menge = 1)
{
    TBackprogramm p;
    InitBPrgRecord(p);
    p.Name.setText(name);
    p.Menge = menge;
    p.Phasen[0].Temperatur = 200;
    p.Phasen[0].Backzeit = 600;
    return p;
}

std::unique_ptr<TBackprogrammListe> freieListe()
{
    auto l = std::make_unique<TBackprogrammListe>();
    for (TBackprogramm &p : *l)
        InitBPrgRecord(p);
    return l;
}

QList<QByteArray> namen(const TBackprogrammListe &l, int von, int bis)
{
    QList<QByteArray> n;
    for (int i = von; i <= bis; ++i)
        n << l[size_t(i)].Name.text();
    return n;
}
} // namespace

class TstListendateien : public QObject
{
    Q_OBJECT
private slots:
    void programmText_data()
    {
        QTest::addColumn<QByteArray>("text");
        QTest::addColumn<bool>("gueltig");
        const QByteArray echt = BPrgTextSchreiben(programm("Brot"), true);
        QTest::newRow("written") << echt << true;
        QTest::newRow("LF only") << QByteArray(echt).replace("\r\n", "\n") << true;
        QTest::newRow("markers only") << QByteArray("##HEAD\n##/HEAD\n##BODY\n##/BODY") << true;
        QTest::newRow("empty") << QByteArray() << false;
        QTest::newRow("any text") << QByteArray("Einkaufsliste:\r\nMehl\r\n") << false;
        QTest::newRow("body before head") << QByteArray("##BODY\n##/BODY\n##HEAD\n##/HEAD\n") << false;
        QTest::newRow("no body end") << QByteArray("##HEAD\n##/HEAD\n##BODY\n00000-END\n") << false;
        QTest::newRow("markers inside lines") << QByteArray("x##HEAD\nx##/HEAD\nx##BODY\nx##/BODY\n") << false;
    }
    void programmText()
    {
        QFETCH(QByteArray, text);
        QFETCH(bool, gueltig);
        QCOMPARE(IstProgrammText(ProgrammTextAusDatei(text)), gueltig);
    }

    void zeilenEnden()
    {
        QCOMPARE(ProgrammTextAusDatei("a\r\nb\nc\r\r\nd"), QByteArray("a\r\nb\r\nc\r\nd\r\n"));
        QCOMPARE(ProgrammTextAusDatei("a\n\nb\n"), QByteArray("a\r\n\r\nb\r\n"));
        QCOMPARE(ProgrammTextAusDatei(""), QByteArray());
        // Bytes of the code page pass unchanged.
        QCOMPARE(ProgrammTextAusDatei("NAME =Br\xF6tchen\n"), QByteArray("NAME =Br\xF6tchen\r\n"));
    }

    void programmDateiLesen()
    {
        TTestUmgebung env;
        TBackprogramm p = programm("Br\xF6tchen\r\nhell", 42);
        p.Phasen[1].Temperatur = 190;
        p.Phasen[1].Backzeit = 300;
        const QByteArray text = BPrgTextSchreiben(p, true);
        TBackprogramm soll;
        BPrgTextLesen(text, soll);

        // Written on Linux with LF only, no line end after the last line: read as the text.
        const QString lf = env.path("lf.XQP");
        QVERIFY(dateiSchreiben(lf, QByteArray(text).replace("\r\n", "\n").chopped(1)));
        TBackprogramm rec = programm("alt");
        QCOMPARE(ProgrammDateiEinlesen(lf, rec), TProgrammDateiErgebnis::Gelesen);
        QCOMPARE(rec, soll);
        QCOMPARE(rec.Name.text(), QByteArray("Br\xF6tchen  hell"));
        QCOMPARE(rec.Menge, 42);

        const TBackprogramm vorher = programm("alt");
        const struct {
            const char *datei;
            QByteArray inhalt;
            TProgrammDateiErgebnis ergebnis;
        } faelle[] = {
            {"text.XQP", "Dies ist kein Backprogramm.\r\n", TProgrammDateiErgebnis::KeinProgramm},
            {"leer.XQP", "", TProgrammDateiErgebnis::KeinProgramm},
            {"gross.XQP", text + QByteArray(ProgrammDateiMaxGroesse, 'x'), TProgrammDateiErgebnis::KeinProgramm},
            {"binaer.XQP", alleBytes().repeated(8), TProgrammDateiErgebnis::KeinProgramm},
        };
        for (const auto &f : faelle) {
            QVERIFY(dateiSchreiben(env.path(f.datei), f.inhalt));
            rec = vorher;
            QCOMPARE(ProgrammDateiEinlesen(env.path(f.datei), rec), f.ergebnis);
            QCOMPARE(rec, vorher);
        }
        QString grund;
        QCOMPARE(ProgrammDateiEinlesen(env.path("fehlt.XQP"), rec, &grund), TProgrammDateiErgebnis::Lesefehler);
        QVERIFY(!grund.isEmpty());
        QCOMPARE(ProgrammDateiEinlesen(env.folder(), rec), TProgrammDateiErgebnis::Lesefehler);
        QCOMPARE(rec, vorher);
    }

    void dateinamen()
    {
        QVERIFY(HatEndung("/a/b/Liste.XQR", ".XQR"));
        QVERIFY(HatEndung("liste.xqr", ".XQR"));
        QVERIFY(!HatEndung("XQ7310", ".XQR"));
        QVERIFY(!HatEndung("/a/b.XQR/liste", ".XQR"));
        QVERIFY(!HatEndung("liste.XQR.bak", ".XQR"));
        QCOMPARE(EndungAendern("XQ7310", ".XQR"), QStringLiteral("XQ7310.XQR"));
        QCOMPARE(EndungAendern("/a/b/liste.dat", ".XQR"), QStringLiteral("/a/b/liste.XQR"));
        QCOMPARE(EndungAendern("/a/b.c/liste", ".XQR"), QStringLiteral("/a/b.c/liste.XQR"));
        QCOMPARE(ProgrammDateiVorschlag("Brot\r\nhell"), QStringLiteral("Brot hell"));
        QCOMPARE(ProgrammDateiVorschlag("1/2 Brot\\3"), QStringLiteral("1_2 Brot_3"));
        QCOMPARE(ProgrammDateiVorschlag(""), QString());
        QCOMPARE(DateiOrdner("/a/b/liste.XQR"), QStringLiteral("/a/b"));
    }

    // ---- slot operations ----

    void kopierUndEinfuegeBereiche()
    {
        int von = -1, bis = -1;
        QVERIFY(KopierBereich(3, 5, von, bis) && von == 3 && bis == 5);
        QVERIFY(KopierBereich(0, 2, von, bis) && von == 1 && bis == 2);
        QVERIFY(KopierBereich(198, 250, von, bis) && von == 198 && bis == 199);
        QVERIFY(!KopierBereich(5, 3, von, bis));
        QVERIFY(!KopierBereich(0, 0, von, bis));
        QVERIFY(!KopierBereich(200, 210, von, bis));
        QCOMPARE(von, 198); // nothing changed by a refused range

        using Z = QList<std::pair<int, int>>;
        QCOMPARE(EinfuegeZiele(3, 5, 10), (Z{{3, 10}, {4, 11}, {5, 12}}));
        QCOMPARE(EinfuegeZiele(3, 5, 198), (Z{{3, 198}, {4, 199}}));
        QCOMPARE(EinfuegeZiele(3, 5, 199), (Z{{3, 199}}));
        QCOMPARE(EinfuegeZiele(0, 0, 10), Z{}); // before any copy
        QCOMPARE(EinfuegeZiele(3, 5, 0), Z{});
        QCOMPARE(EinfuegeZiele(3, 5, 200), Z{});
    }

    void sortieren()
    {
        auto l = freieListe();
        (*l)[1] = programm("b");
        (*l)[2] = programm("A");
        (*l)[3] = programm("frei free libre");
        (*l)[4] = programm("c");
        (*l)[0] = programm("0 bleibt");
        ProgrammeSortieren(*l, true, TCodepage::Windows1252);
        QCOMPARE(namen(*l, 0, 5), (QList<QByteArray>{"0 bleibt", "A", "b", "c", "frei free libre", "frei free libre     "}));
        ProgrammeSortieren(*l, false, TCodepage::Windows1252);
        QCOMPARE(namen(*l, 1, 3), (QList<QByteArray>{"frei free libre     ", "frei free libre     ", "frei free libre     "}));
        QCOMPARE(namen(*l, 196, 199), (QList<QByteArray>{"frei free libre", "c", "b", "A"}));
    }

    // Equal names (also in other letter case) keep their slot order in both directions.
    void gleicheNamenBleibenInOrdnung()
    {
        auto l = freieListe();
        for (int i = 1; i <= 199; ++i)
            (*l)[size_t(i)] = programm(i % 3 == 0 ? "Brot" : (i % 3 == 1 ? "brot" : "Semmel"), i);
        for (bool auf : {true, false}) {
            auto s = std::make_unique<TBackprogrammListe>(*l);
            ProgrammeSortieren(*s, auf, TCodepage::Windows1252);
            QMap<QByteArray, int> letzte;
            for (int i = 1; i <= 199; ++i) {
                const TBackprogramm &p = (*s)[size_t(i)];
                const QByteArray gruppe = p.Name.text().toLower();
                QVERIFY2(p.Menge > letzte.value(gruppe, 0), qPrintable(QString::number(i)));
                letzte[gruppe] = p.Menge;
            }
            QCOMPARE((*s)[1].Name.text().toLower(), auf ? QByteArray("brot") : QByteArray("semmel"));
        }
    }

    void umlauteUndKyrillisch()
    {
        QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
        auto l = freieListe();
        for (int i = 1; i <= 199; ++i)
            (*l)[size_t(i)] = programm("zzz");
        (*l)[1] = programm("Zwiebelbrot");
        (*l)[2] = programm("\xC4pfel"); // "Äpfel" in Windows-1252
        (*l)[3] = programm("Birne");
        ProgrammeSortieren(*l, true, TCodepage::Windows1252);
        QCOMPARE(namen(*l, 1, 3), (QList<QByteArray>{"\xC4pfel", "Birne", "Zwiebelbrot"}));
        // The same bytes read as Windows-1251: "Д" sorts after the Latin letters.
        ProgrammeSortieren(*l, true, TCodepage::Windows1251);
        QCOMPARE(namen(*l, 1, 2), (QList<QByteArray>{"Birne", "Zwiebelbrot"}));
        QLocale::setDefault(QLocale::c());
    }

    void verschieben()
    {
        auto l = freieListe();
        for (int i = 1; i <= 199; ++i)
            (*l)[size_t(i)] = programm("P" + QByteArray::number(i));
        QVERIFY(BlockVerschieben(*l, 10, 12, true));
        QCOMPARE(namen(*l, 9, 12), (QList<QByteArray>{"P10", "P11", "P12", "P9"}));
        QVERIFY(BlockVerschieben(*l, 9, 11, false));
        QCOMPARE(namen(*l, 9, 12), (QList<QByteArray>{"P9", "P10", "P11", "P12"}));
        const auto vorher = std::make_unique<TBackprogrammListe>(*l);
        QVERIFY(!BlockVerschieben(*l, 1, 3, true));
        QVERIFY(!BlockVerschieben(*l, 198, 199, false));
        QVERIFY(!BlockVerschieben(*l, 5, 4, true));
        QVERIFY(!BlockVerschieben(*l, 0, 4, false));
        QVERIFY(*l == *vorher);
        QVERIFY(BlockVerschieben(*l, 2, 199, true));
        QCOMPARE(namen(*l, 0, 1), (QList<QByteArray>{"frei free libre     ", "P2"}));
        QCOMPARE(namen(*l, 199, 199), QList<QByteArray>{"P1"});
        SlotsTauschen(*l, 0, 5);
        SlotsTauschen(*l, 5, 200);
        QCOMPARE((*l)[0].Name.text(), QByteArray("frei free libre     "));
    }
};

QTEST_MAIN(TstListendateien)
#include "tst_Listendateien.moc"

// Program files and slot operations without a window: the program-text check and reading,
// file names, copy and paste ranges and the sort order.
#include "support/TestUmgebung.h"

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
    return p;
}

std::unique_ptr<TBackprogrammListe> liste(const QList<QByteArray> &namen)
{
    auto l = std::make_unique<TBackprogrammListe>();
    for (TBackprogramm &p : *l)
        InitBPrgRecord(p);
    for (int i = 0; i < namen.size(); ++i)
        (*l)[size_t(i + 1)] = programm(namen[i], i + 1);
    return l;
}

QList<QByteArray> namen(const TBackprogrammListe &l, int von, int bis)
{
    QList<QByteArray> n;
    for (int i = von; i <= bis; ++i)
        n << l[size_t(i)].Name.text();
    return n;
}

const QByteArray Frei("frei free libre     ");
} // namespace

class TstListendateien : public QObject
{
    Q_OBJECT
private slots:
    void programmText()
    {
        const QByteArray echt = BPrgTextSchreiben(programm("Brot"), true);
        QVERIFY(IstProgrammText(echt));
        QVERIFY(IstProgrammText("##HEAD\n##/HEAD\n##BODY\n##/BODY"));
        for (const char *kein : {"", "Mehl\r\nZucker\r\n", "##BODY\n##/BODY\n##HEAD\n##/HEAD\n",
                                 "##HEAD\n##/HEAD\n##BODY\n00000-END\n", "x##HEAD\nx##/HEAD\nx##BODY\nx##/BODY\n"})
            QVERIFY2(!IstProgrammText(kein), kein);
        // CR dropped, every line CR LF, the code page's bytes unchanged.
        QCOMPARE(ProgrammTextAusDatei("a\r\nb\nc\r\r\nN\xF6"), QByteArray("a\r\nb\r\nc\r\nN\xF6\r\n"));
        QCOMPARE(ProgrammTextAusDatei("a\n\n"), QByteArray("a\r\n\r\n"));
    }

    void programmDateiLesen()
    {
        TTestUmgebung env;
        TBackprogramm p = programm("Br\xF6tchen\r\nhell", 42);
        p.Phasen[0].Temperatur = 190;
        p.Phasen[0].Backzeit = 300;
        const QByteArray text = BPrgTextSchreiben(p, true);
        TBackprogramm soll;
        BPrgTextLesen(text, soll);
        // Written with LF only and no line end at the end, it still reads as the text.
        QVERIFY(dateiSchreiben(env.path("lf.XQP"), QByteArray(text).replace("\r\n", "\n").chopped(1)));
        TBackprogramm rec = programm("alt");
        QCOMPARE(ProgrammDateiEinlesen(env.path("lf.XQP"), rec), TProgrammDateiErgebnis::Gelesen);
        QCOMPARE(rec, soll);
        QCOMPARE(rec.Name.text(), QByteArray("Br\xF6tchen  hell"));

        const TBackprogramm vorher = programm("alt");
        for (const QByteArray &inhalt : {QByteArray("Kein Backprogramm.\r\n"), QByteArray(),
                                        text + QByteArray(ProgrammDateiMaxGroesse, 'x'), alleBytes().repeated(8)}) {
            QVERIFY(dateiSchreiben(env.path("x.XQP"), inhalt));
            rec = vorher;
            QCOMPARE(ProgrammDateiEinlesen(env.path("x.XQP"), rec), TProgrammDateiErgebnis::KeinProgramm);
            QCOMPARE(rec, vorher);
        }
        QString grund;
        QCOMPARE(ProgrammDateiEinlesen(env.path("fehlt.XQP"), rec, &grund), TProgrammDateiErgebnis::Lesefehler);
        QVERIFY(!grund.isEmpty());
        QVERIFY(rec == vorher);
    }

    void dateinamen()
    {
        QVERIFY(HatEndung("/a/Liste.XQR", ".XQR"));
        QVERIFY(HatEndung("liste.xqr", ".XQR"));
        QVERIFY(!HatEndung("XQ7310", ".XQR"));
        QVERIFY(!HatEndung("/a/b.XQR/liste", ".XQR"));
        QCOMPARE(EndungAendern("XQ7310", ".XQR"), QStringLiteral("XQ7310.XQR"));
        QCOMPARE(EndungAendern("/a/b.c/liste.dat", ".XQR"), QStringLiteral("/a/b.c/liste.XQR"));
        QCOMPARE(EndungAendern("/a/b.c/liste", ".XQR"), QStringLiteral("/a/b.c/liste.XQR"));
        QCOMPARE(ProgrammDateiVorschlag("Brot\r\n1/2\\3"), QStringLiteral("Brot 1_2_3"));
    }

    void kopierUndEinfuegeBereiche()
    {
        int von = -1, bis = -1;
        QVERIFY(KopierBereich(0, 2, von, bis));
        QVERIFY(von == 1);
        QVERIFY(bis == 2);
        QVERIFY(KopierBereich(198, 250, von, bis));
        QVERIFY(von == 198);
        QVERIFY(bis == 199);
        QVERIFY(!KopierBereich(5, 3, von, bis));
        QVERIFY(!KopierBereich(0, 0, von, bis));
        QVERIFY(!KopierBereich(200, 210, von, bis));
        using Z = QList<std::pair<int, int>>;
        QCOMPARE(EinfuegeZiele(3, 5, 10), (Z{{3, 10}, {4, 11}, {5, 12}}));
        QCOMPARE(EinfuegeZiele(3, 5, 198), (Z{{3, 198}, {4, 199}}));
        QCOMPARE(EinfuegeZiele(0, 0, 10), Z{}); // before any copy
        QCOMPARE(EinfuegeZiele(3, 5, 0), Z{});
    }

    void sortieren()
    {
        auto l = liste({"b", "A", "frei free libre", "c"});
        (*l)[0] = programm("0");
        ProgrammeSortieren(*l, true, TCodepage::Windows1252);
        QCOMPARE(namen(*l, 0, 5), (QList<QByteArray>{"0", "A", "b", "c", "frei free libre", Frei}));
        ProgrammeSortieren(*l, false, TCodepage::Windows1252);
        QCOMPARE(namen(*l, 195, 199), (QList<QByteArray>{Frei, "frei free libre", "c", "b", "A"}));

        // Equal names, in any letter case, keep their slot order in both directions.
        QList<QByteArray> gleich;
        for (int i = 1; i <= 199; ++i)
            gleich << QList<QByteArray>{"brot", "Semmel", "Brot"}[i % 3];
        for (bool auf : {true, false}) {
            auto s = liste(gleich);
            ProgrammeSortieren(*s, auf, TCodepage::Windows1252);
            QCOMPARE((*s)[1].Name.text().toLower(), auf ? QByteArray("brot") : QByteArray("semmel"));
            QMap<QByteArray, int> letzte;
            for (int i = 1; i <= 199; ++i) {
                const TBackprogramm &p = (*s)[size_t(i)];
                QVERIFY(p.Menge > letzte.value(p.Name.text().toLower()));
                letzte[p.Name.text().toLower()] = p.Menge;
            }
        }
    }

    // Names are compared as the code page of the moment decodes them, by the user's locale.
    void umlauteUndKyrillisch()
    {
        QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
        auto l = liste({"Zwiebelbrot", "\xC4pfel", "Birne"});
        ProgrammeSortieren(*l, true, TCodepage::Windows1252);
        QCOMPARE(namen(*l, 1, 2) + namen(*l, 199, 199), (QList<QByteArray>{"\xC4pfel", "Birne", "Zwiebelbrot"}));
        ProgrammeSortieren(*l, true, TCodepage::Windows1251); // 0xC4 is a Cyrillic letter now
        QCOMPARE(namen(*l, 1, 1) + namen(*l, 198, 199), (QList<QByteArray>{"Birne", "Zwiebelbrot", "\xC4pfel"}));
        QLocale::setDefault(QLocale::c());
    }
};

QTEST_MAIN(TstListendateien)
#include "tst_Listendateien.moc"

// The name-list print and the hand-off of the programs to the report window.
#include "support/DruckHilfe.h"
#include "support/TestUmgebung.h"

#include "app/Drucker.h"
#include "app/Sammlung.h"
#include "printing/uRaveDrucken.h"
#include "programs/NamenlisteDrucken.h"

#include <QPrinter>
#include <QPrinterInfo>
#include <QtTest>

namespace {
// The name grid's column 1: slot i shows "Name i" filled to 20, a few slots free.
QStringList namen()
{
    QStringList n;
    for (int i = 0; i < 200; ++i)
        n << (i % 7 == 3 ? QStringLiteral("frei free libre     ") : QStringLiteral("Name %1").arg(i).leftJustified(20));
    n[100] = QStringLiteral("Vollkornbrot mit Saaten").left(20);
    return n;
}

const TNamenlisteText *textBei(const TNamenlisteSeite &s, int x, int y, const QString &schrift)
{
    for (const TNamenlisteText &t : s.Texte)
        if (t.X == x && t.Y == y && t.Schrift == schrift)
            return &t;
    return nullptr;
}
} // namespace

class TstNamenliste : public QObject
{
    Q_OBJECT
private slots:
    void nameTeile()
    {
        const struct { const char *zelle, *eins, *zwei; } faelle[] = {
            {"Roggenmischbrot hell", "Roggenmisc", "hbrot hell"},
            {"Semmel              ", "Semmel    ", "          "},
            {"frei free libre     ", "", ""},
            {"frei free libre", "frei free ", "libre"},
            {"", "", ""},
        };
        for (const auto &f : faelle) {
            QCOMPARE(NameTeil1(QString::fromLatin1(f.zelle)), QString::fromLatin1(f.eins));
            QCOMPARE(NameTeil2(QString::fromLatin1(f.zelle)), QString::fromLatin1(f.zwei));
        }
        QCOMPARE(NamenlisteUeberschrift(QStringLiteral("Programmübersicht: "), QStringLiteral("/x/y/Liste.XQR")),
                 QStringLiteral("Programmübersicht: Liste.XQR"));
    }

    void geometrieA4()
    {
        const TNamenlisteSeite s = NamenlisteLayout(210, 297, 0, namen(), QStringLiteral("Kopf"));
        QCOMPARE(s.W, 1950);
        QCOMPARE(s.H, 2870);
        QCOMPARE(s.ColW, 487);
        QVERIFY(qAbs(s.Scale - 1.03237) < 1e-5);
        const TNamenlisteText &kopf = s.Texte.first();
        QVERIFY(kopf.Zentriert);
        QVERIFY(kopf.X == 1074);
        QVERIFY(kopf.Y == 50);
        QVERIFY(kopf.Hoehe == 87);
        QVERIFY(kopf.Text == QLatin1String("Kopf"));
        const int spalten[] = {100, 587, 1074, 1561};
        for (int c = 0; c < 4; ++c) {
            const TNamenlisteText *nummer = textBei(s, spalten[c], 225, QStringLiteral("Arial"));
            QVERIFY(nummer);
            QVERIFY(nummer->Hoehe == 87);
            QVERIFY(!nummer->Zentriert);
            QCOMPARE(nummer->Text, QStringLiteral("%1").arg(c * 25, 2, 10, QLatin1Char('0')));
            const TNamenlisteText *oben = textBei(s, spalten[c] + 140, 225, QStringLiteral("Courier New"));
            const TNamenlisteText *unten = textBei(s, spalten[c] + 140, 268, QStringLiteral("Courier New"));
            QVERIFY(oben);
            QVERIFY(unten);
            QVERIFY(oben->Hoehe == 43);
            QVERIFY(unten->Hoehe == 43);
            QVERIFY(textBei(s, spalten[c], 2752, QStringLiteral("Arial")));
        }
        QCOMPARE(textBei(s, 100, 2752, QStringLiteral("Arial"))->Text, QStringLiteral("24"));
        QCOMPARE(textBei(s, 240, 225, QStringLiteral("Courier New"))->Text, QStringLiteral("Name 0    "));
        // Slot 3 is free: its number and no name.
        QCOMPARE(textBei(s, 100, 225 + 105, QStringLiteral("Arial"))->Text, QStringLiteral("01"));
        QCOMPARE(s.Texte.size(), 1 + 25 * 12);
        for (const TNamenlisteText &t : s.Texte) {
            QVERIFY(t.X >= 0);
            QVERIFY(t.Y >= 0);
            QVERIFY(t.X < 2100);
            QVERIFY(t.Y + t.Hoehe <= 2970);
        }
    }

    void teilZwei()
    {
        const TNamenlisteSeite s = NamenlisteLayout(210, 297, 1, namen(), QString());
        QCOMPARE(textBei(s, 100, 225, QStringLiteral("Arial"))->Text, QStringLiteral("100"));
        QCOMPARE(textBei(s, 1561, 2752, QStringLiteral("Arial"))->Text, QStringLiteral("199"));
        QCOMPARE(textBei(s, 240, 225, QStringLiteral("Courier New"))->Text, QStringLiteral("Vollkornbr"));
        QCOMPARE(textBei(s, 240, 268, QStringLiteral("Courier New"))->Text, QStringLiteral("ot mit Saa"));
    }

    void zweiDruckauftraege()
    {
        TTestUmgebung env;
        TPdfDrucker pdf(env.path(QStringLiteral("pdf")));
        QPrinter drucker(QPrinter::HighResolution);
        QVERIFY(NamenlisteDrucken(drucker, namen(), QStringLiteral("Programmübersicht: Liste.XQR"), nullptr));
        for (int teil = 1; teil <= 2; ++teil) {
            const QString datei = PdfDruckerDatei(QStringLiteral("Kelvor Namenliste Teil %1").arg(teil));
            QCOMPARE(pdfTitel(datei), QStringLiteral("Kelvor Namenliste Teil %1").arg(teil));
            const QStringList seiten = pdfSeitenText(datei);
            QCOMPARE(seiten.size(), 1);
            QVERIFY(seiten[0].contains(QStringLiteral("Programmübersicht: Liste.XQR")));
            const QStringList da = teil == 1 ? QStringList{"00", "24", "75", "99", "Name 98"}
                                             : QStringList{"100", "199", "Vollkornbr", "ot mit Saa", "Name 198"};
            for (const QString &t : da)
                QVERIFY2(seiten[0].contains(t), qPrintable(t));
            QVERIFY(!seiten[0].contains(teil == 1 ? QStringLiteral("Name 100") : QStringLiteral("Name 99 ")));
        }
        QCOMPARE(env.dialoge().unexpected(), 0);
    }

    void ohneDrucker()
    {
        if (!QPrinterInfo::availablePrinterNames().isEmpty())
            QSKIP("this machine has a printer");
        TTestUmgebung env;
        env.dialoge().expectBox(QMessageBox::Ok);
        QVERIFY(!NamenlisteDrucken(namen(), QStringLiteral("Programmübersicht: "), nullptr));
        QCOMPARE(env.dialoge().boxes().size(), 1);
        QVERIFY(env.dialoge().boxes()[0].text.startsWith(QStringLiteral("Standarddrucker ungültig.\r\n")));
    }

    void uebergabe()
    {
        QCOMPARE(MarkierteSlots(3, 5), (std::pair<quint8, quint8>(2, 4)));
        QCOMPARE(MarkierteSlots(0, 250), (std::pair<quint8, quint8>(0, 199)));
        struct
        {
            bool liste, programm;
        } const faelle[] = {{false, true}, {true, false}, {true, true}};
        for (const auto &f : faelle) {
            QStringList ablauf;
            const TDruckPruefungen p{[&] { ablauf << "liste"; return f.liste; },
                                     [&] { ablauf << "programm"; return f.programm; }};
            const TListeDrucken drucken = [&](quint8 von, quint8 bis) { ablauf << QStringLiteral("%1..%2").arg(von).arg(bis); };
            QCOMPARE(DruckUebergabeMarkierte(3, 5, p, drucken), f.liste && f.programm);
            QCOMPARE(DruckUebergabeAlle(p, drucken), f.liste);
            QStringList erwartet{"liste"};
            if (f.liste)
                erwartet << "programm";
            if (f.liste && f.programm)
                erwartet << "2..4";
            erwartet << "liste";
            if (f.liste)
                erwartet << "1..199";
            QCOMPARE(ablauf, erwartet);
        }
    }

    void markierteZeilenDrucken()
    {
        TTestUmgebung env;
        TPdfDrucker pdf(env.path(QStringLiteral("pdf")));
        TBackprogrammListe liste = freieListe();
        for (int i = 1; i <= 6; ++i)
            liste[i] = beispielProgramm("Slot" + QByteArray::number(i));
        TwRaveDrucken bericht;
        const TDruckPruefungen ok{[] { return true; }, [] { return true; }};
        QVERIFY(DruckUebergabeMarkierte(3, 5, ok, [&](quint8 von, quint8 bis) {
            bericht.ProgrammeDrucken(liste, von, bis, false, false, false, StandardKnopfTexte(false));
        }));
        const QStringList seiten = pdfSeitenText(PdfDruckerDatei(QStringLiteral("XQBackprogramm")));
        QCOMPARE(seiten.size(), 3);
        for (int s = 0; s < 3; ++s)
            QVERIFY(seiten[s].contains(QStringLiteral("Slot%1").arg(s + 2)));
        QCOMPARE(env.dialoge().unexpected(), 0);
    }
};

QTEST_MAIN(TstNamenliste)
#include "tst_Namenliste.moc"

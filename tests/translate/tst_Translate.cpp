#include "app/Codepage.h"
#include "app/IniDatei.h"
#include "app/Registry.h"
#include "app/Dateischreiben.h"
#include "app/Sammlung.h"
#include "support/TestUmgebung.h"
#include "translate/translate.h"
#include "app/uShowbox.h"

#include <QtWidgets>
#include <QtTest>
#include <memory>

class TstTranslate : public QObject
{
    Q_OBJECT
    std::unique_ptr<TTestUmgebung> env;

    QString lang(const QString &file) const { return env->exeDir() + QStringLiteral("Lang/") + file; }
    QByteArray lesen(const QString &file) const { return dateiLesen(lang(file)); }
    void schreiben(const QString &file, const QByteArray &bytes) { QVERIFY(dateiSchreiben(lang(file), bytes)); }
    // The registry value "Sprache" (none for an invalid variant), and the command line.
    void start(const QVariant &sprache, bool sprachInit)
    {
        if (sprache.isValid())
            OpenRegistry(QStringLiteral("Torvik"), QStringLiteral("Kelvor"))->setValue(QStringLiteral("Sprache/Sprache"), sprache);
        InitTranslate(QStringLiteral("SOFTWARE\\Torvik\\Kelvor\\Sprache"),
                      {QStringLiteral("kelvor"), sprachInit ? QStringLiteral("sprachInit") : QString()});
    }

private slots:
    void init()
    {
        env = std::make_unique<TTestUmgebung>();
        QVERIFY(QDir().mkpath(lang(QString())));
        ShowboxAnzahl = 0;
    }
    void cleanup()
    {
        CyrillicMode = false;
        qDeleteAll(QApplication::topLevelWidgets());
        env.reset();
    }

    void wholeNumber()
    {
        const QList<QPair<const char *, bool>> cases{
            {"", false},    {"20", true},    {"0095", true}, {"   -12", true}, {"-9999", false},     {"x", false},
            {"12 ", false}, {"$1F", true},   {"xff", true},  {"-$10", true},  {"2147483648", false}};
        for (const auto &[text, number] : cases) // -9999 is the fallback itself
            QVERIFY2(IsWholeNumber(QString::fromLatin1(text), -9999) == number, text);
    }

    void leaveModeTouchesNothing()
    {
        // No value, the original in lower case, collect mode without SPRACHINIT.
        const QList<QPair<QVariant, bool>> cases{{QVariant(), true}, {QStringLiteral("orginal(deutsch)"), true}, {QString(), false}};
        for (const auto &[sprache, sprachInit] : cases) {
            cleanup();
            init();
            schreiben(QStringLiteral("Master.orginal(deutsch)"), "[TwShowbox]\r\nCancelBtn.Caption_____________=X\r\n");
            start(sprache, sprachInit);
            ShowboxTimed(QStringLiteral("Fehler"), QStringLiteral("Text"), 1000);
            QCOMPARE(wShowbox->CancelBtn->text(), QStringLiteral("Abbrechen"));
            QCOMPARE(QDir(lang(QString())).entryList(QDir::Files).size(), 1);
            QCOMPARE(env->dialoge().boxes().size(), 1);
        }
    }

    void collectingWritesTheBoxOnce()
    {
        start(QString(), true);
        ShowboxTimed(QStringLiteral("Fehler"), QStringLiteral("Erste Meldung"), 1000);
        QByteArray master = lesen(QStringLiteral("MASTER.LANG"));
        QCOMPARE(master, QByteArray("[TwShowbox]\r\n"
                                    "Label1.Caption________________=Label1\r\n"
                                    "Label2.Caption________________=Label2\r\n"
                                    "Label3.Caption________________=Label3\r\n"
                                    "Label4.Caption________________=Label4\r\n"
                                    "Label5.Caption________________=in\r\n"
                                    "Label7.Caption________________=sek wird automatisch OK       gew\xE4hlt\r\n"
                                    "OKBtn.Caption_________________=OK\r\n"
                                    "CancelBtn.Caption_____________=Abbrechen\r\n"
                                    "WaitBtn.Caption_______________=WaitBtn\r\n"
                                    "OKBtn2.Caption________________=OK\r\n"
                                    "Lang.Items[0]_________________=Belegung konnte nicht gel\xF6scht werden\r\n"
                                    "Lang.Items[1]_________________=WARNUNG\r\n"));
        // A second box writes nothing: the open first box, now showing a message, is not collected again.
        master += "; von Hand\r\n";
        schreiben(QStringLiteral("MASTER.LANG"), master);
        ShowboxTimed(QStringLiteral("Fehler"), QStringLiteral("Zweite Meldung"), 1000);
        QCOMPARE(lesen(QStringLiteral("MASTER.LANG")), master);
    }

    void addToMasterRules()
    {
        start(QString(), true);
        Section = QStringLiteral("TwTest");
        schreiben(QStringLiteral("MASTER.LANG"), "; Kopf\r\n[TwTest]\r\nKnopf.Caption_________________=Alt\r\n\r\nEnde.Caption__________________=E\r\n");
        schreiben(QStringLiteral("MASTER.IGNORE"), "[twtest]\r\nVerboten.Caption______________=\r\n");
        AddToMaster(QStringLiteral("Knopf.Caption"), QStringLiteral("Neu"));
        for (const char *skipped : {"", "-", "20", "  -12", "$1F"})
            AddToMaster(QStringLiteral("Zahl.Caption"), QString::fromLatin1(skipped));
        AddToMaster(QStringLiteral("Verboten.Caption"), QStringLiteral("Geheim"));
        AddToMaster(QStringLiteral("Zwei.Caption"), QStringLiteral("a\r\nb"));
        AddToMaster(QStringLiteral("EinSehrLangerKomponentenname.Caption"), QStringLiteral("Lang"));
        QCOMPARE(lesen(QStringLiteral("MASTER.LANG")),
                 QByteArray("; Kopf\r\n[TwTest]\r\nKnopf.Caption_________________=Neu\r\n\r\nEnde.Caption__________________=E\r\n"
                            "Zwei.Caption__________________=a\xB0\xB0" "b\r\nEinSehrLangerKomponentenname.Caption=Lang\r\n"));
        QCOMPARE(lesen(QStringLiteral("MASTER.IGNORE")), QByteArray("[twtest]\r\nVerboten.Caption______________=\r\n"));
    }

    // The profile rules take blanks around a value and one pair of quotes off: such a text is
    // stored in quotes, reads back whole and is not written again on the next run.
    void addToMasterKeepsBlanks()
    {
        start(QString(), true);
        Section = QStringLiteral("TwTest");
        const QStringList texte{QStringLiteral(" Start "), QStringLiteral("Temp.: "), QStringLiteral("\"Zitat\""),
                                QStringLiteral("  Hinweis\r\nzwei ")};
        for (int i = 0; i < texte.size(); ++i)
            AddToMaster(QStringLiteral("Text%1.Caption").arg(i), texte[i]);
        const QByteArray einmal = lesen(QStringLiteral("MASTER.LANG"));
        QVERIFY2(einmal.contains("Text0.Caption_________________=\" Start \"\r\n"), einmal.constData());
        for (int i = 0; i < texte.size(); ++i) {
            const QByteArray wert = GetProfileString(lang(QStringLiteral("MASTER.LANG")), "TwTest",
                                                     StringToAnsi(PadKey(QStringLiteral("Text%1.Caption").arg(i))), "#ERR");
            QCOMPARE(DecodeLineBreaks(AnsiToString(wert)), QString(texte[i]).replace(QStringLiteral("\r\n"), QStringLiteral("\n")));
            AddToMaster(QStringLiteral("Text%1.Caption").arg(i), texte[i]);
        }
        QCOMPARE(lesen(QStringLiteral("MASTER.LANG")), einmal);
    }

    void translatingTheBox()
    {
        const QByteArray english = "[TwShowbox]\r\n; Uebersetzung\r\nCancelBtn.Caption_____________=Cancel\r\n"
                                   "OKBtn.Caption_________________=\r\nLabel5.Caption________________=#ERR\r\n"
                                   "Label1.Caption________________=Line one\r\nLang.Items[1]_________________=WARNING\r\n";
        schreiben(QStringLiteral("Master.English"), english);
        start(QStringLiteral("English"), true);
        ShowboxTimed(QStringLiteral("Fehler"), QStringLiteral("Erste Meldung"), 1000);
        QPointer<TwShowbox> first = wShowbox;
        QCOMPARE(first->CancelBtn->text(), QStringLiteral("Cancel"));
        QCOMPARE(first->OKBtn->text(), QString());
        QCOMPARE(first->Label5->text(), QStringLiteral("in"));
        QCOMPARE(first->Lang->item(1)->text(), QStringLiteral("WARNING"));
        QCOMPARE(first->Label1->text(), QStringLiteral("Erste Meldung"));
        ShowboxTimed(QStringLiteral("Fehler"), QStringLiteral("Zweite Meldung"), 1000);
        QCOMPARE(first->Label1->text(), QStringLiteral("Erste Meldung"));

        QCOMPARE(lesen(QStringLiteral("Master.English")), english);
        const QByteArray missing = lesen(QStringLiteral("_Missing.English"));
        QVERIFY(missing.startsWith("[Error]\r\nEnglish.Time__________________="));
        for (const char *line : {"English.Comment_______________=Entry dosn't exist in English", "[TwShowbox]",
                                 "Label5.Caption________________=in", "Lang.Items[0]_________________=Belegung konnte nicht gel\xF6scht werden"})
            QVERIFY2(missing.contains("\r\n" + QByteArray(line) + "\r\n"), line);
        QVERIFY(!missing.contains("Sekunden"));
        QVERIFY(!missing.contains("CancelBtn"));
        QVERIFY(!missing.contains("Meldung"));
    }

    void translateTextRules()
    {
        schreiben(QStringLiteral("Master.English"), "[TwTest]\r\nZwei.Caption__________________=one\xB0\xB0two\r\nFrei.Caption__________________=free\r\n");
        schreiben(QStringLiteral("MASTER.IGNORE"), "[TwTest]\r\nFrei.Caption__________________=x\r\n");
        start(QStringLiteral("English"), false);
        auto tr = [](const char *key, const QString &text) {
            return TranslateText(QStringLiteral("TwTest"), QLatin1String(key), QStringLiteral("English"), text);
        };
        QCOMPARE(tr("Zwei.Caption", QStringLiteral("zwei")), QStringLiteral("one\ntwo"));
        QCOMPARE(tr("Frei.Caption", QStringLiteral("frei")), QStringLiteral("frei"));
        QCOMPARE(tr("#spec#Frei.Caption", QStringLiteral("frei")), QStringLiteral("#no#frei"));
    }

    // A missing entry, its time and comment used to be three writes of the file: one that
    // failed after the first left the time without the entry.
    void missingEntryIsOneWrite()
    {
        start(QStringLiteral("English"), true);
        SetWriteFailureAfterBytes(80); // enough for the time line alone, not for all three
        bool thrown = false;
        try {
            TranslateText(QStringLiteral("TwTest"), QStringLiteral("Neu.Caption"), QStringLiteral("English"), QStringLiteral("neu"));
        } catch (const TSprachDateiFehler &) {
            thrown = true;
        }
        SetWriteFailureAfterBytes(-1);
        QVERIFY(thrown);
        QVERIFY(!QFile::exists(lang(QStringLiteral("_Missing.English"))));
        QCOMPARE(TranslateText(QStringLiteral("TwTest"), QStringLiteral("Neu.Caption"), QStringLiteral("English"),
                               QStringLiteral("neu")),
                 QStringLiteral("neu"));
        const QList<QByteArray> lines = crLfZeilen(lesen(QStringLiteral("_Missing.English")));
        QCOMPARE(lines.size(), 6);
        QVERIFY(lines[1].startsWith("English.Time__________________="));
        QCOMPARE(lines.mid(2), (QList<QByteArray>{"English.Comment_______________=Entry dosn't exist in English", "",
                                                  "[TwTest]", "Neu.Caption___________________=neu"}));
    }

    void missingFolderOrKeyShowsTheMessage()
    {
        QVERIFY(QDir(lang(QString())).removeRecursively());
        start(QStringLiteral("English"), true);
        ShowboxTimed(QStringLiteral("Fehler"), QStringLiteral("Text"), 1000);
        InitTranslate(QString(), {});
        const QList<TBoxRequest> boxes = env->dialoge().boxes();
        QCOMPARE(boxes.size(), 3);
        QCOMPARE(boxes[0].caption + boxes[1].caption + boxes[2].caption, QStringLiteral("ERRORFehlerERROR"));
        QVERIFY(!boxes[0].modal);
        QVERIFY(!boxes[2].modal);
        // Lines joined with CR LF, as in every other box.
        QCOMPARE(boxes[0].text, QStringLiteral("Das Sprachverzeichnis \"\\Lang\" wurde nicht gefunden!\r\nDefault-Sprache wird geladen!\r\n"
                                               "Language-Directory \"\\Lang\" not found!\r\nLoading default language."));
        QCOMPARE(boxes[2].text, QStringLiteral("Schlüssel \"LangKey\" für Sprachregistrierung muss noch zugewiesen werden!\r\n"
                                               "Bitte Software-Hersteller Kontaktieren.\r\n(Language-Error, please contact manufacturer.)"));
    }

    // The Cyrillic mode used to write every umlaut of the German texts as "?".
    void cyrillicModeKeepsTheGermanSide()
    {
        CyrillicMode = true;
        const QByteArray geloescht = "Lang.Items[0]_________________=Belegung konnte nicht gel\xF6scht werden\r\n";
        schreiben(QStringLiteral("MASTER.LANG"), "[TwShowbox]\r\n" + geloescht);
        start(QString(), true);
        ShowboxTimed(QStringLiteral("Fehler"), QStringLiteral("Text"), 1000);
        const QByteArray master = lesen(QStringLiteral("MASTER.LANG"));
        QVERIFY(master.startsWith("[TwShowbox]\r\n" + geloescht));
        QVERIFY(master.contains("CancelBtn.Caption_____________=Abbrechen\r\n"));
        QVERIFY(!master.contains('?'));

        // The language's own file is Windows-1251; the missing German texts stay Windows-1252.
        schreiben(QStringLiteral("Master.Russisch"), "[TwShowbox]\r\nCancelBtn.Caption_____________=\xCE\xF2\xEC\xE5\xED\xE0\r\n");
        start(QStringLiteral("Russisch"), true);
        ShowboxTimed(QStringLiteral("Fehler"), QStringLiteral("Text"), 1000);
        QCOMPARE(wShowbox->CancelBtn->text(), QString::fromUtf8("Отмена"));
        const QByteArray missing = lesen(QStringLiteral("_Missing.Russisch"));
        QVERIFY(missing.contains("\r\n" + geloescht));
        QVERIFY(!missing.contains('?'));
    }

    // The files were looked for in their exact letter case: "espanol" beside "Master.Espanol"
    // left every window German, and a second "_Missing." file came beside the one there.
    void fileNamesWithoutLetterCase()
    {
        QVERIFY(QDir(lang(QString())).removeRecursively());
        const QString ordner = env->exeDir() + QStringLiteral("lang/");
        QVERIFY(QDir().mkpath(ordner));
        QVERIFY(dateiSchreiben(ordner + QStringLiteral("Master.Espanol"),
                               "[TwShowbox]\r\nCancelBtn.Caption_____________=Cancelar\r\n"));
        QVERIFY(dateiSchreiben(ordner + QStringLiteral("master.ignore"), "[TwShowbox]\r\nLabel5.Caption________________=\r\n"));
        QVERIFY(dateiSchreiben(ordner + QStringLiteral("_MISSING.ESPANOL"), "; fehlt noch\r\n"));
        start(QStringLiteral("espanol"), true);
        ShowboxTimed(QStringLiteral("Fehler"), QStringLiteral("Text"), 1000);
        QCOMPARE(wShowbox->CancelBtn->text(), QStringLiteral("Cancelar"));
        QCOMPARE(env->dialoge().boxes().size(), 1); // the box itself: the folder was found
        QCOMPARE(QDir(ordner).entryList(QDir::Files).size(), 3);
        const QByteArray missing = dateiLesen(ordner + QStringLiteral("_MISSING.ESPANOL"));
        QVERIFY(missing.startsWith("; fehlt noch\r\n"));
        QVERIFY(missing.contains("\r\nOKBtn.Caption_________________=OK\r\n"));
        QVERIFY(!missing.contains("Label5"));
        QVERIFY(!missing.contains("CancelBtn"));
    }

    // A file saved as UTF-8 with a byte-order mark lost its first section to the mark.
    void byteOrderMark()
    {
        const QByteArray bom = "\xEF\xBB\xBF";
        schreiben(QStringLiteral("Master.Espanol"), bom + "[TwShowbox]\r\nCancelBtn.Caption_____________=Cancelar\r\n"
                                                        "Lang.Items[0]_________________=No se borr\xC3\xB3\r\n");
        start(QStringLiteral("Espanol"), false);
        ShowboxTimed(QStringLiteral("Fehler"), QStringLiteral("Text"), 1000);
        QCOMPARE(wShowbox->CancelBtn->text(), QStringLiteral("Cancelar"));
        QCOMPARE(wShowbox->Lang->item(0)->text(), QStringLiteral("No se borró"));

        // Collecting into such a file finds its first section and writes UTF-8 behind the mark.
        const QByteArray kopf = bom + "[TwShowbox]\r\nCancelBtn.Caption_____________=Abbrechen\r\n";
        schreiben(QStringLiteral("MASTER.LANG"), kopf);
        start(QString(), true);
        ShowboxTimed(QStringLiteral("Fehler"), QStringLiteral("Text"), 1000);
        const QByteArray master = lesen(QStringLiteral("MASTER.LANG"));
        QVERIFY(master.startsWith(kopf));
        QCOMPARE(master.count("[TwShowbox]"), 1);
        QVERIFY(master.contains("=Belegung konnte nicht gel\xC3\xB6scht werden\r\n"));
        ShowboxTimed(QStringLiteral("Fehler"), QStringLiteral("Text"), 1000);
        QCOMPARE(lesen(QStringLiteral("MASTER.LANG")), master);
    }

    // The write error used to leave TranslateForm, cross the event loop and end the program.
    void unwritableFileStillShowsTheBox()
    {
        QVERIFY(QDir().mkpath(lang(QStringLiteral("MASTER.LANG"))));
        start(QString(), true);
        ShowboxTimed(QStringLiteral("Fehler"), QStringLiteral("Meldung"), 1000);
        QVERIFY(wShowbox);
        QVERIFY(wShowbox->isVisible());
        QCOMPARE(wShowbox->Label1->text(), QStringLiteral("Meldung"));
        QVERIFY(heuteFehlerdatei().contains("MASTER.LANG kann nicht geschrieben werden"));
        // One message besides the box, and it does not wait.
        const QList<TBoxRequest> boxes = env->dialoge().boxes();
        QCOMPARE(boxes.size(), 2);
        QVERIFY(!boxes[0].modal);
        QVERIFY(boxes[0].text.endsWith(QStringLiteral("MASTER.LANG kann nicht geschrieben werden")));
    }
};

QTEST_MAIN(TstTranslate)
#include "tst_Translate.moc"

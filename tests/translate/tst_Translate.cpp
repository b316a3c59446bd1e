#include "Registry.h"
#include "TestUmgebung.h"
#include "translate.h"
#include "uShowbox.h"

#include <QApplication>
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QtTest>
#include <memory>

namespace {
const QString kKey = QStringLiteral("SOFTWARE\\Torvik\\Kelvor\\Sprache");

QByteArray readFile(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

void writeFile(const QString &path, const QByteArray &bytes)
{
    QFile f(path);
    QVERIFY(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
    f.write(bytes);
}
} // namespace

class TstTranslate : public QObject
{
    Q_OBJECT

    std::unique_ptr<TTestUmgebung> env;

    QString lang(const QString &file) const { return env->exeDir() + QStringLiteral("Lang/") + file; }
    void makeLangDir() { QVERIFY(QDir().mkpath(env->exeDir() + QStringLiteral("Lang"))); }

    // The registry value "Sprache"; an invalid variant removes it.
    void setSprache(const QVariant &value)
    {
        auto reg = OpenRegistry(QStringLiteral("Torvik"), QStringLiteral("Kelvor"));
        if (value.isValid())
            reg->setValue(QStringLiteral("Sprache/Sprache"), value);
        else
            reg->remove(QStringLiteral("Sprache/Sprache"));
        reg->sync();
    }

    void start(const QVariant &sprache, bool sprachInit)
    {
        setSprache(sprache);
        InitTranslate(kKey, sprachInit ? QStringList{QStringLiteral("kelvor"), QStringLiteral("sprachInit")}
                                       : QStringList{QStringLiteral("kelvor")});
    }

    int boxesCaptioned(const QString &caption) const
    {
        int n = 0;
        for (const TBoxRequest &r : env->dialoge().boxes())
            n += r.caption == caption;
        return n;
    }

private slots:
    void init()
    {
        env = std::make_unique<TTestUmgebung>();
        ShowboxAnzahl = 0;
    }

    void cleanup()
    {
        qDeleteAll(QApplication::topLevelWidgets());
        env.reset();
    }

    void wholeNumber_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("number");
        QTest::newRow("empty") << "" << false;
        QTest::newRow("dash") << "-" << false;
        QTest::newRow("digits") << "20" << true;
        QTest::newRow("leading zeros") << "0095" << true;
        QTest::newRow("blanks and sign") << "   -12" << true;
        QTest::newRow("plus") << "+7" << true;
        QTest::newRow("fallback itself") << "-9999" << false;
        QTest::newRow("lone x") << "x" << false;
        QTest::newRow("lone dollar") << "$" << false;
        QTest::newRow("trailing blank") << "12 " << false;
        QTest::newRow("blank after sign") << "- 12" << false;
        QTest::newRow("dollar hex") << "$1F" << true;
        QTest::newRow("x hex") << "xff" << true;
        QTest::newRow("0x hex") << "0X10" << true;
        QTest::newRow("signed hex") << "-$10" << true;
        QTest::newRow("bad hex") << "$1G" << false;
        QTest::newRow("too large") << "2147483648" << false;
        QTest::newRow("smallest") << "-2147483648" << true;
        QTest::newRow("hex too large") << "$80000000" << false;
        QTest::newRow("word") << "Abbrechen" << false;
    }
    void wholeNumber()
    {
        QFETCH(QString, text);
        QFETCH(bool, number);
        QCOMPARE(IsWholeNumber(text, -9999), number);
    }

    void keysAndLineBreaks()
    {
        QCOMPARE(PadKey(QStringLiteral("CancelBtn.Caption")), QStringLiteral("CancelBtn.Caption_____________"));
        const QString k30 = QString(30, QLatin1Char('k'));
        QCOMPARE(PadKey(k30 + QLatin1Char('z')), k30 + QLatin1Char('z'));
        QCOMPARE(EncodeLineBreaks(QStringLiteral("a\r\nb\nc")), QStringLiteral("a°°b°°c"));
        QCOMPARE(DecodeLineBreaks(QStringLiteral("a°°b")), QStringLiteral("a\nb"));
        QCOMPARE(DecodeLineBreaks(QStringLiteral("°°°")), QStringLiteral("\n°"));
        QCOMPARE(DecodeLineBreaks(QStringLiteral("°°°°")), QStringLiteral("\n\n"));
    }

    void leaveModeTouchesNothing_data()
    {
        QTest::addColumn<QVariant>("sprache");
        QTest::newRow("no value") << QVariant();
        QTest::newRow("original in lower case") << QVariant(QStringLiteral("orginal(deutsch)"));
    }
    void leaveModeTouchesNothing()
    {
        QFETCH(QVariant, sprache);
        makeLangDir();
        writeFile(lang(QStringLiteral("Master.orginal(deutsch)")), "[TwShowbox]\r\nCancelBtn.Caption_____________=X\r\n");
        start(sprache, true);
        ShowboxTimed(QStringLiteral("Fehler"), QStringLiteral("Text"), 1000);
        QCOMPARE(wShowbox->CancelBtn->text(), QStringLiteral("Abbrechen"));
        QCOMPARE(QDir(env->exeDir() + QStringLiteral("Lang")).entryList(QDir::Files).size(), 1);
        QCOMPARE(boxesCaptioned(QStringLiteral("ERROR")), 0);
    }

    void collectingNeedsTheCommandWord()
    {
        makeLangDir();
        start(QString(), false);
        ShowboxTimed(QStringLiteral("Fehler"), QStringLiteral("Text"), 1000);
        QVERIFY(!QFile::exists(lang(QStringLiteral("MASTER.LANG"))));
    }

    void collectingWritesTheBoxOnce()
    {
        makeLangDir();
        start(QString(), true);
        ShowboxTimed(QStringLiteral("Fehler"), QStringLiteral("Erste Meldung"), 1000);
        QByteArray master = readFile(lang(QStringLiteral("MASTER.LANG")));
        QVERIFY(master.startsWith("[TwShowbox]\r\n"));
        QVERIFY(master.contains("\r\nCancelBtn.Caption_____________=Abbrechen\r\n"));
        QVERIFY(master.contains("\r\nLabel7.Caption________________=sek wird automatisch OK       gew\xE4hlt\r\n"));
        QVERIFY(master.contains("\r\nLang.Items[0]_________________=Belegung konnte nicht gel\xF6scht werden\r\n"));
        QVERIFY(master.contains("\r\nLang.Items[1]_________________=WARNUNG\r\n"));
        QVERIFY(!master.contains("Sekunden"));
        QVERIFY(!master.contains("Meldung"));

        // A translator's comment stays, and a second box neither rewrites nor adds anything:
        // the open first box, which now shows a message, is not collected again.
        master += "; von Hand\r\n";
        writeFile(lang(QStringLiteral("MASTER.LANG")), master);
        ShowboxTimed(QStringLiteral("Fehler"), QStringLiteral("Zweite Meldung"), 1000);
        QCOMPARE(readFile(lang(QStringLiteral("MASTER.LANG"))), master);
    }

    void addToMasterRules()
    {
        makeLangDir();
        start(QString(), true);
        Section = QStringLiteral("TwTest");
        writeFile(lang(QStringLiteral("MASTER.LANG")), "; Kopf\r\n[TwTest]\r\nKnopf.Caption_________________=Alt\r\n\r\n"
                                                     "Ende.Caption__________________=E\r\n");
        writeFile(lang(QStringLiteral("MASTER.IGNORE")), "[twtest]\r\nVerboten.Caption______________=\r\n");
        AddToMaster(QStringLiteral("Knopf.Caption"), QStringLiteral("Neu"));
        for (const char *skipped : {"-", "20", "  -12", "$1F"})
            AddToMaster(QStringLiteral("Zahl.Caption"), QString::fromLatin1(skipped));
        AddToMaster(QStringLiteral("Verboten.Caption"), QStringLiteral("Geheim"));
        AddToMaster(QStringLiteral("Leer.Caption"), QString());
        AddToMaster(QStringLiteral("Fallback.Caption"), QStringLiteral("-9999"));
        AddToMaster(QStringLiteral("Zwei.Caption"), QStringLiteral("a\r\nb"));
        const QString longKey = QStringLiteral("EinSehrLangerKomponentenname.Caption");
        AddToMaster(longKey, QStringLiteral("Lang"));
        QCOMPARE(readFile(lang(QStringLiteral("MASTER.LANG"))),
                 QByteArray("; Kopf\r\n[TwTest]\r\nKnopf.Caption_________________=Neu\r\n\r\n"
                            "Ende.Caption__________________=E\r\n"
                            "Fallback.Caption______________=-9999\r\n"
                            "Zwei.Caption__________________=a\xB0\xB0" "b\r\n"
                            "EinSehrLangerKomponentenname.Caption=Lang\r\n"));
        QVERIFY(!QFile::exists(lang(QStringLiteral("MASTER.IGNORE.tmp"))));
        QCOMPARE(readFile(lang(QStringLiteral("MASTER.IGNORE"))), QByteArray("[twtest]\r\nVerboten.Caption______________=\r\n"));
    }

    void translatingTheBox()
    {
        makeLangDir();
        const QByteArray english = "[TwShowbox]\r\n; Uebersetzung\r\nCancelBtn.Caption_____________=Cancel\r\n"
                                   "OKBtn.Caption_________________=\r\n"
                                   "Label5.Caption________________=#ERR\r\n"
                                   "Label1.Caption________________=Line one\r\n"
                                   "Lang.Items[1]_________________=WARNING\r\n";
        writeFile(lang(QStringLiteral("Master.English")), english);
        start(QStringLiteral("English"), true);
        QCOMPARE(Sprache, QStringLiteral("English"));

        ShowboxTimed(QStringLiteral("Fehler"), QStringLiteral("Erste Meldung"), 1000);
        QPointer<TwShowbox> first = wShowbox;
        QCOMPARE(first->CancelBtn->text(), QStringLiteral("Cancel"));
        QCOMPARE(first->OKBtn->text(), QString());
        QCOMPARE(first->Label5->text(), QStringLiteral("in"));
        QCOMPARE(first->Lang->item(1)->text(), QStringLiteral("WARNING"));
        QCOMPARE(first->Label1->text(), QStringLiteral("Erste Meldung"));

        ShowboxTimed(QStringLiteral("Fehler"), QStringLiteral("Zweite Meldung"), 1000);
        QVERIFY(wShowbox != first);
        QCOMPARE(first->Label1->text(), QStringLiteral("Erste Meldung"));
        QCOMPARE(wShowbox->Label1->text(), QStringLiteral("Zweite Meldung"));

        QCOMPARE(readFile(lang(QStringLiteral("Master.English"))), english);
        QVERIFY(!QFile::exists(lang(QStringLiteral("MASTER.IGNORE"))));
        const QByteArray missing = readFile(lang(QStringLiteral("_Missing.English")));
        QVERIFY(missing.startsWith("[Error]\r\nEnglish.Time__________________="));
        QVERIFY(missing.contains("\r\nEnglish.Comment_______________=Entry dosn't exist in English\r\n"));
        QVERIFY(missing.contains("\r\n[TwShowbox]\r\n"));
        QVERIFY(missing.contains("\r\nLabel7.Caption________________=sek wird automatisch OK       gew\xE4hlt\r\n"));
        QVERIFY(missing.contains("\r\nLabel5.Caption________________=in\r\n"));
        QVERIFY(missing.contains("\r\nLang.Items[0]_________________=Belegung konnte nicht gel\xF6scht werden\r\n"));
        QVERIFY(!missing.contains("Sekunden"));
        QVERIFY(!missing.contains("CancelBtn"));
        QVERIFY(!missing.contains("Meldung"));
    }

    void translateTextRules()
    {
        makeLangDir();
        writeFile(lang(QStringLiteral("Master.English")), "[TwTest]\r\nZwei.Caption__________________=one\xB0\xB0two\r\n"
                                                        "Frei.Caption__________________=free\r\n");
        writeFile(lang(QStringLiteral("MASTER.IGNORE")), "[TwTest]\r\nFrei.Caption__________________=x\r\n");
        start(QStringLiteral("English"), false);
        const QString en = QStringLiteral("English");
        const QString sec = QStringLiteral("TwTest");
        QCOMPARE(TranslateText(sec, QStringLiteral("Zwei.Caption"), en, QStringLiteral("zwei")), QStringLiteral("one\ntwo"));
        QCOMPARE(TranslateText(sec, QStringLiteral("Frei.Caption"), en, QStringLiteral("frei")), QStringLiteral("frei"));
        QCOMPARE(TranslateText(sec, QStringLiteral("#spec#Frei.Caption"), en, QStringLiteral("frei")), QStringLiteral("#no#frei"));
        QCOMPARE(TranslateText(sec, QStringLiteral("Fehlt.Caption"), en, QStringLiteral("fehlt")), QStringLiteral("fehlt"));
        QVERIFY(!QFile::exists(lang(QStringLiteral("_Missing.English"))));

        SprachInit = true;
        QCOMPARE(TranslateText(sec, QStringLiteral("Leer.Caption"), en, QString()), QString());
        QVERIFY(!QFile::exists(lang(QStringLiteral("_Missing.English"))));
        QCOMPARE(TranslateText(sec, QStringLiteral("Zahl.Caption"), en, QStringLiteral("20")), QStringLiteral("20"));
        QByteArray missing = readFile(lang(QStringLiteral("_Missing.English")));
        QVERIFY(missing.contains("English.Comment"));
        QVERIFY(!missing.contains("TwTest"));
        QCOMPARE(TranslateText(sec, QStringLiteral("#spec#Drei.Hint"), en, QStringLiteral("a\nb")), QStringLiteral("a\nb"));
        missing = readFile(lang(QStringLiteral("_Missing.English")));
        QVERIFY(missing.endsWith("[TwTest]\r\nDrei.Hint_____________________=a\xB0\xB0" "b\r\n"));
    }

    void ignoredListHintKeepsItems()
    {
        makeLangDir();
        writeFile(lang(QStringLiteral("Master.English")), "[TwShowbox]\r\nLang.Items[1]_________________=WARNING\r\n");
        writeFile(lang(QStringLiteral("MASTER.IGNORE")), "[TwShowbox]\r\nLang.Hint_____________________=\r\n");
        start(QStringLiteral("English"), false);
        ShowboxOK(QStringLiteral("Info"), QStringLiteral("Text"));
        QCOMPARE(wShowbox->Lang->item(1)->text(), QStringLiteral("WARNUNG"));
        QCOMPARE(wShowbox->Lang->toolTip(), QStringLiteral("#no#"));
    }

    void missingFolderOrKeyShowsTheMessage()
    {
        start(QStringLiteral("English"), true);
        ShowboxTimed(QStringLiteral("Fehler"), QStringLiteral("Text"), 1000);
        ShowboxTimed(QStringLiteral("Fehler"), QStringLiteral("Text"), 1000);
        QCOMPARE(boxesCaptioned(QStringLiteral("ERROR")), 2);
        const TBoxRequest m2 = env->dialoge().boxes().at(0);
        QVERIFY(!m2.modal);
        QCOMPARE(m2.text, QStringLiteral("Das Sprachverzeichnis \"\\Lang\" wurde nicht gefunden!\nDefault-Sprache wird geladen!\n"
                                         "Language-Directory \"\\Lang\" not found!\nLoading default language."));
        QCOMPARE(boxesCaptioned(QStringLiteral("Fehler")), 2);
        QVERIFY(!QDir(env->exeDir() + QStringLiteral("Lang")).exists());

        env->dialoge().clear();
        InitTranslate(QString(), {});
        TranslateForm(QStringLiteral("TwShowbox"));
        QCOMPARE(boxesCaptioned(QStringLiteral("ERROR")), 2);
        QCOMPARE(env->dialoge().boxes().at(0).text,
                 QStringLiteral("Schlüssel \"LangKey\" für Sprachregistrierung muss noch zugewiesen werden!\n"
                                "Bitte Software-Hersteller Kontaktieren.\n(Language-Error, please contact manufacturer.)"));
    }

    void unwritableFileStillShowsTheBox()
    {
        makeLangDir();
        QVERIFY(QDir().mkpath(lang(QStringLiteral("MASTER.LANG"))));
        start(QString(), true);
        ShowboxTimed(QStringLiteral("Fehler"), QStringLiteral("Meldung"), 1000);
        QVERIFY(wShowbox && wShowbox->isVisible());
        QCOMPARE(wShowbox->Label1->text(), QStringLiteral("Meldung"));
        QCOMPARE(boxesCaptioned(QStringLiteral("Fehler")), 1);
        QByteArray log;
        QDirIterator it(env->folder(), {QStringLiteral("*.err")}, QDir::Files, QDirIterator::Subdirectories);
        while (it.hasNext())
            log += readFile(it.next());
        QVERIFY2(log.contains("MASTER.LANG kann nicht geschrieben werden"), log.constData());
    }
};

QTEST_MAIN(TstTranslate)
#include "tst_Translate.moc"

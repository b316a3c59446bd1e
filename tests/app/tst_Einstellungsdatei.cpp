#include "app/Dateischreiben.h"
#include "app/IniDatei.h"
#include "app/Sammlung.h"
#include "support/TestUmgebung.h"

#include <QtTest>

#include <limits>

using Lines = QList<QByteArray>;

namespace {

const int kKopfZeilen = 5 + 185;
const Lines kVersion{"", "[VERSION]", "INI-Version=V.001.011", ""};
const QByteArray kAktuell("[VERSION]\r\nINI-Version=V.001.011\r\n");

// The template's header as loading leaves it; gives the lines after it.
Lines afterHeader(const Lines &lines)
{
    [&] {
        QVERIFY(lines.size() > kKopfZeilen);
        const QString head = QString::fromLatin1(lines.mid(0, 4).join('\n'));
        QVERIFY2(QRegularExpression(QStringLiteral(R"(^\[Vantrel\.Ini\]\n# -{84}\n#   Vantrel 2004 IniFile -  Created )"
                                                   R"(\d\d\.\d\d\.\d{4}( \d\d:\d\d:\d\d)?\.\n#   -{54}$)")).match(head).hasMatch(), qPrintable(head));
        QCOMPARE(lines[5], QByteArray("#   Please do not modify this file unless you know what you are doing!"));
        for (int i = 4; i < kKopfZeilen; ++i) { // comments only: a "=" would load as a key
            QVERIFY2(lines[i].startsWith('#'), lines[i].constData());
            QVERIFY2(!lines[i].contains('='), lines[i].constData());
            QVERIFY2(lines[i] == lines[i].trimmed(), lines[i].constData());
        }
    }();
    return lines.mid(kKopfZeilen);
}

bool errorLineWritten(const QString &folder, const QByteArray &text)
{
    QDirIterator it(folder, {QStringLiteral("*.err")}, QDir::Files, QDirIterator::Subdirectories);
    while (it.hasNext())
        if (dateiLesen(it.next()).contains(text))
            return true;
    return false;
}

} // namespace

class TstEinstellungsdatei : public QObject
{
    Q_OBJECT

    void useIni(const TTestUmgebung &env, const QByteArray &contents = {})
    {
        IniDateiName = env.exeDir() + QStringLiteral("Vantrel2004.INI");
        if (!contents.isNull())
            QVERIFY(dateiSchreiben(IniDateiName, contents));
    }

private slots:
    void cleanup() { SetWriteFailureAfterBytes(-1); }

    void templateCreated()
    {
        TTestUmgebung env;
        useIni(env);
        QCOMPARE(IniShowTextTime(), 3000);
        Lines want = kVersion;
        for (const char *s : {"Vantrel", "MULTIFERNANZEIGE", "Messages", "TemperaturEinheit", "TRN", "Taskplaner",
                              "TCPIP", "ProgrammListen", "Einstellungen", "BeschickerRS", "KVT", "JD", "XQ7310-Server"})
            want << '[' + QByteArray(s) + ']' << (qstrcmp(s, "Messages") ? Lines{""} : Lines{"ShowTextTime=3000", ""});
        QCOMPARE(afterHeader(crLfZeilen(dateiLesen(IniDateiName))), want);
    }

    void upgrade_data()
    {
        QTest::addColumn<QByteArray>("before");
        QTest::addColumn<int>("showTextTime");
        QTest::addColumn<Lines>("want");
        const Lines standard = kVersion + Lines{"[Messages]", "ShowTextTime=3000", ""};
        QTest::newRow("V.001.010")
            << QByteArray("[Vantrel.Ini]\r\n# old\r\n[VERSION]\r\nINI-Version=V.001.010\r\n\r\n[Messages]\r\n"
                          "  ShowTextTime = 1234 \r\n; dropped\r\n[Vantrel]\r\nFoo=bar\r\n")
            << 1234 << kVersion + Lines{"[Messages]", "ShowTextTime=1234", "", "[Vantrel]", "Foo=bar", ""};
        QTest::newRow("no VERSION") << QByteArray("[Vantrel.Ini]\r\n#x\r\n[Messages]\r\nShowErrTime=7\r\n") << 3000
                                    << kVersion + Lines{"[Messages]", "ShowErrTime=7", "ShowTextTime=3000", ""};
        // Not the old header: kept whole, nothing lost, not even the first "[".
        QTest::newRow("other first section")
            << QByteArray("[Messages]\r\nShowTextTime=42\r\n[VERSION]\r\nINI-Version=V.001.010\r\n") << 42
            << Lines{"", "[Messages]", "ShowTextTime=42", "", "[VERSION]", "INI-Version=V.001.011", ""};
        QTest::newRow("only other section, LF") << QByteArray("[Messages]\nShowTextTime=42\n") << 42
                                                << kVersion + Lines{"[Messages]", "ShowTextTime=42", ""};
        QTest::newRow("only header, any case") << QByteArray("[vantrel.INI]\r\n# old\r\n") << 3000 << standard;
        QTest::newRow("no section at all") << QByteArray("ShowTextTime=5\r\n") << 3000 << standard;
        // A header is a whole line "[name]"; other lines that begin with "[" stay lines of their section.
        QTest::newRow("lines like sections")
            << QByteArray("[Vantrel.Ini]\r\n[x]y\r\n[VERSION]\r\nINI-Version=V.001.010\r\n\r\n[Messages]\r\n[abc]x\r\n"
                          " [a]b = c \r\nShowTextTime=1234\r\n  [Vantrel]  \r\n[b]=\r\n")
            << 1234 << kVersion + Lines{"[Messages]", "[abc]x", "[a]b=c", "ShowTextTime=1234", "", "[Vantrel]", "[b]=", ""};
    }
    void upgrade()
    {
        QFETCH(QByteArray, before);
        QFETCH(int, showTextTime);
        QFETCH(Lines, want);
        TTestUmgebung env;
        useIni(env, before);
        QCOMPARE(IniShowTextTime(), showTextTime);
        QCOMPARE(afterHeader(crLfZeilen(dateiLesen(IniDateiName))), want);
        const QByteArray bytes = dateiLesen(IniDateiName); // upgraded once: the next read changes nothing
        QCOMPARE(IniShowTextTime(), showTextTime);
        QCOMPARE(dateiLesen(IniDateiName), bytes);
    }

    void newerVersionKept()
    {
        TTestUmgebung env;
        useIni(env, "[Vantrel.Ini]\r\n# mine\r\n[VERSION]\r\nINI-Version=V.002.000\r\n[Messages]\r\nShowTextTime=#ERR\r\n");
        QCOMPARE(IniShowTextTime(), 3000);
        QCOMPARE(IniBPrgAusgang(), 0);
        QCOMPARE(crLfZeilen(dateiLesen(IniDateiName)),
                 (Lines{"[Vantrel.Ini]", "# mine", "", "[VERSION]", "INI-Version=V.002.000", "", "[Messages]",
                        "ShowTextTime=3000", "", "[XQ7310-Server]", "BPrg-Ausgang=0", ""}));
    }

    void compareVersion()
    {
        const QList<QPair<const char *, int>> cases{{"V.001.011", 0},  {"V.001.012", 1},   {"V.002.000", 1},
                                                    {"V.000.255", -1}, {"V.001.010", -1},  {"V.1.11", -99},
                                                    {"V.001.256", -99}, {"#ERR", -99},     {"", -99},
                                                    {"X.001.011", -99}, {"V.-01.011", -99}, {"V.0010.11", -99}};
        for (const auto &[version, want] : cases)
            QVERIFY2(CompareIniVersion(QString::fromLatin1(version)) == want, version);
    }

    void readerLimits()
    {
        const struct { int (*reader)(); const char *line; int want; } cases[] = {
            {IniMaxZeilenLog, "MaxZeilenZahlLog_Datei=20000", 10000}, {IniMaxZeilenLog, "MaxZeilenZahlLog_Datei=100", 5000},
            {IniMaxZeilenLog, "MaxZeilenZahlLog_Datei=abc", 5000},    {IniMaxZeilenErr, "MaxZeilenZahlErr_Datei=9999", 9999},
            {IniMaxGroesseErr, "MaxGroesseErr_Datei(kB)=2000", 1024000}, {IniMaxGroesseErr, "MaxGroesseErr_Datei(kB)=0", 0},
            {IniMaxGroesseErr, "MaxGroesseErr_Datei(kB)=abc", 512000},
            // 32-bit products would wrap to INT_MIN ("no limit") and to 0: the largest limit instead.
            {IniMaxGroesseErr, "MaxGroesseErr_Datei(kB)=2097152", 1024000},
            {IniMaxGroesseErr, "MaxGroesseErr_Datei(kB)=4194304", 1024000},
            {IniMaxGroesseErr, "MaxGroesseErr_Datei(kB)=-3000000", std::numeric_limits<int>::min()},
            {IniShowTextTime, "ShowTextTime= 2500 ", 2500}, {IniShowErrTime, "ShowErrTime=1.5", 5000}};
        for (const auto &c : cases) {
            TTestUmgebung env;
            const QByteArray line(c.line), key = line.left(line.indexOf('='));
            useIni(env, kAktuell + "[Messages]\r\n" + line + "\r\n");
            QVERIFY2(c.reader() == c.want, c.line);
            // Out of range or not a number reads as the default, but is never written over.
            QCOMPARE(GetProfileString(IniDateiName, "Messages", key, "#ERR"), line.mid(key.size() + 1).trimmed());
        }
    }

    void failedWriteKeepsFile()
    {
        TTestUmgebung env;
        const QByteArray before = kAktuell + "\r\n[Messages]\r\nShowErrTime=7\r\n";
        useIni(env, before);
        SetWriteFailureAfterBytes(10);
        QCOMPARE(IniShowErrTime(), 5000);
        SetWriteFailureAfterBytes(-1);
        QCOMPARE(dateiLesen(IniDateiName), before);
        QVERIFY(errorLineWritten(env.folder(), "Vantrel-INI-Error 03"));
        QCOMPARE(IniShowErrTime(), 7);
    }

    // Profile rules, as the language and night-start files use them.
    void profileRules()
    {
        const TIniDatei ini = TIniDatei::fromBytes("stray=1\r\n[Sec]\r\n; note=x\r\n  Name  =  Wert  \r\nQ=\"quoted\"\r\n"
                                                   "\xC4rger=1\r\n[SEC]\r\nlater=1\r\n");
        QCOMPARE(ini.readString("sEC", "NAME", "d"), QByteArray("Wert"));
        QCOMPARE(ini.readString("Sec", "Q", "d"), QByteArray("quoted"));
        QCOMPARE(ini.readString("Sec", "\xE4RGER", "d"), QByteArray("1"));
        for (const char *absent : {"note", "stray", "later"})
            QCOMPARE(ini.readString("Sec", absent, "d"), QByteArray("d"));

        TTestUmgebung env;
        const QString file = env.path(QStringLiteral("Master.Test"));
        QVERIFY(dateiSchreiben(file, "; head\r\n[S]\r\nK=Alt\r\n  ; keep me\r\n\r\n[Other]\r\na=1"));
        QVERIFY(WriteProfileString(file, "s", "k", "Neu"));
        QVERIFY(WriteProfileString(file, "S", "K2", "\xB0"));
        QVERIFY(WriteProfileString(file, "Neu", "x", "y"));
        QCOMPARE(dateiLesen(file), QByteArray("; head\r\n[S]\r\nk=Neu\r\n  ; keep me\r\nK2=\xB0\r\n\r\n[Other]\r\na=1\r\n\r\n"
                                              "[Neu]\r\nx=y\r\n"));
        QCOMPARE(GetProfileString(file, "s", "k2", "#ERR"), QByteArray("\xB0"));
        QCOMPARE(GetProfileString(env.path(QStringLiteral("fehlt")), "S", "k", "#ERR"), QByteArray("#ERR"));
    }
};

QTEST_MAIN(TstEinstellungsdatei)
#include "tst_Einstellungsdatei.moc"

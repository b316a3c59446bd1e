#include "Dateischreiben.h"
#include "IniDatei.h"
#include "Sammlung.h"
#include "TestUmgebung.h"

#include <QDirIterator>
#include <QFile>
#include <QRegularExpression>
#include <QtTest>

#include <limits>

using Lines = QList<QByteArray>;

namespace {

QByteArray readAll(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

void writeAll(const QString &path, const QByteArray &bytes)
{
    QFile f(path);
    QVERIFY(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
    QCOMPARE(f.write(bytes), bytes.size());
}

// The file's lines; fails the test on any line end other than CR LF.
Lines fileLines(const QString &path)
{
    const QByteArray bytes = readAll(path);
    if (bytes.isEmpty())
        return {};
    if (bytes.count('\n') != bytes.count("\r\n") || bytes.count('\r') != bytes.count("\r\n")
        || !bytes.endsWith("\r\n")) {
        qWarning("line ends other than CR LF");
        return {};
    }
    Lines lines = bytes.split('\n');
    lines.removeLast();
    for (QByteArray &l : lines)
        l.chop(1);
    return lines;
}

const int kKopfZeilen = 5 + 185;

// The template's header as loading leaves it (followed by the empty line after the section).
void checkHeader(const Lines &lines)
{
    QVERIFY(lines.size() > kKopfZeilen);
    QCOMPARE(lines[0], QByteArray("[Vantrel.Ini]"));
    QCOMPARE(lines[1], "# " + QByteArray(84, '-'));
    QVERIFY2(QRegularExpression(QStringLiteral(
                 R"(^#   Vantrel 2004 IniFile -  Created \d\d\.\d\d\.\d{4}( \d\d:\d\d:\d\d)?\.$)"))
                 .match(QString::fromLatin1(lines[2]))
                 .hasMatch(),
             lines[2].constData());
    QCOMPARE(lines[3], "#   " + QByteArray(54, '-'));
    QCOMPARE(lines[4], QByteArray("#"));
    QCOMPARE(lines[5], QByteArray("#   Please do not modify this file unless you know what you are doing!"));
    QCOMPARE(lines[6], QByteArray("#   WRONG ENTRIES MAY CAUSE UNEXPECTED RUNTIME ERRORS OR STRANGE "
                                  "PROGRAM BEHAVIEOURS!"));
    for (int i = 5; i < kKopfZeilen; ++i) {
        QVERIFY2(lines[i].startsWith('#') && !lines[i].contains('='), lines[i].constData());
        QCOMPARE(lines[i], lines[i].trimmed());
    }
    QVERIFY(!lines[kKopfZeilen].startsWith('#'));
}

Lines afterHeader(const Lines &lines) { return lines.mid(kKopfZeilen); }

bool errorLineWritten(const QString &folder, const QByteArray &text)
{
    QDirIterator it(folder, {QStringLiteral("*.err")}, QDir::Files, QDirIterator::Subdirectories);
    while (it.hasNext())
        if (readAll(it.next()).contains(text))
            return true;
    return false;
}

const QByteArray kAktuell("[VERSION]\r\nINI-Version=V.001.011\r\n");

} // namespace

class TstEinstellungsdatei : public QObject
{
    Q_OBJECT

    QString ini(const TTestUmgebung &env) { return env.exeDir() + QStringLiteral("Vantrel2004.INI"); }

private slots:
    void init() { SetWriteFailureAfterBytes(-1); }
    void cleanup() { SetWriteFailureAfterBytes(-1); }

    void templateCreated()
    {
        TTestUmgebung env;
        IniDateiName = ini(env);
        QCOMPARE(IniShowTextTime(), 3000);

        const Lines lines = fileLines(IniDateiName);
        checkHeader(lines);
        Lines want{"", "[VERSION]", "INI-Version=V.001.011", ""};
        for (const char *s : {"Vantrel", "MULTIFERNANZEIGE", "Messages", "TemperaturEinheit", "TRN", "Taskplaner",
                              "TCPIP", "ProgrammListen", "Einstellungen", "BeschickerRS", "KVT", "JD",
                              "XQ7310-Server"}) {
            want << '[' + QByteArray(s) + ']';
            if (qstrcmp(s, "Messages") == 0)
                want << "ShowTextTime=3000";
            want << "";
        }
        QCOMPARE(afterHeader(lines), want);
    }

    void upgrade_data()
    {
        QTest::addColumn<QByteArray>("before");
        QTest::addColumn<int>("wantShowTextTime");
        QTest::addColumn<Lines>("wantAfterHeader");

        const Lines version{"", "[VERSION]", "INI-Version=V.001.011", ""};
        QTest::newRow("V.001.010")
            << QByteArray("[Vantrel.Ini]\r\n# old stamp\r\n#\r\n[VERSION]\r\nINI-Version=V.001.010\r\n\r\n"
                          "[Messages]\r\n  ShowTextTime = 1234 \r\n; dropped\r\n[Vantrel]\r\nFoo=bar\r\n")
            << 1234 << Lines{"", "[VERSION]", "INI-Version=V.001.011", "", "[Messages]", "ShowTextTime=1234", "",
                             "[Vantrel]", "Foo=bar", ""};
        QTest::newRow("no VERSION")
            << QByteArray("[Vantrel.Ini]\r\n#x\r\n[Messages]\r\nShowErrTime=7\r\n")
            << 3000 << version + Lines{"[Messages]", "ShowErrTime=7", "ShowTextTime=3000", ""};
        QTest::newRow("invalid version")
            << QByteArray("[Vantrel.Ini]\r\n#\r\n[VERSION]\r\nINI-Version=V.1.11\r\n[Messages]\r\nShowTextTime=9\r\n")
            << 9 << version + Lines{"[Messages]", "ShowTextTime=9", ""};
        QTest::newRow("other first section")
            << QByteArray("[Messages]\r\nShowTextTime=42\r\n[VERSION]\r\nINI-Version=V.001.010\r\n")
            << 42 << Lines{"", "[Messages]", "ShowTextTime=42", "", "[VERSION]", "INI-Version=V.001.011", ""};
        // A single section other than the header, LF line ends: nothing is lost, not even "[".
        QTest::newRow("only other section")
            << QByteArray("[Messages]\nShowTextTime=42\n") << 42
            << version + Lines{"[Messages]", "ShowTextTime=42", ""};
        QTest::newRow("only header, any case")
            << QByteArray("[vantrel.INI]\r\n# old\r\n") << 3000
            << version + Lines{"[Messages]", "ShowTextTime=3000", ""};
        QTest::newRow("empty file") << QByteArray() << 3000 << version + Lines{"[Messages]", "ShowTextTime=3000", ""};
        QTest::newRow("no section at all")
            << QByteArray("ShowTextTime=5\r\nhello\r\n") << 3000
            << version + Lines{"[Messages]", "ShowTextTime=3000", ""};
    }
    void upgrade()
    {
        QFETCH(QByteArray, before);
        QFETCH(int, wantShowTextTime);
        QFETCH(Lines, wantAfterHeader);
        TTestUmgebung env;
        IniDateiName = ini(env);
        writeAll(IniDateiName, before);

        QCOMPARE(IniShowTextTime(), wantShowTextTime);
        const Lines lines = fileLines(IniDateiName);
        checkHeader(lines);
        QCOMPARE(afterHeader(lines), wantAfterHeader);

        // Upgraded once: the next read changes nothing.
        const QByteArray bytes = readAll(IniDateiName);
        QCOMPARE(IniShowTextTime(), wantShowTextTime);
        QCOMPARE(readAll(IniDateiName), bytes);
    }

    void newerVersionKept()
    {
        TTestUmgebung env;
        IniDateiName = ini(env);
        writeAll(IniDateiName, "[Vantrel.Ini]\r\n# mine\r\n\r\n[VERSION]\r\nINI-Version=V.002.000\r\n"
                               "[Messages]\r\nShowTextTime=#ERR\r\n");
        QCOMPARE(IniShowTextTime(), 3000);
        QCOMPARE(IniBPrgAusgang(), 0);
        QCOMPARE(fileLines(IniDateiName),
                 (Lines{"[Vantrel.Ini]", "# mine", "", "[VERSION]", "INI-Version=V.002.000", "", "[Messages]",
                        "ShowTextTime=3000", "", "[XQ7310-Server]", "BPrg-Ausgang=0", ""}));
    }

    void compareVersion_data()
    {
        QTest::addColumn<QString>("version");
        QTest::addColumn<int>("want");
        const QList<QPair<const char *, int>> cases{
            {"V.001.011", 0},  {"V.001.012", 1},   {"V.002.000", 1},  {"V.255.255", 1},   {"V.000.255", -1},
            {"V.001.010", -1}, {"V.000.000", -1},  {"V.1.11", -99},   {"V.001.256", -99}, {"V.256.000", -99},
            {"#ERR", -99},     {"", -99},          {"V.001.011 ", -99}, {"X.001.011", -99}, {"V.001-011", -99},
            {"V.abc.011", -99}, {"V.-01.011", -99}, {"V.0010.11", -99}};
        for (const auto &c : cases)
            QTest::newRow(c.first) << QString::fromLatin1(c.first) << c.second;
    }
    void compareVersion()
    {
        QFETCH(QString, version);
        QFETCH(int, want);
        QCOMPARE(CompareIniVersion(version), want);
    }

    void readerLimits_data()
    {
        QTest::addColumn<QByteArray>("section");
        QTest::addColumn<QByteArray>("key");
        QTest::addColumn<QByteArray>("stored");
        QTest::addColumn<int>("reader");
        QTest::addColumn<int>("want");
        const int minInt = std::numeric_limits<int>::min();
        struct C { const char *name, *section, *key, *stored; int reader, want; };
        const C cases[] = {
            {"log 20000", "Messages", "MaxZeilenZahlLog_Datei", "20000", 0, 10000},
            {"log 100", "Messages", "MaxZeilenZahlLog_Datei", "100", 0, 5000},
            {"log abc", "Messages", "MaxZeilenZahlLog_Datei", "abc", 0, 5000},
            {"log 7000", "Messages", "MaxZeilenZahlLog_Datei", "7000", 0, 7000},
            {"log empty", "Messages", "MaxZeilenZahlLog_Datei", "", 0, 5000},
            {"err 9999", "Messages", "MaxZeilenZahlErr_Datei", "9999", 1, 9999},
            {"err -5", "Messages", "MaxZeilenZahlErr_Datei", "-5", 1, 5000},
            {"size 2000", "Messages", "MaxGroesseErr_Datei(kB)", "2000", 2, 1024000},
            {"size 1000", "Messages", "MaxGroesseErr_Datei(kB)", "1000", 2, 1024000},
            {"size 1", "Messages", "MaxGroesseErr_Datei(kB)", "1", 2, 1024},
            {"size 0", "Messages", "MaxGroesseErr_Datei(kB)", "0", 2, 0},
            {"size -1", "Messages", "MaxGroesseErr_Datei(kB)", "-1", 2, -1024},
            {"size abc", "Messages", "MaxGroesseErr_Datei(kB)", "abc", 2, 512000},
            // 32-bit products would wrap to INT_MIN and to 0: "no limit" instead of the largest.
            {"size 2^21", "Messages", "MaxGroesseErr_Datei(kB)", "2097152", 2, 1024000},
            {"size 2^22", "Messages", "MaxGroesseErr_Datei(kB)", "4194304", 2, 1024000},
            {"size int max", "Messages", "MaxGroesseErr_Datei(kB)", "2147483647", 2, 1024000},
            {"size -3000000", "Messages", "MaxGroesseErr_Datei(kB)", "-3000000", 2, minInt},
            {"size beyond int", "Messages", "MaxGroesseErr_Datei(kB)", "99999999999", 2, 512000},
            {"text 2500", "Messages", "ShowTextTime", " 2500 ", 3, 2500},
            {"err time 1.5", "Messages", "ShowErrTime", "1.5", 4, 5000},
            {"ausgang 3", "XQ7310-Server", "BPrg-Ausgang", "3", 5, 3},
            {"ausgang x", "XQ7310-Server", "BPrg-Ausgang", "x", 5, 0},
        };
        for (const C &c : cases)
            QTest::newRow(c.name) << QByteArray(c.section) << QByteArray(c.key) << QByteArray(c.stored) << c.reader
                                  << c.want;
    }
    void readerLimits()
    {
        QFETCH(QByteArray, section);
        QFETCH(QByteArray, key);
        QFETCH(QByteArray, stored);
        QFETCH(int, reader);
        QFETCH(int, want);
        int (*const readers[])() = {IniMaxZeilenLog, IniMaxZeilenErr, IniMaxGroesseErr,
                                    IniShowTextTime, IniShowErrTime, IniBPrgAusgang};
        TTestUmgebung env;
        IniDateiName = ini(env);
        writeAll(IniDateiName, kAktuell + '[' + section + "]\r\n" + key + '=' + stored + "\r\n");
        QCOMPARE(readers[reader](), want);
        // A value out of range or not a number is read as the default, never written over.
        TIniDatei after;
        QVERIFY(after.load(IniDateiName));
        QByteArray kept;
        QVERIFY(after.findValue(section, key, &kept));
        QCOMPARE(kept, stored.trimmed());
    }

    void failedWriteKeepsFile()
    {
        TTestUmgebung env;
        IniDateiName = ini(env);
        const QByteArray before = kAktuell + "\r\n[Messages]\r\nShowErrTime=7\r\n";
        writeAll(IniDateiName, before);
        SetWriteFailureAfterBytes(10);
        QCOMPARE(IniShowTextTime(), 3000);
        QCOMPARE(IniShowErrTime(), 5000);
        SetWriteFailureAfterBytes(-1);
        QCOMPARE(readAll(IniDateiName), before);
        QVERIFY(errorLineWritten(env.folder(), "Vantrel-INI-Error 03"));
        QCOMPARE(IniShowErrTime(), 7);
    }

    // Profile rules of the INI module, as the language and night-start files use them.
    void profileRead()
    {
        const TIniDatei ini = TIniDatei::fromBytes(
            "stray=1\r\n[Sec]\r\n; note=x\r\n  Name  =  Wert  \r\nQ=\"quoted\"\r\nR='a\r\nJa=\r\n"
            "\xC4rger=1\r\n[sec2]\r\nname=other\r\n[SEC]\r\nlater=1\r\n");
        QCOMPARE(ini.readString("sEC", "NAME", "d"), QByteArray("Wert"));
        QCOMPARE(ini.readString("Sec", "note", "d"), QByteArray("d"));
        QCOMPARE(ini.readString("Sec", "Q", "d"), QByteArray("quoted"));
        QCOMPARE(ini.readString("Sec", "R", "d"), QByteArray("'a"));
        QCOMPARE(ini.readString("Sec", "Ja", "d"), QByteArray(""));
        QCOMPARE(ini.readString("Sec", "\xE4RGER", "d"), QByteArray("1"));
        QCOMPARE(ini.readString("Sec", "stray", "d"), QByteArray("d"));
        QCOMPARE(ini.readString("Sec", "later", "d"), QByteArray("d"));
        QCOMPARE(ini.readString("Sec2", "name", "d"), QByteArray("other"));
        QCOMPARE(ini.readString("None", "name", "d"), QByteArray("d"));
        QCOMPARE(ini.sections(), (Lines{"Sec", "sec2"}));
        QCOMPARE(ini.keys("sec"), (Lines{"Name", "Q", "R", "Ja", "\xC4rger"}));
    }

    void profileWriteInPlace()
    {
        TIniDatei ini = TIniDatei::fromBytes("; head\r\n[TwShowbox]\r\nCancelBtn.Caption=Abbrechen\r\n"
                                             "  ; keep me\r\n\r\n[Other]\r\na=1");
        ini.writeString("twshowbox", "CANCELBTN.CAPTION", "Cancel");
        ini.writeString("TwShowbox", "OkBtn.Caption", "O\xB0\xB0K");
        ini.writeString("Neu", "k", "v");
        QCOMPARE(ini.toBytes(), QByteArray("; head\r\n[TwShowbox]\r\nCANCELBTN.CAPTION=Cancel\r\n  ; keep me\r\n"
                                           "OkBtn.Caption=O\xB0\xB0K\r\n\r\n[Other]\r\na=1\r\n\r\n[Neu]\r\nk=v\r\n"));
    }

    void profileCalls()
    {
        TTestUmgebung env;
        const QString file = env.path(QStringLiteral("Master.Test"));
        QCOMPARE(GetProfileString(file, "S", "k", "#ERR"), QByteArray("#ERR"));
        QVERIFY(WriteProfileString(file, "S", "k", "v"));
        QVERIFY(WriteProfileString(file, "s", "K2", "\xB0"));
        QVERIFY(WriteProfileString(file, "S", "K", "w"));
        QCOMPARE(readAll(file), QByteArray("[S]\r\nK=w\r\nK2=\xB0\r\n"));
        QCOMPARE(GetProfileString(file, "s", "k2", "#ERR"), QByteArray("\xB0"));
    }
};

QTEST_MAIN(TstEinstellungsdatei)
#include "tst_Einstellungsdatei.moc"

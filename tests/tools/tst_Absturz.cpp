// Saves cut short by SIGKILL: the saver (speicherschleife) writes the list, program,
// settings, night-start and language files in a loop, each switching between two contents;
// after every kill each file must be one of them, whole, and the next saver must get on.
// KELVOR_KILL_ROUNDS sets the number of kills (unless set, the default of tests/CMakeLists.txt),
// KELVOR_KILL_SEED the seed.
// Also saves on a real full file system: every writer says so and leaves the old file whole.
#include "support/TestUmgebung.h"

#include <QDir>
#include <QProcess>
#include <QRandomGenerator>
#include <QtTest>

namespace {

const QStringList kDateien{"Liste.XQR", "Programm.XQP", "Vantrel2004.INI", "Woche.XQN", "Lang/MASTER.LANG"};

int zahlAusUmgebung(const char *name, int vorgabe)
{
    bool ok = false;
    const int n = qEnvironmentVariableIntValue(name, &ok);
    return ok && n > 0 ? n : vorgabe;
}

// Reads whole lines until `zeilen` lines have come (false when the saver ends first or says
// FEHLER); the wait per line only keeps a hung saver from holding the test for ever.
bool zeilenAbwarten(QProcess &p, int zeilen, QByteArray *letzte)
{
    while (zeilen > 0) {
        while (!p.canReadLine())
            if (!p.waitForReadyRead(60000) && !p.canReadLine())
                return false;
        *letzte = p.readLine().trimmed();
        if (letzte->startsWith("FEHLER"))
            return false;
        --zeilen;
    }
    return true;
}

// The kill test's rounds; its time limits follow them (see tests/CMakeLists.txt).
int runden()
{
    return zahlAusUmgebung("KELVOR_KILL_ROUNDS", KELVOR_KILL_RUNDEN);
}

} // namespace

class TstAbsturz : public QObject
{
    Q_OBJECT
private slots:
    void killedSavesLeaveOldOrNew()
    {
        TTestUmgebung env;
        const QString ordner = env.path(QStringLiteral("saver/"));
        QVERIFY(QDir().mkpath(ordner));
        const QString saver = QStringLiteral(KELVOR_SPEICHERSCHLEIFE);

        QProcess ref;
        ref.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        ref.start(saver, {ordner, QStringLiteral("ref")});
        QVERIFY(ref.waitForFinished(60000));
        QCOMPARE(ref.exitCode(), 0);
        QMap<QString, QByteArray> alt, neu;
        for (const QString &name : kDateien) {
            alt[name] = dateiLesen(ordner + "ref/alt/" + name);
            neu[name] = dateiLesen(ordner + "ref/neu/" + name);
            QVERIFY2(!alt[name].isEmpty(), qPrintable(name));
            QVERIFY2(alt[name] != neu[name], qPrintable(name));
        }
        QVERIFY(QDir(ordner + "ref").removeRecursively());

        const int runden = ::runden();
        const quint32 seed = quint32(zahlAusUmgebung("KELVOR_KILL_SEED", int(QRandomGenerator::global()->bounded(1 << 30))));
        QRandomGenerator zufall(seed);
        qInfo("%d rounds, KELVOR_KILL_SEED=%u", runden, seed);
        QMap<QString, int> gesehenNeu;
        for (int runde = 0; runde < runden; ++runde) {
            QProcess p;
            p.setProcessChannelMode(QProcess::ForwardedErrorChannel);
            p.start(saver, {ordner});
            QByteArray zeile;
            // First the saver's whole first round, then up to one more (its ten saves, each
            // file with both contents), then up to a few hundred thousand idle steps: the kill
            // lands anywhere in a save. A round costs mostly the saver's start.
            QVERIFY2(zeilenAbwarten(p, 1, &zeile), zeile.constData());
            QVERIFY2(zeile == "bereit", zeile.constData());
            QVERIFY2(zeilenAbwarten(p, int(zufall.bounded(10)), &zeile), zeile.constData());
            volatile quint32 leer = 0;
            for (quint32 n = zufall.bounded(300000u); n > 0; --n)
                leer = leer + 1;
            p.kill();
            QVERIFY(p.waitForFinished(60000));
            QCOMPARE(p.exitStatus(), QProcess::CrashExit);

            for (const QString &name : kDateien) {
                const QByteArray jetzt = dateiLesen(ordner + name);
                QVERIFY2(jetzt == alt[name] || jetzt == neu[name],
                         qPrintable(QStringLiteral("round %1: %2 is neither old nor new (%3 bytes)")
                                        .arg(runde).arg(name).arg(jetzt.size())));
                gesehenNeu[name] += jetzt == neu[name];
            }
        }
        // The kills met both contents of every file, or they proved little.
        for (const QString &name : kDateien)
            QVERIFY2(runden < 20 || (gesehenNeu[name] > 0 && gesehenNeu[name] < runden), qPrintable(name));
    }

    // A file smaller than Qt's write buffer only meets the full disk when it is flushed; that
    // must not end as an empty file over the old one, nor as a save that went through.
    void fullDiskKeepsOldFilesAndSaysSo()
    {
        TTestUmgebung env;
        const QString ordner = env.path(QStringLiteral("voll/"));
        QVERIFY(QDir().mkpath(ordner));
        QProcess p;
        p.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        p.start(QStringLiteral(KELVOR_SPEICHERSCHLEIFE), {ordner, QStringLiteral("voll")});
        QVERIFY(p.waitForFinished(60000));
        const QByteArray aus = p.readAllStandardOutput();
        if (p.exitCode() == 3)
            QSKIP(qPrintable(QStringLiteral("no small file system of its own here: ") + QString::fromUtf8(aus.trimmed())));
        QVERIFY2(p.exitStatus() == QProcess::NormalExit, aus.constData());
        QVERIFY2(p.exitCode() == 0, aus.constData());
        const QList<QByteArray> zeilen = aus.trimmed().split('\n');
        QCOMPARE(zeilen.size(), kDateien.size());
        for (int i = 0; i < kDateien.size(); ++i)
            QCOMPARE(zeilen[i], (kDateien[i] + QStringLiteral(" gemeldet alt")).toUtf8());
        // The namespace went with the saver: nothing is left mounted on the folder.
        QVERIFY(QDir(ordner).isEmpty());
    }
};

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    // QtTest's watchdog would end a long run at its fixed five minutes; ctest's limit is set
    // from the same rounds.
    if (qEnvironmentVariableIsEmpty("QTEST_FUNCTION_TIMEOUT")) {
        const qint64 sekunden = KELVOR_KILL_SEKUNDEN_SOCKEL + qint64(KELVOR_KILL_SEKUNDEN_RUNDE) * runden();
        qputenv("QTEST_FUNCTION_TIMEOUT", QByteArray::number(qMin<qint64>(sekunden * 1000, INT_MAX)));
    }
    TstAbsturz test;
    QTEST_SET_MAIN_SOURCE_PATH
    return QTest::qExec(&test, argc, argv);
}
#include "tst_Absturz.moc"

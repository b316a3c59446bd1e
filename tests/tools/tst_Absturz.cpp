// Saves cut short by SIGKILL: the saver (speicherschleife) writes the list, program,
// settings, night-start and language files in a loop, each switching between two contents;
// after every kill each file must be one of them, whole, and the next saver must get on.
// KELVOR_KILL_ROUNDS sets the number of kills (200 unless set), KELVOR_KILL_SEED the seed.
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

// The files of the folder that are none of the five (leftovers of a save cut short).
QStringList fremde(const QString &ordner)
{
    QStringList out;
    for (const QString &unter : {QString(), QStringLiteral("Lang")}) {
        const QDir dir(ordner + unter);
        for (const QString &name : dir.entryList(QDir::Files | QDir::Hidden)) {
            const QString rel = unter.isEmpty() ? name : unter + QLatin1Char('/') + name;
            if (!kDateien.contains(rel))
                out.append(rel);
        }
    }
    return out;
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
            QVERIFY2(!alt[name].isEmpty() && alt[name] != neu[name], qPrintable(name));
        }
        QVERIFY(QDir(ordner + "ref").removeRecursively());

        const int runden = zahlAusUmgebung("KELVOR_KILL_ROUNDS", 200);
        const quint32 seed = quint32(zahlAusUmgebung("KELVOR_KILL_SEED", int(QRandomGenerator::global()->bounded(1 << 30))));
        QRandomGenerator zufall(seed);
        qInfo("%d rounds, KELVOR_KILL_SEED=%u", runden, seed);
        QMap<QString, int> gesehenNeu;
        int reste = 0;
        for (int runde = 0; runde < runden; ++runde) {
            QProcess p;
            p.setProcessChannelMode(QProcess::ForwardedErrorChannel);
            p.start(saver, {ordner});
            QByteArray zeile;
            // First the saver's whole first round, then up to three rounds of five saves more,
            // then up to a few hundred thousand idle steps: the kill lands anywhere in a save.
            QVERIFY2(zeilenAbwarten(p, 1, &zeile) && zeile == "bereit", zeile.constData());
            QVERIFY2(zeilenAbwarten(p, int(zufall.bounded(30)), &zeile), zeile.constData());
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
            reste = int(fremde(ordner).size());
        }
        // The kills met both contents of every file, or they proved little.
        for (const QString &name : kDateien)
            QVERIFY2(runden < 20 || (gesehenNeu[name] > 0 && gesehenNeu[name] < runden), qPrintable(name));
        // Leftovers of cut-short saves never stand in the way of the next one (each saver
        // above got through a whole round first); how many there are is told, not judged.
        qInfo("files left over by cut-short saves: %d", reste);
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
        QVERIFY2(p.exitStatus() == QProcess::NormalExit && p.exitCode() == 0, aus.constData());
        const QList<QByteArray> zeilen = aus.trimmed().split('\n');
        QCOMPARE(zeilen.size(), kDateien.size());
        for (int i = 0; i < kDateien.size(); ++i)
            QCOMPARE(zeilen[i], (kDateien[i] + QStringLiteral(" gemeldet alt")).toUtf8());
        // The namespace went with the saver: nothing is left mounted on the folder.
        QVERIFY(QDir(ordner).isEmpty());
    }
};

QTEST_GUILESS_MAIN(TstAbsturz)
#include "tst_Absturz.moc"

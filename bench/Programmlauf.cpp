#include "bench/Programmlauf.h"

#include "bench/Messen.h"

#include "Programmfenster.h"
#include "app/QtSprache.h"
#include "app/Registry.h"
#include "app/Sammlung.h"
#include "link/uKelvor.h"

#include <QCoreApplication>
#include <QDialog>
#include <QDir>
#include <QEventLoop>
#include <QProcess>
#include <QTcpServer>

TOrt OrtSuchen(int nr)
{
    TOrt ort;
    ort.pc = QHostAddress(QStringLiteral("127.77.%1.1").arg(nr));
    ort.steuerung = QHostAddress(QStringLiteral("127.77.%1.2").arg(nr));
    for (int port = 2601; port <= 2700; ++port) {
        const quint16 p = port == 2700 ? 2600 : quint16(port);
        QTcpServer a, b;
        if (a.listen(ort.pc, p) && b.listen(ort.steuerung, p)) {
            ort.port = p;
            break;
        }
    }
    return ort;
}

QString AdressText(const QHostAddress &adresse)
{
    const quint32 ip = adresse.toIPv4Address();
    return QString::asprintf("%03u.%03u.%03u.%03u", ip >> 24, (ip >> 16) & 0xFF, (ip >> 8) & 0xFF, ip & 0xFF);
}

QString BenchProgramm()
{
    return QCoreApplication::applicationFilePath();
}

QString LeerProgramm()
{
    return QStringLiteral(KELVOR_BENCH_LEER);
}

QStringList ProgrammArgumente(const QString &ordner, const TOrt &ort)
{
    return {ordner, AdressText(ort.steuerung), QString::number(ort.port)};
}

bool KinderLaufen(const QList<TKind *> &kinder, int grenzeMs)
{
    QEventLoop schleife;
    int offen = int(kinder.size());
    QList<QProcess *> prozesse;
    const auto zu = [&] {
        if (--offen == 0)
            schleife.quit();
    };
    for (TKind *k : kinder) {
        k->Ergebnis.clear();
        k->Fehler.clear();
        auto *p = new QProcess(&schleife);
        prozesse << p;
        QProcessEnvironment umgebung = QProcessEnvironment::systemEnvironment();
        umgebung.remove(QStringLiteral("KELVOR_LISTEN_ADDRESS"));
        if (!k->Lauschen.isNull())
            umgebung.insert(QStringLiteral("KELVOR_LISTEN_ADDRESS"), k->Lauschen.toString());
        p->setProcessEnvironment(umgebung);
        QObject::connect(p, &QProcess::finished, &schleife, zu);
        QObject::connect(p, &QProcess::errorOccurred, &schleife, [zu](QProcess::ProcessError e) {
            if (e == QProcess::FailedToStart)
                zu();
        });
        QStringList argumente = k->Argumente;
        const qsizetype t0 = argumente.indexOf(QStringLiteral("@t0"));
        if (t0 >= 0)
            argumente[t0] = QString::number(MonotonNs());
        p->start(k->Programm, argumente);
    }
    QTimer::singleShot(grenzeMs, &schleife, &QEventLoop::quit);
    if (offen > 0)
        schleife.exec();

    bool ok = true;
    for (qsizetype i = 0; i < kinder.size(); ++i) {
        TKind *k = kinder[i];
        QProcess *p = prozesse[i];
        if (p->state() != QProcess::NotRunning) {
            p->kill();
            p->waitForFinished(5000);
            k->Fehler = QStringLiteral("did not end in time");
        }
        for (const QByteArray &zeile : p->readAllStandardOutput().split('\n'))
            if (zeile.startsWith("ergebnis "))
                k->Ergebnis = QString::fromLatin1(zeile.mid(9)).split(u' ', Qt::SkipEmptyParts);
        if (k->Fehler.isEmpty() && p->error() == QProcess::FailedToStart)
            k->Fehler = QStringLiteral("could not start ") + k->Programm;
        else if (k->Fehler.isEmpty() && (p->exitStatus() != QProcess::NormalExit || p->exitCode() != 0))
            k->Fehler = QStringLiteral("ended with %1").arg(p->exitCode());
        else if (k->Fehler.isEmpty() && k->Ergebnis.isEmpty())
            k->Fehler = QStringLiteral("reported nothing");
        if (!k->Fehler.isEmpty()) {
            ok = false;
            const QByteArray fehlerAusgabe = p->readAllStandardError().trimmed();
            if (!fehlerAusgabe.isEmpty())
                std::fprintf(stderr, "%s\n", fehlerAusgabe.constData());
        }
    }
    return ok;
}

QMessageBox::StandardButton TKindDialoge::answerBox(const TBoxRequest &r)
{
    ++Modal;
    std::fprintf(stderr, "unexpected box: %s\n", qPrintable(r.text));
    return QMessageBox::Cancel;
}

int TKindDialoge::answerDialog(QDialog *)
{
    ++Modal;
    return int(QDialog::Rejected);
}

TProgrammOrt ProgrammOrtLesen(int argc, char **argv)
{
    TProgrammOrt ort;
    if (argc < 6)
        return ort;
    ort.Ordner = QString::fromLocal8Bit(argv[3]);
    ort.Adresse = QString::fromLocal8Bit(argv[4]);
    ort.Port = QByteArray(argv[5]).toInt();
    for (int i = 6; i < argc; ++i)
        ort.Rest << QString::fromLocal8Bit(argv[i]);
    return ort;
}

void ProgrammOrtSetzen(const TProgrammOrt &ort, bool einstellungenSchreiben)
{
    const QString prog = ort.Ordner + QStringLiteral("/prog");
    QDir().mkpath(prog);
    SetProgramFile(prog, QStringLiteral("kelvor"));
    SetRegistryFolder(ort.Ordner + QStringLiteral("/registry"));
    if (!einstellungenSchreiben)
        return;
    auto reg = OpenRegistry(QStringLiteral("Zelnor"), QStringLiteral("Kelvor"));
    reg->setValue(QStringLiteral("TCPIP_IPAdresse"), ort.Adresse);
    reg->setValue(QStringLiteral("TCPIP_PORT"), ort.Port);
    reg->sync();
}

TwKelvor *ProgrammStarten(const TProgrammOrt &ort, const QStringList &worte, std::function<void()> sichtbar)
{
    // As the program entry does once its application object exists.
    QtUebersetzungLaden();
    InitVerzeichnisse();
    QApplication::setApplicationName(QStringLiteral("Kelvor"));
    TwKelvor *kelvor = FensterErzeugen(QStringList{ort.Ordner + QStringLiteral("/prog/kelvor")} + worte);
    new TSichtbarMelder(kelvor, std::move(sichtbar));
    kelvor->show();
    return kelvor;
}

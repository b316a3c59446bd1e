#include "FuzzHilfe.h"

#include "app/Sammlung.h"

#include <QApplication>
#include <QFile>

#include <cstdio>
#include <cstdlib>

TTestUmgebung &FuzzUmgebung()
{
    static TTestUmgebung *env = [] {
        if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
            qputenv("QT_QPA_PLATFORM", "offscreen");
        static int argc = 1;
        static char name[] = "kelvor_fuzz";
        static char *argv[] = {name, nullptr};
        // Kept for the life of the process: the harnesses' objects are torn down with it.
        new QApplication(argc, argv);
        // Warnings of the lenient readers are expected by the thousand.
        qInstallMessageHandler([](QtMsgType typ, const QMessageLogContext &, const QString &text) {
            if (typ == QtFatalMsg) {
                std::fprintf(stderr, "%s\n", qPrintable(text));
                std::abort();
            }
        });
        auto *e = new TTestUmgebung;
        // The folder goes with the process; the application stays to the end.
        std::atexit([] { delete &FuzzUmgebung(); });
        // The error files must not grow past a small size however many inputs write to them.
        MaxGroesseErr = 64 * 1024;
        return e;
    }();
    env->dialoge().clear();
    return *env;
}

QString FuzzDatei(const QString &name, const QByteArray &bytes)
{
    const QString pfad = FuzzUmgebung().exeDir() + name;
    QFile f(pfad);
    if (!f.open(QIODevice::WriteOnly | QIODevice::Truncate) || f.write(bytes) != bytes.size())
        FuzzFund("the fuzz input could not be written to a file");
    return pfad;
}

void FuzzFund(const char *was, const QByteArray &erwartet, const QByteArray &erhalten)
{
    std::fprintf(stderr, "FINDING: %s\n", was);
    if (!erwartet.isNull() || !erhalten.isNull())
        std::fprintf(stderr, "  expected: %s\n  got:      %s\n", erwartet.toPercentEncoding(" =;[]").constData(),
                     erhalten.toPercentEncoding(" =;[]").constData());
    std::abort();
}

bool FuzzEingabeLesen(const uint8_t *data, size_t size, TFuzzEingabe &eingabe)
{
    FuzzUmgebung();
    if (size < 1)
        return false;
    eingabe.modus = data[0];
    eingabe.bytes = QByteArray(reinterpret_cast<const char *>(data + 1), qsizetype(size - 1));
    return true;
}

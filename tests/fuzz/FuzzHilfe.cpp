#include "FuzzHilfe.h"

#include "app/Sammlung.h"

#include <QApplication>
#include <QFile>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>

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

namespace {
bool g_wiederholung = false;
}

bool FuzzWiederholung() { return g_wiederholung; }
void FuzzWiederholungSetzen() { g_wiederholung = true; }

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
    eingabe.genau.setzen(QByteArrayView(data + 1, qsizetype(size - 1)));
    return true;
}

void TGenaueBytes::setzen(QByteArrayView quelle)
{
    setzen(quelle, quelle.size());
}

void TGenaueBytes::setzen(QByteArrayView quelle, qsizetype groesse)
{
    m_bytes.clear();
    // new char[0] is a block of its own too: any read of it is reported.
    m_block.reset(new char[size_t(groesse)]);
    m_bytes = QByteArray::fromRawData(m_block.get(), groesse);
    fuellen(quelle);
}

void TGenaueBytes::ueberschreiben(QByteArrayView quelle, qsizetype groesse)
{
    if (m_block && m_bytes.size() == groesse)
        fuellen(quelle);
    else
        setzen(quelle, groesse);
}

void TGenaueBytes::fuellen(QByteArrayView quelle)
{
    const qsizetype n = std::min(quelle.size(), m_bytes.size());
    if (n > 0)
        std::memcpy(m_block.get(), quelle.data(), size_t(n));
    if (m_bytes.size() > n)
        std::memset(m_block.get() + n, 0, size_t(m_bytes.size() - n));
}

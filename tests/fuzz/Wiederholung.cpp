// Replays files through one harness without libFuzzer: every file given, or every file in a
// folder given, once each. Used by ctest to run the corpora under the sanitizers.
#include "FuzzHilfe.h"

#include <QByteArray>
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QStringList>

#include <algorithm>
#include <cstdio>

int main(int argc, char **argv)
{
    QStringList dateien;
    for (int i = 1; i < argc; ++i) {
        const QString arg = QString::fromLocal8Bit(argv[i]);
        if (QFileInfo(arg).isDir()) {
            QDirIterator it(arg, QDir::Files, QDirIterator::Subdirectories);
            while (it.hasNext())
                dateien << it.next();
        } else {
            dateien << arg;
        }
    }
    std::sort(dateien.begin(), dateien.end());
    FuzzWiederholungSetzen();
    if (dateien.isEmpty()) {
        std::fprintf(stderr, "usage: %s file-or-folder...\n", argv[0]);
        return 2;
    }
    for (const QString &d : std::as_const(dateien)) {
        QFile f(d);
        if (!f.open(QIODevice::ReadOnly)) {
            std::fprintf(stderr, "cannot read %s\n", qPrintable(d));
            return 2;
        }
        // Exactly sized, as libFuzzer hands its inputs over: reading past them is reported.
        const TGenaueBytes bytes(f.readAll());
        LLVMFuzzerTestOneInput(reinterpret_cast<const uint8_t *>(bytes.bytes().constData()),
                               size_t(bytes.bytes().size()));
    }
    std::printf("%lld inputs replayed\n", static_cast<long long>(dateien.size()));
    return 0;
}

#include "app/Dateischreiben.h"

#include <QSaveFile>
#include <atomic>

namespace {
std::atomic<qint64> g_failAfter{-1};
}

void SetWriteFailureAfterBytes(qint64 bytes) { g_failAfter.store(bytes); }

bool WriteFileAtomic(const QString &path, const QByteArray &data, QString *error)
{
    QSaveFile file(path);
    // A file that is writable in a folder that is not still gets written, in place.
    file.setDirectWriteFallback(true);
    if (!file.open(QIODevice::WriteOnly)) {
        if (error)
            *error = file.errorString();
        return false;
    }
    const qint64 limit = g_failAfter.load();
    const bool failing = limit >= 0 && limit < data.size();
    const qint64 toWrite = failing ? limit : data.size();
    if (file.write(data.constData(), toWrite) != toWrite || failing) {
        if (error)
            *error = failing ? QStringLiteral("Schreibfehler") : file.errorString();
        file.cancelWriting();
        file.commit();
        return false;
    }
    if (!file.commit()) {
        if (error)
            *error = file.errorString();
        return false;
    }
    return true;
}

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
    // A write smaller than Qt's buffer only reaches the disk in the flush, and a flush that
    // fails inside commit() does not stop the rename: a full disk would leave an empty file in
    // place of the old one. So the bytes go out and are counted before anything is renamed.
    const bool geschrieben = file.write(data.constData(), toWrite) == toWrite && !failing && file.flush()
                          && file.size() == data.size();
    if (!geschrieben) {
        if (error)
            *error = failing ? QStringLiteral("Schreibfehler")
                   : file.error() != QFileDevice::NoError ? file.errorString()
                                                           : QStringLiteral("Nicht alles geschrieben");
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

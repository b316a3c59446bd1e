#pragma once
// Whole-file writes through a temporary file that is renamed over the old one once every byte
// is written, so a failed write leaves the old file as it was. One exception: where the folder
// takes no new file but the file itself is writable, the file is written in place, and a
// failure part-way then leaves it truncated.
#include <QByteArray>
#include <QString>

// Returns true when the file now holds `data`; on failure `error` (when given) says why, and
// the old file is untouched unless it was being written in place.
bool WriteFileAtomic(const QString &path, const QByteArray &data, QString *error = nullptr);

// Test seam: every following write fails after this many bytes (negative: no limit).
void SetWriteFailureAfterBytes(qint64 bytes);

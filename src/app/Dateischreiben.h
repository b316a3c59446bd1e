#pragma once
// Whole-file writes that never leave a truncated file: a temporary file renamed over the
// old one once every byte is written.
#include <QByteArray>
#include <QString>

// Returns true when the file now holds `data`; on failure the old file is untouched and
// `error` (when given) says why.
bool WriteFileAtomic(const QString &path, const QByteArray &data, QString *error = nullptr);

// Test seam: every following write fails after this many bytes (negative: no limit).
void SetWriteFailureAfterBytes(qint64 bytes);

#pragma once
// Expected data too long to read well in a test's source, kept under tests/data/.
#include <QByteArray>
#include <QList>
#include <QPair>
#include <QString>

// The bytes of tests/data/<name>; the test program stops when the file cannot be read.
QByteArray TestDaten(const QString &name);

// The "Key=Text" lines of tests/data/<name> in their order (UTF-8). Empty lines and lines
// starting with "#" are skipped; a text with a blank at either end stands in double quotes.
// The strings live as long as the program, as the literals they stand for did.
const QList<QPair<const char *, const char *>> &TestSchluessel(const QString &name);

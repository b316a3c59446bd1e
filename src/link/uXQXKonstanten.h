#pragma once
// The controller vocabulary: command table, controller text conversions, the baking-program
// record with its list file, and the program text form.
#include <QByteArray>
#include <QByteArrayView>
#include <QList>
#include <QString>

// ==== command table and conversions ====

// ==== end command table and conversions ====

// ==== baking-program record, list file, text form ====

// ==== end baking-program record, list file, text form ====

#pragma once
// The one place where the 8-bit ANSI bytes of files, records and the wire meet QString.
#include <QByteArray>
#include <QString>

enum class TCodepage { Windows1252, Windows1251 };

// Every byte value maps to one character and back; bytes that a code page leaves
// undefined map to the C1 control of the same value, so nothing is lost on a round trip.
QString AnsiToString(const QByteArray &bytes, TCodepage cp = TCodepage::Windows1252);
// Characters the code page cannot hold become '?'.
QByteArray StringToAnsi(const QString &text, TCodepage cp = TCodepage::Windows1252);

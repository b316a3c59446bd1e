#pragma once
// Minutes and hex conversions shared by the list editor, the print and the controller link.
#include <QByteArrayView>
#include <QString>

// Seconds (or minutes) as "%.2d:%.2d"; 0 gives "" unless forced; negative values get "--".
QString MinutenToStr(int value, bool force);
int StrToMinuten(const QString &s);
// The value of one hex digit in either case; -1 for any other character.
int HexZiffer(char16_t c);
// Upper-case hex only; -1 for an empty or invalid text.
int HexToInt(QByteArrayView s);
// Either case; 0 for a text of odd length.
int HexToIntEven(QByteArrayView s);

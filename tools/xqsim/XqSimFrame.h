#pragma once
// The controller's side of the frame: STX ENQ text EOT checksum ETX, where the checksum is the
// XOR of ENQ and every text byte as two hex digits. Written apart from the program's own frame
// code on purpose.
#include <QByteArray>
#include <QString>

namespace xqsim {

constexpr char STX = 0x02;
constexpr char ETX = 0x03;
constexpr char EOT = 0x04;
constexpr char ENQ = 0x05;
constexpr char ACK = 0x06;
constexpr char TAB = 0x09;
constexpr char NAK = 0x15;

// XOR of ENQ and every byte of `text`.
quint8 Checksum(const QByteArray &text);
// Two hex digits; upper case unless asked otherwise.
QByteArray ChecksumDigits(const QByteArray &text, bool lowerCase = false);
// The frame without any line end.
QByteArray BuildFrame(const QByteArray &text);

struct TDecodedFrame
{
    bool ok = false;
    QByteArray text;     // word and parameters, even when the frame is faulty but readable
    QByteArray word;     // the first four bytes of text
    QByteArray params;   // the rest
    QString error;       // why the frame is not sound; empty when ok
};

// `line` without its line end. Expects exactly one frame filling the whole line.
TDecodedFrame DecodeFrame(const QByteArray &line);

// Control bytes by name, for logs: "<STX><ENQ>PING<EOT>15<ETX>".
QString Visible(const QByteArray &bytes);

} // namespace xqsim

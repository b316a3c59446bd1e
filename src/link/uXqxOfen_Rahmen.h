#pragma once
// The frame the controller and the program exchange, and the answer check every line goes
// through first. Pure functions.
#include "link/uXQXKonstanten.h"

#include <QByteArray>
#include <QByteArrayView>

inline constexpr char STX = '\x02';
inline constexpr char ETX = '\x03';
inline constexpr char EOT = '\x04';
inline constexpr char ENQ = '\x05';
inline constexpr char ACK = '\x06';
inline constexpr char TAB = '\x09';
inline constexpr char NAK = '\x15';

// STX ENQ text EOT, two upper-case hex digits of the XOR of ENQ and text, ETX.
QByteArray RahmenBilden(QByteArrayView text);

enum class TUrteil {
    Gut,            // sound frame: acknowledge, end the command in flight, hand the text on
    Verweigert,     // sound frame refusing the command: acknowledge, then error handling
    Fehler,         // error handling with Meldung (and a NAK when NakSenden)
    TrxAck,         // the controller's own acknowledgement: nothing happens
    NochmalAlsBpli  // EUCD to BPL2: ask again at once with the older word
};

struct TPruefung
{
    TUrteil Urteil = TUrteil::Fehler;
    QByteArray Meldung;
    bool NakSenden = false;
    // EUCD: the controller does not know the command; no further attempt.
    bool Aufgeben = false;
    // The controller itself refused the command (a NAK after the first TAB, EPAR, EUCD).
    bool Verweigerung = false;
    // Error-list line that goes before the checksum message.
    QByteArray CksZeile;
    // For Gut and Verweigert: the line without its leading STX ENQ.
    QByteArray Text;
};

// Classifies one answer line (or a failure text of the link itself) for the command in
// flight. `host` is the client's host text of the message prefix. Pure: no effects.
TPruefung AntwortBeurteilen(QByteArrayView zeile, const NeuerBefehl &aktuell, QByteArrayView host);

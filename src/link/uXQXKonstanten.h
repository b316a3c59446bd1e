#pragma once
// The controller vocabulary: command table, controller text conversions, the baking-program
// record with its list file, and the program text form.
#include "app/Sammlung.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QList>
#include <QString>

#include <array>
#include <functional>

// ==== command table and conversions ====

// One controller command. The table holds the fixed vocabulary; the link copies the records
// into its registry and keeps the command in flight as a copy.
struct NeuerBefehl
{
    QByteArray Name;      // "SB_..."; a queue line carries it and the link finds the record by it
    QByteArray Kommando;  // four bytes of a frame, or a queue word the link turns into commands
    quint8 Versuche = 0;
    quint8 MaxVersuche = 0;
    QByteArray Param;     // parameters of the command in flight, for a repeated attempt
    qint32 TimeoutMs = 0; // answer time-out; 0 for records that wait for no answer
};

inline constexpr int BefehlAnzahl = 52;
// Writable on purpose: the link sets MaxVersuche in these very records and sends some of them
// straight from here. Everyone else treats them as constants.
extern std::array<NeuerBefehl, BefehlAnzahl> Befehlstabelle;

// The 52 records in their fixed order: name, command word, answer time-out in ms.
#define KELVOR_BEFEHLSTABELLE(X) \
    X(SB_BefehlAktuell, "", 0) \
    X(SB_None, "", 0) \
    X(SB_NONS, "\xD6\xD6\xD6\xD6", 0) \
    X(SB_RecSave, "RecSave", 0) \
    X(SB_RecRest, "RecRest", 0) \
    X(SB_RecRest01, "RecRest01", 0) \
    X(SB_RecRest02, "RecRest02", 0) \
    X(SB_RecRest03, "RecRest03", 0) \
    X(SB_RecRest04, "RecRest04", 0) \
    X(SB_RecRest05, "RecRest05", 0) \
    X(SB_RecRest06, "RecRest06", 0) \
    X(SB_RecRest07, "RecRest07", 0) \
    X(SB_RecRest08, "RecRest08", 0) \
    X(SB_RecRest09, "RecRest09", 0) \
    X(SB_RecRest10, "RecRest10", 0) \
    X(SB_RecRest11, "RecRest11", 0) \
    X(SB_RecRest12, "RecRest12", 0) \
    X(SB_RSCancel, "RSCancel", 0) \
    X(SB_AZUG, "AZUG", 3000) \
    X(SB_kAZUG, "azug", 3000) \
    X(SB_BPLI, "BPLI", 6000) \
    X(SB_kBPLI, "bpli", 6000) \
    X(SB_BPL2, "BPL2", 10000) \
    X(SB_kBPL2, "bpl2", 10000) \
    X(SB_BPRG, "BPRG", 6000) \
    X(SB_kBPRG, "bprg", 6000) \
    X(SB_BZEI, "BZEI", 3000) \
    X(SB_kBZEI, "bzei", 3000) \
    X(SB_EUCD, "EUCD", 3000) \
    X(SB_HERD, "HERD", 3000) \
    X(SB_LOAD, "LOAD", 3000) \
    X(SB_kLOAD, "load", 3000) \
    X(SB_NAST, "NAST", 3000) \
    X(SB_kNAST, "nast", 3000) \
    X(SB_OFEN, "OFEN", 3000) \
    X(SB_kOFEN, "ofen", 3000) \
    X(SB_PING, "PING", 3000) \
    X(SB_SOLL, "SOLL", 3000) \
    X(SB_kSOLL, "soll", 3000) \
    X(SB_STAR, "STAR", 3000) \
    X(SB_kSTAR, "star", 3000) \
    X(SB_STAR_Besch, "STAR", 3000) \
    X(SB_kSTAR_Besch, "star", 3000) \
    X(SB_STAT, "STAT", 3000) \
    X(SB_kSTAT, "stat", 3000) \
    X(SB_STOP, "STOP", 3000) \
    X(SB_kSTOP, "stop", 3000) \
    X(SB_SWAD, "SWAD", 3000) \
    X(SB_kSWAD, "swad", 3000) \
    X(SB_TRX, "TRX ", 0) \
    X(SB_ZEIT, "ZEIT", 3000) \
    X(SB_kZEIT, "zeit", 3000)

// Each record by its name (SB_BPRG, SB_TRX, ...), referring into the table.
#define KELVOR_BEFEHL_REF(name, wort, ms) extern NeuerBefehl &name;
KELVOR_BEFEHLSTABELLE(KELVOR_BEFEHL_REF)
#undef KELVOR_BEFEHL_REF

// Field names of the body of the program text form, in their order.
inline constexpr std::array<QByteArrayView, 8> BPrgFeldnamen{
    "START", "END", "TEMP1", "SCHWAD", "UMW", "LUFT", "ABZUG", "RES"};

// Highest set temperature the list editor accepts.
extern int MaxSollTemp;

// ---- controller text conversions ----
// Two upper-case hex digits per byte.
QByteArray StrToHexDump(QByteArrayView text);
// Pairs of hex digits in either case; other characters count 0, an odd last one is ignored.
QByteArray HexDumpToStr(QByteArrayView hex);

// The address as given when it is four dot-separated numbers 0..255 after normalising,
// else "". The result is what captions, settings and host comparisons use.
QString CheckIPAddress(const QString &address);
// Drops leading zeros of every part and fills empty inner or last parts with "0".
QString NormalizeIP(const QString &address);
// The address a socket is to connect to: plain decimal parts, because socket layers read
// "010" as octal. "" when CheckIPAddress rejects the address.
QString SocketIPAddress(const QString &address);

// Cyrillic program names: ISO-8859-5 on the controller, Windows-1251 on the PC.
QByteArray ControllerToAnsi(QByteArrayView text);
QByteArray AnsiToController(QByteArrayView text);
// ControllerToAnsi beeps once for every NUL byte through this hook; returns the previous one.
// An empty hook is quiet.
using TBeepHook = std::function<void()>;
TBeepHook SetBeepHook(TBeepHook hook);

// Frame control characters by name ("|STX|", "|TAB|", ...) for the logs.
QByteArray CtrlCharsVisible(QByteArrayView text);

// Slots of a program list. Programs are numbered 1..199 and live in the slot of their number;
// slot 0 holds none.
inline constexpr int BPrgListeAnzahl = 200;
inline constexpr int ErstesProgramm = 1;
inline constexpr int LetztesProgramm = BPrgListeAnzahl - 1;

// Is `nr` the number of a program, 1..199?
constexpr bool gueltigerPlatz(int nr)
{
    return nr >= ErstesProgramm && nr <= LetztesProgramm;
}

// The text up to the next TAB, taken off `rest` with its TAB; with no TAB left, all of the
// rest. With `nurMitTab` a field counts only with its TAB: without one it is empty, and the
// rest is gone all the same.
QByteArrayView feldNehmen(QByteArrayView &rest, bool nurMitTab = false);

// Program names 0..199; index 0 is never filled from a name-list text.
using TNamenListe = std::array<QByteArray, BPrgListeAnzahl>;
// The pairs of a name-list text "hexnumber TAB name TAB ...", in their order: the number
// (upper-case hex; -1 when it is none or has no TAB) and the name cut to 20 characters.
void NamenPaareLesen(QByteArrayView text, const std::function<void(int nr, QByteArrayView name)> &paar);
// Reads a name-list text into `namen`; slots 1..199 the text does not name get the free-slot
// name, slot 0 always.
void NamenTextLesen(QByteArrayView text, TNamenListe &namen);
// ==== end command table and conversions ====

// ==== baking-program record, list file, text form ====
// A 20-character short string as records and list files hold it: a length byte and 20
// character bytes. Every byte is kept as read, so a record written back is byte-identical;
// only `text()` gives meaning to them.
struct TString20
{
    quint8 Laenge = 0;
    std::array<char, 20> Zeichen{};

    // The characters that count; a damaged length byte above 20 never reaches past the 20.
    QByteArray text() const;
    // Cuts to 20 and sets the length; the character bytes behind it stay as they were.
    void setText(QByteArrayView s);
    bool operator==(const TString20 &) const = default;
};

// One phase row: each of six oven functions has a value and a time of its own.
struct TBackPhase
{
    qint32 Temperatur = 0;
    quint8 Reserve4 = 0;
    quint8 Umwaelzer = 0;     // 100 on, 0 off
    quint8 Luft = 0;
    quint8 Reserve7 = 0;
    quint8 Ausgang = 0;       // 100 on, 0 off
    quint8 AbzugProzent = 0;
    quint32 Backzeit = 0;     // seconds
    quint32 Schwaden = 0;     // odd phase: pause before a shot; even phase: length of that shot
    quint32 UmwaelzerZeit = 0;
    quint32 LuftZeit = 0;
    quint32 Reserve26 = 0;
    quint32 AusgangZeit = 0;
    quint32 AbzugZeit = 0;
    bool operator==(const TBackPhase &) const = default;
};

inline constexpr int BPrgPhasenAnzahl = 11;

// One baking program. Phasen[0] is phase 1.
struct TBackprogramm
{
    TString20 Name;
    qint32 Nummer = 0;
    qint32 Menge = 0;
    qint32 Prio = 0;
    qint32 SollKT = 0;
    qint32 Vorschwaden = 0;
    TString20 Steuerung;
    TString20 PrgVersion;
    std::array<TBackPhase, BPrgPhasenAnzahl> Phasen{};
    bool operator==(const TBackprogramm &) const = default;
};

// The older layout that list files may still hold: no SollKT.
struct TBackprogrammAlt
{
    TString20 Name;
    qint32 Nummer = 0;
    qint32 Menge = 0;
    qint32 Prio = 0;
    qint32 Vorschwaden = 0;
    TString20 Steuerung;
    TString20 PrgVersion;
    std::array<TBackPhase, BPrgPhasenAnzahl> Phasen{};
};

inline constexpr int BPrgPhaseGroesse = 38;
inline constexpr int BPrgRecordGroesse = 501;
inline constexpr int BPrgAltRecordGroesse = 497;
inline constexpr int BPrgListeDateiGroesse = BPrgListeAnzahl * BPrgRecordGroesse;

// Slot 0 is written to list files but holds no program; programs 1..199 live in their slot.
using TBackprogrammListe = std::array<TBackprogramm, BPrgListeAnzahl>;

// The empty record: free-slot name, Nummer -1, all numbers and phases 0. The character bytes
// of Steuerung and PrgVersion are left as they were.
void InitBPrgRecord(TBackprogramm &rec);

// The 501 file bytes of a record, little-endian, fields at their fixed offsets.
QByteArray BPrgRecordToBytes(const TBackprogramm &rec);
// Reads the first 501 bytes of `data`; false (record unchanged) when there are fewer.
bool BPrgRecordFromBytes(QByteArrayView data, TBackprogramm &rec);
// Reads the first 497 bytes of `data` in the older layout; false when there are fewer.
bool BPrgAltRecordFromBytes(QByteArrayView data, TBackprogrammAlt &rec);
// The record in the current layout: SollKT 0, strings cut to 20.
TBackprogramm BPrgAltZuNeu(const TBackprogrammAlt &alt);

// Writes the 200 records as a ".XQR" list file; the old file stays until the new one is
// complete. On failure asks whether to try again. True when the file was saved; a caller
// that gets false must keep its list marked as changed.
bool BPrgListeSpeichern(const QString &fileName, const TBackprogrammListe &liste);
// The bytes of a list file: the 200 records in the current layout.
QByteArray BPrgListeBytes(const TBackprogrammListe &liste);
// Reads a list file: exactly 200 whole 501-byte blocks are the current layout, anything else
// the older one (missing blocks become empty records). False, with a box, when the file
// cannot be read or holds less than one 497-byte block (the list then stays as it was); an
// empty name empties every name and gives false without a box.
bool BPrgListeLesen(const QString &fileName, TBackprogrammListe &liste);
// The list that the first bytes of a file of `size` bytes hold, as BPrgListeLesen reads them
// once it has them: at least one 497-byte block and at most the 200 records of the current
// layout (`size` alone decides the layout).
void BPrgListeAusBytes(QByteArrayView bytes, qint64 size, TBackprogrammListe &liste);

// ---- whole-list transfers ----
// A whole list goes between the editor and the link as twelve chunks, each a run of entries:
// the program number ("%.2d"), TAB, the hex dump of its text form, TAB.
inline constexpr int ListenteilAnzahl = 12;
// First and last slot of chunk k (1..12): slots 0..17, then 17 each, the last 188..199.
int ListenteilVon(int k);
int ListenteilBis(int k);
// Appends one entry to a chunk.
void ListenteilEintragAnhaengen(QByteArray &teil, int nr, QByteArrayView text);
// The entries of `teile`, in their order: the number read as a decimal (-1 when it is none)
// and the hex dump as it stands. `nummerNurMitTab`: a last number without its TAB is none.
void ListenteilEintraegeLesen(QByteArrayView teile, bool nummerNurMitTab,
                              const std::function<void(int nr, QByteArrayView dump)> &eintrag);
// The twelve chunks of a write-all, every slot's text form in its entry. A chunk is as long as
// its programs need; nothing cuts it.
QList<QByteArray> ListenteileBilden(const TBackprogrammListe &liste);
// The list the collected chunks of a read-all hold: programs 1..199 of entries whose text is a
// program ("##HEAD"); every other slot, slot 0 among them, is the empty record.
void ListenteileLesen(QByteArrayView puffer, TBackprogrammListe &liste);

// BPRG parameters that write program `nr`: the delete form "DELETE" TAB number when `name` is
// a free slot's, else the number, TAB and `text`, the text form with TABs for its line ends.
QByteArray BprgSchreibParameter(int nr, QByteArrayView name, QByteArrayView text);
// The same for a record, its text form written for it.
QByteArray BprgSchreibParameter(int nr, const TBackprogramm &rec);
// BPRG parameters that ask for program `nr`.
QByteArray BprgLeseParameter(int nr);
// The text form with TABs for its line ends, as a BPRG carries it.
QByteArray BPrgTextZeilenMitTab(QByteArray text);

// ---- program text form ----
// "##HEAD" key lines and "##BODY" timed events, every line ending CR LF.
QByteArray BPrgTextSchreiben(TBackprogramm rec, bool joinName);
// Lenient: whatever does not parse counts 0 or is skipped; `rec` is replaced in every case.
void BPrgTextLesen(QByteArrayView text, TBackprogramm &rec);
// Head keys: blanks before the first "=" do not count, letters compare without case.
bool IsKeyLine(QByteArrayView key, QByteArrayView line);
// The rest of the line behind the key, or the one byte NAK when the key is not there.
QByteArray ReadKeyValue(QByteArrayView key, QByteArrayView line);
// ==== end baking-program record, list file, text form ====

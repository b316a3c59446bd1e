#include "uXQXKonstanten.h"

namespace {

NeuerBefehl befehl(const char *name, QByteArray kommando, qint32 timeoutMs)
{
    NeuerBefehl b;
    b.Name = name;
    b.Kommando = std::move(kommando);
    b.TimeoutMs = timeoutMs;
    return b;
}

} // namespace

// The order is fixed; the link and the references below rely on the positions.
std::array<NeuerBefehl, BefehlAnzahl> Befehlstabelle = {
    befehl("SB_BefehlAktuell", QByteArray(), 0),
    befehl("SB_None", QByteArray(), 0),
    befehl("SB_NONS", QByteArray(4, '\xD6'), 0),
    befehl("SB_RecSave", "RecSave", 0),
    befehl("SB_RecRest", "RecRest", 0),
    befehl("SB_RecRest01", "RecRest01", 0),
    befehl("SB_RecRest02", "RecRest02", 0),
    befehl("SB_RecRest03", "RecRest03", 0),
    befehl("SB_RecRest04", "RecRest04", 0),
    befehl("SB_RecRest05", "RecRest05", 0),
    befehl("SB_RecRest06", "RecRest06", 0),
    befehl("SB_RecRest07", "RecRest07", 0),
    befehl("SB_RecRest08", "RecRest08", 0),
    befehl("SB_RecRest09", "RecRest09", 0),
    befehl("SB_RecRest10", "RecRest10", 0),
    befehl("SB_RecRest11", "RecRest11", 0),
    befehl("SB_RecRest12", "RecRest12", 0),
    befehl("SB_RSCancel", "RSCancel", 0),
    befehl("SB_AZUG", "AZUG", 3000),
    befehl("SB_kAZUG", "azug", 3000),
    befehl("SB_BPLI", "BPLI", 6000),
    befehl("SB_kBPLI", "bpli", 6000),
    befehl("SB_BPL2", "BPL2", 10000),
    befehl("SB_kBPL2", "bpl2", 10000),
    befehl("SB_BPRG", "BPRG", 6000),
    befehl("SB_kBPRG", "bprg", 6000),
    befehl("SB_BZEI", "BZEI", 3000),
    befehl("SB_kBZEI", "bzei", 3000),
    befehl("SB_EUCD", "EUCD", 3000),
    befehl("SB_HERD", "HERD", 3000),
    befehl("SB_LOAD", "LOAD", 3000),
    befehl("SB_kLOAD", "load", 3000),
    befehl("SB_NAST", "NAST", 3000),
    befehl("SB_kNAST", "nast", 3000),
    befehl("SB_OFEN", "OFEN", 3000),
    befehl("SB_kOFEN", "ofen", 3000),
    befehl("SB_PING", "PING", 3000),
    befehl("SB_SOLL", "SOLL", 3000),
    befehl("SB_kSOLL", "soll", 3000),
    befehl("SB_STAR", "STAR", 3000),
    befehl("SB_kSTAR", "star", 3000),
    befehl("SB_STAR_Besch", "STAR", 3000),
    befehl("SB_kSTAR_Besch", "star", 3000),
    befehl("SB_STAT", "STAT", 3000),
    befehl("SB_kSTAT", "stat", 3000),
    befehl("SB_STOP", "STOP", 3000),
    befehl("SB_kSTOP", "stop", 3000),
    befehl("SB_SWAD", "SWAD", 3000),
    befehl("SB_kSWAD", "swad", 3000),
    befehl("SB_TRX", "TRX ", 0),
    befehl("SB_ZEIT", "ZEIT", 3000),
    befehl("SB_kZEIT", "zeit", 3000),
};

NeuerBefehl &SB_BefehlAktuell = Befehlstabelle[0];
NeuerBefehl &SB_None = Befehlstabelle[1];
NeuerBefehl &SB_NONS = Befehlstabelle[2];
NeuerBefehl &SB_RecSave = Befehlstabelle[3];
NeuerBefehl &SB_RecRest = Befehlstabelle[4];
NeuerBefehl &SB_RecRest01 = Befehlstabelle[5];
NeuerBefehl &SB_RecRest02 = Befehlstabelle[6];
NeuerBefehl &SB_RecRest03 = Befehlstabelle[7];
NeuerBefehl &SB_RecRest04 = Befehlstabelle[8];
NeuerBefehl &SB_RecRest05 = Befehlstabelle[9];
NeuerBefehl &SB_RecRest06 = Befehlstabelle[10];
NeuerBefehl &SB_RecRest07 = Befehlstabelle[11];
NeuerBefehl &SB_RecRest08 = Befehlstabelle[12];
NeuerBefehl &SB_RecRest09 = Befehlstabelle[13];
NeuerBefehl &SB_RecRest10 = Befehlstabelle[14];
NeuerBefehl &SB_RecRest11 = Befehlstabelle[15];
NeuerBefehl &SB_RecRest12 = Befehlstabelle[16];
NeuerBefehl &SB_RSCancel = Befehlstabelle[17];
NeuerBefehl &SB_AZUG = Befehlstabelle[18];
NeuerBefehl &SB_kAZUG = Befehlstabelle[19];
NeuerBefehl &SB_BPLI = Befehlstabelle[20];
NeuerBefehl &SB_kBPLI = Befehlstabelle[21];
NeuerBefehl &SB_BPL2 = Befehlstabelle[22];
NeuerBefehl &SB_kBPL2 = Befehlstabelle[23];
NeuerBefehl &SB_BPRG = Befehlstabelle[24];
NeuerBefehl &SB_kBPRG = Befehlstabelle[25];
NeuerBefehl &SB_BZEI = Befehlstabelle[26];
NeuerBefehl &SB_kBZEI = Befehlstabelle[27];
NeuerBefehl &SB_EUCD = Befehlstabelle[28];
NeuerBefehl &SB_HERD = Befehlstabelle[29];
NeuerBefehl &SB_LOAD = Befehlstabelle[30];
NeuerBefehl &SB_kLOAD = Befehlstabelle[31];
NeuerBefehl &SB_NAST = Befehlstabelle[32];
NeuerBefehl &SB_kNAST = Befehlstabelle[33];
NeuerBefehl &SB_OFEN = Befehlstabelle[34];
NeuerBefehl &SB_kOFEN = Befehlstabelle[35];
NeuerBefehl &SB_PING = Befehlstabelle[36];
NeuerBefehl &SB_SOLL = Befehlstabelle[37];
NeuerBefehl &SB_kSOLL = Befehlstabelle[38];
NeuerBefehl &SB_STAR = Befehlstabelle[39];
NeuerBefehl &SB_kSTAR = Befehlstabelle[40];
NeuerBefehl &SB_STAR_Besch = Befehlstabelle[41];
NeuerBefehl &SB_kSTAR_Besch = Befehlstabelle[42];
NeuerBefehl &SB_STAT = Befehlstabelle[43];
NeuerBefehl &SB_kSTAT = Befehlstabelle[44];
NeuerBefehl &SB_STOP = Befehlstabelle[45];
NeuerBefehl &SB_kSTOP = Befehlstabelle[46];
NeuerBefehl &SB_SWAD = Befehlstabelle[47];
NeuerBefehl &SB_kSWAD = Befehlstabelle[48];
NeuerBefehl &SB_TRX = Befehlstabelle[49];
NeuerBefehl &SB_ZEIT = Befehlstabelle[50];
NeuerBefehl &SB_kZEIT = Befehlstabelle[51];

int MaxSollTemp = 400;

#pragma once
// Program files (".XQP", one program in its text form) and list files (".XQR") without a
// window: what counts as a program text, how a program file is read, and the names and
// folders the file dialogs work with.
#include "link/uXQXKonstanten.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QString>

// A program text is a few kilobytes; anything far larger is no program file.
inline constexpr qint64 ProgrammDateiMaxGroesse = 64 * 1024;

// Lines beginning with "##HEAD", "##/HEAD", "##BODY" and "##/BODY", in this order.
bool IstProgrammText(QByteArrayView text);
// The bytes of a program file as the text form wants them: CR dropped, every line (a last
// one without line end too) followed by CR LF. The bytes stay in their code page.
QByteArray ProgrammTextAusDatei(QByteArrayView bytes);

enum class TProgrammDateiErgebnis { Gelesen, Lesefehler, KeinProgramm };
// Reads the program file `pfad` into `rec`, which changes only when the file held a program.
// `grund` receives the system's reason of a read error.
TProgrammDateiErgebnis ProgrammDateiEinlesen(const QString &pfad, TBackprogramm &rec, QString *grund = nullptr);
// Writes `rec` in its text form as the program file `pfad`, replacing an old one whole.
bool ProgrammDateiSchreiben(const QString &pfad, const TBackprogramm &rec, QString *grund = nullptr);

// True when the extension of the file name, in upper case, is `endung` (".XQR").
bool HatEndung(const QString &name, const QString &endung);
// The name with its extension replaced by `endung`, or `endung` appended when it has none.
QString EndungAendern(const QString &name, const QString &endung);
// The file name proposed for a program: its name (lines joined by CR LF) made one line; a
// folder separator in it becomes "_", so the proposal never names a folder.
QString ProgrammDateiVorschlag(const QString &programmName);
// The folder of a chosen file in the notation of BPrgXQDir (native, no separator at the end).
QString DateiOrdner(const QString &datei);

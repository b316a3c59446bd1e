#pragma once
// The program in a process of its own, for the figures that need a fresh start or a process
// whose every stall and CPU second is the program's: the benchmark starts itself with
// "--kind <name>" (or the bare comparison program) as a child; a child builds its own
// QApplication and the windows as the program entry does, with its folder and settings in a
// temporary folder, and prints one "ergebnis" line. The parent serves its stand-ins meanwhile.
#include "app/Dialoge.h"

#include <QHostAddress>
#include <QList>
#include <QString>
#include <QStringList>
#include <functional>

class TwKelvor;

// ---- parent side ------------------------------------------------------------------------

// Where one scenario runs: the program's answer server on `pc`, the controller on
// `steuerung`, both on `port`.
struct TOrt
{
    QHostAddress pc;
    QHostAddress steuerung;
    quint16 port = 0;
};
// Loopback addresses of scenario `nr` alone (127.77.nr.1 the program, 127.77.nr.2 the
// controller) and a port of 2600..2699 free on both; port 0 when there is none.
TOrt OrtSuchen(int nr);
// The address as the program's address edit keeps it ("127.077.001.002").
QString AdressText(const QHostAddress &adresse);

struct TKind
{
    QString Programm;
    // "@t0" is replaced by MonotonNs() at the moment the child is started.
    QStringList Argumente;
    // The child's answer server listens here only (none: the program's default).
    QHostAddress Lauschen;
    // After the run: the fields of the child's "ergebnis" line, and why it failed.
    QStringList Ergebnis;
    QString Fehler;
};
// The benchmark itself and the bare comparison program.
QString BenchProgramm();
QString LeerProgramm();
// Starts the children together and runs this process's event loop until all have ended;
// false when one did not end within `grenzeMs`, failed or reported nothing (its Fehler says).
bool KinderLaufen(const QList<TKind *> &kinder, int grenzeMs);
// Arguments of a program child: the scenario's folder and where its link sends.
QStringList ProgrammArgumente(const QString &ordner, const TOrt &ort);

// ---- child side -------------------------------------------------------------------------

// Boxes of a child: modal ones are refused and counted, the others counted and left open.
class TKindDialoge : public TDialogHook
{
public:
    int Modal = 0;
    int Boxen = 0;
    QMessageBox::StandardButton answerBox(const TBoxRequest &r) override;
    QStringList answerFile(const TFileRequest &) override { return ++Modal, QStringList(); }
    void boxShown(const TBoxRequest &) override { ++Boxen; }
    int answerDialog(QDialog *) override;
};

// The arguments of ProgrammArgumente, read back in the child (argv from position 3 on).
struct TProgrammOrt
{
    QString Ordner;
    QString Adresse;
    int Port = 0;
    // The arguments after them.
    QStringList Rest;
};
TProgrammOrt ProgrammOrtLesen(int argc, char **argv);
// The program folder and the settings store below the scenario's folder, as the tests'
// environment sets them, and the connection values in the settings.
void ProgrammOrtSetzen(const TProgrammOrt &ort, bool einstellungenSchreiben);
// The program entry's steps after the application object: folder table, title and the eight
// windows with the command-line `worte`, the main window shown; `sichtbar` runs once it is on
// screen (TSichtbarMelder).
TwKelvor *ProgrammStarten(const TProgrammOrt &ort, const QStringList &worte, std::function<void()> sichtbar);

#pragma once
// Gives windows the texts of the language chosen in the registry, from the language files in
// the folder "Lang" beside the program, or collects their German texts for translators.
//
// Language files are 8-bit INI text. The German side ("MASTER.LANG", "MASTER.IGNORE" and the
// missing entries "_Missing." + language, which hold German texts) is Windows-1252 in every
// mode; a language's own file "Master." + language is Windows-1251 while the Cyrillic mode is
// on. They follow the profile rules of IniDatei.h, with these
// differences of use: a lookup never writes; "Master." + language and "MASTER.IGNORE" belong
// to the translators and are never written; a write replaces a value where it stands and
// keeps comments and blank lines. A file that begins with a UTF-8 byte-order mark is UTF-8
// text and stays so when written. The folder and the file names are found without regard to
// letter case ("Master.Espanol" for the language "espanol"), as on the platform the files
// come from.
#include <QCoreApplication>
#include <QString>
#include <QStringList>
#include <stdexcept>

class QWidget;

// ---- engine state --------------------------------------------------------------------------
// Registry key path below the current user that holds the value "Sprache".
extern QString LangKey;
extern QString Sprache;
// Collecting mode: texts and missing entries are written to the language files.
extern bool SprachInit;
// Class name of the window processed last; AddToMaster writes under it.
extern QString Section;

// A language file that cannot be written.
class TSprachDateiFehler : public std::runtime_error
{
public:
    using std::runtime_error::runtime_error;
};

// Reads the language from the registry and the collecting switch from the command line, and
// loads Qt's own translation of that language where Qt has one (QtUebersetzungLaden).
// The key path "SOFTWARE\<organisation>\<application>\<group...>" maps to OpenRegistry
// (organisation, application) and the settings group below it, so the main window's
// "SOFTWARE\Torvik\Kelvor\Sprache" reads the value "Sprache/Sprache" of Torvik / Kelvor.
void InitTranslate(const QString &keyPath, const QStringList &commandLine = QCoreApplication::arguments());

// Leaves, collects or translates the windows of this class that have not been processed yet.
// Each language file is read once per call: the window's texts see the files as they stand
// when the call begins, with the call's own writes.
// Each window is processed once: the call from its creation never touches an older window of
// the same class, whose labels may by then hold a message. A language file that cannot be
// written ends that window's processing (its remaining texts stay German), goes to the error
// file and shows one non-modal message; it never reaches the caller.
void TranslateForm(const QString &className);

// The text to show for one key. Throws TSprachDateiFehler when a missing entry cannot be recorded.
QString TranslateText(const QString &section, const QString &key, const QString &language, const QString &text);
// Records one German text under Section in "MASTER.LANG". Throws TSprachDateiFehler on a failed write.
void AddToMaster(const QString &key, const QString &text);
bool DirExists(const QString &path);

// The folder "Lang" beside the program, with a trailing separator.
QString LangDir();
// A key extended with "_" to 30 characters.
QString PadKey(const QString &key);
// CR LF (and a lone LF, as Qt widgets hold line breaks) become "°°"; "°°" reads back as LF.
QString EncodeLineBreaks(const QString &text);
QString DecodeLineBreaks(const QString &text);
// The run-time integer test: optional leading blanks, sign, decimal digits (leading zeros stay
// decimal) or hex digits after "$", "x", "X", "0x" or "0X", nothing after them, 32-bit signed;
// and a value other than `fallback`.
bool IsWholeNumber(const QString &text, int fallback);

// ---- windows ------------------------------------------------------------------------------------
// What a translated window does, so that the walk finds its components in the order it created
// them (that order decides the order of the entries in the files, what is done before a
// failure stops the walk, and which of two results stays):
// - It creates every component with its parent (the window, or a panel, group box, tab page
//   or scroll area inside it) and names it (objectName) at once, in the order of its layout.
//   The walk follows QObject::children() depth first, which holds that order; it takes named
//   objects only (never "qt_..."), does not enter controls (their inner parts are Qt's) and
//   does not enter other windows. A widget made without parent takes its place when it gets
//   one (addTab, setCentralWidget, a layout). Nothing is raised, lowered or moved to another
//   parent before TranslateForm, since Qt then moves it to another place among its siblings.
// - A menu bar is a named QMenuBar child of the window (QMainWindow::menuBar() and a name);
//   a pop-up menu is a named QMenu with the window (or a widget inside it) as parent, though
//   Qt makes it a window of its own. Each comes where the window created it.
// - Menu items are QActions added to their menu, each named after its item; the walk follows
//   the menu's own item order, depth first, hidden items included. A submenu is a QMenu added
//   with addMenu; its item takes the name of its menuAction(), or else the QMenu's own.
//   Separators need no name and are skipped; an item without a name keeps its texts.
// - A file dialog is a TDateiDialog with the window as parent, named (OpenDialog, SaveDialog).
// - Hints are tool tips throughout (the window's, each component's, each item's, each page's).
// - The constructor calls RegisterWindow(this) and, last, TranslateForm with the class name.
// Kinds of control and their Qt classes, in the order of the tests (a component that fits two
// is handled twice; the match is by kind, so subclasses count): menu (QMenuBar, pop-up QMenu),
// label (QLabel), edit (QLineEdit without input mask), button (QPushButton, TChangeButton),
// check box, radio button, list box (QListWidget), combo box, group box (QGroupBox, not
// TRadioGroup), radio group (TRadioGroup), panel (exactly QFrame, caption in the property
// "caption"), status bar (QStatusBar, panels of TStatusBar), string grid rows and columns
// (TStringGrid), data grid (QTableView other than QTableWidget, column titles of its model),
// speed button (QToolButton), open and save dialog (TDateiDialog), scroll bar (QScrollBar),
// page control (QTabWidget, keys named after each page). Anything else (memos, masked edits,
// spin boxes, progress bars, timers, actions outside menus) is left out; a control of a kind
// that is left out (up-down arrows, say) is built so that it stays out: a spin box, or a named
// plain QWidget whose arrow buttons have no names.

// Every window that translates itself registers in its constructor, before TranslateForm;
// windows are found in the order of registration and by their exact class name.
void RegisterWindow(QWidget *window);
// Counts the windows of the class as processed without touching them (nothing to translate).
void SkipPendingWindows(const QString &section);

// Walks over the unprocessed windows of the class `section` (see TranslateForm).
void CollectForm(const QString &section);
void TranslateFormTexts(const QString &section, const QString &language);
void CollectComponents(QWidget *window);
void TranslateComponents(QWidget *window, const QString &section, const QString &language);

#pragma once
// Every message box and file dialog of the program goes through here, so that a test
// can answer them in advance and no test ever waits on a modal window.
#include <QMessageBox>
#include <QObject>
#include <QString>
#include <QStringList>
#include <memory>

class QDialog;
class QFileDialog;
class QWidget;

enum class TBoxKind { Information, Warning, Critical, Question };

struct TBoxRequest {
    TBoxKind kind = TBoxKind::Information;
    QString caption;
    QString text;
    QMessageBox::StandardButtons buttons = QMessageBox::Ok;
    bool modal = true;
};

enum class TFileDialogKind { Open, OpenMany, Save, Directory };

struct TFileRequest {
    TFileDialogKind kind = TFileDialogKind::Open;
    QString caption;
    QString directory;
    // Qt's form: "Text (*.A *.a);;Other (*)".
    QString filter;
    // Without the dot; appended to a saved name typed without extension.
    QString defaultSuffix;
    // The file name proposed in a save dialog.
    QString fileName;
    // A save dialog asks before it overwrites an existing file.
    bool overwritePrompt = true;
    // The filter chosen when the dialog opens, counted from 1; 0 for the first.
    int filterIndex = 0;
};

// Test seam: when set, modal requests are answered by the hook instead of a window;
// non-modal boxes are reported to it and still shown as real widgets.
class TDialogHook
{
public:
    virtual ~TDialogHook() = default;
    virtual QMessageBox::StandardButton answerBox(const TBoxRequest &request) = 0;
    // An empty list stands for a cancelled dialog.
    virtual QStringList answerFile(const TFileRequest &request) = 0;
    virtual void boxShown(const TBoxRequest &request) = 0;
    // A modal window of the program's own or the printer set-up: the hook may set its
    // controls; returns QDialog::Accepted or QDialog::Rejected.
    virtual int answerDialog(QDialog *dialog) = 0;
};

void SetDialogHook(TDialogHook *hook);
TDialogHook *DialogHook();

// Modal box; returns the button pressed.
QMessageBox::StandardButton ShowMessageBox(QWidget *parent, TBoxKind kind, const QString &caption,
                                           const QString &text,
                                           QMessageBox::StandardButtons buttons = QMessageBox::Ok);
// Non-modal box that deletes itself when closed; returns at once.
QMessageBox *ShowMessageBoxNonModal(QWidget *parent, TBoxKind kind, const QString &caption,
                                    const QString &text);
// Reports a box that a window of our own (such as the timed box) shows itself.
void NotifyBoxShown(const TBoxRequest &request);

QString AskOpenFileName(QWidget *parent, const QString &caption, const QString &dir, const QString &filter);
QStringList AskOpenFileNames(QWidget *parent, const QString &caption, const QString &dir, const QString &filter);
QString AskSaveFileName(QWidget *parent, const QString &caption, const QString &dir, const QString &filter);
QString AskDirectory(QWidget *parent, const QString &caption, const QString &dir);
// Any file request as it stands; an empty list stands for a cancelled dialog.
QStringList AskFiles(QWidget *parent, const TFileRequest &request);

// The box and the file dialog as the calls above build them before they run them, so that a
// test can read their texts without running them.
std::unique_ptr<QMessageBox> MessageBoxBauen(QWidget *parent, const TBoxRequest &request);
std::unique_ptr<QFileDialog> DateiDialogBauen(QWidget *parent, const TFileRequest &request);

// Runs a modal window (the program's own, or a QPrintDialog); returns QDialog's result.
int RunModalDialog(QDialog *dialog);

// The filter in the stored form "Text|*.XQP|Other|*.*" as Qt's file dialogs want it; each
// pattern matches upper and lower case alike ("x.xqp" shows under "*.XQP").
QString QtDateiFilter(const QString &stored);

// A file dialog as a named object of its window: it keeps its title, filter (stored form, so
// the translation can replace it), default extension and proposed name between runs and is
// turned into a request only when it opens.
class TDateiDialog : public QObject
{
    Q_OBJECT
public:
    enum TArt { Oeffnen, Speichern };
    explicit TDateiDialog(TArt art, QObject *parent = nullptr) : QObject(parent), Art(art) {}

    TArt Art;
    QString Title;
    QString Filter;
    QString DefaultExt;
    QString InitialDir;
    // The proposed name before a run, the (first) chosen file after one.
    QString FileName;
    bool MultiSelect = false;
    bool OverwritePrompt = false;
    // The filter chosen when the dialog opens, counted from 1; 0 for the first.
    int FilterIndex = 0;
    // Saving: the default extension goes onto every chosen name that does not end in it. Qt
    // adds it only to a name without any, and "Woche 12.2024" has one.
    bool EndungErzwingen = false;
    // Every chosen file, in the order the dialog gave them.
    QStringList Files;

    TFileRequest Anfrage() const;
    // False when cancelled; FileName and Files then stay as they were.
    bool Execute(QWidget *parent);
};

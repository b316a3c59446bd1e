#pragma once
// Every message box and file dialog of the program goes through here, so that a test
// can answer them in advance and no test ever waits on a modal window.
#include <QMessageBox>
#include <QString>
#include <QStringList>

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
    QString filter;
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

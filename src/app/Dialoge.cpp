#include "app/Dialoge.h"

#include <QFileDialog>

namespace {
TDialogHook *g_hook = nullptr;

QMessageBox::Icon iconFor(TBoxKind kind)
{
    switch (kind) {
    case TBoxKind::Information: return QMessageBox::Information;
    case TBoxKind::Warning: return QMessageBox::Warning;
    case TBoxKind::Critical: return QMessageBox::Critical;
    case TBoxKind::Question: return QMessageBox::Question;
    }
    return QMessageBox::NoIcon;
}

QStringList askFile(QWidget *parent, const TFileRequest &r)
{
    if (g_hook)
        return g_hook->answerFile(r);
    switch (r.kind) {
    case TFileDialogKind::Open: {
        const QString f = QFileDialog::getOpenFileName(parent, r.caption, r.directory, r.filter);
        return f.isEmpty() ? QStringList() : QStringList{f};
    }
    case TFileDialogKind::OpenMany:
        return QFileDialog::getOpenFileNames(parent, r.caption, r.directory, r.filter);
    case TFileDialogKind::Save: {
        const QString f = QFileDialog::getSaveFileName(parent, r.caption, r.directory, r.filter);
        return f.isEmpty() ? QStringList() : QStringList{f};
    }
    case TFileDialogKind::Directory: {
        const QString f = QFileDialog::getExistingDirectory(parent, r.caption, r.directory);
        return f.isEmpty() ? QStringList() : QStringList{f};
    }
    }
    return {};
}
} // namespace

void SetDialogHook(TDialogHook *hook) { g_hook = hook; }
TDialogHook *DialogHook() { return g_hook; }

QMessageBox::StandardButton ShowMessageBox(QWidget *parent, TBoxKind kind, const QString &caption,
                                           const QString &text, QMessageBox::StandardButtons buttons)
{
    const TBoxRequest r{kind, caption, text, buttons, true};
    if (g_hook)
        return g_hook->answerBox(r);
    QMessageBox box(iconFor(kind), caption, text, buttons, parent);
    return QMessageBox::StandardButton(box.exec());
}

QMessageBox *ShowMessageBoxNonModal(QWidget *parent, TBoxKind kind, const QString &caption,
                                    const QString &text)
{
    const TBoxRequest r{kind, caption, text, QMessageBox::Ok, false};
    if (g_hook)
        g_hook->boxShown(r);
    auto *box = new QMessageBox(iconFor(kind), caption, text, QMessageBox::Ok, parent);
    box->setAttribute(Qt::WA_DeleteOnClose);
    box->setModal(false);
    box->show();
    return box;
}

void NotifyBoxShown(const TBoxRequest &request)
{
    if (g_hook)
        g_hook->boxShown(request);
}

QString AskOpenFileName(QWidget *parent, const QString &caption, const QString &dir, const QString &filter)
{
    return askFile(parent, {TFileDialogKind::Open, caption, dir, filter}).value(0);
}

QStringList AskOpenFileNames(QWidget *parent, const QString &caption, const QString &dir, const QString &filter)
{
    return askFile(parent, {TFileDialogKind::OpenMany, caption, dir, filter});
}

QString AskSaveFileName(QWidget *parent, const QString &caption, const QString &dir, const QString &filter)
{
    return askFile(parent, {TFileDialogKind::Save, caption, dir, filter}).value(0);
}

QString AskDirectory(QWidget *parent, const QString &caption, const QString &dir)
{
    return askFile(parent, {TFileDialogKind::Directory, caption, dir, QString()}).value(0);
}

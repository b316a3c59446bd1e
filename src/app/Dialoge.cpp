#include "app/Dialoge.h"

#include <QDialog>
#include <QFileDialog>
#include <QFileInfo>
#include <QRegularExpression>

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
    const std::unique_ptr<QFileDialog> dialog = DateiDialogBauen(parent, r);
    if (dialog->exec() != QDialog::Accepted)
        return {};
    return dialog->selectedFiles();
}
TFileRequest request(TFileDialogKind kind, const QString &caption, const QString &dir, const QString &filter)
{
    TFileRequest r;
    r.kind = kind;
    r.caption = caption;
    r.directory = dir;
    r.filter = filter;
    return r;
}
} // namespace

std::unique_ptr<QMessageBox> MessageBoxBauen(QWidget *parent, const TBoxRequest &r)
{
    return std::make_unique<QMessageBox>(iconFor(r.kind), r.caption, r.text, r.buttons, parent);
}

std::unique_ptr<QFileDialog> DateiDialogBauen(QWidget *parent, const TFileRequest &r)
{
    auto dialog = std::make_unique<QFileDialog>(parent, r.caption, r.directory, r.filter);
    switch (r.kind) {
    case TFileDialogKind::Open: dialog->setFileMode(QFileDialog::ExistingFile); break;
    case TFileDialogKind::OpenMany: dialog->setFileMode(QFileDialog::ExistingFiles); break;
    case TFileDialogKind::Save:
        dialog->setAcceptMode(QFileDialog::AcceptSave);
        dialog->setFileMode(QFileDialog::AnyFile);
        dialog->setOption(QFileDialog::DontConfirmOverwrite, !r.overwritePrompt);
        if (!r.fileName.isEmpty())
            dialog->selectFile(r.fileName);
        break;
    case TFileDialogKind::Directory:
        dialog->setFileMode(QFileDialog::Directory);
        dialog->setOption(QFileDialog::ShowDirsOnly, true);
        break;
    }
    if (!r.defaultSuffix.isEmpty())
        dialog->setDefaultSuffix(r.defaultSuffix);
    if (const QStringList filters = r.filter.split(QStringLiteral(";;")); r.filterIndex > 0 && r.filterIndex <= filters.size())
        dialog->selectNameFilter(filters.at(r.filterIndex - 1));
    return dialog;
}

void SetDialogHook(TDialogHook *hook) { g_hook = hook; }
TDialogHook *DialogHook() { return g_hook; }

QMessageBox::StandardButton ShowMessageBox(QWidget *parent, TBoxKind kind, const QString &caption,
                                           const QString &text, QMessageBox::StandardButtons buttons)
{
    const TBoxRequest r{kind, caption, text, buttons, true};
    if (g_hook)
        return g_hook->answerBox(r);
    return QMessageBox::StandardButton(MessageBoxBauen(parent, r)->exec());
}

QMessageBox *ShowMessageBoxNonModal(QWidget *parent, TBoxKind kind, const QString &caption,
                                    const QString &text)
{
    const TBoxRequest r{kind, caption, text, QMessageBox::Ok, false};
    if (g_hook)
        g_hook->boxShown(r);
    auto *box = MessageBoxBauen(parent, r).release();
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
    return askFile(parent, request(TFileDialogKind::Open, caption, dir, filter)).value(0);
}

QStringList AskOpenFileNames(QWidget *parent, const QString &caption, const QString &dir, const QString &filter)
{
    return askFile(parent, request(TFileDialogKind::OpenMany, caption, dir, filter));
}

QString AskSaveFileName(QWidget *parent, const QString &caption, const QString &dir, const QString &filter)
{
    return askFile(parent, request(TFileDialogKind::Save, caption, dir, filter)).value(0);
}

QString AskDirectory(QWidget *parent, const QString &caption, const QString &dir)
{
    return askFile(parent, request(TFileDialogKind::Directory, caption, dir, QString())).value(0);
}

QStringList AskFiles(QWidget *parent, const TFileRequest &request) { return askFile(parent, request); }

int RunModalDialog(QDialog *dialog)
{
    if (g_hook)
        return g_hook->answerDialog(dialog);
    return dialog->exec();
}

QString QtDateiFilter(const QString &stored)
{
    const QStringList parts = stored.split(QLatin1Char('|'));
    QStringList filters;
    for (int i = 0; i + 1 < parts.size(); i += 2) {
        const QString text = parts[i];
        QStringList patterns;
        for (const QString &p : parts[i + 1].split(QLatin1Char(';'), Qt::SkipEmptyParts)) {
            const QString q = p.trimmed();
            patterns << q;
            for (const QString &v : {q.toUpper(), q.toLower()})
                if (!patterns.contains(v))
                    patterns << v;
        }
        // Qt reads the patterns from the last parentheses, so the text's own "(*.XQP)" goes.
        QString shown = text;
        shown.remove(QRegularExpression(QStringLiteral("\\s*\\([^()]*\\)\\s*$")));
        filters << shown + QStringLiteral(" (") + patterns.join(QLatin1Char(' ')) + QLatin1Char(')');
    }
    return filters.join(QStringLiteral(";;"));
}

TFileRequest TDateiDialog::Anfrage() const
{
    TFileRequest r;
    r.kind = Art == Speichern ? TFileDialogKind::Save
                              : (MultiSelect ? TFileDialogKind::OpenMany : TFileDialogKind::Open);
    r.caption = Title;
    r.directory = InitialDir;
    r.filter = QtDateiFilter(Filter);
    r.defaultSuffix = DefaultExt;
    r.fileName = FileName;
    r.overwritePrompt = OverwritePrompt;
    r.filterIndex = FilterIndex;
    return r;
}

bool TDateiDialog::Execute(QWidget *parent)
{
    QStringList chosen = askFile(parent, Anfrage());
    if (chosen.isEmpty())
        return false;
    if (Art == Speichern && EndungErzwingen && !DefaultExt.isEmpty()) {
        const QString endung = QLatin1Char('.') + DefaultExt;
        QString &name = chosen.first();
        if (!name.endsWith(endung, Qt::CaseInsensitive)) {
            name += endung;
            // The dialog asked about the name without the extension, not about this one.
            if (OverwritePrompt && QFileInfo::exists(name)
                && ShowMessageBox(parent, TBoxKind::Question, Title.isEmpty() ? QStringLiteral("Speichern unter") : Title,
                                  QStringLiteral("%1 existiert bereits.\r\nSoll die Datei ersetzt werden?")
                                      .arg(QFileInfo(name).fileName()),
                                  QMessageBox::Yes | QMessageBox::No)
                       != QMessageBox::Yes)
                return false;
        }
    }
    Files = chosen;
    FileName = chosen.first();
    return true;
}

#include "support/TestUmgebung.h"

#include "app/QtSprache.h"
#include "app/Registry.h"
#include "app/Sammlung.h"
#include "app/Zeitgeber.h"

#include <QCoreApplication>
#include <QDialog>
#include <QDir>
#include <QFile>

namespace {
// Qt's own texts in German from the application object on, as the program entry loads them.
void qtDeutsch() { QtUebersetzungLaden(); }
} // namespace
Q_COREAPP_STARTUP_FUNCTION(qtDeutsch)

QMessageBox::StandardButton TTestDialoge::answerBox(const TBoxRequest &request)
{
    m_shown.append(request);
    if (waehrendBox)
        waehrendBox(request);
    if (m_boxAnswers.empty()) {
        ++m_unexpected;
        qWarning("unexpected modal box: %s / %s", qPrintable(request.caption), qPrintable(request.text));
        return QMessageBox::Cancel;
    }
    const auto a = m_boxAnswers.front();
    m_boxAnswers.pop_front();
    return a;
}

QStringList TTestDialoge::answerFile(const TFileRequest &request)
{
    m_fileRequests.append(request);
    if (m_fileAnswers.empty()) {
        ++m_unexpected;
        qWarning("unexpected file dialog: %s", qPrintable(request.caption));
        return {};
    }
    const auto a = m_fileAnswers.front();
    m_fileAnswers.pop_front();
    return a;
}

int TTestDialoge::answerDialog(QDialog *dialog)
{
    m_dialogs.append(dialog->objectName());
    if (m_dialogAnswers.empty()) {
        ++m_unexpected;
        qWarning("unexpected modal window: %s", qPrintable(dialog->objectName()));
        return QDialog::Rejected;
    }
    const auto a = std::move(m_dialogAnswers.front());
    m_dialogAnswers.pop_front();
    return a(dialog);
}

void TTestDialoge::clear()
{
    waehrendBox = nullptr;
    m_boxAnswers.clear();
    m_fileAnswers.clear();
    m_dialogAnswers.clear();
    m_dialogs.clear();
    m_shown.clear();
    m_fileRequests.clear();
    m_unexpected = 0;
}

TTestUmgebung::TTestUmgebung(double timeScale)
{
    QDir().mkpath(path(QStringLiteral("prog")));
    QDir().mkpath(path(QStringLiteral("registry")));
    SetProgramFile(path(QStringLiteral("prog")), QStringLiteral("kelvor"));
    ExeDir = QDir::toNativeSeparators(path(QStringLiteral("prog"))) + QDir::separator();
    SetRegistryFolder(path(QStringLiteral("registry")));
    SetTimeScale(timeScale);
    SetDialogHook(&m_dialoge);
}

TTestUmgebung::~TTestUmgebung()
{
    SetDialogHook(nullptr);
    SetTimeScale(1.0);
    SetProgramFile(QString(), QString());
}

QString TTestUmgebung::exeDir() const
{
    return QDir::toNativeSeparators(path(QStringLiteral("prog"))) + QDir::separator();
}

QString TTestUmgebung::path(const QString &relative) const
{
    return m_dir.filePath(relative);
}

QByteArray dateiLesen(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

bool dateiSchreiben(const QString &path, const QByteArray &bytes)
{
    QFile f(path);
    return f.open(QIODevice::WriteOnly | QIODevice::Truncate) && f.write(bytes) == bytes.size();
}

QByteArray heuteFehlerdatei(const QString &name)
{
    return dateiLesen(LogDayDir(QDate::currentDate()) + name + QStringLiteral(".err"));
}

QList<QByteArray> crLfZeilen(const QByteArray &bytes)
{
    if (!bytes.endsWith("\r\n") || bytes.count('\n') != bytes.count("\r\n") || bytes.count('\r') != bytes.count('\n'))
        return {};
    QList<QByteArray> lines = bytes.chopped(1).split('\n');
    for (QByteArray &l : lines)
        l.chop(1);
    return lines;
}

QByteArray alleBytes()
{
    QByteArray all(256, Qt::Uninitialized);
    for (int i = 0; i < 256; ++i)
        all[i] = char(i);
    return all;
}

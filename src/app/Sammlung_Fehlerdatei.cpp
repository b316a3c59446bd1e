// Day-folder error files and the time stamp of their lines.
#include "app/Sammlung.h"

#include "app/Codepage.h"
#include "app/Zahlformat.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QThread>

namespace {

// Only the GUI thread writes error files: the program runs no other thread (the link's sockets
// are asynchronous), so the writer takes no lock. A caller on another thread would have to
// hand its line to the GUI thread first.
[[maybe_unused]] bool onGuiThread()
{
    const QCoreApplication *app = QCoreApplication::instance();
    return !app || QThread::currentThread() == app->thread();
}

// Set while the information lines of a writer's own file name are written, so that a name
// which needs them again does not lead back into the writer without end.
bool g_writingInfo = false;

const QByteArray kCrLf("\r\n");

bool appendBytes(const QString &fileName, const QByteArray &bytes)
{
    QFile f(fileName);
    if (!f.open(QIODevice::WriteOnly | QIODevice::Append))
        return false;
    return f.write(bytes) == bytes.size() && f.flush();
}

QByteArray logLine(const QString &stamp, const QString &text)
{
    return StringToAnsi(stamp + QStringLiteral(": ") + text) + kCrLf;
}

void writeLine(const QString &name, const QString &text, qint64 maxBytes, QStringList &infoLines)
{
    const QDateTime now = QDateTime::currentDateTime();
    const QString dir = LogDayDir(now.date());
    QString fileName = dir + name + QStringLiteral(".err");
    // Cleaned once, before anything looks at the file, so that the size check, the new file
    // and the appended line all mean the same file.
    CheckFileName(fileName, infoLines);

    if (!QDir().mkpath(dir))
        return;

    if (QFileInfo::exists(fileName) && !text.isEmpty()) {
        QFile f(fileName);
        if (!f.open(QIODevice::ReadOnly))
            return;
        const qint64 size = f.size();
        f.close();
        if (maxBytes > 0 && size > maxBytes) {
            const QString backup = fileName + QStringLiteral(".BAK");
            if (QFileInfo::exists(backup) && !QFile::remove(backup))
                return;
            if (!QFile::rename(fileName, backup))
                return;
        }
    }

    const QString stamp = ZeitStempel(now);
    if (!QFileInfo::exists(fileName)) {
        QFile f(fileName);
        if (!f.open(QIODevice::WriteOnly | QIODevice::Truncate))
            return;
        f.close();
        if (!appendBytes(fileName, logLine(stamp, QStringLiteral("Vantrel2004 Error File created.")) + kCrLf))
            return;
    }
    if (!text.isEmpty())
        appendBytes(fileName, logLine(stamp, text));
}

// Name of the program file without its extension; the extension is cut from its first
// occurrence on, as the sibling program does it.
QString programBaseName()
{
    const QString file = ProgramFileName();
    // The Linux program file has no extension and is spelt in lower case; its lines belong
    // with the main window's in "Kelvor.err".
    if (file == QLatin1String("kelvor"))
        return QStringLiteral("Kelvor");
    const qsizetype dot = file.lastIndexOf(QLatin1Char('.'));
    if (dot <= 0)
        return file;
    const QString base = file.left(file.indexOf(file.mid(dot)));
    return base.isEmpty() ? file : base;
}

} // namespace

QString ZeitStempel(const QDateTime &when)
{
    const QDate d = when.date();
    QString s = QString::fromLatin1(FormatDec(d.day(), 2) + '.' + FormatDec(d.month(), 2) + '.'
                                    + FormatDec(d.year(), 4));
    const QTime t = when.time();
    if (t != QTime(0, 0))
        s += QString::fromLatin1(' ' + FormatDec(t.hour(), 2) + ':' + FormatDec(t.minute(), 2) + ':'
                                 + FormatDec(t.second(), 2));
    return s;
}

QString LogDayDir(const QDate &day)
{
    const int weekday = day.isValid() ? day.dayOfWeek() : 0;
    const char *folder = LogTagNamen[(weekday >= 1 && weekday <= 7) ? weekday : 0];
    const QChar sep = QDir::separator();
    return ExeDir + QStringLiteral("log") + sep + QLatin1String(folder) + sep;
}

void WriteDayLog(const QString &name, const QString &text, qint64 maxBytes)
{
    Q_ASSERT(onGuiThread());
    QStringList infoLines;
    writeLine(name, text, maxBytes, infoLines);
    // Written only once the line itself is out: they go through this writer again.
    if (infoLines.isEmpty() || g_writingInfo)
        return;
    g_writingInfo = true;
    for (const QString &line : std::as_const(infoLines))
        WriteErrorLog(ErrLogName, line);
    g_writingInfo = false;
}

void WriteErrorLog(const QString &name, const QString &text)
{
    WriteDayLog(name.isEmpty() ? programBaseName() : name, text, MaxGroesseErr);
}

#include "app/IniDatei.h"

#include "app/Codepage.h"
#include "app/Dateischreiben.h"

#include <QFile>

namespace {

bool isAscii(const QByteArray &s)
{
    for (char c : s)
        if (static_cast<unsigned char>(c) >= 0x80)
            return false;
    return true;
}

// Names match without regard to case, letters of the whole code page included.
bool sameName(const QByteArray &a, const QByteArray &b)
{
    if (isAscii(a) && isAscii(b))
        return a.compare(b, Qt::CaseInsensitive) == 0;
    return AnsiToString(a).compare(AnsiToString(b), Qt::CaseInsensitive) == 0;
}

// "[name]", with anything after the bracket ignored under the profile rule.
bool headerName(const QByteArray &line, QByteArray *name, TKopfRegel regel)
{
    const QByteArray t = line.trimmed();
    if (!t.startsWith('['))
        return false;
    const qsizetype close = regel == TKopfRegel::GanzeZeile ? (t.endsWith(']') ? t.size() - 1 : -1)
                                                            : t.indexOf(']');
    if (close < 0)
        return false;
    if (name)
        *name = t.mid(1, close - 1).trimmed();
    return true;
}

bool keyLine(const QByteArray &line, QByteArray *key, QByteArray *value)
{
    const QByteArray t = line.trimmed();
    if (t.isEmpty() || t.startsWith(';'))
        return false;
    const qsizetype eq = t.indexOf('=');
    if (eq < 0)
        return false;
    if (key)
        *key = t.left(eq).trimmed();
    if (value)
        *value = t.mid(eq + 1).trimmed();
    return true;
}

struct TBereich
{
    qsizetype header = -1; // index of the header line, -1 when the section is missing
    qsizetype end = -1;    // index of the next header, or the number of lines
};

// The first section of that name; later ones of the same name are never read.
TBereich findSection(const QList<QByteArray> &lines, const QByteArray &section, TKopfRegel regel)
{
    TBereich b;
    QByteArray name;
    for (qsizetype i = 0; i < lines.size(); ++i) {
        if (!headerName(lines[i], &name, regel))
            continue;
        if (b.header >= 0) {
            b.end = i;
            return b;
        }
        if (sameName(name, section))
            b.header = i;
    }
    if (b.header >= 0)
        b.end = lines.size();
    return b;
}

qsizetype findKey(const QList<QByteArray> &lines, const TBereich &b, const QByteArray &key,
                  QByteArray *value)
{
    QByteArray k;
    for (qsizetype i = b.header + 1; i < b.end; ++i)
        if (keyLine(lines[i], &k, value) && sameName(k, key))
            return i;
    return -1;
}

} // namespace

TIniDatei TIniDatei::fromBytes(const QByteArray &bytes, TKopfRegel regel)
{
    TIniDatei ini(regel);
    qsizetype start = 0;
    while (start < bytes.size()) {
        qsizetype nl = bytes.indexOf('\n', start);
        const bool last = nl < 0;
        if (last)
            nl = bytes.size();
        qsizetype end = nl;
        if (end > start && bytes[end - 1] == '\r')
            --end;
        ini.m_lines.append(bytes.mid(start, end - start));
        start = nl + 1;
    }
    return ini;
}

QByteArray TIniDatei::toBytes() const
{
    QByteArray out;
    for (const QByteArray &line : m_lines) {
        out += line;
        out += "\r\n";
    }
    return out;
}

bool TIniDatei::load(const QString &path, QByteArray *bytes)
{
    m_lines.clear();
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return false;
    const QByteArray all = f.readAll();
    if (f.error() != QFileDevice::NoError)
        return false;
    m_lines = fromBytes(all).m_lines;
    if (bytes)
        *bytes = all;
    return true;
}

bool TIniDatei::isHeader(const QByteArray &line, QByteArray *name) const
{
    return headerName(line, name, m_regel);
}

bool TIniDatei::save(const QString &path, QString *error) const
{
    return WriteFileAtomic(path, toBytes(), error);
}

bool TIniDatei::hasSection(const QByteArray &section) const
{
    return findSection(m_lines, section, m_regel).header >= 0;
}

bool TIniDatei::hasKey(const QByteArray &section, const QByteArray &key) const
{
    return findValue(section, key, nullptr);
}

bool TIniDatei::findValue(const QByteArray &section, const QByteArray &key, QByteArray *value) const
{
    const TBereich b = findSection(m_lines, section, m_regel);
    if (b.header < 0)
        return false;
    return findKey(m_lines, b, key, value) >= 0;
}

QByteArray TIniDatei::readString(const QByteArray &section, const QByteArray &key,
                                 const QByteArray &def) const
{
    QByteArray v;
    if (!findValue(section, key, &v))
        return def;
    if (v.size() >= 2 && (v.front() == '"' || v.front() == '\'') && v.back() == v.front())
        v = v.mid(1, v.size() - 2);
    return v;
}

void TIniDatei::writeString(const QByteArray &section, const QByteArray &key, const QByteArray &value)
{
    const QByteArray line = key + '=' + value;
    const TBereich b = findSection(m_lines, section, m_regel);
    if (b.header < 0) {
        if (!m_lines.isEmpty() && !m_lines.back().trimmed().isEmpty())
            m_lines.append(QByteArray());
        m_lines.append('[' + section + ']');
        m_lines.append(line);
        return;
    }
    const qsizetype at = findKey(m_lines, b, key, nullptr);
    if (at >= 0) {
        m_lines[at] = line;
        return;
    }
    // After the section's last non-blank line, so blank lines between sections stay put.
    qsizetype insertAt = b.header + 1;
    for (qsizetype i = b.end - 1; i > b.header; --i) {
        if (!m_lines[i].trimmed().isEmpty()) {
            insertAt = i + 1;
            break;
        }
    }
    m_lines.insert(insertAt, line);
}

QList<QByteArray> TIniDatei::sections() const
{
    QList<QByteArray> out;
    QByteArray name;
    for (const QByteArray &line : m_lines) {
        if (!isHeader(line, &name))
            continue;
        bool seen = false;
        for (const QByteArray &s : std::as_const(out))
            seen = seen || sameName(s, name);
        if (!seen)
            out.append(name);
    }
    return out;
}

QList<QByteArray> TIniDatei::keys(const QByteArray &section) const
{
    QList<QByteArray> out;
    const TBereich b = findSection(m_lines, section, m_regel);
    QByteArray k;
    for (qsizetype i = b.header + 1; b.header >= 0 && i < b.end; ++i)
        if (keyLine(m_lines[i], &k, nullptr))
            out.append(k);
    return out;
}

TIniDatei TIniDatei::normalised() const
{
    TIniDatei out(m_regel);
    bool inSection = false;
    QByteArray name;
    for (const QByteArray &raw : m_lines) {
        const QByteArray t = raw.trimmed();
        if (t.isEmpty() || t.startsWith(';'))
            continue;
        if (isHeader(t, &name)) {
            if (inSection)
                out.m_lines.append(QByteArray());
            out.m_lines.append('[' + name + ']');
            inSection = true;
            continue;
        }
        if (!inSection)
            continue;
        const qsizetype eq = t.indexOf('=');
        if (eq < 0)
            out.m_lines.append(t);
        else
            out.m_lines.append(t.left(eq).trimmed() + '=' + t.mid(eq + 1).trimmed());
    }
    if (inSection)
        out.m_lines.append(QByteArray());
    return out;
}

QByteArray ProfilWert(const QByteArray &value)
{
    const bool umschlossen = value.size() >= 2 && (value.front() == '"' || value.front() == '\'')
                             && value.back() == value.front();
    if (value.trimmed() != value || umschlossen)
        return '"' + value + '"';
    return value;
}

QByteArray GetProfileString(const QString &file, const QByteArray &section, const QByteArray &key,
                            const QByteArray &def)
{
    TIniDatei ini;
    if (!ini.load(file))
        return def;
    return ini.readString(section, key, def);
}

bool WriteProfileString(const QString &file, const QByteArray &section, const QByteArray &key,
                        const QByteArray &value)
{
    TIniDatei ini;
    if (!ini.load(file) && QFile::exists(file))
        return false; // never replace a file that exists but cannot be read
    ini.writeString(section, key, value);
    return ini.save(file);
}

#pragma once
// 8-bit INI text (Windows-1252, CR LF) with the platform's profile-string rules: read one key
// with a default, write one key in place keeping every other line, comment and blank line;
// section and key names compared without regard to case.
#include <QByteArray>
#include <QList>
#include <QString>

// How a section header is told: the platform's profile calls take "[name]" and ignore what
// follows the bracket; the whole-file reader of the shared settings file takes only a line
// that is "[name]" after trimming, and any other line stays a line of its section.
enum class TKopfRegel { Profil, GanzeZeile };

class TIniDatei
{
public:
    explicit TIniDatei(TKopfRegel regel = TKopfRegel::Profil) : m_regel(regel) {}
    static TIniDatei fromBytes(const QByteArray &bytes, TKopfRegel regel = TKopfRegel::Profil);
    QByteArray toBytes() const;

    // False when the file is missing or unreadable (the object is then empty); `bytes`, when
    // given, receives the file as it stands.
    bool load(const QString &path, QByteArray *bytes = nullptr);
    // Whether `line` is a section header under this file's rule, and its name.
    bool isHeader(const QByteArray &line, QByteArray *name = nullptr) const;
    // Through a temporary file renamed over the old one.
    bool save(const QString &path, QString *error = nullptr) const;

    bool hasSection(const QByteArray &section) const;
    bool hasKey(const QByteArray &section, const QByteArray &key) const;
    // Surrounding blanks and one pair of enclosing quotes are removed, as the profile calls do.
    QByteArray readString(const QByteArray &section, const QByteArray &key, const QByteArray &def) const;
    // The value exactly as it stands after "=" (blanks around it removed, quotes kept);
    // false when the key is missing.
    bool findValue(const QByteArray &section, const QByteArray &key, QByteArray *value) const;
    // Replaces the value where it stands, or adds the key at the end of its section, or the
    // section at the end of the text.
    void writeString(const QByteArray &section, const QByteArray &key, const QByteArray &value);
    QList<QByteArray> sections() const;
    QList<QByteArray> keys(const QByteArray &section) const;

    // The text as a whole-file reader keeps and writes it back: lines trimmed; blank lines,
    // ";" lines and lines before the first section dropped; "key = value" as "key=value";
    // every section followed by one empty line.
    TIniDatei normalised() const;

    QList<QByteArray> &lines() { return m_lines; }
    const QList<QByteArray> &lines() const { return m_lines; }

private:
    QList<QByteArray> m_lines;
    TKopfRegel m_regel;
};

// The value as writeString must get it for readString to give it back: in quotes when blanks
// surround it or quotes enclose it, since reading takes both off; otherwise unchanged.
QByteArray ProfilWert(const QByteArray &value);

// One-key profile calls on a file, as the platform offers them.
QByteArray GetProfileString(const QString &file, const QByteArray &section, const QByteArray &key,
                            const QByteArray &def);
bool WriteProfileString(const QString &file, const QByteArray &section, const QByteArray &key,
                        const QByteArray &value);

#include "translate/translate.h"

#include "app/Codepage.h"
#include "app/Dateischreiben.h"
#include "app/Dialoge.h"
#include "app/IniDatei.h"
#include "app/QtSprache.h"
#include "app/Registry.h"
#include "app/Sammlung.h"
#include "app/Zahlformat.h"
#include "app/uKonstanten.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QRegularExpression>
#include <array>
#include <initializer_list>
#include <limits>

QString LangKey;
QString Sprache = QStringLiteral("Orginal(Deutsch)");
bool SprachInit = false;
QString Section;

namespace {
const QString kOriginal = QStringLiteral("Orginal(Deutsch)");
const QString kErrText = QStringLiteral("#ERR");
const QString kMasterLang = QStringLiteral("MASTER.LANG");
const QString kMasterIgnore = QStringLiteral("MASTER.IGNORE");
const QChar kGrad(0x00B0);

// The German side (the master file, the ignore list, the missing entries with their German
// texts) has no Cyrillic form: it is Windows-1252 in every mode. Only a language's own file
// follows the Cyrillic mode.
constexpr TCodepage kDeutsch = TCodepage::Windows1252;
TCodepage sprachCodepage() { return CyrillicMode ? TCodepage::Windows1251 : TCodepage::Windows1252; }

QString asciiUpper(QString s)
{
    for (QChar &c : s)
        if (c >= QLatin1Char('a') && c <= QLatin1Char('z'))
            c = QChar(c.unicode() - 32);
    return s;
}

const QByteArray kBom = QByteArrayLiteral("\xEF\xBB\xBF");

// Section and key names as the profile functions compare them: without regard to case, the
// letters of Windows-1252 included, whatever the file's own code page.
QString gefaltet(const QByteArray &name) { return AnsiToString(name).toCaseFolded(); }

// One language file as read: the value of every key of the first section of each name (the
// first key of a name counts), enclosing quotes taken off as the profile functions do. A file
// that begins with a UTF-8 byte-order mark is UTF-8 text, as editors save it on request.
struct TSprachDatei
{
    QHash<QString, QHash<QString, QByteArray>> werte;
    bool utf8 = false;
};

TSprachDatei einlesen(const QString &path)
{
    TSprachDatei d;
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return d;
    QByteArray bytes = f.readAll();
    if (f.error() != QFileDevice::NoError)
        return d;
    if (bytes.startsWith(kBom)) {
        bytes.remove(0, kBom.size());
        d.utf8 = true;
    }
    const TIniDatei ini = TIniDatei::fromBytes(bytes);
    QHash<QString, QByteArray> *abschnitt = nullptr;
    QByteArray name;
    for (const QByteArray &line : ini.lines()) {
        if (ini.isHeader(line, &name)) {
            const QString s = gefaltet(name);
            abschnitt = d.werte.contains(s) ? nullptr : &d.werte[s];
            continue;
        }
        const QByteArray t = line.trimmed();
        const qsizetype eq = t.indexOf('=');
        if (!abschnitt || t.startsWith(';') || eq < 0)
            continue;
        const QString key = gefaltet(t.left(eq).trimmed());
        if (abschnitt->contains(key))
            continue;
        QByteArray v = t.mid(eq + 1).trimmed();
        if (v.size() >= 2 && (v.front() == '"' || v.front() == '\'') && v.back() == v.front())
            v = v.mid(1, v.size() - 2);
        abschnitt->insert(key, v);
    }
    return d;
}

// While one window is translated each file is read once (a file of ordinary size holds
// thousands of lines and a window looks up hundreds of texts); the window sees the files as
// they were when its translation began, its own writes included.
struct TLesePuffer
{
    QHash<QString, TSprachDatei> dateien;
};
TLesePuffer *g_puffer = nullptr;

class TEinmalLesen
{
public:
    TEinmalLesen()
    {
        if (!g_puffer)
            g_puffer = &m_puffer;
    }
    ~TEinmalLesen()
    {
        if (g_puffer == &m_puffer)
            g_puffer = nullptr;
    }
    TEinmalLesen(const TEinmalLesen &) = delete;
    TEinmalLesen &operator=(const TEinmalLesen &) = delete;

private:
    TLesePuffer m_puffer;
};

// A file or folder of that name in `dir`, found without regard to letter case as the platform
// the files come from finds it (an exact match first); the name as given when there is none.
QString ohneGrossKlein(const QString &dir, const QString &name, QDir::Filters art)
{
    if (QFileInfo::exists(dir + name))
        return name;
    const QStringList eintraege = QDir(dir).entryList(art | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot);
    for (const QString &e : eintraege)
        if (e.compare(name, Qt::CaseInsensitive) == 0)
            return e;
    return name;
}

QString sprachPfad(const QString &file)
{
    const QString dir = LangDir();
    return dir + ohneGrossKlein(dir, file, QDir::Files);
}

// The stored text, or "#ERR" when there is none.
QString lookup(const QString &file, const QString &section, const QString &key, TCodepage cp = kDeutsch)
{
    TSprachDatei einzeln;
    const TSprachDatei *d = &einzeln;
    if (g_puffer) {
        auto it = g_puffer->dateien.find(file);
        if (it == g_puffer->dateien.end())
            it = g_puffer->dateien.insert(file, einlesen(sprachPfad(file)));
        d = &*it;
    } else {
        einzeln = einlesen(sprachPfad(file));
    }
    const auto bytes = [&](const QString &s) { return d->utf8 ? s.toUtf8() : StringToAnsi(s, cp); };
    const auto abschnitt = d->werte.constFind(gefaltet(bytes(section)));
    if (abschnitt == d->werte.cend())
        return kErrText;
    const auto wert = abschnitt->constFind(gefaltet(bytes(key)));
    if (wert == abschnitt->cend())
        return kErrText;
    return d->utf8 ? QString::fromUtf8(*wert) : AnsiToString(*wert, cp);
}

// Every key of one call goes into the file in one whole-file write, so a write cut short
// leaves all of them or none. A UTF-8 file keeps its mark and takes UTF-8.
void write(const QString &file, std::initializer_list<std::array<QString, 3>> eintraege)
{
    const QString path = sprachPfad(file);
    if (g_puffer)
        g_puffer->dateien.remove(file);
    TIniDatei ini;
    QByteArray alt;
    bool ok = ini.load(path, &alt) || !QFileInfo::exists(path); // never replace a file it cannot read
    const bool utf8 = alt.startsWith(kBom);
    if (utf8)
        ini = TIniDatei::fromBytes(alt.mid(kBom.size()));
    const auto bytes = [&](const QString &s) { return utf8 ? s.toUtf8() : StringToAnsi(s, kDeutsch); };
    for (const auto &[section, key, value] : eintraege)
        ini.writeString(bytes(section), bytes(key), ProfilWert(bytes(value)));
    if (!ok || !WriteFileAtomic(path, (utf8 ? kBom : QByteArray()) + ini.toBytes()))
        throw TSprachDateiFehler(QStringLiteral("In %1 kann nicht geschrieben werden").arg(path).toStdString());
}

void showM1()
{
    ShowMessageBoxNonModal(nullptr, TBoxKind::Critical, QStringLiteral("ERROR"),
                           QStringLiteral("Schlüssel \"LangKey\" für Sprachregistrierung muss noch zugewiesen werden!\r\n"
                                          "Bitte Software-Hersteller Kontaktieren.\r\n"
                                          "(Language-Error, please contact manufacturer.)"));
}

void showM2()
{
    ShowMessageBoxNonModal(nullptr, TBoxKind::Critical, QStringLiteral("ERROR"),
                           QStringLiteral("Das Sprachverzeichnis \"\\Lang\" wurde nicht gefunden!\r\n"
                                          "Default-Sprache wird geladen!\r\n"
                                          "Language-Directory \"\\Lang\" not found!\r\n"
                                          "Loading default language."));
}

bool collectable(const QString &coded)
{
    return coded != QLatin1String("-") && !IsWholeNumber(coded, -9999);
}
} // namespace

namespace {
void spracheLesen(const QString &keyPath, const QStringList &commandLine)
{
    SprachInit = false;
    for (const QString &word : commandLine)
        if (asciiUpper(word) == QLatin1String("SPRACHINIT"))
            SprachInit = true;
    LangKey = keyPath;
    Sprache = kOriginal;
    Section.clear();
    if (LangKey.isEmpty()) {
        showM1();
        return;
    }
    QStringList parts = LangKey.split(QRegularExpression(QStringLiteral("[\\\\/]")), Qt::SkipEmptyParts);
    if (!parts.isEmpty() && asciiUpper(parts.first()) == QLatin1String("SOFTWARE"))
        parts.removeFirst();
    const QString organisation = parts.value(0);
    const QString application = parts.value(1);
    const auto reg = OpenRegistry(organisation, application);
    const QString group = parts.mid(2).join(QLatin1Char('/'));
    if (!group.isEmpty())
        reg->beginGroup(group);
    // Present and empty means collecting, so presence is told apart from emptiness.
    if (reg->contains(QStringLiteral("Sprache")))
        Sprache = reg->value(QStringLiteral("Sprache")).toString();
}
} // namespace

void InitTranslate(const QString &keyPath, const QStringList &commandLine)
{
    spracheLesen(keyPath, commandLine);
    // Qt's own buttons and dialogs follow the chosen language where Qt has it.
    QtUebersetzungLaden(Sprache);
}

void TranslateForm(const QString &className)
{
    if (LangKey.isEmpty()) {
        SkipPendingWindows(className);
        showM1();
        return;
    }
    if (asciiUpper(Sprache) == asciiUpper(kOriginal)) {
        SkipPendingWindows(className);
        return;
    }
    if (!DirExists(LangDir())) {
        SkipPendingWindows(className);
        showM2();
        return;
    }
    Section = className;
    const TEinmalLesen einmal;
    if (Sprache.isEmpty())
        CollectForm(Section);
    else
        TranslateFormTexts(Section, Sprache);
}

QString TranslateText(const QString &section, const QString &key, const QString &language, const QString &text)
{
    QString k = key;
    bool marked = false;
    const int at = k.indexOf(QLatin1String("#spec#"));
    if (at >= 0) {
        k.remove(at, 6);
        marked = true;
    }
    k = PadKey(k);
    const TCodepage cp = sprachCodepage();
    const QString translated = lookup(QStringLiteral("Master.") + language, section, k, cp);
    if (lookup(kMasterIgnore, section, k) != kErrText)
        return marked ? QStringLiteral("#no#") + text : text;
    if (translated != kErrText)
        return DecodeLineBreaks(translated);

    if (SprachInit && !text.isEmpty()) {
        const QString missing = QStringLiteral("_Missing.") + language;
        const QString error = QStringLiteral("Error");
        const std::array<QString, 3> time{error, PadKey(language + QStringLiteral(".Time")), ZeitStempel(QDateTime::currentDateTime())};
        const std::array<QString, 3> comment{error, PadKey(language + QStringLiteral(".Comment")),
                                             QStringLiteral("Entry dosn't exist in ") + language};
        const QString coded = EncodeLineBreaks(text);
        if (collectable(coded))
            write(missing, {time, comment, {section, k, coded}});
        else
            write(missing, {time, comment});
    }
    return text;
}

void AddToMaster(const QString &key, const QString &text)
{
    if (!SprachInit || text.isEmpty())
        return;
    const QString coded = EncodeLineBreaks(text);
    const QString k = PadKey(key);
    if (lookup(kMasterLang, Section, k) == coded)
        return;
    if (lookup(kMasterIgnore, Section, k) != kErrText)
        return;
    if (!collectable(coded))
        return;
    write(kMasterLang, {{Section, k, coded}});
}

bool DirExists(const QString &path)
{
    return !path.isEmpty() && QFileInfo(path).isDir();
}

QString LangDir()
{
    return ExeDir + ohneGrossKlein(ExeDir, QStringLiteral("Lang"), QDir::Dirs) + QDir::separator();
}

QString PadKey(const QString &key)
{
    return key.size() >= 30 ? key : key + QString(30 - key.size(), QLatin1Char('_'));
}

QString EncodeLineBreaks(const QString &text)
{
    // A raw line break would split the entry in the file, so every form of one is coded.
    QString out;
    out.reserve(text.size());
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text[i];
        if (c == QLatin1Char('\r') && i + 1 < text.size() && text[i + 1] == QLatin1Char('\n')) {
            out += QString(2, kGrad);
            ++i;
        } else if (c == QLatin1Char('\n') || c == QLatin1Char('\r')) {
            out += QString(2, kGrad);
        } else {
            out += c;
        }
    }
    return out;
}

QString DecodeLineBreaks(const QString &text)
{
    QString out;
    out.reserve(text.size());
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (text[i] == kGrad && i + 1 < text.size() && text[i + 1] == kGrad) {
            out += QLatin1Char('\n');
            ++i;
        } else {
            out += text[i];
        }
    }
    return out;
}

bool IsWholeNumber(const QString &text, int fallback)
{
    qsizetype i = 0;
    const qsizetype n = text.size();
    while (i < n && text[i] == QLatin1Char(' '))
        ++i;
    const qsizetype signAt = i;
    bool negative = false;
    if (i < n && (text[i] == QLatin1Char('-') || text[i] == QLatin1Char('+'))) {
        negative = text[i] == QLatin1Char('-');
        ++i;
    }
    bool hex = false;
    if (i < n && (text[i] == QLatin1Char('$') || text[i] == QLatin1Char('x') || text[i] == QLatin1Char('X'))) {
        hex = true;
        ++i;
    } else if (i + 1 < n && text[i] == QLatin1Char('0')
               && (text[i + 1] == QLatin1Char('x') || text[i + 1] == QLatin1Char('X'))) {
        hex = true;
        i += 2;
    }
    if (i >= n)
        return false;

    qint64 value = 0;
    if (hex) {
        for (; i < n; ++i) {
            const int d = HexZiffer(text[i].unicode());
            if (d < 0)
                return false;
            value = value * 16 + d;
            if (value > qint64(std::numeric_limits<int>::max()) + 1)
                return false;
        }
        if (negative)
            value = -value;
        if (value > std::numeric_limits<int>::max())
            return false;
    } else {
        for (qsizetype j = i; j < n; ++j)
            if (text[j] < QLatin1Char('0') || text[j] > QLatin1Char('9'))
                return false;
        bool ok = false;
        value = ParseDec(text.mid(signAt).toLatin1(), fallback, &ok);
        if (!ok)
            return false;
    }
    return value != fallback;
}

// Language files in the folder "Lang": a language's own file gives the texts shown, and the
// German master file, as the collecting mode writes it, gives back the texts it was given.
#include "FuzzHilfe.h"

#include "app/Codepage.h"
#include "app/IniDatei.h"
#include "app/Sammlung.h"
#include "translate/translate.h"

#include <QDir>
#include <QFile>

namespace {

const QByteArray kErr("#ERR");

// Line breaks as the language files carry them: a lone CR is one as well.
QString umbrueche(QString s)
{
    s.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    s.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    return s;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    TFuzzEingabe e;
    if (!FuzzEingabeLesen(data, size, e))
        return 0;
    TTestUmgebung &env = FuzzUmgebung();
    const uint8_t modus = e.modus;
    const QByteArray &bytes = e.bytes;
    CyrillicMode = modus & 1;
    const TCodepage cp = CyrillicMode ? TCodepage::Windows1251 : TCodepage::Windows1252;
    QDir().mkpath(LangDir());
    FuzzDatei(QStringLiteral("Lang/Master.Fz"), bytes);
    FuzzDatei(QStringLiteral("Lang/MASTER.LANG"), bytes);
    // Bit 1: the same text is the ignore list too.
    QFile::remove(LangDir() + QStringLiteral("MASTER.IGNORE"));
    if (modus & 2)
        FuzzDatei(QStringLiteral("Lang/MASTER.IGNORE"), bytes);
    Q_UNUSED(env);

    // A byte-order mark makes the file UTF-8 text.
    const bool utf8 = bytes.startsWith("\xEF\xBB\xBF");
    const auto text = [&](const QByteArray &b) { return utf8 ? QString::fromUtf8(b) : AnsiToString(b, cp); };
    const TIniDatei ini = TIniDatei::fromBytes(utf8 ? bytes.mid(3) : bytes);
    const QList<QByteArray> sections = ini.sections();
    int n = 0;
    for (qsizetype s = 0; s < qMin<qsizetype>(sections.size(), 4); ++s) {
        const QList<QByteArray> keys = ini.keys(sections[s]);
        for (qsizetype k = 0; k < qMin<qsizetype>(keys.size(), 4) && n < 8; ++k, ++n) {
            const QByteArray &section = sections[s], &key = keys[k];
            // A key that PadKey leaves alone (it counts characters, not bytes) and that holds no
            // marker is looked up as it stands (in a UTF-8 file only where its names read back as
            // the same bytes).
            const bool direkt = text(key).size() >= 30 && !key.contains("#spec#")
                                && (!utf8 || (text(section).toUtf8() == section && text(key).toUtf8() == key));

            // Translating: the language's own file gives the text.
            SprachInit = false;
            const QString gezeigt = TranslateText(text(section), text(key), QStringLiteral("Fz"), QStringLiteral("Text"));
            const QByteArray wert = ini.readString(section, key, kErr);
            if (direkt && !(modus & 2) && wert != kErr && gezeigt != DecodeLineBreaks(text(wert)))
                FuzzFund("language file: wrong text shown", wert, StringToAnsi(gezeigt, cp));

            // Collecting: the master file gives back the German text it was given.
            if (!direkt || utf8 || CyrillicMode || (modus & 2) || wert == kErr)
                continue;
            const QString deutsch = DecodeLineBreaks(AnsiToString(wert));
            if (deutsch.isEmpty())
                continue;
            SprachInit = true;
            Section = AnsiToString(section);
            try {
                AddToMaster(AnsiToString(key), deutsch);
            } catch (const TSprachDateiFehler &) {
                FuzzFund("language file: the master file cannot be written");
            }
            SprachInit = false;
            const QByteArray zurueck = GetProfileString(LangDir() + QStringLiteral("MASTER.LANG"), section, key, kErr);
            const QString coded = EncodeLineBreaks(deutsch);
            // "-" and whole numbers are never collected; a "°" next to a line break cannot be told
            // from the coded break.
            if (coded == QLatin1String("-") || IsWholeNumber(coded, -9999)
                || umbrueche(DecodeLineBreaks(coded)) != umbrueche(deutsch))
                continue;
            if (zurueck == kErr || umbrueche(DecodeLineBreaks(AnsiToString(zurueck))) != umbrueche(deutsch))
                FuzzFund("language file: the master file does not give back the text written", StringToAnsi(deutsch),
                         zurueck);
        }
    }
    SprachInit = false;
    CyrillicMode = false;
    return 0;
}

// INI text as the settings file, the language files and the night-start files hold it: the
// lines, the profile calls (a value written back where it stands leaves every value as it
// was), the whole-file form of the shared settings file, and that file's own reader.
#include "FuzzHilfe.h"

#include "app/Codepage.h"
#include "app/IniDatei.h"
#include "app/Sammlung.h"

#include <QFile>

namespace {

struct TPaar
{
    QByteArray section, key;
};

// A few sections and keys of the text, so the checks stay cheap on long inputs.
QList<TPaar> paare(const TIniDatei &ini)
{
    QList<TPaar> out;
    const QList<QByteArray> sections = ini.sections();
    for (qsizetype s = 0; s < qMin<qsizetype>(sections.size(), 6); ++s) {
        const QList<QByteArray> keys = ini.keys(sections[s]);
        for (qsizetype k = 0; k < qMin<qsizetype>(keys.size(), 6); ++k)
            out.append({sections[s], keys[k]});
    }
    return out;
}

const QByteArray kFehlt("\x01missing");

QByteArray roherWert(const TIniDatei &ini, const TPaar &p)
{
    QByteArray v;
    return ini.findValue(p.section, p.key, &v) ? v : kFehlt;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    TFuzzEingabe e;
    if (!FuzzEingabeLesen(data, size, e))
        return 0;
    const uint8_t modus = e.modus;
    const TKopfRegel regel = (modus & 1) ? TKopfRegel::GanzeZeile : TKopfRegel::Profil;
    const QByteArray &bytes = e.bytes;

    // Lines: written and read again, the same lines.
    const TIniDatei ini = TIniDatei::fromBytes(bytes, regel);
    if (TIniDatei::fromBytes(ini.toBytes(), regel).lines() != ini.lines())
        FuzzFund("ini: lines do not come back", bytes, ini.toBytes());

    const QList<TPaar> alle = paare(ini);
    // What the unchanged file gives, looked up once: each check below is held against it.
    QList<QByteArray> roh, profil;
    for (const TPaar &p : alle) {
        roh.append(roherWert(ini, p));
        profil.append(ini.readString(p.section, p.key, kFehlt));
    }
    // A value written back where it stands changes no value of the file.
    for (qsizetype i = 0; i < qMin<qsizetype>(alle.size(), 8); ++i) {
        TIniDatei kopie = ini;
        kopie.writeString(alle[i].section, alle[i].key, roh[i]);
        for (qsizetype j = 0; j < alle.size(); ++j) {
            const TPaar &p = alle[j];
            if (roherWert(kopie, p) != roh[j])
                FuzzFund("ini: writing a value back changes a value", roh[j], roherWert(kopie, p));
            FuzzPruefen(kopie.readString(p.section, p.key, kFehlt) == profil[j],
                        "ini: writing a value back changes what a profile call reads");
        }
    }

    // The whole-file form keeps every value, and is its own whole-file form.
    const TIniDatei normal = ini.normalised();
    if (TIniDatei::fromBytes(normal.toBytes(), regel).normalised().lines() != normal.lines())
        FuzzFund("ini: the whole-file form changes when read again", normal.toBytes(),
                 TIniDatei::fromBytes(normal.toBytes(), regel).normalised().toBytes());
    for (qsizetype j = 0; j < alle.size(); ++j) {
        if (roherWert(normal, alle[j]) != roh[j])
            FuzzFund("ini: the whole-file form changes a value", roh[j], roherWert(normal, alle[j]));
    }

    // The shared settings file's reader: what it reads, writes back and reads again agrees.
    if (AufPlatte(modus)) {
        IniDateiName = FuzzDatei(QStringLiteral("Vantrel2004.INI"), bytes);
        QList<TPaar> gefragt = alle.mid(0, 1);
        gefragt.append(TPaar{"Fuzz", "Fehlt"});
        QStringList erst;
        for (const TPaar &p : std::as_const(gefragt))
            erst << IniReadString(AnsiToString(p.section), AnsiToString(p.key), QStringLiteral("vorgabe"));
        QFile f(IniDateiName);
        FuzzPruefen(f.open(QIODevice::ReadOnly), "settings file: gone after reading");
        const QByteArray nachher = f.readAll();
        for (qsizetype i = 0; i < gefragt.size(); ++i) {
            const QString wieder = IniReadString(AnsiToString(gefragt[i].section), AnsiToString(gefragt[i].key),
                                                 QStringLiteral("anders"));
            if (wieder != erst[i])
                FuzzFund("settings file: a value does not read the same from the file it wrote",
                         StringToAnsi(erst[i]), StringToAnsi(wieder));
        }
        f.seek(0);
        if (f.readAll() != nachher)
            FuzzFund("settings file: reading known keys changed the file again", nachher);
    }
    return 0;
}

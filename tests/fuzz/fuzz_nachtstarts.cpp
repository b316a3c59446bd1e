// Night starts: the ".XQN" file (section "Nachtstarts", a row of four cells per day) and the
// NAST text on the wire. What the reader takes, the writer stores, and the reader takes the
// same again; the wire text settles after one pass through the grid. The file is read in
// memory; for one input in eight (AufPlatte) also through the files themselves.
#include "FuzzHilfe.h"

#include "app/Codepage.h"
#include "app/IniDatei.h"
#include "link/Nachtstarts.h"

#include <QFile>

namespace {

QByteArray tabellenText(const TNachtTabelle &t)
{
    QByteArray s;
    for (const TNachtZeile &z : t)
        s += NachtZeileText(z) + '/';
    return s;
}

TNachtTabelle lesen(const QString &pfad)
{
    TNachtTabelle t;
    for (TNachtZeile &z : t)
        z.fill(QStringLiteral("x"));
    FuzzPruefen(NachtstartdateiLesen(pfad, t), "night-start file: cannot be read");
    return t;
}

// The table that a file of these bytes gives; every cell "x" before.
TNachtTabelle ausText(const QByteArray &bytes)
{
    TNachtTabelle t;
    for (TNachtZeile &z : t)
        z.fill(QStringLiteral("x"));
    NachtstartIniLesen(TIniDatei::fromBytes(TGenaueBytes(bytes).bytes()), t);
    return t;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    TFuzzEingabe e;
    if (!FuzzEingabeLesen(data, size, e))
        return 0;
    const QByteArray &bytes = e.bytes;

    if (e.modus & 1) {
        // The wire: shown in the grid and built again, the text no longer changes.
        TNachtTabelle t;
        NachtstarttextZeigen(bytes, t);
        const QByteArray einmal = NachtstarttextBauen(t);
        TNachtTabelle t2;
        NachtstarttextZeigen(einmal, t2);
        if (NachtstarttextBauen(t2) != einmal)
            FuzzFund("NAST text: does not settle", einmal, NachtstarttextBauen(t2));
        return 0;
    }

    // The file in memory, exactly sized: what the reader takes, written into the same text
    // (which keeps everything else it holds) and into a new one, reads the same again.
    const TNachtTabelle erst = ausText(bytes);
    TIniDatei selbe = TIniDatei::fromBytes(bytes);
    NachtstartIniSetzen(selbe, erst);
    const QByteArray geschrieben = selbe.toBytes();
    if (ausText(geschrieben) != erst)
        FuzzFund("night-start file: read(write(read(x))) != read(x)", tabellenText(erst),
                 tabellenText(ausText(geschrieben)));
    TIniDatei neu;
    NachtstartIniSetzen(neu, erst);
    if (ausText(neu.toBytes()) != erst)
        FuzzFund("night-start file: a new file does not read the same", tabellenText(erst),
                 tabellenText(ausText(neu.toBytes())));
    if (!AufPlatte(e.modus))
        return 0;

    // The same through the files, which must hold those texts.
    const QString pfad = FuzzDatei(QStringLiteral("fuzz.XQN"), bytes);
    FuzzPruefen(lesen(pfad) == erst, "night-start file: the file does not read as its text");
    FuzzPruefen(NachtstartdateiSchreiben(pfad, erst), "night-start file: cannot be written");
    FuzzPruefen(dateiLesen(pfad) == geschrieben, "night-start file: the file written is not the text written");
    const QString neuPfad = FuzzUmgebung().exeDir() + QStringLiteral("neu.XQN");
    QFile::remove(neuPfad);
    FuzzPruefen(NachtstartdateiSchreiben(neuPfad, erst), "night-start file: a new file cannot be written");
    FuzzPruefen(dateiLesen(neuPfad) == neu.toBytes(), "night-start file: the new file is not the text written");
    return 0;
}

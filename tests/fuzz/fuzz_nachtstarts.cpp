// Night starts: the ".XQN" file (section "Nachtstarts", a row of four cells per day) and the
// NAST text on the wire. What the reader takes, the writer stores, and the reader takes the
// same again; the wire text settles after one pass through the grid.
#include "FuzzHilfe.h"

#include "app/Codepage.h"
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

    const QString pfad = FuzzDatei(QStringLiteral("fuzz.XQN"), bytes);
    const TNachtTabelle erst = lesen(pfad);
    // Written into the same file, which keeps everything else it holds.
    FuzzPruefen(NachtstartdateiSchreiben(pfad, erst), "night-start file: cannot be written");
    if (lesen(pfad) != erst)
        FuzzFund("night-start file: read(write(read(x))) != read(x)", tabellenText(erst), tabellenText(lesen(pfad)));
    // And into a new one.
    const QString neu = FuzzUmgebung().exeDir() + QStringLiteral("neu.XQN");
    QFile::remove(neu);
    FuzzPruefen(NachtstartdateiSchreiben(neu, erst), "night-start file: a new file cannot be written");
    if (lesen(neu) != erst)
        FuzzFund("night-start file: a new file does not read the same", tabellenText(erst), tabellenText(lesen(neu)));
    return 0;
}

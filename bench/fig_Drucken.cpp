// All 199 programs through the print table and the report into one PDF.
#include "bench/Figur.h"

#include "app/Drucker.h"
#include "app/Sammlung.h"
#include "printing/uRaveDrucken.h"

#include <QElapsedTimer>
#include <QFileInfo>
#include <QTemporaryDir>

namespace {
TBackprogrammListe vollListe()
{
    TBackprogrammListe liste;
    for (int i = 0; i < BPrgListeAnzahl; ++i) {
        TBackprogramm &p = liste[i];
        InitBPrgRecord(p);
        if (i == 0)
            continue;
        p.Name.setText("Programm " + QByteArray::number(i));
        p.Menge = i % 40 + 1;
        p.SollKT = 95;
        for (int k = 0; k < 10; ++k) {
            TBackPhase &ph = p.Phasen[k];
            ph.Temperatur = 240 - 4 * k;
            ph.Backzeit = 90 + i % 60;
            ph.Schwaden = k % 2 == 0 ? 40 : 6;
            ph.UmwaelzerZeit = ph.Backzeit;
            ph.AbzugZeit = ph.Backzeit;
            ph.AbzugProzent = 40;
        }
    }
    return liste;
}

std::optional<double> alleProgrammeAlsPdf()
{
    QTemporaryDir ordner;
    SetPdfDruckerOrdner(ordner.path());
    const TBackprogrammListe liste = vollListe();
    TwRaveDrucken fenster;
    QElapsedTimer uhr;
    uhr.start();
    fenster.ProgrammeDrucken(liste, 1, 199, false, false, false, StandardKnopfTexte(false));
    const double ms = uhr.nsecsElapsed() / 1e6;
    const bool ok = fenster.Report.Seiten.size() == 199 && QFileInfo(PdfDruckerDatei(QStringLiteral("XQBackprogramm"))).size() > 0;
    SetPdfDruckerOrdner(QString());
    return ok ? std::optional<double>(ms) : std::nullopt;
}
} // namespace

KELVOR_FIGUR((TFigur{QStringLiteral("199 programs to PDF"), 2000, alleProgrammeAlsPdf, QStringLiteral("ms"), 0, false, 20}));

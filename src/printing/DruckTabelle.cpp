#include "printing/DruckTabelle.h"

#include "app/Codepage.h"
#include "app/Sammlung.h"
#include "app/uKonstanten.h"

#include <QFile>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QSqlRecord>

TKnopfTexte StandardKnopfTexte(bool literModus)
{
    return {QStringLiteral("min zu"), literModus ? QStringLiteral("liter") : QStringLiteral("s auf"),
            QStringLiteral("aus"),    QStringLiteral("an"),
            QStringLiteral("0"),      QStringLiteral("1")};
}

namespace {
// The members in the order of DruckSpalten.
constexpr QString TDruckZeile::*kFelder[20] = {
    &TDruckZeile::PRGNAME, &TDruckZeile::PRGNR, &TDruckZeile::MENGE, &TDruckZeile::SOLLKT, &TDruckZeile::GBZ,
    &TDruckZeile::AUSZ,    &TDruckZeile::UMWZ,  &TDruckZeile::ABZZ,  &TDruckZeile::SCHZ,   &TDruckZeile::NR,
    &TDruckZeile::T,       &TDruckZeile::BZ,    &TDruckZeile::SZ,    &TDruckZeile::SW,     &TDruckZeile::AZ,
    &TDruckZeile::AB,      &TDruckZeile::UZ,    &TDruckZeile::UM,    &TDruckZeile::AUZ,    &TDruckZeile::AU};

QString dezimal(qint64 v) { return QString::number(v); }
// Times in the record are unsigned; the print reads them as signed 32-bit values, as the sums do.
int alsInt(quint32 v) { return int(v); }
} // namespace

QStringList TDruckZeile::werte() const
{
    QStringList w;
    for (auto feld : kFelder)
        w << this->*feld;
    return w;
}

TDruckZeile TDruckZeile::ausWerten(const QStringList &werte)
{
    TDruckZeile z;
    for (int i = 0; i < 20 && i < werte.size(); ++i)
        z.*kFelder[i] = werte[i];
    return z;
}

QString StrichOderZahl(qint32 wert, quint8 n)
{
    return wert == 0 ? QString(n, QLatin1Char('-')) : dezimal(wert);
}

QList<TDruckZeile> ProgrammZeilen(const TBackprogramm &rec, int slot, bool umwaelzerAus, bool ausgangEin,
                                  const TKnopfTexte &knoepfe)
{
    // 32-bit sums that wrap like the record's arithmetic, without signed overflow.
    quint32 gesamt = 0, ausgang = 0, umwaelzer = 0, abzug = 0, schwaden = 0;
    for (int k = 0; k < 10; ++k) {
        const TBackPhase &p = rec.Phasen[k];
        gesamt += p.Backzeit;
        ausgang += p.AusgangZeit;
        umwaelzer += p.UmwaelzerZeit;
        abzug += p.AbzugZeit;
        schwaden += p.Schwaden;
    }
    TDruckZeile kopf;
    kopf.PRGNAME = AnsiToString(rec.Name.text(), CyrillicMode ? TCodepage::Windows1251 : TCodepage::Windows1252);
    kopf.PRGNR = dezimal(slot);
    kopf.MENGE = dezimal(rec.Menge);
    kopf.SOLLKT = dezimal(rec.SollKT);
    kopf.GBZ = MinutenToStr(alsInt(gesamt), true);
    kopf.AUSZ = MinutenToStr(alsInt(gesamt - ausgang), true);
    kopf.UMWZ = MinutenToStr(alsInt(gesamt - umwaelzer), true);
    kopf.ABZZ = MinutenToStr(alsInt(gesamt - abzug), true);
    kopf.SCHZ = MinutenToStr(alsInt(gesamt - schwaden), true);

    const QString aus = QStringLiteral("--");
    QList<TDruckZeile> zeilen;
    for (int k = 1; k <= 10; ++k) {
        const TBackPhase &p = rec.Phasen[k - 1];
        const bool ungerade = k % 2 == 1;
        TDruckZeile z = kopf;
        z.NR = dezimal(k);
        z.T = StrichOderZahl(p.Temperatur, 3);
        z.BZ = p.Backzeit == 0 ? QStringLiteral("--:--") : MinutenToStr(alsInt(p.Backzeit), false);
        z.SZ = ungerade ? knoepfe.SchwadenAus : knoepfe.SchwadenEin;
        z.SW = ungerade ? MinutenToStr(alsInt(p.Schwaden), false) : dezimal(p.Schwaden);
        z.AZ = p.AbzugZeit != 0 ? dezimal(p.AbzugProzent) : StrichOderZahl(p.AbzugProzent, 2);
        z.AB = MinutenToStr(alsInt(p.AbzugZeit), false);
        z.UZ = umwaelzerAus ? aus : (ungerade ? knoepfe.UmwaelzerAus : knoepfe.UmwaelzerEin);
        z.UM = umwaelzerAus ? aus : MinutenToStr(alsInt(p.UmwaelzerZeit), false);
        z.AUZ = !ausgangEin ? aus : (ungerade ? knoepfe.AusgangAus : knoepfe.AusgangEin);
        z.AU = !ausgangEin ? aus : MinutenToStr(alsInt(p.AusgangZeit), false);
        zeilen << z;
    }
    return zeilen;
}

QList<TDruckZeile> DruckZeilen(TBackprogrammListe &liste, int von, int bis, bool umwaelzerAus, bool ausgangEin,
                               const TKnopfTexte &knoepfe)
{
    QList<TDruckZeile> zeilen;
    for (int i = qMax(von, 0); i <= bis && i < BPrgListeAnzahl; ++i) {
        TBackprogramm &rec = liste[i];
        if (StartsWithF(rec.Name.text()))
            continue;
        rec.Nummer = i;
        zeilen << ProgrammZeilen(rec, i, umwaelzerAus, ausgangEin, knoepfe);
    }
    return zeilen;
}

// ---- the table ----------------------------------------------------------------------------

TDruckTabelle::TDruckTabelle(const QString &verbindung) : m_verbindung(verbindung) {}

TDruckTabelle::~TDruckTabelle() { Schliessen(); }

void TDruckTabelle::Schliessen()
{
    m_query.reset();
    if (QSqlDatabase::contains(m_verbindung)) {
        QSqlDatabase::database(m_verbindung, false).close();
        QSqlDatabase::removeDatabase(m_verbindung);
    }
}

bool TDruckTabelle::fehlgeschlagen(const QString &was, const QString &text)
{
    m_fehler = was + QStringLiteral(": ") + text;
    m_query.reset();
    return false;
}

bool TDruckTabelle::Anlegen(const QString &pfad)
{
    m_pfad = pfad;
    m_fehler.clear();
    // The connection of the last run still holds the file: close it before the file goes.
    Schliessen();
    if (QFile::exists(pfad) && !QFile::remove(pfad))
        return fehlgeschlagen(pfad, QStringLiteral("Datei kann nicht gelöscht werden"));
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), m_verbindung);
        db.setDatabaseName(pfad);
        if (!db.open())
            return fehlgeschlagen(pfad, db.lastError().text());
        m_query = std::make_unique<QSqlQuery>(db);
    }
    return ausfuehren(QStringLiteral(
        "CREATE TABLE %1 (PRGNAME character(20), PRGNR character(3), MENGE character(3), SOLLKT character(3), "
        "GBZ character(6), AUSZ character(6), UMWZ character(6), ABZZ character(6), SCHZ character(6), "
        "NR character(2), T character(3), BZ character(5) , SZ character(10), SW character(5) , "
        "AZ character(4), AB character(5) , UZ character(3), UM character(5) , AUZ character(3), AU character(5) )")
                          .arg(QLatin1String(DruckTabellenName)));
}

bool TDruckTabelle::ausfuehren(const QString &sql)
{
    if (!m_query)
        return fehlgeschlagen(m_pfad, QStringLiteral("keine Verbindung"));
    m_query->finish();
    if (!m_query->exec(sql))
        return fehlgeschlagen(sql, m_query->lastError().text());
    return true;
}

bool TDruckTabelle::Einfuegen(const QList<TDruckZeile> &zeilen)
{
    if (!m_query)
        return fehlgeschlagen(m_pfad, QStringLiteral("keine Verbindung"));
    QSqlDatabase db = QSqlDatabase::database(m_verbindung, false);
    if (!db.transaction())
        return fehlgeschlagen(m_pfad, db.lastError().text());
    QStringList spalten;
    for (const char *s : DruckSpalten)
        spalten << QLatin1String(s);
    const QString sql = QStringLiteral("INSERT INTO %1 (%2) VALUES(%3)")
                            .arg(QLatin1String(DruckTabellenName), spalten.join(QStringLiteral(", ")),
                                 QStringList(20, QStringLiteral("?")).join(QLatin1Char(',')));
    m_query->finish();
    // Values are bound, never pasted into the statement: a name may hold any character.
    bool ok = m_query->prepare(sql);
    if (ok && !zeilen.isEmpty()) {
        QList<QVariantList> spaltenWerte(20);
        for (const TDruckZeile &z : zeilen) {
            const QStringList werte = z.werte();
            for (int s = 0; s < 20; ++s)
                spaltenWerte[s] << werte[s];
        }
        for (int s = 0; s < 20; ++s)
            m_query->bindValue(s, spaltenWerte[s]);
        ok = m_query->execBatch();
    }
    if (!ok) {
        const QString text = m_query->lastError().text();
        db.rollback();
        return fehlgeschlagen(sql, text);
    }
    if (!db.commit())
        return fehlgeschlagen(m_pfad, db.lastError().text());
    return true;
}

bool TDruckTabelle::Oeffnen(QList<TDruckZeile> &zeilen)
{
    zeilen.clear();
    // rowid is the order of insertion: programs by slot, phases 1 to 10.
    if (!ausfuehren(QStringLiteral("SELECT * FROM %1 ORDER BY rowid").arg(QLatin1String(DruckTabellenName))))
        return false;
    const QSqlRecord satz = m_query->record();
    int index[20];
    for (int s = 0; s < 20; ++s)
        index[s] = satz.indexOf(QLatin1String(DruckSpalten[s]));
    while (m_query->next()) {
        QStringList werte;
        for (int s = 0; s < 20; ++s)
            werte << (index[s] >= 0 ? m_query->value(index[s]).toString() : QString());
        zeilen << TDruckZeile::ausWerten(werte);
    }
    if (m_query->lastError().isValid())
        return fehlgeschlagen(m_query->lastQuery(), m_query->lastError().text());
    return true;
}

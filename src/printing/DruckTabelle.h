#pragma once
// The print table: the rows the report prints, one per phase of every printed program, and
// the temporary database table they pass through.
#include "link/uXQXKonstanten.h"

#include <QList>
#include <QString>
#include <QStringList>
#include <array>
#include <memory>

class QSqlQuery;

// Captions of the list editor's phase-1 buttons: FalseText (odd phases) and TrueText (even).
struct TKnopfTexte
{
    QString SchwadenAus, SchwadenEin;     // cbSch1
    QString UmwaelzerAus, UmwaelzerEin;   // cbU1
    QString AusgangAus, AusgangEin;       // cbA1
};
// The captions the list editor gives its buttons in German.
TKnopfTexte StandardKnopfTexte(bool literModus);

// The twenty columns in table order.
inline constexpr std::array<const char *, 20> DruckSpalten{
    "PRGNAME", "PRGNR", "MENGE", "SOLLKT", "GBZ", "AUSZ", "UMWZ", "ABZZ", "SCHZ", "NR",
    "T",       "BZ",    "SZ",    "SW",     "AZ",  "AB",   "UZ",   "UM",   "AUZ", "AU"};

struct TDruckZeile
{
    QString PRGNAME, PRGNR, MENGE, SOLLKT, GBZ, AUSZ, UMWZ, ABZZ, SCHZ, NR;
    QString T, BZ, SZ, SW, AZ, AB, UZ, UM, AUZ, AU;

    // In the order of DruckSpalten.
    QStringList werte() const;
    // Missing values stay empty.
    static TDruckZeile ausWerten(const QStringList &werte);
    bool operator==(const TDruckZeile &) const = default;
};

// The decimal text of `wert`, or n "-" for 0.
QString StrichOderZahl(qint32 wert, quint8 n);

// The ten rows (phases 1 to 10) of `rec` printed as program `slot`.
QList<TDruckZeile> ProgrammZeilen(const TBackprogramm &rec, int slot, bool umwaelzerAus, bool ausgangEin,
                                  const TKnopfTexte &knoepfe);

// The rows of slots von..bis of `liste`; a slot whose name starts with a lower-case "f" is
// free and skipped. Sets each printed record's Nummer to its slot.
QList<TDruckZeile> DruckZeilen(TBackprogrammListe &liste, int von, int bis, bool umwaelzerAus, bool ausgangEin,
                               const TKnopfTexte &knoepfe);

// The table file "XQTempDB.db" and its one query. Every step closes what the step before left
// open, so the file is never deleted under an open connection.
class TDruckTabelle
{
public:
    // `verbindung` names the database connection; one per table object.
    explicit TDruckTabelle(const QString &verbindung);
    ~TDruckTabelle();
    TDruckTabelle(const TDruckTabelle &) = delete;
    TDruckTabelle &operator=(const TDruckTabelle &) = delete;

    // Deletes the file, opens it anew and creates the empty table.
    bool Anlegen(const QString &pfad);
    // All rows in one transaction; on failure none of them stays.
    bool Einfuegen(const QList<TDruckZeile> &zeilen);
    // Opens the table with the SELECT and reads its rows in insertion order; the query stays
    // open until the next run.
    bool Oeffnen(QList<TDruckZeile> &zeilen);
    // Finishes the query and closes the connection.
    void Schliessen();

    // The database's text of the last failure.
    QString Fehler() const { return m_fehler; }
    QString Pfad() const { return m_pfad; }

private:
    bool ausfuehren(const QString &sql);
    bool fehlgeschlagen(const QString &was, const QString &text);

    QString m_verbindung;
    QString m_pfad;
    QString m_fehler;
    std::unique_ptr<QSqlQuery> m_query;
};

// The table's name inside the database file.
inline constexpr const char *DruckTabellenName = "XQTempDB";

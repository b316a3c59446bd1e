#pragma once
// The report window: prints baking programs through the print table and the report
// "XQBackprogramm". Created hidden at start-up and never shown itself.
#include "printing/DruckTabelle.h"
#include "printing/ReportAusgabe.h"

#include <QDate>
#include <QPointer>
#include <QString>
#include <QStringList>
#include <QWidget>
#include <array>
#include <memory>

class QLabel;
class QListWidget;

class TwRaveDrucken : public QWidget
{
    Q_OBJECT
public:
    explicit TwRaveDrucken(QWidget *parent = nullptr);
    ~TwRaveDrucken() override;

    // Prints slots Von..Bis of a copy of `Liste`: writes the print table, reads it back and runs
    // the report, with `Vorschau` through the set-up window and the preview. `Knoepfe` are the
    // captions of the list editor's phase-1 buttons cbSch1, cbU1 and cbA1. Returns when the
    // report has finished (after the preview has closed).
    void ProgrammeDrucken(const TBackprogrammListe &Liste, quint8 Von, quint8 Bis, bool Vorschau,
                          bool UmwaelzerAus, bool AusgangEin, const TKnopfTexte &Knoepfe);
    // The printer check, then the report; a failed report beeps.
    void DruckerPruefenUndStarten(bool Vorschau);
    // Sets up the run and puts the report out; false when printing failed.
    bool ReportStarten(bool Vorschau);

    // The two text connections: column names and the values of their one row.
    static QStringList XQBprgTexteGetCols();
    QStringList XQBprgTexteGetRow() const;
    static QStringList Custom_Data1GetCols();
    QStringList Custom_Data1GetRow() const;
    TReportTexte ReportTexte() const;

    // The set-up window of a run: false when the user cancelled.
    bool RvSystem1OverrideSetup(bool ausVorschau);
    // The preview of a run, modal until closed.
    void RvSystem1OverridePreview();

    QListWidget *Lang;
    std::array<QLabel *, 10> Labels{};
    std::unique_ptr<TDruckTabelle> Query1;
    TRvSystem RvSystem1;
    // The rows of the data-set connection RvDataSetConnectionXQBprg, as Query1 read them.
    QList<TDruckZeile> RvDataSetConnectionXQBprg;
    // The report of the run, as the preview and the printer get it.
    TReport Report;
    // The report of the project that runs.
    QString RvProject1Report;
    // The printer of the last run.
    QString DruckerName() const { return m_druckerName; }
    // The date printed on the report; empty for today.
    QDate ReportDatum;

protected:
    void closeEvent(QCloseEvent *event) override;

private:
    void FormCreate();
    bool DatenbankFehler();
    bool Ausgeben(const QList<int> &seiten);
    void AusVorschauDrucken();

    QString m_druckerName;
};

// The report window; empty once destroyed with its owner.
extern QPointer<TwRaveDrucken> wRaveDrucken;

#include "printing/uRaveDrucken.h"

#include "app/Dialoge.h"
#include "app/Drucker.h"
#include "app/Sammlung.h"
#include "printing/RpFormPreview_NQ_dt.h"
#include "printing/RpFormSetup_NQ_dt.h"

#include <QApplication>
#include <QCloseEvent>
#include <QLabel>
#include <QListWidget>
#include <QLocale>
#include <QPrinter>

QPointer<TwRaveDrucken> wRaveDrucken;

namespace {
const char *const LangTexte[] = {
    "Backprogramm", "Programm", "", "Tiefkühlbacken", "TK Temperatur", "Backzeit", "Schwaden", "Schwaden EIN",
    "Schwaden AUS", "Phase", "Temp", "Schw. Abzug", "Umwälzer", "Haubenvent.", "Ausgang",
    "Die Daten werden im Hintergrund gedruckt", "Dieser Vorgang kann einige Minuten dauern.", "Hinweis",
    "Fehler beim Anlegen der Druck-Datenbank.", "Fehler", "Menge", "SollKerntemperatur", "Gesamtbackzeit",
    "Restzeiten: "};

const char *const LabelTexte[] = {"Ofenname", "Herdname", "Nummer",  "Backprogrammname", "Start",
                                  "Backzeit", "Menge",    "Energie (Wh)", "Datum",       "Betriebsdaten"};
} // namespace

TwRaveDrucken::TwRaveDrucken(QWidget *parent) : QWidget(parent, Qt::Window)
{
    setObjectName(QStringLiteral("wRaveDrucken"));
    setWindowTitle(QStringLiteral("Drucken"));
    Lang = new QListWidget(this);
    Lang->setObjectName(QStringLiteral("Lang"));
    Lang->hide();
    for (int i = 0; i < 10; ++i) {
        Labels[i] = new QLabel(QString::fromUtf8(LabelTexte[i]), this);
        Labels[i]->setObjectName(QStringLiteral("Label%1").arg(i + 1));
        Labels[i]->hide();
    }
    // One connection per window, so a second report window never shares the first one's file.
    Query1 = std::make_unique<TDruckTabelle>(QStringLiteral("Query1-%1").arg(quintptr(this), 0, 16));
    FormCreate();
}

TwRaveDrucken::~TwRaveDrucken() = default;

void TwRaveDrucken::FormCreate()
{
    Lang->clear();
    for (const char *t : LangTexte)
        Lang->addItem(QString::fromUtf8(t));
}

void TwRaveDrucken::closeEvent(QCloseEvent *event)
{
    Query1->Schliessen();
    event->accept();
}

QStringList TwRaveDrucken::XQBprgTexteGetCols()
{
    return {"Titel",     "Programm", "Nr",      "Backprogramm", "Phase",      "Temp", "Backzeit",   "Schwaden",
            "Abzug",     "Umwaelzer", "Ausgang", "PRG_Menge",    "PRG_SollKT", "GBZ",  "Restzeiten", "TEinheit"};
}

QStringList TwRaveDrucken::XQBprgTexteGetRow() const
{
    auto item = [this](int i) { return Lang->item(i)->text(); };
    return {QStringLiteral("XQ-") + item(0), item(1), QStringLiteral("Nr."), item(0), item(9), item(10), item(5),
            item(6), item(11), item(12), item(14), item(20), item(21), item(22), item(23), TemperaturEinheit};
}

QStringList TwRaveDrucken::Custom_Data1GetCols()
{
    return {"OfenName", "HerdName", "Nummer", "Backprogrammname", "Start", "Backzeit", "Menge",
            "Energie",  "Datum",    "Titel",  "Seite",            "Date",  "bei",      "von"};
}

QStringList TwRaveDrucken::Custom_Data1GetRow() const
{
    QStringList zeile;
    for (QLabel *l : Labels)
        zeile << l->text();
    return zeile << QStringLiteral("Seite:") << QStringLiteral("Datum:") << QStringLiteral("bei") << QStringLiteral("von");
}

TReportTexte TwRaveDrucken::ReportTexte() const
{
    const QStringList w = XQBprgTexteGetRow();
    return {w[0], w[1], w[2], w[3], w[4], w[5], w[6], w[7], w[8], w[9], w[10], w[11], w[12], w[13], w[14], w[15]};
}

void TwRaveDrucken::ProgrammeDrucken(const TBackprogrammListe &Liste, quint8 Von, quint8 Bis, bool Vorschau,
                                     bool UmwaelzerAus, bool AusgangEin, const TKnopfTexte &Knoepfe)
{
    // A range past the last slot would read behind the list.
    const int von = qMin<int>(Von, BPrgListeAnzahl - 1);
    const int bis = qMin<int>(Bis, BPrgListeAnzahl - 1);
    // The run numbers its own copy; the editor's list stays as it is.
    auto kopie = std::make_unique<TBackprogrammListe>(Liste);
    const QString pfad = ExeDir + QStringLiteral("XQTempDB.db");
    RvDataSetConnectionXQBprg.clear();
    if (!Query1->Anlegen(pfad))
        return void(DatenbankFehler());
    const QList<TDruckZeile> zeilen = DruckZeilen(*kopie, von, bis, UmwaelzerAus, AusgangEin, Knoepfe);
    if (!Query1->Einfuegen(zeilen) || !Query1->Oeffnen(RvDataSetConnectionXQBprg))
        return void(DatenbankFehler());
    DruckerPruefenUndStarten(Vorschau);
}

bool TwRaveDrucken::DatenbankFehler()
{
    WriteErrorLog(ErrLogName, QStringLiteral("Druck-Datenbank: ") + Query1->Fehler());
    ShowMessageBox(this, TBoxKind::Critical, Lang->item(19)->text(), Lang->item(18)->text());
    return false;
}

void TwRaveDrucken::DruckerPruefenUndStarten(bool Vorschau)
{
    if (!DruckerGueltig(Anwendungsdrucker())) {
        ShowMessageBox(this, TBoxKind::Critical, QStringLiteral("Fehler"), DruckerUngueltigText());
        return;
    }
    if (!ReportStarten(Vorschau))
        QApplication::beep();
}

bool TwRaveDrucken::ReportStarten(bool Vorschau)
{
    RvSystem1 = TRvSystem();
    RvSystem1.PdfAktiv = true;
    RvProject1Report = QStringLiteral("XQBackprogramm");
    m_druckerName = ::DruckerName(Anwendungsdrucker());
    // With a preview every choice is offered; without one the report goes to the printer.
    RvSystem1.SetupDialog = Vorschau;
    RvSystem1.StandardZiel = Vorschau ? TReportZiel::Vorschau : TReportZiel::Drucker;
    RvSystem1.Ziel = RvSystem1.StandardZiel;
    RvSystem1.VorschauMaximiert = true;

    const QDate datum = ReportDatum.isValid() ? ReportDatum : QDate::currentDate();
    const QStringList fuss = Custom_Data1GetRow();
    Report = ReportXQBackprogramm(RvDataSetConnectionXQBprg, ReportTexte(), fuss[10], fuss[13],
                                  QLocale(QLocale::German, QLocale::Germany).toString(datum, QLocale::LongFormat));
    RvSystem1.Seitenzahl = int(Report.Seiten.size());

    bool ok = true;
    if (!RvSystem1.SetupDialog || RvSystem1OverrideSetup(false)) {
        if (RvSystem1.Ziel == TReportZiel::Vorschau)
            RvSystem1OverridePreview();
        else
            ok = Ausgeben(SeitenWahl(RvSystem1, int(Report.Seiten.size())));
    }
    if (!ok) {
        // The renderer stays active, as after any failed run.
        ShowMessageBox(this, TBoxKind::Critical, QStringLiteral("Printerror"), QStringLiteral("Print-Error Rave02"));
        return false;
    }
    RvSystem1.PdfAktiv = false;
    return true;
}

bool TwRaveDrucken::Ausgeben(const QList<int> &seiten)
{
    // The set-up window lets no such range through; a job of no page would be a blank sheet.
    if (seiten.isEmpty()) {
        ShowMessageBox(this, TBoxKind::Warning, QStringLiteral("Druckbereich"), LeererDruckbereichText(RvSystem1.Seitenzahl));
        return true;
    }
    if (RvSystem1.Ziel == TReportZiel::Datei)
        return ReportInDatei(Report, RvSystem1.DateiName, RvSystem1.Format, Anwendungsdrucker(), seiten);
    return ReportDrucken(Report, Anwendungsdrucker(), RvSystem1, seiten);
}

bool TwRaveDrucken::RvSystem1OverrideSetup(bool ausVorschau)
{
    std::unique_ptr<TRPSetupForm_NQ_dt> eigenes;
    TRPSetupForm_NQ_dt *fenster = RPSetupForm_NQ_dt;
    if (!fenster) {
        eigenes = std::make_unique<TRPSetupForm_NQ_dt>(this);
        fenster = eigenes.get();
    }
    fenster->Einstellen(RvSystem1, ausVorschau);
    bool ok = RunModalDialog(fenster) == QDialog::Accepted;
    if (ok) {
        fenster->Uebernehmen(RvSystem1);
        // A file without a name is asked for; no name given ends the run like Cancel.
        if (RvSystem1.Ziel == TReportZiel::Datei && RvSystem1.DateiName.isEmpty()) {
            fenster->DateiNameClick();
            fenster->Uebernehmen(RvSystem1);
            ok = !RvSystem1.DateiName.isEmpty();
        }
    }
    RvSystem1.Abgebrochen = !ok;
    return ok;
}

void TwRaveDrucken::RvSystem1OverridePreview()
{
    std::unique_ptr<TRavePreviewForm_NQ_dt> eigenes;
    TRavePreviewForm_NQ_dt *fenster = RavePreviewForm_NQ_dt;
    if (!fenster) {
        eigenes = std::make_unique<TRavePreviewForm_NQ_dt>(this);
        fenster = eigenes.get();
    }
    fenster->setWindowTitle(RvSystem1.VorschauTitel);
    fenster->setWindowState(RvSystem1.VorschauMaximiert ? Qt::WindowMaximized : Qt::WindowNoState);
    fenster->Drucken = [this] { AusVorschauDrucken(); };
    fenster->VorschauStarten(&Report);
    RunModalDialog(fenster);
    fenster->VorschauBeenden();
}

void TwRaveDrucken::AusVorschauDrucken()
{
    if (RvSystem1.VorschauSetup) {
        if (!RvSystem1OverrideSetup(true))
            return;
    } else {
        RvSystem1.Ziel = TReportZiel::Drucker;
    }
    if (RvSystem1.Ziel != TReportZiel::Datei && !DruckerGueltig(Anwendungsdrucker())) {
        ShowMessageBox(this, TBoxKind::Critical, QStringLiteral("Fehler"), DruckerUngueltigText());
        return;
    }
    if (!Ausgeben(SeitenWahl(RvSystem1, int(Report.Seiten.size())))) {
        ShowMessageBox(this, TBoxKind::Critical, QStringLiteral("Printerror"), QStringLiteral("Print-Error Rave02"));
        QApplication::beep();
    }
}

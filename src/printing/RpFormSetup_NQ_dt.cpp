#include "printing/RpFormSetup_NQ_dt.h"

#include "app/Benannt.h"
#include "app/Dialoge.h"
#include "app/Drucker.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFileInfo>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPrinter>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QVBoxLayout>

QPointer<TRPSetupForm_NQ_dt> RPSetupForm_NQ_dt;

namespace {
const QString DruckerdateiFormat = QStringLiteral("Druckerdatei");
const QString DruckerdateiEndung = QStringLiteral("*.prn");
} // namespace

TRPSetupForm_NQ_dt::TRPSetupForm_NQ_dt(QWidget *parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("RPSetupForm_NQ_dt"));
    setWindowTitle(QStringLiteral("Output Options"));
    setWindowFlags(Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint);

    gbDrucker = named(new QGroupBox(QStringLiteral("Gewählter Drucker"), this), "gbDrucker");
    lDrucker = named(new QLabel(QStringLiteral("(kein)"), gbDrucker), "lDrucker");
    bSetup = named(new QPushButton(QStringLiteral("&Setup"), gbDrucker), "bSetup");
    auto *druckerZeile = new QHBoxLayout(gbDrucker);
    druckerZeile->addWidget(lDrucker, 1);
    druckerZeile->addWidget(bSetup);

    gbOptionen = named(new QGroupBox(QStringLiteral("Options"), this), "gbOptionen");
    eKopien = named(new QSpinBox(gbOptionen), "eKopien");
    eKopien->setRange(1, 999);
    lKopien = named(new QLabel(QStringLiteral("&Kopien"), gbOptionen), "lKopien");
    lKopien->setBuddy(eKopien);
    cbSortieren = named(new QCheckBox(QStringLiteral("C&ollate"), gbOptionen), "cbSortieren");
    cbDuplex = named(new QCheckBox(QStringLiteral("&Duplex"), gbOptionen), "cbDuplex");
    auto *optionen = new QGridLayout(gbOptionen);
    optionen->addWidget(lKopien, 0, 0);
    optionen->addWidget(eKopien, 0, 1);
    optionen->addWidget(cbSortieren, 1, 0, 1, 2);
    optionen->addWidget(cbDuplex, 2, 0, 1, 2);

    gbZiel = named(new QGroupBox(QStringLiteral("Report Ziel"), this), "gbZiel");
    rbDrucker = named(new QRadioButton(QStringLiteral("&Drucker"), gbZiel), "rbDrucker");
    rbVorschau = named(new QRadioButton(QStringLiteral("&Vorschau"), gbZiel), "rbVorschau");
    rbDatei = named(new QRadioButton(QStringLiteral("D&atei"), gbZiel), "rbDatei");
    cbFormat = named(new QComboBox(gbZiel), "cbFormat");
    lFormat = named(new QLabel(QStringLiteral("Format:"), gbZiel), "lFormat");
    lFormat->setBuddy(cbFormat);
    eDateiName = named(new QLineEdit(gbZiel), "eDateiName");
    bDateiName = named(new QPushButton(QStringLiteral("..."), gbZiel), "bDateiName");
    bDateiName->setFixedWidth(32);
    auto *ziel = new QGridLayout(gbZiel);
    ziel->addWidget(rbDrucker, 0, 0);
    ziel->addWidget(rbVorschau, 1, 0);
    ziel->addWidget(rbDatei, 2, 0);
    ziel->addWidget(lFormat, 2, 1);
    ziel->addWidget(cbFormat, 2, 2, 1, 2);
    ziel->addWidget(eDateiName, 3, 0, 1, 3);
    ziel->addWidget(bDateiName, 3, 3);

    gbBereich = named(new QGroupBox(QStringLiteral("Print Range"), this), "gbBereich");
    rbAlle = named(new QRadioButton(QStringLiteral("All"), gbBereich), "rbAlle");
    rbAuswahl = named(new QRadioButton(QStringLiteral("Selection"), gbBereich), "rbAuswahl");
    eAuswahl = named(new QLineEdit(gbBereich), "eAuswahl");
    rbSeiten = named(new QRadioButton(QStringLiteral("Pages"), gbBereich), "rbSeiten");
    eVon = named(new QSpinBox(gbBereich), "eVon");
    eBis = named(new QSpinBox(gbBereich), "eBis");
    eVon->setRange(1, 99999);
    eBis->setRange(1, 99999);
    lVon = named(new QLabel(QStringLiteral("From"), gbBereich), "lVon");
    lBis = named(new QLabel(QStringLiteral("to"), gbBereich), "lBis");
    lVon->setBuddy(eVon);
    lBis->setBuddy(eBis);
    rbAlle->setChecked(true);
    auto *bereich = new QGridLayout(gbBereich);
    bereich->addWidget(rbAlle, 0, 0);
    bereich->addWidget(rbAuswahl, 1, 0);
    bereich->addWidget(eAuswahl, 1, 1, 1, 4);
    bereich->addWidget(rbSeiten, 2, 0);
    bereich->addWidget(lVon, 2, 1);
    bereich->addWidget(eVon, 2, 2);
    bereich->addWidget(lBis, 2, 3);
    bereich->addWidget(eBis, 2, 4);

    bOK = named(new QPushButton(QStringLiteral("   OK   "), this), "bOK");
    bOK->setDefault(true);
    bAbbrechen = named(new QPushButton(QStringLiteral("Abbrechen"), this), "bAbbrechen");
    auto *knoepfe = new QHBoxLayout;
    knoepfe->addStretch(1);
    knoepfe->addWidget(bOK);
    knoepfe->addWidget(bAbbrechen);

    auto *mitte = new QHBoxLayout;
    mitte->addWidget(gbOptionen);
    mitte->addWidget(gbZiel, 1);
    auto *spalte = new QVBoxLayout(this);
    spalte->addWidget(gbDrucker);
    spalte->addLayout(mitte);
    spalte->addWidget(gbBereich);
    spalte->addLayout(knoepfe);

    SaveDialog1 = named(new TDateiDialog(TDateiDialog::Speichern, this), "SaveDialog1");
    SaveDialog1->OverwritePrompt = true;
    PrinterSetupDialog = new TPrinterSetupDialog(this, QStringLiteral("PrinterSetupDialog"));

    connect(bOK, &QPushButton::clicked, this, &QDialog::accept);
    connect(bAbbrechen, &QPushButton::clicked, this, &QDialog::reject);
    connect(bSetup, &QPushButton::clicked, this, &TRPSetupForm_NQ_dt::SetupClick);
    connect(bDateiName, &QPushButton::clicked, this, &TRPSetupForm_NQ_dt::DateiNameClick);
    for (QRadioButton *r : {rbDrucker, rbVorschau, rbDatei})
        connect(r, &QRadioButton::toggled, this, &TRPSetupForm_NQ_dt::ZielGeaendert);
    FormatListeFuellen(false);
    rbDrucker->setChecked(true);
}

void TRPSetupForm_NQ_dt::showEvent(QShowEvent *event)
{
    DruckerAnzeigen();
    QDialog::showEvent(event);
}

void TRPSetupForm_NQ_dt::DruckerAnzeigen()
{
    const QString name = DruckerName(Anwendungsdrucker());
    lDrucker->setText(!DruckerInstalliert() ? QStringLiteral("Kein Drucker installiert!")
                                            : (name.isEmpty() ? QStringLiteral("(kein)") : name));
}

void TRPSetupForm_NQ_dt::FormatListeFuellen(bool pdfAktiv)
{
    cbFormat->clear();
    cbFormat->addItem(DruckerdateiFormat, int(TDateiFormat::Druckerdatei));
    if (pdfAktiv)
        cbFormat->addItem(QLatin1String(PdfFormatName), int(TDateiFormat::Pdf));
    // The first renderer is the format a file most likely wants.
    cbFormat->setCurrentIndex(cbFormat->count() > 1 ? 1 : 0);
}

void TRPSetupForm_NQ_dt::Einstellen(const TRvSystem &sys, bool ausVorschau)
{
    AusVorschau = ausVorschau;
    m_seitenzahl = sys.Seitenzahl;
    setWindowTitle(sys.SetupTitel);
    FormatListeFuellen(sys.PdfAktiv);
    const int format = cbFormat->findData(int(sys.Format));
    if (format >= 0 && !sys.DateiName.isEmpty())
        cbFormat->setCurrentIndex(format);
    eDateiName->setText(sys.DateiName);

    eKopien->setEnabled(sys.Kopien);
    lKopien->setEnabled(sys.Kopien);
    eKopien->setValue(qMax(1, sys.Kopienzahl));
    cbSortieren->setEnabled(sys.Sortieren);
    cbSortieren->setChecked(sys.Sortiert);
    cbDuplex->setEnabled(sys.Duplex);
    cbDuplex->setChecked(sys.Beidseitig);
    bSetup->setEnabled(sys.DruckerSetup);

    rbDrucker->setEnabled(sys.ZielDrucker);
    rbVorschau->setEnabled(sys.ZielVorschau && !ausVorschau);
    rbDatei->setEnabled(sys.ZielDatei);
    TReportZiel ziel = sys.StandardZiel;
    if (ausVorschau && ziel == TReportZiel::Vorschau)
        ziel = TReportZiel::Drucker;
    (ziel == TReportZiel::Vorschau ? rbVorschau : ziel == TReportZiel::Datei ? rbDatei : rbDrucker)->setChecked(true);

    rbAlle->setChecked(true);
    eAuswahl->clear();
    eVon->setValue(1);
    eBis->setValue(1);
    ZielGeaendert();
    DruckerAnzeigen();
}

void TRPSetupForm_NQ_dt::Uebernehmen(TRvSystem &sys) const
{
    sys.Ziel = rbVorschau->isChecked() ? TReportZiel::Vorschau
             : rbDatei->isChecked()    ? TReportZiel::Datei
                                       : TReportZiel::Drucker;
    sys.Kopienzahl = eKopien->value();
    sys.Sortiert = cbSortieren->isChecked();
    sys.Beidseitig = cbDuplex->isChecked();
    sys.Bereich = rbAuswahl->isChecked() ? TDruckBereich::Auswahl
                : rbSeiten->isChecked()  ? TDruckBereich::Seiten
                                         : TDruckBereich::Alle;
    sys.Auswahl = eAuswahl->text();
    sys.SeiteVon = eVon->value();
    sys.SeiteBis = eBis->value();
    sys.DateiName = eDateiName->text().trimmed();
    sys.Format = TDateiFormat(cbFormat->currentData().toInt());
}

void TRPSetupForm_NQ_dt::accept()
{
    TRvSystem gewaehlt;
    Uebernehmen(gewaehlt);
    // A preview shows every page whatever the range; a job of no page would be a blank sheet.
    if (gewaehlt.Ziel != TReportZiel::Vorschau && m_seitenzahl > 0 && SeitenWahl(gewaehlt, m_seitenzahl).isEmpty()) {
        ShowMessageBox(this, TBoxKind::Warning, QStringLiteral("Druckbereich"), LeererDruckbereichText(m_seitenzahl));
        return;
    }
    QDialog::accept();
}

void TRPSetupForm_NQ_dt::ZielGeaendert()
{
    const bool datei = rbDatei->isChecked();
    for (QWidget *w : std::initializer_list<QWidget *>{lFormat, cbFormat, eDateiName, bDateiName})
        w->setEnabled(datei);
}

void TRPSetupForm_NQ_dt::DateiNameClick()
{
    // One filter per format entry, in the list's order.
    QStringList filter;
    for (int i = 0; i < cbFormat->count(); ++i) {
        const bool pdf = TDateiFormat(cbFormat->itemData(i).toInt()) == TDateiFormat::Pdf;
        const QString endung = pdf ? QLatin1String(PdfDateiendung) : DruckerdateiEndung;
        filter << cbFormat->itemText(i) + QStringLiteral(" (") + endung + QLatin1Char(')') << endung;
    }
    SaveDialog1->Filter = filter.join(QLatin1Char('|'));
    // The dialog opens on the first renderer's filter, the entry behind the printer's own output.
    SaveDialog1->FilterIndex = cbFormat->count() > 1 ? 2 : 1;
    SaveDialog1->DefaultExt = cbFormat->currentData().toInt() == int(TDateiFormat::Pdf) ? QStringLiteral("pdf")
                                                                                          : QStringLiteral("prn");
    SaveDialog1->FileName = eDateiName->text();
    if (!SaveDialog1->Execute(this))
        return;
    eDateiName->setText(SaveDialog1->FileName);
    // The chosen file's extension picks its format entry.
    const QString endung = QFileInfo(SaveDialog1->FileName).suffix().toLower();
    for (int i = 0; i < cbFormat->count(); ++i) {
        const bool pdf = TDateiFormat(cbFormat->itemData(i).toInt()) == TDateiFormat::Pdf;
        if (endung == (pdf ? QStringLiteral("pdf") : QStringLiteral("prn")))
            cbFormat->setCurrentIndex(i);
    }
    rbDatei->setChecked(true);
}

void TRPSetupForm_NQ_dt::SetupClick()
{
    PrinterSetupDialog->Execute();
    DruckerAnzeigen();
}

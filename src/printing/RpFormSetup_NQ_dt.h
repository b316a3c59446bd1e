#pragma once
// The German print-setup window "Output Options": printer, copies, destination with its file
// formats, and the page range of a report run.
#include "printing/ReportAusgabe.h"

#include <QDialog>
#include <QPointer>

class QCheckBox;
class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;
class QSpinBox;
class TDateiDialog;
class TPrinterSetupDialog;

class TRPSetupForm_NQ_dt : public QDialog
{
    Q_OBJECT
public:
    explicit TRPSetupForm_NQ_dt(QWidget *parent = nullptr);

    // Before a show: the allowed choices and defaults of `sys`; from a preview, the preview is
    // no destination.
    void Einstellen(const TRvSystem &sys, bool ausVorschau);
    // After OK: the choices into `sys`.
    void Uebernehmen(TRvSystem &sys) const;

    // The printer of the moment into the printer label.
    void DruckerAnzeigen();
    // The printer's own output, then one entry per active renderer; the first renderer is chosen.
    void FormatListeFuellen(bool pdfAktiv);
    void DateiNameClick();
    void SetupClick();

    // Opened from a preview.
    bool AusVorschau = false;

    QGroupBox *gbDrucker;
    QLabel *lDrucker;
    QPushButton *bSetup;
    QGroupBox *gbOptionen;
    QLabel *lKopien;
    QSpinBox *eKopien;
    QCheckBox *cbSortieren;
    QCheckBox *cbDuplex;
    QGroupBox *gbZiel;
    QRadioButton *rbDrucker;
    QRadioButton *rbVorschau;
    QRadioButton *rbDatei;
    QLabel *lFormat;
    QComboBox *cbFormat;
    QLineEdit *eDateiName;
    QPushButton *bDateiName;
    QGroupBox *gbBereich;
    QRadioButton *rbAlle;
    QRadioButton *rbAuswahl;
    QLineEdit *eAuswahl;
    QRadioButton *rbSeiten;
    QLabel *lVon;
    QSpinBox *eVon;
    QLabel *lBis;
    QSpinBox *eBis;
    QPushButton *bOK;
    QPushButton *bAbbrechen;
    TDateiDialog *SaveDialog1;
    TPrinterSetupDialog *PrinterSetupDialog;

    // OK: refused, with the reason, while a printer or file would get none of the pages.
    void accept() override;

protected:
    void showEvent(QShowEvent *event) override;

private:
    void ZielGeaendert();
    int m_seitenzahl = 0;
};

// Created at start-up as the sixth window; empty once destroyed with its owner.
extern QPointer<TRPSetupForm_NQ_dt> RPSetupForm_NQ_dt;

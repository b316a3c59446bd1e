#pragma once
// The German report preview "Report Preview": the finished pages with page navigation, zoom,
// saving as PDF and printing.
#include "printing/ReportAusgabe.h"

#include <QDialog>
#include <QPointer>
#include <functional>
#include <memory>

class QAction;
class QLabel;
class QLineEdit;
class QMenu;
class QMenuBar;
class QPrintPreviewWidget;
class QPrinter;
class QSpinBox;
class QStatusBar;
class QToolBar;
class QToolButton;
class TDateiDialog;

class TRavePreviewForm_NQ_dt : public QDialog
{
    Q_OBJECT
public:
    explicit TRavePreviewForm_NQ_dt(QWidget *parent = nullptr);
    ~TRavePreviewForm_NQ_dt() override;

    // Renders `report` (kept by the caller until Beenden) and shows its first page.
    void VorschauStarten(const TReport *report);
    // Drops the report after the run.
    void VorschauBeenden();

    int SeiteAktuell() const;
    int Seitenzahl() const;
    void GeheZuSeite(int seite);

    void ErsteClick();
    void VorigeClick();
    void NaechsteClick();
    void LetzteClick();
    void GeheZuSeiteClick();
    void SpeichernUnterClick();
    void DruckenClick();
    void ZoomEingabe();

    // The print action of the run; without one the print entries are disabled.
    std::function<void()> Drucken;

    QMenuBar *MainMenu1;
    QMenu *mDatei;
    QAction *mSpeichernUnter;
    QAction *mDrucken;
    QAction *mBeenden;
    QMenu *mSeite;
    QAction *mErste;
    QAction *mVorige;
    QAction *mNaechste;
    QAction *mLetzte;
    QAction *mGeheZuSeite;
    QMenu *mZoom;
    QAction *mEinzoomen;
    QAction *mAuszoomen;
    QAction *mSeitePassend;
    QAction *mBreitePassend;
    QToolBar *ToolBar1;
    QToolButton *bSpeichern;
    QToolButton *bDrucken;
    QLabel *lSeite;
    QSpinBox *eSeite;
    QLabel *lSeitenzahl;
    QLabel *lZoom;
    QLineEdit *eZoom;
    QLabel *lProzent;
    QPrintPreviewWidget *Vorschau;
    QStatusBar *StatusBar1;
    TDateiDialog *SaveDialog1;

private:
    void MalenAngefordert(QPrinter *drucker);
    void SeiteGeaendert();

    std::unique_ptr<QPrinter> m_drucker;
    const TReport *m_report = nullptr;
};

// Created at start-up as the fifth window; empty once destroyed with its owner.
extern QPointer<TRavePreviewForm_NQ_dt> RavePreviewForm_NQ_dt;

#include "printing/RpFormPreview_NQ_dt.h"

#include "app/Benannt.h"
#include "app/Dialoge.h"
#include "app/Drucker.h"

#include <QAction>
#include <QApplication>
#include <QInputDialog>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QPainter>
#include <QPrintPreviewWidget>
#include <QPrinter>
#include <QSpinBox>
#include <QStatusBar>
#include <QToolBar>
#include <QToolButton>
#include <QVBoxLayout>

QPointer<TRavePreviewForm_NQ_dt> RavePreviewForm_NQ_dt;

namespace {
// Before a page shows, the page label reads as the window was designed.
const QString VonAnfang = QStringLiteral("von 3000");
} // namespace

TRavePreviewForm_NQ_dt::TRavePreviewForm_NQ_dt(QWidget *parent)
    : QDialog(parent), m_drucker(std::make_unique<QPrinter>(QPrinter::HighResolution))
{
    setObjectName(QStringLiteral("RavePreviewForm_NQ_dt"));
    setWindowTitle(QStringLiteral("Report Preview"));
    setWindowFlags(Qt::Window | Qt::WindowTitleHint | Qt::WindowSystemMenuHint | Qt::WindowMinMaxButtonsHint |
                   Qt::WindowCloseButtonHint);
    resize(800, 600);
    // The preview paints on a PDF printer of its own: it needs no printer installed.
    m_drucker->setOutputFormat(QPrinter::PdfFormat);
    ReportDruckerEinrichten(*m_drucker);

    MainMenu1 = named(new QMenuBar(this), "MainMenu1");
    mDatei = named(MainMenu1->addMenu(QStringLiteral("&Datei")), "mDatei");
    mSpeichernUnter = named(mDatei->addAction(QStringLiteral("&Speichern unter")), "mSpeichernUnter");
    mDrucken = named(mDatei->addAction(QStringLiteral("&Drucken")), "mDrucken");
    mDrucken->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_D));
    mDatei->addSeparator();
    mBeenden = named(mDatei->addAction(QStringLiteral("Beenden")), "mBeenden");
    mSeite = named(MainMenu1->addMenu(QStringLiteral("&Seite")), "mSeite");
    mErste = named(mSeite->addAction(QStringLiteral("&Erste")), "mErste");
    mErste->setShortcut(QKeySequence(Qt::Key_Home));
    mVorige = named(mSeite->addAction(QStringLiteral("&Vorige")), "mVorige");
    mVorige->setShortcut(QKeySequence(Qt::Key_PageUp));
    mNaechste = named(mSeite->addAction(QStringLiteral("&Nächste")), "mNaechste");
    mNaechste->setShortcut(QKeySequence(Qt::Key_PageDown));
    mLetzte = named(mSeite->addAction(QStringLiteral("&Letzte")), "mLetzte");
    mLetzte->setShortcut(QKeySequence(Qt::Key_End));
    mGeheZuSeite = named(mSeite->addAction(QStringLiteral("&Gehe zu Seite #")), "mGeheZuSeite");
    mGeheZuSeite->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_G));
    mZoom = named(MainMenu1->addMenu(QStringLiteral("&Zoom")), "mZoom");
    mEinzoomen = named(mZoom->addAction(QStringLiteral("Einzoomen")), "mEinzoomen");
    mEinzoomen->setShortcut(QKeySequence(Qt::Key_Plus));
    mAuszoomen = named(mZoom->addAction(QStringLiteral("Auszoomen")), "mAuszoomen");
    mAuszoomen->setShortcut(QKeySequence(Qt::Key_Minus));
    mSeitePassend = named(mZoom->addAction(QStringLiteral("Auf Seite passend")), "mSeitePassend");
    mBreitePassend = named(mZoom->addAction(QStringLiteral("Auf Breite passend")), "mBreitePassend");

    ToolBar1 = named(new QToolBar(this), "ToolBar1");
    bSpeichern = named(new QToolButton(ToolBar1), "bSpeichern");
    bSpeichern->setDefaultAction(mSpeichernUnter);
    bSpeichern->setToolButtonStyle(Qt::ToolButtonTextOnly);
    bSpeichern->setToolTip(QStringLiteral("Report speichern"));
    bDrucken = named(new QToolButton(ToolBar1), "bDrucken");
    bDrucken->setDefaultAction(mDrucken);
    bDrucken->setToolButtonStyle(Qt::ToolButtonTextOnly);
    bDrucken->setToolTip(QStringLiteral("Report drucken"));
    lSeite = named(new QLabel(QStringLiteral("Seite"), ToolBar1), "lSeite");
    eSeite = named(new QSpinBox(ToolBar1), "eSeite");
    eSeite->setRange(1, 1);
    lSeitenzahl = named(new QLabel(VonAnfang, ToolBar1), "lSeitenzahl");
    lZoom = named(new QLabel(QStringLiteral("Zoom"), ToolBar1), "lZoom");
    eZoom = named(new QLineEdit(QStringLiteral("100.0"), ToolBar1), "eZoom");
    eZoom->setMaximumWidth(60);
    lProzent = named(new QLabel(QStringLiteral("%"), ToolBar1), "lProzent");
    ToolBar1->addWidget(bSpeichern);
    ToolBar1->addWidget(bDrucken);
    ToolBar1->addSeparator();
    ToolBar1->addWidget(lSeite);
    ToolBar1->addWidget(eSeite);
    ToolBar1->addWidget(lSeitenzahl);
    ToolBar1->addSeparator();
    ToolBar1->addWidget(lZoom);
    ToolBar1->addWidget(eZoom);
    ToolBar1->addWidget(lProzent);

    Vorschau = named(new QPrintPreviewWidget(m_drucker.get(), this), "Vorschau");
    Vorschau->setZoomMode(QPrintPreviewWidget::FitInView);
    StatusBar1 = named(new QStatusBar(this), "StatusBar1");
    StatusBar1->setSizeGripEnabled(false);

    auto *spalte = new QVBoxLayout(this);
    spalte->setContentsMargins(0, 0, 0, 0);
    spalte->setSpacing(0);
    spalte->setMenuBar(MainMenu1);
    spalte->addWidget(ToolBar1);
    spalte->addWidget(Vorschau, 1);
    spalte->addWidget(StatusBar1);

    SaveDialog1 = named(new TDateiDialog(TDateiDialog::Speichern, this), "SaveDialog1");
    SaveDialog1->Filter = QLatin1String(PdfFormatName) + QStringLiteral(" (") + QLatin1String(PdfDateiendung) +
                          QStringLiteral(")|") + QLatin1String(PdfDateiendung);
    SaveDialog1->DefaultExt = QStringLiteral("pdf");
    SaveDialog1->OverwritePrompt = true;

    connect(Vorschau, &QPrintPreviewWidget::paintRequested, this, &TRavePreviewForm_NQ_dt::MalenAngefordert);
    connect(Vorschau, &QPrintPreviewWidget::previewChanged, this, &TRavePreviewForm_NQ_dt::SeiteGeaendert);
    connect(mSpeichernUnter, &QAction::triggered, this, &TRavePreviewForm_NQ_dt::SpeichernUnterClick);
    connect(mDrucken, &QAction::triggered, this, &TRavePreviewForm_NQ_dt::DruckenClick);
    connect(mBeenden, &QAction::triggered, this, &QDialog::accept);
    connect(mErste, &QAction::triggered, this, &TRavePreviewForm_NQ_dt::ErsteClick);
    connect(mVorige, &QAction::triggered, this, &TRavePreviewForm_NQ_dt::VorigeClick);
    connect(mNaechste, &QAction::triggered, this, &TRavePreviewForm_NQ_dt::NaechsteClick);
    connect(mLetzte, &QAction::triggered, this, &TRavePreviewForm_NQ_dt::LetzteClick);
    connect(mGeheZuSeite, &QAction::triggered, this, &TRavePreviewForm_NQ_dt::GeheZuSeiteClick);
    connect(mEinzoomen, &QAction::triggered, this, [this] {
        Vorschau->zoomIn();
        SeiteGeaendert();
    });
    connect(mAuszoomen, &QAction::triggered, this, [this] {
        Vorschau->zoomOut();
        SeiteGeaendert();
    });
    connect(mSeitePassend, &QAction::triggered, this, [this] {
        Vorschau->fitInView();
        SeiteGeaendert();
    });
    connect(mBreitePassend, &QAction::triggered, this, [this] {
        Vorschau->fitToWidth();
        SeiteGeaendert();
    });
    connect(eSeite, &QSpinBox::editingFinished, this, [this] { GeheZuSeite(eSeite->value()); });
    connect(eZoom, &QLineEdit::editingFinished, this, &TRavePreviewForm_NQ_dt::ZoomEingabe);
}

TRavePreviewForm_NQ_dt::~TRavePreviewForm_NQ_dt() = default;

void TRavePreviewForm_NQ_dt::VorschauStarten(const TReport *report)
{
    m_report = report;
    lSeitenzahl->setText(VonAnfang);
    mDrucken->setEnabled(bool(Drucken));
    // Rendered at once, so the page count is known before the window shows.
    Vorschau->updatePreview();
    Vorschau->setCurrentPage(1);
    SeiteGeaendert();
}

void TRavePreviewForm_NQ_dt::VorschauBeenden()
{
    m_report = nullptr;
    Drucken = nullptr;
    Vorschau->updatePreview();
}

void TRavePreviewForm_NQ_dt::MalenAngefordert(QPrinter *drucker)
{
    if (!m_report)
        return;
    QPainter painter(drucker);
    QList<int> alle;
    for (int s = 1; s <= m_report->Seiten.size(); ++s)
        alle << s;
    ReportSeitenMalen(painter, *drucker, *m_report, alle);
}

int TRavePreviewForm_NQ_dt::SeiteAktuell() const { return Vorschau->currentPage(); }
int TRavePreviewForm_NQ_dt::Seitenzahl() const { return Vorschau->pageCount(); }

void TRavePreviewForm_NQ_dt::GeheZuSeite(int seite)
{
    Vorschau->setCurrentPage(qBound(1, seite, qMax(1, Seitenzahl())));
    SeiteGeaendert();
}

void TRavePreviewForm_NQ_dt::SeiteGeaendert()
{
    const int anzahl = Seitenzahl();
    if (anzahl < 1)
        return;
    const QString von = QStringLiteral("von");
    const QString seiten = QString::number(anzahl);
    lSeitenzahl->setText(von + QLatin1Char(' ') + seiten);
    const QSignalBlocker still(eSeite);
    eSeite->setRange(1, anzahl);
    eSeite->setValue(SeiteAktuell());
    StatusBar1->showMessage(QStringList{QStringLiteral("Seite"), QString::number(SeiteAktuell()), von, seiten}.join(QLatin1Char(' ')));
    eZoom->setText(QString::number(Vorschau->zoomFactor() * 100.0, 'f', 1));
}

void TRavePreviewForm_NQ_dt::ErsteClick() { GeheZuSeite(1); }
void TRavePreviewForm_NQ_dt::VorigeClick() { GeheZuSeite(SeiteAktuell() - 1); }
void TRavePreviewForm_NQ_dt::NaechsteClick() { GeheZuSeite(SeiteAktuell() + 1); }
void TRavePreviewForm_NQ_dt::LetzteClick() { GeheZuSeite(Seitenzahl()); }

void TRavePreviewForm_NQ_dt::GeheZuSeiteClick()
{
    QInputDialog frage(this);
    frage.setObjectName(QStringLiteral("GeheZuSeite"));
    frage.setWindowTitle(QStringLiteral("Gehe zu Seite"));
    frage.setLabelText(QStringLiteral("Seite angeben:"));
    frage.setInputMode(QInputDialog::IntInput);
    frage.setIntRange(1, qMax(1, Seitenzahl()));
    frage.setIntValue(SeiteAktuell());
    if (RunModalDialog(&frage) == QDialog::Accepted)
        GeheZuSeite(frage.intValue());
}

void TRavePreviewForm_NQ_dt::ZoomEingabe()
{
    bool ok = false;
    const double prozent = eZoom->text().replace(QLatin1Char(','), QLatin1Char('.')).toDouble(&ok);
    if (ok && prozent >= 5 && prozent <= 1000) {
        Vorschau->setZoomMode(QPrintPreviewWidget::CustomZoom);
        Vorschau->setZoomFactor(prozent / 100.0);
    }
    SeiteGeaendert();
}

void TRavePreviewForm_NQ_dt::SpeichernUnterClick()
{
    if (!m_report || !SaveDialog1->Execute(this))
        return;
    QList<int> alle;
    for (int s = 1; s <= m_report->Seiten.size(); ++s)
        alle << s;
    if (!ReportInDatei(*m_report, SaveDialog1->FileName, TDateiFormat::Pdf, Anwendungsdrucker(), alle)) {
        ShowMessageBox(this, TBoxKind::Critical, QStringLiteral("Printerror"), QStringLiteral("Print-Error Rave02"));
        QApplication::beep();
    }
}

void TRavePreviewForm_NQ_dt::DruckenClick()
{
    if (Drucken)
        Drucken();
}

// The main window's three log lists and its error box.
#include "link/uKelvor.h"

#include "app/Sammlung.h"
#include "app/uShowbox.h"

#include <QCheckBox>
#include <QDateTime>
#include <QLineEdit>
#include <QScopedValueRollback>
#include <QScrollBar>
#include <QTimer>

namespace {
// Each list keeps this many lines at most: above it the oldest goes before an append.
const int MaxLogZeilen = 2000;
// A list that receives lines is drawn this often at most.
const int DrawHoldMs = 250;
}

TLogListe::TLogListe(QWidget *parent) : QListWidget(parent)
{
    setHorizontalScrollMode(QAbstractItemView::ScrollPerPixel);
    // A bar that comes and goes changes the viewport, which asks for the range again.
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    setSelectionMode(QAbstractItemView::SingleSelection);
}

void TLogListe::setExtent(int pixels)
{
    m_extent = pixels;
    updateGeometries();
}

void TLogListe::addLine(const QString &text)
{
    auto *line = new QListWidgetItem(text, this);
    line->setSizeHint(sizeHintForIndex(indexFromItem(line)));
    holdDrawing();
}

void TLogListe::holdDrawing()
{
    if (!m_drawHold) {
        m_drawHold = new QTimer(this);
        m_drawHold->setSingleShot(true);
        connect(m_drawHold, &QTimer::timeout, this, [this] {
            if (updatesEnabled())
                return;
            // Draws what came during the hold, and holds again for the lines that follow.
            setUpdatesEnabled(true);
            m_drawHold->start(DrawHoldMs);
        });
    }
    // The first line after a quiet spell is drawn at once; those within the hold come with the next.
    if (m_drawHold->isActive())
        setUpdatesEnabled(false);
    else
        m_drawHold->start(DrawHoldMs);
}

void TLogListe::updateGeometries()
{
    // Setting the range below makes the view lay itself out again.
    if (m_inUpdate)
        return;
    const QScopedValueRollback guard(m_inUpdate, true);
    QListWidget::updateGeometries();
    // The list computes its range from the lines it holds; the stored extent may reach further.
    QScrollBar *bar = horizontalScrollBar();
    const int wanted = m_extent - viewport()->width();
    if (wanted > bar->maximum())
        bar->setRange(0, wanted);
}

void TwKelvor::AppendLine(TLogListe *list, int &extent, const QString &text, const QString &line)
{
    const int pointSize = qMax(0, list->font().pointSize());
    const qint64 w = qint64(pointSize) * text.size();
    if (w > extent)
        extent = int(qMin<qint64>(w, std::numeric_limits<int>::max()));
    // Each setting lays the list out again.
    if (list->extent() != extent)
        list->setExtent(extent);

    if (!Tracking->isChecked())
        return;
    if (list->count() > MaxLogZeilen)
        delete list->takeItem(0);
    list->addLine(line);
    list->setCurrentRow(list->count() - 1);
}

void TwKelvor::BefehlEintragen(const QString &text)
{
    if (Fensterpanel->isHidden())
        return;
    AppendLine(LBout, m_extentOut, text, text);
}

void TwKelvor::AntwortEintragen(const QString &text)
{
    if (Fensterpanel->isHidden())
        return;
    AppendLine(LBIn, m_extentIn, text, text);
}

void TwKelvor::FehlerEintragen(const QString &text)
{
    AppendLine(LBError, m_extentError, text,
               ZeitStempel(QDateTime::currentDateTime()) + QLatin1Char('-') + text);
}

void TwKelvor::FehlerMelden(const QString &text)
{
    const QString caption = QStringLiteral("Fehler");
    // An unattended repeat test must not wait for somebody to press OK.
    if (RepeatBprgSend->isChecked() || RepeatBprgRead->isChecked())
        ShowboxTimed(caption, text, 0);
    else
        ShowboxOK(caption, text);
}

void TwKelvor::XQZeitSetzen(const QString &text)
{
    XQTime->setText(text);
}

void TwKelvor::VersionSetzen(const QString &text)
{
    VersionEdit->setText(text);
}

void TwKelvor::FehlerListeLeeren()
{
    LBError->clear();
}

void TwKelvor::ClearBtnClick()
{
    LBout->clear();
    LBIn->clear();
    LBError->clear();
}

// The main window's three log lists and its error box.
#include "link/uKelvor.h"

#include "app/Sammlung.h"
#include "app/uShowbox.h"

#include <QApplication>
#include <QCheckBox>
#include <QDateTime>
#include <QElapsedTimer>
#include <QLineEdit>
#include <QScopedValueRollback>
#include <QScrollBar>
#include <QCache>
#include <QPainter>
#include <QPixmap>
#include <QtMath>
#include <QStaticText>
#include <QStyledItemDelegate>
#include <QTimer>

namespace {
// Each list keeps this many lines at most: above it the oldest goes before an append.
const int MaxLogZeilen = 2000;
// Drawing a list's visible lines costs far more than keeping a new one. A list draws the lines
// that came at once, as long as it has a drawing in hand; it keeps up to DrawBurst of them and
// earns one every DrawEveryMs, so a command by hand shows at once and a steady poll is drawn
// every DrawEveryMs.
const int DrawBurst = 3;
const int DrawEveryMs = 2000;
const int MaxMeasuredWidths = 64;
// What the pictures of a list's drawn lines may take, in KiB.
const int MaxDrawnKb = 2048;
}

// Draws a line from its text laid out once: shaping every visible line on every drawing is
// what a live log spends its time on.
class TLogZeichner : public QStyledItemDelegate
{
public:
    using QStyledItemDelegate::QStyledItemDelegate;

    void paint(QPainter *painter, const QStyleOptionViewItem &option, const QModelIndex &index) const override
    {
        QStyleOptionViewItem opt = option;
        initStyleOption(&opt, index);
        const QString text = opt.text;
        const QStaticText &laid = laidOut(text, opt.font);
        opt.text.clear();
        const QWidget *widget = opt.widget;
        QStyle *style = widget ? widget->style() : QApplication::style();
        const int margin = style->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, widget) + 1;
        // All lines share the first one's size, so a wider line reaches past its rectangle.
        opt.rect.setWidth(qMax(opt.rect.width(), int(laid.size().width()) + 2 * margin));
        // The list fills its own ground: a plain line needs no panel of its own.
        if (opt.state & (QStyle::State_Selected | QStyle::State_HasFocus) || opt.backgroundBrush.style() != Qt::NoBrush)
            style->drawControl(QStyle::CE_ItemViewItem, &opt, painter, widget);
        const QRect r = style->subElementRect(QStyle::SE_ItemViewItemText, &opt, widget);
        const QColor pen = opt.palette.color(opt.state & QStyle::State_Enabled ? QPalette::Normal : QPalette::Disabled,
                                             opt.state & QStyle::State_Selected ? QPalette::HighlightedText
                                                                                : QPalette::Text);
        const QPointF at(r.left() + margin, r.top() + (r.height() - laid.size().height()) / 2);
        painter->save();
        painter->setClipRect(r);
        if (const QPixmap *bild = drawn(text, laid, opt.font, pen, at.y() - std::floor(at.y()), painter))
            painter->drawPixmap(QPointF(at.x(), std::floor(at.y())), *bild);
        else {
            painter->setFont(opt.font);
            painter->setPen(pen);
            painter->drawStaticText(at, laid);
        }
        painter->restore();
    }

private:
    const QStaticText &laidOut(const QString &text, const QFont &font) const
    {
        if (m_font != font) {
            m_laid.clear();
            m_drawn.clear();
            m_font = font;
        }
        if (QStaticText *laid = m_laid.object(text))
            return *laid;
        auto *laid = new QStaticText(text);
        laid->setTextFormat(Qt::PlainText);
        laid->prepare(QTransform(), font);
        m_laid.insert(text, laid);
        return *laid;
    }

    // The line drawn once into a picture of its own: a list draws the same lines again with
    // every line that comes, and copying a picture costs a fraction of drawing its glyphs.
    // None for a painter that scales or turns.
    const QPixmap *drawn(const QString &text, const QStaticText &laid, const QFont &font, const QColor &pen,
                         qreal dy, QPainter *painter) const
    {
        if (painter->deviceTransform().type() > QTransform::TxTranslate)
            return nullptr;
        const qreal dpr = painter->device()->devicePixelRatio();
        const QSize size(qCeil((laid.size().width() + 1) * dpr), qCeil((laid.size().height() + 1) * dpr));
        const int kb = int(qMin<qint64>(qint64(size.width()) * size.height() * 4 / 1024 + 1, MaxDrawnKb));
        if (kb * 4 > MaxDrawnKb)
            return nullptr;
        const QString key = text + QChar(0) + QString::number(pen.rgba(), 16) + QChar(0) + QString::number(dy)
                            + QChar(0) + QString::number(dpr);
        if (const QPixmap *bild = m_drawn.object(key))
            return bild;
        auto *bild = new QPixmap(size);
        bild->setDevicePixelRatio(dpr);
        bild->fill(Qt::transparent);
        QPainter p(bild);
        p.setFont(font);
        p.setPen(pen);
        p.drawStaticText(QPointF(0, dy), laid);
        p.end();
        m_drawn.insert(key, bild, kb);
        return bild;
    }

    mutable QCache<QString, QStaticText> m_laid{4000};
    mutable QCache<QString, QPixmap> m_drawn{MaxDrawnKb};
    mutable QFont m_font;
};

TLogListe::TLogListe(QWidget *parent) : QListWidget(parent)
{
    setItemDelegate(new TLogZeichner(this));
    setHorizontalScrollMode(QAbstractItemView::ScrollPerPixel);
    // A bar that comes and goes changes the viewport, which asks for the range again.
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    setSelectionMode(QAbstractItemView::SingleSelection);
    // Every line is one line of the list's font: measuring each would cost more than keeping it.
    setUniformItemSizes(true);
    // Frame, bars, corner and lines cover all of the list, so the group box behind it need not
    // be drawn first when a part of it changes.
    setAttribute(Qt::WA_OpaquePaintEvent);
    horizontalScrollBar()->setAttribute(Qt::WA_OpaquePaintEvent);
    verticalScrollBar()->setAttribute(Qt::WA_OpaquePaintEvent);
}

void TLogListe::setExtent(int pixels)
{
    m_extent = pixels;
    updateGeometries();
}

void TLogListe::addLine(const QString &text)
{
    new QListWidgetItem(text, this);
    // Lines share one size, so the range must know the widest; only a line that might be wider
    // is measured.
    const QFontMetrics fm = fontMetrics();
    if (qint64(text.size()) * fm.maxWidth() > m_widest) {
        auto known = m_widths.constFind(text);
        if (known == m_widths.cend()) {
            if (m_widths.size() >= MaxMeasuredWidths)
                m_widths.clear();
            const int margin = style()->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, this) + 1;
            known = m_widths.insert(text, fm.horizontalAdvance(text) + 4 * margin);
        }
        const int w = *known;
        if (w > m_widest) {
            m_widest = w;
            updateGeometries();
        }
    }
    if (!m_drawHold) {
        m_drawHold = new QTimer(this);
        m_drawHold->setSingleShot(true);
        connect(m_drawHold, &QTimer::timeout, this, &TLogListe::drawHeldLines);
        m_drawsEarned.start();
        m_draws = DrawBurst;
    }
    // Lines that come in one go are drawn together, and the last one selected then: selecting
    // lays out the whole list. Only the lines wait: holding the list would draw its frame and
    // both bars again with every drawing, though they seldom change.
    viewport()->setUpdatesEnabled(false);
    if (!m_drawHold->isActive())
        m_drawHold->start(msUntilDraw());
}

int TLogListe::msUntilDraw()
{
    m_draws = qMin<double>(DrawBurst, m_draws + double(m_drawsEarned.restart()) / DrawEveryMs);
    return m_draws >= 1 ? 0 : int((1 - m_draws) * DrawEveryMs) + 1;
}

void TLogListe::drawHeldLines()
{
    const int wait = msUntilDraw();
    if (wait > 0) {
        m_drawHold->start(wait);
        return;
    }
    m_draws -= 1;
    if (std::exchange(m_layoutOwed, false))
        QListWidget::doItemsLayout();
    setCurrentRow(count() - 1);
    viewport()->setUpdatesEnabled(true);
}

void TLogListe::doItemsLayout()
{
    // Every line laid out the whole list again, once for each line: while lines are held, the
    // layout waits for their drawing.
    if (m_drawHold && m_drawHold->isActive()) {
        m_layoutOwed = true;
        return;
    }
    m_layoutOwed = false;
    QListWidget::doItemsLayout();
}

void TLogListe::changeEvent(QEvent *event)
{
    if (event->type() == QEvent::FontChange || event->type() == QEvent::StyleChange)
        m_widths.clear();
    QListWidget::changeEvent(event);
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
    const int wanted = qMax(m_extent, m_widest) - viewport()->width();
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

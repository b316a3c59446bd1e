#include "app/uShowbox.h"

#include "app/Dialoge.h"
#include "app/Zahlformat.h"
#include "app/Zeitgeber.h"
// The one upward edge of the frame: the timed box translates itself, as the translation rules ask.
#include "translate/translate.h"

#include <QCloseEvent>
#include <QColor>
#include <QFrame>
#include <QGuiApplication>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QScreen>

#include <utility>

QPointer<TwShowbox> wShowbox;
int ShowboxAnzahl = 0;
// Read from the settings file at start-up; these are the settings' defaults.
int ShowErrTime = 5000;
int ShowTextTime = 3000;

namespace {
constexpr int kDesignWidth = 177;
constexpr int kLineHeight = 20;
constexpr int kLastLineHeight = 25;
constexpr int kPanelHeight = 70;
// Left edges of "in", the seconds and the countdown text, as designed; a wider text before
// one of them pushes it to the right instead of covering it.
constexpr int kLabel5X = 10;
constexpr int kSekundenX = 26;
constexpr int kLabel7X = 43;
constexpr int kCountdownGap = 3;
int g_live = 0;

QRect screenRect()
{
    const QScreen *screen = QGuiApplication::primaryScreen();
    return screen ? screen->geometry() : QRect(0, 0, 1024, 768);
}

// A quarter, rounded to the nearest whole number with halves to the even one.
int quarter(int v)
{
    int q = v / 4;
    const int r = v % 4;
    if (r > 2 || (r == 2 && (q % 2) != 0))
        ++q;
    return q;
}

QLabel *messageLabel(QWidget *parent, const QString &name)
{
    auto *label = new QLabel(name, parent);
    label->setObjectName(name);
    QFont f(QStringLiteral("MS Sans Serif"));
    f.setPixelSize(16);
    label->setFont(f);
    label->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
    return label;
}

QLabel *panelLabel(QWidget *parent, const QString &name, const QString &text, int x, int y)
{
    auto *label = new QLabel(text, parent);
    label->setObjectName(name);
    label->move(x, y);
    label->adjustSize();
    return label;
}

QPushButton *button(QWidget *parent, const QString &name, const QString &text, const QRect &geometry)
{
    auto *b = new QPushButton(text, parent);
    b->setObjectName(name);
    b->setGeometry(geometry);
    return b;
}

// For a box that stays until a button closes it.
void hideCountdown(TwShowbox *box)
{
    box->CloseTimer->setEnabled(false);
    box->ShowTimer->setEnabled(false);
    box->Label5->hide();
    box->Sekunden->hide();
    box->Label7->hide();
}

// Position of the next line break (CR LF, or LF as Qt texts hold it) and its length.
qsizetype nextBreak(const QString &t, qsizetype *length)
{
    const qsizetype lf = t.indexOf(QLatin1Char('\n'));
    if (lf < 0)
        return -1;
    const bool crlf = lf > 0 && t[lf - 1] == QLatin1Char('\r');
    *length = crlf ? 2 : 1;
    return crlf ? lf - 1 : lf;
}
} // namespace

TwShowbox::TwShowbox(QWidget *parent)
    : QWidget(parent, Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowStaysOnTopHint)
{
    ++g_live;
    setObjectName(QStringLiteral("wShowbox"));
    setAttribute(Qt::WA_DeleteOnClose);
    // A message must never end the program when it is the last window to close.
    setAttribute(Qt::WA_QuitOnClose, false);
    QFont f(QStringLiteral("MS Sans Serif"));
    f.setPixelSize(11);
    setFont(f);
    resize(kDesignWidth, 150);

    Label1 = messageLabel(this, QStringLiteral("Label1"));
    Label2 = messageLabel(this, QStringLiteral("Label2"));
    Label3 = messageLabel(this, QStringLiteral("Label3"));
    Label4 = messageLabel(this, QStringLiteral("Label4"));

    Panel1 = new QFrame(this);
    Panel1->setObjectName(QStringLiteral("Panel1"));
    Panel1->hide();
    Label5 = panelLabel(Panel1, QStringLiteral("Label5"), QStringLiteral("in"), kLabel5X, 2);
    Sekunden = panelLabel(Panel1, QStringLiteral("Sekunden"), QStringLiteral("20"), kSekundenX, 2);
    Label7 = panelLabel(Panel1, QStringLiteral("Label7"), QStringLiteral("sek wird automatisch OK       gewählt"),
                        kLabel7X, 2);
    OKBtn = button(Panel1, QStringLiteral("OKBtn"), QStringLiteral("OK"), QRect(8, 40, 81, 25));
    CancelBtn = button(Panel1, QStringLiteral("CancelBtn"), QStringLiteral("Abbrechen"), QRect(96, 40, 75, 25));
    WaitBtn = button(Panel1, QStringLiteral("WaitBtn"), QStringLiteral("WaitBtn"), QRect(8, 40, 75, 25));
    WaitBtn->hide();
    OKBtn2 = button(this, QStringLiteral("OKBtn2"), QStringLiteral("OK"), QRect(96, 32, 75, 25));

    Lang = new QListWidget(this);
    Lang->setObjectName(QStringLiteral("Lang"));
    Lang->hide();

    CloseTimer = new TTimer(this, 3000, false);
    CloseTimer->setObjectName(QStringLiteral("CloseTimer"));
    ShowTimer = new TTimer(this, 500, true);
    ShowTimer->setObjectName(QStringLiteral("ShowTimer"));

    connect(CloseTimer, &TTimer::timeout, this, &TwShowbox::CloseTimerTimer);
    connect(ShowTimer, &TTimer::timeout, this, &TwShowbox::ShowTimerTimer);
    connect(OKBtn, &QPushButton::clicked, this, &TwShowbox::BtnClick);
    connect(CancelBtn, &QPushButton::clicked, this, &TwShowbox::BtnClick);

    RegisterWindow(this);
    FormCreate();
}

TwShowbox::~TwShowbox()
{
    --g_live;
}

int TwShowbox::liveCount()
{
    return g_live;
}

void TwShowbox::FormCreate()
{
    Lang->hide();
    Lang->addItem(QStringLiteral("Belegung konnte nicht gelöscht werden"));
    Lang->addItem(QStringLiteral("WARNUNG"));
    TranslateForm(QStringLiteral("TwShowbox"));
    if (ShowboxAnzahl < 32767)
        ++ShowboxAnzahl;
    if (ShowboxAnzahl >= 2)
        move(ShowboxPosition(ShowboxAnzahl, screenRect().size()));
    else
        m_centred = true;
}

void TwShowbox::showtext(const QString &caption, const QString &text, const QColor &color)
{
    QLabel *const labels[4] = {Label1, Label2, Label3, Label4};
    for (QLabel *label : labels) {
        QPalette p = label->palette();
        p.setColor(QPalette::WindowText, color);
        label->setPalette(p);
    }

    QString rest = text;
    for (int i = 0; i < 3; ++i) {
        qsizetype length = 0;
        const qsizetype at = nextBreak(rest, &length);
        labels[i]->setText(at < 0 ? rest : rest.left(at));
        rest = at < 0 ? QString() : rest.mid(at + length);
    }
    rest.replace(QLatin1String("\r\n"), QLatin1String("\n"));
    Label4->setText(rest);

    // From the bottom up an empty label is hidden and the one above it grows to the taller
    // height; the fourth label also grows with the lines it holds.
    bool shown[4] = {true, true, true, true};
    int heights[4] = {kLineHeight, kLineHeight, kLineHeight, kLastLineHeight};
    for (int i = 3; i > 0; --i) {
        if (labels[i]->text().isEmpty()) {
            shown[i] = false;
            heights[i - 1] = kLastLineHeight;
        }
    }
    int boxWidth = kDesignWidth;
    for (int i = 0; i < 4; ++i) {
        QLabel *label = labels[i];
        const QStringList lines = label->text().split(QLatin1Char('\n'));
        int textWidth = 0;
        for (const QString &line : lines)
            textWidth = qMax(textWidth, label->fontMetrics().horizontalAdvance(line));
        if (textWidth > boxWidth)
            boxWidth = textWidth + 15;
        label->setVisible(shown[i]);
        if (i == 3)
            heights[i] += int(lines.size() - 1) * qMax(kLineHeight, label->fontMetrics().lineSpacing());
    }
    // The countdown line is a line of the box as well and widens it by the same rule.
    const int countdown = layoutCountdown();
    if (countdown > boxWidth)
        boxWidth = countdown + 15;
    int y = 0;
    for (int i = 0; i < 4; ++i) {
        if (!shown[i])
            continue;
        labels[i]->setGeometry(0, y, boxWidth, heights[i]);
        y += heights[i];
    }
    if (!Panel1->isHidden()) {
        Panel1->setGeometry(0, y, boxWidth, kPanelHeight);
        y += kPanelHeight;
    }
    setFixedSize(boxWidth, y);

    setWindowTitle(caption);
    OKBtn2->hide();
    if (m_centred) {
        const QRect screen = screenRect();
        move(screen.x() + (screen.width() - boxWidth) / 2, screen.y() + (screen.height() - y) / 2);
    }
    show();
}

int TwShowbox::layoutCountdown()
{
    if (Panel1->isHidden() || Label7->isHidden())
        return 0;
    // The seconds start at their largest number; the texts are sized after the translation
    // has had its say.
    Sekunden->setText(QString::number(CloseTimer->interval() / 1000));
    const std::pair<QLabel *, int> row[] = {{Label5, kLabel5X}, {Sekunden, kSekundenX}, {Label7, kLabel7X}};
    int x = 0;
    for (const auto &[label, designX] : row) {
        label->adjustSize();
        label->move(qMax(designX, x), label->y());
        x = label->x() + label->width() + kCountdownGap;
    }
    return Label7->x() + Label7->width();
}

void TwShowbox::showEvent(QShowEvent *event)
{
    QWidget::showEvent(event);
    Sekunden->setText(QString::number(CloseTimer->interval() / 1000));
    Sekunden->adjustSize();
    m_ticks = 0;
}

void TwShowbox::closeEvent(QCloseEvent *event)
{
    CloseTimer->setEnabled(false);
    ShowTimer->setEnabled(false);
    QWidget::closeEvent(event);
}

void TwShowbox::ShowTimerTimer()
{
    ++m_ticks;
    if (m_ticks % 2 == 1) {
        // Never below 0, should the close come late.
        Sekunden->setText(QString::number(qMax(0, ParseDec(Sekunden->text().toLatin1(), 0) - 1)));
        Sekunden->adjustSize();
    }
}

void TwShowbox::CloseTimerTimer()
{
    CloseTimer->setEnabled(false);
    close();
}

void TwShowbox::BtnClick()
{
    CloseTimer->setEnabled(false);
    close();
}

QPoint ShowboxPosition(int anzahl, const QSize &screen)
{
    const int a = quarter(screen.height());
    const int b = quarter(screen.width());
    const int d = (anzahl - 1) * 10;
    const int offset = a > 0 ? d % a : 0;
    return QPoint(offset + b, offset + a);
}

void ShowboxTimed(const QString &caption, const QString &text, int ms)
{
    auto *box = new TwShowbox;
    wShowbox = box;
    const int closeMs = ms == 0 ? ShowErrTime : ms;
    box->CloseTimer->setInterval(closeMs);
    // No time to count down: the box stays until a button closes it.
    if (closeMs > 0)
        box->CloseTimer->setEnabled(true);
    else
        hideCountdown(box);
    box->Panel1->show();
    box->showtext(caption, text, Qt::red);
    box->CancelBtn->setFocus();
    NotifyBoxShown({TBoxKind::Warning, caption, text, QMessageBox::Ok | QMessageBox::Cancel, false});
}

void ShowboxOK(const QString &caption, const QString &text)
{
    auto *box = new TwShowbox;
    wShowbox = box;
    hideCountdown(box);
    box->CancelBtn->hide();
    box->OKBtn->move(48, box->OKBtn->y());
    box->Panel1->show();
    box->showtext(caption, text, Qt::red);
    box->OKBtn->setFocus();
    NotifyBoxShown({TBoxKind::Warning, caption, text, QMessageBox::Ok, false});
}

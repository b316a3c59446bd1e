// The link's own window: the send queue, the poll interval and the gate with its safety timer.
// It is never shown by itself; hiding it does not touch the link's work.
#include "link/uXqxOfen.h"

#include "app/Sammlung.h"
#include "app/Zeitgeber.h"

#include <QCheckBox>
#include <QEvent>
#include <QFrame>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QSpinBox>
#include <QVBoxLayout>

namespace {

constexpr int kWaitingMs = 10000;

QFrame *panel(QWidget *parent, const char *name, int hoehe)
{
    auto *p = new QFrame(parent);
    p->setObjectName(QLatin1String(name));
    p->setFrameShape(QFrame::Panel);
    p->setFrameShadow(QFrame::Raised);
    p->setFixedHeight(hoehe);
    return p;
}

} // namespace

void TwXQXOfen::FensterAufbauen()
{
    setObjectName(QStringLiteral("wXQXOfen"));
    // Minimise and maximise, but neither system menu nor close box: only CloseBtn hides it.
    setWindowFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowMinimizeButtonHint
                   | Qt::WindowMaximizeButtonHint);
    resize(302, 262);

    Makros = new QListWidget(this);
    Makros->setObjectName(QStringLiteral("Makros"));

    DebugPanel = panel(this, "DebugPanel", 88);
    Label1 = new QLabel(QStringLiteral("StatusIntervall:"), DebugPanel);
    Label1->setObjectName(QStringLiteral("Label1"));
    StatInt = new QSpinBox(DebugPanel);
    StatInt->setObjectName(QStringLiteral("StatInt"));
    StatInt->setRange(1, 100000);
    StatInt->setSingleStep(100);
    StatInt->setValue(500);
    Label1->setBuddy(StatInt);
    Waiting = new QCheckBox(QStringLiteral("Waiting"), DebugPanel);
    Waiting->setObjectName(QStringLiteral("Waiting"));
    auto *debugLayout = new QGridLayout(DebugPanel);
    debugLayout->addWidget(Label1, 0, 0);
    debugLayout->addWidget(StatInt, 0, 1);
    debugLayout->addWidget(Waiting, 1, 0, 1, 2);
    debugLayout->setColumnStretch(2, 1);

    Panel1 = panel(this, "Panel1", 36);
    CloseBtn = new QPushButton(QStringLiteral("Schliessen"), Panel1);
    CloseBtn->setObjectName(QStringLiteral("CloseBtn"));
    auto *knopfLayout = new QHBoxLayout(Panel1);
    knopfLayout->setContentsMargins(4, 2, 4, 2);
    knopfLayout->addStretch(1);
    knopfLayout->addWidget(CloseBtn);
    knopfLayout->addStretch(1);

    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(Makros, 1);
    layout->addWidget(DebugPanel);
    layout->addWidget(Panel1);

    WaitingTimer = new TTimer(this, kWaitingMs, false);
    WaitingTimer->setObjectName(QStringLiteral("WaitingTimer"));

    connect(CloseBtn, &QPushButton::clicked, this, &TwXQXOfen::CloseBtnClick);
    // `toggled`: the gate set or cleared by the link itself runs the handler as a click does.
    connect(Waiting, &QCheckBox::toggled, this, &TwXQXOfen::WaitingClick);
    connect(WaitingTimer, &TTimer::timeout, this, &TwXQXOfen::WaitingTimerTimer);
}

void TwXQXOfen::FormCreate()
{
    SendenOk = false;
    HerdFehler = 3;
    StatusTimer->setInterval(10000);
}

void TwXQXOfen::FormActivate()
{
    if (DiagView)
        DebugPanel->setVisible(true);
}

void TwXQXOfen::showEvent(QShowEvent *event)
{
    QWidget::showEvent(event);
    // Shown and brought to the front is when the window becomes the active one.
    FormActivate();
}

void TwXQXOfen::changeEvent(QEvent *event)
{
    QWidget::changeEvent(event);
    if (event->type() == QEvent::ActivationChange && isActiveWindow())
        FormActivate();
}

void TwXQXOfen::CloseBtnClick()
{
    hide();
}

void TwXQXOfen::WaitingClick()
{
    WaitingTimer->setEnabled(false);
    if (Waiting->isChecked()) {
        WaitingTimer->setInterval(kWaitingMs);
        WaitingTimer->setEnabled(true);
    }
}

void TwXQXOfen::WaitingTimerTimer()
{
    WaitingTimer->setEnabled(false);
    // A running answer time-out ends the wait itself, with its repeat. Opening the gate before
    // it would let the next send stop that time-out and take the late answer for its own, so
    // the safety timer only looks again later.
    if (Timeout->enabled()) {
        WaitingTimer->setEnabled(true);
        return;
    }
    Waiting->setChecked(false);
}

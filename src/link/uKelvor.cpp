#include "link/uKelvor.h"

#include "app/Benannt.h"
#include "app/Drucker.h"
#include "app/Registry.h"
#include "app/Sammlung.h"
#include "app/Zeitgeber.h"
#include "translate/translate.h"
#include "app/uShowbox.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QCloseEvent>
#include <QCoreApplication>
#include <QFocusEvent>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLayout>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QPainter>
#include <QPixmap>
#include <QProxyStyle>
#include <QPushButton>
#include <QSpinBox>
#include <QSplitter>
#include <QStyleFactory>
#include <QStyleOptionFrame>
#include <QVBoxLayout>

TwKelvor *wKelvor = nullptr;
QString RegKey;
QString ProgName;

namespace {
// The application title; the registry keys are built from it.
const QString AppTitle = QStringLiteral("Kelvor");
// A private address nobody owns in the bakery network by default; the user enters the controller's.
const QString IPVorgabe = QStringLiteral("192.168.010.200");

// The PC clock changes its text every second, and a line edit then draws itself whole: its
// frame, drawn as antialiased lines a pixel at a time, cost four fifths of that, and the group
// box behind it was drawn first. The clock's style draws the box's ground there, the panel and
// the frame once into a picture and copies it while place, size, state and colours stay; so the
// clock covers all of its rectangle itself.
class TUhrStil : public QProxyStyle
{
public:
    explicit TUhrStil(QWidget *uhr)
        : QProxyStyle(QStyleFactory::create(QApplication::style()->name())), m_uhr(uhr)
    {
        setParent(uhr);
    }

    void drawPrimitive(PrimitiveElement pe, const QStyleOption *opt, QPainter *p, const QWidget *w) const override
    {
        const auto *rahmen = qstyleoption_cast<const QStyleOptionFrame *>(opt);
        if (pe != PE_PanelLineEdit || w != m_uhr || !rahmen || p->deviceTransform().type() > QTransform::TxTranslate) {
            QProxyStyle::drawPrimitive(pe, opt, p, w);
            return;
        }
        const qreal dpr = p->device()->devicePixelRatio();
        const QWidget *grund = w->parentWidget();
        const Schluessel k{opt->rect.size(),
                           w->geometry(),
                           grund ? grund->size() : QSize(),
                           grund ? grund->palette().cacheKey() : 0,
                           opt->state,
                           opt->palette.cacheKey(),
                           rahmen->lineWidth,
                           rahmen->midLineWidth,
                           int(rahmen->features),
                           dpr};
        if (m_bild.isNull() || !(k == m_schluessel)) {
            m_bild = QPixmap((QSizeF(opt->rect.size()) * dpr).toSize());
            m_bild.setDevicePixelRatio(dpr);
            m_bild.fill(Qt::transparent);
            QStyleOptionFrame bei0 = *rahmen;
            bei0.rect.moveTopLeft(QPoint(0, 0));
            QPainter bp(&m_bild);
            if (grund)
                const_cast<QWidget *>(grund)->render(&bp, QPoint(), QRegion(w->geometry()),
                                                     QWidget::DrawWindowBackground);
            QProxyStyle::drawPrimitive(pe, &bei0, &bp, w);
            bp.end();
            m_schluessel = k;
        }
        p->drawPixmap(opt->rect.topLeft(), m_bild);
    }

private:
    struct Schluessel
    {
        QSize groesse;
        QRect ort;
        QSize grundGroesse;
        qint64 grundFarben = 0;
        QStyle::State zustand;
        qint64 farben = 0;
        int linie = 0, mittellinie = 0, merkmale = 0;
        qreal dpr = 0;
        bool operator==(const Schluessel &o) const
        {
            return groesse == o.groesse && ort == o.ort && grundGroesse == o.grundGroesse
                   && grundFarben == o.grundFarben && zustand == o.zustand && farben == o.farben && linie == o.linie
                   && mittellinie == o.mittellinie && merkmale == o.merkmale && dpr == o.dpr;
        }
    };
    const QWidget *m_uhr;
    mutable Schluessel m_schluessel;
    mutable QPixmap m_bild;
};

const int ClientBreite = 558;
const int ClientHoehe = 567;

QCheckBox *haken(QWidget *parent, const char *name, const QString &text)
{
    return named(new QCheckBox(text, parent), name);
}

QSpinBox *zahl(QWidget *parent, const char *name, int lo, int hi, int value, int step = 1)
{
    auto *s = named(new QSpinBox(parent), name);
    s->setRange(lo, hi);
    s->setSingleStep(step);
    s->setValue(value);
    // The box fills its field with the base colour itself; its edit saying so spares every blink
    // of the caret a drawing of all the boxes around it.
    if (auto *feld = s->findChild<QLineEdit *>())
        feld->setAutoFillBackground(true);
    return s;
}
} // namespace

TwKelvor::TwKelvor(QWidget *parent) : QMainWindow(parent)
{
    setObjectName(QStringLiteral("wKelvor"));
    setWindowTitle(AppTitle);
    setAttribute(Qt::WA_DeleteOnClose);
    BuildServer();
    ZugangAnlegen();

    auto *menu = named(menuBar(), "MainMenu1");
    Hilfe1 = named(menu->addMenu(QStringLiteral("Hilfe")), "Hilfe1");
    Info1 = named(Hilfe1->addAction(QStringLiteral("Info")), "Info1");
    DebugfensterZeigen1 = named(Hilfe1->addAction(QStringLiteral("Debugfenster zeigen")), "DebugfensterZeigen1");

    auto *client = named(new QWidget(this), "Client");
    auto *col = new QVBoxLayout(client);
    col->setContentsMargins(0, 0, 0, 0);
    col->setSpacing(0);
    setCentralWidget(client);

    BuildTorvikBox();
    BuildFensterpanel();
    BuildDebugPanel();
    col->addWidget(TorvikBox);
    col->addWidget(Fensterpanel, 1);
    col->addWidget(DebugPanel);

    PrinterSetupDialog1 = new TPrinterSetupDialog(this, QStringLiteral("PrinterSetupDialog1"));
    ProtokollTimer = named(new TTimer(this, 500, false), "ProtokollTimer");
    ProtokollTimer->setGrob(true);
    RepeatTimer = named(new TTimer(this, 300000, false), "RepeatTimer");

    resize(ClientBreite, ClientHoehe + menuBar()->sizeHint().height());
    BefehleVerbinden();
    WiederholungVerbinden();
}

TwKelvor::~TwKelvor()
{
    PortEdit->removeEventFilter(this);
    IPEdit->removeEventFilter(this);
    // The links go first, while everything they may call back into still exists; a replaced
    // one not yet deleted too. Nobody hears of them any more.
    Closing = true;
    Links.clear();
    for (TwXQXOfen *link : findChildren<TwXQXOfen *>(Qt::FindDirectChildrenOnly)) {
        link->disconnect(this);
        delete link;
    }
    if (wKelvor == this)
        wKelvor = nullptr;
}

void TwKelvor::BuildTorvikBox()
{
    TorvikBox = named(new QGroupBox(this), "TorvikBox");
    TorvikBox->setFixedHeight(209);
    TorvikBox->setMinimumWidth(ClientBreite);

    VerbindungBox = named(new QGroupBox(QStringLiteral("Verbindung"), TorvikBox), "VerbindungBox");
    PortEdit = zahl(VerbindungBox, "PortEdit", 2600, 2699, 2601);
    IPEdit = named(new QLineEdit(VerbindungBox), "IPEdit");
    // Required digits, literals kept, "_" for a blank (Qt's notation for the same mask).
    IPEdit->setInputMask(QStringLiteral("999.999.999.999;_"));
    IPEdit->setMaxLength(15);
    IPEdit->setText(IPVorgabe);
    PortLabel = beschriftung(VerbindungBox, "PortLabel", QStringLiteral("Port:"), PortEdit);
    IPLabel = beschriftung(VerbindungBox, "IPLabel", QStringLiteral("IP-Adresse:"), IPEdit);
    VerbindungAktualisieren = knopf(VerbindungBox, "VerbindungAktualisieren", QStringLiteral("Übernehmen"));
    VerbindungAktualisieren->hide();
    connect(VerbindungAktualisieren, &QPushButton::clicked, this, [this] { VerbindungEinrichten(); });
    auto *vg = new QGridLayout(VerbindungBox);
    vg->addWidget(PortLabel, 0, 0);
    vg->addWidget(PortEdit, 0, 1);
    vg->addWidget(IPLabel, 1, 0);
    vg->addWidget(IPEdit, 1, 1);
    vg->addWidget(VerbindungAktualisieren, 2, 1);
    vg->setColumnStretch(1, 1);
    PortEdit->installEventFilter(this);
    IPEdit->installEventFilter(this);

    BPrgBtn = knopf(TorvikBox, "BPrgBtn", QStringLiteral("Backprogrammfenster"));
    NachtBtn = knopf(TorvikBox, "NachtBtn", QStringLiteral("Nachtstarts"));
    Version = knopf(TorvikBox, "Version", QStringLiteral("Version"), QStringLiteral("Abfrage Software-Version."));
    Version->hide();

    PCTime = named(new QLineEdit(TorvikBox), "PCTime");
    PCTime->setStyle(new TUhrStil(PCTime));
    PCTime->setAttribute(Qt::WA_OpaquePaintEvent);
    XQTime = named(new QLineEdit(TorvikBox), "XQTime");
    VersionEdit = named(new QLineEdit(TorvikBox), "VersionEdit");
    PCTimeLabel = beschriftung(TorvikBox, "PCTimeLabel", QStringLiteral("PC-Zeit:"), PCTime);
    XQTimeLabel = beschriftung(TorvikBox, "XQTimeLabel", QStringLiteral("XQ-Zeit:"), XQTime);
    VersionLabel = beschriftung(TorvikBox, "VersionLabel", QStringLiteral("Version: "), VersionEdit);
    Abfragen = knopf(TorvikBox, "Abfragen", QStringLiteral("Abfragen"), QStringLiteral("XQ-Zeit abfragen."));
    Stellen = knopf(TorvikBox, "Stellen", QStringLiteral("Stellen"), QStringLiteral("XQ-Zeit stellen."));
    BeendenBtn = knopf(TorvikBox, "BeendenBtn", QStringLiteral("Beenden"));
    BeendenBtn->hide();

    auto *g = new QGridLayout(TorvikBox);
    g->addWidget(VerbindungBox, 0, 0, 3, 2);
    g->addWidget(BPrgBtn, 0, 2, 1, 2);
    g->addWidget(NachtBtn, 1, 2, 1, 2);
    g->addWidget(Version, 2, 2, 1, 2);
    g->addWidget(PCTimeLabel, 3, 0);
    g->addWidget(PCTime, 3, 1);
    g->addWidget(XQTimeLabel, 4, 0);
    g->addWidget(XQTime, 4, 1);
    g->addWidget(Abfragen, 4, 2);
    g->addWidget(Stellen, 4, 3);
    g->addWidget(VersionLabel, 5, 0);
    g->addWidget(VersionEdit, 5, 1);
    g->addWidget(BeendenBtn, 5, 2, 1, 2);
    g->setColumnStretch(1, 1);
}

void TwKelvor::BuildFensterpanel()
{
    Fensterpanel = named(new QWidget(this), "Fensterpanel");
    LogSplitter = named(new QSplitter(Qt::Horizontal, Fensterpanel), "LogSplitter");
    LogSplitter->setHandleWidth(5);
    LogSplitter->setChildrenCollapsible(false);

    auto box = [this](const char *name, const QString &title, const char *listName, TLogListe *&list) {
        auto *b = named(new QGroupBox(title, LogSplitter), name);
        list = named(new TLogListe(b), listName);
        auto *l = new QVBoxLayout(b);
        l->setContentsMargins(2, 2, 2, 2);
        l->addWidget(list);
        LogSplitter->addWidget(b);
        return b;
    };
    Befehl_Box = box("Befehl_Box", QStringLiteral("Befehl vom PC:"), "LBout", LBout);
    AntwortBox = box("AntwortBox", QStringLiteral("Antwort der Steuerung:"), "LBIn", LBIn);
    FehlerBox = box("FehlerBox", QStringLiteral("Fehler:"), "LBError", LBError);
    LogSplitter->setStretchFactor(0, 0);
    LogSplitter->setStretchFactor(1, 0);
    LogSplitter->setStretchFactor(2, 1);
    LogSplitter->setSizes({120, 251, ClientBreite - 120 - 251 - 10});

    LogBar = named(new QWidget(Fensterpanel), "LogBar");
    ClearBtn = knopf(LogBar, "ClearBtn", QStringLiteral("Alle leeren"));
    Tracking = haken(LogBar, "Tracking", QStringLiteral("Tracking"));
    auto *bar = new QHBoxLayout(LogBar);
    bar->setContentsMargins(2, 2, 2, 2);
    bar->addWidget(ClearBtn);
    bar->addWidget(Tracking);
    bar->addStretch(1);
    connect(ClearBtn, &QPushButton::clicked, this, &TwKelvor::ClearBtnClick);

    auto *l = new QVBoxLayout(Fensterpanel);
    l->setContentsMargins(0, 0, 0, 0);
    l->setSpacing(0);
    l->addWidget(LogSplitter, 1);
    l->addWidget(LogBar);
}

void TwKelvor::BuildDebugPanel()
{
    DebugPanel = named(new QWidget(this), "DebugPanel");
    // 115 pixels at the least; Qt's controls are taller than the panel was laid out for, so
    // it takes what its rows need rather than clipping the last one.
    DebugPanel->setMinimumHeight(115);
    DebugPanel->setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Fixed);
    QWidget *p = DebugPanel;

    PingTimer = haken(p, "PingTimer", QStringLiteral("PingTimer"));
    StatTimer = haken(p, "StatTimer", QStringLiteral("StatTimer"));
    ZeitTimer = haken(p, "ZeitTimer", QStringLiteral("ZeitTimer"));
    Ping = knopf(p, "Ping", QStringLiteral("Ping"));
    HERD = knopf(p, "HERD", QStringLiteral("HERD"));
    ListeBtn = knopf(p, "ListeBtn", QStringLiteral("BPrgListe"));
    DeleteBtn = knopf(p, "DeleteBtn", QStringLiteral("Delete von bis:"));
    // Only program numbers: an open range would build a delete text of megabytes.
    DelNrStart = zahl(p, "DelNrStart", ErstesProgramm, LetztesProgramm, 10);
    BisLabel = beschriftung(p, "BisLabel", QStringLiteral("bis"));
    DelNrEnde = zahl(p, "DelNrEnde", ErstesProgramm, LetztesProgramm, 20);
    OfenShow = knopf(p, "OfenShow", QStringLiteral("OfenFormulare zeigen"));
    KillBox = haken(p, "KillBox", QStringLiteral("Kill"));
    EndlosSenden = haken(p, "EndlosSenden", QStringLiteral("EndlosSenden"));
    NoWait = haken(p, "NoWait", QStringLiteral("NoWait"));

    VonHandBox = named(new QGroupBox(QStringLiteral("Befehle 'von Hand' schicken:"), p), "VonHandBox");
    QWidget *v = VonHandBox;
    Start = knopf(v, "Start", QStringLiteral("Start"));
    Stop = knopf(v, "Stop", QStringLiteral("Stop"));
    PWahl = knopf(v, "PWahl", QStringLiteral("PWahl"));
    DoTemp = knopf(v, "DoTemp", QStringLiteral("DoTemp"));
    DoBZeit = knopf(v, "DoBZeit", QStringLiteral("BackZeit"));
    HerdNo = zahl(v, "HerdNo", -1, 99, 0);
    HerdNoLabel = beschriftung(v, "HerdNoLabel", QStringLiteral("HerdNr.:"), HerdNo);
    Params = zahl(v, "Params", -1, 9999, 50, 10);
    ParamsLabel = beschriftung(v, "ParamsLabel", QStringLiteral("Param:"), Params);
    SchwadenBtn = knopf(v, "SchwadenBtn", QStringLiteral("Schwaden"));
    SchwadenZeit = zahl(v, "SchwadenZeit", 0, 999, 1);
    SchwadenLabel = beschriftung(v, "SchwadenLabel", QStringLiteral("Sek."));
    AbzugBtn = knopf(v, "AbzugBtn", QStringLiteral("Abzug"));
    AbzugWert = zahl(v, "AbzugWert", 0, 100, 0, 10);
    AbzugLabel = beschriftung(v, "AbzugLabel", QStringLiteral("%"));
    Ein = knopf(v, "Ein", QStringLiteral("Ein"), QStringLiteral("Parameter s.u."));
    EinStatus = zahl(v, "EinStatus", 0, 2, 0);
    EinStatus->setToolTip(QStringLiteral("Einstatus: 0=AUS; 1=EIN; 2=NACHT"));
    NachtStatus = zahl(v, "NachtStatus", -1, 13, -1);
    NachtStatus->setToolTip(QStringLiteral("Bei Einstatus=2: Nachtstartnr. (-1=nächster)"));

    TaskTest = named(new QGroupBox(QStringLiteral("TaskTest"), p), "TaskTest");
    RepeatBprgRead = haken(TaskTest, "RepeatBprgRead", QStringLiteral("RepeatBprgRead"));
    RepeatBprgSend = haken(TaskTest, "RepeatBprgSend", QStringLiteral("RepeatBprgSend"));
    RepeatListName = named(new QLineEdit(QStringLiteral("RepeatListName"), TaskTest), "RepeatListName");
    RepeatListName->setReadOnly(true);
    SofortSenden = knopf(TaskTest, "SofortSenden", QStringLiteral("SofortSenden"));

    // The service panel is narrow and low: small buttons and spin edits.
    for (QPushButton *b : {Ping, HERD, ListeBtn, Start, Stop, PWahl, DoTemp, DoBZeit, SchwadenBtn, AbzugBtn, Ein})
        b->setMaximumWidth(64);
    for (QSpinBox *s : {DelNrStart, DelNrEnde})
        s->setMaximumWidth(60);

    auto *diag = new QGridLayout;
    diag->setSpacing(2);
    diag->addWidget(PingTimer, 0, 0);
    diag->addWidget(Ping, 0, 1);
    diag->addWidget(KillBox, 0, 2);
    diag->addWidget(StatTimer, 1, 0);
    diag->addWidget(HERD, 1, 1);
    diag->addWidget(EndlosSenden, 1, 2);
    diag->addWidget(ZeitTimer, 2, 0);
    diag->addWidget(ListeBtn, 2, 1);
    diag->addWidget(NoWait, 2, 2);
    auto *del = new QHBoxLayout;
    del->setSpacing(2);
    del->addWidget(DeleteBtn);
    del->addWidget(DelNrStart);
    del->addWidget(BisLabel);
    del->addWidget(DelNrEnde);
    del->addStretch(1);
    diag->addLayout(del, 3, 0, 1, 3);

    auto reihe = [](std::initializer_list<QWidget *> widgets) {
        auto *r = new QHBoxLayout;
        r->setSpacing(2);
        for (QWidget *w : widgets)
            r->addWidget(w);
        r->addStretch(1);
        return r;
    };
    auto *hand = new QVBoxLayout(VonHandBox);
    hand->setContentsMargins(4, 2, 4, 2);
    hand->setSpacing(2);
    hand->addLayout(reihe({Start, Stop, PWahl, DoTemp, DoBZeit}));
    hand->addLayout(reihe({HerdNoLabel, HerdNo, ParamsLabel, Params, Ein, EinStatus, NachtStatus}));
    hand->addLayout(reihe({SchwadenBtn, SchwadenZeit, SchwadenLabel, AbzugBtn, AbzugWert, AbzugLabel}));

    RepeatListName->setMaximumWidth(110);
    auto *task = new QGridLayout(TaskTest);
    task->setContentsMargins(4, 2, 4, 2);
    task->setSpacing(2);
    task->addWidget(RepeatBprgRead, 0, 0, 1, 2);
    task->addWidget(RepeatBprgSend, 1, 0, 1, 2);
    task->addWidget(RepeatListName, 2, 0);
    task->addWidget(SofortSenden, 2, 1);

    auto *rechts = new QVBoxLayout;
    rechts->setSpacing(2);
    rechts->addWidget(TaskTest);
    rechts->addWidget(OfenShow);

    auto *l = new QHBoxLayout(DebugPanel);
    l->setContentsMargins(2, 2, 2, 2);
    l->setSpacing(4);
    l->addLayout(diag);
    l->addWidget(VonHandBox, 1);
    l->addLayout(rechts);
}

bool TwKelvor::NoWaitGesetzt() const { return NoWait->isChecked(); }
bool TwKelvor::PingTimerGesetzt() const { return PingTimer->isChecked(); }
bool TwKelvor::StatTimerGesetzt() const { return StatTimer->isChecked(); }
bool TwKelvor::ZeitTimerGesetzt() const { return ZeitTimer->isChecked(); }

void TwKelvor::SetAutoSize(bool on)
{
    m_autoSize = on;
    QLayout *l = layout();
    if (on) {
        l->setSizeConstraint(QLayout::SetFixedSize);
    } else {
        l->setSizeConstraint(QLayout::SetDefaultConstraint);
        setMinimumSize(0, 0);
        setMaximumSize(QWIDGETSIZE_MAX, QWIDGETSIZE_MAX);
    }
    l->activate();
}

void TwKelvor::FormCreate(const QStringList &arguments)
{
    wKelvor = this;

    // The engine is set up here, but this window itself is never translated.
    LangKey = QStringLiteral("SOFTWARE\\Torvik\\") + AppTitle + QStringLiteral("\\Sprache");
    InitTranslate(LangKey, arguments);

    RegKey = QStringLiteral("SOFTWARE\\Zelnor\\") + AppTitle;
    EinstellungenLaden();
    IniWerteLesen();
    Tracking->setChecked(true);

    ServiceMode = false;
    for (const QString &arg : arguments) {
        const QString word = arg.toUpper();
        if (word == QLatin1String("QUAMP")) {
            BeendenBtn->setVisible(true);
            DebugPanel->setVisible(true);
            Fensterpanel->setVisible(true);
            Version->setVisible(true);
            ServiceMode = true;
            DiagView = true;
            // Qt lays out in device-independent pixels already.
            resize(850, height());
            LogSplitter->setSizes({265, 320, 850 - 265 - 320 - 10});
        } else if (word == QLatin1String("ZOTREV")) {
            CyrillicMode = true;
        } else if (word == QLatin1String("ZOTREVDEBUG")) {
            CyrillicDebug = true;
        }
    }

    if (!ServiceMode) {
        DebugPanel->hide();
        Fensterpanel->hide();
        SetAutoSize(true);
        RepeatBprgRead->setChecked(false);
        RepeatBprgSend->setChecked(false);
        RepeatTimer->setEnabled(false);
    }

    ProgName = AppTitle;
    FehlerListeLeeren();

    LinkAnlegen();

    KillBox->setChecked(false);
    EndlosSenden->setChecked(false);
    NoWait->setChecked(false);
    Closing = false;

    VerbindungEinrichten();

    ProtokollTimer->setEnabled(true);
}

bool TwKelvor::EinstellungenSpeichern()
{
    RegKey = QStringLiteral("SOFTWARE\\Zelnor\\") + AppTitle;
    auto reg = OpenRegistry(QStringLiteral("Zelnor"), AppTitle);
    reg->setValue(QStringLiteral("TCPIP_PORT"), PortEdit->value());
    reg->setValue(QStringLiteral("TCPIP_IPAdresse"), IPEdit->text());
    reg->setValue(QStringLiteral("BprgVerzeichnis"), BPrgXQDir);
    reg->sync();
    return reg->status() == QSettings::NoError;
}

void TwKelvor::EinstellungenLaden()
{
    RegKey = QStringLiteral("SOFTWARE\\Zelnor\\") + AppTitle;
    auto reg = OpenRegistry(QStringLiteral("Zelnor"), AppTitle);
    // Each value on its own: one unreadable value leaves only its own field as it was.
    const QString port = QStringLiteral("TCPIP_PORT");
    if (reg->contains(port)) {
        bool ok = false;
        const int value = reg->value(port).toInt(&ok);
        if (ok)
            PortEdit->setValue(value); // the spin edit clamps into 2600..2699
    }
    const QVariant ip = reg->value(QStringLiteral("TCPIP_IPAdresse"));
    if (ip.isValid() && ip.canConvert<QString>())
        IPEdit->setText(ip.toString());
    const QVariant dir = reg->value(QStringLiteral("BprgVerzeichnis"));
    if (dir.isValid() && dir.canConvert<QString>())
        BPrgXQDir = dir.toString();
}

void TwKelvor::IniWerteLesen()
{
    ShowTextTime = IniShowTextTime();
    ShowErrTime = IniShowErrTime();
    BPrgAusgang = IniBPrgAusgang();
}

void TwKelvor::closeEvent(QCloseEvent *event)
{
    FormClose();
    event->accept();
    // The main window ends the program, whatever other windows are still open.
    QCoreApplication::quit();
}

void TwKelvor::FormClose()
{
    if (m_closed)
        return;
    m_closed = true;
    EinstellungenSpeichern();
    Closing = true;
    TCPServer->Deaktivieren();
}

namespace {
// Switching to another window or opening a menu does not leave the edit.
bool isLeaving(Qt::FocusReason reason)
{
    return reason != Qt::ActiveWindowFocusReason && reason != Qt::PopupFocusReason;
}
} // namespace

bool TwKelvor::eventFilter(QObject *watched, QEvent *event)
{
    if ((watched == PortEdit || watched == IPEdit) && !m_closed) {
        if (event->type() == QEvent::FocusOut && isLeaving(static_cast<QFocusEvent *>(event)->reason())) {
            // Qt reports no editingFinished while the mask is incomplete, so leaving is seen here.
            if (watched == PortEdit) {
                PortEdit->interpretText();
                PortEditExit();
            } else {
                IPEditExit();
            }
        } else if (event->type() == QEvent::KeyPress) {
            const int key = static_cast<QKeyEvent *>(event)->key();
            if (key == Qt::Key_Return || key == Qt::Key_Enter) {
                if (watched == PortEdit)
                    PortEdit->interpretText();
                PortEditKeyPress();
            }
        }
    }
    return QMainWindow::eventFilter(watched, event);
}

void TwKelvor::PortEditExit()
{
    VerbindungEinrichten();
}

void TwKelvor::IPEditExit()
{
    VerbindungEinrichten();
}

void TwKelvor::PortEditKeyPress()
{
    VerbindungEinrichten();
}

// Commands by hand, the service view's switches, the debug window and the clock display.
#include "link/uKelvor.h"

#include "app/About.h"
#include "app/Sammlung.h"
#include "app/Zahlformat.h"
#include "app/Zeitgeber.h"
#include "link/uXQXNachtstarts.h"
#include "programs/uXQXGesamtListe.h"

#include <QAction>
#include <QCheckBox>
#include <QDateTime>
#include <QLineEdit>
#include <QPushButton>
#include <QShortcut>
#include <QSpinBox>

namespace {
// Shown in parentheses after the version in the about box.
const QString BuildTag = QStringLiteral("Qt6-Build");

// Height the log panel adds when it is opened; Qt's pixels are already device-independent.
const int LogPanelZuwachs = 200;

// Key code of the letter D.
const int TasteD = 68;

// Brings one of the program's other windows to the front; it may not exist (yet).
void FensterZeigen(QWidget *w)
{
    if (!w)
        return;
    w->show();
    w->raise();
    w->activateWindow();
}
} // namespace

QByteArray HerdMaske(int herdNo)
{
    // Shifting by a negative count or by 32 and more is undefined; the deck wraps modulo 32.
    const quint32 bit = quint32(1) << (quint32(herdNo) & 31u);
    return FormatHex(qint64(bit), 4);
}

QByteArray DeleteParameter(int von, int bis)
{
    von = qBound(ErstesProgramm, von, LetztesProgramm);
    bis = qBound(ErstesProgramm, bis, LetztesProgramm);
    QByteArray text("DELETE");
    for (int n = von; n <= bis; ++n) {
        text += '\t';
        text += FormatHex(n, 4);
    }
    return text;
}

void TwKelvor::BefehleVerbinden()
{
    auto klick = [this](QPushButton *b, void (TwKelvor::*handler)()) {
        connect(b, &QPushButton::clicked, this, handler);
    };
    klick(Ping, &TwKelvor::PingClick);
    klick(HERD, &TwKelvor::HERDClick);
    klick(Start, &TwKelvor::StartClick);
    klick(Stop, &TwKelvor::StopClick);
    klick(PWahl, &TwKelvor::PWahlClick);
    klick(DoTemp, &TwKelvor::DoTempClick);
    klick(DoBZeit, &TwKelvor::DoBZeitClick);
    klick(SchwadenBtn, &TwKelvor::SchwadenBtnClick);
    klick(AbzugBtn, &TwKelvor::AbzugBtnClick);
    klick(Ein, &TwKelvor::EinClick);
    klick(ListeBtn, &TwKelvor::ListeBtnClick);
    klick(DeleteBtn, &TwKelvor::DeleteBtnClick);
    klick(Abfragen, &TwKelvor::UhrlesenClick);
    klick(Stellen, &TwKelvor::UhrschreibClick);
    klick(Version, &TwKelvor::VersionClick);
    klick(OfenShow, &TwKelvor::OfenShowClick);
    klick(BeendenBtn, &TwKelvor::BeendenBtnClick);
    klick(NachtBtn, &TwKelvor::NachtBtnClick);
    klick(BPrgBtn, &TwKelvor::BPrgBtnClick);

    connect(Info1, &QAction::triggered, this, &TwKelvor::Info1Click);
    connect(DebugfensterZeigen1, &QAction::triggered, this, &TwKelvor::DebugfensterZeigen1Click);

    // `toggled`, not `clicked`: ticking by program runs the handlers too, and KillBox relies on it.
    connect(KillBox, &QCheckBox::toggled, this, &TwKelvor::KillBoxClick);
    connect(EndlosSenden, &QCheckBox::toggled, this, &TwKelvor::EndlosSendenClick);
    connect(NoWait, &QCheckBox::toggled, this, &TwKelvor::NoWaitClick);

    connect(ProtokollTimer, &TTimer::timeout, this, &TwKelvor::ProtokollTimerTimer);

    // The window sees this key before whichever control has the focus.
    auto *diag = new QShortcut(QKeySequence(Qt::CTRL | Qt::ALT | Qt::SHIFT | Qt::Key_D), this);
    diag->setObjectName(QStringLiteral("DiagTaste"));
    connect(diag, &QShortcut::activated, this,
            [this] { FormKeyDown(TasteD, Qt::ControlModifier | Qt::AltModifier | Qt::ShiftModifier); });
}

void TwKelvor::Einreihen(const NeuerBefehl &befehl, const QByteArray &param)
{
    if (Links.empty())
        return;
    Links[0]->BefehlEinreihen(QByteArray(), befehl, param);
}

void TwKelvor::PingClick() { Einreihen(SB_PING, QByteArray()); }
void TwKelvor::HERDClick() { Einreihen(SB_HERD, QByteArray()); }
void TwKelvor::StartClick() { Einreihen(SB_STAR, HerdMaske(HerdNo->value())); }
void TwKelvor::StopClick() { Einreihen(SB_STOP, HerdMaske(HerdNo->value())); }

void TwKelvor::PWahlClick()
{
    Einreihen(SB_LOAD, HerdMaske(HerdNo->value()) + '\t' + FormatHex(Params->value(), 4));
}

void TwKelvor::DoTempClick()
{
    Einreihen(SB_SOLL, HerdMaske(HerdNo->value()) + '\t' + FormatHex(Params->value(), 4));
}

void TwKelvor::DoBZeitClick()
{
    Einreihen(SB_BZEI, HerdMaske(HerdNo->value()) + '\t' + FormatHex(Params->value(), 4));
}

void TwKelvor::SchwadenBtnClick()
{
    Einreihen(SB_SWAD, HerdMaske(HerdNo->value()) + '\t' + FormatDec(SchwadenZeit->value(), 3));
}

void TwKelvor::AbzugBtnClick()
{
    Einreihen(SB_AZUG, HerdMaske(HerdNo->value()) + '\t' + FormatDec(AbzugWert->value(), 3));
}

void TwKelvor::EinClick()
{
    Einreihen(SB_OFEN, FormatDec(EinStatus->value(), 2) + '\t' + FormatDec(NachtStatus->value(), 2));
}

void TwKelvor::ListeBtnClick() { Einreihen(SB_BPLI, QByteArray()); }

void TwKelvor::DeleteBtnClick()
{
    Einreihen(SB_BPRG, DeleteParameter(DelNrStart->value(), DelNrEnde->value()));
}

void TwKelvor::UhrlesenClick()
{
    XQTime->clear();
    Einreihen(SB_ZEIT, QByteArray());
}

void TwKelvor::UhrschreibClick()
{
    // The link puts the time of the actual sending in its place.
    const QString jetzt = QDateTime::currentDateTime().toString(QStringLiteral("dd.MM.yyyy hh:mm:ss"));
    Einreihen(SB_ZEIT, jetzt.toLatin1());
}

void TwKelvor::VersionClick()
{
    VersionEdit->clear();
    Einreihen(SB_STAT, QByteArray());
}

void TwKelvor::OfenShowClick()
{
    if (Links.empty())
        return;
    FensterZeigen(Links[0]);
}

void TwKelvor::BeendenBtnClick() { close(); }

void TwKelvor::NachtBtnClick() { FensterZeigen(wXQXNachtStarts); }

void TwKelvor::BPrgBtnClick() { FensterZeigen(wXQXGesamtListe); }

void TwKelvor::Info1Click()
{
    if (!AboutBox)
        AboutBox = new TAboutBox(this);
    AboutBox->VersionZusatz = BuildTag;
    // Modal to this window without a nested event loop.
    AboutBox->open();
}

void TwKelvor::DebugfensterZeigen1Click()
{
    if (!Fensterpanel->isHidden()) {
        Fensterpanel->hide();
        SetAutoSize(true);
    } else {
        LogPanelOeffnen();
    }
}

void TwKelvor::FormKeyDown(int key, Qt::KeyboardModifiers shift)
{
    const Qt::KeyboardModifiers alle = Qt::ControlModifier | Qt::AltModifier | Qt::ShiftModifier;
    if ((shift & alle) != alle || key != TasteD)
        return;
    // Grows the window again at every press; the service panel stays as it is.
    DiagView = true;
    LogPanelOeffnen();
}

void TwKelvor::LogPanelOeffnen()
{
    // Measured before the panel shows: showing it may already stretch the window to the
    // panel's minimum, and the panel gets its full extra height on top of the old size.
    const int vorher = height();
    SetAutoSize(false);
    Fensterpanel->show();
    resize(width(), vorher + LogPanelZuwachs);
}

void TwKelvor::KillBoxClick()
{
    const bool an = KillBox->isChecked();
    EndlosSenden->setChecked(an);
    NoWait->setChecked(an);
    WriteErrorLog(ProgName, an ? QStringLiteral("Killbox aktiviert!!") : QStringLiteral("Killbox deaktiviert!!"));
}

void TwKelvor::EndlosSendenClick()
{
    WriteErrorLog(ProgName, EndlosSenden->isChecked() ? QStringLiteral("EndlosSenden aktiviert!!")
                                                      : QStringLiteral("EndlosSenden deaktiviert!!"));
}

void TwKelvor::NoWaitClick()
{
    WriteErrorLog(ProgName, NoWait->isChecked() ? QStringLiteral("NoWait aktiviert!!")
                                                : QStringLiteral("NoWait deaktiviert!!"));
}

bool TwKelvor::KillBoxGesetzt() const { return KillBox->isChecked(); }
bool TwKelvor::EndlosSendenGesetzt() const { return EndlosSenden->isChecked(); }

void TwKelvor::ProtokollTimerTimer()
{
    // The clock shows seconds and ticks twice a second: the same text is not laid out and
    // drawn again.
    const QString jetzt = ZeitStempel(QDateTime::currentDateTime());
    if (PCTime->text() != jetzt)
        PCTime->setText(jetzt);
}

#pragma once
// The program's own message window: stays on top, shows up to four centred lines in red and
// never blocks the caller. A timed box counts its seconds down and closes itself; an OK box
// waits for its button. Every message gets a new window, destroyed once it closes.
#include <QPoint>
#include <QPointer>
#include <QSize>
#include <QString>
#include <QWidget>

class QColor;
class QFrame;
class QLabel;
class QListWidget;
class QPushButton;
class TTimer;

class TwShowbox : public QWidget
{
    Q_OBJECT
public:
    explicit TwShowbox(QWidget *parent = nullptr);
    ~TwShowbox() override;

    // Lays out the text (lines separated by CR LF) and shows the box without waiting.
    void showtext(const QString &caption, const QString &text, const QColor &color);

    // Boxes that exist right now.
    static int liveCount();

    QLabel *Label1;
    QLabel *Label2;
    QLabel *Label3;
    QLabel *Label4;
    QFrame *Panel1;
    QLabel *Label5;
    QLabel *Sekunden;
    QLabel *Label7;
    QPushButton *OKBtn;
    QPushButton *CancelBtn;
    QPushButton *WaitBtn;
    QPushButton *OKBtn2;
    // Run-time texts, translated with the box: 0 "Belegung konnte nicht gelöscht werden", 1 "WARNUNG".
    QListWidget *Lang;
    TTimer *CloseTimer;
    TTimer *ShowTimer;

protected:
    void showEvent(QShowEvent *event) override;
    void closeEvent(QCloseEvent *event) override;

private:
    void FormCreate();
    void ShowTimerTimer();
    void CloseTimerTimer();
    void BtnClick();
    // Sizes and places the labels of the countdown line; its right edge, 0 when not shown.
    int layoutCountdown();

    int m_ticks = 0;
    bool m_centred = false;
};

// The box created last; empty once it has been destroyed.
extern QPointer<TwShowbox> wShowbox;
// Boxes created so far; stops at 32767.
extern int ShowboxAnzahl;
// Close time in ms of a timed box opened with 0 ms (setting "ShowErrTime").
extern int ShowErrTime;
// Setting "ShowTextTime" in ms; no box reads it.
extern int ShowTextTime;

// Closes itself after `ms` milliseconds, or after ShowErrTime when `ms` is 0, counting the
// seconds down to 0; with a close time of 0 or below it shows no countdown and never closes by
// itself.
void ShowboxTimed(const QString &caption, const QString &text, int ms);
// Stays until its "OK" button is pressed.
void ShowboxOK(const QString &caption, const QString &text);

// Where box number `anzahl` (2 and up) stands on a screen of the given size.
QPoint ShowboxPosition(int anzahl, const QSize &screen);

#pragma once
// The main window: connection settings, the controller link it owns, the three log lists,
// the clock display and the service controls.
#include <QElapsedTimer>
#include <QHash>
#include <QListWidget>
#include <QMainWindow>
#include <QString>
#include <QStringList>
#include <vector>

#include "link/LinkZugang.h"
#include "link/uXqxOfen.h"

class QAction;
class QCheckBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QMenu;
class QPushButton;
class QSpinBox;
class QSplitter;
class QWidget;
class TTimer;
class TPrinterSetupDialog;

// A log list whose horizontal scroll range reaches at least the widest text written to it,
// also while that text is not (or no longer) in the list.
class TLogListe : public QListWidget
{
public:
    explicit TLogListe(QWidget *parent = nullptr);
    void setExtent(int pixels);
    int extent() const { return m_extent; }
    // Appends a line and selects it, so that the list scrolls to it. The list is drawn and its
    // last line selected when the event loop turns, and no more often than it can afford.
    void addLine(const QString &text);

    void doItemsLayout() override;

protected:
    void updateGeometries() override;
    void changeEvent(QEvent *event) override;

private:
    int m_extent = 0;
    int m_widest = 0;
    // Widths of lines measured lately: a poll writes the same lines again and again.
    QHash<QString, int> m_widths;
    bool m_layoutOwed = false;
    bool m_inUpdate = false;
    int msUntilDraw();
    void drawHeldLines();
    QTimer *m_drawHold = nullptr;
    QElapsedTimer m_drawsEarned;
    double m_draws = 0;
};

class TwKelvor : public QMainWindow, public TLinkHost
{
    Q_OBJECT
public:
    explicit TwKelvor(QWidget *parent = nullptr);
    ~TwKelvor() override;

    // Creation handler: settings, command line (`arguments` as the program got them,
    // the program path first), view and link. Called once, right after construction.
    void FormCreate(const QStringList &arguments);

    // Writes the three connection values; false when the settings store refused them.
    bool EinstellungenSpeichern();
    void EinstellungenLaden();
    void IniWerteLesen();

    // ---- log lists ----
    void BefehlEintragen(const QString &text) override;
    void AntwortEintragen(const QString &text) override;
    void FehlerEintragen(const QString &text) override;
    void FehlerMelden(const QString &text) override;
    void FehlerListeLeeren();
    void ClearBtnClick();
    // Widest text seen so far per list, in pixels; only grows.
    int ExtentLBout() const { return m_extentOut; }
    int ExtentLBIn() const { return m_extentIn; }
    int ExtentLBError() const { return m_extentError; }

    // The service switches the link reads.
    bool NoWaitGesetzt() const override;
    bool PingTimerGesetzt() const override;
    bool StatTimerGesetzt() const override;
    bool ZeitTimerGesetzt() const override;
    // The controller's clock and version as the link received them.
    void XQZeitSetzen(const QString &text) override;
    void VersionSetzen(const QString &text) override;

    // Automatic sizing: the window keeps the size its visible parts need.
    void SetAutoSize(bool on);
    bool AutoSize() const { return m_autoSize; }

    // The link of this moment; there is always one once the window is created.
    TwXQXOfen *Link() const { return Links.empty() ? nullptr : Links[0]; }
    // What the list editor and the night-start window may reach of this window and its link.
    TLinkZugang *Zugang() const { return m_zugang; }

    // Connection set-up, then the queue of the link of that moment.
    void LinkBefehlSenden(const QByteArray &prioritaet, const NeuerBefehl &befehl, const QByteArray &param);

signals:
    // The current link's command in flight ended (TwXQXOfen::BefehlBeendet).
    void BefehlBeendet(const NeuerBefehl &befehl, TwXQXOfen::TBefehlsEnde wie);

public:

    // ---- components ----
    QGroupBox *TorvikBox = nullptr;
    QGroupBox *VerbindungBox = nullptr;
    QLabel *PortLabel = nullptr;
    QSpinBox *PortEdit = nullptr;
    QLabel *IPLabel = nullptr;
    QLineEdit *IPEdit = nullptr;
    QPushButton *VerbindungAktualisieren = nullptr;
    QPushButton *BPrgBtn = nullptr;
    QPushButton *NachtBtn = nullptr;
    QPushButton *Version = nullptr;
    QLabel *PCTimeLabel = nullptr;
    QLineEdit *PCTime = nullptr;
    QLabel *XQTimeLabel = nullptr;
    QLineEdit *XQTime = nullptr;
    QLabel *VersionLabel = nullptr;
    QLineEdit *VersionEdit = nullptr;
    QPushButton *Abfragen = nullptr;
    QPushButton *Stellen = nullptr;
    QPushButton *BeendenBtn = nullptr;

    QWidget *Fensterpanel = nullptr;
    QSplitter *LogSplitter = nullptr;
    QGroupBox *Befehl_Box = nullptr;
    TLogListe *LBout = nullptr;
    QGroupBox *AntwortBox = nullptr;
    TLogListe *LBIn = nullptr;
    QGroupBox *FehlerBox = nullptr;
    TLogListe *LBError = nullptr;
    QWidget *LogBar = nullptr;
    QPushButton *ClearBtn = nullptr;
    QCheckBox *Tracking = nullptr;

    QWidget *DebugPanel = nullptr;
    QCheckBox *PingTimer = nullptr;
    QCheckBox *StatTimer = nullptr;
    QCheckBox *ZeitTimer = nullptr;
    QPushButton *Ping = nullptr;
    QPushButton *HERD = nullptr;
    QPushButton *ListeBtn = nullptr;
    QPushButton *DeleteBtn = nullptr;
    QSpinBox *DelNrStart = nullptr;
    QLabel *BisLabel = nullptr;
    QSpinBox *DelNrEnde = nullptr;
    QPushButton *OfenShow = nullptr;
    QCheckBox *KillBox = nullptr;
    QCheckBox *EndlosSenden = nullptr;
    QCheckBox *NoWait = nullptr;
    QGroupBox *VonHandBox = nullptr;
    QPushButton *Start = nullptr;
    QPushButton *Stop = nullptr;
    QPushButton *PWahl = nullptr;
    QPushButton *DoTemp = nullptr;
    QPushButton *DoBZeit = nullptr;
    QLabel *HerdNoLabel = nullptr;
    QSpinBox *HerdNo = nullptr;
    QLabel *ParamsLabel = nullptr;
    QSpinBox *Params = nullptr;
    QPushButton *SchwadenBtn = nullptr;
    QSpinBox *SchwadenZeit = nullptr;
    QLabel *SchwadenLabel = nullptr;
    QPushButton *AbzugBtn = nullptr;
    QSpinBox *AbzugWert = nullptr;
    QLabel *AbzugLabel = nullptr;
    QPushButton *Ein = nullptr;
    QSpinBox *EinStatus = nullptr;
    QSpinBox *NachtStatus = nullptr;
    QGroupBox *TaskTest = nullptr;
    QCheckBox *RepeatBprgRead = nullptr;
    QCheckBox *RepeatBprgSend = nullptr;
    QLineEdit *RepeatListName = nullptr;
    QPushButton *SofortSenden = nullptr;

    TTimer *ProtokollTimer = nullptr;
    TTimer *RepeatTimer = nullptr;

    // ==== repeat-transfer test ====
    // Run on every change of their box, by hand or by program.
    void RepeatBprgSendClick();
    void RepeatBprgReadClick();
    void SofortSendenClick();
    // One step: the list file sent or the controller's list read, alternating when both boxes
    // are ticked; skipped while a transfer of the list editor runs.
    void RepeatTimerTimer();
    // The next step sends.
    bool RepSendNext = false;
    // The list file the steps send; empty when none.
    QString RepListFile;
    // ==== end repeat-transfer test ====

    QMenu *Hilfe1 = nullptr;
    QAction *Info1 = nullptr;
    QAction *DebugfensterZeigen1 = nullptr;
    // The printer set-up of the programs' printer; the list editor runs it.
    TPrinterSetupDialog *PrinterSetupDialog1 = nullptr;

    // ==== connection set-up and TCP server ====
    // Keeps server port, link address and port and the settings in step with the two edits,
    // and starts the server when it is not running.
    void VerbindungEinrichten();
    // One answer connection: incoming list, hand-over to the link, error line.
    void TCPServerExecute(const TServerVerbindung &context);
    void TCPServerException(const QString &message);
    void AntiFreezeTimerTimer();
    // Created with the window; the server listens from the first VerbindungEinrichten on.
    TAntwortServer *TCPServer = nullptr;
    TTimer *AntiFreezeTimer = nullptr;
    // A read error of the server, shown by AntiFreezeTimer.
    QString PendingServerError;
    // For the link's diagnostic sending: stop the server with its open connections, or start
    // it when it is not running; false when that failed.
    bool ServerStoppen() override;
    bool ServerAktivieren() override;
    // ==== end connection set-up and TCP server ====

    // ==== commands by hand and service view ====
    void PingClick();
    void HERDClick();
    void StartClick();
    void StopClick();
    void PWahlClick();
    void DoTempClick();
    void DoBZeitClick();
    void SchwadenBtnClick();
    void AbzugBtnClick();
    void EinClick();
    void ListeBtnClick();
    void DeleteBtnClick();
    void UhrlesenClick();
    void UhrschreibClick();
    void VersionClick();
    void OfenShowClick();
    void BeendenBtnClick();
    // Shows the night-start window.
    void NachtBtnClick();
    // "Backprogrammfenster": shows the list editor.
    void BPrgBtnClick();
    void Info1Click();
    void DebugfensterZeigen1Click();
    // Ctrl+Alt+Shift+D (key code 68) opens the diagnostic view; other keys pass.
    void FormKeyDown(int key, Qt::KeyboardModifiers shift);
    void KillBoxClick();
    void EndlosSendenClick();
    void NoWaitClick();
    void ProtokollTimerTimer();
    bool KillBoxGesetzt() const override;
    bool EndlosSendenGesetzt() const override;
    // ==== end commands by hand and service view ====

protected:
    void closeEvent(QCloseEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void FormClose();
    void BuildTorvikBox();
    void BuildFensterpanel();
    void BuildDebugPanel();
    void BuildServer();
    void ZugangAnlegen();
    void AppendLine(TLogListe *list, int &extent, const QString &text, const QString &line);
    // Leaving the port or address edit, and Enter in either; the key is not consumed.
    void PortEditExit();
    void IPEditExit();
    void PortEditKeyPress();
    void BefehleVerbinden();
    void WiederholungVerbinden();
    // Relays a new link's signals; runs for every link the window creates.
    void LinkAnschliessen(TwXQXOfen *link);
    // Creates the link, initialised and relayed, as Links[0]. A link it replaces stops at once
    // and is deleted from the event loop, never under its own call: the set-up may run inside
    // one of its callbacks.
    TwXQXOfen *LinkAnlegen();
    void Einreihen(const NeuerBefehl &befehl, const QByteArray &param);
    void LogPanelOeffnen();

    // The link objects; the window owns them and alone creates and replaces them (LinkAnlegen).
    std::vector<TwXQXOfen *> Links;
    TLinkZugang *m_zugang = nullptr;

    int m_extentIn = 0;
    int m_extentOut = 0;
    int m_extentError = 0;
    bool m_autoSize = false;
    bool m_closed = false;
};

// Deck mask of the hand commands: bit (deck mod 32) as "%.4x"; -1 gives "80000000".
QByteArray HerdMaske(int herdNo);
// "DELETE" and a TAB plus "%.4x" for each program from `von` to `bis`, both kept to
// the program numbers 1..199; just "DELETE" when the end is below the start.
QByteArray DeleteParameter(int von, int bis);

extern TwKelvor *wKelvor;
extern QString RegKey;
extern QString ProgName;

#pragma once
// The controller link. Apart from the class: the frame and the answer check
// (uXqxOfen_Rahmen.h) and the TCP server that takes the controller's answers
// (uXqxOfen_Server.h). The class groups its members by concern, each with the source that
// holds it: queue, sending and the status poll; answers; whole-list transfers; its window.
#include "link/uXQXKonstanten.h"
#include "link/uXqxOfen_Rahmen.h"
#include "link/uXqxOfen_Server.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QList>
#include <QObject>
#include <QString>
#include <QWidget>

#include <functional>

class QCheckBox;
class QLabel;
class QListWidget;
class QPushButton;
class QSpinBox;
class QTcpSocket;
class TTimer;

// ---- what the link calls in the main window ------------------------------------------------
class TLinkHost
{
public:
    virtual ~TLinkHost() = default;
    // The outgoing, incoming and error lists, and the error box titled "Fehler".
    virtual void BefehlEintragen(const QString &text) = 0;
    virtual void AntwortEintragen(const QString &text) = 0;
    virtual void FehlerEintragen(const QString &text) = 0;
    virtual void FehlerMelden(const QString &text) = 0;
    // The main window's check boxes that steer sending and the status poll.
    virtual bool NoWaitGesetzt() const = 0;
    virtual bool PingTimerGesetzt() const = 0;
    virtual bool StatTimerGesetzt() const = 0;
    virtual bool ZeitTimerGesetzt() const = 0;
    // The service view's diagnostic switches and the program's answer server as sending uses
    // them; a host without them sends plainly. Stopping and starting report success.
    virtual bool KillBoxGesetzt() const { return false; }
    virtual bool EndlosSendenGesetzt() const { return false; }
    virtual bool ServerStoppen() { return true; }
    virtual bool ServerAktivieren() { return true; }
    // The controller's clock and version as the answers give them (`XQTime`, `VersionEdit`).
    virtual void XQZeitSetzen(const QString &text) { Q_UNUSED(text); }
    virtual void VersionSetzen(const QString &text) { Q_UNUSED(text); }
};

// ---- the link ------------------------------------------------------------------------------
class TwXQXOfen : public QWidget
{
    Q_OBJECT
public:
    // How the command in flight ended.
    enum class TBefehlsEnde {
        Beantwortet,   // a good answer came
        Verweigert,    // the controller refused it, and no attempt follows
        Aufgegeben,    // it failed as often as it may, and no attempt follows
        Verworfen,     // dropped without an answer, a repeat or a box: a failed status request,
                       // a command the next send took the place of (NoWait, the safety timer),
                       // or the request of a cancelled transfer that failed or had a repeat due
        Geschlossen    // the link closed under it
    };
    Q_ENUM(TBefehlsEnde)

    explicit TwXQXOfen(TLinkHost *host, QWidget *parent = nullptr);
    // Ends the command in flight as Geschlossen.
    ~TwXQXOfen() override;

    // ---- queue, sending, error handling and the status poll (uXqxOfen_Queue.cpp, uXqxOfen_Senden.cpp)
    void Init(const QString &address);
    // The only way to send for everyone else; the line is kept whole however long.
    void BefehlEinreihen(const QByteArray &prioritaet, const NeuerBefehl &befehl, const QByteArray &param);
    // A new command (or an acknowledgement) at once.
    void Senden(NeuerBefehl befehl, const QByteArray &param);
    // The command in flight once more.
    void Wiederholen(const NeuerBefehl &befehl, const QByteArray &param);
    // The one end of the command in flight, and the only place of its clean-up: the gate
    // opens, the answer timer stops, the queue moves on, the attempts count from 0 again;
    // given up, refused or closed, BefehlAktuell becomes SB_None, its read is no longer
    // expected and a whole-list transfer that lost its step ends. Then BefehlBeendet.
    // Nothing when no command is in flight.
    void BefehlErledigt(TBefehlsEnde wie);
    // Sent and not yet ended (its repeat may still be waiting to go out).
    bool BefehlImFlug() const { return m_imFlug; }
    // The answer to the attempt on the wire is awaited: only now does a line count against it.
    bool AntwortErwartet() const { return m_antwortErwartet; }
    // The link stops for good: nothing more is sent and its timers stand. For a link that is
    // being replaced; its command in flight ends when it is deleted.
    void Schliessen();
    // One answer line from the server.
    void AntwortVerarbeiten(const QByteArray &zeile);
    // Applies the verdict of the answer check; a good answer loses its leading STX ENQ.
    bool PruefeAntwort(QByteArray &text);

    void TimerHerzTimer();
    void TimerHerzWakeTimer();
    void TimeoutTimer();
    void StatusTimerTimer();

    // A send is running or waiting for an earlier one; the queue stands still meanwhile.
    bool SendenBeschaeftigt() const { return m_sendet || !m_aufgeschoben.isEmpty(); }
    const QList<QByteArray> &MakroZeilen() const { return m_makros; }

    // The connection to the controller; host and port are set by Init and the main window.
    struct TTcpClient
    {
        QString Host;
        quint16 Port = 2608;
    } TCPClient;

    QString IPText;
    bool SendenOk = false;
    quint8 HerdFehler = 3;
    // The command in flight, or the last one that was answered; SB_None after one ended otherwise.
    NeuerBefehl BefehlAktuell;
    QList<NeuerBefehl> Befehlsregister;
    int OfenIdBasis = 0;

    // ---- components ----
    QListWidget *Makros = nullptr;
    QCheckBox *Waiting = nullptr;
    QSpinBox *StatInt = nullptr;
    TTimer *TimerHerz = nullptr;
    TTimer *TimerHerzWake = nullptr;
    TTimer *Timeout = nullptr;
    TTimer *StatusTimer = nullptr;

protected:
    // Runs the end of each send, which `weiter` carries; a subclass may run it later.
    virtual void SendungAbschluss(std::function<void()> weiter) { weiter(); }

private:
    struct TSendeAuftrag
    {
        NeuerBefehl Befehl;
        QByteArray Param;
        bool Wiederholung = false;
    };
    enum class TPhase { Verbinden, Schliessen };

    bool geschlossen() const;
    // The program number a read asks for ("%.4x" alone), -1 for any other command.
    static int LeseNummer(const NeuerBefehl &befehl);
    void MakroAbarbeiten();
    void SendenAuftrag(TSendeAuftrag auftrag);
    void SendenStarten(const TSendeAuftrag &auftrag);
    void NaechsteSendung();
    void Verbunden(quint64 nr);
    void SocketFehler(quint64 nr);
    void Geschrieben(quint64 nr, qint64 bytes);
    void Getrennt(quint64 nr);
    void WaechterTimer();
    void SendungBeenden(quint64 nr);
    void SendungAbschliessen(quint64 nr);
    void RahmenSchreiben(const QByteArray &text);
    // `p`: the verdict on the line, for its message, its NAK and whether the controller refused.
    void FehlerBehandeln(NeuerBefehl &befehl, const TPruefung &p);

    TLinkHost *m_host;
    QList<QByteArray> m_makros;
    bool m_geschlossen = false;

    // The command in flight and its awaited answer (see BefehlImFlug, AntwortErwartet).
    bool m_imFlug = false;
    bool m_antwortErwartet = false;
    // Program numbers read and not yet answered, given up or forgotten with the link; more
    // than one when requests go out without waiting.
    QList<int> m_erwarteteProgramme;
    // The command that the good answer in hand ended; empty when it ended none.
    NeuerBefehl m_beantwortet;
    // The command in flight is the request of a transfer that was cancelled under it: its
    // answer is acknowledged and dropped, a failure of it is not tried again.
    bool m_imFlugAbgebrochen = false;
    // The answer in hand is that of such a request.
    bool m_antwortAbgebrochen = false;

    // The one send on the wire.
    bool m_sendet = false;
    quint64 m_sendeNr = 0;
    QTcpSocket *m_socket = nullptr;
    TTimer *m_waechter = nullptr;
    TPhase m_phase = TPhase::Verbinden;
    bool m_trx = false;
    QString m_sendeHost;
    QByteArray m_sendeText;
    int m_sendeTimeoutMs = 0;
    qint64 m_rahmenLaenge = 0;
    qint64 m_geschrieben = 0;
    int m_fehlerbits = 0;
    bool m_trennFehler = false;
    QList<TSendeAuftrag> m_aufgeschoben;
    // ---- end queue and sending ----

    // ---- answers (uXqxOfen_Antworten.cpp) ----
public:
    void AntwortHerd(const QByteArray &text);
    void AntwortStat(const QByteArray &text);
    void AntwortBprgDaten(const QByteArray &text);
    void AntwortBprgQuittung(const QByteArray &text);
    void AntwortLoad(const QByteArray &text);
    void AntwortNachtstarts(const QByteArray &text);
    void AntwortBprgListe(const QByteArray &text);
    void AntwortZeit(const QByteArray &text);
    // The decimal form of HexToInt of the text ("-1" when it is not upper-case hex).
    static QByteArray HexStrZuDezStr(QByteArrayView hex);
    void StatusTimeoutTimer();

    // Tagged fields of the decks from the last "herd" answer; empty once StatusTimeout fires.
    QByteArray Statussatz;
    // Program names as the link knows them, at most 20 characters each.
    QByteArray PrgNamen[BPrgListeAnzahl];
    TTimer *StatusTimeout = nullptr;

private:
    // A program answer of read `nr` is taken once; false when no read of it is expected.
    bool ProgrammAntwortNehmen(int nr);
    // The whole-list steps of the answers.
    void ListeProgrammEmpfangen(const QByteArray &programm, const QByteArrayView nummerText);
    void ListeNamenEmpfangen();
    // False when the refusal was not the answer to the transfer's request.
    bool ListeQuittungNak();
    void ListeQuittungAck();
    // ---- end answers ----

    // ---- whole-list transfers (uXqxOfen_Liste.cpp) ----
public:
    bool AlleLesen = false;
    bool AlleSchreiben = false;
    bool UebertragungLaeuft = false;
    bool Abgebrochen = false;
    int AktNr = 0;
    // Read-all: the texts received (lines ending CR LF). Write-all: the texts to send (lines
    // ending TAB) and the records decoded from the chunks. Slot 0 holds no program.
    QByteArray PrgTexte[BPrgListeAnzahl];
    TBackprogrammListe PrgDaten{};

    // A whole-list transfer runs, or its queue words wait in the queue. False again once it
    // has ended, however it ended.
    bool UebertragungAktiv() const;
    // Ends a whole-list transfer at once: its queued lines go, and the answer to its request
    // still on the wire is acknowledged and handed on to nobody. The queue word SB_RSCancel
    // does the same when its turn comes. Reports nothing when no transfer runs.
    void UebertragungAbbrechen();

private:
    void PrgTextSetzen(const QByteArray &text, int nr);
    void LesenBeenden();
    // The one end of every transfer: the state is cleared, its queued lines go, and a transfer
    // that was running reports 200.
    void UebertragungBeenden();
    void RestoreBlockLaden(const QByteArray &teil, bool erster);
    void RestoreStarten();
    // Chunk k (1..12) of the texts read.
    QByteArray Listenteil(int k) const;
    // The first used program from `nr` on; 200 when there is none.
    int NaechsterBelegter(int nr) const;
    // The BPRG parameters of program AktNr: its read, or its write or delete form.
    QByteArray SchrittParameter() const;
    void SchrittEinreihen();
    // The answer in hand ended this transfer's request for program AktNr.
    bool SchrittBeantwortet() const;
    // The command in flight is this transfer's current request.
    bool SchrittImFlug() const;
    // Program AktNr once more, as long as it has attempts left; else the transfer is given up
    // with the box `box` (none when empty) and the error lines. `meldung` empty: no error-list line.
    void SchrittNochmal(const QString &meldung, const QString &box);
    bool UebertragungsZeile(const QByteArray &zeile) const;
    // Ends the transfer as a cancel does, without counting as one.
    void UebertragungFallenLassen();
    // A write-all met an answer it did not await: some acknowledgement may have been taken
    // for another program's, so it stops and names the programs not surely confirmed.
    void SchreibenUnsicherBeenden();

    // How often the transfer has asked for program AktNr; repeats of the link's own count
    // once, within one ask.
    int m_schrittVersuche = 0;
    // The first program of the write-all that was tried without an answer of its own (a late
    // answer to it may still come); 0 for none.
    int m_unsicherAb = 0;
    // ---- end whole-list transfers ----

    // ---- window (uXqxOfen_Fenster.cpp) ----
public:
    void FormCreate();
    void FormActivate();
    void CloseBtnClick();
    // Runs on every change of Waiting, by hand or by program.
    void WaitingClick();
    void WaitingTimerTimer();
    QWidget *Panel1 = nullptr;
    QPushButton *CloseBtn = nullptr;
    QWidget *DebugPanel = nullptr;
    QLabel *Label1 = nullptr;
    TTimer *WaitingTimer = nullptr;
protected:
    void showEvent(QShowEvent *event) override;
    void changeEvent(QEvent *event) override;
private:
    void FensterAufbauen();
    // The frame as the service view's diagnostic switches want it written.
    void RahmenSchreibenDiagnose();
    // ---- end window ----

signals:
    // The command in flight ended, once per command however often it was tried; `befehl` as
    // it was in flight. Emitted last, when the link's state is settled.
    void BefehlBeendet(const NeuerBefehl &befehl, TwXQXOfen::TBefehlsEnde wie);
    // Into the list editor and the night-start window; each call carries its data and is
    // delivered before the answer handling goes on.
    void TimeOutNeustarten();
    void AntwortEmpfangen(const QByteArray &antwort, const QByteArray &nummerText);
    void NamenEmpfangen(const QByteArray &text, bool flag);
    // Progress 0..200. A transfer ends, whichever way, with exactly one 200 sent once
    // UebertragungAktiv() is false; a read-all sends one more 200 just before its chunks.
    void FortschrittAnzeigen(int position);
    // The twelve chunks of a read-all in order, numbered 1..11 and 0 for the last.
    void ListenTeilEmpfangen(const QByteArray &teil, quint8 nr);
    void NachtstartsAnzeigen(const QByteArray &text);
};

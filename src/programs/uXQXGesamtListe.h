#pragma once
// The list editor: 200 program slots with their names, one program at a time in the phase grid,
// the checks against the limits and the questions before a program or the list leaves it.
#include "app/MyButton.h"
#include "app/StringGrid.h"
#include "link/uXQXKonstanten.h"
#include "programs/Programmpruefung.h"
#include "programs/ProgrammRaster.h"

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>
#include <QWidget>
#include <array>
#include <functional>

class QAction;
class QCheckBox;
class QComboBox;
class QFrame;
class QGroupBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QMenu;
class QMenuBar;
class QPlainTextEdit;
class QProgressBar;
class QPushButton;
class QSpinBox;
class QToolButton;
class TDateiDialog;
struct TKnopfTexte;
class TNamenMemo;
class TSG1Delegate;
class TTimer;

// Up and down arrows beside the name grid.
class TUpDown : public QWidget
{
    Q_OBJECT
public:
    explicit TUpDown(QWidget *parent = nullptr);
    QToolButton *Hoch;
    QToolButton *Runter;
signals:
    void Click(bool hoch);
};

// Index 1..10 = phase = grid row; index 0 is unused.
using TKnopfReihe = std::array<TChangeButton *, RasterPhasen + 1>;

class TwXQXGesamtListe : public QWidget
{
    Q_OBJECT
public:
    // Builds every component and runs the creation handler.
    explicit TwXQXGesamtListe(QWidget *parent = nullptr);
    ~TwXQXGesamtListe() override;

    // ==== data ====
    // Slots 0..199; programs are 1..199, slot 0 is written and sent but never shown.
    TBackprogrammListe BPrgListe{};
    // The program the editor shows.
    TBackprogramm AktBPrg{};
    // Names of the slots as the name grid shows them.
    TNamenListe BPrgNamen{};
    bool PrgGeaendert = false;
    bool ListeGeaendert = false;
    // Empty for a new list.
    QString ListeDateiName;
    // The slot an edited program goes back to when the number changes.
    int GemerkteNr = 0;
    bool UmwSpalteAus = false;
    bool AusgSpalteEin = false;
    TKnopfReihe SchwadenKnopf{};
    TKnopfReihe UmwKnopf{};
    TKnopfReihe AusgKnopf{};
    QString GesBackzeitText;
    QString TxtAchtung;
    QString TxtFehler;
    QString TxtUebersicht;

    // ==== program list ====
    // Makes slot n (1..199) the shown program.
    void ProgrammWaehlen(int n);
    // Name grid, caption, window shown, program n; clears PrgGeaendert. ListeGeaendert is left
    // as it is: a caller that loaded or saved the list clears it before.
    void ListeAnzeigen(int n);
    // A copy of `rec` becomes the shown program of slot `slot`, is shown and checked.
    void ProgrammSetzen(const TBackprogramm &rec, int slot);
    void ProgrammSetzen(const TBackprogramm &rec);
    // Shows the empty program; clears PrgGeaendert.
    void ProgrammLeeren();
    // The editor into slot n (1..199); true when the program passed its checks.
    bool ProgrammInListeSpeichern(int n);
    // The editor into slot n, or for n < 1 into the first free slot; false when there is none.
    bool ProgrammAblegen(int n);
    // The first slot whose name is the free name (trailing blanks not counted); 0 when none.
    int FreierPlatz() const;
    void NamenAnzeigen(const QString &ofenname);
    void NamenAnzeigen(const QString &ofenname, const TNamenListe &namen);
    void NamenSpalteLeeren();
    // The number in NrWahl.
    int Nummer() const;
    // First and last slot of the name grid's selection (never slot 0); false when none.
    bool NamenAuswahl(int &von, int &bis) const;
    // Selects the name-grid rows of slots von..bis alone, the last one current and in view.
    void NamenBlockWaehlen(int von, int bis);

    // ==== phase grid ====
    // The shown program into the editor, as program `slot`.
    void ProgrammAnzeigen(int slot);
    void ProgrammAnzeigen();
    // The editor into AktBPrg as program `slot` (the number shown when not given) and its
    // check; true when nothing is wrong. An open cell is taken over and checked first.
    bool GridZuProgramm(bool mitMeldung, int operation, int slot);
    bool GridZuProgramm(bool mitMeldung, int operation);
    // Checks and normalises cell (col, row), or the current cell.
    void ZellePruefen(int col, int row);
    void ZellePruefen();
    // An open cell editor's text into its cell.
    void ZellenEditorUebernehmen();
    void InitTexte();
    void KnoepfeAuffrischen();
    TRasterZellen RasterZellen() const;
    static TKnopfZustaende Zustaende(const TKnopfReihe &knoepfe);
    // Rest labels and colours from the cells.
    void SummenAktualisieren();

    // ==== checks ====
    // Bit 0: values above their limits remain; bit 1: the sums do not fit.
    int ProgrammPruefen(bool mitMeldung, int operation, bool automatisch, TBackprogramm &rec, bool &gespeichert,
                        QString &betroffen);
    // -1 when a sum does not fit; `text` gets the message body.
    int SummenzeitenPruefen(const TSummen &summen, bool mitMeldung, QString &text);
    // True when the operation may go on.
    bool ListePruefen(bool mitMeldung, int operation, TBackprogrammListe &liste, bool &gespeichert);
    TPruefRegeln PruefRegeln() const;
    QStringList LangTexte() const;

    // The editor's own transfer, in one state. The window is locked, and its watchdog runs, while
    // a program is requested and until a whole-list transfer's progress is through.
    enum class TUebertragung {
        Keine,
        // A transfer asks its questions before it starts.
        Beginnt,
        // Locked: a program is requested; its answer frees the window.
        ProgrammLesen,
        // Locked: a whole-list transfer until its progress is through.
        ListeSenden,
        ListeEmpfangen,
        // The progress is through and the window free; the link's end of the transfer is awaited.
        // A read-all's chunks come now.
        ListeGesendet,
        ListeGelesen,
        // The last chunk of a read-all is in and its take-over waits or runs, before or after the
        // link's end of the transfer.
        Uebernahme,
        UebernahmeNachEnde
    };
    TUebertragung Uebertragung() const { return m_uebertragung; }
    // The one way the state changes: it locks or frees every control but "Abbrechen" and
    // "Ausblenden" with it, and starts or stops the watchdog.
    void UebertragungSetzen(TUebertragung zustand);
    static bool Sperrt(TUebertragung zustand);
    bool BedienungGesperrt() const { return Sperrt(m_uebertragung); }

    // ==== transfers ====
    // The one way the editor queues a command: the main window's connection set-up, then the
    // queue of its link.
    void BefehlSenden(const NeuerBefehl &Befehl, const QByteArray &Daten);
    // A transfer of the editor or of its link runs, or what one brought waits for its
    // evaluation. No transfer starts and the window does not close while it holds.
    bool Beschaeftigt() const;
    // The shown program to the controller (or the delete of its slot when it is free).
    void BPrgSendenan1Click();
    // Asks the controller for program NrWahl; the window stays locked until it comes.
    void FileReceiveBPrg1Click();
    // The list check, then the write-all.
    void ListeSendenan1Click();
    // A write-all of a copy of `Liste`, without the list check; false when a transfer runs.
    bool ListeSenden(const TBackprogrammListe &Liste);
    // The read-all after the save question; false when it did not start.
    bool ListeEmpfangen1Click();
    // Ends a whole-list transfer at once and frees the window.
    void CancelClick();
    // Hides the progress panel; the transfer goes on and the window stays locked.
    void AusblendenClick();
    void TimeOutTimer();
    // ---- what the link hands over, each call with its own data ----
    // Restarts the watchdog when it runs.
    void TimeOutNeustarten();
    // "SendACK" with "-1", or a received program's text with its number in decimal.
    void AntwortEmpfangen(const QByteArray &Antwort, const QByteArray &NummerText);
    // A program-name list: into the names table, not shown.
    void NamenEmpfangen(const QByteArray &Text, bool Flag);
    void FortschrittAnzeigen(int Position);
    // The chunks of a read-all, numbered 1..11 and 0 for the last.
    void ListenTeilEmpfangen(const QByteArray &Teil, quint8 Nr);
    // The chunks of a read-all received so far.
    QByteArray Empfangspuffer;
    // 1000 from the start of a write-all until its progress reaches 50: the label switches once.
    int FortschrittsTag = 0;

    // ==== self-test panel ====
    void DoDefaults_vollClick();
    void Defaults_halbClick();
    void Chk_vClick();
    void Chk_hClick();

    // ==== program and list files ====
    // Saves the list: at once to a ".XQR" file name, otherwise through the save dialog. True
    // when the list was written; false when the dialog was cancelled, the check refused or the
    // write failed (the list then stays marked as changed).
    bool ListeSpeichern1Click();
    // The save dialog, then the save under the name chosen; the result as ListeSpeichern1Click.
    bool ListeSpeichernunterClick();
    // Reads a ".XQR" file and takes it over; true when the list was taken over.
    bool ListeDateiOeffnen(const QString &Dateiname);
    // Takes 200 records over as the list of file `Dateiname` and shows program 1. A changed list
    // or program is offered for saving first. True when taken over; false (list, name and
    // editor unchanged) when the user cancelled or the save asked for did not happen.
    bool ListeUebernehmen(const QString &Dateiname, const TBackprogrammListe &Liste);
    // Starts an empty list after the same question; false when it did not.
    bool NeueListe();
    // Writes the shown program to a program file chosen in the save dialog.
    void ProgrammSpeichernUnter();
    // Reads a program file into `rec`; false, with a message, when it holds no program.
    bool ProgrammDateiLesen(const QString &Dateiname, TBackprogramm &rec);
    void FileOpenClick();
    void Listeffnen1Click();
    void Backprogrammspeichern1Click();
    void NeueListe1Click();

    // ==== list operations ====
    // Copies of the slots 1..199 made by the last copy that included them; element 0 is unused.
    std::array<TBackprogramm, BPrgListeAnzahl> Zwischenablage{};
    // First and last slot of the last copy; both 0 before the first.
    int KopieVon = 0;
    int KopieBis = 0;
    void ProgrammeKopieren(int Von, int Bis);
    void ProgrammeEinfuegen(int Ab);
    void ListeSortieren(bool Aufsteigend);
    void Backprogrammkopieren1Click();
    void Backprogrammeinfgen1Click();
    void SortierenAZ2Click();
    void SortierenZA2Click();
    void Nachoben1Click();
    void Nachunten2Click();
    void UpDown1Click(bool hoch);
    // A right click on a program row selects it and opens PopupMenu1; true for every right
    // click, which the grid then does not see.
    bool NamenListeMouseDown(Qt::MouseButton button, const QPoint &pos);

    // ==== printing ====
    // Prints slots Von..Bis of a copy of `Liste` through the report window.
    void ListeDrucken(const TBackprogrammListe &Liste, quint8 Von, quint8 Bis, bool Vorschau, bool UmwaelzerAus,
                      bool AusgangEin);
    // The slots of the marked name-grid rows, after the list and program checks.
    bool MarkierteDrucken();
    // The names of slots 0..199 in two print jobs on the default printer.
    void NamenlisteDrucken();
    void Drucken1Click();
    void AlleBackprogrammedrucken1Click();
    void ListeDrucken1Click();
    void PintListBtnClick();
    void Druckereinrichtung1Click();
    // Captions of the phase-1 buttons as the report prints them.
    TKnopfTexte KnopfTexte() const;

    // ==== handlers ====
    void NrWahlEnter();
    void NrWahlChange();
    void NamenListeDblClick();
    void PrgEraseBtnClick();
    void Neu2Click();
    void Schlieen1Click();
    void ePrgNameEnter();
    // Leaving the quantity or the core temperature, other than for the name, goes to the first
    // grid cell.
    void eMengeExit(QWidget *neu);
    void eXQKernExit(QWidget *neu);
    void SG1Enter();
    void SG1Exit();
    // A free program that got data is named "P" and its three-digit number.
    void FreiesProgrammBenennen(int nr);
    void ZeileKopierenClick();
    void ZeileEinfuegenClick();
    void cbSch1Click(int phase);
    void EnableAusgangClick();
    // Window keys for the phase grid; true when the key is used up.
    bool SG1Taste(int key, Qt::KeyboardModifiers modifiers, bool editiert);

    // ==== components, in the order they are created ====
    QMenuBar *MainMenu1;
    QMenu *File1;
    QAction *Neu2;
    QAction *NeueListe1;
    QAction *Listeffnen1;
    QAction *ListeSpeichern1;
    QAction *ListeSpeichernunter;
    QAction *FileOpen;
    QAction *Backprogrammspeichern1;
    QAction *BPrgSendenan1;
    QAction *Backprogrammsendenanalle1;
    QAction *BackprogrammsendenanGruppe1;
    QAction *BPrgEmpfangen1;
    QAction *ListeSendenan1;
    QAction *Listesendenanalle1;
    QAction *ListeEmpfangen1;
    QAction *ListeDrucken1;
    QAction *Drucken1;
    QAction *MarkierteBackprogrammedruckenVorschau1;
    QAction *MarkierteBackprogrammedruckenTestAlt1;
    QAction *AlleBackprogrammedrucken1;
    QAction *AlleBackprogrammedruckenVorschau1;
    QAction *AlleBackprogrammedruckenTestAlt1;
    QAction *Druckereinrichtung1;
    QAction *SendenSpeichern1;
    QAction *Schlieen1;
    QMenu *Bearbeiten1;
    QAction *Backprogrammkopieren1;
    QAction *Backprogrammeinfgen1;
    QAction *MehrereBPrgskopieren1;
    QAction *MehrereBPrgseinfgen1;
    QAction *SortierenAZ2;
    QAction *SortierenZA2;
    QAction *Nachoben1;
    QAction *Nachunten2;
    QMenu *PopupMenu1;
    QAction *Kopieren1;
    QAction *Einfgen1;
    QAction *SortierenAZ1;
    QAction *SortierenZA1;
    QAction *Nachoben2;
    QAction *Nachunten1;
    QMenu *PopupMenu2;
    QAction *ZeileKopieren;
    QAction *ZeileEinfuegen;

    QFrame *Kopfleiste;
    QPushButton *PintListBtn;
    QLabel *Label16;
    QComboBox *OfenWahlBox;
    QLabel *Ofenname;
    QFrame *DebugPanel;
    QPushButton *DoDefaults_voll;
    QPushButton *Defaults_halb;
    QPushButton *Chk_v;
    QPushButton *Chk_h;
    QPlainTextEdit *Memo1;
    QCheckBox *EnableAusgang;
    QCheckBox *CheckMitKern;

    TStringGrid *NamenListe;
    TUpDown *UpDown1;

    QFrame *BPrgPanel;
    QFrame *Panel1;
    QLabel *LNrWahl;
    QSpinBox *NrWahl;
    QLabel *LPrgName;
    TNamenMemo *ePrgName;
    QLineEdit *Edit1;
    QLineEdit *Edit2;
    TNamenMemo *ePrgNameKy;
    QLabel *LMenge;
    QLineEdit *eMenge;
    QLabel *LXQKern;
    QLineEdit *eXQKern;
    QLabel *Einheit_SollKT;
    QPushButton *PrgEraseBtn;
    QPushButton *Button1;
    TStringGrid *SG1;
    QLabel *GesBackzeit;
    QLabel *LRestzeiten;
    QLabel *SchwadenRest;
    QLabel *AbzugRest;
    QLabel *UmwRest;
    QLabel *AusgRest;
    QGroupBox *EinzelBox;
    QPushButton *SpeichernPrg;
    QPushButton *LadenPrg;
    QPushButton *SendenPrg;
    QPushButton *LesenPrg;
    QGroupBox *ListenBox;
    QPushButton *SpeichernPrgListe;
    QPushButton *LadenPrgListe;
    QPushButton *SendenPrgListe;
    QPushButton *LesenPrgListe;

    QFrame *FortschrittsPanel;
    QProgressBar *Gauge1;
    QLabel *Label14;
    QLabel *Label15;
    QLabel *Label_ToPC;
    QLabel *Label_FromPC;
    QPushButton *Ausblenden;
    QPushButton *Cancel;

    // Run-time texts by index (see ListenEditorTexte), translated with the window.
    QListWidget *Lang;

    TDateiDialog *OpenDialog;
    TDateiDialog *SaveDialog;
    TTimer *TimeOut;
    TTimer *SendallTimeout;
    TTimer *StartTimer;

protected:
    void showEvent(QShowEvent *event) override;
    void hideEvent(QHideEvent *event) override;
    void closeEvent(QCloseEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void KomponentenErzeugen();
    // Connect the handlers of the files, the list operations, the prints, the transfers (and
    // the link's calls relayed by the main window) and the self-test panel.
    void DateienVerbinden();
    void ListeVerbinden();
    void DruckenVerbinden();
    void UebertragungVerbinden();
    void SelbsttestVerbinden();
    // The evaluation of what the link handed over runs later from the event loop, one after
    // the other: one that opens a modal window finishes before the next begins.
    void AuswertungEinreihen(std::function<void()> auswertung);
    void AuswertungenAbarbeiten();
    void AntwortAuswerten(const QByteArray &antwort, int nr);
    void ListeEmpfangenAuswerten(const QByteArray &puffer);
    // Locks (false) or frees (true) the controls; locking starts the watchdog, freeing stops it.
    // Only UebertragungSetzen calls it.
    void BedienungFreigeben(bool freigeben);
    // The window is free again: a program request ends, a whole-list transfer awaits the link's
    // end. A free window stays as it is.
    void FensterFreigeben();
    // A whole-list transfer started here has not yet seen the link's end.
    bool ListenTransferOffen() const;
    // The whole-list transfer has ended, however it ended.
    void ListenTransferBeendet();
    bool LinkUebertragungAktiv() const;
    // The check and the write of a list save (ListeSpeichernIntern after the list check).
    bool ListeSichern();
    // The save dialog for a list, `vorschlag` proposed; then the save under the chosen name.
    bool ListeSpeichernAls(const QString &vorschlag);
    bool ListeSpeichernIntern(int n);
    // The list of file `Dateiname` in place of the editor's, without showing it.
    void ListeSetzen(const QString &Dateiname, const TBackprogrammListe &Liste);
    // Asks whether a changed list is to be saved; false when the caller must stop.
    bool AenderungenFragen();
    // Stores an edited program into its slot before an operation on the list.
    void AenderungenSichern();
    // Opens one program file into slot `slot` (below 1: the first free slot); false when it
    // did not go in and the rest of a selection is skipped.
    bool ProgrammDateiOeffnen(const QString &Dateiname, int slot);
    // From now on the editor's program is that of slot n: number, remembered slot, name row.
    void PlatzUebernehmen(int n);
    // The names table taken from the records, and shown.
    void NamenAusListe();
    // The selected block one slot up or down.
    void NamenBlockVerschieben(bool hoch);
    // Shows slot n again when an operation changed what it holds.
    void NeuZeigenWennGeaendert(int n, const TBackprogramm &vorher);
    void MenuesErzeugen();
    void Anordnen();
    // The 30 buttons into their cells of SG1.
    void KnoepfeEinsetzen();
    void Verbinden();
    void RasterVerbinden();
    void FormCreate();
    void FormShow();
    void FormHide();
    // False when the window stays open.
    bool FormClose();
    void StartTimerTimer();
    void FokusGewechselt(QWidget *alt, QWidget *neu);
    void SG1ZelleGewechselt(int row, int col, int prevRow, int prevCol);
    void SG1ZelleGeschrieben(int col, int row);
    // Empties the cells of switched-off columns; they never hold a value.
    void SpaltenSchalten();
    void RasterSchreiben(const TRasterZellen &zellen);
    void NamenAuswahlBegrenzen();
    QString LangText(int i) const;
    bool imFenster(QWidget *w) const;

    TSG1Delegate *m_delegate = nullptr;
    QWidget *m_summenZeile = nullptr;
    // Bulk writes of the grid recompute the sums once at their end.
    int m_rasterSchreiben = 0;
    bool m_zellePruefen = false;
    bool m_sanduhr = false;
    TUebertragung m_uebertragung = TUebertragung::Keine;
    QList<std::function<void()>> m_auswertungen;
    bool m_auswertungLaeuft = false;
    // ListeAnzeigen shows the window and chooses the program itself.
    bool m_listeWirdGezeigt = false;
    // The window moves the current cell itself and has checked the cell it leaves.
    bool m_nichtPruefen = false;
};

extern TwXQXGesamtListe *wXQXGesamtListe;

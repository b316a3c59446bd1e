// The repeat-transfer test of the service view: every five minutes the list editor sends the
// chosen list file to the controller or reads the controller's list back, alternating when
// both boxes are ticked.
#include "link/uKelvor.h"

#include "app/Dialoge.h"
#include "app/Sammlung.h"
#include "app/Zeitgeber.h"
#include "programs/uXQXGesamtListe.h"

#include <QCheckBox>
#include <QLineEdit>
#include <QPushButton>

void TwKelvor::WiederholungVerbinden()
{
    // `toggled`: ticking or unticking by program runs them too.
    connect(RepeatBprgSend, &QCheckBox::toggled, this, &TwKelvor::RepeatBprgSendClick);
    connect(RepeatBprgRead, &QCheckBox::toggled, this, &TwKelvor::RepeatBprgReadClick);
    connect(SofortSenden, &QPushButton::clicked, this, &TwKelvor::SofortSendenClick);
    connect(RepeatTimer, &TTimer::timeout, this, &TwKelvor::RepeatTimerTimer);
}

void TwKelvor::RepeatBprgSendClick()
{
    if (RepeatBprgSend->isChecked() && wXQXGesamtListe) {
        TDateiDialog *dialog = wXQXGesamtListe->OpenDialog;
        dialog->Filter = QStringLiteral("XQ-Vant2004-Backprogramm-Listen|*.XQR");
        dialog->DefaultExt = QStringLiteral("XQR");
        dialog->MultiSelect = false;
        dialog->InitialDir = BPrgXQDir;
        if (dialog->Execute(wXQXGesamtListe)) {
            RepListFile = dialog->FileName;
        } else {
            // Runs this handler once more, for the unticked box.
            RepeatBprgSend->setChecked(false);
            RepListFile.clear();
        }
        RepeatListName->setText(RepListFile);
    }
    // A running period goes on: enabling a running timer leaves it alone.
    if (RepeatBprgSend->isChecked()) {
        RepSendNext = true;
        RepeatTimer->setEnabled(true);
    } else {
        RepSendNext = false;
    }
}

void TwKelvor::RepeatBprgReadClick()
{
    // Unticked, the next step stops the timer.
    if (!RepeatBprgRead->isChecked())
        return;
    if (!RepeatBprgSend->isChecked())
        RepSendNext = false;
    RepeatTimer->setEnabled(true);
}

void TwKelvor::SofortSendenClick()
{
    if (!RepeatBprgSend->isChecked() && !RepeatBprgRead->isChecked())
        return;
    RepeatTimer->setEnabled(false);
    RepeatTimerTimer();
}

void TwKelvor::RepeatTimerTimer()
{
    RepeatTimer->setEnabled(false);
    TwXQXGesamtListe *editor = wXQXGesamtListe;
    if (editor && editor->Beschaeftigt()) {
        // A step over a running transfer would mix two lists; this one comes again next time.
        FehlerEintragen(QStringLiteral("Wiederholung übersprungen: Übertragung läuft"));
    } else if (RepSendNext) {
        FehlerEintragen(QStringLiteral("RepSend"));
        if (RepListFile.isEmpty())
            RepeatBprgSend->setChecked(false);
        // Only the list of the file goes out; a file that was not taken over sends nothing.
        if (RepeatBprgSend->isChecked() && editor && editor->ListeDateiOeffnen(RepListFile))
            editor->ListeSenden(editor->BPrgListe);
        if (RepeatBprgRead->isChecked())
            RepSendNext = false;
    } else {
        FehlerEintragen(QStringLiteral("RepRead"));
        if (RepeatBprgRead->isChecked() && editor) {
            // A hidden editor drops the list it receives.
            editor->show();
            editor->ListeEmpfangen1Click();
        }
        if (RepListFile.isEmpty())
            RepeatBprgSend->setChecked(false);
        if (RepeatBprgSend->isChecked())
            RepSendNext = true;
    }
    if (RepeatBprgSend->isChecked() || RepeatBprgRead->isChecked())
        RepeatTimer->setEnabled(true);
}

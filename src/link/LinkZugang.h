#pragma once
// The one way of the list editor and the night-start window into the main window and its link:
// they queue commands, ask after and end the link's whole-list transfer, read the repeat test's
// boxes and hear what the link hands over. The main window implements it and relays whichever
// link is current, so those windows connect once and never see a link replaced.
#include "link/uXQXKonstanten.h"

#include <QByteArray>
#include <QObject>

class TLinkZugang : public QObject
{
    Q_OBJECT
public:
    using QObject::QObject;

    // Connection set-up, then the queue of the link of that moment.
    virtual void LinkBefehlSenden(const QByteArray &prioritaet, const NeuerBefehl &befehl, const QByteArray &param) = 0;
    // The link's whole-list transfer runs (or is queued); ending it drops it at once.
    virtual bool LinkUebertragungAktiv() const = 0;
    virtual void LinkUebertragungAbbrechen() = 0;
    // The repeat-transfer test's boxes "send" and "read".
    virtual bool RepeatSendGesetzt() const = 0;
    virtual bool RepeatReadGesetzt() const = 0;
    // The printer set-up of the programs' printer.
    virtual void DruckerEinrichten() = 0;

signals:
    // The link's calls, relayed. Direct: each is delivered before the link's answer handling
    // goes on.
    void TimeOutNeustarten();
    void AntwortEmpfangen(const QByteArray &antwort, const QByteArray &nummerText);
    void NamenEmpfangen(const QByteArray &text, bool flag);
    void FortschrittAnzeigen(int position);
    void ListenTeilEmpfangen(const QByteArray &teil, quint8 nr);
    void NachtstartsAnzeigen(const QByteArray &text);
};

// The main window's; nullptr while there is none.
TLinkZugang *LinkZugang();

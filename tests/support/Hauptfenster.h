#pragma once
// The main window as the program creates it, on settings that keep it on loopback.
#include "support/TestUmgebung.h"

#include <QHostAddress>
#include <QPointer>
#include <QStringList>

class TwKelvor;

class THauptfensterUmgebung : public TTestUmgebung
{
public:
    // `ip` is where the window's link sends (nobody listens at the default); `port` 0 keeps 2601.
    explicit THauptfensterUmgebung(double timeScale = 1.0, const QString &ip = QStringLiteral("127.000.000.009"),
                                   int port = 0);
    // Closes the open boxes and the window.
    ~THauptfensterUmgebung();

    // A new window after FormCreate with the program's path and `words`; `zeigen` shows it.
    TwKelvor *oeffnen(const QStringList &words = {}, bool zeigen = false);
    TwKelvor *fenster() const { return m_fenster; }
    bool fensterWeg() const { return m_fenster.isNull(); }

private:
    QPointer<TwKelvor> m_fenster;
};

// Points the window's answer server at a loopback address of this process alone, so parallel
// test runs never share a listener; returns it.
QHostAddress EigeneServerAdresse();

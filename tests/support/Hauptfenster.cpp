#include "support/Hauptfenster.h"

#include "Programmfenster.h"

#include "app/Registry.h"
#include "app/Sammlung.h"
#include "link/uKelvor.h"
#include "app/uShowbox.h"

#include <QApplication>
#include <QTest>

THauptfensterUmgebung::THauptfensterUmgebung(double timeScale, const QString &ip, int port)
    : TTestUmgebung(timeScale)
{
    auto reg = OpenRegistry(QStringLiteral("Zelnor"), QStringLiteral("Kelvor"));
    reg->setValue(QStringLiteral("TCPIP_IPAdresse"), ip);
    if (port)
        reg->setValue(QStringLiteral("TCPIP_PORT"), port);
    InitVerzeichnisse();
    ServiceMode = CyrillicMode = CyrillicDebug = DiagView = false;
    BPrgXQDir = path(QStringLiteral("prog/BPRG"));
    ShowboxAnzahl = 0;
}

THauptfensterUmgebung::~THauptfensterUmgebung()
{
    for (QWidget *top : QApplication::topLevelWidgets())
        if (qobject_cast<TwShowbox *>(top))
            delete top;
    delete m_fenster.data();
}

TwKelvor *THauptfensterUmgebung::oeffnen(const QStringList &words, bool zeigen)
{
    m_fenster = FensterErzeugen(QStringList{QStringLiteral("/opt/kelvor/kelvor")} + words);
    if (zeigen) {
        m_fenster->show();
        if (!QTest::qWaitForWindowExposed(m_fenster))
            qWarning("main window not exposed");
    }
    return m_fenster;
}

QHostAddress EigeneServerAdresse()
{
    const qint64 pid = QCoreApplication::applicationPid();
    const QString a = QStringLiteral("127.%1.%2.%3")
                          .arg(100 + pid % 100)
                          .arg((pid / 100) % 250 + 1)
                          .arg((pid / 25000) % 250 + 1);
    qputenv("KELVOR_LISTEN_ADDRESS", a.toLatin1());
    return QHostAddress(a);
}

// The bare comparison program: a Qt program that shows one empty window and nothing else.
//   kelvor_bench_leer start <t0>     ms from <t0> (MonotonNs of the parent) to the window on screen
//   kelvor_bench_leer stau <seconds> the longest stall of its event loop over that time, once
//                                    the window is on screen, and its long stalls
//   kelvor_bench_leer speicher <s>   its resident memory in KiB, <s> seconds after the window
//                                    is on screen
#include "bench/Messen.h"

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    const QStringList a = QCoreApplication::arguments();
    if (a.size() < 3)
        return 2;
    const bool start = a.at(1) == QLatin1String("start");
    const bool speicher = a.at(1) == QLatin1String("speicher");
    const qint64 wert = a.at(2).toLongLong();

    QWidget fenster;
    fenster.setWindowTitle(QStringLiteral("leer"));
    TLueckenmesser luecke;
    new TSichtbarMelder(&fenster, [&] {
        if (start) {
            ErgebnisMelden(QString::number((MonotonNs() - wert) / 1e6, 'f', 2));
            app.quit();
            return;
        }
        luecke.starten();
        QTimer::singleShot(int(wert * 1000), &app, [&] {
            const double ms = luecke.anhalten();
            ErgebnisMelden(speicher ? QString::number(ResidentKb())
                                    : QString::number(ms, 'f', 2) + u' ' + luecke.lueckenText());
            app.quit();
        });
    });
    fenster.show();
    return app.exec();
}

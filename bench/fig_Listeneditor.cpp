// The list editor with a full list of 199 programs, in a process of its own: how long a click
// in the name grid takes until the program it chose is painted, and how much resident memory
// the program holds with the list open, against the bare Qt program's.
#include "bench/Figur.h"
#include "bench/Messen.h"
#include "bench/Programmlauf.h"

#include "link/uKelvor.h"
#include "link/uXQXKonstanten.h"
#include "programs/uXQXGesamtListe.h"

#include <QFileInfo>
#include <QMouseEvent>
#include <QTemporaryDir>
#include <algorithm>

namespace {

constexpr int kWechsel = 21;
constexpr double kWechselZielMs = 16;
constexpr double kSpeicherZielMb = 40;

// Every phase and nearly every function in use; the sums fit, so showing it asks nothing.
TBackprogramm vollesProgramm(int nr)
{
    TBackprogramm p;
    InitBPrgRecord(p);
    p.Name.setText("Vollkornbrot Nr " + QByteArray::number(nr));
    p.Menge = quint16(nr % 40 + 1);
    p.SollKT = 96;
    p.Steuerung.setText("XQ7310 Backstube Nord");
    p.PrgVersion.setText("Fassung 2.04 vom Mai");
    for (int k = 0; k < 10; ++k) {
        TBackPhase &ph = p.Phasen[size_t(k)];
        ph.Temperatur = quint16(240 - k);
        ph.Backzeit = quint32(100 + k + nr % 20);
        ph.Schwaden = 5;
        ph.Umwaelzer = k % 2 ? 100 : 0;
        ph.UmwaelzerZeit = ph.Backzeit;
        ph.Luft = k < 8 ? 50 : 0;
        ph.LuftZeit = k < 8 ? ph.Backzeit - 10 : 0;
        ph.Ausgang = 100;
        ph.AusgangZeit = quint32(20 + k);
        ph.AbzugProzent = 40;
        ph.AbzugZeit = ph.Backzeit;
    }
    return p;
}

// Calls `dann` once the next paint of `fenster` that follows has been flushed.
class TGemaltMelder : public QObject
{
public:
    explicit TGemaltMelder(QWidget *fenster) : m_fenster(fenster) { fenster->installEventFilter(this); }
    void warten(std::function<void()> dann) { m_dann = std::move(dann); }

protected:
    bool eventFilter(QObject *o, QEvent *e) override
    {
        if (o == m_fenster && e->type() == QEvent::UpdateRequest && m_dann)
            QTimer::singleShot(0, this, [dann = std::exchange(m_dann, {})] { dann(); });
        return false;
    }

private:
    QWidget *m_fenster;
    std::function<void()> m_dann;
};

// kelvor_bench --kind listeneditor <folder> <address> <port>
// Reports: median ms, longest ms, switches that showed their program, resident KiB, boxes,
// median ms of the click's own handling.
int listeneditorKind(int argc, char **argv)
{
    QApplication app(argc, argv);
    const TProgrammOrt ort = ProgrammOrtLesen(argc, argv);
    ProgrammOrtSetzen(ort, true);
    TKindDialoge dialoge;
    SetDialogHook(&dialoge);
    QList<double> zeiten, behandelt;
    int richtig = 0;
    TwKelvor *kelvor = nullptr;
    std::unique_ptr<TGemaltMelder> gemalt;
    std::function<void(int)> wechseln;
    const auto melden = [&] {
        std::sort(zeiten.begin(), zeiten.end());
        std::sort(behandelt.begin(), behandelt.end());
        ErgebnisMelden(QStringLiteral("%1 %2 %3 %4 %5 %6")
                           .arg(zeiten.value(zeiten.size() / 2), 0, 'f', 2)
                           .arg(zeiten.isEmpty() ? 0 : zeiten.last(), 0, 'f', 2)
                           .arg(richtig)
                           .arg(ResidentKb())
                           .arg(dialoge.Modal + dialoge.Boxen)
                           .arg(behandelt.value(behandelt.size() / 2), 0, 'f', 2));
        kelvor->close();
    };
    // Switch i: the row is scrolled into view and left to settle, then clicked.
    wechseln = [&](int i) {
        TwXQXGesamtListe *w = wXQXGesamtListe;
        if (i == kWechsel) {
            melden();
            return;
        }
        const int nr = 2 + (i * 67) % (LetztesProgramm - 1);
        QTableWidgetItem *zelle = w->NamenListe->item(nr + 1, 1);
        w->NamenListe->scrollToItem(zelle);
        QTimer::singleShot(100, w, [&, w, zelle, nr, i] {
            const QPoint punkt = w->NamenListe->visualItemRect(zelle).center();
            QWidget *feld = w->NamenListe->viewport();
            const QPointF global = feld->mapToGlobal(QPointF(punkt));
            const qint64 t0 = MonotonNs();
            gemalt->warten([&, w, nr, i, t0] {
                zeiten << (MonotonNs() - t0) / 1e6;
                richtig += w->Nummer() == nr;
                wechseln(i + 1);
            });
            QMouseEvent druck(QEvent::MouseButtonPress, QPointF(punkt), global, Qt::LeftButton, Qt::LeftButton,
                              Qt::NoModifier);
            QMouseEvent los(QEvent::MouseButtonRelease, QPointF(punkt), global, Qt::LeftButton, Qt::NoButton,
                            Qt::NoModifier);
            QApplication::sendEvent(feld, &druck);
            QApplication::sendEvent(feld, &los);
            behandelt << (MonotonNs() - t0) / 1e6;
        });
    };
    kelvor = ProgrammStarten(ort, {}, [&] {
        TwXQXGesamtListe *w = wXQXGesamtListe;
        for (int i = 1; i <= LetztesProgramm; ++i)
            w->BPrgListe[size_t(i)] = vollesProgramm(i);
        for (int i = 0; i < BPrgListeAnzahl; ++i)
            w->BPrgNamen[size_t(i)] = w->BPrgListe[size_t(i)].Name.text();
        gemalt = std::make_unique<TGemaltMelder>(w);
        new TSichtbarMelder(w, [&] { QTimer::singleShot(500, kelvor, [&] { wechseln(0); }); });
        // As loading a list file does: the names, the window shown, program 1.
        w->ListeAnzeigen(1);
    });
    const int rc = app.exec();
    SetDialogHook(nullptr);
    return rc;
}
KELVOR_KIND("listeneditor", listeneditorKind);

struct TEditor
{
    bool ok = false;
    QString grund;
    double medianMs = 0, laengsteMs = 0, behandeltMs = 0;
    int richtig = 0;
    double kelvorMb = 0, leerMb = 0;
};

TEditor editorMessen()
{
    TEditor e;
    QTemporaryDir ordner;
    const TOrt ort = OrtSuchen(8);
    if (!ort.port) {
        e.grund = QStringLiteral("no free port");
        return e;
    }
    TKind kelvor{BenchProgramm(),
                 QStringList{QStringLiteral("--kind"), QStringLiteral("listeneditor")}
                     + ProgrammArgumente(ordner.path(), ort),
                 ort.pc, {}, {}};
    TKind leer{LeerProgramm(), {QStringLiteral("speicher"), QStringLiteral("1")}, {}, {}, {}};
    for (TKind *k : {&kelvor, &leer})
        if (!KinderLaufen({k}, 120000)) {
            e.grund = QFileInfo(k->Programm).fileName() + QStringLiteral(": ") + k->Fehler;
            return e;
        }
    const QStringList &r = kelvor.Ergebnis;
    if (r.value(4).toInt() != 0) {
        e.grund = QStringLiteral("a box came up");
        return e;
    }
    e.medianMs = r.value(0).toDouble();
    e.laengsteMs = r.value(1).toDouble();
    e.behandeltMs = r.value(5).toDouble();
    e.richtig = r.value(2).toInt();
    e.kelvorMb = r.value(3).toDouble() / 1024;
    e.leerMb = leer.Ergebnis.value(0).toDouble() / 1024;
    if (e.richtig != kWechsel || e.kelvorMb <= 0 || e.leerMb <= 0) {
        e.grund = QStringLiteral("%1 of %2 clicks showed their program").arg(e.richtig).arg(kWechsel);
        return e;
    }
    e.ok = true;
    return e;
}

const TEditor &editor()
{
    static const TEditor e = editorMessen();
    return e;
}

std::optional<double> wechselFigur()
{
    const TEditor &e = editor();
    if (!e.ok) {
        FigurNotiz(e.grund);
        return {};
    }
    FigurNotiz(QStringLiteral("median of %1 clicks, the longest %2 ms; the click itself %3 ms")
                   .arg(kWechsel)
                   .arg(e.laengsteMs, 0, 'f', 1)
                   .arg(e.behandeltMs, 0, 'f', 1));
    return e.medianMs;
}

std::optional<double> speicherFigur()
{
    const TEditor &e = editor();
    if (!e.ok) {
        FigurNotiz(e.grund);
        return {};
    }
    FigurNotiz(QStringLiteral("kelvor %1 MB, bare Qt window %2 MB").arg(e.kelvorMb, 0, 'f', 1).arg(e.leerMb, 0, 'f', 1));
    return e.kelvorMb - e.leerMb;
}

} // namespace

KELVOR_FIGUR((TFigur{QStringLiteral("switching the shown program in a full list of 199 programs, click to painted"),
                         kWechselZielMs, wechselFigur, QStringLiteral("ms"), 1, true, 60}));
KELVOR_FIGUR((TFigur{QStringLiteral("resident memory with a full list open in the editor, over the bare window"),
                         kSpeicherZielMb, speicherFigur, QStringLiteral("MB"), 1, true, 61}));

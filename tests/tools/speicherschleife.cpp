// Saves the five kinds of file the program writes, over and over, each through the program's
// own writer and each switching between two known contents, so that tst_Absturz can kill it
// at any moment and look at what is left.
//
//   speicherschleife <folder> ref   writes the "alt" set, copies it to <folder>/ref/alt, the
//                                   "neu" set likewise to <folder>/ref/neu, and ends.
//   speicherschleife <folder>       saves both sets in turn without end; prints "bereit" once
//                                   the first "neu" and "alt" sets are out, then one line per
//                                   save after that.
// Any failed save prints "FEHLER <file>" and ends with 1.
#include "app/Codepage.h"
#include "app/Dialoge.h"
#include "app/IniDatei.h"
#include "app/Sammlung.h"
#include "link/Nachtstarts.h"
#include "link/uXQXKonstanten.h"
#include "programs/Listendateien.h"
#include "translate/translate.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>

#include <cstdio>
#include <cstdlib>

namespace {

// Answers every box with "No", so a failing list save does not ask for ever.
class TNein : public TDialogHook
{
public:
    QMessageBox::StandardButton answerBox(const TBoxRequest &) override { return QMessageBox::No; }
    QStringList answerFile(const TFileRequest &) override { return {}; }
    void boxShown(const TBoxRequest &) override {}
    int answerDialog(QDialog *) override { return 0; }
};

// Both sets differ in size in every file but the list file, whose 200 records have one size.
struct TSatz
{
    TBackprogrammListe liste{};
    TBackprogramm programm{};
    TNachtTabelle nacht{};
    QByteArray einstellung; // value of the probe key, "#ERR" for "missing"
    QString sprachtext;
};

TSatz satz(bool neu)
{
    TSatz s;
    for (int i = 0; i < BPrgListeAnzahl; ++i) {
        TBackprogramm &p = s.liste[size_t(i)];
        p.Name.setText(neu ? QByteArray("Neu ") + QByteArray::number(i) : QByteArray("frei"));
        p.Nummer = i;
        p.Menge = neu ? 2 * i : 0;
        for (TBackPhase &ph : p.Phasen)
            ph.Temperatur = neu ? 200 + i : 0;
    }
    s.programm = s.liste[neu ? 17 : 3];
    s.programm.Name.setText(neu ? "Sonntagsbroetchen 24" : "Brot");
    for (int tag = 0; tag < NachtTage; ++tag)
        s.nacht[size_t(tag)] = neu ? TNachtZeile{QStringLiteral("05"), QStringLiteral("45"), QString::number(10 + tag), QStringLiteral("00")}
                                   : TNachtZeile{NachtLeer, NachtLeer, NachtLeer, NachtLeer};
    s.einstellung = neu ? QByteArray() : QByteArray("#ERR");
    s.sprachtext = neu ? QStringLiteral("Ein längerer Text für die Übersetzer") : QStringLiteral("kurz");
    return s;
}

QString g_ordner;

QString datei(const QString &name) { return g_ordner + name; }
const QStringList kDateien{"Liste.XQR", "Programm.XQP", "Vantrel2004.INI", "Woche.XQN", "Lang/MASTER.LANG"};

[[noreturn]] void fehler(const QString &was)
{
    std::printf("FEHLER %s\n", qPrintable(was));
    std::fflush(stdout);
    std::exit(1);
}

void melden(const char *zeile)
{
    std::printf("%s\n", zeile);
    std::fflush(stdout);
}

// One save each; `nachJeder` runs after every save that went through.
template <typename F>
void speichern(const TSatz &s, F nachJeder)
{
    if (!BPrgListeSpeichern(datei(kDateien[0]), s.liste))
        fehler(kDateien[0]);
    nachJeder();
    if (!ProgrammDateiSchreiben(datei(kDateien[1]), s.programm))
        fehler(kDateien[1]);
    nachJeder();
    // The settings file: "missing" is a "#ERR" written by the one-key profile call, and the
    // settings reader writes the default back in its place.
    if (s.einstellung.isEmpty()) {
        if (IniReadString(QStringLiteral("Messages"), QStringLiteral("Probe"), QStringLiteral("ein Wert, der länger ist"))
            != QStringLiteral("ein Wert, der länger ist"))
            fehler(kDateien[2]);
    } else if (!WriteProfileString(IniDateiName, "Messages", "Probe", s.einstellung)) {
        fehler(kDateien[2]);
    }
    nachJeder();
    if (!NachtstartdateiSchreiben(datei(kDateien[3]), s.nacht))
        fehler(kDateien[3]);
    nachJeder();
    try {
        AddToMaster(QStringLiteral("Probe"), s.sprachtext);
    } catch (const TSprachDateiFehler &) {
        fehler(kDateien[4]);
    }
    nachJeder();
}

void kopieren(const QString &nach)
{
    for (const QString &name : kDateien) {
        const QString ziel = nach + name;
        QDir().mkpath(QFileInfo(ziel).path());
        QFile::remove(ziel);
        if (!QFile::copy(datei(name), ziel))
            fehler(ziel);
    }
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments();
    if (args.size() < 2)
        return 2;
    TNein nein;
    SetDialogHook(&nein);
    g_ordner = QDir(args[1]).absolutePath() + QLatin1Char('/');
    ExeDir = g_ordner;
    IniDateiName = datei(kDateien[2]);
    QDir().mkpath(LangDir());
    SprachInit = true;
    Section = QStringLiteral("TwProbe");

    const TSatz alt = satz(false);
    const TSatz neu = satz(true);
    const auto nichts = [] {};
    if (args.value(2) == QLatin1String("ref")) {
        // The settings file is made from its template first, as at a program's first start.
        IniReadString(QStringLiteral("Messages"), QStringLiteral("Probe"), QString());
        speichern(alt, nichts);
        kopieren(g_ordner + QStringLiteral("ref/alt/"));
        speichern(neu, nichts);
        kopieren(g_ordner + QStringLiteral("ref/neu/"));
        return 0;
    }
    speichern(neu, nichts);
    speichern(alt, nichts);
    melden("bereit");
    const auto weiter = [] { melden("+"); };
    for (;;) {
        speichern(neu, weiter);
        speichern(alt, weiter);
    }
}

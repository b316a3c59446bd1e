// Saves the five kinds of file the program writes, over and over, each through the program's
// own writer and each switching between two known contents, so that tst_Absturz can kill it
// at any moment and look at what is left.
//
//   speicherschleife <folder> ref   writes the "alt" set, copies it to <folder>/ref/alt, the
//                                   "neu" set likewise to <folder>/ref/neu, and ends.
//   speicherschleife <folder>       saves both sets in turn without end; prints "bereit" once
//                                   the first "neu" and "alt" sets are out, then one line per
//                                   save after that.
//   speicherschleife <folder> voll  mounts a small tmpfs on <folder> in a mount namespace of
//                                   its own, writes the "alt" set, fills the file system and
//                                   saves the "neu" set: one line per file, "<file> gemeldet"
//                                   or "<file> still", then "alt" or "veraendert". Prints
//                                   "UEBERSPRINGEN <why>" and ends with 3 where no namespace
//                                   or mount is allowed.
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
#include <QMap>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <sched.h>
#include <sys/mount.h>
#include <unistd.h>

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

[[noreturn]] void ueberspringen(const char *was)
{
    std::printf("UEBERSPRINGEN %s: %s\n", was, std::strerror(errno));
    std::fflush(stdout);
    std::exit(3);
}

bool procSchreiben(const char *pfad, const QByteArray &text)
{
    const int fd = ::open(pfad, O_WRONLY);
    if (fd < 0)
        return false;
    const bool ok = ::write(fd, text.constData(), size_t(text.size())) == text.size();
    ::close(fd);
    return ok;
}

// Must run before any thread exists. Without root a user namespace of its own maps this user
// to root, as `unshare -rm` does.
void kleinesTmpfs(const char *ordner)
{
    if (::unshare(CLONE_NEWNS) != 0) {
        const QByteArray uid = QByteArray::number(::getuid());
        const QByteArray gid = QByteArray::number(::getgid());
        if (::unshare(CLONE_NEWUSER | CLONE_NEWNS) != 0)
            ueberspringen("unshare");
        procSchreiben("/proc/self/setgroups", "deny");
        if (!procSchreiben("/proc/self/uid_map", "0 " + uid + " 1") || !procSchreiben("/proc/self/gid_map", "0 " + gid + " 1"))
            ueberspringen("uid_map");
    }
    // Nothing of this mount may reach the machine's own mount table.
    if (::mount("none", "/", nullptr, MS_REC | MS_PRIVATE, nullptr) != 0)
        ueberspringen("mount --make-rprivate /");
    if (::mount("kelvor-voll", ordner, "tmpfs", 0, "size=1m") != 0)
        ueberspringen("mount -t tmpfs");
}

// Writes one file until the file system refuses more.
void auffuellen()
{
    const QByteArray pfad = QFile::encodeName(datei(QStringLiteral("fueller")));
    const int fd = ::open(pfad.constData(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    if (fd < 0)
        fehler(QStringLiteral("fueller"));
    const QByteArray block(4096, 'x');
    for (;;) {
        const ssize_t n = ::write(fd, block.constData(), size_t(block.size()));
        if (n < 0 && errno == ENOSPC)
            break;
        if (n <= 0)
            fehler(QStringLiteral("fueller"));
    }
    ::close(fd);
}

// Saves the "neu" set once more on the full file system, each writer alone, and tells for
// every file whether its writer said it failed and whether the old file is still there.
int vollePlatte(const TSatz &neu)
{
    QMap<QString, QByteArray> vorher;
    for (const QString &name : kDateien) {
        QFile f(datei(name));
        if (!f.open(QIODevice::ReadOnly))
            fehler(name);
        vorher[name] = f.readAll();
    }
    auffuellen();
    const auto zeile = [&](const QString &name, bool gemeldet) {
        QFile f(datei(name));
        const QByteArray jetzt = f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
        std::printf("%s %s %s\n", qPrintable(name), gemeldet ? "gemeldet" : "still", jetzt == vorher[name] ? "alt" : "veraendert");
    };
    zeile(kDateien[0], !BPrgListeSpeichern(datei(kDateien[0]), neu.liste));
    zeile(kDateien[1], !ProgrammDateiSchreiben(datei(kDateien[1]), neu.programm));
    zeile(kDateien[2], !WriteProfileString(IniDateiName, "Messages", "Probe", "ein Wert, der länger ist"));
    zeile(kDateien[3], !NachtstartdateiSchreiben(datei(kDateien[3]), neu.nacht));
    bool gemeldet = false;
    try {
        AddToMaster(QStringLiteral("Probe"), neu.sprachtext);
    } catch (const TSprachDateiFehler &) {
        gemeldet = true;
    }
    zeile(kDateien[4], gemeldet);
    std::fflush(stdout);
    return 0;
}

} // namespace

int main(int argc, char **argv)
{
    const bool voll = argc > 2 && std::strcmp(argv[2], "voll") == 0;
    if (voll)
        kleinesTmpfs(argv[1]);
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
    if (voll) {
        IniReadString(QStringLiteral("Messages"), QStringLiteral("Probe"), QString());
        speichern(alt, nichts);
        return vollePlatte(neu);
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

// Runs every registered figure once and prints one line per figure with its yardstick.
//   kelvor_bench [word ...]     only the figures whose name contains one of the words
//   kelvor_bench --kind <name>  one child of a figure (see KELVOR_KIND)
#include "bench/Figur.h"

#include "app/Dialoge.h"
#include "app/Registry.h"
#include "app/Sammlung.h"

#include <QApplication>
#include <QDir>
#include <QTemporaryDir>
#include <algorithm>
#include <cstdio>
#include <cstring>
#include <map>
#include <vector>

namespace {
std::vector<TFigur> &figuren()
{
    static std::vector<TFigur> liste;
    return liste;
}

std::map<std::string, TKindFunktion> &kinder()
{
    static std::map<std::string, TKindFunktion> liste;
    return liste;
}

QString &notiz()
{
    static QString text;
    return text;
}

// No figure may wait on a window: every box and dialog is refused and counted.
class TKeineDialoge : public TDialogHook
{
public:
    int Anzahl = 0;
    QMessageBox::StandardButton answerBox(const TBoxRequest &r) override
    {
        ++Anzahl;
        std::fprintf(stderr, "unexpected box: %s\n", qPrintable(r.text));
        return QMessageBox::Cancel;
    }
    QStringList answerFile(const TFileRequest &) override { return ++Anzahl, QStringList(); }
    void boxShown(const TBoxRequest &r) override { answerBox(r); }
    int answerDialog(QDialog *) override { return ++Anzahl, int(QDialog::Rejected); }
};

QString zahl(double wert, int stellen)
{
    return QString::number(wert, 'f', stellen);
}
} // namespace

int FigurAnmelden(TFigur figur)
{
    figuren().push_back(std::move(figur));
    return int(figuren().size());
}

void FigurNotiz(const QString &text)
{
    notiz() = text;
}

int KindAnmelden(const char *name, TKindFunktion f)
{
    kinder()[name] = f;
    return int(kinder().size());
}

int main(int argc, char **argv)
{
    if (argc >= 3 && std::strcmp(argv[1], "--kind") == 0) {
        const auto k = kinder().find(argv[2]);
        if (k == kinder().end()) {
            std::fprintf(stderr, "kelvor_bench: no child %s\n", argv[2]);
            return 2;
        }
        return k->second(argc, argv);
    }

    QApplication app(argc, argv);
    const QStringList worte = QCoreApplication::arguments().mid(1);
    // The program's folder, settings and error files live in a folder of their own.
    QTemporaryDir ordner;
    const QString prog = ordner.filePath(QStringLiteral("prog"));
    QDir().mkpath(prog);
    SetProgramFile(prog, QStringLiteral("kelvor"));
    SetRegistryFolder(ordner.filePath(QStringLiteral("registry")));
    InitVerzeichnisse();
    TKeineDialoge dialoge;
    SetDialogHook(&dialoge);

    std::stable_sort(figuren().begin(), figuren().end(),
                     [](const TFigur &a, const TFigur &b) { return a.Rang < b.Rang; });
    int fehler = 0;
    for (const TFigur &f : figuren()) {
        if (!worte.isEmpty()
            && std::none_of(worte.begin(), worte.end(), [&](const QString &w) { return f.Name.contains(w); }))
            continue;
        notiz().clear();
        const std::optional<double> wert = f.Messen();
        if (!wert || dialoge.Anzahl > 0) {
            std::printf("%s: failed%s\n", qPrintable(f.Name),
                        notiz().isEmpty() ? "" : qPrintable(QStringLiteral(" (") + notiz() + u')'));
            std::fflush(stdout);
            ++fehler;
            dialoge.Anzahl = 0;
            continue;
        }
        const bool erfuellt = f.Hoechstens ? *wert <= f.Ziel : *wert < f.Ziel;
        QString zeile = f.Name + QStringLiteral(": ") + zahl(*wert, f.Stellen) + u' ' + f.Einheit
                        + QStringLiteral(" (");
        if (!notiz().isEmpty())
            zeile += notiz() + QStringLiteral("; ");
        zeile += QStringLiteral("goal ") + (f.Hoechstens ? QStringLiteral("at most ") : QStringLiteral("< "))
                 + QString::number(f.Ziel) + u' ' + f.Einheit + u')';
        if (!erfuellt) {
            zeile += QStringLiteral(" MISSED");
            ++fehler;
        }
        std::printf("%s\n", qPrintable(zeile));
        std::fflush(stdout);
    }
    SetDialogHook(nullptr);
    return fehler == 0 ? 0 : 1;
}

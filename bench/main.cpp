// Runs every registered figure once and prints one line per figure with its yardstick.
#include "bench/Figur.h"

#include "app/Dialoge.h"
#include "app/Registry.h"
#include "app/Sammlung.h"

#include <QApplication>
#include <QDir>
#include <QTemporaryDir>
#include <cstdio>
#include <vector>

namespace {
std::vector<TFigur> &figuren()
{
    static std::vector<TFigur> liste;
    return liste;
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
} // namespace

int FigurAnmelden(TFigur figur)
{
    figuren().push_back(std::move(figur));
    return int(figuren().size());
}

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    // The program's folder, settings and error files live in a folder of their own.
    QTemporaryDir ordner;
    const QString prog = ordner.filePath(QStringLiteral("prog"));
    QDir().mkpath(prog);
    SetProgramFile(prog, QStringLiteral("kelvor"));
    SetRegistryFolder(ordner.filePath(QStringLiteral("registry")));
    InitVerzeichnisse();
    TKeineDialoge dialoge;
    SetDialogHook(&dialoge);

    int fehler = 0;
    for (const TFigur &f : figuren()) {
        const double ms = f.Messen();
        if (ms < 0 || dialoge.Anzahl > 0) {
            std::printf("%s: failed\n", qPrintable(f.Name));
            ++fehler;
            dialoge.Anzahl = 0;
            continue;
        }
        std::printf("%s: %.0f ms (goal < %.0f ms)\n", qPrintable(f.Name), ms, f.ZielMs);
        std::fflush(stdout);
    }
    SetDialogHook(nullptr);
    return fehler == 0 ? 0 : 1;
}

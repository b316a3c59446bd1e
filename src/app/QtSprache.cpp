#include "app/QtSprache.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QPointer>
#include <QRegularExpression>
#include <QTranslator>
#include <utility>

namespace {

// Folded and without accents, so "Español", "espanol" and "ESPAÑOL" are one name.
QString schlicht(const QString &s)
{
    QString out;
    for (const QChar c : s.normalized(QString::NormalizationForm_D))
        if (c.category() != QChar::Mark_NonSpacing)
            out += c;
    return out.trimmed().toCaseFolded();
}

// The names a German program's users give their languages.
const std::pair<const char *, QLocale::Language> kDeutscheNamen[] = {
    {"deutsch", QLocale::German},        {"englisch", QLocale::English},      {"franzosisch", QLocale::French},
    {"spanisch", QLocale::Spanish},      {"italienisch", QLocale::Italian},   {"niederlandisch", QLocale::Dutch},
    {"hollandisch", QLocale::Dutch},     {"polnisch", QLocale::Polish},       {"russisch", QLocale::Russian},
    {"tschechisch", QLocale::Czech},     {"slowakisch", QLocale::Slovak},     {"ungarisch", QLocale::Hungarian},
    {"danisch", QLocale::Danish},        {"schwedisch", QLocale::Swedish},    {"norwegisch", QLocale::NorwegianBokmal},
    {"finnisch", QLocale::Finnish},      {"portugiesisch", QLocale::Portuguese}, {"turkisch", QLocale::Turkish},
    {"griechisch", QLocale::Greek},      {"bulgarisch", QLocale::Bulgarian},  {"kroatisch", QLocale::Croatian},
    {"slowenisch", QLocale::Slovenian},  {"rumanisch", QLocale::Romanian},    {"ukrainisch", QLocale::Ukrainian},
    {"lettisch", QLocale::Latvian},      {"litauisch", QLocale::Lithuanian},  {"estnisch", QLocale::Estonian},
    {"japanisch", QLocale::Japanese},    {"chinesisch", QLocale::Chinese},    {"koreanisch", QLocale::Korean},
    {"arabisch", QLocale::Arabic},       {"hebraisch", QLocale::Hebrew},      {"persisch", QLocale::Persian},
    {"katalanisch", QLocale::Catalan},
};

QPointer<QTranslator> g_geladen;
QString g_geladenFuer; // the locale's name, so that the same language is not loaded twice

} // namespace

QLocale SprachLocale(const QString &sprache)
{
    const QLocale deutsch(QLocale::German, QLocale::Germany);
    const QString name = schlicht(sprache);
    if (name.isEmpty() || name == QLatin1String("orginal(deutsch)"))
        return deutsch;
    static const QRegularExpression code(QStringLiteral("^[a-z]{2,3}([_-][a-z0-9]{2,4})*$"));
    if (code.match(name).hasMatch()) {
        const QLocale l(sprache.trimmed());
        if (l.language() != QLocale::C)
            return l;
    }
    for (const auto &[deutscherName, sprachId] : kDeutscheNamen)
        if (name == QLatin1String(deutscherName))
            return QLocale(sprachId);
    for (int i = QLocale::C + 1; i <= QLocale::LastLanguage; ++i) {
        const auto sprachId = QLocale::Language(i);
        if (name == schlicht(QLocale::languageToString(sprachId)))
            return QLocale(sprachId);
        const QLocale l(sprachId);
        if (l.language() != sprachId)
            continue;
        const QString eigen = schlicht(l.nativeLanguageName());
        if (name == eigen || name == eigen.section(QLatin1Char(' '), 0, 0))
            return l;
    }
    return deutsch;
}

bool QtUebersetzungLaden(const QString &sprache)
{
    auto *app = QCoreApplication::instance();
    if (!app)
        return false;
    const QLocale locale = SprachLocale(sprache);
    if (g_geladen && g_geladenFuer == locale.name())
        return true;
    auto *t = new QTranslator(app);
    if (!t->load(locale, QStringLiteral("qtbase"), QStringLiteral("_"),
                 QLibraryInfo::path(QLibraryInfo::TranslationsPath))) {
        delete t;
        return false;
    }
    if (g_geladen) {
        QCoreApplication::removeTranslator(g_geladen);
        delete g_geladen;
    }
    QCoreApplication::installTranslator(t);
    g_geladen = t;
    g_geladenFuer = locale.name();
    return true;
}

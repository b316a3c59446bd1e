#include "support/TestDaten.h"

#include <QFile>

#include <deque>
#include <map>

QByteArray TestDaten(const QString &name)
{
    QFile file(QStringLiteral(KELVOR_TESTDATEN "/") + name);
    if (!file.open(QIODevice::ReadOnly))
        qFatal("Test data missing: %s", qPrintable(file.fileName()));
    return file.readAll();
}

const QList<QPair<const char *, const char *>> &TestSchluessel(const QString &name)
{
    struct TListe
    {
        std::deque<QByteArray> texte; // never moves what it holds
        QList<QPair<const char *, const char *>> paare;
    };
    static std::map<QString, TListe> geladen;
    const auto it = geladen.find(name);
    if (it != geladen.end())
        return it->second.paare;
    TListe &liste = geladen[name];
    for (QByteArray zeile : TestDaten(name).split('\n')) {
        if (zeile.endsWith('\r'))
            zeile.chop(1);
        if (zeile.isEmpty() || zeile.startsWith('#'))
            continue;
        const qsizetype gleich = zeile.indexOf('=');
        if (gleich < 1)
            qFatal("No \"Key=Text\" line in %s: %s", qPrintable(name), zeile.constData());
        QByteArray text = zeile.mid(gleich + 1);
        if (text.size() >= 2 && text.startsWith('"') && text.endsWith('"'))
            text = text.mid(1, text.size() - 2);
        if (text.isNull())
            text = QByteArray(""); // a text, if empty
        const char *schluessel = liste.texte.emplace_back(zeile.left(gleich)).constData();
        liste.paare.append(qMakePair(schluessel, liste.texte.emplace_back(text).constData()));
    }
    return liste.paare;
}

#include "programs/Listendateien.h"

#include "app/Dateischreiben.h"
#include "app/Sammlung.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <array>

bool IstProgrammText(QByteArrayView text)
{
    static constexpr std::array<QByteArrayView, 4> Marken{"##HEAD", "##/HEAD", "##BODY", "##/BODY"};
    size_t naechste = 0;
    qsizetype pos = 0;
    while (pos < text.size() && naechste < Marken.size()) {
        qsizetype ende = text.indexOf('\n', pos);
        if (ende < 0)
            ende = text.size();
        if (text.sliced(pos, ende - pos).startsWith(Marken[naechste]))
            ++naechste;
        pos = ende + 1;
    }
    return naechste == Marken.size();
}

QByteArray ProgrammTextAusDatei(QByteArrayView bytes)
{
    QByteArray ohneCr;
    ohneCr.reserve(bytes.size());
    for (char c : bytes)
        if (c != '\r')
            ohneCr.append(c);
    QByteArray text;
    text.reserve(ohneCr.size() + ohneCr.count('\n') + 2);
    qsizetype pos = 0;
    while (pos < ohneCr.size()) {
        qsizetype ende = ohneCr.indexOf('\n', pos);
        if (ende < 0)
            ende = ohneCr.size();
        text.append(ohneCr.constData() + pos, ende - pos);
        text.append("\r\n");
        pos = ende + 1;
    }
    return text;
}

TProgrammDateiErgebnis ProgrammDateiEinlesen(const QString &pfad, TBackprogramm &rec, QString *grund)
{
    QFile datei(pfad);
    if (!datei.open(QIODevice::ReadOnly)) {
        if (grund)
            *grund = datei.errorString();
        return TProgrammDateiErgebnis::Lesefehler;
    }
    // One byte past the limit tells a file that is too large.
    const QByteArray bytes = datei.read(ProgrammDateiMaxGroesse + 1);
    if (datei.error() != QFileDevice::NoError) {
        if (grund)
            *grund = datei.errorString();
        return TProgrammDateiErgebnis::Lesefehler;
    }
    if (bytes.size() > ProgrammDateiMaxGroesse)
        return TProgrammDateiErgebnis::KeinProgramm;
    const QByteArray text = ProgrammTextAusDatei(bytes);
    if (!IstProgrammText(text))
        return TProgrammDateiErgebnis::KeinProgramm;
    BPrgTextLesen(text, rec);
    return TProgrammDateiErgebnis::Gelesen;
}

bool ProgrammDateiSchreiben(const QString &pfad, const TBackprogramm &rec, QString *grund)
{
    // Written aside and renamed over an old file, so a failed save leaves that file whole.
    return WriteFileAtomic(pfad, BPrgTextSchreiben(rec, true), grund);
}

bool HatEndung(const QString &name, const QString &endung)
{
    const QString datei = QFileInfo(name).fileName();
    const qsizetype punkt = datei.lastIndexOf(QLatin1Char('.'));
    return punkt >= 0 && datei.mid(punkt).toUpper() == endung.toUpper();
}

QString EndungAendern(const QString &name, const QString &endung)
{
    const qsizetype trenner = qMax(name.lastIndexOf(QLatin1Char('/')), name.lastIndexOf(QLatin1Char('\\')));
    const qsizetype punkt = name.lastIndexOf(QLatin1Char('.'));
    return (punkt > trenner ? name.left(punkt) : name) + endung;
}

QString ProgrammDateiVorschlag(const QString &programmName)
{
    QString name = programmName;
    MakeSingleLine(name);
    name.replace(QLatin1Char('/'), QLatin1Char('_'));
    name.replace(QLatin1Char('\\'), QLatin1Char('_'));
    return name;
}

QString DateiOrdner(const QString &datei)
{
    return QDir::toNativeSeparators(QFileInfo(datei).absolutePath());
}

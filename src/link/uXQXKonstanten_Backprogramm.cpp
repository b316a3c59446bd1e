// The baking-program record as file bytes, and the ".XQR" list file.
#include "link/uXQXKonstanten.h"

#include "app/Dateischreiben.h"
#include "app/Dialoge.h"
#include "app/Sammlung.h"

#include <QFile>
#include <QtEndian>
#include <algorithm>
#include <cstring>

QByteArray TString20::text() const
{
    return QByteArray(Zeichen.data(), std::min<int>(Laenge, int(Zeichen.size())));
}

void TString20::setText(QByteArrayView s)
{
    const qsizetype n = std::min<qsizetype>(s.size(), qsizetype(Zeichen.size()));
    // An empty view may have no data at all.
    if (n > 0)
        std::memcpy(Zeichen.data(), s.data(), size_t(n));
    Laenge = quint8(n);
}

namespace {

// Every field of a phase and of a record in file order; reader and writer walk the same list,
// so the two layouts differ in one place only (the old one has no SollKT).
template <class Phase, class F>
void jedesPhasenFeld(Phase &ph, F &&f)
{
    f(ph.Temperatur), f(ph.Reserve4), f(ph.Umwaelzer), f(ph.Luft), f(ph.Reserve7), f(ph.Ausgang);
    f(ph.AbzugProzent), f(ph.Backzeit), f(ph.Schwaden), f(ph.UmwaelzerZeit), f(ph.LuftZeit);
    f(ph.Reserve26), f(ph.AusgangZeit), f(ph.AbzugZeit);
}

template <class Rec, class F>
void jedesFeld(Rec &rec, F &&f)
{
    f(rec.Name), f(rec.Nummer), f(rec.Menge), f(rec.Prio);
    if constexpr (requires { rec.SollKT; })
        f(rec.SollKT);
    f(rec.Vorschwaden), f(rec.Steuerung), f(rec.PrgVersion);
    for (auto &ph : rec.Phasen)
        jedesPhasenFeld(ph, f);
}

// Little-endian cursor over a fixed block; the callers check the block size first.
struct TLeser
{
    const uchar *p;
    void operator()(TString20 &s)
    {
        s.Laenge = *p++;
        std::memcpy(s.Zeichen.data(), p, s.Zeichen.size());
        p += s.Zeichen.size();
    }
    template <class T>
    void operator()(T &v)
    {
        v = qFromLittleEndian<T>(p);
        p += sizeof(T);
    }
};

// Little-endian cursor writing into a block the caller has sized to the record or the list:
// appending field by field cost more than all the rest of saving a list.
struct TSchreiber
{
    char *p;
    void operator()(const TString20 &s)
    {
        *p++ = char(s.Laenge);
        std::memcpy(p, s.Zeichen.data(), s.Zeichen.size());
        p += s.Zeichen.size();
    }
    template <class T>
    void operator()(T v)
    {
        qToLittleEndian<T>(v, p);
        p += sizeof(T);
    }
};

template <class Rec>
bool ausBytes(QByteArrayView data, Rec &rec, int groesse)
{
    if (data.size() < groesse)
        return false;
    const auto *anfang = reinterpret_cast<const uchar *>(data.data());
    TLeser r{anfang};
    jedesFeld(rec, r);
    Q_ASSERT(r.p == anfang + groesse);
    return true;
}

TString20 cutTo20(const TString20 &s)
{
    TString20 out = s;
    out.Laenge = std::min<quint8>(s.Laenge, quint8(s.Zeichen.size()));
    return out;
}

} // namespace

void InitBPrgRecord(TBackprogramm &rec)
{
    rec.Name.setText(BPrgFreiName);
    rec.Nummer = -1;
    rec.Menge = 0;
    rec.Prio = 0;
    rec.SollKT = 0;
    rec.Vorschwaden = 0;
    rec.Steuerung.Laenge = 0;
    rec.PrgVersion.Laenge = 0;
    rec.Phasen.fill(TBackPhase{});
}

QByteArray BPrgRecordToBytes(const TBackprogramm &rec)
{
    QByteArray out(BPrgRecordGroesse, Qt::Uninitialized);
    TSchreiber w{out.data()};
    jedesFeld(rec, w);
    Q_ASSERT(w.p == out.data() + out.size());
    return out;
}

bool BPrgRecordFromBytes(QByteArrayView data, TBackprogramm &rec)
{
    return ausBytes(data, rec, BPrgRecordGroesse);
}

bool BPrgAltRecordFromBytes(QByteArrayView data, TBackprogrammAlt &rec)
{
    return ausBytes(data, rec, BPrgAltRecordGroesse);
}

TBackprogramm BPrgAltZuNeu(const TBackprogrammAlt &alt)
{
    TBackprogramm rec;
    rec.Name = cutTo20(alt.Name);
    rec.Nummer = alt.Nummer;
    rec.Menge = alt.Menge;
    rec.Prio = alt.Prio;
    rec.SollKT = 0;
    rec.Vorschwaden = alt.Vorschwaden;
    rec.Steuerung = cutTo20(alt.Steuerung);
    rec.PrgVersion = cutTo20(alt.PrgVersion);
    rec.Phasen = alt.Phasen;
    return rec;
}

QByteArray BPrgListeBytes(const TBackprogrammListe &liste)
{
    QByteArray bytes(BPrgListeDateiGroesse, Qt::Uninitialized);
    TSchreiber w{bytes.data()};
    for (const TBackprogramm &rec : liste)
        jedesFeld(rec, w);
    Q_ASSERT(w.p == bytes.data() + bytes.size());
    return bytes;
}

bool BPrgListeSpeichern(const QString &fileName, const TBackprogrammListe &liste)
{
    const QByteArray bytes = BPrgListeBytes(liste);
    for (;;) {
        QString name = fileName;
        CheckFileName(name);
        // Written aside and renamed over the old file, so a failure never leaves a short file
        // that the reader would take for an old-layout list.
        if (WriteFileAtomic(name, bytes))
            return true;
        ShowMessageBox(nullptr, TBoxKind::Critical, QStringLiteral("ERROR"), QStringLiteral("Speicherfehler"));
        const auto answer = ShowMessageBox(nullptr, TBoxKind::Question, QStringLiteral("FRAGE"),
                                           QStringLiteral("Speichern erneut versuchen?"),
                                           QMessageBox::Yes | QMessageBox::No);
        if (answer != QMessageBox::Yes)
            return false;
    }
}

bool BPrgListeLesen(const QString &fileName, TBackprogrammListe &liste)
{
    if (fileName.isEmpty()) {
        for (TBackprogramm &rec : liste)
            rec.Name.Laenge = 0;
        return false;
    }
    QString name = fileName;
    CheckFileName(name);
    QFile file(name);
    if (!file.open(QIODevice::ReadOnly)) {
        ShowMessageBox(nullptr, TBoxKind::Critical, QStringLiteral("Fehler"), QStringLiteral("Speicherfehler"));
        return false;
    }
    const qint64 size = file.size();
    // Nothing past the 200th block is ever looked at.
    const QByteArray data = file.read(std::min<qint64>(size, BPrgListeDateiGroesse));
    if (data.size() != std::min<qint64>(size, BPrgListeDateiGroesse)) {
        ShowMessageBox(nullptr, TBoxKind::Critical, QStringLiteral("ERROR"), QStringLiteral("Ladefehler"));
        return false;
    }
    file.close();
    // Not even one whole block: an empty or damaged file, never a list of free slots.
    if (size < BPrgAltRecordGroesse) {
        ShowMessageBox(nullptr, TBoxKind::Critical, QStringLiteral("ERROR"), QStringLiteral("Ladefehler"));
        return false;
    }

    BPrgListeAusBytes(data, size, liste);
    return true;
}

void BPrgListeAusBytes(QByteArrayView bytes, qint64 size, TBackprogrammListe &liste)
{
    if (size / BPrgRecordGroesse == BPrgListeAnzahl) {
        for (int i = 0; i < BPrgListeAnzahl; ++i)
            BPrgRecordFromBytes(bytes.sliced(qsizetype(i) * BPrgRecordGroesse), liste[size_t(i)]);
        return;
    }
    for (int i = 0; i < BPrgListeAnzahl; ++i) {
        TBackprogrammAlt alt;
        if (BPrgAltRecordFromBytes(bytes.sliced(std::min<qsizetype>(bytes.size(), qsizetype(i) * BPrgAltRecordGroesse)),
                                   alt))
            liste[size_t(i)] = BPrgAltZuNeu(alt);
        else
            InitBPrgRecord(liste[size_t(i)]);
    }
}

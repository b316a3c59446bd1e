// The baking-program record as file bytes, and the ".XQR" list file.
#include "uXQXKonstanten.h"

#include "Dateischreiben.h"
#include "Dialoge.h"
#include "Sammlung.h"

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
    std::memcpy(Zeichen.data(), s.data(), size_t(n));
    Laenge = quint8(n);
}

namespace {

// Little-endian cursor over a fixed block; the callers check the block size first.
class TLeser
{
public:
    explicit TLeser(QByteArrayView data) : m_p(reinterpret_cast<const uchar *>(data.data())) {}
    quint8 u8() { return m_p[m_pos++]; }
    quint32 u32()
    {
        const quint32 v = qFromLittleEndian<quint32>(m_p + m_pos);
        m_pos += 4;
        return v;
    }
    qint32 i32() { return qint32(u32()); }
    void str(TString20 &s)
    {
        s.Laenge = u8();
        std::memcpy(s.Zeichen.data(), m_p + m_pos, s.Zeichen.size());
        m_pos += int(s.Zeichen.size());
    }
    void phase(TBackPhase &ph)
    {
        ph.Temperatur = i32();
        ph.Reserve4 = u8();
        ph.Umwaelzer = u8();
        ph.Luft = u8();
        ph.Reserve7 = u8();
        ph.Ausgang = u8();
        ph.AbzugProzent = u8();
        ph.Backzeit = u32();
        ph.Schwaden = u32();
        ph.UmwaelzerZeit = u32();
        ph.LuftZeit = u32();
        ph.Reserve26 = u32();
        ph.AusgangZeit = u32();
        ph.AbzugZeit = u32();
    }
    int pos() const { return m_pos; }

private:
    const uchar *m_p;
    int m_pos = 0;
};

class TSchreiber
{
public:
    void u8(quint8 v) { m_out.append(char(v)); }
    void u32(quint32 v)
    {
        char b[4];
        qToLittleEndian<quint32>(v, b);
        m_out.append(b, 4);
    }
    void i32(qint32 v) { u32(quint32(v)); }
    void str(const TString20 &s)
    {
        u8(s.Laenge);
        m_out.append(s.Zeichen.data(), qsizetype(s.Zeichen.size()));
    }
    void phase(const TBackPhase &ph)
    {
        i32(ph.Temperatur);
        u8(ph.Reserve4);
        u8(ph.Umwaelzer);
        u8(ph.Luft);
        u8(ph.Reserve7);
        u8(ph.Ausgang);
        u8(ph.AbzugProzent);
        u32(ph.Backzeit);
        u32(ph.Schwaden);
        u32(ph.UmwaelzerZeit);
        u32(ph.LuftZeit);
        u32(ph.Reserve26);
        u32(ph.AusgangZeit);
        u32(ph.AbzugZeit);
    }
    QByteArray &bytes() { return m_out; }

private:
    QByteArray m_out;
};

void appendRecord(TSchreiber &w, const TBackprogramm &rec)
{
    w.str(rec.Name);
    w.i32(rec.Nummer);
    w.i32(rec.Menge);
    w.i32(rec.Prio);
    w.i32(rec.SollKT);
    w.i32(rec.Vorschwaden);
    w.str(rec.Steuerung);
    w.str(rec.PrgVersion);
    for (const TBackPhase &ph : rec.Phasen)
        w.phase(ph);
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
    TSchreiber w;
    w.bytes().reserve(BPrgRecordGroesse);
    appendRecord(w, rec);
    Q_ASSERT(w.bytes().size() == BPrgRecordGroesse);
    return w.bytes();
}

bool BPrgRecordFromBytes(QByteArrayView data, TBackprogramm &rec)
{
    if (data.size() < BPrgRecordGroesse)
        return false;
    TLeser r(data);
    r.str(rec.Name);
    rec.Nummer = r.i32();
    rec.Menge = r.i32();
    rec.Prio = r.i32();
    rec.SollKT = r.i32();
    rec.Vorschwaden = r.i32();
    r.str(rec.Steuerung);
    r.str(rec.PrgVersion);
    for (TBackPhase &ph : rec.Phasen)
        r.phase(ph);
    Q_ASSERT(r.pos() == BPrgRecordGroesse);
    return true;
}

bool BPrgAltRecordFromBytes(QByteArrayView data, TBackprogrammAlt &rec)
{
    if (data.size() < BPrgAltRecordGroesse)
        return false;
    TLeser r(data);
    r.str(rec.Name);
    rec.Nummer = r.i32();
    rec.Menge = r.i32();
    rec.Prio = r.i32();
    rec.Vorschwaden = r.i32();
    r.str(rec.Steuerung);
    r.str(rec.PrgVersion);
    for (TBackPhase &ph : rec.Phasen)
        r.phase(ph);
    Q_ASSERT(r.pos() == BPrgAltRecordGroesse);
    return true;
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

bool BPrgListeSpeichern(const QString &fileName, const TBackprogrammListe &liste)
{
    TSchreiber w;
    w.bytes().reserve(BPrgListeDateiGroesse);
    for (const TBackprogramm &rec : liste)
        appendRecord(w, rec);

    for (;;) {
        QString name = fileName;
        CheckFileName(name);
        // Written aside and renamed over the old file, so a failure never leaves a short file
        // that the reader would take for an old-layout list.
        if (WriteFileAtomic(name, w.bytes()))
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

    const QByteArrayView bytes(data);
    if (size / BPrgRecordGroesse == BPrgListeAnzahl) {
        for (int i = 0; i < BPrgListeAnzahl; ++i)
            BPrgRecordFromBytes(bytes.sliced(qsizetype(i) * BPrgRecordGroesse), liste[size_t(i)]);
        return true;
    }
    for (int i = 0; i < BPrgListeAnzahl; ++i) {
        TBackprogrammAlt alt;
        if (BPrgAltRecordFromBytes(bytes.sliced(std::min<qsizetype>(bytes.size(), qsizetype(i) * BPrgAltRecordGroesse)),
                                   alt))
            liste[size_t(i)] = BPrgAltZuNeu(alt);
        else
            InitBPrgRecord(liste[size_t(i)]);
    }
    return true;
}

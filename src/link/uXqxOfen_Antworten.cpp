// What the link does with each kind of answer once the answer check has accepted it. Every
// field is read within the text: a short or broken answer gives empty fields, which read as
// the fallback values, never anything past the text's end.
#include "link/uXqxOfen.h"

#include "app/Codepage.h"
#include "app/Dialoge.h"
#include "app/Sammlung.h"
#include "app/Zahlformat.h"
#include "app/Zeitgeber.h"
#include "app/uKonstanten.h"

#include <QApplication>
#include <QDateTime>

namespace {

// The answer up to, not including, its first EOT.
QByteArrayView bisEot(QByteArrayView text)
{
    const qsizetype eot = text.indexOf(EOT);
    return eot >= 0 ? text.first(eot) : text;
}

QByteArrayView anfang(QByteArrayView text, qsizetype n)
{
    return text.first(qMin(n, text.size()));
}

QByteArrayView abWort(QByteArrayView text)
{
    return text.sliced(qMin<qsizetype>(4, text.size()));
}

QByteArray feldText(const char *key, const QByteArray &wert)
{
    return WrapEnqSi(QByteArray(key)) + wert;
}

// The tagged fields of one deck record ("herd", deck, TAB, the fields), without its ENQ.
QByteArray herdFelder(QByteArrayView satz, int ofenIdBasis)
{
    const int deck = ParseDec(anfang(abWort(satz), 2), 0) + 1;
    const qsizetype tab = satz.indexOf(TAB);
    QByteArrayView rest = tab >= 0 ? satz.sliced(tab + 1) : QByteArrayView();
    const QByteArrayView bprnr = feldNehmen(rest);
    const QByteArrayView name = feldNehmen(rest);
    const QByteArrayView bz = feldNehmen(rest);
    const QByteArrayView oh = feldNehmen(rest);
    const QByteArrayView ohs = feldNehmen(rest);
    const auto w1 = static_cast<quint32>(HexToIntEven(anfang(feldNehmen(rest), 4)));
    const auto w2 = static_cast<quint32>(HexToIntEven(anfang(feldNehmen(rest), 4)));
    const QByteArrayView abzug = anfang(rest, 2);

    int status1 = 0;
    if (w1 & (1u << 0))
        status1 |= 1;
    if (w1 & (1u << 5))
        status1 |= 2;
    if (w1 & (1u << 4))
        status1 |= 4;
    int heiz1 = 0;
    if (w1 & (1u << 6))
        heiz1 |= 16;
    if (w2 & 0x7u)
        heiz1 |= 1;
    int statEin = 0;
    if (!(w1 & (1u << 12)))
        statEin |= 1;
    if (w1 & (1u << 13))
        statEin |= 2;

    QByteArray s;
    s += feldText("ID", FormatDec(qint64(ofenIdBasis) + deck, 0));
    s += feldText("TYP", "96");
    s += feldText("STATEIN", FormatDec(statEin, 0));
    s += feldText("STATUS1", FormatDec(status1, 0));
    s += feldText("HEIZ1", FormatDec(heiz1, 0));
    s += feldText("BPRNR", TwXQXOfen::HexStrZuDezStr(bprnr));
    s += feldText("BZ", TwXQXOfen::HexStrZuDezStr(bz));
    s += feldText("OH", TwXQXOfen::HexStrZuDezStr(oh));
    s += feldText("OHS", TwXQXOfen::HexStrZuDezStr(ohs));
    s += feldText("UH", "0");
    s += feldText("UHS", "0");
    s += feldText("ABZUG", abzug.toByteArray());
    s += feldText("BPRGNAME", name.toByteArray());
    s += WrapEnqSi("END");
    return s;
}

// Four (or three) hex pairs as decimal numbers joined by "."; a missing pair reads as -1.
QByteArray versionText(QByteArrayView hex, int paare)
{
    QByteArray s;
    for (int i = 0; i < paare; ++i) {
        if (i > 0)
            s += '.';
        const qsizetype von = qMin<qsizetype>(2 * i, hex.size());
        s += TwXQXOfen::HexStrZuDezStr(hex.sliced(von, qMin<qsizetype>(2, hex.size() - von)));
    }
    return s;
}

// The program text of a "BPRG" answer after its number and TAB: the fields as lines ending
// CR LF, up to "##/BODY". Empty when the answer does not have that shape. A marker counts only
// as a whole field, a line of the text form: a name such as "##/BODY" is data.
QByteArray programmText(QByteArrayView rest)
{
    QList<QByteArrayView> felder;
    qsizetype tab;
    while ((tab = rest.indexOf(TAB)) >= 0) {
        felder.append(rest.first(tab));
        rest = rest.sliced(tab + 1);
    }
    // The last field runs into the frame's tail.
    if (felder.isEmpty() || felder.first() != "##HEAD" || bisEot(rest) != "##/BODY")
        return {};
    const qsizetype headEnde = felder.indexOf(QByteArrayView("##/HEAD"));
    const qsizetype body = felder.indexOf(QByteArrayView("##BODY"));
    qsizetype bodyEnde = felder.indexOf(QByteArrayView("##/BODY"));
    if (bodyEnde < 0)
        bodyEnde = felder.size();
    if (headEnde < 0 || body < 0 || body < headEnde || body > bodyEnde)
        return {};
    QByteArray programm;
    for (const QByteArrayView feld : std::as_const(felder)) {
        programm += feld;
        programm += "\r\n";
    }
    programm += "##/BODY\r\n";
    return programm;
}

} // namespace

QByteArray TwXQXOfen::HexStrZuDezStr(QByteArrayView hex)
{
    return FormatDec(HexToInt(hex), 0);
}

void TwXQXOfen::StatusTimeoutTimer()
{
    StatusTimeout->setEnabled(false);
    Statussatz.clear();
}

void TwXQXOfen::AntwortHerd(const QByteArray &text)
{
    StatusTimeout->setEnabled(false);
    StatusTimeout->setEnabled(true);
    QByteArray s = StringToAnsi(ZeitStempel(QDateTime::currentDateTime()));
    QByteArrayView rest(text);
    while (rest.startsWith("herd")) {
        // A record ends at its ENQ; the last one may end at the frame's EOT instead.
        const qsizetype enq = rest.indexOf(ENQ);
        const qsizetype eot = rest.indexOf(EOT);
        const bool weiter = enq >= 0 && (eot < 0 || enq < eot);
        const qsizetype ende = weiter ? enq : (eot >= 0 ? eot : rest.size());
        s += herdFelder(rest.first(ende), OfenIdBasis);
        Statussatz = s;
        // Without a further ENQ nothing more is taken off and the same record would come again.
        if (!weiter)
            break;
        rest = rest.sliced(enq + 1);
    }
}

void TwXQXOfen::AntwortStat(const QByteArray &text)
{
    const qsizetype wort = text.indexOf("stat");
    QByteArrayView rest = bisEot(QByteArrayView(text).sliced(wort >= 0 ? wort + 4 : 0));
    const QByteArrayView typFeld = feldNehmen(rest);
    const QByteArrayView hanzFeld = feldNehmen(rest);
    const QByteArrayView gruppen = feldNehmen(rest);
    const QByteArrayView schwad = feldNehmen(rest);
    const QByteArrayView name = feldNehmen(rest);
    const QByteArrayView version = feldNehmen(rest);
    const QByteArrayView ltVersion = rest;

    const int typ = ParseDec(typFeld, 0);
    const int hanz = typ != 0 ? 0 : ParseDec(hanzFeld, 1);
    const QByteArray xqVer = versionText(version, 4);
    const QByteArray ltVer = versionText(ltVersion, 3);

    m_host->VersionSetzen(AnsiToString(name.toByteArray() + '*' + xqVer + '*' + ltVer));
    const auto zeile = [this](const char *key, const QByteArray &wert) {
        m_host->AntwortEintragen(AnsiToString(QByteArray(key) + wert));
    };
    zeile("Typ: ", FormatDec(typ, 0));
    zeile("HAnz: ", FormatDec(hanz, 0));
    zeile("Gruppen: ", gruppen.toByteArray());
    zeile("SchwadDM: ", HexStrZuDezStr(schwad));
    zeile("XQName: ", name.toByteArray());
    zeile("XQVer: ", xqVer);
    zeile("LTVer: ", ltVer);
}

bool TwXQXOfen::ProgrammAntwortNehmen(int nr)
{
    if (nr >= 0 && m_erwarteteProgramme.removeOne(nr))
        return true;
    // The awaited read got an answer that is not its program (a refusal to open it, another
    // number): it has had its answer.
    const int gelesen = LeseNummer(m_beantwortet);
    if (gelesen >= 0)
        m_erwarteteProgramme.removeAll(gelesen);
    return false;
}

void TwXQXOfen::AntwortBprgDaten(const QByteArray &text)
{
    const QByteArrayView nachWort = abWort(text);
    const QByteArray nummerText = anfang(nachWort, 4).toByteArray();
    const int nr = HexToInt(nummerText);
    // Taken once, whatever its shape: a repeat or a stray copy would replace the program the
    // editor shows and lose its unsaved edits.
    const bool angefordert = ProgrammAntwortNehmen(nr);
    const qsizetype tab = nachWort.indexOf(TAB);
    const QByteArray programm = tab >= 0 ? programmText(nachWort.sliced(tab + 1)) : QByteArray();
    if (programm.isEmpty()) {
        m_host->FehlerEintragen(QStringLiteral("Falsches PrgFormat"));
        return;
    }
    if (AlleLesen) {
        ListeProgrammEmpfangen(programm, nummerText);
        return;
    }
    // The editor keeps programs in their slots only.
    if (!gueltigerPlatz(nr)) {
        m_host->FehlerEintragen(QStringLiteral("Falsches PrgFormat"));
        return;
    }
    if (!angefordert) {
        m_host->FehlerEintragen(QStringLiteral("BPRG") + AnsiToString(nummerText)
                                + QStringLiteral(": nicht angefordert"));
        return;
    }
    emit AntwortEmpfangen(programm, FormatDec(nr, 0));
}

void TwXQXOfen::AntwortBprgQuittung(const QByteArray &text)
{
    const QString nichtGeoeffnet = QStringLiteral("Backprogramm kann\r\nnicht geöffnet werden!");
    ProgrammAntwortNehmen(-1);
    const bool nak = text.contains(NAK);
    // Taken before a refusal can end the transfer.
    const bool schreiben = AlleSchreiben;
    // A refusal the list transfer asks again about has its one box when the transfer gives up.
    const bool nochmal = nak && (AlleLesen || AlleSchreiben) && ListeQuittungNak();
    if (text.contains("\tCANNOT OPEN")) {
        m_host->FehlerMelden(nichtGeoeffnet);
        return;
    }
    if (text.contains(ACK)) {
        // In a write-all it moves on, unless it refused the program as well. Only the answer
        // to the write in flight confirms it: a late copy of it confirms nothing twice.
        if (!schreiben) {
            if (m_beantwortet.Kommando == SB_BPRG.Kommando)
                emit AntwortEmpfangen(QByteArrayLiteral("SendACK"), QByteArrayLiteral("-1"));
        } else if (!nak) {
            ListeQuittungAck();
        }
        return;
    }
    if (nak && !nochmal)
        m_host->FehlerMelden(nichtGeoeffnet);
}

void TwXQXOfen::AntwortLoad(const QByteArray &text)
{
    const QByteArrayView rest = abWort(text);
    if (!rest.startsWith(NAK))
        return;
    // The flags end at the TAB that keeps the answer check from taking the NAK for a refusal
    // of the whole frame; read up to the EOT they would never be a number.
    QByteArrayView flagText = bisEot(rest.sliced(1));
    const int flags = ParseDec(feldNehmen(flagText), 0);
    if (flags == 0)
        m_host->FehlerMelden(QStringLiteral("Backprogramm kann\r\nnicht geändert werden!"));
    else if (flags & 1)
        m_host->FehlerMelden(QStringLiteral("Backprogramm läuft,\r\nkeine Änderung möglich!"));
    else if (flags & 2)
        m_host->FehlerMelden(QStringLiteral("Backprogramm nicht\r\nvorhanden!"));
}

void TwXQXOfen::AntwortNachtstarts(const QByteArray &text)
{
    const QByteArrayView rest = bisEot(abWort(text));
    if (rest == QByteArrayView(&ACK, 1)) {
        QApplication::beep();
        // Nothing in the answer handling waits for the user. The box belongs to the window
        // that owns the link, so it outlives a link that is replaced.
        ShowMessageBoxNonModal(parentWidget() ? parentWidget() : this, TBoxKind::Information,
                               QStringLiteral("Achtung"), QStringLiteral("Nachtstarts übertragen!"));
        return;
    }
    emit NachtstartsAnzeigen(rest.toByteArray());
}

void TwXQXOfen::AntwortBprgListe(const QByteArray &text)
{
    for (int i = ErstesProgramm; i <= LetztesProgramm; ++i)
        PrgNamen[i] = BPrgFreiName.toByteArray();
    const QByteArray paare = bisEot(abWort(text)).toByteArray();
    // Unlike the editor's names, a pair numbered 0 names slot 0 here.
    NamenPaareLesen(paare, [this](int nr, QByteArrayView name) {
        if (nr >= 0 && nr <= LetztesProgramm)
            PrgNamen[nr] = name.toByteArray();
    });
    // Only the list that the read-all asked for starts reading the programs.
    if (AlleLesen && AktNr == 0)
        ListeNamenEmpfangen();
    emit NamenEmpfangen(paare, false);
}

void TwXQXOfen::AntwortZeit(const QByteArray &text)
{
    m_host->XQZeitSetzen(AnsiToString(bisEot(abWort(text)).toByteArray()));
}

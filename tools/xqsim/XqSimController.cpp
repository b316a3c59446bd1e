#include "XqSimController.h"

#include "XqSimFrame.h"

#include <algorithm>
#include <array>
#include <utility>
#include <vector>

namespace xqsim {

bool ReadHex(const QByteArray &text, qint64 &value)
{
    if (text.isEmpty() || text.size() > 8)
        return false;
    qint64 v = 0;
    for (char c : text) {
        int d;
        if (c >= '0' && c <= '9')
            d = c - '0';
        else if (c >= 'A' && c <= 'F')
            d = c - 'A' + 10;
        else
            return false;
        v = v * 16 + d;
    }
    value = v;
    return true;
}

bool ReadDec(const QByteArray &text, qint64 &value)
{
    qsizetype i = 0;
    const bool negative = text.startsWith('-');
    if (negative)
        i = 1;
    if (i >= text.size() || text.size() - i > 9)
        return false;
    qint64 v = 0;
    for (; i < text.size(); ++i) {
        const char c = text.at(i);
        if (c < '0' || c > '9')
            return false;
        v = v * 10 + (c - '0');
    }
    value = negative ? -v : v;
    return true;
}

QByteArray Hex4(qint64 value)
{
    return QByteArray::number(value, 16).toUpper().rightJustified(4, '0');
}

} // namespace xqsim

using namespace xqsim;

namespace {

const char *const kTimeFormat = "dd.MM.yyyy hh:mm:ss";

QByteArray Lower(const QByteArray &word)
{
    return word.toLower();
}

QByteArray Done(const QByteArray &word)
{
    return Lower(word) + TAB + ACK;
}

bool ValidProgramNumber(qint64 n)
{
    return n >= 1 && n <= 199;
}

} // namespace

TXqSimController::TXqSimController()
{
    m_decks.resize(2);
    QList<QByteArray> none;
    for (int i = 0; i < 14; ++i)
        none.append("-1");
    m_nightStarts = none.join(TAB);
}

QByteArray TXqSimController::refusal(const QByteArray &word)
{
    return Lower(word) + TAB + NAK;
}

QByteArray TXqSimController::parameterError(const QByteArray &word)
{
    return Lower(word) + TAB + "EPAR";
}

QByteArray TXqSimController::unknownCommand(const QByteArray &word)
{
    return QByteArray("EUCD") + TAB + word;
}

QByteArray TXqSimController::answer(const QByteArray &word, const QByteArray &params)
{
    if (word == "PING")
        return Done(word);
    if (word == "STAT")
        return stat();
    if (word == "ZEIT")
        return zeit(params);
    if (word == "HERD")
        return herd(params);
    if (word == "BPL2")
        return m_legacy ? unknownCommand(word) : nameList("bpl2");
    if (word == "BPLI")
        return nameList("bpli");
    if (word == "BPRG")
        return bprg(params);
    if (word == "NAST")
        return nast(params);
    if (word == "OFEN")
        return ofen(params);
    if (word == "LOAD" || word == "STAR" || word == "STOP" || word == "SOLL" || word == "BZEI"
        || word == "SWAD" || word == "AZUG")
        return deckCommand(word, params);
    return unknownCommand(word);
}

QByteArray TXqSimController::stat() const
{
    const QList<QByteArray> fields{m_info.type,  m_info.decks,   m_info.groups,   m_info.steamHex,
                                   m_info.name,  m_info.version, m_info.ltVersion};
    return "stat" + fields.join(TAB);
}

QDateTime TXqSimController::clock() const
{
    return QDateTime::currentDateTime().addMSecs(m_clockOffsetMs);
}

void TXqSimController::setClock(const QDateTime &time)
{
    m_clockOffsetMs = QDateTime::currentDateTime().msecsTo(time);
}

QByteArray TXqSimController::zeit(const QByteArray &params)
{
    if (!params.isEmpty()) {
        const QDateTime t = QDateTime::fromString(QString::fromLatin1(params), QLatin1String(kTimeFormat));
        if (!t.isValid())
            return parameterError("ZEIT");
        setClock(t);
    }
    return "zeit" + clock().toString(QLatin1String(kTimeFormat)).toLatin1();
}

QList<int> TXqSimController::decksOf(const QByteArray &maskHex) const
{
    QList<int> out;
    qint64 mask = 0;
    if (!ReadHex(maskHex, mask))
        return out;
    for (int i = 0; i < m_decks.size() && i < 32; ++i)
        if (mask & (qint64(1) << i))
            out.append(i);
    return out;
}

QByteArray TXqSimController::herd(const QByteArray &params) const
{
    QList<int> which;
    if (params.isEmpty()) {
        for (int i = 0; i < m_decks.size(); ++i)
            which.append(i);
    } else {
        which = decksOf(params);
        if (which.isEmpty())
            return parameterError("HERD");
    }
    QByteArray out;
    for (int i : which) {
        const TXqSimDeck &d = m_decks.at(i);
        out += "herd" + QByteArray::number(i).rightJustified(2, '0') + TAB + Hex4(d.program) + TAB
               + d.programName.left(20) + TAB + Hex4(d.bakingTime) + TAB + Hex4(d.temperature) + TAB
               + Hex4(d.setTemperature) + TAB + Hex4(d.status1) + TAB + Hex4(d.status2) + TAB
               + d.exhaust.leftJustified(2, '0', true) + ENQ;
    }
    return out;
}

QByteArray TXqSimController::nameList(const QByteArray &answerWord) const
{
    QByteArray out = answerWord;
    for (auto it = m_programs.cbegin(); it != m_programs.cend(); ++it)
        out += Hex4(it.key()) + TAB + programName(it.value()) + TAB;
    return out;
}

QByteArray TXqSimController::bprg(const QByteArray &params)
{
    if (params.startsWith("DELETE")) {
        const QList<QByteArray> parts = params.split(TAB);
        if (parts.first() != "DELETE")
            return parameterError("BPRG");
        QList<int> numbers;
        for (qsizetype i = 1; i < parts.size(); ++i) {
            qint64 n = 0;
            if (!ReadHex(parts.at(i), n) || !ValidProgramNumber(n))
                return parameterError("BPRG");
            numbers.append(int(n));
        }
        for (int n : numbers)
            m_programs.remove(n);
        return Done("BPRG");
    }

    const qsizetype tab = params.indexOf(TAB);
    qint64 n = 0;
    if (!ReadHex(tab < 0 ? params : params.left(tab), n) || !ValidProgramNumber(n))
        return parameterError("BPRG");

    if (tab < 0) {
        if (!m_programs.contains(int(n)))
            return QByteArray("bprg") + TAB + "CANNOT OPEN";
        QByteArray wire = m_programs.value(int(n));
        wire.replace("\r\n", QByteArray(1, TAB));
        if (wire.endsWith(TAB))
            wire.chop(1);
        return "BPRG" + Hex4(n) + TAB + wire;
    }

    QByteArray text = params.mid(tab + 1);
    if (!text.startsWith("##HEAD") || !text.contains("##/BODY"))
        return refusal("BPRG");
    text.replace(TAB, "\r\n");
    if (!text.endsWith("\r\n"))
        text += "\r\n";
    m_programs.insert(int(n), text);
    return Done("BPRG");
}

QByteArray TXqSimController::nast(const QByteArray &params)
{
    if (params.isEmpty())
        return "nast" + m_nightStarts;
    const QList<QByteArray> values = params.split(TAB);
    if (values.size() != 14)
        return parameterError("NAST");
    for (const QByteArray &v : values) {
        // The program pads a start with blanks on the left ("%2d": 5 minutes are " 5").
        qsizetype blanks = 0;
        while (blanks < v.size() && v.at(blanks) == ' ')
            ++blanks;
        qint64 minutes = 0;
        if (!ReadDec(v.mid(blanks), minutes) || minutes < -1 || minutes > 1439)
            return parameterError("NAST");
    }
    // Kept as received, so a read returns the blanks too.
    m_nightStarts = params;
    return QByteArray("nast") + ACK;
}

QByteArray TXqSimController::deckCommand(const QByteArray &word, const QByteArray &params)
{
    const QList<QByteArray> parts = params.split(TAB);
    const QList<int> which = decksOf(parts.first());
    const bool needsValue = word != "STAR" && word != "STOP";
    if (which.isEmpty() || parts.size() != (needsValue ? 2 : 1))
        return parameterError(word);

    qint64 value = 0;
    if (word == "LOAD" || word == "SOLL" || word == "BZEI") {
        if (!ReadHex(parts.at(1), value))
            return parameterError(word);
    } else if (word == "SWAD" || word == "AZUG") {
        if (!ReadDec(parts.at(1), value) || value < 0 || value > (word == "SWAD" ? 999 : 100))
            return parameterError(word);
    }

    if (word == "LOAD") {
        // A refusal: NAK right after the word, then its flags (bit 0 a program runs, bit 1 no
        // such program) ended by a TAB. Only a NAK after the first TAB refuses the frame as a
        // whole, so the program reads these flags and says why.
        if (!m_programs.contains(int(value)))
            return QByteArray("load") + NAK + "2" + TAB;
        for (int i : which)
            if (m_decks.at(i).status1 & 0x0001)
                return QByteArray("load") + NAK + "1" + TAB;
    }

    for (int i : which) {
        TXqSimDeck &d = m_decks[i];
        if (word == "LOAD") {
            d.program = int(value);
            d.programName = programName(m_programs.value(int(value)));
        } else if (word == "STAR") {
            d.status1 |= 0x0001;
        } else if (word == "STOP") {
            d.status1 &= ~0x0001;
        } else if (word == "SOLL") {
            d.setTemperature = int(value);
        } else if (word == "BZEI") {
            d.bakingTime = int(value);
        } else if (word == "AZUG") {
            d.exhaust = QByteArray::number(qMin<qint64>(value, 99)).rightJustified(2, '0');
        }
    }
    return Done(word);
}

QByteArray TXqSimController::ofen(const QByteArray &params)
{
    const QList<QByteArray> parts = params.split(TAB);
    qint64 state = 0, night = 0;
    if (parts.size() != 2 || !ReadDec(parts.at(0), state) || !ReadDec(parts.at(1), night) || state < 0
        || state > 2 || night < -1 || night > 13)
        return parameterError("OFEN");
    for (TXqSimDeck &d : m_decks) {
        d.status1 &= ~(0x1000 | 0x2000);
        if (state == 0)
            d.status1 |= 0x1000;
        else if (state == 2)
            d.status1 |= 0x2000;
    }
    return Done("OFEN");
}

void TXqSimController::setProgram(int number, const QByteArray &text)
{
    if (ValidProgramNumber(number))
        m_programs.insert(number, text);
}

QByteArray TXqSimController::programName(const QByteArray &text)
{
    bool inHead = false;
    for (const QByteArray &line : text.split('\n')) {
        const QByteArray l = line.endsWith('\r') ? line.chopped(1) : line;
        if (l.startsWith("##HEAD"))
            inHead = true;
        else if (l.startsWith("##/HEAD"))
            break;
        else if (inHead) {
            const qsizetype eq = l.indexOf('=');
            if (eq > 0 && l.left(eq).trimmed().toUpper() == "NAME")
                return l.mid(eq + 1).left(20);
        }
    }
    return QByteArray();
}

QByteArray TXqSimController::demoProgramText(const QByteArray &name, int temperature, int seconds, int steam)
{
    // The form the program itself writes for one phase with a steam shot at the start, so that
    // reading and writing it again gives the same bytes.
    QByteArray t;
    t += "##HEAD\r\nSTEUERUNG =\r\nVERSION =1\r\nNAME =" + name + "\r\n";
    t += "MENGE =10\r\nPRIO =0\r\nVORSCHWADEN =0\r\nSOLL_KT =0\r\n##/HEAD\r\n##BODY\r\n00000-START\r\n";
    if (steam > 0)
        t += "00000-SCHWAD-" + QByteArray::number(steam) + "\r\n";
    t += "00000-TEMP1-" + QByteArray::number(temperature) + "\r\n";
    t += "00000-UMW-100\r\n";
    t += QByteArray::number(seconds).rightJustified(5, '0') + "-END\r\n";
    t += "##/BODY\r\n";
    return t;
}

namespace {

// One phase of a demo program as the program's record holds it: temperature and time, steam
// (an odd phase the pause before a shot, an even one the shot), fan, exhaust and output with
// their times, all in seconds.
struct TDemoPhase
{
    int temperatur = 0, backzeit = 0, schwaden = 0;
    int umwaelzer = 0, umwaelzerZeit = 0, abzug = 0, abzugZeit = 0, ausgang = 0, ausgangZeit = 0;
};

using TSchritte = std::vector<std::pair<int, int>>;

struct TDemoProgramm
{
    const char *name; // Windows-1252
    int menge;
    // Each function's steps as (value, seconds); each adds up to the baking time, as the editor
    // wants the fan and exhaust times (and the reading closes every step at the end).
    TSchritte temperatur, umwaelzer, abzug, ausgang;
    // Steam shots as (pause before the shot, shot), at most 30 s each as the editor allows.
    TSchritte schwaden;
};

// The body as the program writes it from a record: events sorted as text without regard to
// case, each step from the time its function reached, a closing fan line and the end.
QByteArray demoText(const QByteArray &name, const TDemoProgramm &d)
{
    std::array<TDemoPhase, 12> ph{}; // 1..11, as the record counts them
    const auto verteilen = [&ph](const TSchritte &schritte, int TDemoPhase::*wert, int TDemoPhase::*zeit) {
        for (size_t i = 0; i < schritte.size(); ++i) {
            ph[i + 1].*wert = schritte[i].first;
            ph[i + 1].*zeit = schritte[i].second;
        }
    };
    verteilen(d.temperatur, &TDemoPhase::temperatur, &TDemoPhase::backzeit);
    verteilen(d.umwaelzer, &TDemoPhase::umwaelzer, &TDemoPhase::umwaelzerZeit);
    verteilen(d.abzug, &TDemoPhase::abzug, &TDemoPhase::abzugZeit);
    verteilen(d.ausgang, &TDemoPhase::ausgang, &TDemoPhase::ausgangZeit);
    for (size_t i = 0; i < d.schwaden.size(); ++i) {
        ph[2 * i + 1].schwaden = d.schwaden[i].first;
        ph[2 * i + 2].schwaden = d.schwaden[i].second;
    }

    QList<QByteArray> zeilen;
    const auto zeile = [&zeilen](int zeit, const char *name, int wert) {
        QByteArray z = QByteArray::number(zeit).rightJustified(5, '0') + '-' + name;
        if (wert >= 0)
            z += '-' + QByteArray::number(wert);
        for (const QByteArray &da : std::as_const(zeilen))
            if (da.compare(z, Qt::CaseInsensitive) == 0)
                return;
        zeilen << z;
    };
    zeile(0, "TEMP1", ph[1].temperatur);
    if (ph[1].abzugZeit)
        zeile(0, "ABZUG", ph[1].abzug);
    if (ph[1].umwaelzerZeit)
        zeile(0, "UMW", ph[1].umwaelzer);
    if (ph[1].ausgangZeit)
        zeile(0, "RES", ph[1].ausgang);
    int aT = 0, aS = 0, wS = 0, aU = 0, aA = 0, aR = 0, gesamt = 0, umwGesamt = 0;
    for (size_t i = 1; i <= 10; ++i) {
        const TDemoPhase &n = ph[i + 1];
        aT += ph[i].backzeit;
        if (n.backzeit)
            zeile(aT, "TEMP1", n.temperatur);
        if (i % 2) {
            aS += wS + ph[i].schwaden;
            wS = n.schwaden;
            if (n.schwaden)
                zeile(aS, "SCHWAD", n.schwaden);
        }
        aU += ph[i].umwaelzerZeit;
        if (n.umwaelzerZeit)
            zeile(aU, "UMW", n.umwaelzer);
        aA += ph[i].abzugZeit;
        if (n.abzugZeit)
            zeile(aA, "ABZUG", n.abzug);
        aR += ph[i].ausgangZeit;
        if (n.ausgangZeit)
            zeile(aR, "RES", n.ausgang);
        gesamt += ph[i].backzeit;
        umwGesamt += ph[i].umwaelzerZeit;
    }
    zeile(umwGesamt, "UMW", 100);
    zeile(gesamt, "END", -1);
    std::sort(zeilen.begin(), zeilen.end(),
              [](const QByteArray &a, const QByteArray &b) { return a.compare(b, Qt::CaseInsensitive) < 0; });

    QByteArray t = "##HEAD\r\nSTEUERUNG =\r\nVERSION =1\r\nNAME =" + name + "\r\nMENGE ="
                   + QByteArray::number(d.menge) + "\r\nPRIO =0\r\nVORSCHWADEN =0\r\nSOLL_KT =0\r\n##/HEAD\r\n"
                   + "##BODY\r\n00000-START\r\n";
    for (const QByteArray &z : std::as_const(zeilen))
        t += z + "\r\n";
    return t + "##/BODY\r\n";
}

// Ten programs a bakery bakes: a hot start with steam, the fan off while the steam settles,
// the exhaust opened for the crust, and the output (the bell) for the last minutes.
const TDemoProgramm kDemos[] = {
    {"Weizenbr\xF6tchen", 60, {{240, 180}, {225, 600}, {210, 300}}, {{0, 120}, {100, 960}}, {{0, 900}, {100, 180}},
     {{0, 960}, {100, 120}}, {{0, 20}, {10, 10}}},
    {"Roggenmischbrot", 12, {{250, 600}, {220, 1200}, {200, 1500}}, {{100, 3300}}, {{0, 600}, {100, 2700}},
     {{0, 3000}, {100, 300}}, {{0, 30}}},
    {"Baguette", 20, {{250, 300}, {235, 1200}}, {{0, 300}, {100, 1200}}, {{0, 1200}, {100, 300}},
     {{0, 1380}, {100, 120}}, {{0, 25}, {15, 10}}},
    {"K\xF6rnerbr\xF6tchen", 60, {{230, 300}, {210, 720}}, {{100, 1020}}, {{0, 720}, {60, 300}},
     {{0, 900}, {100, 120}}, {{0, 15}}},
    {"Croissant", 40, {{200, 600}, {185, 480}}, {{0, 180}, {100, 900}}, {{0, 600}, {100, 480}},
     {{0, 960}, {100, 120}}, {{0, 10}}},
    {"Vollkornbrot", 10, {{240, 600}, {210, 1800}, {190, 1500}}, {{100, 3900}}, {{0, 900}, {50, 1800}, {100, 1200}},
     {{0, 3600}, {100, 300}}, {{0, 30}, {20, 15}}},
    {"K\xE4sestange", 40, {{220, 300}, {200, 600}}, {{0, 60}, {100, 840}}, {{0, 300}, {100, 600}},
     {{0, 780}, {100, 120}}, {{0, 10}}},
    {"Mohnbr\xF6tchen", 60, {{235, 240}, {215, 780}}, {{0, 120}, {100, 900}}, {{0, 780}, {100, 240}},
     {{0, 900}, {100, 120}}, {{0, 20}}},
    {"Dinkelbrot", 12, {{245, 600}, {215, 1500}, {195, 900}}, {{100, 3000}}, {{0, 600}, {100, 2400}},
     {{0, 2700}, {100, 300}}, {{0, 25}, {20, 10}}},
    {"Fr\xFC" "chtebrot", 8, {{190, 900}, {170, 2400}, {160, 600}}, {{100, 3900}}, {{0, 1800}, {100, 2100}},
     {{0, 3600}, {100, 300}}, {{0, 15}}},
};

} // namespace

void TXqSimController::seedDemoPrograms(int count)
{
    const int n = qBound(0, count, 199);
    for (int i = 1; i <= n; ++i) {
        const TDemoProgramm &d = kDemos[(i - 1) % std::size(kDemos)];
        QByteArray name = d.name;
        if (i > int(std::size(kDemos)))
            name = name.left(16) + ' ' + QByteArray::number(i);
        m_programs.insert(i, demoText(name, d));
    }
    if (n > 0 && !m_decks.isEmpty()) {
        m_decks[0].program = 1;
        m_decks[0].programName = programName(m_programs.value(1));
    }
}

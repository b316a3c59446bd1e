#pragma once
// What the stand-in controller knows and how it answers one request, without any socket:
// its decks, its program store, its clock and its night-start table.
#include <QByteArray>
#include <QDateTime>
#include <QList>
#include <QMap>

struct TXqSimDeck
{
    int program = 0;            // BPRNR
    QByteArray programName;     // BPRGNAME
    int bakingTime = 0;         // BZ
    int temperature = 200;      // OH
    int setTemperature = 220;   // OHS
    quint16 status1 = 0x0040;   // bit 0 running, bit 6 heating, bit 12 off, bit 13 night mode
    quint16 status2 = 0;
    QByteArray exhaust = "00";  // ABZUG, two characters
};

// The seven fields of the "stat" answer, as they go on the wire.
struct TXqSimInfo
{
    QByteArray type = "0";
    QByteArray decks = "2";
    QByteArray groups = "1";
    QByteArray steamHex = "0064";
    QByteArray name = "XQ7310";
    QByteArray version = "01020304";
    QByteArray ltVersion = "0A0B0C";
};

class TXqSimController
{
public:
    TXqSimController();

    // The answer text (word and fields, not yet framed) to one request, with its effect applied.
    // Never empty: a word the controller does not know gets EUCD.
    QByteArray answer(const QByteArray &word, const QByteArray &params);

    // Answers that refuse a request and change nothing.
    static QByteArray refusal(const QByteArray &word);
    static QByteArray parameterError(const QByteArray &word);
    static QByteArray unknownCommand(const QByteArray &word);

    // Program store: number 1..199 -> program text with CR LF line ends.
    void setProgram(int number, const QByteArray &text);
    QByteArray program(int number) const { return m_programs.value(number); }
    bool hasProgram(int number) const { return m_programs.contains(number); }
    void removeProgram(int number) { m_programs.remove(number); }
    void clearPrograms() { m_programs.clear(); }
    const QMap<int, QByteArray> &programs() const { return m_programs; }
    // Programs 1..count (at most 199): ten bakery programs in turn, several phases with steam,
    // fan, exhaust and output, whose times fit the baking time as the editor checks them.
    void seedDemoPrograms(int count);
    static QByteArray demoProgramText(const QByteArray &name, int temperature, int seconds, int steam);
    // The NAME value of a program text's head, at most 20 characters.
    static QByteArray programName(const QByteArray &text);

    QList<TXqSimDeck> &decks() { return m_decks; }
    TXqSimInfo &info() { return m_info; }

    QDateTime clock() const;
    void setClock(const QDateTime &time);
    qint64 clockOffsetMs() const { return m_clockOffsetMs; }

    // Fourteen decimal values separated by TABs, Sunday first, as the last NAST wrote them.
    QByteArray nightStarts() const { return m_nightStarts; }
    void setNightStarts(const QByteArray &text) { m_nightStarts = text; }

    // An older controller: knows BPLI but not BPL2.
    void setLegacy(bool on) { m_legacy = on; }
    bool legacy() const { return m_legacy; }

private:
    QByteArray herd(const QByteArray &params) const;
    QByteArray stat() const;
    QByteArray zeit(const QByteArray &params);
    QByteArray nameList(const QByteArray &answerWord) const;
    QByteArray bprg(const QByteArray &params);
    QByteArray nast(const QByteArray &params);
    QByteArray deckCommand(const QByteArray &word, const QByteArray &params);
    QByteArray ofen(const QByteArray &params);
    QList<int> decksOf(const QByteArray &maskHex) const;

    QMap<int, QByteArray> m_programs;
    QList<TXqSimDeck> m_decks;
    TXqSimInfo m_info;
    qint64 m_clockOffsetMs = 0;
    QByteArray m_nightStarts;
    bool m_legacy = false;
};

namespace xqsim {
// Strict readers for what the program writes: upper-case hex, and decimal with an optional minus.
bool ReadHex(const QByteArray &text, qint64 &value);
bool ReadDec(const QByteArray &text, qint64 &value);
QByteArray Hex4(qint64 value);
} // namespace xqsim

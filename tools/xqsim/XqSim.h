#pragma once
// The stand-in controller on real sockets. It listens where the controller would, reads the
// frames the program writes (one or more CR LF lines per connection), records them, and answers
// every request but "TRX " by connecting to the program's server on the same port and writing
// one LF-terminated frame. A script of faults, by command word and parameters, changes what it
// answers.
//
// Everything runs on the thread that owns it, with Qt's asynchronous sockets; every connection
// and every wait has a bound.
#include "XqSimController.h"

#include <QByteArray>
#include <QHash>
#include <QHostAddress>
#include <QList>
#include <QMetaType>
#include <QObject>
#include <QString>
#include <deque>

class QTcpServer;
class QTcpSocket;
class QTimer;

struct TXqSimFrame
{
    int connection = 0;     // numbered from 1 in order of acceptance
    QByteArray raw;         // as read, without CR LF
    bool complete = true;   // false: the peer closed before the line end
    bool ok = false;        // a sound frame
    QByteArray word;
    QByteArray params;
    QString error;
};
Q_DECLARE_METATYPE(TXqSimFrame)

struct TXqSimFault
{
    enum Kind {
        Silence,           // no answer at all
        Delay,             // the answer after `ms`
        Duplicate,         // the answer twice, one connection each
        Refuse,            // word + TAB + NAK
        Epar,              // word + TAB + "EPAR"
        Eucd,              // "EUCD" + TAB + word
        WrongNumber,       // a BPRG read answered with number `size` (0: the one after)
        WrongChecksum,     // checksum digits of another value
        LowerCaseChecksum, // checksum digits in lower case
        NoStx,
        NoEtx,
        NoEot,             // left out; the checksum digits then cover the text up to the byte before
                           // them, so a reader that counts from the ETX finds the checksum right
        HalfLine,          // the first half of the line, held open for `ms`, then closed
        CloseEmpty,        // connect and close without a byte
        Drip,              // the line in pieces of `size` bytes, one every `ms`
        Oversized,         // a well-formed frame of `size` bytes and LF
        TrxAck,            // the controller's own "TRX " + ACK instead of the answer
        TrxNak,            // its "TRX " + NAK instead of the answer
        Raw,               // `bytes` as they are, nothing added
    };
    Kind kind = Silence;
    int ms = 0;
    int size = 0;
    QByteArray bytes;

    static TXqSimFault of(Kind kind) { return TXqSimFault{kind, 0, 0, {}}; }
    static TXqSimFault delay(int ms) { return TXqSimFault{Delay, ms, 0, {}}; }
    static TXqSimFault halfLine(int holdMs = 6000) { return TXqSimFault{HalfLine, holdMs, 0, {}}; }
    static TXqSimFault drip(int piece = 3, int everyMs = 20) { return TXqSimFault{Drip, everyMs, piece, {}}; }
    static TXqSimFault oversized(int bytes = 70000) { return TXqSimFault{Oversized, 0, bytes, {}}; }
    static TXqSimFault wrongNumber(int number = 0) { return TXqSimFault{WrongNumber, 0, number, {}}; }
    static TXqSimFault raw(const QByteArray &bytes) { return TXqSimFault{Raw, 0, 0, bytes}; }
};
Q_DECLARE_METATYPE(TXqSimFault)

class TXqSim : public QObject
{
    Q_OBJECT
public:
    explicit TXqSim(QObject *parent = nullptr);
    ~TXqSim() override;

    // Only 127.0.0.0/8 is accepted, for listening and for answering.
    static bool IsLoopback(const QHostAddress &address);

    bool start(quint16 port, const QHostAddress &listen = QHostAddress(QStringLiteral("127.0.0.2")),
               const QHostAddress &answerTo = QHostAddress(QStringLiteral("127.0.0.1")));
    QString errorString() const { return m_error; }
    void stopListening();
    bool resumeListening();
    bool isListening() const;
    quint16 port() const { return m_port; }
    QHostAddress listenAddress() const { return m_listen; }
    QHostAddress answerAddress() const { return m_answerTo; }
    // How long an answer may take to connect to the program's server.
    void setConnectTimeoutMs(int ms) { m_connectTimeoutMs = ms; }

    TXqSimController &controller() { return m_controller; }

    // The next `count` requests with `word` ("*": any word) get `fault`; count < 0: all of them.
    // A request takes the first fault, in the order they were added, that matches it. Refuse,
    // Epar and Eucd leave the controller unchanged; every other fault only changes what goes
    // back, the request itself takes effect.
    void addFault(const QByteArray &word, const TXqSimFault &fault, int count = 1);
    // The same for requests whose parameters are `params` or begin with `params` and a TAB:
    // "0005" hits the read and the write of program 5, "DELETE" TAB "0064" the delete of 100.
    void addFault(const QByteArray &word, const QByteArray &params, const TXqSimFault &fault, int count = 1);
    void clearFaults() { m_faults.clear(); }
    int faultsLeft() const { return int(m_faults.size()); }

    // Every line read, in order (the oldest are dropped past 10000).
    const QList<TXqSimFrame> &frames() const { return m_frames; }
    QList<TXqSimFrame> framesOf(const QByteArray &word) const;
    // Sound frames received with this word ("TRX " for the acknowledgements).
    int count(const QByteArray &word) const { return m_counts.value(word); }
    // Acknowledgements received that carried ACK (or NAK).
    int acknowledgements(char ackOrNak) const;
    // Bytes written to the program's server, one entry per connection, in order.
    const QList<QByteArray> &answersSent() const { return m_answers; }
    // Answers waiting, delayed or being written.
    int answersPending() const;
    // While held, answers wait in their order and none is written; releasing writes them.
    void setAnswersHeld(bool held);
    void clearRecords();

signals:
    void frameReceived(const TXqSimFrame &frame);
    void answerSent(const QByteArray &word, const QByteArray &bytes);
    void answerFailed(const QByteArray &word, const QString &error);

private:
    struct TOutgoing
    {
        enum Mode { Whole, Half, Empty, Drip };
        QByteArray word;
        QByteArray bytes;
        Mode mode = Whole;
        int ms = 0;
        int piece = 0;
    };
    struct TInbound
    {
        int id = 0;
        QByteArray buffer;
        QTimer *idle = nullptr;
    };

    void acceptConnections();
    void readInbound(QTcpSocket *socket);
    void closeInbound(QTcpSocket *socket);
    void handleLine(int connection, const QByteArray &line, bool complete);
    void record(const TXqSimFrame &frame);
    void answerRequest(const QByteArray &word, const QByteArray &params);
    bool takeFault(const QByteArray &word, const QByteArray &params, TXqSimFault &fault);
    void enqueue(const TOutgoing &out);
    void startNext();
    void finishCurrent();
    void holdOpen(QTcpSocket *socket, int ms);

    QTcpServer *m_server = nullptr;
    QHostAddress m_listen;
    QHostAddress m_answerTo;
    quint16 m_port = 0;
    QString m_error;
    int m_connectTimeoutMs = 5000;
    TXqSimController m_controller;

    struct TScripted
    {
        QByteArray word;
        TXqSimFault fault;
        int left = 0;
        bool byParams = false;
        QByteArray params;
    };
    QList<TScripted> m_faults;

    QHash<QTcpSocket *, TInbound> m_inbound;
    int m_nextConnection = 1;
    QList<TXqSimFrame> m_frames;
    QHash<QByteArray, int> m_counts;
    QList<QByteArray> m_answers;

    std::deque<TOutgoing> m_queue;
    int m_delayed = 0;
    int m_held = 0;
    QTcpSocket *m_current = nullptr;
    TOutgoing m_currentOut;
    bool m_currentConnected = false;
    QTimer *m_currentTimer = nullptr;
    bool m_answersHeld = false;
};

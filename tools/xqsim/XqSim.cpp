#include "XqSim.h"

#include "XqSimFrame.h"

#include <QPointer>
#include <QTcpServer>
#include <QNetworkProxy>
#include <QTcpSocket>
#include <QTimer>
#include <algorithm>
#include <memory>

using namespace xqsim;

namespace {

constexpr int kMaxInbound = 64;
constexpr qsizetype kMaxLine = 1 << 20;
constexpr int kInboundIdleMs = 15000;
constexpr int kAnswerLifetimeMs = 30000;
constexpr int kMaxHoldMs = 60000;
constexpr qsizetype kMaxRecords = 10000;

QByteArray Line(const QByteArray &frame)
{
    return frame + '\n';
}

} // namespace

TXqSim::TXqSim(QObject *parent)
    : QObject(parent)
{
}

TXqSim::~TXqSim()
{
    // Sockets are children; quiet them before the object they report to is gone.
    const auto sockets = findChildren<QTcpSocket *>();
    for (QTcpSocket *s : sockets) {
        s->disconnect();
        s->abort();
    }
}

bool TXqSim::IsLoopback(const QHostAddress &address)
{
    bool ok = false;
    const quint32 v4 = address.toIPv4Address(&ok);
    return ok && address.protocol() == QAbstractSocket::IPv4Protocol && (v4 >> 24) == 127;
}

bool TXqSim::start(quint16 port, const QHostAddress &listen, const QHostAddress &answerTo)
{
    if (!IsLoopback(listen) || !IsLoopback(answerTo)) {
        m_error = QStringLiteral("only addresses in 127.0.0.0/8 are allowed");
        return false;
    }
    stopListening();
    m_listen = listen;
    m_answerTo = answerTo;
    m_port = port;
    return resumeListening();
}

bool TXqSim::resumeListening()
{
    if (!IsLoopback(m_listen)) {
        m_error = QStringLiteral("not started");
        return false;
    }
    if (!m_server) {
        m_server = new QTcpServer(this);
        connect(m_server, &QTcpServer::newConnection, this, &TXqSim::acceptConnections);
    }
    if (m_server->isListening())
        return true;
    m_server->setProxy(QNetworkProxy::NoProxy);
    if (!m_server->listen(m_listen, m_port)) {
        m_error = m_server->errorString();
        return false;
    }
    m_error.clear();
    return true;
}

void TXqSim::stopListening()
{
    if (m_server)
        m_server->close();
}

bool TXqSim::isListening() const
{
    return m_server && m_server->isListening();
}

void TXqSim::addFault(const QByteArray &word, const TXqSimFault &fault, int count)
{
    if (count != 0)
        m_faults.append(TScripted{word, fault, count, false, {}});
}

void TXqSim::addFault(const QByteArray &word, const QByteArray &params, const TXqSimFault &fault, int count)
{
    if (count != 0)
        m_faults.append(TScripted{word, fault, count, true, params});
}

bool TXqSim::takeFault(const QByteArray &word, const QByteArray &params, TXqSimFault &fault)
{
    for (qsizetype i = 0; i < m_faults.size(); ++i) {
        TScripted &s = m_faults[i];
        if (s.word != word && s.word != "*")
            continue;
        if (s.byParams && params != s.params && !params.startsWith(s.params + TAB))
            continue;
        fault = s.fault;
        if (s.left > 0 && --s.left == 0)
            m_faults.removeAt(i);
        return true;
    }
    return false;
}

QList<TXqSimFrame> TXqSim::framesOf(const QByteArray &word) const
{
    QList<TXqSimFrame> out;
    for (const TXqSimFrame &f : m_frames)
        if (f.ok && f.word == word)
            out.append(f);
    return out;
}

int TXqSim::acknowledgements(char ackOrNak) const
{
    int n = 0;
    for (const TXqSimFrame &f : m_frames)
        if (f.ok && f.word == "TRX " && f.params == QByteArray(1, ackOrNak))
            ++n;
    return n;
}

int TXqSim::answersPending() const
{
    return int(m_queue.size()) + m_delayed + m_held + (m_current ? 1 : 0);
}

void TXqSim::setAnswersHeld(bool held)
{
    m_answersHeld = held;
    if (!held)
        startNext();
}

void TXqSim::clearRecords()
{
    m_frames.clear();
    m_counts.clear();
    m_answers.clear();
}

// --- requests --------------------------------------------------------------------------------

void TXqSim::acceptConnections()
{
    while (m_server->hasPendingConnections()) {
        QTcpSocket *s = m_server->nextPendingConnection();
        if (m_inbound.size() >= kMaxInbound) {
            s->abort();
            s->deleteLater();
            continue;
        }
        TInbound in;
        in.id = m_nextConnection++;
        in.idle = new QTimer(s);
        in.idle->setSingleShot(true);
        in.idle->setInterval(kInboundIdleMs);
        QPointer<QTcpSocket> guard(s);
        connect(in.idle, &QTimer::timeout, this, [this, guard] {
            if (guard)
                closeInbound(guard);
        });
        in.idle->start();
        m_inbound.insert(s, in);
        connect(s, &QTcpSocket::readyRead, this, [this, guard] {
            if (guard)
                readInbound(guard);
        });
        connect(s, &QTcpSocket::disconnected, this, [this, guard] {
            if (guard)
                closeInbound(guard);
        });
        readInbound(s);
    }
}

void TXqSim::readInbound(QTcpSocket *socket)
{
    auto it = m_inbound.find(socket);
    if (it == m_inbound.end())
        return;
    it->buffer += socket->readAll();
    it->idle->start();
    const int id = it->id;
    QByteArray buffer = std::exchange(it->buffer, QByteArray());

    QList<QByteArray> lines;
    qsizetype lf;
    while ((lf = buffer.indexOf('\n')) >= 0) {
        QByteArray line = buffer.left(lf);
        if (line.endsWith('\r'))
            line.chop(1);
        lines.append(line);
        buffer.remove(0, lf + 1);
    }
    const bool tooLong = buffer.size() > kMaxLine;
    if (!tooLong)
        it->buffer = buffer;

    for (const QByteArray &line : lines)
        handleLine(id, line, true);

    if (tooLong) {
        TXqSimFrame f;
        f.connection = id;
        f.raw = buffer.left(64);
        f.complete = false;
        f.error = QStringLiteral("line longer than %1 bytes, connection dropped").arg(kMaxLine);
        record(f);
        emit frameReceived(f);
        closeInbound(socket);
    }
}

void TXqSim::closeInbound(QTcpSocket *socket)
{
    if (!m_inbound.contains(socket))
        return;
    if (socket->bytesAvailable() > 0) {
        readInbound(socket);
        if (!m_inbound.contains(socket))
            return;
    }
    const TInbound in = m_inbound.take(socket);
    socket->disconnect(this);
    socket->abort();
    socket->deleteLater();
    if (!in.buffer.isEmpty())
        handleLine(in.id, in.buffer, false);
}

void TXqSim::handleLine(int connection, const QByteArray &line, bool complete)
{
    TXqSimFrame f;
    f.connection = connection;
    f.raw = line;
    f.complete = complete;
    const TDecodedFrame d = DecodeFrame(line);
    f.word = d.word;
    f.params = d.params;
    f.ok = complete && d.ok;
    f.error = complete ? d.error : QStringLiteral("closed before the line end");
    record(f);
    emit frameReceived(f);
    if (f.ok && f.word != "TRX ")
        answerRequest(f.word, f.params);
}

void TXqSim::record(const TXqSimFrame &frame)
{
    m_frames.append(frame);
    if (m_frames.size() > kMaxRecords)
        m_frames.removeFirst();
    if (frame.ok)
        ++m_counts[frame.word];
}

// --- answers ---------------------------------------------------------------------------------

void TXqSim::answerRequest(const QByteArray &word, const QByteArray &params)
{
    TXqSimFault fault;
    if (!takeFault(word, params, fault)) {
        enqueue(TOutgoing{word, Line(BuildFrame(m_controller.answer(word, params)))});
        return;
    }

    QByteArray text;
    switch (fault.kind) {
    case TXqSimFault::Refuse:
        text = TXqSimController::refusal(word);
        break;
    case TXqSimFault::Epar:
        text = TXqSimController::parameterError(word);
        break;
    case TXqSimFault::Eucd:
        text = TXqSimController::unknownCommand(word);
        break;
    default:
        text = m_controller.answer(word, params);
        break;
    }

    TOutgoing out{word, Line(BuildFrame(text))};
    const QByteArray head = QByteArray(1, STX) + ENQ;
    switch (fault.kind) {
    case TXqSimFault::Silence:
        return;
    case TXqSimFault::Delay:
        ++m_delayed;
        QTimer::singleShot(qMax(0, fault.ms), this, [this, out] {
            --m_delayed;
            enqueue(out);
        });
        return;
    case TXqSimFault::Duplicate:
        enqueue(out);
        break;
    case TXqSimFault::WrongNumber:
        if (text.startsWith("BPRG") && text.size() >= 8) {
            qint64 n = 0;
            ReadHex(text.mid(4, 4), n);
            text.replace(4, 4, Hex4(fault.size > 0 ? fault.size : n + 1));
            out.bytes = Line(BuildFrame(text));
        }
        break;
    case TXqSimFault::WrongChecksum: {
        const QByteArray digits =
            QByteArray::number(Checksum(text) ^ 0x01, 16).toUpper().rightJustified(2, '0');
        out.bytes = Line(head + text + EOT + digits + ETX);
        break;
    }
    case TXqSimFault::LowerCaseChecksum: {
        // Digits without a letter read the same in both cases: add a field until they have one.
        const auto hasLetter = [](const QByteArray &d) {
            return std::any_of(d.begin(), d.end(), [](char c) { return c >= 'a' && c <= 'f'; });
        };
        QByteArray padded = text;
        for (char c = 'A'; !hasLetter(ChecksumDigits(padded, true)) && c <= 'Z'; ++c)
            padded = text + TAB + c;
        out.bytes = Line(head + padded + EOT + ChecksumDigits(padded, true) + ETX);
        break;
    }
    case TXqSimFault::NoStx:
        out.bytes = Line(BuildFrame(text).mid(1));
        break;
    case TXqSimFault::NoEtx:
        out.bytes = Line(BuildFrame(text).chopped(1));
        break;
    case TXqSimFault::NoEot:
        out.bytes = Line(head + text + ChecksumDigits(text.chopped(1)) + ETX);
        break;
    case TXqSimFault::HalfLine: {
        const QByteArray frame = BuildFrame(text);
        out.bytes = frame.left(frame.size() / 2);
        out.mode = TOutgoing::Half;
        out.ms = qBound(0, fault.ms, kMaxHoldMs);
        break;
    }
    case TXqSimFault::CloseEmpty:
        out.bytes.clear();
        out.mode = TOutgoing::Empty;
        break;
    case TXqSimFault::Drip:
        out.mode = TOutgoing::Drip;
        out.piece = qMax(1, fault.size);
        out.ms = qBound(0, fault.ms, 1000);
        break;
    case TXqSimFault::Oversized: {
        // Frame overhead: STX ENQ EOT two digits ETX, and the LF.
        const QByteArray prefix = word.toLower() + TAB;
        const qsizetype filler = qMax<qsizetype>(0, qsizetype(fault.size) - 7 - prefix.size());
        out.bytes = Line(BuildFrame(prefix + QByteArray(filler, 'X')));
        break;
    }
    case TXqSimFault::TrxAck:
        out.bytes = Line(BuildFrame(QByteArray("TRX ") + ACK));
        break;
    case TXqSimFault::TrxNak:
        out.bytes = Line(BuildFrame(QByteArray("TRX ") + NAK));
        break;
    case TXqSimFault::Raw:
        out.bytes = fault.bytes;
        break;
    case TXqSimFault::Refuse:
    case TXqSimFault::Epar:
    case TXqSimFault::Eucd:
        break;
    }
    enqueue(out);
}

void TXqSim::enqueue(const TOutgoing &out)
{
    m_queue.push_back(out);
    startNext();
}

void TXqSim::startNext()
{
    if (m_current || m_queue.empty() || m_answersHeld)
        return;
    m_currentOut = m_queue.front();
    m_queue.pop_front();
    m_currentConnected = false;

    auto *s = new QTcpSocket(this);
    s->setProxy(QNetworkProxy::NoProxy);
    m_current = s;
    // Answer from the address we listen on, as a controller answers from its own.
    s->bind(m_listen, 0);

    m_currentTimer = new QTimer(s);
    m_currentTimer->setSingleShot(true);
    connect(m_currentTimer, &QTimer::timeout, this, [this, s] {
        if (s != m_current)
            return;
        if (!m_currentConnected)
            emit answerFailed(m_currentOut.word, QStringLiteral("connect timed out"));
        finishCurrent();
    });
    m_currentTimer->start(qMax(1, m_connectTimeoutMs));

    const auto sent = [this] {
        m_answers.append(m_currentOut.bytes);
        if (m_answers.size() > kMaxRecords)
            m_answers.removeFirst();
        emit answerSent(m_currentOut.word, m_currentOut.bytes);
    };

    connect(s, &QTcpSocket::connected, this, [this, s, sent] {
        if (s != m_current)
            return;
        m_currentConnected = true;
        m_currentTimer->start(kAnswerLifetimeMs);
        switch (m_currentOut.mode) {
        case TOutgoing::Whole:
            s->write(m_currentOut.bytes);
            sent();
            s->disconnectFromHost();
            break;
        case TOutgoing::Empty:
            sent();
            s->disconnectFromHost();
            break;
        case TOutgoing::Half:
            s->write(m_currentOut.bytes);
            sent();
            m_current = nullptr;
            holdOpen(s, m_currentOut.ms);
            QMetaObject::invokeMethod(this, &TXqSim::startNext, Qt::QueuedConnection);
            break;
        case TOutgoing::Drip: {
            auto *drip = new QTimer(s);
            auto offset = std::make_shared<qsizetype>(0);
            connect(drip, &QTimer::timeout, this, [this, s, drip, offset, sent] {
                if (s != m_current)
                    return;
                s->write(m_currentOut.bytes.mid(*offset, m_currentOut.piece));
                *offset += m_currentOut.piece;
                if (*offset >= m_currentOut.bytes.size()) {
                    drip->stop();
                    sent();
                    s->disconnectFromHost();
                }
            });
            drip->start(m_currentOut.ms);
            break;
        }
        }
    });
    connect(s, &QTcpSocket::disconnected, this, [this, s] {
        if (s == m_current)
            finishCurrent();
    });
    connect(s, &QTcpSocket::errorOccurred, this, [this, s] {
        if (s != m_current)
            return;
        if (!m_currentConnected)
            emit answerFailed(m_currentOut.word, s->errorString());
        finishCurrent();
    });
    s->connectToHost(m_answerTo, m_port);
}

void TXqSim::finishCurrent()
{
    QTcpSocket *s = std::exchange(m_current, nullptr);
    if (!s)
        return;
    s->disconnect(this);
    s->abort();
    s->deleteLater();
    m_currentTimer = nullptr;
    QMetaObject::invokeMethod(this, &TXqSim::startNext, Qt::QueuedConnection);
}

void TXqSim::holdOpen(QTcpSocket *socket, int ms)
{
    ++m_held;
    socket->disconnect(this);
    QPointer<QTcpSocket> guard(socket);
    auto released = std::make_shared<bool>(false);
    const auto release = [this, guard, released] {
        if (*released)
            return;
        *released = true;
        --m_held;
        if (guard) {
            guard->disconnect(this);
            guard->disconnectFromHost();
            guard->deleteLater();
        }
    };
    connect(socket, &QTcpSocket::disconnected, this, release);
    connect(socket, &QTcpSocket::errorOccurred, this, release);
    QTimer::singleShot(ms, this, release);
}

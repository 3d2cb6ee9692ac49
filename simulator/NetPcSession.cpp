#include "simulator/NetPcSession.h"

#include "simulator/NetPcSimulator.h"

#include <QStringList>
#include <QTcpSocket>
#include <algorithm>
#include <cmath>

namespace
{

const QByteArray LineEnd = QByteArrayLiteral("\r\n");

QByteArray reply(const char *text)
{
    return QByteArray(text) + LineEnd;
}

// Amplification the instrument's readings are scaled for; the program's
// preset of the same adjustment.
constexpr double Amplification = 100;

} // namespace

NetPcSession::NetPcSession(QTcpSocket *socket, NetPcSimulator &simulator)
    : QObject(&simulator)
    , m_socket(socket)
    , m_simulator(simulator)
    , m_options(simulator.options())
    , m_garbage(simulator.options().seed)
{
    m_socket->setParent(this);
    m_socket->setSocketOption(QAbstractSocket::LowDelayOption, 1);
    m_clock.start();
    m_timer.setSingleShot(true);
    m_timer.setTimerType(Qt::PreciseTimer);
    connect(&m_timer, &QTimer::timeout, this, &NetPcSession::sendDue);
    connect(m_socket, &QTcpSocket::readyRead, this, &NetPcSession::readCommands);
    connect(m_socket, &QTcpSocket::disconnected, this, &QObject::deleteLater);
    if (m_options.dropAfter == 0) {
        m_socket->disconnectFromHost();
        return;
    }
    queue(0, Kind::Reply, reply("gol_kovra"));
}

qint64 NetPcSession::wallMs(double instrumentMs) const
{
    return qint64(std::llround(instrumentMs / std::max(m_options.speed, 1e-6)));
}

void NetPcSession::readCommands()
{
    m_input += m_socket->readAll();
    // The program closes a line with line feed and carriage return; either
    // character ends it here.
    for (;;) {
        const qsizetype end = m_input.indexOf('\n');
        if (end < 0)
            break;
        const QString line = QString::fromLatin1(m_input.left(end)).remove(QLatin1Char('\r'));
        m_input.remove(0, end + 1);
        if (!line.trimmed().isEmpty())
            handleCommand(line);
    }
}

void NetPcSession::handleCommand(const QString &line)
{
    m_simulator.recordCommand(line);
    const QStringList words = line.split(QLatin1Char(' '), Qt::SkipEmptyParts);
    const QString verb = words.value(0) == QLatin1String("run") ? words.value(1) : words.value(0);

    if (m_options.answerErr) {
        queueReply(20, reply("ERR 17 command refused"));
        return;
    }
    if (verb == QLatin1String("trace")) {
        queueReply(20, reply("set"));
    } else if (verb == QLatin1String("INIT")) {
        queueReply(m_options.initDelayMs, reply("OK"));
    } else if (verb == QLatin1String("ZERO") || verb == QLatin1String("START")) {
        startProgram(verb == QLatin1String("ZERO"), words.mid(2));
    } else if (verb == QLatin1String("BREAK")) {
        m_program.reset();
        m_outbox.removeIf([](const Outgoing &o) { return o.kind == Kind::Program; });
        queueReply(50, reply("OK"));
    } else {
        queueReply(20, reply("ERR 99 unknown command"));
    }
}

void NetPcSession::startProgram(bool zero, const QStringList &words)
{
    // Parameters: n, 1.25, duration, starting time, measuring time, cycle
    // (all times in milliseconds).
    m_outbox.removeIf([](const Outgoing &o) { return o.kind == Kind::Program; });
    if (m_options.okFirst) {
        m_program.reset();
        queueReply(20, reply("OK"));
        return;
    }
    Program p;
    p.zero = zero;
    p.n = int(std::lround(words.value(0).toDouble()));
    const double duration = std::max(0.0, words.value(2).toDouble());
    p.cycleMs = words.value(5).toDouble();
    if (p.cycleMs <= 0)
        p.cycleMs = 1000;
    p.total = int(duration / p.cycleMs);
    if (m_options.floodCount >= 0) {
        p.total = m_options.floodCount;
        p.cycleMs = 0;
    }
    const int run = zero ? m_simulator.nextZeroRun() : m_simulator.nextSpecimen();
    std::seed_seq seq { m_options.seed, quint32(run), zero ? 1u : 2u };
    p.noise.seed(seq);
    if (!zero)
        p.curve.emplace(m_options.seed, run, duration / 1000.0);
    p.startedAt = now();
    m_program = std::move(p);
    queue(programDue(1), Kind::Program);
}

qint64 NetPcSession::programDue(int k) const
{
    const Program &p = *m_program;
    const int step = std::min(k, p.total);
    return std::max(p.startedAt + wallMs(step * p.cycleMs), p.quietUntil);
}

QByteArray NetPcSession::zeroReply(int k)
{
    Program &p = *m_program;
    const double volts
        = m_simulator.intrinsicZeroVolts() + std::normal_distribution<double>(0, 0.004)(p.noise);
    // Reported readings carry four decimals; the remembered zero is the mean
    // of what was reported.
    const QString text = QString::number(volts, 'f', 4);
    p.zeroSum += text.toDouble();
    m_simulator.rememberZeroVolts(p.zeroSum / k);
    return QStringLiteral("DATA %1 %2").arg(text).arg(qint64(k * p.cycleMs)).toLatin1() + LineEnd;
}

QByteArray NetPcSession::measurementReply(int k)
{
    Program &p = *m_program;
    const double ms = k * p.cycleMs;
    const double percent
        = p.curve->valueAt(ms / 1000.0) + std::normal_distribution<double>(0, 0.15)(p.noise);
    const double volts = ReadingForPercent(percent, p.n, Amplification, m_simulator.zeroVolts());
    return QStringLiteral("DATA %1 %2").arg(volts, 0, 'f', 4).arg(qint64(ms)).toLatin1() + LineEnd;
}

QByteArray NetPcSession::takeProgramReply()
{
    Program &p = *m_program;
    if (p.next > p.total) {
        m_program.reset();
        return reply("OK");
    }
    const int k = p.next++;
    const QByteArray data = p.zero ? zeroReply(k) : measurementReply(k);
    // The withheld reading still draws its noise, so every other point is
    // that of a run without the gap. The pause counts from now, however far
    // behind its schedule a loaded machine has put the instrument.
    if (!p.zero && k == m_options.gapAt) {
        const int pause
            = m_options.gapPauseMs >= 0 ? m_options.gapPauseMs : int(p.cycleMs) + 12000 + 500;
        p.quietUntil = now() + pause;
        return {};
    }
    return data;
}

void NetPcSession::queue(qint64 due, Kind kind, const QByteArray &text)
{
    const auto at = std::upper_bound(m_outbox.begin(), m_outbox.end(), due,
        [](qint64 d, const Outgoing &o) { return d < o.due; });
    m_outbox.insert(at, Outgoing { due, kind, text });
    scheduleNext();
}

void NetPcSession::queueReply(qint64 afterInstrumentMs, const QByteArray &text)
{
    queue(now() + wallMs(double(afterInstrumentMs)), Kind::Reply, text);
}

void NetPcSession::scheduleNext()
{
    if (m_outbox.isEmpty()) {
        m_timer.stop();
        return;
    }
    const qint64 due = std::max(m_outbox.first().due, m_lastSent + m_options.gapMs);
    m_timer.start(int(std::clamp<qint64>(due - now(), 0, 24 * 3600 * 1000)));
}

void NetPcSession::sendDue()
{
    if (m_outbox.isEmpty())
        return;
    if (now() < std::max(m_outbox.first().due, m_lastSent + m_options.gapMs)) {
        scheduleNext(); // woken a little early
        return;
    }
    const Outgoing item = m_outbox.takeFirst();
    switch (item.kind) {
    case Kind::Noise:
        send(item.text, false);
        break;
    case Kind::Reply:
        send(item.text, true);
        break;
    case Kind::Program: {
        if (!m_program)
            break;
        QByteArray block = takeProgramReply();
        if (m_options.pairReplies && m_program)
            block += takeProgramReply();
        if (m_options.okJoin && m_program && m_program->next > m_program->total)
            block += takeProgramReply(); // the closing "OK"
        if (m_program)
            queue(programDue(m_program->next), Kind::Program);
        if (!block.isEmpty())
            send(block, true);
        break;
    }
    }
    scheduleNext();
}

void NetPcSession::send(const QByteArray &block, bool counted)
{
    if (m_socket->state() != QAbstractSocket::ConnectedState)
        return;
    if (counted && m_options.stallAfter >= 0 && m_sent >= m_options.stallAfter)
        return;
    QByteArray text = block;
    if (counted && m_options.tailBlanks)
        text.replace(LineEnd, " " + LineEnd);
    if (counted && m_options.splitReplies && m_sent > 0 && text.size() > 1) {
        // The rest goes out next, before anything else that is due.
        const qsizetype half = text.size() / 2;
        m_outbox.prepend(Outgoing { now() + m_options.gapMs, Kind::Noise, text.mid(half) });
        text.truncate(half);
    }
    m_socket->write(text);
    m_socket->flush();
    m_lastSent = now();
    if (!counted)
        return;
    ++m_sent;
    if (m_options.dropAfter >= 0 && m_sent >= m_options.dropAfter) {
        m_outbox.clear();
        m_socket->disconnectFromHost();
        return;
    }
    if (m_options.garbage) {
        // Noise that holds none of the reply keywords.
        static const char alphabet[] = "0123456789#%&*+/<>?@[]^_{|}~\x01\x02\x07\x1b\x7f";
        QByteArray noise;
        const int length = 3 + int(m_garbage() % 20);
        for (int i = 0; i < length; ++i)
            noise += alphabet[m_garbage() % (sizeof(alphabet) - 1)];
        queue(m_lastSent + m_options.gapMs, Kind::Noise, noise);
    }
}

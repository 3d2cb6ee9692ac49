#include "instrument/NetLink.h"

#include "core/OperatorMessages.h"

#include <QTcpSocket>
#include <utility>

NetLink::NetLink(OperatorMessages &messages, QObject *parent)
    : QObject(parent)
    , m_messages(messages)
    , m_socket(new QTcpSocket(this))
{
    m_greetingTimer.setSingleShot(true);
    m_greetingTimer.setTimerType(Qt::PreciseTimer);
    connect(&m_greetingTimer, &QTimer::timeout, this, &NetLink::greetingTimedOut);
    m_quietTimer.setSingleShot(true);
    connect(&m_quietTimer, &QTimer::timeout, this, &NetLink::quietTimeOver);
    connect(m_socket, &QTcpSocket::readyRead, this, &NetLink::readBlock);
    connect(m_socket, &QTcpSocket::stateChanged, this, &NetLink::socketStateChanged);
    connect(m_socket, &QTcpSocket::connected, this, [this] {
        // Commands are a few bytes each; Nagle would only delay them.
        m_socket->setSocketOption(QAbstractSocket::LowDelayOption, 1);
    });
}

NetLink::~NetLink() = default;

void NetLink::ConnectNetPC(const QString &host, quint16 port)
{
    if (m_socket->state() != QAbstractSocket::UnconnectedState)
        m_socket->abort();
    m_closing = false;
    forgetPeer();
    m_socket->connectToHost(host, port);
    m_greetingTimer.start(m_timeouts.greeting);
}

void NetLink::greetingTimedOut()
{
    m_messages.show(QStringLiteral("Error Connection NetPC"));
    emit connectFinished(false);
}

QByteArray NetLink::wireLine(const QString &command)
{
    QString line
        = command.contains(QLatin1String("trace")) ? command : QStringLiteral("run ") + command;
    line += QLatin1Char('\n');
    line += QLatin1Char('\r');
    return line.toLatin1();
}

void NetLink::SendNetPC(const QString &command)
{
    if (!isConnected())
        return;
    m_socket->write(wireLine(command));
    m_socket->flush();
}

void NetLink::CloseNetPC()
{
    m_greetingTimer.stop();
    if (isClosed()) {
        emit closed();
        return;
    }
    m_closing = true;
    m_socket->disconnectFromHost();
}

bool NetLink::isConnected() const
{
    return m_socket->state() == QAbstractSocket::ConnectedState;
}

bool NetLink::isClosed() const
{
    return m_socket->state() == QAbstractSocket::UnconnectedState;
}

void NetLink::forgetPeer()
{
    // A new connection may lead to another peer with its own line habits.
    m_lineEnded = false;
    m_piece.clear();
    m_quietTimer.stop();
}

void NetLink::socketStateChanged()
{
    if (m_socket->state() != QAbstractSocket::UnconnectedState)
        return;
    // A piece cut off by the closing link is no whole reply.
    forgetPeer();
    emit disconnected();
    if (m_closing) {
        m_closing = false;
        emit closed();
    }
}

void NetLink::setDataCount(int count)
{
    m_dataCount = qBound(0, count, MaxDataLines);
}

QString NetLink::dataLine(int k) const
{
    if (k < 0 || k > MaxDataLines)
        return QString();
    return m_dataLines[size_t(k)];
}

bool NetLink::storeDataLine(const QString &line)
{
    // A NetPC that reports more data than the list holds loses the surplus;
    // the count stays at the last stored line.
    if (m_dataCount >= MaxDataLines)
        return false;
    ++m_dataCount;
    m_dataLines[size_t(m_dataCount)] = line;
    return true;
}

void NetLink::readBlock()
{
    handleBlock(m_socket->readAll());
}

void NetLink::handleBlock(const QByteArray &block)
{
    if (block.isEmpty())
        return;
    const bool hasLineEnd = block.contains('\n') || block.contains('\r');
    if (!m_lineEnded && !hasLineEnd) {
        // A peer that never ends its lines sends one reply per block.
        queueReply(block);
    } else {
        m_lineEnded = true;
        frameLines(block);
    }
    handleQueued();
}

void NetLink::frameLines(const QByteArray &block)
{
    m_quietTimer.stop();
    m_piece += block;
    qsizetype start = 0;
    for (qsizetype i = 0; i < m_piece.size(); ++i) {
        if (m_piece.at(i) != '\n' && m_piece.at(i) != '\r')
            continue;
        queueReply(m_piece.mid(start, i - start));
        start = i + 1;
    }
    m_piece.remove(0, start);
    if (!m_piece.isEmpty())
        m_quietTimer.start(m_timeouts.replyQuiet);
}

void NetLink::quietTimeOver()
{
    // The peer sent no line end after this piece; it is all there is.
    queueReply(std::exchange(m_piece, {}));
    handleQueued();
}

void NetLink::queueReply(const QByteArray &reply)
{
    // CR LF and LF CR leave an empty line between them: no reply.
    const QByteArray text = reply.trimmed();
    if (!text.isEmpty())
        m_pendingReplies.append(text);
}

void NetLink::handleQueued()
{
    if (m_handling)
        return;
    m_handling = true;
    while (!m_pendingReplies.isEmpty())
        handleReply(QString::fromLatin1(m_pendingReplies.takeFirst()));
    m_handling = false;
}

void NetLink::handleReply(const QString &reply)
{
    // Each test may override the one before: a reply holding both "OK" and
    // "DATA" counts as a data reply.
    m_netState = StateReply;
    if (reply.contains(QLatin1String("gol_kovra")))
        m_netState = StateGreeting;
    if (reply.contains(QLatin1String("OK")))
        m_netState = StateOk;
    if (reply.contains(QLatin1String("ERR"))) {
        m_netState = StateError;
        m_messages.show(shownReplyText(reply));
    }
    if (reply.contains(QLatin1String("DATA"))) {
        m_netState = StateData;
        storeDataLine(reply);
    }
    if (reply.contains(QLatin1String("set")))
        m_netState = StateTraceSet;

    const bool greeted = m_netState == StateGreeting && m_greetingTimer.isActive();
    if (greeted)
        m_greetingTimer.stop();
    emit replyHandled(m_netState);
    // After the greeting's own hand-over, so that a wait begun on
    // connectFinished() does not see the greeting as its reply.
    if (greeted)
        emit connectFinished(true);
}

QString NetLink::shownReplyText(const QString &reply)
{
    QString text = reply;
    while (text.endsWith(QLatin1Char('\n')) || text.endsWith(QLatin1Char('\r')))
        text.chop(1);

    QString shown;
    qsizetype i = 0;
    for (; i < text.size() && shown.size() < MaxShownReplyLength; ++i) {
        const char16_t u = text.at(i).unicode();
        if (u == u'\n')
            shown += QLatin1String("\\n");
        else if (u == u'\r')
            shown += QLatin1String("\\r");
        else if (u == u'\t')
            shown += QLatin1String("\\t");
        else if (u < 0x20 || (u >= 0x7f && u < 0xa0))
            shown += QStringLiteral("\\x%1").arg(int(u), 2, 16, QLatin1Char('0'));
        else
            shown += text.at(i);
    }
    if (i < text.size())
        shown += QStringLiteral("...");
    return shown;
}

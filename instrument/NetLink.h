#pragma once

#include "instrument/ProtocolTimeouts.h"

#include <QByteArray>
#include <QList>
#include <QObject>
#include <QString>
#include <QTimer>
#include <array>

class OperatorMessages;
class QTcpSocket;

// The one TCP connection to the NetPC. Sends command lines, frames what
// arrives into replies, and hands the kind of the last reply and the data
// replies to the waiting code through NetState, DataCount and the data
// lines.
//
// Framing: once a peer has sent a line end (CR, LF or both) on this
// connection, replies are cut at line ends however TCP merges or splits
// them; a piece after the last line end waits for the rest, or for a quiet
// time. A peer that has never sent a line end gets each received block taken
// as one reply. Blanks around a reply are dropped, so they cannot shift its
// fields. Waiting code reacts to replyHandled(), which comes once per reply,
// after the hand-over values were updated.
class NetLink : public QObject
{
    Q_OBJECT

public:
    // Values of NetState: the kind of the last reply. StateWaiting is also
    // set by senders right after a command whose reply they await.
    static constexpr int StateNone = 0;
    static constexpr int StateReply = 2;
    static constexpr int StateGreeting = 3;
    static constexpr int StateWaiting = 3;
    static constexpr int StateOk = 4;
    static constexpr int StateError = 5;
    static constexpr int StateData = 6;
    static constexpr int StateTraceSet = 7;

    static constexpr int MaxDataLines = 500;
    static constexpr quint16 DefaultPort = 8100;
    // The longest reply text shown to the operator.
    static constexpr int MaxShownReplyLength = 200;

    explicit NetLink(OperatorMessages &messages, QObject *parent = nullptr);
    ~NetLink() override;

    void setTimeouts(const ProtocolTimeouts &timeouts) { m_timeouts = timeouts; }
    const ProtocolTimeouts &timeouts() const { return m_timeouts; }

    // Starts connecting and waits (without blocking) for the greeting;
    // connectFinished() tells the outcome. Without a greeting in time the
    // operator sees "Error Connection NetPC" and the link stays as it is:
    // sends find it unconnected and drop their lines.
    void ConnectNetPC(const QString &host, quint16 port = DefaultPort);
    bool isAwaitingGreeting() const { return m_greetingTimer.isActive(); }

    // Sends a command line: "trace ..." as it is, anything else behind
    // "run ", closed by line feed and carriage return. Does nothing while
    // the link is not connected.
    void SendNetPC(const QString &command);
    // The bytes SendNetPC puts on the wire for `command`.
    static QByteArray wireLine(const QString &command);

    // Closes the connection; closed() follows once the socket is closed
    // (at once if it already is, see isClosed()).
    void CloseNetPC();
    bool isConnected() const;
    bool isClosed() const;

    int netState() const { return m_netState; }
    void setNetState(int state) { m_netState = state; }
    int dataCount() const { return m_dataCount; }
    // Only 0..MaxDataLines are accepted.
    void setDataCount(int count);
    // Data line k (0..500); empty outside the list or when never written.
    QString dataLine(int k) const;
    // Stores `line` as the next data line, unless the list is full; returns
    // whether it was stored. Used by the reply handler and for substitute
    // points.
    bool storeDataLine(const QString &line);

    // Takes one received block exactly as if the socket had delivered it.
    // Replies framed while a reply is being handled (an error message is
    // open, or a listener of replyHandled runs) wait their turn, so every
    // reply is handled once, whole, in arrival order.
    void handleBlock(const QByteArray &block);
    // Whether the peer has ended a reply with a line end on this connection.
    bool peerEndsLines() const { return m_lineEnded; }

    // The reply text as the operator sees it: line ends at its end dropped,
    // control characters made visible, cut to MaxShownReplyLength.
    static QString shownReplyText(const QString &reply);

signals:
    void replyHandled(int netState);
    void connectFinished(bool greeted);
    void disconnected();
    void closed();

private:
    void readBlock();
    void frameLines(const QByteArray &block);
    void quietTimeOver();
    void queueReply(const QByteArray &reply);
    void handleQueued();
    void handleReply(const QString &reply);
    void greetingTimedOut();
    void socketStateChanged();
    void forgetPeer();

    OperatorMessages &m_messages;
    QTcpSocket *m_socket;
    ProtocolTimeouts m_timeouts;
    QTimer m_greetingTimer;
    int m_netState = StateNone;
    int m_dataCount = 0;
    std::array<QString, MaxDataLines + 1> m_dataLines;
    QList<QByteArray> m_pendingReplies;
    QByteArray m_piece; // received after the last line end
    QTimer m_quietTimer;
    bool m_lineEnded = false;
    bool m_handling = false;
    bool m_closing = false;
};

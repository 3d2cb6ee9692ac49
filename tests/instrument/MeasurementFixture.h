#pragma once

#include "instrument/NetLink.h"
#include "shell/ScriptedMessages.h"
#include "shell/Settings.h"

#include <QTcpServer>
#include <QTcpSocket>
#include <QtTest>
#include <chrono>

// A NetPC played by the test: greets, records every command line and sends
// each reply the test hands it as a block of its own.
class ScriptedPeer : public QObject
{
public:
    ScriptedPeer()
    {
        server.listen(QHostAddress::LocalHost, 0);
        connect(&server, &QTcpServer::newConnection, this, [this] {
            socket = server.nextPendingConnection();
            socket->setSocketOption(QAbstractSocket::LowDelayOption, 1);
            connect(socket, &QTcpSocket::readyRead, this, [this] {
                received += socket->readAll();
                while (true) {
                    const int end = received.indexOf('\n');
                    if (end < 0)
                        break;
                    lines << QString::fromLatin1(received.left(end)).remove(QLatin1Char('\r'));
                    received.remove(0, end + 1);
                }
            });
            send("gol_kovra");
        });
    }
    quint16 port() const { return server.serverPort(); }

    // Sends one reply and waits until the link has handled it, so that two
    // replies never arrive as one block.
    bool reply(NetLink &link, const QByteArray &text)
    {
        int handled = 0;
        const auto c = QObject::connect(&link, &NetLink::replyHandled, this, [&] { ++handled; });
        send(text);
        const bool arrived = QTest::qWaitFor([&] { return handled > 0; }, 2000);
        QObject::disconnect(c);
        return arrived;
    }
    void send(const QByteArray &text)
    {
        socket->write(text);
        socket->flush();
    }
    bool hasLine(const QString &line) const { return lines.contains(line); }

    QTcpServer server;
    QTcpSocket *socket = nullptr;
    QByteArray received;
    QStringList lines;
};

// Settings with the box of the lab's worked example in box 1: voltage 5,
// open-circuit value 10, amplification 100, a 10-minute scope, no cycle
// (so a time-out comes after the scaled extra wait alone).
inline void exampleBox(Settings &s)
{
    s.ActiveBox = 1;
    s.ScopeOfTime = 10;
    BoxRecord &b = s.Box(1);
    b.Ein = { 0, 1, 20, 5, 0, 350, 100, 0.18f, 0.5f, 10, 10 };
}

// A link connected to `peer`, with waits short enough for tests.
inline bool connectLink(NetLink &link, ScriptedPeer &peer,
    std::chrono::milliseconds extra = std::chrono::milliseconds(30))
{
    ProtocolTimeouts t;
    t.measurementExtra = extra;
    t.breakReply = std::chrono::milliseconds(200);
    t.trace = std::chrono::milliseconds(200);
    link.setTimeouts(t);
    link.ConnectNetPC(QStringLiteral("127.0.0.1"), peer.port());
    return QTest::qWaitFor([&] { return link.netState() == NetLink::StateGreeting; }, 2000);
}

#pragma once

#include "instrument/NetLink.h"
#include "core/ScriptedMessages.h"
#include "core/Settings.h"
#include "simulator/NetPcSimulator.h"

#include <QTcpServer>
#include <QTcpSocket>
#include <QtTest>
#include <chrono>
#include <memory>

// A NetPC played by the test: greets (unless told not to), records every
// byte and command line and sends each reply as a block of its own.
class ScriptedPeer : public QObject
{
public:
    explicit ScriptedPeer(bool greets = true)
    {
        server.listen(QHostAddress::LocalHost, 0);
        connect(&server, &QTcpServer::newConnection, this, [this, greets] {
            socket = server.nextPendingConnection();
            socket->setSocketOption(QAbstractSocket::LowDelayOption, 1);
            connect(socket, &QTcpSocket::readyRead, this, [this] {
                raw += socket->readAll();
                lines = QString::fromLatin1(raw).remove(QLatin1Char('\r')).split('\n');
                lines.removeLast(); // not yet ended
            });
            if (greets)
                send("gol_kovra");
        });
    }
    quint16 port() const { return server.serverPort(); }

    // Waits until the link has handled the reply, so two never arrive as one block.
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
    QByteArray raw; // everything received
    QStringList lines;
};

// The lab's worked example in box 1: voltage 5, open circuit 10,
// amplification 100, a 10-minute scope, no cycle.
inline void exampleBox(Settings &s)
{
    s.ActiveBox = 1;
    s.ScopeOfTime = 10;
    s.Box(1).Ein = { 0, 1, 20, 5, 0, 350, 100, 0.18f, 0.5f, 10, 10 };
}

// Connects with waits short enough for tests; true once greeted.
inline bool connectLink(
    NetLink &link, quint16 port, std::chrono::milliseconds extra = std::chrono::milliseconds(30))
{
    ProtocolTimeouts t;
    t.measurementExtra = extra;
    t.breakReply = t.trace = std::chrono::milliseconds(200);
    link.setTimeouts(t);
    link.ConnectNetPC(QStringLiteral("127.0.0.1"), port);
    return QTest::qWaitFor([&] { return link.netState() == NetLink::StateGreeting; }, 2000);
}

// A simulated NetPC on a free loopback port, `speed` times the instrument's
// pace, playing `fault` ("" for none).
inline std::unique_ptr<NetPcSimulator> startSimulator(double speed, const QString &fault = {})
{
    SimulatorOptions options;
    options.speed = speed;
    if (!fault.isEmpty() && !options.applyFault(fault))
        return nullptr;
    auto sim = std::make_unique<NetPcSimulator>(options);
    return sim->listen(QHostAddress::LocalHost, 0) ? std::move(sim) : nullptr;
}

#include "instrument/NetLink.h"
#include "shell/ScriptedMessages.h"

#include <QSignalSpy>
#include <QTcpServer>
#include <QTcpSocket>
#include <QtTest>

using namespace std::chrono_literals;

namespace
{

// The far end of the link: accepts one connection, records what arrives
// and sends whatever the test hands it.
class LoopbackPeer : public QObject
{
public:
    LoopbackPeer()
    {
        server.listen(QHostAddress::LocalHost, 0);
        connect(&server, &QTcpServer::newConnection, this, [this] {
            socket = server.nextPendingConnection();
            socket->setSocketOption(QAbstractSocket::LowDelayOption, 1);
            connect(
                socket, &QTcpSocket::readyRead, this, [this] { received += socket->readAll(); });
        });
    }
    quint16 port() const { return server.serverPort(); }
    bool waitForClient()
    {
        return QTest::qWaitFor([this] { return socket != nullptr; }, 2000);
    }
    void send(const QByteArray &block)
    {
        socket->write(block);
        socket->flush();
    }

    QTcpServer server;
    QTcpSocket *socket = nullptr;
    QByteArray received;
};

// Opens an error message and, while it is open, lets another reply arrive,
// as a modal message box's own event loop would.
class ReenteringMessages : public ScriptedMessages
{
public:
    void show(const QString &text, Icon icon) override
    {
        ScriptedMessages::show(text, icon);
        if (link && !arriving.isEmpty())
            link->handleBlock(arriving.takeFirst());
        statesDuringMessage = handledDuringMessage;
    }
    NetLink *link = nullptr;
    QList<QByteArray> arriving;
    int handledDuringMessage = 0;
    int statesDuringMessage = -1;
};

ProtocolTimeouts quickTimeouts()
{
    ProtocolTimeouts t;
    t.greeting = 150ms;
    return t;
}

} // namespace

class TestLink : public QObject
{
    Q_OBJECT

private slots:
    void commandLinesOnTheWire_data();
    void commandLinesOnTheWire();
    void nothingIsSentWhileUnconnected();
    void replyKeywordsSetTheState_data();
    void replyKeywordsSetTheState();
    void errorReplyTextIsMadeReadable_data();
    void errorReplyTextIsMadeReadable();
    void dataLinesStopAtTheEndOfTheList();
    void replyArrivingDuringAMessageWaitsItsTurn();
    void blocksFromTheSocketAreRepliesInOrder();
};

void TestLink::commandLinesOnTheWire_data()
{
    QTest::addColumn<QString>("command");
    QTest::addColumn<QByteArray>("wire");
    QTest::newRow("init") << "INIT" << QByteArray("run INIT\n\r");
    QTest::newRow("trace without run") << "trace 1" << QByteArray("trace 1\n\r");
    QTest::newRow("zero") << "ZERO 5 1.25 36000 165 500 3000"
                          << QByteArray("run ZERO 5 1.25 36000 165 500 3000\n\r");
    QTest::newRow("trace test is case-sensitive") << "Trace 1" << QByteArray("run Trace 1\n\r");
    QTest::newRow("start keeps its blanks")
        << "START  5 1.25  600000  180  500  10000"
        << QByteArray("run START  5 1.25  600000  180  500  10000\n\r");
}

void TestLink::commandLinesOnTheWire()
{
    QFETCH(QString, command);
    QFETCH(QByteArray, wire);
    QCOMPARE(NetLink::wireLine(command), wire);

    LoopbackPeer peer;
    ScriptedMessages messages;
    NetLink link(messages);
    QSignalSpy greeted(&link, &NetLink::connectFinished);
    link.ConnectNetPC(QStringLiteral("127.0.0.1"), peer.port());
    QVERIFY(peer.waitForClient());
    peer.send("gol_kovra");
    QVERIFY(greeted.wait(2000));
    QCOMPARE(greeted.first().first().toBool(), true);
    QCOMPARE(link.netState(), NetLink::StateGreeting);

    link.SendNetPC(command);
    QTRY_COMPARE(peer.received, wire);
    QVERIFY(messages.entries.isEmpty());
}

void TestLink::nothingIsSentWhileUnconnected()
{
    ScriptedMessages messages;
    NetLink link(messages);
    QVERIFY(!link.isConnected());
    link.SendNetPC(QStringLiteral("INIT"));
    QVERIFY(messages.entries.isEmpty());
    QCOMPARE(link.netState(), NetLink::StateNone);

    // A peer that accepts but never greets: the line still goes nowhere
    // before the connection stands, and the silence costs one message.
    LoopbackPeer peer;
    link.setTimeouts(quickTimeouts());
    link.SendNetPC(QStringLiteral("INIT"));
    link.ConnectNetPC(QStringLiteral("127.0.0.1"), peer.port());
    QSignalSpy finished(&link, &NetLink::connectFinished);
    QVERIFY(finished.wait(2000));
    QCOMPARE(finished.first().first().toBool(), false);
    QTest::qWait(200);
    QCOMPARE(finished.size(), 1);
    QCOMPARE(messages.texts(), QStringList { "Error Connection NetPC" });
    QVERIFY(peer.received.isEmpty());
}

void TestLink::replyKeywordsSetTheState_data()
{
    QTest::addColumn<QByteArray>("reply");
    QTest::addColumn<int>("state");
    QTest::addColumn<bool>("stored");
    QTest::addColumn<bool>("message");
    QTest::newRow("greeting has no OK") << QByteArray("gol_kovra\r\n") << 3 << false << false;
    QTest::newRow("ok") << QByteArray("OK\r\n") << 4 << false << false;
    QTest::newRow("ok is case-sensitive") << QByteArray("ok\r\n") << 2 << false << false;
    QTest::newRow("error") << QByteArray("ERR 17\r\n") << 5 << false << true;
    QTest::newRow("data") << QByteArray("DATA 0.1 3000\r\n") << 6 << true << false;
    QTest::newRow("data after ok wins")
        << QByteArray("DATA 0.1 3000\r\nOK\r\n") << 6 << true << false;
    QTest::newRow("set after data wins") << QByteArray("DATA 1 2 set") << 7 << true << false;
    QTest::newRow("set") << QByteArray("set\r\n") << 7 << false << false;
    QTest::newRow("anything else") << QByteArray("hello") << 2 << false << false;
}

void TestLink::replyKeywordsSetTheState()
{
    QFETCH(QByteArray, reply);
    QFETCH(int, state);
    QFETCH(bool, stored);
    QFETCH(bool, message);

    ScriptedMessages messages;
    NetLink link(messages);
    QSignalSpy handled(&link, &NetLink::replyHandled);
    link.handleBlock(reply);
    QCOMPARE(link.netState(), state);
    QCOMPARE(handled.size(), 1);
    QCOMPARE(handled.first().first().toInt(), state);
    QCOMPARE(link.dataCount(), stored ? 1 : 0);
    QCOMPARE(link.dataLine(1), stored ? QString::fromLatin1(reply) : QString());
    QVERIFY(link.dataLine(0).isEmpty());
    QCOMPARE(messages.entries.size(), message ? 1 : 0);
}

void TestLink::errorReplyTextIsMadeReadable_data()
{
    QTest::addColumn<QString>("reply");
    QTest::addColumn<QString>("shown");
    QTest::newRow("line end dropped") << "ERR 17 no sample\r\n"
                                      << "ERR 17 no sample";
    QTest::newRow("inner control characters visible")
        << QString::fromLatin1("ERR\tA\x01\x1b\nB\x7f") << "ERR\\tA\\x01\\x1b\\nB\\x7f";
    QTest::newRow("long reply cut")
        << QStringLiteral("ERR ") + QString(500, QLatin1Char('x'))
        << QStringLiteral("ERR ") + QString(196, QLatin1Char('x')) + QStringLiteral("...");
    QTest::newRow("exactly the limit is not cut")
        << QStringLiteral("ERR") + QString(197, QLatin1Char('E'))
        << QStringLiteral("ERR") + QString(197, QLatin1Char('E'));
}

void TestLink::errorReplyTextIsMadeReadable()
{
    QFETCH(QString, reply);
    QFETCH(QString, shown);
    QCOMPARE(NetLink::shownReplyText(reply), shown);

    ScriptedMessages messages;
    NetLink link(messages);
    link.handleBlock(reply.toLatin1());
    QCOMPARE(messages.texts(), QStringList { shown });
    QCOMPARE(messages.entries.first().question, false);
}

void TestLink::dataLinesStopAtTheEndOfTheList()
{
    ScriptedMessages messages;
    NetLink link(messages);
    QSignalSpy handled(&link, &NetLink::replyHandled);
    for (int k = 1; k <= 600; ++k)
        link.handleBlock(QStringLiteral("DATA 0.%1 %2").arg(k).arg(k * 1000).toLatin1());
    QCOMPARE(handled.size(), 600);
    QCOMPARE(link.dataCount(), 500);
    QCOMPARE(link.dataLine(1), QStringLiteral("DATA 0.1 1000"));
    QCOMPARE(link.dataLine(500), QStringLiteral("DATA 0.500 500000"));
    QVERIFY(link.dataLine(501).isEmpty());
    QVERIFY(link.dataLine(-1).isEmpty());
    QVERIFY(!link.storeDataLine(QStringLiteral("DATA 0.04  1000")));

    link.setDataCount(0);
    QVERIFY(link.storeDataLine(QStringLiteral("DATA 0.04  1000")));
    QCOMPARE(link.dataCount(), 1);
    link.setDataCount(9999);
    QCOMPARE(link.dataCount(), 500);
}

void TestLink::replyArrivingDuringAMessageWaitsItsTurn()
{
    ReenteringMessages messages;
    NetLink link(messages);
    messages.link = &link;
    messages.arriving = { "DATA 0.2 3000" };
    QList<int> states;
    connect(&link, &NetLink::replyHandled, this, [&](int state) {
        states.append(state);
        ++messages.handledDuringMessage;
    });

    link.handleBlock("ERR 3 overload");
    // The data reply was not handled while the message was open, then
    // followed as a reply of its own.
    QCOMPARE(messages.statesDuringMessage, 0);
    QCOMPARE(states, (QList<int> { NetLink::StateError, NetLink::StateData }));
    QCOMPARE(link.dataCount(), 1);
    QCOMPARE(link.dataLine(1), QStringLiteral("DATA 0.2 3000"));
    QCOMPARE(messages.texts(), QStringList { "ERR 3 overload" });
}

void TestLink::blocksFromTheSocketAreRepliesInOrder()
{
    LoopbackPeer peer;
    ScriptedMessages messages;
    NetLink link(messages);
    link.ConnectNetPC(QStringLiteral("127.0.0.1"), peer.port());
    QVERIFY(peer.waitForClient());
    QTRY_VERIFY(link.isConnected());

    QList<int> states;
    connect(&link, &NetLink::replyHandled, this, [&](int state) { states.append(state); });
    const QList<QByteArray> replies { "gol_kovra", "DATA 0.1 3000", "DATA 0.2 6000", "OK" };
    for (const QByteArray &reply : replies) {
        peer.send(reply);
        QTest::qWait(30);
    }
    QTRY_COMPARE(states.size(), 4);
    QCOMPARE(states, (QList<int> { 3, 6, 6, 4 }));
    QCOMPARE(link.dataLine(2), QStringLiteral("DATA 0.2 6000"));

    QSignalSpy closed(&link, &NetLink::closed);
    link.CloseNetPC();
    QVERIFY(closed.size() == 1 || closed.wait(2000));
    QVERIFY(link.isClosed());
}

QTEST_GUILESS_MAIN(TestLink)
#include "test_link.moc"

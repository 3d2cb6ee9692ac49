#include "MeasurementFixture.h"

#include <QSignalSpy>

using namespace std::chrono_literals;

namespace
{

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
        handledWhileOpen = handled;
    }
    NetLink *link = nullptr;
    QList<QByteArray> arriving;
    int handled = 0;
    int handledWhileOpen = -1;
};

} // namespace

class TestLink : public QObject
{
    Q_OBJECT

private slots:
    void commandLinesOnTheWire_data();
    void commandLinesOnTheWire();
    void nothingIsSentWhileUnconnected();
    void repliesSetTheState_data();
    void repliesSetTheState();
    void dataLinesStopAtTheEndOfTheList();
    void replyArrivingDuringAMessageWaitsItsTurn();
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
}

void TestLink::commandLinesOnTheWire()
{
    QFETCH(QString, command);
    QFETCH(QByteArray, wire);
    ScriptedPeer peer;
    ScriptedMessages messages;
    NetLink link(messages);
    QVERIFY(connectLink(link, peer)); // the greeting leaves state 3

    link.SendNetPC(command);
    QTRY_COMPARE(peer.raw, wire);
    QVERIFY(messages.entries.isEmpty());
    link.CloseNetPC();
    QTRY_VERIFY(link.isClosed());
}

void TestLink::nothingIsSentWhileUnconnected()
{
    ScriptedMessages messages;
    NetLink link(messages);
    link.SendNetPC(QStringLiteral("INIT"));
    QVERIFY(messages.entries.isEmpty());
    QCOMPARE(link.netState(), NetLink::StateNone);

    // A peer that accepts but never greets: the silence costs one message,
    // and the line sent before still went nowhere.
    ScriptedPeer silent(false);
    ProtocolTimeouts t;
    t.greeting = 150ms;
    link.setTimeouts(t);
    QSignalSpy finished(&link, &NetLink::connectFinished);
    link.ConnectNetPC(QStringLiteral("127.0.0.1"), silent.port());
    QVERIFY(finished.wait(2000));
    QCOMPARE(finished.first().first().toBool(), false);
    QTest::qWait(200);
    QCOMPARE(finished.size(), 1);
    QCOMPARE(messages.texts(), QStringList { "Error Connection NetPC" });
    QVERIFY(silent.raw.isEmpty());
}

void TestLink::repliesSetTheState_data()
{
    QTest::addColumn<QByteArray>("reply");
    QTest::addColumn<int>("state");
    QTest::addColumn<bool>("stored");
    QTest::addColumn<QString>("shown"); // the message, if any
    QTest::newRow("greeting has no OK") << QByteArray("gol_kovra\r\n") << 3 << false << "";
    QTest::newRow("ok") << QByteArray("OK\r\n") << 4 << false << "";
    QTest::newRow("ok is case-sensitive") << QByteArray("ok\r\n") << 2 << false << "";
    QTest::newRow("data") << QByteArray("DATA 0.1 3000\r\n") << 6 << true << "";
    QTest::newRow("data after ok wins") << QByteArray("DATA 0.1 3000\r\nOK\r\n") << 6 << true << "";
    QTest::newRow("set after data wins") << QByteArray("DATA 1 2 set") << 7 << true << "";
    QTest::newRow("anything else") << QByteArray("hello") << 2 << false << "";
    QTest::newRow("error, line end dropped") << QByteArray("ERR 17\r\n") << 5 << false << "ERR 17";
    QTest::newRow("error, control characters visible")
        << QByteArray("ERR\tA\x01\x1b\nB\x7f") << 5 << false << "ERR\\tA\\x01\\x1b\\nB\\x7f";
    QTest::newRow("error, long reply cut")
        << QByteArray("ERR ").append(500, 'x') << 5 << false << "ERR " + QString(196, 'x') + "...";
    QTest::newRow("error, exactly the limit")
        << QByteArray("ERR").append(197, 'E') << 5 << false << "ERR" + QString(197, 'E');
}

void TestLink::repliesSetTheState()
{
    QFETCH(QByteArray, reply);
    QFETCH(int, state);
    QFETCH(bool, stored);
    QFETCH(QString, shown);
    ScriptedMessages messages;
    NetLink link(messages);
    QSignalSpy handled(&link, &NetLink::replyHandled);
    link.handleBlock(reply);
    QCOMPARE(link.netState(), state);
    QCOMPARE(handled.size(), 1);
    QCOMPARE(handled.first().first().toInt(), state);
    QCOMPARE(link.dataCount(), stored ? 1 : 0);
    QCOMPARE(link.dataLine(1), stored ? QString::fromLatin1(reply) : QString());
    QCOMPARE(messages.texts(), shown.isEmpty() ? QStringList() : QStringList { shown });
    if (!shown.isEmpty())
        QVERIFY(!messages.entries.first().question);
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
    QCOMPARE(link.dataLine(500), QStringLiteral("DATA 0.500 500000"));
    QVERIFY(link.dataLine(501).isEmpty());
    QVERIFY(!link.storeDataLine(QStringLiteral("DATA 0.04  1000")));
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
        ++messages.handled;
    });

    link.handleBlock("ERR 3 overload");
    // Not handled while the message was open, then as a reply of its own.
    QCOMPARE(messages.handledWhileOpen, 0);
    QCOMPARE(states, (QList<int> { NetLink::StateError, NetLink::StateData }));
    QCOMPARE(link.dataLine(1), QStringLiteral("DATA 0.2 3000"));
    QCOMPARE(messages.texts(), QStringList { "ERR 3 overload" });
}

QTEST_GUILESS_MAIN(TestLink)
#include "test_link.moc"

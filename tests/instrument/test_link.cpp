#include "MeasurementFixture.h"

#include <QSignalSpy>

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
    void lineEndedRepliesAreFramedHoweverTheyArrive_data();
    void lineEndedRepliesAreFramedHoweverTheyArrive();
    void aPieceWithoutLineEndIsTakenAfterTheQuietTime();
    void peersThatEndLinesOverTheSocket();
    void peersThatNeverEndLinesOverTheSocket();
};

void TestLink::commandLinesOnTheWire_data()
{
    QTest::addColumn<QString>("command");
    QTest::addColumn<QByteArray>("wire");
    QTest::newRow("init") << "INIT" << QByteArray("run INIT\n\r");
    QTest::newRow("trace without run") << "trace 1" << QByteArray("trace 1\n\r");
    QTest::newRow("zero") << "ZERO 5 1.25 36000 165 500 3000"
                          << QByteArray("run ZERO 5 1.25 36000 165 500 3000\n\r");
}

void TestLink::commandLinesOnTheWire()
{
    QFETCH(QString, command);
    QFETCH(QByteArray, wire);
    ScriptedPeer peer;
    ScriptedMessages messages;
    NetLink link(messages);
    QVERIFY(connectLink(link, peer.port())); // the greeting leaves state 3

    link.SendNetPC(command);
    QTRY_COMPARE(peer.raw, wire);
    QVERIFY(messages.entries.isEmpty());
}

void TestLink::nothingIsSentWhileUnconnected()
{
    ScriptedMessages messages;
    NetLink link(messages);
    link.SendNetPC(QStringLiteral("INIT"));
    QVERIFY(messages.entries.isEmpty());
    QCOMPARE(link.netState(), NetLink::StateNone);
}

void TestLink::repliesSetTheState_data()
{
    QTest::addColumn<QByteArray>("reply");
    QTest::addColumn<int>("state");
    QTest::addColumn<bool>("stored");
    QTest::addColumn<QString>("shown"); // the message, if any
    QTest::newRow("greeting has no OK") << QByteArray("gol_kovra\r\n") << 3 << false << "";
    QTest::newRow("ok") << QByteArray("OK\r\n") << 4 << false << "";
    QTest::newRow("data after ok wins") << QByteArray("OK DATA 0.1 3000") << 6 << true << "";
    QTest::newRow("set after data wins") << QByteArray("DATA 1 2 set") << 7 << true << "";
    QTest::newRow("error, control characters visible")
        << QByteArray("ERR\tA\x01\x1b\x0b\x7f") << 5 << false << "ERR\\tA\\x01\\x1b\\x0b\\x7f";
    QTest::newRow("error, long reply cut")
        << QByteArray("ERR ").append(500, 'x') << 5 << false << "ERR " + QString(196, 'x') + "...";
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
    QCOMPARE(link.dataCount(), stored ? 1 : 0);
    QCOMPARE(link.dataLine(1), stored ? QString::fromLatin1(reply).trimmed() : QString());
    QCOMPARE(messages.texts(), shown.isEmpty() ? QStringList() : QStringList { shown });
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
}

void TestLink::lineEndedRepliesAreFramedHoweverTheyArrive_data()
{
    // Blocks as TCP hands them over; the link must see the same replies.
    QTest::addColumn<QList<QByteArray>>("blocks");
    QTest::newRow("two in one block")
        << QList<QByteArray> { "DATA 1.5 3000\r\nDATA 2.0 6000\r\n", "OK\r\n" };
    QTest::newRow("split inside a number")
        << QList<QByteArray> { "DATA 1.", "5 3000\r", "\nDATA 2.0 60", "00\r\nOK\r\n" };
    QTest::newRow("LF CR, CR alone, LF alone")
        << QList<QByteArray> { "DATA 1.5 3000\n\rDATA 2.0 6000\r", "OK\n" };
    QTest::newRow("blanks around")
        << QList<QByteArray> { "  DATA 1.5 3000 \r\n DATA 2.0 6000  \r\n", "OK \r\n" };
    QTest::newRow("last reading and OK together")
        << QList<QByteArray> { "DATA 1.5 3000\r\n", "DATA 2.0 6000\r\nOK\r\n" };
}

void TestLink::lineEndedRepliesAreFramedHoweverTheyArrive()
{
    QFETCH(QList<QByteArray>, blocks);
    ScriptedMessages messages;
    NetLink link(messages);
    QList<int> states;
    connect(&link, &NetLink::replyHandled, this, [&](int state) { states << state; });
    link.handleBlock("gol_kovra\r\n");
    for (const QByteArray &block : blocks)
        link.handleBlock(block);
    QCOMPARE(states, (QList<int> { 3, 6, 6, 4 }));
    QCOMPARE(link.dataCount(), 2);
    QCOMPARE(link.dataLine(1), QStringLiteral("DATA 1.5 3000"));
    QCOMPARE(link.dataLine(2), QStringLiteral("DATA 2.0 6000"));
}

void TestLink::aPieceWithoutLineEndIsTakenAfterTheQuietTime()
{
    ScriptedMessages messages;
    NetLink link(messages);
    QSignalSpy handled(&link, &NetLink::replyHandled);
    link.handleBlock("gol_kovra\r\nDATA 1.5 ");
    QCOMPARE(handled.size(), 1);
    link.handleBlock("3000");
    QTest::qWait(50); // still waiting for the rest
    QCOMPARE(handled.size(), 1);
    QTRY_COMPARE(handled.size(), 2);
    QCOMPARE(link.dataLine(1), QStringLiteral("DATA 1.5 3000"));

    // Tests that shorten every wait shorten this one too.
    link.setTimeouts(ProtocolTimeouts::scaledDown(20));
    link.handleBlock("OK");
    QTRY_COMPARE_WITH_TIMEOUT(handled.size(), 3, 150);
}

void TestLink::peersThatEndLinesOverTheSocket()
{
    ScriptedPeer peer;
    ScriptedMessages messages;
    NetLink link(messages);
    QVERIFY(connectLink(link, peer.port())); // greeted without a line end
    QVERIFY(!link.peerEndsLines());
    QSignalSpy handled(&link, &NetLink::replyHandled);
    peer.send("DATA 1.5 3000\r\nDATA 2.0 ");
    QTest::qWait(20);
    peer.send("6000\r\nOK\r\n");
    QTRY_COMPARE(handled.size(), 3);
    QVERIFY(link.peerEndsLines());
    QCOMPARE(link.dataLine(2), QStringLiteral("DATA 2.0 6000"));
    QCOMPARE(link.netState(), NetLink::StateOk);

    // A reply cut off by the closing link is not taken.
    peer.send("DATA 9.9 ");
    QTest::qWait(20);
    peer.socket->abort();
    QTRY_VERIFY(link.isClosed());
    QTest::qWait(2 * link.timeouts().replyQuiet.count());
    QCOMPARE(handled.size(), 3);
}

void TestLink::peersThatNeverEndLinesOverTheSocket()
{
    // Such a peer's replies are told apart only by arriving apart.
    ScriptedPeer peer(false);
    ScriptedMessages messages;
    NetLink link(messages);
    link.ConnectNetPC(QStringLiteral("127.0.0.1"), peer.port());
    QTRY_VERIFY(peer.socket);
    QVERIFY(peer.reply(link, "gol_kovra"));
    for (const char *reply : { "DATA 1.5 3000", "DATA 2.0 6000 ", "OK" }) {
        QTest::qWait(50);
        QVERIFY(peer.reply(link, reply));
    }
    QVERIFY(!link.peerEndsLines());
    QCOMPARE(link.dataCount(), 2);
    QCOMPARE(link.dataLine(2), QStringLiteral("DATA 2.0 6000"));
    QCOMPARE(link.netState(), NetLink::StateOk);
}

QTEST_GUILESS_MAIN(TestLink)
#include "test_link.moc"

#include "instrument/NetLink.h"
#include "instrument/ZeroPointDetermination.h"
#include "shell/ScriptedMessages.h"
#include "shell/Settings.h"
#include "simulator/NetPcSimulator.h"

#include <QSignalSpy>
#include <QtTest>

using namespace std::chrono_literals;

namespace
{

ProtocolTimeouts shortTimeouts(std::chrono::milliseconds zeroPoint)
{
    ProtocolTimeouts t = ProtocolTimeouts::scaledDown(100);
    t.zeroPoint = zeroPoint;
    return t;
}

// A zero-point run on an unconnected link; the test plays the NetPC by
// handing the link its replies.
struct Bench {
    ScriptedMessages messages;
    NetLink link { messages };
    Settings settings;
    ZeroPointDetermination zero { link, messages, settings };
    QSignalSpy finished { &zero, &ZeroPointDetermination::finished };

    explicit Bench(std::chrono::milliseconds deadline = 100ms)
    {
        settings.ZeroPoint = -99;
        link.setTimeouts(shortTimeouts(deadline));
    }
};

} // namespace

class TestZeroPoint : public QObject
{
    Q_OBJECT

private slots:
    void repliesAreAveraged_data();
    void repliesAreAveraged();
    void repliesArrivingTogetherAreAllCounted();
    void deadlineRestartsWithEveryDataReply();
    void fullListIsNotCountedTwice();
    void vanishingPeerEndsByTheDeadline();
};

void TestZeroPoint::repliesAreAveraged_data()
{
    QTest::addColumn<QList<QByteArray>>("replies");
    QTest::addColumn<float>("zeroPoint");
    QTest::addColumn<QStringList>("messages");
    const QStringList none;
    const QStringList noData { "No Data received" };
    // The last reading counts twice, the divisor is the number of readings.
    QTest::newRow("three then OK")
        << QList<QByteArray> { "DATA 0.1 3000", "DATA 0.2 6000", "DATA 0.3 9000", "OK" } << 3.0f
        << none;
    QTest::newRow("one then OK") << QList<QByteArray> { "DATA 0.05 3000", "OK" } << 1.0f << none;
    QTest::newRow("OK alone") << QList<QByteArray> { "OK" } << 0.0f << none;
    QTest::newRow("no reply") << QList<QByteArray> {} << 0.0f << noData;
    QTest::newRow("data stop") << QList<QByteArray> { "DATA 0.1 3000", "DATA 0.2 6000" } << 2.5f
                               << noData;
    QTest::newRow("OK hidden behind data")
        << QList<QByteArray> { "DATA 0.1 3000\r\nOK\r\n" } << 2.0f << noData;
    QTest::newRow("error and trace replies ignored")
        << QList<QByteArray> { "DATA 0.1 3000", "ERR 4", "set", "DATA 0.3 6000", "OK" } << 3.5f
        << QStringList { "ERR 4" };
}

void TestZeroPoint::repliesAreAveraged()
{
    QFETCH(QList<QByteArray>, replies);
    QFETCH(float, zeroPoint);
    QFETCH(QStringList, messages);

    Bench b;
    b.zero.start();
    QCOMPARE(b.link.netState(), NetLink::StateWaiting);
    QVERIFY(b.zero.isRunning());
    for (const QByteArray &reply : replies)
        b.link.handleBlock(reply);
    QVERIFY(b.finished.size() == 1 || b.finished.wait(2000));
    QVERIFY(!b.zero.isRunning());
    QCOMPARE(b.settings.ZeroPoint, zeroPoint);
    QCOMPARE(b.finished.first().first().toFloat(), zeroPoint);
    QCOMPARE(b.messages.texts(), messages);
    QTest::qWait(150);
    QCOMPARE(b.finished.size(), 1);
}

void TestZeroPoint::repliesArrivingTogetherAreAllCounted()
{
    // Two replies handed over before the event loop runs again: both are
    // readings, not only the later one.
    Bench b;
    b.zero.start();
    b.link.handleBlock("DATA 0.1 3000");
    b.link.handleBlock("DATA 0.5 6000");
    b.link.handleBlock("OK");
    QCOMPARE(b.finished.size(), 1);
    // (0.1 + 0.5 + 0.5) / 2 * 10
    QCOMPARE(b.settings.ZeroPoint, 5.5f);
}

void TestZeroPoint::deadlineRestartsWithEveryDataReply()
{
    // Readings every 120 ms against a 200 ms deadline: 480 ms in all, yet
    // no gap exceeds the deadline.
    Bench b(200ms);
    b.zero.start();
    for (int k = 1; k <= 4; ++k) {
        QTest::qWait(120);
        QVERIFY(b.finished.isEmpty());
        b.link.handleBlock(QStringLiteral("DATA 0.2 %1").arg(k * 3000).toLatin1());
    }
    b.link.handleBlock("OK");
    QCOMPARE(b.finished.size(), 1);
    QVERIFY(b.messages.entries.isEmpty());
    QCOMPARE(b.settings.ZeroPoint, 2.5f);
}

void TestZeroPoint::fullListIsNotCountedTwice()
{
    // Beyond the list's end no reading is stored, so none is taken.
    Bench b;
    b.zero.start();
    for (int k = 1; k <= 510; ++k)
        b.link.handleBlock(
            QStringLiteral("DATA %1 %2").arg(k <= 500 ? "0.1" : "9").arg(k).toLatin1());
    b.link.handleBlock("OK");
    QCOMPARE(b.link.dataCount(), 500);
    QCOMPARE(b.settings.ZeroPoint, float(0.1 * 501 / 500 * 10));
}

void TestZeroPoint::vanishingPeerEndsByTheDeadline()
{
    SimulatorOptions options;
    options.speed = 200;
    options.dropAfter = 4; // the greeting and three readings
    NetPcSimulator simulator(options);
    QVERIFY(simulator.listen(QHostAddress::LocalHost, 0));

    ScriptedMessages messages;
    NetLink link(messages);
    link.setTimeouts(shortTimeouts(300ms));
    Settings settings;
    ZeroPointDetermination zero(link, messages, settings);
    QSignalSpy greeted(&link, &NetLink::connectFinished);
    link.ConnectNetPC(QStringLiteral("127.0.0.1"), simulator.serverPort());
    QVERIFY(greeted.wait(2000));

    QSignalSpy finished(&zero, &ZeroPointDetermination::finished);
    zero.start();
    QVERIFY(finished.wait(5000));
    QCOMPARE(messages.texts(), QStringList { "No Data received" });
    QCOMPARE(link.dataCount(), 3);
    double sum = 0;
    for (int k = 1; k <= 3; ++k)
        sum += ZeroPointDetermination::readingOf(link.dataLine(k), 0);
    sum += ZeroPointDetermination::readingOf(link.dataLine(3), 0);
    QCOMPARE(settings.ZeroPoint, float(sum / 3 * 10));
}

QTEST_GUILESS_MAIN(TestZeroPoint)
#include "test_zeropoint.moc"

#include "MeasurementFixture.h"

#include "instrument/ZeroPointDetermination.h"

#include <QSignalSpy>

using namespace std::chrono_literals;

namespace
{

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
        ProtocolTimeouts t = ProtocolTimeouts::scaledDown(100);
        t.zeroPoint = deadline;
        link.setTimeouts(t);
    }
};

} // namespace

class TestZeroPoint : public QObject
{
    Q_OBJECT

private slots:
    void repliesAreAveraged_data();
    void repliesAreAveraged();
    void vanishingPeerEndsByTheDeadline();
    void everyReadingRestartsTheDeadline();
};

void TestZeroPoint::repliesAreAveraged_data()
{
    QTest::addColumn<QList<QByteArray>>("replies");
    QTest::addColumn<float>("zeroPoint");
    QTest::addColumn<QStringList>("messages");
    const QStringList none;
    const QStringList noData { "No Data received" };
    // The last reading counts twice, the divisor is the number of readings.
    // Every row's replies arrive before the event loop runs again: each of
    // them is a reading, not only the latest.
    QTest::newRow("three then OK")
        << QList<QByteArray> { "DATA 0.1 3000", "DATA 0.2 6000", "DATA 0.3 9000", "OK" } << 3.0f
        << none;
    QTest::newRow("one then OK") << QList<QByteArray> { "DATA 0.05 3000", "OK" } << 1.0f << none;
    QTest::newRow("OK alone") << QList<QByteArray> { "OK" } << 0.0f << none;
    QTest::newRow("no reply") << QList<QByteArray> {} << 0.0f << noData;
    QTest::newRow("last reading and OK in one block")
        << QList<QByteArray> { "DATA 0.1 3000\r\nOK\r\n" } << 2.0f << none;
}

void TestZeroPoint::repliesAreAveraged()
{
    QFETCH(QList<QByteArray>, replies);
    QFETCH(float, zeroPoint);
    QFETCH(QStringList, messages);

    Bench b;
    b.zero.start();
    for (const QByteArray &reply : replies)
        b.link.handleBlock(reply);
    QVERIFY(b.finished.size() == 1 || b.finished.wait(2000));
    QCOMPARE(b.settings.ZeroPoint, zeroPoint);
    QCOMPARE(b.messages.texts(), messages);
}

void TestZeroPoint::vanishingPeerEndsByTheDeadline()
{
    const auto sim = startSimulator(200, QStringLiteral("drop=4")); // greeting, three readings
    QVERIFY(sim);
    Bench b(300ms);
    QSignalSpy greeted(&b.link, &NetLink::connectFinished);
    b.link.ConnectNetPC(QStringLiteral("127.0.0.1"), sim->serverPort());
    QVERIFY(greeted.wait(2000));

    b.zero.start();
    QVERIFY(b.finished.wait(5000));
    QCOMPARE(b.messages.texts(), QStringList { "No Data received" });
    QCOMPARE(b.link.dataCount(), 3);
    double sum = ZeroPointDetermination::readingOf(b.link.dataLine(3), 0);
    for (int k = 1; k <= 3; ++k)
        sum += ZeroPointDetermination::readingOf(b.link.dataLine(k), 0);
    QCOMPARE(b.settings.ZeroPoint, float(sum / 3 * 10));
}

void TestZeroPoint::everyReadingRestartsTheDeadline()
{
    Bench b(150ms);
    b.zero.start();
    for (int k = 1; k <= 5; ++k) {
        QTest::qWait(90); // well inside the wait, but 450 ms in all
        b.link.handleBlock(QStringLiteral("DATA 0.%1 %2").arg(k).arg(k * 3000).toLatin1());
    }
    b.link.handleBlock("OK");
    QCOMPARE(b.finished.size(), 1);
    QCOMPARE(b.messages.texts(), QStringList());
    QCOMPARE(b.settings.ZeroPoint, 4.0f); // (0.1 + ... + 0.5 + 0.5) / 5 * 10
}

QTEST_GUILESS_MAIN(TestZeroPoint)
#include "test_zeropoint.moc"

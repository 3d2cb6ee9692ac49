#include "MeasurementFixture.h"

#include "display/CurvePlot.h"
#include "display/RecordingSurface.h"
#include "evaluation/CurveEvaluation.h"
#include "instrument/MeasurementRun.h"
#include "instrument/MeasurementValues.h"
#include "simulator/NetPcSimulator.h"

#include <QSignalSpy>
#include <QtTest>

using namespace std::chrono_literals;

namespace
{

// A message box that, while it is open, lets the instrument's replies in, as
// the modal loop of a real message box does.
class RepliesWhileOpen : public ScriptedMessages
{
public:
    void show(const QString &text, Icon icon) override
    {
        ScriptedMessages::show(text, icon);
        if (text == QLatin1String("textErrRec") && peer && !arriving.isEmpty()) {
            for (const QByteArray &reply : std::exchange(arriving, {}))
                peer->reply(*link, reply);
        }
    }
    ScriptedPeer *peer = nullptr;
    NetLink *link = nullptr;
    QList<QByteArray> arriving;
};

float valueOf(double reading)
{
    BoxRecord b;
    b.Ein = { 0, 1, 20, 5, 0, 350, 100, 0.18f, 0.5f, 10, 10 };
    return ValueFromReading(reading, b);
}

} // namespace

class TestMeasurementRun : public QObject
{
    Q_OBJECT

private slots:
    void startCommand_data();
    void startCommand();
    void readingBecomesValue_data();
    void readingBecomesValue();
    void dataLineFields_data();
    void dataLineFields();

    void threeRepliesAndOk();
    void breakIsSentAfterTheNextPoint();
    void breakWithoutAnswerEndsTheRun();
    void timeoutsStoreSubstitutePointsAndTheEleventhEnds();
    void repliesDuringTheTimeoutMessageAreTakenAfterwardsInOrder();
    void errorReplyLeavesTheRunWaiting();
    void okFirstLeavesAnEmptyCurve();
    void aPeerSendingMoreDataEndsTheCurveAtItsLastPoint();
    void simulatorAtHighSpeed();
};

void TestMeasurementRun::startCommand_data()
{
    QTest::addColumn<int>("n");
    QTest::addColumn<float>("scope");
    QTest::addColumn<float>("cycle");
    QTest::addColumn<QString>("line");
    QTest::newRow("worked example")
        << 5 << 10.0f << 10.0f << "START  5 1.25  600000  180  500  10000";
    QTest::newRow("short scope, fractional cycle")
        << 4 << 2.5f << 1.7f << "START  4 1.25  150000  180  500  1700";
    QTest::newRow("longest scope keeps every digit")
        << 10 << 500.0f << 300.0f << "START  10 1.25  30000000  180  500  300000";
}

void TestMeasurementRun::startCommand()
{
    QFETCH(int, n);
    QFETCH(float, scope);
    QFETCH(float, cycle);
    QFETCH(QString, line);
    BoxRecord box;
    box.Ein[10] = scope;
    box.Ein[7] = 0.18f;
    box.Ein[8] = 0.5f;
    box.Ein[4] = cycle;
    QCOMPARE(StartCommand(n, box), line);
}

void TestMeasurementRun::readingBecomesValue_data()
{
    QTest::addColumn<double>("reading");
    QTest::addColumn<float>("ein3");
    QTest::addColumn<float>("value");
    QTest::newRow("open circuit reads 0 %") << 1.0 << 5.0f << 0.0f;
    QTest::newRow("2 V is 40.96 %") << 2.0 << 5.0f << 40.96f;
    QTest::newRow("below the open circuit") << 0.0 << 5.0f << -40.96f;
    QTest::newRow("no voltage gives no infinity") << 2.0 << 0.0f << 0.0f;
}

void TestMeasurementRun::readingBecomesValue()
{
    QFETCH(double, reading);
    QFETCH(float, ein3);
    QFETCH(float, value);
    BoxRecord box;
    box.Ein[9] = 10;
    box.Ein[3] = ein3;
    box.Ein[6] = 100;
    QCOMPARE(ValueFromReading(reading, box), value);
}

void TestMeasurementRun::dataLineFields_data()
{
    QTest::addColumn<QString>("line");
    QTest::addColumn<bool>("hasReading");
    QTest::addColumn<double>("reading");
    QTest::addColumn<bool>("hasTime");
    QTest::addColumn<double>("timeMs");
    QTest::newRow("well formed") << "DATA 1.0 30000" << true << 1.0 << true << 30000.0;
    QTest::newRow("line end") << "DATA 2.1875 1700\r\n" << true << 2.1875 << true << 1700.0;
    QTest::newRow("substitute point") << SubstituteDataLine(3) << true << 0.0 << false << 0.0;
    QTest::newRow("one field is a time") << "DATA 1.5" << false << 0.0 << true << 1.5;
    QTest::newRow("no blank at all") << "DATA" << false << 0.0 << true << 0.0;
    QTest::newRow("three fields") << "DATA 1.0 30000 7" << true << 30000.0 << false << 0.0;
}

void TestMeasurementRun::dataLineFields()
{
    QFETCH(QString, line);
    QFETCH(bool, hasReading);
    QFETCH(double, reading);
    QFETCH(bool, hasTime);
    QFETCH(double, timeMs);
    const DataLineFields f = ParseDataLine(line);
    QCOMPARE(f.reading.has_value(), hasReading);
    QCOMPARE(f.timeMs.has_value(), hasTime);
    if (hasReading)
        QCOMPARE(*f.reading, reading);
    if (hasTime)
        QCOMPARE(*f.timeMs, timeMs);
    QCOMPARE(SubstituteDataLine(0), QStringLiteral("DATA 0.04  0"));
}

void TestMeasurementRun::threeRepliesAndOk()
{
    ScriptedPeer peer;
    Settings s;
    exampleBox(s);
    ScriptedMessages messages;
    NetLink link(messages);
    QVERIFY(connectLink(link, peer, 5s));
    MeasurementRun run(s, link, messages);
    QSignalSpy points(&run, &MeasurementRun::pointStored);
    run.MeasureActiveBox();
    QTRY_VERIFY(peer.hasLine(QStringLiteral("run START  5 1.25  600000  180  500  0")));

    QVERIFY(peer.reply(link, "DATA 1.0 30000\r\n"));
    QVERIFY(peer.reply(link, "DATA 2.0 60000\r\n"));
    QVERIFY(peer.reply(link, "DATA 1.5 90000\r\n"));
    QVERIFY(run.isRunning());
    QVERIFY(peer.reply(link, "OK\r\n"));
    QVERIFY(run.hasFinished());

    const BoxRecord &b = s.Box(1);
    QCOMPARE(points.size(), 3);
    QCOMPARE(run.outcome(), MeasurementRun::Outcome::Completed);
    QCOMPARE(b.x[1], 0.0f);
    QCOMPARE(b.x[2], 40.96f);
    QCOMPARE(b.x[3], valueOf(1.5));
    QCOMPARE(b.x[4], CurveEndMark);
    QCOMPARE(b.x[0], b.x[1]);
    QCOMPARE(b.y[0], 0.0f);
    QCOMPARE(b.y[1], 30.0f);
    QCOMPARE(b.y[3], 90.0f);
    QCOMPARE(run.lastTimeMs().value_or(0), 90000.0);
    // Evaluated and checked on the way out.
    BoxRecord copy = b;
    EvaluateCurve(copy);
    QVERIFY(b.Erg == copy.Erg);
    QVERIFY(!peer.hasLine(QStringLiteral("run BREAK")));
    QVERIFY(messages.entries.isEmpty());
}

void TestMeasurementRun::breakIsSentAfterTheNextPoint()
{
    ScriptedPeer peer;
    Settings s;
    exampleBox(s);
    s.EndRequest = true; // left over from an earlier run: must not count
    ScriptedMessages messages;
    NetLink link(messages);
    QVERIFY(connectLink(link, peer, 5s));
    MeasurementRun run(s, link, messages);
    run.MeasureActiveBox();
    QVERIFY(!s.EndRequest);
    QVERIFY(peer.reply(link, "DATA 1.5 30000\r\n"));
    QCOMPARE(run.pointIndex(), 1);

    s.EndRequest = true;
    QTest::qWait(100);
    QVERIFY(!peer.hasLine(QStringLiteral("run BREAK")));
    QVERIFY(peer.reply(link, "DATA 2.0 60000\r\n"));
    QTRY_VERIFY(peer.hasLine(QStringLiteral("run BREAK")));
    QVERIFY(run.isRunning());

    // Data still on its way is not taken into the curve.
    QVERIFY(peer.reply(link, "DATA 2.5 90000\r\n"));
    QCOMPARE(run.pointIndex(), 2);
    QVERIFY(peer.reply(link, "OK\r\n"));
    QVERIFY(run.hasFinished());
    QCOMPARE(run.outcome(), MeasurementRun::Outcome::Ended);
    QCOMPARE(s.Box(1).x[2], 40.96f);
    QCOMPARE(s.Box(1).x[3], CurveEndMark);
}

void TestMeasurementRun::breakWithoutAnswerEndsTheRun()
{
    ScriptedPeer peer;
    Settings s;
    exampleBox(s);
    ScriptedMessages messages;
    NetLink link(messages);
    QVERIFY(connectLink(link, peer, 5s));
    MeasurementRun run(s, link, messages);
    QSignalSpy finished(&run, &MeasurementRun::finished);
    run.MeasureActiveBox();
    s.EndRequest = true;
    QVERIFY(peer.reply(link, "DATA 1.5 30000\r\n"));
    QTRY_VERIFY(peer.hasLine(QStringLiteral("run BREAK")));
    QVERIFY(finished.wait(2000)); // the scaled ten seconds
    QCOMPARE(run.outcome(), MeasurementRun::Outcome::Ended);
    QCOMPARE(s.Box(1).pointCount(), 2);
}

void TestMeasurementRun::timeoutsStoreSubstitutePointsAndTheEleventhEnds()
{
    ScriptedPeer peer;
    Settings s;
    exampleBox(s);
    ScriptedMessages messages;
    NetLink link(messages);
    QVERIFY(connectLink(link, peer, 20ms));
    MeasurementRun run(s, link, messages);
    QSignalSpy timeouts(&run, &MeasurementRun::timedOut);
    run.MeasureActiveBox();
    run.waitUntilFinished();

    QCOMPARE(run.outcome(), MeasurementRun::Outcome::TimedOut);
    QCOMPARE(messages.texts(), QStringList(11, QStringLiteral("textErrRec")));
    QCOMPARE(timeouts.size(), 11);
    QCOMPARE(timeouts.last().first().toInt(), 11);
    QCOMPARE(run.timeoutCount(), MeasurementRun::MaxTimeouts);
    const BoxRecord &b = s.Box(1);
    for (int k = 1; k <= 11; ++k) {
        QCOMPARE(link.dataLine(k), SubstituteDataLine(k - 1));
        QCOMPARE(b.y[size_t(k)], 0.0f); // a substitute point carries no time
        QCOMPARE(b.x[size_t(k)], valueOf(0));
    }
    QCOMPARE(b.x[12], CurveEndMark);
    QVERIFY(!peer.hasLine(QStringLiteral("run BREAK")));
}

void TestMeasurementRun::repliesDuringTheTimeoutMessageAreTakenAfterwardsInOrder()
{
    ScriptedPeer peer;
    Settings s;
    exampleBox(s);
    RepliesWhileOpen messages;
    NetLink link(messages);
    QVERIFY(connectLink(link, peer, 300ms));
    messages.peer = &peer;
    messages.link = &link;
    messages.arriving = { "DATA 2.0 60000\r\n", "DATA 1.5 90000\r\n" };
    MeasurementRun run(s, link, messages);
    QList<int> order;
    connect(&run, &MeasurementRun::pointStored, this, [&](int i) { order << i; });
    run.MeasureActiveBox();

    QTRY_COMPARE(order, QList<int>({ 1, 2, 3 }));
    const BoxRecord &b = s.Box(1);
    QCOMPARE(b.x[1], valueOf(0)); // the substitute point
    QCOMPARE(b.x[2], 40.96f); // then the replies, in arrival order
    QCOMPARE(b.x[3], valueOf(1.5));
    QCOMPARE(b.y[3], 90.0f);
    QVERIFY(run.isRunning());
    QVERIFY(peer.reply(link, "OK\r\n"));
    QVERIFY(run.hasFinished());
    QCOMPARE(messages.texts(), QStringList { QStringLiteral("textErrRec") });
}

void TestMeasurementRun::errorReplyLeavesTheRunWaiting()
{
    ScriptedPeer peer;
    Settings s;
    exampleBox(s);
    ScriptedMessages messages;
    NetLink link(messages);
    QVERIFY(connectLink(link, peer, 5s));
    MeasurementRun run(s, link, messages);
    run.MeasureActiveBox();
    QVERIFY(peer.reply(link, "ERR 17 command refused\r\n"));
    QVERIFY(run.isRunning());
    QVERIFY(peer.reply(link, "DATA 2.0 60000\r\n"));
    QVERIFY(peer.reply(link, "OK\r\n"));
    QVERIFY(run.hasFinished());
    QCOMPARE(s.Box(1).pointCount(), 2);
    QCOMPARE(messages.texts(), QStringList { QStringLiteral("ERR 17 command refused") });
}

void TestMeasurementRun::okFirstLeavesAnEmptyCurve()
{
    ScriptedPeer peer;
    Settings s;
    exampleBox(s);
    ScriptedMessages messages;
    NetLink link(messages);
    QVERIFY(connectLink(link, peer, 5s));
    MeasurementRun run(s, link, messages);
    run.MeasureActiveBox();
    QVERIFY(peer.reply(link, "OK\r\n"));
    QVERIFY(run.hasFinished());

    BoxRecord &b = s.Box(1);
    QCOMPARE(run.pointIndex(), 0);
    QCOMPARE(b.pointCount(), 0);
    QCOMPARE(b.x[1], CurveEndMark);
    RecordingSurface surface;
    DrawCurve(surface, b, 2);
    QVERIFY(surface.lines.isEmpty());
}

void TestMeasurementRun::aPeerSendingMoreDataEndsTheCurveAtItsLastPoint()
{
    SimulatorOptions options;
    options.floodCount = 400;
    options.initDelayMs = 0;
    NetPcSimulator sim(options);
    QVERIFY(sim.listen(QHostAddress::LocalHost, 0));
    Settings s;
    exampleBox(s);
    s.Box(1).Ein[4] = 2;
    ScriptedMessages messages;
    NetLink link(messages);
    link.ConnectNetPC(QStringLiteral("127.0.0.1"), sim.serverPort());
    QTRY_COMPARE(link.netState(), NetLink::StateGreeting);
    MeasurementRun run(s, link, messages);
    run.MeasureActiveBox();
    QVERIFY(QTest::qWaitFor([&] { return run.hasFinished(); }, 20000));

    QCOMPARE(run.outcome(), MeasurementRun::Outcome::Full);
    QVERIFY(sim.receivedCommands().contains(QStringLiteral("run BREAK")));
    const BoxRecord &b = s.Box(1);
    QCOMPARE(run.pointIndex(), CurveLastPoint);
    QVERIFY(b.x[CurveLastPoint] > CurveEndMark);
    QCOMPARE(b.x[CurveLastPoint + 1], CurveEndMark);
    QCOMPARE(b.pointCount(), CurveLastPoint + 1);
    QVERIFY(messages.entries.isEmpty());
}

void TestMeasurementRun::simulatorAtHighSpeed()
{
    SimulatorOptions options;
    options.speed = 200;
    NetPcSimulator sim(options);
    QVERIFY(sim.listen(QHostAddress::LocalHost, 0));
    Settings s;
    exampleBox(s);
    BoxRecord &b = s.Box(1);
    b.Ein[10] = 2.5f;
    b.Ein[4] = 1.7f;
    b.Ein[9] = float(sim.zeroVolts() * 10);
    ScriptedMessages messages;
    NetLink link(messages);
    link.ConnectNetPC(QStringLiteral("127.0.0.1"), sim.serverPort());
    QTRY_COMPARE(link.netState(), NetLink::StateGreeting);
    MeasurementRun run(s, link, messages);
    run.MeasureActiveBox();
    QVERIFY(QTest::qWaitFor([&] { return run.hasFinished(); }, 20000));

    QCOMPARE(run.outcome(), MeasurementRun::Outcome::Completed);
    QCOMPARE(
        sim.receivedCommands().last(), QStringLiteral("run START  5 1.25  150000  180  500  1700"));
    QCOMPARE(b.pointCount(), 89); // 150 s / 1.7 s, and the start point
    for (int i = 1; i < 89; ++i)
        QVERIFY2(b.y[size_t(i)] > b.y[size_t(i) - 1], qPrintable(QString::number(i)));
    QVERIFY(b.y[88] <= 150);
    QVERIFY(b.Erg[5] > 0); // a curing curve, evaluated
    QVERIFY(messages.entries.isEmpty());
}

QTEST_GUILESS_MAIN(TestMeasurementRun)
#include "test_measurementrun.moc"

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

// A run of the worked example's box against a scripted NetPC; `extra` is the
// wait added to the (zero) cycle before a time-out.
template <typename Messages = ScriptedMessages> struct RunFixture {
    explicit RunFixture(std::chrono::milliseconds extra = 5s)
    {
        exampleBox(settings);
        connected = connectLink(link, peer, extra);
    }
    bool reply(const QByteArray &text) { return peer.reply(link, text); }
    bool sent(const char *line) const { return peer.hasLine(QLatin1String(line)); }
    BoxRecord &box() { return settings.Box(1); }

    ScriptedPeer peer;
    Settings settings;
    Messages messages;
    NetLink link { messages };
    MeasurementRun run { settings, link, messages };
    bool connected = false;
};

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
    RunFixture fx;
    QVERIFY(fx.connected);
    QSignalSpy points(&fx.run, &MeasurementRun::pointStored);
    fx.run.MeasureActiveBox();
    QTRY_VERIFY(fx.sent("run START  5 1.25  600000  180  500  0"));
    QVERIFY(fx.reply("DATA 1.0 30000\r\n"));
    QVERIFY(fx.reply("DATA 2.0 60000\r\n"));
    QVERIFY(fx.reply("DATA 1.5 90000\r\n"));
    QVERIFY(fx.run.isRunning());
    QVERIFY(fx.reply("OK\r\n"));
    QVERIFY(fx.run.hasFinished());

    const BoxRecord &b = fx.box();
    QCOMPARE(points.size(), 3);
    QCOMPARE(fx.run.outcome(), MeasurementRun::Outcome::Completed);
    QCOMPARE(b.x[1], 0.0f);
    QCOMPARE(b.x[2], 40.96f);
    QCOMPARE(b.x[3], valueOf(1.5));
    QCOMPARE(b.x[4], CurveEndMark);
    QCOMPARE(b.x[0], b.x[1]);
    QCOMPARE(b.y[0], 0.0f);
    QCOMPARE(b.y[1], 30.0f);
    QCOMPARE(b.y[3], 90.0f);
    // Evaluated on the way out.
    BoxRecord copy = b;
    EvaluateCurve(copy);
    QVERIFY(b.Erg == copy.Erg);
    QVERIFY(!fx.sent("run BREAK"));
    QVERIFY(fx.messages.entries.isEmpty());
}

void TestMeasurementRun::breakIsSentAfterTheNextPoint()
{
    RunFixture fx;
    QVERIFY(fx.connected);
    fx.settings.EndRequest = true; // left over from an earlier run: must not count
    fx.run.MeasureActiveBox();
    QVERIFY(fx.reply("DATA 1.5 30000\r\n"));
    QCOMPARE(fx.run.pointIndex(), 1);

    fx.settings.EndRequest = true;
    QTest::qWait(100);
    QVERIFY(!fx.sent("run BREAK"));
    QVERIFY(fx.reply("DATA 2.0 60000\r\n"));
    QTRY_VERIFY(fx.sent("run BREAK"));
    // Data still on its way is not taken into the curve.
    QVERIFY(fx.reply("DATA 2.5 90000\r\n"));
    QCOMPARE(fx.run.pointIndex(), 2);
    QVERIFY(fx.reply("OK\r\n"));
    QVERIFY(fx.run.hasFinished());
    QCOMPARE(fx.run.outcome(), MeasurementRun::Outcome::Ended);
    QCOMPARE(fx.box().x[2], 40.96f);
    QCOMPARE(fx.box().x[3], CurveEndMark);
}

void TestMeasurementRun::breakWithoutAnswerEndsTheRun()
{
    RunFixture fx;
    QVERIFY(fx.connected);
    QSignalSpy finished(&fx.run, &MeasurementRun::finished);
    fx.run.MeasureActiveBox();
    fx.settings.EndRequest = true;
    QVERIFY(fx.reply("DATA 1.5 30000\r\n"));
    QTRY_VERIFY(fx.sent("run BREAK"));
    QVERIFY(finished.wait(2000)); // the scaled ten seconds
    QCOMPARE(fx.box().pointCount(), 2);
}

void TestMeasurementRun::timeoutsStoreSubstitutePointsAndTheEleventhEnds()
{
    RunFixture fx(20ms);
    QVERIFY(fx.connected);
    QSignalSpy timeouts(&fx.run, &MeasurementRun::timedOut);
    fx.run.MeasureActiveBox();
    fx.run.waitUntilFinished();

    QCOMPARE(fx.run.outcome(), MeasurementRun::Outcome::TimedOut);
    QCOMPARE(fx.messages.texts(), QStringList(11, QStringLiteral("textErrRec")));
    QCOMPARE(timeouts.last().first().toInt(), 11);
    QCOMPARE(fx.run.timeoutCount(), MeasurementRun::MaxTimeouts);
    for (int k = 1; k <= 11; ++k) {
        QCOMPARE(fx.link.dataLine(k), SubstituteDataLine(k - 1));
        QCOMPARE(fx.box().y[size_t(k)], 0.0f); // a substitute point carries no time
        QCOMPARE(fx.box().x[size_t(k)], valueOf(0));
    }
    QCOMPARE(fx.box().x[12], CurveEndMark);
    QVERIFY(!fx.sent("run BREAK"));
}

void TestMeasurementRun::repliesDuringTheTimeoutMessageAreTakenAfterwardsInOrder()
{
    RunFixture<RepliesWhileOpen> fx(300ms);
    QVERIFY(fx.connected);
    fx.messages.peer = &fx.peer;
    fx.messages.link = &fx.link;
    fx.messages.arriving = { "DATA 2.0 60000\r\n", "DATA 1.5 90000\r\n" };
    QList<int> order;
    connect(&fx.run, &MeasurementRun::pointStored, this, [&](int i) { order << i; });
    fx.run.MeasureActiveBox();

    QTRY_COMPARE(order, QList<int>({ 1, 2, 3 }));
    QCOMPARE(fx.box().x[1], valueOf(0)); // the substitute point
    QCOMPARE(fx.box().x[2], 40.96f); // then the replies, in arrival order
    QCOMPARE(fx.box().x[3], valueOf(1.5));
    QCOMPARE(fx.box().y[3], 90.0f);
    QVERIFY(fx.reply("OK\r\n"));
    QVERIFY(fx.run.hasFinished());
    QCOMPARE(fx.messages.texts(), QStringList { QStringLiteral("textErrRec") });
}

void TestMeasurementRun::okFirstLeavesAnEmptyCurve()
{
    RunFixture fx;
    QVERIFY(fx.connected);
    fx.run.MeasureActiveBox();
    QVERIFY(fx.reply("OK\r\n"));
    QVERIFY(fx.run.hasFinished());
    QCOMPARE(fx.run.pointIndex(), 0);
    QCOMPARE(fx.box().pointCount(), 0);
    RecordingSurface surface;
    DrawCurve(surface, fx.box(), 2);
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

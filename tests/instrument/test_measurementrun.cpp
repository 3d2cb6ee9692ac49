#include "MeasurementFixture.h"

#include "evaluation/CurveEvaluation.h"
#include "instrument/MeasurementRun.h"
#include "instrument/MeasurementValues.h"

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
        if (text == QLatin1String("textErrRec") && peer)
            for (const QByteArray &reply : std::exchange(arriving, {}))
                peer->reply(*link, reply);
    }
    ScriptedPeer *peer = nullptr;
    NetLink *link = nullptr;
    QList<QByteArray> arriving;
};

float valueOf(double reading)
{
    Settings s;
    exampleBox(s);
    return ValueFromReading(reading, s.Box(1));
}

// A run of the worked example's box against a scripted NetPC; `extra` is the
// wait added to the (zero) cycle before a time-out.
template <typename Messages = ScriptedMessages> struct RunFixture {
    explicit RunFixture(std::chrono::milliseconds extra = 5s)
    {
        exampleBox(settings);
        connected = connectLink(link, peer.port(), extra);
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
    void startLineAndValueConversion();
    void threeRepliesAndOk();
    void breakIsSentAfterTheNextPoint();
    void timeoutsStoreSubstitutePointsAndTheEleventhEnds();
    void repliesDuringTheTimeoutMessageAreTakenAfterwardsInOrder();
    void okFirstLeavesAnEmptyCurve();
    void againstTheSimulator_data();
    void againstTheSimulator();
};

void TestMeasurementRun::startLineAndValueConversion()
{
    Settings s;
    exampleBox(s);
    BoxRecord &box = s.Box(1);
    box.Ein[4] = 10;
    QCOMPARE(StartCommand(5, box), QStringLiteral("START  5 1.25  600000  180  500  10000"));
    QCOMPARE(ValueFromReading(1.0, box), 0.0f); // the open circuit reads 0 %
    QCOMPARE(ValueFromReading(2.0, box), 40.96f);
    box.Ein[3] = 0;
    QCOMPARE(ValueFromReading(2.0, box), 0.0f); // no voltage gives no infinity
}

void TestMeasurementRun::threeRepliesAndOk()
{
    RunFixture fx;
    QVERIFY(fx.connected);
    fx.run.MeasureActiveBox();
    QTRY_VERIFY(fx.sent("run START  5 1.25  600000  180  500  0"));
    for (const char *reply : { "DATA 1.0 30000\r\n", "DATA 2.0 60000\r\n", "DATA 1.5 90000\r\n" })
        QVERIFY(fx.reply(reply));
    QVERIFY(fx.run.isRunning());
    QVERIFY(fx.reply("OK\r\n"));
    QVERIFY(fx.run.hasFinished());
    const BoxRecord &b = fx.box();
    QCOMPARE(QList<float>(b.x.begin(), b.x.begin() + 5),
        (QList<float> { 0, 0, 40.96f, valueOf(1.5), CurveEndMark }));
    QCOMPARE(QList<float>(b.y.begin(), b.y.begin() + 4), (QList<float> { 0, 30, 60, 90 }));
    BoxRecord evaluated = b; // evaluated on the way out
    EvaluateCurve(evaluated);
    QVERIFY(b.Erg == evaluated.Erg);
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
    QVERIFY(fx.reply("DATA 2.5 90000\r\n")); // still on its way: not taken
    QVERIFY(fx.reply("OK\r\n"));
    QVERIFY(fx.run.hasFinished());
    QCOMPARE(fx.run.outcome(), MeasurementRun::Outcome::Ended);
    QCOMPARE(fx.box().pointCount(), 3);
}

void TestMeasurementRun::timeoutsStoreSubstitutePointsAndTheEleventhEnds()
{
    RunFixture fx(20ms);
    QVERIFY(fx.connected);
    fx.run.MeasureActiveBox();
    fx.run.waitUntilFinished();
    QCOMPARE(fx.run.outcome(), MeasurementRun::Outcome::TimedOut);
    QCOMPARE(fx.messages.texts(), QStringList(11, QStringLiteral("textErrRec")));
    for (int k = 1; k <= 11; ++k) {
        QCOMPARE(fx.link.dataLine(k), QStringLiteral("DATA 0.04  %1").arg((k - 1) * 1000));
        QCOMPARE(fx.box().y[size_t(k)], 0.0f); // a substitute point carries no time
        QCOMPARE(fx.box().x[size_t(k)], valueOf(0));
    }
    QCOMPARE(fx.box().x[12], CurveEndMark);
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
    QCOMPARE(fx.box().y[3], 90.0f);
    QCOMPARE(fx.messages.texts(), QStringList { QStringLiteral("textErrRec") });
}

void TestMeasurementRun::okFirstLeavesAnEmptyCurve()
{
    RunFixture fx;
    QVERIFY(fx.connected);
    fx.run.MeasureActiveBox();
    QVERIFY(fx.reply("OK\r\n"));
    QVERIFY(fx.run.hasFinished());
    QCOMPARE(fx.box().pointCount(), 0);
    QCOMPARE(fx.box().x[0], CurveEndMark);
}

void TestMeasurementRun::againstTheSimulator_data()
{
    QTest::addColumn<QString>("fault");
    QTest::addColumn<double>("speed");
    QTest::addColumn<float>("cycle");
    QTest::addColumn<int>("outcome");
    QTest::addColumn<QString>("lastCommand");
    QTest::newRow("high speed, 150 s in 1.7 s cycles")
        << "" << 200.0 << 1.7f << int(MeasurementRun::Outcome::Completed)
        << "run START  5 1.25  150000  180  500  1700";
    QTest::newRow("more data than a curve holds")
        << "flood=400" << 1.0 << 2.0f << int(MeasurementRun::Outcome::Full) << "run BREAK";
}

void TestMeasurementRun::againstTheSimulator()
{
    QFETCH(QString, fault);
    QFETCH(double, speed);
    QFETCH(float, cycle);
    QFETCH(int, outcome);
    QFETCH(QString, lastCommand);
    const auto sim = startSimulator(speed, fault);
    QVERIFY(sim);
    Settings s;
    exampleBox(s);
    BoxRecord &b = s.Box(1);
    b.Ein[10] = 2.5f;
    b.Ein[4] = cycle;
    b.Ein[9] = float(sim->zeroVolts() * 10);
    ScriptedMessages messages;
    NetLink link(messages);
    QVERIFY(connectLink(link, sim->serverPort()));
    MeasurementRun run(s, link, messages);
    run.MeasureActiveBox();
    QVERIFY(QTest::qWaitFor([&] { return run.hasFinished(); }, 20000));

    QCOMPARE(int(run.outcome()), outcome);
    QCOMPARE(sim->receivedCommands().last(), lastCommand);
    QVERIFY(messages.entries.isEmpty());
    if (run.outcome() == MeasurementRun::Outcome::Full) {
        QCOMPARE(b.pointCount(), CurveLastPoint + 1);
        return;
    }
    QCOMPARE(b.pointCount(), 89); // 150 s / 1.7 s, and the start point
    QVERIFY(b.y[88] > b.y[87] && b.y[88] <= 150);
    QVERIFY(b.Erg[5] > 0); // a curing curve, evaluated
}

QTEST_GUILESS_MAIN(TestMeasurementRun)
#include "test_measurementrun.moc"

#include "MeasurementFixture.h"

#include "evaluation/CurveEvaluation.h"
#include "instrument/MeasurementRun.h"
#include "instrument/MeasurementValues.h"
#include "instrument/RunJournalWriter.h"
#include "store/Database.h"
#include "store/RunJournal.h"

#include <QTemporaryDir>

using namespace std::chrono_literals;

namespace
{

// A message box that, while it is open, lets the instrument's replies in, as
// the modal loop of a real message box does: one group per message.
class RepliesWhileOpen : public ScriptedMessages
{
public:
    void show(const QString &text, Icon icon) override
    {
        ScriptedMessages::show(text, icon);
        if (text == QLatin1String("textErrRec") && peer && !arriving.isEmpty())
            for (const QByteArray &reply : arriving.takeFirst())
                peer->reply(*link, reply);
    }
    ScriptedPeer *peer = nullptr;
    NetLink *link = nullptr;
    QList<QList<QByteArray>> arriving;
};

struct Measured {
    BoxRecord box;
    MeasurementRun::Outcome outcome;
    QStringList messages;
};

// The worked example's box measured against a simulated NetPC playing
// `fault`: 2.5 minutes in 1.7 s cycles at 200 times the instrument's pace.
Measured measureSimulated(const QString &fault)
{
    SimulatorOptions options;
    options.speed = 200;
    if (!fault.isEmpty())
        options.applyFault(fault);
    options.gapPauseMs = 1900; // past the run's wait of 1.7 s and 30 ms
    NetPcSimulator sim(options);
    sim.listen(QHostAddress::LocalHost, 0);
    Settings s;
    exampleBox(s);
    BoxRecord &b = s.Box(1);
    b.Ein[10] = 2.5f;
    b.Ein[4] = 1.7f;
    b.Ein[9] = float(sim.zeroVolts() * 10);
    ScriptedMessages messages;
    NetLink link(messages);
    if (!connectLink(link, sim.serverPort()))
        return { b, MeasurementRun::Outcome::Completed, { "no greeting" } };
    MeasurementRun run(s, link, messages);
    run.MeasureActiveBox();
    if (!QTest::qWaitFor([&] { return run.hasFinished(); }, 20000))
        return { b, run.outcome(), { "the run did not finish" } };
    return { b, run.outcome(), messages.texts() };
}

QList<float> curveOf(const BoxRecord &b, const std::array<float, CurveSize> &values)
{
    return QList<float>(values.begin(), values.begin() + b.pointCount());
}

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
    void substitutesStandACycleOnAndAreInterpolated();
    void voltageIsRoundedHalfToEven();
    void everyReadingRestartsTheWait();
    void aLostLinkEndsTheRunAndKeepsThePoints();
    void faultsOfTheWireGiveTheCleanCurve_data();
    void faultsOfTheWireGiveTheCleanCurve();
    void aWithheldReadingIsInterpolated();
    void aDroppedLinkKeepsTheRealPoints();
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
    // A trace acknowledgement on the way is no reading.
    for (const char *reply :
        { "DATA 1.0 30000\r\n", "set\r\n", "DATA 2.0 60000\r\n", "DATA 1.5 90000\r\n" })
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
    for (int k = 1; k <= 11; ++k)
        QCOMPARE(fx.link.dataLine(k), QStringLiteral("DATA 0.04  %1").arg((k - 1) * 1000));
    // Not one real reading: nothing to interpolate towards, an empty curve.
    QCOMPARE(fx.box().pointCount(), 0);
    QCOMPARE(fx.box().Fehlend, 0);
    QVERIFY(fx.box().Unvollst);
}

void TestMeasurementRun::repliesDuringTheTimeoutMessageAreTakenAfterwardsInOrder()
{
    RunFixture<RepliesWhileOpen> fx(300ms);
    QVERIFY(fx.connected);
    fx.messages.peer = &fx.peer;
    fx.messages.link = &fx.link;
    fx.messages.arriving = { { "DATA 2.0 60000\r\n", "DATA 1.5 90000\r\n" } };
    QList<int> order;
    connect(&fx.run, &MeasurementRun::pointStored, this, [&](int i) { order << i; });
    fx.run.MeasureActiveBox();

    QTRY_COMPARE(order, QList<int>({ 1, 2, 3 }));
    QCOMPARE(fx.box().x[2], 40.96f); // the replies, in arrival order
    QCOMPARE(fx.box().x[1], 40.96f); // the substitute takes the first real value
    QCOMPARE(fx.box().x[0], 40.96f);
    QCOMPARE(fx.box().Fehlend, 1);
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

void TestMeasurementRun::substitutesStandACycleOnAndAreInterpolated()
{
    RunFixture<RepliesWhileOpen> fx(20ms);
    QVERIFY(fx.connected);
    fx.box().Ein[4] = 0.05f; // a cycle of 50 ms
    fx.messages.peer = &fx.peer;
    fx.messages.link = &fx.link;
    // Two readings go missing; the next one arrives while the second
    // time-out's message is open, "OK" while the third one's is.
    fx.messages.arriving = { {}, { "DATA 2.0 200\r\n" }, { "OK\r\n" } };
    // The journal follows the curve point by point, interpolation included.
    QTemporaryDir dir;
    Database db;
    QVERIFY(db.open(dir.filePath(QStringLiteral("kovra.mdb"))));
    RunJournalWriter writer(fx.run, db);
    QList<RunJournal::Point> journalled;
    connect(&fx.run, &MeasurementRun::pointStored, this, [&](int index) {
        if (index == 4)
            journalled = RunJournal(db).interrupted().value(0).points;
    });
    fx.run.MeasureActiveBox();
    QVERIFY(fx.reply("DATA 1.0 50\r\n"));
    QTRY_VERIFY(fx.run.hasFinished());

    QCOMPARE(fx.run.outcome(), MeasurementRun::Outcome::Completed);
    const BoxRecord &b = fx.box();
    QCOMPARE(
        curveOf(b, b.y), (QList<float> { 0, 0.05f, 0.05f + 0.05f, 0.05f + 0.05f + 0.05f, 0.2f }));
    QCOMPARE(curveOf(b, b.x).mid(0, 2), (QList<float> { 0, 0 }));
    // A third and two thirds of the way in time, and so in value.
    QVERIFY(qAbs(b.x[2] - 40.96f / 3) < 1e-3f);
    QVERIFY(qAbs(b.x[3] - 40.96f * 2 / 3) < 1e-3f);
    QCOMPARE(b.x[4], 40.96f);
    QCOMPARE(b.x[5], CurveEndMark); // the substitute behind the last reading is gone
    QCOMPARE(b.Fehlend, 2);
    QVERIFY(!b.Unvollst);
    QCOMPARE(fx.messages.texts(), QStringList(3, QStringLiteral("textErrRec")));
    QCOMPARE(journalled.size(), 4);
    QCOMPARE(journalled[1].x, b.x[2]);
    QCOMPARE(journalled[2].x, b.x[3]);
    QVERIFY(journalled[1].substitute && !journalled[3].substitute);
    QCOMPARE(journalled[3].y, 0.2f);
    QVERIFY(RunJournal(db).interrupted().isEmpty()); // the ended run cleared it
}

void TestMeasurementRun::voltageIsRoundedHalfToEven()
{
    for (const auto &[voltage, sent] : { std::pair { 5.5f, "6" }, { 4.5f, "4" }, { 4.6f, "5" } }) {
        RunFixture fx;
        QVERIFY(fx.connected);
        fx.box().Ein[3] = voltage;
        fx.run.MeasureActiveBox();
        QTRY_VERIFY(!fx.peer.lines.isEmpty());
        QCOMPARE(fx.peer.lines.first(),
            QStringLiteral("run START  %1 1.25  600000  180  500  0").arg(sent));
    }
}

void TestMeasurementRun::everyReadingRestartsTheWait()
{
    RunFixture fx(120ms);
    QVERIFY(fx.connected);
    fx.run.MeasureActiveBox();
    for (int k = 1; k <= 5; ++k) {
        QTest::qWait(70); // inside the wait, 350 ms in all
        QVERIFY(fx.reply(QStringLiteral("DATA 1.5 %1\r\n").arg(k * 100).toLatin1()));
    }
    QVERIFY(fx.reply("OK\r\n"));
    QCOMPARE(fx.run.outcome(), MeasurementRun::Outcome::Completed);
    QCOMPARE(fx.messages.texts(), QStringList());
    QCOMPARE(fx.box().pointCount(), 6);
}

void TestMeasurementRun::aLostLinkEndsTheRunAndKeepsThePoints()
{
    RunFixture fx;
    QVERIFY(fx.connected);
    fx.run.MeasureActiveBox();
    QVERIFY(fx.reply("DATA 2.0 30000\r\n"));
    QVERIFY(fx.reply("DATA 1.0 60000\r\n"));
    fx.peer.socket->abort();
    QTRY_VERIFY(fx.run.hasFinished()); // at once, not after eleven time-outs

    QCOMPARE(fx.run.outcome(), MeasurementRun::Outcome::LinkLost);
    QCOMPARE(fx.messages.texts(), QStringList { MeasurementRun::linkLostText(2) });
    QVERIFY(fx.messages.texts().first().contains(QStringLiteral("lost at point 2")));
    const BoxRecord &b = fx.box();
    QCOMPARE(curveOf(b, b.x), (QList<float> { 40.96f, 40.96f, 0 }));
    QVERIFY(b.Unvollst);
    BoxRecord evaluated = b;
    EvaluateCurve(evaluated);
    QVERIFY(b.Erg == evaluated.Erg);
}

void TestMeasurementRun::faultsOfTheWireGiveTheCleanCurve_data()
{
    QTest::addColumn<QString>("fault");
    for (const char *fault : { "pair", "split", "tail", "okjoin" })
        QTest::newRow(fault) << fault;
}

void TestMeasurementRun::faultsOfTheWireGiveTheCleanCurve()
{
    QFETCH(QString, fault);
    const Measured clean = measureSimulated({});
    const Measured faulty = measureSimulated(fault);
    QCOMPARE(faulty.outcome, MeasurementRun::Outcome::Completed);
    QCOMPARE(faulty.messages, QStringList());
    QCOMPARE(clean.box.pointCount(), 89);
    QCOMPARE(curveOf(faulty.box, faulty.box.x), curveOf(clean.box, clean.box.x));
    QCOMPARE(curveOf(faulty.box, faulty.box.y), curveOf(clean.box, clean.box.y));
    QVERIFY(faulty.box.Erg == clean.box.Erg);
    QCOMPARE(faulty.box.Fehlend, 0);
}

void TestMeasurementRun::aWithheldReadingIsInterpolated()
{
    const Measured clean = measureSimulated({});
    const Measured gap = measureSimulated(QStringLiteral("gap=40"));
    QCOMPARE(gap.outcome, MeasurementRun::Outcome::Completed);
    QCOMPARE(gap.messages, QStringList { QStringLiteral("textErrRec") });
    QCOMPARE(gap.box.Fehlend, 1);
    QCOMPARE(gap.box.pointCount(), clean.box.pointCount());
    for (int i = 1; i < gap.box.pointCount(); ++i)
        QVERIFY(gap.box.y[size_t(i)] >= gap.box.y[size_t(i - 1)]);
    QCOMPARE(gap.box.y[40], clean.box.y[40]); // where the missing reading belonged
    QVERIFY(qAbs(gap.box.x[40] - (clean.box.x[39] + clean.box.x[41]) / 2) < 1e-3f);
    for (int k = 1; k <= 5; ++k)
        QVERIFY2(qAbs(gap.box.Erg[k] - clean.box.Erg[k]) <= 0.01f * qAbs(clean.box.Erg[k]),
            qPrintable(QStringLiteral("Erg%1").arg(k)));
}

void TestMeasurementRun::aDroppedLinkKeepsTheRealPoints()
{
    const Measured clean = measureSimulated({});
    const Measured dropped
        = measureSimulated(QStringLiteral("drop=31")); // the greeting, 30 readings
    QCOMPARE(dropped.outcome, MeasurementRun::Outcome::LinkLost);
    QCOMPARE(dropped.messages, QStringList { MeasurementRun::linkLostText(30) });
    QCOMPARE(dropped.box.pointCount(), 31);
    QCOMPARE(curveOf(dropped.box, dropped.box.x), curveOf(clean.box, clean.box.x).first(31));
    QVERIFY(dropped.box.Unvollst);
}

QTEST_GUILESS_MAIN(TestMeasurementRun)
#include "test_measurementrun.moc"

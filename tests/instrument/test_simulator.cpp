#include "MeasurementFixture.h"

#include "instrument/MeasurementValues.h"
#include "simulator/CuringCurve.h"

namespace
{

// A raw client that keeps every received block apart.
struct Client {
    QTcpSocket socket;
    QList<QByteArray> blocks;
    bool closed = false;

    explicit Client(quint16 port)
    {
        QObject::connect(
            &socket, &QTcpSocket::readyRead, [this] { blocks.append(socket.readAll()); });
        QObject::connect(&socket, &QTcpSocket::disconnected, [this] { closed = true; });
        socket.connectToHost(QHostAddress::LocalHost, port);
    }
    void send(const QByteArray &line)
    {
        socket.write(line + "\n\r");
        socket.flush();
    }
    int count(const QByteArray &text) const
    {
        int n = 0;
        for (const QByteArray &b : blocks)
            n += int(b.count(text));
        return n;
    }
};

} // namespace

class TestSimulator : public QObject
{
    Q_OBJECT

private slots:
    void curingCurveFallsThenRisesToAPlateau();
    void faultsShapeTheReplies_data();
    void faultsShapeTheReplies();
};

void TestSimulator::curingCurveFallsThenRisesToAPlateau()
{
    const double duration = 600;
    for (int specimen = 1; specimen <= 20; ++specimen) {
        const CuringCurve curve(7, specimen, duration);
        double lowestAt = 0;
        for (double t = 1; t <= duration; t += 1)
            if (curve.valueAt(t) < curve.valueAt(lowestAt))
                lowestAt = t;
        QVERIFY2(
            curve.valueAt(lowestAt) < curve.valueAt(0) - 1, qPrintable(QString::number(specimen)));
        QVERIFY(lowestAt > 0 && lowestAt < duration / 2);
        // Rising after the dip, ending close to the plateau.
        for (double t = lowestAt + 1; t <= duration; t += 1)
            QVERIFY(curve.valueAt(t) >= curve.valueAt(t - 1) - 1e-9);
        QVERIFY(qAbs(curve.valueAt(duration) - curve.plateau()) < 1.5);
        QVERIFY(curve.plateau() > 50 && curve.plateau() < 90);
    }
    // Each specimen and seed its own curve, the same one every time.
    QCOMPARE(CuringCurve(7, 3, duration).valueAt(200), CuringCurve(7, 3, duration).valueAt(200));
    QVERIFY(CuringCurve(7, 3, duration).valueAt(200) != CuringCurve(7, 4, duration).valueAt(200));
    QVERIFY(CuringCurve(7, 3, duration).valueAt(200) != CuringCurve(8, 3, duration).valueAt(200));

    // The program's own conversion gives back the percent the simulator
    // meant, for the voltages and zero readings it may meet.
    BoxRecord box;
    box.Ein[6] = 100;
    for (int n : { 3, 5, 8 })
        for (double zeroVolts : { 0.0, 0.123, 0.3 })
            for (double percent : { -5.0, 22.5, 80.0 }) {
                box.Ein[3] = float(n);
                box.Ein[9] = float(zeroVolts * 10);
                const double reading = ReadingForPercent(percent, n, 100, zeroVolts);
                QVERIFY(qAbs(ValueFromReading(reading, box) - percent) < 1e-3);
            }
}

void TestSimulator::faultsShapeTheReplies_data()
{
    QTest::addColumn<QString>("fault");
    QTest::addColumn<int>("blocks"); // blocks sent, greeting included
    QTest::addColumn<int>("data"); // data replies in them
    QTest::addColumn<bool>("ok"); // the final OK arrived
    QTest::addColumn<bool>("closed");
    QTest::newRow("plain") << "" << 14 << 12 << true << false;
    QTest::newRow("drop") << "drop=4" << 4 << 3 << false << true;
    QTest::newRow("stall") << "stall=3" << 3 << 2 << false << false;
    QTest::newRow("no greeting") << "stall=0" << 0 << 0 << false << false;
    QTest::newRow("pair") << "pair" << 8 << 12 << true << false;
    QTest::newRow("flood") << "flood=100" << 102 << 100 << true << false;
    QTest::newRow("ok first") << "okfirst" << 2 << 0 << true << false;
    QTest::newRow("garbage") << "garbage" << 28 << 12 << true << false;
    QTest::newRow("err") << "err" << 2 << 0 << false << false;
}

void TestSimulator::faultsShapeTheReplies()
{
    QFETCH(QString, fault);
    QFETCH(int, blocks);
    QFETCH(int, data);
    QFETCH(bool, ok);
    QFETCH(bool, closed);

    const auto sim = startSimulator(500, fault);
    QVERIFY(sim);
    Client client(sim->serverPort());
    QVERIFY(QTest::qWaitFor(
        [&] { return client.socket.state() == QAbstractSocket::ConnectedState; }, 2000));
    QTest::qWait(50);
    client.send("run ZERO 5 1.25 36000 165 500 3000");
    const auto arrived = [&] {
        return client.count("DATA") == data && (client.count("OK") > 0) == ok
            && client.closed == closed;
    };
    QVERIFY(QTest::qWaitFor(arrived, 15000));
    QTest::qWait(300); // and nothing more
    QVERIFY(arrived());
    // A busy receiver may read two blocks at once, never split one.
    QVERIFY(client.blocks.size() <= blocks);
    QVERIFY(client.blocks.size() >= blocks / 2);
    const QRegularExpression dataReply(QStringLiteral("^DATA \\d+\\.\\d+ \\d+$"));
    if (fault.isEmpty())
        for (const QByteArray &line : client.blocks.join().split('\n'))
            if (line.startsWith("DATA"))
                QVERIFY2(dataReply.match(QString::fromLatin1(line.trimmed())).hasMatch(), line);
    if (fault == QLatin1String("err"))
        QCOMPARE(client.blocks.last(), QByteArray("ERR 17 command refused\r\n"));
    if (fault == QLatin1String("pair"))
        for (const QByteArray &b : client.blocks)
            QVERIFY(b.count("DATA") % 2 == 0);
    if (fault == QLatin1String("garbage")) // noise never looks like a reply the program knows
        for (const QByteArray &b : client.blocks)
            if (!b.contains("DATA") && !b.contains("OK") && !b.contains("gol_kovra"))
                QVERIFY(!b.contains("ERR") && !b.contains("set"));
}

QTEST_GUILESS_MAIN(TestSimulator)
#include "test_simulator.moc"

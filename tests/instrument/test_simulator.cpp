#include "instrument/MeasurementValues.h"
#include "shell/BoxRecord.h"
#include "simulator/CuringCurve.h"
#include "simulator/NetPcSimulator.h"

#include <QTcpSocket>
#include <QtTest>

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
    bool waitForBlockContaining(const QByteArray &text, int ms = 5000)
    {
        return QTest::qWaitFor(
            [&] {
                return std::any_of(blocks.cbegin(), blocks.cend(),
                    [&](const QByteArray &b) { return b.contains(text); });
            },
            ms);
    }
    int count(const QByteArray &text) const
    {
        int n = 0;
        for (const QByteArray &b : blocks)
            n += int(b.count(text));
        return n;
    }
};

struct Sim {
    NetPcSimulator simulator;
    explicit Sim(const QStringList &faults = {}, double speed = 500)
    {
        SimulatorOptions options;
        options.speed = speed;
        for (const QString &f : faults)
            options.applyFault(f);
        simulator.setOptions(options);
        simulator.listen(QHostAddress::LocalHost, 0);
    }
    quint16 port() const { return simulator.serverPort(); }
};

} // namespace

class TestSimulator : public QObject
{
    Q_OBJECT

private slots:
    void curingCurveFallsThenRisesToAPlateau();
    void readingsConvertBackToTheCurve();
    void conversationWithOneReplyPerBlock();
    void faultsShapeTheReplies_data();
    void faultsShapeTheReplies();
};

void TestSimulator::curingCurveFallsThenRisesToAPlateau()
{
    const double duration = 600;
    for (int specimen = 1; specimen <= 20; ++specimen) {
        const CuringCurve curve(7, specimen, duration);
        double lowest = curve.valueAt(0);
        double lowestAt = 0;
        for (double t = 0; t <= duration; t += 1) {
            if (curve.valueAt(t) < lowest) {
                lowest = curve.valueAt(t);
                lowestAt = t;
            }
        }
        QVERIFY2(lowest < curve.valueAt(0) - 1, qPrintable(QString::number(specimen)));
        QVERIFY(lowestAt > 0 && lowestAt < duration / 2);
        // Rising after the dip, ending close to the plateau.
        for (double t = lowestAt + 1; t <= duration; t += 1)
            QVERIFY(curve.valueAt(t) >= curve.valueAt(t - 1) - 1e-9);
        QVERIFY(qAbs(curve.valueAt(duration) - curve.plateau()) < 1.5);
        QVERIFY(curve.plateau() > 50 && curve.plateau() < 90);
    }
    QCOMPARE(CuringCurve(7, 3, duration).valueAt(200), CuringCurve(7, 3, duration).valueAt(200));
    QVERIFY(CuringCurve(7, 3, duration).valueAt(200) != CuringCurve(7, 4, duration).valueAt(200));
    QVERIFY(CuringCurve(7, 3, duration).valueAt(200) != CuringCurve(8, 3, duration).valueAt(200));
}

void TestSimulator::readingsConvertBackToTheCurve()
{
    // The program's own conversion must give back the percent the
    // simulator meant, for the voltages and zero readings it may meet.
    BoxRecord box;
    box.Ein[6] = 100;
    for (int n : { 3, 5, 8 }) {
        for (double zeroVolts : { 0.0, 0.123, 0.3 }) {
            box.Ein[3] = float(n);
            box.Ein[9] = float(zeroVolts * 10);
            for (double percent : { -5.0, 0.0, 22.5, 40.96, 80.0 }) {
                const double reading = ReadingForPercent(percent, n, 100, zeroVolts);
                QVERIFY(qAbs(ValueFromReading(reading, box) - percent) < 1e-3);
            }
        }
    }
}

void TestSimulator::conversationWithOneReplyPerBlock()
{
    Sim sim;
    Client client(sim.port());
    QVERIFY(client.waitForBlockContaining("gol_kovra"));
    client.send("run INIT");
    QVERIFY(client.waitForBlockContaining("OK"));
    client.send("trace 0");
    QVERIFY(client.waitForBlockContaining("set"));
    client.send("run ZERO 5 1.25 36000 165 500 3000");
    QTRY_COMPARE_WITH_TIMEOUT(client.blocks.size(), 3 + 12 + 1, 5000);

    QCOMPARE(client.blocks.first(), QByteArray("gol_kovra\r\n"));
    for (int k = 1; k <= 12; ++k) {
        const QList<QByteArray> words = client.blocks.at(2 + k).trimmed().split(' ');
        QCOMPARE(words.size(), 3);
        QCOMPARE(words.at(0), QByteArray("DATA"));
        QVERIFY(qAbs(words.at(1).toDouble() - sim.simulator.intrinsicZeroVolts()) < 0.05);
        QCOMPARE(words.at(2).toInt(), k * 3000);
    }
    QCOMPARE(client.blocks.last(), QByteArray("OK\r\n"));
    QCOMPARE(sim.simulator.receivedCommands(),
        (QStringList { "run INIT", "trace 0", "run ZERO 5 1.25 36000 165 500 3000" }));
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
    QTest::newRow("flood") << "flood=600" << 602 << 600 << true << false;
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

    Sim sim(fault.isEmpty() ? QStringList() : QStringList { fault });
    Client client(sim.port());
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
    QCOMPARE(client.count("OK") > 0, ok);
    QCOMPARE(client.closed, closed);
    if (fault == QLatin1String("err"))
        QCOMPARE(client.blocks.last(), QByteArray("ERR 17 command refused\r\n"));
    if (fault == QLatin1String("pair"))
        for (const QByteArray &b : client.blocks)
            QVERIFY(b.count("DATA") % 2 == 0);
    if (fault == QLatin1String("garbage")) {
        for (const QByteArray &b : client.blocks) {
            if (!b.contains("DATA") && !b.contains("OK") && !b.contains("gol_kovra"))
                QVERIFY(!b.contains("ERR") && !b.contains("set"));
        }
    }
}

QTEST_GUILESS_MAIN(TestSimulator)
#include "test_simulator.moc"

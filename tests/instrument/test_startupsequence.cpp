#include "MeasurementFixture.h"

#include "instrument/InstrumentStartup.h"
#include "support/TestSupport.h"

using namespace std::chrono_literals;

namespace
{

const QString Zero = QStringLiteral("run ZERO 5 1.25 36000 165 500 3000");

// One start-up with its messages and signals on one time line, so the test
// sees what the operator sees in the order it happens.
struct Startup {
    ScriptedMessages messages;
    NetLink link { messages };
    Settings settings;
    Notation notation = commaNotation();
    InstrumentStartup startup { link, messages, settings, notation };
    QStringList timeline;
    int logged = 0; // messages already on the time line
    bool done = false;

    Startup(quint16 port, bool noInstrument)
    {
        ProtocolTimeouts t = ProtocolTimeouts::scaledDown(100);
        t.greeting = 500ms; // a loaded machine may need a moment to connect
        link.setTimeouts(t);
        settings.HostAddress = QStringLiteral("127.0.0.1");
        settings.HostPort = port;
        settings.NoInstrument = noInstrument;
        settings.ZeroPoint = -1;
        for (int k = 1; k <= 5; ++k) {
            settings.Box(k).Kovra = QStringLiteral("old");
            settings.Box(k).Status = BoxStatus::Graph;
            settings.Box(k).Changed = true;
        }
        QObject::connect(&startup, &InstrumentStartup::boxesReset, [this] { mark("boxes reset"); });
        QObject::connect(&startup, &InstrumentStartup::zeroPointBegins, [this] { mark("splash"); });
        QObject::connect(&startup, &InstrumentStartup::finished, [this] { mark("finished"); });
    }
    void mark(const QString &event)
    {
        logMessages();
        timeline << QStringLiteral("<%1>").arg(event);
        done = event == QLatin1String("finished");
    }
    void logMessages()
    {
        timeline += messages.texts().mid(logged);
        logged = int(messages.entries.size());
    }
    bool run()
    {
        startup.start();
        const bool finished = QTest::qWaitFor([this] { return done; }, 10000);
        QTest::qWait(100); // nothing may follow the end
        logMessages();
        return finished;
    }
};

} // namespace

class TestStartup : public QObject
{
    Q_OBJECT

private slots:
    void startup_data();
    void startup();
};

void TestStartup::startup_data()
{
    QTest::addColumn<QString>("peer"); // a fault of the simulator, or "none" at all
    QTest::addColumn<bool>("noInstrument");
    QTest::addColumn<QStringList>("timeline");
    QTest::addColumn<QStringList>("commands");
    QTest::addColumn<float>("zeroPoint"); // NaN: the simulator's own
    const QStringList quiet { "<boxes reset>", "<splash>", "<finished>" };
    const QStringList all { "run INIT", "trace 0", Zero };
    QTest::newRow("full") << "" << false << quiet << all << float(NAN);
    QTest::newRow("command line 1") << "" << true << quiet << QStringList { "run INIT" } << -1.0f;
    QTest::newRow("no peer") << "none" << false
                             << QStringList { "Error Connection NetPC",
                                    "Endposition nicht erreicht", "<boxes reset>", "<splash>",
                                    "textErrCon", "No Data received", "<finished>" }
                             << QStringList() << 0.0f;
    QTest::newRow("greets, then silent")
        << "stall=1" << false
        << QStringList { "Endposition nicht erreicht", "<boxes reset>", "<splash>", "textErrCon",
               "No Data received", "<finished>" }
        << all << 0.0f;
}

void TestStartup::startup()
{
    QFETCH(QString, peer);
    QFETCH(bool, noInstrument);
    QFETCH(QStringList, timeline);
    QFETCH(QStringList, commands);
    QFETCH(float, zeroPoint);

    std::unique_ptr<NetPcSimulator> sim;
    quint16 port = 0;
    if (peer != QLatin1String("none")) {
        sim = startSimulator(200, peer);
        QVERIFY(sim);
        port = sim->serverPort();
    } else {
        QTcpServer probe; // a port nobody listens on once the probe is gone
        probe.listen(QHostAddress::LocalHost, 0);
        port = probe.serverPort();
    }
    Startup s(port, noInstrument);
    QVERIFY(s.run());
    QCOMPARE(s.timeline, timeline);
    if (sim)
        QCOMPARE(sim->receivedCommands(), commands);
    if (qIsNaN(zeroPoint))
        QVERIFY(qAbs(s.settings.ZeroPoint - 10 * sim->intrinsicZeroVolts()) < 0.5);
    else
        QCOMPARE(s.settings.ZeroPoint, zeroPoint);

    const QString today = s.notation.date(QDate::currentDate());
    for (int k = 1; k <= 5; ++k) {
        const BoxRecord &box = s.settings.Box(k);
        QVERIFY(box.Kovra.isEmpty() && !box.Changed);
        QCOMPARE(box.Status, BoxStatus::Pattern);
        QCOMPARE(box.PruefAm, today);
    }
}

QTEST_GUILESS_MAIN(TestStartup)
#include "test_startupsequence.moc"

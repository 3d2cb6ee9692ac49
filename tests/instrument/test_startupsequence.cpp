#include "instrument/InstrumentStartup.h"
#include "instrument/NetLink.h"
#include "shell/Notation.h"
#include "shell/ScriptedMessages.h"
#include "shell/Settings.h"
#include "simulator/NetPcSimulator.h"
#include "support/TestSupport.h"

#include <QSignalSpy>
#include <QTcpServer>
#include <QtTest>

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
    int messagesLogged = 0;
    bool done = false;

    Startup(quint16 port, bool noInstrument)
    {
        ProtocolTimeouts t = ProtocolTimeouts::scaledDown(100);
        t.greeting = 500ms; // a loaded machine may need a moment to connect
        link.setTimeouts(t);
        settings.HostAddress = QStringLiteral("127.0.0.1");
        settings.HostPort = port;
        settings.NoInstrument = noInstrument;
        for (int k = 1; k <= 5; ++k) {
            settings.Box(k).Kovra = QStringLiteral("old %1").arg(k);
            settings.Box(k).Status = BoxStatus::Graph;
            settings.Box(k).Changed = true;
        }
        QObject::connect(&startup, &InstrumentStartup::boxesReset, [this] { mark("boxes reset"); });
        QObject::connect(&startup, &InstrumentStartup::zeroPointBegins, [this] { mark("splash"); });
        QObject::connect(&startup, &InstrumentStartup::finished, [this] {
            mark("finished");
            done = true;
        });
    }

    void mark(const QString &event)
    {
        logMessages();
        timeline << QStringLiteral("<%1>").arg(event);
    }
    void logMessages()
    {
        const QStringList texts = messages.texts();
        timeline += texts.mid(messagesLogged);
        messagesLogged = int(texts.size());
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

quint16 unusedPort()
{
    QTcpServer probe;
    probe.listen(QHostAddress::LocalHost, 0);
    return probe.serverPort();
}

} // namespace

class TestStartup : public QObject
{
    Q_OBJECT

private slots:
    void withInstrument_data();
    void withInstrument();
    void failuresAreReportedInOrder_data();
    void failuresAreReportedInOrder();
};

void TestStartup::withInstrument_data()
{
    QTest::addColumn<bool>("noInstrument");
    QTest::addColumn<QStringList>("commands");
    QTest::newRow("full") << false << QStringList { "run INIT", "trace 0", Zero };
    QTest::newRow("command line 1") << true << QStringList { "run INIT" };
}

void TestStartup::withInstrument()
{
    QFETCH(bool, noInstrument);
    QFETCH(QStringList, commands);

    SimulatorOptions options;
    options.speed = 200;
    NetPcSimulator simulator(options);
    QVERIFY(simulator.listen(QHostAddress::LocalHost, 0));
    Startup s(simulator.serverPort(), noInstrument);
    s.settings.ZeroPoint = -1;

    QVERIFY(s.run());
    QCOMPARE(simulator.receivedCommands(), commands);
    QCOMPARE(s.timeline, (QStringList { "<boxes reset>", "<splash>", "<finished>" }));
    QCOMPARE(s.startup.step(), InstrumentStartup::Step::Done);
    if (noInstrument)
        QCOMPARE(s.settings.ZeroPoint, -1.0f);
    else
        QVERIFY(qAbs(s.settings.ZeroPoint - 10 * simulator.intrinsicZeroVolts()) < 0.5);

    const QString today = s.notation.date(QDate::currentDate());
    for (int k = 1; k <= 5; ++k) {
        const BoxRecord &box = s.settings.Box(k);
        QVERIFY(box.Kovra.isEmpty());
        QCOMPARE(box.Status, BoxStatus::Pattern);
        QVERIFY(!box.Changed);
        QCOMPARE(box.BoxNr, k);
        QCOMPARE(box.PruefAm, today);
    }
}

void TestStartup::failuresAreReportedInOrder_data()
{
    QTest::addColumn<QString>("peer");
    QTest::addColumn<bool>("noInstrument");
    QTest::addColumn<QStringList>("timeline");
    QTest::newRow("no peer") << "none" << false
                             << QStringList { "Error Connection NetPC",
                                    "Endposition nicht erreicht", "<boxes reset>", "<splash>",
                                    "textErrCon", "No Data received", "<finished>" };
    QTest::newRow("no peer, command line 1")
        << "none" << true
        << QStringList { "Error Connection NetPC", "Endposition nicht erreicht", "<boxes reset>",
               "<splash>", "<finished>" };
    QTest::newRow("greets, then silent")
        << "stall=1" << false
        << QStringList { "Endposition nicht erreicht", "<boxes reset>", "<splash>", "textErrCon",
               "No Data received", "<finished>" };
    QTest::newRow("refuses everything")
        << "err" << false
        << QStringList { "ERR 17 command refused", "Endposition nicht erreicht", "<boxes reset>",
               "<splash>", "ERR 17 command refused", "textErrCon", "ERR 17 command refused",
               "No Data received", "<finished>" };
}

void TestStartup::failuresAreReportedInOrder()
{
    QFETCH(QString, peer);
    QFETCH(bool, noInstrument);
    QFETCH(QStringList, timeline);

    SimulatorOptions options;
    options.speed = 200;
    NetPcSimulator simulator;
    quint16 port = unusedPort();
    if (peer != QLatin1String("none")) {
        QVERIFY(options.applyFault(peer));
        simulator.setOptions(options);
        QVERIFY(simulator.listen(QHostAddress::LocalHost, 0));
        port = simulator.serverPort();
    }
    Startup s(port, noInstrument);
    s.settings.ZeroPoint = -1;
    QVERIFY(s.run());
    QCOMPARE(s.timeline, timeline);
    if (!noInstrument)
        QCOMPARE(s.settings.ZeroPoint, 0.0f);
    for (int k = 1; k <= 5; ++k)
        QVERIFY(!s.settings.Box(k).Changed);
}

QTEST_GUILESS_MAIN(TestStartup)
#include "test_startupsequence.moc"

#include "instrument/ProtocolTimeouts.h"
#include "shell/Application.h"
#include "shell/MainWindow.h"
#include "shell/ScriptedMessages.h"
#include "shell/Settings.h"
#include "simulator/NetPcSimulator.h"

#include <QLabel>
#include <QSignalSpy>
#include <QTcpServer>
#include <QTemporaryDir>
#include <QtTest>

class ProgramStartTest : public QObject
{
    Q_OBJECT
private slots:
    void startsWithSimulator();
    void argumentOneSkipsTraceAndZeroPoint();
    void everyFailureHasItsMessageInOrder();
    void unusableDatabaseEndsTheStart();
    void commandLine();

private:
    static quint16 silentPort();
    static SimulatorOptions fastSimulator();
};

quint16 ProgramStartTest::silentPort()
{
    QTcpServer server;
    server.listen(QHostAddress::LocalHost);
    return server.serverPort(); // closed again when it goes out of scope
}

SimulatorOptions ProgramStartTest::fastSimulator()
{
    SimulatorOptions o;
    o.speed = 200;
    o.gapMs = 1;
    return o;
}

void ProgramStartTest::startsWithSimulator()
{
    NetPcSimulator sim(fastSimulator());
    QVERIFY(sim.listen(QHostAddress::LocalHost));
    QTemporaryDir dir;
    CommandLine cl = CommandLine::parse(
        {"--db", dir.filePath("kovra.mdb"), "--netpc", QStringLiteral("127.0.0.1:%1").arg(sim.serverPort())});
    ScriptedMessages messages;
    ZandorApplication app(cl, &messages);
    QSignalSpy started(&app, &ZandorApplication::started);
    QVERIFY(app.start());
    QVERIFY(started.wait(10000));
    QCOMPARE(messages.texts(), QStringList());
    QCOMPARE(sim.receivedCommands().mid(0, 3),
             (QStringList{"run INIT", "trace 0", "run ZERO 5 1.25 36000 165 500 3000"}));
    FrmKovra *w = app.mainWindow();
    QVERIFY(w->isVisible());
    for (int k = 1; k <= 5; ++k) {
        const BoxRecord &b = app.settings().Box(k);
        QCOMPARE(b.Status, BoxStatus::Pattern);
        QCOMPARE(b.UntID, -1);
        QVERIFY(b.Kovra.isEmpty());
        QCOMPARE(w->lblZB[k - 1]->text(), QStringLiteral("10"));
        QCOMPARE(w->lblGWD[k - 1]->text().trimmed(), QString());
    }
    QVERIFY(app.settings().ZeroPoint != 0);

    // Ending with a changed box asks; No keeps the program running.
    app.settings().Box(2).Changed = true;
    app.settings().Box(2).Status = BoxStatus::Graph;
    messages.answer(false);
    QVERIFY(!w->close());
    QVERIFY(messages.texts().last().startsWith("Graph  from box 2\n\nwas not saved,"));
    messages.answer(true);
    QVERIFY(w->close());
}

void ProgramStartTest::argumentOneSkipsTraceAndZeroPoint()
{
    NetPcSimulator sim(fastSimulator());
    QVERIFY(sim.listen(QHostAddress::LocalHost));
    QTemporaryDir dir;
    CommandLine cl = CommandLine::parse({"1", "--db", dir.filePath("kovra.mdb"), "--netpc",
                                         QStringLiteral("127.0.0.1:%1").arg(sim.serverPort())});
    QVERIFY(cl.noInstrument);
    ScriptedMessages messages;
    ZandorApplication app(cl, &messages);
    QSignalSpy started(&app, &ZandorApplication::started);
    QVERIFY(app.start());
    QVERIFY(started.wait(10000));
    QTest::qWait(50);
    QCOMPARE(sim.receivedCommands(), QStringList{"run INIT"});
    QCOMPARE(app.settings().ZeroPoint, 0.0f);
}

void ProgramStartTest::everyFailureHasItsMessageInOrder()
{
    QTemporaryDir dir;
    CommandLine cl = CommandLine::parse(
        {"--db", dir.filePath("kovra.mdb"), "--netpc", QStringLiteral("127.0.0.1:%1").arg(silentPort())});
    ScriptedMessages messages;
    ZandorApplication app(cl, &messages);
    app.setTimeouts(ProtocolTimeouts::scaledDown(200));
    QSignalSpy started(&app, &ZandorApplication::started);
    QVERIFY(app.start());
    QVERIFY(started.wait(10000));
    QCOMPARE(messages.texts(), (QStringList{"Error Connection NetPC", "Endposition nicht erreicht",
                                            "textErrCon", "No Data received"}));
    QCOMPARE(app.settings().ZeroPoint, 0.0f);
    QCOMPARE(app.settings().Box(5).Status, BoxStatus::Pattern);
    QVERIFY(app.mainWindow()->isVisible());
}

void ProgramStartTest::unusableDatabaseEndsTheStart()
{
    QTemporaryDir dir;
    const QString path = dir.filePath("kovra.mdb");
    QFile f(path);
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.write("this is a letter, not a database\n");
    f.close();
    CommandLine cl = CommandLine::parse({"1", "--db", path});
    ScriptedMessages messages;
    ZandorApplication app(cl, &messages);
    QVERIFY(!app.start());
    QCOMPARE(messages.entries.size(), 1);
    QVERIFY(messages.texts().first().contains("kovra.mdb"));
    QVERIFY(!app.mainWindow());
    QFile check(path);
    QVERIFY(check.open(QIODevice::ReadOnly));
    QCOMPARE(check.readAll(), QByteArray("this is a letter, not a database\n"));
}

void ProgramStartTest::commandLine()
{
    QVERIFY(CommandLine::parse({"1"}).noInstrument);
    QVERIFY(!CommandLine::parse({}).noInstrument);
    QVERIFY(!CommandLine::parse({"2"}).error.isEmpty());
    const CommandLine cl = CommandLine::parse({"--netpc", "10.0.0.5:9000"});
    QCOMPARE(cl.netpcHost, QStringLiteral("10.0.0.5"));
    QCOMPARE(cl.netpcPort, quint16(9000));
    QCOMPARE(CommandLine::parse({"--netpc", "lab-pc"}).netpcPort, quint16(0));
    QVERIFY(!CommandLine::parse({"--netpc", "host:99999"}).error.isEmpty());
    QVERIFY(!CommandLine::parse({"--db"}).error.isEmpty());
}

QTEST_MAIN(ProgramStartTest)
#include "test_programstart.moc"

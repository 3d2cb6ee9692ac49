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
    void init();
    void cleanup() { app.reset(); }
    void startsWithSimulator();
    void argumentOneSkipsTraceAndZeroPoint();
    void everyFailureHasItsMessageInOrder();
    void unusableDatabaseEndsTheStart();
    void commandLine();

private:
    // Starts the program on a fresh database, talking to the NetPC at `port`;
    // a silent one is given up on soon.
    bool start(quint16 port, const QStringList &more = {}, bool silent = false)
    {
        app = std::make_unique<ZandorApplication>(
            CommandLine::parse(more
                + QStringList { "--db", dir->filePath("kovra.mdb"), "--netpc",
                    QStringLiteral("127.0.0.1:%1").arg(port) }),
            &messages);
        if (silent)
            app->setTimeouts(ProtocolTimeouts::scaledDown(200));
        QSignalSpy started(app.get(), &ZandorApplication::started);
        return app->start() && started.wait(10000);
    }

    static SimulatorOptions fastSimulator()
    {
        SimulatorOptions o;
        o.speed = 200;
        o.gapMs = 1;
        return o;
    }

    std::unique_ptr<QTemporaryDir> dir;
    ScriptedMessages messages;
    std::unique_ptr<ZandorApplication> app;
};

void ProgramStartTest::init()
{
    dir = std::make_unique<QTemporaryDir>();
    messages = ScriptedMessages();
}

void ProgramStartTest::startsWithSimulator()
{
    NetPcSimulator sim(fastSimulator());
    QVERIFY(sim.listen(QHostAddress::LocalHost));
    QVERIFY(start(sim.serverPort()));
    QCOMPARE(messages.texts(), QStringList());
    QCOMPARE(sim.receivedCommands().mid(0, 3),
        (QStringList { "run INIT", "trace 0", "run ZERO 5 1.25 36000 165 500 3000" }));
    FrmKovra *w = app->mainWindow();
    QVERIFY(w->isVisible());
    for (int k = 1; k <= 5; ++k) {
        const BoxRecord &b = app->settings().Box(k);
        QCOMPARE(b.Status, BoxStatus::Pattern);
        QCOMPARE(b.UntID, -1);
        QCOMPARE(w->lblZB[k - 1]->text(), QStringLiteral("10"));
        QCOMPARE(w->lblGWD[k - 1]->text().trimmed(), QString());
    }
    QVERIFY(app->settings().ZeroPoint != 0);
}

void ProgramStartTest::argumentOneSkipsTraceAndZeroPoint()
{
    NetPcSimulator sim(fastSimulator());
    QVERIFY(sim.listen(QHostAddress::LocalHost));
    QVERIFY(start(sim.serverPort(), { "1" }));
    QTest::qWait(50); // nothing more may reach the instrument
    QCOMPARE(sim.receivedCommands(), QStringList { "run INIT" });
    QCOMPARE(app->settings().ZeroPoint, 0.0f);
}

void ProgramStartTest::everyFailureHasItsMessageInOrder()
{
    quint16 silentPort = 0;
    {
        QTcpServer server;
        server.listen(QHostAddress::LocalHost);
        silentPort = server.serverPort(); // closed again at the end of the block
    }
    QVERIFY(start(silentPort, {}, true));
    QCOMPARE(messages.texts(),
        (QStringList { "Error Connection NetPC", "Endposition nicht erreicht", "textErrCon",
            "No Data received" }));
    QCOMPARE(app->settings().ZeroPoint, 0.0f);
    QVERIFY(app->mainWindow()->isVisible());
}

void ProgramStartTest::unusableDatabaseEndsTheStart()
{
    const QString path = dir->filePath("letter.mdb");
    const QByteArray letter("this is a letter, not a database\n");
    QFile f(path);
    QVERIFY(f.open(QIODevice::WriteOnly) && f.write(letter) == letter.size());
    f.close();
    ZandorApplication letterApp(CommandLine::parse({ "1", "--db", path }), &messages);
    QVERIFY(!letterApp.start());
    QCOMPARE(messages.entries.size(), 1);
    QVERIFY(messages.texts().first().contains("letter.mdb"));
    QVERIFY(!letterApp.mainWindow());
    QVERIFY(f.open(QIODevice::ReadOnly));
    QCOMPARE(f.readAll(), letter); // left as it was
}

void ProgramStartTest::commandLine()
{
    QVERIFY(CommandLine::parse({ "1" }).noInstrument);
    QVERIFY(!CommandLine::parse({}).noInstrument);
    const CommandLine cl = CommandLine::parse({ "--netpc", "10.0.0.5:9000" });
    QCOMPARE(cl.netpcHost, QStringLiteral("10.0.0.5"));
    QCOMPARE(cl.netpcPort, quint16(9000));
    QCOMPARE(CommandLine::parse({ "--netpc", "lab-pc" }).netpcPort, quint16(0));
    for (const QStringList &bad : { QStringList { "2" }, { "--netpc", "host:99999" }, { "--db" } })
        QVERIFY2(!CommandLine::parse(bad).error.isEmpty(), qPrintable(bad.join(' ')));
}

QTEST_MAIN(ProgramStartTest)
#include "test_programstart.moc"

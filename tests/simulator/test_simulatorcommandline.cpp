#include <QProcess>
#include <QTcpSocket>
#include <QtTest>

// The simulator program as tests, run.sh and demonstrations start it.
class SimulatorCommandLineTest : public QObject
{
    Q_OBJECT
private slots:
    void answersWithoutListening_data();
    void answersWithoutListening();
    void faultSwitchesStillServe();

private:
    static QString program() { return QCoreApplication::applicationDirPath() + "/../netpc-sim"; }
};

void SimulatorCommandLineTest::answersWithoutListening_data()
{
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<int>("status");
    QTest::addColumn<QString>("out");
    QTest::addColumn<QString>("err");
    QTest::newRow("help") << QStringList { "--help" } << 0
                          << QString("Usage: netpc-sim [options]\n") << QString();
    QTest::newRow("version") << QStringList { "--version" } << 0 << QString("netpc-sim 3.2\n")
                             << QString();
    QTest::newRow("unknown option") << QStringList { "--port", "0", "--bogus" } << 2 << QString()
                                    << QString("netpc-sim: Unknown option 'bogus'.");
    QTest::newRow("unknown fault") << QStringList { "--fault", "drop=2", "--fault", "melt" } << 2
                                   << QString() << QString("netpc-sim: unknown fault melt");
    QTest::newRow("bad count") << QStringList { "--fault", "stall=x" } << 2 << QString()
                               << QString("netpc-sim: bad count in stall=x");
    QTest::newRow("bad speed") << QStringList { "--speed", "0" } << 2 << QString()
                               << QString("netpc-sim: bad speed 0");
    QTest::newRow("missing value") << QStringList { "--port" } << 2 << QString()
                                   << QString("netpc-sim: Missing value after '--port'.");
}

void SimulatorCommandLineTest::answersWithoutListening()
{
    QFETCH(QStringList, arguments);
    QFETCH(int, status);
    QFETCH(QString, out);
    QFETCH(QString, err);
    QProcess p;
    p.start(program(), arguments);
    QVERIFY2(p.waitForFinished(10000), qPrintable(p.errorString()));
    const QString stdoutText = p.readAllStandardOutput(), stderrText = p.readAllStandardError();
    QCOMPARE(p.exitStatus(), QProcess::NormalExit);
    QCOMPARE(p.exitCode(), status);
    QVERIFY2(stdoutText.startsWith(out), qPrintable(stdoutText));
    QVERIFY2(stderrText.startsWith(err), qPrintable(stderrText));
    QCOMPARE(stderrText.count('\n'), err.isEmpty() ? 0 : 1);
    if (arguments == QStringList { "--help" }) {
        for (const char *item : { "--port <port>", "--listen <address>", "--speed <N>",
                 "--seed <seed>", "--fault <name[=k]>", "--verbose", "stall[=k]", "okfirst" })
            QVERIFY2(stdoutText.contains(item), item);
    }
}

// A fault given on the command line reaches the simulator: with "drop=1" it
// hangs up after its greeting, with "stall=0" it never greets.
void SimulatorCommandLineTest::faultSwitchesStillServe()
{
    for (const QString &fault : { QString("drop=1"), QString("stall=0") }) {
        QProcess p;
        p.start(program(),
            { "--port", "0", "--listen", "127.0.0.1", "--speed", "50", "--seed", "7", "--fault",
                fault, "--verbose" });
        QVERIFY(p.waitForReadyRead(10000));
        const QString line = p.readLine().trimmed();
        QVERIFY2(line.startsWith("netpc-sim listening on 127.0.0.1:"), qPrintable(line));
        QTcpSocket socket;
        socket.connectToHost(QHostAddress::LocalHost, line.section(':', -1).toUShort());
        QVERIFY(socket.waitForConnected(5000));
        const bool greeted = socket.waitForReadyRead(fault.startsWith("stall") ? 500 : 5000);
        QCOMPARE(greeted, fault.startsWith("drop"));
        if (greeted)
            QVERIFY(socket.state() == QAbstractSocket::UnconnectedState
                || socket.waitForDisconnected(5000));
        p.kill();
        p.waitForFinished(5000);
    }
}

QTEST_MAIN(SimulatorCommandLineTest)
#include "test_simulatorcommandline.moc"

#include "core/ScriptedMessages.h"
#include "shell/CommandLine.h"

#include <QProcess>
#include <QtTest>

using Request = CommandLine::Request;

class CommandLineTest : public QObject
{
    Q_OBJECT
private slots:
    void onlyALoneOneSkipsTheInstrumentStartup_data();
    void onlyALoneOneSkipsTheInstrumentStartup();
    void optionValuesReachTheStart();
    void usageErrorsNameTheirCause_data();
    void usageErrorsNameTheirCause();
    void usageErrorIsOneLineAndAMessageBox();
    void helpAndVersionAnswerWithoutStarting();
    void programAnswersWithItsExitStatus();
};

void CommandLineTest::onlyALoneOneSkipsTheInstrumentStartup_data()
{
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<bool>("noInstrument");
    QTest::newRow("none") << QStringList {} << false;
    QTest::newRow("1") << QStringList { "1" } << true;
    QTest::newRow("1 beside options") << QStringList { "--db", "x.mdb", "1" } << true;
    QTest::newRow("0") << QStringList { "0" } << false;
    QTest::newRow("1 2") << QStringList { "1", "2" } << false;
    QTest::newRow("1 1") << QStringList { "1", "1" } << false;
    QTest::newRow("x") << QStringList { "x" } << false;
    QTest::newRow("11") << QStringList { "11" } << false;
}

void CommandLineTest::onlyALoneOneSkipsTheInstrumentStartup()
{
    QFETCH(QStringList, arguments);
    QFETCH(bool, noInstrument);
    const CommandLine cl = CommandLine::parse(arguments);
    QCOMPARE(cl.request, Request::Start);
    QCOMPARE(cl.noInstrument, noInstrument);
    QVERIFY(cl.error.isEmpty());
}

void CommandLineTest::optionValuesReachTheStart()
{
    CommandLine cl = CommandLine::parse({ "--db", "/tmp/a b.mdb", "--netpc", "lab-pc:8123" });
    QCOMPARE(cl.request, Request::Start);
    QCOMPARE(cl.databasePath, QString("/tmp/a b.mdb"));
    QCOMPARE(cl.netpcHost, QString("lab-pc"));
    QCOMPARE(cl.netpcPort, quint16(8123));

    cl = CommandLine::parse({ "--netpc=10.0.0.7", "--db=k.mdb" });
    QCOMPARE(cl.netpcHost, QString("10.0.0.7"));
    QCOMPARE(cl.netpcPort, quint16(0)); // the configured port stays
    QCOMPARE(cl.databasePath, QString("k.mdb"));

    cl = CommandLine::parse({ "--netpc", "fe80::1" }); // IPv6 without a port
    QCOMPARE(cl.netpcHost, QString("fe80::1"));
    QCOMPARE(cl.netpcPort, quint16(0));

    cl = CommandLine::parse({});
    QVERIFY(cl.databasePath.isEmpty());
    QVERIFY(cl.netpcHost.isEmpty());
}

void CommandLineTest::usageErrorsNameTheirCause_data()
{
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<QString>("cause");
    QTest::newRow("unknown option") << QStringList { "--frobnicate" } << QString("frobnicate");
    QTest::newRow("unknown short option") << QStringList { "1", "-x" } << QString("'x'");
    QTest::newRow("db without file") << QStringList { "--db" } << QString("--db");
    QTest::newRow("port 0") << QStringList { "--netpc", "pc:0" } << QString("pc:0");
    QTest::newRow("port too big") << QStringList { "--netpc", "pc:65536" } << QString("pc:65536");
    QTest::newRow("port no number") << QStringList { "--netpc", "pc:x" } << QString("pc:x");
    QTest::newRow("no host") << QStringList { "--netpc", ":8100" } << QString(":8100");
}

void CommandLineTest::usageErrorsNameTheirCause()
{
    QFETCH(QStringList, arguments);
    QFETCH(QString, cause);
    const CommandLine cl = CommandLine::parse(arguments);
    QCOMPARE(cl.request, Request::UsageError);
    QVERIFY2(cl.error.contains(cause), qPrintable(cl.error));
    QVERIFY(!cl.error.contains('\n'));
}

void CommandLineTest::usageErrorIsOneLineAndAMessageBox()
{
    const CommandLine cl = CommandLine::parse({ "--frobnicate" });
    QString out, err;
    QTextStream outStream(&out), errStream(&err);
    ScriptedMessages operatorView;
    QCOMPARE(cl.answer(outStream, errStream, &operatorView), 2);
    QVERIFY(out.isEmpty());
    QVERIFY2(
        err.startsWith("zandor: ") && err.count('\n') == 1 && err.endsWith('\n'), qPrintable(err));
    QVERIFY(err.contains("frobnicate"));
    QCOMPARE(operatorView.entries.size(), 1);
    QVERIFY(operatorView.entries.first().text.startsWith("zandor: "));
    QVERIFY(operatorView.entries.first().text.contains("frobnicate"));
    QCOMPARE(operatorView.entries.first().icon, OperatorMessages::Icon::Critical);

    err.clear(); // without a screen, standard error alone
    QCOMPARE(cl.answer(outStream, errStream, nullptr), 2);
    QVERIFY(err.contains("frobnicate"));
}

void CommandLineTest::helpAndVersionAnswerWithoutStarting()
{
    QCoreApplication::setApplicationVersion("9.9");
    QString out, err;
    QTextStream outStream(&out), errStream(&err);
    ScriptedMessages operatorView;
    for (const char *help : { "--help", "-h" }) {
        out.clear();
        const CommandLine cl = CommandLine::parse({ "1", help });
        QCOMPARE(cl.request, Request::Help);
        QCOMPARE(cl.answer(outStream, errStream, &operatorView), 0);
        outStream.flush();
        QVERIFY2(out.startsWith("Usage: zandor [options] [1]\n"), qPrintable(out));
        for (const char *item : { "--db <FILE>", "--netpc <HOST[:PORT]>", "--version" })
            QVERIFY2(out.contains(item), item);
    }
    out.clear();
    const CommandLine cl = CommandLine::parse({ "--version" });
    QCOMPARE(cl.request, Request::Version);
    QCOMPARE(cl.answer(outStream, errStream, &operatorView), 0);
    outStream.flush();
    QCOMPARE(out, QString("zandor 9.9\n"));
    QVERIFY(err.isEmpty());
    QVERIFY(operatorView.entries.isEmpty());
}

// The program itself: help and version without any screen, a usage error
// headless. It answers before it opens any database.
void CommandLineTest::programAnswersWithItsExitStatus()
{
    QTemporaryDir runtime; // a desktop session has one; Qt warns on stderr without it
    QProcessEnvironment noScreen = QProcessEnvironment::systemEnvironment();
    noScreen.insert("XDG_RUNTIME_DIR", runtime.path());
    for (const char *variable : { "QT_QPA_PLATFORM", "DISPLAY", "WAYLAND_DISPLAY" })
        noScreen.remove(variable);
    QProcessEnvironment headless = noScreen;
    headless.insert("QT_QPA_PLATFORM", "offscreen");
    const auto run = [](const QProcessEnvironment &environment, const QStringList &arguments,
                         int status, const QString &out, const QString &err) {
        QProcess p;
        p.setProcessEnvironment(environment);
        p.start(QCoreApplication::applicationDirPath() + "/../zandor", arguments);
        QVERIFY2(p.waitForFinished(20000), qPrintable(p.errorString()));
        const QString stdoutText = p.readAllStandardOutput();
        const QString stderrText = p.readAllStandardError();
        QCOMPARE(p.exitStatus(), QProcess::NormalExit);
        QVERIFY2(p.exitCode() == status, qPrintable(stderrText));
        QVERIFY2(out.isEmpty() ? stdoutText.isEmpty() : stdoutText.startsWith(out),
            qPrintable(stdoutText));
        QVERIFY2(err.isEmpty() ? stderrText.isEmpty()
                               : stderrText.startsWith(err) && stderrText.count('\n') == 1,
            qPrintable(stderrText));
    };
    run(noScreen, { "--help" }, 0, "Usage: zandor [options] [1]\n", "");
    run(noScreen, { "1", "--version" }, 0, "zandor 3.2\n", "");
    run(headless, { "--db", "/nonexistent/k.mdb", "--nonsense" }, 2, "",
        "zandor: Unknown option 'nonsense'");
}

QTEST_MAIN(CommandLineTest)
#include "test_commandline.moc"

// zandorctl's command lines: help for every command, one form of refusal.
#include "TestSupport.h"
#include "Zandorctl.h"

#include <QCoreApplication>
#include <QProcess>
#include <QtTest>

namespace
{

const QStringList Commands { "csv", "evaluate", "export", "import", "list", "measure", "reorganise",
    "report", "stats" };

} // namespace

class TestCtlCommandLine : public QObject
{
    Q_OBJECT
private slots:
    void helpAndVersionAnswerOnStandardOutput()
    {
        const CtlRun overall = RunZandorctl({ "--help" });
        QCOMPARE(overall.status, 0);
        for (const QString &command : Commands)
            QVERIFY2(overall.out.contains("  " + command), qPrintable(command));
        const CtlRun version = RunZandorctl({ "--version" });
        QCOMPARE(version.status, 0);
        QCOMPARE(version.out.trimmed(), QStringLiteral("zandorctl 3.2"));
        for (const QString &command : Commands) {
            for (const QStringList &args :
                { QStringList { "help", command }, { command, "--help" } }) {
                const CtlRun help = RunZandorctl(args);
                QCOMPARE(help.status, 0);
                QVERIFY2(help.out.startsWith("Usage: zandorctl " + command), qPrintable(help.out));
                QVERIFY(help.err.isEmpty());
            }
        }
        QVERIFY(RunZandorctl({ "help", "measure" }).out.contains("--paper-weight <G>"));
    }

    void usageErrorsHaveOneFormAndStatusTwo_data()
    {
        QTest::addColumn<QStringList>("args");
        QTest::addColumn<QString>("start");
        QTest::newRow("unknown option") << QStringList { "list", "--frob" } << "zandorctl list: ";
        QTest::newRow("missing value") << QStringList { "export", "--key" } << "zandorctl export: ";
        QTest::newRow("missing option")
            << QStringList { "export", "--key", "3" } << "zandorctl export: ";
        QTest::newRow("stray argument")
            << QStringList { "reorganise", "x" } << "zandorctl reorganise: ";
        QTest::newRow("no file") << QStringList { "import" } << "zandorctl import: ";
        QTest::newRow("bad number") << QStringList { "report", "--scope", "5", "--key", "k", "-o",
            "r.pdf" } << "zandorctl report: ";
        QTest::newRow("bad box") << QStringList { "measure", "--box", "6" }
                                 << "zandorctl measure: ";
        QTest::newRow("unknown command") << QStringList { "frob" } << "zandorctl: ";
        QTest::newRow("help on nothing") << QStringList { "help", "frob" } << "zandorctl help: ";
    }
    void usageErrorsHaveOneFormAndStatusTwo()
    {
        QFETCH(QStringList, args);
        QFETCH(QString, start);
        const CtlRun r = RunZandorctl(args);
        QCOMPARE(r.status, 2);
        QVERIFY(r.out.isEmpty());
        QVERIFY2(r.err.startsWith(start), qPrintable(r.err));
        QCOMPARE(r.err.count('\n'), 1);
    }
};

QTEST_GUILESS_MAIN(TestCtlCommandLine)
#include "test_ctlcommandline.moc"

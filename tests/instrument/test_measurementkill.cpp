#include "MeasurementFixture.h"

#include "core/Notation.h"
#include "instrument/RunJournalWriter.h"
#include "store/Database.h"
#include "store/RunJournal.h"
#include "store/Store.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QRandomGenerator>
#include <QTemporaryDir>

// A measuring process killed outright loses none of the points it took.
class TestMeasurementKill : public QObject
{
    Q_OBJECT

private slots:
    void everyPointBeforeAKillIsRestored();

private:
    static QString ctlPath() { return QCoreApplication::applicationDirPath() + "/../zandorctl"; }
    static QStringList measureArgs(const QString &db, quint16 port)
    {
        return { "measure", "--db", db, "--netpc", QStringLiteral("127.0.0.1:%1").arg(port),
            "--box", "4", "--scope", "2.5", "--name", "K9", "--json" };
    }
    static bool finish(QProcess &p)
    {
        return QTest::qWaitFor([&] { return p.state() == QProcess::NotRunning; }, 60000);
    }
};

void TestMeasurementKill::everyPointBeforeAKillIsRestored()
{
    QTemporaryDir dir;
    // The same simulated specimen measured whole, for comparison.
    QJsonArray clean;
    {
        const auto sim = startSimulator(300);
        QVERIFY(sim);
        QProcess ctl;
        ctl.start(ctlPath(), measureArgs(dir.filePath("clean.mdb"), sim->serverPort()));
        QVERIFY(finish(ctl));
        clean = QJsonDocument::fromJson(ctl.readAllStandardOutput())
                    .object()
                    .value("points")
                    .toArray();
        QCOMPARE(clean.size(), 89);
    }

    const int killAt = QRandomGenerator::global()->bounded(1, 88);
    const QString db = dir.filePath("killed.mdb");
    {
        const auto sim = startSimulator(300);
        QVERIFY(sim);
        QProcess ctl;
        QByteArray err;
        bool killed = false;
        connect(&ctl, &QProcess::readyReadStandardError, this, [&] {
            err += ctl.readAllStandardError();
            if (!killed && err.contains(QStringLiteral("point %1 of").arg(killAt).toLatin1())) {
                killed = true;
                ctl.kill(); // SIGKILL: no clean-up of any kind
            }
        });
        ctl.start(ctlPath(), measureArgs(db, sim->serverPort()));
        QVERIFY(finish(ctl));
        QVERIFY2(killed, err.constData());
        QCOMPARE(ctl.exitStatus(), QProcess::CrashExit);
    }

    Database database;
    QVERIFY(database.open(db));
    const QList<RunJournal::Interrupted> runs = RunJournal(database).interrupted();
    QCOMPARE(runs.size(), 1);
    QCOMPARE(runs[0].boxNr, 4);
    const BoxRecord box = RestoredEvaluatedBox(runs[0]);
    const int n = box.pointCount() - 1;
    QVERIFY2(n >= killAt, qPrintable(QStringLiteral("%1 of %2 points").arg(n).arg(killAt)));
    for (int i = 0; i <= n; ++i) {
        const QJsonArray point = clean.at(i).toArray();
        QCOMPARE(box.y[size_t(i)], float(point.at(0).toDouble()));
        QCOMPARE(box.x[size_t(i)], float(point.at(1).toDouble()));
    }
    QVERIFY(box.Unvollst);
    const Notation notation;
    QVERIFY(
        RestoreQuestion(runs[0], notation)
            .startsWith(QStringLiteral("A measurement of K9 in box 4 was interrupted at point %1 (")
                            .arg(n)));
    database.close();

    // zandorctl recover lists it, and stores it under its specimen name.
    QProcess recover;
    recover.start(ctlPath(), { "recover", "--db", db, "--json", "--save", "Recovered" });
    QVERIFY(finish(recover));
    QCOMPARE(recover.exitCode(), 0);
    const QJsonArray listed
        = QJsonDocument::fromJson(recover.readAllStandardOutput()).object().value("runs").toArray();
    QCOMPARE(listed.size(), 1);
    QCOMPARE(listed.at(0).toObject().value("points").toArray().size(), n + 1);
    QCOMPARE(listed.at(0).toObject().value("complete"), QJsonValue(false));

    QVERIFY(database.open(db));
    QVERIFY(RunJournal(database).interrupted().isEmpty());
    Store store(database, notation);
    const auto graphs = store.findDirectory(DirectoryType::Graphs, QStringLiteral("Recovered"));
    QVERIFY(graphs);
    const auto key = store.findRecord(*graphs, QStringLiteral("K9"));
    QVERIFY(key);
    BoxRecord saved;
    QVERIFY(store.LoadBox(saved, *key));
    QCOMPARE(saved.pointCount(), n + 1);
    QVERIFY(saved.Unvollst);
}

QTEST_GUILESS_MAIN(TestMeasurementKill)
#include "test_measurementkill.moc"

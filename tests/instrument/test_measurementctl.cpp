#include "MeasurementFixture.h"

#include "core/Notation.h"
#include "store/Database.h"
#include "store/Store.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QTemporaryDir>

class TestMeasurementCtl : public QObject
{
    Q_OBJECT

private slots:
    void measuresEvaluatesAndStores();
};

void TestMeasurementCtl::measuresEvaluatesAndStores()
{
    const auto sim = startSimulator(300);
    QVERIFY(sim);
    QTemporaryDir dir;
    const QString db = dir.filePath(QStringLiteral("measure.mdb"));
    QProcess ctl;
    ctl.start(QCoreApplication::applicationDirPath() + "/../zandorctl",
        { "measure", "--db", db, "--netpc", QStringLiteral("127.0.0.1:%1").arg(sim->serverPort()),
            "--box", "2", "--scope", "2.5", "--name", "A1", "--paper-weight", "45", "--json",
            "--save", "Nightly" });
    // The simulator serves it from this process, so the wait keeps the event loop turning.
    QVERIFY(QTest::qWaitFor([&] { return ctl.state() == QProcess::NotRunning; }, 60000));
    const QString err = QString::fromLocal8Bit(ctl.readAllStandardError());
    QVERIFY2(ctl.exitStatus() == QProcess::NormalExit && ctl.exitCode() == 0, qPrintable(err));
    QVERIFY(err.contains(QStringLiteral("point 88 of 88")));

    const QJsonObject json = QJsonDocument::fromJson(ctl.readAllStandardOutput()).object();
    QVERIFY(json.value("Erg5").toDouble() > 0);
    QCOMPARE(json.value("Ein3").toDouble(), 4.0); // from the paper weight
    QCOMPARE(json.value("Ein4").toDouble(), 1.7); // the cycle preset of 2.5 minutes
    QCOMPARE(json.value("Ein9").toDouble(), json.value("ZeroPoint").toDouble());
    const QJsonArray points = json.value("points").toArray();
    QCOMPARE(points.size(), 89);
    QCOMPARE(points.at(0).toArray().at(0).toDouble(), 0.0);
    QCOMPARE(points.at(88).toArray().at(0).toDouble(), 149.6);

    Database database;
    QVERIFY(database.open(db));
    Store store(database, Notation());
    const auto graphs = store.findDirectory(DirectoryType::Graphs, QStringLiteral("Nightly"));
    QVERIFY(graphs);
    const auto key = store.findRecord(*graphs, QStringLiteral("A1"));
    QVERIFY(key);
    BoxRecord box;
    QVERIFY(store.LoadBox(box, *key));
    QCOMPARE(box.pointCount(), 89);
    QCOMPARE(box.Erg[5], float(json.value("Erg5").toDouble()));
}

QTEST_GUILESS_MAIN(TestMeasurementCtl)
#include "test_measurementctl.moc"

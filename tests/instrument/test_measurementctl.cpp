#include "MeasurementFixture.h"

#include "shell/Notation.h"
#include "store/Database.h"
#include "store/Store.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QTemporaryDir>

namespace
{

struct CtlResult {
    int exitCode = -1;
    QByteArray out;
    QString err;
};

QString zandorctl()
{
    return QCoreApplication::applicationDirPath() + "/../zandorctl";
}

// Runs the command-line companion beside the simulator that serves it in
// this process, so the wait must keep this event loop turning.
CtlResult runCtl(const QStringList &args)
{
    QProcess process;
    process.start(zandorctl(), QStringList { QStringLiteral("measure") } + args);
    CtlResult r;
    if (!process.waitForStarted(5000))
        return r;
    if (!QTest::qWaitFor([&] { return process.state() == QProcess::NotRunning; }, 60000))
        process.kill();
    r.exitCode = process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
    r.out = process.readAllStandardOutput();
    r.err = QString::fromLocal8Bit(process.readAllStandardError());
    return r;
}

QString hostOf(const NetPcSimulator &sim)
{
    return QStringLiteral("127.0.0.1:%1").arg(sim.serverPort());
}

} // namespace

class TestMeasurementCtl : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void measuresEvaluatesAndStores();
    void failuresEndWithTheirStatus_data();
    void failuresEndWithTheirStatus();

private:
    QTemporaryDir m_dir;
};

void TestMeasurementCtl::initTestCase()
{
    QVERIFY2(QFile::exists(zandorctl()), "build the zandorctl target first");
}

void TestMeasurementCtl::measuresEvaluatesAndStores()
{
    const auto sim = startSimulator(300);
    QVERIFY(sim);
    const QString db = m_dir.filePath(QStringLiteral("measure.mdb"));
    const CtlResult r = runCtl({ "--db", db, "--netpc", hostOf(*sim), "--box", "2", "--scope",
        "2.5", "--name", "A1", "--paper-weight", "45", "--json", "--save", "Nightly" });
    QVERIFY2(r.exitCode == 0, qPrintable(r.err));
    QVERIFY(r.err.contains(QStringLiteral("point 88 of 88")));

    const QJsonObject json = QJsonDocument::fromJson(r.out).object();
    for (int k = 1; k <= 5; ++k)
        QVERIFY(json.value(QStringLiteral("Erg%1").arg(k)).isDouble());
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
    const auto dir = store.findDirectory(DirectoryType::Graphs, QStringLiteral("Nightly"));
    QVERIFY(dir);
    const auto key = store.findRecord(*dir, QStringLiteral("A1"));
    QVERIFY(key);
    BoxRecord box;
    QVERIFY(store.LoadBox(box, *key));
    QCOMPARE(box.Status, BoxStatus::Graph);
    QCOMPARE(box.pointCount(), 89);
    QCOMPARE(box.Erg[5], float(json.value("Erg5").toDouble()));

    // The same name again is refused before anything is measured.
    const CtlResult again
        = runCtl({ "--db", db, "--netpc", hostOf(*sim), "--name", "A1", "--save", "Nightly" });
    QCOMPARE(again.exitCode, 2);
    QVERIFY(again.err.contains(QStringLiteral("already holds a graph named \"A1\"")));
}

void TestMeasurementCtl::failuresEndWithTheirStatus_data()
{
    QTest::addColumn<QStringList>("args");
    QTest::addColumn<QString>("peer"); // a fault of the simulator, or "none" at all
    QTest::addColumn<int>("status");
    QTest::addColumn<QString>("message");
    QTest::newRow("voltage") << QStringList { "--voltage", "7" } << "" << 2
                             << "--voltage must be one of";
    QTest::newRow("cycle too short for the scope")
        << QStringList { "--scope", "25", "--cycle", "4" } << "" << 2 << "from 5 to 999 s";
    QTest::newRow("database") << QStringList { "--db", "not-a-folder/k.mdb" } << "" << 3 << "";
    QTest::newRow("instrument refuses") << QStringList {} << "err" << 4 << "ERR 17 command refused";
    QTest::newRow("no instrument") << QStringList {} << "none" << 4 << "Error Connection NetPC";
}

void TestMeasurementCtl::failuresEndWithTheirStatus()
{
    QFETCH(QStringList, args);
    QFETCH(QString, peer);
    QFETCH(int, status);
    QFETCH(QString, message);
    const auto sim = startSimulator(100, peer == QLatin1String("none") ? QString() : peer);
    QVERIFY(sim);
    QStringList all { "--netpc", hostOf(*sim) };
    if (peer == QLatin1String("none"))
        sim->close(); // nobody listens on its port any more
    if (const int db = int(args.indexOf(QStringLiteral("--db"))); db >= 0) {
        // A database path below a plain file can be neither opened nor made.
        QFile file(m_dir.filePath(QStringLiteral("not-a-folder")));
        QVERIFY(file.open(QIODevice::WriteOnly));
        args[db + 1] = m_dir.filePath(args.at(db + 1));
    } else {
        all << "--db" << m_dir.filePath(QStringLiteral("failures.mdb"));
    }
    const CtlResult r = runCtl(all + args);
    QCOMPARE(r.exitCode, status);
    QVERIFY2(r.err.contains(message), qPrintable(r.err));
    QVERIFY(r.out.isEmpty());
    if (status == 2)
        QVERIFY(sim->receivedCommands().isEmpty()); // refused before the instrument
}

QTEST_GUILESS_MAIN(TestMeasurementCtl)
#include "test_measurementctl.moc"

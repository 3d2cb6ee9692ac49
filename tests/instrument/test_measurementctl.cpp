#include "MeasurementFixture.h"

#include "core/Notation.h"
#include "store/Database.h"
#include "store/Store.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QTemporaryDir>

namespace
{

struct CtlRun {
    int exitCode = -1;
    QJsonObject json;
    QString err;
};

// zandorctl measure of specimen "A1" in 2.5 minutes against a simulated
// NetPC playing `fault`, stored into directory "Nightly" of `db`.
CtlRun measure(const QString &fault, const QString &db)
{
    const auto sim = startSimulator(300, fault);
    if (!sim)
        return {};
    QProcess ctl;
    ctl.start(QCoreApplication::applicationDirPath() + "/../zandorctl",
        { "measure", "--db", db, "--netpc", QStringLiteral("127.0.0.1:%1").arg(sim->serverPort()),
            "--scope", "2.5", "--name", "A1", "--paper-weight", "45", "--json", "--save",
            "Nightly" });
    // The simulator serves it from this process, so the wait keeps the event loop turning.
    if (!QTest::qWaitFor([&] { return ctl.state() == QProcess::NotRunning; }, 60000))
        return { -1, {}, QStringLiteral("zandorctl did not finish") };
    return { ctl.exitStatus() == QProcess::NormalExit ? ctl.exitCode() : -1,
        QJsonDocument::fromJson(ctl.readAllStandardOutput()).object(),
        QString::fromLocal8Bit(ctl.readAllStandardError()) };
}

BoxRecord stored(const QString &db)
{
    BoxRecord box;
    Database database;
    if (!database.open(db))
        return box;
    const Notation notation;
    Store store(database, notation);
    const auto graphs = store.findDirectory(DirectoryType::Graphs, QStringLiteral("Nightly"));
    const auto key = graphs ? store.findRecord(*graphs, QStringLiteral("A1")) : std::nullopt;
    if (key)
        store.LoadBox(box, *key);
    return box;
}

} // namespace

class TestMeasurementCtl : public QObject
{
    Q_OBJECT

private slots:
    void measuresEvaluatesAndStores();
    void simulatorFaults_data();
    void simulatorFaults();

private:
    QJsonObject m_clean;
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
    const Notation notation;
    Store store(database, notation);
    const auto graphs = store.findDirectory(DirectoryType::Graphs, QStringLiteral("Nightly"));
    QVERIFY(graphs);
    const auto key = store.findRecord(*graphs, QStringLiteral("A1"));
    QVERIFY(key);
    BoxRecord box;
    QVERIFY(store.LoadBox(box, *key));
    QCOMPARE(box.pointCount(), 89);
    QCOMPARE(box.Erg[5], float(json.value("Erg5").toDouble()));
}

void TestMeasurementCtl::simulatorFaults_data()
{
    QTest::addColumn<QString>("fault");
    for (const char *fault : { "pair", "split", "tail", "okjoin", "gap=40", "drop=46" })
        QTest::newRow(fault) << fault;
}

void TestMeasurementCtl::simulatorFaults()
{
    QFETCH(QString, fault);
    QTemporaryDir dir;
    if (m_clean.isEmpty()) {
        const CtlRun clean = measure({}, dir.filePath(QStringLiteral("clean.mdb")));
        QVERIFY2(clean.exitCode == 0, qPrintable(clean.err));
        m_clean = clean.json;
    }
    QCOMPARE(m_clean.value("complete"), QJsonValue(true));
    QCOMPARE(m_clean.value("missing"), QJsonValue(0));
    const QJsonArray cleanPoints = m_clean.value("points").toArray();
    QCOMPARE(cleanPoints.size(), 89);

    const QString db = dir.filePath(QStringLiteral("fault.mdb"));
    const CtlRun run = measure(fault, db);
    const QJsonArray points = run.json.value("points").toArray();
    const BoxRecord box = stored(db);
    if (fault.startsWith(QLatin1String("drop"))) {
        // The start-up took 16 replies, the greeting among them: 30 readings.
        QVERIFY2(run.exitCode == 4, qPrintable(run.err));
        QVERIFY(run.err.contains(QStringLiteral("lost at point 30")));
        QCOMPARE(run.json.value("complete"), QJsonValue(false));
        QCOMPARE(points, QJsonArray::fromVariantList(cleanPoints.toVariantList().mid(0, 31)));
        QCOMPARE(box.pointCount(), 31);
        QVERIFY(box.Unvollst);
        return;
    }
    QVERIFY2(run.exitCode == 0, qPrintable(run.err));
    QCOMPARE(run.json.value("complete"), QJsonValue(true));
    QCOMPARE(box.pointCount(), 89);
    if (fault.startsWith(QLatin1String("gap"))) {
        QCOMPARE(run.json.value("missing"), QJsonValue(1));
        QCOMPARE(box.Fehlend, 1);
        for (qsizetype i = 1; i < points.size(); ++i)
            QVERIFY(points.at(i).toArray().at(0).toDouble()
                >= points.at(i - 1).toArray().at(0).toDouble());
        for (int k = 1; k <= 5; ++k) {
            const QString erg = QStringLiteral("Erg%1").arg(k);
            const double clean = m_clean.value(erg).toDouble();
            QVERIFY2(qAbs(run.json.value(erg).toDouble() - clean) <= 0.01 * qAbs(clean),
                qPrintable(erg));
        }
        return;
    }
    QCOMPARE(run.json.value("missing"), QJsonValue(0));
    QCOMPARE(points, cleanPoints);
    for (int k = 1; k <= 5; ++k) {
        const QString erg = QStringLiteral("Erg%1").arg(k);
        QCOMPARE(run.json.value(erg), m_clean.value(erg));
        // Shortest round-trip text: the stored single comes back exactly.
        QCOMPARE(box.Erg[size_t(k)], float(run.json.value(erg).toDouble()));
    }
}

QTEST_GUILESS_MAIN(TestMeasurementCtl)
#include "test_measurementctl.moc"

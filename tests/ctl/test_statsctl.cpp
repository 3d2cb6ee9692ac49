#include "instrument/MeasurementFixture.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QTemporaryDir>
#include <cmath>

class TestStatsCtl : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void figuresMatchTheStoredResults();
    void selectionOptionsNarrowAndRefuse();
    void curvesCsvHoldsEveryPoint();

private:
    // Runs zandorctl; the simulator serves from this process, so the wait
    // keeps the event loop turning.
    QByteArray ctl(const QStringList &args, int expectedExit = 0);
    QString path(const QString &name) const { return m_dir.filePath(name); }

    std::unique_ptr<NetPcSimulator> m_sim;
    QTemporaryDir m_dir;
    QString m_db;
};

QByteArray TestStatsCtl::ctl(const QStringList &args, int expectedExit)
{
    QProcess p;
    p.start(QCoreApplication::applicationDirPath() + "/../zandorctl", args);
    if (!QTest::qWaitFor([&] { return p.state() == QProcess::NotRunning; }, 60000))
        qFatal("zandorctl %s did not end", qPrintable(args.join(' ')));
    const QString err = QString::fromLocal8Bit(p.readAllStandardError());
    if (p.exitStatus() != QProcess::NormalExit || p.exitCode() != expectedExit)
        qWarning(
            "zandorctl %s: exit %d: %s", qPrintable(args.join(' ')), p.exitCode(), qPrintable(err));
    return p.exitCode() == expectedExit ? p.readAllStandardOutput() : QByteArray("failed");
}

void TestStatsCtl::initTestCase()
{
    m_sim = startSimulator(300);
    QVERIFY(m_sim);
    m_db = path("lab.mdb");
    // Each run of one simulator is a specimen of its own, so the results spread.
    const QString netpc = QStringLiteral("127.0.0.1:%1").arg(m_sim->serverPort());
    for (int i = 1; i <= 5; ++i) {
        const QString directory = i <= 4 ? QStringLiteral("Nightly") : QStringLiteral("Other");
        QVERIFY(ctl({ "measure", "--db", m_db, "--netpc", netpc, "--box", "1", "--scope", "2.5",
                    "--name", QStringLiteral("S%1").arg(i), "--save", directory })
            != "failed");
    }
}

namespace
{

// The results of one export file: its record line after "-1|-1|" holds
// UntID, Status, VerzID, 21 specimen columns, then Erg1..Erg5, written with
// a decimal comma.
std::array<double, 6> exportedResults(const QString &file)
{
    QFile f(file);
    if (!f.open(QIODevice::ReadOnly))
        qFatal("no export file %s", qPrintable(file));
    const QStringList fields = QString::fromLatin1(f.readLine()).split('|');
    std::array<double, 6> erg {};
    for (int k = 1; k <= 5; ++k)
        erg[k] = fields.at(2 + 23 + k).trimmed().replace(',', '.').toDouble();
    return erg;
}

} // namespace

void TestStatsCtl::figuresMatchTheStoredResults()
{
    // The independent side: keys from `list`, results from `export`.
    const QJsonObject listing
        = QJsonDocument::fromJson(ctl({ "list", "--db", m_db, "--json" })).object();
    int nightly = 0;
    for (const QJsonValue d : listing.value("directories").toArray())
        if (d.toObject().value("VerzName").toString() == "Nightly")
            nightly = d.toObject().value("VerzID").toInt();
    QList<std::array<double, 6>> results;
    for (const QJsonValue r : listing.value("records").toArray()) {
        if (r.toObject().value("VerzID").toInt() != nightly)
            continue;
        const QString key = QString::number(r.toObject().value("UntID").toInt());
        const QString file = path("export" + key + ".dat");
        QVERIFY(ctl({ "export", "--db", m_db, "--key", key, "-o", file }) != "failed");
        results << exportedResults(file);
    }
    QCOMPARE(results.size(), 4);

    const QJsonObject stats
        = QJsonDocument::fromJson(ctl({ "stats", "--db", m_db, "--dir", "Nightly", "--json" }))
              .object();
    QCOMPARE(stats.value("count").toInt(), 4);
    QVERIFY(stats.value("limitFile").isNull());
    const QJsonArray figures = stats.value("results").toArray();
    QCOMPARE(figures.size(), 5);
    bool spread = false;
    for (int k = 1; k <= 5; ++k) {
        double sum = 0, squares = 0;
        for (const auto &r : results)
            sum += r[k];
        const double mean = sum / results.size();
        for (const auto &r : results)
            squares += (r[k] - mean) * (r[k] - mean);
        const double sd = std::sqrt(squares / (results.size() - 1));
        const QJsonObject f = figures.at(k - 1).toObject();
        QCOMPARE(f.value("result").toInt(), k);
        QCOMPARE(f.value("count").toInt(), 4);
        // The export writes seven significant digits: single precision.
        QVERIFY(std::abs(f.value("mean").toDouble() - mean) <= 1e-6 * std::abs(mean));
        QVERIFY2(
            std::abs(f.value("standardDeviation").toDouble() - sd) <= 1e-6 * (1 + std::abs(mean)),
            qPrintable(QStringLiteral("result %1: %2 against %3")
                           .arg(k)
                           .arg(f.value("standardDeviation").toDouble())
                           .arg(sd)));
        QCOMPARE(f.value("outside").toInt(), 0); // no limit file, nothing judged
        QVERIFY(f.value("cp").isNull());
        spread = spread || sd > 0;
    }
    QVERIFY(spread); // the comparison compared something
}

void TestStatsCtl::selectionOptionsNarrowAndRefuse()
{
    const auto count = [&](const QStringList &more) {
        return QJsonDocument::fromJson(ctl(QStringList { "stats", "--db", m_db, "--json" } + more))
            .object()
            .value("count")
            .toInt(-1);
    };
    QCOMPARE(count({}), 5);
    QCOMPARE(count({ "--dir", "Nightly", "--dir", "Other" }), 5);
    QCOMPARE(count({ "--name", "s?" }), 5);
    QCOMPARE(count({ "--name", "S3" }), 1);
    const QString today = QDate::currentDate().toString(Qt::ISODate);
    QCOMPARE(count({ "--from", today, "--to", today }), 5);
    QCOMPARE(count({ "--to", QDate::currentDate().addDays(-1).toString(Qt::ISODate) }), 0);
    QVERIFY(ctl({ "stats", "--db", m_db, "--dir", "Nowhere" }, 1) != "failed");
    QVERIFY(ctl({ "stats", "--db", m_db, "--from", "5.12.2026" }, 1) != "failed");
    QVERIFY(ctl({ "stats", "--db", path("none.mdb") }, 1) != "failed");
    QVERIFY(!QFile::exists(path("none.mdb")));
    QVERIFY(ctl({ "stats", "--db", m_db, "--bogus" }, 2) != "failed");
    QVERIFY(
        ctl({ "csv", "--db", m_db, "--results", "--curves", "-o", path("x.csv") }, 2) != "failed");
}

void TestStatsCtl::curvesCsvHoldsEveryPoint()
{
    const QString file = path("curves.csv");
    QVERIFY(ctl({ "csv", "--curves", "--db", m_db, "--name", "S1", "--decimal-comma", "-o", file })
        != "failed");
    QFile f(file);
    QVERIFY(f.open(QIODevice::ReadOnly));
    const QList<QByteArray> lines = f.readAll().split('\n');
    // Header, 89 points of a 2.5-minute run, and the empty piece after the last line end.
    QCOMPARE(lines.size(), 1 + 89 + 1);
    QVERIFY(lines.at(89).startsWith("Nightly;S1;88;149,6;"));
}

QTEST_GUILESS_MAIN(TestStatsCtl)
#include "test_statsctl.moc"

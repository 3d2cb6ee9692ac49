// The store's everyday operations on both engines, on this machine: a
// database file, and a database on a PostgreSQL server (when libpq's PG*
// variables name one, as under pg_virtualenv; bench/run-all.sh starts one).
// Each gets a directory of 10,000 graphs; printed are the medians of listing
// it, LoadBox and SaveBox (with the engine's full durability).
#include "BenchServerDatabase.h"
#include "core/BoxRecord.h"
#include "core/Notation.h"
#include "store/Database.h"
#include "store/Store.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <QTextStream>
#include <algorithm>

namespace
{

constexpr int RecordCount = 10000;

BoxRecord graph(int seed)
{
    BoxRecord b;
    b.Status = BoxStatus::Graph;
    b.Benutzer = QStringLiteral("operator %1").arg(seed % 7);
    b.PruefAm = QStringLiteral("05.12.26");
    b.BgArt = QStringLiteral("melamine");
    b.Bemerk = QStringLiteral("routine test");
    b.GrwBez = QStringLiteral("standard");
    for (int k = 1; k <= 10; ++k)
        b.Ein[k] = float(k);
    for (int i = 0; i < 200; ++i) {
        b.x[i] = float((seed + i) % 10000) / 100;
        b.y[i] = float(i) * 2.5f;
    }
    b.x[200] = CurveEndMark;
    return b;
}

template <typename Fn> double medianMicros(int runs, Fn &&fn)
{
    QList<double> times;
    QElapsedTimer t;
    for (int i = 0; i < runs; ++i) {
        t.start();
        fn(i);
        times << t.nsecsElapsed() / 1000.0;
    }
    std::sort(times.begin(), times.end());
    return times.at(times.size() / 2);
}

// Durability off while filling, as for a bulk load; the measured saves have it on.
void setDurable(Database &db, bool durable)
{
    QSqlQuery q(db.connection());
    if (db.onServer())
        q.exec(QStringLiteral("SET synchronous_commit = %1").arg(durable ? "on" : "off"));
    else
        q.exec(QStringLiteral("PRAGMA synchronous=%1").arg(durable ? "FULL" : "OFF"));
}

bool run(const QString &engine, const QString &target, QTextStream &out)
{
    const Notation notation(QLatin1Char(','), QLatin1Char('.'));
    Database db;
    const Database::OpenResult opened = db.open(target);
    if (!opened) {
        QTextStream(stderr) << opened.message << "\n";
        return false;
    }
    Store store(db, notation);
    setDurable(db, false);
    const qint32 big = *store.addDirectory(DirectoryType::Graphs, QStringLiteral("big"));
    QList<qint32> keys;
    for (int i = 0; i < RecordCount; ++i) {
        BoxRecord b = graph(i);
        if (!store.SaveBox(b, SaveMode::Add, QStringLiteral("specimen %1").arg(i), big)) {
            QTextStream(stderr) << store.lastError() << "\n";
            return false;
        }
        keys << b.UntID;
    }
    setDurable(db, true);
    if (db.onServer())
        QSqlQuery(db.connection()).exec(QStringLiteral("VACUUM ANALYZE")); // as autovacuum would

    int listed = 0;
    const double listing = medianMicros(21, [&](int) { listed = store.listRecords(big).size(); });
    out << engine << ": listing a directory of " << listed << " records: " << listing / 1000.0
        << " ms (median of 21; target < 20 ms)\n";
    BoxRecord box;
    const double load
        = medianMicros(1001, [&](int i) { store.LoadBox(box, keys.at((i * 7919) % keys.size())); });
    out << engine << ": LoadBox: " << load / 1000.0 << " ms (median of 1001; target < 1 ms)\n";
    const double save = medianMicros(201, [&](int i) {
        BoxRecord b = graph(RecordCount + i);
        store.SaveBox(b, SaveMode::Add, QStringLiteral("new %1").arg(i), big);
    });
    out << engine << ": SaveBox: " << save / 1000.0 << " ms (median of 201; target < 5 ms)\n";
    return true;
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    QTextStream out(stdout);
    QTemporaryDir dir(QDir::currentPath() + QStringLiteral("/bench_engines-XXXXXX"));
    if (!run(QStringLiteral("file"), dir.filePath(QStringLiteral("kovra.mdb")), out))
        return 1;
    if (qEnvironmentVariableIsEmpty("PGHOST")) {
        out << "server: not measured (no PGHOST; run under pg_virtualenv)\n";
        return 0;
    }
    BenchServerDatabase server(QStringLiteral("zandor_bench"));
    if (!server.ok || !run(QStringLiteral("server"), server.target(), out))
        return 1;
    return 0;
}

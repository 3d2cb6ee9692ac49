// Copying a whole database between engines on this machine: a file of
// 10,000 graphs with full curves copied to a second file and back, and, when
// libpq's PG* variables name a server (as under pg_virtualenv; bench/run-all.sh
// starts one), to a database on the server and from there into a new file.
// Printed is the time of each copy, as zandorctl copy spends it.
#include "BenchServerDatabase.h"
#include "core/BoxRecord.h"
#include "core/Notation.h"
#include "store/Database.h"
#include "store/DatabaseCopy.h"
#include "store/Store.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QRandomGenerator>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <QTextStream>

namespace
{

constexpr int RecordCount = 10000;

BoxRecord graph(QRandomGenerator &random, int seed)
{
    BoxRecord b;
    b.Status = BoxStatus::Graph;
    b.Benutzer = QStringLiteral("Prüfer %1").arg(seed % 7);
    b.PruefAm = QStringLiteral("05.12.26");
    b.BgArt = QStringLiteral("Melamin");
    b.Bemerk = QStringLiteral("Routineprüfung");
    b.GrwBez = QStringLiteral("Standard");
    b.Bg = float(random.generateDouble() * 100);
    b.GesGew = float(random.generateDouble() * 200);
    for (int k = 1; k <= 10; ++k)
        b.Ein[size_t(k)] = float(random.generateDouble() * 100);
    for (int k = 1; k <= 5; ++k)
        b.Erg[size_t(k)] = float(random.generateDouble() * 100);
    const int points = 90 + int(random.bounded(211));
    for (int i = 0; i < points; ++i) {
        b.x[size_t(i)] = float(random.bounded(10000)) / 100;
        b.y[size_t(i)] = float(i * 6);
    }
    b.x[size_t(points)] = CurveEndMark;
    return b;
}

// The source file, filled through the store with the engine's durability
// off, as for a bulk load.
bool fill(const QString &path)
{
    const Notation notation(QLatin1Char(','), QLatin1Char('.'));
    Database db;
    if (!db.open(path))
        return false;
    QSqlQuery(db.connection()).exec(QStringLiteral("PRAGMA synchronous=OFF"));
    Store store(db, notation);
    QList<qint32> dirs;
    for (int d = 0; d < 4; ++d)
        dirs << *store.addDirectory(DirectoryType::Graphs, QStringLiteral("Jahr %1").arg(2020 + d));
    const qint32 limits = *store.addDirectory(DirectoryType::Limits, QStringLiteral("Grenzwerte"));
    for (int i = 0; i < 20; ++i) {
        LimitFile file;
        file.GrwName = QStringLiteral("Güte %1").arg(i);
        file.VerzID = limits;
        file.upper.fill(float(i) + 0.1f);
        store.addLimitFile(file);
    }
    QRandomGenerator random(42);
    for (int i = 0; i < RecordCount; ++i) {
        BoxRecord b = graph(random, i);
        if (!store.SaveBox(b, SaveMode::Add, QStringLiteral("Probe %1").arg(i), dirs.at(i % 4))) {
            QTextStream(stderr) << store.lastError() << "\n";
            return false;
        }
    }
    return true;
}

bool timedCopy(const QString &from, const QString &to, const QString &what, QTextStream &out)
{
    Database source, target;
    const Database::OpenResult a = source.open(from), b = target.open(to);
    if (!a || !b) {
        QTextStream(stderr) << a.message << b.message << "\n";
        return false;
    }
    QElapsedTimer clock;
    clock.start();
    const CopyResult result = CopyDatabase(source, target, false);
    const double seconds = clock.nsecsElapsed() / 1e9;
    if (!result.ok()) {
        QTextStream(stderr) << result.problem << "\n";
        return false;
    }
    qint64 records = 0;
    for (const TableCount &c : result.counts)
        if (c.table == QLatin1String("Untersuchungen"))
            records = c.rows;
    out << what << ": " << records << " records in " << QString::number(seconds, 'f', 2)
        << " s (target < 10 s)\n";
    out.flush();
    return true;
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    QTextStream out(stdout);
    QTemporaryDir dir(QDir::currentPath() + QStringLiteral("/bench_copy-XXXXXX"));
    const QString source = dir.filePath(QStringLiteral("source.mdb"));
    if (!fill(source))
        return 1;
    if (!timedCopy(
            source, dir.filePath(QStringLiteral("copy.mdb")), QStringLiteral("file to file"), out)
        || !timedCopy(dir.filePath(QStringLiteral("copy.mdb")),
            dir.filePath(QStringLiteral("back.mdb")), QStringLiteral("file to file, back"), out))
        return 1;
    if (qEnvironmentVariableIsEmpty("PGHOST")) {
        out << "server: not measured (no PGHOST; run under pg_virtualenv)\n";
        return 0;
    }
    BenchServerDatabase server(QStringLiteral("zandor_bench_copy"));
    const QString onServer = server.target();
    if (!server.ok || !timedCopy(source, onServer, QStringLiteral("file to server"), out)
        || !timedCopy(onServer, dir.filePath(QStringLiteral("fromserver.mdb")),
            QStringLiteral("server to file"), out))
        return 1;
    return 0;
}

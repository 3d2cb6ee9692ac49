// Builds a database of 100,000 graphs (10,000 of them in one directory) and
// prints medians of the store's everyday operations, and the reorganisation
// beside the bare engine work it consists of (integrity check and compaction
// into a new file) on the same file in the same run.
#include "core/BoxRecord.h"
#include "core/Notation.h"
#include "store/Database.h"
#include "store/Reorganisation.h"
#include "store/Store.h"

#include "core/OperatorMessages.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QRandomGenerator>
#include <QSqlError>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <QTextStream>
#include <algorithm>
#include <unistd.h>

namespace
{

int GraphCount = 100000; // or the first argument
constexpr int BigDirectoryCount = 10000;
constexpr int OtherDirectories = 18; // 5,000 graphs each

class Consent : public OperatorMessages
{
public:
    void show(const QString &text, Icon) override { QTextStream(stderr) << text << "\n"; }
    bool askYesNo(const QString &) override { return true; }
    bool askOkCancel(const QString &) override { return true; }
};

BoxRecord graph(int seed, QRandomGenerator &random)
{
    BoxRecord b;
    b.Status = BoxStatus::Graph;
    b.Benutzer = QStringLiteral("operator %1").arg(seed % 7);
    b.PruefAm = QStringLiteral("05.12.26");
    b.BgArt = QStringLiteral("melamine");
    b.HarzTyp = QStringLiteral("MF 12");
    b.Bemerk = QStringLiteral("routine test");
    b.GrwBez = QStringLiteral("standard");
    b.Bg = 120.5f;
    b.PaGew = 80;
    for (int k = 1; k <= 10; ++k)
        b.Ein[k] = float(k);
    for (int k = 1; k <= 5; ++k)
        b.Erg[k] = float(random.bounded(1000)) / 10;
    const int points = 50 + random.bounded(251);
    for (int i = 0; i < points; ++i) {
        b.x[i] = float(random.bounded(10000)) / 100;
        b.y[i] = float(i) * 2.5f;
    }
    b.x[std::min(points, 300)] = CurveEndMark;
    return b;
}

double median(QList<double> v)
{
    std::sort(v.begin(), v.end());
    return v.isEmpty() ? 0 : v.at(v.size() / 2);
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
    return median(times);
}

void setSynchronous(Database &db, const char *mode)
{
    QSqlQuery(db.connection())
        .exec(QStringLiteral("PRAGMA synchronous=%1").arg(QLatin1String(mode)));
}

// What one flush of a small write costs on this disk right now: the floor
// under any durable save, and it varies with what else the disk is doing.
double flushMicros(const QString &folder)
{
    QFile f(folder + QStringLiteral("/flush.probe"));
    f.open(QIODevice::ReadWrite | QIODevice::Truncate);
    const QByteArray block(16 * 1024, 'x');
    const double us = medianMicros(101, [&](int) {
        f.write(block);
        f.flush();
        ::fdatasync(f.handle());
    });
    f.close();
    f.remove();
    return us;
}

// The engine alone: integrity check and compaction into a new file.
double bareEngineSeconds(const QString &path, const QString &target)
{
    QFile::remove(target);
    QElapsedTimer t;
    t.start();
    {
        QSqlDatabase db
            = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("bare"));
        db.setDatabaseName(path);
        db.open();
        QSqlQuery q(db);
        q.exec(QStringLiteral("PRAGMA integrity_check"));
        q.next();
        if (q.value(0).toString() != QLatin1String("ok"))
            QTextStream(stderr) << "integrity: " << q.value(0).toString() << "\n";
        q.finish();
        if (!q.exec(QStringLiteral("VACUUM INTO '%1'").arg(target)))
            QTextStream(stderr) << q.lastError().text() << "\n";
        db.close();
    }
    QSqlDatabase::removeDatabase(QStringLiteral("bare"));
    const double seconds = t.nsecsElapsed() / 1e9;
    QFile::remove(target);
    return seconds;
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    if (argc > 1)
        GraphCount = std::max(BigDirectoryCount, atoi(argv[1]));
    QTextStream out(stdout);
    QTemporaryDir dir(QDir::currentPath() + QStringLiteral("/bench_store-XXXXXX"));
    const QString path = dir.filePath(QStringLiteral("kovra.mdb"));
    const Notation notation(QLatin1Char(','), QLatin1Char('.'));
    Database db;
    if (!db.open(path)) {
        QTextStream(stderr) << "cannot open " << path << "\n";
        return 1;
    }
    Store store(db, notation);
    QRandomGenerator random(20261206);

    // Building: durability off, the saves themselves are the real ones.
    QElapsedTimer build;
    build.start();
    setSynchronous(db, "OFF");
    const qint32 big = *store.addDirectory(DirectoryType::Graphs, QStringLiteral("big"));
    QList<qint32> others;
    for (int d = 0; d < OtherDirectories; ++d)
        others << *store.addDirectory(DirectoryType::Graphs, QStringLiteral("dir %1").arg(d));
    QList<qint32> bigKeys;
    // The big directory's graphs are spread over the whole table.
    for (int i = 0; i < GraphCount; ++i) {
        BoxRecord b = graph(i, random);
        const bool inBig = i % (GraphCount / BigDirectoryCount) == 0;
        const qint32 target = inBig ? big : others.at(i % OtherDirectories);
        if (!store.SaveBox(b, SaveMode::Add, QStringLiteral("specimen %1").arg(i), target)) {
            QTextStream(stderr) << store.lastError() << "\n";
            return 1;
        }
        if (inBig)
            bigKeys << b.UntID;
    }
    setSynchronous(db, "FULL");
    out << "built " << GraphCount << " graphs in " << build.elapsed() / 1000.0 << " s, file "
        << QFileInfo(path).size() / (1024 * 1024) << " MiB\n";

    int listed = 0;
    const double listing = medianMicros(21, [&](int) { listed = store.listRecords(big).size(); });
    out << "listing a directory of " << listed << " records: " << listing / 1000.0
        << " ms (median of 21; target < 10 ms)\n";

    const double lookup = medianMicros(2001, [&](int) {
        const int i = random.bounded(BigDirectoryCount) * (GraphCount / BigDirectoryCount);
        store.findRecord(big, QStringLiteral("specimen %1").arg(i));
    });
    out << "finding a record by directory and name: " << lookup
        << " us (median of 2001; target < 30 us)\n";

    BoxRecord box;
    const double load = medianMicros(
        2001, [&](int) { store.LoadBox(box, bigKeys.at(random.bounded(bigKeys.size()))); });
    out << "LoadBox: " << load << " us (median of 2001; target < 100 us)\n";

    const double save = medianMicros(201, [&](int i) {
        BoxRecord b = graph(GraphCount + i, random);
        store.SaveBox(b, SaveMode::Add, QStringLiteral("new %1").arg(i), big);
    });
    out << "SaveBox with full durability: " << save / 1000.0
        << " ms (median of 201; target < 2 ms); one 16 KiB write + flush on this disk: "
        << flushMicros(dir.path()) / 1000.0 << " ms\n";
    const double overwrite = medianMicros(201, [&](int i) {
        store.LoadBox(box, bigKeys.at(i));
        store.SaveBox(box, SaveMode::Overwrite, box.Kovra, big);
    });
    out << "LoadBox + SaveBox overwriting: " << overwrite / 1000.0 << " ms (median of 201)\n";

    // Reorganisation against the bare engine, alternating, on the same file:
    // once after 1 % of the graphs were deleted, when the compacted copy is
    // smaller and goes back into the file, and once more right after, when
    // the file is already as small as its compacted copy.
    Consent consent;
    constexpr int Rounds = 5;
    const int deletedPerRound = GraphCount / 100;
    QList<double> bareFreed, freed, bareCompact, compact;
    const QString target = dir.filePath(QStringLiteral("bare.tmp"));
    const auto reorganised = [&](QList<double> &bare, QList<double> &times) {
        db.close();
        bare << bareEngineSeconds(path, target);
        db.open(path);
        QElapsedTimer t;
        t.start();
        const ReorganisationResult r = Reorganise(db, consent);
        times << t.nsecsElapsed() / 1e9;
        if (r.outcome != ReorganisationResult::Outcome::Done)
            QTextStream(stderr) << "reorganisation failed: " << r.detail << "\n";
    };
    for (int round = 0; round < Rounds; ++round) {
        for (int i = 0; i < deletedPerRound; ++i)
            store.deleteRecord(bigKeys.takeAt(random.bounded(bigKeys.size())));
        reorganised(bareFreed, freed);
        reorganised(bareCompact, compact);
    }
    const auto lines = [&](const char *file, const char *what, const QList<double> &bare,
                           const QList<double> &times) {
        out << "bare integrity check + VACUUM INTO, " << file << ": " << median(bare)
            << " s (median of " << Rounds << ")\n";
        out << "reorganisation of that file (" << what << "): " << median(times) << " s (median of "
            << Rounds << "), " << median(times) / median(bare)
            << " x the bare engine (target <= 1.3)\n";
    };
    lines("1 % of its graphs deleted", "the compacted copy written back into it", bareFreed, freed);
    lines("already compact", "checked and backed up only", bareCompact, compact);
    return 0;
}

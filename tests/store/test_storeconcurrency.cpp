// Two programs writing one database at once: this test starts itself twice
// as a worker process; both save, import and delete in the same directory.
#include "StoreFixture.h"
#include "core/Settings.h"
#include "exchange/ImportTarget.h"

#include <QProcess>
#include <QSet>

namespace
{

const int kRounds = 200;

// One worker: adds records of its own, races the other for shared names,
// imports the same specimens, and deletes every third record of its own.
int runWorker(const QString &target, const QString &id)
{
    Database db;
    if (const Database::OpenResult r = db.open(target); !r) {
        qWarning("worker %s: open: %s", qPrintable(id), qPrintable(r.message));
        return 10;
    }
    const Notation notation = commaNotation();
    Store store(db, notation);
    std::optional<qint32> dir;
    for (int attempt = 0; attempt < 50 && !dir; ++attempt) {
        dir = store.findDirectory(DirectoryType::Graphs, "shared");
        if (!dir)
            dir = store.addDirectory(DirectoryType::Graphs, "shared");
    }
    std::optional<qint32> limits;
    for (int attempt = 0; attempt < 50 && !limits; ++attempt) {
        limits = store.findDirectory(DirectoryType::Limits, "shared limits");
        if (!limits)
            limits = store.addDirectory(DirectoryType::Limits, "shared limits");
    }
    if (!dir || !limits)
        return 11;
    ImportTarget importer(store);
    for (int i = 0; i < kRounds; ++i) {
        BoxRecord own = sampleGraph(i);
        if (!store.SaveBox(own, SaveMode::Add, QStringLiteral("%1-%2").arg(id).arg(i), *dir))
            return 12;
        BoxRecord raced = sampleGraph(i);
        // One of the two wins each shared name; the other is told it exists.
        if (!store.SaveBox(raced, SaveMode::Add, QStringLiteral("both-%1").arg(i), *dir)
            && !store.lastError().contains("already stored"))
            return 13;
        BoxRecord imported = sampleGraph(i);
        imported.Kovra = QStringLiteral("imported-%1").arg(i);
        if (!importer.StoreImportedGraph(imported)) {
            qWarning("import failed: %s", qPrintable(store.lastError()));
            return 14;
        }
        if (i % 3 == 0 && !store.deleteRecord(own.UntID))
            return 15;
        LimitFile file;
        file.GrwName = QStringLiteral("limits-%1").arg(i);
        file.VerzID = *limits;
        file.upper[1] = float(i);
        if (!store.addLimitFile(file) && !store.lastError().contains("exists")) {
            qWarning("worker %s: limit file: %s", qPrintable(id), qPrintable(store.lastError()));
            return 16;
        }
    }
    return 0;
}

// How many different names the entries carry.
template <typename Entry> int distinct(const QList<Entry> &entries, QString Entry::*name)
{
    QSet<QString> names;
    for (const Entry &e : entries)
        names.insert(e.*name);
    return int(names.size());
}

// A program that writes one transaction right after another, as a large
// import does, for `seconds`.
int runBusyWriter(const QString &target, int seconds)
{
    Database db;
    if (!db.open(target))
        return 10;
    const Notation notation = commaNotation();
    Store store(db, notation);
    const std::optional<qint32> dir = store.addDirectory(DirectoryType::Graphs, "busy");
    QElapsedTimer clock;
    clock.start();
    for (int i = 0; dir && clock.elapsed() < seconds * 1000; ++i) {
        BoxRecord box = sampleGraph(i);
        if (!store.SaveBox(box, SaveMode::Add, QStringLiteral("busy-%1").arg(i), *dir))
            return 12;
    }
    return dir ? 0 : 11;
}

} // namespace

class TestStoreConcurrency : public QObject
{
    Q_OBJECT
private slots:
    void twoProgramsLoseAndDuplicateNothing()
    {
        StoreFixture f;
        QList<QProcess *> workers;
        for (const char *id : { "a", "b" }) {
            auto *p = new QProcess(this);
            p->setProcessChannelMode(QProcess::ForwardedChannels);
            p->start(QCoreApplication::applicationFilePath(), { "--worker", f.path(), id });
            workers << p;
        }
        for (QProcess *p : workers) {
            QVERIFY(p->waitForFinished(120000));
            QCOMPARE(p->exitStatus(), QProcess::NormalExit);
            QCOMPARE(p->exitCode(), 0);
        }

        const std::optional<qint32> shared = f.store.findDirectory(DirectoryType::Graphs, "shared");
        QVERIFY(shared);
        QStringList directories;
        for (const DirectoryEntry &d : f.store.listDirectories(DirectoryType::Graphs))
            directories << d.VerzName;
        directories.sort();
        QCOMPARE(directories, (QStringList { ImportTarget::directoryName(), "shared" }));
        QMultiHash<QString, qint32> names;
        for (const RecordEntry &r : f.store.listRecords(*shared))
            names.insert(r.Kovra, r.UntID);
        QVERIFY(f.store.lastError().isEmpty());
        for (int i = 0; i < kRounds; ++i) {
            for (const char *id : { "a", "b" })
                QCOMPARE(names.count(QStringLiteral("%1-%2").arg(id).arg(i)), i % 3 == 0 ? 0 : 1);
            QCOMPARE(names.count(QStringLiteral("both-%1").arg(i)), 1);
        }
        const std::optional<qint32> imports
            = f.store.findDirectory(DirectoryType::Graphs, ImportTarget::directoryName());
        QVERIFY(imports);
        const QList<RecordEntry> importedRecords = f.store.listRecords(*imports);
        QCOMPARE(importedRecords.size(), kRounds);
        QCOMPARE(distinct(importedRecords, &RecordEntry::Kovra), kRounds);
        const std::optional<qint32> limits
            = f.store.findDirectory(DirectoryType::Limits, "shared limits");
        QVERIFY(limits);
        QCOMPARE(f.store.listDirectories(DirectoryType::Limits).size(), 1);
        const QList<LimitFile> limitFiles = f.store.listLimitFiles(*limits);
        QCOMPARE(limitFiles.size(), kRounds);
        QCOMPARE(distinct(limitFiles, &LimitFile::GrwName), kRounds);
        // Every stored record loads whole.
        for (qint32 key : names) {
            BoxRecord loaded;
            QVERIFY(f.store.LoadBox(loaded, key));
        }
    }

    // While another program writes without a pause, this one still opens
    // the database and saves, each time.
    void aBusyWriterKeepsNobodyOut()
    {
        SKIP_UNLESS_FILE(); // the server queues writers by itself
        StoreFixture f;
        const qint32 dir = *f.store.addDirectory(DirectoryType::Graphs, "mine");
        f.db.close();
        QProcess busy;
        busy.setProcessChannelMode(QProcess::ForwardedChannels);
        busy.start(QCoreApplication::applicationFilePath(), { "--busy", f.path(), "4" });
        QVERIFY(busy.waitForStarted());
        QTest::qWait(300); // the writer is at it
        for (int i = 0; i < 10 && busy.state() == QProcess::Running; ++i) {
            Database db;
            const Database::OpenResult opened = db.open(f.path());
            QVERIFY2(opened, qPrintable(opened.message));
            Store store(db, f.notation);
            BoxRecord box = sampleGraph(i);
            QVERIFY2(store.SaveBox(box, SaveMode::Add, QStringLiteral("mine-%1").arg(i), dir),
                qPrintable(store.lastError()));
        }
        QVERIFY(busy.waitForFinished(30000));
        QCOMPARE(busy.exitCode(), 0);
    }

    // What one workstation adjusts, the others read at their next start;
    // two writing different adjustments at once keep both.
    void settingsReachTheOtherWorkstationsAtTheirNextStart()
    {
        StoreFixture f;
        Database second;
        QVERIFY(second.open(f.path()));
        Store other(second, f.notation);
        Settings mine, theirs;
        QVERIFY(f.store.LoadSettings(mine));
        QVERIFY(other.LoadSettings(theirs));
        for (int k = 1; k <= 5; ++k) // the five boxes' curve colours
            mine.DisKvFa[size_t(k)] = 10 + k;
        QVERIFY(f.store.writeColours(mine));
        theirs.PrnOffLi = 2.5f;
        theirs.Viskos = 0.25f;
        QVERIFY(other.writeOtherAdjustments(theirs, 4, 2.5f));

        Database nextStart;
        QVERIFY(nextStart.open(f.path()));
        Settings read;
        QVERIFY(Store(nextStart, f.notation).LoadSettings(read));
        QCOMPARE(read.DisKvFa, mine.DisKvFa);
        QCOMPARE(read.PrnOffLi, 2.5f);
        QCOMPARE(read.Viskos, 0.25f);
        QCOMPARE(read.ActiveBox, 4);
        QCOMPARE(read.ScopeOfTime, 2.5f);
    }
};

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    if (argc == 4 && qstrcmp(argv[1], "--busy") == 0)
        return runBusyWriter(QString::fromLocal8Bit(argv[2]), QByteArray(argv[3]).toInt());
    if (argc == 4 && qstrcmp(argv[1], "--worker") == 0)
        return runWorker(QString::fromLocal8Bit(argv[2]), QString::fromLocal8Bit(argv[3]));
    TestStoreConcurrency test;
    return QTest::qExec(&test, argc, argv);
}

#include "test_storeconcurrency.moc"

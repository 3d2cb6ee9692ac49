// Two programs writing one database at once: this test starts itself twice
// as a worker process; both save, import and delete in the same directory.
#include "StoreFixture.h"
#include "exchange/ImportTarget.h"

#include <QProcess>
#include <QSet>

namespace
{

const int kRounds = 40;

// One worker: adds records of its own, races the other for shared names,
// imports the same specimens, and deletes every third record of its own.
int runWorker(const QString &target, const QString &id)
{
    Database db;
    if (!db.open(target))
        return 10;
    const Notation notation = commaNotation();
    Store store(db, notation);
    std::optional<qint32> dir;
    for (int attempt = 0; attempt < 50 && !dir; ++attempt) {
        dir = store.findDirectory(DirectoryType::Graphs, "shared");
        if (!dir)
            dir = store.addDirectory(DirectoryType::Graphs, "shared");
    }
    if (!dir)
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
    }
    return 0;
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
        QSet<QString> imported;
        const QList<RecordEntry> importedRecords = f.store.listRecords(*imports);
        for (const RecordEntry &r : importedRecords)
            imported.insert(r.Kovra);
        QCOMPARE(importedRecords.size(), kRounds);
        QCOMPARE(imported.size(), kRounds);
        // Every stored record loads whole.
        for (qint32 key : names) {
            BoxRecord loaded;
            QVERIFY(f.store.LoadBox(loaded, key));
        }
    }
};

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    if (argc == 4 && qstrcmp(argv[1], "--worker") == 0)
        return runWorker(QString::fromLocal8Bit(argv[2]), QString::fromLocal8Bit(argv[3]));
    TestStoreConcurrency test;
    return QTest::qExec(&test, argc, argv);
}

#include "test_storeconcurrency.moc"

#include "StoreFixture.h"

#include <QSqlQuery>

// Directories and limit files: keys, names, emptiness.
class TestStoreDirectories : public QObject
{
    Q_OBJECT

private slots:
    void keyReadBackIsTheNewOnes()
    {
        StoreFixture f;
        QList<qint32> keys;
        for (int i = 0; i < 4; ++i) {
            const auto key = f.store.addDirectory(DirectoryType::Graphs, QString("dir %1").arg(i));
            QVERIFY(key);
            QCOMPARE(f.store.findDirectory(DirectoryType::Graphs, QString("dir %1").arg(i)), key);
            keys << *key;
        }
        QVERIFY(std::is_sorted(keys.begin(), keys.end()));
        // Deleting the newest does not make its key free again.
        QVERIFY(f.store.deleteDirectory(keys.last()));
        const auto again = f.store.addDirectory(DirectoryType::Graphs, "dir again");
        QVERIFY(*again > keys.last());

        QList<qint32> listed;
        for (const DirectoryEntry &d : f.store.listDirectories(DirectoryType::Graphs))
            listed << d.VerzID;
        QCOMPARE(listed, (QList<qint32> { keys[0], keys[1], keys[2], *again }));
    }

    void namesRoundTrip_data()
    {
        QTest::addColumn<QString>("name");
        QTest::newRow("quotes") << "O'Brien \"best\" batch";
        QTest::newRow("percent and underscore") << "100% _resin_ %d";
        QTest::newRow("umlauts") << "Prüfung Größe Fluß";
        QTest::newRow("non-Latin") << "試験 испытание δοκιμή";
        QTest::newRow("sql") << "x'); DROP TABLE Verzeichnisse; --";
    }

    void namesRoundTrip()
    {
        QFETCH(QString, name);
        StoreFixture f;
        QVERIFY(f.store.addDirectory(DirectoryType::Patterns, "decoy"));
        const auto key = f.store.addDirectory(DirectoryType::Patterns, name);
        QVERIFY(key);
        QCOMPARE(f.store.findDirectory(DirectoryType::Patterns, name), key);
        QCOMPARE(f.store.listDirectories(DirectoryType::Patterns).last().VerzName, name);

        BoxRecord box = sampleGraph(1);
        QVERIFY(f.store.SaveBox(box, SaveMode::Add, name, *key));
        QCOMPARE(f.store.findRecord(*key, name), box.UntID);
        BoxRecord loaded;
        QVERIFY(f.store.LoadBox(loaded, box.UntID));
        QCOMPARE(loaded.Kovra, name);

        LimitFile limits;
        limits.GrwName = name;
        limits.VerzID = *key;
        QVERIFY(f.store.addLimitFile(limits));
        QCOMPARE(f.store.findLimitFile(*key, name), limits.GrwID);
        QCOMPARE(f.store.readLimitFile(limits.GrwID)->GrwName, name);
    }

    void namesCompareExactlyAfterTrimming()
    {
        StoreFixture f;
        const auto key = f.store.addDirectory(DirectoryType::Graphs, "  Resin A  ");
        QVERIFY(key);
        QCOMPARE(f.store.listDirectories(DirectoryType::Graphs).first().VerzName, "Resin A");
        QCOMPARE(f.store.findDirectory(DirectoryType::Graphs, "Resin A"), key);
        QCOMPARE(f.store.findDirectory(DirectoryType::Graphs, " Resin A"), key);
        QVERIFY(!f.store.findDirectory(DirectoryType::Graphs, "resin a"));
        QVERIFY(!f.store.findDirectory(DirectoryType::Graphs, "Resin"));
        QVERIFY(!f.store.findDirectory(DirectoryType::Patterns, "Resin A"));

        // Longer names are cut to the column's 50 characters, alike when
        // storing and when looking up.
        const QString longName = QString(60, QChar('L'));
        const auto cut = f.store.addDirectory(DirectoryType::Graphs, longName);
        QCOMPARE(f.store.findDirectory(DirectoryType::Graphs, longName), cut);
        QCOMPARE(f.store.listDirectories(DirectoryType::Graphs).last().VerzName.size(), 50);
    }

    void sameNameOncePerType()
    {
        StoreFixture f;
        const auto graphs = f.store.addDirectory(DirectoryType::Graphs, "2026");
        const auto patterns = f.store.addDirectory(DirectoryType::Patterns, "2026");
        QVERIFY(graphs && patterns && *graphs != *patterns);
        QCOMPARE(f.store.findDirectory(DirectoryType::Graphs, "2026"), graphs);
        QCOMPARE(f.store.findDirectory(DirectoryType::Patterns, "2026"), patterns);
        QCOMPARE(f.store.listDirectories(DirectoryType::Graphs).size(), 1);
        QCOMPARE(f.store.listAllDirectories().size(), 2);

        QVERIFY(!f.store.addDirectory(DirectoryType::Graphs, "2026"));
        QVERIFY(!f.store.lastError().isEmpty());
        QVERIFY(!f.store.addDirectory(DirectoryType::Graphs, "   "));
        QCOMPARE(f.store.listAllDirectories().size(), 2);
    }

    void emptinessFollowsTheDirectoryType()
    {
        StoreFixture f;
        const qint32 graphs = *f.store.addDirectory(DirectoryType::Graphs, "g");
        const qint32 limits = *f.store.addDirectory(DirectoryType::Limits, "l");
        QVERIFY(f.store.isDirectoryEmpty(graphs, DirectoryType::Graphs));

        // A pattern in a graph directory makes it not empty.
        BoxRecord pattern = sampleGraph(2);
        pattern.Status = BoxStatus::Pattern;
        QVERIFY(f.store.SaveBox(pattern, SaveMode::Add, "p", graphs));
        QVERIFY(!f.store.isDirectoryEmpty(graphs, DirectoryType::Graphs));
        QVERIFY(!f.store.deleteDirectory(graphs));
        QVERIFY(f.store.findDirectory(DirectoryType::Graphs, "g"));

        // A limit directory is tested against limit files only, even when a
        // record carries its key.
        BoxRecord stray = sampleGraph(3);
        QVERIFY(f.store.SaveBox(stray, SaveMode::Add, "stray", limits));
        QVERIFY(f.store.isDirectoryEmpty(limits, DirectoryType::Limits));
        LimitFile file;
        file.GrwName = "standard";
        file.VerzID = limits;
        QVERIFY(f.store.addLimitFile(file));
        QVERIFY(!f.store.isDirectoryEmpty(limits, DirectoryType::Limits));
        QVERIFY(f.store.deleteLimitFile(file.GrwID));
        QVERIFY(f.store.deleteDirectory(limits));

        QVERIFY(f.store.deleteRecord(pattern.UntID));
        QVERIFY(f.store.deleteDirectory(graphs));
        QVERIFY(f.store.listAllDirectories().isEmpty());
        QVERIFY(!f.store.deleteDirectory(graphs));
    }

    void limitFiles()
    {
        StoreFixture f;
        const qint32 dirA = *f.store.addDirectory(DirectoryType::Limits, "A");
        const qint32 dirB = *f.store.addDirectory(DirectoryType::Limits, "B");
        LimitFile file;
        file.GrwName = " Standard ";
        file.VerzID = dirA;
        for (int k = 1; k <= 5; ++k) {
            file.lower[k] = k * 1.25f;
            file.upper[k] = k * 100.5f;
        }
        const auto key = f.store.addLimitFile(file);
        QVERIFY(key);
        QCOMPARE(file.GrwID, *key);
        QCOMPARE(file.GrwName, "Standard");

        LimitFile twin = file;
        QVERIFY(!f.store.addLimitFile(twin)); // same name, same directory
        twin.VerzID = dirB;
        QVERIFY(f.store.addLimitFile(twin)); // another directory is fine
        QCOMPARE(f.store.findLimitFile(dirA, "Standard"), key);
        QCOMPARE(f.store.findLimitFile(dirB, "Standard"), twin.GrwID);

        LimitFile changed = file;
        changed.GrwName = "renamed?";
        changed.VerzID = dirB;
        changed.upper[3] = 9.999f;
        QVERIFY(f.store.changeLimitFile(changed));
        const auto read = f.store.readLimitFile(*key);
        QVERIFY(read);
        QCOMPARE(read->GrwName, "Standard"); // name and directory stay
        QCOMPARE(read->VerzID, dirA);
        QCOMPARE(read->upper[3], 9.999f);
        QCOMPARE(read->lower[5], 6.25f);

        const QList<LimitFile> inA = f.store.listLimitFiles(dirA);
        QCOMPARE(inA.size(), 1);
        QCOMPARE(inA.first().upper[3], 9.999f);

        QVERIFY(f.store.deleteLimitFile(*key));
        QVERIFY(!f.store.readLimitFile(*key));
        QVERIFY(!f.store.deleteLimitFile(*key));
        LimitFile ghost;
        ghost.GrwID = *key;
        QVERIFY(!f.store.changeLimitFile(ghost));
    }

    void lookupsUseTheirIndexes()
    {
        // Cost must not grow with the table: every lookup is an index search.
        StoreFixture f;
        const QStringList queries = {
            "SELECT UntID FROM Untersuchungen WHERE VerzID = 1 AND Kovra = 'a' ORDER BY UntID "
            "LIMIT 1",
            "SELECT UntID, VerzID, Status, Kovra FROM Untersuchungen WHERE VerzID = 1 ORDER BY "
            "UntID",
            "SELECT GrwID FROM Grenzwerte WHERE VerzID = 1 AND GrwName = 'a' ORDER BY GrwID LIMIT "
            "1",
            "SELECT VerzID FROM Verzeichnisse WHERE VerzTyp = 0 AND VerzName = 'a' ORDER BY VerzID "
            "LIMIT 1",
        };
        QSqlQuery q(f.db.connection());
        for (const QString &sql : queries) {
            QVERIFY(q.exec("EXPLAIN QUERY PLAN " + sql));
            QString plan;
            while (q.next())
                plan += q.value(3).toString() + "\n";
            QVERIFY2(plan.contains("USING") && !plan.contains("TEMP B-TREE"), qPrintable(plan));
        }
    }
};

QTEST_GUILESS_MAIN(TestStoreDirectories)
#include "test_storedirectories.moc"

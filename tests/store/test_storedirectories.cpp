#include "StoreFixture.h"

// Directories and limit files: keys, names, emptiness.
class TestStoreDirectories : public QObject
{
    Q_OBJECT

private slots:
    void keyReadBackIsTheNewOnes()
    {
        StoreFixture f;
        QList<qint32> keys;
        for (const char *name : { "a", "b", "c", "d" }) {
            const auto key = f.store.addDirectory(DirectoryType::Graphs, name);
            QVERIFY(key);
            QCOMPARE(f.store.findDirectory(DirectoryType::Graphs, name), key);
            keys << *key;
        }
        QVERIFY(std::is_sorted(keys.begin(), keys.end()));
        // Deleting the newest does not make its key free again.
        const qint32 deleted = keys.takeLast();
        QVERIFY(f.store.deleteDirectory(deleted));
        keys << *f.store.addDirectory(DirectoryType::Graphs, "again");
        QVERIFY(keys.last() > deleted);
        QList<qint32> listed;
        for (const DirectoryEntry &d : f.store.listDirectories(DirectoryType::Graphs))
            listed << d.VerzID;
        QCOMPARE(listed, keys);
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
    }

    void namesCompareExactlyAfterTrimmingOncePerType()
    {
        StoreFixture f;
        const auto graphs = f.store.addDirectory(DirectoryType::Graphs, "  Resin A  ");
        const auto patterns = f.store.addDirectory(DirectoryType::Patterns, "Resin A");
        QVERIFY(graphs && patterns && *graphs != *patterns);
        QCOMPARE(f.store.listDirectories(DirectoryType::Graphs).first().VerzName, "Resin A");
        QCOMPARE(f.store.findDirectory(DirectoryType::Graphs, " Resin A"), graphs);
        QCOMPARE(f.store.findDirectory(DirectoryType::Patterns, "Resin A"), patterns);
        QVERIFY(!f.store.findDirectory(DirectoryType::Graphs, "resin a"));
        QVERIFY(!f.store.findDirectory(DirectoryType::Graphs, "Resin"));
        QVERIFY(!f.store.addDirectory(DirectoryType::Graphs, "Resin A"));
        QVERIFY(!f.store.lastError().isEmpty());
        QVERIFY(!f.store.addDirectory(DirectoryType::Graphs, "   "));

        // Longer names are cut to the column's 50 characters, alike when
        // storing and when looking up.
        const QString longName = QString(60, QChar('L'));
        const auto cut = f.store.addDirectory(DirectoryType::Graphs, longName);
        QCOMPARE(f.store.findDirectory(DirectoryType::Graphs, longName), cut);
        QCOMPARE(f.store.listDirectories(DirectoryType::Graphs).last().VerzName.size(), 50);
        QCOMPARE(f.store.listAllDirectories().size(), 3);
    }

    void graphDirectoryHoldingAPatternIsNotEmpty()
    {
        StoreFixture f;
        const qint32 graphs = *f.store.addDirectory(DirectoryType::Graphs, "g");
        QVERIFY(f.store.isDirectoryEmpty(graphs, DirectoryType::Graphs));
        BoxRecord pattern = sampleGraph(2);
        pattern.Status = BoxStatus::Pattern;
        QVERIFY(f.store.SaveBox(pattern, SaveMode::Add, "p", graphs));
        QVERIFY(!f.store.isDirectoryEmpty(graphs, DirectoryType::Graphs));
        QVERIFY(!f.store.deleteDirectory(graphs));
        QVERIFY(f.store.deleteRecord(pattern.UntID));
        QVERIFY(f.store.deleteDirectory(graphs));
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
        // A limit directory is tested against limit files only, even when a
        // record carries its key.
        BoxRecord stray = sampleGraph(3);
        QVERIFY(f.store.SaveBox(stray, SaveMode::Add, "stray", dirA));
        QVERIFY(f.store.isDirectoryEmpty(dirA, DirectoryType::Limits));
        const auto key = f.store.addLimitFile(file);
        QVERIFY(key);
        QCOMPARE(file.GrwID, *key);
        QVERIFY(!f.store.isDirectoryEmpty(dirA, DirectoryType::Limits));

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
        const QList<LimitFile> inA = f.store.listLimitFiles(dirA);
        QCOMPARE(inA.size(), 1);
        QCOMPARE(inA.first().GrwName, "Standard"); // name and directory stay
        QCOMPARE(inA.first().upper[3], 9.999f);
        QCOMPARE(inA.first().lower[5], 6.25f);

        QVERIFY(f.store.deleteLimitFile(*key));
        QVERIFY(!f.store.readLimitFile(*key));
        QVERIFY(!f.store.deleteLimitFile(*key));
        QVERIFY(!f.store.changeLimitFile(changed));
    }
};

QTEST_GUILESS_MAIN(TestStoreDirectories)
#include "test_storedirectories.moc"

#include "StoreFiles.h"

#include "core/Settings.h"

#include <QProcess>
#include <QSqlError>

// What the store does when the disk is full, the file damaged or its log
// not yet folded in, and with values that are no dates or out of range.
class TestStoreIntegrity : public QObject
{
    Q_OBJECT

private:
    static void exec(Database &db, const QString &sql)
    {
        QSqlQuery q(db.connection());
        QVERIFY2(q.exec(sql), qPrintable(q.lastError().text()));
    }

private slots:
    // On a file system of 2 MiB: saving goes on until the disk is full; the
    // failing save says so and leaves its box unstored; after space is
    // freed the file opens, sound, with every record that was reported
    // stored.
    void fullDiskRefusesWritesAndLosesNothing()
    {
        SKIP_UNLESS_FILE();
        QTemporaryDir dir;
        SMALL_DISK_OR_SKIP(disk, dir, "2m")

        const QString path = disk.filePath("kovra.mdb");
        const QString ballast = disk.filePath("ballast");
        QStringList stored;
        QString refusal;
        {
            Database db;
            const Notation n = commaNotation();
            Store store(db, n);
            QVERIFY(db.open(path));
            QFile filler(ballast);
            QVERIFY(filler.open(QIODevice::WriteOnly));
            filler.write(QByteArray(256 * 1024, 'b'));
            filler.close();
            const qint32 d = *store.addDirectory(DirectoryType::Graphs, "g");
            for (int i = 0; i < 2000 && refusal.isEmpty(); ++i) {
                BoxRecord b = sampleGraph(i, 300);
                if (store.SaveBox(b, SaveMode::Add, b.Kovra, d)) {
                    stored << b.Kovra;
                    continue;
                }
                refusal = store.lastError();
                QVERIFY(!b.Stored);
                QCOMPARE(b.UntID, -1);
            }
            QVERIFY2(refusal.startsWith("the disk is full"), qPrintable(refusal));
            QVERIFY(stored.size() > 10);
            // A second write is refused the same way, not misreported.
            BoxRecord again = sampleGraph(9999, 300);
            QVERIFY(!store.SaveBox(again, SaveMode::Add, again.Kovra, d));
            QVERIFY2(
                store.lastError().startsWith("the disk is full"), qPrintable(store.lastError()));
        }
        QVERIFY(QFile::remove(ballast));

        Database reopened;
        const Database::OpenResult r = reopened.open(path);
        QVERIFY2(r.ok(), qPrintable(r.message));
        reopened.close();
        QCOMPARE(integrityOf(path), "ok");
        QCOMPARE(recordNames(path), stored);
    }

    // Pages that are still in the write-ahead log are not missing: the file
    // opens with everything in it.
    void pagesStillInTheLogAreNotMissing()
    {
        SKIP_UNLESS_FILE();
        QTemporaryDir dir;
        const QString path = dir.filePath("kovra.mdb");
        const QString copy = dir.filePath("copy/kovra.mdb");
        QVERIFY(QDir().mkpath(dir.filePath("copy")));
        {
            StoreFixture f;
            f.db.close();
            QVERIFY(QFile::copy(f.path(), path));
        }
        Database writer;
        const Notation n = commaNotation();
        Store store(writer, n);
        QVERIFY(writer.open(path));
        exec(writer, "PRAGMA wal_autocheckpoint = 0");
        const qint32 d = *store.addDirectory(DirectoryType::Graphs, "g");
        for (int i = 0; i < 20; ++i) {
            BoxRecord b = sampleGraph(i, 300);
            QVERIFY(store.SaveBox(b, SaveMode::Add, b.Kovra, d));
        }
        // The state of a crash in the middle of folding the log in: the
        // header already names the new page count, the pages are in the log.
        QVERIFY(QFile::copy(path + "-wal", copy + "-wal"));
        QFile main(path);
        QVERIFY(main.open(QIODevice::ReadOnly));
        QByteArray bytes = main.readAll();
        const quint32 pages = quint32(bytes.size() / 4096) + 40;
        for (int i = 0; i < 4; ++i)
            bytes[28 + i] = char(pages >> (24 - 8 * i));
        for (int i = 0; i < 4; ++i)
            bytes[92 + i] = bytes[24 + i];
        QFile out(copy);
        QVERIFY(out.open(QIODevice::WriteOnly));
        out.write(bytes);
        out.close();

        Database db;
        const Database::OpenResult r = db.open(copy);
        QVERIFY2(r.ok(), qPrintable(r.message));
        Store copied(db, n);
        QCOMPARE(copied.listAllRecords().size(), 20);
    }

    // A damaged page part-way through makes a listing incomplete, and the
    // listing says so instead of ending early.
    void listingThatCannotBeReadToItsEndSaysSo()
    {
        SKIP_UNLESS_FILE();
        StoreFixture f;
        const qint32 dir = *f.store.addDirectory(DirectoryType::Graphs, "g");
        for (int i = 0; i < 400; ++i) {
            BoxRecord b = sampleGraph(i, 2);
            QVERIFY(f.store.SaveBox(b, SaveMode::Add, b.Kovra, dir));
        }
        QSqlQuery q(f.db.connection());
        QVERIFY(q.exec("SELECT pageno FROM dbstat WHERE name = 'VerzID' AND pagetype = 'leaf' "
                       "ORDER BY path"));
        QVERIFY(q.next() && q.next()); // the second leaf: the first is read whole
        const int page = q.value(0).toInt();
        q.finish();
        f.db.close();
        QVERIFY(damagePage(f.path(), page));
        QVERIFY(f.db.open(f.path()));
        int seen = 0;
        QVERIFY(!f.store.forEachRecord([&](const RecordEntry &) { ++seen; }));
        QVERIFY2(f.store.lastError().contains("damaged"), qPrintable(f.store.lastError()));
        QVERIFY(seen < 400);
        // A directory's list comes in index order, row by row: the first
        // leaf's rows come before the damaged one is met.
        const qsizetype listed = f.store.listRecords(dir).size();
        QVERIFY(listed > 0 && listed < 400);
        QVERIFY2(f.store.lastError().contains("damaged"), qPrintable(f.store.lastError()));
        // A list that could be read again is complete again.
        f.store.listDirectories(DirectoryType::Graphs);
        QCOMPARE(f.store.lastError(), QString());
    }

    // Date fields without a date stay empty through save and load: loading
    // never leaves the previous specimen's date in the box.
    void emptyDatesStayEmpty()
    {
        StoreFixture f;
        const qint32 d = *f.store.addDirectory(DirectoryType::Graphs, "g");
        BoxRecord undated = sampleGraph(1);
        undated.PruefAm.clear();
        undated.BgVonAm.clear();
        undated.DrVonAm = "no date";
        QVERIFY(f.store.SaveBox(undated, SaveMode::Add, "undated", d));

        BoxRecord box = sampleGraph(2); // every date filled
        QVERIFY(f.store.LoadBox(box, undated.UntID));
        QCOMPARE(box.PruefAm, QString());
        QCOMPARE(box.BgVonAm, QString());
        QCOMPARE(box.DrVonAm, QString());
        QCOMPARE(box.PaVonAm, "03.04.25");
    }

    // A name is unique in its directory at the moment of writing, whoever
    // looked first.
    void secondRecordOfTheSameNameIsRefused()
    {
        StoreFixture f;
        const qint32 d = *f.store.addDirectory(DirectoryType::Graphs, "g");
        Database other;
        const Notation n = commaNotation();
        Store second(other, n);
        QVERIFY(other.open(f.path()));
        BoxRecord a = sampleGraph(1), b = sampleGraph(2);
        QVERIFY(!f.store.findRecord(d, "same"));
        QVERIFY(!second.findRecord(d, "same"));
        QVERIFY(f.store.SaveBox(a, SaveMode::Add, "same", d));
        QVERIFY(!second.SaveBox(b, SaveMode::Add, "same", d));
        QVERIFY2(second.lastError().contains("already stored"), qPrintable(second.lastError()));
        QVERIFY(!b.Stored);
        // Renaming another record onto the name is refused too.
        BoxRecord c = sampleGraph(3);
        QVERIFY(second.SaveBox(c, SaveMode::Add, "other", d));
        QVERIFY(!second.SaveBox(c, SaveMode::Overwrite, "same", d));
        QCOMPARE(f.store.listRecords(d).size(), 2);
    }

    // Stored settings out of their range are replaced by defaults and
    // named; the box number is then safe to use.
    void settingsOutOfRangeAreReplacedAndNamed()
    {
        StoreFixture f;
        exec(f.db,
            R"(UPDATE "Init" SET "AEB" = 0, "AZB" = 7, "LinieGr" = 9, "LinieDr" = 3, "PrnOffOb" = -1)");
        Settings s;
        QStringList corrected;
        QVERIFY(f.store.LoadSettings(s, &corrected));
        QCOMPARE(s.ActiveBox, 1);
        QCOMPARE(s.ScopeOfTime, 10.0f);
        QCOMPARE(s.LinieGr, 2);
        QCOMPARE(s.LinieDr, 4);
        QCOMPARE(s.PrnOffOb, 0.5f);
        QCOMPARE(corrected.size(), 5);
        QVERIFY(corrected.first().startsWith("AEB = 0"));
        s.activeBox(); // box 0 would throw

        exec(f.db,
            R"(UPDATE "Init" SET "AEB" = 5, "AZB" = 250, "LinieGr" = 3, "LinieDr" = 6, "PrnOffOb" = 1)");
        QVERIFY(f.store.LoadSettings(s, &corrected));
        QVERIFY(corrected.isEmpty());
        QCOMPARE(s.ActiveBox, 5);
    }
};

QTEST_GUILESS_MAIN(TestStoreIntegrity)
#include "test_storeintegrity.moc"

#include "StoreFixture.h"
#include "Zandorctl.h"
#include "core/Settings.h"
#include "store/DatabaseBackup.h"
#include "store/DatabaseCopy.h"
#include "store/RunJournal.h"

#include <QProcess>
#include <QSqlField>

namespace
{

// Every stored record, column by column, by key.
QMap<qint32, QStringList> contents(Store &store)
{
    QMap<qint32, QStringList> out;
    for (const RecordEntry &e : store.listAllRecords()) {
        const QSqlRecord raw = *store.rawRecord(e.UntID);
        QStringList values;
        for (int i = 0; i < raw.count(); ++i)
            values << raw.fieldName(i) + QLatin1Char('=')
                    + (raw.isNull(i) ? QStringLiteral("(null)") : raw.value(i).toString());
        out.insert(e.UntID, values);
    }
    return out;
}

// The first column in which two databases' records differ, or nothing.
QString firstDifference(Store &a, Store &b)
{
    const QMap<qint32, QStringList> left = contents(a), right = contents(b);
    if (left.keys() != right.keys())
        return QStringLiteral("other keys");
    for (auto it = left.begin(); it != left.end(); ++it)
        for (int i = 0; i < it->size(); ++i)
            if (it->at(i) != right.value(it.key()).value(i))
                return it->at(i) + QStringLiteral(" <> ") + right.value(it.key()).value(i);
    return {};
}

QList<qint64> rows(const CopyResult &r)
{
    QList<qint64> out;
    for (const TableCount &c : r.counts)
        out << c.rows;
    return out;
}

} // namespace

class TestDatabaseCopy : public QObject
{
    Q_OBJECT

    // A database with two directories, records, a limit file, changed
    // settings, and a deleted newest record (its key must stay used).
    static qint32 fill(Store &store)
    {
        const qint32 graphs = *store.addDirectory(DirectoryType::Graphs, "Prüfungen");
        const qint32 limits = *store.addDirectory(DirectoryType::Limits, "limits");
        for (int i = 0; i < 12; ++i) {
            BoxRecord b = sampleGraph(i, 5 + i);
            if (i % 4 == 3)
                b.Status = BoxStatus::Pattern;
            b.Bemerk = QStringLiteral("Fluß %1").arg(i);
            store.SaveBox(b, SaveMode::Add, QStringLiteral("r%1").arg(i), graphs);
        }
        BoxRecord newest = sampleGraph(99);
        store.SaveBox(newest, SaveMode::Add, "newest", graphs);
        store.deleteRecord(newest.UntID);
        LimitFile file;
        file.GrwName = "Standard";
        file.VerzID = limits;
        file.upper.fill(7.5f);
        store.addLimitFile(file);
        Settings s;
        store.LoadSettings(s);
        s.DisKvFa[3] = 0x123456;
        store.writeColours(s);
        return newest.UntID;
    }

private slots:
    void roundTripKeepsRecordsKeysAndCounters()
    {
        StoreFixture source;
        const qint32 deleted = fill(source.store);
        QTemporaryDir there;
        Database file;
        QVERIFY(file.open(there.filePath("copy.mdb")));
        const CopyResult out = CopyDatabase(source.db, file, false);
        QVERIFY2(out.ok(), qPrintable(out.problem));
        QCOMPARE(rows(out), (QList<qint64> { 2, 12, 1, 1, 0, 0 }));

        StoreFixture back; // the source's engine again
        const CopyResult in = CopyDatabase(file, back.db, false);
        QVERIFY2(in.ok(), qPrintable(in.problem));
        Store viaFile(file, source.notation);
        QCOMPARE(firstDifference(viaFile, source.store), QString());
        QCOMPARE(firstDifference(back.store, source.store), QString());
        QCOMPARE(back.store.listAllDirectories().size(), 2);
        Settings s;
        QVERIFY(back.store.LoadSettings(s));
        QCOMPARE(s.DisKvFa[3], 0x123456);
        QCOMPARE(
            back.store.listLimitFiles(back.store.listDirectories(DirectoryType::Limits)[0].VerzID)
                .first()
                .upper[2],
            7.5f);

        // The key of the deleted newest record is never given again.
        BoxRecord later = sampleGraph(5);
        QVERIFY(back.store.SaveBox(later, SaveMode::Add, "later",
            back.store.listDirectories(DirectoryType::Graphs)[0].VerzID));
        QVERIFY(later.UntID > deleted);
    }

    void keysOfATableEmptiedByDeletingStayUsed()
    {
        StoreFixture source;
        const qint32 limits = *source.store.addDirectory(DirectoryType::Limits, "limits");
        LimitFile gone;
        gone.GrwName = "gone";
        gone.VerzID = limits;
        const qint32 goneKey = *source.store.addLimitFile(gone);
        QVERIFY(source.store.deleteLimitFile(goneKey));
        QTemporaryDir there;
        Database file;
        QVERIFY(file.open(there.filePath("copy.mdb")));
        QVERIFY(CopyDatabase(source.db, file, false).ok());
        Store copy(file, source.notation);
        LimitFile fresh;
        fresh.GrwName = "fresh";
        fresh.VerzID = limits;
        QVERIFY(*copy.addLimitFile(fresh) > goneKey);
    }

    void nonEmptyTargetOnlyWithReplace()
    {
        StoreFixture source, target;
        fill(source.store);
        const qint32 own = *target.store.addDirectory(DirectoryType::Patterns, "own");
        const CopyResult refused = CopyDatabase(source.db, target.db, false);
        QVERIFY(!refused.ok());
        QVERIFY(refused.problem.contains("--replace"));
        QCOMPARE(target.store.listAllDirectories().size(), 1); // untouched

        QVERIFY(CopyDatabase(source.db, target.db, true).ok());
        QCOMPARE(firstDifference(target.store, source.store), QString());
        QCOMPARE(target.store.listDirectories(DirectoryType::Patterns).size(), 0);
        Q_UNUSED(own);

        // An interrupted run is measured data too.
        StoreFixture measuring;
        RunJournal journal(measuring.db);
        const std::optional<qint64> run
            = journal.begin(sampleGraph(1), QDateTime::currentDateTime());
        QVERIFY(run);
        QVERIFY(!CopyDatabase(source.db, measuring.db, false).ok());
        QCOMPARE(journal.interrupted().size(), 1);
    }

    void copyCommandCountsRowsAndListsTheSame()
    {
        StoreFixture f;
        fill(f.store);
        QTemporaryDir there;
        const QString file = there.filePath("copy.mdb");
        const CtlRun copied = RunZandorctl({ "copy", "--from", f.path(), "--to", file });
        QCOMPARE(copied.status, 0);
        QVERIFY2(copied.out.contains("Untersuchungen\t12\n"), qPrintable(copied.out));
        QVERIFY(copied.out.contains("Verzeichnisse\t2\n"));

        const CtlRun again = RunZandorctl({ "copy", "--from", f.path(), "--to", file });
        QCOMPARE(again.status, 1);
        QVERIFY2(again.err.contains("--replace"), qPrintable(again.err));
        QCOMPARE(RunZandorctl({ "copy", "--from", f.path(), "--to", file, "--replace" }).status, 0);

        const CtlRun here = RunZandorctl({ "list", "--db", f.path() });
        const CtlRun there_ = RunZandorctl({ "list", "--db", file });
        QCOMPARE(here.status, 0);
        QCOMPARE(here.out, there_.out);
        QVERIFY(here.out.contains("r11"));
    }

    void backupIsADatabaseFileWithEverything()
    {
        StoreFixture f;
        fill(f.store);
        QTemporaryDir there;
        const QString copy = there.filePath("backup.mdb");
        QCOMPARE(WriteBackup(f.db, copy), QString());
        Database file;
        QVERIFY(file.open(copy));
        QVERIFY(!file.onServer());
        Store backup(file, f.notation);
        QCOMPARE(firstDifference(backup, f.store), QString());
    }
};

QTEST_GUILESS_MAIN(TestDatabaseCopy)
#include "test_databasecopy.moc"

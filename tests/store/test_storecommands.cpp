#include "StoreFiles.h"
#include "Zandorctl.h"

#include "store/Reorganisation.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>

// The companion's store commands on real files: a list that says when it is
// not complete, a repair of a damaged file, a backup of a file in use.
namespace
{

} // namespace

class TestStoreCommands : public QObject
{
    Q_OBJECT

private slots:
    void listingStreamsEveryRecord()
    {
        StoreFixture f;
        qint32 dir = 0;
        const QList<qint32> kept = fillHalf(f, dir, 20);
        BoxRecord quoted = sampleGraph(99, 3);
        QVERIFY(f.store.SaveBox(quoted, SaveMode::Add, "with \"quotes\"\tand tab", dir));

        const CtlRun json = RunZandorctl({ "list", "--db", f.path(), "--json" });
        QVERIFY2(json.status == 0, qPrintable(json.err));
        QJsonParseError error;
        const QJsonObject doc = QJsonDocument::fromJson(json.out.toUtf8(), &error).object();
        QVERIFY2(error.error == QJsonParseError::NoError, qPrintable(error.errorString()));
        const QJsonArray records = doc.value("records").toArray();
        QCOMPARE(records.size(), kept.size() + 1);
        QCOMPARE(records.first().toObject().value("UntID").toInt(), kept.first());
        QCOMPARE(records.last().toObject().value("Kovra").toString(), "with \"quotes\"\tand tab");
        QCOMPARE(doc.value("directories").toArray().size(), 1);

        const CtlRun text = RunZandorctl({ "list", "--db", f.path() });
        QVERIFY2(text.status == 0, qPrintable(text.err));
        QCOMPARE(text.out.count('\n'), 2 + 1 + kept.size() + 1);
    }

    // The commands that only read find the database on either engine and
    // never create one that is not there.
    void readingCommandsOpenOnlyAnExistingDatabase()
    {
        StoreFixture f;
        qint32 dir = 0;
        fillHalf(f, dir, 4);
        const CtlRun stats = RunZandorctl({ "stats", "--db", f.path(), "--json" });
        QVERIFY2(stats.status == 0, qPrintable(stats.err));
        const QString csv = f.dir.filePath("r.csv");
        const CtlRun results = RunZandorctl({ "csv", "--results", "--db", f.path(), "-o", csv });
        QVERIFY2(results.status == 0, qPrintable(results.err));

        const QString missing = f.dir.filePath("none.mdb");
        const CtlRun refused = RunZandorctl({ "stats", "--db", missing });
        QCOMPARE(refused.status, 1);
        QVERIFY(refused.err.contains("there is no database"));
        QVERIFY(!QFile::exists(missing));
    }

    // One damaged page: the list fails naming the damage; reorganise saves
    // the readable rows into a sound file and keeps the last good backup.
    void damagedFileIsNamedByListAndRepairedByReorganise()
    {
        SKIP_UNLESS_FILE();
        StoreFixture f;
        qint32 dir = 0;
        const QList<qint32> kept = fillHalf(f, dir, 40);
        const CtlRun first = RunZandorctl({ "reorganise", "--db", f.path() });
        QVERIFY2(first.status == 0, qPrintable(first.err));
        const QByteArray goodBackup = fileBytes(BackupPath(f.path()));
        const int page = rootPage(f.db, "VerzID");
        f.db.close();
        QVERIFY(damagePage(f.path(), page));

        const CtlRun list = RunZandorctl({ "list", "--db", f.path() });
        QVERIFY(list.status != 0);
        QVERIFY2(list.err.contains("not complete") && list.err.contains("damaged"),
            qPrintable(list.err));

        const CtlRun repair = RunZandorctl({ "reorganise", "--db", f.path() });
        QVERIFY2(repair.err.contains("repaired") && repair.err.contains("graphs"),
            qPrintable(repair.err));
        QCOMPARE(fileBytes(BackupPath(f.path())), goodBackup);
        QCOMPARE(integrityOf(f.path()), "ok");
        // The damage was in an index only: every record is saved.
        QCOMPARE(repair.status, 0);
        QVERIFY2(
            repair.err.contains(QStringLiteral("saved 1 directories, %1 graphs, 0 patterns and 0 "
                                               "limit files; 0 rows could not be read")
                                    .arg(kept.size())),
            qPrintable(repair.err));
        QCOMPARE(recordNames(f.path()).size(), kept.size());
        const CtlRun after = RunZandorctl({ "list", "--db", f.path() });
        QVERIFY2(after.status == 0, qPrintable(after.err));
    }

    // A backup taken while another program holds the database open and has
    // written to it, with its writes still in the log, holds those writes.
    void backupOfAFileInUseHoldsItsLatestWrites()
    {
        SKIP_UNLESS_FILE();
        StoreFixture f;
        qint32 dir = 0;
        fillHalf(f, dir, 10);
        QSqlQuery(f.db.connection()).exec("PRAGMA wal_autocheckpoint = 0");
        BoxRecord latest = sampleGraph(77);
        QVERIFY(f.store.SaveBox(latest, SaveMode::Add, "latest", dir));
        QVERIFY(QFileInfo(f.path() + "-wal").size() > 0);

        const QString target = f.dir.filePath("copies/kovra-copy.mdb");
        QVERIFY(QDir().mkpath(f.dir.filePath("copies")));
        const CtlRun backup = RunZandorctl({ "backup", "--db", f.path(), target });
        QVERIFY2(backup.status == 0, qPrintable(backup.err));
        QCOMPARE(integrityOf(target), "ok");
        QVERIFY(recordNames(target).contains("latest"));
        QVERIFY(!QFileInfo::exists(target + ".part"));

        const CtlRun usage = RunZandorctl({ "backup", "--db", f.path() });
        QCOMPARE(usage.status, 2);
    }

    // Two backups into the same file at the same moment (a scheduled one and
    // an operator's): the second waits for the first, both end with a sound
    // file, and no part or lock file stays behind.
    void simultaneousBackupsToOneFileLeaveASoundOne()
    {
        StoreFixture f;
        qint32 dir = 0;
        fillHalf(f, dir, 400);
        const QString target = f.dir.filePath("kovra-copy.mdb");
        for (int round = 0; round < 6; ++round) {
            QList<QProcess *> runs;
            for (int i = 0; i < 2; ++i) {
                auto *p = new QProcess(this);
                p->start(QCoreApplication::applicationDirPath() + "/../zandorctl",
                    { "backup", "--db", f.path(), target });
                runs << p;
            }
            int succeeded = 0;
            for (QProcess *p : runs) {
                QVERIFY(p->waitForFinished(60000));
                if (p->exitStatus() == QProcess::NormalExit && p->exitCode() == 0)
                    ++succeeded;
                delete p;
            }
            QCOMPARE(succeeded, 2);
            QCOMPARE(integrityOf(target), "ok");
            QCOMPARE(recordNames(target).size(), 200);
            QVERIFY(!QFileInfo::exists(target + ".part"));
            QVERIFY(!QFileInfo::exists(target + ".part.lock"));
        }
    }
};

QTEST_GUILESS_MAIN(TestStoreCommands)
#include "test_storecommands.moc"

#include "StoreFixture.h"

#include "shell/ScriptedMessages.h"
#include "store/Reorganisation.h"

#include <QSqlQuery>

// Repair and compaction of the database file with backup and recovery.
class TestReorganisation : public QObject
{
    Q_OBJECT

private:
    // Fills the file and deletes half of it, so compaction has work to do.
    static QList<qint32> fill(StoreFixture &f, qint32 &dir)
    {
        dir = *f.store.addDirectory(DirectoryType::Graphs, "g");
        QList<qint32> kept;
        for (int i = 0; i < 60; ++i) {
            BoxRecord b = sampleGraph(i, 300);
            f.store.SaveBox(b, SaveMode::Add, b.Kovra, dir);
            if (i % 2)
                f.store.deleteRecord(b.UntID);
            else
                kept << b.UntID;
        }
        return kept;
    }

private slots:
    void declinedTouchesNothing()
    {
        StoreFixture f;
        qint32 dir = 0;
        fill(f, dir);
        ScriptedMessages messages;
        messages.answer(false);
        const ReorganisationResult r = Reorganise(f.db, messages);
        QCOMPARE(r.outcome, ReorganisationResult::Outcome::Declined);
        QCOMPARE(messages.entries.size(), 1);
        QVERIFY(messages.entries.first().question);
        QCOMPARE(messages.entries.first().text,
            "The reorganisation will take some time, do you really want to start ?");
        QVERIFY(f.db.isOpen());
        QVERIFY(!QFileInfo::exists(BackupPath(f.path())));
    }

    void compactionKeepsKeysAndContent()
    {
        StoreFixture f;
        qint32 dir = 0;
        const QList<qint32> kept = fill(f, dir);
        f.db.close();
        const QByteArray before = fileBytes(f.path());
        QVERIFY(f.db.open(f.path()));

        ScriptedMessages messages;
        messages.answer(true);
        const ReorganisationResult r = Reorganise(f.db, messages);
        QCOMPARE(r.outcome, ReorganisationResult::Outcome::Done);
        QCOMPARE(messages.entries.size(), 1);
        QVERIFY(f.db.isOpen());
        QCOMPARE(fileBytes(BackupPath(f.path())), before);
        QVERIFY(!QFileInfo::exists(CompactionPath(f.path())));
        QVERIFY(QFileInfo(f.path()).size() < before.size());
        QVERIFY(!QFileInfo::exists(BackupPath(f.path()) + ".new"));

        QCOMPARE(f.store.findDirectory(DirectoryType::Graphs, "g"), dir);
        QList<qint32> listed;
        for (const RecordEntry &e : f.store.listRecords(dir))
            listed << e.UntID;
        QCOMPARE(listed, kept);
        BoxRecord loaded;
        QVERIFY(f.store.LoadBox(loaded, kept.last()));
        QCOMPARE(loaded.pointCount(), 300);
        QCOMPARE(loaded.Kovra, sampleGraph(58).Kovra);

        // Keys keep growing past those deleted before the compaction.
        BoxRecord fresh = sampleGraph(100);
        QVERIFY(f.store.SaveBox(fresh, SaveMode::Add, "fresh", dir));
        QVERIFY(fresh.UntID > kept.last() + 1);
    }

    void failedCompactionRestoresTheFile()
    {
        StoreFixture f;
        qint32 dir = 0;
        const QList<qint32> kept = fill(f, dir);
        f.db.close();
        const QByteArray before = fileBytes(f.path());
        QVERIFY(f.db.open(f.path()));

        // A folder in the way of the compacted file makes the compaction fail
        // after the repair has already rewritten the indexes.
        const QString blocker = CompactionPath(f.path());
        QVERIFY(QDir().mkpath(blocker + "/inside"));

        ScriptedMessages messages;
        messages.answer(true);
        const ReorganisationResult r = Reorganise(f.db, messages);
        QCOMPARE(r.outcome, ReorganisationResult::Outcome::Restored);
        QVERIFY(!r.detail.isEmpty());
        QCOMPARE(messages.texts().last(),
            "error while reorganisation database, restoring old database. ");
        QVERIFY(f.db.isOpen());
        f.db.close();
        QCOMPARE(fileBytes(f.path()), before);
        QVERIFY(f.db.open(f.path()));
        QCOMPARE(f.store.listRecords(dir).size(), kept.size());

        // The restored file and the backup are two files: writing one
        // leaves the other as it was.
        QCOMPARE(fileBytes(BackupPath(f.path())), before);
        BoxRecord more = sampleGraph(77, 300);
        QVERIFY(f.store.SaveBox(more, SaveMode::Add, "more", dir));
        f.db.close();
        QCOMPARE(fileBytes(BackupPath(f.path())), before);
        QVERIFY(fileBytes(f.path()) != before);
    }

    void damagedFileIsReportedAndKept()
    {
        StoreFixture f;
        qint32 dir = 0;
        fill(f, dir);
        f.db.close();
        // Scribble over a page in the middle: the header stays sound, so the
        // file opens, but the integrity check finds the damage.
        {
            QFile file(f.path());
            QVERIFY(file.open(QIODevice::ReadWrite));
            const qint64 middle = file.size() / 4096 / 2 * 4096;
            file.seek(middle + 8);
            file.write(QByteArray(2000, '\x5a'));
        }
        const QByteArray damaged = fileBytes(f.path());
        QVERIFY(f.db.open(f.path()));

        ScriptedMessages messages;
        messages.answer(true);
        const ReorganisationResult r = Reorganise(f.db, messages);
        QCOMPARE(r.outcome, ReorganisationResult::Outcome::Restored);
        QVERIFY2(r.detail.contains("integrity"), qPrintable(r.detail));
        QVERIFY(f.db.isOpen());
        f.db.close();
        QCOMPARE(fileBytes(f.path()), damaged);
    }

    void anOlderBackupIsNeverRestored()
    {
        // When this run cannot even make its backup, a backup left by an
        // earlier run must not be copied over newer data.
        StoreFixture f;
        qint32 dir = 0;
        fill(f, dir);
        QVERIFY(QDir().mkpath(BackupPath(f.path()) + "/inside"));
        f.db.close();
        const QByteArray before = fileBytes(f.path());
        QVERIFY(f.db.open(f.path()));

        ScriptedMessages messages;
        messages.answer(true);
        const ReorganisationResult r = Reorganise(f.db, messages);
        QCOMPARE(r.outcome, ReorganisationResult::Outcome::Restored);
        QVERIFY(f.db.isOpen());
        f.db.close();
        QCOMPARE(fileBytes(f.path()), before);
    }
};

QTEST_GUILESS_MAIN(TestReorganisation)
#include "test_reorganisation.moc"

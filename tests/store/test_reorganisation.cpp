#include "StoreFixture.h"

#include "core/ScriptedMessages.h"
#include "store/Reorganisation.h"

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
        QCOMPARE(Reorganise(f.db, messages).outcome, ReorganisationResult::Outcome::Done);
        QVERIFY(f.db.isOpen());
        QCOMPARE(fileBytes(BackupPath(f.path())), before);
        QVERIFY(!QFileInfo::exists(CompactionPath(f.path())));
        QVERIFY(QFileInfo(f.path()).size() < before.size());

        QList<qint32> listed;
        for (const RecordEntry &e : f.store.listRecords(dir))
            listed << e.UntID;
        QCOMPARE(listed, kept);
        BoxRecord loaded;
        QVERIFY(f.store.LoadBox(loaded, kept.last()));
        QCOMPARE(loaded.pointCount(), 300);

        // Keys keep growing past those deleted before the compaction.
        BoxRecord fresh = sampleGraph(100);
        QVERIFY(f.store.SaveBox(fresh, SaveMode::Add, "fresh", dir));
        QVERIFY(fresh.UntID > kept.last() + 1);
    }

    void failureRestoresTheFileByteForByte_data()
    {
        QTest::addColumn<QString>("cause");
        // A folder in the way of the compacted file makes the compaction fail
        // after the repair has already rewritten the indexes.
        QTest::newRow("compaction file blocked") << "compaction";
        // A scribbled page leaves the header sound, so the file opens, but
        // the integrity check finds the damage: reported, nothing replaced.
        QTest::newRow("damaged page") << "damage";
        // When this run cannot even make its backup, a backup left by an
        // earlier run must not be copied over newer data.
        QTest::newRow("backup blocked") << "backup";
    }

    void failureRestoresTheFileByteForByte()
    {
        QFETCH(QString, cause);
        StoreFixture f;
        qint32 dir = 0;
        const QList<qint32> kept = fill(f, dir);
        f.db.close();
        if (cause == "compaction")
            QVERIFY(QDir().mkpath(CompactionPath(f.path()) + "/inside"));
        if (cause == "backup")
            QVERIFY(QDir().mkpath(BackupPath(f.path()) + "/inside"));
        if (cause == "damage") {
            QFile file(f.path());
            QVERIFY(file.open(QIODevice::ReadWrite));
            file.seek(file.size() / 4096 / 2 * 4096 + 8);
            file.write(QByteArray(2000, '\x5a'));
        }
        const QByteArray before = fileBytes(f.path());
        QVERIFY(f.db.open(f.path()));

        ScriptedMessages messages;
        messages.answer(true);
        const ReorganisationResult r = Reorganise(f.db, messages);
        QCOMPARE(r.outcome, ReorganisationResult::Outcome::Restored);
        QCOMPARE(messages.texts().last(),
            "error while reorganisation database, restoring old database. ");
        if (cause == "damage")
            QVERIFY2(r.detail.contains("integrity"), qPrintable(r.detail));
        QVERIFY(f.db.isOpen());
        f.db.close();
        QCOMPARE(fileBytes(f.path()), before);
        if (cause != "compaction")
            return;

        // The restored file and the backup are two files: writing one
        // leaves the other as it was.
        QVERIFY(f.db.open(f.path()));
        QCOMPARE(f.store.listRecords(dir).size(), kept.size());
        BoxRecord more = sampleGraph(77, 300);
        QVERIFY(f.store.SaveBox(more, SaveMode::Add, "more", dir));
        f.db.close();
        QCOMPARE(fileBytes(BackupPath(f.path())), before);
    }
};

QTEST_GUILESS_MAIN(TestReorganisation)
#include "test_reorganisation.moc"

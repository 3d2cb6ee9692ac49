#include "StoreFiles.h"

#include "core/ScriptedMessages.h"
#include "core/Settings.h"
#include "store/DatabaseBackup.h"
#include "store/Reorganisation.h"

#include <QProcess>

// Checking, backing up, compacting and repairing the database file while it
// stays in use, by this program and by others.
namespace
{

const char kChildFile[] = "ZANDOR_IMPORT_CHILD_FILE";
const int kChildImports = 400;

// The child: stores graphs in a loop, each in its own transaction, and
// reports every one that the store called stored.
int importInALoop(const QString &path)
{
    Database db;
    const Notation n = commaNotation();
    Store store(db, n);
    if (!db.open(path))
        return 3;
    qint32 dir = -1;
    for (int i = 0; i < kChildImports; ++i) {
        if (dir < 0) {
            const auto found = store.findDirectory(DirectoryType::Graphs, "import");
            const auto made = found ? found : store.addDirectory(DirectoryType::Graphs, "import");
            dir = made.value_or(-1);
        }
        BoxRecord b = sampleGraph(1000 + i, 300);
        if (dir >= 0 && store.SaveByName(b, b.Kovra, dir))
            std::printf("stored %s\n", qPrintable(b.Kovra));
        else
            std::printf("failed %s\n", qPrintable(store.lastError()));
        std::fflush(stdout);
    }
    return 0;
}

ReorganisationResult reorganise(Database &db, ScriptedMessages &messages)
{
    messages.answer(true);
    return Reorganise(db, messages);
}

} // namespace

class TestReorganisation : public QObject
{
    Q_OBJECT

private slots:
    void compactionKeepsKeysContentAndABackup()
    {
        StoreFixture f;
        qint32 dir = 0;
        const QList<qint32> kept = fillHalf(f, dir);
        f.db.close(); // folds the log into the file
        const qint64 before = QFileInfo(f.path()).size();
        QVERIFY(f.db.open(f.path()));

        ScriptedMessages messages;
        QCOMPARE(reorganise(f.db, messages).outcome, ReorganisationResult::Outcome::Done);
        QVERIFY(messages.texts().size() == 1); // the question only
        QVERIFY(f.db.isOpen());
        QVERIFY(QFileInfo(f.path()).size() < before);
        QCOMPARE(integrityOf(f.path()), "ok");

        QList<qint32> listed;
        for (const RecordEntry &e : f.store.listRecords(dir))
            listed << e.UntID;
        QCOMPARE(listed, kept);
        BoxRecord loaded;
        QVERIFY(f.store.LoadBox(loaded, kept.last()));
        QCOMPARE(loaded.pointCount(), 300);

        // The backup is a sound file of its own with the state before the
        // run: later writes never reach it.
        const QString backup = BackupPath(f.path());
        QCOMPARE(integrityOf(backup), "ok");
        QCOMPARE(recordNames(backup).size(), kept.size());
        const QByteArray backupBytes = fileBytes(backup);
        BoxRecord fresh = sampleGraph(100);
        QVERIFY(f.store.SaveBox(fresh, SaveMode::Add, "fresh", dir));
        QCOMPARE(fileBytes(backup), backupBytes);
        // Keys keep growing past those deleted before the compaction.
        QVERIFY(fresh.UntID > kept.last() + 1);
    }

    void declinedTouchesNothing()
    {
        StoreFixture f;
        ScriptedMessages messages;
        messages.answer(false);
        QCOMPARE(Reorganise(f.db, messages).outcome, ReorganisationResult::Outcome::Declined);
        QVERIFY(f.db.isOpen());
        QVERIFY(!QFileInfo::exists(BackupPath(f.path())));
    }

    // Another program in the middle of a write: the compaction is refused,
    // the operator told why, and this program goes on with its database.
    void refusedWhileAnotherProgramWritesKeepsTheDatabaseOpen()
    {
        StoreFixture f;
        qint32 dir = 0;
        fillHalf(f, dir, 6);
        SqliteFile::SideConnection other(f.path());
        QSqlQuery hold(other.db());
        QVERIFY(hold.exec(Database::beginWriteStatement()));
        QVERIFY(hold.exec("INSERT INTO Verzeichnisse (VerzName, VerzTyp) VALUES ('other', 0)"));

        ScriptedMessages messages;
        const ReorganisationResult r = reorganise(f.db, messages);
        QCOMPARE(r.outcome, ReorganisationResult::Outcome::NotDone);
        QVERIFY2(messages.texts().last().contains("in use by another program"),
            qPrintable(messages.texts().last()));
        QVERIFY(hold.exec("COMMIT"));

        QVERIFY(f.db.isOpen());
        BoxRecord b = sampleGraph(7);
        QVERIFY2(f.store.SaveBox(b, SaveMode::Add, b.Kovra, dir), qPrintable(f.store.lastError()));
        QVERIFY(f.store.findDirectory(DirectoryType::Graphs, "other"));
    }

    // A backup that cannot be written leaves the last one as it was and the
    // file uncompacted.
    void backupThatCannotBeWrittenStopsTheRun()
    {
        StoreFixture f;
        qint32 dir = 0;
        fillHalf(f, dir, 10);
        ScriptedMessages messages;
        QCOMPARE(reorganise(f.db, messages).outcome, ReorganisationResult::Outcome::Done);
        const QByteArray goodBackup = fileBytes(BackupPath(f.path()));
        BoxRecord b = sampleGraph(50);
        QVERIFY(f.store.SaveBox(b, SaveMode::Add, b.Kovra, dir));
        QVERIFY(QDir().mkpath(BackupPath(f.path()) + ".part/inside"));

        const ReorganisationResult r = reorganise(f.db, messages);
        QCOMPARE(r.outcome, ReorganisationResult::Outcome::NotDone);
        QVERIFY2(r.detail.contains("backup"), qPrintable(r.detail));
        QCOMPARE(fileBytes(BackupPath(f.path())), goodBackup);
        QVERIFY(f.store.findRecord(dir, b.Kovra));
    }

    // One damaged page: the readable rows go into a sound file that takes
    // the damaged content's place; the damaged file and the last good backup
    // stay beside it.
    void damagedFileIsRepairedAndTheGoodBackupKept()
    {
        StoreFixture f;
        qint32 dir = 0;
        const QList<qint32> kept = fillHalf(f, dir, 80); // the newest key, 80, is deleted
        QSqlQuery(f.db.connection()).exec("UPDATE Init SET AEB = 3");
        ScriptedMessages messages;
        QCOMPARE(reorganise(f.db, messages).outcome, ReorganisationResult::Outcome::Done);
        const QByteArray goodBackup = fileBytes(BackupPath(f.path()));
        f.db.close();
        QVERIFY(damageMiddlePage(f.path()));
        QVERIFY(f.db.open(f.path()));
        QVERIFY(integrityOf(f.path()) != "ok");

        const ReorganisationResult r = reorganise(f.db, messages);
        QCOMPARE(r.outcome, ReorganisationResult::Outcome::Repaired);
        QVERIFY2(messages.texts().last().contains("repaired"), qPrintable(messages.texts().last()));
        QCOMPARE(r.salvage.directories, 1);
        QVERIFY(r.salvage.unreadable > 0);
        QVERIFY(r.salvage.graphs < kept.size());
        // A scribbled page may name keys that never were; it hides none.
        QVERIFY(r.salvage.graphs + r.salvage.unreadable >= kept.size());
        QCOMPARE(fileBytes(BackupPath(f.path())), goodBackup);
        QVERIFY(QFileInfo::exists(DamagedPath(f.path())));
        QVERIFY(integrityOf(DamagedPath(f.path())) != "ok");
        QVERIFY(!QFileInfo::exists(CompactionPath(f.path())));

        // The open database is the repaired one: sound, every listed record
        // loads, keys as before, settings kept.
        QVERIFY(f.db.isOpen());
        QCOMPARE(integrityOf(f.path()), "ok");
        const QList<RecordEntry> listed = f.store.listRecords(dir);
        QVERIFY(f.store.lastError().isEmpty());
        QCOMPARE(listed.size(), r.salvage.graphs);
        for (const RecordEntry &e : listed) {
            QVERIFY(kept.contains(e.UntID));
            BoxRecord loaded;
            QVERIFY(f.store.LoadBox(loaded, e.UntID));
            QCOMPARE(loaded.x, sampleGraph(e.Kovra.section(' ', 1).toInt(), 300).x);
        }
        Settings settings;
        QVERIFY(f.store.LoadSettings(settings));
        QCOMPARE(settings.ActiveBox, 3);
        // No key is given twice, not even that of a record deleted before.
        BoxRecord fresh = sampleGraph(500);
        QVERIFY(f.store.SaveBox(fresh, SaveMode::Add, fresh.Kovra, dir));
        QVERIFY(fresh.UntID > 80);
    }

    // A symbolic link in the program folder stays a link; the file it points
    // to is compacted, the backup lies beside that file.
    void symbolicLinkStaysALink()
    {
        StoreFixture f;
        qint32 dir = 0;
        fillHalf(f, dir, 10);
        f.db.close();
        QTemporaryDir program;
        const QString link = program.filePath("kovra.mdb");
        QVERIFY(QFile::link(f.path(), link));
        QVERIFY(f.db.open(link));

        ScriptedMessages messages;
        QCOMPARE(reorganise(f.db, messages).outcome, ReorganisationResult::Outcome::Done);
        QVERIFY(QFileInfo(link).isSymLink());
        QCOMPARE(QFileInfo(link).symLinkTarget(), f.path());
        QCOMPARE(integrityOf(BackupPath(f.path())), "ok");
        // A backup target that is a link: the file behind it is replaced.
        const QString real = f.dir.filePath("copy-real.mdb");
        QFile old(real);
        QVERIFY(old.open(QIODevice::WriteOnly) && old.write("an older copy") > 0);
        old.close();
        const QString copyLink = program.filePath("copy.mdb");
        QVERIFY(QFile::link(real, copyLink));
        QCOMPARE(WriteBackup(f.db, copyLink), QString());
        QVERIFY(QFileInfo(copyLink).isSymLink());
        QCOMPARE(recordNames(real).size(), 5);
    }

    // Writes of another program before, during and after repeated
    // reorganisations all stay, and the file is sound after every run.
    void importsOfAnotherProgramSurviveRepeatedReorganisation()
    {
        StoreFixture f;
        QProcess child;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(kChildFile, f.path());
        child.setProcessEnvironment(env);
        child.start(QCoreApplication::applicationFilePath(), {});
        QVERIFY(child.waitForStarted());

        ScriptedMessages messages;
        int runs = 0;
        while (child.state() == QProcess::Running || runs < 3) {
            const ReorganisationResult r = reorganise(f.db, messages);
            QVERIFY2(r.outcome == ReorganisationResult::Outcome::Done
                    || r.outcome == ReorganisationResult::Outcome::NotDone,
                qPrintable(r.detail));
            QCOMPARE(integrityOf(f.path()), "ok");
            ++runs;
            // The operator's pace, not a loop that never lets go of the file.
            child.waitForFinished(30);
        }
        QCOMPARE(child.state(), QProcess::NotRunning);
        QCOMPARE(child.exitCode(), 0);

        QStringList stored;
        for (const QByteArray &line : child.readAllStandardOutput().split('\n'))
            if (line.startsWith("stored "))
                stored << QString::fromUtf8(line.mid(7));
        QVERIFY2(stored.size() > kChildImports / 2,
            qPrintable(QStringLiteral("the child stored %1 of %2 after %3 runs")
                           .arg(stored.size())
                           .arg(kChildImports)
                           .arg(runs)));
        qInfo("%d reorganisations while the child stored %lld of %d", runs,
            qlonglong(stored.size()), kChildImports);
        const QStringList present = recordNames(f.path());
        for (const QString &name : stored)
            QVERIFY2(present.contains(name), qPrintable(name));
        QCOMPARE(integrityOf(f.path()), "ok");
        QVERIFY(runs >= 3);
    }
};

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    if (qEnvironmentVariableIsSet(kChildFile))
        return importInALoop(qEnvironmentVariable(kChildFile));
    TestReorganisation test;
    return QTest::qExec(&test, argc, argv);
}

#include "test_reorganisation.moc"

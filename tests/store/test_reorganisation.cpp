#include "StoreFiles.h"

#include "core/ScriptedMessages.h"
#include "core/Settings.h"
#include "store/DatabaseBackup.h"
#include "store/Reorganisation.h"

#include <QProcess>
#include <QSqlDriver>
#include <QSqlError>
#include <csignal>
#include <sqlite3.h>

// Checking, backing up, compacting and repairing the database file while it
// stays in use, by this program and by others.
namespace
{

const char kChildFile[] = "ZANDOR_IMPORT_CHILD_FILE";
const int kChildImports = 400;
const char kKilledFile[] = "ZANDOR_KILLED_REORGANISATION_FILE";
const char kKilledWhen[] = "ZANDOR_KILLED_REORGANISATION_WHEN";

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

// The child: reorganises and kills itself while the compacted pages go
// back into the file ("half") or once they are committed there, before the
// log is folded into the file ("committed").
int reorganiseUntilKilled(const QString &path, const QString &when)
{
    Database db;
    if (!db.open(path))
        return 3;
    ScriptedMessages messages;
    messages.answer(true);
    Reorganise(db, messages, [&](qint64 copied, qint64 total) {
        const bool half = copied >= total / 2 && copied < total;
        if ((when == "half" && half) || (when == "committed" && copied == total))
            std::raise(SIGKILL);
    });
    return 4; // the pages never went back
}

ReorganisationResult reorganise(
    Database &db, ScriptedMessages &messages, const ReorganisationProgress &progress = {})
{
    messages.answer(true);
    return Reorganise(db, messages, progress);
}

// A file whose compacted copy is about half its size and goes back in
// several parts: every second record deleted after all were stored.
// Returns the keys kept.
QList<qint32> fillLarge(StoreFixture &f, qint32 &dir)
{
    QSqlQuery(f.db.connection()).exec("PRAGMA synchronous = OFF"); // only while filling
    dir = *f.store.addDirectory(DirectoryType::Graphs, "g");
    QList<qint32> stored, kept;
    for (int i = 0; i < 1200; ++i) {
        BoxRecord b = sampleGraph(i, 300);
        f.store.SaveBox(b, SaveMode::Add, b.Kovra, dir);
        stored << b.UntID;
    }
    for (int i = 0; i < stored.size(); ++i) {
        if (i % 2)
            f.store.deleteRecord(stored.at(i));
        else
            kept << stored.at(i);
    }
    QSqlQuery(f.db.connection()).exec("PRAGMA synchronous = FULL");
    return kept;
}

qint64 sizeOf(const QString &path)
{
    return QFileInfo(path).size();
}

// Runs an action the moment the engine has finished a compaction into a
// new file on the given connection, for as long as this lives.
class AfterCompaction
{
public:
    AfterCompaction(const QSqlDatabase &db, std::function<void()> action)
        : m_handle(*static_cast<sqlite3 *const *>(db.driver()->handle().constData()))
        , m_action(std::move(action))
    {
        sqlite3_trace_v2(m_handle, SQLITE_TRACE_PROFILE, &finished, this);
    }
    ~AfterCompaction() { sqlite3_trace_v2(m_handle, 0, nullptr, nullptr); }
    AfterCompaction(const AfterCompaction &) = delete;
    AfterCompaction &operator=(const AfterCompaction &) = delete;

private:
    static int finished(unsigned, void *self, void *statement, void *)
    {
        if (QByteArray(sqlite3_sql(static_cast<sqlite3_stmt *>(statement)))
                .startsWith("VACUUM INTO"))
            static_cast<AfterCompaction *>(self)->m_action();
        return 0;
    }
    sqlite3 *m_handle;
    std::function<void()> m_action;
};

qint64 pagesOf(const QString &path)
{
    SqliteFile::SideConnection side(path);
    return SqliteFile::pageCount(side.db());
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
        QVERIFY(hold.exec("BEGIN IMMEDIATE"));
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

    // A backup that cannot be written, or is not sound once written, leaves
    // the last one as it was and the file uncompacted.
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

        ReorganisationResult r = reorganise(f.db, messages);
        QCOMPARE(r.outcome, ReorganisationResult::Outcome::NotDone);
        QVERIFY2(r.detail.contains("backup"), qPrintable(r.detail));
        QCOMPARE(fileBytes(BackupPath(f.path())), goodBackup);
        QVERIFY(f.store.findRecord(dir, b.Kovra));

        // A new copy damaged on its way to the disk fails its check.
        QVERIFY(QDir(BackupPath(f.path()) + ".part").removeRecursively());
        const QString part = BackupPath(f.path()) + ".part";
        {
            const AfterCompaction damage(f.db.connection(), [&] { damageMiddlePage(part); });
            r = reorganise(f.db, messages);
        }
        QCOMPARE(r.outcome, ReorganisationResult::Outcome::NotDone);
        QVERIFY2(
            r.detail.contains("backup") && r.detail.contains("not sound"), qPrintable(r.detail));
        QCOMPARE(fileBytes(BackupPath(f.path())), goodBackup);
        QVERIFY(!QFileInfo::exists(part));
        QVERIFY(f.store.findRecord(dir, b.Kovra));
        QCOMPARE(integrityOf(f.path()), "ok");
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

    // A file already as small as its compacted copy is checked and backed up
    // but not written again.
    void compactFileIsOnlyBackedUp()
    {
        StoreFixture f;
        qint32 dir = 0;
        fillHalf(f, dir, 10);
        ScriptedMessages messages;
        QCOMPARE(reorganise(f.db, messages).outcome, ReorganisationResult::Outcome::Done);
        const QByteArray compacted = fileBytes(f.path());
        QVERIFY(QFile::remove(BackupPath(f.path())));

        int copies = 0;
        const ReorganisationResult r
            = reorganise(f.db, messages, [&](qint64, qint64) { ++copies; });
        QCOMPARE(r.outcome, ReorganisationResult::Outcome::Done);
        QCOMPARE(copies, 0);
        QCOMPARE(fileBytes(f.path()), compacted);
        QCOMPARE(integrityOf(BackupPath(f.path())), "ok");
        QCOMPARE(recordNames(BackupPath(f.path())), recordNames(f.path()));
    }

    // While the compacted pages go back, other programs read on and their
    // writes wait; a write that came between the copy and its way back is
    // kept, since the engine then compacts the file once more by itself.
    void writesOfOthersWaitForTheCopyOrAreKept()
    {
        StoreFixture f;
        qint32 dir = 0;
        fillLarge(f, dir);
        const QStringList names = recordNames(f.path());
        SqliteFile::SideConnection other(f.path());
        QSqlQuery(other.db()).exec("PRAGMA busy_timeout = 0");
        const auto write = [&](const char *name) {
            QSqlQuery q(other.db());
            q.prepare("INSERT INTO Verzeichnisse (VerzName, VerzTyp) VALUES (?, 0)");
            q.addBindValue(QString::fromLatin1(name));
            return q.exec();
        };
        const auto directories = [](const QString &path) {
            SqliteFile::SideConnection side(path);
            QSqlQuery q(side.db());
            QStringList found;
            if (q.exec("SELECT VerzName FROM Verzeichnisse ORDER BY VerzID"))
                while (q.next())
                    found << q.value(0).toString();
            return found;
        };

        ScriptedMessages messages;
        int parts = 0, refused = 0, read = 0;
        ReorganisationResult r = reorganise(f.db, messages, [&](qint64 copied, qint64 total) {
            if (copied == 0 || copied == total)
                return;
            ++parts;
            refused += write("during") ? 0 : 1;
            QSqlQuery q(other.db());
            read += q.exec("SELECT count(*) FROM Untersuchungen") && q.next()
                && q.value(0).toInt() == names.size();
        });
        QCOMPARE(r.outcome, ReorganisationResult::Outcome::Done);
        QVERIFY2(parts >= 2, qPrintable(QString::number(parts)));
        QCOMPARE(refused, parts);
        QCOMPARE(read, parts);
        QCOMPARE(directories(f.path()), QStringList { "g" });
        QCOMPARE(recordNames(f.path()), names);

        // A write of the other program once the copy is taken (right after
        // the engine's compaction into the backup), or just before it goes
        // back: the file grows in between, so each run has pages to give back.
        QStringList expected { "g" };
        for (const bool rightAfterTheCopy : { true, false }) {
            QList<qint32> added;
            for (int i = 0; i < 20; ++i) {
                BoxRecord b = sampleGraph(5000 + i, 300);
                QVERIFY(f.store.SaveBox(b, SaveMode::Add, b.Kovra, dir));
                added << b.UntID;
            }
            for (const qint32 key : added)
                QVERIFY(f.store.deleteRecord(key));
            // Sizes as the engine counts them, the log included: the other
            // program's connection keeps it from being folded in.
            const qint64 before = pagesOf(f.path());
            const QString name = rightAfterTheCopy ? "after the copy" : "before it goes back";
            const QByteArray latin = name.toLatin1();
            bool wrote = false;
            {
                const AfterCompaction after(f.db.connection(), [&] {
                    if (rightAfterTheCopy)
                        wrote = write(latin.constData());
                });
                r = reorganise(f.db, messages, [&](qint64 copied, qint64) {
                    if (copied == 0 && !rightAfterTheCopy)
                        wrote = write(latin.constData());
                });
            }
            QCOMPARE(r.outcome, ReorganisationResult::Outcome::Done);
            QVERIFY(wrote);
            QCOMPARE(directories(BackupPath(f.path())), expected);
            expected << name;
            QCOMPARE(directories(f.path()), expected);
            QCOMPARE(recordNames(f.path()), names);
            QCOMPARE(integrityOf(f.path()), "ok");
            QVERIFY(pagesOf(f.path()) < before);
        }
    }

    // Whether the target changed is asked under its write lock, so nothing
    // can change it between the answer and the copy; and a copy that has no
    // pages never empties the target.
    void pageCopyAsksUnderTheLockAndRefusesAnEmptySource()
    {
        StoreFixture f;
        qint32 dir = 0;
        fillHalf(f, dir, 6);
        const QStringList names = recordNames(f.path());
        const QString copyPath = f.dir.filePath("copy.mdb");
        QCOMPARE(WriteBackup(f.db, copyPath), QString());
        SqliteFile::SideConnection copy(copyPath);
        SqliteFile::SideConnection other(f.path());
        QSqlQuery(other.db()).exec("PRAGMA busy_timeout = 0");

        SqliteFile::PageCopyWatch watch;
        bool asked = false, otherCouldWrite = true;
        watch.targetUnchanged = [&] {
            asked = true;
            QSqlQuery q(other.db());
            otherCouldWrite = q.exec("BEGIN IMMEDIATE");
            if (otherCouldWrite)
                q.exec("ROLLBACK");
            return false;
        };
        QSqlDatabase live = f.db.connection();
        const SqliteFile::PageCopy refused = SqliteFile::copyPages(copy.db(), live, watch);
        QVERIFY(asked);
        QVERIFY(!otherCouldWrite);
        QVERIFY(refused.targetChanged);
        QVERIFY(!refused.problem.isEmpty());
        QCOMPARE(recordNames(f.path()), names);

        const QString emptyPath = f.dir.filePath("empty.mdb");
        QFile empty(emptyPath);
        QVERIFY(empty.open(QIODevice::WriteOnly));
        empty.close();
        SqliteFile::SideConnection nothing(emptyPath);
        const SqliteFile::PageCopy emptied = SqliteFile::copyPages(nothing.db(), live);
        QVERIFY(!emptied.problem.isEmpty());
        QVERIFY(!emptied.targetChanged);
        QCOMPARE(recordNames(f.path()), names);
        QCOMPARE(integrityOf(f.path()), "ok");
    }

    // Killed while the compacted pages go back, or after they are committed
    // but before the log is folded in: the database opens sound with every
    // record, as before the run or as compacted, and the backup is in place.
    void killedWhileThePagesGoBackLosesNothing_data()
    {
        QTest::addColumn<QString>("when");
        QTest::addColumn<bool>("compacted");
        QTest::newRow("half the pages back") << "half" << false;
        QTest::newRow("committed, log not folded in") << "committed" << true;
    }

    void killedWhileThePagesGoBackLosesNothing()
    {
        QFETCH(QString, when);
        QFETCH(bool, compacted);
        StoreFixture f;
        qint32 dir = 0;
        const QList<qint32> kept = fillLarge(f, dir);
        const QStringList names = recordNames(f.path());
        f.db.close();
        const qint64 before = sizeOf(f.path());

        QProcess child;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(kKilledFile, f.path());
        env.insert(kKilledWhen, when);
        child.setProcessEnvironment(env);
        child.start(QCoreApplication::applicationFilePath(), {});
        QVERIFY(child.waitForFinished(60000));
        QCOMPARE(child.exitStatus(), QProcess::CrashExit);

        QCOMPARE(integrityOf(BackupPath(f.path())), "ok");
        QCOMPARE(recordNames(BackupPath(f.path())), names);
        QVERIFY(f.db.open(f.path()));
        QCOMPARE(integrityOf(f.path()), "ok");
        QCOMPARE(recordNames(f.path()), names);
        for (const qint32 key : kept) {
            BoxRecord loaded;
            QVERIFY(f.store.LoadBox(loaded, key));
            QCOMPARE(loaded.pointCount(), 300);
        }
        f.db.close(); // folds in what the log holds
        QCOMPARE(sizeOf(f.path()) < before, compacted);

        QVERIFY(f.db.open(f.path()));
        ScriptedMessages messages;
        QCOMPARE(reorganise(f.db, messages).outcome, ReorganisationResult::Outcome::Done);
        f.db.close();
        QVERIFY(sizeOf(f.path()) < before);
    }

    // A full disk stops the run before the backup is in place, or while the
    // compacted pages go back; the database is as it was either way, and
    // once there is room the run succeeds.
    void fullDiskLeavesTheDatabaseAsItWas()
    {
        QTemporaryDir dir;
        SMALL_DISK_OR_SKIP(disk, dir, "16m")
        const QString path = disk.filePath("kovra.mdb");
        const QString ballast = disk.filePath("ballast");
        {
            StoreFixture f;
            qint32 d = 0;
            fillLarge(f, d);
            f.db.close();
            QVERIFY(QFile::copy(f.path(), path));
        }
        const QStringList names = recordNames(path);
        QVERIFY(names.size() == 600);
        Database db;
        QVERIFY(db.open(path));
        ScriptedMessages messages;

        fillDisk(ballast);
        ReorganisationResult r = reorganise(db, messages);
        QCOMPARE(r.outcome, ReorganisationResult::Outcome::NotDone);
        QVERIFY2(
            r.detail.contains("backup") && r.detail.contains("disk is full"), qPrintable(r.detail));
        QVERIFY(!QFileInfo::exists(BackupPath(path)));
        QVERIFY(QFile::remove(ballast));

        r = reorganise(db, messages, [&](qint64 copied, qint64) {
            if (copied == 0) { // room for a part of the copy only
                fillDisk(ballast);
                QFile::resize(ballast, sizeOf(ballast) - 1024 * 1024);
            }
        });
        QCOMPARE(r.outcome, ReorganisationResult::Outcome::NotDone);
        QVERIFY2(r.detail.contains("compaction") && r.detail.contains("disk is full"),
            qPrintable(r.detail));
        QCOMPARE(sizeOf(path + "-wal"), 0); // the room the copy took is given back
        QCOMPARE(recordNames(BackupPath(path)), names);
        QVERIFY(QFile::remove(ballast));
        QCOMPARE(integrityOf(path), "ok");
        QCOMPARE(recordNames(path), names);

        const qint64 before = sizeOf(path);
        r = reorganise(db, messages);
        QVERIFY2(r.outcome == ReorganisationResult::Outcome::Done, qPrintable(r.detail));
        db.close();
        QVERIFY(sizeOf(path) < before);
        QCOMPARE(recordNames(path), names);
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
    if (qEnvironmentVariableIsSet(kKilledFile))
        return reorganiseUntilKilled(
            qEnvironmentVariable(kKilledFile), qEnvironmentVariable(kKilledWhen));
    TestReorganisation test;
    return QTest::qExec(&test, argc, argv);
}

#include "test_reorganisation.moc"

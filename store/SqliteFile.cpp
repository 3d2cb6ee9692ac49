#include "store/SqliteFile.h"

#include "store/EngineErrors.h"

#include <QAtomicInt>
#include <QElapsedTimer>
#include <QFile>
#include <QSqlDriver>
#include <QSqlError>
#include <QSqlQuery>
#include <QVariant>

#include <cstdint>
#include <sqlite3.h>

namespace
{

QString connectionName()
{
    static QAtomicInt counter;
    return QStringLiteral("zandor-side-%1").arg(counter.fetchAndAddRelaxed(1));
}

SqliteFile::Verdict verdictOf(QSqlDatabase &db, const char *pragma)
{
    using State = SqliteFile::Verdict::State;
    const auto failed = [](const QSqlError &error) {
        const bool damaged = EngineErrors::problemOf(error) == Database::Problem::Damaged;
        return SqliteFile::Verdict { damaged ? State::Damaged : State::Unknown,
            EngineErrors::describe(error) };
    };
    QSqlQuery q(db);
    q.setForwardOnly(true);
    if (!q.exec(QString::fromLatin1(pragma)))
        return failed(q.lastError());
    QStringList found;
    while (q.next())
        found << q.value(0).toString();
    if (q.lastError().type() != QSqlError::NoError)
        return failed(q.lastError());
    if (found == QStringList { QStringLiteral("ok") })
        return { State::Sound, {} };
    if (found.isEmpty())
        return { State::Unknown, QStringLiteral("the check gave no answer") };
    return { State::Damaged, found.join(QStringLiteral("; ")) };
}

sqlite3 *handleOf(QSqlDatabase &db)
{
    const QVariant v = db.driver() ? db.driver()->handle() : QVariant();
    if (!v.isValid() || qstrcmp(v.typeName(), "sqlite3*") != 0)
        return nullptr;
    return *static_cast<sqlite3 *const *>(v.constData());
}

QString engineText(sqlite3 *db, int rc)
{
    const int primary = rc & 0xff;
    const QString text = QString::fromUtf8(sqlite3_errstr(rc));
    if (primary == SQLITE_BUSY || primary == SQLITE_LOCKED)
        return QStringLiteral("the database is in use by another program (%1)").arg(text);
    if (primary == SQLITE_FULL)
        return QStringLiteral("the disk is full (%1)").arg(text);
    if (primary == SQLITE_IOERR)
        return QStringLiteral("the disk cannot be read or written (%1)").arg(text);
    if (primary == SQLITE_CORRUPT)
        return QStringLiteral("the database file is damaged (%1)").arg(text);
    return db ? QString::fromUtf8(sqlite3_errmsg(db)) : text;
}

// One wait at a time per thread: the engine calls the handler with count 0
// at the start of each wait and from the same thread until it ends.
thread_local QElapsedTimer lockWaitClock;

int waitALittle(void *limit, int count)
{
    if (count == 0)
        lockWaitClock.start();
    if (lockWaitClock.elapsed() >= qint64(reinterpret_cast<std::intptr_t>(limit)))
        return 0; // give up: the caller gets "in use"
    sqlite3_sleep(1);
    return 1;
}

} // namespace

namespace SqliteFile
{

void waitForLocksUpTo(QSqlDatabase &db, int milliseconds)
{
    if (sqlite3 *handle = handleOf(db))
        sqlite3_busy_handler(
            handle, waitALittle, reinterpret_cast<void *>(std::intptr_t(milliseconds)));
}

SideConnection::SideConnection(const QString &path)
    : m_name(connectionName())
{
    m_db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), m_name);
    m_db.setDatabaseName(path);
    m_db.setConnectOptions(QStringLiteral("QSQLITE_BUSY_TIMEOUT=2000"));
    if (!m_db.open())
        m_problem = EngineErrors::describe(m_db.lastError());
}

SideConnection::~SideConnection()
{
    m_db.close();
    m_db = QSqlDatabase();
    QSqlDatabase::removeDatabase(m_name);
}

Verdict integrity(QSqlDatabase &db)
{
    return verdictOf(db, "PRAGMA integrity_check");
}

Verdict quickCheck(QSqlDatabase &db)
{
    return verdictOf(db, "PRAGMA quick_check");
}

QString snapshotInto(QSqlDatabase &db, const QString &target)
{
    QSqlQuery q(db);
    q.prepare(QStringLiteral("VACUUM INTO ?"));
    q.addBindValue(target);
    if (!q.exec())
        return EngineErrors::describe(q.lastError());
    return {};
}

QString compactInPlace(QSqlDatabase &db)
{
    QSqlQuery q(db);
    if (!q.exec(QStringLiteral("VACUUM")))
        return EngineErrors::describe(q.lastError());
    q.finish();
    foldLog(db);
    return {};
}

void foldLog(QSqlDatabase &db)
{
    QSqlQuery(db).exec(QStringLiteral("PRAGMA wal_checkpoint(TRUNCATE)"));
}

void removeWithSideFiles(const QString &path)
{
    QFile::remove(path);
    QFile::remove(path + QLatin1String("-wal"));
    QFile::remove(path + QLatin1String("-shm"));
}

void readMapped(QSqlDatabase &db)
{
    // The engine caps this at what it was built to map.
    QSqlQuery(db).exec(QStringLiteral("PRAGMA mmap_size = 2147418112"));
}

std::optional<qint64> dataVersion(QSqlDatabase &db)
{
    QSqlQuery q(db);
    if (!q.exec(QStringLiteral("PRAGMA data_version")) || !q.next())
        return std::nullopt;
    return q.value(0).toLongLong();
}

qint64 pageCount(QSqlDatabase &db)
{
    QSqlQuery q(db);
    if (!q.exec(QStringLiteral("PRAGMA page_count")) || !q.next())
        return -1;
    return q.value(0).toLongLong();
}

PageCopy copyPages(QSqlDatabase &source, QSqlDatabase &target, const PageCopyWatch &watch)
{
    // About a mebibyte of pages between two reports of progress.
    constexpr int kPagesPerPart = 256;
    sqlite3 *from = handleOf(source);
    sqlite3 *to = handleOf(target);
    if (!from || !to)
        return { false, QStringLiteral("the database driver gives no engine handle") };
    // A copy of no pages would empty the target; and a step of no pages
    // would then already be the last one, before targetUnchanged is asked.
    const qint64 total = pageCount(source);
    if (total <= 0)
        return { false, QStringLiteral("the copy to be written back is empty or unreadable") };
    if (watch.progress)
        watch.progress(0, total);
    sqlite3_backup *copy = sqlite3_backup_init(to, "main", from, "main");
    if (!copy)
        return { false, engineText(to, sqlite3_errcode(to)) };
    int stepped = SQLITE_OK;
    bool changed = false;
    if (watch.targetUnchanged) {
        // No pages yet: this only takes the target's write lock.
        stepped = sqlite3_backup_step(copy, 0);
        changed = stepped == SQLITE_OK && !watch.targetUnchanged();
    }
    while (stepped == SQLITE_OK && !changed) {
        // All pages in one step, or part by part under the one lock; either
        // way the target is written in one transaction.
        stepped = sqlite3_backup_step(copy, watch.progress ? kPagesPerPart : -1);
        if (watch.progress && (stepped == SQLITE_OK || stepped == SQLITE_DONE))
            watch.progress(total - sqlite3_backup_remaining(copy), total);
    }
    // Before the last step, this undoes whatever was written to the target.
    const int finished = sqlite3_backup_finish(copy);
    if (changed)
        return { true, QStringLiteral("the database was changed while its copy was taken") };
    if (stepped != SQLITE_DONE)
        return { false, engineText(to, stepped) };
    if (finished != SQLITE_OK)
        return { false, engineText(to, finished) };
    return {};
}

QStringList tables(QSqlDatabase &db)
{
    QSqlQuery q(db);
    QStringList names;
    if (q.exec(QStringLiteral(
            "SELECT name FROM sqlite_master WHERE type = 'table' AND name NOT LIKE 'sqlite_%'")))
        while (q.next())
            names << q.value(0).toString();
    return names;
}

QStringList indexesOf(QSqlDatabase &db, const QString &table)
{
    QSqlQuery q(db);
    QStringList names;
    q.prepare(
        QStringLiteral("SELECT name FROM sqlite_master WHERE type = 'index' AND tbl_name = ?"));
    q.addBindValue(table);
    if (q.exec())
        while (q.next())
            names << q.value(0).toString();
    return names;
}

std::optional<qint64> keySequence(QSqlDatabase &db, const QString &table)
{
    QSqlQuery q(db);
    q.prepare(QStringLiteral("SELECT seq FROM sqlite_sequence WHERE name = ?"));
    q.addBindValue(table);
    if (!q.exec() || !q.next())
        return std::nullopt;
    return q.value(0).toLongLong();
}

QString raiseKeySequence(QSqlDatabase &db, const QString &table, qint64 atLeast)
{
    QSqlQuery q(db);
    q.prepare(QStringLiteral("UPDATE sqlite_sequence SET seq = max(seq, ?) WHERE name = ?"));
    q.addBindValue(atLeast);
    q.addBindValue(table);
    if (!q.exec())
        return EngineErrors::describe(q.lastError());
    if (q.numRowsAffected() == 0) {
        q.prepare(QStringLiteral("INSERT INTO sqlite_sequence (name, seq) VALUES (?, ?)"));
        q.addBindValue(table);
        q.addBindValue(atLeast);
        if (!q.exec())
            return EngineErrors::describe(q.lastError());
    }
    return {};
}

} // namespace SqliteFile

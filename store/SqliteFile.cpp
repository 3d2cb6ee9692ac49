#include "store/SqliteFile.h"

#include "store/EngineErrors.h"

#include <QAtomicInt>
#include <QSqlDriver>
#include <QSqlError>
#include <QSqlQuery>
#include <QVariant>

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

} // namespace

namespace SqliteFile
{

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
    // Folding the log in may wait for readers of other programs; what is not
    // folded in now is in the log and folded in later, so this cannot fail.
    q.exec(QStringLiteral("PRAGMA wal_checkpoint(TRUNCATE)"));
    return {};
}

QString copyPages(QSqlDatabase &source, QSqlDatabase &target)
{
    sqlite3 *from = handleOf(source);
    sqlite3 *to = handleOf(target);
    if (!from || !to)
        return QStringLiteral("the database driver gives no engine handle");
    sqlite3_backup *copy = sqlite3_backup_init(to, "main", from, "main");
    if (!copy)
        return engineText(to, sqlite3_errcode(to));
    // All pages in one step: the target is written in one transaction.
    const int stepped = sqlite3_backup_step(copy, -1);
    const int finished = sqlite3_backup_finish(copy);
    if (stepped != SQLITE_DONE)
        return engineText(to, stepped);
    if (finished != SQLITE_OK)
        return engineText(to, finished);
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

#include "store/Database.h"

#include "store/DatabaseChoice.h"
#include "store/DatabaseFileCheck.h"
#include "store/EngineErrors.h"
#include "store/Schema.h"
#include "store/SqlDialect.h"
#include "store/SqliteFile.h"

#include <QAtomicInt>
#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QSqlError>
#include <QSqlRecord>
#include <QStandardPaths>

namespace
{

const char kFileName[] = "kovra.mdb";
// How long an open waits for another program's lock before calling the file
// locked; writes wait as long before they fail.
const int kBusyTimeoutMs = 2000;

QString uniqueConnectionName()
{
    static QAtomicInt counter;
    return QStringLiteral("zandor-db-%1").arg(counter.fetchAndAddRelaxed(1));
}

Database::Problem problemOf(const QSqlError &error)
{
    return EngineErrors::problemOf(error);
}

QString causeOf(Database::Problem problem, const QString &detail)
{
    return EngineErrors::causeOf(problem, detail);
}

// The cause ends the message; libpq's own sentences already carry their
// stop or question mark.
QString endedSentence(const QString &cause)
{
    const bool ended = cause.endsWith(QLatin1Char('.')) || cause.endsWith(QLatin1Char('?'))
        || cause.endsWith(QLatin1Char('!'));
    return ended ? cause : cause + QLatin1Char('.');
}

} // namespace

Database::Database() = default;

Database::~Database()
{
    close();
}

bool Database::isSystemFolder(const QString &folder)
{
    // An installed program lives here; even where root may write, its data
    // must not end up among the package's files.
    static const char *const prefixes[] = { "/usr/", "/bin", "/sbin", "/opt/", "/snap/" };
    const QString path = QDir::cleanPath(folder) + QLatin1Char('/');
    for (const char *prefix : prefixes)
        if (path.startsWith(QLatin1String(prefix)))
            return true;
    return false;
}

QString Database::defaultPath()
{
    const QString remembered = RememberedDatabase();
    if (!remembered.isEmpty())
        return remembered;
    const QString programFolder = QCoreApplication::applicationDirPath();
    const QFileInfo folder(programFolder);
    if (!programFolder.isEmpty() && folder.isDir() && folder.isWritable()
        && !isSystemFolder(programFolder))
        return QDir(programFolder).filePath(QLatin1String(kFileName));
    const QString data = QStandardPaths::writableLocation(QStandardPaths::AppDataLocation);
    return QDir(data).filePath(QLatin1String(kFileName));
}

Database::OpenResult Database::fail(Problem problem, const QString &cause)
{
    OpenResult result;
    result.problem = problem;
    if (m_target.onServer())
        result.message = QStringLiteral("The database \"%1\" on the server cannot be used: %2")
                             .arg(m_target.server(), endedSentence(cause));
    else
        result.message = QStringLiteral("The database file \"%1\" cannot be used: %2")
                             .arg(QDir::toNativeSeparators(QFileInfo(m_path).absoluteFilePath()),
                                 endedSentence(cause));
    m_lastError = result.message;
    return result;
}

Database::OpenResult Database::open(const QString &path, OperatorMessages *asker)
{
    close();
    m_path = path;
    m_target = DatabaseTarget::parse(path);
    m_dialect = SqlDialect(m_target.engine);
    OpenResult result;
    m_connectionName = uniqueConnectionName();
    if (!m_target.problem.isEmpty())
        result = fail(Problem::CannotRead, m_target.problem);
    else
        result = m_target.onServer() ? connectServer(asker) : connect();
    if (!result)
        close();
    return result;
}

Database::OpenResult Database::connect()
{
    const QString &path = m_path;
    const QFileInfo info(path);
    const bool existed = info.exists();

    if (existed) {
        const FileCheck check = CheckDatabaseFile(path);
        if (check.problem != Problem::None)
            return fail(check.problem, check.cause);
    } else if (!QDir().mkpath(info.absolutePath())) {
        return fail(Problem::CannotCreate, QStringLiteral("its folder cannot be created"));
    }

    QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), m_connectionName);
    db.setDatabaseName(path);
    db.setConnectOptions(QStringLiteral("QSQLITE_BUSY_TIMEOUT=%1").arg(kBusyTimeoutMs));
    if (!db.open()) {
        const QSqlError error = db.lastError();
        return fail(existed ? problemOf(error) : Problem::CannotCreate,
            existed ? causeOf(problemOf(error), error.text())
                    : QStringLiteral("it cannot be created (%1)").arg(error.text()));
    }
    SqliteFile::waitForLocksUpTo(db, kBusyTimeoutMs);

    QSqlQuery q(db);
    QSqlError versionError;
    const std::optional<int> stored = m_dialect.layoutVersion(db, versionError);
    if (!stored) {
        const Problem p = problemOf(versionError);
        return fail(p, causeOf(p, versionError.text()));
    }
    int version = *stored;

    if (existed) {
        const OpenResult checked = checkExisting(db, version);
        if (!checked.ok())
            return checked;
    }

    // Write-ahead logging with a flush at every commit: a saved record
    // survives a power failure, and a crash never leaves a half record.
    if (!q.exec(QStringLiteral("PRAGMA journal_mode=WAL")) || !q.next()) {
        const Problem p = problemOf(q.lastError());
        return fail(p, causeOf(p, q.lastError().text()));
    }
    q.finish();
    q.exec(QStringLiteral("PRAGMA synchronous=FULL"));

    return completeLayout(version, existed);
}

// Creates or upgrades the tables step by step, each step in a write
// transaction that first looks again: another workstation may have done the
// step since the version was read.
Database::OpenResult Database::completeLayout(int version, bool existed)
{
    QSqlDatabase db = connection();
    while (version < SchemaVersion) {
        const int from = version;
        QString complaint;
        const bool upgraded = transaction([&] {
            QSqlError error;
            const std::optional<int> now = m_dialect.layoutVersion(db, error);
            if (!now) {
                complaint = EngineErrors::describe(error);
                return false;
            }
            if (*now > from)
                return true;
            complaint = Schema::upgradeStep(db, m_dialect, from);
            QSqlQuery stamp(db);
            for (const QString &sql : m_dialect.setLayoutVersion(from + 1))
                if (complaint.isEmpty() && !stamp.exec(sql))
                    complaint = stamp.lastError().text();
            return complaint.isEmpty();
        });
        if (!upgraded) {
            if (complaint.isEmpty())
                complaint = m_lastError;
            return fail(existed ? Problem::Damaged : Problem::CannotCreate,
                existed ? QStringLiteral("it cannot be upgraded (%1)").arg(complaint)
                        : QStringLiteral("it cannot be created (%1)").arg(complaint));
        }
        version = from + 1;
    }
    // The store looks everything up through its indexes; a database that
    // has lost one (edited with another tool) gets it back.
    if (!Schema::indexesComplete(db, m_dialect)) {
        QString complaint;
        if (!transaction([&] { return (complaint = Schema::createIndexes(db)).isEmpty(); }))
            return fail(Problem::Damaged,
                QStringLiteral("its indexes cannot be rebuilt (%1)")
                    .arg(complaint.isEmpty() ? m_lastError : complaint));
    }
    m_lastError.clear();
    return {};
}

// An existing file must already hold our tables, in a layout this program
// knows, and no other program may be writing it. Nothing here writes.
Database::OpenResult Database::checkExisting(QSqlDatabase &db, int &version)
{
    if (version > SchemaVersion)
        return fail(Problem::TooNew,
            QStringLiteral("it was written by a newer version of the program "
                           "(file layout %1, this program knows up to %2)")
                .arg(QString::number(version), QString::number(SchemaVersion)));

    QSqlError error;
    const QStringList missing = missingTables(db, error);
    if (error.isValid() && error.type() != QSqlError::NoError) {
        const Problem p = problemOf(error);
        if (p == Problem::Locked || p == Problem::NotSqlite)
            return fail(p, causeOf(p, error.text()));
    }
    if (!missing.isEmpty())
        return fail(Problem::TablesMissing,
            QStringLiteral("it is not a Zandor database (missing: %1)")
                .arg(missing.join(QStringLiteral(", "))));

    // A reserved lock is the first step of every write; taking and dropping
    // it changes nothing but tells whether another program is writing.
    QSqlQuery q(db);
    if (!q.exec(QStringLiteral("BEGIN IMMEDIATE"))) {
        const Problem p = problemOf(q.lastError());
        return fail(p, causeOf(p, q.lastError().text()));
    }
    q.exec(QStringLiteral("ROLLBACK"));

    // A file with our tables but no layout number predates the numbering; its
    // tables are those of layout 1.
    if (version == 0) {
        const bool stamped = transaction([&] {
            QSqlQuery stamp(db);
            return stamp.exec(QStringLiteral("PRAGMA user_version = 1"));
        });
        if (!stamped)
            return fail(Problem::CannotRead, causeOf(Problem::CannotRead, m_lastError));
        version = 1;
    }
    return {};
}

// The tables and columns of ours that the database lacks; error holds the
// engine's complaint when a table could not be looked at.
QStringList Database::missingTables(QSqlDatabase &db, QSqlError &error)
{
    QStringList missing;
    for (const Schema::TableColumns &table : Schema::requiredTables()) {
        const QString name = QString::fromLatin1(table.table);
        const QSqlRecord columns = db.record(SqlDialect::quoted(name));
        if (columns.isEmpty()) {
            if (!error.isValid() || error.type() == QSqlError::NoError)
                error = db.lastError();
            missing << name;
            continue;
        }
        for (const QString &column : table.columns)
            if (columns.indexOf(column) < 0)
                missing << name + QLatin1Char('.') + column;
    }
    return missing;
}

void Database::close()
{
    m_statements.clear();
    m_connectionLost = false;
    m_unavailable.clear();
    if (m_connectionName.isEmpty())
        return;
    {
        QSqlDatabase db = QSqlDatabase::database(m_connectionName, false);
        if (db.isOpen())
            db.close();
    }
    QSqlDatabase::removeDatabase(m_connectionName);
    m_connectionName.clear();
}

bool Database::isOpen() const
{
    return !m_connectionName.isEmpty() && connection().isOpen();
}

QSqlDatabase Database::connection() const
{
    if (m_connectionName.isEmpty())
        return QSqlDatabase();
    return QSqlDatabase::database(m_connectionName, false);
}

QSqlQuery &Database::prepared(const QString &sql)
{
    // Not inside a transaction: its statements are still in use there.
    if (!m_inTransaction)
        reconnectIfLost();
    if (!isOpen()) {
        m_failedStatement = QSqlQuery();
        return m_failedStatement;
    }
    auto it = m_statements.find(sql);
    if (it != m_statements.end())
        return it->second;
    QSqlQuery q(connection());
    // The server's driver fetches a forward-only result row by row, one
    // round of its protocol each; the store's results are small (the
    // listing's columns), so the server sends each whole at once.
    q.setForwardOnly(!onServer());
    if (!q.prepare(sql)) {
        noteFailure(q.lastError());
        m_failedStatement = std::move(q);
        return m_failedStatement;
    }
    return m_statements.emplace(sql, std::move(q)).first->second;
}

bool Database::begin()
{
    reconnectIfLost();
    QSqlDatabase db = connection();
    if (!db.isOpen()) {
        m_lastError = unavailableReason();
        return false;
    }
    QSqlQuery q(db);
    for (const QString &sql : m_dialect.beginWrite()) {
        if (!q.exec(sql)) {
            noteFailure(q.lastError());
            if (sql != m_dialect.beginWrite().constFirst())
                db.rollback();
            return false;
        }
    }
    return true;
}

bool Database::commit()
{
    // Through a statement of its own rather than the driver's commit, which
    // drops the engine's error number (a full disk would read as any error).
    QSqlQuery q(connection());
    if (q.exec(QStringLiteral("COMMIT")))
        return true;
    noteFailure(q.lastError());
    rollback();
    return false;
}

void Database::rollback()
{
    QSqlQuery(connection()).exec(QStringLiteral("ROLLBACK"));
}

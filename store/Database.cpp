#include "store/Database.h"

#include "store/DatabaseFileCheck.h"
#include "store/EngineErrors.h"
#include "store/Schema.h"

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
    result.message
        = QStringLiteral("The database file \"%1\" cannot be used: %2.")
              .arg(QDir::toNativeSeparators(QFileInfo(m_path).absoluteFilePath()), cause);
    m_lastError = result.message;
    return result;
}

Database::OpenResult Database::open(const QString &path)
{
    close();
    m_path = path;
    const OpenResult result = connect();
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

    m_connectionName = uniqueConnectionName();
    QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), m_connectionName);
    db.setDatabaseName(path);
    db.setConnectOptions(QStringLiteral("QSQLITE_BUSY_TIMEOUT=%1").arg(kBusyTimeoutMs));
    if (!db.open()) {
        const QSqlError error = db.lastError();
        return fail(existed ? problemOf(error) : Problem::CannotCreate,
            existed ? causeOf(problemOf(error), error.text())
                    : QStringLiteral("it cannot be created (%1)").arg(error.text()));
    }

    QSqlQuery q(db);
    if (!q.exec(QStringLiteral("PRAGMA user_version")) || !q.next()) {
        const Problem p = problemOf(q.lastError());
        return fail(p, causeOf(p, q.lastError().text()));
    }
    int version = q.value(0).toInt();
    q.finish();

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

    while (version < SchemaVersion) {
        const int from = version;
        QString complaint;
        const bool upgraded = transaction([&] {
            complaint = Schema::upgradeStep(db, from);
            QSqlQuery stamp(db);
            return complaint.isEmpty()
                && stamp.exec(QStringLiteral("PRAGMA user_version = %1").arg(from + 1));
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
    // The store looks everything up through its indexes; a file that has
    // lost one (edited with another tool) gets it back.
    if (!Schema::indexesComplete(db)) {
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

    QStringList missing;
    for (const Schema::TableColumns &table : Schema::requiredTables()) {
        const QString name = QString::fromLatin1(table.table);
        const QSqlRecord columns = db.record(name);
        if (columns.isEmpty()) {
            const QSqlError error = db.lastError();
            if (error.isValid() && error.type() != QSqlError::NoError) {
                const Problem p = problemOf(error);
                if (p == Problem::Locked || p == Problem::NotSqlite)
                    return fail(p, causeOf(p, error.text()));
            }
            missing << name;
            continue;
        }
        for (const QString &column : table.columns)
            if (columns.indexOf(column) < 0)
                missing << name + QLatin1Char('.') + column;
    }
    if (!missing.isEmpty())
        return fail(Problem::TablesMissing,
            QStringLiteral("it is not a Zandor database (missing: %1)")
                .arg(missing.join(QStringLiteral(", "))));

    // A reserved lock is the first step of every write; taking and dropping
    // it changes nothing but tells whether another program is writing.
    QSqlQuery q(db);
    if (!q.exec(beginWriteStatement())) {
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

void Database::close()
{
    m_statements.clear();
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
    if (!isOpen()) {
        m_failedStatement = QSqlQuery();
        return m_failedStatement;
    }
    auto it = m_statements.find(sql);
    if (it != m_statements.end())
        return it->second;
    QSqlQuery q(connection());
    q.setForwardOnly(true);
    if (!q.prepare(sql)) {
        m_failedStatement = std::move(q);
        return m_failedStatement;
    }
    return m_statements.emplace(sql, std::move(q)).first->second;
}

bool Database::begin()
{
    QSqlDatabase db = connection();
    if (!db.isOpen()) {
        m_lastError = QStringLiteral("the database is not open");
        return false;
    }
    QSqlQuery q(db);
    if (!q.exec(beginWriteStatement())) {
        m_lastError = EngineErrors::describe(q.lastError());
        return false;
    }
    return true;
}

QString Database::beginWriteStatement()
{
    return QStringLiteral("BEGIN IMMEDIATE");
}

bool Database::commit()
{
    // Through a statement of its own rather than the driver's commit, which
    // drops the engine's error number (a full disk would read as any error).
    QSqlQuery q(connection());
    if (q.exec(QStringLiteral("COMMIT")))
        return true;
    m_lastError = EngineErrors::describe(q.lastError());
    rollback();
    return false;
}

void Database::rollback()
{
    QSqlQuery(connection()).exec(QStringLiteral("ROLLBACK"));
}

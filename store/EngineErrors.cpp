#include "store/EngineErrors.h"

namespace EngineErrors
{

Database::Problem problemOf(const QSqlError &error)
{
    // SQLite's primary result codes, as the driver reports them.
    const int code = error.nativeErrorCode().toInt() & 0xff;
    switch (code) {
    case 5: // SQLITE_BUSY
    case 6: // SQLITE_LOCKED
        return Database::Problem::Locked;
    case 26: // SQLITE_NOTADB
        return Database::Problem::NotSqlite;
    case 14: // SQLITE_CANTOPEN
    case 8: // SQLITE_READONLY
        return Database::Problem::CannotRead;
    case 13: // SQLITE_FULL
        return Database::Problem::DiskFull;
    case 10: // SQLITE_IOERR
        return Database::Problem::DiskError;
    case 11: // SQLITE_CORRUPT
        return Database::Problem::Damaged;
    default:
        return Database::Problem::EngineError;
    }
}

QString causeOf(Database::Problem problem, const QString &detail)
{
    switch (problem) {
    case Database::Problem::Locked:
        return QStringLiteral("it is locked by another program");
    case Database::Problem::NotSqlite:
        return QStringLiteral("it is not a database file");
    case Database::Problem::CannotRead:
        return QStringLiteral("it cannot be opened for reading and writing (%1)").arg(detail);
    case Database::Problem::DiskFull:
        return QStringLiteral("the disk is full (%1)").arg(detail);
    case Database::Problem::DiskError:
        return QStringLiteral("the disk cannot be read or written (%1)").arg(detail);
    case Database::Problem::Damaged:
        return QStringLiteral("it is damaged (%1)").arg(detail);
    default:
        return QStringLiteral("the database engine failed (%1)").arg(detail);
    }
}

QString describe(const QSqlError &error)
{
    const Database::Problem problem = problemOf(error);
    const QString text = error.text().trimmed();
    switch (problem) {
    case Database::Problem::Locked:
        return QStringLiteral("the database is in use by another program (%1)").arg(text);
    case Database::Problem::DiskFull:
        return QStringLiteral("the disk is full (%1)").arg(text);
    case Database::Problem::DiskError:
        return QStringLiteral("the disk cannot be read or written (%1)").arg(text);
    case Database::Problem::Damaged:
        return QStringLiteral("the database file is damaged (%1)").arg(text);
    default:
        return text;
    }
}

} // namespace EngineErrors

#include "store/DatabaseBackup.h"

#include "store/Database.h"
#include "store/DatabaseCopy.h"
#include "store/DurableFiles.h"
#include "store/SqliteFile.h"

#include <QLockFile>

namespace
{

// A backup of a large database takes some seconds; waiting a while longer
// than that for another one to finish beats refusing at once.
const int kWaitForOtherBackupMs = 60000;

QString checkCopy(const QString &copy, SqliteFile::SideConnection &side)
{
    if (!side.problem().isEmpty())
        return QStringLiteral("the copy %1 cannot be opened: %2").arg(copy, side.problem());
    // The copy was written by this program a moment ago and is in the
    // system's cache: reading it mapped spares a copy of every page.
    SqliteFile::readMapped(side.db());
    const SqliteFile::Verdict verdict = SqliteFile::quickCheck(side.db());
    if (!verdict.sound())
        return QStringLiteral("the copy %1 is not sound: %2").arg(copy, verdict.text);
    return {};
}

// A server database is backed up as a database file: a new file with the
// program's tables, filled from one consistent state of the server's.
QString copyFromServer(Database &db, const QString &target)
{
    Database copy;
    const Database::OpenResult opened = copy.open(target);
    if (!opened)
        return opened.message;
    const CopyResult copied = CopyDatabase(db, copy, false);
    copy.close();
    return copied.problem;
}

} // namespace

QString WriteBackup(Database &db, const QString &target)
{
    return WriteCheckedBackup(db, target).problem;
}

CheckedBackup WriteCheckedBackup(Database &db, const QString &target)
{
    if (!db.isOpen())
        return { QStringLiteral("the database is not open"), nullptr };
    const QString file = DurableFiles::resolved(target);
    const QString part = file + QLatin1String(".part");
    // One writer of a part file at a time: a second backup into the same
    // file (a scheduled one beside the operator's reorganisation) would
    // otherwise remove or rename the first one's part while it is written.
    // The second waits; a lock left by a program that died is taken over.
    // A lock that cannot even be made (a full disk, a folder not writable)
    // keeps nobody out, and the writing below names the cause.
    QLockFile writing(part + QLatin1String(".lock"));
    if (!writing.tryLock(kWaitForOtherBackupMs) && writing.error() == QLockFile::LockFailedError)
        return { QStringLiteral("the backup %1 was not written: another program is writing it "
                                "at this moment")
                     .arg(file),
            nullptr };
    SqliteFile::removeWithSideFiles(part);
    QSqlDatabase live = db.connection();
    QString problem
        = db.onServer() ? copyFromServer(db, part) : SqliteFile::snapshotInto(live, part);
    if (problem.isEmpty())
        problem = DurableFiles::flush(part);
    std::unique_ptr<SqliteFile::SideConnection> checked;
    if (problem.isEmpty()) {
        checked = std::make_unique<SqliteFile::SideConnection>(part);
        problem = checkCopy(part, *checked);
    }
    if (problem.isEmpty())
        problem = DurableFiles::renameOver(part, file);
    if (!problem.isEmpty()) {
        checked.reset();
        SqliteFile::removeWithSideFiles(part);
        return { QStringLiteral("the backup %1 was not written: %2").arg(file, problem), nullptr };
    }
    return { {}, std::move(checked) };
}

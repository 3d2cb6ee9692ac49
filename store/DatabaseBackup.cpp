#include "store/DatabaseBackup.h"

#include "store/Database.h"
#include "store/DurableFiles.h"
#include "store/SqliteFile.h"

#include <QFile>

namespace
{

QString checkCopy(const QString &copy)
{
    SqliteFile::SideConnection side(copy);
    if (!side.problem().isEmpty())
        return QStringLiteral("the copy %1 cannot be opened: %2").arg(copy, side.problem());
    const SqliteFile::Verdict verdict = SqliteFile::quickCheck(side.db());
    if (!verdict.sound())
        return QStringLiteral("the copy %1 is not sound: %2").arg(copy, verdict.text);
    return {};
}

void removeWithSideFiles(const QString &path)
{
    QFile::remove(path);
    QFile::remove(path + QLatin1String("-wal"));
    QFile::remove(path + QLatin1String("-shm"));
}

} // namespace

QString WriteBackup(Database &db, const QString &target)
{
    if (!db.isOpen())
        return QStringLiteral("the database is not open");
    const QString file = DurableFiles::resolved(target);
    const QString part = file + QLatin1String(".part");
    removeWithSideFiles(part);
    QSqlDatabase live = db.connection();
    QString problem = SqliteFile::snapshotInto(live, part);
    if (problem.isEmpty())
        problem = DurableFiles::flush(part);
    if (problem.isEmpty())
        problem = checkCopy(part);
    if (problem.isEmpty())
        problem = DurableFiles::renameOver(part, file);
    if (!problem.isEmpty()) {
        removeWithSideFiles(part);
        return QStringLiteral("the backup %1 was not written: %2").arg(file, problem);
    }
    return {};
}

#include "store/Reorganisation.h"

#include "core/OperatorMessages.h"
#include "store/Database.h"

#include <QAtomicInt>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QSqlError>
#include <QSqlQuery>

#include <cstdio>
#include <unistd.h>

namespace
{

const char kQuestion[] = "The reorganisation will take some time, do you really want to start ?";
const char kRestoring[] = "error while reorganisation database, restoring old database. ";

QString sibling(const QString &path, const char *suffix)
{
    const QFileInfo info(path);
    return info.dir().filePath(info.completeBaseName() + QLatin1String(suffix));
}

// Copies source onto target so that target is either the old file or the
// whole new one, never something in between.
QString copyReplacing(const QString &source, const QString &target)
{
    QFile in(source);
    if (!in.open(QIODevice::ReadOnly))
        return QStringLiteral("cannot read %1: %2").arg(source, in.errorString());
    QSaveFile out(target);
    if (!out.open(QIODevice::WriteOnly))
        return QStringLiteral("cannot write %1: %2").arg(target, out.errorString());
    while (!in.atEnd()) {
        const QByteArray chunk = in.read(1 << 20);
        if (chunk.isEmpty() && in.error() != QFileDevice::NoError)
            return QStringLiteral("cannot read %1: %2").arg(source, in.errorString());
        if (out.write(chunk) != chunk.size())
            return QStringLiteral("cannot write %1: %2").arg(target, out.errorString());
    }
    if (!out.commit())
        return QStringLiteral("cannot write %1: %2").arg(target, out.errorString());
    return {};
}

QString syncFile(const QString &path)
{
    QFile f(path);
    if (!f.open(QIODevice::ReadWrite) || ::fsync(f.handle()) != 0)
        return QStringLiteral("cannot flush %1 to disk").arg(path);
    return {};
}

void syncFolder(const QString &path)
{
    QFile folder(QFileInfo(path).absolutePath());
    if (folder.open(QIODevice::ReadOnly))
        ::fsync(folder.handle());
}

// The backup holds the file as it is now. Where the file system allows, it
// is a second name of the same file rather than a copy: the reorganisation
// only reads the database until the compacted file replaces it, so the
// backup keeps the old content without copying hundreds of megabytes.
QString makeBackup(const QString &path, const QString &backup)
{
    const QString fresh = backup + QLatin1String(".new");
    QFile::remove(fresh);
    if (::link(QFile::encodeName(path).constData(), QFile::encodeName(fresh).constData()) == 0) {
        if (std::rename(QFile::encodeName(fresh).constData(), QFile::encodeName(backup).constData())
            == 0)
            return {};
        QFile::remove(fresh);
    }
    return copyReplacing(path, backup);
}

// A file that another program has open in write-ahead mode keeps its log
// beside it after we close; replacing the file under it would lose data.
bool inUseElsewhere(const QString &path)
{
    return QFileInfo::exists(path + QLatin1String("-wal"));
}

// Repair and compaction into target, on a connection of its own that is
// closed again before this returns; the source file is only read. The repair
// is the integrity check, which compares every index with its table: once it
// passes, a reindex would rebuild the same indexes (all use the built-in
// binary comparison), and the compaction writes every page anew anyway.
QString repairAndCompact(const QString &path, const QString &target)
{
    static QAtomicInt counter;
    const QString name = QStringLiteral("zandor-reorganise-%1").arg(counter.fetchAndAddRelaxed(1));
    QString problem;
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), name);
        db.setDatabaseName(path);
        if (!db.open()) {
            problem = db.lastError().text();
        } else {
            QSqlQuery q(db);
            QStringList findings;
            if (!q.exec(QStringLiteral("PRAGMA integrity_check"))) {
                problem = QStringLiteral("integrity check failed: %1").arg(q.lastError().text());
            } else {
                while (q.next())
                    findings << q.value(0).toString();
                if (findings != QStringList { QStringLiteral("ok") })
                    problem = QStringLiteral("integrity check failed: %1")
                                  .arg(findings.join(QStringLiteral("; ")));
            }
            q.finish();
            // The engine will not compact into an existing file.
            if (problem.isEmpty() && QFileInfo::exists(target) && !QFile::remove(target))
                problem = QStringLiteral("cannot remove the old %1").arg(target);
            if (problem.isEmpty()) {
                q.prepare(QStringLiteral("VACUUM INTO ?"));
                q.addBindValue(target);
                if (!q.exec())
                    problem = QStringLiteral("compaction failed: %1").arg(q.lastError().text());
            }
            q.finish();
            db.close();
        }
    }
    QSqlDatabase::removeDatabase(name);
    return problem;
}

// Puts this run's backup back as a file of its own (a copy, so that later
// writes never reach the backup): the side files of the write-ahead log go
// first, so that nothing of the failed run is replayed onto the restored file.
QString restoreBackup(const QString &path, const QString &backup)
{
    QFile::remove(path + QLatin1String("-wal"));
    QFile::remove(path + QLatin1String("-shm"));
    return copyReplacing(backup, path);
}

} // namespace

QString BackupPath(const QString &databasePath)
{
    return sibling(databasePath, ".bak");
}

QString CompactionPath(const QString &databasePath)
{
    return sibling(databasePath, ".tmp");
}

ReorganisationResult Reorganise(Database &db, OperatorMessages &messages)
{
    ReorganisationResult result;
    if (!messages.askYesNo(QString::fromLatin1(kQuestion)))
        return result;

    const QString path = db.path();
    const QString backup = BackupPath(path);
    const QString compacted = CompactionPath(path);
    bool backupMade = false;

    db.close();
    QString problem;
    if (inUseElsewhere(path))
        problem = QStringLiteral("the database file is in use by another program");
    if (problem.isEmpty())
        problem = makeBackup(path, backup);
    backupMade = problem.isEmpty();
    if (problem.isEmpty())
        problem = repairAndCompact(path, compacted);
    if (problem.isEmpty())
        problem = syncFile(compacted);
    // One rename replaces the file, so a crash leaves either the old or the
    // compacted database under its name, never none.
    if (problem.isEmpty()
        && std::rename(
               QFile::encodeName(compacted).constData(), QFile::encodeName(path).constData())
            != 0)
        problem = QStringLiteral("cannot rename %1 to %2").arg(compacted, path);
    if (problem.isEmpty()) {
        syncFolder(path);
        const Database::OpenResult opened = db.open(path);
        if (opened) {
            result.outcome = ReorganisationResult::Outcome::Done;
            return result;
        }
        problem = opened.message;
    }

    // Recovery. Only the backup of this run is put back: an older one would
    // throw away everything stored since.
    messages.show(QString::fromLatin1(kRestoring));
    result.detail = problem;
    if (backupMade) {
        const QString restoreProblem = restoreBackup(path, backup);
        if (!restoreProblem.isEmpty())
            result.detail += QStringLiteral("; ") + restoreProblem;
    }
    const Database::OpenResult reopened = db.open(path);
    if (!reopened) {
        result.outcome = ReorganisationResult::Outcome::Failed;
        result.detail += QStringLiteral("; ") + reopened.message;
        return result;
    }
    result.outcome = ReorganisationResult::Outcome::Restored;
    return result;
}

#include "store/Reorganisation.h"

#include "core/OperatorMessages.h"
#include "store/Database.h"
#include "store/DatabaseBackup.h"
#include "store/DurableFiles.h"
#include "store/ServerMaintenance.h"
#include "store/SqliteFile.h"

#include <QDir>
#include <QFileInfo>

namespace
{

const char kQuestion[] = "The reorganisation will take some time, do you really want to start ?";

QString sibling(const QString &path, const char *suffix)
{
    const QFileInfo info(DurableFiles::resolved(path));
    return info.dir().filePath(info.completeBaseName() + QLatin1String(suffix));
}

ReorganisationResult notDone(const QString &why)
{
    return { ReorganisationResult::Outcome::NotDone, why, {} };
}

// The backup is the compacted file: written with the engine's own
// compaction from one state of the database, flushed, checked and in place
// under the backup's name before the database itself changes. Its pages
// then replace the database's, in one write transaction of the database's
// own log, and only if no other program wrote in between; otherwise the
// engine compacts the database once more by itself. Either way no write of
// another program is lost, and a crash leaves the database as it was before
// or as the backup is.
ReorganisationResult compact(Database &db, const ReorganisationProgress &progress)
{
    const QString path = DurableFiles::resolved(db.path());
    // Tells whether another program wrote since it was first asked; the
    // database's own connection cannot be asked while pages go into it.
    SqliteFile::SideConnection watcher(path);
    const std::optional<qint64> before = SqliteFile::dataVersion(watcher.db());
    if (!before)
        return notDone(QStringLiteral("a second connection cannot read the database (%1)")
                           .arg(watcher.problem()));
    const CheckedBackup backup = WriteCheckedBackup(db, BackupPath(path));
    if (!backup.problem.isEmpty())
        return notDone(backup.problem);
    QSqlDatabase live = db.connection();
    const qint64 compacted = SqliteFile::pageCount(backup.file->db());
    const qint64 current = SqliteFile::pageCount(live);
    if (compacted > 0 && current > 0 && compacted >= current) {
        // Nothing to gain: the file is as small as its compacted copy.
        SqliteFile::foldLog(live);
        return { ReorganisationResult::Outcome::Done, {}, {} };
    }
    SqliteFile::PageCopyWatch watch;
    watch.targetUnchanged = [&] { return SqliteFile::dataVersion(watcher.db()) == before; };
    watch.progress = progress;
    const SqliteFile::PageCopy copied = SqliteFile::copyPages(backup.file->db(), live, watch);
    QString problem = copied.problem;
    if (copied.targetChanged)
        problem = SqliteFile::compactInPlace(live);
    else // after a failed copy too: the log gives back the room the copy took
        SqliteFile::foldLog(live);
    if (!problem.isEmpty())
        return notDone(QStringLiteral("the compaction failed: %1").arg(problem));
    return { ReorganisationResult::Outcome::Done, {}, {} };
}

// The damaged state as it is, pages and log together, for whoever wants to
// look at it later; a byte copy when the engine cannot copy it.
QString keepDamaged(QSqlDatabase &live, const QString &path, const QString &target)
{
    SqliteFile::removeWithSideFiles(target);
    {
        SqliteFile::SideConnection side(target);
        if (side.problem().isEmpty() && SqliteFile::copyPages(live, side.db()).problem.isEmpty())
            return {};
    }
    SqliteFile::removeWithSideFiles(target);
    QString problem = DurableFiles::copyReplacing(path, target);
    if (problem.isEmpty() && QFileInfo::exists(path + QLatin1String("-wal")))
        problem = DurableFiles::copyReplacing(
            path + QLatin1String("-wal"), target + QLatin1String("-wal"));
    return problem;
}

// Every readable row into a new file beside the damaged one; the new file is
// closed (its log folded in) and checked when this returns without problem.
QString salvage(QSqlDatabase &live, const QString &fresh, SalvageReport &report)
{
    SqliteFile::removeWithSideFiles(fresh);
    Database target;
    const Database::OpenResult created = target.open(fresh);
    if (!created)
        return created.message;
    QSqlDatabase db = target.connection();
    QString problem = SalvageInto(live, db, report);
    if (problem.isEmpty()) {
        const SqliteFile::Verdict verdict = SqliteFile::integrity(db);
        if (!verdict.sound())
            problem = QStringLiteral("the salvaged file is not sound: %1").arg(verdict.text);
    }
    target.close();
    return problem.isEmpty() ? DurableFiles::flush(fresh) : problem;
}

ReorganisationResult repair(Database &db, const QString &findings)
{
    const QString path = DurableFiles::resolved(db.path());
    const QString fresh = CompactionPath(path);
    QSqlDatabase live = db.connection();
    SalvageReport report;
    QString problem = salvage(live, fresh, report);
    if (!problem.isEmpty())
        return notDone(QStringLiteral("the file is damaged (%1) and could not be repaired: %2")
                           .arg(findings, problem));
    const QString damaged = DamagedPath(path);
    problem = keepDamaged(live, path, damaged);
    if (!problem.isEmpty())
        return notDone(QStringLiteral("the file is damaged (%1); the damaged file could not be "
                                      "kept aside, so it was not replaced: %2")
                           .arg(findings, problem));
    {
        SqliteFile::SideConnection source(fresh);
        problem = source.problem();
        if (problem.isEmpty())
            problem = SqliteFile::copyPages(source.db(), live).problem;
    }
    if (!problem.isEmpty())
        return notDone(QStringLiteral("the file is damaged (%1); the rows that could be read are "
                                      "in %2, but they could not replace the damaged content: %3")
                           .arg(findings, QDir::toNativeSeparators(fresh), problem));
    const SqliteFile::Verdict verdict = SqliteFile::integrity(live);
    if (!verdict.sound())
        return notDone(QStringLiteral("the repaired file is not sound: %1").arg(verdict.text));
    SqliteFile::removeWithSideFiles(fresh);
    ReorganisationResult result { ReorganisationResult::Outcome::Repaired, {}, report };
    result.detail = QStringLiteral("The database was damaged (%1) and has been repaired: %2. "
                                   "The damaged file is kept as %3, the last good backup as %4.")
                        .arg(findings, report.summary(), QDir::toNativeSeparators(damaged),
                            QDir::toNativeSeparators(BackupPath(path)));
    return result;
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

QString DamagedPath(const QString &databasePath)
{
    return sibling(databasePath, ".damaged");
}

ReorganisationResult Reorganise(
    Database &db, OperatorMessages &messages, const ReorganisationProgress &progress)
{
    if (!messages.askYesNo(QString::fromLatin1(kQuestion)))
        return {};
    ReorganisationResult result;
    if (!db.isOpen()) {
        result = notDone(QStringLiteral("the database is not open"));
    } else if (db.onServer()) {
        const MaintenanceReport report = MaintainServerDatabase(db);
        if (!report.problem.isEmpty())
            result = notDone(report.problem);
        else {
            result.outcome = ReorganisationResult::Outcome::Done;
            result.detail = report.summary;
            messages.show(report.summary, OperatorMessages::Icon::Information);
        }
    } else {
        // Only a file the engine itself finds sound is backed up: a damaged
        // one never replaces the last good backup.
        QSqlDatabase live = db.connection();
        const SqliteFile::Verdict verdict = SqliteFile::integrity(live);
        if (verdict.sound())
            result = compact(db, progress);
        else if (verdict.state == SqliteFile::Verdict::State::Damaged)
            result = repair(db, verdict.text);
        else
            result = notDone(QStringLiteral("the file could not be checked: %1").arg(verdict.text));
    }
    if (result.outcome == ReorganisationResult::Outcome::NotDone)
        messages.show(QStringLiteral("The database was not reorganised: %1. It is unchanged and "
                                     "stays in use.")
                          .arg(result.detail),
            OperatorMessages::Icon::Critical);
    else if (result.outcome == ReorganisationResult::Outcome::Repaired)
        messages.show(result.detail, OperatorMessages::Icon::Exclamation);
    return result;
}

#pragma once

#include <QSqlDatabase>
#include <QString>
#include <QStringList>
#include <functional>
#include <optional>

// The whole-file operations that exist for this engine only: the integrity
// check, a consistent copy taken while other programs read and write,
// compaction in place, and writing one database's pages into another under
// the engine's locks. Another engine gets a file of its own beside this one.
namespace SqliteFile
{

// A connection of its own to another file (a backup, a salvage target),
// closed and dropped when it leaves scope.
class SideConnection
{
public:
    explicit SideConnection(const QString &path);
    ~SideConnection();
    SideConnection(const SideConnection &) = delete;
    SideConnection &operator=(const SideConnection &) = delete;
    // Empty when open; otherwise why not.
    QString problem() const { return m_problem; }
    QSqlDatabase &db() { return m_db; }

private:
    QString m_name;
    QSqlDatabase m_db;
    QString m_problem;
};

// What the engine's own check says of a file: sound, damaged (with its
// findings), or unknown because the check itself could not run (locked,
// disk error), with the reason.
struct Verdict {
    enum class State { Sound, Damaged, Unknown };
    State state = State::Unknown;
    QString text;
    bool sound() const { return state == State::Sound; }
};
Verdict integrity(QSqlDatabase &db);
Verdict quickCheck(QSqlDatabase &db);
// Lets the connection read its file through the system's page cache
// directly instead of copying every page. Only for files this program has
// just written itself: a read error of the disk would end the program
// instead of failing the read.
void readMapped(QSqlDatabase &db);
// A number that changes whenever another connection has changed the
// database since this connection last asked; none when it cannot be read.
std::optional<qint64> dataVersion(QSqlDatabase &db);
// Pages of the database as the latest change left it; -1 when unknown.
qint64 pageCount(QSqlDatabase &db);
// Writes a consistent copy of the database into target, which must not
// exist; other programs may go on reading and writing meanwhile.
QString snapshotInto(QSqlDatabase &db, const QString &target);
// Rewrites the database compactly inside one write transaction of the
// engine, then folds the write-ahead log into the file. A write of another
// program waits or fails with "locked"; none is lost.
QString compactInPlace(QSqlDatabase &db);
// Folds the write-ahead log into the file and empties it. Waits for readers
// of other programs for a while; what it cannot fold in now stays in the log
// and is folded in later, so this cannot fail.
void foldLog(QSqlDatabase &db);
// Removes a database file together with its log and shared-memory files.
void removeWithSideFiles(const QString &path);

// What copyPages may be told to watch.
struct PageCopyWatch {
    // Asked once the target's write lock is held and before a page is
    // written: false leaves the target as it was.
    std::function<bool()> targetUnchanged;
    // Told (0, total) before the lock is taken and (copied, total) pages
    // after each part of the copy, the lock held until the last. Without
    // it the copy is one step, which suits a source that others may change
    // meanwhile: a part-wise copy would start again after each change.
    std::function<void(qint64 copied, qint64 total)> progress;
};
struct PageCopy {
    bool targetChanged = false; // targetUnchanged said no; nothing written
    QString problem; // empty when every page was copied
};
// Replaces every page of target by those of source, inside one write
// transaction of the target, so that other programs using target see the
// new content at once and never a mixture. An empty source is refused.
PageCopy copyPages(QSqlDatabase &source, QSqlDatabase &target, const PageCopyWatch &watch = {});

// How the connection waits for another program's lock, for at most
// `milliseconds`. The engine's own wait sleeps ever longer between looks (up
// to 100 ms), so a program writing one short transaction after another can
// keep a second one out until its time is up; looking every millisecond
// finds the gaps between them.
void waitForLocksUpTo(QSqlDatabase &db, int milliseconds);

// Table names of the file, without the engine's own; the indexes of a table.
QStringList tables(QSqlDatabase &db);
QStringList indexesOf(QSqlDatabase &db, const QString &table);
// The highest key ever given in a table (also of records deleted since), so
// that a rebuilt file never gives a key twice.
std::optional<qint64> keySequence(QSqlDatabase &db, const QString &table);
QString raiseKeySequence(QSqlDatabase &db, const QString &table, qint64 atLeast);

} // namespace SqliteFile

#pragma once

#include "store/SqliteFile.h"

#include <QString>
#include <memory>

class Database;

// Writes a consistent copy of the open database to target while this and
// other programs go on using it. The copy is complete, flushed and checked by
// the engine before it takes target's name, so target is either the old
// file or a sound new one, never a part. A symbolic link at target stays a
// link; the file it points to is replaced. Returns an empty text or why not.
QString WriteBackup(Database &db, const QString &target);

// The same, handing back the connection that checked the new file, still
// open: it goes on reading the file it checked, whatever takes target's
// name afterwards. No connection when there is a problem.
struct CheckedBackup {
    QString problem;
    std::unique_ptr<SqliteFile::SideConnection> file;
};
CheckedBackup WriteCheckedBackup(Database &db, const QString &target);

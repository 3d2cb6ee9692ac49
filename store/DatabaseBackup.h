#pragma once

#include <QString>

class Database;

// Writes a consistent copy of the open database to target while this and
// other programs go on using it. The copy is complete, flushed and checked by
// the engine before it takes target's name, so target is either the old
// file or a sound new one, never a part. A symbolic link at target stays a
// link; the file it points to is replaced. Returns an empty text or why not.
QString WriteBackup(Database &db, const QString &target);

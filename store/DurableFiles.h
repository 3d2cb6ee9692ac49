#pragma once

#include <QString>

// File steps whose result must survive a power failure: what they report as
// done is on the disk, not only in the system's cache. Each returns an empty
// text or what went wrong.
namespace DurableFiles
{

QString flush(const QString &path);
// Flushes the folder that holds path, so that a rename or a new name in it
// is on the disk too.
QString flushFolder(const QString &path);
// Replaces target by source in one step: afterwards target names either its
// old file or the whole of source.
QString renameOver(const QString &source, const QString &target);
// A byte copy that is complete and flushed before it takes target's name.
QString copyReplacing(const QString &source, const QString &target);
// The file a path finally names, through any symbolic links; the path
// itself when it names no file yet.
QString resolved(const QString &path);

} // namespace DurableFiles

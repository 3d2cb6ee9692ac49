#pragma once

#include <QSqlDatabase>
#include <QStringList>

class SqlDialect;

// The layout of the database file: the tables with their exact column names,
// the indexes, and one upgrade step per layout version.
namespace Schema
{

// Tables and the columns a file must have to be one of ours.
struct TableColumns {
    const char *table;
    QStringList columns;
};
const QList<TableColumns> &requiredTables();
// Tables a later layout added (older files get them when opened): the
// journal of the measurement in progress. A copy carries them too.
const QList<TableColumns> &addedTables();
// Both: every table of the program's.
const QList<TableColumns> &allTables();
// Columns a later layout added to `table` beyond those required of every
// file (older files get them when opened); a copy carries them too.
QStringList addedColumns(const char *table);

// Whether the lookup and listing indexes are all there, and (inside the
// caller's transaction) creating those that are missing.
bool indexesComplete(QSqlDatabase &db, const SqlDialect &dialect);
QString createIndexes(QSqlDatabase &db);

// Brings a file of layout version `from` (0 = empty) to `from + 1`, inside the
// caller's transaction. Returns an empty text or the engine's complaint.
QString upgradeStep(QSqlDatabase &db, const SqlDialect &dialect, int from);

} // namespace Schema

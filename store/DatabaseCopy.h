#pragma once

#include <QList>
#include <QString>

class Database;

struct TableCount {
    QString table;
    qint64 rows = 0;
};

struct CopyResult {
    QString problem; // empty when the copy is complete
    QList<TableCount> counts; // rows copied, per table, in copying order
    bool ok() const { return problem.isEmpty(); }
};

// Copies the whole database source into target, between any two engines:
// every directory, record, limit file, the settings record and the journal
// of an interrupted run, each keeping its key, and the key counters, so that
// target never gives a key that source has given. Every value arrives as it
// was, singles to the bit. Source is read as one consistent state while
// others go on writing it; target is written in one transaction, so it
// holds either its old content or the whole copy. A target that holds
// directories, records, limit files or a journal is refused unless replace
// is set; its settings record is always replaced by source's.
CopyResult CopyDatabase(Database &source, Database &target, bool replace);

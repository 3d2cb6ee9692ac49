#pragma once

#include <QSqlDatabase>
#include <QString>

// What a salvage saved from a damaged file, by kind, and how many rows that
// the file still names could not be read.
struct SalvageReport {
    int directories = 0;
    int graphs = 0;
    int patterns = 0;
    int limitFiles = 0;
    int otherRows = 0; // settings and any other table
    int unreadable = 0;
    QString summary() const;
};

// Copies every row of the damaged database that can still be read into
// fresh, a new database of the same layout, keeping every key. Rows are
// read one by one by key, so a damaged page costs only the rows on it; the
// keys come from every table and index scan that still works. The whole
// salvage is one transaction of fresh. Returns an empty text or why the
// salvage could not be written.
QString SalvageInto(QSqlDatabase &damaged, QSqlDatabase &fresh, SalvageReport &report);

#pragma once

#include <QString>

class Database;
class OperatorMessages;

// Repairs and compacts the database file in place, keeping a backup
// (<name>.bak beside it) that is put back when anything goes wrong. Keys of
// existing records stay as they are, so boxes that refer to stored records
// stay valid. The database is open again when this returns, whatever the
// outcome, unless even the restored file cannot be opened.
struct ReorganisationResult {
    enum class Outcome {
        Declined, // the operator answered No; nothing was touched
        Done, // repaired, compacted and reopened
        Restored, // failed; the file is as it was before and open again
        Failed, // failed and the database could not be opened again; detail
                // says why, for the caller to tell the operator
    };
    Outcome outcome = Outcome::Declined;
    QString detail; // what went wrong, for a log or the command line
};

ReorganisationResult Reorganise(Database &db, OperatorMessages &messages);

// The files the reorganisation uses beside the database file.
QString BackupPath(const QString &databasePath);
QString CompactionPath(const QString &databasePath);

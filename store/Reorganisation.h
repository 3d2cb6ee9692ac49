#pragma once

#include "store/Salvage.h"

#include <QString>
#include <functional>

class Database;
class OperatorMessages;

// Checks, backs up and compacts the database file while it stays open, for
// this program and for any other. A sound file is first copied, compacted,
// to the backup (<name>.bak beside the file the database path finally
// names); that copy then becomes the file's content inside one write
// transaction of the engine, unless the file is no larger. A write of
// another program before, during or after it is never lost, and keys stay
// as they are, so boxes that refer to stored records stay valid.
// A damaged file is repaired instead: every row that can still be read goes
// into a new sound file, whose content then replaces the damaged one's; the
// damaged state is kept as <name>.damaged and the last good backup is left
// as it was.
struct ReorganisationResult {
    enum class Outcome {
        Declined, // the operator answered No; nothing was touched
        Done, // checked, backed up and compacted
        Repaired, // the file was damaged; salvage says what was saved
        NotDone, // refused or failed; the file is as it was and open
    };
    Outcome outcome = Outcome::Declined;
    QString detail; // what went wrong, or what the repair saved
    SalvageReport salvage;
};

// Told how many pages of the compacted copy went back into the database
// file: (0, total) before the file is locked for it, then after each part,
// the last time once the new content is committed.
using ReorganisationProgress = std::function<void(qint64 copied, qint64 total)>;

// Tells the operator the outcome (nothing for Done and Declined).
ReorganisationResult Reorganise(
    Database &db, OperatorMessages &messages, const ReorganisationProgress &progress = {});

// The files the reorganisation uses beside the database file.
QString BackupPath(const QString &databasePath);
QString CompactionPath(const QString &databasePath);
QString DamagedPath(const QString &databasePath);

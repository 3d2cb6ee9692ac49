#pragma once

#include <QList>
#include <QString>
#include <QStringList>
#include <functional>

// What a conversion did: counts per table, every row left out with its key
// and the reason, and every value that could not be taken as it stood.
struct MigrationReport {
    struct TableCount {
        QString table;
        int converted = 0;
        int skipped = 0;
    };
    struct SkippedRow {
        QString table;
        QString key; // "UntID 17"
        QString reason;
    };
    QList<TableCount> counts;
    QList<SkippedRow> skipped;
    QStringList notes;

    TableCount *count(const QString &table);
    QString text() const;
};

struct MigrationResult {
    bool ok = false;
    QString message; // for the operator: what went wrong, or where the result is
    QString cause; // on failure, why, without the file's name
    QString originalKeptAs; // converting a file in its own place: where the original went
    QString backupPath; // the replaced database, when one was replaced
    MigrationReport report;
};

// Converts a database file of the earlier program (Jet format) into a new
// database of this program at `target`: every directory, stored graph and
// pattern and limit file keeps its key, texts are taken exactly, dates as
// dates, singles bit for bit, curves as their stored cells, and the
// settings where they lie in their ranges. The new file is written beside
// the target and put in place only when everything is in; an existing
// database is replaced only when `replace` is given, and is then kept as a
// backup. The source is only read.
//
// Converting a file into its own place (source and target the same file)
// first renames the original to "<name>-jet.<suffix>" beside it, and back
// again when the conversion fails.
//
// A target on a database server gets the conversion copied in one
// transaction; a server database holding data is refused unless `replace`
// is given, and its content is then first written to a backup file beside
// the source.
using MigrationProgress = std::function<void(qint64 done, qint64 total)>;
MigrationResult MigrateJetDatabase(const QString &source, const QString &target, bool replace,
    const MigrationProgress &progress = {});

#pragma once

#include "core/BoxRecord.h"

#include <QDateTime>
#include <QList>
#include <optional>

class Database;

// The journal of the measurement in progress, in the database file itself:
// the box as the run began (specimen data and adjustments) and every point
// as it is taken, each point in a transaction of its own, so that a crash
// or a kill loses nothing that was measured. A run that ends clears its
// journal; what is left at the next start was interrupted.
class RunJournal
{
public:
    struct Point {
        int index;
        float x;
        float y;
        bool substitute; // in place of a reading that did not come
    };
    struct Interrupted {
        qint64 id = 0;
        int boxNr = 0;
        QString name;
        QDateTime begun;
        BoxRecord box; // as at the start, curve empty
        QList<Point> points; // by index, from 1
    };

    explicit RunJournal(Database &db);

    // Opens a journal for `box`; its key, or nothing when it cannot be written.
    std::optional<qint64> begin(const BoxRecord &box, const QDateTime &now);
    // Writes (or rewrites) the points in one transaction.
    bool write(qint64 id, const QList<Point> &points);
    bool clear(qint64 id);

    QList<Interrupted> interrupted();

    QString lastError() const;

private:
    Database &m_db;
};

// The curve of an interrupted run put back into its box: the points up to
// the last real reading (substitutes behind it dropped), x(0) = x(1), the
// end mark, the count of interpolated readings; a graph marked incomplete,
// changed and not saved. Results are left to the caller.
BoxRecord RestoredBox(const RunJournal::Interrupted &run);

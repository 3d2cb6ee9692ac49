#pragma once

#include "store/RunJournal.h"

#include <QObject>
#include <optional>

class MeasurementRun;
class Notation;

// Keeps the journal of one measurement run: opens it when the run starts,
// writes each point (and the substitutes it just interpolated) as it is
// taken, and clears it when the run ends. A journal that cannot be written
// does not stop the measurement; the curve is still in the box.
class RunJournalWriter : public QObject
{
    Q_OBJECT

public:
    RunJournalWriter(MeasurementRun &run, Database &db, QObject *parent = nullptr);

    // Whether every point so far reached the file.
    bool isWhole() const { return m_whole; }

private:
    void started();
    void pointStored(int index);
    void finished();

    MeasurementRun &m_run;
    RunJournal m_journal;
    std::optional<qint64> m_id;
    bool m_whole = true;
};

// The interrupted run put back into its box, with its results evaluated
// and checked against the box's limits.
BoxRecord RestoredEvaluatedBox(const RunJournal::Interrupted &run);
// "A measurement of <name> in box N was interrupted at point K (date, time).
// Restore it into box N?"
QString RestoreQuestion(const RunJournal::Interrupted &run, const Notation &notation);

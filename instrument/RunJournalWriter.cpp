#include "instrument/RunJournalWriter.h"

#include "core/LimitCheck.h"
#include "core/Notation.h"
#include "evaluation/CurveEvaluation.h"
#include "instrument/MeasurementRun.h"

#include <algorithm>

RunJournalWriter::RunJournalWriter(MeasurementRun &run, Database &db, QObject *parent)
    : QObject(parent)
    , m_run(run)
    , m_journal(db)
{
    connect(&run, &MeasurementRun::started, this, &RunJournalWriter::started);
    connect(&run, &MeasurementRun::pointStored, this, &RunJournalWriter::pointStored);
    connect(&run, &MeasurementRun::finished, this, &RunJournalWriter::finished);
}

void RunJournalWriter::started()
{
    m_id = m_journal.begin(*m_run.box(), QDateTime::currentDateTime());
    m_whole = m_id.has_value();
}

void RunJournalWriter::pointStored(int index)
{
    if (!m_id)
        return;
    const BoxRecord &box = *m_run.box();
    QList<RunJournal::Point> points;
    for (int k = std::max(1, m_run.firstChanged()); k <= index; ++k)
        points.append({ k, box.x[size_t(k)], box.y[size_t(k)], m_run.isSubstitute(k) });
    if (!m_journal.write(*m_id, points))
        m_whole = false;
}

void RunJournalWriter::finished()
{
    if (m_id)
        m_journal.clear(*m_id);
    m_id.reset();
}

BoxRecord RestoredEvaluatedBox(const RunJournal::Interrupted &run)
{
    BoxRecord box = RestoredBox(run);
    EvaluateCurve(box);
    CheckLimits(box);
    return box;
}

QString RestoreQuestion(const RunJournal::Interrupted &run, const Notation &notation)
{
    int lastReal = 0;
    float lastTime = 0;
    for (const RunJournal::Point &p : run.points)
        if (!p.substitute) {
            lastReal = p.index;
            lastTime = p.y;
        }
    // The last point's own time: when the run was cut off.
    const QDateTime at = run.begun.addMSecs(qint64(double(lastTime) * 1000));
    return QStringLiteral("A measurement of %1 in box %2 was interrupted at point %3 (%4, %5).\n"
                          "Restore it into box %2?")
        .arg(run.name.trimmed(), QString::number(run.boxNr), QString::number(lastReal),
            notation.date(at.date()), at.time().toString(QStringLiteral("HH:mm")));
}

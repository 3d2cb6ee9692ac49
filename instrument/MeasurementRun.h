#pragma once

#include <QElapsedTimer>
#include <QList>
#include <QObject>
#include <QString>
#include <QTimer>
#include <bitset>
#include <optional>

#include "core/BoxRecord.h"

class NetLink;
class OperatorMessages;
struct Settings;

// The measurement of one box as a state machine on the instrument link:
// "run START", one curve point per data reply (or per time-out, as a
// substitute point), until the NetPC answers "OK", the eleventh time-out,
// the operator's end request ("run BREAK" after the next point) or a full
// curve. Nothing blocks: the run reacts to the link's replies and to its own
// timers, and tells observers through signals, so a window can draw each
// point as it arrives.
//
// A time-out stores a substitute point one measuring cycle after the
// previous point; when the next real reading comes, the substitutes since
// the last real one take values interpolated between the two. Substitutes
// behind the last real reading are dropped when the run ends. The box
// records how many readings were interpolated and whether the run ended
// before the instrument finished it.
//
// Every reply is taken once, in arrival order. While the operator confirms a
// time-out message the run stands still; replies arriving meanwhile are
// taken afterwards, in order.
class MeasurementRun : public QObject
{
    Q_OBJECT

public:
    enum class Outcome {
        Completed, // the NetPC answered "OK"
        TimedOut, // the eleventh time-out ended the run
        Ended, // the operator's end request, "run BREAK" sent
        Full, // the curve holds its last point, "run BREAK" sent
        LinkLost, // the connection closed during the run
    };

    // The number of time-outs a run confirms before the next one ends it.
    static constexpr int MaxTimeouts = 10;

    MeasurementRun(
        Settings &settings, NetLink &link, OperatorMessages &messages, QObject *parent = nullptr);
    ~MeasurementRun() override;

    // Measures the active box with its voltage rounded to a whole number,
    // then evaluates the curve and checks it against the box's limits before
    // finished() is emitted.
    void MeasureActiveBox();
    // Records the curve of `box` with voltage n; no evaluation.
    void RunMeasurement(int n, BoxRecord &box);
    // Spins an event loop until the run has finished (returns at once when
    // no run is going on). For callers without a window of their own.
    void waitUntilFinished();

    bool isRunning() const { return m_phase != Phase::Idle && m_phase != Phase::Finished; }
    bool hasFinished() const { return m_phase == Phase::Finished; }
    BoxRecord *box() const { return m_box; }
    // Index of the newest point; 0 before the first.
    int pointIndex() const { return m_i; }
    int timeoutCount() const { return m_timeouts; }
    // Time field of the newest data reply, in milliseconds since START.
    std::optional<double> lastTimeMs() const { return m_lastTimeMs; }
    // Wall-clock time since START was sent.
    qint64 elapsedMs() const { return m_clock.isValid() ? m_clock.elapsed() : 0; }
    Outcome outcome() const { return m_outcome; }
    // The lowest index whose point changed with the newest one (substitutes
    // that were just interpolated come before it).
    int firstChanged() const { return m_firstChanged; }
    bool isSubstitute(int index) const;
    // Index of the newest real reading; 0 before the first.
    int lastRealPoint() const { return m_lastReal; }
    // What the operator reads when the link is lost at `point`.
    static QString linkLostText(int point);
    bool breakSent() const { return m_breakSent; }

signals:
    // START is on its way; the curve is cleared.
    void started();
    // The run waits for the next reading.
    void waitingForReading();
    // x(index) and y(index) hold a new point, x(index + 1) the end mark.
    void pointStored(int index);
    // The n-th time-out of the run (1..11): the substitute point follows
    // once the operator confirmed.
    void timedOut(int n);
    // "run BREAK" was sent; the run waits for its "OK".
    void breaking();
    // The run is over (and, for MeasureActiveBox, evaluated).
    void finished();

private:
    enum class Phase { Idle, WaitingForPoint, WaitingForBreak, Finished };
    struct QueuedReply {
        int netState;
        int dataCount;
    };

    void start(int n, BoxRecord &box, bool evaluate);
    void onReply(int netState);
    void takeReply(int netState, int dataCount);
    void takePoint(int index);
    void takeReading(int index);
    void storeSubstitute(int index);
    void fillSubstitutes(int index);
    void afterPoint(int index);
    void dropTrailingSubstitutes();
    void linkLost();
    void awaitPoint();
    void pointTimedOut();
    void sendBreak(Outcome outcome);
    void finish(Outcome outcome);
    void takeQueuedReplies();

    Settings &m_settings;
    NetLink &m_link;
    OperatorMessages &m_messages;

    BoxRecord *m_box = nullptr;
    bool m_evaluate = false;
    Phase m_phase = Phase::Idle;
    Outcome m_outcome = Outcome::Completed;
    int m_i = 0;
    int m_timeouts = 0;
    bool m_lastTimeout = false;
    bool m_breakSent = false;
    double m_reading = 0; // a line without a reading keeps the previous one
    std::optional<double> m_lastTimeMs;
    int m_lastReal = 0;
    int m_firstChanged = 0;
    std::bitset<CurveSize> m_substitute;

    bool m_standingStill = false;
    QList<QueuedReply> m_queued;

    QTimer m_pointTimer;
    QTimer m_breakTimer;
    QElapsedTimer m_clock;
};

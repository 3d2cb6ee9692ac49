#include "instrument/MeasurementRun.h"

#include "evaluation/CurveEvaluation.h"
#include "core/LimitCheck.h"
#include "instrument/MeasurementValues.h"
#include "instrument/NetLink.h"
#include "core/OperatorMessages.h"
#include "core/Rounding.h"
#include "core/Settings.h"

#include <QEventLoop>
#include <QPointer>
#include <algorithm>
#include <chrono>

MeasurementRun::MeasurementRun(
    Settings &settings, NetLink &link, OperatorMessages &messages, QObject *parent)
    : QObject(parent)
    , m_settings(settings)
    , m_link(link)
    , m_messages(messages)
{
    // A run waits many seconds per point; a coarse timer could be late by
    // a second, which the time-out tests with short waits would feel.
    m_pointTimer.setSingleShot(true);
    m_pointTimer.setTimerType(Qt::PreciseTimer);
    m_breakTimer.setSingleShot(true);
    m_breakTimer.setTimerType(Qt::PreciseTimer);
    connect(&m_pointTimer, &QTimer::timeout, this, &MeasurementRun::pointTimedOut);
    connect(&m_breakTimer, &QTimer::timeout, this, [this] { finish(m_outcome); });
}

MeasurementRun::~MeasurementRun() = default;

void MeasurementRun::MeasureActiveBox()
{
    BoxRecord &box = m_settings.activeBox();
    start(roundHalfEven(box.Ein[3]), box, true);
}

void MeasurementRun::RunMeasurement(int n, BoxRecord &box)
{
    start(n, box, false);
}

void MeasurementRun::start(int n, BoxRecord &box, bool evaluate)
{
    if (isRunning())
        return;
    m_box = &box;
    m_evaluate = evaluate;
    m_i = 0;
    m_timeouts = 0;
    m_lastTimeout = false;
    m_breakSent = false;
    m_reading = 0;
    m_lastTimeMs.reset();
    m_lastReal = 0;
    m_firstChanged = 0;
    m_substitute.reset();
    m_queued.clear();
    m_outcome = Outcome::Completed;
    // Only a press during this run may end it.
    m_settings.EndRequest = false;

    m_link.setDataCount(0);
    box.x.fill(0);
    box.y.fill(0);
    box.Fehlend = 0;
    box.Unvollst = false;

    connect(&m_link, &NetLink::replyHandled, this, &MeasurementRun::onReply, Qt::UniqueConnection);
    connect(&m_link, &NetLink::disconnected, this, &MeasurementRun::linkLost, Qt::UniqueConnection);
    m_link.SendNetPC(StartCommand(n, box));
    m_link.setNetState(NetLink::StateWaiting);
    m_clock.start();
    emit started();
    awaitPoint();
}

void MeasurementRun::waitUntilFinished()
{
    if (!isRunning())
        return;
    QEventLoop loop;
    connect(this, &MeasurementRun::finished, &loop, &QEventLoop::quit);
    loop.exec();
}

void MeasurementRun::awaitPoint()
{
    m_phase = Phase::WaitingForPoint;
    emit waitingForReading();
    const auto cycle = std::chrono::milliseconds(qint64(std::max(0.0f, m_box->Ein[4]) * 1000.0));
    m_pointTimer.start(cycle + m_link.timeouts().measurementExtra);
}

void MeasurementRun::onReply(int netState)
{
    if (!isRunning())
        return;
    // The data count tells which line this reply stored, even when the
    // reply is taken later.
    if (m_standingStill) {
        m_queued.append({ netState, m_link.dataCount() });
        return;
    }
    takeReply(netState, m_link.dataCount());
}

void MeasurementRun::takeReply(int netState, int dataCount)
{
    switch (m_phase) {
    case Phase::WaitingForPoint:
        if (netState == NetLink::StateOk) {
            m_pointTimer.stop();
            finish(Outcome::Completed);
        } else if (dataCount > m_i) {
            m_pointTimer.stop();
            takePoint(dataCount);
        }
        break;
    case Phase::WaitingForBreak:
        // Data that still arrive after BREAK are not taken into the curve.
        if (netState == NetLink::StateOk) {
            m_breakTimer.stop();
            finish(m_outcome);
        }
        break;
    case Phase::Idle:
    case Phase::Finished:
        break;
    }
}

void MeasurementRun::takePoint(int index)
{
    if (index > CurveLastPoint) {
        // The end mark must still fit behind the last point.
        sendBreak(Outcome::Full);
        return;
    }
    takeReading(index);
    afterPoint(index);
}

void MeasurementRun::takeReading(int index)
{
    BoxRecord &box = *m_box;
    m_i = index;
    const DataLineFields fields = ParseDataLine(m_link.dataLine(index));
    if (fields.reading)
        m_reading = *fields.reading;
    if (fields.timeMs) {
        box.y[size_t(index)] = float(*fields.timeMs / 1000.0);
        m_lastTimeMs = fields.timeMs;
    }
    box.x[size_t(index)] = ValueFromReading(m_reading, box);
    box.x[size_t(index) + 1] = CurveEndMark;
    m_substitute[size_t(index)] = false;
    fillSubstitutes(index);
    if (index == 1 || m_firstChanged == 1)
        box.x[0] = box.x[1];
}

void MeasurementRun::storeSubstitute(int index)
{
    // Where the missing reading should have been: one cycle after the point
    // before it, never earlier. Its value waits for the next real reading.
    BoxRecord &box = *m_box;
    const auto i = size_t(index);
    m_i = index;
    box.y[i] = box.y[i - 1] + std::max(0.0f, box.Ein[4]);
    box.x[i] = box.x[i - 1];
    box.x[i + 1] = CurveEndMark;
    m_substitute[i] = true;
    m_firstChanged = index;
    if (index == 1)
        box.x[0] = box.x[1];
}

void MeasurementRun::fillSubstitutes(int index)
{
    BoxRecord &box = *m_box;
    const int from = m_lastReal;
    m_firstChanged = from + 1;
    m_lastReal = index;
    if (from + 1 >= index)
        return;
    box.Fehlend += index - from - 1;
    const float x1 = box.x[size_t(index)];
    const float y1 = box.y[size_t(index)];
    // Before the first real reading there is nothing to draw from: the
    // substitutes take its value.
    const float x0 = from == 0 ? x1 : box.x[size_t(from)];
    const float y0 = box.y[size_t(from)];
    for (int k = from + 1; k < index; ++k) {
        float &y = box.y[size_t(k)];
        y = std::min(y, y1); // a late reading may come sooner than a cycle
        const float share = y1 > y0 ? (y - y0) / (y1 - y0) : 1.0f;
        box.x[size_t(k)] = x0 + (x1 - x0) * share;
    }
}

void MeasurementRun::afterPoint(int index)
{
    emit pointStored(index);
    if (m_settings.EndRequest)
        sendBreak(Outcome::Ended);
    else if (m_lastTimeout)
        finish(Outcome::TimedOut);
    else if (index >= CurveLastPoint)
        sendBreak(Outcome::Full);
    else
        awaitPoint();
}

bool MeasurementRun::isSubstitute(int index) const
{
    return index > 0 && index < CurveSize && m_substitute[size_t(index)];
}

void MeasurementRun::pointTimedOut()
{
    if (m_phase != Phase::WaitingForPoint)
        return;
    m_link.storeDataLine(SubstituteDataLine(m_timeouts));
    const int index = m_link.dataCount();
    if (m_timeouts >= MaxTimeouts)
        m_lastTimeout = true;
    else
        ++m_timeouts;
    emit timedOut(m_lastTimeout ? MaxTimeouts + 1 : m_timeouts);

    // The operator's confirmation holds the run; replies wait in order.
    QPointer<MeasurementRun> self(this);
    m_standingStill = true;
    m_messages.show(QStringLiteral("textErrRec"));
    if (!self)
        return;
    m_standingStill = false;
    if (m_phase != Phase::WaitingForPoint)
        return;
    if (index > CurveLastPoint) {
        sendBreak(Outcome::Full);
    } else {
        storeSubstitute(index);
        afterPoint(index);
    }
    takeQueuedReplies();
}

void MeasurementRun::takeQueuedReplies()
{
    while (!m_queued.isEmpty() && isRunning() && !m_standingStill) {
        const QueuedReply reply = m_queued.takeFirst();
        takeReply(reply.netState, reply.dataCount);
    }
    m_queued.clear();
}

void MeasurementRun::sendBreak(Outcome outcome)
{
    m_outcome = outcome;
    m_breakSent = true;
    m_phase = Phase::WaitingForBreak;
    m_link.SendNetPC(QStringLiteral("BREAK"));
    m_link.setNetState(NetLink::StateWaiting);
    m_breakTimer.start(m_link.timeouts().breakReply);
    emit breaking();
}

void MeasurementRun::linkLost()
{
    if (m_phase == Phase::WaitingForBreak)
        finish(m_outcome); // the curve was complete already
    else if (m_phase == Phase::WaitingForPoint)
        finish(Outcome::LinkLost);
}

QString MeasurementRun::linkLostText(int point)
{
    return QStringLiteral("The connection to the NetPC was lost at point %1.\n"
                          "The curve measured so far is kept.")
        .arg(point);
}

void MeasurementRun::dropTrailingSubstitutes()
{
    // Nothing came after them, so there is nothing to interpolate towards.
    BoxRecord &box = *m_box;
    for (int k = m_lastReal + 1; k <= std::min(m_i, CurveLastPoint); ++k) {
        box.x[size_t(k)] = 0;
        box.y[size_t(k)] = 0;
        m_substitute[size_t(k)] = false;
    }
    m_i = m_lastReal;
    box.x[size_t(m_lastReal) + 1] = CurveEndMark;
    // Not a single reading: an empty curve, nothing to draw from.
    if (m_lastReal == 0)
        box.x[0] = CurveEndMark;
}

void MeasurementRun::finish(Outcome outcome)
{
    if (!isRunning())
        return;
    m_pointTimer.stop();
    m_breakTimer.stop();
    disconnect(&m_link, &NetLink::replyHandled, this, &MeasurementRun::onReply);
    disconnect(&m_link, &NetLink::disconnected, this, &MeasurementRun::linkLost);
    m_outcome = outcome;
    m_phase = Phase::Finished;
    dropTrailingSubstitutes();
    m_box->Unvollst = outcome == Outcome::LinkLost || outcome == Outcome::TimedOut;
    if (m_evaluate) {
        EvaluateCurve(*m_box);
        CheckLimits(*m_box);
    }
    if (outcome == Outcome::LinkLost)
        m_messages.show(linkLostText(m_lastReal), OperatorMessages::Icon::Exclamation);
    emit finished();
}

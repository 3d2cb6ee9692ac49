#include "instrument/ReplyWait.h"

#include "instrument/NetLink.h"

ReplyWait::ReplyWait(NetLink &link, QObject *parent)
    : QObject(parent)
    , m_link(link)
{
    m_deadline.setSingleShot(true);
    m_deadline.setTimerType(Qt::PreciseTimer);
    connect(&m_deadline, &QTimer::timeout, this, &ReplyWait::timedOut);
}

void ReplyWait::start(int expectedState, std::chrono::milliseconds timeout)
{
    stop();
    m_expected = expectedState;
    m_waiting = true;
    m_replies = connect(&m_link, &NetLink::replyHandled, this, &ReplyWait::replyHandled);
    if (timeout.count() > 0)
        m_deadline.start(timeout);
}

void ReplyWait::cancel()
{
    stop();
}

void ReplyWait::stop()
{
    m_waiting = false;
    m_deadline.stop();
    disconnect(m_replies);
}

void ReplyWait::replyHandled(int netState)
{
    if (!m_waiting || netState != m_expected)
        return;
    stop();
    emit finished(true);
}

void ReplyWait::timedOut()
{
    if (!m_waiting)
        return;
    stop();
    emit finished(false);
}

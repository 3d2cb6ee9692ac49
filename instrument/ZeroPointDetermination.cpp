#include "instrument/ZeroPointDetermination.h"

#include "instrument/NetLink.h"
#include "core/Notation.h"
#include "core/OperatorMessages.h"
#include "core/Settings.h"

const QString ZeroPointDetermination::Command = QStringLiteral("ZERO 5 1.25 36000 165 500 3000");

ZeroPointDetermination::ZeroPointDetermination(
    NetLink &link, OperatorMessages &messages, Settings &settings, QObject *parent)
    : QObject(parent)
    , m_link(link)
    , m_messages(messages)
    , m_settings(settings)
{
    m_deadline.setSingleShot(true);
    m_deadline.setTimerType(Qt::PreciseTimer);
    connect(&m_deadline, &QTimer::timeout, this, &ZeroPointDetermination::timedOut);
}

void ZeroPointDetermination::start()
{
    m_link.setDataCount(0);
    m_sum = 0;
    m_count = 0;
    m_lastReading = 0;
    m_running = true;
    disconnect(m_replies);
    m_replies
        = connect(&m_link, &NetLink::replyHandled, this, &ZeroPointDetermination::replyHandled);
    m_link.SendNetPC(Command);
    m_link.setNetState(NetLink::StateWaiting);
    m_deadline.start(m_link.timeouts().zeroPoint);
}

double ZeroPointDetermination::readingOf(const QString &line, double previous)
{
    const QString rest = line.mid(line.indexOf(QLatin1Char(' ')) + 1);
    const qsizetype blank = rest.indexOf(QLatin1Char(' '));
    if (blank < 0)
        return previous;
    return Notation::leadingNumber(rest.left(blank + 1));
}

void ZeroPointDetermination::takeNewestLine()
{
    m_count = m_link.dataCount();
    m_lastReading = readingOf(m_link.dataLine(m_count), m_lastReading);
    m_sum += m_lastReading;
}

void ZeroPointDetermination::replyHandled(int netState)
{
    if (!m_running)
        return;
    if (netState == NetLink::StateOk) {
        // The closing pass reads the newest line once more, so the last
        // reading counts twice while the divisor stays the number of
        // readings: the instrument's zero has always been taken this way.
        takeNewestLine();
        finish();
        return;
    }
    if (m_link.dataCount() == m_count)
        return; // no new reading (a full list keeps its count)
    takeNewestLine();
    m_deadline.start(m_link.timeouts().zeroPoint);
}

void ZeroPointDetermination::timedOut()
{
    if (!m_running)
        return;
    m_running = false; // the message must not let a late reply finish twice
    disconnect(m_replies);
    m_messages.show(QStringLiteral("No Data received"));
    takeNewestLine();
    finish();
}

void ZeroPointDetermination::finish()
{
    m_running = false;
    m_deadline.stop();
    disconnect(m_replies);
    const int divisor = m_count == 0 ? 1 : m_count;
    m_settings.ZeroPoint = float(m_sum / divisor * 10);
    emit finished(m_settings.ZeroPoint);
}

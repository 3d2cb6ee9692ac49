#include "instrument/InstrumentStartup.h"

#include "instrument/NetLink.h"
#include "core/ClearBox.h"
#include "core/OperatorMessages.h"
#include "core/Settings.h"

const QString InstrumentStartup::SplashCaption
    = QStringLiteral("Determine the zero point       Please wait !");

InstrumentStartup::InstrumentStartup(NetLink &link, OperatorMessages &messages, Settings &settings,
    const Notation &notation, QObject *parent)
    : QObject(parent)
    , m_link(link)
    , m_messages(messages)
    , m_settings(settings)
    , m_notation(notation)
    , m_wait(link)
    , m_zeroPoint(link, messages, settings)
{
    connect(&m_zeroPoint, &ZeroPointDetermination::finished, this,
        &InstrumentStartup::zeroPointDetermined);
}

void InstrumentStartup::start()
{
    m_step = Step::Connecting;
    // One connection per start-up; the greeting wait has its own message.
    connect(&m_link, &NetLink::connectFinished, this, &InstrumentStartup::connected,
        Qt::SingleShotConnection);
    m_link.ConnectNetPC(m_settings.HostAddress, m_settings.HostPort);
}

void InstrumentStartup::connected()
{
    m_step = Step::Initialising;
    disconnect(&m_wait, nullptr, this, nullptr);
    connect(&m_wait, &ReplyWait::finished, this, &InstrumentStartup::initialised);
    m_link.SendNetPC(QStringLiteral("INIT"));
    m_wait.start(NetLink::StateOk, m_link.timeouts().init);
}

void InstrumentStartup::initialised(bool acknowledged)
{
    if (!acknowledged)
        m_messages.show(QStringLiteral("Endposition nicht erreicht"));
    for (int box = 1; box <= 5; ++box)
        ClearBox(m_settings, box, m_notation);
    emit boxesReset();
    emit zeroPointBegins();

    if (m_settings.NoInstrument) {
        m_step = Step::Done;
        emit finished();
        return;
    }
    m_step = Step::Tracing;
    disconnect(&m_wait, nullptr, this, nullptr);
    connect(&m_wait, &ReplyWait::finished, this, &InstrumentStartup::traced);
    m_link.SendNetPC(QStringLiteral("trace 0"));
    m_wait.start(NetLink::StateTraceSet, m_link.timeouts().trace);
}

void InstrumentStartup::traced(bool acknowledged)
{
    if (!acknowledged)
        m_messages.show(QStringLiteral("textErrCon"));
    m_step = Step::ZeroPoint;
    m_zeroPoint.start();
}

void InstrumentStartup::zeroPointDetermined()
{
    m_step = Step::Done;
    emit finished();
}

#include "instrument/LinkReconnect.h"

#include "core/OperatorMessages.h"
#include "core/Settings.h"
#include "instrument/NetLink.h"

LinkReconnect::LinkReconnect(
    NetLink &link, OperatorMessages &messages, const Settings &settings, QObject *parent)
    : QObject(parent)
    , m_link(link)
    , m_messages(messages)
    , m_settings(settings)
    , m_wait(link)
{
    connect(&m_wait, &ReplyWait::finished, this, &LinkReconnect::initialised);
}

void LinkReconnect::start()
{
    connect(&m_link, &NetLink::connectFinished, this, &LinkReconnect::connected,
        Qt::SingleShotConnection);
    m_link.ConnectNetPC(m_settings.HostAddress, m_settings.HostPort);
}

void LinkReconnect::connected(bool greeted)
{
    // The greeting wait has shown its own message.
    if (!greeted) {
        emit finished(false);
        return;
    }
    m_link.SendNetPC(QStringLiteral("INIT"));
    m_wait.start(NetLink::StateOk, m_link.timeouts().init);
}

void LinkReconnect::initialised(bool acknowledged)
{
    if (!acknowledged)
        m_messages.show(QStringLiteral("Endposition nicht erreicht"));
    emit finished(acknowledged);
}

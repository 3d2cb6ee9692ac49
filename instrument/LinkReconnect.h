#pragma once

#include "instrument/ReplyWait.h"

#include <QObject>

class NetLink;
class OperatorMessages;
struct Settings;

// Brings a lost instrument link back as the start-up made it: connect and
// await the greeting, then "run INIT" and await its "OK". The boxes and the
// zero point stay as they are. Each failure shows the start-up's message.
class LinkReconnect : public QObject
{
    Q_OBJECT

public:
    LinkReconnect(NetLink &link, OperatorMessages &messages, const Settings &settings,
        QObject *parent = nullptr);

    void start();

signals:
    // ready: greeted and initialised.
    void finished(bool ready);

private:
    void connected(bool greeted);
    void initialised(bool acknowledged);

    NetLink &m_link;
    OperatorMessages &m_messages;
    const Settings &m_settings;
    ReplyWait m_wait;
};

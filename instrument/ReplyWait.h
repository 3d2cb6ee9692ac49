#pragma once

#include <QMetaObject>
#include <QObject>
#include <QTimer>
#include <chrono>

class NetLink;

// Waits for the reply that sets NetState to an expected value, with an
// optional deadline. Only replies that arrive after start() count, each as
// it arrives; the waiter never blocks and burns no time while waiting.
class ReplyWait : public QObject
{
    Q_OBJECT

public:
    explicit ReplyWait(NetLink &link, QObject *parent = nullptr);

    // A timeout of zero or less waits without limit.
    void start(int expectedState, std::chrono::milliseconds timeout);
    void cancel();
    bool isWaiting() const { return m_waiting; }

signals:
    // reached is false when the deadline passed first.
    void finished(bool reached);

private:
    void replyHandled(int netState);
    void timedOut();
    void stop();

    NetLink &m_link;
    QTimer m_deadline;
    QMetaObject::Connection m_replies;
    int m_expected = 0;
    bool m_waiting = false;
};

#pragma once

#include <QMetaObject>
#include <QObject>
#include <QString>
#include <QTimer>

class NetLink;
class OperatorMessages;
struct Settings;

// DetermineZeroPoint: runs the instrument's short fixed measurement and
// averages the open-circuit readings into Settings::ZeroPoint (tenfold
// volts). Driven by the link's replies and one deadline that restarts with
// every data reply; finished() follows "OK" or the deadline.
class ZeroPointDetermination : public QObject
{
    Q_OBJECT

public:
    static const QString Command; // "ZERO 5 1.25 36000 165 500 3000"

    ZeroPointDetermination(
        NetLink &link, OperatorMessages &messages, Settings &settings, QObject *parent = nullptr);

    void start();
    bool isRunning() const { return m_running; }

    // The reading of a data line ("DATA <volts> <ms>"), or `previous` when
    // the line has no reading followed by a blank.
    static double readingOf(const QString &line, double previous);

signals:
    void finished(float zeroPoint);

private:
    void replyHandled(int netState);
    void timedOut();
    void takeNewestLine();
    void finish();

    NetLink &m_link;
    OperatorMessages &m_messages;
    Settings &m_settings;
    QTimer m_deadline;
    QMetaObject::Connection m_replies;
    double m_sum = 0;
    double m_lastReading = 0;
    int m_count = 0;
    bool m_running = false;
};

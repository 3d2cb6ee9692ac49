#pragma once

#include "instrument/ReplyWait.h"
#include "instrument/ZeroPointDetermination.h"

#include <QObject>
#include <QString>

class NetLink;
class Notation;
class OperatorMessages;
struct Settings;

// The instrument part of the main window's start-up, as a state machine:
// connect and await the greeting, "run INIT" and await "OK", reset the five
// boxes, then (unless started without instrument) "trace 0" and await "set",
// then the zero point. Each failure shows its message and the start-up goes
// on. The caller has opened the database and loaded the settings before
// start() (HostAddress, HostPort and NoInstrument are taken from them).
class InstrumentStartup : public QObject
{
    Q_OBJECT

public:
    enum class Step { Idle, Connecting, Initialising, Tracing, ZeroPoint, Done };

    static const QString SplashCaption; // "Determine the zero point       Please wait !"

    InstrumentStartup(NetLink &link, OperatorMessages &messages, Settings &settings,
        const Notation &notation, QObject *parent = nullptr);
    // Kept by reference: a temporary notation would dangle.
    InstrumentStartup(NetLink &link, OperatorMessages &messages, Settings &settings,
        Notation &&notation, QObject *parent = nullptr)
        = delete;

    void start();
    Step step() const { return m_step; }

signals:
    // The five boxes were reset: the active box can be marked.
    void boxesReset();
    // The splash with SplashCaption and the hourglass belong on screen now;
    // it comes also when the zero point is skipped.
    void zeroPointBegins();
    // Close the splash, restore the pointer, set the captions and tiles.
    void finished();

private:
    void connected();
    void initialised(bool acknowledged);
    void traced(bool acknowledged);
    void zeroPointDetermined();

    NetLink &m_link;
    OperatorMessages &m_messages;
    Settings &m_settings;
    const Notation &m_notation;
    ReplyWait m_wait;
    ZeroPointDetermination m_zeroPoint;
    Step m_step = Step::Idle;
};

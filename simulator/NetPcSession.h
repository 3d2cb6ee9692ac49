#pragma once

#include "simulator/CuringCurve.h"
#include "simulator/SimulatorOptions.h"

#include <QByteArray>
#include <QElapsedTimer>
#include <QList>
#include <QObject>
#include <QTimer>
#include <optional>
#include <random>

class NetPcSimulator;
class QTcpSocket;

// One connection of the simulated NetPC: reads command lines, and sends
// replies from a time-ordered outbox, each as its own block with a short gap
// before the next. A running ZERO or START is a program that puts its next
// data reply into the outbox when the previous one has gone out.
class NetPcSession : public QObject
{
    Q_OBJECT

public:
    NetPcSession(QTcpSocket *socket, NetPcSimulator &simulator);

private:
    enum class Kind { Reply, Program, Noise };
    struct Outgoing {
        qint64 due; // wall milliseconds since the session began
        Kind kind;
        QByteArray text;
    };
    struct Program {
        bool zero = false;
        int next = 1; // number of the next data reply
        int total = 0; // data replies before "OK"
        double cycleMs = 0; // instrument time between two replies
        qint64 startedAt = 0;
        int n = 5;
        std::optional<CuringCurve> curve;
        std::mt19937 noise;
        double zeroSum = 0;
        qint64 quietUntil = 0; // nothing goes out before (a withheld reading's pause)
    };

    void readCommands();
    void handleCommand(const QString &line);
    void startProgram(bool zero, const QStringList &words);
    QByteArray takeProgramReply();
    QByteArray zeroReply(int k);
    QByteArray measurementReply(int k);
    qint64 programDue(int k) const;

    void queue(qint64 due, Kind kind, const QByteArray &text = {});
    void queueReply(qint64 afterInstrumentMs, const QByteArray &text);
    void sendDue();
    void send(const QByteArray &block, bool counted);
    void scheduleNext();
    qint64 now() const { return m_clock.elapsed(); }
    qint64 wallMs(double instrumentMs) const;

    QTcpSocket *m_socket;
    NetPcSimulator &m_simulator;
    const SimulatorOptions m_options;
    QElapsedTimer m_clock;
    QTimer m_timer;
    QByteArray m_input;
    QList<Outgoing> m_outbox;
    std::optional<Program> m_program;
    std::mt19937 m_garbage;
    qint64 m_lastSent = -1000000;
    int m_sent = 0;
};

#pragma once

#include "simulator/SimulatorOptions.h"

#include <QStringList>
#include <QTcpServer>

// A stand-in for the instrument PC: greets every connection with
// "gol_kovra" and answers the program's commands as the NetPC does, one
// reply per block. Tests run it in-process on a free port (listen on port 0,
// then serverPort()); netpc-sim runs it as a program of its own.
class NetPcSimulator : public QTcpServer
{
    Q_OBJECT

public:
    explicit NetPcSimulator(const SimulatorOptions &options = {}, QObject *parent = nullptr);

    const SimulatorOptions &options() const { return m_options; }
    // Applies to connections made afterwards.
    void setOptions(const SimulatorOptions &options) { m_options = options; }

    // Every command line received so far, without its line end, in order.
    QStringList receivedCommands() const { return m_commands; }

    // The open-circuit reading the instrument reports, in volts.
    double intrinsicZeroVolts() const { return m_intrinsicZero; }
    // The zero the program is taken to subtract: the mean of the readings
    // of the last zero-point run, or the intrinsic zero before any.
    double zeroVolts() const { return m_zeroVolts; }
    void rememberZeroVolts(double volts) { m_zeroVolts = volts; }
    // Numbers the measurements, so every specimen gets its own curve.
    int nextSpecimen() { return ++m_specimens; }
    int nextZeroRun() { return ++m_zeroRuns; }

    void recordCommand(const QString &line);

signals:
    void commandReceived(const QString &line);

protected:
    void incomingConnection(qintptr socketDescriptor) override;

private:
    SimulatorOptions m_options;
    QStringList m_commands;
    double m_intrinsicZero;
    double m_zeroVolts;
    int m_specimens = 0;
    int m_zeroRuns = 0;
};

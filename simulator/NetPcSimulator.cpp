#include "simulator/NetPcSimulator.h"

#include "simulator/NetPcSession.h"

#include <QTcpSocket>
#include <random>

NetPcSimulator::NetPcSimulator(const SimulatorOptions &options, QObject *parent)
    : QTcpServer(parent)
    , m_options(options)
{
    std::seed_seq seq { options.seed, 0x7a65726fu };
    std::mt19937 rng(seq);
    m_intrinsicZero = std::uniform_real_distribution<double>(0.05, 0.35)(rng);
    m_zeroVolts = m_intrinsicZero;
}

void NetPcSimulator::recordCommand(const QString &line)
{
    m_commands.append(line);
    emit commandReceived(line);
}

void NetPcSimulator::incomingConnection(qintptr socketDescriptor)
{
    auto *socket = new QTcpSocket;
    if (!socket->setSocketDescriptor(socketDescriptor)) {
        delete socket;
        return;
    }
    new NetPcSession(socket, *this);
}

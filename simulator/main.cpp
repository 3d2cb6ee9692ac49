// netpc-sim: the simulated instrument PC as a program of its own, for the
// program on this machine and for demonstrations.
#include "simulator/NetPcSimulator.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QHostAddress>
#include <QTextStream>

namespace
{

int fail(const QString &text)
{
    QTextStream(stderr) << "netpc-sim: " << text << Qt::endl;
    return 2;
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("netpc-sim"));

    QCommandLineParser parser;
    parser.setApplicationDescription(
        QStringLiteral("A simulated NetPC instrument PC.\n\nFaults (--fault NAME[=k]):\n")
        + SimulatorOptions::faultHelp());
    parser.addHelpOption();
    const QCommandLineOption port(QStringLiteral("port"), QStringLiteral("TCP port (8100)."),
        QStringLiteral("port"), QStringLiteral("8100"));
    const QCommandLineOption listen(QStringLiteral("listen"),
        QStringLiteral("Address to listen on (127.0.0.1)."), QStringLiteral("address"),
        QStringLiteral("127.0.0.1"));
    const QCommandLineOption speed(QStringLiteral("speed"),
        QStringLiteral("Run N times faster than the instrument (1)."), QStringLiteral("N"),
        QStringLiteral("1"));
    const QCommandLineOption seed(QStringLiteral("seed"),
        QStringLiteral("Seed of the readings and curves (1)."), QStringLiteral("seed"),
        QStringLiteral("1"));
    const QCommandLineOption fault(QStringLiteral("fault"),
        QStringLiteral("Play a fault; may be repeated."), QStringLiteral("name[=k]"));
    const QCommandLineOption verbose(
        QStringLiteral("verbose"), QStringLiteral("Print every received command."));
    parser.addOptions({ port, listen, speed, seed, fault, verbose });
    parser.process(app);

    SimulatorOptions options;
    bool ok = false;
    const uint portNumber = parser.value(port).toUInt(&ok);
    if (!ok || portNumber > 65535)
        return fail(QStringLiteral("bad port %1").arg(parser.value(port)));
    options.speed = parser.value(speed).toDouble(&ok);
    if (!ok || !(options.speed > 0))
        return fail(QStringLiteral("bad speed %1").arg(parser.value(speed)));
    options.seed = parser.value(seed).toUInt(&ok);
    if (!ok)
        return fail(QStringLiteral("bad seed %1").arg(parser.value(seed)));
    for (const QString &name : parser.values(fault)) {
        QString error;
        if (!options.applyFault(name, &error))
            return fail(error);
    }
    const QHostAddress address(parser.value(listen));
    if (address.isNull())
        return fail(QStringLiteral("bad address %1").arg(parser.value(listen)));

    NetPcSimulator simulator(options);
    if (parser.isSet(verbose)) {
        QObject::connect(&simulator, &NetPcSimulator::commandReceived,
            [](const QString &line) { QTextStream(stdout) << "<- " << line << Qt::endl; });
    }
    if (!simulator.listen(address, quint16(portNumber)))
        return fail(QStringLiteral("cannot listen on %1:%2: %3")
                        .arg(address.toString())
                        .arg(portNumber)
                        .arg(simulator.errorString()));
    QTextStream(stdout) << "netpc-sim listening on " << address.toString() << ':'
                        << simulator.serverPort() << Qt::endl;
    return app.exec();
}

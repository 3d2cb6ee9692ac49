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

// The parser names the program by the path it was started with; the help
// (and the manual page made from it) names it plainly.
QString helpText(const QCommandLineParser &parser)
{
    const QString text = parser.helpText();
    return QStringLiteral("Usage: netpc-sim [options]") + text.mid(text.indexOf(QLatin1Char('\n')));
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("netpc-sim"));
    QCoreApplication::setApplicationVersion(QStringLiteral(ZANDOR_VERSION));

    QCommandLineParser parser;
    parser.setApplicationDescription(
        QStringLiteral("A simulated NetPC instrument PC.\n\nFaults (--fault NAME[=k]):\n")
        + SimulatorOptions::faultHelp());
    const QCommandLineOption help(QStringList { QStringLiteral("h"), QStringLiteral("help") },
        QStringLiteral("Show this help and exit."));
    const QCommandLineOption version(QStringList { QStringLiteral("v"), QStringLiteral("version") },
        QStringLiteral("Show the version and exit."));
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
    parser.addOptions({ help, version, port, listen, speed, seed, fault, verbose });
    // Not process(): a usage error ends with status 2 here, as in the other programs.
    if (!parser.parse(app.arguments()))
        return fail(parser.errorText());
    if (parser.isSet(help)) {
        QTextStream(stdout) << helpText(parser);
        return 0;
    }
    if (parser.isSet(version)) {
        QTextStream(stdout) << "netpc-sim " << QCoreApplication::applicationVersion() << '\n';
        return 0;
    }

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

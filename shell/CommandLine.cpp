#include "shell/CommandLine.h"

#include "core/OperatorMessages.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QTextStream>

bool ParseHostAndPort(const QString &text, QString &host, quint16 &port)
{
    const int colon = text.lastIndexOf(QLatin1Char(':'));
    // A bare IPv6 address has several colons and no port.
    if (colon < 0 || text.count(QLatin1Char(':')) > 1) {
        host = text;
        return !host.isEmpty();
    }
    bool ok = false;
    const uint p = text.mid(colon + 1).toUInt(&ok);
    if (!ok || p == 0 || p > 65535)
        return false;
    host = text.left(colon);
    port = quint16(p);
    return !host.isEmpty();
}

namespace
{

const QString ProgramName = QStringLiteral("zandor");

// The options of the program, declared once for parsing and for the help.
struct Options {
    QCommandLineParser parser;
    QCommandLineOption help { QStringList { QStringLiteral("h"), QStringLiteral("help") },
        QStringLiteral("Show this help and exit.") };
    QCommandLineOption version { QStringList { QStringLiteral("v"), QStringLiteral("version") },
        QStringLiteral("Show the version and exit.") };
    QCommandLineOption db { QStringLiteral("db"),
        QStringLiteral("Use the database FILE instead of kovra.mdb in the user's data folder."),
        QStringLiteral("FILE") };
    QCommandLineOption netpc { QStringLiteral("netpc"),
        QStringLiteral("Reach the instrument PC at HOST (and PORT) instead of the address in the "
                       "settings."),
        QStringLiteral("HOST[:PORT]") };

    Options()
    {
        parser.setApplicationDescription(QStringLiteral(
            "Workstation of the curing tester for resin-impregnated paper: measures the curing "
            "in five boxes through the instrument PC, evaluates the curves against limit files, "
            "stores graphs and patterns in its database and prints test reports."));
        parser.addOptions({ help, version, db, netpc });
        parser.addPositionalArgument(QStringLiteral("1"),
            QStringLiteral("Start without the trace request and the zero point; any other "
                           "arguments start normally."),
            QStringLiteral("[1]"));
    }
};

CommandLine usageError(const QString &text)
{
    CommandLine cl;
    cl.request = CommandLine::Request::UsageError;
    cl.error = text;
    return cl;
}

} // namespace

CommandLine CommandLine::parse(const QStringList &arguments)
{
    Options o;
    if (!o.parser.parse(QStringList { ProgramName } + arguments))
        return usageError(o.parser.errorText());
    CommandLine cl;
    if (o.parser.isSet(o.help)) {
        cl.request = Request::Help;
        return cl;
    }
    if (o.parser.isSet(o.version)) {
        cl.request = Request::Version;
        return cl;
    }
    if (o.parser.isSet(o.netpc)
        && !ParseHostAndPort(o.parser.value(o.netpc), cl.netpcHost, cl.netpcPort))
        return usageError(QStringLiteral("--netpc needs HOST or HOST:PORT, not '%1'.")
                              .arg(o.parser.value(o.netpc)));
    cl.databasePath = o.parser.value(o.db);
    cl.noInstrument = o.parser.positionalArguments() == QStringList { QStringLiteral("1") };
    return cl;
}

QString CommandLine::helpText()
{
    // The parser names the program by the path it was started with; the
    // help (and the manual page made from it) names it plainly.
    const QString text = Options().parser.helpText();
    return QStringLiteral("Usage: %1 [options] [1]").arg(ProgramName)
        + text.mid(text.indexOf(QLatin1Char('\n')));
}

int CommandLine::answer(QTextStream &out, QTextStream &err, OperatorMessages *operatorView) const
{
    switch (request) {
    case Request::Help:
        out << helpText();
        return 0;
    case Request::Version:
        out << ProgramName << ' ' << QCoreApplication::applicationVersion() << '\n';
        return 0;
    case Request::UsageError:
        err << ProgramName << ": " << error << '\n';
        if (operatorView)
            operatorView->show(
                ProgramName + QStringLiteral(": ") + error, OperatorMessages::Icon::Critical);
        return 2;
    case Request::Start:
        break;
    }
    return 0;
}

#include "ctl/CtlCommand.h"

#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <QTextStream>
#include <algorithm>
#include <cstdio>
#include <unistd.h>

namespace
{

void printCommandList(QTextStream &out)
{
    out << "Usage: zandorctl COMMAND [OPTIONS]\n"
           "  or:  zandorctl help COMMAND\n\n"
           "The command-line companion of Zandor 3.2: measures, stores, lists,\n"
           "exports, imports and reports without the program's windows.\n\n"
           "Commands:\n";
    QList<CtlCommand> commands = CtlCommands();
    std::sort(commands.begin(), commands.end(),
        [](const CtlCommand &a, const CtlCommand &b) { return qstrcmp(a.name, b.name) < 0; });
    for (const CtlCommand &c : commands)
        out << "  " << QString::fromLatin1(c.name).leftJustified(12) << ' ' << c.summary << '\n';
    out << "\nOptions:\n"
           "  -h, --help     Show this help and exit.\n"
           "  -v, --version  Show the version and exit.\n";
}

const CtlCommand *findCommand(const QString &name)
{
    for (const CtlCommand &c : CtlCommands())
        if (name == QLatin1String(c.name))
            return &c;
    return nullptr;
}

void declareCommand(const CtlCommand &command, QCommandLineParser &parser)
{
    parser.setApplicationDescription(QString::fromUtf8(command.summary));
    // Qt's own help option would offer --help-all with Qt's options, which
    // mean nothing to a command that shows no window.
    parser.addOption(QCommandLineOption(QStringList { QStringLiteral("h"), QStringLiteral("help") },
        QStringLiteral("Show this help and exit.")));
    command.declare(parser);
}

// Qt names the program by the path it was started with, and not the command;
// the usage line reads the same however zandorctl was found.
QString commandHelp(const CtlCommand &command, const QCommandLineParser &parser)
{
    QString text = parser.helpText();
    const qsizetype lineEnd = text.indexOf(QLatin1Char('\n'));
    const qsizetype programEnd = text.indexOf(QLatin1Char(' '), 7); // after "Usage: "
    if (text.startsWith(QLatin1String("Usage: ")) && programEnd > 0 && programEnd < lineEnd)
        text.replace(0, programEnd, QStringLiteral("Usage: zandorctl ") + QLatin1String(command.name));
    return text;
}

int help(const QStringList &args)
{
    QTextStream out(stdout);
    if (args.isEmpty()) {
        printCommandList(out);
        return 0;
    }
    const CtlCommand *command = findCommand(args.first());
    if (!command || args.size() > 1) {
        QTextStream(stderr) << "zandorctl help: unknown command '" << args.join(QLatin1Char(' '))
                            << "' (see 'zandorctl --help')\n";
        return UsageStatus;
    }
    QCommandLineParser parser;
    declareCommand(*command, parser);
    out << commandHelp(*command, parser);
    return 0;
}

int runCommand(const CtlCommand &command, const QStringList &args)
{
    QCommandLineParser parser;
    declareCommand(command, parser);
    const CtlInvocation call { QString::fromLatin1(command.name), parser };
    if (!parser.parse(QStringList { QStringLiteral("zandorctl") } + args))
        return call.usageError(parser.errorText());
    if (parser.isSet(QStringLiteral("help"))) {
        QTextStream(stdout) << commandHelp(command, parser);
        return 0;
    }
    return command.run(call);
}

void prepareEnvironment()
{
    // The companion never shows a window; it draws reports off-screen.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    // Nothing here needs a runtime folder; spare the operator Qt's warning.
    if (qEnvironmentVariableIsEmpty("XDG_RUNTIME_DIR")) {
        const QByteArray runtime = QDir::tempPath().toLocal8Bit() + "/zandorctl-runtime-"
                                   + QByteArray::number(getuid());
        if (QDir().mkpath(QString::fromLocal8Bit(runtime)))
            QFile::setPermissions(QString::fromLocal8Bit(runtime),
                                  QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        qputenv("XDG_RUNTIME_DIR", runtime);
    }
}

} // namespace

int main(int argc, char **argv)
{
    prepareEnvironment();
    QGuiApplication app(argc, argv);
    // The same names as the program, so both find the same database in the
    // user's data folder.
    QGuiApplication::setOrganizationName(QStringLiteral("zandor"));
    QGuiApplication::setApplicationName(QStringLiteral("zandor"));
    QGuiApplication::setApplicationVersion(QStringLiteral("3.2"));

    QStringList args = app.arguments().mid(1);
    if (args.isEmpty()) {
        QTextStream err(stderr);
        printCommandList(err);
        return UsageStatus;
    }
    const QString first = args.takeFirst();
    if (first == QLatin1String("--help") || first == QLatin1String("-h"))
        return help({});
    if (first == QLatin1String("help"))
        return help(args);
    if (first == QLatin1String("--version") || first == QLatin1String("-v")) {
        QTextStream(stdout) << "zandorctl 3.2\n";
        return 0;
    }
    if (const CtlCommand *command = findCommand(first))
        return runCommand(*command, args);
    QTextStream(stderr) << "zandorctl: unknown command '" << first
                        << "' (see 'zandorctl --help')\n";
    return UsageStatus;
}

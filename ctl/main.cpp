#include "ctl/CtlCommand.h"

#include <QGuiApplication>
#include <QTextStream>
#include <cstdio>

QList<CtlCommand> &CtlCommands()
{
    static QList<CtlCommand> commands;
    return commands;
}

static int usage()
{
    QTextStream err(stderr);
    err << "usage: zandorctl COMMAND [OPTIONS]\n\ncommands:\n";
    for (const CtlCommand &c : CtlCommands())
        err << "  " << c.usage << "\n";
    return 2;
}

int main(int argc, char **argv)
{
    // The companion never shows a window; it draws reports off-screen.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    QGuiApplication::setApplicationName(QStringLiteral("zandorctl"));
    QStringList args = app.arguments().mid(1);
    if (args.isEmpty() || args.first() == QLatin1String("--help") || args.first() == QLatin1String("-h"))
        return usage();
    const QString name = args.takeFirst();
    for (const CtlCommand &c : CtlCommands())
        if (name == QLatin1String(c.name))
            return c.run(args);
    QTextStream(stderr) << "zandorctl: unknown command '" << name << "'\n";
    return usage();
}

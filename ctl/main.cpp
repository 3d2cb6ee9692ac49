#include "ctl/CtlCommand.h"

#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <QTextStream>
#include <cstdio>
#include <unistd.h>

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
    // Nothing here needs a runtime folder; spare the operator Qt's warning.
    if (qEnvironmentVariableIsEmpty("XDG_RUNTIME_DIR")) {
        const QByteArray runtime = QDir::tempPath().toLocal8Bit() + "/zandorctl-runtime-"
                                   + QByteArray::number(getuid());
        if (QDir().mkpath(QString::fromLocal8Bit(runtime)))
            QFile::setPermissions(QString::fromLocal8Bit(runtime),
                                  QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        qputenv("XDG_RUNTIME_DIR", runtime);
    }
    QGuiApplication app(argc, argv);
    // The same names as the program, so both find the same database in the
    // user's data folder.
    QGuiApplication::setOrganizationName(QStringLiteral("zandor"));
    QGuiApplication::setApplicationName(QStringLiteral("zandor"));

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

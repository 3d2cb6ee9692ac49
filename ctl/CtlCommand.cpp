#include "ctl/CtlCommand.h"

#include "store/Database.h"

#include <QTextStream>
#include <cstdio>

QList<CtlCommand> &CtlCommands()
{
    static QList<CtlCommand> commands;
    return commands;
}

int CtlInvocation::usageError(const QString &text) const
{
    QTextStream(stderr) << "zandorctl " << command << ": " << text << " (see 'zandorctl help "
                        << command << "')\n";
    return UsageStatus;
}

void AddDatabaseOption(QCommandLineParser &parser)
{
    parser.addOption(QCommandLineOption(QStringLiteral("db"),
        QStringLiteral("The database to work on (default: the program's own)."),
        QStringLiteral("FILE")));
}

QString DatabasePath(const QCommandLineParser &parser)
{
    const QString given = parser.value(QStringLiteral("db"));
    return given.isEmpty() ? Database::defaultPath() : given;
}

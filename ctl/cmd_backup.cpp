// zandorctl backup: a consistent copy of the database while it is in use.
#include "ctl/CommandDatabase.h"
#include "ctl/CtlCommand.h"
#include "core/StderrMessages.h"
#include "store/Database.h"
#include "store/DatabaseBackup.h"

#include <QCommandLineParser>
#include <QDir>
#include <QTextStream>

namespace
{

void declareBackup(QCommandLineParser &parser)
{
    AddDatabaseOption(parser);
    parser.addPositionalArgument(QStringLiteral("TARGET"),
        QStringLiteral("The file the copy is written to; a database file that opens with --db."));
}

int runBackup(const CtlInvocation &call)
{
    StderrMessages messages(QStringLiteral("zandorctl backup"));
    if (call.parser.positionalArguments().size() != 1)
        return call.usageError(QStringLiteral("one TARGET file is needed"));
    const QString dbPath = DatabasePath(call.parser);
    const QString target = call.parser.positionalArguments().first();

    Database db;
    if (!OpenCommandDatabase(db, dbPath, messages))
        return 1;
    const QString problem = WriteBackup(db, target);
    if (!problem.isEmpty()) {
        messages.show(problem);
        return 1;
    }
    QTextStream(stdout) << "backup written to " << QDir::toNativeSeparators(target) << '\n';
    return 0;
}

} // namespace

ZANDORCTL_COMMAND("backup", "consistent copy of the database, also while in use", declareBackup,
    runBackup);

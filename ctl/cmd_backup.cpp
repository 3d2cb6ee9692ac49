// zandorctl backup: a consistent copy of the database while it is in use.
#include "core/StderrMessages.h"
#include "ctl/CommandDatabase.h"
#include "ctl/CtlCommand.h"
#include "store/Database.h"
#include "store/DatabaseBackup.h"

#include <QDir>
#include <QTextStream>

namespace
{

void declareBackup(QCommandLineParser &parser)
{
    AddDatabaseOption(parser);
    parser.addPositionalArgument(QStringLiteral("TARGET"),
        QStringLiteral("The file to write the copy to; it is replaced only by a complete copy."));
}

int runBackup(const CtlInvocation &call)
{
    StderrMessages messages(QStringLiteral("zandorctl backup"));
    const QStringList targets = call.parser.positionalArguments();
    if (targets.size() != 1)
        return call.usageError(targets.isEmpty() ? QStringLiteral("the target file is missing")
                                                 : QStringLiteral("one target file only"));
    Database db;
    if (!OpenCommandDatabase(db, DatabasePath(call.parser), messages))
        return 1;
    const QString problem = WriteBackup(db, targets.first());
    if (!problem.isEmpty()) {
        messages.show(problem);
        return 1;
    }
    QTextStream(stdout) << "backup written to " << QDir::toNativeSeparators(targets.first())
                        << '\n';
    return 0;
}

} // namespace

ZANDORCTL_COMMAND("backup", "a consistent copy of the database, also while it is in use",
    declareBackup, runBackup);

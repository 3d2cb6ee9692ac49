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

int runBackup(const QStringList &args)
{
    StderrMessages messages(QStringLiteral("zandorctl backup"));
    QCommandLineParser parser;
    const QCommandLineOption dbOption(QStringLiteral("db"), {}, QStringLiteral("FILE"));
    parser.addOption(dbOption);
    if (!parser.parse(QStringList { QStringLiteral("backup") } + args)
        || parser.positionalArguments().size() != 1) {
        messages.show(QStringLiteral("usage: zandorctl backup [--db FILE] TARGET"));
        return 2;
    }
    const QString dbPath = parser.isSet(dbOption) ? parser.value(dbOption) : Database::defaultPath();
    const QString target = parser.positionalArguments().first();

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

ZANDORCTL_COMMAND("backup", "backup [--db FILE] TARGET   consistent copy of the database, also while in use",
    runBackup);

// zandorctl copy: a whole database from one engine to another (file or server).
#include "core/StderrMessages.h"
#include "ctl/CommandDatabase.h"
#include "ctl/CtlCommand.h"
#include "store/Database.h"
#include "store/DatabaseCopy.h"

#include <QCommandLineParser>
#include <QTextStream>

namespace
{

void declareCopy(QCommandLineParser &parser)
{
    parser.addOption(QCommandLineOption(QStringLiteral("from"),
        QStringLiteral("The database copied: a file or a server's connection text."),
        QStringLiteral("SOURCE")));
    parser.addOption(QCommandLineOption(QStringLiteral("to"),
        QStringLiteral("The database written: a file or a server's connection text; created "
                       "when missing."),
        QStringLiteral("TARGET")));
    parser.addOption(QCommandLineOption(QStringLiteral("replace"),
        QStringLiteral("Overwrite a target that already holds directories, records or limit "
                       "files.")));
}

int runCopy(const CtlInvocation &call)
{
    StderrMessages messages(QStringLiteral("zandorctl copy"));
    const QString from = call.parser.value(QStringLiteral("from"));
    const QString to = call.parser.value(QStringLiteral("to"));
    if (from.isEmpty() || to.isEmpty())
        return call.usageError(QStringLiteral("--from SOURCE and --to TARGET are both needed"));
    if (!call.parser.positionalArguments().isEmpty())
        return call.usageError(QStringLiteral("unexpected argument '")
            + call.parser.positionalArguments().first() + QLatin1Char('\''));

    Database source, target;
    if (!OpenCommandDatabase(source, from, messages) || !OpenCommandDatabase(target, to, messages))
        return 1;
    const CopyResult result
        = CopyDatabase(source, target, call.parser.isSet(QStringLiteral("replace")));
    if (!result.ok()) {
        messages.show(QStringLiteral("nothing was copied: %1").arg(result.problem));
        return 1;
    }
    QTextStream out(stdout);
    out << "copied from " << source.target().display() << " to " << target.target().display()
        << ":\n";
    for (const TableCount &count : result.counts)
        out << "  " << count.table << '\t' << count.rows << '\n';
    return 0;
}

} // namespace

ZANDORCTL_COMMAND(
    "copy", "copy a whole database between a file and a server, keys kept", declareCopy, runCopy);

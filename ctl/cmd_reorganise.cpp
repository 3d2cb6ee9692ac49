// zandorctl reorganise: checks, backs up and compacts the database file, or
// repairs it when it is damaged.
#include "ctl/CommandDatabase.h"
#include "ctl/CtlCommand.h"
#include "core/StderrMessages.h"
#include "store/Database.h"
#include "store/Reorganisation.h"


namespace
{

// Asking for the command is the answer to its question.
class ConsentingMessages : public StderrMessages
{
public:
    using StderrMessages::StderrMessages;
    bool askYesNo(const QString &) override { return true; }
};

void declareReorganise(QCommandLineParser &parser)
{
    AddDatabaseOption(parser);
}

int runReorganise(const CtlInvocation &call)
{
    ConsentingMessages messages(QStringLiteral("zandorctl reorganise"));
    if (!call.parser.positionalArguments().isEmpty())
        return call.usageError(QStringLiteral("unexpected argument '")
            + call.parser.positionalArguments().first() + QLatin1Char('\''));
    Database db;
    if (!OpenCommandDatabase(db, DatabasePath(call.parser), messages))
        return 1;
    // The outcome is on standard error already. A repair that could not
    // save every row ends with a failure status, for scripts to notice.
    const ReorganisationResult result = Reorganise(db, messages);
    switch (result.outcome) {
    case ReorganisationResult::Outcome::Done:
        return 0;
    case ReorganisationResult::Outcome::Repaired:
        return result.salvage.unreadable == 0 ? 0 : 1;
    default:
        return 1;
    }
}

} // namespace

ZANDORCTL_COMMAND("reorganise",
    "check, back up and compact the database, or repair it when damaged", declareReorganise,
    runReorganise);

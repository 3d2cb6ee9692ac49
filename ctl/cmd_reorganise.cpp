// zandorctl reorganise: repairs and compacts the database file.
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
    const QString dbPath = DatabasePath(call.parser);
    Database db;
    if (!OpenCommandDatabase(db, dbPath, messages))
        return 1;
    const ReorganisationResult result = Reorganise(db, messages);
    if (result.outcome == ReorganisationResult::Outcome::Done)
        return 0;
    messages.show(result.detail);
    return 1;
}

} // namespace

ZANDORCTL_COMMAND("reorganise", "repair and compact the database", declareReorganise,
    runReorganise);

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

int runReorganise(const QStringList &args)
{
    ConsentingMessages messages(QStringLiteral("zandorctl reorganise"));
    QString dbPath = Database::defaultPath();
    for (qsizetype i = 0; i < args.size(); ++i) {
        if (args.at(i) == QLatin1String("--db") && i + 1 < args.size()) {
            dbPath = args.at(++i);
        } else {
            messages.show(QStringLiteral("usage: zandorctl reorganise [--db FILE]"));
            return 2;
        }
    }
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

ZANDORCTL_COMMAND(
    "reorganise", "reorganise [--db FILE]   repair and compact the database", runReorganise);

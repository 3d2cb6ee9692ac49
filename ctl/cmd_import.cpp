// zandorctl import: stores import files in the database as the import
// dialog does, with the dialog's messages on standard error.
#include "ctl/CommandDatabase.h"
#include "ctl/CtlCommand.h"
#include "core/StderrMessages.h"
#include "exchange/ImportTarget.h"
#include "core/BoxRecord.h"
#include "core/Notation.h"
#include "store/Database.h"
#include "store/Store.h"

#include <QFileInfo>
#include <QTextStream>

static void declareImport(QCommandLineParser &parser)
{
    AddDatabaseOption(parser);
    parser.addPositionalArgument(
        QStringLiteral("FILE"), QStringLiteral("Import files (*.kpf) to store."), QStringLiteral("FILE..."));
}

static int runImport(const CtlInvocation &call)
{
    StderrMessages messages(QStringLiteral("zandorctl import"));
    const QStringList files = call.parser.positionalArguments();
    if (files.isEmpty())
        return call.usageError(QStringLiteral("no import file given"));
    const QString dbPath = DatabasePath(call.parser);

    Database db;
    if (!OpenCommandDatabase(db, dbPath, messages))
        return 1;
    const Notation notation = Notation::fromSystem();
    Store store(db, notation);
    ImportTarget target(store);
    // One buffer for the whole run, as in the dialog: a field that a file
    // does not carry keeps the previous file's value.
    BoxRecord buffer;
    int failed = 0;
    for (const QString &file : files) {
        if (!ImportOneFile(file, QFileInfo(file).fileName(), buffer, target, messages))
            ++failed;
    }
    QTextStream(stdout) << "imported " << files.size() - failed << " of " << files.size()
                        << " files\n";
    return failed == 0 ? 0 : 1;
}

ZANDORCTL_COMMAND("import", "store import files (*.kpf) in the database", declareImport, runImport);

// zandorctl export: writes one stored graph or pattern to an export file.
#include "ctl/CommandDatabase.h"
#include "ctl/CtlCommand.h"
#include "core/StderrMessages.h"
#include "exchange/ExportFile.h"
#include "core/Notation.h"
#include "store/Database.h"
#include "store/Store.h"

static void declareExport(QCommandLineParser &parser)
{
    AddDatabaseOption(parser);
    parser.addOption(QCommandLineOption(QStringLiteral("key"),
        QStringLiteral("Key (UntID) of the stored graph or pattern."), QStringLiteral("UNTID")));
    parser.addOption(QCommandLineOption(QStringList { QStringLiteral("o"), QStringLiteral("output") },
        QStringLiteral("The export file to write."), QStringLiteral("FILE")));
}

static int runExport(const CtlInvocation &call)
{
    StderrMessages messages(QStringLiteral("zandorctl export"));
    const QCommandLineParser &parser = call.parser;
    bool keyGiven = false;
    const qint32 key = parser.value(QStringLiteral("key")).toInt(&keyGiven);
    const QString output = parser.value(QStringLiteral("o"));
    if (!parser.positionalArguments().isEmpty())
        return call.usageError(
            QStringLiteral("unexpected argument '") + parser.positionalArguments().first() + '\'');
    if (!keyGiven)
        return call.usageError(QStringLiteral("--key UNTID is needed"));
    if (output.isEmpty())
        return call.usageError(QStringLiteral("-o FILE is needed"));
    const QString dbPath = DatabasePath(parser);

    Database db;
    if (!OpenCommandDatabase(db, dbPath, messages))
        return 1;
    const Notation notation = Notation::fromSystem();
    Store store(db, notation);
    if (!store.rawRecord(key)) {
        messages.show(QStringLiteral("there is no stored graph or pattern %1").arg(key));
        return 1;
    }
    if (!ExportRecord(store, key, output, notation)) {
        messages.show(QStringLiteral("error while writing <") + output + QLatin1Char('>'));
        return 1;
    }
    return 0;
}

ZANDORCTL_COMMAND("export", "write a stored graph or pattern to an export file", declareExport,
    runExport);

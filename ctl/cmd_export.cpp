// zandorctl export: writes one stored graph or pattern to an export file.
#include "ctl/CommandDatabase.h"
#include "ctl/CtlCommand.h"
#include "core/StderrMessages.h"
#include "exchange/ExportFile.h"
#include "core/Notation.h"
#include "store/Database.h"
#include "store/Store.h"

static int runExport(const QStringList &args)
{
    StderrMessages messages(QStringLiteral("zandorctl export"));
    QString dbPath = Database::defaultPath();
    QString output;
    qint32 key = 0;
    bool keyGiven = false;
    bool usageError = false;
    for (qsizetype i = 0; i < args.size(); ++i) {
        const QString &a = args.at(i);
        const bool hasValue = i + 1 < args.size();
        if (a == QLatin1String("--db") && hasValue)
            dbPath = args.at(++i);
        else if (a == QLatin1String("-o") && hasValue)
            output = args.at(++i);
        else if (a == QLatin1String("--key") && hasValue)
            key = args.at(++i).toInt(&keyGiven);
        else
            usageError = true;
    }
    if (usageError || !keyGiven || output.isEmpty()) {
        messages.show(QStringLiteral("usage: zandorctl export [--db FILE] --key UNTID -o FILE"));
        return 2;
    }

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

ZANDORCTL_COMMAND(
    "export", "export [--db FILE] --key UNTID -o FILE   write an export file", runExport);

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

static int runImport(const QStringList &args)
{
    StderrMessages messages(QStringLiteral("zandorctl import"));
    QString dbPath = Database::defaultPath();
    QStringList files;
    for (qsizetype i = 0; i < args.size(); ++i) {
        if (args.at(i) == QLatin1String("--db") && i + 1 < args.size())
            dbPath = args.at(++i);
        else
            files << args.at(i);
    }
    if (files.isEmpty() || files.contains(QLatin1String("--db"))) {
        messages.show(QStringLiteral("usage: zandorctl import [--db FILE] FILE..."));
        return 2;
    }

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

ZANDORCTL_COMMAND("import", "import [--db FILE] FILE...   store import files (*.kpf)", runImport);

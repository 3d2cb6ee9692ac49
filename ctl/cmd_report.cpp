// zandorctl report: the test report of stored graphs as a PDF file.
#include "ctl/CtlCommand.h"
#include "core/StderrMessages.h"
#include "display/StoredReport.h"
#include "core/Notation.h"
#include "store/Database.h"
#include "store/Store.h"

#include <QFileInfo>
#include <QLocale>

namespace {

const char *const kUsage = "report [--db FILE] --scope MIN --key UNTID [--key UNTID ...] "
                           "[--box N] -o FILE.pdf";

struct ReportArguments
{
    QString db = Database::defaultPath();
    StoredReportRequest request;
    bool scopeGiven = false;
};

bool parseArguments(const QStringList &args, ReportArguments &out)
{
    const QLocale c = QLocale::c();
    for (qsizetype i = 0; i < args.size(); ++i) {
        const QString &a = args.at(i);
        if (i + 1 >= args.size())
            return false;
        const QString value = args.at(++i);
        bool ok = true;
        if (a == QLatin1String("--db"))
            out.db = value;
        else if (a == QLatin1String("-o"))
            out.request.output = value;
        else if (a == QLatin1String("--key"))
            out.request.keys << value.toInt(&ok);
        else if (a == QLatin1String("--box"))
            out.request.box = value.toInt(&ok);
        else if (a == QLatin1String("--scope")) {
            out.request.scope = c.toFloat(value, &ok);
            out.scopeGiven = ok;
        } else
            return false;
        if (!ok)
            return false;
    }
    return out.scopeGiven && !out.request.keys.isEmpty() && !out.request.output.isEmpty();
}

int runReport(const QStringList &args)
{
    StderrMessages messages(QStringLiteral("zandorctl report"));
    ReportArguments arguments;
    if (!parseArguments(args, arguments)) {
        messages.show(QStringLiteral("usage: zandorctl ") + QString::fromLatin1(kUsage));
        return 2;
    }
    // Opening would create a missing database; a report needs an existing one.
    if (!QFileInfo::exists(arguments.db)) {
        messages.show(QStringLiteral("there is no database <%1>").arg(arguments.db));
        return 1;
    }
    Database db;
    const Database::OpenResult opened = db.open(arguments.db);
    if (!opened) {
        messages.show(opened.message);
        return 1;
    }
    const Notation notation = Notation::fromSystem();
    Store store(db, notation);
    QString error;
    QStringList notes;
    const bool printed = PrintStoredReport(store, notation, arguments.request, &error, &notes);
    for (const QString &note : notes)
        messages.show(note);
    if (!printed) {
        messages.show(error);
        return 1;
    }
    return 0;
}

} // namespace

ZANDORCTL_COMMAND("report", "report [--db FILE] --scope MIN --key UNTID [--key UNTID ...] "
                            "[--box N] -o FILE.pdf   print the test report of stored graphs",
                  runReport);

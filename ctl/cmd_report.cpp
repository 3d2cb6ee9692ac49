// zandorctl report: the test report of stored graphs as a PDF file.
#include "ctl/CommandDatabase.h"
#include "ctl/CtlCommand.h"
#include "core/StderrMessages.h"
#include "display/StoredReport.h"
#include "core/Notation.h"
#include "store/Database.h"
#include "store/Store.h"

#include <QLocale>

namespace {

struct ReportArguments
{
    QString db;
    StoredReportRequest request;
};

void declareReport(QCommandLineParser &parser)
{
    AddDatabaseOption(parser);
    parser.addOption(QCommandLineOption(QStringLiteral("scope"),
        QStringLiteral("Scope of time of the report in minutes (2.5 ... 500)."), QStringLiteral("MIN")));
    parser.addOption(QCommandLineOption(QStringLiteral("key"),
        QStringLiteral("Key (UntID) of a stored graph; repeat for up to five boxes."),
        QStringLiteral("UNTID")));
    parser.addOption(QCommandLineOption(QStringLiteral("box"),
        QStringLiteral("Print only the page of this box."), QStringLiteral("N")));
    parser.addOption(QCommandLineOption(QStringList { QStringLiteral("o"), QStringLiteral("output") },
        QStringLiteral("The PDF file to write."), QStringLiteral("FILE.pdf")));
}

// Reads the options into `out`; on a refusal says why in `error`.
bool readArguments(const QCommandLineParser &parser, ReportArguments &out, QString &error)
{
    const QLocale c = QLocale::c();
    bool ok = true;
    out.db = DatabasePath(parser);
    out.request.output = parser.value(QStringLiteral("o"));
    for (const QString &key : parser.values(QStringLiteral("key"))) {
        out.request.keys << key.toInt(&ok);
        if (!ok) {
            error = QStringLiteral("--key must be a number: ") + key;
            return false;
        }
    }
    if (parser.isSet(QStringLiteral("box"))) {
        out.request.box = parser.value(QStringLiteral("box")).toInt(&ok);
        if (!ok) {
            error = QStringLiteral("--box must be a number");
            return false;
        }
    }
    out.request.scope = c.toFloat(parser.value(QStringLiteral("scope")), &ok);
    if (!ok)
        error = QStringLiteral("--scope MIN is needed");
    else if (out.request.keys.isEmpty())
        error = QStringLiteral("--key UNTID is needed");
    else if (out.request.output.isEmpty())
        error = QStringLiteral("-o FILE.pdf is needed");
    else if (!parser.positionalArguments().isEmpty())
        error = QStringLiteral("unexpected argument '") + parser.positionalArguments().first()
            + QLatin1Char('\'');
    return error.isEmpty();
}

int runReport(const CtlInvocation &call)
{
    StderrMessages messages(QStringLiteral("zandorctl report"));
    ReportArguments arguments;
    QString error;
    if (!readArguments(call.parser, arguments, error))
        return call.usageError(error);
    Database db;
    if (!OpenExistingCommandDatabase(db, arguments.db, messages))
        return 1;
    const Notation notation = Notation::fromSystem();
    Store store(db, notation);
    error.clear();
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

ZANDORCTL_COMMAND("report", "print the test report of stored graphs as a PDF file", declareReport,
    runReport);

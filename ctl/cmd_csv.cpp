// zandorctl csv: results or curves of stored graphs for a spreadsheet.
#include "core/Notation.h"
#include "core/StderrMessages.h"
#include "ctl/CommandDatabase.h"
#include "ctl/CtlCommand.h"
#include "ctl/SelectionOptions.h"
#include "exchange/CsvExport.h"
#include "store/Store.h"


namespace
{

void declareCsv(QCommandLineParser &parser)
{
    AddDatabaseOption(parser);
    parser.addOption({ QStringLiteral("results"),
        QStringLiteral("One row per graph: specimen data, results and limits.") });
    parser.addOption({ QStringLiteral("curves"),
        QStringLiteral("One row per curve point: seconds and percent.") });
    parser.addOption({ QStringLiteral("decimal-comma"),
        QStringLiteral("Decimal comma and \";\" between fields, for a comma locale.") });
    parser.addOption({ QStringLiteral("separator"),
        QStringLiteral("The field separator (\"tab\" for a tab)."), QStringLiteral("C") });
    parser.addOption({ { QStringLiteral("o"), QStringLiteral("output") },
        QStringLiteral("The CSV file to write."), QStringLiteral("FILE") });
    AddSelectionOptions(parser);
}

bool readFormat(const QCommandLineParser &parser, CsvFormat &format)
{
    if (parser.isSet(QStringLiteral("decimal-comma")))
        format = CsvFormat::decimalComma();
    if (parser.isSet(QStringLiteral("separator"))) {
        const QString s = parser.value(QStringLiteral("separator"));
        if (s.compare(QLatin1String("tab"), Qt::CaseInsensitive) == 0)
            format.separator = QLatin1Char('\t');
        else if (s.size() == 1)
            format.separator = s.at(0);
        else
            return false;
    }
    return format.valid();
}

// Why the command line names no one file of one kind in one format.
QString refusal(const QCommandLineParser &parser, CsvFormat &format)
{
    if (!parser.positionalArguments().isEmpty())
        return QStringLiteral("unexpected argument '") + parser.positionalArguments().first()
            + QLatin1Char('\'');
    if (parser.isSet(QStringLiteral("results")) == parser.isSet(QStringLiteral("curves")))
        return QStringLiteral("give --results or --curves");
    if (parser.value(QStringLiteral("o")).isEmpty())
        return QStringLiteral("-o FILE is needed");
    if (!readFormat(parser, format))
        return QStringLiteral("--separator must be one character other than the decimal mark");
    return {};
}

int runCsv(const CtlInvocation &call)
{
    StderrMessages messages(QStringLiteral("zandorctl csv"));
    const QCommandLineParser &parser = call.parser;
    CsvFormat format;
    if (const QString why = refusal(parser, format); !why.isEmpty())
        return call.usageError(why);
    const bool results = parser.isSet(QStringLiteral("results"));
    const QString path = DatabasePath(parser);
    Database db;
    if (!OpenExistingCommandDatabase(db, path, messages))
        return 1;
    const Notation notation = Notation::fromSystem();
    Store store(db, notation);
    ResultSelection selection;
    if (!ReadSelection(parser, store, messages, selection))
        return 1;
    QString error;
    const QString output = parser.value(QStringLiteral("o"));
    const bool written = results ? WriteResultsCsv(db, selection, output, format, &error)
                                 : WriteCurvesCsv(db, selection, output, format, &error);
    if (!written) {
        messages.show(error);
        return 1;
    }
    return 0;
}

} // namespace

ZANDORCTL_COMMAND(
    "csv", "results or curves of stored graphs as CSV for a spreadsheet", declareCsv, runCsv);

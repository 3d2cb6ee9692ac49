// zandorctl csv: results or curves of stored graphs for a spreadsheet.
#include "core/Notation.h"
#include "core/StderrMessages.h"
#include "ctl/CommandDatabase.h"
#include "ctl/CtlCommand.h"
#include "ctl/SelectionOptions.h"
#include "exchange/CsvExport.h"
#include "store/Store.h"

#include <QFileInfo>

namespace
{

const char *const Usage = "csv --results|--curves [--db FILE] [--dir NAME ...] [--from DATE] "
                          "[--to DATE] [--name FILTER] [--decimal-comma] [--separator C] -o FILE";

void addOptions(QCommandLineParser &parser)
{
    parser.addOption({ QStringLiteral("db"), QStringLiteral("database file"), QStringLiteral("FILE"),
        Database::defaultPath() });
    parser.addOption({ QStringLiteral("results"), QStringLiteral("one row per graph") });
    parser.addOption({ QStringLiteral("curves"), QStringLiteral("one row per curve point") });
    parser.addOption({ QStringLiteral("decimal-comma"),
        QStringLiteral("decimal comma and \";\" between fields") });
    parser.addOption({ QStringLiteral("separator"), QStringLiteral("field separator (\"tab\" for a tab)"),
        QStringLiteral("C") });
    parser.addOption({ QStringLiteral("o"), QStringLiteral("output file"), QStringLiteral("FILE") });
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

int runCsv(const QStringList &args)
{
    StderrMessages messages(QStringLiteral("zandorctl csv"));
    QCommandLineParser parser;
    addOptions(parser);
    CsvFormat format;
    const bool parsed = parser.parse(QStringList { QStringLiteral("csv") } + args);
    const bool results = parser.isSet(QStringLiteral("results"));
    if (!parsed || !parser.positionalArguments().isEmpty()
        || results == parser.isSet(QStringLiteral("curves")) || !parser.isSet(QStringLiteral("o"))
        || !readFormat(parser, format)) {
        messages.show(QStringLiteral("usage: zandorctl ") + QString::fromLatin1(Usage));
        return 2;
    }
    const QString path = parser.value(QStringLiteral("db"));
    if (!QFileInfo::exists(path)) {
        messages.show(QStringLiteral("there is no database <%1>").arg(path));
        return 1;
    }
    Database db;
    if (!OpenCommandDatabase(db, path, messages))
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

ZANDORCTL_COMMAND("csv",
    "csv --results|--curves [--db FILE] [--dir NAME ...] [--from DATE] [--to DATE] "
    "[--name FILTER] [--decimal-comma] [--separator C] -o FILE   results or curves for a spreadsheet",
    runCsv);

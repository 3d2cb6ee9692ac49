// zandorctl stats: the figures of the five results over stored graphs.
#include "core/Notation.h"
#include "core/StderrMessages.h"
#include "ctl/CommandDatabase.h"
#include "ctl/CtlCommand.h"
#include "ctl/SelectionOptions.h"
#include "evaluation/ResultCaptions.h"
#include "evaluation/ResultStatistics.h"
#include "store/Store.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTextStream>

namespace
{

QJsonValue optional(const std::optional<double> &v)
{
    return v ? QJsonValue(*v) : QJsonValue(QJsonValue::Null);
}

QJsonObject resultJson(int k, const ResultFigures &f)
{
    const bool any = f.count > 0;
    return QJsonObject { { "result", k }, { "caption", resultCaption(k).caption.chopped(1) },
        { "unit", resultCaption(k).unit }, { "count", f.count },
        { "mean", any ? QJsonValue(f.mean) : QJsonValue() },
        { "standardDeviation", optional(f.standardDeviation) },
        { "minimum", any ? QJsonValue(f.minimum) : QJsonValue() },
        { "maximum", any ? QJsonValue(f.maximum) : QJsonValue() }, { "outside", f.outside },
        { "cp", optional(f.cp) }, { "cpk", optional(f.cpk) } };
}

void printJson(const QList<GraphResult> &graphs, const std::array<ResultFigures, 6> &figures)
{
    QJsonArray results;
    for (int k = 1; k <= ResultCount; ++k)
        results.append(resultJson(k, figures[k]));
    const std::optional<SharedLimits> limits = CommonLimits(graphs);
    QTextStream(stdout) << QJsonDocument(
        QJsonObject { { "count", int(graphs.size()) },
            { "limitFile", limits ? QJsonValue(limits->GrwBez) : QJsonValue(QJsonValue::Null) },
            { "results",
                results } }).toJson(QJsonDocument::Indented);
}

void printText(const std::array<ResultFigures, 6> &figures, const Notation &n)
{
    QTextStream out(stdout);
    const auto opt = [&](const std::optional<double> &v, const char *f) {
        return v ? n.format(*v, QString::fromLatin1(f)) : QStringLiteral("-");
    };
    out << "result\tcount\tmean\tstd.dev.\tminimum\tmaximum\toutside\tCp\tCpk\n";
    for (int k = 1; k <= ResultCount; ++k) {
        const ResultFigures &f = figures[k];
        const QString format = resultCaption(k).format;
        out << resultCaption(k).caption.chopped(1) << '\t' << f.count << '\t'
            << (f.count ? n.format(f.mean, format) : QStringLiteral("-")) << '\t'
            << opt(f.standardDeviation, "0.0000;;0") << '\t'
            << (f.count ? n.format(f.minimum, format) : QStringLiteral("-")) << '\t'
            << (f.count ? n.format(f.maximum, format) : QStringLiteral("-")) << '\t' << f.outside
            << '\t' << opt(f.cp, "0.00;-0.00;0") << '\t' << opt(f.cpk, "0.00;-0.00;0") << '\n';
    }
}

void declareStats(QCommandLineParser &parser)
{
    AddDatabaseOption(parser);
    AddSelectionOptions(parser);
    parser.addOption(
        QCommandLineOption(QStringLiteral("json"), QStringLiteral("Print the figures as JSON.")));
}

int runStats(const CtlInvocation &call)
{
    StderrMessages messages(QStringLiteral("zandorctl stats"));
    const QCommandLineParser &parser = call.parser;
    if (!parser.positionalArguments().isEmpty())
        return call.usageError(QStringLiteral("unexpected argument '")
            + parser.positionalArguments().first() + QLatin1Char('\''));
    const QString path = DatabasePath(parser);
    Database db;
    if (!OpenExistingCommandDatabase(db, path, messages))
        return 1;
    const Notation notation = Notation::fromSystem();
    Store store(db, notation);
    ResultSelection selection;
    if (!ReadSelection(parser, store, messages, selection))
        return 1;
    const std::optional<QList<GraphResult>> graphs = QueryGraphResults(db, selection);
    if (!graphs) {
        messages.show(db.lastError());
        return 1;
    }
    const std::array<ResultFigures, 6> figures = ComputeResultStatistics(*graphs);
    if (parser.isSet(QStringLiteral("json")))
        printJson(*graphs, figures);
    else
        printText(figures, notation);
    return 0;
}

} // namespace

ZANDORCTL_COMMAND(
    "stats", "figures of the five results across stored graphs", declareStats, runStats);

// zandorctl evaluate: the five results of a curve given as text, the way the
// measurement window computes them at the end of a run.
#include "ctl/CtlCommand.h"
#include "evaluation/CurveText.h"

#include <QFile>
#include <QTextStream>
#include <cstdio>

namespace
{

int fail(const QString &text, int status)
{
    QTextStream(stderr) << "zandorctl evaluate: " << text << "\n";
    return status;
}

void declareEvaluate(QCommandLineParser &parser)
{
    parser.addOption(QCommandLineOption(
        QStringLiteral("json"), QStringLiteral("Print the results as JSON.")));
    parser.addPositionalArgument(QStringLiteral("FILE"),
        QStringLiteral("Curve of \"seconds,percent\" lines; - reads standard input."));
}

int runEvaluate(const CtlInvocation &call)
{
    const bool json = call.parser.isSet(QStringLiteral("json"));
    const QStringList files = call.parser.positionalArguments();
    if (files.size() != 1)
        return call.usageError(QStringLiteral("one curve file (or -) is needed"));

    const QString name = files.first();
    const bool fromStdin = name == QLatin1String("-");
    QFile file(fromStdin ? QString() : name);
    const bool opened
        = fromStdin ? file.open(stdin, QIODevice::ReadOnly) : file.open(QIODevice::ReadOnly);
    if (!opened)
        return fail(QStringLiteral("cannot open %1: %2").arg(name, file.errorString()), 1);

    BoxRecord box;
    const CurveTextResult read = ReadCurveText(file, box);
    const QString source = fromStdin ? QStringLiteral("standard input") : name;
    if (!read.ok())
        return fail(source + QStringLiteral(": ") + read.error, 1);

    EvaluateCurve(box);
    QTextStream out(stdout);
    if (json)
        out << ResultsJson(box.Erg) << "\n";
    else
        out << ResultsText(box.Erg);
    return 0;
}

} // namespace

ZANDORCTL_COMMAND("evaluate", "the five results of a curve of \"seconds,percent\" lines",
    declareEvaluate, runEvaluate);

// zandorctl evaluate: the five results of a curve given as text, the way the
// measurement window computes them at the end of a run.
#include "ctl/CtlCommand.h"
#include "evaluation/CurveText.h"

#include <QFile>
#include <QTextStream>
#include <cstdio>

namespace
{

const char *const Usage = "usage: zandorctl evaluate [--json] FILE|-";

int fail(const QString &text, int status)
{
    QTextStream(stderr) << "zandorctl evaluate: " << text << "\n";
    return status;
}

int runEvaluate(const QStringList &args)
{
    bool json = false;
    QStringList files;
    for (const QString &a : args) {
        if (a == QLatin1String("--json"))
            json = true;
        else if (a.startsWith(QLatin1Char('-')) && a != QLatin1String("-"))
            return fail(QString::fromLatin1(Usage), 2);
        else
            files << a;
    }
    if (files.size() != 1)
        return fail(QString::fromLatin1(Usage), 2);

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

ZANDORCTL_COMMAND("evaluate",
    "evaluate [--json] FILE|-   results of a curve of \"seconds,percent\" lines", runEvaluate);

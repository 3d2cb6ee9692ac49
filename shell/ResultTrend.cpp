#include "shell/ResultTrend.h"

#include "core/Notation.h"
#include "evaluation/ResultCaptions.h"

namespace
{

QString number(const Notation &n, double v, int k)
{
    return n.format(v, resultCaption(k).format);
}

QString optionalNumber(const Notation &n, const std::optional<double> &v, const QString &pattern)
{
    return v ? n.format(*v, pattern) : QStringLiteral("-");
}

} // namespace

TrendSeries MakeTrendSeries(const QList<GraphResult> &graphs,
    const std::array<ResultFigures, 6> &figures, int k, const QString &selection,
    const Notation &notation)
{
    TrendSeries s;
    s.caption = resultCaption(k).caption;
    s.unit = resultCaption(k).unit;
    s.selection = selection;
    for (const GraphResult &g : graphs) {
        TrendPoint p;
        p.date = g.PruefAm;
        p.value = g.Erg[k];
        if (g.hasLimitFile()) {
            p.lower = g.GWU[k];
            p.upper = g.GwO[k];
        }
        p.outside = OutsideLimits(g, k);
        s.points << p;
    }
    const ResultFigures &f = figures[k];
    if (f.count > 0)
        s.mean = f.mean;
    s.standardDeviation = f.standardDeviation;
    s.figures = FigureLines(f, CommonLimits(graphs), k, notation);
    return s;
}

QStringList FigureLines(
    const ResultFigures &f, const std::optional<SharedLimits> &limits, int k, const Notation &n)
{
    const QString unit = QLatin1Char(' ') + resultCaption(k).unit;
    const QString spreadFormat = QStringLiteral("0.0000;;0");
    QStringList lines;
    lines << QStringLiteral("Count: %1   Outside the limits: %2")
                 .arg(QString::number(f.count), QString::number(f.outside));
    if (f.count == 0)
        return lines;
    lines << QStringLiteral("Mean: %1   Standard deviation: %2")
                 .arg(number(n, f.mean, k) + unit,
                     optionalNumber(n, f.standardDeviation, spreadFormat) + unit);
    lines << QStringLiteral("Minimum: %1   Maximum: %2")
                 .arg(number(n, f.minimum, k) + unit, number(n, f.maximum, k) + unit);
    if (limits)
        lines << QStringLiteral("Limit-File: %1 (%2 ... %3)   Cp: %4   Cpk: %5")
                     .arg(limits->GrwBez, number(n, limits->GWU[k], k),
                         number(n, limits->GwO[k], k),
                         optionalNumber(n, f.cp, QStringLiteral("0.00;-0.00;0")),
                         optionalNumber(n, f.cpk, QStringLiteral("0.00;-0.00;0")));
    return lines;
}

QString DescribeSelection(
    const QStringList &directories, const ResultSelection &selection, const Notation &n)
{
    QString text = directories.isEmpty() ? QStringLiteral("all directories")
                                         : directories.join(QStringLiteral(", "));
    if (selection.from || selection.to)
        text += QStringLiteral(", %1 - %2")
                    .arg(selection.from ? n.date(*selection.from) : QString(),
                        selection.to ? n.date(*selection.to) : QString());
    if (!selection.name.trimmed().isEmpty())
        text += QStringLiteral(", name \"%1\"").arg(selection.name.trimmed());
    return text;
}

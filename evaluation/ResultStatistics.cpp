#include "evaluation/ResultStatistics.h"

#include <algorithm>
#include <cmath>

namespace
{

bool sameLimits(const GraphResult &a, const SharedLimits &b)
{
    return a.GrwBez == b.GrwBez && a.GWU == b.GWU && a.GwO == b.GwO;
}

// Mean first, then the squared deviations from it: the two-pass form keeps
// the spread of values far from zero (flow times of hundreds of seconds)
// free of the cancellation a running sum of squares suffers.
ResultFigures figures(const QList<GraphResult> &graphs, int k)
{
    ResultFigures f;
    f.count = int(graphs.size());
    if (graphs.isEmpty())
        return f;
    double sum = 0;
    f.minimum = f.maximum = graphs.first().Erg[k];
    for (const GraphResult &g : graphs) {
        const double v = g.Erg[k];
        sum += v;
        f.minimum = std::min(f.minimum, v);
        f.maximum = std::max(f.maximum, v);
        if (OutsideLimits(g, k))
            ++f.outside;
    }
    f.mean = sum / f.count;
    if (f.count < 2)
        return f;
    double squares = 0;
    for (const GraphResult &g : graphs)
        squares += (g.Erg[k] - f.mean) * (g.Erg[k] - f.mean);
    f.standardDeviation = std::sqrt(squares / (f.count - 1));
    return f;
}

void addCapability(ResultFigures &f, double lower, double upper)
{
    if (!f.standardDeviation || *f.standardDeviation <= 0 || !(lower < upper))
        return;
    const double s = *f.standardDeviation;
    f.cp = (upper - lower) / (6 * s);
    f.cpk = std::min(upper - f.mean, f.mean - lower) / (3 * s);
}

} // namespace

std::optional<SharedLimits> CommonLimits(const QList<GraphResult> &graphs)
{
    if (graphs.isEmpty() || !graphs.first().hasLimitFile())
        return std::nullopt;
    const GraphResult &first = graphs.first();
    const SharedLimits shared { first.GrwBez, first.GWU, first.GwO };
    for (const GraphResult &g : graphs)
        if (!sameLimits(g, shared))
            return std::nullopt;
    return shared;
}

bool OutsideLimits(const GraphResult &graph, int k)
{
    if (!graph.hasLimitFile())
        return false;
    const float v = graph.Erg[k];
    return v < graph.GWU[k] || v > graph.GwO[k];
}

std::array<ResultFigures, 6> ComputeResultStatistics(const QList<GraphResult> &graphs)
{
    std::array<ResultFigures, 6> all;
    const std::optional<SharedLimits> limits = CommonLimits(graphs);
    for (int k = 1; k <= 5; ++k) {
        all[k] = figures(graphs, k);
        if (limits)
            addCapability(all[k], limits->GWU[k], limits->GwO[k]);
    }
    return all;
}

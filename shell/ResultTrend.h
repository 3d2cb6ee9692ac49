#pragma once

#include "display/TrendChart.h"
#include "evaluation/ResultStatistics.h"

class Notation;

// The trend of result k (1..5) of the selected graphs, with its figures
// written the way the results are written elsewhere.
TrendSeries MakeTrendSeries(const QList<GraphResult> &graphs,
    const std::array<ResultFigures, 6> &figures, int k, const QString &selection,
    const Notation &notation);

// The figures of result k as lines of text for a page or a window.
QStringList FigureLines(const ResultFigures &figures, const std::optional<SharedLimits> &limits,
    int k, const Notation &notation);

// A short description of a selection for page headers: directories, dates
// and name filter.
QString DescribeSelection(
    const QStringList &directories, const ResultSelection &selection, const Notation &notation);

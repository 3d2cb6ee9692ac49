#pragma once

#include "store/ResultQuery.h"

#include <QList>
#include <array>
#include <optional>

// Limits that every graph of a selection shares: one limit file, with the
// same ten values in every graph (a file changed between tests gives copies
// that differ, and then no capability can be stated).
struct SharedLimits {
    QString GrwBez;
    std::array<float, 6> GWU {};
    std::array<float, 6> GwO {};
};
std::optional<SharedLimits> CommonLimits(const QList<GraphResult> &graphs);

// Whether result k of a graph lies outside the limits stored with it, by the
// rule of the limit check. A graph without a limit file is not judged: its
// limits 0 and 0 state no requirement.
bool OutsideLimits(const GraphResult &graph, int k);

// The figures of one result over a selection. The standard deviation is the
// sample's (n - 1); it, and with it Cp and Cpk, is missing below two graphs.
struct ResultFigures {
    int count = 0;
    double mean = 0;
    std::optional<double> standardDeviation;
    double minimum = 0;
    double maximum = 0;
    int outside = 0;
    std::optional<double> cp; // only with shared limits, lower < upper,
    std::optional<double> cpk; // and a spread above zero
};

// Figures for results 1..5 (index 0 unused).
std::array<ResultFigures, 6> ComputeResultStatistics(const QList<GraphResult> &graphs);

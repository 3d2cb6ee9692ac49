#pragma once

#include "core/BoxRecord.h"

#include <array>
#include <span>

// The five results of a curve, indexed 1..5 like BoxRecord::Erg (index 0
// unused): 1 time of the steepest rise (min), 2 curing time (min), 3 curing
// rate (%/min), 4 flow time (s), 5 flexibility (%).
using CurveResults = std::array<float, 6>;

// Evaluates a curve given as its two full arrays (value in %, time in s).
// Every working level is a 32-bit float, as the stored results of existing
// graphs were computed that way; the windows read the end mark and the
// cleared slots behind the last point like any other value, and never read
// outside the arrays.
CurveResults EvaluateCurvePoints(
    std::span<const float, CurveSize> x, std::span<const float, CurveSize> y);

// Writes Erg1..Erg5 of `box` from its curve; nothing else of the box changes.
void EvaluateCurve(BoxRecord &box);

#pragma once

#include "evaluation/CurveEvaluation.h"

#include <QString>

class QIODevice;

// A curve as lab automation hands it over: one point a line from point 0 on,
// "seconds,percent" with "." as decimal point, or "seconds;percent" with a
// decimal comma (as spreadsheets on comma systems write it). Blank lines are
// skipped.
struct CurveTextResult {
    int points = 0;
    QString error; // names the line; empty when the curve was read
    bool ok() const { return error.isEmpty(); }
};

// Fills the curve of `box` the way a measurement leaves it: both arrays
// cleared, the points from index 0, the end mark behind the last point.
// More points than a measurement can hold, or none at all, are refused.
CurveTextResult ReadCurveText(QIODevice &in, BoxRecord &box);

// Shortest text that reads back to the same 32-bit value; "null" for a value
// that is not finite, so that JSON stays valid.
QString RoundTripFloat(float value);

// {"Erg1": …, …, "Erg5": …}
QString ResultsJson(const CurveResults &erg);
// One line per result: "Erg1  Max. curing speed after:  9.583333 min."
QString ResultsText(const CurveResults &erg);

#include "evaluation/CurveEvaluation.h"

namespace
{

using Curve = std::span<const float, CurveSize>;

// Pass 1 reads four points ahead and ends at this position at the latest.
constexpr int LastFourPointPosition = 296;
// Pass 3 reads six points ahead; stopping two positions earlier than pass 1
// keeps its windows inside the arrays on a full curve.
constexpr int LastSixPointPosition = CurveSize - 1 - 6;
constexpr int LastFlowPosition = 296;
constexpr int LastCuringPosition = 297;
// A curve whose 6-point pass ends before this position is too short to judge.
constexpr int ShortestSixPointEnd = 10;

constexpr double CuringFraction = 0.9;
constexpr double RateFactor = 0.66;
constexpr float FlowRise = 3;
constexpr float FlowLevelCeiling = 70;
constexpr float LatestRiseTime = 29940;

// Every stored quantity is a float; the double arithmetic that produces it
// is rounded once, here.
float single(double value)
{
    return static_cast<float>(value);
}

float mean(Curve x, int first, int last)
{
    double sum = 0;
    for (int k = first; k <= last; ++k)
        sum += x[k];
    return single(sum / (last - first + 1));
}

struct Levels {
    float minLevel = 100;
    float minTime = 0;
    float maxLevel = 0;
    float maxRise = 0;
    float riseTime = 0;
    float riseStep = 0;
};

// Equal rises let the later position win.
void noteRise(Levels &w, float rise, Curve y, int i)
{
    if (rise >= w.maxRise) {
        w.maxRise = rise;
        w.riseTime = single((double(y[i]) + y[i + 1]) / 2);
        w.riseStep = single(double(y[i + 1]) - y[i]);
    }
}

void fourPointPass(Levels &w, Curve x, Curve y)
{
    for (int i = 3;; ++i) {
        const float a = mean(x, i - 3, i);
        const float b = mean(x, i + 1, i + 4);
        noteRise(w, single(double(b) - a), y, i);
        if (a < w.minLevel) { // equal levels: the earlier position wins
            w.minLevel = a;
            w.minTime = y[i];
        }
        if (a > w.maxLevel)
            w.maxLevel = a;
        if (y[i + 4] == 0 || i == LastFourPointPosition)
            return;
    }
}

float flowTime(const Levels &w, Curve x, Curve y)
{
    const float threshold = single(double(w.minLevel) + FlowRise);
    int i = 4;
    float c = mean(x, i - 1, i + 2);
    while (!(c >= threshold && y[i] >= w.minTime) && i < LastFlowPosition) {
        ++i;
        c = mean(x, i - 1, i + 2);
    }
    return c > FlowLevelCeiling ? 0.0f : y[i];
}

float flexibility(const Levels &w)
{
    if (!(w.maxLevel > 0))
        return 0;
    return single((1 - double(w.minLevel) / w.maxLevel) * 100);
}

// Returns the position at which the pass ended.
int sixPointPass(Levels &w, Curve x, Curve y)
{
    w.maxLevel = 0;
    w.maxRise = 0;
    for (int i = 5;; ++i) {
        const float e = mean(x, i - 5, i);
        const float f = mean(x, i + 1, i + 6);
        noteRise(w, single(double(f) - e), y, i);
        if (e > w.maxLevel)
            w.maxLevel = e;
        if (y[i + 4] == 0 || i == LastSixPointPosition)
            return i;
    }
}

float curingTime(const Levels &w, Curve x, Curve y)
{
    const float threshold = single(CuringFraction * w.maxLevel);
    int j = 6;
    while (!(mean(x, j - 2, j + 1) > threshold) && j < LastCuringPosition)
        ++j;
    return y[j];
}

float curingRate(const Levels &w)
{
    const float span = single(double(w.maxLevel) - w.minLevel);
    if (!(span > 0 && w.riseStep > 0))
        return 0;
    return single(
        double(w.maxRise) / (double(w.maxLevel) - w.minLevel) / w.riseStep * 60 * RateFactor);
}

} // namespace

CurveResults EvaluateCurvePoints(Curve x, Curve y)
{
    Levels w;
    fourPointPass(w, x, y);
    const float flow = flowTime(w, x, y);
    const float flex = flexibility(w);
    const int sixPointEnd = sixPointPass(w, x, y);
    const float curing = curingTime(w, x, y);

    CurveResults erg {};
    if (sixPointEnd < ShortestSixPointEnd)
        return erg;
    erg[1] = (w.riseTime >= 0 && w.riseTime <= LatestRiseTime) ? single(double(w.riseTime) / 60)
                                                               : 0.0f;
    erg[2] = single(double(curing) / 60);
    erg[3] = curingRate(w);
    erg[4] = flow;
    erg[5] = flex;
    return erg;
}

void EvaluateCurve(BoxRecord &box)
{
    const CurveResults erg = EvaluateCurvePoints(box.x, box.y);
    for (int k = 1; k < int(erg.size()); ++k)
        box.Erg[k] = erg[k];
}

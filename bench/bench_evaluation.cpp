// Curves per second of the curve evaluation over many full 300-point curves.
#include "evaluation/CurveEvaluation.h"

#include <chrono>
#include <cmath>
#include <cstdio>
#include <random>
#include <vector>

namespace
{

// A curing curve: a dip as the resin flows, then an S-shaped rise, with
// measuring noise; 300 points and the end mark, as a measurement leaves it.
BoxRecord curingCurve(std::mt19937 &random)
{
    std::uniform_real_distribution<float> centre(60, 240), width(5, 40), noise(-0.3f, 0.3f);
    const float mid = centre(random), w = width(random);
    BoxRecord box;
    for (int i = 0; i <= CurveLastPoint; ++i) {
        const float t = float(i);
        const float dip = 8.0f * std::exp(-((t - 20) * (t - 20)) / 200.0f);
        box.x[i] = 20.0f - dip + 60.0f / (1.0f + std::exp(-(t - mid) / w)) + noise(random);
        box.y[i] = 2.0f * t;
    }
    box.x[1] = box.x[0];
    box.x[CurveLastPoint + 1] = CurveEndMark;
    return box;
}

} // namespace

int main()
{
    constexpr int distinctCurves = 1000;
    constexpr int rounds = 200;
    std::mt19937 random(2005);
    std::vector<BoxRecord> boxes;
    boxes.reserve(distinctCurves);
    for (int i = 0; i < distinctCurves; ++i)
        boxes.push_back(curingCurve(random));

    double checksum = 0; // keeps the work observable
    const auto start = std::chrono::steady_clock::now();
    for (int r = 0; r < rounds; ++r) {
        for (BoxRecord &box : boxes) {
            EvaluateCurve(box);
            checksum += box.Erg[1] + box.Erg[3];
        }
    }
    const std::chrono::duration<double> elapsed = std::chrono::steady_clock::now() - start;

    const double curves = double(distinctCurves) * rounds;
    std::printf("evaluated %.0f curves of 300 points in %.3f s\n", curves, elapsed.count());
    std::printf("%.0f curves per second, %.2f us per curve (checksum %.6g)\n",
        curves / elapsed.count(), elapsed.count() / curves * 1e6, checksum);
    return 0;
}

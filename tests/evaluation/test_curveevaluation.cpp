#include "evaluation/CurveEvaluation.h"

#include <QtTest>
#include <cmath>
#include <functional>
#include <vector>

namespace
{

// A curve on heap arrays of exactly CurveSize values, so that a read beyond
// either array is caught by AddressSanitizer.
struct Curve {
    std::vector<float> x = std::vector<float>(CurveSize, 0.0f);
    std::vector<float> y = std::vector<float>(CurveSize, 0.0f);

    CurveResults evaluate() const
    {
        return EvaluateCurvePoints(std::span<const float, CurveSize>(x.data(), CurveSize),
            std::span<const float, CurveSize>(y.data(), CurveSize));
    }
};

using Shape = std::function<float(int)>;

// What a measurement leaves: `points` values from index 0, time 0 at point 0,
// the end mark behind the last point (if it fits) and zeros beyond.
Curve measured(
    int points, const Shape &value, const Shape &time = [](int i) { return 10.0f * i; })
{
    Curve c;
    for (int i = 0; i < points; ++i) {
        c.x[i] = value(i);
        c.y[i] = i == 0 ? 0.0f : time(i);
    }
    if (points < CurveSize)
        c.x[points] = CurveEndMark;
    return c;
}

Shape step(float low, float high, int lastLow)
{
    return [=](int i) { return i <= lastLow ? low : high; };
}

using Expected = std::array<float, 5>;
constexpr float unchecked = NAN;

// Results are compared bit for bit: the stored results of existing graphs are
// 32-bit floats and a double-precision evaluation differs in the last digits.
void verifyResults(const CurveResults &actual, const Expected &expected)
{
    for (int k = 1; k <= 5; ++k)
        QVERIFY2(std::isnan(expected[k - 1]) || actual[k] == expected[k - 1],
            qPrintable(QStringLiteral("Erg%1 = %2").arg(k).arg(double(actual[k]), 0, 'g', 9)));
}

} // namespace

Q_DECLARE_METATYPE(Curve)

class TestCurveEvaluation : public QObject
{
    Q_OBJECT

private slots:
    void results_data();
    void results();
};

void TestCurveEvaluation::results_data()
{
    QTest::addColumn<Curve>("curve");
    QTest::addColumn<Expected>("expected");
    const float _ = unchecked;

    // Steps after point 57, times 10 s apart: every result sits at a position
    // fixed by one window, so a window shifted by one point moves it by 10 s.
    // Erg1 = (y57 + y58) / 2 / 60, Erg2 = y60 / 60, Erg3 = 1/10 * 60 * 0.66,
    // Erg4 = y56, Erg5 = (1 - low/high) * 100.
    QTest::newRow("step") << measured(200, step(10, 50, 57))
                          << Expected { 9.58333302f, 10.0f, 3.96000004f, 560.0f, 80.0f };
    // Levels that no float holds: each mean is summed in double and rounded
    // once; summed in floats, Erg3 moves in its last digit.
    QTest::newRow("step between decimals")
        << measured(200, step(37.6f, 99.8f, 57))
        << Expected { 9.58333302f, 10.0f, 3.96000004f, 560.0f, 62.3246536f };
    // Nine equal steps of 1 every 12 points: the last steepest rise (after
    // point 107) sets the rise time. Curing level above 9 first in window
    // 105..108, flow level 4 first fills window 36..39. The curing rate
    // 1/9 per 10 s needs 0.66 as a double: 0.439999998 (0.440000027 with a
    // float constant).
    QTest::newRow("equal rises: later wins")
        << measured(130, [](int i) { return 1.0f + float(std::min(9, i / 12)); })
        << Expected { 17.916666f, 17.833334f, 0.439999998f, 370.0f, 90.0f };
    // Points 0..19 and 40..59 at 2, the others at 10: the first minimum counts.
    QTest::newRow("equal minima: earlier wins")
        << measured(100, [](int i) { return (i / 20) % 2 == 0 ? 2.0f : 10.0f; })
        << Expected { _, _, _, 190.0f, _ };
    // Minimum 67, then a step after point 40: the first window that reaches
    // 70 holds three points at 67 and one at the new level.
    QTest::newRow("flow level 70 counts")
        << measured(120, step(67, 79, 40)) << Expected { _, _, _, 390.0f, _ };
    QTest::newRow("flow level 71 does not")
        << measured(120, step(67, 83, 40)) << Expected { _, _, _, 0.0f, _ };


    // Both thresholds are rounded to float before comparing; without that
    // (or with 0.9 as a float) each crossing would be found elsewhere.
    // 0.1 + 3 rounds down to the float 3.1, which a window full of 3.1
    // reaches: flow time y42.
    QTest::newRow("flow threshold rounded")
        << measured(100, step(0.1f, 3.1f, 40)) << Expected { _, _, _, 420.0f, _ };
    // 0.9 * 41 rounds up to the float 36.9, which a window full of 36.9 does
    // not exceed: the first window holding a 41 decides, y40 / 60.
    QTest::newRow("curing threshold rounded")
        << measured(100, step(36.9f, 41.0f, 40)) << Expected { _, 6.66666651f, _, _, _ };

    // Curves that fill the arrays, with a rise in the last six points that a
    // position beyond 294 (whose window ends at index 300) would rate higher.
    // With 300 points the window after 294 holds the end mark, so the rise
    // after 293 is steepest; with 301 it is the rise after 294.
    QTest::newRow("300 points and end mark")
        << measured(300, step(10, 90, 294)) << Expected { 48.9166679f, _, _, _, _ };
    QTest::newRow("301 points, no end mark")
        << measured(301, step(10, 90, 294)) << Expected { 49.0833321f, _, _, _, _ };

    // The 6-point pass ends four points before the first zero time after
    // point 0; ending below position 10 zeroes every result.
    QTest::newRow("13 points") << measured(13, step(10, 50, 5)) << Expected { 0, 0, 0, 0, 0 };
    QTest::newRow("14 points") << measured(14, step(10, 50, 5)) << Expected { _, _, _, _, 80.0f };
}

void TestCurveEvaluation::results()
{
    QFETCH(Curve, curve);
    QFETCH(Expected, expected);
    verifyResults(curve.evaluate(), expected);
}

QTEST_GUILESS_MAIN(TestCurveEvaluation)
#include "test_curveevaluation.moc"

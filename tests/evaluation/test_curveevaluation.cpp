#include "evaluation/CurveEvaluation.h"

#include <QtTest>
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

// What a measurement leaves: `points` values from index 0, time 0 at point 0,
// the end mark behind the last point (if it fits) and zeros beyond.
Curve measured(
    int points, const std::function<float(int)> &value,
    const std::function<float(int)> &time = [](int i) { return 10.0f * i; })
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

std::function<float(int)> step(float low, float high, int lastLow)
{
    return [=](int i) { return i <= lastLow ? low : high; };
}

QString describe(const CurveResults &erg)
{
    QStringList parts;
    for (int k = 1; k <= 5; ++k)
        parts << QStringLiteral("Erg%1=%2").arg(k).arg(double(erg[k]), 0, 'g', 9);
    return parts.join(QLatin1Char(' '));
}

// Results are compared bit for bit: the stored results of existing graphs are
// 32-bit floats and a double-precision evaluation differs in the last digits.
void verifyResult(const CurveResults &actual, int k, float expected)
{
    QVERIFY2(actual[k] == expected,
        qPrintable(QStringLiteral("Erg%1 expected %2, got: %3")
                       .arg(k)
                       .arg(double(expected), 0, 'g', 9)
                       .arg(describe(actual))));
}

using Expected = std::array<float, 5>;

void verifyResults(const CurveResults &actual, const Expected &expected)
{
    for (int k = 1; k <= 5; ++k)
        verifyResult(actual, k, expected[k - 1]);
}

} // namespace

class TestCurveEvaluation : public QObject
{
    Q_OBJECT

private slots:
    void stepCurve_data();
    void stepCurve();
    void shortCurve_data();
    void shortCurve();
    void equalRisesLaterPositionWins();
    void equalMinimaEarlierPositionWins();
    void flowTimeCountsFromMinimum();
    void fourPointRiseKeptWhenSixPointPassFindsNone();
    void narrowPeakSeenByFourPointLevelsOnly();
    void fallingCurve_data();
    void fallingCurve();
    void riseTimeRange_data();
    void riseTimeRange();
    void flowTimeLevelCeiling_data();
    void flowTimeLevelCeiling();
    void flatCurves_data();
    void flatCurves();
    void comparisonSumsAreRoundedToFloat();
    void fullArraysStayInside_data();
    void fullArraysStayInside();
    void boxKeepsEverythingButResults();
};

// A single step from `low` to `high` after point k; times 10 s apart. Every
// result sits at a position fixed by one window, so a window shifted by one
// point moves a result by 10 s.
void TestCurveEvaluation::stepCurve_data()
{
    QTest::addColumn<float>("low");
    QTest::addColumn<float>("high");
    QTest::addColumn<int>("k");
    QTest::addColumn<Expected>("expected");

    // Erg1 = (y(k) + y(k+1)) / 2 / 60, Erg2 = y(k+3) / 60, Erg3 = 1/10 * 60 * 0.66,
    // Erg4 = y(k-1), Erg5 = (1 - low/high) * 100.
    QTest::newRow("middle step") << 10.0f << 50.0f << 57
                                 << Expected { 9.58333302f, 10.0f, 3.96000004f, 560.0f, 80.0f };
    QTest::newRow("late step") << 10.0f << 50.0f << 150
                               << Expected { 25.083334f, 25.5f, 3.96000004f, 1490.0f, 80.0f };
    // 1/6 taken in double and rounded once gives 83.3333359; float steps
    // would give 83.3333282. The 3-point flow rise is reached only with three
    // high points in the window: Erg4 = y(k+1).
    QTest::newRow("flexibility rounded once")
        << 1.0f << 6.0f << 57 << Expected { 9.58333302f, 10.0f, 3.96000004f, 580.0f, 83.3333359f };
}

void TestCurveEvaluation::stepCurve()
{
    QFETCH(float, low);
    QFETCH(float, high);
    QFETCH(int, k);
    QFETCH(Expected, expected);
    verifyResults(measured(200, step(low, high, k)).evaluate(), expected);
}

// The 6-point pass ends at the first position i with y(i+4) = 0, i.e. four
// points before the first zero time after point 0; ending below 10 zeroes
// every result.
void TestCurveEvaluation::shortCurve_data()
{
    QTest::addColumn<int>("points");
    QTest::addColumn<bool>("judged");

    QTest::newRow("no points") << 0 << false;
    QTest::newRow("start point only") << 1 << false;
    for (int n = 6; n <= 13; ++n)
        QTest::addRow("%d points", n) << n << false;
    QTest::newRow("14 points") << 14 << true;
    QTest::newRow("15 points") << 15 << true;
    QTest::newRow("40 points") << 40 << true;
}

void TestCurveEvaluation::shortCurve()
{
    QFETCH(int, points);
    QFETCH(bool, judged);
    const CurveResults erg = measured(points, step(10, 50, 5)).evaluate();
    if (judged) {
        verifyResult(erg, 5, 80.0f);
        QVERIFY(erg[1] > 0 && erg[2] > 0 && erg[3] > 0 && erg[4] > 0);
    } else {
        verifyResults(erg, { 0, 0, 0, 0, 0 });
    }
}

// A staircase of nine equal steps of 1 every 12 points: every step is the
// same steepest rise, and the last one must set the rise time. Its curing
// rate 1/9 per 10 s needs 0.66 as a double: 0.439999998 (0.440000027 with a
// float constant).
void TestCurveEvaluation::equalRisesLaterPositionWins()
{
    const Curve c = measured(130, [](int i) { return 1.0f + float(std::min(9, i / 12)); });
    // last step after point 107; curing level above 9 first in window 105..108;
    // flow level 4 first fills window 36..39.
    verifyResults(c.evaluate(), { 17.916666f, 17.833334f, 0.439999998f, 370.0f, 90.0f });
}

// The level 2 appears twice; the flow time is measured from the first one.
void TestCurveEvaluation::equalMinimaEarlierPositionWins()
{
    // points 0..19 and 40..59 at 2, the others at 10
    const Curve c = measured(100, [](int i) { return (i / 20) % 2 == 0 ? 2.0f : 10.0f; });
    verifyResult(c.evaluate(), 4, 190.0f);
}

// A dip of exactly four points: its one minimum window ends at point 23, and
// the flow time can start no earlier, although the level before the dip
// already lies 3 points above it.
void TestCurveEvaluation::flowTimeCountsFromMinimum()
{
    const Curve c = measured(100, [](int i) { return i >= 20 && i <= 23 ? 10.0f : 50.0f; });
    verifyResult(c.evaluate(), 4, 230.0f);
}

// A falling ramp with two equal steps up of 4.5: only the 4-point windows
// ending at a step see a rise (of 0.5), so the later of the two pass-1 rises
// gives Erg1, and the curing rate is 0 because pass 3 found no rise.
void TestCurveEvaluation::fourPointRiseKeptWhenSixPointPassFindsNone()
{
    const Curve c = measured(90,
        [](int i) { return 100.0f - float(i) + (i > 30 ? 4.5f : 0.0f) + (i > 60 ? 4.5f : 0.0f); });
    const CurveResults erg = c.evaluate();
    verifyResult(erg, 1, 10.083333f); // (600 + 610) / 2 / 60
    verifyResult(erg, 3, 0.0f);
}

// A step from 10 to 50 after point 40 with a 4-point peak of 90 at 80..83.
// Flexibility takes the 4-point maximum 90; curing time and rate the 6-point
// maximum 460/6 of pass 3. After the step the points lie 15 s apart, so the
// rise step is the one after the rise, not the one before.
void TestCurveEvaluation::narrowPeakSeenByFourPointLevelsOnly()
{
    const Curve c = measured(
        150,
        [](int i) {
            if (i <= 40)
                return 10.0f;
            return i >= 80 && i <= 83 ? 90.0f : 50.0f;
        },
        [](int i) { return i <= 40 ? 10.0f * i : 10.0f * i + 5.0f * (i - 40); });
    // Erg2 = y(80) / 60; Erg3 = 40 / (460/6 - 10) / 15 * 60 * 0.66
    verifyResults(c.evaluate(), { 6.79166651f, 16.666666f, 1.58400011f, 390.0f, 88.8888855f });
}

// No window rises, so the rise time and rise step stay 0. The minimum is the
// last 4-point window of pass 1 (ending at n-4, or at 296 on a full curve).
void TestCurveEvaluation::fallingCurve_data()
{
    QTest::addColumn<int>("points");
    QTest::addColumn<Expected>("expected");

    QTest::newRow("200 points") << 200 << Expected { 0.0f, 1.0f, 0.0f, 0.0f, 60.5965462f };
    QTest::newRow("300 points") << 300 << Expected { 0.0f, 1.0f, 0.0f, 2960.0f, 91.993721f };
}

void TestCurveEvaluation::fallingCurve()
{
    QFETCH(int, points);
    QFETCH(Expected, expected);
    verifyResults(
        measured(points, [](int i) { return 80.0f - 0.25f * float(i); }).evaluate(), expected);
}

// Times shifted by `offset` put the mid time of the steepest rise (after
// point 150, points 20 s apart) at offset + 3010.
void TestCurveEvaluation::riseTimeRange_data()
{
    QTest::addColumn<float>("offset");
    QTest::addColumn<float>("erg1");

    QTest::newRow("negative") << -4005.0f << 0.0f;
    QTest::newRow("ordinary") << 0.0f << 50.1666679f;
    QTest::newRow("at 29940") << 26930.0f << 499.0f;
    QTest::newRow("above 29940") << 26950.0f << 0.0f;
}

void TestCurveEvaluation::riseTimeRange()
{
    QFETCH(float, offset);
    QFETCH(float, erg1);
    // None of the offsets puts a time of 0, which would end the curve.
    const Curve c
        = measured(200, step(10, 50, 150), [=](int i) { return offset + 20.0f * float(i); });
    const CurveResults erg = c.evaluate();
    verifyResult(erg, 1, erg1);
    verifyResult(erg, 3, 1.98000002f); // rise step 20 s
    verifyResult(erg, 5, 80.0f);
}

// Minimum 67, then a step to `high`: the first window of pass 2 that reaches
// 70 holds three points at 67 and one at `high`.
void TestCurveEvaluation::flowTimeLevelCeiling_data()
{
    QTest::addColumn<float>("high");
    QTest::addColumn<float>("erg4");

    QTest::newRow("crossing at 70") << 79.0f << 390.0f;
    QTest::newRow("crossing at 71") << 83.0f << 0.0f;
}

void TestCurveEvaluation::flowTimeLevelCeiling()
{
    QFETCH(float, high);
    QFETCH(float, erg4);
    verifyResult(measured(120, step(67, high, 40)).evaluate(), 4, erg4);
}

void TestCurveEvaluation::flatCurves_data()
{
    QTest::addColumn<int>("points");
    QTest::addColumn<float>("level");
    QTest::addColumn<Expected>("expected");

    // Every 6-point rise is 0 up to position n-7, the last of them wins.
    // Pass 2 never climbs 3 points and ends at 296, where the time is 0 on a
    // shorter curve.
    QTest::newRow("200 points at 50")
        << 200 << 50.0f << Expected { 32.25f, 1.0f, 0.0f, 0.0f, 0.0f };
    QTest::newRow("300 points at 50")
        << 300 << 50.0f << Expected { 48.9166679f, 1.0f, 0.0f, 2960.0f, 0.0f };
    // Nothing ever exceeds 0.9 times a level of 0, so pass 4 runs to 297.
    QTest::newRow("300 points at 0")
        << 300 << 0.0f << Expected { 48.9166679f, 49.5f, 0.0f, 2960.0f, 0.0f };
    // All levels at 100 or above: the minimum stays 100 at time 0, so the
    // first flow window qualifies but lies above 70.
    QTest::newRow("200 points at 120")
        << 200 << 120.0f << Expected { 32.25f, 1.0f, 0.0f, 0.0f, 16.666666f };
}

void TestCurveEvaluation::flatCurves()
{
    QFETCH(int, points);
    QFETCH(float, level);
    QFETCH(Expected, expected);
    verifyResults(measured(points, [=](int) { return level; }).evaluate(), expected);
}

// Both thresholds are rounded to float before comparing. Without that
// rounding (or with 0.9 as a float) each test below would find its crossing
// elsewhere.
void TestCurveEvaluation::comparisonSumsAreRoundedToFloat()
{
    // 0.1 + 3 rounds down to the float 3.1, which a window full of 3.1
    // therefore reaches: flow time y(42).
    verifyResult(measured(100, step(0.1f, 3.1f, 40)).evaluate(), 4, 420.0f);

    // 0.9 * 41 rounds up to the float 36.9, which a window full of 36.9 does
    // not exceed: the first window holding a 41 decides, y(40) / 60.
    verifyResult(measured(100, step(36.9f, 41.0f, 40)).evaluate(), 2, 6.66666651f);
}

// Curves that fill the arrays: the windows must stay inside them. The last
// six-point position is 294, whose window ends at index 300.
void TestCurveEvaluation::fullArraysStayInside_data()
{
    QTest::addColumn<int>("points");
    QTest::addColumn<float>("erg1");

    // the window after 294 holds the end mark, so the rise after 293 is steepest
    QTest::newRow("300 points and end mark") << 300 << 48.9166679f;
    QTest::newRow("301 points, no end mark") << 301 << 49.0833321f; // rise after 294
}

void TestCurveEvaluation::fullArraysStayInside()
{
    QFETCH(int, points);
    QFETCH(float, erg1);
    // A rise in the last six points, which a position beyond 294 would rate
    // higher still.
    verifyResult(measured(points, step(10, 90, 294)).evaluate(), 1, erg1);
}

void TestCurveEvaluation::boxKeepsEverythingButResults()
{
    BoxRecord box;
    const Curve c = measured(200, step(10, 50, 57));
    std::copy(c.x.begin(), c.x.end(), box.x.begin());
    std::copy(c.y.begin(), c.y.end(), box.y.begin());
    box.Status = BoxStatus::Graph;
    box.Changed = true;
    for (int k = 1; k <= 5; ++k) {
        box.GWU[k] = 1.0f * k;
        box.GwO[k] = 2.0f * k;
        box.Abw[k] = 3.0f * k;
    }
    const BoxRecord before = box;

    EvaluateCurve(box);

    verifyResults(box.Erg, { 9.58333302f, 10.0f, 3.96000004f, 560.0f, 80.0f });
    QVERIFY(box.x == before.x && box.y == before.y);
    QVERIFY(box.GWU == before.GWU && box.GwO == before.GwO && box.Abw == before.Abw);
    QCOMPARE(box.Changed, true);
    QCOMPARE(box.Stored, false);
    QCOMPARE(box.Status, BoxStatus::Graph);
}

QTEST_GUILESS_MAIN(TestCurveEvaluation)
#include "test_curveevaluation.moc"

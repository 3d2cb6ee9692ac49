#include "evaluation/ResultStatistics.h"

#include <QtTest>
#include <cmath>

class TestResultStatistics : public QObject
{
    Q_OBJECT

private slots:
    void figuresOfKnownValues();
    void capabilityOnlyWithSharedLimits();
    void graphsWithoutLimitFileAreNotJudged();
};

namespace
{

GraphResult graph(float erg, float lower = 10, float upper = 20, const QString &file = "paper")
{
    GraphResult g;
    g.GrwBez = file;
    for (int k = 1; k <= 5; ++k) {
        g.Erg[k] = erg * k;
        g.GWU[k] = lower * k;
        g.GwO[k] = upper * k;
    }
    return g;
}

} // namespace

void TestResultStatistics::figuresOfKnownValues()
{
    // 12, 14, 16, 18, 9 (below), 21 (above): mean 15, sample variance 92 / 5.
    QList<GraphResult> graphs;
    for (float v : { 12.f, 14.f, 16.f, 18.f, 9.f, 21.f })
        graphs << graph(v);
    const auto f = ComputeResultStatistics(graphs);
    QCOMPARE(f[1].count, 6);
    QCOMPARE(f[1].mean, 15.0);
    QVERIFY(std::abs(*f[1].standardDeviation - std::sqrt(18.4)) < 1e-12);
    QCOMPARE(f[1].minimum, 9.0);
    QCOMPARE(f[1].maximum, 21.0);
    QCOMPARE(f[1].outside, 2);
    QCOMPARE(f[3].mean, 45.0);
    // Cp = (20 - 10) / 6s; Cpk = min(20 - 15, 15 - 10) / 3s.
    QVERIFY(std::abs(*f[1].cp - 10 / (6 * std::sqrt(18.4))) < 1e-12);
    QVERIFY(std::abs(*f[1].cpk - 5 / (3 * std::sqrt(18.4))) < 1e-12);

    // Values far from zero keep their small spread.
    QList<GraphResult> far { graph(10000.5f), graph(10001.5f), graph(10002.5f) };
    QCOMPARE(*ComputeResultStatistics(far)[1].standardDeviation, 1.0);

    // One graph has no spread; none has no figures at all.
    const auto one = ComputeResultStatistics({ graph(12) });
    QCOMPARE(one[1].count, 1);
    QCOMPARE(one[1].mean, 12.0);
    QVERIFY(!one[1].standardDeviation && !one[1].cp);
    QCOMPARE(ComputeResultStatistics({})[5].count, 0);
}

void TestResultStatistics::capabilityOnlyWithSharedLimits()
{
    const QList<GraphResult> other { graph(12), graph(14, 10, 20, "board") };
    QVERIFY(!CommonLimits(other));
    QVERIFY(!ComputeResultStatistics(other)[1].cp);
    const QList<GraphResult> changed { graph(12), graph(14, 11, 20) };
    QVERIFY(!CommonLimits(changed));
    const QList<GraphResult> shared { graph(12), graph(14) };
    QCOMPARE(CommonLimits(shared)->GrwBez, QStringLiteral("paper"));
    QVERIFY(ComputeResultStatistics(shared)[2].cpk);
    // No spread, or limits the wrong way round: no capability to state.
    QVERIFY(!ComputeResultStatistics({ graph(12), graph(12) })[1].cp);
    QVERIFY(!ComputeResultStatistics({ graph(12, 20, 10), graph(14, 20, 10) })[1].cp);
}

void TestResultStatistics::graphsWithoutLimitFileAreNotJudged()
{
    const GraphResult unlimited = graph(12, 0, 0, QString());
    QVERIFY(!OutsideLimits(unlimited, 1));
    QVERIFY(!CommonLimits({ unlimited, unlimited }));
    QVERIFY(OutsideLimits(graph(9.99f), 1));
    QVERIFY(!OutsideLimits(graph(10), 1)); // the limits themselves are inside
    QVERIFY(!OutsideLimits(graph(20), 1));
    QVERIFY(OutsideLimits(graph(20.01f), 1));
}

QTEST_GUILESS_MAIN(TestResultStatistics)
#include "test_resultstatistics.moc"

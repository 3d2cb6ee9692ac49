#include "core/LimitCheck.h"
#include "core/BoxRecord.h"

#include <QtTest>

class TestLimitCheck : public QObject
{
    Q_OBJECT

private slots:
    void deviation();
};

// Every result k of a box against its own limits; a stale deviation is
// always replaced. Crossed limits are not repaired: below the lower limit
// counts first, otherwise above the upper one.
void TestLimitCheck::deviation()
{
    const auto abw = [](float value, float lower, float upper) {
        BoxRecord box;
        box.Erg.fill(value);
        box.GWU.fill(lower);
        box.GwO.fill(upper);
        box.Abw.fill(99);
        CheckLimits(box);
        for (int k = 2; k <= 5; ++k)
            if (box.Abw[k] != box.Abw[1])
                return -99.0f;
        return box.Abw[1];
    };
    QCOMPARE(abw(12, 10, 11), 1.0f);
    QCOMPARE(abw(12, 13, 20), -1.0f);
    QCOMPARE(abw(10, 10, 20), 0.0f);
    QCOMPARE(abw(12, 10, 3), 9.0f);
}

QTEST_GUILESS_MAIN(TestLimitCheck)
#include "test_limitcheck.moc"

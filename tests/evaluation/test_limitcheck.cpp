#include "evaluation/LimitCheck.h"
#include "shell/BoxRecord.h"

#include <QtTest>

class TestLimitCheck : public QObject
{
    Q_OBJECT

private slots:
    void deviation_data();
    void deviation();
};

void TestLimitCheck::deviation_data()
{
    QTest::addColumn<float>("value");
    QTest::addColumn<float>("lower");
    QTest::addColumn<float>("upper");
    QTest::addColumn<float>("deviation");
    QTest::newRow("above upper") << 12.0f << 10.0f << 11.0f << 1.0f;
    QTest::newRow("below lower") << 12.0f << 13.0f << 20.0f << -1.0f;
    QTest::newRow("on lower limit") << 10.0f << 10.0f << 20.0f << 0.0f;
    // Crossed limits are not repaired: below the lower limit counts first,
    // otherwise above the upper one.
    QTest::newRow("crossed, between") << 12.0f << 10.0f << 3.0f << 9.0f;
}

void TestLimitCheck::deviation()
{
    QFETCH(float, value);
    QFETCH(float, lower);
    QFETCH(float, upper);
    QFETCH(float, deviation);
    for (int k = 1; k <= 5; ++k) {
        BoxRecord box;
        box.Erg[k] = value;
        box.GWU[k] = lower;
        box.GwO[k] = upper;
        box.Abw[k] = 99; // a stale deviation is always replaced
        CheckLimits(box);
        QVERIFY2(box.Abw[k] == deviation,
            qPrintable(QStringLiteral("Abw%1 = %2").arg(k).arg(box.Abw[k])));
    }
}

QTEST_GUILESS_MAIN(TestLimitCheck)
#include "test_limitcheck.moc"

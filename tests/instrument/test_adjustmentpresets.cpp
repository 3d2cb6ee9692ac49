#include "instrument/Adjustments.h"

#include <QtTest>

class AdjustmentPresetsTest : public QObject
{
    Q_OBJECT
private slots:
    void voltageFromPaperWeight_data();
    void voltageFromPaperWeight();
};

void AdjustmentPresetsTest::voltageFromPaperWeight_data()
{
    QTest::addColumn<float>("weight");
    QTest::addColumn<int>("volts");
    QTest::newRow("none") << 0.0f << 6;
    QTest::newRow("half rounds to even zero") << 0.5f << 6;
    QTest::newRow("28.5 to 28") << 28.5f << 2;
    QTest::newRow("29.5 to 30") << 29.5f << 3;
    QTest::newRow("79") << 79.0f << 5;
    QTest::newRow("80") << 80.0f << 6;
    QTest::newRow("200.5 to 200") << 200.5f << 8;
    QTest::newRow("heavy") << 201.0f << 10;
    QTest::newRow("negative") << -1.0f << 10;
}

void AdjustmentPresetsTest::voltageFromPaperWeight()
{
    QFETCH(float, weight);
    QFETCH(int, volts);
    QCOMPARE(Ein3FromPaperWeight(weight), volts);
}

QTEST_GUILESS_MAIN(AdjustmentPresetsTest)
#include "test_adjustmentpresets.moc"

#include "instrument/Adjustments.h"
#include "shell/Settings.h"
#include "store/SettingsTables.h"

#include <QtTest>

class AdjustmentPresetsTest : public QObject
{
    Q_OBJECT
private slots:
    void voltageFromPaperWeight_data();
    void voltageFromPaperWeight();
    void presetsFollowTheScope();
    void scopeTables();
    void copiesBetweenBoxAndWorkingCopy();
};

void AdjustmentPresetsTest::voltageFromPaperWeight_data()
{
    QTest::addColumn<float>("weight");
    QTest::addColumn<int>("volts");
    QTest::newRow("none") << 0.0f << 6;
    QTest::newRow("half rounds to even zero") << 0.5f << 6;
    QTest::newRow("light") << 1.0f << 2;
    QTest::newRow("28.5 to 28") << 28.5f << 2;
    QTest::newRow("29.5 to 30") << 29.5f << 3;
    QTest::newRow("40") << 40.0f << 4;
    QTest::newRow("79") << 79.0f << 5;
    QTest::newRow("80") << 80.0f << 6;
    QTest::newRow("109") << 109.0f << 6;
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

void AdjustmentPresetsTest::presetsFollowTheScope()
{
    Settings s;
    s.Ruehrer = 40;
    s.Temp = 23;
    FillSettingsTables(s);
    s.ZeroPoint = 1.25f;
    s.ScopeOfTime = 10;
    TransferAdjustments(1, s);
    const std::array<float, 11> expected = {0, 40, 23, 0, 10, 350, 100, 0.18f, 0.5f, 1.25f, 10};
    for (int k = 1; k <= 10; ++k)
        QCOMPARE(s.AdjCurrent[k], expected[k]);

    s.ScopeOfTime = 250;
    TransferAdjustments(1, s);
    QCOMPARE(s.AdjCurrent[4], 150.0f);
    QCOMPARE(s.AdjLimits[11 + ScopeIndex(250)].minimum, 50.0f);

    s.ScopeOfTime = 7; // none of the eight: the row without preset
    TransferAdjustments(1, s);
    QCOMPARE(s.AdjCurrent[4], -1.0f);
    QCOMPARE(s.AdjCurrent[10], 7.0f);
}

void AdjustmentPresetsTest::scopeTables()
{
    QCOMPARE(ScopeMinutes(1), 2.5f);
    QCOMPARE(ScopeMinutes(8), 500.0f);
    QCOMPARE(ScopeMinutes(0), 0.0f);
    QCOMPARE(ScopeMinutes(9), 0.0f);
    QCOMPARE(ScopeIndex(250), 7);
    QCOMPARE(ScopeIndex(2.5f), 1);
    QCOMPARE(ScopeIndex(3), 0);
}

void AdjustmentPresetsTest::copiesBetweenBoxAndWorkingCopy()
{
    Settings s;
    s.ActiveBox = 3;
    for (int k = 1; k <= 10; ++k)
        s.AdjCurrent[k] = float(k * 2);
    TransferAdjustments(0, s);
    QCOMPARE(s.Box(3).Ein[7], 14.0f);
    QCOMPARE(s.Box(1).Ein[7], 0.0f);
    s.AdjCurrent.fill(0);
    TransferAdjustments(2, s);
    QCOMPARE(s.AdjCurrent[10], 20.0f);
}

QTEST_GUILESS_MAIN(AdjustmentPresetsTest)
#include "test_adjustmentpresets.moc"

#include "TestSupport.h"
#include "shell/BoxRecord.h"
#include "store/CurveCells.h"

#include <QtTest>

class CurveCellsTest : public QObject
{
    Q_OBJECT
private slots:
    void cellsAreSixCharacters();
    void curveRoundTrip();
    void fullCurveFillsEveryCell();
    void readerAcceptsEitherSeparator();
    void readerStaysInsideArrays();
};

void CurveCellsTest::cellsAreSixCharacters()
{
    const Notation n = commaNotation();
    QCOMPARE(CurveCell(12.3456789f, n), QStringLiteral("12,345"));
    QCOMPARE(CurveCell(-1000.0f, n), QStringLiteral("-1000 "));
    QCOMPARE(CurveCell(100.123f, n), QStringLiteral("100,12"));
    QCOMPARE(CurveCell(0.0f, n), QStringLiteral("0     "));
    QCOMPARE(ReadCurveCell(QStringLiteral("100,12")), 100.12f);
}

void CurveCellsTest::curveRoundTrip()
{
    BoxRecord box;
    for (int i = 0; i < 12; ++i) {
        box.x[i] = 10.0f + i * 0.5f;
        box.y[i] = i * 10.0f;
    }
    box.x[12] = CurveEndMark;
    const CurveTexts t = WriteCurveCells(box, commaNotation());
    QCOMPARE(t.x.size(), 78);
    QCOMPARE(t.y.size(), 78);

    BoxRecord back;
    back.x.fill(7);
    ReadCurveCells(t.x, t.y, back);
    QCOMPARE(back.pointCount(), 12);
    QCOMPARE(back.x[5], 12.5f);
    QCOMPARE(back.y[11], 110.0f);
    QCOMPARE(back.x[12], CurveEndMark);
    QCOMPARE(back.x[13], 7.0f); // beyond the stored cells nothing changes
}

void CurveCellsTest::fullCurveFillsEveryCell()
{
    BoxRecord box;
    for (int i = 0; i < 300; ++i)
        box.x[i] = 50;
    box.x[300] = CurveEndMark;
    const CurveTexts t = WriteCurveCells(box, pointNotation());
    QCOMPARE(t.x.size(), 1806);

    // Without an end mark the writer stops at the last element all the same.
    box.x[300] = 50;
    QCOMPARE(WriteCurveCells(box, pointNotation()).x.size(), 1806);
}

void CurveCellsTest::readerAcceptsEitherSeparator()
{
    BoxRecord box;
    ReadCurveCells(QStringLiteral("1.5   2,25  -1000 "), QStringLiteral("0     30    60    "), box);
    QCOMPARE(box.x[0], 1.5f);
    QCOMPARE(box.x[1], 2.25f);
    QCOMPARE(box.y[1], 30.0f);
    QCOMPARE(box.pointCount(), 2);
}

void CurveCellsTest::readerStaysInsideArrays()
{
    BoxRecord box;
    ReadCurveCells(QString(), QString(), box);
    QCOMPARE(box.x[0], 0.0f);

    // An over-long or uneven text reads at most 301 cells; a short y reads as 0.
    const QString longX = QString(6 * 400, QLatin1Char('1'));
    ReadCurveCells(longX, QStringLiteral("5     "), box);
    QCOMPARE(box.x[300], 111111.0f);
    QCOMPARE(box.y[0], 5.0f);
    QCOMPARE(box.y[1], 0.0f);
}

QTEST_GUILESS_MAIN(CurveCellsTest)
#include "test_curvecells.moc"

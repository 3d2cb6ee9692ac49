#include "TestSupport.h"
#include "shell/BoxRecord.h"
#include "store/CurveCells.h"

#include <QtTest>

class CurveCellsTest : public QObject
{
    Q_OBJECT
private slots:
    void writerStopsAtTheEndMarkOrTheLastElement()
    {
        BoxRecord box;
        box.x.fill(50);
        box.x[12] = CurveEndMark;
        QCOMPARE(WriteCurveCells(box, pointNotation()).x.size(), 6 * 13);
        box.x[12] = 50; // no end mark at all
        QCOMPARE(WriteCurveCells(box, pointNotation()).x.size(), 1806);
    }

    void readerAcceptsEitherSeparator()
    {
        BoxRecord box;
        box.x.fill(7);
        ReadCurveCells(
            QStringLiteral("1.5   2,25  -1000 "), QStringLiteral("0     30    60    "), box);
        QCOMPARE(box.x[0], 1.5f);
        QCOMPARE(box.x[1], 2.25f);
        QCOMPARE(box.y[1], 30.0f);
        QCOMPARE(box.pointCount(), 2);
        QCOMPARE(box.x[3], 7.0f); // beyond the stored cells nothing changes
    }

    void readerStaysInsideArrays()
    {
        BoxRecord box;
        ReadCurveCells(QString(), QString(), box);
        QCOMPARE(box.x[0], 0.0f);

        // An over-long or uneven text reads at most 301 cells; a short y reads as 0.
        ReadCurveCells(QString(6 * 400, QLatin1Char('1')), QStringLiteral("5     "), box);
        QCOMPARE(box.x[300], 111111.0f);
        QCOMPARE(box.y[0], 5.0f);
        QCOMPARE(box.y[1], 0.0f);
    }
};

QTEST_GUILESS_MAIN(CurveCellsTest)
#include "test_curvecells.moc"

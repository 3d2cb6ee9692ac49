#include "core/Notation.h"
#include "core/Settings.h"
#include "display/DashedLine.h"
#include "display/RecordingSurface.h"
#include "display/TrendChart.h"

#include <QImage>
#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>
#include <cmath>

class TestTrendChart : public QObject
{
    Q_OBJECT

private slots:
    void dashesRunOnAcrossSegments();
    void limitsMeanAndPointsWhereTheyBelong();
    void pdfPageShowsLimitLinesAndPoints();
};

namespace
{

// Ten flow times against the limits 100 .. 200; two lie outside.
TrendSeries flowTimes()
{
    TrendSeries s;
    s.caption = QStringLiteral("Flow time:");
    s.unit = QStringLiteral("sec.");
    s.selection = QStringLiteral("resin A");
    const double values[] = { 120, 150, 90, 160, 140, 130, 210, 170, 150, 145 };
    double sum = 0;
    for (int i = 0; i < 10; ++i) {
        TrendPoint p;
        p.date = QDate(2026, 11, 1).addDays(i * 3);
        p.value = values[i];
        p.lower = 100;
        p.upper = 200;
        p.outside = values[i] < 100 || values[i] > 200;
        s.points << p;
        sum += values[i];
    }
    s.mean = sum / 10;
    s.standardDeviation = 30;
    s.figures = QStringList { QStringLiteral("Count: 10   Outside the limits: 2") };
    return s;
}

double length(const RecordingSurface::Line &l)
{
    return std::hypot(l.x2 - l.x1, l.y2 - l.y1);
}

QList<RecordingSurface::Line> linesOf(const RecordingSurface &s, qint32 colour)
{
    QList<RecordingSurface::Line> found;
    for (const auto &l : s.lines)
        if (l.color == colour)
            found << l;
    return found;
}

} // namespace

void TestTrendChart::dashesRunOnAcrossSegments()
{
    RecordingSurface s;
    DashedLine dashes(s, 120, 80);
    dashes.moveTo(0, 0);
    dashes.lineTo(100, 0); // inside the first dash
    dashes.lineTo(1000, 0);
    double drawn = 0;
    for (const auto &l : s.lines)
        drawn += length(l);
    QCOMPARE(drawn, 600.0); // five dashes of 120 in 1000
    QCOMPARE(s.lines.at(1).x1, 100.0); // the first dash goes on after the bend
    QCOMPARE(s.lines.at(1).x2, 120.0);
    QCOMPARE(s.lines.last().x1, 800.0);
}

void TestTrendChart::limitsMeanAndPointsWhereTheyBelong()
{
    RecordingSurface s(QSizeF(12000, 6000));
    const QRectF area(0, 0, 12000, 6000);
    DrawTrendChart(s, flowTimes(), area, Notation());

    // Both limits as lines across all ten points, at their own heights.
    const auto limits = linesOf(s, TrendColour::Limit);
    QVERIFY(!limits.isEmpty());
    QList<double> heights;
    for (const auto &l : limits) {
        QCOMPARE(l.y1, l.y2); // no steps: one shared limit file
        if (!heights.contains(l.y1))
            heights << l.y1;
    }
    QCOMPARE(heights.size(), 2 + 1); // two limit lines and the legend sample
    // The crosses of the two outside points: beyond the limit lines.
    const auto crosses = linesOf(s, TrendColour::Outside);
    QCOMPARE(crosses.size(), 2 * 2 + 2); // two points, and the legend's cross
    const double lowLine = std::max(heights.at(0), heights.at(1));
    const double highLine = std::min(heights.at(0), heights.at(1));
    QVERIFY((crosses.at(0).y1 + crosses.at(0).y2) / 2 > lowLine); // 90 below 100
    QVERIFY((crosses.at(2).y1 + crosses.at(2).y2) / 2 < highLine); // 210 above 200
    // Eight inside points as squares, besides the frame and the legend square.
    QCOMPARE(s.rectangles.size(), 8 + 2);
    // Mean 146.5 lies between the limits; the +-3 s lines are dashed.
    const auto mean = linesOf(s, TrendColour::Mean);
    QVERIFY(mean.first().y1 < lowLine && mean.first().y1 > highLine);
    QVERIFY(linesOf(s, TrendColour::Spread).size() > 20);
    QVERIFY(s.textStrings().contains(Notation().date(QDate(2026, 11, 1))));
    QVERIFY(s.textStrings().contains(QStringLiteral("200")));
}

void TestTrendChart::pdfPageShowsLimitLinesAndPoints()
{
    QTemporaryDir dir;
    const QString pdf = dir.filePath(QStringLiteral("trend.pdf"));
    Settings margins;
    TrendSeries second = flowTimes();
    second.caption = QStringLiteral("Curing time:");
    QString error;
    QVERIFY2(PrintTrendChartsToPdf(pdf, { flowTimes(), second }, margins, Notation(), &error),
        qPrintable(error));
    QProcess render;
    render.start(QStringLiteral("pdftoppm"),
        { QStringLiteral("-r"), QStringLiteral("100"), QStringLiteral("-aaVector"),
            QStringLiteral("no"), QStringLiteral("-png"), pdf,
            dir.filePath(QStringLiteral("page")) });
    QVERIFY(render.waitForFinished(60000));
    QCOMPARE(render.exitCode(), 0);
    QVERIFY(QFile::exists(dir.filePath(QStringLiteral("page-2.png")))); // one page per result
    QVERIFY(!QFile::exists(dir.filePath(QStringLiteral("page-3.png"))));
    const QImage page(dir.filePath(QStringLiteral("page-1.png")));
    if (const QByteArray keep = qgetenv("ZANDOR_TREND_PICTURE"); !keep.isEmpty())
        QFile::copy(dir.filePath(QStringLiteral("page-1.png")), QString::fromLocal8Bit(keep));
    QVERIFY(!page.isNull());
    // Rows mostly in the limits' red: the two limit lines across the plot.
    int limitRows = 0, crossPixels = 0, pointPixels = 0;
    for (int y = 0; y < page.height(); ++y) {
        int limitRed = 0;
        for (int x = 0; x < page.width(); ++x) {
            const QColor c = page.pixelColor(x, y);
            if (c.red() > 150 && c.red() < 230 && c.green() < 60 && c.blue() < 60)
                ++limitRed;
            if (c.red() > 230 && c.green() < 60 && c.blue() < 60)
                ++crossPixels;
            if (c.red() < 60 && c.green() < 60 && c.blue() < 60)
                ++pointPixels;
        }
        if (limitRed > page.width() / 2)
            ++limitRows;
    }
    QVERIFY2(limitRows >= 2, qPrintable(QString::number(limitRows)));
    QVERIFY2(crossPixels > 20, qPrintable(QString::number(crossPixels)));
    QVERIFY(pointPixels > 200);
}

QTEST_MAIN(TestTrendChart)
#include "test_trendchart.moc"

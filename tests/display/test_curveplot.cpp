#include "display/BgrColor.h"
#include "display/CurvePlot.h"
#include "display/PainterSurface.h"
#include "display/RecordingSurface.h"
#include "shell/BoxRecord.h"
#include "support/TestSupport.h"

#include <QImage>
#include <QPainter>
#include <QtTest>

namespace
{

// A curve of `points` points after the start point, one every 10 s, rising
// by one percent a point from 10 %.
BoxRecord curveBox(int points, float scope = 10)
{
    BoxRecord box;
    box.Status = BoxStatus::Graph;
    box.Ein[10] = scope;
    for (int i = 0; i < CurveSize; ++i) {
        box.x[i] = i <= points ? 10.0f + i : CurveEndMark;
        box.y[i] = 10.0f * i;
    }
    box.x[0] = 99; // never drawn: the first reading is replaced by the second
    return box;
}

void setGraphScale(DrawingSurface &s)
{
    s.setScale(GraphScale::Left, GraphScale::Top, GraphScale::Right, GraphScale::Bottom);
}

} // namespace

class TestCurvePlot : public QObject
{
    Q_OBJECT

private slots:
    void curveEndsAtTheFirstMark_data();
    void curveEndsAtTheFirstMark();
    void axesGridAndUprightCaption();
    void timeLabels_data();
    void timeLabels();
    void paperLabelsAreStaggered_data();
    void paperLabelsAreStaggered();
    void screenCurveLandsInBoxColour();
};

void TestCurvePlot::curveEndsAtTheFirstMark_data()
{
    QTest::addColumn<int>("points");
    QTest::addColumn<float>("scope");
    QTest::addColumn<int>("segments");
    QTest::addColumn<QPointF>("end"); // of the last segment
    QTest::newRow("x[2] is the end mark") << 1 << 10.0f << 1 << QPointF(25, -110);
    // Past the end of the time axis, unclipped, and not beyond the arrays.
    QTest::newRow("301 values") << 300 << 40.0f << 300 << QPointF(1875, -3095);
    QTest::newRow("the start point alone") << 0 << 10.0f << 0 << QPointF();
    QTest::newRow("no points at all") << -1 << 10.0f << 0 << QPointF();
    QTest::newRow("no scope") << 20 << 0.0f << 0 << QPointF();
}

void TestCurvePlot::curveEndsAtTheFirstMark()
{
    QFETCH(int, points);
    QFETCH(float, scope);
    QFETCH(int, segments);
    QFETCH(QPointF, end);
    BoxRecord box = curveBox(points, scope);
    if (points < 0)
        box.x[0] = CurveEndMark;
    RecordingSurface s;
    setGraphScale(s);
    s.setDrawWidth(1);
    s.setForeColor(0x00FF00);
    DrawCurve(s, box, 3);
    QCOMPARE(s.lines.size(), segments);
    QVERIFY(s.texts.isEmpty());
    QCOMPARE(s.drawWidth(), 1); // the curve's own width is given back
    for (const auto &l : s.lines)
        QVERIFY(l.width == 3 && l.color == 0x00FF00);
    if (segments == 0)
        return;
    QCOMPARE(QPointF(s.lines.last().x2, s.lines.last().y2), end);
    QCOMPARE(box.x[0], box.x[1]);
    QCOMPARE(s.lines.first().y1, -10.0 * box.x[1]);
}

void TestCurvePlot::axesGridAndUprightCaption()
{
    RecordingSurface screen, paper;
    DrawGraphAxes(screen, 10, pointNotation());
    paper.setForeColor(0);
    PrintGraphAxes(paper, 10, pointNotation());
    QCOMPARE(screen.lines.size(), 27);
    QCOMPARE(paper.lines.size(), 27);
    for (int i = 0; i < 27; ++i) {
        QCOMPARE(screen.lines[i].width, i < 2 ? 2 : 1);
        QCOMPARE(paper.lines[i].width, i < 2 ? 4 : 1);
        QCOMPARE(screen.lines[i].color, GraphScale::ScreenAxisColor);
        QCOMPARE(paper.lines[i].color, 0);
    }
    // Time axis, then value axis, each overhanging by 15; short grid lines
    // stop at the axis, the last one at 1425.
    QCOMPARE(screen.lines[0].x1, -15.0);
    QCOMPARE(screen.lines[0].x2, 1515.0);
    QCOMPARE(screen.lines[1].y2, -815.0);
    QCOMPARE(screen.lines[11].x1, 1425.0);
    QCOMPARE(screen.lines[26].y1, -800.0);

    // "hardness" stands upright, one centred letter a line, left of the axis.
    const QList<RecordingSurface::Text> column = screen.texts.mid(7);
    QCOMPARE(column.size(), 10);
    QString word;
    for (int k = 0; k < 10; ++k) {
        word += column[k].text;
        QVERIFY(qAbs(column[k].y - (-800 + k * screen.textHeight("h"))) < 1e-6);
        QVERIFY(qAbs(column[k].x + screen.textWidth(column[k].text) / 2 + 40) < 1e-6);
    }
    QCOMPARE(word, QStringLiteral("hardness  "));
}

void TestCurvePlot::timeLabels_data()
{
    QTest::addColumn<float>("scope");
    QTest::addColumn<bool>("comma");
    QTest::addColumn<QStringList>("labels");
    QTest::newRow("60") << 60.0f << false << QStringList { "0", "12", "24", "36", "48", "60" };
    QTest::newRow("5") << 5.0f << false << QStringList { "0", "1", "2", "3", "4", "5" };
    QTest::newRow("2.5") << 2.5f << false << QStringList { "0", "0.5", "1", "1.5", "2", "2.5" };
    QTest::newRow("2,5") << 2.5f << true << QStringList { "0", "0,5", "1", "1,5", "2", "2,5" };
}

void TestCurvePlot::timeLabels()
{
    QFETCH(float, scope);
    QFETCH(bool, comma);
    QFETCH(QStringList, labels);
    RecordingSurface s;
    setGraphScale(s);
    DrawGraphAxes(s, scope, comma ? commaNotation() : pointNotation());
    QCOMPARE(s.textStrings().mid(0, 6), labels);
    for (int k = 0; k < 6; ++k) {
        QCOMPARE(s.texts[k].y, 30.0);
        QVERIFY(qAbs(s.texts[k].x + s.textWidth(s.texts[k].text) / 2 - 300.0 * k) < 1e-6);
    }
    const auto minutes = s.textsEqualTo(QStringLiteral("minutes"));
    QCOMPARE(minutes.size(), 1);
    QVERIFY(qAbs(minutes.first().x + s.textWidth("minutes") / 2 - 1350) < 1e-6);
}

void TestCurvePlot::paperLabelsAreStaggered_data()
{
    QTest::addColumn<int>("label");
    QTest::addColumn<QList<int>>("after");
    QTest::newRow("box 1") << 1 << QList<int> { 24, 44, 64 };
    QTest::newRow("box 3") << 3 << QList<int> { 32, 52 };
    QTest::newRow("box 5") << 5 << QList<int> { 40, 60 };
}

void TestCurvePlot::paperLabelsAreStaggered()
{
    QFETCH(int, label);
    QFETCH(QList<int>, after);
    RecordingSurface s;
    setGraphScale(s);
    BoxRecord box = curveBox(70);
    PrintCurve(s, box, label);
    QCOMPARE(s.texts.size(), after.size());
    for (int n = 0; n < after.size(); ++n) {
        const auto &t = s.texts[n];
        const int j = after[n];
        QCOMPARE(t.text, QString::number(label));
        // Drawn right after the segment to point j, centred on point j - 3,
        // blanking the curve beneath it.
        QCOMPARE(t.order, s.lines[j - 1].order + 1);
        QCOMPARE(t.x, 25.0 * box.y[j - 3] / 10 - qRound(s.textWidth(t.text) / 2));
        QCOMPARE(t.y, -10.0 * (box.x[j - 4] + box.x[j - 3]) / 2 - qRound(s.textHeight(t.text) / 2));
        QVERIFY(!t.transparent);
        QCOMPARE(t.family, QStringLiteral("Courier New"));
        QCOMPARE(t.size, 8.0);
    }
    QVERIFY(s.fontTransparent());
    // The pen goes on from the end of the curve, not from the digit.
    QCOMPARE(s.currentX(), s.lines.last().x2);
    QCOMPARE(s.currentY(), s.lines.last().y2);
}

void TestCurvePlot::screenCurveLandsInBoxColour()
{
    // 1700 x 1050 pixels at 96 dpi: one logical unit per pixel.
    QImage image(1700, 1050, QImage::Format_RGB32);
    image.setDotsPerMeterX(3780);
    image.setDotsPerMeterY(3780);
    image.fill(Qt::white);
    BoxRecord box = curveBox(300, 10);
    box.x.fill(40);
    {
        QPainter painter(&image);
        PainterSurface s(painter);
        setGraphScale(s);
        s.setForeColor(0x0000FF); // red in the settings' order
        DrawCurve(s, box, 3);
    }
    // 40 % lies 400 units above the time axis at 900: pixel row 500.
    QCOMPARE(image.pixelColor(850, 500), QColor(Qt::red));
    QCOMPARE(image.pixelColor(850, 520), QColor(Qt::white));
    QCOMPARE(BgrFromColor(QColor(0x12, 0x34, 0x56)), 0x563412);
}

QTEST_MAIN(TestCurvePlot)
#include "test_curveplot.moc"

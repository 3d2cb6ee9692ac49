#include "display/CurvePlot.h"
#include "display/RecordingSurface.h"
#include "core/BoxRecord.h"
#include "support/TestSupport.h"

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
    void timeLabels_data();
    void timeLabels();
    void paperLabelOfBox3IsStaggered();
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
    QTest::newRow("no scope") << 20 << 0.0f << 0 << QPointF();
}

void TestCurvePlot::curveEndsAtTheFirstMark()
{
    QFETCH(int, points);
    QFETCH(float, scope);
    QFETCH(int, segments);
    QFETCH(QPointF, end);
    BoxRecord box = curveBox(points, scope);
    RecordingSurface s;
    setGraphScale(s);
    s.setDrawWidth(1);
    s.setForeColor(0x00FF00);
    DrawCurve(s, box, 3);
    QCOMPARE(s.lines.size(), segments);
    QCOMPARE(s.drawWidth(), 1); // the curve's own width is given back
    if (segments == 0)
        return;
    QCOMPARE(QPointF(s.lines.last().x2, s.lines.last().y2), end);
    QCOMPARE(box.x[0], box.x[1]);
    QCOMPARE(s.lines.first().y1, -10.0 * box.x[1]);
}

void TestCurvePlot::timeLabels_data()
{
    QTest::addColumn<float>("scope");
    QTest::addColumn<QStringList>("labels");
    QTest::newRow("60") << 60.0f << QStringList { "0", "12", "24", "36", "48", "60" };
    QTest::newRow("5") << 5.0f << QStringList { "0", "1", "2", "3", "4", "5" };
    QTest::newRow("2.5") << 2.5f << QStringList { "0", "0.5", "1", "1.5", "2", "2.5" };
}

void TestCurvePlot::timeLabels()
{
    QFETCH(float, scope);
    QFETCH(QStringList, labels);
    RecordingSurface s;
    setGraphScale(s);
    DrawGraphAxes(s, scope, pointNotation());
    QCOMPARE(s.textStrings().mid(0, 6), labels);
    for (int k = 0; k < 6; ++k)
        QVERIFY(qAbs(s.texts[k].x + s.textWidth(s.texts[k].text) / 2 - 300.0 * k) < 1e-6);
}

void TestCurvePlot::paperLabelOfBox3IsStaggered()
{
    const int label = 3;
    const QList<int> after { 32, 52 };
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
    }
    // The pen goes on from the end of the curve, not from the digit.
    QCOMPARE(s.currentX(), s.lines.last().x2);
    QCOMPARE(s.currentY(), s.lines.last().y2);
}

QTEST_MAIN(TestCurvePlot)
#include "test_curveplot.moc"

#include "display/BgrColor.h"
#include "display/CurvePlot.h"
#include "display/PainterSurface.h"
#include "display/RecordingSurface.h"
#include "shell/BoxRecord.h"
#include "support/TestSupport.h"

#include <QImage>
#include <QPainter>
#include <QtTest>

namespace {

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
    void curveEndsAtFirstMark();
    void fullCurveEndsAtLastIndex();
    void curveWithoutPointsDrawsNothing();
    void curveUsesScreenWidthAndRestoresIt();
    void axesHaveGridAndWidths();
    void timeLabels_data();
    void timeLabels();
    void valueCaptionStandsUpright();
    void paperLabelsAreStaggered_data();
    void paperLabelsAreStaggered();
    void paperLabelBlanksTheCurve();
    void screenCurveLandsInBoxColour();
};

void TestCurvePlot::curveEndsAtFirstMark()
{
    RecordingSurface s;
    setGraphScale(s);
    BoxRecord box = curveBox(1);
    QCOMPARE(box.x[2], CurveEndMark);
    DrawCurve(s, box, 2);
    QCOMPARE(s.lines.size(), 1);
    const auto &segment = s.lines.first();
    QCOMPARE(box.x[0], box.x[1]);
    QCOMPARE(segment.x1, 0.0);
    QCOMPARE(segment.y1, -110.0);
    QCOMPARE(segment.x2, 25.0 * 10 / 10);
    QCOMPARE(segment.y2, -110.0); // mean of x[0] and x[1], both 11
}

void TestCurvePlot::fullCurveEndsAtLastIndex()
{
    RecordingSurface s;
    setGraphScale(s);
    BoxRecord box = curveBox(300, 40);
    QCOMPARE(box.pointCount(), CurveSize);
    PrintCurve(s, box, 0);
    QCOMPARE(s.lines.size(), 300);
    const auto &last = s.lines.last();
    QCOMPARE(last.x2, 25.0 * 3000 / 40);
    QCOMPARE(last.y2, -10.0 * (309 + 310) / 2);
    // Points run on in time past the end of the axis; nothing clips them.
    QVERIFY(last.x2 > GraphScale::TimeAxisEnd);
}

void TestCurvePlot::curveWithoutPointsDrawsNothing()
{
    RecordingSurface s;
    BoxRecord onlyStart = curveBox(0);
    DrawCurve(s, onlyStart, 2);
    BoxRecord noScope = curveBox(20, 0);
    PrintCurve(s, noScope, 3);
    BoxRecord empty = curveBox(5);
    empty.x[0] = CurveEndMark;
    empty.x[1] = CurveEndMark;
    DrawCurve(s, empty, 2);
    QVERIFY(s.lines.isEmpty());
    QVERIFY(s.texts.isEmpty());
    QCOMPARE(empty.x[0], CurveEndMark);
}

void TestCurvePlot::curveUsesScreenWidthAndRestoresIt()
{
    RecordingSurface s;
    setGraphScale(s);
    s.setDrawWidth(1);
    s.setForeColor(0x00FF00);
    BoxRecord box = curveBox(5);
    DrawCurve(s, box, 3);
    QCOMPARE(s.lines.size(), 5);
    for (const auto &l : s.lines) {
        QCOMPARE(l.width, 3);
        QCOMPARE(l.color, 0x00FF00);
    }
    QCOMPARE(s.drawWidth(), 1);
    // Drawing again changes nothing further in the record.
    const auto before = box.x;
    DrawCurve(s, box, 3);
    QVERIFY(box.x == before);
}

void TestCurvePlot::axesHaveGridAndWidths()
{
    RecordingSurface screen, paper;
    DrawGraphAxes(screen, 10, pointNotation());
    paper.setForeColor(0);
    PrintGraphAxes(paper, 10, pointNotation());
    QCOMPARE(screen.lines.size(), 27);
    QCOMPARE(paper.lines.size(), 27);
    for (int i = 0; i < 27; ++i) {
        const int axisWidthScreen = i < 2 ? 2 : 1;
        QCOMPARE(screen.lines[i].width, axisWidthScreen);
        QCOMPARE(paper.lines[i].width, i < 2 ? 4 : 1);
        QCOMPARE(screen.lines[i].color, GraphScale::ScreenAxisColor);
        QCOMPARE(paper.lines[i].color, 0);
    }
    // Time axis, then value axis, each overhanging by 15.
    QCOMPARE(screen.lines[0].x1, -15.0);
    QCOMPARE(screen.lines[0].x2, 1515.0);
    QCOMPARE(screen.lines[1].y2, -815.0);
    // Short grid lines stop at the axis, the last one at 1425.
    QCOMPARE(screen.lines[11].x1, 1425.0);
    QCOMPARE(screen.lines[11].y1, 0.0);
    QCOMPARE(screen.lines[12].y1, 15.0);
    QCOMPARE(screen.lines[26].y1, -800.0);
}

void TestCurvePlot::timeLabels_data()
{
    QTest::addColumn<float>("scope");
    QTest::addColumn<bool>("comma");
    QTest::addColumn<QStringList>("labels");
    QTest::newRow("60") << 60.0f << false << QStringList{"0", "12", "24", "36", "48", "60"};
    QTest::newRow("5") << 5.0f << false << QStringList{"0", "1", "2", "3", "4", "5"};
    QTest::newRow("2.5") << 2.5f << false << QStringList{"0", "0.5", "1", "1.5", "2", "2.5"};
    QTest::newRow("2,5") << 2.5f << true << QStringList{"0", "0,5", "1", "1,5", "2", "2,5"};
    QTest::newRow("500") << 500.0f << false
                         << QStringList{"0", "100", "200", "300", "400", "500"};
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
        const auto &t = s.texts[k];
        QCOMPARE(t.y, 30.0);
        QVERIFY(qAbs(t.x + s.textWidth(t.text) / 2 - 300.0 * k) < 1e-6);
    }
    const auto minutes = s.textsEqualTo(QStringLiteral("minutes"));
    QCOMPARE(minutes.size(), 1);
    QVERIFY(qAbs(minutes.first().x + s.textWidth("minutes") / 2 - 1350) < 1e-6);
}

void TestCurvePlot::valueCaptionStandsUpright()
{
    RecordingSurface s;
    setGraphScale(s);
    DrawGraphAxes(s, 10, pointNotation());
    const QList<RecordingSurface::Text> column = s.texts.mid(7);
    QCOMPARE(column.size(), 10);
    QString word;
    const double lineHeight = s.textHeight(QStringLiteral("h"));
    for (int k = 0; k < 10; ++k) {
        word += column[k].text;
        QVERIFY(qAbs(column[k].y - (-800 + k * lineHeight)) < 1e-6);
        QVERIFY(qAbs(column[k].x + s.textWidth(column[k].text) / 2 + 40) < 1e-6);
    }
    QCOMPARE(word, QStringLiteral("hardness  "));
}

void TestCurvePlot::paperLabelsAreStaggered_data()
{
    QTest::addColumn<int>("label");
    QTest::addColumn<QList<int>>("after");
    QTest::newRow("box 1") << 1 << QList<int>{24, 44, 64};
    QTest::newRow("box 3") << 3 << QList<int>{32, 52};
    QTest::newRow("box 5") << 5 << QList<int>{40, 60};
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
        // Drawn right after the segment to point j, centred on point j - 3.
        QCOMPARE(t.order, s.lines[j - 1].order + 1);
        const double w = qRound(s.textWidth(t.text) / 2);
        const double h = qRound(s.textHeight(t.text) / 2);
        QCOMPARE(t.x, 25.0 * box.y[j - 3] / 10 - w);
        QCOMPARE(t.y, -10.0 * (box.x[j - 4] + box.x[j - 3]) / 2 - h);
    }
}

void TestCurvePlot::paperLabelBlanksTheCurve()
{
    RecordingSurface s;
    setGraphScale(s);
    BoxRecord box = curveBox(35);
    s.setCurrentX(0);
    PrintCurve(s, box, 3);
    QCOMPARE(s.texts.size(), 1);
    const auto &digit = s.texts.first();
    QVERIFY(!digit.transparent);
    QCOMPARE(digit.family, QStringLiteral("Courier New"));
    QCOMPARE(digit.size, 8.0);
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
    for (int i = 0; i < CurveSize; ++i)
        box.x[i] = 40;
    {
        QPainter painter(&image);
        PainterSurface s(painter);
        setGraphScale(s);
        s.setForeColor(0x0000FF); // red in the settings' order
        DrawCurve(s, box, 3);
    }
    // 40 % lies 400 units above the time axis at 900: pixel row 500.
    const QColor onCurve = image.pixelColor(850, 500);
    QCOMPARE(onCurve, QColor(Qt::red));
    QCOMPARE(image.pixelColor(850, 520), QColor(Qt::white));
    QCOMPARE(ColorFromBgr(0x0000FF), QColor(Qt::red));
    QCOMPARE(BgrFromColor(QColor(0x12, 0x34, 0x56)), 0x563412);
}

QTEST_MAIN(TestCurvePlot)
#include "test_curveplot.moc"

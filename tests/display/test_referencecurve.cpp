#include "ReportFixture.h"

#include "core/ScriptedMessages.h"
#include "display/GraphPlot.h"
#include "display/RecordingSurface.h"
#include "display/ReferenceDialog.h"
#include "display/ReferencePlot.h"
#include "display/TestReport.h"
#include "instrument/MeasurementPlot.h"
#include "store/StoreFixture.h"

#include <QComboBox>
#include <QListWidget>
#include <QtTest>

class TestReferenceCurve : public QObject
{
    Q_OBJECT

private slots:
    void drawnUnderTheCurvesInThePlotsScope();
    void notPrintedInTheReport();
    void chosenFromAGraphDirectory();
    void measurementPlotShowsTheBoxsReference();
};

namespace
{

// A reference of 5 minutes whose last point lies at 300 s.
ReferenceCurve reference(qint32 key)
{
    ReferenceCurve r;
    r.UntID = key;
    fillBox(r.curve, 1, 5, QStringLiteral("good one"));
    return r;
}

QList<RecordingSurface::Line> referenceLines(const RecordingSurface &s)
{
    QList<RecordingSurface::Line> found;
    for (const auto &l : s.lines)
        if (l.color == ReferenceColour)
            found << l;
    return found;
}

} // namespace

void TestReferenceCurve::drawnUnderTheCurvesInThePlotsScope()
{
    Settings s = threeBoxes();
    s.References[1] = reference(7);
    RecordingSurface one;
    s.DialogMode = 1;
    DrawGraphPlot(one, s, Notation());
    const auto lines = referenceLines(one);
    QVERIFY(lines.size() > 40); // dashed
    double right = 0;
    for (const auto &l : lines)
        right = std::max({ right, l.x1, l.x2 });
    QVERIFY(right <= 750 && right > 750 - 25); // 300 s on the 10-minute plot, within a gap
    // Under the box's curve: drawn before any line of the box colour.
    int firstCurve = INT_MAX;
    for (const auto &l : one.lines)
        if (l.color == s.boxColour(1))
            firstCurve = std::min(firstCurve, l.order);
    QVERIFY(lines.last().order < firstCurve);
    QCOMPARE(one.foreColor(), s.boxColour(1)); // the curve's own colour is not disturbed

    // All boxes: a graph chosen for two boxes is drawn once; a box outside
    // the scope brings none.
    s.DialogMode = 0;
    s.References[2] = reference(7);
    RecordingSurface all;
    DrawGraphPlot(all, s, Notation());
    QCOMPARE(referenceLines(all).size(), lines.size());
    s.References[2] = reference(8);
    s.References[3] = reference(9); // box 3 holds 25 minutes
    RecordingSurface two;
    DrawGraphPlot(two, s, Notation());
    QCOMPARE(referenceLines(two).size(), 2 * lines.size());
    // None chosen: nothing.
    RecordingSurface none;
    DrawReferenceCurve(none, ReferenceCurve(), 10);
    QVERIFY(none.lines.isEmpty());
}

void TestReferenceCurve::notPrintedInTheReport()
{
    Settings s = threeBoxes();
    s.References[1] = reference(7);
    RecordingSurface paper(A4Twips);
    QVERIFY(PrintReport(paper, 0, s, Notation()));
    QVERIFY(referenceLines(paper).isEmpty());
}

void TestReferenceCurve::chosenFromAGraphDirectory()
{
    StoreFixture f;
    const qint32 dir = *f.store.addDirectory(DirectoryType::Graphs, QStringLiteral("good ones"));
    f.store.addDirectory(DirectoryType::Graphs, QStringLiteral("another"));
    BoxRecord graph = sampleGraph(4, 30), pattern = sampleGraph(5);
    pattern.Status = BoxStatus::Pattern;
    QVERIFY(f.store.SaveBox(graph, SaveMode::Add, QStringLiteral("known good"), dir));
    QVERIFY(f.store.SaveBox(pattern, SaveMode::Add, QStringLiteral("a pattern"), dir));
    QVERIFY(!LoadReferenceCurve(f.store, pattern.UntID));
    QVERIFY(!LoadReferenceCurve(f.store, 999));

    ScriptedMessages messages;
    FrmReferenz choose(f.store, messages, ReferenceCurve(), 2);
    choose.directories()->setCurrentIndex(choose.directories()->findText("good ones"));
    QCOMPARE(choose.graphs()->count(), 1); // graphs only
    choose.graphs()->setCurrentRow(0);
    choose.cmdOk_Click();
    QCOMPARE(choose.result(), int(QDialog::Accepted));
    QCOMPARE(choose.reference().UntID, graph.UntID);
    QCOMPARE(choose.reference().directory, QStringLiteral("good ones"));
    QCOMPARE(choose.reference().curve.pointCount(), 30);

    // Opened again, the current choice is preselected; "None" clears it.
    FrmReferenz again(f.store, messages, choose.reference(), 2);
    QCOMPARE(again.directories()->currentText(), QStringLiteral("good ones"));
    QCOMPARE(again.graphs()->currentItem()->text(), QStringLiteral("known good"));
    again.cmdNone_Click();
    QVERIFY(!again.reference().chosen());
}

void TestReferenceCurve::measurementPlotShowsTheBoxsReference()
{
    Settings s;
    s.ScopeOfTime = 5;
    const auto greyPixels = [&](MeasurementPlot &plot) {
        plot.resize(600, 400);
        const QImage image = plot.grab().toImage();
        int n = 0;
        for (int y = 0; y < image.height(); ++y)
            for (int x = 0; x < image.width(); ++x) {
                const QColor c = image.pixelColor(x, y); // light grey, edges smoothed
                n += c.red() == c.green() && c.green() == c.blue() && c.red() >= 0xA8
                    && c.red() <= 0xF0;
            }
        return n;
    };
    const Notation notation;
    MeasurementPlot plot(s, notation);
    s.ActiveBox = 2;
    const int before = greyPixels(plot);
    s.References[2] = reference(7);
    QVERIFY(greyPixels(plot) > before + 100);
    s.References[2] = ReferenceCurve();
    s.References[4] = reference(7);
    plot.setCurve(&s.Box(4), false); // the run's box decides, not the active one
    QVERIFY(greyPixels(plot) > before + 100);
}

QTEST_MAIN(TestReferenceCurve)
#include "test_referencecurve.moc"

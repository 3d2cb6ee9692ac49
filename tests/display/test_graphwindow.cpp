#include "display/GraphLayout.h"
#include "display/GraphPlot.h"
#include "display/GraphWindow.h"
#include "display/RecordingSurface.h"
#include "shell/AppContext.h"
#include "shell/ScriptedMessages.h"
#include "shell/Settings.h"
#include "support/TestSupport.h"

#include <QApplication>
#include <QPrinter>
#include <QPushButton>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QtTest>

namespace {

void giveCurve(Settings &s, int k, float scope, const QString &name)
{
    BoxRecord &box = s.Box(k);
    box.Status = BoxStatus::Graph;
    box.Ein[10] = scope;
    box.Kovra = name;
    for (int i = 0; i < CurveSize; ++i) {
        box.x[i] = i <= 20 ? 10.0f * k + i : CurveEndMark;
        box.y[i] = 6.0f * i;
    }
}

// Boxes 1 and 3 in the selected ten minutes, box 2 in 25, 4 and 5 empty.
Settings threeCurves()
{
    Settings s;
    s.ScopeOfTime = 10;
    giveCurve(s, 1, 10, QStringLiteral("Kraft A"));
    giveCurve(s, 2, 25, QStringLiteral("Other scope"));
    giveCurve(s, 3, 10, QStringLiteral("Kraft C"));
    return s;
}

int linesInColour(const RecordingSurface &s, qint32 colour)
{
    return int(std::count_if(s.lines.cbegin(), s.lines.cend(),
                             [&](const RecordingSurface::Line &l) { return l.color == colour; }));
}

} // namespace

class TestGraphWindow : public QObject
{
    Q_OBJECT

private slots:
    void layout_data();
    void layout();
    void flatLegendStillDraws();
    void allBoxesShowTheSelectedScope();
    void oneBoxShowsItsCurveAndTheWholeLegend();
    void cancelPrintsNothing();
    void printOneBoxToPdf();
    void printWithoutPrinterTellsTheOperator();
    void openAndCloseAreSignalled();
};

void TestGraphWindow::layout_data()
{
    QTest::addColumn<QSize>("area");
    QTest::addColumn<QRect>("plot");
    QTest::addColumn<QRect>("legend");
    QTest::addColumn<QRect>("print");
    QTest::addColumn<QRect>("back");
    QTest::newRow("designed") << QSize(9255, 6510) << QRect(185, 93, 8885, 5063)
                              << QRect(185, 5249, 5923, 1168) << QRect(6293, 5249, 2777, 538)
                              << QRect(6293, 5880, 2777, 538);
    QTest::newRow("flat") << QSize(9255, 0) << QRect(185, 0, 8885, 0) << QRect(185, 0, 5923, 1)
                          << QRect(6293, 0, 2777, 0) << QRect(6293, 0, 2777, 0);
    QTest::newRow("one pixel") << QSize(9255, 15) << QRect(185, 0, 8885, 12)
                               << QRect(185, 12, 5923, 3) << QRect(6293, 12, 2777, 2)
                               << QRect(6293, 14, 2777, 2);
}

void TestGraphWindow::layout()
{
    QFETCH(QSize, area);
    QFETCH(QRect, plot);
    QFETCH(QRect, legend);
    QFETCH(QRect, print);
    QFETCH(QRect, back);
    const GraphLayout g = ComputeGraphLayout(area.width(), area.height());
    QCOMPARE(g.Picture1, plot);
    QCOMPARE(g.Picture2, legend);
    QCOMPARE(g.cmdGraphDrk, print);
    QCOMPARE(g.cmdGraphAb, back);
    QCOMPARE(g.cmdGraphDrk.x() + g.cmdGraphDrk.width(), g.Picture1.x() + g.Picture1.width());
}

void TestGraphWindow::flatLegendStillDraws()
{
    Settings s = threeCurves();
    RecordingSurface legend(QSizeF(5923, 1));
    DrawGraphLegend(legend, s);
    QCOMPARE(legend.texts.size(), 5);
    QCOMPARE(legend.texts.first().size, 1.0);
    QCOMPARE(LegendFontSize(1168), 1168 / 150.0);
    QCOMPARE(LegendFontSize(0), 1.0);
}

void TestGraphWindow::allBoxesShowTheSelectedScope()
{
    Settings s = threeCurves();
    s.DialogMode = 0;
    RecordingSurface plot(QSizeF(8885, 5063));
    DrawGraphPlot(plot, s, pointNotation());
    QCOMPARE(linesInColour(plot, s.boxColour(1)), 20);
    QCOMPARE(linesInColour(plot, s.boxColour(2)), 0);
    QCOMPARE(linesInColour(plot, s.boxColour(3)), 20);
    QVERIFY(plot.textStrings().contains(QStringLiteral("10")));
}

void TestGraphWindow::oneBoxShowsItsCurveAndTheWholeLegend()
{
    Settings s = threeCurves();
    s.DialogMode = 1;
    s.ActiveBox = 2;
    RecordingSurface plot(QSizeF(8885, 5063));
    DrawGraphPlot(plot, s, pointNotation());
    QCOMPARE(linesInColour(plot, s.boxColour(2)), 20);
    QCOMPARE(linesInColour(plot, s.boxColour(1)), 0);
    QVERIFY(plot.textStrings().contains(QStringLiteral("25"))); // its own scope

    RecordingSurface legend(QSizeF(5923, 1168));
    DrawGraphLegend(legend, s);
    QCOMPARE(legend.textStrings(),
             (QStringList{"Box 1: Kraft A", "Box 2: ", "Box 3: Kraft C", "Box 4: ", "Box 5: "}));
    const double th = qRound(legend.textHeight(QStringLiteral("Box 1: ")));
    const double gap = qRound((1168 - 5 * th) / 6);
    QCOMPARE(legend.texts[2].y, 2 * th + 3 * gap);
    QCOMPARE(legend.texts[2].x, 100.0);
    QCOMPARE(legend.texts[2].color, s.boxColour(3));
}

void TestGraphWindow::cancelPrintsNothing()
{
    QTemporaryDir dir;
    Settings s = threeCurves();
    const Notation notation = pointNotation();
    ScriptedMessages messages;
    QPrinter printer;
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(dir.filePath(QStringLiteral("cancel.pdf")));
    AppContext ctx{s, notation, messages, nullptr, nullptr, &printer};
    FrmGraph window(ctx);
    messages.answer(false);
    window.findChild<QPushButton *>(QStringLiteral("cmdGraphDrk"))->click();
    QCOMPARE(messages.texts(), QStringList{QStringLiteral("Print graph ?")});
    QVERIFY(messages.entries.first().question);
    QVERIFY(!QFile::exists(printer.outputFileName()));
    QVERIFY(!QApplication::overrideCursor());
}

void TestGraphWindow::printOneBoxToPdf()
{
    QTemporaryDir dir;
    Settings s = threeCurves();
    s.DialogMode = 1;
    s.ActiveBox = 3;
    const Notation notation = pointNotation();
    ScriptedMessages messages;
    QPrinter printer(QPrinter::HighResolution);
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(dir.filePath(QStringLiteral("one.pdf")));
    AppContext ctx{s, notation, messages, nullptr, nullptr, &printer};
    FrmGraph window(ctx);
    messages.answer(true);
    window.cmdGraphDrk_Click();
    QCOMPARE(messages.entries.size(), 1);
    QVERIFY(QFile::exists(printer.outputFileName()));
    QVERIFY(!QApplication::overrideCursor());
    QProcess info;
    info.start(QStringLiteral("pdftotext"), {printer.outputFileName(), QStringLiteral("-")});
    info.waitForFinished();
    const QString text = QString::fromUtf8(info.readAllStandardOutput());
    QCOMPARE(text.count(QLatin1Char('\f')), 1);
    QVERIFY(text.contains(QLatin1String("Kraft C")));
}

void TestGraphWindow::printWithoutPrinterTellsTheOperator()
{
    Settings s = threeCurves();
    const Notation notation = pointNotation();
    ScriptedMessages messages;
    AppContext ctx{s, notation, messages};
    FrmGraph window(ctx);
    messages.answer(true);
    window.cmdGraphDrk_Click();
    QCOMPARE(messages.entries.size(), 2);
    QVERIFY(!messages.entries[1].question);
    QVERIFY(!QApplication::overrideCursor());
}

void TestGraphWindow::openAndCloseAreSignalled()
{
    Settings s = threeCurves();
    const Notation notation = pointNotation();
    ScriptedMessages messages;
    AppContext ctx{s, notation, messages};
    FrmGraph window(ctx);
    QSignalSpy opened(&window, &FrmGraph::graphWindowOpened);
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    QCOMPARE(window.findChild<QPushButton *>(QStringLiteral("cmdGraphAb"))->text(),
             QStringLiteral("&Return"));
    // The plot is really drawn: box 1's colour appears inside Picture1.
    const QImage shot = window.findChild<QWidget *>(QStringLiteral("Picture1"))->grab().toImage();
    bool found = false;
    for (int y = 0; y < shot.height() && !found; ++y)
        for (int x = 0; x < shot.width() && !found; ++x)
            found = shot.pixelColor(x, y) == QColor(Qt::red);
    QVERIFY(found);
    window.resize(400, 30);
    window.findChild<QPushButton *>(QStringLiteral("cmdGraphAb"))->click();
    QCOMPARE(opened.size(), 2);
    QCOMPARE(opened[0].first().toBool(), true);
    QCOMPARE(opened[1].first().toBool(), false);
    QVERIFY(!window.isVisible());
}

QTEST_MAIN(TestGraphWindow)
#include "test_graphwindow.moc"

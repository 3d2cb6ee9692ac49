#include "ReportFixture.h"

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

class TestGraphWindow : public QObject
{
    Q_OBJECT

private slots:
    void layout_data();
    void layout();
    void plotAndLegendOfBothModes_data();
    void plotAndLegendOfBothModes();
    void printFromTheWindow_data();
    void printFromTheWindow();
    void openWhileShown();
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

    // The legend still draws at that height, in a font of at least 1 point.
    Settings s = threeBoxes();
    RecordingSurface surface(legend.size());
    DrawGraphLegend(surface, s);
    QCOMPARE(surface.texts.size(), 5);
    QCOMPARE(surface.texts.first().size, std::max(1.0, legend.height() / 150.0));
}

void TestGraphWindow::plotAndLegendOfBothModes_data()
{
    QTest::addColumn<int>("mode");
    QTest::addColumn<QList<int>>("segments"); // of boxes 1 to 5
    QTest::addColumn<QString>("scopeLabel");
    QTest::newRow("all boxes of the selected scope")
        << 0 << QList<int> { 40, 50, 0, 70, 0 } << "10";
    QTest::newRow("one box in its own scope") << 1 << QList<int> { 0, 0, 60, 0, 0 } << "25";
}

void TestGraphWindow::plotAndLegendOfBothModes()
{
    QFETCH(int, mode);
    QFETCH(QList<int>, segments);
    QFETCH(QString, scopeLabel);
    Settings s = threeBoxes();
    s.DialogMode = mode;
    s.ActiveBox = 3;
    RecordingSurface plot(QSizeF(8885, 5063));
    DrawGraphPlot(plot, s, pointNotation());
    for (int k = 1; k <= 5; ++k)
        QCOMPARE(std::count_if(plot.lines.cbegin(), plot.lines.cend(),
                     [&](const auto &l) { return l.color == s.boxColour(k); }),
            segments[k - 1]);
    QCOMPARE(plot.textStrings().at(5), scopeLabel);

    // Whatever the mode, the legend names every box of the selected scope.
    RecordingSurface legend(QSizeF(5923, 1168));
    DrawGraphLegend(legend, s);
    QCOMPARE(legend.textStrings(),
        (QStringList {
            "Box 1: Kraft A", "Box 2: Kraft B", "Box 3: ", "Box 4: Decor C", "Box 5: " }));
    QCOMPARE(legend.texts[3].color, s.boxColour(4));
}

void TestGraphWindow::printFromTheWindow_data()
{
    QTest::addColumn<bool>("printer");
    QTest::addColumn<bool>("answer");
    QTest::addColumn<int>("messages");
    QTest::addColumn<int>("pages"); // -1: no file
    QTest::newRow("Cancel prints nothing") << true << false << 1 << -1;
    QTest::newRow("one box: its page only") << true << true << 1 << 1;
    QTest::newRow("no printer: the operator is told") << false << true << 2 << -1;
}

void TestGraphWindow::printFromTheWindow()
{
    QFETCH(bool, printer);
    QFETCH(bool, answer);
    QFETCH(int, messages);
    QFETCH(int, pages);
    QTemporaryDir dir;
    Settings s = threeBoxes();
    s.DialogMode = 1;
    s.ActiveBox = 3;
    const Notation notation = pointNotation();
    ScriptedMessages scripted;
    QPrinter pdf(QPrinter::HighResolution);
    pdf.setOutputFormat(QPrinter::PdfFormat);
    pdf.setOutputFileName(dir.filePath(QStringLiteral("graph.pdf")));
    AppContext ctx { s, notation, scripted, nullptr, nullptr, printer ? &pdf : nullptr };
    FrmGraph window(ctx);
    scripted.answer(answer);
    window.findChild<QPushButton *>(QStringLiteral("cmdGraphDrk"))->click();
    QCOMPARE(scripted.entries.size(), messages);
    QCOMPARE(scripted.texts().first(), QStringLiteral("Print graph ?"));
    QVERIFY(scripted.entries.first().question);
    QVERIFY(!QApplication::overrideCursor());
    QCOMPARE(QFile::exists(pdf.outputFileName()), pages > 0);
    if (pages < 0)
        return;
    QProcess text;
    text.start(QStringLiteral("pdftotext"), { pdf.outputFileName(), QStringLiteral("-") });
    QVERIFY(text.waitForFinished());
    const QString content = QString::fromUtf8(text.readAllStandardOutput());
    QCOMPARE(content.count(QLatin1Char('\f')), pages);
    QVERIFY(content.contains(QLatin1String("Name: Other scope")));
}

void TestGraphWindow::openWhileShown()
{
    Settings s = threeBoxes();
    const Notation notation = pointNotation();
    ScriptedMessages messages;
    AppContext ctx { s, notation, messages };
    FrmGraph window(ctx);
    QSignalSpy opened(&window, &FrmGraph::graphWindowOpened);
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    // The plot is really drawn: box 1's colour appears inside Picture1.
    const QImage shot = window.findChild<QWidget *>(QStringLiteral("Picture1"))
                            ->grab()
                            .toImage()
                            .convertToFormat(QImage::Format_RGB32);
    const auto *pixels = reinterpret_cast<const QRgb *>(shot.constBits());
    const auto *end = pixels + shot.width() * shot.height();
    QVERIFY(std::find(pixels, end, qRgb(255, 0, 0)) != end);
    window.resize(400, 30);
    window.findChild<QPushButton *>(QStringLiteral("cmdGraphAb"))->click();
    QVERIFY(!window.isVisible());
    QCOMPARE(opened.size(), 2); // opened, then closed: the menu entry follows
    QCOMPARE(opened[1].first().toBool(), false);
}

QTEST_MAIN(TestGraphWindow)
#include "test_graphwindow.moc"

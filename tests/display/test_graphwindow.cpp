#include "ReportFixture.h"

#include "display/GraphLayout.h"
#include "display/GraphPlot.h"
#include "display/GraphWindow.h"
#include "display/RecordingSurface.h"
#include "core/AppContext.h"
#include "core/ScriptedMessages.h"
#include "core/Settings.h"
#include "support/TestSupport.h"

#include <QPrinter>
#include <QPushButton>
#include <QTemporaryDir>
#include <QtTest>

class TestGraphWindow : public QObject
{
    Q_OBJECT

private slots:
    void flatWindowLayout();
    void plotAndLegendOfBothModes_data();
    void plotAndLegendOfBothModes();
    void printFromTheWindow_data();
    void printFromTheWindow();
};

void TestGraphWindow::flatWindowLayout()
{
    const GraphLayout g = ComputeGraphLayout(9255, 0);
    QCOMPARE(g.Picture1, QRect(185, 0, 8885, 0));
    QCOMPARE(g.Picture2, QRect(185, 0, 5923, 1));
    QCOMPARE(g.cmdGraphAb, QRect(6293, 0, 2777, 0));

    // The legend still draws at that height, in a font of 1 point.
    Settings s = threeBoxes();
    RecordingSurface surface(g.Picture2.size());
    DrawGraphLegend(surface, s);
    QCOMPARE(surface.texts.size(), 5);
    QCOMPARE(surface.texts.first().size, 1.0);
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

    // Whatever the mode, the legend names every box of the selected scope,
    // and says how a curve was measured when it was not whole.
    s.Box(2).Fehlend = 3;
    s.Box(4).Unvollst = true;
    RecordingSurface legend(QSizeF(5923, 1168));
    DrawGraphLegend(legend, s);
    QCOMPARE(legend.textStrings(),
        (QStringList { "Box 1: Kraft A", "Box 2: Kraft B  (3 readings missing, interpolated)",
            "Box 3: ", "Box 4: Decor C  (measurement incomplete)", "Box 5: " }));
}

void TestGraphWindow::printFromTheWindow_data()
{
    QTest::addColumn<bool>("answer");
    QTest::newRow("Cancel prints nothing") << false;
    QTest::newRow("one box: its page only") << true;
}

void TestGraphWindow::printFromTheWindow()
{
    QFETCH(bool, answer);
    QTemporaryDir dir;
    Settings s = threeBoxes();
    s.DialogMode = 1;
    s.ActiveBox = 3;
    const Notation notation = pointNotation();
    ScriptedMessages scripted;
    QPrinter pdf(QPrinter::HighResolution);
    pdf.setOutputFormat(QPrinter::PdfFormat);
    pdf.setOutputFileName(dir.filePath(QStringLiteral("graph.pdf")));
    AppContext ctx { s, notation, scripted, nullptr, nullptr, &pdf };
    FrmGraph window(ctx);
    scripted.answer(answer);
    window.findChild<QPushButton *>(QStringLiteral("cmdGraphDrk"))->click();
    QCOMPARE(scripted.texts(), QStringList { "Print graph ?" });
    QCOMPARE(QFile::exists(pdf.outputFileName()), answer);
    if (!answer)
        return;
    const QString content = pdfText(pdf.outputFileName());
    QCOMPARE(content.count(QLatin1Char('\f')), 1);
    QVERIFY(content.contains(QLatin1String("Name: Other scope")));
}

QTEST_MAIN(TestGraphWindow)
#include "test_graphwindow.moc"

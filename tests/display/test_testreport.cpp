#include "ReportFixture.h"

#include "display/RecordingSurface.h"
#include "display/ReportGeometry.h"
#include "display/ReportNotes.h"
#include "display/TestReport.h"
#include "core/Settings.h"
#include "support/TestSupport.h"

#include <QFile>
#include <QTemporaryDir>
#include <QtTest>

class TestReportPrint : public QObject
{
    Q_OBJECT

private slots:
    void geometry_data();
    void geometry();
    void noteLines_data();
    void noteLines();
    void pagesFollowTheScope();
    void allBoxesGraphPage();
    void resultsInTheirFormats();
    void refusedPageEndsTheRun();
    void pdfHoldsTheReportInOrder();
    void pdfFailuresLeaveNoFile();
};

void TestReportPrint::geometry_data()
{
    QTest::addColumn<float>("margin");
    QTest::addColumn<QSizeF>("page");
    QTest::addColumn<QList<int>>("expected"); // left, width, gap, Y1..Y5
    QTest::newRow("A4, half inch")
        << 0.5f << A4Twips << QList<int> { 720, 10566, 587, 720, 2307, 7944, 12531, 14968 };
    QTest::newRow("small page: negative gap")
        << 0.5f << QSizeF(11906, 12000)
        << QList<int> { 720, 10566, -622, 720, 1098, 5526, 8904, 10132 };
}

void TestReportPrint::geometry()
{
    QFETCH(float, margin);
    QFETCH(QSizeF, page);
    QFETCH(QList<int>, expected);
    Settings s = threeBoxes();
    s.PrnOffOb = s.PrnOffUn = s.PrnOffRe = s.PrnOffLi = margin;
    const ReportGeometry g = ComputeReportGeometry(s, page.width(), page.height());
    const QList<int> got { g.PrnLeft, g.PrnWidth, g.gap, g.PrnY[1], g.PrnY[2], g.PrnY[3], g.PrnY[4],
        g.PrnY[5] };
    QCOMPARE(got, expected);

    // The report completes on such a page, overlapping blocks and all.
    RecordingSurface paper(page);
    QString error;
    QVERIFY2(PrintReport(paper, 0, s, pointNotation(), &error), qPrintable(error));
    QCOMPARE(paper.page, 2);
}

void TestReportPrint::noteLines_data()
{
    QTest::addColumn<QString>("notes");
    QTest::addColumn<QStringList>("lines");
    QString long300;
    for (int i = 0; i < 300; ++i)
        long300 += QChar('A' + i % 26);
    QStringList cut;
    for (int k = 0; k < 8; ++k)
        cut << long300.mid(36 * k, 36);
    QTest::newRow("300 characters") << long300 << cut;
    QTest::newRow("break after 10") << QStringLiteral("0123456789\r\nnext line")
                                    << QStringList { QStringLiteral("0123456789").leftJustified(36),
                                           "next line", "", "", "", "", "", "" };
}

void TestReportPrint::noteLines()
{
    QFETCH(QString, notes);
    QFETCH(QStringList, lines);
    QCOMPARE(NoteLines(notes), lines);

    Settings s;
    fillBox(s.Box(1), 1, 10, QStringLiteral("n"));
    s.Box(1).Bemerk = notes;
    RecordingSurface paper(A4Twips);
    QVERIFY(PrintReport(paper, 1, s, pointNotation()));
    const QStringList printed = paper.textStrings();
    const qsizetype at = printed.indexOf(QStringLiteral("Notes:"));
    QVERIFY(at >= 0);
    QCOMPARE(printed.mid(at + 1, 8), lines);
}

void TestReportPrint::pagesFollowTheScope()
{
    Settings s = threeBoxes();
    s.ScopeOfTime = 50;
    RecordingSurface paper(A4Twips);
    QString error;
    QVERIFY(!PrintReport(paper, 0, s, pointNotation(), &error));
    QCOMPARE(error, QStringLiteral("No graph in selected scope of time!"));
    QVERIFY(paper.texts.isEmpty());
}

void TestReportPrint::allBoxesGraphPage()
{
    Settings s = threeBoxes();
    RecordingSurface paper(A4Twips);
    QVERIFY(PrintReport(paper, 0, s, pointNotation()));
    QCOMPARE(paper.page, 2); // three pages, two page breaks
    const QList<int> pageBoxes { 1, 2, 4 };
    for (int p = 0; p < 3; ++p) {
        const int own = pageBoxes[p];
        // The legend names the two other boxes, at y = 100 and 160.
        QList<double> legendRows;
        for (const auto &t : paper.texts)
            if (t.page == p && t.text.startsWith(QLatin1String("Box "))
                && t.text.contains(QLatin1Char(':'))) {
                legendRows << t.y;
                QVERIFY(!t.text.contains(s.Box(own).Kovra));
            }
        QCOMPARE(legendRows, (QList<double> { 100, 160 }));
        // The page's own curve drawn wide and unnumbered, the others numbered.
        QCOMPARE(std::count_if(paper.lines.cbegin(), paper.lines.cend(),
                     [&](const auto &l) { return l.page == p && l.width == s.LinieDr; }),
            s.Box(own).pointCount() - 1);
        for (const int other : pageBoxes) {
            const auto number = [&](const auto &t) {
                return t.page == p && t.text == QString::number(other) && !t.transparent;
            };
            QCOMPARE(std::any_of(paper.texts.cbegin(), paper.texts.cend(), number), other != own);
        }
    }
}

void TestReportPrint::resultsInTheirFormats()
{
    Settings s = threeBoxes();
    s.Box(1).Erg[2] = 0;
    RecordingSurface paper(A4Twips);
    QVERIFY(PrintReport(paper, 1, s, commaNotation()));
    const QStringList texts = paper.textStrings();
    // Results in the "0.0;;0" formats: zeros print as a bare 0 with their unit.
    const qsizetype at = texts.indexOf(QStringLiteral("Max. curing speed after: "));
    QVERIFY(at >= 0);
    QCOMPARE(texts.mid(at, 15),
        (QStringList { "Max. curing speed after: ", "3,3 min.", "2,0 min.", "4,0 min.", "0 min.",
            "Curing time            : ", "0 min.", "6,0 min.", "9,0 min.", "-1,3 min.",
            "Curing rate            : ", "0,123 %/min.", "0,100 %/min.", "0,200 %/min.",
            "0 %/min." }));
    QVERIFY(!texts.join(QLatin1Char('|')).contains(QStringLiteral("missing")));

    // A curve with interpolated readings says so beside its results.
    s.Box(1).Fehlend = 3;
    RecordingSurface gaps(A4Twips);
    QVERIFY(PrintReport(gaps, 1, s, commaNotation()));
    QVERIFY(gaps.textStrings().contains(QStringLiteral("3 readings missing, interpolated")));
}

void TestReportPrint::refusedPageEndsTheRun()
{
    Settings s = threeBoxes();
    RecordingSurface paper(A4Twips);
    paper.refuseNewPage = true;
    QString error;
    QVERIFY(!PrintReport(paper, 0, s, pointNotation(), &error));
    QVERIFY(!error.isEmpty());
    QCOMPARE(paper.textsEqualTo(QStringLiteral("Box 2")).size(), 0);
}

void TestReportPrint::pdfHoldsTheReportInOrder()
{
    QTemporaryDir dir;
    const QString file = dir.filePath(QStringLiteral("report.pdf"));
    Settings s = threeBoxes();
    QString error;
    QVERIFY2(PrintReportToPdf(file, 0, s, pointNotation(), &error), qPrintable(error));
    const QString text = pdfText(file);
    QCOMPARE(text.count(QLatin1Char('\f')), 3);
    const QString firstPage = text.section(QLatin1Char('\f'), 0, 0);
    qsizetype at = 0;
    for (const char *expected : { "Zandor 3.2", "Test report", "User: Miller", "Name: Kraft A",
             "Impregnation level: 55.5 %", "Box 2: Kraft B", "Results", "Curing time", "7.5 min.",
             "Limit-File: Standard MF", "Adjustments", "350 m'Pa's" }) {
        const qsizetype next = firstPage.indexOf(QString::fromUtf8(expected), at);
        QVERIFY2(next >= 0, expected);
        at = next;
    }
}

void TestReportPrint::pdfFailuresLeaveNoFile()
{
    QTemporaryDir dir;
    Settings s = threeBoxes();
    QString error;
    const QString missingDir = dir.filePath(QStringLiteral("no/such/dir/report.pdf"));
    QVERIFY(!PrintReportToPdf(missingDir, 0, s, pointNotation(), &error));
    QVERIFY(error.contains(missingDir));
    QVERIFY(!QFile::exists(missingDir));
}

QTEST_MAIN(TestReportPrint)
#include "test_testreport.moc"

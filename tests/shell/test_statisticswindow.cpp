#include <QAbstractButton>
#include "FormFixture.h"
#include "TestSupport.h"
#include "display/ReportFixture.h"
#include "shell/GraphResultModel.h"
#include "shell/MainWindow.h"
#include "shell/ResultTrend.h"
#include "shell/StatisticsWindow.h"

#include <QAction>
#include <QCheckBox>
#include <QListWidget>
#include <QMenu>
#include <QSortFilterProxyModel>
#include <QTableView>
#include <QTableWidget>
#include <QtTest>

class TestStatisticsWindow : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void listsFiguresAndSortsByValue();
    void doubleClickLoadsIntoTheActiveBox();
    void trendPagesForTheChosenResultsAndCsv();
    void trendOfOneResultMarksItsOwnOutsiders();
    void menuEntryInUtils();
    void accessKeysAreUnique();

private:
    qint32 save(qint32 dir, const QString &name, float flowTime);

    std::unique_ptr<FormFixture> fx;
    qint32 m_resin = 0;
};

qint32 TestStatisticsWindow::save(qint32 dir, const QString &name, float flowTime)
{
    BoxRecord b;
    b.Status = BoxStatus::Graph;
    b.PruefAm = QStringLiteral("05.12.26");
    b.GrwBez = QStringLiteral("MF standard");
    for (int k = 1; k <= 5; ++k) {
        b.Erg[k] = float(k);
        b.GWU[k] = 0.5f;
        b.GwO[k] = 10;
    }
    b.Erg[4] = flowTime;
    b.GWU[4] = 100;
    b.GwO[4] = 200;
    b.Ein[10] = 10;
    b.x[0] = b.x[1] = 5;
    b.y[1] = 6;
    b.x[2] = CurveEndMark;
    fx->store.SaveBox(b, SaveMode::Add, name, dir);
    return b.UntID;
}

void TestStatisticsWindow::init()
{
    fx = std::make_unique<FormFixture>(commaNotation());
    QVERIFY(fx->opened);
    m_resin = *fx->store.addDirectory(DirectoryType::Graphs, QStringLiteral("resin"));
    const qint32 other = *fx->store.addDirectory(DirectoryType::Graphs, QStringLiteral("other"));
    save(m_resin, QStringLiteral("A"), 150);
    save(m_resin, QStringLiteral("B"), 90); // below the lower limit
    save(m_resin, QStringLiteral("C"), 180);
    save(other, QStringLiteral("D"), 1000);
}

void TestStatisticsWindow::listsFiguresAndSortsByValue()
{
    FrmStatistik w(fx->ctx);
    QCOMPARE(w.directoryList()->count(), 2);
    w.directoryList()->findItems("resin", Qt::MatchExactly).first()->setSelected(true);
    w.cmdShow_Click();
    QTableView *table = w.graphTable();
    QCOMPARE(table->model()->rowCount(), 3);
    const int flow = GraphResultModel::FirstResult + 3;
    table->sortByColumn(flow, Qt::DescendingOrder);
    const auto cell
        = [&](int row, int column) { return table->model()->index(row, column).data().toString(); };
    QCOMPARE(cell(0, GraphResultModel::Name), QStringLiteral("C"));
    QCOMPARE(cell(2, GraphResultModel::Name), QStringLiteral("B"));
    QCOMPARE(cell(2, GraphResultModel::Outside), QStringLiteral("4"));
    QCOMPARE(table->model()->index(2, flow).data(Qt::ForegroundRole).value<QBrush>().color(),
        QColor(Qt::red));
    QCOMPARE(cell(0, GraphResultModel::FirstLimit + 3), QStringLiteral("100 ... 200"));

    // Figures of the flow time: 150, 90, 180; one outside; shared limits give Cp.
    QTableWidget *figures = w.figureTable();
    QCOMPARE(figures->item(3, 1)->text(), QStringLiteral("3"));
    QCOMPARE(figures->item(3, 2)->text(), QStringLiteral("140"));
    QCOMPARE(figures->item(3, 4)->text(), QStringLiteral("90"));
    QCOMPARE(figures->item(3, 6)->text(), QStringLiteral("1"));
    QVERIFY(figures->item(3, 7)->text() != QStringLiteral("-"));
    QCOMPARE(figures->item(0, 3)->text(), QStringLiteral("0")); // result 1 does not spread

    // Without a directory chosen every graph directory counts.
    w.directoryList()->clearSelection();
    w.cmdShow_Click();
    QCOMPARE(table->model()->rowCount(), 4);
}

void TestStatisticsWindow::doubleClickLoadsIntoTheActiveBox()
{
    FrmStatistik w(fx->ctx);
    QSignalSpy loaded(&w, &FrmStatistik::boxLoaded);
    w.cmdShow_Click();
    w.graphTable()->sortByColumn(GraphResultModel::Name, Qt::DescendingOrder); // D C B A
    fx->settings.ActiveBox = 3;
    w.tblGraphs_DoubleClick(1);
    QCOMPARE(fx->settings.Box(3).Kovra, QStringLiteral("C"));
    QCOMPARE(loaded.size(), 1);
    QCOMPARE(loaded.first().first().toInt(), 3);
    // A changed box asks first; No keeps it.
    fx->settings.Box(3).Changed = true;
    fx->messages.answer(false);
    w.tblGraphs_DoubleClick(0);
    QCOMPARE(fx->settings.Box(3).Kovra, QStringLiteral("C"));
    QCOMPARE(
        fx->messages.texts().last(), QStringLiteral("Graph/pattern was not saved, overwrite?"));
    QCOMPARE(loaded.size(), 1);
}

void TestStatisticsWindow::trendPagesForTheChosenResultsAndCsv()
{
    FrmStatistik w(fx->ctx);
    QVERIFY(!w.printTrend(fx->dir.filePath("empty.pdf"))); // nothing shown yet
    QCOMPARE(fx->messages.texts().last(), QStringLiteral("No graph chosen!"));
    w.directoryList()->item(1)->setSelected(true); // "resin", sorted after "other"
    w.cmdShow_Click();
    w.figureTable()->selectRow(1);
    w.figureTable()->setSelectionMode(QAbstractItemView::MultiSelection);
    w.figureTable()->selectRow(3);
    const QString pdf = fx->dir.filePath(QStringLiteral("trend.pdf"));
    QVERIFY(w.printTrend(pdf));
    const QString text = pdfText(pdf);
    QCOMPARE(text.count(QLatin1Char('\f')), 2);
    QVERIFY(text.section(QLatin1Char('\f'), 0, 0).contains(QStringLiteral("Curing time (min.)")));
    QVERIFY(text.section(QLatin1Char('\f'), 1, 1).contains(QStringLiteral("Flow time (sec.)")));
    QVERIFY(text.contains(QStringLiteral("Limit-File: MF standard (100 ... 200)")));

    // The window's CSV follows the notation's decimal comma.
    QVERIFY(w.decimalComma()->isChecked());
    const QString csv = fx->dir.filePath(QStringLiteral("results.csv"));
    QVERIFY(w.writeCsv(csv, false));
    QFile f(csv);
    QVERIFY(f.open(QIODevice::ReadOnly));
    const QList<QByteArray> lines = f.readAll().split('\n');
    QCOMPARE(lines.size(), 1 + 3 + 1);
    QVERIFY(lines.at(1).startsWith("resin;A;2026-12-05;"));
    QVERIFY(lines.at(1).contains(";0,5;"));
}

void TestStatisticsWindow::trendOfOneResultMarksItsOwnOutsiders()
{
    ResultSelection resin;
    resin.directories = { m_resin };
    const QList<GraphResult> graphs = *QueryGraphResults(fx->db, resin);
    const auto figures = ComputeResultStatistics(graphs);
    const TrendSeries flow = MakeTrendSeries(graphs, figures, 4, "resin", fx->notation);
    QCOMPARE(flow.points.size(), 3);
    QList<bool> outside;
    for (const TrendPoint &p : flow.points)
        outside << p.outside;
    QCOMPARE(outside, QList<bool>({ false, true, false })); // A, B, C in key order
    QCOMPARE(*flow.points.at(1).lower, 100.0);
    QCOMPARE(*flow.mean, 140.0);
    QVERIFY(flow.figures.join('\n').contains("Limit-File: MF standard (100 ... 200)"));
    // Result 1 lies inside for all three.
    for (const TrendPoint &p : MakeTrendSeries(graphs, figures, 1, "resin", fx->notation).points)
        QVERIFY(!p.outside);
}

void TestStatisticsWindow::menuEntryInUtils()
{
    QVERIFY(fx->store.LoadSettings(fx->settings));
    FrmKovra main(fx->ctx);
    const QMenu *utils = main.findChild<QMenu *>("mnuHilfs");
    QStringList entries;
    for (const QAction *a : utils->actions())
        entries << a->text();
    QCOMPARE(
        entries, QStringList({ "&Import graphs...", "&Reorganise database", "&Statistics..." }));
}

QTEST_MAIN(TestStatisticsWindow)

// Two controls with the same access key make Alt+letter move the focus
// between them instead of pressing either.
void TestStatisticsWindow::accessKeysAreUnique()
{
    FrmStatistik w(fx->ctx);
    QStringList keys;
    for (const QAbstractButton *b : w.findChildren<QAbstractButton *>()) {
        const qsizetype amp = b->text().indexOf(QLatin1Char('&'));
        if (amp >= 0 && amp + 1 < b->text().size())
            keys << b->text().mid(amp + 1, 1).toLower();
    }
    QVERIFY(keys.size() >= 6);
    QCOMPARE(QSet<QString>(keys.begin(), keys.end()).size(), keys.size());
}

#include "test_statisticswindow.moc"

#pragma once

#include "display/TrendChart.h"
#include "evaluation/ResultStatistics.h"

#include <QDialog>

struct AppContext;
class DrawingSurface;
class PictureBox;
class QCheckBox;
class QComboBox;
class QDateEdit;
class QLineEdit;
class QListWidget;
class QPushButton;
class QSortFilterProxyModel;
class QTableView;
class QTableWidget;
class GraphResultModel;

// Results across specimens: the operator chooses graph directories, a range
// of test dates and a name filter; the window lists the graphs with their
// results and limits, the figures of each result below, and the trend of one
// result. The trend of the results chosen in the figures (all five when
// none is chosen) prints one page each; the selection goes to CSV. A
// double-click loads a graph into the active box.
class FrmStatistik : public QDialog
{
    Q_OBJECT

public:
    explicit FrmStatistik(AppContext &ctx, QWidget *parent = nullptr);

    // Handlers, public so tests can drive them. `row` counts as shown.
    void cmdShow_Click();
    void tblGraphs_DoubleClick(int row);
    bool printTrend(const QString &pdfFile = QString()); // empty: the printer
    bool writeCsv(const QString &fileName, bool curves);

    ResultSelection selection() const;
    const QList<GraphResult> &graphs() const { return m_graphs; }
    QListWidget *directoryList() const { return lstVerz; }
    QTableView *graphTable() const { return tblGraphs; }
    QTableWidget *figureTable() const { return tblFigures; }
    QCheckBox *decimalComma() const { return chkComma; }
    QComboBox *separatorChoice() const { return cboSep; }

signals:
    // A graph was loaded into box `box`; its tile needs showing afresh.
    void boxLoaded(int box);

private:
    void buildLayout();
    void fillDirectories();
    void fillFigureTable();
    void paintTrend(DrawingSurface &surface);
    QList<int> chosenResults() const;
    QList<TrendSeries> trendSeries(const QList<int> &results) const;
    QString selectionText() const;
    void askPdf();
    void askCsv();

    AppContext &m_ctx;
    QListWidget *lstVerz;
    QCheckBox *chkFrom;
    QDateEdit *datFrom;
    QCheckBox *chkTo;
    QDateEdit *datTo;
    QLineEdit *txtName;
    QPushButton *cmdShow;
    QTableView *tblGraphs;
    GraphResultModel *m_model;
    QSortFilterProxyModel *m_sorted;
    QTableWidget *tblFigures;
    QComboBox *cboTrend;
    PictureBox *picTrend;
    QCheckBox *chkComma;
    QComboBox *cboSep;
    QComboBox *cboCsv;
    QPushButton *cmdCsv;
    QPushButton *cmdPrint;
    QPushButton *cmdPdf;
    QPushButton *cmdReturn;
    QList<GraphResult> m_graphs;
    std::array<ResultFigures, 6> m_figures {};
};

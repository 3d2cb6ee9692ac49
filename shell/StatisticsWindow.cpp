#include "shell/StatisticsWindow.h"

#include "core/AppContext.h"
#include "core/Notation.h"
#include "core/OperatorMessages.h"
#include "core/Settings.h"
#include "display/DrawingSurface.h"
#include "display/PictureBox.h"
#include "display/TrendChart.h"
#include "evaluation/ResultCaptions.h"
#include "exchange/CsvExport.h"
#include "shell/GraphResultModel.h"
#include "shell/ResultTrend.h"
#include "store/Database.h"
#include "store/GraphPatternActions.h"
#include "store/Store.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDateEdit>
#include <QFileDialog>
#include <QGridLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QSortFilterProxyModel>
#include <QTableView>
#include <QTableWidget>

namespace
{

QTableWidgetItem *item(const QString &text)
{
    auto *i = new QTableWidgetItem(text);
    i->setFlags(i->flags() & ~Qt::ItemIsEditable);
    return i;
}

} // namespace

FrmStatistik::FrmStatistik(AppContext &ctx, QWidget *parent)
    : QDialog(parent)
    , m_ctx(ctx)
    , lstVerz(new QListWidget(this))
    , chkFrom(new QCheckBox(this))
    , datFrom(new QDateEdit(this))
    , chkTo(new QCheckBox(this))
    , datTo(new QDateEdit(this))
    , txtName(new QLineEdit(this))
    , cmdShow(new QPushButton(this))
    , tblGraphs(new QTableView(this))
    , m_model(new GraphResultModel(ctx.notation, this))
    , m_sorted(new QSortFilterProxyModel(this))
    , tblFigures(new QTableWidget(this))
    , cboTrend(new QComboBox(this))
    , picTrend(new PictureBox(this))
    , chkComma(new QCheckBox(this))
    , cboSep(new QComboBox(this))
    , cboCsv(new QComboBox(this))
    , cmdCsv(new QPushButton(this))
    , cmdPrint(new QPushButton(this))
    , cmdPdf(new QPushButton(this))
    , cmdReturn(new QPushButton(this))
{
    setObjectName(QStringLiteral("frmStatistik"));
    setWindowTitle(QStringLiteral("Statistics"));
    setSizeGripEnabled(true);
    buildLayout();
    fillDirectories();
    connect(cmdShow, &QPushButton::clicked, this, &FrmStatistik::cmdShow_Click);
    connect(tblGraphs, &QTableView::doubleClicked, this,
        [this](const QModelIndex &index) { tblGraphs_DoubleClick(index.row()); });
    connect(cboTrend, &QComboBox::currentIndexChanged, picTrend, [this] { picTrend->update(); });
    connect(picTrend, &PictureBox::paint, this, &FrmStatistik::paintTrend);
    connect(cmdPrint, &QPushButton::clicked, this, [this] { printTrend(); });
    connect(cmdPdf, &QPushButton::clicked, this, &FrmStatistik::askPdf);
    connect(cmdCsv, &QPushButton::clicked, this, &FrmStatistik::askCsv);
    connect(cmdReturn, &QPushButton::clicked, this, &QDialog::close);
    connect(chkComma, &QCheckBox::toggled, this,
        [this](bool comma) { cboSep->setCurrentIndex(comma ? 0 : 1); });
    chkComma->setChecked(m_ctx.notation.decimalSeparator() == QLatin1Char(','));
    cboSep->setCurrentIndex(chkComma->isChecked() ? 0 : 1);
    resize(1100, 760);
}

void FrmStatistik::buildLayout()
{
    lstVerz->setSelectionMode(QAbstractItemView::ExtendedSelection);
    for (QDateEdit *d : { datFrom, datTo }) {
        d->setCalendarPopup(true);
        d->setDate(QDate::currentDate());
    }
    datFrom->setDate(QDate::currentDate().addMonths(-1));
    chkFrom->setText(QStringLiteral("&from"));
    chkTo->setText(QStringLiteral("&to"));
    cmdShow->setText(QStringLiteral("&Show"));
    cmdShow->setDefault(true);
    txtName->setPlaceholderText(QStringLiteral("name or pattern (* ?)"));
    m_sorted->setSourceModel(m_model);
    m_sorted->setSortRole(GraphResultModel::SortRole);
    tblGraphs->setModel(m_sorted);
    tblGraphs->setSortingEnabled(true);
    tblGraphs->sortByColumn(GraphResultModel::Date, Qt::AscendingOrder);
    tblGraphs->setSelectionBehavior(QAbstractItemView::SelectRows);
    tblGraphs->setEditTriggers(QAbstractItemView::NoEditTriggers);
    tblFigures->setColumnCount(9);
    tblFigures->setRowCount(ResultCount);
    tblFigures->setHorizontalHeaderLabels(
        { QStringLiteral("Result"), QStringLiteral("count"), QStringLiteral("mean"),
            QStringLiteral("std. dev."), QStringLiteral("minimum"), QStringLiteral("maximum"),
            QStringLiteral("outside"), QStringLiteral("Cp"), QStringLiteral("Cpk") });
    tblFigures->setSelectionBehavior(QAbstractItemView::SelectRows);
    tblFigures->setEditTriggers(QAbstractItemView::NoEditTriggers);
    tblFigures->verticalHeader()->hide();
    for (int k = 1; k <= ResultCount; ++k)
        cboTrend->addItem(resultCaption(k).caption.chopped(1));
    picTrend->setMinimumHeight(220);
    chkComma->setText(QStringLiteral("decimal &comma"));
    cboSep->addItems({ QStringLiteral(";"), QStringLiteral(","), QStringLiteral("Tab") });
    cboCsv->addItems({ QStringLiteral("results"), QStringLiteral("curves") });
    cmdCsv->setText(QStringLiteral("CS&V..."));
    cmdPrint->setText(QStringLiteral("&Print trend"));
    cmdPdf->setText(QStringLiteral("Trend as P&DF..."));
    cmdReturn->setText(QStringLiteral("&Return"));

    auto *grid = new QGridLayout(this);
    auto *choice = new QGridLayout;
    choice->addWidget(new QLabel(QStringLiteral("Directories:"), this), 0, 0, 1, 2);
    choice->addWidget(lstVerz, 1, 0, 1, 2);
    choice->addWidget(chkFrom, 2, 0);
    choice->addWidget(datFrom, 2, 1);
    choice->addWidget(chkTo, 3, 0);
    choice->addWidget(datTo, 3, 1);
    choice->addWidget(new QLabel(QStringLiteral("Name:"), this), 4, 0);
    choice->addWidget(txtName, 4, 1);
    choice->addWidget(cmdShow, 5, 0, 1, 2);
    grid->addLayout(choice, 0, 0, 2, 1);
    grid->addWidget(tblGraphs, 0, 1, 1, 3);
    grid->addWidget(tblFigures, 1, 1, 1, 3);
    grid->addWidget(cboTrend, 2, 0);
    grid->addWidget(picTrend, 2, 1, 2, 3);
    auto *buttons = new QGridLayout;
    buttons->addWidget(chkComma, 0, 0);
    buttons->addWidget(cboSep, 0, 1);
    buttons->addWidget(cboCsv, 1, 0);
    buttons->addWidget(cmdCsv, 1, 1);
    buttons->addWidget(cmdPrint, 2, 0, 1, 2);
    buttons->addWidget(cmdPdf, 3, 0, 1, 2);
    buttons->addWidget(cmdReturn, 4, 0, 1, 2);
    grid->addLayout(buttons, 3, 0);
    grid->setRowStretch(0, 3);
    grid->setRowStretch(3, 2);
    grid->setColumnStretch(1, 1);
}

void FrmStatistik::fillDirectories()
{
    lstVerz->clear();
    if (!m_ctx.store)
        return;
    for (const DirectoryEntry &d : m_ctx.store->listDirectories(DirectoryType::Graphs)) {
        auto *entry = new QListWidgetItem(d.VerzName, lstVerz);
        entry->setData(Qt::UserRole, d.VerzID);
    }
    lstVerz->sortItems();
}

ResultSelection FrmStatistik::selection() const
{
    ResultSelection s;
    for (const QListWidgetItem *i : lstVerz->selectedItems())
        s.directories << i->data(Qt::UserRole).toInt();
    if (chkFrom->isChecked())
        s.from = datFrom->date();
    if (chkTo->isChecked())
        s.to = datTo->date();
    s.name = txtName->text();
    return s;
}

void FrmStatistik::cmdShow_Click()
{
    if (!m_ctx.store)
        return;
    QApplication::setOverrideCursor(Qt::WaitCursor);
    const auto rows = QueryGraphResults(m_ctx.store->database(), selection());
    QApplication::restoreOverrideCursor();
    if (!rows) {
        m_ctx.messages.show(m_ctx.store->database().lastError(), OperatorMessages::Icon::Critical);
        return;
    }
    m_graphs = *rows;
    m_figures = ComputeResultStatistics(m_graphs);
    m_model->setGraphs(&m_graphs);
    fillFigureTable();
    picTrend->update();
}

void FrmStatistik::fillFigureTable()
{
    const Notation &n = m_ctx.notation;
    const auto optional = [&](const std::optional<double> &v, const QString &f) {
        return v ? n.format(*v, f) : QStringLiteral("-");
    };
    for (int k = 1; k <= ResultCount; ++k) {
        const ResultFigures &f = m_figures[k];
        const QString format = resultCaption(k).format;
        const bool any = f.count > 0;
        const QStringList cells = { resultCaption(k).caption.chopped(1), QString::number(f.count),
            any ? n.format(f.mean, format) : QStringLiteral("-"),
            optional(f.standardDeviation, QStringLiteral("0.0000;;0")),
            any ? n.format(f.minimum, format) : QStringLiteral("-"),
            any ? n.format(f.maximum, format) : QStringLiteral("-"), QString::number(f.outside),
            optional(f.cp, QStringLiteral("0.00;-0.00;0")),
            optional(f.cpk, QStringLiteral("0.00;-0.00;0")) };
        for (int c = 0; c < cells.size(); ++c)
            tblFigures->setItem(k - 1, c, item(cells.at(c)));
    }
}

void FrmStatistik::tblGraphs_DoubleClick(int row)
{
    const QModelIndex shown = m_sorted->index(row, GraphResultModel::Name);
    if (!shown.isValid() || !m_ctx.store)
        return;
    if (LoadIntoBox(m_ctx.settings.activeBox(), shown.data(GraphResultModel::KeyRole).toInt(),
            *m_ctx.store, m_ctx.messages))
        emit boxLoaded(m_ctx.settings.ActiveBox);
}

QString FrmStatistik::selectionText() const
{
    QStringList names;
    for (const QListWidgetItem *i : lstVerz->selectedItems())
        names << i->text();
    return DescribeSelection(names, selection(), m_ctx.notation);
}

QList<TrendSeries> FrmStatistik::trendSeries(const QList<int> &results) const
{
    QList<TrendSeries> all;
    for (int k : results)
        all << MakeTrendSeries(m_graphs, m_figures, k, selectionText(), m_ctx.notation);
    return all;
}

void FrmStatistik::paintTrend(DrawingSurface &surface)
{
    if (m_graphs.isEmpty())
        return;
    const int k = cboTrend->currentIndex() + 1;
    const QSizeF size = surface.extentTwips();
    DrawTrendChart(
        surface, trendSeries({ k }).first(), QRectF(QPointF(0, 0), size), m_ctx.notation, 8);
}

QList<int> FrmStatistik::chosenResults() const
{
    QList<int> results;
    for (int k = 1; k <= ResultCount; ++k)
        if (tblFigures->item(k - 1, 0) && tblFigures->item(k - 1, 0)->isSelected())
            results << k;
    if (results.isEmpty())
        results = { 1, 2, 3, 4, 5 };
    return results;
}

bool FrmStatistik::printTrend(const QString &pdfFile)
{
    if (m_graphs.isEmpty()) {
        m_ctx.messages.show(QStringLiteral("No graph chosen!"));
        return false;
    }
    QString error;
    QApplication::setOverrideCursor(Qt::WaitCursor);
    const QList<TrendSeries> series = trendSeries(chosenResults());
    bool printed = false;
    if (!pdfFile.isEmpty())
        printed = PrintTrendChartsToPdf(pdfFile, series, m_ctx.settings, m_ctx.notation, &error);
    else if (m_ctx.printer)
        printed = PrintTrendCharts(*m_ctx.printer, series, m_ctx.settings, m_ctx.notation, &error);
    else
        error = QStringLiteral("No printer is set up.");
    QApplication::restoreOverrideCursor();
    if (!printed)
        m_ctx.messages.show(error, OperatorMessages::Icon::Critical);
    return printed;
}

bool FrmStatistik::writeCsv(const QString &fileName, bool curves)
{
    if (!m_ctx.store)
        return false;
    CsvFormat format;
    format.decimal = chkComma->isChecked() ? QLatin1Char(',') : QLatin1Char('.');
    const QString sep = cboSep->currentText();
    format.separator = sep == QLatin1String("Tab") ? QLatin1Char('\t') : sep.at(0);
    QString error;
    QApplication::setOverrideCursor(Qt::WaitCursor);
    Database &db = m_ctx.store->database();
    const bool written = curves ? WriteCurvesCsv(db, selection(), fileName, format, &error)
                                : WriteResultsCsv(db, selection(), fileName, format, &error);
    QApplication::restoreOverrideCursor();
    if (!written)
        m_ctx.messages.show(error, OperatorMessages::Icon::Critical);
    return written;
}

void FrmStatistik::askPdf()
{
    const QString file = QFileDialog::getSaveFileName(
        this, QStringLiteral("Trend chart"), QStringLiteral("trend.pdf"), QStringLiteral("*.pdf"));
    if (!file.isEmpty())
        printTrend(file);
}

void FrmStatistik::askCsv()
{
    const bool curves = cboCsv->currentIndex() == 1;
    const QString file = QFileDialog::getSaveFileName(this, QStringLiteral("CSV"),
        curves ? QStringLiteral("curves.csv") : QStringLiteral("results.csv"),
        QStringLiteral("*.csv"));
    if (!file.isEmpty())
        writeCsv(file, curves);
}

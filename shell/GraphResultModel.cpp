#include "shell/GraphResultModel.h"

#include "core/Notation.h"
#include "evaluation/ResultCaptions.h"
#include "evaluation/ResultStatistics.h"

#include <QBrush>

namespace
{

QString outsideList(const GraphResult &g)
{
    QStringList out;
    for (int k = 1; k <= ResultCount; ++k)
        if (OutsideLimits(g, k))
            out << QString::number(k);
    return out.join(QStringLiteral(", "));
}

} // namespace

GraphResultModel::GraphResultModel(const Notation &notation, QObject *parent)
    : QAbstractTableModel(parent)
    , m_notation(notation)
{
}

void GraphResultModel::setGraphs(const QList<GraphResult> *graphs)
{
    beginResetModel();
    m_graphs = graphs;
    endResetModel();
}

int GraphResultModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() || !m_graphs ? 0 : int(m_graphs->size());
}

int GraphResultModel::columnCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : ColumnCount;
}

QString GraphResultModel::text(const GraphResult &g, int column) const
{
    const Notation &n = m_notation;
    if (column == Directory)
        return g.directory;
    if (column == Name)
        return g.Kovra;
    if (column == Date)
        return g.PruefAm.isValid() ? n.date(g.PruefAm) : QString();
    if (column == Outside)
        return outsideList(g);
    if (column < FirstLimit) {
        const int k = column - FirstResult + 1;
        return n.format(g.Erg[k], resultCaption(k).format);
    }
    const int k = column - FirstLimit + 1;
    if (!g.hasLimitFile())
        return {};
    return n.format(g.GWU[k], resultCaption(k).format) + QStringLiteral(" ... ")
        + n.format(g.GwO[k], resultCaption(k).format);
}

QVariant GraphResultModel::sortValue(const GraphResult &g, int column) const
{
    if (column == Date)
        return g.PruefAm.isValid() ? g.PruefAm.toJulianDay() : 0;
    if (column >= FirstResult && column < FirstLimit)
        return g.Erg[column - FirstResult + 1];
    if (column >= FirstLimit && column < Outside)
        return g.GWU[column - FirstLimit + 1];
    return text(g, column);
}

QVariant GraphResultModel::data(const QModelIndex &index, int role) const
{
    if (!index.isValid() || !m_graphs || index.row() >= m_graphs->size())
        return {};
    const GraphResult &g = m_graphs->at(index.row());
    const int column = index.column();
    switch (role) {
    case Qt::DisplayRole:
        return text(g, column);
    case SortRole:
        return sortValue(g, column);
    case KeyRole:
        return g.UntID;
    case Qt::ForegroundRole:
        if (column >= FirstResult && column < FirstLimit
            && OutsideLimits(g, column - FirstResult + 1))
            return QBrush(Qt::red);
        return {};
    default:
        return {};
    }
}

QVariant GraphResultModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole)
        return QAbstractTableModel::headerData(section, orientation, role);
    if (section == Directory)
        return QStringLiteral("Directory");
    if (section == Name)
        return QStringLiteral("Name");
    if (section == Date)
        return QStringLiteral("Test date");
    if (section == Outside)
        return QStringLiteral("outside");
    if (section < FirstLimit)
        return resultCaption(section - FirstResult + 1).caption.chopped(1);
    return QStringLiteral("limits %1").arg(section - FirstLimit + 1);
}

#pragma once

#include "store/ResultQuery.h"

#include <QAbstractTableModel>

class Notation;

// The chosen graphs as a table: directory, name, test date, the five
// results (red where outside their limits), the five limit ranges and which
// results lie outside. Texts are made when shown, so ten thousand graphs
// cost no more than the rows on screen; SortRole gives numbers and dates
// as such, so columns sort by value.
class GraphResultModel : public QAbstractTableModel
{
public:
    static constexpr int SortRole = Qt::UserRole;
    static constexpr int KeyRole = Qt::UserRole + 1; // UntID
    enum Column {
        Directory,
        Name,
        Date,
        FirstResult,
        FirstLimit = FirstResult + 5,
        Outside = FirstLimit + 5,
        ColumnCount
    };

    GraphResultModel(const Notation &notation, QObject *parent = nullptr);
    // Kept by reference: a temporary notation would dangle.
    GraphResultModel(Notation &&notation, QObject *parent = nullptr) = delete;

    void setGraphs(const QList<GraphResult> *graphs);

    int rowCount(const QModelIndex &parent = {}) const override;
    int columnCount(const QModelIndex &parent = {}) const override;
    QVariant data(const QModelIndex &index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

private:
    QString text(const GraphResult &g, int column) const;
    QVariant sortValue(const GraphResult &g, int column) const;

    const Notation &m_notation;
    const QList<GraphResult> *m_graphs = nullptr;
};

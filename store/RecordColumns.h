#pragma once

#include <QStringList>

// Column groups of the table Untersuchungen, in the order the record
// transfer writes them.
namespace RecordColumns {

// Specimen data, stored for graphs and patterns alike.
const QStringList &specimen();
// Curve, adjustments, results and limits: stored for graphs only.
const QStringList &graph();
// The columns that hold dates (ISO texts in the file, "dd/mm/yy" in a box).
const QStringList &dates();
// A column name quoted for SQL (some hold umlauts).
QString quoted(const QString &column);

} // namespace RecordColumns

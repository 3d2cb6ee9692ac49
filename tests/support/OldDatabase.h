#pragma once

#include "support/JetWriter.h"

// The four tables of the earlier program's database, with the column names
// and types it used, and contents as a lab's file holds them: umlauts,
// notes over several lines, Null beside "" texts, curves of 1 to 299 points
// in cells with a decimal comma or point, all three directory types, and
// gaps in every key.
namespace OldDatabase
{

QList<Jet::Column> directoryColumns();
QList<Jet::Column> recordColumns();
QList<Jet::Column> limitColumns();
QList<Jet::Column> settingsColumns();

// A file with `records` stored graphs and patterns (and a directory for
// every twenty of them, a limit file for every ten), the same for the same
// seed.
QList<Jet::Table> tables(int records, unsigned seed = 1);

// One valid settings record, in settingsColumns() order.
Jet::Row settingsRow();

// A curve's stored cells for n points and the end mark.
QString curveCells(const QList<float> &values, bool decimalComma);

} // namespace OldDatabase

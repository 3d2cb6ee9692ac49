#pragma once

#include <QByteArray>
#include <QString>

class Notation;
class QSqlRecord;
class Store;

// The export file: one stored record as a text line of "|"-separated
// columns after the literal "-1|-1|", then one "time|value" line per curve
// point, lines ended by CR LF, text in the ANSI code page.
inline QString defaultExportFileName()
{
    return QStringLiteral("export.dat");
}

// The whole file for a record with every column of the stored table.
QByteArray FormatExportRecord(const QSqlRecord &record, const Notation &notation);

// Writes the record with key UntID = key to fileName, replacing a file of
// that name. The file appears only when it was written completely; false
// when there is no such record or the file could not be written.
bool ExportRecord(Store &store, qint32 key, const QString &fileName, const Notation &notation);

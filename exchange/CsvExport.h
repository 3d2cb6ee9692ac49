#pragma once

#include <QChar>
#include <QString>

class Database;
struct ResultSelection;

// How numbers and fields are written, so that a spreadsheet reads the file
// as it stands: on a comma system the decimal comma and ";" between fields,
// elsewhere "." and ",". The two must differ.
struct CsvFormat {
    QChar separator = QLatin1Char(',');
    QChar decimal = QLatin1Char('.');

    static CsvFormat decimalComma() { return { QLatin1Char(';'), QLatin1Char(',') }; }
    bool valid() const;
};

// A single as the shortest text that reads back as the same single, with
// the format's decimal mark.
QString CsvNumber(float value, const CsvFormat &format);
// A field quoted when it holds the separator, a quote or a line break.
QString CsvField(const QString &text, const CsvFormat &format);

// One row per selected graph: directory, name, test date, the specimen
// columns, the five results, their lower and upper limits and the limit
// file. UTF-8 with a byte-order mark (which spreadsheets take as the sign of
// UTF-8), lines ended by CR LF. The file appears only when written whole.
bool WriteResultsCsv(Database &db, const ResultSelection &selection, const QString &fileName,
    const CsvFormat &format, QString *error = nullptr);
// One row per curve point of each selected graph: directory, name, point,
// seconds, percent.
bool WriteCurvesCsv(Database &db, const ResultSelection &selection, const QString &fileName,
    const CsvFormat &format, QString *error = nullptr);

#include "exchange/CsvExport.h"

#include "core/BoxRecord.h"
#include "store/Database.h"
#include "store/RecordColumns.h"
#include "store/ResultQuery.h"

#include <QSaveFile>
#include <charconv>

namespace
{

const char *const LineEnd = "\r\n";

bool fail(QString *error, const QString &text)
{
    if (error)
        *error = text;
    return false;
}

QString row(const QStringList &fields, const CsvFormat &format)
{
    QStringList quoted;
    for (const QString &f : fields)
        quoted << CsvField(f, format);
    return quoted.join(format.separator) + QLatin1String(LineEnd);
}

// Stored values as they stand: REAL columns as numbers, the rest as text
// (dates are ISO texts already, which spreadsheets take as dates).
QString storedValue(const QVariant &value, const CsvFormat &format)
{
    if (value.isNull())
        return {};
    if (value.typeId() == QMetaType::Double)
        return CsvNumber(float(value.toDouble()), format);
    return value.toString();
}

QStringList resultsHeader()
{
    QStringList h
        = { QStringLiteral("VerzName"), QStringLiteral("Kovra"), QStringLiteral("PrüfAm") };
    const QStringList &columns = RecordColumns::specimen();
    for (qsizetype i = 0; i < columns.size(); ++i)
        if (i != RecordColumns::GrwBez && i != RecordColumns::PruefAm)
            h << columns.at(i);
    for (int k = 1; k <= 5; ++k)
        h << QStringLiteral("Erg%1").arg(k);
    for (int k = 1; k <= 5; ++k)
        h << QStringLiteral("GWU%1").arg(k);
    for (int k = 1; k <= 5; ++k)
        h << QStringLiteral("GWO%1").arg(k);
    h << QStringLiteral("GrwBez") << QStringLiteral("Fehlend");
    return h;
}

QStringList resultsRow(const GraphResult &g, const CsvFormat &format)
{
    QStringList r = { g.directory, g.Kovra,
        g.PruefAm.isValid() ? g.PruefAm.toString(Qt::ISODate) : QString() };
    const QStringList &columns = RecordColumns::specimen();
    for (qsizetype i = 0; i < columns.size() && i < g.specimen.size(); ++i)
        if (i != RecordColumns::GrwBez && i != RecordColumns::PruefAm)
            r << storedValue(g.specimen.at(i), format);
    for (int k = 1; k <= 5; ++k)
        r << CsvNumber(g.Erg[k], format);
    for (int k = 1; k <= 5; ++k)
        r << CsvNumber(g.GWU[k], format);
    for (int k = 1; k <= 5; ++k)
        r << CsvNumber(g.GwO[k], format);
    r << g.GrwBez << QString::number(g.Fehlend);
    return r;
}

class CsvFile
{
public:
    explicit CsvFile(const QString &fileName)
        : m_file(fileName)
    {
    }
    bool open(QString *error)
    {
        if (m_file.fileName().isEmpty() || !m_file.open(QIODevice::WriteOnly))
            return fail(error,
                QStringLiteral("\"%1\" could not be written: %2")
                    .arg(m_file.fileName(), m_file.errorString()));
        return write(QStringLiteral("\uFEFF"));
    }
    bool write(const QString &text)
    {
        const QByteArray bytes = text.toUtf8();
        return m_file.write(bytes) == bytes.size();
    }
    bool commit(bool ok, QString *error)
    {
        if (!ok) {
            m_file.cancelWriting();
            return false;
        }
        if (!m_file.commit())
            return fail(error,
                QStringLiteral("\"%1\" could not be written: %2")
                    .arg(m_file.fileName(), m_file.errorString()));
        return true;
    }

private:
    QSaveFile m_file;
};

} // namespace

bool CsvFormat::valid() const
{
    const auto bad = [](QChar c) {
        return c.isLetterOrNumber() || c == QLatin1Char('"') || c == QLatin1Char('\r')
            || c == QLatin1Char('\n') || c == QLatin1Char('-') || c == QLatin1Char('+');
    };
    return separator != decimal && !bad(separator) && !bad(decimal);
}

QString CsvNumber(float value, const CsvFormat &format)
{
    char buffer[32];
    const auto result = std::to_chars(buffer, buffer + sizeof buffer, value);
    QString text = QString::fromLatin1(buffer, result.ptr - buffer);
    text.replace(QLatin1Char('.'), format.decimal);
    return text;
}

QString CsvField(const QString &text, const CsvFormat &format)
{
    if (!text.contains(format.separator) && !text.contains(QLatin1Char('"'))
        && !text.contains(QLatin1Char('\n')) && !text.contains(QLatin1Char('\r')))
        return text;
    QString quoted = text;
    quoted.replace(QLatin1String("\""), QLatin1String("\"\""));
    return QLatin1Char('"') + quoted + QLatin1Char('"');
}

bool WriteResultsCsv(Database &db, const ResultSelection &selection, const QString &fileName,
    const CsvFormat &format, QString *error)
{
    if (!format.valid())
        return fail(error, QStringLiteral("the separator and the decimal mark must differ"));
    const std::optional<QList<GraphResult>> graphs = QueryGraphResults(db, selection, true);
    if (!graphs)
        return fail(error, db.lastError());
    CsvFile file(fileName);
    if (!file.open(error))
        return false;
    bool ok = file.write(row(resultsHeader(), format));
    for (const GraphResult &g : *graphs)
        ok = ok && file.write(row(resultsRow(g, format), format));
    if (!ok)
        fail(error, QStringLiteral("\"%1\" could not be written").arg(fileName));
    return file.commit(ok, error);
}

bool WriteCurvesCsv(Database &db, const ResultSelection &selection, const QString &fileName,
    const CsvFormat &format, QString *error)
{
    if (!format.valid())
        return fail(error, QStringLiteral("the separator and the decimal mark must differ"));
    CsvFile file(fileName);
    if (!file.open(error))
        return false;
    bool ok = file.write(
        row({ QStringLiteral("VerzName"), QStringLiteral("Kovra"), QStringLiteral("point"),
                QStringLiteral("seconds"), QStringLiteral("percent") },
            format));
    const bool read
        = ForEachGraphCurve(db, selection, [&](const GraphResult &g, const BoxRecord &c) {
              const int points = c.pointCount();
              for (int i = 0; i < points && ok; ++i)
                  ok = file.write(row({ g.directory, g.Kovra, QString::number(i),
                                          CsvNumber(c.y[i], format), CsvNumber(c.x[i], format) },
                      format));
          });
    if (!read)
        fail(error, db.lastError());
    else if (!ok)
        fail(error, QStringLiteral("\"%1\" could not be written").arg(fileName));
    return file.commit(ok && read, error);
}

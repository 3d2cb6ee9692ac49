#include "store/DatabaseCopy.h"

#include "store/Database.h"
#include "store/Schema.h"
#include "store/SqlHelpers.h"

#include <QSqlError>
#include <QSqlField>
#include <QSqlQuery>
#include <QSqlRecord>

namespace
{

// Tables in the order they are copied, with the key whose counter is
// carried over and the order in which rows are read; Init has neither, the
// points of the journal are ordered by run and point.
struct CopiedTable {
    const char *table;
    const char *key;
    const char *order;
};
const CopiedTable kTables[] = {
    { "Verzeichnisse", "VerzID", R"("VerzID")" },
    { "Untersuchungen", "UntID", R"("UntID")" },
    { "Grenzwerte", "GrwID", R"("GrwID")" },
    { "Init", nullptr, nullptr },
    { "Messjournal", "LaufID", R"("LaufID")" },
    { "Messpunkte", nullptr, R"("LaufID", "Punkt")" },
};

QStringList columnsOf(const char *table)
{
    for (const Schema::TableColumns &t : Schema::allTables())
        if (qstrcmp(t.table, table) == 0)
            return t.columns + Schema::addedColumns(table);
    return {};
}

QString columnList(const QStringList &columns)
{
    QStringList quoted;
    for (const QString &c : columns)
        quoted << SqlDialect::quoted(c);
    return quoted.join(QStringLiteral(", "));
}

// Rows of the tables that hold the lab's data (not the settings), an
// interrupted run's journal among them.
std::optional<qint64> dataRows(Database &db, QString &problem)
{
    qint64 rows = 0;
    QSqlQuery q(db.connection());
    for (const CopiedTable &t : kTables) {
        if (!t.key)
            continue;
        if (!q.exec(QStringLiteral("SELECT count(*) FROM %1")
                        .arg(SqlDialect::quoted(QLatin1String(t.table))))
            || !q.next()) {
            problem = q.lastError().text();
            return std::nullopt;
        }
        rows += q.value(0).toLongLong();
    }
    return rows;
}

QString emptyTables(Database &db)
{
    QSqlQuery q(db.connection());
    for (const CopiedTable &t : kTables)
        if (!q.exec(
                QStringLiteral("DELETE FROM %1").arg(SqlDialect::quoted(QLatin1String(t.table)))))
            return q.lastError().text();
    return {};
}

// What the source is read with: every column, except that the server hands
// out a single (REAL) as its shortest decimal, which read as a double is not
// the single's value (0.1 against 0.100000001490116...); widened on the
// server first, it is, and a file gets the same bits it had.
QString readColumns(Database &source, const QString &table, const QStringList &columns)
{
    if (!source.onServer())
        return columnList(columns);
    const QSqlRecord types = source.connection().record(table);
    QStringList read;
    for (const QString &c : columns) {
        const QSqlField field = types.field(c);
        read << (field.metaType().id() == QMetaType::Double
                ? QStringLiteral("CAST(%1 AS DOUBLE PRECISION)").arg(SqlDialect::quoted(c))
                : SqlDialect::quoted(c));
    }
    return read.join(QStringLiteral(", "));
}

// Copies one table row by row; the source statement streams, so no table is
// ever held in memory whole.
QString copyTable(Database &source, Database &target, const CopiedTable &t, qint64 &rows)
{
    const QStringList columns = columnsOf(t.table);
    const QString table = SqlDialect::quoted(QLatin1String(t.table));
    QSqlQuery read(source.connection());
    read.setForwardOnly(true);
    const QString order
        = t.order ? QStringLiteral(" ORDER BY ") + QLatin1String(t.order) : QString();
    if (!read.exec(QStringLiteral("SELECT %1 FROM %2%3")
                       .arg(readColumns(source, table, columns), table, order)))
        return QStringLiteral("%1 cannot be read: %2")
            .arg(QLatin1String(t.table), read.lastError().text());
    QStringList marks;
    for (qsizetype i = 0; i < columns.size(); ++i)
        marks << QStringLiteral("?");
    QSqlQuery write(target.connection());
    if (!write.prepare(QStringLiteral("INSERT INTO %1 (%2) VALUES (%3)")
                           .arg(table, columnList(columns), marks.join(QStringLiteral(", ")))))
        return write.lastError().text();
    while (read.next()) {
        for (int i = 0; i < columns.size(); ++i)
            write.bindValue(i, read.value(i));
        if (!write.exec())
            return QStringLiteral("%1 cannot be written: %2")
                .arg(QLatin1String(t.table), write.lastError().text());
        ++rows;
    }
    if (read.lastError().type() != QSqlError::NoError)
        return QStringLiteral("%1 cannot be read to its end: %2")
            .arg(QLatin1String(t.table), read.lastError().text());
    return {};
}

// The target's key counter is raised to the source's (which may lie above
// the highest key left, when the newest records were deleted).
QString carryKeySequence(Database &source, Database &target, const CopiedTable &t)
{
    QSqlDatabase from = source.connection();
    QSqlDatabase to = target.connection();
    const QString table = QLatin1String(t.table), key = QLatin1String(t.key);
    QSqlError error;
    const std::optional<qint64> given = source.dialect().keySequence(from, table, key, error);
    if (!given)
        return error.text();
    QSqlQuery q(to);
    if (!q.exec(QStringLiteral("SELECT max(%1) FROM %2")
                    .arg(SqlDialect::quoted(key), SqlDialect::quoted(table)))
        || !q.next())
        return q.lastError().text();
    const qint64 highest = std::max(*given, q.value(0).toLongLong());
    if (highest <= 0)
        return {};
    return target.dialect().raiseKeySequence(to, table, key, highest);
}

} // namespace

CopyResult CopyDatabase(Database &source, Database &target, bool replace)
{
    CopyResult result;
    if (!source.isOpen() || !target.isOpen()) {
        result.problem = QStringLiteral("both databases must be open");
        return result;
    }
    QSqlQuery snapshot(source.connection());
    if (!snapshot.exec(source.dialect().beginSnapshot())) {
        result.problem = snapshot.lastError().text();
        return result;
    }
    // Every digit of a double, also from a server older than version 12,
    // which otherwise rounds to 15.
    if (source.onServer() && !snapshot.exec(QStringLiteral("SET LOCAL extra_float_digits = 3"))) {
        result.problem = snapshot.lastError().text();
        snapshot.exec(QStringLiteral("ROLLBACK"));
        return result;
    }
    const bool copied = target.transaction([&] {
        const std::optional<qint64> present = dataRows(target, result.problem);
        if (!present)
            return false;
        if (*present > 0 && !replace) {
            result.problem
                = QStringLiteral("the target already holds %1 rows of directories, records, "
                                 "limit files and measurement journal (--replace overwrites them)")
                      .arg(*present);
            return false;
        }
        if (!(result.problem = emptyTables(target)).isEmpty())
            return false;
        for (const CopiedTable &t : kTables) {
            TableCount count { QLatin1String(t.table), 0 };
            result.problem = copyTable(source, target, t, count.rows);
            if (result.problem.isEmpty() && t.key)
                result.problem = carryKeySequence(source, target, t);
            if (!result.problem.isEmpty())
                return false;
            result.counts << count;
        }
        return true;
    });
    snapshot.exec(QStringLiteral("ROLLBACK"));
    if (!copied) {
        if (result.problem.isEmpty())
            result.problem = target.lastError();
        result.counts.clear();
    }
    return result;
}

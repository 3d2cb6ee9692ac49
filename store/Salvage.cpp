#include "store/Salvage.h"

#include "store/EngineErrors.h"
#include "store/SqliteFile.h"

#include <QSqlError>
#include <QSqlQuery>
#include <QSqlRecord>
#include <QStringList>
#include <optional>
#include <set>

namespace
{

QString quotedName(const QString &name)
{
    QString inner = name;
    return QLatin1Char('"') + inner.replace(QLatin1Char('"'), QStringLiteral("\"\""))
        + QLatin1Char('"');
}

// Adds the keys a statement yields until it ends or fails.
void collectKeys(QSqlDatabase &db, const QString &sql, std::set<qint64> &keys)
{
    QSqlQuery q(db);
    q.setForwardOnly(true);
    if (!q.exec(sql))
        return;
    while (q.next())
        keys.insert(q.value(0).toLongLong());
}

// Every key that some part of the file still names: the table read from
// either end (a damaged page stops a scan, not the one from the other side)
// and every index of the table.
std::set<qint64> knownKeys(QSqlDatabase &db, const QString &table)
{
    std::set<qint64> keys;
    const QString t = quotedName(table);
    collectKeys(db, QStringLiteral("SELECT rowid FROM %1 ORDER BY rowid").arg(t), keys);
    collectKeys(db, QStringLiteral("SELECT rowid FROM %1 ORDER BY rowid DESC").arg(t), keys);
    for (const QString &index : SqliteFile::indexesOf(db, table))
        collectKeys(db,
            QStringLiteral("SELECT rowid FROM %1 INDEXED BY %2").arg(t, quotedName(index)), keys);
    return keys;
}

// The keys worth trying: the known ones and every gap below the highest key
// ever given, unless that range is far larger than the table.
std::set<qint64> keysToTry(const std::set<qint64> &known, std::optional<qint64> sequence)
{
    std::set<qint64> keys = known;
    qint64 highest = known.empty() ? 0 : *known.rbegin();
    if (sequence)
        highest = std::max(highest, *sequence);
    if (highest <= qint64(known.size()) * 4 + 100000)
        for (qint64 k = 1; k <= highest; ++k)
            keys.insert(k);
    return keys;
}

void count(const QString &table, const QSqlRecord &row, SalvageReport &report)
{
    if (table == QLatin1String("Verzeichnisse"))
        ++report.directories;
    else if (table == QLatin1String("Grenzwerte"))
        ++report.limitFiles;
    else if (table != QLatin1String("Untersuchungen"))
        ++report.otherRows;
    else if (row.value(QStringLiteral("Status")).toInt() == 4)
        ++report.graphs;
    else
        ++report.patterns;
}

class TableSalvage
{
public:
    TableSalvage(QSqlDatabase &from, QSqlDatabase &to, const QString &table)
        : m_from(from)
        , m_to(to)
        , m_table(table)
        , m_read(from)
        , m_write(to)
    {
        m_columns = to.record(table);
        m_read.setForwardOnly(true);
        m_read.prepare(QStringLiteral("SELECT * FROM %1 WHERE rowid = ?").arg(quotedName(table)));
    }

    QString run(SalvageReport &report)
    {
        const std::set<qint64> known = knownKeys(m_from, m_table);
        const std::optional<qint64> sequence = SqliteFile::keySequence(m_from, m_table);
        bool replacedDefaults = false;
        for (qint64 key : keysToTry(known, sequence)) {
            std::optional<QSqlRecord> row = readRow(key);
            if (!row) {
                if (known.count(key))
                    ++report.unreadable;
                continue;
            }
            // A new file comes with its own settings row; the salvaged one
            // takes its place (when none can be read, the defaults stay).
            if (!replacedDefaults) {
                QSqlQuery clear(m_to);
                if (!clear.exec(QStringLiteral("DELETE FROM %1").arg(quotedName(m_table))))
                    return EngineErrors::describe(clear.lastError());
                replacedDefaults = true;
            }
            const QString problem = write(*row);
            if (!problem.isEmpty())
                return problem;
            count(m_table, *row, report);
        }
        if (sequence)
            return SqliteFile::raiseKeySequence(m_to, m_table, *sequence);
        return {};
    }

private:
    std::optional<QSqlRecord> readRow(qint64 key)
    {
        m_read.bindValue(0, key);
        if (!m_read.exec() || !m_read.next()) {
            m_read.finish();
            return std::nullopt;
        }
        QSqlRecord row = m_read.record();
        const bool whole = m_read.lastError().type() == QSqlError::NoError;
        m_read.finish();
        if (!whole)
            return std::nullopt;
        return row;
    }

    QString write(const QSqlRecord &row)
    {
        if (m_insertColumns.isEmpty()) {
            QStringList names, marks;
            for (int i = 0; i < row.count(); ++i)
                if (m_columns.contains(row.fieldName(i))) {
                    m_insertColumns << row.fieldName(i);
                    names << quotedName(row.fieldName(i));
                    marks << QStringLiteral("?");
                }
            m_write.prepare(QStringLiteral("INSERT INTO %1 (%2) VALUES (%3)")
                                .arg(quotedName(m_table), names.join(QLatin1Char(',')),
                                    marks.join(QLatin1Char(','))));
        }
        for (int i = 0; i < m_insertColumns.size(); ++i)
            m_write.bindValue(i, row.value(m_insertColumns.at(i)));
        if (!m_write.exec())
            return EngineErrors::describe(m_write.lastError());
        return {};
    }

    QSqlDatabase &m_from;
    QSqlDatabase &m_to;
    QString m_table;
    QSqlRecord m_columns;
    QStringList m_insertColumns;
    QSqlQuery m_read;
    QSqlQuery m_write;
};

} // namespace

QString SalvageReport::summary() const
{
    return QStringLiteral("saved %1 directories, %2 graphs, %3 patterns and %4 limit files; "
                          "%5 rows could not be read")
        .arg(QString::number(directories), QString::number(graphs), QString::number(patterns),
            QString::number(limitFiles), QString::number(unreadable));
}

QString SalvageInto(QSqlDatabase &damaged, QSqlDatabase &fresh, SalvageReport &report)
{
    report = {};
    const QStringList present = SqliteFile::tables(damaged);
    QSqlQuery tx(fresh);
    if (!tx.exec(QStringLiteral("BEGIN IMMEDIATE")))
        return EngineErrors::describe(tx.lastError());
    for (const QString &table : SqliteFile::tables(fresh)) {
        if (!present.contains(table))
            continue;
        const QString problem = TableSalvage(damaged, fresh, table).run(report);
        if (!problem.isEmpty()) {
            tx.exec(QStringLiteral("ROLLBACK"));
            return problem;
        }
    }
    if (!tx.exec(QStringLiteral("COMMIT"))) {
        const QString problem = EngineErrors::describe(tx.lastError());
        tx.exec(QStringLiteral("ROLLBACK"));
        return problem;
    }
    return {};
}

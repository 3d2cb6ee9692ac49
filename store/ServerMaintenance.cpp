#include "store/ServerMaintenance.h"

#include "store/Database.h"
#include "store/Schema.h"

#include <QSqlError>
#include <QSqlQuery>

namespace
{

// The program's tables as a list for the server's catalogue; the names are
// the program's own constants, never input.
QString tableNames()
{
    QStringList names;
    for (const Schema::TableColumns &t : Schema::allTables())
        names << QLatin1Char('\'') + QLatin1String(t.table) + QLatin1Char('\'');
    return names.join(QStringLiteral(", "));
}

struct IndexState {
    QString name;
    bool valid = true;
    bool btree = true;
};

QList<IndexState> indexesOfOurTables(QSqlQuery &q, QString &problem)
{
    QList<IndexState> out;
    if (!q.exec(
            QStringLiteral("SELECT c.relname, i.indisvalid AND i.indisready, am.amname = 'btree' "
                           "FROM pg_index i JOIN pg_class c ON c.oid = i.indexrelid "
                           "JOIN pg_class t ON t.oid = i.indrelid "
                           "JOIN pg_am am ON am.oid = c.relam "
                           "WHERE t.relnamespace = current_schema()::regnamespace "
                           "AND t.relname IN (%1) ORDER BY c.relname")
                .arg(tableNames()))) {
        problem = q.lastError().text();
        return out;
    }
    while (q.next())
        out.append({ q.value(0).toString(), q.value(1).toBool(), q.value(2).toBool() });
    return out;
}

bool hasAmcheck(QSqlQuery &q)
{
    return q.exec(QStringLiteral("SELECT 1 FROM pg_extension WHERE extname = 'amcheck'"))
        && q.next();
}

// Whether amcheck finds the index consistent with itself.
bool passesAmcheck(QSqlQuery &q, const QString &index)
{
    q.prepare(QStringLiteral("SELECT bt_index_check(?::regclass)"));
    q.addBindValue(SqlDialect::quoted(index));
    return q.exec();
}

} // namespace

MaintenanceReport MaintainServerDatabase(Database &db)
{
    MaintenanceReport report;
    QSqlQuery q(db.connection());
    int tables = 0;
    // Each outside a transaction, as the server requires for VACUUM.
    for (const Schema::TableColumns &t : Schema::allTables()) {
        if (!q.exec(QStringLiteral("VACUUM (ANALYZE) %1")
                        .arg(SqlDialect::quoted(QLatin1String(t.table))))) {
            report.problem = QStringLiteral("the server's maintenance of %1 failed (%2)")
                                 .arg(QLatin1String(t.table), q.lastError().text().simplified());
            return report;
        }
        ++tables;
    }
    const QList<IndexState> indexes = indexesOfOurTables(q, report.problem);
    if (!report.problem.isEmpty())
        return report;
    const bool deepCheck = hasAmcheck(q);
    QStringList rebuilt;
    for (const IndexState &index : indexes) {
        const bool sound
            = index.valid && (!deepCheck || !index.btree || passesAmcheck(q, index.name));
        if (sound)
            continue;
        if (!q.exec(QStringLiteral("REINDEX INDEX %1").arg(SqlDialect::quoted(index.name)))) {
            report.problem = QStringLiteral("the index %1 cannot be rebuilt (%2)")
                                 .arg(index.name, q.lastError().text().simplified());
            return report;
        }
        rebuilt << index.name;
    }
    report.summary
        = QStringLiteral("The database %1 on the server was reorganised: %2 tables "
                         "vacuumed and analysed, %3 indexes checked%4, %5.")
              .arg(db.target().server(), QString::number(tables), QString::number(indexes.size()),
                  deepCheck ? QStringLiteral(" in depth") : QString(),
                  rebuilt.isEmpty()
                      ? QStringLiteral("none needed rebuilding")
                      : QStringLiteral("rebuilt: ") + rebuilt.join(QStringLiteral(", ")));
    return report;
}

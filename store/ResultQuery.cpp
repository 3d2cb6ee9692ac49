#include "store/ResultQuery.h"

#include "core/BoxRecord.h"
#include "store/CurveCells.h"
#include "store/Database.h"
#include "store/RecordColumns.h"
#include "store/SqlHelpers.h"

#include <QSqlError>
#include <QSqlQuery>

namespace
{

// Result columns in the order the rows are read back.
QString resultColumns()
{
    // Every name quoted: the server keeps quoted names as written.
    QStringList c = { QStringLiteral(R"(u."UntID")"), QStringLiteral(R"(u."VerzID")"),
        QStringLiteral(R"(v."VerzName")"), QStringLiteral(R"(u."Kovra")"),
        QStringLiteral(R"(u."PrüfAm")"), QStringLiteral(R"(u."GrwBez")") };
    for (int k = 1; k <= 5; ++k)
        c << QStringLiteral(R"(u."Erg%1")").arg(k);
    for (int k = 1; k <= 5; ++k)
        c << QStringLiteral(R"(u."GWU%1")").arg(k);
    c << QStringLiteral(R"(u."GwO1")");
    for (int k = 2; k <= 5; ++k)
        c << QStringLiteral(R"(u."GWO%1")").arg(k);
    c << QStringLiteral(R"(u."Fehlend")");
    return c.join(QStringLiteral(", "));
}
constexpr int FirstErg = 6, FirstGWU = 11, FirstGwO = 16, FehlendColumn = 21,
              ResultColumnCount = 22;

QString specimenColumns()
{
    QStringList c;
    for (const QString &name : RecordColumns::specimen())
        c << QStringLiteral("u.") + RecordColumns::quoted(name);
    return c.join(QStringLiteral(", "));
}

// The WHERE clause and its values, every value bound.
struct Filter {
    QString sql;
    QVariantList values;
};

Filter selectionFilter(const ResultSelection &s)
{
    Filter f;
    f.sql = QStringLiteral(R"( WHERE (u."Status" & 4) = 4 AND v."VerzTyp" = 0)");
    if (!s.directories.isEmpty()) {
        QStringList marks;
        for (qint32 id : s.directories) {
            marks << QStringLiteral("?");
            f.values << id;
        }
        f.sql += QStringLiteral(R"( AND u."VerzID" IN ()") + marks.join(QStringLiteral(", "))
            + QLatin1Char(')');
    }
    if (s.from) {
        f.sql += QStringLiteral(" AND u.\"PrüfAm\" >= ?");
        f.values << s.from->toString(Qt::ISODate);
    }
    if (s.to) {
        f.sql += QStringLiteral(" AND u.\"PrüfAm\" <= ?");
        f.values << s.to->toString(Qt::ISODate);
    }
    if (!s.name.trimmed().isEmpty()) {
        // lower() on both sides: the server's LIKE heeds case, the file's does not.
        f.sql += QStringLiteral(R"( AND lower(u."Kovra") LIKE lower(?) ESCAPE '\')");
        f.values << NameFilterPattern(s.name.trimmed());
    }
    return f;
}

QString selectSql(const QString &columns, const Filter &f)
{
    return QStringLiteral("SELECT ") + columns
        + QStringLiteral(R"( FROM "Untersuchungen" u JOIN "Verzeichnisse" v ON v."VerzID" = u."VerzID")")
        + f.sql + QStringLiteral(R"( ORDER BY u."PrüfAm" NULLS FIRST, u."UntID")");
}

float single(const QVariant &v)
{
    return v.isNull() ? 0.0f : float(v.toDouble());
}

GraphResult readResult(const QSqlQuery &q)
{
    GraphResult r;
    r.UntID = q.value(0).toInt();
    r.VerzID = q.value(1).toInt();
    r.directory = q.value(2).toString();
    r.Kovra = q.value(3).toString();
    r.PruefAm = QDate::fromString(q.value(4).toString(), Qt::ISODate);
    r.GrwBez = q.value(5).toString().trimmed();
    r.Fehlend = q.value(FehlendColumn).toInt(); // Null in older records: none
    for (int k = 1; k <= 5; ++k) {
        r.Erg[k] = single(q.value(FirstErg + k - 1));
        r.GWU[k] = single(q.value(FirstGWU + k - 1));
        r.GwO[k] = single(q.value(FirstGwO + k - 1));
    }
    return r;
}

bool runSelect(Database &db, QSqlQuery &q, const QString &sql, const Filter &f)
{
    if (!db.isOpen()) {
        db.setLastError(QStringLiteral("the database is not open"));
        return false;
    }
    q.setForwardOnly(true);
    if (!q.prepare(sql)) {
        db.setLastError(q.lastError().text());
        return false;
    }
    return Sql::run(db, q, f.values);
}

} // namespace

QString NameFilterPattern(const QString &filter)
{
    const bool wildcards = filter.contains(QLatin1Char('*')) || filter.contains(QLatin1Char('?'));
    QString pattern;
    for (const QChar c : filter) {
        if (c == QLatin1Char('%') || c == QLatin1Char('_') || c == QLatin1Char('\\'))
            pattern += QLatin1Char('\\') + c;
        else if (c == QLatin1Char('*'))
            pattern += QLatin1Char('%');
        else if (c == QLatin1Char('?'))
            pattern += QLatin1Char('_');
        else
            pattern += c;
    }
    return wildcards ? pattern : QLatin1Char('%') + pattern + QLatin1Char('%');
}

std::optional<QList<GraphResult>> QueryGraphResults(
    Database &db, const ResultSelection &selection, bool withSpecimen)
{
    const Filter f = selectionFilter(selection);
    QString columns = resultColumns();
    if (withSpecimen)
        columns += QStringLiteral(", ") + specimenColumns();
    QSqlQuery q(db.connection());
    if (!runSelect(db, q, selectSql(columns, f), f))
        return std::nullopt;
    Sql::Finish finish(q);
    QList<GraphResult> rows;
    while (q.next()) {
        rows << readResult(q);
        if (withSpecimen)
            for (qsizetype i = 0; i < RecordColumns::specimen().size(); ++i)
                rows.last().specimen << q.value(int(ResultColumnCount + i));
    }
    return rows;
}

bool ForEachGraphCurve(Database &db, const ResultSelection &selection,
    const std::function<void(const GraphResult &, const BoxRecord &curve)> &visit)
{
    const Filter f = selectionFilter(selection);
    QSqlQuery q(db.connection());
    if (!runSelect(db, q, selectSql(resultColumns() + QStringLiteral(R"(, u."x", u."y")"), f), f))
        return false;
    Sql::Finish finish(q);
    BoxRecord curve;
    while (q.next()) {
        curve.x.fill(0);
        curve.y.fill(0);
        ReadCurveCells(q.value(ResultColumnCount).toString(),
            q.value(ResultColumnCount + 1).toString(), curve);
        visit(readResult(q), curve);
    }
    return true;
}

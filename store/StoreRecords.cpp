#include "store/Store.h"

#include "core/BoxRecord.h"
#include "core/Notation.h"
#include "store/CurveCells.h"
#include "store/Database.h"
#include "store/RecordColumns.h"
#include "store/SqlHelpers.h"

#include <QSqlField>

namespace
{

QString joined(const QStringList &columns, const QString &suffix = QString())
{
    QStringList parts;
    for (const QString &c : columns)
        parts << RecordColumns::quoted(c) + suffix;
    return parts.join(QStringLiteral(", "));
}

QString placeholders(qsizetype n)
{
    QStringList marks;
    for (qsizetype i = 0; i < n; ++i)
        marks << QStringLiteral("?");
    return marks.join(QStringLiteral(", "));
}

QVariant dateValue(const QString &text, const Notation &notation)
{
    const std::optional<QDate> d = notation.parseDate(text);
    return d ? QVariant(d->toString(Qt::ISODate)) : QVariant();
}

// Values in the order of RecordColumns::specimen().
QVariantList specimenValues(const BoxRecord &b, const Notation &n)
{
    return { Sql::text(b.GrwBez.text()), Sql::text(b.Benutzer), dateValue(b.PruefAm, n),
        Sql::text(b.BgArt), Sql::single(b.Bg), Sql::text(b.HarzTyp), Sql::text(b.BgVon),
        dateValue(b.BgVonAm, n), Sql::text(b.DrVon), dateValue(b.DrVonAm, n), Sql::text(b.PaVon),
        dateValue(b.PaVonAm, n), Sql::single(b.GesGew), Sql::single(b.PaGew),
        Sql::single(b.Luftdurch), Sql::single(b.Temp), Sql::single(b.Feuchte), Sql::single(b.Fluss),
        Sql::single(b.Asche), Sql::text(b.Bemerk) };
}

// Values in the order of RecordColumns::graph().
QVariantList graphValues(const BoxRecord &b, const Notation &n)
{
    const CurveTexts curve = WriteCurveCells(b, n);
    QVariantList v = { curve.x, curve.y };
    for (int k = 1; k <= 10; ++k)
        v << Sql::single(b.Ein[k]);
    for (int k = 1; k <= 5; ++k)
        v << Sql::single(b.Erg[k]);
    for (int k = 1; k <= 5; ++k)
        v << Sql::single(b.GwO[k]);
    for (int k = 1; k <= 5; ++k)
        v << Sql::single(b.GWU[k]);
    v << b.Fehlend << int(b.Unvollst);
    return v;
}

QVariantList nulls(qsizetype n)
{
    return QVariantList(n);
}

// A date column that holds no date gives an empty field: the box never
// keeps the date of the specimen it held before.
void readDate(const QVariant &value, QString &field, const Notation &notation)
{
    const QDate d = value.isNull() ? QDate() : QDate::fromString(value.toString(), Qt::ISODate);
    field = d.isValid() ? notation.date(d) : QString();
}

QStringList keyColumns()
{
    return { QStringLiteral("VerzID"), QStringLiteral("Status"), QStringLiteral("Kovra") };
}

const QString &insertSql(bool graphBox)
{
    static const auto make = [](bool withGraph) {
        QStringList columns = keyColumns() + RecordColumns::specimen();
        if (withGraph)
            columns << RecordColumns::graph();
        return QStringLiteral("INSERT INTO \"Untersuchungen\" (%1) VALUES (%2) RETURNING \"UntID\"")
            .arg(joined(columns), placeholders(columns.size()));
    };
    static const QString withGraph = make(true), withoutGraph = make(false);
    return graphBox ? withGraph : withoutGraph;
}

const QString &updateSql()
{
    static const QString sql
        = QStringLiteral("UPDATE \"Untersuchungen\" SET %1 WHERE \"UntID\" = ?")
              .arg(joined(keyColumns() + RecordColumns::specimen() + RecordColumns::graph(),
                  QStringLiteral(" = ?")));
    return sql;
}

RecordEntry recordFrom(const QSqlQuery &q)
{
    return { q.value(0).toInt(), q.value(1).toInt(), q.value(2).toInt(), q.value(3).toString() };
}

} // namespace

QList<RecordEntry> Store::listRecords(qint32 verzId)
{
    QList<RecordEntry> out;
    QSqlQuery &q = m_db.prepared(
        QStringLiteral("SELECT \"UntID\", \"VerzID\", \"Status\", \"Kovra\" FROM \"Untersuchungen\"%1 "
                       "WHERE \"VerzID\" = ? ORDER BY \"UntID\"")
            .arg(m_db.dialect().indexedBy("VerzID")));
    Sql::Finish finish(q);
    m_db.setLastError({});
    if (!Sql::run(m_db, q, { verzId }))
        return out;
    while (q.next())
        out.append(recordFrom(q));
    Sql::endedCleanly(m_db, q);
    return out;
}

QList<RecordEntry> Store::listAllRecords()
{
    QList<RecordEntry> out;
    forEachRecord([&](const RecordEntry &e) { out.append(e); });
    return out;
}

bool Store::forEachRecord(const std::function<void(const RecordEntry &)> &fn)
{
    // The listing index holds every listed column: the engine sorts its
    // entries by key without reading a record's curves.
    QSqlQuery &q = m_db.prepared(
        QStringLiteral("SELECT \"UntID\", \"VerzID\", \"Status\", \"Kovra\" FROM \"Untersuchungen\"%1 "
                       "ORDER BY \"UntID\"")
            .arg(m_db.dialect().indexedBy("VerzID")));
    Sql::Finish finish(q);
    m_db.setLastError({});
    if (!Sql::run(m_db, q))
        return false;
    while (q.next())
        fn(recordFrom(q));
    return Sql::endedCleanly(m_db, q);
}

std::optional<qint32> Store::findRecord(qint32 verzId, const QString &name)
{
    QSqlQuery &q = m_db.prepared(
        QStringLiteral("SELECT \"UntID\" FROM \"Untersuchungen\" %1 "
                       "WHERE \"VerzID\" = ? AND \"Kovra\" = ? ORDER BY \"UntID\" LIMIT 1")
            .arg(m_db.dialect().indexedBy("Untersuchungen_Kovra")));
    Sql::Finish finish(q);
    m_db.setLastError({});
    if (!Sql::run(m_db, q, { verzId, normalisedName(name) }))
        return std::nullopt;
    if (!q.next()) {
        Sql::endedCleanly(m_db, q);
        return std::nullopt;
    }
    return q.value(0).toInt();
}

bool Store::SaveBox(BoxRecord &box, int mode, const QString &name, qint32 verzId)
{
    const bool adding = mode == SaveMode::Add;
    qint32 key = box.UntID;
    const bool saved = m_db.transaction([&] { return writeBox(box, adding, name, verzId, key); });
    if (saved)
        takeStoredState(box, name, verzId, key);
    return saved;
}

bool Store::SaveByName(BoxRecord &box, const QString &name, qint32 verzId, bool *replaced)
{
    qint32 key = -1;
    bool adding = true;
    const bool saved = m_db.transaction([&] {
        const std::optional<qint32> existing = findRecord(verzId, name);
        if (!existing && !m_db.lastError().isEmpty())
            return false;
        adding = !existing;
        key = existing.value_or(-1);
        return writeBox(box, adding, name, verzId, key);
    });
    if (!saved)
        return false;
    if (replaced)
        *replaced = !adding;
    takeStoredState(box, name, verzId, key);
    return true;
}

// Inside the caller's write transaction, which holds the engine's write lock
// from its start: the name is unique in the directory at the moment of the
// write, also against another program saving at the same time.
bool Store::writeBox(
    const BoxRecord &box, bool adding, const QString &name, qint32 verzId, qint32 &key)
{
    using namespace RecordColumns;
    const QString kovra = normalisedName(name);
    const bool graphBox = box.Status == BoxStatus::Graph;
    const std::optional<qint32> holder = findRecord(verzId, kovra);
    if (!holder && !m_db.lastError().isEmpty())
        return false;
    if (holder && (adding || *holder != key)) {
        m_db.setLastError(
            QStringLiteral("a graph or pattern named \"%1\" is already stored in this directory")
                .arg(kovra));
        return false;
    }

    QVariantList values = { verzId, box.Status, Sql::text(kovra) };
    values << specimenValues(box, m_notation);
    if (graphBox)
        values << graphValues(box, m_notation);
    else if (!adding)
        values << nulls(graph().size()); // a pattern keeps no curve of an earlier graph

    if (adding) {
        QSqlQuery &q = m_db.prepared(graphBox ? insertSql(true) : insertSql(false));
        Sql::Finish finish(q);
        if (!Sql::run(m_db, q, values))
            return false;
        return Sql::newKey(m_db, q, key);
    }
    QSqlQuery &q = m_db.prepared(updateSql());
    values << key;
    if (!Sql::run(m_db, q, values))
        return false;
    if (q.numRowsAffected() != 1) {
        m_db.setLastError(QStringLiteral("there is no stored record %1").arg(key));
        return false;
    }
    return true;
}

// The box takes the stored state only once the record is safely written.
void Store::takeStoredState(BoxRecord &box, const QString &name, qint32 verzId, qint32 key)
{
    box.Kovra = normalisedName(name);
    box.VerzID = verzId;
    box.Stored = true;
    box.UntID = key;
}

bool Store::LoadBox(BoxRecord &box, qint32 key, QDate today)
{
    using namespace RecordColumns;
    static const QString sql
        = QStringLiteral("SELECT \"VerzID\", \"Status\", \"Kovra\", %1, %2 FROM \"Untersuchungen\" WHERE \"UntID\" = ?")
              .arg(joined(specimen()), joined(graph()));
    QSqlQuery &q = m_db.prepared(sql);
    Sql::Finish finish(q);
    if (!Sql::run(m_db, q, { key }))
        return false;
    if (!q.next()) {
        m_db.setLastError(QStringLiteral("there is no stored record %1").arg(key));
        return false;
    }
    const auto col = [&](Specimen c) { return q.value(3 + c); };
    const int g = 3 + SpecimenCount;
    const auto graphCol = [&](int c) { return q.value(g + c); };
    const int status = q.value(1).toInt();

    box.Changed = false;
    box.Kovra = q.value(2).toString();
    Sql::read(col(Benutzer), box.Benutzer);
    Sql::read(col(BgArt), box.BgArt);
    Sql::read(col(HarzTyp), box.HarzTyp);
    Sql::read(col(BgVon), box.BgVon);
    Sql::read(col(DrVon), box.DrVon);
    Sql::read(col(PaVon), box.PaVon);
    Sql::read(col(Bemerk), box.Bemerk);
    readDate(col(BgVonAm), box.BgVonAm, m_notation);
    readDate(col(DrVonAm), box.DrVonAm, m_notation);
    readDate(col(PaVonAm), box.PaVonAm, m_notation);
    Sql::read(col(Bg), box.Bg);
    Sql::read(col(GesGew), box.GesGew);
    Sql::read(col(PaGew), box.PaGew);
    Sql::read(col(Luftdurch), box.Luftdurch);
    Sql::read(col(Temp), box.Temp);
    Sql::read(col(Feuchte), box.Feuchte);
    Sql::read(col(Fluss), box.Fluss);
    Sql::read(col(Asche), box.Asche);
    box.VerzID = q.value(0).toInt();
    box.UntID = key;
    box.Status = status;
    box.Stored = true;
    box.GrwBez.set(col(GrwBez).toString()); // Null: no limit file
    box.PruefAm = m_notation.date(today);
    box.Fehlend = 0;
    box.Unvollst = false;
    if (status != BoxStatus::Graph)
        return true;

    box.Fehlend = graphCol(GraphFehlend).toInt(); // Null (an older record): none
    box.Unvollst = graphCol(GraphUnvollst).toInt() != 0;

    readDate(col(PruefAm), box.PruefAm, m_notation);
    for (int k = 1; k <= 5; ++k) {
        Sql::read(graphCol(graphErg(k)), box.Erg[k]);
        Sql::read(graphCol(graphGwO(k)), box.GwO[k]);
        Sql::read(graphCol(graphGWU(k)), box.GWU[k]);
    }
    const QString x = graphCol(GraphX).toString();
    ReadCurveCells(x, graphCol(GraphY).toString(), box);
    // The stored cells end with the end mark; should they not (a record from
    // elsewhere), the curve still ends where the stored points end instead of
    // running on into the previous content of the box.
    const int n = std::min<int>(int(x.size() / 6), CurveSize);
    bool ended = false;
    for (int i = 0; i < n && !ended; ++i)
        ended = box.x[i] <= CurveEndMark;
    if (!ended && n < CurveSize)
        box.x[n] = CurveEndMark;
    for (int k = 1; k <= 10; ++k)
        Sql::read(graphCol(graphEin(k)), box.Ein[k]);
    return true;
}

bool Store::deleteRecord(qint32 untId)
{
    return m_db.transaction([&] {
        QSqlQuery &q = m_db.prepared(QStringLiteral("DELETE FROM \"Untersuchungen\" WHERE \"UntID\" = ?"));
        if (!Sql::run(m_db, q, { untId }))
            return false;
        if (q.numRowsAffected() != 1) {
            m_db.setLastError(QStringLiteral("there is no stored record %1").arg(untId));
            return false;
        }
        return true;
    });
}

std::optional<QSqlRecord> Store::rawRecord(qint32 untId)
{
    QSqlQuery &q = m_db.prepared(QStringLiteral("SELECT * FROM \"Untersuchungen\" WHERE \"UntID\" = ?"));
    Sql::Finish finish(q);
    if (!Sql::run(m_db, q, { untId }))
        return std::nullopt;
    if (!q.next()) {
        m_db.setLastError(QStringLiteral("there is no stored record %1").arg(untId));
        return std::nullopt;
    }
    QSqlRecord record = q.record();
    for (const QString &column : RecordColumns::dates()) {
        const QVariant stored = record.value(column);
        if (stored.isNull())
            continue;
        const QDate d = QDate::fromString(stored.toString(), Qt::ISODate);
        record.setValue(column, d.isValid() ? QVariant(d) : QVariant());
    }
    return record;
}

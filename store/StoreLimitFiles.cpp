#include "store/Store.h"

#include "store/Database.h"
#include "store/SqlHelpers.h"

namespace
{

// Lower, upper limit of result 1..5 in column order.
const char kLimitColumns[] = R"("uAushärtVnach", "oAushärtVnach", "uAushärtT", "oAushärtT", )"
                             R"("uAushärtV", "oAushärtV", "uFließT", "oFließT", )"
                             R"("uFlexibilität", "oFlexibilität")";

QVariantList limitValues(const LimitFile &file)
{
    QVariantList v;
    for (int k = 1; k <= 5; ++k)
        v << Sql::single(file.lower[k]) << Sql::single(file.upper[k]);
    return v;
}

LimitFile limitFileFrom(const QSqlQuery &q)
{
    LimitFile file;
    file.GrwID = q.value(0).toInt();
    file.GrwName = q.value(1).toString();
    file.VerzID = q.value(2).toInt();
    for (int k = 1; k <= 5; ++k) {
        file.lower[k] = float(q.value(1 + 2 * k).toDouble());
        file.upper[k] = float(q.value(2 + 2 * k).toDouble());
    }
    return file;
}

QString selectLimitFiles(const char *where)
{
    return QStringLiteral(
        "SELECT GrwID, GrwName, VerzID, %1 FROM Grenzwerte WHERE %2 ORDER BY GrwID")
        .arg(QString::fromUtf8(kLimitColumns), QLatin1String(where));
}

} // namespace

QList<LimitFile> Store::listLimitFiles(qint32 verzId)
{
    QList<LimitFile> out;
    QSqlQuery &q = m_db.prepared(selectLimitFiles("VerzID = ?"));
    Sql::Finish finish(q);
    m_db.setLastError({});
    if (!Sql::run(m_db, q, { verzId }))
        return out;
    while (q.next())
        out.append(limitFileFrom(q));
    Sql::endedCleanly(m_db, q);
    return out;
}

std::optional<qint32> Store::findLimitFile(qint32 verzId, const QString &name)
{
    QSqlQuery &q
        = m_db.prepared(QStringLiteral("SELECT GrwID FROM Grenzwerte INDEXED BY Grenzwerte_GrwName "
                                       "WHERE VerzID = ? AND GrwName = ? ORDER BY GrwID LIMIT 1"));
    Sql::Finish finish(q);
    if (!Sql::run(m_db, q, { verzId, normalisedName(name) }) || !q.next())
        return std::nullopt;
    return q.value(0).toInt();
}

std::optional<qint32> Store::addLimitFile(LimitFile &file)
{
    const QString name = normalisedName(file.GrwName);
    if (name.isEmpty()) {
        m_db.setLastError(QStringLiteral("a limit file needs a name"));
        return std::nullopt;
    }
    qint32 key = 0;
    const bool added = m_db.transaction([&] {
        if (findLimitFile(file.VerzID, name)) {
            m_db.setLastError(QStringLiteral("a limit file of this name exists in the directory"));
            return false;
        }
        QSqlQuery &q = m_db.prepared(QStringLiteral("INSERT INTO Grenzwerte (GrwName, VerzID, %1) "
                                                    "VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?)")
                                         .arg(QString::fromUtf8(kLimitColumns)));
        if (!Sql::run(m_db, q, QVariantList { name, file.VerzID } + limitValues(file)))
            return false;
        key = q.lastInsertId().toInt();
        return true;
    });
    if (!added)
        return std::nullopt;
    file.GrwID = key;
    file.GrwName = name;
    return key;
}

bool Store::changeLimitFile(const LimitFile &file)
{
    return m_db.transaction([&] {
        QString sets = QString::fromUtf8(kLimitColumns);
        sets.replace(QStringLiteral("\","), QStringLiteral("\" = ?,"));
        sets += QStringLiteral(" = ?");
        QSqlQuery &q
            = m_db.prepared(QStringLiteral("UPDATE Grenzwerte SET %1 WHERE GrwID = ?").arg(sets));
        if (!Sql::run(m_db, q, limitValues(file) << file.GrwID))
            return false;
        if (q.numRowsAffected() != 1) {
            m_db.setLastError(QStringLiteral("there is no limit file %1").arg(file.GrwID));
            return false;
        }
        return true;
    });
}

bool Store::deleteLimitFile(qint32 grwId)
{
    return m_db.transaction([&] {
        QSqlQuery &q = m_db.prepared(QStringLiteral("DELETE FROM Grenzwerte WHERE GrwID = ?"));
        if (!Sql::run(m_db, q, { grwId }))
            return false;
        if (q.numRowsAffected() != 1) {
            m_db.setLastError(QStringLiteral("there is no limit file %1").arg(grwId));
            return false;
        }
        return true;
    });
}

std::optional<LimitFile> Store::readLimitFile(qint32 grwId)
{
    QSqlQuery &q = m_db.prepared(selectLimitFiles("GrwID = ?"));
    Sql::Finish finish(q);
    if (!Sql::run(m_db, q, { grwId }))
        return std::nullopt;
    if (!q.next()) {
        m_db.setLastError(QStringLiteral("there is no limit file %1").arg(grwId));
        return std::nullopt;
    }
    return limitFileFrom(q);
}

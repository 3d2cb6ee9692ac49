#include "store/SqlHelpers.h"

#include "store/Database.h"
#include "store/EngineErrors.h"

#include <QSqlError>

namespace Sql
{

bool run(Database &db, QSqlQuery &q, std::initializer_list<QVariant> values)
{
    return run(db, q, QVariantList(values));
}

bool run(Database &db, QSqlQuery &q, const QVariantList &values)
{
    if (!db.isOpen()) {
        db.setLastError(QStringLiteral("the database is not open"));
        return false;
    }
    int i = 0;
    for (const QVariant &v : values)
        q.bindValue(i++, v);
    if (q.exec())
        return true;
    db.setLastError(EngineErrors::describe(q.lastError()));
    return false;
}

bool endedCleanly(Database &db, const QSqlQuery &q)
{
    const QSqlError error = q.lastError();
    if (!error.isValid() || error.type() == QSqlError::NoError)
        return true;
    db.setLastError(EngineErrors::describe(error));
    return false;
}

QVariant text(const QString &s)
{
    return s.isNull() ? QVariant(QString(QLatin1String(""))) : QVariant(s);
}

QVariant single(float v)
{
    return QVariant(double(v));
}

bool read(const QVariant &value, float &v)
{
    if (value.isNull())
        return false;
    v = float(value.toDouble());
    return true;
}

bool read(const QVariant &value, QString &v)
{
    if (value.isNull())
        return false;
    v = value.toString();
    return true;
}

} // namespace Sql

#pragma once

#include <QSqlQuery>
#include <QString>
#include <QVariant>
#include <initializer_list>

class Database;

// Small pieces shared by the store's routines.
namespace Sql
{

// Binds values by position and runs the statement; a failure leaves the
// engine's complaint in db.lastError().
bool run(Database &db, QSqlQuery &q, std::initializer_list<QVariant> values = {});
bool run(Database &db, QSqlQuery &q, const QVariantList &values);

// After a loop over q.next(): true when the loop ended because the rows
// ended, false (with the engine's complaint in db.lastError()) when a row
// could not be read, so that no list silently comes back short.
bool endedCleanly(Database &db, const QSqlQuery &q);

// A text value that is stored as "" when empty: the driver would bind an
// empty QString as Null, and Null means "unknown" to the loader.
QVariant text(const QString &s);
QVariant single(float v);
// True (and v set) when the value is not Null.
bool read(const QVariant &value, float &v);
bool read(const QVariant &value, QString &v);

// Ends a read statement when leaving scope, so that no read transaction stays
// open on the file between calls.
class Finish
{
public:
    explicit Finish(QSqlQuery &q)
        : m_q(q)
    {
    }
    ~Finish() { m_q.finish(); }
    Finish(const Finish &) = delete;
    Finish &operator=(const Finish &) = delete;

private:
    QSqlQuery &m_q;
};

} // namespace Sql

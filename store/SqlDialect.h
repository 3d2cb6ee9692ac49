#pragma once

#include "store/DatabaseTarget.h"

#include <QSqlDatabase>
#include <QSqlError>
#include <QString>
#include <QStringList>
#include <optional>

// Everything in which the two engines' SQL differs, in one place; the store's
// statements are otherwise the same for both. Every table, column and index
// name is written in double quotes everywhere: the server would fold a bare
// name to lower case, and some names hold umlauts.
class SqlDialect
{
public:
    using Engine = DatabaseTarget::Engine;

    explicit SqlDialect(Engine engine = Engine::Sqlite)
        : m_engine(engine)
    {
    }
    Engine engine() const { return m_engine; }
    bool onServer() const { return m_engine == Engine::Postgres; }
    QString driverName() const;

    static QString quoted(const QString &name);

    // Starts a write transaction that holds the database's one write lock
    // from its first statement, so what the transaction reads stays true
    // until it commits, also against other workstations writing at once.
    QStringList beginWrite() const;
    // A read transaction that sees one state of the whole database.
    QString beginSnapshot() const;
    // " INDEXED BY "name"" where the engine takes the hint, else nothing.
    QString indexedBy(const char *index) const;
    // Condition naming the one settings record (the first in table order).
    QString firstInitRow() const;
    // Column type of a key that the engine assigns, growing, never reused.
    QString keyColumn() const;
    // Column type of a block of bytes.
    QString blobColumn() const;

    // The layout version kept in the database; 0 for an empty one.
    std::optional<int> layoutVersion(QSqlDatabase &db, QSqlError &error) const;
    // Statements that record version inside the running transaction.
    QStringList setLayoutVersion(int version) const;
    // Serialises the creation of the tables between workstations that find
    // the same empty database at once (inside the creating transaction).
    QString lockForLayout() const;
    // Query whose rows name the indexes present.
    QString indexNames() const;

    // The highest key ever given in table (also of records deleted since),
    // and raising it, so that a copied database never gives a key twice.
    std::optional<qint64> keySequence(
        QSqlDatabase &db, const QString &table, const QString &key, QSqlError &error) const;
    QString raiseKeySequence(
        QSqlDatabase &db, const QString &table, const QString &key, qint64 atLeast) const;

    // Whether an error means the connection to the server is gone, so that
    // the next operation must connect anew.
    bool connectionLost(const QSqlError &error) const;

private:
    Engine m_engine;
};

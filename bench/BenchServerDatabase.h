#pragma once

#include <QSqlDatabase>
#include <QSqlQuery>
#include <QString>

// A database of the benchmark's own on the server that libpq's PG*
// variables name (pg_virtualenv sets them), dropped again afterwards.
class BenchServerDatabase
{
public:
    explicit BenchServerDatabase(const QString &name)
        : m_name(name)
    {
        ok = maintenance(QStringLiteral("CREATE DATABASE ") + m_name);
    }
    ~BenchServerDatabase()
    {
        maintenance(QStringLiteral("DROP DATABASE IF EXISTS %1 WITH (FORCE)").arg(m_name));
    }
    BenchServerDatabase(const BenchServerDatabase &) = delete;
    BenchServerDatabase &operator=(const BenchServerDatabase &) = delete;

    // What --db names for it.
    QString target() const { return QStringLiteral("postgresql:///") + m_name; }
    bool ok = false;

private:
    static bool maintenance(const QString &sql)
    {
        bool done = false;
        {
            QSqlDatabase db
                = QSqlDatabase::addDatabase(QStringLiteral("QPSQL"), QStringLiteral("bench"));
            db.setDatabaseName(QStringLiteral("postgres"));
            done = db.open() && QSqlQuery(db).exec(sql);
        }
        QSqlDatabase::removeDatabase(QStringLiteral("bench"));
        return done;
    }

    QString m_name;
};

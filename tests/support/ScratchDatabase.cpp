#include "ScratchDatabase.h"

#include <QAtomicInt>
#include <QCoreApplication>
#include <QDir>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>

namespace
{

// Runs one statement on the server's maintenance database, on a connection
// that is gone again when this returns.
QString onMaintenanceDatabase(const QString &sql)
{
    static QAtomicInt counter;
    const QString name = QStringLiteral("test-maintenance-%1").arg(counter.fetchAndAddRelaxed(1));
    QString problem;
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QPSQL"), name);
        db.setDatabaseName(QStringLiteral("postgres"));
        if (!db.open()) {
            problem = db.lastError().text();
        } else {
            QSqlQuery q(db);
            if (!q.exec(sql))
                problem = q.lastError().text();
        }
    }
    QSqlDatabase::removeDatabase(name);
    return problem;
}

} // namespace

bool ScratchDatabase::serverRun()
{
    return qgetenv("ZANDOR_TEST_ENGINE") == "postgresql";
}

ScratchDatabase::ScratchDatabase(const QString &folder)
{
    if (!serverRun()) {
        m_target = QDir(folder).filePath(QStringLiteral("kovra.mdb"));
        return;
    }
    static QAtomicInt counter;
    m_serverDatabase = QStringLiteral("zandor_test_%1_%2")
                           .arg(QCoreApplication::applicationPid())
                           .arg(counter.fetchAndAddRelaxed(1));
    const QString problem
        = onMaintenanceDatabase(QStringLiteral("CREATE DATABASE \"%1\"").arg(m_serverDatabase));
    if (!problem.isEmpty())
        qFatal("cannot create the test database on the server: %s", qPrintable(problem));
    m_target = QStringLiteral("postgresql:///%1").arg(m_serverDatabase);
}

ScratchDatabase::~ScratchDatabase()
{
    if (!m_serverDatabase.isEmpty())
        onMaintenanceDatabase(
            QStringLiteral("DROP DATABASE IF EXISTS \"%1\" WITH (FORCE)").arg(m_serverDatabase));
}

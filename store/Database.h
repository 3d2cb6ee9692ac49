#pragma once

#include "store/DatabaseTarget.h"
#include "store/SqlDialect.h"

#include <QSqlDatabase>
#include <QSqlQuery>
#include <QString>
#include <map>

class OperatorMessages;

// The program's one database file and the connection to it. Opening never
// changes a file that is not a sound database of ours: a missing file is
// created with the tables and one settings record, anything else that is
// wrong with the file comes back as a problem with a message naming file and
// cause. Each Database has a connection of its own, so several can be open
// in one process (tests, the command-line companion).
class Database
{
public:
    enum class Problem {
        None,
        CannotCreate, // the missing file could not be created
        CannotRead, // the file exists but cannot be opened for reading/writing
        NotSqlite, // some other kind of file
        Truncated, // shorter than its own header says
        Damaged, // the engine reports it malformed
        TablesMissing, // a database, but not one of ours
        Locked, // another program holds a lock on it
        TooNew, // written by a later version of the program
        DiskFull, // the disk has no room for what the engine must write
        DiskError, // the system refused to read or write the disk
        EngineError, // any other complaint of the engine
        Unreachable, // the server cannot be reached or refuses the connection
    };

    struct OpenResult {
        Problem problem = Problem::None;
        QString message; // for the operator; empty on success
        bool ok() const { return problem == Problem::None; }
        explicit operator bool() const { return ok(); }
    };

    // Version of the file layout this program writes; kept in the file so a
    // later program can upgrade it step by step.
    static constexpr int SchemaVersion = 2;

    Database();
    ~Database();
    Database(const Database &) = delete;
    Database &operator=(const Database &) = delete;

    // The database last chosen (--db, "Other adjustments"), else kovra.mdb
    // in the program's folder when that folder is writable (a portable
    // installation), otherwise in the user's data folder.
    static QString defaultPath();
    // Folders of installed programs, where the database never goes.
    static bool isSystemFolder(const QString &folder);

    // On a server that wants a password libpq has not found (~/.pgpass,
    // PGPASSWORD), asker is asked for one, and again, at most twice more,
    // while the server refuses it; without asker, or when it gives no
    // answer, the open fails as for an unreachable server. The password
    // lives on in the connection only, for connecting anew.
    OpenResult open(const QString &path, OperatorMessages *asker = nullptr);
    // Safe to call when closed. Drops every prepared statement first.
    void close();
    bool isOpen() const;
    // The path given to the last open(), also after close(): a file, or a
    // server's connection text (which may hold a password: show target().display()).
    QString path() const { return m_path; }
    const DatabaseTarget &target() const { return m_target; }
    const SqlDialect &dialect() const { return m_dialect; }
    bool onServer() const { return m_target.onServer(); }

    QSqlDatabase connection() const;
    // A statement prepared once per connection and reused; bind and exec it.
    // Returns an inactive query whose lastError() tells why when preparing fails.
    QSqlQuery &prepared(const QString &sql);

    // Runs fn inside one transaction: commit when it returns true, roll back
    // otherwise (and when the commit fails). Returns whether it committed.
    template <typename Fn> bool transaction(Fn &&fn)
    {
        if (!begin())
            return false;
        m_inTransaction = true;
        const bool done = fn() && commit();
        if (!done)
            rollback();
        m_inTransaction = false;
        return done;
    }

    QString lastError() const { return m_lastError; }
    void setLastError(const QString &text) { m_lastError = text; }
    // Takes a failed statement's error as lastError(); when it says the
    // server connection is gone, the next operation connects anew.
    void noteFailure(const QSqlError &error);
    // Why no statement can run now (closed, or the server not reachable).
    QString unavailableReason() const;

private:
    bool begin();
    void reconnectIfLost();
    OpenResult connectServer(OperatorMessages *asker);
    QString passwordPrompt() const;
    OpenResult completeLayout(int version, bool existed);
    QStringList missingTables(QSqlDatabase &db, QSqlError &error);
    bool commit();
    void rollback();
    OpenResult fail(Problem problem, const QString &cause);
    OpenResult connect();
    OpenResult checkExisting(QSqlDatabase &db, int &version);

    QString m_path;
    DatabaseTarget m_target;
    SqlDialect m_dialect;
    bool m_connectionLost = false;
    bool m_inTransaction = false;
    QString m_unavailable; // why the last connecting anew failed
    QString m_connectionName;
    std::map<QString, QSqlQuery> m_statements; // node-based: references stay valid
    QSqlQuery m_failedStatement;
    QString m_lastError;
};

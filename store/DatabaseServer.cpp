// The connection to a database server: opening it, and connecting anew
// after the server or the network dropped it.
#include "store/Database.h"

#include "core/OperatorMessages.h"
#include "store/EngineErrors.h"
#include "store/Schema.h"
#include "store/ServerAddress.h"

#include <QSqlError>
#include <QSqlQuery>
#include <algorithm>
#include <pwd.h>
#include <unistd.h>

namespace
{

// libpq gives up on a host after this many seconds, so an unreachable
// server is reported well within five seconds instead of hanging.
const int kConnectTimeoutSeconds = 4;
// A server known by name is first looked for, at all its addresses at
// once, for this long; the connection to the address found then has the
// shorter time-out, so both together stay within five seconds.
const std::chrono::milliseconds kAddressSearchLimit { 2500 };
const int kConnectTimeoutAfterSearch = 2;
const int kDefaultServerPort = 5432;
// The server's code for a lock that was not granted in time.
const char kLockNotAvailable[] = "55P03";

// A password the server refuses is asked for this many times more.
const int kPasswordRetries = 2;

// Whether the server turned the connection away for want of the right
// password. The driver gives no SQLSTATE for a connection that failed (it
// drops libpq's connection before anything could be asked of it), so
// libpq's words decide: its own, which no translation changes, and the
// server's for a refused password. The codes count should a driver give them.
bool passwordRefused(const QSqlError &error)
{
    const QString code = error.nativeErrorCode();
    if (code == QLatin1String("28P01") || code == QLatin1String("28000"))
        return true;
    const QString text = error.databaseText();
    return text.contains(QLatin1String("fe_sendauth: no password supplied"))
        || text.contains(QLatin1String("password authentication failed"));
}

// The user libpq connects as when the connection text names none.
QString connectingUser(const DatabaseTarget &target)
{
    if (!target.user.isEmpty())
        return target.user;
    const QString fromEnvironment = qEnvironmentVariable("PGUSER");
    if (!fromEnvironment.isEmpty())
        return fromEnvironment;
    const passwd *account = getpwuid(geteuid());
    return account ? QString::fromLocal8Bit(account->pw_name) : QString();
}

QString oneLine(const QString &text)
{
    return text.simplified();
}

// libpq's options: the target's own, a connect time-out no longer than
// ours, and the address found for the host name when one was.
QString connectOptions(const DatabaseTarget &target, const QString &address)
{
    const int limit = address.isEmpty() ? kConnectTimeoutSeconds : kConnectTimeoutAfterSearch;
    QStringList options;
    bool timeoutGiven = false;
    for (const QString &option : target.options) {
        if (option.startsWith(QLatin1String("connect_timeout="))) {
            timeoutGiven = true;
            const int asked = option.section(QLatin1Char('='), 1).toInt();
            options << QStringLiteral("connect_timeout=%1")
                           .arg(asked > 0 ? std::min(asked, limit) : limit);
            continue;
        }
        options << option;
    }
    if (!timeoutGiven)
        options << QStringLiteral("connect_timeout=%1").arg(limit);
    if (!address.isEmpty())
        options << QStringLiteral("hostaddr=%1").arg(address);
    return options.join(QLatin1Char(';'));
}

bool hasOption(const DatabaseTarget &target, const char *key)
{
    const QString prefix = QLatin1String(key) + QLatin1Char('=');
    return std::any_of(target.options.begin(), target.options.end(),
        [&](const QString &option) { return option.startsWith(prefix); });
}

// The host libpq will connect to: the target's, else the environment's.
QString effectiveHost(const DatabaseTarget &target)
{
    return target.host.isEmpty() ? qEnvironmentVariable("PGHOST") : target.host;
}

int effectivePort(const DatabaseTarget &target)
{
    if (target.port > 0)
        return target.port;
    bool ok = false;
    const int fromEnvironment = qEnvironmentVariableIntValue("PGPORT", &ok);
    return ok && fromEnvironment > 0 ? fromEnvironment : kDefaultServerPort;
}

// Sets the connection's options; for a server known by name, first finds
// an address of it that answers, so that the whole connect stays within
// its time limit however many addresses the name has. Returns why the
// server cannot be reached, or nothing.
QString prepareConnection(QSqlDatabase &db, const DatabaseTarget &target)
{
    const QString host = effectiveHost(target);
    QString address;
    // Where the options name the host or address themselves (or a service
    // file does), libpq's choice stands.
    const bool hostFromOptions = hasOption(target, "hostaddr") || hasOption(target, "host")
        || hasOption(target, "service")
        || (target.host.isEmpty() && qEnvironmentVariableIsSet("PGSERVICE"));
    if (IsServerHostName(host) && !hostFromOptions) {
        const ServerAddress found
            = FindServerAddress(host, effectivePort(target), kAddressSearchLimit);
        if (found.address.isEmpty())
            return found.problem;
        address = found.address;
    }
    db.setConnectOptions(connectOptions(target, address));
    return {};
}

// libpq writes the server's notices to standard error, and the layout
// statements that find their table already there give one at every start;
// they are information for a server's log, not for the operator.
void quietNotices(QSqlDatabase &db)
{
    QSqlQuery q(db);
    q.exec(QStringLiteral("SET client_min_messages = warning"));
}

} // namespace

QString Database::passwordPrompt() const
{
    return QStringLiteral("Password for user %1 on %2: ")
        .arg(connectingUser(m_target), m_target.server());
}

Database::OpenResult Database::connectServer(OperatorMessages *asker)
{
    QSqlDatabase db = QSqlDatabase::addDatabase(m_dialect.driverName(), m_connectionName);
    if (!db.isValid())
        return fail(Problem::CannotRead,
            QStringLiteral("the program's driver for the server (QPSQL, Debian package "
                           "libqt6sql6-psql) is not installed"));
    db.setHostName(m_target.host);
    if (m_target.port > 0)
        db.setPort(m_target.port);
    db.setUserName(m_target.user);
    db.setPassword(m_target.password);
    db.setDatabaseName(m_target.databaseName);
    if (const QString unreachable = prepareConnection(db, m_target); !unreachable.isEmpty())
        return fail(Problem::Unreachable, unreachable);
    bool opened = db.open();
    // The password typed stays with the connection, which reconnecting
    // opens again, and nowhere else.
    for (int asked = 0;
         !opened && asker && asked <= kPasswordRetries && passwordRefused(db.lastError());
         ++asked) {
        QString prompt = passwordPrompt();
        if (asked > 0)
            prompt.prepend(oneLine(db.lastError().databaseText()) + QLatin1Char('\n'));
        const std::optional<QString> password = asker->askPassword(prompt);
        if (!password || password->isEmpty())
            break;
        db.setPassword(*password);
        opened = db.open();
    }
    if (!opened)
        return fail(Problem::Unreachable, oneLine(db.lastError().databaseText()));
    quietNotices(db);

    QSqlError error;
    const std::optional<int> version = m_dialect.layoutVersion(db, error);
    if (!version)
        return fail(Problem::EngineError, oneLine(error.text()));
    if (*version > SchemaVersion)
        return fail(Problem::TooNew,
            QStringLiteral("it was written by a newer version of the program "
                           "(layout %1, this program knows up to %2)")
                .arg(QString::number(*version), QString::number(SchemaVersion)));
    if (*version > 0) {
        const QStringList missing = missingTables(db, error);
        if (!missing.isEmpty())
            return fail(Problem::TablesMissing,
                QStringLiteral("it is not a Zandor database (missing: %1)")
                    .arg(missing.join(QStringLiteral(", "))));
    }
    return completeLayout(*version, *version > 0);
}

void Database::noteFailure(const QSqlError &error)
{
    if (!onServer()) {
        m_lastError = EngineErrors::describe(error);
        return;
    }
    const QString text = oneLine(error.text());
    if (m_dialect.connectionLost(error)) {
        m_connectionLost = true;
        m_lastError = QStringLiteral("the connection to the database server %1 was lost (%2)")
                          .arg(m_target.server(), text);
    } else if (error.nativeErrorCode() == QLatin1String(kLockNotAvailable)) {
        m_lastError
            = QStringLiteral("the database is in use by another workstation (%1)").arg(text);
    } else {
        m_lastError = text;
    }
}

QString Database::unavailableReason() const
{
    return m_unavailable.isEmpty() ? QStringLiteral("the database is not open") : m_unavailable;
}

// Prepared statements die with their connection; they are made again on
// the new one as they are asked for. The connection keeps the password it
// was opened with, a typed one too, so nobody is asked again.
void Database::reconnectIfLost()
{
    if (!m_connectionLost || m_connectionName.isEmpty())
        return;
    m_statements.clear();
    m_failedStatement = QSqlQuery();
    QSqlDatabase db = connection();
    db.close();
    // The server may have moved to another of its addresses meanwhile.
    QString unreachable = prepareConnection(db, m_target);
    if (unreachable.isEmpty() && !db.open())
        unreachable = oneLine(db.lastError().databaseText());
    if (!unreachable.isEmpty()) {
        m_unavailable = QStringLiteral("The database server %1 cannot be reached: %2")
                            .arg(m_target.server(), unreachable);
        m_lastError = m_unavailable;
        return;
    }
    quietNotices(db);
    m_connectionLost = false;
    m_unavailable.clear();
}

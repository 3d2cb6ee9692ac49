#include "store/DatabaseTarget.h"

#include <QUrl>
#include <QUrlQuery>

namespace
{

const char *const kSchemes[] = { "postgresql://", "postgres://" };

} // namespace

bool DatabaseTarget::isConnectionText(const QString &text)
{
    for (const char *scheme : kSchemes)
        if (text.trimmed().startsWith(QLatin1String(scheme), Qt::CaseInsensitive))
            return true;
    return false;
}

DatabaseTarget DatabaseTarget::parse(const QString &text)
{
    DatabaseTarget t;
    if (!isConnectionText(text)) {
        t.file = text;
        return t;
    }
    t.engine = Engine::Postgres;
    const QUrl url(text.trimmed(), QUrl::StrictMode);
    if (!url.isValid()) {
        // QUrl's complaint goes on to quote the whole text, password and all;
        // only what it says before that is kept.
        const QString complaint = url.errorString().section(QLatin1Char(';'), 0, 0).trimmed();
        t.problem = QStringLiteral("the connection text is not valid (%1)").arg(complaint);
        return t;
    }
    t.host = url.host();
    t.port = url.port(-1);
    t.user = url.userName();
    t.password = url.password();
    t.databaseName = url.path().mid(1);
    if (t.databaseName.isEmpty() || t.databaseName.contains(QLatin1Char('/')))
        t.problem = QStringLiteral("the connection text names no database "
                                   "(postgresql://[user@]host[:port]/dbname)");
    const QUrlQuery query(url);
    for (const auto &[key, value] : query.queryItems(QUrl::FullyDecoded)) {
        // The driver separates options by ';' and libpq by blanks; a value
        // holding either would turn into options nobody wrote.
        if (key.isEmpty() || value.contains(QLatin1Char(';')) || value.contains(QLatin1Char(' '))
            || key.contains(QLatin1Char(';')) || key.contains(QLatin1Char(' '))) {
            t.problem = QStringLiteral("the connection option \"%1\" cannot be used").arg(key);
            continue;
        }
        t.options << key + QLatin1Char('=') + value;
    }
    return t;
}

QString DatabaseTarget::display() const
{
    if (!onServer())
        return file;
    QUrl url;
    url.setScheme(QStringLiteral("postgresql"));
    url.setHost(host);
    url.setPort(port);
    url.setUserName(user);
    url.setPath(QLatin1Char('/') + databaseName);
    QUrlQuery query;
    for (const QString &option : options)
        query.addQueryItem(
            option.section(QLatin1Char('='), 0, 0), option.section(QLatin1Char('='), 1));
    url.setQuery(query);
    QString text = url.toString();
    // QUrl leaves out "//" for an empty host, which libpq then reads as a
    // path; the local socket needs "postgresql:///dbname".
    if (host.isEmpty() && !text.startsWith(QLatin1String("postgresql://")))
        text.replace(0, int(qstrlen("postgresql:")), QStringLiteral("postgresql://"));
    return text;
}

QString DatabaseTarget::server() const
{
    QString where = host.isEmpty() ? QStringLiteral("localhost") : host;
    if (port > 0)
        where += QLatin1Char(':') + QString::number(port);
    return where + QLatin1Char('/') + databaseName;
}

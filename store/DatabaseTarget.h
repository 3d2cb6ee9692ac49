#pragma once

#include <QString>
#include <QStringList>

// What --db names: a database file, or a database on a server given as a
// connection text postgresql://[user[:password]@]host[:port]/dbname[?key=value&...]
// with libpq's own keys (sslmode, ...). A password in the text is used for
// connecting and never shown: display() and server() leave it out.
struct DatabaseTarget {
    enum class Engine { Sqlite, Postgres };

    Engine engine = Engine::Sqlite;
    QString file; // the file, for Sqlite
    QString host; // empty: libpq's default (PGHOST, the local socket)
    int port = -1; // -1: libpq's default
    QString user;
    QString password;
    QString databaseName;
    QStringList options; // "key=value" for libpq
    QString problem; // why the text is no usable connection text; empty when it is

    static DatabaseTarget parse(const QString &text);
    static bool isConnectionText(const QString &text);

    bool onServer() const { return engine == Engine::Postgres; }
    // The text as the operator may see it: the file, or the connection text
    // without its password.
    QString display() const;
    // "host:port/dbname" for messages about the server.
    QString server() const;
};

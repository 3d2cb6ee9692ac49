#pragma once

#include <QString>
#include <QStringList>
#include <chrono>

// Finding a database server's address within a time limit. libpq's own
// connect time-out holds for each address of a host name separately, and
// its name lookup has none at all: a server whose machine is off, known
// under an IPv4 and an IPv6 address, kept the program waiting twice the
// time-out. Here the name is looked up and all its addresses are tried at
// once, and the whole search ends within the time given.
struct ServerAddress {
    QString address; // numeric, for libpq's hostaddr; empty when none answered
    QString problem; // why none answered, in libpq's manner of speaking
};

// Whether `host` names a machine by a name to look up (not an IP address,
// not a socket folder, not a list of hosts).
bool IsServerHostName(const QString &host);

struct ResolvedName {
    QStringList addresses; // numeric, in the resolver's order
    QString problem; // why there are none
};

// The addresses of `host`, or a problem when the lookup fails or does not
// end within `limit`.
ResolvedName ResolveServerName(const QString &host, std::chrono::milliseconds limit);

// The first of `addresses` that accepts a connection on `port`, all tried
// at once; a problem when all refuse or none answers within `limit`.
ServerAddress FirstAnsweringAddress(
    const QString &host, const QStringList &addresses, int port, std::chrono::milliseconds limit);

// Both of the above within `limit` together.
ServerAddress FindServerAddress(const QString &host, int port, std::chrono::milliseconds limit);

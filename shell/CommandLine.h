#pragma once

#include <QString>
#include <QStringList>

// What the program was asked for on its command line. The single argument
// "1" starts without the trace request and zero point, as it always has;
// --db FILE and --netpc HOST[:PORT] may come alongside it.
struct CommandLine
{
    bool noInstrument = false;
    QString databasePath; // empty: the default place
    QString netpcHost;    // empty: the configured address
    quint16 netpcPort = 0; // 0: the configured port
    QString error;        // set when the arguments make no sense

    static CommandLine parse(const QStringList &arguments); // without the program name
    static QString usage();
};

// Splits "HOST[:PORT]"; false when the port is not 1..65535.
bool ParseHostAndPort(const QString &text, QString &host, quint16 &port);

#pragma once

#include <QString>
#include <QStringList>

class OperatorMessages;
class QTextStream;

// What the program was asked for on its command line. The single argument
// "1" starts without the trace request and zero point, as it always has; any
// other arguments start normally. --db FILE and --netpc HOST[:PORT] may come
// alongside.
struct CommandLine {
    enum class Request { Start, Help, Version, UsageError };

    Request request = Request::Start;
    bool noInstrument = false;
    QString databasePath; // empty: the default place
    QString netpcHost; // empty: the configured address
    quint16 netpcPort = 0; // 0: the configured port
    QString error; // one line, set when the request is a usage error

    static CommandLine parse(const QStringList &arguments); // without the program name
    static QString helpText();

    // Answers a request that does not start the program: help and version go
    // to `out` (status 0); a usage error goes to `err` as one line and, when
    // someone looks at a screen (`operatorView` given), into a message box
    // as well, since a program started from the desktop has no terminal to
    // read (status 2).
    int answer(QTextStream &out, QTextStream &err, OperatorMessages *operatorView) const;
};

// Splits "HOST[:PORT]"; false when the port is not 1..65535.
bool ParseHostAndPort(const QString &text, QString &host, quint16 &port);

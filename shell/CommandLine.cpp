#include "shell/CommandLine.h"

bool ParseHostAndPort(const QString &text, QString &host, quint16 &port)
{
    const int colon = text.lastIndexOf(QLatin1Char(':'));
    // A bare IPv6 address has several colons and no port.
    if (colon < 0 || text.count(QLatin1Char(':')) > 1) {
        host = text;
        return !host.isEmpty();
    }
    bool ok = false;
    const uint p = text.mid(colon + 1).toUInt(&ok);
    if (!ok || p == 0 || p > 65535)
        return false;
    host = text.left(colon);
    port = quint16(p);
    return !host.isEmpty();
}

CommandLine CommandLine::parse(const QStringList &arguments)
{
    CommandLine cl;
    QStringList positional;
    for (int i = 0; i < arguments.size(); ++i) {
        const QString &a = arguments.at(i);
        const bool hasValue = i + 1 < arguments.size();
        if (a == QLatin1String("--db")) {
            if (!hasValue) {
                cl.error = QStringLiteral("--db needs a file name");
                return cl;
            }
            cl.databasePath = arguments.at(++i);
        } else if (a == QLatin1String("--netpc")) {
            if (!hasValue || !ParseHostAndPort(arguments.at(++i), cl.netpcHost, cl.netpcPort)) {
                cl.error = QStringLiteral("--netpc needs HOST or HOST:PORT");
                return cl;
            }
        } else if (a.startsWith(QLatin1String("--"))) {
            cl.error = QStringLiteral("unknown option %1").arg(a);
            return cl;
        } else {
            positional << a;
        }
    }
    cl.noInstrument = positional == QStringList{QStringLiteral("1")};
    if (!positional.isEmpty() && !cl.noInstrument)
        cl.error = QStringLiteral("unexpected argument %1").arg(positional.join(QLatin1Char(' ')));
    return cl;
}

QString CommandLine::usage()
{
    return QStringLiteral("usage: zandor [1] [--db FILE] [--netpc HOST[:PORT]]\n"
                          "  1       start without trace request and zero point\n"
                          "  --db    use this database file instead of kovra.mdb\n"
                          "  --netpc reach the instrument PC at this address\n");
}

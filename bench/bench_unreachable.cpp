// How long opening a database on a server that cannot be reached takes to
// say so: refused, taking the connection and never answering, and a machine
// that never answers at all (its connection queue full, so the kernel drops
// the requests); by address and by name. The target is five seconds.
#include "store/Database.h"
#include "support/LoopbackPeer.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QTcpServer>
#include <QTextStream>

namespace
{

double secondsToVerdict(const QString &host, int port)
{
    QElapsedTimer clock;
    clock.start();
    Database db;
    const bool opened = bool(
        db.open(QStringLiteral("postgresql://%1:%2/kovra").arg(host, QString::number(port))));
    return opened ? -1 : double(clock.elapsed()) / 1000.0;
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    QTextStream out(stdout);
    QTcpServer taking; // takes connections and never answers
    taking.listen(QHostAddress::LocalHost);
    QTcpServer closed;
    closed.listen(QHostAddress::LocalHost);
    const int refusing = closed.serverPort();
    closed.close();
    const LoopbackPeer dropping(LoopbackPeer::Kind::Silent, "127.0.0.1", 0);
    struct Case {
        const char *what;
        const char *host;
        int port;
    };
    const Case cases[] = {
        { "refused, by address", "127.0.0.1", refusing },
        { "refused, by name", "localhost", refusing },
        { "never answers, by address", "127.0.0.1", taking.serverPort() },
        { "never answers, by name", "localhost", taking.serverPort() },
        { "machine silent, by address", "127.0.0.1", dropping.port() },
        { "machine silent, by name", "localhost", dropping.port() },
    };
    for (const Case &c : cases)
        out << QStringLiteral("unreachable server, %1: message after %2 s (target < 5 s)\n")
                   .arg(QLatin1String(c.what),
                       QString::number(secondsToVerdict(QLatin1String(c.host), c.port), 'f', 2));
    return 0;
}

// How long opening a database on a server that cannot be reached takes to
// say so: refused, taking the connection and never answering, and a machine
// that never answers at all (its connection queue full, so the kernel drops
// the requests); by address and by name. The target is five seconds.
#include "store/Database.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QTcpServer>
#include <QTextStream>
#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>
#include <vector>

namespace
{

// A port on 127.0.0.1 whose kernel drops every new connection request.
class DroppingPort
{
public:
    DroppingPort()
    {
        m_fd = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
        sockaddr_in where {};
        where.sin_family = AF_INET;
        where.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        socklen_t size = sizeof where;
        ::bind(m_fd, reinterpret_cast<sockaddr *>(&where), size);
        ::listen(m_fd, 0);
        ::getsockname(m_fd, reinterpret_cast<sockaddr *>(&where), &size);
        m_port = ntohs(where.sin_port);
        for (int i = 0; i < 4; ++i) {
            m_fillers.push_back(::socket(AF_INET, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0));
            ::connect(m_fillers.back(), reinterpret_cast<sockaddr *>(&where), size);
        }
        ::usleep(200000);
    }
    ~DroppingPort()
    {
        for (const int fd : m_fillers)
            ::close(fd);
        ::close(m_fd);
    }
    int port() const { return m_port; }

private:
    int m_fd = -1;
    int m_port = 0;
    std::vector<int> m_fillers;
};

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
    const DroppingPort dropping;
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

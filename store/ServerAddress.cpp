#include "store/ServerAddress.h"

#include <QUrl>
#include <arpa/inet.h>
#include <cerrno>
#include <condition_variable>
#include <cstring>
#include <memory>
#include <mutex>
#include <netdb.h>
#include <poll.h>
#include <sys/socket.h>
#include <thread>
#include <unistd.h>
#include <vector>

namespace
{

using Clock = std::chrono::steady_clock;
using std::chrono::milliseconds;

QString seconds(milliseconds limit)
{
    return QString::number(double(limit.count()) / 1000.0, 'g', 3);
}

// The lookup itself, done on a thread of its own because the resolver
// knows no time limit; it may end after nobody waits for it any more.
struct Lookup {
    std::mutex mutex;
    std::condition_variable ended;
    bool done = false;
    ResolvedName result;
};

ResolvedName lookUp(const QByteArray &name, const QString &shown)
{
    addrinfo hints {};
    hints.ai_family = AF_UNSPEC;
    hints.ai_socktype = SOCK_STREAM;
    addrinfo *found = nullptr;
    ResolvedName result;
    const int rc = ::getaddrinfo(name.constData(), nullptr, &hints, &found);
    if (rc != 0) {
        result.problem = QStringLiteral("could not translate host name \"%1\" to address: %2")
                             .arg(shown, QString::fromLocal8Bit(::gai_strerror(rc)));
        return result;
    }
    for (const addrinfo *a = found; a; a = a->ai_next) {
        char text[NI_MAXHOST];
        if (::getnameinfo(a->ai_addr, a->ai_addrlen, text, sizeof text, nullptr, 0, NI_NUMERICHOST)
            == 0) {
            const QString address = QString::fromLatin1(text);
            if (!result.addresses.contains(address))
                result.addresses << address;
        }
    }
    ::freeaddrinfo(found);
    if (result.addresses.isEmpty())
        result.problem = QStringLiteral("host name \"%1\" has no address").arg(shown);
    return result;
}

// A socket that has started to connect to `address`, or -1.
int startConnecting(const QString &address, int port, QString &problem)
{
    addrinfo hints {};
    hints.ai_flags = AI_NUMERICHOST | AI_NUMERICSERV;
    hints.ai_socktype = SOCK_STREAM;
    addrinfo *target = nullptr;
    if (::getaddrinfo(
            address.toLatin1().constData(), QByteArray::number(port).constData(), &hints, &target)
        != 0) {
        problem = QStringLiteral("%1 is no address").arg(address);
        return -1;
    }
    int fd = ::socket(target->ai_family, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
    if (fd >= 0 && ::connect(fd, target->ai_addr, target->ai_addrlen) != 0
        && errno != EINPROGRESS) {
        problem = QString::fromLocal8Bit(std::strerror(errno));
        ::close(fd);
        fd = -1;
    } else if (fd < 0) {
        problem = QString::fromLocal8Bit(std::strerror(errno));
    }
    ::freeaddrinfo(target);
    return fd;
}

// The socket's own verdict once poll() says it is done: 0 when connected.
int connectOutcome(int fd)
{
    int error = 0;
    socklen_t size = sizeof error;
    if (::getsockopt(fd, SOL_SOCKET, SO_ERROR, &error, &size) != 0)
        return errno;
    return error;
}

} // namespace

bool IsServerHostName(const QString &host)
{
    if (host.isEmpty() || host.startsWith(QLatin1Char('/')) || host.startsWith(QLatin1Char('@'))
        || host.contains(QLatin1Char(',')))
        return false;
    const QByteArray text = host.toLatin1();
    unsigned char binary[sizeof(in6_addr)];
    return ::inet_pton(AF_INET, text.constData(), binary) != 1
        && ::inet_pton(AF_INET6, text.constData(), binary) != 1;
}

ResolvedName ResolveServerName(const QString &host, milliseconds limit)
{
    auto lookup = std::make_shared<Lookup>();
    const QByteArray name = QUrl::toAce(host);
    std::thread([lookup, name, host] {
        ResolvedName result = lookUp(name, host);
        const std::lock_guard<std::mutex> lock(lookup->mutex);
        lookup->result = std::move(result);
        lookup->done = true;
        lookup->ended.notify_all();
    }).detach();
    std::unique_lock<std::mutex> lock(lookup->mutex);
    if (!lookup->ended.wait_for(lock, limit, [&] { return lookup->done; }))
        return { {},
            QStringLiteral("the host name \"%1\" could not be looked up within %2 s")
                .arg(host, seconds(limit)) };
    return lookup->result;
}

ServerAddress FirstAnsweringAddress(
    const QString &host, const QStringList &addresses, int port, milliseconds limit)
{
    const Clock::time_point deadline = Clock::now() + limit;
    std::vector<pollfd> waiting;
    QStringList tried; // the address of each socket in `waiting`
    QStringList refusals;
    for (const QString &address : addresses) {
        QString problem;
        const int fd = startConnecting(address, port, problem);
        if (fd >= 0) {
            waiting.push_back({ fd, POLLOUT, 0 });
            tried << address;
        } else
            refusals << QStringLiteral("%1: %2").arg(address, problem);
    }
    QString winner;
    int open = int(waiting.size());
    while (winner.isEmpty() && open > 0) {
        const auto left = std::chrono::duration_cast<milliseconds>(deadline - Clock::now());
        if (left.count() <= 0)
            break;
        const int ready = ::poll(waiting.data(), waiting.size(), int(left.count()));
        if (ready < 0 && errno == EINTR)
            continue;
        if (ready <= 0)
            break;
        for (std::size_t i = 0; i < waiting.size() && winner.isEmpty(); ++i) {
            if (waiting[i].fd < 0 || waiting[i].revents == 0)
                continue;
            const int error = connectOutcome(waiting[i].fd);
            if (error == 0)
                winner = tried.at(int(i));
            else
                refusals << QStringLiteral("%1: %2").arg(
                    tried.at(int(i)), QString::fromLocal8Bit(std::strerror(error)));
            ::close(waiting[i].fd);
            waiting[i].fd = -1; // poll() passes over it from now on
            --open;
        }
    }
    for (const pollfd &p : waiting)
        if (p.fd >= 0)
            ::close(p.fd);
    if (!winner.isEmpty())
        return { winner, {} };
    if (open > 0)
        return { {},
            QStringLiteral("connection to server \"%1\" (%2), port %3 failed: timeout expired "
                           "after %4 s")
                .arg(host, addresses.join(QStringLiteral(", ")), QString::number(port),
                    seconds(limit)) };
    return { {},
        QStringLiteral("connection to server \"%1\", port %2 failed: %3")
            .arg(host, QString::number(port), refusals.join(QStringLiteral("; "))) };
}

ServerAddress FindServerAddress(const QString &host, int port, milliseconds limit)
{
    const Clock::time_point start = Clock::now();
    const ResolvedName resolved = ResolveServerName(host, limit);
    if (!resolved.problem.isEmpty())
        return { {}, resolved.problem };
    const auto used = std::chrono::duration_cast<milliseconds>(Clock::now() - start);
    return FirstAnsweringAddress(
        host, resolved.addresses, port, std::max(limit - used, milliseconds(0)));
}

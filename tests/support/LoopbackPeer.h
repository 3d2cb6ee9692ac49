#pragma once

#include <QString>
#include <arpa/inet.h>
#include <chrono>
#include <netinet/in.h>
#include <sys/socket.h>
#include <thread>
#include <unistd.h>
#include <vector>

// A peer on a loopback address: one that takes connections, one that
// refuses them, or one that never answers (its queue of connections is
// full, so the kernel drops further requests without a word, as a machine
// that is off would).
class LoopbackPeer
{
public:
    enum class Kind { Listening, Refusing, Silent };

    LoopbackPeer(Kind kind, const char *address, int port)
        : m_address(QString::fromLatin1(address))
    {
        m_fd = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
        sockaddr_in where {};
        where.sin_family = AF_INET;
        where.sin_port = htons(quint16(port));
        ::inet_pton(AF_INET, address, &where.sin_addr);
        if (::bind(m_fd, reinterpret_cast<sockaddr *>(&where), sizeof where) != 0)
            return;
        socklen_t size = sizeof where;
        ::getsockname(m_fd, reinterpret_cast<sockaddr *>(&where), &size);
        m_port = ntohs(where.sin_port);
        if (kind != Kind::Refusing && ::listen(m_fd, kind == Kind::Silent ? 0 : 16) != 0)
            m_port = 0;
        for (int i = 0; kind == Kind::Silent && i < 4; ++i) {
            const int filler = ::socket(AF_INET, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
            ::connect(filler, reinterpret_cast<sockaddr *>(&where), sizeof where);
            m_fillers.push_back(filler);
        }
        if (kind == Kind::Silent)
            std::this_thread::sleep_for(std::chrono::milliseconds(200)); // the queue fills
    }
    ~LoopbackPeer()
    {
        for (const int fd : m_fillers)
            ::close(fd);
        ::close(m_fd);
    }
    int port() const { return m_port; }
    QString address() const { return m_address; }

private:
    QString m_address;
    int m_fd = -1;
    int m_port = 0;
    std::vector<int> m_fillers;
};

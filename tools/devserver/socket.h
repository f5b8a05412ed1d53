#pragma once

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cstdint>
#include <string>
#include <utility>

namespace venmarra::devserver {

// Owns a socket's file descriptor and closes it when it goes.
class Socket {
public:
    explicit Socket(int fd = -1)
        : m_fd(fd)
    {
    }
    Socket(Socket &&other) noexcept
        : m_fd(std::exchange(other.m_fd, -1))
    {
    }
    Socket &operator=(Socket &&other) noexcept
    {
        std::swap(m_fd, other.m_fd);
        return *this;
    }
    ~Socket()
    {
        if (m_fd >= 0)
            ::close(m_fd);
    }

    int get() const { return m_fd; }
    explicit operator bool() const { return m_fd >= 0; }
    // Hands the descriptor to a new owner.
    int release() { return std::exchange(m_fd, -1); }

private:
    int m_fd;
};

// The port that the socket `fd` is bound to, or -1.
inline int boundPort(int fd)
{
    sockaddr_in where {};
    socklen_t length = sizeof where;
    if (::getsockname(fd, reinterpret_cast<sockaddr *>(&where), &length) != 0 || where.sin_family != AF_INET)
        return -1;
    return ntohs(where.sin_port);
}

// A socket listening on the IPv4 `address`:`port` (0 lets the system pick), or none.
inline Socket listeningSocket(const std::string &address, int port)
{
    Socket listener(::socket(AF_INET, SOCK_STREAM, 0));
    sockaddr_in where {};
    where.sin_family = AF_INET;
    where.sin_port = htons(static_cast<std::uint16_t>(port));
    // The service closes its connections first: they wait out TIME_WAIT on this port, and without
    // address reuse no service could listen here again for a minute.
    const int yes = 1;
    if (!listener || ::setsockopt(listener.get(), SOL_SOCKET, SO_REUSEADDR, &yes, sizeof yes) != 0
        || ::inet_pton(AF_INET, address.c_str(), &where.sin_addr) != 1
        || ::bind(listener.get(), reinterpret_cast<sockaddr *>(&where), sizeof where) != 0
        || ::listen(listener.get(), SOMAXCONN) != 0)
        return Socket();
    return listener;
}

// Starts `server` (the HTTP or the SMTP one) on a socket of its own that listens on the IPv4
// `address`:`port` (0 lets the system pick): the port it serves, or -1.
template <typename Server>
int startListening(Server &server, const std::string &address, int port)
{
    Socket listener = listeningSocket(address, port);
    return listener ? server.adopt(listener.release()) : -1;
}

}  // namespace venmarra::devserver

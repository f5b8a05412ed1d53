#pragma once

#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

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

}  // namespace venmarra::devserver

#include "raw_server.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <stdexcept>

namespace venmarra::test {
namespace {

// Waits up to 50 ms for `fd` to become readable.
bool readable(int fd)
{
    pollfd entry {fd, POLLIN, 0};
    return ::poll(&entry, 1, 50) > 0;
}

std::size_t contentLength(const std::string &head)
{
    const std::string name = "\r\ncontent-length:";
    std::string lower(head);
    for (char &c : lower)
        c = char(std::tolower(static_cast<unsigned char>(c)));
    const auto at = lower.find(name);
    return at == std::string::npos ? 0 : std::stoul(head.substr(at + name.size()));
}

}  // namespace

RawServer::RawServer()
{
    m_listener = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in address {};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    address.sin_port = 0;
    socklen_t length = sizeof address;
    if (m_listener < 0 || ::bind(m_listener, reinterpret_cast<sockaddr *>(&address), length) != 0
        || ::listen(m_listener, 16) != 0
        || ::getsockname(m_listener, reinterpret_cast<sockaddr *>(&address), &length) != 0)
        throw std::runtime_error("raw server: cannot listen on 127.0.0.1");
    m_port = ntohs(address.sin_port);
    m_thread = std::thread([this] { serve(); });
}

RawServer::~RawServer()
{
    m_stopping = true;
    m_thread.join();
    ::close(m_listener);
}

std::string RawServer::baseUrl() const
{
    return "http://127.0.0.1:" + std::to_string(m_port) + "/";
}

void RawServer::enqueue(RawReply reply)
{
    const std::lock_guard lock(m_mutex);
    m_script.push_back(std::move(reply));
}

std::vector<std::string> RawServer::requests() const
{
    const std::lock_guard lock(m_mutex);
    return m_requests;
}

void RawServer::serve()
{
    while (!m_stopping) {
        if (!readable(m_listener))
            continue;
        const int client = ::accept(m_listener, nullptr, nullptr);
        if (client < 0)
            continue;
        m_connections.emplace_back([this, client] {
            answer(client);
            ::close(client);
        });
    }
    for (std::thread &connection : m_connections)
        connection.join();
}

void RawServer::answer(int client)
{
    std::string request;
    char buffer[4096];
    std::size_t headEnd = std::string::npos;
    while (!m_stopping) {
        if (headEnd != std::string::npos
            && request.size() >= headEnd + 4 + contentLength(request.substr(0, headEnd)))
            break;
        if (!readable(client))
            continue;
        const ssize_t got = ::recv(client, buffer, sizeof buffer, 0);
        if (got <= 0)
            break;
        request.append(buffer, std::size_t(got));
        headEnd = request.find("\r\n\r\n");
    }
    RawReply reply;
    {
        const std::lock_guard lock(m_mutex);
        m_requests.push_back(request);
        if (!m_script.empty()) {
            reply = std::move(m_script.front());
            m_script.pop_front();
        }
    }
    if (reply.byteDelay.count() > 0) {
        for (std::size_t i = 0; i < reply.bytes.size() && !m_stopping; ++i) {
            if (::send(client, &reply.bytes[i], 1, MSG_NOSIGNAL) != 1)
                return;
            std::this_thread::sleep_for(reply.byteDelay);
        }
    } else {
        ::send(client, reply.bytes.data(), reply.bytes.size(), MSG_NOSIGNAL);
    }
    const std::string chunk = "1000\r\n" + std::string(0x1000, 'z') + "\r\n";
    while (reply.endlessChunks && !m_stopping
           && ::send(client, chunk.data(), chunk.size(), MSG_NOSIGNAL) > 0) { }
    while (reply.hold && !m_stopping)
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    if (reply.reset) {
        const linger abort {1, 0};
        ::setsockopt(client, SOL_SOCKET, SO_LINGER, &abort, sizeof abort);
    }
}

}  // namespace venmarra::test

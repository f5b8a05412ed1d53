#include "scripted_server.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
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
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    const auto at = lower.find(name);
    return at == std::string::npos ? 0 : std::stoul(head.substr(at + name.size()));
}

bool sameName(const std::string &a, const std::string &b)
{
    return std::equal(a.begin(), a.end(), b.begin(), b.end(),
                      [](char x, char y) { return std::tolower(x) == std::tolower(y); });
}

RecordedRequest parse(const std::string &raw)
{
    RecordedRequest request {raw, {}, {}, {}, {}, std::chrono::steady_clock::now()};
    const std::size_t headEnd = raw.find("\r\n\r\n");
    std::size_t at = raw.find("\r\n");
    const std::string line = raw.substr(0, at);
    const std::size_t space = line.find(' ');
    request.method = line.substr(0, space);
    if (space != std::string::npos)
        request.path = line.substr(space + 1, line.rfind(' ') - space - 1);
    for (std::size_t end; at < headEnd && (end = raw.find("\r\n", at + 2)) <= headEnd; at = end) {
        const std::string header = raw.substr(at + 2, end - at - 2);
        const std::size_t colon = std::min(header.find(':'), header.size());
        const std::size_t value = std::min(header.find_first_not_of(' ', colon + 1), header.size());
        request.headers.emplace_back(header.substr(0, colon), header.substr(value));
    }
    if (headEnd != std::string::npos)
        request.body = raw.substr(headEnd + 4);
    return request;
}

std::string bytesOf(const ScriptedReply &reply)
{
    if (reply.raw)
        return *reply.raw;
    std::string head = "HTTP/1.1 " + std::to_string(reply.status)
        + (reply.status == 200 ? " OK" : " Scripted") + "\r\nContent-Type: " + reply.contentType + "\r\n";
    for (const auto &[name, value] : reply.headers)
        head += name + ": " + value + "\r\n";
    return head + "Content-Length: " + std::to_string(reply.body.size()) + "\r\nConnection: close\r\n\r\n"
        + reply.body;
}

}  // namespace

bool RecordedRequest::hasHeader(const std::string &name) const
{
    return std::any_of(headers.begin(), headers.end(),
                       [&](const auto &header) { return sameName(header.first, name); });
}

std::string RecordedRequest::header(const std::string &name) const
{
    for (const auto &[found, value] : headers)
        if (sameName(found, name))
            return value;
    return {};
}

ScriptedServer::ScriptedServer()
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
        throw std::runtime_error("scripted server: cannot listen on 127.0.0.1");
    m_port = ntohs(address.sin_port);
    m_thread = std::thread([this] { serve(); });
}

ScriptedServer::~ScriptedServer()
{
    m_stopping = true;
    m_thread.join();
    ::close(m_listener);
}

std::string ScriptedServer::baseUrl() const
{
    return "http://127.0.0.1:" + std::to_string(m_port) + "/";
}

void ScriptedServer::enqueue(ScriptedReply reply)
{
    const std::lock_guard lock(m_mutex);
    m_script.push_back(std::move(reply));
}

void ScriptedServer::setDefaultReply(ScriptedReply reply)
{
    const std::lock_guard lock(m_mutex);
    m_defaultReply = std::move(reply);
}

std::vector<RecordedRequest> ScriptedServer::requests() const
{
    const std::lock_guard lock(m_mutex);
    return m_requests;
}

std::size_t ScriptedServer::requestCount() const
{
    const std::lock_guard lock(m_mutex);
    return m_requests.size();
}

ScriptedReply ScriptedServer::nextReply(const std::string &request)
{
    const std::lock_guard lock(m_mutex);
    m_requests.push_back(parse(request));
    if (m_script.empty())
        return m_defaultReply;
    ScriptedReply reply = std::move(m_script.front());
    m_script.pop_front();
    return reply;
}

void ScriptedServer::serve()
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

void ScriptedServer::answer(int client)
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
        request.append(buffer, static_cast<std::size_t>(got));
        headEnd = request.find("\r\n\r\n");
    }
    const ScriptedReply reply = nextReply(request);
    for (auto until = std::chrono::steady_clock::now() + reply.delay;
         std::chrono::steady_clock::now() < until && !m_stopping;)
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    const std::string bytes = bytesOf(reply);
    if (reply.byteDelay.count() > 0) {
        for (std::size_t i = 0; i < bytes.size() && !m_stopping; ++i) {
            if (::send(client, &bytes[i], 1, MSG_NOSIGNAL) != 1)
                return;
            std::this_thread::sleep_for(reply.byteDelay);
        }
    } else {
        ::send(client, bytes.data(), bytes.size(), MSG_NOSIGNAL);
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

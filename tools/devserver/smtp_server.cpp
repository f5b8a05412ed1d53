#include "devserver/smtp_server.h"

#include <arpa/inet.h>
#include <cerrno>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

namespace venmarra::devserver {
namespace {

constexpr int kPollSliceMs = 100;
using SteadyClock = std::chrono::steady_clock;

// Sends all of `text` unless the deadline passes or the server stops first: a peer that does not
// read cannot hold the thread.
bool sendAll(int socket, const std::string &text, SteadyClock::time_point deadline,
             const std::atomic<bool> &stopping)
{
    std::size_t sent = 0;
    while (sent < text.size()) {
        if (stopping || SteadyClock::now() >= deadline)
            return false;
        pollfd entry {socket, POLLOUT, 0};
        if (::poll(&entry, 1, kPollSliceMs) <= 0)
            continue;
        const ssize_t n = ::send(socket, text.data() + sent, text.size() - sent, MSG_NOSIGNAL | MSG_DONTWAIT);
        if (n < 0 && (errno == EAGAIN || errno == EWOULDBLOCK))
            continue;
        if (n <= 0)
            return false;
        sent += static_cast<std::size_t>(n);
    }
    return true;
}

// Reads lines from a socket with a limit on their length and a time-out on silence.
class LineReader {
public:
    LineReader(int socket, std::size_t maxLine, std::chrono::milliseconds idle,
               SteadyClock::time_point deadline, const std::atomic<bool> &stopping)
        : m_socket(socket)
        , m_lines(maxLine)
        , m_idle(idle)
        , m_deadline(deadline)
        , m_stopping(stopping)
    {
    }

    enum class Result { Line, Overlong, Closed, Idle, Late };

    Result next(std::string &line)
    {
        for (;;) {
            const SmtpLineSplitter::Next next = m_lines.next(line);
            if (next != SmtpLineSplitter::Next::NeedMore)
                return next == SmtpLineSplitter::Next::Line ? Result::Line : Result::Overlong;
            const Result read = fill();
            if (read != Result::Line)
                return read;
        }
    }

private:
    Result fill()
    {
        auto waited = std::chrono::milliseconds(0);
        while (!m_stopping) {
            pollfd entry {m_socket, POLLIN, 0};
            if (SteadyClock::now() >= m_deadline)
                return Result::Late;
            if (::poll(&entry, 1, kPollSliceMs) > 0) {
                char chunk[4096];
                const ssize_t n = ::recv(m_socket, chunk, sizeof chunk, 0);
                if (n <= 0)
                    return Result::Closed;
                m_lines.add(std::string_view(chunk, static_cast<std::size_t>(n)));
                return Result::Line;
            }
            waited += std::chrono::milliseconds(kPollSliceMs);
            if (waited >= m_idle)
                return Result::Idle;
            if (SteadyClock::now() >= m_deadline)
                return Result::Late;
        }
        return Result::Closed;
    }

    int m_socket;
    SmtpLineSplitter m_lines;
    std::chrono::milliseconds m_idle;
    SteadyClock::time_point m_deadline;
    const std::atomic<bool> &m_stopping;
};

}  // namespace

SmtpServer::SmtpServer(SmtpServerLimits limits, SessionFactory makeSession, LogLine log)
    : m_limits(limits)
    , m_makeSession(std::move(makeSession))
    , m_log(std::move(log))
{
}

SmtpServer::~SmtpServer()
{
    stop();
    if (m_acceptor.joinable())
        m_acceptor.join();
    const std::lock_guard lock(m_threadsMutex);
    for (Connection &connection : m_threads)
        connection.thread.join();
}

int SmtpServer::adopt(int listener)
{
    m_listener = Socket(listener);
    m_acceptor = std::thread([this] { serve(); });
    return boundPort(listener);
}

void SmtpServer::stop()
{
    m_stopping = true;
    if (m_acceptor.joinable() && m_acceptor.get_id() != std::this_thread::get_id())
        m_acceptor.join();
}

void SmtpServer::serve()
{
    while (m_listener && !m_stopping) {
        pollfd entry {m_listener.get(), POLLIN, 0};
        if (::poll(&entry, 1, kPollSliceMs) <= 0)
            continue;
        sockaddr_in peerAddress {};
        socklen_t length = sizeof peerAddress;
        Socket client(::accept(m_listener.get(), reinterpret_cast<sockaddr *>(&peerAddress), &length));
        if (!client)
            continue;
        char text[INET_ADDRSTRLEN] = {};
        ::inet_ntop(AF_INET, &peerAddress.sin_addr, text, sizeof text);
        const std::string peer = std::string(text) + ":" + std::to_string(ntohs(peerAddress.sin_port));
        if (m_connections >= m_limits.maxConnections) {
            sendAll(client.get(), "421 4.7.0 Too many connections, try again later\r\n",
                    SteadyClock::now() + std::chrono::milliseconds(kPollSliceMs), m_stopping);
            m_log("SMTP " + peer + " refused: too many connections");
            continue;
        }
        reapFinished();
        ++m_connections;
        auto done = std::make_shared<std::atomic<bool>>(false);
        const std::lock_guard lock(m_threadsMutex);
        m_threads.push_back({std::thread([this, client = std::move(client), peer, done]() mutable {
                                 {
                                     const Socket connection = std::move(client);  // closed here
                                     converse(connection.get(), peer);
                                 }
                                 --m_connections;
                                 *done = true;
                             }),
                             done});
    }
}

void SmtpServer::reapFinished()
{
    const std::lock_guard lock(m_threadsMutex);
    for (auto it = m_threads.begin(); it != m_threads.end();) {
        if (!*it->done) {
            ++it;
            continue;
        }
        it->thread.join();
        it = m_threads.erase(it);
    }
}

void SmtpServer::converse(int client, const std::string &peer)
{
    const SteadyClock::time_point deadline = SteadyClock::now() + m_limits.sessionTimeout;
    const auto send = [&](const std::string &text) {
        return sendAll(client, text, deadline, m_stopping);
    };
    SmtpSession session = m_makeSession();
    if (!send(SmtpSession::greeting() + "\r\n"))
        return;
    LineReader reader(client, m_limits.session.maxLineBytes, m_limits.idleTimeout, deadline, m_stopping);
    std::string line;
    for (;;) {
        const LineReader::Result result = reader.next(line);
        if (result == LineReader::Result::Idle || result == LineReader::Result::Late) {
            const bool idle = result == LineReader::Result::Idle;
            send(idle ? "421 4.4.2 Idle too long, closing\r\n" : "421 4.4.2 Session too long, closing\r\n");
            m_log("SMTP " + peer + " closed: " + (idle ? "idle" : "session too long"));
            return;
        }
        if (result == LineReader::Result::Closed)
            return;
        const SmtpReply reply
            = result == LineReader::Result::Overlong ? session.onOverlongLine() : session.onLine(line);
        if ((!reply.text.empty() && !send(reply.text + "\r\n")) || reply.close)
            return;
    }
}

}  // namespace venmarra::devserver

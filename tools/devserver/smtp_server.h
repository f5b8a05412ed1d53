#pragma once

#include "devserver/log.h"
#include "devserver/smtp_session.h"
#include "devserver/socket.h"

#include <atomic>
#include <chrono>
#include <functional>
#include <list>
#include <memory>
#include <mutex>
#include <string>
#include <thread>

namespace venmarra::devserver {

struct SmtpServerLimits {
    SmtpLimits session;
    std::chrono::milliseconds idleTimeout {60000};
    // A whole conversation, however busy: a client cannot hold a connection longer.
    std::chrono::milliseconds sessionTimeout {300000};
    std::size_t maxConnections = 128;
};

// Accepts SMTP connections on one address, on a thread of its own, each served on a thread of its
// own by a new session.
class SmtpServer {
public:
    using SessionFactory = std::function<SmtpSession()>;

    SmtpServer(SmtpServerLimits limits, SessionFactory makeSession, LogLine log);
    ~SmtpServer();
    SmtpServer(const SmtpServer &) = delete;
    SmtpServer &operator=(const SmtpServer &) = delete;

    // Serves on `listener`, a listening socket that the server now owns; its port, or -1.
    int adopt(int listener);
    // Takes no more connections, and ends those that are open.
    void stop();

private:
    void serve();
    void converse(int client, const std::string &peer);
    // Joins the threads of connections that have ended.
    void reapFinished();

    struct Connection {
        std::thread thread;
        std::shared_ptr<std::atomic<bool>> done;
    };

    const SmtpServerLimits m_limits;
    const SessionFactory m_makeSession;
    const LogLine m_log;
    Socket m_listener;
    std::atomic<bool> m_stopping {false};
    std::atomic<std::size_t> m_connections {0};
    std::mutex m_threadsMutex;
    std::list<Connection> m_threads;
    std::thread m_acceptor;
};

}  // namespace venmarra::devserver

#pragma once

#include "socket.h"

#include "smtp_session.h"

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

// Accepts SMTP connections on one address, each served on a thread of its own by a new session.
class SmtpServer {
public:
    using SessionFactory = std::function<SmtpSession()>;
    using Logger = std::function<void(const std::string &line)>;

    SmtpServer(SmtpServerLimits limits, SessionFactory makeSession, Logger log);
    ~SmtpServer();
    SmtpServer(const SmtpServer &) = delete;
    SmtpServer &operator=(const SmtpServer &) = delete;

    // Binds to `address`:`port` (0 lets the system pick); returns the port, or -1.
    int bind(const std::string &address, int port);
    // Listens on `listener`, a listening socket that the server now owns; its port, or -1.
    int adopt(int listener);
    // Serves until stop(); returns at once when not bound.
    void serve();
    void stop();

private:
    void converse(int client, const std::string &peer);
    // Joins the threads of connections that have ended.
    void reapFinished();

    struct Connection {
        std::thread thread;
        std::shared_ptr<std::atomic<bool>> done;
    };

    const SmtpServerLimits m_limits;
    const SessionFactory m_makeSession;
    const Logger m_log;
    Socket m_listener;
    std::atomic<bool> m_stopping {false};
    std::atomic<std::size_t> m_connections {0};
    std::mutex m_threadsMutex;
    std::list<Connection> m_threads;
};

}  // namespace venmarra::devserver

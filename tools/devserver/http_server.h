#pragma once

#include <chrono>
#include <condition_variable>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <utility>
#include <vector>

struct MHD_Daemon;
struct MHD_Connection;

namespace venmarra::devserver {

struct WebRequest {
    std::string method;
    std::string path;
    std::map<std::string, std::string> form;  // the decoded fields of a form body (the first of each name)
    std::string sid;  // the `sid` cookie, or empty
};

struct WebResponse {
    int status = 200;
    std::string contentType = "text/plain; charset=utf-8";
    std::string body;
    std::vector<std::pair<std::string, std::string>> headers;
};

struct HttpServerLimits {
    unsigned maxConnections = 256;
    std::size_t connectionMemory = 32 * 1024;  // the request line and headers must fit in it
    std::size_t maxHeaders = 100;
    std::size_t maxBodyBytes = 64 * 1024;
    std::chrono::seconds idleTimeout {10};
    // A connection carries one request and its answer, and is closed after this whatever it does.
    std::chrono::milliseconds connectionDeadline {10000};
};

// The HTTP side of the service on GNU libmicrohttpd: one thread serves every connection (epoll), so
// that no number of slow or idle clients can hold the threads that others need; each connection's
// memory, headers, body and lifetime are capped.
class HttpServer {
public:
    using Handler = std::function<WebResponse(const WebRequest &)>;

    HttpServer(HttpServerLimits limits, Handler handler);
    ~HttpServer();
    HttpServer(const HttpServer &) = delete;
    HttpServer &operator=(const HttpServer &) = delete;

    // Serves on `listener`, a listening socket that the server now owns; its port, or -1.
    int adopt(int listener);
    void stop();

private:
    struct Open {
        int socket;
        std::chrono::steady_clock::time_point since;
        bool cut = false;
    };
    friend struct HttpServerCallbacks;  // libmicrohttpd's callbacks, in the source file
    // Queues `response` on `connection`; libmicrohttpd's MHD_YES or MHD_NO.
    int answer(MHD_Connection *connection, const WebResponse &response);
    // Shuts the sockets of connections past their deadline, until stopped.
    void sweep();

    const HttpServerLimits m_limits;
    const Handler m_handler;
    struct DaemonStopper {
        void operator()(MHD_Daemon *daemon) const;
    };
    std::unique_ptr<MHD_Daemon, DaemonStopper> m_daemon;
    std::mutex m_mutex;
    std::condition_variable m_wake;
    bool m_stopping = false;
    std::map<MHD_Connection *, Open> m_open;
    std::thread m_sweeper;
};

// The fields of an application/x-www-form-urlencoded body, decoded; the first of each name.
std::map<std::string, std::string> decodeForm(const std::string &body);

}  // namespace venmarra::devserver

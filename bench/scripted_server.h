#pragma once

#include <atomic>
#include <chrono>
#include <deque>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <utility>
#include <vector>

namespace venmarra::test {

struct RecordedRequest {
    std::string raw;  // the request as received
    std::string method, path, body;
    std::vector<std::pair<std::string, std::string>> headers;  // names as received
    std::chrono::steady_clock::time_point at;

    bool hasHeader(const std::string &name) const;
    std::string header(const std::string &name) const;  // the first of that name, in any case
};

struct ScriptedReply {
    int status = 200;
    std::vector<std::pair<std::string, std::string>> headers;
    std::string body;
    std::string contentType = "text/html; charset=utf-8";
    std::chrono::milliseconds delay {0};  // before the first byte
    // For answers that a well-behaved server cannot send: these bytes instead of the answer above,
    std::optional<std::string> raw;
    std::chrono::milliseconds byteDelay {0};  // > 0: trickled a byte at a time,
    bool endlessChunks = false;  // followed by chunks of a chunked body until the client leaves,
    bool hold = false;  // then the connection kept open without a further byte,
    bool reset = false;  // and closed with a reset (RST) instead of an orderly close.
};
inline ScriptedReply rawReply(std::string bytes)
{
    ScriptedReply reply;
    reply.raw = std::move(bytes);
    return reply;
}

// An HTTP server on 127.0.0.1, on a port the system picks, that answers each connection on a thread
// of its own from a script (one reply per request in order, then the default reply), and records
// every request it gets.
class ScriptedServer {
public:
    ScriptedServer();
    ~ScriptedServer();
    ScriptedServer(const ScriptedServer &) = delete;
    ScriptedServer &operator=(const ScriptedServer &) = delete;

    int port() const { return m_port; }
    std::string baseUrl() const;
    void enqueue(ScriptedReply reply);
    void setDefaultReply(ScriptedReply reply);
    std::vector<RecordedRequest> requests() const;
    std::size_t requestCount() const;

private:
    void serve();
    void answer(int client);
    ScriptedReply nextReply(const std::string &request);

    int m_listener = -1;
    int m_port = 0;
    std::atomic<bool> m_stopping {false};
    mutable std::mutex m_mutex;
    std::deque<ScriptedReply> m_script;
    ScriptedReply m_defaultReply;
    std::vector<RecordedRequest> m_requests;
    std::vector<std::thread> m_connections;  // one per accepted connection, joined at the end
    std::thread m_thread;
};

}  // namespace venmarra::test

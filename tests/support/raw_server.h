#pragma once

#include <atomic>
#include <chrono>
#include <deque>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace venmarra::test {

struct RawReply {
    std::string bytes;  // written to the socket as they stand, then the connection is closed
    bool hold = false;  // after the bytes, keep the connection open without a further byte
    std::chrono::milliseconds byteDelay {0};  // > 0: the bytes are trickled one at a time
    bool reset = false;  // close with a reset (RST) instead of an orderly close
    bool endlessChunks = false;  // after the bytes, chunks of a chunked body until the client leaves
};

// A socket server on 127.0.0.1 that answers each connection, on a thread of its own, with scripted raw bytes,
// for answers that a well-behaved HTTP server cannot send. It records each request's raw text.
class RawServer {
public:
    RawServer();
    ~RawServer();
    RawServer(const RawServer &) = delete;
    RawServer &operator=(const RawServer &) = delete;

    int port() const { return m_port; }
    std::string baseUrl() const;
    void enqueue(RawReply reply);
    std::vector<std::string> requests() const;

private:
    void serve();
    void answer(int client);

    int m_listener = -1;
    int m_port = 0;
    std::atomic<bool> m_stopping {false};
    mutable std::mutex m_mutex;
    std::deque<RawReply> m_script;
    std::vector<std::string> m_requests;
    std::vector<std::thread> m_connections;  // one per accepted connection, joined at the end
    std::thread m_thread;
};

}  // namespace venmarra::test

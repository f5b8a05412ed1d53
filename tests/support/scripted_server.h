#pragma once

#include <httplib.h>

#include <chrono>
#include <deque>
#include <mutex>
#include <string>
#include <thread>
#include <utility>
#include <vector>

namespace venmarra::test {

struct RecordedRequest {
    std::string method;
    std::string path;
    httplib::Headers headers;  // names as received
    std::string body;
    std::chrono::steady_clock::time_point at;

    bool hasHeader(const std::string &name) const { return headers.count(name) > 0; }
    std::string header(const std::string &name) const;
};

struct ScriptedReply {
    int status = 200;
    std::vector<std::pair<std::string, std::string>> headers;
    std::string body;
    std::string contentType = "text/html; charset=utf-8";
    std::chrono::milliseconds delay {0};
};

// An HTTP server on 127.0.0.1, on a port the system picks, that answers from a script (one
// reply per request in order, then the default reply) and records every request it gets.
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
    // Waits until `count` requests have arrived or `timeout` has passed.
    bool waitForRequests(std::size_t count, std::chrono::milliseconds timeout) const;

private:
    void handle(const httplib::Request &request, httplib::Response &response);

    httplib::Server m_server;
    int m_port = 0;
    mutable std::mutex m_mutex;
    std::deque<ScriptedReply> m_script;
    ScriptedReply m_defaultReply;
    std::vector<RecordedRequest> m_requests;
    std::thread m_thread;
};

// The home page of the service with `name` between the two markers.
std::string homePage(const std::string &name);
struct Mail {
    std::string from, subject, mid;
};
// A refresh answer of the service: the mailbox's details and its mails, newest first.
std::string refreshAnswer(const std::string &user, const std::string &status, const std::vector<Mail> &mails);
// A JSON reply (status 200).
ScriptedReply jsonReply(const std::string &json);

// A reply to the allocation request: the home page with `name`, setting the `sid` cookie.
ScriptedReply allocationReply(const std::string &name, const std::string &sid);

}  // namespace venmarra::test

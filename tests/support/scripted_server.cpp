#include "scripted_server.h"

namespace venmarra::test {

std::string RecordedRequest::header(const std::string &name) const
{
    const auto found = headers.find(name);
    return found == headers.end() ? std::string() : found->second;
}

ScriptedServer::ScriptedServer()
{
    m_server.Get(".*", [this](const httplib::Request &req, httplib::Response &res) { handle(req, res); });
    m_server.Post(".*", [this](const httplib::Request &req, httplib::Response &res) { handle(req, res); });
    m_port = m_server.bind_to_any_port("127.0.0.1");
    m_thread = std::thread([this] { m_server.listen_after_bind(); });
    // stop() is lost on a server that has not begun to listen yet.
    while (!m_server.is_running())
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
}

ScriptedServer::~ScriptedServer()
{
    m_server.stop();
    m_thread.join();
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

bool ScriptedServer::waitForRequests(std::size_t count, std::chrono::milliseconds timeout) const
{
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    while (requestCount() < count) {
        if (std::chrono::steady_clock::now() > deadline)
            return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    return true;
}

void ScriptedServer::handle(const httplib::Request &request, httplib::Response &response)
{
    ScriptedReply reply;
    {
        const std::lock_guard lock(m_mutex);
        m_requests.push_back(
            {request.method, request.path, request.headers, request.body, std::chrono::steady_clock::now()});
        if (m_script.empty()) {
            reply = m_defaultReply;
        } else {
            reply = std::move(m_script.front());
            m_script.pop_front();
        }
    }
    std::this_thread::sleep_for(reply.delay);
    response.status = reply.status;
    for (const auto &[name, value] : reply.headers)
        response.headers.emplace(name, value);
    response.set_content(reply.body, reply.contentType.c_str());
}

std::string homePage(const std::string &name)
{
    return "<html><body><form><input id=\"converts\" name=\"converts\" type=\"text\" value=\"" + name
        + "\" valid='{\"minlength\":3}' /></form></body></html>";
}

std::string refreshAnswer(const std::string &user, const std::string &status, const std::vector<Mail> &mails)
{
    std::string list;
    for (const Mail &mail : mails) {
        list += list.empty() ? "" : ",";
        list += "{\"FROM\":\"" + mail.from + "\",\"SUBJECT\":\"" + mail.subject + "\",\"MID\":\"" + mail.mid
            + "\"}";
    }
    return "{\"data\":[{\"user\":{\"USER\":\"" + user + "\",\"STATUS\":" + status
        + ",\"ADDTIME\":\"2026-12-06 10:00:00\",\"EXPIRETIME\":\"2026-12-06 10:10:00\"},\"list\":[" + list
        + "]}]}";
}

ScriptedReply jsonReply(const std::string &json)
{
    ScriptedReply reply;
    reply.body = json;
    reply.contentType = "application/json";
    return reply;
}

ScriptedReply allocationReply(const std::string &name, const std::string &sid)
{
    ScriptedReply reply;
    reply.body = homePage(name);
    reply.headers.push_back({"Set-Cookie", "sid=" + sid + "; Path=/; HttpOnly"});
    return reply;
}

}  // namespace venmarra::test

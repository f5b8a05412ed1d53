#include "local_service.h"

#include <poll.h>

#include <fstream>
#include <sstream>

namespace venmarra::devserver::test {

Socket connectedSocket(int port, int receiveBuffer)
{
    Socket socket(::socket(AF_INET, SOCK_STREAM, 0));
    if (receiveBuffer > 0)
        ::setsockopt(socket.get(), SOL_SOCKET, SO_RCVBUF, &receiveBuffer, sizeof receiveBuffer);
    sockaddr_in where {};
    where.sin_family = AF_INET;
    where.sin_port = htons(uint16_t(port));
    where.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    return ::connect(socket.get(), reinterpret_cast<sockaddr *>(&where), sizeof where) == 0
        ? std::move(socket)
        : Socket();
}

bool SmtpClient::send(const std::string &text)
{
    std::size_t sent = 0;
    while (m_socket && sent < text.size()) {
        const ssize_t n = ::send(m_socket.get(), text.data() + sent, text.size() - sent, MSG_NOSIGNAL);
        if (n <= 0)
            return false;
        sent += static_cast<std::size_t>(n);
    }
    return bool(m_socket);
}

bool SmtpClient::sendLines(const std::vector<std::string> &lines)
{
    std::string text;
    for (const std::string &line : lines)
        text += line + "\r\n";
    return send(text);
}

bool SmtpClient::receiveBy(std::chrono::steady_clock::time_point deadline)
{
    const auto left
        = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - std::chrono::steady_clock::now());
    pollfd entry {m_socket.get(), POLLIN, 0};
    if (left.count() <= 0 || ::poll(&entry, 1, static_cast<int>(left.count())) <= 0)
        return false;
    char buffer[4096];
    const ssize_t n = ::recv(m_socket.get(), buffer, sizeof buffer, 0);
    if (n > 0)
        m_heard.append(buffer, static_cast<std::size_t>(n));
    return n > 0;
}

std::string SmtpClient::readUntil(const std::string &code, std::chrono::milliseconds timeout)
{
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    for (;;) {
        const std::size_t line = ("\r\n" + m_heard).find("\r\n" + code);  // a reply line that `code` begins
        const std::size_t end = line == std::string::npos ? line : m_heard.find("\r\n", line);
        if (end != std::string::npos) {
            std::string heard = m_heard.substr(0, end + 2);
            m_heard.erase(0, end + 2);
            return heard;
        }
        if (!receiveBy(deadline))
            return std::exchange(m_heard, {});
    }
}

std::string SmtpClient::readAll(std::chrono::milliseconds timeout)
{
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    while (receiveBy(deadline)) { }
    return std::exchange(m_heard, {});
}

LocalService::LocalService(StoreLimits storeLimits, SmtpServerLimits smtpLimits)
    : store(storeLimits)
    , http({}, [this](const WebRequest &request) { return api.handle(request); })
    , smtp(
          smtpLimits, [this] { return deliveringSession(store, log); }, log)
{
}

void LocalService::SetUp()
{
    httpPort = startListening(http, "127.0.0.1", 0);
    ASSERT_GT(httpPort, 0);
    smtpPort = startListening(smtp, "127.0.0.1", 0);
    ASSERT_GT(smtpPort, 0);
}

void LocalService::TearDown()
{
    http.stop();
    smtp.stop();
}

LocalService::Mailbox LocalService::allocate()
{
    httplib::Client client("127.0.0.1", httpPort);
    const auto res = client.Get("/");
    const std::string cookie = res ? res->get_header_value("Set-Cookie") : std::string();
    return {cutMailboxName(res ? res->body : std::string()),
            cookie.substr(4, 40)};  // as the program reads it
}

LocalService::Answer LocalService::post(const std::string &body, const std::string &sid)
{
    httplib::Client client("127.0.0.1", httpPort);
    client.set_read_timeout(5, 0);
    httplib::Headers headers;
    if (!sid.empty())
        headers.emplace("Cookie", "sid=" + sid);
    const httplib::Result result = client.Post("/", headers, body, "application/x-www-form-urlencoded");
    if (!result) {
        ADD_FAILURE() << "no answer to the POST " << body << ": " << httplib::to_string(result.error());
        return {};
    }
    return {result->status, result->body};
}

std::string LocalService::converse(const std::vector<std::string> &lines)
{
    SmtpClient client(smtpPort);
    client.sendLines(lines);
    return client.readAll();
}

std::vector<std::string> LocalService::envelope(const std::vector<std::string> &names)
{
    std::vector<std::string> lines {"EHLO test", "MAIL FROM:<s@example.test>"};
    for (const std::string &name : names)
        lines.push_back("RCPT TO:<" + name
                        + (name.find('@') == std::string::npos ? "@" + std::string(kMailDomain) : "") + ">");
    lines.push_back("DATA");
    return lines;
}

std::vector<std::string> LocalService::mailTo(const std::string &name, const std::string &subject)
{
    std::vector<std::string> lines = envelope({name});
    lines.insert(lines.end(), {"Subject: " + subject, "", "body", ".", "QUIT"});
    return lines;
}

std::vector<std::string> LocalService::logged()
{
    const std::lock_guard lock(logMutex);
    std::vector<std::string> lines;
    std::istringstream text(logText);
    for (std::string line; std::getline(text, line);)
        lines.push_back(line);
    return lines;
}

long peakResidentBytes()
{
    std::ifstream status("/proc/self/status");
    for (std::string line; std::getline(status, line);)
        if (line.rfind("VmHWM:", 0) == 0)
            return std::stol(line.substr(6)) * 1024;
    return -1;
}

}  // namespace venmarra::devserver::test

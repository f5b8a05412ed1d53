#include "devserver/http_server.h"

#include "devserver/socket.h"

#include <microhttpd.h>

#include <sys/socket.h>

namespace venmarra::devserver {
namespace {

struct Upload {
    std::string body;
    bool tooLarge = false;
};

std::string unescaped(std::string text)
{
    for (char &c : text)
        if (c == '+')
            c = ' ';
    text.resize(MHD_http_unescape(text.data()));
    return text;
}

}  // namespace

std::map<std::string, std::string> decodeForm(const std::string &body)
{
    std::map<std::string, std::string> fields;
    std::size_t at = 0;
    while (at <= body.size()) {
        const std::size_t end = std::min(body.find('&', at), body.size());
        const std::string pair = body.substr(at, end - at);
        const std::size_t equals = pair.find('=');
        if (!pair.empty())
            fields.emplace(unescaped(pair.substr(0, equals)),
                           equals == std::string::npos ? std::string() : unescaped(pair.substr(equals + 1)));
        at = end + 1;
    }
    return fields;
}

struct HttpServerCallbacks {
    static void onConnection(void *self, MHD_Connection *connection, void **,
                             MHD_ConnectionNotificationCode event)
    {
        auto *server = static_cast<HttpServer *>(self);
        const std::lock_guard lock(server->m_mutex);
        if (event == MHD_CONNECTION_NOTIFY_STARTED) {
            const int socket
                = MHD_get_connection_info(connection, MHD_CONNECTION_INFO_CONNECTION_FD)->connect_fd;
            server->m_open[connection] = {socket, std::chrono::steady_clock::now()};
        } else {
            server->m_open.erase(connection);
        }
    }

    static void onCompleted(void *, MHD_Connection *, void **state, MHD_RequestTerminationCode)
    {
        delete static_cast<Upload *>(*state);
        *state = nullptr;
    }

    static MHD_Result onRequest(void *self, MHD_Connection *connection, const char *url, const char *method,
                                const char *, const char *upload, std::size_t *uploadSize, void **state)
    {
        auto *server = static_cast<HttpServer *>(self);
        auto *received = static_cast<Upload *>(*state);
        if (!received) {  // the headers are in; the body, if any, follows
            if (static_cast<std::size_t>(
                    MHD_get_connection_values(connection, MHD_HEADER_KIND, nullptr, nullptr))
                > server->m_limits.maxHeaders)
                return static_cast<MHD_Result>(
                    server->answer(connection, {431, "text/plain; charset=utf-8", "too many headers\n", {}}));
            *state = new Upload;
            return MHD_YES;
        }
        if (*uploadSize > 0) {
            if (received->body.size() + *uploadSize > server->m_limits.maxBodyBytes)
                received->tooLarge = true;
            else
                received->body.append(upload, *uploadSize);
            *uploadSize = 0;
            return MHD_YES;
        }
        if (received->tooLarge)
            return static_cast<MHD_Result>(
                server->answer(connection, {413, "text/plain; charset=utf-8", "request too large\n", {}}));
        WebRequest request;
        request.method = method;
        request.path = url;
        request.form = decodeForm(received->body);
        if (const char *sid = MHD_lookup_connection_value(connection, MHD_COOKIE_KIND, "sid"))
            request.sid = sid;
        return static_cast<MHD_Result>(server->answer(connection, server->m_handler(request)));
    }
};

HttpServer::HttpServer(HttpServerLimits limits, Handler handler)
    : m_limits(limits)
    , m_handler(std::move(handler))
{
}

HttpServer::~HttpServer()
{
    stop();
}

void HttpServer::DaemonStopper::operator()(MHD_Daemon *daemon) const
{
    MHD_stop_daemon(daemon);
}

int HttpServer::adopt(int listener)
{
    // libmicrohttpd wakes its thread through a channel of its own when stopped: without one it
    // would shut the listening socket down, and a socket that systemd handed over and keeps
    // would refuse every later connection.
    const MHD_OptionItem listening[]
        = {{MHD_OPTION_LISTEN_SOCKET, listener, nullptr}, {MHD_OPTION_END, 0, nullptr}};
    m_daemon.reset(MHD_start_daemon(
        MHD_USE_EPOLL_INTERNAL_THREAD | MHD_USE_ITC, 0, nullptr, nullptr, &HttpServerCallbacks::onRequest,
        this, MHD_OPTION_ARRAY, listening, MHD_OPTION_CONNECTION_LIMIT, m_limits.maxConnections,
        MHD_OPTION_CONNECTION_MEMORY_LIMIT, m_limits.connectionMemory, MHD_OPTION_CONNECTION_TIMEOUT,
        static_cast<unsigned>(m_limits.idleTimeout.count()), MHD_OPTION_NOTIFY_COMPLETED,
        &HttpServerCallbacks::onCompleted, this, MHD_OPTION_NOTIFY_CONNECTION,
        &HttpServerCallbacks::onConnection, this, MHD_OPTION_END));
    if (!m_daemon)
        return -1;
    m_sweeper = std::thread([this] { sweep(); });
    return boundPort(listener);
}

void HttpServer::stop()
{
    {
        const std::lock_guard lock(m_mutex);
        m_stopping = true;
    }
    m_wake.notify_all();
    if (m_sweeper.joinable())
        m_sweeper.join();
    m_daemon.reset();
}

void HttpServer::sweep()
{
    std::unique_lock lock(m_mutex);
    while (!m_wake.wait_for(lock, std::chrono::milliseconds(100), [this] { return m_stopping; })) {
        const auto now = std::chrono::steady_clock::now();
        for (auto &[connection, open] : m_open) {
            if (!open.cut && now - open.since > m_limits.connectionDeadline) {
                // The server notices the shut socket and closes the connection; the socket stays
                // open until then, so that its number cannot be reused meanwhile.
                ::shutdown(open.socket, SHUT_RDWR);
                open.cut = true;
            }
        }
    }
}

int HttpServer::answer(MHD_Connection *connection, const WebResponse &response)
{
    MHD_Response *reply = MHD_create_response_from_buffer(
        response.body.size(), const_cast<char *>(response.body.data()), MHD_RESPMEM_MUST_COPY);
    if (!reply)
        return MHD_NO;
    MHD_add_response_header(reply, MHD_HTTP_HEADER_CONTENT_TYPE, response.contentType.c_str());
    MHD_add_response_header(reply, MHD_HTTP_HEADER_CONNECTION, "close");
    for (const auto &[name, value] : response.headers)
        MHD_add_response_header(reply, name.c_str(), value.c_str());
    const MHD_Result queued = MHD_queue_response(connection, static_cast<unsigned>(response.status), reply);
    MHD_destroy_response(reply);
    return queued;
}

}  // namespace venmarra::devserver

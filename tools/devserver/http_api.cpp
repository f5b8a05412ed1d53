#include "devserver/http_api.h"

#include "devserver/log.h"
#include "text/utf.h"

#include <nlohmann/json.hpp>

namespace venmarra::devserver {
namespace {

using Json = nlohmann::ordered_json;

// Every text of an answer is well-formed UTF-8 (the store keeps mails so, and a name that a client
// sent is made so), and a strict writer says so.
std::string compact(const Json &value)
{
    return value.dump(-1, ' ', false, Json::error_handler_t::strict);
}

Json answerWith(Json first)
{
    return {{"data", Json::array({std::move(first)})}};
}

}  // namespace

HttpApi::HttpApi(MailStore &store, LogLine log)
    : m_store(store)
    , m_log(std::move(log))
{
}

std::string HttpApi::homePage(const std::string &name)
{
    return "<!DOCTYPE html>\n<html lang=\"zh-CN\"><head><meta charset=\"utf-8\"><title>Venmarra "
           "本地临时邮箱</title>"
           "</head>\n<body><h1>Venmarra 本地临时邮箱</h1>\n<form>"
           "<input id=\"converts\" name=\"converts\" type=\"text\" value=\""
        + name + "\" valid='{\"minlength\":3}' /> @" + kMailDomain + "</form>\n</body></html>\n";
}

std::string HttpApi::refreshAnswer(const std::string &name, const std::string &sid) const
{
    const std::optional<MailboxView> view = m_store.view(name, sid);
    const Json user {{"USER", text::validUtf8(name)},
                     {"STATUS", view && view->live ? 1 : 0},
                     {"ADDTIME", view ? formatTime(view->created) : std::string()},
                     {"EXPIRETIME", view ? formatTime(view->expires) : std::string()}};
    Json list = Json::array();
    if (view && view->live) {
        for (const StoredMail &stored : view->newestFirst)
            list.push_back(
                {{"FROM", stored.mail.from}, {"SUBJECT", stored.mail.subject}, {"MID", stored.mid}});
    }
    return compact(answerWith({{"user", user}, {"list", list}}));
}

std::string HttpApi::mailInfoAnswer(const std::string &name, const std::string &sid,
                                    const std::string &mid) const
{
    const std::optional<StoredMail> stored = m_store.mail(name, sid, mid);
    if (!stored)
        return compact({{"data", Json::array()}});
    const Json part {{"DATA", Json::array({stored->mail.content})}};
    return compact(answerWith({{"1", Json::array({part})}}));
}

WebResponse HttpApi::allocate() const
{
    const std::optional<MailStore::Allocation> allocation = m_store.allocate();
    if (!allocation) {
        m_log("HTTP GET / -> 503 (mailbox cap reached)");
        return {503, "text/plain; charset=utf-8", "too many mailboxes\n", {}};
    }
    m_log("HTTP GET / -> 200 allocated " + allocation->name + "@" + kMailDomain);
    return {200,
            "text/html; charset=utf-8",
            homePage(allocation->name),
            {{"Set-Cookie", "sid=" + allocation->sid + "; Path=/; HttpOnly"}}};
}

WebResponse HttpApi::handle(const WebRequest &request) const
{
    try {
        return answer(request);
    } catch (const StoreError &error) {
        // As the service's other failures: this request fails, the service goes on.
        m_log("HTTP " + logValue(request.method) + " -> 500 (" + logValue(error.what()) + ")");
        return {500, "text/plain; charset=utf-8", "the store failed\n", {}};
    }
}

WebResponse HttpApi::answer(const WebRequest &request) const
{
    if (request.path != "/")
        return {404, "text/plain; charset=utf-8", "not found\n", {}};
    if (request.method == "GET")
        return allocate();
    const auto field = [&](const char *name) -> const std::string * {
        const auto found = request.form.find(name);
        return found == request.form.end() ? nullptr : &found->second;
    };
    const std::string *type = field("type"), *name = field("data"), *arg = field("arg");
    const std::string session = request.sid.empty() ? " (no cookie)"
        : name && m_store.owns(*name, request.sid)  ? " (owner)"
                                                    : " (not the owner)";
    const std::string json = "application/json; charset=utf-8";
    if (request.method == "POST" && type && name && *type == "refresh") {
        m_log("HTTP POST refresh " + logValue(*name) + session + " -> 200");
        return {200, json, refreshAnswer(*name, request.sid), {}};
    }
    if (request.method == "POST" && type && name && arg && *type == "mailinfo" && arg->rfind("f=", 0) == 0) {
        m_log("HTTP POST mailinfo " + logValue(*name) + " mid " + logValue(arg->substr(2)) + session
              + " -> 200");
        return {200, json, mailInfoAnswer(*name, request.sid, arg->substr(2)), {}};
    }
    m_log("HTTP " + logValue(request.method) + " -> 400 (malformed form)");
    return {400, "text/plain; charset=utf-8", "bad request\n", {}};
}

}  // namespace venmarra::devserver

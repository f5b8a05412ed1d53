#include "http_api.h"

#include "delivery.h"

#include <httplib.h>

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include <ctime>

namespace venmarra::devserver {
namespace {

QString q(const std::string &text)
{
    return QString::fromStdString(text);
}

std::string compact(const QJsonObject &object)
{
    return QJsonDocument(object).toJson(QJsonDocument::Compact).toStdString();
}

QJsonObject answerWith(const QJsonValue &first)
{
    return QJsonObject {{"data", QJsonArray {first}}};
}

}  // namespace

std::string cookieValue(const std::string &header, const std::string &name)
{
    std::size_t at = 0;
    while (at < header.size()) {
        while (at < header.size() && (header[at] == ' ' || header[at] == ';'))
            ++at;
        const std::size_t end = std::min(header.find(';', at), header.size());
        const std::string pair = header.substr(at, end - at);
        if (pair.rfind(name + "=", 0) == 0)
            return pair.substr(name.size() + 1);
        at = end;
    }
    return {};
}

std::string formatTime(Clock::time_point time)
{
    const std::time_t seconds = Clock::to_time_t(time);
    std::tm local {};
    localtime_r(&seconds, &local);
    char text[32];
    std::strftime(text, sizeof text, "%Y-%m-%d %H:%M:%S", &local);
    return text;
}

HttpApi::HttpApi(MailStore &store, Logger log)
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
    QJsonObject user {{"USER", q(name)}, {"STATUS", view && view->live ? 1 : 0}};
    user["ADDTIME"] = view ? q(formatTime(view->created)) : QString();
    user["EXPIRETIME"] = view ? q(formatTime(view->expires)) : QString();
    QJsonArray list;
    if (view && view->live) {
        for (const StoredMail &stored : view->newestFirst)
            list.append(QJsonObject {
                {"FROM", q(stored.mail.from)}, {"SUBJECT", q(stored.mail.subject)}, {"MID", q(stored.mid)}});
    }
    return compact(answerWith(QJsonObject {{"user", user}, {"list", list}}));
}

std::string HttpApi::mailInfoAnswer(const std::string &name, const std::string &sid,
                                    const std::string &mid) const
{
    const std::optional<StoredMail> stored = m_store.mail(name, sid, mid);
    if (!stored)
        return compact(QJsonObject {{"data", QJsonArray {}}});
    const QJsonObject part {{"DATA", QJsonArray {q(stored->mail.content)}}};
    return compact(answerWith(QJsonObject {{"1", QJsonArray {part}}}));
}

void HttpApi::install(httplib::Server &server)
{
    server.Get("/", [this](const httplib::Request &, httplib::Response &res) {
        const std::optional<MailStore::Allocation> allocation = m_store.allocate();
        if (!allocation) {
            res.status = 503;
            res.set_content("too many mailboxes\n", "text/plain; charset=utf-8");
            m_log("HTTP GET / -> 503 (mailbox cap reached)");
            return;
        }
        res.set_header("Set-Cookie", "sid=" + allocation->sid + "; Path=/; HttpOnly");
        res.set_content(homePage(allocation->name), "text/html; charset=utf-8");
        m_log("HTTP GET / -> 200 allocated " + allocation->name + "@" + kMailDomain);
    });
    server.Post("/", [this](const httplib::Request &req, httplib::Response &res) {
        const std::string type = req.get_param_value("type");
        const std::string name = req.get_param_value("data");
        const std::string arg = req.get_param_value("arg");
        const std::string sid = cookieValue(req.get_header_value("Cookie"), "sid");
        const std::string session = sid.empty() ? " (no cookie)"
            : m_store.view(name, sid)           ? " (owner)"
                                                : " (not the owner)";
        if (type == "refresh" && req.has_param("data")) {
            res.set_content(refreshAnswer(name, sid), "application/json; charset=utf-8");
            m_log("HTTP POST refresh " + name + session + " -> 200");
        } else if (type == "mailinfo" && req.has_param("data") && arg.rfind("f=", 0) == 0) {
            res.set_content(mailInfoAnswer(name, sid, arg.substr(2)), "application/json; charset=utf-8");
            m_log("HTTP POST mailinfo " + name + " mid " + arg.substr(2) + session + " -> 200");
        } else {
            res.status = 400;
            res.set_content("bad request\n", "text/plain; charset=utf-8");
            m_log("HTTP POST -> 400 (malformed form)");
        }
    });
}

}  // namespace venmarra::devserver

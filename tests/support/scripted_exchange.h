#pragma once

#include "service/http_exchange.h"

#include <deque>
#include <functional>
#include <string>
#include <vector>

namespace venmarra::test {

// The service's HTTP exchanges for the logic's tests: each request is recorded and answered from
// a script (one answer per request in order, then the default), and an answer may act while its
// exchange runs, as the user can while the program waits for the service.
class ScriptedExchange final : public HttpExchange {
public:
    ExchangeResult perform(const ExchangeRequest &request, const HttpLimits &) override
    {
        requests.push_back(request);
        Step step {defaultAnswer, {}};
        if (!m_script.empty()) {
            step = std::move(m_script.front());
            m_script.pop_front();
        }
        if (step.during)
            step.during();
        return step.answer;
    }

    void enqueue(ExchangeResult answer, std::function<void()> during = {})
    {
        m_script.push_back({std::move(answer), std::move(during)});
    }

    ExchangeResult defaultAnswer;
    std::vector<ExchangeRequest> requests;

private:
    struct Step {
        ExchangeResult answer;
        std::function<void()> during;
    };
    std::deque<Step> m_script;
};

inline ExchangeResult answer(std::string body, std::string headerText = {}, long status = 200)
{
    ExchangeResult result;
    result.status = status;
    result.headerText = std::move(headerText);
    result.body = std::move(body);
    return result;
}

inline ExchangeResult failure(ExchangeFailure kind, std::u16string detail = {})
{
    ExchangeResult result;
    result.failure = kind;
    result.failureDetail = std::move(detail);
    return result;
}

// The service's home page with `name` between the two markers.
inline std::string homePage(const std::string &name)
{
    return "<html><body><form><input id=\"converts\" name=\"converts\" type=\"text\" value=\"" + name
        + "\" valid='{\"minlength\":3}' /></form></body></html>";
}

// The answer to the allocation request: the home page with `name`, setting the `sid` cookie.
inline ExchangeResult allocation(const std::string &name, const std::string &sid)
{
    return answer(homePage(name), "Set-Cookie: sid=" + sid + "; Path=/; HttpOnly\r\n");
}

struct Mail {
    std::string from, subject, mid;
};

// A refresh answer of the service: the mailbox's details and its mails, newest first.
inline std::string refreshAnswer(const std::string &user, const std::vector<Mail> &mails = {})
{
    std::string list;
    for (const Mail &mail : mails) {
        list += list.empty() ? "" : ",";
        list += "{\"FROM\":\"" + mail.from + "\",\"SUBJECT\":\"" + mail.subject + "\",\"MID\":\"" + mail.mid + "\"}";
    }
    return "{\"data\":[{\"user\":{\"USER\":\"" + user
        + "\",\"STATUS\":1,\"ADDTIME\":\"2026-12-06 10:00:00\",\"EXPIRETIME\":\"2026-12-06 10:10:00\"},\"list\":["
        + list + "]}]}";
}

}  // namespace venmarra::test

#pragma once

// The core's fakes for tests of the main window's logic, which run on Linux and under Wine: the
// toolkit on a fake clock, a scripted service, the in-memory view, and a fixture with all three.
#include "mailbox/main_window_logic.h"
#include "mailbox/toolkit.h"
#include "service/http_exchange.h"
#include "text/utf.h"

#include "service_answers.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <deque>
#include <functional>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace venmarra::test {

struct ShownBox {
    std::u16string text;
    Toolkit::MessageIcon icon;
    std::u16string title;
};

// The toolkit operations for the logic's tests: a message box is answered at once and recorded,
// the end of the program is recorded instead of ending the test, exchanges run on the caller's
// thread, and the clock is the test's: a wait runs the first of the test's actions that is due
// (as the window would run a click), or else moves the clock on by the whole wait at once. A wait
// past ten minutes of that clock fails the test and then runs `onRunaway` (which closes the
// window), so that a loop that never ends fails in an instant instead of hanging.
class FakeToolkit final : public Toolkit {
public:
    void messageBox(const std::u16string &text, MessageIcon icon, const std::u16string &title) override
    {
        boxes.push_back({text, icon, title});
        if (onBox)
            onBox(boxes.back());
    }
    void processEventsFor(int ms) override
    {
        for (auto next = m_inWaits.begin(); next != m_inWaits.end(); ++next) {
            if (next->due()) {
                const std::function<void()> action = std::move(next->action);
                m_inWaits.erase(next);
                action();  // it may wait in turn, as a click's handler would
                return;  // the program looks at its clock again, as after any event
            }
        }
        m_now += ms;
        if (m_now > kRunawayAfterMs && !m_ranAway) {
            m_ranAway = true;
            ADD_FAILURE() << "the program still waits after " << m_now
                          << " ms of the fake clock: a loop that never ends";
            if (onRunaway)
                onRunaway();
        }
    }
    void runInBackground(const std::function<void()> &work) override
    {
        exchangeTimes.push_back(m_now);
        work();
    }
    void endProgram() override { ++programEnds; }
    std::int64_t clock() override { return m_now; }

    // Runs `action` once, in the first wait that finds `due()` true.
    void inAWait(std::function<bool()> due, std::function<void()> action)
    {
        m_inWaits.push_back({std::move(due), std::move(action)});
    }

    std::vector<ShownBox> boxes;
    std::function<void(const ShownBox &)> onBox;  // while the box "is open"
    std::function<void()> onRunaway;
    int programEnds = 0;
    std::vector<std::int64_t> exchangeTimes;  // the clock at the start of each exchange

private:
    struct WaitAction {
        std::function<bool()> due;
        std::function<void()> action;
    };
    static constexpr std::int64_t kRunawayAfterMs = 10 * 60 * 1000;
    std::vector<WaitAction> m_inWaits;
    std::int64_t m_now = 0;
    bool m_ranAway = false;
};

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
    return {.status = status, .headerText = std::move(headerText), .body = std::move(body)};
}

inline ExchangeResult failure(ExchangeFailure kind, std::u16string detail = {})
{
    return {.failure = kind, .failureDetail = std::move(detail)};
}

// The answer to the allocation request: the home page with `name`, setting the `sid` cookie.
inline ExchangeResult allocation(const std::string &name, const std::string &sid)
{
    return answer(serviceAnswer("home_page", {{"name", name}}),
                  "Set-Cookie: " + serviceAnswer("cookie", {{"sid", sid}}) + "\r\n");
}

struct Mail {
    std::string from, subject, mid;
};

// A refresh answer of the service for its owner: the mailbox's details and its mails, newest first.
inline std::string refreshAnswer(const std::string &user, const std::vector<Mail> &mails = {})
{
    std::string list;
    for (const Mail &mail : mails)
        list += (list.empty() ? "" : ",")
            + serviceAnswer("mail", {{"from", mail.from}, {"subject", mail.subject}, {"mid", mail.mid}});
    return serviceAnswer("refresh",
                         {{"user", user},
                          {"status", "1"},
                          {"added", "2026-12-06 10:00:00"},
                          {"expires", "2026-12-06 10:10:00"},
                          {"list", list}});
}

// The main window's controls as plain values, for tests of the logic without a toolkit.
class MemoryView final : public MainWindowView {
public:
    void setCaption(Caption control, const std::u16string &text) override
    {
        written.emplace_back(control, text);
    }
    void setText1(const std::u16string &text) override { text1 = text; }
    void disableCommand1() override { command1Enabled = false; }
    void appendListItem(const ui::MailLine &line, const std::u16string &spoken) override
    {
        list.push_back(line.joined(false));
        spokenList.push_back(spoken);
    }
    int selectedListIndex() const override { return selected; }
    void showMailViewer(std::string content) override { viewer = text::utf16FromUtf8(content); }
    void askForAttention() override { ++attentionAsks; }
    void announce(const std::u16string &text) override { announced.push_back(text); }

    std::u16string caption(Caption control) const
    {
        const std::vector<std::u16string> texts = captionsOf(control);
        return texts.empty() ? std::u16string() : texts.back();
    }
    // Every caption written to `control`, in order.
    std::vector<std::u16string> captionsOf(Caption control) const
    {
        std::vector<std::u16string> texts;
        for (const auto &[to, text] : written)
            if (to == control)
                texts.push_back(text);
        return texts;
    }

    std::vector<std::pair<Caption, std::u16string>> written;
    std::u16string text1;
    bool command1Enabled = true;
    std::vector<std::u16string> list;  // each line's text
    std::vector<std::u16string> spokenList;  // each line as a screen reader reads it
    std::vector<std::u16string> announced;  // what a screen reader was told, in order
    int selected = -1;
    std::optional<std::u16string> viewer;  // nothing while the viewer has not been shown
    int attentionAsks = 0;
};

using Caption = MainWindowView::Caption;
using Texts = std::vector<std::u16string>;

// No charset of a platform's own: bodies are read as UTF-8.
class Utf8Only final : public CharsetDecoder {
public:
    std::optional<std::string> decode(std::string_view, std::string_view) const override
    {
        return std::nullopt;
    }
};

inline ServiceSettings testSettings()
{
    ServiceSettings settings;
    settings.baseUrl = u"http://service.test/";
    settings.mailDomain = u"venmarra.test";
    return settings;
}

inline bool hasHeader(const ExchangeRequest &request, const std::string &line)
{
    return std::ranges::find(request.headers, line) != request.headers.end();
}

// The main window's logic with the in-memory view, the fake toolkit and a scripted service.
class LogicTest : public testing::Test {
protected:
    void SetUp() override
    {
        toolkit.onRunaway = [this] {
            logic.Form_Unload();
        };
        logic.Form_Load();
    }
    // A new run of the program, for a case after one that ended it.
    void startAgain()
    {
        view = {};
        toolkit = {};
        exchange = {};
        m_logic.emplace(view, toolkit, ServiceAccess {exchange, charsets}, testSettings());
        LogicTest::SetUp();
    }

    Texts boxTexts() const
    {
        Texts texts;
        for (const ShownBox &box : toolkit.boxes)
            texts.push_back(box.text);
        return texts;
    }
    // A mailbox "box" with the cookie "cookie", and its first refresh.
    void createMailbox(const std::vector<Mail> &mails = {})
    {
        exchange.enqueue(allocation("box", "cookie"));
        exchange.enqueue(answer(refreshAnswer("box", mails)));
        logic.Command1_Click();
        ASSERT_EQ(exchange.requests.size(), 2u);
    }
    // Runs `action` in the first wait after `count` requests have been made.
    void inTheWaitAfter(std::size_t count, std::function<void()> action)
    {
        toolkit.inAWait([this, count] { return exchange.requests.size() >= count; }, std::move(action));
    }

    MemoryView view;
    FakeToolkit toolkit;
    ScriptedExchange exchange;
    Utf8Only charsets;
    std::optional<MainWindowLogic> m_logic {std::in_place, view, toolkit, ServiceAccess {exchange, charsets},
                                            testSettings()};
    MainWindowLogic &logic = *m_logic;  // emplaced again in the same place by startAgain()
};

}  // namespace venmarra::test

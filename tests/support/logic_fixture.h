#pragma once

#include "fake_toolkit.h"
#include "mailbox/main_window_logic.h"
#include "memory_view.h"
#include "scripted_exchange.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace venmarra::test {

using Caption = MainWindowView::Caption;
using Texts = std::vector<std::u16string>;

// No charset of a platform's own: bodies are read as UTF-8.
class Utf8Only final : public CharsetDecoder {
public:
    std::optional<std::u16string> decode(std::string_view, std::string_view) const override { return std::nullopt; }
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
    void SetUp() override { logic.Form_Load(); }

    std::vector<std::string> bodies() const
    {
        std::vector<std::string> all;
        for (const ExchangeRequest &request : exchange.requests)
            all.push_back(request.body);
        return all;
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
    MainWindowLogic logic {view, toolkit, ServiceAccess {exchange, charsets}, testSettings()};
};

}  // namespace venmarra::test

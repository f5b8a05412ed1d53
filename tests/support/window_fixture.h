#pragma once

#include "mailbox/main_window_logic.h"
#include "qt/curl_exchange.h"
#include "qt/iconv_decoder.h"
#include "recording_toolkit.h"
#include "recording_view.h"
#include "scripted_server.h"
#include "qt/form1.h"

#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTimer>

#include <gtest/gtest.h>

#include <memory>
#include <optional>

namespace venmarra::test {

using namespace std::chrono_literals;
using Caption = MainWindowView::Caption;

// The Linux program's HTTP client and charsets; neither keeps state between calls.
inline ServiceAccess linuxAccess()
{
    static CurlExchange exchange;
    static const IconvDecoder charsets;
    return {exchange, charsets};
}

inline ServiceSettings settingsFor(const std::string &baseUrl)
{
    ServiceSettings settings;
    settings.baseUrl = std::u16string(baseUrl.begin(), baseUrl.end());
    settings.mailDomain = u"venmarra.test";
    settings.limits.stallTimeout = 2s;
    return settings;
}

// Runs `action` once `count` requests have reached the server, during the exchange that is
// running then (checked every 5 ms).
inline void whileAnExchangeRuns(const ScriptedServer &server, std::size_t count, std::function<void()> action)
{
    auto *poll = new QTimer;
    QObject::connect(poll, &QTimer::timeout, [poll, &server, count, action] {
        if (server.requestCount() < count)
            return;
        poll->stop();
        poll->deleteLater();
        action();
    });
    poll->start(5);
}

// The real main window, shown offscreen, with its logic pointed at a local scripted server.
class WindowFixture : public testing::Test {
protected:
    void SetUp() override { startAgainst(server.baseUrl()); }
    void TearDown() override { form.attach(nullptr); }

    void startAgainst(const std::string &baseUrl, std::optional<HttpLimits> limits = std::nullopt)
    {
        form.attach(nullptr);
        ServiceSettings settings = settingsFor(baseUrl);
        if (limits)
            settings.limits = *limits;
        logic = std::make_unique<MainWindowLogic>(view, toolkit, linuxAccess(), settings);
        form.attach(logic.get());
        logic->Form_Load();
        form.show();
    }

    template <typename T = QWidget>
    T *control(const char *name)
    {
        return form.findChild<T *>(QString::fromLatin1(name));
    }
    QString caption(const char *label) { return control<QLabel>(label)->text(); }
    QString status() { return caption("Label4"); }
    QString address() { return control<QLineEdit>("Text1")->text(); }
    QString command2Caption() { return control<QPushButton>("Command2")->text(); }
    QStringList listLines()
    {
        QStringList lines;
        auto *list = control<QListWidget>("List1");
        for (int i = 0; i < list->count(); ++i)
            lines << QString::fromStdU16String(form.listItemText(i));
        return lines;
    }
    std::vector<QString> messageTexts() const
    {
        std::vector<QString> texts;
        for (const auto &message : toolkit.messages())
            texts.push_back(message.text);
        return texts;
    }
    std::vector<std::string> bodies() const
    {
        std::vector<std::string> result;
        for (const auto &request : server.requests())
            result.push_back(request.body);
        return result;
    }

    ScriptedServer server;
    RecordingToolkit toolkit;
    Form1 form;
    RecordingView view {form};
    std::unique_ptr<MainWindowLogic> logic;
};

}  // namespace venmarra::test

// How much a 10 MB one-line mail raises the program's peak memory (VmHWM) on its way from the
// service's answer to the viewer's text, through the core as the program runs it: the answer's
// bytes decoded, the mail-info answer read, the content handed to the viewer's text.
// usage: bench_mail_memory [ascii|chinese]   Prints "PEAK_RAISE_BYTES MAIL_BYTES".
#include "mailbox/module1.h"
#include "service/exchange_rules.h"
#include "ui/viewer_text.h"

#include <cstdio>
#include <fstream>
#include <optional>
#include <string>

namespace {

using namespace venmarra;

long peakResidentBytes()
{
    std::ifstream status("/proc/self/status");
    for (std::string line; std::getline(status, line);)
        if (line.rfind("VmHWM:", 0) == 0)
            return std::stol(line.substr(6)) * 1024;
    return -1;
}

struct NoCharsets final : CharsetDecoder {
    std::optional<std::string> decode(std::string_view, std::string_view) const override { return {}; }
};

// The viewer's part: it keeps the content as its box's text.
struct ViewerOnly final : MainWindowView {
    void setCaption(Caption, const std::u16string &) override { }
    void setText1(const std::u16string &) override { }
    void disableCommand1() override { }
    void appendListItem(const ui::MailLine &, const std::u16string &) override { }
    int selectedListIndex() const override { return -1; }
    void showMailViewer(std::string content) override { text.emplace(std::move(content)); }
    void askForAttention() override { }
    void announce(const std::u16string &) override { }
    std::optional<ui::ViewerText> text;
};

}  // namespace

int main(int argc, char *argv[])
{
    const bool chinese = argc > 1 && std::string(argv[1]) == "chinese";
    const std::string piece = chinese
        ? "这是一封很长的单行邮件，用来测量查看窗口的速度。"
        : "<td class=\"cell\"><a href=\"https://example.test/x\">newsletter</a></td> ";
    const long before = peakResidentBytes();
    ExchangeResult exchange;  // as the HTTP client hands it over
    exchange.status = 200;
    exchange.contentType = "application/json; charset=utf-8";
    exchange.body.reserve((static_cast<std::size_t>(10) << 20) + 4096);  // received into a buffer of its size
    exchange.body = R"({"data":[{"1":[{"DATA":[")";
    std::size_t mailBytes = 0;
    for (; mailBytes < (static_cast<std::size_t>(10) << 20); mailBytes += piece.size())
        exchange.body += piece;
    exchange.body += R"("]}]}]})";
    ViewerOnly view;
    {
        std::string answer
            = interpretExchange(std::move(exchange), SessionCookie(u"known"), NoCharsets()).result;
        Module1().ShowMailContent(std::move(answer), view);
    }
    std::printf("%ld %zu\n", peakResidentBytes() - before, mailBytes);
    return view.text ? 0 : 1;
}

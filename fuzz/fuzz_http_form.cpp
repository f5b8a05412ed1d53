// The local service's answer to any form body and cookie: a 200 with a JSON answer that a strict
// parser reads, or a 400; and every line it logs meanwhile is one inert line.
#include "devserver/http_api.h"
#include "devserver/http_server.h"
#include "devserver/log.h"
#include "properties.h"

#include <fuzzer/FuzzedDataProvider.h>
#include <nlohmann/json.hpp>

#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    using namespace venmarra;
    using fuzz::require;
    FuzzedDataProvider input(data, size);
    devserver::MailStore store;
    const auto box = store.allocate();
    require(box.has_value());
    store.deliverAll({box->name}, {"from", "subject", "content"});
    std::vector<std::string> entries;
    devserver::Log log(false, [&](const std::string &entry) { entries.push_back(entry); });
    const devserver::HttpApi api(store, std::ref(log));

    const bool owner = input.ConsumeBool();
    const std::string sid = owner ? box->sid : input.ConsumeRandomLengthString(50);
    std::string body = input.ConsumeRemainingBytesAsString();
    if (owner)  // the mailbox's own name, where the body names one
        for (std::size_t at = body.find("{box}"); at != std::string::npos; at = body.find("{box}", at))
            body.replace(at, 5, box->name);
    const devserver::WebResponse response = api.handle({"POST", "/", devserver::decodeForm(body), sid});
    require(response.status == 200 || response.status == 400);
    if (response.status == 200)
        require(text::isValidUtf8(response.body)
                && nlohmann::json::parse(response.body, nullptr, false).is_object());
    require(entries.size() == 1);
    for (const std::string &entry : entries)
        require(entry.ends_with('\n')
                && fuzz::isLogLine(std::string_view(entry).substr(0, entry.size() - 1),
                                   devserver::Log::kMaxLineCharacters));
    return 0;
}

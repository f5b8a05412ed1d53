// The local service's JSON answers over any mail and any mailbox name: each is well-formed UTF-8
// that a strict parser reads, and the program's own reader finds in it what was stored, as the
// rules of text keep it.
#include "devserver/http_api.h"
#include "devserver/store.h"
#include "properties.h"
#include "service/answer_reader.h"

#include <fuzzer/FuzzedDataProvider.h>
#include <nlohmann/json.hpp>

namespace {

using namespace venmarra;
using fuzz::require;

// The answer read strictly; then the value at `expression` as the program reads it.
std::string valueAt(const std::string &answer, std::string_view expression)
{
    require(text::isValidUtf8(answer) && nlohmann::json::accept(answer));
    return textForm(AnswerReader(answer).read(expression));
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    FuzzedDataProvider input(data, size);
    devserver::ParsedMail mail {
        input.ConsumeRandomLengthString(200), input.ConsumeRandomLengthString(200), {}};
    const std::string otherName = input.ConsumeRandomLengthString(100);
    mail.content = input.ConsumeRemainingBytesAsString();
    const devserver::ParsedMail expected {text::validUtf8(mail.from), text::validUtf8(mail.subject),
                                          text::validUtf8(mail.content)};

    devserver::MailStore store;
    const devserver::HttpApi api(store, [](const std::string &) {});
    const auto box = store.allocate();
    require(box && store.deliverAll({box->name}, mail) == devserver::Delivery::Accepted);
    const std::string refresh = api.refreshAnswer(box->name, box->sid);
    require(valueAt(refresh, "data.data[0].user.USER") == box->name);
    require(valueAt(refresh, "data.data[0].list[0].FROM") == expected.from);
    require(valueAt(refresh, "data.data[0].list[0].SUBJECT") == expected.subject);
    const std::string mid = valueAt(refresh, "data.data[0].list[0].MID");
    require(valueAt(api.mailInfoAnswer(box->name, box->sid, mid), "data.data[0][1][0].DATA[0]")
            == expected.content);
    // A name that the session does not own is answered too, as well-formed text.
    require(valueAt(api.refreshAnswer(otherName, box->sid), "data.data[0].user.USER")
            == (otherName == box->name ? box->name : text::validUtf8(otherName)));
    require(valueAt(api.mailInfoAnswer(otherName, "", mid), "data.data[0][1][0].DATA[0]").empty());
    return 0;
}

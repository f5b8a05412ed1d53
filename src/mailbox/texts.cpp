#include "mailbox/texts.h"

#include "build_settings.h"
#include "service/text_encoding.h"

namespace venmarra::texts {
namespace {

std::u16string_view failurePhrase(ExchangeFailure failure)
{
    switch (failure) {
    case ExchangeFailure::CannotStart: return u"无法创建网络请求";
    case ExchangeFailure::Resolve: return u"无法解析服务器地址";
    case ExchangeFailure::Connect: return u"无法连接到服务器";
    case ExchangeFailure::Timeout: return u"操作超时";
    case ExchangeFailure::TooLarge: return u"服务器的应答过大";
    case ExchangeFailure::Other:
    case ExchangeFailure::None: break;
    }
    return u"网络传输失败";
}

}  // namespace

std::u16string mainWindowCaption()
{
    return u"Venmarra  - By " + utf16FromUtf8(build::kAuthorCredit);
}

std::u16string problemMessage(const ExchangeProblem &problem)
{
    const std::u16string statusPrefix = u"Http错误代码:";
    const std::u16string failurePrefix = u"错误原因:";
    switch (problem.kind) {
    case ExchangeProblem::Kind::Status: return statusPrefix + utf16FromLatin1(std::to_string(problem.status));
    case ExchangeProblem::Kind::NoSessionCookie:
        return failurePrefix + u"应答中没有会话 Cookie（Set-Cookie: sid=）";
    case ExchangeProblem::Kind::Failed: break;
    }
    const std::u16string phrase = failurePrefix + std::u16string(failurePhrase(problem.failure));
    return problem.detail.empty() ? phrase : phrase + u"（" + problem.detail + u"）";
}

}  // namespace venmarra::texts

#include "mailbox/texts.h"

namespace venmarra::texts {
namespace {

QString failurePhrase(ExchangeFailure failure)
{
    switch (failure) {
    case ExchangeFailure::CannotStart: return QStringLiteral("无法创建网络请求");
    case ExchangeFailure::Resolve: return QStringLiteral("无法解析服务器地址");
    case ExchangeFailure::Connect: return QStringLiteral("无法连接到服务器");
    case ExchangeFailure::Timeout: return QStringLiteral("操作超时");
    case ExchangeFailure::TooLarge: return QStringLiteral("服务器的应答过大");
    case ExchangeFailure::Other:
    case ExchangeFailure::None: break;
    }
    return QStringLiteral("网络传输失败");
}

}  // namespace

QString problemMessage(const ExchangeProblem &problem)
{
    const QString statusPrefix = QStringLiteral("Http错误代码:");
    const QString failurePrefix = QStringLiteral("错误原因:");
    switch (problem.kind) {
    case ExchangeProblem::Kind::Status: return statusPrefix + QString::number(problem.status);
    case ExchangeProblem::Kind::NoSessionCookie:
        return failurePrefix + QStringLiteral("应答中没有会话 Cookie（Set-Cookie: sid=）");
    case ExchangeProblem::Kind::Failed: break;
    }
    const QString phrase = failurePhrase(problem.failure);
    return problem.detail.isEmpty()
        ? failurePrefix + phrase
        : failurePrefix + phrase + QStringLiteral("（") + problem.detail + QStringLiteral("）");
}

}  // namespace venmarra::texts

#include "win32/winhttp_exchange.h"

#include "text/utf.h"
#include "win32/handles.h"
#include "win32/wide_text.h"

#include <algorithm>
#include <chrono>
#include <climits>
#include <optional>
#include <string>
#include <vector>

namespace venmarra::win32 {
namespace {

using Clock = std::chrono::steady_clock;

ExchangeFailure failureOf(DWORD error)
{
    switch (error) {
    case ERROR_WINHTTP_NAME_NOT_RESOLVED: return ExchangeFailure::Resolve;
    case ERROR_WINHTTP_CANNOT_CONNECT:
    case ERROR_WINHTTP_CONNECTION_ERROR: return ExchangeFailure::Connect;
    case ERROR_WINHTTP_TIMEOUT: return ExchangeFailure::Timeout;
    default: return ExchangeFailure::Other;
    }
}

// WinHTTP's own words for `error`, or its number when the system has none.
std::u16string errorText(DWORD error)
{
    wchar_t *buffer = nullptr;
    const DWORD length = FormatMessageW(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_HMODULE
                                            | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
                                        GetModuleHandleW(L"winhttp.dll"), error, 0,
                                        reinterpret_cast<wchar_t *>(&buffer), 0, nullptr);
    const LocalMemory owned(buffer);
    std::wstring text(buffer ? buffer : L"", length);
    while (!text.empty() && (text.back() == L'\n' || text.back() == L'\r' || text.back() == L' '))
        text.pop_back();
    if (text.empty())
        text = L"WinHTTP error " + std::to_wstring(error);
    return fromWide(text);
}

ExchangeResult failed(ExchangeFailure failure, std::u16string detail)
{
    ExchangeResult result;
    result.failure = failure;
    result.failureDetail = std::move(detail);
    return result;
}

ExchangeResult lastFailure()
{
    const DWORD error = GetLastError();
    return failed(failureOf(error), errorText(error));
}

// A header value of the answer as bytes (WinHTTP hands each byte over as one wide character).
std::string latin1(std::wstring_view value)
{
    return text::latin1FromUtf16(fromWide(value));
}

std::wstring queryHeader(HINTERNET request, DWORD info)
{
    DWORD size = 0;
    WinHttpQueryHeaders(request, info, WINHTTP_HEADER_NAME_BY_INDEX, WINHTTP_NO_OUTPUT_BUFFER, &size,
                        WINHTTP_NO_HEADER_INDEX);
    if (GetLastError() != ERROR_INSUFFICIENT_BUFFER || size == 0)
        return {};
    std::wstring text(size / sizeof(wchar_t), L'\0');
    if (!WinHttpQueryHeaders(request, info, WINHTTP_HEADER_NAME_BY_INDEX, text.data(), &size,
                             WINHTTP_NO_HEADER_INDEX))
        return {};
    text.resize(size / sizeof(wchar_t));
    return text;
}

// The answer's header lines, as received, without the status line and the closing empty line.
std::string headerLines(HINTERNET request)
{
    std::string text = latin1(queryHeader(request, WINHTTP_QUERY_RAW_HEADERS_CRLF));
    const std::size_t statusEnd = text.find("\r\n");
    text.erase(0, statusEnd == std::string::npos ? text.size() : statusEnd + 2);
    while (text.size() >= 4 && text.compare(text.size() - 4, 4, "\r\n\r\n") == 0)
        text.erase(text.size() - 2);
    return text;
}

// The request's own header lines; each byte of a line (the cookie's included) as one character.
std::wstring requestHeaders(const ExchangeRequest &request)
{
    std::wstring lines;
    for (const std::string &line : request.headers)
        lines += wide(text::utf16FromLatin1(line)) + L"\r\n";
    return lines;
}

struct Target {
    bool isHttp = false;
    std::wstring host;
    INTERNET_PORT port = 0;
    std::wstring path;
};

std::optional<Target> crack(const std::string &url)
{
    const std::wstring wideUrl = wide(text::utf16FromUtf8(url));
    URL_COMPONENTS parts {};
    parts.dwStructSize = sizeof parts;
    parts.dwHostNameLength = static_cast<DWORD>(-1);
    parts.dwUrlPathLength = static_cast<DWORD>(-1);
    parts.dwExtraInfoLength = static_cast<DWORD>(-1);
    if (!WinHttpCrackUrl(wideUrl.c_str(), static_cast<DWORD>(wideUrl.size()), 0, &parts))
        return std::nullopt;
    Target target;
    target.isHttp = parts.nScheme == INTERNET_SCHEME_HTTP;
    target.host.assign(parts.lpszHostName, parts.dwHostNameLength);
    target.port = parts.nPort;
    target.path.assign(parts.lpszUrlPath, parts.dwUrlPathLength);
    target.path.append(parts.lpszExtraInfo, parts.dwExtraInfoLength);
    if (target.path.empty())
        target.path = L"/";
    return target;
}

int milliseconds(std::chrono::milliseconds duration)
{
    return static_cast<int>(std::clamp<std::chrono::milliseconds::rep>(duration.count(), 1, INT_MAX));
}

// The answer's body, read as it arrives: each wait for bytes lasts at most the stall time and
// never past the deadline of the whole exchange.
ExchangeResult readBody(HINTERNET request, const HttpLimits &limits, Clock::time_point deadline,
                        ExchangeResult result)
{
    std::vector<char> chunk;
    for (;;) {
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now());
        if (left.count() <= 0)
            return failed(ExchangeFailure::Timeout, errorText(ERROR_WINHTTP_TIMEOUT));
        DWORD wait = static_cast<DWORD>(milliseconds(std::min(left, limits.stallTimeout)));
        WinHttpSetOption(request, WINHTTP_OPTION_RECEIVE_TIMEOUT, &wait, sizeof wait);
        DWORD available = 0;
        if (!WinHttpQueryDataAvailable(request, &available))
            return lastFailure();
        if (available == 0)
            return result;
        if (static_cast<std::int64_t>(result.body.size()) + available > limits.maxBodyBytes)
            return failed(ExchangeFailure::TooLarge, {});
        chunk.resize(available);
        DWORD read = 0;
        if (!WinHttpReadData(request, chunk.data(), available, &read))
            return lastFailure();
        result.body.append(chunk.data(), read);
    }
}

}  // namespace

ExchangeResult WinHttpExchange::perform(const ExchangeRequest &request, const HttpLimits &limits)
{
    const Clock::time_point deadline = Clock::now() + limits.totalTimeout;
    const std::optional<Target> target = crack(request.url);
    if (!target)
        return lastFailure();
    if (!target->isHttp)
        return failed(ExchangeFailure::NotHttp, {});
    // No agent name: WinHTTP then sends no User-Agent, as the program has no header of its own.
    const InternetHandle session(WinHttpOpen(nullptr, WINHTTP_ACCESS_TYPE_DEFAULT_PROXY,
                                             WINHTTP_NO_PROXY_NAME, WINHTTP_NO_PROXY_BYPASS, 0));
    if (!session)
        return failed(ExchangeFailure::CannotStart, errorText(GetLastError()));
    const int connect = milliseconds(limits.connectTimeout), stall = milliseconds(limits.stallTimeout);
    WinHttpSetTimeouts(session.get(), connect, connect, stall, stall);
    const InternetHandle connection(WinHttpConnect(session.get(), target->host.c_str(), target->port, 0));
    if (!connection)
        return lastFailure();
    const InternetHandle exchange(WinHttpOpenRequest(connection.get(), request.isGet ? L"GET" : L"POST",
                                                     target->path.c_str(), nullptr, WINHTTP_NO_REFERER,
                                                     WINHTTP_DEFAULT_ACCEPT_TYPES, 0));
    if (!exchange)
        return lastFailure();
    // Each exchange on a connection of its own, as a session of its own would have it (Wine pools
    // connections across sessions otherwise).
    DWORD off = WINHTTP_DISABLE_COOKIES | WINHTTP_DISABLE_REDIRECTS | WINHTTP_DISABLE_KEEP_ALIVE;
    WinHttpSetOption(exchange.get(), WINHTTP_OPTION_DISABLE_FEATURE, &off, sizeof off);
    const std::wstring headers = requestHeaders(request);
    std::string body = request.isGet ? std::string() : request.body;
    if (!WinHttpSendRequest(exchange.get(), headers.empty() ? WINHTTP_NO_ADDITIONAL_HEADERS : headers.c_str(),
                            static_cast<DWORD>(headers.size()),
                            body.empty() ? WINHTTP_NO_REQUEST_DATA : body.data(),
                            static_cast<DWORD>(body.size()), static_cast<DWORD>(body.size()), 0)
        || !WinHttpReceiveResponse(exchange.get(), nullptr))
        return lastFailure();
    ExchangeResult result;
    DWORD status = 0, size = sizeof status;
    if (!WinHttpQueryHeaders(exchange.get(), WINHTTP_QUERY_STATUS_CODE | WINHTTP_QUERY_FLAG_NUMBER,
                             WINHTTP_HEADER_NAME_BY_INDEX, &status, &size, WINHTTP_NO_HEADER_INDEX))
        return lastFailure();
    result.status = static_cast<long>(status);
    result.headerText = headerLines(exchange.get());
    result.contentType = latin1(queryHeader(exchange.get(), WINHTTP_QUERY_CONTENT_TYPE));
    return readBody(exchange.get(), limits, deadline, std::move(result));
}

}  // namespace venmarra::win32

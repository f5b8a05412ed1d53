#include "linux/curl_exchange.h"

#include "linux/curl_handle.h"
#include "text/utf.h"

namespace venmarra {
namespace {

using Clock = std::chrono::steady_clock;

struct Transfer {
    HttpLimits limits;
    std::string headerText;
    std::string body;
    bool tooLarge = false;
    bool stalled = false;
    curl_off_t lastProgress = -1;
    Clock::time_point lastProgressAt = Clock::now();
};

size_t onBody(char *data, size_t size, size_t count, void *user)
{
    auto *transfer = static_cast<Transfer *>(user);
    const size_t bytes = size * count;
    if (static_cast<std::int64_t>(transfer->body.size() + bytes) > transfer->limits.maxBodyBytes) {
        transfer->tooLarge = true;
        return 0;  // makes curl stop with a write error
    }
    transfer->body.append(data, bytes);
    return bytes;
}

size_t onHeader(char *data, size_t size, size_t count, void *user)
{
    auto *transfer = static_cast<Transfer *>(user);
    const std::string_view line(data, size * count);
    if (line.starts_with("HTTP/"))
        transfer->headerText.clear();  // a new answer begins (after "100 Continue", say)
    else if (line != "\r\n" && line != "\n")
        transfer->headerText.append(line);
    return size * count;
}

int onProgress(void *user, curl_off_t, curl_off_t downloaded, curl_off_t, curl_off_t uploaded)
{
    auto *transfer = static_cast<Transfer *>(user);
    const curl_off_t moved = downloaded + uploaded;
    const Clock::time_point now = Clock::now();
    if (moved != transfer->lastProgress) {
        transfer->lastProgress = moved;
        transfer->lastProgressAt = now;
        return 0;
    }
    if (now - transfer->lastProgressAt > transfer->limits.stallTimeout) {
        transfer->stalled = true;
        return 1;
    }
    return 0;
}

ExchangeFailure classify(CURLcode code, const Transfer &transfer)
{
    if (transfer.tooLarge || code == CURLE_FILESIZE_EXCEEDED)
        return ExchangeFailure::TooLarge;
    if (transfer.stalled || code == CURLE_OPERATION_TIMEDOUT)
        return ExchangeFailure::Timeout;
    switch (code) {
    case CURLE_COULDNT_RESOLVE_HOST:
    case CURLE_COULDNT_RESOLVE_PROXY: return ExchangeFailure::Resolve;
    case CURLE_COULDNT_CONNECT: return ExchangeFailure::Connect;
    default: return ExchangeFailure::Other;
    }
}

CURLcode configure(CurlHandle &handle, const ExchangeRequest &request, Transfer &transfer)
{
    CURL *easy = handle.get();
    const auto set = [&](CURLoption option, auto value) {
        return curl_easy_setopt(easy, option, value);
    };
    CURLcode code = CURLE_OK;
    const auto step = [&](CURLcode next) {
        if (code == CURLE_OK)
            code = next;
    };
    step(set(CURLOPT_URL, request.url.c_str()));
    step(set(CURLOPT_PROTOCOLS_STR, "http"));
    step(set(CURLOPT_NOSIGNAL, 1L));
    step(set(CURLOPT_CONNECTTIMEOUT_MS, static_cast<long>(transfer.limits.connectTimeout.count())));
    step(set(CURLOPT_TIMEOUT_MS, static_cast<long>(transfer.limits.totalTimeout.count())));
    step(set(CURLOPT_MAXFILESIZE_LARGE, static_cast<curl_off_t>(transfer.limits.maxBodyBytes)));
    step(set(CURLOPT_WRITEFUNCTION, &onBody));
    step(set(CURLOPT_WRITEDATA, &transfer));
    step(set(CURLOPT_HEADERFUNCTION, &onHeader));
    step(set(CURLOPT_HEADERDATA, &transfer));
    step(set(CURLOPT_XFERINFOFUNCTION, &onProgress));
    step(set(CURLOPT_XFERINFODATA, &transfer));
    step(set(CURLOPT_NOPROGRESS, 0L));
    if (request.isGet) {
        step(set(CURLOPT_HTTPGET, 1L));
    } else {
        step(set(CURLOPT_POST, 1L));
        step(set(CURLOPT_POSTFIELDSIZE_LARGE, static_cast<curl_off_t>(request.body.size())));
        step(set(CURLOPT_POSTFIELDS, request.body.data()));
        // curl would otherwise announce larger bodies with "Expect: 100-continue".
        if (!handle.appendHeader("Expect:"))
            code = CURLE_OUT_OF_MEMORY;
    }
    for (const std::string &line : request.headers) {
        if (!handle.appendHeader(line))
            code = CURLE_OUT_OF_MEMORY;
    }
    step(handle.applyHeaders());
    return code;
}

}  // namespace

ExchangeResult CurlExchange::perform(const ExchangeRequest &request, const HttpLimits &limits)
{
    ExchangeResult result;
    CurlHandle handle;
    if (!handle.isValid()) {
        result.failure = ExchangeFailure::CannotStart;
        return result;
    }
    Transfer transfer;
    transfer.limits = limits;
    CURLcode code = configure(handle, request, transfer);
    if (code == CURLE_OK)
        code = curl_easy_perform(handle.get());
    if (code != CURLE_OK) {
        result.failure = classify(code, transfer);
        const char *detail = handle.errorText();
        result.failureDetail = text::utf16FromUtf8(*detail ? detail : curl_easy_strerror(code));
        return result;
    }
    if (curl_easy_getinfo(handle.get(), CURLINFO_RESPONSE_CODE, &result.status) != CURLE_OK) {
        result.failure = ExchangeFailure::Other;
        result.failureDetail = text::utf16FromUtf8(curl_easy_strerror(CURLE_BAD_FUNCTION_ARGUMENT));
        return result;
    }
    char *contentType = nullptr;
    if (curl_easy_getinfo(handle.get(), CURLINFO_CONTENT_TYPE, &contentType) == CURLE_OK && contentType)
        result.contentType = contentType;
    result.headerText = std::move(transfer.headerText);
    result.body = std::move(transfer.body);
    return result;
}

}  // namespace venmarra

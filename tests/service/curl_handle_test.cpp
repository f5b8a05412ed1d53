// libcurl's set-up and clean-up calls are wrapped at link time (-Wl,--wrap, see CMakeLists.txt),
// so that the tests see the order of the clean-ups and can make a call fail.
#include "scripted_server.h"
#include "qt/curl_handle.h"
#include "qt/curl_exchange.h"

#include <gtest/gtest.h>

#include <cstdarg>
#include <string>
#include <vector>

namespace {

std::vector<std::string> g_calls;
bool g_failGlobalInit = false;
bool g_failStatusRead = false;

}  // namespace

extern "C" {
void __real_curl_easy_cleanup(CURL *easy);
void __real_curl_slist_free_all(curl_slist *list);
CURLcode __real_curl_global_init(long flags);
CURLcode __real_curl_easy_getinfo(CURL *easy, CURLINFO info, ...);

void __wrap_curl_easy_cleanup(CURL *easy)
{
    g_calls.emplace_back("curl_easy_cleanup");
    __real_curl_easy_cleanup(easy);
}

void __wrap_curl_slist_free_all(curl_slist *list)
{
    g_calls.emplace_back("curl_slist_free_all");
    __real_curl_slist_free_all(list);
}

CURLcode __wrap_curl_global_init(long flags)
{
    return g_failGlobalInit ? CURLE_FAILED_INIT : __real_curl_global_init(flags);
}

CURLcode __wrap_curl_easy_getinfo(CURL *easy, CURLINFO info, ...)
{
    va_list arguments;
    va_start(arguments, info);
    void *out = va_arg(arguments, void *);
    va_end(arguments);
    if (g_failStatusRead && info == CURLINFO_RESPONSE_CODE)
        return CURLE_UNKNOWN_OPTION;
    return __real_curl_easy_getinfo(easy, info, out);
}
}

namespace venmarra {
namespace {

TEST(CurlHandle, theHandleIsCleanedUpBeforeTheHeaderListItUses)
{
    g_calls.clear();
    {
        CurlHandle handle;
        ASSERT_TRUE(handle.appendHeader("Content-Type: application/x-www-form-urlencoded"));
        ASSERT_EQ(handle.applyHeaders(), CURLE_OK);
    }
    EXPECT_EQ(g_calls, (std::vector<std::string> {"curl_easy_cleanup", "curl_slist_free_all"}));
}

TEST(CurlHandle, failuresOfSetUpAndOfTheStatusReadAreReported)
{
    g_failGlobalInit = true;
    {
        const CurlGlobal failed;
        EXPECT_FALSE(failed.isReady());
    }
    g_failGlobalInit = false;

    test::ScriptedServer server;
    g_failStatusRead = true;
    const ExchangeResult result = CurlExchange().perform({true, server.baseUrl(), {}, {}}, {});
    g_failStatusRead = false;
    EXPECT_EQ(result.failure, ExchangeFailure::Other) << "status " << result.status;
}

}  // namespace
}  // namespace venmarra

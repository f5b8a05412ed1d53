#pragma once

#include <curl/curl.h>

#include <array>
#include <memory>
#include <string>

namespace venmarra {

// Runs curl_global_init for the life of the program; made once, in main, before any thread.
class CurlGlobal {
public:
    CurlGlobal();
    ~CurlGlobal();
    CurlGlobal(const CurlGlobal &) = delete;
    CurlGlobal &operator=(const CurlGlobal &) = delete;
};

// One easy handle with the header list and the error buffer that belong to it.
class CurlHandle {
public:
    CurlHandle();
    CurlHandle(CurlHandle &&) noexcept = default;
    CurlHandle &operator=(CurlHandle &&) noexcept = default;

    bool isValid() const { return m_easy != nullptr; }
    CURL *get() const { return m_easy.get(); }

    // Adds a request header line ("Name: value"); false when curl could not take it.
    bool appendHeader(const std::string &line);
    // Hands the header list to the handle (CURLOPT_HTTPHEADER).
    CURLcode applyHeaders();
    // The handle's description of its last failure (CURLOPT_ERRORBUFFER), maybe empty.
    const char *errorText() const { return m_error->data(); }

private:
    struct EasyDeleter {
        void operator()(CURL *easy) const { curl_easy_cleanup(easy); }
    };
    struct ListDeleter {
        void operator()(curl_slist *list) const { curl_slist_free_all(list); }
    };
    std::unique_ptr<CURL, EasyDeleter> m_easy;
    std::unique_ptr<curl_slist, ListDeleter> m_headers;
    // On the heap so that the address given to curl survives a move.
    std::unique_ptr<std::array<char, CURL_ERROR_SIZE>> m_error;
};

}  // namespace venmarra

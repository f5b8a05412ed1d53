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
    // False when curl could not set itself up; no exchange can work then.
    bool isReady() const { return m_code == CURLE_OK; }
    CURLcode code() const { return m_code; }
    CurlGlobal(const CurlGlobal &) = delete;
    CurlGlobal &operator=(const CurlGlobal &) = delete;

private:
    CURLcode m_code;
};

// One easy handle with the header list and the error buffer that belong to it. Fixed in place:
// curl holds the addresses of the list and the buffer until the handle is cleaned up.
class CurlHandle {
public:
    CurlHandle();
    CurlHandle(const CurlHandle &) = delete;
    CurlHandle &operator=(const CurlHandle &) = delete;

    bool isValid() const { return m_easy != nullptr; }
    CURL *get() const { return m_easy.get(); }

    // Adds a request header line ("Name: value"); false when curl could not take it.
    bool appendHeader(const std::string &line);
    // Hands the header list to the handle (CURLOPT_HTTPHEADER).
    CURLcode applyHeaders();
    // The handle's description of its last failure (CURLOPT_ERRORBUFFER), maybe empty.
    const char *errorText() const { return m_error.data(); }

private:
    struct EasyDeleter {
        void operator()(CURL *easy) const { curl_easy_cleanup(easy); }
    };
    struct ListDeleter {
        void operator()(curl_slist *list) const { curl_slist_free_all(list); }
    };
    // Declared before the handle, so that they are freed after it: the handle uses both to its end.
    std::array<char, CURL_ERROR_SIZE> m_error {};
    std::unique_ptr<curl_slist, ListDeleter> m_headers;
    std::unique_ptr<CURL, EasyDeleter> m_easy;
};

}  // namespace venmarra

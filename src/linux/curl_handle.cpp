#include "linux/curl_handle.h"

namespace venmarra {

CurlGlobal::CurlGlobal()
    : m_code(curl_global_init(CURL_GLOBAL_DEFAULT))
{
}

CurlGlobal::~CurlGlobal()
{
    if (isReady())
        curl_global_cleanup();
}

CurlHandle::CurlHandle()
    : m_easy(curl_easy_init())
{
    if (m_easy)
        curl_easy_setopt(m_easy.get(), CURLOPT_ERRORBUFFER, m_error.data());
}

bool CurlHandle::appendHeader(const std::string &line)
{
    curl_slist *extended = curl_slist_append(m_headers.get(), line.c_str());
    if (!extended)
        return false;
    (void)m_headers.release();  // now owned through `extended`, the same list
    m_headers.reset(extended);
    return true;
}

CURLcode CurlHandle::applyHeaders()
{
    return curl_easy_setopt(m_easy.get(), CURLOPT_HTTPHEADER, m_headers.get());
}

}  // namespace venmarra

#pragma once

#include "linux/curl_exchange.h"
#include "linux/iconv_decoder.h"
#include "mailbox/main_window_logic.h"
#include "qt/form1.h"

namespace venmarra {

// The main window wired to its logic, which reaches the service through libcurl and iconv.
class Application {
public:
    explicit Application(Toolkit &toolkit, ServiceSettings service = {});

    // Loads the main window and shows it, centred.
    void start();

    Form1 &form1() { return m_form1; }

private:
    CurlExchange m_exchange;
    IconvDecoder m_charsets;
    Form1 m_form1;
    MainWindowLogic m_logic;
};

}  // namespace venmarra

// venmarra-devserver: a local disposable-mailbox service for trying and testing Venmarra.
#include "delivery.h"
#include "http_api.h"
#include "smtp_server.h"
#include "store.h"

#include <httplib.h>

#include <csignal>
#include <cstring>
#include <ctime>
#include <iostream>
#include <mutex>
#include <thread>

namespace {

using namespace venmarra::devserver;

struct Options {
    std::string bind = "127.0.0.1";
    int httpPort = 8025;
    int smtpPort = 2525;
    int lifetimeSeconds = 600;
    bool quiet = false;
};

std::string usage()
{
    const Options defaults;
    return "usage: venmarra-devserver [options]\n"
           "A local disposable-mailbox service: Venmarra's home page, refresh and mail-info exchanges over\n"
           "HTTP, and mail delivery by SMTP to its mailboxes (NAME@"
        + std::string(kMailDomain) + ").\n\n  --http-port N   HTTP port (default "
        + std::to_string(defaults.httpPort) + ")\n  --smtp-port N   SMTP port (default "
        + std::to_string(defaults.smtpPort) + ")\n  --bind ADDRESS  IPv4 address to listen on (default "
        + defaults.bind + ", loopback only)\n  --lifetime S    seconds a mailbox lives (default "
        + std::to_string(defaults.lifetimeSeconds)
        + ")\n  --quiet         no log lines on stderr\n  --help          this text\n";
}

bool parse(int argc, char *argv[], Options &options)
{
    for (int i = 1; i < argc; ++i) {
        const std::string flag = argv[i];
        const bool hasValue = i + 1 < argc;
        try {
            if (flag == "--quiet")
                options.quiet = true;
            else if (flag == "--http-port" && hasValue)
                options.httpPort = std::stoi(argv[++i]);
            else if (flag == "--smtp-port" && hasValue)
                options.smtpPort = std::stoi(argv[++i]);
            else if (flag == "--lifetime" && hasValue)
                options.lifetimeSeconds = std::stoi(argv[++i]);
            else if (flag == "--bind" && hasValue)
                options.bind = argv[++i];
            else
                return false;
        } catch (const std::exception &) {
            return false;
        }
    }
    return options.httpPort > 0 && options.httpPort < 65536 && options.smtpPort > 0
        && options.smtpPort < 65536 && options.lifetimeSeconds > 0;
}

class Log {
public:
    explicit Log(bool quiet)
        : m_quiet(quiet)
    {
    }
    void operator()(const std::string &line)
    {
        if (m_quiet)
            return;
        const std::lock_guard lock(m_mutex);
        std::cerr << formatTime(Clock::now()) << ' ' << line << std::endl;
    }

private:
    bool m_quiet;
    std::mutex m_mutex;
};

}  // namespace

int main(int argc, char *argv[])
{
    Options options;
    if (argc == 2 && std::strcmp(argv[1], "--help") == 0) {
        std::cout << usage();
        return 0;
    }
    if (!parse(argc, argv, options)) {
        std::cerr << usage();
        return 2;
    }
    // Signals are taken by sigwait below, on the main thread only.
    sigset_t stopSignals;
    sigemptyset(&stopSignals);
    sigaddset(&stopSignals, SIGINT);
    sigaddset(&stopSignals, SIGTERM);
    pthread_sigmask(SIG_BLOCK, &stopSignals, nullptr);

    Log log(options.quiet);
    const auto logLine = [&log](const std::string &line) {
        log(line);
    };
    StoreLimits limits;
    limits.lifetime = std::chrono::seconds(options.lifetimeSeconds);
    MailStore store(limits);

    httplib::Server http;
    HttpApi api(store, logLine);
    api.install(http);
    http.set_payload_max_length(64 * 1024);
    if (!http.bind_to_port(options.bind.c_str(), options.httpPort)) {
        std::cerr << "venmarra-devserver: cannot listen for HTTP on " << options.bind << ':'
                  << options.httpPort << '\n';
        return 1;
    }
    SmtpServer smtp(
        {}, [&] { return deliveringSession(store, logLine); }, logLine);
    if (smtp.bind(options.bind, options.smtpPort) < 0) {
        std::cerr << "venmarra-devserver: cannot listen for SMTP on " << options.bind << ':'
                  << options.smtpPort << '\n';
        return 1;
    }
    std::thread httpThread([&] { http.listen_after_bind(); });
    std::thread smtpThread([&] { smtp.serve(); });
    log("listening: HTTP http://" + options.bind + ":" + std::to_string(options.httpPort) + "/, SMTP "
        + options.bind + ":" + std::to_string(options.smtpPort) + ", mailboxes @" + kMailDomain);

    const timespec purgeEvery {30, 0};
    int signal = -1;
    while (signal < 0) {
        signal = sigtimedwait(&stopSignals, nullptr, &purgeEvery);
        store.purge();
    }
    log(std::string("stopping on ") + (signal == SIGINT ? "SIGINT" : "SIGTERM"));
    while (!http.is_running() && httpThread.joinable())
        std::this_thread::sleep_for(std::chrono::milliseconds(1));  // stop() is lost before listening began
    http.stop();
    smtp.stop();
    httpThread.join();
    smtpThread.join();
    return 0;
}

// venmarra-devserver: a local disposable-mailbox service for trying and testing Venmarra.
#include "devserver/delivery.h"
#include "devserver/http_api.h"
#include "devserver/http_server.h"
#include "devserver/log.h"
#include "devserver/smtp_server.h"
#include "devserver/socket.h"
#include "devserver/store.h"
#include "devserver/store_file.h"

#include <sys/stat.h>
#include <systemd/sd-daemon.h>

#include <csignal>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <iostream>
#include <optional>
#include <tuple>

namespace {

using namespace venmarra::devserver;

struct Options {
    std::string bind = "127.0.0.1";
    int httpPort = venmarra::build::kLocalHttpPort;
    int smtpPort = venmarra::build::kLocalSmtpPort;
    int lifetimeSeconds = static_cast<int>(StoreLimits {}.lifetime.count());
    std::string store = defaultStoreFolder();
    bool quiet = false;
};

std::string usage()
{
    const Options defaults;
    return "usage: venmarra-devserver [options]\n"
           "A local disposable-mailbox service: Venmarra's home page, refresh and mail-info exchanges over\n"
           "HTTP, and mail delivery by SMTP to its mailboxes (NAME@"
        + std::string(kMailDomain) + ").\n\n  --http-port N   HTTP port, 0 for one the system picks (default "
        + std::to_string(defaults.httpPort)
        + ")\n  --smtp-port N   SMTP port, 0 for one the system picks (default "
        + std::to_string(defaults.smtpPort)
        + ")\n  --quiet         no log lines on stderr but the one with the ports"
        + "\n  --bind ADDRESS  IPv4 address to listen on (default " + defaults.bind
        + ", loopback only)\n  --lifetime S    seconds a mailbox lives (default "
        + std::to_string(defaults.lifetimeSeconds)
        + ")\n  --store FOLDER  where mailboxes and mails are kept across restarts (default " + defaults.store
        + ")\n  --help          this text\n";
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
            else if (flag == "--store" && hasValue)
                options.store = argv[++i];
            else
                return false;
        } catch (const std::exception &) {
            return false;
        }
    }
    // Port 0 lets the system pick one; the "listening:" line says which.
    return options.httpPort >= 0 && options.httpPort < 65536 && options.smtpPort >= 0
        && options.smtpPort < 65536 && options.lifetimeSeconds > 0;
}

// The two listening sockets: those that systemd handed over, by the names its socket units give
// them, and the service's own where none was handed.
struct Listeners {
    Socket http, smtp;
    bool handed = false;
};

Listeners openListeners(const Options &options)
{
    Listeners listeners;
    char **names = nullptr;
    const int count = sd_listen_fds_with_names(1, &names);
    for (int i = 0; i < count; ++i) {
        const std::string name = names[i];
        if (name == "http")
            listeners.http = Socket(SD_LISTEN_FDS_START + i);
        else if (name == "smtp")
            listeners.smtp = Socket(SD_LISTEN_FDS_START + i);
        std::free(names[i]);
    }
    std::free(names);
    listeners.handed = listeners.http || listeners.smtp;
    if (!listeners.http)
        listeners.http = listeningSocket(options.bind, options.httpPort);
    if (!listeners.smtp)
        listeners.smtp = listeningSocket(options.bind, options.smtpPort);
    return listeners;
}

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
    umask(0077);  // the store holds other people's mail
    // A file grown past the process's size limit is a write that fails, not the end of the service.
    std::signal(SIGXFSZ, SIG_IGN);
    StoreLimits limits;
    limits.lifetime = std::chrono::seconds(options.lifetimeSeconds);
    std::optional<StoreFile> storeFile;
    try {
        storeFile.emplace(options.store, limits, logLine);
    } catch (const StoreError &error) {
        std::cerr << "venmarra-devserver: " << error.what() << '\n';
        return 1;
    }
    MailStore &store = storeFile->store();

    Listeners listeners = openListeners(options);
    for (const auto &[socket, what, port] : {std::tuple(&listeners.http, "HTTP", options.httpPort),
                                             std::tuple(&listeners.smtp, "SMTP", options.smtpPort)}) {
        if (!*socket) {
            std::cerr << "venmarra-devserver: cannot listen for " << what << " on " << options.bind << ':'
                      << port << '\n';
            return 1;
        }
    }
    // Whoever started the service with port 0 reads its ports from this line: it is written whole,
    // before any thread can log.
    log.write("listening: HTTP http://" + options.bind + ':' + std::to_string(boundPort(listeners.http.get()))
              + "/, SMTP " + options.bind + ':' + std::to_string(boundPort(listeners.smtp.get()))
              + ", mailboxes @" + kMailDomain + ", store " + storeFile->path()
              + (listeners.handed ? " (sockets handed over by systemd)" : ""));

    HttpApi api(store, logLine);
    HttpServer http({}, [&api](const WebRequest &request) { return api.handle(request); });
    SmtpServer smtp(
        {}, [&] { return deliveringSession(store, logLine); }, logLine);
    if (http.adopt(listeners.http.release()) < 0 || smtp.adopt(listeners.smtp.release()) < 0) {
        std::cerr << "venmarra-devserver: cannot serve on its sockets\n";
        return 1;
    }

    const timespec purgeEvery {30, 0};
    int signal = -1;
    while (signal < 0) {
        signal = sigtimedwait(&stopSignals, nullptr, &purgeEvery);
        store.purge();
    }
    log(std::string("stopping on ") + (signal == SIGINT ? "SIGINT" : "SIGTERM"));
    http.stop();
    smtp.stop();
    return 0;
}

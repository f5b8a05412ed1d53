// A scripted stand-in for the mail service in end-to-end runs: serves the home page with a fixed
// mailbox name (or, with --no-name, a page without one), answers every POST with "{}" (after
// --post-delay-ms, if given) or, with --mail, lists one mail and answers its mail-info (after
// --mailinfo-delay-ms, if given), and logs every request it gets.
#include <httplib.h>

#include <csignal>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <iostream>
#include <mutex>
#include <string>
#include <thread>

namespace {

httplib::Server *g_server = nullptr;

void stopOnSignal(int)
{
    if (g_server)
        g_server->stop();
}

std::string homePage(const std::string &name)
{
    return "<html><body><input id=\"converts\" name=\"converts\" type=\"text\" value=\"" + name
        + "\" valid='{\"minlength\":3}' /></body></html>";
}

}  // namespace

int main(int argc, char *argv[])
{
    int port = 0;
    std::string logPath;
    bool withName = true;
    int postDelayMs = 0, mailInfoDelayMs = 0;
    bool withMail = false;
    for (int i = 1; i < argc; ++i) {
        if (!std::strcmp(argv[i], "--port") && i + 1 < argc)
            port = std::stoi(argv[++i]);
        else if (!std::strcmp(argv[i], "--log") && i + 1 < argc)
            logPath = argv[++i];
        else if (!std::strcmp(argv[i], "--no-name"))
            withName = false;
        else if (!std::strcmp(argv[i], "--post-delay-ms") && i + 1 < argc)
            postDelayMs = std::stoi(argv[++i]);
        else if (!std::strcmp(argv[i], "--mail"))
            withMail = true;
        else if (!std::strcmp(argv[i], "--mailinfo-delay-ms") && i + 1 < argc)
            mailInfoDelayMs = std::stoi(argv[++i]);
    }
    if (port <= 0 || logPath.empty()) {
        std::cerr << "usage: e2e_service --port PORT --log FILE [--no-name] [--post-delay-ms MS] [--mail]"
                     " [--mailinfo-delay-ms MS]\n";
        return 2;
    }
    std::ofstream log(logPath, std::ios::app);
    std::mutex logMutex;
    httplib::Server server;
    g_server = &server;
    std::signal(SIGTERM, stopOnSignal);
    std::signal(SIGINT, stopOnSignal);
    const auto record = [&](const httplib::Request &req) {
        const std::lock_guard lock(logMutex);
        log << "REQUEST " << req.method << ' ' << req.path << '\n';
        for (const auto &[name, value] : req.headers)
            log << "HEADER " << name << ": " << value << '\n';
        log << "BODY " << req.body << "\nEND\n";
        log.flush();
    };
    server.Get("/", [&](const httplib::Request &req, httplib::Response &res) {
        record(req);
        res.set_header("Set-Cookie", "sid=e2e0123456789abcdef0123456789abcdef01234; Path=/; HttpOnly");
        res.set_content(homePage(withName ? "e2ebox7" : ""), "text/html; charset=utf-8");
    });
    server.Post("/", [&](const httplib::Request &req, httplib::Response &res) {
        record(req);
        std::this_thread::sleep_for(std::chrono::milliseconds(postDelayMs));
        const bool mailInfo = req.get_param_value("type") == "mailinfo";
        if (!withMail)
            res.set_content("{}", "application/json");
        else if (!mailInfo)
            res.set_content(R"({"data":[{"user":{"USER":"e2ebox7","STATUS":1},)"
                            R"("list":[{"FROM":"e2e@example.test","SUBJECT":"hello","MID":"1"}]}]})",
                            "application/json");
        else {
            std::this_thread::sleep_for(std::chrono::milliseconds(mailInfoDelayMs));
            res.set_content(R"({"data":[[0,[{"DATA":["the e2e mail"]}]]]})", "application/json");
        }
    });
    if (!server.listen("127.0.0.1", port)) {
        std::cerr << "e2e_service: cannot listen on 127.0.0.1:" << port << '\n';
        return 1;
    }
    return 0;
}

// Measures, side by side with a baseline in the same run, what the program costs while it polls,
// how fast it answers events and repaints, how fast the viewer shows large mails, what an exchange
// adds to a bare libcurl call, and how fast it starts. Prints one Markdown table.
// usage: venmarra_bench [--runs N] [--out FILE]
#include "linux/curl_exchange.h"
#include "linux/curl_handle.h"
#include "linux/iconv_decoder.h"
#include "mailbox/main_window_logic.h"
#include "mailbox/module1.h"
#include "qt/form1.h"
#include "qt/mail_text_edit.h"
#include "qt/mail_viewer.h"
#include "qt/qt_toolkit.h"
#include "service/answer_reader.h"
#include "service/exchange_rules.h"
#include "stats.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QPlainTextEdit>
#include <QProcess>
#include <QScrollBar>
#include <QTextStream>
#include <QThread>
#include <QTimer>

#include <arpa/inet.h>
#include <curl/curl.h>
#include <netinet/in.h>
#include <sys/resource.h>
#include <sys/socket.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <functional>
#include <iostream>
#include <random>
#include <sstream>
#include <thread>

using namespace venmarra;
using namespace venmarra::bench;
using Clock = std::chrono::steady_clock;

namespace {

// The stand-in service (tests/support/stand_in.py) started with `arguments`, for as long as this lives.
class StandIn {
public:
    explicit StandIn(const QStringList &arguments)
    {
        m_process.start(QStringLiteral("python3"), QStringList {VENMARRA_STAND_IN_PATH} + arguments);
        if (!m_process.waitForReadyRead(10000))
            throw std::runtime_error("the stand-in service did not start");
        m_url = "http://127.0.0.1:" + m_process.readLine().trimmed().toStdString() + "/";
    }
    ~StandIn()
    {
        m_process.kill();
        m_process.waitForFinished();
    }
    StandIn(const StandIn &) = delete;
    StandIn &operator=(const StandIn &) = delete;
    const std::string &url() const { return m_url; }

private:
    QProcess m_process;
    std::string m_url;
};

int g_runs = 5;
std::vector<std::string> g_rows;  // Markdown table rows

std::string fmt(double value, int decimals = 2)
{
    std::ostringstream out;
    out.setf(std::ios::fixed);
    out.precision(decimals);
    out << value;
    return out.str();
}

std::string spread(const Summary &s, int decimals = 2)
{
    return fmt(s.median, decimals) + " (" + fmt(s.min, decimals) + "–" + fmt(s.max, decimals) + ")";
}

void row(const std::string &what, const std::string &program, const std::string &baseline,
         const std::string &target, bool met)
{
    g_rows.push_back("| " + what + " | " + program + " | " + baseline + " | " + target + " | "
                     + (met ? "met" : "**missed**") + " |");
    std::cerr << g_rows.back() << std::endl;
}

double msSince(Clock::time_point start)
{
    return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

// The literal wait of the original design: sleep 1 ms, process events, read the clock.
class LiteralWaitToolkit final : public QtToolkit {
public:
    void processEventsFor(int ms) override
    {
        const qint64 end = clock() + ms;
        while (clock() < end) {
            QThread::msleep(1);
            QCoreApplication::processEvents();
        }
    }
    void messageBox(const std::u16string &, MessageIcon, const std::u16string &) override { }
};

class QuietToolkit final : public QtToolkit {
public:
    void messageBox(const std::u16string &, MessageIcon, const std::u16string &) override { }
};

// The Linux program's HTTP client and charsets.
CurlExchange g_exchange;
const IconvDecoder g_charsets;
const ServiceAccess kAccess {g_exchange, g_charsets};

int freePort()
{
    const int probe = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in where {};
    where.sin_family = AF_INET;
    where.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t length = sizeof where;
    ::bind(probe, reinterpret_cast<sockaddr *>(&where), length);
    ::getsockname(probe, reinterpret_cast<sockaddr *>(&where), &length);
    ::close(probe);
    return ntohs(where.sin_port);
}

struct Usage {
    double cpuMs;
    long voluntarySwitches;
};

Usage usage()
{
    rusage now {};
    getrusage(RUSAGE_SELF, &now);
    const double cpu = static_cast<double>(now.ru_utime.tv_sec + now.ru_stime.tv_sec) * 1000.0
        + static_cast<double>(now.ru_utime.tv_usec + now.ru_stime.tv_usec) / 1000.0;
    return {cpu, now.ru_nvcsw};
}

// 1. CPU time and voluntary context switches per cycle of the receive loop.
void pollingCost(const QString &devserver)
{
    const int httpPort = freePort(), smtpPort = freePort();
    QProcess service;
    service.start(
        devserver,
        {"--http-port", QString::number(httpPort), "--smtp-port", QString::number(smtpPort), "--quiet"});
    service.waitForStarted();
    QThread::msleep(300);
    ServiceSettings settings;
    settings.baseUrl = QStringLiteral("http://127.0.0.1:%1/").arg(httpPort).toStdU16String();
    constexpr int kCycles = 5;
    std::vector<double> cpu[2], switches[2];
    QuietToolkit ours;
    LiteralWaitToolkit literal;
    for (int run = 0; run < g_runs; ++run) {
        for (int variant = 0; variant < 2; ++variant) {
            Form1 form;
            MainWindowLogic logic(form, variant == 0 ? static_cast<Toolkit &>(ours) : literal, kAccess,
                                  settings);
            logic.Form_Load();
            form.show();
            logic.Command1_Click();
            QTimer::singleShot(kCycles * MainWindowLogic::kPollIntervalMs - 600,
                               [&] { logic.Command3_Click(); });
            const Usage before = usage();
            logic.Command2_Click();
            const Usage after = usage();
            cpu[variant].push_back((after.cpuMs - before.cpuMs) / kCycles);
            switches[variant].push_back(
                static_cast<double>(after.voluntarySwitches - before.voluntarySwitches) / kCycles);
        }
    }
    service.terminate();
    service.waitForFinished();
    const Summary ourCpu = summarise(cpu[0]), literalCpu = summarise(cpu[1]);
    const Summary ourSwitches = summarise(switches[0]), literalSwitches = summarise(switches[1]);
    row("1. CPU time per poll cycle (ms)", spread(ourCpu), spread(literalCpu), "≤ 1 ms",
        ourCpu.median <= 1.0);
    row("1. voluntary context switches per poll cycle", spread(ourSwitches, 1), spread(literalSwitches, 1),
        "≤ 20", ourSwitches.median <= 20);
}

// 2. Latency of events posted from another thread at random moments of a wait.
struct StampedEvent : QEvent {
    explicit StampedEvent(Clock::time_point at)
        : QEvent(QEvent::User)
        , postedAt(at)
    {
    }
    Clock::time_point postedAt;
};

class LatencyRecorder : public QObject {
public:
    std::vector<double> latenciesMs;
    bool event(QEvent *event) override
    {
        if (event->type() != QEvent::User)
            return QObject::event(event);
        latenciesMs.push_back(msSince(static_cast<StampedEvent *>(event)->postedAt));
        return true;
    }
};

void eventLatency()
{
    QtToolkit ours;
    LiteralWaitToolkit literal;
    std::vector<double> all[2];
    for (int run = 0; run < g_runs; ++run) {
        for (int variant = 0; variant < 2; ++variant) {
            LatencyRecorder recorder;
            std::atomic<bool> waiting {true};
            std::thread poster([&] {
                std::mt19937 random(static_cast<unsigned>(run * 2 + variant));
                std::uniform_int_distribution<int> gapMs(3, 25);
                std::this_thread::sleep_for(std::chrono::milliseconds(50));
                while (waiting) {
                    QCoreApplication::postEvent(&recorder, new StampedEvent(Clock::now()));
                    std::this_thread::sleep_for(std::chrono::milliseconds(gapMs(random)));
                }
            });
            (variant == 0 ? static_cast<Toolkit &>(ours) : literal).processEventsFor(1500);
            waiting = false;
            poster.join();
            QCoreApplication::sendPostedEvents(&recorder);
            all[variant].insert(all[variant].end(), recorder.latenciesMs.begin(), recorder.latenciesMs.end());
        }
    }
    const auto describe = [](const std::vector<double> &v) {
        return fmt(percentile(v, 50), 3) + " / " + fmt(percentile(v, 99), 3) + " / "
            + fmt(percentile(v, 100), 3);
    };
    row("2. event latency during the wait, p50 / p99 / max (ms), " + std::to_string(all[0].size())
            + " events",
        describe(all[0]), describe(all[1]), "p99 < 1 ms", percentile(all[0], 99) < 1.0);
}

// 3. The longest gap between two repaints of the main window during a 2 s exchange.
class PaintClock : public QObject {
public:
    std::vector<Clock::time_point> paints;
    bool eventFilter(QObject *, QEvent *event) override
    {
        if (event->type() == QEvent::Paint)
            paints.push_back(Clock::now());
        return false;
    }
    double longestGapMs(Clock::time_point from, Clock::time_point to) const
    {
        double longest = 0;
        Clock::time_point last = from;
        for (const Clock::time_point at : paints) {
            if (at < from || at > to)
                continue;
            longest = std::max(longest, std::chrono::duration<double, std::milli>(at - last).count());
            last = at;
        }
        return std::max(longest, std::chrono::duration<double, std::milli>(to - last).count());
    }
};

void responsiveness()
{
    const StandIn slow({QStringLiteral("--post-delay-ms"), QStringLiteral("2000")});
    ServiceSettings settings;
    settings.baseUrl = QString::fromStdString(slow.url()).toStdU16String();
    QuietToolkit toolkit;
    std::vector<double> gaps[2];
    for (int run = 0; run < std::min(g_runs, 5); ++run) {
        for (int variant = 0; variant < 2; ++variant) {
            Form1 form;
            MainWindowLogic logic(form, toolkit, kAccess, settings);
            form.show();
            PaintClock paints;
            form.installEventFilter(&paints);
            QTimer animation;
            QObject::connect(&animation, &QTimer::timeout, &form, [&] { form.update(); });
            animation.start(10);
            QCoreApplication::processEvents();
            const Clock::time_point start = Clock::now();
            if (variant == 0)
                logic.获取最新邮件();
            else  // the baseline: the same exchange made on the window's thread
                g_exchange.perform(buildExchangeRequest(u"POST", settings.baseUrl, u"data=", u"0"),
                                   settings.limits);
            QCoreApplication::processEvents();
            gaps[variant].push_back(paints.longestGapMs(start, Clock::now()));
        }
    }
    row("3. longest gap between repaints during a 2 s exchange (ms)", spread(summarise(gaps[0]), 1),
        spread(summarise(gaps[1]), 1) + " (exchange on the window's thread)", "< 50 ms",
        summarise(gaps[0]).median < 50);
}

// 4. The viewer: time to the first paint of the content, and the longest stall of the event loop.
QString content(const std::string &kind, qsizetype bytes)
{
    QString text;
    if (kind == "ASCII one line") {
        const QString piece
            = QStringLiteral("<td class=\"cell\"><a href=\"https://example.test/x\">newsletter</a></td> ");
        while (text.size() < bytes)
            text += piece;
    } else if (kind == "Chinese one line") {
        const QString piece = QStringLiteral("这是一封很长的单行邮件，用来测量查看窗口的速度。");
        while (text.size() * 3 < bytes)
            text += piece;
    } else {
        const QString line = QString(79, QLatin1Char('m')) + QLatin1Char('\n');
        while (text.size() < bytes)
            text += line;
    }
    return text;
}

// The service's mail-info answer with `text` as the mail's content.
QString mailInfoAnswer(const QString &text)
{
    const QJsonObject mail {{"DATA", QJsonArray {text}}};
    const QJsonObject data {{"data", QJsonArray {QJsonObject {{"1", QJsonArray {mail}}}}}};
    return QString::fromUtf8(QJsonDocument(data).toJson(QJsonDocument::Compact));
}

struct ShowTiming {
    double firstPaintMs;
    double longestStallMs;
};

// Runs `show`, then the event loop until `viewport` has painted and a further 200 ms have passed;
// a 1 ms timer measures the longest time the loop did not run.
ShowTiming timeShow(const std::function<QWidget *()> &show)
{
    PaintClock ticks;
    QTimer ticker;
    ticker.setTimerType(Qt::PreciseTimer);
    QObject::connect(&ticker, &QTimer::timeout, [&] { ticks.paints.push_back(Clock::now()); });
    ticker.start(1);
    QCoreApplication::processEvents();
    const Clock::time_point start = Clock::now();
    QWidget *viewport = show();
    PaintClock painted;
    viewport->installEventFilter(&painted);
    while (painted.paints.empty() && msSince(start) < 60000)
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 5);
    const double firstPaint = painted.paints.empty()
        ? -1
        : std::chrono::duration<double, std::milli>(painted.paints.front() - start).count();
    const Clock::time_point settle = Clock::now();
    while (msSince(settle) < 200)
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 5);
    viewport->removeEventFilter(&painted);
    return {firstPaint, ticks.longestGapMs(start, Clock::now())};
}

void viewer()
{
    for (const std::string kind : {"ASCII one line", "Chinese one line", "80-column lines"}) {
        for (const qsizetype bytes : {static_cast<qsizetype>(100) * 1024, static_cast<qsizetype>(1) << 20,
                                      static_cast<qsizetype>(10) << 20}) {
            const QString text = content(kind, bytes);
            const std::string answer = mailInfoAnswer(text).toStdString();  // as the service sends it
            std::vector<double> paint[2], stall[2];
            const int runs = bytes >= (static_cast<qsizetype>(10) << 20) ? std::max(1, g_runs) : g_runs;
            for (int run = 0; run < runs; ++run) {
                {
                    QtToolkit toolkit;
                    Module1 module1(
                        [&](const std::function<void()> &work) { toolkit.runInBackground(work); });
                    Form1 form;
                    std::string received = answer;
                    const ShowTiming t = timeShow([&] {
                        module1.ShowMailContent(std::move(received),
                                                form);  // reads the answer, then shows the viewer
                        return form.mailViewer().window()->text1()->viewport();
                    });
                    paint[0].push_back(t.firstPaintMs);
                    stall[0].push_back(t.longestStallMs);
                }
                {
                    QPlainTextEdit plain;
                    plain.resize(289, 169);
                    plain.setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
                    plain.setWordWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
                    const ShowTiming t = timeShow([&] {
                        plain.show();
                        plain.setPlainText(text);
                        return plain.viewport();
                    });
                    paint[1].push_back(t.firstPaintMs);
                    stall[1].push_back(t.longestStallMs);
                }
            }
            const std::string size = bytes >= (1 << 20) ? std::to_string(bytes >> 20) + " MB"
                                                        : std::to_string(bytes >> 10) + " KB";
            const Summary shown = summarise(paint[0]), stalled = summarise(stall[0]);
            const bool oneLine = kind != "80-column lines";
            const double targetMs = bytes >= (static_cast<qsizetype>(10) << 20) ? 500 : 100;
            row("4. viewer, " + size + " " + kind + ": ShowMailContent to first paint / longest stall (ms)",
                fmt(shown.median, 1) + " / " + fmt(stalled.median, 1),
                fmt(summarise(paint[1]).median, 1) + " / " + fmt(summarise(stall[1]).median, 1)
                    + " (QPlainTextEdit)",
                oneLine && bytes >= (1 << 20)
                    ? "< " + fmt(targetMs, 0) + " ms" + (targetMs == 500 ? ", no stall > 100 ms" : "")
                    : "—",
                !(oneLine && bytes >= (1 << 20))
                    || (shown.median < targetMs && (targetMs < 500 || stalled.median <= 100)));
        }
    }
}

// 5. One refresh through the program against a bare curl_easy_perform of the same exchange.
double bareCurlMs(const std::string &url)
{
    const Clock::time_point start = Clock::now();
    CURL *easy = curl_easy_init();
    std::string body;
    curl_easy_setopt(easy, CURLOPT_URL, url.c_str());
    curl_easy_setopt(easy, CURLOPT_POSTFIELDS, "data=e2ebox7&type=refresh&arg=");
    curl_easy_setopt(easy, CURLOPT_COOKIE, "sid=e2e0123456789abcdef0123456789abcdef01234");
    curl_easy_setopt(
        easy, CURLOPT_WRITEFUNCTION, +[](char *data, size_t size, size_t count, void *out) {
            static_cast<std::string *>(out)->append(data, size * count);
            return size * count;
        });
    curl_easy_setopt(easy, CURLOPT_WRITEDATA, &body);
    curl_easy_perform(easy);
    curl_easy_cleanup(easy);
    return msSince(start);
}

void roundTrip()
{
    const StandIn server({QStringLiteral("--mail"), QStringLiteral("ascii"), QStringLiteral("0.001")});
    ServiceSettings settings;
    settings.baseUrl = QString::fromStdString(server.url()).toStdU16String();
    QuietToolkit toolkit;
    Form1 form;
    MainWindowLogic logic(form, toolkit, kAccess, settings);
    logic.Command1_Click();  // the mailbox, so that each refresh lists its mail
    std::vector<double> ours, bare;
    for (int block = 0; block < g_runs * 4; ++block) {
        for (int i = 0; i < 25; ++i) {
            const Clock::time_point start = Clock::now();
            logic.获取最新邮件();
            ours.push_back(msSince(start));
        }
        for (int i = 0; i < 25; ++i)
            bare.push_back(bareCurlMs(server.url()));
    }
    const double oursMedian = percentile(ours, 50), bareMedian = percentile(bare, 50);
    row("5. one refresh (request, reading, display) vs bare curl_easy_perform, median (ms)",
        fmt(oursMedian, 3), fmt(bareMedian, 3), "< 1.3× or < 0.3 ms added",
        oursMedian < 1.3 * bareMedian || oursMedian - bareMedian < 0.3);
}

// 6. Start-up to the first paint of the main window, and peak RSS, in a process of its own.
void startup(const QString &probe)
{
    std::vector<double> times, rss;
    for (int run = 0; run < std::max(g_runs, 5) + 1; ++run) {
        QProcess process;
        const Clock::time_point start = Clock::now();
        process.start(probe, {});
        process.waitForFinished(30000);
        const double elapsed = msSince(start);
        const QList<QByteArray> fields = process.readAllStandardOutput().trimmed().split(' ');
        if (run == 0 || fields.size() != 2)
            continue;  // the first run warms the caches
        times.push_back(elapsed - fields[0].toDouble());  // less the time from paint to exit
        rss.push_back(fields[1].toDouble() / 1024.0);
    }
    row("6. start-up to first paint of the main window (ms)", spread(summarise(times), 1), "—", "< 200 ms",
        summarise(times).median < 200);
    row("6. peak RSS at first paint (MB)", spread(summarise(rss), 1), "—", "< 60 MB",
        summarise(rss).median < 60);
}

// 7. Reading a 10 MB mail-info answer: parsing and the content's text, against Qt's JSON parser
// reading the same answer the same way.
void jsonReading()
{
    for (const std::string kind : {"ASCII one line", "Chinese one line"}) {
        const QString answer = mailInfoAnswer(content(kind, static_cast<qsizetype>(10) << 20));
        const std::string ours = answer.toStdString();
        std::vector<double> times[2];
        std::size_t sizes[2] = {};
        for (int run = 0; run < g_runs; ++run) {
            Clock::time_point start = Clock::now();
            const AnswerReader reader(ours);
            const std::string text = textForm(reader.read("data.data[0][1][0].DATA[0]"));
            times[0].push_back(msSince(start));
            sizes[0] = QString::fromStdString(text).size();
            start = Clock::now();
            const QJsonDocument document = QJsonDocument::fromJson(answer.toUtf8());
            sizes[1]
                = static_cast<std::size_t>(document.object()["data"][0]["1"][0]["DATA"][0].toString().size());
            times[1].push_back(msSince(start));
        }
        const bool same = sizes[0] == sizes[1] && sizes[0] > 0;
        row("7. reading a 10 MB mail-info answer, " + kind + " (ms)", spread(summarise(times[0]), 1),
            spread(summarise(times[1]), 1) + " (QJsonDocument)", "same text", same);
    }
}

}  // namespace

int main(int argc, char *argv[])
{
    const CurlGlobal curl;
    QApplication app(argc, argv);
    QApplication::setQuitOnLastWindowClosed(false);
    QString out;
    QByteArray only;  // "1".."7": run that measure alone
    for (int i = 1; i < argc; ++i) {
        if (QByteArray(argv[i]) == "--only" && i + 1 < argc)
            only = argv[++i];
        else if (QByteArray(argv[i]) == "--runs" && i + 1 < argc)
            g_runs = std::max(1, QByteArray(argv[++i]).toInt());
        else if (QByteArray(argv[i]) == "--out" && i + 1 < argc)
            out = QString::fromLocal8Bit(argv[++i]);
    }
    const QString here = QCoreApplication::applicationDirPath();
    std::cerr << "venmarra_bench: " << g_runs << " runs each; rows as they finish:" << std::endl;
    const auto wanted = [&](const char *measure) {
        return only.isEmpty() || only == measure;
    };
    if (wanted("6"))
        startup(here + "/bench_startup");
    if (wanted("1"))
        pollingCost(QStringLiteral(VENMARRA_DEVSERVER_PATH));
    if (wanted("2"))
        eventLatency();
    if (wanted("3"))
        responsiveness();
    if (wanted("4"))
        viewer();
    if (wanted("5"))
        roundTrip();
    if (wanted("7"))
        jsonReading();

    std::ostringstream table;
    table << "| Measure | Venmarra | Baseline | Target | |\n|---|---|---|---|---|\n";
    for (const std::string &line : g_rows)
        table << line << "\n";
    std::cout << table.str();
    if (!out.isEmpty()) {
        QFile file(out);
        file.open(QIODevice::WriteOnly);
        file.write(table.str().c_str());
    }
    return 0;
}

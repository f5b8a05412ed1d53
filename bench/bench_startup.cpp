// The program's start-up as main() does it, ending at the main window's first paint. Prints the
// milliseconds from that paint to exit (for the caller to subtract) and the peak RSS in KB.
#include "linux/curl_handle.h"
#include "qt/application.h"
#include "qt/qt_toolkit.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QIcon>

#include <cstdio>
#include <cstdlib>

namespace {

class ExitOnFirstPaint : public QObject {
public:
    bool eventFilter(QObject *, QEvent *event) override
    {
        if (event->type() != QEvent::Paint)
            return false;
        QElapsedTimer toExit;
        toExit.start();
        // VmHWM, not ru_maxrss: the latter keeps the peak of the parent that forked this process.
        long peakKb = 0;
        if (FILE *status = std::fopen("/proc/self/status", "r")) {
            char line[256];
            while (std::fgets(line, sizeof line, status))
                if (std::sscanf(line, "VmHWM: %ld kB", &peakKb) == 1)
                    break;
            std::fclose(status);
        }
        std::printf("%.3f %ld\n", static_cast<double>(toExit.nsecsElapsed()) / 1e6 + 0.05, peakKb);
        std::fflush(stdout);
        std::_Exit(0);
    }
};

}  // namespace

int main(int argc, char *argv[])
{
    const venmarra::CurlGlobal curl;
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Venmarra"));
    QIcon icon;
    for (const char *size : {"16", "32", "48", "128"})
        icon.addFile(QStringLiteral(":/venmarra/icon-") + QLatin1String(size));
    QApplication::setWindowIcon(icon);
    venmarra::QtToolkit toolkit;
    venmarra::Application venmarraApp(toolkit);
    ExitOnFirstPaint exitOnPaint;
    venmarraApp.form1().installEventFilter(&exitOnPaint);
    venmarraApp.start();
    return QApplication::exec();
}

#include "build_settings.h"
#include "linux/curl_handle.h"
#include "qt/accessibility.h"
#include "qt/application.h"
#include "qt/qt_toolkit.h"
#include "ui/texts.h"

#include <QApplication>
#include <QIcon>
#include <QLibraryInfo>
#include <QTranslator>

#include <cstdio>
#include <cstdlib>
#include <malloc.h>

namespace {

// Without a display Qt aborts with a long message; say it in one line instead.
bool hasDisplay()
{
#if defined(Q_OS_UNIX) && !defined(Q_OS_MACOS)
    const auto set = [](const char *name) {
        const char *value = std::getenv(name);
        return value && *value;
    };
    return set("DISPLAY") || set("WAYLAND_DISPLAY") || set("QT_QPA_PLATFORM");
#else
    return true;
#endif
}

}  // namespace

int main(int argc, char *argv[])
{
    if (!hasDisplay()) {
        std::fputs("venmarra: no display found (DISPLAY is not set); run it on a desktop.\n", stderr);
        return EXIT_FAILURE;
    }
    // A mail's megabytes go through a few large buffers, one after another: each of them mapped
    // and given back to the system when freed, rather than kept in the heap for good.
    mallopt(M_MMAP_THRESHOLD, 256 * 1024);
    const venmarra::CurlGlobal curl;
    if (!curl.isReady()) {
        std::fprintf(stderr, "venmarra: the HTTP library could not start: %s\n",
                     curl_easy_strerror(curl.code()));
        return EXIT_FAILURE;
    }
    QApplication app(argc, argv);
    QApplication::setApplicationName(QString::fromStdU16String(venmarra::texts::kApplicationTitle));
    QApplication::setApplicationVersion(QString::fromLatin1(venmarra::build::kVersion));
    QIcon icon;
    for (const char *size : {"16", "32", "48", "128"})
        icon.addFile(QStringLiteral(":/venmarra/icon-") + QLatin1String(size));
    icon.addFile(QStringLiteral(":/venmarra/icon"));
    QApplication::setWindowIcon(icon);
    // The whole interface is Chinese, whatever the locale: Qt's own words too (a box's 确定).
    QTranslator qtWords;
    if (qtWords.load(QStringLiteral("qtbase_zh_CN"), QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        QApplication::installTranslator(&qtWords);
    venmarra::installAccessibleRoles();
    venmarra::QtToolkit toolkit;
    venmarra::Application venmarraApp(toolkit);
    venmarraApp.start();
    return QApplication::exec();
}

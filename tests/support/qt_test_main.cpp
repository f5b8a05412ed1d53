#include "qt/curl_handle.h"

#include <QApplication>

#include <gtest/gtest.h>

// GoogleTest inside a QApplication, so that tests can drive the real windows offscreen.
int main(int argc, char *argv[])
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    const venmarra::CurlGlobal curl;
    QApplication app(argc, argv);
    QApplication::setQuitOnLastWindowClosed(false);
    testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
